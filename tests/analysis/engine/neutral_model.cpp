// Test helper: neutral files in the driver's layout, and engine runs in temporary directories.
#include "neutral_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace kestrel::engine::test {

namespace {

std::string fmt(const char* f, double a) {
    char b[64];
    std::snprintf(b, sizeof b, f, a);
    return b;
}

std::string g(double v) {
    return fmt("%g", v);
}

} // namespace

int orientation_vector(double dx, double dy) {
    if (dy <= dx && dy > -dx) return 1;
    if (dy > dx && dy >= -dx) return 2;
    if (dy >= dx && dy < -dx) return 3;
    return 4;
}

NeutralModel& NeutralModel::inclined(int node, double a) {
    return add("\n%NODE.INCLINED.SUPPORT\n1\n" + std::to_string(node) + "     " + g(a) + "  " +
               g(90 - a) + "  90  " + g(a + 90) + "  " + g(a) + "  90\n");
}

NeutralModel& NeutralModel::springs(int node, double kx, double ky, double kr) {
    return add("\n%NODAL.SPRING\n1\n" + std::to_string(node) + "     " + g(kx) + "  " + g(ky) +
               "  0  0  0  " + g(kr) + "\n");
}

NeutralModel& NeutralModel::nodal_force(int node, double fx, double fy, double mz) {
    return add("\n%LOAD.CASE.NODAL.FORCE\n1\n" + std::to_string(node) + "     " + g(fx) + "  " +
               g(fy) + "  0  0  0  " + g(mz) + "\n");
}

NeutralModel& NeutralModel::prescribed(int node, double dx, double dy, double rz) {
    return add("\n%LOAD.CASE.NODAL.DISPLACEMENT\n1\n" + std::to_string(node) + "     " +
               fmt("%.17g", dx) + "  " + fmt("%.17g", dy) + "  0  0  0  " + fmt("%.17g", rz) +
               "\n");
}

NeutralModel& NeutralModel::beam_force(int element, int flag, double pos, double fx, double fy,
                                       double mz) {
    return add("\n%LOAD.CASE.BEAM.FORCE\n1\n" + std::to_string(element) + "     " +
               std::to_string(flag) + "  " + g(pos) + "\n" + g(fx) + "  " + g(fy) + "  0  0  0  " +
               g(mz) + "\n");
}

NeutralModel& NeutralModel::uniform(int element, int flag, double qx, double qy) {
    return add("\n%LOAD.CASE.BEAM.UNIFORM\n1\n" + std::to_string(element) + "     " +
               std::to_string(flag) + "  0  1\n" + g(qx) + "  " + g(qy) + "  0  0  0  0\n");
}

NeutralModel& NeutralModel::linear(int element, int flag, double px1, double py1, double px2,
                                   double py2) {
    return add("\n%LOAD.CASE.BEAM.LINEAR\n1\n" + std::to_string(element) + "     " +
               std::to_string(flag) + "  0  1\n" + g(px1) + "  " + g(py1) + "  0  0  0  0\n" +
               g(px2) + "  " + g(py2) + "  0  0  0  0\n");
}

NeutralModel& NeutralModel::temperature(int element, double tc, double dty) {
    return add("\n%LOAD.CASE.BEAM.TEMPERATURE\n1\n" + std::to_string(element) + "\n" + g(tc) +
               "  " + g(dty) + "  0\n");
}

