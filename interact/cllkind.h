// The table entry each curve kind module fills in for cll: its number of
// points, texts (English and Portuguese), dialog templates, live measure and
// rubber band. Private to the cll modules.
#pragma once

#include "interact/cll.h"

#include <string>

namespace interact::cll {

using interact::Text;

struct KindDef {
    int points; // points to enter (at most 3)
    // Per point that is due: the prompt, and the dialog the middle button
    // opens, which shows the points from dialogFirst up to the due one.
    Text prompt[3];
    Text dialog[3];
    int dialogFirst[3];
    // Keyboard entry: every point, then the tolerance.
    Text keyboard;
    Text keyboardStatus;
    // Live measure while the due point is at (x, y); empty: none.
    std::string (*live)(const CllState& s, double x, double y);
    // Rubber band of the due point at (x, y), drawn in exclusive-or mode.
    void (*echo)(gfx::Canvas& c, const CllState& s, double x, double y);
};

const KindDef& pointKind();   // cllpnt
const KindDef& lineKind();    // cllline
const KindDef& dimLineKind(); // clldimln

using interact::format;

} // namespace interact::cll
