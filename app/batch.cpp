// kestrel-solve: batch analysis of model files and neutral files.
#include "app/batch.h"

#include "analysis/analysis.h"
#include "analysis/engine/engine.h"
#include "analysis/stability.h"
#include "app/batch_stability.h"
#include "attrib/attrib.h"
#include "attrib/cases.h"
#include "attrib/settings.h"
#include "fileio/fileio.h"
#include "files/modelfile.h"
#include "model/model.h"
#include "results/envelope.h"
#include "results/tables.h"
#include "units/units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>

namespace batch {

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

namespace {

constexpr int kOldestVersion = 206; // older files hold display units: the program converts them

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
    std::vector<double> displacements; // 6 per node, engine order
    std::vector<double> forces;        // 12 per member number
    std::vector<analysis::Reaction> reactions;
    std::vector<attrib::CaseFactor> factors; // of a combination: its cases' ids and factors
    bool inEnvelope = true;
    int iterations = -1;  // second order: solutions after the linear one
    std::string unstable; // second order: why there are no values ("" when there are)
};

// Drops the rounding noise (results::noiseFree) of translations and rotations, forces and
// moments, each against the largest of its kind.
void dropNoise(CaseTables& t) {
    double move = 0, turn = 0, force = 0, moment = 0;
    for (std::size_t i = 0; i < t.displacements.size(); ++i)
        (i % 6 < 3 ? move : turn) =
            std::max(i % 6 < 3 ? move : turn, std::fabs(t.displacements[i]));
    for (std::size_t i = 0; i < t.forces.size(); ++i)
        (i % 6 < 3 ? force : moment) = std::max(i % 6 < 3 ? force : moment, std::fabs(t.forces[i]));
    for (std::size_t i = 0; i < t.displacements.size(); ++i)
        t.displacements[i] = results::noiseFree(t.displacements[i], i % 6 < 3 ? move : turn);
    for (std::size_t i = 0; i < t.forces.size(); ++i)
        t.forces[i] = results::noiseFree(t.forces[i], i % 6 < 3 ? force : moment);
    for (analysis::Reaction& r : t.reactions) {
        r.fx = results::noiseFree(r.fx, force), r.fy = results::noiseFree(r.fy, force),
        r.mz = results::noiseFree(r.mz, moment);
    }
}

// One line of a table, built as printf's "%*.6g", "%*d" and "%*s" (or "%-*s") would build it,
// without printf's cost: a table of a large frame has hundreds of thousands of numbers.
class Row {
public:
    Row& number(double v, int width) {
        char buf[32];
        const char* end =
            std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6).ptr;
        return text(std::string_view(buf, static_cast<std::size_t>(end - buf)), width);
    }
    Row& integer(long long v, int width) {
        char buf[24];
        const char* end = std::to_chars(buf, buf + sizeof buf, v).ptr;
        return text(std::string_view(buf, static_cast<std::size_t>(end - buf)), width);
    }
    // Right-aligned in `width`, or left-aligned in -width.
    Row& text(std::string_view t, int width) {
        const std::size_t w = static_cast<std::size_t>(std::abs(width));
        const std::size_t pad = t.size() < w ? w - t.size() : 0;
        if (width > 0) line_.append(pad, ' ');
        line_.append(t);
        if (width < 0) line_.append(pad, ' ');
        return *this;
    }
    // A reaction component: the value, or "-" for a direction the support leaves free.
    Row& cell(bool has, double v, int width) { return has ? number(v, width) : text("-", width); }
    Row& blank() {
        line_ += ' ';
        return *this;
    }
    void put(std::FILE* out) {
        line_ += '\n';
        std::fwrite(line_.data(), 1, line_.size(), out);
        line_.clear();
    }

private:
    std::string line_;
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
        t.displacements = sol.cases[c].displacements;
        t.forces = forcesByNumber(sol, sol.cases[c].end_forces, run.numbering.members.size());
        t.reactions = analysis::supportReactions(run.numbering, t.forces, root.cases[c].id);
        dropNoise(t);
        out.push_back(std::move(t));
    }
    return out;
}

