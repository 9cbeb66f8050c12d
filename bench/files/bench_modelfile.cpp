// Model file benchmarks on a frame of 100 storeys and 20 bays (2121 nodes,
// 4100 members) with materials, sections, supports and loads: saving (write,
// flush to disk, rename) and opening (read, check, the model built again).
// Targets: save under 100 ms, open under 150 ms.
#include "attrib/blocks.h"
#include "attrib/section.h"
#include "files/modelfile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using namespace attrib;

constexpr int kStoreys = 100;
constexpr int kBays = 20;

// Builds the frame storey by storey: columns, then the floor beam.
Solid* buildFrame() {
    mdl_reset();
    state().reset();
    mdl_register_hooks(&hooks());
    mdl_set_tolerance(1e-3);
    Solid* s = mdl_new_model();
    mdl_undo_recording_off();
    for (int i = 0; i < kStoreys; ++i) {
        for (int c = 0; c <= kBays; ++c) {
            const MPoint p[2] = {{6.0 * c, 3.0 * i}, {6.0 * c, 3.0 * (i + 1)}};
            mdl_insert_points(s, CURVE_LINE, p, 2);
        }
        const MPoint b[2] = {{0, 3.0 * (i + 1)}, {6.0 * kBays, 3.0 * (i + 1)}};
        mdl_insert_points(s, CURVE_LINE, b, 2);
    }
    AttributeRoot& r = root();
    PropertyBlock *steel, *col, *beam, *floor, *wind;
    newBlock(r, kMaf, "Steel", &steel);
    newBlock(r, kSpf, "Column", &col);
    *sectionOf(col) = makeSection(kSecIShape);
    newBlock(r, kSpf, "Beam", &beam);
    *sectionOf(beam) = makeSection(kSecRectangle);
    newBlock(r, kUlf, "Floor", &floor);
    valuesOf(floor)->values[1] = -20;
    newBlock(r, kNff, "Wind", &wind);
    valuesOf(wind)->values[0] = 5;
    for (Edge* e = s->edges; e; e = e->next) {
        Vertex *v1, *v2;
        mdl_edge_vertices(e, &v1, &v2);
        const bool horizontal = v1->y == v2->y;
        MemberAttrib* a = memberOf(e);
        a->blocks[kMaterial] = steel;
        a->blocks[kSection] = horizontal ? beam : col;
        steel->useCount++;
        a->blocks[kSection]->useCount++;
        if (horizontal) {
            a->blocks[kUniform] = floor;
            floor->useCount++;
        }
    }
    for (Vertex* v = s->vertices; v; v = v->next) {
        NodeAttrib* a = nodeOf(v);
        if (v->y == 0) a->support[0] = a->support[1] = a->support[2] = '1';
        if (v->x == 0 && v->y > 0) {
            a->force = wind;
            wind->useCount++;
        }
    }
    return s;
}

std::string path() {
    return "/tmp/kestrel-bench-" + std::to_string(getpid()) + ".kst";
}

void BM_SaveFrame(benchmark::State& st) {
    Solid* s = buildFrame();
    const AppSettings settings = initialSettings();
    for (auto _ : st) {
        if (files::saveModelFile(path(), s, root(), settings) != files::SaveStatus::kSaved)
            st.SkipWithError("save failed");
    }
    std::remove(path().c_str());
    mdl_reset();
}
BENCHMARK(BM_SaveFrame)->Unit(benchmark::kMillisecond);

void BM_OpenFrame(benchmark::State& st) {
    Solid* s = buildFrame();
    const AppSettings settings = initialSettings();
    files::saveModelFile(path(), s, root(), settings);
    for (auto _ : st) {
        files::ReadResult r = files::readModelFile(path(), settings);
        if (r.status != files::ReadStatus::kModel) st.SkipWithError("open failed");
        st.PauseTiming();
        mdl_set_recording_mode(MODE_OFF);
        mdl_delete_model(r.model);
        st.ResumeTiming();
    }
    std::remove(path().c_str());
    mdl_reset();
}
BENCHMARK(BM_OpenFrame)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
