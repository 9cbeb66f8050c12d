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
    m.add("\n%LOAD\n2\n\n%LOAD.CASE\n1  'Dead'\n");
    m.nodal_force(2, 0, -10, 0);
    m.prescribed(1, 0, 0.001, 0);
    m.beam_force(1, 1, 0.5, 0, -5, 0);
    m.uniform(1, 0, 0, -2);
    m.linear(1, 1, 0, 0, 0, -3);
    m.add("\n%LOAD.CASE\n2  'Imposed'\n");
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

// Runs Analyse in a child with its standard output sent to a file, its allocations limited to
// `limit` bytes; returns that output.
std::string child_output(const std::string& dat, std::size_t limit = g_utl.fail_above) {
    std::string out = dat + ".stdout";
    EXPECT_EXIT(
        {
            if (!std::freopen(out.c_str(), "w", stdout)) std::_Exit(41);
            g_utl.fail_above = limit;
            Analyse(dat.c_str());
            std::_Exit(42); // Analyse returned: not a fatal input
        },
        ::testing::ExitedWithCode(0), "");
    return readText(out);
}

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
         replace(replace(b, "%HEADER.TITLE", "%TITLE"), "%HEADER.ANALYSIS", "%ANALYSIS")},
        {"NoEndLine", replace(b, "\n%END\n", "\n")},
        {"NoEndLabel", replace(b, "\n%END\n", "\n%RESULT\n")},
        {"AnalysisType", replace(b, "'beam3d'", "'truss2d'")},
        {"AnalysisMissing", replace(b, "%HEADER.ANALYSIS\n'beam3d'\n", "")},
        {"NoNodes", count("NODE", "0")},
        {"NoElements", count("ELEMENT", "0")},
        {"NoMaterials",
         replace(replace(replace(b, "%MATERIAL\n1\n", ""),
                         "%MATERIAL.PROPERTY.THERMAL_EXPANSION\n1\n1     1e-05\n", ""),
                 "%MATERIAL.PROPERTY.DENSITY\n1\n1     78.5\n", "")},
        {"NodeCount", count("NODE.COORD")},
        {"NodeRecord", record("NODE.COORD", "1     0  zero  0")},
        {"NodeDoubledSign", record("NODE.COORD", "1     0  --2  0")},
        {"NodeNumber", record("NODE.COORD", "9     0  0  0")},
        {"SupportCount", count("NODE.SUPPORT")},
        {"SupportRecord", record("NODE.SUPPORT", "1     1  1  1  1  1  y")},
        {"SkewCount", count("NODE.INCLINED.SUPPORT")},
        {"SkewRecord", record("NODE.INCLINED.SUPPORT", "2     30  60  90  120  30")},
        {"SpringCount", count("NODAL.SPRING")},
        {"SpringRecord", record("NODAL.SPRING", "2     0  k  0  0  0  0")},
        {"OffsetCount", count("NODE.OFFSET")},
        {"OffsetRecord", record("NODE.OFFSET", "2     1  0  0  z")},
        {"FloorCount", count("NODE.FLOOR")},
        {"FloorRecord", record("NODE.FLOOR", "2     f")},
        {"MaterialCount", count("MATERIAL.ISOTROPIC")},
        {"MaterialRecord", record("MATERIAL.ISOTROPIC", "1     E  0")},
        {"SectionCount", count("SECTION.PROPERTY")},
        {"SectionRecord", record("SECTION.PROPERTY", "1     0.01  0  0  0  0  I  0  0.3  0")},
        {"VectorCount", count("BEAM.ORIENTATION.VECTOR")},
        {"VectorRecord", record("BEAM.ORIENTATION.VECTOR", "1     0  v  0")},
        {"LiberationCount", count("BEAM.END.LIBERATION")},
        {"LiberationRecord",
         record("BEAM.END.LIBERATION", "1     1  1  1  1  1  1  1  1  1  1  1")},
        {"ElementCount", count("ELEMENT.BEAM")},
        {"ElementRecord", record("ELEMENT.BEAM", "1     1  1  1  1     1  9")},
        {"ElementSection", record("ELEMENT.BEAM", "1     1  4  1  1     1  2")},
        {"ForceCount", count("LOAD.CASE.NODAL.FORCE")},
        {"ForceRecord", record("LOAD.CASE.NODAL.FORCE", "2     0  -10  0  0  0")},
        {"ForcesLabel",
         replace_line(replace(b, "%LOAD.CASE.NODAL.FORCE\n", "%LOAD.CASE.NODAL.FORCES\n"),
                      "LOAD.CASE.NODAL.FORCES", 1, "2     0  -10  0  0  0  F")},
        {"PrescribedCount", count("LOAD.CASE.NODAL.DISPLACEMENT")},
        {"PrescribedRecord", record("LOAD.CASE.NODAL.DISPLACEMENT", "1     0  d  0  0  0  0")},
        {"DisplacementsLabel",
         replace_line(
             replace(b, "%LOAD.CASE.NODAL.DISPLACEMENT\n", "%LOAD.CASE.NODAL.DISPLACEMENTS\n"),
             "LOAD.CASE.NODAL.DISPLACEMENTS", 1, "9     0  0.1  0  0  0  0")},
        {"BeamForceCount", count("LOAD.CASE.BEAM.FORCE")},
        {"BeamForceElement", record("LOAD.CASE.BEAM.FORCE", "7     1  0.5")},
        {"UniformCount", count("LOAD.CASE.BEAM.UNIFORM")},
        {"UniformRecord", record("LOAD.CASE.BEAM.UNIFORM", "1     0  0  one")},
        {"LinearCount", count("LOAD.CASE.BEAM.LINEAR")},
        {"LinearRecord", record("LOAD.CASE.BEAM.LINEAR", "3     1  0  1")},
        {"TemperatureCount", count("LOAD.CASE.BEAM.TEMPERATURE")},
        {"TemperatureRecord", replace_line(b, "LOAD.CASE.BEAM.TEMPERATURE", 2, "5  t  0")},
        {"DensityCount", count("MATERIAL.PROPERTY.DENSITY")},
        {"DensityMismatch", count("MATERIAL.PROPERTY.DENSITY", "2")},
        {"DensityRecord", record("MATERIAL.PROPERTY.DENSITY", "1     rho")},
        {"ThermalCount", count("MATERIAL.PROPERTY.THERMAL_EXPANSION")},
        {"ThermalMismatch", count("MATERIAL.PROPERTY.THERMAL_EXPANSION", "3")},
        {"ThermalRecord", record("MATERIAL.PROPERTY.THERMAL_EXPANSION", "1     a")},
        {"ThicknessCount", count("THICKNESS")},
        {"ThicknessRecord", record("THICKNESS", "1     t")},
        {"GravityRecord", replace(b, "%LOAD.CASE.GRAVITY\n0  -1", "%LOAD.CASE.GRAVITY\n0  g")},
        {"CaseCountZero", count("LOAD", "0")},
        {"CaseCountNegative", count("LOAD", "-2")},
        {"CaseCountUnbacked", count("LOAD", "100000")},
        {"CaseRecord", count("LOAD.CASE", "one  'Dead'")},
        {"CaseLabelMissing", count("LOAD.CASE", "1")},
        {"CaseLabelOpen", count("LOAD.CASE", "1  'Dead")},
        {"CaseLabelPercent", count("LOAD.CASE", "1  '50% snow'")},
        {"CaseNumberZero", count("LOAD.CASE", "0  'Dead'")},
        {"CaseNumberBeyondCount", count("LOAD.CASE", "3  'Dead'")},
    };
}

