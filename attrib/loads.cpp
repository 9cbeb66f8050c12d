// The load kinds table, new load blocks and the parallelism of global linear
// loads.
#include "attrib/loads.h"

#include "units/units.h"

#include <cmath>
#include <cstring>

namespace attrib {

namespace {

using namespace units;

const LoadKindInfo kLoadKinds[kLoadKindCount] = {
    {kNff,
     "Nff",
     "Nodal",
     true,
     false,
     -1,
     3,
     {{"NffFx", "nfffxtext", "Fx:", "Horizontal force", kForceUnit, kForceFormat},
      {"NffFy", "nfffytext", "Fy:", "Vertical force", kForceUnit, kForceFormat},
      {"NffMz", "nffmztext", "Mz:", "Moment", kMomentUnit, kMomentFormat}}},
    {kMbm,
     "Mbm",
     "End Moments",
     false,
     false,
     kEndMoments,
     2,
     {{"MbmMa", "mbmmatext", "Ma:", "Initial member end moment", kMomentUnit, kMomentFormat},
      {"MbmMb", "mbmmbtext", "Mb:", "Final member end moment", kMomentUnit, kMomentFormat}}},
    {kUlf,
     "Ulf",
     "Uniform",
     false,
     true,
     kUniform,
     2,
     {{"UlfQx", "ulfqxtext", "Qx:", "Load in X direction", kDistribLoadUnit, kDistribLoadFormat},
      {"UlfQy", "ulfqytext", "Qy:", "Load in Y direction", kDistribLoadUnit, kDistribLoadFormat}}},
    {kLlf,
     "Llf",
     "Linear",
     false,
     true,
     kLinear,
     4,
     {{"LlfPxi", "llfpxitext", "Pxi:", "Start load in X direction", kDistribLoadUnit,
       kDistribLoadFormat},
      {"LlfPyi", "llfpyitext", "Pyi:", "Start load in Y direction", kDistribLoadUnit,
       kDistribLoadFormat},
      {"LlfPxj", "llfpxjtext", "Pxj:", "End load in X direction", kDistribLoadUnit,
       kDistribLoadFormat},
      {"LlfPyj", "llfpyjtext", "Pyj:", "End load in Y direction", kDistribLoadUnit,
       kDistribLoadFormat}}},
    {kTpf,
     "Tpf",
     "Thermal",
     false,
     false,
     kThermal,
     2,
     {{"TpfTop", "tpftoptext", "Ty+:", "Temperature var. at local y+ fiber", kTemperatureUnit,
       kTemperatureFormat},
      {"TpfBot", "tpfbottext", "Ty-:", "Temperature var. at local y- fiber", kTemperatureUnit,
       kTemperatureFormat}}},
};

} // namespace

const LoadKindInfo* loadKind(int kind) {
    return kind >= 0 && kind < kLoadKindCount ? &kLoadKinds[kind] : nullptr;
}

LoadBlock* asLoad(PropertyBlock* b) {
    return dynamic_cast<LoadBlock*>(b);
}
const LoadBlock* asLoad(const PropertyBlock* b) {
    return dynamic_cast<const LoadBlock*>(b);
}

LoadBlock* addLoadBlock(AttributeRoot& r, int kind, const char* label) {
    if (!loadKind(kind) || !label || !*label || std::strlen(label) >= kLabelSize) return nullptr;
    PropertyBlock** tail = &r.lists[kind];
    for (; *tail; tail = &(*tail)->next)
        if (std::strcmp((*tail)->label, label) == 0) return nullptr;
    auto* b = new LoadBlock();
    std::strcpy(b->label, label);
    b->id = ++r.counters[kind];
    *tail = b;
    return b;
}

void keepLinearLoadParallel(LoadBlock& b, int prefer) {
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

bool loadIsNegligible(const LoadBlock& b, int kind) {
    const LoadKindInfo* k = loadKind(kind);
    if (!k) return true;
    for (int i = 0; i < k->fieldCount; ++i)
        if (std::fabs(b.values[i]) >= kLoadDrawThreshold) return false;
    return true;
}

} // namespace attrib
