// The state, the due point and the keyboard dialog shared by the pointing modes.
#include "interact/modepick.h"

#include "interact/trf.h"

#include <cstdarg>
#include <cstdio>

namespace interact {

void PointingMode::begin(int k, ui::Element& c, gfx::Canvas& g) {
    active = true;
    kind = k;
    stage = 0;
    canvas = &c;
    gc = &g;
    english = c.toolkit().language() == "ENGLISH";
}

bool PointingMode::startPick(pck::ButtonFn onButton, pck::MotionFn onMotion, pck::EchoFn onEcho) {
    if (pck::startModePick(*canvas, *gc, std::move(onButton), std::move(onMotion),
                           std::move(onEcho), pickGeneration))
        return true;
    active = false;
    return false;
}

void PointingMode::stop() {
    if (pck::state().generation == pickGeneration) pck::cancel();
    active = false;
}

bool PointingMode::running() const {
    return active && pck::state().generation == pickGeneration;
}

gfx::Point dueMousePoint(const PointingMode& m, const pck::Pick& p, const SnapFn& snap) {
    double x = p.x, y = p.y;
    if (snap) snap(x, y, p.tol, p.shift(), p.control());
    if (p.shift() && m.stage > 0) trf::snapOrtho(m.pts[m.stage - 1].x, m.pts[m.stage - 1].y, x, y);
    return {x, y};
}

bool askWithLastTyped(ui::Toolkit& tk, ui::ParamForm& form, std::vector<double>& last) {
    for (std::size_t i = 0; i < form.fields.size() && i < last.size(); ++i)
        form.fields[i].real = last[i];
    if (!tk.getParam(form)) return false;
    last.clear();
    for (const ui::ParamField& f : form.fields) last.push_back(f.real);
    return true;
}

std::string format(const char* fmt, ...) {
    char buf[256];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return buf;
}

} // namespace interact
