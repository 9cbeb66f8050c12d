// The drawing canvas's view through the view control, pick and selection
// modules, and the canvas and view actions of the main window.
#include "shell/view.h"

#include "gfx/canvas.h"
#include "interact/pck.h"
#include "interact/sel.h"
#include "interact/vis.h"
#include "model/model.h"
#include "shell/display.h"
#include "shell/lengthtext.h"
#include "shell/messages.h"
#include "shell/state.h"
#include "ui/ui.h"

#include <algorithm>

namespace shell {

namespace {

namespace vis = interact::vis;
namespace pck = interact::pck;
namespace sel = interact::sel;

// The extent of the frame: the box of its nodes; 0 for an empty model.
int modelExtent(ui::Element&, vis::Window& w) {
    const AppState& a = app();
    if (modelIsEmpty()) return 0;
    bool first = true;
    for (const Vertex* v = a.model->vertices; v; v = v->next) {
        if (first) {
            w = {v->x, v->x, v->y, v->y};
            first = false;
            continue;
        }
        w.xmin = std::min(w.xmin, v->x);
        w.xmax = std::max(w.xmax, v->x);
        w.ymin = std::min(w.ymin, v->y);
        w.ymax = std::max(w.ymax, v->y);
    }
    return first ? 0 : 1;
}

ui::Element* canvasElement() {
    AppState& a = app();
    return a.canvas ? a.el.datascreen : nullptr;
}

// Zoom by fence finished: release the button, show the new size, clear the
// prompt and go back to the selection.
void zoomDone(int) {
    AppState& a = app();
    a.tk->at("zoom").set("VALUE", "OFF");
    showWorkSpaceSize();
    clearPrompt();
    if (a.mode == EditMode::Select) startSelection();
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

// Control with the right button is the middle button; outside the drawing
// modes the right button picks like the left one.
int onMouseButton(ui::Event& ev) {
    ui::Element* c = canvasElement();
    if (!c) return ui::kDefault;
    int button = ev.button;
    if (button == 3 && ev.mods.control)
        button = 2;
    else if (button == 3 && app().mode == EditMode::Select)
        button = 1;
    pck::button(*c, button, ev.pressed, ev.x, ev.y, ev.mods);
    return ui::kDefault;
}

int onMouseMove(ui::Event& ev) {
    AppState& a = app();
    ui::Element* c = canvasElement();
    if (!c) return ui::kDefault;
    pck::motion(*c, ev.x, ev.y, ev.mods);
    gfx::Point w = a.canvas->pixelToWorld(ev.x, ev.y);
    showCursorPosition(w.x, w.y);
    return ui::kDefault;
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
    // What a pick or a fence selects comes with the editing modes; until then
    // the gesture only shows its echo.
    sel::registerCanvas(c, sel::Callbacks{});
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
    if (ui::Element* c = canvasElement()) vis::fit(*c);
}

void setViewWindow(double xmin, double xmax, double ymin, double ymax) {
    if (ui::Element* c = canvasElement()) vis::setWindow(*c, {xmin, xmax, ymin, ymax});
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
    if (ui::Element* c = canvasElement()) sel::start(*c, nullptr, true);
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