// The tables of every combination: the factored sums of its cases' tables
// (exact for this linear analysis; reactions are linear in the loads too).
std::vector<CaseTables> combinationTables(const std::vector<CaseTables>& cases,
                                          const attrib::AttributeRoot& root) {
    std::vector<CaseTables> out;
    for (const attrib::Combination& combo : root.combos) {
        CaseTables t;
        t.label = combo.label;
        t.factors = combo.factors;
        t.inEnvelope = combo.inEnvelope;
        if (!cases.empty()) {
            t.displacements.assign(cases.front().displacements.size(), 0.0);
            t.forces.assign(cases.front().forces.size(), 0.0);
            t.reactions = cases.front().reactions;
            for (analysis::Reaction& r : t.reactions) r.fx = r.fy = r.mz = 0;
        }
        for (const attrib::CaseFactor& f : combo.factors) {
            const int at = attrib::caseIndex(root, f.loadCase);
            if (at < 0 || static_cast<std::size_t>(at) >= cases.size()) continue;
            const CaseTables& c = cases[at];
            for (std::size_t i = 0; i < t.displacements.size(); ++i)
                t.displacements[i] += f.factor * c.displacements[i];
            for (std::size_t i = 0; i < t.forces.size(); ++i) t.forces[i] += f.factor * c.forces[i];
            for (std::size_t i = 0; i < t.reactions.size(); ++i) {
                t.reactions[i].fx += f.factor * c.reactions[i].fx;
                t.reactions[i].fy += f.factor * c.reactions[i].fy;
                t.reactions[i].mz += f.factor * c.reactions[i].mz;
            }
        }
        dropNoise(t);
        out.push_back(std::move(t));
    }
    return out;
}

// The envelope of the three internal forces and the node values.
struct EnvelopeTables {
    results::EnvelopeInput input;
    results::Envelope kinds[3];      // axial, shear, bending (node values in each)
    std::vector<std::string> labels; // of the combinations in the envelope
};

void computeEnvelopeTables(EnvelopeTables& t, const attrib::AttributeRoot& root) {
    results::readStoredResults(t.input, analysis::storedResults());
    const results::EnvelopeCombos combos = results::envelopeCombos(t.input, root);
    for (const attrib::EnvelopeMember& m : combos) t.labels.push_back(attrib::labelOf(root, m.id));
    using results::ResultKind;
    const ResultKind kinds[3] = {ResultKind::Axial, ResultKind::Shear, ResultKind::Bending};
    results::computeEnvelopes(t.kinds, kinds, 3, t.input.frame, t.input.cases, combos,
                              t.input.patternList());
    // Rounding noise out, as in the case tables: forces against the largest
    // axial or shear force, moments against the largest moment.
    double force = 0;
    for (int k = 0; k < 2; ++k) force = std::max(force, t.kinds[k].largest);
    for (int k = 0; k < 3; ++k)
        for (results::MemberEnvelope& m : t.kinds[k].members) {
            const double scale = k < 2 ? force : t.kinds[k].largest;
            for (results::EnvelopeValue* v :
                 {&m.maxEnd[0], &m.maxEnd[1], &m.minEnd[0], &m.minEnd[1], &m.maxAlong, &m.minAlong})
                v->value = results::noiseFree(v->value, scale);
        }
    results::Envelope& any = t.kinds[0];
    for (std::vector<results::NodeEnvelope>* list : {&any.displacements, &any.reactions}) {
        double scale[3] = {0, 0, 0};
        for (const results::NodeEnvelope& e : *list)
            for (int c = 0; c < 3; ++c)
                scale[c] = std::max({scale[c], std::fabs(e.max[c]), std::fabs(e.min[c])});
        // Translations share one scale, as forces do.
        scale[0] = scale[1] = std::max(scale[0], scale[1]);
        for (results::NodeEnvelope& e : *list)
            for (int c = 0; c < 3; ++c) {
                e.max[c] = results::noiseFree(e.max[c], scale[c]);
                e.min[c] = results::noiseFree(e.min[c], scale[c]);
            }
    }
}

