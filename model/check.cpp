// The planar-subdivision invariant checker: topology (closed, consistent
// loops; mates; vertex links), the Euler relation with rings, geometry (no
// crossing, overlap or vertex inside an edge) and the nesting of rings.
#include "model/internal.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace {

struct Seg {
    MPoint a, b;
    const Edge* e;
    bool a_vertex, b_vertex;
};

constexpr double EPS = 1e-9;

double cross(MPoint o, MPoint a, MPoint b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

double point_seg_dist(MPoint p, MPoint a, MPoint b) {
    double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    double t = l2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0.0;
    t = std::fmax(0.0, std::fmin(1.0, t));
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool same(MPoint p, MPoint q) {
    return p.x == q.x && p.y == q.y;
}

// Whether two segments of different edges meet anywhere but at a vertex that
// both edges end at.
std::string seg_fault(const Seg& s, const Seg& t) {
    bool shared = false;
    MPoint sp{};
    if ((same(s.a, t.a) && s.a_vertex && t.a_vertex) ||
        (same(s.a, t.b) && s.a_vertex && t.b_vertex)) {
        shared = true;
        sp = s.a;
    } else if ((same(s.b, t.a) && s.b_vertex && t.a_vertex) ||
               (same(s.b, t.b) && s.b_vertex && t.b_vertex)) {
        shared = true;
        sp = s.b;
    }
    char buf[160];
    std::snprintf(buf, sizeof buf, "edges %d and %d ", s.e->id, t.e->id);
    if (shared) {
        MPoint so = same(s.a, sp) ? s.b : s.a;
        MPoint to = same(t.a, sp) ? t.b : t.a;
        double ls = std::hypot(so.x - sp.x, so.y - sp.y), lt = std::hypot(to.x - sp.x, to.y - sp.y);
        if (ls <= 0 || lt <= 0) return std::string(buf) + "degenerate";
        double c = cross(sp, so, to) / (ls * lt);
        double d = ((so.x - sp.x) * (to.x - sp.x) + (so.y - sp.y) * (to.y - sp.y)) / (ls * lt);
        if (std::fabs(c) < 1e-9 && d > 0) return std::string(buf) + "overlap";
        // The far ends may still touch the other segment.
        if (point_seg_dist(so, t.a, t.b) < EPS || point_seg_dist(to, s.a, s.b) < EPS)
            return std::string(buf) + "touch";
        return "";
    }
    double d1 = cross(s.a, s.b, t.a), d2 = cross(s.a, s.b, t.b);
    double d3 = cross(t.a, t.b, s.a), d4 = cross(t.a, t.b, s.b);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0)))
        return std::string(buf) + "cross";
    double m = std::fmin(std::fmin(point_seg_dist(s.a, t.a, t.b), point_seg_dist(s.b, t.a, t.b)),
                         std::fmin(point_seg_dist(t.a, s.a, s.b), point_seg_dist(t.b, s.a, s.b)));
    if (m < EPS) return std::string(buf) + "touch";
    return "";
}

int find(std::vector<int>& p, int i) {
    while (p[i] != i) i = p[i] = p[p[i]];
    return i;
}

} // namespace

