// Leaving the program: the save question of Exit and CloseWindow, and the
// modified indicator it rests on.
#include "fixture.h"
#include "model/model.h"

namespace shelltest {
namespace {

const char* const kQuestion =
    "alert [ Kestrel Alert ]: \n    Current frame has been modified.      \n"
    "          Save current changes?           \n\n"
    " {  Save As & Exit   |  Discard & Exit  |      Cancel     }";

TEST_F(ShellTest, ExitOnAnUnmodifiedFrameLeavesAtOnce) {
    EXPECT_EQ(fire("Exit"), ui::kClose);
    EXPECT_TRUE(backend->transcript().empty());
    EXPECT_TRUE(state().leaving);
}

TEST_F(ShellTest, AfterADisplayToggleExitAsksAndCancelStays) {
    toggle("vbltnodenumb");
    EXPECT_EQ(shell::isSaved(), 0);
    backend->queueAlarm(3);
    EXPECT_EQ(fire("Exit"), ui::kDefault);
    ASSERT_EQ(backend->transcript().size(), 2u);
    EXPECT_EQ(backend->transcript()[0], kQuestion);
    EXPECT_EQ(backend->transcript()[1], "answer:      Cancel     ");
    EXPECT_FALSE(state().leaving);

    // The window manager's close keeps the window open on Cancel.
    backend->queueAlarm(3);
    EXPECT_EQ(tk->closeRequest(at("main")), ui::kIgnore);
    EXPECT_EQ(at("main").get("VISIBLE"), "YES");
    EXPECT_EQ(backend->transcript()[2], kQuestion);

    backend->queueAlarm(2);
    EXPECT_EQ(fire("Exit"), ui::kClose);
    EXPECT_EQ(backend->transcript().back(), "answer:  Discard & Exit ");
    EXPECT_TRUE(backend->errors().empty());
}

bool saveAsFails() {
    return false;
}
bool saveAsSucceeds() {
    return true;
}

// The answers to the question, by Exit and by the window's close: Discard
// leaves; the alert closed without a button stays; Save As & Exit leaves only
// when Save As succeeds (without a Save As it fails).
TEST_F(ShellTest, EachAnswerToTheSaveQuestion) {
    const struct {
        bool (*saveAs)();
        int answer;
        const char* action;
        int rc;
    } cases[] = {
        {nullptr, 2, "CloseWindow", ui::kClose},  {nullptr, 0, "Exit", ui::kDefault},
        {nullptr, 0, "CloseWindow", ui::kIgnore}, {nullptr, 1, "Exit", ui::kDefault},
        {saveAsFails, 1, "Exit", ui::kDefault},   {saveAsFails, 1, "CloseWindow", ui::kIgnore},
        {saveAsSucceeds, 1, "Exit", ui::kClose},
    };
    for (const auto& c : cases) {
        start("");
        if (c.saveAs) state().saveAs = c.saveAs;
        toggle("vbltdimln");
        backend->queueAlarm(c.answer);
        EXPECT_EQ(fire(c.action), c.rc) << c.action << " answer " << c.answer;
        EXPECT_EQ(state().leaving, c.rc == ui::kClose) << c.action << " answer " << c.answer;
    }
}

TEST_F(ShellTest, ModifiedIndicatorFollowsTheSavedFlagAndTheNewestUndoSlot) {
    EXPECT_EQ(shell::isSaved(), 1);
    shell::markModified(1); // nothing recorded: still saved
    EXPECT_EQ(shell::isSaved(), 1);
    EXPECT_EQ(state().file.saved, 1);
    ASSERT_NE(mdl_insert_point(state().model, MPoint{2.0, 3.0}), nullptr); // a recorded edit
    EXPECT_FALSE(shell::modelIsEmpty());
    EXPECT_EQ(shell::isSaved(), 0);
    EXPECT_EQ(state().file.saved, 1);
    shell::markModified(1);
    EXPECT_EQ(state().file.saved, 0);
    ASSERT_EQ(mdl_undo(), -2); // the newest slot is empty again
    EXPECT_EQ(shell::isSaved(), 0) << "the saved flag stays cleared";
    state().file.saved = 1;
    EXPECT_EQ(shell::isSaved(), 1);
    shell::markModified(0);
    EXPECT_EQ(state().file.saved, 0);
    EXPECT_EQ(shell::isSaved(), 0);
}

TEST_F(ShellTest, TheMainLoopEndsWhenExitLeaves) {
    queue(ui::Input::Type::Press, "miexit");
    shell::runMainLoop(*tk);
    EXPECT_TRUE(state().leaving);
    EXPECT_TRUE(backend->errors().empty());
}

} // namespace
} // namespace shelltest
