// Global equations of the engine: equation numbering (the file's node order or the
// bandwidth-reducing one, whichever has the smaller profile), the profile of the stiffness matrix,
// the load vector, the assembly of element stiffnesses with skew nodes, springs and prescribed
// displacements, and the profile LDLT factorisation with its singularity test.
#include "analysis/engine/fem.h"
#include "analysis/engine/ldlt.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace kestrel::engine {

void fem_element_equations(const Element& e, int eq[kMaxElementDofs]) {
    const FemState& m = g_fem;
    const int nodes = kElementClasses[e.cls].nodes;
    for (int a = 0; a < nodes; ++a)
        for (int k = 0; k < kDofsPerNode; ++k) eq[a * kDofsPerNode + k] = m.dof[e.nodes[a] - 1][k];
}

namespace {

// Turns a global 3-vector into the axes of a skew node: out = S^T v.
void to_node_axes(const double S[3][3], const double* v, double* out) {
    for (int q = 0; q < 3; ++q) out[q] = S[0][q] * v[0] + S[1][q] * v[1] + S[2][q] * v[2];
}

void assemble_stiffness(ProfileMatrix& K) {
    FemState& m = g_fem;
    double kg[kMaxElementDofs][kMaxElementDofs];
    int eq[kMaxElementDofs];
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const Element& e = m.elems[ie];
        const ElementClass& ec = kElementClasses[e.cls];
        ec.global_stiffness(e, kg);
        const int ndof = ec.nodes * kDofsPerNode;
        if (m.nskew > 0) {
            // K' = T^T K T, T block diagonal with each skew node's S on its two triads.
            for (int a = 0; a < ndof / 3; ++a) {
                int sa = m.skew_of[e.nodes[a / 2] - 1];
                if (sa < 0) continue;
                const double(*S)[3] = m.skews[sa].S;
                for (int c = 0; c < ndof; ++c) { // rows of triad a: S^T * K
                    double v[3] = {kg[3 * a][c], kg[3 * a + 1][c], kg[3 * a + 2][c]}, w[3];
                    to_node_axes(S, v, w);
                    for (int q = 0; q < 3; ++q) kg[3 * a + q][c] = w[q];
                }
                for (int r = 0; r < ndof; ++r) { // columns of triad a: K * S
                    double v[3] = {kg[r][3 * a], kg[r][3 * a + 1], kg[r][3 * a + 2]}, w[3];
                    to_node_axes(S, v, w);
                    for (int q = 0; q < 3; ++q) kg[r][3 * a + q] = w[q];
                }
            }
        }
        fem_element_equations(e, eq);
        for (int r = 0; r < ndof; ++r) {
            if (eq[r] == 0) continue;
            const int row = eq[r] - 1;
            double* kr = K.row_start(row);
            const int fr = K.first[row];
            for (int c = 0; c < ndof; ++c)
                if (eq[c] != 0 && eq[c] <= eq[r]) kr[eq[c] - 1 - fr] += kg[r][c];
        }
    }
}

// Numbers the free freedoms (non-zero entries of the freedom table) node by node in the given
// order of node indices (null: the file's order), freedom by freedom. Returns their count.
int number_nodes(const int* order) {
    FemState& m = g_fem;
    int n = 0;
    for (int i = 0; i < m.nnode; ++i) {
        int* dof = m.dof[order ? order[i] : i];
        for (int k = 0; k < kDofsPerNode; ++k)
            if (dof[k] != 0) dof[k] = ++n;
    }
    return n;
}

// First column of every equation row under the present numbering; returns the profile size.
std::size_t fill_profile() {
    FemState& m = g_fem;
    const int n = m.neq;
    for (int i = 0; i < n; ++i) m.first[i] = n + 1;
    int eq[kMaxElementDofs];
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const Element& e = m.elems[ie];
        const int ndof = kElementClasses[e.cls].nodes * kDofsPerNode;
        fem_element_equations(e, eq);
        int low = 0;
        for (int k = 0; k < ndof; ++k)
            if (eq[k] > 0 && (low == 0 || eq[k] < low)) low = eq[k];
        for (int k = 0; k < ndof; ++k)
            if (eq[k] > 0 && low - 1 < m.first[eq[k] - 1]) m.first[eq[k] - 1] = low - 1;
    }
    // An equation that no element touches keeps only its diagonal.
    std::size_t size = 0;
    for (int i = 0; i < n; ++i) {
        if (m.first[i] > i) m.first[i] = i;
        size += static_cast<std::size_t>(i - m.first[i] + 1);
    }
    return size;
}

} // namespace

