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
    EXPECT_TRUE(r.solution.cases.empty());
}

// With several cases the message names the case, and the cases before it, already written,
// are taken back out of the result file.
TEST(NotFinite, TheCaseNamedAndNoCaseWritten) {
    TempDir dir;
    NeutralModel m = beam(2, "111", "000");
    m.E = 1e-300;
    m.add("\n%LOAD\n2\n\n%LOAD.CASE\n2  'Huge'\n");
    m.nodal_force(2, 0, -1e300, 0);
    const RunResult r = run_model(dir, m);
    EXPECT_EQ(r.code, kAnalyseSingular);
    EXPECT_EQ(r.message, "The results are not finite numbers (displacement of node 2 in load case "
                         "2): loads, prescribed displacements or properties of the frame are out "
                         "of range.");
    EXPECT_EQ(r.pos.find("%RESULT"), std::string::npos);
    EXPECT_EQ(r.pos.substr(r.pos.size() - 6), "\n%END\n");
    EXPECT_TRUE(r.solution.cases.empty());
}

} // namespace
} // namespace kestrel::engine::test
