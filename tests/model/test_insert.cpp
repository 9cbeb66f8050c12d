// Member insertion with automatic intersection, node insertion, and the
// deletion of members and nodes.
#include "model/intersect.h"
#include "model_fixture.h"

namespace {

int line(Solid* s, double x1, double y1, double x2, double y2) {
    MPoint p[2] = {{x1, y1}, {x2, y2}};
    int rc = mdl_insert_points(s, CURVE_LINE, p, 2);
    EXPECT_EQ(mdl_check(s), "") << "after line " << x1 << " " << y1 << " " << x2 << " " << y2;
    return rc;
}

Vertex* vertex_at(Solid* s, double x, double y) {
    MPoint p{x, y};
    return mdl_find_vertex_at(s, &p);
}

// An existing edge for the event tests, made outside the undo history.
Edge* edge_of(Solid* s, std::vector<MPoint> pts) {
    int32_t kind = pts.size() == 2 ? CURVE_LINE : CURVE_POLYLINE;
    EXPECT_EQ(mdl_insert_points(s, kind, pts.data(), static_cast<int>(pts.size())), -2);
    return s->edges;
}

int event_code(Edge* e, std::vector<MPoint> pts, IntersectEvent* ev) {
    IntersectEvent local{};
    if (ev == nullptr) ev = &local;
    return isx_curve_edge(pts, e, ev) ? ev->code : EV_NONE;
}

} // namespace

TEST_F(ModelTest, FirstLineMovesTheDummyVertex) {
    ASSERT_EQ(line(s, 0, 0, 10, 0), -2);
    EXPECT_EQ(counts(s), "v2 e1 f1");
    EXPECT_EQ(s->edges->he1->vtx->x, 0.0); // end 1 at the first point
    EXPECT_EQ(s->edges->he2->vtx->x, 10.0);
    ASSERT_EQ(mdl_undo(), -2); // one step
    EXPECT_EQ(mdl_is_empty(s), 1);
}

TEST_F(ModelTest, LineAcrossAMemberSplitsItAndClearsTheHingesAtTheCrossing) {
    line(s, 0, 0, 10, 0);
    Edge* old = s->edges;
    auto* attr = static_cast<TestAttr*>(old->attrib);
    ASSERT_EQ(hinges(old), "11");
    ASSERT_EQ(line(s, 5, -5, 5, 5), -2);
    EXPECT_EQ(counts(s), "v5 e4 f1");
    EXPECT_EQ(g_hooks.split_calls, 1);
    EXPECT_EQ(g_hooks.last_split_old, attr);
    Vertex* m = vertex_at(s, 5, 0);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(old->he2->vtx, m); // the old member keeps end 1
    EXPECT_EQ(hinges(old), "10");
    Edge* piece = mdl_find_edge_at(s, MPoint{7, 0}, 0.01);
    ASSERT_NE(piece, nullptr);
    EXPECT_EQ(piece->he1->vtx, m);
    EXPECT_EQ(hinges(piece), "01");
    EXPECT_EQ(g_hooks.releases[attr], 0); // the undo record keeps the old attribute
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(old->attrib, attr);
    EXPECT_EQ(counts(s), "v2 e1 f1");
}

TEST_F(ModelTest, LineEndingNearANodeConnectsToIt) {
    mdl_set_tolerance(0.1);
    line(s, 0, 0, 10, 0);
    ASSERT_EQ(line(s, 10.05, 0.05, 10, 10), -2);
    ASSERT_EQ(line(s, 20, 5, 10.04, -0.03), -2);
    EXPECT_EQ(counts(s), "v4 e3 f1"); // both ends joined the node at (10, 0)
    ASSERT_NE(vertex_at(s, 10, 0), nullptr);
    EXPECT_EQ(vertex_at(s, 10, 0)->x, 10.0);
}

