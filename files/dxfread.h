// A small reader of ASCII DXF drawings: the group code and value pairs of
// the HEADER section (only $INSUNITS, the drawing unit) and of the ENTITIES
// section, of which LINE, LWPOLYLINE and POLYLINE (with its VERTEX and
// SEQEND) are kept as point lists in the x-y plane with their layers; every
// other entity is only counted by its type. Z coordinates are ignored: a
// plane frame lies in x-y. Nothing in the file is trusted: a count read from
// it never sizes an allocation beyond what the rest of the file can hold.
// Plain C++ without the toolkit or the frame model; the DXF import
// (files/dxfimport.h), the tests and the fuzz target call it.
// docs/dxf-import.md describes what is read.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace files {

struct DxfPoint {
    double x = 0, y = 0;
};

// One LINE (two points) or the vertices of one polyline, in drawing units.
struct DxfPath {
    int layer = 0; // index into DxfDrawing::layers
    bool closed = false;
    std::vector<DxfPoint> points;
};

struct DxfDrawing {
    int insunits = -1;               // $INSUNITS of the header; -1 when it has none
    std::vector<std::string> layers; // layers of the paths, in the order first met
    std::vector<int> layerPaths;     // how many paths each layer holds
    std::vector<DxfPath> paths;      // in file order
    int arcSegments = 0;             // polyline segments with a bulge, read straight
    int paperSpace = 0;              // line entities of paper space, left out
    // Entities of the ENTITIES section that are not read, by type name,
    // sorted by name.
    std::vector<std::pair<std::string, int>> skipped;
};

enum class DxfStatus {
    kRead = 0,      // the drawing was read
    kBinary = 1,    // a binary DXF file
    kTruncated = 2, // the file ends before "0 EOF"
    kMalformed = 3, // a line that is not what the format allows there
    kTooLarge = 4,  // a count larger than the file can hold
};

struct DxfReadResult {
    DxfStatus status = DxfStatus::kMalformed;
    int line = 0;        // the line the fault was found on (1-based); cut short: the last line
    std::string problem; // what is wrong there ("" when read)
    DxfDrawing drawing;
};

DxfReadResult readDxf(std::string_view text);

// Metres per drawing unit of a $INSUNITS code; 0 for "unitless" (0) and for
// codes the format does not define.
double dxfUnitMetres(int insunits);
// The short name of a $INSUNITS code ("mm", "in", "US survey ft"); "" when
// it has none.
std::string dxfUnitName(int insunits);

// "Skipped: 3 ARC, 12 TEXT", or "" when nothing was skipped.
std::string dxfSkippedSummary(const DxfDrawing& d);

} // namespace files
