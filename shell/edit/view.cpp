// The drawing canvas's view through the view control, pick and selection
// modules, and the canvas and view actions of the main window.
#include "shell/edit/view.h"

#include "attrib/attrib.h"
#include "gfx/canvas.h"
#include "interact/cll.h"
#include "interact/pck.h"
#include "interact/sel.h"
#include "interact/trfmode.h"
#include "interact/vis.h"
#include "model/model.h"
#include "shell/display.h"
#include "shell/edit/edit.h"
#include "shell/edit/editmodes.h"
#include "shell/edit/modes.h"
#include "shell/lengthtext.h"
#include "shell/messages.h"
#include "shell/results/influence.h"
#include "shell/results/inquiry.h"
#include "shell/results/resultdisplay.h"
#include "shell/state.h"
#include "ui/ui.h"

#include <algorithm>

namespace shell {

namespace {

namespace vis = interact::vis;
namespace pck = interact::pck;
namespace sel = interact::sel;

// The extent of the drawing: the box of the frame's nodes, of the dimension
// lines while they are shown and of the drawn results; false when there is
// nothing.
bool extentOf(vis::Window& w) {
    const AppState& a = app();
    bool first = true;
    auto add = [&](double x, double y) {
        if (first) {
            w = {x, x, y, y};
            first = false;
            return;
        }
        w.xmin = std::min(w.xmin, x);
        w.xmax = std::max(w.xmax, x);
        w.ymin = std::min(w.ymin, y);
        w.ymax = std::max(w.ymax, y);
    };
    if (!modelIsEmpty())
        for (const Vertex* v = a.model->vertices; v; v = v->next) add(v->x, v->y);
    if (a.settings.display[kDimLines])
        for (const attrib::DimensionLine& d : attrib::root().dimLines)
            for (const attrib::DimPoint& p : d.pts) add(p.x, p.y);
    if (a.settings.result.on && !first)
        if (const results::ResultDrawing* rd = resultDrawing())
            results::forEachDrawnPoint(*rd, &a.settings, add);
    return !first;
}

int modelExtent(ui::Element&, vis::Window& w) {
    return extentOf(w) ? 1 : 0;
}

ui::Element* canvasElement() {
    AppState& a = app();
    return a.canvas ? a.el.datascreen : nullptr;
}

// Zoom by fence finished: release the button, show the new size, clear the
// prompt and restart the mode the zoom interrupted (a creation mode too).
void zoomDone(int) {
    AppState& a = app();
    a.tk->at("zoom").set("VALUE", "OFF");
    showWorkSpaceSize();
    clearPrompt();
    restartMode();
    updateToolbar();
}

// A view operation from a menu or tool bar, followed by the size fields.
template <int (*Op)(ui::Element&)> int viewCommand(ui::Event&) {
    if (ui::Element* c = canvasElement()) {
        Op(*c);
        showWorkSpaceSize();
    }
    return ui::kDefault;
}

int onZoom(ui::Event&) {
    ui::Element* c = canvasElement();
    if (!c) return ui::kDefault;
    showPrompt("Select a rectangle area for zooming in.");
    app().tk->at("zoom").set("VALUE", "ON");
    vis::zoomFence(*c, zoomDone);
    return ui::kDefault;
}

// A creation mode, or a curve being drawn outside one (the precision segment
// of the result display): the right button cancels it.
bool creationMode() {
    const EditMode m = app().mode;
    return m == EditMode::InsertMember || m == EditMode::InsertNode ||
           m == EditMode::InsertDimLine || interact::cll::active();
}

// Control with the right button is the middle button; outside the drawing
// modes, and with no zoom in progress, the right button asks for the inquiry
// of the entity under the cursor and picks like the left one.
int onMouseButton(ui::Event& ev) {
    AppState& a = app();
    ui::Element* c = canvasElement();
    if (!c) return ui::kDefault;
    int button = ev.button;
    if (button == 3 && ev.mods.control) {
        button = 2;
    } else if (button == 3 && !creationMode() && !interact::trf::modeActive() &&
               a.tk->at("zoom").get("VALUE") != "ON") {
        if (ev.pressed) a.pickPurpose = 1;
        button = 1;
    }
    pck::button(*c, button, ev.pressed, ev.x, ev.y, ev.mods);
    // A click may have drawn a new influence line, or the inquiry cleared
    // the message line: the mode line and its factor follow the display.
    if (!ev.pressed && a.settings.result.on && a.settings.result.influence) {
        showResultTitle();
        showResultFactor();
    }
    return ui::kDefault;
}

// The purpose a finished pick returns to after an inquiry: the mode's own.
int modePurpose() {
    switch (app().mode) {
    case EditMode::InfluenceSection:
        return 2;
    case EditMode::ResultQuery:
        return 3;
    default:
        return 0;
    }
}

// The cursor position is echoed snapped, as a click there would enter it;
// Control inverts the snap settings.
int onMouseMove(ui::Event& ev) {
    AppState& a = app();
    ui::Element* c = canvasElement();
    if (!c) return ui::kDefault;
    pck::motion(*c, ev.x, ev.y, ev.mods);
    gfx::Point w = a.canvas->pixelToWorld(ev.x, ev.y);
    // In result mode the message line shows the result at the member under
    // the pointer (the point as it is, not snapped).
    if (a.settings.result.on) showPrompt(resultLineAt(w.x, w.y, pck::toleranceOf(*a.canvas)));
    snapPoint(w.x, w.y, pck::toleranceOf(*a.canvas), ev.mods.control);
    showCursorPosition(w.x, w.y);
    return ui::kDefault;
}

// What a finished gesture does, by pick purpose: 0 selects; 1 (the right
// button) shows the inquiry of the entity there, and the purpose goes back
// to the mode's own; 2 puts an influence-line section there; 3 shows the
// result at the point in the message line.
void onPick(double x, double y, double tol, bool shift, bool) {
    AppState& a = app();
    switch (a.pickPurpose) {
    case 1:
        a.pickPurpose = modePurpose();
        inquireAt(x, y, tol);
        return;
    case 2:
        pickInfluenceSection(x, y, tol);
        return;
    case 3:
        showPrompt(resultLineAt(x, y, tol));
        return;
    default:
        pickAt(x, y, tol, shift);
    }
}

// A fence selects only in the selection purpose.
void onFence(double xmin, double xmax, double ymin, double ymax, bool shift, bool) {
    AppState& a = app();
    if (a.pickPurpose != 0) {
        if (a.pickPurpose == 1) a.pickPurpose = modePurpose();
        return;
    }
    fenceSelect(xmin, xmax, ymin, ymax, shift);
}

int onEchoOff(ui::Event&) {
    if (ui::Element* c = canvasElement()) pck::echoOff(*c);
    blankCursorPosition();
    return ui::kDefault;
}

} // namespace

void attachView() {
    AppState& a = app();
    if (!a.canvas) return;
    ui::Element& c = *a.el.datascreen;
    vis::registerCanvas(c, *a.canvas);
    vis::Callbacks cb;
    cb.redraw = [](ui::Element&, const vis::Window&) { redraw(); };
    cb.extent = modelExtent;
    cb.fenceDone = zoomDone;
    vis::setCallbacks(c, cb);
    sel::Callbacks sc;
    sc.pick = onPick;
    sc.fence = onFence;
    sc.snap = snapWithKeys;
    sel::registerCanvas(c, sc);
}

void detachView() {
    AppState& a = app();
    if (a.canvas && a.el.datascreen) {
        pck::cancel();
        sel::unregisterCanvas(*a.el.datascreen);
        vis::unregisterCanvas(*a.el.datascreen);
    }
    pck::state().reset();
}

void fitView() {
    fitViewWithMargin(0, 0);
}

void fitViewWithMargin(double margin, int pixels) {
    if (ui::Element* c = canvasElement()) vis::fitWithMargin(*c, margin, pixels);
}

void setViewWindow(double xmin, double xmax, double ymin, double ymax) {
    if (ui::Element* c = canvasElement()) vis::setWindow(*c, {xmin, xmax, ymin, ymax});
}

bool drawnExtent(double& xmin, double& xmax, double& ymin, double& ymax) {
    vis::Window w;
    if (!extentOf(w)) return false;
    xmin = w.xmin, xmax = w.xmax, ymin = w.ymin, ymax = w.ymax;
    return true;
}

void viewWindow(double& xmin, double& xmax, double& ymin, double& ymax) {
    vis::Window w{0, 1, 0, 1};
    if (ui::Element* c = canvasElement()) vis::getWindow(*c, w);
    xmin = w.xmin;
    xmax = w.xmax;
    ymin = w.ymin;
    ymax = w.ymax;
}

void adaptViewToCanvas(int width, int height) {
    if (ui::Element* c = canvasElement()) vis::resize(*c, width, height);
}

void showWorkSpaceSize() {
    AppState& a = app();
    double xmin, xmax, ymin, ymax;
    viewWindow(xmin, xmax, ymin, ymax);
    a.el.htext->set("VALUE", lengthBare(a.settings, kWorkSpaceFormatSlot, xmax - xmin));
    a.el.vtext->set("VALUE", lengthBare(a.settings, kWorkSpaceFormatSlot, ymax - ymin));
}

void startSelection() {
    if (ui::Element* c = canvasElement())
        sel::start(
            *c, [](int) { updateToolbar(); }, true);
}

void bindViewActions(ui::Toolkit& tk) {
    tk.bind("VisFit", viewCommand<vis::fit>);
    tk.bind("VisZoomIn", viewCommand<vis::zoomIn>);
    tk.bind("VisZoomOut", viewCommand<vis::zoomOut>);
    tk.bind("VisPrevZoom", viewCommand<vis::prevZoom>);
    tk.bind("VisZoom", onZoom);
    tk.bind("PckMouseBt", onMouseButton);
    tk.bind("PckMouseMv", onMouseMove);
    tk.bind("PckEchoOff", onEchoOff);
}

} // namespace shell
