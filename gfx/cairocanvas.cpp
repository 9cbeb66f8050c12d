// Cairo drawing of the facade's primitives, matched to the screen driver:
// the same pen widths, dash patterns, hatch spacing, marks and text placement.
#include "gfx/cairocanvas.h"

#include "fileio/fileio.h"
#include "gfx/hatch.h"

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace gfx {

namespace {

double mmFor(double mm, int px) {
    return mm > 0 ? mm : px * 25.4 / 96.0;
}

void setRgb(cairo_t* cr, Rgb c) {
    cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
}

// Font families indexed by FontFace (fontconfig names).
const char* const kFamilies[] = {"sans-serif", "serif", "monospace"};

// Splits a text at its line breaks.
std::vector<std::string> lines(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    std::string l;
    while (std::getline(in, l)) out.push_back(l);
    if (out.empty()) out.push_back("");
    return out;
}

// Cairo's output callback: the bytes go to the atomic file; a short write
// sets the surface's error status.
cairo_status_t writeBytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* file = static_cast<fileio::AtomicFile*>(closure);
    return file->write(std::string_view(reinterpret_cast<const char*>(data), length))
               ? CAIRO_STATUS_SUCCESS
               : CAIRO_STATUS_WRITE_ERROR;
}

} // namespace

CairoCanvas::CairoCanvas(CairoFormat format, const std::string& path, int widthPx, int heightPx,
                         double widthMm, double heightMm)
    : Canvas(widthPx, heightPx, mmFor(widthMm, widthPx), mmFor(heightMm, heightPx)),
      format_(format) {
    file_ = std::make_unique<fileio::AtomicFile>(path);
    if (!file_->ok()) return;
    const double wPt = this->widthMm() * 72.0 / 25.4, hPt = this->heightMm() * 72.0 / 25.4;
    switch (format) {
    case CairoFormat::PostScript:
    case CairoFormat::Eps:
        surface_ = cairo_ps_surface_create_for_stream(writeBytes, file_.get(), wPt, hPt);
        cairo_ps_surface_set_eps(surface_, format == CairoFormat::Eps);
        break;
    case CairoFormat::Pdf:
        surface_ = cairo_pdf_surface_create_for_stream(writeBytes, file_.get(), wPt, hPt);
        break;
    case CairoFormat::Svg:
        surface_ = cairo_svg_surface_create_for_stream(writeBytes, file_.get(), wPt, hPt);
        break;
    case CairoFormat::Png:
        surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width(), height());
        break;
    }
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface_);
        surface_ = nullptr;
        file_.reset();
        return;
    }
    cr_ = cairo_create(surface_);
    if (format != CairoFormat::Png) cairo_scale(cr_, wPt / width(), hPt / height());
    drvClear(paletteColor(background()));
}

CairoCanvas::~CairoCanvas() {
    finish();
}

bool CairoCanvas::showPage() {
    if (!cr_ || (format_ != CairoFormat::Pdf && format_ != CairoFormat::PostScript)) return false;
    flush();
    cairo_show_page(cr_);
    return true;
}

const char* CairoCanvas::driverName() const {
    switch (format_) {
    case CairoFormat::PostScript:
        return "ps";
    case CairoFormat::Eps:
        return "eps";
    case CairoFormat::Pdf:
        return "pdf";
    case CairoFormat::Svg:
        return "svg";
    case CairoFormat::Png:
        return "png";
    }
    return "cairo";
}

bool CairoCanvas::finish() {
    if (finished_) return ok();
    finished_ = true;
    if (!cr_) return false;
    flush();
    bool good = cairo_status(cr_) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr_);
    if (format_ == CairoFormat::Png && good)
        good = cairo_surface_write_to_png_stream(surface_, writeBytes, file_.get()) ==
               CAIRO_STATUS_SUCCESS;
    cairo_surface_finish(surface_);
    good = good && cairo_surface_status(surface_) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface_);
    cr_ = nullptr;
    surface_ = nullptr;
    // The file takes its name only when every byte reached it.
    good = good && file_->commit();
    file_.reset();
    return good;
}

