// Result display on the 100-storey, 20-bay frame (2,121 nodes, 4,100
// members): computing the bending diagrams of all members, a full redraw
// with diagrams, end and step values and reactions into the Qt screen
// driver (offscreen, 1600 x 1000), and switching from bending to shear
// (new curves and a redraw, no new analysis). The end forces are those of
// beams fixed at both ends under 20 kN/m and of columns carrying the beams
// above them, written into the member records as the analysis would.
#include "attrib/attrib.h"
#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/loads.h"
#include "attrib/settings.h"
#include "bench/support/attribmodel.h"
#include "bench/support/tallframe.h"
#include "gfx/qt/qtcanvas.h"
#include "model/model.h"
#include "results/display.h"
#include "results/resultset.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

namespace {

using namespace bench_support;
constexpr double kLoad = -20.0;
constexpr double kStep = 0.05; // precision step, m: 120 samples per beam

Solid* g_model = nullptr;
attrib::AppSettings g_settings;
attrib::ColorScheme g_colors;

void buildFrame() {
    Solid* s = bench_support::newAttributedModel();
    buildTallFrame(s);
    attrib::PropertyBlock* q = nullptr;
    attrib::newBlock(attrib::root(), attrib::kUlf, "q", &q);
    attrib::valuesOf(q)->values = {0, kLoad, 0, 0};
    for (Edge* e = s->edges; e; e = e->next) {
        attrib::MemberAttrib* a = attrib::memberOf(e);
        const double dx = e->he2->vtx->x - e->he1->vtx->x;
        if (dx != 0) {
            // Beam fixed at both ends: V = -qL/2, M1 = -qL^2/12 acting on the member.
            attrib::loadsFor(*a, 1).blocks[attrib::kUniform - attrib::kEndMoments] = q;
            ++q->useCount;
            const double V = -kLoad * kBay / 2, M = -kLoad * kBay * kBay / 12;
            a->results = {0, V, M, 0, V, -M};
        } else {
            // Column under the beams of the storeys above it, with end moments.
            const double y = e->he1->vtx->y;
            const double N = -kLoad * kBay * (kStoreys - y / kStorey);
            a->results = {N, 5, 12, -N, -5, 5.5};
        }
    }
    g_model = s;
    g_settings = attrib::initialSettings();
    g_settings.result.on = 1;
    g_settings.display[attrib::kResultValues] = 1;
    g_settings.display[attrib::kStepValues] = 1;
    g_settings.resultStep = 1.5;
    g_colors = attrib::makeScheme(attrib::kWhiteBackground);
    int members = 0;
    for (const Edge* e = s->edges; e; e = e->next) ++members;
    std::printf("frame: %d members\n", members);
}

void drawInto(gfx::QtCanvas& c, const results::ResultDrawing& rd) {
    results::DisplayInput in{g_model, &attrib::root(), &g_settings, &g_colors, &rd};
    results::drawModel(c, in);
    c.flush();
}

void window(gfx::Canvas& c) {
    c.setWindow(-10, kBays * kBay + 10, -5, kStoreys * kStorey + 5);
}

void BM_BendingDiagrams(benchmark::State& st) {
    results::ResultCurves rc;
    for (auto _ : st) {
        results::computeCurves(rc, g_model, results::ResultKind::Bending, kStep);
        benchmark::DoNotOptimize(rc.largest);
    }
    st.counters["members"] = static_cast<double>(rc.curves.size());
}
BENCHMARK(BM_BendingDiagrams)->Unit(benchmark::kMillisecond);

// The same redraw without the result layer, for comparison.
void BM_RedrawModelOnly(benchmark::State& st) {
    gfx::QtCanvas c(1600, 1000);
    window(c);
    for (auto _ : st) {
        results::DisplayInput in{g_model, &attrib::root(), &g_settings, &g_colors, nullptr};
        results::drawModel(c, in);
        c.flush();
    }
}
BENCHMARK(BM_RedrawModelOnly)->Unit(benchmark::kMillisecond);

// The result layer that draws the curves rc, at a diagram size of a
// two-hundredth of the frame's height.
results::ResultDrawing drawingOf(const results::ResultCurves& rc) {
    results::ResultDrawing rd;
    rd.curves = &rc;
    rd.diagramSize = 0.1 * kStoreys * kStorey / 20;
    return rd;
}

void BM_RedrawWithDiagramsAndValues(benchmark::State& st) {
    gfx::QtCanvas c(1600, 1000);
    window(c);
    results::ResultCurves rc;
    results::computeCurves(rc, g_model, results::ResultKind::Bending, kStep);
    const results::ResultDrawing rd = drawingOf(rc);
    for (auto _ : st) drawInto(c, rd);
}
BENCHMARK(BM_RedrawWithDiagramsAndValues)->Unit(benchmark::kMillisecond);

// The same with the value toggles off: the cost of the labels.
void BM_RedrawDiagramsWithoutValues(benchmark::State& st) {
    gfx::QtCanvas c(1600, 1000);
    window(c);
    results::ResultCurves rc;
    results::computeCurves(rc, g_model, results::ResultKind::Bending, kStep);
    const results::ResultDrawing rd = drawingOf(rc);
    g_settings.display[attrib::kResultValues] = g_settings.display[attrib::kStepValues] = 0;
    for (auto _ : st) drawInto(c, rd);
    g_settings.display[attrib::kResultValues] = g_settings.display[attrib::kStepValues] = 1;
}
BENCHMARK(BM_RedrawDiagramsWithoutValues)->Unit(benchmark::kMillisecond);

void BM_SwitchBendingToShear(benchmark::State& st) {
    gfx::QtCanvas c(1600, 1000);
    window(c);
    results::ResultCurves rc;
    const results::ResultDrawing rd = drawingOf(rc);
    for (auto _ : st) {
        results::computeCurves(rc, g_model, results::ResultKind::Shear, kStep);
        drawInto(c, rd);
    }
}
BENCHMARK(BM_SwitchBendingToShear)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    buildFrame();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
