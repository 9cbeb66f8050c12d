// The profile LDLT with its baseline kernel and the run-time choice of the 256-bit one.
#include "analysis/engine/ldlt.h"

#include "analysis/engine/ldlt_kernel.h"

namespace kestrel::engine {

#ifdef KESTREL_ENGINE_AVX2
int ldlt_factor_avx2(ProfileMatrix& K, double tol, double* u, double* inverse, double* w,
                     double* flops);
void ldlt_solve_avx2(ProfileMatrix& K, double* u);
void ldlt_forward_avx2(ProfileMatrix& K, double* u);
void ldlt_solve_lanes_avx2(ProfileMatrix& K, double* b);
void ldlt_lanes_product_avx2(const double* m, int rows, int cols, const double* x, double* out);
#endif

static_assert(kLdltLanes == kLdltBlock, "the lanes are the workspace's");

namespace {

// Baseline inner loops: plain loops over the lanes of the workspace, which the compiler turns
// into 128-bit vector code.
struct BaselineOps {
    static void update1(const double* l, const double* w, int len, double* acc) {
        double a[kLdltBlock] = {}, b[kLdltBlock] = {};
        int k = 0;
        for (; k + 2 <= len; k += 2) {
            const double* w0 = w + static_cast<std::ptrdiff_t>(k) * kLdltBlock;
            for (int s = 0; s < kLdltBlock; ++s) {
                a[s] += l[k] * w0[s];
                b[s] += l[k + 1] * w0[s + kLdltBlock];
            }
        }
        if (k < len) {
            const double* w0 = w + static_cast<std::ptrdiff_t>(k) * kLdltBlock;
            for (int s = 0; s < kLdltBlock; ++s) a[s] += l[k] * w0[s];
        }
        for (int s = 0; s < kLdltBlock; ++s) acc[s] = a[s] + b[s];
    }

    // Two finished rows at a time: sixteen sums stay in registers.
    static void update4(const double* const l[4], const int start[4], int pre, double* w, int len,
                        const double tri[6]) {
        double acc[4][kLdltBlock];
        for (int q = 0; q < 4; q += 2) {
            double a[kLdltBlock] = {}, b[kLdltBlock] = {};
            const double *la = l[q], *lb = l[q + 1];
            const int sa = start[q], sb = start[q + 1];
            for (int k = 0; k < pre; ++k) {
                const double xa = k >= sa ? la[k - sa] : 0.0;
                const double xb = k >= sb ? lb[k - sb] : 0.0;
                const double* wk = w + static_cast<std::ptrdiff_t>(k) * kLdltBlock;
                for (int s = 0; s < kLdltBlock; ++s) {
                    a[s] += xa * wk[s];
                    b[s] += xb * wk[s];
                }
            }
            for (int k = pre; k < len; ++k) {
                const double* wk = w + static_cast<std::ptrdiff_t>(k) * kLdltBlock;
                for (int s = 0; s < kLdltBlock; ++s) {
                    a[s] += la[k - sa] * wk[s];
                    b[s] += lb[k - sb] * wk[s];
                }
            }
            for (int s = 0; s < kLdltBlock; ++s) {
                acc[q][s] = a[s];
                acc[q + 1][s] = b[s];
            }
        }
        double* c = w + static_cast<std::ptrdiff_t>(len) * kLdltBlock;
        double* c1 = c + kLdltBlock;
        double* c2 = c1 + kLdltBlock;
        double* c3 = c2 + kLdltBlock;
        for (int s = 0; s < kLdltBlock; ++s) {
            c[s] -= acc[0][s];
            c1[s] -= acc[1][s] + tri[0] * c[s];
            c2[s] -= acc[2][s] + tri[1] * c[s] + tri[2] * c1[s];
            c3[s] -= acc[3][s] + tri[3] * c[s] + tri[4] * c1[s] + tri[5] * c2[s];
        }
    }

    static void scale(const double* w, const double* inverse, const double* u, int len, double* out,
                      double dsum[kLdltBlock], double vsum[kLdltBlock]) {
        for (int s = 0; s < kLdltBlock; ++s) dsum[s] = vsum[s] = 0.0;
        for (int k = 0; k < len; ++k) {
            const double* wk = w + static_cast<std::ptrdiff_t>(k) * kLdltBlock;
            double* ok = out + static_cast<std::ptrdiff_t>(k) * kLdltBlock;
            for (int s = 0; s < kLdltBlock; ++s) {
                const double l = wk[s] * inverse[k];
                ok[s] = l;
                dsum[s] += l * wk[s];
                vsum[s] += wk[s] * u[k];
            }
        }
    }

    static void pack(const double* const src[kLdltBlock], int len, double* w) {
        for (int k = 0; k < len; ++k)
            for (int s = 0; s < kLdltBlock; ++s) w[k * kLdltBlock + s] = src[s][k];
    }

