// The analysis driver on a 100 storeys x 20 bays frame (2121 nodes, 4100
// members) with materials, sections, fixed bases, lateral nodal loads and
// uniform loads on the beams: the whole analysis as a result command runs it
// on a saved model (check, reset, numbering, neutral file, engine, result
// file read back into the records), with the driver's phases as counters;
// the writer alone; the whole kestrel-solve process on the saved frame; and
// one influence line as a pick runs it (reset, the dislocation analysis,
// the line sampled over every member); and a pattern case split into a share
// per member.
#include "analysis/analysis.h"
#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/section.h"
#include "attrib/settings.h"
#include "bench/support/attribmodel.h"
#include "bench/support/loadedframe.h"
#include "files/modelfile.h"
#include "results/resultset.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr int kBays = 20;
constexpr int kStoreys = 100;

Solid* buildFrame() {
    Solid* s = bench_support::newAttributedModel();
    std::vector<Vertex*> prev(kBays + 1), row(kBays + 1);
    row[0] = mdl_insert_point(s, MPoint{0, 0});
    for (int i = 1; i <= kBays; ++i)
        row[i] =
            mdl_insert_edge_from(row[i - 1], MPoint{6.0 * i, 0}, CURVE_LINE, nullptr, 0)->he2->vtx;
    // The ground beams make the bottom row one piece; they are removed below
    // so that every base is a column foot.
    for (int j = 1; j <= kStoreys; ++j) {
        prev.swap(row);
        for (int i = 0; i <= kBays; ++i) {
            row[i] = mdl_insert_edge_from(prev[i], MPoint{6.0 * i, 3.5 * j}, CURVE_LINE, nullptr, 0)
                         ->he2->vtx;
            if (i > 0) mdl_insert_edge_between(row[i - 1], row[i], CURVE_LINE, nullptr, 0);
        }
    }
    for (Edge* e = s->edges; e;) {
        Edge* next = e->next;
        if (e->he1->vtx->y == 0 && e->he2->vtx->y == 0) mdl_delete_edge(e);
        e = next;
    }
    attrib::AttributeRoot& r = attrib::root();
    attrib::PropertyBlock* mat =
        attrib::appendBlock(r, attrib::kMaf, attrib::makeBlock(attrib::kMaf));
    attrib::valuesOf(mat)->values = {2.05e8, 78.5, 1.2e-5, 0};
    attrib::PropertyBlock* col =
        attrib::appendBlock(r, attrib::kSpf, attrib::makeBlock(attrib::kSpf));
    attrib::sectionOf(col)->params = {0.02, 4e-4, 0.4, 0.2};
    attrib::PropertyBlock* beam =
        attrib::appendBlock(r, attrib::kSpf, attrib::makeBlock(attrib::kSpf));
    attrib::sectionOf(beam)->params = {0.01, 2e-4, 0.5, 0.25};
    attrib::PropertyBlock* q =
        attrib::appendBlock(r, attrib::kUlf, attrib::makeBlock(attrib::kUlf));
    attrib::valuesOf(q)->values[1] = -20;
    attrib::PropertyBlock* h =
        attrib::appendBlock(r, attrib::kNff, attrib::makeBlock(attrib::kNff));
    attrib::valuesOf(h)->values[0] = 5;
    // Labels as the panels give them: never empty.
    const char* labels[] = {"Steel", "Column", "Beam", "Floor", "Wind"};
    int k = 0;
    for (attrib::PropertyBlock* b : {mat, col, beam, q, h}) std::strcpy(b->label, labels[k++]);
    for (Edge* e = s->edges; e; e = e->next) {
        attrib::MemberAttrib* a = attrib::memberOf(e);
        const bool horizontal = e->he1->vtx->y == e->he2->vtx->y;
        a->blocks[attrib::kMaterial] = mat;
        a->blocks[attrib::kSection] = horizontal ? beam : col;
        if (horizontal) attrib::loadsFor(*a, 1).blocks[attrib::kUniform - attrib::kEndMoments] = q;
    }
    for (Vertex* v = s->vertices; v; v = v->next) {
        attrib::NodeAttrib* a = attrib::nodeOf(v);
        if (v->y == 0) a->support[0] = a->support[1] = a->support[2] = '1';
        if (v->x == 0 && v->y > 0) attrib::loadsFor(*a, 1).force = h;
    }
    return s;
}