EquationOrder g_equation_order = EquationOrder::Automatic;

bool fem_number_equations() {
    FemState& m = g_fem;
    for (int i = 0; i < m.npresc; ++i) m.dof[m.presc[i].node - 1][m.presc[i].dof] = 0;
    // Every freedom of the beam is active, so the active set is all six; 1 marks a free
    // freedom until it is numbered.
    for (int node = 0; node < m.nnode; ++node)
        for (int k = 0; k < kDofsPerNode; ++k) m.dof[node][k] = m.dof[node][k] == 1 ? 0 : 1;
    m.neq = number_nodes(nullptr);
    m.reordered = false;
    return true;
}

bool fem_build_profile() {
    FemState& m = g_fem;
    m.first = static_cast<int*>(utl_calloc(static_cast<std::size_t>(m.neq), sizeof(int)));
    if (!m.first) return false;
    const std::size_t in_file_order = fill_profile();
    m.timings.profile_file_order = in_file_order;
    if (g_equation_order == EquationOrder::FileOrder || m.nnode < 2) return true;
    // The reordered profile is measured on the node graph first: the freedoms are renumbered
    // and the profile rebuilt only when the new order is taken.
    int* order = static_cast<int*>(utl_calloc(static_cast<std::size_t>(m.nnode), sizeof(int)));
    std::size_t reordered = 0;
    if (!order || !fem_node_order(order, &reordered)) {
        utl_free(order);
        return false;
    }
    m.timings.profile_reordered = reordered;
    if (g_equation_order == EquationOrder::Reordered || reordered < in_file_order) {
        number_nodes(order);
        fill_profile();
        m.reordered = true;
    }
    utl_free(order);
    return true;
}

namespace {

bool append_record(DofRecord** table, int* n, int* cap, const DofRecord& r) {
    if (*n == *cap) {
        const int grow = *cap * 2 + 6;
        auto* bigger =
            static_cast<DofRecord*>(utl_calloc(static_cast<std::size_t>(grow), sizeof(DofRecord)));
        if (!bigger) return false;
        if (*n) std::memcpy(bigger, *table, sizeof(DofRecord) * static_cast<std::size_t>(*n));
        utl_free(*table);
        *table = bigger;
        *cap = grow;
    }
    (*table)[(*n)++] = r;
    return true;
}

// Nodal forces at skew nodes are turned into the node's axes, case by case, adding the
// components that the turn creates. The table of forces is rebuilt, still grouped by case.
bool skew_node_forces() {
    FemState& m = g_fem;
    if (m.nskew == 0) return true;
    DofRecord* out = nullptr;
    int nout = 0, cap = 0;
    for (int c = 0; c < m.ncase; ++c) {
        const int begin = nout;
        bool ok = true;
        for (int r = m.force_start[c]; ok && r < m.force_start[c + 1]; ++r)
            ok = append_record(&out, &nout, &cap, m.forces[r]);
        for (int is = 0; ok && is < m.nskew; ++is) {
            const SkewNode& s = m.skews[is];
            double g[6] = {};
            int at[6] = {-1, -1, -1, -1, -1, -1};
            bool any = false;
            const int existing = nout;
            for (int r = begin; r < existing; ++r) {
                if (out[r].node != s.node) continue;
                g[out[r].dof] = out[r].value;
                at[out[r].dof] = r;
                any = true;
            }
            if (!any) continue;
            double l[6];
            to_node_axes(s.S, g, l);
            to_node_axes(s.S, g + 3, l + 3);
            for (int k = 0; ok && k < 6; ++k) {
                if (at[k] >= 0)
                    out[at[k]].value = l[k];
                else if (std::fabs(l[k]) >= 1e-6)
                    ok = append_record(&out, &nout, &cap, DofRecord{s.node, k, l[k], c});
            }
        }
        if (!ok) {
            utl_free(out);
            return false;
        }
        m.force_start[c] = begin;
    }
    m.force_start[m.ncase] = nout;
    utl_free(m.forces);
    m.forces = out;
    m.nforce = nout;
    m.force_cap = cap;
    return true;
}

// The distinct prescribed freedoms of all cases, and the penalties each gets on the diagonal:
// one per record of the case that has the most records for it (one, unless a case repeats it).
bool prescribed_freedoms() {
    FemState& m = g_fem;
    if (m.npresc == 0) return true;
    const std::size_t count = static_cast<std::size_t>(m.npresc);
    int* slot = static_cast<int*>(
        utl_calloc(static_cast<std::size_t>(m.nnode) * kDofsPerNode, sizeof(int)));
    int* seen = static_cast<int*>(utl_calloc(count, sizeof(int)));
    m.presc_eq = static_cast<int*>(utl_calloc(count, sizeof(int)));
    m.penalties = static_cast<int*>(utl_calloc(count, sizeof(int)));
    const bool ok = slot && seen && m.presc_eq && m.penalties;
    for (int c = 0; ok && c < m.ncase; ++c) {
        for (int r = m.presc_start[c]; r < m.presc_start[c + 1]; ++r) {
            const int key = (m.presc[r].node - 1) * kDofsPerNode + m.presc[r].dof;
            if (slot[key] == 0) {
                m.presc_eq[m.npresc_eq] = key;
                slot[key] = ++m.npresc_eq;
            }
            const int i = slot[key] - 1;
            if (++seen[i] > m.penalties[i]) m.penalties[i] = seen[i];
        }
        for (int r = m.presc_start[c]; r < m.presc_start[c + 1]; ++r)
            seen[slot[(m.presc[r].node - 1) * kDofsPerNode + m.presc[r].dof] - 1] = 0;
    }
    utl_free(slot);
    utl_free(seen);
    return ok;
}

} // namespace

