// The topological operators. Each applies one change to the half-edge
// structure and fills the record of its inverse (ids only, plus the geometry,
// boxes and attribute references that the inverse needs to rebuild what was
// removed); the mdl_op_* entry points hand that record on by the mode.
#include "model/euler.h"

#include "model/internal.h"

static HalfEdge* alloc_halfedge(Edge* e, Vertex* v) {
    HalfEdge* h = mdl_alloc<HalfEdge>();
    h->edge = e;
    h->vtx = v;
    return h;
}

static void set_cycle_loop(HalfEdge* start, Loop* l) {
    HalfEdge* h = start;
    do {
        h->loop = l;
        h = h->next;
    } while (h != start);
}

static int32_t face_id_of(const HalfEdge* h) {
    return h->loop->face->id;
}

static int32_t next_vid(const HalfEdge* h) {
    return h->next->vtx->id;
}

static OperatorRecord blank(int16_t op, const Solid* s) {
    OperatorRecord r{};
    r.op = op;
    r.solid_id = s->id;
    return r;
}

// Links a new edge between corner c1 (at v1) and corner c2 (at v2; none when
// v2 is a new vertex). Lone half-edges of isolated vertices are replaced.
// Returns the half-edge v1->v2; the other is its mate. Loop pointers are not set.
static HalfEdge* link_edge(Edge* e, HalfEdge* c1, HalfEdge* c2, Vertex* v2) {
    Vertex* v1 = c1->vtx;
    HalfEdge* a = alloc_halfedge(e, v1);
    HalfEdge* b = alloc_halfedge(e, v2);
    bool lone1 = c1->edge == nullptr;
    bool lone2 = c2 == nullptr || c2->edge == nullptr;
    HalfEdge* p1 = lone1 ? b : c1->prev;
    HalfEdge* n1 = lone1 ? a : c1;
    HalfEdge* p2 = lone2 ? a : c2->prev;
    HalfEdge* n2 = lone2 ? b : c2;
    p1->next = a;
    a->prev = p1;
    a->next = n2;
    n2->prev = a;
    p2->next = b;
    b->prev = p2;
    b->next = n1;
    n1->prev = b;
    e->he1 = a;
    e->he2 = b;
    if (lone1) {
        v1->vedge = a;
        if (c1->loop->first == c1) c1->loop->first = a;
        mdl_free(c1);
    }
    if (c2 != nullptr && lone2) {
        if (c2->loop->first == c2) c2->loop->first = b;
        mdl_free(c2);
    }
    if (v2->vedge == nullptr || lone2) v2->vedge = b;
    return a;
}

// After removing half-edge h that started at v, point v at another half-edge.
static void vedge_after_removal(Vertex* v, HalfEdge* removed, HalfEdge* replacement) {
    if (v->vedge == removed) v->vedge = replacement;
}

static void orient(Edge* e, int32_t start_vid) {
    if (start_vid != 0 && e->he1->vtx->id != start_vid && e->he2->vtx->id == start_vid) {
        HalfEdge* t = e->he1;
        e->he1 = e->he2;
        e->he2 = t;
    }
}

static void fill_edge_fields(OperatorRecord* r, Edge* e) {
    r->edge_id = e->id;
    r->geometry = e->geometry;
    r->curve_kind = e->curve_kind;
    r->edge_box = e->box;
    r->attrib_b = e->attrib;
    r->a7 = e->he1->vtx->id;
    e->geometry = nullptr;
    e->attrib = nullptr;
}

// ---- mvfs / kvfs --------------------------------------------------------------

int eu_mvfs(Solid* s, int32_t fid, int32_t vid, MPoint p, OperatorRecord* inv) {
    if (s->faces != nullptr || s->vertices != nullptr) return -1;
    Face* f = new_face(s, fid);
    Loop* l = new_loop(f);
    Vertex* v = new_vertex(s, vid, p);
    new_lone_halfedge(l, v);
    f->box = unbounded_box();
    *inv = blank(OP_KVFS, s);
    return -2;
}

