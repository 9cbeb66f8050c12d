// Internal state of the analysis engine: the module-global tables built from one neutral file,
// the operation tables of its families (model types, element classes, section and material
// classes, member-load classes, algorithms), and the functions the source files share.
// Everything here is private to analysis/engine; the public entry points are in engine.h.
#pragma once

#include "analysis/engine/engine.h"
#include "analysis/engine/scan.h"
#include "analysis/engine/utl.h"

#include <cstdio>
#include <string>
#include <vector>

namespace kestrel::engine {

constexpr int kDofsPerNode = 6;
constexpr int kMaxElementNodes = 2;
constexpr int kMaxElementDofs = kDofsPerNode * kMaxElementNodes;
constexpr int kResultKinds = 20;
constexpr double kPenalty = 1e20;
constexpr int kCaseLabelBytes = 31; // longest case label kept; a longer one is cut

// (node, freedom 0..5, value): springs, nodal forces and prescribed displacements; nodal
// forces and prescribed displacements belong to a load case (0-based; springs: 0).
struct DofRecord {
    int node;
    int dof;
    double value;
    int load_case = 0;
};

// One load case: its label and its gravity vector. The nodal and member loads of the case are
// held in the record tables, grouped by case.
struct LoadCase {
    char label[kCaseLabelBytes + 1];
    bool gravity; // %LOAD.CASE.GRAVITY given for the case (the last one counts)
    double g[3];
};

struct SkewNode {
    int node;
    double angles[6]; // degrees: local x against global x, y, z; local y against x, y, z
    double S[3][3];   // columns are the unit local axes x', y', z' in global components
};

struct Material {
    double E;
    double poisson;
    double density;
    double alpha; // thermal expansion coefficient
};

// One element, kept compact because large frames hold many: what the formulation needs and
// cannot recompute cheaply. The condensed local stiffness is recomputed from these values
// whenever it is used; the summed fixed-end forces of loaded elements live in their own table.
struct Element {
    int cls;    // index into the element class table
    int number; // number as read
    int nodes[kMaxElementNodes];
    int load;          // index into the fixed-end force sums, -1 while unloaded
    unsigned released; // bit i set: liberation flag i is not 1 (freedom i released)
    // Element data of the beam: section values, material, geometry.
    double A, J, Iy, Iz, hy, hz;
    double L, E, alpha, density;
    double R[3][3]; // rows: unit local x, y, z in global components
    double N;       // axial force (tension positive) the stiffness takes: 0 in a linear analysis
};

// The numbers of an element record that refer to other tables; used only while reading.
struct ElementInput {
    int material, section, vector, liberation; // 1-based numbers as read
};

// One member load as read; its fixed-end forces go into its element's sum when its load case
// is solved.
struct MemberLoad {
    int cls;       // index into the member-load class table
    int element;   // index into the element list
    int load_case; // 0-based
    int flag;      // 0 global, 1 local direction
    double x1, x2;
    double v[12]; // input values of the class
};

struct Scan;

// ---- Families as tables of operations -------------------------------------------------

struct ElementClass {
    const char* label; // block label of its records
    const char* count_message;
    const char* record_message;
    int fields; // numbers in one record, the element number included
    int nodes;  // nodes per element (shape: two-node line)
    bool (*read)(Scan& s, Element* e, ElementInput* in); // the record after the element number
    bool (*finish)(Element* e, const ElementInput& in);  // data, length, axes
    void (*global_stiffness)(const Element& e, double k[kMaxElementDofs][kMaxElementDofs]);
    void (*condense)(const Element& e, double f[kMaxElementDofs]); // load vector condensation
    // Summed fixed-end forces of the element, local (zero without loads).
    const double* (*load_sum)(const Element& e);
    void (*to_global)(const Element& e, const double* local, double* global); // per triad
    void (*to_local)(const Element& e, const double* global, double* local);
    void (*internal_forces)(const Element& e, const double* d_global, double* forces);
    void (*kind_values)(const double* forces, int end, double out[kResultKinds]);
};

struct LoadClass {
    const char* name;
    const char* label; // null for loads not read from their own block (gravity)
    const char* count_message;
    const char* record_message;
    int fields;                              // numbers in one record, the element number included
    bool (*read)(Scan& s, MemberLoad* load); // the values after the element number
    void (*fixed_end)(const Element& e, const MemberLoad& load, double F[12]); // unreleased, local
};

struct SectionClass {
    const char* name;
    bool (*read)(Scan& s, double values[9]);
};

struct MaterialClass {
    const char* name;
    bool (*read)(Scan& s, Material* m);
    double (*elasticity)(const Material& m);
};

struct AlgorithmClass {
    const char* name;
    int (*run)(int n, const int* first, double* f, double* u); // 1 solved, 0 singular, -1 fatal
};

// The analyses after the reading: an index into kAlgorithms.
enum AlgorithmIndex { kLinearStatic = 0, kSecondOrder, kBuckling, kVibration };

// What the caller of a second-order, buckling or vibration analysis asked for and where the
// answer goes (null for a linear analysis).
struct FemRequest {
    const SecondOrderOptions* second_options = nullptr;
    SecondOrderSolution* second = nullptr;
    const EigenOptions* eigen_options = nullptr;
    EigenSolution* eigen = nullptr;
};

struct ModelType {
    const char* words[3]; // accepted spellings after HEADER.ANALYSIS
    int dofs_per_node;
    int (*run)(); // the whole analysis after the first pass: 1, 0, or -1 fatal
};

extern const ElementClass kElementClasses[];
extern const int kElementClassCount;
extern const LoadClass kLoadClasses[];
extern const int kLoadClassCount;
extern const int kGravityLoadClass;
extern const SectionClass kSectionClasses[];
extern const MaterialClass kMaterialClasses[];
extern const AlgorithmClass kAlgorithms[];
extern const ModelType kModelTypes[];
extern const int kModelTypeCount;

// ---- Module state -------------------------------------------------------------------

struct FemState {
    // Files of the current call.
    std::string dat_name, pos_name, tmp_name;
    std::string out_name; // the result being written, renamed to pos_name when finished
    Scan in;
    std::FILE* out = nullptr;
    std::FILE* tmp = nullptr;
    char* in_text = nullptr;

