// The example journal that repeats one bay into a five-bay, three-storey
// frame with copies: replayed on the headless backend, it prints the model
// summaries of each stage (the golden example-repeat-bays), and the frame it
// leaves has its nodes on the 4 m by 3 m grid; analysed with fixed bases and
// a lateral load at the top, its reactions balance the load.
#include "tests/shell/fixture.h"
#include "tests/support/golden.h"

#include "analysis/analysis.h"
#include "attrib/blocks.h"
#include "attrib/section.h"

#include "model/model.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>

namespace shelltest {
namespace {

TEST_F(ReplayTest, RepeatedBaysMakeTheFiveBayThreeStoreyFrame) {
    EXPECT_EQ(replay(example("repeat-bays")), 0) << errors;
    kestrel_test::expectGolden("shell", "example-repeat-bays", output);
    // Every node on the grid of 6 columns and 4 levels, each member one bay
    // or one storey long.
    std::set<std::pair<long, long>> grid;
    for (const Vertex* v = shell::app().model->vertices; v; v = v->next) {
        EXPECT_NEAR(v->x, 4 * std::lround(v->x / 4), 1e-9);
        EXPECT_NEAR(v->y, 3 * std::lround(v->y / 3), 1e-9);
        grid.insert({std::lround(v->x / 4), std::lround(v->y / 3)});
    }
    EXPECT_EQ(grid.size(), 24u);
    for (const Edge* e = shell::app().model->edges; e; e = e->next) {
        const double dx = std::fabs(e->he2->vtx->x - e->he1->vtx->x);
        const double dy = std::fabs(e->he2->vtx->y - e->he1->vtx->y);
        EXPECT_TRUE((std::fabs(dx - 4) < 1e-9 && dy < 1e-9) ||
                    (dx < 1e-9 && std::fabs(dy - 3) < 1e-9))
            << dx << " " << dy;
    }
    EXPECT_EQ(mdl_check(shell::app().model), "");

    // Steel members of one section, the six column feet fixed, 10 kN to the
    // right at the top left corner.
    Solid* model = shell::app().model;
    attrib::AttributeRoot& root = attrib::root();
    auto block = [&](attrib::PropertyKind kind, const char* label) {
        attrib::PropertyBlock* b = attrib::appendBlock(root, kind, attrib::makeBlock(kind));
        std::snprintf(b->label, sizeof b->label, "%s", label);
        return b;
    };
    attrib::PropertyBlock* steel = block(attrib::kMaf, "steel");
    const double steelValues[3] = {2.05e8, 77, 1.2e-5};
    for (int i = 0; i < 3; ++i) attrib::valuesOf(steel)->values[i] = steelValues[i];
    attrib::PropertyBlock* section = block(attrib::kSpf, "column");
    attrib::sectionOf(section)->params.assign({0.01, 1e-4, 0.3, 0.15});
    attrib::PropertyBlock* push = block(attrib::kNff, "push");
    attrib::valuesOf(push)->values[0] = 10;
    for (Edge* e = model->edges; e; e = e->next) {
        attrib::MemberAttrib* m = attrib::memberOf(e);
        m->blocks[attrib::kMaterial] = steel;
        m->blocks[attrib::kSection] = section;
        steel->useCount++;
        section->useCount++;
    }
    for (Vertex* v = model->vertices; v; v = v->next) {
        attrib::NodeAttrib* n = attrib::nodeOf(v);
        if (std::fabs(v->y) < 1e-9)
            for (int d = 0; d < 3; ++d) n->support[d] = '1';
        if (std::fabs(v->x) < 1e-9 && std::fabs(v->y - 9) < 1e-9) {
            n->force = push;
            push->useCount++;
        }
    }
    ASSERT_EQ(analysis::checkModel(model, root), analysis::kCheckOk);
    const analysis::RunOutcome run =
        analysis::runAnalysis(model, root, (testFolder() / "bays.kst").string());
    ASSERT_EQ(run.status, analysis::RunStatus::kSolved) << run.message;
    const auto reactions = analysis::supportReactions(run.numbering, run.solution.end_forces);
    ASSERT_EQ(reactions.size(), 6u);
    double fx = 0, fy = 0, mz = 0;
    for (const analysis::Reaction& r : reactions) {
        fx += r.fx;
        fy += r.fy;
        mz += r.mz + r.node->x * r.fy; // moments about the origin
    }
    EXPECT_NEAR(fx, -10, 1e-9);
    EXPECT_NEAR(fy, 0, 1e-9);
    EXPECT_NEAR(mz - 9 * 10, 0, 1e-8); // the load's lever arm is the height, 9 m
}

} // namespace
} // namespace shelltest
