// Property block lists on the real frame model: use counts through apply,
// undo, redo, delete, remove and condense; ids after renumbering; labels;
// material defaults and presets.
#include "attrib/blocks.h"
#include "tests/support/frame.h"
#include "units/units.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace attrib;

class BlocksTest : public kestrel_test::FrameFixture {
protected:
    void SetUp() override {
        FrameFixture::SetUp();
        // Three separate members m0, m1, m2 at heights 0, 1 and 2.
        for (int k = 0; k < 3; ++k) line(0, k, 4, k);
        mdl_clear_history();
    }
    Edge* member(int k) { return FrameFixture::member(2, k); }
    // Selects exactly the members listed by the digits of `which` ("02").
    void selectMembers(const std::string& which) {
        for (Edge* e = s->edges; e; e = e->next) memberOf(e)->selected = 0;
        for (char c : which) memberOf(member(c - '0'))->selected = 1;
    }
    void applyTo(const std::string& which, PropertyKind kind, const char* label) {
        selectMembers(which);
        applyToSelection(s, kind, label ? findLabel(root(), kind, label) : nullptr);
    }
    void deleteMember(int k) {
        mdl_begin_group();
        ASSERT_EQ(mdl_delete_edge(member(k)), -2);
        mdl_end_group();
    }
    // "A#1=2/1 B#2=0/0": label, id, use count / live users, in list order.
    std::string list(PropertyKind kind) {
        std::string t;
        for (const PropertyBlock* b = root().lists[kind]; b; b = b->next)
            t += std::string(t.empty() ? "" : " ") + b->label + "#" + std::to_string(b->id) + "=" +
                 std::to_string(b->useCount) + "/" + std::to_string(liveUsers(s, kind, b));
        return t + " counter " + std::to_string(root().counters[kind]);
    }
    void make(PropertyKind kind, const std::string& labels) {
        for (char c : labels) ASSERT_EQ(newBlock(root(), kind, std::string(1, c)), kLabelDone);
    }
};

TEST_F(BlocksTest, UseCountsFollowEveryRecordLiveOrHeldByTheHistory) {
    make(kMaf, "ABC");
    struct Step {
        const char* what;
        std::function<void()> run;
        const char* list;
    };
    const Step steps[] = {
        {"three new blocks", [] {}, "A#1=0/0 B#2=0/0 C#3=0/0 counter 3"},
        {"A to m0 m1", [&] { applyTo("01", kMaf, "A"); }, "A#1=2/2 B#2=0/0 C#3=0/0 counter 3"},
        // Members that already refer to A are left alone: no record, no step.
        {"A again", [&] { applyTo("01", kMaf, "A"); }, "A#1=2/2 B#2=0/0 C#3=0/0 counter 3"},
        // The replaced records live on in the undo step, the new ones in redo.
        {"B to m0", [&] { applyTo("0", kMaf, "B"); }, "A#1=2/1 B#2=1/1 C#3=0/0 counter 3"},
        {"undo", [] { mdl_undo(); }, "A#1=2/2 B#2=1/0 C#3=0/0 counter 3"},
        {"redo", [] { mdl_redo(); }, "A#1=2/1 B#2=1/1 C#3=0/0 counter 3"},
        {"undo", [] { mdl_undo(); }, "A#1=2/2 B#2=1/0 C#3=0/0 counter 3"},
        // This undo takes back the first apply (the second one made no step);
        // the redo list keeps only the step undone last, so B's record goes.
        {"undo", [] { mdl_undo(); }, "A#1=2/0 B#2=0/0 C#3=0/0 counter 3"},
        {"redo", [] { mdl_redo(); }, "A#1=2/2 B#2=0/0 C#3=0/0 counter 3"},
        {"delete m1", [&] { deleteMember(1); }, "A#1=2/1 B#2=0/0 C#3=0/0 counter 3"},
        {"undo delete", [] { mdl_undo(); }, "A#1=2/2 B#2=0/0 C#3=0/0 counter 3"},
        {"redo delete", [] { mdl_redo(); }, "A#1=2/1 B#2=0/0 C#3=0/0 counter 3"},
        {"NONE to m0", [&] { applyTo("0", kMaf, nullptr); }, "A#1=2/0 B#2=0/0 C#3=0/0 counter 3"},
        // Emptying the history releases every record it held.
        {"clear history", [] { mdl_clear_history(); }, "A#1=0/0 B#2=0/0 C#3=0/0 counter 3"},
    };
    for (const Step& st : steps) {
        st.run();
        EXPECT_EQ(list(kMaf), st.list) << st.what;
    }
}

