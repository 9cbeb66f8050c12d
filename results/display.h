// Model display: the one function that draws the whole canvas (background,
// grid, members, orientation arrows, node marks, selection highlight, the
// analysis numbers in result mode and the dimension lines) through the
// drawing facade only, so that the screen, the printer and the export
// drivers all get the same picture. Colours come from the colour scheme's
// slots through the table of drawing roles below, symbol sizes from the
// diagonal of the visible world window. Called by the shell's redraw and,
// later, by the export commands.
#pragma once

#include "attrib/attrib.h"
#include "attrib/settings.h"
#include "gfx/canvas.h"

namespace results {

struct ResultDrawing; // results/resultset.h

// What each piece of the drawing is drawn as; each role has one colour slot
// of the scheme (docs/model-display.md lists them).
enum class Role {
    Members,
    Selected, // selected members and nodes
    Nodes,
    Supports,
    NodalForces,
    MemberLoads,
    PrescribedDisplacements,
    Reactions,
    Numbers,
    Diagrams,
    DimensionLines,
    Grid,
    Count
};
// The colour slot (1 to 17) of a role.
int roleSlot(Role r);
// The palette index of a role in a scheme.
int roleColor(const attrib::ColorScheme& scheme, Role r);

// Symbol sizes of one redraw, in world units, from the diagonal L of the
// visible window.
struct SymbolSizes {
    double diagonal = 0;
    double orientationArrow = 0; // 0.02 L
    double rigidBand = 0;        // 0.006 L
    double hingedNode = 0;       // 0.012 L
    double endHinge = 0;         // 0.0096 L
    double clampSquare = 0;      // 0.01875 L
    double forceArrow = 0;       // 0.045 L
    double momentArc = 0;        // 0.0225 L
    double loadHeight = 0;       // 0.05 L
    double loadHead = 0;         // 0.012 L
    double support = 0;          // 0.025 L
};
SymbolSizes symbolSizes(double xmin, double xmax, double ymin, double ymax);

// Pixel sizes of the node marks: the mark of every node and the larger one
// that tells selected nodes apart in the black-foreground scheme.
constexpr int kNodeMarkPx = 5;
constexpr int kSelectedNodeMarkPx = 11;
// The grid is drawn only while its points are at least this far apart.
constexpr double kMinGridSpacingPx = 4;

struct DisplayInput {
    const Solid* model = nullptr; // none or empty: no frame is drawn
    const attrib::AttributeRoot* root = nullptr;
    const attrib::AppSettings* settings = nullptr;
    const attrib::ColorScheme* colors = nullptr;
    // In result mode (settings->result.on), the result layer drawn over the
    // members and under the nodes.
    const ResultDrawing* results = nullptr;
};

// Redraw of the whole canvas: clears it to the scheme's background, then
// draws the grid (when on), the members, the nodes and the dimension lines
// (when shown) in the canvas's current world window. Nothing is flushed.
void drawModel(gfx::Canvas& c, const DisplayInput& in);

// Parts of the drawing, for the echo of interactive operations.
void drawMember(gfx::Canvas& c, const Edge* e, const SymbolSizes& sz, bool arrows);
void drawDimensionLine(gfx::Canvas& c, const attrib::DimensionLine& d, const SymbolSizes& sz,
                       const attrib::AppSettings* settings);

} // namespace results