TEST_F(ModelTest, LineAlongPartOfAMemberAddsOnlyTheOutsideParts) {
    line(s, 0, 0, 10, 0);
    ASSERT_EQ(line(s, 5, 0, 15, 0), -2);
    EXPECT_EQ(counts(s), "v4 e3 f1");
    ASSERT_EQ(line(s, -5, 0, 20, 0), -2); // covers everything and goes beyond both ends
    EXPECT_EQ(counts(s), "v6 e5 f1");
    ASSERT_EQ(line(s, 2, 0, 4, 0), -2); // lies inside a member: splits it twice, adds nothing
    EXPECT_EQ(counts(s), "v8 e7 f1");
    std::string d = dump(s);
    ASSERT_EQ(line(s, 2, 0, 4, 0), -2); // now entirely on existing members (9)
    EXPECT_EQ(dump(s), d);
}

TEST_F(ModelTest, NodeOnAMemberSplitsItAndNodeOnANodeChangesNothing) {
    line(s, 0, 0, 10, 0);
    Vertex* m = pt(s, 4, 0.0004);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(counts(s), "v3 e2 f1");
    EXPECT_EQ(m->x, 4.0);
    std::string d = dump(s);
    EXPECT_EQ(pt(s, 4.0005, -0.0005), nullptr);
    EXPECT_EQ(pt(s, 10, 0), nullptr);
    EXPECT_EQ(dump(s), d);
    EXPECT_EQ(mdl_check(s), "");
}

// Deleting the node between two collinear members joins them into one
// running from (0, y) to (20, y) whichever way each was drawn, with the hinge
// at end 1 of the left member and at end 2 of the right one. Rows: both drawn
// left to right; the right one drawn the other way (it is reversed); the
// right one drawn first, so that the node's first half-edge belongs to it
// (neither is reversed, the left one survives).
TEST_F(ModelTest, DeletingANodeBetweenCollinearMembersJoinsThem) {
    const double rows[][2][2] = {{{0, 10}, {10, 20}}, {{0, 10}, {20, 10}}, {{10, 20}, {0, 10}}};
    for (int i = 0; i < 3; ++i) {
        const double y = 10 * i;
        for (const auto& m : rows[i]) line(s, m[0], y, m[1], y);
        Edge* left = mdl_find_edge_at(s, MPoint{5, y}, 0.01);
        const int32_t left_id = left->id;
        mdl_set_edge_attrib(left, make_attr(KIND_EDGE, 1, 0));
        mdl_set_edge_attrib(mdl_find_edge_at(s, MPoint{15, y}, 0.01), make_attr(KIND_EDGE, 0, 1));
        const std::string before = dump(s), n = counts(s);
        g_hooks.join_calls = 0;
        ASSERT_EQ(mdl_delete_vertex(vertex_at(s, 10, y)), -2) << i;
        EXPECT_EQ(g_hooks.join_calls, 1);
        EXPECT_EQ(counts(s),
                  "v" + std::to_string(3 * i + 2) + " e" + std::to_string(2 * i + 1) + " f1");
        Edge* e = mdl_find_edge_at(s, MPoint{10, y}, 0.01);
        ASSERT_NE(e, nullptr) << i;
        if (i == 2) {
            EXPECT_EQ(e->id, left_id);
        }
        EXPECT_EQ(e->he1->vtx, vertex_at(s, 0, y)) << i;
        EXPECT_EQ(e->he2->vtx, vertex_at(s, 20, y)) << i;
        EXPECT_EQ(e->box.xmax, 20.0);
        EXPECT_EQ(hinges(e), "11") << i;
        EXPECT_EQ(mdl_check(s), "");
        ASSERT_EQ(mdl_undo(), -2);
        EXPECT_EQ(dump(s), before);
        EXPECT_EQ(counts(s), n);
    }
}

