// Second-order analysis, elastic buckling and natural vibration against closed forms of
// structural mechanics (relative 1e-4), each frame drawn with one member per column or beam.
#include "neutral_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

namespace kestrel::engine::test {
namespace {

constexpr double kE = 2.05e8, kI = 1e-4, kEI = kE * kI, kL = 4.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kRel = 1e-4;
constexpr double kFixedPinned = 20.190728556426; // (4.493409457909064)^2

#define EXPECT_REL(actual, expected) EXPECT_NEAR((actual), (expected), kRel* std::fabs(expected))

// A column of length kL from (0, 0) up to (0, kL), its ends restrained as "dx dy rz".
NeutralModel column(const char* base, const char* top, int liberation = 1) {
    NeutralModel m = beam(kL, base, top, liberation);
    m.nodes[1] = {0, kL, m.nodes[1].fix};
    return m;
}

// A root of f between a and b where f changes sign (bisection to rounding).
double root(const std::function<double(double)>& f, double a, double b) {
    for (int i = 0; i < 200; ++i) {
        const double c = (a + b) / 2;
        (f(a) * f(c) <= 0 ? b : a) = c;
    }
    return (a + b) / 2;
}

class Stability : public ::testing::Test {
protected:
    TempDir dir;
    std::string file(const NeutralModel& m) {
        writeText(dir.path("frame.dat"), m.text());
        return dir.path("frame.dat");
    }
    EigenSolution buckling(const NeutralModel& m, int modes = 2, int pieces = 0) {
        EigenSolution s;
        std::string message;
        EigenOptions o;
        o.modes = modes;
        o.pieces = pieces;
        EXPECT_EQ(AnalyseBuckling(file(m).c_str(), o, &s, &message), kAnalyseSolved) << message;
        return s;
    }
    EigenSolution vibration(const NeutralModel& m, int modes) {
        EigenSolution s;
        std::string message;
        EigenOptions o;
        o.modes = modes;
        EXPECT_EQ(AnalyseVibration(file(m).c_str(), o, &s, &message), kAnalyseSolved) << message;
        return s;
    }
    SecondOrderSolution second(const NeutralModel& m, const SecondOrderOptions* o = nullptr) {
        SecondOrderSolution s;
        std::string message;
        EXPECT_EQ(AnalyseSecondOrder(file(m).c_str(), &message, &s, o), kAnalyseSolved) << message;
        return s;
    }
};

// Euler loads of single columns under a unit load at the top: supports, hinges, an inclined
// roller, an axially rigid and a rigid member and rotational springs, each in one member.
TEST_F(Stability, EulerLoadsOfSingleColumns) {
    const double beta = 10; // spring k L / EI
    const double spring =
        root([&](double u) { return u * u * std::sin(u) + beta * (std::sin(u) - u * std::cos(u)); },
             kPi + 1e-9, 4.4934);
    struct Row {
        const char* name;
        NeutralModel m;
        double factor; // critical load x L^2 / EI
    } rows[] = {
        {"pinned-pinned", column("110", "100"), kPi * kPi},
        {"fixed-free", column("111", "000"), kPi * kPi / 4},
        {"fixed-pinned", column("111", "100"), kFixedPinned},
        {"fixed-fixed", column("111", "101"), 4 * kPi * kPi},
        {"fixed-guided", column("111", "001"), kPi * kPi},
        {"fixed, hinged at the top end", column("111", "101", 3), kFixedPinned},
        {"pinned, top on an inclined roller", column("110", "010").inclined(2, 90), kPi * kPi},
        {"fixed-free, axially rigid", column("111", "000"), kPi * kPi / 4},
        {"rotational spring at the base", column("110", "100").springs(1, 0, 0, beta * kEI / kL),
         spring * spring},
        // A rigid bar on a base spring k, free at the top: P L = k (a spring weaker than about
        // 1e-10 of the bar's stiffness leaves the frame singular, as in the linear analysis).
        {"rigid, spring at the base", column("110", "000").springs(1, 0, 0, 1e6), 1e6 * kL / kEI},
    };
    rows[7].m.elements[0].section = 2;
    rows[9].m.elements[0].section = 3;
    for (Row& r : rows) {
        SCOPED_TRACE(r.name);
        r.m.nodal_force(2, 0, -1, 0);
        const EigenSolution s = buckling(r.m, 1);
        ASSERT_EQ(s.modes.size(), 1u);
        EXPECT_REL(s.modes[0].value, r.factor * kEI / (kL * kL));
    }
    EXPECT_GT(spring * spring, kPi * kPi);
    EXPECT_LT(spring * spring, kFixedPinned);
}

// A portal of a very stiff beam and two columns of height h, all axially rigid (a column's
// shortening would let the beam turn, the beam's stretching let the tops move), each column
// loaded with 1 at its top.
// Fixed bases: the sway mode is each column's fixed-guided mode, pi^2 EI / h^2 (effective length
// h), the symmetric one its fixed-fixed mode, 4 pi^2 EI / h^2. Pinned bases: pi^2 EI / (4 h^2)
// (effective length 2h) and the pinned-fixed 20.19 EI / h^2 (Timoshenko and Gere, Theory of
// Elastic Stability, 2.3 and 2.4).
TEST_F(Stability, SwayPortal) {
    const double h = kL, b = 6;
    struct Row {
        const char* base;
        double sway, symmetric;
    } rows[] = {{"111", kPi * kPi, 4 * kPi * kPi}, {"110", kPi * kPi / 4, kFixedPinned}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.base);
        NeutralModel m = column(r.base, "000");
        m.nodes.push_back({b, 0, m.nodes[0].fix});
        m.nodes.push_back({b, h, {0, 0, 0}});
        m.sections.push_back({0.01, 1e3, 0.5});
        m.elements = {{1, 2, 3}, {3, 4, 3}, {2, 4, 4}};

        m.nodal_force(2, 0, -1, 0).nodal_force(4, 0, -1, 0);
        const EigenSolution s = buckling(m, 2);
        ASSERT_EQ(s.modes.size(), 2u);
        EXPECT_REL(s.modes[0].value, r.sway * kEI / (h * h));
        EXPECT_REL(s.modes[1].value, r.symmetric * kEI / (h * h));
        // The sway mode moves both tops sideways alike, by the largest translation.
        EXPECT_NEAR(s.modes[0].nodes[1 * 3], s.modes[0].nodes[3 * 3], 1e-6);
        EXPECT_NEAR(std::fabs(s.modes[0].nodes[3 * 3]), 1.0, 1e-9);
    }
}

// The mode of the pinned column is a half sine; more pieces converge on the closed form.
TEST_F(Stability, ModeShapeAndRefinement) {
    NeutralModel m = column("110", "100").nodal_force(2, 0, -1, 0);
    const EigenSolution s = buckling(m, 1, 16);
    ASSERT_EQ(s.modes.size(), 1u);
    ASSERT_EQ(s.modes[0].interior.size(), 15u * 3);
    for (int k = 1; k < 16; ++k)
        EXPECT_NEAR(s.modes[0].interior[(k - 1) * 3], std::sin(kPi * k / 16), 1e-4);
    const double exact = kPi * kPi * kEI / (kL * kL);
    double last = 1;
    for (int pieces : {2, 4, 8}) {
        const double error = buckling(m, 1, pieces).modes.at(0).value / exact - 1;
        EXPECT_GT(error, 0) << pieces; // the pieces are stiffer than the member
        EXPECT_LT(error, last / 10) << pieces;
        last = error;
    }
}

// Simply supported beam (ends held along it) and cantilever: n^2 pi^2 / L^2 and 1.8751^2,
// 4.6941^2 / L^2, times sqrt(EI / m) / (2 pi), m = specific weight x A / 9.81.
TEST_F(Stability, NaturalFrequencies) {
    const double gamma = 78.5, A = 0.01, mass = gamma * A / 9.81;
    const double unit = std::sqrt(kEI / mass) / (2 * kPi * kL * kL);
    const std::string density = "\n%MATERIAL.PROPERTY.DENSITY\n1\n1     78.5\n";
    struct Row {
        const char* name;
        NeutralModel m;
        std::vector<double> beta; // beta L
    } rows[] = {
        {"simply supported", beam(kL, "110", "110"), {kPi, 2 * kPi, 3 * kPi}},
        {"cantilever", beam(kL, "111", "000"), {1.8751040687119611, 4.6940911329741745}},
    };
    for (Row& r : rows) {
        SCOPED_TRACE(r.name);
        const EigenSolution s = vibration(r.m.add(density), static_cast<int>(r.beta.size()));
        ASSERT_EQ(s.modes.size(), r.beta.size());
        for (std::size_t i = 0; i < r.beta.size(); ++i)
            EXPECT_REL(s.modes[i].value, r.beta[i] * r.beta[i] * unit);
    }
}

// P-Delta cantilever column, one member: P = 0.5 of the critical load with a lateral H at the
// top, in compression (trigonometric) and tension (hyperbolic), against the exact tip deflection
// and base moment; tension deflects less than the linear analysis.
TEST_F(Stability, SecondOrderCantilever) {
    const double H = 1, P = 0.5 * kPi * kPi * kEI / (4 * kL * kL), k = std::sqrt(P / kEI);
    const double u = k * kL;
    struct Row {
        double fy, tip, moment;
    } rows[] = {
        {-P, H * (std::tan(u) - u) / (k * k * k * kEI), H * std::tan(u) / k},
        {P, H * (u - std::tanh(u)) / (k * k * k * kEI), H * std::tanh(u) / k},
    };
    double tips[2];
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(rows[i].fy);
        const SecondOrderSolution s = second(column("111", "000").nodal_force(2, H, rows[i].fy, 0));
        ASSERT_EQ(s.runs.size(), 1u);
        EXPECT_TRUE(s.runs[0].converged);
        EXPECT_LE(s.runs[0].iterations, 3);
        tips[i] = disp(s.solution, 2, 0);
        EXPECT_NE(readText(dir.path("frame.pos")).find("%RESULT.CASE "), std::string::npos);
        EXPECT_REL(tips[i], rows[i].tip);
        EXPECT_REL(force(s.solution, 0, 5), rows[i].moment);
    }
    EXPECT_GT(tips[0], H * kL * kL * kL / (3 * kEI));
    EXPECT_LT(tips[1], H * kL * kL * kL / (3 * kEI));
}

