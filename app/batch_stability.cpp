// kestrel-solve's second-order, buckling and vibration runs of neutral files, and its reports
// of buckling and vibration (docs/kestrel-solve.md, docs/stability.md).
#include "app/batch_stability.h"

#include "fileio/fileio.h"

#include <cmath>

namespace batch {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A mode vector converges more slowly than its eigenvalue: to about five digits when the
// eigenvalue has ten. Values below 1e-6 of the largest translation (1) are noise and are 0, and
// the tables print four significant digits.
double clean(double v) {
    return std::fabs(v) < 1e-6 ? 0.0 : v;
}

void printRun(std::FILE* out, bool buckling, const ModeRun& run) {
    const kestrel::engine::EigenSolution& s = *run.solution;
    if (buckling)
        std::fprintf(out, "Elastic buckling under the axial forces of %s %s\n",
                     run.combination ? "combination" : "load case", run.label.c_str());
    else
        std::fprintf(out,
                     "Natural vibration (mass: specific weight / 9.81 m/s2 x area, consistent; "
                     "rotary inertia neglected)\n");
    if (!s.note.empty()) {
        std::fprintf(out, "%s\n", s.note.c_str());
        return;
    }
    std::fprintf(out, "%d equations with the members in %d pieces, %d iterations\n\n", s.equations,
                 s.pieces.empty() ? 0 : s.pieces.front(), s.iterations);
    if (buckling) {
        std::fprintf(out, "%6s %14s\n", "mode", "load factor");
        for (std::size_t i = 0; i < s.modes.size(); ++i)
            std::fprintf(out, "%6zu %14.6g\n", i + 1, s.modes[i].value);
    } else {
        std::fprintf(out, "%6s %14s %14s %14s\n", "mode", "frequency Hz", "period s",
                     "omega rad/s");
        for (std::size_t i = 0; i < s.modes.size(); ++i) {
            const double f = s.modes[i].value;
            std::fprintf(out, "%6zu %14.6g %14.6g %14.6g\n", i + 1, f, 1 / f, 2 * kPi * f);
        }
    }
    for (std::size_t i = 0; i < s.modes.size(); ++i) {
        const kestrel::engine::EigenMode& m = s.modes[i];
        std::fprintf(out, "\nMode %zu (%s %.6g): largest translation 1, rz per unit length\n",
                     i + 1, buckling ? "load factor" : "frequency Hz", m.value);
        std::fprintf(out, "%6s %14s %14s %14s\n", "node", "dx", "dy", "rz");
        for (std::size_t n = 0; n * 3 + 2 < m.nodes.size(); ++n)
            std::fprintf(out, "%6zu %14.4g %14.4g %14.4g\n", n + 1, clean(m.nodes[n * 3]),
                         clean(m.nodes[n * 3 + 1]), clean(m.nodes[n * 3 + 2]));
    }
}

// "nodes" and "members" (the interior points of each member at x / L) of one mode.
void jsonMode(std::FILE* f, const kestrel::engine::EigenSolution& s,
              const kestrel::engine::EigenMode& m) {
    std::fprintf(f, ",\n          \"nodes\": [");
    for (std::size_t n = 0; n * 3 + 2 < m.nodes.size(); ++n)
        std::fprintf(f,
                     "%s\n            {\"node\": %zu, \"dx\": %.17g, \"dy\": %.17g, \"rz\": %.17g}",
                     n ? "," : "", n + 1, clean(m.nodes[n * 3]), clean(m.nodes[n * 3 + 1]),
                     clean(m.nodes[n * 3 + 2]));
    std::fprintf(f, "\n          ],\n          \"members\": [");
    std::size_t at = 0;
    for (std::size_t e = 0; e < s.element_numbers.size() && e < s.pieces.size(); ++e) {
        const int pieces = s.pieces[e];
        std::fprintf(f, "%s\n            {\"member\": %d, \"points\": [", e ? "," : "",
                     s.element_numbers[e]);
        for (int k = 1; k < pieces && at + 2 < m.interior.size(); ++k, at += 3)
            std::fprintf(f, "%s{\"at\": %.17g, \"dx\": %.17g, \"dy\": %.17g, \"rz\": %.17g}",
                         k > 1 ? ", " : "", static_cast<double>(k) / pieces, clean(m.interior[at]),
                         clean(m.interior[at + 1]), clean(m.interior[at + 2]));
        std::fprintf(f, "]}");
    }
    std::fprintf(f, "\n          ]");
}

bool writeJson(const std::string& path, bool buckling, const std::vector<ModeRun>& runs,
               const std::string& model) {
    fileio::AtomicFile file(path);
    std::FILE* f = file.stream();
    if (!f) return false;
    std::fprintf(f, "{\n  \"model\": \"%s\",\n  \"analysis\": \"%s\",\n", jsonText(model).c_str(),
                 buckling ? "buckling" : "vibration");
    std::fprintf(f, "  \"units\": {\"frequency\": \"Hz\", \"rz\": \"rad per unit "
                    "of the largest translation\"},\n  \"runs\": [");
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const kestrel::engine::EigenSolution& s = *runs[r].solution;
        std::fprintf(f, "%s\n    {", r ? "," : "");
        if (buckling)
            std::fprintf(f, "\"%s\": \"%s\", ", runs[r].combination ? "combination" : "load_case",
                         jsonText(runs[r].label).c_str());
        if (!s.note.empty()) std::fprintf(f, "\"note\": \"%s\", ", jsonText(s.note).c_str());
        std::fprintf(f, "\"equations\": %d, \"iterations\": %d,\n      \"modes\": [", s.equations,
                     s.iterations);
        for (std::size_t i = 0; i < s.modes.size(); ++i) {
            std::fprintf(f, "%s\n        {\"mode\": %zu, \"%s\": %.17g", i ? "," : "", i + 1,
                         buckling ? "load_factor" : "frequency", s.modes[i].value);
            jsonMode(f, s, s.modes[i]);
            std::fprintf(f, "}");
        }
        std::fprintf(f, "\n      ]}");
    }
    std::fprintf(f, "\n  ]\n}\n");
    return file.commit();
}

} // namespace

