// The Load Cases panel and the case drop-down under the canvas: the list of
// the model's load cases with New, Rename and Remove, the label page of the
// property panels, and the self-weight factor of the active case. Choosing
// a case in either list makes it active: the load panels and the drawing
// work on its loads, and a result shown switches to its results without a
// new analysis.
#pragma once

namespace ui {
class Element;
class Toolkit;
} // namespace ui

namespace shell {

// The two pages of the panel, "lcsmenu" and "lcsnewlabel".
ui::Element& buildCasePanel(ui::Toolkit& tk);
ui::Element& buildCaseLabelPage(ui::Toolkit& tk);
void bindCaseActions(ui::Toolkit& tk);
// Both lists and the factor field follow the model's case list (after New,
// Open, undo and redo, and every command).
void refreshCaseLists();

} // namespace shell
