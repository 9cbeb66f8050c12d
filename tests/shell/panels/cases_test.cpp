// The Load Cases panel at its limits: 99 cases and 99 combinations all reach
// the drop-down, the combination list and the factor rows (the scenarios
// load-case-panel, combination-panel and combination-results cover the rest).
#include "attrib/cases.h"
#include "shell/panels/casepanel.h"
#include "tests/shell/fixture.h"

#include <string>

namespace shelltest {
namespace {

TEST_F(ShellTest, NinetyNineCasesAndCombinationsReachEveryList) {
    attrib::AttributeRoot& r = attrib::root();
    for (int i = 2; i <= attrib::kMaxLoadCases; ++i)
        ASSERT_EQ(attrib::newCase(r, "C" + std::to_string(i)), attrib::kCaseDone);
    for (int i = 1; i <= attrib::kMaxCombinations; ++i)
        ASSERT_EQ(attrib::newCombination(r, "K" + std::to_string(i)), attrib::kCaseDone);
    shell::refreshCaseLists();
    EXPECT_EQ(at("caselist").get("99"), "C99");
    EXPECT_EQ(at("caselist").get("100"), "K1");
    EXPECT_EQ(at("caselist").get("199"), "Envelope");
    EXPECT_EQ(at("caselist").get("200"), "");

    ASSERT_EQ(tk->select(at("lcscombolist"), 99), ui::kDefault);
    ASSERT_EQ(tk->select(at("lcsfactorlist"), 99), ui::kDefault);
    commit("lcsfactortext", "-2.5e-1");
    const attrib::Combination& last = r.combos.back();
    EXPECT_EQ(attrib::factorOf(last, r.cases.back().id), -0.25);
    EXPECT_EQ(at("lcsfactorlist").get("99"), "C99 = -0.25");
    EXPECT_EQ(at("lcsfactorlist").get("98"), "C98");
    // The combination chosen in the panel is the one shown.
    EXPECT_EQ(value("caselist"), "198");
    EXPECT_EQ(attrib::shownLabel(r), "K99");
}

} // namespace
} // namespace shelltest
