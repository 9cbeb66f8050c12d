// The result display of the shell (see resultdisplay.h).
#include "shell/results/resultdisplay.h"

#include "analysis/analysis.h"
#include "attrib/cases.h"
#include "interact/cll.h"
#include "model/model.h"
#include "results/resultquery.h"
#include "shell/display.h"
#include "shell/edit/edit.h"
#include "shell/edit/editmodes.h"
#include "shell/edit/modes.h"
#include "shell/edit/view.h"
#include "shell/messages.h"
#include "shell/results/influence.h"
#include "shell/results/modedisplay.h"
#include "shell/results/resultcmds.h"
#include "shell/state.h"
#include "ui/ui.h"
#include "units/numformat.h"
#include "units/units.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace shell {

namespace {

struct Cache {
    bool valid = false;
    int kind = 0;
    double step = 0;
    const Solid* model = nullptr;
    results::ResultCurves curves;
    results::Envelope envelope;
    results::ResultDrawing drawing;
};
Cache g_cache;
results::EnvelopeInput g_envelopeInput;

// The unit slot in which the largest value of a kind is shown; the
// deformed shape's largest value is shown unconverted.
int unitSlotOf(int kind) {
    return kind == 3 ? units::kMomentUnit : kind == 1 || kind == 2 ? units::kForceUnit : -1;
}

double largestInDisplayUnits() {
    const AppState& a = app();
    if (a.settings.result.influence == 1) return influenceLargestDisplay();
    if (modeDisplayShown()) return modeLargest();
    const double largest = analysis::resultState().largestValue;
    const int slot = unitSlotOf(a.settings.result.kind);
    return slot < 0 ? largest : units::toDisplay(a.settings.units[slot], largest);
}

bool diagramsShown() {
    const attrib::ResultDisplay& r = app().settings.result;
    return r.on == 1 && r.kind >= 1 && r.kind <= 4;
}

// The end of the precision segment: the result display takes the canvas
// back (its title, the selection), showing the kind again with the new step.
void precisionEnded(int) {
    clearPrompt();
    if (!diagramsShown()) {
        restartMode();
        return;
    }
    showResultTitle();
    startSelection();
    // An influence line is sampled again at the new step; diagrams are
    // shown again by their command.
    if (app().settings.result.influence == 1)
        resampleInfluence();
    else
        resultCommand(app().settings.result.kind);
}

} // namespace

bool startPrecisionStep() {
    AppState& a = app();
    if (!diagramsShown() || !a.canvas) return false;
    cancelCanvasInteraction();
    message("\n  Draw a line segment whose size will be used \n"
            "  as a step for drawing the result diagrams.  \n");
    interact::cll::Callbacks cb;
    cb.done = precisionEnded;
    cb.finish = [](const interact::cll::CurveRecord& rec, double, bool) {
        // A segment without length would sample nothing: the step stays.
        const double h = std::hypot(rec.x1 - rec.x0, rec.y1 - rec.y0);
        if (h > 0 && std::isfinite(h)) analysis::resultState().precisionStep = h;
    };
    cb.message = showCreationMessage;
    cb.tolerance = snapWithKeys;
    return interact::cll::startMouse(interact::cll::kLine, *a.el.datascreen, *a.canvas, cb) == 0;
}

void invalidateResultCurves() {
    g_cache.valid = false;
}

results::EnvelopeInput& envelopeInput() {
    return g_envelopeInput;
}

bool envelopeShown() {
    const attrib::ResultDisplay& r = app().settings.result;
    return r.on && !r.influence && attrib::shownId(attrib::root()) == attrib::kEnvelope &&
           !analysis::storedResults().cases.empty() &&
           !analysis::shownWithoutResults(attrib::root());
}

const results::Envelope* shownEnvelope() {
    const results::ResultDrawing* d = resultDrawing();
    return d ? d->envelope : nullptr;
}

namespace {

// The reactions drawn: those of what is shown, or the envelope's range.
void gatherReactions(std::vector<results::Reaction>& out) {
    out.clear();
    if (envelopeShown()) {
        const results::Envelope& env = g_cache.envelope;
        const auto& supports = g_envelopeInput.supports;
        for (std::size_t i = 0; i < supports.size() && i < env.reactions.size(); ++i) {
            const analysis::Reaction& x = supports[i];
            const results::NodeEnvelope& e = env.reactions[i];
            results::Reaction d;
            d.x = x.node->x, d.y = x.node->y;
            d.range = true;
            d.rx = e.max[0], d.ry = e.max[1], d.mz = e.max[2];
            d.minX = e.min[0], d.minY = e.min[1], d.minM = e.min[2];
            d.showX = x.hasFx, d.showY = x.hasFy, d.showM = x.hasMz;
            out.push_back(d);
        }
        return;
    }
    for (const analysis::Reaction& x :
         analysis::supportReactions(analysis::numberModel(app().model))) {
        results::Reaction d;
        d.x = x.node->x, d.y = x.node->y;
        d.rx = x.fx, d.ry = x.fy, d.mz = x.mz;
        d.showX = x.hasFx, d.showY = x.hasFy, d.showM = x.hasMz;
        out.push_back(d);
    }
}

} // namespace

