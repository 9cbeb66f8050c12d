// Directions around a vertex (pseudo-angles), the corner at a vertex into
// which a curve leaves, and the insertion of an edge between two existing
// vertices (mef with the face split, or mekr) or to a new vertex (mev).
#include "model/connect.h"

#include "model/euler.h"
#include "model/internal.h"

#include <cmath>

double mdl_pseudo_angle(MPoint d) {
    double m = std::fmax(std::fabs(d.x), std::fabs(d.y));
    if (m <= 0.0) return 0.0;
    double dx = d.x / m, dy = d.y / m;
    double a = (dx == -1.0) ? 4.0 - std::fabs(dy) : 1.0 - dx + std::fabs(dy);
    return dy < 0.0 ? -a : a;
}

double mdl_turn(MPoint u, MPoint v) {
    double d = mdl_pseudo_angle(v) - mdl_pseudo_angle(u);
    double c = u.x * v.y - v.x * u.y;
    if (std::fabs(c) <= FIXED_TOL || std::fabs(d) <= FIXED_TOL) return d;
    if ((d > 0.0 && c < 0.0) || (d <= 0.0 && c >= 0.0)) d = d > 0.0 ? d - 8.0 : d + 8.0;
    return d;
}

HalfEdge* mdl_corner_at(Vertex* v, MPoint dir) {
    HalfEdge* start = v->vedge;
    if (start == nullptr || start->edge == nullptr) return start;
    HalfEdge* best = nullptr;
    double best_cw = 1e30;
    HalfEdge* h = start;
    do {
        MPoint hd = mdl_curve_ops(h->edge->curve_kind)->leave_direction(h->edge, v);
        // The counter-clockwise turn from h to the new direction, in (0, 8].
        double ccw = mdl_turn(hd, dir);
        if (ccw <= 0.0) ccw += 8.0;
        if (ccw < best_cw) {
            best_cw = ccw;
            best = h;
        }
        h = mate(h)->next;
    } while (h != start);
    return best;
}

// Signed area of the cycle that runs from half-edge `from` up to (not
// including) `to`, closed by the points `closing` (from the vertex of `to`
// back to the vertex of `from`, both ends excluded).
static double path_area(HalfEdge* from, HalfEdge* to, const std::vector<MPoint>& closing) {
    std::vector<MPoint> pts;
    HalfEdge* h = from;
    do {
        append_half_edge_points(h, &pts);
        h = h->next;
    } while (h != to);
    pts.push_back(MPoint{to->vtx->x, to->vtx->y});
    for (const MPoint& p : closing) pts.push_back(p);
    return polygon_area(pts);
}

static MPoint leave_dir(MPoint from, const std::vector<MPoint>& inner, MPoint to, bool at_start) {
    MPoint next = inner.empty() ? to : (at_start ? inner.front() : inner.back());
    return MPoint{next.x - from.x, next.y - from.y};
}

static void give_geometry(Edge* e, int32_t kind, const std::vector<MPoint>& inner, Vertex* start) {
    eu_orient(e, start->id);
    e->curve_kind = kind;
    EdgeCurve* g = nullptr;
    if (!inner.empty()) {
        g = mdl_curve_new(static_cast<int32_t>(inner.size()));
        for (size_t i = 0; i < inner.size(); ++i) g->points[i] = inner[i];
    }
    e->geometry = g;
    e->box = mdl_curve_ops(kind)->box(e);
}

static void edge_created(Edge* e) {
    if (g_mdl.hooks.edge_created != nullptr) g_mdl.hooks.edge_created(e);
}

Edge* con_mev(Vertex* v1, MPoint p2, int32_t kind, const std::vector<MPoint>& inner, Vertex** nv) {
    Solid* s = v1->vedge->loop->face->solid;
    MPoint p1{v1->x, v1->y};
    HalfEdge* c = mdl_corner_at(v1, leave_dir(p1, inner, p2, true));
    int32_t vid = next_vertex_id(s);
    int32_t eid = next_edge_id(s);
    OperatorRecord inv;
    Edge* e = eu_mev(c, c, vid, eid, p2, &inv);
    if (e == nullptr) return nullptr;
    give_geometry(e, kind, inner, v1);
    mdl_log(inv);
    *nv = mdl_vertex_by_id(s, vid);
    if (g_mdl.hooks.vertex_created != nullptr) g_mdl.hooks.vertex_created(*nv);
    edge_created(e);
    return e;
}

