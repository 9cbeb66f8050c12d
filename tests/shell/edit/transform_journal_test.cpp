// The example journal that repeats one bay into a five-bay, three-storey
// frame with copies: replayed on the headless backend, it prints the model
// summaries of each stage (the golden example-repeat-bays), and the frame it
// leaves is exactly that frame: its 24 nodes on the 4 m by 3 m grid and its
// 33 members the distinct bays and storeys above the ground. (A frame built
// by a journal is analysed end to end in the propped cantilever of the
// workflow tests; the records that copies carry are checked by the
// transformation tests.)
#include "tests/shell/fixture.h"
#include "tests/support/golden.h"

#include "model/model.h"

#include <cmath>
#include <set>

namespace shelltest {
namespace {

TEST_F(ReplayTest, RepeatedBaysMakeTheFiveBayThreeStoreyFrame) {
    EXPECT_EQ(replay(example("repeat-bays")), 0) << errors;
    kestrel_test::expectGolden("shell", "example-repeat-bays", output);
    // Every node on the grid of 6 columns and 4 levels; the members are the
    // bays above the ground and the storeys, each once.
    std::set<std::pair<long, long>> grid;
    for (const Vertex* v = shell::app().model->vertices; v; v = v->next) {
        EXPECT_NEAR(v->x, 4 * std::lround(v->x / 4), 1e-9);
        EXPECT_NEAR(v->y, 3 * std::lround(v->y / 3), 1e-9);
        grid.insert({std::lround(v->x / 4), std::lround(v->y / 3)});
        EXPECT_TRUE(v->x > -1 && v->x < 21 && v->y > -1 && v->y < 10) << v->x << "," << v->y;
    }
    EXPECT_EQ(grid.size(), 24u);
    std::set<std::pair<std::pair<long, long>, std::pair<long, long>>> members;
    for (const Edge* e = shell::app().model->edges; e; e = e->next) {
        std::pair<long, long> a{std::lround(e->he1->vtx->x / 4), std::lround(e->he1->vtx->y / 3)};
        std::pair<long, long> b{std::lround(e->he2->vtx->x / 4), std::lround(e->he2->vtx->y / 3)};
        if (b < a) std::swap(a, b);
        const bool bay = b.first == a.first + 1 && b.second == a.second && a.second > 0;
        EXPECT_TRUE(bay || (b.first == a.first && b.second == a.second + 1))
            << a.first << "," << a.second << " " << b.first << "," << b.second;
        members.insert({a, b});
    }
    EXPECT_EQ(members.size(), 33u);
    EXPECT_EQ(mdl_check(shell::app().model), "");
}

} // namespace
} // namespace shelltest
