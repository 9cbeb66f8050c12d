// Insertion of points (nodes) and the split of an edge at a point.
#include "model/insert.h"
#include "model/euler.h"
#include "model/internal.h"
#include "model/setops.h"

#include <cmath>

static bool coincide(MPoint a, MPoint b) {
    return std::fabs(a.x - b.x) < g_mdl.tol_x && std::fabs(a.y - b.y) < g_mdl.tol_y;
}

bool ins_coincide(MPoint a, MPoint b) {
    return coincide(a, b);
}

Vertex* ins_split_edge(Edge* e, MPoint p) {
    Solid* s = e->he1->loop->face->solid;
    int32_t vid = next_vertex_id(s);
    int32_t eid = next_edge_id(s);
    OperatorRecord inv;
    Vertex* nv = eu_semv(e, vid, eid, p, &inv);
    if (nv == nullptr) return nullptr;
    Edge* ne = mdl_edge_by_id(s, eid);
    if (g_mdl.hooks.vertex_created != nullptr) g_mdl.hooks.vertex_created(nv);
    if (g_mdl.hooks.edge_split != nullptr) g_mdl.hooks.edge_split(ne, e, inv.attrib_b);
    mdl_log(inv); // holds the old attribute, or releases it when nothing is recorded
    return nv;
}

Vertex* mdl_split_edge(Edge* e, MPoint p) {
    if (e == nullptr) return nullptr;
    mdl_begin_step();
    return ins_split_edge(e, p);
}

// Moves the dummy vertex of an empty model to p.
Vertex* ins_move_dummy(Solid* s, MPoint p) {
    Vertex* v = s->vertices;
    setop_vertex_position(v, p);
    return v;
}

Vertex* ins_point(Solid* s, MPoint p) {
    if (s->vertices == nullptr) {
        int32_t fid = next_face_id(s);
        int32_t vid = next_vertex_id(s);
        if (mdl_op_mvfs(s, fid, vid, p) != -2) return nullptr;
        Vertex* v = s->vertices;
        if (g_mdl.hooks.solid_created != nullptr) g_mdl.hooks.solid_created(s);
        if (g_mdl.hooks.face_created != nullptr) g_mdl.hooks.face_created(s->faces, 0, 0);
        if (g_mdl.hooks.vertex_created != nullptr) g_mdl.hooks.vertex_created(v);
        return v;
    }
    if (mdl_is_empty(s)) return ins_move_dummy(s, p);
    Face* f = mdl_find_face_containing(s, p);
    if (f == nullptr) return nullptr;
    for (Loop* l = f->loops; l; l = l->next) {
        HalfEdge* h = l->first;
        do {
            if (coincide(MPoint{h->vtx->x, h->vtx->y}, p)) return nullptr;
            h = h->next;
        } while (h != l->first);
    }
    for (Loop* l = f->loops; l; l = l->next) {
        HalfEdge* h = l->first;
        do {
            Edge* e = h->edge;
            double pos;
            if (e != nullptr && mdl_curve_ops(e->curve_kind)->point_on(e, p, &pos))
                return ins_split_edge(e, p);
            h = h->next;
        } while (h != l->first);
    }
    Vertex* v = mdl_op_mvr(f, next_vertex_id(s), p);
    if (g_mdl.hooks.vertex_created != nullptr) g_mdl.hooks.vertex_created(v);
    return v;
}

Vertex* mdl_insert_point(Solid* s, MPoint p) {
    if (s == nullptr) return nullptr;
    if (!g_mdl.join_insert_point) mdl_begin_step();
    g_mdl.join_insert_point = 0;
    return ins_point(s, p);
}
