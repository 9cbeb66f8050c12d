// Elastic buckling and natural vibration of the frame in its plane: (K + lambda Kg) phi = 0 for
// the linear axial forces of one load case or combination, and K phi = omega^2 M phi with the
// consistent mass of the members, on the subdivided frame of eigen_frame.h. The lowest modes come
// from subspace iteration with Rayleigh-Ritz steps and a shift below the lowest eigenvalue.
#include "analysis/engine/eigen_frame.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace kestrel::engine {

const char* const kNoCompression =
    "No member is in compression under these loads: there is no buckling load.";
const char* const kNoMass = "No mass: define the specific weight of the materials.";

namespace {

using namespace eigen;

constexpr int kMostIterations = 300;      // of the subspace iteration
constexpr double kEigenTolerance = 1e-10; // relative change of the wanted eigenvalues
constexpr double kShiftWhen = 1e-2;       // change after which the shift is taken
constexpr double kShift = 0.9;            // of the lowest eigenvalue
constexpr double kCompression = 1e-9;     // of the largest axial force: members in compression
constexpr double kPi = 3.14159265358979323846;

// ---- The small symmetric eigenproblems ---------------------------------------------------------

// Cyclic Jacobi: a (n x n, symmetric) becomes diagonal, v collects the rotations (columns are
// the eigenvectors).
void jacobi(int n, std::vector<double>& a, std::vector<double>& v) {
    v.assign(static_cast<std::size_t>(n) * n, 0.0);
    for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i) * n + i] = 1.0;
    auto A = [&](int i, int j) -> double& { return a[static_cast<std::size_t>(i) * n + j]; };
    for (int sweep = 0; sweep < 100; ++sweep) {
        double off = 0, diag = 0;
        for (int i = 0; i < n; ++i) {
            diag += A(i, i) * A(i, i);
            for (int j = i + 1; j < n; ++j) off += A(i, j) * A(i, j);
        }
        if (off <= 1e-30 * diag || off == 0.0) return;
        for (int p = 0; p < n; ++p)
            for (int r = p + 1; r < n; ++r) {
                if (A(p, r) == 0.0) continue;
                const double theta = (A(r, r) - A(p, p)) / (2 * A(p, r));
                const double t =
                    (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (int k = 0; k < n; ++k) { // columns p and r
                    const double akp = A(k, p), akr = A(k, r);
                    A(k, p) = c * akp - s * akr;
                    A(k, r) = s * akp + c * akr;
                }
                for (int k = 0; k < n; ++k) { // rows p and r
                    const double apk = A(p, k), ark = A(r, k);
                    A(p, k) = c * apk - s * ark;
                    A(r, k) = s * apk + c * ark;
                }
                for (int k = 0; k < n; ++k) {
                    double* vk = &v[static_cast<std::size_t>(k) * n];
                    const double vp = vk[p], vr = vk[r];
                    vk[p] = c * vp - s * vr;
                    vk[r] = s * vp + c * vr;
                }
            }
    }
}

// Solves br z = mu kr z (kr positive semidefinite): the columns of z (q x q) with their mu in
// descending order, kr-orthonormal. A direction that kr does not see gets mu = 0 and z = 0.
void ritz(int q, std::vector<double> kr, std::vector<double> br, std::vector<double>& z,
          std::vector<double>& mu) {
    std::vector<double> v;
    jacobi(q, kr, v);
    double largest = 0;
    for (int i = 0; i < q; ++i)
        largest = std::max(largest, kr[static_cast<std::size_t>(i) * q + i]);
    // W = V Lambda^-1/2 over the directions kept.
    std::vector<double> w(static_cast<std::size_t>(q) * q, 0.0);
    for (int j = 0; j < q; ++j) {
        const double l = kr[static_cast<std::size_t>(j) * q + j];
        if (!(l > 1e-13 * largest)) continue;
        for (int i = 0; i < q; ++i)
            w[static_cast<std::size_t>(i) * q + j] =
                v[static_cast<std::size_t>(i) * q + j] / std::sqrt(l);
    }
    std::vector<double> c(static_cast<std::size_t>(q) * q, 0.0), tmp(c);
    for (int i = 0; i < q; ++i) // tmp = br W
        for (int j = 0; j < q; ++j) {
            double s = 0;
            for (int k = 0; k < q; ++k)
                s += br[static_cast<std::size_t>(i) * q + k] *
                     w[static_cast<std::size_t>(k) * q + j];
            tmp[static_cast<std::size_t>(i) * q + j] = s;
        }
    for (int i = 0; i < q; ++i) // c = W^T br W
        for (int j = 0; j < q; ++j) {
            double s = 0;
            for (int k = 0; k < q; ++k)
                s += w[static_cast<std::size_t>(k) * q + i] *
                     tmp[static_cast<std::size_t>(k) * q + j];
            c[static_cast<std::size_t>(i) * q + j] = s;
        }
    for (int i = 0; i < q; ++i) // symmetric to rounding
        for (int j = i + 1; j < q; ++j) {
            const double a =
                (c[static_cast<std::size_t>(i) * q + j] + c[static_cast<std::size_t>(j) * q + i]) /
                2;
            c[static_cast<std::size_t>(i) * q + j] = c[static_cast<std::size_t>(j) * q + i] = a;
        }
    std::vector<double> u;
    jacobi(q, c, u);
    std::vector<int> order(static_cast<std::size_t>(q));
    for (int i = 0; i < q; ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return c[static_cast<std::size_t>(a) * q + a] > c[static_cast<std::size_t>(b) * q + b];
    });
    z.assign(static_cast<std::size_t>(q) * q, 0.0);
    mu.assign(static_cast<std::size_t>(q), 0.0);
    for (int jj = 0; jj < q; ++jj) {
        const int j = order[jj];
        mu[jj] = c[static_cast<std::size_t>(j) * q + j];
        for (int i = 0; i < q; ++i) {
            double s = 0;
            for (int k = 0; k < q; ++k)
                s +=
                    w[static_cast<std::size_t>(i) * q + k] * u[static_cast<std::size_t>(k) * q + j];
            z[static_cast<std::size_t>(i) * q + jj] = s;
        }
    }
}

