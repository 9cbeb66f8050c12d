// The subdivided frame of the buckling and vibration analyses: its members, their matrices, the
// condensation of their interiors and the products and solutions that the iteration needs.
#include "analysis/engine/eigen_frame.h"
#include "analysis/engine/ldlt.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kestrel::engine::eigen {

namespace {

constexpr double kGravity = 9.81;     // m/s2: specific weight (kN/m3) to mass (t/m3)
constexpr int kMostPieces = 16;       // per member of a small frame
constexpr int kFewestPieces = 4;      // per member of a large one
constexpr long kPieceBudget = 20000;  // pieces of the whole frame before fewer are taken
constexpr double kStiffBending = 1e6; // EI / L^3 against the frame's median: one piece

} // namespace

// An end value (end 0 or 1, local component k) in member space: slots 0..5 the boundary values
// of ends 1 and 2, 6 + i internal unknown i (a released component). Appends (index, coefficient
// x weight) pairs; returns the new count.
int end_targets(const Member& mb, int end, int k, double weight, int n, int idx[], double coef[]) {
    if (weight == 0.0) return n;
    if (mb.released[end][k] >= 0) {
        idx[n] = 6 + mb.released[end][k];
        coef[n++] = weight;
        return n;
    }
    for (int g = 0; g < 3; ++g)
        if (mb.eq[3 * end + g] >= 0 && mb.T[end][k][g] != 0.0) {
            idx[n] = 3 * end + g;
            coef[n++] = weight * mb.T[end][k][g];
        }
    return n;
}

// Chain freedom (node j of 0..pieces, component k) in member space. Inside the member the
// unknowns are the deviations from the cubic through its end values (so that the stiffness does
// not couple them with the ends: the member's own stiffness is formed without the cancellation
// that dividing a stiff member would bring); the axial component inside follows no unknown.
int targets(const Member& mb, int j, int k, int idx[kMostTargets], double coef[kMostTargets]) {
    if (j == 0 || j == mb.pieces) return end_targets(mb, j == 0 ? 0 : 1, k, 1.0, 0, idx, coef);
    if (k == 0) return 0;
    int first_interior = 0;
    for (int q = 0; q < 3; ++q) first_interior += mb.released[0][q] >= 0 ? 1 : 0;
    idx[0] = 6 + first_interior + 2 * (j - 1) + k - 1;
    coef[0] = 1;
    const double x = static_cast<double>(j) / mb.pieces, L = mb.L;
    double w[4]; // weights of v1, rotation 1, v2, rotation 2
    if (k == 1) {
        w[0] = 1 - 3 * x * x + 2 * x * x * x;
        w[1] = L * (x - 2 * x * x + x * x * x);
        w[2] = 3 * x * x - 2 * x * x * x;
        w[3] = L * (x * x * x - x * x);
    } else {
        w[0] = (6 * x * x - 6 * x) / L;
        w[1] = 1 - 4 * x + 3 * x * x;
        w[2] = (6 * x - 6 * x * x) / L;
        w[3] = 3 * x * x - 2 * x;
    }
    int n = 1;
    for (int q = 0; q < 4; ++q) n = end_targets(mb, q / 2, 1 + q % 2, w[q], n, idx, coef);
    return n;
}

// The targets of every chain freedom of one member, found once per use of the member.
struct Chain {
    int dofs = 0;
    std::vector<int> count, idx;
    std::vector<double> coef;
    std::vector<double> h; // workspace of member_matrix
    void fill(const Member& mb) {
        dofs = 3 * (mb.pieces + 1);
        count.resize(static_cast<std::size_t>(dofs));
        idx.resize(static_cast<std::size_t>(dofs) * kMostTargets);
        coef.resize(idx.size());
        for (int i = 0; i < dofs; ++i)
            count[i] = targets(mb, i / 3, i % 3, &idx[static_cast<std::size_t>(i) * kMostTargets],
                               &coef[static_cast<std::size_t>(i) * kMostTargets]);
    }
    const int* at(int i) const { return &idx[static_cast<std::size_t>(i) * kMostTargets]; }
    const double* weights(int i) const { return &coef[static_cast<std::size_t>(i) * kMostTargets]; }
};

