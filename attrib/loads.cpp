// Value counts of the load kinds, the parallelism of global linear loads and
// the drawing threshold.
#include "attrib/loads.h"

#include <cmath>

namespace attrib {

int loadValueCount(int kind) {
    static constexpr int kCounts[5] = {3, 2, 2, 4, 2}; // Nff, Mbm, Ulf, Llf, Tpf
    return kind >= kNff && kind <= kTpf ? kCounts[kind] : 0;
}

void keepLinearLoadParallel(ValueBlock& b, int prefer) {
    if (b.direction != kGlobal) return;
    double& xi = b.values[kPxi];
    double& yi = b.values[kPyi];
    double& xj = b.values[kPxj];
    double& yj = b.values[kPyj];
    const double r = std::sqrt(xi * xi + yi * yi);
    if (r <= 0.0001) return;
    const double ux = xi / r, uy = yi / r;
    if (prefer == 0) {
        if (std::fabs(ux) <= 0.001)
            xi = xj = 0;
        else
            yj = uy / ux * xj;
    } else if (prefer == 1) {
        if (std::fabs(uy) <= 0.001)
            yi = yj = 0;
        else
            xj = ux / uy * yj;
    } else if (std::fabs(ux) > std::fabs(uy)) {
        yj = uy / ux * xj;
    } else {
        xj = ux / uy * yj;
    }
    if (std::fabs(xj) < 0.0001) xj = 0;
    if (std::fabs(yj) < 0.0001) yj = 0;
}

bool loadIsNegligible(const ValueBlock& b, int kind) {
    for (int i = 0; i < loadValueCount(kind); ++i)
        if (std::fabs(b.values[i]) >= kLoadDrawThreshold) return false;
    return true;
}

} // namespace attrib