namespace {

// The pen and clip of a batch of drawing (see CairoCanvas::Batch).
struct Pen {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0; // the clip rectangle
    Rgb rgb;
    int width = 1;
    LineStyle style = LineStyle::Continuous;
    bool operator==(const Pen&) const = default;
};

enum class Op : unsigned char { Move, Line, Close, Circle };

// One step of a path; `r` is a circle's radius.
struct Step {
    Op op;
    double x, y, r;
};

// A text and the font and alignment it was given.
struct Text {
    Point at;
    std::string utf8;
    FontFace face;
    int size;
    bool bold, italic;
    Align align;
};

// Twice the signed area of a polygon; 0 when it is not convex (or has no area), so that
// only convex outlines, whose fill is the same under either rule, share a path.
double convexArea(const std::vector<Point>& px) {
    const std::size_t n = px.size();
    double area = 0, turn = 0;
    int sign = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Point& a = px[i];
        const Point& b = px[(i + 1) % n];
        const Point& c = px[(i + 2) % n];
        area += a.x * b.y - b.x * a.y;
        const double ux = b.x - a.x, uy = b.y - a.y, vx = c.x - b.x, vy = c.y - b.y;
        const double cross = ux * vy - uy * vx;
        if (cross == 0) continue;
        const int s = cross > 0 ? 1 : -1;
        if (sign && s != sign) return 0;
        sign = s;
        turn += std::atan2(cross, ux * vx + uy * vy);
    }
    // A star turns twice or more around.
    return std::abs(turn) < 3 * M_PI ? area : 0;
}

