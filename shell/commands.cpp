// Handlers of the shell's own actions.
#include "shell/commands.h"
#include "shell/files/filecommands.h"
#include "shell/results/resultcmds.h"

#include "attrib/cases.h"
#include "gfx/canvas.h"
#include "shell/display.h"
#include "shell/edit/editmodes.h"
#include "shell/edit/modes.h"
#include "shell/edit/transform.h"
#include "shell/edit/view.h"
#include "shell/files/dxfcommand.h"
#include "shell/files/export.h"
#include "shell/files/report.h"
#include "shell/lengthtext.h"
#include "shell/messages.h"
#include "shell/panels/casepanel.h"
#include "shell/panels/panels.h"
#include "shell/panels/propertypanel.h"
#include "shell/results/inquiry.h"
#include "shell/results/signconv.h"
#include "shell/results/tables.h"
#include "shell/state.h"
#include "ui/ui.h"

#include <cctype>
#include <cmath>

namespace shell {

using ui::Event;
using ui::kClose;
using ui::kDefault;
using ui::kIgnore;

int unsignedNumberKey(int key) {
    if (ui::isControlKey(key) || key == '.') return kDefault;
    if (key >= '0' && key <= '9') return kDefault;
    return kIgnore;
}

namespace {

int onExit(Event&) {
    if (!confirmLeaving()) return kDefault;
    app().leaving = true;
    return kClose;
}

int onCloseWindow(Event&) {
    if (!confirmLeaving()) return kIgnore;
    app().leaving = true;
    return kClose;
}

int onInfo(Event&) {
    AppState& a = app();
    a.tk->at("aboutclose").set("TITLE", " Close ");
    a.tk->popup(*a.el.about);
    return kDefault;
}

int onVisRedraw(Event&) {
    if (gfx::Canvas* c = app().canvas.get()) c->flush();
    return kDefault;
}

int onVisResize(Event&) {
    AppState& a = app();
    if (!a.canvas) return kDefault;
    adaptViewToCanvas(a.canvas->width(), a.canvas->height());
    showWorkSpaceSize();
    redraw();
    return kDefault;
}

int onVisRedisplay(Event&) {
    clearPrompt();
    restoreAttributePanel();
    redraw();
    return kDefault;
}

// The largest work-space width or height a size field sets: beyond it the
// view's arithmetic overflows. Pasted texts such as "1e300" reach the field
// past its key filter; they are refused like zero.
constexpr double kMaxWorkSpaceSize = 1e9; // metres

// Work-space width (horizontal) or height of the view from a size field.
int onSizeSet(Event& ev, bool horizontal) {
    if (ev.element && ev.element->holdsShownText()) return kDefault;
    AppState& a = app();
    const double size = readLength(a.settings, ev.element ? ev.element->get("VALUE") : ev.text);
    if (size > 0 && size <= kMaxWorkSpaceSize) {
        double xmin, xmax, ymin, ymax;
        viewWindow(xmin, xmax, ymin, ymax);
        const double xc = 0.5 * (xmin + xmax), yc = 0.5 * (ymin + ymax);
        if (horizontal)
            setViewWindow(xc - 0.5 * size, xc + 0.5 * size, yc, yc);
        else
            setViewWindow(xc, xc, yc - 0.5 * size, yc + 0.5 * size);
        redraw();
    }
    showWorkSpaceSize();
    return kDefault;
}

int onResultStepSet(Event& ev) {
    // The step as shown is rounded: an unchanged field keeps the exact step.
    if (ev.element && ev.element->holdsShownText()) return kDefault;
    AppState& a = app();
    const double step = readLength(a.settings, ev.element ? ev.element->get("VALUE") : ev.text);
    if (!(step > 0 && std::isfinite(step))) return kDefault;
    a.settings.resultStep = step;
    markModified(0);
    a.el.resultsteptext->set("VALUE", lengthBare(a.settings, kGridStepFormatSlot, step));
    redraw();
    return kDefault;
}

int onStepMode(int mode) {
    AppState& a = app();
    if (a.settings.stepMode != mode) a.settings.stepMode = mode;
    a.tk->at("unifressegs").set("VALUE", mode == 0 ? "ON" : "OFF");
    a.tk->at("fixedressegs").set("VALUE", mode == 1 ? "ON" : "OFF");
    markModified(0);
    redraw();
    return kDefault;
}

// Options > Analysis: the choice of the model. Results shown from the other
// analysis are shown again, same kind, from the chosen one; an influence line
// (a linear notion) stays.
int onAnalysis(int choice) {
    AppState& a = app();
    attrib::AttributeRoot& r = attrib::root();
    const bool changed = r.analysis != choice;
    attrib::setAnalysis(r, choice);
    showAnalysisChoice(); // a toggle clicked while on stays on
    if (!changed) return kDefault;
    markModified(0);
    const ResultDisplay shown = a.settings.result;
    if (shown.on == 1 && shown.influence == 0) {
        enterSelectMode();
        if (shown.kind >= 1) resultCommand(shown.kind);
    }
    return kDefault;
}

int onUnits(Event&) {
    AppState& a = app();
    if (!a.unitsDialog || a.unitsDialog(a.settings) != 1) return kDefault;
    refreshPanels();
    showWorkSpaceSize();
    markModified(0);
    redraw();
    return kDefault;
}

} // namespace

void bindActions(ui::Toolkit& tk) {
    tk.bind("Exit", onExit);
    tk.bind("CloseWindow", onCloseWindow);
    tk.bind("Info", onInfo);
    tk.bind("AboutClose", [](Event&) { return kClose; });
    tk.bind("IoDropFile", [](Event&) { return kIgnore; });
    tk.bind("Units", onUnits);
    tk.bind("AnlLinearInter", [](Event&) { return onAnalysis(attrib::kLinearAnalysis); });
    tk.bind("AnlSecondOrder", [](Event&) { return onAnalysis(attrib::kSecondOrderAnalysis); });
    bindInquiryActions(tk);
    bindCaseActions(tk);
    bindTablesActions(tk);
    bindSignConventionActions(tk);
    for (int i = 0; i < kPanelCount; ++i)
        tk.bind(kPanels[i].action, [i](Event&) {
            showPanel(i);
            return kDefault;
        });
    tk.bind("Select", [](Event&) {
        enterSelectMode();
        updateToolbar();
        return kDefault;
    });
    tk.bind("VisRedraw", onVisRedraw);
    tk.bind("VisResize", onVisResize);
    tk.bind("VisRedisplay", onVisRedisplay);
    bindViewActions(tk);
    for (const char* filter : {"HsizeText", "VsizeText", "ResultStepText"})
        tk.bind(filter, [](Event& ev) { return unsignedNumberKey(ev.key); });
    tk.bind("HsizeSet", [](Event& ev) { return onSizeSet(ev, true); });
    tk.bind("VsizeSet", [](Event& ev) { return onSizeSet(ev, false); });
    tk.bind("ResultStepSet", onResultStepSet);
    tk.bind("UnifResStep", [](Event&) { return onStepMode(0); });
    tk.bind("FixedResStep", [](Event&) { return onStepMode(1); });
    bindDisplayActions(tk);
    bindEditActions(tk);
    bindExportActions(tk);
    bindReportActions(tk);
    bindTransformActions(tk);
    bindPropertyPanels(tk);
    bindFileActions(tk);
    bindDxfImport(tk);
    bindResultActions(tk);
}

} // namespace shell
