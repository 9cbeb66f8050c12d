// Switching the attribute area between the property panels.
#include "shell/panels/panels.h"

#include "shell/state.h"
#include "ui/ui.h"

namespace shell {

const PanelEntry kPanels[kPanelCount] = {
    {"Matpa", "matpa", "mafmenu", "Material parameters", "material"},
    {"Sprop", "sprop", "spfmenu", "Section properties", "section"},
    {"Support", "support", "supmenu", "Support conditions", "support"},
    {"Hinge", "hinge", "hingemenu", "Rotation release", "hinge"},
    {"Constrt", "constrt", "constrtmenu", "Displacement constraints", "constraint"},
    {"Nforc", "nforc", "nffmenu", "Nodal forces", "nodalforce"},
    {"Mendm", "mendm", "mbmmenu", "Member end moments", "endmoment"},
    {"Uload", "uload", "ulfmenu", "Uniform load", "uniformload"},
    {"Lload", "lload", "llfmenu", "Linear load", "linearload"},
    {"Tpvar", "tpvar", "tpfmenu", "Thermal load", "thermalload"},
    {"Lcase", "lcase", "lcsmenu", "Load cases", "loadcases"},
};

void releasePanelButtons() {
    ui::Toolkit& tk = *app().tk;
    for (const PanelEntry& p : kPanels) tk.at(p.button).set("VALUE", "OFF");
}

void showPanel(int index) {
    AppState& a = app();
    ui::Toolkit& tk = *a.tk;
    if (index < 0 || index >= kPanelCount) return;
    if (!a.infoShown && a.currentPanel == index &&
        a.el.attmenu->get("VALUE") == kPanels[index].panel) {
        // Already shown: keep its button pressed (the toolkit flipped it).
        tk.at(kPanels[index].button).set("VALUE", "ON");
        return;
    }
    a.el.attmenu->set("VALUE", kPanels[index].panel);
    for (int i = 0; i < kPanelCount; ++i)
        tk.at(kPanels[i].button).set("VALUE", i == index ? "ON" : "OFF");
    a.currentPanel = index;
    a.infoShown = false;
}

} // namespace shell
