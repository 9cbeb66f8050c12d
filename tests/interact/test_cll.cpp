// Interactive curve creation: points, lines and dimension lines by mouse and
// by keyboard, with their prompts, live measures, dialogs and Shift snapping.
#include "fixture.h"

#include <cmath>
#include <cstdio>

namespace {

namespace cll = interact::cll;
namespace pck = interact::pck;
namespace vis = interact::vis;

struct Finished {
    cll::CurveRecord rec;
    double tol = 0;
    bool typed = false;
};

std::string fmt(const char* f, double a, double b = 0) {
    char buf[128];
    std::snprintf(buf, sizeof buf, f, a, b);
    return buf;
}

class Cll : public kt::Screen {
protected:
    std::vector<std::string> msgs;
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
        cb.message = [this](const std::string& m) { msgs.push_back(m); };
        return cb;
    }
    int begin(int kind) { return cll::startMouse(kind, *canvas, *gc, callbacks()); }
    int keyboard(int kind) {
        const cll::Callbacks cb = callbacks();
        return cll::startKeyboard(kind, *canvas, cb.finish, cb.message);
    }
    double pickTol() const { return 8 * 23.0 / 800; }
    double dist(gfx::Point a, gfx::Point b) const { return std::hypot(b.x - a.x, b.y - a.y); }
};

// The ends of a finished record, each coordinate as computed from the same pixels.
void expectEnds(const cll::CurveRecord& r, gfx::Point a, gfx::Point b) {
    EXPECT_DOUBLE_EQ(r.x0, a.x);
    EXPECT_DOUBLE_EQ(r.y0, a.y);
    EXPECT_DOUBLE_EQ(r.x1, b.x);
    EXPECT_DOUBLE_EQ(r.y1, b.y);
}
std::vector<double> ends(const cll::CurveRecord& r) {
    return {r.x0, r.y0, r.x1, r.y1};
}

TEST_F(Cll, LineByTwoClicks) {
    ASSERT_EQ(begin(cll::kLine), 0);
    EXPECT_EQ(msgs.back(), "Enter first point with mouse left button; Mid button => Keyboard.");
    const gfx::Point a = world(100, 300), b = world(300, 200);
    click(1, 100, 300);
    EXPECT_EQ(msgs.back(), "Enter end point; Mid button => Keyboard; Right button => Cancel.");
    move(300, 200);
    EXPECT_EQ(msgs.back(), fmt("Length = %10.3f", dist(a, b)));
    EXPECT_EQ(xorWith({a, b}), 1); // the rubber band
    EXPECT_EQ(canvas->get("CURSOR"), "NONE");
    click(1, 300, 200);
    ASSERT_EQ(finished.size(), 1u);
    const cll::CurveRecord& r = finished[0].rec;
    EXPECT_EQ(r.kind, cll::kLine);
    expectEnds(r, a, b);
    EXPECT_TRUE(r.interior.empty());
    EXPECT_DOUBLE_EQ(finished[0].tol, pickTol());
    EXPECT_FALSE(finished[0].typed);
    EXPECT_EQ(done, std::vector<int>{1});
    EXPECT_FALSE(cll::active());
    EXPECT_FALSE(pck::active());
    EXPECT_TRUE(xorBalanced());
    EXPECT_EQ(canvas->get("CURSOR"), "ARROW");
}

TEST_F(Cll, LiveLengthText) {
    begin(cll::kLine);
    click(1, 400, 200);
    move(400, 200);
    EXPECT_EQ(msgs.back(), "Length =      0.000");
    move(400 + 3 * 800 / 23, 200 - 4 * 800 / 23); // not exactly 5 units
    EXPECT_EQ(msgs.back(), fmt("Length = %10.3f", dist(world(400, 200), world(504, 61))));
    move(400, 200 - 400);
    EXPECT_EQ(msgs.back(), "Length =     11.500");
}

TEST_F(Cll, RightButtonCancelsWithoutFinishing) {
    begin(cll::kLine);
    click(1, 100, 300);
    move(250, 250);
    press(3, 250, 250);
    release(3, 250, 250);
    EXPECT_TRUE(finished.empty());
    EXPECT_EQ(done, std::vector<int>{0});
    EXPECT_FALSE(cll::active());
    EXPECT_TRUE(xorBalanced());
    click(1, 300, 300); // nobody listens any more
    EXPECT_TRUE(finished.empty());
}

TEST_F(Cll, MiddleButtonOpensTheFirstPointDialog) {
    begin(cll::kLine);
    move(100, 300);
    backend->queueParam({"1.5", "2.5"});
    click(2, 100, 300);
    ASSERT_EQ(backend->forms.size(), 1u);
    const ui::ParamForm& f = backend->forms[0];
    expectForm(0, "cll_first_point");
    EXPECT_DOUBLE_EQ(f.fields[0].real, world(100, 300).x); // the pointer
    EXPECT_DOUBLE_EQ(f.fields[1].real, world(100, 300).y);
    EXPECT_EQ(msgs.back(), "Enter end point; Mid button => Keyboard; Right button => Cancel.");
    click(1, 300, 200);
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_EQ(finished[0].rec.x0, 1.5);
    EXPECT_EQ(finished[0].rec.y0, 2.5);
    EXPECT_DOUBLE_EQ(finished[0].rec.x1, world(300, 200).x);
    EXPECT_TRUE(backend->errors().empty());
}

