// Start-up in its fixed order, the main loop, and the end of the program.
#include "shell/startup.h"

#include "attrib/attrib.h"
#include "gfx/canvas.h"
#include "model/model.h"
#include "shell/colors.h"
#include "shell/commands.h"
#include "shell/display.h"
#include "shell/edit/editmodes.h"
#include "shell/edit/modes.h"
#include "shell/edit/view.h"
#include "shell/lengthtext.h"
#include "shell/mainwindow.h"
#include "shell/messages.h"
#include "shell/panels/conditionpanels.h"
#include "shell/panels/panels.h"
#include "shell/panels/propertypanel.h"
#include "shell/panels/sectionpanel.h"
#include "shell/state.h"
#include "shell/unitsdialog.h"
#include "ui/ui.h"

#include <memory>

namespace shell {

namespace {

// The panels as a new model shows them.
void initialisePanels() {
    AppState& a = app();
    const std::string unit = lengthLabel(a.settings);
    a.el.hsizeunit->set("TITLE", unit);
    a.el.vsizeunit->set("TITLE", unit);
    a.el.modelabel->set("TITLE", "Editing Mode:");
    a.el.modetext->set("VALUE", "   None   ");
    a.el.resultmode->set("1", "Diagram");
    a.el.resultmode->set("2", "Influence Line");
    a.el.resultmode->set("3", "Buckling");
    a.el.resultmode->set("4", "Vibration");
    a.el.resultmode->set("VALUE", "1");
    a.el.ilsection->set("ACTIVE", "NO");
    a.el.deformed->set("ACTIVE", "YES");
    resetPropertyPanels();
    showPanel(kMaterialPanel);
}

// The command-line file: opened as from the Open dialog.
void openCommandLineFile(const std::string& file, const StartupHooks& hooks) {
    AppState& a = app();
    if (!hooks.openModel || !hooks.openModel(file)) return; // no message
    // The panels show the first block of each list the file brought.
    resetPropertyPanels();
    if (hooks.fitView) hooks.fitView();
    if (a.file.version >= 206) {
        refreshPanels();
        return;
    }
    if (hooks.convertUnits && hooks.convertUnits() == 1) {
        if (hooks.fitView) hooks.fitView();
        markModified(0);
        refreshPanels();
        return;
    }
    // Conversion cancelled: an empty "untitled.kst", as New leaves it.
    a.settings = initialSettings();
    a.file = FileIdentity{};
    createEmptyModel();
    resetPropertyPanels();
    setWindowTitle(a.file.shortName);
    refreshPanels();
}

} // namespace

int startUp(ui::Toolkit& tk, const std::string& file, const StartupHooks& hooks) {
    resetApp();
    AppState& a = app();
    a.tk = &tk;
    installOutOfMemoryHandler();

    ui::Element& about = buildAboutWindow(tk);
    buildMainWindow(tk);
    const bool notice = file.empty();
    if (notice) {
        tk.at("aboutclose").set("TITLE", " Please Wait ");
        tk.show(about);
    }
    lookupElements(tk);
    tk.map(*a.el.main);
    bindActions(tk);
    resetConditionPanels();
    bindConditionActions(tk);
    a.unitsDialog = [dialog = std::make_shared<UnitsDialog>(tk)](AppSettings& s) {
        return dialog->run(s);
    };

    a.canvas = tk.createCanvas(*a.el.datascreen);
    if (!a.canvas) {
        tk.close();
        return 1;
    }
    attachSectionPicture(tk);
    tk.setLanguage("ENGLISH");
    setScheme(schemeFromToggles());

    // The frame model module, joined with the node and member attributes
    // through the attribute hooks.
    mdl_initialise();
    mdl_register_hooks(&attrib::hooks());
    a.settings = initialSettings();
    a.settings.result = ResultDisplay{};
    publishUnits(a.settings);
    attachView();
    createEmptyModel();
    fitView();

    initialisePanels();
    refreshConditionPanels();
    showGridState();
    if (notice) tk.hide(about);
    tk.show(*a.el.main);

    if (!file.empty()) openCommandLineFile(file, hooks);
    showWorkSpaceSize();
    enterSelectMode();
    updateToolbar();
    redraw();
    return 0;
}

void runMainLoop(ui::Toolkit& tk) {
    tk.mainLoop();
}

void shutDown(ui::Toolkit& tk) {
    sectionPanel().reset(); // its picture canvas belongs to the toolkit's backend
    tk.close();
    resetApp();
}

} // namespace shell
