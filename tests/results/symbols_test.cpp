// Attribute symbols of the model display on the recording driver: rigid
// member hatches, hinge circles, symbol sizes under zoom, the load options,
// negligible loads and the trimming at rotation-only restraints.
#include "attrib/loads.h"
#include "attrib/supports.h"
#include "gfx/record.h"
#include "results/display.h"
#include "results/symbols.h"
#include "tests/results/drawing_fixture.h"
#include "tests/support/golden.h"
#include "tests/support/primitives.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using gfx::Primitive;
using Kind = gfx::Primitive::Kind;
using results::Role;

class SymbolsTest : public kestrel_test::DrawingFixture {
protected:
    void SetUp() override { setUpDrawing(-2, 8); }
    double L() const { return std::hypot(10.0, 10.0); }
    void support(double x, double y, const char* codes) {
        attrib::SupportState st;
        for (int d = 0; d < 3; ++d) st.codes[d] = codes[d];
        attrib::clearSelection(s);
        attrib::nodeOf(node(x, y))->selected = 1;
        attrib::applySupport(s, st);
    }
};

TEST(RigidHatch, StyleFollowsTheMemberAngleWithItsBoundaries) {
    struct Case {
        double angle;
        int style;
    } cases[] = {{0, 3},      {22.5, 3},   {22.6, 1},   {67.5, 1},  {67.6, 2},
                 {90, 2},     {112.5, 2},  {112.6, 0},  {157.5, 0}, {157.6, 3},
                 {180, 3},    {-22.5, 3},  {-22.6, 0},  {-67.4, 0}, {-67.5, 2},
                 {-112.4, 2}, {-112.5, 1}, {-157.4, 1}, {-157.6, 3}};
    for (const Case& k : cases) EXPECT_EQ(results::rigidHatchStyle(k.angle), k.style) << k.angle;
    EXPECT_EQ(results::hatchFill(2), gfx::FillStyle::HatchDiagonal);
    EXPECT_EQ(results::hatchFill(3), gfx::FillStyle::HatchCross);
}

// The symbols as snapshots (tests/data/results/symbols.txt), each scene on a
// fresh model:
// - rigid members as bands 0.006 L wide, hatched diagonally when vertical and
//   crossed when horizontal, outlined thick; a no-axial member drawn thick;
// - a member released at (4, 0): a circle of diameter 0.0096 L on its axis
//   just before the node, its line stopping short of it; the other member
//   drawn to the node;
// - a hinged node: one circle of radius 0.006 L centred on it;
// - a rotation-only restraint: the member trimmed to the square of side
//   0.01875 L, drawn as a closed outline.
TEST_F(SymbolsTest, Snapshots) {
    line(0, 0, 0, 4); // vertical
    line(0, 4, 5, 4); // horizontal
    line(5, 4, 5, 0);
    for (double x : {0.0, 2.5}) attrib::memberOf(member(x, x == 0 ? 2 : 4))->selected = 1;
    attrib::applyConstraint(s, 0, 1);
    attrib::memberOf(member(5, 2))->selected = 1;
    attrib::applyConstraint(s, 1, 0);
    draw();
    std::string snap = kestrel_test::scene("rigid column and beam, no-axial column", c);
    TearDown();
    SetUp();
    line(0, 0, 4, 0);
    line(4, 0, 4, 4);
    attrib::memberOf(member(2, 0))->selected = 1;
    attrib::applyMemberHinges(s, 0, 1); // released at (4, 0)
    draw();
    snap += kestrel_test::scene("beam released at its end 2", c);
    attrib::clearSelection(s);
    attrib::nodeOf(node(4, 0))->selected = 1;
    attrib::applyNodeHinge(s, true);
    draw();
    snap += kestrel_test::scene("hinged node", c);
    TearDown();
    SetUp();
    line(0, 0, 4, 2);
    support(0, 0, "001");
    draw();
    kestrel_test::expectGolden("results", "symbols",
                               snap + kestrel_test::scene("rotation-only restraint", c));
}

TEST_F(SymbolsTest, ZoomingKeepsArrowAndSupportSizesInPixels) {
    line(0, 0, 4, 0);
    support(0, 0, "111");
    nodalForce(node(4, 0), 10, 0, 0);
    auto extent = [&](Role r) {
        double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
        for (Kind k : {Kind::Polyline, Kind::Polygon})
            for (const Primitive& p : of(k, r))
                for (const gfx::Point& q : p.pixel) {
                    x0 = std::min(x0, q.x), x1 = std::max(x1, q.x);
                    y0 = std::min(y0, q.y), y1 = std::max(y1, q.y);
                }
        return std::make_pair(x1 - x0, y1 - y0);
    };
    auto memberPx = [&] {
        const Primitive m = of(Kind::Polyline, Role::Members).at(0);
        return std::fabs(m.pixel[1].x - m.pixel[0].x);
    };
    draw();
    const auto sup = extent(Role::Supports), force = extent(Role::NodalForces);
    const double before = memberPx();
    EXPECT_GT(sup.first, 5);
    EXPECT_NEAR(force.first, 0.8 * 0.045 * L() * 50, 1e-6); // 50 pixels per metre
    c.setWindow(-0.5, 4.5, -0.5, 4.5);                      // twice the scale
    draw();
    EXPECT_NEAR(memberPx(), 2 * before, 1e-6);
    EXPECT_NEAR(extent(Role::Supports).first, sup.first, 1e-6);
    EXPECT_NEAR(extent(Role::Supports).second, sup.second, 1e-6);
    EXPECT_NEAR(extent(Role::NodalForces).first, force.first, 1e-6);
}

// Negligible loads draw nothing; load values are written with their unit
// only with "Load Values" on; with supports off the loads stay (the load
// options themselves: DisplayTest.LoadsAndNumbersInResultMode). The scenes
// are in tests/data/results/load-options.txt.
TEST_F(SymbolsTest, ZeroLoadsDrawNothingAndLoadValuesAndSupportsFollowTheirOptions) {
    line(0, 0, 4, 0);
    support(0, 0, "110");
    attrib::ValueBlock* q = loadOn(member(2, 0), attrib::kUlf, {0, -8});
    std::string snap;
    auto shot = [&](const char* title) {
        draw();
        snap += kestrel_test::scene(title, c);
    };
    q->values = {0.004, -0.0049, 0, 0};
    shot("values below 0.005: no load drawn");
    q->values = {0, -0.005, 0, 0};
    shot("0.005 drawn, its value written with the unit");
    settings.display[attrib::kLoadValues] = 0;
    shot("load values off");
    settings.display[attrib::kSupports] = 0;
    shot("supports off, the load stays");
    kestrel_test::expectGolden("results", "load-options", snap);
}

} // namespace
