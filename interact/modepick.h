// The pick behind a pointing mode (transformations, curve creation): the mode
// handles every button, motion and echo itself, so the pick draws no echo of
// its own and accepts any button.
#pragma once

#include "interact/pck.h"

#include <utility>

namespace interact::pck {

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

} // namespace interact::pck