// a^T b for two blocks of q vectors: out (q x q).
void cross(const Problem& pb, int q, const double* a, const double* b, std::vector<double>& out) {
    out.assign(static_cast<std::size_t>(q) * q, 0.0);
    for (long i = 0; i < pb.total; ++i) {
        const double* ai = a + i * q;
        const double* bi = b + i * q;
        for (int r = 0; r < q; ++r) {
            double* o = &out[static_cast<std::size_t>(r) * q];
            for (int s = 0; s < q; ++s) o[s] += ai[r] * bi[s];
        }
    }
    for (int r = 0; r < q; ++r) // symmetric to rounding
        for (int s = r + 1; s < q; ++s) {
            const double v = (out[static_cast<std::size_t>(r) * q + s] +
                              out[static_cast<std::size_t>(s) * q + r]) /
                             2;
            out[static_cast<std::size_t>(r) * q + s] = out[static_cast<std::size_t>(s) * q + r] = v;
        }
}

// x = x z in place, row by row.
void rotate(const Problem& pb, int q, double* x, const std::vector<double>& z) {
    std::vector<double> row(static_cast<std::size_t>(q));
    for (long i = 0; i < pb.total; ++i) {
        double* xi = x + i * q;
        for (int s = 0; s < q; ++s) {
            double v = 0;
            for (int k = 0; k < q; ++k) v += xi[k] * z[static_cast<std::size_t>(k) * q + s];
            row[s] = v;
        }
        std::copy(row.begin(), row.end(), xi);
    }
}

// ---- The modes ---------------------------------------------------------------------------------

// Mode j of the block x into the caller's form: node and interior values in global axes, the
// largest translation 1 and positive.
EigenMode take_mode(const Problem& pb, int q, const double* x, int col, double eigenvalue) {
    const FemState& m = g_fem;
    EigenMode mode;
    mode.value = eigenvalue;
    mode.nodes.assign(static_cast<std::size_t>(m.nnode) * 3, 0.0);
    for (int n = 0; n < m.nnode; ++n) {
        double l[3];
        for (int g = 0; g < 3; ++g) {
            const int e = pb.node_eq[n * 3 + g];
            l[g] = e >= 0 ? x[static_cast<long>(e) * q + col] : 0.0;
        }
        double* out = &mode.nodes[static_cast<std::size_t>(n) * 3];
        out[0] = l[0];
        out[1] = l[1];
        if (m.skew_of[n] >= 0) {
            const double(*S)[3] = m.skews[m.skew_of[n]].S;
            out[0] = S[0][0] * l[0] + S[0][1] * l[1];
            out[1] = S[1][0] * l[0] + S[1][1] * l[1];
        }
        out[2] = l[2];
    }
    for (const Member& mb : pb.members) {
        // The value of chain freedom (j, k) from the unknowns.
        auto value = [&](int j, int k) {
            int idx[kMostTargets];
            double coef[kMostTargets];
            const int n = targets(mb, j, k, idx, coef);
            double v = 0;
            for (int t = 0; t < n; ++t)
                v += coef[t] * x[(idx[t] < 6 ? mb.eq[idx[t]] : mb.offset + idx[t] - 6) * q + col];
            return v;
        };
        const double ends[2] = {value(0, 0), value(mb.pieces, 0)}; // axial, local
        for (int p = 1; p < mb.pieces; ++p) {
            const double xi = static_cast<double>(p) / mb.pieces;
            const double u = (1 - xi) * ends[0] + xi * ends[1];
            const double v = value(p, 1), r = value(p, 2);
            mode.interior.push_back(mb.c * u - mb.s * v);
            mode.interior.push_back(mb.s * u + mb.c * v);
            mode.interior.push_back(r);
        }
    }
    double largest = 0, sign = 1;
    for (const std::vector<double>* list : {&mode.nodes, &mode.interior})
        for (std::size_t i = 0; i < list->size(); ++i)
            if (i % 3 < 2 && std::fabs((*list)[i]) > largest) {
                largest = std::fabs((*list)[i]);
                sign = (*list)[i] < 0 ? -1.0 : 1.0;
            }
    if (largest > 0) {
        for (double& v : mode.nodes) v *= sign / largest;
        for (double& v : mode.interior) v *= sign / largest;
    }
    return mode;
}

