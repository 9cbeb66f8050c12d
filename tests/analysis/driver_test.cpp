// The analysis driver on real frames: the checks in their order, numbering,
// file names, orientation vectors, and whole analyses (writer, engine,
// reading back, reactions) against closed-form results of beam theory.
#include "fixture.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace analysis::test {
namespace {

using attrib::kMaterial;
using attrib::kSection;

TEST(AnalysisNames, FileNamesAndOrientationVectors) {
    struct {
        const char* path;
        const char* dat;
    } names[] = {{"/m/frame.kst", "/m/frame.dat"},
                 {"/m/frame", "/m/frame.dat"},
                 {"/m.d/frame", "/m.d/frame.dat"},
                 {"a.b.kst", "a.b.dat"},
                 {"untitled.", "untitled.dat"}};
    for (const auto& n : names) EXPECT_EQ(analysisFileName(n.path, "dat"), n.dat) << n.path;
    EXPECT_EQ(analysisFileName("/m/frame.kst", "pos"), "/m/frame.pos");

    // dx, dy, vector: the axes and the four diagonals.
    const double v[][3] = {{1, 0, 1},  {-1, 0, 3},  {0, 1, 2},  {0, -1, 4}, {1, 1, 1},
                           {-1, 1, 2}, {-1, -1, 3}, {1, -1, 4}, {3, 2, 1},  {2, 3, 2}};
    for (const auto& r : v) EXPECT_EQ(orientationVector(r[0], r[1]), r[2]) << r[0] << "," << r[1];
    EXPECT_TRUE(readsLeftToRight(1e-6, -5));
    EXPECT_TRUE(readsLeftToRight(1e-8, 1));
    EXPECT_FALSE(readsLeftToRight(1e-8, -1));
    EXPECT_FALSE(readsLeftToRight(-1, 1));
}

TEST_F(FrameTest, ChecksFailInTheirOrder) {
    EXPECT_EQ(checkModel(s, root()), kCheckNoMember);
    EXPECT_STREQ(checkMessage(kCheckNoMember),
                 "\n No member defined. \n Please create the structure. \n");
    line(0, 0, 4, 0);
    line(4, 0, 4, 3);
    ASSERT_NE(mdl_insert_point(s, {9, 9}), nullptr); // an isolated node
    EXPECT_EQ(checkModel(s, root()), kCheckIsolatedNode);
    mdl_delete_vertex(node(9, 9));
    ASSERT_EQ(node(9, 9), nullptr);
    EXPECT_EQ(checkModel(s, root()), kCheckNoMaterial);
    attrib::PropertyBlock* m = block(attrib::kMaf, {2e8, 78.5, 1e-5});
    give(bar(2, 0), kMaterial, m);
    EXPECT_EQ(checkModel(s, root()), kCheckNoMaterial); // one member still lacks it
    give(bar(4, 1), kMaterial, m);
    EXPECT_EQ(checkModel(s, root()), kCheckNoSection);
    attrib::PropertyBlock* sc = block(attrib::kSpf, {0.01, 1e-4, 0.2, 0.1});
    give(bar(2, 0), kSection, sc);
    give(bar(4, 1), kSection, sc);
    EXPECT_EQ(checkModel(s, root()), kCheckOk);
    // A section with height 0, used by no member, is refused only once a
    // thermal load block exists, even one applied to no member.
    block(attrib::kSpf, {0.01, 1e-4, 0, 0.1});
    EXPECT_EQ(checkModel(s, root()), kCheckOk);
    block(attrib::kTpf, {10, 0});
    EXPECT_EQ(checkModel(s, root()), kCheckThermalSections);
    EXPECT_STREQ(checkMessage(kCheckThermalSections),
                 "\n  You must define positive values for height \n  and GC location in all "
                 "section properties! \n");
}

TEST_F(FrameTest, NumberingByHeightThenLeftToRight) {
    line(5, 2, 0, 2);  // drawn right to left
    line(0, 2, 3, -1); // the lowest node, right of the others
    line(5, 2, 3, -1);
    const Numbering n = numberModel(s);
    ASSERT_EQ(n.nodes.size(), 3u);
    EXPECT_EQ(at(3, -1).number, 1);
    EXPECT_EQ(at(0, 2).number, 2);
    EXPECT_EQ(at(5, 2).number, 3);
    // Members by (end-1 number, end-2 number).
    std::vector<std::pair<int, int>> ends;
    for (const Edge* e : n.members)
        ends.push_back({attrib::nodeOf(e->he1->vtx)->number, attrib::nodeOf(e->he2->vtx)->number});
    EXPECT_TRUE(std::is_sorted(ends.begin(), ends.end()));
    for (std::size_t i = 0; i < n.members.size(); ++i)
        EXPECT_EQ(attrib::memberOf(n.members[i])->number, static_cast<int>(i + 1));
}

// One whole analysis through the driver, as the result commands run it.
class SolvedFrame : public FrameTest {
protected:
    RunOutcome run() {
        EXPECT_EQ(checkModel(s, root()), kCheckOk);
        resetResults(s);
        RunOutcome out = runAnalysis(s, root(), modelPath());
        EXPECT_EQ(out.status, RunStatus::kSolved) << out.message;
        EXPECT_TRUE(std::filesystem::exists(dir / "frame.pos"));
        EXPECT_FALSE(std::filesystem::exists(dir / "frame.dat"));
        return out;
    }
    const Reaction& reaction(const std::vector<Reaction>& rs, double x, double y) {
        for (const Reaction& r : rs)
            if (r.node == node(x, y)) return r;
        ADD_FAILURE() << "no reaction at " << x << "," << y;
        return rs.front();
    }
    // Displacements carry four significant digits in the result file.
    static void near4(double got, double want, const char* what) {
        EXPECT_NEAR(got, want, 6e-4 * std::fabs(want) + 1e-12) << what;
    }
    // A member from (0, 0) to (4, 0) with the standard properties and the given supports;
    // returns the right-hand node.
    attrib::NodeAttrib& span(const char* left, const char* right) {
        line(0, 0, 4, 0);
        standardProperties();
        support(at(0, 0), left);
        support(at(4, 0), right);
        return at(4, 0);
    }
    static constexpr double EI = 2e4, EA = 2e6;
};

TEST_F(SolvedFrame, CantileverWithATipLoad) {
    line(0, 0, 2, 0);
    standardProperties();
    support(at(0, 0), "111");
    give(at(2, 0), block(attrib::kNff, {0, -10, 0}));
    const RunOutcome out = run();
    near4(at(2, 0).prescribed[1], -10 * 8 / (3 * EI), "tip deflection PL^3/3EI");
    near4(at(2, 0).prescribed[2], -10 * 4 / (2 * EI), "tip rotation PL^2/2EI");
    const attrib::MemberAttrib& m = bar(1, 0);
    EXPECT_NEAR(m.results[kV1], 10, 1e-4);
    EXPECT_NEAR(m.results[kM1], 20, 1e-4);
    EXPECT_NEAR(m.results[kM2], 0, 1e-4);
    for (const auto& rs : {supportReactions(out.numbering),
                           supportReactions(out.numbering, out.solution.end_forces)}) {
        ASSERT_EQ(rs.size(), 1u);
        EXPECT_NEAR(rs[0].fx, 0, 1e-9);
        EXPECT_NEAR(rs[0].fy, 10, 1e-6);
        EXPECT_NEAR(rs[0].mz, 20, 1e-6);
        EXPECT_TRUE(rs[0].hasFx && rs[0].hasFy && rs[0].hasMz);
    }
}

TEST_F(SolvedFrame, SimplySupportedBeamUnderAUniformLoad) {
    span("110", "010");
    give(bar(2, 0), attrib::kUniform, block(attrib::kUlf, {0, -5}));
    const RunOutcome out = run();
    near4(at(0, 0).prescribed[2], -5 * 64 / (24 * EI), "end rotation qL^3/24EI");
    near4(at(4, 0).prescribed[2], 5 * 64 / (24 * EI), "end rotation qL^3/24EI");
    const auto rs = supportReactions(out.numbering, out.solution.end_forces);
    ASSERT_EQ(rs.size(), 2u);
    for (const Reaction& r : rs) {
        EXPECT_NEAR(r.fy, 10, 1e-9);
        EXPECT_FALSE(r.hasMz);
    }
    EXPECT_FALSE(reaction(rs, 4, 0).hasFx); // the roller carries no horizontal force
}

TEST_F(SolvedFrame, PortalUnderALateralLoadIsInEquilibrium) {
    line(0, 0, 0, 3);
    line(0, 3, 4, 3);
    line(4, 3, 4, 0);
    standardProperties();
    support(at(0, 0), "111");
    support(at(4, 0), "111");
    give(at(0, 3), block(attrib::kNff, {10, 0, 0}));
    const RunOutcome out = run();
    const auto rs = supportReactions(out.numbering, out.solution.end_forces);
    ASSERT_EQ(rs.size(), 2u);
    const Reaction& a = reaction(rs, 0, 0);
    const Reaction& b = reaction(rs, 4, 0);
    EXPECT_NEAR(a.fx + b.fx, -10, 1e-9);
    EXPECT_NEAR(a.fy + b.fy, 0, 1e-9);
    // Moments about the origin: reactions and the load at (0, 3).
    EXPECT_NEAR(a.mz + b.mz + 4 * b.fy - 3 * 10, 0, 1e-8);
    EXPECT_GT(at(0, 3).prescribed[0], 0); // sways with the load
    // The same reactions from the stored (six-digit) end forces.
    const auto stored = supportReactions(out.numbering);
    EXPECT_NEAR(stored[0].fx, rs[0].fx, 1e-4);
    EXPECT_NEAR(stored[1].mz, rs[1].mz, 1e-4);
}

TEST_F(SolvedFrame, TrussCarriesOnlyAxialForces) {
    line(0, 0, 4, 0);
    line(4, 0, 2, 2);
    line(2, 2, 0, 0);
    standardProperties();
    for (Edge* e = s->edges; e; e = e->next)
        attrib::memberOf(e)->hingeStart = attrib::memberOf(e)->hingeEnd = 1;
    support(at(0, 0), "110");
    support(at(4, 0), "010");
    give(at(2, 2), block(attrib::kNff, {0, -10, 0}));
    run();
    // Chord in tension 5, diagonals in compression 10 / (2 sin 45).
    const attrib::MemberAttrib& chord = bar(2, 0);
    EXPECT_NEAR(chord.results[kN2], 5, 1e-4);
    EXPECT_NEAR(chord.results[kN1], -5, 1e-4);
    EXPECT_NEAR(std::fabs(bar(1, 1).results[kN1]), 5 * std::sqrt(2.0), 1e-4);
    EXPECT_LT(bar(1, 1).results[kN2] * chord.results[kN2], 0); // opposite sense
    for (const Edge* e = s->edges; e; e = e->next)
        for (int k : {kV1, kM1, kV2, kM2}) EXPECT_EQ(attrib::memberOf(e)->results[k], 0);
    near4(at(4, 0).prescribed[0], 5 * 4 / EA, "chord elongation NL/EA");
}

TEST_F(SolvedFrame, SettlementOfAFixedEnd) {
    attrib::NodeAttrib& b = span("111", "111");
    b.prescribedFlag = 1;
    b.prescribed[1] = -0.01;
    run();
    EXPECT_EQ(b.prescribed[1], -0.01); // a prescribed fixed direction keeps its value
    EXPECT_NEAR(std::fabs(bar(2, 0).results[kM1]), 6 * EI * 0.01 / 16, 1e-3);
    EXPECT_NEAR(std::fabs(bar(2, 0).results[kV1]), 12 * EI * 0.01 / 64, 1e-3);
    EXPECT_NEAR(bar(2, 0).results[kM1], bar(2, 0).results[kM2], 1e-3);
}

TEST_F(SolvedFrame, InclinedRollerReactsAlongItsAxis) {
    line(0, 0, 2, 0);
    line(2, 0, 4, 0);
    standardProperties();
    support(at(0, 0), "110");
    attrib::NodeAttrib& r = at(4, 0);
    support(r, "100");
    r.inclination = 30;
    give(at(2, 0), block(attrib::kNff, {0, -10, 0}));
    const RunOutcome out = run();
    const auto rs = supportReactions(out.numbering, out.solution.end_forces);
    const Reaction& b = reaction(rs, 4, 0);
    EXPECT_NEAR(b.fy, 5, 1e-9);
    EXPECT_NEAR(b.fx, 5 * std::sqrt(3.0), 1e-9); // along the roller's 30 degree axis
    EXPECT_NEAR(reaction(rs, 0, 0).fx, -5 * std::sqrt(3.0), 1e-9);
}

TEST_F(SolvedFrame, SpringSupportAndThermalGradient) {
    // A beam pinned at the left and carried by a vertical spring at the
    // right: the tip load goes into the spring and the beam turns rigidly.
    attrib::NodeAttrib& k = span("110", "020");
    k.spring[1] = 1000;
    give(k, block(attrib::kNff, {0, -10, 0}));
    RunOutcome out = run();
    near4(k.prescribed[1], -0.01, "spring deflection F/k");
    near4(at(0, 0).prescribed[2], -0.0025, "rigid rotation");
    EXPECT_NEAR(reaction(supportReactions(out.numbering, out.solution.end_forces), 4, 0).fy, 10,
                1e-9);

    // Simply supported, the lower fibre 20 degrees warmer: no forces, the
    // beam lengthens by alpha T L and its ends turn by alpha dT L / 2h.
    attrib::valuesOf(k.force)->values[1] = 0;
    support(k, "010");
    give(bar(2, 0), attrib::kThermal, block(attrib::kTpf, {0, 20}));
    out = run();
    near4(k.prescribed[0], 1e-5 * 10 * 4, "free elongation");
    near4(std::fabs(at(0, 0).prescribed[2]), 1e-5 * 20 * 4 / (2 * 0.2), "end rotation");
    EXPECT_LT(at(0, 0).prescribed[2] * k.prescribed[2], 0);
    for (int i : {kN1, kV1, kM1, kN2, kV2, kM2}) EXPECT_EQ(bar(2, 0).results[i], 0);
}

TEST_F(SolvedFrame, MechanismIsUnstableAndLeavesNoResults) {
    give(span("010", "010"), block(attrib::kNff, {0, -10, 0}));
    resetResults(s);
    const RunOutcome out = runAnalysis(s, root(), modelPath());
    EXPECT_EQ(out.status, RunStatus::kUnstable);
    EXPECT_EQ(out.message, kMsgUnstable);
    // The writer refuses a model whose lists are empty.
    mdl_reset();
    attrib::state().reset();
    mdl_register_hooks(&attrib::hooks());
    s = mdl_new_model();
    line(0, 0, 4, 0);
    const RunOutcome none = runAnalysis(s, root(), modelPath());
    EXPECT_EQ(none.status, RunStatus::kCannotWrite);
    EXPECT_EQ(none.message, "\n   Could not open temparary file for analysis.  \n");
    const RunOutcome nodir = runAnalysis(s, root(), (dir / "no" / "such.kst").string());
    EXPECT_EQ(nodir.status, RunStatus::kCannotWrite);
}

} // namespace
} // namespace analysis::test
