// The steel catalogues: the compiled welded table against the CSV it was
// generated from, row by row; the shape of the tables; the rows quoted in
// the catalogue's description; the moves of a catalogue position; catalogue
// sections' properties.
#include "attrib/catalogue.h"
#include "attrib/section.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace attrib;

struct CsvRow {
    int family, group, row;
    std::string name;
    double d, b, tf, tw;
};

std::vector<double> dims(const CatalogueRow& r) {
    return {r.d, r.b, r.tf, r.tw};
}

std::vector<CsvRow> readCsv() {
    std::ifstream in(KESTREL_WELDED_CSV);
    std::vector<CsvRow> rows;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::stringstream ss(line);
        std::vector<std::string> f;
        for (std::string cell; std::getline(ss, cell, ',');) f.push_back(cell);
        if (f.size() != 8) ADD_FAILURE() << "bad CSV line: " << line;
        if (f.size() != 8) continue;
        rows.push_back({std::stoi(f[0]), std::stoi(f[1]), std::stoi(f[2]), f[3],
                        std::strtod(f[4].c_str(), nullptr), std::strtod(f[5].c_str(), nullptr),
                        std::strtod(f[6].c_str(), nullptr), std::strtod(f[7].c_str(), nullptr)});
    }
    return rows;
}

TEST(WeldedCatalogue, CompiledTableEqualsTheCsvRowByRow) {
    const std::vector<CsvRow> csv = readCsv();
    ASSERT_EQ(int(csv.size()), 366);
    ASSERT_EQ(weldedRowTotal(), 366);
    for (size_t k = 0; k < csv.size(); ++k) {
        const CsvRow& c = csv[k];
        const CatalogueRow* r = weldedRow(c.family, c.group, c.row);
        ASSERT_NE(r, nullptr) << c.name;
        EXPECT_EQ(r, &weldedRowAt(int(k))) << c.name; // same order
        EXPECT_STREQ(r->designation, c.name.c_str());
        EXPECT_EQ(dims(*r), (std::vector<double>{c.d, c.b, c.tf, c.tw})) << c.name;
    }
}

TEST(WeldedCatalogue, FamiliesGroupsAndDesignations) {
    const char* series[] = {"VS", "CS", "CVS"};
    const int groups[] = {32, 11, 10}, rows[] = {163, 118, 85};
    for (int f = 1; f <= 3; ++f) {
        EXPECT_EQ(weldedGroupCount(f), groups[f - 1]);
        int total = 0;
        for (int g = 0; g < weldedGroupCount(f); ++g) {
            const double depth = weldedGroupDepth(f, g);
            for (int r = 0; r < weldedRowCount(f, g); ++r, ++total) {
                const CatalogueRow& row = *weldedRow(f, g, r);
                const std::string name = row.designation;
                // Series letters, depth in mm, "x", mass in kg/m.
                const size_t x = name.find('x');
                EXPECT_EQ(name.substr(0, name.find_first_of("0123456789")), series[f - 1]);
                EXPECT_EQ(row.d, depth) << name;
                EXPECT_NEAR(std::stod(name.substr(name.find_first_of("0123456789"))), depth * 1000,
                            1e-9)
                    << name;
                // The steel mass of the plates matches the designation.
                const double area = row.b * row.d - (row.d - 2 * row.tf) * (row.b - row.tw);
                const double mass = std::stod(name.substr(x + 1));
                EXPECT_NEAR(7850 * area, mass, 0.0045 * mass) << name;
            }
        }
        EXPECT_EQ(total, rows[f - 1]);
    }
    EXPECT_EQ(weldedGroupDepth(3, 9), 0.65);
    for (auto [f, g, r] : {std::tuple{1, 32, 0}, {4, 0, 0}, {1, 0, 4}, {0, 0, 0}})
        EXPECT_EQ(weldedRow(f, g, r), nullptr) << f << " " << g << " " << r;
    EXPECT_EQ(weldedGroupCount(0), 0);
    EXPECT_STREQ(weldedFamilyItem(3), "Beam-Column");
    EXPECT_STREQ(weldedFamilyItem(4), "");
}

