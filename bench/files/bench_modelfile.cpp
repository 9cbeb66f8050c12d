// Model file benchmarks on a frame of 100 storeys and 20 bays (2121 nodes,
// 4100 members) with materials, sections, supports and loads: saving (write,
// flush to disk, rename) and opening (read, check, the model built again).
// Targets: save under 100 ms, open under 150 ms.
#include "bench/support/loadedframe.h"
#include "files/modelfile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using namespace attrib;
using bench_support::buildLoadedFrame;

std::string path() {
    return "/tmp/kestrel-bench-" + std::to_string(getpid()) + ".kst";
}

void BM_SaveFrame(benchmark::State& st) {
    Solid* s = buildLoadedFrame();
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
    Solid* s = buildLoadedFrame();
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