int eu_kvfs(Solid* s, OperatorRecord* inv) {
    Face* f = s->faces;
    Vertex* v = s->vertices;
    if (f == nullptr || v == nullptr || f->next != nullptr || v->next != nullptr ||
        s->edges != nullptr || f->loops == nullptr || f->loops->next != nullptr)
        return -1;
    *inv = blank(OP_MVFS, s);
    inv->a1 = f->id;
    inv->a2 = v->id;
    inv->a3 = s->face_counter;
    inv->a4 = s->vertex_counter;
    inv->a5 = s->edge_counter;
    inv->point = MPoint{v->x, v->y};
    inv->face_box = f->box;
    inv->attrib_a = s->attrib;
    inv->attrib_b = v->attrib;
    inv->attrib_c = f->attrib;
    s->attrib = nullptr;
    Loop* l = f->loops;
    mdl_free(l->first);
    del_loop(l);
    del_vertex(s, v);
    del_face(s, f);
    return -2;
}

// ---- mev / kev ------------------------------------------------------------------

Edge* eu_mev(HalfEdge* h1, HalfEdge* h2, int32_t vid, int32_t eid, MPoint p, OperatorRecord* inv) {
    if (h1 != h2) return nullptr; // a vertex is never split in a plane frame
    Solid* s = h1->loop->face->solid;
    Vertex* nv = new_vertex(s, vid, p);
    Edge* e = new_edge(s, eid);
    Loop* l = h1->loop;
    HalfEdge* a = link_edge(e, h1, nullptr, nv);
    a->loop = l;
    mate(a)->loop = l;
    e->box = mdl_curve_ops(e->curve_kind)->box(e);
    *inv = blank(OP_KEV, s);
    inv->a1 = l->face->id;
    inv->a2 = a->vtx->id;
    inv->a3 = nv->id;
    inv->edge_id = e->id;
    return e;
}

int eu_kev(Edge* e, Vertex* v, OperatorRecord* inv) {
    HalfEdge* hv = e->he1->vtx == v ? e->he1 : (e->he2->vtx == v ? e->he2 : nullptr);
    if (hv == nullptr) return -1;
    HalfEdge* hw = mate(hv);
    if (hw->next != hv || hv->vtx == hw->vtx) return -1; // v must dangle
    Vertex* w = hw->vtx;
    Loop* l = hv->loop;
    Solid* s = l->face->solid;
    *inv = blank(OP_MEV, s);
    inv->point = MPoint{v->x, v->y};
    inv->attrib_c = v->attrib;
    inv->a6 = v->id;
    fill_edge_fields(inv, e);
    HalfEdge* corner;
    if (hv->next == hw) { // the edge stands alone: w is left isolated
        corner = new_lone_halfedge(l, w);
    } else {
        HalfEdge* pr = hw->prev;
        HalfEdge* nx = hv->next;
        pr->next = nx;
        nx->prev = pr;
        if (l->first == hv || l->first == hw) l->first = nx;
        vedge_after_removal(w, hw, nx);
        corner = nx;
    }
    inv->a1 = inv->a2 = l->face->id;
    inv->a3 = w->id;
    inv->a4 = inv->a5 = next_vid(corner);
    mdl_free(hv);
    mdl_free(hw);
    del_edge(s, e);
    del_vertex(s, v);
    return -2;
}

// ---- mef / kef ------------------------------------------------------------------

Edge* eu_mef(HalfEdge* c1, HalfEdge* c2, int32_t fid, int32_t eid, OperatorRecord* inv,
             bool boxes) {
    if (c1 == c2 || c1->loop != c2->loop || c1->edge == nullptr) return nullptr;
    Loop* l = c1->loop;
    Face* f = l->face;
    Solid* s = f->solid;
    Edge* e = new_edge(s, eid);
    HalfEdge* a = link_edge(e, c1, c2, c2->vtx);
    HalfEdge* b = mate(a);
    Face* nf = new_face(s, fid);
    Loop* nl = new_loop(nf);
    nf->outer = nl;
    nl->first = b;
    set_cycle_loop(b, nl);
    a->loop = l;
    l->first = a;
    if (boxes) {
        e->box = mdl_curve_ops(e->curve_kind)->box(e);
        nf->box = loop_box(nl);
    }
    *inv = blank(OP_KEF, s);
    inv->a1 = f->id;
    inv->a2 = a->vtx->id;
    inv->a3 = b->vtx->id;
    inv->a6 = nf->id;
    inv->edge_id = e->id;
    return e;
}

