// Node and member attributes: the records every node and member of the frame
// carries (NodeAttrib, MemberAttrib), the property blocks they refer to, the
// AttributeRoot with the eight lists of a model (seven property kinds and
// the dimension lines of the drawing), and the application side of the frame
// model's attribute hooks (create, split, join, release). The shell registers
// hooks() with the frame model at start-up and owns the selection summary;
// the selected flags themselves live here, in the records. Standard library
// and the frame model only.
#pragma once

#include "model/model.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace attrib {

// The seven property kinds, in file order; list 7 holds the dimension lines.
enum PropertyKind { kNff = 0, kMbm, kUlf, kLlf, kTpf, kMaf, kSpf, kPropertyKindCount };
constexpr int kListCount = 8;
constexpr int kDimLineList = 7;

// Common head of a property block; the kinds add their own fields.
constexpr int kLabelSize = 32;
struct PropertyBlock {
    PropertyBlock* next = nullptr;
    int id = 0;       // position in its list, from 1
    int useCount = 0; // attribute records (live or held by undo) that refer to it
    char label[kLabelSize] = {};
    virtual ~PropertyBlock() = default;
};

// The loads of one load case on a node: the nodal force block and the
// prescribed displacements (settlements) of its fixed directions.
struct NodeLoads {
    int loadCase = 0;                 // id of the case (LoadCase::id)
    PropertyBlock* force = nullptr;   // nodal force block
    int prescribedFlag = 0;           // the fixed directions take prescribed values
    double prescribed[3] = {0, 0, 0}; // Dx, Dy (m), Rz (rad)
    bool empty() const { return !force && !prescribedFlag; }
};

struct NodeAttrib {
    int selected = 0;
    int number = 0;                    // analysis number
    char support[3] = {'0', '0', '0'}; // Dx, Dy, Rz: '0' free, '1' fixed, '2' spring
    double inclination = 0;            // degrees
    double spring[3] = {0, 0, 0};      // Kx, Ky, Kz
    // Loads per load case, one entry for each case that loads the node.
    std::vector<NodeLoads> loads;
    // Displacement of the result shown (Dx, Dy in m, Rz in rad): zeroed on
    // creation, copied unchanged.
    double displacement[3] = {0, 0, 0};
};

// Index of each block reference of a member: the material and the section
// are the member's own (MemberAttrib::blocks), the four load kinds are held
// per load case (MemberLoads::blocks, at index slot - kEndMoments).
enum MemberBlock {
    kMaterial = 0,
    kSection,
    kEndMoments,
    kUniform,
    kLinear,
    kThermal,
    kMemberBlockCount
};
constexpr int kMemberOwnBlocks = 2;
constexpr int kMemberLoadBlocks = kMemberBlockCount - kMemberOwnBlocks;

// The loads of one load case on a member.
struct MemberLoads {
    int loadCase = 0; // id of the case (LoadCase::id)
    std::array<PropertyBlock*, kMemberLoadBlocks> blocks{};
    bool empty() const {
        for (const PropertyBlock* b : blocks)
            if (b) return false;
        return true;
    }
};

struct MemberAttrib {
    int selected = 0;
    int number = 0; // analysis number
    int hingeStart = 0, hingeEnd = 0;
    int rigid = 0, noAxial = 0;
    std::array<PropertyBlock*, kMemberOwnBlocks> blocks{}; // material, section
    // Loads per load case, one entry for each case that loads the member.
    std::vector<MemberLoads> loads;
    // Result and display data of the member: zeroed on creation, copied
    // unchanged by splits.
    std::array<double, 12> results{};
};

// A load case: its loads live in the node and member records under its id;
// the self-weight factor adds factor x specific weight x area per length of
// every member, downwards (global -y), to the case.
constexpr int kMaxLoadCases = 99;
struct LoadCase {
    int id = 0;
    std::string label;
    double selfWeight = 0;
    // A pattern case counts member by member in the envelope: each loaded
    // member's share only where it makes the max larger or the min smaller.
    bool pattern = false;
};
inline constexpr char kSingleCaseLabel[] = "Single Case";