TEST_F(ModelTest, DeletingANodeIsRefusedAtAnAngleOrWithThreeMembers) {
    line(s, 0, 0, 10, 0);
    line(s, 10, 0, 10, 10);
    std::string d = dump(s);
    EXPECT_EQ(mdl_delete_vertex(vertex_at(s, 10, 0)), -1);
    EXPECT_EQ(dump(s), d);
    line(s, 10, 0, 20, 0);
    d = dump(s);
    EXPECT_EQ(mdl_delete_vertex(vertex_at(s, 10, 0)), -1);
    EXPECT_EQ(dump(s), d);
    // A node with one member cannot be removed alone either.
    EXPECT_EQ(mdl_delete_vertex(vertex_at(s, 0, 0)), -1);
}

TEST_F(ModelTest, DeletingPolylineNeighboursJoinsTheirPoints) {
    MPoint a[3] = {{0, 0}, {3, 4}, {6, 0}};
    ASSERT_EQ(mdl_insert_points(s, CURVE_POLYLINE, a, 3), -2);
    MPoint b[3] = {{6, 0}, {9, -4}, {12, 0}};
    ASSERT_EQ(mdl_insert_points(s, CURVE_POLYLINE, b, 3), -2);
    ASSERT_EQ(mdl_delete_vertex(vertex_at(s, 6, 0)), -2);
    ASSERT_EQ(counts(s), "v2 e1 f1");
    Edge* e = s->edges;
    ASSERT_NE(e->geometry, nullptr);
    EXPECT_EQ(e->geometry->count, 3);
    EXPECT_EQ(e->geometry->points[1].x, 6.0);
    EXPECT_EQ(e->box.ymin, -4.0);
    EXPECT_EQ(mdl_check(s), "");
}

TEST_F(ModelTest, DeletingEverythingLeavesRoomForTheDummyVertex) {
    line(s, 0, 0, 10, 0);
    line(s, 10, 0, 10, 10);
    line(s, 10, 10, 0, 0);
    EXPECT_EQ(counts(s), "v3 e3 f2");
    mdl_begin_group();
    while (s->edges != nullptr) ASSERT_EQ(mdl_delete_edge(s->edges), -2);
    mdl_end_group();
    EXPECT_EQ(s->vertices, nullptr);
    EXPECT_EQ(s->faces, nullptr);
    // The application puts the dummy vertex back; the next point moves it.
    Vertex* dummy = pt(s, 1e30, -1e30);
    ASSERT_NE(dummy, nullptr);
    EXPECT_EQ(mdl_is_empty(s), 1);
    Vertex* v = pt(s, 3, 3);
    EXPECT_EQ(v, dummy);
    EXPECT_EQ(counts(s), "v1 e0 f1");
    EXPECT_EQ(mdl_check(s), "");
}

TEST_F(ModelTest, DeleteEdgeCases) {
    // A square with a diagonal, a dangling member and a bridge to an inner square.
    line(s, 0, 0, 20, 0);
    line(s, 20, 0, 20, 20);
    line(s, 20, 20, 0, 20);
    line(s, 0, 20, 0, 0);
    line(s, 0, 0, 20, 20); // diagonal: two faces
    line(s, 20, 0, 25, 0); // dangling
    line(s, 12, 4, 16, 4);
    line(s, 16, 4, 16, 8);
    line(s, 16, 8, 12, 4); // inner triangle below the diagonal
    line(s, 20, 0, 16, 4); // bridge
    pt(s, 17, 5);          // a node inside the inner triangle? outside it: a ring of the face
    ASSERT_EQ(mdl_check(s), "");
    std::string before = dump(s);
    auto del = [&](double x, double y) {
        Edge* e = mdl_find_edge_at(s, MPoint{x, y}, 0.01);
        EXPECT_NE(e, nullptr);
        EXPECT_EQ(mdl_delete_edge(e), -2);
        EXPECT_EQ(mdl_check(s), "") << x << " " << y;
    };
    del(10, 10); // two faces merge (kef)
    del(22, 0);  // dangling (kev)
    del(18, 2);  // the bridge falls: the inner triangle becomes a ring (kemr)
    del(14, 4);  // kef of the inner triangle's face
    del(16, 6);  // kemr, then a vertex left alone goes (kvr)
    mdl_begin_group();
    while (s->edges) EXPECT_EQ(mdl_delete_edge(s->edges), -2);
    mdl_end_group();
    for (int i = 0; i < 6; ++i) ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(dump(s), before);
}

