// Mode shapes as deformed members (see modeshape.h).
#include "results/modeshape.h"

#include <cmath>
#include <cstdio>

namespace results {

void computeModeCurves(ResultCurves& rc, const analysis::Numbering& n,
                       const kestrel::engine::EigenSolution& s, int mode) {
    computeCurves(rc, nullptr, ResultKind::None, 0);
    if (mode < 0 || static_cast<std::size_t>(mode) >= s.modes.size()) return;
    const kestrel::engine::EigenMode& m = s.modes[mode];
    if (m.nodes.size() != 3 * n.nodes.size() || s.pieces.size() != s.element_numbers.size()) return;
    rc.kind = ResultKind::Deformed;
    std::size_t interior = 0; // first value of the element's interior points
    for (std::size_t i = 0; i < s.element_numbers.size(); ++i) {
        const int pieces = std::max(1, s.pieces[i]);
        const std::size_t first = interior;
        interior += 3 * static_cast<std::size_t>(pieces - 1);
        const int number = s.element_numbers[i];
        if (number < 1 || static_cast<std::size_t>(number) > n.members.size() ||
            interior > m.interior.size())
            continue;
        const Edge* e = n.members[number - 1];
        const attrib::NodeAttrib* a1 = attrib::nodeOf(e->he1->vtx);
        const attrib::NodeAttrib* a2 = attrib::nodeOf(e->he2->vtx);
        if (!a1 || !a2 || a1->number < 1 || a2->number < 1) continue;
        MemberInput in = memberInputOf(e);
        const double L = memberLength(in);
        if (!(L > 0)) continue;
        const double ex = (in.x2 - in.x1) / L, ey = (in.y2 - in.y1) / L;
        MemberCurve curve;
        // The global translations of point k of the member in its own axes.
        auto add = [&](int k, const double* d) {
            const double u = d[0] * ex + d[1] * ey, w = -d[0] * ey + d[1] * ex;
            curve.pts.push_back({L * k / pieces, u, w});
            rc.largest = std::max({rc.largest, std::fabs(u), std::fabs(w)});
            if (std::fabs(w) > std::fabs(curve.extremeValue))
                curve.extremeValue = w, curve.extremeX = L * k / pieces;
        };
        add(0, &m.nodes[3 * static_cast<std::size_t>(a1->number - 1)]);
        for (int k = 1; k < pieces; ++k) add(k, &m.interior[first + 3 * (k - 1)]);
        add(pieces, &m.nodes[3 * static_cast<std::size_t>(a2->number - 1)]);
        // The member's end translations as the deformed shape keeps them.
        in.u1 = curve.pts.front().u, in.w1 = curve.pts.front().f;
        in.u2 = curve.pts.back().u, in.w2 = curve.pts.back().f;
        rc.members.push_back(e);
        rc.inputs.push_back(in);
        rc.curves.push_back(std::move(curve));
    }
}

std::string modeText(bool buckling, int mode, int count, double value) {
    char text[128];
    if (buckling)
        std::snprintf(text, sizeof text, "Buckling mode %d of %d: critical load factor %.4f", mode,
                      count, value);
    else
        std::snprintf(text, sizeof text, "Vibration mode %d of %d: %.4f Hz", mode, count, value);
    return text;
}

} // namespace results
