// Frame model benchmarks: a 50 x 100 grid of nodes joined by members (about
// 10,000 members) built with the operators, dismantled in save mode and
// replayed; memory per member from the allocator's statistics.
#include "model/model.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

namespace {

constexpr int NX = 50;
constexpr int NY = 100;

Solid* build_grid() {
    mdl_reset();
    mdl_set_tolerance(1e-3);
    Solid* s = mdl_new_model();
    mdl_undo_recording_off();
    std::vector<Vertex*> prev(NX), row(NX);
    row[0] = mdl_insert_point(s, MPoint{0, 0});
    for (int i = 1; i < NX; ++i) {
        Edge* e = mdl_insert_edge_from(row[i - 1], MPoint{double(i), 0}, CURVE_LINE, nullptr, 0);
        row[i] = e->he2->vtx;
    }
    for (int j = 1; j < NY; ++j) {
        prev.swap(row);
        Edge* up = mdl_insert_edge_from(prev[0], MPoint{0, double(j)}, CURVE_LINE, nullptr, 0);
        row[0] = up->he2->vtx;
        for (int i = 1; i < NX; ++i) {
            Edge* e = mdl_insert_edge_from(row[i - 1], MPoint{double(i), double(j)}, CURVE_LINE,
                                           nullptr, 0);
            row[i] = e->he2->vtx;
            mdl_insert_edge_between(prev[i], row[i], CURVE_LINE, nullptr, 0);
        }
    }
    return s;
}

int count_edges(const Solid* s) {
    int n = 0;
    for (const Edge* e = s->edges; e; e = e->next) ++n;
    return n;
}

void BM_GridBuild(benchmark::State& state) {
    size_t bytes = 0;
    int edges = 0;
    for (auto _ : state) {
        state.PauseTiming();
        mdl_reset();
        size_t before = mallinfo2().uordblks;
        state.ResumeTiming();
        Solid* s = build_grid();
        state.PauseTiming();
        bytes = mallinfo2().uordblks - before;
        edges = count_edges(s);
        state.ResumeTiming();
    }
    state.counters["members"] = edges;
    state.counters["bytes_per_member"] = double(bytes) / edges;
}

void BM_SaveDismantle(benchmark::State& state) {
    Solid* s = build_grid();
    for (auto _ : state) {
        OperatorRecord* log = mdl_save_dismantle(s);
        benchmark::DoNotOptimize(log);
        state.PauseTiming();
        mdl_save_replay();
        state.ResumeTiming();
    }
    state.counters["members"] = count_edges(s);
    mdl_reset();
}

void BM_SaveReplay(benchmark::State& state) {
    Solid* s = build_grid();
    for (auto _ : state) {
        state.PauseTiming();
        mdl_save_dismantle(s);
        state.ResumeTiming();
        benchmark::DoNotOptimize(mdl_save_replay());
    }
    state.counters["members"] = count_edges(s);
    mdl_reset();
}

} // namespace

BENCHMARK(BM_GridBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDismantle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveReplay)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
