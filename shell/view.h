// The shell's view of the drawing canvas until the view control module is
// wired in: the world window shown on the canvas (kept to the canvas's aspect
// by growing it about its centre), the work-space size fields `htext` and
// `vtext`, and the start-up window of an empty model.
#pragma once

namespace shell {

// Sets the world window of the canvas, grown to the canvas's aspect.
void setViewWindow(double xmin, double xmax, double ymin, double ymax);
void viewWindow(double& xmin, double& xmax, double& ymin, double& ymax);
// The window of a model with nothing to fit: (0, 10, 0, 10) widened by the
// canvas's FITFACTOR about its centre.
void fitEmptyView();
// The canvas changed size: the window keeps its lower left corner and its
// world scale.
void adaptViewToCanvas(int oldWidth, int oldHeight);
// Shows the window's width and height in the size fields.
void showWorkSpaceSize();

} // namespace shell
