// The recording driver: appends one Primitive per drawing call.
#include "gfx/record.h"

#include <algorithm>

namespace gfx {

RecordingCanvas::RecordingCanvas(int widthPx, int heightPx, double widthMm, double heightMm)
    : Canvas(widthPx, heightPx, widthMm > 0 ? widthMm : widthPx * 25.4 / 96.0,
             heightMm > 0 ? heightMm : heightPx * 25.4 / 96.0) {}

int RecordingCanvas::count(Primitive::Kind kind) const {
    return static_cast<int>(std::count_if(prims_.begin(), prims_.end(),
                                          [&](const Primitive& p) { return p.kind == kind; }));
}

Primitive RecordingCanvas::start(Primitive::Kind kind) const {
    Primitive p;
    p.kind = kind;
    p.world = currentWorld();
    p.color = foreground();
    p.rgb = currentRgb();
    p.lineStyle = lineStyle();
    p.lineWidth = lineWidth();
    p.fillStyle = fillStyle();
    p.writeMode = writeMode();
    p.align = textAlign();
    p.fontSize = fontSize();
    return p;
}

void RecordingCanvas::drvClear(Rgb bg) {
    if (!recording_) return;
    Primitive p = start(Primitive::Kind::Clear);
    p.world.clear();
    p.color = background();
    p.rgb = bg;
    prims_.push_back(std::move(p));
}

void RecordingCanvas::drvPolyline(const std::vector<Point>& px, bool closed) {
    if (!recording_) return;
    Primitive p = start(Primitive::Kind::Polyline);
    p.pixel = px;
    p.closed = closed;
    prims_.push_back(std::move(p));
}

void RecordingCanvas::drvPolygon(const std::vector<Point>& px) {
    if (!recording_) return;
    Primitive p = start(Primitive::Kind::Polygon);
    p.pixel = px;
    prims_.push_back(std::move(p));
}

void RecordingCanvas::drvArc(Point centre, double rx, double ry, double a1, double a2,
                             bool filled) {
    if (!recording_) return;
    Primitive p = start(filled ? Primitive::Kind::Sector : Primitive::Kind::Arc);
    p.pixel = {centre};
    p.rx = rx;
    p.ry = ry;
    p.a1 = a1;
    p.a2 = a2;
    prims_.push_back(std::move(p));
}

void RecordingCanvas::drvMark(Point pt, MarkKind kind, int sizePx) {
    if (!recording_) return;
    Primitive p = start(Primitive::Kind::Mark);
    p.pixel = {pt};
    p.mark = kind;
    p.markSize = sizePx;
    prims_.push_back(std::move(p));
}

void RecordingCanvas::drvText(Point pt, const std::string& utf8) {
    if (!recording_) return;
    Primitive p = start(Primitive::Kind::Text);
    p.pixel = {pt};
    p.text = utf8;
    prims_.push_back(std::move(p));
}

void RecordingCanvas::flush() {
    if (!recording_) return;
    prims_.push_back(start(Primitive::Kind::Flush));
}

} // namespace gfx
