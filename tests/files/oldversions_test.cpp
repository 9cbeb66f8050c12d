// Every layout the reader accepts, from hand-written files of the same frame
// (two members from a fixed node): settings mapped slot by slot, the lists
// each version holds, node and member records, computed edge boxes and the
// counters of the oldest layout; then the conversion of a file older than 206.
#include "attrib/section.h"
#include "tests/files/fixture.h"
#include "tests/support/golden.h"
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

// The conversion dialog's table, row by row, against its golden file
// (tests/data/files/conversion-units.txt): the unit labels of the family
// (length force moment distributed elastic weight spring rotspring) and the
// nine formats the table gives; the slots that follow others as invariants.
TEST(ConversionUnitsTest, EveryRowOfTheTable) {
    using namespace units;
    std::string table;
    for (const bool us : {false, true})
        for (int l = 0; l < (us ? 2 : 3); ++l)
            for (int fo = 0; fo < (us ? 2 : 3); ++fo) {
                const UnitSettings s = files::conversionUnits(us, l, fo, presetSettings(kSIPreset));
                table += (us ? "US " : "SI ") + std::to_string(l) + " " + std::to_string(fo) + ":";
                for (int slot :
                     {kLengthUnit, kForceUnit, kMomentUnit, kDistribLoadUnit, kElasticParamUnit,
                      kSpecificWeightUnit, kTranslatSpringUnit, kRotationSpringUnit})
                    table += std::string(" ") + unitLabel(s.unit[slot]);
                const auto& f = s.format;
                table += " |";
                for (int slot : {kLengthFormat, kSectionSizeFormat, kSectionAreaFormat,
                                 kSectionInertiaFormat, kForceFormat, kMomentFormat,
                                 kDistribLoadFormat, kElasticParamFormat, kSpecificWeightFormat})
                    table += " " + std::to_string(f[slot]);
                table += "\n";
                EXPECT_EQ(s.unit[kDisplacementUnit], s.unit[kLengthUnit]);
                EXPECT_EQ(s.unit[kSectionSizeUnit], s.unit[kLengthUnit]);
                EXPECT_STREQ(unitLabel(s.unit[kTemperatureUnit]), us ? "\260F" : "\260C");
                EXPECT_STREQ(unitLabel(s.unit[kThermalExpanUnit]), us ? "/\260F" : "/\260C");
                EXPECT_EQ(f[kGridStepFormat], f[kLengthFormat]);
                EXPECT_EQ(f[kForce2Format], f[kForceFormat]);
                EXPECT_EQ(f[kMoment2Format], f[kMomentFormat]);
                EXPECT_EQ(f[kRotationFormat], 10);
                EXPECT_EQ(f[kTemperatureFormat], 0);
                EXPECT_EQ(f[kThermalExpanFormat], 6);
            }
    kestrel_test::expectGolden("files", "conversion-units", table);
}

} // namespace
