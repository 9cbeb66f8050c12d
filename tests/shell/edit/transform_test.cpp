// Transformations of the selection through the started program: the four
// kinds typed and by mouse, copies and their attribute records, merging with
// the frame, stretching at moved nodes, Repeat, dimension lines and undo.
#include "attrib/attrib.h"
#include "attrib/cases.h"
#include "gfx/record.h"
#include "interact/trfmode.h"
#include "model/model.h"
#include "shell/edit/edit.h"
#include "shell/edit/transform.h"
#include "tests/shell/fixture.h"
#include "units/units.h"

#include <cmath>

namespace shelltest {
namespace {

constexpr double kTol = 1e-9; // coordinates of transformed entities

class TransformTest : public ShellTest {
protected:
    attrib::PropertyBlock* material = nullptr;
    attrib::PropertyBlock* force = nullptr;

    // A portal (columns at x = 0 and 4, height 3, beam at y = 3) and a free
    // column from (10, 0) to (10, 3) with a material, a hinge at its foot,
    // and a fixed support with a nodal force at its foot.
    void SetUp() override {
        ShellTest::SetUp();
        shell::insertMember(0, 0, 0, 3, 0.01);
        shell::insertMember(4, 0, 4, 3, 0.01);
        shell::insertMember(0, 3, 4, 3, 0.01);
        shell::insertMember(10, 0, 10, 3, 0.01);
        shell::deselectAll();
        auto& lists = attrib::root().lists;
        material = new attrib::PropertyBlock;
        lists[attrib::kMaf] = material;
        force = new attrib::PropertyBlock;
        lists[attrib::kNff] = force;
        attrib::MemberAttrib* m = attrib::memberOf(member(10, 0, 10, 3));
        m->blocks[attrib::kMaterial] = material;
        m->hingeStart = 1;
        material->useCount = 1;
        attrib::NodeAttrib* n = attrib::nodeOf(node(10, 0));
        n->support[0] = n->support[1] = '1';
        attrib::loadsFor(*n, attrib::activeCase()).force = force;
        force->useCount = 1;
        mdl_clear_history();
    }
    Edge* member(double x1, double y1, double x2, double y2) {
        for (Edge* e = state().model->edges; e; e = e->next) {
            const Vertex* a = e->he1->vtx;
            const Vertex* b = e->he2->vtx;
            auto near = [](const Vertex* v, double x, double y) {
                return std::fabs(v->x - x) < kTol && std::fabs(v->y - y) < kTol;
            };
            if ((near(a, x1, y1) && near(b, x2, y2)) || (near(a, x2, y2) && near(b, x1, y1)))
                return e;
        }
        return nullptr;
    }
    Vertex* node(double x, double y) {
        for (Vertex* v = state().model->vertices; v; v = v->next)
            if (std::fabs(v->x - x) < kTol && std::fabs(v->y - y) < kTol) return v;
        return nullptr;
    }
    // Live member records that refer to the material.
    int withMaterial() {
        int k = 0;
        for (const Edge* e = state().model->edges; e; e = e->next)
            k += attrib::memberOf(e)->blocks[attrib::kMaterial] == material;
        return k;
    }
    void selectFreeColumn() {
        shell::deselectAll();
        shell::pickAt(10, 1.5, 0.01, false);
        ASSERT_EQ(shell::selectionSummary(), "1 member selected");
    }
    void typed(const char* action, std::vector<std::string> fields) {
        state().keyboardMode = 1;
        backend->queueParam(fields);
        fire(action);
        state().keyboardMode = 0;
    }
    void setCopyMode(bool on) {
        if (at("oopleaveorg").isOn() != on) toggle("oopleaveorg");
    }
};

// The free column transformed by each kind from the keyboard, as a copy or
// in place: where it lands, what it merges with, and the records it carries.
TEST_F(TransformTest, EachKindTypedOnTheFreeColumn) {
    struct Case {
        const char* action;
        std::vector<std::string> fields;
        bool copy;
        double x1, y1, x2, y2; // the transformed column (its lowest piece), foot first
        const char* counts;    // nodes/members after
        int pieces;            // members that carry the material
    } cases[] = {
        // Beside the frame.
        {"OopMove", {"3", "1", "0"}, true, 13, 1, 13, 4, "8/5", 2},
        {"OopMove", {"3", "1", "0"}, false, 13, 1, 13, 4, "6/4", 1},
        // Across the beam: the beam and the copy are split where they cross.
        {"OopMove", {"-8", "1.5", "0.001"}, true, 2, 1.5, 2, 3, "9/7", 3},
        // Onto the right-hand column: nothing is duplicated.
        {"OopMove", {"-6", "0", "0"}, true, 4, 0, 4, 3, "6/4", 1},
        {"OopMirror", {"7", "0", "7", "1", "0"}, true, 4, 0, 4, 3, "6/4", 1},
        {"OopMirror", {"0", "0", "1", "0", "0"}, false, 10, 0, 10, -3, "6/4", 1},
        {"OopRotate", {"10", "0", "90", "0"}, true, 10, 0, 7, 0, "7/5", 2},
        {"OopRotate", {"10", "3", "180", "0"}, false, 10, 6, 10, 3, "6/4", 1},
        {"OopScale", {"10", "0", "2", "0"}, false, 10, 0, 10, 6, "6/4", 1},
        {"OopScale", {"0", "0", "0.5", "0"}, true, 5, 0, 5, 1.5, "8/5", 2},
    };
    for (const Case& c : cases) {
        SetUp();
        const std::string before = mdl_dump(state().model, false);
        const std::string what =
            std::string(c.action) + " " + c.fields[0] + " copy " + std::to_string(c.copy);
        setCopyMode(c.copy);
        selectFreeColumn();
        typed(c.action, c.fields);
        EXPECT_EQ(counts(), c.counts) << what;
        EXPECT_EQ(mdl_check(state().model), "") << what;
        Edge* e = member(c.x1, c.y1, c.x2, c.y2);
        Vertex* foot = node(c.x1, c.y1);
        ASSERT_TRUE(e && foot) << what;
        // A copy that lands on a member of the portal leaves it as it was.
        const bool landed = c.copy && c.pieces == 1;
        const attrib::MemberAttrib* m = attrib::memberOf(e);
        EXPECT_EQ(m->blocks[attrib::kMaterial], landed ? nullptr : material) << what;
        EXPECT_EQ(e->he1->vtx == foot ? m->hingeStart : m->hingeEnd, landed ? 0 : 1) << what;
        EXPECT_EQ(e->he1->vtx == foot ? m->hingeEnd : m->hingeStart, 0) << what;
        const attrib::NodeAttrib* n = attrib::nodeOf(foot);
        EXPECT_EQ(std::string(n->support, 3), landed ? "000" : "110") << what;
        EXPECT_EQ(attrib::nodalForce(*n, attrib::activeCase()), landed ? nullptr : force) << what;
        EXPECT_EQ(withMaterial(), c.pieces) << what;
        // Every live record counts, and the one an undo record keeps.
        EXPECT_EQ(material->useCount, c.pieces + (c.copy ? 0 : 1)) << what;
        EXPECT_EQ(shell::selectionSummary(), c.copy ? "nothing selected" : "1 member selected")
            << what;
        fire("EdtUndo");
        EXPECT_EQ(mdl_dump(state().model, false), before) << what;
        EXPECT_EQ(withMaterial(), 1) << what;
    }
}

// Moving the only member takes the model through having no node at all.
TEST_F(TransformTest, TheOnlyMemberOfAModelMovesAndComesBack) {
    start("");
    shell::insertMember(0, 0, 2, 0, 0.01);
    ASSERT_EQ(shell::selectionSummary(), "1 member selected");
    const std::string before = mdl_dump(state().model, false);
    typed("OopMove", {"5", "5", "0"});
    EXPECT_EQ(counts(), "2/1");
    EXPECT_TRUE(member(5, 5, 7, 5));
    fire("EdtUndo");
    EXPECT_EQ(mdl_dump(state().model, false), before);
    fire("EdtRedo");
    EXPECT_TRUE(member(5, 5, 7, 5));
    EXPECT_EQ(mdl_check(state().model), "");
}

TEST_F(TransformTest, MovingNodesStretchesTheirMembers) {
    struct Case {
        bool copy;
        const char* counts;
    } cases[] = {{false, "6/4"}, {true, "7/6"}};
    for (const Case& c : cases) {
        SetUp();
        setCopyMode(c.copy);
        shell::pickAt(4, 3, 0.01, false); // the right-hand corner of the portal
        ASSERT_EQ(shell::selectionSummary(), "1 node selected");
        typed("OopMove", {"1", "0.5", "0"});
        EXPECT_EQ(counts(), c.counts) << c.copy;
        EXPECT_TRUE(member(0, 3, 5, 3.5)) << c.copy;
        EXPECT_TRUE(member(4, 0, 5, 3.5)) << c.copy;
        EXPECT_EQ(member(0, 3, 4, 3) != nullptr, c.copy);
        EXPECT_EQ(mdl_check(state().model), "");
    }
}

// The live texts of the mouse forms, the cancel and typed centimetres: the
// scenario transform-by-mouse; here the echo of a move, the selection drawn
// at the pointer, and the model's tolerance restored after typed lengths.
TEST_F(TransformTest, TheEchoOfAMoveAndTheToleranceAfterTypedLengths) {
    fire("VisFit");
    state().settings.gridOn = state().settings.snapToGrid = 1; // exact clicks
    selectFreeColumn();
    fire("OopMove");
    moveTo(10, 0);
    ShellTest::click(10, 0);
    moveTo(12, 1);
    bool echoed = false;
    for (const auto& p : canvas().primitives())
        echoed =
            echoed || (p.writeMode == gfx::WriteMode::Xor && p.world.size() == 2 &&
                       std::fabs(p.world[0].x - 12) < 1e-3 && std::fabs(p.world[0].y - 1) < 1e-3 &&
                       std::fabs(p.world[1].y - 4) < 1e-3);
    EXPECT_TRUE(echoed);
    ShellTest::click(12, 1, 3);
    EXPECT_FALSE(interact::trf::modeActive());
    state().settings.units[units::kLengthUnit] = 1; // cm
    typed("OopMove", {"-200", "100", "0"});
    EXPECT_TRUE(member(8, 1, 8, 4));
    EXPECT_DOUBLE_EQ(mdl_tolerance(), 1e-6);
}

TEST_F(TransformTest, DimensionLinesGoWithTheSelectionAndOneUndoRestoresAll) {
    shell::insertDimensionLine(10, 0, 10, 3, 11, 0);
    auto& lines = attrib::root().dimLines;
    const auto original = lines[0].pts;
    shell::fenceSelect(9, 12, -1, 4, false);
    ASSERT_EQ(shell::selectionSummary(), "1 member selected, 1 dimension line selected");
    const std::string before = mdl_dump(state().model, false);
    typed("OopMove", {"0", "2", "0"});
    ASSERT_EQ(lines.size(), 1u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(lines[0].pts[i].x, original[i].x, kTol);
        EXPECT_NEAR(lines[0].pts[i].y, original[i].y + 2, kTol);
    }
    EXPECT_TRUE(member(10, 2, 10, 5));
    fire("EdtUndo");
    EXPECT_EQ(mdl_dump(state().model, false), before);
    EXPECT_EQ(lines[0].pts[3].y, original[3].y);
    fire("EdtRedo");
    EXPECT_TRUE(member(10, 2, 10, 5));
    EXPECT_NEAR(lines[0].pts[0].y, 2, kTol);
    // As a copy the dimension line is duplicated.
    setCopyMode(true);
    shell::fenceSelect(9, 12, -1, 6, false);
    typed("OopMove", {"5", "0", "0"});
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_NEAR(lines[1].pts[0].x, 15, kTol);
}

// Refused and cancelled transformations and Repeat: the scenario
// transform-refused-and-repeat; here the action fired with nothing selected
// (its menu item is then inactive), which shows no dialog.
TEST_F(TransformTest, NothingSelectedShowsNoDialog) {
    typed("OopScale", {"0", "0", "2", "0"});
    EXPECT_EQ(backend->pendingCount(), 1u);
    backend->clearQueue();
}

} // namespace
} // namespace shelltest
