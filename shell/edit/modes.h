// The editing mode as far as the shell's start-up needs it: the mode line
// (`modelabel`, `modetext`, `modeunit`) and the select mode, entered at
// start-up and by the `Select` action. Creation modes and picking are wired
// by the editing modes module.
#pragma once

namespace shell {

// Sets the mode line for the current editing mode outside the result display.
void showModeLine();
// Sets the mode line title for the result kind shown in the result display
// ("Bending Moment:", or "Influence Line Factor:" with influence lines);
// leaves it alone when no result kind is chosen.
void showResultTitle();
// Cancels the interaction in progress on the canvas: a half-made creation,
// an interactive transformation, a pending pick, a zoom rectangle (its
// button is released).
void cancelCanvasInteraction();
// Enters the select mode: mode line, select button pressed, result display
// left, message line cleared, pick purpose 0.
void enterSelectMode();

} // namespace shell
