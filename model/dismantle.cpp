// Dismantling a solid edge by edge (save mode and delete model), the save log
// and its replay, and the creation and deletion of models.
#include "model/internal.h"

#include <vector>

static bool dangling_end(const Edge* e, Vertex** v) {
    if (e->he1->next == e->he2 && e->he1->vtx != e->he2->vtx) {
        *v = e->he2->vtx;
        return true;
    }
    if (e->he2->next == e->he1 && e->he1->vtx != e->he2->vtx) {
        *v = e->he1->vtx;
        return true;
    }
    return false;
}

// The only edge at v when v has exactly one edge.
static Edge* single_edge(const Vertex* v) {
    HalfEdge* h = v->vedge;
    if (h == nullptr || h->edge == nullptr) return nullptr;
    return mate(h)->next == h ? h->edge : nullptr;
}

// The face that an edge between two faces can remove without moving rings:
// a face whose only loop is its outer loop and holds one side of the edge.
static Face* killable_face(const Edge* e) {
    Face* f1 = e->he1->loop->face;
    Face* f2 = e->he2->loop->face;
    if (f1 == f2) return nullptr;
    if (f2->outer == e->he2->loop && f2->loops == f2->outer && f2->outer->next == nullptr)
        return f2;
    if (f1->outer == e->he1->loop && f1->loops == f1->outer && f1->outer->next == nullptr)
        return f1;
    return nullptr;
}

static void push_if_dangling(std::vector<int32_t>* stack, const Vertex* v) {
    Edge* e = single_edge(v);
    if (e != nullptr) stack->push_back(e->id);
}

static void remove_isolated_rings(Solid* s) {
    Vertex* v = s->vertices;
    while (v != nullptr && s->vertices->next != nullptr) {
        Vertex* next = v->next;
        if (v->vedge != nullptr && v->vedge->edge == nullptr &&
            v->vedge->loop->face->outer != v->vedge->loop)
            mdl_op_kvr(v);
        v = next;
    }
}

// Removes every edge, then the isolated vertices, then the last vertex and
// face (kvfs). The solid itself stays.
static void dismantle(Solid* s) {
    remove_isolated_rings(s);
    std::vector<int32_t> stack;
    std::vector<int32_t> ids;
    for (Edge* e = s->edges; e != nullptr; e = e->next) {
        ids.push_back(e->id);
        Vertex* v;
        if (dangling_end(e, &v)) stack.push_back(e->id);
    }
    size_t cursor = 0;
    while (s->edges != nullptr) {
        if (!stack.empty()) {
            Edge* e = mdl_edge_by_id(s, stack.back());
            stack.pop_back();
            Vertex* v;
            if (e == nullptr || !dangling_end(e, &v)) continue;
            Vertex* w = e->he1->vtx == v ? e->he2->vtx : e->he1->vtx;
            mdl_op_kev(e, v);
            // An isolated vertex left behind goes at once, so that its ring
            // does not keep its face from being removed.
            if (w->vedge->edge == nullptr && s->vertices->next != nullptr)
                mdl_op_kvr(w);
            else
                push_if_dangling(&stack, w);
            continue;
        }
        bool done = false;
        for (int pass = 0; pass < 2 && !done; ++pass) {
            for (; cursor < ids.size(); ++cursor) {
                Edge* e = mdl_edge_by_id(s, ids[cursor]);
                if (e == nullptr) continue;
                Face* fk = killable_face(e);
                if (fk == nullptr) continue;
                Vertex* a = e->he1->vtx;
                Vertex* b = e->he2->vtx;
                mdl_op_kef(e, fk);
                push_if_dangling(&stack, a);
                push_if_dangling(&stack, b);
                done = true;
                break;
            }
            if (!done) cursor = 0;
        }
        if (done) continue;
        // A bridge between two parts of one loop, or two faces whose removal
        // needs their rings moved first.
        Edge* e = s->edges;
        for (Edge* x = s->edges; x != nullptr; x = x->next)
            if (x->he1->loop == x->he2->loop) {
                e = x;
                break;
            }
        Vertex* a = e->he1->vtx;
        Vertex* b = e->he2->vtx;
        if (e->he1->loop == e->he2->loop) {
            mdl_op_kemr(e->he1, 0);
        } else {
            Face* fk = e->he2->loop->face;
            Face* fs = e->he1->loop->face;
            if (fk->outer != e->he2->loop) {
                Face* t = fk;
                fk = fs;
                fs = t;
            }
            for (Loop* l = fk->loops; l != nullptr;) {
                Loop* n = l->next;
                if (l != fk->outer) mdl_op_ringmv(l, fs);
                l = n;
            }
            if (mdl_op_kef(e, fk) != -2) break; // cannot happen in a valid subdivision
        }
        push_if_dangling(&stack, a);
        push_if_dangling(&stack, b);
    }
    remove_isolated_rings(s);
    mdl_op_kvfs(s);
}

OperatorRecord* mdl_save_dismantle(Solid* s) {
    mdl_free_record_list(g_mdl.save_log);
    g_mdl.save_log = nullptr;
    if (s == nullptr) return nullptr;
    int saved = g_mdl.mode;
    g_mdl.mode = MODE_SAVE;
    dismantle(s);
    g_mdl.mode = saved;
    return g_mdl.save_log;
}

OperatorRecord* mdl_save_log() {
    return g_mdl.save_log;
}

OperatorRecord* mdl_take_save_log() {
    OperatorRecord* log = g_mdl.save_log;
    g_mdl.save_log = nullptr;
    return log;
}

Solid* mdl_save_replay() {
    OperatorRecord* log = g_mdl.save_log;
    g_mdl.save_log = nullptr;
    if (log == nullptr) return nullptr;
    int32_t sid = log->solid_id;
    int saved = g_mdl.mode;
    g_mdl.mode = MODE_REPLAY;
    mdl_execute_record_list(log);
    g_mdl.mode = saved;
    return mdl_find_solid(sid);
}

Solid* mdl_create_solid() {
    mdl_begin_step();
    Solid* s = mdl_op_new_solid(static_cast<int32_t>(g_mdl.solid_counter + 1));
    g_mdl.join_insert_point = 1;
    return s;
}

int mdl_delete_model(Solid* s) {
    if (s == nullptr) return -1;
    mdl_begin_step();
    if (s->vertices != nullptr) dismantle(s);
    mdl_op_delete_solid(s);
    return -2;
}

int mdl_is_empty(const Solid* s) {
    if (s == nullptr || s->vertices == nullptr) return 1;
    const Vertex* v = s->vertices;
    return (v->x == DUMMY_X && v->y == DUMMY_Y && s->edges == nullptr) ? 1 : 0;
}

Solid* mdl_new_model() {
    mdl_clear_history();
    mdl_undo_recording_off();
    Solid* s = mdl_create_solid();
    mdl_insert_point(s, MPoint{DUMMY_X, DUMMY_Y});
    mdl_undo_recording_on();
    return s;
}
