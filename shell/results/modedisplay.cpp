// The buckling and vibration result modes (see modedisplay.h).
#include "shell/results/modedisplay.h"

#include "analysis/stability.h"
#include "attrib/cases.h"
#include "attrib/supports.h"
#include "results/modeshape.h"
#include "shell/display.h"
#include "shell/edit/modes.h"
#include "shell/files/filecommands.h"
#include "shell/messages.h"
#include "shell/results/resultcmds.h"
#include "shell/results/resultdisplay.h"
#include "shell/state.h"
#include "ui/ui.h"

#include <limits>

namespace shell {

const char* const kBucklingCasesOnly =
    "The envelope has no buckling modes: choose a load case or a combination.";

namespace {

struct ModeState {
    ModeKind kind = ModeKind::None;
    analysis::StabilityOutcome out;
    int mode = 0; // from 0
    // The id shown when the curves were made; none yet (not -1: that is the envelope's).
    int shown = std::numeric_limits<int>::min();
    results::ResultCurves curves;
    results::ResultDrawing drawing;
};
ModeState g_modes;

// The solution of what is shown: buckling of the case or combination shown
// (the cases' solutions first, then the combinations'), vibration of the
// frame; none for the envelope under buckling.
const kestrel::engine::EigenSolution* shownSolution() {
    const std::vector<kestrel::engine::EigenSolution>& eigen = g_modes.out.eigen;
    if (g_modes.kind == ModeKind::Vibration) return eigen.empty() ? nullptr : &eigen.front();
    const attrib::AttributeRoot& root = attrib::root();
    const int shown = attrib::shownId(root);
    int at = attrib::caseIndex(root, shown);
    for (std::size_t c = 0; at < 0 && c < root.combos.size(); ++c)
        if (root.combos[c].id == shown) at = static_cast<int>(root.cases.size() + c);
    return at >= 0 && static_cast<std::size_t>(at) < eigen.size() ? &eigen[at] : nullptr;
}

void showStepButtons(bool on) {
    for (const char* name : {"modeprev", "modenext"})
        if (ui::Element* e = app().tk->find(name)) e->set("ACTIVE", on ? "YES" : "NO");
}

// The curves of the shown mode, made again when what is shown changed (then
// from its first mode) or when `again`.
void update(bool again = false) {
    const int shown = attrib::shownId(attrib::root());
    if (g_modes.shown == shown && !again) return;
    if (g_modes.shown != shown) g_modes.mode = 0;
    g_modes.shown = shown;
    const kestrel::engine::EigenSolution* s = shownSolution();
    if (s)
        results::computeModeCurves(g_modes.curves, g_modes.out.numbering, *s, g_modes.mode);
    else
        results::computeModeCurves(g_modes.curves, g_modes.out.numbering, {}, 0);
    analysis::resultState().largestValue = g_modes.curves.largest;
    showStepButtons(s && s->modes.size() > 1);
    showPrompt(modeLine());
    showResultFactor();
}

} // namespace

bool modeDisplayShown() {
    return g_modes.kind != ModeKind::None;
}

std::string modeLine() {
    if (!modeDisplayShown()) return "";
    const kestrel::engine::EigenSolution* s = shownSolution();
    if (!s) return kBucklingCasesOnly;
    if (s->modes.empty()) return s->note;
    const int count = static_cast<int>(s->modes.size());
    return results::modeText(g_modes.kind == ModeKind::Buckling, g_modes.mode + 1, count,
                             s->modes[g_modes.mode].value);
}

int shownModeCount() {
    const kestrel::engine::EigenSolution* s = modeDisplayShown() ? shownSolution() : nullptr;
    return s ? static_cast<int>(s->modes.size()) : 0;
}

double modeLargest() {
    return modeDisplayShown() ? g_modes.curves.largest : 0;
}

const results::ResultDrawing* modeDrawing() {
    if (!modeDisplayShown()) return nullptr;
    update();
    if (g_modes.curves.curves.empty()) return nullptr;
    g_modes.drawing.curves = &g_modes.curves;
    g_modes.drawing.diagramSize = analysis::resultState().diagramSize;
    return &g_modes.drawing;
}

bool stepMode(int by) {
    const kestrel::engine::EigenSolution* s = modeDisplayShown() ? shownSolution() : nullptr;
    if (!s || s->modes.empty()) return false;
    const int count = static_cast<int>(s->modes.size());
    g_modes.mode = ((g_modes.mode + by) % count + count) % count;
    update(true);
    redraw();
    return true;
}

void clearModeDisplay() {
    const bool was = modeDisplayShown();
    g_modes = ModeState{};
    if (!was || !app().tk) return;
    showStepButtons(false);
    app().el.resultmode->set("VALUE", "1");
}

bool enterModeDisplay(ModeKind kind) {
    AppState& a = app();
    if (a.settings.result.on) enterSelectMode();
    a.settings.result.influence = 0;
    a.el.ilsection->set("ACTIVE", "NO");
    a.el.deformed->set("ACTIVE", "YES");
    auto refuse = [&](const std::string& text) {
        if (!text.empty()) message(text);
        a.el.resultmode->set("VALUE", "1");
        return false;
    };
    attrib::AttributeRoot& root = attrib::root();
    if (std::string text; analysis::checkModel(a.model, root, text) != analysis::kCheckOk)
        return refuse(text);
    analysis::resetResults(a.model);
    attrib::clearSelection(a.model);
    if (!saveCommand()) return refuse("");
    analysis::StabilityOutcome out =
        kind == ModeKind::Buckling
            ? analysis::runBuckling(a.model, root, a.file.fullPath, kModeCount)
            : analysis::runVibration(a.model, root, a.file.fullPath, kModeCount);
    if (out.status != analysis::RunStatus::kSolved) return refuse(out.message);
    g_modes = ModeState{};
    g_modes.kind = kind;
    g_modes.out = std::move(out);
    a.mode = EditMode::ResultQuery;
    a.pickPurpose = 3;
    a.settings.result.on = 1;
    a.settings.result.kind = 0;
    for (int k = 1; k <= 4; ++k) releaseResultButton(k);
    a.el.select->set("VALUE", "OFF");
    for (ui::Element* e : {a.el.insline, a.el.insvertex, a.el.insdimln}) e->set("VALUE", "OFF");
    a.el.resultmode->set("VALUE", kind == ModeKind::Buckling ? "3" : "4");
    a.el.modelabel->set("TITLE", "Mode Factor:");
    update();
    fitViewToResults();
    redraw();
    return true;
}

void bindModeActions(ui::Toolkit& tk) {
    tk.bind("ModePrev", [](ui::Event&) {
        stepMode(-1);
        return ui::kDefault;
    });
    tk.bind("ModeNext", [](ui::Event&) {
        stepMode(1);
        return ui::kDefault;
    });
}

} // namespace shell