void printEnvelope(std::FILE* out, const analysis::Numbering& n, const Units& u,
                   const EnvelopeTables& t, const attrib::AttributeRoot& root) {
    auto d = [](int code, double v) { return units::toDisplay(code, v); };
    const results::Envelope& any = t.kinds[0];
    const bool one = t.labels.size() == 1;
    std::fprintf(out, "Envelope over %zu %s:", t.labels.size(),
                 root.combos.empty() ? (one ? "load case" : "load cases")
                                     : (one ? "combination" : "combinations"));
    for (const std::string& l : t.labels) std::fprintf(out, " '%s'", l.c_str());
    std::fprintf(out, "\n\nNode displacements, largest and smallest (%s, %s)\n",
                 units::unitLabel(u.disp), units::unitLabel(u.rot));
    std::fprintf(out, "%6s %12s %12s %12s %12s %12s %12s\n", "node", "Dx max", "Dx min", "Dy max",
                 "Dy min", "Rz max", "Rz min");
    Row row;
    for (std::size_t i = 0; i < any.displacements.size(); ++i) {
        const results::NodeEnvelope& e = any.displacements[i];
        row.integer(static_cast<long long>(i + 1), 6);
        for (int k = 0; k < 3; ++k) {
            const int code = k < 2 ? u.disp : u.rot;
            row.blank().number(d(code, e.max[k]), 12).blank().number(d(code, e.min[k]), 12);
        }
        row.put(out);
    }
    std::fprintf(out, "\nSupport reactions, largest and smallest (%s, %s)\n",
                 units::unitLabel(u.force), units::unitLabel(u.moment));
    std::fprintf(out, "%6s %12s %12s %12s %12s %12s %12s\n", "node", "Fx max", "Fx min", "Fy max",
                 "Fy min", "Mz max", "Mz min");
    for (std::size_t i = 0; i < any.reactions.size() && i < t.input.supports.size(); ++i) {
        const results::NodeEnvelope& e = any.reactions[i];
        const analysis::Reaction& r = t.input.supports[i];
        const bool has[3] = {r.hasFx, r.hasFy, r.hasMz};
        row.integer(r.number, 6);
        for (int k = 0; k < 3; ++k) {
            const int code = k < 2 ? u.force : u.moment;
            row.blank().cell(has[k], d(code, e.max[k]), 12);
            row.blank().cell(has[k], d(code, e.min[k]), 12);
        }
        row.put(out);
    }
    std::fprintf(out,
                 "\nMember end forces, largest and smallest, as the diagrams show them: tension "
                 "and sagging positive (%s, %s)\n",
                 units::unitLabel(u.force), units::unitLabel(u.moment));
    std::fprintf(out, "%6s %3s %12s %12s %12s %12s %12s %12s\n", "member", "end", "N max", "N min",
                 "V max", "V min", "M max", "M min");
    const int codes[3] = {u.force, u.force, u.moment};
    for (std::size_t m = 0; m < n.members.size() && m < any.members.size(); ++m)
        for (int end = 0; end < 2; ++end) {
            row.integer(static_cast<long long>(m + 1), 6).blank().integer(end + 1, 3);
            for (int k = 0; k < 3; ++k) {
                const results::MemberEnvelope& e = t.kinds[k].members[m];
                row.blank().number(d(codes[k], e.maxEnd[end].value), 12);
                row.blank().number(d(codes[k], e.minEnd[end].value), 12);
            }
            row.put(out);
        }
    std::fprintf(out, "\nMember extremes along the member (%s, %s, %s) and what governs them\n",
                 units::unitLabel(u.force), units::unitLabel(u.moment), units::unitLabel(u.length));
    std::fprintf(out, "%6s %4s %12s %10s %-24s %12s %10s %s\n", "member", "kind", "max", "at x",
                 "governing", "min", "at x", "governing");
    static const char* const kKinds[3] = {"N", "V", "M"};
    for (std::size_t m = 0; m < n.members.size() && m < any.members.size(); ++m)
        for (int k = 0; k < 3; ++k) {
            const results::MemberEnvelope& e = t.kinds[k].members[m];
            auto who = [&](const results::EnvelopeValue& v) {
                std::string who(1, '\'');
                who.append(attrib::labelOf(root, v.combo)).push_back('\'');
                if (v.pattern) who.append(" pattern");
                return who;
            };
            row.integer(static_cast<long long>(m + 1), 6).blank().text(kKinds[k], 4);
            row.blank().number(d(codes[k], e.maxAlong.value), 12);
            row.blank().number(d(u.length, e.maxAlong.x), 10).blank().text(who(e.maxAlong), -24);
            row.blank().number(d(codes[k], e.minAlong.value), 12);
            row.blank().number(d(u.length, e.minAlong.x), 10).blank().text(who(e.minAlong), 0);
            row.put(out);
        }
}

