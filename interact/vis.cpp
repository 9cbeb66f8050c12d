// View records: windows, zoom history, scrollbar attributes, fences and pans.
#include "interact/vis.h"

#include "interact/pck.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace interact::vis {

namespace {

// Half-size of the window of an empty model (0 to 10).
constexpr double kEmptyHalf = 5.0;

double factor(const View& v, const char* attr, double fallback) {
    double f = v.element->getDouble(attr, fallback);
    return f > 0 ? f : fallback;
}

bool flag(const ui::Element& e, const char* attr) {
    return e.get(attr) == "YES";
}

Window around(double cx, double cy, double hw, double hh) {
    return {cx - hw, cx + hw, cy - hh, cy + hh};
}

double cx(const Window& w) {
    return (w.xmin + w.xmax) / 2;
}
double cy(const Window& w) {
    return (w.ymin + w.ymax) / 2;
}
double hw(const Window& w) {
    return (w.xmax - w.xmin) / 2;
}
double hh(const Window& w) {
    return (w.ymax - w.ymin) / 2;
}

// Asks for a window: it is stored as requested and made current grown to
// the canvas's aspect.
void ask(View& v, const Window& w) {
    v.requested = w;
    v.current = adjustAspect(w, v.width, v.height, v.aspect);
}

void writeRange(View& v) {
    v.element->setf("XMIN", "%f", v.range.xmin);
    v.element->setf("XMAX", "%f", v.range.xmax);
    v.element->setf("YMIN", "%f", v.range.ymin);
    v.element->setf("YMAX", "%f", v.range.ymax);
}

// The vertical bar counts from the top of the range.
void writeBars(View& v) {
    v.element->setf("DX", "%f", v.current.xmax - v.current.xmin);
    v.element->setf("DY", "%f", v.current.ymax - v.current.ymin);
    v.element->setf("POSX", "%f", v.current.xmin);
    v.element->setf("POSY", "%f", v.range.ymax + v.range.ymin - v.current.ymax);
    v.posx = v.element->get("POSX");
    v.posy = v.element->get("POSY");
}

// Widens the scroll range to hold the current window; true when it changed.
bool widenRange(View& v) {
    const Window r{std::min(v.range.xmin, v.current.xmin), std::max(v.range.xmax, v.current.xmax),
                   std::min(v.range.ymin, v.current.ymin), std::max(v.range.ymax, v.current.ymax)};
    if (r == v.range) return false;
    v.range = r;
    return true;
}

// Widens the scroll range to hold the current window and shows it.
void holdWindow(View& v) {
    if (widenRange(v)) writeRange(v);
}

// Shows the current window: the echo is taken off the screen around the
// redraw and drawn again on the new picture.
void show(View& v) {
    pck::hideEcho();
    v.canvas->setWindow(v.current.xmin, v.current.xmax, v.current.ymin, v.current.ymax);
    if (v.cb.redraw) v.cb.redraw(*v.element, v.current);
    pck::showEcho();
}

// Zooms to the rectangle of two corners; false for a rectangle of no size.
bool zoomTo(View& v, double x0, double y0, double x1, double y1) {
    if (x0 == x1 && y0 == y1) return false;
    v.previous.push_back(v.current);
    ask(v, {std::min(x0, x1), std::max(x0, x1), std::min(y0, y1), std::max(y0, y1)});
    holdWindow(v);
    writeBars(v);
    show(v);
    return true;
}

// The free corner of a zoom fence, grown to the canvas's aspect when
// ZOOMFENCE_ADJUST is set.
void fenceCorner(const View& v, const pck::Pick& p, double& x, double& y) {
    x = p.ex;
    y = p.ey;
    if (!v.fenceAdjust) return;
    Window w =
        adjustAspect({0, std::fabs(x - p.x0), 0, std::fabs(y - p.y0)}, v.width, v.height, v.aspect);
    // adjustAspect keeps the centre; the first corner stays put instead.
    double dw = w.xmax - w.xmin, dh = w.ymax - w.ymin;
    x = p.x0 + (x < p.x0 ? -dw : dw);
    y = p.y0 + (y < p.y0 ? -dh : dh);
}

// A fence or a pan line: dragged with the button held, or two clicks.
// `finish` gets the two points and returns true when it did its job.
using LineFn = std::function<bool(View&, double, double, double, double)>;

int startTwoPoint(ui::Element& canvas, pck::Echo echo, bool drag, bool adjust, LineFn finish,
                  DoneFn done) {
    View* v = find(canvas);
    if (!v) return -1;
    ui::Element* e = &canvas;
    pck::Pick p;
    p.canvas = e;
    p.gc = v->canvas;
    p.echo = echo;
    p.onDone = std::move(done);
    if (adjust)
        p.onMotion = [e](pck::Pick& pk) {
            if (const View* view = find(*e)) fenceCorner(*view, pk, pk.ex, pk.ey);
        };
    p.onButton = [e, drag, adjust, finish](pck::Pick& pk) {
        View* view = find(*e);
        if (!view) {
            pck::cancel();
            return;
        }
        if (pk.button == 3) {
            if (pk.pressed) pck::end(0);
            return;
        }
        if (pk.button != 1) return;
        bool second = drag ? !pk.pressed : pk.pressed && pk.anchored;
        if (!second) {
            if (pk.pressed && !drag) pk.anchored = true;
            return;
        }
        double x = pk.ex, y = pk.ey;
        if (adjust) fenceCorner(*view, pk, x, y);
        const double x0 = pk.x0, y0 = pk.y0;
        if (x == x0 && y == y0) return; // no size yet: keep waiting
        DoneFn doneFn = pk.onDone;
        pck::cancel();
        finish(*view, x0, y0, x, y);
        if (doneFn) doneFn(1);
    };
    return pck::start(p);
}

View* viewFor(const ui::Event& ev) {
    if (ev.element)
        if (View* v = find(*ev.element)) return v;
    auto& views = state().views;
    return views.empty() ? nullptr : views.front().get();
}

} // namespace

