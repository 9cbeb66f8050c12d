// `cmake --install` into a temporary prefix, then the installed programs run
// from another directory: the replay of a journal (with the windows' images
// found inside the program itself), the version, and kestrel-solve on a
// reference model.
#include <gtest/gtest.h>

#include "tests/app/run.h"

#include <fstream>
#include <string>
#include <sys/stat.h>

namespace {

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix = testrun::makeTempDir("prefix");
        work = testrun::makeTempDir("elsewhere");
        ASSERT_FALSE(prefix.empty());
        ASSERT_FALSE(work.empty());
        const testrun::Outcome r = testrun::run(
            "'" KESTREL_CMAKE "' --install '" KESTREL_BUILD_DIR "' --prefix '" + prefix + "'",
            work);
        ASSERT_EQ(r.status, 0) << r.out << r.err;
    }
    static void TearDownTestSuite() { testrun::run("rm -rf '" + prefix + "' '" + work + "'", "/"); }
    static std::string prefix, work;
};
std::string Installed::prefix, Installed::work;

TEST_F(Installed, FilesLandUnderThePrefix) {
    const char* const files[] = {
        "bin/kestrel",
        "bin/kestrel-solve",
        "share/applications/kestrel.desktop",
        "share/icons/hicolor/scalable/apps/kestrel.svg",
        "share/doc/kestrel/README.md",
        "share/doc/kestrel/journal.md",
        "share/doc/kestrel/kestrel-solve.md",
        "share/doc/kestrel/images/small-screen.png",
    };
    for (const char* f : files) EXPECT_TRUE(exists(prefix + "/" + f)) << f;
    // The program does not look for its icons in the source tree.
    EXPECT_EQ(testrun::readFile(prefix + "/bin/kestrel").find(KESTREL_SOURCE_DIR "/shell/icons"),
              std::string::npos);
    // Only the programs and the data: no icon folder beside the program.
    EXPECT_FALSE(exists(prefix + "/bin/icons"));
}

TEST_F(Installed, TheDesktopEntryStartsTheInstalledProgramWithItsIcon) {
    std::ifstream f(prefix + "/share/applications/kestrel.desktop");
    std::string line, exec, icon, type;
    bool header = false;
    while (std::getline(f, line)) {
        if (line == "[Desktop Entry]") header = true;
        if (line.rfind("Exec=", 0) == 0) exec = line.substr(5);
        if (line.rfind("Icon=", 0) == 0) icon = line.substr(5);
        if (line.rfind("Type=", 0) == 0) type = line.substr(5);
    }
    EXPECT_TRUE(header);
    EXPECT_EQ(type, "Application");
    const std::string program = exec.substr(0, exec.find(' '));
    EXPECT_TRUE(exists(prefix + "/bin/" + program)) << exec;
    EXPECT_TRUE(exists(prefix + "/share/icons/hicolor/scalable/apps/" + icon + ".svg")) << icon;
}

TEST_F(Installed, AJournalReplaysFromAnotherDirectoryWithTheBuiltInImages) {
    {
        std::ofstream j(work + "/session.journal");
        j << "# Turn the node numbers on, choose File > Exit and leave without saving.\n"
             "toggle vbltnodenumb\npress miexit\nalert 2\n";
    }
    const testrun::Outcome r = testrun::run("env -u DISPLAY -u WAYLAND_DISPLAY '" + prefix +
                                                "/bin/kestrel' --replay session.journal",
                                            work);
    EXPECT_EQ(r.status, 0) << r.err;
    // No image is read from a file: a missing one is named on stderr.
    EXPECT_EQ(r.err, "");
    // The alert of the modified frame was answered as the journal says.
    EXPECT_NE(r.out.find("Current frame has been modified."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("answer:  Discard & Exit \n"), std::string::npos) << r.out;
}

TEST_F(Installed, TheVersionAndTheSolverRunFromAnotherDirectory) {
    testrun::Outcome r = testrun::run("'" + prefix + "/bin/kestrel' --version", work);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "kestrel " KESTREL_VERSION "\n");

    const std::string data = std::string(KESTREL_TEST_DATA) + "/engine/";
    {
        std::ofstream dat(work + "/cantilever.dat", std::ios::binary);
        dat << testrun::readFile(data + "cantilever.dat");
    }
    r = testrun::run("'" + prefix + "/bin/kestrel-solve' cantilever.dat", work);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(testrun::readFile(work + "/cantilever.pos"),
              testrun::readFile(data + "cantilever.pos"));
}

} // namespace