void printTable(std::FILE* out, const analysis::Numbering& n, const Units& u, const CaseTables& t) {
    auto d = [](int code, double v) { return units::toDisplay(code, v); };
    std::fprintf(out, "Node displacements (%s, %s)\n", units::unitLabel(u.disp),
                 units::unitLabel(u.rot));
    std::fprintf(out, "%6s %14s %14s %14s %14s %14s\n", "node", "x", "y", "Dx", "Dy", "Rz");
    const std::vector<double>& disp = t.displacements;
    Row row;
    for (std::size_t i = 0; i < n.nodes.size(); ++i) {
        const double* v = i * 6 + 6 <= disp.size() ? &disp[i * 6] : nullptr;
        row.integer(static_cast<long long>(i + 1), 6);
        row.blank().number(d(u.length, n.nodes[i]->x), 14);
        row.blank().number(d(u.length, n.nodes[i]->y), 14);
        row.blank().number(v ? d(u.disp, v[0]) : 0.0, 14);
        row.blank().number(v ? d(u.disp, v[1]) : 0.0, 14);
        row.blank().number(v ? d(u.rot, v[5]) : 0.0, 14).put(out);
    }
    std::fprintf(out, "\nSupport reactions (%s, %s)\n", units::unitLabel(u.force),
                 units::unitLabel(u.moment));
    std::fprintf(out, "%6s %14s %14s %14s\n", "node", "Fx", "Fy", "Mz");
    for (const analysis::Reaction& r : t.reactions) {
        row.integer(r.number, 6).blank().cell(r.hasFx, d(u.force, r.fx), 14);
        row.blank().cell(r.hasFy, d(u.force, r.fy), 14);
        row.blank().cell(r.hasMz, d(u.moment, r.mz), 14).put(out);
    }
    std::fprintf(out, "\nMember end forces, member axes (%s, %s)\n", units::unitLabel(u.force),
                 units::unitLabel(u.moment));
    std::fprintf(out, "%6s %5s %5s %12s %12s %12s %12s %12s %12s\n", "member", "node1", "node2",
                 "N1", "V1", "M1", "N2", "V2", "M2");
    for (std::size_t m = 0; m < n.members.size(); ++m) {
        const Edge* e = n.members[m];
        const double* f = &t.forces[m * 12];
        row.integer(static_cast<long long>(m + 1), 6);
        row.blank().integer(attrib::nodeOf(e->he1->vtx)->number, 5);
        row.blank().integer(attrib::nodeOf(e->he2->vtx)->number, 5);
        for (int k : {0, 1, 5, 6, 7, 11})
            row.blank().number(d(k % 6 == 5 ? u.moment : u.force, f[k]), 12);
        row.put(out);
    }
}

