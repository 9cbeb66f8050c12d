// The profile LDLT with its baseline kernel and the run-time choice of the 256-bit one.
#include "analysis/engine/ldlt.h"

#include "analysis/engine/ldlt_kernel.h"

namespace kestrel::engine {

#ifdef KESTREL_ENGINE_AVX2
int ldlt_factor_avx2(ProfileMatrix& K, double tol, double* inverse, double* flops);
void ldlt_solve_avx2(ProfileMatrix& K, double* u);
#endif

namespace {

// Baseline dot products: four partial sums keep the pipeline busy without wider vectors.
struct BaselineOps {
    static double dot(const double* a, const double* b, int len) {
        double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        int k = 0;
        for (; k + 4 <= len; k += 4) {
            s0 += a[k] * b[k];
            s1 += a[k + 1] * b[k + 1];
            s2 += a[k + 2] * b[k + 2];
            s3 += a[k + 3] * b[k + 3];
        }
        for (; k < len; ++k) s0 += a[k] * b[k];
        return (s0 + s1) + (s2 + s3);
    }

    static void dot4(const double* l, const double* const g[4], int len, double out[4]) {
        double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        for (int k = 0; k < len; ++k) {
            const double x = l[k];
            s0 += x * g[0][k];
            s1 += x * g[1][k];
            s2 += x * g[2][k];
            s3 += x * g[3][k];
        }
        out[0] = s0;
        out[1] = s1;
        out[2] = s2;
        out[3] = s3;
    }

    static void axpy(double a, const double* x, double* y, int len) {
        for (int k = 0; k < len; ++k) y[k] += a * x[k];
    }

    static void dot4x2(const double* l1, const double* l2, const double* const g[4], int len,
                       double out1[4], double out2[4]) {
        dot4(l1, g, len, out1);
        dot4(l2, g, len, out2);
    }
};

bool g_force_baseline = false;

bool use_avx2() {
#ifdef KESTREL_ENGINE_AVX2
    static const bool has = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    return has && !g_force_baseline;
#else
    return false;
#endif
}

} // namespace

int ldlt_factor(ProfileMatrix& K, double tol, double* inverse, double* flops) {
#ifdef KESTREL_ENGINE_AVX2
    if (use_avx2()) return ldlt_factor_avx2(K, tol, inverse, flops);
#endif
    return ldlt_factor_rows<BaselineOps>(K, tol, inverse, flops);
}

void ldlt_solve(ProfileMatrix& K, double* u) {
#ifdef KESTREL_ENGINE_AVX2
    if (use_avx2()) return ldlt_solve_avx2(K, u);
#endif
    ldlt_solve_rows<BaselineOps>(K, u);
}

const char* ldlt_kernel_name() {
    return use_avx2() ? "avx2-fma" : "baseline";
}

void ldlt_force_baseline(bool baseline) {
    g_force_baseline = baseline;
}

} // namespace kestrel::engine
