// The attribute hooks on the real frame model: what split, joined, new and
// released members and nodes carry, block use counts, dimension lines and
// their undo steps.
#include "attrib/attrib.h"
#include "attrib/cases.h"
#include "attrib/settings.h"
#include "attrib/supports.h"
#include "tests/support/frame.h"

#include <gtest/gtest.h>

namespace {

using namespace attrib;

class AttribTest : public kestrel_test::FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        for (auto& b : block) b.useCount = 0;
    }
    // Leaves the empty model's first vertex where it is, unlike the shared line().
    void line(double x1, double y1, double x2, double y2) {
        const MPoint p[2] = {{x1, y1}, {x2, y2}};
        mdl_begin_group();
        ASSERT_EQ(mdl_insert_points(s, CURVE_LINE, p, 2), -2);
        mdl_end_group();
    }
    // Gives member e a record referring to the blocks named by `mask` (bit k:
    // block k), with the hinges and constraints given.
    // Block k of a member: its own for material and section, the active
    // case's for the loads.
    static PropertyBlock*& slot(MemberAttrib& a, int k) {
        return k < kMemberOwnBlocks ? a.blocks[k] : loadsFor(a, activeCase()).blocks[k - kEndMoments];
    }
    static PropertyBlock* slotOf(const MemberAttrib& a, int k) {
        return k < kMemberOwnBlocks ? a.blocks[k] : loadBlock(a, k, activeCase());
    }
    void give(Edge* e, int mask, int h1, int h2, int rigid, int noAxial) {
        MemberAttrib a;
        for (int k = 0; k < kMemberBlockCount; ++k)
            if (mask & (1 << k)) slot(a, k) = &block[k];
        a.hingeStart = h1;
        a.hingeEnd = h2;
        a.rigid = rigid;
        a.noAxial = noAxial;
        mdl_set_edge_attrib(e, copyMemberAttrib(a));
    }
    PropertyBlock block[kMemberBlockCount];
};

TEST_F(AttribTest, NewNodesAndMembersGetDefaultsSelectedOnlyForTheirTarget) {
    struct Case {
        int target, memberSelected, nodeSelected;
    } cases[] = {{kTargetNone, 0, 0}, {kTargetMembers, 1, 0}, {kTargetNodes, 0, 1}};
    for (const Case& c : cases) {
        SetUp();
        state().target = c.target;
        line(0, 0, 4, 0);
        const MemberAttrib* m = memberOf(member(2, 0));
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->selected, c.memberSelected) << c.target;
        EXPECT_EQ(m->hingeStart + m->hingeEnd + m->rigid + m->noAxial, 0);
        for (PropertyBlock* b : m->blocks) EXPECT_EQ(b, nullptr);
        const NodeAttrib* n = nodeOf(node(4, 0));
        EXPECT_EQ(n->selected, c.nodeSelected) << c.target;
        EXPECT_EQ(std::string(n->support, 3), "000");
        EXPECT_TRUE(n->loads.empty());
    }
}

TEST_F(AttribTest, SplitGivesBothPiecesTheBlocksAndKeepsOnlyTheOuterHinges) {
    line(0, 0, 4, 0);
    give(member(2, 0), 0b111111, 1, 1, 1, 1);
    for (const PropertyBlock& b : block) EXPECT_EQ(b.useCount, 1);
    // A vertical member crossing it at x = 1 splits it.
    line(1, -1, 1, 1);
    const MemberAttrib* left = memberOf(member(0.5, 0));
    const MemberAttrib* right = memberOf(member(3, 0));
    ASSERT_NE(left, right);
    EXPECT_EQ(
        (std::vector<int>{left->hingeStart, left->hingeEnd, right->hingeStart, right->hingeEnd}),
        (std::vector<int>{1, 0, 0, 1}));
    EXPECT_FALSE(isHingedNode(node(1, 0)));
    for (const MemberAttrib* m : {left, right}) {
        EXPECT_EQ(m->rigid, 1);
        EXPECT_EQ(m->noAxial, 1);
        for (int k = 0; k < kMemberBlockCount; ++k) EXPECT_EQ(slotOf(*m, k), &block[k]);
    }
    // Two live pieces, plus the old record kept by the undo step.
    for (const PropertyBlock& b : block) EXPECT_EQ(b.useCount, 3);
    // Undoing the split and the set brings the counts back; clearing the
    // history releases what only it held.
    ASSERT_EQ(mdl_undo(), -2);
    ASSERT_EQ(mdl_undo(), -2);
    mdl_clear_history();
    for (const PropertyBlock& b : block) EXPECT_EQ(b.useCount, 0);
}

