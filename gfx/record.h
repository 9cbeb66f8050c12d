// The recording driver: a canvas that keeps the list of primitives drawn on it,
// each with its world and pixel coordinates and the drawing state, so that
// tests can check what a piece of drawing code drew without a screen.
#pragma once

#include "gfx/canvas.h"

namespace gfx {

struct Primitive {
    enum class Kind { Clear, Polyline, Polygon, Arc, Sector, Mark, Text, Flush };
    Kind kind = Kind::Clear;
    std::vector<Point> world; // as given by the caller (empty for pixel primitives)
    std::vector<Point> pixel; // after the world-to-pixel mapping
    bool closed = false;      // polyline drawn as a closed outline
    int color = 0;            // foreground index (background index for Clear)
    Rgb rgb;
    LineStyle lineStyle = LineStyle::Continuous;
    int lineWidth = 1;
    FillStyle fillStyle = FillStyle::Solid;
    WriteMode writeMode = WriteMode::Replace;
    double rx = 0, ry = 0, a1 = 0, a2 = 0; // arcs and sectors
    MarkKind mark = MarkKind::Plus;
    int markSize = 0;
    std::string text;
    Align align = Align::BaseLeft;
    int fontSize = 0;
};

class RecordingCanvas : public Canvas {
public:
    RecordingCanvas(int widthPx, int heightPx, double widthMm = 0, double heightMm = 0);

    const std::vector<Primitive>& primitives() const { return prims_; }
    void reset() { prims_.clear(); }
    // Off: the drawing is done (the window mapped, the view followed) but no
    // primitive is kept, for a program that draws into a file and never
    // reads the canvas. On by default.
    void setRecording(bool on) { recording_ = on; }
    // Number of recorded primitives of a kind.
    int count(Primitive::Kind kind) const;
    void flush() override;
    const char* driverName() const override { return "record"; }

protected:
    void drvClear(Rgb bg) override;
    void drvPolyline(const std::vector<Point>& px, bool closed) override;
    void drvPolygon(const std::vector<Point>& px) override;
    void drvArc(Point centre, double rx, double ry, double a1, double a2, bool filled) override;
    void drvMark(Point p, MarkKind kind, int sizePx) override;
    void drvText(Point p, const std::string& utf8) override;

private:
    std::vector<Primitive> prims_;
    bool recording_ = true;
    Primitive start(Primitive::Kind kind) const;
};

} // namespace gfx
