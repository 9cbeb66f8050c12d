// A started program on the headless backend, for the shell's tests.
#pragma once

#include "shell/startup.h"
#include "shell/state.h"
#include "ui/headless.h"
#include "ui/ui.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace shelltest {

// Counts the attribute sets of each element, to check that an operation sets
// a text once and not again.
class CountingBackend : public ui::HeadlessBackend {
public:
    void attributeSet(ui::Element& e, const std::string& attr) override {
        ++sets[e.name() + "." + attr];
    }
    std::map<std::string, int> sets;
};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { start(""); }
    void TearDown() override {
        if (tk) shell::shutDown(*tk);
        tk.reset();
    }
    void start(const std::string& file, const shell::StartupHooks& hooks = {}) {
        if (tk) shell::shutDown(*tk);
        auto b = std::make_unique<CountingBackend>();
        backend = b.get();
        tk = std::make_unique<ui::Toolkit>(std::move(b));
        ASSERT_EQ(shell::startUp(*tk, file, hooks), 0);
    }
    ui::Element& at(const std::string& name) { return tk->at(name); }
    int fire(const std::string& action) {
        ui::Event ev;
        return tk->fireAction(action, ev);
    }
    int toggle(const std::string& name) { return tk->toggle(at(name)); }
    std::string value(const std::string& name) { return at(name).get("VALUE"); }
    std::string title(const std::string& name) { return at(name).get("TITLE"); }
    gfx::RecordingCanvas& canvas() { return *backend->canvasOf(at("datascreen")); }
    shell::AppState& state() { return shell::app(); }

    CountingBackend* backend = nullptr;
    std::unique_ptr<ui::Toolkit> tk;
};

} // namespace shelltest