TEST_F(ModelTest, NineEventCodes) {
    line(s, 0, 0, 10, 0);
    Edge* e = s->edges;
    IntersectEvent ev{};
    EXPECT_EQ(event_code(e, {{5, -5}, {5, 5}}, &ev), EV_CROSS);
    EXPECT_EQ(ev.point.x, 5.0);
    EXPECT_DOUBLE_EQ(ev.position(), 0.5);
    EXPECT_EQ(event_code(e, {{0, -5}, {0, 5}}, &ev), EV_THROUGH);
    EXPECT_EQ(ev.vertex, e->he1->vtx);
    EXPECT_EQ(event_code(e, {{5, -5}, {5, 0}}, &ev), EV_END_ON_EDGE);
    EXPECT_EQ(event_code(e, {{10, -5}, {10, 0.0002}}, &ev), EV_END_AT_VERTEX);
    EXPECT_EQ(ev.snap_index, 1);
    EXPECT_EQ(event_code(e, {{0, 1}, {10, 1}}, nullptr), EV_NONE);
    EXPECT_EQ(event_code(e, {{0, 0}, {5, 0}, {5, 5}}, &ev), EV_ALONG_LEAVE);
    EXPECT_EQ(ev.point.x, 5.0);
    EXPECT_EQ(event_code(e, {{0, 0}, {10, 0}, {10, 5}}, &ev), EV_ALONG_VERTEX);
    EXPECT_EQ(event_code(e, {{0, 0}, {5, 0}}, &ev), EV_ALONG_END);
    EXPECT_EQ(event_code(e, {{0, 0}, {10, 0}}, &ev), EV_ALL_ON_EDGES);
    EXPECT_EQ(event_code(e, {{10, 0}, {0, 0}}, &ev), EV_ALL_ON_EDGES);
    // The new curve's end is snapped onto the foot on the existing member.
    EXPECT_EQ(event_code(e, {{3, 5}, {3, 0.0003}}, &ev), EV_END_ON_EDGE);
    EXPECT_EQ(ev.point.y, 0.0);
    EXPECT_EQ(ev.point.x, 3.0);
}

TEST_F(ModelTest, OverlapTableRows) {
    MPoint e0{0, 0}, e1{10, 0};
    const double classes[][3] = {
        {0.0005, 0, 1}, {10, 0.0009, 3}, {-1, 0, 0}, {11, 0, 4}, {5, 0, 2}};
    for (const auto& c : classes)
        EXPECT_EQ(isx_overlap_class(MPoint{c[0], c[1]}, e0, e1), c[2]) << c[0] << " " << c[1];
    line(s, 0, 0, 10, 0);
    Edge* e = s->edges;
    IntersectEvent ev{};
    EXPECT_EQ(event_code(e, {{-5, 0}, {0, 0}}, &ev), EV_END_AT_VERTEX);   // 0,1 ends
    EXPECT_EQ(event_code(e, {{-5, 0}, {0, 0}, {0, 5}}, &ev), EV_THROUGH); // 0,1 goes on
    EXPECT_EQ(event_code(e, {{15, 0}, {10, 0}}, &ev), EV_END_AT_VERTEX);  // 4,3
    EXPECT_EQ(event_code(e, {{-5, 0}, {5, 0}}, &ev), EV_THROUGH);         // 0,2
    EXPECT_DOUBLE_EQ(ev.param, 0.5);
    EXPECT_EQ(ev.vertex, e->he1->vtx);
    EXPECT_EQ(event_code(e, {{15, 0}, {5, 0}}, &ev), EV_THROUGH); // 4,2
    EXPECT_EQ(ev.vertex, e->he2->vtx);
    EXPECT_EQ(event_code(e, {{0, 0}, {15, 0}}, &ev), EV_ALONG_VERTEX); // 1,4
    EXPECT_NEAR(ev.param, 10.0 / 15.0, 1e-12);
    EXPECT_EQ(event_code(e, {{10, 0}, {-5, 0}}, &ev), EV_ALONG_VERTEX); // 3,0
    EXPECT_EQ(ev.vertex, e->he1->vtx);
    // Rows 1,0 and 3,4 touch an end from outside, row 0,0 stays outside.
    for (std::vector<MPoint> c :
         {std::vector<MPoint>{{0, 0}, {-5, 0}}, {{10, 0}, {15, 0}}, {{-5, 0}, {-2, 0}}})
        EXPECT_EQ(event_code(e, c, nullptr), EV_NONE) << c[0].x << " " << c[1].x;
    // Rows whose end of the existing segment is an interior point of a polyline.
    Edge* p = edge_of(s, {{0, 5}, {10, 5}, {20, 5.5}});
    EXPECT_EQ(event_code(p, {{10, 10}, {10, 5}}, &ev), EV_END_ON_EDGE);
    EXPECT_EQ(ev.vertex, nullptr);
    EXPECT_EQ(event_code(p, {{-5, 5}, {5, 5}}, &ev), EV_THROUGH);
}

