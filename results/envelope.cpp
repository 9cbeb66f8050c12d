// The envelope of the results over the combinations (see envelope.h).
#include "results/envelope.h"

#include "results/resultset.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace results {

namespace {

constexpr int kPoints = kEnvelopeIntervals + 1;
constexpr ResultKind kKinds[3] = {ResultKind::Axial, ResultKind::Shear, ResultKind::Bending};

// Adds f times the values of `from` that are linear in the loads (end
// forces, end-moment loads, distributed loads, end displacements and
// temperatures) to `to`.
void addScaled(MemberInput& to, const MemberInput& from, double f) {
    to.N1 += f * from.N1, to.V1 += f * from.V1, to.M1 += f * from.M1;
    to.N2 += f * from.N2, to.V2 += f * from.V2, to.M2 += f * from.M2;
    to.Ma += f * from.Ma, to.Mb += f * from.Mb;
    to.qx1 += f * from.qx1, to.qy1 += f * from.qy1, to.qx2 += f * from.qx2, to.qy2 += f * from.qy2;
    to.u1 += f * from.u1, to.w1 += f * from.w1, to.t1 += f * from.t1;
    to.u2 += f * from.u2, to.w2 += f * from.w2, to.t2 += f * from.t2;
    to.tyPlus += f * from.tyPlus, to.tyMinus += f * from.tyMinus;
}

// The same input with every load-linear value 0: geometry and properties.
MemberInput geometryOf(const MemberInput& m) {
    MemberInput g = m;
    addScaled(g, m, -1);
    return g;
}

double samplePosition(double L, int i) {
    return i == kEnvelopeIntervals ? L : L * i / kEnvelopeIntervals;
}

const PatternSums* sumsOf(const std::vector<const PatternSums*>& patterns, int id) {
    for (const PatternSums* p : patterns)
        if (p && p->loadCase() == id) return p;
    return nullptr;
}

// One member's cases and combinations: the input of each case (factor 1),
// and of each combination without its pattern cases (which count through
// their share sums).
struct MemberWork {
    const Edge* edge = nullptr;
    MemberInput geometry;
    double L = 0;
    std::vector<MemberInput> caseInputs;
    std::vector<MemberInput> comboInputs;
    // Per combination, its other cases: (index in the case list, factor).
    std::vector<std::vector<std::pair<std::size_t, double>>> comboCases;
    // Per combination, its pattern cases with sums: (sums, factor).
    std::vector<std::vector<std::pair<const PatternSums*, double>>> comboPatterns;

    MemberWork(const EnvelopeFrame& frame, const std::vector<CaseData>& cases,
               const EnvelopeCombos& combos, const std::vector<const PatternSums*>& patterns,
               std::size_t mi)
        : index(mi) {
        edge = frame.members[mi];
        auto nodeIndex = [&](const Vertex* v) {
            const attrib::NodeAttrib* a = attrib::nodeOf(v);
            return a && a->number > 0 ? static_cast<std::size_t>(a->number - 1) : 0;
        };
        const std::size_t n1 = nodeIndex(edge->he1->vtx), n2 = nodeIndex(edge->he2->vtx);
        caseInputs.reserve(cases.size());
        for (const CaseData& c : cases)
            caseInputs.push_back(memberInputFrom(
                edge, c.loads.empty() ? std::vector{attrib::CaseFactor{c.id, 1}} : c.loads,
                c.endForces + mi * 6, c.displacements + n1 * 3, c.displacements + n2 * 3));
        static constexpr double kZero[6] = {};
        geometry = caseInputs.empty() ? memberInputFrom(edge, {}, kZero, kZero, kZero)
                                      : geometryOf(caseInputs.front());
        L = memberLength(geometry);
        comboInputs.assign(combos.size(), geometry);
        comboPatterns.resize(combos.size());
        comboCases.resize(combos.size());
        for (std::size_t j = 0; j < combos.size(); ++j)
            for (const attrib::CaseFactor& f : combos[j].factors) {
                if (const PatternSums* p = sumsOf(patterns, f.loadCase)) {
                    comboPatterns[j].push_back({p, f.factor});
                    continue;
                }
                for (std::size_t c = 0; c < cases.size(); ++c)
                    if (cases[c].id == f.loadCase) {
                        addScaled(comboInputs[j], caseInputs[c], f.factor);
                        comboCases[j].push_back({c, f.factor});
                    }
            }
    }

