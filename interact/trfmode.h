// Interactive transformations: the user moves, mirrors, rotates or scales
// something by pointing on the canvas (left button enters a point, middle
// button switches to the keyboard dialog, right button cancels; Shift pulls
// the point to 0, 45 or 90 degrees through the previous one), with a
// rubber-band echo, the client's own echo of what is being transformed and a
// live measure, or by typing the parameters in a dialog. The result is a
// matrix handed to the client; the module knows nothing of frames. Each kind
// has its own module (trfmove, trfmirr, trfrotat, trfscale) in a table
// indexed by kind number. Called by the shell's transform commands.
#pragma once

#include "interact/modepick.h"
#include "interact/trf.h"

#include <functional>
#include <string>
#include <vector>

namespace interact::trf {

constexpr int kMove = 0;
constexpr int kMirror = 1;
constexpr int kRotate = 2;
constexpr int kScale = 3;
constexpr int kKinds = 4;

// Status of an ended interaction: 0 cancelled (nothing applied), 1 applied.
using DoneFn = std::function<void(int status)>;
// The matrix with its tolerance: the pick tolerance for mouse input (the
// matrix is then in world units); for typed input (`typed`) the tolerance
// and the translation part are as typed, in display units.
using ApplyFn = std::function<void(const Matrix& m, double tol, bool typed)>;
// Prompts and live measures for the status line.
using MessageFn = std::function<void(const std::string& text)>;
// Snaps a point being entered or echoed (grid, model), given the pick
// tolerance and the modifier keys.
using ToleranceFn = SnapFn;
// The client's echo while the last point is dragged: what it transforms,
// drawn with the current matrix in exclusive-or mode (called once to draw
// and once more with the same matrix to erase).
using EchoFn = std::function<void(gfx::Canvas& c, const Matrix& m)>;

struct Callbacks {
    DoneFn done;
    ApplyFn apply;
    MessageFn message;
    ToleranceFn tolerance;
    EchoFn echo;
};

// The module's state: the mouse interaction in progress and the values typed
// last in each kind's keyboard dialog.
struct ModeState : PointingMode {
    Callbacks cb;
    // The last position of the due point that defined a matrix: the echo
    // stays there while the pointer gives none (a scaling line through the
    // centre).
    gfx::Point lastGood;
    bool haveGood = false;
    std::vector<double> lastTyped[kKinds];
    void reset();
};
ModeState& modeState();

// Starts the mouse interaction of a kind: shows the first prompt and starts a
// pick on the canvas. -1 for an unknown kind or a canvas the pick layer
// cannot use.
int startMouse(int kind, ui::Element& canvas, gfx::Canvas& gc, Callbacks cb);
// Shows the kind's keyboard dialog at once. Returns 1 when the matrix went to
// `apply`, 0 when the dialog was cancelled, -1 for an unknown kind.
int startKeyboard(int kind, ui::Element& canvas, ApplyFn apply, MessageFn message);
// Ends the mouse interaction without calling back.
void cancelMode();
bool modeActive();

// The geometry of the mouse forms.
// Angle of the direction (dx, dy) in degrees, in (-180, 180]: -180 is 180.
double directionAngle(double dx, double dy);
// Counter-clockwise rotation from the first arc point to the second about the
// centre, in degrees, brought into (-180, 180].
double rotationAngle(gfx::Point centre, gfx::Point first, gfx::Point second);
// Scaling factor of the line from the centre through `first`, measured at the
// projection of `second`; false when `first` is the centre or the projection
// is 0.
bool scalingFactor(gfx::Point centre, gfx::Point first, gfx::Point second, double& factor);

} // namespace interact::trf
