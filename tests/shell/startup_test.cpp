// Start-up: the state and the canvas of a freshly started program (what its
// panels show: the scenario start-up; the mode line: mode-line; an older
// file's conversion at start-up: opened-older-converted and -cancelled).
#include "fixture.h"
#include "model/model.h"

#include "shell/colors.h"
#include "shell/display.h"
#include "units/units.h"

#include <array>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

namespace shelltest {
namespace {

using gfx::Primitive;

// What the panels and the windows show at start-up: the scenarios start-up
// and startup-fixed-items.
TEST_F(ShellTest, StartsUntitledInSelectModeWithTheDummyVertex) {
    EXPECT_EQ(state().mode, shell::EditMode::Select);
    EXPECT_EQ(state().pickPurpose, 0);
    ASSERT_NE(state().model, nullptr);
    EXPECT_EQ(state().model->vertices->x, 1e30) << "the dummy vertex";
    EXPECT_EQ(state().file.shortName, "untitled.kst");
    EXPECT_EQ(state().file.fullPath, "untitled.kst");
    EXPECT_EQ(tk->language(), "ENGLISH");
    EXPECT_TRUE(backend->transcript().empty());
    EXPECT_TRUE(backend->errors().empty());
}

TEST_F(ShellTest, SettingsStartWithTheInitialValuesAndTheSIDefaults) {
    const shell::AppSettings& s = state().settings;
    EXPECT_EQ(std::make_tuple(s.reserved, s.gridOn, s.snapToGrid, s.snapToMember, s.gridStepX,
                              s.gridStepY, s.result.on, s.result.influence, s.result.kind,
                              s.resultStep, s.stepMode, s.signConvention),
              std::make_tuple(0, 0, 0, 1, 1.0, 1.0, 0, 0, 0, 0.0, 0, std::array<int, 2>{1, 1}));
    // The SI set, which is also the units module's current set.
    const units::UnitSettings& si = units::presetSettings(units::kSIPreset);
    EXPECT_EQ(s.units, si.unit);
    EXPECT_EQ(s.formats, si.format);
    EXPECT_EQ(units::currentSettings().unit, si.unit);
    EXPECT_EQ(units::currentSettings().format, si.format);
}

TEST_F(ShellTest, TheFourteenDisplayFlagsAndTheirToggles) {
    const std::array<int, 14> initial = {1, 0, 1, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(state().settings.display, initial);
    for (int f = 0; f < shell::kDisplayFlagCount; ++f) {
        const shell::DisplayToggle& t = shell::kDisplayToggles[f];
        EXPECT_EQ(value(t.element), initial[f] ? "ON" : "OFF") << t.element;
        EXPECT_EQ(title(t.element), t.label);
        EXPECT_EQ(at(t.element).get("ACTION"), t.action);
    }
    EXPECT_EQ(title("vbltsupport"), "Supports ");
}

TEST_F(ShellTest, AFileThatCannotBeOpenedGivesAnEmptyUntitledModelWithoutMessage) {
    start("no/such/portal.kst", {});
    EXPECT_EQ(title("main"), "Kestrel - Spanwork");
    EXPECT_EQ(state().file.shortName, "untitled.kst");
    EXPECT_TRUE(shell::modelIsEmpty());
    EXPECT_TRUE(backend->transcript().empty());
    EXPECT_EQ(at("about").get("VISIBLE"), ""); // no start-up notice with a file
    EXPECT_EQ(value("modetext"), "   None   ");
}

TEST_F(ShellTest, CanvasIsClearedToTheWhiteSchemeBackgroundAndShown) {
    const auto& prims = canvas().primitives();
    ASSERT_GE(prims.size(), 2u);
    const Primitive& clear = prims[prims.size() - 2];
    EXPECT_EQ(clear.kind, Primitive::Kind::Clear);
    EXPECT_EQ(clear.color, 1);
    EXPECT_EQ(clear.rgb, (gfx::Rgb{255, 255, 255}));
    EXPECT_EQ(prims.back().kind, Primitive::Kind::Flush);
    EXPECT_EQ(canvas().count(Primitive::Kind::Polyline), 0); // nothing to draw yet
    // A repaint shows the back buffer again without drawing.
    std::size_t before = prims.size();
    tk->canvasRepaint(at("datascreen"));
    ASSERT_EQ(canvas().primitives().size(), before + 1);
    EXPECT_EQ(canvas().primitives().back().kind, Primitive::Kind::Flush);
}

class NoCanvasBackend : public ui::HeadlessBackend {
public:
    std::unique_ptr<gfx::Canvas> createCanvas(ui::Element&) override { return nullptr; }
    void close() override { closed = true; }
    bool closed = false;
};

TEST(StartUp, WithoutACanvasTheToolkitIsClosedAndTheStatusIsOne) {
    auto b = std::make_unique<NoCanvasBackend>();
    NoCanvasBackend* backend = b.get();
    ui::Toolkit tk(std::move(b));
    EXPECT_EQ(shell::startUp(tk, ""), 1);
    EXPECT_TRUE(backend->closed);
    EXPECT_NE(tk.at("main").get("VISIBLE"), "YES");
    shell::resetApp();
}

} // namespace
} // namespace shelltest
