// The result line of the result query mode (see resultquery.h).
#include "results/resultquery.h"

#include "units/numformat.h"
#include "units/units.h"

#include <algorithm>
#include <cmath>

namespace results {

double localPosition(const MemberInput& m, double px, double py) {
    const double L = memberLength(m);
    if (!(L > 0)) return 0;
    const double t = ((px - m.x1) * (m.x2 - m.x1) + (py - m.y1) * (m.y2 - m.y1)) / L;
    return std::clamp(t, 0.0, L);
}

std::string resultLine(const attrib::AppSettings& s, const MemberInput& m, ResultKind kind,
                       double x) {
    auto text = [&](int unit, int format, double v) {
        return units::textWithUnit(s.units[unit], s.formats[format], v);
    };
    const double L = memberLength(m);
    const std::string where = "x = " + text(units::kLengthUnit, units::kLengthFormat, x) +
                              "  L = " + text(units::kLengthUnit, units::kLengthFormat, L) +
                              "  -  ";
    switch (kind) {
    case ResultKind::Axial: {
        const double n = valueSign(m, kind) * ordinate(m, kind, x);
        return "Axial force at local pos.: " + where +
               "Value: " + text(units::kForceUnit, units::kForceFormat, std::fabs(n)) +
               (n < 0 ? " - Compression" : " - Tension");
    }
    case ResultKind::Shear:
        return "Shear force at local pos.: " + where +
               "Value: " + text(units::kForceUnit, units::kForceFormat, ordinate(m, kind, x));
    case ResultKind::Bending:
        return "Bending moment at local pos.: " + where + "Value: " +
               text(units::kMomentUnit, units::kMomentFormat,
                    valueSign(m, kind) * ordinate(m, kind, x));
    case ResultKind::Deformed: {
        double u = 0, w = 0;
        displacementAt(deformationInput(m), x, u, w);
        const double a = memberAngle(m), c = std::cos(a), sn = std::sin(a);
        return "Displ. at local pos.: " + where +
               "Dx: " + text(units::kDisplacementUnit, units::kDisplacementFormat, c * u - sn * w) +
               "  Dy: " +
               text(units::kDisplacementUnit, units::kDisplacementFormat, sn * u + c * w);
    }
    default:
        return "";
    }
}

} // namespace results
