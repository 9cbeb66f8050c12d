// The analysis driver on real frames: the checks in their order, numbering,
// file names, orientation vectors, and whole analyses (writer, engine,
// reading back, reactions) with their statuses.
#include "attrib/cases.h"
#include "fixture.h"

#include <cmath>
#include <filesystem>
#include <fstream>

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

// One whole analysis through the driver, as the result commands run it. The closed forms of
// beam theory are checked on the engine; here what the driver adds: the neutral file removed,
// the results stored on the attributes and the support reactions.
//
// The frame with every attribute kind: each node's displacements and each member's end forces
// are stored as the engine found them, to the four and six significant digits of the result
// file, except the fixed directions of a node with prescribed values, which keep their values;
// both ways of taking the reactions agree, carry the components their support can, and
// balance the loads.
TEST_F(FrameTest, EveryKindStoresTheResultsAndItsReactionsBalanceTheLoads) {
    everyKind();
    // Without the rigid members, whose stiffness of 1e7 times that of the others leaves the
    // sums of the reactions exact only to 1e-4, and with a bending stiffness for D: with I = 0
    // the engine keeps the fixed-end moments of its load, and its hinged end passes one to the
    // rotation the writer fixes at node 5, which is no support reaction.
    bar(0, 1).noAxial = bar(4, 1).rigid = 0;
    bar(6, 3).blocks[attrib::kSection] = bar(2, 3).blocks[attrib::kSection];
    attrib::loadsFor(at(0, 0), attrib::activeCase()).prescribed[1] =
        -0.0123456; // more digits than the result file keeps
    EXPECT_EQ(checkModel(s, root()), kCheckOk);
    resetResults(s);
    const RunOutcome out = runAnalysis(s, root(), modelPath());
    ASSERT_EQ(out.status, RunStatus::kSolved) << out.message;
    EXPECT_TRUE(std::filesystem::exists(dir / "frame.pos"));
    EXPECT_FALSE(std::filesystem::exists(dir / "frame.dat"));
    const kestrel::engine::EngineSolution& sol = out.solution;
    for (const Vertex* v : out.numbering.nodes) {
        const attrib::NodeAttrib& a = *attrib::nodeOf(v);
        for (int d = 0; d < 3; ++d) {
            const double want =
                sol.cases.at(0).displacements[(a.number - 1) * 6 + (d == 2 ? 5 : d)];
            const bool kept = attrib::hasPrescribed(a, attrib::activeCase()) && a.support[d] == '1';
            EXPECT_NEAR(a.displacement[d], want, kept ? 1e-15 : 6e-4 * std::fabs(want) + 1e-12)
                << a.number << " " << d;
        }
    }
    EXPECT_EQ(at(0, 0).displacement[1], -0.0123456);
    ASSERT_EQ(sol.element_numbers, (std::vector<int>{1, 2, 3, 4}));
    for (const Edge* e : out.numbering.members) {
        const attrib::MemberAttrib& m = *attrib::memberOf(e);
        const double* f = &sol.cases.at(0).end_forces[(m.number - 1) * 12];
        const double want[] = {f[0], f[1], f[5], f[6], f[7], f[11]};
        for (int k : {kN1, kV1, kM1, kN2, kV2, kM2}) {
            const double w = std::fabs(want[k]) < 1e-5 ? 0 : want[k];
            EXPECT_NEAR(m.results[k], w, 6e-6 * std::fabs(w) + 1e-12) << m.number << " " << k;
        }
    }

    const auto rs =
        supportReactions(out.numbering, sol.cases.at(0).end_forces, attrib::activeCase());
    const auto stored = supportReactions(out.numbering);
    ASSERT_EQ(rs.size(), 3u);
    ASSERT_EQ(stored.size(), 3u);
    double fx = 0, fy = 0, mz = 0;
    for (std::size_t i = 0; i < rs.size(); ++i) {
        const Reaction& r = rs[i];
        EXPECT_NEAR(stored[i].fx, r.fx, 1e-4);
        EXPECT_NEAR(stored[i].fy, r.fy, 1e-4);
        EXPECT_NEAR(stored[i].mz, r.mz, 1e-4);
        fx += r.fx, fy += r.fy, mz += r.mz + r.node->x * r.fy - r.node->y * r.fx;
    }
    // Node 1 fixed, node 2 an inclined roller, node 5 a vertical spring.
    const Reaction& fixed = rs[0];
    const Reaction& roller = rs[1];
    const Reaction& spring = rs[2];
    EXPECT_EQ(fixed.node, node(0, 0));
    EXPECT_TRUE(fixed.hasFx && fixed.hasFy && fixed.hasMz);
    EXPECT_TRUE(roller.hasFx && roller.hasFy && !roller.hasMz);
    EXPECT_TRUE(!spring.hasFx && spring.hasFy && !spring.hasMz);
    EXPECT_EQ(spring.fx, 0);
    // The roller reacts along its 30 degree axis, the spring by its stiffness.
    EXPECT_NEAR(roller.fx * 0.5 - roller.fy * std::sqrt(0.75), 0, 1e-9);
    EXPECT_NEAR(spring.fy, -500 * sol.cases.at(0).displacements[4 * 6 + 1], 1e-9);
    // The loads: 10 at (0, 3) along x, 5 down over B from x = 0 to 4, 2 to 4 down over D from
    // x = 4 to 8 (12 at x = 4 + 40 / 18), and the moment 5 at the end of B.
    EXPECT_NEAR(fx, -10, 1e-9);
    EXPECT_NEAR(fy, 20 + 12, 1e-9);
    EXPECT_NEAR(mz, 30 + 20 * 2 + 12 * (4 + 40.0 / 18) - 5, 1e-8);
}

