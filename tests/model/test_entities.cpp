// Entities, ids, finders and the empty model.
#include "model/internal.h"
#include "model_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <cmath>

TEST_F(ModelTest, NewModelHoldsOnlyTheDummyVertex) {
    ASSERT_NE(s, nullptr);
    ASSERT_NE(s->vertices, nullptr);
    EXPECT_EQ(s->vertices->next, nullptr);
    EXPECT_EQ(s->vertices->x, 1e30);
    EXPECT_EQ(s->vertices->y, -1e30);
    EXPECT_EQ(s->edges, nullptr);
    EXPECT_EQ(mdl_is_empty(s), 1);
    EXPECT_EQ(mdl_recording_mode(), MODE_UNDO);
    EXPECT_EQ(mdl_can_undo(), 0); // the dummy vertex is not undoable
    ASSERT_NE(s->faces, nullptr);
    EXPECT_EQ(s->faces->outer, nullptr);
    const MBox& box = s->faces->box;
    EXPECT_EQ((std::vector<double>{box.xmin, box.xmax, box.ymin, box.ymax}),
              (std::vector<double>{-1e30, 1e30, -1e30, 1e30}));
    EXPECT_EQ(mdl_check(s), "");
}

TEST_F(ModelTest, FirstPointMovesTheDummyVertexAndIsUndoable) {
    Vertex* dummy = s->vertices;
    Vertex* v = pt(s, 2.0, 3.0);
    EXPECT_EQ(v, dummy);
    EXPECT_EQ(v->x, 2.0);
    EXPECT_EQ(v->y, 3.0);
    EXPECT_EQ(mdl_is_empty(s), 0);
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(mdl_is_empty(s), 1);
    pt(s, 1e30, -1e30 + 1e20); // emptiness needs the exact dummy position
    EXPECT_EQ(mdl_is_empty(s), 0);
}

TEST_F(ModelTest, NewEntitiesGoToTheHeadAndTakeCounterIds) {
    Vertex* a = pt(s, 0, 0);
    Vertex* b = pt(s, 5, 0);
    Vertex* c = pt(s, 5, 5);
    EXPECT_EQ(s->vertices, c);
    EXPECT_EQ(a->id, 1);
    EXPECT_EQ(b->id, 2);
    EXPECT_EQ(c->id, 3);
    Edge* e = seg(a, b);
    EXPECT_EQ(e->id, 1);
    EXPECT_EQ(e->he1->vtx, a); // orientation: end 1 is where the edge was drawn from
    EXPECT_EQ(e->he2->vtx, b);
    Edge* e2 = seg(c, b);
    EXPECT_EQ(s->edges, e2);
    EXPECT_EQ(s->vertex_counter, 3);
    EXPECT_EQ(s->edge_counter, 2);
    // Counters never go back: an undone edge's id is not given again.
    ASSERT_EQ(mdl_undo(), -2);
    Edge* e3 = seg(c, a);
    EXPECT_EQ(e3->id, 3);
    Vertex *v1, *v2;
    mdl_edge_vertices(e3, &v1, &v2);
    EXPECT_EQ(v1, c);
    EXPECT_EQ(v2, a);
}

TEST_F(ModelTest, VertexLookupIsAStrictBoxTest) {
    mdl_set_tolerance(0.1);
    pt(s, 1.0, 1.0);
    MPoint p{1.0 + 0.09,
             1.0 - 0.09}; // 0.9 of the tolerance in both: outside a circle, inside the box
    Vertex* v = mdl_find_vertex_at(s, &p);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(p.x, 1.0); // replaced by the vertex's coordinates
    EXPECT_EQ(p.y, 1.0);
    MPoint edge{1.1, 1.0}; // exactly at the tolerance: strict test fails
    EXPECT_EQ(mdl_find_vertex_at(s, &edge), nullptr);
    EXPECT_EQ(edge.x, 1.1);
    MPoint any{0.95, 1.05};
    EXPECT_NE(mdl_find_vertex_at(nullptr, &any), nullptr); // all solids
}

