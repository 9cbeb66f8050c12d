// Insertion of a curve with automatic intersection: the curve is inserted
// piece by piece from its start; crossed members are split, coincident points
// merged and parts along existing members dropped.
#include "model/connect.h"
#include "model/insert.h"
#include "model/internal.h"
#include "model/intersect.h"

#include <cmath>
#include <vector>

namespace {

using Points = std::vector<MPoint>;

// The nearest event of the curve, leaving from start vertex sv, within the
// face of the corner it leaves into.
IntersectEvent nearest_event(Vertex* sv, const Points& pts, HalfEdge* corner) {
    IntersectEvent best{};
    best.code = EV_NONE;
    double best_pos = 1e30;
    Face* f = corner->loop->face;
    for (Loop* l = f->loops; l != nullptr; l = l->next) {
        HalfEdge* h = l->first;
        do {
            IntersectEvent ev{};
            bool hit = false;
            Edge* e = h->edge;
            if (e == nullptr) {
                if (h->vtx != sv) hit = isx_curve_vertex(pts, h->vtx, &ev);
            } else if (!(h == e->he2 && e->he1->loop == l)) {
                hit = isx_curve_edge(pts, e, &ev);
            }
            if (hit) {
                if (ev.code == EV_ALL_ON_EDGES || ev.code == EV_ALONG_VERTEX) return ev;
                if (ev.position() < best_pos) {
                    best_pos = ev.position();
                    best = ev;
                }
            }
            h = h->next;
        } while (h != l->first);
    }
    return best;
}

// Splits the curve at (segment, param) with point m: head runs from the start
// to m, tail from m to the end.
void cut(const Points& pts, int segment, double param, MPoint m, Points* head, Points* tail) {
    head->assign(pts.begin(), pts.begin() + segment + 1);
    head->push_back(m);
    tail->clear();
    tail->push_back(m);
    size_t from = static_cast<size_t>(segment) + (param >= 1.0 ? 2 : 1);
    for (size_t k = from; k < pts.size(); ++k) tail->push_back(pts[k]);
}

Points inner_of(const Points& piece) {
    if (piece.size() <= 2) return {};
    return Points(piece.begin() + 1, piece.end() - 1);
}

Edge* insert_piece_between(Vertex* a, Vertex* b, int32_t kind, const Points& piece) {
    if (a == b) return nullptr;
    return con_between(a, b, kind, inner_of(piece));
}

// Inserts one open curve; -2 on success, -1 on failure.
int insert_open(Solid* s, int32_t kind, Points pts) {
    MPoint p0 = pts.front();
    Vertex* sv = mdl_find_vertex_at(s, &p0);
    if (sv == nullptr) sv = ins_point(s, pts.front());
    if (sv == nullptr) return -1;
    pts.front() = MPoint{sv->x, sv->y};
    for (int guard = 0; guard < 1000000; ++guard) {
        if (pts.size() < 2) return -2;
        MPoint dir{pts[1].x - pts[0].x, pts[1].y - pts[0].y};
        HalfEdge* corner = mdl_corner_at(sv, dir);
        IntersectEvent ev = nearest_event(sv, pts, corner);
        if (ev.code == EV_NONE && ins_coincide(pts.back(), MPoint{sv->x, sv->y})) return -1;
        // Coming back to the start vertex would close a member on itself.
        if ((ev.code == EV_THROUGH || ev.code == EV_END_AT_VERTEX) && ev.vertex == sv) return -1;
        if (ev.snap_index >= 0 && ev.code < 6) pts[static_cast<size_t>(ev.snap_index)] = ev.point;
        Points head, tail;
        switch (ev.code) {
        case EV_CROSS: {
            Vertex* nv = ins_split_edge(ev.edge, ev.point);
            if (nv == nullptr) return -1;
            cut(pts, ev.segment, ev.param, ev.point, &head, &tail);
            if (insert_piece_between(sv, nv, kind, head) == nullptr) return -1;
            sv = nv;
            pts = tail;
            break;
        }
        case EV_THROUGH: {
            MPoint m{ev.vertex->x, ev.vertex->y};
            cut(pts, ev.segment, ev.param, m, &head, &tail);
            if (insert_piece_between(sv, ev.vertex, kind, head) == nullptr) return -1;
            sv = ev.vertex;
            pts = tail;
            break;
        }
        case EV_END_ON_EDGE: {
            Vertex* nv = ins_split_edge(ev.edge, ev.point);
            if (nv == nullptr) return -1;
            pts.back() = ev.point;
            return insert_piece_between(sv, nv, kind, pts) != nullptr ? -2 : -1;
        }
        case EV_END_AT_VERTEX:
            return insert_piece_between(sv, ev.vertex, kind, pts) != nullptr ? -2 : -1;
        case EV_NONE: {
            Vertex* nv = nullptr;
            return con_mev(sv, pts.back(), kind, inner_of(pts), &nv) != nullptr ? -2 : -1;
        }
        case EV_ALONG_LEAVE: {
            Vertex* nv = ins_split_edge(ev.edge, ev.point);
            if (nv == nullptr) return -1;
            cut(pts, ev.segment, ev.param, ev.point, &head, &tail);
            sv = nv;
            pts = tail;
            break;
        }
        case EV_ALONG_VERTEX: {
            MPoint m{ev.vertex->x, ev.vertex->y};
            cut(pts, ev.segment, ev.param, m, &head, &tail);
            sv = ev.vertex;
            pts = tail;
            break;
        }
        case EV_ALONG_END:
            return ins_split_edge(ev.edge, ev.point) != nullptr ? -2 : -1;
        default:
            return -2; // 9: nothing to insert
        }
        pts.front() = MPoint{sv->x, sv->y};
        if (pts.size() >= 2 && ins_coincide(pts[0], pts[1]) && pts.size() == 2) return -2;
    }
    return -1;
}

} // namespace

int mdl_insert_points(Solid* s, int32_t kind, const MPoint* pts, int n) {
    if (s == nullptr || pts == nullptr || n < 2) return -1;
    if (kind == CURVE_LINE && n != 2) return -1;
    Points curve(pts, pts + n);
    if (isx_self(curve)) return -1;
    mdl_begin_step();
    if (s->vertices == nullptr || mdl_is_empty(s)) ins_point(s, curve.front());
    if (ins_coincide(curve.front(), curve.back())) {
        size_t mid = curve.size() / 2;
        Points a(curve.begin(), curve.begin() + static_cast<long>(mid) + 1);
        Points b(curve.begin() + static_cast<long>(mid), curve.end());
        int rc = insert_open(s, kind, a);
        if (rc != -2) return rc;
        return insert_open(s, kind, b);
    }
    return insert_open(s, kind, curve);
}

int mdl_insert_curve(Solid* s, const ModelCurveRecord* rec, int flag) {
    (void)flag;
    if (s == nullptr || rec == nullptr) return -1;
    int32_t kind = rec->kind == 1 ? CURVE_LINE : CURVE_POLYLINE;
    Points pts;
    mdl_curve_ops(kind)->take_record(rec, &pts);
    if (kind == CURVE_LINE && pts.size() != 2) kind = CURVE_POLYLINE;
    return mdl_insert_points(s, kind, pts.data(), static_cast<int>(pts.size()));
}
