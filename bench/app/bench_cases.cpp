// Switching the load case shown in result mode on the loaded 100-storey,
// 20-bay frame with 10 load cases, inside the started program (headless
// toolkit, 1600 x 1000): the drop-down's choice puts the stored results of
// the case into the records and redraws the bending diagrams (sampled anew)
// with the frame. Target: under 80 ms.
#include "bench/support/loadedframe.h"
#include "files/modelfile.h"
#include "shell/files/filecommands.h"
#include "shell/results/resultcmds.h"
#include "shell/startup.h"
#include "shell/state.h"
#include "ui/headless.h"
#include "ui/ui.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void BM_SwitchCaseInResultMode(benchmark::State& state) {
    const fs::path dir =
        fs::temp_directory_path() / ("kestrel-bench-cases-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "frame.kst").string();
    if (!bench_support::saveAndRelease(bench_support::buildLoadedFrame(10), path))
        state.SkipWithError("save");

    ui::Toolkit tk(std::make_unique<ui::HeadlessBackend>(1600, 1000));
    shell::StartupHooks hooks;
    hooks.openModel = shell::openModelByName;
    if (shell::startUp(tk, path, hooks) != 0 || !shell::resultCommand(3)) {
        state.SkipWithError("analysis");
        return;
    }
    int item = 1;
    for (auto _ : state) {
        item = item % 10 + 1;
        ui::Event ev;
        ev.state = 1;
        ev.item = item;
        tk.fireAction("CaseSelCur", ev);
    }
    shell::shutDown(tk);
    fs::remove_all(dir);
}
BENCHMARK(BM_SwitchCaseInResultMode)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
