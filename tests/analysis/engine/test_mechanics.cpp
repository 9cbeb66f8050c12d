// Engine results against closed-form structural mechanics (relative tolerance 1e-6).
#include "neutral_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace kestrel::engine::test {
namespace {

constexpr double kE = 2.05e8, kA = 0.01, kI = 1e-4;
constexpr double kRel = 1e-6;

#define EXPECT_REL(actual, expected)                                                               \
    EXPECT_NEAR((actual), (expected), kRel* std::fabs(expected) + 1e-12)

// Force indices of the local end-force vector.
enum { N1 = 0, V1 = 1, M1 = 5, N2 = 6, V2 = 7, M2 = 11 };
enum { DX = 0, DY = 1, RZ = 5 };

class Mechanics : public ::testing::Test {
protected:
    TempDir dir;
    RunResult solve(const NeutralModel& m, int expected_code = kAnalyseSolved) {
        RunResult r = run_model(dir, m);
        EXPECT_EQ(r.code, expected_code) << r.message;
        return r;
    }
};

// Clamped at both ends, with a free node at mid-span.
NeutralModel fixedFixed(double L) {
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 1}}, {L / 2, 0, {0, 0, 0}}, {L, 0, {1, 1, 1}}};
    m.elements = {{1, 2}, {2, 3}};
    return m;
}

// Simply supported, with a free node at mid-span; the supports given plainly or in axes turned
// by 90 degrees (local x' = global y), so member loads reach them through the node axes.
NeutralModel simplySupported(double L, bool skew) {
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 0}}, {L / 2, 0, {0, 0, 0}}, {L, 0, {skew ? 1 : 0, skew ? 0 : 1, 0}}};
    m.elements = {{1, 2}, {2, 3}};
    return skew ? m.inclined(1, 90).inclined(3, 90) : m;
}

// A value of the solution: displacement `index` of node `at`, or end force `index` of the
// element at list position `at`; within kRel of `expected`, or within `abs` when it is given.
struct Value {
    bool isForce;
    int at, index;
    double expected, abs = -1;
};
Value d(int node, int k, double expected, double abs = -1) {
    return {false, node, k, expected, abs};
}
Value f(int e, int i, double expected, double abs = -1) {
    return {true, e, i, expected, abs};
}

