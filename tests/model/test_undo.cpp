// Operators with their inverse records, undo and redo, groups, the ring.
#include "model_fixture.h"

#include <functional>

namespace {

struct Frame {
    Vertex *a, *b, *c, *d, *r1, *r2, *iso, *tip, *ptip;
    Edge *ab, *bc, *cd, *da, *ring, *armb, *poly;
};

// A square with a dangling arm, a ring (one edge) and an isolated node
// inside, and a polyline member leaving one corner.
Frame build(Solid* s) {
    Frame f{};
    f.a = pt(s, 0, 0);
    f.b = pt(s, 10, 0);
    f.c = pt(s, 10, 10);
    f.d = pt(s, 0, 10);
    f.ab = seg(f.a, f.b);
    f.bc = seg(f.b, f.c);
    f.cd = seg(f.c, f.d);
    f.da = seg(f.d, f.a);
    f.armb = arm(f.b, 15, 0);
    f.tip = f.armb->he2->vtx;
    f.r1 = pt(s, 6, 1);
    f.r2 = pt(s, 7, 1);
    f.ring = seg(f.r1, f.r2);
    f.iso = pt(s, 2, 7);
    MPoint mid{12, 15};
    f.poly = mdl_insert_edge_from(f.c, MPoint{14, 14}, CURVE_POLYLINE, &mid, 1);
    f.ptip = f.poly->he2->vtx;
    return f;
}

Face* bounded_face_of(Edge* e) {
    if (e->he1->loop->face->outer == e->he1->loop) return e->he1->loop->face;
    return e->he2->loop->face;
}

} // namespace

class UndoTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        f = build(s);
        ASSERT_EQ(mdl_check(s), "");
    }
    // Applies op; undo restores the earlier dump, redo the changed one.
    void round_trip(const std::function<void()>& op, bool check = true) {
        std::string before = dump(s);
        op();
        std::string after = dump(s);
        EXPECT_NE(before, after);
        if (check) {
            EXPECT_EQ(mdl_check(s), "");
        }
        ASSERT_EQ(mdl_undo(), -2);
        EXPECT_EQ(dump(s), before);
        if (check) {
            EXPECT_EQ(mdl_check(s), "");
        }
        ASSERT_EQ(mdl_can_redo(), 1);
        ASSERT_EQ(mdl_redo(), -2);
        EXPECT_EQ(dump(s), after);
        ASSERT_EQ(mdl_undo(), -2);
        EXPECT_EQ(dump(s), before);
    }
    // The same for one low-level operator, which must succeed (-2) as a step of its own.
    void op_round_trip(const std::function<int()>& op, bool check = true) {
        round_trip(
            [&] {
                mdl_begin_step();
                ASSERT_EQ(op(), -2);
            },
            check);
    }
    Frame f;
};

TEST_F(UndoTest, MakeOperators) {
    round_trip([&] { arm(f.c, 12, 5); });                          // mev
    round_trip([&] { seg(f.a, f.c); });                            // mef, ringmv of the ring
    round_trip([&] { seg(f.r1, f.iso); });                         // mekr of two rings
    round_trip([&] { seg(f.a, f.r1); });                           // mekr with the outer loop
    round_trip([&] { pt(s, 3, 8); });                              // mvr
    round_trip([&] { mdl_split_edge(f.ab, MPoint{5, 0}); });       // semv
    round_trip([&] { mdl_split_edge(f.poly, MPoint{12, 15}); });   // semv at the interior point
    round_trip([&] { mdl_split_edge(f.poly, MPoint{11, 12.5}); }); // semv inside a segment
}

TEST_F(UndoTest, KillOperators) {
    op_round_trip([&] { return mdl_op_kev(f.armb, f.tip); });
    op_round_trip([&] { return mdl_op_kev(f.poly, f.ptip); }); // polyline geometry in the record
    op_round_trip([&] { return mdl_op_kvr(f.iso); });
    op_round_trip([&] { return mdl_op_kev(f.ring, f.r2); }); // leaves r1 alone in its ring
    // kef of a face without rings: close a triangle first.
    Edge* diag = seg(f.b, f.d);
    ASSERT_NE(diag, nullptr);
    Face* tri = bounded_face_of(diag);
    Face* killable =
        (tri->loops->next == nullptr)
            ? tri
            : (diag->he1->loop->face == tri ? diag->he2->loop->face : diag->he1->loop->face);
    ASSERT_EQ(killable->loops->next, nullptr);
    op_round_trip([&] { return mdl_op_kef(diag, killable); });
    // kemr of a bridge: join a ring to the outer loop, then cut it again.
    // Undo rebuilt the removed entities: look them up again by id.
    Vertex* iso = mdl_vertex_by_id(s, 8);
    ASSERT_NE(iso, nullptr);
    EXPECT_EQ(iso->x, 2.0);
    Edge* bridge = seg(f.a, iso);
    ASSERT_NE(bridge, nullptr);
    op_round_trip([&] { return mdl_op_kemr(bridge->he1, 0); });
}

