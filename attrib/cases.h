// Load cases: the list of a model's cases (labels, self-weight factors, the
// active case), the loads of each case in the node and member records, and
// the case operations of the Load Cases panel and the file reader. Every
// change of the list is an undo step of the frame model: the list is saved
// whole with the step (it holds at most 99 short records), and the records
// that lose their loads when a case is removed are set in the same step.
// No toolkit here: the shell turns the return codes into messages.
#pragma once

#include "attrib/attrib.h"

#include <string>
#include <string_view>

namespace attrib {

// ---- Loads of the records ----------------------------------------------------

// The loads of case `id` on a record (none when the case does not load it).
const NodeLoads* loadsOf(const NodeAttrib& a, int id);
const MemberLoads* loadsOf(const MemberAttrib& a, int id);
// The same, made (empty) when missing.
NodeLoads& loadsFor(NodeAttrib& a, int id);
MemberLoads& loadsFor(MemberAttrib& a, int id);
// Drops the entries that hold nothing.
void dropEmptyLoads(NodeAttrib& a);
void dropEmptyLoads(MemberAttrib& a);
// The block of a load slot (kEndMoments to kThermal) of case `id`.
PropertyBlock* loadBlock(const MemberAttrib& a, int slot, int id);
// The nodal force block of case `id`.
PropertyBlock* nodalForce(const NodeAttrib& a, int id);
// Whether the node has prescribed displacements in case `id`.
bool hasPrescribed(const NodeAttrib& a, int id);
// Whether any case gives the node prescribed displacements.
bool prescribedInAnyCase(const NodeAttrib& a);

// The self-weight of a member in case `id`: factor x specific weight of its
// material x area of its section, a load per length acting in global -y
// (0 without material, section or factor).
double selfWeightLoad(const AttributeRoot& r, const MemberAttrib& a, int id);

// ---- The list ------------------------------------------------------------------

// The case with this id, or none; its position in the list, or -1.
const LoadCase* findCase(const AttributeRoot& r, int id);
int caseIndex(const AttributeRoot& r, int id);
// The case with exactly this label, or none.
const LoadCase* findCaseLabel(const AttributeRoot& r, std::string_view label);
// The active case of the current model.
int activeCase();
// Whether the model is one case without self-weight, pattern flag or
// combination: the layout of a single-case model, in the window and in the
// file.
bool isSingleCase(const AttributeRoot& r);

// Label checks of New and Rename. Blanks around a label are not kept; one
// inside it is.
enum CaseResult {
    kCaseDone = 0,
    kCaseEmpty,     // empty or only blanks
    kCaseTooLong,   // more than 31 bytes
    kCaseBadChar,   // a quote, "%" (which begins a block of the analysis files) or a control
                    // character
    kCaseTaken,     // another case has the label
    kCaseFull,      // 99 cases already
    kCaseLast,      // the only case cannot be removed
    kCaseNotFound,  // no case with the id
    kComboTaken,    // a combination has the label
    kLabelReserved, // the label of the envelope
    kBadFactor,     // a factor that is not finite or beyond 1e6 in magnitude
};
// The message of a refusal ("" for kCaseDone); `label` is the typed label,
// `combination` whether it was typed for a combination.
std::string caseMessage(CaseResult r, std::string_view label, bool combination = false);
// The label as stored: blanks around it removed.
std::string caseLabel(std::string_view typed);
// Whether a text is a label as stored (for the file reader).
bool isCaseLabel(std::string_view label);

// The operations of the panel, each one undo step; the new case becomes the
// active one; `made` gets its id.
CaseResult newCase(AttributeRoot& r, std::string_view label, int* made = nullptr);
CaseResult renameCase(AttributeRoot& r, int id, std::string_view label);
CaseResult setSelfWeight(AttributeRoot& r, int id, double factor);
// The nodes and the members of the model that case `id` loads (prescribed
// displacements included).
struct CaseUse {
    int nodes = 0, members = 0;
};
CaseUse caseUse(const Solid* model, int id);
// Removes the case and, in the same step, its loads from every record; the
// active case becomes the one before it (or the next).
CaseResult removeCase(AttributeRoot& r, Solid* model, int id);
// Chooses the active case (no undo step: a choice of view, not a change).
bool setActiveCase(AttributeRoot& r, int id);

// Marks a case as a pattern case or not (an undo step).
CaseResult setPattern(AttributeRoot& r, int id, bool pattern);

// For the file reader: replaces the list (no undo step).
void setCases(AttributeRoot& r, std::vector<LoadCase> cases, int active);

// ---- Combinations -----------------------------------------------------------------

const Combination* findCombination(const AttributeRoot& r, int id);
int combinationIndex(const AttributeRoot& r, int id);
const Combination* findCombinationLabel(const AttributeRoot& r, std::string_view label);
// The factor of case `caseId` in a combination (0 when it has none).
double factorOf(const Combination& c, int caseId);
// Whether a factor is accepted: finite and at most 1e6 in magnitude.
bool isFactor(double f);

// The operations of the panel, each one undo step. Labels share the checks
// of the case labels and must differ from every case and combination label
// and from "Envelope". Copy makes a combination with the factors and the
// envelope flag of `id`.
CaseResult newCombination(AttributeRoot& r, std::string_view label, int* made = nullptr);
CaseResult copyCombination(AttributeRoot& r, int id, std::string_view label, int* made = nullptr);
CaseResult renameCombination(AttributeRoot& r, int id, std::string_view label);
CaseResult removeCombination(AttributeRoot& r, int id);
// Sets the factor of a case in a combination (0 removes it).
CaseResult setFactor(AttributeRoot& r, int id, int caseId, double factor);
CaseResult setInEnvelope(AttributeRoot& r, int id, bool in);

// For the file reader: replaces the combinations (no undo step), after the
// cases; factors of cases that do not exist and zero factors are dropped.
// Returns how many factors were dropped for a missing case.
int setCombinations(AttributeRoot& r, std::vector<Combination> combos);

// ---- The analysis choice ---------------------------------------------------------

// What the result commands solve: the linear analysis, or every case and
// combination in second order (P-Delta, combinations from their own factored
// loads). A setting of the model like its units: no undo step.
enum AnalysisChoice { kLinearAnalysis = 0, kSecondOrderAnalysis = 1 };
// Sets the choice; false for a value that is neither (nothing changes).
bool setAnalysis(AttributeRoot& r, int choice);
// Whether the results of the model come from the second-order analysis.
inline bool secondOrder(const AttributeRoot& r) {
    return r.analysis == kSecondOrderAnalysis;
}

// ---- What the results show ---------------------------------------------------------

// Chooses what the results show: a case id (which becomes the active case),
// a combination id, or kEnvelope. No undo step. False for an unknown id.
bool setShown(AttributeRoot& r, int id);
// The id shown: the active case, a combination id or kEnvelope.
int shownId(const AttributeRoot& r);
// The label of what is shown (the drop-down's text).
std::string shownLabel(const AttributeRoot& r);
// Finds a case, a combination or the envelope by label; 0 for none.
int idOfLabel(const AttributeRoot& r, std::string_view label);
// The factors of a case (itself, 1) or combination id; empty for others.
std::vector<CaseFactor> factorsOf(const AttributeRoot& r, int id);
// The factors of what is shown (empty for the envelope).
std::vector<CaseFactor> shownFactors(const AttributeRoot& r);
// The combinations the envelope runs over: those flagged "in envelope",
// or every case on its own when the model has no combination. Each is
// given as its id and factors.
struct EnvelopeMember {
    int id = 0;
    std::vector<CaseFactor> factors;
};
std::vector<EnvelopeMember> envelopeMembers(const AttributeRoot& r);
// The label of a case or combination id ("" for none).
std::string labelOf(const AttributeRoot& r, int id);

} // namespace attrib