int eu_kef(Edge* e, Face* fkill, OperatorRecord* inv) {
    HalfEdge* hk =
        e->he1->loop->face == fkill ? e->he1 : (e->he2->loop->face == fkill ? e->he2 : nullptr);
    if (hk == nullptr) return -1;
    HalfEdge* hs = mate(hk);
    Loop* lk = hk->loop;
    Loop* ls = hs->loop;
    Face* fs = ls->face;
    if (fs == fkill || fkill->loops != lk || lk->next != nullptr) return -1;
    Solid* s = fs->solid;
    HalfEdge* c1 = hk->next;
    HalfEdge* c2 = hs->next;
    *inv = blank(OP_MEF, s);
    fill_edge_fields(inv, e);
    inv->a1 = fs->id;
    inv->a6 = fkill->id;
    inv->face_box = fkill->box;
    inv->attrib_c = fkill->attrib;
    // Merge the two cycles: hs->prev continues at c1, hk->prev continues at c2.
    HalfEdge* ps = hs->prev;
    HalfEdge* pk = hk->prev;
    ps->next = c1;
    c1->prev = ps;
    pk->next = c2;
    c2->prev = pk;
    set_cycle_loop(c1, ls);
    if (ls->first == hs) ls->first = c1;
    vedge_after_removal(hk->vtx, hk, c2);
    vedge_after_removal(hs->vtx, hs, c1);
    inv->a2 = c1->vtx->id;
    inv->a3 = next_vid(c1);
    inv->a4 = c2->vtx->id;
    inv->a5 = next_vid(c2);
    mdl_free(hk);
    mdl_free(hs);
    del_edge(s, e);
    lk->first = nullptr;
    del_loop(lk);
    del_face(s, fkill);
    return -2;
}

// ---- mekr / kemr -----------------------------------------------------------------

Edge* eu_mekr(HalfEdge* c1, HalfEdge* c2, int32_t eid, OperatorRecord* inv) {
    Loop* l1 = c1->loop;
    Loop* l2 = c2->loop;
    if (l1 == l2 || l1->face != l2->face) return nullptr;
    Face* f = l1->face;
    Solid* s = f->solid;
    bool l2_outer = f->outer == l2;
    Edge* e = new_edge(s, eid);
    HalfEdge* a = link_edge(e, c1, c2, c2->vtx);
    set_cycle_loop(a, l1);
    l1->first = a;
    l2->first = nullptr;
    del_loop(l2);
    if (l2_outer) f->outer = l1;
    e->box = mdl_curve_ops(e->curve_kind)->box(e);
    *inv = blank(OP_KEMR, s);
    inv->a1 = f->id;
    inv->a2 = a->vtx->id;
    inv->a3 = mate(a)->vtx->id;
    inv->a4 = l2_outer ? 1 : 0;
    inv->edge_id = e->id;
    return e;
}

int eu_kemr(HalfEdge* h, int new_loop_is_outer, OperatorRecord* inv) {
    Edge* e = h->edge;
    if (e == nullptr) return -1;
    HalfEdge* m = mate(h);
    Loop* l1 = h->loop;
    if (m->loop != l1 || h->vtx == m->vtx) return -1;
    Face* f = l1->face;
    Solid* s = f->solid;
    Vertex* v1 = h->vtx;
    Vertex* v2 = m->vtx;
    HalfEdge* p1 = h->prev;
    HalfEdge* n2 = h->next;
    HalfEdge* p2 = m->prev;
    HalfEdge* n1 = m->next;
    *inv = blank(OP_MEKR, s);
    fill_edge_fields(inv, e);
    Loop* l2 = new_loop(f);
    HalfEdge* c1;
    HalfEdge* c2;
    if (n2 == m) {
        c2 = new_lone_halfedge(l2, v2);
    } else {
        p2->next = n2;
        n2->prev = p2;
        c2 = n2;
        l2->first = n2;
        set_cycle_loop(n2, l2);
        vedge_after_removal(v2, m, n2);
    }
    if (n1 == h) {
        c1 = new_lone_halfedge(l1, v1);
    } else {
        p1->next = n1;
        n1->prev = p1;
        c1 = n1;
        l1->first = n1;
        vedge_after_removal(v1, h, n1);
    }
    if (new_loop_is_outer) f->outer = l2;
    inv->a1 = f->id;
    inv->a2 = v1->id;
    inv->a3 = next_vid(c1);
    inv->a4 = v2->id;
    inv->a5 = next_vid(c2);
    mdl_free(h);
    mdl_free(m);
    del_edge(s, e);
    return -2;
}

