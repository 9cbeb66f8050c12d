// The 256-bit kernel of the profile LDLT: the workspace updates and the backward and forward
// substitutions with fused multiply-add over four doubles at a time. This file alone is compiled
// for AVX2 and FMA; ldlt.cpp calls it only on a processor that has both.
#include "analysis/engine/ldlt_kernel.h"

#include <immintrin.h>

namespace kestrel::engine {

namespace {

static_assert(kLdltBlock == 8, "two 256-bit vectors per workspace column");

// Transposes the 4 x 4 block whose rows are r0 to r3.
inline void transpose(__m256d& r0, __m256d& r1, __m256d& r2, __m256d& r3) {
    const __m256d t0 = _mm256_unpacklo_pd(r0, r1), t1 = _mm256_unpackhi_pd(r0, r1);
    const __m256d t2 = _mm256_unpacklo_pd(r2, r3), t3 = _mm256_unpackhi_pd(r2, r3);
    r0 = _mm256_permute2f128_pd(t0, t2, 0x20);
    r1 = _mm256_permute2f128_pd(t1, t3, 0x20);
    r2 = _mm256_permute2f128_pd(t0, t2, 0x31);
    r3 = _mm256_permute2f128_pd(t1, t3, 0x31);
}

struct Avx2Ops {
    // One finished row: two steps at a time into separate sums, which hides the latency of the
    // multiply-add.
    static void update1(const double* l, const double* w, int len, double* acc) {
        __m256d a0 = _mm256_setzero_pd(), a1 = _mm256_setzero_pd();
        __m256d b0 = _mm256_setzero_pd(), b1 = _mm256_setzero_pd();
        int k = 0;
        for (; k + 2 <= len; k += 2, w += 16) {
            const __m256d x = _mm256_broadcast_sd(l + k), y = _mm256_broadcast_sd(l + k + 1);
            a0 = _mm256_fmadd_pd(x, _mm256_loadu_pd(w), a0);
            a1 = _mm256_fmadd_pd(x, _mm256_loadu_pd(w + 4), a1);
            b0 = _mm256_fmadd_pd(y, _mm256_loadu_pd(w + 8), b0);
            b1 = _mm256_fmadd_pd(y, _mm256_loadu_pd(w + 12), b1);
        }
        if (k < len) {
            const __m256d x = _mm256_broadcast_sd(l + k);
            a0 = _mm256_fmadd_pd(x, _mm256_loadu_pd(w), a0);
            a1 = _mm256_fmadd_pd(x, _mm256_loadu_pd(w + 4), a1);
        }
        _mm256_storeu_pd(acc, _mm256_add_pd(a0, b0));
        _mm256_storeu_pd(acc + 4, _mm256_add_pd(a1, b1));
    }

