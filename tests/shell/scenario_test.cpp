// Shell scenarios kept as journals: each tests/data/shell/scenarios/NAME.journal
// is replayed on a freshly started program and what it prints is compared
// with NAME.out. A first line "# model: PATH" opens a copy of the
// repository's file PATH (an analysis writes beside it); a line "# replay:
// PATH" stands for the lines of the repository's journal PATH (an example
// that builds a frame, then inquired). A replay that ends
// with a fault adds "status N" and the error lines to the output.
// KESTREL_UPDATE_GOLDEN=1 writes the .out files instead (review them).
#include "tests/shell/fixture.h"
#include "tests/support/golden.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace shelltest {
namespace {

const std::string kScenarios = std::string(KESTREL_TEST_DATA) + "/shell/scenarios/";
const std::string kRepository = std::string(KESTREL_TEST_DATA) + "/../../";
const std::string kInclude = "# replay: ";

std::vector<std::string> scenarioNames() {
    std::vector<std::string> names;
    for (const auto& f : std::filesystem::directory_iterator(kScenarios))
        if (f.path().extension() == ".journal") names.push_back(f.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Scenario : public ReplayTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(Scenario, PrintsWhatItsOutFileHolds) {
    const std::string text = kestrel_test::readText(kScenarios + GetParam() + ".journal");
    ASSERT_FALSE(text.empty()) << GetParam();
    std::string journal;
    std::istringstream lines(text);
    for (std::string l; std::getline(lines, l);)
        journal += l.rfind(kInclude, 0) == 0
                       ? kestrel_test::readText(kRepository + l.substr(kInclude.size()))
                       : l + "\n";
    std::string model;
    const std::string tag = "# model: ";
    if (journal.rfind(tag, 0) == 0)
        model = copyOf(journal.substr(tag.size(), journal.find('\n') - tag.size()));
    const int rc = replay(journal, model, GetParam() + ".journal");
    std::string printed = output;
    if (rc != 0 || !errors.empty()) printed += "status " + std::to_string(rc) + "\n" + errors;
    const std::string path = kScenarios + GetParam() + ".out";
    const char* update = std::getenv("KESTREL_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(path, std::ios::binary) << printed;
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_EQ(printed, kestrel_test::readText(path)) << path;
}

INSTANTIATE_TEST_SUITE_P(Shell, Scenario, ::testing::ValuesIn(scenarioNames()),
                         [](const auto& info) {
                             std::string n = info.param;
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });

} // namespace
} // namespace shelltest
