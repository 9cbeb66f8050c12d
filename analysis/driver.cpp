// Check, numbering, file names, result storage and the run of one analysis.
#include "analysis/analysis.h"

#include "analysis/engine/result_section.h"
#include "attrib/blocks.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace analysis {

const char* const kMsgNoMember = "\n No member defined. \n Please create the structure. \n";
const char* const kMsgIsolatedNode =
    "\n     An isolated node was found!   \n\n  Please delete the node "
    "or connect \n  it with members to other nodes.  \n";
const char* const kMsgNoMaterial = "\n  You must define materials to all members! \n";
const char* const kMsgNoSection = "\n  You must define sections to all members! \n";
const char* const kMsgThermalSections = "\n  You must define positive values for height \n  and GC "
                                        "location in all section properties! \n";
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

enum class NeutralFile { kWritten, kCannotWrite, kInTheWay };

// Whether the regular file `path` begins with the neutral file's first line.
bool leftByKestrel(const std::string& path) {
    const std::string mark = std::string(kNeutralFileMark) + "\n";
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

} // namespace

CheckResult checkModel(const Solid* model, const attrib::AttributeRoot& root) {
    if (!model || !model->edges) return kCheckNoMember;
    for (const Vertex* v = model->vertices; v; v = v->next)
        if (isolated(v)) return kCheckIsolatedNode;
    for (const Edge* e = model->edges; e; e = e->next) {
        const attrib::MemberAttrib* a = attrib::memberOf(e);
        if (!a || !a->blocks[attrib::kMaterial]) return kCheckNoMaterial;
    }
    for (const Edge* e = model->edges; e; e = e->next)
        if (!attrib::memberOf(e)->blocks[attrib::kSection]) return kCheckNoSection;
    // Thermal loads need the depth and the centroid location of every
    // section, used or not.
    if (root.lists[attrib::kTpf] && root.lists[attrib::kSpf]) {
        for (const attrib::PropertyBlock* b = root.lists[attrib::kSpf]; b; b = b->next) {
            const SectionValues s = sectionValues(b);
            if (!(s.depth > 0) || !(s.ygc > 0)) return kCheckThermalSections;
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
    case kCheckOk:
        break;
    }
    return "";
}

Numbering numberModel(Solid* model) {
    Numbering n;
    n.model = model;
    if (!model) return n;
    for (Vertex* v = model->vertices; v; v = v->next)
        if (attrib::nodeOf(v)) n.nodes.push_back(v);
    std::sort(n.nodes.begin(), n.nodes.end(), [](const Vertex* a, const Vertex* b) {
        return a->y != b->y ? a->y < b->y : a->x < b->x;
    });
    for (std::size_t i = 0; i < n.nodes.size(); ++i)
        attrib::nodeOf(n.nodes[i])->number = static_cast<int>(i + 1);
    struct Ends {
        Edge* e;
        int n1, n2;
    };
    std::vector<Ends> ends;
    for (Edge* e = model->edges; e; e = e->next) {
        if (!attrib::memberOf(e)) continue;
        const attrib::NodeAttrib* a1 = attrib::nodeOf(e->he1->vtx);
        const attrib::NodeAttrib* a2 = attrib::nodeOf(e->he2->vtx);
        ends.push_back({e, a1 ? a1->number : 0, a2 ? a2->number : 0});
    }
    std::sort(ends.begin(), ends.end(), [](const Ends& a, const Ends& b) {
        return a.n1 != b.n1 ? a.n1 < b.n1 : a.n2 < b.n2;
    });
    n.members.reserve(ends.size());
    for (std::size_t i = 0; i < ends.size(); ++i) {
        attrib::memberOf(ends[i].e)->number = static_cast<int>(i + 1);
        n.members.push_back(ends[i].e);
    }
    return n;
}

std::string analysisFileName(const std::string& modelPath, const char* ext) {
    const std::size_t slash = modelPath.find_last_of('/');
    const std::size_t dot = modelPath.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return modelPath + "." + ext;
    return modelPath.substr(0, dot + 1) + ext;
}

void clearMemberResults(Solid* model) {
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

void storeResults(const Numbering& n, const kestrel::engine::ResultSection& r) {
    const int nodeCount = static_cast<int>(n.nodes.size());
    for (const kestrel::engine::ResultNode& rn : r.nodes) {
        if (rn.number < 1 || rn.number > nodeCount) continue;
        attrib::NodeAttrib* a = attrib::nodeOf(n.nodes[rn.number - 1]);
        const double values[3] = {rn.dx, rn.dy, rn.rz};
        // The displacement triple is the prescribed-value storage: fixed
        // directions of a node with prescribed values keep those values.
        for (int d = 0; d < 3; ++d)
            if (!a->prescribedFlag || a->support[d] != '1') a->prescribed[d] = values[d];
    }
    const int memberCount = static_cast<int>(n.members.size());
    for (const kestrel::engine::ResultElement& re : r.elements) {
        if (re.number < 1 || re.number > memberCount) continue;
        attrib::MemberAttrib* a = attrib::memberOf(n.members[re.number - 1]);
        a->results[kN1] = re.N1, a->results[kV1] = re.V1, a->results[kM1] = re.M1;
        a->results[kN2] = re.N2, a->results[kV2] = re.V2, a->results[kM2] = re.M2;
    }
}

namespace {
RunOutcome run(Solid* model, const attrib::AttributeRoot& root, const std::string& modelPath,
               const InfluenceRequest* influence);
} // namespace

RunOutcome runAnalysis(Solid* model, const attrib::AttributeRoot& root,
                       const std::string& modelPath) {
    return run(model, root, modelPath, nullptr);
}

RunOutcome runInfluenceAnalysis(Solid* model, const attrib::AttributeRoot& root,
                                const std::string& modelPath, const InfluenceRequest& request) {
    return run(model, root, modelPath, &request);
}

namespace {
RunOutcome run(Solid* model, const attrib::AttributeRoot& root, const std::string& modelPath,
               const InfluenceRequest* influence) {
    RunOutcome out;
    g_timings = {};
    auto t = Clock::now();
    out.numbering = numberModel(model);
    g_timings.number = since(t);

    t = Clock::now();
    const std::string dat = analysisFileName(modelPath, "dat");
    const std::string pos = analysisFileName(modelPath, "pos");
    std::string text;
    bool written = influence
                       ? writeInfluenceSection(text, out.numbering, root, influence->kind,
                                               influence->member, influence->x, influence->length)
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
    const int code = kestrel::engine::AnalyseCore(dat.c_str(), &fatal, &out.solution);
    g_timings.engine = since(t);
    if (code == kestrel::engine::kAnalyseFatal) {
        out.status = RunStatus::kFatal;
        out.message = fatal;
        return out;
    }
    if (code == kestrel::engine::kAnalyseSingular) {
        out.status = RunStatus::kUnstable;
        // A solution that was not finite says where; a singular matrix has
        // the fixed text.
        out.message = fatal.empty() ? std::string(kMsgUnstable) : "\n   " + fatal + "   \n";
        return out;
    }

    t = Clock::now();
    kestrel::engine::ResultSection section;
    if (!kestrel::engine::ReadResultFile(pos.c_str(), &section)) {
        out.status = RunStatus::kCannotRead;
        out.message = kMsgCannotRead;
        return out;
    }
    storeResults(out.numbering, section);
    std::remove(dat.c_str());
    g_timings.read = since(t);
    out.status = RunStatus::kSolved;
    return out;
}
} // namespace

const DriverTimings& lastDriverTimings() {
    return g_timings;
}

} // namespace analysis
