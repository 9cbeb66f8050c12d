// The pick layer and the selection gesture: pick or fence, modifiers,
// aperture, tolerance, the echo and the cursor.
#include "fixture.h"

#include <cmath>

namespace {

namespace pck = interact::pck;
namespace sel = interact::sel;
namespace vis = interact::vis;

struct Gesture {
    char what = 0; // 'p' pick, 'f' fence
    double x = 0, y = 0, tol = 0;
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    bool shift = false, control = false;
};

class Sel : public kt::Screen {
protected:
    std::vector<Gesture> got;
    std::vector<int> done;
    std::vector<std::pair<double, double>> moved;

    void SetUp() override {
        kt::Screen::SetUp();
        vis::fit(*canvas);
        sel::Callbacks cb;
        cb.pick = [this](double x, double y, double tol, bool s, bool c) {
            got.push_back({'p', x, y, tol, 0, 0, 0, 0, s, c});
        };
        cb.fence = [this](double x0, double x1, double y0, double y1, bool s, bool c) {
            got.push_back({'f', 0, 0, 0, x0, x1, y0, y1, s, c});
        };
        cb.motion = [this](double x, double y) { moved.emplace_back(x, y); };
        sel::registerCanvas(*canvas, cb);
    }
    void begin(bool restart = false) {
        sel::start(
            *canvas, [this](int s) { done.push_back(s); }, restart);
    }
};

TEST_F(Sel, FourPixelsApartIsAPickFiveAFence) {
    begin(true);
    // Released at most four pixels away in each direction: picks; five: fences.
    const int picks[][2] = {{104, 104}, {96, 100}, {100, 96}},
              fences[][2] = {{105, 100}, {100, 95}};
    for (const auto& r : picks) press(1, 100, 100), release(1, r[0], r[1]);
    ASSERT_EQ(got.size(), 3u);
    for (const Gesture& g : got) {
        EXPECT_EQ(g.what, 'p');
        EXPECT_DOUBLE_EQ(g.x, world(100, 100).x);
        EXPECT_DOUBLE_EQ(g.y, world(100, 100).y);
        EXPECT_DOUBLE_EQ(g.tol, 8 * 23.0 / 800);
    }
    got.clear();
    for (const auto& r : fences) press(1, 100, 100), release(1, r[0], r[1]);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].what, 'f');
    EXPECT_EQ(got[1].what, 'f');
    EXPECT_EQ(done, (std::vector<int>{1, 1, 1, 1, 1}));
}

TEST_F(Sel, FenceCornersAreOrdered) {
    begin();
    press(1, 300, 50);
    move(200, 100);
    release(1, 100, 150);
    ASSERT_EQ(got.size(), 1u);
    const Gesture& g = got[0];
    EXPECT_EQ(g.what, 'f');
    EXPECT_DOUBLE_EQ(g.xmin, world(100, 0).x);
    EXPECT_DOUBLE_EQ(g.xmax, world(300, 0).x);
    EXPECT_DOUBLE_EQ(g.ymin, world(0, 150).y);
    EXPECT_DOUBLE_EQ(g.ymax, world(0, 50).y);
    EXPECT_LT(g.xmin, g.xmax);
    EXPECT_LT(g.ymin, g.ymax);
}

TEST_F(Sel, ShiftAndControlArePassedOn) {
    begin(true);
    click(1, 10, 10, {true, false});
    press(3, 10, 10);
    release(3, 60, 60, {false, true});
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ((std::vector<bool>{got[0].shift, got[0].control, got[1].shift, got[1].control}),
              (std::vector<bool>{true, false, false, true}));
}

TEST_F(Sel, AGestureEndsTheInteractionAMiddleButtonGestureRestarts) {
    begin(false);
    click(1, 10, 10);
    EXPECT_FALSE(pck::active());
    click(1, 10, 10); // nobody listens
    EXPECT_EQ(got.size(), 1u);
    begin(false);
    click(2, 10, 10);
    EXPECT_TRUE(pck::active());
    click(1, 20, 20);
    EXPECT_EQ(got.size(), 3u);
    EXPECT_FALSE(pck::active());
    EXPECT_EQ(done.size(), 3u);
}

TEST_F(Sel, AReleaseWithoutItsPressIsIgnored) {
    begin();
    release(1, 10, 10);
    press(1, 10, 10);
    release(3, 10, 10);
    EXPECT_TRUE(got.empty());
    release(1, 10, 10);
    EXPECT_EQ(got.size(), 1u);
}

TEST_F(Sel, MotionIsSnappedThenReported) {
    sel::Callbacks cb = *sel::callbacksOf(*canvas);
    cb.snap = [](double& x, double& y, double tol, bool, bool) {
        EXPECT_GT(tol, 0);
        x = std::round(x);
        y = std::round(y);
    };
    sel::registerCanvas(*canvas, cb);
    begin();
    move(123, 77);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].first, std::round(world(123, 77).x));
    EXPECT_EQ(moved[0].second, std::round(world(123, 77).y));
}

TEST_F(Sel, ApertureStepsOnControlMiddleButton) {
    begin();
    std::vector<int> seen{pck::state().aperture};
    for (int i = 0; i < 6; ++i) {
        click(2, 10, 10, {false, true});
        seen.push_back(pck::state().aperture);
    }
    EXPECT_EQ(seen, (std::vector<int>{8, 4, 20, 16, 12, 8, 4}));
    EXPECT_TRUE(got.empty()); // the client never saw these clicks
    EXPECT_TRUE(pck::active());
    pck::cancel();
    click(2, 10, 10, {false, true}); // also without a pick interaction
    EXPECT_EQ(pck::state().aperture, 20);
    EXPECT_EQ(pck::nextAperture(4), 20);
    EXPECT_EQ(pck::nextAperture(20), 16);
}

