// Every layout the reader accepts, from hand-written files of the same frame
// (two members from a fixed node): settings mapped slot by slot, the lists
// each version holds, node and member records, computed edge boxes and the
// counters of the oldest layout; then the conversion of a file older than 206.
#include "attrib/section.h"
#include "tests/files/fixture.h"
#include "units/units.h"

namespace {

using namespace attrib;
using Flags = std::array<int, kDisplayFlagCount>;
using Formats = std::array<int, units::kFormatSlotCount>;

constexpr Flags kFlags14 = {1, 1, 0, 0, 1, 1, 0, 1, 1, 0, 0, 1, 1, 1};
constexpr Flags kFlagsMid = {1, 1, 0, 0, 1, 1, 0, 0, 0, 1, 1, 0, 1, 1};
constexpr Flags kFlags7 = {1, 1, 0, 0, 1, 1, 0, 0, 0, 1, 0, 0, 1, 1};
constexpr Flags kFlagsNone = {1, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0};
// The unit codes the files hold, which are also those of files without units.
constexpr std::array<int, units::kUnitSlotCount> kOldUnits = {0,  0,  5, 17, 22, 35, 50, 63,
                                                              76, 48, 0, 7,  12, 78, 91};
constexpr Formats kFormats = {2, 2, 10, 10, 1, 1, 4,  1,  1, 4, 2, 10,
                              1, 6, 0,  2,  4, 6, 10, 10, 2, 2, 3};
constexpr Formats kFormats205 = {1, 1, 11, 11, 1, 1, 4,  1,  1, 4, 2, 11,
                                 1, 8, 0,  2,  4, 6, 10, 10, 1, 1, 1};
constexpr Formats kFormatsNone = {2, 2, 10, 10, 1, 1, 4,  1,  1, 4, 2, 10,
                                  1, 6, 0,  2,  4, 6, 10, 10, 2, 2, 2};

struct Case {
    const char* file;
    int version;
    Flags flags;
    Formats formats;
    double grid;       // grid step x (y is half of it when read)
    double resultStep; // 0 when the file has none
    int sign0;         // first sign-convention setting
    int endMoments;    // count of each list
    int thermal;
    int dims;
    double elasticity; // of the one material
    double area;       // of the one section
    double spring;     // Rz spring of node 1
    double scale;      // coordinates in the file's units per metre of the frame
};

const Case kCases[] = {
    {"v211.kst", 211, kFlags14, kFormats, 0.5, 0.1, 0, 1, 1, 1, 2.05e8, 0.01, 5000, 1},
    {"v210.kst", 210, kFlagsMid, kFormats, 0.5, 0.1, 1, 1, 1, 1, 2.05e8, 0.01, 5000, 1},
    {"v209.kst", 209, kFlagsMid, kFormats, 0.5, 0, 1, 1, 1, 1, 2.05e8, 0.01, 5000, 1},
    {"v208.kst", 208, kFlagsMid, kFormats, 0.5, 0, 1, 0, 1, 1, 2.05e8, 0.01, 5000, 1},
    {"v206.kst", 206, kFlagsMid, kFormats, 0.5, 0, 1, 0, 1, 0, 2.05e8, 0.01, 5000, 1},
    {"v205.kst", 205, kFlags7, kFormats205, 0.5, 0, 1, 0, 0, 0, 20500, 100, 0, 100},
    {"v204.kst", 204, kFlags7, kFormatsNone, 0.5, 0, 1, 0, 0, 0, 20500, 100, 0, 1},
    {"v200b104.kst", 200, kFlagsNone, kFormatsNone, 1, 0, 1, 0, 0, 0, 20500, 100, 0, 1},
    {"v0.kst", 0, kFlagsNone, kFormatsNone, 1, 0, 1, 0, 0, 0, 20500, 100, 0, 1},
};

class OldVersionsTest : public files_test::ModelFileTest {};

TEST_F(OldVersionsTest, EveryLayoutReadsTheSameFrame) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.file);
        AppSettings base = initialSettings();
        base.resultStep = 9; // replaced by 0 when the file has no result step
        files::ReadResult r =
            files::readModelFile(std::string(KESTREL_TEST_DATA) + "/files/" + c.file, base);
        ASSERT_EQ(r.status, files::ReadStatus::kModel);
        EXPECT_EQ(r.version, c.version);
        const AppSettings& st = r.settings;
        EXPECT_EQ(st.display, c.flags);
        EXPECT_EQ(st.formats, c.formats);
        EXPECT_EQ(st.units, kOldUnits);
        EXPECT_EQ(st.gridStepX, c.grid);
        EXPECT_EQ(st.gridStepY, c.grid == 1 ? 1 : 0.25);
        EXPECT_EQ(st.resultStep, c.resultStep);
        EXPECT_EQ(st.stepMode, c.resultStep > 0 ? 1 : 0);
        EXPECT_EQ(st.signConvention[0], c.sign0);
        const AttributeRoot& lists = *r.root;
        EXPECT_EQ(blockCount(lists, kNff), 1);
        EXPECT_EQ(blockCount(lists, kMbm), c.endMoments);
        EXPECT_EQ(blockCount(lists, kUlf), 1);
        EXPECT_EQ(blockCount(lists, kLlf), 1);
        EXPECT_EQ(valuesOf(lists.lists[kLlf])->direction, 1);
        EXPECT_EQ(blockCount(lists, kTpf), c.thermal);
        EXPECT_EQ(lists.dimLines.size(), std::size_t(c.dims));
        ASSERT_EQ(blockCount(lists, kMaf), 1);
        ASSERT_EQ(blockCount(lists, kSpf), 1);
        EXPECT_EQ(valuesOf(lists.lists[kMaf])->values[kElasticity], c.elasticity);
        EXPECT_EQ(sectionOf(lists.lists[kSpf])->params[0], c.area);
        EXPECT_EQ(sectionOf(lists.lists[kSpf])->type, kSecGeneric);
        // The frame: three nodes, two members numbered 1 and 2 in file order.
        Solid* m = r.model;
        EXPECT_EQ(mdl_check(m), "");
        Vertex* v3 = mdl_vertex_by_id(m, 3);
        ASSERT_NE(v3, nullptr);
        EXPECT_EQ(v3->x, 4 * c.scale);
        Edge* e1 = mdl_edge_by_id(m, 1);
        Edge* e2 = mdl_edge_by_id(m, 2);
        ASSERT_TRUE(e1 && e2);
        // Boxes read or, without edge boxes in the file, computed.
        EXPECT_EQ(e2->box.xmax, 4 * c.scale);
        EXPECT_EQ(e2->box.ymin, 3 * c.scale);
        const MemberAttrib* a = memberOf(e1);
        EXPECT_EQ(a->hingeStart, 1);
        EXPECT_EQ(a->hingeEnd, 0);
        EXPECT_STREQ(a->blocks[kMaterial]->label, "Steel");
        EXPECT_NE(a->blocks[kSection], nullptr);
        EXPECT_STREQ(a->blocks[kUniform]->label, "Q");
        EXPECT_STREQ(a->blocks[kLinear]->label, "LIN");
        EXPECT_EQ(a->blocks[kEndMoments] != nullptr, c.endMoments == 1);
        EXPECT_EQ(a->blocks[kThermal] != nullptr, c.thermal == 1);
        // Id 0, or no such list in the file: no block.
        EXPECT_EQ(memberOf(e2)->blocks[kThermal] == nullptr, c.version == 211 || c.thermal == 0);
        const NodeAttrib* n1 = nodeOf(mdl_vertex_by_id(m, 1));
        EXPECT_EQ(std::string(n1->support, 3), "112");
        ASSERT_NE(n1->force, nullptr);
        EXPECT_STREQ(n1->force->label, "P");
        EXPECT_EQ(n1->spring[2], c.spring);
        // Counters cover the ids read (the oldest layout: exactly them).
        EXPECT_GE(m->edge_counter, 2);
        if (c.version == 0) {
            EXPECT_EQ(m->edge_counter, 2);
        }
        files_test::discard(m);
    }
}

