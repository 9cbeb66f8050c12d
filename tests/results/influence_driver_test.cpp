// Influence lines through the analysis driver against the closed forms of a
// simply supported beam and a cantilever: the moment line at mid-span is a
// triangle with L/4 under the section, the shear line jumps by 1 there, the
// moment line of a cantilever's fixed end reaches the span at the free end.
// Displacements pass through the result file with four significant digits.
#include "tests/analysis/fixture.h"

#include "results/influence.h"
#include "results/resultset.h"

#include <cmath>

namespace analysis::test {
namespace {

using results::ResultKind;
constexpr double L = 6;

class InfluenceThroughDriver : public FrameTest {
protected:
    // The influence line of `kind` at a on the member through (mx, 0).
    results::MemberCurve influence(ResultKind kind, double a) {
        resetResults(s);
        Edge* e = member(L / 2, 0);
        const RunOutcome out =
            runInfluenceAnalysis(s, root(), modelPath(), {static_cast<int>(kind), e, a, L});
        EXPECT_EQ(out.status, RunStatus::kSolved) << out.message;
        return results::sampleInfluence(results::memberInputOf(e), kind, true, a, 0.01);
    }
    static double at(const results::MemberCurve& c, double x, bool rightSide = false) {
        const results::Sample* best = nullptr;
        for (const results::Sample& p : c.pts) {
            if (&p == &c.pts.front() || &p == &c.pts.back()) continue;
            if (std::fabs(p.x - x) < 1e-9 && (!best || rightSide)) best = &p;
        }
        EXPECT_TRUE(best) << "no point at " << x;
        return best ? best->f : NAN;
    }
};

TEST_F(InfluenceThroughDriver, SimplySupportedBeamBothWays) {
    for (bool reversed : {false, true}) {
        SetUp();
        SCOPED_TRACE(reversed);
        line(reversed ? L : 0, 0, reversed ? 0 : L, 0);
        standardProperties();
        support(FrameTest::at(0, 0), "110");
        support(FrameTest::at(L, 0), "010");
        const double a = L / 2; // mid-span either way
        const results::MemberCurve m = influence(ResultKind::Bending, a);
        const double tol = 1e-3 * L / 4;
        // Positive: a load going down anywhere sags the beam, whichever
        // way it was drawn.
        EXPECT_NEAR(at(m, a), L / 4, tol);
        for (double x : {0.0, 0.3, 1.5, 2.4, 3.6, 4.5, 5.7, 6.0})
            EXPECT_NEAR(at(m, x), (x <= a ? x : L - x) / 2, tol) << x;
        EXPECT_EQ(m.pts.size(), 603u); // 300 intervals a side, the kink once
        EXPECT_NEAR(std::fabs(m.extremeValue), L / 4, tol);

        const results::MemberCurve v = influence(ResultKind::Shear, L / 3);
        EXPECT_NEAR(std::fabs(at(v, L / 3) - at(v, L / 3, true)), 1, 1e-3);
        EXPECT_NEAR(std::fabs(at(v, 0)), 0, 1e-3);
        EXPECT_NEAR(std::fabs(at(v, L)), 0, 1e-3);
        TearDown();
    }
}

TEST_F(InfluenceThroughDriver, CantileverFixedEndMomentReachesTheSpan) {
    line(0, 0, L, 0);
    standardProperties();
    support(FrameTest::at(0, 0), "111");
    const results::MemberCurve m = influence(ResultKind::Bending, 0);
    EXPECT_NEAR(std::fabs(at(m, L)), L, 1e-3 * L);
    EXPECT_NEAR(std::fabs(at(m, L / 2)), L / 2, 1e-3 * L);
}

} // namespace
} // namespace analysis::test
