// Body of the profile LDLT factorisation, included by the baseline and the 256-bit kernels,
// each of which supplies its dot products (Ops::dot over one row pair, Ops::dot4 of one row
// against four). Everything here has internal linkage: each including file compiles its own
// copy for its own instruction set.
#pragma once

#include "analysis/engine/utl.h"

#include <cmath>

namespace kestrel::engine {
namespace {

// Pivot test: below the tolerance, exactly zero or not a number is singular.
inline bool ldlt_bad_pivot(double d, double tol) {
    return !(std::fabs(d) >= tol) || d == 0.0;
}

// Completes row i once every entry is reduced against the rows above: scales its entries by
// the pivots, L(i, j) = K(i, j) / D(j), and reduces the diagonal. False on a bad pivot.
inline bool ldlt_finish_row(ProfileMatrix& K, int i, double tol) {
    const int fi = K.first[i];
    double* ri = K.row_start(i) - fi; // ri[j] is K(i, j)
    double d = ri[i];
    for (int j = fi; j < i; ++j) {
        const double t = ri[j] / K.at(j, j);
        d -= t * ri[j];
        ri[j] = t;
    }
    if (ldlt_bad_pivot(d, tol)) return false;
    ri[i] = d;
    return true;
}

template <class Ops> int ldlt_factor_rows(ProfileMatrix& K, double tol, double* flops) {
    const int n = K.n;
    const int* first = K.first;
    double count = 0;
    for (int r0 = 0; r0 < n; r0 += 4) {
        const int rows = n - r0 < 4 ? n - r0 : 4;
        double* g[4];
        int f[4], fmin = r0, fmax = 0;
        for (int r = 0; r < rows; ++r) {
            f[r] = first[r0 + r];
            g[r] = K.row_start(r0 + r) - f[r]; // g[r][j] is K(r0 + r, j)
            fmin = f[r] < fmin ? f[r] : fmin;
            fmax = f[r] > fmax ? f[r] : fmax;
        }
        // Finished rows above the block: each is read once for the four rows.
        for (int j = fmin + 1; j < r0; ++j) {
            const int fj = first[j];
            const double* lj = K.row_start(j) - fj; // lj[k] is L(j, k)
            if (rows == 4 && j > fmax) {
                const int kc = fj > fmax ? fj : fmax;
                const double* at[4] = {g[0] + kc, g[1] + kc, g[2] + kc, g[3] + kc};
                double s[4];
                Ops::dot4(lj + kc, at, j - kc, s);
                for (int r = 0; r < 4; ++r) {
                    const int k0 = f[r] > fj ? f[r] : fj;
                    if (k0 < kc) s[r] += Ops::dot(lj + k0, g[r] + k0, kc - k0);
                    g[r][j] -= s[r];
                    count += 2.0 * (j - k0);
                }
            } else {
                for (int r = 0; r < rows; ++r) {
                    if (j <= f[r]) continue;
                    const int k0 = f[r] > fj ? f[r] : fj;
                    g[r][j] -= Ops::dot(lj + k0, g[r] + k0, j - k0);
                    count += 2.0 * (j - k0);
                }
            }
        }
        // The triangle inside the block, row after row.
        for (int r = 0; r < rows; ++r) {
            const int i = r0 + r;
            for (int j = r0 > f[r] + 1 ? r0 : f[r] + 1; j < i; ++j) {
                const int fj = first[j];
                const int k0 = f[r] > fj ? f[r] : fj;
                const double* lj = K.row_start(j) - fj;
                g[r][j] -= Ops::dot(lj + k0, g[r] + k0, j - k0);
                count += 2.0 * (j - k0);
            }
            count += 3.0 * (i - f[r]);
            if (!ldlt_finish_row(K, i, tol)) {
                *flops += count;
                return i;
            }
        }
    }
    *flops += count;
    return -1;
}

template <class Ops> void ldlt_solve_rows(ProfileMatrix& K, double* u) {
    const int n = K.n;
    const int* first = K.first;
    for (int i = 1; i < n; ++i) u[i] -= Ops::dot(K.row_start(i), u + first[i], i - first[i]);
    for (int i = 0; i < n; ++i) u[i] /= K.at(i, i);
    for (int i = n - 1; i >= 1; --i) {
        const double* ri = K.row_start(i) - first[i];
        const double ui = u[i];
        for (int j = first[i]; j < i; ++j) u[j] -= ri[j] * ui;
    }
}

} // namespace
} // namespace kestrel::engine