    // The loading that governs combination j at sample point i of kind k
    // for the max (or min): its input without pattern, plus the pattern
    // shares picked there.
    MemberInput governing(std::size_t j, int i, int k, bool forMax, double sign,
                          const std::vector<CaseData>& cases) const {
        MemberInput g = comboInputs[j];
        for (const auto& [p, f] : comboPatterns[j]) {
            const bool positive = (sign * f > 0) == forMax;
            const PatternSums::Sum& s = p->sum(index, i, k, positive);
            MemberInput shares = geometry;
            shares.N1 = s.endForces[0], shares.V1 = s.endForces[1], shares.M1 = s.endForces[2];
            shares.N2 = s.endForces[3], shares.V2 = s.endForces[4], shares.M2 = s.endForces[5];
            if (s.ownLoad)
                for (std::size_t c = 0; c < cases.size(); ++c)
                    if (cases[c].id == p->loadCase()) {
                        // The member's own loads of the case, without its end forces.
                        MemberInput own = caseInputs[c];
                        own.N1 = own.V1 = own.M1 = own.N2 = own.V2 = own.M2 = 0;
                        own.u1 = own.w1 = own.t1 = own.u2 = own.w2 = own.t2 = 0;
                        addScaled(shares, own, 1);
                    }
            addScaled(g, shares, f);
        }
        return g;
    }
    std::size_t index = 0; // of the member in the numbering
};

// Fills the three forces of a loading at x into an extreme.
void withForces(EnvelopeValue& v, const MemberInput& g, double x) {
    v.N = valueSign(g, ResultKind::Axial) * ordinate(g, ResultKind::Axial, x);
    v.V = valueSign(g, ResultKind::Shear) * ordinate(g, ResultKind::Shear, x);
    v.M = valueSign(g, ResultKind::Bending) * ordinate(g, ResultKind::Bending, x);
}

struct Best {
    EnvelopeValue v;
    bool set = false;
    void offer(double value, double x, int combo, bool pattern, bool forMax) {
        if (!set || (forMax ? value > v.value : value < v.value)) {
            v.value = value, v.x = x, v.combo = combo, v.pattern = pattern;
            set = true;
        }
    }
};

// The envelope of one member for kind k.
MemberEnvelope memberEnvelope(MemberWork& w, const std::vector<CaseData>& cases,
                              const EnvelopeCombos& combos, int k) {
    MemberEnvelope out;
    const ResultKind kind = kKinds[k];
    const double sign = valueSign(w.geometry, kind), L = w.L;
    // The values of every combination at x, which lies between sample
    // points i and i + 1 at fraction t (the share sums, known at the sample
    // points only, are interpolated between them).
    // Each case's ordinates at the sample points: a combination's are their
    // factored sum (the diagrams are linear in the loads).
    std::vector<double> caseOrdinates(w.caseInputs.size() * kPoints);
    for (std::size_t c = 0; c < w.caseInputs.size(); ++c)
        for (int i = 0; i < kPoints; ++i)
            caseOrdinates[c * kPoints + i] = ordinate(w.caseInputs[c], kind, samplePosition(L, i));
    auto evaluate = [&](double x, int i, double t, Best& mx, Best& mn) {
        for (std::size_t j = 0; j < combos.size(); ++j) {
            double v = 0;
            if (t > 0) {
                v = ordinate(w.comboInputs[j], kind, x);
            } else {
                for (const auto& [c, f] : w.comboCases[j]) v += f * caseOrdinates[c * kPoints + i];
            }
            v *= sign;
            double up = 0, down = 0;
            for (const auto& [p, f] : w.comboPatterns[j]) {
                auto at = [&](bool positive) {
                    const double a = p->sum(w.index, i, k, positive).value;
                    return t > 0 ? a + t * (p->sum(w.index, i + 1, k, positive).value - a) : a;
                };
                const double a = sign * f, pos = at(true), neg = at(false);
                up += a > 0 ? a * pos : a * neg;
                down += a > 0 ? a * neg : a * pos;
            }
            const bool pattern = !w.comboPatterns[j].empty();
            mx.offer(v + up, x, combos[j].id, pattern, true);
            mn.offer(v + down, x, combos[j].id, pattern, false);
        }
    };
    Best maxAt[kPoints], minAt[kPoints];
    for (int i = 0; i < kPoints; ++i) evaluate(samplePosition(L, i), i, 0, maxAt[i], minAt[i]);
    auto comboIndex = [&](int id) {
        for (std::size_t j = 0; j < combos.size(); ++j)
            if (combos[j].id == id) return j;
        return std::size_t{0};
    };
    // The extremes along the member: the sample points, then the exact
    // turning points of each combination's loading (for a patterned one,
    // the loading picked at the best sample point).
    Best maxAlong, minAlong;
    int maxI = 0, minI = 0;
    for (int i = 0; i < kPoints; ++i) {
        if (maxAt[i].set && (!maxAlong.set || maxAt[i].v.value > maxAlong.v.value)) maxI = i;
        if (minAt[i].set && (!minAlong.set || minAt[i].v.value < minAlong.v.value)) minI = i;
        if (maxAt[i].set)
            maxAlong.offer(maxAt[i].v.value, maxAt[i].v.x, maxAt[i].v.combo, maxAt[i].v.pattern,
                           true);
        if (minAt[i].set)
            minAlong.offer(minAt[i].v.value, minAt[i].v.x, minAt[i].v.combo, minAt[i].v.pattern,
                           false);
    }
    for (std::size_t j = 0; j < combos.size() && L > 0; ++j) {
        for (int forMax = 0; forMax < 2; ++forMax) {
            const int i = forMax ? maxI : minI;
            const MemberInput g = w.governing(j, i, k, forMax, sign, cases);
            for (double x : turningPoints(g, kind))
                (forMax ? maxAlong : minAlong)
                    .offer(sign * ordinate(g, kind, x), x, combos[j].id,
                           !w.comboPatterns[j].empty(), forMax);
        }
    }
    // The forces of the governing loading at each extreme.
    auto finish = [&](EnvelopeValue v, bool forMax) {
        const std::size_t j = comboIndex(v.combo);
        int i = static_cast<int>(std::lround(L > 0 ? v.x / L * kEnvelopeIntervals : 0));
        i = std::clamp(i, 0, kEnvelopeIntervals);
        withForces(v, w.governing(j, i, k, forMax, sign, cases), v.x);
        return v;
    };
    if (combos.empty()) return out;
    out.maxEnd[0] = finish(maxAt[0].v, true);
    out.maxEnd[1] = finish(maxAt[kPoints - 1].v, true);
    out.minEnd[0] = finish(minAt[0].v, false);
    out.minEnd[1] = finish(minAt[kPoints - 1].v, false);
    out.maxAlong = finish(maxAlong.v, true);
    out.minAlong = finish(minAlong.v, false);
    // The curves in the drawing's sign, through the sample points and the
    // two extremes along the member (both curves through the same points).
    std::vector<double> extra;
    for (const EnvelopeValue* v : {&out.maxAlong, &out.minAlong})
        if (v->x > 0 && v->x < L && (extra.empty() || extra.front() != v->x)) extra.push_back(v->x);
    std::sort(extra.begin(), extra.end());
    out.max.pts.reserve(kPoints + 4);
    out.min.pts.reserve(kPoints + 4);
    out.max.pts.push_back({0, 0, 0});
    out.min.pts.push_back({0, 0, 0});
    auto put = [&](double x, double hi, double lo) {
        out.max.pts.push_back({x, 0, sign * hi});
        out.min.pts.push_back({x, 0, sign * lo});
    };
    std::size_t e = 0;
    for (int i = 0; i < kPoints; ++i) {
        const double x = samplePosition(L, i);
        for (; e < extra.size() && extra[e] < x; ++e) {
            const double x0 = samplePosition(L, i - 1);
            Best hi, lo;
            evaluate(extra[e], i - 1, (extra[e] - x0) / (x - x0), hi, lo);
            // The exact extreme stands, whatever the interpolated shares say.
            if (extra[e] == out.maxAlong.x) hi.v.value = std::max(hi.v.value, out.maxAlong.value);
            if (extra[e] == out.minAlong.x) lo.v.value = std::min(lo.v.value, out.minAlong.value);
            put(extra[e], hi.v.value, lo.v.value);
        }
        if (e < extra.size() && extra[e] == x) ++e;
        put(x, maxAt[i].v.value, minAt[i].v.value);
    }
    out.max.pts.push_back({L, 0, 0});
    out.min.pts.push_back({L, 0, 0});
    out.max.extremeX = out.maxAlong.x;
    out.max.extremeValue = sign * out.maxAlong.value;
    out.min.extremeX = out.minAlong.x;
    out.min.extremeValue = sign * out.minAlong.value;
    return out;
}

void nodeEnvelope(std::vector<NodeEnvelope>& out, std::size_t count,
                  const std::vector<CaseData>& cases, const EnvelopeCombos& combos,
                  const std::vector<const PatternSums*>& patterns, bool reactions) {
    out.assign(count, NodeEnvelope{});
    for (std::size_t n = 0; n < count; ++n) {
        NodeEnvelope& e = out[n];
        for (int d = 0; d < 3; ++d) {
            e.max[d] = -std::numeric_limits<double>::infinity();
            e.min[d] = std::numeric_limits<double>::infinity();
        }
        for (const attrib::EnvelopeMember& combo : combos) {
            for (int d = 0; d < 3; ++d) {
                double v = 0, up = 0, down = 0;
                for (const attrib::CaseFactor& f : combo.factors) {
                    if (const PatternSums* p = sumsOf(patterns, f.loadCase)) {
                        const double pos =
                            reactions ? p->reactionSum(n, d, true) : p->nodeSum(n, d, true);
                        const double neg =
                            reactions ? p->reactionSum(n, d, false) : p->nodeSum(n, d, false);
                        up += f.factor > 0 ? f.factor * pos : f.factor * neg;
                        down += f.factor > 0 ? f.factor * neg : f.factor * pos;
                        continue;
                    }
                    for (const CaseData& c : cases) {
                        const double* values = reactions ? c.reactions : c.displacements;
                        if (c.id == f.loadCase && values) v += f.factor * values[n * 3 + d];
                    }
                }
                if (v + up > e.max[d]) e.max[d] = v + up, e.maxCombo[d] = combo.id;
                if (v + down < e.min[d]) e.min[d] = v + down, e.minCombo[d] = combo.id;
            }
        }
        if (combos.empty())
            for (int d = 0; d < 3; ++d) e.max[d] = e.min[d] = 0;
    }
}

} // namespace

