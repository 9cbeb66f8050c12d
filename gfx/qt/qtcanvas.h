// The Qt screen driver of the drawing facade. A QtCanvas draws with QPainter
// into two images: the back buffer, which takes every primitive drawn in
// Replace mode, and the front image, which is what a widget shows. flush()
// copies the back buffer to the front; Xor mode draws straight on the front
// image, without antialiasing, so that drawing a rubber band twice restores
// the pixels exactly. A repaint of the widget only paints the front image: the
// model drawing is never run again for an expose.
//
// The images are in device pixels (the canvas size times the device pixel
// ratio); every coordinate the facade hands over is in device-independent
// pixels, so pictures are sharp on high-DPI screens. The canvas also works
// without any widget (offscreen), for tests and image export. Owned by
// whoever created it (the toolkit backend hands it to the program).
#pragma once

#include "gfx/canvas.h"

#include <QFont>
#include <QImage>
#include <functional>

class QPainter;

namespace gfx {

class QtCanvas : public Canvas {
public:
    // A canvas of `widthPx` x `heightPx` device-independent pixels whose images
    // have `devicePixelRatio` device pixels per such pixel. The size in
    // millimetres assumes 96 pixels per inch unless given.
    QtCanvas(int widthPx, int heightPx, double devicePixelRatio = 1.0, double widthMm = 0,
             double heightMm = 0);
    ~QtCanvas() override;

    // Changes the surface size; both images keep their old content at the top
    // left and the rest is filled with the background colour.
    void resizeSurface(int widthPx, int heightPx, double devicePixelRatio, double widthMm = 0,
                       double heightMm = 0);
    double devicePixelRatio() const { return dpr_; }

    // What is shown (after flush, with the Xor echo) and what is being drawn.
    const QImage& front() const { return front_; }
    const QImage& back() const { return back_; }

    // Called whenever the front image changed (flush, Xor drawing, resize),
    // so that a widget can schedule a repaint.
    std::function<void()> onFrontChanged;

    void flush() override;
    void textSize(const std::string& utf8, int& w, int& h) const override;
    const char* driverName() const override { return "qt"; }

    // The Qt font the canvas would use for its current font settings.
    QFont currentFont() const;

protected:
    void drvClear(Rgb bg) override;
    void drvPolyline(const std::vector<Point>& px, bool closed) override;
    void drvPolygon(const std::vector<Point>& px) override;
    void drvArc(Point centre, double rx, double ry, double a1, double a2, bool filled) override;
    void drvMark(Point p, MarkKind kind, int sizePx) override;
    void drvText(Point p, const std::string& utf8) override;

private:
    double dpr_ = 1.0;
    QImage back_, front_;

    QImage makeImage(int widthPx, int heightPx) const;
    // Opens a painter on the image of the current write mode with the clip,
    // render hints and raster operation set.
    void begin(QPainter& p);
    void end(QPainter& p);
    QColor penColor() const;
    void setPen(QPainter& p, bool forMarks = false) const;
};

} // namespace gfx
