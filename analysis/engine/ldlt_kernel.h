// Body of the profile LDLT factorisation and solution, included by the baseline and the 256-bit
// kernels, each of which supplies its inner loops (see below). Everything here has internal
// linkage: each including file compiles its own copy for its own instruction set.
//
// The factorisation goes through the rows in blocks of kLdltBlock. A block is copied into a
// workspace that holds, for every column k of the block's rows, the kLdltBlock entries K(r, k)
// side by side (zero where a row does not reach column k). Reducing the block against a
// finished row j is then
//     W[j][.] -= sum over k of L(j, k) * W[k][.],
// one scalar of the finished row times a short vector of the workspace per step: a dense
// register-blocked update with no horizontal sums, over the columns that the finished row and
// the block's rows have in common. Four finished rows are taken at a time, and the terms
// between those four are added one after the other. Each row of the block is finished (scaled
// by the pivots, its diagonal reduced and tested) when the columns before it are done, and then
// serves the rows after it in the block.
//
// Ops supplies:
//   update1(l, w, len, acc): acc[s] = sum of l[k] * w[k * kLdltBlock + s], k < len;
//   update4(l, start, pre, w, len, tri): reduces the four workspace columns after the len
//     columns at w by four finished rows: row q from k = start[q] on (l[q][0] is its entry at
//     start[q]; every start[q] is below pre), then the terms among the four, whose entries
//     below their diagonal are tri (row by row);
//   scale(w, inverse, u, len, out, dsum, vsum): for k < len, out[k][s] = w[k][s] inverse[k]
//     (the rows' L), with dsum[s] and vsum[s] the sums of out[k][s] w[k][s] and w[k][s] u[k];
//   pack(src, len, w): w[k * kLdltBlock + s] = src[s][k], k < len, for all the lanes;
//   unpack(w, len, dst): dst[s][k] = w[k * kLdltBlock + s];
//   axpy(a, x, y, len): y += a x, for the backward substitution;
//   dot(x, y, len): the sum of x[k] y[k], for the forward substitution of a further case;
//   lanes_axpy(l, x, w, len): w[k * kLdltBlock + s] -= l[k] x[s], k < len, for the backward
//     substitution of kLdltBlock right-hand sides at once;
//   update2(l1, l2, w, len, acc1, acc2): update1 for two rows over the same columns;
//   lanes_axpy2(l1, x1, l2, x2, w, len): lanes_axpy for two rows over the same columns;
//   lanes_product(m, rows, cols, x, out): out[r * kLdltBlock + s] = the sum over c < cols of
//     m[r * cols + c] x[c * kLdltBlock + s], r < rows.
#pragma once

#include "analysis/engine/utl.h"

#include <algorithm>
#include <cmath>

