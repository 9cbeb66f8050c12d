// Shares of split load cases: the loads of each loaded element of a case, and the case's nodal
// forces and prescribed displacements, solved each on their own with the factorisation of the
// cases once every case is written. kLdltLanes shares go through the factor at a time, side by
// side; their end forces come from per-element matrices formed once, so that a share costs
// its load vector, its part of a solution and the products with those matrices. Each share
// goes to the caller's sink; nothing of it reaches the result file.
#include "analysis/engine/fem.h"
#include "analysis/engine/ldlt.h"

#include <cstring>

namespace kestrel::engine {

namespace {

constexpr int kLanes = kLdltLanes;

// The end forces that the displacements of one element cause, as a matrix times the values of
// its equations (node axes): the columns are its freedoms that have an equation, the rows the
// end forces those reach. Every other end force stays zero.
struct ShareElement {
    int rows, cols;
    unsigned char row[kMaxElementDofs];
    int eq[kMaxElementDofs]; // 0-based equation of each column
    double* values;          // rows x cols, row by row
};

// The tables of one request, released together.
struct ShareWork {
    ShareElement* elems = nullptr;
    double* pool = nullptr;   // the matrices' values
    double* b = nullptr;      // neq x kLanes: the load vectors, then the displacements
    double* disp = nullptr;   // per lane: 6 per node
    double* forces = nullptr; // per lane: 12 per element
    ~ShareWork() {
        utl_free(elems);
        utl_free(pool);
        utl_free(b);
        utl_free(disp);
        utl_free(forces);
    }
};

// One column of an element's matrix: the end forces of a unit value of freedom c in the axes
// of its node, for the element without its loads.
void unit_end_forces(const Element& unloaded, int c, double out[kMaxElementDofs]) {
    const FemState& m = g_fem;
    double d[kMaxElementDofs] = {};
    const int a = c / kDofsPerNode, t = (c % kDofsPerNode) / 3, q = c % 3;
    const int sk = m.skew_of[unloaded.nodes[a] - 1];
    if (sk < 0) {
        d[c] = 1.0;
    } else {
        for (int p = 0; p < 3; ++p) d[kDofsPerNode * a + 3 * t + p] = m.skews[sk].S[p][q];
    }
    kElementClasses[unloaded.cls].internal_forces(unloaded, d, out);
}

bool build_elements(ShareWork& w) {
    const FemState& m = g_fem;
    const auto nelem = static_cast<std::size_t>(m.nelem_read);
    w.elems = static_cast<ShareElement*>(utl_calloc(nelem, sizeof(ShareElement)));
    if (!w.elems) return false;
    int eq[kMaxElementDofs];
    std::size_t values = 0;
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const Element& e = m.elems[ie];
        fem_element_equations(e, eq);
        for (int c = 0; c < kElementClasses[e.cls].nodes * kDofsPerNode; ++c)
            if (eq[c] > 0) values += kMaxElementDofs;
    }
    w.pool = static_cast<double*>(utl_calloc(values > 0 ? values : 1, sizeof(double)));
    if (!w.pool) return false;
    double* next = w.pool;
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        Element e = m.elems[ie];
        e.load = -1; // the stiffness alone: a share adds the fixed-end forces of its own element
        const int ndof = kElementClasses[e.cls].nodes * kDofsPerNode;
        ShareElement& se = w.elems[ie];
        double col[kMaxElementDofs][kMaxElementDofs];
        fem_element_equations(e, eq);
        se.cols = 0;
        for (int c = 0; c < ndof; ++c) {
            if (eq[c] <= 0) continue;
            unit_end_forces(e, c, col[se.cols]);
            se.eq[se.cols++] = eq[c] - 1;
        }
        se.rows = 0;
        se.values = next;
        for (int r = 0; r < kMaxElementDofs; ++r) {
            bool reached = false;
            for (int c = 0; c < se.cols; ++c) reached = reached || col[c][r] != 0.0;
            if (!reached) continue;
            for (int c = 0; c < se.cols; ++c) next[c] = col[c][r];
            next += se.cols;
            se.row[se.rows++] = static_cast<unsigned char>(r);
        }
    }
    return true;
}

// Load vector of one share into lane s of w.b (zero before): the element's equivalent nodal
// loads, or for element -1 the case's nodal forces and prescribed displacements; as the load
// vector of the whole case, every prescribed freedom takes 0 unless the share prescribes it.
void load_lane(const ShareWork& w, int s, int c, int element) {
    const FemState& m = g_fem;
    double* b = w.b + s;
    if (element >= 0) {
        double g[kMaxElementDofs];
        int eq[kMaxElementDofs];
        const int ndof = fem_element_load_vector(m.elems[element], g, eq);
        for (int k = 0; k < ndof; ++k)
            if (eq[k] > 0) b[static_cast<std::ptrdiff_t>(eq[k] - 1) * kLanes] += g[k];
    } else {
        for (int r = m.force_start[c]; r < m.force_start[c + 1]; ++r) {
            const int e = m.dof[m.forces[r].node - 1][m.forces[r].dof];
            if (e > 0) b[static_cast<std::ptrdiff_t>(e - 1) * kLanes] = m.forces[r].value;
        }
    }
    for (int i = 0; i < m.npresc_eq; ++i)
        b[static_cast<std::ptrdiff_t>(fem_prescribed_equation(i) - 1) * kLanes] = 0.0;
    if (element >= 0) return;
    for (int r = m.presc_start[c]; r < m.presc_start[c + 1]; ++r) {
        const int e = m.dof[m.presc[r].node - 1][m.presc[r].dof];
        if (e > 0) b[static_cast<std::ptrdiff_t>(e - 1) * kLanes] = kPenalty * m.presc[r].value;
    }
}

