// The model check refuses values no panel accepts and values the engine
// cannot use, naming the member or node by its analysis number and the
// property; an unstable frame with sections of I = 0 names those members.
#include "tests/analysis/fixture.h"

#include <functional>

namespace analysis::test {
namespace {

class CheckValuesTest : public FrameTest {
public:
    using FrameTest::at;
    using FrameTest::bar;
    using FrameTest::mat;
    using FrameTest::node;
    using FrameTest::sec;
};

TEST_F(CheckValuesTest, BadValuesAreNamed) {
    // An L: a column from node 1 (0,0) to node 2 (0,4), member 1, and a beam
    // to node 3 (6,4), member 2.
    const struct {
        std::function<void(CheckValuesTest&)> spoil;
        const char* says; // "" : the check passes
    } cases[] = {
        {[](CheckValuesTest& t) { attrib::valuesOf(t.mat)->values[0] = 0; },
         "Member 1: the modulus of elasticity E of material P1 is 0."},
        {[](CheckValuesTest& t) { attrib::valuesOf(t.mat)->values[0] = -2e8; },
         "Member 1: the modulus of elasticity E of material P1 is negative (-2e+08)."},
        {[](CheckValuesTest& t) { attrib::sectionOf(t.sec)->params[0] = 0; },
         "Member 1: the area A of section P1 is 0."},
        {[](CheckValuesTest& t) {
             attrib::sectionOf(t.sec)->params[0] = 0; // A unused by members without axial strain
             t.bar(0, 2).noAxial = 1;
             t.bar(3, 4).rigid = 1;
         },
         ""},
        {[](CheckValuesTest& t) { attrib::sectionOf(t.sec)->params[1] = -1e-4; },
         "Member 1: the moment of inertia I of section P1 is negative (-0.0001)."},
        {[](CheckValuesTest& t) { attrib::sectionOf(t.sec)->params[1] = 0; }, ""}, // a truss member
        {[](CheckValuesTest& t) { attrib::sectionOf(t.sec)->params[2] = -0.2; },
         "Member 1: section P1 has a negative dimension."},
        {[](CheckValuesTest& t) {
             t.at(6, 4).support[1] = '2';
             t.at(6, 4).spring[1] = -5;
         },
         "Node 3: the spring stiffness KDy is negative (-5)."},
        {[](CheckValuesTest& t) {
             Vertex* v = t.node(6, 4);
             v->x = 0; // onto node 2: the beam's ends meet
         },
         "Member 2 has zero length: its ends are at the same point."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        TearDown();
        SetUp();
        line(0, 0, 0, 4);
        line(0, 4, 6, 4);
        standardProperties();
        c.spoil(*this);
        std::string text;
        const CheckResult r = checkModel(s, root(), text);
        EXPECT_EQ(r, *c.says ? kCheckBadValue : kCheckOk);
        EXPECT_EQ(text, *c.says ? "\n  " + std::string(c.says) + "  \n" : "");
    }
}

TEST_F(CheckValuesTest, AnUnstableFrameNamesItsMembersWithoutInertia) {
    // A cantilever whose section has I = 0: both ends released, a mechanism.
    line(0, 0, 4, 0);
    standardProperties();
    attrib::sectionOf(sec)->params[1] = 0;
    support(at(0, 0), "111");
    const RunOutcome run = runAnalysis(s, root(), modelPath());
    EXPECT_EQ(run.status, RunStatus::kUnstable);
    EXPECT_EQ(run.message, std::string(kMsgUnstable) +
                               "\n   The section of member 1 has I = 0, which releases both its "
                               "ends.   \n");
}

} // namespace
} // namespace analysis::test