// A braced portal barely differs from linear; the same portal unbraced sways visibly more.
TEST_F(Stability, BracedFrame) {
    for (bool braced : {true, false}) {
        NeutralModel m = column("111", "000");
        m.nodes.push_back({6, 0, {1, 1, 1}});
        m.nodes.push_back({6, kL, {0, 0, 0}});
        m.elements = {{1, 2}, {3, 4}, {2, 4}};
        if (braced) m.elements.push_back({1, 4, 1, 4});
        m.nodal_force(2, 10, -1000, 0).nodal_force(4, 0, -1000, 0);
        const double linear = disp(run_model(dir, m).solution, 2, 0);
        const double ratio = disp(second(m).solution, 2, 0) / linear;
        EXPECT_GT(ratio, 1.0) << braced;
        if (braced)
            EXPECT_LT(ratio, 1.01);
        else
            EXPECT_GT(ratio, 1.05);
    }
}

// Several cases: one beyond the critical load has no results and says so, the others are
// solved; a combination is solved from its own factored loads, which superposition would miss.
TEST_F(Stability, CasesAndCombinations) {
    // The critical load is 3,161 kN.
    NeutralModel m = column("111", "000").add("\n%LOAD\n3\n\n%LOAD.CASE\n1  'Small'\n");
    m.nodal_force(2, 1, -1000, 0).add("\n%LOAD.CASE\n2  'Large'\n");
    m.nodal_force(2, 1, -5000, 0).add("\n%LOAD.CASE\n3  'Double'\n");
    m.nodal_force(2, 2, -2000, 0);
    SecondOrderOptions o;
    o.combinations = {{{0, 2.0}}};
    const SecondOrderSolution s = second(m, &o);
    ASSERT_EQ(s.runs.size(), 4u);
    EXPECT_TRUE(s.runs[0].converged && s.runs[2].converged && s.runs[3].converged);
    EXPECT_FALSE(s.runs[1].converged);
    EXPECT_TRUE(s.solution.cases[1].displacements.empty());
    // A case without results leaves the result file without its result section.
    EXPECT_EQ(readText(dir.path("frame.pos")).find("%RESULT"), std::string::npos);
    EXPECT_EQ(s.runs[3].label, "Combination 1");
    const double combo = s.solution.cases[3].displacements[6];
    EXPECT_NEAR(combo, s.solution.cases[2].displacements[6], 1e-12 * std::fabs(combo));
    EXPECT_GT(combo, 2.02 * s.solution.cases[0].displacements[6]);
    EXPECT_STREQ(kSecondOrderUnstable,
                 "The frame is unstable under these loads (second-order analysis did not "
                 "converge).");
}

