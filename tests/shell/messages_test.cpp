// Messages, alerts, the fatal path, prompts, the information page, the
// panel buttons, the cursor labels and the shell's fields (what the pointer,
// the work space size, the result step and the Units command show: the
// scenarios canvas-pointer-and-size, workspace-size, result-step and
// units-command).
#include "fixture.h"

#include "shell/commands.h"
#include "shell/lengthtext.h"
#include "shell/messages.h"
#include "shell/panels/panels.h"

#include <new>

namespace shelltest {
namespace {

TEST_F(ShellTest, MessageBoxAndAlertCarryTheirTitlesTextsAndButtons) {
    shell::message("\n  Structure is not defined.  \n");
    backend->queueAlarm(2);
    EXPECT_EQ(shell::alert("Really?", " Yes ", " No "), 2);
    backend->queueAlarm(1);
    EXPECT_EQ(shell::alertExit("Go on?"), 1);
    EXPECT_EQ(
        backend->transcript(),
        (std::vector<std::string>{"message [ Kestrel Message ]: \n  Structure is not defined.  \n",
                                  "alert [ Kestrel Alert ]: Really? { Yes  |  No }", "answer:  No ",
                                  "alert [ Kestrel Alert ]: Go on? { Continue  |    Exit   }",
                                  "answer:  Continue "}));
}

// Each way to a fatal end: what it shows first (the transcript lines, written
// to the error stream) and the closing error line with status 1.
using ShellDeathTest = ShellTest;

TEST_F(ShellDeathTest, FatalPathsShowTheirAlertAndEndWithStatusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(shell::fatalExit(), ::testing::ExitedWithCode(1),
                "^\nkestrel: execution error\\.\n$");
    // A fresh program for each, answering its alert with `button`.
    auto answering = [&](int button) {
        start("");
        backend->onTranscript = [](const std::string& line) {
            std::fprintf(stderr, "%s|", line.c_str());
        };
        backend->queueAlarm(button);
    };
    answering(2); // Exit in the alert with Exit
    EXPECT_EXIT(shell::alertExit("Disk full"), ::testing::ExitedWithCode(1),
                "Disk full \\{ Continue  \\|    Exit   \\}\\|answer:    Exit   \\|\n"
                "kestrel: execution error\\.");
    answering(1);
    EXPECT_EXIT(shell::fatalError("Broken"), ::testing::ExitedWithCode(1),
                "alert \\[ Kestrel Alert \\]: Broken \\{ Error \\}\\|answer:  Error \\|\n"
                "kestrel: execution error\\.\n$");
    answering(1);
    std::new_handler handler = std::get_new_handler();
    ASSERT_NE(handler, nullptr); // installed at start-up
    EXPECT_EXIT(handler(), ::testing::ExitedWithCode(1),
                "alert \\[ Kestrel Alert \\]: \n Not enough memory \n \\{ Error \\}.*"
                "kestrel: execution error\\.\n$");
}

TEST_F(ShellTest, AllocateGivesZeroFilledMemory) {
    auto* p = static_cast<unsigned char*>(shell::allocate(16, 4));
    for (int i = 0; i < 64; ++i) EXPECT_EQ(p[i], 0);
    p = static_cast<unsigned char*>(shell::reallocate(p, 128));
    p[127] = 1;
    std::free(p);
}

TEST_F(ShellTest, PromptIsSetOnceAndClearedOnceByRedisplayAndTheSelectMode) {
    backend->sets.clear();
    shell::showPrompt("Select a rectangle area for zooming in.");
    EXPECT_EQ(title("datatopmsg"), "Select a rectangle area for zooming in.");
    EXPECT_FALSE(state().messageBlank);
    EXPECT_EQ(backend->sets["datatopmsg.TITLE"], 1);
    shell::clearPrompt();
    shell::clearPrompt();
    EXPECT_EQ(title("datatopmsg"), " ");
    EXPECT_TRUE(state().messageBlank);
    EXPECT_EQ(backend->sets["datatopmsg.TITLE"], 2);
    shell::showPrompt("Pick a section.");
    EXPECT_EQ(fire("VisRedisplay"), ui::kDefault);
    EXPECT_EQ(title("datatopmsg"), " ");
    shell::showPrompt("Pick a section.");
    EXPECT_EQ(tk->toggle(at("select")), ui::kDefault);
    EXPECT_EQ(title("datatopmsg"), " ");
    EXPECT_EQ(value("select"), "ON");
}

TEST_F(ShellTest, InformationShownTwiceIsRestoredOnce) {
    toggle("support"); // the support panel is current
    shell::showInformation("Node 1");
    shell::showInformation("Node 2");
    EXPECT_EQ(value("attmenu") + "|" + value("infotxt"), "infoarea|Node 2");
    for (const shell::PanelEntry& p : shell::kPanels) EXPECT_EQ(value(p.button), "OFF");
    EXPECT_TRUE(state().infoShown);
    backend->sets.clear();
    for (int twice = 0; twice < 2; ++twice) { // the second restore switches nothing
        shell::restoreAttributePanel();
        EXPECT_EQ(value("attmenu") + "|" + value("support"), "supmenu|ON");
        EXPECT_FALSE(state().infoShown);
        EXPECT_EQ(backend->sets["attmenu.VALUE"], 1);
    }
}

TEST_F(ShellTest, PanelButtonsSwitchTheAttributeAreaOnce) {
    EXPECT_EQ(toggle("uload"), ui::kDefault);
    EXPECT_EQ(value("attmenu") + "|" + value("uload") + "|" + value("matpa"), "ulfmenu|ON|OFF");
    EXPECT_EQ(state().currentPanel, 7);
    backend->sets.clear();
    toggle("uload"); // already shown: stays pressed, nothing switches
    EXPECT_EQ(value("uload"), "ON");
    EXPECT_EQ(backend->sets["attmenu.VALUE"], 0);
    // Every panel button shows its own panel.
    for (int i = 0; i < shell::kPanelCount; ++i) {
        fire(shell::kPanels[i].action);
        EXPECT_EQ(value("attmenu"), shell::kPanels[i].panel);
        EXPECT_NE(tk->find(shell::kPanels[i].panel), nullptr);
    }
}

TEST_F(ShellTest, CursorLabelsUseTheCursorFormatAndTheLengthUnit) {
    shell::showCursorPosition(3.25, -1.5);
    EXPECT_EQ(title("cursorxpos") + "|" + title("cursorypos"), "3.25m|-1.50m");
    state().settings.units[0] = 1;    // cm
    state().settings.formats[21] = 0; // "%.0f"
    shell::showCursorPosition(3.25, 0);
    EXPECT_EQ(title("cursorxpos"), "325cm");
    state().settings.formats[21] = 14; // unknown code: "%.2f"
    shell::showCursorPosition(0.5, 0);
    EXPECT_EQ(title("cursorxpos"), "50.00cm");
    EXPECT_EQ(fire("PckEchoOff"), ui::kDefault);
    EXPECT_EQ(title("cursorxpos") + "|" + title("cursorypos"), " | ");
}

TEST_F(ShellTest, NumericFieldsRejectSignsAndExponents) {
    for (int key : {int('0'), int('9'), int('.'), int(ui::K_BS), int(ui::K_DEL), int(ui::K_LEFT),
                    int(ui::K_CR)})
        EXPECT_EQ(shell::unsignedNumberKey(key), ui::kDefault) << key;
    for (int key : {'-', '+', 'e', 'E', ' ', ','})
        EXPECT_EQ(shell::unsignedNumberKey(key), ui::kIgnore) << key;
    ui::Element& h = at("htext");
    h.set("VALUE", "");
    tk->typeText(h, "-2e1.5");
    EXPECT_EQ(h.get("VALUE"), "21.5");
}

// The buttons shown and the modified frame: the scenario step-mode-buttons.
TEST_F(ShellTest, StepModeButtonsSetTheStepMode) {
    toggle("fixedressegs");
    EXPECT_EQ(state().settings.stepMode, 1);
    toggle("unifressegs");
    EXPECT_EQ(state().settings.stepMode, 0);
}

// What the fields show: the scenarios canvas-pointer-and-size and
// result-step; here the exact values kept.
TEST_F(ShellTest, AResizeKeepsTheLowerLeftCornerAndTheStepIsKeptInMetres) {
    tk->canvasResize(at("datascreen"), 1600, 600);
    double xmin, xmax, ymin, ymax;
    canvas().window(xmin, xmax, ymin, ymax);
    EXPECT_DOUBLE_EQ(xmin, -3.0);
    EXPECT_DOUBLE_EQ(ymin, -1.0);
    state().settings.units[0] = 1; // cm
    commit("resultsteptext", "25");
    EXPECT_DOUBLE_EQ(state().settings.resultStep, 0.25);
    commit("resultsteptext", "0"); // ignored
    EXPECT_DOUBLE_EQ(state().settings.resultStep, 0.25);
}

TEST(LengthText, ValuesInTheLengthUnitWithTheSlotFormat) {
    shell::AppSettings s = shell::initialSettings();
    EXPECT_EQ(shell::lengthLabel(s), "m");
    EXPECT_EQ(shell::lengthJoined(s, shell::kCursorFormatSlot, 12.5), "12.50m");
    s.units[0] = 3; // ft
    EXPECT_EQ(shell::lengthLabel(s), "ft");
    EXPECT_NEAR(shell::readLength(s, "250"), 76.2, 1e-5);
    EXPECT_EQ(shell::readLength(s, "abc"), 0.0);
    s.units[0] = 4; // in
    s.formats[20] = 7;
    EXPECT_EQ(shell::lengthBare(s, shell::kWorkSpaceFormatSlot, 0.0254 * 12345), "1e+04");
    s.formats[20] = -1;
    EXPECT_EQ(shell::lengthBare(s, shell::kWorkSpaceFormatSlot, 0.0254), "1.00");
    // Typed numbers are single-precision values, kept as the decimal they
    // print as, and the unit factor adds no digits: 250 ft is 76.2 m.
    s.units[0] = 0;
    EXPECT_EQ(shell::readLength(s, "0.1"), 0.1);
    EXPECT_EQ(shell::readLength(s, "0.123456789"), 0.12345679);
    s.units[0] = 3;
    EXPECT_EQ(shell::readLength(s, "250"), 76.2);
}

// An accepted unit redraws the canvas once (what the panels show and the
// modified frame: the scenario units-command).
TEST_F(ShellTest, AnAcceptedUnitRedrawsTheCanvas) {
    queue(ui::Input::Type::Select, "untunit0", 3); // millimetre
    queue(ui::Input::Type::Press, "untaccept");
    const int clears = canvas().count(gfx::Primitive::Kind::Clear);
    EXPECT_EQ(fire("Units"), ui::kDefault);
    EXPECT_EQ(canvas().count(gfx::Primitive::Kind::Clear), clears + 1);
    EXPECT_EQ(state().settings.units[0], 2);
    EXPECT_TRUE(backend->errors().empty());
}

} // namespace
} // namespace shelltest
