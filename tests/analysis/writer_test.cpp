// The neutral file written for a frame with every attribute kind, compared
// byte for byte with a reference worked out by hand; the influence-line
// variant; and the writer's refusals.
#include "fixture.h"

#include <tuple>

namespace analysis::test {
namespace {

using attrib::kSection;

using WriterTest = FrameTest;

TEST_F(WriterTest, EveryAttributeKindAndTheInfluenceVariantMatchTheReferences) {
    everyKind();
    const Numbering n = numberModel(s);
    std::string text;
    ASSERT_TRUE(writeModelSection(text, n, root()));
    EXPECT_EQ(text, kestrel_test::readText(KESTREL_TEST_DATA "/analysis/every_kind.dat"));

    // The influence-line variant writes two end-force records and no loads.
    // Bending at x = 1 on B (E = 2.05e8, I = 1e-4, L = 4, left to right): EI/L^2 = 1281.25,
    // EI/L = 5125; axial on the column A, with no axial deformation: A becomes 1e7. The load
    // cases written are kept in analysis/influence_loads.txt.
    std::string all;
    for (auto [kind, x, y, length] : {std::tuple{3, 2.0, 3.0, 4.0}, {1, 0.0, 1.0, 3.0}}) {
        std::string section;
        ASSERT_TRUE(writeInfluenceSection(section, n, root(), kind, member(x, y), 1, length));
        all += "== kind " + std::to_string(kind) + section.substr(section.find("\n%LOAD.CASE"));
    }
    kestrel_test::expectGolden("analysis", "influence_loads", all);

    // A prescribed value of a free direction is written as 0; an inclined
    // node with both translations fixed is an ordinary support.
    at(0, 0).support[1] = '0';
    at(4, 0).support[1] = '1';
    text.clear();
    ASSERT_TRUE(writeModelSection(text, numberModel(s), root()));
    EXPECT_NE(text.find("\n1     0  0  0  0  0  0.002\n"), std::string::npos);
    EXPECT_EQ(text.find("INCLINED"), std::string::npos);
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
