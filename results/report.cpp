// The report's layout: a list of what goes where on which page, made once,
// then drawn page by page.
#include "results/report.h"

#include "gfx/canvas.h"

#include <algorithm>
#include <cmath>

namespace results {

namespace {

constexpr double kLeft = 57, kRight = kReportPageWidth - 57; // 15 mm margins
constexpr double kTop = 66, kBottom = kReportPageHeight - 57;
constexpr double kHeadY = 30, kFootY = kReportPageHeight - 34;
constexpr int kTableFont = 7;      // points
constexpr double kRowHeight = 12;  // pixels (7 pt type with its leading)
constexpr double kCellPadding = 8; // between columns
constexpr double kPictureHeight = 440;
constexpr double kSectionTitleHeight = 30, kTableTitleHeight = 20, kCaptionHeight = 18;
constexpr int kContentsLines = 44; // entries on a page of contents

// One thing on a page, placed.
struct Item {
    enum Kind { kSectionTitle, kTableTitle, kTableRows, kPicture } kind;
    double y = 0; // top, pixels from the top of the page
    std::string text;
    std::size_t table = 0;           // among its section's tables
    std::size_t first = 0, last = 0; // rows [first, last) under the heading row
    int group = -1;                  // the columns shown (Layout::groups)
    const ReportPicture* picture = nullptr;
};

struct Page {
    std::size_t section = 0;
    std::vector<Item> items;
};

// Some columns of a table in one type size, with their widths.
struct ColumnGroup {
    int font = kTableFont;
    std::vector<std::size_t> columns;
    std::vector<double> widths;
};

// Column widths of a table in type of `font` points, from its headings and its longest texts.
std::vector<double> columnWidths(gfx::Canvas& c, const Table& t, const units::UnitSettings& u,
                                 int font) {
    std::vector<double> widths;
    c.setFont(gfx::FontFace::Sans, font, true);
    for (const TableColumn& col : t.columns) {
        int w = 0, h = 0;
        c.textSize(columnHeading(col, u), w, h);
        widths.push_back(w);
    }
    c.setFont(gfx::FontFace::Sans, font);
    for (std::size_t k = 0; k < t.columns.size(); ++k) {
        // Measuring the longest text of a column is enough: the type's widths differ little.
        const std::string* longest = nullptr;
        for (const std::vector<TableCell>& row : t.rows)
            if (k < row.size() && (!longest || row[k].text.size() > longest->size()))
                longest = &row[k].text;
        if (!longest) continue;
        int w = 0, h = 0;
        c.textSize(*longest + "0", w, h);
        widths[k] = std::max(widths[k], static_cast<double>(w));
    }
    for (double& w : widths) w += kCellPadding;
    return widths;
}

// The columns of a table as groups that fit the page's width: all of them in one, in type
// down to 6 points; else the leading columns that name a row (one, or three of a table of
// more than eight columns) and as many of the others as fit, group after group.
std::vector<ColumnGroup> columnGroups(gfx::Canvas& c, const Table& t,
                                      const units::UnitSettings& u) {
    const double room = kRight - kLeft + kCellPadding;
    std::vector<double> widths;
    int font = kTableFont;
    for (;; --font) {
        widths = columnWidths(c, t, u, font);
        double total = 0;
        for (double w : widths) total += w;
        if (total <= room || font == 6) break;
    }
    std::vector<ColumnGroup> groups;
    const std::size_t keys = std::min<std::size_t>(t.columns.size(), t.columns.size() > 8 ? 3 : 1);
    std::size_t k = keys;
    do {
        ColumnGroup g;
        g.font = font;
        double used = 0;
        for (std::size_t i = 0; i < keys; ++i) {
            g.columns.push_back(i);
            g.widths.push_back(widths[i]);
            used += widths[i];
        }
        // At least one more column in a group, whatever its width.
        while (k < t.columns.size() && (g.columns.size() == keys || used + widths[k] <= room)) {
            g.columns.push_back(k);
            g.widths.push_back(widths[k]);
            used += widths[k++];
        }
        groups.push_back(std::move(g));
    } while (k < t.columns.size());
    return groups;
}

class Layout {
public:
    Layout(int firstPage, gfx::Canvas& c, const units::UnitSettings& u)
        : firstPage_(firstPage), c_(c), units_(u) {}

