// The DXF import command and its dialog.
#include "shell/files/dxfcommand.h"

#include "attrib/attrib.h"
#include "fileio/fileio.h"
#include "files/dxfimport.h"
#include "model/model.h"
#include "shell/display.h"
#include "shell/edit/edit.h"
#include "shell/edit/modes.h"
#include "shell/edit/view.h"
#include "shell/files/filecommands.h"
#include "shell/messages.h"
#include "shell/state.h"
#include "ui/ui.h"

namespace shell {

namespace {

// The units the dialog and --dxf-units offer for a drawing whose header
// has none, in the order of the dialog's drop-down; the first is the default.
const char* const kUnitNames[] = {"mm", "cm", "m", "in", "ft"};
const char* const kUnitItems[] = {"millimeter [ mm ]", "centimeter [ cm ]", "meter [ m ]",
                                  "inch [ in ]", "foot [ ft ]"};
constexpr int kUnitCount = 5;

struct DxfDialog {
    ui::Element* dialog = nullptr;
    const files::DxfDrawing* drawing = nullptr;
    std::vector<bool> ticked;
    int accepted = 0;
};
DxfDialog g_dxf;

std::string lastComponent(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A message box of the lines of `text`.
void show(const std::string& text) {
    std::string boxed = "\n";
    std::size_t from = 0;
    for (;;) {
        const std::size_t nl = text.find('\n', from);
        boxed.append("   ").append(text, from, nl - from).append("   \n");
        if (nl == std::string::npos) break;
        from = nl + 1;
    }
    message(boxed);
}

// Reads the drawing; false with the message when it cannot be read.
bool readDrawing(const std::string& path, files::DxfReadResult& r, std::string& text) {
    const std::string name = lastComponent(path);
    std::string bytes;
    if (!fileio::readRegular(path, bytes)) {
        text = name + " could not be opened. Nothing was imported.";
        return false;
    }
    r = files::readDxf(bytes);
    text = files::dxfReadMessage(name, r);
    return r.status == files::DxfStatus::kRead;
}

// The unit of the drawing's header, when it gives one the import knows.
bool headerUnit(const files::DxfDrawing& d, files::DxfChoice& c) {
    const double m = files::dxfUnitMetres(d.insunits);
    if (m <= 0) return false;
    c.metresPerUnit = m;
    c.unitName = files::dxfUnitName(d.insunits);
    return true;
}

// The import itself; the new members and nodes are not selected.
bool apply(const std::string& path, const files::DxfDrawing& d, const files::DxfChoice& c,
           std::string& text) {
    AppState& a = app();
    if (!a.model) createEmptyModel();
    const int previousTarget = attrib::state().target;
    attrib::state().target = attrib::kTargetNone;
    const files::DxfImportResult r = files::importDxf(a.model, d, c, lastComponent(path));
    attrib::state().target = previousTarget;
    text = r.message;
    // An import that took itself back has undone a step: the model is the
    // one the frame model module holds now.
    a.model = mdl_first_solid();
    if (!a.model) createEmptyModel();
    if (!r.changed) return false;
    recountSelection();
    markModified(1);
    return true;
}

// ---- The dialog ----------------------------------------------------------------

// The check box of layer i (0-based): "dxflayer1", "dxflayer2", ... They are
// made as drawings with more layers come and kept, hidden and inactive, for
// the next drawing that has as many.
std::string layerToggle(std::size_t i) {
    return "dxflayer" + std::to_string(i + 1);
}

void showLayers() {
    ui::Toolkit& tk = *app().tk;
    ui::Element& box = tk.at("dxflayerbox");
    const files::DxfDrawing& d = *g_dxf.drawing;
    for (std::size_t i = 0; i < d.layers.size(); ++i) {
        const std::string name = layerToggle(i);
        ui::Element* t = tk.find(name);
        if (!t) {
            t = &tk.make(ui::Kind::Toggle, name, {{"ACTION", "DxfTickLayer"}});
            box.append(*t);
        }
        std::string title = d.layers[i];
        title.append("  (").append(std::to_string(d.layerPaths[i])).append(")");
        t->set("TITLE", title);
        t->set("VALUE", g_dxf.ticked[i] ? "ON" : "OFF");
        t->set("VISIBLE", "YES");
        t->set("ACTIVE", "YES");
    }
    for (std::size_t i = d.layers.size(); ui::Element* t = tk.find(layerToggle(i)); ++i) {
        t->set("VISIBLE", "NO");
        t->set("ACTIVE", "NO");
    }
}

int onTick(ui::Event& ev) {
    for (std::size_t i = 0; ev.element && i < g_dxf.ticked.size(); ++i)
        if (ev.element->name() == layerToggle(i)) g_dxf.ticked[i] = ev.element->isOn();
    return ui::kDefault;
}

int onAccept(ui::Event&) {
    for (bool t : g_dxf.ticked)
        if (t) {
            g_dxf.accepted = 1;
            return ui::kClose;
        }
    show("Tick at least one layer to import.");
    return ui::kDefault;
}

void build(ui::Toolkit& tk) {
    using ui::Kind;
    auto button = [&](const char* name, const char* title, const char* action) {
        return &tk.make(Kind::Button, name, {{"TITLE", title}, {"ACTION", action}});
    };
    ui::Element& units =
        tk.make(Kind::List, "dxfunits", {{"DROPDOWN", "YES"}, {"ACTION", "DxfSelUnit"}});
    for (int i = 0; i < kUnitCount; ++i) units.set(std::to_string(i + 1), kUnitItems[i]);
    ui::Element& box = tk.make(
        Kind::VBox, "", {{"GAP", "6"}},
        {&tk.make(Kind::Label, "dxffile", {{"TITLE", ""}}),
         &tk.make(Kind::Label, "", {{"TITLE", "Layers to import:"}}),
         // A switch of one page: the layers scroll when there are many.
         &tk.make(Kind::Switch, "dxflayerpages", {{"VALUE", "dxflayerpage"}, {"EXPAND", "YES"}},
                  {&tk.make(Kind::VBox, "dxflayerpage", {},
                            {&tk.make(Kind::VBox, "dxflayerbox", {{"GAP", "2"}}),
                             &tk.make(Kind::Fill)})}),
         &tk.make(Kind::HBox, "", {},
                  {button("dxfall", "  All  ", "DxfAllLayers"),
                   button("dxfnone", "  None  ", "DxfNoLayers")}),
         &tk.make(Kind::HBox, "", {{"ALIGNMENT", "ACENTER"}},
                  {&tk.make(Kind::Label, "", {{"TITLE", "Drawing unit:"}}), &units,
                   &tk.make(Kind::Label, "dxfunitnote", {{"TITLE", ""}})}),
         &tk.make(Kind::HBox, "", {},
                  {button("dxfaccept", "   OK   ", "DxfAccept"),
                   button("dxfcancel", " Cancel ", "DxfCancel")})});
    g_dxf.dialog = &tk.make(
        Kind::Dialog, "dxfdialog",
        {{"TITLE", "Import DXF Drawing"}, {"CLOSE_CB", "DxfCancel"}, {"RASTERSIZE", "420x380"}},
        {&box});
    tk.bind("DxfTickLayer", onTick);
    auto all = [](bool on) {
        g_dxf.ticked.assign(g_dxf.ticked.size(), on);
        showLayers();
        return ui::kDefault;
    };
    tk.bind("DxfAllLayers", [all](ui::Event&) { return all(true); });
    tk.bind("DxfNoLayers", [all](ui::Event&) { return all(false); });
    tk.bind("DxfSelUnit", [](ui::Event&) { return ui::kDefault; });
    tk.bind("DxfAccept", onAccept);
    tk.bind("DxfCancel", [](ui::Event&) { return ui::kClose; });
}

// Asks for the layers and, when the header gives none, the unit; false
// when the user cancels.
bool askChoice(const std::string& name, const files::DxfDrawing& d, files::DxfChoice& c) {
    ui::Toolkit& tk = *app().tk;
    if (g_dxf.dialog == nullptr || tk.find("dxfdialog") != g_dxf.dialog) build(tk);
    g_dxf.drawing = &d;
    g_dxf.ticked.assign(d.layers.size(), true);
    g_dxf.accepted = 0;
    showLayers();
    std::string counts = name + ": ";
    counts.append(std::to_string(d.paths.size()))
        .append(d.paths.size() == 1 ? " line entity on " : " line entities on ")
        .append(std::to_string(d.layers.size()))
        .append(d.layers.size() == 1 ? " layer" : " layers");
    tk.at("dxffile").set("TITLE", counts);
    ui::Element& units = tk.at("dxfunits");
    const bool fromFile = headerUnit(d, c);
    units.set("VALUE", fromFile ? "0" : "1");
    units.set("ACTIVE", fromFile ? "NO" : "YES");
    tk.at("dxfunitnote")
        .set("TITLE", fromFile ? c.unitName + " (from the file)" : "(the file does not say)");
    tk.popup(*g_dxf.dialog);
    g_dxf.drawing = nullptr;
    if (!g_dxf.accepted) return false;
    c.layers = g_dxf.ticked;
    if (!fromFile) {
        const int item = units.getInt("VALUE");
        const int i = item >= 1 && item <= kUnitCount ? item - 1 : 0;
        c.metresPerUnit = files::dxfChosenUnitMetres(kUnitNames[i]);
        c.unitName = kUnitNames[i];
    }
    return true;
}

int onImportDxf(ui::Event&) {
    enterSelectMode();
    std::string path;
    const int status = fileDialog("OPEN", "Import DXF drawing", "*.dxf", path);
    if (status == 1) show("Could not find the DXF file.");
    if (status != 0) return ui::kDefault;
    files::DxfReadResult r;
    std::string text;
    if (!readDrawing(path, r, text)) {
        show(text);
        return ui::kDefault;
    }
    const std::string name = lastComponent(path);
    files::DxfChoice c;
    if (r.drawing.paths.empty()) {
        // Nothing to choose from: the import says so without a change.
        show(files::importDxf(app().model, r.drawing, c, name).message);
        return ui::kDefault;
    }
    if (!askChoice(name, r.drawing, c)) return ui::kDefault;
    if (apply(path, r.drawing, c, text)) {
        fitView();
        showWorkSpaceSize();
    }
    redraw();
    show(text);
    return ui::kDefault;
}

} // namespace

bool importDxfByName(const std::string& path, const DxfRequest& req, std::string& text) {
    files::DxfReadResult r;
    if (!readDrawing(path, r, text)) return false;
    const files::DxfDrawing& d = r.drawing;
    const std::string name = lastComponent(path);
    files::DxfChoice c;
    if (!req.layers.empty()) {
        c.layers.assign(d.layers.size(), false);
        for (const std::string& wanted : req.layers) {
            std::size_t i = 0;
            while (i < d.layers.size() && d.layers[i] != wanted) ++i;
            if (i == d.layers.size()) {
                std::string all;
                for (const std::string& l : d.layers) all.append(all.empty() ? "" : ", ").append(l);
                text = name + " has no line entities on a layer \"" + wanted +
                       "\" (layers with line entities: " + (all.empty() ? "none" : all) +
                       "). Nothing was imported.";
                return false;
            }
            c.layers[i] = true;
        }
    }
    if (!headerUnit(d, c)) {
        const std::string unit = req.units.empty() ? kUnitNames[0] : req.units;
        c.metresPerUnit = files::dxfChosenUnitMetres(unit);
        c.unitName = unit;
        if (c.metresPerUnit <= 0) {
            text = "Unknown drawing unit " + unit + " (mm, cm, m, in or ft). Nothing was imported.";
            return false;
        }
    }
    return apply(path, d, c, text);
}

void bindDxfImport(ui::Toolkit& tk) {
    tk.bind("IoImportDxf", onImportDxf);
}

} // namespace shell