// ---- Pattern sums -----------------------------------------------------------------

PatternSums::PatternSums(const EnvelopeFrame& frame, int loadCase)
    : frame_(&frame), case_(loadCase) {
    sums_.assign(frame.members.size() * 3 * 2 * kBlock, Sum{});
    whole_.assign(frame.members.size() * 3 * 2, Sum{});
    lengths_.reserve(frame.members.size());
    for (const Edge* e : frame.members)
        lengths_.push_back(
            std::hypot(e->he2->vtx->x - e->he1->vtx->x, e->he2->vtx->y - e->he1->vtx->y));
    nodes_.assign(frame.nodes.size() * 3 * 2, 0.0);
    reactions_.assign(static_cast<std::size_t>(frame.reactions) * 3 * 2, 0.0);
}

// Both signs of a point side by side: a share whose moment changes sign
// on a member writes both at one point.
std::size_t PatternSums::index(std::size_t mi, int k, int i, bool positive) {
    return ((mi * 3 + k) * kBlock + i) * 2 + (positive ? 0 : 1);
}

const PatternSums::Sum& PatternSums::sum(std::size_t mi, int i, int k, bool positive) const {
    finish();
    return sums_[index(mi, k, i, positive)];
}

double PatternSums::nodeSum(std::size_t node, int component, bool positive) const {
    return nodes_[(node * 3 + component) * 2 + (positive ? 0 : 1)];
}

