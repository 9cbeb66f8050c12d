// What a piece of drawing code drew on the recording driver, as text for a
// golden snapshot: one line a primitive with its kind, colour, the drawing
// state that differs from the defaults, its text and its pixel coordinates
// to 0.01 px. A long point list (a sampled curve) is written as its count,
// first and last points and pixel box. Scenes are titled "=== name".
#pragma once

#include "gfx/record.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace kestrel_test {

inline std::string px(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.2f", v);
    return std::string(b) == "-0.00" ? "0.00" : b;
}

inline std::string px(gfx::Point p) {
    return "(" + px(p.x) + "," + px(p.y) + ")";
}

inline std::string describe(const gfx::Primitive& p) {
    using K = gfx::Primitive::Kind;
    static const char* const kinds[] = {"clear",  "polyline", "polygon", "arc",
                                        "sector", "mark",     "text",    "flush"};
    std::string out = kinds[static_cast<int>(p.kind)] + std::string(" c") + std::to_string(p.color);
    if (p.closed) out += " closed";
    if (p.lineStyle != gfx::LineStyle::Continuous)
        out += " style" + std::to_string(static_cast<int>(p.lineStyle));
    if (p.lineWidth != 1) out += " width" + std::to_string(p.lineWidth);
    if (p.kind == K::Polygon && p.fillStyle != gfx::FillStyle::Solid)
        out += " fill" + std::to_string(static_cast<int>(p.fillStyle));
    if (p.writeMode != gfx::WriteMode::Replace) out += " xor";
    if (p.kind == K::Arc || p.kind == K::Sector)
        out += " r" + px(p.rx) + "x" + px(p.ry) + " a" + px(p.a1) + ".." + px(p.a2);
    if (p.kind == K::Mark)
        out += " mark" + std::to_string(static_cast<int>(p.mark)) + " size" +
               std::to_string(p.markSize);
    if (p.kind == K::Text)
        out += " \"" + p.text + "\" align" + std::to_string(static_cast<int>(p.align)) + " font" +
               std::to_string(p.fontSize);
    if (p.pixel.size() <= 8) {
        for (const gfx::Point& q : p.pixel) out += " " + px(q);
        return out;
    }
    gfx::Point lo = p.pixel[0], hi = p.pixel[0];
    for (const gfx::Point& q : p.pixel) {
        lo = {std::min(lo.x, q.x), std::min(lo.y, q.y)};
        hi = {std::max(hi.x, q.x), std::max(hi.y, q.y)};
    }
    return out + " n" + std::to_string(p.pixel.size()) + " " + px(p.pixel.front()) + ".." +
           px(p.pixel.back()) + " box " + px(lo) + "-" + px(hi);
}

// The primitives of a kind, in one colour unless the colour is -1.
inline std::vector<gfx::Primitive> primitivesOf(const gfx::RecordingCanvas& c,
                                                gfx::Primitive::Kind kind, int color = -1) {
    std::vector<gfx::Primitive> out;
    for (const gfx::Primitive& p : c.primitives())
        if (p.kind == kind && (color < 0 || p.color == color)) out.push_back(p);
    return out;
}

// A titled scene: the primitives recorded on the canvas since its last reset.
inline std::string scene(const std::string& title, const gfx::RecordingCanvas& c) {
    std::string out = "=== " + title + "\n";
    for (const gfx::Primitive& p : c.primitives()) out += describe(p) + "\n";
    return out;
}

} // namespace kestrel_test
