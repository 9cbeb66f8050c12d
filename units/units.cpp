// The unit table, the presets and the current set of unit and format codes.
#include "units/units.h"

#include "units/latin1.h"

#include <cmath>

namespace units {

namespace {

struct UnitDef {
    const char* label; // ISO 8859-1
    double factor;     // internal = shown * factor (factor units only)
    ConversionKind kind;
};

// Conversion of one kind, both ways: a table indexed by ConversionKind.
struct Conversion {
    double (*toInternal)(double factor, double value);
    double (*toDisplay)(double factor, double internal);
};

const Conversion kConversions[] = {
    // A factor unit: the displayed value times the factor is the internal value.
    {[](double f, double v) { return v * f; }, [](double f, double v) { return v / f; }},
    // Degrees Fahrenheit to degrees Celsius and back.
    {[](double, double v) { return (v - 32.0) * 5.0 / 9.0; },
     [](double, double v) { return v * 9.0 / 5.0 + 32.0; }},
    // Per degree Fahrenheit to per degree Celsius and back.
    {[](double, double v) { return v * 9.0 / 5.0; },
     [](double, double v) { return v * 5.0 / 9.0; }},
};

constexpr ConversionKind F = kFactorConversion;

// Labels are ISO 8859-1: \xB2 and \xB3 are the superscripts two and three,
// \260 (octal for 0xB0) the degree sign, in octal so that a following "C" or
// "F" is not taken as one more hex digit.
// Codes 0 to 77; the springs 78 to 116 are derived from the distributed-load
// and moment units in unitTable().
const UnitDef kBaseUnits[78] = {
    {"m", 1, F},
    {"cm", 0.01, F},
    {"mm", 0.001, F},
    {"ft", 0.3048, F},
    {"in", 0.0254, F},
    {"rad", 1, F},
    {"deg", 0, F}, // pi / 180, set in unitTable()
    {"m\xB2", 1, F},
    {"cm\xB2", 0.0001, F},
    {"mm\xB2", 1e-6, F},
    {"ft\xB2", 0.3048 * 0.3048, F}, // equals 0.09290304 exactly in double
    {"in\xB2", 0.0254 * 0.0254, F}, // equals 0.00064516 exactly in double
    {"m^4", 1, F},
    {"cm^4", 1e-8, F},
    {"mm^4", 1e-12, F},
    {"ft^4", 0.008630974841241602, F},
    {"in^4", 4.1623142559999997e-7, F},
    {"kN", 1, F},
    {"N", 0.001, F},
    {"tf", 9.81, F},
    {"kip", 4.448, F},
    {"lb", 0.004448, F},
    {"kNm", 1, F},
    {"Nm", 0.001, F},
    {"tfm", 9.81, F},
    {"kNcm", 0.01, F},
    {"Ncm", 1e-5, F},
    {"tfcm", 0.0981, F},
    {"kNmm", 0.001, F},
    {"Nmm", 1e-6, F},
    {"tfmm", 0.00981, F},
    {"ft-k", 1.356, F},
    {"ft-lb", 0.001356, F},
    {"in-k", 0.11298, F},
    {"in-lb", 0.00011298, F},
    {"kN/m", 1, F},
    {"N/m", 0.001, F},
    {"tf/m", 9.81, F},
    {"kN/cm", 100, F},
    {"N/cm", 0.1, F},
    {"tf/cm", 981, F},
    {"kN/mm", 1000, F},
    {"N/mm", 1, F},
    {"tf/mm", 9810, F},
    {"k/ft", 14.593, F},
    {"lb/ft", 0.014593, F},
    {"k/in", 175.1, F},
    {"lb/in", 0.1751, F},
    {"\260C", 1, F},
    {"\260F", 1, kFahrenheitConversion},
    {"kN/m\xB2", 1, F},
    {"Pa", 0.001, F},
    {"tf/m\xB2", 9.81, F},
    {"kN/cm\xB2", 10000, F},
    {"N/cm\xB2", 10, F},
    {"tf/cm\xB2", 98100, F},
    {"GPa", 1e6, F},
    {"MPa", 1000, F},
    {"tf/mm\xB2", 9.81e6, F},
    {"k/ft\xB2", 47.878, F},
    {"lb/ft\xB2", 0.047878, F},
    {"ksi", 6895, F},
    {"psi", 6.895, F},
    {"kN/m\xB3", 1, F},
    {"N/m\xB3", 0.001, F},
    {"tf/m\xB3", 9.81, F},
    {"kN/cm\xB3", 1e6, F},
    {"N/cm\xB3", 1000, F},
    {"tf/cm\xB3", 9.81e6, F},
    {"kN/mm\xB3", 1e9, F},
    {"N/mm\xB3", 1e6, F},
    {"tf/mm\xB3", 9.81e9, F},
    {"k/ft\xB3", 157.1, F},
    {"pcf", 0.1571, F},
    {"k/in\xB3", 271434, F},
    {"lb/in\xB3", 271.434, F},
    {"/\260C", 1, F},
    {"/\260F", 1, kPerFahrenheitConversion},
};

constexpr int kDegree = 6;
constexpr int kMoment = 22;           // first moment code
constexpr int kDistributed = 35;      // first distributed-load code
constexpr int kTranslatSpring = 78;   // first translational spring code
constexpr int kPerRadianSpring = 91;  // first per-radian rotational spring code
constexpr int kPerDegreeSpring = 104; // first per-degree rotational spring code
constexpr int kSpringUnits = 13;      // units of each spring group

// Translational springs are the distributed-load units again; rotational
// springs are the moment units per radian or per degree.
const char* const kPerRadianLabels[kSpringUnits] = {
    "kNm/rad", "Nm/rad",   "tfm/rad",  "kNcm/rad",  "Ncm/rad",  "tfcm/rad",  "kNmm/rad",
    "Nmm/rad", "tfmm/rad", "ft-k/rad", "ft-lb/rad", "in-k/rad", "in-lb/rad",
};
const char* const kPerDegreeLabels[kSpringUnits] = {
    "kNm/deg", "Nm/deg",   "tfm/deg",  "kNcm/deg",  "Ncm/deg",  "tfcm/deg",  "kNmm/deg",
    "Nmm/deg", "tfmm/deg", "ft-k/deg", "ft-lb/deg", "in-k/deg", "in-lb/deg",
};

using UnitTable = std::array<UnitDef, kUnitCodeCount>;

UnitTable buildUnitTable() {
    UnitTable t{};
    for (int c = 0; c < kTranslatSpring; ++c) t[c] = kBaseUnits[c];
    const double pi = std::fabs(std::acos(-1.0));
    t[kDegree].factor = pi / 180.0;
    for (int i = 0; i < kSpringUnits; ++i) {
        const double perRadian = kBaseUnits[kMoment + i].factor;
        t[kTranslatSpring + i] = kBaseUnits[kDistributed + i];
        t[kPerRadianSpring + i] = {kPerRadianLabels[i], perRadian, F};
        t[kPerDegreeSpring + i] = {kPerDegreeLabels[i], perRadian * (180.0 / pi), F};
    }
    return t;
}

const UnitTable& unitTable() {
    static const UnitTable table = buildUnitTable();
    return table;
}

bool validCode(int code) {
    return code >= 0 && code < kUnitCodeCount;
}

const UnitSettings kPresets[kPresetCount] = {
    // "   SI   ", "Default SI units"
    {{0, 2, 5, 17, 22, 35, 57, 63, 76, 48, 2, 9, 14, 78, 91},
     {2, 2, 10, 10, 1, 1, 4, 1, 1, 4, 2, 0, 1, 6, 0, 0, 11, 11, 10, 10, 2, 2, 2}},
    // "  kN-m  ", "All units in kN & m"
    {{0, 0, 5, 17, 22, 35, 50, 63, 76, 48, 0, 7, 12, 78, 91},
     {2, 2, 10, 10, 1, 1, 4, 1, 1, 4, 2, 10, 1, 6, 0, 2, 4, 6, 10, 10, 2, 2, 2}},
    // "   US   ", "Default US units"
    {{3, 4, 5, 20, 31, 44, 61, 73, 77, 49, 4, 11, 16, 87, 100},
     {2, 2, 10, 10, 1, 1, 4, 1, 1, 4, 2, 0, 1, 8, 0, 1, 2, 11, 10, 10, 2, 2, 2}},
};

UnitsState g_state{kPresets[kSIPreset]};

} // namespace

const UnitSettings& presetSettings(int preset) {
    if (preset < 0 || preset >= kPresetCount) preset = kSIPreset;
    return kPresets[preset];
}

ConversionKind conversionKind(int code) {
    return validCode(code) ? unitTable()[code].kind : kFactorConversion;
}

double unitFactor(int code) {
    if (!validCode(code) || unitTable()[code].kind != kFactorConversion) return 1.0;
    return unitTable()[code].factor;
}

double toInternal(int code, double value) {
    if (!validCode(code)) return value;
    const UnitDef& u = unitTable()[code];
    return kConversions[u.kind].toInternal(u.factor, value);
}

double toDisplay(int code, double internal) {
    if (!validCode(code)) return internal;
    const UnitDef& u = unitTable()[code];
    return kConversions[u.kind].toDisplay(u.factor, internal);
}

const char* unitLabel(int code) {
    return validCode(code) ? unitTable()[code].label : "";
}

std::string unitLabelUtf8(int code) {
    return latin1ToUtf8(unitLabel(code));
}

void resetUnits() {
    g_state = UnitsState{kPresets[kSIPreset]};
}

const UnitSettings& currentSettings() {
    return g_state.settings;
}

void setCurrentSettings(const UnitSettings& settings) {
    g_state.settings = settings;
}

int currentUnit(int slot) {
    if (slot < 0 || slot >= kUnitSlotCount) return -1;
    return g_state.settings.unit[slot];
}

void setCurrentUnit(int slot, int code) {
    if (slot < 0 || slot >= kUnitSlotCount) return;
    g_state.settings.unit[slot] = code;
}

int currentFormat(int slot) {
    if (slot < 0 || slot >= kFormatSlotCount) return -1;
    return g_state.settings.format[slot];
}

void setCurrentFormat(int slot, int code) {
    if (slot < 0 || slot >= kFormatSlotCount) return;
    g_state.settings.format[slot] = code;
}

double slotToInternal(int unitSlot, double value) {
    return toInternal(currentUnit(unitSlot), value);
}

double slotToDisplay(int unitSlot, double internal) {
    return toDisplay(currentUnit(unitSlot), internal);
}

const char* slotUnitLabel(int unitSlot) {
    return unitLabel(currentUnit(unitSlot));
}

std::string slotUnitLabelUtf8(int unitSlot) {
    return unitLabelUtf8(currentUnit(unitSlot));
}

} // namespace units
