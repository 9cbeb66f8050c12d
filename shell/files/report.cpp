#include "shell/files/report.h"

#include "analysis/analysis.h"
#include "attrib/cases.h"
#include "gfx/cairocanvas.h"
#include "interact/vis.h"
#include "model/model.h"
#include "results/report.h"
#include "shell/display.h"
#include "shell/edit/modes.h"
#include "shell/edit/view.h"
#include "shell/files/export.h"
#include "shell/messages.h"
#include "shell/panels/casepanel.h"
#include "shell/results/resultcmds.h"
#include "shell/results/resultdisplay.h"
#include "shell/results/tables.h"
#include "shell/state.h"
#include "ui/ui.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace shell {

namespace {

namespace vis = interact::vis;

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y-%m-%d", &tm);
    return buf;
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What the report changes to draw its pictures, put back afterwards.
struct DisplayState {
    attrib::ResultDisplay result;
    std::array<int, attrib::kDisplayFlagCount> flags;
    attrib::ColorScheme colors;
    int shown;

    DisplayState() {
        const AppState& a = app();
        result = a.settings.result;
        flags = a.settings.display;
        colors = a.colors;
        shown = attrib::root().shown;
    }
    void restore() const {
        AppState& a = app();
        a.settings.result = result;
        a.settings.display = flags;
        a.colors = colors;
        attrib::root().shown = shown;
        analysis::showResults(attrib::root());
        invalidateResultCurves();
    }
};

// The world window that shows what is drawn (the frame, its diagrams) in the canvas's
// viewport, with room for the symbols of loads and reactions and for the texts of values.
void fitInto(gfx::Canvas& c) {
    vis::Window w{0, 1, 0, 1};
    drawnExtent(w.xmin, w.xmax, w.ymin, w.ymax);
    // Load and reaction symbols reach about a diagram's height beyond the frame.
    const double d = analysis::resultState().diagramSize;
    w = {w.xmin - d, w.xmax + d, w.ymin - d, w.ymax + d};
    // The picture box's size in pixels, from a unit window.
    c.setWindow(0, 1, 0, 1);
    const gfx::Point a = c.worldToPixel(0, 0), b = c.worldToPixel(1, 1);
    const int width = static_cast<int>(std::lround(std::fabs(b.x - a.x)));
    const int height = static_cast<int>(std::lround(std::fabs(b.y - a.y)));
    // Texts of values and reactions stand up to 110 pixels beside their points, as on the
    // screen: the fit keeps that much room inside the box.
    constexpr int kTextRoom = 110;
    w = vis::adjustAspect(w, std::max(1, width - 2 * kTextRoom),
                          std::max(1, height - 2 * kTextRoom), 1);
    const double room = kTextRoom * (w.xmax - w.xmin) / std::max(1, width - 2 * kTextRoom);
    w = {w.xmin - room, w.xmax + room, w.ymin - room, w.ymax + room};
    c.setWindow(w.xmin, w.xmax, w.ymin, w.ymax);
}

// One picture: the shown loading, the result kind (0: the frame with the analysis numbers and
// the loads of the active case) and the display flags it turns on for itself.
void drawShown(gfx::Canvas& c, int id, int kind, std::initializer_list<int> flagsOn) {
    AppState& a = app();
    attrib::AttributeRoot& root = attrib::root();
    const auto flags = a.settings.display;
    a.settings.result.on = 1;
    a.settings.result.influence = 0;
    a.settings.result.kind = kind;
    for (int f : flagsOn) a.settings.display[static_cast<std::size_t>(f)] = 1;
    if (kind > 0) {
        root.shown = id;
        analysis::showResults(root);
    }
    invalidateResultCurves();
    for (int i = 0; i < 16; ++i) c.setPaletteColor(i, gfx::defaultPalette()[i]);
    fitInto(c);
    c.setPlainText(false);
    drawModelInto(c);
    a.settings.display = flags;
}

std::string sectionTitle(const attrib::AttributeRoot& root, int id) {
    if (id == attrib::kEnvelope) return attrib::kEnvelopeLabel;
    for (const attrib::Combination& x : root.combos)
        if (x.id == id) return "Combination: " + x.label;
    return "Load case: " + attrib::labelOf(root, id);
}

// The title block's units: those of the tables and pictures.
std::string unitsLine() {
    const AppSettings& s = app().settings;
    auto label = [&](int slot) { return units::unitLabelUtf8(s.units[slot]); };
    return "length " + label(units::kLengthUnit) + ", force " + label(units::kForceUnit) +
           ", moment " + label(units::kMomentUnit) + ", displacement " +
           label(units::kDisplacementUnit) + ", rotation " + label(units::kRotationUnit);
}

} // namespace