TEST_F(AttribTest, JoinKeepsWhatBothMembersAgreeOn) {
    struct Case {
        int maskA, maskB; // blocks of the first and the second member
        int rigidA, rigidB;
        int joinedMask, joinedRigid;
    } cases[] = {
        {0b111111, 0b111111, 1, 1, 0b111111, 1},
        {0b000011, 0b000001, 1, 0, 0b000001, 0},
        {0b100000, 0b010000, 0, 1, 0, 0},
        {0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SetUp();
        line(0, 0, 2, 0);
        line(2, 0, 5, 0);
        give(member(1, 0), c.maskA, 1, 0, c.rigidA, 0);
        give(member(3, 0), c.maskB, 0, 1, c.rigidB, 0);
        mdl_clear_history();
        ASSERT_EQ(mdl_delete_vertex(node(2, 0)), -2);
        const MemberAttrib* j = memberOf(member(3, 0));
        EXPECT_EQ(j->hingeStart, 1);
        EXPECT_EQ(j->hingeEnd, 1);
        EXPECT_EQ(j->rigid, c.joinedRigid);
        for (int k = 0; k < kMemberBlockCount; ++k) {
            const bool kept = c.joinedMask & (1 << k);
            EXPECT_EQ(slotOf(*j, k), kept ? &block[k] : nullptr) << k;
        }
        mdl_clear_history();
        // Only the joined member refers to anything now.
        for (int k = 0; k < kMemberBlockCount; ++k)
            EXPECT_EQ(block[k].useCount, (c.joinedMask >> k) & 1) << k;
        mdl_reset();
    }
}

TEST(DimensionLine, FourPointsFromTheThreeEntered) {
    struct Case {
        DimPoint p1, p2, r;
        DimPoint e1, e2;
    } cases[] = {
        {{0, 0}, {4, 0}, {1, 2}, {0, 2}, {4, 2}},    // above a horizontal pair
        {{0, 0}, {4, 0}, {9, -1}, {0, -1}, {4, -1}}, // below, reference beyond the pair
        {{1, 1}, {1, 5}, {3, 0}, {3, 1}, {3, 5}},    // right of a vertical pair
        {{2, 2}, {2, 2}, {3, 4}, {3, 4}, {3, 4}},    // coincident pair: offset to r
    };
    for (const Case& c : cases) {
        const DimensionLine d = dimensionLineFrom(c.p1, c.p2, c.r);
        const DimPoint want[4] = {c.p1, c.p2, c.e1, c.e2};
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(d.pts[i].x, want[i].x, 1e-12) << i;
            EXPECT_NEAR(d.pts[i].y, want[i].y, 1e-12) << i;
        }
    }
}

TEST_F(AttribTest, DimensionLineStepsUndoAndRedoWithTheModelStepOfTheSameCommand) {
    mdl_begin_group();
    recordDimLineStep();
    root().dimLines.push_back(dimensionLineFrom({0, 0}, {1, 0}, {0, 1}));
    const MPoint p[2] = {{0, 0}, {3, 0}};
    ASSERT_EQ(mdl_insert_points(s, CURVE_LINE, p, 2), -2);
    mdl_end_group();
    ASSERT_EQ(root().dimLines.size(), 1u);
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_TRUE(root().dimLines.empty());
    EXPECT_TRUE(mdl_is_empty(s));
    ASSERT_EQ(mdl_redo(), -2);
    EXPECT_EQ(root().dimLines.size(), 1u);
    EXPECT_FALSE(mdl_is_empty(s));
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_TRUE(root().dimLines.empty());
    // Without recording the step is dropped and its datum freed at once.
    mdl_undo_recording_off();
    recordDimLineStep();
    EXPECT_FALSE(mdl_can_undo());
}

TEST(Settings, SchemesAndInitialFlags) {
    EXPECT_EQ(makeScheme(2).slot(2), 0);  // black background
    EXPECT_EQ(makeScheme(1).slot(2), 14); // gray
    EXPECT_EQ(makeScheme(9).scheme, 0);   // out of range: white background
    EXPECT_EQ(makeScheme(0).slot(18), 0);
    const AppSettings s = initialSettings();
    EXPECT_EQ(s.display[kDimLines], 1);
    EXPECT_EQ(s.display[kMemberOrientation], 0);
    EXPECT_EQ(s.snapToMember, 1);
    EXPECT_EQ(s.gridStepX, 1.0);
}

} // namespace
