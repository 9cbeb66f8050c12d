// The drawing facade: one canvas interface through which every picture of the
// program is drawn (screen, printer, clipboard, export files). A canvas maps a
// window of world coordinates onto its pixels, keeps a 16-colour palette with
// a foreground and a background, line and fill styles, a write mode for rubber
// bands, a clip rectangle and text settings. Drivers implement a handful of
// pixel-space primitives; everything else (the world mapping, the state) lives
// here, so that every driver draws the same picture.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace gfx {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Point {
    double x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

enum class LineStyle { Continuous, Dashed, Dotted, DashDot };

// Solid fill and the four hatch styles of filled areas.
enum class FillStyle { Solid, HatchHorizontal, HatchVertical, HatchDiagonal, HatchCross };

// Replace draws normally; Xor draws the rubber-band echo so that drawing the
// same primitive twice restores the picture exactly. Xor never touches the
// back buffer: it goes straight to what is shown.
enum class WriteMode { Replace, Xor };

// Text alignment: which point of the text box the reference point is.
enum class Align {
    BaseLeft,
    BaseCentre,
    BaseRight,
    BottomLeft,
    BottomCentre,
    BottomRight,
    CentreLeft,
    Centre,
    CentreRight,
    TopLeft,
    TopCentre,
    TopRight,
};

enum class MarkKind { Plus, Cross, Star, Circle, Square, Diamond, Dot };

enum class FontFace { Sans, Serif, Mono };

// The palette every canvas starts with: index to RGB.
const std::array<Rgb, 16>& defaultPalette();

class Canvas {
public:
    Canvas(int widthPx, int heightPx, double widthMm, double heightMm);
    virtual ~Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Size of the drawing surface in (device-independent) pixels and millimetres.
    int width() const { return width_; }
    int height() const { return height_; }
    double widthMm() const { return widthMm_; }
    double heightMm() const { return heightMm_; }
    // Drivers call this when the surface changes size; the viewport becomes the
    // whole canvas.
    void resize(int widthPx, int heightPx, double widthMm, double heightMm);

    // The world window shown in the viewport (by default the whole canvas).
    void setWindow(double xmin, double xmax, double ymin, double ymax);
    void window(double& xmin, double& xmax, double& ymin, double& ymax) const;
    void setViewport(int x0, int x1, int y0, int y1);
    void fullViewport() { setViewport(0, width_ - 1, 0, height_ - 1); }

    // World to pixel and back. Pixel y grows downwards, world y upwards.
    Point worldToPixel(double x, double y) const;
    Point pixelToWorld(double px, double py) const;
    // World length of a horizontal distance of `px` pixels.
    double pixelsToWorldX(double px) const;

    // Palette and colours (indices 0..15).
    void setPaletteColor(int index, Rgb rgb);
    Rgb paletteColor(int index) const;
    void setForeground(int index);
    void setBackground(int index);
    int foreground() const { return fg_; }
    int background() const { return bg_; }

    void setLineStyle(LineStyle s) { lineStyle_ = s; }
    LineStyle lineStyle() const { return lineStyle_; }
    void setLineWidth(int px) { lineWidth_ = px < 1 ? 1 : px; }
    int lineWidth() const { return lineWidth_; }
    void setFillStyle(FillStyle s) { fillStyle_ = s; }
    FillStyle fillStyle() const { return fillStyle_; }
    void setWriteMode(WriteMode m) { writeMode_ = m; }
    WriteMode writeMode() const { return writeMode_; }

    // Clipping to a world rectangle, or to the viewport.
    void setClip(double xmin, double xmax, double ymin, double ymax);
    void clearClip();
    bool clipped() const { return clipOn_; }
    // Clip rectangle in pixels (x0 <= x1, y0 <= y1).
    void clipPixels(double& x0, double& y0, double& x1, double& y1) const;

