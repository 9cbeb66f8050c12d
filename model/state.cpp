// Module state, allocation with its fatal path, id indexes and the creation
// and deletion of entities.
#include "model/internal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

ModelState g_mdl;

void mdl_out_of_memory() {
    std::fputs("\nMemoria insuficiente...\n", stdout);
    std::fflush(stdout);
    std::exit(0);
}

void mdl_release(int kind, AttribRef ref) {
    if (ref != nullptr && g_mdl.hooks.release_attrib != nullptr)
        g_mdl.hooks.release_attrib(kind, ref);
}

void mdl_initialise() {
    mdl_curve_table_fill();
    g_mdl.hooks = ModelCallbacks{};
    g_mdl.file_version = 200;
    g_mdl.current = UNDO_SLOTS - 1;
    if (g_mdl.tol_x <= 0.0) mdl_set_tolerance(1e-3);
}

void mdl_reset() {
    g_mdl.mode = MODE_OFF;
    mdl_clear_history();
    mdl_free_record_list(g_mdl.save_log);
    g_mdl.save_log = nullptr;
    while (g_mdl.solids != nullptr) mdl_delete_model(g_mdl.solids);
    g_mdl.solid_counter = 0;
    g_mdl.group_depth = 0;
    g_mdl.group_open = 0;
    g_mdl.batch_depth = 0;
    g_mdl.geometry_changed = 0;
    g_mdl.attrib_changed = 0;
    g_mdl.join_insert_point = 0;
    g_mdl.tol_x = 0.0;
    mdl_initialise();
}

void mdl_register_hooks(const ModelCallbacks* hooks) {
    g_mdl.hooks = hooks != nullptr ? *hooks : ModelCallbacks{};
}

void mdl_set_tolerance(double tol) {
    g_mdl.tol_x = tol;
    g_mdl.tol_y = tol;
    g_mdl.tol_mean = 0.5 * (g_mdl.tol_x + g_mdl.tol_y);
    g_mdl.tol_half = 0.5 * g_mdl.tol_mean;
}

double mdl_tolerance() {
    return g_mdl.tol_x;
}
double mdl_mean_tolerance() {
    return g_mdl.tol_mean;
}
void mdl_set_file_version(int version) {
    g_mdl.file_version = version;
}
int mdl_file_version() {
    return g_mdl.file_version;
}
int mdl_recording_mode() {
    return g_mdl.mode;
}
void mdl_set_recording_mode(int mode) {
    g_mdl.mode = mode;
}

// ---- Id indexes --------------------------------------------------------------

// The table grows to an id only while it stays within a few times the number of
// entities held; other ids go to the hash map.
constexpr size_t IDX_DENSE_FLOOR = 8192;

template <typename T> static void idx_put(IdIndex<T>& index, int32_t id, T* p) {
    const size_t i = static_cast<size_t>(id);
    try {
        if (id >= 0 && index.dense.size() <= i &&
            i < std::max(IDX_DENSE_FLOOR, 4 * (index.live + 1)))
            index.dense.resize(i + 1 + i / 2, nullptr);
        if (id >= 0 && i < index.dense.size()) {
            if (!index.spare.empty() && index.spare.erase(id) > 0) --index.live;
            if (index.dense[i] == nullptr) ++index.live;
            index.dense[i] = p;
        } else if (index.spare.insert_or_assign(id, p).second) {
            ++index.live;
        }
    } catch (const std::bad_alloc&) {
        mdl_out_of_memory();
    }
}

template <typename T> static T* idx_get(const IdIndex<T>& index, int32_t id) {
    const size_t i = static_cast<size_t>(id);
    if (id >= 0 && i < index.dense.size() && index.dense[i] != nullptr) return index.dense[i];
    if (index.spare.empty()) return nullptr;
    auto it = index.spare.find(id);
    return it == index.spare.end() ? nullptr : it->second;
}

template <typename T> static void idx_drop(IdIndex<T>& index, int32_t id, T* p) {
    if (p == nullptr) return;
    const size_t i = static_cast<size_t>(id);
    if (id >= 0 && i < index.dense.size() && index.dense[i] == p) {
        index.dense[i] = nullptr;
        --index.live;
        return;
    }
    auto it = index.spare.find(id);
    if (it != index.spare.end() && it->second == p) {
        index.spare.erase(it);
        --index.live;
    }
}

