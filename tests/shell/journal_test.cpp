// Session journals: the line format both ways, malformed lines, replay on
// the headless backend and recording. Replays that print all they check are
// scenarios (tests/data/shell/scenarios, run by scenario_test.cpp).
#include "fixture.h"

#include "shell/journal.h"
#include "tests/support/golden.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <tuple>

namespace shelltest {
namespace {

using ui::Input;
using Type = ui::Input::Type;

Input parsed(const std::string& line) {
    Input in;
    bool isInput = false;
    std::string error;
    EXPECT_TRUE(shell::parseJournalLine(line, in, isInput, error)) << line << ": " << error;
    EXPECT_TRUE(isInput) << line;
    return in;
}

TEST(JournalLines, EveryKindOfLineReadsBackAsItIsWritten) {
    const char* lines[] = {
        "action Exit",
        "press miexit",
        "toggle vbltnodenumb",
        "select resultmode 2",
        "type htext \"12.5\"",
        "type infotxt \"two\\nlines \\\"quoted\\\" \\\\ back\"",
        "key htext \"5\"",
        "key main ESC",
        "key main Ctrl+Z",
        "key main PGDN",
        "key htext BS",
        "commit htext",
        "commit htext \"20.5\"",
        "commit htext \"\"",
        "valuator resultval 0.25",
        "dial scaledial -0.5",
        "button datascreen 1 press 120 80",
        "button datascreen 3 release 2.5 -1.25 world shift ctrl",
        "motion datascreen 400 300",
        "motion datascreen 5 5 world",
        "sort tbltable 3",
        "rows tbltable 1 4 12",
        "rows tbltable",
        "leave datascreen",
        "resize datascreen 1024 768",
        "close main",
        "alert 2",
        "alert 0",
        "form \"1.5\" \"-2\" \"label\"",
        "form cancel",
        "file 0 \"/tmp/portal.kst\"",
        "file -1 \"\"",
    };
    for (const char* line : lines) EXPECT_EQ(shell::formatJournalLine(parsed(line)), line);
    // Comments and blank lines are no inputs.
    for (const char* line : {"", "   ", "# a comment", "   # indented", "\t"}) {
        Input in;
        bool isInput = true;
        std::string error;
        EXPECT_TRUE(shell::parseJournalLine(line, in, isInput, error));
        EXPECT_FALSE(isInput) << line;
    }
}

TEST(JournalLines, FieldsOfParsedLines) {
    Input b = parsed("button datascreen 3 release 2.5 -1.25 world shift");
    EXPECT_EQ(
        std::make_tuple(b.type == Type::CanvasButton, b.target, b.number, b.pressed, b.x, b.y,
                        b.world, b.mods.shift, b.mods.control),
        std::make_tuple(true, std::string("datascreen"), 3, false, 2.5, -1.25, true, true, false));
    EXPECT_EQ(parsed("key main Ctrl+z").number, ui::ctrlKey('Z'));
    EXPECT_EQ(parsed("key htext 65").number, 'A');
    EXPECT_EQ(parsed("file -1").number, -1);
    Input f = parsed("form \"1\" \"2\"  # two values");
    EXPECT_EQ(f.values, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(parsed("  alert 3   # \" Cancel \"").number, 3);
}

TEST(JournalLines, MalformedLinesSayWhatWasExpected) {
    struct Case {
        const char* line;
        const char* expected;
    };
    const Case cases[] = {
        {"jump main", "a command (action, press"},
        {"press", "\"press ELEMENT\""},
        {"press a b", "\"press ELEMENT\""},
        {"select resultmode x", "\"select ELEMENT ITEM\""},
        {"select resultmode 0", "\"select ELEMENT ITEM\""},
        {"type htext 12", "\"type ELEMENT \"TEXT\"\""},
        {"type htext \"12", "a closing '\"'"},
        {"key main NOSUCHKEY", "\"key ELEMENT KEY\""},
        {"key main \"ab\"", "\"key ELEMENT KEY\""},
        {"valuator resultval half", "\"valuator ELEMENT VALUE (0 to 1)\""},
        {"valuator resultval 1.5", "\"valuator ELEMENT VALUE (0 to 1)\""},
        {"valuator resultval nan", "\"valuator ELEMENT VALUE (0 to 1)\""},
        {"dial scaledial inf", "\"dial ELEMENT ANGLE\""},
        // Integers out of the range of an int are refused, not wrapped.
        {"select caselist 4294967297", "\"select ELEMENT ITEM\""},
        {"select caselist 99999999999", "\"select ELEMENT ITEM\""},
        {"alert 4294967298", "\"alert BUTTON (0 to 3)\""},
        {"key htext 0", "\"key ELEMENT KEY\""},
        {"key htext 5000", "\"key ELEMENT KEY\""},
        {"key htext 2147483648", "\"key ELEMENT KEY\""},
        {"key main Ctrl+1", "\"key ELEMENT KEY\""},
        // Pixels lie within a screen's range; world positions are finite.
        {"button datascreen 1 press 1e10 0", "\"button ELEMENT BUTTON press|release X Y"},
        {"button datascreen 1 press 0 -32769", "\"button ELEMENT BUTTON press|release X Y"},
        {"motion datascreen 32768 0", "\"motion ELEMENT X Y"},
        {"motion datascreen nan 0 world", "\"motion ELEMENT X Y"},
        {"motion datascreen 0 -inf world", "\"motion ELEMENT X Y"},
        {"motion datascreen 1e999 0 world", "\"motion ELEMENT X Y"},
        {"button datascreen 4 press 1 2", "\"button ELEMENT BUTTON press|release X Y"},
        {"button datascreen 1 down 1 2", "\"button ELEMENT BUTTON press|release X Y"},
        {"button datascreen 1 press 1", "\"button ELEMENT BUTTON press|release X Y"},
        {"motion datascreen 1 2 pixels", "\"world\", \"shift\" or \"ctrl\" instead of \"pixels\""},
        {"commit htext 12", "\"commit ELEMENT [\"VALUE\"]\""},
        {"resize datascreen 0 10", "\"resize ELEMENT WIDTH HEIGHT (1 to 32767 pixels)\""},
        {"resize datascreen 32768 10", "\"resize ELEMENT WIDTH HEIGHT (1 to 32767 pixels)\""},
        {"resize datascreen 640.5 480", "\"resize ELEMENT WIDTH HEIGHT (1 to 32767 pixels)\""},
        {"alert 4", "\"alert BUTTON (0 to 3)\""},
        {"sort tbltable", "\"sort ELEMENT COLUMN\""},
        {"sort tbltable 0", "\"sort ELEMENT COLUMN\""},
        {"rows tbltable 2 x", "\"rows ELEMENT [ROW]...\""},
        {"rows tbltable \"2\"", "\"rows ELEMENT [ROW]...\""},
        {"rows tbltable -1", "\"rows ELEMENT [ROW]...\""},
        {"alert yes", "\"alert BUTTON (0 to 3)\""},
        {"form 1 2", "\"form \"VALUE\"... or form cancel\""},
        {"file 2 \"x\"", "\"file STATUS \"PATH\""},
        {"file 0", "\"file STATUS \"PATH\""},
    };
    for (const Case& c : cases) {
        Input in;
        bool isInput = true;
        std::string error;
        EXPECT_FALSE(shell::parseJournalLine(c.line, in, isInput, error)) << c.line;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.line << " -> " << error;
    }
}

TEST(JournalText, AMalformedLineIsNamedByItsNumber) {
    std::vector<shell::JournalEntry> entries;
    std::string error;
    EXPECT_TRUE(shell::parseJournal("# steps\ntoggle vbltnodenumb\n\npress miexit\nalert 2\n",
                                    "steps.journal", entries, error));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].line, 2);
    EXPECT_EQ(entries[1].line, 4);
    EXPECT_EQ(entries[2].line, 5);
    EXPECT_FALSE(shell::parseJournal("toggle vbltnodenumb\n# fine\nalert maybe\npress miexit\n",
                                     "bad.journal", entries, error));
    EXPECT_EQ(error, "bad.journal:3: expected \"alert BUTTON (0 to 3)\" in \"alert maybe\"");
    EXPECT_FALSE(shell::readJournalFile("/no/such/dir/x.journal", entries, error));
    EXPECT_EQ(error, "/no/such/dir/x.journal: cannot read the journal");
    const std::string dir = ::testing::TempDir();
    EXPECT_FALSE(shell::readJournalFile(dir, entries, error));
    EXPECT_EQ(error, dir + ": is a directory, not a journal");
}

TEST(JournalText, TheQuotedLineHasItsControlBytesEscapedAndIsCutAt80Characters) {
    struct Case {
        std::string text;
        std::string error;
    };
    const std::string longLine = "press " + std::string(100, 'x') + " y";
    const Case cases[] = {
        {"alert \"a\\b\x01\x7f\t\"\r\n",
         "j:1: expected \"alert BUTTON (0 to 3)\" in \"alert \\\"a\\\\b\\x01\\x7F\\t\\\"\""},
        {longLine, "j:1: expected \"press ELEMENT\" in \"" + longLine.substr(0, 80) + "\"..."},
        // Characters, not bytes: 80 two-byte letters are shown whole.
        {"press a \xC3\xA9" + std::string(80, 'e'),
         "j:1: expected \"press ELEMENT\" in \"press a \xC3\xA9" + std::string(71, 'e') + "\"..."},
        {"\x02jump", "j:1: expected a command (action, press, toggle, select, type, key, commit, "
                     "valuator, dial, button, motion, leave, resize, close, sort, rows, alert, "
                     "form, file) "
                     "instead of \"\\x02jump\" in \"\\x02jump\""},
        // Summary and show lines (replayed: the scenarios summary-lines and
        // show-lines) take no arguments and at least one name.
        {"summary now", "j:1: expected a command (action, press, toggle, select, type, key, "
                        "commit, valuator, dial, button, motion, leave, resize, close, sort, "
                        "rows, alert, form, file) instead of \"summary\" in \"summary now\""},
        {"show # nothing", "j:1: expected \"show ELEMENT ...\""},
    };
    for (const Case& c : cases) {
        std::vector<shell::JournalEntry> entries;
        std::string error;
        EXPECT_FALSE(shell::parseJournal(c.text, "j", entries, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(JournalText, AByteOrderMarkAndCarriageReturnsAreNoPartOfTheLines) {
    std::vector<shell::JournalEntry> entries;
    std::string error;
    ASSERT_TRUE(shell::parseJournal("\xEF\xBB\xBFpress miexit\r\nalert 2\r\n", "j", entries, error))
        << error;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].input.target, "miexit");
    // Only at the start: elsewhere the mark is an unknown word.
    EXPECT_FALSE(shell::parseJournal("press miexit\n\xEF\xBB\xBF"
                                     "alert 2\n",
                                     "j", entries, error));
}

TEST_F(ReplayTest, AnUnansweredDialogStopsTheReplayWithTheLineNumber) {
    EXPECT_EQ(replay("toggle vbltnodenumb\n# then\naction Exit\ntoggle vbltmembnumb\n"), 2);
    EXPECT_EQ(errors, "kestrel: j:3: unanswered alert: Current frame has been modified. Save "
                      "current changes?\n");
    EXPECT_EQ(state().settings.display[shell::kMemberNumbers], 0);
}

// Each input is refused, with its line, unless a user could give it with the
// windows as they are; the lines after it never run.
TEST_F(ReplayTest, InputsNoUserCouldGiveStopTheReplay) {
    struct Case {
        const char* journal;
        const char* error;
    };
    const Case cases[] = {
        {"press nosuchbutton", "no element named \"nosuchbutton\""},
        {"action NoSuchAction", "no action named \"NoSuchAction\""},
        // The About window is closed: its button is not shown.
        {"press aboutclose", "\"aboutclose\" is not shown"},
        {"action AboutClose", "\"aboutclose\" is not shown"},
        {"close about", "\"about\" is not shown"},
        {"toggle miexit", "\"miexit\" (item) is not a toggle"},
        {"press vbltnodenumb", "\"vbltnodenumb\" (toggle) is not a button or a menu item"},
        {"select htext 1", "\"htext\" (text) is not a list"},
        {"select resultmode 5", "\"resultmode\" has no item 5 (it has 4)"},
        {"select caselist 2", "\"caselist\" has no item 2 (it has 1)"},
        {"type infotxt \"x\"", "\"infotxt\" is not shown"},
        {"commit infotxt \"x\"", "\"infotxt\" (multiline) is not a text field that can be edited"},
        {"key datascreen \"1\"", "\"datascreen\" (canvas) is not a window or a text field"},
        {"motion htext 1 1", "\"htext\" (text) is not a canvas"},
        {"valuator scaledial 0.5", "\"scaledial\" (dial) is not a valuator"},
        {"close htext", "\"htext\" (text) is not a window"},
        {"press ilsection", "\"ilsection\" is inactive"},
        // After an input that shows no dialog (more: the scenarios answer-*).
        {"alert 1", "this answer follows no input that shows a dialog"},
        {"commit htext \"1000000000000000000000000000000000000000\"",
         "\"htext\" holds at most 16 characters"},
        {"commit htext \"1\\n2\"", "\"htext\" holds one line"},
        {"action PckMouseBt",
         "the action \"PckMouseBt\" comes from \"datascreen\": give the input of that element"},
        {"motion datascreen 1e10 0 world",
         "the point lies outside the pixels of any screen in this view"},
        // While a dialog runs its own loop, the other windows take no input.
        {"press miinfo\ntoggle vbltnodenumb",
         "\"vbltnodenumb\" is outside the open dialog \"About Kestrel\""},
        {"press miinfo\nclose main", "\"main\" is outside the open dialog \"About Kestrel\""},
    };
    for (const Case& c : cases) {
        const std::string journal =
            std::string("toggle vbltmembnumb\n") + c.journal + "\npress miexit\nalert 2\n";
        const int line =
            2 + static_cast<int>(std::count(c.journal, c.journal + std::strlen(c.journal), '\n'));
        EXPECT_EQ(replay(journal), 2) << c.journal;
        EXPECT_EQ(errors, "kestrel: j:" + std::to_string(line) + ": " + c.error + "\n");
        EXPECT_FALSE(state().leaving) << c.journal;
        EXPECT_EQ(output, "") << c.journal;
        EXPECT_EQ(value("resultmode"), "1");
        EXPECT_EQ(value("htext"), "16.00");
    }
}

// The action of a toggle acts as the toggle: its flag follows (what the
// toggles show: the scenario actions-without-elements).
TEST_F(ReplayTest, TheActionOfAToggleSetsItsFlag) {
    EXPECT_EQ(replay("action VbltMembNumb\n"), 0) << errors;
    EXPECT_EQ(state().settings.display[shell::kMemberNumbers], 1);
}

TEST_F(ShellTest, RecorderWritesEveryInputAndAnswerAsJournalLines) {
    std::string path = ::testing::TempDir() + "recorded.journal";
    {
        shell::JournalRecorder rec;
        ASSERT_TRUE(rec.start(*tk, path));
        toggle("vbltnodenumb");
        // A window system reports one size more than once: written once.
        tk->canvasResize(at("datascreen"), 640, 480);
        tk->canvasResize(at("datascreen"), 640, 480);
        tk->canvasResize(at("datascreen"), 800, 600);
        tk->typeText(at("htext"), "2");
        tk->canvasButton(at("datascreen"), 1, true, 10, 20, {true, false});
        backend->queueAlarm(3);
        fire("Exit");
        ui::Input in;
        in.type = Type::Action;
        in.target = "VisRedisplay";
        tk->deliver(in);
    }
    toggle("vbltmembnumb"); // after the recorder stopped: not written
    kestrel_test::expectGolden("shell", "recorded-journal", kestrel_test::readText(path));
    std::remove(path.c_str());
}

TEST(JournalRecorder, AnUnwritableFileIsRefused) {
    ui::Toolkit tk(std::make_unique<ui::HeadlessBackend>());
    shell::JournalRecorder rec;
    EXPECT_FALSE(rec.start(tk, "/no/such/dir/x.journal"));
    EXPECT_FALSE(static_cast<bool>(tk.recorder));
}

// A recorded session replays to the same state.
TEST_F(ReplayTest, ARecordedSessionReplaysToTheSameState) {
    std::string path = ::testing::TempDir() + "session.journal";
    replay(""); // a started program with a replay backend and nothing to replay
    {
        shell::JournalRecorder rec;
        ASSERT_TRUE(rec.start(*tk, path));
        tk->toggle(tk->at("vbltreactval"));
        tk->toggle(tk->at("colorblackbg"));
        tk->canvasResize(tk->at("datascreen"), 640, 480);
        ui::Element& h = tk->at("htext");
        h.set("VALUE", "");
        tk->typeText(h, "24");
        tk->commit(h);
        tk->canvasMotion(tk->at("datascreen"), 100, 50, {});
        tk->toggle(tk->at("support"));
        backend->queueAlarm(3);
        tk->press(tk->at("miexit"));
    }
    // The flags, the scheme, the sizes, the pointer and the panel shown.
    const auto shown = [&] {
        std::string s = std::to_string(state().colors.scheme) + "|";
        for (int f : state().settings.display) s += std::to_string(f);
        for (const char* n : {"htext", "vtext", "attmenu"}) s += "|" + value(n);
        return s + "|" + title("cursorxpos") + "|" + title("cursorypos");
    };
    const std::string recorded = shown();
    ASSERT_EQ(value("htext"), "24.00");
    EXPECT_EQ(recorded.substr(0, 2), "2|");
    EXPECT_NE(recorded.find("|supmenu|"), std::string::npos);

    std::vector<shell::JournalEntry> entries;
    std::string error;
    ASSERT_TRUE(shell::readJournalFile(path, entries, error)) << error;
    std::string text;
    for (const auto& e : entries) text += shell::formatJournalLine(e.input) + "\n";
    EXPECT_EQ(replay(text), 0) << errors;
    EXPECT_EQ(shown(), recorded);
    EXPECT_FALSE(state().leaving); // the question was cancelled
    EXPECT_NE(output.find("answer:      Cancel     "), std::string::npos);
    std::remove(path.c_str());
}

// The journals of examples/ replay to what their goldens hold: the model
// summaries they print along the way.
TEST_F(ReplayTest, ExampleJournalsPrintTheirSummaries) {
    for (const std::string name :
         {"portal-mouse", "select-delete-undo", "dimension-lines", "materials"}) {
        EXPECT_EQ(replay(example(name)), 0) << name << ": " << errors;
        kestrel_test::expectGolden("shell", "example-" + name, output);
    }
}

} // namespace
} // namespace shelltest
