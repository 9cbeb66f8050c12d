// The result tables of the shell: the tables of what the results show now
// (the case, combination or envelope of the drop-down) and of the model, the
// CSV export of the command line, and the tables window (a dialog of tabs,
// each a sortable table; the selected rows mark their nodes or members on
// the canvas; Copy and Export CSV). Its commands are actions of named
// elements, so a journal reaches all of them.
#pragma once

#include "results/tables.h"

#include <string>
#include <vector>

namespace ui {
class Toolkit;
}

namespace shell {

// The tables of the current model with the units of its settings; the
// result tables have rows only while the result mode holds stored results.
std::vector<results::Table> currentTables();
// Writes every current table as CSV into `dir` (results::writeTablesCsv).
bool exportTablesCsv(const std::string& dir, std::string& error);

// The window: opens it (filling the tables), shows the tab of `kind`.
void openTablesWindow();
void closeTablesWindow();
bool tablesWindowOpen();
// The text Copy puts on the clipboard: the selected rows of the shown tab,
// or all of them when none is selected.
std::string tablesCopyText();

void bindTablesActions(ui::Toolkit& tk);

} // namespace shell
