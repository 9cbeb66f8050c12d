// Entry points of the analysis engine, its module state, and the families with a single member
// in a frame analysis: the beam3d model type, the section and material classes and the linear
// static algorithm. Analyse is the thin policy layer that turns a fatal condition into a
// printed message and the end of the process; everything below it returns codes.
#include "analysis/engine/fem.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace kestrel::engine {

FemState g_fem;

namespace {

EngineTimings g_last_timings;

bool section_read(Scan& s, double values[9]) {
    return scan_doubles(s, values, 9);
}

bool isotropic_read(Scan& s, Material* m) {
    return scan_double(s, &m->E) && scan_double(s, &m->poisson);
}

double isotropic_elasticity(const Material& m) {
    return m.E;
}

// The whole analysis of the beam model after the first reading pass.
int beam3d_run() {
    FemState& m = g_fem;
    double t0 = fem_seconds();
    if (!fem_second_pass()) return kAnalyseFatal;
    // The model is read: its text is no longer needed.
    m.in.reset(std::string_view());
    utl_free(m.in_text);
    m.in_text = nullptr;
    double t1 = fem_seconds();
    m.timings.read += t1 - t0;
    if (!fem_number_equations()) return kAnalyseFatal;
    if (m.neq > 0 && !fem_build_profile()) return kAnalyseFatal;
    double t2 = fem_seconds();
    m.timings.number += t2 - t1;
    if (!fem_assemble_loads()) return kAnalyseFatal;
    m.timings.assemble += fem_seconds() - t2;
    m.timings.equations = m.neq;
    return kAlgorithms[m.algorithm].run(m.neq, m.first, m.f, m.u);
}

// Reads the whole input into memory, NUL-terminated. Only a regular file is read: a
// directory, a device or a FIFO (or a link to one) is refused, without waiting on it.
bool load_input(const char* name) {
    FemState& m = g_fem;
    const int fd = ::open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* in = ::fdopen(fd, "rb");
    if (!in) {
        ::close(fd);
        return false;
    }
    const long size = static_cast<long>(st.st_size);
    bool ok = size >= 0;
    if (ok) {
        m.in_text = static_cast<char*>(utl_calloc(static_cast<std::size_t>(size) + 1, 1));
        ok = m.in_text != nullptr && std::fread(m.in_text, 1, static_cast<std::size_t>(size), in) ==
                                         static_cast<std::size_t>(size);
    }
    std::fclose(in);
    if (ok) m.in.reset(std::string_view(m.in_text, static_cast<std::size_t>(size)));
    return ok;
}

// Creates the scratch file so that it can never follow a link into another file: a link of
// that name is refused, a stale regular file left by a crashed run is replaced (its name
// removed, never its contents truncated), and the file is created exclusively.
bool open_scratch(const std::string& name) {
    FemState& m = g_fem;
    struct stat st {};
    if (::lstat(name.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || ::unlink(name.c_str()) != 0) return false;
    }
    int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    m.tmp_name = name; // only a scratch file the engine has created is deleted at the end
    m.tmp = ::fdopen(fd, "w+b");
    if (!m.tmp) ::close(fd);
    return m.tmp != nullptr;
}

// The result is written to a fresh temporary file beside the result file and takes its name
// only when the analysis ends with a result (solved or singular), so that a failed run leaves
// the previous result file as it was. A directory of the result file's name fails here.
bool open_result() {
    FemState& m = g_fem;
    struct stat st {};
    if (::stat(m.pos_name.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return false;
    std::string name = m.pos_name + ".XXXXXX";
    int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    m.out_name = name;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask); // the permissions a plain fopen would have given
    m.out = ::fdopen(fd, "w");
    if (!m.out) ::close(fd);
    return m.out != nullptr;
}

// Gives the finished result file its name. The previous file is removed first rather than
// replaced by the rename: replacing a file makes the file system flush the new one at once,
// which costs more than the whole analysis of a small frame.
bool publish_result() {
    FemState& m = g_fem;
    const bool written = std::fflush(m.out) == 0 && !std::ferror(m.out);
    const bool closed = std::fclose(m.out) == 0;
    m.out = nullptr;
    if (!written || !closed) return false;
    ::unlink(m.pos_name.c_str());
    if (std::rename(m.out_name.c_str(), m.pos_name.c_str()) != 0) return false;
    m.out_name.clear();
    return true;
}

int analyse(const char* file_name) {
    FemState& m = g_fem;
    EngineFileNames names;
    const char* input_msg = "\n\n\n\t *** Error on reading Input file !!! *** \n";
    if (!DeriveFileNames(file_name, &names)) {
        fem_fail(input_msg);
        return kAnalyseFatal;
    }
    m.dat_name = names.dat;
    m.pos_name = names.pos;
    if (!load_input(m.dat_name.c_str())) {
        fem_fail(input_msg);
        return kAnalyseFatal;
    }
    // Without a result file every writer below has no stream and only fills the solution.
    const bool result_file = !m.solution || !m.options || m.options->result_file;
    if (!open_scratch(names.tmp) || (result_file && !open_result())) {
        fem_fail("\n\n\n\t *** Error on openning Output files !!! *** \n");
        return kAnalyseFatal;
    }
    if (m.out) std::setvbuf(m.out, nullptr, _IOFBF, 1 << 20);
    if (!fem_copy_header() || !fem_first_pass()) return kAnalyseFatal;
    m.timings.read += fem_seconds() - m.timings.total;
    int result = kModelTypes[m.model_type].run();
    if (result == kAnalyseFatal || !m.out) return result;
    std::fputs("\n%END\n", m.out);
    if (!publish_result()) {
        fem_fail("\n\n\n\t *** Error on openning Output files !!! *** \n");
        return kAnalyseFatal;
    }
    return result;
}

} // namespace

const SectionClass kSectionClasses[] = {{"beam section", section_read}};
const MaterialClass kMaterialClasses[] = {{"isotropic", isotropic_read, isotropic_elasticity}};
const AlgorithmClass kAlgorithms[] = {{"linear static", fem_linear_static},
                                      {"second order", fem_second_order},
                                      {"buckling", fem_buckling},
                                      {"vibration", fem_vibration}};
const ModelType kModelTypes[] = {{{"BEAM3D", "beam3d", "Beam3d"}, kDofsPerNode, beam3d_run}};
const int kModelTypeCount = sizeof kModelTypes / sizeof kModelTypes[0];

double fem_seconds() {
    using clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(clock::now().time_since_epoch()).count();
}

double fem_cpu_seconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

bool fem_fail(const char* msg) {
    if (g_fem.error.empty()) g_fem.error = msg;
    return false;
}

void fem_release() {
    FemState& m = g_fem;
    if (m.out) std::fclose(m.out);
    if (m.tmp) std::fclose(m.tmp);
    if (!m.tmp_name.empty()) std::remove(m.tmp_name.c_str());
    if (!m.out_name.empty()) std::remove(m.out_name.c_str()); // an unfinished result
    utl_free(m.in_text);
    utl_free(m.density_in);
    utl_free(m.thermal_in);
    utl_dmatfree(m.coord);
    utl_imatfree(m.dof);
    utl_free(m.skew_of);
    utl_free(m.skews);
    utl_free(m.springs);
    utl_free(m.forces);
    utl_free(m.presc);
    utl_free(m.mats);
    utl_dmatfree(m.sections);
    utl_dmatfree(m.vectors);
    utl_imatfree(m.libs);
    utl_free(m.elems);
    utl_free(m.elem_of);
    utl_free(m.cases);
    utl_free(m.loads);
    utl_free(m.force_start);
    utl_free(m.presc_start);
    utl_free(m.load_start);
    utl_free(m.presc_eq);
    utl_free(m.penalties);
    utl_free(m.load_sums);
    utl_free(m.end_forces);
    utl_free(m.first);
    utl_profilefree(&m.K);
    utl_free(m.f);
    utl_free(m.u);
    m = FemState{};
}

bool DeriveFileNames(const char* file_name, EngineFileNames* names) {
    std::size_t len = file_name ? std::strlen(file_name) : 0;
    if (len < 4) return false;
    std::string base(file_name, len - 4);
    names->dat = base + ".dat";
    names->pos = base + ".pos";
    names->tmp = base + ".tmp";
    return true;
}

int fem_analyse(const char* file_name, std::string* message, EngineSolution* solution,
                const AnalyseOptions* options, int algorithm, const FemRequest& request) {
    fem_release();
    if (solution) *solution = EngineSolution{};
    g_fem.solution = solution;
    g_fem.options = options;
    g_fem.algorithm = algorithm;
    g_fem.request = request;
    g_fem.timings.total = fem_seconds();
    int result = analyse(file_name);
    EngineTimings timings = g_fem.timings;
    timings.total = fem_seconds() - timings.total;
    // Fatal conditions always say why; a singular result does when the
    // solution was not finite.
    if (result != kAnalyseSolved && message) *message = g_fem.error;
    fem_release();
    g_last_timings = timings;
    return result;
}

int AnalyseCore(const char* file_name, std::string* message, EngineSolution* solution,
                const AnalyseOptions* options) {
    return fem_analyse(file_name, message, solution, options, kLinearStatic, FemRequest{});
}

int Analyse(const char* file_name) {
    std::string message;
    int result = AnalyseCore(file_name, &message);
    if (result == kAnalyseFatal) {
        std::fputs(message.c_str(), stdout);
        std::fflush(stdout);
        std::exit(0);
    }
    return result;
}

const EngineTimings& LastEngineTimings() {
    return g_last_timings;
}

} // namespace kestrel::engine
