// Every fixed message of the neutral-file reader, produced by a malformed input. Each case runs
// Analyse in a child process, which must print the exact text on its standard output and end
// with exit status 0; the same message is returned by AnalyseCore without ending the process.
#include "analysis/engine/utl.h"
#include "neutral_model.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace kestrel::engine::test {
namespace {

// A valid model that uses every block the reader knows.
std::string base_text() {
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 1}}, {3, 0, {0, 0, 0}}};
    m.elements = {{1, 2}};
    m.inclined(2, 30);
    m.springs(2, 0, 100, 0);
    m.nodal_force(2, 0, -10, 0);
    m.prescribed(1, 0, 0.001, 0);
    m.beam_force(1, 1, 0.5, 0, -5, 0);
    m.uniform(1, 0, 0, -2);
    m.linear(1, 1, 0, 0, 0, -3);
    m.temperature(1, 5, 10);
    m.extra += "\n%NODE.OFFSET\n1\n2     1  0  0  0\n"
               "\n%NODE.FLOOR\n1\n2     1\n"
               "\n%THICKNESS\n1\n1     0.2\n"
               "\n%MATERIAL.PROPERTY.DENSITY\n1\n1     78.5\n"
               "\n%LOAD.CASE.GRAVITY\n0  -1  0\n"
               "\n%REMARK\nanything at all\n";
    return m.text();
}

// Replaces the line that follows "%label\n" (skip = 0: the count line, 1: the first record).
std::string replace_line(const std::string& text, const std::string& label, int skip,
                         const std::string& line) {
    std::string key = "%" + label + "\n";
    std::size_t at = text.find(key);
    EXPECT_NE(at, std::string::npos) << label;
    if (at == std::string::npos) return text;
    at += key.size();
    for (int i = 0; i < skip; ++i) at = text.find('\n', at) + 1;
    std::size_t end = text.find('\n', at);
    return text.substr(0, at) + line + text.substr(end);
}

std::string replace(const std::string& text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at == std::string::npos) return text;
    return text.substr(0, at) + to + text.substr(at + from.size());
}

// Runs Analyse in a child with its standard output sent to a file; returns that output.
std::string child_output(const std::string& dat) {
    std::string out = dat + ".stdout";
    EXPECT_EXIT(
        {
            if (!std::freopen(out.c_str(), "w", stdout)) std::_Exit(41);
            Analyse(dat.c_str());
            std::_Exit(42); // Analyse returned: not a fatal input
        },
        ::testing::ExitedWithCode(0), "");
    return read_file(out);
}

struct Case {
    const char* name;
    std::string text;
    const char* message;
};

