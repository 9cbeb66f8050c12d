// The result line of the result query mode (see resultquery.h).
#include "results/resultquery.h"

#include "attrib/cases.h"

#include "results/influence.h"
#include "results/inquiry.h"
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

namespace {

std::string valueText(const attrib::AppSettings& s, int unit, int format, double v) {
    return withoutZeroSign(units::textWithUnit(s.units[unit], s.formats[format], v));
}

// "x = 1.00 m  L = 4.00 m  -  ": the position on the member and its length.
std::string position(const attrib::AppSettings& s, const MemberInput& m, double x) {
    return "x = " + valueText(s, units::kLengthUnit, units::kLengthFormat, x) +
           "  L = " + valueText(s, units::kLengthUnit, units::kLengthFormat, memberLength(m)) +
           "  -  ";
}

} // namespace

std::string resultLine(const attrib::AppSettings& s, const MemberInput& m, ResultKind kind,
                       double x) {
    auto text = [&](int unit, int format, double v) { return valueText(s, unit, format, v); };
    const std::string where = position(s, m, x);
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
        double u = 0, w = 0, dx = 0, dy = 0;
        displacementAt(deformationInput(m), x, u, w);
        toGlobal(m, u, w, dx, dy);
        return "Displ. at local pos.: " + where +
               "Dx: " + text(units::kDisplacementUnit, units::kDisplacementFormat, dx) +
               "  Dy: " + text(units::kDisplacementUnit, units::kDisplacementFormat, dy);
    }
    default:
        return "";
    }
}

std::string envelopeLine(const attrib::AppSettings& s, const MemberInput& m, ResultKind kind,
                         const EnvelopePoint& at) {
    const int k = static_cast<int>(kind) - 1;
    if (k < 0 || k > 2) return "";
    const bool moment = kind == ResultKind::Bending;
    const int unit = moment ? units::kMomentUnit : units::kForceUnit;
    const int format = moment ? units::kMomentFormat : units::kForceFormat;
    static const char* const kHeads[3] = {
        "Axial force envelope at local pos.: ", "Shear force envelope at local pos.: ",
        "Bending moment envelope at local pos.: "};
    auto part = [&](const char* head, const EnvelopeValue& v) {
        return head + valueText(s, unit, format, v.value) + " (" +
               attrib::labelOf(attrib::root(), v.combo) + ")";
    };
    return kHeads[k] + position(s, m, at.x) + part("Max: ", at.max[k]) + "  " +
           part("Min: ", at.min[k]);
}

std::string influenceLine(const attrib::AppSettings& s, const MemberInput& m, ResultKind kind,
                          bool holdsSection, double a, double x) {
    const char* head = influenceHead(kind);
    if (!head) return "";
    return std::string(head) + " influence line at local pos.: " + position(s, m, x) +
           "Value: " + influenceValueText(s, kind, influenceAt(m, kind, holdsSection, a, x), true);
}

} // namespace results
