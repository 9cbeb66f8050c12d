// The neutral file written for a frame with every attribute kind, compared
// byte for byte with a reference worked out by hand; the influence-line
// variant; and the writer's refusals.
#include "fixture.h"

#include <fstream>
#include <sstream>

namespace analysis::test {
namespace {

using attrib::kMaterial;
using attrib::kSection;

using WriterTest = FrameTest;

TEST_F(WriterTest, EveryAttributeKindMatchesTheReference) {
    everyKind();
    const Numbering n = numberModel(s);
    std::string text;
    ASSERT_TRUE(writeModelSection(text, n, root()));
    EXPECT_EQ(text, kestrel_test::readText(KESTREL_TEST_DATA "/analysis/every_kind.dat"));

    // A prescribed value of a free direction is written as 0; an inclined
    // node with both translations fixed is an ordinary support.
    at(0, 0).support[1] = '0';
    at(4, 0).support[1] = '1';
    text.clear();
    ASSERT_TRUE(writeModelSection(text, numberModel(s), root()));
    EXPECT_NE(text.find("\n1     0  0  0  0  0  0.002\n"), std::string::npos);
    EXPECT_EQ(text.find("INCLINED"), std::string::npos);
}

TEST_F(WriterTest, InfluenceLineWritesTwoEndForceRecordsAndNoLoads) {
    everyKind();
    const Numbering n = numberModel(s);
    // Bending at x = 1 on B (E = 2.05e8, I = 1e-4, L = 4, left to right):
    // EI/L^2 = 1281.25, EI/L = 5125.
    std::string text;
    ASSERT_TRUE(writeInfluenceSection(text, n, root(), 3, member(2, 3), 1, 4));
    const std::string tail = "\n%LOAD.CASE.BEAM.FORCE\n2\n"
                             "2     1  0\n0  -3843.75  0  0  0  -12812.5\n"
                             "2     1  1\n0  3843.75  0  0  0  -2562.5\n\n%END\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(text.find("UNIFORM"), std::string::npos);
    EXPECT_EQ(text.find("DISPLACEMENT"), std::string::npos);
    // Axial on the column with no axial deformation: A becomes 1e7.
    text.clear();
    ASSERT_TRUE(writeInfluenceSection(text, n, root(), 1, member(0, 1), 1, 3));
    EXPECT_NE(text.find("1     1  0\n-6.83333e+14  0  0  0  0  0\n"), std::string::npos);
}

TEST_F(WriterTest, RefusesMissingProperties) {
    line(0, 0, 4, 0);
    line(4, 0, 4, 4);
    std::string text;
    EXPECT_FALSE(writeModelSection(text, numberModel(s), root())); // no lists
    standardProperties();
    bar(4, 2).blocks[kSection] = nullptr;
    EXPECT_FALSE(writeModelSection(text, numberModel(s), root()));
    EXPECT_FALSE(writeModelSection(text, numberModel(nullptr), root()));
}

} // namespace
} // namespace analysis::test
