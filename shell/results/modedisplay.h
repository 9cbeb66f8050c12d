// The buckling and vibration result modes, items 3 and 4 of the result
// drop-down beside the diagrams and influence lines. Entering one checks and
// saves the frame and runs its eigen-analysis once (buckling: the critical
// load factors of every load case and combination; vibration: the natural frequencies of the
// frame); the display then draws a mode of what is shown over the frame like
// the deformed shape, sized by the factor controls, with its text in the
// message line, and the step buttons (ModePrev, ModeNext) go through the
// modes. The modes stay while the display does (another case shown draws
// its own) and go with the results when an editing mode is entered.
#pragma once

#include <string>

namespace results {
struct ResultDrawing;
}
namespace ui {
class Toolkit;
}

namespace shell {

// How many modes an analysis finds.
constexpr int kModeCount = 5;

enum class ModeKind { None = 0, Buckling = 1, Vibration = 2 };

// The message line of the envelope while buckling is shown: the analysis
// scales the axial forces of one load case or combination.
extern const char* const kBucklingCasesOnly;

// Checks, saves and analyses the frame and shows its first mode; false
// (nothing shown, the drop-down back on diagrams) when the check, the save
// or the analysis stopped it, the reason shown as a message.
bool enterModeDisplay(ModeKind kind);
// Forgets the modes and leaves the mode display (part of clearResults).
void clearModeDisplay();
bool modeDisplayShown();
// The result layer of the shown mode; none outside the mode display or
// without a mode to draw. Draws the mode anew when what is shown changed.
const results::ResultDrawing* modeDrawing();
// The largest translation of the shown mode (for the factor), 0 for none.
double modeLargest();
// How many modes what is shown has (0 without any).
int shownModeCount();
// Steps `by` modes (wrapping around); false when no mode is shown.
bool stepMode(int by);
// The message line of the mode display: the mode's text, the analysis' note
// (no compression, no mass), or kBucklingCasesOnly; "" outside it.
std::string modeLine();

void bindModeActions(ui::Toolkit& tk);

} // namespace shell
