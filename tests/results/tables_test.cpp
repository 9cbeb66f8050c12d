// Result tables: hand values of a self-weight beam in the case, combination
// and envelope tables, the exact CSV and tab-separated texts, and a CSV
// write that fails without leaving a file.
#include "attrib/cases.h"
#include "results/tables.h"
#include "tests/analysis/fixture.h"
#include "tests/support/scratch_dir.h"

#include <filesystem>

namespace analysis::test {
namespace {

using results::Table;
using results::TableKind;

const Table& tab(const std::vector<Table>& t, TableKind k) {
    return t.at(static_cast<std::size_t>(k));
}
double cell(const Table& t, std::size_t row, const char* column) {
    for (std::size_t c = 0; c < t.columns.size(); ++c)
        if (t.columns[c].name == column) return t.rows.at(row)[c].value;
    ADD_FAILURE() << "no column " << column;
    return 0;
}

// A simply supported steel beam of 6 m under its self-weight (77 kN/m3 x
// 0.01 m2): reactions 2.31 kN, shear +-2.31 kN at the ends, 3.465 kNm at
// mid-span; a second case of factor 1.35 and the combination 1 x first +
// 2 x second scale all of them, and the envelope over both cases of a
// model without combination is the larger case.
TEST_F(FrameTest, TablesHoldTheHandValuesOfCaseCombinationAndEnvelope) {
    line(0, 0, 6, 0);
    give(*attrib::memberOf(member(3, 0)), attrib::kMaterial, block(attrib::kMaf, {2e8, 77, 1e-5}));
    give(*attrib::memberOf(member(3, 0)), attrib::kSection,
         block(attrib::kSpf, {0.01, 1e-4, 0.2, 0.1}));
    support(at(0, 0), "110");
    support(at(6, 0), "010");
    ASSERT_EQ(attrib::setSelfWeight(root(), 1, 1), attrib::kCaseDone);
    int scaled = 0, combo = 0;
    ASSERT_EQ(attrib::newCase(root(), "Scaled", &scaled), attrib::kCaseDone);
    ASSERT_EQ(attrib::setSelfWeight(root(), scaled, 1.35), attrib::kCaseDone);
    resetResults(s);
    results::EnvelopeInput env;
    const RunOutcome out =
        runAnalysis(s, root(), modelPath(), results::gatherShares(env, s, root()));
    ASSERT_EQ(out.status, RunStatus::kSolved) << out.message;
    results::readStoredResults(env, storedResults());
    results::TableInput in{&storedResults().numbering, &root(), &storedResults(), &env, 0, {}};
    in.units = units::presetSettings(units::kSIPreset);

    const struct {
        int shown;
        double factor;
    } kRuns[] = {{1, 1.0}, {scaled, 1.35}, {attrib::kEnvelope, 1.35}, {-2, 3.7}};
    for (const auto& run : kRuns) {
        if (run.shown == -2) { // the combination, made after the envelope run
            ASSERT_EQ(attrib::newCombination(root(), "Sum", &combo), attrib::kCaseDone);
            ASSERT_EQ(attrib::setFactor(root(), combo, 1, 1), attrib::kCaseDone);
            ASSERT_EQ(attrib::setFactor(root(), combo, scaled, 2), attrib::kCaseDone);
        }
        in.shown = run.shown == -2 ? combo : run.shown;
        SCOPED_TRACE(in.shown);
        const std::vector<Table> t = results::buildTables(in);
        ASSERT_EQ(t.size(), std::size_t(results::kTableCount));
        const double f = run.factor;
        const Table& ex = tab(t, TableKind::MemberExtremes);
        ASSERT_EQ(ex.rows.size(), 1u);
        EXPECT_NEAR(cell(ex, 0, "M max"), 3.465 * f, 1e-9);
        EXPECT_NEAR(cell(ex, 0, "x M max"), 3, 1e-9);
        EXPECT_NEAR(cell(ex, 0, "V max"), 2.31 * f, 1e-9);
        EXPECT_NEAR(cell(ex, 0, "V min"), -2.31 * f, 1e-9);
        EXPECT_NEAR(cell(ex, 0, "x V min"), 6, 1e-9);
        EXPECT_EQ(cell(ex, 0, "N max"), 0);
        const Table& sr = tab(t, TableKind::SupportReactions);
        ASSERT_EQ(sr.rows.size(), 2u);
        const bool envelope = run.shown == attrib::kEnvelope;
        EXPECT_NEAR(cell(sr, 0, envelope ? "Fy max" : "Fy"), 2.31 * f, 1e-9);
        // The roller carries no Fx: an empty cell, not a zero.
        EXPECT_TRUE(sr.rows[1][1].text.empty() && !sr.rows[1][1].isNumber());
        EXPECT_EQ(sr.refs[1].entity, results::RowEntity::Node);
        EXPECT_EQ(tab(t, TableKind::Members).rows[0][3].text, "6.00");
    }
}

// Headings carry the units; numbers keep every digit in the CSV and show
// the display format in the tab text; fields are quoted only when needed.
TEST(TableText, CsvAndTabTextAreExact) {
    Table t;
    t.columns = {{"Section", -1, false}, {"A", units::kSectionAreaUnit}, {"Dx", 1}};
    auto row = [&](const char* label, double a, double dx) {
        t.rows.push_back({{std::nan(""), label}, {a, "a"}, {dx, "dx"}});
        t.refs.push_back({});
    };
    row("I\"300,a", 0.1 + 0.2, -1e-300);
    row("tab\there", 5, 0);
    t.rows[1][2] = {};
    EXPECT_EQ(results::tableCsv(t), "Section,A (m\u00b2),Dx (m)\r\n"
                                    "\"I\"\"300,a\",0.30000000000000004,-1e-300\r\n"
                                    "tab\there,5,\r\n");
    const units::UnitSettings& si = units::presetSettings(units::kSIPreset);
    EXPECT_EQ(results::tableTabText(t, si, {1}),
              "Section\tA (" + units::unitLabelUtf8(si.unit[units::kSectionAreaUnit]) + ")\tDx (" +
                  units::unitLabelUtf8(si.unit[1]) + ")\n\"tab\there\"\ta\t\n");
}

// A file that cannot be made (its name is a folder) fails the whole export:
// the message names it and why, and no table nor temporary is left.
TEST(TableText, AFailedWriteLeavesNothing) {
    kestrel_test::ScratchDir dir("tables");
    namespace fs = std::filesystem;
    fs::create_directory(dir.path() + "/nodes.csv");
    std::vector<Table> t(2);
    t[0].kind = TableKind::NodeDisplacements;
    t[1].kind = TableKind::Nodes;
    std::string error;
    EXPECT_FALSE(results::writeTablesCsv(t, dir.path(), error));
    EXPECT_EQ(error.rfind("cannot write " + dir.path() + "/nodes.csv: ", 0), 0u) << error;
    std::size_t entries = 0;
    for (const auto& e : fs::directory_iterator(dir.path()))
        entries += e.path().filename() != "nodes.csv";
    EXPECT_EQ(entries, 0u);
    EXPECT_FALSE(results::writeTablesCsv(t, dir.path() + "/missing", error));
    EXPECT_EQ(error, "cannot write " + dir.path() +
                         "/missing/node-displacements.csv: No such file or directory");
    fs::remove(dir.path() + "/nodes.csv");
    ASSERT_TRUE(results::writeTablesCsv(t, dir.path(), error)) << error;
    EXPECT_TRUE(fs::exists(dir.path() + "/nodes.csv") &&
                fs::exists(dir.path() + "/node-displacements.csv"));
}

} // namespace
} // namespace analysis::test
