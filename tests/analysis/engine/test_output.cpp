// Exact text of the result file, file names and the scratch file. What the writer wrote is read
// back through the result-section parser in the analysis driver's tests.
#include "neutral_model.h"

#include <gtest/gtest.h>

namespace kestrel::engine::test {
namespace {

std::string result_section(const std::string& pos) {
    std::size_t at = pos.find("\n%RESULT\n");
    return at == std::string::npos ? std::string() : pos.substr(at);
}

TEST(ResultFile, CantileverMatchesReferenceAndReadsBackAsInput) {
    TempDir dir;
    std::string dat = readText(KESTREL_TEST_DATA "/engine/cantilever.dat");
    ASSERT_FALSE(dat.empty());
    RunResult r = run_text(dir, "cantilever", dat);
    ASSERT_EQ(r.code, kAnalyseSolved) << r.message;
    EXPECT_EQ(r.pos, readText(KESTREL_TEST_DATA "/engine/cantilever.pos"));
    // The result file fed back as input reproduces its results.
    RunResult again = run_text(dir, "again", r.pos);
    ASSERT_EQ(again.code, kAnalyseSolved) << again.message;
    EXPECT_EQ(result_section(again.pos), result_section(r.pos));
}

// The result sections of frames whose results take each form: a load straight into a fixed
// support (zero displacements, no element blocks), a truss (the axial kind alone, two values),
// all three kinds in their table order, and a prescribed displacement rounded to four
// significant digits. They are kept, each after "== NAME", in engine/result_sections.txt.
TEST(ResultFile, SectionsOfEachFormOfResult) {
    NeutralModel support = beam(2, "111", "000");
    support.nodal_force(1, 5, -10, 3);
    NeutralModel truss;
    truss.nodes = {{0, 0, {1, 1, 1}}, {8, 0, {1, 1, 1}}, {4, 3, {0, 0, 1}}};
    truss.elements = {{1, 3, 1, 4}, {2, 3, 1, 4}};
    truss.nodal_force(3, 0, -24, 0);
    NeutralModel kinds = cantilever();
    kinds.nodal_force(2, 3, -10, 0);
    NeutralModel rounded = cantilever();
    rounded.nodes[1].fix = {1, 1, 1};
    rounded.prescribed(2, 0, 0.00123456, 0);
    const std::pair<const char*, const NeutralModel*> frames[] = {
        {"load into a fixed support", &support},
        {"truss", &truss},
        {"all kinds", &kinds},
        {"prescribed", &rounded}};
    TempDir dir;
    std::string all;
    for (const auto& [name, m] : frames) {
        RunResult r = run_model(dir, *m);
        EXPECT_EQ(r.code, kAnalyseSolved) << name << r.message;
        all += "== " + std::string(name) + result_section(r.pos);
        if (m == &support) {
            EXPECT_FALSE(r.section.has_axial || r.section.has_shear || r.section.has_bending);
            EXPECT_TRUE(r.section.elements.empty());
        }
    }
    kestrel_test::expectGolden("engine", "result_sections", all);
}

TEST(FileNames, ScratchAndResultNamesComeFromTheInputName) {
    auto names = [](const char* input) {
        EngineFileNames n;
        return DeriveFileNames(input, &n) ? n.dat + " " + n.pos + " " + n.tmp : "refused";
    };
    EXPECT_EQ(names("/x/frame.dat"), "/x/frame.dat /x/frame.pos /x/frame.tmp");
    EXPECT_EQ(names("model.kst"), "model.dat model.pos model.tmp");
    EXPECT_EQ(names("abc"), "refused");
    EXPECT_EQ(names(nullptr), "refused");
}

// Without a readable input the engine stops before opening anything: a file that merely has
// the scratch name belongs to someone else and stays. Given another extension, the engine reads
// the .dat file.
TEST(FileNames, TheEngineOpensTheFilesOfTheDatName) {
    TempDir dir;
    writeText(dir.path("frame.tmp"), "not ours");
    std::string message;
    EXPECT_EQ(AnalyseCore(dir.path("frame.dat").c_str(), &message), kAnalyseFatal);
    EXPECT_EQ(message, "\n\n\n\t *** Error on reading Input file !!! *** \n");
    EXPECT_EQ(readText(dir.path("frame.tmp")), "not ours");
    EXPECT_FALSE(fileExists(dir.path("frame.pos")));
    writeText(dir.path("frame.dat"), cantilever().text());
    EXPECT_EQ(AnalyseCore(dir.path("frame.kst").c_str(), &message), kAnalyseSolved) << message;
    EXPECT_TRUE(fileExists(dir.path("frame.pos")));
}

} // namespace
} // namespace kestrel::engine::test
