// The pick layer: events to world points, the exclusive-or echo, the aperture.
#include "interact/pck.h"

#include "interact/vis.h"

#include <cmath>

namespace interact::pck {

namespace {

bool accepts(Accept accept, int button) {
    switch (accept) {
    case Accept::Left:
        return button == 1;
    case Accept::Middle:
        return button == 2;
    case Accept::Any:
        break;
    }
    return button >= 1 && button <= 3;
}

// The pick draws an echo (and then its own cross) when it drags something
// or its client draws.
bool echoes(const Pick& p) {
    return p.echo != Echo::None || static_cast<bool>(p.onEcho);
}

void setCursor(ui::Element* canvas, const char* cursor) {
    if (canvas && canvas->get("CURSOR") != cursor) canvas->set("CURSOR", cursor);
}

void locate(Pick& p, int px, int py) {
    gfx::Point w = p.gc->pixelToWorld(px, py);
    p.px = px;
    p.py = py;
    p.x = w.x;
    p.y = w.y;
    p.ex = w.x;
    p.ey = w.y;
    p.tol = toleranceOf(*p.gc);
}

int echoColorOn(const gfx::Canvas& c) {
    if (state().echoColor >= 0) return state().echoColor;
    const gfx::Rgb bg = c.paletteColor(c.background());
    const int luma = 299 * bg.r + 587 * bg.g + 114 * bg.b;
    return luma >= 128 * 1000 ? 0 : 1; // palette 0 is black, 1 white
}

// Draws (or, drawn a second time with the same aperture and colours, erases)
// the echo of a pick.
void drawEcho(const Pick& p, int aperture, int color, int background) {
    gfx::Canvas& c = *p.gc;
    const gfx::WriteMode mode = c.writeMode();
    const int fg = c.foreground(), bg = c.background();
    const gfx::LineStyle style = c.lineStyle();
    const int width = c.lineWidth();
    c.setWriteMode(gfx::WriteMode::Xor);
    c.setForeground(color);
    c.setBackground(background);
    c.setLineStyle(gfx::LineStyle::Continuous);
    c.setLineWidth(1);
    if (p.echo != Echo::None && (p.anchored || p.pressed)) {
        if (p.echo == Echo::Line)
            c.line(p.x0, p.y0, p.ex, p.ey);
        else
            c.rect(p.x0, p.y0, p.ex, p.ey);
    }
    if (p.onEcho) p.onEcho(c, p);
    // The cross: a square of the aperture's size with arms through it.
    const double h = aperture / 2.0;
    const double arm = 2.0 * aperture;
    c.pixelRect(p.px - h, p.py - h, p.px + h, p.py + h);
    c.pixelLine(p.px - arm, p.py, p.px + arm, p.py);
    c.pixelLine(p.px, p.py - arm, p.px, p.py + arm);
    c.setWriteMode(mode);
    c.setForeground(fg);
    c.setBackground(bg);
    c.setLineStyle(style);
    c.setLineWidth(width);
}

} // namespace

void PckState::reset() {
    *this = PckState{};
}

PckState& state() {
    static PckState s;
    return s;
}

int nextAperture(int aperture) {
    return aperture <= 4 ? 20 : aperture - 4;
}

double toleranceOf(const gfx::Canvas& gc) {
    return std::fabs(gc.pixelsToWorldX(state().aperture));
}

double tolerance() {
    const PckState& s = state();
    return s.active && s.pick.gc ? toleranceOf(*s.pick.gc) : 0;
}

void hideEcho() {
    PckState& s = state();
    if (!s.shown) return;
    s.shown = false;
    drawEcho(s.drawn, s.drawnAperture, s.drawnColor, s.drawnBackground);
}

void showEcho() {
    PckState& s = state();
    if (s.shown || !s.active || !s.pointerIn || !echoes(s.pick)) return;
    setCursor(s.pick.canvas, "NONE");
    s.drawn = s.pick;
    s.drawnAperture = s.aperture;
    s.drawnColor = echoColorOn(*s.pick.gc);
    s.drawnBackground = s.pick.gc->background();
    s.shown = true;
    drawEcho(s.drawn, s.drawnAperture, s.drawnColor, s.drawnBackground);
}

int start(const Pick& descriptor) {
    PckState& s = state();
    hideEcho();
    ui::Element* old = s.active ? s.pick.canvas : nullptr;
    s.active = false;
    s.pick = descriptor;
    Pick& p = s.pick;
    ++s.generation;
    if (p.canvas && !p.gc) p.gc = vis::canvasOf(*p.canvas);
    if (!p.canvas || !p.gc) {
        if (old) setCursor(old, "ARROW");
        return -1;
    }
    if (old && old != p.canvas) setCursor(old, "ARROW");
    s.active = true;
    p.button = 0;
    p.pressed = false;
    s.pointerIn = s.pointerCanvas == p.canvas && s.pointerIn;
    const double ax = p.x0, ay = p.y0;
    if (s.pointerIn)
        locate(p, s.pointerPx, s.pointerPy);
    else
        p.tol = toleranceOf(*p.gc);
    if (p.anchored) {
        p.x0 = ax;
        p.y0 = ay;
        gfx::Point px = p.gc->worldToPixel(ax, ay);
        p.px0 = static_cast<int>(std::lround(px.x));
        p.py0 = static_cast<int>(std::lround(px.y));
        if (!s.pointerIn) {
            p.x = p.ex = ax;
            p.y = p.ey = ay;
        }
    }
    setCursor(p.canvas, s.pointerIn && echoes(p) ? "NONE" : "ARROW");
    showEcho();
    return 0;
}

void cancel() {
    PckState& s = state();
    hideEcho();
    if (s.active) setCursor(s.pick.canvas, "ARROW");
    s.active = false;
    s.pick = Pick{};
    ++s.generation;
}

void end(int status) {
    DoneFn done = state().pick.onDone;
    cancel();
    if (done) done(status);
}

bool active() {
    return state().active;
}

Pick* current() {
    return state().active ? &state().pick : nullptr;
}

int button(ui::Element& canvas, int button, bool pressed, int px, int py,
           const ui::Modifiers& mods) {
    PckState& s = state();
    s.pointerCanvas = &canvas;
    s.pointerPx = px;
    s.pointerPy = py;
    if (button == 2 && mods.control) {
        // Ctrl + middle button steps the aperture; no client sees it.
        if (pressed) stepAperture();
        return ui::kDefault;
    }
    if (!s.active || s.pick.canvas != &canvas) return ui::kDefault;
    Pick& p = s.pick;
    if (!accepts(p.accept, button)) return ui::kDefault;
    // A release whose press this interaction did not see belongs to an
    // earlier one.
    if (!pressed && !(p.pressed && p.button == button)) return ui::kDefault;
    hideEcho();
    s.pointerIn = true;
    p.mods = mods.letters();
    locate(p, px, py);
    p.button = button;
    p.pressed = pressed;
    if (pressed && !p.anchored) {
        p.x0 = p.x;
        p.y0 = p.y;
        p.px0 = px;
        p.py0 = py;
    }
    const unsigned gen = s.generation;
    if (p.onButton) {
        ButtonFn fn = p.onButton; // the callback may replace the interaction
        fn(p);
    }
    if (s.generation == gen) showEcho();
    return ui::kDefault;
}

int motion(ui::Element& canvas, int px, int py, const ui::Modifiers& mods) {
    PckState& s = state();
    s.pointerCanvas = &canvas;
    s.pointerPx = px;
    s.pointerPy = py;
    if (!s.active || s.pick.canvas != &canvas) {
        s.pointerIn = true;
        return ui::kDefault;
    }
    Pick& p = s.pick;
    hideEcho();
    s.pointerIn = true;
    p.mods = mods.letters();
    locate(p, px, py);
    const unsigned gen = s.generation;
    if (p.onMotion) {
        MotionFn fn = p.onMotion;
        fn(p);
    }
    if (s.generation == gen) showEcho();
    return ui::kDefault;
}

int echoOff(ui::Element& canvas) {
    PckState& s = state();
    if (s.pointerCanvas != &canvas && !(s.active && s.pick.canvas == &canvas)) return ui::kDefault;
    hideEcho();
    s.pointerIn = false;
    setCursor(&canvas, "ARROW");
    return ui::kDefault;
}

void stepAperture() {
    PckState& s = state();
    hideEcho();
    s.aperture = nextAperture(s.aperture);
    if (s.active) s.pick.tol = toleranceOf(*s.pick.gc);
    showEcho();
}

int onMouseBt(ui::Event& ev) {
    return ev.element ? button(*ev.element, ev.button, ev.pressed, ev.x, ev.y, ev.mods)
                      : ui::kDefault;
}

int onMouseMv(ui::Event& ev) {
    return ev.element ? motion(*ev.element, ev.x, ev.y, ev.mods) : ui::kDefault;
}

int onEchoOff(ui::Event& ev) {
    return ev.element ? echoOff(*ev.element) : ui::kDefault;
}

} // namespace interact::pck
