// Influence-line sections and texts (see influence.h).
#include "results/influence.h"

#include "units/numformat.h"
#include "units/units.h"

#include <algorithm>
#include <cmath>

namespace results {

double snapSection(double x, double L, double t, bool uniform) {
    constexpr double kEndTolerance = 0.005;
    if (t > 0 && L > 0) {
        double step = t;
        if (uniform) {
            double n = std::round(L / t);
            if (L - n * t > kEndTolerance) n += 1;
            step = L / std::max(n, 1.0);
        }
        const double q = x / step;
        double k = std::floor(q);
        if (q - k > 0.5) k += 1; // exactly one half goes down
        x = std::clamp(k * step, 0.0, L);
    }
    if (x < kEndTolerance) return 0;
    if (L - kEndTolerance < x) return L;
    return x;
}

const char* influenceHead(ResultKind kind) {
    return kind == ResultKind::Axial     ? "Axial force"
           : kind == ResultKind::Shear   ? "Shear force"
           : kind == ResultKind::Bending ? "Bending moment"
                                         : nullptr;
}

std::string influenceMessage(const attrib::AppSettings& s, ResultKind kind, double x, double L) {
    const char* head = influenceHead(kind);
    if (!head) return "";
    auto len = [&](double v) {
        return units::textWithUnit(s.units[units::kLengthUnit], s.formats[units::kLengthFormat], v);
    };
    return std::string(head) + " influence line for section at local pos.: x = " + len(x) +
           "  L = " + len(L);
}

namespace {

// The member without its loads: only end displacements and rotations move it.
MemberInput unloaded(const MemberInput& m) {
    MemberInput u = m;
    u.qx1 = u.qy1 = u.qx2 = u.qy2 = 0;
    u.Ma = u.Mb = 0;
    u.tyPlus = u.tyMinus = 0;
    return u;
}

double negatedVertical(const MemberInput& m, double u, double w) {
    const double L = memberLength(m);
    if (!(L > 0)) return 0;
    const double c = (m.x2 - m.x1) / L, s = (m.y2 - m.y1) / L;
    return -(s * u + c * w);
}

int intervals(double length, double h) {
    const int n = h > 0 ? static_cast<int>(std::min(length / h, double(kMaxIntervals))) : 1;
    return std::max(n, 1);
}

void keepExtreme(MemberCurve& c) {
    c.extremeX = 0, c.extremeValue = 0;
    for (const Sample& p : c.pts)
        if (std::fabs(p.f) > std::fabs(c.extremeValue)) c.extremeX = p.x, c.extremeValue = p.f;
}

} // namespace

double influenceOrdinate(const MemberInput& m, double x) {
    double u = 0, w = 0;
    displacementAt(deformationInput(unloaded(m)), x, u, w);
    return negatedVertical(m, u, w);
}

double sectionOrdinate(const MemberInput& m, ResultKind kind, double a, double x, bool right) {
    const double L = memberLength(m);
    if (!(L > 0)) return 0;
    MemberInput in = unloaded(m);
    double E = m.E > 0 ? m.E : 1;
    double I = m.rigid ? 1e7 : (m.I > 0 ? m.I : 1);
    if (!(m.I > 0) && !m.rigid) in.hinge1 = in.hinge2 = true;
    const double sigma = readsLeftToRight(m.x1, m.y1, m.x2, m.y2) ? 1 : -1;
    const double EI = E * I;
    if (kind == ResultKind::Shear) {
        if (in.hinge1) in.Ma = 6 * EI / (L * L);
        if (in.hinge2) in.Mb = 6 * EI / (L * L);
    } else if (kind == ResultKind::Bending) {
        if (in.hinge1) in.Ma = sigma * (EI / L) * (6 * a / L - 4);
        if (in.hinge2) in.Mb = sigma * (EI / L) * (6 * a / L - 2);
    }
    double u = 0, w = 0;
    displacementAt(deformationInput(in), x, u, w);
    const double xi = x / L;
    const bool after = right ? x >= a : x > a;
    switch (kind) {
    case ResultKind::Axial:
        u += after ? 1 - xi : -xi;
        break;
    case ResultKind::Shear:
        w += 3 * xi * xi - 2 * xi * xi * xi - (after ? 1 : 0);
        break;
    case ResultKind::Bending: {
        const double r = a / L;
        const double shape = xi * (3 * r - 2) - xi * xi * (2 * r - 1);
        w += after ? sigma * (x * (1 + shape) - a) : sigma * x * shape;
        break;
    }
    default:
        return 0;
    }
    return negatedVertical(m, u, w);
}

MemberCurve sampleInfluence(const MemberInput& m, ResultKind kind, bool holdsSection, double a,
                            double h) {
    MemberCurve c;
    const double L = memberLength(m);
    c.pts.push_back({0, 0, 0});
    if (!holdsSection) {
        const int n = intervals(L, h);
        for (int i = 0; i <= n; ++i) {
            const double x = i == n ? L : i * L / n;
            c.pts.push_back({x, 0, influenceOrdinate(m, x)});
        }
    } else {
        const bool left = a > 1e-5, rightPart = a < L - 1e-5;
        if (!left) a = 0;
        if (!rightPart) a = L;
        if (left) {
            const int p = intervals(a, h);
            for (int i = 0; i <= p; ++i) {
                const double x = i == p ? a : i * a / p;
                c.pts.push_back({x, 0, sectionOrdinate(m, kind, a, x, false)});
            }
        }
        if (rightPart) {
            const int q = intervals(L - a, h);
            const int first = left && kind == ResultKind::Bending ? 1 : 0;
            for (int i = first; i <= q; ++i) {
                const double x = i == q ? L : a + i * (L - a) / q;
                c.pts.push_back({x, 0, sectionOrdinate(m, kind, a, x, true)});
            }
        }
    }
    c.pts.push_back({L, 0, 0});
    keepExtreme(c);
    return c;
}

double influenceAt(const MemberInput& m, ResultKind kind, bool holdsSection, double a, double x) {
    if (!holdsSection) return influenceOrdinate(m, x);
    return sectionOrdinate(m, kind, a, x, a <= 1e-5);
}

std::vector<StepValue> influenceStepValues(const MemberInput& m, ResultKind kind, bool holdsSection,
                                           double a, double t, bool uniform) {
    // The positions do not depend on the kind; the axial kind asks for them
    // without touching the member's loads.
    std::vector<StepValue> v = stepValues(m, ResultKind::Axial, t, uniform);
    for (StepValue& p : v) {
        p.value = influenceAt(m, kind, holdsSection, a, p.x);
        if (std::fabs(p.value) < 0.005) p.value = 0;
    }
    return v;
}

} // namespace results
