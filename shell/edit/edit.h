// Editing the frame from the canvas: snapping of picked points to the grid
// and to the model, what a pick or a fence selects, the selection summary,
// inserting members, nodes and dimension lines, deleting the selection, undo
// and redo, and the one-line summary of the model for journals and bug
// reports. The editing modes (shell/edit/editmodes.cpp) call these; each edit is
// one undo step.
#pragma once

#include <string>

namespace shell {

// ---- Snapping -------------------------------------------------------------------

// A coordinate snapped to a multiple of `step` counted from 0: an exact half
// goes toward zero. A step that is not positive leaves the value alone.
double snapToStep(double value, double step);
// Snaps a picked or echoed point: passes the tolerance on to the frame
// model, then snaps to the grid and to the model's nodes and members, each
// with its setting inverted while `invert` (the Control key) is held.
void snapPoint(double& x, double& y, double tol, bool invert);
// The same as the snapping callback of the pointing modes and the selection:
// Shift is theirs (it pulls the point to 0, 45 or 90 degrees), Control inverts.
void snapWithKeys(double& x, double& y, double tol, bool shift, bool control);

// ---- Selection ------------------------------------------------------------------

// Counts the selected members and nodes into the selection summary; when
// both kinds are selected the whole selection is cleared.
void recountSelection();
void deselectAll();
// A pick at a point and a fence (selection mode); `add` is Shift.
void pickAt(double x, double y, double tol, bool add);
void fenceSelect(double xmin, double xmax, double ymin, double ymax, bool add);
// "nothing selected", "3 members selected", "1 node selected", plus the
// selected dimension lines when there are any.
std::string selectionSummary();
// "nodes N members M dimension lines D; <selection summary>".
std::string modelSummary();

// ---- Edits ----------------------------------------------------------------------

// Each returns 1 when the model changed, 0 otherwise. Points are in metres;
// `tol` is the geometric tolerance to use.
int insertMember(double x1, double y1, double x2, double y2, double tol);
int insertNode(double x, double y, double tol);
int insertDimensionLine(double x1, double y1, double x2, double y2, double rx, double ry);
// Deletes the selected members or nodes (and the selected dimension lines
// while they are shown) in one undo step; shows the refusal message when
// something was selected and nothing could be deleted.
int deleteSelection();
// Undo and redo with their refreshes; 1 when something was undone (redone).
int undoStep();
int redoStep();

} // namespace shell