    // First pass.
    int model_type = -1;
    int nnode = 0, nel = 0, nmat = 0;
    int ndens = 0, nthermal = 0, nthick = 0;
    double* density_in = nullptr; // by material number, density_size entries
    double* thermal_in = nullptr;
    int density_size = 0, thermal_size = 0; // material count in force when read, plus one
    int ncase = 1;                          // load cases: %LOAD, 1 without it
    bool cases_named = false;               // a %LOAD or %LOAD.CASE block was read

    // Second pass.
    double** coord = nullptr; // nnode x 3
    int** dof = nullptr;      // nnode x 6: restraint flags, then equation numbers
    int* skew_of = nullptr;   // per node: index into skews or -1
    int max_node_ref = 0;     // highest node number named by a record read so far
    SkewNode* skews = nullptr;
    int nskew = 0;
    DofRecord* springs = nullptr;
    int nspring = 0, spring_cap = 0;
    DofRecord* forces = nullptr;
    int nforce = 0, force_cap = 0;
    DofRecord* presc = nullptr;
    int npresc = 0, presc_cap = 0;
    int noffset = 0, nfloor = 0;
    Material* mats = nullptr;
    double** sections = nullptr; // nsec x 9
    int nsec = 0;
    double** vectors = nullptr; // nvec x 3
    int nvec = 0;
    int** libs = nullptr; // nlib x 12
    int nlib = 0;
    Element* elems = nullptr;
    int nelem_read = 0;
    int* elem_of = nullptr; // element number -> index + 1 (0 when absent), nel + 1 entries
    // Load cases: ncase entries; the case that the load blocks being read belong to.
    LoadCase* cases = nullptr;
    int current_case = 0;
    MemberLoad* loads = nullptr; // member loads as read, grouped by case after the second pass
    int nload = 0, load_cap = 0;
    // Start of each case's records in forces, presc and loads once grouped (ncase + 1 each).
    int* force_start = nullptr;
    int* presc_start = nullptr;
    int* load_start = nullptr;
    // The summed fixed-end forces (local) of the elements that the case being solved loads:
    // 12 per loaded element; Element::load indexes them.
    double* load_sums = nullptr;
    int nloaded = 0, loaded_cap = 0;
    long long loads_claimed = 0; // member loads the first pass counted (each count backed)
    // Equations.
    int neq = 0;
    bool reordered = false; // the equations follow the bandwidth-reducing node order
    int* first = nullptr;
    ProfileMatrix K;
    double* f = nullptr;
    double* u = nullptr;
    double tol = 0;
    // Prescribed freedoms: their equations (distinct) and the penalties each takes.
    int* presc_eq = nullptr;
    int* penalties = nullptr; // per equation: the most records one case has for it
    int npresc_eq = 0;
    double* end_forces = nullptr; // 12 per element after the solution, local
    long result_start = -1;       // offset of the result section in the result file

