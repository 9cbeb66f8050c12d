// The profile LDLT factorisation and solution of the engine's global equations. The
// factorisation works on blocks of eight rows held side by side in a workspace, so that the
// updates from the finished rows above are dense register-blocked loops (ldlt_kernel.h). It
// runs a kernel with 256-bit fused multiply-add where the processor has it (chosen at run
// time: the build targets the plain x86-64 baseline) and a baseline kernel elsewhere. Both
// follow the same row-by-row LDLT with the same pivot test; their results differ only by
// rounding.
#pragma once

#include "analysis/engine/utl.h"

namespace kestrel::engine {

constexpr int kLdltNoMemory = -2;

// Factorises K in place: below the diagonal of row i the entries become L(i, j), on the
// diagonal D(i). u holds the right-hand side and leaves with D^-1 L^-1 u (the forward
// substitution is done row by row as the rows are finished). Returns -1, or the first row whose
// pivot is below tol, exactly zero or not a number (the matrix is then partly factorised), or
// kLdltNoMemory when its workspace cannot be allocated (the allocation failure is then the
// engine's pending error). Adds the floating-point operations to *flops.
int ldlt_factor(ProfileMatrix& K, double tol, double* u, double* flops);
// Completes the solution of L D L^T x = b in place: u = D^-1 L^-1 b from ldlt_factor becomes x.
void ldlt_solve(ProfileMatrix& K, double* u);
// Forward substitution and division by D with a finished factor, for a further right-hand
// side: b in u becomes D^-1 L^-1 b, ready for ldlt_solve.
void ldlt_forward(ProfileMatrix& K, double* u);

// Right-hand sides that ldlt_solve_lanes takes at once.
constexpr int kLdltLanes = 8;
// The whole solution with a finished factor for kLdltLanes right-hand sides side by side:
// b[i * kLdltLanes + s] is entry i of the s-th. Each pass over the factor serves all of them.
void ldlt_solve_lanes(ProfileMatrix& K, double* b);
// out[r * kLdltLanes + s] = the sum over c < cols of m[r * cols + c] x[c * kLdltLanes + s] for
// r < rows: a small row-major matrix times kLdltLanes vectors side by side.
void ldlt_lanes_product(const double* m, int rows, int cols, const double* x, double* out);

// The kernel in use: "avx2-fma" or "baseline". The tests can force the baseline.
const char* ldlt_kernel_name();
void ldlt_force_baseline(bool baseline);

} // namespace kestrel::engine
