// kestrel-solve as a user runs it: the table and the JSON output of the portal example, and
// the exit status with the messages of each way a run ends. The transcripts are kept in
// tests/data/app/.
#include "files/modelfile.h"
#include "tests/analysis/fixture.h"
#include "tests/app/run.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <regex>

namespace analysis::test {
namespace {

// The numbers of a JSON text to ten (or `digits`) significant digits: the last digits of a
// solution are no part of the format.
std::string tenDigits(const std::string& json, int digits = 10) {
    std::string out;
    for (std::size_t i = 0; i < json.size();) {
        if (i < 2 || json.compare(i - 2, 2, ": ") != 0 ||
            !(std::isdigit(static_cast<unsigned char>(json[i])) || json[i] == '-')) {
            out += json[i++];
            continue;
        }
        char* end = nullptr;
        char text[32];
        std::snprintf(text, sizeof text, "%.*g", digits, std::strtod(json.c_str() + i, &end));
        out += text;
        i = static_cast<std::size_t>(end - json.c_str());
    }
    return out;
}

class BatchTest : public FrameTest {
protected:
    void save(const std::string& name) {
        EXPECT_EQ(files::saveModelFile((dir / name).string(), s, root(), attrib::initialSettings()),
                  files::SaveStatus::kSaved);
    }
    void copy(const std::string& from, const std::string& name) {
        std::ofstream((dir / name).string(), std::ios::binary) << kestrel_test::readText(from);
    }
    // Runs the tool in the test's folder: the command, its status, output and error stream.
    std::string transcript(const std::string& args) {
        const testrun::Outcome r = testrun::run(KESTREL_BIN_DIR "/kestrel-solve " + args, dir);
        return "== kestrel-solve " + args + ": status " + std::to_string(r.status) + "\n-- out\n" +
               r.out + "-- err\n" + r.err;
    }
};

// The result file is written beside the model, the neutral file removed.
TEST_F(BatchTest, TableAndJsonOfThePortalExample) {
    copy(KESTREL_TEST_DATA "/../../examples/portal.kst", "portal.kst");
    const std::string run = transcript("portal.kst --json portal.json");
    kestrel_test::expectGolden(
        "app", "batch_portal",
        run + "-- portal.json\n" +
            tenDigits(kestrel_test::readText((dir / "portal.json").string())));
    EXPECT_TRUE(std::filesystem::exists(dir / "portal.pos"));
    EXPECT_FALSE(std::filesystem::exists(dir / "portal.dat"));
}

// Three cases and three combinations: a table per case, then per
// combination, then the envelope; the JSON has the same in "cases",
// "combinations" and "envelope".
TEST_F(BatchTest, CasesCombinationsAndEnvelopeOfTheLoadCaseExample) {
    copy(KESTREL_TEST_DATA "/../../examples/load-cases.kst", "frame.kst");
    const std::string run = transcript("frame.kst --json frame.json");
    kestrel_test::expectGolden(
        "app", "batch_load_cases",
        run + "-- frame.json\n" + tenDigits(kestrel_test::readText((dir / "frame.json").string())));
}

TEST_F(BatchTest, StatusesAndMessages) {
    // A check failure: one member without a section; then a mechanism.
    line(0, 0, 4, 0);
    line(4, 0, 4, 4);
    standardProperties();
    bar(4, 2).blocks[attrib::kSection] = nullptr;
    save("nosection.kst");
    bar(4, 2).blocks[attrib::kSection] = sec;
    support(at(0, 0), "010");
    support(at(4, 4), "010");
    save("mechanism.kst");
    copy(KESTREL_TEST_DATA "/files/v205.kst", "v205.kst");
    copy(KESTREL_TEST_DATA "/analysis/every_kind.dat", "neutral.kst");
    std::ofstream((dir / "newer.kst").string()) << "213\n";
    std::string all;
    for (const char* args : {"nosection.kst", "mechanism.kst", "missing.kst", "v205.kst",
                             "neutral.kst", "newer.kst", "--help", "", "frame.dat --json x"})
        all += transcript(args);
    kestrel_test::expectGolden("app", "batch_statuses", all);
}

// Second order (cases, then combinations from their own loads, and the envelope over those),
// buckling of every case and combination and the natural frequencies, with their JSON; a weightless
// frame has no frequencies, a mechanism none of them; a wrong count is wrong usage.
TEST_F(BatchTest, StabilityReports) {
    copy(KESTREL_TEST_DATA "/../../examples/load-cases.kst", "frame.kst");
    copy(KESTREL_TEST_DATA "/../../examples/portal.kst", "portal.kst");
    // Saved with the second-order choice: analysed in second order without the switch.
    copy(KESTREL_TEST_DATA "/../../examples/sway-portal.kst", "sway.kst");
    // Its combination beyond the critical load in the envelope too: no envelope, and why.
    std::string sway = kestrel_test::readText((dir / "sway.kst").string());
    const std::string collapse = "combination 'Collapse' 0";
    ASSERT_NE(sway.find(collapse), std::string::npos);
    sway.replace(sway.find(collapse), collapse.size(), "combination 'Collapse' 1");
    std::ofstream((dir / "collapse.kst").string()) << sway;
    line(0, 0, 0, 4);
    standardProperties();
    support(at(0, 0), "111");
    attrib::valuesOf(mat)->values[attrib::kSpecificWeight] = 0;
    save("weightless.kst");
    support(at(0, 0), "110");
    save("mechanism.kst");
    std::string all;
    for (const char* args :
         {"frame.kst --second-order --json second.json", "frame.kst --buckling 2",
          "portal.kst --modes 1 --json modes.json", "weightless.kst --modes 2",
          "weightless.kst --buckling 1", "mechanism.kst --modes 2", "portal.kst --buckling 0",
          "portal.kst --modes 2 --second-order", "sway.kst", "collapse.kst"})
        all += transcript(args);
    // Second order converges to 1e-8, mode vectors to about five digits.
    all +=
        "-- second.json\n" + tenDigits(kestrel_test::readText((dir / "second.json").string()), 7);
    all += "-- modes.json\n" + tenDigits(kestrel_test::readText((dir / "modes.json").string()), 4);
    // How many iterations a run takes may differ by one between kernels: not compared.
    all = std::regex_replace(all, std::regex("[0-9]+ iterations"), "N iterations");
    all = std::regex_replace(all, std::regex("\"iterations\": [0-9]+"), "\"iterations\": N");
    all = std::regex_replace(all, std::regex("Converged after [0-9]+"), "Converged after N");
    EXPECT_EQ(all.find("nan"), std::string::npos);
    EXPECT_EQ(all.find("inf"), std::string::npos);
    kestrel_test::expectGolden("app", "batch_stability", all);
}

} // namespace
} // namespace analysis::test
