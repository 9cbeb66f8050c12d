// Public entry points of the analysis engine, a standalone finite-element solver for frames.
// It reads a neutral file (model section), forms and solves the linear static equations, and
// writes the result file: a copy of the model under the engine's own header followed by the
// result section. It talks to the rest of the program only through these files; the analysis
// driver calls Analyse, the kestrel-solve tool and the tests call AnalyseCore.
// Not reentrant: one analysis at a time (module-global tables, released before returning).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::engine {

constexpr int kAnalyseFatal = -1;   // malformed input, unreadable file, exhausted memory
constexpr int kAnalyseSingular = 0; // the stiffness matrix is singular: no results written
constexpr int kAnalyseSolved = 1;   // the result file holds the result section

// File names of one analysis. The name must end in a four-character extension; its last four
// characters are replaced by ".dat" (input), ".pos" (result) and ".tmp" (scratch, deleted).
struct EngineFileNames {
    std::string dat, pos, tmp;
};
// False when the name is shorter than four characters.
bool DeriveFileNames(const char* file_name, EngineFileNames* names);

// Full-precision results of one load case.
struct CaseSolution {
    std::string label;                 // as in the result file ("Static_Load" for a single case)
    std::vector<double> displacements; // 6 per node in node order: dx, dy, dz, rx, ry, rz (global)
    std::vector<double> end_forces;    // 12 per element, local: Fx Fy Fz Mx My Mz of end 1, end 2
};

// Full-precision results of a solved analysis, for callers that need more digits than the
// result file carries (tests, batch tools). Filled only when the analysis is solved: one
// entry per load case in case order (one for a file without load cases).
struct EngineSolution {
    int equations = 0;
    std::vector<int> element_numbers; // element numbers in list (input) order
    std::vector<CaseSolution> cases;
};

// Receives the shares of split load cases (see AnalyseOptions), one call per share. The arrays
// are the engine's own and valid only during the call. A sink must not throw.
struct ShareSink {
    virtual ~ShareSink() = default;
    // One share of a split case: caseIndex (0-based, file case order); element = the number of
    // the loaded element, or 0 for the share of the case's nodal forces and prescribed
    // displacements (only when the case has any); displacements 6 per node (node order as in
    // CaseSolution), end forces 12 per element (list order, as CaseSolution::end_forces).
    virtual void share(int caseIndex, int element, const double* displacements,
                       const double* endForces) = 0;
};

// In-process requests beside (or instead of) the result file. Each case listed in split_cases
// (0-based, each once; others are ignored) is also solved in shares once every case is written: one
// load vector per loaded element of the case (the fixed-end forces of all its loads in the case,
// gravity included) and one of its nodal forces and prescribed displacements, each solved with
// the factorisation of the cases, its end forces those of the displacements plus the fixed-end
// forces of its own element only. The shares of a case add up to the case. They are handed to
// the sink, never written to the result file, and only for a solved analysis.
// The loads of one load case handed over in memory: the numbers of the records of the load
// blocks of a neutral file (see docs/analysis.md), without their text.
struct NodeLoadRecord {
    int node;         // node number
    double values[6]; // forces Fx Fy Fz Mx My Mz, or prescribed displacements
};
enum class MemberLoadKind { kConcentrated, kUniform, kLinear, kTemperature }; // block order
struct MemberLoadRecord {
    MemberLoadKind kind;
    int element;  // element number
    int flag = 0; // 0 global, 1 local directions (not for temperature)
    double x1 = 0,
           x2 = 1; // the loaded stretch as fractions of the length (a concentrated load: x1)
    double values[12] = {}; // 6 (concentrated, uniform), 12 (linear: both ends), 3 (temperature)
};
struct CaseLoads {
    std::string label; // up to 31 bytes are kept
    std::vector<NodeLoadRecord> forces, prescribed;
    std::vector<MemberLoadRecord> members;
};

// With result_file false and a solution to fill, no result file is written (and an existing
// one is left as it is): the solution is then the caller's only result.
// With cases, the load cases are these, in this order, rather than the neutral file's: the file
// then holds the frame and no load block (a %LOAD count, if any, must equal their number).
struct AnalyseOptions {
    std::vector<int> split_cases;
    ShareSink* sink = nullptr;
    bool result_file = true;
    const std::vector<CaseLoads>* cases = nullptr;
};

// Runs one analysis. Returns kAnalyseSolved or kAnalyseSingular; on a fatal condition returns
// kAnalyseFatal with the engine's fixed message in *message. Never ends the process.
int AnalyseCore(const char* file_name, std::string* message, EngineSolution* solution = nullptr,
                const AnalyseOptions* options = nullptr);

// The driver's entry: 1 solved, 0 singular. On a fatal condition it prints the message on the
// standard output and ends the process with exit status 0.
int Analyse(const char* file_name);