TEST_F(BlocksTest, RemoveRefusesLiveUsersAndAsksBeforeEmptyingTheHistory) {
    make(kMaf, "ABCD");
    applyTo("0", kMaf, "A");
    applyTo("1", kMaf, "C");
    deleteMember(1); // C now lives only in the undo list
    auto remove = [&](const char* label, bool confirmed) {
        return removeBlock(root(), s, kMaf, findLabel(root(), kMaf, label), confirmed);
    };
    EXPECT_EQ(remove("A", true), kInUse);
    EXPECT_EQ(remove("C", false), kNeedsClear); // the question, answered Cancel
    EXPECT_EQ(list(kMaf), "A#1=1/1 B#2=0/0 C#3=1/0 D#4=0/0 counter 4");
    EXPECT_EQ(mdl_can_undo(), 1);
    EXPECT_EQ(remove("B", false), kRemoved);
    EXPECT_EQ(list(kMaf), "A#1=1/1 C#2=1/0 D#3=0/0 counter 3");
    EXPECT_EQ(remove("C", true), kRemoved); // Continue: the history goes first
    EXPECT_EQ(list(kMaf), "A#1=1/1 D#2=0/0 counter 2");
    EXPECT_EQ(mdl_can_undo(), 0);
    EXPECT_EQ(member(1), nullptr); // the deleted member cannot come back
    EXPECT_EQ(removeBlock(root(), s, kMaf, nullptr, true), kNothingToDo);
    // A new block after removals takes the next id of the renumbered list.
    make(kMaf, "E");
    EXPECT_EQ(list(kMaf), "A#1=1/1 D#2=0/0 E#3=0/0 counter 3");
}

TEST_F(BlocksTest, CondenseKeepsUsedBlocksInOrderAndAsksOnceForTheHistory) {
    struct Case {
        const char* what;
        bool deleteUser, confirmed;
        RemoveResult result;
        int removed;
        const char* after;
        int canUndo;
    } cases[] = {
        {"only the second used", false, false, kRemoved, 2, "B#1=1/1 counter 1", 1},
        {"second held by undo, Cancel", true, false, kNeedsClear, 0,
         "A#1=0/0 B#2=1/0 C#3=0/0 counter 3", 1},
        {"second held by undo, Continue", true, true, kRemoved, 3, " counter 0", 0},
    };
    for (const Case& c : cases) {
        SetUp();
        make(kUlf, "ABC");
        selectMembers("2");
        applyToSelection(s, kUlf, findLabel(root(), kUlf, "B"));
        if (c.deleteUser) deleteMember(2);
        int removed = -1;
        EXPECT_EQ(condenseBlocks(root(), s, kUlf, c.confirmed, &removed), c.result) << c.what;
        EXPECT_EQ(removed, c.removed) << c.what;
        EXPECT_EQ(list(kUlf), c.after) << c.what;
        EXPECT_EQ(mdl_can_undo(), c.canUndo) << c.what;
        if (!c.deleteUser) {
            EXPECT_EQ(blockOf(member(2), kUlf), findBlock(root(), kUlf, 1));
        }
    }
    EXPECT_EQ(condenseBlocks(root(), s, kMbm, true), kNothingToDo);
}

TEST_F(BlocksTest, SelectFindsUsersOrEntitiesWithoutTheKind) {
    make(kSpf, "AB");
    make(kNff, "F");
    applyTo("02", kSpf, "A");
    struct Case {
        PropertyKind kind;
        const char* label;
        int count;
        const char* members; // selected flags of m0 m1 m2
    } cases[] = {
        {kSpf, "A", 2, "101"},
        {kSpf, nullptr, 1, "010"},
        {kSpf, "B", 0, "000"},
        {kNff, "F", 0, "000"}, // nodes only: no member is selected
    };
    for (const Case& c : cases) {
        const PropertyBlock* b = c.label ? findLabel(root(), c.kind, c.label) : nullptr;
        EXPECT_EQ(selectUsers(s, c.kind, b), c.count) << c.label;
        std::string flags;
        for (int k = 0; k < 3; ++k) flags += memberOf(member(k))->selected ? '1' : '0';
        EXPECT_EQ(flags, c.members) << (c.label ? c.label : "NONE");
    }
    // Nodal forces go to nodes: all six nodes have none.
    EXPECT_EQ(selectUsers(s, kNff, nullptr), 6);
    int changed = -1;
    EXPECT_EQ(applyToSelection(s, kNff, findLabel(root(), kNff, "F"), &changed), 6);
    EXPECT_EQ(changed, 6);
    EXPECT_EQ(list(kNff), "F#1=6/6 counter 1");
    for (const Vertex* v = s->vertices; v; v = v->next) EXPECT_EQ(nodeOf(v)->selected, 0);
    // Apply All reaches every member, however the selection stood.
    selectMembers("");
    EXPECT_EQ(applyToAllMembers(s, kSpf, findLabel(root(), kSpf, "B"), &changed), 3);
    EXPECT_EQ(changed, 3);
    EXPECT_EQ(list(kSpf), "A#1=2/0 B#2=3/3 counter 2");
    EXPECT_EQ(applyToSelection(s, kSpf, nullptr), 0); // nothing selected any more
}

