// The CurveKindOps rows of the line (1) and polyline (2) kinds. A geometry
// holds only the interior points; the ends are the edge's vertices.
#include "model/internal.h"

#include <cmath>

EdgeCurve* mdl_curve_new(int32_t count) {
    if (count <= 0) return nullptr;
    EdgeCurve* g = mdl_alloc<EdgeCurve>();
    g->count = count;
    g->points = mdl_alloc_array<MPoint>(static_cast<size_t>(count));
    return g;
}

EdgeCurve* mdl_curve_copy(const EdgeCurve* g) {
    if (g == nullptr || g->count <= 0) return nullptr;
    EdgeCurve* c = mdl_curve_new(g->count);
    for (int i = 0; i < g->count; ++i) c->points[i] = g->points[i];
    return c;
}

void mdl_curve_free(EdgeCurve* g) {
    if (g == nullptr) return;
    delete[] g->points;
    delete g;
}

static EdgeCurve* curve_from(const std::vector<MPoint>& pts, size_t from, size_t to) {
    if (to <= from) return nullptr;
    EdgeCurve* g = mdl_curve_new(static_cast<int32_t>(to - from));
    for (size_t i = from; i < to; ++i) g->points[i - from] = pts[i];
    return g;
}

static void curve_points(MPoint p0, const EdgeCurve* g, MPoint p1, std::vector<MPoint>* out) {
    out->clear();
    out->push_back(p0);
    if (g != nullptr)
        for (int i = 0; i < g->count; ++i) out->push_back(g->points[i]);
    out->push_back(p1);
}

void mdl_edge_points(const Edge* e, std::vector<MPoint>* out) {
    const Vertex* a = e->he1->vtx;
    const Vertex* b = e->he2->vtx;
    curve_points(MPoint{a->x, a->y}, e->geometry, MPoint{b->x, b->y}, out);
}

// Parameter of the foot of p on segment a-b (unclamped) and its distance.
static double seg_param(MPoint a, MPoint b, MPoint p) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len2 = dx * dx + dy * dy;
    if (len2 <= 0.0) return 0.0;
    return ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2;
}

static double seg_distance(MPoint a, MPoint b, MPoint p, double* t_out) {
    double t = std::fmin(1.0, std::fmax(0.0, seg_param(a, b, p)));
    double fx = a.x + t * (b.x - a.x), fy = a.y + t * (b.y - a.y);
    if (t_out != nullptr) *t_out = t;
    return std::hypot(p.x - fx, p.y - fy);
}

// Nearest segment of a point list to p: index and parameter.
static int nearest_segment(const std::vector<MPoint>& pts, MPoint p, double* t, double* dist) {
    int best = 0;
    double bd = 1e300, bt = 0.0;
    for (size_t i = 0; i + 1 < pts.size(); ++i) {
        double ti;
        double d = seg_distance(pts[i], pts[i + 1], p, &ti);
        if (d < bd) {
            bd = d;
            bt = ti;
            best = static_cast<int>(i);
        }
    }
    *t = bt;
    *dist = bd;
    return best;
}

static void op_release(EdgeCurve* g) {
    mdl_curve_free(g);
}

static int op_split(MPoint p0, const EdgeCurve* g, MPoint p1, MPoint at, EdgeCurve** g1,
                    EdgeCurve** g2) {
    *g1 = *g2 = nullptr;
    std::vector<MPoint> pts;
    curve_points(p0, g, p1, &pts);
    size_t n = pts.size();
    // An interior point at the split point: neither piece keeps it.
    for (size_t k = 1; k + 1 < n; ++k) {
        if (std::fabs(pts[k].x - at.x) < g_mdl.tol_x && std::fabs(pts[k].y - at.y) < g_mdl.tol_y) {
            *g1 = curve_from(pts, 1, k);
            *g2 = curve_from(pts, k + 1, n - 1);
            return -2;
        }
    }
    double t, d;
    int seg = nearest_segment(pts, at, &t, &d);
    if (d > g_mdl.tol_mean * 4.0 + 1e-9) return -1;
    *g1 = curve_from(pts, 1, static_cast<size_t>(seg) + 1);
    *g2 = curve_from(pts, static_cast<size_t>(seg) + 1, n - 1);
    return -2;
}

static double line_distance(MPoint a, MPoint b, MPoint p) {
    double dx = b.x - a.x, dy = b.y - a.y;
    double len = std::hypot(dx, dy);
    if (len <= 0.0) return std::hypot(p.x - a.x, p.y - a.y);
    return std::fabs((p.x - a.x) * dy - (p.y - a.y) * dx) / len;
}

static int line_join(MPoint p0, const EdgeCurve* g1, MPoint mid, const EdgeCurve* g2, MPoint p1,
                     EdgeCurve** out) {
    *out = nullptr;
    if (g1 != nullptr || g2 != nullptr) return -1;
    double l1 = std::hypot(mid.x - p0.x, mid.y - p0.y);
    double l2 = std::hypot(p1.x - mid.x, p1.y - mid.y);
    if (l1 < 1e-6 || l2 < 1e-6) return -2;
    double tol = g_mdl.tol_mean;
    bool first_on_second = line_distance(mid, p1, p0) < tol; // both ends of edge 1 on line 2
    bool second_on_first = line_distance(p0, mid, p1) < tol;
    // Collinear and on opposite sides of the middle vertex.
    double dot = (mid.x - p0.x) * (p1.x - mid.x) + (mid.y - p0.y) * (p1.y - mid.y);
    if ((first_on_second || second_on_first) && dot > 0.0) return -2;
    return -1;
}