TEST_F(Cll, MiddleButtonOpensTheLineDialogInDisplayUnits) {
    // Fields in centimetres, the record in metres.
    cll::setLengthConversion([](double m) { return m * 100; }, [](double cm) { return cm / 100; });
    begin(cll::kLine);
    click(1, 100, 300);
    const gfx::Point a = world(100, 300);
    backend->queueParam({"10", "20", "300", "400"});
    click(2, 300, 200);
    ASSERT_EQ(backend->forms.size(), 1u);
    const ui::ParamForm& f = backend->forms[0];
    expectForm(0, "cll_line");
    EXPECT_DOUBLE_EQ(f.fields[0].real, a.x * 100);
    EXPECT_DOUBLE_EQ(f.fields[3].real, world(300, 200).y * 100);
    ASSERT_EQ(finished.size(), 1u);
    expectEnds(finished[0].rec, {0.1, 0.2}, {3, 4});
    EXPECT_DOUBLE_EQ(finished[0].tol, pickTol());
    EXPECT_FALSE(finished[0].typed);
}

TEST_F(Cll, ClosingTheDialogEndsLikeACancel) {
    begin(cll::kLine);
    backend->queueParamCancel();
    click(2, 100, 100);
    EXPECT_TRUE(finished.empty());
    EXPECT_EQ(done, std::vector<int>{0});
    EXPECT_FALSE(cll::active());
}

