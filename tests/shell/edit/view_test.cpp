// The drawing canvas's view and pointer as the started program wires them
// (the view and pick modules' own tests cover their geometry): the zoom
// rectangle with its prompt and toggle, and the button translation of the
// canvas.
#include "interact/pck.h"
#include "model/model.h"
#include "shell/edit/view.h"
#include "tests/shell/fixture.h"

namespace shelltest {
namespace {

void window(double& xmin, double& xmax, double& ymin, double& ymax) {
    shell::viewWindow(xmin, xmax, ymin, ymax);
}

TEST_F(ShellTest, ZoomRectangleDraggedOnTheCanvas) {
    ui::Element& c = at("datascreen");
    // ZOOMFENCE_ADJUST is set: the free corner follows the canvas's aspect
    // (800 x 600), so the 200-pixel wide rectangle is 150 pixels high.
    const gfx::Point centre = canvas().pixelToWorld(200, 175);
    fire("VisZoom");
    EXPECT_EQ(title("datatopmsg"), "Select a rectangle area for zooming in.");
    EXPECT_EQ(value("zoom"), "ON");
    tk->canvasButton(c, 1, true, 100, 100, {});
    tk->canvasMotion(c, 300, 200, {});
    tk->canvasButton(c, 1, false, 300, 200, {});
    EXPECT_EQ(value("zoom"), "OFF");
    EXPECT_EQ(title("datatopmsg"), " ");
    const gfx::Point p = canvas().worldToPixel(centre.x, centre.y);
    double xmin, xmax, ymin, ymax;
    window(xmin, xmax, ymin, ymax);
    EXPECT_LT(xmax - xmin, 20) << "the window shrank to the rectangle";
    EXPECT_NEAR(p.x, canvas().width() / 2.0, 1.0) << "centred on the rectangle";
    EXPECT_NEAR(p.y, canvas().height() / 2.0, 1.0);
    EXPECT_TRUE(backend->errors().empty());
    // The mode is restarted afterwards: in the member mode, two clicks after
    // a zoom draw a member.
    fire("InsLine");
    fire("VisZoom");
    tk->canvasButton(c, 1, true, 100, 100, {});
    tk->canvasMotion(c, 300, 200, {});
    tk->canvasButton(c, 1, false, 300, 200, {});
    EXPECT_EQ(value("zoom"), "OFF");
    EXPECT_EQ(value("insline"), "ON");
    for (int px : {200, 500})
        for (bool pressed : {true, false}) tk->canvasButton(c, 1, pressed, px, 300, {});
    EXPECT_FALSE(shell::modelIsEmpty()) << "the member mode took the clicks";
}

TEST_F(ShellTest, ControlWithTheRightButtonStepsThePickAperture) {
    ui::Element& c = at("datascreen");
    EXPECT_EQ(interact::pck::state().aperture, 8);
    tk->canvasButton(c, 3, true, 10, 10, ui::Modifiers{false, true});
    tk->canvasButton(c, 3, false, 10, 10, ui::Modifiers{false, true});
    EXPECT_EQ(interact::pck::state().aperture, 4);
}

} // namespace
} // namespace shelltest
