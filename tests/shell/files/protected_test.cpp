// Save As onto what is already there: a link keeps being a link and its
// target gets the model; a write-protected file is replaced only when the user
// says so. Open refuses a name that is not a regular file.
#include "model/model.h"
#include "shell/files/filecommands.h"
#include "tests/shell/fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace shelltest {
namespace {

namespace fs = std::filesystem;

class ProtectedFilesTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        char tmpl[] = "/tmp/kestrel-protected-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    void TearDown() override {
        fs::remove_all(dir);
        ShellTest::TearDown();
    }
    static std::string slurp(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    bool said(const std::string& text) {
        for (const std::string& l : backend->transcript())
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
    std::string dir;
};

TEST_F(ProtectedFilesTest, SaveAsFollowsLinksAndAsksBeforeReplacingAProtectedFile) {
    const MPoint p[2] = {{0, 0}, {5, 0}};
    mdl_begin_group();
    mdl_insert_points(state().model, CURVE_LINE, p, 2);
    mdl_end_group();
    fs::create_directory(dir + "/real");
    std::ofstream(dir + "/real/target.kst") << "old\n";
    fs::create_symlink("real/target.kst", dir + "/link.kst");
    std::ofstream(dir + "/ro.kst") << "old\n";
    fs::permissions(dir + "/ro.kst", fs::perms::owner_read | fs::perms::group_read);
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
        backend->clearQueue();
        backend->queueFile(1, dir + "/" + row.name);
        if (row.answer) backend->queueAlarm(row.answer);
        EXPECT_EQ(shell::saveAsCommand(), row.saved);
        EXPECT_EQ(said("   ro.kst is write-protected.   \n   Replace it anyway?   "),
                  row.answer != 0);
        EXPECT_EQ(slurp(dir + "/" + row.changed).substr(0, 4), row.saved ? "211\n" : "old\n");
        EXPECT_EQ(backend->pendingCount(), 0u);
    }
    EXPECT_TRUE(fs::is_symlink(dir + "/link.kst"));
    EXPECT_EQ(fs::status(dir + "/ro.kst").permissions(),
              fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(state().file.shortName, "ro.kst");
}

TEST_F(ProtectedFilesTest, OpenRefusesWhatIsNotARegularFile) {
    fs::create_symlink("/dev/zero", dir + "/zero.kst");
    ASSERT_EQ(::mkfifo((dir + "/fifo.kst").c_str(), 0600), 0);
    for (const char* name : {"zero.kst", "fifo.kst"}) {
        backend->queueFile(0, dir + "/" + name);
        backend->queueAlarm(1);
        fire("IoOpen");
        EXPECT_TRUE(
            said(std::string("  ") + name + " is not a Kestrel file: it is not a regular file.  "))
            << name;
        EXPECT_EQ(state().file.shortName, "untitled.kst");
    }
    EXPECT_TRUE(backend->errors().empty());
}

} // namespace
} // namespace shelltest