bool writeReport(const ReportRequest& request, std::string& error, int* pages) {
    AppState& a = app();
    attrib::AttributeRoot& root = attrib::root();
    if (!a.model || mdl_is_empty(a.model)) {
        error = "There is no frame to report.";
        return false;
    }
    // A picture is 680 points across: its diagrams need no sample closer than half a point.
    const double sampling = a.minimumSamplingStep;
    double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    drawnExtent(x0, x1, y0, y1);
    a.minimumSamplingStep = std::max(sampling, (x1 - x0) / 1360);
    // The results of every loading: the Bending command analyses the frame unless its results
    // are shown already.
    if (!a.settings.result.on || a.settings.result.influence ||
        analysis::storedResults().cases.empty()) {
        if (!resultCommand(3)) {
            a.minimumSamplingStep = sampling;
            error = "The frame could not be analysed: the report needs its results.";
            return false;
        }
    }
    const DisplayState before;
    a.colors = attrib::makeScheme(attrib::kWhiteBackground);

    std::vector<int> ids = request.ids;
    if (ids.empty()) {
        for (const attrib::LoadCase& c : root.cases) ids.push_back(c.id);
        for (const attrib::Combination& c : root.combos) ids.push_back(c.id);
        if (!attrib::isSingleCase(root)) ids.push_back(attrib::kEnvelope);
    }

    results::ReportDocument doc;
    doc.heading = baseName(a.file.fullPath);
    doc.titleBlock = {{"Model", baseName(a.file.fullPath)},
                      {"Date", request.date.empty() ? today() : request.date},
                      {"Program", std::string("Kestrel ") + KESTREL_VERSION},
                      {"Units", unitsLine()}};
    for (int i = 0; i < units::kUnitSlotCount; ++i) doc.units.unit[i] = a.settings.units[i];
    for (int i = 0; i < units::kFormatSlotCount; ++i) doc.units.format[i] = a.settings.formats[i];

    results::ReportSection frame{"Frame", {}, {}};
    frame.pictures.push_back({"The frame with its node and member numbers", [](gfx::Canvas& c) {
                                  drawShown(c, 0, 0,
                                            {attrib::kNodeNumbers, attrib::kMemberNumbers,
                                             attrib::kSupports, attrib::kLoadWithResults});
                              }});
    doc.sections.push_back(frame);
    doc.sections.push_back(
        {"Model data", {}, [] { return currentTables(results::TableSet::Model); }});

    static const char* const kCaptions[4] = {"Axial force diagram", "Shear force diagram",
                                             "Bending moment diagram",
                                             "Deformed shape and support reactions"};
    for (int id : ids) {
        results::ReportSection s{sectionTitle(root, id), {}, {}};
        for (int kind = 1; kind <= 4; ++kind)
            s.pictures.push_back(
                {kCaptions[kind - 1], [id, kind](gfx::Canvas& c) {
                     if (kind == 4)
                         drawShown(c, id, kind, {attrib::kReactions, attrib::kReactionValues});
                     else
                         drawShown(c, id, kind, {});
                 }});
        s.tables = [id, &root] {
            root.shown = id;
            analysis::showResults(root);
            invalidateResultCurves();
            return currentTables(results::TableSet::Results);
        };
        doc.sections.push_back(std::move(s));
    }

    gfx::CairoCanvas canvas(gfx::CairoFormat::Pdf, request.path, results::kReportPageWidth,
                            results::kReportPageHeight, 210, 297);
    bool ok = canvas.ok();
    int written = 0;
    if (ok) {
        const results::ReportPlan plan =
            results::drawReport(canvas, doc, [&canvas] { return canvas.showPage(); });
        written = plan.pages;
        ok = canvas.finish();
    }
    const int saved = errno;
    before.restore();
    a.minimumSamplingStep = sampling;
    if (a.canvas) redraw();
    if (!ok) {
        error = "Could not write the report " + request.path + ": " + std::strerror(saved) + ".";
        return false;
    }
    if (pages) *pages = written;
    return true;
}

namespace {

void reportCommand() {
    AppState& a = app();
    cancelCanvasInteraction();
    ui::Element* found = a.tk->find("reportfiledlg");
    ui::Element& dlg = found ? *found : a.tk->make(ui::Kind::Dialog, "reportfiledlg");
    dlg.set("DIALOGTYPE", "SAVE");
    dlg.set("TITLE", "Calculation report");
    dlg.set("FILTER", "*.pdf");
    dlg.set("FILE", proposedExportName(a.file.fullPath, "pdf", "*.pdf"));
    dlg.set("STATUS", "-1");
    dlg.set("VALUE", "");
    a.tk->fileDialog(dlg);
    const std::string status = dlg.get("STATUS"), file = dlg.get("VALUE");
    if (status == "-1" || status.empty() || file.empty()) return;
    std::string error;
    int pages = 0;
    if (writeReport({file, {}, ""}, error, &pages))
        message("The report of " + std::to_string(pages) + " pages is written to " + file + ".");
    else
        message(error);
}

} // namespace

void bindReportActions(ui::Toolkit& tk) {
    tk.bind("IoReport", [](ui::Event&) {
        reportCommand();
        return ui::kDefault;
    });
}

} // namespace shell