TEST_F(ModelTest, FaceContainingPointIsTheInnermost) {
    Edge* outer = square(s, 0, 0, 10, 10);
    Face* big = outer->he1->loop->face->outer ? outer->he1->loop->face : outer->he2->loop->face;
    Edge* inner = square(s, 4, 4, 6, 6);
    Face* small = inner->he1->loop->face->outer == inner->he1->loop ? inner->he1->loop->face
                                                                    : inner->he2->loop->face;
    EXPECT_NE(big, small);
    EXPECT_EQ(mdl_find_face_containing(s, MPoint{5, 5}), small);
    EXPECT_EQ(mdl_find_face_containing(s, MPoint{1, 1}), big);
    Face* unbounded = mdl_find_face_containing(s, MPoint{20, 20});
    EXPECT_EQ(unbounded->outer, nullptr);
    // The inner square is a ring of the big face.
    int rings = 0;
    for (Loop* l = big->loops; l; l = l->next)
        if (l != big->outer) ++rings;
    EXPECT_EQ(rings, 1);
    EXPECT_EQ(mdl_check(s), "");
}

TEST_F(ModelTest, PseudoAnglesAndTurns) {
    const double rows[][3] = {{1, 0, 0}, {0, 3, 2},  {-2, 0, 4},   {0, -1, -2},
                              {1, 1, 1}, {-1, 1, 3}, {-1, -1, -3}, {0, 0, 0}};
    for (const auto& r : rows)
        EXPECT_DOUBLE_EQ(mdl_pseudo_angle(MPoint{r[0], r[1]}), r[2]) << r[0] << " " << r[1];
    // Monotonic over a full counter-clockwise sweep from -x (below) to -x.
    double prev = -4.0;
    for (int i = 1; i < 360; ++i) {
        double a = (-180.0 + i) * 3.14159265358979 / 180.0;
        double p = mdl_pseudo_angle(MPoint{std::cos(a), std::sin(a)});
        EXPECT_GT(p, prev) << i;
        prev = p;
    }
    EXPECT_DOUBLE_EQ(mdl_turn(MPoint{1, 0}, MPoint{0, 1}), 2.0);
    EXPECT_DOUBLE_EQ(mdl_turn(MPoint{1, 0}, MPoint{0, -1}), -2.0);
    // Across the -x direction the turn wraps: a small counter-clockwise turn.
    EXPECT_NEAR(mdl_turn(MPoint{-1, 0.5}, MPoint{-1, -0.5}), 1.0, 1e-12);
    EXPECT_NEAR(mdl_turn(MPoint{-1, -0.5}, MPoint{-1, 0.5}), -1.0, 1e-12);
}

TEST_F(ModelTest, CornerIsTheFirstEdgeClockwise) {
    Vertex* o = pt(s, 0, 0);
    Edge* east = arm(o, 1, 0);
    Edge* north = arm(o, 0, 1);
    Edge* west = arm(o, -1, 0);
    auto from_o = [&](Edge* e) { return e->he1->vtx == o ? e->he1 : e->he2; };
    EXPECT_EQ(mdl_corner_at(o, MPoint{1, 1}), from_o(east));
    EXPECT_EQ(mdl_corner_at(o, MPoint{-1, 1}), from_o(north));
    EXPECT_EQ(mdl_corner_at(o, MPoint{0, -1}), from_o(west));
    EXPECT_EQ(mdl_corner_at(o, MPoint{1, -1}), from_o(west));
    EXPECT_EQ(mdl_check(s), "");
}

TEST_F(ModelTest, IdLookupsUseTheIndexAndFailCleanly) {
    Vertex* a = pt(s, 0, 0);
    Vertex* b = pt(s, 1, 0);
    Edge* e = seg(a, b);
    EXPECT_EQ(mdl_vertex_by_id(s, a->id), a);
    EXPECT_EQ(mdl_edge_by_id(s, e->id), e);
    EXPECT_EQ(mdl_vertex_by_id(s, 999), nullptr);
    EXPECT_EQ(mdl_edge_by_id(s, -5), nullptr);
    std::string before = dump(s);
    OperatorRecord r{};
    r.op = OP_KEV;
    r.solid_id = s->id;
    r.edge_id = 77; // no such edge
    r.a3 = b->id;
    EXPECT_EQ(mdl_execute_record(&r), -1);
    r.op = OP_SETVTXPOS;
    r.a1 = 55;
    EXPECT_EQ(mdl_execute_record(&r), -1);
    r.solid_id = 42; // no such solid
    r.op = OP_KVR;
    EXPECT_EQ(mdl_execute_record(&r), -1);
    EXPECT_EQ(dump(s), before);
}

