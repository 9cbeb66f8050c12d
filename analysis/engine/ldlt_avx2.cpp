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

struct Avx2Ops {
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
        // The four sums side by side: out[r] = sum of the lanes of s_r.
        const __m256d h01 = _mm256_hadd_pd(s0, s1), h23 = _mm256_hadd_pd(s2, s3);
        const __m256d sum = _mm256_add_pd(_mm256_permute2f128_pd(h01, h23, 0x20),
                                          _mm256_permute2f128_pd(h01, h23, 0x31));
        _mm256_storeu_pd(out, sum);
        for (; k < len; ++k)
            for (int r = 0; r < 4; ++r) out[r] = std::fma(l[k], g[r][k], out[r]);
    }
};

} // namespace

int ldlt_factor_avx2(ProfileMatrix& K, double tol, double* flops) {
    return ldlt_factor_rows<Avx2Ops>(K, tol, flops);
}

void ldlt_solve_avx2(ProfileMatrix& K, double* u) {
    ldlt_solve_rows<Avx2Ops>(K, u);
}

} // namespace kestrel::engine
