// The result tables of the shell (see tables.h); the window is tableswindow.cpp.
#include "shell/results/tables.h"

#include "attrib/cases.h"
#include "shell/results/resultdisplay.h"
#include "shell/state.h"

namespace shell {

units::UnitSettings currentUnitSettings() {
    const AppSettings& s = app().settings;
    units::UnitSettings u;
    for (int i = 0; i < units::kUnitSlotCount; ++i) u.unit[i] = s.units[i];
    for (int i = 0; i < units::kFormatSlotCount; ++i) u.format[i] = s.formats[i];
    return u;
}

std::vector<results::Table> currentTables(analysis::Numbering& numbering, results::TableSet set) {
    AppState& a = app();
    numbering = analysis::Numbering{};
    if (!a.model) return {};
    const attrib::AttributeRoot& root = attrib::root();
    const analysis::StoredResults& stored = analysis::storedResults();
    // Without results the model tables still number the nodes and members
    // as an analysis would.
    numbering = stored.cases.empty() ? analysis::numberModel(a.model) : stored.numbering;
    results::TableInput in;
    in.numbering = &numbering;
    in.root = &root;
    in.stored = &stored;
    in.shown = attrib::shownId(root);
    if (in.shown == attrib::kEnvelope && !stored.cases.empty()) {
        results::readStoredResults(envelopeInput(), stored);
        in.envelope = &envelopeInput();
    }
    in.units = currentUnitSettings();
    in.set = set;
    return results::buildTables(in);
}

std::vector<results::Table> currentTables(results::TableSet set) {
    analysis::Numbering numbering;
    return currentTables(numbering, set);
}

bool exportTablesCsv(const std::string& dir, std::string& error) {
    return results::writeTablesCsv(currentTables(), dir, error);
}

ui::TableContent tableContent(const results::Table& t, const units::UnitSettings& u) {
    ui::TableContent c;
    for (const results::TableColumn& col : t.columns) {
        c.headings.push_back(results::columnHeading(col, u));
        c.numeric.push_back(col.numeric);
    }
    c.rows = t.rows.size();
    c.texts.reserve(c.rows * c.columns());
    c.values.reserve(c.rows * c.columns());
    for (const std::vector<results::TableCell>& row : t.rows)
        for (std::size_t i = 0; i < c.columns(); ++i) {
            const results::TableCell* cell = i < row.size() ? &row[i] : nullptr;
            c.texts.push_back(cell ? cell->text : std::string());
            c.values.push_back(cell ? cell->value : results::TableCell{}.value);
        }
    return c;
}

} // namespace shell