    // Four finished rows: each workspace column loaded once feeds eight multiply-adds into
    // eight independent sums. Before pre, a row that has not started yet contributes zero.
    static void update4(const double* const l[4], const int start[4], int pre, double* w, int len,
                        const double tri[6]) {
        __m256d a0 = _mm256_setzero_pd(), a1 = _mm256_setzero_pd();
        __m256d b0 = _mm256_setzero_pd(), b1 = _mm256_setzero_pd();
        __m256d c0 = _mm256_setzero_pd(), c1 = _mm256_setzero_pd();
        __m256d d0 = _mm256_setzero_pd(), d1 = _mm256_setzero_pd();
        int k = 0;
        for (; k < pre; ++k, w += 8) {
            const __m256d w0 = _mm256_loadu_pd(w), w1 = _mm256_loadu_pd(w + 4);
            __m256d x = _mm256_set1_pd(k >= start[0] ? l[0][k - start[0]] : 0.0);
            a0 = _mm256_fmadd_pd(x, w0, a0);
            a1 = _mm256_fmadd_pd(x, w1, a1);
            x = _mm256_set1_pd(k >= start[1] ? l[1][k - start[1]] : 0.0);
            b0 = _mm256_fmadd_pd(x, w0, b0);
            b1 = _mm256_fmadd_pd(x, w1, b1);
            x = _mm256_set1_pd(k >= start[2] ? l[2][k - start[2]] : 0.0);
            c0 = _mm256_fmadd_pd(x, w0, c0);
            c1 = _mm256_fmadd_pd(x, w1, c1);
            x = _mm256_set1_pd(k >= start[3] ? l[3][k - start[3]] : 0.0);
            d0 = _mm256_fmadd_pd(x, w0, d0);
            d1 = _mm256_fmadd_pd(x, w1, d1);
        }
        const double *l0 = l[0] - start[0], *l1 = l[1] - start[1];
        const double *l2 = l[2] - start[2], *l3 = l[3] - start[3];
        for (; k < len; ++k, w += 8) {
            const __m256d w0 = _mm256_loadu_pd(w), w1 = _mm256_loadu_pd(w + 4);
            __m256d x = _mm256_broadcast_sd(l0 + k);
            a0 = _mm256_fmadd_pd(x, w0, a0);
            a1 = _mm256_fmadd_pd(x, w1, a1);
            x = _mm256_broadcast_sd(l1 + k);
            b0 = _mm256_fmadd_pd(x, w0, b0);
            b1 = _mm256_fmadd_pd(x, w1, b1);
            x = _mm256_broadcast_sd(l2 + k);
            c0 = _mm256_fmadd_pd(x, w0, c0);
            c1 = _mm256_fmadd_pd(x, w1, c1);
            x = _mm256_broadcast_sd(l3 + k);
            d0 = _mm256_fmadd_pd(x, w0, d0);
            d1 = _mm256_fmadd_pd(x, w1, d1);
        }
        // The four columns after the rows' common ones, each with the terms of those above it.
        double* c = w; // w has reached column len
        __m256d x0 = _mm256_sub_pd(_mm256_loadu_pd(c), a0);
        __m256d y0 = _mm256_sub_pd(_mm256_loadu_pd(c + 4), a1);
        _mm256_storeu_pd(c, x0);
        _mm256_storeu_pd(c + 4, y0);
        __m256d t = _mm256_set1_pd(tri[0]);
        __m256d x1 = _mm256_sub_pd(_mm256_loadu_pd(c + 8), _mm256_fmadd_pd(t, x0, b0));
        __m256d y1 = _mm256_sub_pd(_mm256_loadu_pd(c + 12), _mm256_fmadd_pd(t, y0, b1));
        _mm256_storeu_pd(c + 8, x1);
        _mm256_storeu_pd(c + 12, y1);
        t = _mm256_set1_pd(tri[1]);
        c0 = _mm256_fmadd_pd(t, x0, c0);
        c1 = _mm256_fmadd_pd(t, y0, c1);
        t = _mm256_set1_pd(tri[2]);
        c0 = _mm256_fmadd_pd(t, x1, c0);
        c1 = _mm256_fmadd_pd(t, y1, c1);
        const __m256d x2 = _mm256_sub_pd(_mm256_loadu_pd(c + 16), c0);
        const __m256d y2 = _mm256_sub_pd(_mm256_loadu_pd(c + 20), c1);
        _mm256_storeu_pd(c + 16, x2);
        _mm256_storeu_pd(c + 20, y2);
        t = _mm256_set1_pd(tri[3]);
        d0 = _mm256_fmadd_pd(t, x0, d0);
        d1 = _mm256_fmadd_pd(t, y0, d1);
        t = _mm256_set1_pd(tri[4]);
        d0 = _mm256_fmadd_pd(t, x1, d0);
        d1 = _mm256_fmadd_pd(t, y1, d1);
        t = _mm256_set1_pd(tri[5]);
        d0 = _mm256_fmadd_pd(t, x2, d0);
        d1 = _mm256_fmadd_pd(t, y2, d1);
        _mm256_storeu_pd(c + 24, _mm256_sub_pd(_mm256_loadu_pd(c + 24), d0));
        _mm256_storeu_pd(c + 28, _mm256_sub_pd(_mm256_loadu_pd(c + 28), d1));
    }

    // Two columns at a time into separate sums: the multiply-adds of one column do not wait
    // for those of the column before.
    static void scale(const double* w, const double* inverse, const double* u, int len, double* out,
                      double dsum[kLdltBlock], double vsum[kLdltBlock]) {
        __m256d d[4], v[4];
        for (int h = 0; h < 4; ++h) d[h] = v[h] = _mm256_setzero_pd();
        auto step = [&](int at, int h) {
            const __m256d inv = _mm256_broadcast_sd(inverse + at);
            const __m256d uk = _mm256_broadcast_sd(u + at);
            const double* wk = w + static_cast<std::ptrdiff_t>(at) * kLdltBlock;
            double* ok = out + static_cast<std::ptrdiff_t>(at) * kLdltBlock;
            const __m256d w0 = _mm256_loadu_pd(wk), w1 = _mm256_loadu_pd(wk + 4);
            const __m256d l0 = _mm256_mul_pd(w0, inv), l1 = _mm256_mul_pd(w1, inv);
            _mm256_storeu_pd(ok, l0);
            _mm256_storeu_pd(ok + 4, l1);
            d[h] = _mm256_fmadd_pd(l0, w0, d[h]);
            d[h + 1] = _mm256_fmadd_pd(l1, w1, d[h + 1]);
            v[h] = _mm256_fmadd_pd(w0, uk, v[h]);
            v[h + 1] = _mm256_fmadd_pd(w1, uk, v[h + 1]);
        };
        int k = 0;
        for (; k + 2 <= len; k += 2) {
            step(k, 0);
            step(k + 1, 2);
        }
        if (k < len) step(k, 0);
        _mm256_storeu_pd(dsum, _mm256_add_pd(d[0], d[2]));
        _mm256_storeu_pd(dsum + 4, _mm256_add_pd(d[1], d[3]));
        _mm256_storeu_pd(vsum, _mm256_add_pd(v[0], v[2]));
        _mm256_storeu_pd(vsum + 4, _mm256_add_pd(v[1], v[3]));
    }

