// Parser of the result section of a result file.
#include "analysis/engine/result_section.h"

#include "analysis/engine/scan.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

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

// A case label: between quotes on one line, possibly empty.
bool read_label(Scan& s, std::string* label) {
    while (s.p < s.end && (*s.p == ' ' || *s.p == '\t')) ++s.p;
    if (s.p == s.end || *s.p != '\'') return false;
    const char* start = ++s.p;
    while (s.p < s.end && *s.p != '\'' && *s.p != '\n') ++s.p;
    if (s.p == s.end || *s.p != '\'') return false;
    label->assign(start, s.p);
    ++s.p;
    return true;
}

// The list after "%RESULT": the count, then number and label of each case.
void read_case_list(Scan& s, std::vector<std::pair<int, std::string>>* list) {
    int count = 0;
    if (!scan_int(s, &count)) return;
    for (int i = 0; i < count; ++i) {
        int number = 0;
        std::string label;
        if (!scan_int(s, &number) || !read_label(s, &label)) return;
        list->emplace_back(number, std::move(label));
    }
}

bool read_file(const char* pos_name, std::string* text) {
    std::FILE* in = std::fopen(pos_name, "rb");
    if (!in) return false;
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) text->append(buffer, got);
    std::fclose(in);
    return true;
}

} // namespace

std::vector<ResultSection> ParseResultCases(std::string_view text) {
    std::vector<ResultSection> cases;
    std::vector<std::pair<int, std::string>> list;
    bool reached_end = false;
    Scan s;
    s.reset(text);
    std::string label;
    auto current = [&]() -> ResultSection& {
        if (cases.empty()) cases.emplace_back();
        return cases.back();
    };
    while (scan_label(s, &label)) {
        if (label == "RESULT") {
            read_case_list(s, &list);
        } else if (label == "RESULT.CASE") {
            cases.emplace_back();
            scan_int(s, &cases.back().number);
        } else if (label == "RESULT.CASE.STEP.NODAL.DISPLACEMENT") {
            read_displacements(s, &current());
        } else if (label == "RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR") {
            read_kinds(s, &current());
        } else if (label == "RESULT.CASE.STEP.ELEMENT.NODAL.SCALAR.DATA") {
            read_element_values(s, &current());
        } else if (label == "END") {
            reached_end = true;
            break;
        }
    }
    for (ResultSection& r : cases) {
        r.reached_end = reached_end;
        for (const auto& [number, name] : list)
            if (number == r.number && r.number != 0) {
                r.label = name;
                break;
            }
    }
    return cases;
}

ResultSection ParseResultSection(std::string_view text) {
    std::vector<ResultSection> cases = ParseResultCases(text);
    if (!cases.empty()) return std::move(cases.front());
    ResultSection r;
    // Without any case the text may still have reached its end.
    Scan s;
    s.reset(text);
    std::string label;
    while (scan_label(s, &label))
        if (label == "END") {
            r.reached_end = true;
            break;
        }
    return r;
}

bool ReadResultFile(const char* pos_name, ResultSection* out) {
    std::string text;
    if (!read_file(pos_name, &text)) return false;
    *out = ParseResultSection(text);
    return true;
}

bool ReadResultCases(const char* pos_name, std::vector<ResultSection>* out) {
    std::string text;
    if (!read_file(pos_name, &text)) return false;
    *out = ParseResultCases(text);
    return true;
}

} // namespace kestrel::engine
