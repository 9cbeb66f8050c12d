// Interactive curve creation: the user enters a point, a line or a dimension
// line on the canvas with the mouse (left button enters a point, middle button
// types the point that is due in a dialog, right button cancels; Shift pulls
// the point to 0, 45 or 90 degrees through the previous one), with an
// exclusive-or echo and a live measure, or types it at once in a dialog.
// The finished object goes to the client as a curve record. Each kind has its
// own module (cllpnt, cllline, clldimln) in a table indexed by kind number.
// Called by the shell's creation modes; knows nothing of the frame.
#pragma once

#include "interact/modepick.h"

#include <functional>
#include <string>
#include <vector>

namespace interact::cll {

// Kinds of the library. The frame editor uses these three; 2 to 6 (polyline,
// circle, arc, Bezier curve) have no module.
constexpr int kPoint = 0;
constexpr int kLine = 1;
constexpr int kDimLine = 7;
constexpr int kKinds = 8;

struct CurveRecord {
    int kind = 0;
    double x0 = 0, y0 = 0; // first point (the point itself for a point)
    double x1 = 0, y1 = 0; // last point
    // Interior points: none for a point or a line; the reference point of a
    // dimension line.
    std::vector<gfx::Point> interior;
    void* attrib = nullptr;      // the client's attribute template
    CurveRecord* next = nullptr; // the client's list link
};

// Status of an ended interaction: 0 cancelled (nothing made), 1 made.
using DoneFn = std::function<void(int status)>;
// The finished object with its tolerance: the pick tolerance for mouse input
// (the record is then in world units), the Tolerance field for keyboard
// entry (`typed`: the record and tolerance are as typed, in display units).
using FinishFn = std::function<void(const CurveRecord& rec, double tol, bool typed)>;
// Prompts and live measures for the status line.
using MessageFn = std::function<void(const std::string& text)>;
// Snaps a point being entered or echoed (grid, model), given the pick
// tolerance and the modifier keys; it may also hand the tolerance on.
using ToleranceFn = SnapFn;

struct Callbacks {
    DoneFn done;
    FinishFn finish;
    MessageFn message;
    ToleranceFn tolerance;
    pck::EchoFn echo; // the client's own echo, drawn with the rubber band
};

// Length conversions for the dialogs opened with the middle button: their
// fields show display units, the record stays in world units. Null: identity.
using ConvertFn = std::function<double(double)>;

// The module's state: the mouse interaction in progress and the values
// typed last in each kind's keyboard dialog.
struct CllState : PointingMode {
    Callbacks cb;
    bool typed = false; // the input came from the keyboard
    std::vector<double> lastTyped[kKinds];
    ConvertFn toDisplay, fromDisplay;
    void reset();
};
CllState& state();

void setLengthConversion(ConvertFn toDisplay, ConvertFn fromDisplay);

// Starts the mouse interaction for a kind: shows the first prompt and starts
// a pick on the canvas (a later pick interaction ends it). Returns -1 for a kind without a module
// or a canvas the pick layer cannot use.
int startMouse(int kind, ui::Element& canvas, gfx::Canvas& gc, Callbacks cb);
// Shows the kind's keyboard dialog at once. Returns 1 when the record went
// to `finish`, 0 when the dialog was cancelled, -1 for an unknown kind.
int startKeyboard(int kind, ui::Element& canvas, FinishFn finish, MessageFn message);
// Ends the mouse interaction without calling back.
void cancel();
bool active();

} // namespace interact::cll
