// Inputs that once broke the engine: counts that shrink or outgrow tables already checked,
// counts the file cannot back, non-finite numbers, and scratch or result names that are links,
// directories or left over. Each gets the outcome of the reading rules without touching memory
// outside its tables (the suite also runs under the sanitizers), and no run ever writes
// through a link or loses the previous result file.
#include "neutral_model.h"
#include "tests/app/run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <unistd.h>

namespace kestrel::engine::test {
namespace {

namespace fs = std::filesystem;

const char* const kOutputs = "\n\n\n\t *** Error on openning Output files !!! *** \n";

// A one-member frame written compactly, as the reproducers were; tail goes before "%END".
std::string beam(const std::string& tail) {
    return "%HEADER.TITLE\n%HEADER.ANALYSIS 'beam3d' %NODE 2 %MATERIAL 1 %ELEMENT 1\n"
           "%NODE.COORD 2  1 0 0 0  2 1 0 0\n%MATERIAL.ISOTROPIC 1  1 1 0\n"
           "%SECTION.PROPERTY 1  1 1 0 0 1 1 1 0 0 0\n%BEAM.ORIENTATION.VECTOR 1  1 0 1 0\n"
           "%BEAM.END.LIBERATION 1  1 1 1 1 1 1 1 1 1 1 1 1 1\n"
           "%NODE.SUPPORT 1  1 1 1 1 1 1 1\n%ELEMENT.BEAM 1  1 1 1 1 1 1 2\n" +
           tail + "%END\n";
}

std::vector<Case> cases() {
    const std::string frame = cantilever().text();
    return {
        // The beam solves as written; each case below changes one thing.
        {"Reference", beam("")},
        // A smaller coordinate block after the element that names node 2.
        {"ShrinkingCoordinates", beam("%NODE.COORD 1  1 0 0 0\n")},
        // A larger one is fine: node 3 is free and unconnected, hence singular.
        {"GrowingCoordinates", beam("%NODE.COORD 3  1 0 0 0  2 1 0 0  3 2 0 0\n")},
        // Density and thermal tables sized for no material, then two materials.
        {"MaterialsAfterDensity",
         "%HEADER.TITLE\n%HEADER.ANALYSIS 'beam3d'\n%MATERIAL.PROPERTY.DENSITY 0\n"
         "%MATERIAL.PROPERTY.THERMAL_EXPANSION 0\n%NODE 1\n%ELEMENT 1\n%MATERIAL 2\n%END\n"},
        {"BeamForceCountOverflow",
         beam("%LOAD.CASE.BEAM.FORCE 2147483647\n%LOAD.CASE.BEAM.FORCE 1\n"
              "1 1 0.5 0 1 0 0 0 0\n")},
        {"GravityElementCountOverflow",
         beam("%LOAD.CASE.GRAVITY 0 -1 0\n%ELEMENT 2147483647\n%ELEMENT 2147483647\n")},
        {"IntegerBeyondRange", beam("%LOAD.CASE.BEAM.FORCE 99999999999999999999\n")},
        // Counts that the file cannot back get the count message of their own block.
        {"NodeCount", "%HEADER.TITLE\n%HEADER.ANALYSIS 'beam3d' %NODE 30000000 %MATERIAL 1 "
                      "%ELEMENT 1\n%END\n"},
        {"NodeCountBillion", replace(frame, "%NODE\n2\n", "%NODE\n1000000000\n")},
        {"VectorCount", beam("%BEAM.ORIENTATION.VECTOR 1000000000\n")},
        {"SupportCount", beam("%NODE.SUPPORT 100  1 1 1 1 1 1 1\n")},
        {"ElementCount", beam("%ELEMENT.BEAM 40  1 1 1 1 1 1 2\n")},
        {"MaterialCount", beam("%MATERIAL 100\n")},
        // Records exactly as long as the count claims are backed: 8 bytes per coordinate.
        {"CoordinatesJustBacked", beam("%NODE.COORD 2 1 0 0 0 2 1 0 0\n")},
        {"CoordinatesOneShort", beam("%NODE.COORD 3 1 0 0 0 2 1 0 0\n")},
        // Non-finite numbers are malformed records of their block.
        {"NanCoordinate", replace(frame, "2     2  0  0\n", "2     nan  0  0\n")},
        {"InfiniteLoad", replace(frame, "2     0  -10  0", "2     0  -inf  0")},
        {"OverflowingSection", beam("%SECTION.PROPERTY 1  1 1e400 0 0 1 1 1 0 0 0\n")},
        {"InfiniteGravity", beam("%LOAD.CASE.GRAVITY 0 INF 0\n")},
    };
}

// The outcome of each case, whether it left a result file, and the message of a fatal one are
// kept in engine/hardening.txt. No run leaves a scratch file, and the input stays as written.
TEST(Hardening, EachInputGetsTheOutcomeOfTheReadingRules) {
    TempDir dir;
    std::string all;
    for (const Case& c : cases()) {
        RunResult r = run_text(dir, c.name, c.text);
        const char* outcome = r.code == kAnalyseSolved     ? "solved"
                              : r.code == kAnalyseSingular ? "singular"
                              : r.code == kAnalyseFatal    ? "fatal"
                                                           : "?";
        all += "== " + std::string(c.name) + ": " + outcome +
               (fileExists(dir.path(std::string(c.name) + ".pos")) ? ", result file\n" : "\n") +
               r.message;
        EXPECT_EQ(readText(dir.path(std::string(c.name) + ".dat")), c.text) << c.name;
        EXPECT_FALSE(fileExists(dir.path(std::string(c.name) + ".tmp"))) << c.name;
    }
    kestrel_test::expectGolden("engine", "hardening", all);
    // Nothing is left beside the inputs: no scratch file, no unfinished result.
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        const std::string ext = entry.path().extension().string();
        EXPECT_TRUE(ext == ".dat" || ext == ".pos") << entry.path();
    }
}

TEST(Hardening, ScratchNameNeverLeadsIntoAnotherFile) {
    TempDir dir;
    const std::string text = cantilever().text();
    const std::string dat = dir.path("frame.dat"), tmp = dir.path("frame.tmp");
    const std::string other = dir.path("other.txt");
    writeText(other, "keep me");
    const struct {
        const char* name;
        std::function<void()> make;
        int code;
    } kinds[] = {
        {"link to the input", [&] { fs::create_symlink("frame.dat", tmp); }, kAnalyseFatal},
        {"link to another file", [&] { fs::create_symlink(other, tmp); }, kAnalyseFatal},
        {"dangling link", [&] { fs::create_symlink("nowhere", tmp); }, kAnalyseFatal},
        {"directory", [&] { fs::create_directory(tmp); }, kAnalyseFatal},
        {"hard link to another file", [&] { fs::create_hard_link(other, tmp); }, kAnalyseSolved},
        {"stale scratch file", [&] { writeText(tmp, "stale"); }, kAnalyseSolved},
    };
    for (const auto& k : kinds) {
        writeText(dat, text);
        std::error_code ec;
        fs::remove(dir.path("frame.pos"), ec);
        writeText(dir.path("frame.pos"), "previous");
        k.make();
        std::string message;
        EXPECT_EQ(AnalyseCore(dat.c_str(), &message), k.code) << k.name;
        EXPECT_EQ(readText(dat), text) << k.name;
        EXPECT_EQ(readText(other), "keep me") << k.name;
        if (k.code == kAnalyseFatal) {
            EXPECT_EQ(message, kOutputs) << k.name;
            EXPECT_EQ(readText(dir.path("frame.pos")), "previous") << k.name;
            EXPECT_TRUE(fs::symlink_status(tmp).type() != fs::file_type::not_found) << k.name;
        } else {
            EXPECT_NE(readText(dir.path("frame.pos")).find("%RESULT"), std::string::npos);
            EXPECT_FALSE(fs::exists(fs::symlink_status(tmp))) << k.name;
        }
        fs::remove_all(tmp, ec);
    }
}

TEST(Hardening, AFailedRunKeepsThePreviousResultFile) {
    TempDir dir;
    RunResult good = run_text(dir, "frame", cantilever().text());
    ASSERT_EQ(good.code, kAnalyseSolved);
    RunResult bad = run_text(dir, "frame", replace(cantilever().text(), "'beam3d'", "'plate'"));
    EXPECT_EQ(bad.code, kAnalyseFatal);
    EXPECT_EQ(bad.pos, good.pos);
    // The replaced result file gets the permissions a plain new file would have.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const auto perms = fs::status(dir.path("frame.pos")).permissions();
    EXPECT_EQ(static_cast<mode_t>(perms), 0666 & ~mask);
}

// kestrel-solve on neutral files: exit status 0 solved, 2 singular, 3 malformed input; the
// engine's message on the standard output, every failure on the standard error naming the file,
// and a result file unless the input was malformed. The transcript is engine/kestrel_solve.txt.
TEST(KestrelSolve, ExitStatusMessagesAndNamedFailures) {
    TempDir dir;
    NeutralModel mechanism = cantilever();
    mechanism.elements[0].liberation = 2;
    mechanism.nodes[0].fix = {1, 1, 0};
    const std::pair<const char*, std::string> runs[] = {
        {"ok", cantilever().text()},
        {"mech", mechanism.text()},
        {"bad", replace(cantilever().text(), "'beam3d'", "'plate'")},
        {"dens", replace(cantilever().text(), "%MATERIAL.PROPERTY.THERMAL_EXPANSION\n1",
                         "%MATERIAL.PROPERTY.THERMAL_EXPANSION\n2")},
    };
    std::string all;
    for (const auto& [name, text] : runs) {
        writeText(dir.path(std::string(name) + ".dat"), text);
        const testrun::Outcome r = testrun::run(
            KESTREL_BIN_DIR "/kestrel-solve " + std::string(name) + ".dat", dir.path());
        all += "== " + std::string(name) + ".dat: status " + std::to_string(r.status) +
               (fileExists(dir.path(std::string(name) + ".pos")) ? ", result file" : "") +
               "\n-- out\n" + r.out + "-- err\n" + r.err;
    }
    kestrel_test::expectGolden("engine", "kestrel_solve", all);
}

} // namespace
} // namespace kestrel::engine::test
