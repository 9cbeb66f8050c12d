// Curve kinds of the frame model: the CurveKindOps table, indexed by curve
// kind (1 line, 2 polyline; row 0 stays empty). Every geometric service that
// depends on the kind of a member goes through this table. Called by the
// operators, the insertion code and the model file code.
#pragma once

#include "model/entities.h"

#include <cstdio>
#include <vector>

// The curve record that the interaction library hands over (a line or a
// polyline): first point, last point and the interior points.
struct ModelCurveRecord {
    int kind;
    MPoint first;
    MPoint last;
    int count;
    MPoint* interior;
    AttribRef attrib_template;
    ModelCurveRecord* next;
};

// One row of the table. Slot numbers in the comments; the slots not named
// here are geometric services that no caller needs.
struct CurveKindOps {
    // 0: release a geometry.
    void (*release)(EdgeCurve* g);
    // 1: split the polyline p0-g-p1 at point `at` (on it) into g1 (p0..at) and
    // g2 (at..p1); -2 on success, -1 when the point is not on the curve.
    int (*split)(MPoint p0, const EdgeCurve* g, MPoint p1, MPoint at, EdgeCurve** g1,
                 EdgeCurve** g2);
    // 2: join a (p0-g1-mid) and b (mid-g2-p1) into one geometry; -1 when they
    // cannot be joined.
    int (*join)(MPoint p0, const EdgeCurve* g1, MPoint mid, const EdgeCurve* g2, MPoint p1,
                EdgeCurve** out);
    // 5: direction in which the edge leaves vertex v.
    MPoint (*leave_direction)(const Edge* e, const Vertex* v);
    // 7: whether p lies on the edge within the tolerances (1/0); *pos gets the
    // position (slot 26 convention) of the nearest point.
    int (*point_on)(const Edge* e, MPoint p, double* pos);
    // 10, 11: write and read a geometry in the model file; -2 / -1.
    int (*write)(FILE* fp, const EdgeCurve* g);
    int (*read)(FILE* fp, EdgeCurve** g);
    // 13: box of the edge with its interior points.
    MBox (*box)(const Edge* e);
    // 14: build a geometry from the points of a curve (both ends included);
    // -1 when the count does not suit the kind.
    int (*build)(const MPoint* pts, int n, EdgeCurve** out);
    // 15: number of points including both ends.
    int (*point_count)(const EdgeCurve* g);
    // 26: position of p along the edge: segment index plus the parameter.
    double (*position)(const Edge* e, MPoint p);
    // 27: take over a curve from the application's curve record (all points).
    int (*take_record)(const ModelCurveRecord* rec, std::vector<MPoint>* pts);
    // 28: hand the curve of an edge back in a curve record (interior array
    // allocated with new[]; the caller frees it).
    int (*give_record)(const Edge* e, ModelCurveRecord* rec);
};

// The table; rows 1 and 2 are filled by mdl_initialise.
const CurveKindOps* mdl_curve_ops(int32_t kind);
void mdl_curve_table_fill();

// Geometry helpers shared by the kinds.
EdgeCurve* mdl_curve_new(int32_t count);
EdgeCurve* mdl_curve_copy(const EdgeCurve* g);
void mdl_curve_free(EdgeCurve* g);
// All points of an edge from end 1 to end 2.
void mdl_edge_points(const Edge* e, std::vector<MPoint>* out);