std::string NeutralModel::text() const {
    std::ostringstream o;
    const std::size_t nn = nodes.size(), ne = elements.size(), ns = sections.size();
    o << "\n%HEADER.TITLE\n'Two-Dimensional Analysis of a Frame'\n";
    o << "\n%HEADER.ANALYSIS\n'beam3d'\n";
    o << "\n%NODE\n" << nn << "\n";
    o << "\n%NODE.COORD\n" << nn << "\n";
    for (std::size_t i = 0; i < nn; ++i)
        o << i + 1 << "     " << fmt("%.17g", nodes[i].x) << "  " << fmt("%.17g", nodes[i].y)
          << "  0\n";
    o << "\n%NODE.SUPPORT\n" << nn << "\n";
    for (std::size_t i = 0; i < nn; ++i)
        o << i + 1 << "     " << nodes[i].fix[0] << "  " << nodes[i].fix[1] << "  1  1  1  "
          << nodes[i].fix[2] << "\n";
    o << "\n%MATERIAL\n1\n";
    o << "\n%MATERIAL.ISOTROPIC\n1\n1     " << g(E) << "  0\n";
    o << "\n%MATERIAL.PROPERTY.THERMAL_EXPANSION\n1\n1     " << g(alpha) << "\n";
    o << "\n%SECTION.PROPERTY\n" << 3 * ns << "\n";
    for (std::size_t s = 0; s < ns; ++s) {
        const TSection& c = sections[s];
        o << s + 1 << "     " << g(c.A) << "  0  0  0  0  " << g(c.I) << "  0  " << g(c.h)
          << "  0\n";
        o << s + 1 + ns << "     1e+07  0  0  0  0  " << g(c.I) << "  0  " << g(c.h) << "  0\n";
        o << s + 1 + 2 * ns << "     1e+07  0  0  0  0  1e+07  0  " << g(c.h) << "  0\n";
    }
    o << "\n%BEAM.ORIENTATION.VECTOR\n4\n1     0  1  0\n2     -1  0  0\n3     0  -1  0\n4     1  0 "
         " 0\n";
    o << "\n%BEAM.END.LIBERATION\n4\n"
      << "1     1  1  1  1  1  1  1  1  1  1  1  1\n"
      << "2     1  1  1  1  1  0  1  1  1  1  1  1\n"
      << "3     1  1  1  1  1  1  1  1  1  1  1  0\n"
      << "4     1  1  1  1  1  0  1  1  1  1  1  0\n";
    o << "\n%ELEMENT\n" << ne << "\n";
    o << "\n%ELEMENT.BEAM\n" << ne << "\n";
    for (std::size_t i = 0; i < ne; ++i) {
        const TElement& e = elements[i];
        const TNode& a = nodes[static_cast<std::size_t>(e.n1 - 1)];
        const TNode& b = nodes[static_cast<std::size_t>(e.n2 - 1)];
        o << i + 1 << "     " << e.material << "  " << e.section << "  "
          << orientation_vector(b.x - a.x, b.y - a.y) << "  " << e.liberation << "     " << e.n1
          << "  " << e.n2 << "\n";
    }
    o << extra;
    o << "\n%END\n";
    return o.str();
}

std::string replace(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

RunResult run_text(const TempDir& dir, const std::string& name, const std::string& text,
                   const AnalyseOptions* options) {
    RunResult r;
    writeText(dir.path(name + ".dat"), text);
    r.code = AnalyseCore(dir.path(name + ".dat").c_str(), &r.message, &r.solution, options);
    if (fileExists(dir.path(name + ".pos"))) {
        r.pos = readText(dir.path(name + ".pos"));
        r.section = ParseResultSection(r.pos);
    }
    return r;
}

// Largest difference in each column of two tables of the same shape, relative to the largest
// magnitude of that column in a (columns of one kind: dx, dy, ..., or one end force).
double worst_relative(const std::vector<double>& a, const std::vector<double>& b, int cols) {
    if (a.size() != b.size()) return INFINITY;
    double worst = 0;
    for (int c = 0; c < cols; ++c) {
        double largest = 0, diff = 0;
        for (std::size_t i = c; i < a.size(); i += cols) {
            largest = std::max(largest, std::fabs(a[i]));
            diff = std::max(diff, std::fabs(a[i] - b[i]));
        }
        worst = std::max(worst, largest > 0 ? diff / largest : diff);
    }
    return worst;
}

NeutralModel beam(double L, const char* fix1, const char* fix2, int liberation) {
    auto flags = [](const char* f) {
        return std::array<int, 3>{f[0] - '0', f[1] - '0', f[2] - '0'};
    };
    NeutralModel m;
    m.nodes = {{0, 0, flags(fix1)}, {L, 0, flags(fix2)}};
    m.elements = {{1, 2, 1, liberation}};
    return m;
}

NeutralModel cantilever() {
    return beam(2, "111", "000").nodal_force(2, 0, -10, 0);
}

} // namespace kestrel::engine::test
