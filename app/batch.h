// Batch analysis of a model file, for scripts, continuous integration and
// bug reports: the program's own checks, numbering, neutral-file writer and
// engine, without a window. Prints node displacements, support reactions
// and member end forces in the model's display units, and optionally writes
// the same values in internal units and full precision as JSON.
#pragma once

#include <cstdio>
#include <string>

namespace batch {

// Exit statuses of kestrel-solve.
enum Status {
    kSolved = 0,
    kUsage = 1,
    kSingular = 2,
    kBadFile = 3,     // cannot be read, is damaged, is not a model, or its version is not read here
    kCheckFailed = 4, // a model check refused the frame
};

// What kestrel-solve runs: the linear analysis, the second-order one, or the first `modes`
// buckling factors (of every load case) or natural frequencies with their modes.
struct Request {
    enum Kind { kLinear, kSecondOrder, kBuckling, kModes } kind = kLinear;
    int modes = 0;
};

// Analyses the model file at `path`; the table goes to `out`, every message
// to `err` as one line starting with "kestrel-solve: <path>: ". With a
// non-empty `jsonPath` the values are also written there as JSON.
int analyseModelFile(const std::string& path, const std::string& jsonPath, std::FILE* out,
                     std::FILE* err, const Request& request = {});

// Runs the engine alone on a neutral file, as the engine's own tool always
// did: nothing on success, the engine's message on `out` and one line on `err`
// otherwise.
// With another request: its report on `out` (buckling of the file's first load case), and with
// a non-empty `jsonPath` the JSON file.
int analyseNeutralFile(const std::string& path, std::FILE* out, std::FILE* err,
                       const Request& request = {}, const std::string& jsonPath = "");

// The command line: "kestrel-solve FILE.dat", "kestrel-solve MODEL.kst
// [--json FILE]", each with --second-order, --buckling N or --modes N; "--help".
int run(int argc, char** argv, std::FILE* out, std::FILE* err);

} // namespace batch
