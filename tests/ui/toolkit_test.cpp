// The toolkit facade through its headless backend: attributes by handle name,
// bindings and return codes, loops, modal dialogs answered from the queue,
// key filters, list events and predefined dialogs.
#include "ui/headless.h"
#include "ui/ui.h"

#include <gtest/gtest.h>

using namespace ui;

namespace {

// An input of the given type for the named target.
Input input(Input::Type type, const std::string& target, const std::string& text = "") {
    Input in;
    in.type = type;
    in.target = target;
    in.text = text;
    return in;
}

struct Fixture : ::testing::Test {
    HeadlessBackend* hb = new HeadlessBackend(400, 300);
    Toolkit tk{std::unique_ptr<Backend>(hb)};
};

} // namespace

TEST_F(Fixture, AttributesAreSetAndReadByHandleName) {
    tk.make(Kind::Dialog, "main", {{"TITLE", "Kestrel - Spanwork"}},
            {&tk.make(Kind::Label, "modelabel", {{"TITLE", "Editing Mode:"}})});
    EXPECT_EQ(tk.at("main").get("TITLE"), "Kestrel - Spanwork");
    tk.at("modelabel").set("TITLE", "Axial Force:");
    EXPECT_EQ(tk.find("modelabel")->get("TITLE"), "Axial Force:");
    EXPECT_EQ(tk.find("nosuch"), nullptr);
    EXPECT_EQ(tk.at("modelabel").get("NOTSET"), "");
    EXPECT_EQ(tk.at("modelabel").parent(), &tk.at("main"));
    EXPECT_EQ(Toolkit::dialogOf(tk.at("modelabel")), &tk.at("main"));
    tk.at("main").setf("SIZE", "%dx%d", 640, 480);
    EXPECT_EQ(tk.at("main").get("SIZE"), "640x480");
}

TEST_F(Fixture, BoundActionsReturnTheirCodesAndUnboundOnesDoNothing) {
    Element& b = tk.make(Kind::Button, "b", {{"ACTION", "Go"}});
    Element& u = tk.make(Kind::Button, "u", {{"ACTION", "Unbound"}});
    int calls = 0;
    tk.bind("Go", [&](Event& ev) {
        ++calls;
        EXPECT_EQ(ev.element, &b);
        EXPECT_EQ(ev.action, "Go");
        return kIgnore;
    });
    EXPECT_EQ(tk.press(b), kIgnore);
    EXPECT_EQ(tk.press(u), kDefault);
    EXPECT_FALSE(tk.bound("Unbound"));
    b.set("ACTIVE", "NO");
    EXPECT_EQ(tk.press(b), kIgnore);
    EXPECT_EQ(calls, 1) << "an inactive element takes no input";
}

TEST_F(Fixture, MainLoopRunsQueuedInputsUntilAHandlerReturnsClose) {
    std::vector<std::string> order;
    tk.bind("A", [&](Event&) {
        order.push_back("A");
        return kDefault;
    });
    tk.bind("Quit", [&](Event&) {
        order.push_back("Quit");
        return kClose;
    });
    for (const char* a : {"A", "Quit", "A"}) hb->queue(input(Input::Type::Action, a));
    tk.mainLoop();
    EXPECT_EQ(order, (std::vector<std::string>{"A", "Quit"}));
    EXPECT_EQ(hb->pendingCount(), 1u);
    EXPECT_TRUE(hb->errors().empty());
}

TEST_F(Fixture, ModalDialogIsAnsweredFromTheQueueWhileItsOpenerWaits) {
    Element& dlg = tk.make(Kind::Dialog, "units", {{"TITLE", "Units"}},
                           {&tk.make(Kind::Text, "field", {{"COMMIT_CB", "FieldSet"}}),
                            &tk.make(Kind::Button, "ok", {{"ACTION", "Ok"}})});
    std::string committed;
    tk.bind("FieldSet", [&](Event& ev) {
        committed = ev.text;
        return kDefault;
    });
    tk.bind("Ok", [&](Event&) { return kClose; });
    std::vector<std::string> steps;
    tk.bind("Open", [&](Event&) {
        steps.push_back("before");
        tk.popup(dlg);
        steps.push_back("after: " + tk.at("field").get("VALUE"));
        return kDefault;
    });
    hb->queue(input(Input::Type::Type, "field", "12.5"));
    hb->queue(input(Input::Type::Commit, "field"));
    hb->queue(input(Input::Type::Press, "ok"));
    Event ev;
    tk.fireAction("Open", ev);
    EXPECT_EQ(steps, (std::vector<std::string>{"before", "after: 12.5"}));
    EXPECT_EQ(committed, "12.5");
    EXPECT_EQ(dlg.get("VISIBLE"), "NO");
    EXPECT_EQ(tk.loopDepth(), 0);
    EXPECT_TRUE(hb->errors().empty());
}

