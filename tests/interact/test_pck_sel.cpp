// The pick layer and the selection gesture: snapped motion, the echo's
// colours and drawing state, pixel conversion and the end of a pick. Picks,
// fences, modifiers, aperture, tolerance and the rubber band are replayed
// from the journal tests/data/interact/sel.txt.
#include "fixture.h"

#include <cmath>

namespace {

namespace pck = interact::pck;
namespace sel = interact::sel;
namespace vis = interact::vis;

class Sel : public kt::Screen {
protected:
    std::vector<std::pair<double, double>> moved;

    void SetUp() override {
        kt::Screen::SetUp();
        vis::fit(*canvas);
        sel::Callbacks cb;
        cb.motion = [this](double x, double y) { moved.emplace_back(x, y); };
        sel::registerCanvas(*canvas, cb);
    }
    void begin() { sel::start(*canvas, nullptr, false); }
};

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
