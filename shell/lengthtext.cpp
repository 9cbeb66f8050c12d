// Length texts of the shell's fields. Until the units module is linked in,
// the shell knows the five length units and the 14 number formats itself.
#include "shell/lengthtext.h"

#include <cstdio>
#include <cstdlib>

namespace shell {

namespace {

struct LengthUnit {
    const char* label;
    double factor; // metres per unit
};

// Unit codes 0 to 4: the length units.
constexpr LengthUnit kLengthUnits[] = {
    {"m", 1.0}, {"cm", 0.01}, {"mm", 0.001}, {"ft", 0.3048}, {"in", 0.0254},
};

constexpr const char* kNumberFormats[] = {
    "%.0f", "%.1f", "%.2f", "%.3f", "%.4f", "%.5f", "%.6f",
    "%.0e", "%.1e", "%.2e", "%.3e", "%.4e", "%.5e", "%.6e",
};

const LengthUnit* lengthUnit(const AppSettings& s) {
    int code = s.units[0];
    return code >= 0 && code < 5 ? &kLengthUnits[code] : nullptr;
}

double toShown(const AppSettings& s, double metres) {
    const LengthUnit* u = lengthUnit(s);
    return u ? metres / u->factor : metres;
}

const char* numberFormat(const AppSettings& s, int slot) {
    int code = slot >= 0 && slot < kFormatCodeCount ? s.formats[slot] : -1;
    return code >= 0 && code < 14 ? kNumberFormats[code] : "%.2f";
}

} // namespace

const std::array<int, kUnitCodeCount>& siUnitCodes() {
    static const std::array<int, kUnitCodeCount> codes = {0,  2,  5, 17, 22, 35, 57, 63,
                                                          76, 48, 2, 9,  14, 78, 91};
    return codes;
}

const std::array<int, kFormatCodeCount>& siFormatCodes() {
    static const std::array<int, kFormatCodeCount> codes = {
        2, 2, 10, 10, 1, 1, 4, 1, 1, 4, 2, 0, 1, 6, 0, 0, 11, 11, 10, 10, 2, 2, 2};
    return codes;
}

std::string lengthLabel(const AppSettings& s) {
    const LengthUnit* u = lengthUnit(s);
    return u ? u->label : "";
}

std::string lengthBare(const AppSettings& s, int formatSlot, double metres) {
    char buf[64];
    std::snprintf(buf, sizeof buf, numberFormat(s, formatSlot), toShown(s, metres));
    return buf;
}

std::string lengthJoined(const AppSettings& s, int formatSlot, double metres) {
    return lengthBare(s, formatSlot, metres) + lengthLabel(s);
}

bool readLength(const AppSettings& s, const std::string& text, double& metres) {
    const char* p = text.c_str();
    char* end = nullptr;
    float v = std::strtof(p, &end);
    if (end == p) return false;
    const LengthUnit* u = lengthUnit(s);
    metres = u ? v * u->factor : v;
    return true;
}

} // namespace shell
