// Number formatting: the 14 format codes with their printf formats, the three
// ways a value is turned into text (value and unit with one blank, value and
// unit run together, bare value) and the reading of typed numbers.
//
// Values are converted from the internal unit to the display unit of a unit
// code (units/units.h) before they are printed. The printing follows the
// printf formats of the table in the "C" locale whatever the process locale
// is, so a decimal point is always ".". Texts that carry a unit label are
// returned as UTF-8, ready for widgets, drawings and exported files.
// Called by every panel, drawing and inquiry text that shows a value.
#pragma once

#include "units/units.h"

#include <string>
#include <string_view>

namespace units {

constexpr int kFormatCodeCount = 14; // format codes 0 to 13
constexpr int kDefaultFormat = 2;    // any other code prints as code 2, "%.2f"
constexpr int kCursorTextMax = 23;   // the cursor labels hold at most 23 characters

// The printf format of a format code ("%.0f" ... "%.6f", "%.0e" ... "%.6e");
// "%.2f" for any other code. The text is static and constant.
const char* numberFormat(int formatCode);

// The value printed with the number format of the code (no unit conversion).
std::string formatNumber(int formatCode, double value);

// ---- The three text forms, from explicit codes ----

// Value and unit separated by one blank, as the format "%s %s" of the number
// format and the label composes them: code 2, 12.5 kN gives "12.50 kN".
std::string textWithUnit(int unitCode, int formatCode, double internal);
// Value and unit run together ("325cm"), for the cursor position labels; cut
// to kCursorTextMax ISO 8859-1 characters before the conversion to UTF-8.
std::string textUnitJoined(int unitCode, int formatCode, double internal);
// The converted value alone, for editable fields whose unit is a separate label.
std::string textBare(int unitCode, int formatCode, double internal);

// ---- The three text forms, from slots of a settings record ----

std::string formatValueWithUnit(const UnitSettings& s, int unitSlot, int formatSlot,
                                double internal);
std::string formatValueUnitJoined(const UnitSettings& s, int unitSlot, int formatSlot,
                                  double internal);
std::string formatBareValue(const UnitSettings& s, int unitSlot, int formatSlot, double internal);

// ---- The same through the current set (currentSettings()) ----

std::string formatValueWithUnit(int unitSlot, int formatSlot, double internal);
std::string formatValueUnitJoined(int unitSlot, int formatSlot, double internal);
std::string formatBareValue(int unitSlot, int formatSlot, double internal);

// ---- Reading typed numbers ----

// The leading number of a typed text as a single-precision value, as scanf's
// "%f" reads it: leading white space skipped, an optional sign, digits with a
// decimal point and an exponent; trailing text ignored. 0 when the text does
// not start with a number. Too large magnitudes give an infinity.
float readNumber(std::string_view text);
// The typed text as a number: false when it does not start with one. The
// value is read in single precision, as readNumber() reads it, and kept as
// the decimal that single-precision value prints as, so 0.1 typed is the
// double 0.1, not 0.100000001490116.
bool readTyped(std::string_view text, double& value);
// The range of every value a field takes, in internal units: 0, or a
// magnitude from 1e-20 to 1e20. Beyond it no frame is meaningful, and the
// analysis's products of such values would overflow a double.
constexpr double kSmallestValue = 1e-20, kLargestValue = 1e20;
bool sensibleValue(double internal);
// readTyped() in the display unit `unitCode`, converted to internal and
// rounded to 15 significant digits, so that the unit factor adds no digits
// of its own (36.9 typed in mm is 0.0369 m). False, with `internal` as it
// was, when the text is not a number or the value is not sensibleValue().
bool readTypedInternal(int unitCode, std::string_view text, double& internal);
// The same in the unit of a quantity kind of the current set.
bool readTypedSlot(int unitSlot, std::string_view text, double& internal);
// The typed text read in the display unit `unitCode` and converted to
// internal as readTypedInternal() does; 0 when it is not a number.
double readInternal(int unitCode, std::string_view text);
// The typed text read in the unit of a quantity kind of `s`, or of the current set.
double readInternal(const UnitSettings& s, int unitSlot, std::string_view text);
double readSlotInternal(int unitSlot, std::string_view text);

} // namespace units
