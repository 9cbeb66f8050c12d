// kestrel-solve's reports of elastic buckling and natural vibration: the factors or
// frequencies and the mode vectors as tables, and the same in a JSON file.
#pragma once

#include "analysis/engine/engine.h"

#include <cstdio>
#include <string>
#include <vector>

namespace batch {

// One set of modes: buckling of one load case (label), or the vibration of the frame.
struct ModeRun {
    std::string label; // the load case of a buckling run, "" for vibration
    const kestrel::engine::EigenSolution* solution = nullptr;
};

// Prints each run (the note instead of modes when it has one) and, with a non-empty jsonPath,
// writes the JSON file; false when that cannot be written.
bool reportModes(std::FILE* out, bool buckling, const std::vector<ModeRun>& runs,
                 const std::string& model, const std::string& jsonPath);

} // namespace batch
