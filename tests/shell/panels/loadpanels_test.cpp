// The load panels in the started program: Apply and Select with the kinds'
// texts, and the loads on the drawing (the direction pair and the
// parallelism of global linear loads: the scenario linear-load-directions;
// the loads an example journal applies: gable-frame-attributes).
#include "attrib/loads.h"
#include "attrib/supports.h"
#include "model/model.h"
#include "results/display.h"
#include "shell/display.h"
#include "shell/edit/edit.h"
#include "shell/edit/editmodes.h"
#include "tests/shell/fixture.h"

#include <cmath>
#include <string>

namespace shelltest {
namespace {

class LoadPanelTest : public ShellTest {
protected:
    // New, the label, Done on the panel of `prefix` ("llf").
    void newBlock(const std::string& prefix, const std::string& label) {
        tk->press(at(prefix + "new"));
        at(prefix + "labeltext").set("VALUE", label);
        tk->press(at(prefix + "labelset"));
    }
    // Primitives of a role in a fresh redraw.
    int drawnIn(results::Role r) {
        canvas().reset();
        shell::redraw();
        int n = 0;
        const int color = results::roleColor(state().colors, r);
        for (const gfx::Primitive& p : canvas().primitives())
            n += p.color == color && p.kind != gfx::Primitive::Kind::Clear;
        return n;
    }
};

TEST_F(LoadPanelTest, ApplySelectAndTheDrawingOfEveryKind) {
    shell::insertMember(0, 0, 4, 0, 1e-3);
    shell::deselectAll();
    Edge* e = state().model->edges;
    Vertex* v = e->he2->vtx;
    struct Case {
        const char* panel;  // tool bar toggle
        const char* prefix; // element prefix
        const char* field;
        results::Role role;
        const char* notFound;
    } cases[] = {
        {"nforc", "nff", "nfffytext", results::Role::NodalForces,
         "No node belongs to the selected nodal forces."},
        {"mendm", "mbm", "mbmmatext", results::Role::MemberLoads,
         "No member belongs to the selected end moments block."},
        {"uload", "ulf", "ulfqytext", results::Role::MemberLoads,
         "No member belongs to the selected uniform load."},
        {"lload", "llf", "llfpyitext", results::Role::MemberLoads,
         "No member belongs to the selected linear load."},
        {"tpvar", "tpf", "tpftoptext", results::Role::MemberLoads,
         "No member belongs to the selected temperature variation."},
    };
    for (const Case& c : cases) {
        const std::string p = c.prefix;
        toggle(c.panel);
        newBlock(p, "a");
        // Select before anything uses the block: the kind's text.
        const std::size_t before = backend->transcript().size();
        tk->press(at(p + "select"));
        ASSERT_GT(backend->transcript().size(), before) << p;
        EXPECT_NE(backend->transcript().back().find(c.notFound), std::string::npos)
            << backend->transcript().back();
        commit(c.field, "-12");
        const int drawnBefore = drawnIn(c.role);
        if (p == "nff")
            attrib::nodeOf(v)->selected = 1;
        else
            attrib::memberOf(e)->selected = 1;
        shell::recountSelection();
        shell::updateToolbar();
        EXPECT_TRUE(at(p + "apply").isActive()) << p;
        tk->press(at(p + "apply"));
        EXPECT_GT(drawnIn(c.role), drawnBefore) << p;
        // Applied as one undo step: undo takes the load off again.
        shell::undoStep();
        EXPECT_EQ(drawnIn(c.role), drawnBefore) << p;
        shell::redoStep();
    }
}

// The supports, loads and blocks the example journal leaves: the scenario
// gable-frame-attributes; here what the inquiry does not show: every node
// exactly on whole metres, where the clicks were, and the hinge at the crown.
TEST_F(ReplayTest, TheGableFrameJournalLeavesExactNodesAndTheCrownHinge) {
    EXPECT_EQ(replay(example("gable-frame")), 0) << errors;
    for (const Vertex* v = state().model->vertices; v; v = v->next)
        EXPECT_TRUE(v->x == std::round(v->x) && v->y == std::round(v->y)) << v->x << "," << v->y;
    MPoint crown{6, 8};
    EXPECT_TRUE(attrib::isHingedNode(mdl_find_vertex_at(state().model, &crown), 2));
}

} // namespace
} // namespace shelltest