TEST_F(FrameTest, MechanismIsUnstableAndLeavesNoResults) {
    line(0, 0, 4, 0);
    standardProperties();
    support(at(0, 0), "010");
    support(at(4, 0), "010");
    give(at(4, 0), block(attrib::kNff, {0, -10, 0}));
    resetResults(s);
    const RunOutcome out = runAnalysis(s, root(), modelPath());
    EXPECT_EQ(out.status, RunStatus::kUnstable);
    EXPECT_EQ(out.message, kMsgUnstable);
    // The writer refuses a model whose lists are empty.
    SetUp();
    line(0, 0, 4, 0);
    const RunOutcome none = runAnalysis(s, root(), modelPath());
    EXPECT_EQ(none.status, RunStatus::kCannotWrite);
    EXPECT_EQ(none.message, "\n   Could not open temparary file for analysis.  \n");
    const RunOutcome nodir = runAnalysis(s, root(), (dir / "no" / "such.kst").string());
    EXPECT_EQ(nodir.status, RunStatus::kCannotWrite);
}

// The cases of a model reach the engine in memory; the same cases written as load blocks of a
// neutral file give the same numbers to the last bit. Every load kind is in the first case,
// self-weight and another set in the second.
TEST_F(FrameTest, CasesInMemoryEqualTheirNeutralFile) {
    everyKind();
    int id = 0;
    ASSERT_EQ(attrib::newCase(root(), "Second", &id), attrib::kCaseDone);
    attrib::setSelfWeight(root(), id, 1.35);
    ASSERT_TRUE(attrib::setActiveCase(root(), id));
    give(bar(6, 3), attrib::kUniform, block(attrib::kUlf, {1, -3}, 1));
    give(at(4, 3), block(attrib::kNff, {0, -20, 4}));
    resetResults(s);
    const RunOutcome out = runAnalysis(s, root(), modelPath());
    ASSERT_EQ(out.status, RunStatus::kSolved) << out.message;
    ASSERT_EQ(out.solution.cases.size(), 2u);

    std::string text = "neutral file\n";
    ASSERT_TRUE(writeModelSection(text, out.numbering, root()));
    const std::string dat = (dir / "text.dat").string();
    std::ofstream(dat) << text;
    kestrel::engine::EngineSolution fromText;
    std::string message;
    ASSERT_EQ(kestrel::engine::AnalyseCore(dat.c_str(), &message, &fromText),
              kestrel::engine::kAnalyseSolved)
        << message;
    ASSERT_EQ(fromText.cases.size(), 2u);
    for (std::size_t c = 0; c < 2; ++c) {
        EXPECT_EQ(fromText.cases[c].label, out.solution.cases[c].label);
        EXPECT_EQ(fromText.cases[c].displacements, out.solution.cases[c].displacements) << c;
        EXPECT_EQ(fromText.cases[c].end_forces, out.solution.cases[c].end_forces) << c;
    }
    EXPECT_NE(out.solution.cases[0].end_forces, out.solution.cases[1].end_forces);
}

