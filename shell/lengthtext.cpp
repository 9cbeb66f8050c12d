// Length texts of the shell's fields through the units module, on the unit
// and format codes of AppSettings.
#include "shell/lengthtext.h"

#include "units/numformat.h"
#include "units/units.h"

namespace shell {

namespace {
int formatCode(const AppSettings& s, int slot) {
    return slot >= 0 && slot < units::kFormatSlotCount ? s.formats[slot] : -1;
}
} // namespace

std::string lengthLabel(const AppSettings& s) {
    return units::unitLabelUtf8(s.units[units::kLengthUnit]);
}

std::string lengthJoined(const AppSettings& s, int formatSlot, double metres) {
    return units::textUnitJoined(s.units[units::kLengthUnit], formatCode(s, formatSlot), metres);
}

std::string lengthBare(const AppSettings& s, int formatSlot, double metres) {
    return units::textBare(s.units[units::kLengthUnit], formatCode(s, formatSlot), metres);
}

double readLength(const AppSettings& s, const std::string& text) {
    return units::readInternal(s.units[units::kLengthUnit], text);
}

void publishUnits(const AppSettings& s) {
    units::UnitSettings u;
    u.unit = s.units;
    u.format = s.formats;
    units::setCurrentSettings(u);
}

} // namespace shell
