// Session journals: the line format both ways, malformed lines, replay on
// the headless backend and recording.
#include "fixture.h"

#include "shell/journal.h"

#include <cstdio>
#include <fstream>
#include <sstream>

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
}

TEST(JournalLines, FieldsOfParsedLines) {
    Input b = parsed("button datascreen 3 release 2.5 -1.25 world shift");
    EXPECT_EQ(b.type, Type::CanvasButton);
    EXPECT_EQ(b.target, "datascreen");
    EXPECT_EQ(b.number, 3);
    EXPECT_FALSE(b.pressed);
    EXPECT_EQ(b.x, 2.5);
    EXPECT_EQ(b.y, -1.25);
    EXPECT_TRUE(b.world);
    EXPECT_TRUE(b.mods.shift);
    EXPECT_FALSE(b.mods.control);
    EXPECT_EQ(parsed("key main Ctrl+z").number, ui::ctrlKey('Z'));
    EXPECT_EQ(parsed("key htext 65").number, 'A');
    EXPECT_EQ(parsed("file -1").number, -1);
    Input f = parsed("form \"1\" \"2\"  # two values");
    EXPECT_EQ(f.values, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(parsed("  alert 3   # \" Cancel \"").number, 3);
}

TEST(JournalLines, CommentsAndBlankLinesAreNoInputs) {
    for (const char* line : {"", "   ", "# a comment", "   # indented", "\t"}) {
        Input in;
        bool isInput = true;
        std::string error;
        EXPECT_TRUE(shell::parseJournalLine(line, in, isInput, error));
        EXPECT_FALSE(isInput) << line;
    }
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
        {"valuator resultval half", "\"valuator ELEMENT VALUE\""},
        {"button datascreen 4 press 1 2", "\"button ELEMENT BUTTON press|release X Y"},
        {"button datascreen 1 down 1 2", "\"button ELEMENT BUTTON press|release X Y"},
        {"button datascreen 1 press 1", "\"button ELEMENT BUTTON press|release X Y"},
        {"motion datascreen 1 2 pixels", "\"world\", \"shift\" or \"ctrl\" instead of \"pixels\""},
        {"commit htext 12", "\"commit ELEMENT [\"VALUE\"]\""},
        {"resize datascreen 0 10", "\"resize ELEMENT WIDTH HEIGHT\""},
        {"alert 4", "\"alert BUTTON (0 to 3)\""},
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
    EXPECT_EQ(error, "bad.journal:3: expected \"alert BUTTON (0 to 3)\"");
    EXPECT_FALSE(shell::readJournalFile("/no/such/dir/x.journal", entries, error));
    EXPECT_EQ(error, "/no/such/dir/x.journal: cannot read the journal");
}

class ReplayTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (tk) shell::shutDown(*tk);
    }
    int replay(const std::string& text) {
        if (tk) shell::shutDown(*tk);
        auto b = std::make_unique<shell::ReplayBackend>();
        backend = b.get();
        tk = std::make_unique<ui::Toolkit>(std::move(b));
        EXPECT_EQ(shell::startUp(*tk, ""), 0);
        std::vector<shell::JournalEntry> entries;
        std::string error;
        EXPECT_TRUE(shell::parseJournal(text, "j", entries, error)) << error;
        backend->load(std::move(entries));
        FILE* out = std::tmpfile();
        FILE* err = std::tmpfile();
        int rc = shell::replayJournal(*tk, *backend, "j", out, err);
        output = contents(out);
        errors = contents(err);
        return rc;
    }
    static std::string contents(FILE* f) {
        std::rewind(f);
        std::string s;
        for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
        std::fclose(f);
        return s;
    }
    shell::AppState& state() { return shell::app(); }
    std::string value(const std::string& name) { return tk->at(name).get("VALUE"); }
    std::string title(const std::string& name) { return tk->at(name).get("TITLE"); }

    shell::ReplayBackend* backend = nullptr;
    std::unique_ptr<ui::Toolkit> tk;
    std::string output, errors;
};

TEST_F(ReplayTest, TogglingThenExitDiscardingLeavesAndPrintsTheAlert) {
    EXPECT_EQ(replay("toggle vbltnodenumb\npress miexit\nalert 2\ntoggle vbltmembnumb\n"), 0);
    EXPECT_TRUE(state().leaving);
    EXPECT_EQ(output, "alert [ Kestrel Alert ]: \n    Current frame has been modified.      \n"
                      "          Save current changes?           \n\n"
                      " {  Save As & Exit   |  Discard & Exit  |      Cancel     }\n"
                      "answer:  Discard & Exit \n");
    EXPECT_EQ(errors, "");
    EXPECT_EQ(state().settings.display[shell::kMemberNumbers], 0); // after leaving: not run
}