    // Rows to lanes, four columns of four rows at a time through a 4 x 4 transposition.
    static void pack(const double* const src[kLdltBlock], int len, double* w) {
        int k = 0;
        for (; k + 4 <= len; k += 4)
            for (int h = 0; h < 2; ++h) {
                __m256d r0 = _mm256_loadu_pd(src[4 * h] + k),
                        r1 = _mm256_loadu_pd(src[4 * h + 1] + k);
                __m256d r2 = _mm256_loadu_pd(src[4 * h + 2] + k),
                        r3 = _mm256_loadu_pd(src[4 * h + 3] + k);
                transpose(r0, r1, r2, r3);
                double* o = w + k * kLdltBlock + 4 * h;
                _mm256_storeu_pd(o, r0);
                _mm256_storeu_pd(o + kLdltBlock, r1);
                _mm256_storeu_pd(o + 2 * kLdltBlock, r2);
                _mm256_storeu_pd(o + 3 * kLdltBlock, r3);
            }
        for (; k < len; ++k)
            for (int s = 0; s < kLdltBlock; ++s) w[k * kLdltBlock + s] = src[s][k];
    }

    static void unpack(const double* w, int len, double* const dst[kLdltBlock]) {
        int k = 0;
        for (; k + 4 <= len; k += 4)
            for (int h = 0; h < 2; ++h) {
                const double* i = w + k * kLdltBlock + 4 * h;
                __m256d r0 = _mm256_loadu_pd(i), r1 = _mm256_loadu_pd(i + kLdltBlock);
                __m256d r2 = _mm256_loadu_pd(i + 2 * kLdltBlock),
                        r3 = _mm256_loadu_pd(i + 3 * kLdltBlock);
                transpose(r0, r1, r2, r3);
                _mm256_storeu_pd(dst[4 * h] + k, r0);
                _mm256_storeu_pd(dst[4 * h + 1] + k, r1);
                _mm256_storeu_pd(dst[4 * h + 2] + k, r2);
                _mm256_storeu_pd(dst[4 * h + 3] + k, r3);
            }
        for (; k < len; ++k)
            for (int s = 0; s < kLdltBlock; ++s) dst[s][k] = w[k * kLdltBlock + s];
    }

    static void axpy(double a, const double* x, double* y, int len) {
        const __m256d va = _mm256_set1_pd(a);
        int k = 0;
        for (; k + 4 <= len; k += 4)
            _mm256_storeu_pd(y + k,
                             _mm256_fmadd_pd(va, _mm256_loadu_pd(x + k), _mm256_loadu_pd(y + k)));
        for (; k < len; ++k) y[k] = std::fma(a, x[k], y[k]);
    }

    // The row's entries times the eight finished values, two rows of the strip at a time.
    static void lanes_axpy(const double* l, const double* x, double* w, int len) {
        const __m256d x0 = _mm256_loadu_pd(x), x1 = _mm256_loadu_pd(x + 4);
        int k = 0;
        for (; k + 2 <= len; k += 2, w += 16) {
            const __m256d a = _mm256_broadcast_sd(l + k), b = _mm256_broadcast_sd(l + k + 1);
            _mm256_storeu_pd(w, _mm256_fnmadd_pd(a, x0, _mm256_loadu_pd(w)));
            _mm256_storeu_pd(w + 4, _mm256_fnmadd_pd(a, x1, _mm256_loadu_pd(w + 4)));
            _mm256_storeu_pd(w + 8, _mm256_fnmadd_pd(b, x0, _mm256_loadu_pd(w + 8)));
            _mm256_storeu_pd(w + 12, _mm256_fnmadd_pd(b, x1, _mm256_loadu_pd(w + 12)));
        }
        if (k < len) {
            const __m256d a = _mm256_broadcast_sd(l + k);
            _mm256_storeu_pd(w, _mm256_fnmadd_pd(a, x0, _mm256_loadu_pd(w)));
            _mm256_storeu_pd(w + 4, _mm256_fnmadd_pd(a, x1, _mm256_loadu_pd(w + 4)));
        }
    }

