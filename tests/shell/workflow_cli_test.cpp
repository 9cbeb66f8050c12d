// The program run from the command line on models that ask something of the
// user: --export on a frame whose analysis fails says why; --replay on a model
// of an older version answers its unit conversion from the journal, and on a
// model of a newer version the alert it shows. The texts shown are goldens.
#include <gtest/gtest.h>

#include "tests/app/run.h"
#include "tests/support/golden.h"

#include <filesystem>
#include <fstream>

namespace {

const std::string kKestrel = std::string(KESTREL_BIN_DIR) + "/kestrel ";
const std::string kRepo = std::string(KESTREL_TEST_DATA) + "/../../";

TEST(ExportCommandLine, AFailedAnalysisPrintsTheProgramsMessage) {
    const testrun::TempDir dir("export-cli-unstable");
    ASSERT_FALSE(dir.path.empty());
    // A beam without supports, with a material and a generic section.
    std::filesystem::copy_file(kRepo + "tests/data/shell/unsupported-beam.kst",
                               dir.path + "/beam.kst");
    const testrun::Outcome r =
        testrun::run(kKestrel + "--export x.png beam.kst --result bending", dir.path);
    EXPECT_EQ(r.status, 1);
    kestrel_test::expectGolden("shell", "export-unstable-errors", r.err);
    EXPECT_FALSE(std::filesystem::exists(dir.path + "/x.png"));
}

// Each start-up dialog takes the journal's first lines; a journal without
// them ends the replay. The conversion dialog used to find the journal not
// yet loaded and end the replay. Typed in centimetres, E = 20500 kN/cm2 stays
// 20500 in those units.
TEST(ReplayCommandLine, TheStartUpDialogsOfOlderAndNewerModelsTakeTheFirstLines) {
    const testrun::TempDir dir("replay-cli-startup");
    ASSERT_FALSE(dir.path.empty());
    std::filesystem::copy_file(kRepo + "examples/portal-v205.kst", dir.path + "/older.kst");
    const std::string text = testrun::readFile(kRepo + "examples/two-span.kst");
    ASSERT_EQ(text.rfind("211\n", 0), 0u);
    std::ofstream(dir.path + "/newer.kst") << "300" << text.substr(3);
    const struct {
        const char* model;
        const char* journal;
        int status;
        const char* golden; // output and errors
    } cases[] = {
        {"older.kst",
         "select untcnvlength 2\npress untcnvaccept\n"
         "show maflabellist mafelastext mafelasunit hsizeunit\nsummary\n",
         0, "replay-older-converted"},
        {"older.kst", "show hsizeunit\n", 2, "replay-older-unanswered"},
        {"newer.kst", "alert 1\nsummary\n", 0, "replay-newer-answered"},
        {"newer.kst", "summary\n", 2, "replay-newer-unanswered"},
    };
    for (const auto& c : cases) {
        std::ofstream(dir.path + "/j.journal") << c.journal;
        const testrun::Outcome r =
            testrun::run(kKestrel + "--replay j.journal " + c.model, dir.path);
        EXPECT_EQ(r.status, c.status) << c.golden;
        kestrel_test::expectGolden("shell", c.golden, r.out + "-- errors:\n" + r.err);
    }
}

} // namespace
