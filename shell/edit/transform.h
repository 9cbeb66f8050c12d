// Moving, mirroring, rotating and scaling the selection: the Oop commands
// (OopMove, OopMirror, OopRotate, OopScale by mouse or, in keyboard mode, by
// dialog; OopRepeat; OopLeaveOrg), the echo of the selection while a
// transformation is dragged, and the application of a matrix to the selected
// members or nodes through the frame model, so that transformed and copied
// members intersect and merge with the rest of the frame as drawn ones do.
// Each application is one undo step, dimension lines included.
#pragma once

#include "interact/trf.h"

namespace ui {
class Toolkit;
}
namespace gfx {
class Canvas;
}

namespace shell {

// Kinds of the previous transformation, as stored for Repeat.
enum TransformKind { kNoTransform = 0, kMoved = 1, kRotated = 2, kScaled = 3, kMirrored = 4 };

struct TransformState {
    bool copyMode = false; // "Leave Original": transform copies of the selection
    int previousKind = kNoTransform;
    interact::trf::Matrix previous; // in metres
    double previousTolerance = 1e-4;
    void reset() { *this = TransformState{}; }
};
TransformState& transformState();

// Applies `m` to the selected members or nodes (and the selected dimension
// lines while they are shown) as one undo step. Mouse input comes in metres
// with the pick tolerance; typed input (`typed`) has its translation and
// tolerance in the length unit (a tolerance that is not positive is 1e-4).
// Returns 1 when something was transformed; 0 without a selection or for a
// matrix that collapses the plane (refused with a message).
int applyTransform(const interact::trf::Matrix& m, double tol, int kind, bool typed);
// Applies the previous transformation again to the current selection; shows
// a message when there is none. 1 when something was transformed.
int repeatTransform();
// Draws the selection as the matrix would leave it (members, the members at
// selected nodes with those ends moved, selected dimension lines shown).
void drawTransformEcho(gfx::Canvas& c, const interact::trf::Matrix& m);

void bindTransformActions(ui::Toolkit& tk);

} // namespace shell
