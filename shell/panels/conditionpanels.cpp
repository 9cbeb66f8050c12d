// The support, hinge and constraint panels: their elements, handlers and
// refresh.
#include "shell/panels/conditionpanels.h"

#include "shell/display.h"
#include "shell/edit/edit.h"
#include "shell/edit/editmodes.h"
#include "shell/mainwindow.h"
#include "shell/messages.h"
#include "shell/state.h"
#include "ui/keys.h"
#include "ui/ui.h"
#include "units/numformat.h"
#include "units/units.h"

#include <cstdio>

namespace shell {

using attrib::kDx;
using attrib::kDy;
using attrib::kRz;
using ui::Element;
using ui::Event;
using ui::Kind;
using ui::Toolkit;

namespace {

ConditionPanels g_panels;

// ---- Tables of the panels' elements ------------------------------------------

// One direction of the support panel: its radio group and the three toggles.
struct DirectionRow {
    const char* title; // "Displac. X"
    const char* radio; // "supxradio"
    const char* toggles[3];
    const char* actions[3];
};
constexpr DirectionRow kDirections[3] = {
    {"Displac. X",
     "supxradio",
     {"supxfree", "supxfix", "supxkdx"},
     {"SupxFree", "SupxFix", "SupxKDx"}},
    {"Displac. Y",
     "supyradio",
     {"supyfree", "supyfix", "supykdy"},
     {"SupyFree", "SupyFix", "SupyKDy"}},
    {"Rotation Z",
     "supzradio",
     {"supzfree", "supzfix", "supzkrz"},
     {"SupzFree", "SupzFix", "SupzKRz"}},
};
constexpr const char* kConditionTitles[3] = {"Free", "Fix", "Spring"};
constexpr char kCodes[3] = {attrib::kFree, attrib::kFixed, attrib::kSpring};

// A value field of the support panel.
struct ValueField {
    const char* label;  // "Dx:"
    const char* handle; // "supdispdxtext"
    const char* unit;   // handle of its unit label
    const char* filter; // key filter action
    const char* commit; // commit action
    const char* tip;
    int unitSlot, formatSlot;
};
constexpr ValueField kPrescribed[3] = {
    {"Dx:", "supdispdxtext", "supdispdxunit", "SupDispDx", "SupDispDxSet",
     "Prescribed displ. in X dir.", units::kDisplacementUnit, units::kDisplacementFormat},
    {"Dy:", "supdispdytext", "supdispdyunit", "SupDispDy", "SupDispDySet",
     "Prescribed displ. in Y dir.", units::kDisplacementUnit, units::kDisplacementFormat},
    {"Rz:", "supdisprztext", "supdisprzunit", "SupDispRz", "SupDispRzSet", "Prescribed rotation",
     units::kRotationUnit, units::kRotationFormat},
};
constexpr ValueField kStiffness[3] = {
    {"Kx:", "supkdxtext", "supkdxunit", "SupKDx", "SupKDxSet", "Transl. stiffness in X dir.",
     units::kTranslatSpringUnit, units::kTranslatSpringFormat},
    {"Ky:", "supkdytext", "supkdyunit", "SupKDy", "SupKDySet", "Transl. stiffness in Y dir.",
     units::kTranslatSpringUnit, units::kTranslatSpringFormat},
    {"Kz:", "supkrztext", "supkrzunit", "SupKRz", "SupKRzSet", "Rotation stiffness",
     units::kRotationSpringUnit, units::kRotationSpringFormat},
};

// The six hinge state buttons: action, handle, icon, tip, and the state
// each one sets.
struct HingeButton {
    const char* action;
    const char* handle;
    const char* icon;
    const char* tip;
    bool nodeMode, nodeOn;
    int start, end;
};
constexpr HingeButton kHingeButtons[6] = {
    {"HingeNodeOn", "hingenodeon", "hingeon", "Articulate all members at node", true, true, 0, 0},
    {"HingeNodeOff", "hingenodeoff", "hingeoff", "Remove hinges from all members at node", true,
     false, 0, 0},
    {"HingeMembBoth", "hingemembboth", "hingeboth", "Articulate both member ends", false, false, 1,
     1},
    {"HingeMembLeft", "hingemembleft", "hingeleft", "Articulate left member end", false, false, 1,
     0},
    {"HingeMembRigt", "hingemembrigt", "hingerigt", "Articulate right member end", false, false, 0,
     1},
    {"HingeMembNone", "hingemembnone", "hingenone", "Remove hinge from both member ends", false,
     false, 0, 0},
};

struct ConstraintToggle {
    const char* action;
    const char* handle;
    const char* title;
    int noAxial, rigid;
};
constexpr ConstraintToggle kConstraints[3] = {
    {"ConstrtNone", "constrtnone", "No Constraint", 0, 0},
    {"ConstrtAxial", "constrtaxial", "No Axial Deformation", 1, 0},
    {"ConstrtRigid", "constrtrigid", "Rigid Member", 0, 1},
};

// ---- Element helpers -------------------------------------------------------------

Element* label(Toolkit& tk, const std::string& name, const std::string& title,
               const std::string& size = "") {
    Element& e = tk.make(Kind::Label, name, {{"TITLE", title}});
    if (!size.empty()) e.store("SIZE", size);
    return &e;
}

Element* row(Toolkit& tk, std::initializer_list<Element*> children) {
    Element& box = tk.make(Kind::HBox, "", {{"GAP", "4"}, {"ALIGNMENT", "ACENTER"}}, children);
    return &box.append(tk.make(Kind::Fill));
}

Element* button(Toolkit& tk, const std::string& name, const std::string& title,
                const std::string& tip, const std::string& action) {
    return &tk.make(Kind::Button, name, {{"TITLE", title}, {"TIP", tip}, {"ACTION", action}});
}

Element* valueRow(Toolkit& tk, const ValueField& f) {
    return row(tk, {label(tk, "", f.label, "16x"),
                    &tk.make(Kind::Text, f.handle,
                             {{"VALUE", ""},
                              {"TIP", f.tip},
                              {"ACTION", f.filter},
                              {"COMMIT_CB", f.commit},
                              {"NC", "16"},
                              {"SIZE", "52x"}}),
                    label(tk, f.unit, " ", "40x")});
}

Element* supportBody(Toolkit& tk) {
    Element& box = tk.make(Kind::VBox, "supbody", {{"GAP", "4"}, {"MARGIN", "4"}});
    for (const DirectionRow& d : kDirections) {
        Element& radio =
            tk.make(Kind::Radio, d.radio, {{"VALUE", d.toggles[0]}, {"ORIENTATION", "HORIZONTAL"}});
        for (int k = 0; k < 3; ++k)
            radio.append(tk.make(Kind::Toggle, d.toggles[k],
                                 {{"TITLE", kConditionTitles[k]},
                                  {"ACTION", d.actions[k]},
                                  {"VALUE", k == 0 ? "ON" : "OFF"}}));
        box.append(*row(tk, {label(tk, "", d.title, "44x"), &radio}));
    }
    box.append(*row(tk, {label(tk, "supskewanglabel", "Angle:", "24x"),
                         &tk.make(Kind::Text, "supskewang",
                                  {{"VALUE", "0.0"},
                                   {"TIP", "Support orientation"},
                                   {"ACTION", "SupSkewAng"},
                                   {"COMMIT_CB", "SupSkewAngSet"},
                                   {"NC", "8"},
                                   {"SIZE", "40x"}}),
                         label(tk, "supskewangunit", "deg")}));
    box.append(tk.make(
        Kind::Toggle, "supprescdispl",
        {{"TITLE", "Prescribed Displacem."}, {"ACTION", "SupPrescDispl"}, {"VALUE", "OFF"}}));
    for (const ValueField& f : kPrescribed) box.append(*valueRow(tk, f));
    Element& springs =
        tk.make(Kind::Frame, "supspringframe", {{"TITLE", "Spring Stiffness Values"}});
    Element& inner = tk.make(Kind::VBox, "", {{"GAP", "2"}});
    for (const ValueField& f : kStiffness) inner.append(*valueRow(tk, f));
    springs.append(inner);
    box.append(springs);
    box.append(*row(
        tk, {button(tk, "supreset", "Reset", "Reset support condition params.", "SupReset"),
             button(tk, "supselect", "Select", "Select nodes by support conditions", "SupSelect"),
             button(tk, "supapply", "Apply", "Apply support conditions to selected nodes",
                    "SupApply")}));
    box.append(tk.make(Kind::Fill));
    return &box;
}

Element* hingeBody(Toolkit& tk) {
    Element& box = tk.make(Kind::VBox, "hingebody", {{"GAP", "4"}, {"MARGIN", "4"}});
    Element& radio = tk.make(Kind::Radio, "hingeradio",
                             {{"VALUE", "hingenodeon"}, {"ORIENTATION", "HORIZONTAL"}});
    for (const HingeButton& b : kHingeButtons)
        radio.append(tk.make(Kind::Toggle, b.handle,
                             {{"IMAGE", iconPath(b.icon)},
                              {"TIP", b.tip},
                              {"ACTION", b.action},
                              {"VALUE", b.nodeOn && b.nodeMode ? "ON" : "OFF"}}));
    box.append(*row(tk, {label(tk, "", "Rotation"), label(tk, "", "Release")}));
    box.append(*row(tk, {&radio}));
    box.append(*row(tk, {button(tk, "hingeselect", "Select", "", "HingeSelect"),
                         button(tk, "hingeapply", "Apply", "", "HingeApply")}));
    box.append(tk.make(Kind::Fill));
    return &box;
}

Element* constraintBody(Toolkit& tk) {
    Element& box = tk.make(Kind::VBox, "constrtbody", {{"GAP", "4"}, {"MARGIN", "4"}});
    Element& radio = tk.make(Kind::Radio, "constrtradio", {{"VALUE", "constrtnone"}});
    for (const ConstraintToggle& t : kConstraints)
        radio.append(tk.make(Kind::Toggle, t.handle,
                             {{"TITLE", t.title},
                              {"ACTION", t.action},
                              {"VALUE", t.rigid + t.noAxial ? "OFF" : "ON"}}));
    box.append(*row(tk, {label(tk, "", "Displacement"), label(tk, "", "Constraints")}));
    box.append(radio);
    box.append(
        *row(tk, {button(tk, "constrtselect", "Select",
                         "Select members by displacement constraints", "ConstrtSelect"),
                  button(tk, "constrtapply", "Apply",
                         "Apply displacement constraints to selected members", "ConstrtApply")}));
    box.append(tk.make(Kind::Fill));
    return &box;
}

// ---- Refresh -------------------------------------------------------------------

Element* find(const char* name) {
    return app().tk ? app().tk->find(name) : nullptr;
}

void setRadio(const char* group, const char* on) {
    Element* g = find(group);
    if (!g) return;
    for (Element* c : g->children())
        if (c->kind() == Kind::Toggle) c->set("VALUE", c->name() == on ? "ON" : "OFF");
    g->set("VALUE", on);
}

void setActive(const char* name, bool active) {
    if (Element* e = find(name)) e->set("ACTIVE", active ? "YES" : "NO");
}

void refreshSupport() {
    const AppSettings& s = app().settings;
    const attrib::SupportState& st = g_panels.support;
    const bool results = s.result.on != 0;
    const bool spring = attrib::hasSpring(st);
    for (int d = 0; d < 3; ++d)
        for (int k = 0; k < 3; ++k)
            if (st.codes[d] == kCodes[k]) setRadio(kDirections[d].radio, kDirections[d].toggles[k]);
    Element* presc = find("supprescdispl");
    Element* angle = find("supskewang");
    if (!presc || !angle) return;
    bool angleOn = false;
    bool valueOn[3] = {false, false, false}, stiffOn[3] = {false, false, false};
    if (spring) {
        presc->set("VALUE", "OFF");
        angle->set("VALUE", "0.0");
        for (int d = 0; d < 3; ++d) stiffOn[d] = st.codes[d] == attrib::kSpring;
    } else if (st.prescribed) {
        presc->set("VALUE", "ON");
        angle->set("VALUE", "0.0");
        for (int d = 0; d < 3; ++d) valueOn[d] = st.codes[d] == attrib::kFixed;
    } else {
        presc->set("VALUE", "OFF");
        angleOn = st.codes[kDx] != attrib::kFree || st.codes[kDy] != attrib::kFree;
        if (angleOn) {
            char text[32];
            std::snprintf(text, sizeof text, "%.1f", st.angle);
            angle->set("VALUE", text);
        }
    }
    presc->set("ACTIVE", !spring && !results ? "YES" : "NO");
    angle->set("ACTIVE", angleOn && !results ? "YES" : "NO");
    setActive("supskewanglabel", angleOn && !results);
    setActive("supskewangunit", angleOn && !results);
    for (int d = 0; d < 3; ++d) {
        const ValueField* groups[2] = {&kPrescribed[d], &kStiffness[d]};
        const double values[2] = {st.values[d], st.spring[d]};
        const bool on[2] = {valueOn[d], stiffOn[d]};
        for (int g = 0; g < 2; ++g) {
            const ValueField& f = *groups[g];
            Element* field = find(f.handle);
            if (!field) continue;
            field->set("VALUE",
                       units::textBare(s.units[f.unitSlot], s.formats[f.formatSlot], values[g]));
            field->set("ACTIVE", on[g] && !results ? "YES" : "NO");
            if (Element* u = find(f.unit)) {
                u->set("TITLE", units::unitLabelUtf8(s.units[f.unitSlot]));
                u->set("ACTIVE", on[g] && !results ? "YES" : "NO");
            }
        }
    }
}

void refreshHinge() {
    for (const HingeButton& b : kHingeButtons) {
        const bool on = b.nodeMode == g_panels.hingeNodeMode &&
                        (b.nodeMode ? b.nodeOn == g_panels.hingeNodeOn
                                    : b.start == g_panels.hingeStart && b.end == g_panels.hingeEnd);
        if (on) setRadio("hingeradio", b.handle);
    }
    const bool node = g_panels.hingeNodeMode;
    if (Element* e = find("hingeselect"))
        e->set("TIP", node ? "Select nodes by hinge configuration"
                           : "Select members by hinge configuration");
    if (Element* e = find("hingeapply"))
        e->set("TIP", node ? "Apply hinge configuration to selected nodes"
                           : "Apply hinge configuration to selected members");
}

void refreshConstraint() {
    for (const ConstraintToggle& t : kConstraints)
        if (t.noAxial == g_panels.noAxial && t.rigid == g_panels.rigid)
            setRadio("constrtradio", t.handle);
}

// ---- Handlers ------------------------------------------------------------------

// After Select and Apply: the selection summary, the drawing and the
// modified indicator follow the model.
void afterChange(int changed) {
    recountSelection();
    updateDeleteButton();
    redraw();
    if (changed) markModified(1);
}

int selectWith(int found, const char* none) {
    if (!found) message(none);
    recountSelection();
    updateDeleteButton();
    redraw();
    return ui::kDefault;
}

// Key filters: the angle takes no exponent; prescribed values and
// stiffnesses take one.
bool numberKey(int key, bool exponent) {
    if (ui::isControlKey(key) || (key >= '0' && key <= '9')) return true;
    if (key == '.' || key == '+' || key == '-') return true;
    return exponent && (key == 'e' || key == 'E');
}

int onAngleKey(Event& ev) {
    const attrib::SupportState& st = g_panels.support;
    const bool bothFree = st.codes[kDx] == attrib::kFree && st.codes[kDy] == attrib::kFree;
    if (st.prescribed || attrib::hasSpring(st) || bothFree) return ui::kIgnore;
    return numberKey(ev.key, false) ? ui::kDefault : ui::kIgnore;
}

int onAngleSet(Event& ev) {
    double angle = 0;
    if (!ev.element->holdsShownText() && units::readTyped(ev.element->get("VALUE"), angle))
        attrib::setSupportAngle(g_panels.support, angle);
    refreshSupport();
    return ui::kDefault;
}

int onValueSet(Event& ev, int dir, bool stiffness) {
    const ValueField& f = stiffness ? kStiffness[dir] : kPrescribed[dir];
    // An unchanged field keeps the exact value it shows rounded; a text that
    // is not a number keeps the value.
    double v = 0;
    if (!ev.element->holdsShownText() &&
        units::readTypedInternal(app().settings.units[f.unitSlot], ev.element->get("VALUE"), v)) {
        if (stiffness)
            attrib::setSpringStiffness(g_panels.support, dir, v);
        else
            g_panels.support.values[dir] = v;
    }
    refreshSupport();
    return ui::kDefault;
}

int onSupportApply(Event&) {
    afterChange(attrib::applySupport(app().model, g_panels.support));
    return ui::kDefault;
}

int onSupportSelect(Event&) {
    deselectAll();
    return selectWith(attrib::selectBySupport(app().model, g_panels.support),
                      "No node has the specified support conditions.");
}

int onHingeApply(Event&) {
    Solid* s = app().model;
    afterChange(g_panels.hingeNodeMode
                    ? attrib::applyNodeHinge(s, g_panels.hingeNodeOn)
                    : attrib::applyMemberHinges(s, g_panels.hingeStart, g_panels.hingeEnd));
    return ui::kDefault;
}

int onHingeSelect(Event&) {
    deselectAll();
    Solid* s = app().model;
    if (g_panels.hingeNodeMode)
        return selectWith(attrib::selectNodesByHinge(s, g_panels.hingeNodeOn),
                          "No node has the specified hinge configuration.");
    return selectWith(attrib::selectMembersByHinges(s, g_panels.hingeStart, g_panels.hingeEnd),
                      "No member has the specified hinge configuration.");
}

int onConstraintApply(Event&) {
    afterChange(attrib::applyConstraint(app().model, g_panels.noAxial, g_panels.rigid));
    return ui::kDefault;
}

int onConstraintSelect(Event&) {
    deselectAll();
    return selectWith(attrib::selectByConstraint(app().model, g_panels.noAxial, g_panels.rigid),
                      "No member has the specified displacement constraints.");
}

} // namespace

ConditionPanels& conditionPanels() {
    return g_panels;
}

void resetConditionPanels() {
    g_panels = ConditionPanels{};
}

Element* conditionPanelBody(Toolkit& tk, const std::string& panel) {
    if (panel == "supmenu") return supportBody(tk);
    if (panel == "hingemenu") return hingeBody(tk);
    if (panel == "constrtmenu") return constraintBody(tk);
    return nullptr;
}

void refreshConditionPanels() {
    refreshSupport();
    refreshHinge();
    refreshConstraint();
}

void bindConditionActions(Toolkit& tk) {
    for (int d = 0; d < 3; ++d)
        for (int k = 0; k < 3; ++k)
            tk.bind(kDirections[d].actions[k], [d, k](Event&) {
                // A toggle switched off comes on again: the refresh sets the radio.
                g_panels.support.codes[d] = kCodes[k];
                refreshSupport();
                return ui::kDefault;
            });
    tk.bind("SupSkewAng", onAngleKey);
    tk.bind("SupSkewAngSet", onAngleSet);
    tk.bind("SupPrescDispl", [](Event& ev) {
        g_panels.support.prescribed = ev.state ? 1 : 0;
        refreshSupport();
        return ui::kDefault;
    });
    for (int d = 0; d < 3; ++d) {
        for (bool stiff : {false, true}) {
            const ValueField& f = stiff ? kStiffness[d] : kPrescribed[d];
            tk.bind(f.filter,
                    [](Event& ev) { return numberKey(ev.key, true) ? ui::kDefault : ui::kIgnore; });
            tk.bind(f.commit, [d, stiff](Event& ev) { return onValueSet(ev, d, stiff); });
        }
    }
    tk.bind("SupReset", [](Event&) {
        g_panels.support = attrib::SupportState{};
        refreshSupport();
        return ui::kDefault;
    });
    tk.bind("SupSelect", onSupportSelect);
    tk.bind("SupApply", onSupportApply);

    for (const HingeButton& b : kHingeButtons)
        tk.bind(b.action, [&b](Event&) {
            g_panels.hingeNodeMode = b.nodeMode;
            if (b.nodeMode) {
                g_panels.hingeNodeOn = b.nodeOn;
            } else {
                g_panels.hingeStart = b.start;
                g_panels.hingeEnd = b.end;
            }
            refreshHinge();
            updateToolbar(); // Apply follows the mode
            return ui::kDefault;
        });
    tk.bind("HingeSelect", onHingeSelect);
    tk.bind("HingeApply", onHingeApply);

    for (const ConstraintToggle& t : kConstraints)
        tk.bind(t.action, [&t](Event&) {
            g_panels.noAxial = t.noAxial;
            g_panels.rigid = t.rigid;
            refreshConstraint();
            return ui::kDefault;
        });
    tk.bind("ConstrtSelect", onConstraintSelect);
    tk.bind("ConstrtApply", onConstraintApply);
}

void loadNodeConditions(const Vertex* v) {
    const attrib::NodeAttrib* a = v ? attrib::nodeOf(v) : nullptr;
    if (!a) return;
    g_panels.support = attrib::supportOf(*a);
    g_panels.hingeNodeMode = true;
    g_panels.hingeNodeOn = attrib::isHingedNode(v);
    refreshConditionPanels();
}

void loadMemberConditions(const Edge* e) {
    const attrib::MemberAttrib* a = e ? attrib::memberOf(e) : nullptr;
    if (!a) return;
    g_panels.hingeNodeMode = false;
    g_panels.hingeStart = a->hingeStart;
    g_panels.hingeEnd = a->hingeEnd;
    g_panels.rigid = a->rigid ? 1 : 0;
    g_panels.noAxial = a->rigid ? 0 : (a->noAxial ? 1 : 0);
    refreshConditionPanels();
}

} // namespace shell
