// The envelope on the loaded 100 x 20 frame (2121 nodes, 4100 members):
// - 5 load cases and 30 combinations: the bending envelope computed from the
//   stored results (every member sampled over every combination) and drawn
//   with its values, as the window shows it after "Envelope" is chosen;
// - one pattern case loading every member (the floor load on the beams, 2
//   kN/m of wind along every column) beside a dead-load case: the analysis
//   with the 4101 shares gathered into the envelope's sums, and the bending
//   envelope of two combinations with those sums, computed and drawn.
// The memory the share sums take is reported as a counter.
#include "analysis/analysis.h"
#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/settings.h"
#include "bench/support/loadedframe.h"
#include "gfx/qt/qtcanvas.h"
#include "model/model.h"
#include "results/display.h"
#include "results/envelope.h"
#include "results/resultset.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

std::string modelPath() {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("kestrel-bench-envelope-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / "frame.kst").string();
}

void removeFiles(const std::string& path) {
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

// 30 combinations of the 5 cases, each case with its own factor pattern.
void thirtyCombinations(attrib::AttributeRoot& r) {
    for (int k = 0; k < 30; ++k) {
        int id = 0;
        char label[16];
        std::snprintf(label, sizeof label, "C%d", k + 1);
        attrib::newCombination(r, label, &id);
        for (std::size_t c = 0; c < r.cases.size(); ++c)
            attrib::setFactor(r, id, r.cases[c].id, ((k + c) % 4) * 0.5 - 0.25 * (c == 4));
    }
}

// Draws the envelope as the window does: the frame with its members, the
// two curves of every member and their values.
void draw(gfx::QtCanvas& c, Solid* s, const results::Envelope& env, attrib::AppSettings& st) {
    static const attrib::ColorScheme colors = attrib::makeScheme(attrib::kWhiteBackground);
    results::ResultDrawing rd;
    rd.envelope = &env;
    rd.diagramSize = 0.1 * 300 / 20;
    const results::DisplayInput in{s, &attrib::root(), &st, &colors, &rd};
    results::drawModel(c, in);
    c.flush();
}

// The timed part of the envelope benchmarks: the bending envelope of the
// analysed frame read from the stored results, computed and drawn, as the
// window does after "Envelope" is chosen.
void showEnvelopes(benchmark::State& state, Solid* s, results::EnvelopeInput& in) {
    gfx::QtCanvas c(1600, 1000);
    c.setWindow(-10, 130, -5, 305);
    attrib::AppSettings st = attrib::initialSettings();
    st.result.on = 1;
    st.display[attrib::kResultValues] = 1;
    results::Envelope env;
    for (auto _ : state) {
        results::readStoredResults(in, analysis::storedResults());
        results::computeEnvelope(env, in.frame, in.cases, attrib::envelopeMembers(attrib::root()),
                                 in.patternList(), results::ResultKind::Bending);
        draw(c, s, env, st);
    }
}

void BM_BendingEnvelope(benchmark::State& state) {
    Solid* s = bench_support::buildLoadedFrame(5);
    attrib::AttributeRoot& r = attrib::root();
    thirtyCombinations(r);
    const std::string path = modelPath();
    analysis::resetResults(s);
    if (analysis::runAnalysis(s, r, path).status != analysis::RunStatus::kSolved)
        state.SkipWithError("not solved");
    results::EnvelopeInput in;
    showEnvelopes(state, s, in);
    state.counters["combinations"] = static_cast<double>(r.combos.size());
    removeFiles(path);
    mdl_reset();
    attrib::state().reset();
}
BENCHMARK(BM_BendingEnvelope)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The frame of the pattern benchmarks: case 1 the floor load and the wind
// as loaded by buildLoadedFrame, case 2 ("Pattern") the floor load again
// and 2 kN/m along every column, two combinations.
Solid* patternFrame() {
    Solid* s = bench_support::buildLoadedFrame(1);
    attrib::AttributeRoot& r = attrib::root();
    int id = 0;
    attrib::newCase(r, "Pattern", &id);
    attrib::setPattern(r, id, true);
    attrib::PropertyBlock *side = nullptr, *floor = nullptr;
    attrib::newBlock(r, attrib::kUlf, "Side", &side);
    attrib::valuesOf(side)->values[0] = 2;
    attrib::newBlock(r, attrib::kUlf, "Imposed", &floor);
    attrib::valuesOf(floor)->values[1] = -10;
    for (Edge* e = s->edges; e; e = e->next) {
        attrib::PropertyBlock* b = e->he1->vtx->y == e->he2->vtx->y ? floor : side;
        attrib::loadsFor(*attrib::memberOf(e), id).blocks[attrib::kUniform - attrib::kEndMoments] =
            b;
        b->useCount++;
    }
    int combo = 0;
    attrib::newCombination(r, "ULS", &combo);
    attrib::setFactor(r, combo, 1, 1.35);
    attrib::setFactor(r, combo, id, 1.5);
    attrib::newCombination(r, "SLS", &combo);
    attrib::setFactor(r, combo, 1, 1);
    attrib::setFactor(r, combo, id, 1);
    return s;
}

void BM_PatternAnalysis(benchmark::State& state) {
    Solid* s = patternFrame();
    attrib::AttributeRoot& r = attrib::root();
    const std::string path = modelPath();
    results::EnvelopeInput in;
    for (auto _ : state) {
        analysis::resetResults(s);
        const analysis::RunOutcome out =
            analysis::runAnalysis(s, r, path, results::gatherShares(in, s, r));
        if (out.status != analysis::RunStatus::kSolved) state.SkipWithError("not solved");
    }
    state.counters["pattern_MB"] = static_cast<double>(in.patternBytes()) / (1 << 20);
    state.counters["shares_ms"] = 1e3 * kestrel::engine::LastEngineTimings().shares;
    removeFiles(path);
    mdl_reset();
    attrib::state().reset();
}
BENCHMARK(BM_PatternAnalysis)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_PatternEnvelope(benchmark::State& state) {
    Solid* s = patternFrame();
    attrib::AttributeRoot& r = attrib::root();
    const std::string path = modelPath();
    results::EnvelopeInput in;
    analysis::resetResults(s);
    if (analysis::runAnalysis(s, r, path, results::gatherShares(in, s, r)).status !=
        analysis::RunStatus::kSolved)
        state.SkipWithError("not solved");
    showEnvelopes(state, s, in);
    state.counters["pattern_MB"] = static_cast<double>(in.patternBytes()) / (1 << 20);
    removeFiles(path);
    mdl_reset();
    attrib::state().reset();
}
BENCHMARK(BM_PatternEnvelope)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