TEST_F(ModelTest, PolylineKindTable) {
    const CurveKindOps* line = mdl_curve_ops(CURVE_LINE);
    const CurveKindOps* poly = mdl_curve_ops(CURVE_POLYLINE);
    MPoint three[3] = {{0, 0}, {1, 1}, {2, 0}};
    EdgeCurve* g = nullptr;
    EXPECT_EQ(line->build(three, 3, &g), -1); // a line takes exactly two points
    EXPECT_EQ(line->build(three, 2, &g), -2);
    EXPECT_EQ(g, nullptr);
    ASSERT_EQ(poly->build(three, 3, &g), -2);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->count, 1);
    EXPECT_EQ(poly->point_count(g), 3);
    EdgeCurve *g1, *g2;
    ASSERT_EQ(poly->split(MPoint{0, 0}, g, MPoint{2, 0}, MPoint{1.5, 0.5}, &g1, &g2), -2);
    ASSERT_NE(g1, nullptr);
    EXPECT_EQ(g1->count, 1);
    EXPECT_EQ(g2, nullptr);
    EdgeCurve* j = nullptr;
    ASSERT_EQ(poly->join(MPoint{0, 0}, g1, MPoint{1.5, 0.5}, g2, MPoint{2, 0}, &j), -2);
    EXPECT_EQ(j->count, 2);
    EXPECT_EQ(line->join(MPoint{0, 0}, nullptr, MPoint{1, 0}, nullptr, MPoint{2, 0}, &g2), -2);
    EXPECT_EQ(line->join(MPoint{0, 0}, nullptr, MPoint{1, 0.5}, nullptr, MPoint{2, 0}, &g2), -1);
    EXPECT_EQ(line->join(MPoint{0, 0}, nullptr, MPoint{1e-7, 0}, nullptr, MPoint{0, 5}, &g2), -2);
    line->release(g);
    line->release(g1);
    line->release(j);
}

TEST(ModelFatal, OutOfMemoryPrintsTheMessageOnStdoutAndExitsWithZero) {
    char path[] = "/tmp/kestrel_model_fatal_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_EXIT(
        {
            if (std::freopen(path, "w", stdout) == nullptr) std::exit(3);
            mdl_out_of_memory();
        },
        ::testing::ExitedWithCode(0), "");
    FILE* fp = std::fopen(path, "r");
    ASSERT_NE(fp, nullptr);
    char buf[64] = {0};
    size_t n = std::fread(buf, 1, sizeof buf - 1, fp);
    std::fclose(fp);
    std::remove(path);
    EXPECT_EQ(std::string(buf, n), "\nMemoria insuficiente...\n");
}

TEST_F(ModelTest, ReadModeTurnsZeroCountersInto1000) {
    OperatorRecord r{};
    r.op = OP_MVFS;
    r.a1 = 1;
    r.a2 = 1;
    r.point = MPoint{2, 3};
    r.face_box = MBox{-1e30, 1e30, -1e30, 1e30};
    int saved = mdl_recording_mode();
    mdl_set_recording_mode(MODE_READ);
    ASSERT_EQ(mdl_execute_record(&r), -2);
    mdl_set_recording_mode(saved);
    Solid* t = mdl_first_solid();
    ASSERT_NE(t, s);
    EXPECT_EQ(t->face_counter, 1000);
    EXPECT_EQ(t->vertex_counter, 1000);
    EXPECT_EQ(t->edge_counter, 1000);
    EXPECT_EQ(t->vertices->x, 2.0);
}

