// The Load Cases panel and the case drop-down.
#include "shell/panels/casepanel.h"

#include "analysis/analysis.h"
#include "attrib/cases.h"
#include "shell/display.h"
#include "shell/edit/editmodes.h"
#include "shell/edit/modes.h"
#include "shell/messages.h"
#include "shell/panels/propertypanel.h"
#include "shell/results/resultdisplay.h"
#include "shell/state.h"
#include "ui/keys.h"
#include "ui/ui.h"
#include "units/realtext.h"

#include <cmath>
#include <cstdlib>

namespace shell {

using ui::Element;
using ui::Event;
using ui::kDefault;
using ui::kIgnore;
using ui::Kind;
using ui::Toolkit;

namespace {

bool g_pendingNew = false;

Element& el(const char* name) {
    return app().tk->at(name);
}

attrib::AttributeRoot& cases() {
    return attrib::root();
}

// The items of a list: one per case, the active one chosen.
void fillList(Element& list) {
    const attrib::AttributeRoot& r = cases();
    int item = 0;
    for (const attrib::LoadCase& c : r.cases) list.set(std::to_string(++item), c.label);
    for (int i = item + 1; list.has(std::to_string(i)) && !list.get(std::to_string(i)).empty(); ++i)
        list.set(std::to_string(i), "");
    list.set("VALUE", std::to_string(attrib::caseIndex(r, r.activeCase) + 1));
}

void showPage(const char* page) {
    app().el.attmenu->set("VALUE", page);
    app().infoShown = false;
}

void backToList() {
    g_pendingNew = false;
    showPage("lcsmenu");
}

// A change of the cases that the results shown do not hold (a new or
// removed case, another self-weight) ends the result display first, as an
// edit of the frame does.
void leaveResults() {
    if (app().settings.result.on) enterSelectMode();
}

void changed() {
    refreshCaseLists();
    markModified(0);
    updateToolbar();
    redraw();
}

// Makes the case at list position `item` (from 1) active.
int choose(int item) {
    attrib::AttributeRoot& r = cases();
    if (item < 1 || item > static_cast<int>(r.cases.size())) return kDefault;
    const int id = r.cases[item - 1].id;
    if (id == r.activeCase) return kDefault;
    attrib::setActiveCase(r, id);
    AppState& a = app();
    // The results of every case were stored by the analysis: the one chosen
    // is shown without analysing again.
    if (a.settings.result.on && !a.settings.result.influence && analysis::showCaseResults(id))
        invalidateResultCurves();
    refreshCaseLists();
    redraw();
    return kDefault;
}

int onSelect(Event& ev) {
    return ev.state == 0 ? kDefault : choose(ev.item);
}

void openLabelPage(const std::string& text, bool pendingNew) {
    g_pendingNew = pendingNew;
    el("lcslabeltext").set("VALUE", text);
    showPage("lcsnewlabel");
    app().el.main->store("FOCUS", "lcslabeltext");
}

int onLabelSet(Event&) {
    const std::string text = el("lcslabeltext").get("VALUE");
    attrib::AttributeRoot& r = cases();
    // A new case ends the result display, unless its label is refused.
    const std::string label = attrib::caseLabel(text);
    if (g_pendingNew && attrib::isCaseLabel(label) && !attrib::findCaseLabel(r, label) &&
        r.cases.size() < attrib::kMaxLoadCases)
        leaveResults();
    const attrib::CaseResult res =
        g_pendingNew ? attrib::newCase(r, text) : attrib::renameCase(r, r.activeCase, text);
    if (res != attrib::kCaseDone) {
        // The page stays open with the text, for another try.
        message(paddedMessage({attrib::caseMessage(res, text)}));
        return kDefault;
    }
    backToList();
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

// The factor takes digits, a point, a sign and an exponent.
int onWeightKey(Event& ev) {
    const int c = ev.key;
    if (ui::isControlKey(c) || (c >= '0' && c <= '9')) return kDefault;
    for (char ok : {'.', 'e', 'E', '+', '-'})
        if (c == ok) return kDefault;
    return kIgnore;
}

int onWeightSet(Event& ev) {
    Element& field = el("lcsweighttext");
    if (field.holdsShownText()) return kDefault;
    const std::string text = ev.element ? field.get("VALUE") : ev.text;
    char* end = nullptr;
    const double factor = std::strtod(text.c_str(), &end);
    attrib::AttributeRoot& r = cases();
    const attrib::LoadCase* c = attrib::findCase(r, r.activeCase);
    if (c && !text.empty() && end && *end == '\0' && std::isfinite(factor) &&
        factor != c->selfWeight) {
        leaveResults();
        attrib::setSelfWeight(r, r.activeCase, factor);
        changed();
        return kDefault;
    }
    refreshCaseLists();
    return kDefault;
}

Element* button(Toolkit& tk, const char* title, const char* name, const char* action,
                const char* tip) {
    return &tk.make(Kind::Button, name, {{"TITLE", title}, {"TIP", tip}, {"ACTION", action}});
}

} // namespace

void refreshCaseLists() {
    AppState& a = app();
    if (!a.tk || !attrib::state().root) return;
    fillList(el("caselist"));
    fillList(el("lcslabellist"));
    const attrib::AttributeRoot& r = cases();
    const attrib::LoadCase* c = attrib::findCase(r, r.activeCase);
    el("lcsweighttext").setTyped(units::realG(c ? c->selfWeight : 0.0));
}

Element& buildCasePanel(Toolkit& tk) {
    Element& list = tk.make(Kind::List, "lcslabellist",
                            {{"DROPDOWN", "YES"},
                             {"1", attrib::kSingleCaseLabel},
                             {"VALUE", "1"},
                             {"ACTION", "LcsSelCur"},
                             {"EXPAND", "HORIZONTAL"}});
    Element& weight = tk.make(Kind::Text, "lcsweighttext",
                              {{"VALUE", "0"},
                               {"TIP", "Factor of the members' own weight in this case"},
                               {"ACTION", "LcsWeightText"},
                               {"COMMIT_CB", "LcsWeightTextSet"},
                               {"NC", "16"},
                               {"SIZE", "72x"}});
    Element& page = tk.make(Kind::VBox, "", {{"GAP", "4"}, {"MARGIN", "4"}});
    page.append(*panelRow(tk, {&list}));
    page.append(*panelRow(
        tk, {button(tk, "New", "lcsnew", "LcsNew", "Create a new load case"),
             button(tk, "Rename", "lcsrename", "LcsRename", "Rename the current load case"),
             button(tk, "Remove", "lcsremove", "LcsRemove",
                    "Remove the current load case and its loads")}));
    page.append(*panelRow(tk, {&tk.make(Kind::Label, "", {{"TITLE", "Self-Weight Factor:"}})}));
    Element& indent = tk.make(Kind::Label, "", {{"TITLE", " "}});
    indent.store("SIZE", "28x");
    page.append(*panelRow(tk, {&indent, &weight}));
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
        openLabelPage("", true);
        return kDefault;
    });
    tk.bind("LcsRename", [](Event&) {
        const attrib::LoadCase* c = attrib::findCase(cases(), cases().activeCase);
        if (c) openLabelPage(c->label, false);
        return kDefault;
    });
    tk.bind("LcsLabelSet", onLabelSet);
    tk.bind("LcsLabelCancel", [](Event&) {
        backToList();
        return kDefault;
    });
    tk.bind("LcsRemove", onRemove);
    tk.bind("LcsWeightText", onWeightKey);
    tk.bind("LcsWeightTextSet", onWeightSet);
}

} // namespace shell
