// Operator records: where a record goes by the recording mode, what freeing a
// record releases, and the execution of a record by id lookups.
#include "model/record.h"

#include "model/euler.h"
#include "model/internal.h"
#include "model/setops.h"

static Solid* g_read_solid = nullptr; // the solid of the block being read

Solid* mdl_read_solid() {
    return g_read_solid;
}
void mdl_read_begin() {
    g_read_solid = nullptr;
}

bool mdl_keeps_records() {
    return g_mdl.mode == MODE_SAVE || g_mdl.mode == MODE_UNDO || g_mdl.mode == MODE_UNDOING;
}

static void release_contents(OperatorRecord* r) {
    if (r->geometry != nullptr) mdl_curve_ops(r->curve_kind)->release(r->geometry);
    r->geometry = nullptr;
    switch (r->op) {
    case OP_MVFS: // the last vertex, the face, then the solid
        mdl_release(KIND_VERTEX, r->attrib_b);
        mdl_release(KIND_FACE, r->attrib_c);
        mdl_release(KIND_SOLID, r->attrib_a);
        break;
    case OP_MEV:
        mdl_release(KIND_EDGE, r->attrib_b);
        mdl_release(KIND_VERTEX, r->attrib_c);
        break;
    case OP_MEF:
        mdl_release(KIND_EDGE, r->attrib_b);
        mdl_release(KIND_FACE, r->attrib_c);
        break;
    case OP_MEKR:
    case OP_JEKV:
    case OP_SETEDGEATTR:
        mdl_release(KIND_EDGE, r->attrib_b);
        break;
    case OP_MFKRH:
    case OP_SETFACEATTR:
        mdl_release(KIND_FACE, r->attrib_b);
        break;
    case OP_MVR:
    case OP_SETVTXATTR:
        mdl_release(KIND_VERTEX, r->attrib_b);
        break;
    case OP_SEMV:
        mdl_release(KIND_EDGE, r->attrib_b);
        mdl_release(KIND_EDGE, r->attrib_c);
        mdl_release(KIND_VERTEX, r->attrib_a);
        break;
    case OP_NEWSOLID:
        mdl_release(KIND_SOLID, r->attrib_a);
        break;
    case OP_APPSTEP:
        mdl_release(KIND_APPDATA, r->attrib_c);
        break;
    default:
        break;
    }
    r->attrib_a = r->attrib_b = r->attrib_c = nullptr;
}

void mdl_log(const OperatorRecord& rec) {
    OperatorRecord** head = nullptr;
    switch (g_mdl.mode) {
    case MODE_SAVE:
        head = &g_mdl.save_log;
        break;
    case MODE_UNDO:
        head = &g_mdl.ring[g_mdl.current].records;
        break;
    case MODE_UNDOING:
        head = &g_mdl.redo;
        break;
    default:
        break;
    }
    if (head == nullptr) {
        OperatorRecord dropped = rec;
        release_contents(&dropped);
        return;
    }
    OperatorRecord* r = mdl_alloc<OperatorRecord>();
    *r = rec;
    r->next = *head;
    *head = r;
}

void mdl_free_record(OperatorRecord* rec) {
    if (rec == nullptr) return;
    release_contents(rec);
    delete rec;
}

void mdl_free_record_list(OperatorRecord* head) {
    while (head != nullptr) {
        OperatorRecord* n = head->next;
        mdl_free_record(head);
        head = n;
    }
}

int mdl_execute_record_list(OperatorRecord* head) {
    int failed = 0;
    while (head != nullptr) {
        OperatorRecord* n = head->next;
        if (mdl_execute_record(head) != -2) ++failed;
        mdl_free_record(head);
        head = n;
    }
    return failed;
}

// ---- Lookups ------------------------------------------------------------------

HalfEdge* find_halfedge(Solid* s, int32_t face_id, int32_t v1, int32_t v2) {
    Vertex* v = mdl_vertex_by_id(s, v1);
    if (v == nullptr || v->vedge == nullptr) return nullptr;
    HalfEdge* start = v->vedge;
    HalfEdge* h = start;
    do {
        if (h->loop->face->id == face_id && h->next->vtx->id == v2) return h;
        if (h->edge == nullptr) break;
        h = mate(h)->next;
    } while (h != start);
    return nullptr;
}

HalfEdge* edge_side_from(Edge* e, int32_t vid) {
    if (e->he1->vtx->id == vid) return e->he1;
    if (e->he2->vtx->id == vid) return e->he2;
    return nullptr;
}

static bool box_missing(const MBox& b) {
    return b.xmin == 0.0 && b.xmax == 0.0 && b.ymin == 0.0 && b.ymax == 0.0;
}