double PatternSums::reactionSum(std::size_t reaction, int component, bool positive) const {
    return reactions_[(reaction * 3 + component) * 2 + (positive ? 0 : 1)];
}

std::size_t PatternSums::bytes() const {
    return sizeof(*this) + (sums_.capacity() + whole_.capacity()) * sizeof(Sum) +
           (nodes_.capacity() + reactions_.capacity() + lengths_.capacity()) * sizeof(double);
}

// Adds (or with sign -1 takes off) a share's values a + b x and its end
// forces to a sum.
void PatternSums::accumulate(Sum& to, double a, double b, const double* ef, double sign) {
    to.value += sign * a, to.slope += sign * b;
    for (int e = 0; e < 6; ++e) to.endForces[e] += sign * ef[e];
}

// The sums at the points of every block: the shares over the whole member,
// then the differences point by point (a share from point c on is added at
// c; one up to point c - 1 is taken off at c). Done once, at the first read.
void PatternSums::finish() const {
    if (finished_) return;
    finished_ = true;
    for (std::size_t mi = 0; mi < frame_->members.size(); ++mi) {
        for (int kp = 0; kp < 6; ++kp) {
            Sum run = whole_[mi * 6 + kp];
            for (int i = 0; i < kPoints; ++i) {
                Sum& s = sums_[index(mi, kp / 2, i, kp % 2 == 0)];
                run.value += s.value, run.slope += s.slope;
                for (int e = 0; e < 6; ++e) run.endForces[e] += s.endForces[e];
                s.value = run.value + run.slope * samplePosition(lengths_[mi], i);
                s.slope = 0;
                std::copy(run.endForces, run.endForces + 6, s.endForces);
            }
        }
    }
    whole_ = {};
}

