// Binary CGM writer. Each element is a 16-bit header (class, id, parameter
// length; a long form for 31 bytes and more) followed by its parameters,
// padded to an even length.
#include "gfx/cgmcanvas.h"

#include "fileio/fileio.h"
#include "gfx/hatch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace gfx {

CgmCanvas::CgmCanvas(const std::string& path, int widthPx, int heightPx, double widthMm,
                     double heightMm)
    : Canvas(widthPx, heightPx, widthMm > 0 ? widthMm : widthPx * 25.4 / 96.0,
             heightMm > 0 ? heightMm : heightPx * 25.4 / 96.0),
      file_(std::make_unique<fileio::AtomicFile>(path)) {
    // The file is written whole by finish(); find out now whether it can be.
    ok_ = file_->ok();
    if (!ok_) return;
    str("Kestrel");
    element(0, 1); // BEGIN METAFILE
    i16(1);
    element(1, 1); // METAFILE VERSION
    str("Kestrel drawing");
    element(1, 2); // METAFILE DESCRIPTION
    i16(1), i16(-1), i16(1);
    element(1, 11); // METAFILE ELEMENT LIST: the drawing set
    str("Kestrel");
    element(0, 3); // BEGIN PICTURE
    i16(1), real(this->widthMm() / width());
    element(2, 1); // SCALING MODE: metric, millimetres per unit
    i16(1);
    element(2, 2); // COLOUR SELECTION MODE: direct
    i16(0), i16(0), i16(width()), i16(height());
    element(2, 6); // VDC EXTENT
    rgb(paletteColor(background()));
    element(2, 7); // BACKGROUND COLOUR
    element(0, 4); // BEGIN PICTURE BODY
    i16(0);
    element(5, 30); // EDGE VISIBILITY off
}

CgmCanvas::~CgmCanvas() {
    finish();
}

bool CgmCanvas::finish() {
    if (finished_) return ok_;
    finished_ = true;
    if (!ok_) return false;
    element(0, 5); // END PICTURE
    element(0, 2); // END METAFILE
    ok_ = file_->write(
              std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size())) &&
          file_->commit();
    file_.reset();
    return ok_;
}

void CgmCanvas::i16(int v) {
    const auto u =
        static_cast<std::uint16_t>(static_cast<std::int16_t>(std::clamp(v, -32768, 32767)));
    params_.push_back(static_cast<std::uint8_t>(u >> 8));
    params_.push_back(static_cast<std::uint8_t>(u & 0xff));
}

void CgmCanvas::real(double v) {
    // Fixed point: a signed 16-bit whole part and a 16-bit fraction.
    const double whole = std::floor(v);
    i16(static_cast<int>(whole));
    const auto frac = static_cast<unsigned>(std::lround((v - whole) * 65536.0));
    params_.push_back(static_cast<std::uint8_t>((std::min(frac, 65535u) >> 8) & 0xff));
    params_.push_back(static_cast<std::uint8_t>(std::min(frac, 65535u) & 0xff));
}