TEST_F(Cll, KeyboardLineWithTolerance) {
    backend->queueParam({"1", "2", "3", "4", "0.05"});
    EXPECT_EQ(keyboard(cll::kLine), 1);
    EXPECT_EQ(msgs, std::vector<std::string>{"Use the keyboard to enter line data. "});
    ASSERT_EQ(backend->forms.size(), 1u);
    expectForm(0, "cll_keyboard_line");
    ASSERT_EQ(finished.size(), 1u);
    const cll::CurveRecord& r = finished[0].rec;
    EXPECT_EQ(r.kind, cll::kLine);
    EXPECT_EQ(ends(r), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(finished[0].tol, static_cast<double>(0.05f)); // typed numbers are floats
    EXPECT_TRUE(finished[0].typed);
    // The dialog shows the last values again; closing it makes nothing.
    backend->queueParamCancel();
    EXPECT_EQ(keyboard(cll::kLine), 0);
    EXPECT_EQ(backend->forms[1].fields[2].real, 3);
    EXPECT_EQ(backend->forms[1].fields[4].real, static_cast<double>(0.05f));
    EXPECT_EQ(finished.size(), 1u);
}

TEST_F(Cll, KeyboardPointAndDimensionLineTemplates) {
    backend->queueParam({"7", "8", "0"});
    EXPECT_EQ(keyboard(cll::kPoint), 1);
    EXPECT_EQ(msgs.back(), "Use the keyboard to enter point data. ");
    expectForm(0, "cll_keyboard_point");
    EXPECT_EQ(ends(finished[0].rec), (std::vector<double>{7, 8, 7, 8}));
    EXPECT_EQ(finished[0].tol, 0);
    backend->queueParam({"0", "0", "4", "0", "2", "1", "0.001"});
    EXPECT_EQ(keyboard(cll::kDimLine), 1);
    EXPECT_EQ(msgs.back(), "Use the keyboard to enter dimension line. ");
    expectForm(1, "cll_keyboard_dimension_line");
    const cll::CurveRecord& d = finished[1].rec;
    EXPECT_EQ(d.kind, cll::kDimLine);
    EXPECT_EQ(d.x1, 4);
    ASSERT_EQ(d.interior.size(), 1u);
    EXPECT_EQ(d.interior[0], (gfx::Point{2, 1}));
    EXPECT_EQ(keyboard(3), -1);
    EXPECT_EQ(begin(5), -1);
}

TEST_F(Cll, ShiftAtThirtyDegreesIsHorizontalAtFortyDiagonal) {
    begin(cll::kLine);
    click(1, 100, 300);
    click(1, 300, 300 - 115, {true, false}); // atan(115/200) = 29.9 degrees
    begin(cll::kLine);
    click(1, 100, 300);
    move(300, 300 - 168, {true, false}); // atan(168/200) = 40.0 degrees
    click(1, 300, 300 - 168, {true, false});
    ASSERT_EQ(finished.size(), 2u);
    const cll::CurveRecord& h = finished[0].rec;
    EXPECT_EQ(h.y1, h.y0);
    EXPECT_DOUBLE_EQ(h.x1, world(300, 0).x);
    const cll::CurveRecord& d = finished[1].rec;
    EXPECT_NEAR(d.y1 - d.y0, d.x1 - d.x0, 1e-12);
    EXPECT_DOUBLE_EQ(d.x1, world(300, 0).x);
    // The echo and the live length followed the snapped point.
    EXPECT_EQ(msgs[msgs.size() - 1], fmt("Length = %10.3f", std::sqrt(2.0) * (d.x1 - d.x0)));
    EXPECT_EQ(xorWith({{d.x0, d.y0}, {d.x1, d.y1}}), 2);
}

TEST_F(Cll, ShiftOnTheFirstPointChangesNothing) {
    begin(cll::kLine);
    click(1, 100, 300, {true, false});
    click(1, 150, 250);
    EXPECT_DOUBLE_EQ(finished[0].rec.x0, world(100, 300).x);
    EXPECT_DOUBLE_EQ(finished[0].rec.y0, world(100, 300).y);
}

TEST_F(Cll, DimensionLineInThreePoints) {
    begin(cll::kDimLine);
    EXPECT_EQ(msgs.back(), "With mouse left button enter first line pt.; Mid button => Keyboard.");
    const gfx::Point a = world(100, 300), b = world(400, 300), r = world(250, 200);
    click(1, 100, 300);
    EXPECT_EQ(msgs.back(), "Enter line second point; Mid button => Keyboard.");
    move(400, 300);
    EXPECT_EQ(msgs.back(), fmt("Length = %10.3f", b.x - a.x));
    click(1, 400, 300);
    EXPECT_EQ(msgs.back(),
              "Enter line reference point; Mid button => Keyboard; Right button => Cancel.");
    std::size_t from = rec->primitives().size();
    move(250, 200);
    // Extension: the reference point's distance from the measured line,
    // positive to its left.
    EXPECT_EQ(msgs.back(), fmt("Length = %10.3f;  Extension = %10.3f", b.x - a.x, r.y - a.y));
    EXPECT_EQ(xorWith({a, {a.x, r.y}, {b.x, r.y}, b}, from), 1);
    move(250, 350);
    EXPECT_EQ(msgs.back(),
              fmt("Length = %10.3f;  Extension = %10.3f", b.x - a.x, world(0, 350).y - a.y));
    EXPECT_LT(world(0, 350).y - a.y, 0);
    click(1, 250, 200);
    ASSERT_EQ(finished.size(), 1u);
    const cll::CurveRecord& d = finished[0].rec;
    EXPECT_EQ(d.kind, cll::kDimLine);
    EXPECT_EQ(ends(d), (std::vector<double>{a.x, a.y, b.x, b.y}));
    ASSERT_EQ(d.interior.size(), 1u);
    EXPECT_EQ(d.interior[0], r);
    EXPECT_EQ(done, std::vector<int>{1});
    EXPECT_TRUE(xorBalanced());
}

TEST_F(Cll, DimensionLineDialogs) {
    begin(cll::kDimLine);
    click(1, 100, 300);
    backend->queueParam({"5", "0"});
    click(2, 400, 300);
    expectForm(0, "cll_second_point");
    EXPECT_DOUBLE_EQ(backend->forms[0].fields[0].real, world(400, 300).x);
    backend->queueParam({"0", "0"});
    click(2, 250, 200);
    expectForm(1, "cll_dimension_line");
    EXPECT_EQ(backend->forms[1].fields[2].real, 5);
    EXPECT_DOUBLE_EQ(backend->forms[1].fields[4].real, world(250, 200).x);
    ASSERT_EQ(finished.size(), 1u);
    EXPECT_EQ(finished[0].rec.x0, 0);
    EXPECT_EQ(finished[0].rec.x1, 5);
    EXPECT_DOUBLE_EQ(finished[0].rec.interior[0].x, world(250, 200).x);
}

TEST_F(Cll, PointByClickAndByDialog) {
    begin(cll::kPoint);
    EXPECT_EQ(msgs.back(), "With mouse left button enter a point; Mid button => Keyboard.");
    click(1, 200, 100);
    ASSERT_EQ(finished.size(), 1u);
    const gfx::Point w = world(200, 100);
    EXPECT_EQ(ends(finished[0].rec), (std::vector<double>{w.x, w.y, w.x, w.y}));
    begin(cll::kPoint);
    backend->queueParam({"2", "3"});
    click(2, 200, 100);
    expectForm(0, "cll_point");
    ASSERT_EQ(finished.size(), 2u);
    EXPECT_EQ(ends(finished[1].rec), (std::vector<double>{2, 3, 2, 3}));
    EXPECT_EQ(done, (std::vector<int>{1, 1}));
}

TEST_F(Cll, PortugueseTexts) {
    tk->setLanguage("PORTUGUES");
    begin(cll::kLine);
    click(1, 400, 200);
    EXPECT_EQ(msgs.back(),
              "Entre com ponto final; Botao do meio => Teclado; Botao da direita => Cancela.");
    move(400, 200 - 400);
    EXPECT_EQ(msgs.back(), "Comprimento =     11.500");
}

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
