// Result curves of frames analysed through the analysis driver, against the
// closed forms of beam theory. The results pass through the result file,
// which keeps six significant digits of the end forces and four of the
// displacements: the comparisons allow for that.
#include "tests/analysis/fixture.h"

#include "results/diagram.h"
#include "results/resultset.h"

#include <cmath>

namespace analysis::test {
namespace {

using attrib::kMaterial;
using attrib::kSection;
using results::ResultKind;

constexpr double E = 2e8, I = 1e-4, q = 10, L = 6;

class ResultsThroughDriver : public FrameTest {
protected:
    void analyse() {
        resetResults(s);
        const RunOutcome out = runAnalysis(s, root(), modelPath());
        ASSERT_EQ(out.status, RunStatus::kSolved) << out.message;
    }
    results::MemberCurve curve(double x, double y, ResultKind kind, double h = 0.01) {
        return kind == ResultKind::Deformed
                   ? results::sampleDeformed(results::memberInputOf(member(x, y)), h)
                   : results::sampleDiagram(results::memberInputOf(member(x, y)), kind, h);
    }
    // A simply supported beam under q downward, drawn from (x1, 0) to (x2, 0).
    void beam(double x1, double x2) {
        line(x1, 0, x2, 0);
        standardProperties();
        support(at(0, 0), "110");
        support(at(L, 0), "010");
        give(bar(L / 2, 0), attrib::kUniform, block(attrib::kUlf, {0, -q}));
        analyse();
    }
};

TEST_F(ResultsThroughDriver, SimplySupportedBeamBothWays) {
    for (bool reversed : {false, true}) {
        SetUp();
        beam(reversed ? L : 0, reversed ? 0 : L);
        SCOPED_TRACE(reversed);
        const results::MemberCurve m = curve(L / 2, 0, ResultKind::Bending);
        EXPECT_EQ(m.pts.size(), 603u); // sampled at the precision step
        EXPECT_NEAR(m.extremeX, L / 2, 1e-9);
        EXPECT_NEAR(std::fabs(m.extremeValue), q * L * L / 8, 1e-4);
        // Deflection 5qL^4/384EI at mid-span, from the end rotations the
        // analysis gives and the load between them.
        const results::MemberCurve d = curve(L / 2, 0, ResultKind::Deformed);
        const double mid = 5 * q * std::pow(L, 4) / (384 * E * I);
        EXPECT_NEAR(std::fabs(d.extremeValue), mid, 1e-3 * mid);
        EXPECT_NEAR(d.extremeX, L / 2, 1e-9);
        TearDown();
    }
}

TEST_F(ResultsThroughDriver, LinearLoadAndThermalGradient) {
    // A simply supported member with a load rising from 0 to p and a
    // fixed-fixed member under a gradient: closed forms the driver tests do
    // not check.
    line(0, 0, L, 0);
    line(0, 10, L, 10);
    standardProperties();
    support(at(0, 0), "110");
    support(at(L, 0), "010");
    give(bar(3, 0), attrib::kLinear, block(attrib::kLlf, {0, 0, 0, -q}));
    support(at(0, 10), "111");
    support(at(L, 10), "111");
    const double Tp = -10, Tm = 20;
    give(bar(3, 10), attrib::kThermal, block(attrib::kTpf, {Tp, Tm}));
    analyse();

    const results::MemberCurve shear = curve(3, 0, ResultKind::Shear);
    EXPECT_EQ(shear.pts.size(), 603u);
    EXPECT_NEAR(std::fabs(shear.extremeValue), q * L / 3, 1e-4);
    EXPECT_EQ(curve(3, 0, ResultKind::Axial).pts.size(), 4u);
    const auto ext = results::bendingExtremes(results::memberInputOf(member(3, 0)));
    ASSERT_EQ(ext.size(), 1u);
    EXPECT_NEAR(ext[0].x, L / std::sqrt(3.0), 1e-4);
    EXPECT_NEAR(std::fabs(ext[0].M), q * L * L / (9 * std::sqrt(3.0)), 1e-4);

    const double Mt = 1e-5 * E * I * (Tm - Tp) / 0.2;
    const results::MemberCurve tm = curve(3, 10, ResultKind::Bending);
    EXPECT_EQ(tm.pts.size(), 4u);
    EXPECT_NEAR(std::fabs(tm.pts[1].f), Mt, 1e-5 * Mt);
    EXPECT_NEAR(tm.pts[2].f, tm.pts[1].f, 1e-5 * Mt);
    const results::MemberCurve td = curve(3, 10, ResultKind::Deformed);
    EXPECT_NEAR(td.extremeValue, 0, 1e-9);
}

} // namespace
} // namespace analysis::test