// Frames whose closed forms are read off the solution (equations: -1 when not checked).
TEST_F(Mechanics, ClosedForms) {
    const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6), EI = kE * kI, EA = kE * kA;
    NeutralModel inclined; // L = 2 at 30 degrees
    inclined.nodes = {{0, 0, {1, 1, 1}}, {2 * c, 2 * s, {0, 0, 0}}};
    inclined.elements = {{1, 2}};
    // Thermal gradient dT = 20 over h = 0.3: M = alpha E I dT / h.
    const double Mt = 1e-5 * EI * 20 / 0.3;
    // Simply supported, L = 6, q = 4: w = 5 q L^4 / 384EI, end rotations q L^3 / 24EI, the
    // roller stays put (no axial load), end shear q L / 2, mid-span moment q L^2 / 8 sagging.
    const std::vector<Value> simple(
        {d(2, DY, -5 * 4 * 1296 / (384 * EI)), d(1, RZ, -4 * 216 / (24 * EI)),
         d(3, RZ, 4 * 216 / (24 * EI)), d(3, DY, 0, 1e-15), d(3, DX, 0, 1e-15),
         f(0, V1, 4 * 6 / 2.0), f(1, V2, 4 * 6 / 2.0), f(0, M2, 4 * 36 / 8.0), f(0, M1, 0, 1e-9)});
    const struct {
        const char* name;
        NeutralModel m;
        int equations;
        std::vector<Value> values;
    } rows[] = {
        // L = 3, P = 12: w = P L^3 / 3EI, rotation P L^2 / 2EI.
        {"cantilever tip load",
         beam(3, "111", "000").nodal_force(2, 0, -12, 0),
         3,
         {d(2, DY, -12 * 27 / (3 * EI)), d(2, RZ, -12 * 9 / (2 * EI)), f(0, V1, 12),
          f(0, M1, 12 * 3), f(0, V2, -12), f(0, M2, 0, 1e-9)}},
        // P = 5 down: transverse P c L^3 / 3EI along -local y, axial shortening P s L / EA.
        {"inclined cantilever uses the rotation",
         inclined.nodal_force(2, 0, -5, 0),
         -1,
         {d(2, DX, -5 * s * 2 / EA * c + 5 * c * 8 / (3 * EI) * s),
          d(2, DY, -5 * s * 2 / EA * s - 5 * c * 8 / (3 * EI) * c), f(0, N1, 5 * s),
          f(0, V1, 5 * c)}},
        {"simply supported beam",
         simplySupported(6, false).uniform(1, 0, 0, -4).uniform(2, 0, 0, -4), -1, simple},
        {"simply supported beam, skew supports",
         simplySupported(6, true).uniform(1, 0, 0, -4).uniform(2, 0, 0, -4), -1, simple},
        // L = 5, q = 3: end moments q L^2 / 12, mid-span q L^2 / 24, w = q L^4 / 384EI.
        {"fixed-fixed beam, uniform load",
         fixedFixed(5).uniform(1, 1, 0, -3).uniform(2, 1, 0, -3),
         -1,
         {f(0, M1, 3 * 25 / 12.0), f(1, M2, -3 * 25 / 12.0), f(0, M2, 3 * 25 / 24.0),
          d(2, DY, -3 * 625 / (384 * EI))}},
        // Solved through the equations, L = 4, q = 2: the end forces of the member hinged at
        // end 2.
        {"propped cantilever, uniform load",
         beam(4, "111", "110").uniform(1, 1, 0, 2),
         -1,
         {f(0, M1, -2 * 16 / 8.0), f(0, V1, -5 * 2 * 4 / 8.0), f(0, V2, -3 * 2 * 4 / 8.0),
          d(2, RZ, -2 * 64 / (48 * EI))}},
        // Triangular load growing from 0 at the clamp to p = 3 at the tip, L = 2:
        // w = 11 p L^4 / 120 EI, M = p L^2 / 3.
        {"linear load on a cantilever",
         beam(2, "111", "000").linear(1, 0, 0, 0, 0, -3),
         -1,
         {d(2, DY, -11 * 3 * 16 / (120 * EI)), f(0, M1, 3 * 4 / 3.0)}},
        // L = 4, d = -0.01: V = 12 EI d / L^3, M = 6 EI d / L^2.
        {"prescribed settlement",
         beam(4, "111", "111").prescribed(2, 0, -0.01, 0),
         1,
         {d(2, DY, -0.01), f(0, V1, 12 * EI * 0.01 / 64), f(0, M1, 6 * EI * 0.01 / 16),
          f(0, M2, 6 * EI * 0.01 / 16)}},
        // L = 2, P = 9, k = 5000: w = P / (k + 3EI / L^3).
        {"spring support",
         beam(2, "111", "000").springs(2, 0, 5000, 0).nodal_force(2, 0, -9, 0),
         -1,
         {d(2, DY, -9 / (5000 + 3 * EI / 8))}},
        {"thermal gradient on a fixed-fixed beam",
         fixedFixed(4).temperature(1, 0, 20).temperature(2, 0, 20),
         -1,
         {f(0, M1, Mt), f(1, M2, -Mt), d(2, DY, 0, 0), d(2, RZ, 0, 0)}},
        // L = 2, density 78.5 under g = (0, -1): q = 78.5 A, w = q L^4 / 8EI.
        {"gravity loads every element with its weight",
         beam(2, "111", "000")
             .add("\n%MATERIAL.PROPERTY.DENSITY\n1\n1     78.5\n\n%LOAD.CASE.GRAVITY\n0 -1 0\n"),
         -1,
         {d(2, DY, -78.5 * kA * 16 / (8 * EI))}},
        // A truss bar leaves node 2's rotation without stiffness except a rotational spring.
        {"freedom whose only stiffness is a spring",
         beam(2, "111", "010", 4).springs(2, 0, 0, 100).nodal_force(2, 4, 0, 1),
         -1,
         {d(2, DX, 4 * 2 / EA), d(2, RZ, 1.0 / 100)}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RunResult r = solve(row.m);
        EXPECT_TRUE(row.equations < 0 || r.solution.equations == row.equations)
            << r.solution.equations;
        for (const Value& v : row.values)
            EXPECT_NEAR(v.isForce ? force(r.solution, v.at, v.index)
                                  : disp(r.solution, v.at, v.index),
                        v.expected, v.abs >= 0 ? v.abs : kRel * std::fabs(v.expected) + 1e-12)
                << (v.isForce ? "force " : "displacement ") << v.at << " " << v.index;
    }
}

