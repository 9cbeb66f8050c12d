// The Export Screen commands: print, clipboard and the file exports (CGM,
// DXF, PostScript, Encapsulated PostScript, and SVG, PDF, PNG). Each draws
// the picture the canvas shows, through the same model drawing function as
// the screen, into a canvas of the matching driver opened from its driver
// data text, and releases it; the screen canvas is never touched. A driver
// that cannot be opened (a file that cannot be written, no printer) gives
// no output and no message.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace gfx {
class Canvas;
}
namespace ui {
class Toolkit;
}

namespace shell {

// One file export of the Export Screen submenu.
struct FileExport {
    const char* action;    // "IoCGM"
    const char* label;     // menu label
    const char* title;     // file dialog title
    const char* filter;    // "*.cgm"
    const char* extension; // "cgm"
    bool plainText;        // labels drawn without their background box
};
// IoCGM, IoDXF, IoPS, IoEPS, IoSVG, IoPDF, IoPNG in menu order.
extern const FileExport kFileExports[];
extern const int kFileExportCount;

// The name proposed for an export of the model at `fullPath`: everything up
// to and including its last "." followed by the extension, or the filter
// ("*.cgm") when the path has no ".".
std::string proposedExportName(const std::string& fullPath, const std::string& extension,
                               const std::string& filter);

// The driver data text of an export to `file` for a screen canvas of the
// given size: "cgm", "dxf", "ps", "eps", "svg", "pdf", "png".
std::string exportData(const std::string& extension, const std::string& file, int widthPx,
                       int heightPx, double widthMm, double heightMm);

// Draws the current model display into `c` with the screen canvas's world
// window and palette (or, without a screen canvas, the window as it is),
// with the plain text flag of `c` set to `plainText`.
void drawPicture(gfx::Canvas& c, bool plainText);

// Opens the printer ("printer") and clipboard ("clipboard") drivers from
// their data texts and the screen canvas size. The program installs the
// toolkit's drivers; tests install their own. None: print and clipboard
// give no output.
using DeviceDrivers = std::function<std::unique_ptr<gfx::Canvas>(
    const std::string& driver, const std::string& data, int widthPx, int heightPx, double widthMm,
    double heightMm)>;
void setDeviceDrivers(DeviceDrivers drivers);

// The commands themselves (also reached by Ctrl+P and Ctrl+C). Each returns
// true when output was produced.
bool exportPrinter();
bool exportClipboard();
bool exportFile(const FileExport& kind);

// Exports the picture of the screen canvas to `file` in the format its
// extension names (cgm, dxf, ps, eps, svg, pdf, png), without a dialog; the
// texts are drawn plain for CGM and DXF. False when the extension is none of
// these or the file cannot be written.
bool exportScreenTo(const std::string& file);

void bindExportActions(ui::Toolkit& tk);

} // namespace shell