// The "nodes", "reactions" and "members" arrays of one case, each line
// indented by `pad`.
void jsonArrays(std::FILE* f, const analysis::Numbering& n, const CaseTables& t,
                const std::string& pad) {
    const char* p = pad.c_str();
    std::fprintf(f, "%s\"nodes\": [", p);
    const std::vector<double>& disp = t.displacements;
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
// The "envelope" object: the combinations it runs over, then per node and
// per supported node the largest and smallest components, per member the
// largest and smallest N, V, M at both ends and along it, with positions and
// governing combinations (internal units, the diagrams' signs).
void jsonEnvelope(std::FILE* f, const EnvelopeTables& t, const attrib::AttributeRoot& root) {
    std::fprintf(f, "  \"envelope\": {\n    \"over\": [");
    for (std::size_t i = 0; i < t.labels.size(); ++i)
        std::fprintf(f, "%s\"%s\"", i ? ", " : "", jsonText(t.labels[i]).c_str());
    auto pairs = [&](const results::NodeEnvelope& e, const char* const names[3], const bool* has) {
        std::string s;
        for (int c = 0; c < 3; ++c) {
            if (has && !has[c]) continue;
            char buf[160];
            std::snprintf(buf, sizeof buf, ", \"%s\": {\"max\": %.17g, \"min\": %.17g}", names[c],
                          e.max[c], e.min[c]);
            s += buf;
        }
        return s;
    };
    static const char* const kDisp[3] = {"dx", "dy", "rz"};
    static const char* const kForce[3] = {"fx", "fy", "mz"};
    const results::Envelope& any = t.kinds[0];
    std::fprintf(f, "],\n    \"nodes\": [");
    for (std::size_t i = 0; i < any.displacements.size(); ++i)
        std::fprintf(f, "%s\n      {\"node\": %zu%s}", i ? "," : "", i + 1,
                     pairs(any.displacements[i], kDisp, nullptr).c_str());
    std::fprintf(f, "\n    ],\n    \"reactions\": [");
    for (std::size_t i = 0; i < any.reactions.size() && i < t.input.supports.size(); ++i) {
        const analysis::Reaction& r = t.input.supports[i];
        const bool has[3] = {r.hasFx, r.hasFy, r.hasMz};
        std::fprintf(f, "%s\n      {\"node\": %d%s}", i ? "," : "", r.number,
                     pairs(any.reactions[i], kForce, has).c_str());
    }
    std::fprintf(f, "\n    ],\n    \"members\": [");
    static const char* const kKinds[3] = {"n", "v", "m"};
    auto value = [&](const results::EnvelopeValue& v) {
        char buf[200];
        std::snprintf(buf, sizeof buf,
                      "{\"value\": %.17g, \"x\": %.17g, \"combination\": \"%s\"%s}", v.value, v.x,
                      jsonText(attrib::labelOf(root, v.combo)).c_str(),
                      v.pattern ? ", \"pattern\": true" : "");
        return std::string(buf);
    };
    for (std::size_t m = 0; m < any.members.size(); ++m) {
        std::fprintf(f, "%s\n      {\"member\": %zu", m ? "," : "", m + 1);
        for (int k = 0; k < 3; ++k) {
            const results::MemberEnvelope& e = t.kinds[k].members[m];
            std::fprintf(f,
                         ",\n       \"%s\": {\"end1\": {\"max\": %s, \"min\": %s}, \"end2\": "
                         "{\"max\": %s, \"min\": %s},\n        \"max\": %s, \"min\": %s}",
                         kKinds[k], value(e.maxEnd[0]).c_str(), value(e.minEnd[0]).c_str(),
                         value(e.maxEnd[1]).c_str(), value(e.minEnd[1]).c_str(),
                         value(e.maxAlong).c_str(), value(e.minAlong).c_str());
        }
        std::fprintf(f, "}");
    }
    std::fprintf(f, "\n    ]\n  }");
}

// The arrays of one case or combination, or for a second-order run without values its message;
// a second-order run also says how many iterations it took.
void jsonRun(std::FILE* f, const analysis::Numbering& n, const CaseTables& t) {
    if (t.iterations >= 0) std::fprintf(f, "      \"iterations\": %d,\n", t.iterations);
    if (!t.unstable.empty())
        std::fprintf(f, "      \"converged\": false,\n      \"message\": \"%s\"",
                     jsonText(t.unstable).c_str());
    else
        jsonArrays(f, n, t, "      ");
}

bool writeJson(const std::string& path, const std::string& model, const analysis::Numbering& n,
               const std::vector<CaseTables>& cases, const std::vector<CaseTables>& combos,
               const EnvelopeTables* envelope, const attrib::AttributeRoot& root,
               bool secondOrder = false) {
    fileio::AtomicFile file(path);
    std::FILE* f = file.stream();
    if (!f) return false;
    std::fprintf(f, "{\n  \"model\": \"%s\",\n", jsonText(model).c_str());
    if (secondOrder) std::fprintf(f, "  \"analysis\": \"second order\",\n");
    std::fprintf(f, "  \"units\": {\"length\": \"m\", \"force\": \"kN\", \"moment\": \"kN m\", "
                    "\"rotation\": \"rad\"},\n");
    if (cases.size() == 1 && cases.front().unstable.empty()) {
        jsonArrays(f, n, cases.front(), "  ");
        std::fprintf(f, ",\n");
    }
    std::fprintf(f, "  \"cases\": [");
    for (std::size_t c = 0; c < cases.size(); ++c) {
        std::fprintf(f, "%s\n    {\n      \"label\": \"%s\",\n", c ? "," : "",
                     jsonText(cases[c].label).c_str());
        jsonRun(f, n, cases[c]);
        std::fprintf(f, "\n    }");
    }
    std::fprintf(f, "\n  ]");
    if (!combos.empty()) {
        std::fprintf(f, ",\n  \"combinations\": [");
        for (std::size_t c = 0; c < combos.size(); ++c) {
            std::fprintf(f, "%s\n    {\n      \"label\": \"%s\",\n      \"in_envelope\": %s,\n",
                         c ? "," : "", jsonText(combos[c].label).c_str(),
                         combos[c].inEnvelope ? "true" : "false");
            std::fprintf(f, "      \"factors\": {");
            for (std::size_t i = 0; i < combos[c].factors.size(); ++i)
                std::fprintf(f, "%s\"%s\": %.17g", i ? ", " : "",
                             jsonText(attrib::labelOf(root, combos[c].factors[i].loadCase)).c_str(),
                             combos[c].factors[i].factor);
            std::fprintf(f, "},\n");
            jsonRun(f, n, combos[c]);
            std::fprintf(f, "\n    }");
        }
        std::fprintf(f, "\n  ]");
    }
    if (envelope) {
        std::fprintf(f, ",\n");
        jsonEnvelope(f, *envelope, root);
    }
    std::fprintf(f, "\n}\n");
    return file.commit();
}

// "Combination N: LABEL = 1.35 'Dead' + 1.5 'Imposed'" and the end of its line.
void printCombinationHead(std::FILE* out, std::size_t c, const CaseTables& t,
                          const attrib::AttributeRoot& root) {
    std::fprintf(out, "\nCombination %zu: %s =", c + 1, t.label.c_str());
    for (std::size_t i = 0; i < t.factors.size(); ++i)
        std::fprintf(out, "%s %g '%s'", i ? " +" : "", t.factors[i].factor,
                     attrib::labelOf(root, t.factors[i].loadCase).c_str());
    std::fprintf(out, "%s\n", t.factors.empty() ? " 0" : "");
}

// The tables of the second-order runs: the cases, then the combinations from their own loads.
int reportSecondOrder(const analysis::StabilityOutcome& so, const std::string& path,
                      const std::string& jsonPath, const Units& units, std::FILE* out,
                      std::FILE* err) {
    const attrib::AttributeRoot& root = attrib::root();
    const kestrel::engine::SecondOrderSolution& s = so.second;
    const analysis::Numbering& n = so.numbering;
    std::vector<CaseTables> cases, combos;
    std::size_t unstable = 0;
    for (std::size_t r = 0; r < s.runs.size() && r < root.cases.size() + root.combos.size(); ++r) {
        const bool isCase = r < root.cases.size();
        CaseTables t;
        t.label = isCase ? root.cases[r].label : root.combos[r - root.cases.size()].label;
        if (!isCase) t.factors = root.combos[r - root.cases.size()].factors;
        t.iterations = s.runs[r].iterations;
        if (s.runs[r].converged) {
            const kestrel::engine::CaseSolution& c = s.solution.cases[r];
            t.displacements = c.displacements;
            t.forces = forcesByNumber(s.solution, c.end_forces, n.members.size());
            t.reactions = analysis::supportReactions(
                n, t.forces, isCase ? root.cases[r].id : root.combos[r - root.cases.size()].id);
            dropNoise(t);
        } else {
            t.unstable = kestrel::engine::kSecondOrderUnstable;
            ++unstable;
        }
        (isCase ? cases : combos).push_back(std::move(t));
    }
    std::fprintf(out,
                 "Second-order analysis (P-Delta): every load case and combination solved with "
                 "the geometric stiffness of its own axial forces\n");
    auto body = [&](const CaseTables& t) {
        if (!t.unstable.empty()) {
            std::fprintf(out, "%s\n", t.unstable.c_str());
            return;
        }
        std::fprintf(out, "Converged after %d iterations.\n\n", t.iterations);
        printTable(out, n, units, t);
    };
    for (std::size_t c = 0; c < cases.size(); ++c) {
        std::fprintf(out, "\n");
        if (cases.size() > 1)
            std::fprintf(out, "Load case %zu: %s\n", c + 1, cases[c].label.c_str());
        body(cases[c]);
    }
    for (std::size_t c = 0; c < combos.size(); ++c) {
        printCombinationHead(out, c, combos[c], root);
        std::fprintf(out, "Solved from its factored loads.\n");
        body(combos[c]);
    }
    // The envelope over each combination's own results, when every one of it has them.
    std::unique_ptr<EnvelopeTables> envelope;
    if (!attrib::isSingleCase(root)) {
        analysis::storeSecondOrder(so, root);
        std::fprintf(out, "\n");
        if (const int id = analysis::envelopeMemberWithoutResults(root); id != 0) {
            std::fprintf(out, "The envelope is not available: %s has no second-order results.\n",
                         attrib::labelOf(root, id).c_str());
        } else {
            envelope = std::make_unique<EnvelopeTables>();
            computeEnvelopeTables(*envelope, root);
            printEnvelope(out, n, units, *envelope, root);
        }
    }
    if (!jsonPath.empty() &&
        !writeJson(jsonPath, path, n, cases, combos, envelope.get(), root, true)) {
        std::fprintf(err, "kestrel-solve: %s: cannot write %s\n", path.c_str(), jsonPath.c_str());
        return kBadFile;
    }
    if (unstable == 0) return kSolved;
    std::fprintf(err, "kestrel-solve: %s: %zu of %zu load cases and combinations: %s\n",
                 path.c_str(), unstable, s.runs.size(), kestrel::engine::kSecondOrderUnstable);
    return kSingular;
}

// A second-order, buckling or vibration run of a checked model.
int analyseStability(Solid* model, const std::string& path, const std::string& jsonPath,
                     const Units& units, const Request& request, std::FILE* out, std::FILE* err) {
    auto fail = [&](int status, const std::string& text) {
        std::fprintf(err, "kestrel-solve: %s: %s\n", path.c_str(), text.c_str());
        return status;
    };
    const attrib::AttributeRoot& root = attrib::root();
    const analysis::StabilityOutcome so =
        request.kind == Request::kSecondOrder ? analysis::runSecondOrder(model, root, path)
        : request.kind == Request::kBuckling
            ? analysis::runBuckling(model, root, path, request.modes)
            : analysis::runVibration(model, root, path, request.modes);
    switch (so.status) {
    case analysis::RunStatus::kSolved:
        break;
    case analysis::RunStatus::kUnstable:
        if (so.message.rfind(analysis::kMsgUnstable, 0) != 0)
            return fail(kSingular, oneLine(so.message));
        return fail(kSingular, "unstable frame: the stiffness matrix is singular");
    case analysis::RunStatus::kCannotWrite:
        return fail(kBadFile, so.message != analysis::kMsgCannotWrite
                                  ? oneLine(so.message)
                                  : "cannot write the neutral file " +
                                        analysis::analysisFileName(path, "dat"));
    case analysis::RunStatus::kCannotRead:
    case analysis::RunStatus::kFatal:
        return fail(kBadFile, oneLine(so.message));
    }
    if (request.kind == Request::kSecondOrder)
        return reportSecondOrder(so, path, jsonPath, units, out, err);
    const bool buckling = request.kind == Request::kBuckling;
    std::vector<ModeRun> runs;
    const std::size_t cases = root.cases.size();
    for (std::size_t r = 0; r < so.eigen.size(); ++r) {
        const bool combo = buckling && r >= cases && r - cases < root.combos.size();
        runs.push_back({!buckling ? ""
                        : combo   ? root.combos[r - cases].label
                                  : (r < cases ? root.cases[r].label : ""),
                        &so.eigen[r], combo});
    }
    if (!reportModes(out, buckling, runs, path, jsonPath))
        return fail(kBadFile, "cannot write " + jsonPath);
    return kSolved;
}

} // namespace

