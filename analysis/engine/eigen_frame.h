// The subdivided frame of the buckling and vibration analyses: each member divided internally
// into pieces (cubic Hermite beams with the consistent geometric and mass matrices; the axial
// displacement linear along the whole member: one bar, exact stiffness, consistent mass), a
// released end freedom a freedom of the member alone. The interior freedoms of a member are
// condensed out member by member whenever the stiffness is solved, so the global matrix keeps
// the profile of the model's own nodes. Private to analysis/engine: eigen.cpp iterates on it.
#pragma once

#include "analysis/engine/fem.h"

#include <vector>

namespace kestrel::engine::eigen {

constexpr int kPlane[3] = {0, 1, 5}; // in-plane freedoms of a node: dx, dy, rz
// Most (index, coefficient) pairs of one chain freedom: its own unknown and the four end values
// of the member's cubic, each from up to three boundary values.
constexpr int kMostTargets = 16;

// One member as the subdivided frame sees it.
struct Member {
    int pieces;
    int released[2][3]; // per end and local component u, v, rotation: internal index or -1
    int inner;          // internal unknowns: released end components, v and rotation inside
    long offset;        // of its internal unknowns in the whole vector
    int eq[6];          // boundary equations of end 1 (dx, dy, rz in node axes) and end 2, or -1
    double T[2][3][3];  // local u, v, rotation of each end from its node's values
    double c, s, L, EA, EI, N, mass;
    bool truss; // no bending stiffness: straight pieces, no rotations
};

// The whole problem: members, equations, the condensed global factor and the buffers.
struct Problem {
    bool buckling;
    double sigma = 0; // the shift: the stiffness solved is K - sigma B
    std::vector<Member> members;
    std::vector<int> node_eq; // 3 per node: boundary equation or -1
    int nb = 0;               // boundary equations
    long total = 0;           // all unknowns
    std::vector<int> first;
    ProfileMatrix S;
    ~Problem() { utl_profilefree(&S); }
};

// Chain freedom (node j of 0..pieces, component k) of a member in member space: slots 0..5 the
// boundary values of ends 1 and 2, 6 + i its internal unknown i. Returns how many (index,
// coefficient) pairs.
int targets(const Member& mb, int j, int k, int idx[kMostTargets], double coef[kMostTargets]);

// The members and the boundary equations from the engine's tables; `axial` holds the axial
// forces per element (buckling), empty for vibration.
void set_up(Problem& pb, const std::vector<double>& axial, const EigenOptions& options);
// The condensed K - sigma B of the boundary equations, factorised: kAnalyseSolved, kAnalyseSingular
// (also when it is not positive definite) or kAnalyseFatal.
int factor_boundary(Problem& pb);
// On q vectors side by side (row-major: unknown i, vector s): y = B x (the buckling matrix, minus
// the geometric one, or the mass matrix), and x = (K - sigma B)^-1 x.
void apply_b(const Problem& pb, int q, const double* x, double* y);
void solve_k(Problem& pb, int q, double* x);

} // namespace kestrel::engine::eigen
