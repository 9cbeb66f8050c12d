// The result tables of the shell: the tables of what the results show now
// (the case, combination or envelope of the drop-down) and of the model,
// their CSV export, which `kestrel --csv` calls, and the Result Tables
// window (Options > Result Tables..., the tool button `tblopen`), whose
// elements are `tblwindow`, `tblcase`, `tbltabs`, `tblnote`, `tbltable`,
// `tblcopy`, `tblexport` and `tblclose` (docs/result-tables.md).
#pragma once

#include "analysis/analysis.h"
#include "results/tables.h"
#include "ui/ui.h"

#include <string>
#include <vector>

namespace shell {

// The tables of the current model with the units of its settings; the
// result tables have rows only while the result mode holds stored results.
// `numbering` receives the numbers the rows refer to.
std::vector<results::Table> currentTables(analysis::Numbering& numbering,
                                          results::TableSet set = results::TableSet::All);
std::vector<results::Table> currentTables(results::TableSet set = results::TableSet::All);
// The display units and formats of the settings.
units::UnitSettings currentUnitSettings();
// Writes every current table as CSV into `dir` (results::writeTablesCsv).
bool exportTablesCsv(const std::string& dir, std::string& error);

// A table as the window shows it: display headings and texts, the values
// the numeric columns sort by.
ui::TableContent tableContent(const results::Table& t, const units::UnitSettings& u);

// The window. Opening builds it on first use and fills it; while it is open
// every command but its own refills it when the tables changed and selects
// the rows of the nodes or members selected on the canvas.
void openTablesWindow();
void closeTablesWindow();
bool tablesWindowOpen();
void refreshTablesWindow();
// What "Copy" puts on the clipboard: the selected rows of the tab shown (all
// when none is selected) in the order shown, tab-separated with the headings.
std::string tablesCopyText();
void bindTablesActions(ui::Toolkit& tk);

} // namespace shell
