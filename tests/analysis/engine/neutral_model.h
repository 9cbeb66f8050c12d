// Test helper: describes a plane frame and writes it as a neutral file in the layout the
// analysis driver produces, then runs the engine on it in a private directory.
#pragma once

#include "analysis/engine/engine.h"
#include "analysis/engine/fem.h"
#include "analysis/engine/ldlt.h"
#include "analysis/engine/result_section.h"
#include "tests/support/scratch_dir.h"

#include <array>
#include <string>
#include <vector>

namespace kestrel::engine::test {

struct TNode {
    double x, y;
    std::array<int, 3> fix; // dx, dy, rz: 1 restrained
};

struct TElement {
    int n1, n2;
    int section = 1;    // 1-based section record (of the three per section block)
    int liberation = 1; // 1 none, 2 end-1 hinge, 3 end-2 hinge, 4 both
    int material = 1;
};

struct TSection {
    double A, I, h;
};

struct NeutralModel {
    std::vector<TNode> nodes;
    std::vector<TElement> elements;
    std::vector<TSection> sections{{0.01, 1e-4, 0.3}};
    double E = 2.05e8;
    double alpha = 1e-5;
    // Raw blocks appended after the elements, in the writer's layout (label and count included).
    std::string extra;

    // Adds "LOAD.CASE.*" style records; each call appends one whole block and returns the model.
    NeutralModel& add(const std::string& block) { return extra += block, *this; }
    NeutralModel& inclined(int node, double angle);
    NeutralModel& springs(int node, double kx, double ky, double kr);
    NeutralModel& nodal_force(int node, double fx, double fy, double mz);
    NeutralModel& prescribed(int node, double dx, double dy, double rz);
    NeutralModel& beam_force(int element, int flag, double pos, double fx, double fy, double mz);
    NeutralModel& uniform(int element, int flag, double qx, double qy);
    NeutralModel& linear(int element, int flag, double px1, double py1, double px2, double py2);
    NeutralModel& temperature(int element, double tc, double dty);

    std::string text() const;
};

// One member of length L along x from node 1 to node 2, restraints as "dx dy rz" flags.
NeutralModel beam(double L, const char* fix1, const char* fix2, int liberation = 1);
// A clamped member of 2 m with a downward 10 kN load at its free end.
NeutralModel cantilever();

// Orientation vector number for a member from end 1 to end 2.
int orientation_vector(double dx, double dy);

using TempDir = kestrel_test::ScratchDir;
using kestrel_test::fileExists;
using kestrel_test::readText;
using kestrel_test::writeText;

// A named input text of a table of cases.
struct Case {
    const char* name;
    std::string text;
};

// The text with the first occurrence of `from` replaced (a failure when there is none).
std::string replace(std::string text, const std::string& from, const std::string& to);

// Writes text as NAME.dat in dir and runs AnalyseCore; fills the solution and the message.
struct RunResult {
    int code = 0;
    std::string message;
    EngineSolution solution;
    std::string pos; // text of the result file ("" when absent)
    ResultSection section;
};
RunResult run_text(const TempDir& dir, const std::string& name, const std::string& text,
                   const AnalyseOptions* options = nullptr);
inline RunResult run_model(const TempDir& dir, const NeutralModel& m) {
    return run_text(dir, "frame", m.text());
}

// Forces an equation order for the life of the object.
struct OrderGuard {
    explicit OrderGuard(EquationOrder order) { g_equation_order = order; }
    ~OrderGuard() { g_equation_order = EquationOrder::Automatic; }
};

// Forces the baseline factorisation kernel for the life of the object.
struct BaselineGuard {
    explicit BaselineGuard(bool baseline) { ldlt_force_baseline(baseline); }
    ~BaselineGuard() { ldlt_force_baseline(false); }
};

// Largest difference in each column of two tables of the same shape, relative to the largest
// magnitude of that column in a (columns of one kind: dx, dy, ..., or one end force).
double worst_relative(const std::vector<double>& a, const std::vector<double>& b, int cols);

// Accessors into a solution: displacement k (0..5) of node n (1-based), end force i (0..11)
// of the element at list position e (0-based), in the first load case.
inline double disp(const EngineSolution& s, int node, int k) {
    return s.cases.at(0).displacements.at(static_cast<std::size_t>(node - 1) * 6 + k);
}
inline double force(const EngineSolution& s, int e, int i) {
    return s.cases.at(0).end_forces.at(static_cast<std::size_t>(e) * 12 + i);
}

} // namespace kestrel::engine::test