void PatternSums::add(int member, const double* displacements, const double* endForces,
                      const double* reactions) {
    const EnvelopeFrame& f = *frame_;
    auto put = [](double* pos, double v) {
        if (v > 0)
            pos[0] += v;
        else
            pos[1] += v;
    };
    for (std::size_t n = 0; n < f.nodes.size() * 3; ++n) put(&nodes_[n * 2], displacements[n]);
    if (reactions)
        for (std::size_t r = 0; r < static_cast<std::size_t>(f.reactions) * 3; ++r)
            put(&reactions_[r * 2], reactions[r]);
    for (std::size_t mi = 0; mi < f.members.size(); ++mi) {
        const double* ef = endForces + mi * 6;
        Sum* whole = &whole_[mi * 6];
        if (mi + 1 == static_cast<std::size_t>(member)) {
            // The loaded member's own diagram holds the loads of the share:
            // each sample point on its own.
            static constexpr double kZero[3] = {};
            const MemberInput loaded =
                memberInputFrom(f.members[mi], {attrib::CaseFactor{case_, 1}}, ef, kZero, kZero);
            for (int k = 0; k < 3; ++k)
                for (int i = 0; i < kPoints; ++i) {
                    const double v = ordinate(loaded, kKinds[k], samplePosition(lengths_[mi], i));
                    if (v == 0) continue;
                    accumulate(sums_[index(mi, k, i, v > 0)], v, 0, ef, 1);
                    accumulate(sums_[index(mi, k, i + 1, v > 0)], v, 0, ef, -1);
                    sums_[index(mi, k, i, v > 0)].ownLoad = true;
                }
            continue;
        }
        // Every other member carries end forces only: constant axial and
        // shear forces, a bending moment M1 - V1 x, positive on one side of
        // where it crosses zero. A member the share leaves without end
        // forces adds nothing.
        if (ef[0] == 0 && ef[1] == 0 && ef[2] == 0 && ef[3] == 0 && ef[4] == 0 && ef[5] == 0)
            continue;
        for (int k = 0; k < 2; ++k)
            if (ef[k] != 0) accumulate(whole[k * 2 + (ef[k] > 0 ? 0 : 1)], ef[k], 0, ef, 1);
        const double a = ef[2], b = -ef[1], end = a + b * lengths_[mi];
        if ((a >= 0 && end >= 0) || (a <= 0 && end <= 0)) {
            if (a != 0 || end != 0) accumulate(whole[4 + (a > 0 || end > 0 ? 0 : 1)], a, b, ef, 1);
            continue;
        }
        // The points from c on lie past the zero at x = -a / b and take the
        // sign at the end.
        constexpr int last = kEnvelopeIntervals;
        const int c =
            std::clamp(static_cast<int>(std::floor(-a / b / lengths_[mi] * last)) + 1, 1, last);
        accumulate(whole[4 + (a > 0 ? 0 : 1)], a, b, ef, 1);
        accumulate(sums_[index(mi, 2, c, a > 0)], a, b, ef, -1);
        accumulate(sums_[index(mi, 2, c, end > 0)], a, b, ef, 1);
    }
}

