// Editing on the canvas through the started program: snapping, the grid line,
// the dimension line mode, undo and the selection, keys, limits and the scale
// dial. The grid steps, the hinge Apply, undo and redo with the modified
// indicator, the creation measures, the keyboard mode, picks and fences and
// deletion are scenarios (tests/data/shell/scenarios).
#include "attrib/attrib.h"
#include "model/model.h"
#include "shell/edit/edit.h"
#include "shell/edit/view.h"
#include "tests/shell/fixture.h"

#include <array>
#include <cmath>

namespace shelltest {
namespace {

class EditTest : public ShellTest {
protected:
    // The view window: xmin, xmax, ymin, ymax.
    static std::array<double, 4> view() {
        std::array<double, 4> v;
        shell::viewWindow(v[0], v[1], v[2], v[3]);
        return v;
    }
    void keyOnCanvas(int key) {
        at("main").store("FOCUS", "datascreen");
        tk->key(at("main"), key);
    }
};

TEST(Snap, GridStepsRoundHalvesTowardZero) {
    struct Case {
        double v, step, want;
    } cases[] = {
        {2.5, 1, 2},          {-2.5, 1, -2},   {2.6, 1, 3},    {-2.6, 1, -3},
        {0.49, 1, 0},         {1.5, 1, 1},     {-0.5, 1, -0},  {7.4, 2.5, 7.5},
        {6.25, 2.5, 5},       {3.7, 0, 3.7},   {3.7, -1, 3.7}, {1e6 + 0.7, 1, 1e6 + 1},
        {3.7, HUGE_VAL, 3.7}, {3.7, NAN, 3.7},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(shell::snapToStep(c.v, c.step), c.want) << c.v << " step " << c.step;
}

TEST_F(EditTest, PointsSnapToTheGridUnlessControlInvertsIt) {
    struct Case {
        int grid, snap;
        bool control;
        double x, wantX;
    } cases[] = {
        {1, 1, false, 2.5, 2.0}, {1, 1, false, -2.5, -2.0}, {1, 1, false, 2.6, 3.0},
        {1, 1, true, 2.6, 2.6},  {1, 0, true, 2.6, 3.0},    {1, 0, false, 2.6, 2.6},
        {0, 1, false, 2.6, 2.6}, {0, 0, true, 2.6, 2.6},
    };
    for (const Case& c : cases) {
        state().settings.gridOn = c.grid;
        state().settings.snapToGrid = c.snap;
        double x = c.x, y = 0.4;
        shell::snapPoint(x, y, 0.01, c.control);
        EXPECT_EQ(x, c.wantX) << c.x << " grid " << c.grid << " snap " << c.snap;
    }
}

TEST_F(EditTest, PointsSnapToNodesBeforeMembers) {
    portal();
    struct Case {
        double x, y, tol;
        bool control;
        double wantX, wantY;
    } cases[] = {
        {4.05, 3.02, 0.1, false, 4, 3},      // near a node
        {2.0, 3.05, 0.1, false, 2, 3},       // near the beam: foot on it
        {2.0, 3.05, 0.01, false, 2, 3.05},   // outside the tolerance
        {4.05, 3.02, 0.1, true, 4.05, 3.02}, // Control inverts snapping to members
    };
    for (const Case& c : cases) {
        double x = c.x, y = c.y;
        shell::snapPoint(x, y, c.tol, c.control);
        EXPECT_NEAR(x, c.wantX, 1e-12) << c.x << "," << c.y;
        EXPECT_NEAR(y, c.wantY, 1e-12) << c.x << "," << c.y;
    }
}

// What the mode shows, the count and the undo: the scenario
// dimension-line-mode; here the flag, the modified frame and the offset point.
TEST_F(EditTest, DimensionLineModeTurnsTheDimensionLinesOn) {
    toggle("vbltdimln");
    state().file.saved = 1;
    fire("InsDimLn");
    EXPECT_EQ(state().settings.display[shell::kDimLines], 1);
    EXPECT_EQ(shell::isSaved(), 0);
    click(0, 0);
    click(4, 0);
    click(2, 1);
    ASSERT_EQ(attrib::root().dimLines.size(), 1u);
    EXPECT_NEAR(attrib::root().dimLines[0].pts[2].y, 1, 0.05);
}

TEST_F(EditTest, KeysActOnlyWhenTheCanvasHasTheFocus) {
    portal();
    fire("InsVertex");
    const auto before = view();
    // With the focus in a text field every canvas key is passed on: nothing
    // is deleted, the view stays and the creation mode goes on.
    at("main").store("FOCUS", "gridstepxtext");
    for (int key : {int(ui::K_DEL), int(ui::K_BS), int(ui::K_ESC), int('+'), int(ui::K_LEFT),
                    int(ui::K_PGUP)}) {
        EXPECT_EQ(tk->key(at("main"), key), ui::kDefault) << key;
        EXPECT_EQ(view(), before) << key;
    }
    EXPECT_EQ(state().mode, shell::EditMode::InsertNode);
    fire("Select");
    click(2, 3);
    at("main").store("FOCUS", "gridstepxtext");
    EXPECT_EQ(tk->key(at("main"), ui::K_DEL), ui::kDefault);
    EXPECT_EQ(counts(), "6/5");
    keyOnCanvas(ui::K_BS);
    EXPECT_EQ(counts(), "6/4");
}

// Undo with nothing to undo leaves the frame unmodified (undo and redo with
// the modified indicator: the scenario undo-redo-modified).
TEST_F(EditTest, UndoThatLeavesBothKindsSelectedClearsTheSelection) {
    fire("EdtUndo");
    EXPECT_EQ(shell::isSaved(), 1);
    shell::insertMember(0, 0, 4, 0, 0.01);
    shell::insertNode(10, 10, 0.01);
    shell::deselectAll();
    fire("Select");
    click(2, 0);
    fire("EdtDelSelAll"); // the undo step keeps the member's record, selected
    click(10, 10);
    ASSERT_EQ(shell::selectionSummary(), "1 node selected");
    fire("EdtUndo");
    EXPECT_EQ(shell::selectionSummary(), "nothing selected");
    EXPECT_EQ(state().selectionKind, 0);
    for (const Vertex* v = state().model->vertices; v; v = v->next)
        EXPECT_EQ(attrib::nodeOf(v)->selected, 0);
    for (const Edge* e = state().model->edges; e; e = e->next)
        EXPECT_EQ(attrib::memberOf(e)->selected, 0);
    EXPECT_EQ(at("edtdelsel").get("ACTIVE"), "NO");
}

TEST_F(EditTest, KeysMoveAndZoomTheViewAndEscapeSelects) {
    const auto start = view();
    const double w = start[1] - start[0], h = start[3] - start[2];
    struct Case {
        int key;
        double dx, dy; // window move in window sizes
    } cases[] = {{ui::K_LEFT, 0.1, 0}, {ui::K_RIGHT, -0.1, 0}, {ui::K_UP, 0, -0.1},
                 {ui::K_DOWN, 0, 0.1}, {ui::K_PGUP, 0, 1},     {ui::K_PGDN, 0, -1}};
    for (const Case& c : cases) {
        const auto a = view();
        keyOnCanvas(c.key);
        EXPECT_NEAR(view()[0] - a[0], c.dx * w, 1e-9) << c.key;
        EXPECT_NEAR(view()[2] - a[2], c.dy * h, 1e-9) << c.key;
    }
    keyOnCanvas('+');
    EXPECT_NEAR(w / (view()[1] - view()[0]), 1.2, 1e-9);
    fire("InsLine");
    EXPECT_EQ(tk->key(at("main"), ui::K_ESC), ui::kIgnore);
    EXPECT_EQ(state().mode, shell::EditMode::Select);
    EXPECT_EQ(tk->key(at("main"), 'v'), ui::kDefault);
    // Esc also ends a zoom rectangle: its button is released and the right
    // button asks for an inquiry again instead of selecting.
    portal();
    fire("VisZoom");
    EXPECT_EQ(tk->key(at("main"), ui::K_ESC), ui::kIgnore);
    EXPECT_EQ(value("zoom"), "OFF");
    click(2, 3, 3);
    EXPECT_EQ(shell::selectionSummary(), "nothing selected");
}

TEST_F(EditTest, LimitsFormAndScaleDial) {
    backend->queueParam({"-2", "8", "0", "5"});
    fire("VisLimits");
    const auto v = view();
    EXPECT_LE(v[0], -2 + 1e-9);
    EXPECT_GE(v[1], 8 - 1e-9);
    EXPECT_LE(v[2], 1e-9);
    EXPECT_GE(v[3], 5 - 1e-9);
    // Inverted limits, and limits beyond 1e9 m or too large to read, are
    // refused with a message; the window stays.
    struct Refused {
        std::vector<std::string> limits;
        const char* message;
    } refused[] = {
        {{"8", "-2", "0", "5"}, "\n   Maximum limits must be greater than minimum limits.   \n"},
        {{"-1e39", "1e39", "0", "5"}, "\n   Limits out of range: the window stays.   \n"},
        {{"0", "8", "-2e9", "5"}, "\n   Limits out of range: the window stays.   \n"},
    };
    for (const Refused& r : refused) {
        backend->queueParam(r.limits);
        fire("VisLimits");
        EXPECT_EQ(view(), v) << r.limits[0];
        EXPECT_EQ(backend->transcript().back(),
                  std::string("message [ Kestrel Message ]: ") + r.message);
    }
    EXPECT_TRUE(backend->errors().empty());
    // Half a radian forward shrinks the window by 1.1; back restores it.
    tk->turnDial(at("scaledial"), 0.5);
    const auto a = view();
    EXPECT_NEAR((v[1] - v[0]) / (a[1] - a[0]), 1.1, 1e-9);
    EXPECT_NEAR(0.5 * (a[0] + a[1]), 0.5 * (v[0] + v[1]), 1e-9);
    tk->turnDial(at("scaledial"), -0.5);
    EXPECT_NEAR(view()[1] - view()[0], v[1] - v[0], 1e-9);
}

TEST_F(EditTest, FitShowsTheDimensionLinesWhileTheyAreShown) {
    shell::insertMember(0, 0, 4, 0, 0.01);
    shell::insertDimensionLine(0, 0, 4, 0, 2, -6);
    fire("VisFit");
    EXPECT_LE(view()[2], -6);
    toggle("vbltdimln");
    fire("VisFit");
    EXPECT_GT(view()[2], -6) << "hidden dimension lines do not count";
}

} // namespace
} // namespace shelltest
