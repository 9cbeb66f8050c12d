// Result commands: check, save, analyse, store, enter the result mode.
#include "shell/results/resultcmds.h"

#include "analysis/analysis.h"
#include "analysis/stability.h"
#include "attrib/cases.h"
#include "attrib/supports.h"
#include "shell/display.h"
#include "shell/edit/editmodes.h"
#include "shell/edit/modes.h"
#include "shell/files/filecommands.h"
#include "shell/messages.h"
#include "shell/results/influence.h"
#include "shell/results/modedisplay.h"
#include "shell/results/resultdisplay.h"
#include "shell/state.h"
#include "ui/ui.h"

namespace shell {

std::string envelopeWithoutResults(const std::string& label) {
    return "The envelope is not available: " + label + " has no second-order results.";
}

namespace {

const char* const kResultButtons[] = {"axial", "shear", "bending", "deformed"};

// The model must be saved under a name of its own before it is analysed:
// the neutral and result files lie beside it. Save asks for a name while the
// model is "untitled.kst"; false when the user cancels.
bool saveBeforeAnalysis() {
    return saveCommand();
}

} // namespace

void releaseResultButton(int kind) {
    if (kind >= 1 && kind <= 4) app().tk->at(kResultButtons[kind - 1]).set("VALUE", "OFF");
}

void enterResultDisplay(int kind) {
    AppState& a = app();
    const bool influence = a.settings.result.influence == 1;
    a.mode = influence ? EditMode::InfluenceSection : EditMode::ResultQuery;
    a.pickPurpose = influence ? 2 : 3;
    a.settings.result.on = 1;
    a.settings.result.kind = kind;
    for (int k = 1; k <= 4; ++k)
        a.tk->at(kResultButtons[k - 1]).set("VALUE", k == kind ? "ON" : "OFF");
    a.el.select->set("VALUE", "OFF");
    for (ui::Element* e : {a.el.insline, a.el.insvertex, a.el.insdimln}) e->set("VALUE", "OFF");
    showResultTitle();
    redraw();
    showResultFactor();
    noteShownWithoutResults();
}

std::string withoutResultsText() {
    const attrib::AttributeRoot& root = attrib::root();
    if (!analysis::shownWithoutResults(root)) return "";
    if (attrib::shownId(root) == attrib::kEnvelope)
        return envelopeWithoutResults(
            attrib::labelOf(root, analysis::envelopeMemberWithoutResults(root)));
    if (analysis::storedResults().isUnstable(attrib::shownId(root)))
        return kestrel::engine::kSecondOrderUnstable;
    return "";
}

void noteShownWithoutResults() {
    if (const std::string text = withoutResultsText(); !text.empty()) showPrompt(text);
}

void clearResults() {
    AppState& a = app();
    analysis::clearMemberResults(a.model);
    invalidateResultCurves();
    clearInfluence(true);
    clearModeDisplay();
    analysis::resultState().largestValue = 0;
    a.settings.result.kind = 0;
    attrib::clearSelection(a.model);
    restoreAttributePanel();
}

bool resultCommand(int kind) {
    AppState& a = app();
    if (kind < 1 || kind > 4) return false;
    // From the buckling or vibration display, the diagrams again.
    if (modeDisplayShown()) enterSelectMode();
    if (a.settings.result.influence == 1) return influenceCommand(kind);
    // Inside the result mode the stored results serve every kind.
    if (a.settings.result.on == 1 && a.settings.result.kind != 0) {
        enterResultDisplay(kind);
        return true;
    }
    attrib::AttributeRoot& root = attrib::root();
    if (std::string text; analysis::checkModel(a.model, root, text) != analysis::kCheckOk) {
        message(text);
        releaseResultButton(kind);
        return false;
    }
    analysis::resetResults(a.model);
    attrib::clearSelection(a.model);
    if (!saveBeforeAnalysis()) {
        releaseResultButton(kind);
        return false;
    }
    // The shares of pattern cases are gathered for the envelope as the
    // analysis solves them. The second-order choice solves every case and
    // combination on its own.
    analysis::RunOutcome out;
    if (attrib::secondOrder(root)) {
        analysis::StabilityOutcome so = analysis::runSecondOrder(a.model, root, a.file.fullPath);
        analysis::storeSecondOrder(so, root);
        out.status = so.status;
        out.message = std::move(so.message);
    } else {
        out = analysis::runAnalysis(a.model, root, a.file.fullPath,
                                    results::gatherShares(envelopeInput(), a.model, root));
    }
    if (out.status != analysis::RunStatus::kSolved) {
        message(out.message);
        clearResults();
        releaseResultButton(kind);
        return false;
    }
    invalidateResultCurves();
    // The diagrams of a new analysis and their values are shown whole.
    fitViewToResults();
    enterResultDisplay(kind);
    return true;
}

void bindResultActions(ui::Toolkit& tk) {
    bindResultDisplayActions(tk);
    bindInfluenceActions(tk);
    bindModeActions(tk);
    static const char* const kActions[] = {"Axial", "Shear", "Bending", "Deformed"};
    for (int k = 1; k <= 4; ++k)
        tk.bind(kActions[k - 1], [k](ui::Event&) {
            resultCommand(k);
            return ui::kDefault;
        });
}

} // namespace shell