// The 6 x 6 matrix of one piece in local u1 v1 r1 u2 v2 r2 (bending only: the axial bar is
// the member's own): which 0 stiffness, 1 geometric (the member's axial force), 2 mass; the
// buckling matrix is minus the geometric one. With piece < 0 the axial bar of the whole member.
void piece_matrix(const Member& mb, int which, double k[6][6], int piece = 0) {
    std::memset(k, 0, sizeof(double) * 36);
    const double h = mb.L / mb.pieces;
    auto bend = [&](double f, const double v[10]) { // v11 v12 v13 v14 v22 v23 v24 v33 v34 v44
        const int at[4] = {1, 2, 4, 5};
        int n = 0;
        for (int i = 0; i < 4; ++i)
            for (int j = i; j < 4; ++j) k[at[i]][at[j]] = k[at[j]][at[i]] = f * v[n++];
    };
    auto axial = [&](int a, int b, double diag, double off) {
        k[a][a] = k[b][b] = diag;
        k[a][b] = k[b][a] = off;
    };
    if (piece < 0) {
        if (which == 0) axial(0, 3, mb.EA / mb.L, -mb.EA / mb.L);
        if (which == 2) axial(0, 3, mb.mass * mb.L / 3, mb.mass * mb.L / 6);
        return;
    }
    if (which == 0) {
        if (mb.truss) return;
        const double v[10] = {12,     6 * h,     -12, 6 * h,  4 * h * h,
                              -6 * h, 2 * h * h, 12,  -6 * h, 4 * h * h};
        bend(mb.EI / (h * h * h), v);
    } else if (which == 1) {
        const double f = -mb.N; // the buckling matrix: compression positive
        if (mb.truss) return axial(1, 4, f / h, -f / h);
        const double v[10] = {36,     3 * h,  -36, 3 * h,  4 * h * h,
                              -3 * h, -h * h, 36,  -3 * h, 4 * h * h};
        bend(f / (30 * h), v);
    } else {
        const double m = mb.mass * h;
        if (mb.truss) return axial(1, 4, m / 3, m / 6);
        const double v[10] = {156,    22 * h,     54,  -13 * h, 4 * h * h,
                              13 * h, -3 * h * h, 156, -22 * h, 4 * h * h};
        bend(m / 420, v);
    }
}

// Adds f m (6 x 6 over chain nodes j0 and j1) into the member-space matrix q. With own, only
// the interior unknowns themselves take it (the stiffness of the deviations from the cubic).
void scatter(const Member& mb, const Chain& chain, int j0, int j1, const double m[6][6], double f,
             bool own, std::vector<double>& q) {
    const int dim = 6 + mb.inner;
    int nt[6], row[6];
    for (int a = 0; a < 6; ++a) {
        const int j = a < 3 ? j0 : j1;
        row[a] = 3 * j + a % 3;
        nt[a] = chain.count[row[a]];
        if (own && nt[a] > 0) nt[a] = j > 0 && j < mb.pieces ? 1 : 0;
    }
    for (int a = 0; a < 6; ++a) {
        const int* ia = chain.at(row[a]);
        const double* ca = chain.weights(row[a]);
        for (int b = 0; b < 6; ++b) {
            if (m[a][b] == 0.0) continue;
            const int* ib = chain.at(row[b]);
            const double* cb = chain.weights(row[b]);
            for (int x = 0; x < nt[a]; ++x) {
                double* qa = &q[static_cast<std::size_t>(ia[x]) * dim];
                const double v = f * ca[x] * m[a][b];
                for (int y = 0; y < nt[b]; ++y) qa[ib[y]] += v * cb[y];
            }
        }
    }
}

