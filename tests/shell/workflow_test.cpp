// An engineer's session replayed as a journal on a model opened from the
// command line: the result factor, the metafile exports and the propped
// cantilever of examples/ (the panels of an opened model: the scenarios
// opened-*).
#include "tests/shell/fixture.h"

#include "analysis/analysis.h"
#include "tests/support/golden.h"

#include <filesystem>

namespace shelltest {
namespace {

namespace fs = std::filesystem;

using WorkflowTest = ReplayTest;

// The factor field keeps three significant digits below 0.1: the large
// moments of a frame give factors of a few thousandths, which two decimals
// showed as "0.00", and the commit of that unchanged field (Enter or focus
// loss) then shrank the diagram to nothing.
TEST_F(WorkflowTest, TheResultFactorReadsBackAsItself) {
    const struct {
        const char* model;
        const char* kind;
        const char* shown;
    } cases[] = {
        {"gable.kst", "bending", "0.0111"},
        {"three-storey.kst", "axial", "0.00262"},
        {"gable.kst", "deformed", "29.68"}, // two decimals from 0.1 up
    };
    for (const auto& c : cases) {
        const std::string model = copyOf(std::string("examples/") + c.model);
        ASSERT_EQ(replay(std::string("toggle ") + c.kind + "\nshow modetext\n", model), 0)
            << errors;
        EXPECT_EQ(output, std::string("show: modetext \"") + c.shown + "\"\n") << c.model;
        const double size = analysis::resultState().diagramSize;
        ASSERT_EQ(replay(std::string("toggle ") + c.kind + "\ncommit modetext \"" + c.shown +
                             "\"\nshow modetext\n",
                         model),
                  0)
            << errors;
        EXPECT_EQ(output, std::string("show: modetext \"") + c.shown + "\"\n") << c.model;
        EXPECT_NEAR(analysis::resultState().diagramSize, size, 0.005 * size) << c.model;
    }
    // Typed factors: the scenario typed-factors.
}

// Window and Enhanced Metafile exports: bound without a menu item, they ask
// for the file under the model's name and write nothing.
TEST_F(WorkflowTest, MetafileExportsAskForTheFileAndWriteNothing) {
    const std::string model = copyOf("examples/two-span.kst");
    const std::string stem = model.substr(0, model.size() - 3);
    const struct {
        const char* action;
        const char* title;
        const char* filter;
        const char* extension;
    } cases[] = {
        {"IoWMF", "Export screen as a Window Metafile file", "*.wmf", "wmf"},
        {"IoEMF", "Export screen as an Enhanced Metafile file", "*.emf", "emf"},
    };
    for (const auto& c : cases) {
        const std::string proposed = stem + c.extension;
        const std::string file = stem + "picture." + c.extension;
        ASSERT_EQ(replay(std::string("action ") + c.action + "\nfile 1 \"" + file + "\"\n", model),
                  0)
            << errors;
        EXPECT_EQ(output, std::string("file dialog: ") + c.title + "\nanswer: 1 " + file + "\n");
        EXPECT_EQ(tk->at("exportfiledlg").get("FILE"), proposed);
        EXPECT_EQ(tk->at("exportfiledlg").get("FILTER"), c.filter);
        EXPECT_FALSE(fs::exists(file) || fs::exists(proposed));
        EXPECT_EQ(tk->find(std::string("mi") + c.extension), nullptr);
        EXPECT_EQ(tk->find(std::string("miio") + c.extension), nullptr);
    }
}

// examples/propped-cantilever.journal builds, analyses and reads a propped
// cantilever under a linear load 0 -> 10 kN/m over 6 m; its comments give the
// hand calculation of the figures it prints (reactions 9qL/40, 7qL2/120 and
// 11qL/40, end rotation qL3/(80EI), moments, shear 13.5 - q x2/(2L), the
// deflection and the influence line at mid-span).
TEST_F(WorkflowTest, TheProppedCantileverExampleReadsTheHandCalculation) {
    std::string journal = example("propped-cantilever");
    const std::string saved = "file 1 \"/tmp/propped-cantilever.kst\"";
    const std::string target = (testFolder() / "propped.kst").string();
    ASSERT_NE(journal.find(saved), std::string::npos);
    journal.replace(journal.find(saved), saved.size(), "file 1 \"" + target + "\"");
    ASSERT_EQ(replay(journal), 0) << errors;
    EXPECT_TRUE(fs::exists(target));
    for (std::size_t at; (at = output.find(target)) != std::string::npos;)
        output.replace(at, target.size(), "DIR/propped.kst");
    kestrel_test::expectGolden("shell", "propped-cantilever", output);
}

// examples/result-tables.journal opens the Result Tables window on the
// truss (its comments give the statics of the figures it copies): the tables before and after the
// analysis, a member picked on the canvas selecting its row, the rows sorted and selected selecting
// their nodes and members, the copies, the export and Esc. The file written
// is the tab shown, in the order shown; one in a missing folder is refused.
TEST_F(WorkflowTest, TheResultTablesExampleSortsSelectsCopiesAndExports) {
    const fs::path model = testFolder() / "truss.kst";
    fs::copy_file(std::string(KESTREL_TEST_DATA) + "/../../examples/truss.kst", model,
                  fs::copy_options::overwrite_existing);
    std::string journal = example("result-tables");
    const std::string file = "\"./member-end-forces.csv\"";
    const std::string target = (testFolder() / "member-end-forces.csv").string();
    ASSERT_NE(journal.find(file), std::string::npos);
    journal.replace(journal.find(file), file.size(), "\"" + target + "\"");
    ASSERT_EQ(replay(journal, model.string()), 0) << errors;
    std::string all = output + "-- member-end-forces.csv\n" + kestrel_test::readText(target);
    ASSERT_EQ(replay("press mitblopen\npress tblexport\nfile 1 \"/no/such/folder/x.csv\"\n",
                     model.string()),
              0)
        << errors;
    all += "-- into a missing folder\n" + output;
    const std::string dir = testFolder().string();
    for (std::size_t at; (at = all.find(dir)) != std::string::npos;)
        all.replace(at, dir.size(), "DIR");
    kestrel_test::expectGolden("shell", "result-tables", all);
}

// examples/load-cases.journal builds a frame with three load cases through
// the panels, analyses them at once and reads each case's results through the
// drop-down; the frame it saves is examples/load-cases.kst, byte for byte.
TEST_F(WorkflowTest, TheLoadCaseExampleBuildsTheExampleFile) {
    std::string journal = example("load-cases");
    const std::string saved = "file 1 \"/tmp/load-cases.kst\"";
    const std::string target = (testFolder() / "load-cases.kst").string();
    ASSERT_NE(journal.find(saved), std::string::npos);
    journal.replace(journal.find(saved), saved.size(), "file 1 \"" + target + "\"");
    ASSERT_EQ(replay(journal), 0) << errors;
    EXPECT_EQ(
        kestrel_test::readText(target),
        kestrel_test::readText(std::string(KESTREL_TEST_DATA) + "/../../examples/load-cases.kst"));
    for (std::size_t at; (at = output.find(target)) != std::string::npos;)
        output.replace(at, target.size(), "DIR/load-cases.kst");
    kestrel_test::expectGolden("shell", "load-cases", output);
}

// examples/pattern-beam.journal: the envelope of a two-span beam whose
// imposed load is a pattern case gives the hand values (76.6 kNm sagging
// with no shear, 112.5 kNm hogging with 93.8 kN of shear, 187.5 and 75 kN at
// the middle support) and names the governing combination.
TEST_F(WorkflowTest, ThePatternBeamExampleGivesTheHandValues) {
    std::string journal = example("pattern-beam");
    const std::string saved = "file 1 \"/tmp/pattern-beam.kst\"";
    const std::string target = (testFolder() / "pattern-beam.kst").string();
    ASSERT_NE(journal.find(saved), std::string::npos);
    journal.replace(journal.find(saved), saved.size(), "file 1 \"" + target + "\"");
    ASSERT_EQ(replay(journal), 0) << errors;
    for (std::size_t at; (at = output.find(target)) != std::string::npos;)
        output.replace(at, target.size(), "DIR/pattern-beam.kst");
    kestrel_test::expectGolden("shell", "pattern-beam", output);
}

} // namespace
} // namespace shelltest