std::vector<Case> cases() {
    const std::string b = base_text();
    auto count = [&](const char* label, const char* bad = "x") {
        return replace_line(b, label, 0, bad);
    };
    auto record = [&](const char* label, const char* line) {
        return replace_line(b, label, 1, line);
    };
    return {
        {"NoHeader",
         replace(replace(b, "%HEADER.TITLE", "%TITLE"), "%HEADER.ANALYSIS", "%ANALYSIS"),
         "\n\n\n\t *** No HEADER label was found in input file !!! *** \n"},
        {"NoEndLine", replace(b, "\n%END\n", "\n"),
         "\n\n\n\t *** No END label was found in input file !!! *** \n"},
        {"NoEndLabel", replace(b, "\n%END\n", "\n%RESULT\n"),
         "\n Invalid neutral file or label END doesn't exist\n\n"},
        {"AnalysisType", replace(b, "'beam3d'", "'truss2d'"),
         "\n Error on reading global analysis model type !!!\n\n"},
        {"AnalysisMissing", replace(b, "%HEADER.ANALYSIS\n'beam3d'\n", ""),
         "\n Label HEADER.ANALYSIS has not been found !!!\n\n"},
        {"NoNodes", count("NODE", "0"),
         "\nNo.of nodes, no.of elements, and no.of materials must be given!!!\n\n"},
        {"NoElements", count("ELEMENT", "0"),
         "\nNo.of nodes, no.of elements, and no.of materials must be given!!!\n\n"},
        {"NoMaterials",
         replace(replace(replace(b, "%MATERIAL\n1\n", ""),
                         "%MATERIAL.PROPERTY.THERMAL_EXPANSION\n1\n1     1e-05\n", ""),
                 "%MATERIAL.PROPERTY.DENSITY\n1\n1     78.5\n", ""),
         "\nNo.of nodes, no.of elements, and no.of materials must be given!!!\n\n"},
        {"NodeCount", count("NODE.COORD"), "\n Error on reading number of nodes !!!\n\n"},
        {"NodeRecord", record("NODE.COORD", "1     0  zero  0"),
         " Error on reading nodes coordinates !!!\n\n"},
        {"NodeDoubledSign", record("NODE.COORD", "1     0  --2  0"),
         " Error on reading nodes coordinates !!!\n\n"},
        {"NodeNumber", record("NODE.COORD", "9     0  0  0"),
         " Error on reading nodes coordinates !!!\n\n"},
        {"SupportCount", count("NODE.SUPPORT"),
         "\n Error on reading number of node supports !!!\n\n"},
        {"SupportRecord", record("NODE.SUPPORT", "1     1  1  1  1  1  y"),
         "\n Error on reading node supports !!!\n\n"},
        {"SkewCount", count("NODE.INCLINED.SUPPORT"),
         "\n Error on reading number of skew nodes !!!\n\n"},
        {"SkewRecord", record("NODE.INCLINED.SUPPORT", "2     30  60  90  120  30"),
         "\n Error on reading skew nodes !!!\n\n"},
        {"SpringCount", count("NODAL.SPRING"), "\n Error on reading number of springs !!!\n\n"},
        {"SpringRecord", record("NODAL.SPRING", "2     0  k  0  0  0  0"),
         "\n Error on reading springs !!!\n\n"},
        {"OffsetCount", count("NODE.OFFSET"), "\n Error on reading number of offset nodes !!!\n\n"},
        {"OffsetRecord", record("NODE.OFFSET", "2     1  0  0  z"),
         "\n Error on reading offset nodes !!!\n\n"},
        {"FloorCount", count("NODE.FLOOR"), "\n Error on reading number of floor nodes !!!\n\n"},
        {"FloorRecord", record("NODE.FLOOR", "2     f"), "\n Error on reading floor nodes !!!\n\n"},
        {"MaterialCount", count("MATERIAL.ISOTROPIC"),
         "\n Error on reading number of isotropic materials !!!\n\n"},
        {"MaterialRecord", record("MATERIAL.ISOTROPIC", "1     E  0"),
         "\n Error on reading isotropic materials !!!\n\n"},
        {"SectionCount", count("SECTION.PROPERTY"),
         "\n Error on reading number of sections properties !!!\n\n"},
        {"SectionRecord", record("SECTION.PROPERTY", "1     0.01  0  0  0  0  I  0  0.3  0"),
         "\n Error on reading sections properties !!!\n\n"},
        {"VectorCount", count("BEAM.ORIENTATION.VECTOR"),
         "\n Error on reading number of orientation vectors !!!\n\n"},
        {"VectorRecord", record("BEAM.ORIENTATION.VECTOR", "1     0  v  0"),
         "\n Error on reading orientation vectors !!!\n\n"},
        {"LiberationCount", count("BEAM.END.LIBERATION"),
         "\n Error on reading number of end liberations  !!!\n\n"},
        {"LiberationRecord", record("BEAM.END.LIBERATION", "1     1  1  1  1  1  1  1  1  1  1  1"),
         "\n Error on reading end liberations !!!\n\n"},
        {"ElementCount", count("ELEMENT.BEAM"),
         "\n Error on reading number of BEAM elements !!!\n\n"},
        {"ElementRecord", record("ELEMENT.BEAM", "1     1  1  1  1     1  9"),
         "\n Error on reading BEAM elements !!!\n\n"},
        {"ElementSection", record("ELEMENT.BEAM", "1     1  4  1  1     1  2"),
         "\n Error on reading BEAM elements !!!\n\n"},
        {"ForceCount", count("LOAD.CASE.NODAL.FORCE"),
         "\n Error on reading number of concentrated loads !!!\n\n"},
        {"ForceRecord", record("LOAD.CASE.NODAL.FORCE", "2     0  -10  0  0  0"),
         "\n Error on reading concentrated loads !!!\n\n"},
        {"ForcesLabel",
         replace_line(replace(b, "%LOAD.CASE.NODAL.FORCE\n", "%LOAD.CASE.NODAL.FORCES\n"),
                      "LOAD.CASE.NODAL.FORCES", 1, "2     0  -10  0  0  0  F"),
         "\n Error on reading concentrated loads !!!\n\n"},
        {"PrescribedCount", count("LOAD.CASE.NODAL.DISPLACEMENT"),
         "\n Error on reading number of prescribe displacements !!!\n\n"},
        {"PrescribedRecord", record("LOAD.CASE.NODAL.DISPLACEMENT", "1     0  d  0  0  0  0"),
         "\n Error on reading prescribed displacements !!!\n\n"},
        {"DisplacementsLabel",
         replace_line(
             replace(b, "%LOAD.CASE.NODAL.DISPLACEMENT\n", "%LOAD.CASE.NODAL.DISPLACEMENTS\n"),
             "LOAD.CASE.NODAL.DISPLACEMENTS", 1, "9     0  0.1  0  0  0  0"),
         "\n Error on reading prescribed displacements !!!\n\n"},
        {"BeamForceCount", count("LOAD.CASE.BEAM.FORCE"),
         "\n Error on reading number of beam concentrated force loads !!!\n\n"},
        {"BeamForceElement", record("LOAD.CASE.BEAM.FORCE", "7     1  0.5"),
         "\n Error on reading beam concentrated force load !!!\n\n"},
        {"UniformCount", count("LOAD.CASE.BEAM.UNIFORM"),
         "\n Error on reading number of beam force uniform loads !!!\n\n"},
        {"UniformRecord", record("LOAD.CASE.BEAM.UNIFORM", "1     0  0  one"),
         "\n Error on reading beam force uniform load !!!\n\n"},
        {"LinearCount", count("LOAD.CASE.BEAM.LINEAR"),
         "\n Error on reading number of beam force linear loads !!!\n\n"},
        {"LinearRecord", record("LOAD.CASE.BEAM.LINEAR", "3     1  0  1"),
         "\n Error on reading beam force linear load !!!\n\n"},
        {"TemperatureCount", count("LOAD.CASE.BEAM.TEMPERATURE"),
         "\n Error on reading number of beam temperature loads !!!\n\n"},
        {"TemperatureRecord", replace_line(b, "LOAD.CASE.BEAM.TEMPERATURE", 2, "5  t  0"),
         "\n Error on reading beam temperature load !!!\n\n"},
        {"DensityCount", count("MATERIAL.PROPERTY.DENSITY"),
         "\n Error on reading number of material densities !!!\n\n"},
        {"DensityMismatch", count("MATERIAL.PROPERTY.DENSITY", "2"),
         "\nNumber of material densities must be equal to  \n"
         "total number of materials in the problem  !!!  \n\n"},
        {"DensityRecord", record("MATERIAL.PROPERTY.DENSITY", "1     rho"),
         "\n Error on reading densities !!!\n\n"},
        {"ThermalCount", count("MATERIAL.PROPERTY.THERMAL_EXPANSION"),
         "\n Error on reading number of material thermal exp. props. !!!\n\n"},
        {"ThermalMismatch", count("MATERIAL.PROPERTY.THERMAL_EXPANSION", "3"),
         "\nNumber of material thermal exp. must be equal to  \n"
         "total number of materials in the problem  !!!  \n\n"},
        {"ThermalRecord", record("MATERIAL.PROPERTY.THERMAL_EXPANSION", "1     a"),
         "\n Error on reading thermal exp. prop. !!!\n\n"},
        {"ThicknessCount", count("THICKNESS"), "\n Error on reading number of thicknesses !!!\n\n"},
        {"ThicknessRecord", record("THICKNESS", "1     t"),
         "\n Error on reading thicknesses !!!\n\n"},
        {"GravityRecord", replace(b, "%LOAD.CASE.GRAVITY\n0  -1", "%LOAD.CASE.GRAVITY\n0  g"),
         "\n Error on reading gravity load !!!\n\n"},
    };
}

