// Inputs that once broke the engine: counts that shrink or outgrow tables already checked,
// counts the file cannot back, non-finite numbers, and scratch or result names that are links,
// directories or left over. Each gets the outcome of the reading rules without touching memory
// outside its tables (the suite also runs under the sanitizers), and no run ever writes
// through a link or loses the previous result file.
#include "neutral_model.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>
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

std::string replace(std::string text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

struct Case {
    const char* name;
    std::string text;
    int code;
    const char* message; // for kAnalyseFatal
};

std::vector<Case> cases() {
    const std::string frame = cantilever().text();
    const char* nodes = "\n Error on reading number of nodes !!!\n\n";
    const char* beam_forces = "\n Error on reading number of beam concentrated force loads !!!\n\n";
    const char* elements = "\n Error on reading number of BEAM elements !!!\n\n";
    return {
        // The beam solves as written; each case below changes one thing.
        {"Reference", beam(""), kAnalyseSolved, ""},
        // A smaller coordinate block after the element that names node 2.
        {"ShrinkingCoordinates", beam("%NODE.COORD 1  1 0 0 0\n"), kAnalyseFatal, nodes},
        // A larger one is fine: node 3 is free and unconnected, hence singular.
        {"GrowingCoordinates", beam("%NODE.COORD 3  1 0 0 0  2 1 0 0  3 2 0 0\n"), kAnalyseSingular,
         ""},
        // Density and thermal tables sized for no material, then two materials.
        {"MaterialsAfterDensity",
         "%HEADER.TITLE\n%HEADER.ANALYSIS 'beam3d'\n%MATERIAL.PROPERTY.DENSITY 0\n"
         "%MATERIAL.PROPERTY.THERMAL_EXPANSION 0\n%NODE 1\n%ELEMENT 1\n%MATERIAL 2\n%END\n",
         kAnalyseSingular, ""},
        {"BeamForceCountOverflow",
         beam("%LOAD.CASE.BEAM.FORCE 2147483647\n%LOAD.CASE.BEAM.FORCE 1\n"
              "1 1 0.5 0 1 0 0 0 0\n"),
         kAnalyseFatal, beam_forces},
        {"GravityElementCountOverflow",
         beam("%LOAD.CASE.GRAVITY 0 -1 0\n%ELEMENT 2147483647\n%ELEMENT 2147483647\n"),
         kAnalyseFatal, elements},
        {"IntegerBeyondRange", beam("%LOAD.CASE.BEAM.FORCE 99999999999999999999\n"), kAnalyseFatal,
         beam_forces},
        // Counts that the file cannot back get the count message of their own block.
        {"NodeCount",
         "%HEADER.TITLE\n%HEADER.ANALYSIS 'beam3d' %NODE 30000000 %MATERIAL 1 "
         "%ELEMENT 1\n%END\n",
         kAnalyseFatal, nodes},
        {"NodeCountBillion", replace(frame, "%NODE\n2\n", "%NODE\n1000000000\n"), kAnalyseFatal,
         nodes},
        {"VectorCount", beam("%BEAM.ORIENTATION.VECTOR 1000000000\n"), kAnalyseFatal,
         "\n Error on reading number of orientation vectors !!!\n\n"},
        {"SupportCount", beam("%NODE.SUPPORT 100  1 1 1 1 1 1 1\n"), kAnalyseFatal,
         "\n Error on reading number of node supports !!!\n\n"},
        {"ElementCount", beam("%ELEMENT.BEAM 40  1 1 1 1 1 1 2\n"), kAnalyseFatal, elements},
        {"MaterialCount", beam("%MATERIAL 100\n"), kAnalyseFatal,
         "\n Error on reading number of isotropic materials !!!\n\n"},
        // Records exactly as long as the count claims are backed: 8 bytes per coordinate.
        {"CoordinatesJustBacked", beam("%NODE.COORD 2 1 0 0 0 2 1 0 0\n"), kAnalyseSolved, ""},
        {"CoordinatesOneShort", beam("%NODE.COORD 3 1 0 0 0 2 1 0 0\n"), kAnalyseFatal, nodes},
        // Non-finite numbers are malformed records of their block.
        {"NanCoordinate", replace(frame, "2     2  0  0\n", "2     nan  0  0\n"), kAnalyseFatal,
         " Error on reading nodes coordinates !!!\n\n"},
        {"InfiniteLoad", replace(frame, "2     0  -10  0", "2     0  -inf  0"), kAnalyseFatal,
         "\n Error on reading concentrated loads !!!\n\n"},
        {"OverflowingSection", beam("%SECTION.PROPERTY 1  1 1e400 0 0 1 1 1 0 0 0\n"),
         kAnalyseFatal, "\n Error on reading sections properties !!!\n\n"},
        {"InfiniteGravity", beam("%LOAD.CASE.GRAVITY 0 INF 0\n"), kAnalyseFatal,
         "\n Error on reading gravity load !!!\n\n"},
    };
}

TEST(Hardening, EachInputGetsTheOutcomeOfTheReadingRules) {
    TempDir dir;
    for (const Case& c : cases()) {
        RunResult r = run_text(dir, c.name, c.text);
        EXPECT_EQ(r.code, c.code) << c.name << ": " << r.message;
        if (c.code == kAnalyseFatal) {
            EXPECT_EQ(r.message, c.message) << c.name;
            EXPECT_FALSE(file_exists(dir.path(std::string(c.name) + ".pos"))) << c.name;
        }
        EXPECT_FALSE(file_exists(dir.path(std::string(c.name) + ".tmp"))) << c.name;
    }
    // Nothing is left beside the inputs: no scratch file, no unfinished result.
    for (const auto& entry : fs::directory_iterator(dir.path(""))) {
        const std::string ext = entry.path().extension().string();
        EXPECT_TRUE(ext == ".dat" || ext == ".pos") << entry.path();
    }
}

TEST(Hardening, ScratchNameNeverLeadsIntoAnotherFile) {
    TempDir dir;
    const std::string text = cantilever().text();
    const std::string dat = dir.path("frame.dat"), tmp = dir.path("frame.tmp");
    const std::string other = dir.path("other.txt");
    write_file(other, "keep me");
    struct {
        const char* name;
        void (*make)(const std::string& target, const std::string& link);
        int code;
    } kinds[] = {
        {"link to the input",
         [](const std::string&, const std::string& l) { fs::create_symlink("frame.dat", l); },
         kAnalyseFatal},
        {"link to another file",
         [](const std::string& t, const std::string& l) { fs::create_symlink(t, l); },
         kAnalyseFatal},
        {"dangling link",
         [](const std::string&, const std::string& l) { fs::create_symlink("nowhere", l); },
         kAnalyseFatal},
        {"directory", [](const std::string&, const std::string& l) { fs::create_directory(l); },
         kAnalyseFatal},
        {"hard link to another file",
         [](const std::string& t, const std::string& l) { fs::create_hard_link(t, l); },
         kAnalyseSolved},
        {"stale scratch file",
         [](const std::string&, const std::string& l) { write_file(l, "stale"); }, kAnalyseSolved},
    };
    for (const auto& k : kinds) {
        write_file(dat, text);
        std::error_code ec;
        fs::remove(dir.path("frame.pos"), ec);
        write_file(dir.path("frame.pos"), "previous");
        k.make(other, tmp);
        std::string message;
        EXPECT_EQ(AnalyseCore(dat.c_str(), &message), k.code) << k.name;
        EXPECT_EQ(read_file(dat), text) << k.name;
        EXPECT_EQ(read_file(other), "keep me") << k.name;
        if (k.code == kAnalyseFatal) {
            EXPECT_EQ(message, kOutputs) << k.name;
            EXPECT_EQ(read_file(dir.path("frame.pos")), "previous") << k.name;
            EXPECT_TRUE(fs::symlink_status(tmp).type() != fs::file_type::not_found) << k.name;
        } else {
            EXPECT_NE(read_file(dir.path("frame.pos")).find("%RESULT"), std::string::npos);
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

// kestrel-solve: exit status 0 solved, 2 singular, 3 malformed input; the engine's message on
// the standard output, and every failure on the standard error, naming the file.
TEST(KestrelSolve, ExitStatusMessagesAndNamedFailures) {
    TempDir dir;
    NeutralModel mechanism = cantilever();
    mechanism.elements[0].liberation = 2;
    mechanism.nodes[0].fix = {1, 1, 0};
    const struct {
        const char* name;
        std::string text;
        int status;
        const char* error;
        const char* out;
    } runs[] = {
        {"ok", cantilever().text(), 0, "", ""},
        {"mech", mechanism.text(), 2, "unstable frame: the stiffness matrix is singular",
         "Unstable frame: the stiffness matrix is singular.\n"},
        {"bad", replace(cantilever().text(), "'beam3d'", "'plate'"), 3,
         "Error on reading global analysis model type",
         "\n Error on reading global analysis model type !!!\n\n"},
        {"dens",
         replace(cantilever().text(), "%MATERIAL.PROPERTY.THERMAL_EXPANSION\n1",
                 "%MATERIAL.PROPERTY.THERMAL_EXPANSION\n2"),
         3,
         "Number of material thermal exp. must be equal to total number of materials in the "
         "problem",
         "\nNumber of material thermal exp. must be equal to  \n"
         "total number of materials in the problem  !!!  \n\n"},
    };
    for (const auto& r : runs) {
        const std::string dat = dir.path(std::string(r.name) + ".dat");
        write_file(dat, r.text);
        const std::string err = dat + ".err", out = dat + ".out";
        const std::string cmd = std::string(KESTREL_BIN_DIR) + "/kestrel-solve '" + dat + "' > '" +
                                out + "' 2> '" + err + "'";
        const int status = std::system(cmd.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << r.name;
        EXPECT_EQ(WEXITSTATUS(status), r.status) << r.name;
        const std::string expected =
            r.status == 0 ? "" : "kestrel-solve: " + dat + ": " + r.error + "\n";
        EXPECT_EQ(read_file(err), expected) << r.name;
        EXPECT_EQ(read_file(out), r.out) << r.name;
        EXPECT_EQ(file_exists(dir.path(std::string(r.name) + ".pos")), r.status != 3) << r.name;
    }
}

} // namespace
} // namespace kestrel::engine::test
