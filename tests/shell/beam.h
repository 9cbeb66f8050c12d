// The result tests' frame: a beam of 4 m in two members with a material, a
// section, a pin at x = 0, a roller at x = 4 and 10 kN down at its middle
// node (PL/4 = 10 kNm there).
#pragma once

#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/section.h"
#include "model/model.h"

#include "tests/shell/fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace shelltest {

// Builds the beam into the empty model s; `stable` false leaves the pin free
// to slide, so that the frame is a mechanism.
inline void supportedBeam(Solid* s, bool stable) {
    for (double x : {0.0, 2.0}) {
        const MPoint p[2] = {{x, 0}, {x + 2, 0}};
        mdl_begin_group();
        if (mdl_is_empty(s)) mdl_move_vertex(s->vertices, p[0]);
        ASSERT_EQ(mdl_insert_points(s, CURVE_LINE, p, 2), -2);
        mdl_end_group();
    }
    attrib::AttributeRoot& r = attrib::root();
    attrib::PropertyBlock* m =
        attrib::appendBlock(r, attrib::kMaf, attrib::makeBlock(attrib::kMaf));
    attrib::PropertyBlock* sc =
        attrib::appendBlock(r, attrib::kSpf, attrib::makeBlock(attrib::kSpf));
    attrib::sectionOf(sc)->params = {0.01, 1e-4, 0.2, 0.1};
    attrib::PropertyBlock* f =
        attrib::appendBlock(r, attrib::kNff, attrib::makeBlock(attrib::kNff));
    attrib::valuesOf(f)->values[1] = -10;
    for (Edge* e = s->edges; e; e = e->next) {
        attrib::memberOf(e)->blocks[attrib::kMaterial] = m;
        attrib::memberOf(e)->blocks[attrib::kSection] = sc;
        m->useCount++, sc->useCount++;
    }
    for (Vertex* v = s->vertices; v; v = v->next) {
        attrib::NodeAttrib* a = attrib::nodeOf(v);
        if (v->x == 0) a->support[0] = a->support[1] = stable ? '1' : '0';
        if (v->x == 4) a->support[1] = '1';
        if (v->x == 2) attrib::loadsFor(*a, attrib::activeCase()).force = f, f->useCount++;
    }
}

// A started program with the beam's folder (the test's own) for the model
// and result files.
class BeamTest : public ShellTest {
protected:
    void beam(bool stable = true) { supportedBeam(state().model, stable); }
    // Answers the coming Save As with dir/beam.
    void saveAsBeam() { backend->queueFile(1, (dir / "beam").string()); }
    const std::filesystem::path dir = testFolder();
};

} // namespace shelltest
