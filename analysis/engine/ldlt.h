// The profile LDLT factorisation and solution of the engine's global equations. The
// factorisation works on blocks of four rows, so that each finished row above them is read
// once for all four, and runs a kernel with 256-bit fused multiply-add where the processor
// has it (chosen at run time: the build targets the plain x86-64 baseline) and a baseline
// kernel elsewhere. Both follow the same row-by-row LDLT with the same pivot test; their
// results differ only by rounding.
#pragma once

#include "analysis/engine/utl.h"

namespace kestrel::engine {

// Factorises K in place: below the diagonal of row i the entries become L(i, j), on the
// diagonal D(i). Returns -1, or the first row whose pivot is below tol, exactly zero or not a
// number (the matrix is then partly factorised). inverse is workspace of K.n doubles (it ends
// holding 1 / D). Adds the floating-point operations to *flops.
int ldlt_factor(ProfileMatrix& K, double tol, double* inverse, double* flops);
// Solves L D L^T u = u in place with a factorised K.
void ldlt_solve(ProfileMatrix& K, double* u);

// The kernel in use: "avx2-fma" or "baseline". The tests can force the baseline.
const char* ldlt_kernel_name();
void ldlt_force_baseline(bool baseline);

} // namespace kestrel::engine
