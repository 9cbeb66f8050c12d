// Numeric fields keep exact values: a field committed with the text the
// program put there (Enter or leaving it unchanged, or the same text typed
// again) stores nothing, so a value shown rounded is never stored rounded; a
// text that is not a number, or a value out of range, keeps the value.
#include "attrib/blocks.h"
#include "attrib/section.h"
#include "shell/panels/conditionpanels.h"
#include "tests/shell/fixture.h"
#include "units/numformat.h"

#include <functional>

namespace shelltest {
namespace {

using namespace attrib;

class FieldsTest : public ShellTest {
protected:
    void newBlock(const char* panelButton, const char* prefix, const char* label,
                  int typeItem = -1) {
        if (panelButton) tk->press(at(panelButton));
        tk->press(at(std::string(prefix) + "new"));
        if (typeItem >= 0) tk->select(at("spftypelist"), typeItem);
        at(std::string(prefix) + "labeltext").set("VALUE", "");
        tk->typeText(at(std::string(prefix) + "labeltext"), label);
        tk->press(at(std::string(prefix) + "labelset"));
    }
};

TEST_F(FieldsTest, UnchangedFieldsKeepExactValuesAndTextThatIsNotANumberIsRefused) {
    struct Row {
        const char* what;
        std::function<void()> setUp;
        const char* field;
        const char* typed; // more digits than the field shows
        std::function<double()> value;
    } rows[] = {
        {"thermal expansion", [&] { newBlock(nullptr, "maf", "A"); }, "mafthermtext", "1.17e-5",
         [] { return valuesOf(findLabel(root(), kMaf, "A"))->values[kThermalExpansion]; }},
        {"generic section I", [&] { newBlock("sprop", "spf", "G", 0); }, "xscgenericparam1",
         "1234.5678", [] { return sectionOf(findLabel(root(), kSpf, "G"))->params[1]; }},
        {"spring Ky", [&] { toggle("supykdy"); }, "supkdytext", "12345.678",
         [] { return shell::conditionPanels().support.spring[1]; }},
        {"grid step", [&] { toggle("grid"); }, "gridstepxtext", "0.125",
         [this] { return state().settings.gridStepX; }},
        {"result step", [] {}, "resultsteptext", "0.125",
         [this] { return state().settings.resultStep; }},
    };
    for (const Row& r : rows) {
        r.setUp();
        commit(r.field, r.typed);
        const double stored = r.value();
        double typed = 0;
        ASSERT_TRUE(units::readTyped(r.typed, typed));
        ASSERT_NE(stored, 0) << r.what;
        const std::string shown = value(r.field);
        double shownValue = 0;
        ASSERT_TRUE(units::readTyped(shown, shownValue));
        EXPECT_NE(shownValue, typed) << r.what << ": the field shows " << shown;
        tk->commit(at(r.field)); // Enter on the unchanged field
        EXPECT_EQ(r.value(), stored) << r.what;
        commit(r.field, shown); // the shown text typed again
        EXPECT_EQ(r.value(), stored) << r.what;
        // Not a number, or beyond the range of every field (1e-20 to 1e20
        // in internal units).
        for (const char* bad : {"abc", "3e38", "1e-38"}) {
            commit(r.field, bad);
            EXPECT_EQ(r.value(), stored) << r.what << ": " << bad;
        }
    }
}

} // namespace
} // namespace shelltest