int analyseNeutralFile(const std::string& path, std::FILE* out, std::FILE* err,
                       const Request& request, const std::string& jsonPath) {
    if (request.kind != Request::kLinear)
        return analyseNeutralStability(path, out, err, request, jsonPath);
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
                     std::FILE* err, const Request& request) {
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
    // A model saved with the second-order choice is analysed in second order.
    if (request.kind == Request::kLinear && attrib::secondOrder(attrib::root())) {
        Request second = request;
        second.kind = Request::kSecondOrder;
        return analyseStability(model, path, jsonPath, Units(r.settings), second, out, err);
    }
    if (request.kind != Request::kLinear)
        return analyseStability(model, path, jsonPath, Units(r.settings), request, out, err);
    // The envelope of a model that is not a single case, with the shares of
    // its pattern cases gathered as the analysis solves them.
    std::unique_ptr<EnvelopeTables> envelope;
    analysis::RunOptions options;
    if (!attrib::isSingleCase(attrib::root())) {
        envelope = std::make_unique<EnvelopeTables>();
        options = results::gatherShares(envelope->input, model, attrib::root());
    }
    const analysis::RunOutcome run = analysis::runAnalysis(model, attrib::root(), path, options);
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
    // A table per case; with several, each headed by its label; then a
    // table per combination and the envelope.
    const attrib::AttributeRoot& root = attrib::root();
    const std::vector<CaseTables> cases = caseTables(run, root);
    const std::vector<CaseTables> combos = combinationTables(cases, root);
    for (std::size_t c = 0; c < cases.size(); ++c) {
        if (cases.size() > 1)
            std::fprintf(out, "%sLoad case %zu: %s\n\n", c ? "\n" : "", c + 1,
                         cases[c].label.c_str());
        printTable(out, run.numbering, Units(r.settings), cases[c]);
    }
    for (std::size_t c = 0; c < combos.size(); ++c) {
        printCombinationHead(out, c, combos[c], root);
        std::fprintf(out, "\n");
        printTable(out, run.numbering, Units(r.settings), combos[c]);
    }
    if (envelope) {
        computeEnvelopeTables(*envelope, root);
        std::fprintf(out, "\n");
        printEnvelope(out, run.numbering, Units(r.settings), *envelope, root);
    }
    if (!jsonPath.empty() &&
        !writeJson(jsonPath, path, run.numbering, cases, combos, envelope.get(), root))
        return fail(kBadFile, "cannot write " + jsonPath);
    return kSolved;
}

