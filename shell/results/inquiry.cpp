// The inquiry pick and the totals message (see inquiry.h).
#include "shell/results/inquiry.h"

#include "analysis/analysis.h"
#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "model/model.h"
#include "results/inquiry.h"
#include "results/resultquery.h"
#include "results/resultset.h"
#include "shell/messages.h"
#include "shell/panels/conditionpanels.h"
#include "shell/panels/propertypanel.h"
#include "shell/results/influence.h"
#include "shell/results/modedisplay.h"
#include "shell/results/resultdisplay.h"
#include "shell/state.h"
#include "ui/ui.h"

#include <cmath>

namespace shell {

namespace {

void inquireNode(const Vertex* v) {
    AppState& a = app();
    const attrib::NodeAttrib* n = attrib::nodeOf(v);
    if (!n) return;
    if (const results::Envelope* env = shownEnvelope(); env && n->number > 0) {
        const results::EnvelopeInput& in = envelopeInput();
        const results::NodeEnvelope* reactions = nullptr;
        bool carried[3] = {false, false, false};
        for (std::size_t i = 0; i < in.supports.size() && i < env->reactions.size(); ++i)
            if (const analysis::Reaction& r = in.supports[i]; r.node == v) {
                reactions = &env->reactions[i];
                carried[0] = r.hasFx, carried[1] = r.hasFy, carried[2] = r.hasMz;
            }
        if (static_cast<std::size_t>(n->number) <= env->displacements.size())
            showInformation(results::nodeEnvelopeText(a.settings, reactions, carried,
                                                      env->displacements[n->number - 1]));
    } else if (a.settings.result.on) {
        double r[3] = {0, 0, 0};
        const bool supported = attrib::hasSupport(*n);
        if (supported) {
            for (const analysis::Reaction& x :
                 analysis::supportReactions(analysis::numberModel(a.model))) {
                if (x.node != v) continue;
                r[0] = x.fx, r[1] = x.fy, r[2] = x.mz;
            }
        }
        // After an analysis the node's displacement triple holds its results.
        showInformation(results::nodeResultText(a.settings, supported, r, n->displacement));
    } else {
        showInformation(results::nodeAttribText(a.settings, v->x, v->y, *n));
    }
    loadNodeConditions(v);
    setCurrentBlock(nodalForcePanel(), attrib::blockOf(v, attrib::kNff));
}

void inquireMember(const Edge* e, double x, double y, double tolerance) {
    AppState& a = app();
    const attrib::MemberAttrib* m = attrib::memberOf(e);
    if (!m) return;
    if (a.settings.result.on && a.settings.result.influence) {
        showPrompt(resultLineAt(x, y, tolerance));
        showInformation(influenceMemberText(e));
    } else if (const results::Envelope* env = shownEnvelope();
               env && m->number > 0 && static_cast<std::size_t>(m->number) <= env->members.size()) {
        showPrompt(resultLineAt(x, y, tolerance));
        const results::EnvelopeInput& in = envelopeInput();
        const results::MemberInput input = results::memberInputOf(e);
        const std::size_t mi = m->number - 1;
        showInformation(results::memberEnvelopeText(
            a.settings, env->kind,
            results::envelopeAt(in.frame, in.cases, results::envelopeCombos(in, attrib::root()),
                                in.patternList(), mi, results::localPosition(input, x, y)),
            env->members[mi]));
    } else if (a.settings.result.on) {
        showPrompt(resultLineAt(x, y, tolerance));
        const results::MemberInput in = results::memberInputOf(e);
        showInformation(results::memberResultText(
            a.settings, in, static_cast<results::ResultKind>(a.settings.result.kind),
            analysis::resultState().precisionStep));
    } else {
        const double L =
            std::hypot(e->he2->vtx->x - e->he1->vtx->x, e->he2->vtx->y - e->he1->vtx->y);
        showInformation(results::memberAttribText(a.settings, L, *m));
    }
    loadMemberConditions(e);
    setCurrentBlock(materialPanel(), m->blocks[attrib::kMaterial]);
    setCurrentBlock(sectionPanelKind(), m->blocks[attrib::kSection]);
    // The load panels show the blocks of the active case.
    setCurrentBlock(endMomentPanel(), attrib::blockOf(e, attrib::kMbm));
    setCurrentBlock(uniformLoadPanel(), attrib::blockOf(e, attrib::kUlf));
    setCurrentBlock(linearLoadPanel(), attrib::blockOf(e, attrib::kLlf));
    setCurrentBlock(thermalLoadPanel(), attrib::blockOf(e, attrib::kTpf));
}

} // namespace

void inquireAt(double x, double y, double tolerance) {
    AppState& a = app();
    if (!a.model || modelIsEmpty()) return;
    mdl_set_tolerance(tolerance);
    MPoint p{x, y};
    // A mode shape has no values to inquire: the line keeps the mode's text.
    if (modeDisplayShown()) return showPrompt(modeLine());
    const bool influence = a.settings.result.on && a.settings.result.influence;
    if (Vertex* v = influence ? nullptr : mdl_find_vertex_at(a.model, &p)) {
        inquireNode(v);
    } else if (Edge* e = mdl_find_edge_at(a.model, p, tolerance)) {
        inquireMember(e, x, y, tolerance);
    } else {
        showInformation("");
        clearPrompt();
    }
}

void showTotals() {
    AppState& a = app();
    int nodes = 0, members = 0;
    if (a.model && !modelIsEmpty()) {
        for (const Vertex* v = a.model->vertices; v; v = v->next) ++nodes;
        for (const Edge* e = a.model->edges; e; e = e->next) ++members;
    }
    message(results::totalsText(a.model != nullptr, nodes, members));
}

void bindInquiryActions(ui::Toolkit& tk) {
    tk.bind("InqGlobal", [](ui::Event&) {
        showTotals();
        return ui::kDefault;
    });
}

} // namespace shell
