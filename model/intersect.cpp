// Segment intersection with the tolerances: the nine event codes, the overlap
// table of collinear segments, and snapping.
#include "model/intersect.h"

#include "model/internal.h"

#include <cmath>

namespace {

bool coincide(MPoint a, MPoint b) {
    return std::fabs(a.x - b.x) < g_mdl.tol_x && std::fabs(a.y - b.y) < g_mdl.tol_y;
}

// Signed distance of p from the line through a and b.
double line_dist(MPoint a, MPoint b, MPoint p) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len = std::hypot(dx, dy);
    if (len <= 0.0) return std::hypot(p.x - a.x, p.y - a.y);
    return ((p.y - a.y) * dx - (p.x - a.x) * dy) / len;
}

double foot_param(MPoint a, MPoint b, MPoint p) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double l2 = dx * dx + dy * dy;
    return l2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0.0;
}

bool same_point(MPoint a, MPoint b) {
    return a.x == b.x && a.y == b.y;
}

MPoint at(MPoint a, MPoint b, double t) {
    return MPoint{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
}

struct SegEvent {
    int code;
    MPoint point;
    double tn; // parameter along the new segment
    double te; // parameter along the existing segment
    bool overlap;
    bool snap_end; // move the new segment's end onto the point
};

// The overlap table: collinear new segment n0-n1 against existing e0-e1.
bool overlap_event(MPoint n0, MPoint n1, MPoint e0, MPoint e1, bool e0_vertex, bool e1_vertex,
                   bool n_ends, SegEvent* out) {
    int S = isx_overlap_class(n0, e0, e1);
    int T = isx_overlap_class(n1, e0, e1);
    auto put = [&](int code, MPoint p, double tn, double te) {
        *out = SegEvent{code, p, tn, te, code >= 6, false};
        return true;
    };
    if ((S == 0 && T == 0) || (S == 4 && T == 4)) return false;
    if (S == 0 && T == 1)
        return put(n_ends ? (e0_vertex ? 4 : 3) : (e0_vertex ? 2 : 1), e0, 1.0, 0.0);
    if (S == 4 && T == 3)
        return put(n_ends ? (e1_vertex ? 4 : 3) : (e1_vertex ? 2 : 1), e1, 1.0, 1.0);
    if (S == 0) return put(e0_vertex ? 2 : 1, e0, foot_param(n0, n1, e0), 0.0);
    if (S == 4) return put(e1_vertex ? 2 : 1, e1, foot_param(n0, n1, e1), 1.0);
    // S is 1, 2 or 3.
    if (T == 2) {
        double te = foot_param(e0, e1, n1);
        return put(n_ends ? 8 : 6, at(e0, e1, te), 1.0, te);
    }
    if (T == 1) return put(n_ends ? (e0_vertex ? 9 : 8) : (e0_vertex ? 7 : 6), e0, 1.0, 0.0);
    if (T == 3) return put(n_ends ? (e1_vertex ? 9 : 8) : (e1_vertex ? 7 : 6), e1, 1.0, 1.0);
    if (S == 1 && T == 4) return put(e1_vertex ? 7 : 6, e1, foot_param(n0, n1, e1), 1.0);
    if (S == 3 && T == 0) return put(e0_vertex ? 7 : 6, e0, foot_param(n0, n1, e0), 0.0);
    return false; // (1,0), (3,4), (2,0), (2,4)
}

// Event of new segment n0-n1 with existing segment e0-e1.
bool segment_event(MPoint n0, MPoint n1, MPoint e0, MPoint e1, bool e0_vertex, bool e1_vertex,
                   bool n_ends, SegEvent* out) {
    double tol = g_mdl.tol_mean;
    double dn0 = line_dist(e0, e1, n0), dn1 = line_dist(e0, e1, n1);
    double de0 = line_dist(n0, n1, e0), de1 = line_dist(n0, n1, e1);
    bool n_near = std::fabs(dn0) <= tol && std::fabs(dn1) <= tol;
    bool e_near = std::fabs(de0) <= tol && std::fabs(de1) <= tol;
    if (n_near || e_near) return overlap_event(n0, n1, e0, e1, e0_vertex, e1_vertex, n_ends, out);
    if ((dn0 > tol && dn1 > tol) || (dn0 < -tol && dn1 < -tol)) return false;
    if ((de0 > tol && de1 > tol) || (de0 < -tol && de1 < -tol)) return false;
    // The end of the new segment meets the existing segment.
    if (coincide(n1, e0)) {
        *out = SegEvent{0, e0, 1.0, 0.0, false, true};
        return true;
    }
    if (coincide(n1, e1)) {
        *out = SegEvent{0, e1, 1.0, 1.0, false, true};
        return true;
    }
    // Leaving from an end of the existing segment: nothing more at that point.
    bool start_shared = coincide(n0, e0) || coincide(n0, e1);
    if (!start_shared) {
        if (std::fabs(dn1) <= tol) {
            double te = foot_param(e0, e1, n1);
            if (te > 0.0 && te < 1.0) {
                *out = SegEvent{0, at(e0, e1, te), 1.0, te, false, true};
                return true;
            }
        }
        // An end of the existing segment lies on the new segment.
        for (int k = 0; k < 2; ++k) {
            MPoint e = k == 0 ? e0 : e1;
            double de = k == 0 ? de0 : de1;
            if (std::fabs(de) <= tol) {
                double tn = foot_param(n0, n1, e);
                if (tn <= 0.0 || tn >= 1.0 || coincide(n0, e)) continue;
                *out = SegEvent{0, e, tn, k == 0 ? 0.0 : 1.0, false, false};
                return true;
            }
        }
    }
    // Segments that leave from the same point meet nowhere else.
    if (same_point(n0, e0) || same_point(n0, e1)) return false;
    // Otherwise a proper crossing, found without tolerance so that no crossing
    // is ever missed (the new segment may start within the tolerance of the
    // existing one).
    double rx = n1.x - n0.x, ry = n1.y - n0.y, sx = e1.x - e0.x, sy = e1.y - e0.y;
    double den = rx * sy - ry * sx;
    if (den == 0.0) return false;
    double tn = ((e0.x - n0.x) * sy - (e0.y - n0.y) * sx) / den;
    double te = ((e0.x - n0.x) * ry - (e0.y - n0.y) * rx) / den;
    if (tn <= 0.0 || tn >= 1.0 || te <= 0.0 || te >= 1.0) return false;
    *out = SegEvent{0, at(e0, e1, te), tn, te, false, false};
    return true;
}

} // namespace

