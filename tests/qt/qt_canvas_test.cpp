// The Qt screen driver: a known picture rendered offscreen and checked pixel
// by pixel, double buffering, high-DPI images and the exact undo of Xor echoes.
#include "gfx/qt/qtcanvas.h"

#include <QColor>
#include <gtest/gtest.h>

using gfx::Align;
using gfx::FillStyle;
using gfx::QtCanvas;
using gfx::WriteMode;

namespace {

constexpr int kWhite = 1, kBlack = 0, kBlue = 6, kRed = 12;

QColor at(const QImage& img, int x, int y) {
    return img.pixelColor(x, y);
}

bool isColor(const QColor& c, int r, int g, int b, int tolerance = 0) {
    return std::abs(c.red() - r) <= tolerance && std::abs(c.green() - g) <= tolerance &&
           std::abs(c.blue() - b) <= tolerance;
}

// Bounding box of the pixels darker than mid-grey, in image pixels.
QRect darkBox(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
    return box;
}

// 200 x 100 pixels showing the world window [0, 10] x [0, 5]: 20 pixels per
// unit, world y = 0 at pixel row 100.
void setUp(QtCanvas& c) {
    c.setWindow(0, 10, 0, 5);
    c.setBackground(kWhite);
    c.clear();
}

} // namespace

TEST(QtCanvas, KnownPictureAtKnownPixels) {
    QtCanvas c(200, 100);
    setUp(c);
    EXPECT_STREQ(c.driverName(), "qt");
    // A red line 3 pixels wide along world y = 1 (pixel row 80).
    c.setForeground(kRed);
    c.setLineWidth(3);
    c.line(1, 1, 9, 1);
    // A blue filled square from (2, 2) to (4, 4): pixels x 40..80, y 20..60.
    c.setForeground(kBlue);
    c.polygon({{2, 2}, {4, 2}, {4, 4}, {2, 4}});
    // Black text centred on (7.5, 3) = pixel (150, 40).
    c.setForeground(kBlack);
    c.setFont(gfx::FontFace::Sans, 12);
    c.setTextAlign(Align::Centre);
    c.text(7.5, 3, "HHH");
    c.flush();

    const QImage& img = c.front();
    ASSERT_EQ(img.size(), QSize(200, 100));
    EXPECT_TRUE(isColor(at(img, 100, 80), 255, 0, 0));
    EXPECT_TRUE(isColor(at(img, 100, 79), 255, 0, 0));
    EXPECT_TRUE(isColor(at(img, 100, 76), 255, 255, 255)); // above the line
    EXPECT_TRUE(isColor(at(img, 10, 80), 255, 255, 255));  // before its start at x = 20
    EXPECT_TRUE(isColor(at(img, 60, 40), 0, 0, 255));
    EXPECT_TRUE(isColor(at(img, 41, 21), 0, 0, 255));
    EXPECT_TRUE(isColor(at(img, 36, 40), 255, 255, 255));
    EXPECT_TRUE(isColor(at(img, 60, 64), 255, 255, 255));

    // The text's ink is centred on its reference point and nowhere else.
    QImage right = img.copy(100, 0, 100, 70);
    QRect ink = darkBox(right).translated(100, 0);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.center().x(), 150, 3);
    EXPECT_NEAR(ink.center().y(), 40, 3);
    EXPECT_GT(ink.width(), 15);
}

TEST(QtCanvas, TwelveTextAlignmentsPlaceTheBoxAroundThePoint) {
    QtCanvas c(200, 100);
    setUp(c);
    c.setForeground(kBlack);
    c.setFont(gfx::FontFace::Mono, 14, true);
    int w = 0, h = 0;
    c.textSize("HH", w, h);
    EXPECT_GT(w, 10);
    EXPECT_GT(h, 10);

    // Alignments come in rows (base, bottom, centre, top) of three columns
    // (left, centre, right). "HH" has no descenders: its ink sits on the
    // baseline.
    for (int a = 0; a < 12; ++a) {
        c.clear();
        c.setTextAlign(static_cast<Align>(a));
        c.text(5, 2.5, "HH"); // pixel (100, 50)
        c.flush();
        const QRect ink = darkBox(c.front());
        ASSERT_FALSE(ink.isEmpty()) << a;
        const int row = a / 3, column = a % 3;
        const double cx = (ink.left() + ink.right() + 1) / 2.0;
        const double cy = (ink.top() + ink.bottom() + 1) / 2.0;
        if (column == 0) {
            EXPECT_GE(ink.left(), 100) << a;
        }
        if (column == 1) {
            EXPECT_NEAR(cx, 100, 2) << a;
        }
        if (column == 2) {
            EXPECT_LE(ink.right(), 100) << a;
        }
        if (row == 0) { // on the baseline
            EXPECT_NEAR(ink.bottom(), 49, 1) << a;
        }
        if (row == 1) { // above the descent
            EXPECT_LT(ink.bottom(), 48) << a;
        }
        if (row == 2) {
            EXPECT_NEAR(cy, 50, 3) << a;
        }
        if (row == 3) {
            EXPECT_GE(ink.top(), 50) << a;
        }
    }
}

