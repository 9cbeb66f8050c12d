// The loaded frame of the file and export benchmarks: 100 storeys of 3 m
// and 20 bays of 6 m (2121 nodes, 4100 members), steel, I-shaped columns
// (400 x 200 mm), rectangular beams (300 x 500 mm), 20 kN/m on every beam,
// 5 kN of wind at each left-hand node, fixed at the base. Built through the
// frame model's insertion with undo recording off. With `cases` > 1 the
// further cases "Case 2" ... each load the beams of every (cases - 1)-th
// storey, a different set each, and the last adds the members' own weight.
#pragma once

#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/section.h"
#include "files/modelfile.h"
#include "model/model.h"

#include <string>

namespace bench_support {

constexpr int kLoadedStoreys = 100;
constexpr int kLoadedBays = 20;

// Builds the frame storey by storey: columns, then the floor beam.
inline Solid* buildLoadedFrame(int cases = 1) {
    using namespace attrib;
    mdl_reset();
    state().reset();
    mdl_register_hooks(&hooks());
    mdl_set_tolerance(1e-3);
    Solid* s = mdl_new_model();
    mdl_undo_recording_off();
    for (int i = 0; i < kLoadedStoreys; ++i) {
        for (int c = 0; c <= kLoadedBays; ++c) {
            const MPoint p[2] = {{6.0 * c, 3.0 * i}, {6.0 * c, 3.0 * (i + 1)}};
            mdl_insert_points(s, CURVE_LINE, p, 2);
        }
        const MPoint b[2] = {{0, 3.0 * (i + 1)}, {6.0 * kLoadedBays, 3.0 * (i + 1)}};
        mdl_insert_points(s, CURVE_LINE, b, 2);
    }
    AttributeRoot& r = root();
    PropertyBlock *steel, *col, *beam, *floor, *wind;
    newBlock(r, kMaf, "Steel", &steel);
    valuesOf(steel)->values[kElasticity] = 2.05e8;
    valuesOf(steel)->values[kSpecificWeight] = 77;
    newBlock(r, kSpf, "Column", &col);
    *sectionOf(col) = makeSection(kSecIShape);
    sectionOf(col)->params = {0.4, 0.2, 0.01, 0.016}; // depth, width, web, flange (m)
    newBlock(r, kSpf, "Beam", &beam);
    *sectionOf(beam) = makeSection(kSecRectangle);
    sectionOf(beam)->params = {0.3, 0.5}; // width, depth (m)
    newBlock(r, kUlf, "Floor", &floor);
    valuesOf(floor)->values[1] = -20;
    newBlock(r, kNff, "Wind", &wind);
    valuesOf(wind)->values[0] = 5;
    for (Edge* e = s->edges; e; e = e->next) {
        Vertex *v1, *v2;
        mdl_edge_vertices(e, &v1, &v2);
        const bool horizontal = v1->y == v2->y;
        MemberAttrib* a = memberOf(e);
        a->blocks[kMaterial] = steel;
        a->blocks[kSection] = horizontal ? beam : col;
        steel->useCount++;
        a->blocks[kSection]->useCount++;
        if (horizontal) {
            loadsFor(*a, 1).blocks[kUniform - kEndMoments] = floor;
            floor->useCount++;
        }
    }
    for (Vertex* v = s->vertices; v; v = v->next) {
        NodeAttrib* a = nodeOf(v);
        if (v->y == 0) a->support[0] = a->support[1] = a->support[2] = '1';
        if (v->x == 0 && v->y > 0) {
            loadsFor(*a, 1).force = wind;
            wind->useCount++;
        }
    }
    for (int k = 2; k <= cases; ++k) {
        int id = 0;
        newCase(r, "Case " + std::to_string(k), &id);
        if (k == cases) setSelfWeight(r, id, 1);
        for (Edge* e = s->edges; e; e = e->next) {
            Vertex *v1, *v2;
            mdl_edge_vertices(e, &v1, &v2);
            const int storey = static_cast<int>(v1->y / 3.0 + 0.5) - 1;
            if (v1->y != v2->y || storey % (cases - 1) != k - 2) continue;
            loadsFor(*memberOf(e), id).blocks[kUniform - kEndMoments] = floor;
            floor->useCount++;
        }
    }
    setActiveCase(r, 1);
    return s;
}

// Saves the model as a model file, then releases it and its attributes: for
// the benchmarks that open the file again (another process, a start-up).
inline bool saveAndRelease(Solid* s, const std::string& path) {
    mdl_undo_recording_on(); // the model file writer dismantles in recording mode
    const bool saved = files::saveModelFile(path, s, attrib::root(), attrib::initialSettings()) ==
                       files::SaveStatus::kSaved;
    mdl_reset();
    attrib::state().reset();
    return saved;
}

} // namespace bench_support