// Gives a freshly made edge the record's orientation, geometry, kind, box and
// attribute (the record no longer holds them).
static void take_edge_fields(Edge* e, OperatorRecord* r) {
    eu_orient(e, r->a7);
    e->curve_kind = r->curve_kind != 0 ? r->curve_kind : CURVE_LINE;
    e->geometry = r->geometry;
    e->attrib = r->attrib_b;
    r->geometry = nullptr;
    r->attrib_b = nullptr;
    e->box = box_missing(r->edge_box) ? mdl_curve_ops(e->curve_kind)->box(e) : r->edge_box;
}

static int exec_mvfs(OperatorRecord* r) {
    Solid* s;
    if (g_mdl.mode == MODE_READ) {
        s = solid_make(++g_mdl.solid_counter);
        g_read_solid = s;
    } else {
        s = mdl_find_solid(r->solid_id);
        if (s == nullptr) return -1;
    }
    OperatorRecord inv;
    if (eu_mvfs(s, r->a1, r->a2, r->point, &inv) != -2) return -1;
    if (g_mdl.mode == MODE_READ) {
        s->face_counter = r->a3 != 0 ? r->a3 : 1000;
        s->vertex_counter = r->a4 != 0 ? r->a4 : 1000;
        s->edge_counter = r->a5 != 0 ? r->a5 : (g_mdl.file_version == 0 ? 0 : 1000);
    } else {
        if (r->a3 > s->face_counter) s->face_counter = r->a3;
        if (r->a4 > s->vertex_counter) s->vertex_counter = r->a4;
        if (r->a5 > s->edge_counter) s->edge_counter = r->a5;
    }
    s->faces->box = r->face_box;
    s->attrib = r->attrib_a;
    s->vertices->attrib = r->attrib_b;
    s->faces->attrib = r->attrib_c;
    r->attrib_a = r->attrib_b = r->attrib_c = nullptr;
    mdl_log(inv);
    return -2;
}

static Solid* record_solid(const OperatorRecord* r) {
    if (g_mdl.mode == MODE_READ) return g_read_solid;
    return mdl_find_solid(r->solid_id);
}