TEST_F(ReplayTest, AJournalThatEndsWithoutExitEndsTheRun) {
    EXPECT_EQ(replay("toggle colorblackbg\naction VbltReactVal\n"), 0);
    EXPECT_FALSE(state().leaving);
    EXPECT_EQ(state().colors.scheme, 2);
    EXPECT_EQ(value("vbltreactions"), "ON");
    EXPECT_EQ(output, "");
}

TEST_F(ReplayTest, AnUnansweredDialogStopsTheReplayWithTheLineNumber) {
    EXPECT_EQ(replay("toggle vbltnodenumb\n# then\naction Exit\ntoggle vbltmembnumb\n"), 2);
    EXPECT_EQ(errors.rfind("j:3: unanswered dialog: ", 0), 0u) << errors;
    EXPECT_EQ(state().settings.display[shell::kMemberNumbers], 0);
}

TEST_F(ReplayTest, AnAnswerThatNoDialogTakesStopsTheReplay) {
    // Unmodified: Exit leaves without a question, so the answer is left over.
    EXPECT_EQ(replay("press miexit\nalert 1\n"), 2);
    EXPECT_EQ(errors, "j:2: this answer follows no input that shows a dialog\n");
    EXPECT_EQ(replay("toggle vbltdimln\nalert 1\ntoggle vbltdimln\n"), 2);
    EXPECT_EQ(errors, "j:2: this answer follows no input that shows a dialog\n");
    EXPECT_EQ(value("vbltdimln"), "OFF"); // the third line never ran
    EXPECT_EQ(replay("alert 1\n"), 2);
    EXPECT_EQ(errors, "j:1: this answer follows no input that shows a dialog\n");
}

TEST_F(ReplayTest, AnUnknownElementStopsTheReplay) {
    EXPECT_EQ(replay("toggle vbltnodenumb\npress nosuchbutton\n"), 2);
    EXPECT_EQ(errors, "j:2: no element named \"nosuchbutton\"\n");
}

TEST_F(ReplayTest, InputsOfAModalDialogGoToItsOwnLoop) {
    EXPECT_EQ(replay("press miinfo\npress aboutclose\ntoggle vbltmembnumb\n"), 0);
    EXPECT_EQ(value("vbltmembnumb"), "ON");
    EXPECT_EQ(tk->at("about").get("VISIBLE"), "NO");
    EXPECT_EQ(replay("press miinfo\n"), 2);
    EXPECT_EQ(errors, "j:1: the journal ended while \"About Kestrel\" was open\n");
}

TEST_F(ReplayTest, WorldPositionsAreDeliveredAsPixelsOfTheCurrentView) {
    // After the canvas doubled in width the same world point is another pixel.
    EXPECT_EQ(replay("motion datascreen 5 5 world\nresize datascreen 1600 600\n"
                     "motion datascreen 7 2.5 world\n"),
              0);
    EXPECT_EQ(title("cursorxpos"), "7.00m");
    EXPECT_EQ(title("cursorypos"), "2.50m");
    EXPECT_EQ(replay("motion datascreen 0 600\n"), 0);
    EXPECT_EQ(title("cursorxpos"), "-3.00m");
}

TEST_F(ShellTest, RecorderWritesEveryInputAndAnswerAsJournalLines) {
    std::string path = ::testing::TempDir() + "recorded.journal";
    {
        shell::JournalRecorder rec;
        ASSERT_TRUE(rec.start(*tk, path));
        toggle("vbltnodenumb");
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
    std::ifstream f(path);
    std::stringstream text;
    text << f.rdbuf();
    EXPECT_EQ(text.str(), "# Kestrel session journal: replay with kestrel --replay FILE\n"
                          "toggle vbltnodenumb\n"
                          "key htext \"2\"\n"
                          "button datascreen 1 press 10 20 shift\n"
                          "alert 3\n"
                          "action VisRedisplay\n");
    std::remove(path.c_str());
}

TEST(JournalRecorder, AnUnwritableFileIsRefused) {
    ui::Toolkit tk(std::make_unique<ui::HeadlessBackend>());
    shell::JournalRecorder rec;
    EXPECT_FALSE(rec.start(tk, "/no/such/dir/x.journal"));
    EXPECT_FALSE(static_cast<bool>(tk.recorder));
}

} // namespace
} // namespace shelltest

