// ASCII DXF writer: header, one layer per palette colour, entities.
#include "gfx/dxfcanvas.h"

#include "fileio/fileio.h"
#include "gfx/hatch.h"

#include <cstdio>
#include <sstream>

namespace gfx {

namespace {

// The first nine colours of the standard drawing colour table.
const Rgb kAci[] = {{255, 0, 0},   {255, 255, 0},   {0, 255, 0},     {0, 255, 255},  {0, 0, 255},
                    {255, 0, 255}, {255, 255, 255}, {128, 128, 128}, {192, 192, 192}};

} // namespace

int DxfCanvas::nearestAci(Rgb c) {
    int best = 7;
    long bestD = -1;
    for (int i = 0; i < 9; ++i) {
        const long dr = c.r - kAci[i].r, dg = c.g - kAci[i].g, db = c.b - kAci[i].b;
        const long d = dr * dr + dg * dg + db * db;
        if (bestD < 0 || d < bestD) bestD = d, best = i + 1;
    }
    // Colour 7 is drawn black on a white sheet and white on a black one: it
    // stands for black as well as white.
    if (c.r < 64 && c.g < 64 && c.b < 64) best = 7;
    return best;
}

DxfCanvas::DxfCanvas(const std::string& path, int widthPx, int heightPx)
    : Canvas(widthPx, heightPx, widthPx * 25.4 / 96.0, heightPx * 25.4 / 96.0),
      file_(std::make_unique<fileio::AtomicFile>(path)) {
    ok_ = file_->ok();
    if (!ok_) return;
    out_ << "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n"
         << "9\n$EXTMIN\n10\n0\n20\n0\n9\n$EXTMAX\n10\n"
         << widthPx << "\n20\n"
         << heightPx << "\n0\nENDSEC\n";
    out_ << "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n70\n16\n";
    for (int i = 0; i < 16; ++i)
        out_ << "0\nLAYER\n2\nCOLOR_" << i << "\n70\n0\n62\n"
             << nearestAci(paletteColor(i)) << "\n6\nCONTINUOUS\n";
    out_ << "0\nENDTAB\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
}

DxfCanvas::~DxfCanvas() {
    finish();
}

bool DxfCanvas::finish() {
    if (finished_) return ok_;
    finished_ = true;
    if (!ok_) return false;
    out_ << "0\nENDSEC\n0\nEOF\n";
    ok_ = file_->write(out_.str()) && file_->commit();
    file_.reset();
    return ok_;
}

void DxfCanvas::common(const char* type) {
    out_ << "0\n"
         << type << "\n8\nCOLOR_" << foreground() << "\n62\n"
         << nearestAci(currentRgb()) << "\n";
}

void DxfCanvas::xy(int code, Point p) {
    // Pixel y grows downwards, drawing y upwards.
    out_ << code << "\n" << p.x << "\n" << code + 10 << "\n" << height() - p.y << "\n";
}

void DxfCanvas::lineEntity(Point a, Point b) {
    common("LINE");
    xy(10, a);
    xy(11, b);
}

void DxfCanvas::drvClear(Rgb) {
    // The sheet is the background: nothing to write.
}

void DxfCanvas::drvPolyline(const std::vector<Point>& px, bool closed) {
    if (!ok_ || px.size() < 2) return;
    if (px.size() == 2 && !closed) {
        lineEntity(px[0], px[1]);
        return;
    }
    common("POLYLINE");
    out_ << "66\n1\n70\n" << (closed ? 1 : 0) << "\n10\n0\n20\n0\n30\n0\n";
    for (const Point& p : px) {
        out_ << "0\nVERTEX\n8\nCOLOR_" << foreground() << "\n";
        xy(10, p);
    }
    out_ << "0\nSEQEND\n8\nCOLOR_" << foreground() << "\n";
}

void DxfCanvas::fill(const std::vector<Point>& px) {
    if (fillStyle() != FillStyle::Solid) {
        for (const Segment& s : hatchFor(fillStyle(), px)) lineEntity(s.first, s.second);
        return;
    }
    // A fan of triangles from the first point: the filled shapes of the
    // drawing (arrow heads, sectors, boxes) are convex.
    for (std::size_t i = 1; i + 1 < px.size(); ++i) {
        common("SOLID");
        xy(10, px[0]);
        xy(11, px[i]);
        xy(12, px[i + 1]);
        xy(13, px[i + 1]);
    }
}

void DxfCanvas::drvPolygon(const std::vector<Point>& px) {
    if (ok_ && px.size() >= 3) fill(px);
}

void DxfCanvas::drvArc(Point c, double rx, double ry, double a1, double a2, bool filled) {
    if (!ok_) return;
    if (filled)
        fill(arcOutline(c, rx, ry, a1, a2, true));
    else
        drvPolyline(arcOutline(c, rx, ry, a1, a2, false), false);
}

void DxfCanvas::drvMark(Point c, MarkKind kind, int sizePx) {
    if (!ok_) return;
    const double h = sizePx / 2.0;
    for (const Segment& s : markStrokes(kind, c, h)) lineEntity(s.first, s.second);
    if (const std::vector<Point> outline = markOutline(kind, c, h); !outline.empty())
        drvPolyline(outline, true);
    switch (kind) {
    case MarkKind::Circle:
        common("CIRCLE");
        xy(10, c);
        out_ << "40\n" << h << "\n";
        break;
    case MarkKind::Dot: {
        const FillStyle keep = fillStyle();
        setFillStyle(FillStyle::Solid);
        fill(arcPoints(c, h, h, 0, 360));
        setFillStyle(keep);
        break;
    }
    default: // strokes or outline only
        break;
    }
}

void DxfCanvas::drvText(Point at, const std::string& utf8) {
    if (!ok_) return;
    // Height of the capitals: about 0.7 of the font's pixel size.
    const double size = fontSize() * 96.0 / 72.0;
    const double capital = 0.7 * size, spacing = 1.2 * size;
    std::vector<std::string> ls;
    std::istringstream in(utf8);
    for (std::string l; std::getline(in, l);) ls.push_back(l);
    const int a = static_cast<int>(textAlign());
    const int row = a / 3, column = a % 3;
    // Vertical alignment of TEXT: 0 base, 1 bottom, 2 middle, 3 top.
    static const int kVertical[] = {0, 1, 2, 3};
    const double block = (ls.empty() ? 0 : ls.size() - 1) * spacing;
    for (std::size_t i = 0; i < ls.size(); ++i) {
        // Lines of a block step down from the reference point; alignments
        // other than base and top place the block around it.
        double dy = i * spacing;
        if (row == 1) dy -= block;
        if (row == 2) dy -= block / 2;
        const Point p{at.x, at.y + dy};
        common("TEXT");
        xy(10, p);
        out_ << "40\n" << capital << "\n1\n" << ls[i] << "\n";
        if (column != 0 || row != 0) {
            out_ << "72\n" << column << "\n";
            xy(11, p);
            out_ << "73\n" << kVertical[row] << "\n";
        }
    }
}

} // namespace gfx