std::string mdl_check(const Solid* s) {
    if (s == nullptr) return "no solid";
    char buf[200];
    std::set<const HalfEdge*> seen;
    int nf = 0, nrings = 0;
    for (const Face* f = s->faces; f; f = f->next) {
        ++nf;
        if (f->solid != s) return "face with a wrong solid";
        if (mdl_face_by_id(s, f->id) != f) return "face index";
        bool outer_found = f->outer == nullptr;
        for (const Loop* l = f->loops; l; l = l->next) {
            if (l->face != f) return "loop with a wrong face";
            if (l == f->outer)
                outer_found = true;
            else
                ++nrings;
            const HalfEdge* h = l->first;
            size_t n = 0;
            do {
                if (h->loop != l) return "half-edge with a wrong loop";
                if (h->next->prev != h || h->prev->next != h) return "broken loop links";
                if (!seen.insert(h).second) return "half-edge in two loops";
                if (h->edge == nullptr) {
                    if (h->next != h) return "lone half-edge with neighbours";
                } else if (h->next->vtx != mate(h)->vtx) {
                    std::snprintf(buf, sizeof buf, "loop of edge %d not closed", h->edge->id);
                    return buf;
                }
                h = h->next;
                if (++n > 10000000) return "loop does not close";
            } while (h != l->first);
        }
        if (!outer_found) return "outer loop not among the loops";
        if (f->outer != nullptr && loop_area(f->outer) <= 0.0) {
            std::snprintf(buf, sizeof buf, "outer loop of face %d has no positive area", f->id);
            return buf;
        }
    }
    int ne = 0;
    for (const Edge* e = s->edges; e; e = e->next) {
        ++ne;
        if (mdl_edge_by_id(s, e->id) != e) return "edge index";
        if (e->he1->edge != e || e->he2->edge != e || mate(e->he1) != e->he2) return "mates";
        if (!seen.count(e->he1) || !seen.count(e->he2)) return "edge half-edge outside every loop";
    }
    int nv = 0;
    std::map<const Vertex*, int> vnum;
    for (const Vertex* v = s->vertices; v; v = v->next) {
        vnum[v] = nv++;
        if (mdl_vertex_by_id(s, v->id) != v) return "vertex index";
        if (v->vedge == nullptr || v->vedge->vtx != v || !seen.count(v->vedge))
            return "vertex link";
    }
    if (nv == 0) return nf == 0 ? "" : "faces without vertices";
    if (nv - ne + nf != 1 + nrings) {
        std::snprintf(buf, sizeof buf, "Euler: V %d E %d F %d rings %d", nv, ne, nf, nrings);
        return buf;
    }
    // Geometry.
    std::vector<Seg> segs;
    std::vector<MPoint> pts;
    for (const Edge* e = s->edges; e; e = e->next) {
        mdl_edge_points(e, &pts);
        for (size_t i = 0; i + 1 < pts.size(); ++i)
            segs.push_back(Seg{pts[i], pts[i + 1], e, i == 0, i + 2 == pts.size()});
    }
    // Segments in the order of their least x: a segment meets only those that
    // begin before it ends (a sweep along x instead of every pair).
    auto minX = [](const Seg& g) { return std::fmin(g.a.x, g.b.x); };
    auto maxX = [](const Seg& g) { return std::fmax(g.a.x, g.b.x); };
    std::sort(segs.begin(), segs.end(),
              [&](const Seg& p, const Seg& q) { return minX(p) < minX(q); });
    for (size_t i = 0; i < segs.size(); ++i) {
        for (size_t j = i + 1; j < segs.size() && minX(segs[j]) <= maxX(segs[i]) + 1e-6; ++j) {
            if (segs[i].e == segs[j].e) continue;
            const Seg& a = segs[i];
            const Seg& b = segs[j];
            if (std::fmax(a.a.y, a.b.y) < std::fmin(b.a.y, b.b.y) - 1e-6 ||
                std::fmax(b.a.y, b.b.y) < std::fmin(a.a.y, a.b.y) - 1e-6)
                continue;
            std::string f = seg_fault(a, b);
            if (!f.empty()) return f;
        }
    }
    // Each vertex against the segments whose x range holds it: those that
    // begin at most at its x (the sorted prefix) and end at or after it.
    double longest = 0;
    for (const Seg& g : segs) longest = std::fmax(longest, maxX(g) - minX(g));
    for (const Vertex* v = s->vertices; v; v = v->next) {
        auto end = std::upper_bound(segs.begin(), segs.end(), v->x + 1e-6,
                                    [&](double x, const Seg& g) { return x < minX(g); });
        for (auto it = end; it != segs.begin();) {
            const Seg& sg = *--it;
            if (minX(sg) < v->x - longest - 1e-6) break;
            if (maxX(sg) < v->x - 1e-6) continue;
            if (sg.e->he1->vtx == v || sg.e->he2->vtx == v) continue;
            if (point_seg_dist(MPoint{v->x, v->y}, sg.a, sg.b) < EPS) {
                std::snprintf(buf, sizeof buf, "vertex %d inside edge %d", v->id, sg.e->id);
                return buf;
            }
        }
    }
    // Rings: a ring lies in the face that contains it.
    std::vector<int> comp(static_cast<size_t>(nv));
    std::iota(comp.begin(), comp.end(), 0);
    for (const Edge* e = s->edges; e; e = e->next)
        comp[find(comp, vnum[e->he1->vtx])] = find(comp, vnum[e->he2->vtx]);
    for (const Face* f = s->faces; f; f = f->next) {
        for (const Loop* l = f->loops; l; l = l->next) {
            if (l == f->outer) continue;
            if (l->first->edge != nullptr && loop_area(l) > 1e-9) {
                std::snprintf(buf, sizeof buf, "ring of face %d has positive area", f->id);
                return buf;
            }
            const Vertex* rv = l->first->vtx;
            MPoint p{rv->x, rv->y};
            int rc = find(comp, vnum[rv]);
            if (f->outer != nullptr && !point_in_loop(f->outer, p)) {
                std::snprintf(buf, sizeof buf, "ring at vertex %d outside face %d", rv->id, f->id);
                return buf;
            }
            for (const Face* g = s->faces; g; g = g->next) {
                if (g == f || g->outer == nullptr) continue;
                if (find(comp, vnum[g->outer->first->vtx]) == rc) continue;
                if (!point_in_loop(g->outer, p)) continue;
                const Vertex* gv = g->outer->first->vtx;
                if (f->outer == nullptr || point_in_loop(f->outer, MPoint{gv->x, gv->y})) {
                    std::snprintf(buf, sizeof buf, "ring at vertex %d of face %d lies in face %d",
                                  rv->id, f->id, g->id);
                    return buf;
                }
            }
        }
    }
    return "";
}
