// Display options: the fourteen display flag toggles (`Vblt...`) of the
// Display menu with their couplings, the four colour scheme toggles, the
// redraw of the canvas, and the refresh of the panels from AppSettings.
// Start-up binds the handlers; file, unit and result commands call
// refreshPanels() and redraw().
#pragma once

#include "shell/settings.h"

namespace gfx {
class Canvas;
}
namespace ui {
class Toolkit;
} // namespace ui

namespace shell {

struct DisplayToggle {
    const char* action;  // "VbltDimLines"
    const char* element; // "vbltdimln"
    const char* label;   // "Dimension Lines"
};
// Indexed by DisplayFlag.
extern const DisplayToggle kDisplayToggles[kDisplayFlagCount];

struct SchemeToggle {
    const char* action;  // "ColorWhiteBg"
    const char* element; // "colorwhitebg"
    const char* label;   // "White Background"
};
// Indexed by scheme number.
extern const SchemeToggle kSchemeToggles[4];

// Binds the Vblt and Color actions.
void bindDisplayActions(ui::Toolkit& tk);

// Clears the canvas to the background of the current scheme, draws the model
// and shows the back buffer.
void redraw();
// Draws the model with the current settings, colours and result drawing
// into `c` (the screen canvas or an export's).
void drawModelInto(gfx::Canvas& c);

// Sets the toggle of a display flag to the flag's value.
void showDisplayFlag(int flag);
// Sets "Delete selected objects" active when something is selected or a
// dimension line exists.
void updateDeleteButton();

// The two analysis toggles of the Options menu as the model's choice.
void showAnalysisChoice();

// Refreshes the panels from AppSettings: unit labels, grid and result step
// fields, the 14 display toggles, the analysis choice, the mode line.
void refreshPanels();

} // namespace shell
