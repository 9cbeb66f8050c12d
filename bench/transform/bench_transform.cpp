// Copies of part of a 100-storey, 20-bay frame (2,121 nodes, 4,100 members)
// inside the started program (headless toolkit), with "Leave Original" on:
// the lower half (50 storeys, 2,050 members) translated beside the frame to
// the right, the same half copied onto the upper half (every copied member
// merges with an existing one), and the lowest 6 storeys copied beside the
// frame and undone. Each command is timed whole: the frame model work, the
// selection count and the redraw into the recording driver. A command of more
// than 499 frame model steps fills the undo ring and cannot be undone, so the
// undo is measured on the largest copy that fits.
#include "attrib/attrib.h"
#include "bench/support/shellframe.h"
#include "model/model.h"
#include "shell/edit/edit.h"
#include "shell/edit/transform.h"
#include "shell/edit/view.h"
#include "shell/startup.h"
#include "shell/state.h"
#include "ui/headless.h"
#include "ui/ui.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using namespace bench_support;
constexpr double kTol = 1e-3;
// The most storeys whose copy still fits the frame model's undo ring of 500
// steps (each copied node and member is one step of the command).
constexpr int kUndoStoreys = 6;

std::unique_ptr<ui::Toolkit> g_tk;

// The members of the lowest `storeys` storeys.
void selectLower(int storeys) {
    shell::fenceSelect(-1, kBays * kBay + 1, -1, storeys * kStorey + 0.1, false);
}

interact::trf::Matrix translation(double dx, double dy) {
    interact::trf::Matrix m;
    m.tx = dx;
    m.ty = dy;
    return m;
}

// Beside the frame: one bay's width to the right of its last column.
const interact::trf::Matrix kBeside = translation((kBays + 1) * kBay, 0);
// Onto the upper half: every copied member lands on an existing one.
const interact::trf::Matrix kOntoUpper = translation(0, kStoreys / 2 * kStorey);

// A started program holding the frame, with "Leave Original" on.
void start() {
    if (g_tk) shell::shutDown(*g_tk);
    g_tk = std::make_unique<ui::Toolkit>(std::make_unique<ui::HeadlessBackend>(1600, 1000));
    if (shell::startUp(*g_tk, "") != 0) std::abort();
    buildShellFrame(kTol);
    shell::transformState().copyMode = true;
}

void report(const char* what) {
    int n, m;
    countShellFrame(n, m);
    std::printf("%s: %d nodes, %d members\n", what, n, m);
}

void setUp() {
    start();
    report("frame");
    selectLower(kStoreys / 2);
    std::printf("lower half: %d members selected\n", shell::app().selectionCount);
    shell::applyTransform(kBeside, kTol, shell::kMoved, false);
    report("after the copy of the lower half beside it");
    std::printf("its undo: %s\n", shell::undoStep() ? "done" : "refused, history cleared");
    report("after the undo");
    start();
    selectLower(kStoreys / 2);
    shell::applyTransform(kOntoUpper, kTol, shell::kMoved, false);
    report("after the copy of the lower half onto the upper half");
    start();
    selectLower(kUndoStoreys);
    std::printf("lowest %d storeys: %d members selected\n", kUndoStoreys,
                shell::app().selectionCount);
    shell::applyTransform(kBeside, kTol, shell::kMoved, false);
    report("after their copy beside the frame");
    shell::undoStep();
    report("after its undo");
}

// The whole copy command; a fresh frame (untimed) for each.
void copyLower(benchmark::State& st, int storeys, const interact::trf::Matrix& m) {
    for (auto _ : st) {
        st.PauseTiming();
        start();
        selectLower(storeys);
        st.ResumeTiming();
        shell::applyTransform(m, kTol, shell::kMoved, false);
    }
}

void BM_CopyLowerHalfBeside(benchmark::State& st) {
    copyLower(st, kStoreys / 2, kBeside);
}
BENCHMARK(BM_CopyLowerHalfBeside)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CopyLowerHalfOntoUpper(benchmark::State& st) {
    copyLower(st, kStoreys / 2, kOntoUpper);
}
BENCHMARK(BM_CopyLowerHalfOntoUpper)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CopyLowestStoreysBeside(benchmark::State& st) {
    copyLower(st, kUndoStoreys, kBeside);
}
BENCHMARK(BM_CopyLowestStoreysBeside)->Unit(benchmark::kMillisecond)->Iterations(5);

// Undo of the copy of the lowest storeys (the undo command: the frame
// model's undo, the recount of the selection and the redraw).
void BM_UndoCopyOfLowestStoreys(benchmark::State& st) {
    for (auto _ : st) {
        st.PauseTiming();
        start();
        selectLower(kUndoStoreys);
        shell::applyTransform(kBeside, kTol, shell::kMoved, false);
        st.ResumeTiming();
        if (shell::undoStep() != 1) st.SkipWithError("nothing undone");
    }
}
BENCHMARK(BM_UndoCopyOfLowestStoreys)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    setUp();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shell::shutDown(*g_tk);
    return 0;
}
