// What the pointing modes (transformations, curve creation) share: the pick
// behind a mode, which handles every button, motion and echo itself, so the
// pick draws no echo of its own and accepts any button; the state every mode
// keeps of its interaction; the point the pointer gives for the due point;
// the keyboard dialog that shows the values typed last; the two-language
// texts and the printf helper of the kind modules.
#pragma once

#include "interact/pck.h"
#include "ui/paramform.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace interact {

namespace pck {

// Starts the mode's pick on `canvas` drawn through `gc`. On success stores the
// generation of the started pick in `generation` (the mode owns the pick while
// the counter still has that value) and returns true.
inline bool startModePick(ui::Element& canvas, gfx::Canvas& gc, ButtonFn onButton,
                          MotionFn onMotion, EchoFn onEcho, unsigned& generation) {
    Pick p;
    p.canvas = &canvas;
    p.gc = &gc;
    p.echo = Echo::None;
    p.accept = Accept::Any;
    p.onButton = std::move(onButton);
    p.onMotion = std::move(onMotion);
    p.onEcho = std::move(onEcho);
    if (start(p) != 0) return false;
    generation = state().generation;
    return true;
}

} // namespace pck

// Snaps a point being entered or echoed (grid, model), given the pick
// tolerance and the modifier keys.
using SnapFn = std::function<void(double& x, double& y, double tol, bool shift, bool control)>;

// A text of a mode in English and Portuguese.
struct Text {
    const char* en;
    const char* pt;
    const char* get(bool english) const { return english ? en : pt; }
};

// The mouse interaction in progress of a pointing mode.
struct PointingMode {
    bool active = false;
    int kind = -1;
    int stage = 0;     // index of the point that is due
    gfx::Point pts[3]; // points entered so far
    ui::Element* canvas = nullptr;
    gfx::Canvas* gc = nullptr;
    bool english = true;         // texts in English (else Portuguese)
    unsigned pickGeneration = 0; // the pick interaction that is ours

    // Takes up an interaction of `kind` on `canvas` with the first point due.
    void begin(int kind, ui::Element& canvas, gfx::Canvas& gc);
    // Starts the pick behind it; false (and the mode inactive) when the pick
    // layer cannot use the canvas.
    bool startPick(pck::ButtonFn onButton, pck::MotionFn onMotion, pck::EchoFn onEcho);
    // Ends it: the pick is cancelled while it is still ours, which erases the echo.
    void stop();
    // Active, and the pick in progress is still ours.
    bool running() const;
};

// The point the pointer gives for the due point: snapped by `snap`, then
// with Shift pulled to 0, 45 or 90 degrees through the previous point.
gfx::Point dueMousePoint(const PointingMode& m, const pck::Pick& p, const SnapFn& snap);

// Shows a keyboard dialog with the values typed last (`last`) in its fields.
// On OK keeps the typed fields in `last` and returns true.
bool askWithLastTyped(ui::Toolkit& tk, ui::ParamForm& form, std::vector<double>& last);

// printf into a string.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

} // namespace interact
