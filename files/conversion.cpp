// Unit and format codes for a frame whose values were stored in the user's
// units (files older than version 206).
#include "files/modelfile.h"

#include <algorithm>

namespace files {

namespace {

// Formats of the length, section size, area, inertia, force, moment,
// distributed load, elastic parameter and specific weight slots for each
// length and force unit, SI rows then US rows.
constexpr int kSIFormats[3][3][9] = {
    {{2, 2, 4, 6, 1, 1, 2, 10, 1}, {2, 2, 4, 6, 0, 0, 0, 10, 0}, {2, 2, 4, 6, 2, 2, 3, 10, 2}},
    {{1, 1, 2, 11, 1, 0, 4, 2, 10}, {1, 1, 2, 11, 0, 11, 1, 10, 4}, {1, 1, 2, 11, 2, 0, 5, 3, 10}},
    {{0, 0, 0, 11, 1, 0, 6, 4, 10}, {0, 0, 0, 11, 0, 11, 2, 0, 10}, {0, 0, 0, 11, 2, 0, 10, 5, 10}},
};
constexpr int kUSFormats[2][2][9] = {
    {{2, 2, 4, 6, 1, 1, 2, 10, 3}, {2, 2, 4, 6, 0, 0, 0, 10, 1}},
    {{1, 1, 2, 11, 1, 0, 4, 2, 10}, {1, 1, 2, 11, 0, 11, 1, 10, 3}},
};

} // namespace

units::UnitSettings conversionUnits(bool us, int length, int force,
                                    const units::UnitSettings& current) {
    using namespace units;
    const int rows = us ? 2 : 3;
    const int l = std::clamp(length, 0, rows - 1);
    const int f = std::clamp(force, 0, rows - 1);
    // Unit codes run through each quantity's table in the order of the
    // lengths, then of the forces: SI tables hold 3 x 3 units, US 2 x 2.
    const int lf = us ? 2 * l + f : 3 * l + f;
    UnitSettings s = current;
    auto& u = s.unit;
    u[kLengthUnit] = u[kDisplacementUnit] = u[kSectionSizeUnit] = us ? 3 + l : l;
    u[kRotationUnit] = 5;
    u[kSectionAreaUnit] = us ? 10 + l : 7 + l;
    u[kSectionInertiaUnit] = us ? 15 + l : 12 + l;
    u[kForceUnit] = us ? 20 + f : 17 + f;
    u[kMomentUnit] = us ? 31 + lf : 22 + lf;
    u[kDistribLoadUnit] = us ? 44 + lf : 35 + lf;
    u[kElasticParamUnit] = us ? 59 + lf : 50 + lf;
    u[kSpecificWeightUnit] = us ? 72 + lf : 63 + lf;
    u[kTranslatSpringUnit] = us ? 87 + lf : 78 + lf;
    u[kRotationSpringUnit] = us ? 100 + lf : 91 + lf;
    u[kTemperatureUnit] = us ? 49 : 48;
    u[kThermalExpanUnit] = us ? 77 : 76;
    const int* t = us ? kUSFormats[l][f] : kSIFormats[l][f];
    auto& fm = s.format;
    fm[kRotationFormat] = fm[kDisplacementFormat] = 10;
    fm[kTranslatSpringFormat] = fm[kRotationSpringFormat] = 10;
    fm[kTemperatureFormat] = 0;
    fm[kThermalExpanFormat] = 6;
    fm[kLengthFormat] = fm[kLength2Format] = t[0];
    fm[kWorkSpaceFormat] = fm[kCursorFormat] = fm[kGridStepFormat] = t[0];
    fm[kSectionSizeFormat] = t[1];
    fm[kSectionAreaFormat] = t[2];
    fm[kSectionInertiaFormat] = t[3];
    fm[kForceFormat] = fm[kForce2Format] = t[4];
    fm[kMomentFormat] = fm[kMoment2Format] = t[5];
    fm[kDistribLoadFormat] = t[6];
    fm[kElasticParamFormat] = t[7];
    fm[kSpecificWeightFormat] = t[8];
    return s;
}

} // namespace files
