// Second-order (P-Delta) analysis: every load case, and each factored combination the caller
// asks for, solved with the stiffness of its own axial forces. The beam-column stiffness is
// exact (Livesley's stability functions, hyperbolic in tension, a power series near N = 0), so
// a member needs no subdivision; the axial forces are iterated from the linear solution until
// the displacements stop changing.
#include "analysis/engine/fem.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace kestrel::engine {

const char* const kSecondOrderUnstable =
    "The frame is unstable under these loads (second-order analysis did not converge).";

namespace {

constexpr int kMaxIterations = 50;
constexpr double kConverged = 1e-8; // largest change against the largest displacement
constexpr int kSeriesTerms = 14;

// The stability functions as a/d = s and b/d = s c of rho = -N L^2 / EI (compression positive):
// with u^2 = |rho|, a = (sin u - u cos u) / u^3, b = (u - sin u) / u^3 and
// d = (2 (1 - cos u) - u sin u) / u^4, or their hyperbolic forms in tension. Near rho = 0 the
// closed forms lose digits to cancellation; their power series in rho serves both signs there.
void stability_functions(double rho, double* s, double* sc) {
    if (std::fabs(rho) < 1.0) {
        double a = 0, b = 0, d = 0, power = 1, fact = 6; // fact = (2n + 1)!
        for (int n = 1; n <= kSeriesTerms; ++n) {
            const double sign = n % 2 == 1 ? 1.0 : -1.0;
            a += sign * 2 * n * power / fact;
            b += sign * power / fact;
            // The term of d with rho^(n - 1) is the one of index n + 1: (2n + 2)! below.
            const double fact2 = fact * (2 * n + 2);
            d += sign * 2 * n * power / fact2;
            power *= rho;
            fact = fact2 * (2 * n + 3);
        }
        *s = a / d;
        *sc = b / d;
        return;
    }
    const double u = std::sqrt(std::fabs(rho));
    double A, B, D;
    if (rho > 0) {
        A = std::sin(u) - u * std::cos(u);
        B = u - std::sin(u);
        D = 2 * (1 - std::cos(u)) - u * std::sin(u);
    } else { // every term scaled by exp(-u), so that no cosh overflows
        const double t = std::exp(-u), ch = (1 + t * t) / 2, sh = (1 - t * t) / 2;
        A = u * ch - sh;
        B = sh - u * t;
        D = 2 * (t - ch) + u * sh;
    }
    *s = u * A / D;
    *sc = u * B / D;
}

FemState& fem() {
    return g_fem;
}

// Every element's axial force from the displacements in g_fem.u and its loads.
void take_axial_forces() {
    FemState& m = fem();
    double d[kMaxElementDofs], forces[kMaxElementDofs];
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        Element& e = m.elems[ie];
        const ElementClass& ec = kElementClasses[e.cls];
        for (int a = 0; a < ec.nodes; ++a) fem_node_displacements(e.nodes[a], d + a * kDofsPerNode);
        ec.internal_forces(e, d, forces);
        e.N = fem_axial_force(forces);
    }
}

void clear_axial_forces() {
    FemState& m = fem();
    for (int ie = 0; ie < m.nelem_read; ++ie) m.elems[ie].N = 0.0;
}

enum RunEnd { kRunConverged, kRunUnstable, kRunSingular, kRunFatal };

// The iteration of one load vector in m.f (member loads applied): the linear solution, then
// solutions with the axial forces of the previous one.
RunEnd iterate(double* previous, int* iterations) {
    FemState& m = fem();
    const int n = m.neq;
    *iterations = 0;
    clear_axial_forces();
    if (n == 0) return kRunConverged;
    int code = fem_factor_solve(m.f, m.u, false);
    if (code == kAnalyseFatal) return kRunFatal;
    if (code == kAnalyseSingular) return kRunSingular;
    for (int it = 1; it <= kMaxIterations; ++it) {
        take_axial_forces();
        std::memcpy(previous, m.u, sizeof(double) * static_cast<std::size_t>(n));
        code = fem_factor_solve(m.f, m.u, true);
        if (code == kAnalyseFatal) return kRunFatal;
        if (code == kAnalyseSingular) return kRunUnstable;
        double change = 0, size = 0;
        for (int i = 0; i < n; ++i) {
            if (!std::isfinite(m.u[i])) return kRunUnstable;
            change = std::fmax(change, std::fabs(m.u[i] - previous[i]));
            size = std::fmax(size, std::fabs(m.u[i]));
        }
        *iterations = it;
        if (change <= kConverged * size) return kRunConverged;
    }
    return kRunUnstable;
}

