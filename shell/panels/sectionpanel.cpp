// Pages, handlers and picture of the section panel.
#include "shell/panels/sectionpanel.h"

#include "attrib/catalogue.h"
#include "gfx/canvas.h"
#include "shell/display.h"
#include "shell/panels/propertypanel.h"
#include "shell/panels/sectionpicture.h"
#include "shell/state.h"
#include "ui/ui.h"
#include "units/numformat.h"

#include <string>

namespace shell {

namespace {

using attrib::Section;
using ui::Element;
using ui::Event;
using ui::Kind;
using ui::Toolkit;

// The shell's half of a section type: its page and the texts of its fields.
struct PageDesc {
    const char* page;   // page handle in xscmenu
    const char* prefix; // prefix of the page's element handles
    const char* labels[attrib::kMaxSectionParams];
};

const PageDesc kPages[attrib::kSectionTypeCount] = {
    {"xscgenericmenu",
     "xscgeneric",
     {"Section area", "Section mom. of inertia", "Section depth",
      "Gravity center height (from bottom)"}},
    {"xscrectanglemenu", "xscrectangle", {"Section depth", "Section width"}},
    {"xscishapemenu",
     "xscishape",
     {"Section (web) depth", "Flange width", "Web thickness", "Flange thickness"}},
    {"xscanglemenu", "xscangle", {"Section depth", "Section width", "Section thickness"}},
    {"xsctshapemenu",
     "xsctshape",
     {"Section (web) depth", "Flange width", "Web thickness", "Flange thickness"}},
    {"xsccshapemenu",
     "xsccshape",
     {"Section (web) depth", "Flange width", "Web thickness", "Flange thickness"}},
    {"xsczshapemenu", "xsczshape", {"Section depth", "Section width", "Section thickness"}},
    {"xsccirclemenu", "xsccircle", {"Section diameter"}},
    {"xscringmenu", "xscring", {"Section diameter", "Section thickness"}},
    {"xscdanglemenu",
     "xscdangle",
     {"Section web depth", "Single angle width", "Section thickness", "Angle spacing"}},
    {"xscgirdersecmenu",
     "xscgirdersec",
     {"Top flange depth", "Top flange-web transition depth", "Section web depth",
      "Bottom web-flange transition depth", "Bottom flange depth", "Top flange width",
      "Bottom flange width", "Web thickness"}},
    {"xscboxmenu",
     "xscbox",
     {"Section (web) depth", "Flange width", "Web thickness", "Flange thickness"}},
    {"xscwwftablemenu", "xscwwf", {}},
    {"xscewftablemenu", "xscewf", {}},
};

// Read-only results of every page but Generic's, and the catalogue rows'
// dimensions: element suffix, text, unit and format slots.
struct Readout {
    const char* suffix;
    const char* label;
    int unit, format;
};
const Readout kResults[] = {
    {"ygc", "Gravity center height (from bottom)", units::kSectionSizeUnit,
     units::kSectionSizeFormat},
    {"area", "Section area", units::kSectionAreaUnit, units::kSectionAreaFormat},
    {"inertia", "Section mom. of inertia", units::kSectionInertiaUnit,
     units::kSectionInertiaFormat},
};
const Readout kRowDims[] = {
    {"d", "Web height", units::kSectionSizeUnit, units::kSectionSizeFormat},
    {"b", "Flange width", units::kSectionSizeUnit, units::kSectionSizeFormat},
    {"tf", "Flange thickness", units::kSectionSizeUnit, units::kSectionSizeFormat},
    {"tw", "Web thickness", units::kSectionSizeUnit, units::kSectionSizeFormat},
};

const char* const kOrientButtons[attrib::kOrientCommandCount][3] = {
    {"spfflipvert", "SpfFlipVert", "Flip vertical"},
    {"spffliphorz", "SpfFlipHorz", "Flip horizontal"},
    {"spfrotleft", "SpfRotLeft", "Rotate left"},
    {"spfrotright", "SpfRotRight", "Rotate right"},
};

const char* const kStepButtons[4][4] = {
    {"xscwwffirst", "SetSectionBegin_WWF", "|<", "First section in depth group"},
    {"xscwwfprev", "SetSectionPrev_WWF", "<", "Previous section in depth group"},
    {"xscwwfnext", "SetSectionNext_WWF", ">", "Next section in depth group"},
    {"xscwwflast", "SetSectionEnd_WWF", ">|", "Last section in depth group"},
};

bool isCatalogue(int type) {
    return type == attrib::kSecWelded || type == attrib::kSecLight;
}

std::string name(int type, const std::string& suffix) {
    return std::string(kPages[type].prefix) + suffix;
}
std::string paramName(int type, int i) {
    return name(type, "param" + std::to_string(i));
}

// Unit and format slots of a parameter of a type.
void slotsOf(int type, int i, int& unit, int& format) {
    switch (attrib::sectionType(type).quantity[i]) {
    case attrib::kParamArea:
        unit = units::kSectionAreaUnit, format = units::kSectionAreaFormat;
        break;
    case attrib::kParamInertia:
        unit = units::kSectionInertiaUnit, format = units::kSectionInertiaFormat;
        break;
    default:
        unit = units::kSectionSizeUnit, format = units::kSectionSizeFormat;
        break;
    }
}

Toolkit& tk() {
    return *app().tk;
}

// ---- Building --------------------------------------------------------------

// A line of the page: the text at the left, the field and its unit label at
// the right, so that the fields of a page line up whatever their texts.
Element& labelled(Toolkit& t, const std::string& text, Element& field, const std::string& unit) {
    return t.make(Kind::HBox, "", {{"GAP", "4"}, {"ALIGNMENT", "ACENTER"}},
                  {&t.make(Kind::Label, "", {{"TITLE", text}}), &t.make(Kind::Fill), &field,
                   &t.make(Kind::Label, unit, {{"TITLE", ""}, {"SIZE", "28x"}})});
}

Element& readOnly(Toolkit& t, const std::string& handle, const std::string& filter) {
    return t.make(Kind::Text, handle,
                  {{"READONLY", "YES"}, {"ACTION", filter}, {"NC", "16"}, {"SIZE", "52x"}});
}

Element& buildTypedPage(Toolkit& t, int type) {
    const attrib::SectionType& st = attrib::sectionType(type);
    const std::string key = st.key;
    Element& page = t.make(Kind::VBox, kPages[type].page, {{"GAP", "2"}});
    for (int i = 0; i < st.paramCount; ++i) {
        Element& f = t.make(Kind::Text, paramName(type, i),
                            {{"ACTION", "ParamCharInput_" + key},
                             {"COMMIT_CB", "ParamSetValue_" + key},
                             {"PARAM", std::to_string(i)},
                             {"NC", "16"},
                             {"SIZE", "52x"}});
        page.append(labelled(t, kPages[type].labels[i], f, name(type, "unit" + std::to_string(i))));
    }
    if (type == attrib::kSecIShape)
        page.append(labelled(t, "h:", readOnly(t, name(type, "h"), "ParamCharInput_" + key),
                             name(type, "hunit")));
    if (type != attrib::kSecGeneric)
        for (const Readout& r : kResults)
            page.append(labelled(t, r.label,
                                 readOnly(t, name(type, r.suffix), "ParamCharInput_" + key),
                                 name(type, std::string(r.suffix) + "unit")));
    return page;
}

Element& buildCataloguePage(Toolkit& t, int type) {
    const bool welded = type == attrib::kSecWelded;
    const std::string tag = welded ? "WWF" : "EWF";
    Element& page = t.make(Kind::VBox, kPages[type].page, {{"GAP", "2"}});
    Element& family = t.make(Kind::List, name(type, "type"),
                             {{"DROPDOWN", "YES"}, {"ACTION", "SetType_" + tag}, {"SIZE", "60x"}});
    for (int f = 1; f <= attrib::kCatalogueFamilyCount; ++f)
        family.set(std::to_string(f),
                   welded ? attrib::weldedFamilyItem(f) : attrib::lightFamilyItem(f));
    Element& depth = t.make(Kind::List, name(type, "depth"),
                            {{"DROPDOWN", "YES"},
                             {"ACTION", "SetDepth_" + tag},
                             {"K_ANY", "CharInput_" + tag},
                             {"SIZE", "44x"}});
    page.append(t.make(Kind::HBox, "", {{"GAP", "4"}, {"ALIGNMENT", "ACENTER"}},
                       {&t.make(Kind::Label, "", {{"TITLE", "type:"}}), &family,
                        &t.make(Kind::Label, "", {{"TITLE", "Section depth"}}), &depth}));
    Element& steps =
        t.make(Kind::HBox, "", {{"GAP", "2"}, {"ALIGNMENT", "ACENTER"}},
               {&t.make(Kind::Label, name(type, "name"), {{"TITLE", ""}}), &t.make(Kind::Fill)});
    if (welded)
        for (const auto& b : kStepButtons)
            steps.append(
                t.make(Kind::Button, b[0],
                       {{"TITLE", b[2]}, {"ACTION", b[1]}, {"TIP", b[3]}, {"SIZE", "16x"}}));
    page.append(steps);
    for (const Readout& r : kRowDims)
        page.append(labelled(t, r.label, readOnly(t, name(type, r.suffix), ""),
                             name(type, std::string(r.suffix) + "unit")));
    for (const Readout& r : kResults)
        page.append(labelled(t, r.label, readOnly(t, name(type, r.suffix), ""),
                             name(type, std::string(r.suffix) + "unit")));
    return page;
}

// ---- Showing ---------------------------------------------------------------

std::string shown(int unit, int format, double v) {
    return units::formatBareValue(unit, format, v);
}

void setText(const std::string& handle, const std::string& value) {
    if (Element* e = tk().find(handle)) e->set("VALUE", value);
}

void showUnitLabels(int type) {
    const attrib::SectionType& st = attrib::sectionType(type);
    auto label = [](const std::string& handle, int unit) {
        if (Element* e = tk().find(handle)) e->set("TITLE", units::slotUnitLabelUtf8(unit));
    };
    if (!isCatalogue(type))
        for (int i = 0; i < st.paramCount; ++i) {
            int unit, format;
            slotsOf(type, i, unit, format);
            label(name(type, "unit" + std::to_string(i)), unit);
        }
    if (type == attrib::kSecIShape) label(name(type, "hunit"), units::kSectionSizeUnit);
    for (const Readout& r : kResults) label(name(type, std::string(r.suffix) + "unit"), r.unit);
    if (isCatalogue(type))
        for (const Readout& r : kRowDims) label(name(type, std::string(r.suffix) + "unit"), r.unit);
}

void fillDepthList(int type, const Section& s) {
    Element& list = tk().at(name(type, "depth"));
    int count = 0, item = 1;
    if (type == attrib::kSecWelded) {
        const attrib::WeldedPosition p = attrib::weldedPosition(s);
        count = attrib::weldedGroupCount(p.family);
        for (int g = 0; g < count; ++g)
            list.set(std::to_string(g + 1),
                     shown(units::kSectionSizeUnit, units::kSectionSizeFormat,
                           attrib::weldedGroupDepth(p.family, g)));
        item = p.group + 1;
    } else {
        const attrib::LightPosition p = attrib::lightPosition(s);
        count = attrib::lightRowCount(p.family);
        for (int r = 0; r < count; ++r)
            list.set(std::to_string(r + 1),
                     shown(units::kSectionSizeUnit, units::kSectionSizeFormat,
                           attrib::lightRow(p.family, r)->d));
        item = p.row + 1;
    }
    list.set(std::to_string(count + 1), "");
    list.set("VALUE", std::to_string(item));
}

void drawPicture() {
    SectionPanelState& st = sectionPanel();
    const int type = st.shown;
    if (Element* c = tk().find("xscpicture"))
        c->set("PICTURE", sectionPictureName(type, st.pages[type].orientation));
    if (st.picture) drawSectionPicture(*st.picture, st.pages[type]);
}

// Fills the shown page from its copy (values in the display units).
void fillPage(int type) {
    const Section& s = sectionPanel().pages[type];
    const attrib::SectionType& st = attrib::sectionType(type);
    if (isCatalogue(type)) {
        const bool welded = type == attrib::kSecWelded;
        const int family =
            welded ? attrib::weldedPosition(s).family : attrib::lightPosition(s).family;
        tk().at(name(type, "type")).set("VALUE", std::to_string(family));
        fillDepthList(type, s);
        const attrib::CatalogueRow* row = attrib::sectionCatalogueRow(s);
        tk().at(name(type, "name")).set("TITLE", row->designation);
        const double dims[] = {row->d, row->b, row->tf, row->tw};
        for (int i = 0; i < 4; ++i)
            setText(name(type, kRowDims[i].suffix),
                    shown(kRowDims[i].unit, kRowDims[i].format, dims[i]));
    } else {
        for (int i = 0; i < st.paramCount; ++i) {
            int unit, format;
            slotsOf(type, i, unit, format);
            setText(paramName(type, i), shown(unit, format, s.params[i]));
        }
    }
    if (type == attrib::kSecIShape)
        setText(name(type, "h"), shown(units::kSectionSizeUnit, units::kSectionSizeFormat,
                                       s.params[0] - 2 * s.params[3]));
    if (type != attrib::kSecGeneric) {
        const double values[] = {attrib::sectionYgc(s), attrib::sectionArea(s),
                                 attrib::sectionInertia(s)};
        for (int i = 0; i < 3; ++i)
            setText(name(type, kResults[i].suffix),
                    shown(kResults[i].unit, kResults[i].format, values[i]));
    }
    drawPicture();
}

void showOrientationButtons() {
    const SectionPanelState& st = sectionPanel();
    for (int c = 0; c < attrib::kOrientCommandCount; ++c) {
        const bool on = currentSection() && attrib::orientationAvailable(st.pages[st.shown], c);
        tk().at(kOrientButtons[c][0]).set("ACTIVE", on ? "YES" : "NO");
    }
}

// Operation 21: the page's copy goes into the current section.
void storePage(int type) {
    Section* current = currentSection();
    if (!current || current->type != type) return;
    current->orientation = sectionPanel().pages[type].orientation;
    current->params = sectionPanel().pages[type].params;
    markModified(0);
    redraw();
}

// ---- Handlers --------------------------------------------------------------

// Digits, control keys and the characters of a number; nothing in the
// read-only fields.
int numberKey(Event& ev) {
    if (ev.element && ev.element->get("READONLY") == "YES") return ui::kIgnore;
    const int k = ev.key;
    if (ui::isControlKey(k) || (k >= '0' && k <= '9') || k == '.' || k == 'e' || k == 'E' ||
        k == '+' || k == '-')
        return ui::kDefault;
    return ui::kIgnore;
}

int onParamSet(int type, Event& ev) {
    if (!ev.element || !ev.element->has("PARAM")) return ui::kDefault;
    SectionPanelState& st = sectionPanel();
    const int i = ev.element->getInt("PARAM");
    Section& page = st.pages[type];
    if (i < 0 || i >= int(page.params.size())) return ui::kDefault;
    // The field shows the dimension rounded to its format: committed
    // unchanged, the section keeps its exact dimension.
    if (ev.element->holdsShownText()) return ui::kDefault;
    int unit, format;
    slotsOf(type, i, unit, format);
    double internal = 0;
    const bool number = units::readTypedSlot(unit, ev.element->get("VALUE"), internal);
    const bool accepted = number && (type == attrib::kSecGeneric ? internal >= 0 : internal > 0);
    if (accepted) {
        page.params[i] = internal;
        storePage(type);
    }
    fillPage(type);
    return ui::kDefault;
}

void afterCatalogueMove(int type) {
    storePage(type);
    fillPage(type);
}

int onOrient(int command) {
    SectionPanelState& st = sectionPanel();
    if (!currentSection()) return ui::kDefault;
    if (!attrib::applyOrientation(st.pages[st.shown], command)) return ui::kDefault;
    storePage(st.shown);
    fillPage(st.shown);
    showOrientationButtons();
    return ui::kDefault;
}

void bindActions(Toolkit& t) {
    for (int type = 0; type < attrib::kSectionTypeCount; ++type) {
        if (isCatalogue(type)) continue;
        const std::string key = attrib::sectionType(type).key;
        t.bind("ParamCharInput_" + key, numberKey);
        t.bind("ParamSetValue_" + key, [type](Event& ev) { return onParamSet(type, ev); });
        t.bind("ParamEnterKeyValue_" + key, [type](Event& ev) { return onParamSet(type, ev); });
    }
    auto welded = [](auto move) {
        return [move](Event& ev) {
            Section& page = sectionPanel().pages[attrib::kSecWelded];
            attrib::setWeldedPosition(page, move(attrib::weldedPosition(page), ev));
            afterCatalogueMove(attrib::kSecWelded);
            return ui::kDefault;
        };
    };
    auto light = [](auto move) {
        return [move](Event& ev) {
            Section& page = sectionPanel().pages[attrib::kSecLight];
            attrib::setLightPosition(page, move(attrib::lightPosition(page), ev));
            afterCatalogueMove(attrib::kSecLight);
            return ui::kDefault;
        };
    };
    using WP = attrib::WeldedPosition;
    using LP = attrib::LightPosition;
    t.bind("SetType_WWF", [welded](Event& ev) {
        if (ev.state == 0) return ui::kDefault;
        return welded([](WP p, Event& e) { return attrib::weldedChooseFamily(p, e.item); })(ev);
    });
    t.bind("SetDepth_WWF", [welded](Event& ev) {
        if (ev.state == 0) return ui::kDefault;
        return welded([](WP p, Event& e) { return attrib::weldedChooseDepth(p, e.item); })(ev);
    });
    const attrib::WeldedStep steps[] = {attrib::kStepFirst, attrib::kStepPrevious,
                                        attrib::kStepNext, attrib::kStepLast};
    for (int k = 0; k < 4; ++k)
        t.bind(kStepButtons[k][1],
               welded([step = steps[k]](WP p, Event&) { return attrib::weldedStep(p, step); }));
    t.bind("SetType_EWF", [light](Event& ev) {
        if (ev.state == 0) return ui::kDefault;
        return light([](LP p, Event& e) { return attrib::lightChooseFamily(p, e.item); })(ev);
    });
    t.bind("SetDepth_EWF", [light](Event& ev) {
        if (ev.state == 0) return ui::kDefault;
        return light([](LP p, Event& e) { return attrib::lightChooseDepth(p, e.item); })(ev);
    });
    t.bind("CharInput_WWF", numberKey);
    t.bind("CharInput_EWF", numberKey);
    for (int c = 0; c < attrib::kOrientCommandCount; ++c)
        t.bind(kOrientButtons[c][1], [c](Event&) { return onOrient(c); });
    t.bind("SpfSelType", [](Event& ev) {
        if (ev.state != 0 && ev.item >= 1 && ev.item <= attrib::kSectionTypeCount)
            sectionPanel().chosenType = ev.item - 1;
        return ui::kDefault;
    });
    t.bind("SpfPictureRedraw", [](Event&) {
        drawPicture();
        return ui::kDefault;
    });
}

} // namespace

void SectionPanelState::reset() {
    for (int type = 0; type < attrib::kSectionTypeCount; ++type)
        pages[type] = attrib::makeSection(type);
    picture.reset();
    shown = attrib::kSecGeneric;
    chosenType = attrib::kSecGeneric;
}

SectionPanelState& sectionPanel() {
    static SectionPanelState state = [] {
        SectionPanelState s;
        s.reset();
        return s;
    }();
    return state;
}

const char* sectionPageName(int type) {
    return kPages[attrib::validSectionType(type) ? type : 0].page;
}

Element& buildSectionTypeList(Toolkit& t) {
    Element& types = t.make(Kind::List, "spftypelist",
                            {{"DROPDOWN", "YES"}, {"ACTION", "SpfSelType"}, {"ACTIVE", "NO"}});
    for (int type = 0; type < attrib::kSectionTypeCount; ++type)
        types.set(std::to_string(type + 1), attrib::sectionType(type).item);
    types.set("VALUE", "1");
    return t.make(
        Kind::HBox, "", {{"GAP", "4"}, {"ALIGNMENT", "ACENTER"}},
        {&t.make(Kind::Label, "", {{"TITLE", "Section type:"}}), &types, &t.make(Kind::Fill)});
}

Element& buildSectionArea(Toolkit& t) {
    Element& pages =
        t.make(Kind::Switch, "xscmenu", {{"VALUE", kPages[0].page}, {"EXPAND", "YES"}});
    for (int type = 0; type < attrib::kSectionTypeCount; ++type)
        pages.append(isCatalogue(type) ? buildCataloguePage(t, type) : buildTypedPage(t, type));
    // The orientation buttons in a column beside the picture.
    Element& buttons = t.make(Kind::VBox, "spforient", {{"GAP", "2"}});
    for (const auto& b : kOrientButtons)
        buttons.append(
            t.make(Kind::Button, b[0],
                   {{"TITLE", b[2]}, {"ACTION", b[1]}, {"TIP", b[2]}, {"ACTIVE", "NO"}}));
    buttons.append(t.make(Kind::Fill));
    Element& picture = t.make(Kind::Canvas, "xscpicture",
                              {{"ACTION", "SpfPictureRedraw"},
                               {"RESIZE_CB", "SpfPictureRedraw"},
                               {"DRAWSIZE", "200x120"},
                               {"RASTERSIZE", "200x120"}});
    bindActions(t);
    // The pages scroll only when the window is short: the area asks for the
    // height of the tallest catalogue page and the picture.
    return t.make(Kind::VBox, "spfsection", {{"GAP", "4"}, {"RASTERSIZE", "0x470"}},
                  {&pages, &t.make(Kind::HBox, "", {{"GAP", "4"}}, {&buttons, &picture})});
}

void attachSectionPicture(Toolkit& t) {
    if (Element* e = t.find("xscpicture")) sectionPanel().picture = t.createCanvas(*e);
    drawPicture();
}

Section* currentSection() {
    return attrib::sectionOf(currentBlock(attrib::kSpf));
}

void showSection(Section* s) {
    SectionPanelState& st = sectionPanel();
    for (int type = 0; type < attrib::kSectionTypeCount; ++type) {
        st.pages[type] = attrib::makeSection(type);
        showUnitLabels(type);
    }
    st.shown = s && attrib::validSectionType(s->type) ? s->type : attrib::kSecGeneric;
    if (s) {
        st.pages[st.shown].orientation = s->orientation;
        st.pages[st.shown].params = s->params;
        st.pages[st.shown].params.resize(attrib::sectionType(st.shown).paramCount, 0);
    }
    tk().at("xscmenu").set("VALUE", kPages[st.shown].page);
    if (Element* list = tk().find("spftypelist"))
        if (list->get("ACTIVE") == "NO") list->set("VALUE", std::to_string(st.shown + 1));
    fillPage(st.shown);
    showOrientationButtons();
}

void refreshSectionUnits() {
    const int type = sectionPanel().shown;
    showUnitLabels(type);
    fillPage(type);
}

void beginNewSection() {
    sectionPanel().chosenType = attrib::kSecGeneric;
    Element& list = tk().at("spftypelist");
    list.set("ACTIVE", "YES");
    list.set("VALUE", "0");
}

void endSectionTypeChoice() {
    Element& list = tk().at("spftypelist");
    list.set("ACTIVE", "NO");
    list.set("VALUE", std::to_string(sectionPanel().shown + 1));
}

namespace {

// A new block is a section of the type chosen in the list.
void giveChosenType(attrib::PropertyBlock* b) {
    if (Section* s = attrib::sectionOf(b)) *s = attrib::makeSection(sectionPanel().chosenType);
}

const PanelKind kSections = {
    attrib::kSpf,
    "Spf",
    "Section Properties",
    {"Create new section properties", "Import list of section properties",
     "Rename section property block", "Remove section properties from list",
     "Condense list of section properties", "Select members by current section",
     "Apply current section to selected members", "Apply current section to all members"},
    "Create new section properties",
    {"This section property block is being used by a",
     "member of the structure.  You cannot remove it."},
    "No member belongs to the selected section.",
    true,
    {},
    {},
    false,
    nullptr,
    buildSectionArea,
    buildSectionTypeList,
    [](attrib::PropertyBlock* b) { showSection(attrib::sectionOf(b)); },
    [](bool pendingNew) {
        if (pendingNew)
            beginNewSection();
        else
            endSectionTypeChoice();
    },
    endSectionTypeChoice,
    giveChosenType,
};

} // namespace

const PanelKind& sectionPanelKind() {
    return kSections;
}

int chosenSectionType() {
    return sectionPanel().chosenType;
}

} // namespace shell