// The member's K - sigma B in member space (dense, dim = 6 + inner), restrained slots zero; B is
// the buckling or the mass matrix. The stiffness is the axial bar and the member's own cubic
// element on its end values, and the pieces on the deviations inside: the cubic is the
// member's exact shape under end actions, so the two do not couple, and the member's stiffness
// is formed whole rather than summed from pieces (which would cost a stiff member's digits).
void member_matrix(const Member& mb, double sigma, bool buckling, Chain& chain,
                   std::vector<double>& q) {
    q.assign(static_cast<std::size_t>(6 + mb.inner) * (6 + mb.inner), 0.0);
    chain.fill(mb);
    const int which = buckling ? 1 : 2;
    double m[6][6];
    piece_matrix(mb, 0, m, -1);
    scatter(mb, chain, 0, mb.pieces, m, 1.0, false, q);
    Member whole = mb;
    whole.pieces = 1;
    piece_matrix(whole, 0, m);
    scatter(mb, chain, 0, mb.pieces, m, 1.0, false, q);
    if (mb.pieces > 1) {
        piece_matrix(mb, 0, m);
        for (int p = 0; p < mb.pieces; ++p) scatter(mb, chain, p, p + 1, m, 1.0, true, q);
    }
    if (sigma == 0.0) return;
    // - sigma G^T B G, G the chain's targets: H = B G row by row of the chain, then G^T H.
    const int dim = 6 + mb.inner;
    chain.h.assign(static_cast<std::size_t>(chain.dofs) * dim, 0.0);
    double bar[6][6];
    piece_matrix(mb, which, bar, -1);
    piece_matrix(mb, which, m);
    for (int p = -1; p < mb.pieces; ++p) {
        const double(*kp)[6] = p < 0 ? bar : m;
        for (int a = 0; a < 6; ++a) {
            const int ra = p < 0 ? (a / 3) * 3 * mb.pieces + a % 3 : 3 * p + a;
            double* h = &chain.h[static_cast<std::size_t>(ra) * dim];
            for (int b = 0; b < 6; ++b) {
                if (kp[a][b] == 0.0) continue;
                const int rb = p < 0 ? (b / 3) * 3 * mb.pieces + b % 3 : 3 * p + b;
                for (int y = 0; y < chain.count[rb]; ++y)
                    h[chain.at(rb)[y]] += kp[a][b] * chain.weights(rb)[y];
            }
        }
    }
    for (int i = 0; i < chain.dofs; ++i) {
        const double* h = &chain.h[static_cast<std::size_t>(i) * dim];
        for (int x = 0; x < chain.count[i]; ++x) {
            double* row = &q[static_cast<std::size_t>(chain.at(i)[x]) * dim];
            const double f = -sigma * chain.weights(i)[x];
            for (int c = 0; c < dim; ++c) row[c] += f * h[c];
        }
    }
}

// In-place Cholesky of the member's internal block (rows 6..): L below the diagonal. An
// internal unknown with no stiffness at all (a released end of a member without bending
// stiffness) is held. False when the block is not positive definite.
bool factor_inner(const Member& mb, std::vector<double>& q) {
    const int dim = 6 + mb.inner;
    auto at = [&](int i, int j) -> double& { return q[static_cast<std::size_t>(i) * dim + j]; };
    for (int i = 6; i < dim; ++i) {
        bool none = at(i, i) == 0.0;
        for (int j = 6; none && j < dim; ++j) none = at(i, j) == 0.0;
        if (none) at(i, i) = 1.0;
    }
    for (int j = 6; j < dim; ++j) {
        double d = at(j, j);
        for (int p = 6; p < j; ++p) d -= at(j, p) * at(j, p);
        if (!(d > 0.0)) return false;
        d = std::sqrt(d);
        at(j, j) = d;
        for (int i = j + 1; i < dim; ++i) {
            double v = at(i, j);
            for (int p = 6; p < j; ++p) v -= at(i, p) * at(j, p);
            at(i, j) = v / d;
        }
    }
    return true;
}

// x (inner rows of `lanes` values side by side) = K_ii^-1 x with the factor of factor_inner.
void solve_inner(const Member& mb, const std::vector<double>& q, double* x, int lanes) {
    const int dim = 6 + mb.inner;
    auto at = [&](int i, int j) { return q[static_cast<std::size_t>(i) * dim + j]; };
    auto row = [&](int i) { return x + static_cast<std::ptrdiff_t>(i - 6) * lanes; };
    for (int i = 6; i < dim; ++i) {
        double* xi = row(i);
        for (int p = 6; p < i; ++p) {
            const double l = at(i, p);
            const double* xp = row(p);
            for (int s = 0; s < lanes; ++s) xi[s] -= l * xp[s];
        }
        const double inv = 1.0 / at(i, i);
        for (int s = 0; s < lanes; ++s) xi[s] *= inv;
    }
    for (int i = dim - 1; i >= 6; --i) {
        double* xi = row(i);
        for (int p = i + 1; p < dim; ++p) {
            const double l = at(p, i);
            const double* xp = row(p);
            for (int s = 0; s < lanes; ++s) xi[s] -= l * xp[s];
        }
        const double inv = 1.0 / at(i, i);
        for (int s = 0; s < lanes; ++s) xi[s] *= inv;
    }
}