TEST(Catalogues, QuotedRowsComeOutExactly) {
    struct Case {
        const CatalogueRow* row;
        const char* name;
        double d, b, tf, tw;
    } cases[] = {
        {weldedRow(1, 0, 0), "VS200x10.8", 0.2, 0.05, 0.0063, 0.004},
        {weldedRow(1, 31, 4), "VS2500x785", 2.5, 0.7, 0.05, 0.0125},
        {weldedRow(2, 0, 0), "CS200x38.8", 0.2, 0.2, 0.0095, 0.0063},
        {weldedRow(2, 10, 12), "CS700x726", 0.7, 0.7, 0.05, 0.0375},
        {weldedRow(3, 0, 0), "CVS200x25.6", 0.2, 0.15, 0.008, 0.0047},
        {weldedRow(3, 9, 10), "CVS650x461", 0.65, 0.45, 0.05, 0.025},
        {lightRow(1, 0), "VE100x6", 0.1, 0.08, 0.003, 0.003},
        {lightRow(1, 7), "VE450x59", 0.45, 0.25, 0.0095, 0.00635},
        {lightRow(2, 3), "CE300x76", 0.3, 0.3, 0.0125, 0.008},
        {lightRow(3, 1), "VEE150x18", 0.15, 0.1, 0.008, 0.00475},
        {lightRow(3, 4), "VEE300x50", 0.3, 0.2, 0.0125, 0.00475},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.row, nullptr) << c.name;
        EXPECT_STREQ(c.row->designation, c.name);
        EXPECT_EQ(dims(*c.row), (std::vector<double>{c.d, c.b, c.tf, c.tw})) << c.name;
    }
    EXPECT_EQ(lightRowCount(1) + lightRowCount(2) + lightRowCount(3), 17);
    EXPECT_EQ(lightRow(2, 4), nullptr);
    EXPECT_EQ(lightRow(0, 0), nullptr);
    EXPECT_STREQ(lightFamilyItem(3), "Equiv. Beam");
}

TEST(Catalogues, PositionMoves) {
    using W = WeldedPosition;
    struct Case {
        W from;
        int op; // 0 family item, 1 depth item, 2 step
        int arg;
        W want;
    } cases[] = {
        {{1, 20, 3}, 0, 2, {2, 10, 0}}, // Beam group 20 -> Column: last group
        {{1, 20, 3}, 0, 3, {3, 9, 0}},
        {{2, 4, 6}, 0, 7, {1, 4, 0}}, // any other item: Beam
        {{2, 4, 6}, 0, 0, {1, 4, 0}},
        {{1, 5, 2}, 1, 1, {1, 0, 0}},  // item k: group k - 1
        {{1, 5, 2}, 1, 0, {1, 0, 0}},  // at least 0
        {{3, 0, 2}, 1, 40, {3, 9, 0}}, // clamped to the last group
        {{1, 20, 3}, 2, kStepFirst, {1, 20, 0}},
        {{1, 20, 3}, 2, kStepLast, {1, 20, 6}},
        {{1, 20, 3}, 2, kStepNext, {1, 20, 4}},
        {{1, 20, 3}, 2, kStepPrevious, {1, 20, 2}},
        {{1, 20, 6}, 2, kStepNext, {1, 20, 6}}, // never into the next group
        {{1, 21, 0}, 2, kStepPrevious, {1, 21, 0}},
        {{2, 99, 99}, 2, kStepNext, {2, 10, 12}},
    };
    for (const Case& c : cases) {
        const W got = c.op == 0   ? weldedChooseFamily(c.from, c.arg)
                      : c.op == 1 ? weldedChooseDepth(c.from, c.arg)
                                  : weldedStep(c.from, WeldedStep(c.arg));
        EXPECT_EQ(got, c.want) << c.op << " " << c.arg << " -> " << got.family << "," << got.group
                               << "," << got.row;
    }
    EXPECT_STREQ(weldedRow(2, 10, 0)->designation, "CS700x356");

    using Lp = LightPosition;
    EXPECT_EQ(lightChooseFamily({1, 6}, 2), (Lp{2, 0}));
    EXPECT_EQ(lightChooseFamily({2, 3}, 9), (Lp{1, 0}));
    EXPECT_EQ(lightChooseDepth({1, 0}, 8), (Lp{1, 7}));
    EXPECT_EQ(lightChooseDepth({2, 0}, 8), (Lp{2, 3}));
    EXPECT_EQ(lightChooseDepth({3, 2}, -5), (Lp{3, 0}));
    EXPECT_EQ(clampLight({0, 9}), (Lp{1, 7}));
}

TEST(Catalogues, SectionsTakeTheRowsDimensions) {
    Section s = makeSection(kSecWelded);
    EXPECT_EQ(sectionTypeName(s), "VS200x10.8");
    // 0.2 x 0.05 - 0.1874 x 0.046
    EXPECT_NEAR(sectionArea(s), 0.0013796, 1e-12);
    EXPECT_DOUBLE_EQ(sectionDepth(s), 0.2);
    ASSERT_TRUE(applyOrientation(s, kRotateLeft));
    EXPECT_DOUBLE_EQ(sectionDepth(s), 0.05);
    EXPECT_DOUBLE_EQ(sectionYgc(s), 0.025);
    EXPECT_NEAR(sectionInertia(s),
                0.0063 * 0.05 * 0.05 * 0.05 / 6 + 0.1874 * 0.004 * 0.004 * 0.004 / 12, 1e-20);

    Section light = makeSection(kSecLight);
    setLightPosition(light, {2, 3});
    EXPECT_EQ(sectionTypeName(light), "CE300x76");
    const double a = 0.3 * 0.3 - (0.3 - 0.025) * (0.3 - 0.008);
    EXPECT_NEAR(sectionArea(light), a, 1e-15);
    EXPECT_DOUBLE_EQ(sectionYgc(light), 0.15);
    EXPECT_EQ(sectionCatalogueRow(makeSection(kSecIShape)), nullptr);
}

} // namespace