TEST(QtCanvas, LineStylesAndMarks) {
    QtCanvas c(200, 100);
    setUp(c);
    c.setForeground(kRed);
    c.setLineWidth(2);
    c.setLineStyle(gfx::LineStyle::Dashed);
    c.line(0.5, 4, 9.5, 4); // pixel row 20
    c.setLineStyle(gfx::LineStyle::Continuous);
    c.line(0.5, 3, 9.5, 3); // pixel row 40
    c.flush();
    int dashRed = 0, dashWhite = 0, solidRed = 0;
    for (int x = 20; x < 180; ++x) {
        dashRed += isColor(at(c.front(), x, 20), 255, 0, 0, 40);
        dashWhite += isColor(at(c.front(), x, 20), 255, 255, 255, 40);
        solidRed += isColor(at(c.front(), x, 40), 255, 0, 0, 40);
    }
    EXPECT_GT(dashRed, 40);
    EXPECT_GT(dashWhite, 20);
    EXPECT_EQ(solidRed, 160);

    // Marks are centred on their point: crossing ones cover it, outlines not.
    struct Case {
        gfx::MarkKind kind;
        bool centreCovered;
    };
    c.setLineWidth(1);
    for (Case k : {Case{gfx::MarkKind::Plus, true}, Case{gfx::MarkKind::Star, true},
                   Case{gfx::MarkKind::Dot, true}, Case{gfx::MarkKind::Circle, false},
                   Case{gfx::MarkKind::Square, false}, Case{gfx::MarkKind::Diamond, false}}) {
        c.clear();
        c.mark(5, 2.5, k.kind, 12); // pixel (100, 50), 6 pixels each way
        c.flush();
        const QRect ink = darkBox(c.front());
        EXPECT_EQ(qGray(c.front().pixel(100, 50)) < 200, k.centreCovered)
            << static_cast<int>(k.kind);
        EXPECT_NEAR(ink.center().x(), 100, 1.5) << static_cast<int>(k.kind);
        EXPECT_NEAR(ink.center().y(), 50, 1.5) << static_cast<int>(k.kind);
        EXPECT_LE(ink.width(), 14) << static_cast<int>(k.kind);
    }
}

TEST(QtCanvas, BackBufferIsShownOnlyByFlush) {
    QtCanvas c(50, 50);
    setUp(c);
    c.flush();
    int changes = 0;
    c.onFrontChanged = [&] { ++changes; };
    c.setForeground(kRed);
    c.box(0, 0, 10, 5);
    EXPECT_TRUE(isColor(at(c.front(), 25, 25), 255, 255, 255));
    EXPECT_TRUE(isColor(at(c.back(), 25, 25), 255, 0, 0));
    EXPECT_EQ(changes, 0);
    c.flush();
    EXPECT_TRUE(isColor(at(c.front(), 25, 25), 255, 0, 0));
    EXPECT_EQ(changes, 1);
}

TEST(QtCanvas, HighDpiImageHasDevicePixels) {
    QtCanvas c(200, 100, 2.0);
    setUp(c);
    EXPECT_EQ(c.width(), 200);
    c.setForeground(kRed);
    c.setLineWidth(2);
    c.line(1, 1, 9, 1);
    c.flush();
    const QImage& img = c.front();
    ASSERT_EQ(img.size(), QSize(400, 200));
    EXPECT_DOUBLE_EQ(img.devicePixelRatio(), 2.0);
    // World y = 1 is pixel row 80, device rows 158..161 for a 2-pixel pen.
    EXPECT_TRUE(isColor(at(img, 200, 159), 255, 0, 0));
    EXPECT_TRUE(isColor(at(img, 200, 160), 255, 0, 0));
    EXPECT_TRUE(isColor(at(img, 200, 154), 255, 255, 255));
    // Resizing keeps the ratio and the picture at the top left.
    c.resizeSurface(300, 150, 2.0);
    EXPECT_EQ(c.front().size(), QSize(600, 300));
    EXPECT_TRUE(isColor(at(c.front(), 200, 160), 255, 0, 0));
    EXPECT_TRUE(isColor(at(c.front(), 500, 250), 255, 255, 255));
}

