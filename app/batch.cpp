// kestrel-solve: batch analysis of model files and neutral files.
#include "app/batch.h"

#include "analysis/analysis.h"
#include "analysis/engine/engine.h"
#include "attrib/attrib.h"
#include "attrib/cases.h"
#include "attrib/settings.h"
#include "fileio/fileio.h"
#include "files/modelfile.h"
#include "model/model.h"
#include "units/units.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace batch {

namespace {

constexpr int kOldestVersion = 206; // older files hold display units: the program converts them

// A message of the program or the engine as one plain line: surrounding
// blanks, line breaks, asterisks and exclamation marks dropped, inner runs
// of blanks and line breaks turned into one blank.
std::string oneLine(const std::string& message) {
    std::string line;
    bool blank = false;
    for (char c : message) {
        if (c == '*' || c == '!') continue;
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            blank = !line.empty();
            continue;
        }
        if (blank) line += ' ';
        blank = false;
        line += c;
    }
    return line;
}

bool endsWith(const std::string& s, const char* tail) {
    const std::size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// The frame model and attribute modules hold one model at a time; this
// returns them to their initial state when the analysis ends.
struct ModelScope {
    ModelScope() {
        mdl_reset();
        attrib::state().reset();
        mdl_register_hooks(&attrib::hooks());
    }
    ~ModelScope() {
        mdl_reset();
        attrib::state().reset();
    }
};

struct Units {
    int length, disp, rot, force, moment;
    explicit Units(const attrib::AppSettings& s)
        : length(s.units[units::kLengthUnit]), disp(s.units[units::kDisplacementUnit]),
          rot(s.units[units::kRotationUnit]), force(s.units[units::kForceUnit]),
          moment(s.units[units::kMomentUnit]) {}
};

// The results of one load case in the model's numbering.
struct CaseTables {
    std::string label;
    const std::vector<double>* displacements = nullptr; // 6 per node, engine order
    std::vector<double> forces;                         // 12 per member number
    std::vector<analysis::Reaction> reactions;
};

// End forces per member number (index number - 1), 12 engine values each.
std::vector<double> forcesByNumber(const kestrel::engine::EngineSolution& sol,
                                   const std::vector<double>& endForces, std::size_t members) {
    std::vector<double> f(members * 12, 0.0);
    for (std::size_t i = 0; i < sol.element_numbers.size(); ++i) {
        const int m = sol.element_numbers[i];
        if (m < 1 || static_cast<std::size_t>(m) > members || (i + 1) * 12 > endForces.size())
            continue;
        std::copy_n(&endForces[i * 12], 12, &f[(m - 1) * 12]);
    }
    return f;
}

// The tables of every case of the model, in the order of its list.
std::vector<CaseTables> caseTables(const analysis::RunOutcome& run,
                                   const attrib::AttributeRoot& root) {
    std::vector<CaseTables> out;
    const kestrel::engine::EngineSolution& sol = run.solution;
    for (std::size_t c = 0; c < root.cases.size() && c < sol.cases.size(); ++c) {
        CaseTables t;
        t.label = root.cases[c].label;
        t.displacements = &sol.cases[c].displacements;
        t.forces = forcesByNumber(sol, sol.cases[c].end_forces, run.numbering.members.size());
        t.reactions = analysis::supportReactions(run.numbering, t.forces, root.cases[c].id);
        out.push_back(std::move(t));
    }
    return out;
}

void printTable(std::FILE* out, const analysis::Numbering& n, const Units& u, const CaseTables& t) {
    auto d = [](int code, double v) { return units::toDisplay(code, v); };
    std::fprintf(out, "Node displacements (%s, %s)\n", units::unitLabel(u.disp),
                 units::unitLabel(u.rot));
    std::fprintf(out, "%6s %14s %14s %14s %14s %14s\n", "node", "x", "y", "Dx", "Dy", "Rz");
    const std::vector<double>& disp = *t.displacements;
    for (std::size_t i = 0; i < n.nodes.size(); ++i) {
        const double* v = i * 6 + 6 <= disp.size() ? &disp[i * 6] : nullptr;
        std::fprintf(out, "%6zu %14.6g %14.6g %14.6g %14.6g %14.6g\n", i + 1,
                     d(u.length, n.nodes[i]->x), d(u.length, n.nodes[i]->y),
                     v ? d(u.disp, v[0]) : 0.0, v ? d(u.disp, v[1]) : 0.0,
                     v ? d(u.rot, v[5]) : 0.0);
    }
    std::fprintf(out, "\nSupport reactions (%s, %s)\n", units::unitLabel(u.force),
                 units::unitLabel(u.moment));
    std::fprintf(out, "%6s %14s %14s %14s\n", "node", "Fx", "Fy", "Mz");
    for (const analysis::Reaction& r : t.reactions) {
        auto cell = [&](bool has, int code, double v) {
            char buf[32];
            if (has)
                std::snprintf(buf, sizeof buf, "%14.6g", d(code, v));
            else
                std::snprintf(buf, sizeof buf, "%14s", "-");
            return std::string(buf);
        };
        std::fprintf(out, "%6d %s %s %s\n", r.number, cell(r.hasFx, u.force, r.fx).c_str(),
                     cell(r.hasFy, u.force, r.fy).c_str(), cell(r.hasMz, u.moment, r.mz).c_str());
    }
    std::fprintf(out, "\nMember end forces, member axes (%s, %s)\n", units::unitLabel(u.force),
                 units::unitLabel(u.moment));
    std::fprintf(out, "%6s %5s %5s %12s %12s %12s %12s %12s %12s\n", "member", "node1", "node2",
                 "N1", "V1", "M1", "N2", "V2", "M2");
    for (std::size_t m = 0; m < n.members.size(); ++m) {
        const Edge* e = n.members[m];
        const double* f = &t.forces[m * 12];
        std::fprintf(out, "%6zu %5d %5d %12.6g %12.6g %12.6g %12.6g %12.6g %12.6g\n", m + 1,
                     attrib::nodeOf(e->he1->vtx)->number, attrib::nodeOf(e->he2->vtx)->number,
                     d(u.force, f[0]), d(u.force, f[1]), d(u.moment, f[5]), d(u.force, f[6]),
                     d(u.force, f[7]), d(u.moment, f[11]));
    }
}

// A text as a JSON string body: quotes and backslashes escaped, control
// characters left out.
std::string jsonText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
    }
    return out;
}

