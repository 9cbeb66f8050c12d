// View control with a client's extent and canvas factors, the aspect ratio
// and unknown canvases. Fit, zoom history, scrolling, fences, pan and resize
// are replayed from the journal tests/data/interact/vis.txt.
#include "fixture.h"

namespace {

using interact::vis::Window;
namespace vis = interact::vis;

class Vis : public kt::Screen {};

// The canvas's scroll attributes, each as the toolkit stores it.
void expectAttributes(const ui::Element& canvas,
                      std::initializer_list<std::pair<const char*, const char*>> want) {
    for (const auto& [name, value] : want) EXPECT_EQ(canvas.get(name), value) << name;
}

TEST_F(Vis, FitUsesTheExtentAndTheCanvasFactors) {
    open(800, 400, {{"FITFACTOR", "1.20"}, {"HLIMITFACTOR", "2"}});
    vis::setCallbacks(*canvas, {nullptr,
                                [](ui::Element&, Window& e) {
                                    e = {0, 20, 0, 5};
                                    return 1;
                                },
                                nullptr});
    vis::fit(*canvas);
    EXPECT_EQ(window(), (Window{-2, 22, 2.5 - 6, 2.5 + 6}));
    // 10 - 12 * 2 and 2.5 - 6 * 3.
    expectAttributes(*canvas, {{"XMIN", "-14.000000"}, {"YMIN", "-15.500000"}});
}

TEST_F(Vis, AspectRatioRefitsAndUnknownCanvasesAreRefused) {
    vis::fit(*canvas);
    double x0, x1, y0, y1; // the drawing canvas shows the window
    gc->window(x0, x1, y0, y1);
    EXPECT_EQ((Window{x0, x1, y0, y1}), window());
    EXPECT_EQ(vis::setAspect(*canvas, 2), 0);
    EXPECT_DOUBLE_EQ(vis::aspect(*canvas), 2);
    EXPECT_DOUBLE_EQ(window().xmax - window().xmin, 46); // 11.5 * 2 / 0.5
    EXPECT_EQ(vis::setAspect(*canvas, 0), -1);
    ui::Element& other = tk->make(ui::Kind::Canvas, "other");
    EXPECT_EQ(vis::fit(other), -1);
    EXPECT_EQ(vis::zoomIn(other), -1);
    EXPECT_EQ(vis::setWindow(*canvas, {1, 1, 2, 2}), -1);
    EXPECT_EQ(vis::find(other), nullptr);
}

} // namespace
