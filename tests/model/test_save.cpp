// Save-mode dismantling, the save log and its replay; reading mode.
#include "model_fixture.h"

#include <cstdio>
#include <set>

namespace {

// Outer square with a nested square inside (a face in a face), a tree ring in
// the inner face, an isolated node, a dangling member, a polyline member that
// closes a face with a bend, and a bridge from the outer square to a ring.
void build_rich(Solid* s) {
    square(s, 0, 0, 20, 20);
    auto at = [s](double x, double y) {
        MPoint p{x, y};
        return mdl_find_vertex_at(s, &p);
    };
    Vertex *a = at(0, 0), *b = at(20, 0), *c = at(20, 20), *d = at(0, 20);
    square(s, 5, 5, 15, 15);
    Vertex* t1 = pt(s, 8, 8);
    Edge* t = arm(t1, 10, 8);
    arm(t->he2->vtx, 10, 11);
    pt(s, 12, 12);
    arm(b, 25, -3);
    MPoint bend[2] = {{27, 10}, {26, 18}};
    mdl_insert_edge_between(b, c, CURVE_POLYLINE, bend, 2);
    Vertex* r = pt(s, 2, 18);
    Vertex* r2 = pt(s, 3, 18);
    seg(r, r2);
    seg(d, r);
    MPoint bend2[1] = {{-5, 10}};
    mdl_insert_edge_between(d, a, CURVE_POLYLINE, bend2, 1);
}

} // namespace

TEST_F(ModelTest, SaveDismantleAndReplayRebuildTheSameModel) {
    build_rich(s);
    mdl_set_vertex_attrib(s->vertices, make_attr(KIND_VERTEX));
    ASSERT_EQ(mdl_check(s), "");
    std::string before = mdl_dump(s, true);
    size_t releases_before = g_hooks.release_kinds.size();
    OperatorRecord* log = mdl_save_dismantle(s);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->op, OP_MVFS);
    EXPECT_EQ(mdl_recording_mode(), MODE_UNDO); // restored
    std::set<int> ops;
    int n = 0;
    for (OperatorRecord* r = log; r; r = r->next, ++n) ops.insert(r->op);
    // The log holds only the records that a model file can carry.
    for (int op : ops)
        EXPECT_TRUE(op == OP_MVFS || op == OP_MEV || op == OP_MEF || op == OP_MEKR || op == OP_MVR)
            << op;
    EXPECT_TRUE(ops.count(OP_MEF) && ops.count(OP_MEV) && ops.count(OP_MVR));
    EXPECT_EQ(s->vertices, nullptr);
    EXPECT_EQ(s->faces, nullptr);
    EXPECT_EQ(g_hooks.release_kinds.size(), releases_before); // every reference went into the log
    Solid* r = mdl_save_replay();
    EXPECT_EQ(r, s);
    EXPECT_EQ(mdl_save_log(), nullptr);
    EXPECT_EQ(mdl_dump(r, true), before);
    EXPECT_EQ(mdl_check(r), "");
    EXPECT_EQ(g_hooks.release_kinds.size(), releases_before);
}

TEST_F(ModelTest, SaveOfASingleVertexAndOfAnEmptySolid) {
    std::string before = mdl_dump(s, true);
    OperatorRecord* log = mdl_save_dismantle(s);
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->next, nullptr);
    EXPECT_EQ(log->point.x, 1e30);
    EXPECT_EQ(mdl_save_replay(), s);
    EXPECT_EQ(mdl_dump(s, true), before);
    EXPECT_EQ(mdl_save_dismantle(nullptr), nullptr);
}

TEST_F(ModelTest, ReadModeBuildsANewSolidWithAFreshId) {
    build_rich(s);
    std::string before = mdl_dump(s, false);
    mdl_save_dismantle(s);
    OperatorRecord* log = mdl_take_save_log();
    EXPECT_EQ(mdl_save_log(), nullptr);
    // Take the log over as if it had been read from a file.
    int saved = mdl_recording_mode();
    mdl_set_recording_mode(MODE_READ);
    for (OperatorRecord* r = log; r; r = r->next)
        r->solid_id = 99; // ids from the file are replaced
    g_hooks.release_kinds.clear();
    OperatorRecord* list = log;
    int failed = mdl_execute_record_list(list);
    mdl_set_recording_mode(saved);
    EXPECT_EQ(failed, 0);
    Solid* t = mdl_first_solid();
    ASSERT_NE(t, s);
    EXPECT_EQ(t->id, s->id + 1);
    std::string expect = before;
    expect.replace(expect.find("solid 1"), 7, "solid 2");
    EXPECT_EQ(mdl_dump(t, false), expect);
    EXPECT_EQ(mdl_check(t), "");
    EXPECT_EQ(mdl_read_solid(), t);
    int32_t edges = t->edge_counter;
    t->edge_counter = 0;
    mdl_counters_from_ids(t);
    EXPECT_EQ(t->edge_counter, edges); // no edge was undone in build_rich
    EXPECT_TRUE(g_hooks.release_kinds.empty());
    mdl_undo_recording_off();
    EXPECT_EQ(mdl_delete_model(t), -2);
    EXPECT_EQ(mdl_delete_model(nullptr), -1);
    mdl_undo_recording_on();
}

TEST_F(ModelTest, GeometryWriteAndReadRoundTrip) {
    const CurveKindOps* ops = mdl_curve_ops(CURVE_POLYLINE);
    EdgeCurve* g = mdl_curve_new(2);
    g->points[0] = MPoint{1.5, -2.25};
    g->points[1] = MPoint{123456.789, 1e-7};
    FILE* fp = std::tmpfile();
    ASSERT_NE(fp, nullptr);
    EXPECT_EQ(ops->write(fp, g), -2);
    EXPECT_EQ(ops->write(fp, nullptr), -2);
    std::rewind(fp);
    char text[200] = {0};
    size_t n = std::fread(text, 1, sizeof text - 1, fp);
    text[n] = 0;
    EXPECT_STREQ(text, "2\n+1.50000e+00 -2.25000e+00\n+1.23457e+05 +1.00000e-07\n0\n");
    std::rewind(fp);
    EdgeCurve* back = nullptr;
    ASSERT_EQ(ops->read(fp, &back), -2);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->count, 2);
    EXPECT_EQ(back->points[1].x, 123457.0); // five decimals of mantissa
    EdgeCurve* none = g;
    ASSERT_EQ(ops->read(fp, &none), -2);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(ops->read(fp, &none), -1); // end of file
    std::fclose(fp);
    ops->release(g);
    ops->release(back);
}
