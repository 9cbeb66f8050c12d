// The inquiry texts as exact strings in two unit sets: every support layout
// of a node, every attribute of a member, the node and member results, the
// member text and cursor line of influence lines, and the totals message.
//
// Each expected text is written once, as the SI text with every value that
// changes with the units in braces; the US text replaces each braced value
// by its US rendering from one table.
#include "attrib/blocks.h"
#include "attrib/section.h"
#include "results/inquiry.h"
#include "results/resultquery.h"
#include "units/units.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

namespace {

using results::MemberInput;
using K = results::ResultKind;

// The US rendering of every braced value: "SI=US;" pairs of lengths (with
// their unit and bare), forces and moments, displacements, springs,
// material, section and loads.
const char* const kUS =
    "m=ft;0.00 m=0.00 ft;1.00 m=3.28 ft;-1.00 m=-3.28 ft;1.50 m=4.92 ft;-2.00 m=-6.56 ft;"
    "2.00 m=6.56 ft;3.00 m=9.84 ft;4.00 m=13.12 ft;5.00 m=16.40 ft;6.00 m=19.69 ft;0.00=0.00;"
    "0.50=1.64;-0.50=-1.64;1.00=3.28;-1.00=-3.28;2.00=6.56;3.00=9.84;4.00=13.12;6.00=19.69;"
    "kN=kip;kNm=ft-k;1.0 kN=0.2 kip;2.0 kN=0.4 kip;10.0 kN=2.2 kip;-20.0 kN=-4.5 kip;"
    "-7.0 kN=-1.6 kip;30.0 kN=6.7 kip;-30.0 kN=-6.7 kip;30.0=6.7;0.0=0.0;-30.0=-6.7;"
    "0.0 kNm=0.0 ft-k;2.3 kNm=1.7 ft-k;3.0 kNm=2.2 ft-k;-4.0 kNm=-2.9 ft-k;5.0 kNm=3.7 ft-k;"
    "-6.0 kNm=-4.4 ft-k;-8.3 kNm=-6.1 ft-k;45.0 kNm=33.2 ft-k;40.0=29.5;mm=in;"
    "0.000e+00 mm=0.000e+00 in;1.000e+00 mm=3.937e-02 in;-2.000e+00 mm=-7.874e-02 in;"
    "1.000e+01 mm=3.937e-01 in;-2.000e+01 mm=-7.874e-01 in;-3.333e+02 mm=-1.312e+01 in;"
    "0.000e+00=0.000e+00;5.000e-01=1.969e-02;1.000e+00=3.937e-02;3.333e+02=1.312e+01;"
    "0.000e+00 kN/m=0.000e+00 k/ft;1.000e+03 kN/m=6.853e+01 k/ft;"
    "5.000e+01 kNm/rad=3.687e+01 ft-k/rad;200000 MPa=29007 ksi;78.5 kN/m³=499.7 pcf;"
    "0.000012 /°C=6.7e-06 /°F;300 mm=11.8 in;200 mm=7.9 in;150 mm=5.9 in;"
    "6.0000e+04 mm²=93.00 in²;4.5000e+08 mm^4=1.0811e+03 in^4;0.00 kN/m=0.00 k/ft;"
    "1.00 kN/m=0.07 k/ft;-2.00 kN/m=-0.14 k/ft;3.00 kN/m=0.21 k/ft;-4.00 kN/m=-0.27 k/ft;"
    "-10.00 kN/m=-0.69 k/ft;20 °C=68 °F;-10 °C=14 °F;";

using Renderings = std::map<std::string, std::string>;
Renderings usRenderings() {
    Renderings r;
    const std::string all = kUS;
    for (size_t i = 0, end; (end = all.find(';', i)) != std::string::npos; i = end + 1) {
        const size_t eq = all.find('=', i);
        if (!r.emplace(all.substr(i, eq - i), all.substr(eq + 1, end - eq - 1)).second)
            ADD_FAILURE() << "two US renderings of " << all.substr(i, eq - i);
    }
    return r;
}

// The expected text in the SI set (braces dropped) or the US set (braced
// values replaced).
std::string expected(const std::string& layout, bool us) {
    static const Renderings table = usRenderings();
    std::string out;
    for (size_t i = 0; i < layout.size(); ++i) {
        const size_t close = layout[i] == '{' ? layout.find('}', i) : std::string::npos;
        if (close == std::string::npos) {
            out += layout[i];
            continue;
        }
        const std::string si = layout.substr(i + 1, close - i - 1);
        const auto it = table.find(si);
        if (us && it == table.end()) ADD_FAILURE() << "no US value for " << si;
        out += us && it != table.end() ? it->second : si;
        i = close;
    }
    return out;
}

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

TEST(InquiryTest, Totals) {
    EXPECT_EQ(results::totalsText(false, 0, 0), "\n The structure is not defined. \n");
    EXPECT_EQ(results::totalsText(true, 0, 0), "\n The structure is not defined. \n");
    EXPECT_EQ(results::totalsText(true, 3, 0), "\n Number of Nodes : 3\n\n No member defined. \n");
    EXPECT_EQ(results::totalsText(true, 3, 2),
              "\n Number of Nodes : 3\n\n Number of Members : 2\n");
}

// Pieces that several texts share.
const std::string kNodeHead =
    " Node\n Attributes\n\n Coordinates:\n  x = {1.50 m}\n  y = {-2.00 m}\n";
const std::string kAngle = " Inclination\n  Angle: 30 deg\n";
const std::string kSprings = " Support\n Conditions:\n  Dx: Fixed\n  Dy: Spring\n  Rz: Spring\n";
const std::string kRigid = " Support\n Conditions:\n  Dx: Fixed\n  Dy: Fixed\n  Rz: Free\n";
const std::string kForce =
    " Nodal Forces: P1\n  Fx = {10.0 kN}\n  Fy = {-20.0 kN}\n  Mz = {5.0 kNm}";
const std::string kNoForce = " Nodal Forces:\n  None.";
const std::string kNodeDispl =
    "\n Nodal\n Displacements:\n Dx = {1.000e+00 mm}\n Dy = {-2.000e+00 mm}\n Rz = 3.000e-03 rad";
const std::string kMemberHead = " Member\n Attributes\n\n Length = {4.00 m}\n";
const std::string kBlocks = " Material: steel\n  E = {200000 MPa}\n  gama = {78.5 kN/m³}\n"
                            "  alpha = {0.000012 /°C}\n"
                            " Section: r30\n  Type: Rectangle\n  d = {300 mm}\n  b = {200 mm}\n"
                            "  A = {6.0000e+04 mm²}\n  I = {4.5000e+08 mm^4}\n"
                            "  depth = {300 mm}\n  ygc = {150 mm}\n";
const std::string kEndMoments = " End Moments: em\n  Ma = {3.0 kNm}\n  Mb = {-4.0 kNm}\n";
const std::string kThermal = " Thermal Load: t\n  Ty+ = {20 °C}\n  Ty- = {-10 °C}";
const std::string kRequest = "\n\n Define a reasonable\n step value to get\n results along member.";
const std::string kAlong = "\n\n Results Along Member:\n x [{m}]\t";

const std::string kDisplHead =
    "\n Member\n Displacements\n and Rotations\n\n"
    " Init:\n  Dx: {0.000e+00 mm}\n  Dy: {0.000e+00 mm}\n  Rz: -2.667e-01 rad\n"
    "\n End:\n  Dx: {0.000e+00 mm}\n  Dy: {1.000e+00 mm}\n  Rz: 2.667e-01 rad\n"
    "\n Max. Transv.\n Displ.:\n  {-3.333e+02 mm}\n At local pos.:\n  x: {2.00 m}\n  L: {4.00 m}";

// What each case writes, from the number of the unit preset.
using Maker = std::function<std::string(int preset)>;
// A node at (1.5, -2) with the support codes and prescribed flag; its
// springs, angle and prescribed values show only in their layouts.
Maker node(const char* support, int prescribedFlag, bool force) {
    return [=](int p) {
        attrib::NodeAttrib a;
        std::memcpy(a.support, support, 3);
        a.prescribedFlag = prescribedFlag;
        a.spring[1] = 1000, a.spring[2] = 50;
        a.inclination = 30.4;
        a.prescribed[0] = 0.01, a.prescribed[1] = -0.02, a.prescribed[2] = 0.5;
        a.force = force ? blocks().force.get() : nullptr;
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
            a.blocks = {b.mat.get(), b.sec.get(), b.em.get(), b.ul.get(), b.ll.get(), b.tp.get()};
            a.noAxial = 1;
        }
        if (variant > 1) a.rigid = 1, a.blocks[attrib::kUniform] = nullptr;
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

struct TextCase {
    const char* what;
    Maker make;
    std::string layout;
};

const TextCase kTexts[] = {
    {"free node", node("000", 1, false),
     kNodeHead + " Support\n Conditions:\n  Dx: Free\n  Dy: Free\n  Rz: Free\n" + kNoForce},
    {"springs", node("122", 0, true),
     kNodeHead + kSprings +
         "\n Spring\n Stiffness:\n  KDx = {0.000e+00 kN/m}\n  KDy = {1.000e+03 kN/m}\n"
         "  KRz = {5.000e+01 kNm/rad}\n" +
         kForce},
    {"springs, prescribed", node("122", 1, true),
     kNodeHead + kAngle + kSprings +
         " Prescribed\n Displacements:\n  Dx = {1.000e+01 mm}\n  Dy = {0.000e+00 mm}\n"
         "  Rz = 0.000e+00 rad\n" +
         kForce},
    {"rigid support", node("110", 0, false),
     kNodeHead + kAngle + kRigid + " No Prescribed\n Displacement\n" + kNoForce},
    {"rigid, prescribed", node("110", 1, false),
     kNodeHead + kAngle + kRigid +
         " Prescribed\n Displacements:\n  Dx = {1.000e+01 mm}\n  Dy = {-2.000e+01 mm}\n"
         "  Rz = 0.000e+00 rad\n" +
         kNoForce},
    {"supported node results", reactions(true),
     "\n Node\n Results\n\n Support\n Reactions:\n Fx = {1.0 kN}\n Fy = {2.0 kN}\n"
     " Mz = {3.0 kNm}\n" +
         kNodeDispl},
    {"free node results", reactions(false),
     "\n Node\n Results\n\n Support\n Reactions:\n None\n" + kNodeDispl},
    {"bare member", attributes(0),
     kMemberHead + " Material:\n  Not defined.\n Section:\n  Not defined.\n Constraint:\n  None.\n"
                   " End Moments:\n  None.\n Distributed Load:\n  None.\n Thermal Load:\n  None."},
    {"every block", attributes(1),
     kMemberHead + kBlocks + " Constraint:\n  No axial deformation.\n" + kEndMoments +
         " Uniform Load: q\n  Dir: Local\n  Qx = {0.00 kN/m}\n  Qy = {-10.00 kN/m}\n" + kThermal},
    {"rigid, linear load", attributes(2),
     kMemberHead + kBlocks + " Constraint:\n  Rigid member.\n" + kEndMoments +
         " Linear Load: lin\n  Dir: Global\n  Pxi = {1.00 kN/m}\n  Pyi = {-2.00 kN/m}\n"
         "  Pxj = {3.00 kN/m}\n  Pyj = {-4.00 kN/m}\n" +
         kThermal},
    {"bending, one extreme", result(2, kUniformBeam, K::Bending),
     "\n Member\n Bending Moment\n Diagram Results\n\n Init: {0.0 kNm}\n End: {0.0 kNm}"
     "\n\n Max. Local\n Value: {45.0 kNm}\n At local pos.:\n  x: {3.00 m}\n  L: {6.00 m}" +
         kAlong +
         "Bending\n \tMoment [{kNm}]\n {0.00}\t{0.0}\n {2.00}\t{40.0}\n {4.00}\t{40.0}\n"
         " {6.00}\t{0.0}"},
    {"bending, two extremes", result(0, kReversedLoad, K::Bending),
     "\n Member\n Bending Moment\n Diagram Results\n\n Init: {0.0 kNm}\n End: {-6.0 kNm}"
     "\n\n Max. Local Values:\n  M: {2.3 kNm}  x: {1.00 m}\n  M: {-8.3 kNm}  x: {5.00 m}\n"
     "  L: {6.00 m}" +
         kRequest},
    {"shear", result(3, kUniformBeam, K::Shear),
     "\n Member\n Shear Force\n Diagram Results\n\n Init: {30.0 kN}\n End: {-30.0 kN}" + kAlong +
         "Shear\n \tForce [{kN}]\n {0.00}\t{30.0}\n {3.00}\t{0.0}\n {6.00}\t{-30.0}"},
    {"axial, compression", result(0, kCompressedColumn, K::Axial),
     "\n Member\n Axial Force\n Diagram Results\n\n Init: {-7.0 kN}\n End: {-7.0 kN}" + kRequest},
    {"displacements", result(2, kHingedColumn, K::Deformed, 0.5),
     kDisplHead + "\n\n Results Along Member (in global system):\n x [{m}]\tDispl.X [{mm}]"
                  "\tDispl.Y [{mm}]\n {0.00}\t{0.000e+00}\t{0.000e+00}\n"
                  " {2.00}\t{3.333e+02}\t{5.000e-01}\n {4.00}\t{0.000e+00}\t{1.000e+00}"},
    {"displacements, no step", result(0, kHingedColumn, K::Deformed, 0.5), kDisplHead + kRequest},
    {"bending influence, section", influence(1, K::Bending, kBendingLine, true),
     "\n Member\n Bending Moment\n Influence Line\n\n Init: {0.00 m}\n End: {0.00 m}" + kAlong +
         "Bending\n \tMoment [{m}]\n {0.00}\t{0.00}\n {1.00}\t{0.50}\n {2.00}\t{1.00}\n"
         " {3.00}\t{0.50}\n {4.00}\t{0.00}"},
    {"bending influence, overhang", influence(1, K::Bending, kBendingLine, false),
     "\n Member\n Bending Moment\n Influence Line\n\n Init: {0.00 m}\n End: {-1.00 m}" + kAlong +
         "Bending\n \tMoment [{m}]\n {0.00}\t{0.00}\n {1.00}\t{-0.50}\n {2.00}\t{-1.00}"},
    {"shear influence, section", influence(1, K::Shear, kShearLine, true),
     "\n Member\n Shear Force\n Influence Line\n\n Init: 0.00\n End: 0.00\n" + kAlong +
         "Shear\n \tForce [-]\n {0.00}\t0.00\n {1.00}\t-0.25\n {2.00}\t0.50\n {3.00}\t0.25\n"
         " {4.00}\t0.00"},
    {"shear influence, overhang", influence(1, K::Shear, kShearLine, false),
     "\n Member\n Shear Force\n Influence Line\n\n Init: 0.00\n End: -0.50\n" + kAlong +
         "Shear\n \tForce [-]\n {0.00}\t0.00\n {1.00}\t-0.25\n {2.00}\t-0.50"},
    {"axial influence, section", influence(1, K::Axial, kAxialLine, true),
     "\n Member\n Axial Force\n Influence Line\n\n Init: 0.00\n End: -1.00\n" + kAlong +
         "Axial\n \tForce [-]\n {0.00}\t0.00\n {1.00}\t0.00\n {2.00}\t-1.00\n {3.00}\t-1.00\n"
         " {4.00}\t-1.00"},
    {"axial influence, extension, no step", influence(0, K::Axial, kAxialLine, false),
     "\n Member\n Axial Force\n Influence Line\n\n Init: -1.00\n End: -1.00\n" + kRequest},
    {"no influence text of the deformed shape", influence(1, K::Deformed, kBendingLine, true), ""},
};

TEST(InquiryTest, ExactTextsInTwoUnitSets) {
    for (int preset : {units::kSIPreset, units::kUSPreset}) {
        // The section description reads the units in force, as in the program.
        units::setCurrentSettings(units::presetSettings(preset));
        for (const TextCase& c : kTexts)
            EXPECT_EQ(c.make(preset), expected(c.layout, preset == units::kUSPreset))
                << c.what << ", preset " << preset;
    }
    units::resetUnits();
}

// The cursor line over a member while an influence line is shown: the
// ordinate at the pointer, on either side of the section.
TEST(InquiryTest, InfluenceCursorLines) {
    const struct {
        K kind;
        const InfluenceCase& c;
        bool holds;
        double x;
        const char* line;
    } cases[] = {
        {K::Bending, kBendingLine, true, 2,
         "Bending moment influence line at local pos.: x = {2.00 m}  L = {4.00 m}  -  "
         "Value: {1.00 m}"},
        {K::Bending, kBendingLine, false, 2,
         "Bending moment influence line at local pos.: x = {2.00 m}  L = {2.00 m}  -  "
         "Value: {-1.00 m}"},
        {K::Shear, kShearLine, true, 1,
         "Shear force influence line at local pos.: x = {1.00 m}  L = {4.00 m}  -  Value: -0.25"},
        {K::Shear, kShearLine, true, 3,
         "Shear force influence line at local pos.: x = {3.00 m}  L = {4.00 m}  -  Value: 0.25"},
        {K::Axial, kAxialLine, true, 0,
         "Axial force influence line at local pos.: x = {0.00 m}  L = {4.00 m}  -  Value: 0.00"},
        {K::Axial, kAxialLine, false, 1,
         "Axial force influence line at local pos.: x = {1.00 m}  L = {2.00 m}  -  Value: -1.00"},
        {K::Deformed, kBendingLine, true, 1, ""},
    };
    for (int preset : {units::kSIPreset, units::kUSPreset}) {
        const attrib::AppSettings s = withPreset(preset);
        const bool us = preset == units::kUSPreset;
        for (const auto& c : cases)
            EXPECT_EQ(results::influenceLine(s, c.holds ? c.c.span : c.c.extension, c.kind, c.holds,
                                             c.c.a, c.x),
                      expected(c.line, us));
        // A moment that is zero shows no sign at a pinned end.
        EXPECT_EQ(results::resultLine(s, kUniformBeam, K::Bending, 0),
                  expected("Bending moment at local pos.: x = {0.00 m}  L = {6.00 m}  -  "
                           "Value: {0.0 kNm}",
                           us));
    }
}

} // namespace
