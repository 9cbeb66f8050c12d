// The application state record, the modified indicator and the leaving
// question.
#include "shell/state.h"

#include "analysis/analysis.h"
#include "attrib/attrib.h"
#include "gfx/canvas.h"
#include "model/model.h"
#include "shell/edit/view.h"
#include "shell/messages.h"
#include "ui/ui.h"

namespace shell {

namespace {
std::unique_ptr<AppState> g_app;
} // namespace

AppState& app() {
    if (!g_app) g_app = std::make_unique<AppState>();
    return *g_app;
}

void resetApp() {
    // The view and pick modules refer to the canvas, and the frame model
    // module holds the model and its history: take them all down.
    detachView();
    mdl_reset();
    attrib::state().reset();
    g_app = std::make_unique<AppState>();
}

void lookupElements(ui::Toolkit& tk) {
    Elements& e = app().el;
    struct Entry {
        ui::Element* Elements::*field;
        const char* name;
    };
    static const Entry table[] = {
        {&Elements::main, "main"},
        {&Elements::datascreen, "datascreen"},
        {&Elements::datatopmsg, "datatopmsg"},
        {&Elements::modelabel, "modelabel"},
        {&Elements::modetext, "modetext"},
        {&Elements::modeunit, "modeunit"},
        {&Elements::attmenu, "attmenu"},
        {&Elements::infoarea, "infoarea"},
        {&Elements::infotxt, "infotxt"},
        {&Elements::htext, "htext"},
        {&Elements::vtext, "vtext"},
        {&Elements::hsizeunit, "hsizeunit"},
        {&Elements::vsizeunit, "vsizeunit"},
        {&Elements::cursorxpos, "cursorxpos"},
        {&Elements::cursorypos, "cursorypos"},
        {&Elements::gridstepxtext, "gridstepxtext"},
        {&Elements::gridstepytext, "gridstepytext"},
        {&Elements::gridstepxunit, "gridstepxunit"},
        {&Elements::gridstepyunit, "gridstepyunit"},
        {&Elements::resultsteptext, "resultsteptext"},
        {&Elements::resultstepunit, "resultstepunit"},
        {&Elements::resultmode, "resultmode"},
        {&Elements::ilsection, "ilsection"},
        {&Elements::deformed, "deformed"},
        {&Elements::edtdelsel, "edtdelsel"},
        {&Elements::select, "select"},
        {&Elements::insline, "insline"},
        {&Elements::insvertex, "insvertex"},
        {&Elements::insdimln, "insdimln"},
        {&Elements::about, "about"},
    };
    for (const Entry& en : table) e.*en.field = &tk.at(en.name);
}

// The newest slot of the undo ring holds a step exactly when there is
// something to undo.
void markModified(int mode) {
    AppState& a = app();
    if (mode == 0 || mdl_can_undo()) a.file.saved = 0;
}

int isSaved() {
    const AppState& a = app();
    return a.file.saved == 1 && !mdl_can_undo() ? 1 : 0;
}

void createEmptyModel() {
    AppState& a = app();
    analysis::clearStoredResults(); // they refer to the model's entities
    if (a.model) mdl_delete_model(a.model);
    a.model = nullptr;
    // The undo history (the deletion just recorded among it) refers to the
    // blocks of the old root: it is released before they are.
    mdl_clear_history();
    attrib::state().root.reset();
    a.model = mdl_new_model();
    attrib::root();
}

bool modelIsEmpty() {
    const AppState& a = app();
    return !a.model || mdl_is_empty(a.model);
}

int confirmLeaving() {
    if (isSaved()) return 1;
    int b = alert("\n    Current frame has been modified.      \n"
                  "          Save current changes?           \n\n",
                  "  Save As & Exit  ", " Discard & Exit ", "     Cancel     ");
    if (b == 1) return app().saveAs && app().saveAs() ? 1 : 0;
    return b == 2 ? 1 : 0;
}

} // namespace shell