TEST_F(ModelTest, EdgesAroundAVertexFollowThePseudoAngle) {
    const double dirs[8][2] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                               {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    for (int k : {0, 4, 2, 6, 1, 5, 3, 7}) line(s, 0, 0, 10 * dirs[k][0], 10 * dirs[k][1]);
    Vertex* o = vertex_at(s, 0, 0);
    HalfEdge* h = o->vedge;
    std::vector<double> seq;
    do {
        seq.push_back(mdl_pseudo_angle(mdl_curve_ops(1)->leave_direction(h->edge, o)));
        h = mate(h)->next;
    } while (h != o->vedge);
    ASSERT_EQ(seq.size(), 8u);
    // Going round the vertex by mate-next visits the directions clockwise:
    // exactly one step wraps.
    int wraps = 0;
    for (size_t i = 0; i < seq.size(); ++i)
        if (seq[(i + 1) % seq.size()] > seq[i]) ++wraps;
    EXPECT_EQ(wraps, 1);
    EXPECT_EQ(counts(s), "v9 e8 f1");
}

TEST_F(ModelTest, ClosedPolylineIsCutAtItsMiddleAndMakesAFace) {
    MPoint sq[5] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    ASSERT_EQ(mdl_insert_points(s, CURVE_POLYLINE, sq, 5), -2);
    EXPECT_EQ(counts(s), "v2 e2 f2");
    EXPECT_NE(vertex_at(s, 10, 10), nullptr); // the middle point became a node
    EXPECT_EQ(mdl_check(s), "");
    // A polyline that crosses the square twice.
    MPoint zig[3] = {{-5, 5}, {5, 15}, {15, 5}};
    ASSERT_EQ(mdl_insert_points(s, CURVE_POLYLINE, zig, 3), -2);
    EXPECT_EQ(mdl_check(s), "");
    EXPECT_EQ(counts(s), "v5 e6 f3");
    MPoint self[5] = {{0, 20}, {10, 30}, {10, 20}, {0, 30}, {-1, 31}};
    EXPECT_EQ(mdl_insert_points(s, CURVE_POLYLINE, self, 5), -1); // meets itself
    MPoint degenerate[2] = {{3, 3}, {3.0001, 3}};
    EXPECT_EQ(mdl_insert_points(s, CURVE_LINE, degenerate, 2), -1);
}

TEST_F(ModelTest, InsertCurveTakesTheInteractionRecord) {
    ModelCurveRecord rec{};
    rec.kind = 1;
    rec.first = MPoint{0, 0};
    rec.last = MPoint{4, 3};
    ASSERT_EQ(mdl_insert_curve(s, &rec, 0), -2);
    ModelCurveRecord back{};
    mdl_curve_ops(CURVE_LINE)->give_record(s->edges, &back);
    EXPECT_EQ(back.kind, CURVE_LINE);
    EXPECT_EQ(back.last.x, 4.0);
    EXPECT_EQ(back.count, 0);
    EXPECT_EQ(mdl_insert_curve(s, nullptr, 0), -1);
}

TEST_F(ModelTest, GridOfCrossingLinesAndOneStepPerMember) {
    for (int i = 0; i <= 4; ++i) line(s, 0, i, 4, i);
    for (int i = 0; i <= 4; ++i) line(s, i, 0, i, 4);
    EXPECT_EQ(counts(s), "v25 e40 f17");
    std::string full = dump(s);
    mdl_begin_group();
    line(s, -1, 2.5, 5, 2.5);
    mdl_end_group();
    EXPECT_EQ(counts(s), "v32 e51 f21");
    ASSERT_EQ(mdl_undo(), -2);
    EXPECT_EQ(dump(s), full);
    EXPECT_EQ(mdl_find_edge_at(s, MPoint{0.5, 1.0004}, 0.001),
              mdl_find_edge_at(s, MPoint{0.5, 1}, 0.001));
    EXPECT_EQ(mdl_find_edge_at(s, MPoint{0.5, 1.5}, 0.001), nullptr);
}

TEST_F(ModelTest, NodeExactlyOnAMemberBetweenTwoFacesSplitsIt) {
    // A diagonal on x + y = 3 between two triangles, with ends as rounded as
    // computed crossing points: (0, 3) lies on it up to rounding, and a plain
    // crossing-number test puts it in neither triangle.
    const double x1 = 1.0000000000000004, x0 = -0.6000000000000002, y1 = 3.6000000000000001;
    line(s, x1, 2, x1, y1);
    line(s, x1, y1, x0, y1);
    line(s, x0, y1, x0, 2);
    line(s, x0, 2, x1, 2);
    line(s, x1, 2, x0, y1);
    ASSERT_EQ(counts(s), "v4 e5 f3");
    Face* f = mdl_find_face_containing(s, MPoint{0, 3});
    ASSERT_NE(f, nullptr);
    EXPECT_NE(f->outer, nullptr); // one of the triangles, not the outside
    Vertex* m = pt(s, 0, 3);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(counts(s), "v5 e6 f3");
    EXPECT_NE(m->vedge->edge, nullptr);
    EXPECT_EQ(mdl_check(s), "");
}

TEST_F(ModelTest, HooksComeInTheOrderOfTheOperators) {
    auto take = [] {
        std::vector<std::string> c = g_hooks.calls;
        g_hooks.calls.clear();
        return c;
    };
    take();
    line(s, 0, 0, 10, 0); // moves the dummy vertex (v1), then mev: node, then member
    EXPECT_EQ(take(), (std::vector<std::string>{"10 v2", "7 e1"}));
    line(s, 10, 0, 10, 10);
    EXPECT_EQ(take(), (std::vector<std::string>{"10 v3", "7 e2"}));
    line(s, 10, 10, 0, 0); // mef: member, then the new face
    EXPECT_EQ(take(), (std::vector<std::string>{"7 e3", "4 f2"}));
    pt(s, 20, 20); // mvr
    EXPECT_EQ(take(), (std::vector<std::string>{"10 v4"}));
    line(s, 10, 10, 20, 20); // mekr: member, then the face changed
    EXPECT_EQ(take(), (std::vector<std::string>{"7 e4", "6"}));
    // From a new node across the bottom member (split: new node, then the
    // split hook with new and old member; mekr to the split node), ending on
    // the diagonal (split, then mef).
    line(s, 5, -5, 5, 5);
    EXPECT_EQ(take(), (std::vector<std::string>{"10 v5", "10 v6", "8 e5 e1", "7 e6", "6", "10 v7",
                                                "8 e7 e3", "7 e8", "4 f3"}));
    EXPECT_EQ(mdl_check(s), "");
}
