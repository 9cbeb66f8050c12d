// The bandwidth-reducing equation order: results equal to those of the file's order, on the
// reference frames (results of the engine before it reordered, kept as result files and as
// full-precision values) and on a small frame with every kind of support and load; and the
// singular verdict unchanged.
#include "neutral_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace kestrel::engine::test {
namespace {

// "displacements N" then N lines of six values, "end_forces M" then M lines of an element
// number and twelve values, all printed with 17 significant digits.
EngineSolution read_values(const std::string& text) {
    EngineSolution s;
    CaseSolution& c = s.cases.emplace_back();
    std::istringstream in(text);
    std::string word;
    std::size_t count = 0;
    in >> word >> count;
    c.displacements.resize(count * 6);
    for (double& v : c.displacements) in >> v;
    in >> word >> count;
    for (std::size_t e = 0; e < count; ++e) {
        int number = 0;
        in >> number;
        s.element_numbers.push_back(number);
        for (int k = 0; k < 12; ++k) {
            double v = 0;
            in >> v;
            c.end_forces.push_back(v);
        }
    }
    return s;
}

// Two result files agree when every word is the same, or both are numbers that differ by at
// most one unit of their last printed digit (a rounding that flipped).
bool same_but_rounding(const std::string& a, const std::string& b, std::string* where) {
    std::istringstream ia(a), ib(b);
    std::string wa, wb;
    while (true) {
        const bool ga = static_cast<bool>(ia >> wa), gb = static_cast<bool>(ib >> wb);
        if (ga != gb) return *where = "length", false;
        if (!ga) return true;
        if (wa == wb) continue;
        char *ea = nullptr, *eb = nullptr;
        const double va = std::strtod(wa.c_str(), &ea), vb = std::strtod(wb.c_str(), &eb);
        const std::size_t e = wa.find('e');
        if (*ea || *eb || e == std::string::npos || wb.find('e') != e)
            return *where = wa + " / " + wb, false;
        const int digits = static_cast<int>(e - wa.find('.') - 1);
        const double unit = std::pow(10.0, std::atoi(wa.c_str() + e + 1) - digits);
        if (std::fabs(va - vb) > 1.01 * unit) return *where = wa + " / " + wb, false;
    }
}

// Both factorisation kernels (the 256-bit one where the processor has it) against the
// results of the engine before it reordered or blocked its factorisation.
TEST(Reorder, ReferenceFramesGiveTheirResults) {
    const struct {
        const char* name;
        bool reordered; // a wide frame is reordered, a tall one keeps the file's order
        bool baseline;
    } frames[] = {
        {"wide", true, false}, {"tall", false, false}, {"wide", true, true}, {"tall", false, true}};
    for (const auto& f : frames) {
        BaselineGuard kernel(f.baseline);
        SCOPED_TRACE(ldlt_kernel_name());
        TempDir dir;
        const std::string base = std::string(KESTREL_TEST_DATA "/engine/") + f.name;
        RunResult r = run_text(dir, f.name, readText(base + ".dat"));
        ASSERT_EQ(r.code, kAnalyseSolved) << f.name << r.message;
        EXPECT_EQ(LastEngineTimings().reordered, f.reordered) << f.name;
        std::string where;
        EXPECT_TRUE(same_but_rounding(readText(base + ".pos"), r.pos, &where))
            << f.name << ": " << where;
        const EngineSolution ref = read_values(readText(base + ".values"));
        ASSERT_FALSE(ref.cases[0].displacements.empty()) << f.name;
        ASSERT_EQ(r.solution.cases.size(), 1u) << f.name;
        EXPECT_EQ(r.solution.element_numbers, ref.element_numbers) << f.name;
        EXPECT_LE(worst_relative(ref.cases[0].displacements, r.solution.cases[0].displacements, 6),
                  1e-9)
            << f.name;
        EXPECT_LE(worst_relative(ref.cases[0].end_forces, r.solution.cases[0].end_forces, 12), 1e-9)
            << f.name;
    }
}

// Two storeys of two bays, numbered row by row, with hinges, springs, an inclined roller, a
// settlement, and every load kind.
NeutralModel small_frame() {
    NeutralModel m;
    m.sections = {{0.01, 1e-4, 0.3}, {0.02, 3e-4, 0.4}};
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 2; ++j) {
            std::array<int, 3> fix = {0, 0, 0};
            if (i == 0) fix = j == 1 ? std::array<int, 3>{0, 1, 0} : std::array<int, 3>{1, 1, 1};
            m.nodes.push_back({4.0 * j, 3.0 * i, fix});
        }
    auto node = [](int i, int j) { return 3 * i + j + 1; };
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j <= 2; ++j) m.elements.push_back({node(i, j), node(i + 1, j), 1});
    for (int i = 1; i <= 2; ++i)
        for (int j = 0; j < 2; ++j)
            m.elements.push_back({node(i, j), node(i, j + 1), 2, i == 2 ? 2 + j : 1});
    m.elements.push_back({node(1, 0), node(2, 1), 2, 4}); // a brace hinged at both ends
    m.inclined(node(0, 1), 30);
    m.springs(node(0, 2), 0, 5e4, 2e3);
    m.prescribed(node(0, 0), 0, -0.002, 0);
    m.nodal_force(node(2, 0), 15, 0, 4);
    m.beam_force(7, 1, 0.25, 0, -20, 0);
    m.uniform(8, 0, 0, -10);
    m.linear(9, 1, 0, 0, 0, -12);
    m.temperature(10, 20, 15);
    return m;
}

