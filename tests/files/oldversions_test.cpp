// Every layout the reader accepts, read from hand-written files of the same
// frame; the conversion of a file older than 206; the conversion table.
#include "attrib/section.h"
#include "tests/files/fixture.h"
#include "tests/support/golden.h"
#include "units/units.h"

namespace {

using namespace attrib;
class OldVersionsTest : public files_test::ModelFileTest {};

// Every layout the reader accepts, from hand-written files of the same frame
// (two members from a fixed node, hinged at its start, with every list the
// version holds). Each file reads as the model that the writer saves as its
// golden file (tests/data/files/v*-read.txt): the settings mapped slot by
// slot (a missing result step becomes 0), the lists each version holds, node
// and member records, edge boxes read or computed, and the counters (the
// oldest layout: exactly the ids read). Its last line gives the material's
// E, the section's first parameter, node 1's Rz spring and node 3's x in
// full precision; the files before 206 hold them in their own units.
TEST_F(OldVersionsTest, EveryLayoutReadsTheSameFrame) {
    const std::pair<const char*, int> kFiles[] = {{"v211", 211}, {"v210", 210},     {"v209", 209},
                                                  {"v208", 208}, {"v206", 206},     {"v205", 205},
                                                  {"v204", 204}, {"v200b104", 200}, {"v0", 0}};
    for (const auto& [name, version] : kFiles) {
        SCOPED_TRACE(name);
        AppSettings base = initialSettings();
        base.resultStep = 9;
        files::ReadResult r =
            files::readModelFile(std::string(KESTREL_TEST_DATA) + "/files/" + name + ".kst", base);
        ASSERT_EQ(r.status, files::ReadStatus::kModel);
        EXPECT_EQ(r.version, version);
        EXPECT_EQ(mdl_check(r.model), "");
        char exact[160];
        std::snprintf(exact, sizeof exact, "%.17g %.17g %.17g %.17g\n",
                      valuesOf(r.root->lists[kMaf])->values[kElasticity],
                      sectionOf(r.root->lists[kSpf])->params[0],
                      nodeOf(mdl_vertex_by_id(r.model, 1))->spring[2],
                      mdl_vertex_by_id(r.model, 3)->x);
        kestrel_test::expectGolden("files", std::string(name) + "-read",
                                   files_test::writeText(r.model, *r.root, r.settings) + exact);
        files_test::discard(r.model);
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
