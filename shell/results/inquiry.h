// The inquiry: the right-button pick that writes what a node or member
// holds (or, in result mode, its results) into the information area and
// loads its blocks and conditions into the attribute panels; and the
// totals message of the Totals command (InqGlobal).
#pragma once

namespace ui {
class Toolkit;
}

namespace shell {

// The inquiry at a world point with the pick tolerance: the node there
// first (not while an influence line is shown), else the member; nothing
// there clears the information area and the message line.
void inquireAt(double x, double y, double tolerance);

// The totals message text of the current model.
void showTotals();

void bindInquiryActions(ui::Toolkit& tk);

} // namespace shell
