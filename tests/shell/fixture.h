// A started program on the headless backend, for the shell's tests.
#pragma once

#include "model/model.h"
#include "shell/edit/edit.h"
#include "shell/edit/view.h"
#include "shell/files/filecommands.h"
#include "shell/journal.h"
#include "shell/startup.h"
#include "shell/state.h"
#include "tests/support/golden.h"
#include "ui/headless.h"
#include "ui/ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace shelltest {

// A folder of the running test's own under the temporary directory, made by
// testFolder() and removed by the fixtures below when the test ends: an
// analysis writes its result file beside the model.
inline std::filesystem::path testFolderPath() {
    const auto* t = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("kestrel-") + t->test_suite_name() + "-" + t->name();
    std::replace(name.begin(), name.end(), '/', '-');
    return std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
}
inline std::filesystem::path testFolder() {
    std::filesystem::create_directories(testFolderPath());
    return testFolderPath();
}
inline void removeTestFolder() {
    std::error_code ec;
    std::filesystem::remove_all(testFolderPath(), ec);
}

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
        removeTestFolder();
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
    // A text field given `text` and committed, as Enter does.
    void commit(const std::string& field, const std::string& text) {
        at(field).setTyped(text);
        tk->commit(at(field));
    }
    // Nodes and members of the model, "N/M".
    std::string counts() {
        int n = 0, m = 0;
        if (!shell::modelIsEmpty()) {
            for (const Vertex* v = state().model->vertices; v; v = v->next) ++n;
            for (const Edge* e = state().model->edges; e; e = e->next) ++m;
        }
        return std::to_string(n) + "/" + std::to_string(m);
    }
    // An input for the next dialog's own loop to take.
    void queue(ui::Input::Type type, const std::string& target, int number = 0) {
        ui::Input in;
        in.type = type;
        in.target = target;
        in.number = number;
        backend->queue(in);
    }
    gfx::RecordingCanvas& canvas() { return *backend->canvasOf(at("datascreen")); }
    // A two-bay portal without the mouse, nothing selected: columns at x = 0,
    // 4, 8 up to y = 3 and the beam over them.
    void portal() {
        for (double x : {0.0, 4.0, 8.0}) shell::insertMember(x, 0, x, 3, 0.01);
        shell::insertMember(0, 3, 8, 3, 0.01);
        shell::deselectAll();
    }
    // The pointer moved to a world point of the canvas.
    void moveTo(double x, double y, ui::Modifiers mods = {}) {
        const gfx::Point p = canvas().worldToPixel(x, y);
        tk->canvasMotion(at("datascreen"), int(std::lround(p.x)), int(std::lround(p.y)), mods);
    }
    // A press and release of `button` at a world point.
    void click(double x, double y, int button = 1, ui::Modifiers mods = {}) {
        const gfx::Point p = canvas().worldToPixel(x, y);
        const int px = int(std::lround(p.x)), py = int(std::lround(p.y));
        tk->canvasButton(at("datascreen"), button, true, px, py, mods);
        tk->canvasButton(at("datascreen"), button, false, px, py, mods);
    }
    shell::AppState& state() { return shell::app(); }

    CountingBackend* backend = nullptr;
    std::unique_ptr<ui::Toolkit> tk;
};

// A started program on the replay backend, which replays journal texts.
class ReplayTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (tk) shell::shutDown(*tk);
        removeTestFolder();
    }
    // Replays `text` (named `name` in the errors) on a freshly started
    // program, opened on `model` when one is named as the command line opens
    // it; the status, with what the replay printed in `output` and `errors`.
    int replay(const std::string& text, const std::string& model = "",
               const std::string& name = "j") {
        if (tk) shell::shutDown(*tk);
        auto b = std::make_unique<shell::ReplayBackend>();
        backend = b.get();
        tk = std::make_unique<ui::Toolkit>(std::move(b));
        std::vector<shell::JournalEntry> entries;
        std::string error;
        EXPECT_TRUE(shell::parseJournal(text, name, entries, error)) << error;
        backend->load(std::move(entries));
        shell::StartupHooks hooks;
        hooks.openModel = [](const std::string& p) { return shell::openModelByName(p); };
        hooks.fitView = shell::fitView;
        hooks.convertUnits = shell::conversionDialog;
        EXPECT_EQ(shell::startUp(*tk, model, hooks), 0);
        FILE* out = std::tmpfile();
        FILE* err = std::tmpfile();
        int rc = shell::replayJournal(*tk, *backend, name, out, err);
        output = contents(out);
        errors = contents(err);
        return rc;
    }
    // The journal examples/NAME.journal.
    static std::string example(const std::string& name) {
        const std::string text = kestrel_test::readText(std::string(KESTREL_TEST_DATA) +
                                                        "/../../examples/" + name + ".journal");
        EXPECT_FALSE(text.empty()) << name;
        return text;
    }
    // A copy of the repository's file `path` (e.g. "examples/portal.kst") in
    // the test's folder.
    static std::string copyOf(const std::string& path) {
        const std::filesystem::path from = std::string(KESTREL_TEST_DATA) + "/../../" + path;
        const std::filesystem::path to = testFolder() / from.filename();
        std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
        return to.string();
    }
    static std::string contents(FILE* f) {
        std::rewind(f);
        std::string s;
        for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
        std::fclose(f);
        return s;
    }
    shell::AppState& state() { return shell::app(); }
    std::string value(const std::string& name) { return tk->at(name).get("VALUE"); }
    std::string title(const std::string& name) { return tk->at(name).get("TITLE"); }

    shell::ReplayBackend* backend = nullptr;
    std::unique_ptr<ui::Toolkit> tk;
    std::string output, errors;
};

} // namespace shelltest
