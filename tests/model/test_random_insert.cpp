// Seeded random insertion of members (many collinear with existing members or
// passing through existing nodes), mixed with deletions: the invariants hold
// after every step and undoing every step restores each earlier dump.
#include "model_fixture.h"

#include <cmath>
#include <random>

namespace {

MPoint random_point(std::mt19937& rng) {
    // Mostly grid points, so that members overlap and pass through nodes.
    if (std::uniform_int_distribution<int>(0, 3)(rng) == 0) {
        std::uniform_real_distribution<double> r(0.0, 10.0);
        return MPoint{r(rng), r(rng)};
    }
    std::uniform_int_distribution<int> g(0, 10);
    return MPoint{double(g(rng)), double(g(rng))};
}

// A point not far from p (members of a few grid steps).
MPoint near_point(std::mt19937& rng, MPoint p) {
    if (std::uniform_int_distribution<int>(0, 3)(rng) == 0) {
        std::uniform_real_distribution<double> r(-3.0, 3.0);
        return MPoint{p.x + r(rng), p.y + r(rng)};
    }
    std::uniform_int_distribution<int> g(-3, 3);
    return MPoint{std::round(p.x) + g(rng), std::round(p.y) + g(rng)};
}

bool random_change(Solid* s, std::mt19937& rng) {
    int what = std::uniform_int_distribution<int>(0, 9)(rng);
    if (what <= 6 || s->edges == nullptr) {
        MPoint p[3];
        p[0] = random_point(rng);
        p[1] = near_point(rng, p[0]);
        p[2] = near_point(rng, p[1]);
        if (what == 6) return mdl_insert_points(s, CURVE_POLYLINE, p, 3) == -2;
        if (what == 5) {
            // Along an axis through existing grid lines.
            p[1] = std::uniform_int_distribution<int>(0, 1)(rng) ? MPoint{p[0].x, p[1].y}
                                                                 : MPoint{p[1].x, p[0].y};
        }
        return mdl_insert_points(s, CURVE_LINE, p, 2) == -2;
    }
    if (what <= 8) {
        int id = std::uniform_int_distribution<int>(1, s->edge_counter)(rng);
        Edge* e = mdl_edge_by_id(s, static_cast<int32_t>(id));
        return e != nullptr && mdl_delete_edge(e) == -2;
    }
    int id = std::uniform_int_distribution<int>(1, s->vertex_counter)(rng);
    Vertex* v = mdl_vertex_by_id(s, static_cast<int32_t>(id));
    return v != nullptr && mdl_delete_vertex(v) == -2;
}

} // namespace

class RandomInsert : public ModelTest, public ::testing::WithParamInterface<int> {};

TEST_P(RandomInsert, InvariantsHoldAndUndoRestoresEveryDump) {
    std::mt19937 rng(static_cast<unsigned>(GetParam()));
    std::vector<std::string> dumps{dump(s)};
    int attempts = 0;
    while (dumps.size() < 250 && attempts < 5000) {
        ++attempts;
        mdl_begin_group();
        bool changed = random_change(s, rng);
        mdl_end_group();
        if (s->vertices == nullptr) {
            mdl_begin_group(); // the application puts the dummy vertex back
            pt(s, 1e30, -1e30);
            mdl_end_group();
            changed = true;
        }
        std::string d = dump(s);
        ASSERT_EQ(mdl_check(s), "") << "seed " << GetParam() << " step " << dumps.size();
        if (d == dumps.back()) {
            // Nothing changed. A refusal before any operator began no step;
            // an insertion that met only existing members left an empty step,
            // which undoes to the same dump.
            if (mdl_can_undo() == 0) {
                ASSERT_EQ(mdl_undo(), -2);
                ASSERT_EQ(dump(s), d);
            }
            continue;
        }
        (void)changed;
        dumps.push_back(d);
    }
    ASSERT_GE(dumps.size(), 200u);
    for (size_t i = dumps.size() - 1; i > 0; --i) {
        ASSERT_EQ(mdl_undo(), -2) << i;
        ASSERT_EQ(dump(s), dumps[i - 1]) << "undo of step " << i;
    }
    ASSERT_EQ(mdl_check(s), "");
    ASSERT_EQ(mdl_redo(), -2);
    EXPECT_EQ(dump(s), dumps[1]);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomInsert, ::testing::Values(1, 2, 3, 4, 5));
