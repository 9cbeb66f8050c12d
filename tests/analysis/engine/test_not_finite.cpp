// A solution beyond the range of a double (a load of 1e300 on a modulus of
// 1e-300) writes no result: the run ends as a singular one does, with a
// message that says where the values stopped being finite.
#include "neutral_model.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace kestrel::engine::test {
namespace {

TEST(NotFinite, NoResultAndTheNodeNamed) {
    TempDir dir;
    NeutralModel m = cantilever();
    m.E = 1e-300;
    std::string text = m.text();
    const std::string load = "2     0  -10  0";
    ASSERT_NE(text.find(load), std::string::npos);
    text.replace(text.find(load), load.size(), "2     0  -1e300  0");
    const RunResult r = run_text(dir, "huge", text);
    EXPECT_EQ(r.code, kAnalyseSingular);
    EXPECT_EQ(r.message, "The results are not finite numbers (displacement of node 2): loads, "
                         "prescribed displacements or properties of the frame are out of range.");
    std::ifstream pos(dir.path("huge.pos"));
    std::stringstream written;
    written << pos.rdbuf();
    EXPECT_EQ(written.str().find("%RESULT"), std::string::npos) << "no result section";
    EXPECT_TRUE(r.solution.displacements.empty());
}

} // namespace
} // namespace kestrel::engine::test
