// The support, hinge and constraint panels of the attribute area (`supmenu`,
// `hingemenu`, `constrtmenu`). Each keeps one current setting that the user
// edits and then applies to the selected nodes or members (one undo step) or
// uses to select the entities that have it; the records and the rules live
// in attrib/supports.h. The main window asks for the panel bodies when it
// builds the attribute area; start-up binds the Sup, Hinge and Constrt
// actions; the panel refresh shows the current settings in the display units.
#pragma once

#include "attrib/supports.h"

#include <string>

struct Vertex;
struct Edge;
namespace ui {
class Element;
class Toolkit;
} // namespace ui

namespace shell {

// The three panels' current settings.
struct ConditionPanels {
    attrib::SupportState support;
    bool hingeNodeMode = true; // node mode, else member mode
    bool hingeNodeOn = true;   // node mode: articulate (on) or clear (off)
    int hingeStart = 1, hingeEnd = 1;
    int noAxial = 0, rigid = 0;
};
ConditionPanels& conditionPanels();
void resetConditionPanels();

// The body of the page `panel` ("supmenu", "hingemenu", "constrtmenu"), or
// none for the other pages.
ui::Element* conditionPanelBody(ui::Toolkit& tk, const std::string& panel);
void bindConditionActions(ui::Toolkit& tk);
// Shows the current settings: radio states, field texts in the display
// units, which fields are active, the tips of Select and Apply.
void refreshConditionPanels();

// Inquiry: a picked node loads its support and hinge state, a picked member
// its hinge flags and constraint.
void loadNodeConditions(const Vertex* v);
void loadMemberConditions(const Edge* e);

} // namespace shell
