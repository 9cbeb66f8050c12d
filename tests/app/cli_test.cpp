// The program's command line as a user meets it: --help, --version, unknown
// options, and a start without a display, which must end with a message and
// status 1 rather than an abort inside the toolkit.
#include <gtest/gtest.h>

#include "tests/app/run.h"

#include <string>
#include <sys/stat.h>

namespace {

const std::string kKestrel = std::string(KESTREL_BIN_DIR) + "/kestrel";

const std::string kUsage = "usage: kestrel [model.kst]\n"
                           "       kestrel --record JOURNAL [model.kst]\n"
                           "       kestrel --replay JOURNAL [model.kst]\n"
                           "       kestrel --export OUT MODEL.kst [--result KIND] [--size WxH]\n"
                           "       kestrel --help | --version\n";

const std::string kNoDisplay =
    "kestrel: no display\n"
    "The window needs an X11 or Wayland display: set DISPLAY or WAYLAND_DISPLAY,\n"
    "or run it under xvfb-run. Without a display:\n"
    "  kestrel --replay JOURNAL [model.kst]   replays a session journal\n"
    "  kestrel-solve MODEL.kst                analyses a model file\n"
    "  kestrel-solve FILE.dat                 analyses a neutral file\n";

// No display of any kind; each case adds what it sets.
const std::string kBare = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";

struct Case {
    const char* what;
    std::string command; // after kBare
    int status;
    std::string out, err;
};

TEST(CommandLine, OptionsAndStartsWithoutADisplay) {
    const testrun::TempDir temp("cli");
    const std::string& dir = temp.path;
    ASSERT_FALSE(dir.empty());
    const Case cases[] = {
        {"version", kKestrel + " --version", 0, "kestrel " KESTREL_VERSION "\n", ""},
        {"version wins over a display", "DISPLAY=:0 " + kKestrel + " --version extra", 0,
         "kestrel " KESTREL_VERSION "\n", ""},
        {"unknown option", kKestrel + " --frobnicate", 2, "",
         "kestrel: unknown option --frobnicate\n" + kUsage},
        {"bare double dash", kKestrel + " --", 2, "", "kestrel: unknown option --\n" + kUsage},
        {"option case matters", kKestrel + " --HELP", 2, "",
         "kestrel: unknown option --HELP\n" + kUsage},
        {"replay without a journal", kKestrel + " --replay", 2, "", kUsage},
        {"record without a journal", kKestrel + " --record", 2, "", kUsage},
        {"no argument", kKestrel, 1, "", kNoDisplay},
        {"a model file", kKestrel + " frame.kst", 1, "", kNoDisplay},
        {"a single dash is a file name", kKestrel + " -x", 1, "", kNoDisplay},
        {"an option after the file is ignored", kKestrel + " frame.kst --frobnicate", 1, "",
         kNoDisplay},
        {"record", kKestrel + " --record s.journal", 1, "", kNoDisplay},
        {"local display without a server", "DISPLAY=:93517 " + kKestrel, 1, "", kNoDisplay},
        {"unix display without a server", "DISPLAY=unix:93517.0 " + kKestrel, 1, "", kNoDisplay},
        {"malformed display", "DISPLAY=:x " + kKestrel, 1, "", kNoDisplay},
        {"X11 platform without DISPLAY", "QT_QPA_PLATFORM=xcb " + kKestrel, 1, "", kNoDisplay},
        {"Wayland platform without a compositor", "QT_QPA_PLATFORM=wayland " + kKestrel, 1, "",
         kNoDisplay},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const testrun::Outcome r = testrun::run(kBare + c.command, dir);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.err);
    }
    // The refused start wrote no journal.
    struct stat st;
    EXPECT_NE(stat((dir + "/s.journal").c_str(), &st), 0);
}

TEST(CommandLine, HelpGoesToStandardOutput) {
    const testrun::TempDir temp("cli");
    const std::string& dir = temp.path;
    ASSERT_FALSE(dir.empty());
    const testrun::Outcome r = testrun::run(kBare + kKestrel + " --help", dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind(kUsage, 0), 0u) << r.out;
    for (const char* word :
         {"--record JOURNAL", "--replay JOURNAL", "--export OUT", "--version", "kestrel-solve"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

} // namespace