// ---- mfkrh / kfmrh -----------------------------------------------------------------

Face* eu_mfkrh(Loop* ring, int32_t fid, OperatorRecord* inv) {
    Face* f = ring->face;
    if (f->outer == ring) return nullptr;
    Solid* s = f->solid;
    Face* nf = new_face(s, fid);
    unlink_loop(ring);
    link_loop(ring, nf);
    nf->outer = ring;
    nf->box = loop_box(ring);
    *inv = blank(OP_KFMRH, s);
    inv->a1 = nf->id;
    inv->a2 = f->id;
    return nf;
}

int eu_kfmrh(Face* fkill, Face* into, OperatorRecord* inv) {
    Loop* l = fkill->loops;
    if (fkill == into || l == nullptr || l->next != nullptr || fkill->outer != l) return -1;
    Solid* s = fkill->solid;
    *inv = blank(OP_MFKRH, s);
    inv->a1 = into->id;
    inv->a2 = l->first->vtx->id;
    inv->a3 = next_vid(l->first);
    inv->a6 = fkill->id;
    inv->face_box = fkill->box;
    inv->attrib_b = fkill->attrib;
    unlink_loop(l);
    link_loop(l, into);
    del_face(s, fkill);
    return -2;
}

// ---- mvr / kvr / ringmv --------------------------------------------------------------

Vertex* eu_mvr(Face* f, int32_t vid, MPoint p, OperatorRecord* inv) {
    Solid* s = f->solid;
    Vertex* v = new_vertex(s, vid, p);
    Loop* l = new_loop(f);
    new_lone_halfedge(l, v);
    *inv = blank(OP_KVR, s);
    inv->a1 = f->id;
    inv->a2 = v->id;
    return v;
}

int eu_kvr(Vertex* v, OperatorRecord* inv) {
    HalfEdge* h = v->vedge;
    if (h == nullptr || h->edge != nullptr) return -1;
    Loop* l = h->loop;
    Face* f = l->face;
    Solid* s = f->solid;
    if (f->outer == l || (s->vertices == v && v->next == nullptr)) return -1;
    *inv = blank(OP_MVR, s);
    inv->a1 = f->id;
    inv->a2 = v->id;
    inv->point = MPoint{v->x, v->y};
    inv->attrib_b = v->attrib;
    mdl_free(h);
    l->first = nullptr;
    del_loop(l);
    del_vertex(s, v);
    return -2;
}

int eu_ringmv(Loop* l, Face* to, OperatorRecord* inv) {
    Face* from = l->face;
    if (from == to || from->outer == l) return -1;
    *inv = blank(OP_RINGMV, from->solid);
    inv->a1 = from->id; // the face the ring goes back to
    inv->a2 = to->id;   // the face that holds it then
    inv->a3 = l->first->vtx->id;
    inv->a4 = next_vid(l->first);
    unlink_loop(l);
    link_loop(l, to);
    return -2;
}

// ---- semv / jekv ------------------------------------------------------------------------

