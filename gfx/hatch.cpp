// Hatch lines clipped to a polygon by scanning along the rotated axis.
#include "gfx/hatch.h"

#include <algorithm>
#include <cmath>

namespace gfx {

std::vector<Segment> hatchSegments(const std::vector<Point>& px, double angleDeg, double spacing) {
    std::vector<Segment> out;
    if (px.size() < 3 || !(spacing > 0)) return out;
    // Rotate the polygon so that the hatch lines become horizontal (v const):
    // u along the lines, v across them. On the screen y grows downwards, so a
    // counter-clockwise angle has direction (cos, -sin).
    const double a = angleDeg * M_PI / 180.0;
    // Exact axes for the right angles, so that edges along them stay exact.
    auto snap = [](double t) { return std::fabs(t) < 1e-12 ? 0.0 : t; };
    const double dx = snap(std::cos(a)), dy = snap(-std::sin(a));
    auto u = [&](const Point& p) { return p.x * dx + p.y * dy; };
    auto v = [&](const Point& p) { return -p.x * dy + p.y * dx; };
    double vmin = v(px[0]), vmax = vmin;
    for (const Point& p : px) {
        vmin = std::min(vmin, v(p));
        vmax = std::max(vmax, v(p));
    }
    const std::size_t n = px.size();
    std::vector<double> cuts;
    for (double k = std::ceil(vmin / spacing); k * spacing <= vmax; k += 1) {
        const double vl = k * spacing;
        cuts.clear();
        for (std::size_t i = 0; i < n; ++i) {
            const Point& p = px[i];
            const Point& q = px[(i + 1) % n];
            const double vp = v(p), vq = v(q);
            // Half-open rule: an edge counts when the line passes between its
            // ends, lower end included, so vertices are not counted twice.
            if ((vp <= vl && vq > vl) || (vq <= vl && vp > vl)) {
                const double t = (vl - vp) / (vq - vp);
                cuts.push_back(u(p) + t * (u(q) - u(p)));
            }
        }
        std::sort(cuts.begin(), cuts.end());
        for (std::size_t i = 0; i + 1 < cuts.size(); i += 2) {
            auto back = [&](double uu) { return Point{uu * dx - vl * dy, uu * dy + vl * dx}; };
            if (cuts[i + 1] > cuts[i]) out.push_back({back(cuts[i]), back(cuts[i + 1])});
        }
    }
    return out;
}

double arcSpan(double a1, double a2) {
    double span = a2 - a1;
    if (span < 0) span += 360.0 * std::ceil(-span / 360.0);
    if (span > 360) span = 360;
    if (span == 0 && a2 != a1) span = 360;
    return span;
}

std::vector<Point> arcPoints(Point c, double rx, double ry, double a1, double a2) {
    const double span = arcSpan(a1, a2);
    const int steps = std::max(1, static_cast<int>(std::ceil(span / 5.0)));
    std::vector<Point> pts;
    pts.reserve(steps + 1);
    for (int i = 0; i <= steps; ++i) {
        const double a = (a1 + span * i / steps) * M_PI / 180.0;
        pts.push_back({c.x + rx * std::cos(a), c.y - ry * std::sin(a)});
    }
    return pts;
}

std::vector<Point> arcOutline(Point c, double rx, double ry, double a1, double a2, bool filled) {
    std::vector<Point> pts = arcPoints(c, rx, ry, a1, a2);
    if (filled && arcSpan(a1, a2) < 360) pts.insert(pts.begin(), c);
    return pts;
}

std::vector<Segment> markStrokes(MarkKind kind, Point c, double h) {
    const double x = c.x, y = c.y, d = h * 0.7;
    const Segment horizontal{{x - h, y}, {x + h, y}}, vertical{{x, y - h}, {x, y + h}};
    switch (kind) {
    case MarkKind::Plus:
        return {horizontal, vertical};
    case MarkKind::Cross:
        return {{{x - h, y - h}, {x + h, y + h}}, {{x - h, y + h}, {x + h, y - h}}};
    case MarkKind::Star:
        return {horizontal,
                vertical,
                {{x - d, y - d}, {x + d, y + d}},
                {{x - d, y + d}, {x + d, y - d}}};
    default:
        return {};
    }
}

std::vector<Point> markOutline(MarkKind kind, Point c, double h) {
    const double x = c.x, y = c.y;
    switch (kind) {
    case MarkKind::Square:
        return {{x - h, y - h}, {x + h, y - h}, {x + h, y + h}, {x - h, y + h}};
    case MarkKind::Diamond:
        return {{x, y - h}, {x + h, y}, {x, y + h}, {x - h, y}};
    default:
        return {};
    }
}

std::vector<Segment> hatchFor(FillStyle style, const std::vector<Point>& px) {
    switch (style) {
    case FillStyle::Solid:
        return {};
    case FillStyle::HatchHorizontal:
        return hatchSegments(px, 0, kHatchSpacingPx);
    case FillStyle::HatchVertical:
        return hatchSegments(px, 90, kHatchSpacingPx);
    case FillStyle::HatchDiagonal:
        return hatchSegments(px, 45, kHatchSpacingPx);
    case FillStyle::HatchCross: {
        auto h = hatchSegments(px, 0, kHatchSpacingPx);
        auto w = hatchSegments(px, 90, kHatchSpacingPx);
        h.insert(h.end(), w.begin(), w.end());
        return h;
    }
    }
    return {};
}

} // namespace gfx
