// Save As onto what is already there: a link stays a link and its target gets
// the model; a write-protected file is replaced only when the user says so.
#include "model/model.h"
#include "shell/files/filecommands.h"
#include "tests/shell/fixture.h"

#include <filesystem>
#include <fstream>

namespace shelltest {
namespace {

namespace fs = std::filesystem;

TEST_F(ShellTest, SaveAsFollowsLinksAndAsksBeforeReplacingAProtectedFile) {
    const fs::path dir =
        fs::temp_directory_path() / ("kestrel-protected-" + std::to_string(getpid()));
    fs::create_directories(dir / "real");
    const MPoint p[2] = {{0, 0}, {5, 0}};
    mdl_begin_group();
    mdl_insert_points(state().model, CURVE_LINE, p, 2);
    mdl_end_group();
    std::ofstream(dir / "real/target.kst") << "old\n";
    fs::create_symlink("real/target.kst", dir / "link.kst");
    std::ofstream(dir / "ro.kst") << "old\n";
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
    fs::permissions(dir / "ro.kst", readOnly);
    const struct {
        const char* name;
        int answer; // to the question; 0: none is asked
        bool saved;
        const char* changed; // the file that gets the model
    } rows[] = {
        {"link.kst", 0, true, "real/target.kst"},
        {"ro.kst", 2, false, "ro.kst"}, // Cancel
        {"ro.kst", 1, true, "ro.kst"},  // Replace
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.answer));
        const std::size_t shown = backend->transcript().size();
        backend->queueFile(1, (dir / row.name).string());
        if (row.answer) backend->queueAlarm(row.answer);
        EXPECT_EQ(shell::saveAsCommand(), row.saved);
        std::string said;
        for (std::size_t i = shown; i < backend->transcript().size(); ++i)
            said += backend->transcript()[i];
        EXPECT_EQ(said.find("   ro.kst is write-protected.   \n   Replace it anyway?   ") !=
                      std::string::npos,
                  row.answer != 0)
            << said;
        std::string head(4, '\0');
        std::ifstream(dir / row.changed).read(head.data(), 4);
        EXPECT_EQ(head, row.saved ? "211\n" : "old\n");
    }
    EXPECT_TRUE(fs::is_symlink(dir / "link.kst"));
    EXPECT_EQ(fs::status(dir / "ro.kst").permissions(), readOnly);
    EXPECT_EQ(state().file.shortName, "ro.kst");
    fs::remove_all(dir);
}

} // namespace
} // namespace shelltest