TEST_F(OldVersionsTest, ConversionOfAFileInCentimetresAndKiloNewtons) {
    files::ReadResult r =
        files::readModelFile(std::string(KESTREL_TEST_DATA) + "/files/v205.kst", settings);
    install(r);
    // The units the conversion dialog sets for cm and kN.
    units::UnitSettings codes{settings.units, settings.formats};
    codes = files::conversionUnits(false, 1, 0, codes);
    settings.units = codes.unit;
    settings.formats = codes.format;
    files::convertToInternal(s, root(), settings);
    EXPECT_DOUBLE_EQ(mdl_vertex_by_id(s, 3)->x, 4.0); // stored at 400 cm
    EXPECT_DOUBLE_EQ(mdl_vertex_by_id(s, 2)->y, 3.0);
    EXPECT_DOUBLE_EQ(mdl_edge_by_id(s, 2)->box.xmax, 4.0);
    EXPECT_DOUBLE_EQ(valuesOf(root().lists[kMaf])->values[kElasticity], 2.05e8); // kN/cm2
    // The section's area was typed in cm2, its inertia in cm4.
    EXPECT_DOUBLE_EQ(sectionOf(root().lists[kSpf])->params[0], 100e-4);
    EXPECT_DOUBLE_EQ(sectionOf(root().lists[kSpf])->params[1], 200000e-8);
    EXPECT_EQ(mdl_can_undo(), 0);
    EXPECT_EQ(mdl_check(s), "");
}

