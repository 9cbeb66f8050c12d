// A headless toolkit with one drawing canvas wired to the interaction
// library the way the shell wires it, and helpers to inspect the echo.
#pragma once

#include "gfx/record.h"
#include "interact/cll.h"
#include "interact/pck.h"
#include "interact/sel.h"
#include "interact/trf.h"
#include "interact/vis.h"
#include "tests/support/golden.h"
#include "ui/headless.h"
#include "ui/ui.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace kt {

// A headless backend that also keeps every parameter form as it was shown.
class FormSpy : public ui::HeadlessBackend {
public:
    using HeadlessBackend::HeadlessBackend;
    bool getParam(ui::ParamForm& form) override {
        forms.push_back(form);
        return HeadlessBackend::getParam(form);
    }
    std::vector<ui::ParamForm> forms;
};

// The template a form was built from: title, then "label%W.M%FMT" lines.
inline std::string templateOf(const ui::ParamForm& f) {
    std::string t = f.title + "\n";
    for (const ui::ParamField& p : f.fields)
        t += p.label + "%" + std::to_string(p.width) + "." + std::to_string(p.maxChars) + p.format +
             "\n";
    return t;
}

inline void resetAll() {
    interact::pck::cancel();
    interact::vis::state().reset();
    interact::pck::state().reset();
    interact::sel::state().reset();
    interact::cll::state().reset();
    interact::trf::state().reset();
}

class Screen : public ::testing::Test {
protected:
    std::unique_ptr<ui::Toolkit> tk;
    FormSpy* backend = nullptr;
    ui::Element* canvas = nullptr;
    std::unique_ptr<gfx::Canvas> gc;
    gfx::RecordingCanvas* rec = nullptr;
    std::vector<interact::vis::Window> redraws;

    void SetUp() override { open(800, 400); }
    void TearDown() override {
        resetAll();
        gc.reset();
        tk.reset();
    }

    // A canvas of `w` x `h` pixels with extra attributes; its drawing canvas is
    // the toolkit's recording one unless the test brings its own.
    void open(int w, int h, const std::vector<std::pair<std::string, std::string>>& extra = {},
              std::unique_ptr<gfx::Canvas> own = nullptr) {
        resetAll();
        gc.reset();
        tk.reset();
        redraws.clear();
        auto b = std::make_unique<FormSpy>(w, h);
        backend = b.get();
        tk = std::make_unique<ui::Toolkit>(std::move(b));
        canvas = &tk->make(ui::Kind::Canvas, "datascreen",
                           {{"ZOOMFACTOR", "1.2"},
                            {"BUTTON_CB", "PckMouseBt"},
                            {"MOTION_CB", "PckMouseMv"},
                            {"LEAVEWINDOW_CB", "PckEchoOff"},
                            {"RESIZE_CB", "VisResize"},
                            {"ACTION", "VisRedraw"}});
        for (const auto& [attr, value] : extra) canvas->store(attr, value);
        gc = own ? std::move(own) : tk->createCanvas(*canvas);
        rec = dynamic_cast<gfx::RecordingCanvas*>(gc.get());
        interact::vis::registerCanvas(*canvas, *gc);
        interact::vis::setCallbacks(*canvas, {[this](ui::Element&, const interact::vis::Window& w) {
                                                  redraws.push_back(w);
                                                  gc->clear();
                                                  gc->flush();
                                              },
                                              nullptr, nullptr});
        tk->bind("PckMouseBt", interact::pck::onMouseBt);
        tk->bind("PckMouseMv", interact::pck::onMouseMv);
        tk->bind("PckEchoOff", interact::pck::onEchoOff);
        tk->bind("VisResize", interact::vis::onResize);
        tk->bind("VisRedraw", interact::vis::onRedraw);
        tk->bind("VisZoom", interact::vis::onZoom);
        tk->bind("VisZoomIn", interact::vis::onZoomIn);
        tk->bind("VisZoomOut", interact::vis::onZoomOut);
        tk->bind("VisPrevZoom", interact::vis::onPrevZoom);
        tk->bind("VisFit", interact::vis::onFit);
    }

    interact::vis::Window window() const {
        interact::vis::Window w;
        interact::vis::getWindow(*canvas, w);
        return w;
    }
    // The template of form `i` shown so far against tests/data/interact/<name>.txt.
    void expectForm(std::size_t i, const char* name) {
        ASSERT_GT(backend->forms.size(), i) << name;
        kestrel_test::expectGolden("interact", name, templateOf(backend->forms[i]));
    }
    int fire(const std::string& action) {
        ui::Event ev;
        return tk->fireAction(action, ev);
    }
    void press(int b, int x, int y, ui::Modifiers m = {}) {
        tk->canvasButton(*canvas, b, true, x, y, m);
    }
    void release(int b, int x, int y, ui::Modifiers m = {}) {
        tk->canvasButton(*canvas, b, false, x, y, m);
    }
    void click(int b, int x, int y, ui::Modifiers m = {}) {
        press(b, x, y, m);
        release(b, x, y, m);
    }
    void move(int x, int y, ui::Modifiers m = {}) { tk->canvasMotion(*canvas, x, y, m); }
    gfx::Point world(int px, int py) const { return gc->pixelToWorld(px, py); }

    // Every exclusive-or primitive drawn since `from` appears an even number
    // of times (same kind, same pixels): the echo left nothing behind.
    bool xorBalanced(std::size_t from = 0) const {
        std::map<std::tuple<int, bool, std::vector<std::pair<double, double>>>, int> n;
        const auto& ps = rec->primitives();
        for (std::size_t i = from; i < ps.size(); ++i) {
            if (ps[i].writeMode != gfx::WriteMode::Xor) continue;
            std::vector<std::pair<double, double>> px;
            for (const gfx::Point& p : ps[i].pixel) px.emplace_back(p.x, p.y);
            ++n[{static_cast<int>(ps[i].kind), ps[i].closed, px}];
        }
        for (const auto& [key, count] : n)
            if (count % 2) return false;
        return true;
    }
    // Exclusive-or primitives since `from` whose world points are exactly these.
    int xorWith(const std::vector<gfx::Point>& world, std::size_t from = 0) const {
        int k = 0;
        const auto& ps = rec->primitives();
        for (std::size_t i = from; i < ps.size(); ++i)
            if (ps[i].writeMode == gfx::WriteMode::Xor && ps[i].world == world) ++k;
        return k;
    }
};

} // namespace kt
