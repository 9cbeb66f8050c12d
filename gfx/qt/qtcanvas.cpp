// The Qt screen driver: QPainter drawing into a back buffer and a front image.
#include "gfx/qt/qtcanvas.h"

#include "gfx/hatch.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QStringList>
#include <cmath>

namespace gfx {

namespace {

double mmFor(double mm, int px) {
    return mm > 0 ? mm : px * 25.4 / 96.0;
}

QPolygonF toPolygon(const std::vector<Point>& px) {
    QPolygonF poly;
    poly.reserve(static_cast<int>(px.size()));
    for (const Point& p : px) poly << QPointF(p.x, p.y);
    return poly;
}

// Pen styles indexed by LineStyle.
const Qt::PenStyle kPenStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};

// Brushes indexed by FillStyle.
const Qt::BrushStyle kBrushStyles[] = {Qt::SolidPattern, Qt::HorPattern, Qt::VerPattern,
                                       Qt::BDiagPattern, Qt::CrossPattern};

// Font families and style hints indexed by FontFace.
struct FaceInfo {
    const char* family;
    QFont::StyleHint hint;
};
const FaceInfo kFaces[] = {
    {"Sans Serif", QFont::SansSerif},
    {"Serif", QFont::Serif},
    {"Monospace", QFont::TypeWriter},
};

QColor toColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

} // namespace

QtCanvas::QtCanvas(int widthPx, int heightPx, double devicePixelRatio, double widthMm,
                   double heightMm)
    : Canvas(widthPx, heightPx, mmFor(widthMm, widthPx), mmFor(heightMm, heightPx)),
      dpr_(devicePixelRatio > 0 ? devicePixelRatio : 1.0) {
    back_ = makeImage(width(), height());
    back_.fill(toColor(paletteColor(background())));
    front_ = back_;
}

QtCanvas::~QtCanvas() = default;

QImage QtCanvas::makeImage(int widthPx, int heightPx) const {
    // RGB32 keeps the alpha byte at 0xff under the Xor raster operation.
    QImage img(static_cast<int>(std::ceil(widthPx * dpr_)),
               static_cast<int>(std::ceil(heightPx * dpr_)), QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr_);
    return img;
}

void QtCanvas::resizeSurface(int widthPx, int heightPx, double devicePixelRatio, double widthMm,
                             double heightMm) {
    if (devicePixelRatio > 0) dpr_ = devicePixelRatio;
    resize(widthPx, heightPx, mmFor(widthMm, widthPx), mmFor(heightMm, heightPx));
    QColor bg = toColor(paletteColor(background()));
    auto grow = [&](const QImage& old) {
        QImage img = makeImage(width(), height());
        img.fill(bg);
        QPainter p(&img);
        p.drawImage(QPointF(0, 0), old);
        return img;
    };
    back_ = grow(back_);
    front_ = grow(front_);
    if (onFrontChanged) onFrontChanged();
}

QColor QtCanvas::penColor() const {
    Rgb fg = currentRgb();
    if (writeMode() == WriteMode::Xor) {
        // The echo shows the foreground colour over the background.
        Rgb bg = paletteColor(background());
        return QColor(fg.r ^ bg.r, fg.g ^ bg.g, fg.b ^ bg.b);
    }
    return toColor(fg);
}

void QtCanvas::begin(QPainter& p) {
    // Someone resized the canvas through the base class: follow it.
    if (back_.width() != static_cast<int>(std::ceil(width() * dpr_)) ||
        back_.height() != static_cast<int>(std::ceil(height() * dpr_)))
        resizeSurface(width(), height(), dpr_, widthMm(), heightMm());
    const bool xorMode = writeMode() == WriteMode::Xor;
    p.begin(xorMode ? &front_ : &back_);
    if (xorMode) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    } else {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);
    }
    double x0, y0, x1, y1;
    clipPixels(x0, y0, x1, y1);
    p.setClipRect(QRectF(x0, y0, x1 - x0, y1 - y0));
}

void QtCanvas::end(QPainter& p) {
    p.end();
    if (writeMode() == WriteMode::Xor && onFrontChanged) onFrontChanged();
}

void QtCanvas::setPen(QPainter& p, bool forMarks) const {
    // A pixel coordinate names a pixel, as on any raster screen: strokes of
    // odd width run through pixel centres, so that a one-pixel line at a
    // whole coordinate covers exactly one row or column instead of two
    // half-tone ones. Fills keep the exact edges.
    if (lineWidth() % 2 == 1) p.translate(0.5, 0.5);
    QPen pen(penColor());
    pen.setWidthF(lineWidth());
    pen.setStyle(forMarks ? Qt::SolidLine : kPenStyles[static_cast<int>(lineStyle())]);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
}

void QtCanvas::flush() {
    front_ = back_;
    if (onFrontChanged) onFrontChanged();
}

void QtCanvas::drvClear(Rgb bg) {
    // Clearing in Xor mode wipes what is shown; otherwise the back buffer.
    (writeMode() == WriteMode::Xor ? front_ : back_).fill(toColor(bg));
    if (writeMode() == WriteMode::Xor && onFrontChanged) onFrontChanged();
}

