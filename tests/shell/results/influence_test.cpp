// The influence-line display on the headless program: the drop-down, the
// section mode waiting for a click, one analysis per pick with its message
// line and factor, the factor kept from one line to the next, the inquiry
// and cursor line of a shown line, a save that fails or an unstable frame
// drawing nothing, and the example journal replayed on its model file (the
// drop-down switching a shown kind: the scenario result-dropdown).
#include "tests/shell/beam.h"
#include "tests/shell/fixture.h"
#include "tests/support/golden.h"

#include "analysis/analysis.h"
#include "results/influence.h"
#include "shell/results/resultdisplay.h"

#include <cmath>
#include <filesystem>

namespace shelltest {
namespace {

namespace fs = std::filesystem;

constexpr const char* kWaiting = "Indicate a member section for displaying influence line.";

class InfluenceModeTest : public BeamTest {
protected:
    // The beam, saved as beam.kst by the first result command, in view.
    void beam(bool stable) {
        BeamTest::beam(stable);
        state().settings.resultStep = 0.5; // sections snap to half metres
        shell::fitView();
        saveAsBeam();
    }
    std::string prompt() { return title("datatopmsg"); }
    const results::ResultCurves* line() {
        const results::ResultDrawing* d = shell::resultDrawing();
        return d && d->curves && d->curves->influence ? d->curves : nullptr;
    }
};

TEST_F(InfluenceModeTest, EachPickAnalysesItsSectionAndTheFactorStays) {
    beam(true);
    tk->select(at("resultmode"), 2);
    EXPECT_EQ(at("ilsection").get("ACTIVE"), "YES");
    EXPECT_EQ(at("deformed").get("ACTIVE"), "NO");
    fire("Bending"); // saved, but nothing analysed before a section is picked
    EXPECT_TRUE(fs::exists(dir / "beam.kst"));
    EXPECT_FALSE(fs::exists(dir / "beam.pos"));
    EXPECT_EQ(title("modelabel"), "Influence Line Factor:");
    EXPECT_EQ(prompt(), kWaiting);
    EXPECT_EQ(line(), nullptr);

    // A section at 1 m of the 4 m simply supported beam: a triangle whose
    // peak a (L - a) / L = 0.75 m lies under the section.
    click(1.1, 0);
    EXPECT_TRUE(fs::exists(dir / "beam.pos"));
    EXPECT_EQ(prompt(), "Bending moment influence line for section at local pos.: x = 1.00 m"
                        "  L = 2.00 m");
    ASSERT_NE(line(), nullptr);
    EXPECT_NEAR(line()->largest, 0.75, 0.75e-3);
    EXPECT_EQ(value("modetext"), "1.00");
    const Edge* held = line()->members[line()->sectionIndex];
    EXPECT_EQ(attrib::memberOf(held)->results[analysis::kInfluence], 1);
    EXPECT_EQ(attrib::memberOf(held)->results[analysis::kInfluencePosition], 1);

    // The valuator sets the size (half the limit of 5 x 0.4 m) and with it the
    // factor; the next line is drawn with the same factor.
    tk->setValuator(at("resultval"), 0.5);
    EXPECT_EQ(value("modetext"), "1.33");
    click(3, 0);
    EXPECT_EQ(prompt(), "Bending moment influence line for section at local pos.: x = 1.00 m"
                        "  L = 2.00 m");
    EXPECT_EQ(value("modetext"), "1.33");
    EXPECT_NEAR(analysis::resultState().diagramSize, 1.0, 2e-3);

    // A sampling step of 1 m drawn on the canvas samples the line again
    // without a new analysis: the axis ends, both ends of the member and
    // the section.
    fs::remove(dir / "beam.pos");
    fire("ResPrecision");
    click(0, 1);
    click(1, 1);
    ASSERT_NE(line(), nullptr);
    EXPECT_EQ(line()->curves[line()->sectionIndex].pts.size(), 5u);
    EXPECT_FALSE(fs::exists(dir / "beam.pos"));
    EXPECT_EQ(value("modetext"), "1.33");

    // Beside the beam: no section, the line stays.
    click(2, 1.5);
    EXPECT_EQ(prompt(), results::kNoSection);
    EXPECT_NE(line(), nullptr);

    // The right button on the middle node inquires about a member: nodes are
    // not picked while a line is shown.
    click(2, 0, 3);
    EXPECT_EQ(value("infotxt").rfind("\n Member\n Bending Moment\n Influence Line\n", 0), 0u)
        << value("infotxt");

    // Another kind waits for a new section and starts the factor again.
    fire("Shear");
    EXPECT_EQ(line(), nullptr);
    EXPECT_EQ(prompt(), kWaiting);
    click(1, 0);
    EXPECT_EQ(value("modetext"), "1.00");
    EXPECT_EQ(prompt(), "Shear force influence line for section at local pos.: x = 1.00 m"
                        "  L = 2.00 m");

    // An editing mode leaves the display; the drop-down stays on influence lines.
    fire("Select");
    EXPECT_EQ(state().settings.result.on, 0);
    EXPECT_EQ(line(), nullptr);
    EXPECT_EQ(at("ilsection").get("ACTIVE"), "YES");
}

TEST_F(InfluenceModeTest, FailedSaveOrUnstableFrameShowsNoLine) {
    beam(false); // free to slide: a mechanism
    tk->select(at("resultmode"), 2);
    fire("Axial");
    click(1, 0);
    EXPECT_EQ(backend->transcript().back(),
              std::string("message [ Kestrel Message ]: ") + analysis::kMsgUnstable);
    EXPECT_EQ(state().settings.result.kind, 0);
    EXPECT_EQ(value("axial"), "OFF");
    EXPECT_EQ(line(), nullptr);

    // A stable frame whose folder went away after it was modified: the save
    // before the pick fails, and nothing is analysed.
    start("");
    beam(true);
    tk->select(at("resultmode"), 2);
    fire("Bending");
    shell::markModified(0);
    fs::remove_all(dir);
    click(1, 0);
    EXPECT_EQ(line(), nullptr);
    EXPECT_EQ(prompt(), kWaiting);
    EXPECT_FALSE(fs::exists(dir / "beam.pos"));
}

// examples/influence.journal on a copy of examples/two-span.kst prints
// what the program shows along the way. Under a unit load at mid-span of the
// 7 m span, the three-moment equation gives the middle support
// -18.375 / 24 = -0.766 kNm, and the section at 2 m of the 5 m span 2/5 of
// it: the value -0.31 it prints.
TEST_F(ReplayTest, InfluenceExampleReplaysOnItsModel) {
    EXPECT_EQ(replay(example("influence"), copyOf("examples/two-span.kst")), 0) << errors;
    kestrel_test::expectGolden("shell", "influence-example", output);
}

} // namespace
} // namespace shelltest