    void section(const ReportSection& s) {
        section_ = sectionPages.size();
        newPage();
        sectionPages.push_back(page());
        add({Item::kSectionTitle, y_, s.title});
        y_ += kSectionTitleHeight;
        for (const ReportPicture& p : s.pictures) {
            if (y_ + kCaptionHeight + kPictureHeight > kBottom) newPage();
            Item item{Item::kPicture, y_, p.caption};
            item.picture = &p;
            add(item);
            y_ += kCaptionHeight + kPictureHeight + 10;
        }
        if (!s.tables) return;
        const std::vector<Table> tables = s.tables();
        for (std::size_t i = 0; i < tables.size(); ++i) table(tables[i], i);
    }

    int page() const { return firstPage_ + static_cast<int>(pages.size()) - 1; }

    std::vector<Page> pages;
    std::vector<int> sectionPages;
    std::vector<ColumnGroup> groups;

private:
    int firstPage_;
    gfx::Canvas& c_;
    const units::UnitSettings& units_;
    double y_ = kTop;
    std::size_t section_ = 0;

    void newPage() {
        pages.push_back(Page{section_, {}});
        y_ = kTop;
    }
    void add(Item item) { pages.back().items.push_back(std::move(item)); }

    // For each group of its columns: the title, then the heading row and as many rows as fit,
    // page after page.
    void table(const Table& t, std::size_t index) {
        const std::vector<ColumnGroup> parts = columnGroups(c_, t, units_);
        for (std::size_t part = 0; part < parts.size(); ++part) {
            groups.push_back(parts[part]);
            std::string title = tableTitle(t.kind);
            if (parts.size() > 1)
                title +=
                    ", part " + std::to_string(part + 1) + " of " + std::to_string(parts.size());
            std::size_t row = 0;
            bool first = true;
            do {
                if (y_ + kTableTitleHeight + 3 * kRowHeight > kBottom) newPage();
                add({Item::kTableTitle, y_, first ? title : title + " (continued)"});
                y_ += kTableTitleHeight;
                const auto fit = static_cast<std::size_t>((kBottom - y_) / kRowHeight) - 1;
                Item rows{Item::kTableRows, y_, ""};
                rows.table = index;
                rows.first = row;
                rows.last = std::min(t.rows.size(), row + fit);
                rows.group = static_cast<int>(groups.size()) - 1;
                add(rows);
                y_ += kRowHeight * static_cast<double>(rows.last - rows.first + 1) + 14;
                row = rows.last;
                first = false;
            } while (row < t.rows.size());
        }
    }
};

// Page-relative drawing: y from the top of the page, in pixels.
struct Pen {
    gfx::Canvas& c;
    void text(double x, double y, const std::string& s, gfx::Align a = gfx::Align::TopLeft) {
        c.setTextAlign(a);
        c.text(x, kReportPageHeight - y, s);
    }
    void line(double x0, double y0, double x1, double y1) {
        c.line(x0, kReportPageHeight - y0, x1, kReportPageHeight - y1);
    }
};

void pageSetUp(gfx::Canvas& c) {
    c.fullViewport();
    c.setWindow(0, kReportPageWidth, 0, kReportPageHeight);
    c.setLineStyle(gfx::LineStyle::Continuous);
    c.setLineWidth(1);
    c.setPaletteColor(0, {0, 0, 0});
    c.setPaletteColor(1, {255, 255, 255});
    c.setPaletteColor(2, {128, 128, 128});
    c.setForeground(0);
    c.setBackground(1);
    c.setPlainText(true);
}

void drawRows(Pen& pen, const Item& item, const Table& t, const units::UnitSettings& u,
              const ColumnGroup& g) {
    double y = item.y;
    pen.c.setFont(gfx::FontFace::Sans, g.font, true);
    double x = kLeft;
    for (std::size_t i = 0; i < g.columns.size(); ++i) {
        const TableColumn& col = t.columns[g.columns[i]];
        pen.text(col.numeric ? x + g.widths[i] - kCellPadding : x, y, columnHeading(col, u),
                 col.numeric ? gfx::Align::TopRight : gfx::Align::TopLeft);
        x += g.widths[i];
    }
    pen.c.setForeground(2);
    pen.line(kLeft, y + kRowHeight - 1, x - kCellPadding, y + kRowHeight - 1);
    pen.c.setForeground(0);
    pen.c.setFont(gfx::FontFace::Sans, g.font);
    for (std::size_t r = item.first; r < item.last; ++r) {
        y += kRowHeight;
        x = kLeft;
        const std::vector<TableCell>& row = t.rows[r];
        for (std::size_t i = 0; i < g.columns.size(); ++i) {
            const std::size_t k = g.columns[i];
            const bool right = t.columns[k].numeric;
            if (k < row.size() && !row[k].text.empty())
                pen.text(right ? x + g.widths[i] - kCellPadding : x, y + 1, row[k].text,
                         right ? gfx::Align::TopRight : gfx::Align::TopLeft);
            x += g.widths[i];
        }
    }
}

} // namespace

ReportPlan drawReport(gfx::Canvas& c, const ReportDocument& doc,
                      const std::function<bool()>& nextPage) {
    // The first pages hold the title block and the contents; the sections follow.
    const int contentsPages =
        std::max(1, static_cast<int>((doc.sections.size() + kContentsLines - 1) / kContentsLines));
    Layout layout(contentsPages + 1, c, doc.units);
    for (const ReportSection& s : doc.sections) layout.section(s);
    ReportPlan plan;
    plan.pages = contentsPages + static_cast<int>(layout.pages.size());
    plan.sectionPages = layout.sectionPages;

    pageSetUp(c);
    Pen pen{c};
    auto foot = [&](int page) {
        c.setFont(gfx::FontFace::Sans, 8);
        pen.text(kReportPageWidth / 2.0, kFootY,
                 "Page " + std::to_string(page) + " of " + std::to_string(plan.pages),
                 gfx::Align::TopCentre);
    };

    // Title block and contents.
    for (int p = 0; p < contentsPages; ++p) {
        if (p > 0 && !nextPage()) return plan;
        pageSetUp(c);
        c.clear();
        double y = kTop;
        if (p == 0) {
            c.setFont(gfx::FontFace::Sans, 20, true);
            pen.text(kLeft, y, "Calculation report");
            y += 44;
            c.setFont(gfx::FontFace::Sans, 10);
            const double top = y - 6;
            for (const auto& [name, value] : doc.titleBlock) {
                pen.text(kLeft + 8, y, name);
                pen.text(kLeft + 140, y, value);
                y += 18;
            }
            c.rect(kLeft, kReportPageHeight - top, kRight, kReportPageHeight - (y + 2));
            y += 30;
            c.setFont(gfx::FontFace::Sans, 14, true);
            pen.text(kLeft, y, "Contents");
            y += 28;
        }
        c.setFont(gfx::FontFace::Sans, 10);
        const std::size_t end =
            std::min(doc.sections.size(), static_cast<std::size_t>(p + 1) * kContentsLines);
        for (std::size_t s = static_cast<std::size_t>(p) * kContentsLines; s < end; ++s) {
            pen.text(kLeft + 8, y, doc.sections[s].title);
            pen.text(kRight, y, std::to_string(plan.sectionPages[s]), gfx::Align::TopRight);
            y += 18;
        }
        foot(p + 1);
    }

    int number = contentsPages;
    // The tables of the section being drawn.
    std::size_t madeFor = doc.sections.size();
    std::vector<Table> tables;
    for (const Page& page : layout.pages) {
        const ReportSection& section = doc.sections[page.section];
        if (madeFor != page.section) {
            tables.clear();
            madeFor = doc.sections.size();
        }
        if (!nextPage()) return plan;
        ++number;
        pageSetUp(c);
        c.clear();
        c.setFont(gfx::FontFace::Sans, 8);
        pen.text(kLeft, kHeadY, doc.heading);
        pen.text(kRight, kHeadY, section.title, gfx::Align::TopRight);
        c.setForeground(2);
        pen.line(kLeft, kHeadY + 14, kRight, kHeadY + 14);
        c.setForeground(0);
        for (const Item& item : page.items) {
            switch (item.kind) {
            case Item::kSectionTitle:
                c.setFont(gfx::FontFace::Sans, 14, true);
                pen.text(kLeft, item.y, item.text);
                break;
            case Item::kTableTitle:
                c.setFont(gfx::FontFace::Sans, 10, true);
                pen.text(kLeft, item.y, item.text);
                break;
            case Item::kTableRows:
                if (madeFor != page.section) {
                    tables = section.tables();
                    madeFor = page.section;
                }
                // Rows the second making does not have are left out rather than read.
                if (item.table < tables.size() && item.last <= tables[item.table].rows.size())
                    drawRows(pen, item, tables[item.table], doc.units,
                             layout.groups[static_cast<std::size_t>(item.group)]);
                break;
            case Item::kPicture: {
                c.setFont(gfx::FontFace::Sans, 10);
                pen.text(kLeft, item.y, item.text);
                const double top = item.y + kCaptionHeight;
                c.setViewport(static_cast<int>(kLeft), static_cast<int>(kRight),
                              static_cast<int>(top), static_cast<int>(top + kPictureHeight));
                item.picture->draw(c);
                pageSetUp(c);
                c.rect(kLeft, kReportPageHeight - top, kRight,
                       kReportPageHeight - (top + kPictureHeight));
                break;
            }
            }
        }
        foot(number);
    }
    return plan;
}

} // namespace results