// Members clamped at both nodes, so without an equation: the end forces are the fixed-end forces
// of the load, condensed for a hinge (NAN: not checked, 0: exactly zero).
TEST_F(Mechanics, FixedEndForces) {
    const double q = 2, p = 6, P = 10, T = 15, alpha = 1e-5;
    const struct {
        const char* name;
        NeutralModel m;
        double n1, v1, m1, v2, m2;
    } rows[] = {
        {"uniform load, hinged at end 2", beam(4, "111", "111", 3).uniform(1, 1, 0, q), NAN,
         -5 * q * 4 / 8, -q * 4 * 4 / 8, -3 * q * 4 / 8, 0},
        {"linear load", beam(3, "111", "111").linear(1, 1, 0, 0, 0, p), NAN, -3 * p * 3 / 20,
         -p * 3 * 3 / 30, -7 * p * 3 / 20, p * 3 * 3 / 20},
        {"load at mid-span", beam(4, "111", "111").beam_force(1, 1, 0.5, 0, -P, 0), NAN, P / 2,
         P * 4 / 8, NAN, -P * 4 / 8},
        {"uniform temperature", beam(4, "111", "111").temperature(1, T, 0), alpha * kE * kA * T, 0,
         0, NAN, NAN},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RunResult r = solve(row.m);
        EXPECT_EQ(r.solution.equations, 0);
        const std::pair<int, double> want[] = {
            {N1, row.n1}, {V1, row.v1}, {M1, row.m1}, {V2, row.v2}, {M2, row.m2}};
        for (auto [i, w] : want) {
            if (std::isnan(w)) continue;
            const double got = force(r.solution, 0, i);
            EXPECT_TRUE(w == 0 ? got == 0 : std::fabs(got - w) <= kRel * std::fabs(w) + 1e-12)
                << i << ": " << got << " for " << w;
        }
    }
}

TEST_F(Mechanics, ConcentratedLoadAtEndOneOfAnInclinedMember) {
    // At position 0 the whole load goes to end 1: turned back to global it is the negated load.
    const double a = M_PI / 6, Fx = 3, Fy = -7;
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 1}}, {2 * std::cos(a), 2 * std::sin(a), {1, 1, 1}}};
    m.elements = {{1, 2}};
    m.beam_force(1, 0, 0, Fx, Fy, 0);
    RunResult r = solve(m);
    const double n = force(r.solution, 0, N1), v = force(r.solution, 0, V1);
    EXPECT_REL(n * std::cos(a) - v * std::sin(a), -Fx);
    EXPECT_REL(n * std::sin(a) + v * std::cos(a), -Fy);
    EXPECT_NEAR(force(r.solution, 0, M1), 0, 1e-12);
    EXPECT_NEAR(force(r.solution, 0, N2), 0, 1e-12);
}

TEST_F(Mechanics, MemberHingedAtBothEndsCarriesOnlyAxialForce) {
    // Two-bar truss: apex load P shared by two bars at angle t: N = -P / (2 sin t).
    const double P = 20, h = 3, w = 4;
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 1}}, {2 * w, 0, {1, 1, 1}}, {w, h, {0, 0, 1}}};
    m.elements = {{1, 3, 1, 4}, {2, 3, 1, 4}};
    m.nodal_force(3, 0, -P, 0);
    RunResult r = solve(m);
    const double t = std::atan2(h, w), N = -P / (2 * std::sin(t)), L = std::hypot(w, h);
    for (int e = 0; e < 2; ++e) {
        EXPECT_REL(force(r.solution, e, N1), -N);
        EXPECT_REL(force(r.solution, e, N2), N);
        EXPECT_NEAR(force(r.solution, e, M1), 0, 1e-9);
        EXPECT_NEAR(force(r.solution, e, M2), 0, 1e-9);
        EXPECT_NEAR(force(r.solution, e, V1), 0, 1e-9);
    }
    EXPECT_REL(disp(r.solution, 3, DY), N * L / (kE * kA) / std::sin(t));
    EXPECT_TRUE(r.section.has_axial);
    EXPECT_FALSE(r.section.has_shear);
    EXPECT_FALSE(r.section.has_bending);
}

