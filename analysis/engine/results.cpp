// Result section of the result file: the list of load cases, then per case its header, the
// nodal displacements, and the element end values of the kinds that are present. The end forces are
// kept in memory (12 doubles per element) rather than passed through the scratch file, which
// the engine still creates and deletes.
#include "analysis/engine/fem.h"
#include "analysis/engine/format.h"

#include <cmath>
#include <unistd.h>

namespace kestrel::engine {

namespace {

constexpr double kPresent = 1e-5;

const char* const kKindNames[kResultKinds] = {
    "SIGMA_XX ", "SIGMA_YY ", "SIGMA_ZZ ", "SIGMA_XY ", "SIGMA_XZ ", "SIGMA_YZ ", "MOMENT_X ",
    "MOMENT_Y ", "MOMENT_Z ", "MOMENT_XY", "MOMENT_XZ", "MOMENT_YZ", " SIGMA_1 ", " SIGMA_2 ",
    " SIGMA_3 ", " TAU_MAX ", "MOMENT_1 ", "MOMENT_2 ", "MOMENT_3 ", " TOR_MAX "};

// The head of the result section: the case count and each case's number and label.
void write_result_head() {
    FemState& m = g_fem;
    std::FILE* out = m.out;
    std::fprintf(out, "\n%%RESULT");
    std::fprintf(out, "\n%d", m.ncase);
    for (int c = 0; c < m.ncase; ++c) std::fprintf(out, "\n%d   '%s'", c + 1, m.cases[c].label);
    std::fprintf(out, "\n");
}

void write_case_and_displacements(int c) {
    FemState& m = g_fem;
    std::FILE* out = m.out;
    CaseSolution* sol = m.solution ? &m.solution->cases.back() : nullptr;
    if (!out) { // the solution only
        sol->displacements.resize(static_cast<std::size_t>(m.nnode) * 6);
        for (int node = 1; node <= m.nnode; ++node)
            fem_node_displacements(node,
                                   &sol->displacements[static_cast<std::size_t>(node - 1) * 6]);
        return;
    }
    std::fprintf(out, "\n%%RESULT.CASE ");
    std::fprintf(out, "\n%d   %d", c + 1, 1);
    std::fprintf(out, "\n%4d  'Step_%d'  0.000   0.000", 1, 1);
    std::fprintf(out, "\n\n%%RESULT.CASE.STEP");
    std::fprintf(out, "\n%d\n\n", 1);
    std::fprintf(out, "\n%%RESULT.CASE.STEP.NODAL.DISPLACEMENT ");
    std::fprintf(out, "\n  %4d   'Displacements' \n", m.nnode);
    if (sol) sol->displacements.reserve(static_cast<std::size_t>(m.nnode) * 6);
    LineBuffer line;
    for (int node = 1; node <= m.nnode; ++node) {
        double d[6];
        fem_node_displacements(node, d);
        if (sol) sol->displacements.insert(sol->displacements.end(), d, d + 6);
        // "  %4d  " then "  %+5.3e" per freedom.
        line.text("  ");
        line.integer(node, 4);
        line.text("  ");
        for (double v : d) {
            line.text("  ");
            line.scientific(v, 5, 3);
        }
        line.text("\n");
        line.flush(out);
    }
}

// End forces of every element, kMaxElementDofs values per element, kept in memory (one table,
// used by each case in turn).
bool compute_end_forces() {
    FemState& m = g_fem;
    if (!m.end_forces)
        m.end_forces = static_cast<double*>(
            utl_calloc(static_cast<std::size_t>(m.nelem_read) * kMaxElementDofs, sizeof(double)));
    if (!m.end_forces) return false;
    double d[kMaxElementDofs];
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const Element& e = m.elems[ie];
        const ElementClass& ec = kElementClasses[e.cls];
        double* forces = m.end_forces + static_cast<std::size_t>(ie) * kMaxElementDofs;
        for (int a = 0; a < ec.nodes; ++a) fem_node_displacements(e.nodes[a], d + a * kDofsPerNode);
        ec.internal_forces(e, d, forces);
    }
    return true;
}

// The caller's copy of the end forces of the case being written (the element numbers with the
// first case).
void keep_end_forces(bool first) {
    FemState& m = g_fem;
    if (!m.solution) return;
    if (first) {
        m.solution->equations = m.neq;
        m.solution->element_numbers.reserve(static_cast<std::size_t>(m.nelem_read));
        for (int ie = 0; ie < m.nelem_read; ++ie)
            m.solution->element_numbers.push_back(m.elems[ie].number);
    }
    const std::size_t values = static_cast<std::size_t>(m.nelem_read) * kMaxElementDofs;
    m.solution->cases.back().end_forces.assign(m.end_forces, m.end_forces + values);
}

// Values beyond the range of a double (loads or prescribed displacements of
// 1e300, a modulus of 1e-300) leave infinities or NaN in the solution: no
// result is written then, and the message names where it happened.
bool not_finite(const char* what, int number) {
    FemState& m = g_fem;
    std::string where = std::string(what) + " " + std::to_string(number);
    if (m.ncase > 1) where += " in load case " + std::to_string(m.current_case + 1);
    m.error = "The results are not finite numbers (" + where +
              "): loads, prescribed displacements or properties of the frame are out of range.";
    m.not_finite = true;
    return false;
}

bool finite_displacements() {
    FemState& m = g_fem;
    for (int node = 1; node <= m.nnode; ++node) {
        double d[6];
        fem_node_displacements(node, d);
        for (double v : d)
            if (!std::isfinite(v)) return not_finite("displacement of node", node);
    }
    return true;
}

bool finite_end_forces() {
    FemState& m = g_fem;
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const double* forces = m.end_forces + static_cast<std::size_t>(ie) * kMaxElementDofs;
        for (int k = 0; k < kMaxElementDofs; ++k)
            if (!std::isfinite(forces[k]))
                return not_finite("end forces of element", m.elems[ie].number);
    }
    return true;
}

