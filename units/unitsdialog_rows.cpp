// The rows of the units dialog: labels, unit items with the format each
// choice brings, fall-back items, the format slots of each row, and the
// format items.
#include "units/unitsdialog_model.h"

namespace units {

namespace {

// Item texts are ISO 8859-1: \xB2, \xB3 superscripts, \260 (octal) the degree
// sign, \xB1 the plus-minus sign.

// Lengths (also displacements and section sizes, with their own formats).
const UnitItem kLengthSI[] = {
    {"meter [ m ]", 0, 2}, {"centimeter [ cm ]", 1, 1}, {"millimeter [ mm ]", 2, 0}};
const UnitItem kLengthUS[] = {{"foot [ ft ]", 3, 2}, {"inch [ in ]", 4, 1}};
const UnitItem kDisplacementSI[] = {
    {"meter [ m ]", 0, 10}, {"centimeter [ cm ]", 1, 10}, {"millimeter [ mm ]", 2, 10}};
const UnitItem kDisplacementUS[] = {{"foot [ ft ]", 3, 10}, {"inch [ in ]", 4, 10}};
// The "Moment Infl. Line:" box shows the length list and sets no format.
const UnitItem kInflLengthSI[] = {
    {"meter [ m ]", 0, -1}, {"centimeter [ cm ]", 1, -1}, {"millimeter [ mm ]", 2, -1}};
const UnitItem kInflLengthUS[] = {{"foot [ ft ]", 3, -1}, {"inch [ in ]", 4, -1}};
const UnitItem kEmpty[] = {{"[  ]", -1, -1}};

const UnitItem kRotation[] = {{"radian [ rad ]", 5, 10}, {"degree [ deg ]", 6, 1}};

const UnitItem kAreaSI[] = {{"[ m^2 ]", 7, 4}, {"[ cm^2 ]", 8, 2}, {"[ mm^2 ]", 9, 11}};
const UnitItem kAreaUS[] = {{"[ ft^2 ]", 10, 4}, {"[ in^2 ]", 11, 2}};
const UnitItem kInertiaSI[] = {{"[ m^4 ]", 12, 6}, {"[ cm^4 ]", 13, 11}, {"[ mm^4 ]", 14, 11}};
const UnitItem kInertiaUS[] = {{"[ ft^4 ]", 15, 6}, {"[ in^4 ]", 16, 11}};

const UnitItem kForceSI[] = {
    {"kilo-Newton [ kN ]", 17, 1}, {"Newton [ N ]", 18, 0}, {"ton (weight) [ tf ]", 19, 2}};
const UnitItem kForceUS[] = {{"kilo-pound [ kip ]", 20, 1}, {"pound [ lb ]", 21, 0}};

const UnitItem kMomentSI[] = {{"[ kNm ]", 22, 1},  {"[ Nm ]", 23, 0},   {"[ tfm ]", 24, 2},
                              {"[ kNcm ]", 25, 0}, {"[ Ncm ]", 26, 11}, {"[ tfcm ]", 27, 0},
                              {"[ kNmm ]", 28, 0}, {"[ Nmm ]", 29, 11}, {"[ tfmm ]", 30, 0}};
const UnitItem kMomentUS[] = {
    {"[ ft-kip ]", 31, 1}, {"[ ft-lb ]", 32, 0}, {"[ in-kip ]", 33, 0}, {"[ in-lb ]", 34, 11}};

const UnitItem kDistribSI[] = {{"[ kN/m ]", 35, 2},  {"[ N/m ]", 36, 0},  {"[ tf/m ]", 37, 3},
                               {"[ kN/cm ]", 38, 4}, {"[ N/cm ]", 39, 1}, {"[ tf/cm ]", 40, 5},
                               {"[ kN/mm ]", 41, 6}, {"[ N/mm ]", 42, 2}, {"[ tf/mm ]", 43, 10}};
const UnitItem kDistribUS[] = {
    {"[ kip/ft ]", 44, 2}, {"[ lb/ft ]", 45, 0}, {"[ kip/in ]", 46, 4}, {"[ lb/in ]", 47, 1}};

const UnitItem kTemperatureSI[] = {{"centigrade [ \260C ]", 48, 0}};
const UnitItem kTemperatureUS[] = {{"Fahrenheit [ \260F ]", 49, 0}};

const UnitItem kElasticSI[] = {{"kilo-Pascal [ kN/m\xB2 ]", 50, 10},
                               {"Pascal [ Pa (N/m\xB2) ]", 51, 10},
                               {"[ tf/m\xB2 ]", 52, 10},
                               {"[ kN/cm\xB2 ]", 53, 2},
                               {"[ N/cm\xB2 ]", 54, 10},
                               {"[ tf/cm\xB2 ]", 55, 3},
                               {"giga-Pascal [ GPa (kN/mm\xB2) ]", 56, 3},
                               {"mega-Pascal [ MPa (N/mm\xB2) ]", 57, 0},
                               {"[ tf/mm\xB2 ]", 58, 5}};
const UnitItem kElasticUS[] = {{"[ kip/ft\xB2 ]", 59, 10},
                               {"[ lb/ft\xB2 ]", 60, 10},
                               {"[ ksi (kip/in\xB2) ]", 61, 0},
                               {"[ psi (lb/in\xB2) ]", 62, 0}};

const UnitItem kSpecificWeightSI[] = {
    {"[ kN/m\xB3 ]", 63, 1},   {"[ N/m\xB3 ]", 64, 0},   {"[ tf/m\xB3 ]", 65, 2},
    {"[ kN/cm\xB3 ]", 66, 10}, {"[ N/cm\xB3 ]", 67, 4},  {"[ tf/cm\xB3 ]", 68, 10},
    {"[ kN/mm\xB3 ]", 69, 10}, {"[ N/mm\xB3 ]", 70, 10}, {"[ tf/mm\xB3 ]", 71, 10}};
const UnitItem kSpecificWeightUS[] = {{"[ kip/ft\xB3 ]", 72, 3},
                                      {"[ pcf (lb/ft\xB3) ]", 73, 1},
                                      {"[ kip/in\xB3 ]", 74, 10},
                                      {"[ lb/in\xB3 ]", 75, 3}};

const UnitItem kThermalSI[] = {{"[ 1/\260C ]", 76, 6}};
const UnitItem kThermalUS[] = {{"[ 1/\260F ]", 77, 8}};

const UnitItem kTranslatSpringSI[] = {
    {"[ kN/m ]", 78, 10},  {"[ N/m ]", 79, 10},  {"[ tf/m ]", 80, 10},
    {"[ kN/cm ]", 81, 10}, {"[ N/cm ]", 82, 10}, {"[ tf/cm ]", 83, 10},
    {"[ kN/mm ]", 84, 10}, {"[ N/mm ]", 85, 10}, {"[ tf/mm ]", 86, 10}};
const UnitItem kTranslatSpringUS[] = {
    {"[ kip/ft ]", 87, 10}, {"[ lb/ft ]", 88, 10}, {"[ kip/in ]", 89, 10}, {"[ lb/in ]", 90, 10}};

const UnitItem kRotationSpringSI[] = {
    {"[ kNm/rad ]", 91, 10},   {"[ Nm/rad ]", 92, 10},   {"[ tfm/rad ]", 93, 10},
    {"[ kNcm/rad ]", 94, 10},  {"[ Ncm/rad ]", 95, 10},  {"[ tfcm/rad ]", 96, 10},
    {"[ kNmm/rad ]", 97, 10},  {"[ Nmm/rad ]", 98, 10},  {"[ tfmm/rad ]", 99, 10},
    {"[ kNm/deg ]", 104, 10},  {"[ Nm/deg ]", 105, 10},  {"[ tfm/deg ]", 106, 10},
    {"[ kNcm/deg ]", 107, 10}, {"[ Ncm/deg ]", 108, 10}, {"[ tfcm/deg ]", 109, 10},
    {"[ kNmm/deg ]", 110, 10}, {"[ Nmm/deg ]", 111, 10}, {"[ tfmm/deg ]", 112, 10}};
const UnitItem kRotationSpringUS[] = {{"[ ft-kip/rad ]", 100, 10}, {"[ ft-lb/rad ]", 101, 10},
                                      {"[ in-kip/rad ]", 102, 10}, {"[ in-lb/rad ]", 103, 10},
                                      {"[ ft-kip/deg ]", 113, 10}, {"[ ft-lb/deg ]", 114, 10},
                                      {"[ in-kip/deg ]", 115, 10}, {"[ in-lb/deg ]", 116, 10}};

// Format slots set by each row's format drop-down; the first is the one shown.
const int kLengthSlots[] = {kLengthFormat, kLength2Format, kWorkSpaceFormat, kCursorFormat,
                            kGridStepFormat};
const int kDisplacementSlots[] = {kDisplacementFormat};
const int kRotationSlots[] = {kRotationFormat};
const int kSectionSizeSlots[] = {kSectionSizeFormat};
const int kSectionAreaSlots[] = {kSectionAreaFormat};
const int kSectionInertiaSlots[] = {kSectionInertiaFormat};
const int kForceSlots[] = {kForceFormat, kForce2Format};
const int kMomentSlots[] = {kMomentFormat, kMoment2Format};
const int kDistribSlots[] = {kDistribLoadFormat};
const int kTemperatureSlots[] = {kTemperatureFormat};
const int kElasticSlots[] = {kElasticParamFormat};
const int kSpecificWeightSlots[] = {kSpecificWeightFormat};
const int kThermalSlots[] = {kThermalExpanFormat};
const int kTranslatSpringSlots[] = {kTranslatSpringFormat};
const int kRotationSpringSlots[] = {kRotationSpringFormat};
const int kForceInflSlots[] = {kForceInflLineFormat};
const int kMomentInflSlots[] = {kMomentInflLineFormat};

constexpr UnitItemList first(std::span<const UnitItem> items) {
    return {items, 1};
}

const DialogRowDef kRows[kDialogRowCount] = {
    {"Length:", kLengthUnit, true, {first(kLengthSI), first(kLengthUS)}, kLengthSlots},
    {"Displacement:",
     kDisplacementUnit,
     true,
     {first(kDisplacementSI), first(kDisplacementUS)},
     kDisplacementSlots},
    {"Rotation:", kRotationUnit, true, {first(kRotation), first(kRotation)}, kRotationSlots},
    {"Section Sizes:",
     kSectionSizeUnit,
     true,
     {first(kLengthSI), first(kLengthUS)},
     kSectionSizeSlots},
    {"Section Area:", kSectionAreaUnit, true, {first(kAreaSI), first(kAreaUS)}, kSectionAreaSlots},
    {"Section Inertia:",
     kSectionInertiaUnit,
     true,
     {first(kInertiaSI), first(kInertiaUS)},
     kSectionInertiaSlots},
    {"Force:", kForceUnit, true, {first(kForceSI), first(kForceUS)}, kForceSlots},
    {"Moment:", kMomentUnit, true, {first(kMomentSI), first(kMomentUS)}, kMomentSlots},
    {"Distrib. Load:",
     kDistribLoadUnit,
     true,
     {first(kDistribSI), first(kDistribUS)},
     kDistribSlots},
    {"Temperature:",
     kTemperatureUnit,
     true,
     {first(kTemperatureSI), first(kTemperatureUS)},
     kTemperatureSlots},
    // Fall-backs: "mega-Pascal [ MPa (N/mm²) ]" and "[ ksi (kip/in²) ]".
    {"Elastic Param.:",
     kElasticParamUnit,
     true,
     {UnitItemList{kElasticSI, 8}, UnitItemList{kElasticUS, 3}},
     kElasticSlots},
    // US fall-back: "[ pcf (lb/ft³) ]".
    {"Specific Weight:",
     kSpecificWeightUnit,
     true,
     {first(kSpecificWeightSI), UnitItemList{kSpecificWeightUS, 2}},
     kSpecificWeightSlots},
    {"Thermal Expan.:",
     kThermalExpanUnit,
     true,
     {first(kThermalSI), first(kThermalUS)},
     kThermalSlots},
    {"Translat. Spring:",
     kTranslatSpringUnit,
     true,
     {first(kTranslatSpringSI), first(kTranslatSpringUS)},
     kTranslatSpringSlots},
    {"Rotation Spring:",
     kRotationSpringUnit,
     true,
     {first(kRotationSpringSI), first(kRotationSpringUS)},
     kRotationSpringSlots},
    {"Force Infl. Line:", -1, false, {first(kEmpty), first(kEmpty)}, kForceInflSlots},
    {"Moment Infl. Line:",
     kLengthUnit,
     false,
     {first(kInflLengthSI), first(kInflLengthUS)},
     kMomentInflSlots},
};

const char* const kFormatItems[kFormatItemCount] = {
    "x",
    "x.x",
    "x.xx",
    "x.xxx",
    "x.xxxx",
    "x.xxxxx",
    "x.xxxxxx",
    "x e\xB1xx",
    "x.x e\xB1xx",
    "x.xx e\xB1xx",
    "x.xxx e\xB1xx",
    "x.xxxx e\xB1xx",
    "x.xxxxx e\xB1xx",
    "x.xxxxxx e\xB1xx",
};

} // namespace

const DialogRowDef& dialogRow(int row) {
    if (row < 0 || row >= kDialogRowCount) row = 0;
    return kRows[row];
}

const char* formatItemText(int item) {
    if (item < 1 || item > kFormatItemCount) return "";
    return kFormatItems[item - 1];
}

} // namespace units