    void setTextAlign(Align a) { align_ = a; }
    Align textAlign() const { return align_; }
    void setFont(FontFace face, int sizePt, bool bold = false, bool italic = false);
    FontFace fontFace() const { return face_; }
    int fontSize() const { return fontSize_; }
    bool fontBold() const { return bold_; }
    bool fontItalic() const { return italic_; }

    // Primitives in world coordinates, in the current colour and styles.
    // Fills the whole canvas with the background colour, or only the viewport when it covers
    // part of the canvas.
    void clear();
    void line(double x1, double y1, double x2, double y2);
    void polyline(const std::vector<Point>& pts);
    void rect(double x1, double y1, double x2, double y2); // outline
    void box(double x1, double y1, double x2, double y2);  // filled
    void polygon(const std::vector<Point>& pts);           // filled
    // Arcs and sectors: centre, radius in world x units, angles in degrees
    // counter-clockwise from the x axis.
    void arc(double xc, double yc, double r, double a1, double a2);
    void sector(double xc, double yc, double r, double a1, double a2);
    void mark(double x, double y, MarkKind kind, int sizePx);
    void text(double x, double y, const std::string& utf8);

    // The same primitives in pixel coordinates (cursor cross, aperture, echo).
    void pixelLine(double x1, double y1, double x2, double y2);
    void pixelRect(double x1, double y1, double x2, double y2);

    // Width and height of a text in pixels with the current font.
    virtual void textSize(const std::string& utf8, int& w, int& h) const;

    // Double buffering: primitives in Replace mode go to the back buffer;
    // flush shows it.
    virtual void flush() {}

    // Plain texts: labels are drawn as text alone, without the filled box in the
    // background colour that the screen puts behind them. The printer,
    // clipboard, CGM and DXF exports draw with it set; drawing code that puts
    // boxes behind labels asks for it.
    void setPlainText(bool on) { plainText_ = on; }
    bool plainText() const { return plainText_; }

    // Writes out and closes the picture of a file driver; true when all went
    // well. Screen and recording canvases have nothing to write.
    virtual bool finish() { return true; }

    // Which driver this is ("qt", "record", "ps", ...).
    virtual const char* driverName() const = 0;

protected:
    // Driver primitives, pixel coordinates, current state read from this base.
    virtual void drvClear(Rgb bg) = 0;
    virtual void drvPolyline(const std::vector<Point>& px, bool closed) = 0;
    virtual void drvPolygon(const std::vector<Point>& px) = 0;
    virtual void drvArc(Point centre, double rx, double ry, double a1, double a2, bool filled) = 0;
    virtual void drvMark(Point p, MarkKind kind, int sizePx) = 0;
    virtual void drvText(Point p, const std::string& utf8) = 0;

    // The world coordinates of the primitive being drawn, for drivers that keep
    // them (the recording driver, world-coordinate file formats).
    const std::vector<Point>& currentWorld() const { return world_; }
    Rgb currentRgb() const { return palette_[fg_]; }

private:
    int width_, height_;
    double widthMm_, heightMm_;
    double wxmin_ = 0, wxmax_ = 1, wymin_ = 0, wymax_ = 1;
    int vx0_ = 0, vx1_ = 0, vy0_ = 0, vy1_ = 0;
    double sx_ = 1, sy_ = 1, tx_ = 0, ty_ = 0;
    std::array<Rgb, 16> palette_;
    int fg_ = 0, bg_ = 1;
    LineStyle lineStyle_ = LineStyle::Continuous;
    int lineWidth_ = 1;
    FillStyle fillStyle_ = FillStyle::Solid;
    WriteMode writeMode_ = WriteMode::Replace;
    bool clipOn_ = false;
    double cx0_ = 0, cy0_ = 0, cx1_ = 0, cy1_ = 0;
    Align align_ = Align::BaseLeft;
    FontFace face_ = FontFace::Sans;
    int fontSize_ = 10;
    bool bold_ = false, italic_ = false;
    bool plainText_ = false;
    std::vector<Point> world_;

    void updateMapping();
    std::vector<Point> toPixels(const std::vector<Point>& w) const;
};

} // namespace gfx
