// Attribute symbols of the model display: member trimming at hinges and
// rotation-only restraints, the member body (rigid band with its hatch,
// thick axis of members without axial deformation), member loads with their
// values, hinge circles, support and spring symbols turned by the support
// inclination, prescribed displacements, and nodal forces and moments. All
// sizes come from SymbolSizes, so the symbols keep their screen size when
// zooming; all colours come from the drawing roles. The model display's
// member and node passes call these; they draw through the drawing facade
// only.
#pragma once

#include "attrib/attrib.h"
#include "attrib/settings.h"
#include "gfx/canvas.h"
#include "results/display.h"

#include <vector>

namespace results {

// What a pass needs besides the entity: the canvas, the sizes, the colours
// and which options are on.
struct SymbolContext {
    gfx::Canvas& c;
    const SymbolSizes& sz;
    const attrib::ColorScheme& cs;
    const attrib::AppSettings* settings = nullptr; // units and formats of the values
    bool supports = true;                          // supports are drawn
    bool loads = true;                             // loads are drawn
    bool values = true;                            // load values and stiffnesses written
    bool resultMode = false;
};

// Whether loads are drawn with these settings: outside result mode while
// "Loading while Editing" is on, in result mode while "Loading with Results"
// is on and no influence line is shown.
bool loadsVisible(const attrib::AppSettings& s);

// The hatch style (0 to 3) of a rigid member drawn at `degrees` (from start
// to end, in (-180, 180]) and the fill style that draws it: the four hatch
// styles of the drawing facade in their order.
int rigidHatchStyle(double degrees);
gfx::FillStyle hatchFill(int style);

// Whether a node is drawn with the rotation-only restraint square: Rz fixed,
// and no fixed translation or prescribed displacements (supports shown).
bool drawsClampSquare(const attrib::NodeAttrib* a, bool supportsShown);

// The drawn line of a member: its points from start to end, shortened at
// each end by the clamp square and the hinge circle; `trim1`, `trim2` are the
// hinge parts of the shortening (where the end hinge circle sits).
struct MemberLine {
    std::vector<gfx::Point> pts;
    double hinge1 = 0, hinge2 = 0; // diameter of the end hinge circle, 0 none
};
MemberLine trimmedMember(const Edge* e, const SymbolSizes& sz, bool supportsShown);

// Member pass pieces, in drawing order.
void drawMemberLoads(const SymbolContext& k, const Edge* e, const MemberLine& m);
void drawMemberBody(const SymbolContext& k, const Edge* e, const MemberLine& m, int color);

// Node pass pieces, in drawing order.
void drawHinges(const SymbolContext& k, const Vertex* v, int color);
void drawSupport(const SymbolContext& k, const Vertex* v);
void drawNodalForce(const SymbolContext& k, const Vertex* v);

} // namespace results
