// The result-section parser on hand-written texts: formats per kind combination, small values,
// skipped labels and a missing end.
#include "analysis/engine/result_section.h"

#include <gtest/gtest.h>

#include <vector>

namespace kestrel::engine {
namespace {

const char* const kDisplacements = "%HEADER     \n%NODE\n2\n%REMARK\n 'x' \n"
                                   "%RESULT.CASE.STEP.NODAL.DISPLACEMENT \n"
                                   "     2   'Displacements' \n"
                                   "     1    +1.000e-03  -2.000e-03  +0.000e+00  +0.000e+00  "
                                   "+0.000e+00  +3.000e-03\n"
                                   "     2    +0.000e+00  +0.000e+00  +0.000e+00  +0.000e+00  "
                                   "+0.000e+00  -4.000e-06\n";

// An element's end forces in the file's order.
std::vector<double> ends(const ResultElement& e) {
    return {e.N1, e.V1, e.M1, e.N2, e.V2, e.M2};
}
using V = std::vector<double>;

TEST(ResultParser, AllThreeKinds) {
    std::string text = std::string(kDisplacements) +
                       "\n%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR\n   3\n"
                       "  'SIGMA_XX '  'SIGMA_YY '  'MOMENT_Z '\n"
                       "\n%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR.DATA\n   1\n   4\n"
                       "   +1.00000e+00   +2.00000e+00   +3.00000e-06\n"
                       "   -1.00000e+00   -2.00000e+00   +6.00000e+00\n\n%END\n";
    ResultSection r = ParseResultSection(text);
    EXPECT_TRUE(r.reached_end);
    ASSERT_EQ(r.nodes.size(), 2u);
    EXPECT_EQ(r.nodes[0].number, 1);
    // Displacements are not cut at 1e-5.
    EXPECT_EQ((V{r.nodes[0].dx, r.nodes[0].dy, r.nodes[0].rz, r.nodes[1].rz}),
              (V{1e-3, -2e-3, 3e-3, -4e-6}));
    ASSERT_EQ(r.elements.size(), 1u);
    EXPECT_EQ(r.elements[0].number, 4);
    EXPECT_EQ(ends(r.elements[0]), (V{1, 2, 0, -1, -2, 6})); // 3e-6 is stored as 0
}

TEST(ResultParser, TwoKindsLeaveTheThirdAtZero) {
    std::string text = "%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR\n   2\n  'SIGMA_YY '  'MOMENT_Z '\n"
                       "%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR.DATA\n   2\n"
                       "   1\n   +5.00000e+00   +7.00000e+00\n   -5.00000e+00   +0.00000e+00\n"
                       "   2\n   +1.00000e+00   +2.00000e+00\n   -1.00000e+00   -9.99990e-06\n"
                       "%END\n";
    ResultSection r = ParseResultSection(text);
    EXPECT_FALSE(r.has_axial);
    EXPECT_TRUE(r.has_shear && r.has_bending);
    ASSERT_EQ(r.elements.size(), 2u);
    EXPECT_EQ(ends(r.elements[0]), (V{0, 5, 7, 0, -5, 0}));
    EXPECT_EQ(ends(r.elements[1]), (V{0, 1, 2, 0, -1, 0}));
}

TEST(ResultParser, KindNamesAreComparedWithTheirBlanks) {
    // "SIGMA_XX" without its trailing blank, and an out-of-plane kind, are not the axial kind.
    std::string text = "%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR\n   2\n  'SIGMA_XX'  'MOMENT_Z '\n"
                       "%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR.DATA\n   1\n   1\n   +4.0\n   -4.0\n"
                       "%END\n";
    ResultSection r = ParseResultSection(text);
    EXPECT_FALSE(r.has_axial);
    EXPECT_TRUE(r.has_bending);
    ASSERT_EQ(r.elements.size(), 1u);
    EXPECT_EQ(ends(r.elements[0]), (V{0, 0, 4, 0, 0, -4}));
}

TEST(ResultParser, EndOfFileBeforeEndKeepsWhatWasReadAndReadingStopsAtEnd) {
    ResultSection r = ParseResultSection(kDisplacements);
    EXPECT_FALSE(r.reached_end);
    EXPECT_EQ(r.nodes.size(), 2u);
    EXPECT_TRUE(r.elements.empty());
    r = ParseResultSection(std::string("%END\n") + kDisplacements);
    EXPECT_TRUE(r.reached_end);
    EXPECT_TRUE(r.nodes.empty());
    EXPECT_FALSE(ReadResultFile("/nonexistent/kestrel/frame.pos", &r)); // a missing file
}

} // namespace
} // namespace kestrel::engine
