// Load cases analysed through the driver: self-weight against hand values,
// a settlement case beside a load case, and the results of each case shown
// in turn from what the one analysis stored.
#include "attrib/cases.h"
#include "tests/analysis/fixture.h"

#include "results/diagram.h"
#include "results/resultset.h"

#include <cmath>

namespace analysis::test {
namespace {

using results::ResultKind;

// The result file keeps six significant digits.
void expectClose(double got, double want) {
    EXPECT_NEAR(got, want, 1e-5 * std::fabs(want) + 1e-9);
}

double ordinateAt(Edge* e, ResultKind kind, double x) {
    return results::ordinate(results::memberInputOf(e), kind, x);
}

double reactionFy(const Numbering& n, const Vertex* v) {
    for (const Reaction& r : supportReactions(n))
        if (r.node == v) return r.fy;
    ADD_FAILURE() << "no reaction";
    return 0;
}

// A simply supported steel beam (specific weight 77 kN/m3, A = 0.01 m2,
// L = 6 m) and a fixed column 4 m high, in a case of factor 1 and one of
// 1.35: the reactions are 2.31 kN, the moment at mid-span 3.465 kNm and the
// column carries its weight as a pure axial force, all times the factor.
TEST_F(FrameTest, SelfWeightGivesTheHandValuesTimesItsFactor) {
    line(0, 0, 6, 0);
    line(20, 0, 20, 4);
    attrib::PropertyBlock* steel = block(attrib::kMaf, {2e8, 77, 1e-5});
    attrib::PropertyBlock* sec = block(attrib::kSpf, {0.01, 1e-4, 0.2, 0.1});
    for (Edge* e = s->edges; e; e = e->next) {
        give(*attrib::memberOf(e), attrib::kMaterial, steel);
        give(*attrib::memberOf(e), attrib::kSection, sec);
    }
    support(at(0, 0), "110");
    support(at(6, 0), "010");
    support(at(20, 0), "111");
    ASSERT_EQ(attrib::setSelfWeight(root(), 1, 1), attrib::kCaseDone);
    int scaled = 0;
    ASSERT_EQ(attrib::newCase(root(), "Scaled", &scaled), attrib::kCaseDone);
    ASSERT_EQ(attrib::setSelfWeight(root(), scaled, 1.35), attrib::kCaseDone);
    resetResults(s);
    const RunOutcome out = runAnalysis(s, root(), modelPath());
    ASSERT_EQ(out.status, RunStatus::kSolved) << out.message;
    ASSERT_EQ(storedResults().cases.size(), 2u);
    for (const auto& [id, factor] : {std::pair{scaled, 1.35}, std::pair{1, 1.0}}) {
        SCOPED_TRACE(factor);
        // The case shown comes from the stored results: no new analysis.
        ASSERT_TRUE(attrib::setActiveCase(root(), id));
        ASSERT_TRUE(showCaseResults(id));
        expectClose(reactionFy(out.numbering, node(0, 0)), 2.31 * factor);
        expectClose(reactionFy(out.numbering, node(6, 0)), 2.31 * factor);
        expectClose(std::fabs(ordinateAt(member(3, 0), ResultKind::Bending, 3)), 3.465 * factor);
        expectClose(std::fabs(ordinateAt(member(20, 2), ResultKind::Axial, 0)), 3.08 * factor);
        EXPECT_NEAR(ordinateAt(member(20, 2), ResultKind::Axial, 4), 0, 1e-9);
        EXPECT_NEAR(ordinateAt(member(20, 2), ResultKind::Shear, 2), 0, 1e-9);
        EXPECT_NEAR(ordinateAt(member(20, 2), ResultKind::Bending, 0), 0, 1e-9);
        expectClose(reactionFy(out.numbering, node(20, 0)), 3.08 * factor);
    }
    EXPECT_FALSE(showCaseResults(99));
}

// A two-span beam with a uniform load in one case and a settlement of the
// middle support in another: each case equals the model holding that case
// alone, so neither affects the other.
TEST_F(FrameTest, ASettlementCaseEqualsTheSettlementAloneAndLeavesTheOtherCase) {
    line(0, 0, 5, 0);
    line(5, 0, 10, 0);
    standardProperties();
    support(at(0, 0), "110");
    support(at(5, 0), "010");
    support(at(10, 0), "010");
    give(bar(2, 0), attrib::kUniform, block(attrib::kUlf, {0, -10}));
    give(bar(7, 0), attrib::kUniform, attrib::findBlock(root(), attrib::kUlf, 1));
    int settled = 0;
    ASSERT_EQ(attrib::newCase(root(), "Settlement", &settled), attrib::kCaseDone);
    attrib::SupportState st = attrib::supportOf(at(5, 0));
    st.prescribed = 1;
    st.values[attrib::kDy] = -0.01;
    at(5, 0).selected = 1;
    ASSERT_EQ(attrib::applySupport(s, st), 1);

    // The values of one case: end forces of both members, then the
    // displacements of the three nodes.
    auto values = [&](int id) {
        EXPECT_TRUE(showCaseResults(id));
        std::vector<double> v;
        for (double x : {2.0, 7.0})
            for (double r : bar(x, 0).results) v.push_back(r);
        for (double x : {0.0, 5.0, 10.0})
            for (double d : at(x, 0).displacement) v.push_back(d);
        return v;
    };
    auto run = [&] {
        resetResults(s);
        const RunOutcome out = runAnalysis(s, root(), modelPath());
        EXPECT_EQ(out.status, RunStatus::kSolved) << out.message;
    };
    run();
    const std::vector<double> load = values(1), settlement = values(settled);
    EXPECT_EQ(at(5, 0).displacement[1], -0.01);
    // Alone: the settlement case without the load case, then the load case
    // without the settlement case.
    ASSERT_EQ(attrib::removeCase(root(), s, 1), attrib::kCaseDone);
    run();
    const std::vector<double> settlementAlone = values(settled);
    ASSERT_EQ(mdl_undo(), -2);
    ASSERT_EQ(attrib::removeCase(root(), s, settled), attrib::kCaseDone);
    run();
    const std::vector<double> loadAlone = values(1);
    // To 1e-12 of the largest value of each kind (the 12 end forces, the 9
    // displacements): a direction held by the penalty of another case's
    // settlement moves by 1e-19 where a fixed one stays at 0.
    auto expectSame = [](const std::vector<double>& a, const std::vector<double>& b) {
        ASSERT_EQ(a.size(), b.size());
        for (auto [from, to] : {std::pair{0, 12}, std::pair{12, 21}}) {
            double largest = 0;
            for (int i = from; i < to; ++i) largest = std::max(largest, std::fabs(b[i]));
            for (int i = from; i < to; ++i) EXPECT_NEAR(a[i], b[i], 1e-12 * largest) << i;
        }
    };
    expectSame(load, loadAlone);
    expectSame(settlement, settlementAlone);
    EXPECT_NE(settlement, load);
}

} // namespace
} // namespace analysis::test
