// kestrel-solve on model files built through the frame model and saved with
// the model file writer: closed-form results of beam theory from the JSON
// output (full precision), the table, and the exit statuses with their
// messages.
#include "app/batch.h"
#include "files/modelfile.h"
#include "tests/analysis/fixture.h"
#include "tests/app/run.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

namespace analysis::test {
namespace {

// The value of `key` in the JSON object of `array` whose first field is
// `id` (one object per line, as the tool writes them); NaN when absent.
double jsonValue(const std::string& json, const std::string& array, int id,
                 const std::string& key) {
    const std::size_t start = json.find("\"" + array + "\": [");
    if (start == std::string::npos) return NAN;
    const std::string head = array == "reactions" ? "node" : array == "nodes" ? "node" : "member";
    const std::string tag = "{\"" + head + "\": " + std::to_string(id) + ",";
    const std::string tagEnd = "{\"" + head + "\": " + std::to_string(id) + "}";
    std::size_t at = json.find(tag, start);
    if (at == std::string::npos) at = json.find(tagEnd, start);
    if (at == std::string::npos) return NAN;
    const std::size_t eol = json.find('\n', at);
    const std::string line = json.substr(at, eol - at);
    const std::size_t k = line.find("\"" + key + "\": ");
    if (k == std::string::npos) return NAN;
    return std::strtod(line.c_str() + k + key.size() + 4, nullptr);
}

struct Expect {
    const char* array;
    int id;
    const char* key;
    double value;
};

class BatchTest : public FrameTest {
public:
    using FrameTest::at;
    using FrameTest::bar;
    using FrameTest::block;
    using FrameTest::give;
    using FrameTest::line;
    using FrameTest::standardProperties;
    using FrameTest::support;

protected:
    void TestBody() override {}
    // Saves the current model and runs the tool on it; the status, with the
    // table and the messages in `out` and `err`.
    int solve(const std::string& name, std::string* json = nullptr) {
        const std::string path = (dir / (name + ".kst")).string();
        EXPECT_EQ(files::saveModelFile(path, s, root(), attrib::initialSettings()),
                  files::SaveStatus::kSaved);
        return solveFile(path, json);
    }
    int solveFile(const std::string& path, std::string* json = nullptr) {
        const std::string jsonPath = (dir / "out.json").string();
        std::FILE* o = std::tmpfile();
        std::FILE* e = std::tmpfile();
        const int status = batch::analyseModelFile(path, json ? jsonPath : "", o, e);
        out = readBack(o);
        err = readBack(e);
        if (json) *json = testrun::readFile(jsonPath);
        // The tool leaves the modules empty; the fixture's model is gone.
        s = mdl_new_model();
        return status;
    }
    static std::string readBack(std::FILE* f) {
        std::rewind(f);
        std::string t;
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) t.append(buf, n);
        std::fclose(f);
        return t;
    }
    std::string out, err;
};

struct Case {
    const char* name;
    std::function<void(BatchTest&)> build;
    std::vector<Expect> expect;
};

constexpr double EI = 2e4, EA = 2e6;

// Closed forms of the analysis driver's tests, here through the model file,
// the tool and its JSON output at full precision: the three arrays, hinges
// and a prescribed displacement. The table names its units; the result file
// is written beside the model, no neutral file.
TEST_F(BatchTest, ClosedFormsThroughTheWholePath) {
    using attrib::kNff;
    const std::vector<Case> cases = {
        {"cantilever",
         [](BatchTest& t) {
             t.line(0, 0, 2, 0);
             t.standardProperties();
             t.support(t.at(0, 0), "111");
             t.give(t.at(2, 0), t.block(kNff, {0, -10, 0}));
         },
         {{"nodes", 2, "dy", -10 * 8 / (3 * EI)},
          {"nodes", 2, "rz", -10 * 4 / (2 * EI)},
          {"reactions", 1, "fy", 10},
          {"reactions", 1, "mz", 20},
          {"members", 1, "m1", 20},
          {"members", 1, "v1", 10}}},
        {"truss",
         [](BatchTest& t) {
             t.line(0, 0, 4, 0);
             t.line(4, 0, 2, 2);
             t.line(2, 2, 0, 0);
             t.standardProperties();
             for (double x : {2.0, 1.0, 3.0}) {
                 attrib::MemberAttrib& m = t.bar(x, x == 2.0 ? 0 : 1);
                 m.hingeStart = m.hingeEnd = 1;
             }
             t.support(t.at(0, 0), "110");
             t.support(t.at(4, 0), "010");
             t.give(t.at(2, 2), t.block(kNff, {0, -10, 0}));
         },
         {{"members", 1, "n2", 5}, {"nodes", 2, "dx", 5 * 4 / EA}, {"reactions", 2, "fy", 5}}},
        {"settlement",
         [](BatchTest& t) {
             t.line(0, 0, 4, 0);
             t.standardProperties();
             t.support(t.at(0, 0), "111");
             t.support(t.at(4, 0), "111");
             t.at(4, 0).prescribedFlag = 1;
             t.at(4, 0).prescribed[1] = -0.01;
         },
         {{"nodes", 2, "dy", -0.01},
          // The support pulls the right end down and holds the left end
          // against turning clockwise.
          {"reactions", 1, "mz", 6 * EI * 0.01 / 16},
          {"reactions", 1, "fy", 12 * EI * 0.01 / 64},
          {"reactions", 2, "fy", -12 * EI * 0.01 / 64}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.build(*this);
        std::string json;
        ASSERT_EQ(solve(c.name, &json), batch::kSolved) << err;
        EXPECT_EQ(err, "");
        EXPECT_NE(json.find("\"units\": {\"length\": \"m\", \"force\": \"kN\""), std::string::npos);
        for (const char* heading : {"Node displacements (mm, rad)", "Support reactions (",
                                    "Member end forces, member axes"})
            EXPECT_NE(out.find(heading), std::string::npos) << heading << "\n" << out;
        EXPECT_TRUE(std::filesystem::exists(dir / (std::string(c.name) + ".pos")));
        EXPECT_FALSE(std::filesystem::exists(dir / (std::string(c.name) + ".dat")));
        for (const Expect& e : c.expect) {
            const double got = jsonValue(json, e.array, e.id, e.key);
            EXPECT_NEAR(got, e.value, 1e-6 * std::fabs(e.value))
                << e.array << " " << e.id << " " << e.key << "\n"
                << json;
        }
    }
}

TEST_F(BatchTest, StatusesAndMessages) {
    // A check failure: one member without a section.
    line(0, 0, 4, 0);
    line(4, 0, 4, 4);
    standardProperties();
    bar(4, 2).blocks[attrib::kSection] = nullptr;
    sec->useCount--;
    const std::string noSection = (dir / "nosection.kst").string();
    EXPECT_EQ(solve("nosection"), batch::kCheckFailed);
    EXPECT_EQ(err, "kestrel-solve: " + noSection + ": You must define sections to all members\n");

    // A mechanism.
    TearDown();
    SetUp();
    line(0, 0, 4, 0);
    standardProperties();
    support(at(0, 0), "010");
    support(at(4, 0), "010");
    EXPECT_EQ(solve("mechanism"), batch::kSingular);
    EXPECT_NE(err.find(": unstable frame"), std::string::npos) << err;

    struct {
        std::string path;
        std::string says;
    } bad[] = {
        {(dir / "missing.kst").string(), "cannot open the file"},
        {KESTREL_TEST_DATA "/files/v205.kst", "open it in the program, which converts it"},
        {KESTREL_TEST_DATA "/analysis/every_kind.dat", "not a Kestrel model file"},
    };
    std::ofstream((dir / "newer.kst").string()) << "Kestrel 212\n";
    for (const auto& b : bad) {
        EXPECT_EQ(solveFile(b.path), batch::kBadFile) << b.path;
        EXPECT_EQ(err.rfind("kestrel-solve: " + b.path + ": ", 0), 0u) << err;
        EXPECT_NE(err.find(b.says), std::string::npos) << err;
    }
}

} // namespace
} // namespace analysis::test
