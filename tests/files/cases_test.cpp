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
    // The three cases, the third a pattern case, and three combinations: one
    // with a factor that needs all its digits, one out of the envelope.
    void withCombinations() {
        threeCases();
        const int dead = root().cases[0].id, settle = root().cases[1].id, wind = root().cases[2].id;
        ASSERT_EQ(setPattern(root(), wind, true), kCaseDone);
        int uls = 0, sls = 0, uplift = 0;
        ASSERT_EQ(newCombination(root(), "ULS 1", &uls), kCaseDone);
        setFactor(root(), uls, wind, 1.5); // factors keep the order of the case list
        setFactor(root(), uls, dead, 1.35);
        ASSERT_EQ(newCombination(root(), "SLS", &sls), kCaseDone);
        for (int id : {dead, settle, wind}) setFactor(root(), sls, id, 1);
        setInEnvelope(root(), sls, false);
        ASSERT_EQ(newCombination(root(), "Uplift", &uplift), kCaseDone);
        setFactor(root(), uplift, dead, 1.0 / 3);
        setFactor(root(), uplift, wind, -1e6);
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

TEST_F(CaseFileTest, CombinationsAndPatternCasesAreWrittenAndReadBackToTheSameBytes) {
    withCombinations();
    const std::string text = files_test::writeText(s, root(), settings);
    kestrel_test::expectGolden("files", "load_combinations.kst", text);
    files::ReadResult r = files_test::readText(text);
    EXPECT_EQ(r.noteCount, 0) << files::notesSummary(r, 5);
    install(r);
    EXPECT_EQ(files_test::writeText(s, root(), settings), text);
    const AttributeRoot& a = root();
    ASSERT_EQ(a.combos.size(), 3u);
    EXPECT_FALSE(a.cases[0].pattern);
    EXPECT_TRUE(a.cases[2].pattern);
    EXPECT_TRUE(a.combos[0].inEnvelope);
    EXPECT_FALSE(a.combos[1].inEnvelope);
    EXPECT_EQ(factorOf(a.combos[2], a.cases[0].id), 1.0 / 3);
    EXPECT_EQ(factorOf(a.combos[2], a.cases[2].id), -1e6);
    EXPECT_EQ(a.combos[1].factors.size(), 3u);
    // Cases and combinations draw on one counter: a new one takes the next id.
    EXPECT_EQ(a.combos[2].id, 6);
    EXPECT_EQ(a.caseCounter, 6);
}

TEST_F(CaseFileTest, OnlyASingleCaseKeepsTheLayoutBeforeLoadCases) {
    const struct {
        const char* name;
        void (*change)(AttributeRoot&);
        const char* version;
        const char* line; // a line the file holds
    } cases[] = {
        {"one case", nullptr, "211\n", "0 0 0 0 0\n"},
        {"a pattern case", [](AttributeRoot& r) { setPattern(r, r.cases[0].id, true); }, "212\n",
         "\n0 'Single Case' pattern\n"},
        {"a combination", [](AttributeRoot& r) { newCombination(r, "C"); }, "212\n",
         "\n0 'Single Case'\ncombination 'C' 1\n"},
    };
    line(0, 0, 4, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.change) c.change(root());
        const std::string text = files_test::writeText(s, root(), settings);
        EXPECT_EQ(text.substr(0, 4), c.version);
        EXPECT_NE(text.find(c.line), std::string::npos) << text;
        if (c.change) mdl_undo();
    }
}