// A pattern case hands out its shares in numbering order (its nodal force with its settlement,
// then each loaded member); they add up to the stored case, and asking for them changes no
// stored result. The case beside it is not split.
TEST_F(FrameTest, PatternCaseSharesAddUpToTheStoredCase) {
    line(0, 0, 5, 0);
    line(5, 0, 10, 0);
    standardProperties();
    support(at(0, 0), "111");
    support(at(5, 0), "010");
    support(at(10, 0), "010");
    attrib::PropertyBlock* q = block(attrib::kUlf, {0, -6}, 0);
    give(bar(2, 0), attrib::kUniform, q);
    int id = 0;
    ASSERT_EQ(attrib::newCase(root(), "Pattern", &id), attrib::kCaseDone);
    ASSERT_TRUE(attrib::setActiveCase(root(), id));
    root().cases.back().pattern = true;
    give(bar(2, 0), attrib::kUniform, q);
    give(bar(7, 0), attrib::kUniform, q);
    give(at(10, 0), block(attrib::kNff, {3, 0, 0}));
    attrib::NodeLoads& settled = attrib::loadsFor(at(0, 0), id);
    settled.prescribedFlag = 1;
    settled.prescribed[1] = -0.002;
    // Several cases are taken from memory: no result file, and one an earlier run left goes,
    // while a file of that name the program did not write stays.
    const std::filesystem::path pos = dir / "frame.pos";
    for (const std::string text :
         {"%HEADER     \nNeutral file created by Bracer module of KESTREL program\n", "notes\n"}) {
        std::ofstream(pos) << text;
        resetResults(s);
        ASSERT_EQ(runAnalysis(s, root(), modelPath()).status, RunStatus::kSolved);
        EXPECT_EQ(std::filesystem::exists(pos), text == "notes\n");
    }
    const StoredResults plain = storedResults();

    std::vector<std::pair<int, int>> shares;
    std::vector<double> settlement;
    CaseResults sum{id, std::vector<double>(9), std::vector<double>(12)};
    RunOptions options;
    options.onShare = [&](int loadCase, int member, const CaseResults& r) {
        shares.emplace_back(loadCase, member);
        settlement.push_back(r.displacements[1]);
        for (std::size_t i = 0; i < 9; ++i) sum.displacements[i] += r.displacements.at(i);
        for (std::size_t i = 0; i < 12; ++i) sum.endForces[i] += r.endForces.at(i);
    };
    resetResults(s);
    ASSERT_EQ(runAnalysis(s, root(), modelPath(), options).status, RunStatus::kSolved);
    EXPECT_EQ(shares, (std::vector<std::pair<int, int>>{{id, 0}, {id, 1}, {id, 2}}));
    EXPECT_EQ(settlement, (std::vector<double>{-0.002, 0, 0}));
    ASSERT_EQ(storedResults().cases.size(), 2u);
    for (std::size_t c = 0; c < 2; ++c) {
        EXPECT_EQ(storedResults().cases[c].displacements, plain.cases[c].displacements);
        EXPECT_EQ(storedResults().cases[c].endForces, plain.cases[c].endForces);
    }
    // The stored case has the engine's full precision; each share drops end forces below 1e-5,
    // as the result file's reader does.
    const CaseResults& whole = *storedResults().find(id);
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_NEAR(sum.displacements[i], whole.displacements[i], 1e-12) << i;
    for (std::size_t i = 0; i < 12; ++i)
        EXPECT_NEAR(sum.endForces[i], whole.endForces[i],
                    1e-9 * std::fabs(whole.endForces[i]) + 3e-5)
            << i;
    EXPECT_NEAR(sum.endForces[kN1], -3, 1e-9); // the pull passes through both spans
}

} // namespace
} // namespace analysis::test