std::string modelPath() {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("kestrel-bench-driver-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / "frame.kst").string();
}

void BM_BendingCommandOnSavedFrame(benchmark::State& state) {
    Solid* s = buildFrame();
    const std::string path = modelPath();
    analysis::DriverTimings sum;
    double engineInside = 0;
    for (auto _ : state) {
        if (analysis::checkModel(s, attrib::root()) != analysis::kCheckOk)
            state.SkipWithError("check");
        analysis::resetResults(s);
        const analysis::RunOutcome out = analysis::runAnalysis(s, attrib::root(), path);
        if (out.status != analysis::RunStatus::kSolved) state.SkipWithError("not solved");
        const analysis::DriverTimings& t = analysis::lastDriverTimings();
        sum.number += t.number, sum.write += t.write, sum.engine += t.engine, sum.read += t.read;
        engineInside += kestrel::engine::LastEngineTimings().total;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["number_ms"] = 1e3 * sum.number / n;
    state.counters["write_ms"] = 1e3 * sum.write / n;
    state.counters["engine_ms"] = 1e3 * sum.engine / n;
    state.counters["read_ms"] = 1e3 * sum.read / n;
    state.counters["driver_ms"] = 1e3 * (sum.number + sum.write + sum.read) / n;
    state.counters["engine_total_ms"] = 1e3 * engineInside / n;
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
    mdl_reset();
    attrib::state().reset();
}
BENCHMARK(BM_BendingCommandOnSavedFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The bending-moment influence line for a section at the middle of a beam
// half-way up the frame, sampled every 0.05 m (120 samples a beam).
void BM_InfluenceLinePick(benchmark::State& state) {
    Solid* s = buildFrame();
    const std::string path = modelPath();
    const Edge* beam = nullptr;
    for (const Edge* e = s->edges; e && !beam; e = e->next)
        if (e->he1->vtx->y == 3.5 * kStoreys / 2 && e->he2->vtx->y == e->he1->vtx->y &&
            std::min(e->he1->vtx->x, e->he2->vtx->x) == 6.0 * kBays / 2)
            beam = e;
    if (!beam) state.SkipWithError("no beam");
    results::ResultCurves rc;
    for (auto _ : state) {
        analysis::resetResults(s);
        const analysis::RunOutcome out =
            analysis::runInfluenceAnalysis(s, attrib::root(), path, {3, beam, 3.0, 6.0});
        if (out.status != analysis::RunStatus::kSolved) state.SkipWithError("not solved");
        results::computeInfluenceCurves(rc, s, results::ResultKind::Bending, beam, 3.0, 0.05);
        benchmark::DoNotOptimize(rc.curves.data());
    }
    state.counters["largest_m"] = rc.largest;
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
    mdl_reset();
    attrib::state().reset();
}
BENCHMARK(BM_InfluenceLinePick)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_NeutralFileWriter(benchmark::State& state) {
    Solid* s = buildFrame();
    const analysis::Numbering n = analysis::numberModel(s);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text;
        analysis::writeModelSection(text, n, attrib::root());
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    mdl_reset();
    attrib::state().reset();
}
BENCHMARK(BM_NeutralFileWriter)->Unit(benchmark::kMillisecond);

} // namespace
// The whole kestrel-solve process on a frame saved as a model file: start,
// reading the model file, the analysis, the tables on stdout (discarded).
void solveProcess(benchmark::State& state, Solid* s) {
    const std::string path = modelPath();
    if (!bench_support::saveAndRelease(s, path)) state.SkipWithError("save");
    const std::string command =
        KESTREL_BIN_DIR "/kestrel-solve " + path + " > /dev/null 2>/tmp/kestrel-bench-solve.err";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("kestrel-solve failed");
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

void BM_KestrelSolveProcess(benchmark::State& state) {
    solveProcess(state, buildFrame());
}
BENCHMARK(BM_KestrelSolveProcess)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The loaded 100 x 20 frame with 1 and with 10 load cases: from the analysis
// (the Bending command's run) to every case's results stored, and the whole
// kestrel-solve process on its model file (a table per case).
void BM_AllCasesStored(benchmark::State& state) {
    Solid* s = bench_support::buildLoadedFrame(static_cast<int>(state.range(0)));
    const std::string path = modelPath();
    for (auto _ : state) {
        analysis::resetResults(s);
        const analysis::RunOutcome out = analysis::runAnalysis(s, attrib::root(), path);
        if (out.status != analysis::RunStatus::kSolved) state.SkipWithError("not solved");
    }
    const analysis::DriverTimings& t = analysis::lastDriverTimings();
    state.counters["write_ms"] = 1e3 * t.write;
    state.counters["engine_ms"] = 1e3 * t.engine;
    state.counters["read_ms"] = 1e3 * t.read;
    const kestrel::engine::EngineTimings& e = kestrel::engine::LastEngineTimings();
    state.counters["engine_read_ms"] = 1e3 * e.read;
    state.counters["engine_assemble_ms"] = 1e3 * (e.number + e.assemble);
    state.counters["engine_factor_ms"] = 1e3 * e.factor;
    state.counters["engine_forces_ms"] = 1e3 * e.forces;
    state.counters["engine_write_ms"] = 1e3 * e.write;
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
    mdl_reset();
    attrib::state().reset();
}
BENCHMARK(BM_AllCasesStored)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_KestrelSolveCases(benchmark::State& state) {
    solveProcess(state, bench_support::buildLoadedFrame(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_KestrelSolveCases)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The loaded 100 x 20 frame as one pattern case that loads all 4100 members (the beams' floor
// load, 2 kN/m of wind along every column): the analysis with its 4101 shares (each member's
// load and the nodal wind) handed to a callback that does nothing (1) or takes every share's
// largest end moment into an envelope (2); without a callback (0) no share is solved.
void BM_PatternShares(benchmark::State& state) {
    Solid* s = bench_support::buildLoadedFrame(1);
    attrib::AttributeRoot& r = attrib::root();
    attrib::PropertyBlock* side = nullptr;
    attrib::newBlock(r, attrib::kUlf, "Side", &side);
    attrib::valuesOf(side)->values[0] = 2;
    for (Edge* e = s->edges; e; e = e->next) {
        if (e->he1->vtx->y == e->he2->vtx->y) continue;
        attrib::loadsFor(*attrib::memberOf(e), 1).blocks[attrib::kUniform - attrib::kEndMoments] =
            side;
        side->useCount++;
    }
    r.cases.front().pattern = true;
    const std::string path = modelPath();
    std::vector<double> largest;
    analysis::RunOptions options;
    if (state.range(0) == 1) options.onShare = [](int, int, const analysis::CaseResults&) {};
    if (state.range(0) == 2)
        options.onShare = [&](int, int, const analysis::CaseResults& share) {
            largest.resize(share.endForces.size() / 6);
            for (std::size_t m = 0; m < largest.size(); ++m)
                largest[m] =
                    std::max({largest[m], share.endForces[m * 6 + 2], share.endForces[m * 6 + 5]});
        };
    for (auto _ : state) {
        analysis::resetResults(s);
        const analysis::RunOutcome out = analysis::runAnalysis(s, r, path, options);
        if (out.status != analysis::RunStatus::kSolved) state.SkipWithError("not solved");
    }
    const kestrel::engine::EngineTimings& t = kestrel::engine::LastEngineTimings();
    state.counters["engine_ms"] = 1e3 * analysis::lastDriverTimings().engine;
    state.counters["shares_ms"] = 1e3 * t.shares;
    state.counters["shares"] = t.shares_solved;
    state.counters["equations"] = t.equations;
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
    mdl_reset();
    attrib::state().reset();
}
BENCHMARK(BM_PatternShares)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
