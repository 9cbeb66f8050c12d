// The main window and the about window, described once as a tree of named
// elements. Menu items are named "mi" followed by their action in lower case
// ("miexit"), so that every input can be recorded and replayed by name.
#include "shell/mainwindow.h"

#include "attrib/attrib.h"
#include "shell/display.h"
#include "shell/panels/casepanel.h"
#include "shell/panels/conditionpanels.h"
#include "shell/panels/panels.h"
#include "shell/panels/propertypanel.h"
#include "ui/ui.h"

#include <cctype>
#include <string_view>

namespace shell {

using ui::Element;
using ui::Kind;
using ui::Toolkit;

std::string iconPath(const std::string& name) {
    return std::string(KESTREL_ICON_DIR) + "/" + name + ".svg";
}

namespace {

std::string lower(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// ---- Element helpers --------------------------------------------------------

Element* item(Toolkit& tk, const std::string& title, const std::string& action) {
    return &tk.make(Kind::Item, "mi" + lower(action), {{"TITLE", title}, {"ACTION", action}});
}

Element* separator(Toolkit& tk) {
    return &tk.make(Kind::Separator);
}

Element* check(Toolkit& tk, const std::string& name, const std::string& title,
               const std::string& action, bool on) {
    return &tk.make(Kind::Toggle, name,
                    {{"TITLE", title}, {"ACTION", action}, {"VALUE", on ? "ON" : "OFF"}});
}

// An element shown inactive until a display needs it.
Element* inactive(Element* e) {
    e->set("ACTIVE", "NO");
    return e;
}

// A tool bar push button with an icon and a tip.
Element* tool(Toolkit& tk, const std::string& name, const std::string& tip,
              const std::string& action, const std::string& icon) {
    return &tk.make(Kind::Button, name,
                    {{"IMAGE", iconPath(icon)}, {"TIP", tip}, {"ACTION", action}});
}

// A tool bar button that shows a pressed state (modes, panels, results).
Element* pressTool(Toolkit& tk, const std::string& name, const std::string& tip,
                   const std::string& action, const std::string& icon, bool on = false) {
    return &tk.make(Kind::Toggle, name,
                    {{"IMAGE", iconPath(icon)},
                     {"TIP", tip},
                     {"ACTION", action},
                     {"VALUE", on ? "ON" : "OFF"}});
}

// `size` is a width in quarters of the font's average character width, so
// that labels follow the font ("16x": four characters).
Element* label(Toolkit& tk, const std::string& name, const std::string& title,
               const std::string& size = "") {
    Element& e = tk.make(Kind::Label, name, {{"TITLE", title}});
    if (!size.empty()) e.store("SIZE", size);
    return &e;
}

// Widths shared by the lines of the side panel: a unit label holds the
// longest length unit ("mm"); a value field six digits before the point and
// the decimals of the finest format.
const char* const kUnitWidth = "18x";
const char* const kFieldWidth = "52x";

// A one-line numeric field with its key filter and commit actions.
Element* field(Toolkit& tk, const std::string& name, const std::string& value,
               const std::string& tip, const std::string& filter, const std::string& commit) {
    return &tk.make(Kind::Text, name,
                    {{"VALUE", value},
                     {"TIP", tip},
                     {"ACTION", filter},
                     {"COMMIT_CB", commit},
                     {"NC", "16"},
                     {"SIZE", kFieldWidth}});
}

// A line of controls packed to the left.
Element* hbox(Toolkit& tk, std::initializer_list<Element*> children, const std::string& name = "") {
    Element& box = tk.make(Kind::HBox, name, {{"GAP", "4"}, {"ALIGNMENT", "ACENTER"}}, children);
    return &box.append(tk.make(Kind::Fill));
}

Element* toolbar(Toolkit& tk, const std::string& name, std::initializer_list<Element*> children) {
    return &tk.make(Kind::HBox, name, {{"GAP", "1"}, {"TOOLBAR", "YES"}}, children);
}

// ---- Menus -------------------------------------------------------------------

Element* fileMenu(Toolkit& tk) {
    Element* exportScreen = &tk.make(
        Kind::Submenu, "exportscreen", {{"TITLE", "Export Screen"}},
        {item(tk, "Clipboard           Ctrl+C", "IoClipboard"),
         item(tk, "Print...                Ctrl+P", "IoPrinter"),
         item(tk, "CGM Metafile...", "IoCGM"), item(tk, "DXF...", "IoDXF"),
         item(tk, "PostScript...", "IoPS"), item(tk, "Encapsulated PostScript...", "IoEPS"),
         item(tk, "SVG...", "IoSVG"), item(tk, "PDF...", "IoPDF"), item(tk, "PNG...", "IoPNG")});
    Element* import = &tk.make(
        Kind::Submenu, "importfile", {{"TITLE", "Import"}},
        {item(tk, "Properties...", "IoImportPropGbl"), item(tk, "DXF Drawing...", "IoImportDxf")});
    return &tk.make(Kind::Menu, "file", {{"TITLE", "File"}},
                    {item(tk, "About Kestrel", "Info"), item(tk, "Sign Convention", "SignConv"),
                     separator(tk), item(tk, "New...                  Ctrl+N", "IoNew"),
                     item(tk, "Open...                Ctrl+O", "IoOpen"),
                     item(tk, "Save                   Ctrl+S", "IoSave"),
                     item(tk, "Save as...", "IoSaveAs"), separator(tk), import, separator(tk),
                     exportScreen, item(tk, "Report...", "IoReport"),
                     item(tk, "Totals", "InqGlobal"), item(tk, "Limits", "VisLimits"),
                     separator(tk), item(tk, "Exit", "Exit")});
}

Element* displayMenu(Toolkit& tk) {
    Element& schemes = tk.make(Kind::Radio, "colorscheme", {{"VALUE", "colorwhitebg"}});
    for (int s = 0; s < 4; ++s) {
        const SchemeToggle& t = kSchemeToggles[s];
        schemes.append(*check(tk, t.element, t.label, t.action, s == 0));
    }
    Element& menu = tk.make(Kind::Submenu, "display", {{"TITLE", "Display"}}, {&schemes});
    // Groups of display flags, separated as in the menu.
    static const int groups[][4] = {
        {kDimLines, kMemberOrientation, kSupports, -1},
        {kLoadWhileEditing, kLoadWithResults, kLoadValues, -1},
        {kResultValues, kStepValues, kTransversalValues, kBendingMomentSign},
        {kReactions, kReactionValues, -1, -1},
        {kNodeNumbers, kMemberNumbers, -1, -1},
    };
    const AppSettings initial = initialSettings();
    for (const auto& group : groups) {
        menu.append(*separator(tk));
        for (int flag : group) {
            if (flag < 0) continue;
            const DisplayToggle& t = kDisplayToggles[flag];
            menu.append(*check(tk, t.element, t.label, t.action, initial.display[flag] == 1));
        }
    }
    return &menu;
}

Element* optionsMenu(Toolkit& tk) {
    // The analysis the result commands run: two exclusive choices.
    Element* analysis =
        &tk.make(Kind::Submenu, "analysis", {{"TITLE", "Analysis"}},
                 {check(tk, "anllinearinter", "Internal (Linear)", "AnlLinearInter", true),
                  check(tk, "anlsecondorder", "Second Order (P-Delta)", "AnlSecondOrder", false)});
    Element* transform =
        &tk.make(Kind::Submenu, "transform", {{"TITLE", "Transform"}},
                 {item(tk, "Move", "OopMove"), item(tk, "Mirror", "OopMirror"),
                  item(tk, "Rotate", "OopRotate"), item(tk, "Scale", "OopScale"),
                  item(tk, "Repeat", "OopRepeat"), separator(tk),
                  check(tk, "oopleaveorg", "Leave Original", "OopLeaveOrg", false)});
    return &tk.make(Kind::Menu, "options", {{"TITLE", "Options"}},
                    {analysis, item(tk, "Units & Number Formatting...", "Units"),
                     item(tk, "Load Cases...", "Lcase"), item(tk, "Result Tables...", "TblOpen"),
                     transform, displayMenu(tk)});
}

// ---- Tool bars ---------------------------------------------------------------

// The row under the menu bar: files, undo, editing modes, model and load
// attributes, separated by lines.
Element* toolbars(Toolkit& tk) {
    Element* io = toolbar(
        tk, "iomenu",
        {tool(tk, "ionew", "New model (Ctrl+N)", "IoNew", "new"),
         tool(tk, "ioopen", "Open model (Ctrl+O)", "IoOpen", "open"),
         tool(tk, "iosave", "Save model (Ctrl+S)", "IoSave", "save"),
         tool(tk, "ioprinter", "Print screen (Ctrl+P)", "IoPrinter", "print"),
         tool(tk, "ioclipboard", "Copy screen to clipboard (Ctrl+C)", "IoClipboard", "clipboard")});
    Element* undo = toolbar(tk, "undomenu",
                            {tool(tk, "edtundo", "Undo", "EdtUndo", "undo"),
                             tool(tk, "edtredo", "Redo", "EdtRedo", "redo")});
    Element* edit =
        toolbar(tk, "edtmenu",
                {pressTool(tk, "select", "Select mode", "Select", "select", true),
                 pressTool(tk, "insline", "Insert member", "InsLine", "member"),
                 pressTool(tk, "insvertex", "Insert node", "InsVertex", "node"),
                 pressTool(tk, "insdimln", "Insert dimension line", "InsDimLn", "dimline"),
                 pressTool(tk, "keyboard", "Keyboard mode", "Keyboard", "keyboard"),
                 tool(tk, "edtdelsel", "Delete selected objects", "EdtDelSelAll", "delete")});
    Element& modelAtt = tk.make(Kind::HBox, "modelattmenu", {{"GAP", "1"}, {"TOOLBAR", "YES"}});
    Element& loadAtt = tk.make(Kind::HBox, "loadattmenu", {{"GAP", "1"}, {"TOOLBAR", "YES"}});
    for (int i = 0; i < kPanelCount; ++i) {
        const PanelEntry& p = kPanels[i];
        (i < 5 ? modelAtt : loadAtt)
            .append(*pressTool(tk, p.button, p.tip, p.action, p.icon, i == kMaterialPanel));
    }
    return &tk.make(Kind::HBox, "toolbars", {{"GAP", "6"}, {"WRAP", "YES"}},
                    {io, separator(tk), undo, separator(tk), edit, separator(tk), &modelAtt,
                     separator(tk), &loadAtt, &tk.make(Kind::Fill)});
}

// The view tool bar runs down the left edge of the canvas, the scale dial at
// its foot.
Element* viewBar(Toolkit& tk) {
    return &tk.make(Kind::VBox, "vismenu", {{"GAP", "1"}, {"TOOLBAR", "YES"}},
                    {tool(tk, "visredisplay", "Redisplay", "VisRedisplay", "redisplay"),
                     tool(tk, "visfit", "Fit world on screen", "VisFit", "fit"),
                     pressTool(tk, "zoom", "Zoom in given rectangle", "VisZoom", "zoomrect"),
                     tool(tk, "viszoomin", "Zoom in", "VisZoomIn", "zoomin"),
                     tool(tk, "viszoomout", "Zoom out", "VisZoomOut", "zoomout"),
                     &tk.make(Kind::Dial, "scaledial",
                              {{"TYPE", "VERTICAL"},
                               {"SIZE", "11x45"},
                               {"TIP", "Scale work space"},
                               {"ACTION", "ScaleDialChange"},
                               {"PRESS_CB", "ScaleDialPress"},
                               {"RELEASE_CB", "ScaleDialRelease"}}),
                     &tk.make(Kind::Fill)});
}

// The result tool bar heads the side panel, above the mode line it drives.
Element* resultBar(Toolkit& tk) {
    Element* resultMode = &tk.make(Kind::List, "resultmode",
                                   {{"DROPDOWN", "YES"},
                                    {"TIP", "Internal Force Result"},
                                    {"ACTION", "ResModeSelCur"},
                                    {"1", "Diagram"},
                                    {"2", "Influence Line"},
                                    {"3", "Buckling"},
                                    {"4", "Vibration"},
                                    {"VALUE", "1"}});
    return toolbar(tk, "resultmenu",
                   {resultMode,
                    tool(tk, "ilsection", "New influence line section", "ILSection", "ilsection"),
                    pressTool(tk, "axial", "Axial force", "Axial", "axial"),
                    pressTool(tk, "shear", "Shear force", "Shear", "shear"),
                    pressTool(tk, "bending", "Bending moment", "Bending", "bending"),
                    pressTool(tk, "deformed", "Deformed configuration", "Deformed", "deformed"),
                    tool(tk, "tblopen", "Result tables", "TblOpen", "tables"),
                    inactive(tool(tk, "modeprev", "Previous mode", "ModePrev", "modeprev")),
                    inactive(tool(tk, "modenext", "Next mode", "ModeNext", "modenext")),
                    &tk.make(Kind::Valuator, "resultval",
                             {{"MIN", "0.0"},
                              {"MAX", "1.0"},
                              {"VALUE", "0"},
                              {"SIZE", "40x15"},
                              {"TIP", "Scale result graph"},
                              {"ACTION", "ResValChange"}}),
                    &tk.make(Kind::Fill)});
}

// ---- Side panel: results, mode, step, attributes, location, grid ------------

Element* modeLine(Toolkit& tk) {
    return hbox(tk,
                {label(tk, "modelabel", "Editing Mode:", "100x"),
                 &tk.make(Kind::Text, "modetext",
                          {{"VALUE", "   None   "},
                           {"ACTION", "DefFactText"},
                           {"COMMIT_CB", "DefFactSet"},
                           {"NC", "16"},
                           {"RASTERSIZE", "90x"}}),
                 label(tk, "modeunit", " ", "28x")},
                "modemenu");
}

Element* stepLine(Toolkit& tk) {
    Element* steps =
        &tk.make(Kind::Radio, "stepmode", {{"VALUE", "unifressegs"}, {"ORIENTATION", "HORIZONTAL"}},
                 {pressTool(tk, "unifressegs", "Adjust to equally-spaced steps", "UnifResStep",
                            "equalsteps", true),
                  pressTool(tk, "fixedressegs", "Honor step size", "FixedResStep", "fixedsteps")});
    return hbox(tk,
                {label(tk, "", "Step:"),
                 field(tk, "resultsteptext", "0.00", "Step size for result values",
                       "ResultStepText", "ResultStepSet"),
                 label(tk, "resultstepunit", "m", kUnitWidth), steps},
                "segresmenu");
}

Element* attributeArea(Toolkit& tk) {
    Element& area = tk.make(Kind::Switch, "attmenu", {{"VALUE", "mafmenu"}, {"EXPAND", "YES"}});
    // The configured property panels with their label pages; the support,
    // hinge and constraint panels; the others are empty titled pages until
    // their kinds are configured.
    for (const PanelEntry& p : kPanels) {
        if (std::string_view(p.panel) == "lcsmenu") {
            area.append(buildCasePanel(tk));
            area.append(buildCaseLabelPage(tk));
            continue;
        }
        if (const PanelKind* k = panelKindOf(p.panel)) {
            area.append(buildPanelPage(tk, *k));
            area.append(buildLabelPage(tk, *k));
            continue;
        }
        Element* body = conditionPanelBody(tk, p.panel);
        area.append(tk.make(Kind::Frame, p.panel, {{"TITLE", p.tip}, {"EXPAND", "YES"}},
                            {body ? body : &tk.make(Kind::Fill)}));
    }
    area.append(tk.make(
        Kind::Frame, "infoarea", {{"TITLE", "Information"}, {"EXPAND", "YES"}},
        {&tk.make(
            Kind::MultiLine, "infotxt",
            {{"VALUE", ""}, {"READONLY", "YES"}, {"ACTION", "do_nothing"}, {"EXPAND", "YES"}})}));
    return &area;
}

Element* locationLine(Toolkit& tk) {
    return &tk.make(
        Kind::VBox, "locmenu", {{"GAP", "2"}},
        {hbox(tk, {label(tk, "", "Width:"),
                   field(tk, "htext", "", "Horizontal work space size", "HsizeText", "HsizeSet"),
                   label(tk, "hsizeunit", "m", kUnitWidth), label(tk, "", "Height:"),
                   field(tk, "vtext", "", "Vertical work space size", "VsizeText", "VsizeSet"),
                   label(tk, "vsizeunit", "m", kUnitWidth)}),
         hbox(tk, {label(tk, "", "X:"), label(tk, "cursorxpos", " ", "64x"), label(tk, "", "Y:"),
                   label(tk, "cursorypos", " ", "64x")})});
}

Element* gridLine(Toolkit& tk) {
    return hbox(
        tk,
        {check(tk, "grid", "Grid", "Grid", false),
         field(tk, "gridstepxtext", "1.00", "Grid step in X", "GridStepXText", "GridStepXSet"),
         label(tk, "gridstepxunit", "m", kUnitWidth),
         field(tk, "gridstepytext", "1.00", "Grid step in Y", "GridStepYText", "GridStepYSet"),
         label(tk, "gridstepyunit", "m", kUnitWidth),
         check(tk, "snaptogrid", "Snap", "SnapToGrid", false)},
        "gridmenu");
}

Element* sidePanel(Toolkit& tk) {
    return &tk.make(Kind::VBox, "sidepanel", {{"GAP", "6"}, {"RASTERSIZE", "370x"}},
                    {resultBar(tk), modeLine(tk), stepLine(tk), attributeArea(tk), locationLine(tk),
                     gridLine(tk)});
}

// ---- Drawing area --------------------------------------------------------------

Element* drawingArea(Toolkit& tk) {
    Element* canvas = &tk.make(Kind::Canvas, "datascreen",
                               {{"ACTION", "VisRedraw"},
                                {"BUTTON_CB", "PckMouseBt"},
                                {"MOTION_CB", "PckMouseMv"},
                                {"LEAVEWINDOW_CB", "PckEchoOff"},
                                {"RESIZE_CB", "VisResize"},
                                {"ZOOMFACTOR", "1.2"},
                                {"FITFACTOR", "1.20"},
                                {"HLIMITFACTOR", "3.0"},
                                {"VLIMITFACTOR", "3.0"},
                                {"SCROLLBAR", "YES"},
                                {"WINDOWRESIZE_ADJUST", "YES"},
                                {"ZOOMFENCE_ADJUST", "YES"},
                                {"ZOOMFENCE_DRAG", "YES"},
                                {"EXPAND", "YES"},
                                {"RASTERSIZE", "640x480"}});
    Element* caseLine = hbox(tk, {label(tk, "", "Load Case/Combination:"),
                                  &tk.make(Kind::List, "caselist",
                                           {{"DROPDOWN", "YES"},
                                            {"ACTION", "CaseSelCur"},
                                            {"1", attrib::kSingleCaseLabel},
                                            {"VALUE", "1"}}),
                                  &tk.make(Kind::Fill)});
    return &tk.make(Kind::VBox, "drawingarea", {{"GAP", "2"}, {"EXPAND", "YES"}},
                    {label(tk, "datatopmsg", " "), canvas, caseLine});
}

} // namespace

Element& buildAboutWindow(Toolkit& tk) {
    return tk.make(Kind::Dialog, "about",
                   {{"TITLE", "About Kestrel"},
                    {"ICON", "KESTREL_ICON"},
                    {"RESIZE", "NO"},
                    {"MINBOX", "NO"},
                    {"MAXBOX", "NO"}},
                   {&tk.make(Kind::VBox, "", {{"GAP", "8"}, {"MARGIN", "16"}},
                             {&tk.make(Kind::Label, "", {{"IMAGE", iconPath("kestrel")}}),
                              label(tk, "", "Kestrel - Spanwork"),
                              label(tk, "", "Linear static analysis of plane frames"),
                              label(tk, "aboutversion", "Version 0.1"),
                              &tk.make(Kind::Button, "aboutclose",
                                       {{"TITLE", " Close "}, {"ACTION", "AboutClose"}})})});
}

Element& buildMainWindow(Toolkit& tk) {
    Element* menubar = &tk.make(Kind::MenuBar, "menubar", {}, {fileMenu(tk), optionsMenu(tk)});
    Element* body = &tk.make(Kind::HBox, "body", {{"GAP", "6"}, {"EXPAND", "YES"}},
                             {sidePanel(tk), viewBar(tk), drawingArea(tk)});
    return tk.make(Kind::Dialog, "main",
                   {{"TITLE", "Kestrel - Spanwork"},
                    {"ICON", "KESTREL_ICON"},
                    {"FONT", "HELVETICA_NORMAL_12"},
                    {"K_ANY", "KeyCrtl"},
                    {"CLOSE_CB", "CloseWindow"},
                    {"DROPFILES_CB", "IoDropFile"},
                    {"RASTERSIZE", "1180x770"}},
                   {&tk.make(Kind::VBox, "mainbox", {{"GAP", "4"}, {"MARGIN", "4"}},
                             {menubar, toolbars(tk), body})});
}

} // namespace shell
