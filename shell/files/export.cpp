// Print, clipboard and file exports of the drawing.
#include "shell/files/export.h"

#include "gfx/canvas.h"
#include "gfx/drivers.h"
#include "shell/display.h"
#include "shell/edit/editmodes.h"
#include "shell/edit/modes.h"
#include "shell/state.h"
#include "ui/ui.h"

namespace shell {

const FileExport kFileExports[] = {
    {"IoCGM", "CGM Metafile...", "Export screen as a CGM file", "*.cgm", "cgm", true},
    {"IoDXF", "DXF...", "Export screen as a DXF file", "*.dxf", "dxf", true},
    {"IoPS", "PostScript...", "Export screen as a PostScript file", "*.ps", "ps", false},
    {"IoEPS", "Encapsulated PostScript...", "Export screen as an Encapsulated PostScript file",
     "*.eps", "eps", false},
    {"IoSVG", "SVG...", "Export screen as an SVG file", "*.svg", "svg", false},
    {"IoPDF", "PDF...", "Export screen as a PDF file", "*.pdf", "pdf", false},
    {"IoPNG", "PNG...", "Export screen as a PNG file", "*.png", "png", false},
};
const int kFileExportCount = sizeof kFileExports / sizeof kFileExports[0];

namespace {

DeviceDrivers& deviceDrivers() {
    static DeviceDrivers drivers;
    return drivers;
}

// The screen canvas size, or a nominal one when there is no screen canvas.
void screenSize(int& w, int& h, double& wMm, double& hMm) {
    const gfx::Canvas* s = app().canvas.get();
    w = s ? s->width() : 800;
    h = s ? s->height() : 600;
    wMm = s && s->widthMm() > 0 ? s->widthMm() : w * 25.4 / 96.0;
    hMm = s && s->heightMm() > 0 ? s->heightMm() : h * 25.4 / 96.0;
}

// Draws into a freshly opened driver canvas and finishes it.
bool drawAndFinish(std::unique_ptr<gfx::Canvas> c, bool plainText) {
    if (!c) return false;
    drawPicture(*c, plainText);
    return c->finish();
}

bool device(const char* driver, const std::string& data, bool plainText) {
    if (!deviceDrivers()) return false;
    int w, h;
    double wMm, hMm;
    screenSize(w, h, wMm, hMm);
    const bool done = drawAndFinish(deviceDrivers()(driver, data, w, h, wMm, hMm), plainText);
    restartMode();
    return done;
}

} // namespace

std::string proposedExportName(const std::string& fullPath, const std::string& extension,
                               const std::string& filter) {
    const auto dot = fullPath.rfind('.');
    if (dot == std::string::npos) return filter;
    return fullPath.substr(0, dot + 1) + extension;
}

std::string exportData(const std::string& extension, const std::string& file, int widthPx,
                       int heightPx, double widthMm, double heightMm) {
    if (extension == "cgm") return gfx::cgmData(file, widthMm, heightMm, widthPx / widthMm);
    if (extension == "dxf") return gfx::dxfData(file, widthPx, heightPx);
    if (extension == "ps" || extension == "eps") return gfx::psData(file, extension == "eps");
    return gfx::sizeData(file, widthPx, heightPx);
}

void setDeviceDrivers(DeviceDrivers drivers) {
    deviceDrivers() = std::move(drivers);
}

void drawPicture(gfx::Canvas& c, bool plainText) {
    AppState& a = app();
    if (const gfx::Canvas* s = a.canvas.get()) {
        double x0, x1, y0, y1;
        s->window(x0, x1, y0, y1);
        c.setWindow(x0, x1, y0, y1);
        for (int i = 0; i < 16; ++i) c.setPaletteColor(i, s->paletteColor(i));
    }
    // The flag belongs to this export canvas, which is released afterwards:
    // the screen canvas never has it set.
    c.setPlainText(plainText);
    drawModelInto(c);
}

bool exportPrinter() {
    return device("printer", "kestrel.prn -d", true);
}

bool exportClipboard() {
    int w, h;
    double wMm, hMm;
    screenSize(w, h, wMm, hMm);
    return device("clipboard", std::to_string(5 * w) + "x" + std::to_string(5 * h), true);
}

namespace {

bool writeExport(const FileExport& kind, const std::string& file) {
    int w, h;
    double wMm, hMm;
    screenSize(w, h, wMm, hMm);
    const std::string driver = kind.extension == std::string("eps") ? "ps" : kind.extension;
    return drawAndFinish(
        gfx::openDriver(driver, exportData(kind.extension, file, w, h, wMm, hMm), w, h, wMm, hMm),
        kind.plainText);
}

} // namespace

bool exportScreenTo(const std::string& file) {
    const std::string ext = gfx::driverForFile(file);
    for (const FileExport& k : kFileExports)
        if (ext == k.extension) return writeExport(k, file);
    return false;
}

namespace {

// Window and Enhanced Metafiles have no driver on this platform: the
// commands ask for the file and then draw nothing. No menu item names them.
const FileExport kDriverlessExports[] = {
    {"IoWMF", "", "Export screen as a Window Metafile file", "*.wmf", "wmf", false},
    {"IoEMF", "", "Export screen as an Enhanced Metafile file", "*.emf", "emf", false},
};

// The file dialog of an export; false when it was cancelled.
bool askExportFile(const FileExport& kind, std::string& file) {
    AppState& a = app();
    cancelCanvasInteraction();
    // One request element serves every export dialog.
    ui::Element* found = a.tk->find("exportfiledlg");
    ui::Element& request = found ? *found : a.tk->make(ui::Kind::Dialog, "exportfiledlg");
    request.set("DIALOGTYPE", "SAVE");
    request.set("TITLE", kind.title);
    request.set("FILTER", kind.filter);
    request.set("FILE", proposedExportName(a.file.fullPath, kind.extension, kind.filter));
    request.set("STATUS", "-1");
    request.set("VALUE", "");
    a.tk->fileDialog(request);
    const std::string status = request.get("STATUS");
    file = request.get("VALUE");
    return !(status == "-1" || status.empty() || file.empty());
}

} // namespace

bool exportFile(const FileExport& kind) {
    std::string file;
    if (!askExportFile(kind, file)) return false;
    const bool done = writeExport(kind, file);
    restartMode();
    return done;
}

void bindExportActions(ui::Toolkit& tk) {
    tk.bind("IoPrinter", [](ui::Event&) {
        exportPrinter();
        return ui::kDefault;
    });
    tk.bind("IoClipboard", [](ui::Event&) {
        exportClipboard();
        return ui::kDefault;
    });
    for (int i = 0; i < kFileExportCount; ++i)
        tk.bind(kFileExports[i].action, [i](ui::Event&) {
            exportFile(kFileExports[i]);
            return ui::kDefault;
        });
    for (const FileExport& k : kDriverlessExports)
        tk.bind(k.action, [&k](ui::Event&) {
            std::string file;
            if (askExportFile(k, file)) restartMode();
            return ui::kDefault;
        });
}

} // namespace shell
