// The result curves of a whole frame: each member's plain input gathered
// from its records (end forces and end displacements left there by the
// analysis, loads, hinges, constraints, material and section), its sampled
// curve for the current result kind and the largest value that sets the
// drawing scale. The result display computes it on every change of result
// kind and draws it in the model drawing pass.
#pragma once

#include "attrib/attrib.h"
#include "model/entities.h"
#include "results/diagram.h"
#include "results/diagramdraw.h"

#include <functional>
#include <vector>

namespace results {

// The input of one member from its records: end forces from the member's
// results, nodal displacements turned into the member's axes, loads in
// local components (global blocks turned by the member's angle), end-moment
// loads, thermal values, hinges, constraints, E, alpha, A, I and depth.
// The loads are those of what is shown (a case, or the factored cases of a
// combination); the second form takes the factors.
MemberInput memberInputOf(const Edge* e);
MemberInput memberInputOf(const Edge* e, const std::vector<attrib::CaseFactor>& factors);

struct ResultCurves {
    ResultKind kind = ResultKind::None;
    double largest = 0; // greatest |value| over all members
    std::vector<const Edge*> members;
    std::vector<MemberInput> inputs;
    std::vector<MemberCurve> curves;
    // Influence lines: the curves are the line of `kind` for the section at
    // sectionX on member sectionIndex.
    bool influence = false;
    int sectionIndex = -1;
    double sectionX = 0;
};
// Gathers and samples every member of the model for `kind` at precision
// step h; the largest value is the greatest |extreme| (for the deformed
// shape, the end displacements along the members count too).
void computeCurves(ResultCurves& rc, const Solid* model, ResultKind kind, double h);
// The influence line of `kind` (1 to 3) for the section at a on member
// `section`, from the displacements of the dislocation analysis left in
// the node records, sampled over every member at precision step h.
void computeInfluenceCurves(ResultCurves& rc, const Solid* model, ResultKind kind,
                            const Edge* section, double a, double h);
// Influence lines are drawn only when their largest value exceeds this.
inline constexpr double kInfluenceDrawnAbove = 0.001;

// What the model drawing pass adds in result mode.
struct Envelope; // results/envelope.h

struct ResultDrawing {
    const ResultCurves* curves = nullptr;
    // With the envelope shown, its curves are drawn instead of the curves
    // of the force diagrams (the deformed shape stays a single curve).
    const Envelope* envelope = nullptr;
    double diagramSize = 0;
    std::vector<Reaction> reactions; // shown when the reactions toggle is on
};

// Calls `add` with every world point through which the result layer draws
// its curves (diagrams, deformed members or influence line), so that the
// view can be fitted to the drawing with its results.
void forEachDrawnPoint(const ResultDrawing& rd, const attrib::AppSettings* settings,
                       const std::function<void(double x, double y)>& add);

// The result layer of the model drawing: the diagrams, the deformed
// members or the influence line with its section mark, then the reactions, with the display toggles
// of the settings
// ("Result Values", "Step Values", "Transversal Values", "Bending Moment
// Sign", "Reactions", "Reaction Values") and the bending diagram side.
// Labels that would overlap an earlier one are left out.
void drawResults(gfx::Canvas& c, const ResultDrawing& rd, const attrib::AppSettings* settings,
                 const attrib::ColorScheme& cs, const SymbolSizes& sz);

} // namespace results