void CgmCanvas::str(const std::string& s) {
    const std::size_t n = std::min<std::size_t>(s.size(), 254);
    params_.push_back(static_cast<std::uint8_t>(n));
    params_.insert(params_.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
}

void CgmCanvas::point(Point p) {
    i16(static_cast<int>(std::lround(p.x)));
    i16(static_cast<int>(std::lround(height() - p.y)));
}

void CgmCanvas::rgb(Rgb c) {
    params_.push_back(c.r);
    params_.push_back(c.g);
    params_.push_back(c.b);
}

void CgmCanvas::element(int cls, int id) {
    const std::size_t n = params_.size();
    const unsigned head = static_cast<unsigned>(cls << 12 | id << 5);
    auto word = [&](unsigned w) {
        bytes_.push_back(static_cast<std::uint8_t>(w >> 8));
        bytes_.push_back(static_cast<std::uint8_t>(w & 0xff));
    };
    std::size_t done = 0;
    if (n < 31) {
        word(head | static_cast<unsigned>(n));
        bytes_.insert(bytes_.end(), params_.begin(), params_.end());
    } else {
        // Long form in partitions of at most 32766 bytes (even, so that only
        // the last one may need a pad byte); bit 15 says more follow.
        word(head | 31);
        do {
            const std::size_t part = std::min<std::size_t>(n - done, 32766);
            word(static_cast<unsigned>(part) | (done + part < n ? 0x8000u : 0u));
            bytes_.insert(bytes_.end(), params_.begin() + static_cast<std::ptrdiff_t>(done),
                          params_.begin() + static_cast<std::ptrdiff_t>(done + part));
            done += part;
        } while (done < n);
    }
    if (n % 2) bytes_.push_back(0);
    params_.clear();
}

void CgmCanvas::lineAttributes() {
    // LINE TYPE: 1 solid, 2 dash, 3 dot, 4 dash-dot, in LineStyle order.
    i16(static_cast<int>(lineStyle()) + 1);
    element(5, 2);
    real(lineWidth());
    element(5, 3); // LINE WIDTH, scaled from the nominal width
    rgb(currentRgb());
    element(5, 4); // LINE COLOUR
}

void CgmCanvas::fillAttributes(bool hatched, Rgb colour) {
    i16(hatched ? 3 : 1);
    element(5, 22); // INTERIOR STYLE: hatch or solid
    rgb(colour);
    element(5, 23); // FILL COLOUR
    if (hatched) {
        // HATCH INDEX: 1 horizontal, 2 vertical, 3 positive slope, 5 both.
        static const int kIndex[] = {1, 1, 2, 3, 5};
        i16(kIndex[static_cast<int>(fillStyle())]);
        element(5, 24);
    }
}

void CgmCanvas::drvClear(Rgb bg) {
    if (!ok_) return;
    // A filled rectangle over the whole picture in the background colour.
    fillAttributes(false, bg);
    point({0, 0});
    point({static_cast<double>(width()), static_cast<double>(height())});
    element(4, 11); // RECTANGLE
}

void CgmCanvas::polyline(const std::vector<Point>& px) {
    for (const Point& p : px) point(p);
    element(4, 1); // POLYLINE
}

void CgmCanvas::drvPolyline(const std::vector<Point>& px, bool closed) {
    if (!ok_ || px.size() < 2) return;
    lineAttributes();
    std::vector<Point> pts = px;
    if (closed) pts.push_back(px.front());
    polyline(pts);
}

void CgmCanvas::drvPolygon(const std::vector<Point>& px) {
    if (!ok_ || px.size() < 3) return;
    fillAttributes(fillStyle() != FillStyle::Solid, currentRgb());
    for (const Point& p : px) point(p);
    element(4, 7); // POLYGON
}

void CgmCanvas::drvArc(Point c, double rx, double ry, double a1, double a2, bool filled) {
    if (!ok_) return;
    if (filled)
        drvPolygon(arcOutline(c, rx, ry, a1, a2, true));
    else
        drvPolyline(arcOutline(c, rx, ry, a1, a2, false), false);
}

void CgmCanvas::drvMark(Point c, MarkKind kind, int sizePx) {
    if (!ok_) return;
    const double h = sizePx / 2.0;
    const LineStyle keep = lineStyle();
    setLineStyle(LineStyle::Continuous);
    for (const Segment& s : markStrokes(kind, c, h)) drvPolyline({s.first, s.second}, false);
    if (const std::vector<Point> outline = markOutline(kind, c, h); !outline.empty())
        drvPolyline(outline, true);
    switch (kind) {
    case MarkKind::Circle:
        drvPolyline(arcPoints(c, h, h, 0, 360), false);
        break;
    case MarkKind::Dot: {
        const FillStyle keepFill = fillStyle();
        setFillStyle(FillStyle::Solid);
        drvPolygon(arcPoints(c, h, h, 0, 360));
        setFillStyle(keepFill);
        break;
    }
    default: // strokes or outline only
        break;
    }
    setLineStyle(keep);
}

void CgmCanvas::drvText(Point at, const std::string& utf8) {
    if (!ok_) return;
    const double size = fontSize() * 96.0 / 72.0;
    rgb(currentRgb());
    element(5, 14); // TEXT COLOUR
    i16(static_cast<int>(std::lround(0.7 * size)));
    element(5, 15); // CHARACTER HEIGHT (of the capitals)
    // TEXT ALIGNMENT: horizontal 2 left, 3 centre, 4 right; vertical 4 base,
    // 5 bottom, 3 half, 2 cap (top), in the facade's order.
    const int a = static_cast<int>(textAlign());
    static const int kVertical[] = {4, 5, 3, 2};
    i16(a % 3 + 2), i16(kVertical[a / 3]), real(0), real(0);
    element(5, 18);
    std::istringstream in(utf8);
    int i = 0;
    for (std::string l; std::getline(in, l); ++i) {
        point({at.x, at.y + i * 1.2 * size});
        i16(1); // final text
        str(l);
        element(4, 4); // TEXT
    }
}

} // namespace gfx