int fem_prescribed_equation(int i) {
    const FemState& m = g_fem;
    const int key = m.presc_eq[i]; // node and freedom as one key
    return m.dof[key / kDofsPerNode][key % kDofsPerNode];
}

bool fem_assemble_loads() {
    FemState& m = g_fem;
    if (!fem_apply_case_loads(0)) return false;
    const int n = m.neq;
    if (n == 0) return true;
    if (!skew_node_forces() || !prescribed_freedoms()) return false;
    m.f = static_cast<double*>(utl_calloc(static_cast<std::size_t>(n), sizeof(double)));
    m.u = static_cast<double*>(utl_calloc(static_cast<std::size_t>(n), sizeof(double)));
    if (!m.f || !m.u) return false;
    fem_case_loads(0, m.f);
    return true;
}

int fem_element_load_vector(const Element& e, double g[kMaxElementDofs], int eq[kMaxElementDofs]) {
    const FemState& m = g_fem;
    const ElementClass& ec = kElementClasses[e.cls];
    const double* F = ec.load_sum(e);
    double neg[kMaxElementDofs];
    for (int k = 0; k < kMaxElementDofs; ++k) neg[k] = -F[k];
    ec.to_global(e, neg, g);
    fem_element_equations(e, eq);
    for (int a = 0; a < ec.nodes; ++a) {
        int sk = m.skew_of[e.nodes[a] - 1];
        if (sk >= 0) {
            double w[3];
            for (int t = 0; t < 2; ++t) {
                to_node_axes(m.skews[sk].S, g + 6 * a + 3 * t, w);
                std::memcpy(g + 6 * a + 3 * t, w, sizeof w);
            }
        }
    }
    return ec.nodes * kDofsPerNode;
}

void fem_add_member_load_vectors(double* f) {
    FemState& m = g_fem;
    // The entries of prescribed freedoms stay as they are: kept aside, put back.
    std::vector<double> held(static_cast<std::size_t>(m.npresc_eq));
    for (int i = 0; i < m.npresc_eq; ++i) held[i] = f[fem_prescribed_equation(i) - 1];
    int eq[kMaxElementDofs];
    double g[kMaxElementDofs];
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const Element& e = m.elems[ie];
        if (e.load < 0) continue;
        const int ndof = fem_element_load_vector(e, g, eq);
        for (int k = 0; k < ndof; ++k)
            if (eq[k] > 0) f[eq[k] - 1] += g[k];
    }
    for (int i = 0; i < m.npresc_eq; ++i) f[fem_prescribed_equation(i) - 1] = held[i];
}

