// The result tables on the loaded 100 x 20 frame (2121 nodes, 4100 members):
// every tab filled for the load case shown (the tables window's fill), the
// same for the envelope of 5 cases and 30 combinations, and the CSV of all
// tabs written to files.
#include "analysis/analysis.h"
#include "attrib/cases.h"
#include "bench/support/loadedframe.h"
#include "model/model.h"
#include "results/tables.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

std::string scratch() {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("kestrel-bench-tables-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir.string();
}

// The frame analysed; `combos` combinations of its cases.
struct Analysed {
    std::string dir = scratch();
    results::EnvelopeInput env;
    results::TableInput in;
    bool solved = false;
    Analysed(int cases, int combos) {
        Solid* s = bench_support::buildLoadedFrame(cases);
        attrib::AttributeRoot& r = attrib::root();
        for (int k = 0; k < combos; ++k) {
            int id = 0;
            char label[16];
            std::snprintf(label, sizeof label, "C%d", k + 1);
            attrib::newCombination(r, label, &id);
            for (std::size_t c = 0; c < r.cases.size(); ++c)
                attrib::setFactor(r, id, r.cases[c].id, ((k + c) % 4) * 0.5 + 0.25);
        }
        analysis::resetResults(s);
        solved = analysis::runAnalysis(s, r, dir + "/frame.kst", results::gatherShares(env, s, r))
                     .status == analysis::RunStatus::kSolved;
        results::readStoredResults(env, analysis::storedResults());
        in = {&analysis::storedResults().numbering,
              &r,
              &analysis::storedResults(),
              &env,
              r.cases.front().id,
              units::presetSettings(units::kSIPreset)};
    }
    ~Analysed() {
        std::filesystem::remove_all(dir);
        mdl_reset();
        attrib::state().reset();
    }
};

void BM_FillTables(benchmark::State& state) {
    Analysed a(1, 0);
    if (!a.solved) state.SkipWithError("not solved");
    std::size_t cells = 0;
    for (auto _ : state) {
        const std::vector<results::Table> t = results::buildTables(a.in);
        cells = 0;
        for (const results::Table& x : t) cells += x.rows.size() * x.columns.size();
        benchmark::DoNotOptimize(cells);
    }
    state.counters["cells"] = static_cast<double>(cells);
}
BENCHMARK(BM_FillTables)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_FillTablesEnvelope(benchmark::State& state) {
    Analysed a(5, 30);
    if (!a.solved) state.SkipWithError("not solved");
    a.in.shown = attrib::kEnvelope;
    for (auto _ : state) benchmark::DoNotOptimize(results::buildTables(a.in));
}
BENCHMARK(BM_FillTablesEnvelope)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_CsvAllTables(benchmark::State& state) {
    Analysed a(1, 0);
    if (!a.solved) state.SkipWithError("not solved");
    const std::vector<results::Table> t = results::buildTables(a.in);
    std::string error;
    for (auto _ : state)
        if (!results::writeTablesCsv(t, a.dir, error)) state.SkipWithError(error.c_str());
    std::uintmax_t bytes = 0;
    for (const results::Table& x : t)
        bytes += std::filesystem::file_size(a.dir + "/" + results::tableFileStem(x.kind) + ".csv");
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_CsvAllTables)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