Vertex* eu_semv(Edge* e, int32_t vid, int32_t eid, MPoint p, OperatorRecord* inv) {
    const CurveKindOps* ops = mdl_curve_ops(e->curve_kind);
    HalfEdge* a = e->he1;
    HalfEdge* b = e->he2;
    Vertex* v1 = a->vtx;
    Vertex* v2 = b->vtx;
    EdgeCurve* g1 = nullptr;
    EdgeCurve* g2 = nullptr;
    if (ops->split(MPoint{v1->x, v1->y}, e->geometry, MPoint{v2->x, v2->y}, p, &g1, &g2) != -2)
        return nullptr;
    Solid* s = a->loop->face->solid;
    *inv = blank(OP_JEKV, s);
    inv->a1 = face_id_of(a);
    inv->a2 = v1->id;
    inv->a3 = vid;
    inv->a5 = e->id;
    inv->edge_id = eid;
    inv->geometry = e->geometry;
    inv->curve_kind = e->curve_kind;
    inv->edge_box = e->box;
    inv->attrib_b = e->attrib;
    e->attrib = nullptr;
    Vertex* nv = new_vertex(s, vid, p);
    Edge* ne = new_edge(s, eid);
    ne->curve_kind = e->curve_kind;
    HalfEdge* a2 = alloc_halfedge(ne, nv);
    HalfEdge* b2 = alloc_halfedge(ne, v2);
    // a2 follows a in a's loop; b2 precedes b in b's loop, and b now starts at nv.
    a2->loop = a->loop;
    a2->next = a->next;
    a2->prev = a;
    a->next->prev = a2;
    a->next = a2;
    b2->loop = b->loop;
    b2->prev = b->prev;
    b2->next = b;
    b->prev->next = b2;
    b->prev = b2;
    b->vtx = nv;
    vedge_after_removal(v2, b, b2);
    nv->vedge = a2;
    ne->he1 = a2;
    ne->he2 = b2;
    e->geometry = g1;
    ne->geometry = g2;
    e->box = ops->box(e);
    ne->box = ops->box(ne);
    return nv;
}

int eu_jekv(Edge* e1, Edge* e2, EdgeCurve* joined, OperatorRecord* inv) {
    HalfEdge* a = e1->he1;
    HalfEdge* b = e1->he2;
    HalfEdge* a2 = e2->he1;
    HalfEdge* b2 = e2->he2;
    Vertex* v = b->vtx;
    if (a2->vtx != v || a->next != a2 || b2->next != b || a->vtx == b2->vtx) return -1;
    Vertex* v1 = a->vtx;
    Vertex* v2 = b2->vtx;
    Solid* s = a->loop->face->solid;
    *inv = blank(OP_SEMV, s);
    inv->a1 = face_id_of(a);
    inv->a2 = v1->id;
    inv->a3 = v2->id;
    inv->a4 = v->id;
    inv->a5 = e1->id;
    inv->edge_id = e2->id;
    inv->point = MPoint{v->x, v->y};
    inv->attrib_b = e1->attrib;
    inv->attrib_c = e2->attrib;
    inv->attrib_a = v->attrib;
    inv->curve_kind = e2->curve_kind;
    inv->a6 = static_cast<int32_t>(e1->curve_kind); // the first edge's kind before the join
    e1->attrib = nullptr;
    a->next = a2->next;
    a2->next->prev = a;
    b->prev = b2->prev;
    b2->prev->next = b;
    b->vtx = v2;
    if (a->loop->first == a2) a->loop->first = a;
    if (b->loop->first == b2) b->loop->first = b;
    vedge_after_removal(v2, b2, b);
    const CurveKindOps* ops = mdl_curve_ops(e1->curve_kind);
    ops->release(e1->geometry);
    mdl_curve_ops(e2->curve_kind)->release(e2->geometry);
    e1->geometry = joined;
    mdl_free(a2);
    mdl_free(b2);
    del_edge(s, e2);
    del_vertex(s, v);
    e1->box = ops->box(e1);
    return -2;
}

// ---- Recorded entry points --------------------------------------------------------------

int mdl_op_mvfs(Solid* s, int32_t fid, int32_t vid, MPoint p) {
    OperatorRecord inv;
    if (eu_mvfs(s, fid, vid, p, &inv) != -2) return -1;
    mdl_log(inv);
    return -2;
}

int mdl_op_kvfs(Solid* s) {
    OperatorRecord inv;
    if (eu_kvfs(s, &inv) != -2) return -1;
    mdl_log(inv);
    return -2;
}

