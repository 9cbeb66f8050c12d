// The file drivers, each read back by a reader that is not ours: Ghostscript
// renders PostScript and EPS, poppler PDF, librsvg SVG, and the renderings
// are compared with the PNG driver's image of the same picture; ezdxf opens
// the DXF file; a small decoder below walks the binary CGM file. Also the
// driver data texts, refused texts and files that cannot be written.
#include "gfx/drivers.h"
#include "gfx/hatch.h"
#include "tests/gfx/picture.h"
#include "tests/support/golden.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using gfx::Canvas;
using gfx::Point;
using namespace kestrel_test;

namespace {

std::string tmp(const std::string& name) {
    return (fs::temp_directory_path() / ("kestrel-export-" + name)).string();
}

bool run(const std::string& cmd) {
    return std::system((cmd + " >/dev/null 2>&1").c_str()) == 0;
}

std::unique_ptr<Canvas> open(const std::string& driver, const std::string& data) {
    return gfx::openDriver(driver, data, kW, kH, kW * 25.4 / 96, kH * 25.4 / 96);
}

void exportPicture(const std::string& driver, const std::string& data) {
    auto c = open(driver, data);
    ASSERT_TRUE(c) << data;
    drawPicture(*c);
    ASSERT_TRUE(c->finish());
}

TEST(ExportRendering, VectorFilesRenderLikeThePngImage) {
    const std::string ref = tmp("ref.png");
    exportPicture("png", gfx::sizeData(ref, kW, kH));
    const Image reference = readPng(ref);
    ASSERT_EQ(reference.w, kW);
    ASSERT_GT(ink(reference), 2000);
    struct Case {
        const char* driver;
        std::string data, rendered, command;
    };
    const std::string ps = tmp("a.ps"), eps = tmp("a.eps"), pdf = tmp("a.pdf"), svg = tmp("a.svg");
    const std::string gs = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=png16m -r96 "
                           "-dTextAlphaBits=4 -dGraphicsAlphaBits=4 ";
    const Case cases[] = {
        {"ps", gfx::psData(ps, false), ps + ".png", gs + "-sOutputFile=" + ps + ".png " + ps},
        {"ps", gfx::psData(eps, true), eps + ".png",
         gs + "-dEPSCrop -sOutputFile=" + eps + ".png " + eps},
        {"pdf", gfx::sizeData(pdf, kW, kH), pdf + ".png",
         "pdftoppm -png -r 96 -singlefile " + pdf + " " + pdf},
        {"svg", gfx::sizeData(svg, kW, kH), svg + ".png", "rsvg-convert -o " + svg + ".png " + svg},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.data);
        exportPicture(k.driver, k.data);
        ASSERT_TRUE(run(k.command)) << k.command;
        const Image got = readPng(k.rendered);
        EXPECT_EQ(got.w, kW);
        EXPECT_EQ(got.h, kH);
        EXPECT_LT(differing(got, reference), 0.02);
        EXPECT_NEAR(double(ink(got)), double(ink(reference)), 0.15 * ink(reference));
    }
    // The EPS bounding box is the picture: 400 x 300 pixels are 300 x 225 points.
    EXPECT_NE(kestrel_test::readText(eps).find("%%BoundingBox: 0 0 300 225"), std::string::npos);
    EXPECT_EQ(kestrel_test::readText(ps).find("EPSF"), std::string::npos);
}

// Drawing of one colour is gathered into few paths in the vector files: overlapping fills,
// whichever way round their outlines run, still fill their union, a concave outline keeps its
// notch, and what is drawn later in another colour still lies on top.
TEST(ExportRendering, OverlapsKeepTheirUnionAndTheirOrder) {
    const std::string pdf = tmp("overlap.pdf");
    {
        auto c = open("pdf", gfx::sizeData(pdf, kW, kH));
        ASSERT_TRUE(c);
        c->setWindow(0, kW, 0, kH);
        c->setBackground(1);
        c->clear();
        c->setForeground(0);
        c->polygon({{20, 20}, {120, 20}, {120, 120}, {20, 120}}); // anticlockwise
        c->line(0, 10, 400, 10);                                  // a stroke between fills
        c->polygon({{80, 80}, {80, 180}, {180, 180}, {180, 80}}); // clockwise, overlapping
        c->polygon({{200, 20}, {300, 20}, {300, 120}, {250, 120}, {250, 60}, {200, 60}}); // an L
        c->polygon({{220, 40}, {280, 40}, {280, 100}, {220, 100}}); // over the L's corner
        c->setForeground(12);                                       // red over black
        c->polygon({{100, 100}, {140, 100}, {140, 140}, {100, 140}});
        c->setForeground(0); // black over red again
        c->polygon({{130, 130}, {150, 130}, {150, 150}, {130, 150}});
        ASSERT_TRUE(c->finish());
    }
    ASSERT_TRUE(run("pdftoppm -png -r 96 -singlefile " + pdf + " " + pdf));
    const Image im = readPng(pdf + ".png");
    ASSERT_EQ(im.w, kW);
    auto at = [&](int x, int y) { return im.px[std::size_t((kH - y) * kW + x)]; };
    const std::uint32_t black = 0, white = 0xffffff, red = at(120, 120);
    EXPECT_EQ(at(50, 50), black);
    EXPECT_EQ(at(95, 95), black); // both squares
    EXPECT_EQ(at(160, 160), black);
    EXPECT_EQ(at(210, 110), white); // the L's notch, beside the square over its corner
    EXPECT_EQ(at(240, 50), black);  // the L and the square
    EXPECT_EQ(at(290, 110), black);
    EXPECT_NE(red, black);
    EXPECT_EQ(red >> 16 & 0xff, 0xffu);
    EXPECT_EQ(at(110, 110), red);
    EXPECT_EQ(at(140, 140), black); // drawn after the red
}

