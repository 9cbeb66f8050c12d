// kestrel-solve's second-order, buckling and vibration runs: the engine's entries on a neutral
// file, and the reports of buckling and vibration (the factors or frequencies and the mode
// vectors as tables, the same in a JSON file). batch.cpp runs them on model files.
#pragma once

#include "analysis/engine/engine.h"
#include "app/batch.h"

#include <cstdio>
#include <string>
#include <vector>

namespace batch {

// One set of modes: buckling of one load case or combination (label), or the vibration of the
// frame.
struct ModeRun {
    std::string label; // the load case or combination of a buckling run, "" for vibration
    const kestrel::engine::EigenSolution* solution = nullptr;
    bool combination = false; // the label is a combination's
};

// Prints each run (the note instead of modes when it has one) and, with a non-empty jsonPath,
// writes the JSON file; false when that cannot be written.
bool reportModes(std::FILE* out, bool buckling, const std::vector<ModeRun>& runs,
                 const std::string& model, const std::string& jsonPath);

// The engine's stability entries on a neutral file: second order writes its result file and
// says per case whether it converged; buckling (of the file's first case) and vibration print
// their report. The status as analyseNeutralFile's.
int analyseNeutralStability(const std::string& path, std::FILE* out, std::FILE* err,
                            const Request& request, const std::string& jsonPath);

// batch.cpp: a message of the program or the engine as one plain line.
std::string oneLine(const std::string& message);
// batch.cpp: a text as a JSON string body: quotes and backslashes escaped, control characters
// left out.
std::string jsonText(const std::string& text);

} // namespace batch
