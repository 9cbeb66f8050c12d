// The inquiry of the right button and the totals message on the headless
// program: the attribute texts outside result mode, the reaction and end
// values after an analysis, the blocks loaded into the panels, and a pick
// beside the frame clearing the information area.
#include "tests/shell/beam.h"
#include "tests/shell/fixture.h"

#include "attrib/blocks.h"
#include "shell/panels/propertypanel.h"
#include "shell/results/inquiry.h"
#include "shell/results/resultcmds.h"

#include <array>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace shelltest {
namespace {

class InquiryTest : public BeamTest {
protected:
    // The beam of the result tests; its material and nodal force block.
    void beam() {
        Solid* s = state().model;
        supportedBeam(s, true);
        mat = attrib::memberOf(s->edges)->blocks[attrib::kMaterial];
        for (Vertex* v = s->vertices; v; v = v->next)
            if (attrib::nodeOf(v)->force) force = attrib::nodeOf(v)->force;
    }
    std::string info() { return value("infotxt"); }
    attrib::PropertyBlock* mat = nullptr;
    attrib::PropertyBlock* force = nullptr;
};

TEST_F(InquiryTest, TotalsCountNodesAndMembers) {
    fire("InqGlobal");
    EXPECT_EQ(backend->transcript().back(),
              "message [ Kestrel Message ]: \n The structure is not defined. \n");
    beam();
    fire("InqGlobal");
    EXPECT_EQ(backend->transcript().back(),
              "message [ Kestrel Message ]: \n Number of Nodes : 3\n\n Number of Members : 2\n");
}

TEST_F(InquiryTest, AttributeAndResultTexts) {
    beam();
    // The middle node: its coordinates and force; its block becomes current.
    shell::inquireAt(2, 0, 0.01);
    EXPECT_NE(info().find("  x = 2.00 m\n  y = 0.00 m\n"), std::string::npos) << info();
    EXPECT_NE(info().find(" Nodal Forces: \n  Fx = 0.0 kN\n  Fy = -10.0 kN\n"), std::string::npos)
        << info();
    EXPECT_EQ(shell::currentBlock(attrib::kNff), force);
    // A member: its length and material; beside the frame: nothing.
    shell::inquireAt(1, 0, 0.01);
    EXPECT_EQ(info().rfind(" Member\n Attributes\n\n Length = 2.00 m\n Material: \n", 0), 0u)
        << info();
    EXPECT_EQ(shell::currentBlock(attrib::kMaf), mat);
    shell::inquireAt(1, 3, 0.01);
    EXPECT_EQ(info(), "");

    // After the analysis: the pinned node carries half the load, the member
    // from it has the moment 0 at its start and PL/4 = 10 kNm at the middle.
    saveAsBeam();
    ASSERT_TRUE(shell::resultCommand(3));
    shell::inquireAt(0, 0, 0.01);
    EXPECT_EQ(
        info().rfind("\n Node\n Results\n\n Support\n Reactions:\n Fx = 0.0 kN\n Fy = 5.0 kN\n"
                     " Mz = 0.0 kNm\n",
                     0),
        0u)
        << info();
    shell::inquireAt(1, 0, 0.01);
    const std::string head =
        "\n Member\n Bending Moment\n Diagram Results\n\n Init: 0.0 kNm\n End: 10.0 kNm";
    EXPECT_EQ(info(),
              head + "\n\n Define a reasonable\n step value to get\n results along member.");
    // With a result step of 1 m the moment rises linearly along the member.
    state().settings.resultStep = 1;
    shell::inquireAt(1, 0, 0.01);
    EXPECT_EQ(info(), head + "\n\n Results Along Member:\n x [m]\tBending\n \tMoment [kNm]"
                             "\n 0.00\t0.0\n 1.00\t5.0\n 2.00\t10.0");
}

class SignConventionTest : public ShellTest {
protected:
    std::string state3() {
        return title("closesignconvdlg") + "|" + at("applysignconvdlg").get("ACTIVE") + "|" +
               at("acceptsignconvdlg").get("ACTIVE");
    }
};

// While the dialog's copy equals the model's settings Apply and Accept are
// inactive and the third button reads Close; a change and its undoing in the
// dialog go back to that; Apply stores the copy and modifies the model;
// Close after a change keeps the model's settings.
TEST_F(SignConventionTest, CopyApplyAcceptAndClose) {
    using T = ui::Input::Type;
    ASSERT_EQ(state().file.saved, 1); // a new model is not modified
    std::vector<std::string> seen;
    tk->bind("SignConvProbe", [&](ui::Event&) {
        seen.push_back(state3());
        return ui::kDefault;
    });
    queue(T::Action, "SignConvProbe");
    queue(T::Toggle, "scvTopSidePosBendMom");
    queue(T::Action, "SignConvProbe");
    queue(T::Toggle, "scvTensSideBendMom");
    queue(T::Action, "SignConvProbe");
    queue(T::Toggle, "scvTopSidePosIL");
    queue(T::Press, "applysignconvdlg");
    queue(T::Action, "SignConvProbe");
    queue(T::Toggle, "scvTopSidePosBendMom");
    queue(T::Press, "closesignconvdlg");
    fire("SignConv");
    EXPECT_EQ(seen, (std::vector<std::string>{" Close  |NO|NO", " Cancel |YES|YES",
                                              " Close  |NO|NO", " Close  |NO|NO"}));
    EXPECT_EQ(state().settings.signConvention, (std::array<int, 2>{1, 0}));
    EXPECT_EQ(state().file.saved, 0);

    queue(T::Toggle, "scvTopSidePosBendMom");
    queue(T::Press, "acceptsignconvdlg");
    fire("SignConv");
    EXPECT_EQ(state().settings.signConvention, (std::array<int, 2>{0, 0}));
    EXPECT_TRUE(backend->errors().empty());
}

} // namespace
} // namespace shelltest
