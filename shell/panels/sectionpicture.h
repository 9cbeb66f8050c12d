// The picture of a section's oriented shape on its panel page: the shape
// drawn to scale from the section's dimensions (or in typical proportions
// while they are not all set), filled, outlined, with the horizontal axis
// through its centroid. Drawn through the drawing facade, so the page's
// canvas and the recording driver of the tests get the same picture.
#pragma once

#include "attrib/section.h"
#include "gfx/canvas.h"

#include <vector>

namespace shell {

// The name of the picture of a type in an orientation code
// ("secishapeimg_left"); "" for a code the type does not admit.
const char* sectionPictureName(int type, int code);

// One closed outline of the shape, in metres; a circle is {centre, radius}.
struct ShapePart {
    std::vector<gfx::Point> outline;
    bool circle = false; // outline[0] is the centre, outline[1].x the radius
    bool hole = false;   // drawn in the background colour over what precedes it
};

// The parts of the section's shape in its orientation, in metres, the bottom
// fibre at y = 0. The dimensions are the section's when they make a proper
// shape, else the type's typical proportions; `drawnToScale` says which.
std::vector<ShapePart> sectionShape(const attrib::Section& s, bool* drawnToScale = nullptr);

// Draws the picture over the whole canvas.
void drawSectionPicture(gfx::Canvas& c, const attrib::Section& s);

} // namespace shell