TEST(QtCanvas, HatchesClippingAndSectors) {
    QtCanvas c(200, 100);
    setUp(c);
    c.setForeground(kRed);

    // A horizontal hatch leaves rows of background between its lines.
    c.setFillStyle(FillStyle::HatchHorizontal);
    c.box(0, 0, 2.5, 5); // pixels x 0..50
    c.flush();
    int red = 0, white = 0;
    for (int y = 10; y < 90; ++y) {
        QColor px = at(c.front(), 25, y);
        red += isColor(px, 255, 0, 0, 60);
        white += isColor(px, 255, 255, 255, 60);
    }
    EXPECT_GT(red, 5);
    EXPECT_GT(white, 5);
    // Along a hatch line the colour does not change.
    int row = 10;
    while (row < 90 && !isColor(at(c.front(), 25, row), 255, 0, 0, 60)) ++row;
    EXPECT_TRUE(isColor(at(c.front(), 5, row), 255, 0, 0, 60));
    EXPECT_TRUE(isColor(at(c.front(), 45, row), 255, 0, 0, 60));

    // Clipping to world x in [5, 7.5] (pixels 100..150).
    c.setFillStyle(FillStyle::Solid);
    c.setClip(5, 7.5, 0, 5);
    c.box(3, 0, 10, 5);
    c.clearClip();
    // A quarter sector from 0 to 90 degrees about (9, 1) = pixel (180, 80).
    c.setForeground(kBlue);
    c.sector(9, 1, 0.75, 0, 90);
    c.flush();
    EXPECT_TRUE(isColor(at(c.front(), 125, 50), 255, 0, 0));
    EXPECT_TRUE(isColor(at(c.front(), 90, 50), 255, 255, 255));
    EXPECT_TRUE(isColor(at(c.front(), 160, 50), 255, 255, 255));
    EXPECT_TRUE(isColor(at(c.front(), 186, 74), 0, 0, 255));     // first quadrant
    EXPECT_TRUE(isColor(at(c.front(), 174, 86), 255, 255, 255)); // third quadrant
}

TEST(QtCanvas, XorEchoDrawnTwiceRestoresThePixels) {
    QtCanvas c(200, 100, 1.5);
    setUp(c);
    c.setForeground(kRed);
    c.setLineWidth(2);
    c.line(0, 0, 10, 5);
    c.setForeground(kBlue);
    c.setFillStyle(FillStyle::HatchCross);
    c.polygon({{1, 1}, {6, 1}, {3, 4}});
    c.setForeground(kBlack);
    c.text(1, 4, "Kestrel");
    c.flush();
    const QImage before = c.front().copy();
    const QImage backBefore = c.back().copy();

    auto echo = [&] {
        c.setWriteMode(WriteMode::Xor);
        c.setForeground(kBlack);
        c.setLineWidth(1);
        c.pixelRect(20.5, 10.25, 140.75, 70.5);
        c.line(0.3, 4.1, 9.7, 0.2);
        c.setLineWidth(3);
        c.setLineStyle(gfx::LineStyle::Dashed);
        c.polyline({{1, 1}, {5, 4}, {9, 1}, {5, 0.5}});
        c.arc(5, 2.5, 2, 10, 300);
        c.mark(2, 2, gfx::MarkKind::Star, 9);
        c.text(6, 1, "echo");
        c.setLineStyle(gfx::LineStyle::Continuous);
        c.setWriteMode(WriteMode::Replace);
    };
    echo();
    EXPECT_NE(c.front(), before);
    EXPECT_EQ(c.back(), backBefore); // the echo never reaches the back buffer
    // Black over white shows black: the echo draws the foreground colour.
    // The left side of the rectangle is near device column 20.5 * 1.5.
    int black = 0;
    for (int x = 27; x <= 35; ++x) black += isColor(at(c.front(), x, 60), 0, 0, 0);
    EXPECT_GE(black, 1);
    echo();
    EXPECT_EQ(c.front(), before);
}