// A load combination: factored sum of load cases (a case without a factor
// counts 0). Its id comes from the same counter as the cases' ids, so an id
// names either a case or a combination.
constexpr int kMaxCombinations = 99;
struct CaseFactor {
    int loadCase = 0; // LoadCase::id
    double factor = 0;
};
struct Combination {
    int id = 0;
    std::string label;
    std::vector<CaseFactor> factors; // in the order of the case list, no zero factor
    bool inEnvelope = true;
};
// The "shown" value of the envelope over the combinations.
constexpr int kEnvelope = -1;
inline constexpr char kEnvelopeLabel[] = "Envelope";

// A dimension line as the model file stores it: the two measured points and
// the two ends of the dimension line drawn parallel to them, each end offset
// from its measured point by the same vector (perpendicular to the measured
// pair when made on the canvas). docs/dimension-lines.md.
struct DimPoint {
    double x = 0, y = 0;
};
struct DimensionLine {
    std::array<DimPoint, 4> pts{}; // measured 1, measured 2, end 1, end 2
    int selected = 0;
};

// The four stored points from the three points entered: the measured points
// p1, p2 and the reference point r through which the dimension line passes.
DimensionLine dimensionLineFrom(DimPoint p1, DimPoint p2, DimPoint r);

struct AttributeRoot {
    std::array<PropertyBlock*, kPropertyKindCount> lists{};
    std::array<int, kPropertyKindCount> counters{};
    std::vector<DimensionLine> dimLines; // list 7, in file order
    // The load cases in list order (at least one), the case the panels and
    // displays work on, and the last id given.
    std::vector<LoadCase> cases{LoadCase{1, kSingleCaseLabel, 0}};
    int activeCase = 1;
    int caseCounter = 1;
    // The combinations in list order, and what the results show: 0 the
    // active case, a combination id, or kEnvelope. The load panels always
    // work on the active case.
    std::vector<Combination> combos;
    int shown = 0;
    // With the envelope shown: the combination whose results the records
    // hold (the one of the largest displacement, for the deformed shape).
    mutable int envelopeRecords = 0;
    // The analysis the result commands run: 0 linear, 1 second order
    // (P-Delta); see kLinearAnalysis in cases.h. A model setting, saved with
    // the model.
    int analysis = 0;
    AttributeRoot() = default;
    AttributeRoot(const AttributeRoot&) = delete;
    AttributeRoot& operator=(const AttributeRoot&) = delete;
    ~AttributeRoot();
};

// Selection target of new entities: a new member is selected while the target
// is members, a new node while it is nodes.
enum Target { kTargetNone = 0, kTargetMembers = 1, kTargetNodes = 2 };

// The module's state: the root of the current model and the target.
struct AttribState {
    std::unique_ptr<AttributeRoot> root;
    int target = kTargetNone;
    void reset();
};
AttribState& state();
// The root of the current model (made when missing).
AttributeRoot& root();

// Default records.
NodeAttrib* newNodeAttrib();
MemberAttrib* newMemberAttrib();
// A copy that holds its own references (use counts incremented).
NodeAttrib* copyNodeAttrib(const NodeAttrib& a);
MemberAttrib* copyMemberAttrib(const MemberAttrib& a);

// The record of an entity (none when the model handed none out).
inline NodeAttrib* nodeOf(const Vertex* v) {
    return static_cast<NodeAttrib*>(v->attrib);
}
inline MemberAttrib* memberOf(const Edge* e) {
    return static_cast<MemberAttrib*>(e->attrib);
}

// The hook table registered with the frame model.
const ModelCallbacks& hooks();

// Dimension line changes as application undo steps: call before changing the
// list; one undo or redo brings the list back as it was at this call.
void recordDimLineStep();

// The datum of an application undo step of this module: the frame model
// releases it through the hooks, which delete it as this base.
struct AppStepData {
    virtual ~AppStepData() = default;
};
// Records an application step with its datum (as mdl_record_app_step); the
// step function gets the datum as the AppStepData* given here.
int recordAppStep(int newStep, AppStepFn fn, AppStepData* datum);

} // namespace attrib
