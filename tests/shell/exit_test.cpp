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

TEST_F(ShellTest, CloseWindowDiscardingLeaves) {
    toggle("vbltdimln");
    backend->queueAlarm(2);
    EXPECT_EQ(fire("CloseWindow"), ui::kClose);
    EXPECT_TRUE(state().leaving);
}

TEST_F(ShellTest, ClosingTheAlertWithoutAButtonStays) {
    toggle("vbltdimln");
    backend->queueAlarm(0);
    EXPECT_EQ(fire("Exit"), ui::kDefault);
    backend->queueAlarm(0);
    EXPECT_EQ(fire("CloseWindow"), ui::kIgnore);
}

bool saveAsFails() {
    return false;
}
bool saveAsSucceeds() {
    return true;
}

TEST_F(ShellTest, SaveAsAndExitLeavesOnlyWhenSaveAsSucceeds) {
    toggle("vbltmembnumb");
    backend->queueAlarm(1);
    EXPECT_EQ(fire("Exit"), ui::kDefault); // no Save As in this build: it fails
    state().saveAs = saveAsFails;
    backend->queueAlarm(1);
    EXPECT_EQ(fire("Exit"), ui::kDefault);
    backend->queueAlarm(1);
    EXPECT_EQ(fire("CloseWindow"), ui::kIgnore);
    state().saveAs = saveAsSucceeds;
    backend->queueAlarm(1);
    EXPECT_EQ(fire("Exit"), ui::kClose);
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
    ui::Input press;
    press.type = ui::Input::Type::Press;
    press.target = "miexit";
    backend->queue(press);
    shell::runMainLoop(*tk);
    EXPECT_TRUE(state().leaving);
    EXPECT_TRUE(backend->errors().empty());
}

TEST_F(ShellTest, AboutWindowShowsItsCloseButtonAndReturns) {
    ui::Input close;
    close.type = ui::Input::Type::Press;
    close.target = "aboutclose";
    backend->queue(close);
    EXPECT_EQ(fire("Info"), ui::kDefault);
    EXPECT_EQ(title("aboutclose"), " Close ");
    EXPECT_EQ(at("about").get("VISIBLE"), "NO");
    EXPECT_TRUE(backend->errors().empty());
    EXPECT_EQ(tk->loopDepth(), 0);
}

} // namespace
} // namespace shelltest