    // Two rows over the same columns: each workspace column loaded once feeds both.
    static void update2(const double* l1, const double* l2, const double* w, int len, double* acc1,
                        double* acc2) {
        __m256d a0 = _mm256_setzero_pd(), a1 = _mm256_setzero_pd();
        __m256d b0 = _mm256_setzero_pd(), b1 = _mm256_setzero_pd();
        for (int k = 0; k < len; ++k, w += 8) {
            const __m256d w0 = _mm256_loadu_pd(w), w1 = _mm256_loadu_pd(w + 4);
            const __m256d x = _mm256_broadcast_sd(l1 + k), y = _mm256_broadcast_sd(l2 + k);
            a0 = _mm256_fmadd_pd(x, w0, a0);
            a1 = _mm256_fmadd_pd(x, w1, a1);
            b0 = _mm256_fmadd_pd(y, w0, b0);
            b1 = _mm256_fmadd_pd(y, w1, b1);
        }
        _mm256_storeu_pd(acc1, a0);
        _mm256_storeu_pd(acc1 + 4, a1);
        _mm256_storeu_pd(acc2, b0);
        _mm256_storeu_pd(acc2 + 4, b1);
    }

    // Two rows over the same columns: each entry loaded and stored once for both.
    static void lanes_axpy2(const double* l1, const double* x1, const double* l2, const double* x2,
                            double* w, int len) {
        const __m256d p0 = _mm256_loadu_pd(x1), p1 = _mm256_loadu_pd(x1 + 4);
        const __m256d q0 = _mm256_loadu_pd(x2), q1 = _mm256_loadu_pd(x2 + 4);
        for (int k = 0; k < len; ++k, w += 8) {
            const __m256d a = _mm256_broadcast_sd(l1 + k), b = _mm256_broadcast_sd(l2 + k);
            const __m256d w0 = _mm256_fnmadd_pd(a, p0, _mm256_loadu_pd(w));
            const __m256d w1 = _mm256_fnmadd_pd(a, p1, _mm256_loadu_pd(w + 4));
            _mm256_storeu_pd(w, _mm256_fnmadd_pd(b, q0, w0));
            _mm256_storeu_pd(w + 4, _mm256_fnmadd_pd(b, q1, w1));
        }
    }

    static void lanes_product(const double* m, int rows, int cols, const double* x, double* out) {
        for (int r = 0; r < rows; ++r, m += cols, out += 8) {
            __m256d a0 = _mm256_setzero_pd(), a1 = _mm256_setzero_pd();
            for (int c = 0; c < cols; ++c) {
                const __m256d v = _mm256_broadcast_sd(m + c);
                a0 = _mm256_fmadd_pd(v, _mm256_loadu_pd(x + 8 * c), a0);
                a1 = _mm256_fmadd_pd(v, _mm256_loadu_pd(x + 8 * c + 4), a1);
            }
            _mm256_storeu_pd(out, a0);
            _mm256_storeu_pd(out + 4, a1);
        }
    }

    // Two vectors of partial sums hide the latency of the multiply-add.
    static double dot(const double* x, const double* y, int len) {
        __m256d a = _mm256_setzero_pd(), b = _mm256_setzero_pd();
        int k = 0;
        for (; k + 8 <= len; k += 8) {
            a = _mm256_fmadd_pd(_mm256_loadu_pd(x + k), _mm256_loadu_pd(y + k), a);
            b = _mm256_fmadd_pd(_mm256_loadu_pd(x + k + 4), _mm256_loadu_pd(y + k + 4), b);
        }
        if (k + 4 <= len) {
            a = _mm256_fmadd_pd(_mm256_loadu_pd(x + k), _mm256_loadu_pd(y + k), a);
            k += 4;
        }
        double s[4];
        _mm256_storeu_pd(s, _mm256_add_pd(a, b));
        double sum = (s[0] + s[1]) + (s[2] + s[3]);
        for (; k < len; ++k) sum = std::fma(x[k], y[k], sum);
        return sum;
    }
};

} // namespace

int ldlt_factor_avx2(ProfileMatrix& K, double tol, double* u, double* inverse, double* w,
                     double* flops) {
    return ldlt_factor_blocks<Avx2Ops>(K, tol, u, inverse, w, flops);
}

void ldlt_solve_avx2(ProfileMatrix& K, double* u) {
    ldlt_solve_rows<Avx2Ops>(K, u);
}

void ldlt_forward_avx2(ProfileMatrix& K, double* u) {
    ldlt_forward_rows<Avx2Ops>(K, u);
}

void ldlt_solve_lanes_avx2(ProfileMatrix& K, double* b) {
    ldlt_solve_lanes_rows<Avx2Ops>(K, b);
}

void ldlt_lanes_product_avx2(const double* m, int rows, int cols, const double* x, double* out) {
    Avx2Ops::lanes_product(m, rows, cols, x, out);
}

} // namespace kestrel::engine