void QtCanvas::drvPolyline(const std::vector<Point>& px, bool closed) {
    QPainter p;
    begin(p);
    setPen(p);
    QPolygonF poly = toPolygon(px);
    if (closed)
        p.drawPolygon(poly);
    else
        p.drawPolyline(poly);
    end(p);
}

void QtCanvas::drvPolygon(const std::vector<Point>& px) {
    QPainter p;
    begin(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QBrush(penColor(), kBrushStyles[static_cast<int>(fillStyle())]));
    p.drawPolygon(toPolygon(px), Qt::OddEvenFill);
    end(p);
}

void QtCanvas::drvArc(Point c, double rx, double ry, double a1, double a2, bool filled) {
    const double span = arcSpan(a1, a2);
    QRectF r(c.x - rx, c.y - ry, 2 * rx, 2 * ry);
    QPainter p;
    begin(p);
    if (filled) {
        p.setPen(Qt::NoPen);
        p.setBrush(QBrush(penColor(), kBrushStyles[static_cast<int>(fillStyle())]));
        if (span >= 360)
            p.drawEllipse(r);
        else
            p.drawPie(r, static_cast<int>(std::lround(a1 * 16)),
                      static_cast<int>(std::lround(span * 16)));
    } else {
        setPen(p);
        QPainterPath path;
        path.arcMoveTo(r, a1);
        path.arcTo(r, a1, span);
        p.drawPath(path);
    }
    end(p);
}

void QtCanvas::drvMark(Point c, MarkKind kind, int sizePx) {
    const double h = sizePx / 2.0;
    const double x = c.x, y = c.y;
    QPainter p;
    begin(p);
    setPen(p, true);
    QPainterPath path;
    for (const Segment& s : markStrokes(kind, c, h)) {
        path.moveTo(s.first.x, s.first.y);
        path.lineTo(s.second.x, s.second.y);
    }
    switch (kind) {
    case MarkKind::Circle:
        path.addEllipse(QPointF(x, y), h, h);
        break;
    case MarkKind::Square:
        path.addRect(QRectF(x - h, y - h, 2 * h, 2 * h));
        break;
    case MarkKind::Diamond:
        path.moveTo(x, y - h);
        path.lineTo(x + h, y);
        path.lineTo(x, y + h);
        path.lineTo(x - h, y);
        path.closeSubpath();
        break;
    case MarkKind::Dot:
        p.setPen(Qt::NoPen);
        p.setBrush(penColor());
        path.addEllipse(QPointF(x, y), h, h);
        break;
    default: // strokes only
        break;
    }
    p.drawPath(path);
    end(p);
}

QFont QtCanvas::currentFont() const {
    const FaceInfo& face = kFaces[static_cast<int>(fontFace())];
    QFont f(QString::fromLatin1(face.family));
    f.setStyleHint(face.hint);
    // Points at 96 pixels per inch, in device-independent pixels, so that the
    // size does not depend on the screen's logical DPI.
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(fontSize() * 96.0 / 72.0))));
    f.setBold(fontBold());
    f.setItalic(fontItalic());
    return f;
}

void QtCanvas::textSize(const std::string& utf8, int& w, int& h) const {
    QFontMetricsF fm(currentFont());
    QStringList lines = QString::fromStdString(utf8).split(QLatin1Char('\n'));
    double width = 0;
    for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(line));
    w = static_cast<int>(std::ceil(width));
    h = static_cast<int>(std::ceil(fm.height() + (lines.size() - 1) * fm.lineSpacing()));
}

void QtCanvas::drvText(Point at, const std::string& utf8) {
    QFont font = currentFont();
    const bool xorMode = writeMode() == WriteMode::Xor;
    if (xorMode) font.setStyleStrategy(QFont::NoAntialias);
    QFontMetricsF fm(font);
    QStringList lines = QString::fromStdString(utf8).split(QLatin1Char('\n'));
    const int n = static_cast<int>(lines.size());
    const double ascent = fm.ascent(), descent = fm.descent(), spacing = fm.lineSpacing();
    const double blockHeight = ascent + descent + (n - 1) * spacing;

    // Baseline of the first line from the vertical part of the alignment: rows
    // of three in the order base, bottom, centre, top.
    const int a = static_cast<int>(textAlign());
    const int row = a / 3, column = a % 3;
    double baseline = at.y;
    switch (row) {
    case 0: // base: the reference point is on the first baseline
        break;
    case 1: // bottom of the block
        baseline = at.y - blockHeight + ascent;
        break;
    case 2: // centre of the block
        baseline = at.y - blockHeight / 2 + ascent;
        break;
    case 3: // top of the block
        baseline = at.y + ascent;
        break;
    }

    QPainter p;
    begin(p);
    p.setFont(font);
    p.setPen(penColor());
    for (int i = 0; i < n; ++i) {
        double w = fm.horizontalAdvance(lines[i]);
        double x = at.x - (column == 0 ? 0 : column == 1 ? w / 2 : w);
        p.drawText(QPointF(x, baseline + i * spacing), lines[i]);
    }
    end(p);
}

} // namespace gfx