TEST_F(UndoTest, JoinRingAndFaceOperators) {
    Vertex* m = mdl_split_edge(f.ab, MPoint{4, 0});
    ASSERT_NE(m, nullptr);
    Edge* first = f.ab;
    Edge* second = mdl_edge_by_id(s, s->edge_counter);
    op_round_trip([&] { return mdl_op_jekv(first, second, nullptr); });
    Face* unbounded = nullptr;
    for (Face* x = s->faces; x; x = x->next)
        if (x->outer == nullptr) unbounded = x;
    op_round_trip([&] { return mdl_op_ringmv(f.ring->he1->loop, unbounded); }, false);
    round_trip(
        [&] {
            mdl_begin_step();
            ASSERT_NE(mdl_op_mfkrh(f.ring->he1->loop, static_cast<int32_t>(++s->face_counter)),
                      nullptr);
        },
        false);
}

TEST_F(UndoTest, SetOperators) {
    round_trip([&] { mdl_move_vertex(f.iso, MPoint{3, 6}); });
    round_trip([&] {
        EdgeCurve* g = mdl_curve_new(2);
        g->points[0] = MPoint{11, 13};
        g->points[1] = MPoint{13, 15};
        mdl_set_edge_geometry(f.poly, g);
    });
    round_trip([&] { mdl_reverse_edge(f.poly); });
    round_trip([&] { mdl_set_vertex_attrib(f.a, make_attr(KIND_VERTEX)); });
    round_trip([&] { mdl_set_edge_attrib(f.ab, make_attr(KIND_EDGE)); });
    Face* sq = bounded_face_of(f.ab);
    round_trip([&] { mdl_set_face_attrib(sq, make_attr(KIND_FACE)); });
    sq->box = MBox{-1, 1, -1, 1}; // a stale box, not recorded
    round_trip([&] { mdl_recompute_face_box(sq); });
    EXPECT_EQ(sq->box.xmin, -1.0);
    ASSERT_EQ(mdl_redo(), -2);
    EXPECT_EQ(sq->box.xmax, 10.0);
}

TEST_F(UndoTest, ReverseKeepsGeometryInEdgeOrder) {
    mdl_reverse_edge(f.poly);
    EXPECT_EQ(f.poly->he1->vtx, f.ptip);
    EXPECT_EQ(f.poly->geometry->points[0].x, 12.0);
    std::vector<MPoint> pts;
    mdl_edge_points(f.poly, &pts);
    EXPECT_EQ(pts.front().x, 14.0);
    EXPECT_EQ(pts.back().x, 10.0);
}

TEST_F(UndoTest, SolidAndFirstVertexOperators) {
    mdl_undo_recording_on();
    Solid* t = mdl_create_solid();
    int32_t tid = t->id;
    Vertex* v = pt(t, 1, 1); // joins the step of create solid
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(g_hooks.solid_created, 2);
    ASSERT_EQ(mdl_undo(), -2); // one step: vertex and solid
    EXPECT_EQ(mdl_find_solid(tid), nullptr);
    ASSERT_EQ(mdl_redo(), -2);
    Solid* again = mdl_find_solid(tid);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->vertices->x, 1.0);
    std::string d = mdl_dump(again, false);
    mdl_begin_step();
    ASSERT_EQ(mdl_op_kvfs(again), -2);
    EXPECT_EQ(again->vertices, nullptr);
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(mdl_dump(again, false), d);
    ASSERT_EQ(mdl_delete_model(again), -2);
    EXPECT_EQ(mdl_find_solid(tid), nullptr);
    ASSERT_EQ(mdl_undo(), -2);
    ASSERT_NE(mdl_find_solid(tid), nullptr);
    EXPECT_EQ(mdl_dump(mdl_find_solid(tid), false), d);
}

