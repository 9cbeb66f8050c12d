// Display flag toggles with their couplings, colour scheme toggles, redraw
// and the refresh of the panels from AppSettings.
#include "shell/display.h"

#include "attrib/attrib.h"
#include "attrib/cases.h"
#include "gfx/canvas.h"
#include "interact/pck.h"
#include "results/display.h"
#include "shell/colors.h"
#include "shell/edit/editmodes.h"
#include "shell/edit/modes.h"
#include "shell/lengthtext.h"
#include "shell/panels/conditionpanels.h"
#include "shell/panels/propertypanel.h"
#include "shell/results/resultdisplay.h"
#include "shell/state.h"
#include "ui/ui.h"

namespace shell {

const DisplayToggle kDisplayToggles[kDisplayFlagCount] = {
    {"VbltDimLines", "vbltdimln", "Dimension Lines"},
    {"VbltDirArrows", "vbltdirarrows", "Member Orientation"},
    {"VbltLoad", "vbltload", "Loading while Editing"},
    {"VbltLoadWResp", "vbltloadwresp", "Loading with Results"},
    {"VbltLoadVal", "vbltloadval", "Load Values"},
    {"VbltSupport", "vbltsupport", "Supports "},
    {"VbltValues", "vbltvalues", "Result Values"},
    {"VbltStepValues", "vbltstepvalues", "Step Values"},
    {"VbltTrnvValues", "vblttrnvvalues", "Transversal Values"},
    {"VbltReactions", "vbltreactions", "Reactions"},
    {"VbltReactVal", "vbltreactval", "Reaction Values"},
    {"VbltBendMomSign", "vbltbendmomsign", "Bending Moment Sign"},
    {"VbltNodeNumb", "vbltnodenumb", "Node Numbers"},
    {"VbltMembNumb", "vbltmembnumb", "Member Numbers"},
};

const SchemeToggle kSchemeToggles[4] = {
    {"ColorWhiteBg", "colorwhitebg", "White Background"},
    {"ColorGrayBg", "colorgraybg", "Gray Background"},
    {"ColorBlackBg", "colorblackbg", "Black Background"},
    {"ColorBlackFg", "colorblackfg", "Black Foreground"},
};

namespace {

int& flag(int f) {
    return app().settings.display[f];
}

void setFlag(int f, int on) {
    flag(f) = on;
    showDisplayFlag(f);
}

// Couplings between the flags, applied right after flag `f` was flipped.
void applyCouplings(int f) {
    const int on = flag(f);
    const bool results = app().settings.result.on == 1;
    switch (f) {
    case kDimLines:
        updateDeleteButton();
        break;
    case kLoadWhileEditing:
        if (!on && !flag(kLoadWithResults) && flag(kLoadValues)) setFlag(kLoadValues, 0);
        break;
    case kLoadWithResults:
        if (!on && !flag(kLoadWhileEditing) && flag(kLoadValues)) setFlag(kLoadValues, 0);
        break;
    case kLoadValues:
        if (on && !results && !flag(kLoadWhileEditing)) setFlag(kLoadWhileEditing, 1);
        if (on && results && !flag(kLoadWithResults)) setFlag(kLoadWithResults, 1);
        break;
    case kReactions:
        if (!on && flag(kReactionValues)) setFlag(kReactionValues, 0);
        break;
    case kReactionValues:
        if (on && !flag(kReactions)) setFlag(kReactions, 1);
        break;
    default:
        break;
    }
}

int onDisplayToggle(int f, ui::Event& ev) {
    if (ev.element) {
        flag(f) = ev.element->isOn() ? 1 : 0; // the toolkit flipped the toggle
    } else {
        flag(f) = 1 - flag(f); // fired by name: flip the toggle here
        showDisplayFlag(f);
    }
    applyCouplings(f);
    redraw();
    markModified(0);
    return ui::kDefault;
}

int onSchemeToggle(int scheme) {
    AppState& a = app();
    if (a.colors.scheme == scheme) {
        a.tk->at(kSchemeToggles[scheme].element).set("VALUE", "ON");
        return ui::kDefault;
    }
    for (int s = 0; s < 4; ++s)
        a.tk->at(kSchemeToggles[s].element).set("VALUE", s == scheme ? "ON" : "OFF");
    setScheme(scheme);
    redraw();
    return ui::kDefault;
}

} // namespace

void bindDisplayActions(ui::Toolkit& tk) {
    for (int f = 0; f < kDisplayFlagCount; ++f)
        tk.bind(kDisplayToggles[f].action, [f](ui::Event& ev) { return onDisplayToggle(f, ev); });
    for (int s = 0; s < 4; ++s)
        tk.bind(kSchemeToggles[s].action, [s](ui::Event&) { return onSchemeToggle(s); });
}

void drawModelInto(gfx::Canvas& c) {
    AppState& a = app();
    results::DisplayInput in;
    in.model = a.model;
    in.root = &attrib::root();
    in.settings = &a.settings;
    in.colors = &a.colors;
    in.results = resultDrawing();
    results::drawModel(c, in);
}

void redraw() {
    gfx::Canvas* c = app().canvas.get();
    if (!c) return;
    // The rubber band lives on the shown picture: take it off around the
    // flush and draw it again on the new picture.
    interact::pck::hideEcho();
    drawModelInto(*c);
    c->flush();
    interact::pck::showEcho();
}

void showDisplayFlag(int f) {
    app().tk->at(kDisplayToggles[f].element).set("VALUE", flag(f) ? "ON" : "OFF");
}

void updateDeleteButton() {
    const AppState& a = app();
    bool any = a.selectionCount > 0 || a.dimensionLines > 0;
    a.el.edtdelsel->set("ACTIVE", any ? "YES" : "NO");
}

void showAnalysisChoice() {
    const bool second = attrib::secondOrder(attrib::root());
    app().tk->at("anllinearinter").set("VALUE", second ? "OFF" : "ON");
    app().tk->at("anlsecondorder").set("VALUE", second ? "ON" : "OFF");
}

void refreshPanels() {
    AppState& a = app();
    const AppSettings& s = a.settings;
    publishUnits(s);
    const std::string unit = lengthLabel(s);
    for (ui::Element* e : {a.el.hsizeunit, a.el.vsizeunit, a.el.gridstepxunit, a.el.gridstepyunit,
                           a.el.resultstepunit})
        e->set("TITLE", unit);
    a.el.gridstepxtext->set("VALUE", lengthBare(s, kGridStepFormatSlot, s.gridStepX));
    a.el.gridstepytext->set("VALUE", lengthBare(s, kGridStepFormatSlot, s.gridStepY));
    a.el.resultsteptext->set("VALUE", lengthBare(s, kGridStepFormatSlot, s.resultStep));
    for (int f = 0; f < kDisplayFlagCount; ++f) showDisplayFlag(f);
    showAnalysisChoice();
    showGridState();
    refreshConditionPanels();
    if (s.result.on == 0) {
        showModeLine();
        a.el.ilsection->set("ACTIVE", s.result.influence ? "YES" : "NO");
        a.el.deformed->set("ACTIVE", s.result.influence ? "NO" : "YES");
    } else {
        showResultTitle();
    }
    refreshPropertyPanels();
}

} // namespace shell
