// The report's layout on a recording canvas: the pages it asks for, what their heads and feet
// say, a long table continued with its heading row on the next pages, a wide one in parts
// that each repeat the row's name, pictures drawn into their own box, and the contents.
// A section's tables are made when it is laid out and again when it is drawn.
#include "gfx/record.h"
#include "results/report.h"

#include <gtest/gtest.h>

#include <map>

namespace results {
namespace {

// Cells "<p>r<row>c<column>", headings "<p>Column <column>".
Table numbered(TableKind kind, const std::string& p, int rows, int columns) {
    Table t;
    t.kind = kind;
    for (int k = 0; k < columns; ++k) t.columns.push_back({p + "Column " + std::to_string(k), -1});
    for (int r = 0; r < rows; ++r) {
        std::vector<TableCell> row;
        for (int k = 0; k < columns; ++k)
            row.push_back({double(r), p + "r" + std::to_string(r) + "c" + std::to_string(k)});
        t.rows.push_back(row);
    }
    return t;
}

struct Page {
    std::vector<std::string> texts;
    int clears = 0;
};

TEST(Report, TablesContinueAndPicturesGetTheirBox) {
    const Table longTable = numbered(TableKind::Nodes, "", 200, 3);
    const Table wideTable = numbered(TableKind::Loads, "w", 2, 40);
    ReportDocument doc;
    doc.heading = "frame.kst";
    doc.titleBlock = {{"Model", "frame.kst"}};
    int drawn = 0;
    gfx::Point boxLow, boxHigh;
    ReportPicture picture{"A picture", [&](gfx::Canvas& c) {
                              ++drawn;
                              c.setWindow(0, 1, 0, 1);
                              boxLow = c.worldToPixel(0, 0), boxHigh = c.worldToPixel(1, 1);
                              c.clear();
                          }};
    doc.sections.push_back({"Frame", {picture, picture, picture}, {}});
    int made = 0;
    doc.sections.push_back({"Model data", {}, [&] {
                                ++made;
                                return std::vector<Table>{longTable, wideTable};
                            }});

    gfx::RecordingCanvas c(kReportPageWidth, kReportPageHeight, 210, 297);
    std::vector<Page> pages(1);
    auto collect = [&] {
        for (const gfx::Primitive& p : c.primitives()) {
            if (p.kind == gfx::Primitive::Kind::Text) pages.back().texts.push_back(p.text);
            if (p.kind == gfx::Primitive::Kind::Clear || p.kind == gfx::Primitive::Kind::Polygon)
                ++pages.back().clears;
        }
        c.reset();
    };
    const ReportPlan plan = drawReport(c, doc, [&] {
        collect();
        pages.emplace_back();
        return true;
    });
    collect();

    // Contents, two pages of pictures (two fit a page), then 200 rows at about 80 a page.
    ASSERT_EQ(plan.pages, static_cast<int>(pages.size()));
    EXPECT_EQ(plan.sectionPages, (std::vector<int>{2, 4}));
    EXPECT_EQ(drawn, 3);
    EXPECT_EQ(made, 2); // once laid out, once drawn
    EXPECT_NEAR(boxHigh.x - boxLow.x, kReportPageWidth - 2 * 57 + 1, 1);
    EXPECT_GT(boxLow.y - boxHigh.y, 400);
    const std::string last =
        "Page " + std::to_string(plan.pages) + " of " + std::to_string(plan.pages);
    std::map<std::string, int> count;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (const std::string& t : pages[p].texts) ++count[t];
        const std::string foot =
            "Page " + std::to_string(p + 1) + " of " + std::to_string(plan.pages);
        EXPECT_NE(std::find(pages[p].texts.begin(), pages[p].texts.end(), foot),
                  pages[p].texts.end())
            << foot;
    }
    EXPECT_EQ(count["Contents"], 1);
    // In the contents, as the section's title and in the head of each of its pages.
    EXPECT_EQ(count["Model data"], 2 + plan.pages - 3);
    EXPECT_EQ(count["Nodes"], 1);
    EXPECT_EQ(count["Nodes (continued)"], 2);
    EXPECT_EQ(count["Column 2"], 3); // the heading row on each page of the table
    for (int r : {0, 79, 80, 199}) EXPECT_EQ(count["r" + std::to_string(r) + "c2"], 1) << r;
    // The wide table in parts, each with the three columns that name a row; every column once.
    int parts = 0;
    while (count["Loads, part " + std::to_string(parts + 1) + " of " +
                 std::to_string(count["wColumn 0"])] == 1)
        ++parts;
    EXPECT_GE(parts, 2);
    EXPECT_EQ(parts, count["wColumn 0"]);
    EXPECT_EQ(count["wr1c2"], parts);
    for (int k = 3; k < 40; ++k) EXPECT_EQ(count["wr1c" + std::to_string(k)], 1) << k;
    EXPECT_EQ(count[last], 1);
}

} // namespace
} // namespace results
