// The five load kinds as property blocks: nodal forces (on nodes), member end
// moments, uniform loads, linear loads and temperature variations (on
// members). One block record serves them all; a table indexed by the kind
// says which of its values a kind uses, their names, panel texts and
// quantities, so that the generic property panel, the drawing and the file
// code walk the same description. Also the parallelism rule of global linear
// loads. Standard library, the attribute records and the unit slots only.
#pragma once

#include "attrib/attrib.h"

#include <array>

namespace attrib {

// Value indices of each kind, in stored order.
enum NodalForceValue { kFx = 0, kFy, kMz };
enum EndMomentValue { kMa = 0, kMb };
enum UniformLoadValue { kQx = 0, kQy };
enum LinearLoadValue { kPxi = 0, kPyi, kPxj, kPyj };
enum ThermalValue { kTyTop = 0, kTyBottom };
constexpr int kMaxLoadValues = 4;

// Direction of distributed loads.
enum LoadDirection { kGlobal = 0, kLocal = 1 };

// A block of any load kind: the direction (uniform and linear loads) and up
// to four values in internal units (kN, kNm, kN/m, degrees Celsius).
struct LoadBlock : PropertyBlock {
    int direction = kGlobal;
    std::array<double, kMaxLoadValues> values{};
};

// One value field of a load panel.
struct LoadField {
    const char* name;   // value name of the actions ("NffFx": NffFxText, NffFxTextSet)
    const char* handle; // the text field's handle ("nfffxtext")
    const char* label;  // "Fx:"
    const char* tip;    // "Horizontal force"
    int unitSlot;       // units::UnitSlot of the value
    int formatSlot;     // units::FormatSlot of the value
};

// One load kind.
struct LoadKindInfo {
    PropertyKind kind;
    const char* prefix; // "Nff"
    const char* title;  // panel title ("Nodal")
    bool onNodes;       // nodal forces: selected nodes; others: members
    bool hasDirection;  // Global / Local toggles
    int memberBlock;    // index in MemberAttrib::blocks (-1 for nodal forces)
    int fieldCount;
    LoadField fields[kMaxLoadValues];
};

// The table of the five load kinds, in list order (kNff to kTpf); none for
// other kinds.
const LoadKindInfo* loadKind(int kind);
constexpr int kLoadKindCount = 5;

// A new block with every value 0 and the global direction, appended to the
// kind's list of the root with the next id; none for a kind that is not a
// load kind or a label that the list already holds.
LoadBlock* addLoadBlock(AttributeRoot& r, int kind, const char* label);
// The block as a load block (none for blocks of other kinds).
LoadBlock* asLoad(PropertyBlock* b);
const LoadBlock* asLoad(const PropertyBlock* b);

// Parallelism of a global linear load: the end vector (Pxj, Pyj) stays
// parallel to the start vector (Pxi, Pyi). `prefer` is the component just
// edited (0 x, 1 y) or -1 after switching to global. A local block is left
// alone.
void keepLinearLoadParallel(LoadBlock& b, int prefer);

// Whether a distributed load draws nothing: every component below the
// drawing threshold in absolute value.
constexpr double kLoadDrawThreshold = 0.005;
bool loadIsNegligible(const LoadBlock& b, int kind);

} // namespace attrib
