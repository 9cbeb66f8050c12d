// The selection gesture: on a registered canvas, a press and release of a
// mouse button is a single pick when the pointer moved at most 4 pixels in x
// and in y, and a fence (a rectangle, echoed while dragged) otherwise. The
// application registers its callbacks per canvas (pick at a point, fence,
// snap, motion) and starts the gesture with a done callback; what a pick or
// a fence selects is the application's business.
#pragma once

#include "interact/pck.h"

#include <functional>
#include <vector>

namespace interact::sel {

// A single pick at a world point with the pick tolerance.
using PickFn = std::function<void(double x, double y, double tol, bool shift, bool control)>;
// A fence with ordered corners.
using FenceFn = std::function<void(double xmin, double xmax, double ymin, double ymax, bool shift,
                                   bool control)>;
// Snaps the echoed point (grid, model) in place.
using SnapFn = std::function<void(double& x, double& y, double tol, bool shift, bool control)>;
// The pointer moved to a (snapped) world point.
using MotionFn = std::function<void(double x, double y)>;

struct Callbacks {
    PickFn pick;
    FenceFn fence;
    SnapFn snap;
    MotionFn motion;
    void* data = nullptr; // the client's
};

// A move of more than this many pixels in x or y makes a fence.
constexpr int kFencePixels = 4;

struct Context {
    ui::Element* canvas = nullptr;
    Callbacks cb;
};

// The module's state: the registered contexts.
struct SelState {
    std::vector<Context> contexts;
    void reset() { contexts.clear(); }
};
SelState& state();

// Registers (or replaces) the callbacks of a canvas.
void registerCanvas(ui::Element& canvas, Callbacks cb);
void unregisterCanvas(ui::Element& canvas);
const Callbacks* callbacksOf(const ui::Element& canvas);

// Starts the gesture on a canvas registered with vis: every button gives
// points, the echo is a rectangle from the press point. A gesture ends the
// interaction and calls `done(1)`; then the gesture starts again when
// `restart` is set or the middle button made it (unless `done` started
// another interaction).
// Returns -1 when the canvas is not registered with vis.
int start(ui::Element& canvas, pck::DoneFn done, bool restart);

} // namespace interact::sel
