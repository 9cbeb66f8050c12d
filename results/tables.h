// Result tables: the results of the case, combination or envelope shown and
// the model's own data as plain rows of cells, for the tables window, its
// clipboard copy and the CSV export. Each cell keeps its value in internal
// units at full precision and its text in the model's display units and
// number formats; each column knows its unit in both systems. Nodes and
// members carry the numbers of the analysis. No toolkit here: the shell
// shows the tables (shell/results/tables.h) and the command line writes them.
#pragma once

#include "analysis/analysis.h"
#include "attrib/attrib.h"
#include "results/envelope.h"
#include "units/units.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace results {

// The tabs, in the order the window shows them.
enum class TableKind {
    NodeDisplacements = 0,
    SupportReactions,
    MemberEndForces,
    MemberExtremes,
    Nodes,
    Members,
    Materials,
    Sections,
    Supports,
    Loads,
};
constexpr int kTableCount = 10;

// The tab title ("Node Displacements") and the CSV file stem ("node-displacements").
const char* tableTitle(TableKind kind);
const char* tableFileStem(TableKind kind);

// A column: its name and the quantity kind of its values (a units::UnitSlot),
// or -1 for numbers without unit (node numbers) and texts.
struct TableColumn {
    std::string name;
    int unitSlot = -1;
    bool numeric = true; // false: the cells are texts (labels, support codes)
};

// A cell: a number (value, and its text in display units) or a text alone
// (value NaN). An empty cell (a direction without reaction) has both empty.
struct TableCell {
    double value = std::numeric_limits<double>::quiet_NaN();
    std::string text;
    bool isNumber() const { return !std::isnan(value); }
};

// What a row of a table stands for, so that the window can mark it on the canvas.
enum class RowEntity { None = 0, Node, Member };
struct RowRef {
    RowEntity entity = RowEntity::None;
    int number = 0; // the analysis number of the node or member
};

struct Table {
    TableKind kind = TableKind::NodeDisplacements;
    std::vector<TableColumn> columns;
    std::vector<std::vector<TableCell>> rows;
    std::vector<RowRef> refs; // per row
};

// The column heading in display units ("Dx (mm)") or in internal units ("Dx (m)").
std::string columnHeading(const TableColumn& c, const units::UnitSettings& u);
std::string columnHeadingInternal(const TableColumn& c);
// The internal unit of a quantity kind ("kN m"); "" outside 0..14.
const char* internalUnitLabel(int unitSlot);

// Everything the tables are made of. `stored` empty (or null) gives the
// result tables no rows. The envelope (shown == attrib::kEnvelope) reads
// `envelope`, which holds the stored results with the share sums of the
// pattern cases (readStoredResults after the analysis); without it the
// envelope tables have no rows.
// Which tables buildTables fills.
enum class TableSet { All, Results, Model };

struct TableInput {
    const analysis::Numbering* numbering = nullptr;
    const attrib::AttributeRoot* root = nullptr;
    const analysis::StoredResults* stored = nullptr;
    const EnvelopeInput* envelope = nullptr;
    int shown = 0; // a case id, a combination id or attrib::kEnvelope
    units::UnitSettings units;
    TableSet set = TableSet::All;
};

// Fills the tables of `in.set`, in the order of TableKind.
std::vector<Table> buildTables(const TableInput& in);

// Rounding noise of a solution: a value below 1e-10 of `scale` (the largest
// value of its kind) is 0, so that tables read the same on every machine.
// kestrel-solve's tables follow the same rule.
double noiseFree(double v, double scale);

// ---- Text forms ----------------------------------------------------------------------

// The table as CSV (RFC 4180): a header row of columnHeadingInternal(), then
// one record per row; fields separated by commas, quoted when they hold a
// comma, a quote, CR or LF (quotes doubled); records end with CRLF. Numbers
// in internal units with the shortest text that reads back as the same
// double; texts as they are (UTF-8); empty cells empty.
std::string tableCsv(const Table& t);
// The rows `rows` (indices into t.rows; all when empty) as tab-separated
// text with the display headings and the display texts, quoted as in the
// CSV where a field holds a tab, a quote or a line break; lines end with LF.
std::string tableTabText(const Table& t, const units::UnitSettings& u,
                         const std::vector<std::size_t>& rows = {});

// Writes the tables into `dir`, one file per table named by its stem
// ("dir/node-displacements.csv"), each through the atomic writer. Every file
// is written to its temporary first and renamed only when all were written,
// so a failure leaves none of them. False with `error` saying which file and
// why ("cannot write /x/nodes.csv: Permission denied").
bool writeTablesCsv(const std::vector<Table>& tables, const std::string& dir, std::string& error);
// One table into one file, likewise.
bool writeTableCsv(const Table& t, const std::string& path, std::string& error);

} // namespace results
