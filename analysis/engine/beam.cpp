// The two-node beam element of a space frame (Euler-Bernoulli): local axes, local stiffness,
// condensation of released end freedoms, global stiffness, end forces. Also the skew-node
// matrices and the bookkeeping of member loads on elements.
#include "analysis/engine/fem.h"

#include <cmath>
#include <cstring>

namespace kestrel::engine {

namespace {

constexpr double kRotationZero = 1e-6;
constexpr double kDegree = 3.14159265358979323846 / 180.0;

void cross(const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

bool normalise(double v[3]) {
    double n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (n == 0.0) return false;
    for (int k = 0; k < 3; ++k) v[k] /= n;
    return true;
}

// Full 12 x 12 local stiffness of the unreleased element; with an axial force (second order)
// the bending terms in both planes are those of the beam-column.
void local_stiffness(const Element& e, double k[12][12]) {
    std::memset(k, 0, sizeof(double) * 144);
    const double L = e.L, L2 = L * L, L3 = L2 * L;
    auto set = [&](int i, int j, double v) { k[i][j] = k[j][i] = v; };
    double bz[4] = {12 * e.E * e.Iz / L3, 6 * e.E * e.Iz / L2, 4 * e.E * e.Iz / L,
                    2 * e.E * e.Iz / L};
    double by[4] = {12 * e.E * e.Iy / L3, 6 * e.E * e.Iy / L2, 4 * e.E * e.Iy / L,
                    2 * e.E * e.Iy / L};
    if (e.N != 0.0) {
        fem_beam_column(e.E * e.Iz, L, e.N, bz);
        fem_beam_column(e.E * e.Iy, L, e.N, by);
    }
    set(0, 0, e.E * e.A / L);
    set(6, 6, e.E * e.A / L);
    set(0, 6, -e.E * e.A / L);
    set(1, 1, bz[0]);
    set(7, 7, bz[0]);
    set(1, 7, -bz[0]);
    set(1, 5, bz[1]);
    set(1, 11, bz[1]);
    set(5, 7, -bz[1]);
    set(7, 11, -bz[1]);
    set(5, 5, bz[2]);
    set(11, 11, bz[2]);
    set(5, 11, bz[3]);
    set(2, 2, by[0]);
    set(8, 8, by[0]);
    set(2, 8, -by[0]);
    set(2, 4, -by[1]);
    set(2, 10, -by[1]);
    set(4, 8, by[1]);
    set(8, 10, by[1]);
    set(4, 4, by[2]);
    set(10, 10, by[2]);
    set(4, 10, by[3]);
    set(3, 3, e.E * e.J / (2 * L));
    set(9, 9, e.E * e.J / (2 * L));
    set(3, 9, -e.E * e.J / (2 * L));
}

// Static condensation of the released freedoms, row by row; f may be null.
void condense_released(unsigned released, double k[12][12], double* f) {
    for (int i = 0; i < 12; ++i) {
        if (!(released >> i & 1u)) continue;
        if (k[i][i] == 0.0) return; // nothing to condense (no stiffness in that freedom)
        double r[12];
        std::memcpy(r, k[i], sizeof r);
        double fi = f ? f[i] : 0.0;
        for (int j = 0; j < 12; ++j) {
            if (k[j][i] == 0.0) continue;
            double c = k[j][i] / r[i];
            for (int q = 0; q < 12; ++q) k[j][q] -= c * r[q];
            if (f) f[j] -= c * fi;
        }
    }
}

// The condensed local stiffness, the same values each time it is recomputed.
void condensed_stiffness(const Element& e, double k[12][12]) {
    local_stiffness(e, k);
    condense_released(e.released, k, nullptr);
}

bool beam_read(Scan& s, Element* e, ElementInput* in) {
    return scan_int(s, &in->material) && scan_int(s, &in->section) && scan_int(s, &in->vector) &&
           scan_int(s, &in->liberation) && scan_int(s, &e->nodes[0]) && scan_int(s, &e->nodes[1]);
}

bool beam_finish(Element* e, const ElementInput& in) {
    const FemState& m = g_fem;
    if (in.material < 1 || in.material > m.nmat || in.section < 1 || in.section > m.nsec ||
        in.vector < 1 || in.vector > m.nvec || in.liberation < 1 || in.liberation > m.nlib)
        return false;
    for (int n : e->nodes)
        if (n < 1 || n > m.nnode) return false;
    e->load = -1;
    e->N = 0.0;
    const double* sec = m.sections[in.section - 1];
    e->A = sec[0];
    e->J = sec[3];
    e->Iy = sec[4];
    e->Iz = sec[5];
    e->hy = sec[7];
    e->hz = sec[8];
    const double* v = m.vectors[in.vector - 1];
    const int* lib = m.libs[in.liberation - 1];
    e->released = 0;
    for (int i = 0; i < 12; ++i)
        if (lib[i] != 1) e->released |= 1u << i;
    const Material& mat = m.mats[in.material - 1];
    e->E = kMaterialClasses[0].elasticity(mat);
    e->alpha = mat.alpha;
    e->density = mat.density;

    double x[3], y[3], z[3];
    for (int k = 0; k < 3; ++k) x[k] = m.coord[e->nodes[1] - 1][k] - m.coord[e->nodes[0] - 1][k];
    e->L = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    cross(x, v, z);
    cross(z, x, y);
    // A zero length or an orientation vector along the member leaves no axes.
    if (!normalise(x) || !normalise(y) || !normalise(z)) return false;
    for (int k = 0; k < 3; ++k) {
        e->R[0][k] = x[k];
        e->R[1][k] = y[k];
        e->R[2][k] = z[k];
    }
    return true;
}

void beam_global_stiffness(const Element& e, double kg[kMaxElementDofs][kMaxElementDofs]) {
    double k[12][12];
    condensed_stiffness(e, k);
    double R[3][3];
    for (int p = 0; p < 3; ++p)
        for (int q = 0; q < 3; ++q)
            R[p][q] = std::fabs(e.R[p][q]) > kRotationZero ? e.R[p][q] : 0.0;
    for (int a = 0; a < 4; ++a) {
        for (int b = 0; b <= a; ++b) {
            double t[3][3] = {}; // K_ab * R
            for (int p = 0; p < 3; ++p)
                for (int r = 0; r < 3; ++r) {
                    double kv = k[3 * a + p][3 * b + r];
                    if (kv == 0.0) continue;
                    for (int q = 0; q < 3; ++q) t[p][q] += kv * R[r][q];
                }
            for (int p = 0; p < 3; ++p)
                for (int q = 0; q < 3; ++q) {
                    double v = 0;
                    for (int r = 0; r < 3; ++r) v += R[r][p] * t[r][q];
                    kg[3 * a + p][3 * b + q] = v;
                    kg[3 * b + q][3 * a + p] = v;
                }
        }
    }
}

void beam_condense(const Element& e, double f[kMaxElementDofs]) {
    double k[12][12];
    local_stiffness(e, k);
    condense_released(e.released, k, f);
}

const double* beam_load_sum(const Element& e) {
    static const double kNone[12] = {};
    return e.load >= 0 ? g_fem.load_sums + 12 * static_cast<std::size_t>(e.load) : kNone;
}

void beam_to_global(const Element& e, const double* local, double* global) {
    for (int t = 0; t < 4; ++t)
        for (int p = 0; p < 3; ++p) {
            double v = 0;
            for (int r = 0; r < 3; ++r) v += e.R[r][p] * local[3 * t + r];
            global[3 * t + p] = v;
        }
}

void beam_to_local(const Element& e, const double* global, double* local) {
    for (int t = 0; t < 4; ++t)
        for (int p = 0; p < 3; ++p) {
            double v = 0;
            for (int r = 0; r < 3; ++r) v += e.R[p][r] * global[3 * t + r];
            local[3 * t + p] = v;
        }
}

// k d of the linear local stiffness without releases, term by term: the few entries that are not
// zero.
void unreleased_forces(const Element& e, const double* d, double* f) {
    const double L = e.L, L2 = L * L, L3 = L2 * L;
    const double axial = e.E * e.A / L * (d[0] - d[6]);
    const double torsion = e.E * e.J / (2 * L) * (d[3] - d[9]);
    const double sz = 12 * e.E * e.Iz / L3 * (d[1] - d[7]) + 6 * e.E * e.Iz / L2 * (d[5] + d[11]);
    const double sy = 12 * e.E * e.Iy / L3 * (d[2] - d[8]) - 6 * e.E * e.Iy / L2 * (d[4] + d[10]);
    const double cz = 6 * e.E * e.Iz / L2 * (d[1] - d[7]);
    const double cy = -6 * e.E * e.Iy / L2 * (d[2] - d[8]);
    f[0] = axial, f[6] = -axial;
    f[3] = torsion, f[9] = -torsion;
    f[1] = sz, f[7] = -sz;
    f[2] = sy, f[8] = -sy;
    f[5] = cz + e.E * e.Iz / L * (4 * d[5] + 2 * d[11]);
    f[11] = cz + e.E * e.Iz / L * (2 * d[5] + 4 * d[11]);
    f[4] = cy + e.E * e.Iy / L * (4 * d[4] + 2 * d[10]);
    f[10] = cy + e.E * e.Iy / L * (2 * d[4] + 4 * d[10]);
}

void beam_internal_forces(const Element& e, const double* d_global, double* forces) {
    double d[12], k[12][12];
    beam_to_local(e, d_global, d);
    const double* F = beam_load_sum(e);
    if (e.released == 0 && e.N == 0.0) { // the linear stiffness, no beam-column terms
        unreleased_forces(e, d, forces);
        for (int i = 0; i < 12; ++i) forces[i] += F[i];
        return;
    }
    condensed_stiffness(e, k);
    for (int i = 0; i < 12; ++i) {
        double v = F[i];
        for (int j = 0; j < 12; ++j) v += k[i][j] * d[j];
        forces[i] = v;
    }
}

void beam_kind_values(const double* forces, int end, double out[kResultKinds]) {
    std::memset(out, 0, sizeof(double) * kResultKinds);
    const double* f = forces + 6 * end;
    out[0] = f[0]; // SIGMA_XX: axial force
    out[1] = f[1]; // SIGMA_YY: shear along local y
    out[2] = f[2]; // SIGMA_ZZ
    out[6] = f[3]; // MOMENT_X: torsion
    out[7] = f[4]; // MOMENT_Y
    out[8] = f[5]; // MOMENT_Z: bending in the frame's plane
}

} // namespace

const ElementClass kElementClasses[] = {
    {"ELEMENT.BEAM", "\n Error on reading number of BEAM elements !!!\n\n",
     "\n Error on reading BEAM elements !!!\n\n", 7, 2, beam_read, beam_finish,
     beam_global_stiffness, beam_condense, beam_load_sum, beam_to_global, beam_to_local,
     beam_internal_forces, beam_kind_values},
};
const int kElementClassCount = sizeof kElementClasses / sizeof kElementClasses[0];

void fem_skew_matrix(SkewNode* s) {
    double x[3], y[3], z[3];
    for (int k = 0; k < 3; ++k) {
        x[k] = std::cos(s->angles[k] * kDegree);
        y[k] = std::cos(s->angles[3 + k] * kDegree);
    }
    cross(x, y, z);
    normalise(x);
    normalise(y);
    normalise(z);
    for (int k = 0; k < 3; ++k) {
        s->S[k][0] = x[k];
        s->S[k][1] = y[k];
        s->S[k][2] = z[k];
    }
}

bool fem_add_member_load(const MemberLoad& load) {
    FemState& m = g_fem;
    Element& e = m.elems[load.element];
    const ElementClass& ec = kElementClasses[e.cls];
    double f[kMaxElementDofs] = {};
    kLoadClasses[load.cls].fixed_end(e, load, f);
    ec.condense(e, f);
    if (e.load < 0) {
        // The first load of this element: a slot in the table of sums, grown by doubling.
        if (m.nloaded == m.loaded_cap) {
            // At first as many as the counts claimed, at most one per element; then doubled.
            const long long claimed = m.loads_claimed > 16 ? m.loads_claimed : 16;
            long long cap = m.loaded_cap > 0 ? 2LL * m.loaded_cap : claimed;
            if (cap > m.nel) cap = m.nel;
            auto* bigger = static_cast<double*>(
                utl_calloc(static_cast<std::size_t>(cap) * 12, sizeof(double)));
            if (!bigger) return false;
            if (m.nloaded)
                std::memcpy(bigger, m.load_sums,
                            sizeof(double) * 12 * static_cast<std::size_t>(m.nloaded));
            utl_free(m.load_sums);
            m.load_sums = bigger;
            m.loaded_cap = static_cast<int>(cap);
        }
        e.load = m.nloaded++;
        std::memset(m.load_sums + 12 * static_cast<std::size_t>(e.load), 0, 12 * sizeof(double));
    }
    double* sum = m.load_sums + 12 * static_cast<std::size_t>(e.load);
    for (int i = 0; i < kMaxElementDofs; ++i) sum[i] += f[i];
    return true;
}

void fem_unload_elements() {
    FemState& m = g_fem;
    for (int i = 0; i < m.nelem_read; ++i) m.elems[i].load = -1;
    m.nloaded = 0;
}

// The loads of case c times `factor` (the fixed-end forces are linear in the load values; a
// factor of 1 leaves every value as read), summed in the order read, its gravity (a global
// uniform load of density x area times the gravity vector on every element) last.
bool fem_add_case_loads(int c, double factor) {
    FemState& m = g_fem;
    for (int i = m.load_start[c]; i < m.load_start[c + 1]; ++i) {
        MemberLoad load = m.loads[i];
        for (double& v : load.v) v *= factor;
        if (!fem_add_member_load(load)) return false;
    }
    const LoadCase& lc = m.cases[c];
    if (!lc.gravity) return true;
    for (int i = 0; i < m.nelem_read; ++i) {
        MemberLoad load{};
        load.cls = kGravityLoadClass;
        load.element = i;
        load.load_case = c;
        load.flag = 0;
        load.x1 = 0;
        load.x2 = 1;
        const Element& e = m.elems[i];
        for (int k = 0; k < 3; ++k) load.v[k] = factor * (e.density * e.A * lc.g[k]);
        if (!fem_add_member_load(load)) return false;
    }
    return true;
}

// Each case starts from unloaded elements.
bool fem_apply_case_loads(int c) {
    fem_unload_elements();
    return fem_add_case_loads(c, 1.0);
}

} // namespace kestrel::engine