// Wall-clock seconds per phase of the last AnalyseCore call, and the work of the factorisation.
struct EngineTimings {
    double read = 0;     // header copy and both reading passes, element stiffnesses
    double number = 0;   // equation numbering and profile
    double assemble = 0; // load vector and stiffness matrix
    double factor = 0;   // LDLT factorisation with forward and backward substitution (all cases)
    double forces = 0;   // element end forces
    double write = 0;    // displacements and element results into the result file
    double shares = 0;   // shares of split cases: load vectors, solutions, end forces, the sink
    double total = 0;
    double factor_cpu = 0;   // processor time of the factorisation and solution (this thread)
    double factor_flops = 0; // floating-point operations of factor and solve
    int equations = 0;
    int cases = 0;                      // load cases solved with the one factorisation
    int shares_solved = 0;              // shares of split cases handed to the sink
    std::size_t profile_entries = 0;    // stored entries of the stiffness matrix
    std::size_t profile_file_order = 0; // the same in the file's node order
    std::size_t profile_reordered = 0;  // and in the bandwidth-reducing one (0: not measured)
    bool reordered = false;             // equations in the bandwidth-reducing node order
};
const EngineTimings& LastEngineTimings();

// ---- Second order, elastic buckling and natural vibration (stability.cpp, eigen.cpp) ---------
// The same neutral file, read and numbered as for AnalyseCore; the result file keeps the model
// copy and %END, and, for a second-order run whose cases all converge, the result section of
// every case. See docs/stability.md.

// The message of a case whose second-order analysis did not converge or whose stiffness stopped
// being positive definite: that case has no results.
extern const char* const kSecondOrderUnstable;
extern const char* const kNoCompression; // buckling: no member is in compression
extern const char* const kNoMass;        // vibration: every member has zero mass

// A combination solved in second order from its own factored loads.
struct FactoredCase {
    int load_case; // 0-based, file case order
    double factor;
};
struct SecondOrderOptions {
    std::vector<std::vector<FactoredCase>> combinations; // solved after the cases, in this order
};
// Per case, then per combination, in order.
struct SecondOrderCase {
    std::string label;      // the case label, or "Combination k"
    bool converged = false; // false: no results (message kSecondOrderUnstable)
    int iterations = 0;     // solutions after the linear one
};
struct SecondOrderSolution {
    EngineSolution solution;           // cases then combinations; empty vectors where unstable
    std::vector<SecondOrderCase> runs; // as solution.cases
};
// Solves every case (and each combination asked for) with the geometric stiffness of its own
// axial forces, iterated from the linear solution. kAnalyseSolved (look at runs[i].converged),
// kAnalyseSingular (the linear stiffness is singular) or kAnalyseFatal (message).
int AnalyseSecondOrder(const char* file_name, std::string* message, SecondOrderSolution* solution,
                       const SecondOrderOptions* options = nullptr);

struct EigenOptions {
    int modes = 5;     // how many are wanted (at least 1)
    int pieces = 0;    // pieces per member; 0: chosen by the engine (16, fewer for large frames)
    int load_case = 0; // buckling: the case (0-based) whose linear axial forces are scaled
    // Buckling: instead of load_case, the combination whose factored loads give the linear
    // axial forces (a combination of nothing has no compression).
    std::optional<std::vector<FactoredCase>> combination;
    // Vibration: mass per unit length (t/m) of each element by element number (index number
    // - 1); empty: the material's specific weight (kN/m3) / 9.81 m/s2 x the section's area.
    std::vector<double> mass_per_length;
};
struct EigenMode {
    double value = 0;          // buckling: critical load factor; vibration: frequency (Hz)
    std::vector<double> nodes; // 3 per node in node order: dx, dy, rz (global axes)
    // Per element in list order, its pieces - 1 interior points at k / pieces of its length
    // from end 1: dx, dy, rz (global axes) each.
    std::vector<double> interior;
};
struct EigenSolution {
    std::vector<int> element_numbers; // list order
    std::vector<int> pieces;          // per element in list order
    std::vector<EigenMode> modes;     // ascending; scaled so the largest translation is 1
    std::string note;                 // kNoCompression or kNoMass when there are no modes
    int iterations = 0;               // of the subspace iteration
    int equations = 0;                // of the subdivided frame
};
// The first options.modes critical load factors of the linear axial forces of the case (or the
// combination), or the first natural frequencies, with their mode shapes, in the frame's plane.
// kAnalyseSolved (modes, or none and a note), kAnalyseSingular or kAnalyseFatal (message).
int AnalyseBuckling(const char* file_name, const EigenOptions& options, EigenSolution* solution,
                    std::string* message);
int AnalyseVibration(const char* file_name, const EigenOptions& options, EigenSolution* solution,
                     std::string* message);

} // namespace kestrel::engine
