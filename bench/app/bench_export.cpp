// kestrel --export with a result on the loaded 100-storey, 20-bay frame
// (2121 nodes, 4100 members): the whole program run, from reading the model
// through the analysis and the diagrams to the picture written (PNG, 1600 x
// 1000), with the peak memory of the run. Target: bending under 200 ms and
// 100 MiB.
#include "bench/support/loadedframe.h"
#include "files/modelfile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path folder() {
    return fs::temp_directory_path() / ("kestrel-bench-export-" + std::to_string(getpid()));
}

// Runs kestrel --export OUT MODEL --result KIND; the status, and the peak
// resident memory of the run in MiB.
int exportPicture(const std::string& model, const std::string& out, const char* kind,
                  double& peakMiB) {
    std::string args[] = {KESTREL_PROGRAM, "--export", out, model, "--result", kind};
    char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(),
                    args[4].data(), args[5].data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return -1;
    peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_ExportResult(benchmark::State& st, const char* kind) {
    fs::create_directories(folder());
    const std::string model = (folder() / "frame.kst").string();
    Solid* s = bench_support::buildLoadedFrame();
    if (files::saveModelFile(model, s, attrib::root(), attrib::initialSettings()) !=
        files::SaveStatus::kSaved)
        st.SkipWithError("cannot save the frame");
    double peak = 0;
    for (auto _ : st)
        if (exportPicture(model, (folder() / "frame.png").string(), kind, peak) != 0)
            st.SkipWithError("the export failed");
    st.counters["peak_MiB"] = peak;
    fs::remove_all(folder());
    mdl_reset();
}
BENCHMARK_CAPTURE(BM_ExportResult, bending, "bending")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ExportResult, deformed, "deformed")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