void fem_case_loads(int c, double* f) {
    FemState& m = g_fem;
    std::memset(f, 0, sizeof(double) * static_cast<std::size_t>(m.neq));
    for (int r = m.force_start[c]; r < m.force_start[c + 1]; ++r) {
        int e = m.dof[m.forces[r].node - 1][m.forces[r].dof];
        if (e > 0) f[e - 1] = m.forces[r].value;
    }
    fem_add_member_load_vectors(f);
    // A freedom prescribed in any case takes the penalty times this case's value (0 when the
    // case prescribes nothing there: held like a support).
    for (int i = 0; i < m.npresc_eq; ++i) f[fem_prescribed_equation(i) - 1] = 0.0;
    for (int r = m.presc_start[c]; r < m.presc_start[c + 1]; ++r) {
        int e = m.dof[m.presc[r].node - 1][m.presc[r].dof];
        if (e > 0) f[e - 1] = kPenalty * m.presc[r].value;
    }
}

namespace {

// Builds the stiffness matrix in the present equation order, adds springs and prescribed
// displacements, factorises it and solves for u. kAnalyseSolved, kAnalyseSingular or
// kAnalyseFatal (no memory for the matrix or the factorisation's workspace).
int solve_equations(int n, const int* first, double* f, double* u) {
    FemState& m = g_fem;
    double t0 = fem_seconds();
    utl_profilefree(&m.K);
    if (!utl_profilealloc(n, first, sizeof(double), &m.K)) return kAnalyseFatal;
    ProfileMatrix& K = m.K;
    m.timings.profile_entries = K.size;
    m.timings.reordered = m.reordered;
    assemble_stiffness(K);
    double smallest = std::fabs(K.at(0, 0));
    for (int i = 1; i < n; ++i) smallest = std::fmin(smallest, std::fabs(K.at(i, i)));
    const double tol = 1e-10 * smallest;
    m.tol = tol;
    for (int r = 0; r < m.nspring; ++r) {
        int e = m.dof[m.springs[r].node - 1][m.springs[r].dof];
        if (e > 0) K.at(e - 1, e - 1) += m.springs[r].value;
    }
    for (int i = 0; i < m.npresc_eq; ++i) {
        const int e = fem_prescribed_equation(i);
        for (int p = 0; p < m.penalties[i]; ++p) K.at(e - 1, e - 1) += kPenalty;
    }
    double t1 = fem_seconds();
    m.timings.assemble += t1 - t0;
    const double c1 = fem_cpu_seconds();

    double flops = 0;
    std::memcpy(u, f, sizeof(double) * static_cast<std::size_t>(n));
    const int failed = ldlt_factor(K, tol, u, &flops);
    if (failed == kLdltNoMemory) return kAnalyseFatal;
    if (failed >= 0) {
        m.timings.factor += fem_seconds() - t1;
        m.timings.factor_cpu += fem_cpu_seconds() - c1;
        m.timings.factor_flops += flops;
        return kAnalyseSingular;
    }
    ldlt_solve(K, u);
    flops += 4.0 * static_cast<double>(K.size) + n;
    m.timings.factor += fem_seconds() - t1;
    m.timings.factor_cpu += fem_cpu_seconds() - c1;
    m.timings.factor_flops += flops;
    return kAnalyseSolved;
}

// Goes back from the bandwidth-reducing order to the file's order: renumbers the freedoms,
// carries the load vector over and rebuilds the profile.
bool return_to_file_order(double* f) {
    FemState& m = g_fem;
    const int n = m.neq;
    auto* moved = static_cast<double*>(utl_calloc(static_cast<std::size_t>(n), sizeof(double)));
    if (!moved) return false;
    int next = 0;
    for (int node = 0; node < m.nnode; ++node)
        for (int k = 0; k < kDofsPerNode; ++k) {
            int& e = m.dof[node][k];
            if (e == 0) continue;
            moved[next] = f[e - 1];
            e = ++next;
        }
    std::memcpy(f, moved, sizeof(double) * static_cast<std::size_t>(n));
    utl_free(moved);
    m.reordered = false;
    fill_profile();
    return true;
}

// A further case with the finished factor: its loads, its load vector, the forward and the
// backward substitution.
bool solve_case(int c) {
    FemState& m = g_fem;
    const double t0 = fem_seconds();
    if (!fem_apply_case_loads(c)) return false;
    const int n = m.neq;
    if (n == 0) return true;
    fem_case_loads(c, m.f);
    std::memcpy(m.u, m.f, sizeof(double) * static_cast<std::size_t>(n));
    const double t1 = fem_seconds();
    m.timings.assemble += t1 - t0;
    const double c1 = fem_cpu_seconds();
    ldlt_forward(m.K, m.u);
    ldlt_solve(m.K, m.u);
    m.timings.factor += fem_seconds() - t1;
    m.timings.factor_cpu += fem_cpu_seconds() - c1;
    m.timings.factor_flops += 4.0 * static_cast<double>(m.K.size) + n;
    return true;
}

} // namespace