// ---- Setting up ---------------------------------------------------------------------------

void set_up(Problem& pb, const std::vector<double>& axial, const EigenOptions& options) {
    FemState& m = g_fem;
    // Boundary equations: the in-plane freedoms with an engine equation (prescribed ones are
    // held), in the order of the engine's equations, so the profile is the engine's.
    std::vector<int> slot(static_cast<std::size_t>(m.neq) + 1, 0);
    std::vector<char> held(static_cast<std::size_t>(m.neq) + 1, 0);
    for (int i = 0; i < m.npresc_eq; ++i) held[fem_prescribed_equation(i)] = 1;
    for (int node = 0; node < m.nnode; ++node)
        for (int g = 0; g < 3; ++g) {
            const int e = m.dof[node][kPlane[g]];
            if (e > 0 && !held[e]) slot[e] = node * 3 + g + 1;
        }
    pb.node_eq.assign(static_cast<std::size_t>(m.nnode) * 3, -1);
    for (int e = 1; e <= m.neq; ++e)
        if (slot[e]) pb.node_eq[slot[e] - 1] = pb.nb++;
    pb.total = pb.nb;

    const long elements = m.nelem_read > 0 ? m.nelem_read : 1;
    const int pieces =
        options.pieces > 0
            ? options.pieces
            : static_cast<int>(std::clamp(kPieceBudget / elements, static_cast<long>(kFewestPieces),
                                          static_cast<long>(kMostPieces)));
    // A member far stiffer in bending than the frame's usual one (a rigid member) is one piece:
    // it hardly bends, one cubic piece moves it as a body exactly, and dividing it would cost
    // the digits that its stiffness already takes from the others.
    std::vector<double> bending;
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const Element& e = m.elems[ie];
        if (e.E * e.Iz > 0.0) bending.push_back(e.E * e.Iz / (e.L * e.L * e.L));
    }
    double usual = 0;
    if (!bending.empty()) {
        std::nth_element(bending.begin(), bending.begin() + bending.size() / 2, bending.end());
        usual = bending[bending.size() / 2];
    }
    pb.members.resize(static_cast<std::size_t>(m.nelem_read));
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const Element& e = m.elems[ie];
        Member& mb = pb.members[ie];
        mb.c = e.R[0][0];
        mb.s = e.R[0][1];
        mb.L = e.L;
        mb.EA = e.E * e.A;
        mb.EI = e.E * e.Iz;
        mb.truss = !(mb.EI > 0.0);
        const bool stiff = mb.EI / (mb.L * mb.L * mb.L) > kStiffBending * usual;
        mb.pieces = mb.truss || (stiff && options.pieces <= 0) ? 1 : pieces;
        mb.N = axial.empty() ? 0.0 : axial[ie];
        const std::size_t number = static_cast<std::size_t>(e.number);
        mb.mass = number >= 1 && number <= options.mass_per_length.size()
                      ? options.mass_per_length[number - 1]
                      : e.density * e.A / kGravity;
        int inner = 0;
        for (int end = 0; end < 2; ++end) {
            const int n = e.nodes[end] - 1;
            // The end's local u, v, rotation from the node's values in its own axes.
            double S2[2][2] = {{1, 0}, {0, 1}};
            if (m.skew_of[n] >= 0)
                for (int p = 0; p < 2; ++p)
                    for (int r = 0; r < 2; ++r) S2[p][r] = m.skews[m.skew_of[n]].S[p][r];
            const double R2[2][2] = {{mb.c, mb.s}, {-mb.s, mb.c}};
            std::memset(mb.T[end], 0, sizeof mb.T[end]);
            for (int p = 0; p < 2; ++p)
                for (int r = 0; r < 2; ++r)
                    mb.T[end][p][r] = R2[p][0] * S2[0][r] + R2[p][1] * S2[1][r];
            mb.T[end][2][2] = 1.0;
            for (int g = 0; g < 3; ++g) mb.eq[3 * end + g] = pb.node_eq[n * 3 + g];
        }
        for (int k = 0; k < 3; ++k) mb.released[0][k] = e.released >> kPlane[k] & 1u ? inner++ : -1;
        inner += 2 * (mb.pieces - 1);
        for (int k = 0; k < 3; ++k)
            mb.released[1][k] = e.released >> (6 + kPlane[k]) & 1u ? inner++ : -1;
        mb.inner = inner;
        mb.offset = pb.total;
        pb.total += inner;
    }
}

