// World window of the drawing canvas and the work-space size fields.
#include "shell/view.h"

#include "gfx/canvas.h"
#include "shell/lengthtext.h"
#include "shell/state.h"
#include "ui/ui.h"

namespace shell {

void setViewWindow(double xmin, double xmax, double ymin, double ymax) {
    gfx::Canvas* c = app().canvas.get();
    if (!c) return;
    double w = xmax - xmin, h = ymax - ymin;
    if (w <= 0) w = 1;
    if (h <= 0) h = 1;
    const double xc = 0.5 * (xmin + xmax), yc = 0.5 * (ymin + ymax);
    const double p = static_cast<double>(c->height()) / c->width();
    if (p * w >= h)
        h = w * p;
    else
        w = h / p;
    c->setWindow(xc - 0.5 * w, xc + 0.5 * w, yc - 0.5 * h, yc + 0.5 * h);
}

void viewWindow(double& xmin, double& xmax, double& ymin, double& ymax) {
    xmin = 0, xmax = 1, ymin = 0, ymax = 1;
    if (gfx::Canvas* c = app().canvas.get()) c->window(xmin, xmax, ymin, ymax);
}

void fitEmptyView() {
    double f = app().el.datascreen->getDouble("FITFACTOR", 1.15);
    double half = 5.0 * f;
    setViewWindow(5.0 - half, 5.0 + half, 5.0 - half, 5.0 + half);
}

void adaptViewToCanvas(int oldWidth, int oldHeight) {
    gfx::Canvas* c = app().canvas.get();
    if (!c || oldWidth <= 0 || oldHeight <= 0) return;
    double xmin, xmax, ymin, ymax;
    c->window(xmin, xmax, ymin, ymax);
    double w = xmax - xmin, h = ymax - ymin;
    if (app().el.datascreen->get("WINDOWRESIZE_ADJUST") == "YES") {
        // The scale stays: the window grows with the canvas from its corner.
        w *= static_cast<double>(c->width()) / oldWidth;
        h *= static_cast<double>(c->height()) / oldHeight;
    }
    setViewWindow(xmin, xmin + w, ymin, ymin + h);
}

void showWorkSpaceSize() {
    AppState& a = app();
    double xmin, xmax, ymin, ymax;
    viewWindow(xmin, xmax, ymin, ymax);
    a.el.htext->set("VALUE", lengthBare(a.settings, kWorkSpaceFormatSlot, xmax - xmin));
    a.el.vtext->set("VALUE", lengthBare(a.settings, kWorkSpaceFormatSlot, ymax - ymin));
}

} // namespace shell
