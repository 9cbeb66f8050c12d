// Benchmark of the analysis engine on regular plane frames of S storeys x B bays (fixed bases,
// a lateral force at every floor and a uniform gravity load on every beam), written as neutral
// files in the driver's layout, with one load case or several. Times the whole analysis and
// reports each phase, the number of equations and of load cases, the stored profile, whether
// the equations were reordered and the factorisation rate over wall and processor time. The
// same frame in second order, its buckling factors and its natural frequencies (run each alone,
// --benchmark_filter, for its own peak memory).
#include "analysis/engine/engine.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

using kestrel::engine::AnalyseCore;
using kestrel::engine::EngineTimings;
using kestrel::engine::LastEngineTimings;

// A uniform load record on member e: down along a beam, sideways along a column.
std::string member_load(int e, bool beam) {
    return std::to_string(e) +
           (beam ? "     0  0  1\n0  -25  0  0  0  0\n" : "     0  0  1\n2  0  0  0  0  0\n");
}

// Writes the frame; nodes are numbered bottom to top, left to right, members by their ends.
// With one case the lateral floor forces and the beams' uniform loads are the file's only
// case. With several, the first case loads every member (the floors, every beam and every
// column) and case k > 1 loads every (cases - 1)-th member from member k - 1 on.
std::string write_frame(int storeys, int bays, int cases = 1, bool weight = false) {
    namespace fs = std::filesystem;
    std::string path =
        (fs::temp_directory_path() / ("kestrel-bench-" + std::to_string(storeys) + "x" +
                                      std::to_string(bays) + "x" + std::to_string(cases) + ".dat"))
            .string();
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return path;
    const int cols = bays + 1, nnode = (storeys + 1) * cols;
    const int nmember = storeys * cols + storeys * bays;
    auto node = [&](int i, int j) { return i * cols + j + 1; };
    std::fprintf(f, "\n%%HEADER.TITLE\n'Two-Dimensional Analysis of a Frame'\n");
    std::fprintf(f, "\n%%HEADER.ANALYSIS\n'beam3d'\n");
    std::fprintf(f, "\n%%NODE\n%d\n", nnode);
    std::fprintf(f, "\n%%NODE.COORD\n%d\n", nnode);
    for (int i = 0; i <= storeys; ++i)
        for (int j = 0; j < cols; ++j)
            std::fprintf(f, "%d     %g  %g  %g\n", node(i, j), 6.0 * j, 3.0 * i, 0.0);
    std::fprintf(f, "\n%%NODE.SUPPORT\n%d\n", nnode);
    for (int i = 0; i <= storeys; ++i)
        for (int j = 0; j < cols; ++j) {
            int fixed = i == 0 ? 1 : 0;
            std::fprintf(f, "%d     %d  %d  %d  %d  %d  %d\n", node(i, j), fixed, fixed, 1, 1, 1,
                         fixed);
        }
    std::fprintf(f, "\n%%MATERIAL\n1\n\n%%MATERIAL.ISOTROPIC\n1\n1     %g  %g\n", 2.05e8, 0.0);
    std::fprintf(f, "\n%%MATERIAL.PROPERTY.THERMAL_EXPANSION\n1\n1     %g\n", 1e-5);
    if (weight) std::fprintf(f, "\n%%MATERIAL.PROPERTY.DENSITY\n1\n1     %g\n", 78.5);
    std::fprintf(f, "\n%%SECTION.PROPERTY\n6\n");
    std::fprintf(f, "1     0.02  0  0  0  0  0.0004  0  0.4  0\n");
    std::fprintf(f, "2     0.01  0  0  0  0  0.0002  0  0.3  0\n");
    std::fprintf(f, "3     1e+07  0  0  0  0  0.0004  0  0.4  0\n");
    std::fprintf(f, "4     1e+07  0  0  0  0  0.0002  0  0.3  0\n");
    std::fprintf(f, "5     1e+07  0  0  0  0  1e+07  0  0.4  0\n");
    std::fprintf(f, "6     1e+07  0  0  0  0  1e+07  0  0.3  0\n");
    std::fprintf(f,
                 "\n%%BEAM.ORIENTATION.VECTOR\n4\n1     0  1  0\n2     -1  0  0\n3     0  -1  0\n"
                 "4     1  0  0\n");
    std::fprintf(f, "\n%%BEAM.END.LIBERATION\n4\n"
                    "1     1  1  1  1  1  1  1  1  1  1  1  1\n"
                    "2     1  1  1  1  1  0  1  1  1  1  1  1\n"
                    "3     1  1  1  1  1  1  1  1  1  1  1  0\n"
                    "4     1  1  1  1  1  0  1  1  1  1  1  0\n");
    std::fprintf(f, "\n%%ELEMENT\n%d\n\n%%ELEMENT.BEAM\n%d\n", nmember, nmember);
    int e = 0;
    std::string beams, all;
    std::vector<std::string> sets(static_cast<std::size_t>(cases));
    std::vector<int> counts(static_cast<std::size_t>(cases));
    auto load = [&](bool beam) {
        if (beam) beams += member_load(e, true);
        all += member_load(e, beam);
        if (cases > 1) {
            const std::size_t k = 1 + static_cast<std::size_t>((e - 1) % (cases - 1));
            sets[k] += member_load(e, beam);
            ++counts[k];
        }
    };
    for (int i = 0; i <= storeys; ++i)
        for (int j = 0; j < cols; ++j) {
            if (i > 0 && j < bays) { // beam to the right
                std::fprintf(f, "%d     1  2  1  1     %d  %d\n", ++e, node(i, j), node(i, j + 1));
                load(true);
            }
            if (i < storeys) { // column upwards
                std::fprintf(f, "%d     1  1  2  1     %d  %d\n", ++e, node(i, j), node(i + 1, j));
                load(false);
            }
        }
    if (cases > 1) std::fprintf(f, "\n%%LOAD\n%d\n\n%%LOAD.CASE\n1  'All members'\n", cases);
    std::fprintf(f, "\n%%LOAD.CASE.NODAL.FORCE\n%d\n", storeys);
    for (int i = 1; i <= storeys; ++i)
        std::fprintf(f, "%d     %g  %g  %g  %g  %g  %g\n", node(i, 0), 10.0, 0.0, 0.0, 0.0, 0.0,
                     0.0);
    if (cases == 1) {
        std::fprintf(f, "\n%%LOAD.CASE.BEAM.UNIFORM\n%d\n%s", storeys * bays, beams.c_str());
    } else {
        std::fprintf(f, "\n%%LOAD.CASE.BEAM.UNIFORM\n%d\n%s", nmember, all.c_str());
        for (int k = 1; k < cases; ++k)
            std::fprintf(f, "\n%%LOAD.CASE\n%d  'Members %d'\n\n%%LOAD.CASE.BEAM.UNIFORM\n%d\n%s",
                         k + 1, k + 1, counts[static_cast<std::size_t>(k)],
                         sets[static_cast<std::size_t>(k)].c_str());
    }
    std::fprintf(f, "\n%%END\n");
    std::fclose(f);
    return path;
}

