// Outlines of the fourteen section shapes and their picture.
#include "shell/panels/sectionpicture.h"

#include <algorithm>
#include <cmath>

namespace shell {

namespace {

using attrib::Section;
using gfx::Point;
using Outline = std::vector<Point>;

// Picture names by type, in the order of the type's orientation codes.
struct PictureNames {
    const char* names[4];
};
const PictureNames kPictures[attrib::kSectionTypeCount] = {
    {{"secgenericimg"}},
    {{"secrectangleimg"}},
    {{"secishapeimg_north", "secishapeimg_left"}},
    {{"secangleimg_north", "secangleimg_northflip", "secangleimg_right", "secangleimg_rightflip"}},
    {{"sectshapeimg_north", "sectshapeimg_left", "sectshapeimg_south", "sectshapeimg_right"}},
    {{"seccshapeimg_north", "seccshapeimg_left", "seccshapeimg_south", "seccshapeimg_right"}},
    {{"seczshapeimg_north", "seczshapeimg_left", "seczshapeimg_northflip",
      "seczshapeimg_leftflip"}},
    {{"seccircleimg"}},
    {{"secringimg"}},
    {{"secdangleimg_north", "secdangleimg_left", "secdangleimg_south", "secdangleimg_right"}},
    {{"secgirderimg_north", "secgirderimg_left", "secgirderimg_south", "secgirderimg_right"}},
    {{"secboximg"}},
    {{"secishapeimg_north", "secishapeimg_left"}},
    {{"secishapeimg_north", "secishapeimg_left"}},
};

// Typical proportions, used while a section's dimensions are not all set.
const std::vector<double> kTypical[attrib::kSectionTypeCount] = {
    {},
    {0.5, 0.3},
    {0.3, 0.2, 0.02, 0.03},
    {0.2, 0.15, 0.03},
    {0.3, 0.25, 0.03, 0.04},
    {0.3, 0.12, 0.025, 0.03},
    {0.3, 0.15, 0.025},
    {0.3},
    {0.3, 0.04},
    {0.2, 0.12, 0.025, 0.02},
    {0.04, 0.04, 0.3, 0.05, 0.04, 0.3, 0.2, 0.02},
    {0.3, 0.2, 0.025, 0.03},
    {},
    {},
};

Outline rect(double x0, double y0, double x1, double y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

// Whether the dimensions make the shape they describe (every part of
// positive size, thicknesses inside the dimensions they cut).
bool proper(int type, const std::vector<double>& v) {
    // Girder layers may be absent (depth 0); every other dimension must be set.
    for (size_t k = 0; k < v.size(); ++k)
        if (!(v[k] > 0) && !(type == attrib::kSecGirder && k < 5 && v[k] == 0)) return false;
    switch (type) {
    case attrib::kSecIShape:
    case attrib::kSecBox:
        return 2 * v[3] < v[0] && v[2] * (type == attrib::kSecBox ? 2 : 1) < v[1];
    case attrib::kSecTShape:
    case attrib::kSecCShape:
        return v[3] * (type == attrib::kSecCShape ? 2 : 1) < v[0] && v[2] < v[1];
    case attrib::kSecAngle:
    case attrib::kSecDoubleAngle:
        return v[2] < v[0] && v[2] < v[1];
    case attrib::kSecZShape:
        return 2 * v[2] < v[0] && v[2] < v[1];
    case attrib::kSecRing:
        return 2 * v[1] < v[0];
    case attrib::kSecGirder:
        return v[0] + v[1] + v[2] + v[3] + v[4] > 0 && v[5] > 0 && v[6] > 0 && v[7] > 0 &&
               v[7] <= std::min(v[5], v[6]);
    default:
        return true;
    }
}

// The parts of the upright shape (orientation 0), x centred where the shape
// has an axis of symmetry.
std::vector<ShapePart> upright(int type, const std::vector<double>& v) {
    auto part = [](Outline o) { return ShapePart{std::move(o), false, false}; };
    switch (type) {
    case attrib::kSecRectangle:
        return {part(rect(-v[1] / 2, 0, v[1] / 2, v[0]))};
    case attrib::kSecIShape: {
        const double d = v[0], b = v[1] / 2, w = v[2] / 2, tf = v[3];
        return {part({{-b, 0},
                      {b, 0},
                      {b, tf},
                      {w, tf},
                      {w, d - tf},
                      {b, d - tf},
                      {b, d},
                      {-b, d},
                      {-b, d - tf},
                      {-w, d - tf},
                      {-w, tf},
                      {-b, tf}})};
    }
    case attrib::kSecAngle: {
        const double d = v[0], b = v[1], t = v[2];
        return {part({{0, 0}, {b, 0}, {b, t}, {t, t}, {t, d}, {0, d}})};
    }
    case attrib::kSecTShape: {
        const double d = v[0], b = v[1] / 2, w = v[2] / 2, tf = v[3];
        return {part({{-w, 0},
                      {w, 0},
                      {w, d - tf},
                      {b, d - tf},
                      {b, d},
                      {-b, d},
                      {-b, d - tf},
                      {-w, d - tf}})};
    }
    case attrib::kSecCShape: {
        const double d = v[0], b = v[1], tw = v[2], tf = v[3];
        return {
            part({{0, 0}, {b, 0}, {b, tf}, {tw, tf}, {tw, d - tf}, {b, d - tf}, {b, d}, {0, d}})};
    }
    case attrib::kSecZShape: {
        const double d = v[0], b = v[1], t = v[2], h = t / 2;
        return {part({{h - b, 0},
                      {h, 0},
                      {h, d - t},
                      {b - h, d - t},
                      {b - h, d},
                      {-h, d},
                      {-h, t},
                      {h - b, t}})};
    }
    case attrib::kSecCircle:
        return {ShapePart{{{0, v[0] / 2}, {v[0] / 2, 0}}, true, false}};
    case attrib::kSecRing:
        return {ShapePart{{{0, v[0] / 2}, {v[0] / 2, 0}}, true, false},
                ShapePart{{{0, v[0] / 2}, {v[0] / 2 - v[1], 0}}, true, true}};
    case attrib::kSecDoubleAngle: {
        const double d = v[0], b = v[1], t = v[2], h = v[3] / 2;
        return {part({{h, 0}, {h + b, 0}, {h + b, t}, {h + t, t}, {h + t, d}, {h, d}}),
                part({{-h, 0}, {-h, d}, {-h - t, d}, {-h - t, t}, {-h - b, t}, {-h - b, 0}})};
    }
    case attrib::kSecGirder: {
        const double b1 = v[5] / 2, b2 = v[6] / 2, w = v[7] / 2;
        const double y4 = v[4], y3 = y4 + v[3], y2 = y3 + v[2], y1 = y2 + v[1], y0 = y1 + v[0];
        return {part({{-b2, 0},
                      {b2, 0},
                      {b2, y4},
                      {w, y3},
                      {w, y2},
                      {b1, y1},
                      {b1, y0},
                      {-b1, y0},
                      {-b1, y1},
                      {-w, y2},
                      {-w, y3},
                      {-b2, y4}})};
    }
    case attrib::kSecBox: {
        const double d = v[0], b = v[1] / 2, tw = v[2], tf = v[3];
        return {part(rect(-b, 0, b, d)), ShapePart{rect(-b + tw, tf, b - tw, d - tf), false, true}};
    }
    default: // Generic: a plain square standing for any shape
        return {part(rect(-0.15, 0, 0.15, 0.3))};
    }
}

Point turned(Point p, int quarters) {
    for (int k = 0; k < quarters; ++k) p = {-p.y, p.x};
    return p;
}

// The orientation code as a motion of the upright shape: quarter turns
// anticlockwise, mirror images about the vertical axis (x -> -x) and the
// horizontal axis (y -> -y).
Point place(int type, int code, Point p) {
    switch (type) {
    case attrib::kSecAngle:
        return {code & 4 ? -p.x : p.x, code & 3 ? -p.y : p.y};
    case attrib::kSecZShape:
        return turned({code & 4 ? -p.x : p.x, p.y}, code & 1);
    default:
        return turned(p, attrib::admitsOrientation(type, code) ? code : 0);
    }
}

std::vector<double> dimensions(const Section& s, bool& toScale) {
    if (const attrib::CatalogueRow* r = attrib::sectionCatalogueRow(s)) {
        toScale = true;
        return {r->d, r->b, r->tw, r->tf};
    }
    const int type = attrib::validSectionType(s.type) ? s.type : attrib::kSecGeneric;
    std::vector<double> v = s.params;
    v.resize(attrib::sectionType(type).paramCount, 0);
    toScale = type != attrib::kSecGeneric && proper(type, v);
    return toScale ? v : kTypical[type];
}

} // namespace

const char* sectionPictureName(int type, int code) {
    if (!attrib::validSectionType(type)) return "";
    const attrib::SectionType& t = attrib::sectionType(type);
    for (int k = 0; k < t.codeCount; ++k)
        if (t.codes[k] == code) return kPictures[type].names[k];
    return "";
}

std::vector<ShapePart> sectionShape(const Section& s, bool* drawnToScale) {
    bool toScale = false;
    const std::vector<double> v = dimensions(s, toScale);
    if (drawnToScale) *drawnToScale = toScale;
    const int type = s.type == attrib::kSecWelded || s.type == attrib::kSecLight
                         ? attrib::kSecIShape
                         : (attrib::validSectionType(s.type) ? s.type : attrib::kSecGeneric);
    std::vector<ShapePart> parts = upright(type, v);
    // Move every point, then lift the shape so that its bottom fibre is y = 0.
    double ymin = 1e300;
    for (ShapePart& p : parts) {
        if (p.circle) {
            p.outline[0] = place(type, s.orientation, p.outline[0]);
            ymin = std::min(ymin, p.outline[0].y - p.outline[1].x);
            continue;
        }
        for (Point& q : p.outline) {
            q = place(type, s.orientation, q);
            ymin = std::min(ymin, q.y);
        }
    }
    for (ShapePart& p : parts) {
        if (p.circle) {
            p.outline[0].y -= ymin;
            continue;
        }
        for (Point& q : p.outline) q.y -= ymin;
    }
    return parts;
}

void drawSectionPicture(gfx::Canvas& c, const Section& s) {
    constexpr int kBackground = 1, kFill = 14, kOutline = 0, kAxis = 12;
    bool toScale = false;
    const std::vector<ShapePart> parts = sectionShape(s, &toScale);

    // The window: the shape's box with a margin, widened to the canvas's aspect.
    double x0 = 1e300, x1 = -1e300, y0 = 1e300, y1 = -1e300;
    for (const ShapePart& p : parts) {
        if (p.circle) {
            const double r = p.outline[1].x;
            x0 = std::min(x0, p.outline[0].x - r), x1 = std::max(x1, p.outline[0].x + r);
            y0 = std::min(y0, p.outline[0].y - r), y1 = std::max(y1, p.outline[0].y + r);
            continue;
        }
        for (const Point& q : p.outline) {
            x0 = std::min(x0, q.x), x1 = std::max(x1, q.x);
            y0 = std::min(y0, q.y), y1 = std::max(y1, q.y);
        }
    }
    const double w = std::max(x1 - x0, 1e-9), h = std::max(y1 - y0, 1e-9);
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double aspect = c.height() > 0 ? double(c.width()) / c.height() : 1;
    // Half the window width, the shape taking about four fifths of it.
    const double half = std::max(w, h * aspect) * 1.25 / 2;
    c.setWindow(cx - half, cx + half, cy - half / aspect, cy + half / aspect);

    c.setBackground(kBackground);
    c.clear();
    c.setLineStyle(gfx::LineStyle::Continuous);
    c.setLineWidth(1);
    c.setFillStyle(gfx::FillStyle::Solid);
    for (const ShapePart& p : parts) {
        c.setForeground(p.hole ? kBackground : kFill);
        if (p.circle)
            c.sector(p.outline[0].x, p.outline[0].y, p.outline[1].x, 0, 360);
        else
            c.polygon(p.outline);
        c.setForeground(kOutline);
        if (p.circle)
            c.arc(p.outline[0].x, p.outline[0].y, p.outline[1].x, 0, 360);
        else
            c.polyline([&] {
                Outline closed = p.outline;
                closed.push_back(p.outline.front());
                return closed;
            }());
    }
    // The axis through the centroid, where the section's ygc puts it.
    if (toScale && s.type != attrib::kSecGeneric) {
        const double y = attrib::sectionYgc(s);
        c.setForeground(kAxis);
        c.setLineStyle(gfx::LineStyle::DashDot);
        c.line(cx - half * 0.95, y, cx + half * 0.95, y);
        c.setLineStyle(gfx::LineStyle::Continuous);
    }
    c.flush();
}

} // namespace shell
