// The transformation matrix and the Shift snapping rule.
#include "interact/trf.h"

#include <gtest/gtest.h>

#include <cmath>

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

TEST_F(Trf, IdentityGetSetTranslate) {
    EXPECT_EQ(trf::get(), trf::Matrix{});
    trf::set({2, 3, 4, 5, 6, 7});
    P p = map(1, 1);
    EXPECT_DOUBLE_EQ(p.x, 9);
    EXPECT_DOUBLE_EQ(p.y, 18);
    trf::identity();
    trf::translate(1, 2);
    trf::translate(0.5, -1);
    p = map(0, 0);
    EXPECT_DOUBLE_EQ(p.x, 1.5);
    EXPECT_DOUBLE_EQ(p.y, 1);
}

TEST_F(Trf, OperationsComposeAfterTheCurrentMatrix) {
    trf::rotate(90);
    trf::translate(1, 0); // rotate first, then move
    P p = map(1, 0);
    EXPECT_NEAR(p.x, 1, 1e-9);
    EXPECT_NEAR(p.y, 1, 1e-9);
    trf::identity();
    trf::translate(1, 0);
    trf::scale(2, 3); // scales the translation too
    p = map(1, 1);
    EXPECT_DOUBLE_EQ(p.x, 4);
    EXPECT_DOUBLE_EQ(p.y, 3);
}

TEST_F(Trf, RotationAboutAPointIsCounterClockwise) {
    trf::rotateAbout(1, 1, 90);
    P p = map(2, 1);
    EXPECT_NEAR(p.x, 1, 1e-9);
    EXPECT_NEAR(p.y, 2, 1e-9);
    trf::identity();
    trf::rotateAbout(0, 0, 30);
    p = map(2, 0);
    EXPECT_NEAR(p.x, std::sqrt(3.0), 1e-9);
    EXPECT_NEAR(p.y, 1, 1e-9);
}

TEST_F(Trf, ScaleAndShearAboutAPoint) {
    trf::scaleAbout(2, 2, 3, 0.5);
    P p = map(3, 4);
    EXPECT_DOUBLE_EQ(p.x, 5);
    EXPECT_DOUBLE_EQ(p.y, 3);
    trf::identity();
    trf::shear(2, 0); // x += 2y
    p = map(1, 1);
    EXPECT_DOUBLE_EQ(p.x, 3);
    EXPECT_DOUBLE_EQ(p.y, 1);
    trf::identity();
    trf::shear(1, 1); // row 1 uses the old row 0
    p = map(1, 2);
    EXPECT_DOUBLE_EQ(p.x, 3);
    EXPECT_DOUBLE_EQ(p.y, 3);
    trf::identity();
    trf::shearAbout(0, 1, 1, 0);
    p = map(0, 2);
    EXPECT_DOUBLE_EQ(p.x, 1);
    EXPECT_DOUBLE_EQ(p.y, 2);
}

TEST_F(Trf, MirrorsAboutAxesAndVerticalLinesAreExact) {
    trf::mirrorX();
    P p = map(3, 4);
    EXPECT_EQ(p.x, -3);
    EXPECT_EQ(p.y, 4);
    trf::identity();
    trf::mirrorY();
    p = map(3, 4);
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(p.y, -4);
    // A vertical mirror line negates x exactly, without the quotient formula.
    trf::identity();
    trf::mirrorAbout(0.1, 0, 0.1, 7);
    p = map(0.3, 5);
    EXPECT_EQ(p.x, -(0.3 - 0.1) + 0.1);
    EXPECT_EQ(p.y, 5);
    trf::identity();
    trf::mirrorAbout(0, 2, 5, 2); // horizontal
    p = map(1, 3);
    EXPECT_DOUBLE_EQ(p.x, 1);
    EXPECT_DOUBLE_EQ(p.y, 1);
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
    trf::identity();
    trf::mirrorAbout(1, 1, 2, 2); // the diagonal through (1, 1)
    P p = map(3, 1);
    EXPECT_NEAR(p.x, 1, 1e-12);
    EXPECT_NEAR(p.y, 3, 1e-12);
    trf::mirrorAbout(1, 1, 2, 2); // twice: identity
    p = map(3, 1);
    EXPECT_NEAR(p.x, 3, 1e-12);
    EXPECT_NEAR(p.y, 1, 1e-12);
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
    P d = snap(40); // tan 40 = 0.839 > 0.75: 45 degrees
    EXPECT_NEAR(d.y, d.x, 1e-12);
    P v = snap(60); // cot 60 = 0.577: vertical
    EXPECT_EQ(v.x, 0);
    P d2 = snap(50);
    EXPECT_NEAR(d2.x, d2.y, 1e-12);
    P d3 = snap(220); // third quadrant diagonal
    EXPECT_NEAR(d3.x, d3.y, 1e-12);
    EXPECT_LT(d3.x, 0);
    P d4 = snap(-40); // fourth quadrant
    EXPECT_NEAR(d4.y, -d4.x, 1e-12);
    EXPECT_GT(d4.x, 0);
    P d5 = snap(130);
    EXPECT_NEAR(d5.y, -d5.x, 1e-12);
    EXPECT_LT(d5.x, 0);
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
