// Interactive transformations: the mouse interaction and the keyboard entry
// shared by every kind; the kinds' texts, matrices, measures and bands come
// from their modules.
#include "interact/trfmode.h"

#include "interact/modepick.h"
#include "interact/trfkind.h"

#include <cmath>

namespace interact::trf {

namespace {

constexpr double kDegToRad = 0.01745329252;
constexpr double kPi = 3.14159265358979323846;

using KindFn = const KindDef& (*)();
constexpr KindFn kKindTable[kKinds] = {moveKind, mirrorKind, rotateKind, scaleKind};

const KindDef* kindDef(int kind) {
    if (kind < 0 || kind >= kKinds) return nullptr;
    return &kKindTable[kind]();
}

void say(const MessageFn& message, const char* text) {
    if (message) message(text);
}

gfx::Point snapped(const pck::Pick& p) {
    return dueMousePoint(modeState(), p, modeState().cb.tolerance);
}

bool lastStage(const ModeState& s, const KindDef& def) {
    return s.stage == def.points - 1;
}

void endMouse(int status) {
    ModeState& s = modeState();
    DoneFn done = s.cb.done; // the callback may start the next interaction
    s.stop();
    if (done) done(status);
}

// The keyboard dialog of the kind; 1 applied, 0 cancelled, -1 a template
// that does not fit the kind.
int keyboardEntry(const KindDef& def, int kind, ui::Element& canvas, const ApplyFn& apply,
                  const MessageFn& message) {
    ModeState& s = modeState();
    const bool english = canvas.toolkit().language() == "ENGLISH";
    say(message, def.keyboardStatus.get(english));
    ui::ParamForm form;
    if (!ui::ParamForm::parse(def.keyboard.get(english), form) || form.fields.size() < 2) return -1;
    std::vector<double>& last = s.lastTyped[kind];
    if (!askWithLastTyped(canvas.toolkit(), form, last)) return 0;
    const std::vector<double> typedFields = last; // apply may type again
    if (apply) apply(def.typed(typedFields), typedFields.back(), true);
    return 1;
}

void onButton(pck::Pick& p) {
    ModeState& s = modeState();
    const KindDef* def = kindDef(s.kind);
    if (!modeActive() || !def || !p.pressed) return;
    switch (p.button) {
    case 1: {
        gfx::Point q = snapped(p);
        if (!lastStage(s, *def)) {
            s.pts[s.stage++] = q;
            s.haveGood = false;
            say(s.cb.message, def->prompt[s.stage].get(s.english));
            return;
        }
        Matrix m;
        if (!def->matrix(s, q.x, q.y, m)) return; // no matrix yet: wait for a point that gives one
        ApplyFn apply = s.cb.apply;
        const double tol = p.tol;
        DoneFn done = s.cb.done;
        s.stop();
        if (apply) apply(m, tol, false);
        if (done) done(1);
        break;
    }
    case 2: {
        // The keyboard takes over: the mouse interaction ends first.
        ApplyFn apply = s.cb.apply;
        MessageFn message = s.cb.message;
        DoneFn done = s.cb.done;
        const int kind = s.kind;
        ui::Element* canvas = s.canvas;
        s.stop();
        const int r = keyboardEntry(*def, kind, *canvas, apply, message);
        if (done) done(r == 1 ? 1 : 0);
        break;
    }
    case 3:
        endMouse(0);
        break;
    default:
        break;
    }
}

void onMotion(pck::Pick& p) {
    ModeState& s = modeState();
    const KindDef* def = kindDef(s.kind);
    if (!modeActive() || !def) return;
    gfx::Point q = snapped(p);
    if (lastStage(s, *def)) {
        Matrix m;
        if (def->matrix(s, q.x, q.y, m)) {
            s.lastGood = q;
            s.haveGood = true;
        } else if (s.haveGood) {
            q = s.lastGood; // the echo stays as it was
        }
        if (def->live && s.cb.message && s.haveGood) {
            std::string text = def->live(s, q.x, q.y);
            if (!text.empty()) s.cb.message(text);
        }
    }
    p.ex = q.x;
    p.ey = q.y;
}

void onEcho(gfx::Canvas& c, const pck::Pick& p) {
    const ModeState& s = modeState();
    const KindDef* def = kindDef(s.kind);
    if (!def || s.stage == 0) return;
    double x = p.ex, y = p.ey;
    Matrix m;
    const bool last = lastStage(s, *def);
    const bool good = last && def->matrix(s, x, y, m);
    if (def->echo)
        def->echo(c, s, x, y);
    else
        c.line(s.pts[s.stage - 1].x, s.pts[s.stage - 1].y, x, y);
    if (good && s.cb.echo) s.cb.echo(c, m);
}

} // namespace

void ModeState::reset() {
    *this = ModeState{};
}

ModeState& modeState() {
    static ModeState s;
    return s;
}

// Angles are normalised in radians, where atan2 gives exactly -pi and pi;
// only then converted, since the degree constant is not exactly pi / 180.
double directionAngle(double dx, double dy) {
    double a = std::atan2(dy, dx);
    if (a <= -kPi) a += 2 * kPi;
    return a / kDegToRad;
}

double rotationAngle(gfx::Point centre, gfx::Point first, gfx::Point second) {
    double a1 = std::atan2(first.y - centre.y, first.x - centre.x);
    double a2 = std::atan2(second.y - centre.y, second.x - centre.x);
    if (a1 <= -kPi) a1 += 2 * kPi;
    if (a2 <= -kPi) a2 += 2 * kPi;
    double a = a2 - a1;
    if (a > kPi)
        a -= 2 * kPi;
    else if (a <= -kPi)
        a += 2 * kPi;
    return a / kDegToRad;
}

bool scalingFactor(gfx::Point centre, gfx::Point first, gfx::Point second, double& factor) {
    const double ux = first.x - centre.x, uy = first.y - centre.y;
    const double r = std::hypot(ux, uy);
    if (r == 0) return false;
    const double proj = ((second.x - centre.x) * ux + (second.y - centre.y) * uy) / r;
    if (proj == 0) return false;
    factor = proj / r;
    return true;
}

int startMouse(int kind, ui::Element& canvas, gfx::Canvas& gc, Callbacks cb) {
    const KindDef* def = kindDef(kind);
    if (!def) return -1;
    ModeState& s = modeState();
    s.begin(kind, canvas, gc);
    s.cb = std::move(cb);
    s.haveGood = false;
    say(s.cb.message, def->prompt[0].get(s.english));
    return s.startPick(onButton, onMotion, onEcho) ? 0 : -1;
}

int startKeyboard(int kind, ui::Element& canvas, ApplyFn apply, MessageFn message) {
    const KindDef* def = kindDef(kind);
    if (!def) return -1;
    return keyboardEntry(*def, kind, canvas, apply, message);
}

void cancelMode() {
    if (modeState().active) modeState().stop();
}

bool modeActive() {
    return modeState().running();
}

} // namespace interact::trf