static int polyline_join(MPoint p0, const EdgeCurve* g1, MPoint mid, const EdgeCurve* g2, MPoint p1,
                         EdgeCurve** out) {
    (void)p0;
    (void)p1;
    int n1 = g1 ? g1->count : 0, n2 = g2 ? g2->count : 0;
    EdgeCurve* g = mdl_curve_new(n1 + n2 + 1);
    for (int i = 0; i < n1; ++i) g->points[i] = g1->points[i];
    g->points[n1] = mid;
    for (int i = 0; i < n2; ++i) g->points[n1 + 1 + i] = g2->points[i];
    *out = g;
    return -2;
}

static MPoint op_leave_direction(const Edge* e, const Vertex* v) {
    const Vertex* a = e->he1->vtx;
    const Vertex* b = e->he2->vtx;
    const EdgeCurve* g = e->geometry;
    MPoint to;
    if (v == a)
        to = (g != nullptr && g->count > 0) ? g->points[0] : MPoint{b->x, b->y};
    else
        to = (g != nullptr && g->count > 0) ? g->points[g->count - 1] : MPoint{a->x, a->y};
    return MPoint{to.x - v->x, to.y - v->y};
}

static int op_point_on(const Edge* e, MPoint p, double* pos) {
    if (p.x < e->box.xmin - g_mdl.tol_x || p.x > e->box.xmax + g_mdl.tol_x ||
        p.y < e->box.ymin - g_mdl.tol_y || p.y > e->box.ymax + g_mdl.tol_y)
        return 0;
    std::vector<MPoint> pts;
    mdl_edge_points(e, &pts);
    double t, d;
    int seg = nearest_segment(pts, p, &t, &d);
    if (pos != nullptr) *pos = seg + t;
    return d < g_mdl.tol_mean ? 1 : 0;
}

static int op_write(FILE* fp, const EdgeCurve* g) {
    int n = g ? g->count : 0;
    if (std::fprintf(fp, "%d\n", n) < 0) return -1;
    for (int i = 0; i < n; ++i)
        if (std::fprintf(fp, "%+.5e %+.5e\n", g->points[i].x, g->points[i].y) < 0) return -1;
    return -2;
}

static int op_read(FILE* fp, EdgeCurve** g) {
    *g = nullptr;
    int n = 0;
    if (std::fscanf(fp, "%d", &n) != 1 || n < 0) return -1;
    if (n == 0) return -2;
    EdgeCurve* c = mdl_curve_new(n);
    for (int i = 0; i < n; ++i) {
        if (std::fscanf(fp, "%lf %lf", &c->points[i].x, &c->points[i].y) != 2) {
            mdl_curve_free(c);
            return -1;
        }
    }
    *g = c;
    return -2;
}

static MBox op_box(const Edge* e) {
    std::vector<MPoint> pts;
    mdl_edge_points(e, &pts);
    MBox b{pts[0].x, pts[0].x, pts[0].y, pts[0].y};
    for (const MPoint& p : pts) b = box_union(b, MBox{p.x, p.x, p.y, p.y});
    return b;
}

static int line_build(const MPoint* pts, int n, EdgeCurve** out) {
    (void)pts;
    *out = nullptr;
    return n == 2 ? -2 : -1;
}

static int polyline_build(const MPoint* pts, int n, EdgeCurve** out) {
    *out = nullptr;
    if (n < 2) return -1;
    EdgeCurve* g = mdl_curve_new(n - 2);
    for (int i = 1; i + 1 < n; ++i) g->points[i - 1] = pts[i];
    *out = g;
    return -2;
}

static int op_point_count(const EdgeCurve* g) {
    return (g ? g->count : 0) + 2;
}

static double op_position(const Edge* e, MPoint p) {
    std::vector<MPoint> pts;
    mdl_edge_points(e, &pts);
    double t, d;
    int seg = nearest_segment(pts, p, &t, &d);
    return seg + t;
}

static int op_take_record(const ModelCurveRecord* rec, std::vector<MPoint>* pts) {
    pts->clear();
    pts->push_back(rec->first);
    for (int i = 0; i < rec->count; ++i) pts->push_back(rec->interior[i]);
    pts->push_back(rec->last);
    return -2;
}

static int op_give_record(const Edge* e, ModelCurveRecord* rec) {
    std::vector<MPoint> pts;
    mdl_edge_points(e, &pts);
    *rec = ModelCurveRecord{};
    rec->kind = e->curve_kind;
    rec->first = pts.front();
    rec->last = pts.back();
    rec->count = static_cast<int>(pts.size()) - 2;
    if (rec->count > 0) {
        rec->interior = mdl_alloc_array<MPoint>(static_cast<size_t>(rec->count));
        for (int i = 0; i < rec->count; ++i) rec->interior[i] = pts[static_cast<size_t>(i) + 1];
    }
    return -2;
}

static CurveKindOps g_curve_table[3];

void mdl_curve_table_fill() {
    CurveKindOps line{};
    line.release = op_release;
    line.split = op_split;
    line.join = line_join;
    line.leave_direction = op_leave_direction;
    line.point_on = op_point_on;
    line.write = op_write;
    line.read = op_read;
    line.box = op_box;
    line.build = line_build;
    line.point_count = op_point_count;
    line.position = op_position;
    line.take_record = op_take_record;
    line.give_record = op_give_record;
    CurveKindOps poly = line;
    poly.join = polyline_join;
    poly.build = polyline_build;
    g_curve_table[0] = CurveKindOps{};
    g_curve_table[CURVE_LINE] = line;
    g_curve_table[CURVE_POLYLINE] = poly;
}

const CurveKindOps* mdl_curve_ops(int32_t kind) {
    if (kind < CURVE_LINE || kind > CURVE_POLYLINE) kind = CURVE_LINE;
    return &g_curve_table[kind];
}
