// `cmake --install` into a temporary prefix, then the installed programs run
// from another directory: a journal replay with every image of the windows
// found inside the program, --version, and kestrel-solve on a reference model.
#include <gtest/gtest.h>

#include "tests/app/run.h"
#include "tests/support/golden.h"

#include <fstream>
#include <memory>
#include <string>

namespace {

class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefixDir = std::make_unique<testrun::TempDir>("prefix");
        workDir = std::make_unique<testrun::TempDir>("elsewhere");
        prefix = prefixDir->path;
        work = workDir->path;
        ASSERT_FALSE(prefix.empty() || work.empty());
        const testrun::Outcome r = testrun::run(
            "'" KESTREL_CMAKE "' --install '" KESTREL_BUILD_DIR "' --prefix '" + prefix + "'",
            work);
        ASSERT_EQ(r.status, 0) << r.out << r.err;
    }
    static void TearDownTestSuite() {
        prefixDir.reset();
        workDir.reset();
    }
    static std::unique_ptr<testrun::TempDir> prefixDir, workDir;
    static std::string prefix, work;
};
std::unique_ptr<testrun::TempDir> Installed::prefixDir, Installed::workDir;
std::string Installed::prefix, Installed::work;

// The desktop entry (app/desktop-entry.txt) starts the installed program and names the
// installed icon.
TEST_F(Installed, FilesAndTheDesktopEntryWithItsIcon) {
    for (const char* f : {"bin/kestrel", "bin/kestrel-solve", "share/doc/kestrel/README.md",
                          "share/doc/kestrel/journal.md", "share/doc/kestrel/kestrel-solve.md",
                          "share/doc/kestrel/images/small-screen.png",
                          "share/icons/hicolor/scalable/apps/kestrel.svg"})
        EXPECT_TRUE(kestrel_test::fileExists(prefix + "/" + f)) << f;
    kestrel_test::expectGolden("app", "desktop-entry",
                               testrun::readFile(prefix + "/share/applications/kestrel.desktop"));
    // The program does not look for its icons in the source tree.
    EXPECT_EQ(testrun::readFile(prefix + "/bin/kestrel").find(KESTREL_SOURCE_DIR "/shell/icons"),
              std::string::npos);
}

TEST_F(Installed, TheProgramsRunFromAnotherDirectory) {
    std::ofstream(work + "/session.journal") << "toggle vbltnodenumb\npress miexit\nalert 2\n";
    testrun::Outcome r = testrun::run("env -u DISPLAY -u WAYLAND_DISPLAY '" + prefix +
                                          "/bin/kestrel' --replay session.journal",
                                      work);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, ""); // an image missing from the program would be named here
    EXPECT_NE(r.out.find("answer:  Discard & Exit \n"), std::string::npos) << r.out;

    r = testrun::run("'" + prefix + "/bin/kestrel' --version", work);
    EXPECT_EQ(r.out, "kestrel " KESTREL_VERSION "\n");

    const std::string data = std::string(KESTREL_TEST_DATA) + "/engine/";
    std::ofstream(work + "/cantilever.dat", std::ios::binary)
        << testrun::readFile(data + "cantilever.dat");
    r = testrun::run("'" + prefix + "/bin/kestrel-solve' cantilever.dat", work);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(testrun::readFile(work + "/cantilever.pos"),
              testrun::readFile(data + "cantilever.pos"));
}

} // namespace