// Each frame in the file's order, then reordered by force and by the automatic choice: the same
// results, the settlement reached. The profile of the new order is measured on the node graph
// before the freedoms are renumbered; the matrix built after renumbering must hold exactly that
// many entries, and the automatic choice takes the smaller profile.
TEST(Reorder, EveryOrderGivesTheFileOrdersResults) {
    NeutralModel loose = small_frame();
    loose.nodes.push_back({9.0, 9.0, {1, 1, 1}}); // in no element, no freedom
    loose.nodes.push_back({9.0, 0.0, {0, 0, 0}}); // in no element, held by springs alone
    loose.springs(static_cast<int>(loose.nodes.size()), 1e3, 1e3, 1e3);
    const std::string base = std::string(KESTREL_TEST_DATA "/engine/");
    const struct {
        const char* name;
        std::string text;
        bool settled; // node 1 prescribed at dy = -0.002
    } frames[] = {{"wide", readText(base + "wide.dat"), false},
                  {"tall", readText(base + "tall.dat"), false},
                  {"small", small_frame().text(), true},
                  {"loose nodes", loose.text(), true}};
    for (const auto& f : frames) {
        TempDir dir;
        RunResult file;
        {
            OrderGuard g(EquationOrder::FileOrder);
            file = run_text(dir, "file", f.text);
            ASSERT_EQ(file.code, kAnalyseSolved) << f.name << file.message;
            EXPECT_FALSE(LastEngineTimings().reordered) << f.name;
        }
        for (EquationOrder order : {EquationOrder::Reordered, EquationOrder::Automatic}) {
            SCOPED_TRACE(std::string(f.name) +
                         (order == EquationOrder::Reordered ? " forced" : ""));
            OrderGuard g(order);
            RunResult r = run_text(dir, "frame", f.text);
            ASSERT_EQ(r.code, kAnalyseSolved) << r.message;
            const EngineTimings& t = LastEngineTimings();
            ASSERT_GT(t.profile_reordered, 0u);
            const bool take =
                order == EquationOrder::Reordered || t.profile_reordered < t.profile_file_order;
            EXPECT_EQ(t.reordered, take);
            EXPECT_EQ(t.profile_entries, take ? t.profile_reordered : t.profile_file_order);
            const CaseSolution &a = file.solution.cases.at(0), &b = r.solution.cases.at(0);
            EXPECT_LE(worst_relative(a.displacements, b.displacements, 6), 1e-9);
            EXPECT_LE(worst_relative(a.end_forces, b.end_forces, 12), 1e-9);
            EXPECT_NEAR(f.settled ? disp(r.solution, 1, 1) : -0.002, -0.002, 1e-12);
        }
    }
}

TEST(Reorder, SingularVerdictIsTheFileOrders) {
    // Every beam hinged at both ends: a mechanism in any order; the reordered attempt fails,
    // the file's order is factorised again and fails too.
    NeutralModel m = small_frame();
    for (TElement& e : m.elements) e.liberation = 4;
    TempDir dir;
    OrderGuard g(EquationOrder::Reordered);
    RunResult r = run_model(dir, m);
    EXPECT_EQ(r.code, kAnalyseSingular);
    EXPECT_FALSE(LastEngineTimings().reordered);
}

} // namespace
} // namespace kestrel::engine::test