void idx_put_vertex(Solid* s, Vertex* v) {
    idx_put(s->vertex_index, v->id, v);
}
void idx_put_edge(Solid* s, Edge* e) {
    idx_put(s->edge_index, e->id, e);
}
void idx_put_face(Solid* s, Face* f) {
    idx_put(s->face_index, f->id, f);
}
void idx_drop_vertex(Solid* s, int32_t id) {
    idx_drop(s->vertex_index, id, idx_get(s->vertex_index, id));
}
void idx_drop_edge(Solid* s, int32_t id) {
    idx_drop(s->edge_index, id, idx_get(s->edge_index, id));
}
void idx_drop_face(Solid* s, int32_t id) {
    idx_drop(s->face_index, id, idx_get(s->face_index, id));
}

Vertex* mdl_vertex_by_id(const Solid* s, int32_t id) {
    return s ? idx_get(s->vertex_index, id) : nullptr;
}
Edge* mdl_edge_by_id(const Solid* s, int32_t id) {
    return s ? idx_get(s->edge_index, id) : nullptr;
}
Face* mdl_face_by_id(const Solid* s, int32_t id) {
    return s ? idx_get(s->face_index, id) : nullptr;
}

// A counter never wraps: files carry ids up to MDL_MAX_READ_ID, so this takes
// more than a billion creations of one kind after the highest id read.
static int32_t next_id(int32_t* counter) {
    if (*counter >= INT32_MAX) {
        std::fputs("\nThe frame model has used up its ids.\n", stderr);
        std::exit(1);
    }
    return ++*counter;
}
int32_t next_vertex_id(Solid* s) {
    return next_id(&s->vertex_counter);
}
int32_t next_edge_id(Solid* s) {
    return next_id(&s->edge_counter);
}
int32_t next_face_id(Solid* s) {
    return next_id(&s->face_counter);
}

// ---- Entities ----------------------------------------------------------------

template <typename T> static void list_push(T*& head, T* p) {
    p->prev = nullptr;
    p->next = head;
    if (head != nullptr) head->prev = p;
    head = p;
}

template <typename T> static void list_remove(T*& head, T* p) {
    if (p->prev != nullptr)
        p->prev->next = p->next;
    else
        head = p->next;
    if (p->next != nullptr) p->next->prev = p->prev;
    p->next = p->prev = nullptr;
}

Vertex* new_vertex(Solid* s, int32_t id, MPoint p) {
    Vertex* v = mdl_alloc<Vertex>();
    v->id = id;
    v->x = p.x;
    v->y = p.y;
    list_push(s->vertices, v);
    idx_put_vertex(s, v);
    return v;
}

Edge* new_edge(Solid* s, int32_t id) {
    Edge* e = mdl_alloc<Edge>();
    e->id = id;
    e->curve_kind = CURVE_LINE;
    list_push(s->edges, e);
    idx_put_edge(s, e);
    return e;
}

Face* new_face(Solid* s, int32_t id) {
    Face* f = mdl_alloc<Face>();
    f->id = id;
    f->solid = s;
    f->box = unbounded_box();
    list_push(s->faces, f);
    idx_put_face(s, f);
    return f;
}

void link_loop(Loop* l, Face* f) {
    l->face = f;
    list_push(f->loops, l);
}

void unlink_loop(Loop* l) {
    Face* f = l->face;
    list_remove(f->loops, l);
    if (f->outer == l) f->outer = nullptr;
    l->face = nullptr;
}

Loop* new_loop(Face* f) {
    Loop* l = mdl_alloc<Loop>();
    link_loop(l, f);
    return l;
}

HalfEdge* new_lone_halfedge(Loop* l, Vertex* v) {
    HalfEdge* h = mdl_alloc<HalfEdge>();
    h->vtx = v;
    h->loop = l;
    h->next = h->prev = h;
    l->first = h;
    v->vedge = h;
    return h;
}

void del_vertex(Solid* s, Vertex* v) {
    idx_drop(s->vertex_index, v->id, v);
    list_remove(s->vertices, v);
    mdl_free(v);
}

void del_edge(Solid* s, Edge* e) {
    idx_drop(s->edge_index, e->id, e);
    list_remove(s->edges, e);
    mdl_free(e);
}

