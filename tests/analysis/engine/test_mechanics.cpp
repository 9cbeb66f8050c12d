// Engine results against closed-form structural mechanics (relative tolerance 1e-6).
#include "neutral_model.h"

#include <gtest/gtest.h>

#include <cmath>

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

TEST_F(Mechanics, CantileverTipLoad) {
    const double L = 3, P = 12;
    NeutralModel m = beam(L, "111", "000");
    m.nodal_force(2, 0, -P, 0);
    RunResult r = solve(m);
    EXPECT_EQ(r.solution.equations, 3);
    EXPECT_REL(disp(r.solution, 2, DY), -P * L * L * L / (3 * kE * kI));
    EXPECT_REL(disp(r.solution, 2, RZ), -P * L * L / (2 * kE * kI));
    EXPECT_REL(force(r.solution, 0, V1), P);
    EXPECT_REL(force(r.solution, 0, M1), P * L);
    EXPECT_REL(force(r.solution, 0, V2), -P);
    EXPECT_NEAR(force(r.solution, 0, M2), 0, 1e-9);
}

TEST_F(Mechanics, InclinedCantileverUsesTheRotation) {
    const double L = 2, P = 5, c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 1}}, {L * c, L * s, {0, 0, 0}}};
    m.elements = {{1, 2}};
    m.nodal_force(2, 0, -P, 0);
    RunResult r = solve(m);
    const double transverse = P * c * L * L * L / (3 * kE * kI); // along -local y
    const double axial = P * s * L / (kE * kA);                  // shortening
    EXPECT_REL(disp(r.solution, 2, DX), -axial * c + transverse * s);
    EXPECT_REL(disp(r.solution, 2, DY), -axial * s - transverse * c);
    EXPECT_REL(force(r.solution, 0, N1), P * s);
    EXPECT_REL(force(r.solution, 0, V1), P * c);
}

// The simply supported beam, its supports given plainly or in axes turned by 90 degrees (local
// x' = global y), so member loads reach the supports through the node axes.
TEST_F(Mechanics, SimplySupportedBeamUniformLoad) {
    const double L = 6, q = 4;
    for (bool skew : {false, true}) {
        SCOPED_TRACE(skew ? "skew supports" : "plain supports");
        NeutralModel m;
        m.nodes = {
            {0, 0, {1, 1, 0}}, {L / 2, 0, {0, 0, 0}}, {L, 0, {skew ? 1 : 0, skew ? 0 : 1, 0}}};
        m.elements = {{1, 2}, {2, 3}};
        for (int n : {1, 3})
            if (skew) m.inclined(n, 90);
        m.uniform(1, 0, 0, -q);
        m.uniform(2, 0, 0, -q);
        RunResult r = solve(m);
        EXPECT_REL(disp(r.solution, 2, DY), -5 * q * std::pow(L, 4) / (384 * kE * kI));
        EXPECT_REL(disp(r.solution, 1, RZ), -q * std::pow(L, 3) / (24 * kE * kI));
        EXPECT_REL(disp(r.solution, 3, RZ), q * std::pow(L, 3) / (24 * kE * kI));
        EXPECT_NEAR(disp(r.solution, 3, DY), 0, 1e-15);
        EXPECT_NEAR(disp(r.solution, 3, DX), 0, 1e-15); // no axial load, the roller stays put
        EXPECT_REL(force(r.solution, 0, V1), q * L / 2);
        EXPECT_REL(force(r.solution, 1, V2), q * L / 2);
        EXPECT_REL(force(r.solution, 0, M2), q * L * L / 8); // sagging
        EXPECT_NEAR(force(r.solution, 0, M1), 0, 1e-9);
    }
}

TEST_F(Mechanics, FixedFixedBeamUniformLoad) {
    const double L = 5, q = 3;
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 1}}, {L / 2, 0, {0, 0, 0}}, {L, 0, {1, 1, 1}}};
    m.elements = {{1, 2}, {2, 3}};
    m.uniform(1, 1, 0, -q);
    m.uniform(2, 1, 0, -q);
    RunResult r = solve(m);
    EXPECT_REL(force(r.solution, 0, M1), q * L * L / 12);
    EXPECT_REL(force(r.solution, 1, M2), -q * L * L / 12);
    EXPECT_REL(force(r.solution, 0, M2), q * L * L / 24);
    EXPECT_REL(disp(r.solution, 2, DY), -q * std::pow(L, 4) / (384 * kE * kI));
}

