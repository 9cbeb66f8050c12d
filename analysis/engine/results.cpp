// Result section of the result file: the header of the single load case, the nodal
// displacements, the element end forces through the scratch file, and the element values of
// the kinds that are present.
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

void write_header_and_displacements() {
    FemState& m = g_fem;
    std::FILE* out = m.out;
    std::fprintf(out, "\n%%RESULT");
    std::fprintf(out, "\n1");
    std::fprintf(out, "\n1   'Static_Load'\n");
    std::fprintf(out, "\n%%RESULT.CASE ");
    std::fprintf(out, "\n%d   %d", 1, 1);
    std::fprintf(out, "\n%4d  'Step_%d'  0.000   0.000", 1, 1);
    std::fprintf(out, "\n\n%%RESULT.CASE.STEP");
    std::fprintf(out, "\n%d\n\n", 1);
    std::fprintf(out, "\n%%RESULT.CASE.STEP.NODAL.DISPLACEMENT ");
    std::fprintf(out, "\n  %4d   'Displacements' \n", m.nnode);
    if (m.solution) {
        m.solution->equations = m.neq;
        m.solution->displacements.reserve(static_cast<std::size_t>(m.nnode) * 6);
    }
    LineBuffer line;
    for (int node = 1; node <= m.nnode; ++node) {
        double d[6];
        fem_node_displacements(node, d);
        if (m.solution) m.solution->displacements.insert(m.solution->displacements.end(), d, d + 6);
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

// End forces of every element, one record of all kinds per element end, into the scratch file.
bool write_scratch() {
    FemState& m = g_fem;
    double d[kMaxElementDofs], forces[kMaxElementDofs], kinds[kResultKinds];
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const Element& e = m.elems[ie];
        const ElementClass& ec = kElementClasses[e.cls];
        for (int a = 0; a < ec.nodes; ++a) fem_node_displacements(e.nodes[a], d + a * kDofsPerNode);
        ec.internal_forces(e, d, forces);
        if (m.solution) {
            m.solution->element_numbers.push_back(e.number);
            m.solution->end_forces.insert(m.solution->end_forces.end(), forces, forces + 12);
        }
        for (int a = 0; a < ec.nodes; ++a) {
            ec.kind_values(forces, a, kinds);
            if (std::fwrite(kinds, sizeof kinds, 1, m.tmp) != 1)
                return fem_fail("\n\n\n\t *** Error on openning Output files !!! *** \n");
        }
    }
    return std::fflush(m.tmp) == 0 ||
           fem_fail("\n\n\n\t *** Error on openning Output files !!! *** \n");
}

bool write_element_results() {
    FemState& m = g_fem;
    const char* reopen_msg = "\n\n\n\t *** Error on openning Output files !!! *** \n";
    // The scratch file is read back through the handle it was created with, never reopened
    // by name.
    std::rewind(m.tmp);
    bool present[kResultKinds] = {};
    double kinds[kResultKinds];
    while (std::fread(kinds, sizeof kinds, 1, m.tmp) == 1)
        for (int k = 0; k < kResultKinds; ++k)
            if (std::fabs(kinds[k]) >= kPresent) present[k] = true;
    int npresent = 0;
    for (bool p : present) npresent += p ? 1 : 0;
    if (npresent > 0) {
        std::FILE* out = m.out;
        std::fprintf(out, "\n%%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR");
        std::fprintf(out, "\n%4d\n", npresent);
        for (int k = 0; k < kResultKinds; ++k)
            if (present[k]) std::fprintf(out, "  '%s'", kKindNames[k]);
        std::fprintf(out, "\n");
        std::fprintf(out, "\n%%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR.DATA");
        std::fprintf(out, "\n%4d\n", m.nelem_read);
        std::rewind(m.tmp);
        LineBuffer line;
        for (int ie = 0; ie < m.nelem_read; ++ie) {
            const Element& e = m.elems[ie];
            line.integer(e.number, 4); // "%4d\n", then "   %+10.5e" per present kind
            line.text("\n");
            for (int a = 0; a < kElementClasses[e.cls].nodes; ++a) {
                if (std::fread(kinds, sizeof kinds, 1, m.tmp) != 1) return fem_fail(reopen_msg);
                for (int k = 0; k < kResultKinds; ++k) {
                    if (!present[k]) continue;
                    line.text("   ");
                    line.scientific(kinds[k], 10, 5);
                }
                line.text("\n");
            }
            line.flush(out);
        }
    }
    // Emptied for a further analysis step.
    std::rewind(m.tmp);
    if (::ftruncate(::fileno(m.tmp), 0) != 0) return fem_fail(reopen_msg);
    return true;
}

} // namespace

bool fem_write_results() {
    FemState& m = g_fem;
    double t0 = fem_seconds();
    write_header_and_displacements();
    double t1 = fem_seconds();
    if (!write_scratch()) return false;
    double t2 = fem_seconds();
    if (!write_element_results()) return false;
    double t3 = fem_seconds();
    m.timings.forces += t2 - t1;
    m.timings.write += (t1 - t0) + (t3 - t2);
    return true;
}

} // namespace kestrel::engine