int isx_overlap_class(MPoint p, MPoint e0, MPoint e1) {
    if (coincide(p, e0)) return 1;
    if (coincide(p, e1)) return 3;
    double t = foot_param(e0, e1, p);
    if (t <= 0.0) return 0;
    if (t > 1.0) return 4;
    return 2;
}

bool isx_curve_edge(const std::vector<MPoint>& pts, Edge* e, IntersectEvent* ev) {
    std::vector<MPoint> ep;
    mdl_edge_points(e, &ep);
    size_t nn = pts.size() - 1, ne = ep.size() - 1;
    for (size_t i = 0; i < nn; ++i) {
        bool found = false;
        SegEvent best{};
        size_t best_j = 0;
        best.tn = 2.0;
        for (size_t j = 0; j < ne; ++j) {
            SegEvent se;
            if (!segment_event(pts[i], pts[i + 1], ep[j], ep[j + 1], j == 0, j + 1 == ne,
                               i + 1 == nn, &se))
                continue;
            if (se.tn < best.tn || (se.tn == best.tn && se.overlap && !best.overlap)) {
                best = se;
                best_j = j;
                found = true;
            }
        }
        if (!found) continue;
        bool at_vertex = (best_j == 0 && best.te == 0.0) || (best_j + 1 == ne && best.te == 1.0);
        if (!best.overlap && best.code == 0) {
            bool ends = (i + 1 == nn) && best.tn == 1.0;
            best.code = ends ? (at_vertex ? 4 : 3) : (at_vertex ? 2 : 1);
        }
        ev->code = best.code;
        ev->point = best.point;
        ev->edge = e;
        ev->vertex = nullptr;
        if (at_vertex) ev->vertex = best.te == 0.0 ? e->he1->vtx : e->he2->vtx;
        ev->segment = static_cast<int>(i);
        ev->param = best.tn;
        ev->snap_index = best.snap_end ? static_cast<int>(i + 1) : -1;
        return true;
    }
    return false;
}

