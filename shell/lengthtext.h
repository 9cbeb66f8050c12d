// Length values as the shell's own fields and labels show them: the cursor
// position labels, the work-space size fields, the grid step and result step
// fields. Values are stored in metres and shown in the length unit of
// AppSettings with the format code of a format slot.
#pragma once

#include "shell/settings.h"

#include <array>
#include <string>

namespace shell {

// Format slots the shell prints lengths with.
constexpr int kWorkSpaceFormatSlot = 20;
constexpr int kCursorFormatSlot = 21;
constexpr int kGridStepFormatSlot = 22;

// The "Default SI units" set: 15 unit codes and 23 format codes.
const std::array<int, kUnitCodeCount>& siUnitCodes();
const std::array<int, kFormatCodeCount>& siFormatCodes();

// Label of the length unit of the settings ("m", "cm", ...).
std::string lengthLabel(const AppSettings& s);
// The value in the length unit printed with the slot's format, immediately
// followed by the unit label ("12.50m").
std::string lengthJoined(const AppSettings& s, int formatSlot, double metres);
// The value in the length unit printed with the slot's format alone.
std::string lengthBare(const AppSettings& s, int formatSlot, double metres);
// A typed length (text in the length unit) in metres; false when the text is
// not a number. Typed numbers are read as single-precision values.
bool readLength(const AppSettings& s, const std::string& text, double& metres);

} // namespace shell
