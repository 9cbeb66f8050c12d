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

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class WriterTest : public FrameTest {
protected:
    // Columns A (0,0)-(0,3) and C (4,3)-(4,0) drawn downward, beam B
    // (0,3)-(4,3) and D (4,3)-(8,3) hinged at its end 2.
    void everyKind() {
        line(0, 0, 0, 3);
        line(0, 3, 4, 3);
        line(4, 3, 4, 0);
        line(4, 3, 8, 3);
        attrib::PropertyBlock* m1 = block(attrib::kMaf, {2.05e8, 78.5, 1.2e-5});
        attrib::PropertyBlock* m2 = block(attrib::kMaf, {3e7, 25, 1e-5});
        attrib::PropertyBlock* s1 = block(attrib::kSpf, {0.01, 1e-4, 0.2, 0.1});
        attrib::PropertyBlock* s2 = block(attrib::kSpf, {0.02, 0, 0.3, 0.15}); // I = 0
        attrib::MemberAttrib& a = bar(0, 1);
        attrib::MemberAttrib& b = bar(2, 3);
        attrib::MemberAttrib& c = bar(4, 1);
        attrib::MemberAttrib& d = bar(6, 3);
        for (attrib::MemberAttrib* x : {&a, &b, &d}) give(*x, kMaterial, m1);
        give(c, kMaterial, m2);
        for (attrib::MemberAttrib* x : {&a, &b, &c}) give(*x, kSection, s1);
        give(d, kSection, s2);
        a.noAxial = 1;
        c.rigid = 1;
        d.hingeEnd = 1; // liberation 4 all the same: its section has I = 0
        give(b, attrib::kEndMoments, block(attrib::kMbm, {0, 5})); // one record only
        give(b, attrib::kUniform, block(attrib::kUlf, {0, -5}, 0));
        give(d, attrib::kLinear, block(attrib::kLlf, {0, -2, 0, -4}, 1));
        give(c, attrib::kThermal, block(attrib::kTpf, {10, 30}));

        attrib::NodeAttrib& n1 = at(0, 0);
        support(n1, "111");
        n1.prescribedFlag = 1;
        n1.prescribed[1] = -0.01;
        n1.prescribed[2] = 0.002;
        support(at(4, 0), "100");
        at(4, 0).inclination = 30;
        give(at(0, 3), block(attrib::kNff, {10, 0, 0}));
        attrib::NodeAttrib& n5 = at(8, 3); // rotation free, its only member hinged there
        support(n5, "020");
        n5.spring[0] = 7; // not a spring direction: not written
        n5.spring[1] = 500;
    }
};

TEST_F(WriterTest, EveryAttributeKindMatchesTheReference) {
    everyKind();
    const Numbering n = numberModel(s);
    std::string text;
    ASSERT_TRUE(writeModelSection(text, n, root()));
    EXPECT_EQ(text, slurp(KESTREL_TEST_DATA "/analysis/every_kind.dat"));

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
    // Axial on the column with no axial deformation: A becomes 1e7, and EA/L
    // is written with every digit.
    text.clear();
    ASSERT_TRUE(writeInfluenceSection(text, n, root(), 1, member(0, 1), 1, 3));
    EXPECT_NE(text.find("1     1  0\n-683333333333333.4  0  0  0  0  0\n"), std::string::npos)
        << text;
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
