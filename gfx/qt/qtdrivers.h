// The printer and clipboard drivers, through Qt. Both draw with the screen
// driver's code (they are QtCanvas images) and hand the picture over when
// finished:
//   "printer"   JOB [-d]  prints on the default printer without asking (-d);
//                         JOB names the print job. The image is drawn at the
//                         printer's resolution and fitted to the page.
//   "clipboard" WxH       puts an image of W x H pixels on the clipboard.
#pragma once

#include "gfx/qt/qtcanvas.h"

#include <memory>
#include <string>

namespace gfx {

class PrinterCanvas : public QtCanvas {
public:
    // `pdfFile` non-empty prints into that PDF file instead of a printer.
    PrinterCanvas(const std::string& job, int widthPx, int heightPx, double widthMm,
                  double heightMm, double pixelRatio, const std::string& pdfFile);
    bool finish() override;
    const char* driverName() const override { return "printer"; }

private:
    std::string job_, pdfFile_;
    bool finished_ = false;
};

class ClipboardCanvas : public QtCanvas {
public:
    ClipboardCanvas(int widthPx, int heightPx);
    bool finish() override;
    const char* driverName() const override { return "clipboard"; }

private:
    bool finished_ = false;
};

// The clipboard data text for a canvas: five times its pixel size.
std::string clipboardData(int widthPx, int heightPx);
// The printer data text.
inline const char* printerData() {
    return "kestrel.prn -d";
}

// Opens "printer" or "clipboard" with its data text; the sizes are those of
// the screen canvas (the printer draws that picture). Null when the text is
// malformed or, for the printer, when there is no printer. `pdfFile`, for
// tests and printing to a file, takes the place of the printer.
std::unique_ptr<Canvas> openQtDriver(const std::string& name, const std::string& data, int widthPx,
                                     int heightPx, double widthMm, double heightMm,
                                     const std::string& pdfFile = "");

} // namespace gfx
