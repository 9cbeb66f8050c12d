// Seeded random sequences of operators on a unit grid (edges join
// neighbouring grid points, so the drawing stays planar): every step is
// checked, undone and redone, and undoing everything returns to the empty
// model.
#include "model_fixture.h"

#include <random>
#include <vector>

namespace {

bool connected(Vertex* v, Vertex* w) {
    HalfEdge* h = v->vedge;
    if (h->edge == nullptr) return false;
    HalfEdge* start = h;
    do {
        if (mate(h)->vtx == w) return true;
        h = mate(h)->next;
    } while (h != start);
    return false;
}

Vertex* random_vertex(Solid* s, std::mt19937& rng) {
    if (s->vertex_counter == 0) return nullptr;
    for (int tries = 0; tries < 20; ++tries) {
        int id = std::uniform_int_distribution<int>(1, s->vertex_counter)(rng);
        if (Vertex* v = mdl_vertex_by_id(s, static_cast<int32_t>(id))) return v;
    }
    return s->vertices;
}

Edge* random_edge(Solid* s, std::mt19937& rng) {
    if (s->edges == nullptr) return nullptr;
    for (int tries = 0; tries < 20; ++tries) {
        int id = std::uniform_int_distribution<int>(1, s->edge_counter)(rng);
        if (Edge* e = mdl_edge_by_id(s, static_cast<int32_t>(id))) return e;
    }
    return s->edges;
}

// One random step; returns true when it changed the model.
bool random_step(Solid* s, std::mt19937& rng) {
    std::uniform_int_distribution<int> coord(0, 6);
    int kind = std::uniform_int_distribution<int>(0, 9)(rng);
    switch (kind) {
    case 0:
    case 1: {
        MPoint p{static_cast<double>(coord(rng)), static_cast<double>(coord(rng))};
        MPoint q = p;
        if (mdl_find_vertex_at(s, &q) != nullptr) return false;
        return pt(s, p.x, p.y) != nullptr;
    }
    case 2:
    case 3:
    case 4: {
        Vertex* v = random_vertex(s, rng);
        if (v == nullptr || v->x > 100) return false;
        static const int dx[4] = {1, 0, -1, 0}, dy[4] = {0, 1, 0, -1};
        int d = std::uniform_int_distribution<int>(0, 3)(rng);
        MPoint t{v->x + dx[d], v->y + dy[d]};
        if (t.x < 0 || t.x > 6 || t.y < 0 || t.y > 6) return false;
        MPoint q = t;
        Vertex* w = mdl_find_vertex_at(s, &q);
        if (w == nullptr) return arm(v, t.x, t.y) != nullptr;
        if (connected(v, w)) return false;
        return seg(v, w) != nullptr;
    }
    case 5: { // kev of a dangling member
        Edge* e = random_edge(s, rng);
        if (e == nullptr) return false;
        Vertex* end = nullptr;
        if (e->he1->next == e->he2)
            end = e->he2->vtx;
        else if (e->he2->next == e->he1)
            end = e->he1->vtx;
        if (end == nullptr) return false;
        mdl_begin_step();
        return mdl_op_kev(e, end) == -2;
    }
    case 6: { // kef of a face without rings
        Edge* e = random_edge(s, rng);
        if (e == nullptr) return false;
        for (HalfEdge* h : {e->he1, e->he2}) {
            Face* f = h->loop->face;
            if (f->outer == h->loop && f->loops == f->outer && f->outer->next == nullptr &&
                mate(h)->loop->face != f) {
                Face* keep = mate(h)->loop->face;
                mdl_begin_group(); // the surviving face's box grows in the same step
                mdl_begin_step();
                int rc = mdl_op_kef(e, f);
                if (keep->outer != nullptr) mdl_recompute_face_box(keep);
                mdl_end_group();
                return rc == -2;
            }
        }
        return false;
    }
    case 7: { // kvr of an isolated node
        Vertex* v = random_vertex(s, rng);
        if (v == nullptr || v->vedge->edge != nullptr || s->vertices->next == nullptr) return false;
        mdl_begin_step();
        return mdl_op_kvr(v) == -2;
    }
    case 8: {
        Edge* e = random_edge(s, rng);
        if (e == nullptr) return false;
        return mdl_reverse_edge(e) == -2;
    }
    default: {
        Vertex* v = random_vertex(s, rng);
        if (v == nullptr) return false;
        mdl_begin_group(); // attribute changes of one command form one step
        mdl_set_vertex_attrib(v, make_attr(KIND_VERTEX));
        if (Edge* e = random_edge(s, rng)) mdl_set_edge_attrib(e, make_attr(KIND_EDGE));
        mdl_end_group();
        return true;
    }
    }
}

} // namespace

class RandomOps : public ModelTest, public ::testing::WithParamInterface<int> {};

TEST_P(RandomOps, UndoEverythingAndRedoEachStep) {
    std::mt19937 rng(static_cast<unsigned>(GetParam()));
    std::vector<std::string> dumps{dump(s)};
    while (dumps.size() < 450) {
        if (!random_step(s, rng)) continue;
        ASSERT_EQ(mdl_check(s), "") << "step " << dumps.size() << "\n"
                                    << dumps.back() << "=====\n"
                                    << dump(s);
        dumps.push_back(dump(s));
    }
    for (size_t i = dumps.size() - 1; i > 0; --i) {
        ASSERT_EQ(mdl_undo(), -2) << i;
        ASSERT_EQ(dump(s), dumps[i - 1]) << "undo of step " << i;
        ASSERT_EQ(mdl_redo(), -2);
        ASSERT_EQ(dump(s), dumps[i]) << "redo of step " << i;
        ASSERT_EQ(mdl_undo(), -2);
        ASSERT_EQ(mdl_check(s), "") << "after undo of step " << i << "\n"
                                    << dumps[i] << dumps[i - 1];
    }
    EXPECT_EQ(mdl_undo(), -1);
    EXPECT_EQ(dump(s), dumps[0]);
    EXPECT_EQ(mdl_is_empty(s), 1);
    // Save and replay the final model of a fresh run of the same seed.
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomOps, ::testing::Values(1, 2, 3, 4, 5, 6, 7));

TEST_F(ModelTest, RandomModelsSurviveSaveAndReplay) {
    for (int seed = 11; seed < 16; ++seed) {
        std::mt19937 rng(static_cast<unsigned>(seed));
        for (int n = 0; n < 300;) n += random_step(s, rng) ? 1 : 0;
        std::string before = mdl_dump(s, true);
        mdl_save_dismantle(s);
        ASSERT_EQ(mdl_save_replay(), s);
        ASSERT_EQ(mdl_dump(s, true), before) << seed;
        ASSERT_EQ(mdl_check(s), "");
    }
}
