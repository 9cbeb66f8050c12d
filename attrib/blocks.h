// Property block lists: the operations on the seven lists of an attribute
// root (new, rename, remove, condense, select, apply, renumber, find), with
// the use counts that keep a block alive while any attribute record, live or
// held by the undo and redo lists, refers to it. No toolkit here: the panels
// of the shell, the file reader and writer, the import of properties and the
// tests all call these same functions. Results are return codes; the shell
// turns them into messages and questions.
#pragma once

#include "attrib/attrib.h"

#include <array>
#include <string>
#include <string_view>

namespace attrib {

// ---- Blocks of the kinds whose fields are plain numbers ----------------------

// Nodal forces (Fx, Fy, Mz), end moments (Ma, Mb), uniform loads (Qx, Qy),
// linear loads (Pxi, Pyi, Pxj, Pyj), temperature variations (Ty+, Ty-) and
// materials (E, specific weight, alpha) hold their values in this order, in
// internal units; the two distributed load kinds also hold a direction.
constexpr int kMaxBlockValues = 4;
struct ValueBlock : PropertyBlock {
    int direction = 0; // loads: 0 global axes, 1 local axes
    std::array<double, kMaxBlockValues> values{};
};

// Value indices of a material block.
enum MaterialValue { kElasticity = 0, kSpecificWeight = 1, kThermalExpansion = 2 };

// The values of a block of `kind` as a ValueBlock, or none for another block.
ValueBlock* valuesOf(PropertyBlock* b);
const ValueBlock* valuesOf(const PropertyBlock* b);

// A block of the kind with the kind's default values ("all 0, global axes";
// materials E = 100000000, specific weight 10, alpha 0.00001), no label, id 0.
PropertyBlock* makeBlock(PropertyKind kind);

// The two material presets. With `usCustomary` (a foot or inch length unit)
// the values are the customary ones (30000 ksi, 490 pcf, 0.0000065 /°F for
// steel) converted to internal units.
enum MaterialPreset { kSteel = 0, kConcrete = 1 };
const char* presetLabel(MaterialPreset preset);
std::array<double, 3> presetValues(MaterialPreset preset, bool usCustomary);
// True when the length unit code is the foot or the inch.
bool isCustomaryLength(int lengthUnitCode);

// ---- Lists -------------------------------------------------------------------

int blockCount(const AttributeRoot& r, PropertyKind kind);
// The block with id `id` (from 1), or none.
PropertyBlock* findBlock(const AttributeRoot& r, PropertyKind kind, int id);
// The block with exactly this label (case-sensitive), or none.
PropertyBlock* findLabel(const AttributeRoot& r, PropertyKind kind, std::string_view label);
// Appends a block (taking it over) with id = counter + 1; for the file reader
// and the import, which give values and labels themselves.
PropertyBlock* appendBlock(AttributeRoot& r, PropertyKind kind, PropertyBlock* b);
// Appends many blocks to one list as appendBlock does, each in constant time:
// the list is walked once, when the appender is made. Nothing else may
// change the list while it is in use.
class BlockAppender {
public:
    BlockAppender(AttributeRoot& r, PropertyKind kind);
    PropertyBlock* append(PropertyBlock* b);

private:
    AttributeRoot& root_;
    PropertyKind kind_;
    PropertyBlock** link_; // the link of the last block (or of the list's head)
};
// Gives the blocks the ids 1, 2, 3 ... in list order; the counter becomes
// the number of blocks.
void renumber(AttributeRoot& r, PropertyKind kind);
// Deletes every block of every list and resets the counters, before a model
// file is read; no record may refer to the blocks any more.
void clearBlocks(AttributeRoot& r);

// Label checks of New and Rename. A label is cut to its first 31 bytes.
enum LabelResult {
    kLabelDone = 0,  // created or renamed
    kLabelEmpty = 1, // empty text: nothing happens
    kLabelTaken = 2, // the list already holds the label: nothing changes
    kLabelBlank = 3, // holds a blank, another white-space character or a control byte
};
// The stored form of a typed label: at most 31 bytes, cut at a UTF-8
// character boundary.
std::string storedLabel(std::string_view typed);
// New: appends a block with the kind's defaults and the label; `made` gets it.
LabelResult newBlock(AttributeRoot& r, PropertyKind kind, std::string_view label,
                     PropertyBlock** made = nullptr);
// Rename of block b of the list.
LabelResult renameBlock(AttributeRoot& r, PropertyKind kind, PropertyBlock* b,
                        std::string_view label);

// ---- References of the model ---------------------------------------------------

// The member block slot of a member kind; -1 for nodal forces.
int memberSlot(PropertyKind kind);
PropertyBlock* blockOf(const Vertex* v, PropertyKind kind); // nodal forces only
PropertyBlock* blockOf(const Edge* e, PropertyKind kind);   // member kinds only
// Live nodes (nodal forces) or members (other kinds) of the model that refer
// to b (with b none: that have no block of the kind).
int liveUsers(const Solid* model, PropertyKind kind, const PropertyBlock* b);

// ---- Remove and condense --------------------------------------------------------

enum RemoveResult {
    kRemoved = 0,     // the list changed
    kInUse = 1,       // a live entity refers to the block: nothing changes
    kNeedsClear = 2,  // only the history refers to it: ask, then call again confirmed
    kNothingToDo = 3, // no block, or an empty list
};
// Removes b. A block that only recorded steps refer to is removed only when
// `confirmed`; the history is then emptied first, which releases the records
// that hold it. The list is renumbered.
RemoveResult removeBlock(AttributeRoot& r, const Solid* model, PropertyKind kind, PropertyBlock* b,
                         bool confirmed);
// Removes every block whose use count is 0, keeping the others in order, and
// renumbers. A block that no live entity refers to but recorded steps do
// makes it kNeedsClear unless `confirmed` (the history is then emptied, and
// the block goes too). `removed` gets the number of blocks removed.
RemoveResult condenseBlocks(AttributeRoot& r, const Solid* model, PropertyKind kind, bool confirmed,
                            int* removed = nullptr);

// ---- Select and apply --------------------------------------------------------------

// Clears the selection of nodes and members and selects the entities of the
// kind that refer to b (with b none: that have no block of the kind).
// Returns how many were selected.
int selectUsers(Solid* model, PropertyKind kind, const PropertyBlock* b);
// Gives b (none: removes the kind) to the selected nodes (nodal forces) or
// members, in one undo step: each selected entity is deselected and, unless
// it already refers to b, receives a copy of its record with b set through
// the frame model's set-attribute operation. Returns the number of entities
// that were selected (0: nothing happened); `changed` gets how many records
// were replaced.
int applyToSelection(Solid* model, PropertyKind kind, PropertyBlock* b, int* changed = nullptr);
// Selects every member that has a record and applies b to them (materials and
// sections). Returns the number of members.
int applyToAllMembers(Solid* model, PropertyKind kind, PropertyBlock* b, int* changed = nullptr);

} // namespace attrib