VisState& state() {
    static VisState s;
    return s;
}

Window adjustAspect(const Window& w, int width, int height, double aspect) {
    const double p = static_cast<double>(std::max(height, 1)) / std::max(width, 1);
    const double r = aspect > 0 ? aspect : 1;
    const double ww = w.xmax - w.xmin, wh = w.ymax - w.ymin;
    Window out = w;
    // A window that already has the canvas's aspect is left exactly as it
    // is, so that a window taken back from the history is restored bit for bit.
    auto same = [](double a, double b) {
        return std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
    };
    if (p * ww >= wh * r) {
        const double nh = ww * p / r;
        if (!same(nh, wh)) {
            out.ymin = cy(w) - nh / 2;
            out.ymax = cy(w) + nh / 2;
        }
    } else {
        const double nw = wh * r / p;
        if (!same(nw, ww)) {
            out.xmin = cx(w) - nw / 2;
            out.xmax = cx(w) + nw / 2;
        }
    }
    return out;
}

View& registerCanvas(ui::Element& canvas, gfx::Canvas& gc) {
    View* v = find(canvas);
    if (!v) {
        state().views.push_back(std::make_unique<View>());
        v = state().views.back().get();
        v->element = &canvas;
        v->requested = {0, 10, 0, 10};
    }
    v->canvas = &gc;
    v->width = gc.width();
    v->height = gc.height();
    v->resizeAdjust = flag(canvas, "WINDOWRESIZE_ADJUST");
    v->fenceAdjust = flag(canvas, "ZOOMFENCE_ADJUST");
    v->fenceDrag = flag(canvas, "ZOOMFENCE_DRAG");
    v->panDrag = flag(canvas, "PANLINE_DRAG");
    ask(*v, v->requested);
    v->range = v->current;
    gc.setWindow(v->current.xmin, v->current.xmax, v->current.ymin, v->current.ymax);
    return *v;
}

void unregisterCanvas(ui::Element& canvas) {
    if (pck::active() && pck::current()->canvas == &canvas) pck::cancel();
    auto& views = state().views;
    views.erase(std::remove_if(views.begin(), views.end(),
                               [&](const auto& v) { return v->element == &canvas; }),
                views.end());
}

View* find(const ui::Element& canvas) {
    for (auto& v : state().views)
        if (v->element == &canvas) return v.get();
    return nullptr;
}