// The messages, one after "== NAME" per case, are kept in engine/reader_messages.txt.
TEST(ReaderMessages, CoreReturnsEachMessage) {
    TempDir dir;
    std::string all;
    for (const Case& c : cases()) {
        RunResult r = run_text(dir, c.name, c.text);
        EXPECT_EQ(r.code, kAnalyseFatal) << c.name;
        EXPECT_FALSE(fileExists(dir.path(std::string(c.name) + ".tmp"))) << c.name;
        all += "== " + std::string(c.name) + "\n" + r.message;
    }
    kestrel_test::expectGolden("engine", "reader_messages", all);
}

TEST(ReaderMessagesDeathTest, AnalysePrintsEachMessageAndExitsWithZero) {
    TempDir dir;
    std::string all;
    for (const Case& c : cases()) {
        std::string dat = dir.path(std::string(c.name) + ".dat");
        writeText(dat, c.text);
        all += "== " + std::string(c.name) + "\n" + child_output(dat);
    }
    kestrel_test::expectGolden("engine", "reader_messages", all);
}

// An input that cannot be read, a result file that cannot be written and an allocation that
// fails each end the process with their message; the base model solves, and Analyse returns.
TEST(ReaderMessagesDeathTest, OtherEndsOfARun) {
    TempDir dir;
    EXPECT_EQ(child_output(dir.path("missing.dat")),
              "\n\n\n\t *** Error on reading Input file !!! *** \n");
    writeText(dir.path("blocked.dat"), base_text());
    std::filesystem::create_directory(dir.path("blocked.pos"));
    EXPECT_EQ(child_output(dir.path("blocked.dat")),
              "\n\n\n\t *** Error on openning Output files !!! *** \n");
    writeText(dir.path("ok.dat"), base_text());
    EXPECT_EQ(child_output(dir.path("ok.dat"), 64), "Allocation failure in utl_calloc !!!\n");
    EXPECT_EXIT(std::_Exit(Analyse(dir.path("ok.dat").c_str()) == kAnalyseSolved ? 7 : 8),
                ::testing::ExitedWithCode(7), "");
}

} // namespace
} // namespace kestrel::engine::test
