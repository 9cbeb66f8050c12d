// The CGM driver: a binary Computer Graphics Metafile (version 1, default
// precisions: 16-bit integers and coordinates, 32-bit fixed-point reals,
// 8-bit direct colours) of one picture. Coordinates are canvas pixels with y
// upwards; the metric scaling mode records the millimetres per pixel, so the
// picture keeps its size. Lines are POLYLINE, fills POLYGON with the solid or
// hatch interior style, arcs polylines, texts TEXT.
#pragma once

#include "gfx/canvas.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fileio {
class AtomicFile;
}

namespace gfx {

class CgmCanvas : public Canvas {
public:
    CgmCanvas(const std::string& path, int widthPx, int heightPx, double widthMm, double heightMm);
    ~CgmCanvas() override;
    bool ok() const { return ok_; }
    bool finish() override;
    const char* driverName() const override { return "cgm"; }

protected:
    void drvClear(Rgb bg) override;
    void drvPolyline(const std::vector<Point>& px, bool closed) override;
    void drvPolygon(const std::vector<Point>& px) override;
    void drvArc(Point centre, double rx, double ry, double a1, double a2, bool filled) override;
    void drvMark(Point p, MarkKind kind, int sizePx) override;
    void drvText(Point p, const std::string& utf8) override;

private:
    std::unique_ptr<fileio::AtomicFile> file_;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::uint8_t> params_;
    bool ok_ = false, finished_ = false;

    // Building one element: its parameters, then the header and padding.
    void i16(int v);
    void real(double v);
    void str(const std::string& s);
    void point(Point p);
    void rgb(Rgb c);
    void element(int cls, int id);

    void lineAttributes();
    void fillAttributes(bool hatched, Rgb colour);
    void polyline(const std::vector<Point>& px);
};

} // namespace gfx