// Member loads of a combination enter once, times their case's factor: a beam without axial
// force gives the sum of its cases (a factor applied twice, or one case's loads counted with
// every other case, would not).
TEST_F(Stability, CombinationOfMemberLoads) {
    NeutralModel m = beam(kL, "110", "010").add("\n%LOAD\n2\n\n%LOAD.CASE\n1  'One'\n");
    m.uniform(1, 1, 0, -10).add("\n%LOAD.CASE\n2  'Two'\n");
    m.uniform(1, 1, 0, -20).nodal_force(2, 0, 0, 3);
    SecondOrderOptions o;
    o.combinations = {{{0, 1.35}, {1, 0.5}}};
    const SecondOrderSolution s = second(m, &o);
    ASSERT_EQ(s.runs.size(), 3u);
    for (int k : {5, 11}) { // the rotations of both ends
        const double sum = 1.35 * s.solution.cases[0].displacements[k] +
                           0.5 * s.solution.cases[1].displacements[k];
        EXPECT_NEAR(s.solution.cases[2].displacements[k], sum, 1e-12 * std::fabs(sum)) << k;
    }
}

// The buckling of a combination scales the axial forces of its own factored loads: those of a
// case that holds the loads summed, and twice a case's loads halve its factor.
TEST_F(Stability, BucklingOfCombinations) {
    NeutralModel m = column("111", "000").add("\n%LOAD\n3\n\n%LOAD.CASE\n1  'Dead'\n");
    m.nodal_force(2, 0, -1000, 0).add("\n%LOAD.CASE\n2  'Live'\n");
    m.nodal_force(2, 0, -400, 0).uniform(1, 0, 0, -5).add("\n%LOAD.CASE\n3  'Summed'\n");
    m.nodal_force(2, 0, -1700, 0).uniform(1, 0, 0, -2.5);
    const std::string dat = file(m);
    auto lowest = [&](int load_case, std::optional<std::vector<FactoredCase>> combination) {
        EigenOptions o;
        o.modes = 1;
        o.load_case = load_case;
        o.combination = std::move(combination);
        EigenSolution s;
        std::string message;
        EXPECT_EQ(AnalyseBuckling(dat.c_str(), o, &s, &message), kAnalyseSolved) << message;
        return s.modes.empty() ? 0.0 : s.modes[0].value;
    };
    const double dead = lowest(0, std::nullopt), summed = lowest(2, std::nullopt);
    const struct {
        std::vector<FactoredCase> combination;
        double factor;
    } rows[] = {{{{0, 1.5}, {1, 0.5}}, summed}, {{{0, 2.0}}, dead / 2}};
    for (const auto& r : rows) EXPECT_NEAR(lowest(0, r.combination), r.factor, 1e-9 * r.factor);
}

