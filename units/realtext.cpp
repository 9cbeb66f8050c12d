// Round-trip texts of reals in printf's "%g" and "%+.5e" forms.
#include "units/realtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace units {

namespace {

// The text of `v` in the general or scientific form with `digits`
// significant digits, as printf writes it in the "C" locale, into buf
// (64 bytes); returns its end.
char* toText(char* buf, double v, bool scientific, int digits) {
    const auto fmt = scientific ? std::chars_format::scientific : std::chars_format::general;
    const int precision = scientific ? digits - 1 : digits;
    char* first = buf;
    if (scientific && !std::signbit(v) && !std::isnan(v)) *first++ = '+';
    return std::to_chars(first, buf + 63, v, fmt, precision).ptr;
}

bool readsBack(const char* first, const char* last, double v) {
    if (*first == '+') ++first;
    double back = 0;
    const auto r = std::from_chars(first, last, back);
    return r.ec == std::errc() && back == v;
}

// The fewest digits from `fewest` on that read back to `v`, appended to out.
void appendShortest(std::string& out, double v, bool scientific, int fewest) {
    char buf[64];
    // Whole numbers below 10^6 (most coordinates, counts and zeros) in the general form are
    // their integer text.
    if (!scientific && fewest >= 6 && v == std::trunc(v) && std::fabs(v) < 1e6 &&
        !(v == 0 && std::signbit(v))) {
        out.append(buf, std::to_chars(buf, buf + sizeof buf, static_cast<long>(v)).ptr);
        return;
    }
    char* end = toText(buf, v, scientific, fewest);
    if (std::isfinite(v))
        for (int digits = fewest + 1; digits <= 17 && !readsBack(buf, end, v); ++digits)
            end = toText(buf, v, scientific, digits);
    out.append(buf, end);
}

} // namespace

std::string realG(double v) {
    std::string out;
    appendShortest(out, v, false, 6);
    return out;
}
std::string realE(double v) {
    std::string out;
    appendShortest(out, v, true, 6);
    return out;
}

namespace detail {

const char* copyLiteral(std::string& out, const char* fmt) {
    const char* start = fmt;
    while (*fmt != '\0') {
        if (fmt[0] == '%') {
            out.append(start, fmt);
            if (fmt[1] != '%') return fmt;
            out += '%';
            start = fmt += 2;
        } else {
            ++fmt;
        }
    }
    out.append(start, fmt);
    return fmt;
}

const char* conversionEnd(const char* conversion) {
    const char* p = conversion + 1;
    while (*p != '\0' && std::strchr("-+ #0123456789.lhzjt", *p) != nullptr) ++p;
    return *p != '\0' ? p + 1 : p;
}

void appendReal(std::string& out, const char* first, const char* last, double v) {
    const std::string_view conversion(first, static_cast<std::size_t>(last - first));
    const char letter = conversion.empty() ? 'g' : conversion.back();
    if (conversion == "%g" ||
        std::strchr("eEfFgGaA", letter) == nullptr) { // a real never goes to an integer conversion
        appendShortest(out, v, false, 6);
    } else if (conversion == "%+.5e") {
        appendShortest(out, v, true, 6);
    } else {
        char format[32] = {};
        std::copy(first, std::min(last, first + 31), format);
        char buf[512];
        const int n = std::snprintf(buf, sizeof buf, format, v);
        if (n > 0) out.append(buf, static_cast<std::size_t>(std::min<int>(n, sizeof buf - 1)));
    }
}

void appendInteger(std::string& out, long long v) {
    char buf[24];
    out.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

} // namespace detail

} // namespace units