TEST_F(BlocksTest, LabelsAreSingleWordsUniqueInTheirListAndCutTo31Characters) {
    const std::string longLabel = "abcdefghijklmnopqrstuvwxyz0123456789"; // 36
    struct Case {
        std::string label;
        LabelResult result;
        const char* stored; // label of the last block afterwards
    } cases[] = {
        {"Steel", kLabelDone, "Steel"},
        {"Steel", kLabelTaken, "Steel"},
        {"steel", kLabelDone, "steel"}, // comparison is case-sensitive
        {"", kLabelEmpty, "steel"},
        {"S 235", kLabelBlank, "steel"},
        {"S\t235", kLabelBlank, "steel"},
        {longLabel, kLabelDone, "abcdefghijklmnopqrstuvwxyz01234"},
        // Equal to the stored form of the long label: taken.
        {longLabel.substr(0, 31) + "X", kLabelTaken, "abcdefghijklmnopqrstuvwxyz01234"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(newBlock(root(), kMaf, c.label), c.result) << c.label;
        PropertyBlock* last = findBlock(root(), kMaf, root().counters[kMaf]);
        EXPECT_STREQ(last->label, c.stored) << c.label;
    }
    EXPECT_EQ(blockCount(root(), kMaf), 3);
    PropertyBlock* steel = findLabel(root(), kMaf, "Steel");
    EXPECT_EQ(renameBlock(root(), kMaf, steel, "steel"), kLabelTaken);
    EXPECT_EQ(renameBlock(root(), kMaf, steel, "S235"), kLabelDone);
    EXPECT_STREQ(steel->label, "S235");
    EXPECT_EQ(findLabel(root(), kMaf, "Steel"), nullptr);
    // Emptied for a model read from a file: ids start again at 1.
    make(kNff, "F");
    clearBlocks(root());
    EXPECT_EQ(list(kMaf) + list(kNff), " counter 0 counter 0");
    make(kMaf, "G");
    EXPECT_EQ(list(kMaf), "G#1=0/0 counter 1");
}

TEST(MaterialValues, DefaultsAndPresetsInInternalUnits) {
    auto material = [](PropertyKind kind) {
        PropertyBlock* b = makeBlock(kind);
        const ValueBlock v = *valuesOf(b);
        delete b;
        return v;
    };
    EXPECT_EQ(material(kMaf).values, (std::array<double, 4>{100000000, 10, 0.00001, 0}));
    EXPECT_EQ(material(kLlf).values, (std::array<double, 4>{0, 0, 0, 0}));
    EXPECT_EQ(material(kUlf).direction, 0);
    struct Case {
        MaterialPreset preset;
        bool us;
        std::array<double, 3> values;
    } cases[] = {
        {kSteel, false, {205000000, 77, 0.000012}},
        {kConcrete, false, {25000000, 25, 0.00001}},
        // ksi = 6895 kN/m², pcf = 0.1571 kN/m³, per °F = 1.8 per °C.
        {kSteel, true, {30000 * 6895.0, 490 * 0.1571, 0.0000065 * 1.8}},
        {kConcrete, true, {3640 * 6895.0, 160 * 0.1571, 0.0000055 * 1.8}},
    };
    for (const Case& c : cases) {
        const auto v = presetValues(c.preset, c.us);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(v[i], c.values[i], 1e-9 * c.values[i]) << i;
    }
    EXPECT_STREQ(presetLabel(kSteel), "Steel");
    EXPECT_STREQ(presetLabel(kConcrete), "Concrete");
    for (int code = 0; code < 5; ++code) EXPECT_EQ(isCustomaryLength(code), code >= 3) << code;
    EXPECT_FALSE(isCustomaryLength(-1));
}

} // namespace
