// The influence-line display of the shell: the result drop-down that
// switches between diagrams and influence lines, the section mode in which a
// click on a member runs the dislocation analysis of that section and draws
// the influence line over the whole frame, the New influence line section
// button, the factor of the line, the cursor line and the member inquiry
// while a line is shown.
#pragma once

#include "results/resultset.h"

#include <string>

struct Edge;

namespace ui {
class Toolkit;
}

namespace shell {

// A result command of kind 1 to 3 while the drop-down shows influence lines:
// check the frame, save it when needed, reset the results and wait for a
// section (no analysis yet). False when the check or the save stopped it.
bool influenceCommand(int kind);
// The section mode of the shown kind: pick purpose 2 and its prompt.
void startInfluenceSection();
// A click of the section mode at a world point: the frame is saved first
// when it is modified (nothing happens when that fails), then the member
// nearest the point gets the section (snapped to the result step) and the
// influence line is computed and shown. False when nothing was computed.
bool pickInfluenceSection(double x, double y, double tolerance);
// Drops the shown line; `anew` also starts the factor again at 1 with the
// next line (a new kind, leaving the display).
void clearInfluence(bool anew);
// The shown line sampled again at the current precision step (no new
// analysis: the displacements are still in the records), then redrawn.
void resampleInfluence();
// The result layer of the shown influence line; none without one.
const results::ResultDrawing* influenceDrawing();
// Whether an influence line is shown.
bool influenceShown();
// The largest influence value as the factor counts it: axial and shear
// values taken as lengths of the display unit, bending values as they are.
double influenceLargestDisplay();
// After the diagram size changed: the factor follows it.
void influenceSizeChanged();
// The cursor line at a world point, "" away from every member.
std::string influenceLineAt(double x, double y, double tolerance);
// The information text of a member while a line is shown.
std::string influenceMemberText(const Edge* e);

void bindInfluenceActions(ui::Toolkit& tk);

} // namespace shell
