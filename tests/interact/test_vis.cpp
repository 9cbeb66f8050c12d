// View control: fit, zoom history, aspect, scroll attributes, fences, resize.
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

double ratio(const Window& w) {
    return (w.xmax - w.xmin) / (w.ymax - w.ymin);
}

TEST_F(Vis, FitOnEmptyModelShowsZeroToTenWithMarginGrownToTheCanvas) {
    fire("VisFit");
    // 0..10 about (5, 5) times 1.15 is 11.5 square; the 800 x 400 canvas
    // grows the width to 23.
    Window w = window();
    EXPECT_EQ(w, (Window{-6.5, 16.5, -0.75, 10.75}));
    ASSERT_EQ(redraws.size(), 1u);
    EXPECT_EQ(redraws[0], w);
    double x0, x1, y0, y1;
    gc->window(x0, x1, y0, y1);
    EXPECT_EQ((Window{x0, x1, y0, y1}), w);
    // Scroll range: three half-sizes about the centre; bars from the window.
    // POSY is YMAX + YMIN - ymax.
    expectAttributes(*canvas, {{"XMIN", "-29.500000"},
                               {"XMAX", "39.500000"},
                               {"YMIN", "-12.250000"},
                               {"YMAX", "22.250000"},
                               {"DX", "23.000000"},
                               {"DY", "11.500000"},
                               {"POSX", "-6.500000"},
                               {"POSY", "-0.750000"}});
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

TEST_F(Vis, ZoomInThenPreviousZoomRestoresTheWindowExactly) {
    vis::fit(*canvas);
    const Window fitted = window();
    fire("VisZoomIn");
    Window in = window();
    EXPECT_DOUBLE_EQ(in.xmax - in.xmin, 23 / 1.2);
    EXPECT_DOUBLE_EQ((in.xmin + in.xmax) / 2, 5);
    fire("VisZoomIn");
    fire("VisZoomOut");
    fire("VisPrevZoom");
    fire("VisPrevZoom");
    EXPECT_EQ(window(), in);
    fire("VisPrevZoom");
    EXPECT_EQ(window(), fitted); // bit for bit
    EXPECT_EQ(vis::prevZoom(*canvas), -1);
    EXPECT_EQ(window(), fitted);
}

TEST_F(Vis, FitEmptiesTheHistory) {
    vis::fit(*canvas);
    vis::zoomIn(*canvas);
    vis::zoomIn(*canvas);
    vis::fit(*canvas);
    const Window fitted = window();
    const std::size_t n = redraws.size();
    EXPECT_EQ(vis::prevZoom(*canvas), -1);
    EXPECT_EQ(window(), fitted);
    EXPECT_EQ(redraws.size(), n); // nothing to redraw
}

TEST_F(Vis, ACanvasTwiceAsWideAsHighKeepsThatAspectAfterAnyZoom) {
    vis::fit(*canvas);
    EXPECT_NEAR(ratio(window()), 2, 1e-12);
    vis::zoomIn(*canvas);
    EXPECT_NEAR(ratio(window()), 2, 1e-12);
    vis::zoomOut(*canvas);
    vis::zoomOut(*canvas);
    EXPECT_NEAR(ratio(window()), 2, 1e-12);
    vis::setWindow(*canvas, {0, 1, 0, 30}); // tall: the width grows
    EXPECT_NEAR(ratio(window()), 2, 1e-12);
    EXPECT_DOUBLE_EQ(window().ymax - window().ymin, 30);
    vis::setWindow(*canvas, {0, 30, 0, 1}); // wide: the height grows
    EXPECT_NEAR(ratio(window()), 2, 1e-12);
    EXPECT_DOUBLE_EQ(window().xmax - window().xmin, 30);
    vis::prevZoom(*canvas);
    EXPECT_NEAR(ratio(window()), 2, 1e-12);
}

TEST_F(Vis, ScrollMovesTheWindowAndTheBarsAndEmptiesTheHistory) {
    vis::fit(*canvas);
    vis::zoomIn(*canvas);
    vis::zoomOut(*canvas);
    vis::scroll(*canvas, vis::Axis::Horizontal, 0.1);
    EXPECT_DOUBLE_EQ(window().xmin, -6.5 + 2.3);
    EXPECT_EQ(canvas->get("POSX"), "-4.200000");
    EXPECT_EQ(vis::prevZoom(*canvas), -1);
    vis::scroll(*canvas, vis::Axis::Vertical, 0.5);
    EXPECT_DOUBLE_EQ(window().ymax, 10.75 + 5.75);
    EXPECT_EQ(canvas->get("POSY"), "-6.500000"); // 22.25 - 12.25 - 16.5
    EXPECT_EQ(canvas->get("DY"), "11.500000");
    // Out of the range: the range widens to hold the window.
    vis::scroll(*canvas, vis::Axis::Horizontal, 5);
    EXPECT_EQ(canvas->get("XMAX"), "133.800000"); // -4.2 + 115 + 23
    EXPECT_EQ(canvas->get("XMIN"), "-29.500000");
}

TEST_F(Vis, ScrollToABarPositionRoundTripsThroughTheAttributes) {
    vis::fit(*canvas);
    vis::scrollTo(*canvas, vis::Axis::Horizontal, 3.25);
    EXPECT_DOUBLE_EQ(window().xmin, 3.25);
    EXPECT_EQ(canvas->get("POSX"), "3.250000");
    vis::scrollTo(*canvas, vis::Axis::Vertical, 2);
    EXPECT_DOUBLE_EQ(window().ymax, 10 - 2); // YMAX + YMIN - POSY
    EXPECT_EQ(canvas->get("POSY"), "2.000000");
    EXPECT_DOUBLE_EQ(window().ymax - window().ymin, 11.5);
}

TEST_F(Vis, RedrawFollowsTheToolkitsScrollbars) {
    vis::fit(*canvas);
    vis::zoomIn(*canvas);
    // The toolkit stores the bar positions, then asks for a repaint.
    canvas->store("POSX", "1.500000");
    canvas->store("POSY", "4.250000");
    tk->canvasRepaint(*canvas);
    EXPECT_DOUBLE_EQ(window().xmin, 1.5);
    EXPECT_DOUBLE_EQ(window().ymax, 10 - 4.25);
    EXPECT_EQ(vis::prevZoom(*canvas), -1);
    EXPECT_EQ(redraws.back(), window());
    const vis::Window w = window();
    tk->canvasRepaint(*canvas); // bars unchanged: the same window again
    EXPECT_EQ(window(), w);
}

TEST_F(Vis, ZoomOutWidensTheScrollRange) {
    vis::fit(*canvas);
    for (int i = 0; i < 8; ++i) vis::zoomOut(*canvas);
    Window w = window();
    EXPECT_GT(w.xmax, 39.5);
    EXPECT_NEAR(canvas->getDouble("XMIN"), std::min(-29.5, w.xmin), 1e-6);
    EXPECT_NEAR(canvas->getDouble("XMAX"), w.xmax, 1e-6);
    EXPECT_NEAR(canvas->getDouble("YMAX"), std::max(22.25, w.ymax), 1e-6);
}

TEST_F(Vis, ZoomFenceByTwoClicks) {
    int status = -9;
    vis::setCallbacks(*canvas, {nullptr, nullptr, [&](int s) { status = s; }});
    vis::fit(*canvas);
    const Window fitted = window();
    fire("VisZoom");
    EXPECT_TRUE(interact::pck::active());
    gfx::Point a = world(100, 300), b = world(300, 100);
    click(1, 100, 300);
    move(300, 100);
    EXPECT_EQ(status, -9);
    press(1, 300, 100);
    EXPECT_EQ(status, 1);
    Window w = window();
    // 200 x 200 pixels: the height of the rectangle stays, the width doubles.
    EXPECT_NEAR(w.ymin, a.y, 1e-12);
    EXPECT_NEAR(w.ymax, b.y, 1e-12);
    EXPECT_NEAR(ratio(w), 2, 1e-12);
    EXPECT_NEAR((w.xmin + w.xmax) / 2, (a.x + b.x) / 2, 1e-12);
    EXPECT_FALSE(interact::pck::active());
    EXPECT_TRUE(xorBalanced());
    vis::prevZoom(*canvas);
    EXPECT_EQ(window(), fitted);
}

TEST_F(Vis, ZoomFenceDraggedAndCancelled) {
    open(800, 400, {{"ZOOMFENCE_DRAG", "YES"}});
    int status = -9;
    vis::fit(*canvas);
    const gfx::Point corner = world(100, 100);
    vis::zoomFence(*canvas, [&](int s) { status = s; });
    press(1, 100, 100);
    move(200, 150);
    // The fence is echoed while the button is held.
    EXPECT_EQ(xorWith({world(100, 100),
                       {world(200, 150).x, world(100, 100).y},
                       world(200, 150),
                       {world(100, 100).x, world(200, 150).y}}),
              1);
    release(1, 500, 300);
    EXPECT_EQ(status, 1);
    EXPECT_NEAR(window().xmin, corner.x, 1e-9);
    EXPECT_NEAR(window().ymax, corner.y, 1e-9);
    status = -9;
    const Window zoomed = window();
    vis::zoomFence(*canvas, [&](int s) { status = s; });
    press(1, 10, 10);
    press(3, 50, 50);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(window(), zoomed);
    EXPECT_TRUE(xorBalanced());
}

TEST_F(Vis, ZoomFenceAdjustKeepsTheCanvasAspectWhileDrawn) {
    open(800, 400, {{"ZOOMFENCE_DRAG", "YES"}, {"ZOOMFENCE_ADJUST", "YES"}});
    vis::fit(*canvas);
    vis::zoomFence(*canvas, nullptr);
    press(1, 100, 100);
    std::size_t from = rec->primitives().size();
    move(140, 300); // 40 x 200 pixels: the free corner goes to 400 x 200
    const auto& ps = rec->primitives();
    bool found = false;
    for (std::size_t i = from; i < ps.size(); ++i)
        if (ps[i].writeMode == gfx::WriteMode::Xor && ps[i].closed && ps[i].world.size() == 4 &&
            std::abs(ps[i].pixel[2].x - 500) < 1e-6 && std::abs(ps[i].pixel[2].y - 300) < 1e-6)
            found = true;
    EXPECT_TRUE(found);
}

TEST_F(Vis, ResizeKeepsTheScaleWithWindowResizeAdjust) {
    open(800, 400, {{"WINDOWRESIZE_ADJUST", "YES"}});
    vis::fit(*canvas);
    const Window w0 = window();
    tk->canvasResize(*canvas, 1600, 600);
    Window w = window();
    EXPECT_DOUBLE_EQ(w.xmin, w0.xmin);
    EXPECT_DOUBLE_EQ(w.ymin, w0.ymin);
    EXPECT_DOUBLE_EQ(w.xmax - w.xmin, 46);
    EXPECT_DOUBLE_EQ(w.ymax - w.ymin, 11.5 * 1.5);
    EXPECT_DOUBLE_EQ(gc->pixelsToWorldX(800), 23); // same scale
    EXPECT_EQ(gc->width(), 1600);
    EXPECT_EQ(redraws.back(), w);
}

TEST_F(Vis, ResizeWithoutAdjustFitsTheRequestedWindowToTheNewCanvas) {
    vis::fit(*canvas);
    tk->canvasResize(*canvas, 400, 400);
    // The asked-for square 11.5 fills the square canvas.
    EXPECT_EQ(window(), (Window{-0.75, 10.75, -0.75, 10.75}));
    tk->canvasResize(*canvas, 200, 400);
    EXPECT_DOUBLE_EQ(window().ymax - window().ymin, 23);
}

TEST_F(Vis, AspectRatioRefitsAndUnknownCanvasesAreRefused) {
    vis::fit(*canvas);
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

TEST_F(Vis, PanByALineMovesTheDrawingAlongIt) {
    vis::fit(*canvas);
    const Window w0 = window();
    int status = -9;
    vis::pan(*canvas, [&](int s) { status = s; });
    gfx::Point a = world(100, 100), b = world(300, 200);
    click(1, 100, 100);
    click(1, 300, 200);
    EXPECT_EQ(status, 1);
    EXPECT_NEAR(window().xmin, w0.xmin - (b.x - a.x), 1e-12);
    EXPECT_NEAR(window().ymin, w0.ymin - (b.y - a.y), 1e-12);
}

} // namespace