// ---- Its input ----------------------------------------------------------------------

namespace {

void frameOf(EnvelopeInput& in, const analysis::Numbering& n) {
    EnvelopeFrame& f = in.frame;
    if (!f.members.empty() || !f.nodes.empty()) return;
    f.members.assign(n.members.begin(), n.members.end());
    f.nodes.assign(n.nodes.begin(), n.nodes.end());
    in.supports = analysis::supportReactions(
        n, analysis::CaseResults{{}, {}, std::vector<double>(n.members.size() * 6, 0.0)}, {});
    f.reactions = static_cast<int>(in.supports.size());
    in.supportEnds.clear();
    for (std::size_t r = 0; r < in.supports.size(); ++r)
        for (std::size_t m = 0; m < f.members.size(); ++m) {
            const Vertex* v1 = f.members[m]->he1->vtx;
            const Vertex* v2 = f.members[m]->he2->vtx;
            const double L = std::hypot(v2->x - v1->x, v2->y - v1->y);
            const double c = (v2->x - v1->x) / L, s = (v2->y - v1->y) / L;
            if (v1 == in.supports[r].node)
                in.supportEnds.push_back({m, 0, static_cast<int>(r), c, s});
            if (v2 == in.supports[r].node)
                in.supportEnds.push_back({m, 1, static_cast<int>(r), c, s});
        }
}

// The reactions of a member's share, which carries no nodal force: what
// the members take from the supported nodes, as analysis::supportReactions
// gives them (components below 1e-5 and those the support does not carry
// as 0), from the member ends at supported nodes only.
void shareReactions(const EnvelopeInput& in, const double* endForces, std::vector<double>& out) {
    out.assign(in.supports.size() * 3, 0.0);
    for (const EnvelopeInput::SupportEnd& e : in.supportEnds) {
        const double* f = endForces + e.member * 6 + e.end * 3;
        double* r = &out[e.reaction * 3];
        r[0] += f[0] * e.c - f[1] * e.s;
        r[1] += f[0] * e.s + f[1] * e.c;
        r[2] += f[2];
    }
    for (std::size_t i = 0; i < in.supports.size(); ++i) {
        const analysis::Reaction& x = in.supports[i];
        const bool has[3] = {x.hasFx, x.hasFy, x.hasMz};
        for (int k = 0; k < 3; ++k)
            if (!has[k] || std::fabs(out[i * 3 + k]) < 1e-5) out[i * 3 + k] = 0;
    }
}

std::vector<double> flatReactions(const analysis::Numbering& n, const analysis::CaseResults& r,
                                  const std::vector<attrib::CaseFactor>& factors) {
    std::vector<double> out;
    for (const analysis::Reaction& x : analysis::supportReactions(n, r, factors))
        out.insert(out.end(), {x.fx, x.fy, x.mz});
    return out;
}

} // namespace

