// The influence-line display of the shell (see influence.h).
#include "shell/results/influence.h"

#include "analysis/analysis.h"
#include "attrib/supports.h"
#include "model/model.h"
#include "results/diagramdraw.h"
#include "results/influence.h"
#include "results/inquiry.h"
#include "results/resultquery.h"
#include "shell/display.h"
#include "shell/edit/editmodes.h"
#include "shell/edit/modes.h"
#include "shell/files/filecommands.h"
#include "shell/messages.h"
#include "shell/results/modedisplay.h"
#include "shell/results/resultcmds.h"
#include "shell/results/resultdisplay.h"
#include "shell/state.h"
#include "ui/ui.h"
#include "units/units.h"

#include <cmath>

namespace shell {

namespace {

// Shown while the section mode waits for a click.
constexpr const char* kSectionPrompt = "Indicate a member section for displaying influence line.";

struct Line {
    bool shown = false;
    const Solid* model = nullptr;
    const Edge* member = nullptr;
    double a = 0; // section position from end 1
    // The first line after the display was entered sets the factor to 1;
    // later lines keep the factor the user chose.
    bool first = false;
    double factor = 1.0;
    results::ResultCurves curves;
    results::ResultDrawing drawing;
};
Line g_line;

int shownKind() {
    const ResultDisplay& r = app().settings.result;
    return r.on == 1 && r.influence == 1 && r.kind >= 1 && r.kind <= 3 ? r.kind : 0;
}

// Whether member e holds the section of the shown line.
bool lineOn(const Edge* e) {
    return influenceShown() && e == g_line.member;
}

} // namespace

bool influenceShown() {
    return g_line.shown && g_line.model == app().model && shownKind() != 0;
}

void clearInfluence(bool anew) {
    g_line.shown = false;
    g_line.member = nullptr;
    g_line.curves = results::ResultCurves{};
    if (anew) g_line.first = false, g_line.factor = 1.0;
}

double influenceLargestDisplay() {
    const AppState& a = app();
    const double largest = analysis::resultState().largestValue;
    return a.settings.result.kind == 3
               ? largest
               : units::toDisplay(a.settings.units[units::kLengthUnit], largest);
}

void influenceSizeChanged() {
    const double q = influenceLargestDisplay();
    if (q > 0) g_line.factor = analysis::resultState().diagramSize / q;
}

bool influenceCommand(int kind) {
    AppState& a = app();
    if (kind < 1 || kind > 3) {
        releaseResultButton(kind);
        return false;
    }
    attrib::AttributeRoot& root = attrib::root();
    if (std::string text; analysis::checkModel(a.model, root, text) != analysis::kCheckOk) {
        message(text);
        releaseResultButton(kind);
        return false;
    }
    attrib::clearSelection(a.model);
    if (!saveCommand()) {
        releaseResultButton(kind);
        return false;
    }
    analysis::resetResults(a.model);
    invalidateResultCurves();
    clearInfluence(true);
    enterResultDisplay(kind);
    startInfluenceSection();
    return true;
}

void startInfluenceSection() {
    AppState& a = app();
    if (!shownKind()) return;
    a.mode = EditMode::InfluenceSection;
    a.pickPurpose = 2;
    showPrompt(kSectionPrompt);
}

bool pickInfluenceSection(double x, double y, double tolerance) {
    AppState& a = app();
    const int kind = shownKind();
    if (!kind || !a.model) return false;
    // The analysis files lie beside the saved model.
    if (!isSaved() && !saveCommand()) return false;
    mdl_set_tolerance(tolerance);
    Edge* e = mdl_find_edge_at(a.model, {x, y}, tolerance);
    if (!e) {
        showPrompt(results::kNoSection);
        return false;
    }
    clearPrompt();
    attrib::clearSelection(a.model);
    const Vertex* v1 = e->he1->vtx;
    const Vertex* v2 = e->he2->vtx;
    const double L = std::hypot(v2->x - v1->x, v2->y - v1->y);
    const double at = results::snapSection(std::hypot(x - v1->x, y - v1->y), L,
                                           a.settings.resultStep, a.settings.stepMode == 0);
    analysis::resetResults(a.model);
    clearInfluence(false);
    const analysis::RunOutcome out =
        analysis::runInfluenceAnalysis(a.model, attrib::root(), a.file.fullPath, {kind, e, at, L});
    if (out.status != analysis::RunStatus::kSolved) {
        message(out.message);
        clearResults();
        releaseResultButton(kind);
        redraw();
        return false;
    }
    // The member holds the section until the next line or the end of the
    // display.
    if (attrib::MemberAttrib* m = attrib::memberOf(e)) {
        m->results[analysis::kInfluence] = 1;
        m->results[analysis::kInfluencePosition] = at;
    }
    g_line.shown = true;
    g_line.model = a.model;
    g_line.member = e;
    g_line.a = at;
    if (!g_line.first) {
        g_line.first = true;
        g_line.factor = 1.0;
    }
    resampleInfluence();
    showPrompt(
        results::influenceMessage(a.settings, static_cast<results::ResultKind>(kind), at, L));
    return true;
}

void resampleInfluence() {
    if (!influenceShown()) return;
    analysis::ResultState& rs = analysis::resultState();
    results::computeInfluenceCurves(g_line.curves, app().model,
                                    static_cast<results::ResultKind>(shownKind()), g_line.member,
                                    g_line.a, rs.precisionStep);
    rs.largestValue = g_line.curves.largest;
    rs.diagramSize = g_line.factor * influenceLargestDisplay();
    showResultFactor();
    redraw();
}

const results::ResultDrawing* influenceDrawing() {
    if (!influenceShown()) return nullptr;
    g_line.drawing.curves = &g_line.curves;
    g_line.drawing.diagramSize = analysis::resultState().diagramSize;
    g_line.drawing.reactions.clear();
    return &g_line.drawing;
}

std::string influenceLineAt(double x, double y, double tolerance) {
    AppState& a = app();
    if (!influenceShown()) return "";
    const Edge* e = mdl_find_edge_at(a.model, {x, y}, tolerance);
    if (!e) return "";
    const results::MemberInput m = results::memberInputOf(e);
    return results::influenceLine(a.settings, m, static_cast<results::ResultKind>(shownKind()),
                                  lineOn(e), g_line.a, results::localPosition(m, x, y));
}

std::string influenceMemberText(const Edge* e) {
    if (!influenceShown()) return "";
    return results::memberInfluenceText(app().settings, results::memberInputOf(e),
                                        static_cast<results::ResultKind>(shownKind()), lineOn(e),
                                        g_line.a);
}

void bindInfluenceActions(ui::Toolkit& tk) {
    // The drop-down: item 1 diagrams, item 2 influence lines, items 3 and 4
    // the buckling and vibration modes. A shown result
    // is left; its kind is shown again the other way when that way has it.
    tk.bind("ResModeSelCur", [](ui::Event& ev) {
        if (ev.state == 0 || ev.item < 1 || ev.item > 4) return ui::kDefault;
        if (ev.item >= 3) {
            enterModeDisplay(ev.item == 3 ? ModeKind::Buckling : ModeKind::Vibration);
            return ui::kDefault;
        }
        AppState& a = app();
        if (modeDisplayShown()) enterSelectMode();
        const int il = ev.item == 2 ? 1 : 0;
        if (a.settings.result.influence == il) return ui::kDefault;
        const bool wasOn = a.settings.result.on == 1;
        const int kind = a.settings.result.kind;
        if (wasOn) enterSelectMode();
        a.settings.result.influence = il;
        a.el.ilsection->set("ACTIVE", il ? "YES" : "NO");
        a.el.deformed->set("ACTIVE", il ? "NO" : "YES");
        if (wasOn && kind >= 1 && kind <= (il ? 3 : 4)) resultCommand(kind);
        return ui::kDefault;
    });
    tk.bind("ILSection", [](ui::Event&) {
        startInfluenceSection();
        return ui::kDefault;
    });
}

} // namespace shell