Edge* con_between(Vertex* v1, Vertex* v2, int32_t kind, const std::vector<MPoint>& inner) {
    if (v1 == v2) return nullptr;
    Solid* s = v1->vedge->loop->face->solid;
    MPoint p1{v1->x, v1->y}, p2{v2->x, v2->y};
    HalfEdge* c1 = mdl_corner_at(v1, leave_dir(p1, inner, p2, true));
    HalfEdge* c2 = mdl_corner_at(v2, leave_dir(p2, inner, p1, false));
    Face* f = c1->loop->face;
    if (c2->loop->face != f) return nullptr;
    if (c1->loop != c2->loop) {
        OperatorRecord inv;
        Edge* e = eu_mekr(c1, c2, next_edge_id(s), &inv);
        if (e == nullptr) return nullptr;
        give_geometry(e, kind, inner, v1);
        mdl_log(inv);
        edge_created(e);
        if (g_mdl.hooks.face_changed != nullptr) g_mdl.hooks.face_changed(f->attrib);
        return e;
    }
    // One loop: the edge splits the face. The new face takes the side whose
    // cycle runs counter-clockwise (positive area).
    std::vector<MPoint> back(inner.rbegin(), inner.rend());
    double area_b = path_area(c1, c2, back);  // c1 .. v2, then back to v1
    double area_a = path_area(c2, c1, inner); // c2 .. v1, then on to v2
    double eps = 1e-12 * (1.0 + std::fabs(area_a) + std::fabs(area_b));
    HalfEdge* first = nullptr;
    HalfEdge* second = nullptr;
    if (area_b > eps) {
        first = c1;
        second = c2;
    } else if (area_a > eps) {
        first = c2;
        second = c1;
    } else {
        return nullptr; // a face without area
    }
    OperatorRecord inv;
    Edge* e = eu_mef(first, second, next_face_id(s), next_edge_id(s), &inv);
    if (e == nullptr) return nullptr;
    give_geometry(e, kind, inner, v1);
    Face* nf = mdl_face_by_id(s, inv.a6);
    nf->box = loop_box(nf->outer);
    mdl_log(inv);
    // Rings of the old face that now lie inside the new face move there.
    for (Loop* l = f->loops; l != nullptr;) {
        Loop* n = l->next;
        if (l != f->outer && l != e->he1->loop && l != e->he2->loop) {
            const Vertex* rv = l->first->vtx;
            MPoint rp{rv->x, rv->y};
            if (rp.x >= nf->box.xmin && rp.x <= nf->box.xmax && rp.y >= nf->box.ymin &&
                rp.y <= nf->box.ymax && point_in_loop(nf->outer, rp))
                mdl_op_ringmv(l, nf);
        }
        l = n;
    }
    edge_created(e);
    if (g_mdl.hooks.face_created != nullptr) g_mdl.hooks.face_created(nf, 0, 0);
    return e;
}

Edge* mdl_insert_edge_between(Vertex* v1, Vertex* v2, int32_t kind, const MPoint* interior, int n) {
    if (v1 == nullptr || v2 == nullptr) return nullptr;
    mdl_begin_step();
    std::vector<MPoint> inner(interior, interior + (n > 0 ? n : 0));
    return con_between(v1, v2, kind, inner);
}

Edge* mdl_insert_edge_from(Vertex* v1, MPoint p2, int32_t kind, const MPoint* interior, int n) {
    if (v1 == nullptr) return nullptr;
    mdl_begin_step();
    std::vector<MPoint> inner(interior, interior + (n > 0 ? n : 0));
    Vertex* nv = nullptr;
    return con_mev(v1, p2, kind, inner, &nv);
}
