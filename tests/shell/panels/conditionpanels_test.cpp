// The support, hinge and constraint panels in the started program: which
// fields are active in which state, what the fields refuse, the messages of
// Select, and Apply as one undo step with the modified indicator.
#include "attrib/attrib.h"
#include "model/model.h"
#include "shell/edit/edit.h"
#include "shell/panels/conditionpanels.h"
#include "tests/shell/fixture.h"

#include <cmath>

namespace shelltest {
namespace {

class ConditionPanelTest : public ShellTest {
protected:
    bool active(const std::string& name) { return at(name).isActive(); }
    Vertex* node(double x, double y) {
        MPoint p{x, y};
        return mdl_find_vertex_at(state().model, &p);
    }
};

TEST_F(ConditionPanelTest, SupportFieldsFollowTheCodesSpringsAndPrescribedFlag) {
    struct Case {
        const char* what;
        std::vector<const char*> toggles;
        // angle, prescribed toggle, Dx, Dy, Rz, Kx, Ky, Kz active
        const char* activeFields;
        const char* angleText;
    } cases[] = {
        {"free", {}, "01000000", "0.0"},
        {"pinned, angle typed", {"supxfix", "supyfix"}, "11000000", "30.0"},
        {"Dx spring hides the angle", {"supxkdx", "supyfix"}, "00000100", "0.0"},
        {"prescribed: fixed fields only",
         {"supxfree", "supyfix", "supzfix", "supprescdispl"},
         "01011000",
         "0.0"},
        {"rotational spring", {"supzkrz"}, "00000001", "0.0"},
    };
    const char* fields[8] = {"supskewang",    "supprescdispl", "supdispdxtext", "supdispdytext",
                             "supdisprztext", "supkdxtext",    "supkdytext",    "supkrztext"};
    for (const Case& c : cases) {
        fire("SupReset");
        if (at("supprescdispl").isOn()) toggle("supprescdispl");
        for (const char* t : c.toggles) toggle(t);
        if (std::string(c.what).find("angle typed") != std::string::npos)
            commit("supskewang", "30");
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(active(fields[i]), c.activeFields[i] == '1') << c.what << " " << fields[i];
        EXPECT_EQ(value("supskewang"), c.angleText) << c.what;
    }
}

// The values refused and kept: the scenario support-values-refused.
TEST_F(ConditionPanelTest, TheAngleTakesNoExponentAndPrescribedValuesDo) {
    toggle("supxfix");
    ui::Event e;
    e.key = 'e';
    EXPECT_EQ(tk->fireAction("SupSkewAng", e), ui::kIgnore);
    EXPECT_EQ(tk->fireAction("SupDispDx", e), ui::kDefault);
    e.key = 'x';
    EXPECT_EQ(tk->fireAction("SupKDx", e), ui::kIgnore);
}

TEST_F(ConditionPanelTest, ApplyIsOneUndoStepAndSelectSaysWhenNothingMatches) {
    shell::insertMember(0, 0, 4, 0, 1e-3);
    shell::insertMember(4, 0, 8, 0, 1e-3);
    shell::deselectAll();
    for (double x : {0.0, 8.0}) attrib::nodeOf(node(x, 0))->selected = 1;
    toggle("supxfix");
    toggle("supyfix");
    fire("SupApply");
    for (double x : {0.0, 8.0}) {
        EXPECT_EQ(std::string(attrib::nodeOf(node(x, 0))->support, 3), "110");
        EXPECT_EQ(attrib::nodeOf(node(x, 0))->selected, 0);
    }
    EXPECT_EQ(shell::isSaved(), 0);
    shell::undoStep();
    for (double x : {0.0, 8.0})
        EXPECT_EQ(std::string(attrib::nodeOf(node(x, 0))->support, 3), "000");
    shell::redoStep();

    struct Case {
        const char* pick;
        const char* action;
        const char* message; // "" when something is selected
        int nodes, members;
    } cases[] = {
        {"supyfree", "SupSelect", "No node has the specified support conditions.", 0, 0},
        {"supyfix", "SupSelect", "", 2, 0},
        {"hingenodeon", "HingeSelect", "No node has the specified hinge configuration.", 0, 0},
        {"hingenodeoff", "HingeSelect", "", 3, 0},
        {"hingemembleft", "HingeSelect", "No member has the specified hinge configuration.", 0, 0},
        {"hingemembnone", "HingeSelect", "", 0, 2},
        {"constrtrigid", "ConstrtSelect", "No member has the specified displacement constraints.",
         0, 0},
        {"constrtnone", "ConstrtSelect", "", 0, 2},
    };
    for (const Case& c : cases) {
        backend->clearErrors();
        const std::size_t before = backend->transcript().size();
        toggle(c.pick);
        fire(c.action);
        if (*c.message) {
            ASSERT_GT(backend->transcript().size(), before) << c.action;
            EXPECT_NE(lastMessage().find(c.message), std::string::npos) << lastMessage();
        } else {
            EXPECT_EQ(backend->transcript().size(), before) << c.pick;
        }
        int n = 0, m = 0;
        for (const Vertex* v = state().model->vertices; v; v = v->next)
            n += attrib::nodeOf(v)->selected;
        for (const Edge* e = state().model->edges; e; e = e->next)
            m += attrib::memberOf(e)->selected;
        EXPECT_EQ(n, c.nodes) << c.pick;
        EXPECT_EQ(m, c.members) << c.pick;
    }
}

TEST_F(ConditionPanelTest, HingeButtonsSwitchModeAndTipsAndInquiryLoadsTheState) {
    toggle("hingemembleft");
    EXPECT_EQ(at("hingeapply").get("TIP"), "Apply hinge configuration to selected members");
    EXPECT_TRUE(at("hingemembleft").isOn());
    toggle("hingenodeoff");
    EXPECT_EQ(at("hingeselect").get("TIP"), "Select nodes by hinge configuration");
    EXPECT_FALSE(at("hingemembleft").isOn());

    shell::insertMember(0, 0, 4, 0, 1e-3);
    shell::deselectAll();
    Edge* e = state().model->edges;
    attrib::memberOf(e)->selected = 1;
    toggle("constrtaxial");
    fire("ConstrtApply");
    attrib::memberOf(e)->selected = 1;
    toggle("hingemembrigt");
    fire("HingeApply");
    toggle("constrtnone");
    toggle("hingenodeon");
    shell::loadMemberConditions(e);
    EXPECT_TRUE(at("constrtaxial").isOn());
    EXPECT_TRUE(at("hingemembrigt").isOn());
    // The end node of the member is released: a hinged node.
    shell::loadNodeConditions(e->he2->vtx);
    EXPECT_TRUE(at("hingenodeon").isOn());
    shell::loadNodeConditions(e->he1->vtx);
    EXPECT_TRUE(at("hingenodeoff").isOn());
}

} // namespace
} // namespace shelltest
