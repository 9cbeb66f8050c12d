// The picture the driver tests draw: known numbers of lines, polylines,
// fills and texts in known colours, in pixel-aligned world coordinates (y up).
#pragma once

#include "gfx/canvas.h"

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

} // namespace kestrel_test
