// The DXF import: the paths of a drawing read by files/dxfread.h become
// members of the frame through the model's normal insertion with
// intersection (crossing lines split each other, overlapping ones merge,
// touching ends join), every segment of a polyline one member, in one undo
// step (a batch of the frame model). The command's messages are made here
// so that the window and the command line say the same. Plain C++ over the
// frame model; the shell's import command and `kestrel --import-dxf` call it.
// docs/dxf-import.md describes the rules and the messages.
#pragma once

#include "files/dxfread.h"
#include "model/entities.h"

#include <string>
#include <vector>

namespace files {

// What to import: the layers (one flag per layer of the drawing; empty: all)
// and the length of one drawing unit in metres.
struct DxfChoice {
    std::vector<bool> layers;
    double metresPerUnit = 0.001;
    std::string unitName = "mm"; // for the messages
};

// The drawing unit of the command line's --dxf-units (mm, cm, m, in, ft):
// metres per unit, 0 for any other name.
double dxfChosenUnitMetres(const std::string& name);

// The message of a drawing that could not be read ("" for one that was),
// naming the file by `name`.
std::string dxfReadMessage(const std::string& name, const DxfReadResult& r);

struct DxfImportResult {
    bool changed = false; // members were inserted (one undo step); otherwise nothing changed
    int paths = 0;        // paths of the chosen layers
    int segments = 0;     // their segments handed to the insertion
    int refused = 0;      // segments the insertion refused
    int degenerate = 0;   // paths of no length, not inserted
    int nodesAdded = 0;   // nodes and members the frame gained
    int membersAdded = 0;
    std::string message; // what the command tells the user (lines joined by "\n")
};

// Inserts the chosen paths of `d` into `model`, converted to metres, with a
// tolerance of a millionth of the extent of the paths. Nothing is inserted
// (and no step recorded) when no path is on a chosen layer, when a
// coordinate in metres lies beyond 1e9, or when `model` is null; the
// message then says why. An import whose members would break the frame's
// geometric rules (members meeting without a node, as lines that nearly
// meet can leave them) is undone at once when undo recording is on, and
// refused the same way. `name` names the file in the messages. The model's
// tolerance is the same afterwards.
DxfImportResult importDxf(Solid* model, const DxfDrawing& d, const DxfChoice& choice,
                          const std::string& name);

} // namespace files
