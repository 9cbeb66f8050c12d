// Shares of split load cases: each loaded element's loads and the nodal loads of a case, solved
// on their own with the one factorisation, add up to the case, equal the case of those loads
// alone (hinge, inclined support, settlement included), with either kernel and across blocks of
// right-hand sides, and leave the result file and every case's results as they were.
#include "neutral_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace kestrel::engine::test {
namespace {

struct Share {
    int c, element;
    std::vector<double> d, f;
};

struct Collect : ShareSink {
    std::size_t nd, nf; // values per share: 6 per node, 12 per element
    std::vector<Share> got;
    Collect(const NeutralModel& m) : nd(6 * m.nodes.size()), nf(12 * m.elements.size()) {}
    void share(int c, int element, const double* d, const double* f) override {
        got.push_back({c, element, {d, d + nd}, {f, f + nf}});
    }
    Share total(int c) const {
        Share t{c, -1, std::vector<double>(nd), std::vector<double>(nf)};
        for (const Share& s : got)
            for (std::size_t i = 0; s.c == c && i < nd + nf; ++i)
                (i < nd ? t.d[i] : t.f[i - nd]) += i < nd ? s.d[i] : s.f[i - nd];
        return t;
    }
};

using Loads = void (*)(NeutralModel&);

std::string with_cases(NeutralModel m, std::initializer_list<Loads> cases) {
    m.extra += "\n%LOAD\n" + std::to_string(cases.size()) + "\n";
    int c = 0;
    for (Loads loads : cases) {
        ++c;
        m.extra += "\n%LOAD.CASE\n" + std::to_string(c) + "  'Case " + std::to_string(c) + "'\n";
        loads(m);
    }
    return m.text();
}

// Two bays: a fixed foot, a hinge at the left end of the first beam, an inclined roller under
// the middle column, a pinned right foot; the last column is never loaded.
NeutralModel two_bays() {
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 1}}, {0, 4, {0, 0, 0}},  {6, 4, {0, 0, 0}},
               {6, 0, {1, 0, 0}}, {12, 4, {0, 0, 0}}, {12, 0, {1, 1, 0}}};
    m.elements = {{1, 2}, {2, 3, 1, 2}, {3, 4}, {3, 5}, {5, 6}};
    return m.inclined(4, 30);
}

void nodal(NeutralModel& m) {
    m.nodal_force(2, 10, 0, 0).nodal_force(5, 0, -3, 2).prescribed(6, 0, -0.004, 0);
}
void second_beam(NeutralModel& m) {
    m.uniform(2, 0, 0, -8).linear(2, 1, 0, 2, 0, 5);
}
void pattern(NeutralModel& m) {
    nodal(m);
    m.temperature(1, 10, 20);
    second_beam(m);
    m.beam_force(3, 1, 0.5, 0, -6, 0).uniform(4, 1, 0, -4).temperature(4, -5, 0);
}

TEST(Shares, AddUpToTheCaseAndEachIsItsLoadsAlone) {
    const NeutralModel frame = two_bays();
    const std::string text = with_cases(frame, {pattern, nodal, second_beam});
    for (bool baseline : {false, true}) {
        BaselineGuard kernel(baseline);
        SCOPED_TRACE(ldlt_kernel_name());
        TempDir dir;
        const RunResult plain = run_text(dir, "plain", text);
        Collect sink(frame);
        const AnalyseOptions options{{0, 7, 0, -1}, &sink}; // 0 twice: split once; no case 7, -1
        const RunResult r = run_text(dir, "split", text, &options);
        ASSERT_EQ(r.code, kAnalyseSolved) << r.message;
        EXPECT_EQ(LastEngineTimings().shares_solved, 5);
        // The result file and the cases' results are those of the run without shares.
        EXPECT_EQ(r.pos.substr(r.pos.find("%RESULT\n")),
                  plain.pos.substr(plain.pos.find("%RESULT\n")));
        ASSERT_EQ(r.solution.cases.size(), 3u);
        for (std::size_t c = 0; c < 3; ++c) {
            EXPECT_EQ(r.solution.cases[c].displacements, plain.solution.cases[c].displacements);
            EXPECT_EQ(r.solution.cases[c].end_forces, plain.solution.cases[c].end_forces);
        }
        // The nodal share first, then the loaded elements in list order; the last one unloaded.
        ASSERT_EQ(sink.got.size(), 5u);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(sink.got[i].c, 0);
            EXPECT_EQ(sink.got[i].element, i);
        }
        const Share sum = sink.total(0);
        const CaseSolution& whole = r.solution.cases[0];
        EXPECT_LE(worst_relative(whole.displacements, sum.d, 6), 1e-12);
        EXPECT_LE(worst_relative(whole.end_forces, sum.f, 12), 1e-12);
        const std::pair<int, int> alone[] = {{0, 1}, {2, 2}}; // share, case of its loads alone
        for (auto [s, c] : alone) {
            EXPECT_LE(worst_relative(r.solution.cases[c].displacements, sink.got[s].d, 6), 1e-12);
            EXPECT_LE(worst_relative(r.solution.cases[c].end_forces, sink.got[s].f, 12), 1e-12);
        }
        // The settlement belongs to the nodal share; beside it the node is held.
        EXPECT_NEAR(sink.got[0].d[5 * 6 + 1], -0.004, 1e-15);
        EXPECT_NEAR(sink.got[3].d[5 * 6 + 1], 0, 1e-15);
    }
}

