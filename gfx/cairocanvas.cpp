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

void addPath(cairo_t* cr, const std::vector<Point>& px, bool closed) {
    if (px.empty()) return;
    cairo_move_to(cr, px[0].x, px[0].y);
    for (std::size_t i = 1; i < px.size(); ++i) cairo_line_to(cr, px[i].x, px[i].y);
    if (closed) cairo_close_path(cr);
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

void CairoCanvas::begin(bool stroke, bool forMarks) {
    cairo_save(cr_);
    double x0, y0, x1, y1;
    clipPixels(x0, y0, x1, y1);
    cairo_rectangle(cr_, x0, y0, x1 - x0, y1 - y0);
    cairo_clip(cr_);
    setRgb(cr_, currentRgb());
    if (!stroke) return;
    // Odd widths run through pixel centres, as on the screen.
    if (lineWidth() % 2 == 1) cairo_translate(cr_, 0.5, 0.5);
    cairo_set_line_width(cr_, lineWidth());
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_SQUARE);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
    // Dash lengths in line widths, those of the screen's pens.
    const double w = lineWidth();
    static const double dash[] = {4, 2}, dot[] = {1, 2}, dashDot[] = {4, 2, 1, 2};
    const double* pattern = nullptr;
    int n = 0;
    if (!forMarks) switch (lineStyle()) {
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
        cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
        cairo_set_dash(cr_, d, n, 0);
    }
}

void CairoCanvas::end() {
    cairo_restore(cr_);
}

void CairoCanvas::drvClear(Rgb bg) {
    if (!cr_) return;
    cairo_save(cr_);
    setRgb(cr_, bg);
    cairo_paint(cr_);
    cairo_restore(cr_);
}

void CairoCanvas::drvPolyline(const std::vector<Point>& px, bool closed) {
    if (!cr_ || px.empty()) return;
    begin(true);
    addPath(cr_, px, closed);
    cairo_stroke(cr_);
    end();
}

void CairoCanvas::fillPath(const std::vector<Point>& outline) {
    if (fillStyle() == FillStyle::Solid) {
        addPath(cr_, outline, true);
        cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr_);
        return;
    }
    // Hatches as one-pixel lines, so that vector files keep them as lines.
    cairo_set_line_width(cr_, 1);
    for (const Segment& s : hatchFor(fillStyle(), outline)) {
        cairo_move_to(cr_, s.first.x, s.first.y);
        cairo_line_to(cr_, s.second.x, s.second.y);
    }
    cairo_stroke(cr_);
}

void CairoCanvas::drvPolygon(const std::vector<Point>& px) {
    if (!cr_ || px.size() < 3) return;
    begin(false);
    fillPath(px);
    end();
}

void CairoCanvas::drvArc(Point c, double rx, double ry, double a1, double a2, bool filled) {
    if (!cr_) return;
    const std::vector<Point> pts = arcOutline(c, rx, ry, a1, a2, filled);
    begin(!filled);
    if (filled) {
        fillPath(pts);
    } else {
        addPath(cr_, pts, false);
        cairo_stroke(cr_);
    }
    end();
}

void CairoCanvas::drvMark(Point c, MarkKind kind, int sizePx) {
    if (!cr_) return;
    const double h = sizePx / 2.0, x = c.x, y = c.y;
    begin(true, true);
    for (const Segment& s : markStrokes(kind, c, h)) {
        cairo_move_to(cr_, s.first.x, s.first.y);
        cairo_line_to(cr_, s.second.x, s.second.y);
    }
    switch (kind) {
    case MarkKind::Circle:
        cairo_new_sub_path(cr_);
        cairo_arc(cr_, x, y, h, 0, 2 * M_PI);
        break;
    case MarkKind::Square:
        cairo_rectangle(cr_, x - h, y - h, 2 * h, 2 * h);
        break;
    case MarkKind::Diamond:
        cairo_move_to(cr_, x, y - h);
        cairo_line_to(cr_, x + h, y);
        cairo_line_to(cr_, x, y + h);
        cairo_line_to(cr_, x - h, y);
        cairo_close_path(cr_);
        break;
    case MarkKind::Dot:
        cairo_new_sub_path(cr_);
        cairo_arc(cr_, x, y, h, 0, 2 * M_PI);
        cairo_fill(cr_);
        break;
    default: // strokes only
        break;
    }
    cairo_stroke(cr_);
    end();
}

void CairoCanvas::setFont(cairo_t* cr) const {
    cairo_select_font_face(cr, kFamilies[static_cast<int>(fontFace())],
                           fontItalic() ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           fontBold() ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    // Points at 96 pixels per inch, as on the screen.
    cairo_set_font_size(cr, std::max(1L, std::lround(fontSize() * 96.0 / 72.0)));
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
    begin(false);
    setFont(cr_);
    cairo_font_extents_t fe;
    cairo_font_extents(cr_, &fe);
    const std::vector<std::string> ls = lines(utf8);
    const double blockHeight = fe.ascent + fe.descent + (ls.size() - 1) * fe.height;
    // Rows of three alignments: base, bottom, centre, top.
    const int a = static_cast<int>(textAlign());
    const int row = a / 3, column = a % 3;
    double baseline = at.y;
    if (row == 1) baseline = at.y - blockHeight + fe.ascent;
    if (row == 2) baseline = at.y - blockHeight / 2 + fe.ascent;
    if (row == 3) baseline = at.y + fe.ascent;
    for (std::size_t i = 0; i < ls.size(); ++i) {
        cairo_text_extents_t te;
        cairo_text_extents(cr_, ls[i].c_str(), &te);
        const double w = te.x_advance;
        cairo_move_to(cr_,
                      at.x - (column == 0   ? 0
                              : column == 1 ? w / 2
                                            : w),
                      baseline + i * fe.height);
        cairo_show_text(cr_, ls[i].c_str());
    }
    end();
}

} // namespace gfx