void setFont(cairo_t* cr, FontFace face, int size, bool bold, bool italic) {
    cairo_select_font_face(cr, kFamilies[static_cast<int>(face)],
                           italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    // Points at 96 pixels per inch, as on the screen.
    cairo_set_font_size(cr, std::max(1L, std::lround(size * 96.0 / 72.0)));
}

void showText(cairo_t* cr, const Text& t) {
    setFont(cr, t.face, t.size, t.bold, t.italic);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    const std::vector<std::string> ls = lines(t.utf8);
    const double blockHeight = fe.ascent + fe.descent + (ls.size() - 1) * fe.height;
    // Rows of three alignments: base, bottom, centre, top.
    const int a = static_cast<int>(t.align);
    const int row = a / 3, column = a % 3;
    double baseline = t.at.y;
    if (row == 1) baseline = t.at.y - blockHeight + fe.ascent;
    if (row == 2) baseline = t.at.y - blockHeight / 2 + fe.ascent;
    if (row == 3) baseline = t.at.y + fe.ascent;
    for (std::size_t i = 0; i < ls.size(); ++i) {
        cairo_text_extents_t te;
        cairo_text_extents(cr, ls[i].c_str(), &te);
        const double w = te.x_advance;
        cairo_move_to(cr,
                      t.at.x - (column == 0   ? 0
                                : column == 1 ? w / 2
                                              : w),
                      baseline + i * fe.height);
        cairo_show_text(cr, ls[i].c_str());
    }
}

void clipAndColour(cairo_t* cr, const Pen& pen) {
    cairo_save(cr);
    cairo_rectangle(cr, pen.x0, pen.y0, pen.x1 - pen.x0, pen.y1 - pen.y0);
    cairo_clip(cr);
    setRgb(cr, pen.rgb);
}

// The screen's pen on `cr`: width, caps, joins and dashes.
void strokePen(cairo_t* cr, const Pen& pen) {
    // Odd widths run through pixel centres, as on the screen.
    if (pen.width % 2 == 1) cairo_translate(cr, 0.5, 0.5);
    cairo_set_line_width(cr, pen.width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    // Dash lengths in line widths, those of the screen's pens.
    const double w = pen.width;
    static const double dash[] = {4, 2}, dot[] = {1, 2}, dashDot[] = {4, 2, 1, 2};
    const double* pattern = nullptr;
    int n = 0;
    switch (pen.style) {
    case LineStyle::Continuous:
        break;
    case LineStyle::Dashed:
        pattern = dash, n = 2;
        break;
    case LineStyle::Dotted:
        pattern = dot, n = 2;
        break;
    case LineStyle::DashDot:
        pattern = dashDot, n = 4;
        break;
    }
    if (n) {
        double d[4];
        for (int i = 0; i < n; ++i) d[i] = pattern[i] * w;
        // Square caps lengthen every dash by a width: shorten them back.
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        cairo_set_dash(cr, d, n, 0);
    }
}

void replay(cairo_t* cr, const std::vector<Step>& steps) {
    for (const Step& s : steps) switch (s.op) {
        case Op::Move:
            cairo_move_to(cr, s.x, s.y);
            break;
        case Op::Line:
            cairo_line_to(cr, s.x, s.y);
            break;
        case Op::Close:
            cairo_close_path(cr);
            break;
        case Op::Circle:
            cairo_new_sub_path(cr);
            cairo_arc(cr, s.x, s.y, s.r, 0, 2 * M_PI);
            break;
        }
}

} // namespace

// A run of strokes, solid fills and texts in one colour and clip is drawn as one stroke, one
// fill and the texts: a PDF or PostScript page keeps every drawing operation until the page
// ends, so a frame of thousands of load arrows would otherwise cost a kilobyte an arrow. A
// batch is one opaque colour, so the order of its parts does not change the picture. Its
// fill path takes convex outlines only, turned one way round and filled non-zero, so that
// overlapping ones fill as their union, as they would one by one.
struct CairoCanvas::Batch {
    bool open = false;
    Pen pen;
    std::vector<Step> strokes, fills;
    std::vector<Text> texts;

    static void addPath(const std::vector<Point>& px, bool closed, std::vector<Step>& to) {
        to.push_back({Op::Move, px[0].x, px[0].y, 0});
        for (std::size_t i = 1; i < px.size(); ++i) to.push_back({Op::Line, px[i].x, px[i].y, 0});
        if (closed) to.push_back({Op::Close, 0, 0, 0});
    }
    void draw(cairo_t* cr) {
        if (!fills.empty()) {
            clipAndColour(cr, pen);
            replay(cr, fills);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
            cairo_fill(cr);
            cairo_restore(cr);
            fills.clear();
        }
        if (!strokes.empty()) {
            clipAndColour(cr, pen);
            strokePen(cr, pen);
            replay(cr, strokes);
            cairo_stroke(cr);
            cairo_restore(cr);
            strokes.clear();
        }
        if (!texts.empty()) {
            clipAndColour(cr, pen);
            for (const Text& t : texts) showText(cr, t);
            cairo_restore(cr);
            texts.clear();
        }
        open = false;
    }
};

CairoCanvas::Batch& CairoCanvas::batchFor(Use use) {
    if (!batch_) batch_ = std::make_unique<Batch>();
    Pen pen;
    clipPixels(pen.x0, pen.y0, pen.x1, pen.y1);
    pen.rgb = currentRgb();
    pen.width = lineWidth();
    pen.style = use == Use::Mark ? LineStyle::Continuous : lineStyle();
    Batch& b = *batch_;
    // A text needs only the colour and the clip.
    const bool same = use == Use::Text
                          ? b.pen.x0 == pen.x0 && b.pen.y0 == pen.y0 && b.pen.x1 == pen.x1 &&
                                b.pen.y1 == pen.y1 && b.pen.rgb == pen.rgb
                          : b.pen == pen;
    if (!b.open || !same) {
        flush();
        b.pen = pen;
        b.open = true;
    }
    return b;
}

void CairoCanvas::flush() {
    if (cr_ && batch_ && batch_->open) batch_->draw(cr_);
}

void CairoCanvas::added() {
    // An image is painted at once: a path of many pieces costs it more than it saves.
    if (format_ == CairoFormat::Png) flush();
}

void CairoCanvas::drvClear(Rgb bg) {
    if (!cr_) return;
    flush();
    cairo_save(cr_);
    setRgb(cr_, bg);
    cairo_paint(cr_);
    cairo_restore(cr_);
}

void CairoCanvas::drvPolyline(const std::vector<Point>& px, bool closed) {
    if (!cr_ || px.empty()) return;
    Batch& b = batchFor(Use::Stroke);
    b.addPath(px, closed, b.strokes);
    added();
}

void CairoCanvas::addFill(const std::vector<Point>& outline) {
    Batch& b = batchFor(Use::Stroke);
    if (fillStyle() == FillStyle::Solid) {
        if (const double area = convexArea(outline); area != 0) {
            if (area > 0)
                b.addPath(outline, true, b.fills);
            else
                b.addPath({outline.rbegin(), outline.rend()}, true, b.fills);
            added();
            return;
        }
    }
    // Any other outline on its own, in the batch's colour, so the order of colours holds.
    clipAndColour(cr_, b.pen);
    if (fillStyle() == FillStyle::Solid) {
        std::vector<Step> path;
        Batch::addPath(outline, true, path);
        replay(cr_, path);
        cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr_);
    } else {
        // Hatches as one-pixel lines, so that vector files keep them as lines.
        cairo_set_line_width(cr_, 1);
        for (const Segment& s : hatchFor(fillStyle(), outline)) {
            cairo_move_to(cr_, s.first.x, s.first.y);
            cairo_line_to(cr_, s.second.x, s.second.y);
        }
        cairo_stroke(cr_);
    }
    cairo_restore(cr_);
}