bool write_element_results() {
    FemState& m = g_fem;
    if (!m.out) return true;
    bool present[kResultKinds] = {};
    double kinds[kResultKinds];
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const Element& e = m.elems[ie];
        const double* forces = m.end_forces + static_cast<std::size_t>(ie) * kMaxElementDofs;
        for (int a = 0; a < kElementClasses[e.cls].nodes; ++a) {
            kElementClasses[e.cls].kind_values(forces, a, kinds);
            for (int k = 0; k < kResultKinds; ++k)
                if (std::fabs(kinds[k]) >= kPresent) present[k] = true;
        }
    }
    int npresent = 0;
    for (bool p : present) npresent += p ? 1 : 0;
    if (npresent == 0) return true;
    std::FILE* out = m.out;
    std::fprintf(out, "\n%%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR");
    std::fprintf(out, "\n%4d\n", npresent);
    for (int k = 0; k < kResultKinds; ++k)
        if (present[k]) std::fprintf(out, "  '%s'", kKindNames[k]);
    std::fprintf(out, "\n");
    std::fprintf(out, "\n%%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR.DATA");
    std::fprintf(out, "\n%4d\n", m.nelem_read);
    LineBuffer line;
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const Element& e = m.elems[ie];
        const double* forces = m.end_forces + static_cast<std::size_t>(ie) * kMaxElementDofs;
        line.integer(e.number, 4); // "%4d\n", then "   %+10.5e" per present kind
        line.text("\n");
        for (int a = 0; a < kElementClasses[e.cls].nodes; ++a) {
            kElementClasses[e.cls].kind_values(forces, a, kinds);
            for (int k = 0; k < kResultKinds; ++k) {
                if (!present[k]) continue;
                line.text("   ");
                line.scientific(kinds[k], 10, 5);
            }
            line.text("\n");
        }
        line.flush(out);
    }
    return true;
}

} // namespace

bool fem_write_case(int c) {
    FemState& m = g_fem;
    double t0 = fem_seconds();
    m.current_case = c;
    // Every value of the case is checked before its results are begun; a case after the first
    // that is not finite takes the whole result section back out of the file.
    if (!finite_displacements() || !compute_end_forces() || !finite_end_forces()) {
        if (m.solution) *m.solution = EngineSolution{};
        if (m.out && m.result_start >= 0 &&
            (std::fflush(m.out) != 0 || ::ftruncate(::fileno(m.out), m.result_start) != 0 ||
             std::fseek(m.out, m.result_start, SEEK_SET) != 0)) {
            m.not_finite = false; // the result file cannot be put right: no result at all
            m.error = "\n\n\n\t *** Error on openning Output files !!! *** \n";
            return false;
        }
        return false;
    }
    double t1 = fem_seconds();
    if (c == 0 && m.out) {
        m.result_start = std::ftell(m.out);
        write_result_head();
    }
    if (m.solution) {
        m.solution->cases.emplace_back();
        m.solution->cases.back().label = m.cases[c].label;
    }
    write_case_and_displacements(c);
    keep_end_forces(c == 0);
    if (!write_element_results()) return false;
    m.timings.forces += t1 - t0;
    m.timings.write += fem_seconds() - t1;
    return true;
}

} // namespace kestrel::engine
