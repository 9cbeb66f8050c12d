// The analysis driver: turns the frame of the current model into a solved
// analysis and keeps the results in the node and member records. It checks
// that the frame can be analysed, numbers nodes and members, writes the
// neutral file beside the model file, runs the engine in this process through
// its return-code entry (the engine never ends the program from here), reads
// the result file back and computes support reactions. It also owns the
// global ResultState that the result displays read. No toolkit here: the
// shell shows the message texts these functions return.
#pragma once

#include "analysis/engine/engine.h"
#include "analysis/engine/result_section.h"
#include "attrib/attrib.h"

#include <functional>
#include <string>
#include <vector>

namespace analysis {

// ---- Result state ----------------------------------------------------------------

// The numbers the result displays share. The result mode flag, the
// influence-line flag and the result kind are the ResultDisplay of the
// application settings (attrib::AppSettings::result), which the model file
// and the mode buttons already share; the result step and step mode live
// there too.
struct ResultState {
    double largestValue = 0;     // largest |value| of the current result over all members
    double diagramSize = 0;      // drawing height of the largest value, model length units
    double diagramSizeLimit = 0; // 5 times the default diagram size
    double precisionStep = 0;    // sampling step of the diagrams along a member
    void reset() { *this = ResultState{}; }
};
ResultState& resultState();

// Index of each result value in MemberAttrib::results.
enum MemberResult {
    kN1 = 0, // end forces in the member's local axes, end 1 then end 2
    kV1,
    kM1,
    kN2,
    kV2,
    kM2,
    kInfluence,         // 1 while the member holds the section of an influence line
    kInfluencePosition, // position x of that section from end 1
    kExtremeFirst,      // 8 to 11: cached extreme values of the diagrams
};

// ---- Messages ---------------------------------------------------------------------

extern const char* const kMsgNoMember;
extern const char* const kMsgIsolatedNode;
extern const char* const kMsgNoMaterial;
extern const char* const kMsgNoSection;
extern const char* const kMsgThermalSections;
extern const char* const kMsgCannotWrite; // the neutral file cannot be written
extern const char* const kMsgUnstable;
extern const char* const kMsgCannotRead; // the result file cannot be opened

// ---- Check ----------------------------------------------------------------------

enum CheckResult {
    kCheckOk = 0,
    kCheckNoMember,
    kCheckIsolatedNode,
    kCheckNoMaterial,
    kCheckNoSection,
    kCheckThermalSections,
    kCheckBadValue, // a member of zero length, or a stiffness no panel accepts
};
// The first failing check of the model, in the order of the messages.
CheckResult checkModel(const Solid* model, const attrib::AttributeRoot& root);
// Its message ("" for kCheckOk).
const char* checkMessage(CheckResult r);
// The same check with the message to show: the kind's message, or for
// kCheckBadValue one naming the member or node (by the numbers the analysis
// gives them) and the value: a member whose ends meet, E of its material 0
// or negative, A of its section 0 (unless the member is rigid or has no
// axial deformation) or negative, I negative (I = 0 releases both ends), a
// negative section dimension, a negative spring stiffness of a node.
CheckResult checkModel(const Solid* model, const attrib::AttributeRoot& root, std::string& message);

// ---- Numbering ----------------------------------------------------------------

// The nodes and members of a model in analysis order.
struct Numbering {
    Solid* model = nullptr;
    std::vector<Vertex*> nodes; // node n is nodes[n - 1]
    std::vector<Edge*> members; // member m is members[m - 1]
};
// Numbers the nodes by y ascending, ties by x ascending, and the members by
// the number of their end-1 node, ties by that of their end-2 node; stores
// the numbers in the records (entities without one are skipped).
Numbering numberModel(Solid* model);

// Which members have a section with I = 0, which releases both their ends
// (the likely cause of an unstable frame): "the section of member 3 has
// I = 0, which releases both its ends", or for several "the sections of
// members 3, 4 have ..." (five at most, then how many more); "" for none.
// Rigid members are stiff whatever their section and are left out.
std::string zeroInertiaMembers(const Numbering& n);

// ---- File names -------------------------------------------------------------------

// The model path with everything behind its last "." replaced by `ext`
// ("dat" or "pos"); a path without "." gets "." and `ext` appended. Only the
// last path component is looked at.
std::string analysisFileName(const std::string& modelPath, const char* ext);

// ---- Neutral file -------------------------------------------------------------

// Section values the writer and the reactions need, in internal units.
struct SectionValues {
    double area = 0, inertia = 0, depth = 0, ygc = 0;
};
// The values of a section property block (zeros for any other block).
SectionValues sectionValues(const attrib::PropertyBlock* b);

// Writes the model section of the numbered model. False (with a partial
// text) when the material or section list is empty or a member lacks its
// material or section.
bool writeModelSection(std::string& out, const Numbering& n, const attrib::AttributeRoot& root);
// The model section without loads: the frame blocks and the end label, for an analysis whose
// cases reach the engine in memory (caseLoads).
bool writeFrameSection(std::string& out, const Numbering& n, const attrib::AttributeRoot& root);
// The load records of case `id` of the numbered model, as the neutral file would hold them.
kestrel::engine::CaseLoads caseLoads(const Numbering& n, const attrib::AttributeRoot& root, int id);
// The influence-line variant: blocks up to the springs, then the two
// member-end force records of member `member` for the influence line of
// `kind` (1 axial, 2 shear, 3 bending force) at position x of a member of
// length len, then the end label.
bool writeInfluenceSection(std::string& out, const Numbering& n, const attrib::AttributeRoot& root,
                           int kind, const Edge* member, double x, double len);

// Orientation vector (1 to 4) of a member from end 1 to end 2.
int orientationVector(double dx, double dy);
// Whether a member from end 1 to end 2 reads left to right: dx > 1e-7, or
// |dx| <= 1e-7 and dy > 1e-7.
bool readsLeftToRight(double dx, double dy);

// ---- Results --------------------------------------------------------------------

// Clears the results of every member (end forces, influence flag and
// position, cached extremes). The diagram samples are the displays' own.
void clearMemberResults(Solid* model);
// Before a new analysis: diagram size from the model's extent, the limit,
// the precision step from the geometric tolerance, largest value 0, member
// results cleared.
void resetResults(Solid* model);

// The results of every load case of the last analysis, in numbering order,
// so that another case can be shown without analysing again.
struct CaseResults {
    int loadCase = 0;                  // id of the case
    std::vector<double> displacements; // Dx, Dy, Rz per node
    std::vector<double> endForces;     // N1 V1 M1 N2 V2 M2 per member
};
struct StoredResults {
    Numbering numbering;
    std::vector<CaseResults> cases; // in the order of the model's case list
    // Second order: the combinations solved from their own factored loads
    // (loadCase holds the combination id), and the ids of the cases and
    // combinations whose iteration did not converge: they have no results
    // (their entries are zeros).
    bool secondOrder = false;
    std::vector<CaseResults> combinations;
    std::vector<std::vector<attrib::CaseFactor>> combinationFactors; // of each, as solved
    std::vector<int> unstable;
    const CaseResults* find(int loadCase) const;
    bool isUnstable(int id) const;
};
// Emptied by every analysis, filled by a solved one (not by an influence line).
StoredResults& storedResults();
// Forgets the stored results: they refer to the entities of the model, and
// go before the model does (also done by clearMemberResults).
void clearStoredResults();
// Puts the stored results of case `loadCase` into the node and member
// records; false (records unchanged) when there are none.
bool showCaseResults(int loadCase);
// The results of a combination: the factored sum of its cases' stored
// results (exact for this linear analysis). Empty vectors when there are
// no stored results; a combination of nothing gives zeros.
CaseResults combinedResults(const StoredResults& s, const std::vector<attrib::CaseFactor>& factors);
// Puts the results of what the root shows into the records: those of a
// case, of a combination, or for the envelope those of the member of the
// envelope with the largest displacement (which the deformed shape shows;
// the root notes which it is).
// False (records unchanged) when there are no stored results.
bool showResults(const attrib::AttributeRoot& root);
// Whether the stored results hold nothing for what the root shows: a second-
// order case or combination that did not converge, one the analysis did not
// solve, or the second-order envelope when one of its members has none.
bool shownWithoutResults(const attrib::AttributeRoot& root);
// Second order: the first member of the envelope without results of its own
// (0 when every member has them, and always in a linear analysis).
int envelopeMemberWithoutResults(const attrib::AttributeRoot& root);
// The member of the envelope whose largest displacement component is the
// largest (0 when there is none): in second order from each member's own
// results.
int largestDisplacementMember(const attrib::AttributeRoot& root);

// ---- Run -------------------------------------------------------------------------

enum class RunStatus {
    kSolved = 0,
    kCannotWrite, // neutral file not written (cannot open, or the writer refused)
    kUnstable,    // the stiffness matrix is singular
    kFatal,       // the engine reported a fatal condition; its text is the message
    kCannotRead,  // the result file cannot be opened
};

struct RunOutcome {
    RunStatus status = RunStatus::kCannotWrite;
    std::string message; // what the program shows ("" when solved)
    Numbering numbering;
    kestrel::engine::EngineSolution solution; // full precision, when solved
};

// The first line of every neutral file the driver writes. The engine skips
// what stands before the first label; the line tells a file the program left
// behind (a run that failed) from one somebody else keeps under that name.
inline constexpr char kNeutralFileMark[] = "Kestrel analysis input, removed after the analysis";

// What a run hands out besides the stored results.
struct RunOptions {
    // Called for every share of every case whose pattern flag is set, after
    // the cases are solved and before runAnalysis returns: each loaded
    // member's loads of the case solved alone (member = its analysis number),
    // and the case's nodal forces and prescribed displacements alone (member
    // 0, only when the case has any). The shares of a case add up to the
    // case. `share` holds the values in numbering order as a stored case does
    // (loadCase the case id; end forces below 1e-5 as 0; a fixed direction
    // with a prescribed value shows that value in the nodal share and 0 in
    // the others), but with the engine's full precision; it is valid only
    // during the call. Without a callback no share is solved.
    std::function<void(int loadCase, int member, const CaseResults& share)> onShare;
};

// Numbers the model, writes "<model>.dat", runs the engine, reads
// "<model>.pos" into the records and removes the ".dat" file. The model must
// have passed checkModel. An existing "<model>.dat" is replaced only when it
// begins with kNeutralFileMark; a link, a directory or any other file of that
// name is kept and the run fails (kCannotWrite) with a message naming it.
RunOutcome runAnalysis(Solid* model, const attrib::AttributeRoot& root,
                       const std::string& modelPath, const RunOptions& options = {});

// The same with the influence-line variant of the neutral file: the unit
// dislocation of `kind` (1 axial, 2 shear, 3 bending) at x on `member`.
struct InfluenceRequest {
    int kind = 0;
    const Edge* member = nullptr;
    double x = 0, length = 0;
};
RunOutcome runInfluenceAnalysis(Solid* model, const attrib::AttributeRoot& root,
                                const std::string& modelPath, const InfluenceRequest& request);

// Time of the driver's own phases in the last runAnalysis, seconds.
struct DriverTimings {
    double number = 0, write = 0, engine = 0, read = 0;
};
const DriverTimings& lastDriverTimings();

// ---- Reactions -------------------------------------------------------------------

struct Reaction {
    const Vertex* node = nullptr;
    int number = 0;
    double fx = 0, fy = 0, mz = 0; // global components
    bool hasFx = false, hasFy = false, hasMz = false;
};
// The support reactions of every node whose support codes are not all free,
// from the end forces stored in the member records and the nodal forces of
// what is shown (a case or the factored cases of a combination); in node
// order of the numbering.
std::vector<Reaction> supportReactions(const Numbering& n);
// The same from stored results (6 local end forces per member) and the
// nodal forces of the factored cases.
std::vector<Reaction> supportReactions(const Numbering& n, const CaseResults& r,
                                       const std::vector<attrib::CaseFactor>& factors);
// The same from end forces given per member (12 local values per member,
// engine order: Fx Fy Fz Mx My Mz of end 1, then end 2), index = member - 1,
// and the nodal forces of case `loadCase`.
std::vector<Reaction> supportReactions(const Numbering& n, const std::vector<double>& endForces,
                                       int loadCase);

} // namespace analysis
