// Leaving the program: the save question of Exit and CloseWindow, and the
// modified indicator it rests on (the question's text and Cancel: the
// scenario exit-question).
#include "fixture.h"
#include "model/model.h"

namespace shelltest {
namespace {

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
