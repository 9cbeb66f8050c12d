// An engineer's session replayed as a journal on a model opened from the
// command line: what the panels, the inquiry and the message line show.
#include "analysis/analysis.h"
#include "shell/filecommands.h"
#include "shell/journal.h"
#include "shell/startup.h"
#include "shell/view.h"
#include "ui/ui.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kExamples = std::string(KESTREL_TEST_DATA) + "/../../examples/";

// A copy of an example model in a fresh directory: an analysis writes its
// result file beside the model.
std::string copyOfExample(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / "kestrel-workflow";
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy_file(kExamples + name, dir / name);
    return (dir / name).string();
}

// The program started as `kestrel --replay JOURNAL MODEL` starts it.
class WorkflowTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (tk) shell::shutDown(*tk);
    }
    int replay(const std::string& model, const std::string& text) {
        if (tk) shell::shutDown(*tk);
        auto b = std::make_unique<shell::ReplayBackend>();
        shell::ReplayBackend* backend = b.get();
        tk = std::make_unique<ui::Toolkit>(std::move(b));
        shell::StartupHooks hooks;
        hooks.openModel = [](const std::string& path) { return shell::openModelByName(path); };
        hooks.fitView = shell::fitView;
        EXPECT_EQ(shell::startUp(*tk, model, hooks), 0);
        std::vector<shell::JournalEntry> entries;
        std::string error;
        EXPECT_TRUE(shell::parseJournal(text, "j", entries, error)) << error;
        backend->load(std::move(entries));
        FILE* out = std::tmpfile();
        FILE* err = std::tmpfile();
        const int rc = shell::replayJournal(*tk, *backend, "j", out, err);
        output = contents(out);
        errors = contents(err);
        return rc;
    }
    static std::string contents(FILE* f) {
        std::rewind(f);
        std::string s;
        for (int c; (c = std::fgetc(f)) != EOF;) s += static_cast<char>(c);
        std::fclose(f);
        return s;
    }
    std::unique_ptr<ui::Toolkit> tk;
    std::string output, errors;
};

// Every property panel shows the first block of its list, as after File >
// Open; before, they showed "NONE" and Apply stripped the kind from the
// picked members.
TEST_F(WorkflowTest, AModelOpenedFromTheCommandLineShowsTheFirstBlockOfEachList) {
    const struct {
        const char* file;
        const char* shown;
    } cases[] = {
        {"portal.kst", "show: maflabellist \"Steel\" mafelastext \"205000\" spflabellist "
                       "\"W310x60\" nfflabellist \"Wind\" ulflabellist \"Roof\" llflabellist "
                       "\"NONE\" tpflabellist \"NONE\"\n"},
        {"three-storey.kst", "show: maflabellist \"C30\" mafelastext \"31000\" spflabellist "
                             "\"Col40x40\" nfflabellist \"Wind\" ulflabellist \"Floor\" "
                             "llflabellist \"NONE\" tpflabellist \"NONE\"\n"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(replay(kExamples + c.file,
                         "show maflabellist mafelastext spflabellist nfflabellist ulflabellist "
                         "llflabellist tpflabellist\n"),
                  0)
            << errors;
        EXPECT_EQ(output, c.shown) << c.file;
    }
    // Apply on a picked member keeps its material: the inquiry still names it.
    ASSERT_EQ(replay(kExamples + "portal.kst", "button datascreen 1 press 0 2 world\n"
                                               "button datascreen 1 release 0 2 world\n"
                                               "press mafapply\n"
                                               "button datascreen 3 press 0 2 world\n"
                                               "button datascreen 3 release 0 2 world\n"
                                               "show maflabellist\n"),
              0)
        << errors;
    EXPECT_EQ(output, "show: maflabellist \"Steel\"\n");
}

// The factor field keeps three significant digits below 0.1: the large
// moments of a frame give factors of a few thousandths, which two decimals
// showed as "0.00", and the commit of that unchanged field (Enter or focus
// loss) then shrank the diagram to nothing.
TEST_F(WorkflowTest, TheResultFactorReadsBackAsItselfAndTypedFactorsShowAsTyped) {
    const struct {
        const char* model;
        const char* kind;
        const char* shown;
    } cases[] = {
        {"gable.kst", "bending", "0.0111"},
        {"three-storey.kst", "axial", "0.00262"},
        {"gable.kst", "deformed", "29.68"}, // two decimals from 0.1 up
    };
    for (const auto& c : cases) {
        const std::string model = copyOfExample(c.model);
        ASSERT_EQ(replay(model, std::string("toggle ") + c.kind + "\nshow modetext\n"), 0)
            << errors;
        EXPECT_EQ(output, std::string("show: modetext \"") + c.shown + "\"\n") << c.model;
        const double size = analysis::resultState().diagramSize;
        ASSERT_EQ(replay(model, std::string("toggle ") + c.kind + "\ncommit modetext \"" + c.shown +
                                    "\"\nshow modetext\n"),
                  0)
            << errors;
        EXPECT_EQ(output, std::string("show: modetext \"") + c.shown + "\"\n") << c.model;
        EXPECT_NEAR(analysis::resultState().diagramSize, size, 0.005 * size) << c.model;
    }
    // Typed factors within the limit (5 times the default size).
    const struct {
        const char* kind;
        const char* typed;
        const char* shown;
    } typed[] = {{"bending", "0.004", "0.004"},    {"bending", "0.05", "0.05"},
                 {"bending", "2.5e-5", "2.5e-05"}, {"bending", "0", "0.00"},
                 {"deformed", "0.0999", "0.0999"}, {"deformed", "0.1", "0.10"},
                 {"deformed", "0.5", "0.50"},      {"deformed", "12.345", "12.35"}};
    const std::string model = copyOfExample("gable.kst");
    for (const auto& t : typed) {
        ASSERT_EQ(replay(model, std::string("toggle ") + t.kind + "\ncommit modetext \"" + t.typed +
                                    "\"\nshow modetext\n"),
                  0)
            << errors;
        EXPECT_EQ(output, std::string("show: modetext \"") + t.shown + "\"\n") << t.typed;
    }
}

// Window and Enhanced Metafile exports: bound without a menu item, they ask
// for the file under the model's name and write nothing.
TEST_F(WorkflowTest, MetafileExportsAskForTheFileAndWriteNothing) {
    const std::string model = copyOfExample("two-span.kst");
    const std::string stem = model.substr(0, model.size() - 3);
    const struct {
        const char* action;
        const char* title;
        const char* filter;
        const char* extension;
    } cases[] = {
        {"IoWMF", "Export screen as a Window Metafile file", "*.wmf", "wmf"},
        {"IoEMF", "Export screen as an Enhanced Metafile file", "*.emf", "emf"},
    };
    for (const auto& c : cases) {
        const std::string proposed = stem + c.extension;
        const std::string file = stem + "picture." + c.extension;
        ASSERT_EQ(replay(model, std::string("action ") + c.action + "\nfile 1 \"" + file + "\"\n"),
                  0)
            << errors;
        EXPECT_EQ(output, std::string("file dialog: ") + c.title + "\nanswer: 1 " + file + "\n");
        EXPECT_EQ(tk->at("exportfiledlg").get("FILE"), proposed);
        EXPECT_EQ(tk->at("exportfiledlg").get("FILTER"), c.filter);
        EXPECT_FALSE(fs::exists(file) || fs::exists(proposed));
        EXPECT_EQ(tk->find(std::string("mi") + c.extension), nullptr);
        EXPECT_EQ(tk->find(std::string("miio") + c.extension), nullptr);
    }
}

} // namespace
