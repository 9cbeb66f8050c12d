// Member result curves: ordinates, elastic curve, sampling, step values and
// the diagram size (see diagram.h).
#include "results/diagram.h"

#include <algorithm>
#include <cmath>

namespace results {

namespace {

constexpr double kTiny = 1e-5;

double zeroSmall(double v) {
    return std::fabs(v) < kTiny ? 0.0 : v;
}

// Integral from 0 to x of a load varying linearly from q1 at 0 to q2 at L.
// A load decreasing in magnitude is integrated from its local intensity,
// which rounds better when q(x) approaches 0.
double loadIntegral(double q1, double q2, double L, double x) {
    if (std::fabs(q2) < std::fabs(q1)) {
        const double qx = q1 + (q2 - q1) * x / L;
        return 0.5 * (q1 + qx) * x;
    }
    return q1 * x + (q2 - q1) * x * x / (2 * L);
}

} // namespace

double memberLength(const MemberInput& m) {
    return std::hypot(m.x2 - m.x1, m.y2 - m.y1);
}

double memberAngle(const MemberInput& m) {
    return std::atan2(m.y2 - m.y1, m.x2 - m.x1);
}

bool readsLeftToRight(double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1, dy = y2 - y1;
    return dx > 1e-7 || (std::fabs(dx) <= 1e-7 && dy > 1e-7);
}

void globalToLocal(double gx, double gy, double angle, double& lx, double& ly) {
    const double c = std::cos(angle), s = std::sin(angle);
    lx = zeroSmall(c * gx + s * gy);
    ly = zeroSmall(-s * gx + c * gy);
}

double ordinate(const MemberInput& m, ResultKind kind, double x) {
    const double L = memberLength(m);
    const double M1 = m.M1 + m.Ma, M2 = m.M2 + m.Mb;
    if (x <= 0 || L <= 0) {
        switch (kind) {
        case ResultKind::Axial:
            return m.N1;
        case ResultKind::Shear:
            return m.V1;
        case ResultKind::Bending:
            return M1;
        default:
            return 0;
        }
    }
    if (x >= L) {
        switch (kind) {
        case ResultKind::Axial:
            return -m.N2;
        case ResultKind::Shear:
            return -m.V2;
        case ResultKind::Bending:
            return -M2;
        default:
            return 0;
        }
    }
    switch (kind) {
    case ResultKind::Axial:
        return m.N1 + loadIntegral(m.qx1, m.qx2, L, x);
    case ResultKind::Shear:
        return m.V1 + loadIntegral(m.qy1, m.qy2, L, x);
    case ResultKind::Bending:
        return M1 - m.V1 * x - m.qy1 * x * x / 2 - (m.qy2 - m.qy1) * x * x * x / (6 * L);
    default:
        return 0;
    }
}

int intervalsFor(double L, double h) {
    if (!(h > 0) || !(L > 0)) return 1;
    const double n = L / h;
    if (!(n < kMaxIntervals)) return kMaxIntervals;
    return std::max(1, static_cast<int>(n));
}

std::vector<double> turningPoints(const MemberInput& m, ResultKind kind) {
    std::vector<double> xs;
    if (kind == ResultKind::Bending) {
        for (const LocalExtreme& e : bendingExtremes(m)) xs.push_back(e.x);
    } else if (kind == ResultKind::Shear && m.qy1 != m.qy2) {
        const double x = -m.qy1 * memberLength(m) / (m.qy2 - m.qy1);
        if (x > 0 && x < memberLength(m)) xs.push_back(x);
    }
    return xs;
}

MemberCurve sampleDiagram(const MemberInput& m, ResultKind kind, double h) {
    MemberCurve c;
    if (kind != ResultKind::Axial && kind != ResultKind::Shear && kind != ResultKind::Bending)
        return c;
    const double L = memberLength(m);
    bool linear = kind == ResultKind::Axial;
    if (kind == ResultKind::Shear) linear = m.qy1 == m.qy2;
    if (kind == ResultKind::Bending) linear = m.qy1 == 0 && m.qy2 == 0;
    const int n = linear ? 1 : intervalsFor(L, h);
    // The points where a curved diagram turns are sampled as well, so the
    // extreme is exact whatever the step.
    std::vector<double> turns;
    if (!linear) turns = turningPoints(m, kind);
    c.pts.reserve(n + 3 + turns.size());
    auto sample = [&](double x) { c.pts.push_back({x, 0, zeroSmall(ordinate(m, kind, x))}); };
    c.pts.push_back({0, 0, 0});
    std::size_t t = 0;
    for (int i = 0; i <= n; ++i) {
        const double x = i < n ? i * L / n : L;
        for (; t < turns.size() && turns[t] <= x; ++t) // turns lie inside the member
            if (turns[t] < x) sample(turns[t]);
        sample(x);
    }
    c.pts.push_back({L, 0, 0});
    // The first point with the largest magnitude is the extreme.
    for (const Sample& s : c.pts)
        if (std::fabs(s.f) > std::fabs(c.extremeValue)) {
            c.extremeX = s.x;
            c.extremeValue = s.f;
        }
    return c;
}

std::vector<LocalExtreme> bendingExtremes(const MemberInput& m) {
    std::vector<LocalExtreme> out;
    const double L = memberLength(m);
    if (!(L > 0)) return out;
    const double a = 0.5 * (m.qy2 - m.qy1) / L, b = m.qy1, c = m.V1;
    std::vector<double> xs;
    if (std::fabs(a) >= kTiny) {
        const double d = b * b - 4 * a * c;
        if (d > 0) {
            double r1 = (-b + std::sqrt(d)) / (2 * a), r2 = (-b - std::sqrt(d)) / (2 * a);
            if (r1 > r2) std::swap(r1, r2);
            if (r1 >= 0 && r1 <= L) xs.push_back(r1);
            if (r2 - r1 > kTiny && r2 >= 0 && r2 <= L) xs.push_back(r2);
        } else if (d == 0) {
            const double x = -b / (2 * a);
            if (x >= 0 && x <= L) xs.push_back(x);
        }
    } else if (std::fabs(b) > kTiny) {
        const double x = -c / b;
        if (x >= 0 && x <= L) xs.push_back(x);
    }
    const double sign = valueSign(m, ResultKind::Bending);
    for (double x : xs) out.push_back({x, zeroSmall(sign * ordinate(m, ResultKind::Bending, x))});
    return out;
}

double valueSign(const MemberInput& m, ResultKind kind) {
    switch (kind) {
    case ResultKind::Axial:
        return -1;
    case ResultKind::Shear:
        return 1;
    case ResultKind::Bending:
        return readsLeftToRight(m.x1, m.y1, m.x2, m.y2) ? -1 : 1;
    default:
        return 0;
    }
}

std::vector<StepValue> stepValues(const MemberInput& m, ResultKind kind, double t, bool uniform) {
    std::vector<StepValue> out;
    const double L = memberLength(m);
    if (!(t > 0) || !(L > 0) || valueSign(m, kind) == 0) return out;
    const double count = L / t;
    if (!(count < kMaxStepValues)) return out;
    int n = static_cast<int>(count);
    if (L - n * t > 0.005) ++n;
    n = std::max(n, 1);
    if (n + 1 > kMaxStepValues) return out;
    const double step = uniform ? L / n : t;
    const double sign = valueSign(m, kind);
    auto shown = [](double v) { return std::fabs(v) < 0.005 ? 0.0 : v; };
    for (int i = 0; i < n; ++i) {
        const double x = i * step;
        out.push_back({x, shown(sign * ordinate(m, kind, x))});
    }
    out.push_back({L, shown(sign * ordinate(m, kind, L))});
    return out;
}

MemberInput deformationInput(const MemberInput& in) {
    MemberInput m = in;
    if (m.rigid) m.A = m.I = 1e7;
    if (m.noAxial) m.A = 1e7;
    if (m.depth <= 0) {
        m.depth = 1;
        m.tyPlus = m.tyMinus = 0;
    }
    if (m.E <= 0) m.E = 1;
    if (m.I <= 0) {
        m.I = 1;
        m.qy1 = m.qy2 = 0;
    }
    if (m.A <= 0) {
        m.A = 1;
        m.qx1 = m.qx2 = 0;
        m.hinge1 = m.hinge2 = true;
    }
    return m;
}

void displacementAt(const MemberInput& m, double x, double& u, double& w) {
    const double L = memberLength(m);
    if (x <= 0 || !(L > 0)) {
        u = m.u1;
        w = m.w1;
        return;
    }
    if (x >= L) {
        u = m.u2;
        w = m.w2;
        return;
    }
    const double k = x / L, e = 1 - k;
    const double k2 = k * k, k3 = k2 * k, k4 = k3 * k, k5 = k4 * k;
    const double e2 = e * e, e3 = e2 * e, e4 = e3 * e, e5 = e4 * e;
    const double EI = m.E * m.I, L2 = L * L, L4 = L2 * L2;
    const double q1 = m.qy1, q2 = m.qy2;
    const double dT = m.tyMinus - m.tyPlus;
    const double thermal = m.alpha * dT * L2 / m.depth;

    u = (1 - k) * m.u1 + k * m.u2 +
        (L2 / (m.E * m.A)) *
            ((m.qx1 - m.qx2) / 6 * k3 - m.qx1 / 2 * k2 + (2 * m.qx1 + m.qx2) / 6 * k);

    if (!m.hinge1 && !m.hinge2) {
        w = (1 - 3 * k2 + 2 * k3) * m.w1 + (k - 2 * k2 + k3) * L * m.t1 + (3 * k2 - 2 * k3) * m.w2 +
            (k3 - k2) * L * m.t2 -
            (L4 / EI) * (q1 * (-k2 / 40 + 7 * k3 / 120 - k4 / 24 + k5 / 120) +
                         q2 * (k3 / 40 - k2 / 60 - k5 / 120));
    } else if (m.hinge1 && !m.hinge2) {
        w = (1 - 1.5 * k + k3 / 2) * m.w1 + (1.5 * k - k3 / 2) * m.w2 +
            (k3 / 2 - k / 2) * L * m.t2 -
            (L4 / EI) * (q1 * (11 * k3 / 240 - k / 80 - k4 / 24 + k5 / 120) +
                         q2 * (k3 / 60 - k / 120 - k5 / 120)) +
            (k - 2 * k2 + k3) * m.Ma * L2 / (4 * EI) + thermal * (-k3 + 2 * k2 - k) / 4;
    } else if (!m.hinge1 && m.hinge2) {
        w = (1 - 1.5 * e + e3 / 2) * m.w2 + (1.5 * e - e3 / 2) * m.w1 -
            (e3 / 2 - e / 2) * L * m.t1 -
            (L4 / EI) * (q2 * (11 * e3 / 240 - e / 80 - e4 / 24 + e5 / 120) +
                         q1 * (e3 / 60 - e / 120 - e5 / 120)) +
            (k3 - k2) * m.Mb * L2 / (4 * EI) + thermal * (k3 - k2) / 4;
    } else {
        w = (1 - k) * m.w1 + k * m.w2 -
            (L4 / EI) * (q1 * (k3 / 18 - k / 45 - k4 / 24 + k5 / 120) +
                         q2 * (k3 / 36 - 7 * k / 360 - k5 / 120)) -
            m.Ma * L2 * e * (e2 / 2 - 0.5) / (3 * EI) + m.Mb * L2 * k * (k2 / 2 - 0.5) / (3 * EI) +
            thermal * (k2 - k) / 2;
    }
}

MemberCurve sampleDeformed(const MemberInput& in, double h) {
    const MemberInput m = deformationInput(in);
    MemberCurve c;
    const double L = memberLength(m);
    const int n = intervalsFor(L, h);
    c.pts.reserve(n + 1);
    for (int i = 0; i < n; ++i) {
        Sample s;
        s.x = i * L / n;
        displacementAt(m, s.x, s.u, s.f);
        c.pts.push_back(s);
    }
    c.pts.push_back({L, m.u2, m.w2});
    for (const Sample& s : c.pts)
        if (std::fabs(s.f) > std::fabs(c.extremeValue)) {
            c.extremeX = s.x;
            c.extremeValue = s.f;
        }
    return c;
}

double defaultDiagramSize(double xmin, double xmax, double ymin, double ymax) {
    return 0.1 * std::max(std::fabs(xmax - xmin), std::fabs(ymax - ymin));
}

double diagramScale(double size, double largest) {
    return largest == 0 ? 1.0 : std::fabs(size / largest);
}

double sizeFromValuator(double r, double limit, double current) {
    return r > 0 && r <= 1 ? r * limit : current;
}

double sizeFromFactor(double F, double largestDisplay, double limit) {
    const double s = F * largestDisplay;
    if (!(s > 0)) return 0;
    return std::min(s, limit);
}

double shownFactor(double size, double largestDisplay) {
    return largestDisplay == 0 ? 0.0 : size / largestDisplay;
}

} // namespace results
