// The transformation matrix and the Shift snapping rule.
#include "interact/trf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

namespace trf = interact::trf;

struct P {
    double x, y;
};
P map(double x, double y) {
    P p;
    trf::apply(x, y, p.x, p.y);
    return p;
}

class Trf : public ::testing::Test {
protected:
    void SetUp() override { trf::state().reset(); }
};

TEST_F(Trf, EachOperationTakesAProbePointWhereExpected) {
    using namespace interact::trf;
    static const Matrix kSet{2, 3, 4, 5, 6, 7};
    const double kRoot3 = std::sqrt(3.0), kMirrored = -(0.3 - 0.1) + 0.1;
    // Each row starts from the identity, applies its operations in order (each composes after
    // the current matrix) and maps a probe point; tol 0 asks for the exact result.
    struct Case {
        const char* what;
        std::function<void()> ops;
        P in, out;
        double tol;
    } cases[] = {
        {"set", [] { set(kSet); }, {1, 1}, {9, 18}, 1e-15},
        {"translations add", [] { translate(1, 2), translate(0.5, -1); }, {0, 0}, {1.5, 1}, 1e-15},
        {"rotate, then move", [] { rotate(90), translate(1, 0); }, {1, 0}, {1, 1}, 1e-9},
        {"scale scales the move", [] { translate(1, 0), scale(2, 3); }, {1, 1}, {4, 3}, 1e-15},
        {"rotation about a point", [] { rotateAbout(1, 1, 90); }, {2, 1}, {1, 2}, 1e-9},
        {"30 degrees anticlockwise", [] { rotateAbout(0, 0, 30); }, {2, 0}, {kRoot3, 1}, 1e-9},
        {"scale about a point", [] { scaleAbout(2, 2, 3, 0.5); }, {3, 4}, {5, 3}, 1e-15},
        {"x += 2y", [] { shear(2, 0); }, {1, 1}, {3, 1}, 1e-15},
        {"row 1 uses the old row 0", [] { shear(1, 1); }, {1, 2}, {3, 3}, 1e-15},
        {"shear about a point", [] { shearAbout(0, 1, 1, 0); }, {0, 2}, {1, 2}, 1e-15},
        {"mirror x", [] { mirrorX(); }, {3, 4}, {-3, 4}, 0},
        {"mirror y", [] { mirrorY(); }, {3, 4}, {3, -4}, 0},
        // A vertical mirror line negates x exactly, without the quotient formula.
        {"vertical line", [] { mirrorAbout(0.1, 0, 0.1, 7); }, {0.3, 5}, {kMirrored, 5}, 0},
        {"horizontal line", [] { mirrorAbout(0, 2, 5, 2); }, {1, 3}, {1, 1}, 1e-15},
        {"diagonal through (1, 1)", [] { mirrorAbout(1, 1, 2, 2); }, {3, 1}, {1, 3}, 1e-12},
        {"mirrored twice",
         [] { mirrorAbout(1, 1, 2, 2), mirrorAbout(1, 1, 2, 2); },
         {3, 1},
         {3, 1},
         1e-12},
    };
    for (const Case& c : cases) {
        trf::identity();
        c.ops();
        const P p = map(c.in.x, c.in.y);
        EXPECT_NEAR(p.x, c.out.x, c.tol) << c.what;
        EXPECT_NEAR(p.y, c.out.y, c.tol) << c.what;
    }
    trf::identity();
    EXPECT_EQ(trf::get(), trf::Matrix{});
}

TEST_F(Trf, MirrorAboutAnInclinedLineMatchesTheReflection) {
    // Both branches of the formula (|dy| < |dx| and |dy| >= |dx|) against
    // the reflection matrix (cos 2t, sin 2t; sin 2t, -cos 2t).
    for (auto [dx, dy] : {std::pair{2.0, 1.0}, {1.0, 3.0}, {-1.0, 2.0}, {1.0, 1.0}}) {
        trf::identity();
        trf::mirrorLine(dx, dy);
        const double t = std::atan2(dy, dx);
        P p = map(0.7, -1.3);
        EXPECT_NEAR(p.x, std::cos(2 * t) * 0.7 + std::sin(2 * t) * -1.3, 1e-12);
        EXPECT_NEAR(p.y, std::sin(2 * t) * 0.7 - std::cos(2 * t) * -1.3, 1e-12);
    }
}

TEST_F(Trf, InvertRoundTripsAndRefusesASingularMatrix) {
    trf::rotateAbout(2, -1, 37);
    trf::scaleAbout(1, 1, 2, 3);
    trf::translate(4, 5);
    P p = map(0.25, 8);
    ASSERT_EQ(trf::invert(), 0);
    P q = map(p.x, p.y);
    EXPECT_NEAR(q.x, 0.25, 1e-12);
    EXPECT_NEAR(q.y, 8, 1e-12);
    trf::set({1, 2, 3, 2, 4, 5});
    EXPECT_EQ(trf::invert(), -1);
    EXPECT_EQ(trf::get(), (trf::Matrix{1, 2, 3, 2, 4, 5}));
}

P snap(double angleDeg, double r = 10) {
    const double a = angleDeg * M_PI / 180;
    P p{1 + r * std::cos(a), 2 + r * std::sin(a)};
    trf::snapOrtho(1, 2, p.x, p.y);
    return {p.x - 1, p.y - 2};
}

TEST_F(Trf, ShiftSnapPullsToHorizontalVerticalOrDiagonal) {
    P h = snap(30); // tan 30 = 0.577 <= 0.75
    EXPECT_EQ(h.y, 0);
    EXPECT_NEAR(h.x, 10 * std::cos(M_PI / 6), 1e-12);
    EXPECT_EQ(snap(60).x, 0); // cot 60 = 0.577: vertical
    // tan 40 = 0.839 > 0.75: 45 degrees, in the quadrant of the offset (sx, sy).
    const double diagonals[][3] = {
        {40, 1, 1}, {50, 1, 1}, {220, -1, -1}, {-40, 1, -1}, {130, -1, 1}};
    for (const auto& d : diagonals) {
        const P p = snap(d[0]);
        EXPECT_NEAR(p.y * d[1], p.x * d[2], 1e-12) << d[0];
        EXPECT_GT(p.x * d[1], 0) << d[0];
    }
    // The boundary ratio 0.75 itself stays on the axis.
    double x = 4, y = 3;
    trf::snapOrtho(0, 0, x, y);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(x, 4);
    // Offsets of 0 leave the point as it is.
    x = 1;
    y = 7;
    trf::snapOrtho(1, 2, x, y);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 7);
}

} // namespace
