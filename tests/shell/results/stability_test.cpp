// Second order, buckling and vibration in the window: the example journal on
// the sway portal (the analysis choice, second-order results and their texts,
// a combination beyond the critical load, the envelope, back to linear).
#include "tests/shell/beam.h"
#include "tests/shell/fixture.h"
#include "tests/support/golden.h"

#include "analysis/engine/engine.h"
#include "shell/results/modedisplay.h"
#include "shell/results/resultdisplay.h"
#include "shell/state.h"

#include <cmath>
#include <cstdio>

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

// The simply supported beam of 4 m: no axial force, so no buckling; its
// bending frequencies (n pi / L)^2 sqrt(EI / m) / 2 pi, m = specific weight
// x A / 9.81, step through n = 1 and 2; without mass, the engine's note.
TEST_F(BeamTest, ModesOfABeamSayWhyThereAreNoneOrStepThroughItsFrequencies) {
    start("");
    beam(true);
    saveAsBeam();
    auto prompt = [&] { return title("datatopmsg"); };
    tk->select(at("resultmode"), 3);
    EXPECT_TRUE(shell::modeDisplayShown());
    EXPECT_EQ(prompt(), kestrel::engine::kNoCompression);
    EXPECT_EQ(shell::resultDrawing(), nullptr);
    EXPECT_EQ(at("modenext").get("ACTIVE"), "NO");
    tk->select(at("resultmode"), 4);
    ASSERT_NE(shell::resultDrawing(), nullptr);
    EXPECT_EQ(at("modenext").get("ACTIVE"), "YES");
    const double EI = 1e8 * 1e-4, m = 10 * 0.01 / 9.81, L = 4;
    for (int n : {1, 2}) {
        const std::string text = prompt();
        int mode = 0, count = 0;
        double f = 0;
        char unit[8] = "";
        ASSERT_EQ(
            std::sscanf(text.c_str(), "Vibration mode %d of %d: %lf %7s", &mode, &count, &f, unit),
            4)
            << text;
        EXPECT_EQ(mode, n);
        EXPECT_EQ(count, 5);
        EXPECT_STREQ(unit, "Hz");
        const double exact = std::pow(n * M_PI / L, 2) * std::sqrt(EI / m) / (2 * M_PI);
        EXPECT_NEAR(f, exact, 1e-4 * exact) << text;
        fire("ModeNext");
    }
    // Without mass: the note, nothing drawn; a result button shows diagrams.
    attrib::valuesOf(attrib::root().lists[attrib::kMaf])->values[attrib::kSpecificWeight] = 0;
    tk->select(at("resultmode"), 4);
    EXPECT_EQ(prompt(), kestrel::engine::kNoMass);
    EXPECT_EQ(shell::resultDrawing(), nullptr);
    fire("Bending");
    EXPECT_FALSE(shell::modeDisplayShown());
    EXPECT_EQ(value("resultmode"), "1");
    EXPECT_NE(shell::resultDrawing(), nullptr);
}

TEST_F(ReplayTest, SecondOrderExampleReplaysOnItsModel) {
    EXPECT_EQ(replay(example("second-order"), copyOf("examples/sway-portal.kst")), 0) << errors;
    kestrel_test::expectGolden("shell", "second-order-example", output);
}

} // namespace
} // namespace shelltest
