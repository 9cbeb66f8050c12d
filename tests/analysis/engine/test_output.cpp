// Exact text of the result file, file names, the scratch file, and the result-section parser
// reading back what the writer wrote.
#include "neutral_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

namespace kestrel::engine::test {
namespace {

const char* const kHeader = "%HEADER     \n"
                            "Neutral file created by Bracer module of KESTREL program\n"
                            "\n%HEADER.VERSION     \n"
                            "2.11 - Aug/2002\n\n";

std::string result_section(const std::string& pos) {
    std::size_t at = pos.find("\n%RESULT\n");
    return at == std::string::npos ? std::string() : pos.substr(at);
}

TEST(ResultFile, CantileverMatchesReference) {
    TempDir dir;
    std::string dat = read_file(KESTREL_TEST_DATA "/engine/cantilever.dat");
    ASSERT_FALSE(dat.empty());
    RunResult r = run_text(dir, "cantilever", dat);
    ASSERT_EQ(r.code, kAnalyseSolved) << r.message;
    EXPECT_EQ(r.pos, read_file(KESTREL_TEST_DATA "/engine/cantilever.pos"));
}

TEST(ResultFile, HeaderReplacesTitleAndModelIsCopied) {
    TempDir dir;
    NeutralModel m = cantilever();
    std::string dat = m.text();
    RunResult r = run_text(dir, "frame", dat);
    ASSERT_EQ(r.code, kAnalyseSolved);
    ASSERT_EQ(r.pos.substr(0, std::strlen(kHeader)), kHeader);
    EXPECT_EQ(r.pos.find("Two-Dimensional Analysis of a Frame"), std::string::npos);
    EXPECT_EQ(r.pos.find("%HEADER.TITLE"), std::string::npos);
    // Everything after the title line up to "%END" is copied verbatim.
    std::size_t from = dat.find("\n%HEADER.ANALYSIS");
    std::size_t to = dat.find("%END");
    std::string model = dat.substr(from, to - from);
    EXPECT_EQ(r.pos.substr(std::strlen(kHeader), model.size()), model);
    EXPECT_EQ(r.pos.substr(r.pos.size() - 6), "\n%END\n");
}

TEST(ResultFile, DisplacementsCarryFourSignificantDigits) {
    TempDir dir;
    NeutralModel m = cantilever();
    m.nodes[1].fix = {1, 1, 1};
    m.prescribed(2, 0, 0.00123456, 0);
    RunResult r = run_text(dir, "frame", m.text());
    ASSERT_EQ(r.code, kAnalyseSolved);
    EXPECT_NE(r.pos.find("\n     2    +0.000e+00  +1.235e-03  +0.000e+00"), std::string::npos)
        << r.pos;
}

TEST(ResultFile, LoadIntoFixedSupportWritesZerosAndNoElementBlocks) {
    TempDir dir;
    NeutralModel m = beam(2, "111", "000");
    m.nodal_force(1, 5, -10, 3);
    RunResult r = run_text(dir, "frame", m.text());
    ASSERT_EQ(r.code, kAnalyseSolved);
    const std::string zeros = "  +0.000e+00  +0.000e+00  +0.000e+00  +0.000e+00  +0.000e+00"
                              "  +0.000e+00\n";
    EXPECT_EQ(result_section(r.pos), "\n%RESULT\n1\n1   'Static_Load'\n"
                                     "\n%RESULT.CASE \n1   1\n   1  'Step_1'  0.000   0.000"
                                     "\n\n%RESULT.CASE.STEP\n1\n\n"
                                     "\n%RESULT.CASE.STEP.NODAL.DISPLACEMENT "
                                     "\n     2   'Displacements' \n"
                                     "     1  " +
                                         zeros + "     2  " + zeros + "\n%END\n");
    EXPECT_FALSE(r.section.has_axial || r.section.has_shear || r.section.has_bending);
    EXPECT_TRUE(r.section.elements.empty());
}

TEST(ResultFile, TrussWritesOnlyAxialKindWithTwoValues) {
    TempDir dir;
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 1}}, {8, 0, {1, 1, 1}}, {4, 3, {0, 0, 1}}};
    m.elements = {{1, 3, 1, 4}, {2, 3, 1, 4}};
    m.nodal_force(3, 0, -24, 0);
    RunResult r = run_text(dir, "frame", m.text());
    ASSERT_EQ(r.code, kAnalyseSolved);
    EXPECT_NE(r.pos.find("\n%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR\n   1\n  'SIGMA_XX '\n"
                         "\n%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR.DATA\n   2\n"
                         "   1\n   +2.00000e+01\n   -2.00000e+01\n"
                         "   2\n   +2.00000e+01\n   -2.00000e+01\n\n%END\n"),
              std::string::npos)
        << r.pos;
}

TEST(ResultFile, PresentKindsFollowTableOrder) {
    TempDir dir;
    NeutralModel m = cantilever();
    m.nodal_force(2, 3, -10, 0);
    RunResult r = run_text(dir, "frame", m.text());
    ASSERT_EQ(r.code, kAnalyseSolved);
    EXPECT_NE(r.pos.find("\n   3\n  'SIGMA_XX '  'SIGMA_YY '  'MOMENT_Z '\n"), std::string::npos);
}

