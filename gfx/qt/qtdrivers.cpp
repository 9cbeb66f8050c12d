// Printer and clipboard drivers: a QtCanvas image handed to QPrinter or to
// the clipboard when the picture is finished.
#include "gfx/qt/qtdrivers.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>
#include <cstdio>

namespace gfx {

namespace {

// The printer image's resolution: enough for a sharp print, bounded so that
// the image of a large canvas stays within memory.
constexpr double kPrintDpi = 300;
constexpr double kMaxImagePixels = 60e6;

} // namespace

PrinterCanvas::PrinterCanvas(const std::string& job, int widthPx, int heightPx, double widthMm,
                             double heightMm, double pixelRatio, const std::string& pdfFile)
    : QtCanvas(widthPx, heightPx, pixelRatio, widthMm, heightMm), job_(job), pdfFile_(pdfFile) {}

bool PrinterCanvas::finish() {
    if (finished_) return true;
    finished_ = true;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(job_));
    if (!pdfFile_.empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdfFile_));
    }
    // Landscape for wide pictures, so that the drawing fills the sheet.
    printer.setPageOrientation(width() > height() ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPainter p;
    if (!p.begin(&printer)) return false;
    const QRect page = p.viewport();
    const QImage& img = back();
    const double scale =
        std::min(page.width() / double(img.width()), page.height() / double(img.height()));
    const QSizeF size(img.width() * scale, img.height() * scale);
    p.drawImage(QRectF(QPointF((page.width() - size.width()) / 2, 0), size), img);
    return p.end();
}

ClipboardCanvas::ClipboardCanvas(int widthPx, int heightPx) : QtCanvas(widthPx, heightPx) {}

bool ClipboardCanvas::finish() {
    if (finished_) return true;
    finished_ = true;
    QClipboard* cb = QGuiApplication::clipboard();
    if (!cb) return false;
    cb->setImage(back());
    return true;
}

std::string clipboardData(int widthPx, int heightPx) {
    return std::to_string(5 * widthPx) + "x" + std::to_string(5 * heightPx);
}

std::unique_ptr<Canvas> openQtDriver(const std::string& name, const std::string& data, int widthPx,
                                     int heightPx, double widthMm, double heightMm,
                                     const std::string& pdfFile) {
    if (widthPx < 1 || heightPx < 1) return nullptr;
    if (name == "clipboard") {
        int w = 0, h = 0, used = 0;
        if (std::sscanf(data.c_str(), "%dx%d%n", &w, &h, &used) != 2 ||
            used != static_cast<int>(data.size()) || w < 1 || h < 1 ||
            double(w) * h > kMaxImagePixels)
            return nullptr;
        return std::make_unique<ClipboardCanvas>(w, h);
    }
    if (name == "printer") {
        std::string job = data;
        const auto at = data.rfind(" -d");
        if (at != std::string::npos && at + 3 == data.size()) job = data.substr(0, at);
        if (job.empty()) return nullptr;
        if (pdfFile.empty() && QPrinterInfo::defaultPrinter().isNull()) return nullptr;
        double ratio = kPrintDpi / 96.0;
        const double pixels = double(widthPx) * heightPx;
        if (pixels * ratio * ratio > kMaxImagePixels) ratio = std::sqrt(kMaxImagePixels / pixels);
        return std::make_unique<PrinterCanvas>(job, widthPx, heightPx, widthMm, heightMm,
                                               std::max(ratio, 1.0), pdfFile);
    }
    return nullptr;
}

} // namespace gfx
