// Insertion helpers shared by the point, curve and deletion code (no undo
// step of their own). Internal to model/.
#pragma once

#include "model/entities.h"

bool ins_coincide(MPoint a, MPoint b);
Vertex* ins_split_edge(Edge* e, MPoint p);
Vertex* ins_point(Solid* s, MPoint p);
Vertex* ins_move_dummy(Solid* s, MPoint p);
