// The Load Cases panel and the drop-down under the canvas. The panel's case
// part: the list of the model's load cases with New, Rename and Remove, the
// label page of the property panels, the self-weight factor and the pattern
// flag of the active case. Its combination part: the list of combinations
// with New, Rename, Remove and Copy, the envelope flag, and the factors (a
// scrolling list of the cases, one field for the case chosen there). The
// drop-down lists the cases, the combinations and the envelope. Choosing a
// case in either list makes it active (the load panels and the drawing work
// on its loads); choosing a case, a combination or the envelope makes it
// what the results show, without a new analysis.
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
// The lists, fields and toggles follow the model's cases and combinations
// (after New, Open, undo and redo, and every command).
void refreshCaseLists();
// Forgets the panel's choices of combination and factor row (a new or
// opened model) and refreshes.
void resetCasePanel();

} // namespace shell
