// Several load cases in one neutral file, solved with one factorisation: a case of summed loads
// is the sum of its parts, each case equals the single-case file of its loads (a settlement
// included, and the cases beside it unaffected) in either equation order and with either
// kernel, and the result file of several cases reads back case by case.
#include "neutral_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <utility>

namespace kestrel::engine::test {
namespace {

using Loads = std::function<void(NeutralModel&)>;
using NamedLoads = std::pair<std::string, Loads>;

// The load blocks that the helpers write for one case.
std::string blocks(const Loads& loads) {
    NeutralModel m;
    loads(m);
    return m.extra;
}

// The frame with "%LOAD" and, per case, its case block followed by its load blocks.
std::string with_cases(NeutralModel frame, const std::vector<NamedLoads>& cases) {
    frame.extra += "\n%LOAD\n" + std::to_string(cases.size()) + "\n";
    for (std::size_t i = 0; i < cases.size(); ++i)
        frame.extra += "\n%LOAD.CASE\n" + std::to_string(i + 1) + "  '" + cases[i].first + "'\n" +
                       blocks(cases[i].second);
    return frame.text();
}

std::vector<double> sum(const std::vector<double>& a, const std::vector<double>& b) {
    std::vector<double> s(a.size());
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) s[i] = a[i] + b[i];
    return s;
}

// A portal with a hinge at the top of its left column and an inclined roller under its right
// one, and an overhang.
NeutralModel portal() {
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 1}},
               {0, 4, {0, 0, 0}},
               {6, 4, {0, 0, 0}},
               {6, 0, {1, 0, 0}},
               {9, 4, {0, 0, 0}}};
    m.elements = {{1, 2}, {2, 3, 1, 2}, {3, 4}, {3, 5}};
    m.inclined(4, 30);
    return m.add("\n%MATERIAL.PROPERTY.DENSITY\n1\n1     78.5\n");
}

TEST(LoadCases, CaseOfSummedLoadsIsTheSumOfItsParts) {
    const Loads members_a = [](NeutralModel& m) {
        m.uniform(2, 0, 0, -8).temperature(3, 10, 20).beam_force(2, 1, 0, 0, 0, -4);
    };
    const Loads members_b = [](NeutralModel& m) {
        m.linear(1, 1, 0, 2, 0, 5).beam_force(2, 1, 1, 0, 0, 7).beam_force(4, 1, 0.5, 0, -6, 0);
        m.add("\n%LOAD.CASE.GRAVITY\n0  -1  0\n");
    };
    // Nodal forces of one case at one freedom replace each other: the sum is written as one.
    const Loads a = [&](NeutralModel& m) {
        m.nodal_force(2, 10, 0, 0).nodal_force(4, 3, -2, 0);
        members_a(m);
    };
    const Loads b = [&](NeutralModel& m) {
        m.nodal_force(4, -1, 4, 1);
        members_b(m);
    };
    const Loads both = [&](NeutralModel& m) {
        m.nodal_force(2, 10, 0, 0).nodal_force(4, 2, 2, 1);
        members_a(m);
        members_b(m);
    };
    TempDir dir;
    RunResult r = run_text(dir, "sum", with_cases(portal(), {{"A", a}, {"B", b}, {"A+B", both}}));
    ASSERT_EQ(r.code, kAnalyseSolved) << r.message;
    ASSERT_EQ(r.solution.cases.size(), 3u);
    const CaseSolution &ca = r.solution.cases[0], &cb = r.solution.cases[1],
                       &cc = r.solution.cases[2];
    EXPECT_EQ(cc.label, "A+B");
    EXPECT_LE(worst_relative(cc.displacements, sum(ca.displacements, cb.displacements), 6), 1e-12);
    EXPECT_LE(worst_relative(cc.end_forces, sum(ca.end_forces, cb.end_forces), 12), 1e-12);
    // Each part loads the frame on its own.
    EXPECT_GT(worst_relative(cc.displacements, ca.displacements, 6), 0.1);
    EXPECT_GT(worst_relative(cc.displacements, cb.displacements, 6), 0.1);
    EXPECT_EQ(LastEngineTimings().cases, 3);
}

// Two spans of 6 m, pinned, then on rollers; a mid-span node in each.
NeutralModel two_spans() {
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 0}},
               {3, 0, {0, 0, 0}},
               {6, 0, {0, 1, 0}},
               {9, 0, {0, 0, 0}},
               {12, 0, {0, 1, 0}}};
    m.elements = {{1, 2}, {2, 3}, {3, 4}, {4, 5}};
    return m;
}