const results::ResultDrawing* resultDrawing() {
    AppState& a = app();
    const attrib::ResultDisplay& r = a.settings.result;
    if (r.on && r.influence) return influenceDrawing();
    if (modeDisplayShown()) return modeDrawing();
    if (!r.on || r.kind < 1 || r.kind > 4 || !a.model) return nullptr;
    if (analysis::shownWithoutResults(attrib::root())) return nullptr;
    analysis::ResultState& rs = analysis::resultState();
    const double step = std::max(rs.precisionStep, a.minimumSamplingStep);
    if (!g_cache.valid || g_cache.kind != r.kind || g_cache.step != step ||
        g_cache.model != a.model) {
        const auto kind = static_cast<results::ResultKind>(r.kind);
        g_cache.drawing.envelope = nullptr;
        const bool envelope = envelopeShown();
        if (envelope) {
            // The envelope runs over the stored results (its node values give
            // the reactions); the records hold the combination of the largest
            // displacement, which the deformed shape shows.
            const attrib::AttributeRoot& root = attrib::root();
            analysis::showResults(root);
            results::readStoredResults(g_envelopeInput, analysis::storedResults());
            results::computeEnvelope(g_cache.envelope, g_envelopeInput.frame, g_envelopeInput.cases,
                                     results::envelopeCombos(g_envelopeInput, root),
                                     g_envelopeInput.patternList(), kind);
        }
        if (envelope && kind != results::ResultKind::Deformed) {
            results::computeCurves(g_cache.curves, nullptr, results::ResultKind::None, step);
            g_cache.drawing.envelope = &g_cache.envelope;
            rs.largestValue = g_cache.envelope.largest;
        } else {
            results::computeCurves(g_cache.curves, a.model, kind, step);
            rs.largestValue = g_cache.curves.largest;
        }
        gatherReactions(g_cache.drawing.reactions);
        g_cache.valid = true;
        g_cache.kind = r.kind;
        g_cache.step = step;
        g_cache.model = a.model;
        g_cache.drawing.curves = &g_cache.curves;
        showResultFactor();
    }
    g_cache.drawing.diagramSize = rs.diagramSize;
    return &g_cache.drawing;
}

namespace {

// The factor as the field shows it: two decimals from 0.1 up, three
// significant digits below, so that a small factor is readable and a commit
// of the unchanged field (Enter, focus loss) keeps the diagram size.
std::string factorText(double f) {
    if (f == 0 || std::fabs(f) >= 0.1) return units::formatNumber(units::kDefaultFormat, f);
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", f);
    return text;
}

} // namespace

void fitViewToResults() {
    // The diagrams stand out up to the diagram size; a value text reaches
    // about 80 pixels beyond its point.
    fitViewWithMargin(1.5 * analysis::resultState().diagramSize, 80);
    showWorkSpaceSize();
}

void showResultFactor() {
    AppState& a = app();
    const int kind = modeDisplayShown() ? 4 : a.settings.result.kind;
    const double f =
        kind < 1 || kind > 4
            ? 0
            : results::shownFactor(analysis::resultState().diagramSize, largestInDisplayUnits());
    a.el.modetext->set("VALUE", factorText(f));
    a.el.modeunit->set("TITLE", " ");
}

void setResultValuator(double r) {
    analysis::ResultState& rs = analysis::resultState();
    const double size = results::sizeFromValuator(r, rs.diagramSizeLimit, rs.diagramSize);
    if (size == rs.diagramSize) return;
    rs.diagramSize = size;
    if (app().settings.result.influence == 1) influenceSizeChanged();
    showResultFactor();
    redraw();
}

void setResultFactor(double F) {
    if (!std::isfinite(F) || app().settings.result.on == 0) return;
    analysis::ResultState& rs = analysis::resultState();
    rs.diagramSize = results::sizeFromFactor(F, largestInDisplayUnits(), rs.diagramSizeLimit);
    if (app().settings.result.influence == 1) influenceSizeChanged();
    showResultFactor();
    redraw();
}

std::string resultLineAt(double x, double y, double tolerance) {
    AppState& a = app();
    const attrib::ResultDisplay& r = a.settings.result;
    if (r.on && r.influence) return influenceLineAt(x, y, tolerance);
    if (modeDisplayShown()) return modeLine();
    if (!r.on || r.kind < 1 || r.kind > 4 || !a.model) return "";
    // What has no results keeps saying why.
    if (analysis::shownWithoutResults(attrib::root())) return withoutResultsText();
    const Edge* e = mdl_find_edge_at(a.model, {x, y}, tolerance);
    if (!e) return "";
    const results::MemberInput m = results::memberInputOf(e);
    if (const results::Envelope* env = shownEnvelope()) {
        const attrib::MemberAttrib* ma = attrib::memberOf(e);
        const std::size_t mi = ma && ma->number > 0 ? ma->number - 1 : 0;
        const results::EnvelopeInput& in = g_envelopeInput;
        return results::envelopeLine(
            a.settings, m, env->kind,
            results::envelopeAt(in.frame, in.cases, results::envelopeCombos(in, attrib::root()),
                                in.patternList(), mi, results::localPosition(m, x, y)));
    }
    return results::resultLine(a.settings, m, static_cast<results::ResultKind>(r.kind),
                               results::localPosition(m, x, y));
}

void bindResultDisplayActions(ui::Toolkit& tk) {
    tk.bind("ResPrecision", [](ui::Event&) {
        startPrecisionStep();
        return ui::kDefault;
    });
    tk.bind("ResValChange", [](ui::Event& ev) {
        setResultValuator(ev.value);
        return ui::kDefault;
    });
    tk.bind("DefFactSet", [](ui::Event& ev) {
        const std::string text = ev.element ? ev.element->get("VALUE") : ev.text;
        char* end = nullptr;
        const double F = std::strtod(text.c_str(), &end);
        if (end != text.c_str())
            setResultFactor(static_cast<float>(F));
        else
            showResultFactor();
        return ui::kDefault;
    });
}

} // namespace shell
