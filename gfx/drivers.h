// The file drivers by name, each opened from its driver data text:
//   "ps"   FILE          PostScript
//   "ps"   FILE -e       Encapsulated PostScript
//   "cgm"  FILE WxH PPM  binary CGM; W and H in millimetres, PPM pixels per
//                        millimetre (the pixel size is W*PPM x H*PPM)
//   "dxf"  FILE WxH      DXF; W and H in pixels
//   "svg", "pdf", "png"  FILE WxH, W and H in pixels
// The size of PostScript comes from the canvas size passed in. File names may
// contain blanks: the options are read from the end of the text.
#pragma once

#include "gfx/canvas.h"

#include <memory>
#include <string>

namespace gfx {

// The data texts the export commands compose.
std::string cgmData(const std::string& file, double widthMm, double heightMm, double pxPerMm);
std::string dxfData(const std::string& file, int widthPx, int heightPx);
std::string psData(const std::string& file, bool encapsulated);
std::string sizeData(const std::string& file, int widthPx, int heightPx);

// Opens the driver `name` with the data text. `widthPx` .. `heightMm` give the
// size of the screen canvas, for drivers whose text has no size. Returns null
// when the driver is unknown, the text malformed or the file cannot be
// written: no file is left behind then.
std::unique_ptr<Canvas> openDriver(const std::string& name, const std::string& data, int widthPx,
                                   int heightPx, double widthMm, double heightMm);

// The driver name for a file name's extension ("svg", "pdf", "png", "ps",
// "eps", "dxf", "cgm", case-insensitive; "eps" opens "ps" with -e), or ""
// when the extension is none of them.
std::string driverForFile(const std::string& file);

} // namespace gfx
