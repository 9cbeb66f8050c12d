// The planar-subdivision invariant checker: topology (closed, consistent
// loops; mates; vertex links), the Euler relation with rings, geometry (no
// crossing, overlap or vertex inside an edge) and the nesting of rings.
#include "model/internal.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <string>
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

// Whether the distance from p to segment a-b is below EPS. The distance is
// the hypotenuse of the offsets, never below the larger of them, so offsets
// of EPS or more settle it without computing it.
bool near_seg(MPoint p, MPoint a, MPoint b) {
    double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    double t = l2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0.0;
    t = std::fmax(0.0, std::fmin(1.0, t));
    const double ex = p.x - (a.x + t * dx), ey = p.y - (a.y + t * dy);
    if (!(std::fabs(ex) < EPS && std::fabs(ey) < EPS)) return false;
    return std::hypot(ex, ey) < EPS;
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
        const double sx = so.x - sp.x, sy = so.y - sp.y, tx = to.x - sp.x, ty = to.y - sp.y;
        // A length (a hypotenuse) is 0 exactly when both its offsets are.
        if ((sx == 0 && sy == 0) || (tx == 0 && ty == 0))
            return fault(MdlGeometryFault::kDegenerate, sp);
        // Overlapping from the shared vertex to the nearer far end: the
        // cosine d is positive only with a positive dot product (the lengths
        // are), so only then are the lengths worth computing.
        const double dot = sx * tx + sy * ty;
        if (dot > 0) {
            const double ls = std::hypot(sx, sy), lt = std::hypot(tx, ty);
            const double c = cross(sp, so, to) / (ls * lt);
            const double d = dot / (ls * lt);
            if (std::fabs(c) < 1e-9 && d > 0)
                return fault(MdlGeometryFault::kOverlap, ls < lt ? so : to);
        }
        // The far ends may still touch the other segment.
        if (near_seg(so, t.a, t.b)) return fault(MdlGeometryFault::kTouch, so);
        if (near_seg(to, s.a, s.b)) return fault(MdlGeometryFault::kTouch, to);
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
    const bool near[4] = {near_seg(s.a, t.a, t.b), near_seg(s.b, t.a, t.b), near_seg(t.a, s.a, s.b),
                          near_seg(t.b, s.a, s.b)};
    for (int k = 0; k < 4; ++k)
        if (near[k]) return fault(MdlGeometryFault::kTouch, ends[k]);
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
        const double q = (v - origin) / size;
        if (!(std::fabs(q) < 9e18)) return static_cast<long>(std::floor(q));
        const long i = static_cast<long>(q); // floor without a call
        return q < static_cast<double>(i) ? i - 1 : i;
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
        long imin = LONG_MAX, imax = LONG_MIN, jmin = LONG_MAX, jmax = LONG_MIN;
        for (size_t k = 0; k < boxes.size(); ++k) {
            long i0, i1, j0, j1;
            range(boxes[k], i0, i1, j0, j1);
            imin = std::min(imin, i0), imax = std::max(imax, i1);
            jmin = std::min(jmin, j0), jmax = std::max(jmax, j1);
            for (long i = i0; i <= i1; ++i)
                for (long j = j0; j <= j1; ++j)
                    entries.emplace_back(key(i, j), static_cast<int>(k));
        }
        sortEntries(imin, imax, jmin, jmax);
    }
    // Sorts the entries by key and, within a key, by segment (the order they
    // were made in), as std::sort of the pairs does: by counting when the
    // cells the boxes span are not many more than the entries.
    void sortEntries(long imin, long imax, long jmin, long jmax) {
        const double cells = (double(imax) - double(imin) + 1) * (double(jmax) - double(jmin) + 1);
        const bool fit = imin >= INT32_MIN && imax <= INT32_MAX && jmin >= INT32_MIN &&
                         jmax <= INT32_MAX; // else keys cut the indexes, as in key()
        if (entries.empty() || !fit || cells > 4.0 * double(entries.size()) + 1024) {
            std::sort(entries.begin(), entries.end());
            return;
        }
        // A key orders its halves as unsigned numbers: negative indexes come
        // after the others.
        auto rank = [](long v, long lo, long hi) {
            return lo < 0 && hi >= 0 && v < 0 ? (hi + 1) + (v - lo)
                                              : (lo < 0 && hi >= 0 ? v : v - lo);
        };
        const long nj = jmax - jmin + 1;
        auto index = [&](uint64_t k) {
            const long i = static_cast<int32_t>(static_cast<uint32_t>(k >> 32));
            const long j = static_cast<int32_t>(static_cast<uint32_t>(k));
            return static_cast<size_t>(rank(i, imin, imax) * nj + rank(j, jmin, jmax));
        };
        std::vector<size_t> start(static_cast<size_t>(cells) + 1, 0);
        for (const auto& e : entries) ++start[index(e.first) + 1];
        for (size_t c = 1; c < start.size(); ++c) start[c] += start[c - 1];
        std::vector<std::pair<uint64_t, int>> sorted(entries.size());
        for (const auto& e : entries) sorted[start[index(e.first)]++] = e;
        entries.swap(sorted);
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

// Entities to small integers by address, in open addressing: the check
// visits every half-edge and vertex, and a node allocated per entry (as the
// standard hash containers do) would cost more than the check itself.
class PtrTable {
public:
    explicit PtrTable(std::size_t n) { rehash(n); }
    // Adds p with the value v; false when p is there already.
    bool insert(const void* p, int v = 0) {
        std::size_t i = slot(p);
        if (keys_[i] != nullptr) return false;
        keys_[i] = p;
        values_[i] = v;
        if (2 * ++count_ > keys_.size()) rehash(count_);
        return true;
    }
    bool contains(const void* p) const { return keys_[slot(p)] != nullptr; }
    // The value of p, 0 when it is not there.
    int value(const void* p) const { return values_[slot(p)]; }

private:
    std::size_t slot(const void* p) const {
        uint64_t x = reinterpret_cast<uintptr_t>(p);
        x ^= x >> 33;
        x *= 0xff51afd7ed558ccdULL;
        x ^= x >> 33;
        std::size_t i = static_cast<std::size_t>(x) & mask_;
        while (keys_[i] != nullptr && keys_[i] != p) i = (i + 1) & mask_;
        return i;
    }
    void rehash(std::size_t n) {
        std::size_t cap = 16;
        while (cap < 2 * n + 2) cap <<= 1;
        std::vector<const void*> keys(cap, nullptr);
        std::vector<int> values(cap, 0);
        keys.swap(keys_);
        values.swap(values_);
        mask_ = cap - 1;
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (keys[i] != nullptr) {
                const std::size_t j = slot(keys[i]);
                keys_[j] = keys[i];
                values_[j] = values[i];
            }
    }
    std::vector<const void*> keys_;
    std::vector<int> values_;
    std::size_t mask_ = 0, count_ = 0;
};

int find(std::vector<int>& p, int i) {
    while (p[i] != i) i = p[i] = p[p[i]];
    return i;
}

} // namespace