// Displacements and end forces of every lane from the solutions in w.b (lanes without a share
// hold zeros and give zeros).
void lane_results(const ShareWork& w) {
    const FemState& m = g_fem;
    const std::size_t per_disp = static_cast<std::size_t>(m.nnode) * kDofsPerNode;
    const std::size_t per_force = static_cast<std::size_t>(m.nelem_read) * kMaxElementDofs;
    for (int node = 1; node <= m.nnode; ++node)
        for (int s = 0; s < kLanes; ++s)
            fem_node_values(w.b + s, kLanes, node,
                            w.disp + s * per_disp +
                                static_cast<std::size_t>(node - 1) * kDofsPerNode);
    double x[kMaxElementDofs][kLanes], y[kMaxElementDofs][kLanes];
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const ShareElement& se = w.elems[ie];
        for (int c = 0; c < se.cols; ++c)
            std::memcpy(x[c], w.b + static_cast<std::ptrdiff_t>(se.eq[c]) * kLanes, sizeof x[c]);
        ldlt_lanes_product(se.values, se.rows, se.cols, x[0], y[0]);
        double* out = w.forces + static_cast<std::size_t>(ie) * kMaxElementDofs;
        for (int r = 0; r < se.rows; ++r)
            for (int s = 0; s < kLanes; ++s) out[s * per_force + se.row[r]] = y[r][s];
    }
}

// Solves the shares of case c, kLanes at a time, and hands each to the sink.
bool solve_case_shares(ShareWork& w, int c) {
    FemState& m = g_fem;
    if (!fem_apply_case_loads(c)) return false;
    const std::size_t per_disp = static_cast<std::size_t>(m.nnode) * kDofsPerNode;
    const std::size_t per_force = static_cast<std::size_t>(m.nelem_read) * kMaxElementDofs;
    const std::size_t rows = static_cast<std::size_t>(m.neq > 0 ? m.neq : 1) * kLanes;
    const bool nodal =
        m.force_start[c] < m.force_start[c + 1] || m.presc_start[c] < m.presc_start[c + 1];
    // The shares in order: the nodal one (-1), then the loaded elements in list order.
    int next = nodal ? -1 : 0;
    auto advance = [&](int at) {
        while (at < m.nelem_read && m.elems[at].load < 0) ++at;
        return at;
    };
    if (!nodal) next = advance(0);
    while (next < m.nelem_read) {
        int lane_share[kLanes];
        int used = 0;
        std::memset(w.b, 0, rows * sizeof(double));
        while (used < kLanes && next < m.nelem_read) {
            load_lane(w, used, c, next);
            lane_share[used++] = next;
            next = advance(next + 1);
        }
        if (m.neq > 0) ldlt_solve_lanes(m.K, w.b);
        lane_results(w);
        for (int s = 0; s < used; ++s) {
            const int element = lane_share[s];
            double* forces = w.forces + s * per_force;
            double* own = element >= 0 ? forces + static_cast<std::size_t>(element) * 12 : nullptr;
            if (own) {
                const double* F = kElementClasses[m.elems[element].cls].load_sum(m.elems[element]);
                for (int k = 0; k < kMaxElementDofs; ++k) own[k] += F[k];
            }
            m.options->sink->share(c, element >= 0 ? m.elems[element].number : 0,
                                   w.disp + s * per_disp, forces);
            // The end forces outside an element's matrix rows must read zero for the next share.
            if (own) std::memset(own, 0, kMaxElementDofs * sizeof(double));
            ++m.timings.shares_solved;
        }
    }
    return true;
}

bool listed_before(const std::vector<int>& list, std::size_t i) {
    for (std::size_t k = 0; k < i; ++k)
        if (list[k] == list[i]) return true;
    return false;
}

} // namespace

bool fem_shares_wanted() {
    const FemState& m = g_fem;
    if (!m.options || !m.options->sink) return false;
    for (int c : m.options->split_cases)
        if (c >= 0 && c < m.ncase) return true;
    return false;
}

bool fem_solve_shares() {
    FemState& m = g_fem;
    if (!fem_shares_wanted()) return true;
    const double t0 = fem_seconds();
    ShareWork w;
    const std::size_t rows = static_cast<std::size_t>(m.neq > 0 ? m.neq : 1) * kLanes;
    w.b = static_cast<double*>(utl_calloc(rows, sizeof(double)));
    w.disp = static_cast<double*>(
        utl_calloc(static_cast<std::size_t>(m.nnode) * kDofsPerNode * kLanes, sizeof(double)));
    w.forces = static_cast<double*>(utl_calloc(
        static_cast<std::size_t>(m.nelem_read) * kMaxElementDofs * kLanes, sizeof(double)));
    if (!w.b || !w.disp || !w.forces || !build_elements(w)) return false;
    const std::vector<int>& split = m.options->split_cases;
    for (std::size_t i = 0; i < split.size(); ++i) {
        if (split[i] < 0 || split[i] >= m.ncase || listed_before(split, i)) continue;
        if (!solve_case_shares(w, split[i])) return false;
    }
    m.timings.shares += fem_seconds() - t0;
    return true;
}

} // namespace kestrel::engine