// The conversion dialog's table, row by row: unit labels of the family and
// the nine formats the table gives.
TEST(ConversionUnitsTest, EveryRowOfTheTable) {
    struct Row {
        bool us;
        int l, f;
        const char* labels; // length force moment distributed elastic weight spring rotspring
        std::array<int, 9> formats;
    };
    // clang-format off
    const Row rows[] = {
        {false, 0, 0, "m kN kNm kN/m kN/m\xB2 kN/m\xB3 kN/m kNm/rad",
         {2, 2, 4, 6, 1, 1, 2, 10, 1}},
        {false, 0, 1, "m N Nm N/m Pa N/m\xB3 N/m Nm/rad",
         {2, 2, 4, 6, 0, 0, 0, 10, 0}},
        {false, 0, 2, "m tf tfm tf/m tf/m\xB2 tf/m\xB3 tf/m tfm/rad",
         {2, 2, 4, 6, 2, 2, 3, 10, 2}},
        {false, 1, 0, "cm kN kNcm kN/cm kN/cm\xB2 kN/cm\xB3 kN/cm kNcm/rad",
         {1, 1, 2, 11, 1, 0, 4, 2, 10}},
        {false, 1, 1, "cm N Ncm N/cm N/cm\xB2 N/cm\xB3 N/cm Ncm/rad",
         {1, 1, 2, 11, 0, 11, 1, 10, 4}},
        {false, 1, 2, "cm tf tfcm tf/cm tf/cm\xB2 tf/cm\xB3 tf/cm tfcm/rad",
         {1, 1, 2, 11, 2, 0, 5, 3, 10}},
        {false, 2, 0, "mm kN kNmm kN/mm GPa kN/mm\xB3 kN/mm kNmm/rad",
         {0, 0, 0, 11, 1, 0, 6, 4, 10}},
        {false, 2, 1, "mm N Nmm N/mm MPa N/mm\xB3 N/mm Nmm/rad",
         {0, 0, 0, 11, 0, 11, 2, 0, 10}},
        {false, 2, 2, "mm tf tfmm tf/mm tf/mm\xB2 tf/mm\xB3 tf/mm tfmm/rad",
         {0, 0, 0, 11, 2, 0, 10, 5, 10}},
        {true, 0, 0, "ft kip ft-k k/ft k/ft\xB2 k/ft\xB3 k/ft ft-k/rad",
         {2, 2, 4, 6, 1, 1, 2, 10, 3}},
        {true, 0, 1, "ft lb ft-lb lb/ft lb/ft\xB2 pcf lb/ft ft-lb/rad",
         {2, 2, 4, 6, 0, 0, 0, 10, 1}},
        {true, 1, 0, "in kip in-k k/in ksi k/in\xB3 k/in in-k/rad",
         {1, 1, 2, 11, 1, 0, 4, 2, 10}},
        {true, 1, 1, "in lb in-lb lb/in psi lb/in\xB3 lb/in in-lb/rad",
         {1, 1, 2, 11, 0, 11, 1, 10, 3}},
    };
    // clang-format on
    using namespace units;
    for (const Row& r : rows) {
        const UnitSettings s = files::conversionUnits(r.us, r.l, r.f, presetSettings(kSIPreset));
        std::string labels;
        for (int slot : {kLengthUnit, kForceUnit, kMomentUnit, kDistribLoadUnit, kElasticParamUnit,
                         kSpecificWeightUnit, kTranslatSpringUnit, kRotationSpringUnit})
            labels += std::string(labels.empty() ? "" : " ") + unitLabel(s.unit[slot]);
        EXPECT_EQ(labels, r.labels);
        EXPECT_EQ(s.unit[kDisplacementUnit], s.unit[kLengthUnit]);
        EXPECT_EQ(s.unit[kSectionSizeUnit], s.unit[kLengthUnit]);
        EXPECT_STREQ(unitLabel(s.unit[kTemperatureUnit]), r.us ? "\260F" : "\260C");
        EXPECT_STREQ(unitLabel(s.unit[kThermalExpanUnit]), r.us ? "/\260F" : "/\260C");
        const auto& f = s.format;
        const std::array<int, 9> got = {
            f[kLengthFormat],         f[kSectionSizeFormat],  f[kSectionAreaFormat],
            f[kSectionInertiaFormat], f[kForceFormat],        f[kMomentFormat],
            f[kDistribLoadFormat],    f[kElasticParamFormat], f[kSpecificWeightFormat]};
        EXPECT_EQ(got, r.formats) << r.labels;
        EXPECT_EQ(f[kGridStepFormat], f[kLengthFormat]);
        EXPECT_EQ(f[kForce2Format], f[kForceFormat]);
        EXPECT_EQ(f[kMoment2Format], f[kMomentFormat]);
        EXPECT_EQ(f[kRotationFormat], 10);
        EXPECT_EQ(f[kTemperatureFormat], 0);
        EXPECT_EQ(f[kThermalExpanFormat], 6);
    }
}

} // namespace
