// The units dialog's model: rows, lists, defaults, couplings, presets, OK and Cancel.
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

// For every row and list: the code and the format default of each item, in order
// (format -1: the choice leaves the format alone).
struct ExpectedItem {
    int code;
    int format;
};
struct ExpectedRow {
    std::vector<ExpectedItem> si, us;
};
const ExpectedRow kExpected[units::kDialogRowCount] = {
    {{{0, 2}, {1, 1}, {2, 0}}, {{3, 2}, {4, 1}}},         // Length
    {{{0, 10}, {1, 10}, {2, 10}}, {{3, 10}, {4, 10}}},    // Displacement
    {{{5, 10}, {6, 1}}, {{5, 10}, {6, 1}}},               // Rotation
    {{{0, 2}, {1, 1}, {2, 0}}, {{3, 2}, {4, 1}}},         // Section Sizes
    {{{7, 4}, {8, 2}, {9, 11}}, {{10, 4}, {11, 2}}},      // Section Area
    {{{12, 6}, {13, 11}, {14, 11}}, {{15, 6}, {16, 11}}}, // Section Inertia
    {{{17, 1}, {18, 0}, {19, 2}}, {{20, 1}, {21, 0}}},    // Force
    {{{22, 1}, {23, 0}, {24, 2}, {25, 0}, {26, 11}, {27, 0}, {28, 0}, {29, 11}, {30, 0}},
     {{31, 1}, {32, 0}, {33, 0}, {34, 11}}}, // Moment
    {{{35, 2}, {36, 0}, {37, 3}, {38, 4}, {39, 1}, {40, 5}, {41, 6}, {42, 2}, {43, 10}},
     {{44, 2}, {45, 0}, {46, 4}, {47, 1}}}, // Distrib. Load
    {{{48, 0}}, {{49, 0}}},                 // Temperature
    {{{50, 10}, {51, 10}, {52, 10}, {53, 2}, {54, 10}, {55, 3}, {56, 3}, {57, 0}, {58, 5}},
     {{59, 10}, {60, 10}, {61, 0}, {62, 0}}}, // Elastic Param.
    {{{63, 1}, {64, 0}, {65, 2}, {66, 10}, {67, 4}, {68, 10}, {69, 10}, {70, 10}, {71, 10}},
     {{72, 3}, {73, 1}, {74, 10}, {75, 3}}}, // Specific Weight
    {{{76, 6}}, {{77, 8}}},                  // Thermal Expan.
    {{{78, 10}, {79, 10}, {80, 10}, {81, 10}, {82, 10}, {83, 10}, {84, 10}, {85, 10}, {86, 10}},
     {{87, 10}, {88, 10}, {89, 10}, {90, 10}}}, // Translat. Spring
    // clang-format off
    {{{91, 10}, {92, 10}, {93, 10}, {94, 10}, {95, 10}, {96, 10}, {97, 10}, {98, 10}, {99, 10},
      {104, 10}, {105, 10}, {106, 10}, {107, 10}, {108, 10}, {109, 10}, {110, 10}, {111, 10},
      {112, 10}},
     {{100, 10}, {101, 10}, {102, 10}, {103, 10}, {113, 10}, {114, 10}, {115, 10}, {116, 10}}},
    // clang-format on
    {{{-1, -1}}, {{-1, -1}}},                          // Force Infl. Line
    {{{0, -1}, {1, -1}, {2, -1}}, {{3, -1}, {4, -1}}}, // Moment Infl. Line
};

// Format slots each row's format drop-down sets.
const std::vector<int> kRowSlots[units::kDialogRowCount] = {{0, 1, 20, 21, 22},
                                                            {2},
                                                            {3},
                                                            {15},
                                                            {16},
                                                            {17},
                                                            {4, 5},
                                                            {7, 8},
                                                            {10},
                                                            {14},
                                                            {11},
                                                            {12},
                                                            {13},
                                                            {18},
                                                            {19},
                                                            {6},
                                                            {9}};

TEST(UnitsDialogRows, LabelsInOrder) {
    const char* const labels[] = {
        "Length:",           "Displacement:",     "Rotation:",        "Section Sizes:",
        "Section Area:",     "Section Inertia:",  "Force:",           "Moment:",
        "Distrib. Load:",    "Temperature:",      "Elastic Param.:",  "Specific Weight:",
        "Thermal Expan.:",   "Translat. Spring:", "Rotation Spring:", "Force Infl. Line:",
        "Moment Infl. Line:"};
    UnitsDialogModel m;
    const DialogView v = m.open(si());
    for (int row = 0; row < units::kDialogRowCount; ++row) {
        EXPECT_STREQ(units::dialogRow(row).label, labels[row]);
        EXPECT_EQ(v.rows[row].label, labels[row]);
        EXPECT_EQ(v.rows[row].unitActive, row < units::kRowForceInflLine) << "row " << row;
    }
}

