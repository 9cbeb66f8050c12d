// Set operators and the undo step rules of the modifying operations that
// call them.
#include "model/setops.h"

#include "model/internal.h"

static OperatorRecord blank(int16_t op, const Solid* s) {
    OperatorRecord r{};
    r.op = op;
    r.solid_id = s->id;
    return r;
}

static Solid* solid_of_vertex(const Vertex* v) {
    return v->vedge->loop->face->solid;
}
static Solid* solid_of_edge(const Edge* e) {
    return e->he1->loop->face->solid;
}

// Logs the inverse step `inv`, which gives `slot` its present reference back,
// and sets `slot` to `ref`.
static int replace_attrib(OperatorRecord& inv, AttribRef& slot, AttribRef ref) {
    inv.attrib_b = slot;
    slot = ref;
    mdl_log(inv);
    return -2;
}

// The reference a record carries, taken out of it so that it is handed on once.
static AttribRef take_attrib(OperatorRecord* r) {
    AttribRef ref = r->attrib_b;
    r->attrib_b = nullptr;
    return ref;
}

int setop_vertex_position(Vertex* v, MPoint p) {
    OperatorRecord inv = blank(OP_SETVTXPOS, solid_of_vertex(v));
    inv.a1 = v->id;
    inv.point = MPoint{v->x, v->y};
    v->x = p.x;
    v->y = p.y;
    mdl_log(inv);
    return -2;
}

int setop_edge_geometry(Edge* e, EdgeCurve* g, const MBox* box) {
    OperatorRecord inv = blank(OP_SETEDGEGEOM, solid_of_edge(e));
    inv.edge_id = e->id;
    inv.geometry = e->geometry;
    inv.curve_kind = e->curve_kind;
    inv.edge_box = e->box;
    e->geometry = g;
    e->box = box != nullptr ? *box : mdl_curve_ops(e->curve_kind)->box(e);
    mdl_log(inv);
    return -2;
}

int setop_face_box(Face* f, MBox box) {
    OperatorRecord inv = blank(OP_SETFACEBOX, f->solid);
    inv.a1 = f->id;
    inv.face_box = f->box;
    f->box = box;
    mdl_log(inv);
    return -2;
}

int setop_vertex_attrib(Vertex* v, AttribRef ref) {
    OperatorRecord inv = blank(OP_SETVTXATTR, solid_of_vertex(v));
    inv.a1 = v->id;
    return replace_attrib(inv, v->attrib, ref);
}

int setop_edge_attrib(Edge* e, AttribRef ref) {
    OperatorRecord inv = blank(OP_SETEDGEATTR, solid_of_edge(e));
    inv.edge_id = e->id;
    return replace_attrib(inv, e->attrib, ref);
}

int setop_face_attrib(Face* f, AttribRef ref) {
    OperatorRecord inv = blank(OP_SETFACEATTR, f->solid);
    inv.a1 = f->id;
    return replace_attrib(inv, f->attrib, ref);
}

int setop_reverse(Edge* e) {
    OperatorRecord inv = blank(OP_REVERSE, solid_of_edge(e));
    inv.edge_id = e->id;
    HalfEdge* t = e->he1;
    e->he1 = e->he2;
    e->he2 = t;
    EdgeCurve* g = e->geometry;
    if (g != nullptr)
        for (int i = 0, j = g->count - 1; i < j; ++i, --j) {
            MPoint p = g->points[i];
            g->points[i] = g->points[j];
            g->points[j] = p;
        }
    mdl_log(inv);
    return -2;
}

int setop_execute(Solid* s, OperatorRecord* r) {
    switch (r->op) {
    case OP_SETVTXPOS: {
        Vertex* v = mdl_vertex_by_id(s, r->a1);
        return v ? setop_vertex_position(v, r->point) : -1;
    }
    case OP_SETEDGEGEOM: {
        Edge* e = mdl_edge_by_id(s, r->edge_id);
        if (e == nullptr) return -1;
        EdgeCurve* g = r->geometry;
        r->geometry = nullptr;
        return setop_edge_geometry(e, g, &r->edge_box);
    }
    case OP_SETFACEBOX: {
        Face* f = mdl_face_by_id(s, r->a1);
        return f ? setop_face_box(f, r->face_box) : -1;
    }
    case OP_SETVTXATTR: {
        Vertex* v = mdl_vertex_by_id(s, r->a1);
        return v ? setop_vertex_attrib(v, take_attrib(r)) : -1;
    }
    case OP_SETEDGEATTR: {
        Edge* e = mdl_edge_by_id(s, r->edge_id);
        return e ? setop_edge_attrib(e, take_attrib(r)) : -1;
    }
    case OP_SETFACEATTR: {
        Face* f = mdl_face_by_id(s, r->a1);
        return f ? setop_face_attrib(f, take_attrib(r)) : -1;
    }
    case OP_REVERSE: {
        Edge* e = mdl_edge_by_id(s, r->edge_id);
        return e ? setop_reverse(e) : -1;
    }
    default:
        return -1;
    }
}

// ---- Public modifying operations with the undo step rules ----------------------

static void begin_geometry_step() {
    if (g_mdl.mode == MODE_UNDO && !g_mdl.geometry_changed) {
        mdl_begin_step();
        g_mdl.geometry_changed = 1;
    }
}

static void begin_attrib_step() {
    if (g_mdl.mode == MODE_UNDO && !g_mdl.attrib_changed) {
        mdl_begin_step();
        g_mdl.attrib_changed = 1;
    }
}

int mdl_move_vertex(Vertex* v, MPoint p) {
    if (v == nullptr) return -1;
    begin_geometry_step();
    return setop_vertex_position(v, p);
}

int mdl_set_edge_geometry(Edge* e, EdgeCurve* g) {
    if (e == nullptr) return -1;
    begin_geometry_step();
    return setop_edge_geometry(e, g, nullptr);
}

int mdl_recompute_face_box(Face* f) {
    if (f == nullptr || f->outer == nullptr) return -1;
    begin_geometry_step();
    return setop_face_box(f, loop_box(f->outer));
}

int mdl_set_vertex_attrib(Vertex* v, AttribRef ref) {
    if (v == nullptr) return -1;
    begin_attrib_step();
    return setop_vertex_attrib(v, ref);
}

int mdl_set_edge_attrib(Edge* e, AttribRef ref) {
    if (e == nullptr) return -1;
    begin_attrib_step();
    return setop_edge_attrib(e, ref);
}

int mdl_set_face_attrib(Face* f, AttribRef ref) {
    if (f == nullptr) return -1;
    begin_attrib_step();
    return setop_face_attrib(f, ref);
}

int mdl_reverse_edge(Edge* e) {
    if (e == nullptr) return -1;
    mdl_begin_step();
    return setop_reverse(e);
}
