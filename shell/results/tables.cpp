// The result tables of the shell (see tables.h).
#include "shell/results/tables.h"

#include "analysis/analysis.h"
#include "attrib/cases.h"
#include "shell/results/resultdisplay.h"
#include "shell/state.h"

namespace shell {

std::vector<results::Table> currentTables() {
    AppState& a = app();
    if (!a.model) return {};
    const attrib::AttributeRoot& root = attrib::root();
    const analysis::StoredResults& stored = analysis::storedResults();
    // Without results the model tables still number the nodes and members
    // as an analysis would.
    analysis::Numbering own;
    if (stored.cases.empty()) own = analysis::numberModel(a.model);
    results::TableInput in;
    in.numbering = stored.cases.empty() ? &own : &stored.numbering;
    in.root = &root;
    in.stored = &stored;
    in.shown = attrib::shownId(root);
    if (in.shown == attrib::kEnvelope && !stored.cases.empty()) {
        results::readStoredResults(envelopeInput(), stored);
        in.envelope = &envelopeInput();
    }
    for (int i = 0; i < units::kUnitSlotCount; ++i) in.units.unit[i] = a.settings.units[i];
    for (int i = 0; i < units::kFormatSlotCount; ++i) in.units.format[i] = a.settings.formats[i];
    return results::buildTables(in);
}

bool exportTablesCsv(const std::string& dir, std::string& error) {
    return results::writeTablesCsv(currentTables(), dir, error);
}

} // namespace shell