void del_face(Solid* s, Face* f) {
    idx_drop(s->face_index, f->id, f);
    list_remove(s->faces, f);
    mdl_free(f);
}

void del_loop(Loop* l) {
    if (l->face != nullptr) unlink_loop(l);
    mdl_free(l);
}

// ---- Solids --------------------------------------------------------------------

Solid* solid_make(int32_t id) {
    Solid* s = mdl_alloc<Solid>();
    s->id = id;
    list_push(g_mdl.solids, s);
    return s;
}

void solid_destroy(Solid* s) {
    list_remove(g_mdl.solids, s);
    delete s;
    if (g_mdl.solids == nullptr) g_mdl.solid_counter = 0;
}

Solid* mdl_first_solid() {
    return g_mdl.solids;
}

Solid* mdl_find_solid(int32_t id) {
    for (Solid* s = g_mdl.solids; s != nullptr; s = s->next)
        if (s->id == id) return s;
    return nullptr;
}

// ---- Loop geometry ------------------------------------------------------------------

MBox unbounded_box() {
    return MBox{-1e30, 1e30, -1e30, 1e30};
}

MBox box_union(MBox a, MBox b) {
    return MBox{std::fmin(a.xmin, b.xmin), std::fmax(a.xmax, b.xmax), std::fmin(a.ymin, b.ymin),
                std::fmax(a.ymax, b.ymax)};
}

void append_half_edge_points(const HalfEdge* h, std::vector<MPoint>* pts) {
    pts->push_back(MPoint{h->vtx->x, h->vtx->y});
    const Edge* e = h->edge;
    if (e == nullptr || e->geometry == nullptr) return;
    const EdgeCurve* g = e->geometry;
    if (h == e->he1)
        for (int i = 0; i < g->count; ++i) pts->push_back(g->points[i]);
    else
        for (int i = g->count - 1; i >= 0; --i) pts->push_back(g->points[i]);
}

double polygon_area(const std::vector<MPoint>& pts) {
    double a = 0.0;
    const size_t n = pts.size();
    for (size_t i = 0; i < n; ++i) {
        const MPoint& p = pts[i];
        const MPoint& q = pts[(i + 1) % n];
        a += (p.x - pts[0].x) * (q.y - pts[0].y) - (q.x - pts[0].x) * (p.y - pts[0].y);
    }
    return 0.5 * a;
}

// Points of the loop in order, each half-edge with its edge's interior points.
static void loop_points(const Loop* l, std::vector<MPoint>* pts) {
    pts->clear();
    const HalfEdge* h = l->first;
    do {
        append_half_edge_points(h, pts);
        h = h->next;
    } while (h != l->first);
}

double loop_area(const Loop* l) {
    std::vector<MPoint> pts;
    loop_points(l, &pts);
    return polygon_area(pts);
}

MBox loop_box(const Loop* l) {
    const HalfEdge* h = l->first;
    MBox b{h->vtx->x, h->vtx->x, h->vtx->y, h->vtx->y};
    for_each_loop_point(l, [&b](MPoint p) { b = box_union(b, MBox{p.x, p.x, p.y, p.y}); });
    return b;
}

// Crossing-number test of the closed polygon of the loop.
bool point_in_loop(const Loop* l, MPoint p) {
    std::vector<MPoint> pts;
    loop_points(l, &pts);
    bool inside = false;
    size_t n = pts.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const MPoint& a = pts[i];
        const MPoint& b = pts[j];
        if ((a.y > p.y) != (b.y > p.y)) {
            double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (p.x < x) inside = !inside;
        }
    }
    return inside;
}

// Whether p lies within distance tol of the closed polygon of the loop.
bool point_near_loop(const Loop* l, MPoint p, double tol) {
    std::vector<MPoint> pts;
    loop_points(l, &pts);
    size_t n = pts.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const MPoint& a = pts[j];
        const MPoint& b = pts[i];
        double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
        double t = l2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0.0;
        t = std::fmax(0.0, std::fmin(1.0, t));
        if (std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy)) < tol) return true;
    }
    return false;
}

int loop_length(const Loop* l) {
    int n = 0;
    const HalfEdge* h = l->first;
    do {
        ++n;
        h = h->next;
    } while (h != l->first);
    return n;
}
