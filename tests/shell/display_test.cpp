// Display flag toggles and the colour schemes (the flags' couplings and the
// mode line's result titles: the scenario display-flag-couplings).
#include "fixture.h"

#include "shell/colors.h"
#include "shell/display.h"
#include "units/units.h"

#include <vector>

namespace shelltest {
namespace {

using gfx::Primitive;

int flag(int f) {
    return shell::app().settings.display[f];
}

TEST_F(ShellTest, EachDisplayToggleStoresItsFlagRedrawsAndMarksModified) {
    for (int f = 0; f < shell::kDisplayFlagCount; ++f) {
        start("");
        const shell::DisplayToggle& t = shell::kDisplayToggles[f];
        const int before = flag(f);
        const int clears = canvas().count(Primitive::Kind::Clear);
        EXPECT_EQ(toggle(t.element), ui::kDefault);
        EXPECT_EQ(flag(f), 1 - before) << t.action;
        EXPECT_EQ(value(t.element), before ? "OFF" : "ON") << t.action;
        EXPECT_EQ(canvas().count(Primitive::Kind::Clear), clears + 1) << t.action;
        EXPECT_EQ(shell::isSaved(), 0) << t.action;
    }
}

TEST_F(ShellTest, DimensionLinesToggleUpdatesTheDeleteButton) {
    toggle("vbltdimln");
    EXPECT_EQ(at("edtdelsel").get("ACTIVE"), "NO");
    state().dimensionLines = 1;
    toggle("vbltdimln");
    EXPECT_EQ(at("edtdelsel").get("ACTIVE"), "YES");
    state().dimensionLines = 0;
    state().selectionKind = 1; // two members selected
    state().selectionCount = 2;
    toggle("vbltdimln");
    EXPECT_EQ(at("edtdelsel").get("ACTIVE"), "YES");
}

struct SchemeCase {
    const char* toggle;
    int scheme;
    std::array<int, 17> slots;
    gfx::Rgb background;
};

TEST_F(ShellTest, EachSchemeSetsItsSlotTableClearsToItsBackgroundAndStaysOnPressedAgain) {
    const SchemeCase cases[] = {
        {"colorgraybg",
         1,
         {0, 14, 3, 12, 3, 0, 5, 6, 7, 2, 12, 6, 13, 13, 15, 0, 0},
         {188, 188, 188}},
        {"colorblackbg", 2, {0, 0, 2, 12, 2, 1, 4, 8, 6, 2, 12, 8, 12, 12, 14, 1, 1}, {0, 0, 0}},
        {"colorblackfg", 3, {1, 1, 0, 0, 0, 0, 0, 0, 0, 14, 15, 0, 0, 0, 0, 0, 0}, {255, 255, 255}},
        {"colorwhitebg",
         0,
         {0, 1, 3, 12, 3, 0, 5, 6, 7, 2, 12, 6, 13, 13, 15, 0, 0},
         {255, 255, 255}},
    };
    for (const SchemeCase& c : cases) {
        toggle(c.toggle);
        EXPECT_EQ(state().colors.scheme, c.scheme) << c.toggle;
        EXPECT_EQ(state().colors.slotColors, c.slots) << c.toggle;
        EXPECT_EQ(shell::schemeSlots(c.scheme), c.slots);
        EXPECT_EQ(shell::slotColor(2), c.slots[1]);
        EXPECT_EQ(value("colorscheme"), c.toggle);
        const auto& prims = canvas().primitives();
        ASSERT_GE(prims.size(), 2u);
        EXPECT_EQ(prims[prims.size() - 2].kind, Primitive::Kind::Clear);
        EXPECT_EQ(prims[prims.size() - 2].rgb, c.background) << c.toggle;
        EXPECT_EQ(canvas().background(), c.slots[1]);
        // Pressed again the scheme's toggle stays on and nothing is drawn.
        const std::size_t drawn = prims.size();
        toggle(c.toggle);
        EXPECT_EQ(value(c.toggle), "ON");
        EXPECT_EQ(value("colorscheme"), c.toggle);
        EXPECT_EQ(canvas().primitives().size(), drawn);
    }
    EXPECT_EQ(shell::isSaved(), 1);    // the scheme is not saved with the model
    EXPECT_EQ(shell::slotColor(0), 0); // outside 1 to 17
    EXPECT_EQ(shell::slotColor(18), 0);
}

TEST_F(ShellTest, StartUpTakesTheSchemeFromTheColourToggles) {
    at("colorwhitebg").set("VALUE", "OFF");
    at("colorblackfg").set("VALUE", "ON");
    EXPECT_EQ(shell::schemeFromToggles(), shell::kBlackForeground);
    at("colorblackbg").set("VALUE", "ON");
    EXPECT_EQ(shell::schemeFromToggles(), shell::kBlackBackground);
    at("colorgraybg").set("VALUE", "ON");
    EXPECT_EQ(shell::schemeFromToggles(), shell::kGrayBackground);
}

TEST_F(ShellTest, RefreshShowsTheSettingsInTheirUnitsAndTheFlagsOnTheToggles) {
    state().settings.units[0] = 2; // mm
    state().settings.formats[22] = 0;
    state().settings.gridStepX = 0.25;
    state().settings.resultStep = 0.1;
    state().settings.display[shell::kNodeNumbers] = 1;
    state().settings.display[shell::kDimLines] = 0;
    shell::refreshPanels();
    EXPECT_EQ(title("hsizeunit"), "mm");
    EXPECT_EQ(title("resultstepunit"), "mm");
    EXPECT_EQ(value("gridstepxtext"), "250");
    EXPECT_EQ(value("gridstepytext"), "1000");
    EXPECT_EQ(value("resultsteptext"), "100");
    EXPECT_EQ(value("vbltnodenumb"), "ON");
    EXPECT_EQ(value("vbltdimln"), "OFF");
    EXPECT_EQ(value("modetext"), "   None   ");
    // The units module's current set follows the settings.
    EXPECT_EQ(units::currentSettings().unit[0], 2);
    EXPECT_EQ(units::currentSettings().format[22], 0);
}

} // namespace
} // namespace shelltest