TEST_F(CaseFileTest, TheSecondOrderChoiceIsALineOfVersion212ThatReadsBackOrIsSaid) {
    line(0, 0, 4, 0);
    const std::string linear = files_test::writeText(s, root(), settings);
    ASSERT_EQ(linear.substr(0, 4), "211\n");
    EXPECT_FALSE(setAnalysis(root(), 2));
    ASSERT_TRUE(setAnalysis(root(), kSecondOrderAnalysis));
    const std::string text = files_test::writeText(s, root(), settings);
    const std::string record = "\n0 'Single Case'\nanalysis second-order\n";
    EXPECT_EQ(text.substr(0, 4), "212\n");
    ASSERT_NE(text.find(record), std::string::npos) << text;
    files::ReadResult r = files_test::readText(text);
    EXPECT_EQ(r.noteCount, 0) << files::notesSummary(r, 5);
    install(r);
    EXPECT_TRUE(secondOrder(root()));
    EXPECT_EQ(files_test::writeText(s, root(), settings), text);
    // Another word is said and leaves the linear analysis; the linear word
    // reads silently. Either way the model writes the linear bytes again.
    const struct {
        const char* to;
        const char* note;
    } cases[] = {
        {"analysis third-order\n",
         "the analysis choice cannot be read (\"third-order\"); the linear "
         "analysis is used"},
        {"analysis 1\n", "the analysis choice cannot be read (\"1\"); the linear analysis is used"},
        {"analysis second-order 1\n", "the analysis choice cannot be read (\"second-order\"); the "
                                      "linear analysis is used"},
        {"analysis linear\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to);
        std::string bad = text;
        bad.replace(bad.find("analysis second-order\n"), 22, c.to);
        files::ReadResult b = files_test::readText(bad);
        EXPECT_EQ(files::notesSummary(b, 1), c.note);
        install(b);
        EXPECT_FALSE(secondOrder(root()));
        EXPECT_EQ(files_test::writeText(s, root(), settings), linear);
    }
}

TEST_F(CaseFileTest, CombinationsThatCannotBeTrustedAreLeftOutAndSaidKeepingTheRest) {
    withCombinations();
    const std::string text = files_test::writeText(s, root(), settings);
    const std::string uls = "combination 'ULS 1' 1 1.35 'Single Case' 1.5 'Wind from left'\n";
    const std::string sls = "combination 'SLS' 0 ";
    ASSERT_NE(text.find(uls), std::string::npos);
    // Each damaged line, the first note, and the line that saving the model
    // read writes in its place: everything else comes back byte for byte.
    const struct {
        const char* name;
        std::string from, to, note, after;
    } cases[] = {
        {"a case that does not exist", "1.5 'Wind from left'", "1.5 'Snow'",
         "a factor of combination \"ULS 1\" names no load case (\"Snow\")",
         "combination 'ULS 1' 1 1.35 'Single Case'\n"},
        {"an infinite factor", "1.5 'Wind", "inf 'Wind",
         "a factor of combination \"ULS 1\" is not finite or beyond 1e6 in magnitude (inf)",
         "combination 'ULS 1' 1 1.35 'Single Case'\n"},
        {"a factor that is not a number", "1.35 'Single", "nan 'Single",
         "a factor of combination \"ULS 1\" is not finite or beyond 1e6 in magnitude (nan)",
         "combination 'ULS 1' 1 1.5 'Wind from left'\n"},
        {"a factor beyond 1e6", "1.5 'Wind", "2e6 'Wind",
         "a factor of combination \"ULS 1\" is not finite or beyond 1e6 in magnitude (2e+06)",
         "combination 'ULS 1' 1 1.35 'Single Case'\n"},
        {"a case given twice", "'Wind from left'\n", "'Single Case'\n",
         "combination \"ULS 1\" gives the factor of load case \"Single Case\" twice",
         "combination 'ULS 1' 1 1.35 'Single Case'\n"},
        {"a line cut short", " 'Wind from left'\ncombination 'SLS'", "\ncombination 'SLS'",
         "combination \"ULS 1\" cannot be read", ""},
        {"a label without quotes", "'ULS 1' 1", "ULS 1", "combination 1 cannot be read", ""},
        {"no envelope flag", "'ULS 1' 1", "'ULS 1'", "combination \"ULS 1\" cannot be read", ""},
        {"a label twice", sls, "combination 'ULS 1' 0 ",
         "combination \"ULS 1\" has the label of an earlier combination", ""},
        {"the label of a case", "'ULS 1'", "'Settlement'",
         "combination \"Settlement\" has the label of a load case", ""},
        {"the label of the envelope", "'ULS 1'", "'Envelope'",
         "combination \"Envelope\" has the label of the envelope", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bad = text;
        const std::size_t at = bad.find(c.from);
        ASSERT_NE(at, std::string::npos);
        bad.replace(at, c.from.size(), c.to);
        files::ReadResult r = files_test::readText(bad);
        EXPECT_EQ(r.noteCount, 1) << files::notesSummary(r, 5);
        EXPECT_EQ(files::notesSummary(r, 1), c.note);
        install(r);
        std::string expected = text;
        const bool later = c.from == sls; // the damage is in the second line
        const std::size_t line = later ? text.find(sls) : text.find(uls);
        expected.replace(line, later ? text.find('\n', line) + 1 - line : uls.size(), c.after);
        EXPECT_EQ(files_test::writeText(s, root(), settings), expected);
    }
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
