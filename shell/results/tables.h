// The result tables of the shell: the tables of what the results show now
// (the case, combination or envelope of the drop-down) and of the model, and
// their CSV export, which `kestrel --csv` calls.
#pragma once

#include "results/tables.h"

#include <string>
#include <vector>

namespace shell {

// The tables of the current model with the units of its settings; the
// result tables have rows only while the result mode holds stored results.
std::vector<results::Table> currentTables();
// Writes every current table as CSV into `dir` (results::writeTablesCsv).
bool exportTablesCsv(const std::string& dir, std::string& error);

} // namespace shell