TEST_F(Fixture, UnansweredModalDialogIsAnErrorNamingItNotAHang) {
    Element& dlg = tk.make(Kind::Dialog, "d", {{"TITLE", "Units & Number Formatting"}});
    tk.popup(dlg);
    ASSERT_EQ(hb->errors().size(), 1u);
    EXPECT_EQ(hb->errors()[0], "unanswered dialog: Units & Number Formatting");
    EXPECT_EQ(dlg.get("VISIBLE"), "NO");
}

TEST_F(Fixture, KeyFilterRejectsKeysAndTheFieldKeepsOnlyAcceptedOnes) {
    Element& t = tk.make(Kind::Text, "hsize", {{"ACTION", "HsizeText"}, {"VALUE", "1"}});
    tk.bind("HsizeText", [](Event& ev) {
        if (ev.key >= '0' && ev.key <= '9') return kDefault;
        if (ev.key == '.' || isControlKey(ev.key)) return kDefault;
        return kIgnore;
    });
    EXPECT_EQ(tk.typeKey(t, '-'), kIgnore);
    tk.typeText(t, "2.5e3");
    EXPECT_EQ(t.get("VALUE"), "12.53");
    tk.typeKey(t, K_BS);
    EXPECT_EQ(t.get("VALUE"), "12.5");
    t.set("NC", "5");
    tk.typeText(t, "99");
    EXPECT_EQ(t.get("VALUE"), "12.59") << "NC limits the number of characters";
    t.set("READONLY", "YES");
    tk.typeText(t, "1");
    tk.typeKey(t, K_BS);
    EXPECT_EQ(t.get("VALUE"), "12.59") << "a read-only field keeps its text";
}

TEST_F(Fixture, PredefinedDialogsTakeTheirAnswersInOrderAndAreTranscribed) {
    hb->queueAlarm(2);
    hb->queueFile(1, "/tmp/new.kst");
    tk.message(" Kestrel Message ", "Hello");
    EXPECT_EQ(tk.alarm(" Kestrel Alert ", "Save?", "Yes", "No", "Cancel"), 2);
    Element& fd = tk.make(Kind::Dialog, "", {{"DIALOGTYPE", "SAVE"}, {"TITLE", "Save As"}});
    tk.fileDialog(fd);
    EXPECT_EQ(fd.get("STATUS"), "1");
    EXPECT_EQ(fd.get("VALUE"), "/tmp/new.kst");
    EXPECT_EQ(
        hb->transcript(),
        (std::vector<std::string>{"message [ Kestrel Message ]: Hello",
                                  "alert [ Kestrel Alert ]: Save? {Yes | No | Cancel}",
                                  "answer: No", "file dialog: Save As", "answer: 1 /tmp/new.kst"}));
    EXPECT_TRUE(hb->errors().empty());
}

TEST_F(Fixture, AnAlertWithoutAnswerIsAnErrorAndCountsAsClosed) {
    EXPECT_EQ(tk.alarm("T", "\n Current frame has been modified. \n", "Yes", "No"), 0);
    ASSERT_EQ(hb->errors().size(), 1u);
    EXPECT_EQ(hb->errors()[0], "unanswered alert: Current frame has been modified.");
    hb->queueAlarm(3);
    EXPECT_EQ(tk.alarm("T", "x", "Yes", "No"), 0) << "no third button";
}

TEST_F(Fixture, RecorderSeesInputsAndAnswers) {
    std::vector<Input> seen;
    tk.recorder = [&](const Input& in) { seen.push_back(in); };
    Element& c = tk.make(Kind::Canvas, "datascreen");
    tk.canvasButton(c, 1, true, 10, 20, Modifiers{true, false});
    hb->queueAlarm(1);
    tk.alarm("T", "x", "OK");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].type, Input::Type::CanvasButton);
    EXPECT_EQ(seen[0].target, "datascreen");
    EXPECT_EQ(seen[0].mods.letters(), "S ");
    EXPECT_EQ(seen[1].type, Input::Type::AnswerAlarm);
    EXPECT_EQ(seen[1].number, 1);
}

TEST_F(Fixture, CanvasResizeResizesItsDrawingCanvas) {
    Element& c = tk.make(Kind::Canvas, "datascreen", {{"RESIZE_CB", "VisResize"}});
    auto canvas = tk.createCanvas(c);
    EXPECT_EQ(canvas->width(), 400);
    int w = 0;
    tk.bind("VisResize", [&](Event& ev) {
        w = ev.width;
        return kDefault;
    });
    tk.canvasResize(c, 500, 250);
    EXPECT_EQ(w, 500);
    EXPECT_EQ(canvas->height(), 250);
    EXPECT_EQ(hb->canvasOf(c), canvas.get());
    canvas.reset();
    EXPECT_EQ(hb->canvasOf(c), nullptr);
}