TEST(ReaderMessages, TheBaseModelSolves) {
    TempDir dir;
    RunResult r = run_text(dir, "base", base_text());
    EXPECT_EQ(r.code, kAnalyseSolved) << r.message;
}

TEST(ReaderMessages, CoreReturnsEachMessage) {
    TempDir dir;
    for (const Case& c : cases()) {
        RunResult r = run_text(dir, c.name, c.text);
        EXPECT_EQ(r.code, kAnalyseFatal) << c.name;
        EXPECT_EQ(r.message, c.message) << c.name;
        EXPECT_FALSE(file_exists(dir.path(std::string(c.name) + ".tmp"))) << c.name;
    }
}

TEST(ReaderMessagesDeathTest, AnalysePrintsEachMessageAndExitsWithZero) {
    TempDir dir;
    for (const Case& c : cases()) {
        std::string dat = dir.path(std::string(c.name) + ".dat");
        write_file(dat, c.text);
        EXPECT_EQ(child_output(dat), c.message) << c.name;
    }
}

TEST(ReaderMessagesDeathTest, UnreadableInputAndUnwritableOutput) {
    TempDir dir;
    EXPECT_EQ(child_output(dir.path("missing.dat")),
              "\n\n\n\t *** Error on reading Input file !!! *** \n");
    write_file(dir.path("blocked.dat"), base_text());
    std::filesystem::create_directory(dir.path("blocked.pos"));
    EXPECT_EQ(child_output(dir.path("blocked.dat")),
              "\n\n\n\t *** Error on openning Output files !!! *** \n");
}

TEST(ReaderMessagesDeathTest, SolvedAndSingularReturnToTheCaller) {
    TempDir dir;
    write_file(dir.path("ok.dat"), base_text());
    EXPECT_EXIT(std::_Exit(Analyse(dir.path("ok.dat").c_str()) == kAnalyseSolved ? 7 : 8),
                ::testing::ExitedWithCode(7), "");
}

TEST(ReaderMessagesDeathTest, AllocationFailureEndsTheProcess) {
    TempDir dir;
    write_file(dir.path("big.dat"), base_text());
    std::string out = dir.path("big.stdout");
    EXPECT_EXIT(
        {
            if (!std::freopen(out.c_str(), "w", stdout)) std::_Exit(41);
            g_utl.fail_above = 64;
            Analyse(dir.path("big.dat").c_str());
            std::_Exit(42);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(read_file(out), "Allocation failure in utl_calloc !!!\n");
}

} // namespace
} // namespace kestrel::engine::test
