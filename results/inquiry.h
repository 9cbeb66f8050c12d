// The inquiry texts of the information area: what a picked node or member
// holds (coordinates, support conditions, loads, material, section), the
// node and member results of result mode, the member text of an influence
// line, and the totals message. Every value is in the display unit of its
// quantity and the format of its slot.
#pragma once

#include "attrib/attrib.h"
#include "attrib/settings.h"
#include "results/diagram.h"
#include "results/envelope.h"

#include <string>

namespace results {

// The first line of the result texts of second-order results (linear ones
// have none).
inline constexpr char kSecondOrderLine[] = " Analysis: second order (P-Delta)\n";

// The totals message: the node and member counts of the model, or that the
// structure is not defined (no model, or no node).
std::string totalsText(bool haveModel, int nodes, int members);

// The attribute text of a node at (x, y).
std::string nodeAttribText(const attrib::AppSettings& s, double x, double y,
                           const attrib::NodeAttrib& a);

// The attribute text of a member of length L.
std::string memberAttribText(const attrib::AppSettings& s, double L, const attrib::MemberAttrib& a);

// The result text of a node: its reactions (none for a free node) and its
// displacements, each array in the order Fx, Fy, Mz and Dx, Dy, Rz.
std::string nodeResultText(const attrib::AppSettings& s, bool supported, const double reactions[3],
                           const double displacements[3]);

// The result text of a member for the shown kind: the values at its two
// ends (with the signs of the step values), the local extremes of the
// bending moment or the largest transverse displacement (sampled at the
// precision step h), then the values at the result step of the settings, or
// the request for a reasonable step when there are none.
std::string memberResultText(const attrib::AppSettings& s, const MemberInput& m, ResultKind kind,
                             double h);

// The member text of the envelope of `kind` (1 to 3): at the picked point
// and at the member's extremes along it, the largest and the smallest value,
// the combination that governs each (marked when pattern shares were
// picked) and the other two internal forces of that loading there.
std::string memberEnvelopeText(const attrib::AppSettings& s, ResultKind kind,
                               const EnvelopePoint& at, const MemberEnvelope& m);
// The node text of the envelope: the largest and smallest reaction
// components the support carries (`carried`: Fx, Fy, Mz; none for a free
// node) and displacements, each with the combination that governs it.
std::string nodeEnvelopeText(const attrib::AppSettings& s, const NodeEnvelope* reactions,
                             const bool carried[3], const NodeEnvelope& displacements);

// The member text while an influence line of `kind` (1 to 3) is shown: the
// ordinates at both ends, then the values along the member at the result
// step of the settings, or the request for a reasonable step. The member
// holds the section at a when `holdsSection`. Axial and shear ordinates are
// ratios (length format, no unit, not converted); bending ordinates are
// lengths per unit load, in the display length unit ("" for another kind).
std::string memberInfluenceText(const attrib::AppSettings& s, const MemberInput& m, ResultKind kind,
                                bool holdsSection, double a);

// An influence ordinate of `kind` as text: a bare ratio for axial and shear
// lines, a length (with its unit label when `withUnit`) for bending lines.
std::string influenceValueText(const attrib::AppSettings& s, ResultKind kind, double v,
                               bool withUnit);

// The global components dx, dy of a displacement u along and w across a
// member. The direction cosines come from the end coordinates, so a
// vertical or horizontal member gives exact zeros, not 6e-17 m.
void toGlobal(const MemberInput& m, double u, double w, double& dx, double& dy);

// A formatted value that prints as zero loses its sign: a moment of -1e-12
// at a pinned end reads "0.0 kNm", not "-0.0 kNm".
std::string withoutZeroSign(std::string text);

} // namespace results