// The geometric part of the check (segments that meet away from their
// shared vertices, vertices inside edges, rings outside their face) over a
// topology known to be sound; vnum numbers the nv vertices.
// The faces come in list order, each with the first vertex of its outer
// loop (none for the unbounded face).
static std::string geometry_faults(const std::vector<const Face*>& faces,
                                   const std::vector<const Vertex*>& outerFirst,
                                   const std::vector<const Vertex*>& verts,
                                   const std::vector<const Edge*>& edges, const PtrTable& vnum,
                                   MdlGeometryFault* fault) {
    const int nv = static_cast<int>(verts.size());
    char buf[200];
    // Geometry.
    std::vector<Seg> segs;
    std::vector<MBox> boxes;
    std::vector<MPoint> pts;
    segs.reserve(edges.size());
    boxes.reserve(edges.size());
    // The boxes are only compared, so the plain minimum and maximum serve
    // (the coordinates are finite).
    auto add = [&](MPoint a, MPoint b, const Edge* e, bool first, bool last) {
        segs.push_back(Seg{a, b, e, first, last, e->id, e->he1->vtx, e->he2->vtx});
        boxes.push_back(
            MBox{std::min(a.x, b.x), std::max(a.x, b.x), std::min(a.y, b.y), std::max(a.y, b.y)});
    };
    // The entities lie all over memory: the loads of the edges a few places
    // ahead are started early, so that their latencies overlap.
    constexpr std::size_t kAhead = 8;
    for (std::size_t k = 0; k < edges.size(); ++k) {
        if (k + 2 * kAhead < edges.size()) __builtin_prefetch(edges[k + 2 * kAhead]);
        if (k + kAhead < edges.size()) {
            __builtin_prefetch(edges[k + kAhead]->he1);
            __builtin_prefetch(edges[k + kAhead]->he2);
        }
        if (k + kAhead / 2 < edges.size()) {
            __builtin_prefetch(edges[k + kAhead / 2]->he1->vtx);
            __builtin_prefetch(edges[k + kAhead / 2]->he2->vtx);
        }
        const Edge* e = edges[k];
        if (e->geometry == nullptr) { // mdl_edge_points() gives its two ends
            const Vertex *v1 = e->he1->vtx, *v2 = e->he2->vtx;
            add(MPoint{v1->x, v1->y}, MPoint{v2->x, v2->y}, e, true, true);
            continue;
        }
        mdl_edge_points(e, &pts);
        for (size_t i = 0; i + 1 < pts.size(); ++i)
            add(pts[i], pts[i + 1], e, i == 0, i + 2 == pts.size());
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
        for (const Vertex* v : verts) {
            const auto [lo, hi] = grid.at(MPoint{v->x, v->y});
            for (size_t k = lo; k < hi; ++k) {
                const Seg& sg = segs[cells[k].second];
                if (sg.v1 == v || sg.v2 == v) continue;
                if (near_seg(MPoint{v->x, v->y}, sg.a, sg.b)) {
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
    // Edge by edge, in list order, from the copies in the segments.
    for (const Seg& sg : segs)
        if (sg.a_vertex) comp[find(comp, vnum.value(sg.v1))] = find(comp, vnum.value(sg.v2));
    for (const Face* f : faces) {
        for (const Loop* l = f->loops; l; l = l->next) {
            if (l == f->outer) continue;
            if (l->first->edge != nullptr && loop_area(l) > 1e-9) {
                std::snprintf(buf, sizeof buf, "ring of face %d has positive area", f->id);
                return buf;
            }
            const Vertex* rv = l->first->vtx;
            MPoint p{rv->x, rv->y};
            int rc = find(comp, vnum.value(rv));
            if (f->outer != nullptr && !point_in_loop(f->outer, p)) {
                std::snprintf(buf, sizeof buf, "ring at vertex %d outside face %d", rv->id, f->id);
                return buf;
            }
            for (std::size_t k = 0; k < faces.size(); ++k) {
                const Face* g = faces[k];
                const Vertex* gv = outerFirst[k];
                if (g == f || gv == nullptr) continue;
                if (find(comp, vnum.value(gv)) == rc) continue;
                if (!point_in_loop(g->outer, p)) continue;
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

std::string mdl_check(const Solid* s) {
    return mdl_check(s, nullptr);
}

std::string mdl_check(const Solid* s, MdlGeometryFault* fault) {
    if (fault) *fault = MdlGeometryFault{};
    if (s == nullptr) return "no solid";
    char buf[200];
    std::size_t edges = 0;
    for (const Edge* e = s->edges; e; e = e->next) ++edges;
    PtrTable seen(2 * edges + 16);
    std::vector<MPoint> outer; // the points of the outer loop being walked
    std::vector<const Face*> faces;
    std::vector<const Vertex*> outerFirst;
    int nf = 0, nrings = 0;
    for (const Face* f = s->faces; f; f = f->next) {
        ++nf;
        faces.push_back(f);
        outerFirst.push_back(f->outer ? f->outer->first->vtx : nullptr);
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
                if (!seen.insert(h)) return "half-edge in two loops";
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
    std::vector<const Edge*> edge_list;
    for (const Edge* e = s->edges; e; e = e->next) {
        ++ne;
        edge_list.push_back(e);
        if (mdl_edge_by_id(s, e->id) != e) return "edge index";
        if (e->he1->edge != e || e->he2->edge != e || mate(e->he1) != e->he2) return "mates";
        if (!seen.contains(e->he1) || !seen.contains(e->he2))
            return "edge half-edge outside every loop";
    }
    int nv = 0;
    PtrTable vnum(edges + 16);
    std::vector<const Vertex*> verts;
    for (const Vertex* v = s->vertices; v; v = v->next) {
        verts.push_back(v);
        vnum.insert(v, nv++);
        if (mdl_vertex_by_id(s, v->id) != v) return "vertex index";
        if (v->vedge == nullptr || v->vedge->vtx != v || !seen.contains(v->vedge))
            return "vertex link";
    }
    if (nv == 0) return nf == 0 ? "" : "faces without vertices";
    if (nv - ne + nf != 1 + nrings) {
        std::snprintf(buf, sizeof buf, "Euler: V %d E %d F %d rings %d", nv, ne, nf, nrings);
        return buf;
    }
    return geometry_faults(faces, outerFirst, verts, edge_list, vnum, fault);
}

std::string mdl_check_geometry(const Solid* s, MdlGeometryFault* fault) {
    if (fault) *fault = MdlGeometryFault{};
    if (s == nullptr) return "no solid";
    char buf[200];
    // The lists first, then their entities: the loads for one entity do not
    // wait for those of the one before.
    std::vector<const Face*> faces;
    std::vector<const Vertex*> outerFirst;
    for (const Face* f = s->faces; f; f = f->next) faces.push_back(f);
    for (const Face* f : faces) {
        outerFirst.push_back(f->outer ? f->outer->first->vtx : nullptr);
        if (f->outer == nullptr) continue;
        // polygon_area() of the loop's points, summed in the same order as
        // they come, without gathering them.
        const HalfEdge* h = f->outer->first;
        const MPoint p0{h->vtx->x, h->vtx->y};
        MPoint p = p0;
        double area = 0.0;
        auto add = [&](MPoint q) {
            area += (p.x - p0.x) * (q.y - p0.y) - (q.x - p0.x) * (p.y - p0.y);
            p = q;
        };
        for_each_loop_point(f->outer, add);
        add(p0);
        if (0.5 * area <= 0.0) {
            std::snprintf(buf, sizeof buf, "outer loop of face %d has no positive area", f->id);
            return buf;
        }
    }
    int nv = 0;
    std::vector<const Edge*> edges;
    for (const Edge* e = s->edges; e; e = e->next) edges.push_back(e);
    PtrTable vnum(edges.size() + 16);
    std::vector<const Vertex*> verts;
    for (const Vertex* v = s->vertices; v; v = v->next) verts.push_back(v);
    for (const Vertex* v : verts) vnum.insert(v, nv++);
    if (nv == 0) return "";
    return geometry_faults(faces, outerFirst, verts, edges, vnum, fault);
}
