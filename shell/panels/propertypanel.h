// The generic property panel: one drop-down list of the blocks of a kind with
// "NONE" first, the buttons New, Import, Rename, Remove, Condense, Select,
// Apply (and Apply All), the value fields of the kind with their unit labels
// and key filters, and the label page with "New Label:", "Done" and
// "Cancel". Each kind (materials, sections, the five load kinds) is a
// configuration of this one panel: a PanelKind with a table of its fields and
// of its own buttons. The block operations themselves are attrib/blocks.h;
// this file turns their return codes into messages and questions, keeps the
// current block and the pending-new flag of each kind, and refreshes the
// elements. Start-up builds and binds the configured panels.
#pragma once

#include "attrib/attrib.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace ui {
class Element;
class Toolkit;
} // namespace ui

namespace shell {

// One value field. Its elements are "<name>text" and "<name>unit" in lower
// case, its actions "<Name>Text" (key filter) and "<Name>TextSet" (commit).
struct PanelField {
    const char* name;  // value name with the kind's prefix: "MafElas"
    const char* label; // "E:"
    const char* tip;   // "Elasticity Modulus"
    int unitSlot;      // quantity kind of units/units.h; -1: no unit
    int formatSlot;    // format slot of units/units.h
    int value;         // index in the block's values; -1: computed, read-only
    // Acceptance of a typed value (internal units); none: every value.
    bool (*accept)(double internal) = nullptr;
    // Read-only fields show a value computed from the block.
    double (*compute)(const attrib::PropertyBlock& b) = nullptr;
};

struct PanelKind;
// A button of a kind's own (presets on the label page, direction toggles).
struct PanelButton {
    const char* title;  // "Steel"
    const char* tip;    // "Create new steel parameters"
    const char* action; // "MafNewSteel"; its element is the lower-case name
    int (*handler)(const PanelKind& kind);
};

struct PanelKind {
    attrib::PropertyKind kind;
    const char* prefix; // "Maf": actions MafNew ..., elements maflabellist ...
    const char* title;  // frame title of both pages
    // Tips of New, Import, Rename, Remove, Condense, Select, Apply, Apply All.
    const char* tips[8];
    const char* labelTip; // tip of the label field on the label page
    const char* inUse[2]; // the two lines of the refused Remove
    const char* notFound; // the line of a Select that found nothing
    bool applyAll;        // Apply All button (materials and sections)
    std::vector<PanelField> fields;
    std::vector<PanelButton> labelButtons; // beside "Done" and "Cancel"
    // Distributed loads: the "Global" / "Local" pair under "Direction"
    // (elements "<prefix>gbldir", "<prefix>locdir"; actions <Prefix>GblDir,
    // <Prefix>LocDir) shows and sets the current block's direction.
    bool direction = false;
    // Called after a value of the current block was stored (its value index)
    // or its direction set to global (-1), before the fields are refreshed.
    void (*afterChange)(attrib::PropertyBlock& b, int value) = nullptr;
    // Kinds whose blocks hold more than values (sections) add their own
    // elements and follow the panel through these; all optional.
    ui::Element& (*buildExtra)(ui::Toolkit&) = nullptr;      // below the fields
    ui::Element& (*buildLabelExtra)(ui::Toolkit&) = nullptr; // below the label field
    // The current block was shown (after every refresh of the fields).
    void (*currentShown)(attrib::PropertyBlock* current) = nullptr;
    // The label page opened (New: pendingNew) or closed.
    void (*labelPageOpened)(bool pendingNew) = nullptr;
    void (*labelPageClosed)() = nullptr;
    // New made block b, before it becomes current.
    void (*blockMade)(attrib::PropertyBlock* b) = nullptr;
};

// The configured kinds (materials now; sections and loads add theirs).
const std::vector<const PanelKind*>& panelKinds();
// The configuration whose normal page is `panel` ("mafmenu"), or none.
const PanelKind* panelKindOf(const std::string& panel);
const PanelKind& materialPanel();
const PanelKind& sectionPanelKind();
// The load kinds (shell/panels/loadpanels.cpp).
const PanelKind& nodalForcePanel();
const PanelKind& endMomentPanel();
const PanelKind& uniformLoadPanel();
const PanelKind& linearLoadPanel();
const PanelKind& thermalLoadPanel();

// Builds the two pages of a kind, to be put into the attribute area:
// "<prefix>menu" and "<prefix>newlabel".
ui::Element& buildPanelPage(ui::Toolkit& tk, const PanelKind& k);
ui::Element& buildLabelPage(ui::Toolkit& tk, const PanelKind& k);
// Binds every action of every configured kind.
void bindPropertyPanels(ui::Toolkit& tk);

// The current block of a kind (none when none is current or it left its list).
attrib::PropertyBlock* currentBlock(attrib::PropertyKind kind);
// Makes b current (none: "NONE") and refreshes the kind's panel: for the
// inquiry pick, which shows an entity's blocks.
void setCurrentBlock(const PanelKind& k, attrib::PropertyBlock* b);
// Every kind back to its first block (none for an empty list), normal page,
// pending-new flag clear: after start-up, New, Open and Import.
void resetPropertyPanels();
// Rebuilds the list and the fields of every kind in the current units.
void refreshPropertyPanels();

// For the kinds' preset buttons: a new block with the label and values
// becomes current unless the list holds the label; then back to the list.
int newPresetBlock(const PanelKind& k, const char* label, const double* values, int count);

// A row of a panel page: the elements side by side, then a filler.
ui::Element* panelRow(ui::Toolkit& tk, std::initializer_list<ui::Element*> children);

// The padded layout of message lines: a line of five blanks before, between
// and after the lines, each line framed by three blanks and padded to the
// longest.
std::string paddedMessage(const std::vector<std::string>& lines);

} // namespace shell
