// The planar-subdivision invariant checker: topology (closed, consistent
// loops; mates; vertex links), the Euler relation with rings, geometry (no
// crossing, overlap or vertex inside an edge) and the nesting of rings.
#include "model/internal.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

struct Seg {
    MPoint a, b;
    const Edge* e;
    bool a_vertex, b_vertex;
    // Copied from the edge: the pair and vertex loops read them without
    // going back to the edge (the entities lie all over memory).
    int id;
    const Vertex *v1, *v2;
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
// both edges end at; the kind of meeting and a point of it.
MdlGeometryFault seg_fault(const Seg& s, const Seg& t) {
    MdlGeometryFault f;
    f.a = s.id;
    f.b = t.id;
    auto fault = [&](MdlGeometryFault::Kind k, MPoint at) {
        f.kind = k;
        f.at = at;
        return f;
    };
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
    if (shared) {
        MPoint so = same(s.a, sp) ? s.b : s.a;
        MPoint to = same(t.a, sp) ? t.b : t.a;
        double ls = std::hypot(so.x - sp.x, so.y - sp.y), lt = std::hypot(to.x - sp.x, to.y - sp.y);
        if (ls <= 0 || lt <= 0) return fault(MdlGeometryFault::kDegenerate, sp);
        double c = cross(sp, so, to) / (ls * lt);
        double d = ((so.x - sp.x) * (to.x - sp.x) + (so.y - sp.y) * (to.y - sp.y)) / (ls * lt);
        // Overlapping from the shared vertex to the nearer far end.
        if (std::fabs(c) < 1e-9 && d > 0)
            return fault(MdlGeometryFault::kOverlap, ls < lt ? so : to);
        // The far ends may still touch the other segment.
        if (point_seg_dist(so, t.a, t.b) < EPS) return fault(MdlGeometryFault::kTouch, so);
        if (point_seg_dist(to, s.a, s.b) < EPS) return fault(MdlGeometryFault::kTouch, to);
        return f;
    }
    double d1 = cross(s.a, s.b, t.a), d2 = cross(s.a, s.b, t.b);
    double d3 = cross(t.a, t.b, s.a), d4 = cross(t.a, t.b, s.b);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) {
        const double u = d1 / (d1 - d2); // along t
        return fault(MdlGeometryFault::kCross,
                     MPoint{t.a.x + u * (t.b.x - t.a.x), t.a.y + u * (t.b.y - t.a.y)});
    }
    const MPoint ends[4] = {s.a, s.b, t.a, t.b};
    const double dist[4] = {point_seg_dist(s.a, t.a, t.b), point_seg_dist(s.b, t.a, t.b),
                            point_seg_dist(t.a, s.a, s.b), point_seg_dist(t.b, s.a, s.b)};
    for (int k = 0; k < 4; ++k)
        if (dist[k] < EPS) return fault(MdlGeometryFault::kTouch, ends[k]);
    return f;
}

std::string fault_text(const MdlGeometryFault& f) {
    static const char* const kWords[] = {"", "cross", "overlap", "touch", "degenerate", ""};
    char buf[160];
    if (f.kind == MdlGeometryFault::kVertexInEdge)
        std::snprintf(buf, sizeof buf, "vertex %d inside edge %d", f.a, f.b);
    else
        std::snprintf(buf, sizeof buf, "edges %d and %d %s", f.a, f.b, kWords[f.kind]);
    return buf;
}

// The segments in a uniform grid of square cells: a segment is listed in
// every cell its box (widened by the tolerance of the sweep) covers, so two
// segments can meet, and a vertex can lie on a segment, only within a cell
// they share. A frame's members are about as long as the cells, so each
// cell holds a few segments and the checks cost about the count of segments,
// whatever the frame's shape.
struct Grid {
    static constexpr double kSlack = 1e-6;
    double x0 = 0, y0 = 0, size = 1;
    // (cell key, segment index), sorted: the segments of a cell are adjacent.
    std::vector<std::pair<uint64_t, int>> entries;

    long cell(double v, double origin) const {
        return static_cast<long>(std::floor((v - origin) / size));
    }
    static uint64_t key(long i, long j) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(i)) << 32) | static_cast<uint32_t>(j);
    }
    // The cells of a box, as index ranges.
    void range(const MBox& b, long& i0, long& i1, long& j0, long& j1) const {
        i0 = cell(b.xmin - kSlack, x0);
        i1 = cell(b.xmax + kSlack, x0);
        j0 = cell(b.ymin - kSlack, y0);
        j1 = cell(b.ymax + kSlack, y0);
    }
    Grid(const std::vector<MBox>& boxes) {
        if (boxes.empty()) return;
        x0 = boxes[0].xmin, y0 = boxes[0].ymin;
        double total = 0;
        for (const MBox& b : boxes) {
            x0 = std::fmin(x0, b.xmin);
            y0 = std::fmin(y0, b.ymin);
            total += std::fmax(b.xmax - b.xmin, b.ymax - b.ymin);
        }
        size = std::fmax(total / static_cast<double>(boxes.size()), 1e-3);
        // Long diagonal segments cover many cells: coarser cells until the
        // listing costs a few entries per segment.
        const double limit = 8.0 * static_cast<double>(boxes.size()) + 1e5;
        double count = 0;
        for (;;) {
            count = 0;
            for (const MBox& b : boxes) {
                long i0, i1, j0, j1;
                range(b, i0, i1, j0, j1);
                count += double(i1 - i0 + 1) * double(j1 - j0 + 1);
            }
            if (count <= limit) break;
            size *= 2;
        }
        entries.reserve(static_cast<size_t>(count));
        for (size_t k = 0; k < boxes.size(); ++k) {
            long i0, i1, j0, j1;
            range(boxes[k], i0, i1, j0, j1);
            for (long i = i0; i <= i1; ++i)
                for (long j = j0; j <= j1; ++j)
                    entries.emplace_back(key(i, j), static_cast<int>(k));
        }
        std::sort(entries.begin(), entries.end());
    }
    // The entries of the cell of a point: [first, last).
    std::pair<size_t, size_t> at(MPoint p) const {
        const uint64_t k = key(cell(p.x, x0), cell(p.y, y0));
        const auto lo =
            std::lower_bound(entries.begin(), entries.end(), std::make_pair(k, INT_MIN));
        auto hi = lo;
        while (hi != entries.end() && hi->first == k) ++hi;
        return {size_t(lo - entries.begin()), size_t(hi - entries.begin())};
    }
};

