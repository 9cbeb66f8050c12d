// World mapping, state and the world-coordinate primitives of the canvas.
#include "gfx/canvas.h"

#include <algorithm>
#include <cmath>

namespace gfx {

const std::array<Rgb, 16>& defaultPalette() {
    static const std::array<Rgb, 16> palette = {{
        {0, 0, 0},
        {255, 255, 255},
        {255, 255, 0},
        {102, 102, 0},
        {0, 255, 0},
        {0, 102, 0},
        {0, 0, 255},
        {0, 0, 123},
        {0, 255, 255},
        {0, 153, 153},
        {255, 0, 255},
        {102, 0, 102},
        {255, 0, 0},
        {102, 0, 0},
        {188, 188, 188},
        {76, 76, 76},
    }};
    return palette;
}

Canvas::Canvas(int widthPx, int heightPx, double widthMm, double heightMm)
    : width_(std::max(widthPx, 1)), height_(std::max(heightPx, 1)), widthMm_(widthMm),
      heightMm_(heightMm), palette_(defaultPalette()) {
    fullViewport();
}

void Canvas::resize(int widthPx, int heightPx, double widthMm, double heightMm) {
    width_ = std::max(widthPx, 1);
    height_ = std::max(heightPx, 1);
    widthMm_ = widthMm;
    heightMm_ = heightMm;
    fullViewport();
}

void Canvas::setWindow(double xmin, double xmax, double ymin, double ymax) {
    wxmin_ = xmin;
    wxmax_ = xmax;
    wymin_ = ymin;
    wymax_ = ymax;
    updateMapping();
}

void Canvas::window(double& xmin, double& xmax, double& ymin, double& ymax) const {
    xmin = wxmin_;
    xmax = wxmax_;
    ymin = wymin_;
    ymax = wymax_;
}

void Canvas::setViewport(int x0, int x1, int y0, int y1) {
    vx0_ = std::min(x0, x1);
    vx1_ = std::max(x0, x1);
    vy0_ = std::min(y0, y1);
    vy1_ = std::max(y0, y1);
    updateMapping();
}

// The window covers the pixel range [vx0, vx1 + 1) across and [vy0, vy1 + 1)
// down, world y growing upwards.
void Canvas::updateMapping() {
    double w = wxmax_ - wxmin_;
    double h = wymax_ - wymin_;
    if (w == 0) w = 1;
    if (h == 0) h = 1;
    sx_ = (vx1_ + 1 - vx0_) / w;
    sy_ = (vy1_ + 1 - vy0_) / h;
    tx_ = vx0_ - wxmin_ * sx_;
    ty_ = vy0_ + wymax_ * sy_;
}

Point Canvas::worldToPixel(double x, double y) const {
    return {tx_ + x * sx_, ty_ - y * sy_};
}

Point Canvas::pixelToWorld(double px, double py) const {
    return {(px - tx_) / sx_, (ty_ - py) / sy_};
}

double Canvas::pixelsToWorldX(double px) const {
    return px / sx_;
}

void Canvas::setPaletteColor(int index, Rgb rgb) {
    if (index >= 0 && index < 16) palette_[index] = rgb;
}

Rgb Canvas::paletteColor(int index) const {
    return index >= 0 && index < 16 ? palette_[index] : palette_[0];
}

void Canvas::setForeground(int index) {
    if (index >= 0 && index < 16) fg_ = index;
}

void Canvas::setBackground(int index) {
    if (index >= 0 && index < 16) bg_ = index;
}

void Canvas::setClip(double xmin, double xmax, double ymin, double ymax) {
    Point a = worldToPixel(xmin, ymin);
    Point b = worldToPixel(xmax, ymax);
    cx0_ = std::min(a.x, b.x);
    cx1_ = std::max(a.x, b.x);
    cy0_ = std::min(a.y, b.y);
    cy1_ = std::max(a.y, b.y);
    clipOn_ = true;
}

void Canvas::clearClip() {
    clipOn_ = false;
}

void Canvas::clipPixels(double& x0, double& y0, double& x1, double& y1) const {
    if (clipOn_) {
        x0 = cx0_;
        y0 = cy0_;
        x1 = cx1_;
        y1 = cy1_;
    } else {
        x0 = vx0_;
        y0 = vy0_;
        x1 = vx1_ + 1;
        y1 = vy1_ + 1;
    }
}

void Canvas::setFont(FontFace face, int sizePt, bool bold, bool italic) {
    face_ = face;
    fontSize_ = sizePt > 0 ? sizePt : 10;
    bold_ = bold;
    italic_ = italic;
}

std::vector<Point> Canvas::toPixels(const std::vector<Point>& w) const {
    std::vector<Point> p;
    p.reserve(w.size());
    for (const Point& q : w) p.push_back(worldToPixel(q.x, q.y));
    return p;
}

void Canvas::clear() {
    world_.clear();
    if (vx0_ == 0 && vy0_ == 0 && vx1_ == width_ - 1 && vy1_ == height_ - 1) {
        drvClear(palette_[bg_]);
        return;
    }
    // A viewport on part of the canvas (a picture on a report page): only it is cleared.
    const int fg = fg_;
    const FillStyle fill = fillStyle_;
    fg_ = bg_;
    fillStyle_ = FillStyle::Solid;
    const double x0 = vx0_, x1 = vx1_ + 1.0, y0 = vy0_, y1 = vy1_ + 1.0;
    drvPolygon({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
    fg_ = fg;
    fillStyle_ = fill;
}

void Canvas::line(double x1, double y1, double x2, double y2) {
    polyline({{x1, y1}, {x2, y2}});
}

void Canvas::polyline(const std::vector<Point>& pts) {
    if (pts.size() < 2) return;
    world_ = pts;
    drvPolyline(toPixels(pts), false);
}

void Canvas::rect(double x1, double y1, double x2, double y2) {
    world_ = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
    drvPolyline(toPixels(world_), true);
}

void Canvas::box(double x1, double y1, double x2, double y2) {
    world_ = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
    drvPolygon(toPixels(world_));
}

void Canvas::polygon(const std::vector<Point>& pts) {
    if (pts.size() < 3) return;
    world_ = pts;
    drvPolygon(toPixels(pts));
}

void Canvas::arc(double xc, double yc, double r, double a1, double a2) {
    world_ = {{xc, yc}, {xc + r, yc}};
    drvArc(worldToPixel(xc, yc), std::fabs(r * sx_), std::fabs(r * sy_), a1, a2, false);
}

void Canvas::sector(double xc, double yc, double r, double a1, double a2) {
    world_ = {{xc, yc}, {xc + r, yc}};
    drvArc(worldToPixel(xc, yc), std::fabs(r * sx_), std::fabs(r * sy_), a1, a2, true);
}

void Canvas::mark(double x, double y, MarkKind kind, int sizePx) {
    world_ = {{x, y}};
    drvMark(worldToPixel(x, y), kind, sizePx);
}

void Canvas::text(double x, double y, const std::string& utf8) {
    world_ = {{x, y}};
    drvText(worldToPixel(x, y), utf8);
}

void Canvas::pixelLine(double x1, double y1, double x2, double y2) {
    world_ = {pixelToWorld(x1, y1), pixelToWorld(x2, y2)};
    drvPolyline({{x1, y1}, {x2, y2}}, false);
}

void Canvas::pixelRect(double x1, double y1, double x2, double y2) {
    std::vector<Point> px = {{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}};
    world_.clear();
    for (const Point& p : px) world_.push_back(pixelToWorld(p.x, p.y));
    drvPolyline(px, true);
}

// Approximation used by drivers that have no font metrics of their own: an
// average glyph is 0.6 em wide, a line 1.2 em high, at 96 pixels per inch.
void Canvas::textSize(const std::string& utf8, int& w, int& h) const {
    double em = fontSize_ * 96.0 / 72.0;
    std::size_t glyphs = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++glyphs;
    w = static_cast<int>(std::lround(glyphs * 0.6 * em));
    h = static_cast<int>(std::lround(1.2 * em));
}

} // namespace gfx
