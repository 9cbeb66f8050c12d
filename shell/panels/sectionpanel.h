// The section part of the section panel `spfmenu`: the "Section type:" list,
// the container `xscmenu` with one page per section type (its parameter
// fields with their unit labels, the computed ygc, A and I; the catalogue
// pages with their family and depth lists and stepping buttons), the four
// orientation buttons and the picture of the oriented shape.
//
// The panel is the generic property panel (shell/panels/propertypanel.h) configured
// for the kind `Spf` (sectionPanelKind): the block list, its buttons and the
// label entry are the generic panel's; this module adds the elements above
// through the configuration's hooks, learns which section is current, and
// gives a new block the type chosen in the list. Each type page keeps its
// own copy of a section (parameters and orientation); edits go to the page
// and are stored into the current section. Pages are built and filled
// through a table indexed by the section type number, like the types
// themselves (attrib/section.h).
#pragma once

#include "attrib/section.h"

#include <array>
#include <memory>

namespace gfx {
class Canvas;
}
namespace ui {
class Element;
class Toolkit;
} // namespace ui

namespace shell {

struct SectionPanelState {
    // The page copies, one per type.
    std::array<attrib::Section, attrib::kSectionTypeCount> pages;
    int shown = attrib::kSecGeneric;
    // The type a new block is made with, chosen in the type list during New.
    int chosenType = attrib::kSecGeneric;
    std::unique_ptr<gfx::Canvas> picture;
    void reset();
};
SectionPanelState& sectionPanel();

// Page handle of each type ("xscrectanglemenu").
const char* sectionPageName(int type);

// The section of the current block of the panel, or none.
attrib::Section* currentSection();

// Builds the pages, the orientation buttons and the picture (below the
// panel's list) and binds their actions and those of the type list.
ui::Element& buildSectionArea(ui::Toolkit& tk);
// The "Section type:" list of the label page.
ui::Element& buildSectionTypeList(ui::Toolkit& tk);
// Creates the picture's drawing canvas; call once the window is mapped.
// SectionPanelState::reset() frees it: call that before the toolkit goes.
void attachSectionPicture(ui::Toolkit& tk);

// The current section changed (null: none): the unit labels are updated,
// the page of its type is loaded from it and shown, the orientation buttons
// and the picture follow.
void showSection(attrib::Section* s);
// The display units changed: labels and values of the shown page.
void refreshSectionUnits();

// New: the type list becomes active with no item shown and the chosen type
// Generic. Rename, Done and Cancel: the list is inactive and shows the
// current section's type.
void beginNewSection();
void endSectionTypeChoice();
int chosenSectionType();

} // namespace shell
