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

int tri(int i, int j) {
    return i >= j ? i * (i + 1) / 2 + j : j * (j + 1) / 2 + i;
}

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

// Full 12 x 12 local stiffness of the unreleased element.
void local_stiffness(const Element& e, double k[12][12]) {
    std::memset(k, 0, sizeof(double) * 144);
    const double L = e.L, L2 = L * L, L3 = L2 * L;
    auto set = [&](int i, int j, double v) { k[i][j] = k[j][i] = v; };
    set(0, 0, e.E * e.A / L);
    set(6, 6, e.E * e.A / L);
    set(0, 6, -e.E * e.A / L);
    set(1, 1, 12 * e.E * e.Iz / L3);
    set(7, 7, 12 * e.E * e.Iz / L3);
    set(1, 7, -12 * e.E * e.Iz / L3);
    set(1, 5, 6 * e.E * e.Iz / L2);
    set(1, 11, 6 * e.E * e.Iz / L2);
    set(5, 7, -6 * e.E * e.Iz / L2);
    set(7, 11, -6 * e.E * e.Iz / L2);
    set(5, 5, 4 * e.E * e.Iz / L);
    set(11, 11, 4 * e.E * e.Iz / L);
    set(5, 11, 2 * e.E * e.Iz / L);
    set(2, 2, 12 * e.E * e.Iy / L3);
    set(8, 8, 12 * e.E * e.Iy / L3);
    set(2, 8, -12 * e.E * e.Iy / L3);
    set(2, 4, -6 * e.E * e.Iy / L2);
    set(2, 10, -6 * e.E * e.Iy / L2);
    set(4, 8, 6 * e.E * e.Iy / L2);
    set(8, 10, 6 * e.E * e.Iy / L2);
    set(4, 4, 4 * e.E * e.Iy / L);
    set(10, 10, 4 * e.E * e.Iy / L);
    set(4, 10, 2 * e.E * e.Iy / L);
    set(3, 3, e.E * e.J / (2 * L));
    set(9, 9, e.E * e.J / (2 * L));
    set(3, 9, -e.E * e.J / (2 * L));
}

// Static condensation of the released freedoms, row by row; f may be null.
void condense_released(const int lib[12], double k[12][12], double* f) {
    for (int i = 0; i < 12; ++i) {
        if (lib[i] == 1) continue;
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

bool beam_read(Scan& s, Element* e) {
    return scan_int(s, &e->material) && scan_int(s, &e->section) && scan_int(s, &e->vector) &&
           scan_int(s, &e->liberation) && scan_int(s, &e->nodes[0]) && scan_int(s, &e->nodes[1]);
}

bool beam_finish(Element* e) {
    const FemState& m = g_fem;
    if (e->material < 1 || e->material > m.nmat || e->section < 1 || e->section > m.nsec ||
        e->vector < 1 || e->vector > m.nvec || e->liberation < 1 || e->liberation > m.nlib)
        return false;
    for (int n : e->nodes)
        if (n < 1 || n > m.nnode) return false;
    const double* sec = m.sections[e->section - 1];
    e->A = sec[0];
    e->J = sec[3];
    e->Iy = sec[4];
    e->Iz = sec[5];
    e->hy = sec[7];
    e->hz = sec[8];
    std::memcpy(e->v, m.vectors[e->vector - 1], sizeof e->v);
    std::memcpy(e->lib, m.libs[e->liberation - 1], sizeof e->lib);
    const Material& mat = m.mats[e->material - 1];
    e->E = kMaterialClasses[0].elasticity(mat);
    e->alpha = mat.alpha;
    e->density = mat.density;

    double x[3], y[3], z[3];
    for (int k = 0; k < 3; ++k) x[k] = m.coord[e->nodes[1] - 1][k] - m.coord[e->nodes[0] - 1][k];
    e->L = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    cross(x, e->v, z);
    cross(z, x, y);
    // A zero length or an orientation vector along the member leaves no axes.
    if (!normalise(x) || !normalise(y) || !normalise(z)) return false;
    for (int k = 0; k < 3; ++k) {
        e->R[0][k] = x[k];
        e->R[1][k] = y[k];
        e->R[2][k] = z[k];
    }
    double k[12][12];
    local_stiffness(*e, k);
    condense_released(e->lib, k, nullptr);
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j <= i; ++j) e->K[tri(i, j)] = k[i][j];
    return true;
}

void beam_global_stiffness(const Element& e, double kg[kMaxElementDofs][kMaxElementDofs]) {
    double R[3][3];
    for (int p = 0; p < 3; ++p)
        for (int q = 0; q < 3; ++q)
            R[p][q] = std::fabs(e.R[p][q]) > kRotationZero ? e.R[p][q] : 0.0;
    for (int a = 0; a < 4; ++a) {
        for (int b = 0; b <= a; ++b) {
            double t[3][3] = {}; // K_ab * R
            for (int p = 0; p < 3; ++p)
                for (int r = 0; r < 3; ++r) {
                    double kv = e.K[tri(3 * a + p, 3 * b + r)];
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
    condense_released(e.lib, k, f);
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

void beam_internal_forces(const Element& e, const double* d_global, double* forces) {
    double d[12];
    beam_to_local(e, d_global, d);
    for (int i = 0; i < 12; ++i) {
        double v = e.has_load ? e.F[i] : 0.0;
        for (int j = 0; j < 12; ++j) v += e.K[tri(i, j)] * d[j];
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
     beam_global_stiffness, beam_condense, beam_to_global, beam_to_local, beam_internal_forces,
     beam_kind_values},
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

bool fem_add_member_load(MemberLoad* load) {
    Element& e = g_fem.elems[load->element];
    const ElementClass& ec = kElementClasses[e.cls];
    double f[kMaxElementDofs] = {};
    kLoadClasses[load->cls].fixed_end(e, *load, f);
    ec.condense(e, f);
    std::memcpy(load->fe, f, sizeof load->fe);
    for (int i = 0; i < kMaxElementDofs; ++i) e.F[i] += f[i];
    e.has_load = true;
    return true;
}

} // namespace kestrel::engine
