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

std::string influenceMessage(const attrib::AppSettings& s, ResultKind kind, double x, double L) {
    const char* head = kind == ResultKind::Axial     ? "Axial force"
                       : kind == ResultKind::Shear   ? "Shear force"
                       : kind == ResultKind::Bending ? "Bending moment"
                                                     : nullptr;
    if (!head) return "";
    auto len = [&](double v) {
        return units::textWithUnit(s.units[units::kLengthUnit], s.formats[units::kLengthFormat], v);
    };
    return std::string(head) + " influence line for section at local pos.: x = " + len(x) +
           "  L = " + len(L);
}

} // namespace results
