// Mode line and the select mode.
#include "shell/edit/modes.h"

#include "interact/cll.h"
#include "interact/pck.h"
#include "interact/trfmode.h"
#include "shell/display.h"
#include "shell/edit/view.h"
#include "shell/messages.h"
#include "shell/results/resultcmds.h"
#include "shell/state.h"
#include "ui/ui.h"

namespace shell {

void showModeLine() {
    AppState& a = app();
    const char* value = "   None   ";
    switch (a.mode) {
    case EditMode::Select:
        value = modelIsEmpty() ? "   None   " : " Selection";
        break;
    case EditMode::InsertMember:
    case EditMode::InsertNode:
    case EditMode::InsertDimLine:
        value = "  Creation";
        break;
    default:
        return; // result modes show their own title and value
    }
    a.el.modelabel->set("TITLE", "Editing Mode:");
    a.el.modetext->set("VALUE", value);
    a.el.modeunit->set("TITLE", " ");
}

void showResultTitle() {
    static const char* const kTitles[] = {
        "Axial Force:", "Shear Force:", "Bending Moment:", "Deformed Factor:"};
    AppState& a = app();
    const ResultDisplay& r = a.settings.result;
    if (r.kind < 1 || r.kind > 4) return;
    a.el.modelabel->set("TITLE", r.influence ? "Influence Line Factor:" : kTitles[r.kind - 1]);
}

void cancelCanvasInteraction() {
    interact::cll::cancel();
    interact::trf::cancelMode();
    interact::pck::cancel();
    if (ui::Element* zoom = app().tk->find("zoom")) zoom->set("VALUE", "OFF");
}

void enterSelectMode() {
    AppState& a = app();
    ui::Toolkit& tk = *a.tk;
    cancelCanvasInteraction();
    a.mode = EditMode::Select;
    showModeLine();
    a.el.select->set("VALUE", "ON");
    const bool wasResults = a.settings.result.on == 1;
    if (wasResults) {
        const bool il = a.settings.result.influence == 1;
        a.el.ilsection->set("ACTIVE", il ? "YES" : "NO");
        a.el.deformed->set("ACTIVE", il ? "NO" : "YES");
        for (const char* name : {"axial", "shear", "bending", "deformed"})
            tk.at(name).set("VALUE", "OFF");
        a.settings.result.on = 0;
        clearResults();
    } else {
        for (ui::Element* e : {a.el.insline, a.el.insvertex, a.el.insdimln}) e->set("VALUE", "OFF");
    }
    clearPrompt();
    a.pickPurpose = 0;
    startSelection();
    if (wasResults) redraw();
}

} // namespace shell
