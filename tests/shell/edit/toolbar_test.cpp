// The tool bar after every command: Apply and the transform items follow a
// panel's Select, Undo follows its Apply, the file commands leave Undo and
// Redo inactive; a click that inserts nothing records nothing; any other
// operation cancels a half-drawn member.
#include "attrib/attrib.h"
#include "interact/cll.h"
#include "model/model.h"
#include "shell/edit/edit.h"
#include "tests/shell/fixture.h"

namespace shelltest {
namespace {

class ToolbarTest : public ShellTest {
protected:
    // Undo, Redo, the support panel's Apply and Move active: "1100".
    std::string states() {
        std::string t;
        for (const char* e : {"edtundo", "edtredo", "supapply", "mioopmove"})
            t += at(e).isActive() ? "1" : "0";
        return t;
    }
    void twoMembers() {
        shell::insertMember(0, 0, 4, 0, 1e-3);
        shell::insertMember(4, 0, 8, 0, 1e-3);
        shell::deselectAll();
    }
};

TEST_F(ToolbarTest, PanelSelectAndApplyAndFileCommandsRefreshTheToolbar) {
    twoMembers();
    toggle("supyfree"); // every node has Dy free
    fire("SupSelect");
    EXPECT_EQ(states(), "1011") << "three nodes selected: Apply and Move";
    toggle("supyfix");
    fire("SupApply");
    EXPECT_EQ(states(), "1000") << "one more step to undo, nothing selected";
    fire("EdtUndo");
    EXPECT_EQ(states(), "1100");
    backend->queueAlarm(2); // "Save current changes?": No
    fire("IoNew");
    EXPECT_EQ(states(), "0000") << "a new frame has no history";
}

TEST_F(ToolbarTest, AClickOnAnExistingNodeRecordsNothing) {
    twoMembers();
    tk->press(at("insvertex"));
    click(4, 0);
    EXPECT_EQ(counts(), "3/2");
    EXPECT_TRUE(at("edtundo").isActive());
    fire("EdtUndo"); // takes back the second member, not an empty step
    EXPECT_EQ(counts(), "2/1");
}

TEST_F(ToolbarTest, AnotherOperationCancelsAHalfDrawnMember) {
    twoMembers();
    tk->press(at("insline"));
    click(0, 3);
    ASSERT_EQ(interact::cll::state().stage, 1) << "the first point is given";
    for (const char* other : {"vbltload", "supxfix"}) {
        toggle(other);
        EXPECT_TRUE(interact::cll::active()) << other << ": the creation mode goes on";
        EXPECT_EQ(interact::cll::state().stage, 0) << other << ": the half-drawn member is gone";
        click(0, 3);
    }
    click(4, 3); // a member from the last first point
    EXPECT_EQ(counts(), "5/3");
}

} // namespace
} // namespace shelltest
