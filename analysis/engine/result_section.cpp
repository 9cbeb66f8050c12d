// Parser of the result section of a result file.
#include "analysis/engine/result_section.h"

#include "analysis/engine/scan.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace kestrel::engine {

namespace {

constexpr double kSmall = 1e-5;

double clean(double v) {
    return std::fabs(v) < kSmall ? 0.0 : v;
}

// Name of a kind: " '%[^'\n]'" reads up to the closing quote or the end of the line.
bool read_kind_name(Scan& s, std::string* name) {
    while (s.p < s.end && (*s.p == ' ' || *s.p == '\t' || *s.p == '\n' || *s.p == '\r')) ++s.p;
    if (s.p == s.end || *s.p != '\'') return false;
    const char* start = ++s.p;
    while (s.p < s.end && *s.p != '\'' && *s.p != '\n') ++s.p;
    if (s.p == start) return false;
    name->assign(start, s.p);
    if (s.p == s.end || *s.p != '\'') return false;
    ++s.p;
    return true;
}

void read_displacements(Scan& s, ResultSection* r) {
    int count = 0;
    std::string name;
    if (!scan_int(s, &count) || !scan_word(s, &name)) return;
    for (int i = 0; i < count; ++i) {
        int number = 0;
        double d[6];
        if (!scan_int(s, &number) || !scan_doubles(s, d, 6)) return;
        r->nodes.push_back(ResultNode{number, d[0], d[1], d[5]});
    }
}

void read_kinds(Scan& s, ResultSection* r) {
    int count = 0;
    if (!scan_int(s, &count)) return;
    r->has_axial = r->has_shear = r->has_bending = false;
    for (int i = 0; i < count; ++i) {
        std::string name;
        if (!read_kind_name(s, &name)) return;
        if (name == "SIGMA_XX ") r->has_axial = true;
        if (name == "SIGMA_YY ") r->has_shear = true;
        if (name == "MOMENT_Z ") r->has_bending = true;
    }
}

void read_element_values(Scan& s, ResultSection* r) {
    int count = 0;
    if (!scan_int(s, &count)) return;
    const bool kinds[3] = {r->has_axial, r->has_shear, r->has_bending};
    int per_end = 0;
    for (bool k : kinds) per_end += k ? 1 : 0;
    for (int i = 0; i < count; ++i) {
        ResultElement e;
        if (!scan_int(s, &e.number)) return;
        double* ends[2][3] = {{&e.N1, &e.V1, &e.M1}, {&e.N2, &e.V2, &e.M2}};
        for (auto& end : ends) {
            for (int k = 0; k < 3; ++k) {
                if (!kinds[k]) continue;
                double v = 0;
                if (!scan_double(s, &v)) return;
                *end[k] = clean(v);
            }
        }
        if (per_end > 0) r->elements.push_back(e);
    }
}

} // namespace

ResultSection ParseResultSection(std::string_view text) {
    ResultSection r;
    Scan s;
    s.reset(text);
    std::string label;
    while (scan_label(s, &label)) {
        if (label == "RESULT.CASE.STEP.NODAL.DISPLACEMENT") {
            read_displacements(s, &r);
        } else if (label == "RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR") {
            read_kinds(s, &r);
        } else if (label == "RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR.DATA") {
            read_element_values(s, &r);
        } else if (label == "END") {
            r.reached_end = true;
            break;
        }
    }
    return r;
}

bool ReadResultFile(const char* pos_name, ResultSection* out) {
    std::FILE* in = std::fopen(pos_name, "rb");
    if (!in) return false;
    std::string text;
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, got);
    std::fclose(in);
    *out = ParseResultSection(text);
    return true;
}

} // namespace kestrel::engine
