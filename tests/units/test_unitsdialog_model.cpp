// The units dialog's model: rows, lists, defaults, couplings, presets, OK and Cancel.
#include "tests/support/golden.h"
#include "units/latin1.h"
#include "units/unitsdialog_model.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using units::DialogView;
using units::UnitsDialogModel;
using units::UnitSettings;

const UnitSettings& si() {
    return units::presetSettings(units::kSIPreset);
}
const UnitSettings& us() {
    return units::presetSettings(units::kUSPreset);
}

// Every row as the dialog shows it, SI and US lists: label, quantity kind,
// whether the unit box can be chosen, the format slots its format box sets,
// and each list's fall-back item and items (text, unit code, format default);
// then the format items.
TEST(UnitsDialogRows, TheRowsAsShown) {
    UnitsDialogModel m;
    const DialogView views[2] = {m.open(si()), m.preset(units::kUSPreset)};
    std::string text;
    for (int row = 0; row < units::kDialogRowCount; ++row) {
        const units::DialogRowDef& def = units::dialogRow(row);
        EXPECT_EQ(views[0].rows[row].label, def.label);
        EXPECT_EQ(views[0].rows[row].unitActive, def.unitActive);
        text += views[0].rows[row].label + " kind " + std::to_string(def.unitSlot) +
                (def.unitActive ? "" : " (shown only)") + " formats";
        for (int slot : def.formatSlots) text += " " + std::to_string(slot);
        text += "\n";
        for (int list = 0; list < 2; ++list) {
            const units::UnitItemList& items = def.lists[list];
            text += list ? "  US" : "  SI";
            text += " fall-back " + std::to_string(items.fallback) + "\n";
            ASSERT_EQ(views[list].rows[row].unitItems.size(), items.items.size());
            for (size_t i = 0; i < items.items.size(); ++i) {
                EXPECT_EQ(views[list].rows[row].unitItems[i],
                          units::latin1ToUtf8(items.items[i].text));
                text += "    " + views[list].rows[row].unitItems[i] + " | " +
                        std::to_string(items.items[i].code) + " " +
                        std::to_string(items.items[i].format) + "\n";
            }
        }
    }
    for (const std::string& item : views[0].formatItems) text += item + "\n";
    kestrel_test::expectGolden("units", "dialog_rows", text);
    EXPECT_STREQ(units::formatItemText(8), "x e\xB1xx");
    EXPECT_STREQ(units::formatItemText(0), "");
    EXPECT_STREQ(units::formatItemText(15), "");
}

// Each quantity kind is chosen by exactly one row and each format slot is set
// by exactly one row; every preset's unit is an item of its system's list.
TEST(UnitsDialogRows, RowsCoverEveryKindAndSlotOnce) {
    int kinds[units::kUnitSlotCount] = {}, slots[units::kFormatSlotCount] = {};
    for (int row = 0; row < units::kDialogRowCount; ++row) {
        const units::DialogRowDef& def = units::dialogRow(row);
        if (def.unitActive) ++kinds[def.unitSlot];
        for (int slot : def.formatSlots) ++slots[slot];
        for (int preset = 0; preset < units::kPresetCount; ++preset) {
            if (!def.unitActive) continue;
            const int code = units::presetSettings(preset).unit[def.unitSlot];
            const auto& items = def.lists[preset == units::kUSPreset].items;
            bool found = false;
            for (const units::UnitItem& item : items) found = found || item.code == code;
            EXPECT_TRUE(found) << "row " << row << " preset " << preset;
        }
    }
    for (int n : kinds) EXPECT_EQ(n, 1);
    for (int n : slots) EXPECT_EQ(n, 1);
}

// The working set (which preset it equals, if any, then unit and format
// codes by slot) and what the dialog shows: the list, whether it is open, and
// each row's unit item / format item / number of unit items.
std::string state(const UnitsDialogModel& m, const DialogView& v) {
    const char* const presets[] = {"SI", "kN-m", "US"};
    std::string out = std::string("  ") + (v.list == units::kUSList ? "US" : "SI") + " lists, " +
                      (v.isOpen ? "open" : "closed") + ", working set ";
    std::string same = "-";
    for (int k = 0; k < units::kPresetCount; ++k)
        if (m.working() == units::presetSettings(k)) same = presets[k];
    out += same + "\n  units";
    for (int c : m.working().unit) out += " " + std::to_string(c);
    out += "\n  formats";
    for (int c : m.working().format) out += " " + std::to_string(c);
    out += "\n  rows";
    for (const units::RowView& r : v.rows)
        out += " " + std::to_string(r.unitItem) + "/" + std::to_string(r.formatItem) + "/" +
               std::to_string(r.unitItems.size());
    return out + "\n";
}

