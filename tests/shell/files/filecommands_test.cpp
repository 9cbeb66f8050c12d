// The file commands on the headless toolkit: Save and Save As with their
// names and failures, Open with its refusals and the conversion dialog of an
// older file, the keys, Import Properties (New: the scenario
// new-keeps-flags-resets-units).
#include "attrib/blocks.h"
#include "files/modelfile.h"
#include "model/model.h"
#include "shell/files/filecommands.h"
#include "tests/shell/fixture.h"
#include "ui/input.h"
#include "ui/keys.h"
#include "units/units.h"

#include <fstream>
#include <sys/stat.h>

namespace shelltest {
namespace {

class FileCommandsTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        shell::resetFileDialogDirectory();
    }
    // A new member each time (one where a member is already changes nothing).
    void drawMember() {
        ++members;
        const MPoint p[2] = {{0, 10.0 * members}, {5, 10.0 * members}};
        mdl_begin_group();
        mdl_insert_points(state().model, CURVE_LINE, p, 2);
        mdl_end_group();
    }
    static bool exists(const std::string& p) {
        struct stat st {};
        return stat(p.c_str(), &st) == 0;
    }
    bool said(const std::string& text) {
        for (const std::string& l : backend->transcript())
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
    const std::string dir = testFolder().string();
    int members = 0;
};

TEST_F(FileCommandsTest, SaveAsForcesTheExtensionAndSaveWritesOnlyChanges) {
    drawMember();
    backend->queueFile(1, dir + "/beam.dat");
    fire("IoSave"); // a new frame has no name: Save As
    EXPECT_TRUE(said("file dialog: Save as Kestrel data file"));
    EXPECT_TRUE(exists(dir + "/beam.kst"));
    EXPECT_FALSE(exists(dir + "/beam.dat"));
    EXPECT_EQ(state().file.shortName, "beam.kst");
    EXPECT_EQ(state().file.fullPath, dir + "/beam.kst");
    EXPECT_EQ(at("main").get("TITLE"), "Kestrel - Spanwork: beam.kst");
    EXPECT_EQ(shell::isSaved(), 1);
    EXPECT_EQ(mdl_can_undo(), 0);
    // Unchanged: Save writes nothing.
    std::remove((dir + "/beam.kst").c_str());
    fire("IoSave");
    EXPECT_FALSE(exists(dir + "/beam.kst"));
    // Changed: Ctrl+S writes to the name, without a dialog.
    const std::size_t dialogs = backend->transcript().size();
    drawMember();
    tk->key(at("main"), ui::ctrlKey('s'));
    EXPECT_TRUE(exists(dir + "/beam.kst"));
    EXPECT_EQ(backend->transcript().size(), dialogs);
    EXPECT_TRUE(backend->errors().empty());
}

TEST_F(FileCommandsTest, AFailedSaveKeepsNamesFlagAndHistory) {
    drawMember();
    backend->queueFile(1, dir + "/missing/frame");
    backend->queueAlarm(1);
    EXPECT_FALSE(shell::saveAsCommand());
    EXPECT_TRUE(said("  Kestrel file could not be saved.  "));
    EXPECT_EQ(state().file.shortName, "untitled.kst");
    EXPECT_EQ(shell::isSaved(), 0);
    EXPECT_EQ(mdl_can_undo(), 1);
    // Save As & Exit does not leave after it.
    backend->queueAlarm(1);
    backend->queueFile(1, dir + "/missing/frame");
    backend->queueAlarm(1);
    EXPECT_EQ(fire("Exit"), ui::kDefault);
    EXPECT_FALSE(state().leaving);
}

TEST_F(FileCommandsTest, OpenRefusalsLeaveTheEmptyUntitledFrame) {
    struct Case {
        const char* content; // none: the file does not exist
        int status;          // of the file dialog
        const char* message;
    };
    const Case cases[] = {
        {nullptr, 1, " Could not find Kestrel file. "},
        {"213\n200\n", 0, "Version of file is higher than this version of Kestrel."},
        {"211\n200\n 0\n", 0, " Bad Kestrel file. "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        drawMember();
        shell::markModified(0);
        const std::string path = dir + "/in.kst";
        std::remove(path.c_str());
        if (c.content) std::ofstream(path) << c.content;
        backend->queueFile(c.status, path);
        if (c.content) backend->queueAlarm(2); // discard the changes
        backend->queueAlarm(1);                // Continue
        fire("IoOpen");
        EXPECT_TRUE(said(c.message));
        EXPECT_TRUE(backend->errors().empty());
        EXPECT_EQ(state().file.shortName, "untitled.kst");
        if (c.content) {
            EXPECT_TRUE(mdl_is_empty(state().model));
        }
    }
}

TEST_F(FileCommandsTest, OpenAnOlderFileConvertsCentimetresAndKiloNewtons) {
    backend->queueFile(0, std::string(KESTREL_TEST_DATA) + "/files/v205.kst");
    queue(ui::Input::Type::Select, "untcnvlength", 2); // cm
    queue(ui::Input::Type::Press, "untcnvaccept");
    fire("IoOpen");
    EXPECT_TRUE(backend->errors().empty());
    Solid* s = state().model;
    EXPECT_DOUBLE_EQ(mdl_vertex_by_id(s, 3)->x, 4.0); // 400 cm
    EXPECT_EQ(units::unitLabel(state().settings.units[units::kLengthUnit]), std::string("cm"));
    EXPECT_EQ(state().file.saved, 0);
    EXPECT_EQ(state().file.shortName, "v205.kst");
    // Cancel throws the frame away.
    backend->queueFile(0, std::string(KESTREL_TEST_DATA) + "/files/v205.kst");
    backend->queueAlarm(2); // discard
    queue(ui::Input::Type::Press, "untcnvcancel");
    fire("IoOpen");
    EXPECT_TRUE(mdl_is_empty(state().model));
    EXPECT_EQ(state().file.shortName, "untitled.kst");
    EXPECT_TRUE(backend->errors().empty());
}

TEST_F(FileCommandsTest, ImportPropertiesTakesUnitsAndNewLabels) {
    // A file in US units with two materials, one of a label already here.
    attrib::AttributeRoot other;
    attrib::newBlock(other, attrib::kMaf, "Steel");
    attrib::newBlock(other, attrib::kMaf, "Oak");
    attrib::AppSettings us = attrib::initialSettings();
    us.units = units::presetSettings(units::kUSPreset).unit;
    Solid* s = mdl_create_solid();
    mdl_op_mvfs(s, 1, 1, {0, 0});
    ASSERT_EQ(files::saveModelFile(dir + "/us.kst", s, other, us), files::SaveStatus::kSaved);
    mdl_set_recording_mode(MODE_OFF);
    mdl_delete_model(s);
    mdl_undo_recording_on();
    attrib::PropertyBlock* mine = nullptr;
    attrib::newBlock(attrib::root(), attrib::kMaf, "Steel", &mine);
    attrib::valuesOf(mine)->values[0] = 7;
    backend->queueFile(0, dir + "/us.kst");
    fire("IoImportPropGbl");
    EXPECT_EQ(state().settings.units, us.units);
    EXPECT_EQ(attrib::blockCount(attrib::root(), attrib::kMaf), 2);
    EXPECT_EQ(attrib::valuesOf(mine)->values[0], 7); // the existing block is kept
    EXPECT_EQ(state().file.saved, 0);
    // One kind from its panel: the settings stay.
    state().settings.units = units::presetSettings(units::kSIPreset).unit;
    backend->queueFile(0, dir + "/us.kst");
    fire("MafImport");
    EXPECT_EQ(state().settings.units, units::presetSettings(units::kSIPreset).unit);
    EXPECT_TRUE(backend->errors().empty());
}

} // namespace
} // namespace shelltest