    std::string error;                  // pending fatal message
    bool not_finite = false;            // the solution held an infinity or NaN (error says where)
    EngineSolution* solution = nullptr; // optional copy of the results for the caller
    const AnalyseOptions* options = nullptr; // optional shares of split cases
    int algorithm = kLinearStatic;
    FemRequest request;
    EngineTimings timings;
};

extern FemState g_fem;

// Order of the equations. Automatic numbers the nodes by reverse Cuthill-McKee when that gives
// a smaller profile than the file's node order; the tests force either order. Outside the
// module state, so that it survives the reset of each analysis.
enum class EquationOrder { Automatic, FileOrder, Reordered };
extern EquationOrder g_equation_order;

// Records msg as the pending fatal message (the first one wins); returns false.
bool fem_fail(const char* msg);
// Releases every table and closes the files; leaves the state as after a reset.
void fem_release();

// reader.cpp
bool fem_copy_header();
bool fem_first_pass();
bool fem_second_pass();

// solver.cpp
bool fem_number_equations();
bool fem_build_profile();
bool fem_assemble_loads(); // the load vector of the first case into f
int fem_linear_static(int n, const int* first, double* f, double* u);
// The load vector of case c in the present equation order (its member loads applied).
void fem_case_loads(int c, double* f);
// Adds the equivalent nodal loads of the applied member loads (each element's summed fixed-end
// forces) to f; the entries of prescribed freedoms keep their values.
void fem_add_member_load_vectors(double* f);
// Equation numbers of an element's freedoms (0 for none).
void fem_element_equations(const Element& e, int eq[kMaxElementDofs]);
// The equivalent nodal loads of an element's summed fixed-end forces in the axes of its nodes,
// and their equations (0 for none); returns the element's freedom count.
int fem_element_load_vector(const Element& e, double g[kMaxElementDofs], int eq[kMaxElementDofs]);
// Equation (1-based) of the i-th distinct prescribed freedom.
int fem_prescribed_equation(int i);
void fem_node_displacements(int node, double d[6]); // global axes, 0 without equation
// The same from the solution whose equation e is u[(e - 1) * stride].
void fem_node_values(const double* u, int stride, int node, double d[6]);

// order.cpp: the node indices in reverse Cuthill-McKee order (nnode entries), and the number of
// entries that the profile of the equations would hold if they were numbered in that order
// (the freedom table as numbered by fem_number_equations; it is left unchanged).
bool fem_node_order(int* order, std::size_t* profile);

// results.cpp: the results of case c (its loads applied, its displacements in u); the first
// case begins the result section. False when they are not finite (error set, the section
// taken back out of the file) or on a fatal condition.
bool fem_write_case(int c);

// shares.cpp: whether the caller asked for shares of some case, and their solution once every
// case is written (the factor still in K). False on a fatal condition.
bool fem_shares_wanted();
bool fem_solve_shares();

// engine.cpp: one whole analysis of the file with the given algorithm and request (AnalyseCore
// is the linear one).
int fem_analyse(const char* file_name, std::string* message, EngineSolution* solution,
                const AnalyseOptions* options, int algorithm, const FemRequest& request);

// solver.cpp: assembles the stiffness of the present element axial forces (Element::N), adds
// springs and penalties, factorises and solves K u = f (f kept). kAnalyseSolved, or
// kAnalyseSingular (a pivot below the tolerance, or with positive_definite one not positive),
// or kAnalyseFatal. The factor stays in g_fem.K.
int fem_factor_solve(double* f, double* u, bool positive_definite);

// stability.cpp: the bending stiffness of a beam-column of flexural rigidity EI, length L and
// axial force N (tension positive), exact (stability functions): k[0] = transverse force per
// transverse displacement, k[1] = force per end rotation (= moment per transverse
// displacement), k[2] = moment per rotation at the same end, k[3] at the other end.
void fem_beam_column(double EI, double L, double N, double k[4]);
// The axial force of an element from its end forces (mean of both ends, tension positive).
double fem_axial_force(const double forces[kMaxElementDofs]);
int fem_second_order(int n, const int* first, double* f, double* u);
// The load vector of a combination into f (neq entries; part is scratch of as many): each
// case's nodal forces and prescribed displacements times its factor, and the factored member
// loads applied to the elements and added once. False on a fatal condition.
bool fem_combination_loads(const std::vector<FactoredCase>& combo, double* f, double* part);
// eigen.cpp
int fem_buckling(int n, const int* first, double* f, double* u);
int fem_vibration(int n, const int* first, double* f, double* u);

// beam.cpp / loads.cpp helpers shared with the reader
bool fem_add_member_load(const MemberLoad& load); // fixed-end forces into the element's sum
// Sums the fixed-end forces of the member loads and the gravity of case c into the elements.
bool fem_apply_case_loads(int c);
void fem_unload_elements();                    // every element without loads
bool fem_add_case_loads(int c, double factor); // case c's member loads and gravity times factor
void fem_skew_matrix(SkewNode* s);

double fem_seconds();     // monotonic clock
double fem_cpu_seconds(); // processor time of the calling thread

} // namespace kestrel::engine
