// The units dialog's model: rows, lists, defaults, couplings, presets, OK and Cancel.
#include "tests/support/golden.h"
#include "units/latin1.h"
#include "units/unitsdialog_model.h"

#include <gtest/gtest.h>

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

TEST(UnitsDialogModel, OpeningWithInchesShowsUSListsEvenWithAnSIForce) {
    UnitSettings start = si();
    start.unit[units::kLengthUnit] = 4;           // in
    ASSERT_EQ(start.unit[units::kForceUnit], 17); // kN
    UnitsDialogModel m;
    DialogView v = m.open(start);
    EXPECT_EQ(v.list, units::kUSList);
    EXPECT_EQ(v.rows[units::kRowForce].unitItems,
              (std::vector<std::string>{"kilo-pound [ kip ]", "pound [ lb ]"}));
    EXPECT_EQ(v.rows[units::kRowForce].unitItem, 1); // kN is not in the list: first item
    EXPECT_EQ(v.rows[units::kRowLength].unitItem, 2);
    // The SI elastic parameter (MPa) falls back to "[ ksi (kip/in²) ]", the SI
    // specific weight to "[ pcf (lb/ft³) ]".
    EXPECT_EQ(v.rows[units::kRowElasticParam].unitItem, 3);
    EXPECT_EQ(v.rows[units::kRowSpecificWeight].unitItem, 2);
    EXPECT_EQ(m.working().unit[units::kForceUnit], 17); // only shown, not changed
    v = m.selectUnit(units::kRowForce, 2);
    EXPECT_EQ(m.working().unit[units::kForceUnit], 21); // lb, a US code
    EXPECT_EQ(m.working().format[units::kForceFormat], 0);
    EXPECT_EQ(m.working().format[units::kForce2Format], 0);
    // Opening with feet too; with metres the SI lists.
    start.unit[units::kLengthUnit] = 3;
    EXPECT_EQ(m.open(start).list, units::kUSList);
    start.unit[units::kLengthUnit] = 2;
    EXPECT_EQ(m.open(start).list, units::kSIList);
}

TEST(UnitsDialogModel, OpeningShowsTheCurrentItems) {
    UnitsDialogModel m;
    const DialogView v = m.open(si());
    const int unitItems[] = {1, 3, 1, 3, 3, 3, 1, 1, 1, 1, 8, 1, 1, 1, 1, 1, 1};
    const int formatItems[] = {3, 11, 11, 1, 12, 12, 2, 2, 3, 1, 1, 2, 7, 11, 11, 5, 5};
    for (int row = 0; row < units::kDialogRowCount; ++row) {
        EXPECT_EQ(v.rows[row].unitItem, unitItems[row]) << "row " << row;
        EXPECT_EQ(v.rows[row].formatItem, formatItems[row]) << "row " << row;
    }
    // Format codes from an old file outside 0..13 show the "x.xx" item.
    UnitSettings odd = si();
    odd.format[units::kForceFormat] = 14;
    odd.format[units::kMomentFormat] = -1;
    const DialogView w = m.open(odd);
    EXPECT_EQ(w.rows[units::kRowForce].formatItem, 3);
    EXPECT_EQ(w.rows[units::kRowMoment].formatItem, 3);
    // An unknown elastic code in SI shows "mega-Pascal [ MPa (N/mm²) ]".
    odd.unit[units::kElasticParamUnit] = 61;
    EXPECT_EQ(m.open(odd).rows[units::kRowElasticParam].unitItem, 8);
}

TEST(UnitsDialogModel, LengthMovesTheMomentInflLineBoxAndAllLengthFormats) {
    UnitsDialogModel m;
    m.open(si());
    DialogView v = m.selectFormat(units::kRowMomentInflLine, 7);
    EXPECT_EQ(m.working().format[units::kMomentInflLineFormat], 6);
    v = m.selectUnit(units::kRowLength, 2); // cm
    EXPECT_EQ(m.working().unit[units::kLengthUnit], 1);
    for (int slot : {0, 1, 20, 21, 22}) EXPECT_EQ(m.working().format[slot], 1) << "slot " << slot;
    EXPECT_EQ(v.rows[units::kRowMomentInflLine].unitItem, 2);
    EXPECT_EQ(v.rows[units::kRowMomentInflLine].formatItem, 7); // its format is its own
    EXPECT_EQ(m.working().unit[units::kSectionSizeUnit], 2);    // section sizes keep mm
    v = m.selectUnit(units::kRowLength, 3);
    EXPECT_EQ(v.rows[units::kRowMomentInflLine].unitItem, 3);
    // The influence-line boxes cannot be chosen.
    const UnitSettings before = m.working();
    m.selectUnit(units::kRowMomentInflLine, 1);
    m.selectUnit(units::kRowForceInflLine, 1);
    EXPECT_EQ(m.working(), before);
}

TEST(UnitsDialogModel, FormatDropDownsSetEveryRowSlot) {
    UnitsDialogModel m;
    m.open(si());
    m.selectFormat(units::kRowForce, 5);
    EXPECT_EQ(m.working().format[units::kForceFormat], 4);
    EXPECT_EQ(m.working().format[units::kForce2Format], 4);
    m.selectFormat(units::kRowMoment, 14);
    EXPECT_EQ(m.working().format[units::kMomentFormat], 13);
    EXPECT_EQ(m.working().format[units::kMoment2Format], 13);
    DialogView v = m.selectFormat(units::kRowLength, 0); // outside 1..14: code 2
    for (int slot : {0, 1, 20, 21, 22}) EXPECT_EQ(m.working().format[slot], 2);
    m.selectFormat(units::kRowLength, 1);
    v = m.selectFormat(units::kRowLength, 15);
    EXPECT_EQ(m.working().format[units::kCursorFormat], 2);
    EXPECT_EQ(v.rows[units::kRowLength].formatItem, 3);
    m.selectFormat(units::kRowForceInflLine, 1);
    EXPECT_EQ(m.working().format[units::kForceInflLineFormat], 0);
    // A row outside the dialog changes nothing.
    const UnitSettings before = m.working();
    m.selectFormat(17, 1);
    m.selectFormat(-1, 1);
    m.selectUnit(17, 1);
    EXPECT_EQ(m.working(), before);
}

