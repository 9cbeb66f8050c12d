// The Load Cases panel and the case drop-down.
#include "shell/panels/casepanel.h"

#include "analysis/analysis.h"
#include "attrib/cases.h"
#include "shell/display.h"
#include "shell/edit/editmodes.h"
#include "shell/edit/modes.h"
#include "shell/messages.h"
#include "shell/panels/propertypanel.h"
#include "shell/results/resultcmds.h"
#include "shell/results/resultdisplay.h"
#include "shell/state.h"
#include "ui/keys.h"
#include "ui/ui.h"
#include "units/realtext.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace shell {

using ui::Element;
using ui::Event;
using ui::kDefault;
using ui::kIgnore;
using ui::Kind;
using ui::Toolkit;

namespace {

// What the label page's Done does.
enum class LabelFor {
    kNewCase,
    kRenameCase,
    kNewCombination,
    kRenameCombination,
    kCopyCombination
};

// The panel's own choices: the combination its combination part works on
// and the case whose factor the factor field edits (ids; checked against the
// model at every refresh, so a stale id falls back to the first one).
struct CasePanelState {
    LabelFor label = LabelFor::kNewCase;
    int combination = 0;
    int factorCase = 0;
};
CasePanelState g_panel;

Element& el(const char* name) {
    return app().tk->at(name);
}

attrib::AttributeRoot& cases() {
    return attrib::root();
}

bool forCombination(LabelFor f) {
    return f != LabelFor::kNewCase && f != LabelFor::kRenameCase;
}

// "Envelope" is offered when there is something to envelope: more than one
// case, or a combination.
bool envelopeListed(const attrib::AttributeRoot& r) {
    return r.cases.size() > 1 || !r.combos.empty();
}

// The ids behind the drop-down's items, in list order: the cases, the
// combinations, then the envelope.
std::vector<int> dropDownIds(const attrib::AttributeRoot& r) {
    std::vector<int> ids;
    for (const attrib::LoadCase& c : r.cases) ids.push_back(c.id);
    for (const attrib::Combination& c : r.combos) ids.push_back(c.id);
    if (envelopeListed(r)) ids.push_back(attrib::kEnvelope);
    return ids;
}

// Sets the items of a list (those beyond the new count emptied) and the one
// chosen (0: none).
void fillList(Element& list, const std::vector<std::string>& items, int chosen) {
    int item = 0;
    for (const std::string& text : items) list.set(std::to_string(++item), text);
    for (int i = item + 1; list.has(std::to_string(i)) && !list.get(std::to_string(i)).empty(); ++i)
        list.set(std::to_string(i), "");
    list.set("VALUE", std::to_string(chosen));
}

void setActive(const char* name, bool active) {
    el(name).set("ACTIVE", active ? "YES" : "NO");
}

const attrib::Combination* panelCombination() {
    return attrib::findCombination(cases(), g_panel.combination);
}

// Keeps the panel's choices within the model: the combination shown, else
// the one chosen before, else the first; the factor's case likewise.
void checkChoices(attrib::AttributeRoot& r) {
    if (r.shown == attrib::kEnvelope && !envelopeListed(r)) r.shown = 0;
    if (r.shown > 0 && attrib::findCombination(r, r.shown)) g_panel.combination = r.shown;
    if (!attrib::findCombination(r, g_panel.combination))
        g_panel.combination = r.combos.empty() ? 0 : r.combos.front().id;
    if (!attrib::findCase(r, g_panel.factorCase)) g_panel.factorCase = r.cases.front().id;
}

// A factor as the panel writes it: blank for a case the combination leaves
// out.
std::string factorText(const attrib::Combination* c, int caseId) {
    const double f = c ? attrib::factorOf(*c, caseId) : 0.0;
    return f == 0 ? std::string() : units::realG(f);
}

void fillCombinationPart(const attrib::AttributeRoot& r) {
    const attrib::Combination* c = panelCombination();
    std::vector<std::string> labels;
    for (const attrib::Combination& k : r.combos) labels.push_back(k.label);
    fillList(el("lcscombolist"), labels, attrib::combinationIndex(r, g_panel.combination) + 1);
    std::vector<std::string> rows;
    for (const attrib::LoadCase& k : r.cases) {
        const std::string f = factorText(c, k.id);
        rows.push_back(f.empty() ? k.label : k.label + " = " + f);
    }
    fillList(el("lcsfactorlist"), rows, attrib::caseIndex(r, g_panel.factorCase) + 1);
    el("lcsfactortext").set("VALUE", factorText(c, g_panel.factorCase));
    el("lcsenvelope").set("VALUE", c && c->inEnvelope ? "ON" : "OFF");
    for (const char* name : {"lcscombolist", "lcscomborename", "lcscomboremove", "lcscombocopy",
                             "lcsenvelope", "lcsfactorlist", "lcsfactortext"})
        setActive(name, c != nullptr);
}

void showPage(const char* page) {
    app().el.attmenu->set("VALUE", page);
    app().infoShown = false;
}

void backToList() {
    g_panel.label = LabelFor::kNewCase;
    showPage("lcsmenu");
}

// A change of the cases that the results shown do not hold (a new or
// removed case, another self-weight, a pattern flag) ends the result
// display first, as an edit of the frame does.
void leaveResults() {
    if (app().settings.result.on) enterSelectMode();
}

bool resultsShown() {
    const AppState& a = app();
    return a.settings.result.on && !a.settings.result.influence;
}

// The results of a combination are sums of the stored case results: after
// a change of the combinations, what is shown is put together again without
// a new analysis. `before` is the id shown before the change; a case that
// stays shown keeps its records.
void reshow(int before) {
    const attrib::AttributeRoot& r = cases();
    const int now = attrib::shownId(r);
    if (now == before && attrib::findCase(r, now)) return;
    // Second-order combinations are no sums: a changed one needs a new analysis.
    if (resultsShown() && analysis::storedResults().secondOrder) return leaveResults();
    if (resultsShown() && analysis::showResults(r)) invalidateResultCurves();
}

void changed() {
    refreshCaseLists();
    markModified(0);
    updateToolbar();
    redraw();
}

// Shows the case, combination or envelope `id` (the results of a case or
// combination chosen are shown without a new analysis).
int choose(int id) {
    attrib::AttributeRoot& r = cases();
    const int before = attrib::shownId(r);
    if (id == before || !attrib::setShown(r, id)) return kDefault;
    if (attrib::findCombination(r, id)) g_panel.combination = id;
    if (resultsShown() && analysis::showResults(r)) {
        invalidateResultCurves();
        clearPrompt();
        noteShownWithoutResults();
    }
    refreshCaseLists();
    redraw();
    return kDefault;
}

// Both the drop-down and the panel's case list begin with the cases, so an
// item number means the same in either.
int onSelect(Event& ev) {
    if (ev.state == 0) return kDefault;
    const std::vector<int> ids = dropDownIds(cases());
    if (ev.item < 1 || ev.item > static_cast<int>(ids.size())) return kDefault;
    return choose(ids[ev.item - 1]);
}

int onSelectCombination(Event& ev) {
    const attrib::AttributeRoot& r = cases();
    if (ev.state == 0 || ev.item < 1 || ev.item > static_cast<int>(r.combos.size()))
        return kDefault;
    g_panel.combination = r.combos[ev.item - 1].id;
    return choose(g_panel.combination);
}

int onSelectFactorCase(Event& ev) {
    const attrib::AttributeRoot& r = cases();
    if (ev.state == 0 || ev.item < 1 || ev.item > static_cast<int>(r.cases.size())) return kDefault;
    g_panel.factorCase = r.cases[ev.item - 1].id;
    refreshCaseLists();
    return kDefault;
}

void openLabelPage(const std::string& text, LabelFor what) {
    g_panel.label = what;
    Element& field = el("lcslabeltext");
    field.set("VALUE", text);
    field.set("TIP", forCombination(what) ? "Label of the combination" : "Label of the load case");
    showPage("lcsnewlabel");
    app().el.main->store("FOCUS", "lcslabeltext");
}

attrib::CaseResult setCombinationLabel(attrib::AttributeRoot& r, const std::string& text) {
    int made = 0;
    attrib::CaseResult res = attrib::kCaseDone;
    switch (g_panel.label) {
    case LabelFor::kNewCombination:
        res = attrib::newCombination(r, text, &made);
        break;
    case LabelFor::kCopyCombination:
        res = attrib::copyCombination(r, g_panel.combination, text, &made);
        break;
    default:
        return attrib::renameCombination(r, g_panel.combination, text);
    }
    // The new combination is the one the panel works on and the one shown.
    if (res == attrib::kCaseDone) {
        g_panel.combination = made;
        attrib::setShown(r, made);
    }
    return res;
}

int onLabelSet(Event&) {
    const std::string text = el("lcslabeltext").get("VALUE");
    attrib::AttributeRoot& r = cases();
    const bool combination = forCombination(g_panel.label);
    const int before = attrib::shownId(r);
    // A new case ends the result display, unless its label is refused.
    const std::string label = attrib::caseLabel(text);
    if (g_panel.label == LabelFor::kNewCase && attrib::isCaseLabel(label) &&
        !attrib::idOfLabel(r, label) && r.cases.size() < attrib::kMaxLoadCases)
        leaveResults();
    attrib::CaseResult res = attrib::kCaseDone;
    if (combination)
        res = setCombinationLabel(r, text);
    else if (g_panel.label == LabelFor::kNewCase)
        res = attrib::newCase(r, text);
    else
        res = attrib::renameCase(r, r.activeCase, text);
    if (res != attrib::kCaseDone) {
        // The page stays open with the text, for another try.
        message(paddedMessage({attrib::caseMessage(res, text, combination)}));
        return kDefault;
    }
    backToList();
    if (combination) reshow(before);
    changed();
    return kDefault;
}

int onRemove(Event&) {
    attrib::AttributeRoot& r = cases();
    const attrib::LoadCase* c = attrib::findCase(r, r.activeCase);
    if (!c) return kDefault;
    if (r.cases.size() == 1) {
        message(paddedMessage({attrib::caseMessage(attrib::kCaseLast, "")}));
        return kDefault;
    }
    // What the case loads: "2 nodes and 3 members", "1 member".
    if (const attrib::CaseUse use = attrib::caseUse(app().model, c->id); use.nodes + use.members) {
        auto count = [](int n, const char* what) {
            return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
        };
        const std::string what = use.nodes && use.members ? count(use.nodes, "node") + " and " +
                                                                count(use.members, "member")
                                 : use.nodes ? count(use.nodes, "node")
                                             : count(use.members, "member");
        if (alert(paddedMessage({"Load case " + c->label + " loads " + what + ".",
                                 "Remove the case with its loads?"}),
                  " Remove ", "  Cancel  ") != 1)
            return kDefault;
    }
    leaveResults();
    attrib::removeCase(r, app().model, c->id);
    changed();
    return kDefault;
}

// The removed combination's place goes to the one before it (or the next).
int onRemoveCombination(Event&) {
    attrib::AttributeRoot& r = cases();
    const int at = attrib::combinationIndex(r, g_panel.combination);
    if (at < 0) return kDefault;
    const int before = attrib::shownId(r);
    attrib::removeCombination(r, g_panel.combination);
    g_panel.combination = r.combos.empty() ? 0 : r.combos[at > 0 ? at - 1 : 0].id;
    reshow(before);
    changed();
    return kDefault;
}

int onPattern(Event& ev) {
    attrib::AttributeRoot& r = cases();
    const attrib::LoadCase* c = attrib::findCase(r, r.activeCase);
    if (!c || c->pattern == (ev.state != 0)) return kDefault;
    // The envelope of a pattern case needs its loads member by member: a
    // new analysis.
    leaveResults();
    attrib::setPattern(r, r.activeCase, ev.state != 0);
    changed();
    return kDefault;
}

int onInEnvelope(Event& ev) {
    attrib::AttributeRoot& r = cases();
    const attrib::Combination* c = panelCombination();
    if (!c || c->inEnvelope == (ev.state != 0)) return kDefault;
    const int before = attrib::shownId(r);
    attrib::setInEnvelope(r, c->id, ev.state != 0);
    reshow(before);
    changed();
    return kDefault;
}

// The factor fields take digits, a point, a sign and an exponent.
int onNumberKey(Event& ev) {
    const int c = ev.key;
    if (ui::isControlKey(c) || (c >= '0' && c <= '9')) return kDefault;
    for (char ok : {'.', 'e', 'E', '+', '-'})
        if (c == ok) return kDefault;
    return kIgnore;
}

// The number a whole text stands for; false when it is not one.
bool readNumber(const std::string& text, double& v) {
    char* end = nullptr;
    v = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

int onWeightSet(Event& ev) {
    Element& field = el("lcsweighttext");
    if (field.holdsShownText()) return kDefault;
    const std::string text = ev.element ? field.get("VALUE") : ev.text;
    double factor = 0;
    attrib::AttributeRoot& r = cases();
    const attrib::LoadCase* c = attrib::findCase(r, r.activeCase);
    if (c && readNumber(text, factor) && std::isfinite(factor) && factor != c->selfWeight) {
        leaveResults();
        attrib::setSelfWeight(r, r.activeCase, factor);
        changed();
        return kDefault;
    }
    refreshCaseLists();
    return kDefault;
}

// A blank factor is 0: the case drops out of the combination. A text that
// is no number, or a factor setFactor refuses, is answered by its message.
int onFactorSet(Event& ev) {
    Element& field = el("lcsfactortext");
    const attrib::Combination* c = panelCombination();
    if (!c || field.holdsShownText()) return kDefault;
    const int id = c->id;
    const std::string text = ev.element ? field.get("VALUE") : ev.text;
    double factor = 0;
    const bool number = attrib::caseLabel(text).empty() || readNumber(text, factor);
    attrib::AttributeRoot& r = cases();
    const double old = attrib::factorOf(*c, g_panel.factorCase);
    const int before = attrib::shownId(r);
    const attrib::CaseResult res =
        number ? attrib::setFactor(r, id, g_panel.factorCase, factor) : attrib::kBadFactor;
    if (res != attrib::kCaseDone) {
        refreshCaseLists();
        message(paddedMessage({attrib::caseMessage(res, "", true)}));
        return kDefault;
    }
    if (factor == old) {
        refreshCaseLists();
        return kDefault;
    }
    // Only the results of the combination (or of the envelope) shown change;
    // in second order they need a new analysis.
    if (resultsShown() && analysis::storedResults().secondOrder) leaveResults();
    if ((before == id || before == attrib::kEnvelope) && resultsShown() && analysis::showResults(r))
        invalidateResultCurves();
    changed();
    return kDefault;
}

Element* button(Toolkit& tk, const char* title, const char* name, const char* action,
                const char* tip) {
    return &tk.make(Kind::Button, name, {{"TITLE", title}, {"TIP", tip}, {"ACTION", action}});
}

Element& numberField(Toolkit& tk, const char* name, const char* tip, const char* action) {
    return tk.make(Kind::Text, name,
                   {{"VALUE", "0"},
                    {"TIP", tip},
                    {"ACTION", action},
                    {"COMMIT_CB", std::string(action) + "Set"},
                    {"NC", "16"},
                    {"SIZE", "72x"}});
}

// A field after a label as wide as the indent of the panel's fields.
Element* fieldAfter(Toolkit& tk, const char* title, Element& e) {
    Element& label = tk.make(Kind::Label, "", {{"TITLE", title}});
    label.store("SIZE", "28x");
    return panelRow(tk, {&label, &e});
}

// The combination part: the list of combinations with its buttons, the
// envelope flag, and the factors, one row per case in a list that scrolls
// (99 cases fit no panel), with one field for the case chosen there.
Element& buildCombinationPart(Toolkit& tk) {
    Element& list = tk.make(Kind::List, "lcscombolist",
                            {{"DROPDOWN", "YES"},
                             {"VALUE", "0"},
                             {"ACTION", "LcsComboSelCur"},
                             {"EXPAND", "HORIZONTAL"}});
    Element& factors =
        tk.make(Kind::List, "lcsfactorlist",
                {{"VALUE", "1"},
                 {"1", attrib::kSingleCaseLabel},
                 {"TIP", "The factor of each load case; choose a case to change its factor"},
                 {"ACTION", "LcsFactorSelCur"},
                 {"EXPAND", "HORIZONTAL"},
                 {"SIZE", "x44"}});
    Element& box = tk.make(Kind::VBox, "", {{"GAP", "4"}});
    box.append(*panelRow(tk, {&list}));
    box.append(*panelRow(
        tk,
        {button(tk, "New", "lcscombonew", "LcsComboNew", "Create a new combination"),
         button(tk, "Rename", "lcscomborename", "LcsComboRename", "Rename the current combination"),
         button(tk, "Remove", "lcscomboremove", "LcsComboRemove", "Remove the current combination"),
         button(tk, "Copy", "lcscombocopy", "LcsComboCopy",
                "Create a combination with the factors of the current one")}));
    box.append(
        *panelRow(tk, {&tk.make(Kind::Toggle, "lcsenvelope",
                                {{"TITLE", "In Envelope"},
                                 {"TIP", "The envelope of the results takes this combination"},
                                 {"ACTION", "LcsEnvelope"},
                                 {"VALUE", "OFF"}})}));
    box.append(*panelRow(tk, {&tk.make(Kind::Label, "", {{"TITLE", "Factors:"}})}));
    box.append(factors);
    box.append(*fieldAfter(
        tk, "Factor:",
        numberField(tk, "lcsfactortext",
                    "Factor of the load case chosen above in this combination (blank: 0)",
                    "LcsFactorText")));
    return tk.make(Kind::Frame, "lcscomboframe", {{"TITLE", "Combinations"}}, {&box});
}

} // namespace

void refreshCaseLists() {
    AppState& a = app();
    if (!a.tk || !attrib::state().root) return;
    attrib::AttributeRoot& r = cases();
    checkChoices(r);
    std::vector<std::string> labels;
    for (const attrib::LoadCase& c : r.cases) labels.push_back(c.label);
    fillList(el("lcslabellist"), labels, attrib::caseIndex(r, r.activeCase) + 1);
    const std::vector<int> ids = dropDownIds(r);
    labels.clear();
    int shownItem = 0;
    for (int id : ids) {
        labels.push_back(attrib::labelOf(r, id));
        if (id == attrib::shownId(r)) shownItem = static_cast<int>(labels.size());
    }
    fillList(el("caselist"), labels, shownItem);
    const attrib::LoadCase* c = attrib::findCase(r, r.activeCase);
    el("lcsweighttext").setTyped(units::realG(c ? c->selfWeight : 0.0));
    el("lcspattern").set("VALUE", c && c->pattern ? "ON" : "OFF");
    fillCombinationPart(r);
}

void resetCasePanel() {
    g_panel = CasePanelState{};
    refreshCaseLists();
}

Element& buildCasePanel(Toolkit& tk) {
    Element& list = tk.make(Kind::List, "lcslabellist",
                            {{"DROPDOWN", "YES"},
                             {"1", attrib::kSingleCaseLabel},
                             {"VALUE", "1"},
                             {"ACTION", "LcsSelCur"},
                             {"EXPAND", "HORIZONTAL"}});
    Element& page = tk.make(Kind::VBox, "", {{"GAP", "4"}, {"MARGIN", "4"}});
    page.append(*panelRow(tk, {&list}));
    page.append(*panelRow(
        tk, {button(tk, "New", "lcsnew", "LcsNew", "Create a new load case"),
             button(tk, "Rename", "lcsrename", "LcsRename", "Rename the current load case"),
             button(tk, "Remove", "lcsremove", "LcsRemove",
                    "Remove the current load case and its loads")}));
    page.append(*panelRow(tk, {&tk.make(Kind::Label, "", {{"TITLE", "Self-Weight Factor:"}})}));
    page.append(*fieldAfter(tk, " ",
                            numberField(tk, "lcsweighttext",
                                        "Factor of the members' own weight in this case",
                                        "LcsWeightText")));
    page.append(*panelRow(
        tk, {&tk.make(Kind::Toggle, "lcspattern",
                      {{"TITLE", "Pattern"},
                       {"TIP", "The envelope counts the loads of this case member by member"},
                       {"ACTION", "LcsPattern"},
                       {"VALUE", "OFF"}})}));
    page.append(buildCombinationPart(tk));
    page.append(tk.make(Kind::Fill));
    return tk.make(Kind::Frame, "lcsmenu", {{"TITLE", "Load Cases"}, {"EXPAND", "YES"}}, {&page});
}

Element& buildCaseLabelPage(Toolkit& tk) {
    Element& text =
        tk.make(Kind::Text, "lcslabeltext",
                {{"VALUE", ""}, {"TIP", "Label of the load case"}, {"NC", "31"}, {"SIZE", "124x"}});
    Element& page = tk.make(Kind::VBox, "", {{"GAP", "4"}, {"MARGIN", "4"}});
    page.append(*panelRow(tk, {&tk.make(Kind::Label, "", {{"TITLE", "New Label:"}})}));
    page.append(*panelRow(tk, {&text}));
    page.append(*panelRow(tk, {button(tk, "Done", "lcslabelset", "LcsLabelSet", ""),
                               button(tk, "Cancel", "lcslabelcancel", "LcsLabelCancel", "")}));
    page.append(tk.make(Kind::Fill));
    return tk.make(Kind::Frame, "lcsnewlabel", {{"TITLE", "Load Cases"}, {"EXPAND", "YES"}},
                   {&page});
}

void bindCaseActions(Toolkit& tk) {
    tk.bind("CaseSelCur", onSelect);
    tk.bind("LcsSelCur", onSelect);
    tk.bind("LcsNew", [](Event&) {
        openLabelPage("", LabelFor::kNewCase);
        return kDefault;
    });
    tk.bind("LcsRename", [](Event&) {
        const attrib::LoadCase* c = attrib::findCase(cases(), cases().activeCase);
        if (c) openLabelPage(c->label, LabelFor::kRenameCase);
        return kDefault;
    });
    tk.bind("LcsLabelSet", onLabelSet);
    tk.bind("LcsLabelCancel", [](Event&) {
        backToList();
        return kDefault;
    });
    tk.bind("LcsRemove", onRemove);
    tk.bind("LcsWeightText", onNumberKey);
    tk.bind("LcsWeightTextSet", onWeightSet);
    tk.bind("LcsPattern", onPattern);
    tk.bind("LcsComboSelCur", onSelectCombination);
    tk.bind("LcsComboNew", [](Event&) {
        openLabelPage("", LabelFor::kNewCombination);
        return kDefault;
    });
    tk.bind("LcsComboRename", [](Event&) {
        if (const attrib::Combination* c = panelCombination())
            openLabelPage(c->label, LabelFor::kRenameCombination);
        return kDefault;
    });
    tk.bind("LcsComboCopy", [](Event&) {
        if (panelCombination()) openLabelPage("", LabelFor::kCopyCombination);
        return kDefault;
    });
    tk.bind("LcsComboRemove", onRemoveCombination);
    tk.bind("LcsEnvelope", onInEnvelope);
    tk.bind("LcsFactorSelCur", onSelectFactorCase);
    tk.bind("LcsFactorText", onNumberKey);
    tk.bind("LcsFactorTextSet", onFactorSet);
}

} // namespace shell
