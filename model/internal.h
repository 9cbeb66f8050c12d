// Frame model internals shared by its source files: the module state (one
// struct with an explicit reset), allocation with the single fatal path, the
// id indexes, entity creation and deletion, and the recording helper.
// Not for use outside model/.
#pragma once

#include "model/model.h"
#include "model/pool.h"

#include <new>
#include <type_traits>
#include <vector>

constexpr int UNDO_SLOTS = 500;
constexpr double DUMMY_X = 1e30;
constexpr double DUMMY_Y = -1e30;
constexpr double FIXED_TOL = 1e-5;

struct UndoSlot {
    OperatorRecord* records;
    int mark; // 0 none, 1 step boundary, 2 group opened
};

struct ModelState {
    Solid* solids;
    int32_t solid_counter;
    int mode;
    OperatorRecord* save_log;
    double tol_x;
    double tol_y;
    double tol_mean;
    double tol_half;
    UndoSlot ring[UNDO_SLOTS];
    int current;
    int group_depth;
    int group_open;
    int batch_depth; // open batches: every operation joins the batch's one step
    OperatorRecord* redo;
    int geometry_changed;
    int attrib_changed;
    int join_insert_point; // an insert point may join the step of create solid
    ModelCallbacks hooks;
    int file_version;
};

extern ModelState g_mdl;

// The fatal path: prints the message and ends the program with status 0.
[[noreturn]] void mdl_out_of_memory();

// The entities of the topology come from their pools (model/pool.h), the
// rest from the heap.
template <typename T>
constexpr bool kPooledEntity =
    std::is_same_v<T, Vertex> || std::is_same_v<T, HalfEdge> || std::is_same_v<T, Edge> ||
    std::is_same_v<T, Loop> || std::is_same_v<T, Face>;

// The pool of a kind, never destroyed: entities may outlive every static.
template <typename T> EntityPool<T>& mdl_pool() {
    static EntityPool<T>* pool = new EntityPool<T>;
    return *pool;
}

template <typename T> T* mdl_alloc() {
    T* p = nullptr;
    if constexpr (kPooledEntity<T>)
        p = mdl_pool<T>().alloc();
    else
        p = new (std::nothrow) T{};
    if (p == nullptr) mdl_out_of_memory();
    return p;
}
template <typename T> void mdl_free(T* p) {
    if constexpr (kPooledEntity<T>)
        mdl_pool<T>().free(p);
    else
        delete p;
}
template <typename T> T* mdl_alloc_array(size_t n) {
    T* p = new (std::nothrow) T[n == 0 ? 1 : n]{};
    if (p == nullptr) mdl_out_of_memory();
    return p;
}

// Hook calls (skipped when empty).
void mdl_release(int kind, AttribRef ref);

// Id indexes.
void idx_put_vertex(Solid* s, Vertex* v);
void idx_put_edge(Solid* s, Edge* e);
void idx_put_face(Solid* s, Face* f);
void idx_drop_vertex(Solid* s, int32_t id);
void idx_drop_edge(Solid* s, int32_t id);
void idx_drop_face(Solid* s, int32_t id);

// Entity creation (at the head of their lists) and deletion.
Vertex* new_vertex(Solid* s, int32_t id, MPoint p);
Edge* new_edge(Solid* s, int32_t id);
Face* new_face(Solid* s, int32_t id);
Loop* new_loop(Face* f);
HalfEdge* new_lone_halfedge(Loop* l, Vertex* v);
void del_vertex(Solid* s, Vertex* v);
void del_edge(Solid* s, Edge* e);
void del_face(Solid* s, Face* f);
void del_loop(Loop* l);
void unlink_loop(Loop* l);
void link_loop(Loop* l, Face* f);

// Recording: hands a filled inverse record on by the mode. Outside the modes
// that keep records, the record is dropped and what it holds is released.
void mdl_log(const OperatorRecord& rec);
bool mdl_keeps_records();

// Half-edge lookup by face and (vertex, next vertex): the corner or edge side
// of the face that starts at v1 and whose successor starts at v2.
HalfEdge* find_halfedge(Solid* s, int32_t face_id, int32_t v1, int32_t v2);
// The half-edge of edge e that starts at vertex v (none when neither does).
HalfEdge* edge_side_from(Edge* e, int32_t vid);

// Paths of half-edges and their areas.
// Appends the start vertex of `h` and the interior points of its edge in the
// direction of travel.
void append_half_edge_points(const HalfEdge* h, std::vector<MPoint>* pts);
// Signed area of the closed polygon through `pts` (positive counter-clockwise).
double polygon_area(const std::vector<MPoint>& pts);

// Loops.
double loop_area(const Loop* l);
// Calls f(MPoint) for the points of the loop in order: each half-edge's
// start, then its edge's interior points in the half-edge's direction (the
// points loop_area and point_in_loop gather), without gathering them.
template <typename F> void for_each_loop_point(const Loop* l, F f) {
    const HalfEdge* h = l->first;
    do {
        f(MPoint{h->vtx->x, h->vtx->y});
        if (const EdgeCurve* g = h->edge ? h->edge->geometry : nullptr) {
            if (h == h->edge->he1)
                for (int i = 0; i < g->count; ++i) f(g->points[i]);
            else
                for (int i = g->count - 1; i >= 0; --i) f(g->points[i]);
        }
        h = h->next;
    } while (h != l->first);
}
MBox loop_box(const Loop* l);
bool point_in_loop(const Loop* l, MPoint p);
bool point_near_loop(const Loop* l, MPoint p, double tol);
int loop_length(const Loop* l);
MBox box_union(MBox a, MBox b);
MBox unbounded_box();

// Entity counters; ids from the next counter value.
int32_t next_vertex_id(Solid* s);
int32_t next_edge_id(Solid* s);
int32_t next_face_id(Solid* s);

// Low-level attribute and geometry change used by the set operators.
void apply_edge_geometry(Edge* e, EdgeCurve* g);

// Solid list.
Solid* solid_make(int32_t id);
void solid_destroy(Solid* s);
