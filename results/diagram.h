// Member result curves: the axial force, shear force and bending moment along
// a member from its end forces and loads, the exact elastic curve of the
// deformed member from its end displacements, loads, hinges and temperature
// gradient, their sampling and extremes, the step values written along a
// member, and the diagram size with its limit and factor. Everything works
// on a plain record per member, so the result display fills it from the
// attribute records and the tests fill it by hand. No drawing here: see
// results/diagramdraw.h.
#pragma once

#include <vector>

namespace results {

// The result kinds of the display: 0 none, 1 to 3 the internal forces, 4 the
// deformed configuration.
enum class ResultKind { None = 0, Axial = 1, Shear = 2, Bending = 3, Deformed = 4 };

// Everything one member contributes to its diagrams, in local axes (x from
// end 1 to end 2, y the x axis turned by +90 degrees) and internal units.
struct MemberInput {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    // End forces acting on the member at each end, and the end-moment loads.
    double N1 = 0, V1 = 0, M1 = 0, N2 = 0, V2 = 0, M2 = 0;
    double Ma = 0, Mb = 0;
    // Distributed load varying linearly from end 1 to end 2.
    double qx1 = 0, qy1 = 0, qx2 = 0, qy2 = 0;
    // End displacements along (u) and across (w) the member, end rotations.
    double u1 = 0, w1 = 0, t1 = 0, u2 = 0, w2 = 0, t2 = 0;
    bool hinge1 = false, hinge2 = false;
    bool rigid = false, noAxial = false;
    double E = 0, alpha = 0, A = 0, I = 0, depth = 0;
    double tyPlus = 0, tyMinus = 0; // temperature change at the +y and -y faces
};

double memberLength(const MemberInput& m);
// Angle of the member from end 1 to end 2, in radians.
double memberAngle(const MemberInput& m);
// Whether a member from (x1, y1) to (x2, y2) reads left to right: dx > 1e-7,
// or a vertical member pointing up. It decides the signs of the drawing.
bool readsLeftToRight(double x1, double y1, double x2, double y2);
// Local components of a load vector given in global axes, for a member at
// `angle` radians; components below 1e-5 in magnitude become 0.
void globalToLocal(double gx, double gy, double angle, double& lx, double& ly);

// Ordinate of an internal force diagram (kinds 1 to 3) at 0 <= x <= L.
double ordinate(const MemberInput& m, ResultKind kind, double x);

// One sampled point: position along the member, axial displacement (0 for
// the force diagrams) and ordinate (force, or transverse displacement).
struct Sample {
    double x = 0, u = 0, f = 0;
};
struct MemberCurve {
    std::vector<Sample> pts;
    double extremeX = 0, extremeValue = 0;
};

// At most this many intervals are sampled on one member, whatever the
// precision step; a step of 0 or less samples one interval.
constexpr int kMaxIntervals = 100000;
// The drawing shows at most this many points of a member.
constexpr int kMaxDrawnPoints = 300;
// Members needing more step values than this show none.
constexpr int kMaxStepValues = 50;

// Number of intervals of a curve sampled at precision step h.
int intervalsFor(double L, double h);
// The force diagram of a member sampled for kinds 1 to 3: the closing points
// on the axis at both ends, one interval when the diagram is linear, the
// precision step h otherwise. Kind 0 and 4 give an empty curve.
MemberCurve sampleDiagram(const MemberInput& m, ResultKind kind, double h);

// Local extremes of the bending moment inside the member (at most two): the
// positions where the shear vanishes, with the bending moment there signed
// as every written value is (valueSign(): sagging of a member read left to
// right is positive, whichever way the member was drawn).
struct LocalExtreme {
    double x = 0, M = 0;
};
std::vector<LocalExtreme> bendingExtremes(const MemberInput& m);
// Where a curved diagram of kind 1 to 3 has a zero slope inside the member,
// in increasing order: the bending moment where the shear is zero, the
// shear of a linear load where the load is zero.
std::vector<double> turningPoints(const MemberInput& m, ResultKind kind);

// Step values: positions and signed values (tension positive, sagging of a
// member read left to right positive) at the result step t; `uniform`
// divides the member into equal segments, otherwise the last one is shorter.
// Empty when t <= 0 or the member would need more than kMaxStepValues.
struct StepValue {
    double x = 0, value = 0;
};
std::vector<StepValue> stepValues(const MemberInput& m, ResultKind kind, double t, bool uniform);
// The sign that turns an ordinate into the shown value.
double valueSign(const MemberInput& m, ResultKind kind);

// The member record with the substitutions that keep the elastic curve
// finite (rigid members, members without axial deformation, missing or
// invalid material and section values).
MemberInput deformationInput(const MemberInput& m);
// Axial and transverse displacement at 0 <= x <= L on the exact elastic
// curve (call with the record from deformationInput).
void displacementAt(const MemberInput& m, double x, double& u, double& w);
// The deformed member sampled at precision step h, the end point included;
// the extreme is the largest |w|.
MemberCurve sampleDeformed(const MemberInput& m, double h);

// Diagram size: default 0.1 times the larger side of the model's bounding
// box, limit 5 times the default.
double defaultDiagramSize(double xmin, double xmax, double ymin, double ymax);
inline double diagramSizeLimit(double defaultSize) {
    return 5 * defaultSize;
}
// Scale from ordinate to world length: |size / largest|, or 1 for none.
double diagramScale(double size, double largest);
// Size from a valuator position 0 < r <= 1; other r keep the current size.
double sizeFromValuator(double r, double limit, double current);
// Size from a typed factor F and the largest value in display units,
// clamped to [0, limit].
double sizeFromFactor(double F, double largestDisplay, double limit);
// The factor shown: size / largest value in display units, 0 without one.
double shownFactor(double size, double largestDisplay);

} // namespace results