// The "nodes", "reactions" and "members" arrays of one case, each line
// indented by `pad`.
void jsonArrays(std::FILE* f, const analysis::Numbering& n, const CaseTables& t,
                const std::string& pad) {
    const char* p = pad.c_str();
    std::fprintf(f, "%s\"nodes\": [", p);
    const std::vector<double>& disp = *t.displacements;
    for (std::size_t i = 0; i < n.nodes.size(); ++i) {
        const double* v = i * 6 + 6 <= disp.size() ? &disp[i * 6] : nullptr;
        std::fprintf(f,
                     "%s\n%s  {\"node\": %zu, \"x\": %.17g, \"y\": %.17g, \"dx\": %.17g, "
                     "\"dy\": %.17g, \"rz\": %.17g}",
                     i ? "," : "", p, i + 1, n.nodes[i]->x, n.nodes[i]->y, v ? v[0] : 0.0,
                     v ? v[1] : 0.0, v ? v[5] : 0.0);
    }
    std::fprintf(f, "\n%s],\n%s\"reactions\": [", p, p);
    for (std::size_t i = 0; i < t.reactions.size(); ++i) {
        const analysis::Reaction& r = t.reactions[i];
        std::fprintf(f, "%s\n%s  {\"node\": %d", i ? "," : "", p, r.number);
        if (r.hasFx) std::fprintf(f, ", \"fx\": %.17g", r.fx);
        if (r.hasFy) std::fprintf(f, ", \"fy\": %.17g", r.fy);
        if (r.hasMz) std::fprintf(f, ", \"mz\": %.17g", r.mz);
        std::fprintf(f, "}");
    }
    std::fprintf(f, "\n%s],\n%s\"members\": [", p, p);
    for (std::size_t m = 0; m < n.members.size(); ++m) {
        const Edge* e = n.members[m];
        const double* v = &t.forces[m * 12];
        std::fprintf(f,
                     "%s\n%s  {\"member\": %zu, \"node1\": %d, \"node2\": %d, \"n1\": %.17g, "
                     "\"v1\": %.17g, \"m1\": %.17g, \"n2\": %.17g, \"v2\": %.17g, \"m2\": %.17g}",
                     m ? "," : "", p, m + 1, attrib::nodeOf(e->he1->vtx)->number,
                     attrib::nodeOf(e->he2->vtx)->number, v[0], v[1], v[5], v[6], v[7], v[11]);
    }
    std::fprintf(f, "\n%s]", p);
}

