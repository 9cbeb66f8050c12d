// The support, hinge and constraint panels in the started program: which
// fields are active in which state and the hinge buttons (what the fields
// and their key filters refuse, Apply and Select: the scenarios
// support-values-refused and support-apply-and-select).
#include "attrib/attrib.h"
#include "model/model.h"
#include "shell/edit/edit.h"
#include "shell/panels/conditionpanels.h"
#include "tests/shell/fixture.h"

namespace shelltest {
namespace {

class ConditionPanelTest : public ShellTest {
protected:
    bool active(const std::string& name) { return at(name).isActive(); }
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
