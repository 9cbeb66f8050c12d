// Intersection of a curve being inserted with existing edges and vertices:
// the nine event codes, the overlap table of collinear segments and the
// snapping of the new curve onto meeting points. Internal to model/.
#pragma once

#include "model/entities.h"

#include <vector>

enum EventCode : int {
    EV_CROSS = 1,       // crosses an edge at an interior point and goes on
    EV_THROUGH = 2,     // passes through a vertex and goes on
    EV_END_ON_EDGE = 3, // ends at an interior point of an edge
    EV_END_AT_VERTEX = 4,
    EV_NONE = 5,
    EV_ALONG_LEAVE = 6,  // runs along an edge and leaves it at an interior point
    EV_ALONG_VERTEX = 7, // runs along an edge up to a vertex and goes on
    EV_ALONG_END = 8,    // runs along an edge and ends inside it
    EV_ALL_ON_EDGES = 9, // lies entirely on existing edges, or is degenerate
};

struct IntersectEvent {
    int code;
    MPoint point;   // the meeting point
    Edge* edge;     // the edge met (codes 1, 3, 6, 8; also 2, 4, 7, 9 through its vertex)
    Vertex* vertex; // the vertex met (codes 2, 4, 7, 9)
    int segment;    // segment of the new curve
    double param;   // parameter within that segment
    int snap_index; // point of the new curve to move onto the meeting point, or -1
    double position() const { return segment + param; }
};

// Events of the new curve (points pts) with one existing edge; the first
// segment of the new curve that has an event ends the search. Returns false
// when nothing is met.
bool isx_curve_edge(const std::vector<MPoint>& pts, Edge* e, IntersectEvent* ev);
// The event of the new curve with an isolated vertex.
bool isx_curve_vertex(const std::vector<MPoint>& pts, Vertex* v, IntersectEvent* ev);
// Whether the curve meets itself or is degenerate.
bool isx_self(const std::vector<MPoint>& pts);
// The class of point p against segment e0-e1 for the overlap table (0 to 4).
int isx_overlap_class(MPoint p, MPoint e0, MPoint e1);
