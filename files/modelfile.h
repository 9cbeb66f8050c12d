// The model file (.kst): one frame as the list of operator records that
// rebuild it, with the model, node and member attribute records among them.
// The writer writes the current version; the reader reads it and every older
// layout, never trusting a count, an id or a list reference from the file.
// Plain C++ over the frame model and the attribute root; the shell's file
// commands, the tests and the batch tools share these functions.
// docs/model-file.md describes the layout.
#pragma once

#include "attrib/attrib.h"
#include "attrib/settings.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace files {

constexpr int kFileVersion = 212;       // the highest that is read; written for load cases
constexpr int kSingleCaseVersion = 211; // written for a single case (attrib::isSingleCase)
// The line of the analysis choice after the combinations (version 212):
// "analysis second-order"; "analysis linear" reads too, and no line is linear.
constexpr char kAnalysisWord[] = "analysis";
constexpr char kSecondOrderWord[] = "second-order";
constexpr char kLinearWord[] = "linear";
constexpr int kBlockVersion = 200; // version of the model block

// ---- Writing -------------------------------------------------------------------

// Writes the version line and the model block of `model` with the lists of
// `root` and `settings`. The model is dismantled and built again (same ids,
// geometry and attributes). False when the stream reports an error.
bool writeModel(FILE* fp, Solid* model, const attrib::AttributeRoot& root,
                const attrib::AppSettings& settings);

enum class SaveStatus { kSaved = 0, kCannotWrite = 1 };
// Saves through the atomic writer (fileio/): the file is written beside `path`
// under a temporary name, flushed to disk and renamed over `path`; a link is
// followed and its target replaced. On failure the temporary file is removed
// and `path` is untouched. An existing file keeps its permissions; a
// write-protected one is replaced only with `replaceProtected` (the user was
// asked), and a directory or device never.
SaveStatus saveModelFile(const std::string& path, Solid* model, const attrib::AttributeRoot& root,
                         const attrib::AppSettings& settings, bool replaceProtected = false);

// The name Save As writes: the last path component loses its extension (from
// its last ".") and gets ".kst".
std::string withModelExtension(const std::string& path);

// ---- Reading -------------------------------------------------------------------

enum class ReadStatus {
    kModel = 0,        // a model was built
    kCannotOpen = 1,   // the file cannot be opened
    kBadFile = 2,      // no model could be built from it
    kNewerVersion = 3, // its version is above kFileVersion
};

struct ReadResult {
    ReadStatus status = ReadStatus::kBadFile;
    int version = 0;                             // application version read (0: a file without one)
    Solid* model = nullptr;                      // the model read (owned by the frame model module)
    std::unique_ptr<attrib::AttributeRoot> root; // its property lists
    attrib::AppSettings settings;                // its settings
    // What the reader left out of the model it built (records it could not
    // read or apply, a file cut short, references to list entries the file
    // does not hold) and the values it read that no panel accepts (negative
    // stiffnesses, sections and springs, kept as read). One sentence each, in
    // file order; the first kMaxNotes are kept and `noteCount` counts them
    // all. Empty for a sound file.
    std::vector<std::string> notes;
    int noteCount = 0;
    // Why no model was built, when more can be said than that the file is
    // not a model file ("" otherwise).
    std::string reason;
};
constexpr std::size_t kMaxNotes = 20;
// Dimension lines a model keeps at most; a file's further lines are left out
// (and noted).
constexpr std::size_t kMaxDimensionLines = 10000;

// The notes of `r`: the first `max` joined by "; ", then how many more.
std::string notesSummary(const ReadResult& r, std::size_t max);

// Reads a model file. `base` supplies every setting the file does not hold
// (older versions) or that cannot be read. The model's node and member records
// refer to the blocks of `root`; install both together. Anything else than
// kModel leaves no solid behind: nothing of the current frame is touched.
ReadResult readModel(FILE* fp, const attrib::AppSettings& base);
ReadResult readModelFile(const std::string& path, const attrib::AppSettings& base);

// ---- Import of property lists --------------------------------------------------

enum class ImportStatus { kImported = 0, kCannotOpen = 1, kNewerVersion = 2 };
// Adds the property lists of a model file to `root`: all kinds (kind -1, and
// the file's settings then replace `settings`) or only `kind` (the settings
// are left alone). Imported blocks whose label is already in the list are
// dropped; the others are appended.
ImportStatus importProperties(const std::string& path, attrib::AttributeRoot& root,
                              attrib::AppSettings& settings, int kind, int* version = nullptr);

// Converts a model read from a file older than version 206, whose values are
// in the display units of `settings`, to internal units: node coordinates and
// member geometry, and every property value. Recording is switched off.
void convertToInternal(Solid* model, attrib::AttributeRoot& root,
                       const attrib::AppSettings& settings);

} // namespace files

namespace files {

// The unit and format codes of the conversion dialog for a length unit
// (item 0, 1, 2: m, cm, mm, or with `us` ft, in) and a force unit (item 0,
// 1, 2: kN, N, tf, or with `us` kip, lb), applied over `current` (the slots
// it does not set keep their codes).
units::UnitSettings conversionUnits(bool us, int length, int force,
                                    const units::UnitSettings& current);

} // namespace files
