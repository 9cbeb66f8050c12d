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

using results::ResultKind;

constexpr double E = 2e8, I = 1e-4, q = 10, L = 6;

// Three members analysed at once: a simply supported beam under q drawn
// right to left, a simply supported member with a load rising from 0 to q,
// and a fixed-fixed member under a thermal gradient.
TEST_F(FrameTest, ResultCurvesOfAnalysedFrames) {
    line(L, 0, 0, 0);
    line(0, 10, L, 10);
    line(0, 20, L, 20);
    standardProperties();
    for (double y : {0, 10}) {
        support(at(0, y), "110");
        support(at(L, y), "010");
    }
    give(bar(3, 0), attrib::kUniform, block(attrib::kUlf, {0, -q}));
    give(bar(3, 10), attrib::kLinear, block(attrib::kLlf, {0, 0, 0, -q}));
    support(at(0, 20), "111");
    support(at(L, 20), "111");
    const double Tp = -10, Tm = 20;
    give(bar(3, 20), attrib::kThermal, block(attrib::kTpf, {Tp, Tm}));
    resetResults(s);
    const RunOutcome out = runAnalysis(s, root(), modelPath());
    ASSERT_EQ(out.status, RunStatus::kSolved) << out.message;
    auto curve = [&](double y, ResultKind kind) {
        const results::MemberInput m = results::memberInputOf(member(3, y));
        return kind == ResultKind::Deformed ? results::sampleDeformed(m, 0.01)
                                            : results::sampleDiagram(m, kind, 0.01);
    };

    const results::MemberCurve m = curve(0, ResultKind::Bending);
    EXPECT_EQ(m.pts.size(), 603u); // sampled at the precision step
    EXPECT_NEAR(m.extremeX, L / 2, 1e-9);
    EXPECT_NEAR(std::fabs(m.extremeValue), q * L * L / 8, 1e-4);
    // Deflection 5qL^4/384EI at mid-span, from the end rotations the
    // analysis gives and the load between them.
    const results::MemberCurve d = curve(0, ResultKind::Deformed);
    const double mid = 5 * q * std::pow(L, 4) / (384 * E * I);
    EXPECT_NEAR(std::fabs(d.extremeValue), mid, 1e-3 * mid);
    EXPECT_NEAR(d.extremeX, L / 2, 1e-9);

    const results::MemberCurve shear = curve(10, ResultKind::Shear);
    EXPECT_EQ(shear.pts.size(), 603u);
    EXPECT_NEAR(std::fabs(shear.extremeValue), q * L / 3, 1e-4);
    EXPECT_EQ(curve(10, ResultKind::Axial).pts.size(), 4u);
    const auto ext = results::bendingExtremes(results::memberInputOf(member(3, 10)));
    ASSERT_EQ(ext.size(), 1u);
    EXPECT_NEAR(ext[0].x, L / std::sqrt(3.0), 1e-4);
    EXPECT_NEAR(std::fabs(ext[0].M), q * L * L / (9 * std::sqrt(3.0)), 1e-4);

    const double Mt = 1e-5 * E * I * (Tm - Tp) / 0.2;
    const results::MemberCurve tm = curve(20, ResultKind::Bending);
    EXPECT_EQ(tm.pts.size(), 4u);
    EXPECT_NEAR(std::fabs(tm.pts[1].f), Mt, 1e-5 * Mt);
    EXPECT_NEAR(tm.pts[2].f, tm.pts[1].f, 1e-5 * Mt);
    EXPECT_NEAR(curve(20, ResultKind::Deformed).extremeValue, 0, 1e-9);
}

} // namespace
} // namespace analysis::test