void BM_Analyse(benchmark::State& state) {
    const int storeys = static_cast<int>(state.range(0)), bays = static_cast<int>(state.range(1));
    const int cases = static_cast<int>(state.range(2));
    const std::string dat = write_frame(storeys, bays, cases);
    EngineTimings sum;
    std::string message;
    for (auto _ : state) {
        int result = AnalyseCore(dat.c_str(), &message);
        if (result != kestrel::engine::kAnalyseSolved) {
            state.SkipWithError(("analysis failed: " + message).c_str());
            break;
        }
        const EngineTimings& t = LastEngineTimings();
        sum.read += t.read;
        sum.number += t.number;
        sum.assemble += t.assemble;
        sum.factor += t.factor;
        sum.factor_cpu += t.factor_cpu;
        sum.forces += t.forces;
        sum.write += t.write;
        sum.factor_flops += t.factor_flops;
        sum.equations = t.equations;
        sum.cases = t.cases;
        sum.profile_entries = t.profile_entries;
        sum.profile_file_order = t.profile_file_order;
        sum.profile_reordered = t.profile_reordered;
        sum.reordered = t.reordered;
    }
    const double n = static_cast<double>(state.iterations());
    if (n > 0) {
        state.counters["equations"] = sum.equations;
        state.counters["cases"] = sum.cases;
        state.counters["profile_MB"] = static_cast<double>(sum.profile_entries) * 8 / 1e6;
        // Both candidate orders, whichever was taken.
        state.counters["profile_file_MB"] = static_cast<double>(sum.profile_file_order) * 8 / 1e6;
        state.counters["profile_rcm_MB"] = static_cast<double>(sum.profile_reordered) * 8 / 1e6;
        state.counters["reordered"] = sum.reordered ? 1 : 0;
        state.counters["read_ms"] = 1e3 * sum.read / n;
        state.counters["number_ms"] = 1e3 * sum.number / n;
        state.counters["assemble_ms"] = 1e3 * sum.assemble / n;
        state.counters["factor_ms"] = 1e3 * sum.factor / n;
        state.counters["forces_ms"] = 1e3 * sum.forces / n;
        state.counters["write_ms"] = 1e3 * sum.write / n;
        state.counters["factor_Gflops"] = sum.factor > 0 ? sum.factor_flops / sum.factor / 1e9 : 0;
        // On a shared machine the rate over processor time is the kernel's own.
        state.counters["factor_cpu_ms"] = 1e3 * sum.factor_cpu / n;
        state.counters["factor_Gflops_cpu"] =
            sum.factor_cpu > 0 ? sum.factor_flops / sum.factor_cpu / 1e9 : 0;
        struct rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        state.counters["max_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
    }
    std::string base = dat.substr(0, dat.size() - 4);
    std::remove(dat.c_str());
    std::remove((base + ".pos").c_str());
}

// Tall frames, then wide ones: numbered row by row, a wide frame has a wide profile unless
// the engine reorders its equations.
BENCHMARK(BM_Analyse)
    ->ArgNames({"storeys", "bays", "cases"})
    ->Args({10, 5, 1})
    ->Args({100, 20, 1})
    ->Args({1000, 20, 1})
    ->Args({3000, 20, 1})
    ->Args({20, 500, 1})
    ->Args({5, 2000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The 100 x 20 frame with one case, and with ten solved with the one factorisation (the first
// with every member loaded, each of the others with a different ninth of the members).
void BM_AnalyseCases(benchmark::State& state) {
    BM_Analyse(state);
}
BENCHMARK(BM_AnalyseCases)
    ->ArgNames({"storeys", "bays", "cases"})
    ->Args({100, 20, 1})
    ->Args({100, 20, 10})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void peak_memory(benchmark::State& state) {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["max_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

// The frame's one case in second order: the iterations after the linear solution.
void BM_SecondOrder(benchmark::State& state) {
    const std::string dat =
        write_frame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    kestrel::engine::SecondOrderSolution s;
    std::string message;
    for (auto _ : state) {
        if (kestrel::engine::AnalyseSecondOrder(dat.c_str(), &message, &s) !=
                kestrel::engine::kAnalyseSolved ||
            !s.runs.at(0).converged) {
            state.SkipWithError(("second order failed: " + message).c_str());
            break;
        }
    }
    if (!s.runs.empty()) state.counters["iterations"] = s.runs[0].iterations;
    peak_memory(state);
    std::remove(dat.c_str());
}
BENCHMARK(BM_SecondOrder)->Args({100, 20})->Unit(benchmark::kMillisecond)->UseRealTime();

// The first five buckling factors of the case's axial forces, or the first five frequencies,
// with their modes.
void eigen(benchmark::State& state, bool buckling) {
    const std::string dat = write_frame(static_cast<int>(state.range(0)),
                                        static_cast<int>(state.range(1)), 1, !buckling);
    kestrel::engine::EigenSolution s;
    kestrel::engine::EigenOptions options;
    std::string message;
    for (auto _ : state) {
        const int code =
            buckling ? kestrel::engine::AnalyseBuckling(dat.c_str(), options, &s, &message)
                     : kestrel::engine::AnalyseVibration(dat.c_str(), options, &s, &message);
        if (code != kestrel::engine::kAnalyseSolved || s.modes.size() != 5) {
            state.SkipWithError(("eigen analysis failed: " + message + s.note).c_str());
            break;
        }
    }
    state.counters["iterations"] = s.iterations;
    state.counters["equations"] = s.equations;
    state.counters["pieces"] = s.pieces.empty() ? 0 : s.pieces[0];
    for (std::size_t i = 0; i < s.modes.size(); ++i)
        state.counters["value" + std::to_string(i + 1)] = s.modes[i].value;
    peak_memory(state);
    std::remove(dat.c_str());
}
void BM_Buckling(benchmark::State& state) {
    eigen(state, true);
}
void BM_Vibration(benchmark::State& state) {
    eigen(state, false);
}
BENCHMARK(BM_Buckling)->Args({100, 20})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Vibration)->Args({100, 20})->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
