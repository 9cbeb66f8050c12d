// The inquiry of the right button on the headless program: the attribute
// texts outside result mode, the reaction and end values after an analysis,
// the blocks loaded into the panels, and a pick beside the frame clearing the
// information area. (The totals message and the sign convention dialog: the
// scenarios totals-* and sign-convention-dialog.)
#include "tests/shell/beam.h"
#include "tests/shell/fixture.h"
#include "tests/support/golden.h"

#include "attrib/blocks.h"
#include "shell/panels/propertypanel.h"
#include "shell/results/inquiry.h"
#include "shell/results/resultcmds.h"

#include <filesystem>

namespace shelltest {
namespace {

class InquiryTest : public BeamTest {
protected:
    // The beam of the result tests; its material and nodal force block.
    void beam() {
        Solid* s = state().model;
        supportedBeam(s, true);
        mat = attrib::memberOf(s->edges)->blocks[attrib::kMaterial];
        for (Vertex* v = s->vertices; v; v = v->next)
            if (attrib::PropertyBlock* f = attrib::blockOf(v, attrib::kNff)) force = f;
    }
    std::string info() { return value("infotxt"); }
    attrib::PropertyBlock* mat = nullptr;
    attrib::PropertyBlock* force = nullptr;
};

// The texts, one after the other, as the golden inquiry-beam holds them: the
// middle node's coordinates and force, a member's length and material,
// nothing beside the frame; after the analysis the pinned node carries half
// the load (Fy = 5.0 kN) and the member from it has the moment 0 at its start
// and PL/4 = 10 kNm at the middle, rising linearly along it (a result step of
// 1 m lists it).
TEST_F(InquiryTest, AttributeAndResultTexts) {
    beam();
    std::string texts;
    auto inquire = [&](double x, double y) {
        shell::inquireAt(x, y, 0.01);
        texts += "-- at " + std::to_string(x) + ", " + std::to_string(y) + "\n" + info() + "\n";
    };
    inquire(2, 0);
    EXPECT_EQ(shell::currentBlock(attrib::kNff), force); // its block becomes current
    inquire(1, 0);
    EXPECT_EQ(shell::currentBlock(attrib::kMaf), mat);
    inquire(1, 3);
    saveAsBeam();
    ASSERT_TRUE(shell::resultCommand(3));
    inquire(0, 0);
    inquire(1, 0);
    state().settings.resultStep = 1;
    inquire(1, 0);
    kestrel_test::expectGolden("shell", "inquiry-beam", texts);
}

} // namespace
} // namespace shelltest
