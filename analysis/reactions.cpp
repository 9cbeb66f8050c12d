// Support reactions from the member end forces: at a supported node the
// reaction is what the members take from the node less the applied nodal
// force, with the components the support cannot carry dropped.
#include "analysis/analysis.h"

#include "attrib/blocks.h"
#include "attrib/cases.h"

#include <cmath>

namespace analysis {

namespace {

std::vector<Reaction> reactions(const Numbering& n, const double* forces, int stride,
                                const std::vector<attrib::CaseFactor>& factors) {
    std::vector<Reaction> out;
    std::vector<int> index(n.nodes.size() + 1, -1); // node number -> reaction
    for (const Vertex* v : n.nodes) {
        const attrib::NodeAttrib& a = *attrib::nodeOf(v);
        if (a.support[0] == '0' && a.support[1] == '0' && a.support[2] == '0') continue;
        Reaction r;
        r.node = v;
        r.number = a.number;
        for (const attrib::CaseFactor& cf : factors)
            if (const attrib::ValueBlock* f =
                    attrib::valuesOf(attrib::nodalForce(a, cf.loadCase))) {
                r.fx -= cf.factor * f->values[0];
                r.fy -= cf.factor * f->values[1];
                r.mz -= cf.factor * f->values[2];
            }
        index[a.number] = static_cast<int>(out.size());
        out.push_back(r);
    }
    for (std::size_t m = 0; m < n.members.size(); ++m) {
        const Edge* e = n.members[m];
        const Vertex* v1 = e->he1->vtx;
        const Vertex* v2 = e->he2->vtx;
        const double dx = v2->x - v1->x, dy = v2->y - v1->y;
        const double len = std::hypot(dx, dy);
        const double c = dx / len, s = dy / len;
        const double* f = forces + m * stride;
        const double end[2][3] = {{f[0], f[1], f[2]}, {f[3], f[4], f[5]}};
        const Vertex* at[2] = {v1, v2};
        for (int k = 0; k < 2; ++k) {
            const int i = index[attrib::nodeOf(at[k])->number];
            if (i < 0) continue;
            out[i].fx += end[k][0] * c - end[k][1] * s;
            out[i].fy += end[k][0] * s + end[k][1] * c;
            out[i].mz += end[k][2];
        }
    }
    for (Reaction& r : out) {
        const attrib::NodeAttrib& a = *attrib::nodeOf(r.node);
        for (double* c : {&r.fx, &r.fy, &r.mz})
            if (std::fabs(*c) < 1e-5) *c = 0;
        // A direction carries a reaction when it is fixed, or a spring with
        // a stiffness; an inclined support keeps both global force components.
        auto carries = [&](int d) {
            return a.support[d] == '1' || (a.support[d] == '2' && a.spring[d] != 0);
        };
        const bool inclined = a.inclination != 0;
        r.hasFx = inclined ? a.support[0] != '0' || a.support[1] != '0' : carries(0);
        r.hasFy = inclined ? a.support[0] != '0' || a.support[1] != '0' : carries(1);
        r.hasMz = carries(2);
        if (!r.hasFx) r.fx = 0;
        if (!r.hasFy) r.fy = 0;
        if (!r.hasMz) r.mz = 0;
    }
    return out;
}

} // namespace

std::vector<Reaction> supportReactions(const Numbering& n) {
    std::vector<double> forces(n.members.size() * 6);
    for (std::size_t m = 0; m < n.members.size(); ++m) {
        const attrib::MemberAttrib& a = *attrib::memberOf(n.members[m]);
        for (int k = 0; k < 6; ++k) forces[m * 6 + k] = a.results[k];
    }
    return reactions(n, forces.data(), 6, attrib::shownFactors(attrib::root()));
}

std::vector<Reaction> supportReactions(const Numbering& n, const CaseResults& r,
                                       const std::vector<attrib::CaseFactor>& factors) {
    if (r.endForces.size() < n.members.size() * 6) return {};
    return reactions(n, r.endForces.data(), 6, factors);
}

std::vector<Reaction> supportReactions(const Numbering& n, const std::vector<double>& endForces,
                                       int loadCase) {
    // Engine order per member: Fx Fy Fz Mx My Mz of end 1, then end 2; the
    // in-plane values are places 0, 1, 5 and 6, 7, 11.
    std::vector<double> forces(n.members.size() * 6);
    for (std::size_t m = 0; m < n.members.size() && (m + 1) * 12 <= endForces.size(); ++m) {
        const double* f = &endForces[m * 12];
        const double in[6] = {f[0], f[1], f[5], f[6], f[7], f[11]};
        for (int k = 0; k < 6; ++k) forces[m * 6 + k] = in[k];
    }
    return reactions(n, forces.data(), 6, attrib::factorsOf(attrib::root(), loadCase));
}

} // namespace analysis
