// Deletion of members (edges) and nodes (vertices), and the edge finder.
#include "model/euler.h"
#include "model/internal.h"
#include "model/setops.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Removes a vertex left alone in a ring; the last vertex takes the face and
// the solid's first face with it.
void remove_if_alone(Vertex* v) {
    if (v == nullptr || v->vedge == nullptr || v->vedge->edge != nullptr) return;
    Solid* s = v->vedge->loop->face->solid;
    if (s->vertices == v && v->next == nullptr)
        mdl_op_kvfs(s);
    else
        mdl_op_kvr(v);
}

double part_area(HalfEdge* from, HalfEdge* stop) {
    // Signed area of the cycle from `from` to the half-edge before `stop`.
    std::vector<MPoint> pts;
    for (HalfEdge* h = from; h != stop; h = h->next) append_half_edge_points(h, &pts);
    return polygon_area(pts);
}

int delete_edge(Edge* e) {
    HalfEdge* h1 = e->he1;
    HalfEdge* h2 = e->he2;
    Vertex* v1 = h1->vtx;
    Vertex* v2 = h2->vtx;
    Face* f1 = h1->loop->face;
    Face* f2 = h2->loop->face;
    Solid* s = f1->solid;
    if (f1 != f2) {
        // Two faces merge: the one bounded from outside by this edge goes.
        Face* fk = (f2->outer == h2->loop) ? f2 : f1;
        Face* fs = fk == f1 ? f2 : f1;
        if (fk->outer == nullptr) return -1;
        for (Loop* l = fk->loops; l != nullptr;) {
            Loop* n = l->next;
            if (l != fk->outer) mdl_op_ringmv(l, fs);
            l = n;
        }
        if (fs->outer != nullptr) setop_face_box(fs, box_union(fs->box, fk->box));
        if (g_mdl.hooks.faces_merged != nullptr)
            g_mdl.hooks.faces_merged(fk->attrib, fs->id, fk->id);
        if (mdl_op_kef(e, fk) != -2) return -1;
    } else if (h1->loop != h2->loop) {
        // Two loops of one face: the loop that is not the outer one becomes a
        // face of its own first.
        Loop* ring = f1->outer == h1->loop ? h2->loop : h1->loop;
        Face* nf = mdl_op_mfkrh(ring, next_face_id(s));
        if (nf == nullptr || mdl_op_kef(e, nf) != -2) return -1;
    } else if (h1->next == h2 || h2->next == h1) {
        Vertex* gone = h1->next == h2 ? v2 : v1;
        if (h1->next == h2 && h2->next == h1) gone = v2; // a lone member: end 1 stays for now
        if (mdl_op_kev(e, gone) != -2) return -1;
        if (gone == v2)
            v2 = nullptr;
        else
            v1 = nullptr;
    } else {
        // The loop falls apart: the larger part keeps the loop's place.
        Loop* l = h1->loop;
        bool outer = f1->outer == l;
        double after_h1 = part_area(h1->next, h2);
        double after_h2 = part_area(h2->next, h1);
        if (mdl_op_kemr(h1, outer && after_h1 > after_h2 ? 1 : 0) != -2) return -1;
    }
    remove_if_alone(v1);
    remove_if_alone(v2);
    return -2;
}

} // namespace

int mdl_delete_edge(Edge* e) {
    if (e == nullptr) return -1;
    mdl_begin_step();
    return delete_edge(e);
}

int mdl_delete_vertex(Vertex* v) {
    if (v == nullptr || v->vedge == nullptr) return -1;
    HalfEdge* h = v->vedge;
    Solid* s = h->loop->face->solid;
    if (h->edge == nullptr) {
        mdl_begin_step();
        if (s->vertices == v && v->next == nullptr) return mdl_op_kvfs(s);
        return mdl_op_kvr(v);
    }
    HalfEdge* other = mate(h)->next;
    if (other == h || mate(other)->next != h) return -1; // one edge, or more than two
    Edge* e1 = h->edge;
    Edge* e2 = other->edge;
    if (e1 == e2 || e1->he1->vtx == e1->he2->vtx || e2->he1->vtx == e2->he2->vtx) return -1;
    // The first edge runs into v, the second out of it. When both run the
    // other way, exchanging their roles keeps both as drawn instead of
    // reversing both.
    if (e1->he1->vtx == v && e2->he2->vtx == v) std::swap(e1, e2);
    // Points of e1 running into v and of e2 running out of v.
    std::vector<MPoint> p1, p2;
    mdl_edge_points(e1, &p1);
    mdl_edge_points(e2, &p2);
    bool rev1 = e1->he2->vtx != v;
    bool rev2 = e2->he1->vtx != v;
    if (rev1) std::reverse(p1.begin(), p1.end());
    if (rev2) std::reverse(p2.begin(), p2.end());
    if (p1.front().x == p2.back().x && p1.front().y == p2.back().y)
        return -1; // would close on itself
    auto interior = [](const std::vector<MPoint>& p) {
        EdgeCurve* g = mdl_curve_new(static_cast<int32_t>(p.size()) - 2);
        for (size_t i = 1; i + 1 < p.size(); ++i) g->points[i - 1] = p[i];
        return g;
    };
    EdgeCurve* g1 = interior(p1);
    EdgeCurve* g2 = interior(p2);
    int32_t kind = (e1->curve_kind == CURVE_LINE && e2->curve_kind == CURVE_LINE) ? CURVE_LINE
                                                                                  : CURVE_POLYLINE;
    const CurveKindOps* ops = mdl_curve_ops(kind);
    EdgeCurve* joined = nullptr;
    int ok = ops->join(p1.front(), g1, p1.back(), g2, p2.back(), &joined);
    mdl_curve_free(g1);
    mdl_curve_free(g2);
    if (ok != -2) return -1;
    mdl_begin_step();
    if (rev1) setop_reverse(e1);
    if (rev2) setop_reverse(e2);
    OperatorRecord inv;
    if (eu_jekv(e1, e2, joined, &inv) != -2) {
        mdl_curve_free(joined);
        return -1;
    }
    e1->curve_kind = kind;
    e1->box = ops->box(e1);
    if (g_mdl.hooks.edges_joined != nullptr)
        g_mdl.hooks.edges_joined(e1, inv.attrib_b, inv.attrib_c, e1->he1->vtx, e1->he2->vtx);
    mdl_log(inv); // holds, or releases, the old attributes and the node's
    return -2;
}

Edge* mdl_find_edge_at(Solid* s, MPoint p, double tol) {
    std::vector<MPoint> pts;
    for (Solid* cur = s ? s : g_mdl.solids; cur != nullptr; cur = s ? nullptr : cur->next) {
        for (Edge* e = cur->edges; e != nullptr; e = e->next) {
            if (p.x < e->box.xmin - tol || p.x > e->box.xmax + tol || p.y < e->box.ymin - tol ||
                p.y > e->box.ymax + tol)
                continue;
            mdl_edge_points(e, &pts);
            for (size_t i = 0; i + 1 < pts.size(); ++i) {
                MPoint a = pts[i], b = pts[i + 1];
                double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
                double t = l2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0.0;
                t = std::fmax(0.0, std::fmin(1.0, t));
                if (std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy)) < tol) return e;
            }
        }
    }
    return nullptr;
}
