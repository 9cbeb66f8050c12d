// The result-section parser on hand-written texts: formats per kind combination, small values,
// skipped labels and a missing end, each parse compared whole.
#include "analysis/engine/result_section.h"

#include <gtest/gtest.h>

#include <charconv>
#include <string>

namespace kestrel::engine {
namespace {

const char* const kDisplacements = "%HEADER     \n%NODE\n2\n%REMARK\n 'x' \n"
                                   "%RESULT.CASE.STEP.NODAL.DISPLACEMENT \n"
                                   "     2   'Displacements' \n"
                                   "     1    +1.000e-03  -2.000e-03  +0.000e+00  +0.000e+00  "
                                   "+0.000e+00  +3.000e-03\n"
                                   "     2    +0.000e+00  +0.000e+00  +0.000e+00  +0.000e+00  "
                                   "+0.000e+00  -4.000e-06\n";

// The whole parse: the end flag and the kinds present, then every node and every element with
// its end forces in the file's order, each value in the shortest form that reads back exactly.
std::string dump(const ResultSection& r) {
    std::string out = std::string(r.reached_end ? "end" : "no end") + (r.has_axial ? " N" : "") +
                      (r.has_shear ? " V" : "") + (r.has_bending ? " M" : "") + "\n";
    auto row = [&](const char* what, int number, std::initializer_list<double> values) {
        out += what + std::to_string(number);
        for (double v : values) {
            char b[32];
            out += ' ';
            out.append(b, std::to_chars(b, b + sizeof b, v).ptr);
        }
        out += "\n";
    };
    for (const ResultNode& n : r.nodes) row("node ", n.number, {n.dx, n.dy, n.rz});
    for (const ResultElement& e : r.elements)
        row("element ", e.number, {e.N1, e.V1, e.M1, e.N2, e.V2, e.M2});
    return out;
}

TEST(ResultParser, EachFormOfTheResultSection) {
    const struct {
        const char* name;
        std::string text, parsed;
    } cases[] = {
        // Displacements are not cut at 1e-5; end forces are (3e-6 is stored as 0).
        {"all three kinds",
         std::string(kDisplacements) + "\n%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR\n   3\n"
                                       "  'SIGMA_XX '  'SIGMA_YY '  'MOMENT_Z '\n"
                                       "\n%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR.DATA\n   1\n   4\n"
                                       "   +1.00000e+00   +2.00000e+00   +3.00000e-06\n"
                                       "   -1.00000e+00   -2.00000e+00   +6.00000e+00\n\n%END\n",
         "end N V M\nnode 1 0.001 -0.002 0.003\nnode 2 0 0 -4e-06\nelement 4 1 2 0 -1 -2 6\n"},
        {"two kinds leave the third at zero",
         "%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR\n   2\n  'SIGMA_YY '  'MOMENT_Z '\n"
         "%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR.DATA\n   2\n"
         "   1\n   +5.00000e+00   +7.00000e+00\n   -5.00000e+00   +0.00000e+00\n"
         "   2\n   +1.00000e+00   +2.00000e+00\n   -1.00000e+00   -9.99990e-06\n%END\n",
         "end V M\nelement 1 0 5 7 0 -5 0\nelement 2 0 1 2 0 -1 0\n"},
        // "SIGMA_XX" without its trailing blank, and an out-of-plane kind, are not the axial kind.
        {"kind names compared with their blanks",
         "%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR\n   2\n  'SIGMA_XX'  'MOMENT_Z '\n"
         "%RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR.DATA\n   1\n   1\n   +4.0\n   -4.0\n%END\n",
         "end M\nelement 1 0 0 4 0 0 -4\n"},
        // The end of the text before "%END" keeps what was read; reading stops at "%END".
        {"no end", kDisplacements, "no end\nnode 1 0.001 -0.002 0.003\nnode 2 0 0 -4e-06\n"},
        {"stops at the end", std::string("%END\n") + kDisplacements, "end\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(dump(ParseResultSection(c.text)), c.parsed) << c.name;
    ResultSection r;
    EXPECT_FALSE(ReadResultFile("/nonexistent/kestrel/frame.pos", &r)); // a missing file
}

} // namespace
} // namespace kestrel::engine
