// Units: the closed table of 117 display units (label and conversion to the
// internal unit system of metres, kilonewtons, radians and degrees Celsius),
// the 15 quantity kinds, the three preset unit and format sets, and the
// current set of unit and format codes that every panel, drawing and text of
// the program reads.
//
// This module owns the current set (one `UnitsState` with `resetUnits()`);
// the shell reads and replaces it with currentSettings()/setCurrentSettings()
// when it saves, opens or resets a model, and the units dialog works on a copy
// of it. Everything here is toolkit-free and depends on nothing else of the
// project. Labels are ISO 8859-1 bytes; see units/latin1.h for their UTF-8 form.
#pragma once

#include <array>
#include <string>

namespace units {

constexpr int kUnitCodeCount = 117;  // unit codes 0 to 116
constexpr int kUnitSlotCount = 15;   // quantity kinds with a unit code
constexpr int kFormatSlotCount = 23; // format codes kept per model

// Quantity kinds, in the order of the unit codes in AppSettings and the model file.
enum UnitSlot {
    kLengthUnit = 0,
    kDisplacementUnit = 1,
    kRotationUnit = 2,
    kForceUnit = 3,
    kMomentUnit = 4,
    kDistribLoadUnit = 5,
    kElasticParamUnit = 6,
    kSpecificWeightUnit = 7,
    kThermalExpanUnit = 8,
    kTemperatureUnit = 9,
    kSectionSizeUnit = 10,
    kSectionAreaUnit = 11,
    kSectionInertiaUnit = 12,
    kTranslatSpringUnit = 13,
    kRotationSpringUnit = 14,
};

// Format slots, in the order of the format codes in AppSettings and the model file.
enum FormatSlot {
    kLengthFormat = 0,
    kLength2Format = 1,
    kDisplacementFormat = 2,
    kRotationFormat = 3,
    kForceFormat = 4,
    kForce2Format = 5,
    kForceInflLineFormat = 6,
    kMomentFormat = 7,
    kMoment2Format = 8,
    kMomentInflLineFormat = 9,
    kDistribLoadFormat = 10,
    kElasticParamFormat = 11,
    kSpecificWeightFormat = 12,
    kThermalExpanFormat = 13,
    kTemperatureFormat = 14,
    kSectionSizeFormat = 15,
    kSectionAreaFormat = 16,
    kSectionInertiaFormat = 17,
    kTranslatSpringFormat = 18,
    kRotationSpringFormat = 19,
    kWorkSpaceFormat = 20,
    kCursorFormat = 21,
    kGridStepFormat = 22,
};

// The unit and format codes of one model: the 15 + 23 integers of AppSettings.
struct UnitSettings {
    std::array<int, kUnitSlotCount> unit{};
    std::array<int, kFormatSlotCount> format{};
    bool operator==(const UnitSettings&) const = default;
};

// The three preset sets of the units dialog; kSIPreset is the start-up set.
enum Preset { kSIPreset = 0, kKNMPreset = 1, kUSPreset = 2 };
constexpr int kPresetCount = 3;

// The preset's 15 unit codes and 23 format codes. A preset outside 0..2 gives the SI set.
const UnitSettings& presetSettings(int preset);

// How a unit converts. Most units are a factor; temperature in Fahrenheit has
// an offset and the per-Fahrenheit expansion coefficient a fixed ratio.
enum ConversionKind {
    kFactorConversion = 0,
    kFahrenheitConversion = 1,
    kPerFahrenheitConversion = 2
};

// Internal value of a value shown in the unit `code` (codes outside 0..116: factor 1).
double toInternal(int code, double value);
// Value shown in the unit `code` for an internal value (codes outside 0..116: factor 1).
double toDisplay(int code, double internal);
// Factor to the internal unit of a factor unit; 1 for codes outside 0..116 and
// for the two Fahrenheit codes, which are not factors (see conversionKind()).
double unitFactor(int code);
ConversionKind conversionKind(int code);
// Label of the unit as ISO 8859-1 bytes ("m\xB2" is m squared); "" outside 0..116.
const char* unitLabel(int code);
// The label converted to UTF-8, for widgets, drawings and exported files.
std::string unitLabelUtf8(int code);

// ---- The current set (module state) ----

// The module's global state: the unit and format codes in force.
struct UnitsState {
    UnitSettings settings;
};

// Sets the SI preset (units and formats): at start-up and by New.
void resetUnits();
const UnitSettings& currentSettings();
// Replaces the whole current set (after opening a model, after the units dialog's OK).
void setCurrentSettings(const UnitSettings& settings);
// Unit code chosen for a quantity kind; -1 for a slot outside 0..14.
int currentUnit(int slot);
// Sets one unit code; ignored for a slot outside 0..14. Codes are stored as given.
void setCurrentUnit(int slot, int code);
// Format code of a format slot; -1 for a slot outside 0..22 (prints with "%.2f").
int currentFormat(int slot);
// Sets one format code; ignored for a slot outside 0..22. Codes are stored as given.
void setCurrentFormat(int slot, int code);

// Conversions and label through the current unit of a quantity kind.
double slotToInternal(int unitSlot, double value);
double slotToDisplay(int unitSlot, double internal);
const char* slotUnitLabel(int unitSlot);
std::string slotUnitLabelUtf8(int unitSlot);

} // namespace units
