// The rotation and scaling rules of the interactive transformations. The
// four kinds by mouse and by keyboard, with their prompts, live measures,
// echo, dialogs and cancelling, are replayed from journals by
// test_journal.cpp.
#include "interact/trfmode.h"

#include <gtest/gtest.h>

namespace {

namespace trf = interact::trf;

TEST(TrfMode, RotationAnglesAreAboveMinus180UpTo180) {
    struct Case {
        gfx::Point first, second;
        double want;
    } cases[] = {
        {{1, 0}, {-1, 0}, 180},  {{1, 0}, {-1, -0.0}, 180},
        {{0, 1}, {0, -1}, 180},  {{0, -1}, {0, 1}, 180},
        {{1, 0}, {0, 1}, 90},    {{1, 0}, {0, -1}, -90},
        {{-1, 1}, {-1, -1}, 90}, {{-1, -1}, {-1, 1}, -90},
        {{1, 0}, {1, 0}, 0},     {{-1, 0.001}, {-1, -0.001}, 0.11459},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(trf::rotationAngle({0, 0}, c.first, c.second), c.want, 1e-4)
            << c.first.x << "," << c.first.y << " -> " << c.second.x << "," << c.second.y;
    for (double y : {0.0, -0.0}) EXPECT_NEAR(trf::directionAngle(-1, y), 180, 1e-9) << y;
    EXPECT_NEAR(trf::directionAngle(0, -2), -90, 1e-9);
}

TEST(TrfMode, ScalingFactorIsUndefinedWithoutADirection) {
    struct Case {
        gfx::Point centre, first, second;
        bool defined;
        double factor;
    } cases[] = {
        {{0, 0}, {2, 0}, {4, 1}, true, 2},  {{1, 1}, {1, 3}, {5, 0}, true, -0.5},
        {{0, 0}, {0, 0}, {4, 1}, false, 0}, {{0, 0}, {2, 0}, {0, 7}, false, 0},
        {{0, 0}, {3, 4}, {3, 4}, true, 1},
    };
    for (const Case& c : cases) {
        double f = 0;
        EXPECT_EQ(trf::scalingFactor(c.centre, c.first, c.second, f), c.defined);
        if (c.defined) {
            EXPECT_DOUBLE_EQ(f, c.factor);
        }
    }
}

} // namespace
