// The result display on the headless program: the diagram and its values
// drawn after the result command, the factor in the mode line, the valuator
// and the typed factor (bad text changes nothing), the curves sampled anew
// when the kind changes, the result line of the member under a point, and
// the sampling step drawn with ResPrecision.
#include "tests/shell/beam.h"
#include "tests/shell/fixture.h"

#include "analysis/analysis.h"
#include "attrib/blocks.h"
#include "attrib/section.h"
#include "interact/cll.h"
#include "shell/results/resultcmds.h"
#include "shell/results/resultdisplay.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace shelltest {
namespace {

class ResultDisplayTest : public BeamTest {
protected:
    void SetUp() override {
        BeamTest::SetUp();
        beam();
        saveAsBeam();
    }
    std::vector<std::string> texts() {
        std::vector<std::string> out;
        for (const auto& p : canvas().primitives())
            if (p.kind == gfx::Primitive::Kind::Text) out.push_back(p.text);
        return out;
    }
    int valuator(double r) {
        ui::Event ev;
        ev.value = r;
        return tk->fireAction("ResValChange", ev);
    }
    int typeFactor(const std::string& text) {
        at("modetext").set("VALUE", text);
        ui::Event ev;
        ev.element = &at("modetext");
        return tk->fireAction("DefFactSet", ev);
    }
};

TEST_F(ResultDisplayTest, DiagramFactorValuatorAndKinds) {
    ASSERT_TRUE(shell::resultCommand(3));
    const auto t = texts();
    EXPECT_EQ(std::count(t.begin(), t.end(), "10.0 kNm"), 1); // one of the two equal labels
    analysis::ResultState& rs = analysis::resultState();
    EXPECT_NEAR(rs.largestValue, 10, 1e-4);
    const double limit = rs.diagramSizeLimit;
    ASSERT_GT(limit, 0);
    EXPECT_EQ(value("modetext"), "0.04"); // default size 0.4 m over 10 kNm

    valuator(0.5);
    EXPECT_DOUBLE_EQ(rs.diagramSize, 0.5 * limit);
    valuator(1.5); // outside (0, 1]: ignored
    EXPECT_DOUBLE_EQ(rs.diagramSize, 0.5 * limit);
    typeFactor("0.1");
    EXPECT_NEAR(rs.diagramSize, 1.0, 1e-6);
    EXPECT_EQ(value("modetext"), "0.10");
    typeFactor("abc"); // not a number: nothing changes, the factor is shown again
    EXPECT_NEAR(rs.diagramSize, 1.0, 1e-6);
    EXPECT_EQ(value("modetext"), "0.10");
    typeFactor("1000"); // clamped to the limit
    EXPECT_DOUBLE_EQ(rs.diagramSize, limit);
    typeFactor("-3");
    EXPECT_EQ(rs.diagramSize, 0);

    EXPECT_EQ(shell::resultLineAt(1, 0, 1e-3),
              "Bending moment at local pos.: x = 1.00 m  L = 2.00 m  -  Value: 5.0 kNm");
    EXPECT_EQ(shell::resultLineAt(1, 3, 1e-3), "");
    // The pointer over the member shows the line in the message line.
    const gfx::Point px = canvas().worldToPixel(1, 0);
    ui::Event move;
    move.x = static_cast<int>(px.x), move.y = static_cast<int>(px.y);
    tk->fireAction("PckMouseMv", move);
    EXPECT_EQ(title("datatopmsg").rfind("Bending moment at local pos.: x = ", 0), 0u)
        << title("datatopmsg");
    fire("Shear");
    EXPECT_NEAR(rs.largestValue, 5, 1e-4);
    EXPECT_EQ(shell::resultLineAt(3, 0, 1e-3),
              "Shear force at local pos.: x = 1.00 m  L = 2.00 m  -  Value: -5.0 kN");
    fire("Select");
    EXPECT_EQ(shell::resultDrawing(), nullptr);
    EXPECT_EQ(shell::resultLineAt(1, 0, 1e-3), "");
}

TEST_F(ResultDisplayTest, PrecisionStepFromADrawnSegment) {
    const std::string prompt = "message [ Kestrel Message ]: \n  Draw a line segment whose size "
                               "will be used \n  as a step for drawing the result diagrams.  \n";
    struct Click {
        double x, y;
        int button;
    };
    struct Case {
        const char* name;
        int kind; // 0: no result shown
        std::vector<Click> clicks;
        double step; // < 0: the step stays
    } cases[] = {
        {"segment", 3, {{0.5, 1, 1}, {1.5, 1, 1}}, 1.0},
        {"sloped segment", 2, {{0.5, 1, 1}, {1.1, 1.8, 1}}, 1.0},
        {"right button after the first point", 3, {{0.5, 1, 1}, {1.5, 1, 3}}, -1},
        {"right button at once", 1, {{0.5, 1, 3}}, -1},
        {"zero length", 3, {{0.5, 1, 1}, {0.5, 1, 1}}, -1},
        {"outside the result display", 0, {{0.5, 1, 1}, {1.5, 1, 1}}, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        if (k.kind) {
            ASSERT_TRUE(shell::resultCommand(k.kind));
        }
        analysis::ResultState& rs = analysis::resultState();
        rs.precisionStep = 0.125;
        const std::size_t shown = backend->transcript().size();
        fire("ResPrecision");
        const auto& t = backend->transcript();
        EXPECT_EQ(t.size(), shown + (k.kind ? 1 : 0));
        if (k.kind) {
            EXPECT_EQ(t.back(), prompt);
        }
        for (const Click& c : k.clicks) click(c.x, c.y, c.button);
        // One pixel of the drawn points either way.
        const double pixel = canvas().pixelsToWorldX(1);
        EXPECT_NEAR(rs.precisionStep, k.step < 0 ? 0.125 : k.step, 2 * pixel);
        EXPECT_FALSE(interact::cll::active());
        if (k.kind) {
            EXPECT_EQ(title("modelabel"), k.kind == 3   ? "Bending Moment:"
                                          : k.kind == 2 ? "Shear Force:"
                                                        : "Axial Force:");
            ASSERT_NE(shell::resultDrawing(), nullptr);
        }
        fire("Select");
    }
}

} // namespace
} // namespace shelltest