TEST(LoadCases, EachCaseIsItsSingleCaseFile) {
    const std::vector<NamedLoads> cases = {
        {"Dead",
         [](NeutralModel& m) {
             for (int e = 1; e <= 4; ++e) m.uniform(e, 0, 0, -5);
         }},
        {"Settlement", [](NeutralModel& m) { m.prescribed(3, 0, -0.01, 0); }},
        {"Point and heat",
         [](NeutralModel& m) { m.nodal_force(4, 0, -20, 0).temperature(1, 0, 15); }},
    };
    const std::string multi = with_cases(two_spans(), cases);
    for (EquationOrder order : {EquationOrder::FileOrder, EquationOrder::Reordered})
        for (bool baseline : {false, true}) {
            OrderGuard o(order);
            BaselineGuard k(baseline);
            SCOPED_TRACE(
                std::string(order == EquationOrder::FileOrder ? "file order " : "reordered ") +
                ldlt_kernel_name());
            TempDir dir;
            RunResult r = run_text(dir, "multi", multi);
            ASSERT_EQ(r.code, kAnalyseSolved) << r.message;
            ASSERT_EQ(r.solution.cases.size(), cases.size());
            for (std::size_t c = 0; c < cases.size(); ++c) {
                NeutralModel single = two_spans();
                cases[c].second(single);
                RunResult s = run_model(dir, single);
                ASSERT_EQ(s.code, kAnalyseSolved) << s.message;
                ASSERT_EQ(s.solution.cases.size(), 1u);
                EXPECT_EQ(s.solution.cases[0].label, "Static_Load");
                const CaseSolution& got = r.solution.cases[c];
                EXPECT_EQ(got.label, cases[c].first);
                EXPECT_LE(worst_relative(s.solution.cases[0].displacements, got.displacements, 6),
                          1e-12)
                    << got.label;
                EXPECT_LE(worst_relative(s.solution.cases[0].end_forces, got.end_forces, 12), 1e-12)
                    << got.label;
            }
            // The settlement is reached; beside it the support holds.
            EXPECT_NEAR(r.solution.cases[1].displacements[2 * 6 + 1], -0.01, 1e-15);
            EXPECT_NEAR(r.solution.cases[0].displacements[2 * 6 + 1], 0, 1e-15);
        }
}

// The result file of several cases read back: the list of cases, then each case's values as
// printed; the first case alone through the single-case parser. A cut anywhere keeps what was
// read before the cut, and counts are never trusted beyond the text.
TEST(LoadCases, ResultFileReadsBackCaseByCase) {
    const std::vector<NamedLoads> cases = {
        {"Dead", [](NeutralModel& m) { m.uniform(2, 0, 0, -5); }},
        {"", [](NeutralModel&) {}}, // no loads at all: no element values either
        {"Imposed load on the second span, cut to 31 bytes",
         [](NeutralModel& m) { m.nodal_force(4, 3, -20, 0); }},
    };
    TempDir dir;
    RunResult r = run_text(dir, "multi", with_cases(two_spans(), cases));
    ASSERT_EQ(r.code, kAnalyseSolved) << r.message;
    const std::vector<ResultSection> read = ParseResultCases(r.pos);
    ASSERT_EQ(read.size(), 3u);
    const char* const labels[] = {"Dead", "", "Imposed load on the second span"};
    for (std::size_t c = 0; c < read.size(); ++c) {
        const ResultSection& s = read[c];
        const CaseSolution& sol = r.solution.cases[c];
        EXPECT_EQ(s.number, static_cast<int>(c) + 1);
        EXPECT_EQ(s.label, labels[c]);
        EXPECT_EQ(sol.label, labels[c]);
        EXPECT_TRUE(s.reached_end);
        ASSERT_EQ(s.nodes.size(), 5u);
        for (std::size_t n = 0; n < 5; ++n) {
            const double* d = &sol.displacements[n * 6];
            EXPECT_NEAR(s.nodes[n].dy, d[1], 5e-4 * std::fabs(d[1]));
            EXPECT_NEAR(s.nodes[n].rz, d[5], 5e-4 * std::fabs(d[5]));
        }
        ASSERT_EQ(s.elements.size(), c == 1 ? 0u : 4u);
        for (std::size_t e = 0; e < s.elements.size(); ++e) {
            const double m2 = sol.end_forces[e * 12 + 11];
            EXPECT_NEAR(s.elements[e].M2, std::fabs(m2) < 1e-5 ? 0 : m2, 5e-6 * std::fabs(m2));
        }
        // Only the case with a horizontal load has axial forces.
        EXPECT_EQ(s.has_axial, c == 2);
        EXPECT_EQ(s.has_bending, c != 1);
    }
    const ResultSection first = ParseResultSection(r.pos);
    EXPECT_EQ(first.number, 1);
    EXPECT_EQ(first.nodes.size(), 5u);
    EXPECT_EQ(first.elements.size(), 4u);
    std::vector<ResultSection> from_file;
    ASSERT_TRUE(ReadResultCases(dir.path("multi.pos").c_str(), &from_file));
    EXPECT_EQ(from_file.size(), 3u);
    EXPECT_FALSE(ReadResultCases("/nonexistent/kestrel/frame.pos", &from_file));

    for (std::size_t cut = r.pos.find("%RESULT\n"); cut < r.pos.size(); cut += 61) {
        const std::vector<ResultSection> part = ParseResultCases(r.pos.substr(0, cut));
        ASSERT_LE(part.size(), 3u);
        for (std::size_t c = 0; c < part.size(); ++c) {
            EXPECT_FALSE(part[c].reached_end);
            // A cut just after "%RESULT.CASE" leaves that case without its number.
            if (c + 1 < part.size() || part[c].number != 0) {
                EXPECT_EQ(part[c].number, static_cast<int>(c) + 1);
                EXPECT_EQ(part[c].label, labels[c]);
            }
            EXPECT_LE(part[c].nodes.size(), 5u);
            EXPECT_LE(part[c].elements.size(), read[c].elements.size());
        }
    }
    const std::vector<ResultSection> lying = ParseResultCases(
        "%RESULT\n2000000000\n1   'a'\n2   'b\n%RESULT.CASE\n1   1\n"
        "%RESULT.CASE.STEP.NODAL.DISPLACEMENT\n 1000000000 'Displacements'\n 1  1 2 3 4 5 6\n");
    ASSERT_EQ(lying.size(), 1u);
    EXPECT_EQ(lying[0].label, "a");
    EXPECT_EQ(lying[0].nodes.size(), 1u);
}