bool isx_curve_vertex(const std::vector<MPoint>& pts, Vertex* v, IntersectEvent* ev) {
    MPoint p{v->x, v->y};
    size_t nn = pts.size() - 1;
    for (size_t i = 0; i < nn; ++i) {
        double tn;
        int snap = -1;
        if (coincide(pts[i + 1], p)) {
            tn = 1.0;
            snap = static_cast<int>(i + 1);
        } else {
            if (std::fabs(line_dist(pts[i], pts[i + 1], p)) > g_mdl.tol_mean) continue;
            tn = foot_param(pts[i], pts[i + 1], p);
            if (tn <= 0.0 || tn >= 1.0 || coincide(pts[i], p)) continue;
        }
        bool ends = (i + 1 == nn) && tn == 1.0;
        *ev = IntersectEvent{
            ends ? EV_END_AT_VERTEX : EV_THROUGH, p, nullptr, v, static_cast<int>(i), tn, snap};
        return true;
    }
    return false;
}

bool isx_self(const std::vector<MPoint>& pts) {
    size_t n = pts.size();
    if (n < 2) return true;
    for (size_t i = 0; i + 1 < n; ++i)
        if (coincide(pts[i], pts[i + 1])) return true; // degenerate segment
    bool closed = n > 2 && coincide(pts[0], pts[n - 1]);
    double tol = g_mdl.tol_mean;
    for (size_t i = 0; i + 1 < n; ++i) {
        for (size_t j = i + 1; j + 1 < n; ++j) {
            MPoint a0 = pts[i], a1 = pts[i + 1], b0 = pts[j], b1 = pts[j + 1];
            if (j == i + 1) {
                // Adjacent segments meet at their common point; they may not fold back.
                double d = std::fabs(line_dist(a0, a1, b1));
                double dot = (a1.x - a0.x) * (b1.x - b0.x) + (a1.y - a0.y) * (b1.y - b0.y);
                if (d <= tol && dot < 0.0) return true;
                continue;
            }
            bool wrap = closed && i == 0 && j + 2 == n;
            // Distance between the segments, ignoring the closing point.
            auto near = [&](MPoint p, MPoint s0, MPoint s1) {
                double t = std::fmax(0.0, std::fmin(1.0, foot_param(s0, s1, p)));
                MPoint f = at(s0, s1, t);
                return std::hypot(p.x - f.x, p.y - f.y) <= tol;
            };
            if (!wrap &&
                (near(a0, b0, b1) || near(a1, b0, b1) || near(b0, a0, a1) || near(b1, a0, a1)))
                return true;
            double d1 = line_dist(a0, a1, b0), d2 = line_dist(a0, a1, b1);
            double d3 = line_dist(b0, b1, a0), d4 = line_dist(b0, b1, a1);
            if (((d1 > tol && d2 < -tol) || (d1 < -tol && d2 > tol)) &&
                ((d3 > tol && d4 < -tol) || (d3 < -tol && d4 > tol)))
                return true;
            if (wrap && (near(a1, b0, b1) || near(b0, a0, a1))) return true;
        }
    }
    return false;
}