Edge* mdl_op_mev(HalfEdge* h1, HalfEdge* h2, int32_t vid, int32_t eid, MPoint p) {
    OperatorRecord inv;
    Edge* e = eu_mev(h1, h2, vid, eid, p, &inv);
    if (e != nullptr) mdl_log(inv);
    return e;
}

int mdl_op_kev(Edge* e, Vertex* v) {
    OperatorRecord inv;
    if (eu_kev(e, v, &inv) != -2) return -1;
    mdl_log(inv);
    return -2;
}

Edge* mdl_op_mef(HalfEdge* c1, HalfEdge* c2, int32_t fid, int32_t eid) {
    OperatorRecord inv;
    Edge* e = eu_mef(c1, c2, fid, eid, &inv);
    if (e != nullptr) mdl_log(inv);
    return e;
}

int mdl_op_kef(Edge* e, Face* fkill) {
    OperatorRecord inv;
    if (eu_kef(e, fkill, &inv) != -2) return -1;
    mdl_log(inv);
    return -2;
}

Edge* mdl_op_mekr(HalfEdge* c1, HalfEdge* c2, int32_t eid) {
    OperatorRecord inv;
    Edge* e = eu_mekr(c1, c2, eid, &inv);
    if (e != nullptr) mdl_log(inv);
    return e;
}

int mdl_op_kemr(HalfEdge* h, int new_loop_is_outer) {
    OperatorRecord inv;
    if (eu_kemr(h, new_loop_is_outer, &inv) != -2) return -1;
    mdl_log(inv);
    return -2;
}

Face* mdl_op_mfkrh(Loop* ring, int32_t fid) {
    OperatorRecord inv;
    Face* f = eu_mfkrh(ring, fid, &inv);
    if (f != nullptr) mdl_log(inv);
    return f;
}

int mdl_op_kfmrh(Face* fkill, Face* into) {
    OperatorRecord inv;
    if (eu_kfmrh(fkill, into, &inv) != -2) return -1;
    mdl_log(inv);
    return -2;
}

Vertex* mdl_op_mvr(Face* f, int32_t vid, MPoint p) {
    OperatorRecord inv;
    Vertex* v = eu_mvr(f, vid, p, &inv);
    if (v != nullptr) mdl_log(inv);
    return v;
}

int mdl_op_kvr(Vertex* v) {
    OperatorRecord inv;
    if (eu_kvr(v, &inv) != -2) return -1;
    mdl_log(inv);
    return -2;
}

int mdl_op_ringmv(Loop* l, Face* to) {
    OperatorRecord inv;
    if (eu_ringmv(l, to, &inv) != -2) return -1;
    mdl_log(inv);
    return -2;
}

Vertex* mdl_op_semv(Edge* e, int32_t vid, int32_t eid, MPoint p) {
    OperatorRecord inv;
    Vertex* v = eu_semv(e, vid, eid, p, &inv);
    if (v == nullptr) return nullptr;
    // The pieces keep the old attribute's place empty; the record holds it.
    mdl_log(inv);
    return v;
}

int mdl_op_jekv(Edge* e1, Edge* e2, EdgeCurve* joined) {
    OperatorRecord inv;
    if (eu_jekv(e1, e2, joined, &inv) != -2) return -1;
    mdl_log(inv);
    return -2;
}

Solid* mdl_op_new_solid(int32_t id) {
    Solid* s = solid_make(id);
    if (id > g_mdl.solid_counter) g_mdl.solid_counter = id;
    OperatorRecord inv = blank(OP_DELSOLID, s);
    mdl_log(inv);
    return s;
}

int mdl_op_delete_solid(Solid* s) {
    if (s->faces != nullptr || s->vertices != nullptr || s->edges != nullptr) return -1;
    OperatorRecord inv = blank(OP_NEWSOLID, s);
    inv.attrib_a = s->attrib;
    s->attrib = nullptr;
    solid_destroy(s);
    mdl_log(inv);
    return -2;
}

void eu_orient(Edge* e, int32_t start_vid) {
    orient(e, start_vid);
}
