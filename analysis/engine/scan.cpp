// Free-format scanner of the neutral file and of the result section.
#include "analysis/engine/scan.h"

#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kestrel::engine {

namespace {

// White space of the "C" locale, as the scanf conversions skip it.
bool is_space(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

void skip_space(Scan& s) {
    while (s.p < s.end && is_space(*s.p)) ++s.p;
}

// strtod of the "C" locale, whatever locale the program has set: the neutral file always
// writes a decimal point.
double c_strtod(const std::string& token, char** used) {
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return strtod_l(token.c_str(), used, c_locale);
}

} // namespace

bool scan_word(Scan& s, std::string* word) {
    skip_space(s);
    const char* start = s.p;
    while (s.p < s.end && !is_space(*s.p)) ++s.p;
    if (s.p == start) return false;
    word->assign(start, s.p);
    return true;
}

bool scan_label(Scan& s, std::string* word) {
    if (s.p >= s.end) return false;
    const void* hit = std::memchr(s.p, '%', static_cast<std::size_t>(s.end - s.p));
    if (!hit) {
        s.p = s.end;
        return false;
    }
    s.p = static_cast<const char*>(hit) + 1;
    return scan_word(s, word);
}

bool scan_int(Scan& s, int* value) {
    skip_space(s);
    const char* q = s.p;
    bool negative = false;
    if (q < s.end && (*q == '+' || *q == '-')) negative = *q++ == '-';
    const char* digits = q;
    long long v = 0;
    while (q < s.end && *q >= '0' && *q <= '9') {
        if (v < LLONG_MAX / 10) v = v * 10 + (*q - '0');
        ++q;
    }
    if (q == digits) return false;
    if (negative) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    if (v < INT_MIN) v = INT_MIN;
    *value = static_cast<int>(v);
    s.p = q;
    return true;
}

bool scan_double(Scan& s, double* value) {
    skip_space(s);
    const char* q = s.p;
    bool negative = false;
    if (q < s.end && (*q == '+' || *q == '-')) negative = *q++ == '-';
    // One sign only: from_chars would take a second '-' as the number's own sign.
    if (q < s.end && (*q == '+' || *q == '-')) return false;
    double v = 0;
    if (s.end - q > 2 && q[0] == '0' && (q[1] == 'x' || q[1] == 'X')) {
        // A hexadecimal real ("0x1.8p3"): rare, so the token is copied for strtod.
        const char* t = q;
        while (t < s.end && !is_space(*t)) ++t;
        const std::string token(q, t);
        char* used = nullptr;
        v = c_strtod(token, &used);
        if (used == token.c_str() || !std::isfinite(v)) return false;
        *value = negative ? -v : v;
        s.p = q + (used - token.c_str());
        return true;
    }
    auto [ptr, ec] = std::from_chars(q, s.end, v, std::chars_format::general);
    if (ptr == q) return false;
    // Out of range: infinite beyond the largest double, 0 or subnormal below the smallest,
    // as strtod gives it (rare, so the token is copied for it).
    if (ec == std::errc::result_out_of_range) v = c_strtod(std::string(q, ptr), nullptr);
    // "nan", "inf" and numbers beyond the largest double are malformed: no input value may
    // carry a non-finite number into the equations.
    if (!std::isfinite(v)) return false;
    *value = negative ? -v : v;
    s.p = ptr;
    return true;
}

bool scan_doubles(Scan& s, double* values, int count) {
    for (int i = 0; i < count; ++i)
        if (!scan_double(s, &values[i])) return false;
    return true;
}

bool scan_quoted(Scan& s, std::string* text) {
    while (s.p < s.end && *s.p != '\'') ++s.p;
    if (s.p == s.end) return false;
    const char* start = ++s.p;
    while (s.p < s.end && *s.p != '\'') ++s.p;
    if (s.p == s.end) return false;
    text->assign(start, s.p);
    ++s.p;
    return true;
}

bool scan_line(Scan& s, std::size_t max_chars, std::string_view* line) {
    if (s.p >= s.end) return false;
    const char* start = s.p;
    std::size_t limit = max_chars > 1 ? max_chars - 1 : 1;
    while (s.p < s.end && static_cast<std::size_t>(s.p - start) < limit) {
        if (*s.p++ == '\n') break;
    }
    *line = std::string_view(start, static_cast<std::size_t>(s.p - start));
    return true;
}

} // namespace kestrel::engine
