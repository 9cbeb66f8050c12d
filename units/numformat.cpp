// Format codes, the three text forms and the reading of typed numbers.
#include "units/numformat.h"

#include "units/latin1.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace units {

namespace {

struct FormatDef {
    const char* printf; // the printf format of the code
    std::chars_format style;
    int precision;
};

constexpr auto kFixed = std::chars_format::fixed;
constexpr auto kSci = std::chars_format::scientific;

const FormatDef kFormats[kFormatCodeCount] = {
    {"%.0f", kFixed, 0}, {"%.1f", kFixed, 1}, {"%.2f", kFixed, 2}, {"%.3f", kFixed, 3},
    {"%.4f", kFixed, 4}, {"%.5f", kFixed, 5}, {"%.6f", kFixed, 6}, {"%.0e", kSci, 0},
    {"%.1e", kSci, 1},   {"%.2e", kSci, 2},   {"%.3e", kSci, 3},   {"%.4e", kSci, 4},
    {"%.5e", kSci, 5},   {"%.6e", kSci, 6},
};

const FormatDef& formatDef(int code) {
    if (code < 0 || code >= kFormatCodeCount) code = kDefaultFormat;
    return kFormats[code];
}

int slotUnit(const UnitSettings& s, int unitSlot) {
    return (unitSlot >= 0 && unitSlot < kUnitSlotCount) ? s.unit[unitSlot] : -1;
}

int slotFormat(const UnitSettings& s, int formatSlot) {
    return (formatSlot >= 0 && formatSlot < kFormatSlotCount) ? s.format[formatSlot] : -1;
}

// Magnitude of a number too far out of range for a double: an exponent with a
// minus sign makes it tiny, else it is huge. Hexadecimal numbers mark their
// exponent with "p", since "e" is one of their digits.
bool tinyExponent(std::string_view number, std::chars_format style) {
    const auto e = number.find_first_of(style == std::chars_format::hex ? "pP" : "eE");
    return e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
}

} // namespace

const char* numberFormat(int formatCode) {
    return formatDef(formatCode).printf;
}

std::string formatNumber(int formatCode, double value) {
    const FormatDef& f = formatDef(formatCode);
    // std::to_chars prints as printf does in the "C" locale, whatever the
    // process locale says about the decimal point. 330 bytes hold the longest
    // fixed-point double (309 digits, sign, point, 6 decimals).
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, f.style, f.precision);
    if (r.ec != std::errc{}) {
        const int n = std::snprintf(buf, sizeof buf, f.printf, value);
        return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
    }
    return std::string(buf, r.ptr);
}

std::string textWithUnit(int unitCode, int formatCode, double internal) {
    return formatNumber(formatCode, toDisplay(unitCode, internal)) + ' ' + unitLabelUtf8(unitCode);
}

std::string textUnitJoined(int unitCode, int formatCode, double internal) {
    // Cut while the label is still one byte per character, so that the cut
    // never falls inside the UTF-8 sequence of a degree sign or a superscript.
    std::string t = formatNumber(formatCode, toDisplay(unitCode, internal)) + unitLabel(unitCode);
    if (t.size() > kCursorTextMax) t.resize(kCursorTextMax);
    return latin1ToUtf8(t);
}

std::string textBare(int unitCode, int formatCode, double internal) {
    return formatNumber(formatCode, toDisplay(unitCode, internal));
}

std::string formatValueWithUnit(const UnitSettings& s, int unitSlot, int formatSlot,
                                double internal) {
    return textWithUnit(slotUnit(s, unitSlot), slotFormat(s, formatSlot), internal);
}

std::string formatValueUnitJoined(const UnitSettings& s, int unitSlot, int formatSlot,
                                  double internal) {
    return textUnitJoined(slotUnit(s, unitSlot), slotFormat(s, formatSlot), internal);
}

std::string formatBareValue(const UnitSettings& s, int unitSlot, int formatSlot, double internal) {
    return textBare(slotUnit(s, unitSlot), slotFormat(s, formatSlot), internal);
}

std::string formatValueWithUnit(int unitSlot, int formatSlot, double internal) {
    return formatValueWithUnit(currentSettings(), unitSlot, formatSlot, internal);
}

std::string formatValueUnitJoined(int unitSlot, int formatSlot, double internal) {
    return formatValueUnitJoined(currentSettings(), unitSlot, formatSlot, internal);
}

std::string formatBareValue(int unitSlot, int formatSlot, double internal) {
    return formatBareValue(currentSettings(), unitSlot, formatSlot, internal);
}

namespace {

// readNumber() that also says whether the text starts with a number.
bool parseNumber(std::string_view text, float& out) {
    out = 0.0f;
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // from_chars takes no sign of its own here, so "+-1" and "--1" read as 0.
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) return false;
    // A "0x" prefix starts a hexadecimal number, as scanf takes it.
    std::chars_format style = std::chars_format::general;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        style = std::chars_format::hex;
        i += 2;
    }
    const std::string_view number = text.substr(i);
    const char* first = number.data();
    const char* last = first + number.size();

    float value = 0.0f;
    auto r = std::from_chars(first, last, value, style);
    if (r.ec == std::errc::invalid_argument) return false;
    if (r.ec == std::errc::result_out_of_range) {
        // Read it as a double to tell an overflow from an underflow, as strtof
        // gives an infinity for the one and a tiny value or 0 for the other.
        double wide = 0.0;
        const auto rw = std::from_chars(first, last, wide, style);
        if (rw.ec == std::errc{} && std::fabs(wide) <= std::numeric_limits<float>::max()) {
            value = static_cast<float>(wide);
        } else if (rw.ec == std::errc{} || !tinyExponent(number, style)) {
            value = std::numeric_limits<float>::infinity();
        } else {
            value = 0.0f;
        }
    }
    out = negative ? -value : value;
    return true;
}

// `v` rounded to 15 significant digits.
double round15(double v) {
    if (!std::isfinite(v) || v == 0) return v;
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    double back = v;
    std::from_chars(buf, r.ptr, back);
    return back;
}

} // namespace

float readNumber(std::string_view text) {
    float v = 0.0f;
    parseNumber(text, v);
    return v;
}

bool readTyped(std::string_view text, double& value) {
    float f = 0.0f;
    if (!parseNumber(text, f)) return false;
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, f);
    value = static_cast<double>(f);
    std::from_chars(buf, r.ptr, value);
    return true;
}

bool sensibleValue(double internal) {
    const double m = std::fabs(internal);
    return m == 0 || (m >= kSmallestValue && m <= kLargestValue);
}

bool readTypedInternal(int unitCode, std::string_view text, double& internal) {
    double typed = 0;
    if (!readTyped(text, typed)) return false;
    const double v = round15(toInternal(unitCode, typed));
    if (!sensibleValue(v)) return false;
    internal = v;
    return true;
}

bool readTypedSlot(int unitSlot, std::string_view text, double& internal) {
    return readTypedInternal(slotUnit(currentSettings(), unitSlot), text, internal);
}

double readInternal(int unitCode, std::string_view text) {
    double v = 0;
    readTypedInternal(unitCode, text, v);
    return v;
}

double readInternal(const UnitSettings& s, int unitSlot, std::string_view text) {
    return readInternal(slotUnit(s, unitSlot), text);
}

double readSlotInternal(int unitSlot, std::string_view text) {
    return readInternal(currentSettings(), unitSlot, text);
}

} // namespace units
