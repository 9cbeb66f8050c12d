// The 100-storey, 20-bay frame of the benchmarks (2,121 nodes, 4,100
// members; other heights on request): 6 m bays, 3.5 m storeys, built through
// the frame model's own operations.
#pragma once

#include "model/model.h"

#include <vector>

namespace bench_support {

constexpr int kStoreys = 100;
constexpr int kBays = 20;
constexpr double kBay = 6.0;    // m
constexpr double kStorey = 3.5; // m

// Columns and beams level by level into the empty model s: each new level is
// a row of columns from the level below, joined by beams (mev for a column,
// mef for a beam). The caller decides about tolerance and undo recording.
inline void buildTallFrame(Solid* s, int storeys = kStoreys) {
    std::vector<Vertex*> below(kBays + 1), row(kBays + 1);
    mdl_move_vertex(s->vertices, MPoint{0, 0});
    below[0] = s->vertices;
    for (int i = 1; i <= kBays; ++i) below[i] = mdl_insert_point(s, MPoint{i * kBay, 0});
    for (int j = 1; j <= storeys; ++j) {
        for (int i = 0; i <= kBays; ++i) {
            Edge* e = mdl_insert_edge_from(below[i], MPoint{i * kBay, j * kStorey}, CURVE_LINE,
                                           nullptr, 0);
            row[i] = e->he2->vtx;
            if (i > 0) mdl_insert_edge_between(row[i - 1], row[i], CURVE_LINE, nullptr, 0);
        }
        below.swap(row);
    }
}

} // namespace bench_support
