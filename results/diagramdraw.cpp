// Drawing of force diagrams, deformed members and reactions (see
// diagramdraw.h).
#include "results/diagramdraw.h"

#include "results/influence.h"
#include "results/inquiry.h"
#include "units/numformat.h"
#include "units/units.h"

#include <algorithm>
#include <cmath>

namespace results {

namespace {

using gfx::Point;
constexpr double kPi = 3.14159265358979323846;
constexpr int kGapPx = 3; // between a diagram point and its value
constexpr int kCellBuckets = 4096;

// The member's local frame: origin at end 1, unit vectors along and across.
struct Local {
    Point o, ex, ey;
    explicit Local(const MemberInput& m) : o{m.x1, m.y1} {
        const double L = memberLength(m);
        ex = L > 0 ? Point{(m.x2 - m.x1) / L, (m.y2 - m.y1) / L} : Point{1, 0};
        ey = {-ex.y, ex.x};
    }
    Point at(double x, double y) const {
        return {o.x + x * ex.x + y * ey.x, o.y + x * ex.y + y * ey.y};
    }
};

gfx::Align alignToward(Point dir) {
    if (std::fabs(dir.x) >= std::fabs(dir.y))
        return dir.x >= 0 ? gfx::Align::CentreLeft : gfx::Align::CentreRight;
    return dir.y >= 0 ? gfx::Align::BottomCentre : gfx::Align::TopCentre;
}

// Writes a label on the side `dir` of a world point, unless its box would
// overlap a label already written in this pass.
void label(gfx::Canvas& c, LabelSpace* space, Point at, Point dir, const std::string& text) {
    const gfx::Align a = alignToward(dir);
    if (space) {
        // The box is the facade's estimate from the glyph count, not the
        // driver's exact measure: close enough to keep labels apart, and
        // far cheaper on a dense frame where most labels are left out.
        int w = 0, h = 0;
        c.gfx::Canvas::textSize(text, w, h);
        const Point p = c.worldToPixel(at.x, at.y);
        double x0 = p.x, y0 = p.y - h / 2.0;
        switch (a) {
        case gfx::Align::CentreRight:
            x0 = p.x - w;
            break;
        case gfx::Align::BottomCentre:
            x0 = p.x - w / 2.0, y0 = p.y - h;
            break;
        case gfx::Align::TopCentre:
            x0 = p.x - w / 2.0, y0 = p.y;
            break;
        default:
            break;
        }
        if (!space->take(x0, y0, x0 + w, y0 + h)) return;
    }
    c.setTextAlign(a);
    c.text(at.x, at.y, text);
}

int unitOf(ResultKind k) {
    return k == ResultKind::Bending    ? units::kMomentUnit
           : k == ResultKind::Deformed ? units::kDisplacementUnit
                                       : units::kForceUnit;
}
int formatOf(ResultKind k) {
    return k == ResultKind::Bending    ? units::kMomentFormat
           : k == ResultKind::Deformed ? units::kDisplacementFormat
                                       : units::kForceFormat;
}

int bucketOf(int i, int j) {
    return static_cast<int>(
        (static_cast<unsigned>(i) * 73856093u ^ static_cast<unsigned>(j) * 19349663u) %
        kCellBuckets);
}

} // namespace

bool LabelSpace::covers(double x, double y) const {
    if (cells_.empty()) return false;
    for (int k : cells_[bucketOf(static_cast<int>(std::floor(x / kCell)),
                                 static_cast<int>(std::floor(y / kCell)))]) {
        const Box& b = boxes_[k];
        if (x >= b.x0 && x <= b.x1 && y >= b.y0 && y <= b.y1) return true;
    }
    return false;
}

bool LabelSpace::take(double x0, double y0, double x1, double y1) {
    if (cells_.empty()) cells_.resize(kCellBuckets);
    const int cx0 = static_cast<int>(std::floor(x0 / kCell)),
              cx1 = static_cast<int>(std::floor(x1 / kCell));
    const int cy0 = static_cast<int>(std::floor(y0 / kCell)),
              cy1 = static_cast<int>(std::floor(y1 / kCell));
    auto bucket = [](int i, int j) { return bucketOf(i, j); };
    for (int i = cx0; i <= cx1; ++i)
        for (int j = cy0; j <= cy1; ++j)
            for (int k : cells_[bucket(i, j)]) {
                const Box& b = boxes_[k];
                if (x0 < b.x1 && b.x0 < x1 && y0 < b.y1 && b.y0 < y1) return false;
            }
    const int id = static_cast<int>(boxes_.size());
    boxes_.push_back({x0, y0, x1, y1});
    for (int i = cx0; i <= cx1; ++i)
        for (int j = cy0; j <= cy1; ++j) cells_[bucket(i, j)].push_back(id);
    return true;
}

void LabelSpace::clear() {
    boxes_.clear();
    for (auto& cell : cells_) cell.clear();
}

double drawnScale(const MemberInput& m, const DiagramStyle& st) {
    const bool l2r = readsLeftToRight(m.x1, m.y1, m.x2, m.y2);
    double s = std::fabs(st.scale);
    switch (st.kind) {
    case ResultKind::Axial:
        return l2r ? -s : s;
    case ResultKind::Shear:
        return l2r ? s : -s;
    case ResultKind::Bending:
        return st.tensionSide ? s : -s;
    default:
        return s;
    }
}

std::vector<int> drawnPoints(const MemberCurve& c, int maxPoints) {
    const int n = static_cast<int>(c.pts.size());
    maxPoints = std::clamp(maxPoints, 4, kMaxDrawnPoints);
    std::vector<int> idx;
    if (n <= maxPoints) {
        for (int i = 0; i < n; ++i) idx.push_back(i);
        return idx;
    }
    int ext = -1;
    for (int i = 0; i < n; ++i)
        if (c.pts[i].x == c.extremeX && c.pts[i].f == c.extremeValue) {
            ext = i;
            break;
        }
    // The first and last points, and evenly spaced ones from the second to
    // the last but one (the end ordinates of a force diagram).
    const int inner = maxPoints - 2;
    idx.push_back(0);
    for (int k = 0; k < inner; ++k)
        idx.push_back(1 + static_cast<int>(static_cast<long long>(k) * (n - 3) / (inner - 1)));
    idx.push_back(n - 1);
    // The extreme replaces its nearest thinned neighbour so the peak is drawn.
    auto it = std::lower_bound(idx.begin(), idx.end(), ext);
    if (ext > 1 && ext < n - 2 && it != idx.end() && *it != ext) *it = ext;
    return idx;
}

std::string valueText(const attrib::AppSettings& s, ResultKind kind, double value) {
    return units::textWithUnit(s.units[unitOf(kind)], s.formats[formatOf(kind)], value);
}

namespace {

// The outline of a sampled curve with the ordinates scaled by s: one
// polyline, with the closing line from the member to the first ordinate
// when that is not 0, and likewise at the end.
void drawOutline(gfx::Canvas& c, const MemberInput& m, const MemberCurve& curve, double s) {
    const int n = static_cast<int>(curve.pts.size());
    const Local f(m);
    // About one point every two pixels of the member's drawn length.
    const double perPx = c.pixelsToWorldX(1);
    const int budget = perPx > 0 ? static_cast<int>(std::min(1e6, memberLength(m) / perPx / 2)) + 4
                                 : kMaxDrawnPoints;
    const std::vector<int> idx = drawnPoints(curve, budget);
    std::vector<Point> outline;
    outline.reserve(idx.size() + 2);
    if (curve.pts[1].f != 0) outline.push_back({m.x1, m.y1});
    for (int i : idx)
        if (i != 0 && i != n - 1) outline.push_back(f.at(curve.pts[i].x, s * curve.pts[i].f));
    if (curve.pts[n - 2].f != 0) outline.push_back({m.x2, m.y2});
    c.polyline(outline);
}

// A value written beyond the curve point at x (offset `off` across the
// member) on the side the curve is drawn, unless a label is already there.
void curveValue(gfx::Canvas& c, const MemberInput& m, LabelSpace* labels, double x, double off,
                const std::string& text) {
    const Local f(m);
    const double side = off >= 0 ? 1 : -1;
    const Point p = f.at(x, off + side * c.pixelsToWorldX(kGapPx));
    if (labels) {
        const Point px = c.worldToPixel(p.x, p.y);
        if (labels->covers(px.x, px.y)) return;
    }
    label(c, labels, p, {side * f.ey.x, side * f.ey.y}, text);
}

void startCurve(gfx::Canvas& c, int color) {
    c.setForeground(color);
    c.setLineStyle(gfx::LineStyle::Continuous);
    c.setLineWidth(1);
}

} // namespace

void drawMemberDiagram(gfx::Canvas& c, const MemberInput& m, const MemberCurve& curve,
                       const DiagramStyle& st) {
    const int n = static_cast<int>(curve.pts.size());
    if (n < 3) return;
    const Local f(m);
    const double s = drawnScale(m, st);
    startCurve(c, st.color);
    drawOutline(c, m, curve, s);
    const Sample& first = curve.pts[1];
    const Sample& last = curve.pts[n - 2];

    const bool moment = st.kind == ResultKind::Bending;
    // Zero values lie on the member and are not written.
    auto value = [&](double x, double ordinate, double shown) {
        if (shown == 0 || !st.settings) return;
        curveValue(c, m, st.labels, x, s * ordinate,
                   valueText(*st.settings, st.kind,
                             moment && !st.signedMoment ? std::fabs(shown) : shown));
    };

    const double sign = valueSign(m, st.kind);
    std::vector<StepValue> steps;
    if (st.stepValues || st.transversal) steps = stepValues(m, st.kind, st.step, st.uniform);
    if (st.transversal)
        for (const StepValue& v : steps) {
            const double o = s * ordinate(m, st.kind, v.x);
            if (o == 0) continue;
            const Point a = f.at(v.x, 0), b = f.at(v.x, o);
            c.line(a.x, a.y, b.x, b.y);
        }
    if (st.endValues || (st.stepValues && !steps.empty())) {
        auto shown = [](double v) { return std::fabs(v) < 0.005 ? 0.0 : v; };
        value(0, first.f, shown(sign * first.f));
        value(memberLength(m), last.f, shown(sign * last.f));
    }
    if (st.stepValues && steps.size() > 2)
        for (std::size_t i = 1; i + 1 < steps.size(); ++i)
            value(steps[i].x, ordinate(m, st.kind, steps[i].x), steps[i].value);
    const double L = memberLength(m);
    if (st.extremeValue && curve.extremeX > 1e-6 * L && curve.extremeX < (1 - 1e-6) * L &&
        std::fabs(curve.extremeValue) >= 0.005)
        value(curve.extremeX, curve.extremeValue, sign * curve.extremeValue);
}

double influenceScale(const MemberInput& m, const InfluenceStyle& st) {
    double s = std::fabs(st.scale);
    if (readsLeftToRight(m.x1, m.y1, m.x2, m.y2)) s = -s;
    if (!st.bottomSide && (st.kind != ResultKind::Bending || !st.tensionSide)) s = -s;
    return s;
}

void drawInfluenceMember(gfx::Canvas& c, const MemberInput& m, const MemberCurve& curve,
                         const InfluenceStyle& st) {
    if (curve.pts.size() < 3) return;
    const double s = influenceScale(m, st);
    startCurve(c, st.color);
    drawOutline(c, m, curve, s);
    if (st.holdsSection) {
        // The section mark: a thick stroke across the member.
        const Local f(m);
        const Point a = f.at(st.section, -st.markSize), b = f.at(st.section, st.markSize);
        c.setLineWidth(3);
        c.line(a.x, a.y, b.x, b.y);
        c.setLineWidth(1);
    }
    if (!st.settings) return;
    // Values below 0.005 in magnitude are not written, as for step values:
    // on a line that is zero there, the result file's rounding would
    // otherwise show as "0.00" beside the member.
    auto value = [&](double x, double v) {
        if (std::fabs(v) >= 0.005)
            curveValue(c, m, st.labels, x, s * v,
                       influenceValueText(*st.settings, st.kind, v, true));
    };
    if (st.holdsSection && st.sectionValues) {
        // Both sides of the section: the jump of axial and shear lines shows
        // as two values.
        const double a = st.section, L = memberLength(m);
        if (a > 1e-5) value(a, sectionOrdinate(m, st.kind, a, a, false));
        if (a < L - 1e-5) value(a, sectionOrdinate(m, st.kind, a, a, true));
    }
    if (st.stepValues)
        for (const StepValue& v :
             influenceStepValues(m, st.kind, st.holdsSection, st.section, st.step, st.uniform))
            value(v.x, v.value);
}

void drawDeformedMember(gfx::Canvas& c, const MemberInput& m, const MemberCurve& curve,
                        double scale, int color) {
    if (curve.pts.size() < 2) return;
    const Local f(m);
    std::vector<Point> pts;
    const double perPx = c.pixelsToWorldX(1);
    const int budget = perPx > 0 ? static_cast<int>(std::min(1e6, memberLength(m) / perPx / 2)) + 4
                                 : kMaxDrawnPoints;
    for (int i : drawnPoints(curve, budget)) {
        const Sample& p = curve.pts[i];
        pts.push_back(f.at(p.x + scale * p.u, scale * p.f));
    }
    c.setForeground(color);
    c.setLineStyle(gfx::LineStyle::Continuous);
    c.setLineWidth(2);
    c.polyline(pts);
    c.setLineWidth(1);
}

void drawReaction(gfx::Canvas& c, const Reaction& r, const SymbolSizes& sz,
                  const attrib::AppSettings* settings, bool values, int color, LabelSpace* labels) {
    c.setForeground(color);
    c.setLineStyle(gfx::LineStyle::Continuous);
    c.setLineWidth(2);
    const double len = sz.forceArrow, gap = 1.2 * sz.support, headLen = 0.3 * len;
    // A force arrow pointing along the reaction, its tip just clear of the
    // support symbol, so that it reads as the support pushing on the node.
    // The text of a component: its magnitude, or for a range the largest
    // and smallest values along the arrow.
    auto text = [&](double v, double lo, int unit, int format) {
        const int u = settings->units[unit], f = settings->formats[format];
        if (!r.range) return units::textWithUnit(u, f, std::fabs(v));
        const double s = std::fabs(v) >= std::fabs(lo) ? (v < 0 ? -1 : 1) : (lo < 0 ? -1 : 1);
        const double a = s > 0 ? v : -lo, b = s > 0 ? lo : -v;
        return units::textWithUnit(u, f, a) + " / " + units::textWithUnit(u, f, b);
    };
    // The arrow of a range follows the component of larger magnitude.
    auto along = [&](double v, double lo) {
        return r.range && std::fabs(lo) > std::fabs(v) ? lo : v;
    };
    auto force = [&](double v, double lo, Point axis) {
        const double a = along(v, lo);
        if (a == 0) return;
        const Point d{a > 0 ? axis.x : -axis.x, a > 0 ? axis.y : -axis.y};
        const Point tip{r.x - d.x * gap, r.y - d.y * gap};
        const Point tail{tip.x - d.x * len, tip.y - d.y * len};
        c.line(tail.x, tail.y, tip.x, tip.y);
        const Point n{-d.y, d.x}, base{tip.x - d.x * headLen, tip.y - d.y * headLen};
        c.polygon({tip,
                   {base.x + n.x * 0.4 * headLen, base.y + n.y * 0.4 * headLen},
                   {base.x - n.x * 0.4 * headLen, base.y - n.y * 0.4 * headLen}});
        if (values && settings)
            label(c, labels, {tail.x - d.x * 0.1 * len, tail.y - d.y * 0.1 * len}, {-d.x, -d.y},
                  text(v, lo, units::kForceUnit, units::kForceFormat));
    };
    if (r.showX) force(r.rx, r.minX, {1, 0});
    if (r.showY) force(r.ry, r.minY, {0, 1});
    const double mz = along(r.mz, r.minM);
    if (r.showM && mz != 0) {
        // Three quarters of a circle, the head showing the sense
        // (anticlockwise positive).
        const double rad = 1.6 * sz.momentArc;
        const double a1 = 45, a2 = 315;
        c.arc(r.x, r.y, rad, a1, a2);
        const double at = (mz > 0 ? a2 : a1) * kPi / 180;
        const Point tip{r.x + rad * std::cos(at), r.y + rad * std::sin(at)};
        const Point d =
            mz > 0 ? Point{-std::sin(at), std::cos(at)} : Point{std::sin(at), -std::cos(at)};
        const double hl = 0.5 * rad;
        const Point n{-d.y, d.x}, base{tip.x - d.x * hl, tip.y - d.y * hl};
        c.polygon({tip,
                   {base.x + n.x * 0.4 * hl, base.y + n.y * 0.4 * hl},
                   {base.x - n.x * 0.4 * hl, base.y - n.y * 0.4 * hl}});
        if (values && settings)
            label(c, labels, {r.x + 1.15 * rad, r.y + 0.7 * rad}, {1, 0},
                  text(r.mz, r.minM, units::kMomentUnit, units::kMomentFormat));
    }
    c.setLineWidth(1);
}

} // namespace results