int fem_linear_static(int n, const int* first, double* f, double* u) {
    FemState& m = g_fem;
    m.timings.cases = m.ncase;
    if (n > 0) {
        int result = solve_equations(n, first, f, u);
        // Whether a pivot falls below the tolerance depends on the order of the equations;
        // the verdict singular is the file order's.
        if (result == kAnalyseSingular && m.reordered) {
            if (!return_to_file_order(f)) return kAnalyseFatal;
            result = solve_equations(n, first, f, u);
        }
        if (result != kAnalyseSolved) return result;
        // The end forces need only the displacements; further cases and shares need the factor.
        if (m.ncase == 1 && !fem_shares_wanted()) utl_profilefree(&m.K);
    }
    for (int c = 0; c < m.ncase; ++c) {
        if (c > 0 && !solve_case(c)) return kAnalyseFatal;
        // A solution that is not finite is no result: the frame cannot be
        // analysed with these values, as a singular one cannot.
        if (!fem_write_case(c)) return m.not_finite ? kAnalyseSingular : kAnalyseFatal;
    }
    if (!fem_solve_shares()) return kAnalyseFatal;
    utl_profilefree(&m.K);
    return kAnalyseSolved;
}

int fem_factor_solve(double* f, double* u, bool positive_definite) {
    FemState& m = g_fem;
    int result = solve_equations(m.neq, m.first, f, u);
    // As in the linear analysis, the verdict singular is the file order's; a stiffness that
    // must stay positive definite (second order) is judged in the order it has.
    if (result == kAnalyseSingular && m.reordered && !positive_definite) {
        if (!return_to_file_order(f)) return kAnalyseFatal;
        result = solve_equations(m.neq, m.first, f, u);
    }
    if (result == kAnalyseSolved && positive_definite)
        for (int i = 0; i < m.neq; ++i)
            if (!(m.K.at(i, i) > 0.0)) return kAnalyseSingular;
    return result;
}

void fem_node_displacements(int node, double d[6]) {
    fem_node_values(g_fem.u, 1, node, d);
}

void fem_node_values(const double* u, int stride, int node, double d[6]) {
    const FemState& m = g_fem;
    for (int k = 0; k < kDofsPerNode; ++k) {
        int e = m.dof[node - 1][k];
        d[k] = e > 0 ? u[static_cast<std::ptrdiff_t>(e - 1) * stride] : 0.0;
    }
    int sk = m.skew_of[node - 1];
    if (sk < 0) return;
    const double(*S)[3] = m.skews[sk].S;
    for (int t = 0; t < 2; ++t) {
        double l[3] = {d[3 * t], d[3 * t + 1], d[3 * t + 2]};
        for (int p = 0; p < 3; ++p) d[3 * t + p] = S[p][0] * l[0] + S[p][1] * l[1] + S[p][2] * l[2];
    }
}

} // namespace kestrel::engine
