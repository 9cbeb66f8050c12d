// Second-order analysis, elastic buckling and natural vibration of the current model: the
// driver's check-free part of a run (numbering, the neutral file beside the model, the engine)
// with the engine's stability entries. The results stay in the outcome; nothing goes into the
// node and member records. Called by kestrel-solve (and the window, later).
#pragma once

#include "analysis/analysis.h"

#include <string>

namespace analysis {

struct StabilityOutcome {
    RunStatus status = RunStatus::kCannotWrite;
    std::string message; // as RunOutcome::message; "" when solved
    Numbering numbering;
    kestrel::engine::SecondOrderSolution second; // runSecondOrder: cases, then combinations
    // runBuckling: one per load case of the model, then one per combination (their list
    // orders); runVibration: one.
    std::vector<kestrel::engine::EigenSolution> eigen;
};

// Every case of the model, then every combination (from its own factored loads), in second
// order. A case that did not converge has converged false and no values.
StabilityOutcome runSecondOrder(Solid* model, const attrib::AttributeRoot& root,
                                const std::string& modelPath);
// The first `modes` critical load factors of the linear axial forces of each load case, then of
// each combination (from its own factored loads).
StabilityOutcome runBuckling(Solid* model, const attrib::AttributeRoot& root,
                             const std::string& modelPath, int modes);
// The first `modes` natural frequencies: mass per length = specific weight of the member's
// material x area of its section / 9.81 m/s2 (the real area, also of rigid members).
StabilityOutcome runVibration(Solid* model, const attrib::AttributeRoot& root,
                              const std::string& modelPath, int modes);

// driver.cpp: keeps a solved second-order outcome as the stored results, as runAnalysis keeps
// the linear ones (cases, the combinations' own, which did not converge), and puts the results
// of what the root shows into the records.
void storeSecondOrder(const StabilityOutcome& out, const attrib::AttributeRoot& root);

// driver.cpp: writes the neutral file `dat` as runAnalysis does; false with the message to
// show (a file in the way, or one that cannot be written).
bool writeAnalysisInput(const std::string& dat, const std::string& text, std::string* message);

} // namespace analysis
