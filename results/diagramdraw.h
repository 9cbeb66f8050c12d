// Drawing of the results over the model: a member's force diagram with its
// end and step values, the deformed member, and the reaction arrows of a
// supported node with their values. Draws through the drawing facade only,
// in the model drawing pass; the values come from results/diagram.h.
#pragma once

#include "attrib/settings.h"
#include "gfx/canvas.h"
#include "results/diagram.h"
#include "results/display.h"

#include <string>
#include <vector>

namespace results {

// Labels already written in one drawing pass, in pixels; a label that would
// overlap one of them is left out, so that the first written wins (members
// are drawn in their order, end values before step values).
class LabelSpace {
public:
    // Whether the pixel box is free; when it is, it is taken.
    bool take(double x0, double y0, double x1, double y1);
    // Whether a pixel point lies in a label already written: a label
    // anchored there would overlap it, so it need not even be formatted.
    bool covers(double x, double y) const;
    void clear();
    int taken() const { return static_cast<int>(boxes_.size()); }

private:
    struct Box {
        double x0, y0, x1, y1;
    };
    static constexpr double kCell = 64;
    std::vector<Box> boxes_;
    std::vector<std::vector<int>> cells_; // box indices by cell, hashed
};

// What one member's force diagram is drawn with.
struct DiagramStyle {
    ResultKind kind = ResultKind::Bending;
    double scale = 1;          // |diagram size / largest value|
    bool tensionSide = true;   // bending diagram on the tension side
    bool endValues = true;     // "Result Values"
    bool stepValues = false;   // "Step Values"
    bool transversal = false;  // "Transversal Values": ordinate lines at the steps
    bool signedMoment = false; // "Bending Moment Sign": moments written with sign
    bool extremeValue = false; // the curve's extreme written where it lies inside the member
    double step = 0;           // result step, model units
    bool uniform = true;       // equal segments rather than the fixed step
    const attrib::AppSettings* settings = nullptr; // units and formats; none: no values
    int color = 1;
    LabelSpace* labels = nullptr; // none: every label is written
};

// The factor that turns an ordinate into a perpendicular world offset along
// the member's local y axis, with the sign rules of each kind.
double drawnScale(const MemberInput& m, const DiagramStyle& st);
// The points of a curve that are drawn: all of them up to `maxPoints` (at
// most kMaxDrawnPoints), otherwise evenly thinned keeping the first two,
// the last two and the extreme.
std::vector<int> drawnPoints(const MemberCurve& c, int maxPoints = kMaxDrawnPoints);
// The text of a shown value of a kind, with its unit and format.
std::string valueText(const attrib::AppSettings& s, ResultKind kind, double value);

void drawMemberDiagram(gfx::Canvas& c, const MemberInput& m, const MemberCurve& curve,
                       const DiagramStyle& st);
// What one member's share of an influence line is drawn with.
struct InfluenceStyle {
    ResultKind kind = ResultKind::Bending;
    double scale = 1;          // |diagram size / largest value|
    bool bottomSide = true;    // positive values below the member
    bool tensionSide = true;   // the bending diagram side (a bending line
                               // follows the diagrams only on the compression side)
    bool sectionValues = true; // "Result Values": the ordinates at the section
    bool stepValues = false;   // "Step Values"
    double step = 0;
    bool uniform = true;
    bool holdsSection = false; // this member holds the section, at `section`
    double section = 0;
    double markSize = 0; // half the length of the section mark across the member
    const attrib::AppSettings* settings = nullptr;
    int color = 1;
    LabelSpace* labels = nullptr;
};
// The factor that turns an influence ordinate into a world offset along
// the member's local y axis: positive values on the bottom side, or on
// the side the force diagrams put them.
double influenceScale(const MemberInput& m, const InfluenceStyle& st);
void drawInfluenceMember(gfx::Canvas& c, const MemberInput& m, const MemberCurve& curve,
                         const InfluenceStyle& st);

// The deformed member from sampleDeformed: each point at local position
// (x + s·u, s·w).
void drawDeformedMember(gfx::Canvas& c, const MemberInput& m, const MemberCurve& curve,
                        double scale, int color);

// The reaction of a supported node in global components, and which of them
// are shown (the others are free directions).
struct Reaction {
    double x = 0, y = 0;
    double rx = 0, ry = 0, mz = 0;
    bool showX = false, showY = false, showM = false;
    // The envelope's reactions: rx, ry, mz are the largest components and
    // these the smallest; each arrow points along the one of larger
    // magnitude and is labelled "largest / smallest" along it.
    bool range = false;
    double minX = 0, minY = 0, minM = 0;
};
void drawReaction(gfx::Canvas& c, const Reaction& r, const SymbolSizes& sz,
                  const attrib::AppSettings* settings, bool values, int color,
                  LabelSpace* labels = nullptr);

} // namespace results
