// The material panel as the user drives it: the value fields in the display
// units, the presets, Remove and Condense with their messages and question,
// the use counts of Apply. (The label entry, the key filters, Select and
// Apply: the scenarios material-labels, material-key-filters and
// material-select-apply.)
#include "attrib/blocks.h"
#include "model/model.h"
#include "shell/display.h"
#include "shell/edit/edit.h"
#include "shell/edit/editmodes.h"
#include "shell/panels/propertypanel.h"
#include "tests/shell/fixture.h"
#include "units/units.h"

#include <string>

namespace {

using shelltest::ShellTest;

class PanelTest : public ShellTest {
protected:
    // New (or Rename), the label typed key by key, Done.
    void label(const std::string& text, const char* start = "mafnew") {
        tk->press(at(start));
        at("maflabeltext").set("VALUE", "");
        tk->typeText(at("maflabeltext"), text);
        tk->press(at("maflabelset"));
    }
    // "NONE|A|B -> 2": the list items and the item shown.
    std::string list() {
        std::string t;
        for (int i = 1; !at("maflabellist").get(std::to_string(i)).empty(); ++i)
            t += (i > 1 ? "|" : "") + at("maflabellist").get(std::to_string(i));
        return t + " -> " + value("maflabellist");
    }
    std::string fields() {
        return value("mafelastext") + " " + title("mafelasunit") + "; " + value("mafspwgttext") +
               " " + title("mafspwgtunit") + "; " + value("mafthermtext") + " " +
               title("mafthermunit");
    }
    attrib::PropertyBlock* block(const char* label) {
        return attrib::findLabel(attrib::root(), attrib::kMaf, label);
    }
    // Selects the members whose midpoints are listed.
    void selectAt(std::initializer_list<std::pair<double, double>> points) {
        shell::deselectAll();
        for (auto [x, y] : points) shell::pickAt(x, y, 0.01, true);
        shell::updateToolbar(); // the Apply buttons follow the selection
    }
};

TEST_F(PanelTest, ValuesShowInTheDisplayUnitsAndAreCheckedOnEntry) {
    label("A");
    EXPECT_EQ(fields(), "100000 MPa; 10.0 kN/m\u00b3; 0.000010 /\u00b0C");
    struct Case {
        const char* field;
        const char* typed;
        double stored; // internal value afterwards
        int index;
    } cases[] = {
        {"mafelastext", "-1", 100000000, attrib::kElasticity}, // refused
        {"mafelastext", "abc", 100000000, attrib::kElasticity}, // no number: refused
        {"mafelastext", "2.1e5xyz", 2.1e8, attrib::kElasticity},
        {"mafspwgttext", "-0.5", 10, attrib::kSpecificWeight},
        {"mafspwgttext", "1e39", 10, attrib::kSpecificWeight}, // beyond single precision
        {"mafspwgttext", "nan", 10, attrib::kSpecificWeight},
        {"mafthermtext", "1.2e-5", 1.2e-5, attrib::kThermalExpansion},
    };
    for (const Case& c : cases) {
        commit(c.field, c.typed);
        EXPECT_NEAR(attrib::valuesOf(block("A"))->values[c.index], c.stored, c.stored * 1e-7)
            << c.typed;
    }
    // The refused entry was replaced by the stored value. Other unit sets
    // convert what is shown, never what is stored.
    struct Set {
        int preset;
        const char* fields;
    } sets[] = {
        {units::kSIPreset, "210000 MPa; 10.0 kN/m\u00b3; 0.000012 /\u00b0C"},
        {units::kKNMPreset, "2.100e+08 kN/m\u00b2; 10.0 kN/m\u00b3; 0.000012 /\u00b0C"},
        {units::kUSPreset, "30457 ksi; 63.7 pcf; 6.7e-06 /\u00b0F"},
    };
    for (const Set& u : sets) {
        state().settings.units = units::presetSettings(u.preset).unit;
        state().settings.formats = units::presetSettings(u.preset).format;
        shell::refreshPanels();
        EXPECT_EQ(fields(), u.fields) << u.preset;
        EXPECT_DOUBLE_EQ(attrib::valuesOf(block("A"))->values[attrib::kElasticity], 2.1e8);
    }
    commit("mafelastext", "29000");
    EXPECT_NEAR(attrib::valuesOf(block("A"))->values[attrib::kElasticity], 29000 * 6895.0, 1);
}

TEST_F(PanelTest, PresetsAreMadeOnceAndFollowTheLengthUnit) {
    tk->press(at("mafnew"));
    tk->typeText(at("maflabeltext"), "ignored");
    tk->press(at("mafnewsteel"));
    EXPECT_EQ(value("attmenu"), "mafmenu");
    tk->press(at("mafnew"));
    tk->press(at("mafnewsteel"));
    EXPECT_EQ(list(), "NONE|Steel -> 2");
    EXPECT_DOUBLE_EQ(attrib::valuesOf(block("Steel"))->values[attrib::kElasticity], 205000000);
    // Inch models get the customary concrete.
    state().settings.units[units::kLengthUnit] = 4;
    shell::refreshPanels();
    tk->press(at("mafnew"));
    tk->press(at("mafnewconcrete"));
    EXPECT_EQ(list(), "NONE|Steel|Concrete -> 3");
    EXPECT_NEAR(attrib::valuesOf(block("Concrete"))->values[attrib::kElasticity], 3640 * 6895.0,
                1e-6);
}

// Remove and Condense with their message and question: the scenario
// material-remove-condense; here the use count of an applied block and the
// numbers of the blocks Condense leaves.
TEST_F(PanelTest, CondenseNumbersTheUsedBlocksAgain) {
    portal();
    for (const char* l : {"A", "B", "C"}) label(l);
    tk->select(at("maflabellist"), 3); // B
    selectAt({{4, 1.5}});
    tk->press(at("mafapply"));
    EXPECT_EQ(block("B")->useCount, 1);
    mdl_clear_history();
    tk->press(at("mafcondense"));
    EXPECT_EQ(block("A"), nullptr);
    EXPECT_EQ(block("B")->id, 1);
    EXPECT_EQ(block("C"), nullptr);
    EXPECT_TRUE(backend->transcript().empty());
}

// What Select and Apply select, and the undo step: the scenario
// material-select-apply; here the use counts, which count the undo step's
// records too.
TEST_F(PanelTest, ApplyCountsTheUsesOfTheLiveAndTheUndoRecords) {
    portal();
    label("A");
    tk->press(at("mafapplyall"));
    EXPECT_EQ(block("A")->useCount, 5); // the beam is split at the middle column: 5 members
    tk->select(at("maflabellist"), 1);
    selectAt({{0, 1.5}});
    tk->press(at("mafapply"));
    EXPECT_EQ(block("A")->useCount, 5); // 4 live, 1 in the undo step
}

} // namespace