namespace shelltest {
namespace {

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
    const auto flags = state().settings.display;
    const std::string width = value("htext"), height = value("vtext");
    const std::string x = title("cursorxpos"), y = title("cursorypos");
    ASSERT_EQ(width, "24.00");

    std::vector<shell::JournalEntry> entries;
    std::string error;
    ASSERT_TRUE(shell::readJournalFile(path, entries, error)) << error;
    std::string text;
    for (const auto& e : entries) text += shell::formatJournalLine(e.input) + "\n";
    EXPECT_EQ(replay(text), 0) << errors;
    EXPECT_EQ(state().settings.display, flags);
    EXPECT_EQ(state().colors.scheme, 2);
    EXPECT_EQ(value("htext"), width);
    EXPECT_EQ(value("vtext"), height);
    EXPECT_EQ(title("cursorxpos"), x);
    EXPECT_EQ(title("cursorypos"), y);
    EXPECT_EQ(value("attmenu"), "supmenu");
    EXPECT_FALSE(state().leaving); // the question was cancelled
    EXPECT_NE(output.find("answer:      Cancel     "), std::string::npos);
    std::remove(path.c_str());
}

} // namespace
} // namespace shelltest

namespace shelltest {
namespace {

// The journals of examples/ replay to the model summaries they print.
TEST_F(ReplayTest, ExampleJournalsEndWithTheirSummaries) {
    struct Case {
        const char* file;
        const char* lastSummary;
        int summaries;
    } cases[] = {
        {"portal-mouse", "nodes 10 members 11 dimension lines 0; 1 node selected", 2},
        {"select-delete-undo", "nodes 6 members 5 dimension lines 0; nothing selected", 5},
        {"dimension-lines",
         "nodes 2 members 1 dimension lines 2; nothing selected, 1 dimension line selected", 5},
        {"materials", "nodes 6 members 5 dimension lines 0; 3 members selected", 5},
    };
    for (const Case& c : cases) {
        std::ifstream f(std::string(KESTREL_TEST_DATA) + "/../../examples/" + c.file + ".journal");
        ASSERT_TRUE(f) << c.file;
        std::stringstream text;
        text << f.rdbuf();
        EXPECT_EQ(replay(text.str()), 0) << c.file << ": " << errors;
        std::vector<std::string> found;
        std::istringstream lines(output);
        for (std::string l; std::getline(lines, l);)
            if (l.rfind("summary: ", 0) == 0) found.push_back(l.substr(9));
        ASSERT_EQ(static_cast<int>(found.size()), c.summaries) << c.file << "\n" << output;
        EXPECT_EQ(found.back(), c.lastSummary) << c.file;
    }
}

TEST_F(ReplayTest, SummaryLinesAreNoInputsAndMayCarryAComment) {
    EXPECT_EQ(replay("summary   # before anything\npress insvertex\n"
                     "button datascreen 1 press 2 2 world\nsummary\n"),
              0);
    EXPECT_EQ(output, "summary: nodes 0 members 0 dimension lines 0; nothing selected\n"
                      "summary: nodes 1 members 0 dimension lines 0; 1 node selected\n");
    std::vector<shell::JournalEntry> entries;
    std::string error;
    EXPECT_FALSE(shell::parseJournal("summary now\n", "j", entries, error));
    EXPECT_EQ(error.rfind("j:1: expected a command", 0), 0u) << error;
}

TEST_F(ReplayTest, ShowLinesPrintFieldsLabelsAndListItems) {
    EXPECT_EQ(replay("show maflabellist mafelastext mafelasunit  # nothing yet\n"
                     "press mafnew\npress mafnewsteel\nshow maflabellist mafelastext\n"),
              0);
    EXPECT_EQ(output, "show: maflabellist \"NONE\" mafelastext \"\" mafelasunit \"MPa\"\n"
                      "show: maflabellist \"Steel\" mafelastext \"205000\"\n");
    EXPECT_EQ(replay("show nosuchfield\n"), 2);
    EXPECT_NE(errors.find("no element named \"nosuchfield\""), std::string::npos) << errors;
    std::vector<shell::JournalEntry> entries;
    std::string error;
    EXPECT_FALSE(shell::parseJournal("show # nothing\n", "j", entries, error));
    EXPECT_EQ(error, "j:1: expected \"show ELEMENT ...\"");
}

} // namespace
} // namespace shelltest