int analyseNeutralStability(const std::string& path, std::FILE* out, std::FILE* err,
                            const Request& request, const std::string& jsonPath) {
    namespace engine = kestrel::engine;
    std::string message;
    auto failed = [&](int code) {
        if (code == engine::kAnalyseFatal) {
            std::fputs(message.c_str(), out);
            std::fprintf(err, "kestrel-solve: %s: %s\n", path.c_str(), oneLine(message).c_str());
            return static_cast<int>(kBadFile);
        }
        const std::string line =
            message.empty() ? "unstable frame: the stiffness matrix is singular" : oneLine(message);
        std::fprintf(out, "%s\n",
                     message.empty() ? "Unstable frame: the stiffness matrix is singular."
                                     : message.c_str());
        std::fprintf(err, "kestrel-solve: %s: %s\n", path.c_str(), line.c_str());
        return static_cast<int>(kSingular);
    };
    if (request.kind == Request::kSecondOrder) {
        engine::SecondOrderSolution s;
        const int code = engine::AnalyseSecondOrder(path.c_str(), &message, &s);
        if (code != engine::kAnalyseSolved) return failed(code);
        bool all = true;
        for (std::size_t r = 0; r < s.runs.size(); ++r) {
            const engine::SecondOrderCase& c = s.runs[r];
            if (c.converged)
                std::fprintf(out,
                             "Load case %zu '%s': second order, converged after %d iterations\n",
                             r + 1, c.label.c_str(), c.iterations);
            else
                std::fprintf(out, "Load case %zu '%s': %s\n", r + 1, c.label.c_str(),
                             engine::kSecondOrderUnstable);
            all = all && c.converged;
        }
        if (all) return kSolved;
        std::fprintf(err, "kestrel-solve: %s: %s\n", path.c_str(), engine::kSecondOrderUnstable);
        return kSingular;
    }
    engine::EigenOptions options;
    options.modes = request.modes;
    engine::EigenSolution s;
    const bool buckling = request.kind == Request::kBuckling;
    const int code = buckling ? engine::AnalyseBuckling(path.c_str(), options, &s, &message)
                              : engine::AnalyseVibration(path.c_str(), options, &s, &message);
    if (code != engine::kAnalyseSolved) return failed(code);
    if (!reportModes(out, buckling, {ModeRun{buckling ? "1" : "", &s}}, path, jsonPath)) {
        std::fprintf(err, "kestrel-solve: %s: cannot write %s\n", path.c_str(), jsonPath.c_str());
        return kBadFile;
    }
    return kSolved;
}

bool reportModes(std::FILE* out, bool buckling, const std::vector<ModeRun>& runs,
                 const std::string& model, const std::string& jsonPath) {
    for (std::size_t r = 0; r < runs.size(); ++r) {
        if (r) std::fprintf(out, "\n");
        printRun(out, buckling, runs[r]);
    }
    return jsonPath.empty() || writeJson(jsonPath, buckling, runs, model);
}

} // namespace batch
