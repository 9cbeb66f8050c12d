// The program run as `kestrel --replay JOURNAL`: its standard output, its
// error stream and its exit status.
#include <gtest/gtest.h>

#include <cstdio>
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
    EXPECT_EQ(r.out,
              "kestrel: " + kData + "malformed.journal:3: expected \"alert BUTTON (0 to 3)\"\n");
}

TEST(Replay, AMissingJournalFails) {
    Outcome r = kestrel("--replay " + kData + "no-such.journal");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("cannot read the journal"), std::string::npos) << r.out;
}

TEST(Replay, MissingJournalNameIsAUsageError) {
    Outcome r = kestrel("--replay");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.rfind("usage: kestrel", 0), 0u) << r.out;
}

} // namespace
