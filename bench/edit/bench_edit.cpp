// Editing and display on a 100-storey, 20-bay frame (2,121 nodes, 4,100
// members) built through the frame model's operations inside the started
// program (headless toolkit): a full redraw into the recording driver and
// into the Qt screen driver (offscreen, 1600 x 1000), picking the member
// under the cursor, a fence that selects everything, and inserting one
// horizontal member across all 21 columns and undoing it.
#include "attrib/attrib.h"
#include "bench/support/shellframe.h"
#include "gfx/qt/qtcanvas.h"
#include "gfx/record.h"
#include "model/model.h"
#include "results/display.h"
#include "shell/edit/edit.h"
#include "shell/edit/view.h"
#include "shell/startup.h"
#include "shell/state.h"
#include "ui/headless.h"
#include "ui/ui.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using namespace bench_support;

ui::HeadlessBackend* g_backend = nullptr;
std::unique_ptr<ui::Toolkit> g_tk;

void setUp() {
    auto b = std::make_unique<ui::HeadlessBackend>(1600, 1000);
    g_backend = b.get();
    g_tk = std::make_unique<ui::Toolkit>(std::move(b));
    if (shell::startUp(*g_tk, "") != 0) std::abort();
    buildShellFrame(1e-3);
    int n, m;
    countShellFrame(n, m);
    std::printf("frame: %d nodes, %d members\n", n, m);
    // The crossing member of the insertion benchmarks: 22 pieces, 21 columns split.
    const double y = 50.5 * kStorey;
    shell::insertMember(-2, y, kBays * kBay + 2, y, 1e-3);
    int n2, m2;
    countShellFrame(n2, m2);
    std::printf("with the crossing member: %d nodes, %d members\n", n2, m2);
    mdl_undo();
    mdl_clear_history();
    shell::deselectAll();
}

results::DisplayInput displayInput() {
    shell::AppState& a = shell::app();
    results::DisplayInput in;
    in.model = a.model;
    in.root = &attrib::root();
    in.settings = &a.settings;
    in.colors = &a.colors;
    return in;
}

template <class C> void fitCanvas(C& c) {
    double x0, x1, y0, y1;
    shell::viewWindow(x0, x1, y0, y1);
    c.setWindow(x0, x1, y0, y1);
}

void BM_RedrawRecording(benchmark::State& st) {
    gfx::RecordingCanvas c(1600, 1000);
    fitCanvas(c);
    const results::DisplayInput in = displayInput();
    for (auto _ : st) {
        st.PauseTiming();
        c.reset();
        st.ResumeTiming();
        results::drawModel(c, in);
        c.flush();
    }
    st.counters["primitives"] = static_cast<double>(c.primitives().size());
}
BENCHMARK(BM_RedrawRecording)->Unit(benchmark::kMillisecond);

void BM_RedrawQtOffscreen(benchmark::State& st) {
    gfx::QtCanvas c(1600, 1000);
    fitCanvas(c);
    const results::DisplayInput in = displayInput();
    for (auto _ : st) {
        results::drawModel(c, in);
        c.flush();
    }
}
BENCHMARK(BM_RedrawQtOffscreen)->Unit(benchmark::kMillisecond);

// What a click in the select mode looks up: the node, then the member, at a
// point in the middle of a beam half way up the frame, with the pick
// tolerance of the fitted canvas.
void BM_PickMember(benchmark::State& st) {
    Solid* s = shell::app().model;
    const double tol = shell::app().canvas->pixelsToWorldX(8);
    const MPoint at{10.5 * kBay, 50 * kStorey + 0.3 * tol};
    mdl_set_tolerance(tol);
    for (auto _ : st) {
        MPoint p = at;
        benchmark::DoNotOptimize(mdl_find_vertex_at(s, &p));
        Edge* e = mdl_find_edge_at(s, p, tol);
        if (!e) st.SkipWithError("no member found");
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_PickMember)->Unit(benchmark::kMicrosecond);

// The whole fence command: selection, summary and the redraw that shows it
// (into the headless program's recording canvas).
void BM_FenceSelectAll(benchmark::State& st) {
    gfx::RecordingCanvas* c = g_backend->canvasOf(g_tk->at("datascreen"));
    for (auto _ : st) {
        st.PauseTiming();
        shell::deselectAll();
        c->reset();
        st.ResumeTiming();
        shell::fenceSelect(-1, kBays * kBay + 1, -1, kStoreys * kStorey + 1, false);
    }
    st.counters["selected"] = shell::app().selectionCount;
    shell::deselectAll();
    c->reset();
}
BENCHMARK(BM_FenceSelectAll)->Unit(benchmark::kMillisecond);

// A horizontal member across the frame between two levels: it crosses and
// splits all 21 columns. Undone (untimed) after each insertion.
void BM_InsertCrossingMember(benchmark::State& st) {
    const double y = 50.5 * kStorey;
    for (auto _ : st) {
        shell::insertMember(-2, y, kBays * kBay + 2, y, 1e-3);
        st.PauseTiming();
        mdl_undo();
        mdl_clear_history();
        st.ResumeTiming();
    }
}
BENCHMARK(BM_InsertCrossingMember)->Unit(benchmark::kMillisecond);

// Undo of that insertion: the frame model's undo with the shell's recount of
// the selection (the redraw that follows is BM_RedrawRecording).
void BM_UndoCrossingMember(benchmark::State& st) {
    const double y = 50.5 * kStorey;
    for (auto _ : st) {
        st.PauseTiming();
        shell::insertMember(-2, y, kBays * kBay + 2, y, 1e-3);
        st.ResumeTiming();
        mdl_undo();
        shell::recountSelection();
        st.PauseTiming();
        mdl_clear_history();
        st.ResumeTiming();
    }
}
BENCHMARK(BM_UndoCrossingMember)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    setUp();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shell::shutDown(*g_tk);
    g_tk.reset();
    return 0;
}
