// Opening a damaged model file: the window names what the reader left out,
// the frame is marked changed and Save asks for a name instead of writing
// over the file; a frame whose members cross is refused with their numbers.
#include "tests/shell/fixture.h"

#include <fstream>
#include <sstream>

namespace shelltest {
namespace {

class DamagedOpenTest : public ShellTest {
protected:
    bool said(const std::string& text) {
        for (const std::string& l : backend->transcript())
            if (l.find(text) != std::string::npos) return true;
        return false;
    }
    static std::string read(const std::string& path) {
        std::ifstream f(path);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
};

TEST_F(DamagedOpenTest, WhatWasLeftOutIsShownAndSaveAsksForAName) {
    const std::string path = ::testing::TempDir() + "damaged-opcode.kst";
    const std::string text = read(KESTREL_TEST_DATA "/files/damaged/damaged-opcode.kst");
    std::ofstream(path) << text;
    backend->queueFile(0, path);
    backend->queueAlarm(1);
    fire("IoOpen");
    EXPECT_TRUE(said("damaged-opcode.kst is damaged:   \n"
                     "   record 4 has an unknown operator code (57).   \n\n"
                     "   What could not be read is left out: save the frame under   \n"
                     "   another name to keep the file as it is."));
    EXPECT_EQ(counts(), "3/2");
    EXPECT_EQ(shell::isSaved(), 0);
    // Save shows the Save As dialog; cancelled, the file stays as it was.
    backend->queueFile(-1, "");
    fire("IoSave");
    EXPECT_TRUE(said("file dialog: Save as Kestrel data file"));
    EXPECT_EQ(read(path), text);
    EXPECT_TRUE(backend->errors().empty());
    std::remove(path.c_str());
}

TEST_F(DamagedOpenTest, CrossingMembersAreNamed) {
    backend->queueFile(0, KESTREL_TEST_DATA "/files/damaged/crossing.kst");
    backend->queueAlarm(1);
    fire("IoOpen");
    EXPECT_TRUE(said("\n   Members 1 and 2 cross at (0, 2.5): the file cannot be opened.   \n"));
    EXPECT_EQ(counts(), "0/0");
    EXPECT_TRUE(backend->errors().empty());
}

} // namespace
} // namespace shelltest
