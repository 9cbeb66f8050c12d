// The world mapping and state of the drawing facade, checked through the
// recording driver against hand-computed values.
#include "gfx/record.h"
#include "tests/support/golden.h"
#include "tests/support/primitives.h"

#include <gtest/gtest.h>

using gfx::Point;
using gfx::Primitive;
using gfx::RecordingCanvas;

// A 10 x 10 window on 100 x 100 pixels, and on 200 x 100 pixels: 20 px per
// unit across, 10 down; each point both ways, and the whole width in pixels.
// Then an arbitrary window mapped there and back, and a viewport on a
// quarter of the canvas until a resize.
TEST(CanvasMapping, WindowsAndViewports) {
    const struct {
        int w;
        double x0, x, y, px, py;
    } rows[] = {{100, 0, 0, 0, 0, 100},    {100, 0, 10, 10, 100, 0}, {100, 0, 2.5, 7.5, 25, 25},
                {200, -5, 0, 5, 100, 50},  {200, -5, -5, 0, 0, 100}, {200, -5, 1, 1, 120, 90},
                {200, -5, 2.5, 8, 150, 20}};
    for (const auto& r : rows) {
        RecordingCanvas c(r.w, 100);
        c.setWindow(r.x0, r.x0 + 10, 0, 10);
        EXPECT_EQ(c.worldToPixel(r.x, r.y), (Point{r.px, r.py}));
        const Point w = c.pixelToWorld(r.px, r.py);
        EXPECT_DOUBLE_EQ(w.x, r.x);
        EXPECT_DOUBLE_EQ(w.y, r.y);
        EXPECT_DOUBLE_EQ(c.pixelsToWorldX(r.w), 10);
    }
    RecordingCanvas c(640, 480);
    c.setWindow(-3.25, 17.5, 2.0, 11.0);
    for (double x : {-3.25, 0.0, 4.4, 17.5})
        for (double y : {2.0, 5.5, 11.0}) {
            Point p = c.worldToPixel(x, y);
            Point w = c.pixelToWorld(p.x, p.y);
            EXPECT_NEAR(w.x, x, 1e-12);
            EXPECT_NEAR(w.y, y, 1e-12);
        }
    RecordingCanvas q(200, 200);
    q.setViewport(100, 199, 0, 99); // the top-right quarter
    q.setWindow(0, 1, 0, 1);
    EXPECT_EQ(q.worldToPixel(0, 0), (Point{100, 100}));
    EXPECT_EQ(q.worldToPixel(1, 1), (Point{200, 0}));
    q.resize(50, 40, 10, 8); // a resize shows the window on the whole canvas again
    EXPECT_EQ(q.worldToPixel(1, 0), (Point{50, 40}));
    EXPECT_EQ(q.width(), 50);
    EXPECT_DOUBLE_EQ(q.heightMm(), 8);
}

TEST(CanvasPalette, DefaultColoursAndForegroundBackground) {
    RecordingCanvas c(10, 10);
    EXPECT_EQ(c.paletteColor(0), (gfx::Rgb{0, 0, 0}));
    EXPECT_EQ(c.paletteColor(7), (gfx::Rgb{0, 0, 123}));
    EXPECT_EQ(c.paletteColor(9), (gfx::Rgb{0, 153, 153}));
    EXPECT_EQ(c.paletteColor(14), (gfx::Rgb{188, 188, 188}));
    EXPECT_EQ(c.paletteColor(15), (gfx::Rgb{76, 76, 76}));
    c.setForeground(12);
    c.setForeground(16); // out of range: ignored
    EXPECT_EQ(c.foreground(), 12);
    c.setPaletteColor(3, {1, 2, 3});
    EXPECT_EQ(c.paletteColor(3), (gfx::Rgb{1, 2, 3}));
}

TEST(CanvasRecording, PrimitivesCarryWorldAndPixelCoordinatesAndState) {
    RecordingCanvas c(100, 50);
    c.setWindow(0, 10, 0, 5);
    c.setBackground(14);
    c.clear();
    c.setForeground(12);
    c.setLineStyle(gfx::LineStyle::Dashed);
    c.setLineWidth(2);
    c.line(0, 0, 10, 5);
    c.setFillStyle(gfx::FillStyle::HatchCross);
    c.polygon({{1, 1}, {2, 1}, {2, 2}});
    c.polygon({{1, 1}, {2, 1}}); // fewer than three points: nothing drawn
    c.setTextAlign(gfx::Align::Centre);
    c.text(5, 2.5, "10.00 kN·m");
    c.setWriteMode(gfx::WriteMode::Xor);
    c.pixelRect(10, 10, 20, 30);
    c.sector(5, 2.5, 1, 0, 90);

    // Kind, colour, style, width, fill, write mode, text, alignment, radii
    // and pixels (tests/data/gfx/recording.txt): the two-point polygon is not
    // drawn; the pixel rectangle is a closed outline; 1 world unit is 10 px.
    kestrel_test::expectGolden("gfx", "recording", kestrel_test::scene("state", c));
    const auto& p = c.primitives();
    ASSERT_EQ(p.size(), 6u);
    EXPECT_EQ(p[0].rgb, (gfx::Rgb{188, 188, 188}));
    EXPECT_EQ(p[1].world, (std::vector<Point>{{0, 0}, {10, 5}}));
    EXPECT_EQ(p[4].world[0], (Point{1, 4}));
}

TEST(CanvasClip, ClipRectangleInPixels) {
    RecordingCanvas c(100, 100);
    c.setWindow(0, 10, 0, 10);
    auto clip = [&] {
        double x0, y0, x1, y1;
        c.clipPixels(x0, y0, x1, y1);
        return std::vector<double>{x0, y0, x1, y1};
    };
    EXPECT_EQ(clip(), (std::vector<double>{0, 0, 100, 100}));
    c.setClip(2, 4, 1, 3);
    EXPECT_TRUE(c.clipped());
    EXPECT_EQ(clip(), (std::vector<double>{20, 70, 40, 90}));
    c.clearClip();
    EXPECT_FALSE(c.clipped());
}

TEST(CanvasText, EstimatedSizeCountsCharactersNotBytes) {
    RecordingCanvas c(100, 100);
    c.setFont(gfx::FontFace::Sans, 12);
    int w1, h1, w2, h2;
    c.textSize("m2", w1, h1);
    c.textSize("m\xC2\xB2", w2, h2); // "m²": two characters, three bytes
    EXPECT_EQ(w1, w2);
    EXPECT_EQ(h1, h2);
    EXPECT_GT(w1, 0);
}
