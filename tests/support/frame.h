// Shared set-up of the tests that build frames: a clean frame model with the
// attribute hooks, members inserted through the model's own editing, and the
// look-ups of nodes and members by position.
#pragma once

#include "attrib/attrib.h"
#include "model/model.h"

#include <gtest/gtest.h>

namespace kestrel_test {

class FrameFixture : public ::testing::Test {
protected:
    void SetUp() override {
        mdl_reset();
        attrib::state().reset();
        mdl_register_hooks(&attrib::hooks());
        mdl_set_tolerance(1e-3);
        s = mdl_new_model();
    }
    void TearDown() override {
        mdl_reset();
        attrib::state().reset();
    }
    // One member from (x1, y1) to (x2, y2) as one undo step; the first member
    // of an empty model starts where its first end is.
    void line(double x1, double y1, double x2, double y2) {
        const MPoint p[2] = {{x1, y1}, {x2, y2}};
        mdl_begin_group();
        if (mdl_is_empty(s)) mdl_move_vertex(s->vertices, p[0]);
        ASSERT_EQ(mdl_insert_points(s, CURVE_LINE, p, 2), -2);
        mdl_end_group();
    }
    Vertex* node(double x, double y) {
        MPoint p{x, y};
        return mdl_find_vertex_at(s, &p);
    }
    Edge* member(double x, double y) { return mdl_find_edge_at(s, {x, y}, 1e-3); }

    Solid* s = nullptr;
};

} // namespace kestrel_test
