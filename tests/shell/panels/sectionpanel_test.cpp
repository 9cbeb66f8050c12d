// The section panel as the user drives it: typed dimensions in the
// section-size unit, refused values, what the orientation buttons and the
// catalogue lists store, and the picture on the recording driver (the type
// chosen at New, the orientation buttons and the catalogue lists as shown:
// the scenarios section-*).
#include "attrib/blocks.h"
#include "attrib/section.h"
#include "gfx/record.h"
#include "shell/panels/sectionpanel.h"
#include "tests/shell/fixture.h"
#include "units/numformat.h"

#include <string>

namespace {

using shelltest::ShellTest;
using namespace attrib;

class SectionPanelTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        tk->press(at("sprop"));
    }
    // New, the type list item (0: none chosen), the label, Done.
    Section& make(int item, const std::string& label) {
        tk->press(at("spfnew"));
        if (item > 0) tk->select(at("spftypelist"), item);
        at("spflabeltext").set("VALUE", label);
        tk->press(at("spflabelset"));
        return static_cast<SectionBlock*>(findLabel(root(), kSpf, label))->section;
    }
    // The section size unit and its format code (1: "%.1f", 2: "%.2f").
    void setSizeUnit(int code, int format = 1) {
        state().settings.units[units::kSectionSizeUnit] = code;
        state().settings.formats[units::kSectionSizeFormat] = format;
        units::setCurrentUnit(units::kSectionSizeUnit, code);
        units::setCurrentFormat(units::kSectionSizeFormat, format);
        shell::refreshSectionUnits();
    }
    std::string active(const char* name) { return at(name).get("ACTIVE"); }
    std::string orientButtons() {
        std::string t;
        for (const char* b : {"spfflipvert", "spffliphorz", "spfrotleft", "spfrotright"})
            t += at(b).isActive() ? "1" : "0";
        return t;
    }
};

// What New shows for each type: the scenario section-new-types; here a type
// that is no item of the list, which leaves the section Generic.
TEST_F(SectionPanelTest, ATypeThatIsNoItemMakesAGenericSection) {
    EXPECT_EQ(make(15, "X").type, kSecGeneric);
    EXPECT_EQ(value("xscmenu"), "xscgenericmenu");
}

TEST_F(SectionPanelTest, DimensionsAreTypedInTheSectionSizeUnitAndStoredInMetres) {
    Section& s = make(3, "I"); // d, b, tw, tf
    struct Step {
        int unit; // section size unit code
        const char* field;
        const char* typed;
        double stored;     // the parameter afterwards, metres
        const char* shown; // the field afterwards
    } steps[] = {
        {1, "xscishapeparam0", "30", 0.3, "30.0"}, // cm
        {1, "xscishapeparam1", "15", 0.15, "15.0"},
        {1, "xscishapeparam1", "0", 0.15, "15.0"}, // refused: not more than 0
        {1, "xscishapeparam1", "-2", 0.15, "15.0"},
        {1, "xscishapeparam1", "abc", 0.15, "15.0"},  // not a number
        {4, "xscishapeparam2", "0.5", 0.0127, "0.5"}, // in
        {2, "xscishapeparam3", "20", 0.02, "20.0"},   // mm
    };
    for (const Step& st : steps) {
        setSizeUnit(st.unit);
        commit(st.field, st.typed);
        const int i = st.field[std::string(st.field).size() - 1] - '0';
        EXPECT_NEAR(s.params[i], st.stored, 1e-7 * st.stored) << st.field << " " << st.typed;
        EXPECT_EQ(value(st.field), st.shown) << st.field << " " << st.typed;
        EXPECT_EQ(title(("xscishapeunit" + std::to_string(i)).c_str()),
                  units::unitLabelUtf8(st.unit));
    }
    // In metres the same values read back; the computed fields follow.
    setSizeUnit(0, 2);
    EXPECT_EQ(value("xscishapeparam0"), "0.30");
    EXPECT_NEAR(sectionArea(s), 0.3 * 0.15 - 0.26 * (0.15 - 0.0127), 1e-9);
    EXPECT_EQ(state().file.saved, 0);

    // Generic accepts 0; the key filter takes only the characters of a number.
    Section& g = make(0, "G");
    commit("xscgenericparam3", "0.1");
    commit("xscgenericparam3", "0");
    EXPECT_EQ(g.params[3], 0);
    at("xscgenericparam2").set("VALUE", "");
    tk->typeText(at("xscgenericparam2"), "1x2e-3,a");
    EXPECT_EQ(value("xscgenericparam2"), "12e-3");
    make(2, "R");
    const std::string ygc = value("xscrectangleygc");
    EXPECT_FALSE(ygc.empty());
    tk->typeText(at("xscrectangleygc"), "12");
    EXPECT_EQ(value("xscrectangleygc"), ygc); // read-only results take no key
}

// The buttons and the picture of each orientation: the scenario
// section-orientation; here the code stored and the frame marked modified.
TEST_F(SectionPanelTest, ARotationIsStoredAndModifiesTheFrame) {
    Section& s = make(3, "I");
    state().file.saved = 1;
    tk->press(at("spfrotleft"));
    EXPECT_EQ(s.orientation, 1);
    EXPECT_EQ(state().file.saved, 0);
    tk->press(at("spfrotright"));
    EXPECT_EQ(s.orientation, 0);
}

// The catalogue lists and stepping buttons: the scenario
// section-welded-catalogue; here what the section stores: the family, the
// row and the name the lists show.
TEST_F(SectionPanelTest, WeldedCatalogueChoicesAreStored) {
    Section& s = make(13, "W");
    tk->select(at("xscwwfdepth"), 21);
    tk->press(at("xscwwflast"));
    EXPECT_EQ(sectionTypeName(s), "VS1400x482");
    tk->select(at("xscwwftype"), 2);
    EXPECT_EQ(s.params, (std::vector<double>{2, 10, 0}));
    EXPECT_EQ(sectionTypeName(s), title("xscwwfname"));
    Section& e = make(14, "E");
    tk->select(at("xscewftype"), 3);
    tk->select(at("xscewfdepth"), 9);
    EXPECT_EQ(sectionTypeName(e), "VEE300x50");
}

TEST_F(SectionPanelTest, PictureOfARotatedWeldedShapeOnTheRecordingDriver) {
    make(13, "W");
    auto* c = backend->canvasOf(at("xscpicture"));
    ASSERT_NE(c, nullptr);
    c->reset();
    tk->press(at("spfrotleft"));
    double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9;
    for (const gfx::Primitive& p : c->primitives())
        if (p.kind == gfx::Primitive::Kind::Polygon)
            for (const gfx::Point& q : p.world) {
                x0 = std::min(x0, q.x), x1 = std::max(x1, q.x);
                y0 = std::min(y0, q.y), y1 = std::max(y1, q.y);
            }
    EXPECT_NEAR(x1 - x0, 0.2, 1e-12);  // lying: the depth d across
    EXPECT_NEAR(y1 - y0, 0.05, 1e-12); // the flange width b up
}

} // namespace
