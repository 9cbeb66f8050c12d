// Colour schemes: the palette index of each of the 17 colour-role slots for
// the four schemes of the Display menu, and the radio group of their toggles.
// Slot 2 (index 1 of the array) is the canvas background; the drawing code
// reads the others from app().colors.slotColors.
#pragma once

#include "shell/state.h"

#include <array>

namespace shell {

// The slot table of a scheme (0 to 3).
using attrib::schemeSlots;
// Palette index of colour slot `slot` (1 to 17) of the current scheme.
int slotColor(int slot);
// Sets the scheme's slots and the canvas background (no redraw).
void setScheme(int scheme);
// The scheme chosen by the initial state of the four colour toggles.
int schemeFromToggles();

} // namespace shell
