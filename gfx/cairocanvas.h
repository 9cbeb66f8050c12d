// The cairo file drivers: PostScript, Encapsulated PostScript, PDF, SVG and
// PNG, all drawn by the same code on cairo surfaces. The vector formats get
// the canvas's size in millimetres as their page size; pixel coordinates are
// scaled onto it, so lines, fills and texts keep their proportions. PNG is
// drawn at one image pixel per canvas pixel.
#pragma once

#include "gfx/canvas.h"

#include <memory>
#include <string>

namespace fileio {
class AtomicFile;
}

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace gfx {

enum class CairoFormat { PostScript, Eps, Pdf, Svg, Png };

class CairoCanvas : public Canvas {
public:
    // Prepares the atomic write of `path` (fileio/). When it cannot be
    // written, ok() is false and drawing does nothing.
    CairoCanvas(CairoFormat format, const std::string& path, int widthPx, int heightPx,
                double widthMm = 0, double heightMm = 0);
    ~CairoCanvas() override;

    bool ok() const { return cr_ != nullptr; }
    // Writes the rest of the file and gives it its name; true when all went
    // well, else the previous file at the path is left as it was. The
    // destructor does this for a canvas that was not finished.
    bool finish() override;
    // Ends the page and begins the next, blank one (a PDF or PostScript document of several
    // pages); false for the single-picture formats.
    bool showPage();

    void textSize(const std::string& utf8, int& w, int& h) const override;
    const char* driverName() const override;

protected:
    void drvClear(Rgb bg) override;
    void drvPolyline(const std::vector<Point>& px, bool closed) override;
    void drvPolygon(const std::vector<Point>& px) override;
    void drvArc(Point centre, double rx, double ry, double a1, double a2, bool filled) override;
    void drvMark(Point p, MarkKind kind, int sizePx) override;
    void drvText(Point p, const std::string& utf8) override;

private:
    // Consecutive strokes and solid fills of one pen and clip, drawn as one path when the pen
    // changes or something else is drawn (see the .cpp).
    struct Batch;

    CairoFormat format_;
    std::unique_ptr<fileio::AtomicFile> file_;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    bool finished_ = false;
    std::unique_ptr<Batch> batch_;

    // What is added to a batch: marks are never dashed; a text needs only the colour and clip.
    enum class Use { Stroke, Mark, Text };
    // The batch for the current pen and clip: the pending one when they match, else a new
    // one after the pending one is drawn.
    Batch& batchFor(Use use);
    // Draws the pending batch.
    void flush();
    // After something is added to the batch.
    void added();
    void setFont(cairo_t* cr) const;
    void addFill(const std::vector<Point>& outline);
};

} // namespace gfx