std::vector<const PatternSums*> EnvelopeInput::patternList() const {
    std::vector<const PatternSums*> out;
    for (const auto& p : patterns) out.push_back(p.get());
    return out;
}

std::size_t EnvelopeInput::patternBytes() const {
    std::size_t bytes = 0;
    for (const auto& p : patterns) bytes += p->bytes();
    return bytes;
}

void clearEnvelopeInput(EnvelopeInput& in) {
    in.patterns.clear();
    in.cases.clear();
    in.reactions.clear();
    in.supports.clear();
    in.supportEnds.clear();
    in.frame = EnvelopeFrame{};
}

void addShare(EnvelopeInput& in, const analysis::Numbering& n, int loadCase, int member,
              const analysis::CaseResults& share) {
    frameOf(in, n);
    PatternSums* sums = nullptr;
    for (const auto& p : in.patterns)
        if (p->loadCase() == loadCase) sums = p.get();
    if (!sums) {
        in.patterns.push_back(std::make_unique<PatternSums>(in.frame, loadCase));
        sums = in.patterns.back().get();
    }
    // Only the nodal share carries the case's nodal forces.
    static thread_local std::vector<double> reactions;
    if (member == 0)
        reactions = flatReactions(n, share, {attrib::CaseFactor{loadCase, 1}});
    else
        shareReactions(in, share.endForces.data(), reactions);
    sums->add(member, share.displacements.data(), share.endForces.data(),
              reactions.size() == static_cast<std::size_t>(in.frame.reactions) * 3
                  ? reactions.data()
                  : nullptr);
}

analysis::RunOptions gatherShares(EnvelopeInput& in, Solid* model,
                                  const attrib::AttributeRoot& root) {
    clearEnvelopeInput(in);
    analysis::RunOptions options;
    if (std::none_of(root.cases.begin(), root.cases.end(),
                     [](const attrib::LoadCase& c) { return c.pattern; }))
        return options;
    // The numbers the run gives the model, taken once at the first share.
    auto numbering = std::make_shared<analysis::Numbering>();
    options.onShare = [&in, model, numbering](int loadCase, int member,
                                              const analysis::CaseResults& share) {
        if (!numbering->model) *numbering = analysis::numberModel(model);
        addShare(in, *numbering, loadCase, member, share);
    };
    return options;
}

void readStoredResults(EnvelopeInput& in, const analysis::StoredResults& s) {
    frameOf(in, s.numbering);
    in.cases.clear();
    in.reactions.clear();
    in.secondOrder = s.secondOrder;
    if (s.secondOrder) in.patterns.clear(); // shares are a linear analysis' own
    // Per entry its results and the factored cases whose loads it carries.
    std::vector<std::pair<const analysis::CaseResults*, std::vector<attrib::CaseFactor>>> all;
    for (const analysis::CaseResults& c : s.cases) all.push_back({&c, {}});
    for (std::size_t i = 0; s.secondOrder && i < s.combinations.size(); ++i)
        all.push_back({&s.combinations[i], i < s.combinationFactors.size()
                                               ? s.combinationFactors[i]
                                               : std::vector<attrib::CaseFactor>{}});
    for (const auto& [c, loads] : all)
        in.reactions.push_back(
            flatReactions(s.numbering, *c,
                          loads.empty() ? std::vector{attrib::CaseFactor{c->loadCase, 1}} : loads));
    for (std::size_t i = 0; i < all.size(); ++i) {
        const analysis::CaseResults& c = *all[i].first;
        in.cases.push_back({c.loadCase, c.displacements.data(), c.endForces.data(),
                            in.reactions[i].data(), all[i].second});
    }
}

