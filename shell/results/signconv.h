// The sign convention dialog (SignConv): the side the bending moment
// diagram is drawn on and the side positive influence line values are drawn
// on. It edits a copy of the two model settings; Apply and Accept store the
// copy (the model is then modified and the drawing redrawn), Close leaves
// them as they were.
#pragma once

namespace ui {
class Toolkit;
}

namespace shell {

void bindSignConventionActions(ui::Toolkit& tk);

} // namespace shell
