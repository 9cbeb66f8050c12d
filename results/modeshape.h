// Buckling and vibration mode shapes as the result layer draws them: each
// member of the analysed frame as a deformed member, through its end nodes
// and the interior points the eigen-analysis returns (so that a member bends
// along its mode), and the message line of a mode.
#pragma once

#include "analysis/analysis.h"
#include "results/resultset.h"

#include <string>

namespace results {

// The curves of mode `mode` (from 0) of `s` over the members of `n`, of kind
// Deformed: each member sampled at its ends and at k / pieces of its length,
// in its own axes (u along it, f across it); largest is the greatest
// translation (1 with the engine's scaling). No curves for a mode out of
// range or a solution that does not fit the numbering.
void computeModeCurves(ResultCurves& rc, const analysis::Numbering& n,
                       const kestrel::engine::EigenSolution& s, int mode);

// "Buckling mode 1 of 5: critical load factor 12.3456" or "Vibration mode 2
// of 5: 4.5678 Hz" (mode from 1; the value with four decimals).
std::string modeText(bool buckling, int mode, int count, double value);

} // namespace results