// The model's results: a "cases" array with each case's label and arrays;
// a model of one case also has that case's arrays at the top, as before
// load cases.
bool writeJson(const std::string& path, const std::string& model, const analysis::Numbering& n,
               const std::vector<CaseTables>& cases) {
    fileio::AtomicFile file(path);
    std::FILE* f = file.stream();
    if (!f) return false;
    std::fprintf(f, "{\n  \"model\": \"%s\",\n", jsonText(model).c_str());
    std::fprintf(f, "  \"units\": {\"length\": \"m\", \"force\": \"kN\", \"moment\": \"kN m\", "
                    "\"rotation\": \"rad\"},\n");
    if (cases.size() == 1) {
        jsonArrays(f, n, cases.front(), "  ");
        std::fprintf(f, ",\n");
    }
    std::fprintf(f, "  \"cases\": [");
    for (std::size_t c = 0; c < cases.size(); ++c) {
        std::fprintf(f, "%s\n    {\n      \"label\": \"%s\",\n", c ? "," : "",
                     jsonText(cases[c].label).c_str());
        jsonArrays(f, n, cases[c], "      ");
        std::fprintf(f, "\n    }");
    }
    std::fprintf(f, "\n  ]\n}\n");
    return file.commit();
}

} // namespace

int analyseNeutralFile(const std::string& path, std::FILE* out, std::FILE* err) {
    std::string message;
    const int result = kestrel::engine::AnalyseCore(path.c_str(), &message);
    if (result == kestrel::engine::kAnalyseFatal) {
        std::fputs(message.c_str(), out);
        std::fflush(out);
        std::fprintf(err, "kestrel-solve: %s: %s\n", path.c_str(), oneLine(message).c_str());
        return kBadFile;
    }
    if (result == kestrel::engine::kAnalyseSingular && !message.empty()) { // not finite
        std::fprintf(out, "%s\n", message.c_str());
        std::fflush(out);
        std::fprintf(err, "kestrel-solve: %s: %s\n", path.c_str(), oneLine(message).c_str());
        return kSingular;
    }
    if (result == kestrel::engine::kAnalyseSingular) {
        std::fputs("Unstable frame: the stiffness matrix is singular.\n", out);
        std::fflush(out);
        std::fprintf(err, "kestrel-solve: %s: unstable frame: the stiffness matrix is singular\n",
                     path.c_str());
        return kSingular;
    }
    return kSolved;
}