void CairoCanvas::drvPolygon(const std::vector<Point>& px) {
    if (!cr_ || px.size() < 3) return;
    addFill(px);
}

void CairoCanvas::drvArc(Point c, double rx, double ry, double a1, double a2, bool filled) {
    if (!cr_) return;
    const std::vector<Point> pts = arcOutline(c, rx, ry, a1, a2, filled);
    if (pts.empty()) return;
    if (filled) {
        addFill(pts);
    } else {
        Batch& b = batchFor(Use::Stroke);
        b.addPath(pts, false, b.strokes);
        added();
    }
}

void CairoCanvas::drvMark(Point c, MarkKind kind, int sizePx) {
    if (!cr_) return;
    const double h = sizePx / 2.0;
    Batch& b = batchFor(Use::Mark);
    if (kind == MarkKind::Dot) {
        // Filled in the stroke's frame, which odd widths shift by half a pixel; a circle
        // runs the way convex fills are turned.
        const double o = b.pen.width % 2 == 1 ? 0.5 : 0;
        b.fills.push_back({Op::Circle, c.x + o, c.y + o, h});
        added();
        return;
    }
    for (const Segment& s : markStrokes(kind, c, h))
        b.addPath({s.first, s.second}, false, b.strokes);
    if (kind == MarkKind::Circle) b.strokes.push_back({Op::Circle, c.x, c.y, h});
    const std::vector<Point> outline = markOutline(kind, c, h);
    if (!outline.empty()) b.addPath(outline, true, b.strokes);
    added();
}

void CairoCanvas::setFont(cairo_t* cr) const {
    gfx::setFont(cr, fontFace(), fontSize(), fontBold(), fontItalic());
}

void CairoCanvas::textSize(const std::string& utf8, int& w, int& h) const {
    // Measured on a scratch surface, so that it works before and after the
    // file is open.
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(s);
    setFont(cr);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    const std::vector<std::string> ls = lines(utf8);
    double width = 0;
    for (const std::string& l : ls) {
        cairo_text_extents_t te;
        cairo_text_extents(cr, l.c_str(), &te);
        width = std::max(width, te.x_advance);
    }
    w = static_cast<int>(std::ceil(width));
    h = static_cast<int>(std::ceil(fe.ascent + fe.descent + (ls.size() - 1) * fe.height));
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

void CairoCanvas::drvText(Point at, const std::string& utf8) {
    if (!cr_) return;
    batchFor(Use::Text).texts.push_back(
        {at, utf8, fontFace(), fontSize(), fontBold(), fontItalic(), textAlign()});
    added();
}

} // namespace gfx
