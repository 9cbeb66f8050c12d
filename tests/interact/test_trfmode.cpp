// Interactive transformations: the four kinds by mouse and by keyboard, with
// their prompts, live measures, echo, dialogs, cancelling and the rotation
// and scaling rules.
#include "fixture.h"
#include "interact/trfmode.h"

#include <cmath>
#include <cstdio>

namespace {

namespace trf = interact::trf;
namespace pck = interact::pck;
namespace vis = interact::vis;

struct Applied {
    trf::Matrix m;
    double tol = 0;
    bool typed = false;
};

gfx::Point map(const trf::Matrix& m, gfx::Point p) {
    return {m.a * p.x + m.b * p.y + m.tx, m.c * p.x + m.d * p.y + m.ty};
}

class TrfMode : public kt::Screen {
protected:
    std::vector<std::string> msgs;
    std::vector<Applied> applied;
    std::vector<int> done;
    std::vector<trf::Matrix> echoes;

    void SetUp() override {
        kt::Screen::SetUp();
        vis::fit(*canvas);
        trf::modeState().reset();
    }
    void TearDown() override {
        trf::modeState().reset();
        kt::Screen::TearDown();
    }
    int begin(int kind) {
        trf::Callbacks cb;
        cb.done = [this](int s) { done.push_back(s); };
        cb.apply = [this](const trf::Matrix& m, double tol, bool typed) {
            applied.push_back({m, tol, typed});
        };
        cb.message = [this](const std::string& m) { msgs.push_back(m); };
        cb.echo = [this](gfx::Canvas& c, const trf::Matrix& m) {
            echoes.push_back(m);
            c.line(m.tx, m.ty, m.tx + 1, m.ty); // something to erase again
        };
        return trf::startMouse(kind, *canvas, *gc, cb);
    }
    int keyboard(int kind) {
        return trf::startKeyboard(
            kind, *canvas,
            [this](const trf::Matrix& m, double tol, bool typed) {
                applied.push_back({m, tol, typed});
            },
            [this](const std::string& m) { msgs.push_back(m); });
    }
    gfx::Point off(gfx::Point p, double dx, double dy) { return {p.x + dx, p.y + dy}; }
};

void expectNear(gfx::Point got, gfx::Point want, const std::string& what) {
    EXPECT_NEAR(got.x, want.x, 1e-5) << what;
    EXPECT_NEAR(got.y, want.y, 1e-5) << what;
}

// Each kind by its clicks: the prompts after each point, the live text of the
// last point, and where the matrix takes a probe point.
TEST_F(TrfMode, EachKindByMouse) {
    struct Click {
        int x, y;
    };
    struct Case {
        int kind;
        std::vector<Click> clicks;
        const char* prompts; // golden: shown at start and after each point but the last
        const char* live;    // printf format of the live text, "" for none
    } cases[] = {
        {trf::kMove, {{100, 300}, {300, 200}}, "trf_move_prompts", "DX = %10.3f;   DY = %10.3f"},
        {trf::kMirror, {{400, 100}, {400, 300}}, "trf_mirror_prompts", ""},
        {trf::kRotate, {{400, 200}, {500, 200}, {400, 20}}, "trf_rotate_prompts", "Angle = %7.2f"},
        {trf::kScale,
         {{400, 200}, {500, 200}, {600, 150}},
         "trf_scale_prompts",
         "Scaling factor = %7.2f"},
    };
    const double u = 23.0 / 800; // world units per pixel
    for (const Case& c : cases) {
        msgs.clear();
        applied.clear();
        done.clear();
        echoes.clear();
        const std::size_t from = rec->primitives().size();
        ASSERT_EQ(begin(c.kind), 0);
        std::string prompts;
        for (std::size_t i = 0; i < c.clicks.size(); ++i) {
            prompts += msgs.back() + "\n";
            move(c.clicks[i].x, c.clicks[i].y);
            if (i + 1 == c.clicks.size() && *c.live) {
                char want[64];
                const gfx::Point a = world(c.clicks[0].x, c.clicks[0].y);
                const gfx::Point b = world(c.clicks[1].x, c.clicks[1].y);
                if (c.kind == trf::kMove)
                    std::snprintf(want, sizeof want, c.live, b.x - a.x, b.y - a.y);
                else
                    std::snprintf(want, sizeof want, c.live, c.kind == trf::kRotate ? 90.0 : 2.0);
                EXPECT_EQ(msgs.back(), want) << c.kind;
                EXPECT_FALSE(echoes.empty()) << c.kind; // the client's echo while dragging
            }
            click(1, c.clicks[i].x, c.clicks[i].y);
        }
        kestrel_test::expectGolden("interact", c.prompts, prompts);
        ASSERT_EQ(applied.size(), 1u) << c.kind;
        EXPECT_EQ(done, std::vector<int>{1});
        EXPECT_FALSE(applied[0].typed);
        EXPECT_DOUBLE_EQ(applied[0].tol, 8 * u);
        EXPECT_FALSE(trf::modeActive());
        EXPECT_TRUE(xorBalanced(from)) << c.kind;
        const trf::Matrix& m = applied[0].m;
        const gfx::Point p0 = world(c.clicks[0].x, c.clicks[0].y);
        switch (c.kind) {
        case trf::kMove:
            expectNear(map(m, {1, 1}), off({1, 1}, 200 * u, 100 * u), "move");
            break;
        case trf::kMirror: // the vertical line x = p0.x
            expectNear(map(m, off(p0, 2, 5)), off(p0, -2, 5), "mirror");
            EXPECT_EQ(m.a, -1);
            EXPECT_EQ(m.b, 0);
            break;
        case trf::kRotate: // a quarter turn counter-clockwise
            expectNear(map(m, off(p0, 1, 0)), off(p0, 0, 1), "rotate");
            break;
        case trf::kScale: // twice as far from the centre
            expectNear(map(m, off(p0, 1, -3)), off(p0, 2, -6), "scale");
            break;
        }
    }
}

TEST_F(TrfMode, RotationAnglesAreAboveMinus180UpTo180) {
    struct Case {
        gfx::Point first, second;
        double want;
    } cases[] = {
        {{1, 0}, {-1, 0}, 180},  {{1, 0}, {-1, -0.0}, 180},
        {{0, 1}, {0, -1}, 180},  {{0, -1}, {0, 1}, 180},
        {{1, 0}, {0, 1}, 90},    {{1, 0}, {0, -1}, -90},
        {{-1, 1}, {-1, -1}, 90}, {{-1, -1}, {-1, 1}, -90},
        {{1, 0}, {1, 0}, 0},     {{-1, 0.001}, {-1, -0.001}, 0.11459},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(trf::rotationAngle({0, 0}, c.first, c.second), c.want, 1e-4)
            << c.first.x << "," << c.first.y << " -> " << c.second.x << "," << c.second.y;
    for (double y : {0.0, -0.0}) EXPECT_NEAR(trf::directionAngle(-1, y), 180, 1e-9) << y;
    EXPECT_NEAR(trf::directionAngle(0, -2), -90, 1e-9);
}

TEST_F(TrfMode, ARotationDraggedOppositeReports180AndDrawsTheArcInRed) {
    begin(trf::kRotate);
    click(1, 400, 200);
    click(1, 500, 200);
    const std::size_t from = rec->primitives().size();
    move(250, 200); // opposite, and nearer the centre: pulled onto the circle
    EXPECT_EQ(msgs.back(), "Angle =  180.00");
    bool redArc = false;
    for (std::size_t i = from; i < rec->primitives().size(); ++i) {
        const auto& p = rec->primitives()[i];
        redArc = redArc || (p.kind == gfx::Primitive::Kind::Arc && p.color == 12);
    }
    EXPECT_TRUE(redArc);
    click(1, 250, 200);
    ASSERT_EQ(applied.size(), 1u);
    const gfx::Point c = world(400, 200), q = map(applied[0].m, world(500, 200));
    expectNear(q, {2 * c.x - world(500, 200).x, c.y}, "half turn");
}

TEST_F(TrfMode, ScalingWithoutAFactorKeepsTheEchoAndWaits) {
    struct Case {
        gfx::Point centre, first, second;
        bool defined;
        double factor;
    } cases[] = {
        {{0, 0}, {2, 0}, {4, 1}, true, 2},  {{1, 1}, {1, 3}, {5, 0}, true, -0.5},
        {{0, 0}, {0, 0}, {4, 1}, false, 0}, {{0, 0}, {2, 0}, {0, 7}, false, 0},
        {{0, 0}, {3, 4}, {3, 4}, true, 1},
    };
    for (const Case& c : cases) {
        double f = 0;
        EXPECT_EQ(trf::scalingFactor(c.centre, c.first, c.second, f), c.defined);
        if (c.defined) {
            EXPECT_DOUBLE_EQ(f, c.factor);
        }
    }
    begin(trf::kScale);
    click(1, 400, 200);
    click(1, 500, 200);
    move(600, 200);
    const std::string shown = msgs.back();
    EXPECT_EQ(shown, "Scaling factor =    2.00");
    const std::size_t seen = echoes.size();
    move(400, 50); // perpendicular: no factor
    EXPECT_EQ(msgs.back(), shown);
    ASSERT_GT(echoes.size(), seen);
    EXPECT_EQ(echoes.back(), echoes[seen - 1]); // drawn again as it was
    click(1, 400, 50);                          // not taken
    EXPECT_TRUE(applied.empty());
    EXPECT_TRUE(trf::modeActive());
}

TEST_F(TrfMode, RightButtonCancelsAndMiddleButtonTypes) {
    begin(trf::kMove);
    click(1, 100, 300);
    move(200, 200);
    click(3, 200, 200);
    EXPECT_TRUE(applied.empty());
    EXPECT_EQ(done, std::vector<int>{0});
    EXPECT_FALSE(trf::modeActive());
    EXPECT_TRUE(xorBalanced());
    // The middle button ends the mouse form with the keyboard dialog.
    begin(trf::kRotate);
    click(1, 400, 200);
    backend->queueParam({"1", "2", "90", "0.5"});
    click(2, 500, 200);
    EXPECT_FALSE(trf::modeActive());
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_TRUE(applied[0].typed);
    EXPECT_EQ(applied[0].tol, 0.5);
    expectNear(map(applied[0].m, {2, 2}), {1, 3}, "typed rotation about (1, 2)");
    EXPECT_EQ(done, (std::vector<int>{0, 1}));
    backend->queueParamCancel();
    begin(trf::kScale);
    click(2, 500, 200);
    EXPECT_EQ(done, (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(applied.size(), 1u);
    EXPECT_EQ(trf::startMouse(7, *canvas, *gc, {}), -1);
    EXPECT_EQ(keyboard(-1), -1);
}

// The keyboard dialogs: exact templates and status texts, the matrix of the
// typed values (typed numbers are single precision), values kept for the
// next time, and a cancel that applies nothing.
TEST_F(TrfMode, KeyboardDialogs) {
    struct Case {
        int kind;
        std::vector<std::string> typed;
        const char* status;
        const char* form; // golden of the form's template
        gfx::Point probe, want;
    } cases[] = {
        {trf::kMove,
         {"1.5", "-2", "0.01"},
         "Use the keyboard to enter translation data. ",
         "trf_move",
         {1, 1},
         {2.5, -1}},
        {trf::kMirror,
         {"0", "0", "1", "1", "0.01"},
         "Use the keyboard to enter mirror data. ",
         "trf_mirror",
         {3, 1},
         {1, 3}},
        {trf::kRotate,
         {"1", "1", "-90", "0.01"},
         "Use the keyboard to enter rotation data. ",
         "trf_rotate",
         {1, 2},
         {2, 1}},
        {trf::kScale,
         {"2", "0", "0.5", "0.01"},
         "Use the keyboard to enter scaling data. ",
         "trf_scale",
         {4, 2},
         {3, 1}},
    };
    for (const Case& c : cases) {
        msgs.clear();
        applied.clear();
        backend->forms.clear();
        backend->queueParam(c.typed);
        EXPECT_EQ(keyboard(c.kind), 1);
        EXPECT_EQ(msgs, std::vector<std::string>{c.status});
        ASSERT_EQ(backend->forms.size(), 1u);
        expectForm(0, c.form);
        ASSERT_EQ(applied.size(), 1u);
        EXPECT_TRUE(applied[0].typed);
        EXPECT_EQ(applied[0].tol, static_cast<double>(0.01f));
        expectNear(map(applied[0].m, c.probe), c.want, c.form);
        backend->queueParamCancel();
        EXPECT_EQ(keyboard(c.kind), 0);
        EXPECT_EQ(backend->forms[1].fields[0].real, static_cast<double>(std::stof(c.typed[0])));
        EXPECT_EQ(applied.size(), 1u);
    }
    // Portuguese texts when the language is not English.
    tk->setLanguage("PORTUGUESE");
    backend->queueParamCancel();
    keyboard(trf::kRotate);
    EXPECT_EQ(msgs.back(), "Use o teclado para entrar os dados da rotacao. ");
    begin(trf::kMove);
    click(1, 100, 100);
    EXPECT_EQ(msgs.back(),
              "Entre com ponto final; Botao do meio => Teclado; Botao da direita => Cancela.");
}

} // namespace