TEST(FileNames, ScratchAndResultNamesComeFromTheInputName) {
    EngineFileNames n;
    ASSERT_TRUE(DeriveFileNames("/x/frame.dat", &n));
    EXPECT_EQ(n.dat, "/x/frame.dat");
    EXPECT_EQ(n.pos, "/x/frame.pos");
    EXPECT_EQ(n.tmp, "/x/frame.tmp");
    ASSERT_TRUE(DeriveFileNames("model.kst", &n));
    EXPECT_EQ(n.dat, "model.dat");
    EXPECT_FALSE(DeriveFileNames("abc", &n));
    EXPECT_FALSE(DeriveFileNames(nullptr, &n));
}

TEST(FileNames, ScratchFileIsDeletedOnEveryOutcome) {
    TempDir dir;
    NeutralModel solved = cantilever();
    NeutralModel singular = cantilever();
    singular.elements[0].liberation = 2;
    RunResult a = run_text(dir, "a", solved.text());
    RunResult b = run_text(dir, "b", singular.text());
    RunResult c = run_text(dir, "c", "%HEADER.TITLE\n'x'\n%END\n");
    EXPECT_EQ(a.code, kAnalyseSolved);
    EXPECT_EQ(b.code, kAnalyseSingular);
    EXPECT_EQ(c.code, kAnalyseFatal);
    for (const char* name : {"a", "b", "c"}) {
        EXPECT_FALSE(file_exists(dir.path(std::string(name) + ".tmp"))) << name;
        // A failed run publishes no result file.
        EXPECT_EQ(file_exists(dir.path(std::string(name) + ".pos")), name[0] != 'c') << name;
        EXPECT_TRUE(file_exists(dir.path(std::string(name) + ".dat"))) << name;
    }
}

TEST(FileNames, AScratchNameTheEngineNeverOpenedIsLeftAlone) {
    // Without a readable input the engine stops before opening anything: a file that merely
    // has the scratch name belongs to someone else and stays.
    TempDir dir;
    write_file(dir.path("frame.tmp"), "not ours");
    std::string message;
    EXPECT_EQ(AnalyseCore(dir.path("frame.dat").c_str(), &message), kAnalyseFatal);
    EXPECT_EQ(message, "\n\n\n\t *** Error on reading Input file !!! *** \n");
    EXPECT_EQ(read_file(dir.path("frame.tmp")), "not ours");
    EXPECT_FALSE(file_exists(dir.path("frame.pos")));
}

TEST(FileNames, AnalysingWithAnotherExtensionReadsTheDatFile) {
    TempDir dir;
    write_file(dir.path("frame.dat"), cantilever().text());
    std::string message;
    EXPECT_EQ(AnalyseCore(dir.path("frame.kst").c_str(), &message), kAnalyseSolved) << message;
    EXPECT_TRUE(file_exists(dir.path("frame.pos")));
}

TEST(ResultFile, ResultFileFedBackAsInputReproducesItsResults) {
    TempDir dir;
    RunResult first = run_text(dir, "first", cantilever().text());
    ASSERT_EQ(first.code, kAnalyseSolved);
    RunResult again = run_text(dir, "again", first.pos);
    ASSERT_EQ(again.code, kAnalyseSolved) << again.message;
    EXPECT_EQ(result_section(again.pos), result_section(first.pos));
}

TEST(ResultParser, ReadsBackWhatTheWriterWrote) {
    TempDir dir;
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 1}}, {0, 3, {0, 0, 0}}, {4, 3, {0, 0, 0}}, {4, 0, {1, 1, 1}}};
    m.elements = {{1, 2}, {2, 3}, {3, 4, 1, 3}}; // hinged at the pin, whose rotation is fixed
    m.nodal_force(2, 7, 0, 0);
    m.uniform(2, 0, 0, -5);
    RunResult r = run_text(dir, "frame", m.text());
    ASSERT_EQ(r.code, kAnalyseSolved) << r.message;
    const ResultSection& s = r.section;
    EXPECT_TRUE(s.reached_end);
    EXPECT_TRUE(s.has_axial && s.has_shear && s.has_bending);
    ASSERT_EQ(s.nodes.size(), 4u);
    for (int n = 1; n <= 4; ++n) {
        const ResultNode& got = s.nodes[static_cast<std::size_t>(n - 1)];
        EXPECT_EQ(got.number, n);
        const std::pair<double, int> d[] = {{got.dx, 0}, {got.dy, 1}, {got.rz, 5}};
        for (auto [value, k] : d)
            EXPECT_NEAR(value, disp(r.solution, n, k), 1e-3 * std::fabs(disp(r.solution, n, k)))
                << n << " " << k;
    }
    ASSERT_EQ(s.elements.size(), 3u);
    for (int e = 0; e < 3; ++e) {
        const ResultElement& v = s.elements[static_cast<std::size_t>(e)];
        EXPECT_EQ(v.number, e + 1);
        const double want[6] = {force(r.solution, e, 0), force(r.solution, e, 1),
                                force(r.solution, e, 5), force(r.solution, e, 6),
                                force(r.solution, e, 7), force(r.solution, e, 11)};
        const double got[6] = {v.N1, v.V1, v.M1, v.N2, v.V2, v.M2};
        for (int k = 0; k < 6; ++k) {
            double expect = std::fabs(want[k]) < 1e-5 ? 0.0 : want[k];
            EXPECT_NEAR(got[k], expect, 1e-5 * std::fabs(expect) + 1e-12) << e << " " << k;
        }
    }
    EXPECT_EQ(s.elements[2].M2, 0.0); // hinged end
}

} // namespace
} // namespace kestrel::engine::test