TEST(ExportDxf, EzdxfFindsTheEntitiesOnTheirColourLayers) {
    const std::string dxf = tmp("a.dxf");
    exportPicture("dxf", gfx::dxfData(dxf, kW, kH));
    const std::string out = tmp("dxf.txt");
    const std::string script =
        "import ezdxf,collections,sys\n"
        "d=ezdxf.readfile(sys.argv[1])\n"
        "c=collections.Counter((e.dxftype(),e.dxf.layer) for e in d.modelspace())\n"
        "for (t,l),n in sorted(c.items()): print(t,l,n)\n"
        "print('TEXTS',sorted(e.dxf.text for e in d.modelspace().query('TEXT')))\n";
    std::ofstream(tmp("dxf.py")) << script;
    ASSERT_EQ(
        std::system(
            ("/usr/bin/python3 " + tmp("dxf.py") + " " + dxf + " > " + out + " 2>&1").c_str()),
        0)
        << kestrel_test::readText(out);
    // Hatch lines of a box from y 60 to 100 (pixel rows 200..240): at pixel
    // rows 200, 208, ..., 232, five lines. The quadrilateral is two triangles.
    EXPECT_EQ(kestrel_test::readText(out), "LINE COLOR_12 3\n"
                                           "LINE COLOR_5 5\n"
                                           "POLYLINE COLOR_6 1\n"
                                           "SOLID COLOR_0 3\n"
                                           "TEXT COLOR_13 3\n"
                                           "TEXTS ['A', 'B', 'M = 12.5 kNm']\n");
}

// A reader of binary CGM: the (class, id) of every element and its
// parameter bytes, or an empty list when the file is malformed.
struct Element {
    int cls, id;
    std::string params;
};
std::vector<Element> decodeCgm(const std::string& b) {
    std::vector<Element> out;
    std::size_t i = 0;
    auto word = [&](std::size_t at) {
        return unsigned(static_cast<unsigned char>(b[at])) << 8 |
               static_cast<unsigned char>(b[at + 1]);
    };
    while (i + 2 <= b.size()) {
        const unsigned head = word(i);
        i += 2;
        Element e{int(head >> 12), int(head >> 5 & 0x7f), ""};
        std::size_t len = head & 31;
        if (len == 31) {
            bool more = true;
            while (more) {
                if (i + 2 > b.size()) return {};
                const unsigned part = word(i);
                i += 2;
                more = part & 0x8000;
                len = part & 0x7fff;
                if (i + len > b.size()) return {};
                e.params += b.substr(i, len);
                i += len;
            }
            len = e.params.size();
        } else {
            if (i + len > b.size()) return {};
            e.params = b.substr(i, len);
            i += len;
        }
        if (len % 2) ++i; // pad byte
        out.push_back(e);
    }
    if (i != b.size()) return {};
    return out;
}

TEST(ExportCgm, DecodedStructureAndElementCounts) {
    const std::string cgm = tmp("a.cgm");
    // 105.833 x 79.375 mm at 3.7795 px/mm: the 400 x 300 pixel canvas.
    exportPicture("cgm", gfx::cgmData(cgm, kW * 25.4 / 96, kH * 25.4 / 96, 96 / 25.4));
    const std::vector<Element> els = decodeCgm(kestrel_test::readText(cgm));
    // Every element with its parameter bytes (tests/data/gfx/cgm-elements.txt): BEGIN METAFILE
    // (0 1) first, END PICTURE (0 5) and END METAFILE (0 2) last, one BEGIN PICTURE (0 3), the
    // VDC EXTENT (2 6) of the pixel size, four polylines (4 1: three lines and the polyline),
    // three polygons (4 7: two solid fills, the triangle at (200, 60), (260, 60), (230, 110)
    // y upwards, and the hatched box), the background (4 11) and three texts (4 4).
    std::string dump;
    for (const Element& e : els) {
        dump += std::to_string(e.cls) + " " + std::to_string(e.id);
        for (unsigned char b : e.params) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02x", b);
            dump += hex;
        }
        dump += "\n";
    }
    expectGolden("gfx", "cgm-elements", dump);
    // A truncated file is not a metafile.
    EXPECT_TRUE(
        decodeCgm(kestrel_test::readText(cgm).substr(0, kestrel_test::readText(cgm).size() - 3))
            .empty());
}

