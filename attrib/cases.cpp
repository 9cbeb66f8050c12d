// Load case list and the per-case loads of the records.
#include "attrib/cases.h"

#include "attrib/blocks.h"
#include "attrib/section.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace attrib {

namespace {

template <typename Loads> const Loads* find(const std::vector<Loads>& v, int id) {
    for (const Loads& l : v)
        if (l.loadCase == id) return &l;
    return nullptr;
}

template <typename Loads> Loads& findOrMake(std::vector<Loads>& v, int id) {
    for (Loads& l : v)
        if (l.loadCase == id) return l;
    v.push_back(Loads{});
    v.back().loadCase = id;
    return v.back();
}

// A saved case and combination list: undo and redo bring it back and save
// the lists they replace as the inverse step.
struct CaseSnapshot : AppStepData {
    explicit CaseSnapshot(const AttributeRoot& r)
        : cases(r.cases), combos(r.combos), activeCase(r.activeCase), caseCounter(r.caseCounter) {}
    std::vector<LoadCase> cases;
    std::vector<Combination> combos;
    int activeCase = 1;
    int caseCounter = 1;
};

void restoreCases(void* datum) {
    CaseSnapshot& saved = *static_cast<CaseSnapshot*>(static_cast<AppStepData*>(datum));
    AttributeRoot& r = root();
    recordAppStep(1, restoreCases, new CaseSnapshot(r));
    r.cases = saved.cases;
    r.combos = saved.combos;
    r.activeCase = saved.activeCase;
    r.caseCounter = saved.caseCounter;
    // A combination that went away is no longer shown.
    if (r.shown > 0 && !findCombination(r, r.shown)) r.shown = 0;
}

// Saves the list as an undo step; `newStep` 0 begins a new step.
void recordCases(const AttributeRoot& r, int newStep) {
    recordAppStep(newStep, restoreCases, new CaseSnapshot(r));
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The checks of a label on its own (blanks around it already removed).
CaseResult checkText(std::string_view label) {
    if (label.empty()) return kCaseEmpty;
    if (label.size() >= kLabelSize) return kCaseTooLong;
    for (unsigned char c : label)
        if (c < 0x20 || c == 0x7f || c == '\'' || c == '"' || c == '%') return kCaseBadChar;
    return kCaseDone;
}

// A label must differ from every other case and combination label and from
// the envelope's.
CaseResult checkLabel(const AttributeRoot& r, const std::string& label, int except) {
    if (const CaseResult res = checkText(label); res != kCaseDone) return res;
    if (label == kEnvelopeLabel) return kLabelReserved;
    const LoadCase* other = findCaseLabel(r, label);
    if (other && other->id != except) return kCaseTaken;
    const Combination* combo = findCombinationLabel(r, label);
    if (combo && combo->id != except) return kComboTaken;
    return kCaseDone;
}

template <typename T> int indexOf(const std::vector<T>& v, int id) {
    for (std::size_t i = 0; i < v.size(); ++i)
        if (v[i].id == id) return static_cast<int>(i);
    return -1;
}

bool release(PropertyBlock* b) {
    if (b && b->useCount > 0) --b->useCount;
    return b != nullptr;
}

} // namespace

const NodeLoads* loadsOf(const NodeAttrib& a, int id) {
    return find(a.loads, id);
}
const MemberLoads* loadsOf(const MemberAttrib& a, int id) {
    return find(a.loads, id);
}
NodeLoads& loadsFor(NodeAttrib& a, int id) {
    return findOrMake(a.loads, id);
}
MemberLoads& loadsFor(MemberAttrib& a, int id) {
    return findOrMake(a.loads, id);
}
void dropEmptyLoads(NodeAttrib& a) {
    std::erase_if(a.loads, [](const NodeLoads& l) { return l.empty(); });
}
void dropEmptyLoads(MemberAttrib& a) {
    std::erase_if(a.loads, [](const MemberLoads& l) { return l.empty(); });
}

PropertyBlock* loadBlock(const MemberAttrib& a, int slot, int id) {
    if (slot < kEndMoments || slot >= kMemberBlockCount) return nullptr;
    const MemberLoads* l = loadsOf(a, id);
    return l ? l->blocks[slot - kEndMoments] : nullptr;
}

PropertyBlock* nodalForce(const NodeAttrib& a, int id) {
    const NodeLoads* l = loadsOf(a, id);
    return l ? l->force : nullptr;
}

bool hasPrescribed(const NodeAttrib& a, int id) {
    const NodeLoads* l = loadsOf(a, id);
    return l && l->prescribedFlag;
}

bool prescribedInAnyCase(const NodeAttrib& a) {
    return std::any_of(a.loads.begin(), a.loads.end(),
                       [](const NodeLoads& l) { return l.prescribedFlag != 0; });
}

double selfWeightLoad(const AttributeRoot& r, const MemberAttrib& a, int id) {
    const LoadCase* c = findCase(r, id);
    const ValueBlock* material = valuesOf(a.blocks[kMaterial]);
    const Section* section = sectionOf(a.blocks[kSection]);
    if (!c || c->selfWeight == 0 || !material || !section) return 0;
    return c->selfWeight * material->values[kSpecificWeight] * sectionArea(*section);
}

const LoadCase* findCase(const AttributeRoot& r, int id) {
    for (const LoadCase& c : r.cases)
        if (c.id == id) return &c;
    return nullptr;
}

int caseIndex(const AttributeRoot& r, int id) {
    return indexOf(r.cases, id);
}

const LoadCase* findCaseLabel(const AttributeRoot& r, std::string_view label) {
    for (const LoadCase& c : r.cases)
        if (c.label == label) return &c;
    return nullptr;
}

int activeCase() {
    return root().activeCase;
}

bool isSingleCase(const AttributeRoot& r) {
    return r.cases.size() == 1 && r.cases[0].selfWeight == 0 && !r.cases[0].pattern &&
           r.combos.empty();
}

bool isCaseLabel(std::string_view label) {
    return checkText(label) == kCaseDone && caseLabel(label) == label;
}

std::string caseLabel(std::string_view typed) {
    std::size_t b = 0, e = typed.size();
    while (b < e && isBlank(typed[b])) ++b;
    while (e > b && isBlank(typed[e - 1])) --e;
    return std::string(typed.substr(b, e - b));
}

std::string caseMessage(CaseResult r, std::string_view label, bool combination) {
    const std::string what = combination ? "combination" : "load case";
    switch (r) {
    case kCaseDone:
        return "";
    case kCaseEmpty:
        return "A " + what + " needs a label.";
    case kCaseTooLong:
        return "A " + what + " label holds at most 31 characters.";
    case kCaseBadChar:
        return "A " + what + " label cannot hold quotes, \"%\" or control characters.";
    case kCaseTaken:
        return "There is already a load case labelled \"" + caseLabel(label) + "\".";
    case kComboTaken:
        return "There is already a combination labelled \"" + caseLabel(label) + "\".";
    case kLabelReserved:
        return "\"Envelope\" is the label of the envelope of the results.";
    case kCaseFull:
        return combination ? "A model holds at most 99 combinations."
                           : "A model holds at most 99 load cases.";
    case kCaseLast:
        return "A model keeps at least one load case.";
    case kCaseNotFound:
        return "There is no such " + what + ".";
    case kBadFactor:
        return "A factor must be a number from -1000000 to 1000000.";
    }
    return "";
}

CaseResult newCase(AttributeRoot& r, std::string_view typed, int* made) {
    const std::string label = caseLabel(typed);
    const CaseResult res = checkLabel(r, label, 0);
    if (res != kCaseDone) return res;
    if (r.cases.size() >= kMaxLoadCases) return kCaseFull;
    recordCases(r, 0);
    r.cases.push_back(LoadCase{++r.caseCounter, label, 0});
    r.activeCase = r.caseCounter;
    if (made) *made = r.caseCounter;
    return kCaseDone;
}

CaseResult renameCase(AttributeRoot& r, int id, std::string_view typed) {
    const int at = caseIndex(r, id);
    if (at < 0) return kCaseNotFound;
    const std::string label = caseLabel(typed);
    const CaseResult res = checkLabel(r, label, id);
    if (res != kCaseDone || r.cases[at].label == label) return res;
    recordCases(r, 0);
    r.cases[at].label = label;
    return kCaseDone;
}

CaseResult setSelfWeight(AttributeRoot& r, int id, double factor) {
    const int at = caseIndex(r, id);
    if (at < 0) return kCaseNotFound;
    if (r.cases[at].selfWeight == factor) return kCaseDone;
    recordCases(r, 0);
    r.cases[at].selfWeight = factor;
    return kCaseDone;
}

CaseUse caseUse(const Solid* model, int id) {
    CaseUse use;
    if (!model) return use;
    for (const Vertex* v = model->vertices; v; v = v->next)
        if (const NodeAttrib* a = nodeOf(v); a && loadsOf(*a, id)) ++use.nodes;
    for (const Edge* e = model->edges; e; e = e->next)
        if (const MemberAttrib* a = memberOf(e); a && loadsOf(*a, id)) ++use.members;
    return use;
}

CaseResult removeCase(AttributeRoot& r, Solid* model, int id) {
    const int at = caseIndex(r, id);
    if (at < 0) return kCaseNotFound;
    if (r.cases.size() == 1) return kCaseLast;
    mdl_begin_group();
    recordCases(r, 0);
    if (model) {
        auto without = [id](auto* copy) {
            std::erase_if(copy->loads, [id](const auto& l) { return l.loadCase == id; });
        };
        for (Vertex* v = model->vertices; v; v = v->next) {
            const NodeAttrib* a = nodeOf(v);
            if (!a || !loadsOf(*a, id)) continue;
            NodeAttrib* c = copyNodeAttrib(*a);
            release(nodalForce(*c, id));
            without(c);
            if (mdl_set_vertex_attrib(v, c) != -2) hooks().release_attrib(KIND_VERTEX, c);
        }
        for (Edge* e = model->edges; e; e = e->next) {
            const MemberAttrib* a = memberOf(e);
            if (!a || !loadsOf(*a, id)) continue;
            MemberAttrib* c = copyMemberAttrib(*a);
            for (PropertyBlock* b : loadsOf(*c, id)->blocks) release(b);
            without(c);
            if (mdl_set_edge_attrib(e, c) != -2) hooks().release_attrib(KIND_EDGE, c);
        }
    }
    mdl_end_group();
    r.cases.erase(r.cases.begin() + at);
    for (Combination& c : r.combos)
        std::erase_if(c.factors, [id](const CaseFactor& f) { return f.loadCase == id; });
    if (r.activeCase == id) r.activeCase = r.cases[at > 0 ? at - 1 : 0].id;
    return kCaseDone;
}

bool setActiveCase(AttributeRoot& r, int id) {
    if (!findCase(r, id)) return false;
    r.activeCase = id;
    return true;
}

bool setAnalysis(AttributeRoot& r, int choice) {
    if (choice != kLinearAnalysis && choice != kSecondOrderAnalysis) return false;
    r.analysis = choice;
    return true;
}

CaseResult setPattern(AttributeRoot& r, int id, bool pattern) {
    const int at = caseIndex(r, id);
    if (at < 0) return kCaseNotFound;
    if (r.cases[at].pattern == pattern) return kCaseDone;
    recordCases(r, 0);
    r.cases[at].pattern = pattern;
    return kCaseDone;
}

void setCases(AttributeRoot& r, std::vector<LoadCase> cases, int active) {
    if (cases.empty()) cases.push_back(LoadCase{1, kSingleCaseLabel, 0});
    r.cases = std::move(cases);
    r.caseCounter = 0;
    for (const LoadCase& c : r.cases) r.caseCounter = std::max(r.caseCounter, c.id);
    r.activeCase = findCase(r, active) ? active : r.cases.front().id;
    r.combos.clear();
    r.shown = 0;
}

// ---- Combinations -----------------------------------------------------------------

const Combination* findCombination(const AttributeRoot& r, int id) {
    const int at = indexOf(r.combos, id);
    return at < 0 ? nullptr : &r.combos[at];
}

int combinationIndex(const AttributeRoot& r, int id) {
    return indexOf(r.combos, id);
}

const Combination* findCombinationLabel(const AttributeRoot& r, std::string_view label) {
    for (const Combination& c : r.combos)
        if (c.label == label) return &c;
    return nullptr;
}

double factorOf(const Combination& c, int caseId) {
    for (const CaseFactor& f : c.factors)
        if (f.loadCase == caseId) return f.factor;
    return 0;
}

bool isFactor(double f) {
    return std::isfinite(f) && std::fabs(f) <= 1e6;
}

namespace {

CaseResult addCombination(AttributeRoot& r, std::string_view typed, const Combination* from,
                          int* made) {
    const std::string label = caseLabel(typed);
    const CaseResult res = checkLabel(r, label, 0);
    if (res != kCaseDone) return res;
    if (r.combos.size() >= kMaxCombinations) return kCaseFull;
    recordCases(r, 0);
    Combination c = from ? *from : Combination{};
    c.id = ++r.caseCounter;
    c.label = label;
    r.combos.push_back(std::move(c));
    if (made) *made = r.caseCounter;
    return kCaseDone;
}

// The factors in the order of the case list.
void orderFactors(const AttributeRoot& r, Combination& c) {
    std::stable_sort(c.factors.begin(), c.factors.end(),
                     [&r](const CaseFactor& a, const CaseFactor& b) {
                         return caseIndex(r, a.loadCase) < caseIndex(r, b.loadCase);
                     });
}

} // namespace

CaseResult newCombination(AttributeRoot& r, std::string_view label, int* made) {
    return addCombination(r, label, nullptr, made);
}

CaseResult copyCombination(AttributeRoot& r, int id, std::string_view label, int* made) {
    const Combination* from = findCombination(r, id);
    if (!from) return kCaseNotFound;
    const Combination copy = *from; // the list may grow under the pointer
    return addCombination(r, label, &copy, made);
}

CaseResult renameCombination(AttributeRoot& r, int id, std::string_view typed) {
    const int at = combinationIndex(r, id);
    if (at < 0) return kCaseNotFound;
    const std::string label = caseLabel(typed);
    const CaseResult res = checkLabel(r, label, id);
    if (res != kCaseDone || r.combos[at].label == label) return res;
    recordCases(r, 0);
    r.combos[at].label = label;
    return kCaseDone;
}

CaseResult removeCombination(AttributeRoot& r, int id) {
    const int at = combinationIndex(r, id);
    if (at < 0) return kCaseNotFound;
    recordCases(r, 0);
    r.combos.erase(r.combos.begin() + at);
    if (r.shown == id) r.shown = 0;
    return kCaseDone;
}

CaseResult setFactor(AttributeRoot& r, int id, int caseId, double factor) {
    const int at = combinationIndex(r, id);
    if (at < 0) return kCaseNotFound;
    if (!findCase(r, caseId)) return kCaseNotFound;
    if (!isFactor(factor)) return kBadFactor;
    if (factorOf(r.combos[at], caseId) == factor) return kCaseDone;
    recordCases(r, 0);
    Combination& c = r.combos[at];
    std::erase_if(c.factors, [caseId](const CaseFactor& f) { return f.loadCase == caseId; });
    if (factor != 0) c.factors.push_back(CaseFactor{caseId, factor});
    orderFactors(r, c);
    return kCaseDone;
}

CaseResult setInEnvelope(AttributeRoot& r, int id, bool in) {
    const int at = combinationIndex(r, id);
    if (at < 0) return kCaseNotFound;
    if (r.combos[at].inEnvelope == in) return kCaseDone;
    recordCases(r, 0);
    r.combos[at].inEnvelope = in;
    return kCaseDone;
}

int setCombinations(AttributeRoot& r, std::vector<Combination> combos) {
    int dropped = 0;
    for (Combination& c : combos) {
        dropped += static_cast<int>(std::erase_if(
            c.factors, [&r](const CaseFactor& f) { return !findCase(r, f.loadCase); }));
        std::erase_if(c.factors, [](const CaseFactor& f) { return f.factor == 0; });
        orderFactors(r, c);
        r.caseCounter = std::max(r.caseCounter, c.id);
    }
    r.combos = std::move(combos);
    if (r.shown > 0 && !findCombination(r, r.shown)) r.shown = 0;
    return dropped;
}

// ---- What the results show ---------------------------------------------------------

bool setShown(AttributeRoot& r, int id) {
    if (id == kEnvelope || findCombination(r, id)) {
        r.shown = id;
        return true;
    }
    if (!setActiveCase(r, id)) return false;
    r.shown = 0;
    return true;
}

int shownId(const AttributeRoot& r) {
    return r.shown != 0 ? r.shown : r.activeCase;
}

std::string labelOf(const AttributeRoot& r, int id) {
    if (id == kEnvelope) return kEnvelopeLabel;
    if (const LoadCase* c = findCase(r, id)) return c->label;
    if (const Combination* c = findCombination(r, id)) return c->label;
    return "";
}

std::string shownLabel(const AttributeRoot& r) {
    return labelOf(r, shownId(r));
}

int idOfLabel(const AttributeRoot& r, std::string_view label) {
    if (label == kEnvelopeLabel) return kEnvelope;
    if (const LoadCase* c = findCaseLabel(r, label)) return c->id;
    if (const Combination* c = findCombinationLabel(r, label)) return c->id;
    return 0;
}

std::vector<CaseFactor> factorsOf(const AttributeRoot& r, int id) {
    if (findCase(r, id)) return {CaseFactor{id, 1}};
    if (const Combination* c = findCombination(r, id)) return c->factors;
    return {};
}

std::vector<CaseFactor> shownFactors(const AttributeRoot& r) {
    const int id = shownId(r);
    return factorsOf(r, id == kEnvelope ? r.envelopeRecords : id);
}

std::vector<EnvelopeMember> envelopeMembers(const AttributeRoot& r) {
    std::vector<EnvelopeMember> out;
    if (r.combos.empty()) {
        for (const LoadCase& c : r.cases) out.push_back({c.id, {CaseFactor{c.id, 1}}});
        return out;
    }
    for (const Combination& c : r.combos)
        if (c.inEnvelope) out.push_back({c.id, c.factors});
    return out;
}

} // namespace attrib