// Deterministic start vectors in [-1, 1].
void start_vectors(const Problem& pb, int q, double* x, int from) {
    unsigned long long state = 0x9E3779B97F4A7C15ull + static_cast<unsigned>(from);
    for (long i = 0; i < pb.total; ++i)
        for (int s = from; s < q; ++s) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            x[i * q + s] = static_cast<double>(state >> 11) / 4503599627370496.0 - 1.0;
        }
}

// Subspace iteration for the lowest modes of K phi = lambda B phi, where 1 / lambda = mu > 0.
int subspace(Problem& pb, const EigenOptions& options, EigenSolution* out) {
    const long total = pb.total;
    const int p = static_cast<int>(std::min<long>(std::max(options.modes, 1), total));
    const int q = static_cast<int>(std::min<long>(std::min(2 * p, p + 8), total));
    if (q == 0) return kAnalyseSolved;
    const std::size_t size = static_cast<std::size_t>(total) * q;
    double* x = static_cast<double*>(utl_calloc(size, sizeof(double)));
    double* y = static_cast<double*>(utl_calloc(size, sizeof(double)));
    struct Free {
        double *a, *b;
        ~Free() {
            utl_free(a);
            utl_free(b);
        }
    } release{x, y};
    if (!x || !y) return kAnalyseFatal;
    start_vectors(pb, q, x, 0);
    apply_b(pb, q, x, y);
    std::vector<double> kr, br, z, mu, lambda, last;
    int it = 0;
    bool shifted = false;
    for (it = 1; it <= kMostIterations; ++it) {
        std::memcpy(x, y, size * sizeof(double));
        solve_k(pb, q, x);
        cross(pb, q, x, y, kr);
        apply_b(pb, q, x, y);
        cross(pb, q, x, y, br);
        ritz(q, kr, br, z, mu);
        rotate(pb, q, x, z);
        rotate(pb, q, y, z);
        int positive = 0;
        while (positive < p && mu[positive] > 0.0) ++positive;
        lambda.assign(static_cast<std::size_t>(positive), 0.0);
        double change = last.size() == lambda.size() && positive > 0 ? 0.0 : 1.0;
        for (int i = 0; i < positive; ++i) {
            lambda[i] = pb.sigma + 1.0 / mu[i];
            if (last.size() == lambda.size())
                change = std::max(change, std::fabs(lambda[i] - last[i]) / lambda[i]);
        }
        last = lambda;
        if (change <= kEigenTolerance) break;
        if (!shifted && change <= kShiftWhen) {
            // A shift just below the lowest eigenvalue speeds up every wanted one; halved while
            // K - sigma B is not positive definite (the estimate lies above the lowest).
            shifted = true;
            int code = kAnalyseSingular;
            for (double sigma = kShift * lambda[0]; code == kAnalyseSingular && sigma > 0;
                 sigma = sigma > kShift * lambda[0] / 8 ? sigma / 2 : 0.0) {
                pb.sigma = sigma;
                code = factor_boundary(pb);
            }
            if (code == kAnalyseFatal) return code;
            if (code != kAnalyseSolved) {
                pb.sigma = 0;
                if ((code = factor_boundary(pb)) != kAnalyseSolved) return code;
            }
        }
    }
    out->iterations = std::min(it, kMostIterations);
    for (std::size_t i = 0; i < last.size(); ++i) {
        const double value = pb.buckling ? last[i] : std::sqrt(last[i]) / (2 * kPi);
        out->modes.push_back(take_mode(pb, q, x, static_cast<int>(i), value));
    }
    return kAnalyseSolved;
}