TEST_F(Mechanics, RollerOnIncline) {
    // Bar pinned at node 1, node 2 on a roller whose free direction is 45 degrees to the bar.
    const double L = 3, P = 8, a = 45;
    RunResult r = solve(beam(L, "110", "100").inclined(2, a).nodal_force(2, 0, -P, 0));
    const double dx = disp(r.solution, 2, DX), dy = disp(r.solution, 2, DY);
    // Restrained local x' = (cos a, sin a): no movement across the incline.
    EXPECT_NEAR(dx * std::cos(a * M_PI / 180) + dy * std::sin(a * M_PI / 180), 0, 1e-12);
    EXPECT_REL(dx, P * L / (kE * kA));
    EXPECT_REL(dy, -P * L / (kE * kA));
    EXPECT_REL(force(r.solution, 0, N2), P);
}

TEST_F(Mechanics, MultiStoreyFrameIsInEquilibrium) {
    // Five storeys, three bays, fixed bases, a lateral force at every floor and a uniform load
    // on every beam: the base reactions balance the loads in both directions and in moment.
    const int storeys = 5, bays = 3, cols = bays + 1;
    const double h = 3, w = 6, H = 10, q = 25;
    NeutralModel m;
    for (int i = 0; i <= storeys; ++i)
        for (int j = 0; j < cols; ++j) {
            int f = i == 0 ? 1 : 0;
            m.nodes.push_back({w * j, h * i, {f, f, f}});
        }
    auto node = [&](int i, int j) { return i * cols + j + 1; };
    std::vector<int> base_columns;
    for (int i = 0; i <= storeys; ++i)
        for (int j = 0; j < cols; ++j) {
            if (i > 0 && j < bays) {
                m.elements.push_back({node(i, j), node(i, j + 1), 1, 1});
                m.uniform(static_cast<int>(m.elements.size()), 0, 0, -q);
            }
            if (i < storeys) {
                m.elements.push_back({node(i, j), node(i + 1, j)});
                if (i == 0) base_columns.push_back(static_cast<int>(m.elements.size()) - 1);
            }
        }
    for (int i = 1; i <= storeys; ++i) m.nodal_force(node(i, 0), H, 0, 0);
    RunResult r = solve(m);
    EXPECT_EQ(r.solution.equations, 3 * storeys * cols);
    double rx = 0, ry = 0, mz = 0;
    for (int k = 0; k < cols; ++k) {
        const int e = base_columns[static_cast<std::size_t>(k)];
        // Column along +y: local y is global -x, so the base reaction is (-V1, N1).
        rx += -force(r.solution, e, V1);
        ry += force(r.solution, e, N1);
        mz += force(r.solution, e, M1) + w * k * force(r.solution, e, N1);
    }
    double applied_moment = 0;
    for (int i = 1; i <= storeys; ++i)
        applied_moment += -h * i * H - q * (w * bays) * (w * bays) / 2;
    EXPECT_REL(rx, -storeys * H);
    EXPECT_REL(ry, q * w * bays * storeys);
    EXPECT_REL(mz, -applied_moment);
}

// A pinned frame without bracing, and a mechanism without load.
TEST_F(Mechanics, MechanismsAreSingular) {
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 1}}, {4, 0, {1, 1, 1}}, {0, 3, {0, 0, 1}}, {4, 3, {0, 0, 1}}};
    m.elements = {{1, 3, 1, 4}, {2, 4, 1, 4}, {3, 4, 1, 4}};
    m.nodal_force(3, 1, 0, 0);
    RunResult r = solve(m, kAnalyseSingular);
    EXPECT_TRUE(r.solution.cases.empty());
    EXPECT_EQ(r.pos.find("%RESULT"), std::string::npos);
    EXPECT_EQ(r.pos.substr(r.pos.size() - 6), "\n%END\n");
    solve(beam(4, "111", "000", 2), kAnalyseSingular); // hinge at the clamp: the end can swing
}

} // namespace
} // namespace kestrel::engine::test
