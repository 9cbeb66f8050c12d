// The DXF driver: an ASCII DXF (AutoCAD R12 entities) of the picture in
// canvas pixels with y upwards. Lines become LINE, longer polylines, arcs and
// outlines POLYLINE, solid fills SOLID triangles, hatches LINE segments and
// texts TEXT. Each entity lies on the layer of its palette colour ("COLOR_3")
// and carries the nearest standard drawing colour.
#pragma once

#include "gfx/canvas.h"

#include <memory>
#include <sstream>
#include <string>

namespace fileio {
class AtomicFile;
}

namespace gfx {

class DxfCanvas : public Canvas {
public:
    DxfCanvas(const std::string& path, int widthPx, int heightPx);
    ~DxfCanvas() override;
    bool ok() const { return ok_; }
    bool finish() override;
    const char* driverName() const override { return "dxf"; }

    // The standard drawing colour (1 to 9) nearest to an RGB colour.
    static int nearestAci(Rgb c);

protected:
    void drvClear(Rgb bg) override;
    void drvPolyline(const std::vector<Point>& px, bool closed) override;
    void drvPolygon(const std::vector<Point>& px) override;
    void drvArc(Point centre, double rx, double ry, double a1, double a2, bool filled) override;
    void drvMark(Point p, MarkKind kind, int sizePx) override;
    void drvText(Point p, const std::string& utf8) override;

private:
    std::unique_ptr<fileio::AtomicFile> file_;
    std::ostringstream out_; // the whole file, written by finish()
    bool ok_ = false, finished_ = false;

    void common(const char* type);
    void xy(int code, Point p);
    void lineEntity(Point a, Point b);
    void fill(const std::vector<Point>& px);
};

} // namespace gfx