// A file that names its single case writes the result section of a file without cases, with
// the case's label.
TEST(LoadCases, NamedSingleCaseWritesTheSingleCaseSection) {
    TempDir dir;
    const Loads load = [](NeutralModel& m) { m.nodal_force(2, 0, -10, 0); };
    NeutralModel plain = beam(2, "111", "000");
    load(plain);
    const RunResult a = run_model(dir, plain);
    const RunResult b =
        run_text(dir, "named", with_cases(beam(2, "111", "000"), {{"Static_Load", load}}));
    ASSERT_EQ(a.code, kAnalyseSolved);
    ASSERT_EQ(b.code, kAnalyseSolved) << b.message;
    EXPECT_EQ(a.pos.substr(a.pos.find("\n%RESULT\n")), b.pos.substr(b.pos.find("\n%RESULT\n")));
}

// Cases handed over in memory are checked as their records in a file are: a node or element
// that does not exist, or a case count that differs from the file's, stops with the file's
// message; no result file is written when the caller takes the solution.
TEST(LoadCases, CasesInMemoryAreCheckedAsTheirRecords) {
    TempDir dir;
    const NeutralModel frame = beam(2, "111", "000");
    auto cases = [](int node, int element) {
        CaseLoads c{"Dead", {{node, {0, -10, 0, 0, 0, 0}}}, {}, {}};
        c.members.push_back({MemberLoadKind::kUniform, element, 0, 0, 1, {0, -5}});
        return std::vector<CaseLoads>{c, CaseLoads{"Empty", {}, {}, {}}};
    };
    struct Row {
        int node, element;
        std::string text;
        const char* message;
    } rows[] = {
        {2, 1, frame.text(), nullptr},
        {3, 1, frame.text(), "\n Error on reading concentrated loads !!!\n\n"},
        {2, 2, frame.text(), "\n Error on reading beam force uniform load !!!\n\n"},
        {2, 1, replace(frame.text(), "\n%END", "\n%LOAD\n3\n%END"),
         "\n Error on reading number of load cases !!!\n\n"},
    };
    for (const Row& r : rows) {
        const std::vector<CaseLoads> loads = cases(r.node, r.element);
        AnalyseOptions options;
        options.cases = &loads;
        options.result_file = false;
        const RunResult got = run_text(dir, "memory", r.text, &options);
        SCOPED_TRACE(r.node * 10 + r.element);
        EXPECT_TRUE(got.pos.empty());
        if (r.message) {
            EXPECT_EQ(got.code, kAnalyseFatal);
            EXPECT_EQ(got.message, r.message);
            continue;
        }
        ASSERT_EQ(got.code, kAnalyseSolved) << got.message;
        ASSERT_EQ(got.solution.cases.size(), 2u);
        EXPECT_EQ(got.solution.cases[1].label, "Empty");
        // A 2 m cantilever under 10 kN at its tip and 5 kN/m: 20 + 10 = 30 kNm at the root.
        EXPECT_NEAR(std::fabs(force(got.solution, 0, 5)), 30, 1e-9);
    }
}

} // namespace
} // namespace kestrel::engine::test
