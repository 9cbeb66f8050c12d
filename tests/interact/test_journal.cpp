// The interactions replayed from journals (curve creation, transformations,
// view control, selection): each tests/data/interact/<name>.txt holds user
// actions ("> " lines) and, after each, what the action left: messages,
// dialogs shown with their values, finished records and matrices, picks and
// fences, end statuses, the echo on the screen in world units, the window,
// scroll attributes and redraws, the aperture, the cursor and which
// interactions are active. Coordinates print exactly, matrices to 1e-9.
#include "fixture.h"
#include "interact/trfmode.h"

#include <cstdio>
#include <functional>
#include <sstream>

namespace {

namespace cll = interact::cll;
namespace pck = interact::pck;
namespace trf = interact::trf;

std::string num(double v) {
    char b[40];
    std::snprintf(b, sizeof b, "%.17g", v);
    return b;
}
// To 1e-9: matrices come from sines and cosines.
std::string fixed(double v) {
    char b[40];
    std::snprintf(b, sizeof b, "%.9f", v);
    return std::string(b) == "-0.000000000" ? "0.000000000" : b;
}
std::string pt(gfx::Point p) {
    return "(" + num(p.x) + ", " + num(p.y) + ")";
}

class Journal : public kt::Screen {
protected:
    std::string out;
    std::size_t forms = 0, redrawn = 0, primitives = 0;
    std::string size;
    std::string cursor, shownWindow, shownScroll;
    int aperture = 0;