TEST_F(UndoTest, OnlyAnInsertPointJoinsTheStepOfCreateSolid) {
    Solid* t = mdl_create_solid();
    int32_t tid = t->id;
    MPoint p[2] = {{0, 0}, {5, 0}};
    ASSERT_EQ(mdl_insert_points(t, CURVE_LINE, p, 2), -2); // a step of its own
    ASSERT_EQ(mdl_undo(), -2);
    ASSERT_EQ(mdl_find_solid(tid), t);
    EXPECT_EQ(t->vertices, nullptr);
    EXPECT_EQ(t->edges, nullptr);
    ASSERT_EQ(mdl_undo(), -2); // now create solid
    EXPECT_EQ(mdl_find_solid(tid), nullptr);
}

TEST_F(UndoTest, GroupsUndoAndRedoAsOneStep) {
    round_trip([&] {
        mdl_begin_group();
        arm(f.c, 12, 5);
        pt(s, 3, 8);
        mdl_begin_group(); // nested
        seg(f.a, f.c);
        mdl_end_group();
        mdl_move_vertex(f.iso, MPoint{1, 8});
        mdl_end_group();
    });
}

TEST_F(UndoTest, SecondUndoEmptiesRedoList) {
    std::string s0 = dump(s);
    pt(s, 3, 8);
    std::string s1 = dump(s);
    pt(s, 4, 8);
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(dump(s), s1);
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(dump(s), s0);
    ASSERT_EQ(mdl_redo(), -2); // only the second undo can be redone
    EXPECT_EQ(dump(s), s1);
    EXPECT_EQ(mdl_redo(), -1);
    EXPECT_EQ(dump(s), s1);
}

TEST_F(UndoTest, NothingToUndoOrRedo) {
    mdl_clear_history();
    std::string d = dump(s);
    EXPECT_EQ(mdl_can_undo(), 0);
    EXPECT_EQ(mdl_can_redo(), 0);
    EXPECT_EQ(mdl_undo(), -1);
    EXPECT_EQ(mdl_redo(), -1);
    EXPECT_EQ(dump(s), d);
}

TEST_F(UndoTest, MovesAndAttributeChangesFormOneStepEach) {
    std::string s0 = dump(s);
    mdl_move_vertex(f.iso, MPoint{1, 8});
    mdl_move_vertex(f.iso, MPoint{1, 9});
    mdl_move_vertex(f.r1, MPoint{6, 1.5});
    std::string s1 = dump(s);
    mdl_set_vertex_attrib(f.a, make_attr(KIND_VERTEX));
    mdl_set_edge_attrib(f.ab, make_attr(KIND_EDGE));
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(dump(s), s1);
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(dump(s), s0);
}

namespace {
void other_steps(Vertex* v, int n) {
    for (int i = 0; i < n; ++i) {
        mdl_move_vertex(v, MPoint{2, 7 + 0.001 * (i % 2)});
        mdl_begin_group(); // clears the geometry flag: every move is a step
        mdl_end_group();
    }
}
} // namespace

TEST_F(UndoTest, RingKeepsTheLast499Steps) {
    mdl_clear_history();
    std::string s0 = dump(s);
    pt(s, 3, 8);
    std::string s1 = dump(s);
    other_steps(f.iso, 498);
    int undone = 0;
    while (mdl_undo() == -2) ++undone;
    EXPECT_EQ(undone, 499);
    EXPECT_EQ(dump(s), s0);
    ASSERT_EQ(mdl_redo(), -2); // the last undo only
    EXPECT_EQ(dump(s), s1);
    EXPECT_EQ(mdl_redo(), -1);
}

TEST_F(UndoTest, OldestStepIsLostAfter500FurtherSteps) {
    mdl_clear_history();
    pt(s, 4, 8);
    other_steps(f.iso, 500);
    int undone = 0;
    while (mdl_undo() == -2) ++undone;
    EXPECT_LT(undone, 500);
    MPoint p{4, 8};
    EXPECT_NE(mdl_find_vertex_at(s, &p), nullptr); // the point insertion was not undone
    EXPECT_EQ(mdl_can_undo(), 0);
    EXPECT_EQ(mdl_check(s), "");
}

