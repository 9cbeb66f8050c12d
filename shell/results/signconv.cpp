// The sign convention dialog (see signconv.h).
#include "shell/results/signconv.h"

#include "shell/display.h"
#include "shell/state.h"
#include "ui/ui.h"

#include <array>

namespace shell {

namespace {

struct Choice {
    const char* handle;
    const char* title;
    const char* action;
    int setting; // index into the settings pair
    int value;
};
const Choice kChoices[] = {
    {"scvTensSideBendMom", "Plot diagram values on the tension side of member", "SignConvTensSide",
     0, 1},
    {"scvTopSidePosBendMom", "Plot diagram values on the compression side of member",
     "SignConvComprSide", 0, 0},
    {"scvBotSidePosIL", "Plot positive influence line values on the bottom side of member",
     "SignConvILBottom", 1, 1},
    {"scvTopSidePosIL", "Influence line plot convention follows internal force diagram convention",
     "SignConvILFollows", 1, 0},
};

struct Dialog {
    ui::Element* dialog = nullptr;
    std::array<int, 2> copy{1, 1};
};
Dialog g_dlg;

// The toggles show the copy; Apply and Accept are active only while the copy
// differs from the model's settings, and Close then reads Cancel.
void refresh() {
    ui::Toolkit& tk = *app().tk;
    for (const Choice& c : kChoices)
        if (g_dlg.copy[c.setting] == c.value)
            tk.at(c.setting == 0 ? "scvbendradio" : "scvilradio").set("VALUE", c.handle);
    const bool changed = g_dlg.copy != app().settings.signConvention;
    tk.at("applysignconvdlg").set("ACTIVE", changed ? "YES" : "NO");
    tk.at("acceptsignconvdlg").set("ACTIVE", changed ? "YES" : "NO");
    tk.at("closesignconvdlg").set("TITLE", changed ? " Cancel " : " Close  ");
}

void apply() {
    AppState& a = app();
    if (g_dlg.copy == a.settings.signConvention) return;
    markModified(0);
    a.settings.signConvention = g_dlg.copy;
    redraw();
    refresh();
}

ui::Element& radio(ui::Toolkit& tk, const char* name, int setting) {
    ui::Element& r = tk.make(ui::Kind::Radio, name, {});
    for (const Choice& c : kChoices)
        if (c.setting == setting)
            r.append(
                tk.make(ui::Kind::Toggle, c.handle, {{"TITLE", c.title}, {"ACTION", c.action}}));
    return r;
}

void build(ui::Toolkit& tk) {
    using ui::Kind;
    auto label = [&](const char* t) { return &tk.make(Kind::Label, "", {{"TITLE", t}}); };
    ui::Element& buttons =
        tk.make(Kind::HBox, "", {},
                {&tk.make(Kind::Button, "applysignconvdlg",
                          {{"TITLE", "Apply"}, {"ACTION", "SignConvApply"}}),
                 &tk.make(Kind::Button, "acceptsignconvdlg",
                          {{"TITLE", "Accept"}, {"ACTION", "SignConvAccept"}}),
                 &tk.make(Kind::Button, "closesignconvdlg",
                          {{"TITLE", " Close  "}, {"ACTION", "SignConvClose"}})});
    ui::Element& body =
        tk.make(Kind::VBox, "", {},
                {label("Conventions for Internal Force Sign and Diagram Display"),
                 label("Positive axial force: tension"),
                 label("Positive shear force: rotates the member piece clockwise"),
                 label("Positive bending moment: stretches the member bottom side"),
                 label("Member bottom side: the right-hand side walking from end 1 to end 2"),
                 label("Positive diagram values are plotted on the top side of member"),
                 label("Bending moment diagram"), &radio(tk, "scvbendradio", 0),
                 label("Influence line display"), &radio(tk, "scvilradio", 1), &buttons});
    g_dlg.dialog =
        &tk.make(Kind::Dialog, "signconvdlg",
                 {{"TITLE", "Kestrel - Internal Force Sign and Diagram Display Conventions"},
                  {"RESIZE", "NO"},
                  {"CLOSE_CB", "SignConvClose"}},
                 {&body});
}

int onOpen(ui::Event&) {
    ui::Toolkit& tk = *app().tk;
    if (g_dlg.dialog == nullptr || tk.find("signconvdlg") != g_dlg.dialog) build(tk);
    g_dlg.copy = app().settings.signConvention;
    refresh();
    tk.popup(*g_dlg.dialog);
    return ui::kDefault;
}

} // namespace

void bindSignConventionActions(ui::Toolkit& tk) {
    tk.bind("SignConv", onOpen);
    for (const Choice& c : kChoices)
        tk.bind(c.action, [&c](ui::Event&) {
            g_dlg.copy[c.setting] = c.value;
            refresh();
            return ui::kDefault;
        });
    tk.bind("SignConvApply", [](ui::Event&) {
        apply();
        return ui::kDefault;
    });
    tk.bind("SignConvAccept", [](ui::Event&) {
        apply();
        return ui::kClose;
    });
    tk.bind("SignConvClose", [](ui::Event&) { return ui::kClose; });
}

} // namespace shell
