// The rubber-band echo on the Qt screen driver (offscreen platform): after
// the echo goes off, the shown image is exactly the drawn picture again.
#include "fixture.h"

#include "gfx/qt/qtcanvas.h"
#include "tests/support/qt_app.h"

#include <QGuiApplication>
#include <QImage>

namespace {

namespace cll = interact::cll;
namespace pck = interact::pck;
namespace sel = interact::sel;
namespace vis = interact::vis;

const bool qtApp = kestrel_test::useQtApplication<QGuiApplication>();

// The interaction fixture's canvas drawn by the Qt screen driver at the
// test's device pixel ratio.
class QtEcho : public kt::Screen, public ::testing::WithParamInterface<double> {
protected:
    gfx::QtCanvas* qc = nullptr;

    void SetUp() override {
        auto own = std::make_unique<gfx::QtCanvas>(400, 300, GetParam());
        qc = own.get();
        open(400, 300, {}, std::move(own));
        // A picture with lines, a filled box and an arc in several colours.
        vis::setCallbacks(*canvas, {[this](ui::Element&, const vis::Window&) {
                                        gfx::Canvas& c = *qc;
                                        c.setBackground(1);
                                        c.clear();
                                        c.setForeground(6);
                                        c.box(1, 1, 4, 3);
                                        c.setForeground(12);
                                        c.setLineWidth(2);
                                        c.line(0, 0, 10, 10);
                                        c.setLineWidth(1);
                                        c.setForeground(0);
                                        c.rect(2, 5, 9, 8);
                                        c.arc(5, 5, 3, 0, 270);
                                        c.flush();
                                    },
                                    nullptr, nullptr});
        vis::fit(*canvas);
    }
};

TEST_P(QtEcho, FenceEchoRestoresThePixelsExactly) {
    const QImage picture = qc->front().copy();
    ASSERT_EQ(picture, qc->back());
    sel::registerCanvas(*canvas, {});
    sel::start(*canvas, nullptr, true);
    move(50, 50);
    EXPECT_NE(qc->front(), picture); // the cross
    press(1, 50, 50);
    for (int i = 0; i < 20; ++i) move(50 + 13 * i, 40 + 11 * i);
    EXPECT_NE(qc->front(), picture);
    release(1, 310, 259);
    move(200, 150);
    press(2, 200, 150, {false, true}); // aperture steps redraw the cross
    press(2, 200, 150, {false, true});
    move(10, 290);
    tk->canvasLeave(*canvas);
    EXPECT_EQ(qc->front(), picture);
    EXPECT_EQ(canvas->get("CURSOR"), "ARROW");
}

TEST_P(QtEcho, LineAndDimensionLineEchoesRestoreThePixelsExactly) {
    const QImage picture = qc->front().copy();
    cll::Callbacks cb;
    cll::startMouse(cll::kLine, *canvas, *qc, cb);
    move(30, 250);
    press(1, 30, 250);
    release(1, 30, 250);
    for (int i = 0; i < 15; ++i) move(40 + 17 * i, 240 - 9 * i, {i % 2 == 0, false});
    EXPECT_NE(qc->front(), picture);
    press(3, 200, 100); // cancel
    EXPECT_EQ(qc->front(), picture);
    cll::startMouse(cll::kDimLine, *canvas, *qc, cb);
    move(60, 200);
    press(1, 60, 200);
    move(300, 180);
    press(1, 300, 180);
    for (int i = 0; i < 10; ++i) move(180 + 5 * i, 100 + 14 * i);
    tk->canvasLeave(*canvas);
    EXPECT_EQ(qc->front(), picture);
    move(100, 100);
    pck::cancel();
    EXPECT_EQ(qc->front(), picture);
}

TEST_P(QtEcho, ARedrawUnderTheEchoLeavesOnlyThePicture) {
    sel::registerCanvas(*canvas, {});
    sel::start(*canvas, nullptr, true);
    move(120, 80);
    press(1, 120, 80);
    move(220, 180);
    vis::zoomIn(*canvas); // redraws with the echo on
    move(240, 200);
    tk->canvasLeave(*canvas);
    EXPECT_EQ(qc->front(), qc->back());
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatio, QtEcho, ::testing::Values(1.0, 2.0));

} // namespace
