// Damaged model files: what the reader leaves out is named, record by
// record; a sound file reads without a note; a frame whose members cross is
// refused with the members and the point.
#include "tests/files/fixture.h"

#include <dirent.h>

namespace {

using files_test::readText;

std::string data(const std::string& name) {
    return std::string(KESTREL_TEST_DATA) + "/files/" + name;
}

class DamagedFileTest : public files_test::ModelFileTest {};

TEST_F(DamagedFileTest, WhatIsLeftOutIsNamed) {
    const struct {
        const char* file;
        int members; // of the part read
        const char* notes;
    } cases[] = {
        {"damaged-opcode.kst", 2, "record 4 has an unknown operator code (57)"},
        {"damaged-duplicate-id.kst", 2, "record 4 (member 3) makes member 3, which exists already"},
        {"damaged-id-range.kst", 2, "record 4 holds an id out of range (40000)"},
        {"damaged-corner.kst", 1,
         "record 3 (member 3) names a node or face that does not exist; record 4 (member 2) "
         "names a node or face that does not exist"},
        {"damaged-truncated.kst", 2, "the file ends before the end of the model"},
        {"damaged-cut-in-record.kst", 3, "the file ends inside record 4 (member 2)"},
        {"damaged-reference.kst", 3, "member 1 refers to material 9, which the file does not hold"},
        {"damaged-negative.kst", 3,
         "material Steel has a negative modulus of elasticity (-2.05e+08); section W310x60 has a "
         "negative area; node 1 has a negative spring stiffness KRz (-5)"},
    };
    for (const auto& c : cases) {
        files::ReadResult r = files::readModelFile(data("damaged/") + c.file, settings);
        ASSERT_EQ(r.status, files::ReadStatus::kModel) << c.file;
        EXPECT_EQ(files::notesSummary(r, 5), c.notes) << c.file;
        int members = 0;
        for (Edge* e = r.model->edges; e; e = e->next) ++members;
        EXPECT_EQ(members, c.members) << c.file;
        files_test::discard(r.model);
    }
}

TEST_F(DamagedFileTest, SoundFilesReadWithoutANote) {
    int files = 0;
    for (const std::string& dir : {data(""), std::string(KESTREL_TEST_DATA) + "/../../examples/"}) {
        DIR* d = opendir(dir.c_str());
        ASSERT_NE(d, nullptr);
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n.size() < 5 || n.substr(n.size() - 4) != ".kst") continue;
            files::ReadResult r = files::readModelFile(dir + n, settings);
            ++files;
            EXPECT_EQ(r.status, files::ReadStatus::kModel) << n;
            EXPECT_EQ(files::notesSummary(r, 5), "") << n;
            if (r.model) files_test::discard(r.model);
        }
        closedir(d);
    }
    EXPECT_GE(files, 15);
}

} // namespace