int find(std::vector<int>& p, int i) {
    while (p[i] != i) i = p[i] = p[p[i]];
    return i;
}

} // namespace

std::string mdl_check(const Solid* s) {
    return mdl_check(s, nullptr);
}

std::string mdl_check(const Solid* s, MdlGeometryFault* fault) {
    if (fault) *fault = MdlGeometryFault{};
    if (s == nullptr) return "no solid";
    char buf[200];
    std::unordered_set<const HalfEdge*> seen;
    std::size_t edges = 0;
    for (const Edge* e = s->edges; e; e = e->next) ++edges;
    seen.reserve(2 * edges + 16);
    std::vector<MPoint> outer; // the points of the outer loop being walked
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
            if (l == f->outer) outer.clear();
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
                if (l == f->outer) append_half_edge_points(h, &outer);
                h = h->next;
                if (++n > 10000000) return "loop does not close";
            } while (h != l->first);
        }
        if (!outer_found) return "outer loop not among the loops";
        if (f->outer != nullptr && polygon_area(outer) <= 0.0) {
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
    std::unordered_map<const Vertex*, int> vnum;
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
    std::vector<MBox> boxes;
    std::vector<MPoint> pts;
    for (const Edge* e = s->edges; e; e = e->next) {
        mdl_edge_points(e, &pts);
        for (size_t i = 0; i + 1 < pts.size(); ++i) {
            segs.push_back(Seg{pts[i], pts[i + 1], e, i == 0, i + 2 == pts.size(), e->id,
                               e->he1->vtx, e->he2->vtx});
            boxes.push_back(
                MBox{std::fmin(pts[i].x, pts[i + 1].x), std::fmax(pts[i].x, pts[i + 1].x),
                     std::fmin(pts[i].y, pts[i + 1].y), std::fmax(pts[i].y, pts[i + 1].y)});
        }
    }
    const Grid grid(boxes);
    auto overlapping = [&](const MBox& a, const MBox& b) {
        return a.xmin <= b.xmax + Grid::kSlack && b.xmin <= a.xmax + Grid::kSlack &&
               a.ymin <= b.ymax + Grid::kSlack && b.ymin <= a.ymax + Grid::kSlack;
    };
    // Each pair of segments once: in the cell that holds the lower left
    // corner of the common part of their boxes.
    MdlGeometryFault first;
    auto earlier = [](const MdlGeometryFault& f, const MdlGeometryFault& g) {
        return g.kind == MdlGeometryFault::kNone || (f.a != g.a   ? f.a < g.a
                                                     : f.b != g.b ? f.b < g.b
                                                                  : f.kind < g.kind);
    };
    const auto& cells = grid.entries;
    for (size_t begin = 0, end = 0; begin < cells.size(); begin = end) {
        const uint64_t key = cells[begin].first;
        while (end < cells.size() && cells[end].first == key) ++end;
        for (size_t p = begin; p < end; ++p) {
            for (size_t q = p + 1; q < end; ++q) {
                const Seg& a = segs[cells[p].second];
                const Seg& b = segs[cells[q].second];
                const MBox& ba = boxes[cells[p].second];
                const MBox& bb = boxes[cells[q].second];
                if (a.e == b.e || !overlapping(ba, bb)) continue;
                const long ci = grid.cell(std::fmax(ba.xmin, bb.xmin) - Grid::kSlack, grid.x0);
                const long cj = grid.cell(std::fmax(ba.ymin, bb.ymin) - Grid::kSlack, grid.y0);
                if (Grid::key(ci, cj) != key) continue;
                MdlGeometryFault f = a.id < b.id ? seg_fault(a, b) : seg_fault(b, a);
                // The same fault whatever the order of the cells.
                if (f.kind != MdlGeometryFault::kNone && earlier(f, first)) first = f;
            }
        }
    }
    // Each vertex against the segments of its cell.
    if (first.kind == MdlGeometryFault::kNone && !segs.empty()) {
        for (const Vertex* v = s->vertices; v; v = v->next) {
            const auto [lo, hi] = grid.at(MPoint{v->x, v->y});
            for (size_t k = lo; k < hi; ++k) {
                const Seg& sg = segs[cells[k].second];
                if (sg.v1 == v || sg.v2 == v) continue;
                if (point_seg_dist(MPoint{v->x, v->y}, sg.a, sg.b) < EPS) {
                    MdlGeometryFault f;
                    f.kind = MdlGeometryFault::kVertexInEdge;
                    f.a = v->id;
                    f.b = sg.id;
                    f.at = MPoint{v->x, v->y};
                    if (earlier(f, first)) first = f;
                }
            }
        }
    }
    if (first.kind != MdlGeometryFault::kNone) {
        if (fault) *fault = first;
        return fault_text(first);
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
