// The set operators (op codes 17 to 23): vertex position, edge geometry,
// face box, the three attribute setters and the edge reversal. Internal to
// model/; the public entry points with the undo step rules are in model.h.
#pragma once

#include "model/record.h"

int setop_vertex_position(Vertex* v, MPoint p);
int setop_edge_geometry(Edge* e, EdgeCurve* g, const MBox* box);
int setop_face_box(Face* f, MBox box);
int setop_vertex_attrib(Vertex* v, AttribRef ref);
int setop_edge_attrib(Edge* e, AttribRef ref);
int setop_face_attrib(Face* f, AttribRef ref);
int setop_reverse(Edge* e);
// Executes a record of op codes 17 to 23.
int setop_execute(Solid* s, OperatorRecord* r);
