// The topological operators without recording: each applies its change and
// fills the record of its inverse, which the caller hands on (mdl_log) once
// the hooks that still need the old references have run. Internal to model/.
#pragma once

#include "model/record.h"

int eu_mvfs(Solid* s, int32_t fid, int32_t vid, MPoint p, OperatorRecord* inv);
int eu_kvfs(Solid* s, OperatorRecord* inv);
Edge* eu_mev(HalfEdge* h1, HalfEdge* h2, int32_t vid, int32_t eid, MPoint p, OperatorRecord* inv);
int eu_kev(Edge* e, Vertex* v, OperatorRecord* inv);
// Without `boxes` the new edge's and face's boxes are left for the caller
// (a record that carries them).
Edge* eu_mef(HalfEdge* c1, HalfEdge* c2, int32_t fid, int32_t eid, OperatorRecord* inv,
             bool boxes = true);
int eu_kef(Edge* e, Face* fkill, OperatorRecord* inv);
Edge* eu_mekr(HalfEdge* c1, HalfEdge* c2, int32_t eid, OperatorRecord* inv);
int eu_kemr(HalfEdge* h, int new_loop_is_outer, OperatorRecord* inv);
Face* eu_mfkrh(Loop* ring, int32_t fid, OperatorRecord* inv);
int eu_kfmrh(Face* fkill, Face* into, OperatorRecord* inv);
Vertex* eu_mvr(Face* f, int32_t vid, MPoint p, OperatorRecord* inv);
int eu_kvr(Vertex* v, OperatorRecord* inv);
int eu_ringmv(Loop* l, Face* to, OperatorRecord* inv);
Vertex* eu_semv(Edge* e, int32_t vid, int32_t eid, MPoint p, OperatorRecord* inv);
int eu_jekv(Edge* e1, Edge* e2, EdgeCurve* joined, OperatorRecord* inv);
// Exchanges the half-edges of e when its first one does not start at start_vid.
void eu_orient(Edge* e, int32_t start_vid);