// Members clamped at both nodes, so without an equation: the end forces are the fixed-end forces
// of the load, condensed for a hinge (NAN: not checked, 0: exactly zero).
TEST_F(Mechanics, FixedEndForces) {
    const double q = 2, p = 6, P = 10, T = 15, alpha = 1e-5;
    NeutralModel hinged = beam(4, "111", "111", 3), linear = beam(3, "111", "111");
    NeutralModel point = beam(4, "111", "111"), heat = beam(4, "111", "111");
    hinged.uniform(1, 1, 0, q);
    linear.linear(1, 1, 0, 0, 0, p);
    point.beam_force(1, 1, 0.5, 0, -P, 0);
    heat.temperature(1, T, 0);
    const struct {
        const char* name;
        const NeutralModel& m;
        double n1, v1, m1, v2, m2;
    } rows[] = {
        {"uniform load, hinged at end 2", hinged, NAN, -5 * q * 4 / 8, -q * 4 * 4 / 8,
         -3 * q * 4 / 8, 0},
        {"linear load", linear, NAN, -3 * p * 3 / 20, -p * 3 * 3 / 30, -7 * p * 3 / 20,
         p * 3 * 3 / 20},
        {"load at mid-span", point, NAN, P / 2, P * 4 / 8, NAN, -P * 4 / 8},
        {"uniform temperature", heat, alpha * kE * kA * T, 0, 0, NAN, NAN},
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

// The propped cantilever solved through the equations gives the end forces of the member
// hinged at end 2.
TEST_F(Mechanics, ProppedCantileverUniformLoad) {
    const double L = 4, q = 2;
    NeutralModel p = beam(L, "111", "110");
    p.uniform(1, 1, 0, q);
    RunResult s = solve(p);
    EXPECT_REL(force(s.solution, 0, M1), -q * L * L / 8);
    EXPECT_REL(force(s.solution, 0, V1), -5 * q * L / 8);
    EXPECT_REL(force(s.solution, 0, V2), -3 * q * L / 8);
    EXPECT_REL(disp(s.solution, 2, RZ), -q * L * L * L / (48 * kE * kI));
}

TEST_F(Mechanics, LinearLoadOnCantileverDeflects) {
    // Triangular load growing from 0 at the clamp to p at the tip: w = 11 p L^4 / (120 E I).
    const double L = 2, p = 3;
    NeutralModel m = beam(L, "111", "000");
    m.linear(1, 0, 0, 0, 0, -p);
    RunResult r = solve(m);
    EXPECT_REL(disp(r.solution, 2, DY), -11 * p * std::pow(L, 4) / (120 * kE * kI));
    EXPECT_REL(force(r.solution, 0, M1), p * L * L / 3);
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

TEST_F(Mechanics, PrescribedSettlement) {
    const double L = 4, d = -0.01;
    NeutralModel m = beam(L, "111", "111");
    m.prescribed(2, 0, d, 0);
    RunResult r = solve(m);
    EXPECT_EQ(r.solution.equations, 1);
    EXPECT_REL(disp(r.solution, 2, DY), d);
    EXPECT_REL(force(r.solution, 0, V1), -12 * kE * kI * d / (L * L * L));
    EXPECT_REL(force(r.solution, 0, M1), -6 * kE * kI * d / (L * L));
    EXPECT_REL(force(r.solution, 0, M2), -6 * kE * kI * d / (L * L));
}

TEST_F(Mechanics, RollerOnIncline) {
    // Bar pinned at node 1, node 2 on a roller whose free direction is 45 degrees to the bar.
    const double L = 3, P = 8, a = 45;
    NeutralModel m = beam(L, "110", "100");
    m.inclined(2, a);
    m.nodal_force(2, 0, -P, 0);
    RunResult r = solve(m);
    const double dx = disp(r.solution, 2, DX), dy = disp(r.solution, 2, DY);
    // Restrained local x' = (cos a, sin a): no movement across the incline.
    EXPECT_NEAR(dx * std::cos(a * M_PI / 180) + dy * std::sin(a * M_PI / 180), 0, 1e-12);
    EXPECT_REL(dx, P * L / (kE * kA));
    EXPECT_REL(dy, -P * L / (kE * kA));
    EXPECT_REL(force(r.solution, 0, N2), P);
}

TEST_F(Mechanics, SpringSupport) {
    const double L = 2, P = 9, k = 5000;
    NeutralModel m = beam(L, "111", "000");
    m.springs(2, 0, k, 0);
    m.nodal_force(2, 0, -P, 0);
    RunResult r = solve(m);
    EXPECT_REL(disp(r.solution, 2, DY), -P / (k + 3 * kE * kI / (L * L * L)));
}

TEST_F(Mechanics, ThermalGradientOnFixedFixedBeam) {
    const double L = 4, dT = 20, h = 0.3, alpha = 1e-5;
    NeutralModel m;
    m.nodes = {{0, 0, {1, 1, 1}}, {L / 2, 0, {0, 0, 0}}, {L, 0, {1, 1, 1}}};
    m.elements = {{1, 2}, {2, 3}};
    m.temperature(1, 0, dT);
    m.temperature(2, 0, dT);
    RunResult r = solve(m);
    const double M = alpha * kE * kI * dT / h;
    EXPECT_REL(force(r.solution, 0, M1), M);
    EXPECT_REL(force(r.solution, 1, M2), -M);
    EXPECT_EQ(disp(r.solution, 2, DY), 0.0);
    EXPECT_EQ(disp(r.solution, 2, RZ), 0.0);
}

TEST_F(Mechanics, GravityLoadsEveryElementWithItsWeight) {
    const double L = 2, rho = 78.5, gy = -1;
    NeutralModel m = beam(L, "111", "000");
    m.extra += "\n%MATERIAL.PROPERTY.DENSITY\n1\n1     78.5\n\n%LOAD.CASE.GRAVITY\n0 -1 0\n";
    RunResult r = solve(m);
    const double q = rho * kA * -gy;
    EXPECT_REL(disp(r.solution, 2, DY), -q * std::pow(L, 4) / (8 * kE * kI));
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
    EXPECT_TRUE(r.solution.displacements.empty());
    EXPECT_EQ(r.pos.find("%RESULT"), std::string::npos);
    EXPECT_EQ(r.pos.substr(r.pos.size() - 6), "\n%END\n");
    solve(beam(4, "111", "000", 2), kAnalyseSingular); // hinge at the clamp: the end can swing
}

TEST_F(Mechanics, FreedomWhoseOnlyStiffnessIsASpringSolves) {
    // A truss bar leaves node 2's rotation without stiffness except a rotational spring.
    const double L = 2, P = 4;
    NeutralModel m = beam(L, "111", "010", 4);
    m.springs(2, 0, 0, 100);
    m.nodal_force(2, P, 0, 1);
    RunResult r = solve(m);
    EXPECT_REL(disp(r.solution, 2, DX), P * L / (kE * kA));
    EXPECT_REL(disp(r.solution, 2, RZ), 1.0 / 100);
}

} // namespace
} // namespace kestrel::engine::test
