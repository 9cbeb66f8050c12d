// The picture the driver tests draw: known numbers of lines, polylines,
// fills and texts in known colours, in pixel-aligned world coordinates (y up);
// and PNG images read back to compare renderings of it.
#pragma once

#include "gfx/canvas.h"

#include <cairo.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace kestrel_test {

constexpr int kW = 400, kH = 300;

inline void drawPicture(gfx::Canvas& c) {
    c.setWindow(0, kW, 0, kH);
    c.setBackground(1); // white
    c.clear();
    c.setForeground(12); // red: three lines, two of them thick
    c.setLineWidth(3);
    c.line(20, 20, 380, 20);
    c.line(20, 20, 20, 280);
    c.setLineWidth(1);
    c.line(380, 20, 380, 280);
    c.setForeground(6); // blue: one open polyline of four points
    c.polyline({{40, 200}, {120, 260}, {200, 200}, {280, 260}});
    c.setForeground(0); // black: a solid quadrilateral and a solid triangle
    c.polygon({{60, 60}, {140, 60}, {140, 120}, {60, 120}});
    c.polygon({{200, 60}, {260, 60}, {230, 110}});
    c.setForeground(5); // dark green: a horizontally hatched box, 40 px high
    c.setFillStyle(gfx::FillStyle::HatchHorizontal);
    c.polygon({{280, 60}, {360, 60}, {360, 100}, {280, 100}});
    c.setFillStyle(gfx::FillStyle::Solid);
    c.setForeground(13); // dark red: texts, one of them on two lines
    c.setFont(gfx::FontFace::Sans, 14);
    c.setTextAlign(gfx::Align::BaseLeft);
    c.text(60, 150, "M = 12.5 kNm");
    c.setTextAlign(gfx::Align::Centre);
    c.text(300, 160, "A\nB");
}

struct Image {
    int w = 0, h = 0;
    std::vector<std::uint32_t> px;
};

inline Image readPng(const std::string& path) {
    Image im;
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(s);
        im.w = cairo_image_surface_get_width(s);
        im.h = cairo_image_surface_get_height(s);
        const int stride = cairo_image_surface_get_stride(s);
        const unsigned char* d = cairo_image_surface_get_data(s);
        for (int y = 0; y < im.h; ++y)
            for (int x = 0; x < im.w; ++x)
                im.px.push_back(*reinterpret_cast<const std::uint32_t*>(d + y * stride + 4 * x) &
                                0xffffff);
    }
    cairo_surface_destroy(s);
    return im;
}

// Share of pixels whose colours differ by more than a quarter of the range
// in some channel: antialiasing differs between renderers, shapes must not.
inline double differing(const Image& a, const Image& b) {
    if (a.w != b.w || a.h != b.h || a.px.empty()) return 1;
    long n = 0;
    for (std::size_t i = 0; i < a.px.size(); ++i)
        for (int sh : {0, 8, 16}) {
            const int d = int(a.px[i] >> sh & 0xff) - int(b.px[i] >> sh & 0xff);
            if (std::abs(d) > 64) {
                ++n;
                break;
            }
        }
    return double(n) / double(a.px.size());
}

// Dark pixels of an image: the ink of the picture.
inline long ink(const Image& a) {
    long n = 0;
    for (std::uint32_t p : a.px)
        if ((p & 0xff) + (p >> 8 & 0xff) + (p >> 16 & 0xff) < 600) ++n;
    return n;
}

} // namespace kestrel_test
