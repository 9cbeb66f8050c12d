// Second order, buckling and vibration in the window: the example journal on
// the sway portal (the analysis choice, second-order results and their texts,
// a combination beyond the critical load, the envelope, back to linear).
#include "tests/shell/fixture.h"
#include "tests/support/golden.h"

#include "attrib/cases.h"
#include "shell/state.h"

namespace shelltest {
namespace {

// The choice is the model's: it marks the frame modified, and choosing it
// again changes nothing; the two toggles always show the one chosen.
TEST_F(ShellTest, TheAnalysisChoiceIsExclusiveAndMarksTheFrameModified) {
    start("");
    const struct {
        const char* action;
        int analysis, saved;
        const char *linear, *second;
    } steps[] = {
        {"AnlSecondOrder", attrib::kSecondOrderAnalysis, 0, "OFF", "ON"},
        {"AnlSecondOrder", attrib::kSecondOrderAnalysis, 1, "OFF", "ON"},
        {"AnlLinearInter", attrib::kLinearAnalysis, 0, "ON", "OFF"},
    };
    for (const auto& s : steps) {
        state().file.saved = 1;
        fire(s.action);
        EXPECT_EQ(attrib::root().analysis, s.analysis) << s.action;
        EXPECT_EQ(shell::isSaved(), s.saved) << s.action;
        EXPECT_EQ(value("anllinearinter"), s.linear);
        EXPECT_EQ(value("anlsecondorder"), s.second);
    }
}

TEST_F(ReplayTest, SecondOrderExampleReplaysOnItsModel) {
    EXPECT_EQ(replay(example("second-order"), copyOf("examples/sway-portal.kst")), 0) << errors;
    kestrel_test::expectGolden("shell", "second-order-example", output);
}

} // namespace
} // namespace shelltest