int analyseModelFile(const std::string& path, const std::string& jsonPath, std::FILE* out,
                     std::FILE* err) {
    auto fail = [&](int status, const std::string& text) {
        std::fprintf(err, "kestrel-solve: %s: %s\n", path.c_str(), text.c_str());
        return status;
    };
    ModelScope scope;
    files::ReadResult r = files::readModelFile(path, attrib::initialSettings());
    switch (r.status) {
    case files::ReadStatus::kModel:
        break;
    case files::ReadStatus::kCannotOpen:
        return fail(kBadFile, "cannot open the file");
    case files::ReadStatus::kBadFile:
        return fail(kBadFile, r.reason.empty() ? "not a Kestrel model file" : r.reason);
    case files::ReadStatus::kNewerVersion:
        return fail(kBadFile, "version " + std::to_string(r.version) +
                                  " is newer than this program reads (" +
                                  std::to_string(files::kFileVersion) + ")");
    }
    attrib::state().root = std::move(r.root);
    // Analysing the part that could be read would give results for another frame.
    if (r.noteCount > 0)
        return fail(kBadFile, "damaged file, not analysed: " + files::notesSummary(r, 3));
    if (r.version < kOldestVersion)
        return fail(kBadFile, "version " + std::to_string(r.version) +
                                  " is too old to analyse here: open it in the program, which "
                                  "converts it, and save it");
    Solid* model = r.model;
    if (std::string text; analysis::checkModel(model, attrib::root(), text) != analysis::kCheckOk)
        return fail(kCheckFailed, oneLine(text));

    analysis::resetResults(model);
    const analysis::RunOutcome run = analysis::runAnalysis(model, attrib::root(), path);
    switch (run.status) {
    case analysis::RunStatus::kSolved:
        break;
    case analysis::RunStatus::kUnstable: {
        // A solution that was not finite: the engine's message says where.
        if (run.message.rfind(analysis::kMsgUnstable, 0) != 0)
            return fail(kSingular, oneLine(run.message));
        const std::string released = analysis::zeroInertiaMembers(run.numbering);
        return fail(kSingular, "unstable frame: the stiffness matrix is singular" +
                                   (released.empty() ? "" : "; " + released));
    }
    case analysis::RunStatus::kCannotWrite:
        // A file in the way of the neutral file has its own message.
        return fail(kBadFile, run.message != analysis::kMsgCannotWrite
                                  ? oneLine(run.message)
                                  : "cannot write the neutral file " +
                                        analysis::analysisFileName(path, "dat"));
    case analysis::RunStatus::kCannotRead:
        return fail(kBadFile,
                    "cannot read the result file " + analysis::analysisFileName(path, "pos"));
    case analysis::RunStatus::kFatal:
        return fail(kBadFile, oneLine(run.message));
    }
    // A table per case; with several, each headed by its label.
    const std::vector<CaseTables> cases = caseTables(run, attrib::root());
    for (std::size_t c = 0; c < cases.size(); ++c) {
        if (cases.size() > 1)
            std::fprintf(out, "%sLoad case %zu: %s\n\n", c ? "\n" : "", c + 1,
                         cases[c].label.c_str());
        printTable(out, run.numbering, Units(r.settings), cases[c]);
    }
    if (!jsonPath.empty() && !writeJson(jsonPath, path, run.numbering, cases))
        return fail(kBadFile, "cannot write " + jsonPath);
    return kSolved;
}

int run(int argc, char** argv, std::FILE* out, std::FILE* err) {
    const char* usage = "usage: kestrel-solve FILE.dat\n"
                        "       kestrel-solve MODEL.kst [--json FILE]\n";
    std::string file, json;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(usage, out);
            return kSolved;
        }
        if (a == "--json" && i + 1 < argc && json.empty()) {
            json = argv[++i];
        } else if (file.empty() && !a.empty() && a[0] != '-') {
            file = a;
        } else {
            std::fputs(usage, err);
            return kUsage;
        }
    }
    if (file.empty()) {
        std::fputs(usage, err);
        return kUsage;
    }
    if (endsWith(file, ".kst") || endsWith(file, ".KST"))
        return analyseModelFile(file, json, out, err);
    if (!json.empty()) {
        std::fputs(usage, err);
        return kUsage;
    }
    return analyseNeutralFile(file, out, err);
}

} // namespace batch