TEST_F(Sel, ApertureStepRedrawsTheCross) {
    begin();
    move(400, 200);
    std::size_t from = rec->primitives().size();
    click(2, 400, 200, {false, true}); // 8 -> 4
    const auto& ps = rec->primitives();
    std::vector<double> squares;
    for (std::size_t i = from; i < ps.size(); ++i)
        if (ps[i].closed && ps[i].world.size() == 4 && ps[i].writeMode == gfx::WriteMode::Xor)
            squares.push_back(ps[i].pixel[2].x - ps[i].pixel[0].x);
    EXPECT_EQ(squares, (std::vector<double>{8, 4}));
}

TEST_F(Sel, ToleranceIsTheApertureInWorldUnitsAtEachZoom) {
    begin(true);
    click(1, 10, 10);
    vis::zoomIn(*canvas);
    click(1, 10, 10);
    click(2, 10, 10, {false, true}); // aperture 4
    click(1, 10, 10);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_DOUBLE_EQ(got[0].tol, 8 * 23.0 / 800);
    EXPECT_DOUBLE_EQ(got[1].tol, 8 * (23.0 / 1.2) / 800);
    EXPECT_DOUBLE_EQ(got[2].tol, 4 * (23.0 / 1.2) / 800);
    EXPECT_DOUBLE_EQ(pck::tolerance(), 4 * (23.0 / 1.2) / 800);
}

TEST_F(Sel, RubberBandIsErasedExactlyAndTheCursorFollows) {
    EXPECT_NE(canvas->get("CURSOR"), "NONE");
    begin();
    move(100, 100);
    EXPECT_EQ(canvas->get("CURSOR"), "NONE");
    press(1, 100, 100);
    move(150, 120);
    move(220, 180);
    // The rectangle from the press point to the pointer, in world units.
    gfx::Point a = world(100, 100), b = world(220, 180);
    EXPECT_EQ(xorWith({a, {b.x, a.y}, b, {a.x, b.y}}), 1);
    tk->canvasLeave(*canvas);
    EXPECT_EQ(canvas->get("CURSOR"), "ARROW");
    EXPECT_TRUE(xorBalanced());
    std::size_t n = rec->primitives().size();
    tk->canvasLeave(*canvas); // nothing more to erase
    EXPECT_EQ(rec->primitives().size(), n);
    move(230, 190); // back on the canvas: the echo returns
    EXPECT_EQ(canvas->get("CURSOR"), "NONE");
    EXPECT_FALSE(xorBalanced());
    pck::cancel();
    EXPECT_TRUE(xorBalanced());
    EXPECT_EQ(canvas->get("CURSOR"), "ARROW");
}

TEST_F(Sel, EchoStandsOutFromTheBackgroundAndTheCanvasStateIsKept) {
    gc->setForeground(3);
    gc->setLineStyle(gfx::LineStyle::Dashed);
    begin();
    move(100, 100); // white background (palette 1): a black echo
    gc->setBackground(7);
    move(101, 100); // dark blue background: a white echo
    std::vector<int> colours;
    for (const auto& p : rec->primitives())
        if (p.writeMode == gfx::WriteMode::Xor) {
            colours.push_back(p.color);
            EXPECT_EQ(p.lineStyle, gfx::LineStyle::Continuous);
        }
    ASSERT_EQ(colours.size(), 9u); // drawn, erased, drawn: three lines each
    EXPECT_EQ(colours[0], 0);
    EXPECT_EQ(colours[3], 0); // erased as it was drawn
    EXPECT_EQ(colours[8], 1);
    EXPECT_EQ(gc->foreground(), 3);
    EXPECT_EQ(gc->lineStyle(), gfx::LineStyle::Dashed);
    EXPECT_EQ(gc->writeMode(), gfx::WriteMode::Replace);
}

TEST_F(Sel, PickLayerConvertsPixelsAndKeepsModifierLetters) {
    pck::Pick seen;
    pck::Pick p;
    p.canvas = canvas;
    p.accept = pck::Accept::Left;
    p.onButton = [&](pck::Pick& pk) { seen = pk; };
    ASSERT_EQ(pck::start(p), 0);
    press(3, 5, 5); // not accepted
    EXPECT_EQ(seen.button, 0);
    press(1, 0, 0, {true, true});
    EXPECT_EQ(seen.mods, "SC");
    EXPECT_TRUE(seen.shift());
    EXPECT_DOUBLE_EQ(seen.x, -6.5);
    EXPECT_DOUBLE_EQ(seen.y, 10.75);
    release(1, 800, 400, {false, false});
    EXPECT_EQ(seen.mods, "  ");
    EXPECT_DOUBLE_EQ(seen.x, 16.5);
    EXPECT_DOUBLE_EQ(seen.y, -0.75);
    EXPECT_FALSE(seen.pressed);
    // A canvas that vis does not know cannot be picked on.
    pck::Pick q;
    q.canvas = &tk->make(ui::Kind::Canvas, "other");
    EXPECT_EQ(pck::start(q), -1);
    EXPECT_FALSE(pck::active());
}

TEST_F(Sel, EndCallsDoneCancelDoesNot) {
    int status = -9;
    pck::Pick p;
    p.canvas = canvas;
    p.onDone = [&](int s) { status = s; };
    pck::start(p);
    pck::cancel();
    EXPECT_EQ(status, -9);
    pck::start(p);
    pck::end(-1);
    EXPECT_EQ(status, -1);
    EXPECT_FALSE(pck::active());
}

} // namespace
