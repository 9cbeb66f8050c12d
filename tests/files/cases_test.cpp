// The load case layout of the model file: exact text, round trips, and
// files whose case records cannot be trusted.
#include "attrib/cases.h"
#include "attrib/supports.h"
#include "tests/files/fixture.h"
#include "tests/support/golden.h"

namespace {

using namespace attrib;

class CaseFileTest : public files_test::ModelFileTest {
protected:
    // Two members with a load in each of three cases, a settlement in the
    // second and self-weight in the third; the second case active.
    void threeCases() {
        line(0, 0, 4, 0);
        line(4, 0, 8, 0);
        PropertyBlock *q = nullptr, *f = nullptr, *t = nullptr;
        newBlock(root(), kUlf, "q", &q);
        valuesOf(q)->values[1] = -10;
        newBlock(root(), kNff, "F", &f);
        valuesOf(f)->values[0] = 5;
        newBlock(root(), kTpf, "T", &t);
        auto applyTo = [&](double x, PropertyKind kind, PropertyBlock* b) {
            memberOf(member(x, 0))->selected = 1;
            applyToSelection(s, kind, b);
        };
        applyTo(2, kUlf, q);
        ASSERT_EQ(newCase(root(), "Settlement"), kCaseDone);
        SupportState st;
        st.codes[kDy] = kFixed;
        st.prescribed = 1;
        st.values[kDy] = -0.01;
        nodeOf(node(4, 0))->selected = 1;
        applySupport(s, st);
        ASSERT_EQ(newCase(root(), "Wind from left"), kCaseDone);
        applyTo(2, kUlf, q);
        applyTo(6, kTpf, t);
        nodeOf(node(8, 0))->selected = 1;
        applyToSelection(s, kNff, f);
        setSelfWeight(root(), root().activeCase, 1.35);
        setActiveCase(root(), root().cases[1].id);
        // The history refers to the blocks of this root, which a read model
        // replaces.
        mdl_clear_history();
    }
};

TEST_F(CaseFileTest, CasesAreWrittenInTheirLayoutAndReadBackToTheSameBytes) {
    threeCases();
    const std::string text = files_test::writeText(s, root(), settings);
    kestrel_test::expectGolden("files", "load_cases.kst", text);
    files::ReadResult r = files_test::readText(text);
    EXPECT_EQ(r.version, 212);
    EXPECT_EQ(r.noteCount, 0);
    install(r);
    EXPECT_EQ(files_test::writeText(s, root(), settings), text);
    ASSERT_EQ(root().cases.size(), 3u);
    EXPECT_EQ(root().cases[2].label, "Wind from left");
    EXPECT_EQ(root().cases[2].selfWeight, 1.35);
    EXPECT_EQ(root().activeCase, root().cases[1].id);
    EXPECT_TRUE(hasPrescribed(*nodeOf(node(4, 0)), root().cases[1].id));
    EXPECT_FALSE(hasPrescribed(*nodeOf(node(4, 0)), root().cases[0].id));
    EXPECT_EQ(findBlock(root(), kUlf, 1)->useCount, 2);
    // Back to one case without self-weight: the layout before load cases.
    removeCase(root(), s, root().cases[2].id);
    removeCase(root(), s, root().cases[1].id);
    const std::string single = files_test::writeText(s, root(), settings);
    EXPECT_EQ(single.substr(0, 4), "211\n");
    EXPECT_EQ(single.find('\''), std::string::npos);
}

TEST_F(CaseFileTest, CaseRecordsThatCannotBeTrustedAreLeftOutAndSaid) {
    threeCases();
    const std::string text = files_test::writeText(s, root(), settings);
    // Loads of a case that cannot be told are left out and said; a list that
    // cannot be trusted ends the first record: the model holds its first
    // node and says why.
    const char* const kList = "the list of load cases cannot be read";
    struct Case {
        const char* name;
        std::string from, to;
        const char* note; // the first note
    } cases[] = {
        {"a case the file does not hold", "\n2 0 1 0 -0.01 0\n", "\n7 0 1 0 -0.01 0\n",
         "refers to load case 7, which the file does not hold"},
        {"a case given twice", "\n3 0 1 0 0\n", "\n1 0 1 0 0\n",
         "gives the loads of load case 1 twice"},
        {"more entries than cases", "0\n0\n1\n3 0 0 0 1", "0\n0\n9\n3 0 0 0 1",
         "holds loads of 9 load cases; the file has 3"},
        {"no case", "3 2\n", "0 2\n", kList},
        {"an active case beyond the list", "3 2\n", "3 4\n", kList},
        {"a count beyond the file", "3 2\n", "99 2\n", kList},
        {"a label twice", "'Settlement'", "'Single Case'", kList},
        {"a label without its quote", "'Settlement'\n", "'Settlement\n", kList},
        {"a label of blanks", "'Settlement'", "'   '", kList},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bad = text;
        const std::size_t at = bad.find(c.from);
        ASSERT_NE(at, std::string::npos);
        bad.replace(at, c.from.size(), c.to);
        files::ReadResult r = files_test::readText(bad);
        EXPECT_EQ(r.status, files::ReadStatus::kModel); // with what could be read
        const std::string first = r.notes.empty() ? "" : r.notes.front();
        EXPECT_NE(first.find(c.note), std::string::npos) << first;
        if (r.model) files_test::discard(r.model);
    }
}

} // namespace
