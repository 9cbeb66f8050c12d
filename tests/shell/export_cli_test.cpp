// kestrel --export run as a program: every format of the gable frame with its
// bending moment diagram, the
// error paths with their status and message, and no file left by a failure.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string err;
};

Outcome kestrel(const std::string& args) {
    // One file per test: CTest runs the cases in parallel.
    const fs::path err =
        fs::temp_directory_path() /
        ("kestrel-export-cli-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".err");
    const std::string cmd =
        std::string(KESTREL_BIN_DIR) + "/kestrel " + args + " 2>" + err.string() + " >/dev/null";
    Outcome r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(err);
    std::stringstream ss;
    ss << in.rdbuf();
    r.err = ss.str();
    return r;
}

const std::string kGable = std::string(KESTREL_TEST_DATA) + "/../../examples/gable.kst";

} // namespace

TEST(ExportCommandLine, EveryFormatOfTheGableFrame) {
    const fs::path dir = fs::temp_directory_path() / "kestrel-export-cli";
    fs::remove_all(dir);
    fs::create_directories(dir);
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
    const fs::path model = dir / "gable.kst";
    fs::copy_file(kGable, model);
    for (const Case& k : cases) {
        const fs::path out = dir / (std::string("gable.") + k.ext);
        const Outcome r = kestrel("--export " + out.string() + " " + model.string() +
                                  " --result bending --size 640x400");
        EXPECT_EQ(r.status, 0) << k.ext << ": " << r.err;
        EXPECT_EQ(r.err, "") << k.ext;
        std::ifstream in(out, std::ios::binary);
        std::string head(k.start.size(), '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        EXPECT_EQ(head, k.start) << k.ext;
    }
    // The bending moment at the eaves of the three-hinged gable frame, as a
    // text of the DXF drawing.
    std::ifstream dxf(dir / "gable.dxf");
    std::stringstream text;
    text << dxf.rdbuf();
    EXPECT_NE(text.str().find("\n1\n108.4 kNm\n"), std::string::npos);
    // The PNG has the asked size: width and height in the IHDR chunk.
    std::ifstream png(dir / "gable.png", std::ios::binary);
    unsigned char ihdr[24] = {};
    png.read(reinterpret_cast<char*>(ihdr), 24);
    EXPECT_EQ(ihdr[18] << 8 | ihdr[19], 640);
    EXPECT_EQ(ihdr[22] << 8 | ihdr[23], 400);
}

TEST(ExportCommandLine, FailuresSayWhyAndWriteNothing) {
    const fs::path dir = fs::temp_directory_path() / "kestrel-export-cli-bad";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string out = (dir / "x.png").string();
    struct Case {
        std::string args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"--export " + (dir / "x.jpg").string() + " " + kGable, 2, "unknown extension"},
        {"--export " + out + " " + dir.string() + "/missing.kst", 1, "cannot read the model"},
        {"--export /no/such/dir/x.png " + kGable, 1, "cannot write /no/such/dir/x.png"},
        {"--export " + out + " " + kGable + " --size 10x10", 2, "bad size"},
        {"--export " + out + " " + kGable + " --size 640", 2, "bad size"},
        {"--export " + out + " " + kGable + " --result torsion", 2, "unknown result"},
        {"--export " + out + " " + kGable + " --colour red", 2, "unknown export option"},
        {"--export " + out, 2, "usage"},
    };
    for (const Case& k : cases) {
        const Outcome r = kestrel(k.args);
        EXPECT_EQ(r.status, k.status) << k.args;
        EXPECT_NE(r.err.find(k.message), std::string::npos) << k.args << ": " << r.err;
    }
    EXPECT_TRUE(fs::is_empty(dir));
}