// A continuous beam of twelve spans of 3 m, the first fixed at both ends, under its own weight
// and an axial pull at its middle node: thirteen shares, more than one block of right-hand
// sides. A singular frame hands out no share.
TEST(Shares, SpanBlocksAndStopAtASingularFrame) {
    NeutralModel beam;
    for (int i = 0; i <= 12; ++i) beam.nodes.push_back({3.0 * i, 0, {i < 2, 1, i < 2}});
    for (int i = 1; i <= 12; ++i) beam.elements.push_back({i, i + 1});
    beam.add("\n%MATERIAL.PROPERTY.DENSITY\n1\n1     78.5\n");
    const Loads loads = [](NeutralModel& m) {
        m.nodal_force(7, 12, 0, 0).add("\n%LOAD.CASE.GRAVITY\n0  -1  0\n");
    };
    TempDir dir;
    Collect sink(beam);
    const AnalyseOptions options{{0}, &sink};
    const RunResult r = run_text(dir, "beam", with_cases(beam, {loads}), &options);
    ASSERT_EQ(r.code, kAnalyseSolved) << r.message;
    ASSERT_EQ(sink.got.size(), 13u);
    EXPECT_EQ(sink.got.back().element, 12);
    const Share sum = sink.total(0);
    EXPECT_LE(worst_relative(r.solution.cases[0].displacements, sum.d, 6), 1e-12);
    EXPECT_LE(worst_relative(r.solution.cases[0].end_forces, sum.f, 12), 1e-12);
    // The pull: the five spans between the fixed span and the node carry it, N L / EA there.
    const Share& pull = sink.got[0];
    EXPECT_NEAR(pull.d[6 * 6], 12 * 15 / (2.05e8 * 0.01), 1e-15);
    for (int e = 0; e < 12; ++e)
        EXPECT_NEAR(std::fabs(pull.f[e * 12]), e > 0 && e < 6 ? 12 : 0, 1e-9);
    // The weight of one span is carried by that span: its shear is about half its weight,
    // the others' only the difference of their end moments over the length.
    for (int e = 1; e <= 12; ++e) {
        const std::vector<double>& f = sink.got[static_cast<std::size_t>(e)].f;
        double other = 0;
        for (int k = 0; k < 12; ++k)
            if (k != e - 1) other = std::max(other, std::fabs(f[k * 12 + 1]));
        EXPECT_GT(std::fabs(f[(e - 1) * 12 + 1]), 2 * other) << e;
    }

    NeutralModel loose = beam;
    loose.nodes[0].fix = loose.nodes[1].fix = {0, 1, 0}; // nothing holds it along its axis
    Collect none(loose);
    const AnalyseOptions ask{{0}, &none};
    EXPECT_EQ(run_text(dir, "loose", with_cases(loose, {loads}), &ask).code, kAnalyseSingular);
    EXPECT_TRUE(none.got.empty());
}

} // namespace
} // namespace kestrel::engine::test
