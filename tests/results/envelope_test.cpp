// Combinations and the envelope on frames analysed through the driver: a
// combination against the case holding its factored loads, and the two-span
// beam whose imposed load is a pattern case against the hand values.
#include "tests/analysis/fixture.h"

#include "analysis/stability.h"
#include "results/diagram.h"
#include "results/envelope.h"
#include "results/resultset.h"
#include "results/tables.h"
#include "units/units.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <tuple>

namespace analysis::test {
namespace {

using results::ResultKind;

class EnvelopeTest : public FrameTest {
protected:
    // Two spans of 6 m on three supports.
    void twoSpans() {
        line(0, 0, 6, 0);
        line(6, 0, 12, 0);
        standardProperties();
        support(at(0, 0), "110");
        support(at(6, 0), "010");
        support(at(12, 0), "010");
    }
    // A new case with a uniform load q on the members through the points.
    int loadCase(const char* label, double q, std::initializer_list<double> xs) {
        int id = 0;
        EXPECT_EQ(attrib::newCase(root(), label, &id), attrib::kCaseDone);
        attrib::PropertyBlock* b = block(attrib::kUlf, {0, q});
        for (double x : xs) give(bar(x, 0), attrib::kUniform, b);
        return id;
    }
    // Analyses every case, gathering the shares of the pattern cases.
    void analyse() {
        resetResults(s);
        const RunOutcome out =
            runAnalysis(s, root(), modelPath(), results::gatherShares(in, s, root()));
        ASSERT_EQ(out.status, RunStatus::kSolved) << out.message;
        results::readStoredResults(in, storedResults());
    }
    results::EnvelopeInput in;
};

// 1.35 G + 1.5 Q against one case holding 1.35 x 10 + 1.5 x 15 kN/m on
// span 1 and 1.35 x 10 on span 2: displacements, end forces, reactions and
// the ordinates at the steps, to 1e-12 relative.
TEST_F(EnvelopeTest, ACombinationIsTheCaseOfItsFactoredLoads) {
    twoSpans();
    const int g = loadCase("G", -10, {3, 9});
    const int q = loadCase("Q", -15, {3});
    const int f = loadCase("F", -36, {3});
    give(bar(9, 0), attrib::kUniform, block(attrib::kUlf, {0, -13.5}));
    int combo = 0;
    ASSERT_EQ(attrib::newCombination(root(), "ULS", &combo), attrib::kCaseDone);
    ASSERT_EQ(attrib::setFactor(root(), combo, g, 1.35), attrib::kCaseDone);
    ASSERT_EQ(attrib::setFactor(root(), combo, q, 1.5), attrib::kCaseDone);
    analyse();
    const CaseResults sum = combinedResults(storedResults(), attrib::factorsOf(root(), combo));
    const CaseResults& want = *storedResults().find(f);
    auto expectSame = [](const std::vector<double>& a, const std::vector<double>& b) {
        ASSERT_EQ(a.size(), b.size());
        double largest = 0;
        for (double v : b) largest = std::max(largest, std::fabs(v));
        for (std::size_t i = 0; i < a.size(); ++i) EXPECT_NEAR(a[i], b[i], 1e-12 * largest) << i;
    };
    expectSame(sum.displacements, want.displacements);
    expectSame(sum.endForces, want.endForces);
    const Numbering& n = storedResults().numbering;
    const auto r1 = supportReactions(n, sum, attrib::factorsOf(root(), combo));
    const auto r2 = supportReactions(n, want, attrib::factorsOf(root(), f));
    ASSERT_EQ(r1.size(), r2.size());
    for (std::size_t i = 0; i < r1.size(); ++i) EXPECT_NEAR(r1[i].fy, r2[i].fy, 1e-12 * 200);
    // The diagrams of the combination shown against those of the case.
    for (ResultKind kind : {ResultKind::Shear, ResultKind::Bending}) {
        for (double x = 0; x <= 6; x += 0.5) {
            ASSERT_TRUE(attrib::setShown(root(), combo));
            ASSERT_TRUE(showResults(root()));
            const double a = results::ordinate(results::memberInputOf(member(3, 0)), kind, x);
            ASSERT_TRUE(attrib::setShown(root(), f));
            ASSERT_TRUE(showResults(root()));
            const double b = results::ordinate(results::memberInputOf(member(3, 0)), kind, x);
            EXPECT_NEAR(a, b, 1e-12 * 120) << x;
        }
    }
    // A combination of nothing gives zeros, not an error.
    const CaseResults none = combinedResults(storedResults(), {});
    for (double v : none.endForces) EXPECT_EQ(v, 0);
}

// Dead 10 kN/m on both spans, imposed 15 kN/m as a pattern case: the
// largest sagging moment of span 1 comes from imposed load on span 1 only
// (R = 61.875 kN, M = 61.875^2 / 50 = 76.5703125 kNm at x = 2.475 m, where
// the shear of that loading is 0); the largest hogging moment over the
// middle support from imposed load on both spans (25 x 36 / 8 = 112.5 kNm,
// shear 75 + 18.75 = 93.75 kN).
TEST_F(EnvelopeTest, PatternLoadingOfATwoSpanBeamGivesTheHandValues) {
    twoSpans();
    const int g = loadCase("G", -10, {3, 9});
    const int q = loadCase("Q", -15, {3, 9});
    ASSERT_EQ(attrib::setPattern(root(), q, true), attrib::kCaseDone);
    analyse();
    ASSERT_EQ(in.patterns.size(), 1u);
    const results::EnvelopeCombos combos = {
        {100, {attrib::CaseFactor{g, 1}, attrib::CaseFactor{q, 1}}}};
    results::Envelope env;
    computeEnvelope(env, in.frame, in.cases, combos, in.patternList(), ResultKind::Bending);
    const std::size_t span1 = attrib::memberOf(member(3, 0))->number - 1;
    const results::MemberEnvelope& m = env.members.at(span1);
    EXPECT_NEAR(m.maxAlong.value, 76.5703125, 1e-9);
    EXPECT_NEAR(m.maxAlong.x, 2.475, 1e-9);
    EXPECT_EQ(m.maxAlong.combo, 100);
    EXPECT_TRUE(m.maxAlong.pattern);
    EXPECT_NEAR(m.maxAlong.V, 0, 1e-9);
    EXPECT_NEAR(m.minAlong.value, -112.5, 1e-9);
    EXPECT_NEAR(m.minAlong.x, 6, 1e-12);
    EXPECT_NEAR(std::fabs(m.minAlong.V), 93.75, 1e-9);
    // The least hogging over the middle support: dead load alone (each
    // span's imposed load hogs there), 10 x 36 / 8 = 45 kNm.
    EXPECT_NEAR(m.maxEnd[1].value, -45, 1e-9);
    // At the picked point the same values, with the other forces.
    const results::EnvelopePoint p =
        results::envelopeAt(in.frame, in.cases, combos, in.patternList(), span1, 6.0);
    EXPECT_NEAR(p.min[2].value, -112.5, 1e-9);
    EXPECT_NEAR(p.max[2].value, -45, 1e-9);
    // The middle support's reaction: 1.25 wL with both spans loaded,
    // 1.25 x 25 x 6 = 187.5 kN at most; each span's imposed load lifts it
    // (0.625 x 15 x 6), so the dead load's 75 kN at least.
    const std::size_t middle = 1;
    EXPECT_NEAR(env.reactions.at(middle).max[1], 187.5, 1e-9);
    EXPECT_NEAR(env.reactions.at(middle).min[1], 75, 1e-9);
}

// The shares of a pattern case add up to the case: at every sample point
// of every member the positive and the negative sums of N, V and M give the
// case's diagram, whatever the loads (thermal, linear, end moments, a
// settlement, an inclined support, hinges, moments that change sign). The
// frame's rigid and axially rigid members are made ordinary: the large
// stiffness that holds them makes their end forces good to 1e-5 only, in
// the case as in its shares.
TEST_F(EnvelopeTest, TheSharesOfAPatternCaseAddUpToTheCase) {
    everyKind();
    bar(0, 1).noAxial = 0;
    bar(4, 1).rigid = 0;
    attrib::setPattern(root(), attrib::activeCase(), true);
    analyse();
    ASSERT_EQ(in.patterns.size(), 1u);
    const results::PatternSums& sums = *in.patterns.front();
    for (std::size_t mi = 0; mi < in.frame.members.size(); ++mi) {
        const results::MemberInput m = results::memberInputOf(in.frame.members[mi]);
        const double L = results::memberLength(m);
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i <= results::kEnvelopeIntervals; ++i) {
                const double x = L * i / results::kEnvelopeIntervals;
                const double total =
                    sums.sum(mi, i, k, true).value + sums.sum(mi, i, k, false).value;
                EXPECT_NEAR(total, results::ordinate(m, static_cast<ResultKind>(k + 1), x), 1e-6)
                    << mi << " " << k << " " << i;
                EXPECT_GE(sums.sum(mi, i, k, true).value, 0);
                EXPECT_LE(sums.sum(mi, i, k, false).value, 0);
            }
    }
}

// The envelope of a single combination is that combination: both curves
// lie on each other.
TEST_F(EnvelopeTest, TheEnvelopeOfOneCombinationIsThatCombination) {
    twoSpans();
    const int g = loadCase("G", -10, {3, 9});
    analyse();
    const results::EnvelopeCombos combos = {{7, {attrib::CaseFactor{g, 1.35}}}};
    for (ResultKind kind : {ResultKind::Axial, ResultKind::Shear, ResultKind::Bending}) {
        results::Envelope env;
        computeEnvelope(env, in.frame, in.cases, combos, {}, kind);
        for (const results::MemberEnvelope& m : env.members) {
            ASSERT_EQ(m.max.pts.size(), m.min.pts.size());
            for (std::size_t i = 0; i < m.max.pts.size(); ++i)
                EXPECT_EQ(m.max.pts[i].f, m.min.pts[i].f);
        }
    }
}

// In second order each combination is solved on its own: on a sway portal (fixed bases, 2000 kN
// on each column, 10 kN/m on the beam, wind at the top) the envelope of two combinations is at
// every member end the larger and the smaller of the combinations' own second-order values, and its
// moments exceed those of the linear envelope; a combination beyond the critical load leaves no
// envelope.
TEST_F(EnvelopeTest, TheSecondOrderEnvelopeRunsOverEachCombinationsOwnResults) {
    line(0, 0, 0, 4);
    line(0, 4, 6, 4);
    line(6, 4, 6, 0);
    standardProperties();
    support(at(0, 0), "111");
    support(at(6, 0), "111");
    int wind = 0, roof = 0;
    ASSERT_EQ(attrib::newCase(root(), "Wind", &wind), attrib::kCaseDone);
    give(at(0, 4), block(attrib::kNff, {20, 0, 0}));
    ASSERT_EQ(attrib::newCase(root(), "Roof", &roof), attrib::kCaseDone);
    give(at(0, 4), block(attrib::kNff, {0, -2000, 0}));
    give(at(6, 4), block(attrib::kNff, {0, -2000, 0}));
    give(bar(3, 4), attrib::kUniform, block(attrib::kUlf, {0, -10})); // the ends' shear and moment
    std::vector<int> ids;
    for (const auto& [label, w, f] :
         {std::tuple{"A", 1.3, 1.0}, {"B", 1.0, 1.3}, {"C", 1.0, 10.0}}) {
        int id = 0;
        ASSERT_EQ(attrib::newCombination(root(), label, &id), attrib::kCaseDone);
        ASSERT_EQ(attrib::setFactor(root(), id, wind, w), attrib::kCaseDone);
        ASSERT_EQ(attrib::setFactor(root(), id, roof, f), attrib::kCaseDone);
        ids.push_back(id);
    }
    root().combos.back().inEnvelope = false;
    const ResultKind kinds[3] = {ResultKind::Axial, ResultKind::Shear, ResultKind::Bending};
    auto envelope = [&](const results::EnvelopeCombos& over) {
        std::array<results::Envelope, 3> env;
        results::computeEnvelopes(env.data(), kinds, 3, in.frame, in.cases, over, in.patternList());
        return env;
    };
    analyse();
    const auto linear = envelope(results::envelopeCombos(in, root()));
    resetResults(s);
    const StabilityOutcome out = runSecondOrder(s, root(), modelPath());
    ASSERT_EQ(out.status, RunStatus::kSolved) << out.message;
    storeSecondOrder(out, root());
    EXPECT_EQ(envelopeMemberWithoutResults(root()), 0);
    results::readStoredResults(in, storedResults());
    const results::EnvelopeCombos both = results::envelopeCombos(in, root());
    ASSERT_EQ(both.size(), 2u);
    const auto second = envelope(both), a = envelope({both[0]}), b = envelope({both[1]});
    const std::vector<CaseResults>& own = storedResults().combinations;
    for (int k = 0; k < 3; ++k)
        for (std::size_t m = 0; m < 3; ++m)
            for (int end = 0; end < 2; ++end) {
                SCOPED_TRACE(testing::Message() << "kind " << k << " member " << m + 1);
                const results::MemberEnvelope &e = second[k].members[m], &ea = a[k].members[m],
                                              &eb = b[k].members[m];
                EXPECT_EQ(e.maxEnd[end].value,
                          std::max(ea.maxEnd[end].value, eb.maxEnd[end].value));
                EXPECT_EQ(e.minEnd[end].value,
                          std::min(ea.minEnd[end].value, eb.minEnd[end].value));
                for (std::size_t c = 0; c < 2; ++c) { // one combination's value is its own
                    const double v = (c ? eb : ea).maxEnd[end].value;
                    EXPECT_EQ(v, (c ? eb : ea).minEnd[end].value);
                    EXPECT_NEAR(std::fabs(v), std::fabs(own[c].endForces[m * 6 + end * 3 + k]),
                                1e-9 * second[k].largest);
                }
            }
    // Between the ends the combination's own span loads shape it, as when it is shown alone.
    ASSERT_TRUE(attrib::setShown(root(), ids[0]));
    ASSERT_TRUE(showResults(root()));
    const results::MemberInput shown = results::memberInputOf(member(3, 4));
    const std::size_t beam = attrib::memberOf(member(3, 4))->number - 1;
    for (double x : {1.5, 3.0, 4.5}) {
        const results::EnvelopePoint p =
            results::envelopeAt(in.frame, in.cases, {both[0]}, in.patternList(), beam, x);
        EXPECT_NEAR(std::fabs(p.max[2].value),
                    std::fabs(results::ordinate(shown, ResultKind::Bending, x)),
                    1e-9 * second[2].largest);
    }
    EXPECT_GT(second[2].largest, 1.1 * linear[2].largest);
    EXPECT_LT(second[0].largest, 1.01 * linear[0].largest);
    // The envelope tables read the same input; with C in the envelope they have no rows.
    results::TableInput tables{&storedResults().numbering, &root(),
                               &storedResults(),           &in,
                               attrib::kEnvelope,          units::presetSettings(units::kSIPreset)};
    for (const bool withC : {false, true}) {
        root().combos.back().inEnvelope = withC;
        EXPECT_EQ(envelopeMemberWithoutResults(root()), withC ? ids.back() : 0);
        const std::vector<results::Table> t = results::buildTables(tables);
        const auto ex = *std::find_if(t.begin(), t.end(), [](const results::Table& x) {
            return x.kind == results::TableKind::MemberExtremes;
        });
        ASSERT_EQ(ex.rows.size(), withC ? 0u : 3u);
        for (std::size_t c = 0; !withC && c < ex.columns.size(); ++c)
            if (ex.columns[c].name == "M max") {
                EXPECT_NEAR(ex.rows[beam][c].value, second[2].members[beam].maxAlong.value, 1e-9);
            }
    }
}

} // namespace
} // namespace analysis::test
