// The program run as `kestrel --replay JOURNAL`: its standard output, its
// error stream and its exit status. The whole range of refused inputs and
// malformed lines is tested in the shell's journal tests; here each way the
// program ends.
#include <gtest/gtest.h>

#include "tests/app/run.h"

#include <fstream>
#include <string>

namespace {

const std::string kKestrel = std::string(KESTREL_BIN_DIR) + "/kestrel --replay ";
const std::string kData = std::string(KESTREL_TEST_DATA) + "/shell/";
const std::string kQuestion =
    "alert [ Kestrel Alert ]: \n    Current frame has been modified.      \n"
    "          Save current changes?           \n\n"
    " {  Save As & Exit   |  Discard & Exit  |      Cancel     }\n";

TEST(Replay, StatusOutputAndErrorOfEachEnd) {
    const testrun::TempDir dir("replay");
    ASSERT_FALSE(dir.path.empty());
    struct Case {
        std::string journal; // a file, or the lines of j.journal
        int status;
        std::string out, err;
    } cases[] = {
        {kData + "node_numbers_exit.journal portal.kst", 0,
         kQuestion + "answer:  Discard & Exit \n", ""},
        {kData + "malformed.journal", 2, "",
         "kestrel: " + kData +
             "malformed.journal:3: expected \"alert BUTTON (0 to 3)\" in \"alert\"\n"},
        {kData + "no-such.journal", 2, "",
         "kestrel: " + kData + "no-such.journal: cannot read the journal\n"},
        {dir.path, 2, "", "kestrel: " + dir.path + ": is a directory, not a journal\n"},
        // Nothing after a refused input runs: no save question is printed.
        {"toggle vbltnodenumb\npress aboutclose\npress miexit\nalert 2\n", 2, "",
         "kestrel: j.journal:2: \"aboutclose\" is not shown\n"},
        // Control bytes of a line reach the terminal escaped.
        {"toggle vbltnodenumb\npress mi\x1b[2J\x7f \"x\"\n", 2, "",
         "kestrel: j.journal:2: expected \"press ELEMENT\" in \"press mi\\x1B[2J\\x7F "
         "\\\"x\\\"\"\n"},
        // The question is printed once, then the unanswered alert.
        {"toggle vbltnodenumb\npress miexit\n", 2, kQuestion,
         "kestrel: j.journal:2: unanswered alert: Current frame has been modified. Save current "
         "changes?\n"},
    };
    for (const Case& c : cases) {
        std::string args = c.journal;
        if (c.journal.find('\n') != std::string::npos) {
            std::ofstream(dir.path + "/j.journal", std::ios::binary) << c.journal;
            args = "j.journal";
        }
        const testrun::Outcome r = testrun::run(kKestrel + args, dir.path);
        EXPECT_EQ(r.status, c.status) << args;
        EXPECT_EQ(r.out, c.out) << args;
        EXPECT_EQ(r.err, c.err) << args;
    }
}

} // namespace