// The condensed stiffness of the boundary equations, factorised. kAnalyseSolved, Singular or
// Fatal.
int factor_boundary(Problem& pb) {
    FemState& m = g_fem;
    const int nb = pb.nb;
    if (nb == 0) return kAnalyseSolved;
    pb.first.assign(static_cast<std::size_t>(nb), nb);
    for (const Member& mb : pb.members) {
        int low = nb;
        for (int e : mb.eq)
            if (e >= 0) low = std::min(low, e);
        for (int e : mb.eq)
            if (e >= 0) pb.first[e] = std::min(pb.first[e], low);
    }
    for (int i = 0; i < nb; ++i) pb.first[i] = std::min(pb.first[i], i);
    utl_profilefree(&pb.S);
    if (!utl_profilealloc(nb, pb.first.data(), sizeof(double), &pb.S)) return kAnalyseFatal;
    std::vector<double> q;
    Chain chain;
    for (const Member& mb : pb.members) {
        member_matrix(mb, pb.sigma, pb.buckling, chain, q);
        if (!factor_inner(mb, q)) return kAnalyseSingular;
        const int dim = 6 + mb.inner;
        // S_bb = K_bb - K_bi K_ii^-1 K_ib, column by column of K_ib.
        double cond[6][6];
        std::vector<double> col(static_cast<std::size_t>(mb.inner));
        for (int b = 0; b < 6; ++b) {
            for (int a = 0; a < 6; ++a) cond[a][b] = q[static_cast<std::size_t>(a) * dim + b];
            if (mb.inner == 0) continue;
            // The lower triangle of q was overwritten by the factor; the upper keeps K_bi.
            for (int i = 0; i < mb.inner; ++i)
                col[i] = q[static_cast<std::size_t>(b) * dim + 6 + i];
            solve_inner(mb, q, col.data(), 1);
            for (int a = 0; a < 6; ++a) {
                double v = 0;
                for (int i = 0; i < mb.inner; ++i)
                    v += q[static_cast<std::size_t>(a) * dim + 6 + i] * col[i];
                cond[a][b] -= v;
            }
        }
        for (int a = 0; a < 6; ++a)
            for (int b = 0; b < 6; ++b)
                if (mb.eq[a] >= 0 && mb.eq[b] >= 0 && mb.eq[b] <= mb.eq[a])
                    pb.S.at(mb.eq[a], mb.eq[b]) += cond[a][b];
    }
    double smallest = std::fabs(pb.S.at(0, 0));
    for (int i = 1; i < nb; ++i) smallest = std::fmin(smallest, std::fabs(pb.S.at(i, i)));
    for (int r = 0; r < m.nspring; ++r) {
        const DofRecord& sp = m.springs[r];
        for (int g = 0; g < 3; ++g)
            if (sp.dof == kPlane[g] && pb.node_eq[(sp.node - 1) * 3 + g] >= 0) {
                const int e = pb.node_eq[(sp.node - 1) * 3 + g];
                pb.S.at(e, e) += sp.value;
            }
    }
    std::vector<double> rhs(static_cast<std::size_t>(nb), 0.0);
    double flops = 0;
    const int failed = ldlt_factor(pb.S, 1e-10 * smallest, rhs.data(), &flops);
    if (failed == kLdltNoMemory) return kAnalyseFatal;
    if (failed >= 0) return kAnalyseSingular;
    for (int i = 0; i < nb; ++i)
        if (!(pb.S.at(i, i) > 0.0)) return kAnalyseSingular;
    return kAnalyseSolved;
}

// ---- Products and solutions on q vectors side by side (row-major: unknown i, vector s) -----