gfx::Canvas* canvasOf(const ui::Element& canvas) {
    View* v = find(canvas);
    return v ? v->canvas : nullptr;
}

int setCallbacks(ui::Element& canvas, Callbacks cb) {
    View* v = find(canvas);
    if (!v) return -1;
    v->cb = std::move(cb);
    return 0;
}

int fit(ui::Element& canvas) {
    return fitWithMargin(canvas, 0, 0);
}

int fitWithMargin(ui::Element& canvas, double margin, int pixels) {
    View* v = find(canvas);
    if (!v) return -1;
    Window e;
    if (!v->cb.extent || v->cb.extent(canvas, e) == 0) e = {0, 10, 0, 10};
    double w = hw(e), h = hh(e);
    if (w == 0 && h == 0) w = h = kEmptyHalf; // a single point
    const double f = factor(*v, "FITFACTOR", kFitFactor);
    ask(*v, around(cx(e), cy(e), w * f, h * f));
    const Window c = v->current;
    v->range = around(cx(c), cy(c), hw(c) * factor(*v, "HLIMITFACTOR", kLimitFactor),
                      hh(c) * factor(*v, "VLIMITFACTOR", kLimitFactor));
    if (margin > 0 || pixels > 0) {
        // The fitted window widened on every side by `margin`, then by as
        // much again as leaves `pixels` of the canvas beyond it; the range
        // takes it in.
        double halfW = hw(c) + margin, halfH = hh(c) + margin;
        const double W = v->canvas->width(), H = v->canvas->height();
        if (pixels > 0 && W > 4.0 * pixels && H > 4.0 * pixels) {
            halfW /= 1 - 2.0 * pixels / W;
            halfH /= 1 - 2.0 * pixels / H;
        }
        ask(*v, around(cx(c), cy(c), halfW, halfH));
        widenRange(*v);
    }
    writeRange(*v);
    writeBars(*v);
    v->previous.clear();
    show(*v);
    return 0;
}

int zoomIn(ui::Element& canvas) {
    View* v = find(canvas);
    if (!v) return -1;
    v->previous.push_back(v->current);
    const Window& c = v->current;
    const double f = factor(*v, "ZOOMFACTOR", kZoomFactor);
    ask(*v, around(cx(c), cy(c), hw(c) / f, hh(c) / f));
    writeBars(*v);
    show(*v);
    return 0;
}

int zoomOut(ui::Element& canvas) {
    View* v = find(canvas);
    if (!v) return -1;
    v->previous.push_back(v->current);
    const Window& c = v->current;
    const double f = factor(*v, "ZOOMFACTOR", kZoomFactor);
    ask(*v, around(cx(c), cy(c), hw(c) * f, hh(c) * f));
    holdWindow(*v);
    writeBars(*v);
    show(*v);
    return 0;
}

int prevZoom(ui::Element& canvas) {
    View* v = find(canvas);
    if (!v || v->previous.empty()) return -1;
    Window w = v->previous.back();
    v->previous.pop_back();
    ask(*v, w);
    holdWindow(*v);
    writeBars(*v);
    show(*v);
    return 0;
}

int zoomFence(ui::Element& canvas, DoneFn done) {
    View* v = find(canvas);
    if (!v) return -1;
    return startTwoPoint(
        canvas, pck::Echo::Rect, v->fenceDrag, v->fenceAdjust,
        [](View& view, double x0, double y0, double x1, double y1) {
            return zoomTo(view, x0, y0, x1, y1);
        },
        std::move(done));
}

int pan(ui::Element& canvas, DoneFn done) {
    View* v = find(canvas);
    if (!v) return -1;
    return startTwoPoint(
        canvas, pck::Echo::Line, v->panDrag, false,
        [](View& view, double x0, double y0, double x1, double y1) {
            return panBy(*view.element, x0 - x1, y0 - y1) == 0;
        },
        std::move(done));
}

int panBy(ui::Element& canvas, double dx, double dy) {
    View* v = find(canvas);
    if (!v) return -1;
    Window w = v->current;
    w.xmin += dx;
    w.xmax += dx;
    w.ymin += dy;
    w.ymax += dy;
    ask(*v, w);
    holdWindow(*v);
    writeBars(*v);
    v->previous.clear();
    show(*v);
    return 0;
}