    static void unpack(const double* w, int len, double* const dst[kLdltBlock]) {
        for (int s = 0; s < kLdltBlock; ++s)
            for (int k = 0; k < len; ++k) dst[s][k] = w[k * kLdltBlock + s];
    }

    static void axpy(double a, const double* x, double* y, int len) {
        for (int k = 0; k < len; ++k) y[k] += a * x[k];
    }

    static void lanes_axpy(const double* l, const double* x, double* w, int len) {
        for (int k = 0; k < len; ++k) {
            double* wk = w + static_cast<std::ptrdiff_t>(k) * kLdltBlock;
            for (int s = 0; s < kLdltBlock; ++s) wk[s] -= l[k] * x[s];
        }
    }

    static void update2(const double* l1, const double* l2, const double* w, int len, double* acc1,
                        double* acc2) {
        double a[kLdltBlock] = {}, b[kLdltBlock] = {};
        for (int k = 0; k < len; ++k) {
            const double* wk = w + static_cast<std::ptrdiff_t>(k) * kLdltBlock;
            for (int s = 0; s < kLdltBlock; ++s) {
                a[s] += l1[k] * wk[s];
                b[s] += l2[k] * wk[s];
            }
        }
        for (int s = 0; s < kLdltBlock; ++s) acc1[s] = a[s], acc2[s] = b[s];
    }

    static void lanes_axpy2(const double* l1, const double* x1, const double* l2, const double* x2,
                            double* w, int len) {
        for (int k = 0; k < len; ++k) {
            double* wk = w + static_cast<std::ptrdiff_t>(k) * kLdltBlock;
            for (int s = 0; s < kLdltBlock; ++s) wk[s] -= l1[k] * x1[s] + l2[k] * x2[s];
        }
    }

    static void lanes_product(const double* m, int rows, int cols, const double* x, double* out) {
        for (int r = 0; r < rows; ++r) {
            double a[kLdltBlock] = {};
            for (int c = 0; c < cols; ++c)
                for (int s = 0; s < kLdltBlock; ++s)
                    a[s] += m[r * cols + c] * x[c * kLdltBlock + s];
            for (int s = 0; s < kLdltBlock; ++s) out[r * kLdltBlock + s] = a[s];
        }
    }

    // Four partial sums, which the compiler may keep in two 128-bit vectors.
    static double dot(const double* x, const double* y, int len) {
        double s[4] = {};
        int k = 0;
        for (; k + 4 <= len; k += 4)
            for (int q = 0; q < 4; ++q) s[q] += x[k + q] * y[k + q];
        for (; k < len; ++k) s[0] += x[k] * y[k];
        return (s[0] + s[1]) + (s[2] + s[3]);
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

int ldlt_factor(ProfileMatrix& K, double tol, double* u, double* flops) {
    if (K.n == 0) return -1;
    // The workspace first (its start is aligned for vector loads), the pivots' reciprocals after.
    const std::size_t work = ldlt_workspace_size(K);
    auto* w =
        static_cast<double*>(utl_calloc(work + static_cast<std::size_t>(K.n), sizeof(double)));
    if (!w) return kLdltNoMemory;
    double* inverse = w + work;
    int result;
#ifdef KESTREL_ENGINE_AVX2
    if (use_avx2())
        result = ldlt_factor_avx2(K, tol, u, inverse, w, flops);
    else
#endif
        result = ldlt_factor_blocks<BaselineOps>(K, tol, u, inverse, w, flops);
    utl_free(w);
    return result;
}

void ldlt_solve(ProfileMatrix& K, double* u) {
#ifdef KESTREL_ENGINE_AVX2
    if (use_avx2()) return ldlt_solve_avx2(K, u);
#endif
    ldlt_solve_rows<BaselineOps>(K, u);
}

void ldlt_forward(ProfileMatrix& K, double* u) {
#ifdef KESTREL_ENGINE_AVX2
    if (use_avx2()) return ldlt_forward_avx2(K, u);
#endif
    ldlt_forward_rows<BaselineOps>(K, u);
}

void ldlt_solve_lanes(ProfileMatrix& K, double* b) {
#ifdef KESTREL_ENGINE_AVX2
    if (use_avx2()) return ldlt_solve_lanes_avx2(K, b);
#endif
    ldlt_solve_lanes_rows<BaselineOps>(K, b);
}

void ldlt_lanes_product(const double* m, int rows, int cols, const double* x, double* out) {
#ifdef KESTREL_ENGINE_AVX2
    if (use_avx2()) return ldlt_lanes_product_avx2(m, rows, cols, x, out);
#endif
    BaselineOps::lanes_product(m, rows, cols, x, out);
}

const char* ldlt_kernel_name() {
    return use_avx2() ? "avx2-fma" : "baseline";
}

void ldlt_force_baseline(bool baseline) {
    g_force_baseline = baseline;
}

} // namespace kestrel::engine
