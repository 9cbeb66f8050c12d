// Creation modes, keyboard mode, grid line, delete, undo, redo, keys, limits,
// the scale dial and the tool bar states.
#include "shell/edit/editmodes.h"

#include "attrib/attrib.h"
#include "gfx/canvas.h"
#include "interact/cll.h"
#include "interact/pck.h"
#include "interact/vis.h"
#include "model/model.h"
#include "shell/commands.h"
#include "shell/display.h"
#include "shell/edit/edit.h"
#include "shell/edit/modes.h"
#include "shell/edit/view.h"
#include "shell/files/export.h"
#include "shell/lengthtext.h"
#include "shell/messages.h"
#include "shell/panels/conditionpanels.h"
#include "shell/results/resultcmds.h"
#include "shell/results/tables.h"
#include "ui/paramform.h"
#include "ui/ui.h"
#include "units/numformat.h"
#include "units/units.h"

#include <cmath>
#include <cstdio>

namespace shell {

using ui::Event;
using ui::kDefault;
using ui::kIgnore;

namespace {

namespace cll = interact::cll;
namespace vis = interact::vis;

double toMetres(double displayLength) {
    return units::toInternal(app().settings.units[units::kLengthUnit], displayLength);
}

double toDisplayLength(double metres) {
    return units::toDisplay(app().settings.units[units::kLengthUnit], metres);
}

int kindOf(EditMode m) {
    return m == EditMode::InsertMember ? cll::kLine
           : m == EditMode::InsertNode ? cll::kPoint
                                       : cll::kDimLine;
}

ui::Element* buttonOf(EditMode m) {
    Elements& e = app().el;
    return m == EditMode::InsertMember ? e.insline
           : m == EditMode::InsertNode ? e.insvertex
                                       : e.insdimln;
}

// The largest coordinate or tolerance (metres) a creation accepts: a typed
// number that reads as infinite, or one of a size no frame has, would put
// nodes where the model's geometry overflows.
constexpr double kMaxCoordinate = 1e9;

// A finished object of a creation: mouse records are in metres with the pick
// tolerance; typed ones are in the length unit, with the typed tolerance (one
// that is not positive becomes 1e-4 of the length unit).
void finishCreation(const cll::CurveRecord& rec, double tol, bool typed) {
    double x0 = rec.x0, y0 = rec.y0, x1 = rec.x1, y1 = rec.y1;
    double rx = rec.interior.empty() ? 0 : rec.interior[0].x;
    double ry = rec.interior.empty() ? 0 : rec.interior[0].y;
    if (typed) {
        if (!(tol > 0)) tol = 1e-4;
        for (double* v : {&x0, &y0, &x1, &y1, &rx, &ry, &tol}) *v = toMetres(*v);
    }
    for (double v : {x0, y0, x1, y1, rx, ry, tol})
        if (!(std::fabs(v) <= kMaxCoordinate)) {
            message("\n   Coordinates out of range: nothing was inserted.   \n");
            return;
        }
    switch (rec.kind) {
    case cll::kLine:
        insertMember(x0, y0, x1, y1, tol);
        break;
    case cll::kPoint:
        insertNode(x0, y0, tol);
        break;
    case cll::kDimLine:
        insertDimensionLine(x0, y0, x1, y1, rx, ry);
        break;
    default:
        break;
    }
    markModified(1);
}

// The live measures of a creation come in metres with a bare number format;
// the message line shows them in the length unit with its label. Any other
// text goes through unchanged.
std::string inLengthUnit(const std::string& text) {
    const AppSettings& s = app().settings;
    auto shown = [&s](double metres) {
        return units::textWithUnit(s.units[units::kLengthUnit], s.formats[units::kLengthFormat],
                                   metres);
    };
    if (text.rfind("Length =", 0) != 0) return text;
    double length = 0, extension = 0;
    const int n = std::sscanf(text.c_str(), "Length = %lg;  Extension = %lg", &length, &extension);
    if (n == 2) return "Length = " + shown(length) + ";  Extension = " + shown(extension);
    if (n == 1) return "Length = " + shown(length);
    return text;
}

// The Apply buttons of the property panels: active for the selection kind
// each works on. The panels that exist decide which are there.
void setApplyButtons(int kind) {
    ui::Toolkit& tk = *app().tk;
    static const char* const kMemberApply[] = {"mafapply", "spfapply", "constrtapply", "mbmapply",
                                               "ulfapply", "llfapply", "tpfapply"};
    static const char* const kNodeApply[] = {"supapply", "nffapply"};
    for (const char* n : kMemberApply)
        if (ui::Element* e = tk.find(n)) e->set("ACTIVE", kind == 1 ? "YES" : "NO");
    for (const char* n : kNodeApply)
        if (ui::Element* e = tk.find(n)) e->set("ACTIVE", kind == 2 ? "YES" : "NO");
    // The hinge panel works on nodes or on member ends, by its mode.
    const int hingeKind = conditionPanels().hingeNodeMode ? 2 : 1;
    if (ui::Element* e = tk.find("hingeapply")) e->set("ACTIVE", kind == hingeKind ? "YES" : "NO");
}

// ---- Actions --------------------------------------------------------------------

int onDelete(Event&) {
    cancelCanvasInteraction();
    if (deleteSelection()) markModified(1);
    restartMode();
    updateToolbar();
    return kDefault;
}

int onUndo(Event&) {
    cancelCanvasInteraction();
    undoStep();
    restartMode();
    updateToolbar();
    return kDefault;
}

int onRedo(Event&) {
    cancelCanvasInteraction();
    redoStep();
    restartMode();
    updateToolbar();
    return kDefault;
}

int onKeyboard(Event& ev) {
    AppState& a = app();
    ui::Element* k = a.tk->find("keyboard");
    if (ev.element && k)
        a.keyboardMode = k->isOn() ? 1 : 0;
    else {
        a.keyboardMode = 1 - a.keyboardMode;
        if (k) k->set("VALUE", a.keyboardMode ? "ON" : "OFF");
    }
    if (a.keyboardMode) enterSelectMode();
    updateToolbar();
    return kDefault;
}

int onGrid(Event& ev) {
    AppState& a = app();
    ui::Element& g = a.tk->at("grid");
    if (!ev.element) g.set("VALUE", g.isOn() ? "OFF" : "ON");
    a.settings.gridOn = g.isOn() ? 1 : 0;
    showGridState();
    redraw();
    return kDefault;
}

int onGridStepSet(Event& ev, bool x) {
    // The step as shown is rounded: an unchanged field keeps the exact step.
    if (ev.element && ev.element->holdsShownText()) return kDefault;
    AppState& a = app();
    ui::Element* field = x ? a.el.gridstepxtext : a.el.gridstepytext;
    const std::string text = ev.element ? ev.element->get("VALUE") : field->get("VALUE");
    const double step = readLength(a.settings, text);
    // The field keeps what was typed. A pasted number beyond the single
    // precision range reads as infinite: no grid has such a step.
    if (!(step > 0) || !std::isfinite(step)) return kDefault;
    (x ? a.settings.gridStepX : a.settings.gridStepY) = step;
    markModified(0);
    if (a.settings.gridOn) redraw();
    field->set("VALUE", lengthBare(a.settings, kGridStepFormatSlot, step));
    return kDefault;
}

int onSnapToggle(Event& ev, int AppSettings::*setting, const char* element) {
    AppState& a = app();
    ui::Element* t = element ? a.tk->find(element) : nullptr;
    if (ev.element || !t)
        a.settings.*setting = ev.element ? (ev.element->isOn() ? 1 : 0) : ev.state;
    else {
        t->set("VALUE", t->isOn() ? "OFF" : "ON");
        a.settings.*setting = t->isOn() ? 1 : 0;
    }
    return kDefault;
}

// The world window of the canvas by a whole window or a fraction of it.
void shiftView(double fx, double fy) {
    double xmin, xmax, ymin, ymax;
    viewWindow(xmin, xmax, ymin, ymax);
    const double dx = fx * (xmax - xmin), dy = fy * (ymax - ymin);
    setViewWindow(xmin + dx, xmax + dx, ymin + dy, ymax + dy);
    showWorkSpaceSize();
}

// Keys act on the canvas only while it has the keyboard focus (or nothing
// inside the window has it).
bool canvasHasFocus() {
    const std::string f = app().el.main->get("FOCUS");
    return f.empty() || f == "datascreen";
}

int onKey(Event& ev) {
    AppState& a = app();
    const int key = ev.key;
    // The file keys and Ctrl+P act whatever element has the focus.
    for (const auto& [letter, action] :
         {std::pair{'N', "IoNew"}, {'O', "IoOpen"}, {'S', "IoSave"}, {'P', "IoPrinter"}})
        if (key == ui::ctrlKey(letter)) {
            Event none;
            a.tk->fireAction(action, none);
            return kIgnore;
        }
    if (!canvasHasFocus()) return kDefault;
    // Ctrl+C copies the drawing only from the canvas: text fields copy text.
    if (key == ui::ctrlKey('C')) {
        exportClipboard();
        return kIgnore;
    }
    ui::Element* c = a.canvas ? a.el.datascreen : nullptr;
    switch (key) {
    case ui::K_ESC: {
        const bool results = a.settings.result.on == 1;
        enterSelectMode();
        if (results) redraw();
        updateToolbar();
        return kIgnore;
    }
    case '+':
        if (c) vis::zoomIn(*c);
        showWorkSpaceSize();
        return kIgnore;
    case '-':
        if (c) vis::zoomOut(*c);
        showWorkSpaceSize();
        return kIgnore;
    // The arrows move the drawing, so the window moves the other way; the
    // page keys move the window itself by its whole height.
    case ui::K_LEFT:
        shiftView(0.1, 0);
        return kIgnore;
    case ui::K_RIGHT:
        shiftView(-0.1, 0);
        return kIgnore;
    case ui::K_UP:
        shiftView(0, -0.1);
        return kIgnore;
    case ui::K_DOWN:
        shiftView(0, 0.1);
        return kIgnore;
    case ui::K_PGUP:
        shiftView(0, 1);
        return kIgnore;
    case ui::K_PGDN:
        shiftView(0, -1);
        return kIgnore;
    case ui::K_DEL:
    case ui::K_BS:
        if (a.settings.result.on) return kDefault;
        {
            Event none;
            onDelete(none);
        }
        return kIgnore;
    default:
        return kDefault;
    }
}

int onLimits(Event&) {
    AppState& a = app();
    double xmin, xmax, ymin, ymax;
    viewWindow(xmin, xmax, ymin, ymax);
    ui::ParamForm form;
    ui::ParamForm::parse("  Set window data limits:\nMinimum X = %10.10%10.3f\nMaximum X = "
                         "%10.10%10.3f\nMinimum Y = %10.10%10.3f\nMaximum Y = %10.10%10.3f\n",
                         form);
    const double lim[4] = {xmin, xmax, ymin, ymax};
    for (int i = 0; i < 4 && i < static_cast<int>(form.fields.size()); ++i)
        form.fields[i].real = toDisplayLength(lim[i]);
    if (!a.tk->getParam(form) || form.fields.size() != 4) return kDefault;
    double v[4];
    for (int i = 0; i < 4; ++i) v[i] = toMetres(form.fields[i].real);
    // Limits too large to read, or beyond any frame, would give a window the
    // view cannot scale: they are refused like those of a window without
    // extent, which cannot be shown.
    for (double limit : v)
        if (!(std::fabs(limit) <= kMaxCoordinate)) {
            message("\n   Limits out of range: the window stays.   \n");
            return kDefault;
        }
    if (!(v[1] > v[0]) || !(v[3] > v[2])) {
        message("\n   Maximum limits must be greater than minimum limits.   \n");
        return kDefault;
    }
    setViewWindow(v[0], v[1], v[2], v[3]);
    showWorkSpaceSize();
    return kDefault;
}

int onScaleDial(Event& ev) {
    clearPrompt();
    restoreAttributePanel();
    scaleViewByDial(ev.value);
    showWorkSpaceSize();
    return kDefault;
}

} // namespace

void showCreationMessage(const std::string& text) {
    showPrompt(inLengthUnit(text));
}

void enterCreationMode(EditMode mode) {
    AppState& a = app();
    cancelCanvasInteraction();
    a.mode = mode;
    showModeLine();
    if (mode == EditMode::InsertDimLine) {
        if (!a.settings.display[kDimLines]) {
            a.settings.display[kDimLines] = 1;
            showDisplayFlag(kDimLines);
            updateDeleteButton();
        }
        markModified(0);
    }
    const bool wasResults = a.settings.result.on == 1;
    for (EditMode m : {EditMode::InsertMember, EditMode::InsertNode, EditMode::InsertDimLine})
        buttonOf(m)->set("VALUE", m == mode ? "ON" : "OFF");
    a.el.select->set("VALUE", "OFF");
    if (wasResults) {
        const bool il = a.settings.result.influence == 1;
        a.el.ilsection->set("ACTIVE", il ? "YES" : "NO");
        a.el.deformed->set("ACTIVE", il ? "NO" : "YES");
        for (const char* name : {"axial", "shear", "bending", "deformed"})
            a.tk->at(name).set("VALUE", "OFF");
        a.settings.result.on = 0;
        clearResults();
    }
    attrib::state().target = mode == EditMode::InsertMember ? attrib::kTargetMembers
                             : mode == EditMode::InsertNode ? attrib::kTargetNodes
                                                            : attrib::state().target;
    restoreAttributePanel();
    if (wasResults) redraw();
    if (a.keyboardMode) {
        // The coordinate dialog again after every insertion, until cancelled.
        while (cll::startKeyboard(kindOf(mode), *a.el.datascreen, finishCreation,
                                  showCreationMessage) == 1) {
            redraw();
            updateToolbar();
        }
        enterSelectMode();
        return;
    }
    if (!a.canvas) return;
    cll::Callbacks cb;
    cb.done = modeEnded;
    cb.finish = finishCreation;
    cb.message = showCreationMessage;
    cb.tolerance = snapWithKeys;
    cll::startMouse(kindOf(mode), *a.el.datascreen, *a.canvas, cb);
}

void restartMode() {
    AppState& a = app();
    switch (a.mode) {
    case EditMode::InsertMember:
    case EditMode::InsertNode:
    case EditMode::InsertDimLine:
        if (!a.keyboardMode) enterCreationMode(a.mode);
        break;
    case EditMode::Select:
        showModeLine(); // " Selection", or "   None   " once the model is empty
        startSelection();
        break;
    case EditMode::ResultQuery:
    case EditMode::InfluenceSection:
        startSelection(); // the clicks of the result display
        break;
    }
}

void modeEnded(int status) {
    if (status == 0) {
        enterSelectMode();
    } else if (status != -1) {
        redraw();
        restartMode();
    }
    updateToolbar();
}

void updateToolbar() {
    AppState& a = app();
    if (a.settings.result.on) return;
    ui::Toolkit& tk = *a.tk;
    tk.at("edtundo").set("ACTIVE", mdl_can_undo() ? "YES" : "NO");
    tk.at("edtredo").set("ACTIVE", mdl_can_redo() ? "YES" : "NO");
    const bool dims = a.settings.display[kDimLines] && a.dimensionLines > 0;
    const bool active = a.selectionKind != 0 || dims;
    a.el.edtdelsel->set("ACTIVE", active ? "YES" : "NO");
    for (const char* n : {"mioopmove", "mioopmirror", "miooprotate", "mioopscale", "miooprepeat"})
        if (ui::Element* e = tk.find(n)) e->set("ACTIVE", active ? "YES" : "NO");
    setApplyButtons(a.selectionKind);
    if (ui::Element* e = tk.find("unifressegs"))
        e->set("VALUE", a.settings.stepMode == 0 ? "ON" : "OFF");
    if (ui::Element* e = tk.find("fixedressegs"))
        e->set("VALUE", a.settings.stepMode == 1 ? "ON" : "OFF");
}

void showGridState() {
    AppState& a = app();
    a.tk->at("grid").set("VALUE", a.settings.gridOn ? "ON" : "OFF");
    a.tk->at("snaptogrid").set("VALUE", a.settings.snapToGrid ? "ON" : "OFF");
    const char* active = a.settings.gridOn ? "YES" : "NO";
    for (ui::Element* e : {a.el.gridstepxtext, a.el.gridstepytext, &a.tk->at("snaptogrid")})
        e->set("ACTIVE", active);
}

void scaleViewByDial(double angle) {
    if (!std::isfinite(angle) || angle == 0) return;
    // A turn of +a and one of -a cancel exactly: sizes are divided by
    // 1 + 0.2 a when turning forward and multiplied by 1 + 0.2 |a| when back.
    const double f = 1 + 0.2 * std::fabs(angle);
    const double k = angle > 0 ? 1 / f : f;
    double xmin, xmax, ymin, ymax;
    viewWindow(xmin, xmax, ymin, ymax);
    const double xc = 0.5 * (xmin + xmax), yc = 0.5 * (ymin + ymax);
    const double hw = 0.5 * (xmax - xmin) * k, hh = 0.5 * (ymax - ymin) * k;
    setViewWindow(xc - hw, xc + hw, yc - hh, yc + hh);
}

namespace {

// Commands that leave a member or dimension line being drawn as it is: the
// picks and echo of the drawing itself, the view, the snapping settings and
// the creation modes (which restart the drawing themselves).
bool keepsTheDrawing(const std::string& action) {
    static const char* const kPrefixes[] = {"Pck", "Vis",      "ScaleDial", "Hsize", "Vsize",
                                            "Ins", "Keyboard", "Grid",      "Snap",  "KeyCrtl"};
    for (const char* p : kPrefixes)
        if (action.rfind(p, 0) == 0) return true;
    return false;
}

// Before every command: any other operation cancels a half-drawn member
// (its first point given) and starts the creation afresh.
void beforeCommand(const Event& ev) {
    if (!cll::active() || cll::state().stage == 0 || keepsTheDrawing(ev.action)) return;
    cll::cancel();
    restartMode();
}

// After every command: the tool bar follows the history and the selection
// (pointer motion and repaints change neither).
void afterCommand(const Event& ev) {
    if (ev.action == "PckMouseMv" || ev.action == "VisRedraw" || !app().model) return;
    updateToolbar();
    // The tables window follows every change but its own and the view's.
    if (ev.action.rfind("Tbl", 0) != 0 && ev.action.rfind("Vis", 0) != 0) refreshTablesWindow();
}

} // namespace

void bindEditActions(ui::Toolkit& tk) {
    tk.setActionHooks(beforeCommand, afterCommand);
    cll::setLengthConversion(toDisplayLength, toMetres);
    tk.bind("InsLine", [](Event&) {
        enterCreationMode(EditMode::InsertMember);
        updateToolbar();
        return kDefault;
    });
    tk.bind("InsVertex", [](Event&) {
        enterCreationMode(EditMode::InsertNode);
        updateToolbar();
        return kDefault;
    });
    tk.bind("InsDimLn", [](Event&) {
        enterCreationMode(EditMode::InsertDimLine);
        updateToolbar();
        return kDefault;
    });
    tk.bind("Keyboard", onKeyboard);
    tk.bind("EdtDelSelAll", onDelete);
    tk.bind("EdtUndo", onUndo);
    tk.bind("EdtRedo", onRedo);
    tk.bind("Grid", onGrid);
    tk.bind("GridStepXText", [](Event& ev) { return unsignedNumberKey(ev.key); });
    tk.bind("GridStepYText", [](Event& ev) { return unsignedNumberKey(ev.key); });
    tk.bind("GridStepXSet", [](Event& ev) { return onGridStepSet(ev, true); });
    tk.bind("GridStepYSet", [](Event& ev) { return onGridStepSet(ev, false); });
    tk.bind("SnapToGrid",
            [](Event& ev) { return onSnapToggle(ev, &AppSettings::snapToGrid, "snaptogrid"); });
    tk.bind("SnapToMember",
            [](Event& ev) { return onSnapToggle(ev, &AppSettings::snapToMember, nullptr); });
    tk.bind("KeyCrtl", onKey);
    tk.bind("VisLimits", onLimits);
    tk.bind("ScaleDialChange", onScaleDial);
}

} // namespace shell
