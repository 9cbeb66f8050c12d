// The selection gesture on top of the pick layer.
#include "interact/sel.h"

#include <algorithm>
#include <cstdlib>

namespace interact::sel {

namespace {

void onMotion(pck::Pick& p) {
    const Callbacks* cb = callbacksOf(*p.canvas);
    if (!cb) return;
    double x = p.x, y = p.y;
    if (cb->snap) cb->snap(x, y, p.tol, p.shift(), p.control());
    if (cb->motion) cb->motion(x, y);
}

void onButton(pck::Pick& p, const pck::DoneFn& done, bool restart) {
    if (p.pressed) return;
    // Release of the button that was pressed: the gesture is complete.
    ui::Element& canvas = *p.canvas;
    const int button = p.button;
    const bool shift = p.shift(), control = p.control();
    const Callbacks* cb = callbacksOf(canvas);
    if (cb && (std::abs(p.px - p.px0) > kFencePixels || std::abs(p.py - p.py0) > kFencePixels)) {
        if (cb->fence)
            cb->fence(std::min(p.x0, p.x), std::max(p.x0, p.x), std::min(p.y0, p.y),
                      std::max(p.y0, p.y), shift, control);
    } else if (cb && cb->pick) {
        cb->pick(p.x0, p.y0, p.tol, shift, control);
    }
    // The interaction ends with the gesture.
    pck::cancel();
    const unsigned gen = pck::state().generation;
    if (done) done(1);
    if ((restart || button == 2) && pck::state().generation == gen) start(canvas, done, restart);
}

} // namespace

SelState& state() {
    static SelState s;
    return s;
}

void registerCanvas(ui::Element& canvas, Callbacks cb) {
    for (Context& c : state().contexts)
        if (c.canvas == &canvas) {
            c.cb = std::move(cb);
            return;
        }
    state().contexts.push_back({&canvas, std::move(cb)});
}

void unregisterCanvas(ui::Element& canvas) {
    auto& cs = state().contexts;
    cs.erase(
        std::remove_if(cs.begin(), cs.end(), [&](const Context& c) { return c.canvas == &canvas; }),
        cs.end());
}

const Callbacks* callbacksOf(const ui::Element& canvas) {
    for (const Context& c : state().contexts)
        if (c.canvas == &canvas) return &c.cb;
    return nullptr;
}

int start(ui::Element& canvas, pck::DoneFn done, bool restart) {
    pck::Pick p;
    p.canvas = &canvas;
    p.echo = pck::Echo::Rect;
    p.accept = pck::Accept::Any;
    p.onMotion = onMotion;
    p.onButton = [done, restart](pck::Pick& pk) { onButton(pk, done, restart); };
    p.onDone = done;
    return pck::start(p);
}

} // namespace interact::sel
