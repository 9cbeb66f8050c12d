// Edge insertion between vertices and the corner search by pseudo-angle.
// Internal to model/ (the public entry points are in model/model.h).
#pragma once

#include "model/entities.h"

#include <vector>

Edge* con_mev(Vertex* v1, MPoint p2, int32_t kind, const std::vector<MPoint>& inner, Vertex** nv);
Edge* con_between(Vertex* v1, Vertex* v2, int32_t kind, const std::vector<MPoint>& inner);
