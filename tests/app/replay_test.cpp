// The program run as `kestrel --replay JOURNAL`: its standard output, its error stream and its
// exit status. The whole range of refused inputs and malformed lines is tested in the shell's
// journal tests; here each way the program ends. The transcript, with the test data folder
// written DATA and the temporary folder DIR, is app/replay.txt.
#include <gtest/gtest.h>

#include "tests/app/run.h"
#include "tests/support/golden.h"

#include <fstream>
#include <string>

namespace {

TEST(Replay, StatusOutputAndErrorOfEachEnd) {
    const testrun::TempDir dir("replay");
    ASSERT_FALSE(dir.path.empty());
    const std::string data = KESTREL_TEST_DATA "/shell";
    const std::string journals[] = {
        data + "/node_numbers_exit.journal portal.kst",
        data + "/malformed.journal",
        data + "/no-such.journal",
        dir.path,
        // Nothing after a refused input runs: no save question is printed.
        "toggle vbltnodenumb\npress aboutclose\npress miexit\nalert 2\n",
        // Control bytes of a line reach the terminal escaped.
        "toggle vbltnodenumb\npress mi\x1b[2J\x7f \"x\"\n",
        // The question is printed once, then the unanswered alert.
        "toggle vbltnodenumb\npress miexit\n",
    };
    std::string all;
    for (std::string args : journals) {
        if (args.find('\n') != std::string::npos) {
            std::ofstream(dir.path + "/j.journal", std::ios::binary) << args;
            args = "j.journal";
        }
        const testrun::Outcome r =
            testrun::run(KESTREL_BIN_DIR "/kestrel --replay " + args, dir.path);
        all += "== kestrel --replay " + args + ": status " + std::to_string(r.status) +
               "\n-- out\n" + r.out + "-- err\n" + r.err;
    }
    for (const auto& [from, to] : {std::pair{data, std::string("DATA")}, {dir.path, "DIR"}})
        for (std::size_t at; (at = all.find(from)) != std::string::npos;)
            all.replace(at, from.size(), to);
    kestrel_test::expectGolden("app", "replay", all);
}

} // namespace
