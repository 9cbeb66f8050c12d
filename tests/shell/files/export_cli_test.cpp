// kestrel --export run as a program: every format of the gable frame with its
// bending moment diagram, the error paths with their status and message, and
// no file left by a failure.
#include <gtest/gtest.h>

#include "tests/app/run.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const std::string kKestrel = std::string(KESTREL_BIN_DIR) + "/kestrel ";
const std::string kGable = std::string(KESTREL_TEST_DATA) + "/../../examples/gable.kst";
const std::string kCases = std::string(KESTREL_TEST_DATA) + "/../../examples/load-cases.kst";
const std::string kSway = std::string(KESTREL_TEST_DATA) + "/../../examples/sway-portal.kst";

TEST(ExportCommandLine, EveryFormatOfTheGableFrame) {
    const testrun::TempDir dir("export-cli");
    ASSERT_FALSE(dir.path.empty());
    struct Case {
        const char* ext;
        std::string start;
    };
    const Case cases[] = {{"svg", "<?xml"},
                          {"pdf", "%PDF"},
                          {"png", "\x89PNG"},
                          {"ps", "%!PS-Adobe-3.0\n"},
                          {"eps", "%!PS-Adobe-3.0 EPSF"},
                          {"dxf", "0\nSECTION"},
                          {"cgm", std::string("\0\x28", 2)}};
    // A copy of the frame: the analysis writes its result file beside it.
    fs::copy_file(kGable, dir.path + "/gable.kst");
    for (const Case& k : cases) {
        const std::string out = std::string("gable.") + k.ext;
        const testrun::Outcome r = testrun::run(
            kKestrel + "--export " + out + " gable.kst --result bending --size 640x400", dir.path);
        EXPECT_EQ(r.status, 0) << k.ext << ": " << r.err;
        EXPECT_EQ(r.err, "") << k.ext;
        EXPECT_EQ(testrun::readFile(dir.path + "/" + out).substr(0, k.start.size()), k.start)
            << k.ext;
    }
    // The bending moment at the eaves of the three-hinged gable frame, as a
    // text of the DXF drawing.
    EXPECT_NE(testrun::readFile(dir.path + "/gable.dxf").find("\n1\n108.4 kNm\n"),
              std::string::npos);
    // The PNG has the asked size: width and height in the IHDR chunk.
    const std::string png = testrun::readFile(dir.path + "/gable.png");
    ASSERT_GE(png.size(), 24u);
    const auto byte = [&](int i) { return static_cast<unsigned char>(png[i]); };
    EXPECT_EQ(byte(18) << 8 | byte(19), 640);
    EXPECT_EQ(byte(22) << 8 | byte(23), 400);
}

// --case draws the results of the case, combination or envelope named;
// without it, of the first case.
TEST(ExportCommandLine, TheCaseNamedIsDrawn) {
    const testrun::TempDir dir("export-cli-case");
    ASSERT_FALSE(dir.path.empty());
    fs::copy_file(kCases, dir.path + "/frame.kst");
    for (const auto& [args, moment] :
         {std::pair{std::string("dead.dxf frame.kst"), "\n1\n21.4 kNm\n"},
          std::pair{std::string("wind.dxf frame.kst --case \"Wind from left\""), "\n1\n5.5 kNm\n"},
          std::pair{std::string("ulsw.dxf frame.kst --case \"ULS wind\""), "\n1\n78.8 kNm\n"},
          std::pair{std::string("envl.dxf frame.kst --case Envelope"), "\n1\n43.7 kNm\n"}}) {
        const testrun::Outcome r =
            testrun::run(kKestrel + "--export " + args + " --result bending", dir.path);
        EXPECT_EQ(r.status, 0) << args << ": " << r.err;
        const std::string dxf = testrun::readFile(dir.path + "/" + args.substr(0, 8));
        EXPECT_NE(dxf.find(moment), std::string::npos) << args;
    }
}

// A model saved with the second-order choice draws its second-order results
// (the combination's largest moment, as kestrel-solve gives it, also in the
// envelope over that combination alone); the modes of buckling (of a case and
// of a combination) and vibration are drawn one by one.
TEST(ExportCommandLine, SecondOrderResultsAndModesAreDrawn) {
    const testrun::TempDir dir("export-cli-modes");
    ASSERT_FALSE(dir.path.empty());
    fs::copy_file(kSway, dir.path + "/sway.kst");
    std::string files[7];
    const char* const args[] = {"--case ULS --result bending",
                                "--case Roof --result buckling",
                                "--case Roof --result buckling --mode 2",
                                "--result vibration --mode 5",
                                "--result vibration",
                                "--case Envelope --result bending",
                                "--case ULS --result buckling"};
    for (int i = 0; i < 7; ++i) {
        const std::string out = "m" + std::to_string(i) + ".dxf";
        const testrun::Outcome r =
            testrun::run(kKestrel + "--export " + out + " sway.kst " + args[i], dir.path);
        EXPECT_EQ(r.status, 0) << args[i] << ": " << r.err;
        files[i] = testrun::readFile(dir.path + "/" + out);
    }
    EXPECT_NE(files[0].find("\n1\n54.4 kNm\n"), std::string::npos);
    EXPECT_NE(files[5].find("\n1\n54.4 kNm\n"), std::string::npos);
    EXPECT_NE(files[1], files[6]);
    EXPECT_NE(files[1], files[2]);
    EXPECT_NE(files[3], files[4]);
}

TEST(ExportCommandLine, FailuresSayWhyAndWriteNothing) {
    const testrun::TempDir dir("export-cli-bad");
    ASSERT_FALSE(dir.path.empty());
    const std::string out = "--export x.png ";
    const struct {
        std::string args;
        int status;
        const char* message;
    } cases[] = {
        {"--export x.jpg " + kGable, 2, "unknown extension"},
        {out + "missing.kst", 1, "cannot read the model"},
        {"--export /no/such/dir/x.png " + kGable, 1, "cannot write /no/such/dir/x.png"},
        {out + kGable + " --size 10x10", 2, "bad size"},
        {out + kGable + " --size 640", 2, "bad size"},
        {out + kGable + " --result torsion", 2, "unknown result"},
        {out + kGable + " --result bending --mode 2", 2,
         "--mode goes with --result buckling or vibration"},
        {out + kGable + " --result buckling --mode 6", 2, "bad mode 6 (1 to 5)"},
        {out + kSway + " --result bending --case Collapse", 1,
         "The frame is unstable under these loads (second-order analysis did not converge)."},
        {out + kSway + " --result buckling --case Envelope", 1,
         "The envelope has no buckling modes: choose a load case or a combination."},
        {out + kGable + " --colour red", 2, "unknown export option"},
        {out + kCases + " --case Snow --result bending", 2,
         "has nothing labelled Snow (it has: Dead, Imposed, Wind from left, ULS gravity, ULS wind, "
         "SLS, Envelope)"},
        {"--export x.png", 2, "usage"},
    };
    for (const auto& k : cases) {
        const testrun::Outcome r = testrun::run(kKestrel + k.args, dir.path);
        EXPECT_EQ(r.status, k.status) << k.args;
        EXPECT_NE(r.err.find(k.message), std::string::npos) << k.args << ": " << r.err;
    }
    EXPECT_TRUE(fs::is_empty(dir.path));
}

} // namespace