TEST_F(ModelTest, DeletingAModelReleasesTheLastVertexThenTheFaceThenTheSolid) {
    pt(s, 2, 3); // moves the dummy vertex: still one vertex and one face
    mdl_undo_recording_off();
    g_hooks.calls.clear();
    ASSERT_EQ(mdl_delete_model(s), -2);
    s = nullptr;
    std::vector<std::string> expected{"2 k5", "2 k1", "2 k0"};
    EXPECT_EQ(g_hooks.calls, expected);
    EXPECT_EQ(mdl_first_solid(), nullptr);
    EXPECT_EQ(mdl_delete_model(nullptr), -1);
}

// The geometric part of the check alone (what the file reader runs) gives
// what the whole check gives, message and fault, on a sound frame and after
// each kind of fault made by moving one node: members that cross, overlap or
// have no length, a node on a member, a lone node out of its face, a face
// turned inside out.
TEST_F(ModelTest, GeometryCheckAgreesWithTheWholeCheck) {
    square(s, 0, 0, 4, 4);
    MPoint a{0, 0}, c{4, 4};
    seg(mdl_find_vertex_at(s, &a), mdl_find_vertex_at(s, &c));
    pt(s, 3, 1);
    arm(mdl_find_vertex_at(s, &c), 6, 4);
    const struct {
        MPoint from, to;
        const char* text;
    } cases[] = {
        {{0, 0}, {0, 0}, ""},
        {{6, 4}, {2, -1}, "edges 1 and 6 cross"},
        {{6, 4}, {2, 4}, "edges 3 and 6 overlap"},
        {{6, 4}, {4, 4}, "edges 2 and 6 degenerate"},
        {{3, 1}, {2, 2}, "vertex 5 inside edge 5"},
        {{3, 1}, {1, 3}, "ring at vertex 5 outside face 3"},
        {{0, 4}, {3, 2}, "outer loop of face 2 has no positive area"},
    };
    for (const auto& k : cases) {
        MPoint at = k.from;
        Vertex* v = mdl_find_vertex_at(s, &at);
        ASSERT_NE(v, nullptr);
        v->x = k.to.x, v->y = k.to.y;
        MdlGeometryFault whole, geometry;
        const std::string text = mdl_check(s, &whole);
        EXPECT_EQ(text, k.text);
        EXPECT_EQ(mdl_check_geometry(s, &geometry), text);
        EXPECT_EQ(geometry.kind, whole.kind) << k.text;
        EXPECT_EQ(geometry.a, whole.a) << k.text;
        EXPECT_EQ(geometry.b, whole.b) << k.text;
        EXPECT_EQ(geometry.at.x, whole.at.x) << k.text;
        EXPECT_EQ(geometry.at.y, whole.at.y) << k.text;
        v->x = k.from.x, v->y = k.from.y;
    }
}

// The entity pools hand out the lowest free slot, value-initialised, so that
// a model made after another was deleted lies in memory in the order it is
// made; they give their slabs back when their last entity goes.
TEST(EntityPool, LowestFreeSlotFirstAndSlabsGivenBack) {
    EntityPool<Edge> pool;
    std::vector<Edge*> made;
    for (int i = 0; i < 300; ++i) made.push_back(pool.alloc()); // slabs of 64, 128, 256
    EXPECT_EQ(pool.slabs(), 3u);
    for (int i = 1; i < 64; ++i) EXPECT_EQ(made[i], made[i - 1] + 1) << i;
    made[70]->id = 7;
    made[70]->box.xmax = 2.5;
    for (int i : {200, 70, 5}) pool.free(made[i]);
    EXPECT_EQ(pool.live(), 297u);
    // Freed in any order, taken back from the lowest.
    Edge* a = pool.alloc();
    Edge* b = pool.alloc();
    Edge* c = pool.alloc();
    EXPECT_EQ(a, made[5]);
    EXPECT_EQ(b, made[70]);
    EXPECT_EQ(c, made[200]);
    EXPECT_EQ(b->id, 0);
    EXPECT_EQ(b->box.xmax, 0.0);
    EXPECT_EQ(pool.alloc(), made[299] + 1);
    made.push_back(made[299] + 1);
    for (Edge* e : made) pool.free(e);
    EXPECT_EQ(pool.live(), 0u);
    EXPECT_EQ(pool.slabs(), 0u);
    EXPECT_NE(pool.alloc(), nullptr);
    EXPECT_EQ(pool.slabs(), 1u);
}
