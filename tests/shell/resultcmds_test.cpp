// The result commands on the headless program: the check message, the save
// before the analysis (a cancelled Save As runs nothing and says nothing),
// the analysis with its files, switching kinds without a new analysis, the
// unstable frame, and the results cleared by an editing mode.
#include "beam.h"
#include "fixture.h"

#include "analysis/analysis.h"
#include "attrib/blocks.h"
#include "attrib/section.h"

#include "shell/resultcmds.h"

#include <cmath>
#include <filesystem>
#include <unistd.h>

namespace shelltest {
namespace {

namespace fs = std::filesystem;

// Messages shown so far.
int messages(const CountingBackend& b) {
    int n = 0;
    for (const std::string& line : b.transcript()) n += line.rfind("message [", 0) == 0;
    return n;
}

class ResultCommandTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        dir = fs::temp_directory_path() / ("kestrel-results-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        ShellTest::TearDown();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // A beam of 4 m on two supports, with a material, a section and a load
    // at its middle node; `stable` false leaves it free to slide.
    void beam(bool stable) { supportedBeam(state().model, stable); }
    fs::path dir;
    double endMoment() {
        double m = 0;
        for (Edge* e = state().model->edges; e; e = e->next)
            m = std::max(m, std::fabs(attrib::memberOf(e)->results[analysis::kM1]));
        return m;
    }
};

TEST_F(ResultCommandTest, EmptyModelIsRefusedWithTheCheckMessage) {
    fire("Bending");
    EXPECT_EQ(
        backend->transcript().back(),
        "message [ Kestrel Message ]: \n No member defined. \n Please create the structure. \n");
    EXPECT_EQ(state().settings.result.on, 0);
    EXPECT_EQ(value("bending"), "OFF");
    EXPECT_TRUE(backend->errors().empty()); // no file dialog was shown
}

TEST_F(ResultCommandTest, CancelledSaveAsRunsNothing) {
    beam(true);
    backend->queueFile(-1, "");
    fire("Axial");
    EXPECT_EQ(backend->pendingCount(), 0u); // the Save As dialog was shown
    EXPECT_EQ(messages(*backend), 0);
    EXPECT_EQ(state().settings.result.on, 0);
    EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(ResultCommandTest, AnalysesOnceAndSwitchesKindsUntilAnEditingMode) {
    beam(true);
    backend->queueFile(1, (dir / "beam").string());
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

TEST_F(ResultCommandTest, MechanismShowsTheUnstableMessage) {
    beam(false);
    backend->queueFile(1, (dir / "beam").string());
    EXPECT_FALSE(shell::resultCommand(1));
    EXPECT_EQ(backend->transcript().back(),
              std::string("message [ Kestrel Message ]: ") + analysis::kMsgUnstable);
    EXPECT_EQ(state().settings.result.on, 0);
    EXPECT_EQ(state().settings.result.kind, 0);
    EXPECT_EQ(value("axial"), "OFF");
}

} // namespace
} // namespace shelltest
