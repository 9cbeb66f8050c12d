// The program run as `kestrel --replay JOURNAL`: its standard output, its
// error stream and its exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs the program with the arguments; stderr goes to stdout after a marker.
Outcome kestrel(const std::string& args) {
    std::string cmd = std::string(KESTREL_BIN_DIR) + "/kestrel " + args + " 2>&1";
    Outcome r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[512];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

const std::string kData = std::string(KESTREL_TEST_DATA) + "/shell/";

TEST(Replay, ExitAfterAToggleDiscardingPrintsTheAlertAndEndsWithZero) {
    Outcome r = kestrel("--replay " + kData + "node_numbers_exit.journal examples/portal.kst");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "alert [ Kestrel Alert ]: \n    Current frame has been modified.      \n"
                     "          Save current changes?           \n\n"
                     " {  Save As & Exit   |  Discard & Exit  |      Cancel     }\n"
                     "answer:  Discard & Exit \n");
}

TEST(Replay, AMalformedLineFailsWithItsLineNumber) {
    Outcome r = kestrel("--replay " + kData + "malformed.journal");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "kestrel: " + kData +
                         "malformed.journal:3: expected \"alert BUTTON (0 to 3)\" in \"alert\"\n");
}

TEST(Replay, AMissingJournalFails) {
    Outcome r = kestrel("--replay " + kData + "no-such.journal");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("cannot read the journal"), std::string::npos) << r.out;
}

TEST(Replay, ADirectoryIsNoJournal) {
    const std::string dir = ::testing::TempDir();
    Outcome r = kestrel("--replay " + dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "kestrel: " + dir + ": is a directory, not a journal\n");
}

// Refused inputs and malformed lines end the program with status 2 and one
// line naming the journal and the line; nothing after them runs (no save
// question is printed). The whole range of refusals is tested in the shell's
// journal tests.
TEST(Replay, InputsNoUserCouldGiveEndWithStatusTwoAndTheLine) {
    struct Case {
        std::string journal;
        std::string error; // after "kestrel: FILE:"
    };
    const Case cases[] = {
        {"toggle vbltnodenumb\npress aboutclose\n", "2: \"aboutclose\" is not shown"},
        {"toggle vbltnodenumb\nselect caselist 4294967297\n",
         "2: expected \"select ELEMENT ITEM\" in \"select caselist 4294967297\""},
        {"toggle vbltnodenumb\npress mi\x1b[2J\x7f \"x\"\n",
         "2: expected \"press ELEMENT\" in \"press mi\\x1B[2J\\x7F \\\"x\\\"\""},
    };
    const std::string path = ::testing::TempDir() + "refused.journal";
    for (const Case& c : cases) {
        std::ofstream(path, std::ios::binary) << c.journal << "press miexit\nalert 2\n";
        Outcome r = kestrel("--replay " + path);
        EXPECT_EQ(r.status, 2) << c.journal;
        EXPECT_EQ(r.out, "kestrel: " + path + ":" + c.error + "\n");
    }
    std::remove(path.c_str());
}

TEST(Replay, AnUnansweredDialogIsReportedOnce) {
    const std::string path = ::testing::TempDir() + "unanswered.journal";
    std::ofstream(path) << "toggle vbltnodenumb\npress miexit\n";
    Outcome r = kestrel("--replay " + path);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "alert [ Kestrel Alert ]: \n    Current frame has been modified.      \n"
                     "          Save current changes?           \n\n"
                     " {  Save As & Exit   |  Discard & Exit  |      Cancel     }\n"
                     "kestrel: " +
                         path +
                         ":2: unanswered alert: Current frame has been modified. Save current "
                         "changes?\n");
    std::remove(path.c_str());
}

TEST(Replay, MissingJournalNameIsAUsageError) {
    Outcome r = kestrel("--replay");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.rfind("usage: kestrel", 0), 0u) << r.out;
}

} // namespace
