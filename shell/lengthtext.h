// Length values as the shell's own fields and labels show them: the cursor
// position labels, the work-space size fields, the grid step and result step
// fields. Values are stored in metres and shown in the length unit of
// AppSettings with the format code of a format slot.
#pragma once

#include "shell/settings.h"

#include <string>

namespace shell {

// Format slots the shell prints lengths with.
constexpr int kWorkSpaceFormatSlot = units::kWorkSpaceFormat;
constexpr int kCursorFormatSlot = units::kCursorFormat;
constexpr int kGridStepFormatSlot = units::kGridStepFormat;

// Label of the length unit of the settings ("m", "cm", ...).
std::string lengthLabel(const AppSettings& s);
// The value in the length unit printed with the slot's format, immediately
// followed by the unit label ("12.50m").
std::string lengthJoined(const AppSettings& s, int formatSlot, double metres);
// The value in the length unit printed with the slot's format alone.
std::string lengthBare(const AppSettings& s, int formatSlot, double metres);
// A typed length (text in the length unit) in metres, read as a
// single-precision number; 0 when the text does not start with a number.
double readLength(const AppSettings& s, const std::string& text);

// Makes the settings' unit and format codes the current set of the units
// module, which the drawing and the panels of the other modules read.
void publishUnits(const AppSettings& s);

} // namespace shell