TEST(ExportDrivers, DataTextsAndRefusals) {
    EXPECT_EQ(gfx::cgmData("/a/b.cgm", 105.5, 80, 3.75), "/a/b.cgm 105.5x80 3.75");
    EXPECT_EQ(gfx::dxfData("b.dxf", 400, 300), "b.dxf 400x300");
    EXPECT_EQ(gfx::psData("b.eps", true), "b.eps -e");
    EXPECT_EQ(gfx::psData("b.ps", false), "b.ps");
    const std::string dir = tmp("dir with blank");
    fs::create_directories(dir);
    struct Case {
        const char* driver;
        std::string data;
        const char* name; // driver name when it opens, null when refused
    };
    const Case cases[] = {
        {"ps", dir + "/x.ps", "ps"},
        {"ps", dir + "/x.eps -e", "eps"},
        {"dxf", dir + "/x.dxf 400x300", "dxf"},
        {"cgm", dir + "/x.cgm 100x50 4", "cgm"},
        {"svg", dir + "/x.svg 10x10", "svg"},
        {"png", dir + "/x.png 1x1", "png"},
        {"dxf", dir + "/x.dxf 400", nullptr},
        {"dxf", dir + "/x.dxf 0x300", nullptr},
        {"dxf", dir + "/x.dxf 40.5x30", nullptr},
        {"png", dir + "/x.png 99999x2", nullptr},
        {"cgm", dir + "/x.cgm 100x50", nullptr},
        {"cgm", dir + "/x.cgm 100x50 -1", nullptr},
        {"cgm", dir + "/x.cgm 100x50 nan", nullptr},
        {"wmf", dir + "/x.wmf 400x300 3.8", nullptr},
        {"ps", "", nullptr},
        {"ps", "/no/such/dir/x.ps", nullptr},
        {"dxf", "/no/such/dir/x.dxf 400x300", nullptr},
        {"cgm", "/no/such/dir/x.cgm 100x50 4", nullptr},
        {"pdf", dir + " 400x300", nullptr}, // a directory
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.data);
        auto c = open(k.driver, k.data);
        ASSERT_EQ(c != nullptr, k.name != nullptr);
        if (c) {
            EXPECT_STREQ(c->driverName(), k.name);
            EXPECT_TRUE(c->finish());
        }
    }
    EXPECT_FALSE(fs::exists("/no/such/dir"));
    struct Ext {
        const char* file;
        const char* driver;
    };
    for (const Ext& e : {Ext{"a.SVG", "svg"}, Ext{"/x.y/a.eps", "eps"}, Ext{"/x.y/a", ""},
                         Ext{"a.jpg", ""}, Ext{"a.", ""}, Ext{"a.cgm", "cgm"}})
        EXPECT_EQ(gfx::driverForFile(e.file), e.driver) << e.file;
}

TEST(Hatch, LinesOfEachStyleInsideABox) {
    // A 40 x 20 box at the origin: rows 0, 8, 16 across, columns 0..32 down;
    // the far edges are outside (half-open), so no line runs along them.
    const std::vector<Point> box{{0, 0}, {40, 0}, {40, 20}, {0, 20}};
    struct Case {
        gfx::FillStyle style;
        int lines;
        double length;
    };
    const Case cases[] = {
        {gfx::FillStyle::Solid, 0, 0},
        {gfx::FillStyle::HatchHorizontal, 3, 120},
        {gfx::FillStyle::HatchVertical, 5, 100},
        {gfx::FillStyle::HatchCross, 8, 220},
    };
    for (const Case& k : cases) {
        auto segs = gfx::hatchFor(k.style, box);
        double total = 0;
        for (auto& s : segs) total += std::hypot(s.second.x - s.first.x, s.second.y - s.first.y);
        EXPECT_EQ(int(segs.size()), k.lines);
        EXPECT_NEAR(total, k.length, 1e-9);
    }
    // Diagonal lines in a square stay inside it and are 8 px apart across.
    const std::vector<Point> sq{{0, 0}, {80, 0}, {80, 80}, {0, 80}};
    for (auto& s : gfx::hatchSegments(sq, 45, 8))
        for (Point p : {s.first, s.second}) {
            EXPECT_GE(p.x, -1e-9);
            EXPECT_LE(p.x, 80 + 1e-9);
            EXPECT_NEAR(std::fmod(std::fabs(p.x + p.y) / std::sqrt(2.0) + 1e-9, 8), 0, 1e-6);
        }
    // A full turn, and a negative span read counter-clockwise.
    EXPECT_DOUBLE_EQ(gfx::arcSpan(0, 360), 360);
    EXPECT_DOUBLE_EQ(gfx::arcSpan(350, 10), 20);
    EXPECT_DOUBLE_EQ(gfx::arcSpan(10, 10), 0);
}

} // namespace