int run(int argc, char** argv, std::FILE* out, std::FILE* err) {
    const char* usage =
        "usage: kestrel-solve FILE.dat [--second-order | --buckling N | --modes N] [--json FILE]\n"
        "       kestrel-solve MODEL.kst [--second-order | --buckling N | --modes N] [--json "
        "FILE]\n";
    std::string file, json;
    Request request;
    // The number of modes: a whole number from 1 to 1000.
    auto modes = [](const char* text) {
        char* end = nullptr;
        const long n = std::strtol(text, &end, 10);
        return end != text && *end == '\0' && n >= 1 && n <= 1000 ? static_cast<int>(n) : 0;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(usage, out);
            return kSolved;
        }
        const bool free = request.kind == Request::kLinear;
        if (a == "--json" && i + 1 < argc && json.empty()) {
            json = argv[++i];
        } else if (a == "--second-order" && free) {
            request.kind = Request::kSecondOrder;
        } else if ((a == "--buckling" || a == "--modes") && free && i + 1 < argc &&
                   (request.modes = modes(argv[i + 1])) > 0) {
            request.kind = a == "--buckling" ? Request::kBuckling : Request::kModes;
            ++i;
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
        return analyseModelFile(file, json, out, err, request);
    // A neutral file's linear and second-order results are its result file.
    if (!json.empty() &&
        (request.kind == Request::kLinear || request.kind == Request::kSecondOrder)) {
        std::fputs(usage, err);
        return kUsage;
    }
    return analyseNeutralFile(file, out, err, request, json);
}

std::string jsonText(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
    }
    return out;
}

} // namespace batch
