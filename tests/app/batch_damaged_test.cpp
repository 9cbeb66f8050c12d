// kestrel-solve refuses a damaged model file instead of analysing the part
// the reader could build: status 3 and the first things left out; a frame
// whose members cross is refused with the members and the point.
#include "app/batch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string readBack(std::FILE* f) {
    std::rewind(f);
    std::string t;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) t.append(buf, n);
    std::fclose(f);
    return t;
}

TEST(BatchDamaged, ADamagedFileIsRefusedWithWhatWasLeftOut) {
    const struct {
        const char* file;
        const char* says;
    } cases[] = {
        {"opcode", "record 4 has an unknown operator code (57)"},
        {"duplicate-id", "record 4 (member 3) makes member 3, which exists already"},
        {"id-range", "record 4 holds an id out of range (1000000001)"},
        {"corner", "record 3 (member 3) names a node or face that does not exist; record 4 "
                   "(member 2) names a node or face that does not exist"},
        {"truncated", "the file ends before the end of the model"},
        {"reference", "member 1 refers to material 9, which the file does not hold"},
        {"combination", "combination \"ULS 1\" cannot be read"},
        {"negative", "material Steel has a negative modulus of elasticity (-2.05e+08); section "
                     "W310x60 has a negative area; node 1 has a negative spring stiffness KRz "
                     "(-5)"},
    };
    for (const auto& c : cases) {
        const std::string path =
            std::string(KESTREL_TEST_DATA) + "/files/damaged/damaged-" + c.file + ".kst";
        std::FILE* o = std::tmpfile();
        std::FILE* e = std::tmpfile();
        EXPECT_EQ(batch::analyseModelFile(path, "", o, e), batch::kBadFile) << c.file;
        EXPECT_EQ(readBack(o), "") << c.file;
        EXPECT_EQ(readBack(e),
                  "kestrel-solve: " + path + ": damaged file, not analysed: " + c.says + "\n");
    }
}

} // namespace