TEST(UnitsDialogModel, ItemsOutsideTheListFallBack) {
    UnitsDialogModel m;
    m.open(si());
    m.selectUnit(units::kRowElasticParam, 0);
    EXPECT_EQ(m.working().unit[units::kElasticParamUnit], 57); // MPa
    EXPECT_EQ(m.working().format[units::kElasticParamFormat], 0);
    m.selectUnit(units::kRowForce, 4);
    EXPECT_EQ(m.working().unit[units::kForceUnit], 17);
    m.selectUnit(units::kRowRotationSpring, 19);
    EXPECT_EQ(m.working().unit[units::kRotationSpringUnit], 91);
    m.preset(units::kUSPreset);
    m.selectUnit(units::kRowElasticParam, 5);
    EXPECT_EQ(m.working().unit[units::kElasticParamUnit], 61); // ksi
    m.selectUnit(units::kRowSpecificWeight, -2);
    EXPECT_EQ(m.working().unit[units::kSpecificWeightUnit], 73); // pcf
    EXPECT_EQ(m.working().format[units::kSpecificWeightFormat], 1);
    m.selectUnit(units::kRowMoment, 5);
    EXPECT_EQ(m.working().unit[units::kMomentUnit], 31);
    EXPECT_EQ(units::formatCodeOfItem(0), 2);
    EXPECT_EQ(units::formatCodeOfItem(8), 7);
    EXPECT_EQ(units::formatItemOfCode(7), 8);
}

TEST(UnitsDialogModel, PresetsSwitchEveryList) {
    UnitsDialogModel m;
    UnitSettings start = us();
    DialogView v = m.open(start);
    ASSERT_EQ(v.list, units::kUSList);
    v = m.preset(units::kSIPreset); // "   SI   "
    EXPECT_EQ(v.list, units::kSIList);
    EXPECT_EQ(m.working(), si());
    UnitsDialogModel fresh;
    const DialogView siView = fresh.open(si());
    for (int row = 0; row < units::kDialogRowCount; ++row) {
        EXPECT_EQ(v.rows[row].unitItems, siView.rows[row].unitItems) << "row " << row;
        EXPECT_EQ(v.rows[row].unitItem, siView.rows[row].unitItem) << "row " << row;
        EXPECT_EQ(v.rows[row].formatItem, siView.rows[row].formatItem) << "row " << row;
    }
    v = m.preset(units::kKNMPreset); // "  kN-m  "
    EXPECT_EQ(v.list, units::kSIList);
    EXPECT_EQ(m.working(), units::presetSettings(units::kKNMPreset));
    EXPECT_EQ(v.rows[units::kRowElasticParam].unitItem, 1);
    EXPECT_EQ(v.rows[units::kRowElasticParam].formatItem, 11);
    v = m.preset(units::kUSPreset); // "   US   "
    EXPECT_EQ(v.list, units::kUSList);
    EXPECT_EQ(m.working(), us());
    EXPECT_EQ(v.rows[units::kRowRotationSpring].unitItems.size(), 8u);
    m.preset(3); // not a preset
    EXPECT_EQ(m.working(), us());
    EXPECT_EQ(m.list(), units::kUSList);
}

TEST(UnitsDialogModel, CancelLeavesTheSettingsUntouched) {
    UnitSettings current = si();
    const UnitSettings original = current;
    UnitsDialogModel m;
    m.open(current);
    m.selectUnit(units::kRowLength, 3);
    m.selectFormat(units::kRowForce, 9);
    m.preset(units::kUSPreset);
    m.selectUnit(units::kRowMoment, 4);
    EXPECT_NE(m.working(), original);
    EXPECT_EQ(m.cancel(), 0);
    EXPECT_FALSE(m.isOpen());
    EXPECT_EQ(current, original);
    EXPECT_EQ(m.accept(current), 0); // closed: nothing to accept
    EXPECT_EQ(current, original);
    // The next opening starts again from the settings handed in.
    EXPECT_EQ(m.open(current).list, units::kSIList);
    EXPECT_EQ(m.working(), original);
}

TEST(UnitsDialogModel, OkApplies) {
    UnitSettings current = si();
    UnitsDialogModel m;
    m.open(current);
    m.selectUnit(units::kRowForce, 2);       // N
    m.selectUnit(units::kRowTemperature, 1); // °C
    m.selectFormat(units::kRowDisplacement, 4);
    const UnitSettings working = m.working();
    EXPECT_EQ(m.accept(current), 1);
    EXPECT_FALSE(m.isOpen());
    EXPECT_EQ(current, working);
    EXPECT_EQ(current.unit[units::kForceUnit], 18);
    EXPECT_EQ(current.format[units::kForceFormat], 0);
    EXPECT_EQ(current.format[units::kDisplacementFormat], 3);
    // While closed the model ignores choices.
    m.selectUnit(units::kRowForce, 1);
    m.preset(units::kUSPreset);
    EXPECT_EQ(m.working(), working);
    EXPECT_FALSE(m.view().isOpen);
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
