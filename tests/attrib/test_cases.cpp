// Load cases: label checks, the list operations as undo steps, loads applied
// per case, and the removal of a case with its loads.
#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/section.h"
#include "tests/support/frame.h"

#include <gtest/gtest.h>

namespace {

using namespace attrib;

class CasesTest : public kestrel_test::FrameFixture {
protected:
    std::vector<std::string> labels() const {
        std::vector<std::string> out;
        for (const LoadCase& c : root().cases) out.push_back(c.label);
        return out;
    }
    // Applies block b of `kind` in the active case to the member at (x, y).
    void apply(double x, double y, PropertyKind kind, PropertyBlock* b) {
        memberOf(member(x, y))->selected = 1;
        ASSERT_EQ(applyToSelection(s, kind, b), 1);
    }
    PropertyBlock* load(PropertyKind kind, const char* label) {
        PropertyBlock* b = nullptr;
        EXPECT_EQ(newBlock(root(), kind, label, &b), kLabelDone);
        return b;
    }
};

TEST_F(CasesTest, LabelsAreCheckedAndARefusalChangesNothing) {
    const char* const kBadChar =
        "A load case label cannot hold quotes, \"%\" or control characters.";
    struct Case {
        const char* label;
        CaseResult result;
        const char* message;
    } cases[] = {
        {"Dead load", kCaseDone, ""},
        {"  Wind  ", kCaseDone, ""},
        {"", kCaseEmpty, "A load case needs a label."},
        {" \t ", kCaseEmpty, "A load case needs a label."},
        {"Single Case", kCaseTaken, "There is already a load case labelled \"Single Case\"."},
        {" Wind", kCaseTaken, "There is already a load case labelled \"Wind\"."},
        {"0123456789012345678901234567890", kCaseDone, ""},
        {"01234567890123456789012345678901", kCaseTooLong,
         "A load case label holds at most 31 characters."},
        {"it's", kCaseBadChar, kBadChar},
        {"50%", kCaseBadChar, kBadChar},
        {"a\x01", kCaseBadChar, kBadChar},
    };
    for (const Case& c : cases) {
        const auto before = labels();
        int made = 0;
        EXPECT_EQ(newCase(root(), c.label, &made), c.result) << c.label;
        EXPECT_EQ(caseMessage(c.result, c.label), c.message);
        if (c.result == kCaseDone) {
            EXPECT_EQ(root().activeCase, made);
            EXPECT_EQ(findCase(root(), made)->label, caseLabel(c.label));
        } else {
            EXPECT_EQ(labels(), before) << c.label;
        }
    }
    EXPECT_EQ(labels(), (std::vector<std::string>{"Single Case", "Dead load", "Wind",
                                                  "0123456789012345678901234567890"}));
    // Renaming to its own label is no change; to another's is refused.
    EXPECT_EQ(renameCase(root(), root().activeCase, "Wind"), kCaseTaken);
    EXPECT_EQ(renameCase(root(), 1, "Single Case"), kCaseDone);
    EXPECT_EQ(removeCase(root(), s, 99), kCaseNotFound);
    while (root().cases.size() < kMaxLoadCases)
        ASSERT_EQ(newCase(root(), "c" + std::to_string(root().cases.size())), kCaseDone);
    EXPECT_EQ(newCase(root(), "one more"), kCaseFull);
}

TEST_F(CasesTest, LoadsBelongToTheActiveCaseAndUndoLeavesTheOtherCases) {
    line(0, 0, 4, 0);
    PropertyBlock* dead = load(kUlf, "dead");
    PropertyBlock* live = load(kUlf, "live");
    apply(2, 0, kUlf, dead);
    int imposed = 0;
    ASSERT_EQ(newCase(root(), "Imposed", &imposed), kCaseDone);
    EXPECT_EQ(blockOf(member(2, 0), kUlf), nullptr); // the new case holds no loads
    apply(2, 0, kUlf, live);
    const MemberAttrib& m = *memberOf(member(2, 0));
    EXPECT_EQ(loadBlock(m, kUniform, 1), dead);
    EXPECT_EQ(loadBlock(m, kUniform, imposed), live);
    // Select by block works in the active case, the in-use check in all.
    EXPECT_EQ(selectUsers(s, kUlf, dead), 0);
    EXPECT_EQ(liveUsers(s, kUlf, dead), 1);
    EXPECT_EQ(removeBlock(root(), s, kUlf, dead, false), kInUse);
    // Undo of the Apply in "Imposed" leaves "Single Case" as it was.
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(loadBlock(*memberOf(member(2, 0)), kUniform, imposed), nullptr);
    EXPECT_EQ(loadBlock(*memberOf(member(2, 0)), kUniform, 1), dead);
    EXPECT_EQ(live->useCount, 1); // held by the redo step
    ASSERT_EQ(mdl_redo(), -2);
    EXPECT_EQ(loadBlock(*memberOf(member(2, 0)), kUniform, imposed), live);
    // Undo of the Apply and of the case's creation; redo brings the case back.
    ASSERT_EQ(mdl_undo(), -2);
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(labels(), (std::vector<std::string>{"Single Case"}));
    EXPECT_EQ(loadBlock(*memberOf(member(2, 0)), kUniform, 1), dead);
    ASSERT_EQ(mdl_redo(), -2);
    EXPECT_EQ(labels(), (std::vector<std::string>{"Single Case", "Imposed"}));
}

TEST_F(CasesTest, RemovingACaseTakesItsLoadsInOneStepAndUndoBringsThemBack) {
    line(0, 0, 4, 0);
    line(4, 0, 8, 0);
    PropertyBlock* q = load(kUlf, "q");
    PropertyBlock* f = load(kNff, "f");
    apply(2, 0, kUlf, q);
    int wind = 0;
    ASSERT_EQ(newCase(root(), "Wind", &wind), kCaseDone);
    apply(2, 0, kUlf, q);
    apply(6, 0, kUlf, q);
    nodeOf(node(4, 0))->selected = 1;
    ASSERT_EQ(applyToSelection(s, kNff, f), 1);
    ASSERT_EQ(setSelfWeight(root(), wind, 1.35), kCaseDone);
    mdl_clear_history();
    EXPECT_EQ(q->useCount, 3);
    EXPECT_EQ(caseUse(s, wind).nodes, 1);
    EXPECT_EQ(caseUse(s, wind).members, 2);

    ASSERT_EQ(removeCase(root(), s, wind), kCaseDone);
    EXPECT_EQ(labels(), (std::vector<std::string>{"Single Case"}));
    EXPECT_EQ(root().activeCase, 1);
    EXPECT_EQ(caseUse(s, wind).members, 0);
    EXPECT_EQ(loadBlock(*memberOf(member(2, 0)), kUniform, 1), q);
    EXPECT_EQ(removeCase(root(), s, 1), kCaseLast);

    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(labels(), (std::vector<std::string>{"Single Case", "Wind"}));
    EXPECT_EQ(root().activeCase, wind);
    EXPECT_EQ(findCase(root(), wind)->selfWeight, 1.35);
    EXPECT_EQ(caseUse(s, wind).members, 2);
    EXPECT_EQ(nodalForce(*nodeOf(node(4, 0)), wind), f);
    EXPECT_FALSE(mdl_can_undo());
    // Live records plus the ones the redo step holds.
    mdl_clear_history();
    EXPECT_EQ(q->useCount, 3);
    EXPECT_EQ(f->useCount, 1);
}

TEST_F(CasesTest, SelfWeightIsFactorTimesSpecificWeightTimesArea) {
    line(0, 0, 6, 0);
    PropertyBlock* steel = load(kMaf, "steel");
    valuesOf(steel)->values[kSpecificWeight] = 77;
    PropertyBlock* sec = load(kSpf, "s");
    attrib::sectionOf(sec)->params = {0.01, 1e-4, 0.2, 0.1};
    apply(3, 0, kMaf, steel);
    apply(3, 0, kSpf, sec);
    const MemberAttrib& m = *memberOf(member(3, 0));
    EXPECT_EQ(selfWeightLoad(root(), m, 1), 0);
    EXPECT_TRUE(isSingleCase(root()));
    ASSERT_EQ(setSelfWeight(root(), 1, 1.35), kCaseDone);
    EXPECT_FALSE(isSingleCase(root()));
    EXPECT_DOUBLE_EQ(selfWeightLoad(root(), m, 1), 1.35 * 77 * 0.01);
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(findCase(root(), 1)->selfWeight, 0);
}

} // namespace
