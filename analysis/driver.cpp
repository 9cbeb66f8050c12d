// Check, numbering, file names, result storage and the run of one analysis.
#include "analysis/analysis.h"
#include "analysis/stability.h"

#include "analysis/engine/result_section.h"
#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/section.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace analysis {

const char* const kMsgNoMember = "\n No member defined. \n Please create the structure. \n";
const char* const kMsgIsolatedNode =
    "\n     An isolated node was found!   \n\n  Please delete the node "
    "or connect \n  it with members to other nodes.  \n";
const char* const kMsgNoMaterial = "\n  You must define materials to all members! \n";
const char* const kMsgNoSection = "\n  You must define sections to all members! \n";
const char* const kMsgThermalSections = "\n  You must define positive values for height \n  and GC "
                                        "location in all section properties! \n";
const char* const kMsgBadValue = "\n  A member or node holds a value the analysis cannot use.  \n";
const char* const kMsgCannotWrite = "\n   Could not open temparary file for analysis.  \n";
const char* const kMsgUnstable =
    "\n               Unstable Frame.           \n\n   Please check frame support conditions,  "
    "\n   hinge configuration, or any other       \n   condition that may cause instability. \n";
const char* const kMsgCannotRead = "\n   Could not open temporary file for analysis.  \n";

ResultState& resultState() {
    static ResultState s;
    return s;
}

