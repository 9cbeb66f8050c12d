// The model display into the recording driver: what each piece of the frame
// is drawn as, in which colour, and symbol sizes that follow the window.
#include "results/display.h"

#include "attrib/blocks.h"

#include "gfx/record.h"
#include "tests/results/drawing_fixture.h"
#include "tests/support/golden.h"
#include "tests/support/primitives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

using gfx::Primitive;
using Kind = gfx::Primitive::Kind;

class DisplayTest : public kestrel_test::DrawingFixture {
protected:
    void SetUp() override { setUpDrawing(-1, 9); }
};

// The palette index of every role (numbered as in results::Role) in the
// white-background, black-background and black-foreground schemes
// (tests/data/results/role-colors.txt); no role draws in the background or
// the rubber band's slot.
TEST_F(DisplayTest, RolesMapToTheSchemeSlots) {
    std::string table;
    for (int r = 0; r < static_cast<int>(results::Role::Count); ++r) {
        const auto role = static_cast<results::Role>(r);
        table += std::to_string(r) + ":";
        for (int scheme : {0, 2, 3})
            table += " " + std::to_string(results::roleColor(attrib::makeScheme(scheme), role));
        table += "\n";
        EXPECT_NE(results::roleSlot(role), 1);
        EXPECT_NE(results::roleSlot(role), 2);
    }
    kestrel_test::expectGolden("results", "role-colors", table);
}

// The drawings as snapshots (tests/data/results/display.txt): the empty model
// is the background alone; members, nodes and the selected beam in their
// role colours; the orientation arrows only when asked for, tip 0.01 L
// beyond the midpoint (L the window's diagonal); in the black-foreground
// scheme the selection shows as a dashed line and a larger node mark; a
// dimension line with its length.
TEST_F(DisplayTest, Snapshots) {
    draw();
    std::string snap = kestrel_test::scene("empty model", c);
    line(0, 0, 0, 4);
    line(0, 4, 6, 4);
    attrib::memberOf(member(3, 4))->selected = 1;
    attrib::nodeOf(node(0, 0))->selected = 1;
    draw();
    snap += kestrel_test::scene("column and selected beam", c);
    settings.display[attrib::kMemberOrientation] = 1;
    draw();
    snap += kestrel_test::scene("orientation arrows", c);
    settings.display[attrib::kMemberOrientation] = 0;
    colors = attrib::makeScheme(attrib::kBlackForeground);
    draw();
    snap += kestrel_test::scene("black foreground", c);
    colors = attrib::makeScheme(attrib::kWhiteBackground);
    attrib::root().dimLines.push_back(attrib::dimensionLineFrom({0, 0}, {4, 0}, {2, -1}));
    draw();
    snap += kestrel_test::scene("dimension line", c);
    settings.display[attrib::kDimLines] = 0;
    draw();
    kestrel_test::expectGolden("results", "display",
                               snap + kestrel_test::scene("dimension lines off", c));
    // The arrow tip of the beam, exactly.
    settings.display[attrib::kMemberOrientation] = 1;
    draw();
    int tips = 0;
    for (const Primitive& p : of(Kind::Polygon))
        tips += std::fabs(p.world[0].y - 4) < 1e-12 &&
                std::fabs(p.world[0].x - 3 - 0.01 * std::hypot(10, 10)) < 1e-12;
    EXPECT_EQ(tips, 1);
}

TEST_F(DisplayTest, GridPointsOnlyWhileOnAndNotTooDense) {
    settings.gridOn = 1;
    draw(); // window -1..9 at 500 px: 11 x 11 points of step 1
    EXPECT_EQ(of(Kind::Mark, results::Role::Grid).size(), 121u);
    settings.gridStepX = 0.01; // under 4 pixels apart
    draw();
    EXPECT_EQ(of(Kind::Mark, results::Role::Grid).size(), 0u);
    settings.gridStepX = 1;
    settings.gridOn = 0;
    draw();
    EXPECT_EQ(of(Kind::Mark).size(), 0u);
}

// Loads are drawn while editing with "Load While Editing" on and in result
// mode with "Load With Results" on, never with an influence line; supports
// always. Numbers only in result mode, each kind with its option.
TEST_F(DisplayTest, LoadsAndNumbersInResultMode) {
    line(0, 0, 4, 0);
    nodalForce(s->vertices, 0, -10, 0);
    std::memcpy(attrib::nodeOf(s->vertices)->support, "110", 3);
    loadOn(s->edges, attrib::kUlf, {0, -8});
    int n = 0;
    for (Vertex* v = s->vertices; v; v = v->next) attrib::nodeOf(v)->number = ++n;
    attrib::memberOf(s->edges)->number = 7;
    settings.display[attrib::kLoadValues] = 0;
    auto drawn = [&](results::Role r) {
        int k = 0;
        for (const Primitive& p : c.primitives())
            k += p.kind != Kind::Clear && p.color == results::roleColor(colors, r);
        return k > 0;
    };
    struct Case {
        const char* name;
        int editing, resultOn, influence, loadsWithResults, nodeNumbers, memberNumbers;
        bool loads;
        std::vector<std::string> texts; // sorted
    } cases[] = {
        {"editing: numbers never", 1, 0, 0, 0, 1, 1, true, {}},
        {"editing, loads off", 0, 0, 0, 0, 1, 1, false, {}},
        {"editing, loads only with results", 0, 0, 0, 1, 1, 1, false, {}},
        {"results, loads off", 1, 1, 0, 0, 1, 1, false, {"1", "2", "7"}},
        {"results with loads, member numbers", 0, 1, 0, 1, 0, 1, true, {"7"}},
        {"results with loads, node numbers", 1, 1, 0, 1, 1, 0, true, {"1", "2"}},
        {"influence line: no loads", 1, 1, 1, 1, 0, 0, false, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        settings.display[attrib::kLoadWhileEditing] = k.editing;
        settings.result.on = k.resultOn;
        settings.result.influence = k.influence;
        settings.display[attrib::kLoadWithResults] = k.loadsWithResults;
        settings.display[attrib::kNodeNumbers] = k.nodeNumbers;
        settings.display[attrib::kMemberNumbers] = k.memberNumbers;
        draw();
        EXPECT_EQ(!of(Kind::Polygon, results::Role::NodalForces).empty(), k.loads);
        EXPECT_EQ(drawn(results::Role::NodalForces), k.loads);
        EXPECT_EQ(drawn(results::Role::MemberLoads), k.loads);
        EXPECT_TRUE(drawn(results::Role::Supports));
        std::vector<std::string> texts;
        for (const Primitive& p : of(Kind::Text, results::Role::Numbers)) texts.push_back(p.text);
        std::sort(texts.begin(), texts.end());
        EXPECT_EQ(texts, k.texts);
    }
}

TEST(SymbolSizes, FractionsOfTheWindowDiagonal) {
    const results::SymbolSizes a = results::symbolSizes(0, 30, 0, 40);
    EXPECT_EQ(a.diagonal, 50);
    const double got[] = {a.orientationArrow, a.hingedNode, a.endHinge,
                          a.clampSquare,      a.forceArrow, a.support};
    const double want[] = {1.0, 0.6, 0.48, 0.9375, 2.25, 1.25};
    for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(got[i], want[i]) << i;
    // Zooming in by 2 halves every symbol in world units: the same on screen.
    EXPECT_DOUBLE_EQ(results::symbolSizes(0, 15, 0, 20).forceArrow, a.forceArrow / 2);
}

} // namespace
