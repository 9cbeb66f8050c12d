// Influence lines: where a picked section lands on its member (snapped to
// the result step, the ends within 0.005 moved onto the nodes) and the
// message line texts of the influence-line mode.
#pragma once

#include "attrib/settings.h"
#include "results/diagram.h"

#include <string>

namespace results {

// Shown when a pick in the influence-line mode finds no member.
inline constexpr const char* kNoSection =
    "No section found. Please indicate a member section for displaying influence line.";

// Distance from end 1 of the section picked at x on a member of length L.
// With a result step t > 0, x goes to the nearest multiple of the step (a
// fraction of exactly one half goes down), within [0, L]: the step is t when
// `uniform` is false, otherwise L / n with n = L / t rounded, plus one when
// L - n t exceeds 0.005, at least 1. Then a section closer than 0.005 to an
// end is put on that end.
double snapSection(double x, double L, double t, bool uniform);

// "Axial force", "Shear force" or "Bending moment" for kinds 1 to 3, the
// head of the influence-line texts of the message line; nullptr otherwise.
const char* influenceHead(ResultKind kind);

// The message line of an influence line of kind 1 to 3 at section x of a
// member of length L, in the length unit and format of the settings ("" for
// another kind).
std::string influenceMessage(const attrib::AppSettings& s, ResultKind kind, double x, double L);

// Influence ordinate, the negated global vertical displacement, at x of a
// member without the section: its end displacements and rotations with its
// hinges, no member loads (m as memberInputOf gives it).
double influenceOrdinate(const MemberInput& m, double x);

// The same on the member holding the section of `kind` at a: the curve of
// its end displacements (with the dislocation's end moments at hinged ends)
// plus the unit dislocation itself. `right` picks the side of the section
// when x == a.
double sectionOrdinate(const MemberInput& m, ResultKind kind, double a, double x, bool right);

// The sampled influence line of a member at precision step h (axis points
// (0, 0) and (L, 0) first and last; the extreme is the first largest
// |ordinate|). With `holdsSection` the two sides of the section at a are
// sampled apart, both including a (the jump of axial and shear lines shows
// as two points; the bending line starts its right side one interval on).
MemberCurve sampleInfluence(const MemberInput& m, ResultKind kind, bool holdsSection, double a,
                            double h);

// The influence ordinate at x of any member: sectionOrdinate on the member
// holding the section (at the section itself the side that is drawn there:
// the left one, or the right one when the section is at end 1), else
// influenceOrdinate.
double influenceAt(const MemberInput& m, ResultKind kind, bool holdsSection, double a, double x);

// Step values of an influence line: the positions of the result step t as
// for the force diagrams, each with its ordinate (values below 0.005 in
// magnitude are 0). Empty when t <= 0 or more than kMaxStepValues values
// would be needed.
std::vector<StepValue> influenceStepValues(const MemberInput& m, ResultKind kind, bool holdsSection,
                                           double a, double t, bool uniform);

} // namespace results
