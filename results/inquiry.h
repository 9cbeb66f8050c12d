// The inquiry texts of the information area: what a picked node or member
// holds (coordinates, support conditions, loads, material, section), the
// node results of result mode, and the totals message. Every value is in
// the display unit of its quantity and the format of its slot.
#pragma once

#include "attrib/attrib.h"
#include "attrib/settings.h"
#include "results/diagram.h"

#include <string>

namespace results {

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

} // namespace results
