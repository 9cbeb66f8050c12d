// Opening a model file as kestrel-solve does (read, the frame checks of the
// reader, the model checks of the analysis) against the engine's own time on
// the same frame, at 100 and 799 storeys of 20 bays (2,121 nodes and 4,100
// members; 16,800 nodes and 32,759 members). Target: reading and checking
// under the engine's time at both heights. At 1,000 storeys (41,000 members)
// the ids pass 32,767: the frame saves and reads as any other. And a file of
// 100,000 materials and as many dimension lines: reading in linear time.
#include "analysis/analysis.h"
#include "attrib/blocks.h"
#include "attrib/section.h"
#include "bench/support/attribmodel.h"
#include "bench/support/tallframe.h"
#include "files/modelfile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string path(int storeys) {
    return "/tmp/kestrel-bench-read-" + std::to_string(getpid()) + "-" + std::to_string(storeys) +
           ".kst";
}

// The frame with one material and section on every member and fixed bases,
// saved; the model stays current.
Solid* saveFrame(int storeys) {
    Solid* s = bench_support::newAttributedModel();
    bench_support::buildTallFrame(s, storeys);
    attrib::AttributeRoot& r = attrib::root();
    attrib::PropertyBlock *mat, *sec;
    attrib::newBlock(r, attrib::kMaf, "Steel", &mat);
    attrib::valuesOf(mat)->values = {2.05e8, 78.5, 1.2e-5, 0};
    attrib::newBlock(r, attrib::kSpf, "Col", &sec);
    attrib::sectionOf(sec)->params = {0.02, 4e-4, 0.4, 0.2};
    for (Edge* e = s->edges; e; e = e->next) {
        attrib::MemberAttrib* a = attrib::memberOf(e);
        a->blocks[attrib::kMaterial] = mat;
        a->blocks[attrib::kSection] = sec;
        mat->useCount++;
        sec->useCount++;
    }
    for (Vertex* v = s->vertices; v; v = v->next)
        if (v->y == 0) std::fill(attrib::nodeOf(v)->support, attrib::nodeOf(v)->support + 3, '1');
    files::saveModelFile(path(storeys), s, r, attrib::initialSettings());
    return s;
}

void BM_ReadAndCheck(benchmark::State& st) {
    const int storeys = static_cast<int>(st.range(0));
    saveFrame(storeys);
    for (auto _ : st) {
        files::ReadResult r = files::readModelFile(path(storeys), attrib::initialSettings());
        if (r.status != files::ReadStatus::kModel || r.noteCount != 0 ||
            analysis::checkModel(r.model, *r.root) != analysis::kCheckOk)
            st.SkipWithError("not read");
        st.PauseTiming();
        mdl_set_recording_mode(MODE_OFF);
        mdl_delete_model(r.model);
        st.ResumeTiming();
    }
    std::remove(path(storeys).c_str());
    mdl_reset();
}
BENCHMARK(BM_ReadAndCheck)->Arg(100)->Arg(799)->Arg(1000)->Unit(benchmark::kMillisecond);

// The whole analysis; the time of the engine alone is the counter "engine" (ms).
void BM_Engine(benchmark::State& st) {
    const int storeys = static_cast<int>(st.range(0));
    Solid* s = saveFrame(storeys);
    double engine = 0;
    for (auto _ : st) {
        const analysis::RunOutcome run = analysis::runAnalysis(s, attrib::root(), path(storeys));
        if (run.status != analysis::RunStatus::kSolved) st.SkipWithError("not solved");
        engine += analysis::lastDriverTimings().engine * 1e3;
    }
    st.counters["engine"] = benchmark::Counter(engine / st.iterations());
    for (const char* ext : {"kst", "pos"})
        std::remove(analysis::analysisFileName(path(storeys), ext).c_str());
    mdl_reset();
}
BENCHMARK(BM_Engine)->Arg(100)->Arg(799)->Unit(benchmark::kMillisecond)->Iterations(1);

// A frame of one node whose file holds `n` materials and `n` dimension lines.
void BM_ManyBlocks(benchmark::State& st) {
    const int n = static_cast<int>(st.range(0));
    Solid* s = bench_support::newAttributedModel();
    attrib::AttributeRoot& r = attrib::root();
    attrib::BlockAppender materials(r, attrib::kMaf);
    for (int i = 0; i < n; ++i) {
        attrib::PropertyBlock* b = attrib::makeBlock(attrib::kMaf);
        std::snprintf(b->label, sizeof b->label, "M%d", i);
        attrib::valuesOf(b)->values = {2.05e8, 78.5, 1.2e-5, 0};
        materials.append(b);
    }
    for (int i = 0; i < n; ++i)
        r.dimLines.push_back(attrib::dimensionLineFrom({0, 1.0 * i}, {5, 1.0 * i}, {2, i + 0.5}));
    files::saveModelFile(path(0), s, r, attrib::initialSettings());
    for (auto _ : st) {
        files::ReadResult res = files::readModelFile(path(0), attrib::initialSettings());
        if (res.status != files::ReadStatus::kModel ||
            attrib::blockCount(*res.root, attrib::kMaf) != n)
            st.SkipWithError("not read");
        st.PauseTiming();
        mdl_set_recording_mode(MODE_OFF);
        mdl_delete_model(res.model);
        st.ResumeTiming();
    }
    std::remove(path(0).c_str());
    mdl_reset();
}
BENCHMARK(BM_ManyBlocks)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
