// The Result Tables window on the loaded 100-storey, 20-bay frame (2121
// nodes, 4100 members) analysed, inside the started program (headless
// toolkit, and the Qt one on the offscreen platform): every tab chosen in
// turn, each filled into the table element with its display texts and sort
// values, on Qt also into the view with its columns fitted (target: all ten
// under 100 ms);
// the refill the window does after a command (all tables built again and
// compared with the tab shown); and a sort of the member end forces.
#include "bench/support/loadedframe.h"
#include "shell/files/filecommands.h"
#include "shell/results/resultcmds.h"
#include "shell/results/tables.h"
#include "shell/startup.h"
#include "shell/state.h"
#include "ui/headless.h"
#include "ui/qt/qtbackend.h"
#include "ui/ui.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::unique_ptr<ui::Backend> backend(bool qt) {
    if (!qt) return std::make_unique<ui::HeadlessBackend>(1600, 1000);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "bench_tableswindow";
    static char* argv[] = {name, nullptr};
    return ui::makeQtBackend(argc, argv);
}

// The program started on the frame, analysed, with the window open.
struct Started {
    fs::path dir = fs::temp_directory_path() / ("kestrel-bench-twin-" + std::to_string(getpid()));
    ui::Toolkit tk;
    bool ok = false;
    explicit Started(bool qt = false) : tk(backend(qt)) {
        fs::create_directories(dir);
        const std::string path = (dir / "frame.kst").string();
        if (!bench_support::saveAndRelease(bench_support::buildLoadedFrame(1), path)) return;
        shell::StartupHooks hooks;
        hooks.openModel = shell::openModelByName;
        ok = shell::startUp(tk, path, hooks) == 0 && shell::resultCommand(3);
        if (ok) tk.press(tk.at("mitblopen"));
    }
    ~Started() {
        shell::shutDown(tk);
        fs::remove_all(dir);
    }
};

void BM_TablesWindowEveryTab(benchmark::State& state) {
    Started s(state.range(0) == 1);
    if (!s.ok) state.SkipWithError("analysis");
    ui::Element& tabs = s.tk.at("tbltabs");
    std::size_t cells = 0;
    for (auto _ : state) {
        cells = 0;
        for (int i = 1; i <= results::kTableCount; ++i) {
            s.tk.select(tabs, i);
            if (state.range(0) == 1) QApplication::processEvents();
            const ui::TableState* t = s.tk.at("tbltable").table();
            cells += t->content.rows * t->content.columns();
        }
    }
    state.counters["cells"] = static_cast<double>(cells);
}
// Argument 0: headless; 1: Qt (offscreen), events processed after each tab.
BENCHMARK(BM_TablesWindowEveryTab)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_TablesWindowRefill(benchmark::State& state) {
    Started s;
    if (!s.ok) state.SkipWithError("analysis");
    for (auto _ : state) shell::refreshTablesWindow();
}
BENCHMARK(BM_TablesWindowRefill)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_TablesWindowSortMemberEndForces(benchmark::State& state) {
    Started s;
    if (!s.ok) state.SkipWithError("analysis");
    s.tk.select(s.tk.at("tbltabs"), 3);
    int column = 5; // M1: ascending, then descending
    for (auto _ : state) s.tk.sortTable(s.tk.at("tbltable"), column);
}
BENCHMARK(BM_TablesWindowSortMemberEndForces)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
