// The generic property panel and its handlers.
#include "shell/panels/propertypanel.h"
#include "shell/files/filecommands.h"
#include "shell/panels/casepanel.h"

#include "attrib/blocks.h"
#include "shell/display.h"
#include "shell/edit/edit.h"
#include "shell/edit/editmodes.h"
#include "shell/messages.h"
#include "shell/state.h"
#include "ui/keys.h"
#include "ui/ui.h"
#include "units/numformat.h"
#include "units/units.h"

#include <array>
#include <cctype>
#include <cmath>

namespace shell {

using attrib::PropertyBlock;
using ui::Element;
using ui::Event;
using ui::kDefault;
using ui::kIgnore;
using ui::Kind;
using ui::Toolkit;

namespace {

struct PanelState {
    PropertyBlock* current = nullptr;
    bool pendingNew = false;
};
std::array<PanelState, attrib::kPropertyKindCount> g_panels;

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Element and action names of a kind: name(k, "LabelList") is "maflabellist",
// action(k, "LabelSet") is "MafLabelSet".
std::string name(const PanelKind& k, const std::string& suffix) {
    return lower(std::string(k.prefix) + suffix);
}
std::string action(const PanelKind& k, const std::string& suffix) {
    return std::string(k.prefix) + suffix;
}

Element& el(const PanelKind& k, const std::string& suffix) {
    return app().tk->at(name(k, suffix));
}

attrib::AttributeRoot& blocks() {
    return attrib::root();
}

bool listEmpty(const PanelKind& k) {
    return blocks().lists[k.kind] == nullptr;
}

const char* const kQuestion[] = {"This operation cannot be undone and will empty the",
                                 "list of operations that could be undone."};

// ---- Refresh -----------------------------------------------------------------

void rebuildList(const PanelKind& k) {
    Element& list = el(k, "LabelList");
    int item = 1;
    list.set("1", "NONE");
    for (const PropertyBlock* b = blocks().lists[k.kind]; b; b = b->next)
        list.set(std::to_string(++item), b->label);
    // Items of removed blocks go: the list ends at the first empty item.
    for (int i = item + 1; list.has(std::to_string(i)) && !list.get(std::to_string(i)).empty(); ++i)
        list.set(std::to_string(i), "");
    const PropertyBlock* cur = currentBlock(k.kind);
    list.set("VALUE", std::to_string(cur ? cur->id + 1 : 1));
}

// "mafelastext", "mafelasunit".
Element& fieldElement(const PanelField& f, const char* suffix) {
    return app().tk->at(lower(f.name) + suffix);
}

double fieldValue(const PanelField& f, const PropertyBlock& b) {
    if (f.value < 0) return f.compute ? f.compute(b) : 0;
    const attrib::ValueBlock* v = attrib::valuesOf(&b);
    return v && f.value < attrib::kMaxBlockValues ? v->values[f.value] : 0;
}

void refreshFields(const PanelKind& k) {
    const PropertyBlock* cur = currentBlock(k.kind);
    for (const PanelField& f : k.fields) {
        fieldElement(f, "unit").set("TITLE",
                                    f.unitSlot >= 0 ? units::slotUnitLabelUtf8(f.unitSlot) : "");
        fieldElement(f, "text").set(
            "VALUE",
            cur ? units::formatBareValue(f.unitSlot, f.formatSlot, fieldValue(f, *cur)) : "");
    }
    if (k.direction) {
        const attrib::ValueBlock* v = attrib::valuesOf(cur);
        const bool local = v && v->direction == 1;
        el(k, "GblDir").set("VALUE", local ? "OFF" : "ON");
        el(k, "LocDir").set("VALUE", local ? "ON" : "OFF");
        el(k, "Dir").set("VALUE", name(k, local ? "LocDir" : "GblDir"));
    }
    if (k.currentShown) k.currentShown(currentBlock(k.kind));
}

void refreshPanel(const PanelKind& k) {
    rebuildList(k);
    refreshFields(k);
}

void showPage(const PanelKind& k, const char* page) {
    AppState& a = app();
    a.el.attmenu->set("VALUE", name(k, page));
    a.infoShown = false;
}

// The first block of the list becomes current (none for an empty list).
void currentToFirst(const PanelKind& k) {
    g_panels[k.kind].current = blocks().lists[k.kind];
    refreshPanel(k);
}

// After Remove and Condense: the first block becomes current, and the undo
// buttons follow the history, which the command may have emptied.
void afterListChange(const PanelKind& k) {
    currentToFirst(k);
    markModified(0);
    updateToolbar();
    redraw();
}

// ---- Handlers ------------------------------------------------------------------

int onSelCur(const PanelKind& k, Event& ev) {
    if (ev.state == 0 || listEmpty(k)) return kDefault;
    g_panels[k.kind].current =
        ev.item > 1 ? attrib::findBlock(blocks(), k.kind, ev.item - 1) : nullptr;
    refreshFields(k);
    return kDefault;
}

void openLabelPage(const PanelKind& k, const std::string& text, bool pendingNew) {
    g_panels[k.kind].pendingNew = pendingNew;
    el(k, "LabelText").set("VALUE", text);
    showPage(k, "NewLabel");
    app().el.main->store("FOCUS", name(k, "LabelText"));
    if (k.labelPageOpened) k.labelPageOpened(pendingNew);
}

void backToList(const PanelKind& k) {
    g_panels[k.kind].pendingNew = false;
    showPage(k, "Menu");
    app().el.main->store("FOCUS", name(k, "LabelList"));
    if (k.labelPageClosed) k.labelPageClosed();
}

int onNew(const PanelKind& k) {
    openLabelPage(k, "", true);
    return kDefault;
}

int onRename(const PanelKind& k) {
    const PropertyBlock* cur = currentBlock(k.kind);
    if (!cur) return kDefault;
    openLabelPage(k, cur->label, false);
    return kDefault;
}

// Refuses the blank and any printable key past the 31 characters of a label.
int onLabelKey(Event& ev) {
    if (ev.key == ui::K_SP) return kIgnore;
    if (ui::isControlKey(ev.key)) return kDefault;
    const std::string text = ev.element ? ev.element->get("VALUE") : "";
    return text.size() >= attrib::kLabelSize - 1 ? kIgnore : kDefault;
}

int onLabelSet(const PanelKind& k) {
    const std::string text = el(k, "LabelText").get("VALUE");
    PanelState& st = g_panels[k.kind];
    attrib::LabelResult r;
    if (st.pendingNew) {
        PropertyBlock* made = nullptr;
        r = attrib::newBlock(blocks(), k.kind, text, &made);
        if (r == attrib::kLabelDone && k.blockMade) k.blockMade(made);
        if (r == attrib::kLabelDone) st.current = made;
    } else {
        r = attrib::renameBlock(blocks(), k.kind, currentBlock(k.kind), text);
    }
    // An empty label (or one with a blank, which the key filter keeps out)
    // leaves the page open.
    if (r == attrib::kLabelEmpty || r == attrib::kLabelBlank) return kDefault;
    refreshPanel(k);
    markModified(0);
    backToList(k);
    return kDefault;
}

int onRemove(const PanelKind& k) {
    PropertyBlock* cur = currentBlock(k.kind);
    if (!cur) return kDefault;
    AppState& a = app();
    attrib::RemoveResult r = attrib::removeBlock(blocks(), a.model, k.kind, cur, false);
    if (r == attrib::kNeedsClear) {
        if (alert(paddedMessage({kQuestion[0], kQuestion[1]}), " Continue ", "  Cancel  ") != 1)
            return kDefault;
        r = attrib::removeBlock(blocks(), a.model, k.kind, cur, true);
    }
    if (r == attrib::kInUse) {
        message(paddedMessage({k.inUse[0], k.inUse[1]}));
        return kDefault;
    }
    if (r == attrib::kRemoved) afterListChange(k);
    return kDefault;
}

int onCondense(const PanelKind& k) {
    AppState& a = app();
    attrib::RemoveResult r = attrib::condenseBlocks(blocks(), a.model, k.kind, false);
    if (r == attrib::kNeedsClear) {
        if (alert(paddedMessage({kQuestion[0], kQuestion[1]}), " Continue ", "  Cancel  ") != 1)
            return kDefault;
        r = attrib::condenseBlocks(blocks(), a.model, k.kind, true);
    }
    if (r == attrib::kRemoved) afterListChange(k);
    return kDefault;
}

int onSelect(const PanelKind& k) {
    AppState& a = app();
    for (auto& d : blocks().dimLines) d.selected = 0;
    const int n = attrib::selectUsers(a.model, k.kind, currentBlock(k.kind));
    recountSelection();
    redraw();
    updateToolbar();
    if (n == 0) {
        a.selectionKind = 0;
        attrib::state().target = attrib::kTargetNone;
        message(paddedMessage({k.notFound}));
    }
    return kDefault;
}

int onApply(const PanelKind& k, bool all) {
    AppState& a = app();
    PropertyBlock* cur = currentBlock(k.kind);
    const int n = all ? attrib::applyToAllMembers(a.model, k.kind, cur)
                      : attrib::applyToSelection(a.model, k.kind, cur);
    if (n == 0) return kDefault;
    recountSelection();
    redraw();
    updateToolbar();
    return kDefault;
}

int onImport(const PanelKind& k) {
    importCommand(k.kind);
    return kDefault;
}

// Digits, control keys and the characters of a number with an exponent; no
// key while the list is empty.
int onValueKey(const PanelKind& k, Event& ev) {
    if (listEmpty(k)) return kIgnore;
    const int c = ev.key;
    if (ui::isControlKey(c) || (c >= '0' && c <= '9')) return kDefault;
    for (char ok : {'.', 'e', 'E', '+', '-'})
        if (c == ok) return kDefault;
    return kIgnore;
}

int onValueSet(const PanelKind& k, const PanelField& f, Event& ev) {
    if (listEmpty(k)) return kDefault;
    // The field shows the value rounded to its format: committed unchanged,
    // the block keeps its exact value.
    if (ev.element && ev.element->holdsShownText()) return kDefault;
    PropertyBlock* cur = currentBlock(k.kind);
    attrib::ValueBlock* v = attrib::valuesOf(cur);
    if (v && f.value >= 0) {
        const std::string text = ev.element ? ev.element->get("VALUE") : ev.text;
        double x = 0;
        // A text that is not a number, and a value too large for a typed
        // number (an infinity), are refused like any value the kind does not
        // accept: the field shows the stored value again.
        if (units::readTypedSlot(f.unitSlot, text, x) && std::isfinite(x) &&
            (!f.accept || f.accept(x))) {
            v->values[f.value] = x;
            if (k.afterChange) k.afterChange(*cur, f.value);
            markModified(0);
            redraw();
        }
    }
    refreshFields(k);
    return kDefault;
}

// The direction pair of distributed loads: with a current block its
// direction changes (for every member that uses it); with an empty list the
// pair only returns to "Global".
int onDirection(const PanelKind& k, int direction) {
    attrib::ValueBlock* v = attrib::valuesOf(currentBlock(k.kind));
    if (!listEmpty(k) && v) {
        v->direction = direction;
        if (direction == 0 && k.afterChange) k.afterChange(*v, -1);
        markModified(0);
        redraw();
    }
    refreshFields(k);
    return kDefault;
}

// ---- Building ----------------------------------------------------------------------

Element* button(Toolkit& tk, const PanelKind& k, const char* title, const char* suffix,
                const char* tip) {
    return &tk.make(Kind::Button, name(k, suffix),
                    {{"TITLE", title}, {"TIP", tip}, {"ACTION", action(k, suffix)}});
}

Element* row(Toolkit& tk, std::initializer_list<Element*> children) {
    return panelRow(tk, children);
}

Element* fieldRow(Toolkit& tk, const PanelField& f) {
    Element& text = tk.make(Kind::Text, lower(std::string(f.name) + "text"),
                            {{"VALUE", ""},
                             {"TIP", f.tip},
                             {"ACTION", std::string(f.name) + "Text"},
                             {"COMMIT_CB", std::string(f.name) + "TextSet"},
                             {"NC", "16"},
                             {"SIZE", "72x"}});
    if (f.value < 0) text.store("READONLY", "YES");
    Element& unit = tk.make(Kind::Label, lower(std::string(f.name) + "unit"), {{"TITLE", " "}});
    unit.store("SIZE", "44x");
    // Short labels ("E:") head their field; long ones get a line of their own.
    const std::string label = f.label;
    if (label.size() <= 6) {
        Element& l = tk.make(Kind::Label, "", {{"TITLE", label}});
        l.store("SIZE", "28x");
        return row(tk, {&l, &text, &unit});
    }
    Element& l = tk.make(Kind::Label, "", {{"TITLE", label}});
    Element& indent = tk.make(Kind::Label, "", {{"TITLE", " "}});
    indent.store("SIZE", "28x");
    return &tk.make(Kind::VBox, "", {{"GAP", "1"}},
                    {row(tk, {&l}), row(tk, {&indent, &text, &unit})});
}

} // namespace

Element* panelRow(Toolkit& tk, std::initializer_list<Element*> children) {
    Element& box = tk.make(Kind::HBox, "", {{"GAP", "4"}, {"ALIGNMENT", "ACENTER"}}, children);
    return &box.append(tk.make(Kind::Fill));
}

std::string paddedMessage(const std::vector<std::string>& lines) {
    std::size_t width = 0;
    for (const std::string& l : lines) width = std::max(width, l.size());
    std::string text = "     \n";
    for (const std::string& l : lines)
        text += "   " + l + std::string(width - l.size(), ' ') + "   \n     \n";
    return text;
}

PropertyBlock* currentBlock(attrib::PropertyKind kind) {
    PropertyBlock* cur = g_panels[kind].current;
    if (!cur || !attrib::state().root) return nullptr;
    for (PropertyBlock* b = blocks().lists[kind]; b; b = b->next)
        if (b == cur) return cur;
    return nullptr;
}

void setCurrentBlock(const PanelKind& k, PropertyBlock* b) {
    g_panels[k.kind].current = b;
    refreshPanel(k);
}

void resetPropertyPanels() {
    for (const PanelKind* k : panelKinds()) {
        g_panels[k->kind] = PanelState{};
        currentToFirst(*k);
    }
    resetCasePanel();
}

void refreshPropertyPanels() {
    for (const PanelKind* k : panelKinds()) refreshPanel(*k);
}

const std::vector<const PanelKind*>& panelKinds() {
    static const std::vector<const PanelKind*> kinds = {
        &materialPanel(),    &sectionPanelKind(), &nodalForcePanel(), &endMomentPanel(),
        &uniformLoadPanel(), &linearLoadPanel(),  &thermalLoadPanel()};
    return kinds;
}

const PanelKind* panelKindOf(const std::string& panel) {
    for (const PanelKind* k : panelKinds())
        if (name(*k, "Menu") == panel) return k;
    return nullptr;
}

Element& buildPanelPage(Toolkit& tk, const PanelKind& k) {
    Element& list = tk.make(Kind::List, name(k, "LabelList"),
                            {{"DROPDOWN", "YES"},
                             {"1", "NONE"},
                             {"VALUE", "1"},
                             {"ACTION", action(k, "SelCur")},
                             {"EXPAND", "HORIZONTAL"}});
    Element& page = tk.make(Kind::VBox, "", {{"GAP", "4"}, {"MARGIN", "4"}});
    page.append(*row(tk, {&list}));
    page.append(*row(tk, {button(tk, k, "New", "New", k.tips[0]),
                          button(tk, k, "Import", "Import", k.tips[1]),
                          button(tk, k, "Rename", "Rename", k.tips[2])}));
    page.append(*row(tk, {button(tk, k, "Remove", "Remove", k.tips[3]),
                          button(tk, k, "Condense", "Condense", k.tips[4])}));
    for (const PanelField& f : k.fields) page.append(*fieldRow(tk, f));
    if (k.direction) {
        Element& dir = tk.make(Kind::Radio, name(k, "Dir"),
                               {{"VALUE", name(k, "GblDir")}, {"ORIENTATION", "HORIZONTAL"}});
        dir.append(
            tk.make(Kind::Toggle, name(k, "GblDir"),
                    {{"TITLE", "Global"}, {"ACTION", action(k, "GblDir")}, {"VALUE", "ON"}}));
        dir.append(
            tk.make(Kind::Toggle, name(k, "LocDir"),
                    {{"TITLE", "Local"}, {"ACTION", action(k, "LocDir")}, {"VALUE", "OFF"}}));
        page.append(*row(tk, {&tk.make(Kind::Label, "", {{"TITLE", "Direction"}}), &dir}));
    }
    if (k.buildExtra) page.append(k.buildExtra(tk));
    Element& apply = tk.make(
        Kind::HBox, "", {{"GAP", "4"}, {"ALIGNMENT", "ACENTER"}},
        {button(tk, k, "Select", "Select", k.tips[5]), button(tk, k, "Apply", "Apply", k.tips[6])});
    if (k.applyAll) apply.append(*button(tk, k, "Apply All", "ApplyAll", k.tips[7]));
    page.append(apply.append(tk.make(Kind::Fill)));
    page.append(tk.make(Kind::Fill));
    return tk.make(Kind::Frame, name(k, "Menu"), {{"TITLE", k.title}, {"EXPAND", "YES"}}, {&page});
}

Element& buildLabelPage(Toolkit& tk, const PanelKind& k) {
    Element& text = tk.make(Kind::Text, name(k, "LabelText"),
                            {{"VALUE", ""},
                             {"TIP", k.labelTip},
                             {"ACTION", action(k, "LabelText")},
                             {"NC", "31"},
                             {"SIZE", "124x"}});
    Element& page = tk.make(Kind::VBox, "", {{"GAP", "4"}, {"MARGIN", "4"}});
    page.append(*row(tk, {&tk.make(Kind::Label, "", {{"TITLE", "New Label:"}})}));
    page.append(*row(tk, {&text}));
    if (k.buildLabelExtra) page.append(k.buildLabelExtra(tk));
    Element& buttons =
        tk.make(Kind::HBox, "", {{"GAP", "4"}, {"ALIGNMENT", "ACENTER"}},
                {&tk.make(Kind::Button, name(k, "LabelSet"),
                          {{"TITLE", "Done"}, {"ACTION", action(k, "LabelSet")}}),
                 &tk.make(Kind::Button, name(k, "LabelCancel"),
                          {{"TITLE", "Cancel"}, {"ACTION", action(k, "LabelCancel")}})});
    for (const PanelButton& b : k.labelButtons)
        buttons.append(tk.make(Kind::Button, lower(b.action),
                               {{"TITLE", b.title}, {"TIP", b.tip}, {"ACTION", b.action}}));
    page.append(buttons.append(tk.make(Kind::Fill)));
    page.append(tk.make(Kind::Fill));
    return tk.make(Kind::Frame, name(k, "NewLabel"), {{"TITLE", k.title}, {"EXPAND", "YES"}},
                   {&page});
}

void bindPropertyPanels(Toolkit& tk) {
    for (const PanelKind* kp : panelKinds()) {
        const PanelKind& k = *kp;
        tk.bind(action(k, "SelCur"), [&k](Event& ev) { return onSelCur(k, ev); });
        tk.bind(action(k, "New"), [&k](Event&) { return onNew(k); });
        tk.bind(action(k, "Import"), [&k](Event&) { return onImport(k); });
        tk.bind(action(k, "Rename"), [&k](Event&) { return onRename(k); });
        tk.bind(action(k, "LabelText"), onLabelKey);
        tk.bind(action(k, "LabelSet"), [&k](Event&) { return onLabelSet(k); });
        tk.bind(action(k, "LabelCancel"), [&k](Event&) {
            backToList(k);
            return kDefault;
        });
        tk.bind(action(k, "Remove"), [&k](Event&) { return onRemove(k); });
        tk.bind(action(k, "Condense"), [&k](Event&) { return onCondense(k); });
        tk.bind(action(k, "Select"), [&k](Event&) { return onSelect(k); });
        tk.bind(action(k, "Apply"), [&k](Event&) { return onApply(k, false); });
        if (k.applyAll) tk.bind(action(k, "ApplyAll"), [&k](Event&) { return onApply(k, true); });
        for (const PanelField& f : k.fields) {
            tk.bind(std::string(f.name) + "Text", [&k](Event& ev) { return onValueKey(k, ev); });
            tk.bind(std::string(f.name) + "TextSet",
                    [&k, &f](Event& ev) { return onValueSet(k, f, ev); });
        }
        for (const PanelButton& b : k.labelButtons)
            tk.bind(b.action, [&k, &b](Event&) { return b.handler(k); });
        if (k.direction) {
            tk.bind(action(k, "GblDir"), [&k](Event&) { return onDirection(k, 0); });
            tk.bind(action(k, "LocDir"), [&k](Event&) { return onDirection(k, 1); });
        }
    }
}

int newPresetBlock(const PanelKind& k, const char* label, const double* values, int count) {
    if (!attrib::findLabel(blocks(), k.kind, label)) {
        PropertyBlock* b = nullptr;
        if (attrib::newBlock(blocks(), k.kind, label, &b) == attrib::kLabelDone) {
            if (attrib::ValueBlock* v = attrib::valuesOf(b))
                for (int i = 0; i < count && i < attrib::kMaxBlockValues; ++i)
                    v->values[i] = values[i];
            g_panels[k.kind].current = b;
            refreshPanel(k);
            markModified(0);
        }
    }
    backToList(k);
    return kDefault;
}

} // namespace shell