// The dialog driven by the journal tests/data/units/dialog_journal.txt: its
// "> " lines are user actions, "#" lines comments, and every other line the
// state the action before left, compared as a golden. Actions: "new" (a new
// dialog model), "open SI|kN-m|US|current [unit S=C] [format S=C]" (a preset
// or the current set with slots changed), "unit ROW ITEM", "format ROW ITEM",
// "preset K", "cancel", "accept" (into the current set).
TEST(UnitsDialogModel, Journal) {
    const std::string path = kestrel_test::goldenPath("units", "dialog_journal");
    std::istringstream in(kestrel_test::readText(path));
    ASSERT_FALSE(in.str().empty()) << path;
    UnitsDialogModel m;
    UnitSettings current = si();
    std::string text;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("> ", 0) != 0 && line.rfind("#", 0) != 0) continue;
        text += line + "\n";
        if (line[0] == '#') continue;
        std::istringstream words(line.substr(2));
        std::string verb, arg;
        words >> verb;
        int row = 0, item = 0;
        if (verb == "new") {
            m = UnitsDialogModel();
            current = si();
            continue;
        }
        DialogView v;
        if (verb == "open") {
            words >> arg;
            const char* const presets[] = {"SI", "kN-m", "US"};
            UnitSettings start = current;
            for (int k = 0; k < units::kPresetCount; ++k)
                if (arg == presets[k]) start = units::presetSettings(k);
            for (std::string kind; words >> kind;) {
                char eq = 0;
                int slot = 0, code = 0;
                words >> slot >> eq >> code;
                (kind == "unit" ? start.unit[slot] : start.format[slot]) = code;
            }
            v = m.open(start);
        } else if (verb == "unit" && words >> row >> item) {
            v = m.selectUnit(row, item);
        } else if (verb == "format" && words >> row >> item) {
            v = m.selectFormat(row, item);
        } else if (verb == "preset" && words >> item) {
            v = m.preset(item);
        } else if (verb == "cancel" || verb == "accept") {
            const int rc = verb == "cancel" ? m.cancel() : m.accept(current);
            v = m.view();
            text += "  returned " + std::to_string(rc) + ", the current set " +
                    (current == m.working() ? "is" : "is not") + " the working set\n";
        } else {
            ADD_FAILURE() << "unknown action: " << line;
            continue;
        }
        text += state(m, v);
    }
    kestrel_test::expectGolden("units", "dialog_journal", text);
    // The items of a US list and of the SI lists chosen by the SI preset; the
    // format item codes.
    UnitSettings inches = si();
    inches.unit[units::kLengthUnit] = 4;
    EXPECT_EQ(UnitsDialogModel().open(inches).rows[units::kRowForce].unitItems,
              (std::vector<std::string>{"kilo-pound [ kip ]", "pound [ lb ]"}));
    UnitsDialogModel fromUS, fresh;
    fromUS.open(us());
    const DialogView a = fromUS.preset(units::kSIPreset), b = fresh.open(si());
    for (int row = 0; row < units::kDialogRowCount; ++row)
        EXPECT_EQ(a.rows[row].unitItems, b.rows[row].unitItems);
    EXPECT_EQ(units::formatCodeOfItem(0), 2);
    EXPECT_EQ(units::formatCodeOfItem(8), 7);
    EXPECT_EQ(units::formatItemOfCode(7), 8);
}

TEST(UnitsDialogModel, EveryItemSetsItsCodeAndFormat) {
    for (int list = 0; list < 2; ++list) {
        UnitsDialogModel m;
        // Opening with a length in inches shows the US lists.
        UnitSettings start = si();
        if (list == units::kUSList) start.unit[units::kLengthUnit] = 4;
        ASSERT_EQ(m.open(start).list, list);
        for (int row = 0; row < units::kDialogRowCount; ++row) {
            const units::DialogRowDef& def = units::dialogRow(row);
            const auto& items = def.lists[list].items;
            if (!def.unitActive) continue;
            for (size_t i = 0; i < items.size(); ++i) {
                const UnitSettings before = m.working();
                const DialogView v = m.selectUnit(row, static_cast<int>(i) + 1);
                EXPECT_EQ(m.working().unit[def.unitSlot], items[i].code) << "row " << row;
                EXPECT_EQ(v.rows[row].unitItem, static_cast<int>(i) + 1) << "row " << row;
                for (int slot : def.formatSlots) {
                    EXPECT_EQ(m.working().format[slot], items[i].format) << "row " << row;
                }
                EXPECT_EQ(v.rows[row].formatItem, items[i].format + 1);
                // Nothing outside the row changes.
                UnitSettings expected = before;
                expected.unit[def.unitSlot] = items[i].code;
                for (int slot : def.formatSlots) expected.format[slot] = items[i].format;
                EXPECT_EQ(m.working(), expected) << "row " << row;
            }
        }
    }
}

} // namespace

namespace {

// The dialog on the module's current set, as the Units command uses it.
class UnitsDialogOnCurrentSet : public ::testing::Test {
protected:
    void SetUp() override { units::resetUnits(); }
    void TearDown() override { units::resetUnits(); }
};

TEST_F(UnitsDialogOnCurrentSet, CancelKeepsAndOkReplacesTheCurrentSet) {
    UnitsDialogModel m;
    EXPECT_EQ(m.open().list, units::kSIList);
    m.preset(units::kUSPreset);
    m.selectUnit(units::kRowForce, 2);
    EXPECT_EQ(m.cancel(), 0);
    EXPECT_EQ(units::currentSettings(), si());

    m.open();
    m.preset(units::kUSPreset);
    m.selectUnit(units::kRowForce, 2);
    EXPECT_EQ(units::currentSettings(), si()); // nothing applied before OK
    EXPECT_EQ(m.accept(), 1);
    EXPECT_EQ(units::currentUnit(units::kForceUnit), 21);
    EXPECT_EQ(units::currentUnit(units::kLengthUnit), 3);
    EXPECT_EQ(units::currentFormat(units::kForce2Format), 0);
    EXPECT_EQ(m.accept(), 0); // already closed
    // Reopening from the new current set shows the US lists.
    EXPECT_EQ(m.open().list, units::kUSList);
    EXPECT_EQ(m.view().rows[units::kRowForce].unitItem, 2);
}

} // namespace
