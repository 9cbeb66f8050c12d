// Attribute symbols of the model display: trimming, member bodies, member
// loads, hinges, supports, prescribed displacements and nodal forces.
#include "results/symbols.h"

#include "attrib/cases.h"

#include "attrib/loads.h"
#include "attrib/supports.h"
#include "units/numformat.h"
#include "units/units.h"

#include <algorithm>
#include <cmath>

namespace results {

namespace {

using gfx::Point;
constexpr double kPi = 3.14159265358979323846;

Point add(Point a, Point b, double s = 1) {
    return {a.x + s * b.x, a.y + s * b.y};
}
double length(Point a) {
    return std::hypot(a.x, a.y);
}

// A turned local frame at a point: u along the frame's x axis, v along y.
struct Frame {
    Point o;
    double cs = 1, sn = 0;
    Frame(Point origin, double degrees) : o(origin) {
        cs = std::cos(degrees * kPi / 180);
        sn = std::sin(degrees * kPi / 180);
    }
    Point at(double u, double v) const { return {o.x + u * cs - v * sn, o.y + u * sn + v * cs}; }
};

void line(gfx::Canvas& c, Point a, Point b) {
    c.line(a.x, a.y, b.x, b.y);
}

// Filled arrowhead with its tip at `tip`, pointing along the unit vector d.
void head(gfx::Canvas& c, Point tip, Point d, double len, double width) {
    const Point n{-d.y, d.x};
    const Point base = add(tip, d, -len);
    c.polygon({tip, add(base, n, 0.5 * width), add(base, n, -0.5 * width)});
}

// An alignment that puts a text on the side of `dir` from its point.
gfx::Align alignToward(Point dir) {
    if (std::fabs(dir.x) >= std::fabs(dir.y))
        return dir.x >= 0 ? gfx::Align::CentreLeft : gfx::Align::CentreRight;
    return dir.y >= 0 ? gfx::Align::BottomCentre : gfx::Align::TopCentre;
}

void valueText(const SymbolContext& k, Point at, Point dir, int unitSlot, int formatSlot,
               double value) {
    if (!k.values || !k.settings) return;
    k.c.setTextAlign(alignToward(dir));
    k.c.text(
        at.x, at.y,
        units::textWithUnit(k.settings->units[unitSlot], k.settings->formats[formatSlot], value));
}

double memberAngle(Point a, Point b) {
    return std::atan2(b.y - a.y, b.x - a.x) * 180 / kPi;
}

// ---- Member loads --------------------------------------------------------------

// One component of a distributed load along the member line a-b: values vi at
// a and vj at b along the unit direction d, scaled so that the larger one is
// `h` long. Arrows end on the member; their tails are joined.
void distributedComponent(const SymbolContext& k, Point a, Point b, Point d, double vi, double vj,
                          bool uniform) {
    const double vmax = std::max(std::fabs(vi), std::fabs(vj));
    if (vmax < attrib::kLoadDrawThreshold) return;
    if (std::fabs(vi) < attrib::kLoadDrawThreshold) vi = 0;
    if (std::fabs(vj) < attrib::kLoadDrawThreshold) vj = 0;
    const double h = k.sz.loadHeight, hl = 0.4 * h, hw = hl / 3;
    const Point ab{b.x - a.x, b.y - a.y};
    const double len = length(ab);
    if (len <= 0) return;
    const Point u{ab.x / len, ab.y / len}, n{-u.y, u.x};
    const int spaces = std::clamp(static_cast<int>(std::lround(len / (0.5 * h))), 2, 40);
    const bool along = std::fabs(d.x * n.x + d.y * n.y) < 0.2;
    std::vector<Point> tails;
    for (int i = 0; i <= spaces; ++i) {
        const double t = static_cast<double>(i) / spaces;
        const double v = vi + (vj - vi) * t;
        Point p = add(a, ab, t);
        const double s = v / vmax;
        if (along) {
            // Along the member: short arrows on a line beside it.
            p = add(p, n, 0.35 * h);
            if (v == 0 || i == spaces) continue;
            const Point dir{d.x * (v > 0 ? 1 : -1), d.y * (v > 0 ? 1 : -1)};
            const Point tip = add(p, dir, 0.5 * h * (len / spaces / h));
            line(k.c, p, tip);
            head(k.c, tip, dir, std::min(hl, 0.3 * len / spaces), hw);
            continue;
        }
        const Point tail = add(p, d, -s * h);
        tails.push_back(tail);
        if (v == 0) continue;
        line(k.c, tail, p);
        const double al = std::min(hl, std::fabs(s) * h);
        head(k.c, p, {d.x * (v > 0 ? 1 : -1), d.y * (v > 0 ? 1 : -1)}, al, hw * al / hl);
    }
    if (!along) k.c.polyline(tails);
    const int slot = units::kDistribLoadUnit, fmt = units::kDistribLoadFormat;
    const Point away{-d.x, -d.y};
    if (along) {
        valueText(k, add(add(a, ab, 0.5), n, 0.5 * h), n, slot, fmt, vi);
        if (!uniform) valueText(k, add(add(a, ab, 0.9), n, 0.5 * h), n, slot, fmt, vj);
        return;
    }
    if (uniform) {
        valueText(k, add(add(a, ab, 0.5), d, -std::fabs(h) * (vi >= 0 ? 1.1 : -1.1)),
                  {away.x * (vi >= 0 ? 1 : -1), away.y * (vi >= 0 ? 1 : -1)}, slot, fmt, vi);
        return;
    }
    // Start and end values beyond the first and the last tail, along the member.
    if (vi != 0) valueText(k, add(tails.front(), u, -0.15 * h), {-u.x, -u.y}, slot, fmt, vi);
    if (vj != 0) valueText(k, add(tails.back(), u, 0.15 * h), u, slot, fmt, vj);
}

// A distributed load block (uniform: start = end) along a-b.
void distributedLoad(const SymbolContext& k, Point a, Point b, int direction, double xi, double yi,
                     double xj, double yj, bool uniform) {
    const double len = length({b.x - a.x, b.y - a.y});
    if (len <= 0) return;
    const Point u{(b.x - a.x) / len, (b.y - a.y) / len};
    const Point dx = direction == attrib::kLocal ? u : Point{1, 0};
    const Point dy = direction == attrib::kLocal ? Point{-u.y, u.x} : Point{0, 1};
    distributedComponent(k, a, b, dx, xi, xj, uniform);
    distributedComponent(k, a, b, dy, yi, yj, uniform);
}

// Temperature variation: a dash-dot line beside the member on the side of
// each fibre that changes temperature, with its value.
void thermalLoad(const SymbolContext& k, Point a, Point b, double top, double bottom) {
    if (std::fabs(top) < attrib::kLoadDrawThreshold) top = 0;
    if (std::fabs(bottom) < attrib::kLoadDrawThreshold) bottom = 0;
    if (top == 0 && bottom == 0) return;
    const double len = length({b.x - a.x, b.y - a.y});
    if (len <= 0) return;
    const Point n{-(b.y - a.y) / len, (b.x - a.x) / len};
    const double off = 0.3 * k.sz.loadHeight;
    const gfx::LineStyle style = k.c.lineStyle();
    k.c.setLineStyle(gfx::LineStyle::DashDot);
    for (int side : {1, -1}) {
        const double t = side > 0 ? top : bottom;
        if (t == 0) continue;
        line(k.c, add(a, n, side * off), add(b, n, side * off));
        const Point mid{0.5 * (a.x + b.x), 0.5 * (a.y + b.y)};
        valueText(k, add(mid, n, side * 1.4 * off), {n.x * side, n.y * side},
                  units::kTemperatureUnit, units::kTemperatureFormat, t);
    }
    k.c.setLineStyle(style);
}

// A moment symbol: a half circle of radius r around p from angle a1 with an
// arrowhead showing the sense (counter-clockwise for a positive value).
void momentArc(const SymbolContext& k, Point p, double r, double a1, double value) {
    k.c.arc(p.x, p.y, r, a1, a1 + 180);
    const double end = (value > 0 ? a1 + 180 : a1) * kPi / 180;
    const Point tip{p.x + r * std::cos(end), p.y + r * std::sin(end)};
    const double s = value > 0 ? 1 : -1;
    const Point d{-std::sin(end) * s, std::cos(end) * s};
    head(k.c, tip, d, 0.4 * r, 0.3 * r);
}

void endMoments(const SymbolContext& k, Point a, Point b, double ma, double mb) {
    const double r = k.sz.momentArc, ang = memberAngle(a, b);
    const Point u{(b.x - a.x), (b.y - a.y)};
    const double len = length(u);
    if (len <= 0) return;
    // The arcs open towards the member and sit on the member's ends.
    if (std::fabs(ma) >= attrib::kLoadDrawThreshold) {
        momentArc(k, a, r, ang + 90, ma);
        valueText(k, add(a, u, -1.3 * r / len), {-u.x, -u.y}, units::kMomentUnit,
                  units::kMomentFormat, ma);
    }
    if (std::fabs(mb) >= attrib::kLoadDrawThreshold) {
        momentArc(k, b, r, ang - 90, mb);
        valueText(k, add(b, u, 1.3 * r / len), u, units::kMomentUnit, units::kMomentFormat, mb);
    }
}

// ---- Supports --------------------------------------------------------------------

// Short ground hatch under a line from (-w, y) to (w, y) of the frame.
void ground(gfx::Canvas& c, const Frame& f, double y, double w, double s) {
    line(c, f.at(-w, y), f.at(w, y));
    for (int i = 0; i <= 4; ++i) {
        const double x = -w + 0.25 * s + i * (2 * w - 0.25 * s) / 4;
        line(c, f.at(x, y), f.at(x - 0.25 * s, y - 0.25 * s));
    }
}

void circle(gfx::Canvas& c, Point p, double r) {
    c.arc(p.x, p.y, r, 0, 360);
}

// The symbols, drawn below the node of a frame whose y axis is the restrained
// direction; s is the support size.
void triangle(gfx::Canvas& c, const Frame& f, double s) {
    c.polyline({f.at(0, 0), f.at(-0.5 * s, -0.85 * s), f.at(0.5 * s, -0.85 * s), f.at(0, 0)});
}
void roller(gfx::Canvas& c, const Frame& f, double s) {
    triangle(c, f, s);
    circle(c, f.at(-0.25 * s, -0.97 * s), 0.12 * s);
    circle(c, f.at(0.25 * s, -0.97 * s), 0.12 * s);
    ground(c, f, -1.09 * s, 0.7 * s, s);
}
void pinned(gfx::Canvas& c, const Frame& f, double s) {
    triangle(c, f, s);
    ground(c, f, -0.85 * s, 0.7 * s, s);
}
void fixed(gfx::Canvas& c, const Frame& f, double s) {
    const int w = c.lineWidth();
    c.setLineWidth(2);
    line(c, f.at(-0.8 * s, 0), f.at(0.8 * s, 0));
    c.setLineWidth(w);
    ground(c, f, 0, 0.8 * s, s);
}
void guided(gfx::Canvas& c, const Frame& f, double s) {
    const int w = c.lineWidth();
    c.setLineWidth(2);
    line(c, f.at(-0.5 * s, 0), f.at(0.5 * s, 0));
    c.setLineWidth(w);
    circle(c, f.at(-0.3 * s, -0.14 * s), 0.12 * s);
    circle(c, f.at(0.3 * s, -0.14 * s), 0.12 * s);
    ground(c, f, -0.26 * s, 0.7 * s, s);
}
void spring(gfx::Canvas& c, const Frame& f, double s) {
    std::vector<Point> z{f.at(0, 0), f.at(0, -0.2 * s)};
    for (int i = 1; i <= 7; ++i)
        z.push_back(f.at(i == 7 ? 0 : (i % 2 ? 0.25 : -0.25) * s, -0.2 * s - i * 0.8 * s / 7));
    z.push_back(f.at(0, -1.2 * s));
    c.polyline(z);
    ground(c, f, -1.2 * s, 0.5 * s, s);
}
void rotationalSpring(gfx::Canvas& c, const Frame& f, double s) {
    std::vector<Point> z;
    for (int i = 0; i <= 32; ++i) {
        const double t = i / 32.0, a = -kPi / 2 + 2 * kPi * t, r = s * (0.2 + 0.45 * t);
        z.push_back(f.at(r * std::cos(a), r * std::sin(a)));
    }
    z.push_back(f.at(0, -1.2 * s));
    c.polyline(z);
    ground(c, f, -1.2 * s, 0.5 * s, s);
}

void clampSquare(gfx::Canvas& c, Point p, double side) {
    c.rect(p.x - 0.5 * side, p.y - 0.5 * side, p.x + 0.5 * side, p.y + 0.5 * side);
}

// A prescribed translation: an arrow leaving the node along d, with its value.
void prescribedArrow(const SymbolContext& k, Point p, Point d, double value, int unitSlot,
                     int formatSlot) {
    const double A = k.sz.forceArrow;
    const Point tail = add(p, d, 0.2 * A), tip = add(p, d, A);
    line(k.c, tail, tip);
    head(k.c, tip, d, 0.2 * A, 0.2 * A);
    valueText(k, add(tip, d, 0.05 * A), d, unitSlot, formatSlot, value);
}

} // namespace

// ---- Public pieces ---------------------------------------------------------------

bool loadsVisible(const attrib::AppSettings& s) {
    if (!s.result.on) return s.display[attrib::kLoadWhileEditing] != 0;
    return s.display[attrib::kLoadWithResults] != 0 && !s.result.influence;
}

int rigidHatchStyle(double a) {
    const double m = std::fabs(a);
    if (m <= 22.5 || m > 157.5) return 3;
    if ((a > 22.5 && a <= 67.5) || (a > -157.5 && a <= -112.5)) return 1;
    if ((a > 67.5 && a <= 112.5) || (a > -112.5 && a <= -67.5)) return 2;
    return 0;
}

gfx::FillStyle hatchFill(int style) {
    static constexpr gfx::FillStyle kHatches[4] = {
        gfx::FillStyle::HatchHorizontal, gfx::FillStyle::HatchVertical,
        gfx::FillStyle::HatchDiagonal, gfx::FillStyle::HatchCross};
    return kHatches[std::clamp(style, 0, 3)];
}

bool drawsClampSquare(const attrib::NodeAttrib* a, bool supportsShown) {
    if (!a || !supportsShown || a->support[attrib::kRz] != attrib::kFixed) return false;
    return attrib::hasPrescribed(*a, attrib::activeCase()) ||
           (a->support[attrib::kDx] != attrib::kFixed && a->support[attrib::kDy] != attrib::kFixed);
}

MemberLine trimmedMember(const Edge* e, const SymbolSizes& sz, bool supportsShown) {
    MemberLine m;
    const Vertex* ends[2] = {e->he1->vtx, e->he2->vtx};
    m.pts.push_back({ends[0]->x, ends[0]->y});
    if (e->geometry)
        for (int i = 0; i < e->geometry->count; ++i)
            m.pts.push_back({e->geometry->points[i].x, e->geometry->points[i].y});
    m.pts.push_back({ends[1]->x, ends[1]->y});
    const attrib::MemberAttrib* a = attrib::memberOf(e);
    for (int end = 0; end < 2; ++end) {
        const Vertex* v = ends[end];
        Point& p = end == 0 ? m.pts.front() : m.pts.back();
        const Point q = end == 0 ? m.pts[1] : m.pts[m.pts.size() - 2];
        const double dx = q.x - p.x, dy = q.y - p.y, len = std::hypot(dx, dy);
        if (len <= 0) continue;
        double cut = 0;
        const bool clamp = drawsClampSquare(attrib::nodeOf(v), supportsShown);
        if (clamp) {
            const double big = std::max(std::fabs(dx), std::fabs(dy));
            const double t = std::min(std::fabs(dx), std::fabs(dy)) / big;
            cut += 0.5 * sz.clampSquare * std::sqrt(1 + t * t);
        }
        if (!clamp && attrib::isHingedNode(v, 2))
            cut += 0.5 * sz.hingedNode;
        else if (a && (end == 0 ? a->hingeStart : a->hingeEnd)) {
            cut += sz.endHinge;
            (end == 0 ? m.hinge1 : m.hinge2) = sz.endHinge;
        }
        // Never past the middle of the end segment.
        cut = std::min(cut, 0.45 * len);
        p = {p.x + dx / len * cut, p.y + dy / len * cut};
    }
    return m;
}

void drawMemberLoads(const SymbolContext& k, const Edge* e, const MemberLine& m) {
    const attrib::MemberAttrib* a = attrib::memberOf(e);
    if (!k.loads || !a || m.pts.size() < 2) return;
    k.c.setForeground(roleColor(k.cs, Role::MemberLoads));
    k.c.setLineWidth(1);
    const Point p1 = m.pts.front(), p2 = m.pts.back();
    using namespace attrib;
    const int loadCase = activeCase();
    if (const ValueBlock* t = valuesOf(loadBlock(*a, kThermal, loadCase)))
        thermalLoad(k, p1, p2, t->values[kTyTop], t->values[kTyBottom]);
    if (const ValueBlock* q = valuesOf(loadBlock(*a, kUniform, loadCase));
        q && !loadIsNegligible(*q, kUlf))
        distributedLoad(k, p1, p2, q->direction, q->values[kQx], q->values[kQy], q->values[kQx],
                        q->values[kQy], true);
    if (const ValueBlock* q = valuesOf(loadBlock(*a, kLinear, loadCase));
        q && !loadIsNegligible(*q, kLlf))
        distributedLoad(k, p1, p2, q->direction, q->values[kPxi], q->values[kPyi], q->values[kPxj],
                        q->values[kPyj], false);
    if (const ValueBlock* mb = valuesOf(loadBlock(*a, kEndMoments, loadCase)))
        endMoments(k, p1, p2, mb->values[kMa], mb->values[kMb]);
    // The self-weight of the case: a global uniform load drawn dashed, told
    // apart from the typed loads, and stacked above a typed distributed load
    // so that neither hides the other's arrows and value.
    if (const double w = selfWeightLoad(root(), *a, loadCase); w != 0) {
        const bool typed = loadBlock(*a, kUniform, loadCase) || loadBlock(*a, kLinear, loadCase);
        const double lift = typed ? 1.6 * k.sz.loadHeight : 0;
        const gfx::LineStyle style = k.c.lineStyle();
        k.c.setLineStyle(gfx::LineStyle::Dashed);
        distributedLoad(k, {p1.x, p1.y + lift}, {p2.x, p2.y + lift}, kGlobal, 0, -w, 0, -w, true);
        k.c.setLineStyle(style);
    }
}

void drawMemberBody(const SymbolContext& k, const Edge* e, const MemberLine& m, int color) {
    const attrib::MemberAttrib* a = attrib::memberOf(e);
    gfx::Canvas& c = k.c;
    c.setForeground(color);
    if (a && a->rigid && m.pts.size() >= 2) {
        const double w = 0.5 * k.sz.rigidBand;
        const gfx::FillStyle fill = c.fillStyle();
        // One band per segment, hatched by the member's angle.
        const double ang = memberAngle(m.pts.front(), m.pts.back());
        c.setFillStyle(hatchFill(rigidHatchStyle(ang)));
        c.setLineWidth(2);
        for (std::size_t i = 0; i + 1 < m.pts.size(); ++i) {
            const Point p = m.pts[i], q = m.pts[i + 1];
            const double len = length({q.x - p.x, q.y - p.y});
            if (len <= 0) continue;
            const Point n{-(q.y - p.y) / len * w, (q.x - p.x) / len * w};
            const std::vector<Point> band{add(p, n), add(q, n), add(q, n, -1), add(p, n, -1)};
            c.polygon(band);
            c.polyline({band[0], band[1], band[2], band[3], band[0]});
        }
        c.setFillStyle(fill);
        c.setLineWidth(1);
        if (k.resultMode) c.polyline(m.pts);
        return;
    }
    c.setLineWidth(a && a->noAxial ? 2 : 1);
    c.polyline(m.pts);
    c.setLineWidth(1);
}

void drawHinges(const SymbolContext& k, const Vertex* v, int color) {
    const std::vector<Edge*> at = attrib::membersAt(v);
    if (at.empty()) return;
    k.c.setForeground(color);
    k.c.setLineWidth(1);
    const bool clamp = drawsClampSquare(attrib::nodeOf(v), k.supports);
    if (!clamp && attrib::isHingedNode(v, 2)) {
        circle(k.c, {v->x, v->y}, 0.5 * k.sz.hingedNode);
        return;
    }
    for (const Edge* e : at) {
        if (!attrib::hingeAt(e, v)) continue;
        const MemberLine m = trimmedMember(e, k.sz, k.supports);
        const bool start = e->he1->vtx == v;
        const Point p = start ? m.pts.front() : m.pts.back();
        const Point q = start ? m.pts[1] : m.pts[m.pts.size() - 2];
        const double len = length({q.x - p.x, q.y - p.y});
        const double r = 0.5 * (start ? m.hinge1 : m.hinge2);
        if (len <= 0 || r <= 0) continue;
        // The circle fills the gap between the trimmed end and the node side.
        circle(k.c, add(p, {(p.x - q.x) / len, (p.y - q.y) / len}, r), r);
    }
}

void drawSupport(const SymbolContext& k, const Vertex* v) {
    using namespace attrib;
    const NodeAttrib* a = nodeOf(v);
    if (!k.supports || !a || !hasSupport(*a)) return;
    gfx::Canvas& c = k.c;
    c.setForeground(roleColor(k.cs, Role::Supports));
    c.setLineWidth(1);
    const double s = k.sz.support;
    const Point p{v->x, v->y};
    const Frame up(p, a->inclination), side(p, a->inclination - 90);
    const bool fx = a->support[kDx] == kFixed, fy = a->support[kDy] == kFixed,
               fz = a->support[kRz] == kFixed;
    const SupportState st = supportOf(*a);
    if (st.prescribed && !hasSpring(st)) {
        if (fx) roller(c, side, s);
        if (fy) roller(c, up, s);
        if (fz) clampSquare(c, p, k.sz.clampSquare);
        c.setForeground(roleColor(k.cs, Role::PrescribedDisplacements));
        const double dx = st.values[kDx], dy = st.values[kDy], rz = st.values[kRz];
        if (fx && dx != 0)
            prescribedArrow(k, p, {up.cs * (dx > 0 ? 1 : -1), up.sn * (dx > 0 ? 1 : -1)}, dx,
                            units::kDisplacementUnit, units::kDisplacementFormat);
        if (fy && dy != 0)
            prescribedArrow(k, p, {-up.sn * (dy > 0 ? 1 : -1), up.cs * (dy > 0 ? 1 : -1)}, dy,
                            units::kDisplacementUnit, units::kDisplacementFormat);
        if (fz && rz != 0) {
            momentArc(k, p, 1.3 * k.sz.momentArc, 90, rz);
            valueText(k, {p.x - 1.5 * k.sz.momentArc, p.y}, {-1, 0}, units::kRotationUnit,
                      units::kRotationFormat, rz);
        }
        return;
    }
    if (!hasSpring(st)) {
        if (fx && fy && fz)
            fixed(c, up, s);
        else if (fx && fy)
            pinned(c, up, s);
        else if (fz && fy)
            guided(c, up, s);
        else if (fz && fx)
            guided(c, side, s);
        else if (fy)
            roller(c, up, s);
        else if (fx)
            roller(c, side, s);
        else if (fz)
            clampSquare(c, p, k.sz.clampSquare);
        return;
    }
    // With springs every direction is drawn by itself.
    if (fx && fy)
        pinned(c, up, s);
    else if (fz && (fx || fy))
        guided(c, fy ? up : side, s);
    else if (fy)
        roller(c, up, s);
    else if (fx)
        roller(c, side, s);
    if (fz && !fx && !fy) clampSquare(c, p, k.sz.clampSquare);
    const int tslot = units::kTranslatSpringUnit, tfmt = units::kTranslatSpringFormat;
    if (a->support[kDx] == kSpring) {
        spring(c, side, s);
        valueText(k, side.at(0.35 * s, -0.7 * s), {side.cs, side.sn}, tslot, tfmt, a->spring[kDx]);
    }
    if (a->support[kDy] == kSpring) {
        spring(c, up, s);
        valueText(k, up.at(0.35 * s, -0.7 * s), {up.cs, up.sn}, tslot, tfmt, a->spring[kDy]);
    }
    if (a->support[kRz] == kSpring) {
        rotationalSpring(c, up, s);
        valueText(k, up.at(0.75 * s, 0.2 * s), {up.cs, up.sn}, units::kRotationSpringUnit,
                  units::kRotationSpringFormat, a->spring[kRz]);
    }
}

void drawNodalForce(const SymbolContext& k, const Vertex* v) {
    using namespace attrib;
    const NodeAttrib* a = nodeOf(v);
    const ValueBlock* f = a ? valuesOf(nodalForce(*a, activeCase())) : nullptr;
    if (!k.loads || !f) return;
    const double fx = f->values[kFx], fy = f->values[kFy], mz = f->values[kMz];
    if (fx == 0 && fy == 0 && mz == 0) return;
    gfx::Canvas& c = k.c;
    c.setForeground(roleColor(k.cs, Role::NodalForces));
    c.setLineWidth(1);
    const double A = k.sz.forceArrow;
    const Point p{v->x, v->y};
    // The figure of Fx > 0 (pointing +x, ending 0.2 A short of the node),
    // turned to the sense d of each component.
    auto arrow = [&](Point d, double value) {
        const Point n{-d.y, d.x};
        line(c, add(p, d, -A), add(p, d, -0.2 * A));
        const Point tip = add(p, d, -0.2 * A), base = add(p, d, -0.4 * A);
        c.polygon({add(base, n, 0.1 * A), tip, add(base, n, -0.1 * A)});
        valueText(k, add(add(p, d, -0.55 * A), n, -0.05 * A), {-n.x, -n.y}, units::kForceUnit,
                  units::kForceFormat, value);
    };
    if (fx != 0) arrow({fx > 0 ? 1.0 : -1.0, 0}, fx);
    if (fy != 0) arrow({0, fy > 0 ? 1.0 : -1.0}, fy);
    if (mz != 0) {
        const double r = k.sz.momentArc;
        momentArc(k, p, r, -90, mz);
        valueText(k, {p.x + 1.15 * r, p.y + 0.6 * r}, {1, 0}, units::kMomentUnit,
                  units::kMomentFormat, mz);
    }
}

} // namespace results
