// The neutral file keeps every digit of the frame: a cantilever moved far
// from the origin deflects as it does at the origin.
#include "tests/analysis/fixture.h"

#include <cmath>

namespace analysis::test {
namespace {

class PrecisionTest : public FrameTest {
protected:
    // Tip deflection (full precision) of a 2.5 m cantilever starting at x0
    // under a 10 kN tip load.
    double tipDeflection(double x0) {
        line(x0, 0, x0 + 2.5, 0);
        standardProperties();
        support(at(x0, 0), "111");
        give(at(x0 + 2.5, 0), block(attrib::kNff, {0, -10, 0}));
        EXPECT_EQ(checkModel(s, root()), kCheckOk);
        const RunOutcome out = runAnalysis(s, root(), modelPath());
        EXPECT_EQ(out.status, RunStatus::kSolved) << out.message;
        const int tip = at(x0 + 2.5, 0).number;
        return out.solution.cases.at(0).displacements.at(6 * (tip - 1) + 1);
    }
};

TEST_F(PrecisionTest, CantileverFarFromTheOriginDeflectsAsAtTheOrigin) {
    // 12,345.25 and 12,347.75 written with six digits became a 2.6 m span.
    const double far = tipDeflection(12345.25);
    const double closedForm = -10 * std::pow(2.5, 3) / (3 * 2e4);
    EXPECT_NEAR(far, closedForm, 1e-9 * std::fabs(closedForm));
}

} // namespace
} // namespace analysis::test
