// Interactive curve creation with a client's tolerance and echo, and ended by
// another pick interaction. Prompts, live measures, dialogs, records and
// Shift snapping are replayed from journals by test_journal.cpp.
#include "fixture.h"

#include <cmath>

namespace {

namespace cll = interact::cll;
namespace pck = interact::pck;
namespace vis = interact::vis;

struct Finished {
    cll::CurveRecord rec;
    double tol = 0;
    bool typed = false;
};

class Cll : public kt::Screen {
protected:
    std::vector<Finished> finished;
    std::vector<int> done;

    void SetUp() override {
        kt::Screen::SetUp();
        vis::fit(*canvas);
    }
    cll::Callbacks callbacks() {
        cll::Callbacks cb;
        cb.done = [this](int s) { done.push_back(s); };
        cb.finish = [this](const cll::CurveRecord& r, double tol, bool typed) {
            finished.push_back({r, tol, typed});
        };
        return cb;
    }
    int begin(int kind) { return cll::startMouse(kind, *canvas, *gc, callbacks()); }
    double pickTol() const { return 8 * 23.0 / 800; }
};

TEST_F(Cll, ToleranceCallbackSnapsAndTheClientEchoIsDrawnInXor) {
    cll::Callbacks cb = callbacks();
    std::vector<double> tols;
    cb.tolerance = [&](double& x, double& y, double tol, bool, bool) {
        tols.push_back(tol);
        x = std::round(x);
        y = std::round(y);
    };
    int echoes = 0;
    cb.echo = [&](gfx::Canvas& c, const pck::Pick&) {
        EXPECT_EQ(c.writeMode(), gfx::WriteMode::Xor);
        ++echoes;
    };
    cll::startMouse(cll::kLine, *canvas, *gc, cb);
    move(110, 290);
    click(1, 110, 290);
    click(1, 290, 95);
    ASSERT_EQ(finished.size(), 1u);
    const cll::CurveRecord& r = finished[0].rec;
    EXPECT_EQ(r.x0, std::round(world(110, 290).x));
    EXPECT_EQ(r.y1, std::round(world(290, 95).y));
    ASSERT_FALSE(tols.empty());
    for (double t : tols) EXPECT_DOUBLE_EQ(t, pickTol());
    EXPECT_GT(echoes, 0);
    EXPECT_EQ(echoes % 2, 0); // each drawing erased
}

TEST_F(Cll, AnotherPickInteractionEndsTheCreation) {
    begin(cll::kLine);
    click(1, 100, 100);
    interact::sel::start(*canvas, nullptr, true);
    EXPECT_FALSE(cll::active());
    click(1, 200, 200);
    EXPECT_TRUE(finished.empty());
    cll::cancel(); // leaves the selection's pick alone
    EXPECT_TRUE(pck::active());
}

} // namespace
