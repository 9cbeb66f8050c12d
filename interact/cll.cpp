// Curve creation: the mouse interaction and the keyboard entry shared by every
// kind; the kinds' own texts, measures and echoes come from their modules.
#include "interact/cll.h"

#include "interact/cllkind.h"
#include "interact/modepick.h"

namespace interact::cll {

namespace {

// The kinds' modules by kind number; kinds without a module are null.
using KindFn = const KindDef& (*)();
constexpr KindFn kKindTable[kKinds] = {pointKind, lineKind, nullptr, nullptr,
                                       nullptr,   nullptr,  nullptr, dimLineKind};

const KindDef* kindDef(int kind) {
    if (kind < 0 || kind >= kKinds || !kKindTable[kind]) return nullptr;
    return &kKindTable[kind]();
}

double toDisplay(double v) {
    const ConvertFn& f = state().toDisplay;
    return f ? f(v) : v;
}

double fromDisplay(double v) {
    const ConvertFn& f = state().fromDisplay;
    return f ? f(v) : v;
}

void say(const MessageFn& message, const char* text) {
    if (message) message(text);
}

gfx::Point snapped(const pck::Pick& p) {
    return dueMousePoint(state(), p, state().cb.tolerance);
}

CurveRecord record(const CllState& s, const KindDef& def, const gfx::Point* pts) {
    CurveRecord r;
    r.kind = s.kind;
    r.x0 = pts[0].x;
    r.y0 = pts[0].y;
    const gfx::Point& last = pts[def.points >= 2 ? 1 : 0];
    r.x1 = last.x;
    r.y1 = last.y;
    for (int i = 2; i < def.points; ++i) r.interior.push_back(pts[i]);
    return r;
}

void endMouse(int status, const CurveRecord* rec, double tol) {
    CllState& s = state();
    Callbacks cb = s.cb; // the callbacks may start the next interaction
    // The echo is erased while the state still describes it.
    s.stop();
    if (rec && cb.finish) cb.finish(*rec, tol, false);
    if (cb.done) cb.done(status);
}

// The due point is entered: the next prompt, or the finished record.
void advance(const KindDef& def, double tol) {
    CllState& s = state();
    ++s.stage;
    if (s.stage < def.points) {
        say(s.cb.message, def.prompt[s.stage].get(s.english));
        return;
    }
    CurveRecord rec = record(s, def, s.pts);
    endMouse(1, &rec, tol);
}

// The middle button: the dialog of the due point, showing the points from
// the kind's first dialog point on, the due one at the pointer.
void middleDialog(const KindDef& def, const pck::Pick& p) {
    CllState& s = state();
    const int first = def.dialogFirst[s.stage];
    ui::ParamForm form;
    ui::ParamForm::parse(def.dialog[s.stage].get(s.english), form);
    gfx::Point due = snapped(p);
    for (int i = first, f = 0; i <= s.stage && f + 1 < static_cast<int>(form.fields.size());
         ++i, f += 2) {
        const gfx::Point& q = i < s.stage ? s.pts[i] : due;
        form.fields[f].real = toDisplay(q.x);
        form.fields[f + 1].real = toDisplay(q.y);
    }
    const double tol = p.tol;
    if (!s.canvas->toolkit().getParam(form)) {
        endMouse(0, nullptr, 0);
        return;
    }
    for (int i = first, f = 0; i <= s.stage && f + 1 < static_cast<int>(form.fields.size());
         ++i, f += 2)
        s.pts[i] = {fromDisplay(form.fields[f].real), fromDisplay(form.fields[f + 1].real)};
    advance(def, tol);
}

void onButton(pck::Pick& p) {
    CllState& s = state();
    const KindDef* def = kindDef(s.kind);
    if (!active() || !def || !p.pressed) return;
    switch (p.button) {
    case 1:
        s.pts[s.stage] = snapped(p);
        advance(*def, p.tol);
        break;
    case 2:
        middleDialog(*def, p);
        break;
    case 3:
        endMouse(0, nullptr, 0);
        break;
    default:
        break;
    }
}

void onMotion(pck::Pick& p) {
    CllState& s = state();
    const KindDef* def = kindDef(s.kind);
    if (!active() || !def) return;
    gfx::Point q = snapped(p);
    p.ex = q.x;
    p.ey = q.y;
    if (def->live && s.cb.message) {
        std::string text = def->live(s, q.x, q.y);
        if (!text.empty()) s.cb.message(text);
    }
}

void onEcho(gfx::Canvas& c, const pck::Pick& p) {
    const CllState& s = state();
    const KindDef* def = kindDef(s.kind);
    if (!def) return;
    if (def->echo) def->echo(c, s, p.ex, p.ey);
    if (s.cb.echo) s.cb.echo(c, p);
}

} // namespace

void CllState::reset() {
    *this = CllState{};
}

CllState& state() {
    static CllState s;
    return s;
}

void setLengthConversion(ConvertFn toDisplay, ConvertFn fromDisplay) {
    state().toDisplay = std::move(toDisplay);
    state().fromDisplay = std::move(fromDisplay);
}

int startMouse(int kind, ui::Element& canvas, gfx::Canvas& gc, Callbacks cb) {
    const KindDef* def = kindDef(kind);
    if (!def) return -1;
    CllState& s = state();
    s.begin(kind, canvas, gc);
    s.cb = std::move(cb);
    s.typed = false;
    say(s.cb.message, def->prompt[0].get(s.english));
    return s.startPick(onButton, onMotion, onEcho) ? 0 : -1;
}

int startKeyboard(int kind, ui::Element& canvas, FinishFn finish, MessageFn message) {
    const KindDef* def = kindDef(kind);
    if (!def) return -1;
    CllState& s = state();
    const bool english = canvas.toolkit().language() == "ENGLISH";
    say(message, def->keyboardStatus.get(english));
    ui::ParamForm form;
    if (!ui::ParamForm::parse(def->keyboard.get(english), form) ||
        form.fields.size() != static_cast<std::size_t>(2 * def->points + 1))
        return -1;
    std::vector<double>& last = s.lastTyped[kind];
    if (!askWithLastTyped(canvas.toolkit(), form, last)) return 0;
    gfx::Point pts[3];
    for (int i = 0; i < def->points; ++i) pts[i] = {last[2 * i], last[2 * i + 1]};
    CllState keyed;
    keyed.kind = kind;
    CurveRecord rec = record(keyed, *def, pts);
    if (finish) finish(rec, last[2 * def->points], true);
    return 1;
}

void cancel() {
    if (state().active) state().stop();
}

bool active() {
    return state().running();
}

} // namespace interact::cll
