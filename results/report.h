// The calculation report: a paged A4 document of a title block, a contents
// list, and sections of tables and pictures, drawn through one gfx canvas
// page after page. Tables that do not fit a page continue on the next with
// their heading row repeated; pictures are drawn by the caller into the box
// the layout gives them (the same drawing as the screen's). Every page but
// the first carries the model's name and its section in its head and
// "Page N of M" at its foot. No toolkit here: the shell gathers the content
// and opens the file.
#pragma once

#include "results/tables.h"

#include <functional>
#include <string>
#include <vector>

namespace gfx {
class Canvas;
}

namespace results {

// A picture of a section: its caption, and the drawing of it into the
// canvas's viewport (already set to the picture's box) in any world window
// the callback chooses.
struct ReportPicture {
    std::string caption;
    std::function<void(gfx::Canvas&)> draw;
};

// A section: its title in the contents, then its pictures, then its tables. The tables are
// made when the section is laid out and made again when its pages are drawn, so that the
// report holds the tables of one section at a time; both makings must give the same rows.
struct ReportSection {
    std::string title;
    std::vector<ReportPicture> pictures;
    std::function<std::vector<Table>()> tables; // none when empty
};

struct ReportDocument {
    std::vector<std::pair<std::string, std::string>> titleBlock; // ("Model", "frame.kst"), ...
    std::string heading;                                         // in the head of every page
    units::UnitSettings units;                                   // of the table headings
    std::vector<ReportSection> sections;
};

// The page layout in pixels of a page of 794 x 1123 (A4 at 96 per inch:
// one point of type is one point on paper).
constexpr int kReportPageWidth = 794;
constexpr int kReportPageHeight = 1123;

// What the layout made: pages in all and the first page of each section.
struct ReportPlan {
    int pages = 0;
    std::vector<int> sectionPages; // 1-based
};

// Lays the document out and draws it page by page: `nextPage` ends a page
// and begins the next (false stops the report). The canvas measures texts
// for the column widths.
ReportPlan drawReport(gfx::Canvas& c, const ReportDocument& doc,
                      const std::function<bool()>& nextPage);

} // namespace results
