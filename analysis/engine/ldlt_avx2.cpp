// The 256-bit kernel of the profile LDLT: dot products with fused multiply-add over four
// doubles at a time. This file alone is compiled for AVX2 and FMA; ldlt.cpp calls it only on
// a processor that has both.
#include "analysis/engine/ldlt_kernel.h"

#include <immintrin.h>

namespace kestrel::engine {

namespace {

inline double hsum(__m256d v) {
    const __m128d lo = _mm256_castpd256_pd128(v), hi = _mm256_extractf128_pd(v, 1);
    const __m128d s = _mm_add_pd(lo, hi);
    return _mm_cvtsd_f64(_mm_add_sd(s, _mm_unpackhi_pd(s, s)));
}

// The four sums side by side: out[r] = sum of the lanes of s_r.
inline void store4(__m256d s0, __m256d s1, __m256d s2, __m256d s3, double out[4]) {
    const __m256d h01 = _mm256_hadd_pd(s0, s1), h23 = _mm256_hadd_pd(s2, s3);
    _mm256_storeu_pd(out, _mm256_add_pd(_mm256_permute2f128_pd(h01, h23, 0x20),
                                        _mm256_permute2f128_pd(h01, h23, 0x31)));
}

struct Avx2Ops {
    static void axpy(double a, const double* x, double* y, int len) {
        const __m256d va = _mm256_set1_pd(a);
        int k = 0;
        for (; k + 4 <= len; k += 4)
            _mm256_storeu_pd(y + k,
                             _mm256_fmadd_pd(va, _mm256_loadu_pd(x + k), _mm256_loadu_pd(y + k)));
        for (; k < len; ++k) y[k] = std::fma(a, x[k], y[k]);
    }

    static double dot(const double* a, const double* b, int len) {
        __m256d s0 = _mm256_setzero_pd(), s1 = _mm256_setzero_pd();
        int k = 0;
        for (; k + 8 <= len; k += 8) {
            s0 = _mm256_fmadd_pd(_mm256_loadu_pd(a + k), _mm256_loadu_pd(b + k), s0);
            s1 = _mm256_fmadd_pd(_mm256_loadu_pd(a + k + 4), _mm256_loadu_pd(b + k + 4), s1);
        }
        if (k + 4 <= len) {
            s0 = _mm256_fmadd_pd(_mm256_loadu_pd(a + k), _mm256_loadu_pd(b + k), s0);
            k += 4;
        }
        double s = hsum(_mm256_add_pd(s0, s1));
        for (; k < len; ++k) s = std::fma(a[k], b[k], s);
        return s;
    }

    static void dot4(const double* l, const double* const g[4], int len, double out[4]) {
        // Two partial sums per row: eight independent chains hide the latency of the
        // multiply-add.
        __m256d s0 = _mm256_setzero_pd(), s1 = _mm256_setzero_pd();
        __m256d s2 = _mm256_setzero_pd(), s3 = _mm256_setzero_pd();
        __m256d t0 = _mm256_setzero_pd(), t1 = _mm256_setzero_pd();
        __m256d t2 = _mm256_setzero_pd(), t3 = _mm256_setzero_pd();
        int k = 0;
        for (; k + 8 <= len; k += 8) {
            const __m256d x = _mm256_loadu_pd(l + k), y = _mm256_loadu_pd(l + k + 4);
            s0 = _mm256_fmadd_pd(x, _mm256_loadu_pd(g[0] + k), s0);
            s1 = _mm256_fmadd_pd(x, _mm256_loadu_pd(g[1] + k), s1);
            s2 = _mm256_fmadd_pd(x, _mm256_loadu_pd(g[2] + k), s2);
            s3 = _mm256_fmadd_pd(x, _mm256_loadu_pd(g[3] + k), s3);
            t0 = _mm256_fmadd_pd(y, _mm256_loadu_pd(g[0] + k + 4), t0);
            t1 = _mm256_fmadd_pd(y, _mm256_loadu_pd(g[1] + k + 4), t1);
            t2 = _mm256_fmadd_pd(y, _mm256_loadu_pd(g[2] + k + 4), t2);
            t3 = _mm256_fmadd_pd(y, _mm256_loadu_pd(g[3] + k + 4), t3);
        }
        if (k + 4 <= len) {
            const __m256d x = _mm256_loadu_pd(l + k);
            s0 = _mm256_fmadd_pd(x, _mm256_loadu_pd(g[0] + k), s0);
            s1 = _mm256_fmadd_pd(x, _mm256_loadu_pd(g[1] + k), s1);
            s2 = _mm256_fmadd_pd(x, _mm256_loadu_pd(g[2] + k), s2);
            s3 = _mm256_fmadd_pd(x, _mm256_loadu_pd(g[3] + k), s3);
            k += 4;
        }
        s0 = _mm256_add_pd(s0, t0);
        s1 = _mm256_add_pd(s1, t1);
        s2 = _mm256_add_pd(s2, t2);
        s3 = _mm256_add_pd(s3, t3);
        store4(s0, s1, s2, s3, out);
        for (; k < len; ++k)
            for (int r = 0; r < 4; ++r) out[r] = std::fma(l[k], g[r][k], out[r]);
    }

    // Two finished rows against four: each load of a row entry feeds two multiply-adds.
    static void dot4x2(const double* l1, const double* l2, const double* const g[4], int len,
                       double out1[4], double out2[4]) {
        __m256d a0 = _mm256_setzero_pd(), a1 = _mm256_setzero_pd();
        __m256d a2 = _mm256_setzero_pd(), a3 = _mm256_setzero_pd();
        __m256d b0 = _mm256_setzero_pd(), b1 = _mm256_setzero_pd();
        __m256d b2 = _mm256_setzero_pd(), b3 = _mm256_setzero_pd();
        int k = 0;
        for (; k + 4 <= len; k += 4) {
            const __m256d x = _mm256_loadu_pd(l1 + k), y = _mm256_loadu_pd(l2 + k);
            const __m256d g0 = _mm256_loadu_pd(g[0] + k), g1 = _mm256_loadu_pd(g[1] + k);
            a0 = _mm256_fmadd_pd(x, g0, a0);
            b0 = _mm256_fmadd_pd(y, g0, b0);
            a1 = _mm256_fmadd_pd(x, g1, a1);
            b1 = _mm256_fmadd_pd(y, g1, b1);
            const __m256d g2 = _mm256_loadu_pd(g[2] + k), g3 = _mm256_loadu_pd(g[3] + k);
            a2 = _mm256_fmadd_pd(x, g2, a2);
            b2 = _mm256_fmadd_pd(y, g2, b2);
            a3 = _mm256_fmadd_pd(x, g3, a3);
            b3 = _mm256_fmadd_pd(y, g3, b3);
        }
        store4(a0, a1, a2, a3, out1);
        store4(b0, b1, b2, b3, out2);
        for (; k < len; ++k)
            for (int r = 0; r < 4; ++r) {
                out1[r] = std::fma(l1[k], g[r][k], out1[r]);
                out2[r] = std::fma(l2[k], g[r][k], out2[r]);
            }
    }
};

} // namespace

int ldlt_factor_avx2(ProfileMatrix& K, double tol, double* inverse, double* flops) {
    return ldlt_factor_rows<Avx2Ops>(K, tol, inverse, flops);
}

void ldlt_solve_avx2(ProfileMatrix& K, double* u) {
    ldlt_solve_rows<Avx2Ops>(K, u);
}

} // namespace kestrel::engine
