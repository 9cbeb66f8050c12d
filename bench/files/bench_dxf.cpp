// Importing a DXF drawing of 10,000 lines over a grid of 100 x 50 bays of
// 1 m, drawn in millimetres: every line spans two bays, overlaps its
// neighbour by one and crosses a line of the other direction at its middle,
// two more run the whole length of the top and bottom edges, and the lines
// come in a shuffled order. The insertion splits and merges them into the
// grid's 5,151 nodes and 10,150 members, in one undo step. Target: under 2 s
// (read and import).
#include "bench/support/attribmodel.h"
#include "files/dxfimport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kBaysX = 100, kBaysY = 50;

std::string gridDrawing() {
    struct Line {
        int x1, y1, x2, y2;
    };
    std::vector<Line> lines;
    for (int y = 0; y <= kBaysY; ++y)
        for (int x = 0; x + 2 <= kBaysX; ++x) lines.push_back({x, y, x + 2, y});
    for (int x = 0; x <= kBaysX; ++x)
        for (int y = 0; y + 2 <= kBaysY; ++y) lines.push_back({x, y, x, y + 2});
    lines.push_back({0, 0, kBaysX, 0});
    lines.push_back({0, kBaysY, kBaysX, kBaysY});
    std::mt19937 random(7);
    std::shuffle(lines.begin(), lines.end(), random);
    std::string t = "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n4\n0\nENDSEC\n"
                    "0\nSECTION\n2\nENTITIES\n";
    for (const Line& l : lines)
        t += "0\nLINE\n8\nGRID\n10\n" + std::to_string(l.x1 * 1000) + "\n20\n" +
             std::to_string(l.y1 * 1000) + "\n30\n0\n11\n" + std::to_string(l.x2 * 1000) +
             "\n21\n" + std::to_string(l.y2 * 1000) + "\n31\n0\n";
    return t + "0\nENDSEC\n0\nEOF\n";
}

void BM_ImportGrid(benchmark::State& st) {
    const std::string text = gridDrawing();
    for (auto _ : st) {
        st.PauseTiming();
        Solid* s = bench_support::newAttributedModel();
        mdl_undo_recording_on();
        st.ResumeTiming();
        const files::DxfReadResult r = files::readDxf(text);
        files::DxfChoice c;
        c.metresPerUnit = files::dxfUnitMetres(r.drawing.insunits);
        const files::DxfImportResult in = files::importDxf(s, r.drawing, c, "grid.dxf");
        st.PauseTiming();
        if (r.drawing.paths.size() != 10000 || in.refused != 0 || in.nodesAdded != 5151 ||
            in.membersAdded != 10150)
            st.SkipWithError(in.message.c_str());
        mdl_reset();
        st.ResumeTiming();
    }
}
BENCHMARK(BM_ImportGrid)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

} // namespace

BENCHMARK_MAIN();
