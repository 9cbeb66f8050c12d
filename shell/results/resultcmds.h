// The result commands Axial, Shear, Bending and Deformed: check the frame,
// save it, analyse it through the analysis driver, keep the results in the
// node and member records and enter the result mode. Leaving the result
// mode (any editing mode) clears the results, so the next command analyses
// the current frame again.
#pragma once

#include <string>

namespace ui {
class Toolkit;
}

namespace shell {

// Runs the result command of kind 1 axial, 2 shear, 3 bending, 4 deformed.
// Returns true when the result mode shows that kind afterwards. With the
// drop-down on influence lines it waits for a section instead (kinds 1 to 3).
bool resultCommand(int kind);
// Shows the result display of `kind`: its button pressed, the editing
// buttons released, the mode line, the drawing; a click then queries a
// result (diagrams) or picks a section (influence lines).
void enterResultDisplay(int kind);
// The message line of a result display whose case or combination has no
// second-order results: the engine's unstable text, or for the envelope
// envelopeWithoutResults of its first member without them.
void noteShownWithoutResults();
// Its text, "" when what is shown has results.
std::string withoutResultsText();
// "The envelope is not available: LABEL has no second-order results."
std::string envelopeWithoutResults(const std::string& label);
// Shows the button of result kind 1 to 4 released.
void releaseResultButton(int kind);
// Clears the results after a failed analysis or when an editing mode is
// entered: member results, largest value and result kind, the selection; the
// attribute panel is shown again.
void clearResults();

void bindResultActions(ui::Toolkit& tk);

} // namespace shell
