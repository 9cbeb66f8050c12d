// Gathering the member inputs from the records and sampling the whole frame
// (see resultset.h).
#include "results/resultset.h"

#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/loads.h"
#include "attrib/section.h"
#include "results/envelope.h"
#include "results/influence.h"

#include <algorithm>
#include <cmath>

namespace results {

namespace {

// Adds f times the local end values of a distributed load block: uniform
// blocks give the same vector at both ends; global blocks are turned by the
// member's angle.
void addLocalLoad(const attrib::ValueBlock* b, bool linear, double angle, double f,
                  MemberInput& m) {
    if (!b) return;
    const auto& v = b->values;
    double g[4] = {v[0], v[1], v[0], v[1]};
    if (linear) g[2] = v[attrib::kPxj], g[3] = v[attrib::kPyj];
    double l[4];
    if (b->direction == attrib::kGlobal) {
        globalToLocal(g[0], g[1], angle, l[0], l[1]);
        globalToLocal(g[2], g[3], angle, l[2], l[3]);
    } else {
        for (int k = 0; k < 4; ++k) l[k] = std::fabs(g[k]) < 1e-5 ? 0.0 : g[k];
    }
    m.qx1 += f * l[0], m.qy1 += f * l[1], m.qx2 += f * l[2], m.qy2 += f * l[3];
}

// Adds f times the loads of case `loadCase` on the member.
void addCaseLoads(const attrib::MemberAttrib& a, int loadCase, double f, double angle,
                  MemberInput& m) {
    auto load = [&](int slot) { return attrib::valuesOf(attrib::loadBlock(a, slot, loadCase)); };
    if (const attrib::ValueBlock* b = load(attrib::kEndMoments))
        m.Ma += f * b->values[attrib::kMa], m.Mb += f * b->values[attrib::kMb];
    // A uniform load block wins over a linear one.
    if (const attrib::ValueBlock* b = load(attrib::kUniform))
        addLocalLoad(b, false, angle, f, m);
    else
        addLocalLoad(load(attrib::kLinear), true, angle, f, m);
    // The self-weight of the case adds a global uniform load.
    if (const double w = attrib::selfWeightLoad(attrib::root(), a, loadCase); w != 0) {
        double qx = 0, qy = 0;
        globalToLocal(0, -w, angle, qx, qy);
        m.qx1 += f * qx, m.qy1 += f * qy, m.qx2 += f * qx, m.qy2 += f * qy;
    }
    if (const attrib::ValueBlock* b = load(attrib::kThermal)) {
        m.tyPlus += f * b->values[attrib::kTyTop];
        m.tyMinus += f * b->values[attrib::kTyBottom];
    }
}

} // namespace

MemberInput memberInputOf(const Edge* e) {
    return memberInputOf(e, attrib::shownFactors(attrib::root()));
}

MemberInput memberInputOf(const Edge* e, const std::vector<attrib::CaseFactor>& factors) {
    static constexpr double kNone[6] = {};
    const attrib::NodeAttrib* n1 = attrib::nodeOf(e->he1->vtx);
    const attrib::NodeAttrib* n2 = attrib::nodeOf(e->he2->vtx);
    const attrib::MemberAttrib* a = attrib::memberOf(e);
    return memberInputFrom(e, factors, a ? a->results.data() : kNone, n1 ? n1->displacement : kNone,
                           n2 ? n2->displacement : kNone);
}

MemberInput memberInputFrom(const Edge* e, const std::vector<attrib::CaseFactor>& factors,
                            const double* endForces, const double* d1, const double* d2) {
    MemberInput m;
    const Vertex* v1 = e->he1->vtx;
    const Vertex* v2 = e->he2->vtx;
    m.x1 = v1->x, m.y1 = v1->y, m.x2 = v2->x, m.y2 = v2->y;
    const double angle = memberAngle(m), c = std::cos(angle), s = std::sin(angle);
    auto ends = [&](const double* d, double& u, double& w, double& t) {
        u = c * d[0] + s * d[1];
        w = -s * d[0] + c * d[1];
        t = d[2];
    };
    ends(d1, m.u1, m.w1, m.t1);
    ends(d2, m.u2, m.w2, m.t2);
    const attrib::MemberAttrib* a = attrib::memberOf(e);
    if (!a) return m;
    const double* r = endForces;
    m.N1 = r[0], m.V1 = r[1], m.M1 = r[2], m.N2 = r[3], m.V2 = r[4], m.M2 = r[5];
    m.hinge1 = a->hingeStart != 0, m.hinge2 = a->hingeEnd != 0;
    m.rigid = a->rigid != 0, m.noAxial = a->noAxial != 0;
    for (const attrib::CaseFactor& f : factors) addCaseLoads(*a, f.loadCase, f.factor, angle, m);
    if (const attrib::ValueBlock* b = attrib::valuesOf(a->blocks[attrib::kMaterial]))
        m.E = b->values[attrib::kElasticity], m.alpha = b->values[attrib::kThermalExpansion];
    if (const attrib::Section* sec = attrib::sectionOf(a->blocks[attrib::kSection])) {
        m.A = attrib::sectionArea(*sec);
        m.I = attrib::sectionInertia(*sec);
        m.depth = attrib::sectionDepth(*sec);
    }
    return m;
}

void computeCurves(ResultCurves& rc, const Solid* model, ResultKind kind, double h) {
    rc.kind = kind;
    rc.largest = 0;
    rc.influence = false;
    rc.sectionIndex = -1;
    rc.members.clear();
    rc.inputs.clear();
    rc.curves.clear();
    if (!model || kind == ResultKind::None) return;
    for (const Edge* e = model->edges; e; e = e->next) {
        rc.members.push_back(e);
        rc.inputs.push_back(memberInputOf(e));
        const MemberInput& m = rc.inputs.back();
        if (kind == ResultKind::Deformed) {
            rc.curves.push_back(sampleDeformed(m, h));
            rc.largest = std::max({rc.largest, std::fabs(m.u1), std::fabs(m.u2)});
        } else {
            rc.curves.push_back(sampleDiagram(m, kind, h));
        }
        rc.largest = std::max(rc.largest, std::fabs(rc.curves.back().extremeValue));
    }
}

void computeInfluenceCurves(ResultCurves& rc, const Solid* model, ResultKind kind,
                            const Edge* section, double a, double h) {
    computeCurves(rc, nullptr, ResultKind::None, h);
    rc.kind = kind;
    rc.influence = true;
    rc.sectionIndex = -1;
    rc.sectionX = a;
    if (!model) return;
    for (const Edge* e = model->edges; e; e = e->next) {
        const bool holds = e == section;
        if (holds) rc.sectionIndex = static_cast<int>(rc.members.size());
        rc.members.push_back(e);
        rc.inputs.push_back(memberInputOf(e));
        rc.curves.push_back(sampleInfluence(rc.inputs.back(), kind, holds, a, h));
        rc.largest = std::max(rc.largest, std::fabs(rc.curves.back().extremeValue));
    }
}

namespace {

// The drawing styles of the curves, filled from the settings.
DiagramStyle diagramStyle(const ResultCurves& rc, double scale,
                          const attrib::AppSettings* settings) {
    auto on = [&](int flag) { return settings && settings->display[flag] != 0; };
    DiagramStyle st;
    st.kind = rc.kind;
    st.scale = scale;
    st.tensionSide = !settings || settings->signConvention[0] == 1;
    st.endValues = on(attrib::kResultValues);
    st.stepValues = on(attrib::kStepValues);
    st.transversal = on(attrib::kTransversalValues);
    st.signedMoment = on(attrib::kBendingMomentSign);
    st.step = settings ? settings->resultStep : 0;
    st.uniform = !settings || settings->stepMode == 0;
    st.settings = settings;
    return st;
}

InfluenceStyle influenceStyle(const ResultCurves& rc, double scale,
                              const attrib::AppSettings* settings) {
    auto on = [&](int flag) { return settings && settings->display[flag] != 0; };
    InfluenceStyle st;
    st.kind = rc.kind;
    st.scale = scale;
    st.bottomSide = !settings || settings->signConvention[1] == 1;
    st.tensionSide = !settings || settings->signConvention[0] == 1;
    st.sectionValues = on(attrib::kResultValues);
    st.stepValues = on(attrib::kStepValues);
    st.step = settings ? settings->resultStep : 0;
    st.uniform = !settings || settings->stepMode == 0;
    st.section = rc.sectionX;
    st.settings = settings;
    return st;
}

} // namespace

namespace {

// Calls `f(input, curve)` for both curves of every member of the envelope.
template <typename F> void forEachEnvelopeCurve(const Envelope& env, F f) {
    for (std::size_t i = 0; i < env.members.size() && i < env.inputs.size(); ++i) {
        f(env.inputs[i], env.members[i].max);
        f(env.inputs[i], env.members[i].min);
    }
}

bool envelopeDrawn(const ResultDrawing& rd) {
    return rd.envelope && rd.envelope->kind != ResultKind::Deformed &&
           rd.envelope->kind != ResultKind::None;
}

} // namespace

void forEachDrawnPoint(const ResultDrawing& rd, const attrib::AppSettings* settings,
                       const std::function<void(double x, double y)>& add) {
    if (envelopeDrawn(rd)) {
        ResultCurves shape;
        shape.kind = rd.envelope->kind;
        const DiagramStyle st =
            diagramStyle(shape, diagramScale(rd.diagramSize, rd.envelope->largest), settings);
        forEachEnvelopeCurve(*rd.envelope, [&](const MemberInput& m, const MemberCurve& c) {
            const double L = memberLength(m);
            if (!(L > 0)) return;
            const double ex = (m.x2 - m.x1) / L, ey = (m.y2 - m.y1) / L, s = drawnScale(m, st);
            for (const Sample& p : c.pts)
                add(m.x1 + p.x * ex - s * p.f * ey, m.y1 + p.x * ey + s * p.f * ex);
        });
        return;
    }
    const ResultCurves* rc = rd.curves;
    if (!rc || rc->kind == ResultKind::None) return;
    if (rc->influence && !(rc->largest > kInfluenceDrawnAbove)) return;
    const double scale = diagramScale(rd.diagramSize, rc->largest);
    const InfluenceStyle influence = influenceStyle(*rc, scale, settings);
    const DiagramStyle diagram = diagramStyle(*rc, scale, settings);
    const bool deformed = rc->kind == ResultKind::Deformed;
    for (std::size_t i = 0; i < rc->curves.size(); ++i) {
        const MemberInput& m = rc->inputs[i];
        const double L = memberLength(m);
        if (!(L > 0)) continue;
        const double ex = (m.x2 - m.x1) / L, ey = (m.y2 - m.y1) / L;
        const double s = rc->influence ? influenceScale(m, influence)
                         : deformed    ? scale
                                       : drawnScale(m, diagram);
        for (const Sample& p : rc->curves[i].pts) {
            const double x = p.x + (deformed ? s * p.u : 0), y = s * p.f;
            add(m.x1 + x * ex - y * ey, m.y1 + x * ey + y * ex);
        }
    }
}

void drawResults(gfx::Canvas& c, const ResultDrawing& rd, const attrib::AppSettings* settings,
                 const attrib::ColorScheme& cs, const SymbolSizes& sz) {
    auto on = [&](int flag) { return settings && settings->display[flag] != 0; };
    LabelSpace labels;
    if (envelopeDrawn(rd)) {
        // Both curves of every member, each with its end values and its
        // extreme inside the member; step values belong to one loading and
        // are not written.
        ResultCurves shape;
        shape.kind = rd.envelope->kind;
        DiagramStyle st =
            diagramStyle(shape, diagramScale(rd.diagramSize, rd.envelope->largest), settings);
        st.color = roleColor(cs, Role::Diagrams);
        st.labels = &labels;
        st.stepValues = st.transversal = false;
        st.extremeValue = st.endValues;
        forEachEnvelopeCurve(*rd.envelope, [&](const MemberInput& m, const MemberCurve& curve) {
            drawMemberDiagram(c, m, curve, st);
        });
    } else if (const ResultCurves* rc = rd.curves) {
        const double scale = diagramScale(rd.diagramSize, rc->largest);
        const int color = roleColor(cs, Role::Diagrams);
        if (rc->influence) {
            if (rc->largest > kInfluenceDrawnAbove) {
                InfluenceStyle st = influenceStyle(*rc, scale, settings);
                st.color = color;
                st.markSize = sz.support;
                st.labels = &labels;
                for (std::size_t i = 0; i < rc->curves.size(); ++i) {
                    st.holdsSection = static_cast<int>(i) == rc->sectionIndex;
                    drawInfluenceMember(c, rc->inputs[i], rc->curves[i], st);
                }
            }
        } else if (rc->kind == ResultKind::Deformed) {
            for (std::size_t i = 0; i < rc->curves.size(); ++i)
                drawDeformedMember(c, rc->inputs[i], rc->curves[i], scale, color);
        } else if (rc->kind != ResultKind::None) {
            DiagramStyle st = diagramStyle(*rc, scale, settings);
            st.color = color;
            st.labels = &labels;
            for (std::size_t i = 0; i < rc->curves.size(); ++i)
                drawMemberDiagram(c, rc->inputs[i], rc->curves[i], st);
        }
    }
    if (on(attrib::kReactions) && !(rd.curves && rd.curves->influence)) {
        const int color = roleColor(cs, Role::Reactions);
        for (const Reaction& r : rd.reactions)
            drawReaction(c, r, sz, settings, on(attrib::kReactionValues), color, &labels);
    }
}

} // namespace results
