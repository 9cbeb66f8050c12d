// View control: for each registered drawing canvas, the window of world
// coordinates it shows, with fit, zoom in and out, the previous-window stack,
// zoom by fence, scrolling, panning and resizing. Tuning values come from the
// canvas element's attributes (FITFACTOR, ZOOMFACTOR, HLIMITFACTOR,
// VLIMITFACTOR, WINDOWRESIZE_ADJUST, ZOOMFENCE_ADJUST, ZOOMFENCE_DRAG,
// PANLINE_DRAG); the scroll range and scrollbars are written back as the
// attributes XMIN, XMAX, YMIN, YMAX, DX, DY, POSX, POSY ("%f"). The
// application registers its canvas, gives the redraw and extent callbacks,
// and binds VisResize, VisRedraw, VisZoom, VisZoomIn, VisZoomOut,
// VisPrevZoom and VisFit to the on... handlers below.
#pragma once

#include "gfx/canvas.h"
#include "ui/ui.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace interact::vis {

struct Window {
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    bool operator==(const Window&) const = default;
};

// Draws the model on the canvas; the graphics canvas already shows the window.
using RedrawFn = std::function<void(ui::Element& canvas, const Window& w)>;
// Fills the model's extent; returns 0 when there is nothing to fit.
using ExtentFn = std::function<int(ui::Element& canvas, Window& extent)>;
// End of a zoom fence or a pan: 1 when the window changed, 0 when cancelled.
using DoneFn = std::function<void(int status)>;

struct Callbacks {
    RedrawFn redraw;
    ExtentFn extent;
    DoneFn fenceDone; // for VisZoom
};

// Defaults of the tuning attributes.
constexpr double kFitFactor = 1.15;
constexpr double kZoomFactor = 1.2;
constexpr double kLimitFactor = 3.0;

// The view record of one canvas.
struct View {
    ui::Element* element = nullptr;
    gfx::Canvas* canvas = nullptr;
    int width = 1, height = 1; // pixels
    double aspect = 1;         // aspect ratio of the pixels (1: square)
    bool resizeAdjust = false, fenceAdjust = false, fenceDrag = false, panDrag = false;
    Window current;
    Window requested;             // asked for before the aspect adjustment
    Window range;                 // scroll range
    std::vector<Window> previous; // newest last
    Callbacks cb;
    // POSX and POSY as last written here: other values come from the
    // toolkit's scrollbars.
    std::string posx, posy;
};

// The module's state: the registered views.
struct VisState {
    std::vector<std::unique_ptr<View>> views;
    void reset() { views.clear(); }
};
VisState& state();

// Registers a canvas (again: updates it). The window starts as 0..10 in
// both directions, grown to the canvas's aspect.
View& registerCanvas(ui::Element& canvas, gfx::Canvas& gc);
// Ends a pick interaction on the canvas; call it before the graphics
// canvas goes away.
void unregisterCanvas(ui::Element& canvas);
View* find(const ui::Element& canvas);
gfx::Canvas* canvasOf(const ui::Element& canvas);
int setCallbacks(ui::Element& canvas, Callbacks cb);

// Each returns 0, or -1 when the canvas is not registered (prevZoom: -1 also
// when the stack is empty).
int fit(ui::Element& canvas);
// fit, then widened by `margin` world units and `pixels` canvas pixels on
// every side (for what stands out from the drawing: diagrams and their
// value texts).
int fitWithMargin(ui::Element& canvas, double margin, int pixels);
int zoomIn(ui::Element& canvas);
int zoomOut(ui::Element& canvas);
int prevZoom(ui::Element& canvas);
// Lets the user drag (ZOOMFENCE_DRAG "YES") or click the two corners of a
// rectangle that becomes the window; the right button cancels. `done` gets 1
// after a zoom, 0 when cancelled.
int zoomFence(ui::Element& canvas, DoneFn done);
// Lets the user drag (PANLINE_DRAG "YES") or click a line; the drawing moves
// along it.
int pan(ui::Element& canvas, DoneFn done);
// Moves the window by (dx, dy) world units.
int panBy(ui::Element& canvas, double dx, double dy);
enum class Axis { Horizontal, Vertical };
// Moves the window by `fraction` of its width or height.
int scroll(ui::Element& canvas, Axis axis, double fraction);
// Moves the window to a scrollbar position: POSX becomes xmin, POSY counts
// from the top of the scroll range.
int scrollTo(ui::Element& canvas, Axis axis, double position);
int resize(ui::Element& canvas, int width, int height);
// Redraws with the current window. When the toolkit's scrollbars moved
// (POSX or POSY differ from what vis wrote), the window first follows them.
int redisplay(ui::Element& canvas);
int getWindow(const ui::Element& canvas, Window& w);
// Asks for a window (grown to the canvas's aspect) and redraws.
int setWindow(ui::Element& canvas, const Window& w);
double aspect(const ui::Element& canvas);
// Sets the world-per-pixel aspect ratio and refits.
int setAspect(ui::Element& canvas, double ratio);

// The window grown to the aspect of a canvas of width x height pixels.
Window adjustAspect(const Window& w, int width, int height, double aspect);

// Action handlers: the canvas is the event's element when it is registered,
// otherwise the first registered canvas. They return ui::kDefault.
int onResize(ui::Event& ev);
int onRedraw(ui::Event& ev); // also VisRedisplay
int onZoom(ui::Event& ev);
int onZoomIn(ui::Event& ev);
int onZoomOut(ui::Event& ev);
int onPrevZoom(ui::Event& ev);
int onFit(ui::Event& ev);

} // namespace interact::vis