int eigen_run(bool buckling) {
    FemState& m = g_fem;
    EigenSolution* out = m.request.eigen;
    const EigenOptions& options = *m.request.eigen_options;
    std::vector<double> axial;
    if (buckling) {
        const int c = options.load_case;
        if (options.combination) {
            for (const FactoredCase& fc : *options.combination)
                if (fc.load_case < 0 || fc.load_case >= m.ncase) {
                    fem_fail("A load case of the buckling combination does not exist.");
                    return kAnalyseFatal;
                }
        } else if (c < 0 || c >= m.ncase) {
            fem_fail("The load case of the buckling analysis does not exist.");
            return kAnalyseFatal;
        }
        for (int ie = 0; ie < m.nelem_read; ++ie) m.elems[ie].N = 0.0;
        if (options.combination) {
            // The linear axial forces of the combination's own factored loads.
            std::vector<double> part(static_cast<std::size_t>(m.neq));
            if (!fem_combination_loads(*options.combination, m.f, part.data()))
                return kAnalyseFatal;
        } else {
            if (!fem_apply_case_loads(c)) return kAnalyseFatal;
            if (m.neq > 0) fem_case_loads(c, m.f);
        }
        if (m.neq > 0) {
            const int code = fem_factor_solve(m.f, m.u, false);
            if (code != kAnalyseSolved) return code;
            utl_profilefree(&m.K);
        }
        axial.resize(static_cast<std::size_t>(m.nelem_read));
        double d[kMaxElementDofs], forces[kMaxElementDofs], largest = 0;
        for (int ie = 0; ie < m.nelem_read; ++ie) {
            const Element& e = m.elems[ie];
            const ElementClass& ec = kElementClasses[e.cls];
            for (int a = 0; a < ec.nodes; ++a)
                fem_node_displacements(e.nodes[a], d + a * kDofsPerNode);
            ec.internal_forces(e, d, forces);
            axial[ie] = fem_axial_force(forces);
            if (!std::isfinite(axial[ie])) axial[ie] = 0.0;
            largest = std::max(largest, std::fabs(axial[ie]));
        }
        bool compressed = false;
        for (double N : axial) compressed = compressed || N < -kCompression * largest;
        if (!compressed) {
            out->note = kNoCompression;
            return kAnalyseSolved;
        }
    }
    Problem pb;
    pb.buckling = buckling;
    set_up(pb, axial, options);
    // A frame that cannot stand says so before it is asked for its mass.
    const int code = factor_boundary(pb);
    if (code != kAnalyseSolved) return code;
    if (!buckling) {
        bool any = false;
        for (const Member& mb : pb.members) any = any || mb.mass > 0.0;
        if (!any) {
            out->note = kNoMass;
            return kAnalyseSolved;
        }
    }
    for (const Member& mb : pb.members) out->pieces.push_back(mb.pieces);
    out->equations = static_cast<int>(pb.total);
    return subspace(pb, options, out);
}

int analyse_eigen(const char* file_name, const EigenOptions& options, EigenSolution* solution,
                  std::string* message, int algorithm) {
    EigenSolution scratch;
    EigenSolution* out = solution ? solution : &scratch;
    *out = EigenSolution{};
    FemRequest request;
    request.eigen_options = &options;
    request.eigen = out;
    const int code = fem_analyse(file_name, message, nullptr, nullptr, algorithm, request);
    if (code != kAnalyseSolved) *out = EigenSolution{};
    return code;
}

} // namespace

int fem_buckling(int, const int*, double*, double*) {
    FemState& m = g_fem;
    for (int ie = 0; ie < m.nelem_read; ++ie)
        m.request.eigen->element_numbers.push_back(m.elems[ie].number);
    return eigen_run(true);
}

int fem_vibration(int, const int*, double*, double*) {
    FemState& m = g_fem;
    for (int ie = 0; ie < m.nelem_read; ++ie)
        m.request.eigen->element_numbers.push_back(m.elems[ie].number);
    return eigen_run(false);
}

int AnalyseBuckling(const char* file_name, const EigenOptions& options, EigenSolution* solution,
                    std::string* message) {
    return analyse_eigen(file_name, options, solution, message, kBuckling);
}

int AnalyseVibration(const char* file_name, const EigenOptions& options, EigenSolution* solution,
                     std::string* message) {
    return analyse_eigen(file_name, options, solution, message, kVibration);
}

} // namespace kestrel::engine
