// An engineer's session replayed as a journal on a model opened from the
// command line: what the panels, the inquiry and the message line show.
#include "analysis/analysis.h"
#include "shell/edit/view.h"
#include "shell/files/filecommands.h"
#include "shell/journal.h"
#include "shell/startup.h"
#include "ui/ui.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kExamples = std::string(KESTREL_TEST_DATA) + "/../../examples/";

// A copy of an example model in a fresh directory: an analysis writes its
// result file beside the model.
fs::path copiesDir() {
    return fs::temp_directory_path() / ("kestrel-workflow-" + std::to_string(getpid()));
}
std::string copyOfExample(const std::string& name) {
    const fs::path dir = copiesDir();
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
        fs::remove_all(copiesDir());
    }
    int replay(const std::string& model, const std::string& text) {
        if (tk) shell::shutDown(*tk);
        auto b = std::make_unique<shell::ReplayBackend>();
        shell::ReplayBackend* backend = b.get();
        tk = std::make_unique<ui::Toolkit>(std::move(b));
        std::vector<shell::JournalEntry> entries;
        std::string error;
        EXPECT_TRUE(shell::parseJournal(text, "j", entries, error)) << error;
        backend->load(std::move(entries));
        shell::StartupHooks hooks;
        hooks.openModel = [](const std::string& path) { return shell::openModelByName(path); };
        hooks.fitView = shell::fitView;
        EXPECT_EQ(shell::startUp(*tk, model, hooks), 0);
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

// examples/propped-cantilever.journal builds, analyses and reads a propped
// cantilever under a linear load 0 -> 10 kN/m over 6 m; its comments give the
// hand calculation that these figures come from.
TEST_F(WorkflowTest, TheProppedCantileverExampleReadsTheHandCalculation) {
    std::ifstream f(kExamples + "propped-cantilever.journal");
    ASSERT_TRUE(f);
    std::stringstream text;
    text << f.rdbuf();
    std::string journal = text.str();
    const std::string saved = "file 1 \"/tmp/propped-cantilever.kst\"";
    const std::string model = copyOfExample("two-span.kst"); // only for its directory
    const std::string target = fs::path(model).replace_filename("propped.kst").string();
    ASSERT_NE(journal.find(saved), std::string::npos);
    journal.replace(journal.find(saved), saved.size(), "file 1 \"" + target + "\"");
    ASSERT_EQ(replay("", journal), 0) << errors;
    const char* const lines[] = {
        // fixed end: 9qL/40 and 7qL2/120; roller: 11qL/40 and qL3/(80EI)
        " Fy = 13.5 kN\n Mz = 21.0 kNm\n",
        " Fy = 16.5 kN\n Mz = 0.0 kNm\n",
        " Rz = 2.439e-05 rad\"",
        // the bending moment, its extreme and the values every 1.5 m
        " Init: -21.0 kNm\n End: 0.0 kNm\n",
        " Value: 15.2 kNm\n At local pos.:\n  x: 4.02 m\n",
        " 0.00\t-21.0\n 1.50\t-1.7\n 3.00\t12.0\n 4.50\t14.4\n 6.00\t0.0\"",
        // shear: 13.5 - q x2/(2L)
        " 0.00\t13.5\n 1.50\t11.6\n 3.00\t6.0\n 4.50\t-3.4\n 6.00\t-16.5\"",
        // deflection at mid-span
        "Dx: 0.000e+00 mm  Dy: -3.354e-02 mm\"",
        // influence line of the mid-span moment
        " 0.00\t0.00\n 1.50\t0.26\n 3.00\t0.94\n 4.50\t0.40\n 6.00\t0.00\"",
    };
    for (const char* line : lines) EXPECT_NE(output.find(line), std::string::npos) << line;
    EXPECT_TRUE(fs::exists(target));
}

} // namespace
