// Frame model benchmarks: a 50 x 100 grid of nodes joined by members (about
// 10,000 members) built with the operators, dismantled in save mode and
// replayed, with the memory per member from the allocator's statistics; and a
// grid of 100 + 100 crossing lines inserted with intersection, then every
// second node deleted.
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

// Bytes in use from the heap, the blocks the allocator maps on their own (large ones, such
// as the entity pools' slabs) included.
size_t heapBytes() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
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
        size_t before = heapBytes();
        state.ResumeTiming();
        Solid* s = build_grid();
        state.PauseTiming();
        bytes = heapBytes() - before;
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

// 100 horizontal and 100 vertical lines drawn over each other, each inserted
// as one curve in its own undo group (10,000 crossings).
Solid* draw_line_grid() {
    mdl_reset();
    mdl_set_tolerance(1e-3);
    Solid* s = mdl_new_model();
    for (int i = 0; i < 100; ++i) {
        MPoint p[2] = {{-1.0, double(i)}, {100.0, double(i)}};
        mdl_begin_group();
        mdl_insert_points(s, CURVE_LINE, p, 2);
        mdl_end_group();
    }
    for (int i = 0; i < 100; ++i) {
        MPoint p[2] = {{double(i), -1.0}, {double(i), 100.0}};
        mdl_begin_group();
        mdl_insert_points(s, CURVE_LINE, p, 2);
        mdl_end_group();
    }
    return s;
}

// Deletes every second node (by id) with its members, one undo group per node:
// a crossing node cannot be removed alone, so its members go first and the
// node goes with the last of them.
int delete_every_second_node(Solid* s) {
    int deleted = 0;
    for (int id = 2; id <= s->vertex_counter; id += 2) {
        Vertex* v = mdl_vertex_by_id(s, static_cast<int32_t>(id));
        if (v == nullptr) continue;
        mdl_begin_group();
        if (mdl_delete_vertex(v) != -2) {
            while ((v = mdl_vertex_by_id(s, static_cast<int32_t>(id))) != nullptr &&
                   v->vedge->edge != nullptr)
                mdl_delete_edge(v->vedge->edge);
            if (v != nullptr) mdl_delete_vertex(v);
        }
        mdl_end_group();
        ++deleted;
    }
    return deleted;
}

void BM_LineGridInsert(benchmark::State& state) {
    int edges = 0;
    for (auto _ : state) {
        Solid* s = draw_line_grid();
        state.PauseTiming();
        edges = count_edges(s);
        state.ResumeTiming();
    }
    state.counters["members"] = edges;
    mdl_reset();
}

void BM_DeleteEverySecondNode(benchmark::State& state) {
    int deleted = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Solid* s = draw_line_grid();
        state.ResumeTiming();
        deleted = delete_every_second_node(s);
    }
    state.counters["nodes_deleted"] = deleted;
    mdl_reset();
}

} // namespace

BENCHMARK(BM_LineGridInsert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeleteEverySecondNode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveDismantle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveReplay)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
