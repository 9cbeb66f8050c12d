// kestrel --export with a result on the loaded 100-storey, 20-bay frame
// (2121 nodes, 4100 members): the whole program run, from reading the model
// through the analysis and the diagrams to the picture written (PNG, 1600 x
// 1000), with the peak memory of the run. Target: bending under 200 ms and
// 100 MiB. And the calculation report of the frame.
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
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path folder() {
    return fs::temp_directory_path() / ("kestrel-bench-export-" + std::to_string(getpid()));
}

// Runs kestrel with `args`; the status, and the peak resident memory of the run in MiB.
int runKestrel(std::vector<std::string> args, double& peakMiB) {
    args.insert(args.begin(), KESTREL_PROGRAM);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return -1;
    peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The loaded frame saved in the folder; its path.
std::string savedFrame(benchmark::State& st) {
    fs::create_directories(folder());
    const std::string model = (folder() / "frame.kst").string();
    Solid* s = bench_support::buildLoadedFrame();
    if (files::saveModelFile(model, s, attrib::root(), attrib::initialSettings()) !=
        files::SaveStatus::kSaved)
        st.SkipWithError("cannot save the frame");
    return model;
}

void BM_ExportResult(benchmark::State& st, const char* kind) {
    const std::string model = savedFrame(st);
    double peak = 0;
    for (auto _ : st)
        if (runKestrel({"--export", (folder() / "frame.png").string(), model, "--result", kind},
                       peak) != 0)
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

// kestrel --report of the frame's one case: 4 pictures and the tables of 2121 nodes and
// 4100 members, about 300 pages. Target: under 3 s and 20 MiB above the export's memory
// (the process of one picture of the frame: the program, the model and its results).
void BM_Report(benchmark::State& st) {
    const std::string model = savedFrame(st);
    double peak = 0, exportPeak = 0;
    for (auto _ : st)
        if (runKestrel({"--report", (folder() / "frame.pdf").string(), model}, peak) != 0)
            st.SkipWithError("the report failed");
    if (runKestrel({"--export", (folder() / "frame.png").string(), model, "--result", "bending"},
                   exportPeak) != 0)
        st.SkipWithError("the export failed");
    st.counters["peak_MiB"] = peak;
    st.counters["above_export_MiB"] = peak - exportPeak;
    st.counters["pdf_MiB"] =
        static_cast<double>(fs::file_size(folder() / "frame.pdf")) / (1024.0 * 1024.0);
    fs::remove_all(folder());
    mdl_reset();
}
BENCHMARK(BM_Report)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
