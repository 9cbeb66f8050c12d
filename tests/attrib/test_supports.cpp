// Supports, hinges, member constraints and load blocks on the real frame
// model: what Apply replaces (one undo step), what Select finds, what splits
// do to hinges, and the parallelism rule of linear loads.
#include "attrib/cases.h"
#include "attrib/loads.h"
#include "attrib/supports.h"
#include "tests/support/frame.h"

#include <gtest/gtest.h>

namespace {

using namespace attrib;

using SupportsTest = kestrel_test::FrameFixture;

TEST_F(SupportsTest, ApplyingSpringsToAPrescribedNodeDropsThePrescribedFlag) {
    line(0, 0, 4, 0);
    SupportState presc;
    presc.codes[kDx] = presc.codes[kDy] = kFixed;
    presc.prescribed = 1;
    presc.values[kDy] = -0.01;
    nodeOf(node(0, 0))->selected = 1;
    ASSERT_EQ(applySupport(s, presc), 1);
    EXPECT_TRUE(hasPrescribed(*nodeOf(node(0, 0)), activeCase()));

    // The panel still holds its flag, but a spring excludes prescribed values.
    SupportState spring = presc;
    spring.codes[kDy] = kSpring;
    EXPECT_TRUE(setSpringStiffness(spring, kDy, 2500));
    EXPECT_FALSE(setSpringStiffness(spring, kDx, -1));
    nodeOf(node(0, 0))->selected = 1;
    ASSERT_EQ(applySupport(s, spring), 1);
    const NodeAttrib* a = nodeOf(node(0, 0));
    EXPECT_EQ(std::string(a->support, 3), "120");
    EXPECT_FALSE(hasPrescribed(*a, activeCase()));
    EXPECT_EQ(a->spring[kDy], 2500);
    EXPECT_EQ(a->selected, 0);
    EXPECT_TRUE(sameSupport(*a, spring));
    EXPECT_FALSE(angleEditable(spring));
    // The same state again replaces nothing; undo brings back the prescribed node.
    nodeOf(node(0, 0))->selected = 1;
    EXPECT_EQ(applySupport(s, spring), 0);
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_TRUE(hasPrescribed(*nodeOf(node(0, 0)), activeCase()));
    EXPECT_EQ(std::string(nodeOf(node(0, 0))->support, 3), "110");
}

TEST_F(SupportsTest, ApplyIsOneUndoStepAndSelectComparesOnlyTheUsedValues) {
    line(0, 0, 4, 0);
    line(4, 0, 8, 0);
    line(8, 0, 12, 0);
    SupportState pin;
    pin.codes[kDx] = pin.codes[kDy] = kFixed;
    EXPECT_TRUE(angleEditable(pin));
    EXPECT_TRUE(setSupportAngle(pin, 360));
    EXPECT_FALSE(setSupportAngle(pin, 360.5));
    EXPECT_FALSE(setSupportAngle(pin, -360.5));
    EXPECT_EQ(pin.angle, 360);
    pin.angle = 30;
    pin.spring[kDx] = 99; // unused by fixed directions: Select ignores it
    for (double x : {0.0, 4.0, 12.0}) nodeOf(node(x, 0))->selected = 1;
    EXPECT_EQ(applySupport(s, pin), 3);
    // One undo takes back all three, one redo gives them again.
    ASSERT_EQ(mdl_undo(), -2);
    for (double x : {0.0, 4.0, 12.0}) EXPECT_FALSE(hasSupport(*nodeOf(node(x, 0)))) << x;
    ASSERT_EQ(mdl_redo(), -2);
    for (double x : {0.0, 4.0, 12.0}) EXPECT_TRUE(hasSupport(*nodeOf(node(x, 0)))) << x;
    EXPECT_EQ(nodeOf(node(12, 0))->inclination, 30);

    struct Case {
        const char* what;
        SupportState probe;
        int found;
    };
    SupportState other = pin;
    other.spring[kDx] = 0;
    SupportState angled = pin;
    angled.angle = 0;
    SupportState none;
    Case cases[] = {{"stiffness of a fixed direction ignored", other, 3},
                    {"angle compared", angled, 0},
                    {"free nodes", none, 1}};
    for (const Case& c : cases) EXPECT_EQ(selectBySupport(s, c.probe), c.found) << c.what;
    EXPECT_EQ(nodeOf(node(8, 0))->selected, 1);

    // The reset state removes a support.
    nodeOf(node(0, 0))->selected = 1;
    EXPECT_EQ(applySupport(s, SupportState{}), 1);
    EXPECT_FALSE(hasSupport(*nodeOf(node(0, 0))));
}

TEST_F(SupportsTest, NodeHingeReleasesOrClearsEveryMemberEndAtTheNode) {
    // Three members meet at (4, 0); two are already released there.
    line(0, 0, 4, 0);
    line(4, 0, 8, 0);
    line(4, 0, 4, 4);
    Vertex* mid = node(4, 0);
    for (double x : {2.0, 6.0}) memberOf(member(x, 0))->selected = 1;
    applyMemberHinges(s, 1, 1); // releases both ends of the two horizontals
    EXPECT_FALSE(isHingedNode(mid));
    EXPECT_EQ(selectNodesByHinge(s, true), 2); // the two far ends only
    clearSelection(s);

    nodeOf(mid)->selected = 1;
    EXPECT_EQ(applyNodeHinge(s, true), 3); // also the two already released
    EXPECT_TRUE(isHingedNode(mid));
    EXPECT_TRUE(isHingedNode(mid, 2));
    EXPECT_EQ(membersAt(mid).size(), 3u);
    EXPECT_EQ(selectNodesByHinge(s, true), 3); // the middle and the two far ends
    clearSelection(s);

    nodeOf(mid)->selected = 1;
    EXPECT_EQ(applyNodeHinge(s, false), 3);
    EXPECT_FALSE(isHingedNode(mid));
    for (double x : {2.0, 6.0}) {
        const Edge* e = member(x, 0);
        EXPECT_EQ(hingeAt(e, mid), 0) << x;
        // The far ends keep their releases.
        const Vertex* far = e->he1->vtx == mid ? e->he2->vtx : e->he1->vtx;
        EXPECT_EQ(hingeAt(e, far), 1) << x;
    }
    // Select with "off" finds also nodes without members (none here), and
    // every node whose members are not all released.
    EXPECT_EQ(selectNodesByHinge(s, false), 2);
}

TEST_F(SupportsTest, MemberModeHingesAndConstraintsReplaceOnlyWhatDiffers) {
    line(0, 0, 4, 0);
    line(4, 0, 4, 4);
    struct Case {
        int start, end, replaced, selected;
    } cases[] = {{1, 0, 2, 2}, {1, 0, 0, 2}, {0, 1, 2, 2}, {0, 0, 2, 2}};
    for (const Case& c : cases) {
        for (Edge* e = s->edges; e; e = e->next) memberOf(e)->selected = 1;
        EXPECT_EQ(applyMemberHinges(s, c.start, c.end), c.replaced) << c.start << c.end;
        EXPECT_EQ(selectMembersByHinges(s, c.start, c.end), c.selected);
    }
    // "Left" is always the start of the member, wherever it is drawn.
    Edge* v = member(4, 2);
    memberOf(v)->selected = 1;
    applyMemberHinges(s, 1, 0);
    EXPECT_EQ(hingeAt(v, v->he1->vtx), 1);
    EXPECT_EQ(hingeAt(v, v->he2->vtx), 0);

    memberOf(v)->selected = 1;
    EXPECT_EQ(applyConstraint(s, 1, 0), 1);
    memberOf(v)->selected = 1;
    EXPECT_EQ(applyConstraint(s, 0, 1), 1); // rigid replaces no-axial
    EXPECT_EQ(memberOf(v)->noAxial, 0);
    EXPECT_EQ(memberOf(v)->rigid, 1);
    EXPECT_EQ(selectByConstraint(s, 0, 1), 1);
    EXPECT_EQ(selectByConstraint(s, 1, 0), 0);
    EXPECT_EQ(applyConstraint(s, 0, 0), 0); // empty selection: nothing
}

TEST(LinearLoadTest, GlobalLoadsKeepTheEndVectorParallel) {
    struct Case {
        const char* what;
        int direction, prefer;
        double in[4], out[4];
    } cases[] = {
        {"vertical start: x end cleared", kGlobal, 0, {0, -10, 5, -20}, {0, -10, 0, -20}},
        {"x edit sets y end", kGlobal, 0, {3, 4, 6, 0}, {3, 4, 6, 8}},
        {"y edit sets x end", kGlobal, 1, {3, 4, 0, 8}, {3, 4, 6, 8}},
        {"horizontal start: y end cleared", kGlobal, 1, {5, 0, 1, 7}, {5, 0, 1, 0}},
        {"zero start changes nothing", kGlobal, 0, {0, 0, 5, 2}, {0, 0, 5, 2}},
        {"equal components: x follows y", kGlobal, -1, {1, 1, 5, 2}, {1, 1, 2, 2}},
        {"x larger: y follows x", kGlobal, -1, {2, 1, 4, 9}, {2, 1, 4, 2}},
        {"tiny end component zeroed", kGlobal, 0, {1, 0.00001, 5, 0}, {1, 0.00001, 5, 0}},
        {"local kept as typed", kLocal, 0, {3, 4, 6, 1}, {3, 4, 6, 1}},
    };
    for (const Case& c : cases) {
        ValueBlock b;
        b.direction = c.direction;
        for (int i = 0; i < 4; ++i) b.values[i] = c.in[i];
        keepLinearLoadParallel(b, c.prefer);
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(b.values[i], c.out[i], 1e-12) << c.what << i;
    }
}

} // namespace