TEST(UnitsDialogRows, ItemTextsAreUtf8) {
    UnitsDialogModel m;
    DialogView v = m.open(si());
    EXPECT_EQ(v.rows[units::kRowLength].unitItems,
              (std::vector<std::string>{"meter [ m ]", "centimeter [ cm ]", "millimeter [ mm ]"}));
    EXPECT_EQ(v.rows[units::kRowElasticParam].unitItems[7], "mega-Pascal [ MPa (N/mm²) ]");
    EXPECT_EQ(v.rows[units::kRowElasticParam].unitItems[1], "Pascal [ Pa (N/m²) ]");
    EXPECT_EQ(v.rows[units::kRowTemperature].unitItems,
              (std::vector<std::string>{"centigrade [ °C ]"}));
    EXPECT_EQ(v.rows[units::kRowThermalExpan].unitItems, (std::vector<std::string>{"[ 1/°C ]"}));
    EXPECT_EQ(v.rows[units::kRowSpecificWeight].unitItems[8], "[ tf/mm³ ]");
    EXPECT_EQ(v.rows[units::kRowSectionArea].unitItems[0], "[ m^2 ]");
    EXPECT_EQ(v.rows[units::kRowMoment].unitItems[8], "[ tfmm ]");
    EXPECT_EQ(v.rows[units::kRowRotationSpring].unitItems[9], "[ kNm/deg ]");
    EXPECT_EQ(v.rows[units::kRowForceInflLine].unitItems, (std::vector<std::string>{"[  ]"}));
    EXPECT_EQ(v.formatItems.size(), 14u);
    EXPECT_EQ(v.formatItems[0], "x");
    EXPECT_EQ(v.formatItems[6], "x.xxxxxx");
    EXPECT_EQ(v.formatItems[7], "x e±xx");
    EXPECT_EQ(v.formatItems[13], "x.xxxxxx e±xx");
    EXPECT_STREQ(units::formatItemText(8), "x e\xB1xx");
    EXPECT_STREQ(units::formatItemText(0), "");
    EXPECT_STREQ(units::formatItemText(15), "");
    v = m.preset(units::kUSPreset);
    EXPECT_EQ(v.rows[units::kRowElasticParam].unitItems,
              (std::vector<std::string>{"[ kip/ft² ]", "[ lb/ft² ]", "[ ksi (kip/in²) ]",
                                        "[ psi (lb/in²) ]"}));
    EXPECT_EQ(v.rows[units::kRowSpecificWeight].unitItems[1], "[ pcf (lb/ft³) ]");
    EXPECT_EQ(v.rows[units::kRowMoment].unitItems,
              (std::vector<std::string>{"[ ft-kip ]", "[ ft-lb ]", "[ in-kip ]", "[ in-lb ]"}));
    EXPECT_EQ(v.rows[units::kRowTemperature].unitItems,
              (std::vector<std::string>{"Fahrenheit [ °F ]"}));
}

TEST(UnitsDialogModel, EveryItemSetsItsCodeAndFormat) {
    for (int list = 0; list < 2; ++list) {
        UnitsDialogModel m;
        // Opening with a length in inches shows the US lists.
        UnitSettings start = si();
        if (list == units::kUSList) start.unit[units::kLengthUnit] = 4;
        ASSERT_EQ(m.open(start).list, list);
        for (int row = 0; row < units::kDialogRowCount; ++row) {
            const std::vector<ExpectedItem>& items = list ? kExpected[row].us : kExpected[row].si;
            ASSERT_EQ(m.view().rows[row].unitItems.size(), items.size()) << "row " << row;
            const units::DialogRowDef& def = units::dialogRow(row);
            for (size_t i = 0; i < items.size(); ++i) {
                EXPECT_EQ(def.lists[list].items[i].code, items[i].code) << "row " << row;
                EXPECT_EQ(def.lists[list].items[i].format, items[i].format) << "row " << row;
                if (!def.unitActive) continue;
                const UnitSettings before = m.working();
                const DialogView v = m.selectUnit(row, static_cast<int>(i) + 1);
                EXPECT_EQ(m.working().unit[def.unitSlot], items[i].code) << "row " << row;
                EXPECT_EQ(v.rows[row].unitItem, static_cast<int>(i) + 1) << "row " << row;
                for (int slot : kRowSlots[row]) {
                    EXPECT_EQ(m.working().format[slot], items[i].format) << "row " << row;
                }
                EXPECT_EQ(v.rows[row].formatItem, items[i].format + 1);
                // Nothing outside the row changes.
                for (int s = 0; s < units::kUnitSlotCount; ++s) {
                    if (s != def.unitSlot) {
                        EXPECT_EQ(m.working().unit[s], before.unit[s]);
                    }
                }
                for (int s = 0; s < units::kFormatSlotCount; ++s) {
                    bool inRow = false;
                    for (int slot : kRowSlots[row]) inRow = inRow || slot == s;
                    if (!inRow) {
                        EXPECT_EQ(m.working().format[s], before.format[s]);
                    }
                }
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
