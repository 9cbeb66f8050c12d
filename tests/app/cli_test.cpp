// The program's command line as a user meets it: --help, --version, unknown options, and a
// start without a display, which must end with a message and status 1 rather than an abort
// inside the toolkit. The transcript, the version written VERSION, is app/command_line.txt.
#include <gtest/gtest.h>

#include "tests/app/run.h"
#include "tests/support/golden.h"

#include <string>
#include <sys/stat.h>

namespace {

TEST(CommandLine, OptionsAndStartsWithoutADisplay) {
    const testrun::TempDir temp("cli");
    ASSERT_FALSE(temp.path.empty());
    const struct {
        const char* what;
        const char* environment; // besides no display of any kind
        const char* args;
    } cases[] = {
        {"help", "", " --help"},
        {"version", "", " --version"},
        {"version wins over a display", "DISPLAY=:0", " --version extra"},
        {"unknown option", "", " --frobnicate"},
        {"bare double dash", "", " --"},
        {"option case matters", "", " --HELP"},
        {"replay without a journal", "", " --replay"},
        {"record without a journal", "", " --record"},
        {"no argument", "", ""},
        {"a model file", "", " frame.kst"},
        {"a single dash is a file name", "", " -x"},
        {"an option after the file is ignored", "", " frame.kst --frobnicate"},
        {"record", "", " --record s.journal"},
        {"local display without a server", "DISPLAY=:93517", ""},
        {"unix display without a server", "DISPLAY=unix:93517.0", ""},
        {"malformed display", "DISPLAY=:x", ""},
        {"X11 platform without DISPLAY", "QT_QPA_PLATFORM=xcb", ""},
        {"Wayland platform without a compositor", "QT_QPA_PLATFORM=wayland", ""},
    };
    std::string all;
    for (const auto& c : cases) {
        const testrun::Outcome r =
            testrun::run(std::string("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ") +
                             c.environment + " " KESTREL_BIN_DIR "/kestrel" + c.args,
                         temp.path);
        all += "== " + std::string(c.what) + ": " + c.environment + (*c.environment ? " " : "") +
               "kestrel" + c.args + ": status " + std::to_string(r.status) + "\n-- out\n" + r.out +
               "-- err\n" + r.err;
    }
    for (std::size_t at; (at = all.find(" " KESTREL_VERSION "\n")) != std::string::npos;)
        all.replace(at + 1, std::string(KESTREL_VERSION).size(), "VERSION");
    kestrel_test::expectGolden("app", "command_line", all);
    // The refused start wrote no journal.
    struct stat st;
    EXPECT_NE(stat((temp.path + "/s.journal").c_str(), &st), 0);
}

} // namespace