int scroll(ui::Element& canvas, Axis axis, double fraction) {
    View* v = find(canvas);
    if (!v) return -1;
    const Window& c = v->current;
    if (axis == Axis::Horizontal) return panBy(canvas, fraction * (c.xmax - c.xmin), 0);
    return panBy(canvas, 0, fraction * (c.ymax - c.ymin));
}

int scrollTo(ui::Element& canvas, Axis axis, double position) {
    View* v = find(canvas);
    if (!v) return -1;
    const Window& c = v->current;
    if (axis == Axis::Horizontal) return panBy(canvas, position - c.xmin, 0);
    return panBy(canvas, 0, v->range.ymax + v->range.ymin - position - c.ymax);
}

int resize(ui::Element& canvas, int width, int height) {
    View* v = find(canvas);
    if (!v) return -1;
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (v->resizeAdjust) {
        // Keep the scale: the window grows or shrinks with the canvas.
        Window w = v->current;
        w.xmax = w.xmin + (w.xmax - w.xmin) * width / v->width;
        w.ymax = w.ymin + (w.ymax - w.ymin) * height / v->height;
        v->requested = w;
    }
    v->width = width;
    v->height = height;
    pck::hideEcho();
    v->canvas->fullViewport();
    ask(*v, v->requested);
    holdWindow(*v);
    writeBars(*v);
    show(*v);
    return 0;
}

int redisplay(ui::Element& canvas) {
    View* v = find(canvas);
    if (!v) return -1;
    const std::string px = canvas.get("POSX"), py = canvas.get("POSY");
    double dx = 0, dy = 0;
    if (!px.empty() && px != v->posx) dx = std::atof(px.c_str()) - v->current.xmin;
    if (!py.empty() && py != v->posy)
        dy = v->range.ymax + v->range.ymin - std::atof(py.c_str()) - v->current.ymax;
    if (dx != 0 || dy != 0) return panBy(canvas, dx, dy);
    show(*v);
    return 0;
}

int getWindow(const ui::Element& canvas, Window& w) {
    View* v = find(canvas);
    if (!v) return -1;
    w = v->current;
    return 0;
}

int setWindow(ui::Element& canvas, const Window& w) {
    View* v = find(canvas);
    if (!v || !(w.xmax > w.xmin || w.ymax > w.ymin)) return -1;
    ask(*v, w);
    holdWindow(*v);
    writeBars(*v);
    show(*v);
    return 0;
}

double aspect(const ui::Element& canvas) {
    View* v = find(canvas);
    return v ? v->aspect : 1;
}

int setAspect(ui::Element& canvas, double ratio) {
    View* v = find(canvas);
    if (!v || !(ratio > 0)) return -1;
    v->aspect = ratio;
    return fit(canvas);
}

int onResize(ui::Event& ev) {
    if (View* v = viewFor(ev)) {
        int w = ev.width > 0 ? ev.width : v->canvas->width();
        int h = ev.height > 0 ? ev.height : v->canvas->height();
        resize(*v->element, w, h);
    }
    return ui::kDefault;
}

int onRedraw(ui::Event& ev) {
    if (View* v = viewFor(ev)) redisplay(*v->element);
    return ui::kDefault;
}

int onZoom(ui::Event& ev) {
    if (View* v = viewFor(ev)) zoomFence(*v->element, v->cb.fenceDone);
    return ui::kDefault;
}

int onZoomIn(ui::Event& ev) {
    if (View* v = viewFor(ev)) zoomIn(*v->element);
    return ui::kDefault;
}

int onZoomOut(ui::Event& ev) {
    if (View* v = viewFor(ev)) zoomOut(*v->element);
    return ui::kDefault;
}

int onPrevZoom(ui::Event& ev) {
    if (View* v = viewFor(ev)) prevZoom(*v->element);
    return ui::kDefault;
}

int onFit(ui::Event& ev) {
    if (View* v = viewFor(ev)) fit(*v->element);
    return ui::kDefault;
}

} // namespace interact::vis