namespace kestrel::engine {
namespace {

constexpr int kLdltBlock = 8;

// Pivot test: below the tolerance, exactly zero or not a number is singular.
inline bool ldlt_bad_pivot(double d, double tol) {
    return !(std::fabs(d) >= tol) || d == 0.0;
}

// Completes row i of lane t in the workspace column by column from column `from` on (the
// columns before it are already scaled, their sums given in dsum and vsum): stores
// L(i, j) = K(i, j) / D(j) (as a product with the pivot's reciprocal, kept in inverse[j]) and
// the reduced diagonal, and carries the forward substitution with the diagonal: u holds
// z = D^-1 L^-1 b for the rows done, so the row's reduced entries K(i, j) = L(i, j) D(j) give
// z(i) = (b(i) - sum of K(i, j) z(j)) / D(i). col(j) is the workspace column of j. False on a
// bad pivot.
template <class Column>
bool ldlt_finish_row(ProfileMatrix& K, int i, int from, int t, Column col, double dsum, double vsum,
                     double tol, double* inverse, double* u) {
    double* ri = K.row_start(i) - K.first[i]; // ri[j] is K(i, j)
    double s = dsum, v = vsum;
    for (int j = from; j < i; ++j) {
        const double a = col(j)[t], l = a * inverse[j];
        s += l * a;
        v += a * u[j];
        ri[j] = l;
    }
    const double d = col(i)[t] - s;
    if (ldlt_bad_pivot(d, tol)) return false;
    ri[i] = d;
    inverse[i] = 1.0 / d;
    u[i] = (u[i] - v) / d;
    return true;
}

// Operations that row i costs in a profile LDLT (the zeros that the workspace adds are not
// counted): the reduction of K(i, j) against row j over their common columns, then the scaling
// and the diagonal.
inline long long ldlt_row_operations(const int* first, int i) {
    const int fi = first[i];
    long long count = 3LL * (i - fi);
    for (int j = fi + 1; j < i; ++j) count += 2 * (j - std::max(fi, first[j]));
    return count;
}

// Workspace doubles that ldlt_factor_blocks needs for K: twice kLdltBlock per column of the
// widest block.
inline std::size_t ldlt_workspace_size(const ProfileMatrix& K) {
    std::size_t widest = 0;
    for (int r0 = 0; r0 < K.n; r0 += kLdltBlock) {
        const int end = std::min(r0 + kLdltBlock, K.n);
        int fmin = r0;
        for (int r = r0; r < end; ++r) fmin = std::min(fmin, K.first[r]);
        widest = std::max(widest, static_cast<std::size_t>(end - fmin));
    }
    return 2 * widest * kLdltBlock;
}

// Factorises K with the workspace w of ldlt_workspace_size(K) doubles and inverse of K.n;
// see ldlt_factor.
template <class Ops>
int ldlt_factor_blocks(ProfileMatrix& K, double tol, double* u, double* inverse, double* w,
                       double* flops) {
    constexpr int B = kLdltBlock;
    const int n = K.n;
    const int* first = K.first;
    double* scaled = w + ldlt_workspace_size(K) / 2; // L of the block's rows, same layout as w
    long long count = 0;
    for (int r0 = 0; r0 < n; r0 += B) {
        const int end = std::min(r0 + B, n), rows = end - r0;
        int f[B], fmin = r0, fmax = 0;
        for (int t = 0; t < B; ++t) {
            f[t] = t < rows ? first[r0 + t] : end; // a missing last row stays zero
            fmin = std::min(fmin, f[t]);
            fmax = std::max(fmax, f[t]);
        }
        // Columns [lo, r0) belong to every row of a full block and move as whole 8 x 4 tiles.
        const int lo = rows == B ? std::min(fmax, r0) : r0;
        auto column = [&](int k) { return w + static_cast<std::ptrdiff_t>(k - fmin) * B; };
        auto scaled_column = [&](int k) {
            return scaled + static_cast<std::ptrdiff_t>(k - fmin) * B;
        };
        auto lrow = [&](int j, int k) { return K.row_start(j) + (k - first[j]); }; // &L(j, k)
        std::fill(column(fmin), column(lo), 0.0);
        std::fill(column(r0), column(end), 0.0);
        if (lo < r0) {
            const double* src[B];
            for (int t = 0; t < B; ++t) src[t] = lrow(r0 + t, lo);
            Ops::pack(src, r0 - lo, column(lo));
        }
        for (int t = 0; t < rows; ++t) {
            for (int k = f[t]; k < lo; ++k) column(k)[t] = *lrow(r0 + t, k);
            for (int k = std::max(f[t], r0); k <= r0 + t; ++k) column(k)[t] = *lrow(r0 + t, k);
        }
        // One finished row j over its columns from ks on.
        auto single = [&](int j) {
            const int ks = std::max(first[j], fmin);
            double acc[B];
            Ops::update1(lrow(j, ks), column(ks), j - ks, acc);
            double* wj = column(j);
            for (int s = 0; s < B; ++s) wj[s] -= acc[s];
        };
        // The finished rows above the block, four at a time where they share columns; a row
        // that starts later than the others of its four counts as zero before its start.
        int j = fmin;
        while (j < r0) {
            int ks[4], kmin = j, kmax = 0;
            if (j + 4 <= r0) {
                for (int q = 0; q < 4; ++q) {
                    ks[q] = std::max(first[j + q], fmin);
                    kmin = std::min(kmin, ks[q]);
                    kmax = std::max(kmax, ks[q]);
                }
            }
            if (j + 4 > r0 || kmax > j) {
                single(j);
                ++j;
                continue;
            }
            const double* l[4];
            int start[4];
            for (int q = 0; q < 4; ++q) {
                l[q] = lrow(j + q, ks[q]);
                start[q] = ks[q] - kmin;
            }
            const double tri[6] = {*lrow(j + 1, j), *lrow(j + 2, j),     *lrow(j + 2, j + 1),
                                   *lrow(j + 3, j), *lrow(j + 3, j + 1), *lrow(j + 3, j + 2)};
            Ops::update4(l, start, kmax - kmin, column(kmin), j - kmin, tri);
            j += 4;
        }
        // The columns before the block are final: scale them for all rows at once, with the
        // diagonal's and the forward substitution's sums, and store them into the rows.
        double dsum[B], vsum[B];
        Ops::scale(column(fmin), inverse + fmin, u + fmin, r0 - fmin, scaled_column(fmin), dsum,
                   vsum);
        if (lo < r0) {
            double* dst[B];
            for (int t = 0; t < B; ++t) dst[t] = K.row_start(r0 + t) + (lo - f[t]);
            Ops::unpack(scaled_column(lo), r0 - lo, dst);
        }
        for (int t = 0; t < rows; ++t)
            for (int k = f[t]; k < lo; ++k) K.row_start(r0 + t)[k - f[t]] = scaled_column(k)[t];
        // The triangle of the block: each row is finished, then reduces the rows after it.
        for (int t = 0; t < rows; ++t) {
            const int i = r0 + t;
            count += ldlt_row_operations(first, i);
            if (!ldlt_finish_row(K, i, std::max(r0, f[t]), t, column, dsum[t], vsum[t], tol,
                                 inverse, u)) {
                *flops += static_cast<double>(count);
                return i;
            }
            if (t + 1 < rows) single(i);
        }
    }
    *flops += static_cast<double>(count);
    return -1;
}

// The rest of the solution after the factorisation's forward substitution (u = D^-1 L^-1 b):
// the backward substitution with L^T.
template <class Ops> void ldlt_solve_rows(ProfileMatrix& K, double* u) {
    const int n = K.n;
    const int* first = K.first;
    for (int i = n - 1; i >= 1; --i) Ops::axpy(-u[i], K.row_start(i), u + first[i], i - first[i]);
}

// The forward substitution of a further right-hand side with the finished factor: u = b
// becomes L^-1 b row by row (a dot product of the row of L with the finished part), then is
// divided by D.
template <class Ops> void ldlt_forward_rows(ProfileMatrix& K, double* u) {
    const int n = K.n;
    const int* first = K.first;
    for (int i = 1; i < n; ++i) u[i] -= Ops::dot(K.row_start(i), u + first[i], i - first[i]);
    for (int i = 0; i < n; ++i) u[i] /= K.at(i, i);
}

// The solution of kLdltBlock right-hand sides held side by side (entry i of the s-th at
// b[i * kLdltBlock + s]) with a finished factor: the forward substitution with L row by row as
// the factorisation's update of a workspace column, the division by D, and the backward
// substitution with L^T as one row of L times the finished entries into the rows above. Both
// substitutions take two rows at a time over the columns they share, so that each entry of b
// there is loaded (and stored) once for the two.
template <class Ops> void ldlt_solve_lanes_rows(ProfileMatrix& K, double* b) {
    constexpr int B = kLdltBlock;
    const int n = K.n;
    const int* first = K.first;
    auto at = [&](int i) { return b + static_cast<std::ptrdiff_t>(i) * B; };
    auto lrow = [&](int i, int k) { return K.row_start(i) + (k - first[i]); }; // &L(i, k)
    // Forward: row i, then row i + 1, which also needs the finished entry i.
    for (int i = 1; i < n;) {
        double acc[B], next[B];
        if (i + 1 < n && first[i + 1] <= i) {
            const int lo = std::max(first[i], first[i + 1]);
            Ops::update2(lrow(i, lo), lrow(i + 1, lo), at(lo), i - lo, acc, next);
            double extra[B];
            if (first[i] < lo) {
                Ops::update1(lrow(i, first[i]), at(first[i]), lo - first[i], extra);
                for (int s = 0; s < B; ++s) acc[s] += extra[s];
            }
            if (first[i + 1] < lo) {
                Ops::update1(lrow(i + 1, first[i + 1]), at(first[i + 1]), lo - first[i + 1], extra);
                for (int s = 0; s < B; ++s) next[s] += extra[s];
            }
            double *bi = at(i), *bn = at(i + 1);
            const double l = *lrow(i + 1, i);
            for (int s = 0; s < B; ++s) {
                bi[s] -= acc[s];
                bn[s] -= next[s] + l * bi[s];
            }
            i += 2;
            continue;
        }
        if (i - first[i] > 0) {
            Ops::update1(lrow(i, first[i]), at(first[i]), i - first[i], acc);
            double* bi = at(i);
            for (int s = 0; s < B; ++s) bi[s] -= acc[s];
        }
        ++i;
    }
    for (int i = 0; i < n; ++i) {
        const double d = K.at(i, i);
        double* bi = at(i);
        for (int s = 0; s < B; ++s) bi[s] /= d;
    }
    // Backward: row i finishes entry i - 1 first, then both go into the rows above.
    for (int i = n - 1; i >= 1;) {
        if (i >= 2 && first[i] <= i - 1) {
            const int j = i - 1, lo = std::max(first[i], first[j]);
            double *xi = at(i), *xj = at(j);
            const double l = *lrow(i, j);
            for (int s = 0; s < B; ++s) xj[s] -= l * xi[s];
            if (first[i] < lo) Ops::lanes_axpy(lrow(i, first[i]), xi, at(first[i]), lo - first[i]);
            if (first[j] < lo) Ops::lanes_axpy(lrow(j, first[j]), xj, at(first[j]), lo - first[j]);
            Ops::lanes_axpy2(lrow(i, lo), xi, lrow(j, lo), xj, at(lo), j - lo);
            i -= 2;
            continue;
        }
        Ops::lanes_axpy(K.row_start(i), at(i), at(first[i]), i - first[i]);
        --i;
    }
}

} // namespace
} // namespace kestrel::engine