TEST_F(UndoTest, StepThatFillsTheWholeRingClearsHistory) {
    mdl_clear_history();
    pt(s, 3, 8);
    mdl_begin_group();
    for (int i = 0; i < 520; ++i) pt(s, 1 + 0.01 * i, 9.5);
    mdl_end_group();
    std::string after = dump(s);
    EXPECT_EQ(mdl_undo(), -1);
    EXPECT_EQ(dump(s), after); // what was undone is redone
    EXPECT_EQ(mdl_can_undo(), 0);
    EXPECT_EQ(mdl_can_redo(), 0);
    EXPECT_EQ(mdl_check(s), "");
}

TEST_F(UndoTest, ReplacedAttributeIsReleasedOnlyWhenItsSlotIsFreed) {
    auto* old = static_cast<TestAttr*>(f.a->attrib);
    ASSERT_NE(old, nullptr);
    TestAttr* fresh = make_attr(KIND_VERTEX);
    mdl_set_vertex_attrib(f.a, fresh);
    EXPECT_EQ(g_hooks.releases[old], 0); // the undo record holds it
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(f.a->attrib, old);
    EXPECT_EQ(g_hooks.releases[fresh], 0); // now the redo record holds the new one
    ASSERT_EQ(mdl_redo(), -2);
    EXPECT_EQ(f.a->attrib, fresh);
    other_steps(f.iso, 500);
    EXPECT_EQ(g_hooks.releases[old], 1); // its slot was reused
    EXPECT_EQ(g_hooks.releases[fresh], 0);
    // Outside undo recording a replaced attribute is released at once.
    mdl_undo_recording_off();
    TestAttr* third = make_attr(KIND_VERTEX);
    mdl_set_vertex_attrib(f.a, third);
    EXPECT_EQ(g_hooks.releases[fresh], 1);
    mdl_undo_recording_on();
}

TEST_F(UndoTest, SplitHookGetsTheOldAttributeAndItIsReleasedOutsideRecording) {
    auto* old = static_cast<TestAttr*>(f.ab->attrib);
    old->hinge1 = 1;
    old->hinge2 = 1;
    mdl_undo_recording_off();
    Vertex* m = mdl_split_edge(f.ab, MPoint{5, 0});
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(g_hooks.last_split_old, old);
    EXPECT_EQ(g_hooks.releases[old], 1);
    Edge* ne = mdl_edge_by_id(s, s->edge_counter);
    EXPECT_EQ(f.ab->he2->vtx, m);
    EXPECT_EQ(ne->he1->vtx, m);
    EXPECT_EQ(ne->he2->vtx, f.b);
    EXPECT_EQ(hinges(f.ab) + hinges(ne), "1001"); // hinges at the new node are cleared
    mdl_undo_recording_on();
}

namespace {
int g_app_calls = 0;
const void* g_app_datum = nullptr;
void app_fn(void* datum) {
    g_app_calls++;
    g_app_datum = datum;
    // The function only reads the datum; undoing records its own inverse, with
    // a datum of its own, so that redo calls it again.
    mdl_record_app_step(1, app_fn, make_attr(KIND_APPDATA));
}
} // namespace

TEST_F(UndoTest, ApplicationStepsJoinTheStepAndReleaseTheirDatum) {
    g_app_calls = 0;
    std::string s0 = dump(s);
    mdl_begin_group();
    pt(s, 3, 8);
    TestAttr* datum = make_attr(KIND_APPDATA);
    ASSERT_EQ(mdl_record_app_step(1, app_fn, datum), -2);
    mdl_end_group();
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(g_app_calls, 1);
    EXPECT_EQ(g_app_datum, datum);
    EXPECT_EQ(dump(s), s0);
    // The executed record is freed, and freeing it releases its datum (kind 6).
    EXPECT_EQ(g_hooks.releases[datum], 1);
    ASSERT_EQ(mdl_redo(), -2);
    EXPECT_EQ(g_app_calls, 2);
    EXPECT_NE(g_app_datum, datum);
    EXPECT_EQ(g_hooks.releases[g_app_datum], 1);
    mdl_undo_recording_off();
    TestAttr* lost = make_attr(KIND_APPDATA);
    EXPECT_EQ(mdl_record_app_step(0, app_fn, lost), -1);
    EXPECT_EQ(g_hooks.releases[lost], 1);
    mdl_undo_recording_on();
}
