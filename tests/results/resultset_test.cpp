// The result curves of a frame gathered from its records: end forces and
// nodal displacements as the analysis leaves them, global loads turned into
// member axes for members drawn either way, and the result layer of the
// model drawing, drawn only in result mode.
#include "attrib/blocks.h"
#include "attrib/loads.h"
#include "gfx/record.h"
#include "results/display.h"
#include "results/resultset.h"
#include "tests/results/drawing_fixture.h"
#include "tests/support/golden.h"
#include "tests/support/primitives.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using results::ResultKind;
using Kind = gfx::Primitive::Kind;

class ResultSetTest : public kestrel_test::DrawingFixture {
protected:
    void SetUp() override { setUpDrawing(-5, 8); }
    // The member from (x1, y1) to (x2, y2), inserted as one undo step.
    Edge* line(double x1, double y1, double x2, double y2) {
        DrawingFixture::line(x1, y1, x2, y2);
        return member((x1 + x2) / 2, (y1 + y2) / 2);
    }
};

TEST_F(ResultSetTest, InputsFromTheRecords) {
    // The same downward global load on a member drawn left to right and on
    // one drawn right to left (from (6, -3) back to (0, -3)).
    Edge* a = line(0, 0, 6, 0);
    Edge* b = line(6, -3, 0, -3);
    loadOn(a, attrib::kUlf, {0, -10, 0, 0}, attrib::kGlobal);
    loadOn(b, attrib::kUlf, {0, -10, 0, 0}, attrib::kGlobal);
    loadOn(b, attrib::kLlf, {1, 2, 3, 4}, attrib::kLocal); // the uniform block wins
    loadOn(a, attrib::kMbm, {1.5, -2.5, 0, 0}, attrib::kGlobal);
    attrib::memberOf(a)->results = {0, 30, 0, 0, 30, 0};
    attrib::memberOf(a)->hingeEnd = 1;
    attrib::memberOf(b)->results = {0, 0, 0, 0, -60, 180}; // a cantilever fixed at (0, -3)
    attrib::nodeOf(b->he1->vtx)->displacement[0] = 0.01;   // Dx at (6, -3)
    attrib::nodeOf(b->he1->vtx)->displacement[1] = -0.02;
    attrib::nodeOf(b->he1->vtx)->displacement[2] = 0.003;

    const results::MemberInput ma = results::memberInputOf(a), mb = results::memberInputOf(b);
    EXPECT_EQ((std::vector<double>{ma.qy1, ma.qy2, ma.qx1, ma.V1, ma.V2, ma.Ma, ma.Mb,
                                   double(ma.hinge1), double(ma.hinge2), mb.qx1, mb.t1}),
              (std::vector<double>{-10, -10, 0, 30, 30, 1.5, -2.5, 0, 1, 0, 0.003}));
    // Turned into the axes of b: up along its local y, the node's Dx against it.
    const double got[] = {mb.qy1, mb.qy2, mb.u1, mb.w1}, want[] = {10, 10, -0.01, 0.02};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], want[i], 1e-12) << i;

    results::ResultCurves rc;
    results::computeCurves(rc, s, ResultKind::Bending, 0.01);
    ASSERT_EQ(rc.curves.size(), 2u);
    // The cantilever's fixed end (q L^2 / 2 = 180) exceeds the simply
    // supported member's mid-span moment.
    EXPECT_NEAR(rc.largest, 180, 1e-9);
    const std::size_t ib = rc.members[0] == b ? 0 : 1;
    EXPECT_EQ(rc.members[ib], b);
    EXPECT_NEAR(rc.curves[ib].extremeX, 6, 1e-12);
    EXPECT_NEAR(rc.curves[1 - ib].extremeX, 3, 1e-12);
    results::computeCurves(rc, nullptr, ResultKind::Bending, 0.01);
    EXPECT_TRUE(rc.curves.empty());
    EXPECT_EQ(rc.largest, 0);
}

// The result layer of the model drawing, drawn only in result mode: the
// moment diagram on the tension side, 2 m deep at mid-span (the diagram
// size), and the reaction arrows (tests/data/results/result-layer.txt).
TEST_F(ResultSetTest, ResultLayerOnlyInResultMode) {
    Edge* a = line(0, 0, 6, 0);
    loadOn(a, attrib::kUlf, {0, -10, 0, 0}, attrib::kGlobal);
    attrib::memberOf(a)->results = {0, 30, 0, 0, 30, 0};
    results::ResultCurves rc;
    results::computeCurves(rc, s, ResultKind::Bending, 0.01);
    results::ResultDrawing rd;
    rd.curves = &rc;
    rd.diagramSize = 2;
    rd.reactions.push_back({0, 0, 0, 30, 0, false, true, false});
    settings.display[attrib::kReactions] = 1;
    std::string snap;
    for (int mode : {0, 1}) {
        settings.result.on = mode;
        c.reset();
        results::DisplayInput in{s, &attrib::root(), &settings, &colors, &rd};
        results::drawModel(c, in);
        snap += kestrel_test::scene(mode ? "result mode" : "editing", c);
    }
    kestrel_test::expectGolden("results", "result-layer", snap);
}

} // namespace
