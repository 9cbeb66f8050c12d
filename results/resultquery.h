// The result line of the result query mode: the value of the displayed
// result or influence line at the point of a member under the pointer, as
// the one-line text of the message line, with units and formats of the
// settings.
#pragma once

#include "attrib/settings.h"
#include "results/diagram.h"
#include "results/envelope.h"

#include <string>

namespace results {

// Position along the member (0 to L) of the foot of the perpendicular from
// a world point.
double localPosition(const MemberInput& m, double px, double py);

// The result line at position x of a member for kinds 1 to 4 ("" for kind
// 0): axial force as a magnitude with "- Tension" or "- Compression", shear
// force as computed, bending moment with the sign of the step values, and
// for the deformed shape the global displacements Dx and Dy of the point of
// the elastic curve.
std::string resultLine(const attrib::AppSettings& s, const MemberInput& m, ResultKind kind,
                       double x);

// The same line while the envelope of kind 1 to 3 is shown: the largest
// and the smallest value at the point, each with its governing combination.
std::string envelopeLine(const attrib::AppSettings& s, const MemberInput& m, ResultKind kind,
                         const EnvelopePoint& at);

// The same line while an influence line of kind 1 to 3 is shown: the
// ordinate at x of the member (holding the section at a when
// `holdsSection`), a ratio without unit for axial and shear lines, a length
// for bending lines ("" for another kind).
std::string influenceLine(const attrib::AppSettings& s, const MemberInput& m, ResultKind kind,
                          bool holdsSection, double a, double x);

} // namespace results
