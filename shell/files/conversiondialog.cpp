// The unit conversion dialog of a file older than version 206: the user says
// in which length and force units the frame was typed; the frame is then
// converted to internal units and the unit and format codes set to match.
#include "attrib/attrib.h"
#include "files/modelfile.h"
#include "shell/files/filecommands.h"
#include "shell/state.h"
#include "ui/ui.h"

namespace shell {

namespace {

const char* const kSILengths[] = {"meter [ m ]", "centimeter [ cm ]", "millimeter [ mm ]"};
const char* const kSIForces[] = {"kilo-Newton [ kN ]", "Newton [ N ]", "ton (weight) [ tf ]"};
const char* const kUSLengths[] = {"foot [ ft ]", "inch [ in ]"};
const char* const kUSForces[] = {"kilo-pound [ kip ]", "pound [ lb ]"};

struct Conversion {
    ui::Element* dialog = nullptr;
    bool us = false;
    int accepted = 0;
};
Conversion g_conv;

// Fills a drop-down with the family's items and selects the first.
template <std::size_t N> void fill(ui::Element& list, const char* const (&items)[N]) {
    for (std::size_t i = 0; i < N; ++i) list.set(std::to_string(i + 1), items[i]);
    list.set(std::to_string(N + 1), "");
    list.set("VALUE", "1");
}

void setFamily(bool us) {
    ui::Toolkit& tk = *app().tk;
    g_conv.us = us;
    if (us) {
        fill(tk.at("untcnvlength"), kUSLengths);
        fill(tk.at("untcnvforce"), kUSForces);
    } else {
        fill(tk.at("untcnvlength"), kSILengths);
        fill(tk.at("untcnvforce"), kSIForces);
    }
}

int selected(const char* name) {
    const int item = app().tk->at(name).getInt("VALUE");
    return item >= 1 ? item - 1 : 0;
}

int onAccept(ui::Event&) {
    AppState& a = app();
    units::UnitSettings codes;
    codes.unit = a.settings.units;
    codes.format = a.settings.formats;
    codes =
        files::conversionUnits(g_conv.us, selected("untcnvlength"), selected("untcnvforce"), codes);
    a.settings.units = codes.unit;
    a.settings.formats = codes.format;
    files::convertToInternal(a.model, attrib::root(), a.settings);
    g_conv.accepted = 1;
    return ui::kClose;
}

void build(ui::Toolkit& tk) {
    using ui::Kind;
    ui::Element& text = tk.make(
        Kind::Label, "",
        {{"TITLE", "Please, define the units that you were using in this frame structure."}});
    ui::Element& family = tk.make(Kind::HBox, "", {},
                                  {&tk.make(Kind::Button, "untcnvsi",
                                            {{"TITLE", "   SI   "},
                                             {"TIP", "Structure in SI units"},
                                             {"ACTION", "UntCnvSetSIUnits"}}),
                                   &tk.make(Kind::Button, "untcnvus",
                                            {{"TITLE", "   US   "},
                                             {"TIP", "Structure in US units"},
                                             {"ACTION", "UntCnvSetUSUnits"}})});
    ui::Element& length =
        tk.make(Kind::HBox, "", {},
                {&tk.make(Kind::Label, "", {{"TITLE", "Length:"}}),
                 &tk.make(Kind::List, "untcnvlength",
                          {{"DROPDOWN", "YES"}, {"ACTION", "UntCnvSelLengthUnit"}})});
    ui::Element& force =
        tk.make(Kind::HBox, "", {},
                {&tk.make(Kind::Label, "", {{"TITLE", "Force:"}}),
                 &tk.make(Kind::List, "untcnvforce",
                          {{"DROPDOWN", "YES"}, {"ACTION", "UntCnvSelForceUnit"}})});
    ui::Element& buttons = tk.make(Kind::HBox, "", {},
                                   {&tk.make(Kind::Button, "untcnvaccept",
                                             {{"TITLE", "   OK   "}, {"ACTION", "UntCnvAccept"}}),
                                    &tk.make(Kind::Button, "untcnvcancel",
                                             {{"TITLE", " Cancel "}, {"ACTION", "UntCnvCancel"}})});
    g_conv.dialog =
        &tk.make(Kind::Dialog, "untcnvdialog",
                 {{"TITLE", "Unit conversion for previous version input data"},
                  {"RESIZE", "NO"},
                  {"CLOSE_CB", "UntCnvCancel"}},
                 {&tk.make(Kind::VBox, "", {}, {&text, &family, &length, &force, &buttons})});
    tk.bind("UntCnvSetSIUnits", [](ui::Event&) {
        setFamily(false);
        return ui::kDefault;
    });
    tk.bind("UntCnvSetUSUnits", [](ui::Event&) {
        setFamily(true);
        return ui::kDefault;
    });
    tk.bind("UntCnvSelLengthUnit", [](ui::Event&) { return ui::kDefault; });
    tk.bind("UntCnvSelForceUnit", [](ui::Event&) { return ui::kDefault; });
    tk.bind("UntCnvAccept", onAccept);
    tk.bind("UntCnvCancel", [](ui::Event&) { return ui::kClose; });
}

} // namespace

int conversionDialog() {
    ui::Toolkit& tk = *app().tk;
    if (g_conv.dialog == nullptr || tk.find("untcnvdialog") != g_conv.dialog) build(tk);
    setFamily(false);
    g_conv.accepted = 0;
    tk.popup(*g_conv.dialog);
    return g_conv.accepted;
}

} // namespace shell
