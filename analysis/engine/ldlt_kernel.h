// Body of the profile LDLT factorisation, included by the baseline and the 256-bit kernels,
// each of which supplies its dot products (Ops::dot over one row pair, Ops::dot4 of one row
// against four, Ops::dot4x2 of two rows against four). Everything here has internal linkage: each
// including file compiles its own copy for its own instruction set.
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
// the pivots, L(i, j) = K(i, j) / D(j) (as a product with the pivot's reciprocal, kept in
// inverse[j]), and reduces the diagonal by four partial sums. False on a bad pivot.
inline bool ldlt_finish_row(ProfileMatrix& K, int i, double tol, double* inverse) {
    const int fi = K.first[i];
    double* ri = K.row_start(i) - fi; // ri[j] is K(i, j)
    double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    int j = fi;
    for (; j + 4 <= i; j += 4) {
        const double t0 = ri[j] * inverse[j], t1 = ri[j + 1] * inverse[j + 1];
        const double t2 = ri[j + 2] * inverse[j + 2], t3 = ri[j + 3] * inverse[j + 3];
        s0 += t0 * ri[j];
        s1 += t1 * ri[j + 1];
        s2 += t2 * ri[j + 2];
        s3 += t3 * ri[j + 3];
        ri[j] = t0;
        ri[j + 1] = t1;
        ri[j + 2] = t2;
        ri[j + 3] = t3;
    }
    for (; j < i; ++j) {
        const double t = ri[j] * inverse[j];
        s0 += t * ri[j];
        ri[j] = t;
    }
    const double d = ri[i] - ((s0 + s1) + (s2 + s3));
    if (ldlt_bad_pivot(d, tol)) return false;
    ri[i] = d;
    inverse[i] = 1.0 / d;
    return true;
}

template <class Ops>
int ldlt_factor_rows(ProfileMatrix& K, double tol, double* inverse, double* flops) {
    const int n = K.n;
    const int* first = K.first;
    long long count = 0; // an integer: a chain of additions that costs nothing
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
        // Finished rows above the block: each is read once for the four rows, and two of them
        // at a time where they allow it.
        for (int j = fmin + 1; j < r0;) {
            const int fj = first[j];
            const double* lj = K.row_start(j) - fj; // lj[k] is L(j, k)
            if (rows == 4 && j > fmax && j + 1 < r0 && first[j + 1] <= j) {
                const int fj2 = first[j + 1];
                const double* lj2 = K.row_start(j + 1) - fj2;
                const int kc1 = fj > fmax ? fj : fmax, kc2 = fj2 > fmax ? fj2 : fmax;
                const int kk = kc1 > kc2 ? kc1 : kc2;
                const double* at[4] = {g[0] + kk, g[1] + kk, g[2] + kk, g[3] + kk};
                double s1[4], s2[4];
                Ops::dot4x2(lj + kk, lj2 + kk, at, j - kk, s1, s2);
                for (int r = 0; r < 4; ++r) {
                    const int k1 = f[r] > fj ? f[r] : fj, k2 = f[r] > fj2 ? f[r] : fj2;
                    if (k1 < kk) s1[r] += Ops::dot(lj + k1, g[r] + k1, kk - k1);
                    g[r][j] -= s1[r];
                    if (k2 < kk) s2[r] += Ops::dot(lj2 + k2, g[r] + k2, kk - k2);
                    s2[r] += lj2[j] * g[r][j]; // column j, reduced just above
                    g[r][j + 1] -= s2[r];
                    count += 2 * (j - k1) + 2 * (j + 1 - k2);
                }
                j += 2;
                continue;
            }
            if (rows == 4 && j > fmax) {
                const int kc = fj > fmax ? fj : fmax;
                const double* at[4] = {g[0] + kc, g[1] + kc, g[2] + kc, g[3] + kc};
                double s[4];
                Ops::dot4(lj + kc, at, j - kc, s);
                for (int r = 0; r < 4; ++r) {
                    const int k0 = f[r] > fj ? f[r] : fj;
                    if (k0 < kc) s[r] += Ops::dot(lj + k0, g[r] + k0, kc - k0);
                    g[r][j] -= s[r];
                    count += 2 * (j - k0);
                }
            } else {
                for (int r = 0; r < rows; ++r) {
                    if (j <= f[r]) continue;
                    const int k0 = f[r] > fj ? f[r] : fj;
                    g[r][j] -= Ops::dot(lj + k0, g[r] + k0, j - k0);
                    count += 2 * (j - k0);
                }
            }
            ++j;
        }
        // The triangle inside the block, row after row.
        for (int r = 0; r < rows; ++r) {
            const int i = r0 + r;
            for (int j = r0 > f[r] + 1 ? r0 : f[r] + 1; j < i; ++j) {
                const int fj = first[j];
                const int k0 = f[r] > fj ? f[r] : fj;
                const double* lj = K.row_start(j) - fj;
                g[r][j] -= Ops::dot(lj + k0, g[r] + k0, j - k0);
                count += 2 * (j - k0);
            }
            count += 3 * (i - f[r]);
            if (!ldlt_finish_row(K, i, tol, inverse)) {
                *flops += static_cast<double>(count);
                return i;
            }
        }
    }
    *flops += static_cast<double>(count);
    return -1;
}

template <class Ops> void ldlt_solve_rows(ProfileMatrix& K, double* u) {
    const int n = K.n;
    const int* first = K.first;
    for (int i = 1; i < n; ++i) u[i] -= Ops::dot(K.row_start(i), u + first[i], i - first[i]);
    for (int i = 0; i < n; ++i) u[i] /= K.at(i, i);
    for (int i = n - 1; i >= 1; --i) Ops::axpy(-u[i], K.row_start(i), u + first[i], i - first[i]);
}

} // namespace
} // namespace kestrel::engine