EnvelopeCombos envelopeCombos(const EnvelopeInput& in, const attrib::AttributeRoot& root) {
    EnvelopeCombos combos = attrib::envelopeMembers(root);
    if (in.secondOrder)
        for (attrib::EnvelopeMember& m : combos) m.factors = {attrib::CaseFactor{m.id, 1}};
    return combos;
}

// ---- The envelope -------------------------------------------------------------------

void computeEnvelope(Envelope& env, const EnvelopeFrame& frame, const std::vector<CaseData>& cases,
                     const EnvelopeCombos& combos, const std::vector<const PatternSums*>& patterns,
                     ResultKind kind) {
    computeEnvelopes(&env, &kind, 1, frame, cases, combos, patterns);
}

void computeEnvelopes(Envelope* envs, const ResultKind* kinds, int count,
                      const EnvelopeFrame& frame, const std::vector<CaseData>& cases,
                      const EnvelopeCombos& combos,
                      const std::vector<const PatternSums*>& patterns) {
    for (int e = 0; e < count; ++e) {
        Envelope& env = envs[e];
        env = Envelope{};
        env.kind = kinds[e];
        env.inputs.reserve(frame.members.size());
        env.members.reserve(frame.members.size());
    }
    for (std::size_t mi = 0; mi < frame.members.size(); ++mi) {
        MemberWork w(frame, cases, combos, patterns, mi);
        for (int e = 0; e < count; ++e) {
            Envelope& env = envs[e];
            env.inputs.push_back(w.geometry);
            const int k = static_cast<int>(env.kind) - 1;
            if (k < 0 || k > 2) continue;
            env.members.push_back(memberEnvelope(w, cases, combos, k));
            const MemberEnvelope& m = env.members.back();
            env.largest =
                std::max({env.largest, std::fabs(m.maxAlong.value), std::fabs(m.minAlong.value)});
        }
    }
    if (count == 0) return;
    nodeEnvelope(envs[0].displacements, frame.nodes.size(), cases, combos, patterns, false);
    nodeEnvelope(envs[0].reactions, static_cast<std::size_t>(frame.reactions), cases, combos,
                 patterns, true);
}

EnvelopePoint envelopeAt(const EnvelopeFrame& frame, const std::vector<CaseData>& cases,
                         const EnvelopeCombos& combos,
                         const std::vector<const PatternSums*>& patterns, std::size_t mi,
                         double x) {
    EnvelopePoint out;
    if (mi >= frame.members.size() || combos.empty()) return out;
    MemberWork w(frame, cases, combos, patterns, mi);
    const double L = w.L;
    x = std::clamp(x, 0.0, L);
    const bool anyPattern = std::any_of(w.comboPatterns.begin(), w.comboPatterns.end(),
                                        [](const auto& p) { return !p.empty(); });
    int i = static_cast<int>(std::lround(L > 0 ? x / L * kEnvelopeIntervals : 0));
    // The share sums exist only at the sample points.
    if (anyPattern) x = samplePosition(L, i);
    out.x = x;
    for (int k = 0; k < 3; ++k) {
        const double sign = valueSign(w.geometry, kKinds[k]);
        for (int forMax = 0; forMax < 2; ++forMax) {
            Best best;
            std::size_t bestJ = 0;
            for (std::size_t j = 0; j < combos.size(); ++j) {
                const MemberInput g = w.governing(j, i, k, forMax, sign, cases);
                const double v = sign * ordinate(g, kKinds[k], x);
                const bool before = best.set;
                const double old = best.v.value;
                best.offer(v, x, combos[j].id, !w.comboPatterns[j].empty(), forMax);
                if (!before || best.v.value != old) bestJ = j;
            }
            EnvelopeValue v = best.v;
            withForces(v, w.governing(bestJ, i, k, forMax, sign, cases), x);
            (forMax ? out.max : out.min)[k] = v;
        }
    }
    return out;
}

} // namespace results
