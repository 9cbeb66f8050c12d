// The drawing canvas's view, kept by the view control module: at start-up the
// shell registers the canvas with it (redraw through the shell, extent of the
// frame model) and with the selection gesture, and keeps the work-space size
// fields `htext` and `vtext` in step with the window.
#pragma once

namespace ui {
class Toolkit;
}

namespace shell {

// Registers the drawing canvas with the view and selection modules.
void attachView();
// Unregisters it (before the drawing canvas goes away).
void detachView();
// Fits the window to the model (the square 0..10 for an empty model).
void fitView();
// fitView() widened by `margin` world units and `pixels` canvas pixels on
// every side.
void fitViewWithMargin(double margin, int pixels);
// Sets the world window of the canvas, grown to the canvas's aspect.
void setViewWindow(double xmin, double xmax, double ymin, double ymax);
void viewWindow(double& xmin, double& xmax, double& ymin, double& ymax);
// What the canvas draws, the extent a fit shows: the frame's nodes, the dimension lines shown
// and the points of the result drawing. False (and nothing set) when there is nothing.
bool drawnExtent(double& xmin, double& xmax, double& ymin, double& ymax);
// The canvas changed size: the view adapts (keeping the scale when the canvas
// asks for it with WINDOWRESIZE_ADJUST).
void adaptViewToCanvas(int width, int height);
// Shows the window's width and height in the size fields.
void showWorkSpaceSize();
// Starts the selection gesture on the canvas (the select mode's interaction).
void startSelection();
// Binds the canvas and view actions: VisFit, VisZoom, VisZoomIn, VisZoomOut,
// VisPrevZoom, PckMouseBt, PckMouseMv and PckEchoOff.
void bindViewActions(ui::Toolkit& tk);

} // namespace shell
