// Geometry the drivers share. Hatch lines of a filled polygon, for drivers
// whose output has no hatch patterns of its own (or draws them better as
// lines): the segments of a family of parallel lines that lie inside the
// polygon by the even-odd rule. Arcs as polylines; the strokes and outlines
// of marks.
#pragma once

#include "gfx/canvas.h"

#include <utility>
#include <vector>

namespace gfx {

// Spacing of the hatch lines in pixels, the same as the screen's patterns.
constexpr double kHatchSpacingPx = 8;

using Segment = std::pair<Point, Point>;

// Segments of lines at `angleDeg` (counter-clockwise on the screen, pixel y
// down) spaced `spacing` pixels apart inside the polygon `px` (pixel
// coordinates). The lines are placed on multiples of the spacing measured
// from the pixel origin, so neighbouring polygons' hatches line up.
std::vector<Segment> hatchSegments(const std::vector<Point>& px, double angleDeg, double spacing);

// The span of an arc from a1 to a2 (degrees), as every driver reads it: the
// counter-clockwise sweep from a1 to a2, a full turn when they differ by a
// multiple of 360, at most one turn.
double arcSpan(double a1, double a2);

// Points along an elliptic arc in pixel space (angles counter-clockwise on
// the screen), at most 5 degrees apart, both ends included; for drivers that
// write arcs as polylines.
std::vector<Point> arcPoints(Point c, double rx, double ry, double a1, double a2);

// The polyline an arc is drawn with: its points, and for a filled arc short
// of a full turn the centre first, which closes it into a sector.
std::vector<Point> arcOutline(Point c, double rx, double ry, double a1, double a2, bool filled);

// The strokes of the marks made of separate lines (Plus, Cross, Star) about
// c with half size h; none for the other kinds.
std::vector<Segment> markStrokes(MarkKind kind, Point c, double h);
// The closed outline of the marks drawn as polygons (Square, Diamond) about c
// with half size h; none for the other kinds.
std::vector<Point> markOutline(MarkKind kind, Point c, double h);

// The hatch lines of a fill style (none for Solid): horizontal, vertical,
// diagonal (rising to the right) or horizontal and vertical together.
std::vector<Segment> hatchFor(FillStyle style, const std::vector<Point>& px);

} // namespace gfx
