// The inquiry texts: exact strings for every support layout and every member
// attribute in two unit sets, and the totals message.
#include "attrib/blocks.h"
#include "attrib/section.h"
#include "results/inquiry.h"
#include "units/units.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

attrib::AppSettings withPreset(int preset) {
    attrib::AppSettings s = attrib::initialSettings();
    const units::UnitSettings& u = units::presetSettings(preset);
    s.units = u.unit;
    s.formats = u.format;
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

TEST(InquiryTest, Totals) {
    EXPECT_EQ(results::totalsText(false, 0, 0), "\n The structure is not defined. \n");
    EXPECT_EQ(results::totalsText(true, 0, 0), "\n The structure is not defined. \n");
    EXPECT_EQ(results::totalsText(true, 3, 0), "\n Number of Nodes : 3\n\n No member defined. \n");
    EXPECT_EQ(results::totalsText(true, 3, 2),
              "\n Number of Nodes : 3\n\n Number of Members : 2\n");
}

// The texts of a node in each support layout, then its result texts.
std::vector<std::string> nodeTexts(const attrib::AppSettings& s) {
    std::unique_ptr<attrib::ValueBlock> force(values(attrib::kNff, "P1", {10, -20, 5}));
    std::vector<std::string> out;
    attrib::NodeAttrib a; // no support, no force
    out.push_back(results::nodeAttribText(s, 1.5, -2, a));
    std::memcpy(a.support, "122", 3); // springs: stiffnesses, no angle
    a.spring[1] = 1000;
    a.spring[2] = 50;
    a.inclination = 30.4;
    a.prescribed[0] = 0.01;
    a.force = force.get();
    out.push_back(results::nodeAttribText(s, 1.5, -2, a));
    std::memcpy(a.support, "110", 3); // rigid support: angle, no prescribed values
    a.force = nullptr;
    out.push_back(results::nodeAttribText(s, 0, 0, a));
    a.prescribedFlag = 1; // prescribed values; the free Rz shows 0
    a.prescribed[1] = -0.02;
    a.prescribed[2] = 0.5;
    out.push_back(results::nodeAttribText(s, 0, 0, a));
    const double r[3] = {1, 2, 3}, d[3] = {0.001, -0.002, 0.003};
    out.push_back(results::nodeResultText(s, true, r, d));
    out.push_back(results::nodeResultText(s, false, r, d));
    return out;
}

// The texts of a member with nothing, with every block and the
// no-axial-deformation constraint (the uniform load hides the linear one),
// and rigid with only the linear load.
std::vector<std::string> memberTexts(const attrib::AppSettings& s) {
    std::unique_ptr<attrib::ValueBlock> mat(values(attrib::kMaf, "steel", {2e8, 78.5, 1.2e-5}));
    std::unique_ptr<attrib::ValueBlock> em(values(attrib::kMbm, "em", {3, -4}));
    std::unique_ptr<attrib::ValueBlock> ul(values(attrib::kUlf, "q", {0, -10}, 1));
    std::unique_ptr<attrib::ValueBlock> ll(values(attrib::kLlf, "lin", {1, -2, 3, -4}));
    std::unique_ptr<attrib::ValueBlock> tp(values(attrib::kTpf, "t", {20, -10}));
    auto sec = std::make_unique<attrib::SectionBlock>();
    std::snprintf(sec->label, sizeof sec->label, "r30");
    sec->section = attrib::makeSection(attrib::kSecRectangle);
    sec->section.params = {0.3, 0.2}; // d, b
    std::vector<std::string> out;
    attrib::MemberAttrib a;
    out.push_back(results::memberAttribText(s, 4, a));
    a.blocks = {mat.get(), sec.get(), em.get(), ul.get(), ll.get(), tp.get()};
    a.noAxial = 1;
    out.push_back(results::memberAttribText(s, 4, a));
    a.rigid = 1;
    a.blocks[attrib::kUniform] = nullptr;
    out.push_back(results::memberAttribText(s, 4, a));
    return out;
}

struct TextCase {
    int preset;
    std::vector<std::string> (*make)(const attrib::AppSettings&);
    std::vector<std::string> expected;
};

const TextCase kTextCases[] = {
    {units::kSIPreset,
     nodeTexts,
     {
         " Node\n"
         " Attributes\n"
         "\n"
         " Coordinates:\n"
         "  x = 1.50 m\n"
         "  y = -2.00 m\n"
         " Support\n"
         " Conditions:\n"
         "  Dx: Free\n"
         "  Dy: Free\n"
         "  Rz: Free\n"
         " Nodal Forces:\n"
         "  None.",
         " Node\n"
         " Attributes\n"
         "\n"
         " Coordinates:\n"
         "  x = 1.50 m\n"
         "  y = -2.00 m\n"
         " Support\n"
         " Conditions:\n"
         "  Dx: Fixed\n"
         "  Dy: Spring\n"
         "  Rz: Spring\n"
         "\n"
         " Spring\n"
         " Stiffness:\n"
         "  KDx = 0.000e+00 kN/m\n"
         "  KDy = 1.000e+03 kN/m\n"
         "  KRz = 5.000e+01 kNm/rad\n"
         " Nodal Forces: P1\n"
         "  Fx = 10.0 kN\n"
         "  Fy = -20.0 kN\n"
         "  Mz = 5.0 kNm",
         " Node\n"
         " Attributes\n"
         "\n"
         " Coordinates:\n"
         "  x = 0.00 m\n"
         "  y = 0.00 m\n"
         " Inclination\n"
         "  Angle: 30 deg\n"
         " Support\n"
         " Conditions:\n"
         "  Dx: Fixed\n"
         "  Dy: Fixed\n"
         "  Rz: Free\n"
         " No Prescribed\n"
         " Displacement\n"
         " Nodal Forces:\n"
         "  None.",
         " Node\n"
         " Attributes\n"
         "\n"
         " Coordinates:\n"
         "  x = 0.00 m\n"
         "  y = 0.00 m\n"
         " Inclination\n"
         "  Angle: 30 deg\n"
         " Support\n"
         " Conditions:\n"
         "  Dx: Fixed\n"
         "  Dy: Fixed\n"
         "  Rz: Free\n"
         " Prescribed\n"
         " Displacements:\n"
         "  Dx = 1.000e+01 mm\n"
         "  Dy = -2.000e+01 mm\n"
         "  Rz = 0.000e+00 rad\n"
         " Nodal Forces:\n"
         "  None.",
         "\n"
         " Node\n"
         " Results\n"
         "\n"
         " Support\n"
         " Reactions:\n"
         " Fx = 1.0 kN\n"
         " Fy = 2.0 kN\n"
         " Mz = 3.0 kNm\n"
         "\n"
         " Nodal\n"
         " Displacements:\n"
         " Dx = 1.000e+00 mm\n"
         " Dy = -2.000e+00 mm\n"
         " Rz = 3.000e-03 rad",
         "\n"
         " Node\n"
         " Results\n"
         "\n"
         " Support\n"
         " Reactions:\n"
         " None\n"
         "\n"
         " Nodal\n"
         " Displacements:\n"
         " Dx = 1.000e+00 mm\n"
         " Dy = -2.000e+00 mm\n"
         " Rz = 3.000e-03 rad",
     }},
    {units::kUSPreset,
     nodeTexts,
     {
         " Node\n"
         " Attributes\n"
         "\n"
         " Coordinates:\n"
         "  x = 4.92 ft\n"
         "  y = -6.56 ft\n"
         " Support\n"
         " Conditions:\n"
         "  Dx: Free\n"
         "  Dy: Free\n"
         "  Rz: Free\n"
         " Nodal Forces:\n"
         "  None.",
         " Node\n"
         " Attributes\n"
         "\n"
         " Coordinates:\n"
         "  x = 4.92 ft\n"
         "  y = -6.56 ft\n"
         " Support\n"
         " Conditions:\n"
         "  Dx: Fixed\n"
         "  Dy: Spring\n"
         "  Rz: Spring\n"
         "\n"
         " Spring\n"
         " Stiffness:\n"
         "  KDx = 0.000e+00 k/ft\n"
         "  KDy = 6.853e+01 k/ft\n"
         "  KRz = 3.687e+01 ft-k/rad\n"
         " Nodal Forces: P1\n"
         "  Fx = 2.2 kip\n"
         "  Fy = -4.5 kip\n"
         "  Mz = 3.7 ft-k",
         " Node\n"
         " Attributes\n"
         "\n"
         " Coordinates:\n"
         "  x = 0.00 ft\n"
         "  y = 0.00 ft\n"
         " Inclination\n"
         "  Angle: 30 deg\n"
         " Support\n"
         " Conditions:\n"
         "  Dx: Fixed\n"
         "  Dy: Fixed\n"
         "  Rz: Free\n"
         " No Prescribed\n"
         " Displacement\n"
         " Nodal Forces:\n"
         "  None.",
         " Node\n"
         " Attributes\n"
         "\n"
         " Coordinates:\n"
         "  x = 0.00 ft\n"
         "  y = 0.00 ft\n"
         " Inclination\n"
         "  Angle: 30 deg\n"
         " Support\n"
         " Conditions:\n"
         "  Dx: Fixed\n"
         "  Dy: Fixed\n"
         "  Rz: Free\n"
         " Prescribed\n"
         " Displacements:\n"
         "  Dx = 3.937e-01 in\n"
         "  Dy = -7.874e-01 in\n"
         "  Rz = 0.000e+00 rad\n"
         " Nodal Forces:\n"
         "  None.",
         "\n"
         " Node\n"
         " Results\n"
         "\n"
         " Support\n"
         " Reactions:\n"
         " Fx = 0.2 kip\n"
         " Fy = 0.4 kip\n"
         " Mz = 2.2 ft-k\n"
         "\n"
         " Nodal\n"
         " Displacements:\n"
         " Dx = 3.937e-02 in\n"
         " Dy = -7.874e-02 in\n"
         " Rz = 3.000e-03 rad",
         "\n"
         " Node\n"
         " Results\n"
         "\n"
         " Support\n"
         " Reactions:\n"
         " None\n"
         "\n"
         " Nodal\n"
         " Displacements:\n"
         " Dx = 3.937e-02 in\n"
         " Dy = -7.874e-02 in\n"
         " Rz = 3.000e-03 rad",
     }},
    {units::kSIPreset,
     memberTexts,
     {
         " Member\n"
         " Attributes\n"
         "\n"
         " Length = 4.00 m\n"
         " Material:\n"
         "  Not defined.\n"
         " Section:\n"
         "  Not defined.\n"
         " Constraint:\n"
         "  None.\n"
         " End Moments:\n"
         "  None.\n"
         " Distributed Load:\n"
         "  None.\n"
         " Thermal Load:\n"
         "  None.",
         " Member\n"
         " Attributes\n"
         "\n"
         " Length = 4.00 m\n"
         " Material: steel\n"
         "  E = 200000 MPa\n"
         "  gama = 78.5 kN/m³\n"
         "  alpha = 0.000012 /°C\n"
         " Section: r30\n"
         "  Type: Rectangle\n"
         "  d = 300 mm\n"
         "  b = 200 mm\n"
         "  A = 6.0000e+04 mm²\n"
         "  I = 4.5000e+08 mm^4\n"
         "  depth = 300 mm\n"
         "  ygc = 150 mm\n"
         " Constraint:\n"
         "  No axial deformation.\n"
         " End Moments: em\n"
         "  Ma = 3.0 kNm\n"
         "  Mb = -4.0 kNm\n"
         " Uniform Load: q\n"
         "  Dir: Local\n"
         "  Qx = 0.00 kN/m\n"
         "  Qy = -10.00 kN/m\n"
         " Thermal Load: t\n"
         "  Ty+ = 20 °C\n"
         "  Ty- = -10 °C",
         " Member\n"
         " Attributes\n"
         "\n"
         " Length = 4.00 m\n"
         " Material: steel\n"
         "  E = 200000 MPa\n"
         "  gama = 78.5 kN/m³\n"
         "  alpha = 0.000012 /°C\n"
         " Section: r30\n"
         "  Type: Rectangle\n"
         "  d = 300 mm\n"
         "  b = 200 mm\n"
         "  A = 6.0000e+04 mm²\n"
         "  I = 4.5000e+08 mm^4\n"
         "  depth = 300 mm\n"
         "  ygc = 150 mm\n"
         " Constraint:\n"
         "  Rigid member.\n"
         " End Moments: em\n"
         "  Ma = 3.0 kNm\n"
         "  Mb = -4.0 kNm\n"
         " Linear Load: lin\n"
         "  Dir: Global\n"
         "  Pxi = 1.00 kN/m\n"
         "  Pyi = -2.00 kN/m\n"
         "  Pxj = 3.00 kN/m\n"
         "  Pyj = -4.00 kN/m\n"
         " Thermal Load: t\n"
         "  Ty+ = 20 °C\n"
         "  Ty- = -10 °C",
     }},
    {units::kUSPreset,
     memberTexts,
     {
         " Member\n"
         " Attributes\n"
         "\n"
         " Length = 13.12 ft\n"
         " Material:\n"
         "  Not defined.\n"
         " Section:\n"
         "  Not defined.\n"
         " Constraint:\n"
         "  None.\n"
         " End Moments:\n"
         "  None.\n"
         " Distributed Load:\n"
         "  None.\n"
         " Thermal Load:\n"
         "  None.",
         " Member\n"
         " Attributes\n"
         "\n"
         " Length = 13.12 ft\n"
         " Material: steel\n"
         "  E = 29007 ksi\n"
         "  gama = 499.7 pcf\n"
         "  alpha = 6.7e-06 /°F\n"
         " Section: r30\n"
         "  Type: Rectangle\n"
         "  d = 11.8 in\n"
         "  b = 7.9 in\n"
         "  A = 93.00 in²\n"
         "  I = 1.0811e+03 in^4\n"
         "  depth = 11.8 in\n"
         "  ygc = 5.9 in\n"
         " Constraint:\n"
         "  No axial deformation.\n"
         " End Moments: em\n"
         "  Ma = 2.2 ft-k\n"
         "  Mb = -2.9 ft-k\n"
         " Uniform Load: q\n"
         "  Dir: Local\n"
         "  Qx = 0.00 k/ft\n"
         "  Qy = -0.69 k/ft\n"
         " Thermal Load: t\n"
         "  Ty+ = 68 °F\n"
         "  Ty- = 14 °F",
         " Member\n"
         " Attributes\n"
         "\n"
         " Length = 13.12 ft\n"
         " Material: steel\n"
         "  E = 29007 ksi\n"
         "  gama = 499.7 pcf\n"
         "  alpha = 6.7e-06 /°F\n"
         " Section: r30\n"
         "  Type: Rectangle\n"
         "  d = 11.8 in\n"
         "  b = 7.9 in\n"
         "  A = 93.00 in²\n"
         "  I = 1.0811e+03 in^4\n"
         "  depth = 11.8 in\n"
         "  ygc = 5.9 in\n"
         " Constraint:\n"
         "  Rigid member.\n"
         " End Moments: em\n"
         "  Ma = 2.2 ft-k\n"
         "  Mb = -2.9 ft-k\n"
         " Linear Load: lin\n"
         "  Dir: Global\n"
         "  Pxi = 0.07 k/ft\n"
         "  Pyi = -0.14 k/ft\n"
         "  Pxj = 0.21 k/ft\n"
         "  Pyj = -0.27 k/ft\n"
         " Thermal Load: t\n"
         "  Ty+ = 68 °F\n"
         "  Ty- = 14 °F",
     }},
};

TEST(InquiryTest, ExactTextsInTwoUnitSets) {
    for (const TextCase& c : kTextCases) {
        // The section description reads the units in force, as in the program.
        units::setCurrentSettings(units::presetSettings(c.preset));
        const auto got = c.make(withPreset(c.preset));
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_EQ(got[i], c.expected[i]) << "preset " << c.preset << " text " << i;
    }
    units::resetUnits();
}

} // namespace