namespace {

using Clock = std::chrono::steady_clock;
double since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

DriverTimings g_timings;
StoredResults g_stored;

enum class NeutralFile { kWritten, kCannotWrite, kInTheWay };

// The first lines of the result file the engine writes.
constexpr const char* kResultFileMark =
    "%HEADER     \nNeutral file created by Bracer module of KESTREL program\n";

// Whether the regular file `path` begins with `mark` (by default the neutral file's first line).
bool leftByKestrel(const std::string& path,
                   const std::string& mark = std::string(kNeutralFileMark) + "\n") {
    std::string line(mark.size(), '\0');
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const ssize_t n = ::read(fd, line.data(), line.size());
    ::close(fd);
    return n == static_cast<ssize_t>(line.size()) && line == mark;
}

// Creates the neutral file as the engine creates its scratch file, so that it
// never writes through a link into another file nor over a file somebody else
// keeps there: a link, a directory or a device of that name is refused, a
// regular file is removed only when it is one the program left (its first
// line is kNeutralFileMark), and the file is created exclusively.
NeutralFile writeNeutralFile(const std::string& dat, const std::string& text) {
    struct stat st {};
    if (::lstat(dat.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || !leftByKestrel(dat)) return NeutralFile::kInTheWay;
        if (::unlink(dat.c_str()) != 0) return NeutralFile::kCannotWrite;
    }
    const int fd = ::open(dat.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return errno == EEXIST ? NeutralFile::kInTheWay : NeutralFile::kCannotWrite;
    const std::string all = std::string(kNeutralFileMark) + "\n" + text;
    std::size_t done = 0;
    while (done < all.size()) {
        const ssize_t n = ::write(fd, all.data() + done, all.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    const bool closed = ::close(fd) == 0;
    if (done == all.size() && closed) return NeutralFile::kWritten;
    ::unlink(dat.c_str());
    return NeutralFile::kCannotWrite;
}

// The message of a neutral file name taken by a file the program did not write.
std::string inTheWay(const std::string& dat) {
    const std::size_t slash = dat.rfind('/');
    const std::string name = slash == std::string::npos ? dat : dat.substr(slash + 1);
    return "\n  " + name +
           " was not written by Kestrel and is kept.  \n"
           "  Rename or remove it to analyse the model.  \n";
}

bool isolated(const Vertex* v) {
    return v->vedge == nullptr || v->vedge->edge == nullptr;
}

// The nodes and members in analysis order: nodes by y, ties by x; members
// by the number of their end-1 node, ties by that of their end-2 node.
struct Order {
    std::vector<const Vertex*> nodes;
    std::vector<const Edge*> members;
};
Order analysisOrder(const Solid* model) {
    Order o;
    for (const Vertex* v = model->vertices; v; v = v->next)
        if (attrib::nodeOf(v)) o.nodes.push_back(v);
    auto below = [](const Vertex* a, const Vertex* b) {
        return a->y != b->y ? a->y < b->y : a->x < b->x;
    };
    std::sort(o.nodes.begin(), o.nodes.end(), below);
    std::unordered_map<const Vertex*, int> number;
    for (std::size_t i = 0; i < o.nodes.size(); ++i) number[o.nodes[i]] = static_cast<int>(i + 1);
    struct Ends {
        const Edge* e;
        int n1, n2;
    };
    std::vector<Ends> ends;
    for (const Edge* e = model->edges; e; e = e->next) {
        if (!attrib::memberOf(e)) continue;
        const auto n1 = number.find(e->he1->vtx), n2 = number.find(e->he2->vtx);
        ends.push_back(
            {e, n1 != number.end() ? n1->second : 0, n2 != number.end() ? n2->second : 0});
    }
    std::sort(ends.begin(), ends.end(), [](const Ends& a, const Ends& b) {
        return a.n1 != b.n1 ? a.n1 < b.n1 : a.n2 < b.n2;
    });
    o.members.reserve(ends.size());
    for (const Ends& x : ends) o.members.push_back(x.e);
    return o;
}

std::string amount(double v) {
    if (v == 0) return "0";
    char buf[40];
    std::snprintf(buf, sizeof buf, "negative (%g)", v);
    return buf;
}

// What the analysis needs of a material or a section block, worked out once
// per block: its message for the member that uses it ("" when usable), and
// for a section whether A = 0 (usable only without axial deformation).
struct BlockVerdict {
    std::string message;
    bool zeroArea = false;
};
BlockVerdict materialVerdict(const attrib::PropertyBlock* b) {
    const double E =
        attrib::valuesOf(const_cast<attrib::PropertyBlock*>(b))->values[attrib::kElasticity];
    if (E > 0) return {};
    return {std::string("the modulus of elasticity E of material ") + b->label + " is " +
            amount(E)};
}
BlockVerdict sectionVerdict(const attrib::PropertyBlock* b) {
    const attrib::Section* x = attrib::sectionOf(const_cast<attrib::PropertyBlock*>(b));
    const char* negative = x ? attrib::negativeSectionPart(*x) : nullptr;
    if (negative && std::string_view(negative) == "dimension")
        return {std::string("section ") + b->label + " has a negative dimension"};
    const SectionValues s = sectionValues(b);
    const std::string of = std::string(" of section ") + b->label + " is ";
    if (s.area < 0) return {"the area A" + of + amount(s.area)};
    if (s.inertia < 0) return {"the moment of inertia I" + of + amount(s.inertia)};
    BlockVerdict v;
    v.zeroArea = s.area == 0;
    if (v.zeroArea) v.message = "the area A" + of + "0";
    return v;
}

// The first value of the frame the analysis cannot use, as a message ("" when
// none). The frame is looked at in its own order; only when something is
// wrong are the members numbered, to name the first in analysis order.
std::string badValue(const Solid* model) {
    std::unordered_map<const attrib::PropertyBlock*, BlockVerdict> verdicts;
    // Frames use few blocks, most members the same as the one before: the
    // last verdict of each kind is kept at hand.
    const attrib::PropertyBlock* last[2] = {nullptr, nullptr};
    const BlockVerdict* lastVerdict[2] = {nullptr, nullptr};
    auto verdict = [&](const attrib::PropertyBlock* b, bool section) -> const BlockVerdict& {
        if (last[section] == b) return *lastVerdict[section];
        auto at = verdicts.find(b);
        if (at == verdicts.end())
            at = verdicts.emplace(b, section ? sectionVerdict(b) : materialVerdict(b)).first;
        last[section] = b;
        lastVerdict[section] = &at->second;
        return at->second;
    };
    // The message of one member ("" when it can be analysed).
    auto memberFault = [&](const Edge* e) -> std::string {
        const Vertex* v1 = e->he1->vtx;
        const Vertex* v2 = e->he2->vtx;
        if (v1->x == v2->x && v1->y == v2->y)
            return " has zero length: its ends are at the same point";
        const attrib::MemberAttrib* a = attrib::memberOf(e);
        const BlockVerdict& mat = verdict(a->blocks[attrib::kMaterial], false);
        if (!mat.message.empty()) return ": " + mat.message;
        const BlockVerdict& sec = verdict(a->blocks[attrib::kSection], true);
        if (!sec.message.empty() && !(sec.zeroArea && (a->rigid || a->noAxial)))
            return ": " + sec.message;
        return "";
    };
    static const char* const kSprings[3] = {"KDx", "KDy", "KRz"};
    auto nodeFault = [&](const Vertex* v) -> std::string {
        const attrib::NodeAttrib* a = attrib::nodeOf(v);
        for (int d = 0; a && d < 3; ++d)
            if (a->support[d] == '2' && a->spring[d] < 0)
                return std::string(": the spring stiffness ") + kSprings[d] + " is " +
                       amount(a->spring[d]);
        return "";
    };
    bool any = false;
    for (const Edge* e = model->edges; e && !any; e = e->next)
        any = attrib::memberOf(e) && !memberFault(e).empty();
    for (const Vertex* v = model->vertices; v && !any; v = v->next) any = !nodeFault(v).empty();
    if (!any) return "";
    const Order order = analysisOrder(model);
    for (std::size_t m = 0; m < order.members.size(); ++m)
        if (const std::string f = memberFault(order.members[m]); !f.empty())
            return "\n  Member " + std::to_string(m + 1) + f + ".  \n";
    for (std::size_t n = 0; n < order.nodes.size(); ++n)
        if (const std::string f = nodeFault(order.nodes[n]); !f.empty())
            return "\n  Node " + std::to_string(n + 1) + f + ".  \n";
    return "";
}

// Every member has its material and section, no node is alone.
CheckResult checkSound(const Solid* model) {
    for (const Vertex* v = model->vertices; v; v = v->next)
        if (isolated(v)) return kCheckIsolatedNode;
    // One pass: a member without material is said before one without section.
    bool noSection = false;
    for (const Edge* e = model->edges; e; e = e->next) {
        const attrib::MemberAttrib* a = attrib::memberOf(e);
        if (!a || !a->blocks[attrib::kMaterial]) return kCheckNoMaterial;
        noSection = noSection || !a->blocks[attrib::kSection];
    }
    return noSection ? kCheckNoSection : kCheckOk;
}

} // namespace

CheckResult checkModel(const Solid* model, const attrib::AttributeRoot& root) {
    std::string message;
    return checkModel(model, root, message);
}

CheckResult checkModel(const Solid* model, const attrib::AttributeRoot& root,
                       std::string& message) {
    const CheckResult r = !model || !model->edges ? kCheckNoMember : checkSound(model);
    if (r != kCheckOk) {
        message = checkMessage(r);
        return r;
    }
    message = badValue(model);
    if (!message.empty()) return kCheckBadValue;
    // Thermal loads need the depth and the centroid location of every
    // section, used or not.
    if (root.lists[attrib::kTpf] && root.lists[attrib::kSpf]) {
        for (const attrib::PropertyBlock* b = root.lists[attrib::kSpf]; b; b = b->next) {
            const SectionValues s = sectionValues(b);
            if (!(s.depth > 0) || !(s.ygc > 0)) {
                message = kMsgThermalSections;
                return kCheckThermalSections;
            }
        }
    }
    return kCheckOk;
}

const char* checkMessage(CheckResult r) {
    switch (r) {
    case kCheckNoMember:
        return kMsgNoMember;
    case kCheckIsolatedNode:
        return kMsgIsolatedNode;
    case kCheckNoMaterial:
        return kMsgNoMaterial;
    case kCheckNoSection:
        return kMsgNoSection;
    case kCheckThermalSections:
        return kMsgThermalSections;
    case kCheckBadValue:
        return kMsgBadValue;
    case kCheckOk:
        break;
    }
    return "";
}

Numbering numberModel(Solid* model) {
    Numbering n;
    n.model = model;
    if (!model) return n;
    // The model is the caller's to change: the order holds its own entities.
    const Order o = analysisOrder(model);
    for (std::size_t i = 0; i < o.nodes.size(); ++i) {
        n.nodes.push_back(const_cast<Vertex*>(o.nodes[i]));
        attrib::nodeOf(n.nodes.back())->number = static_cast<int>(i + 1);
    }
    for (std::size_t i = 0; i < o.members.size(); ++i) {
        n.members.push_back(const_cast<Edge*>(o.members[i]));
        attrib::memberOf(n.members.back())->number = static_cast<int>(i + 1);
    }
    return n;
}

std::string zeroInertiaMembers(const Numbering& n) {
    std::string list;
    int count = 0;
    for (std::size_t m = 0; m < n.members.size(); ++m) {
        const attrib::MemberAttrib* a = attrib::memberOf(n.members[m]);
        if (!a || a->rigid || sectionValues(a->blocks[attrib::kSection]).inertia != 0) continue;
        if (++count <= 5) list += (count > 1 ? ", " : "") + std::to_string(m + 1);
    }
    if (count == 0) return "";
    if (count > 5) list += " and " + std::to_string(count - 5) + " more";
    return count == 1
               ? "the section of member " + list + " has I = 0, which releases both its ends"
               : "the sections of members " + list + " have I = 0, which releases both their ends";
}

std::string analysisFileName(const std::string& modelPath, const char* ext) {
    const std::size_t slash = modelPath.find_last_of('/');
    const std::size_t dot = modelPath.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return modelPath + "." + ext;
    return modelPath.substr(0, dot + 1) + ext;
}

void clearStoredResults() {
    g_stored = StoredResults{};
}

void clearMemberResults(Solid* model) {
    // The stored cases refer to the entities: they go with the results.
    clearStoredResults();
    if (!model) return;
    for (Edge* e = model->edges; e; e = e->next)
        if (attrib::MemberAttrib* a = attrib::memberOf(e)) a->results.fill(0);
}

void resetResults(Solid* model) {
    ResultState& s = resultState();
    double width = 0, height = 0;
    if (model && model->vertices) {
        double x0 = model->vertices->x, x1 = x0, y0 = model->vertices->y, y1 = y0;
        for (const Vertex* v = model->vertices; v; v = v->next) {
            x0 = std::min(x0, v->x), x1 = std::max(x1, v->x);
            y0 = std::min(y0, v->y), y1 = std::max(y1, v->y);
        }
        width = x1 - x0, height = y1 - y0;
    }
    s.diagramSize = 0.1 * std::max(width, height);
    s.diagramSizeLimit = 5 * s.diagramSize;
    s.precisionStep = 0.5 * mdl_tolerance();
    s.largestValue = 0;
    clearMemberResults(model);
}

namespace {

// The values of one result section in numbering order: displacements (the
// fixed directions of a node with prescribed values in the case keep those
// values) and end forces. Nodes and members the section leaves out get 0.
CaseResults caseResultsOf(const Numbering& n, const kestrel::engine::ResultSection& r,
                          int loadCase) {
    CaseResults c;
    c.loadCase = loadCase;
    const int nodeCount = static_cast<int>(n.nodes.size());
    const int memberCount = static_cast<int>(n.members.size());
    c.displacements.assign(n.nodes.size() * 3, 0.0);
    c.endForces.assign(n.members.size() * 6, 0.0);
    for (const kestrel::engine::ResultNode& rn : r.nodes) {
        if (rn.number < 1 || rn.number > nodeCount) continue;
        const attrib::NodeAttrib* a = attrib::nodeOf(n.nodes[rn.number - 1]);
        const attrib::NodeLoads* l = attrib::loadsOf(*a, loadCase);
        const double values[3] = {rn.dx, rn.dy, rn.rz};
        double* d = &c.displacements[(rn.number - 1) * 3];
        for (int k = 0; k < 3; ++k)
            d[k] = l && l->prescribedFlag && a->support[k] == '1' ? l->prescribed[k] : values[k];
    }
    for (const kestrel::engine::ResultElement& re : r.elements) {
        if (re.number < 1 || re.number > memberCount) continue;
        const double f[6] = {re.N1, re.V1, re.M1, re.N2, re.V2, re.M2};
        std::copy(f, f + 6, &c.endForces[(re.number - 1) * 6]);
    }
    return c;
}

// The values of one case from the engine's full-precision solution, for a
// model of several cases: combinations are sums of these, exact to the last
// digit, and no result text has to be read back.
CaseResults caseResultsOf(const Numbering& n, const kestrel::engine::EngineSolution& sol,
                          std::size_t index, int loadCase) {
    CaseResults c;
    c.loadCase = loadCase;
    const kestrel::engine::CaseSolution& cs = sol.cases[index];
    c.displacements.assign(n.nodes.size() * 3, 0.0);
    c.endForces.assign(n.members.size() * 6, 0.0);
    for (std::size_t i = 0; i < n.nodes.size() && (i + 1) * 6 <= cs.displacements.size(); ++i) {
        const attrib::NodeAttrib* a = attrib::nodeOf(n.nodes[i]);
        const attrib::NodeLoads* l = attrib::loadsOf(*a, loadCase);
        const double* d = &cs.displacements[i * 6];
        const double values[3] = {d[0], d[1], d[5]};
        for (int k = 0; k < 3; ++k)
            c.displacements[i * 3 + k] =
                l && l->prescribedFlag && a->support[k] == '1' ? l->prescribed[k] : values[k];
    }
    const int memberCount = static_cast<int>(n.members.size());
    for (std::size_t e = 0; e < sol.element_numbers.size() && (e + 1) * 12 <= cs.end_forces.size();
         ++e) {
        const int number = sol.element_numbers[e];
        if (number < 1 || number > memberCount) continue;
        const double* f = &cs.end_forces[e * 12];
        const double in[6] = {f[0], f[1], f[5], f[6], f[7], f[11]};
        std::copy(in, in + 6, &c.endForces[(number - 1) * 6]);
    }
    return c;
}

// Puts one case's values into the records.
void putIntoRecords(const Numbering& n, const CaseResults& c) {
    for (std::size_t i = 0; i < n.nodes.size() && (i + 1) * 3 <= c.displacements.size(); ++i)
        std::copy_n(&c.displacements[i * 3], 3, attrib::nodeOf(n.nodes[i])->displacement);
    for (std::size_t m = 0; m < n.members.size() && (m + 1) * 6 <= c.endForces.size(); ++m)
        std::copy_n(&c.endForces[m * 6], 6, attrib::memberOf(n.members[m])->results.begin());
}

// The result of an influence line straight into the records (fixed
// directions with prescribed values of the active case keep those values).
void storeResults(const Numbering& n, const kestrel::engine::ResultSection& r) {
    putIntoRecords(n, caseResultsOf(n, r, attrib::activeCase()));
}

} // namespace

StoredResults& storedResults() {
    return g_stored;
}

const CaseResults* StoredResults::find(int loadCase) const {
    for (const CaseResults& c : cases)
        if (c.loadCase == loadCase) return &c;
    return nullptr;
}

bool StoredResults::isUnstable(int id) const {
    return std::find(unstable.begin(), unstable.end(), id) != unstable.end();
}

bool showCaseResults(int loadCase) {
    const CaseResults* c = g_stored.find(loadCase);
    if (!c) return false;
    putIntoRecords(g_stored.numbering, *c);
    return true;
}

CaseResults combinedResults(const StoredResults& s,
                            const std::vector<attrib::CaseFactor>& factors) {
    CaseResults out;
    if (s.cases.empty()) return out;
    out.displacements.assign(s.cases.front().displacements.size(), 0.0);
    out.endForces.assign(s.cases.front().endForces.size(), 0.0);
    for (const attrib::CaseFactor& f : factors) {
        const CaseResults* c = s.find(f.loadCase);
        if (!c || f.factor == 0) continue;
        for (std::size_t i = 0; i < out.displacements.size(); ++i)
            out.displacements[i] += f.factor * c->displacements[i];
        for (std::size_t i = 0; i < out.endForces.size(); ++i)
            out.endForces[i] += f.factor * c->endForces[i];
    }
    return out;
}

namespace {

// The second-order results of a case or combination id; none for the
// envelope or an id the analysis did not solve.
const CaseResults* secondOrderResults(const attrib::AttributeRoot& root, int id) {
    if (attrib::findCase(root, id)) return g_stored.find(id);
    for (const CaseResults& c : g_stored.combinations)
        if (c.loadCase == id) return &c;
    return nullptr;
}

} // namespace

int largestDisplacementMember(const attrib::AttributeRoot& root) {
    int best = 0;
    double largest = -1;
    for (const attrib::EnvelopeMember& m : attrib::envelopeMembers(root)) {
        const CaseResults* own = g_stored.secondOrder ? secondOrderResults(root, m.id) : nullptr;
        const CaseResults r = own ? *own : combinedResults(g_stored, m.factors);
        double d = 0;
        for (double v : r.displacements) d = std::max(d, std::fabs(v));
        if (d > largest) largest = d, best = m.id;
    }
    return best;
}

int envelopeMemberWithoutResults(const attrib::AttributeRoot& root) {
    if (!g_stored.secondOrder) return 0;
    for (const attrib::EnvelopeMember& m : attrib::envelopeMembers(root))
        if (g_stored.isUnstable(m.id) || !secondOrderResults(root, m.id)) return m.id;
    return 0;
}

bool shownWithoutResults(const attrib::AttributeRoot& root) {
    if (!g_stored.secondOrder) return false;
    const int shown = attrib::shownId(root);
    if (shown == attrib::kEnvelope) return envelopeMemberWithoutResults(root) != 0;
    return g_stored.isUnstable(shown) || !secondOrderResults(root, shown);
}

bool showResults(const attrib::AttributeRoot& root) {
    if (g_stored.cases.empty()) return false;
    const int shown = attrib::shownId(root);
    if (g_stored.secondOrder) {
        // No superposition in second order: each combination has its own
        // results; the envelope shows those of its member with the largest
        // displacement. What has none shows zeros, and the display draws
        // nothing.
        const bool envelope = shown == attrib::kEnvelope && !shownWithoutResults(root);
        const int id = envelope ? largestDisplacementMember(root) : shown;
        root.envelopeRecords = envelope ? id : 0;
        const CaseResults* c = secondOrderResults(root, id);
        CaseResults zeros;
        zeros.displacements.assign(g_stored.numbering.nodes.size() * 3, 0.0);
        zeros.endForces.assign(g_stored.numbering.members.size() * 6, 0.0);
        putIntoRecords(g_stored.numbering, c ? *c : zeros);
        return true;
    }
    if (attrib::findCase(root, shown)) return showCaseResults(shown);
    const int id = shown == attrib::kEnvelope ? largestDisplacementMember(root) : shown;
    root.envelopeRecords = shown == attrib::kEnvelope ? id : 0;
    putIntoRecords(g_stored.numbering, combinedResults(g_stored, attrib::factorsOf(root, id)));
    return true;
}

namespace {
RunOutcome run(Solid* model, const attrib::AttributeRoot& root, const std::string& modelPath,
               const InfluenceRequest* influence, const RunOptions* options);
} // namespace

RunOutcome runAnalysis(Solid* model, const attrib::AttributeRoot& root,
                       const std::string& modelPath, const RunOptions& options) {
    return run(model, root, modelPath, nullptr, &options);
}

RunOutcome runInfluenceAnalysis(Solid* model, const attrib::AttributeRoot& root,
                                const std::string& modelPath, const InfluenceRequest& request) {
    return run(model, root, modelPath, &request, nullptr);
}

namespace {

// The engine's shares of the pattern cases as results in numbering order, handed on to the
// caller's callback. One CaseResults is filled again for every share.
class ShareConverter final : public kestrel::engine::ShareSink {
public:
    ShareConverter(const Numbering& n, const attrib::AttributeRoot& root,
                   const kestrel::engine::EngineSolution& solution, const RunOptions& options)
        : n_(n), root_(root), solution_(solution), options_(options) {}

    void share(int caseIndex, int element, const double* d, const double* f) override {
        if (caseIndex != case_) prepare(caseIndex);
        for (std::size_t i = 0; i < n_.nodes.size(); ++i) {
            double* out = &share_.displacements[i * 3];
            out[0] = d[i * 6], out[1] = d[i * 6 + 1], out[2] = d[i * 6 + 5];
        }
        for (const Held& h : held_) share_.displacements[h.at] = element == 0 ? h.value : 0.0;
        for (std::size_t p = 0; p < slot_.size(); ++p) {
            if (slot_[p] < 0) continue;
            const double* e = f + p * 12;
            const double values[6] = {e[0], e[1], e[5], e[6], e[7], e[11]};
            double* out = &share_.endForces[static_cast<std::size_t>(slot_[p]) * 6];
            // As the result file's reader stores end forces: below 1e-5 as 0.
            for (int k = 0; k < 6; ++k) out[k] = std::fabs(values[k]) < 1e-5 ? 0.0 : values[k];
        }
        options_.onShare(share_.loadCase, element, share_);
    }

private:
    struct Held {
        std::size_t at; // index into the displacements
        double value;   // the case's prescribed value there
    };

    // The case's fixed directions with prescribed values, and where each listed element goes.
    void prepare(int caseIndex) {
        case_ = caseIndex;
        share_.loadCase = root_.cases[static_cast<std::size_t>(caseIndex)].id;
        share_.displacements.assign(n_.nodes.size() * 3, 0.0);
        share_.endForces.assign(n_.members.size() * 6, 0.0);
        held_.clear();
        for (std::size_t i = 0; i < n_.nodes.size(); ++i) {
            const attrib::NodeAttrib* a = attrib::nodeOf(n_.nodes[i]);
            const attrib::NodeLoads* l = attrib::loadsOf(*a, share_.loadCase);
            for (std::size_t k = 0; k < 3; ++k)
                if (l && l->prescribedFlag && a->support[k] == '1')
                    held_.push_back({i * 3 + k, l->prescribed[k]});
        }
        slot_.clear();
        const int members = static_cast<int>(n_.members.size());
        for (int number : solution_.element_numbers)
            slot_.push_back(number >= 1 && number <= members ? number - 1 : -1);
    }

    const Numbering& n_;
    const attrib::AttributeRoot& root_;
    const kestrel::engine::EngineSolution& solution_; // its element list, filled before shares
    const RunOptions& options_;
    int case_ = -1;
    std::vector<Held> held_;
    std::vector<int> slot_; // member index of each element in list order, -1 for none
    CaseResults share_;
};

RunOutcome run(Solid* model, const attrib::AttributeRoot& root, const std::string& modelPath,
               const InfluenceRequest* influence, const RunOptions* options) {
    RunOutcome out;
    g_timings = {};
    g_stored = StoredResults{};
    auto t = Clock::now();
    out.numbering = numberModel(model);
    g_timings.number = since(t);

    t = Clock::now();
    const std::string dat = analysisFileName(modelPath, "dat");
    const std::string pos = analysisFileName(modelPath, "pos");
    // A model of several cases hands its loads to the engine in memory: the neutral file holds
    // the frame only, and no text of the loads is written or read.
    const bool inMemory = !influence && !attrib::isSingleCase(root);
    std::vector<kestrel::engine::CaseLoads> cases;
    if (inMemory)
        for (const attrib::LoadCase& c : root.cases)
            cases.push_back(caseLoads(out.numbering, root, c.id));
    std::string text;
    bool written = influence
                       ? writeInfluenceSection(text, out.numbering, root, influence->kind,
                                               influence->member, influence->x, influence->length)
                   : inMemory ? writeFrameSection(text, out.numbering, root)
                              : writeModelSection(text, out.numbering, root);
    const NeutralFile made = written ? writeNeutralFile(dat, text) : NeutralFile::kCannotWrite;
    g_timings.write = since(t);
    if (made != NeutralFile::kWritten) {
        out.status = RunStatus::kCannotWrite;
        out.message = made == NeutralFile::kInTheWay ? inTheWay(dat) : kMsgCannotWrite;
        return out;
    }

    t = Clock::now();
    std::string fatal;
    // The pattern cases are split into shares when the caller takes them; the neutral file
    // lists the model's cases in order.
    kestrel::engine::AnalyseOptions request;
    std::optional<ShareConverter> converter;
    if (options && options->onShare) {
        for (std::size_t c = 0; c < root.cases.size(); ++c)
            if (root.cases[c].pattern) request.split_cases.push_back(static_cast<int>(c));
        request.sink = &converter.emplace(out.numbering, root, out.solution, *options);
    }
    // A model of several cases takes its results from memory and writes no result file; one
    // that an earlier analysis of the model left would contradict them and goes.
    request.result_file = !inMemory;
    if (inMemory) request.cases = &cases;
    struct stat st {};
    if (!request.result_file && ::lstat(pos.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        leftByKestrel(pos, kResultFileMark))
        ::unlink(pos.c_str());
    const int code = kestrel::engine::AnalyseCore(dat.c_str(), &fatal, &out.solution, &request);
    g_timings.engine = since(t);
    if (code == kestrel::engine::kAnalyseFatal) {
        out.status = RunStatus::kFatal;
        out.message = fatal;
        return out;
    }
    if (code == kestrel::engine::kAnalyseSingular) {
        out.status = RunStatus::kUnstable;
        // A solution that was not finite says where; a singular matrix has
        // the fixed text, and names the members whose I = 0 releases them.
        if (!fatal.empty()) {
            out.message = "\n   " + fatal + "   \n";
            return out;
        }
        out.message = kMsgUnstable;
        if (std::string released = zeroInertiaMembers(out.numbering); !released.empty()) {
            released[0] = 'T';
            out.message += "\n   " + released + ".   \n";
        }
        return out;
    }

    t = Clock::now();
    // A model of several cases keeps the engine's full precision: its
    // combinations are sums of the cases, exact to the last digit. A
    // single-case model shows what the result file holds, as it always has.
    if (inMemory && out.solution.cases.size() == root.cases.size()) {
        g_stored.numbering = out.numbering;
        for (std::size_t c = 0; c < root.cases.size(); ++c)
            g_stored.cases.push_back(
                caseResultsOf(out.numbering, out.solution, c, root.cases[c].id));
        showResults(root);
        std::remove(dat.c_str());
        g_timings.read = since(t);
        out.status = RunStatus::kSolved;
        return out;
    }
    std::vector<kestrel::engine::ResultSection> sections;
    if (!kestrel::engine::ReadResultCases(pos.c_str(), &sections) || sections.empty()) {
        out.status = RunStatus::kCannotRead;
        out.message = kMsgCannotRead;
        return out;
    }
    if (influence) {
        storeResults(out.numbering, sections.front());
    } else {
        // The sections follow the list of cases; every case is kept, and
        // the active one goes into the records.
        g_stored.numbering = out.numbering;
        for (std::size_t c = 0; c < root.cases.size() && c < sections.size(); ++c)
            g_stored.cases.push_back(caseResultsOf(out.numbering, sections[c], root.cases[c].id));
        showResults(root);
    }
    std::remove(dat.c_str());
    g_timings.read = since(t);
    out.status = RunStatus::kSolved;
    return out;
}
} // namespace

void storeSecondOrder(const StabilityOutcome& out, const attrib::AttributeRoot& root) {
    g_stored = StoredResults{};
    if (out.status != RunStatus::kSolved) return;
    g_stored.numbering = out.numbering;
    g_stored.secondOrder = true;
    const kestrel::engine::SecondOrderSolution& so = out.second;
    const std::size_t cases = root.cases.size();
    for (std::size_t i = 0; i < cases + root.combos.size(); ++i) {
        const int id = i < cases ? root.cases[i].id : root.combos[i - cases].id;
        const bool solved =
            i < so.runs.size() && so.runs[i].converged && i < so.solution.cases.size();
        CaseResults c;
        if (solved) {
            // A combination's prescribed displacements are those of its
            // cases times their factors, as the engine took them.
            c = caseResultsOf(out.numbering, so.solution, i, i < cases ? id : 0);
            c.loadCase = id;
        } else {
            g_stored.unstable.push_back(id);
            c.loadCase = id;
            c.displacements.assign(out.numbering.nodes.size() * 3, 0.0);
            c.endForces.assign(out.numbering.members.size() * 6, 0.0);
        }
        (i < cases ? g_stored.cases : g_stored.combinations).push_back(std::move(c));
        if (i >= cases) g_stored.combinationFactors.push_back(root.combos[i - cases].factors);
    }
    showResults(root);
}

const DriverTimings& lastDriverTimings() {
    return g_timings;
}

// The neutral file written as runAnalysis writes it, for the stability runs (stability.cpp).
bool writeAnalysisInput(const std::string& dat, const std::string& text, std::string* message) {
    const NeutralFile made = writeNeutralFile(dat, text);
    if (made == NeutralFile::kWritten) return true;
    *message = made == NeutralFile::kInTheWay ? inTheWay(dat) : kMsgCannotWrite;
    return false;
}

} // namespace analysis