int mdl_execute_record(OperatorRecord* r) {
    if (r->op == OP_MVFS) return exec_mvfs(r);
    if (r->op == OP_APPSTEP) {
        // The function is only called with the datum; the record keeps it,
        // and freeing the record releases it (kind 6).
        if (r->app_fn != nullptr) r->app_fn(r->attrib_c);
        return -2;
    }
    if (r->op == OP_NEWSOLID) {
        if (mdl_find_solid(r->solid_id) != nullptr) return -1;
        Solid* s = mdl_op_new_solid(r->solid_id);
        s->attrib = r->attrib_a;
        r->attrib_a = nullptr;
        return -2;
    }
    Solid* s = record_solid(r);
    if (s == nullptr) return -1;
    OperatorRecord inv{};
    switch (r->op) {
    case OP_KVFS:
        if (eu_kvfs(s, &inv) != -2) return -1;
        break;
    case OP_MEV: {
        HalfEdge* h1 = find_halfedge(s, r->a1, r->a3, r->a4);
        HalfEdge* h2 = find_halfedge(s, r->a2, r->a3, r->a5);
        if (h1 == nullptr || h2 == nullptr || mdl_vertex_by_id(s, r->a6) != nullptr) return -1;
        Edge* e = eu_mev(h1, h2, r->a6, r->edge_id, r->point, &inv);
        if (e == nullptr) return -1;
        take_edge_fields(e, r);
        mdl_vertex_by_id(s, r->a6)->attrib = r->attrib_c;
        r->attrib_c = nullptr;
        break;
    }
    case OP_KEV: {
        Edge* e = mdl_edge_by_id(s, r->edge_id);
        Vertex* v = mdl_vertex_by_id(s, r->a3);
        if (e == nullptr || v == nullptr || eu_kev(e, v, &inv) != -2) return -1;
        break;
    }
    case OP_MEF: {
        HalfEdge* c1 = find_halfedge(s, r->a1, r->a2, r->a3);
        HalfEdge* c2 = find_halfedge(s, r->a1, r->a4, r->a5);
        if (c1 == nullptr || c2 == nullptr || mdl_face_by_id(s, r->a6) != nullptr) return -1;
        // The boxes come from the record (or are computed below when it has none).
        Edge* e = eu_mef(c1, c2, r->a6, r->edge_id, &inv, false);
        if (e == nullptr) return -1;
        take_edge_fields(e, r);
        Face* nf = mdl_face_by_id(s, r->a6);
        nf->box = box_missing(r->face_box) ? loop_box(nf->outer) : r->face_box;
        nf->attrib = r->attrib_c;
        r->attrib_c = nullptr;
        break;
    }
    case OP_KEF: {
        Edge* e = mdl_edge_by_id(s, r->edge_id);
        Face* f = mdl_face_by_id(s, r->a6);
        if (e == nullptr || f == nullptr || eu_kef(e, f, &inv) != -2) return -1;
        break;
    }
    case OP_KEMR: {
        Edge* e = mdl_edge_by_id(s, r->edge_id);
        HalfEdge* h = e ? edge_side_from(e, r->a2) : nullptr;
        if (h == nullptr || eu_kemr(h, r->a4, &inv) != -2) return -1;
        break;
    }
    case OP_MEKR: {
        HalfEdge* c1 = find_halfedge(s, r->a1, r->a2, r->a3);
        HalfEdge* c2 = find_halfedge(s, r->a1, r->a4, r->a5);
        if (c1 == nullptr || c2 == nullptr) return -1;
        Edge* e = eu_mekr(c1, c2, r->edge_id, &inv);
        if (e == nullptr) return -1;
        take_edge_fields(e, r);
        break;
    }
    case OP_KFMRH: {
        Face* fk = mdl_face_by_id(s, r->a1);
        Face* into = mdl_face_by_id(s, r->a2);
        if (fk == nullptr || into == nullptr || eu_kfmrh(fk, into, &inv) != -2) return -1;
        break;
    }
    case OP_MFKRH: {
        HalfEdge* h = find_halfedge(s, r->a1, r->a2, r->a3);
        if (h == nullptr || mdl_face_by_id(s, r->a6) != nullptr) return -1;
        Face* nf = eu_mfkrh(h->loop, r->a6, &inv);
        if (nf == nullptr) return -1;
        nf->box = r->face_box;
        nf->attrib = r->attrib_b;
        r->attrib_b = nullptr;
        break;
    }
    case OP_MVR: {
        Face* f = mdl_face_by_id(s, r->a1);
        if (f == nullptr || mdl_vertex_by_id(s, r->a2) != nullptr) return -1;
        Vertex* v = eu_mvr(f, r->a2, r->point, &inv);
        v->attrib = r->attrib_b;
        r->attrib_b = nullptr;
        break;
    }
    case OP_KVR: {
        Vertex* v = mdl_vertex_by_id(s, r->a2);
        if (v == nullptr || eu_kvr(v, &inv) != -2) return -1;
        break;
    }
    case OP_RINGMV: {
        HalfEdge* h = find_halfedge(s, r->a2, r->a3, r->a4);
        Face* to = mdl_face_by_id(s, r->a1);
        if (h == nullptr || to == nullptr || eu_ringmv(h->loop, to, &inv) != -2) return -1;
        break;
    }
    case OP_SEMV: {
        Edge* e = mdl_edge_by_id(s, r->a5);
        if (e == nullptr || e->he1->vtx->id != r->a2 || e->he2->vtx->id != r->a3 ||
            mdl_vertex_by_id(s, r->a4) != nullptr || mdl_edge_by_id(s, r->edge_id) != nullptr)
            return -1;
        Vertex* v = eu_semv(e, r->a4, r->edge_id, r->point, &inv);
        if (v == nullptr) return -1;
        e->attrib = r->attrib_b;
        Edge* ne = mdl_edge_by_id(s, r->edge_id);
        ne->attrib = r->attrib_c;
        if (r->a6 != 0) e->curve_kind = r->a6;
        if (r->curve_kind != 0) ne->curve_kind = r->curve_kind;
        v->attrib = r->attrib_a;
        r->attrib_a = r->attrib_b = r->attrib_c = nullptr;
        break;
    }
    case OP_JEKV: {
        Edge* e1 = mdl_edge_by_id(s, r->a5);
        Edge* e2 = mdl_edge_by_id(s, r->edge_id);
        if (e1 == nullptr || e2 == nullptr) return -1;
        if (eu_jekv(e1, e2, r->geometry, &inv) != -2) return -1;
        r->geometry = nullptr;
        e1->curve_kind = r->curve_kind != 0 ? r->curve_kind : CURVE_LINE;
        e1->box = r->edge_box;
        e1->attrib = r->attrib_b;
        r->attrib_b = nullptr;
        break;
    }
    case OP_DELSOLID:
        if (mdl_op_delete_solid(s) != -2) return -1;
        return -2;
    default:
        return setop_execute(s, r);
    }
    mdl_log(inv);
    return -2;
}

void mdl_counters_from_ids(Solid* s) {
    if (s == nullptr) return;
    s->vertex_counter = s->face_counter = s->edge_counter = 0;
    for (Vertex* v = s->vertices; v; v = v->next)
        if (v->id > s->vertex_counter) s->vertex_counter = v->id;
    for (Face* f = s->faces; f; f = f->next)
        if (f->id > s->face_counter) s->face_counter = f->id;
    for (Edge* e = s->edges; e; e = e->next)
        if (e->id > s->edge_counter) s->edge_counter = e->id;
}