    void SetUp() override {
        kt::Screen::SetUp();
        interact::vis::fit(*canvas);
        trf::modeState().reset();
        cursor = canvas->get("CURSOR");
        shownWindow = windowText();
        shownScroll = scrollText();
        redrawn = redraws.size();
        aperture = pck::state().aperture;
        size = sizeText();
        primitives = rec->primitives().size();
    }
    std::string sizeText() const {
        return std::to_string(gc->width()) + "x" + std::to_string(gc->height());
    }
    std::string windowText() const {
        const interact::vis::Window w = window();
        return num(w.xmin) + " " + num(w.xmax) + " " + num(w.ymin) + " " + num(w.ymax);
    }
    std::string scrollText() const {
        std::string t;
        for (const char* a : {"XMIN", "XMAX", "YMIN", "YMAX", "DX", "DY", "POSX", "POSY"})
            t += std::string(" ") + a + "=" + canvas->get(a);
        return t;
    }
    std::function<void(int)> doneLog() {
        return [this](int s) { out += "  done " + std::to_string(s) + "\n"; };
    }
    std::string modsText(bool shift, bool control) {
        return std::string(shift ? " shift" : "") + (control ? " control" : "");
    }
    void TearDown() override {
        trf::modeState().reset();
        kt::Screen::TearDown();
    }
    void applied(const trf::Matrix& m, double tol, bool typed) {
        out += "  applied a " + fixed(m.a) + " b " + fixed(m.b) + " c " + fixed(m.c) + " d " +
               fixed(m.d) + " tx " + fixed(m.tx) + " ty " + fixed(m.ty) + " tol " + num(tol) +
               (typed ? " typed\n" : " by mouse\n");
    }
    cll::Callbacks callbacks() {
        cll::Callbacks cb;
        cb.done = [this](int s) { out += "  done " + std::to_string(s) + "\n"; };
        cb.finish = [this](const cll::CurveRecord& r, double tol, bool typed) {
            out += "  finished kind " + std::to_string(r.kind) + " " + pt({r.x0, r.y0}) + " " +
                   pt({r.x1, r.y1});
            for (const gfx::Point& p : r.interior) out += " interior " + pt(p);
            out += " tol " + num(tol) + (typed ? " typed\n" : " by mouse\n");
        };
        cb.message = [this](const std::string& m) { out += "  message \"" + m + "\"\n"; };
        return cb;
    }
    // The exclusive-or primitives drawn an odd number of times: what the echo
    // shows now, in world units.
    std::string echo() const {
        std::map<std::tuple<int, bool, std::vector<std::pair<double, double>>>,
                 std::pair<int, std::string>>
            n;
        for (const gfx::Primitive& p : rec->primitives()) {
            if (p.writeMode != gfx::WriteMode::Xor) continue;
            std::vector<std::pair<double, double>> px;
            for (const gfx::Point& q : p.pixel) px.emplace_back(q.x, q.y);
            auto& [count, text] = n[{static_cast<int>(p.kind), p.closed, px}];
            ++count;
            static const char* const kinds[] = {"clear",  "polyline", "polygon", "arc",
                                                "sector", "mark",     "text",    "flush"};
            text =
                std::string(" ") + kinds[static_cast<int>(p.kind)] + " c" + std::to_string(p.color);
            for (const gfx::Point& q : p.world) text += " " + pt(q);
        }
        std::string shown;
        for (const auto& [key, v] : n)
            if (v.first % 2) shown += "  echo" + v.second + "\n";
        return shown;
    }
    ui::Modifiers mods(std::istream& in) {
        std::string m;
        in >> m;
        return {m.find('S') != std::string::npos, m.find('C') != std::string::npos};
    }
    void run(const std::string& action) {
        std::istringstream in(action);
        std::string verb;
        in >> verb;
        int b = 0, x = 0, y = 0;
        const std::map<std::string, int> kinds = {
            {"point", cll::kPoint}, {"line", cll::kLine}, {"dimline", cll::kDimLine}};
        auto kind = [&] {
            std::string k;
            in >> k;
            return kinds.count(k) ? kinds.at(k) : std::atoi(k.c_str());
        };
        const std::map<std::string, int> tools = {{"move", trf::kMove},
                                                  {"mirror", trf::kMirror},
                                                  {"rotate", trf::kRotate},
                                                  {"scale", trf::kScale}};
        auto tool = [&] {
            std::string k;
            in >> k;
            return tools.count(k) ? tools.at(k) : std::atoi(k.c_str());
        };
        if (verb == "transform") {
            trf::Callbacks cb;
            cb.done = [this](int s) { out += "  done " + std::to_string(s) + "\n"; };
            cb.apply = [this](const trf::Matrix& m, double tol, bool typed) {
                applied(m, tol, typed);
            };
            cb.message = [this](const std::string& m) { out += "  message \"" + m + "\"\n"; };
            // The client's echo: a unit line from the translation.
            cb.echo = [](gfx::Canvas& c, const trf::Matrix& m) {
                c.line(m.tx, m.ty, m.tx + 1, m.ty);
            };
            const int k = tool();
            out += "  returned " + std::to_string(trf::startMouse(k, *canvas, *gc, cb)) + "\n";
        } else if (verb == "transform-keyboard") {
            const int k = tool();
            const int rc = trf::startKeyboard(
                k, *canvas,
                [this](const trf::Matrix& m, double tol, bool typed) { applied(m, tol, typed); },
                [this](const std::string& m) { out += "  message \"" + m + "\"\n"; });
            out += "  returned " + std::to_string(rc) + "\n";
        } else if (verb == "select") {
            std::string restart;
            in >> restart;
            interact::sel::Callbacks cb;
            cb.pick = [this](double x, double y, double tol, bool sh, bool co) {
                out += "  pick " + pt({x, y}) + " tol " + num(tol) + modsText(sh, co) + "\n";
            };
            cb.fence = [this](double x0, double x1, double y0, double y1, bool sh, bool co) {
                out += "  fence x " + num(x0) + ".." + num(x1) + " y " + num(y0) + ".." + num(y1) +
                       modsText(sh, co) + "\n";
            };
            interact::sel::registerCanvas(*canvas, cb);
            interact::sel::start(*canvas, doneLog(), restart == "restart");
        } else if (verb == "open" && in >> x >> y) {
            std::vector<std::pair<std::string, std::string>> extra;
            for (std::string a; in >> a;)
                extra.emplace_back(a.substr(0, a.find('=')), a.substr(a.find('=') + 1));
            open(x, y, extra);
            forms = redrawn = primitives = 0;
        } else if (verb == "fit" || verb == "zoom-in" || verb == "zoom-out" ||
                   verb == "previous-zoom") {
            namespace vis = interact::vis;
            const int rc = verb == "fit"        ? vis::fit(*canvas)
                           : verb == "zoom-in"  ? vis::zoomIn(*canvas)
                           : verb == "zoom-out" ? vis::zoomOut(*canvas)
                                                : vis::prevZoom(*canvas);
            out += "  returned " + std::to_string(rc) + "\n";
        } else if (verb == "zoom-fence") {
            interact::vis::zoomFence(*canvas, doneLog());
        } else if (verb == "pan") {
            interact::vis::pan(*canvas, doneLog());
        } else if (verb == "scroll" || verb == "scroll-to") {
            std::string axis;
            double v = 0;
            in >> axis >> v;
            const auto a =
                axis == "x" ? interact::vis::Axis::Horizontal : interact::vis::Axis::Vertical;
            verb == "scroll" ? interact::vis::scroll(*canvas, a, v)
                             : interact::vis::scrollTo(*canvas, a, v);
        } else if (verb == "set-window") {
            interact::vis::Window w;
            in >> w.xmin >> w.xmax >> w.ymin >> w.ymax;
            interact::vis::setWindow(*canvas, w);
        } else if (verb == "bars") {
            std::string px, py;
            in >> px >> py;
            canvas->store("POSX", px);
            canvas->store("POSY", py);
            tk->canvasRepaint(*canvas);
        } else if (verb == "resize" && in >> x >> y) {
            tk->canvasResize(*canvas, x, y);
        } else if (verb == "leave") {
            tk->canvasLeave(*canvas);
        } else if (verb == "cancel") {
            pck::cancel();
        } else if (verb == "mouse") {
            const int k = kind();
            out += "  returned " + std::to_string(cll::startMouse(k, *canvas, *gc, callbacks())) +
                   "\n";
        } else if (verb == "keyboard") {
            const int k = kind();
            const cll::Callbacks cb = callbacks();
            out += "  returned " +
                   std::to_string(cll::startKeyboard(k, *canvas, cb.finish, cb.message)) + "\n";
        } else if (verb == "click" && in >> b >> x >> y) {
            click(b, x, y, mods(in));
        } else if (verb == "press" && in >> b >> x >> y) {
            press(b, x, y, mods(in));
        } else if (verb == "release" && in >> b >> x >> y) {
            release(b, x, y, mods(in));
        } else if (verb == "move" && in >> x >> y) {
            move(x, y, mods(in));
        } else if (verb == "answer") {
            std::vector<std::string> values;
            for (std::string v; in >> v;) values.push_back(v);
            values.empty() ? backend->queueParamCancel() : backend->queueParam(values);
        } else if (verb == "language") {
            std::string l;
            in >> l;
            tk->setLanguage(l);
        } else if (verb == "centimetres") {
            cll::setLengthConversion([](double m) { return m * 100; },
                                     [](double cm) { return cm / 100; });
        } else if (verb == "metres") {
            cll::setLengthConversion(nullptr, nullptr);
        } else {
            ADD_FAILURE() << "unknown action: " << action;
        }
        for (; forms < backend->forms.size(); ++forms) {
            const ui::ParamForm& f = backend->forms[forms];
            std::istringstream t(kt::templateOf(f));
            for (std::string line; std::getline(t, line);) out += "  form " + line + "\n";
            out += "  values";
            for (const ui::ParamField& p : f.fields) out += " " + num(p.real);
            out += "\n";
        }
        int drawn = 0;
        for (std::size_t i = primitives; i < rec->primitives().size(); ++i)
            drawn += rec->primitives()[i].writeMode == gfx::WriteMode::Xor;
        primitives = rec->primitives().size();
        if (drawn) out += "  xor drawn " + std::to_string(drawn) + "\n";
        out += echo();
        if (sizeText() != size) out += "  canvas " + (size = sizeText()) + "\n";
        if (redraws.size() > redrawn)
            out += "  redrawn " + std::to_string(redraws.size() - redrawn) + "\n";
        redrawn = redraws.size();
        if (windowText() != shownWindow) out += "  window " + (shownWindow = windowText()) + "\n";
        if (scrollText() != shownScroll) out += "  scroll" + (shownScroll = scrollText()) + "\n";
        if (pck::state().aperture != aperture)
            out += "  aperture " + std::to_string(aperture = pck::state().aperture) + "\n";
        if (canvas->get("CURSOR") != cursor)
            out += "  cursor " + (cursor = canvas->get("CURSOR")) + "\n";
        out += std::string("  active:") + (cll::active() ? " cll" : "") +
               (trf::modeActive() ? " transform" : "") + (pck::active() ? " pick" : "") + "\n";
        for (const std::string& e : backend->errors()) out += "  error " + e + "\n";
    }
};

class InteractionJournal : public Journal, public ::testing::WithParamInterface<const char*> {};

// A journal on a fresh screen: "#" lines are comments, "> " lines actions.
TEST_P(InteractionJournal, Replays) {
    const std::string name = GetParam();
    std::istringstream in(kestrel_test::readText(kestrel_test::goldenPath("interact", name)));
    ASSERT_FALSE(in.str().empty()) << name;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("#", 0) == 0) out += line + "\n";
        if (line.rfind("> ", 0) != 0) continue;
        out += line + "\n";
        run(line.substr(2));
    }
    kestrel_test::expectGolden("interact", name, out);
}

INSTANTIATE_TEST_SUITE_P(Journals, InteractionJournal,
                         ::testing::Values("cll_mouse", "cll_dialogs", "cll_keyboard", "trf_mouse",
                                           "trf_keyboard", "vis", "sel"));

} // namespace