// y = B x: the geometric (buckling) or mass matrix of every piece.
void apply_b(const Problem& pb, int q, const double* x, double* y) {
    std::memset(y, 0, sizeof(double) * static_cast<std::size_t>(pb.total) * q);
    const int which = pb.buckling ? 1 : 2;
    Chain chain;
    std::vector<double> z, w;
    for (const Member& mb : pb.members) {
        double k[6][6], bar[6][6];
        piece_matrix(mb, which, k);
        piece_matrix(mb, which, bar, -1);
        auto index = [&](int slot) -> long {
            return slot < 6 ? mb.eq[slot] : mb.offset + slot - 6;
        };
        chain.fill(mb);
        // The chain's values, B times them piece by piece (and the bar's mass), and back.
        z.assign(static_cast<std::size_t>(chain.dofs) * q, 0.0);
        w.assign(z.size(), 0.0);
        for (int i = 0; i < chain.dofs; ++i)
            for (int t = 0; t < chain.count[i]; ++t) {
                const double* src = x + index(chain.at(i)[t]) * q;
                const double c = chain.weights(i)[t];
                for (int s = 0; s < q; ++s) z[i * q + s] += c * src[s];
            }
        for (int p = which == 2 ? -1 : 0; p < mb.pieces; ++p) {
            const double(*kp)[6] = p < 0 ? bar : k;
            for (int a = 0; a < 6; ++a) {
                const int ra = p < 0 ? (a / 3) * 3 * mb.pieces + a % 3 : 3 * p + a;
                for (int b = 0; b < 6; ++b) {
                    if (kp[a][b] == 0.0) continue;
                    const int rb = p < 0 ? (b / 3) * 3 * mb.pieces + b % 3 : 3 * p + b;
                    for (int s = 0; s < q; ++s) w[ra * q + s] += kp[a][b] * z[rb * q + s];
                }
            }
        }
        for (int i = 0; i < chain.dofs; ++i)
            for (int t = 0; t < chain.count[i]; ++t) {
                double* dst = y + index(chain.at(i)[t]) * q;
                const double c = chain.weights(i)[t];
                for (int s = 0; s < q; ++s) dst[s] += c * w[i * q + s];
            }
    }
}

// x = K^-1 x: interior unknowns condensed member by member, the boundary solved with the
// factor, the interior recovered.
void solve_k(Problem& pb, int q, double* x) {
    std::vector<double> mat, t;
    Chain chain;
    auto each_member = [&](bool forward) {
        for (const Member& mb : pb.members) {
            if (mb.inner == 0) continue;
            member_matrix(mb, pb.sigma, pb.buckling, chain, mat);
            factor_inner(mb, mat);
            const int dim = 6 + mb.inner;
            double* xi = x + mb.offset * q; // the member's inner rows, contiguous
            t.assign(static_cast<std::size_t>(mb.inner) * q, 0.0);
            if (forward) { // z = K_ii^-1 y_i; y_b -= K_bi z
                solve_inner(mb, mat, xi, q);
                for (int a = 0; a < 6; ++a) {
                    if (mb.eq[a] < 0) continue;
                    double* xb = x + static_cast<long>(mb.eq[a]) * q;
                    for (int i = 0; i < mb.inner; ++i) {
                        const double k = mat[static_cast<std::size_t>(a) * dim + 6 + i];
                        for (int s = 0; s < q; ++s) xb[s] -= k * xi[i * q + s];
                    }
                }
            } else { // x_i = z - K_ii^-1 K_ib x_b
                for (int a = 0; a < 6; ++a) {
                    if (mb.eq[a] < 0) continue;
                    const double* xb = x + static_cast<long>(mb.eq[a]) * q;
                    for (int i = 0; i < mb.inner; ++i) {
                        const double k = mat[static_cast<std::size_t>(a) * dim + 6 + i];
                        for (int s = 0; s < q; ++s) t[i * q + s] += k * xb[s];
                    }
                }
                solve_inner(mb, mat, t.data(), q);
                for (std::size_t i = 0; i < t.size(); ++i) xi[i] -= t[i];
            }
        }
    };
    each_member(true);
    std::vector<double> b(static_cast<std::size_t>(pb.nb));
    for (int s = 0; s < q && pb.nb > 0; ++s) {
        for (int i = 0; i < pb.nb; ++i) b[i] = x[static_cast<long>(i) * q + s];
        ldlt_forward(pb.S, b.data());
        ldlt_solve(pb.S, b.data());
        for (int i = 0; i < pb.nb; ++i) x[static_cast<long>(i) * q + s] = b[i];
    }
    each_member(false);
}

} // namespace kestrel::engine::eigen