// The results of the converged run into the caller's copy: displacements and end forces.
void keep_run(CaseSolution& out) {
    FemState& m = fem();
    out.displacements.resize(static_cast<std::size_t>(m.nnode) * kDofsPerNode);
    for (int node = 1; node <= m.nnode; ++node)
        fem_node_displacements(node, &out.displacements[static_cast<std::size_t>(node - 1) * 6]);
    out.end_forces.assign(static_cast<std::size_t>(m.nelem_read) * kMaxElementDofs, 0.0);
    double d[kMaxElementDofs];
    for (int ie = 0; ie < m.nelem_read; ++ie) {
        const Element& e = m.elems[ie];
        const ElementClass& ec = kElementClasses[e.cls];
        for (int a = 0; a < ec.nodes; ++a) fem_node_displacements(e.nodes[a], d + a * kDofsPerNode);
        ec.internal_forces(e, d, &out.end_forces[static_cast<std::size_t>(ie) * kMaxElementDofs]);
    }
}

// The tables the writing of the result file needs: per case its displacements and axial
// forces once solved.
struct CaseStore {
    double* u = nullptr;
    double* N = nullptr;
    ~CaseStore() {
        utl_free(u);
        utl_free(N);
    }
};

// Writes the result section of every case from the stored solutions (all converged).
bool write_cases(const CaseStore& store) {
    FemState& m = fem();
    EngineSolution* kept = m.solution;
    m.solution = nullptr; // the caller's copy is filled as each case converges
    bool ok = true;
    for (int c = 0; ok && c < m.ncase; ++c) {
        clear_axial_forces();
        ok = fem_apply_case_loads(c);
        const std::size_t nu = static_cast<std::size_t>(m.neq), ne = m.nelem_read;
        if (nu) std::memcpy(m.u, store.u + c * nu, nu * sizeof(double));
        for (std::size_t ie = 0; ie < ne; ++ie) m.elems[ie].N = store.N[c * ne + ie];
        ok = ok && fem_write_case(c);
    }
    m.solution = kept;
    return ok;
}

} // namespace

void fem_beam_column(double EI, double L, double N, double k[4]) {
    if (!(EI > 0.0)) { // no bending stiffness: a string under its axial force
        k[0] = N / L;
        k[1] = k[2] = k[3] = 0.0;
        return;
    }
    const double rho = -N * L * L / EI;
    double s, sc;
    stability_functions(rho, &s, &sc);
    k[0] = (2 * (s + sc) - rho) * EI / (L * L * L);
    k[1] = (s + sc) * EI / (L * L);
    k[2] = s * EI / L;
    k[3] = sc * EI / L;
}

double fem_axial_force(const double forces[kMaxElementDofs]) {
    return (forces[6] - forces[0]) / 2;
}