// Loads and frames that have no answer: messages, never numbers that are not finite.
TEST_F(Stability, NoAnswer) {
    const NeutralModel loose = beam(kL, "000", "000").nodal_force(2, 0, -1, 0);
    EigenOptions o;
    EigenSolution s;
    std::string message;
    struct Row {
        const char* name;
        NeutralModel m;
        bool buckling;
        const char* note;
    } rows[] = {
        {"tension only", column("111", "000").nodal_force(2, 0, 5, 0), true, kNoCompression},
        {"no axial force", beam(kL, "110", "010").nodal_force(2, 0, 0, 3), true, kNoCompression},
        {"no mass", beam(kL, "110", "110"), false, kNoMass},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto run = r.buckling ? AnalyseBuckling : AnalyseVibration;
        EXPECT_EQ(run(file(r.m).c_str(), o, &s, &message), kAnalyseSolved);
        EXPECT_TRUE(s.modes.empty());
        EXPECT_EQ(s.note, r.note);
        EXPECT_EQ(run(file(loose).c_str(), o, &s, &message), kAnalyseSingular);
    }
    EXPECT_STREQ(kNoMass, "No mass: define the specific weight of the materials.");
    SecondOrderSolution so;
    EXPECT_EQ(AnalyseSecondOrder(file(loose).c_str(), &message, &so), kAnalyseSingular);
    EXPECT_TRUE(so.runs.empty());
    o.load_case = 3;
    EXPECT_EQ(AnalyseBuckling(file(loose).c_str(), o, &s, &message), kAnalyseFatal);
    EXPECT_EQ(message, "The load case of the buckling analysis does not exist.");
    o.combination = {{0, 1.0}, {1, 1.0}};
    EXPECT_EQ(AnalyseBuckling(file(loose).c_str(), o, &s, &message), kAnalyseFatal);
    EXPECT_EQ(message, "A load case of the buckling combination does not exist.");
    o.combination = std::vector<FactoredCase>{}; // a combination of nothing
    EXPECT_EQ(AnalyseBuckling(file(column("111", "000")).c_str(), o, &s, &message), kAnalyseSolved);
    EXPECT_EQ(s.note, kNoCompression);
}

} // namespace
} // namespace kestrel::engine::test
