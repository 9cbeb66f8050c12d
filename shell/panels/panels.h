// The property panels of the attribute area `attmenu`: which tool bar button
// shows which panel. The panels themselves are built by the attribute
// modules; until one is, the main window holds an empty page of that name so
// the attribute area can always switch to it.
#pragma once

namespace ui {
class Element;
class Toolkit;
} // namespace ui

namespace shell {

struct PanelEntry {
    const char* action; // tool bar action ("Matpa")
    const char* button; // tool bar button handle ("matpa")
    const char* panel;  // panel handle in attmenu ("mafmenu")
    const char* tip;    // tool bar tip
    const char* icon;   // icon file name without extension
};

constexpr int kPanelCount = 11;
constexpr int kMaterialPanel = 0;
constexpr int kLoadCasePanel = 10;
// In tool bar order: the five model attribute panels, then the five loads
// and the load cases.
extern const PanelEntry kPanels[kPanelCount];

// Shows panel `index` in attmenu, its button pressed and the others released,
// and makes it the current panel. Does nothing when it is already shown.
void showPanel(int index);
// Shows every panel button released.
void releasePanelButtons();

} // namespace shell
