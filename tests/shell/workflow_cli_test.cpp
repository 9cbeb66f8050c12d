// The program run from the command line on models that ask something of the
// user: --export on a frame whose analysis fails says why; --replay on a model
// of an older version answers its unit conversion from the journal.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs kestrel with `args`; its output and errors go to out.txt and err.txt.
int kestrel(const fs::path& dir, const std::string& args) {
    const std::string cmd = std::string(KESTREL_BIN_DIR) + "/kestrel " + args + " >" +
                            (dir / "out.txt").string() + " 2>" + (dir / "err.txt").string();
    const int raw = std::system(cmd.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

} // namespace

TEST(ExportCommandLine, AFailedAnalysisPrintsTheProgramsMessage) {
    const fs::path dir = fs::temp_directory_path() / "kestrel-export-cli-unstable";
    fs::remove_all(dir);
    fs::create_directories(dir);
    // A beam without supports, with a material and a generic section.
    const fs::path model = dir / "beam.kst";
    fs::copy_file(std::string(KESTREL_TEST_DATA) + "/shell/unsupported-beam.kst", model);
    EXPECT_EQ(kestrel(dir, "--export " + (dir / "x.png").string() + " " + model.string() +
                               " --result bending"),
              1);
    EXPECT_EQ(contents(dir / "err.txt"), "kestrel: the analysis of " + model.string() +
                                             " failed\n"
                                             "message [ Kestrel Message ]: \n"
                                             "               Unstable Frame.           \n\n"
                                             "   Please check frame support conditions,  \n"
                                             "   hinge configuration, or any other       \n"
                                             "   condition that may cause instability. \n\n");
    EXPECT_FALSE(fs::exists(dir / "x.png"));
    fs::remove_all(dir);
}

// The conversion dialog opens while the program starts, before the first
// line; it used to find the journal not yet loaded and end the replay.
TEST(ReplayCommandLine, AnOlderModelIsConvertedByTheFirstLinesOfTheJournal) {
    const fs::path dir = fs::temp_directory_path() / "kestrel-replay-cli-convert";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path model = dir / "portal.kst";
    fs::copy_file(std::string(KESTREL_TEST_DATA) + "/../../examples/portal-v205.kst", model);
    const struct {
        const char* journal;
        int status;
        const char* out;
        const char* err;
    } cases[] = {
        // typed in centimetres: E = 20500 kN/cm2 stays 20500 in those units
        {"select untcnvlength 2\npress untcnvaccept\n"
         "show maflabellist mafelastext mafelasunit hsizeunit\nsummary\n",
         0,
         "show: maflabellist \"Steel\" mafelastext \"20500.00\" mafelasunit \"kN/cm²\" "
         "hsizeunit \"cm\"\nsummary: nodes 4 members 3 dimension lines 0; nothing selected\n",
         ""},
        {"show hsizeunit\n", 2, "show: hsizeunit \"m\"\n",
         ":1: the journal ended while \"Unit conversion for previous version "
         "input data\" was open\n"},
    };
    const std::string journal = (dir / "j.journal").string();
    for (const auto& c : cases) {
        std::ofstream(journal) << c.journal;
        EXPECT_EQ(kestrel(dir, "--replay " + journal + " " + model.string()), c.status)
            << c.journal;
        EXPECT_EQ(contents(dir / "out.txt"), c.out) << c.journal;
        EXPECT_EQ(contents(dir / "err.txt"), *c.err ? "kestrel: " + journal + c.err : "")
            << c.journal;
    }
    fs::remove_all(dir);
}

// The alert of a model written by a newer version shows while the program
// starts: the first line answers it, and a journal without that answer is a
// fault like any unanswered dialog.
TEST(ReplayCommandLine, TheAlertOfANewerModelTakesTheFirstLine) {
    const fs::path dir = fs::temp_directory_path() / "kestrel-replay-cli-newer";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path model = dir / "newer.kst";
    std::string text = contents(std::string(KESTREL_TEST_DATA) + "/../../examples/two-span.kst");
    ASSERT_EQ(text.rfind("211\n", 0), 0u);
    std::ofstream(model) << "300" << text.substr(3);
    const std::string alert = "alert [ Kestrel Alert ]: \n"
                              "   Version of file is higher than this version of Kestrel.  \n\n"
                              "   Please update Kestrel from https://kestrel-frames.org  \n"
                              " { Continue  |    Exit   }\n";
    const std::string journal = (dir / "j.journal").string();
    const struct {
        const char* journal;
        int status;
        std::string out, err;
    } cases[] = {
        {"alert 1\nsummary\n", 0,
         alert + "answer:  Continue \nsummary: nodes 0 members 0 dimension lines 0; nothing "
                 "selected\n",
         ""},
        {"summary\n", 2, alert,
         "kestrel: " + journal +
             ":0: unanswered alert: Version of file is higher than this version of Kestrel. "
             "Please update Kestrel from https://kestrel-frames.org\n"},
    };
    for (const auto& c : cases) {
        std::ofstream(journal) << c.journal;
        EXPECT_EQ(kestrel(dir, "--replay " + journal + " " + model.string()), c.status)
            << c.journal;
        EXPECT_EQ(contents(dir / "out.txt"), c.out) << c.journal;
        EXPECT_EQ(contents(dir / "err.txt"), c.err) << c.journal;
    }
    fs::remove_all(dir);
}