int fem_second_order(int n, const int* /*first*/, double* /*f*/, double* /*u*/) {
    FemState& m = fem();
    SecondOrderSolution* out = m.request.second;
    static const SecondOrderOptions kNone;
    const SecondOrderOptions& options =
        m.request.second_options ? *m.request.second_options : kNone;
    const int runs = m.ncase + static_cast<int>(options.combinations.size());
    m.timings.cases = m.ncase;
    CaseStore store;
    double* previous = nullptr;
    double* part = nullptr; // one case's load vector inside a combination
    const std::size_t nu = static_cast<std::size_t>(n > 0 ? n : 1);
    store.u = static_cast<double*>(utl_calloc(nu * m.ncase, sizeof(double)));
    store.N = static_cast<double*>(
        utl_calloc(static_cast<std::size_t>(m.nelem_read) * m.ncase + 1, sizeof(double)));
    previous = static_cast<double*>(utl_calloc(nu, sizeof(double)));
    part = static_cast<double*>(utl_calloc(nu, sizeof(double)));
    struct Free {
        double *a, *b;
        ~Free() {
            utl_free(a);
            utl_free(b);
        }
    } release{previous, part};
    if (!store.u || !store.N || !previous || !part) return kAnalyseFatal;
    if (out) {
        out->solution.equations = n;
        for (int ie = 0; ie < m.nelem_read; ++ie)
            out->solution.element_numbers.push_back(m.elems[ie].number);
    }
    bool all_cases = true;
    for (int r = 0; r < runs; ++r) {
        clear_axial_forces();
        SecondOrderCase run;
        if (r < m.ncase) {
            run.label = m.cases[r].label;
            if (!fem_apply_case_loads(r)) return kAnalyseFatal;
            if (n > 0) fem_case_loads(r, m.f);
        } else {
            run.label = "Combination " + std::to_string(r - m.ncase + 1);
            if (!fem_combination_loads(options.combinations[r - m.ncase], m.f, part))
                return kAnalyseFatal;
        }
        const RunEnd end = iterate(previous, &run.iterations);
        if (end == kRunFatal) return kAnalyseFatal;
        if (end == kRunSingular) return kAnalyseSingular;
        run.converged = end == kRunConverged;
        if (r < m.ncase && run.converged) {
            if (n > 0) std::memcpy(store.u + r * nu, m.u, nu * sizeof(double));
            for (int ie = 0; ie < m.nelem_read; ++ie)
                store.N[static_cast<std::size_t>(r) * m.nelem_read + ie] = m.elems[ie].N;
        }
        if (r < m.ncase) all_cases = all_cases && run.converged;
        if (out) {
            out->solution.cases.emplace_back();
            out->solution.cases.back().label = run.label;
            if (run.converged) keep_run(out->solution.cases.back());
            out->runs.push_back(run);
        }
    }
    utl_profilefree(&m.K);
    if (all_cases && !write_cases(store)) {
        if (out) *out = SecondOrderSolution{};
        return m.not_finite ? kAnalyseSingular : kAnalyseFatal;
    }
    return kAnalyseSolved;
}

bool fem_combination_loads(const std::vector<FactoredCase>& combo, double* f, double* part) {
    FemState& m = fem();
    const int n = m.neq;
    // The nodal forces and prescribed displacements of each case times its factor, with no
    // member load applied (fem_case_loads adds those of every applied one); then the factored
    // member loads and gravity (their fixed-end forces are linear in the load values) applied,
    // and their equivalent nodal loads added once.
    fem_unload_elements();
    if (n > 0) std::memset(f, 0, sizeof(double) * static_cast<std::size_t>(n));
    for (const FactoredCase& fc : combo) {
        if (fc.load_case < 0 || fc.load_case >= m.ncase) continue;
        if (n > 0) {
            fem_case_loads(fc.load_case, part);
            for (int i = 0; i < n; ++i) f[i] += fc.factor * part[i];
        }
    }
    for (const FactoredCase& fc : combo)
        if (fc.load_case >= 0 && fc.load_case < m.ncase &&
            !fem_add_case_loads(fc.load_case, fc.factor))
            return false;
    if (n > 0) fem_add_member_load_vectors(f);
    return true;
}

int AnalyseSecondOrder(const char* file_name, std::string* message, SecondOrderSolution* solution,
                       const SecondOrderOptions* options) {
    SecondOrderSolution scratch;
    SecondOrderSolution* out = solution ? solution : &scratch;
    *out = SecondOrderSolution{};
    FemRequest request;
    request.second_options = options;
    request.second = out;
    const int code = fem_analyse(file_name, message, nullptr, nullptr, kSecondOrder, request);
    if (code != kAnalyseSolved) *out = SecondOrderSolution{};
    return code;
}

} // namespace kestrel::engine
