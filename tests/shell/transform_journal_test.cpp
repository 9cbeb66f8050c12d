// The example journal that repeats one bay into a five-bay, three-storey
// frame with copies: replayed on the headless backend, it prints the model
// summaries of each stage, and the frame it leaves has its nodes on the 4 m
// by 3 m grid.
#include "fixture.h"

#include "model/model.h"
#include "shell/journal.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

namespace shelltest {
namespace {

std::string contents(FILE* f) {
    std::rewind(f);
    std::string s;
    for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
    std::fclose(f);
    return s;
}

TEST(TransformJournal, RepeatedBaysMakeTheFiveBayThreeStoreyFrame) {
    std::ifstream file(std::string(KESTREL_TEST_DATA) + "/../../examples/repeat-bays.journal");
    ASSERT_TRUE(file);
    std::stringstream text;
    text << file.rdbuf();
    auto b = std::make_unique<shell::ReplayBackend>();
    shell::ReplayBackend* backend = b.get();
    ui::Toolkit tk(std::move(b));
    ASSERT_EQ(shell::startUp(tk, ""), 0);
    std::vector<shell::JournalEntry> entries;
    std::string error;
    ASSERT_TRUE(shell::parseJournal(text.str(), "repeat-bays", entries, error)) << error;
    backend->load(std::move(entries));
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    EXPECT_EQ(shell::replayJournal(tk, *backend, "repeat-bays", out, err), 0) << contents(err);
    std::string summaries;
    std::istringstream lines(contents(out));
    for (std::string l; std::getline(lines, l);)
        if (l.rfind("summary: ", 0) == 0) summaries += l + "\n";
    EXPECT_EQ(summaries, "summary: nodes 4 members 3 dimension lines 0; 3 members selected\n"
                         "summary: nodes 6 members 5 dimension lines 0; nothing selected\n"
                         "summary: nodes 12 members 11 dimension lines 0; nothing selected\n"
                         "summary: nodes 18 members 22 dimension lines 0; nothing selected\n"
                         "summary: nodes 18 members 22 dimension lines 0; 16 members selected\n"
                         "summary: nodes 24 members 33 dimension lines 0; nothing selected\n");
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
    shell::shutDown(tk);
}

} // namespace
} // namespace shelltest
