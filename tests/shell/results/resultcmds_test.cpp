// The result commands on the headless program: the check message, the save
// before the analysis (a cancelled Save As runs nothing and says nothing),
// the analysis with its files, switching kinds without a new analysis, the
// unstable frame, and the results cleared by an editing mode.
#include "tests/shell/beam.h"
#include "tests/shell/fixture.h"

#include "analysis/analysis.h"
#include "attrib/blocks.h"
#include "attrib/section.h"

#include "shell/results/resultcmds.h"

#include <cmath>
#include <filesystem>

namespace shelltest {
namespace {

namespace fs = std::filesystem;

class ResultCommandTest : public BeamTest {
protected:
    double endMoment() {
        double m = 0;
        for (Edge* e = state().model->edges; e; e = e->next)
            m = std::max(m, std::fabs(attrib::memberOf(e)->results[analysis::kM1]));
        return m;
    }
};

// A command that cannot show results leaves the result display off: the
// empty model with the check message (no file dialog), a cancelled Save As
// (no message, no file) and a mechanism with the unstable message.
TEST_F(ResultCommandTest, RefusedCommandsShowNoResults) {
    const struct {
        int beam;       // 0 none, 1 stable, 2 a mechanism
        int fileStatus; // of the Save As dialog; -2: none shown
        const char* action;
        const char* button;
        std::string message; // "" none
    } cases[] = {
        {0, -2, "Bending", "bending",
         "message [ Kestrel Message ]: \n No member defined. \n Please create the structure. \n"},
        {1, -1, "Axial", "axial", ""},
        {2, 1, "Axial", "axial",
         std::string("message [ Kestrel Message ]: ") + analysis::kMsgUnstable},
    };
    for (const auto& c : cases) {
        start("");
        if (c.beam) beam(c.beam == 1);
        if (c.fileStatus > -2) backend->queueFile(c.fileStatus, (dir / "beam").string());
        fire(c.action);
        EXPECT_EQ(backend->pendingCount(), 0u) << c.action; // the dialog was shown
        std::string message;                                // the last one shown
        for (const std::string& line : backend->transcript())
            if (line.rfind("message [", 0) == 0) message = line;
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(state().settings.result.on, 0);
        EXPECT_EQ(state().settings.result.kind, 0);
        EXPECT_EQ(value(c.button), "OFF");
        EXPECT_EQ(fs::exists(dir / "beam.kst"), c.beam == 2) << c.beam;
        EXPECT_TRUE(backend->errors().empty()) << c.beam;
    }
}

TEST_F(ResultCommandTest, AnalysesOnceAndSwitchesKindsUntilAnEditingMode) {
    beam();
    saveAsBeam();
    ASSERT_TRUE(shell::resultCommand(3));
    EXPECT_EQ(backend->pendingCount(), 0u);
    EXPECT_EQ(state().file.shortName, "beam.kst");
    EXPECT_TRUE(fs::exists(dir / "beam.kst"));
    EXPECT_EQ(state().settings.result.on, 1);
    EXPECT_EQ(state().settings.result.kind, 3);
    EXPECT_EQ(value("bending"), "ON");
    EXPECT_EQ(title("modelabel"), "Bending Moment:");
    EXPECT_TRUE(fs::exists(dir / "beam.pos"));
    EXPECT_FALSE(fs::exists(dir / "beam.dat"));
    EXPECT_NEAR(endMoment(), 10.0 * 4 / 4, 1e-4); // PL/4 at the middle node

    fs::remove(dir / "beam.pos");
    fire("Shear"); // the stored results serve: nothing is analysed again
    EXPECT_EQ(state().settings.result.kind, 2);
    EXPECT_EQ(value("shear"), "ON");
    EXPECT_EQ(value("bending"), "OFF");
    EXPECT_FALSE(fs::exists(dir / "beam.pos"));

    fire("Select");
    EXPECT_EQ(state().settings.result.on, 0);
    EXPECT_EQ(state().settings.result.kind, 0);
    EXPECT_EQ(endMoment(), 0);
    fire("Deformed"); // named and saved now: no dialog, a new analysis
    EXPECT_TRUE(backend->errors().empty());
    EXPECT_TRUE(fs::exists(dir / "beam.pos"));
    EXPECT_EQ(state().settings.result.kind, 4);
}

} // namespace
} // namespace shelltest
