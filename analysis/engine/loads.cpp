// Member-load classes of the engine: concentrated, uniform, linear and temperature loads read
// from their blocks, and the gravity load made from each element's own weight. Each class reads
// its record and gives its fixed-end forces (the reactions of a fully fixed member, local axes,
// before condensation of released freedoms).
#include "analysis/engine/fem.h"

namespace kestrel::engine {

namespace {

// With direction flag 0 the load's triads are global and are turned into local axes.
void local_triads(const Element& e, const MemberLoad& load, int triads, double out[12]) {
    for (int t = 0; t < triads; ++t)
        for (int p = 0; p < 3; ++p) {
            double v = 0;
            if (load.flag == 0) {
                for (int r = 0; r < 3; ++r) v += e.R[p][r] * load.v[3 * t + r];
            } else {
                v = load.v[3 * t + p];
            }
            out[3 * t + p] = v;
        }
}

bool read_concentrated(Scan& s, MemberLoad* load) {
    return scan_int(s, &load->flag) && scan_double(s, &load->x1) && scan_doubles(s, load->v, 6);
}

void concentrated_fixed_end(const Element& e, const MemberLoad& load, double F[12]) {
    double q[12];
    local_triads(e, load, 2, q);
    const double Px = q[0], Py = q[1], Pz = q[2], Mx = q[3], My = q[4], Mz = q[5];
    const double L = e.L, xi = load.x1, b = 1.0 - xi;
    F[0] = -b * Px;
    F[6] = -xi * Px;
    F[3] = -b * Mx;
    F[9] = -xi * Mx;
    F[5] = -b * b * xi * L * Py;
    F[11] = b * xi * xi * L * Py;
    F[1] = -b * Py + (F[5] + F[11]) / L;
    F[7] = -xi * Py - (F[5] + F[11]) / L;
    F[1] += 6 * xi * b * Mz / L;
    F[7] -= 6 * xi * b * Mz / L;
    F[5] -= b * (1 - 3 * xi) * Mz;
    F[11] -= xi * (1 - 3 * b) * Mz;
    F[4] = b * b * xi * L * Pz;
    F[10] = -b * xi * xi * L * Pz;
    F[2] = -b * Pz - (F[4] + F[10]) / L;
    F[8] = -xi * Pz + (F[4] + F[10]) / L;
    F[2] -= 6 * xi * b * My / L;
    F[8] += 6 * xi * b * My / L;
    F[4] -= b * (1 - 3 * xi) * My;
    F[10] -= xi * (1 - 3 * b) * My;
}

bool read_uniform(Scan& s, MemberLoad* load) {
    return scan_int(s, &load->flag) && scan_double(s, &load->x1) && scan_double(s, &load->x2) &&
           scan_doubles(s, load->v, 6);
}

void uniform_fixed_end(const Element& e, const MemberLoad& load, double F[12]) {
    double q[12];
    local_triads(e, load, 2, q);
    const double qx = q[0], qy = q[1], qz = q[2], mx = q[3];
    const double L = e.L, a1 = load.x1, a2 = load.x2;
    const double S1 = a2 - a1, S2 = (a2 * a2 - a1 * a1) / 2, S3 = (a2 * a2 * a2 - a1 * a1 * a1) / 3;
    const double S4 = (a2 * a2 * a2 * a2 - a1 * a1 * a1 * a1) / 4;
    const double a = S1 - S2, g = S2 - 2 * S3 + S4, h = S3 - S4;
    F[0] = -qx * L * a;
    F[6] = -qx * L * S2;
    F[3] = -mx * L * a;
    F[9] = -mx * L * S2;
    F[5] = -qy * L * L * g;
    F[11] = qy * L * L * h;
    F[1] = -qy * L * a + (F[5] + F[11]) / L;
    F[7] = -qy * L * S2 - (F[5] + F[11]) / L;
    F[4] = qz * L * L * g;
    F[10] = -qz * L * L * h;
    F[2] = -qz * L * a - (F[4] + F[10]) / L;
    F[8] = -qz * L * S2 + (F[4] + F[10]) / L;
}

bool read_linear(Scan& s, MemberLoad* load) {
    return scan_int(s, &load->flag) && scan_double(s, &load->x1) && scan_double(s, &load->x2) &&
           scan_doubles(s, load->v, 12);
}

void linear_fixed_end(const Element& e, const MemberLoad& load, double F[12]) {
    double q[12];
    local_triads(e, load, 4, q);
    const double L = e.L, a1 = load.x1, a2 = load.x2, d = a2 - a1;
    if (d == 0.0) return; // a load over no length carries nothing
    const double k = L / d;
    const double p1x = q[0] * k, p1y = q[1] * k, p1z = q[2] * k, m1x = q[3] * k;
    const double p2x = q[6] * k, p2y = q[7] * k, p2z = q[8] * k, m2x = q[9] * k;
    auto pw = [](double x, int n) {
        double r = 1;
        for (int i = 0; i < n; ++i) r *= x;
        return r;
    };
    const double S2 = (pw(a2, 2) - pw(a1, 2)) / 2, S3 = (pw(a2, 3) - pw(a1, 3)) / 3;
    const double S4 = (pw(a2, 4) - pw(a1, 4)) / 4, S5 = (pw(a2, 5) - pw(a1, 5)) / 5;
    const double c1 = a2 * d - (1 + a2) * S2 + S3, c2 = S2 - S3 - (d - S2) * a1;
    const double c3 = a2 * S2 - S3, c4 = S3 - a1 * S2;
    const double g1 = S2 - 2 * S3 + S4, g2 = S3 - 2 * S4 + S5;
    const double e1 = a2 * g1 - g2, e2 = g2 - a1 * g1;
    const double h1 = S3 - S4, h2 = S4 - S5;
    const double e3 = h1 * a2 - h2, e4 = h2 - h1 * a1;
    F[0] = -(p1x * c1 + p2x * c2);
    F[6] = -(p1x * c3 + p2x * c4);
    F[3] = -(m1x * c1 + m2x * c2);
    F[9] = -(m1x * c3 + m2x * c4);
    F[5] = -L * (p1y * e1 + p2y * e2);
    F[11] = L * (p1y * e3 + p2y * e4);
    F[1] = -(p1y * c1 + p2y * c2) + (F[5] + F[11]) / L;
    F[7] = -(p1y * c3 + p2y * c4) - (F[5] + F[11]) / L;
    F[4] = L * (p1z * e1 + p2z * e2);
    F[10] = -L * (p1z * e3 + p2z * e4);
    F[2] = -(p1z * c1 + p2z * c2) - (F[4] + F[10]) / L;
    F[8] = -(p1z * c3 + p2z * c4) + (F[4] + F[10]) / L;
}

bool read_temperature(Scan& s, MemberLoad* load) {
    return scan_doubles(s, load->v, 3);
}

void temperature_fixed_end(const Element& e, const MemberLoad& load, double F[12]) {
    const double Tc = load.v[0], dTy = load.v[1], dTz = load.v[2];
    const double axial = e.alpha * e.E * e.A * Tc;
    F[0] = axial;
    F[6] = -axial;
    if (e.hy > 0) {
        F[5] = e.alpha * e.E * e.Iz * dTy / e.hy;
        F[11] = -F[5];
    }
    if (e.hz > 0) {
        F[4] = -e.alpha * e.E * e.Iy * dTz / e.hz;
        F[10] = -F[4];
    }
}

} // namespace

const LoadClass kLoadClasses[] = {
    {"concentrated", "LOAD.CASE.BEAM.FORCE",
     "\n Error on reading number of beam concentrated force loads !!!\n\n",
     "\n Error on reading beam concentrated force load !!!\n\n", 9, read_concentrated,
     concentrated_fixed_end},
    {"uniform", "LOAD.CASE.BEAM.UNIFORM",
     "\n Error on reading number of beam force uniform loads !!!\n\n",
     "\n Error on reading beam force uniform load !!!\n\n", 10, read_uniform, uniform_fixed_end},
    {"linear", "LOAD.CASE.BEAM.LINEAR",
     "\n Error on reading number of beam force linear loads !!!\n\n",
     "\n Error on reading beam force linear load !!!\n\n", 16, read_linear, linear_fixed_end},
    {"temperature", "LOAD.CASE.BEAM.TEMPERATURE",
     "\n Error on reading number of beam temperature loads !!!\n\n",
     "\n Error on reading beam temperature load !!!\n\n", 4, read_temperature,
     temperature_fixed_end},
    {"gravity", nullptr, nullptr, "\n Error on reading gravity load !!!\n\n", 0, nullptr,
     uniform_fixed_end},
};
const int kLoadClassCount = sizeof kLoadClasses / sizeof kLoadClasses[0];
const int kGravityLoadClass = 4;

} // namespace kestrel::engine
