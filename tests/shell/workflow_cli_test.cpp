// kestrel --export on a frame whose analysis fails: the status, and the
// program's own message on the standard error stream.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TEST(ExportCommandLine, AFailedAnalysisPrintsTheProgramsMessage) {
    const fs::path dir = fs::temp_directory_path() / "kestrel-export-cli-unstable";
    fs::remove_all(dir);
    fs::create_directories(dir);
    // A beam without supports, with a material and a generic section.
    const fs::path model = dir / "beam.kst";
    fs::copy_file(std::string(KESTREL_TEST_DATA) + "/shell/unsupported-beam.kst", model);
    const fs::path err = dir / "err.txt";
    const std::string cmd = std::string(KESTREL_BIN_DIR) + "/kestrel --export " +
                            (dir / "x.png").string() + " " + model.string() +
                            " --result bending 2>" + err.string() + " >/dev/null";
    const int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    std::ifstream in(err);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "kestrel: the analysis of " + model.string() +
                              " failed\n"
                              "message [ Kestrel Message ]: \n"
                              "               Unstable Frame.           \n\n"
                              "   Please check frame support conditions,  \n"
                              "   hinge configuration, or any other       \n"
                              "   condition that may cause instability. \n\n");
    EXPECT_FALSE(fs::exists(dir / "x.png"));
    fs::remove_all(dir);
}
