// The inquiry texts as exact strings in two unit sets, kept as golden files:
// every support layout of a node, every attribute of a member, the node and
// member results, the member text and cursor line of influence lines, and
// the totals message.
#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/section.h"
#include "results/influence.h"
#include "results/inquiry.h"
#include "results/resultquery.h"
#include "tests/support/golden.h"
#include "units/units.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <tuple>

namespace {

using results::MemberInput;
using K = results::ResultKind;

attrib::AppSettings withPreset(int preset, double resultStep = 0) {
    attrib::AppSettings s = attrib::initialSettings();
    const units::UnitSettings& u = units::presetSettings(preset);
    s.units = u.unit;
    s.formats = u.format;
    s.resultStep = resultStep;
    return s;
}

attrib::ValueBlock* values(attrib::PropertyKind k, const char* label,
                           std::initializer_list<double> v, int direction = 0) {
    auto* b = attrib::valuesOf(attrib::makeBlock(k));
    std::snprintf(b->label, sizeof b->label, "%s", label);
    b->direction = direction;
    int i = 0;
    for (double x : v) b->values[i++] = x;
    return b;
}

// The blocks the attribute texts name, alive for the whole test program.
struct Blocks {
    std::unique_ptr<attrib::ValueBlock> force{values(attrib::kNff, "P1", {10, -20, 5})};
    std::unique_ptr<attrib::ValueBlock> mat{values(attrib::kMaf, "steel", {2e8, 78.5, 1.2e-5})};
    std::unique_ptr<attrib::ValueBlock> em{values(attrib::kMbm, "em", {3, -4})};
    std::unique_ptr<attrib::ValueBlock> ul{values(attrib::kUlf, "q", {0, -10}, 1)};
    std::unique_ptr<attrib::ValueBlock> ll{values(attrib::kLlf, "lin", {1, -2, 3, -4})};
    std::unique_ptr<attrib::ValueBlock> tp{values(attrib::kTpf, "t", {20, -10})};
    std::unique_ptr<attrib::SectionBlock> sec = [] {
        auto b = std::make_unique<attrib::SectionBlock>();
        std::snprintf(b->label, sizeof b->label, "r30");
        b->section = attrib::makeSection(attrib::kSecRectangle);
        b->section.params = {0.3, 0.2}; // d, b
        return b;
    }();
};
const Blocks& blocks() {
    static const Blocks b;
    return b;
}

// Simply supported, 6 m, 10 kN/m down: V = 30 kN at the ends, one local
// extreme qL²/8 = 45 kNm at mid-span.
const MemberInput kUniformBeam{.x2 = 6, .V1 = 30, .V2 = 30, .qy1 = -10, .qy2 = -10};
// 6 m, load from 6 kN/m down to 6 kN/m up, V1 = 5 kN: the shear 5 - 6x + x²
// vanishes at 1 m (M = 7/3 kNm) and 5 m (M = -25/3 kNm); M(L) = -6 kNm.
const MemberInput kReversedLoad{.x2 = 6, .V1 = 5, .V2 = -5, .M2 = -6, .qy1 = -6, .qy2 = 6};
// A 4 m column under 7 kN of compression.
const MemberInput kCompressedColumn{.y2 = 4, .N1 = 7, .N2 = -7};
// A 4 m column from the origin up, hinged at both ends, 10 kN/m across it,
// EI = 100, the top moved 1 mm along it: the mid-span deflection is
// 5qL⁴/384EI = 1/3 m, the end rotations ∓qL³/24EI = ∓0.2667.
const MemberInput kHingedColumn = [] {
    MemberInput m{.y2 = 4, .qy1 = -10, .qy2 = -10, .t1 = -0.8 / 3, .u2 = 0.001, .t2 = 0.8 / 3};
    m.hinge1 = m.hinge2 = true;
    m.E = 1e5, m.A = 1, m.I = 1e-3;
    return m;
}();

// Influence lines on a 4 m simply supported beam with a 2 m overhang, and on
// a 4 m column with a 2 m extension above, with the end displacements the
// analysis of the unit dislocation gives:
// - bending at mid-span: end rotations -1/2 and 1/2 make the triangle of
//   peak L/4 = 1 m; the overhang goes on straight to -1 m;
// - shear at 1 m: end rotations 1/4 make -x/L before the section and
//   1 - x/L after it; the overhang goes on to -1/2;
// - axial at 1 m of the column: the top rises by 1, so the line is 0 below
//   the section and -1 above it and on the extension.
struct InfluenceCase {
    double a;
    MemberInput span, extension;
};
const InfluenceCase kBendingLine{
    2,
    {.x2 = 4, .t1 = -0.5, .t2 = 0.5, .E = 1, .A = 1, .I = 1},
    {.x1 = 4, .x2 = 6, .t1 = 0.5, .w2 = 1, .t2 = 0.5, .E = 1, .A = 1, .I = 1}};
const InfluenceCase kShearLine{
    1,
    {.x2 = 4, .t1 = 0.25, .t2 = 0.25, .E = 1, .A = 1, .I = 1},
    {.x1 = 4, .x2 = 6, .t1 = 0.25, .w2 = 0.5, .t2 = 0.25, .E = 1, .A = 1, .I = 1}};
const InfluenceCase kAxialLine{1, {.y2 = 4, .u2 = 1}, {.y1 = 4, .y2 = 6, .u1 = 1, .u2 = 1}};

// What each case writes, from the number of the unit preset.
using Maker = std::function<std::string(int preset)>;
// A node at (1.5, -2) with the support codes and prescribed flag; its
// springs, angle and prescribed values show only in their layouts.
Maker node(const char* support, int prescribedFlag, bool force) {
    return [=](int p) {
        attrib::NodeAttrib a;
        std::memcpy(a.support, support, 3);
        attrib::NodeLoads& l = attrib::loadsFor(a, attrib::activeCase());
        l.prescribedFlag = prescribedFlag;
        a.spring[1] = 1000, a.spring[2] = 50;
        a.inclination = 30.4;
        l.prescribed[0] = 0.01, l.prescribed[1] = -0.02, l.prescribed[2] = 0.5;
        l.force = force ? blocks().force.get() : nullptr;
        return results::nodeAttribText(withPreset(p), 1.5, -2, a);
    };
}
Maker reactions(bool supported) {
    return [=](int p) {
        const double r[3] = {1, 2, 3}, d[3] = {0.001, -0.002, 0.003};
        return results::nodeResultText(withPreset(p), supported, r, d);
    };
}
// A member of 4 m: with no block, with every block and the no-axial
// constraint (the uniform load hides the linear one), or rigid (rigid wins
// over no-axial) with only the linear load.
Maker attributes(int variant) {
    return [=](int p) {
        const Blocks& b = blocks();
        attrib::MemberAttrib a;
        if (variant > 0) {
            a.blocks = {b.mat.get(), b.sec.get()};
            attrib::loadsFor(a, attrib::activeCase()).blocks = {b.em.get(), b.ul.get(), b.ll.get(),
                                                                b.tp.get()};
            a.noAxial = 1;
        }
        if (variant > 1)
            a.rigid = 1, a.loads.front().blocks[attrib::kUniform - attrib::kEndMoments] = nullptr;
        return results::memberAttribText(withPreset(p), 4, a);
    };
}
Maker result(double step, const MemberInput& m, K kind, double h = 0.01) {
    return [=](int p) { return results::memberResultText(withPreset(p, step), m, kind, h); };
}
Maker influence(double step, K kind, const InfluenceCase& c, bool holds) {
    return [=](int p) {
        return results::memberInfluenceText(withPreset(p, step), holds ? c.span : c.extension, kind,
                                            holds, c.a);
    };
}

// Every text, named as it is written into the golden file.
const std::pair<const char*, Maker> kTexts[] = {
    {"free node", node("000", 1, false)},
    {"springs", node("122", 0, true)},
    {"springs, prescribed", node("122", 1, true)},
    {"rigid support", node("110", 0, false)},
    {"rigid, prescribed", node("110", 1, false)},
    {"supported node results", reactions(true)},
    {"free node results", reactions(false)},
    {"bare member", attributes(0)},
    {"every block", attributes(1)},
    {"rigid, linear load", attributes(2)},
    {"bending, one extreme", result(2, kUniformBeam, K::Bending)},
    {"bending, two extremes", result(0, kReversedLoad, K::Bending)},
    {"shear", result(3, kUniformBeam, K::Shear)},
    {"axial, compression", result(0, kCompressedColumn, K::Axial)},
    {"displacements", result(2, kHingedColumn, K::Deformed, 0.5)},
    {"displacements, no step", result(0, kHingedColumn, K::Deformed, 0.5)},
    {"bending influence, section", influence(1, K::Bending, kBendingLine, true)},
    {"bending influence, overhang", influence(1, K::Bending, kBendingLine, false)},
    {"shear influence, section", influence(1, K::Shear, kShearLine, true)},
    {"shear influence, overhang", influence(1, K::Shear, kShearLine, false)},
    {"axial influence, section", influence(1, K::Axial, kAxialLine, true)},
    {"axial influence, extension, no step", influence(0, K::Axial, kAxialLine, false)},
    {"no influence text of the deformed shape", influence(1, K::Deformed, kBendingLine, true)},
};

// The cursor line over a member while an influence line is shown: the
// ordinate at the pointer, on either side of the section.
const struct {
    K kind;
    const InfluenceCase& c;
    bool holds;
    double x;
} kCursors[] = {
    {K::Bending, kBendingLine, true, 2},  {K::Bending, kBendingLine, false, 2},
    {K::Shear, kShearLine, true, 1},      {K::Shear, kShearLine, true, 3},
    {K::Axial, kAxialLine, true, 0},      {K::Axial, kAxialLine, false, 1},
    {K::Deformed, kBendingLine, true, 1},
};

// Every text in the SI and the US set, each compared whole with its golden
// file (tests/data/results/inquiry-si.txt and inquiry-us.txt).
TEST(InquiryTest, ExactTextsInTwoUnitSets) {
    for (int preset : {units::kSIPreset, units::kUSPreset}) {
        // The section description reads the units in force, as in the program.
        units::setCurrentSettings(units::presetSettings(preset));
        const attrib::AppSettings s = withPreset(preset);
        std::string all;
        for (const auto& [what, make] : kTexts)
            all += "=== " + std::string(what) + "\n" + make(preset) + "\n";
        all += "=== cursor lines\n";
        for (const auto& c : kCursors)
            all += results::influenceLine(s, c.holds ? c.c.span : c.c.extension, c.kind, c.holds,
                                          c.c.a, c.x) +
                   "\n";
        // A moment that is zero shows no sign at a pinned end.
        all += results::resultLine(s, kUniformBeam, K::Bending, 0) + "\n=== influence messages\n";
        for (auto [kind, x, length] : {std::tuple{K::Axial, 1.0, 4.0},
                                       {K::Shear, 0.0, 2.5},
                                       {K::Bending, 2.0, 4.0},
                                       {K::Deformed, 2.0, 4.0}})
            all += results::influenceMessage(s, kind, x, length) + "\n";
        all += "=== totals\n" + results::totalsText(false, 0, 0) + results::totalsText(true, 0, 0) +
               results::totalsText(true, 3, 0) + results::totalsText(true, 3, 2);
        kestrel_test::expectGolden("results",
                                   preset == units::kUSPreset ? "inquiry-us" : "inquiry-si", all);
    }
    units::resetUnits();
}

// A value whose fixed-point text would hold more than 15 digits before the
// point takes the exponent form with the format's decimals in the inquiry
// texts (reactions, member results, influence ordinates); the message line
// keeps the number format as it stands.
TEST(InquiryTest, HugeValuesTakeTheExponentForm) {
    const struct {
        int format;
        double value;
        const char* text;
    } cases[] = {
        {2, 1.2345e25, "1.23e+25"},
        {2, -1.2345e25, "-1.23e+25"},
        {2, 999999999999999.0, "999999999999999.00"}, // 15 digits
        {2, 1e15, "1.00e+15"},
        {0, 999999999999999.6, "1e+15"}, // rounds to 16 digits
        {6, -1e25, "-1.000000e+25"},
        {9, 1.2345e25, "1.23e+25"}, // an exponent format prints as it does
        {2, -1e-30, "0.00"},
    };
    for (const auto& c : cases) {
        attrib::AppSettings s = withPreset(units::kSIPreset);
        s.formats[units::kForceFormat] = c.format;
        const double r[3] = {c.value, c.value, 0}, d[3] = {0, 0, 0};
        const std::string v = c.text;
        EXPECT_EQ(results::nodeResultText(s, true, r, d),
                  "\n Node\n Results\n\n Support\n Reactions:\n Fx = " + v + " kN\n Fy = " + v +
                      " kN\n Mz = 0.0 kNm\n\n Nodal\n Displacements:\n Dx = "
                      "0.000e+00 mm\n Dy = 0.000e+00 mm\n Rz = 0.000e+00 rad")
            << c.value;
    }
    // A member under 1e25 kN of tension: ends, steps and the message line.
    const attrib::AppSettings s = withPreset(units::kSIPreset, 2);
    const MemberInput m{.x2 = 2, .N1 = -1e25, .N2 = 1e25};
    EXPECT_EQ(results::memberResultText(s, m, K::Axial, 0.01),
              "\n Member\n Axial Force\n Diagram Results\n\n Init: 1.0e+25 kN\n End: "
              "1.0e+25 kN\n\n Results Along Member:\n x [m]\tAxial\n \tForce [kN]\n "
              "0.00\t1.0e+25\n 2.00\t1.0e+25");
    EXPECT_EQ(results::resultLine(s, m, K::Axial, 1),
              "Axial force at local pos.: x = 1.00 m  L = 2.00 m  -  Value: "
              "10000000000000000905969664.0 kN - Tension");
}

} // namespace
