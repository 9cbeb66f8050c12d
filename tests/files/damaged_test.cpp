// Damaged model files: what the reader leaves out is named, record by
// record; a sound file reads without a note; a frame whose members cross,
// overlap or pass through a node is refused with the members and the point;
// long lists read and import in linear time, dimension lines up to a limit.
#include "tests/files/fixture.h"

#include <chrono>
#include <dirent.h>
#include <fstream>

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
        {"damaged-id-range.kst", 2, "record 4 holds an id out of range (1000000001)"},
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
            // full.kst gives every section type made-up dimensions, some of
            // which make a negative area or inertia: noted, as they must be.
            if (n == "full.kst")
                EXPECT_EQ(files::notesSummary(r, 1).rfind("section ", 0), 0u) << n;
            else
                EXPECT_EQ(files::notesSummary(r, 5), "") << n;
            if (r.model) files_test::discard(r.model);
        }
        closedir(d);
    }
    EXPECT_GE(files, 15);
}

TEST_F(DamagedFileTest, LongListsReadInLinearTime) {
    // 100,000 materials and one dimension line more than a model keeps.
    std::string text = files_test::writeText(s, attrib::root(), settings);
    std::string list = "100000\n";
    for (int i = 0; i < 100000; ++i) list += "M" + std::to_string(i) + " 2e8 77 1e-5\n";
    std::string dims = std::to_string(files::kMaxDimensionLines + 1) + "\n";
    for (std::size_t i = 0; i <= files::kMaxDimensionLines; ++i) dims += "0 0 1 0 0 1 1 1\n";
    // Lists of the empty frame: forces, end moments, uniform, linear and
    // thermal loads (0 each), then materials, sections and dimension lines.
    const std::size_t at = text.find("0\n0\n0\n0\n0\n0\n0\n0\n");
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, 16, "0\n0\n0\n0\n0\n" + list + "0\n" + dims);
    const std::string path = ::testing::TempDir() + "long-lists.kst";
    std::ofstream(path) << text;
    const auto start = std::chrono::steady_clock::now();
    files::ReadResult r = files::readModelFile(path, settings);
    ASSERT_EQ(r.status, files::ReadStatus::kModel);
    EXPECT_EQ(attrib::blockCount(*r.root, attrib::kMaf), 100000);
    EXPECT_EQ(r.root->dimLines.size(), files::kMaxDimensionLines);
    EXPECT_EQ(files::notesSummary(r, 5),
              "the file holds 10001 dimension lines; those after the first 10000 were left out");
    files_test::discard(r.model);
    // Imported into a list that holds one of the labels: the others are added.
    attrib::newBlock(attrib::root(), attrib::kMaf, "M5");
    EXPECT_EQ(files::importProperties(path, attrib::root(), settings, attrib::kMaf),
              files::ImportStatus::kImported);
    EXPECT_EQ(attrib::blockCount(attrib::root(), attrib::kMaf), 100000);
    // A list walked for every block took 11 s.
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3);
    std::remove(path.c_str());
}

TEST_F(DamagedFileTest, MembersThatMeetAwayFromANodeAreNamed) {
    files::ReadResult r = files::readModelFile(data("damaged/crossing.kst"), settings);
    EXPECT_EQ(r.status, files::ReadStatus::kBadFile);
    EXPECT_EQ(r.reason, "Members 1 and 2 cross at (0, 2.5): the file cannot be opened.");
    // Member 1 from (0,0) to (2,2); a lone node 3 at p, then member 2 from it to q.
    std::string head = files_test::writeText(s, attrib::root(), settings);
    head.replace(head.find("+1.00000e+30 -1.00000e+30"), 25, "0 0");
    head.erase(head.rfind(" 0\n"));
    const std::string node = "0 0 0 0 0\n0\n0 0 0 0\n0 0 0\n";
    const std::string member = "0 0 0 0 0\n0\n0\n0\n0\n0\n0\n";
    const struct {
        const char* p;
        const char* q;
        const char* reason;
    } cases[] = {
        {"0 2", "2 0", "Members 1 and 2 cross at (1, 1): the file cannot be opened."},
        {"1 0", "1 1", "Members 1 and 2 meet at (1, 1) without a node: the file cannot be opened."},
        {"3 3", "1 1", "Members 1 and 2 meet at (2, 2) without a node: the file cannot be opened."},
        {"1 1", nullptr, "Node 3 lies on member 1 at (1, 1): the file cannot be opened."},
    };
    for (const auto& c : cases) {
        std::string t = head + " 1\n 2 1 1 1 1 1 1 2 1 1 1\n2 2\n0\n0 2 0 2\n" + member + node;
        t += " 1\n10 1 1 3 0 0 0 0 0 0 0\n" + std::string(c.p) + "\n" + node;
        if (c.q)
            t += " 1\n 2 1 1 1 3 3 3 4 3 1 2\n" + std::string(c.q) + "\n0\n0 0 0 0\n" + member +
                 node;
        files::ReadResult x = readText(t + " 0\n");
        EXPECT_EQ(x.status, files::ReadStatus::kBadFile) << c.p;
        EXPECT_EQ(x.reason, c.reason);
    }
}

} // namespace
