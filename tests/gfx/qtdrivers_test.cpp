// The printer and clipboard drivers on Qt's offscreen platform, and the file
// drivers' picture against the screen driver's image of the same drawing.
#include "gfx/cairocanvas.h"
#include "gfx/qt/qtdrivers.h"
#include "tests/gfx/picture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using namespace kestrel_test;

namespace {

std::string tmp(const std::string& name) {
    return (fs::temp_directory_path() / ("kestrel-qtdrivers-" + name)).string();
}

} // namespace

TEST(QtDrivers, PngPictureMatchesTheScreenImage) {
    gfx::QtCanvas screen(kW, kH);
    drawPicture(screen);
    screen.flush();
    const std::string png = tmp("screen.png");
    {
        gfx::CairoCanvas file(gfx::CairoFormat::Png, png, kW, kH);
        drawPicture(file);
        ASSERT_TRUE(file.finish());
    }
    const std::string shown = tmp("shown.png");
    ASSERT_TRUE(screen.front().save(QString::fromStdString(shown)));
    EXPECT_LT(differing(readPng(png), readPng(shown)), 0.02); // 1 when the sizes differ
}

TEST(QtDrivers, ClipboardGetsAnImageFiveTimesTheCanvas) {
    EXPECT_EQ(gfx::clipboardData(400, 300), "2000x1500");
    auto c = gfx::openQtDriver("clipboard", gfx::clipboardData(400, 300), 400, 300, 0, 0);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->width(), 2000);
    EXPECT_EQ(c->height(), 1500);
    c->setWindow(0, 1, 0, 1);
    c->setForeground(12);
    c->box(0, 0, 0.5, 1); // left half red
    ASSERT_TRUE(c->finish());
    const QImage img = QGuiApplication::clipboard()->image();
    ASSERT_EQ(img.size(), QSize(2000, 1500));
    EXPECT_EQ(img.pixelColor(10, 750), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(1990, 750), QColor(255, 255, 255));
}

TEST(QtDrivers, RefusedDataTexts) {
    struct Case {
        const char* driver;
        const char* data;
    };
    for (const Case& k : {Case{"clipboard", "2000"}, Case{"clipboard", "0x5"},
                          Case{"clipboard", "20x30 "}, Case{"clipboard", "100000x100000"},
                          Case{"printer", ""}, Case{"printer", " -d"}, Case{"plotter", "a"}})
        EXPECT_FALSE(gfx::openQtDriver(k.driver, k.data, 400, 300, 0, 0, tmp("x.pdf")))
            << k.driver << " " << k.data;
}

TEST(QtDrivers, PrinterPrintsThePictureOnAPage) {
    const std::string pdf = tmp("print.pdf");
    fs::remove(pdf);
    auto c = gfx::openQtDriver("printer", gfx::printerData(), kW, kH, 0, 0, pdf);
    ASSERT_TRUE(c);
    drawPicture(*c);
    ASSERT_TRUE(c->finish());
    ASSERT_TRUE(fs::exists(pdf));
    // Rendered by poppler: one landscape page with the picture's ink on it.
    ASSERT_EQ(std::system(("pdftoppm -png -r 40 -singlefile " + pdf + " " + pdf).c_str()), 0);
    const Image page = readPng(pdf + ".png");
    EXPECT_GT(page.w, page.h);
    EXPECT_GT(ink(page), 500);
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
