// Round-trip texts of reals in printf's "%g" and "%+.5e" forms.
#include "units/realtext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace units {

namespace {

// The text of `v` in the general or scientific form with `digits`
// significant digits, as printf writes it in the "C" locale.
std::string toText(double v, bool scientific, int digits) {
    char buf[64];
    const auto fmt = scientific ? std::chars_format::scientific : std::chars_format::general;
    const int precision = scientific ? digits - 1 : digits;
    const auto r = std::to_chars(buf, buf + sizeof buf, v, fmt, precision);
    std::string text(buf, r.ptr);
    if (scientific && !std::signbit(v) && !std::isnan(v)) text.insert(text.begin(), '+');
    return text;
}

bool readsBack(const std::string& text, double v) {
    const char* first = text.c_str() + (text[0] == '+' ? 1 : 0);
    double back = 0;
    const auto r = std::from_chars(first, text.c_str() + text.size(), back);
    return r.ec == std::errc() && back == v;
}

std::string shortest(double v, bool scientific, int fewest) {
    if (!std::isfinite(v)) return toText(v, scientific, fewest);
    for (int digits = fewest; digits < 17; ++digits) {
        std::string text = toText(v, scientific, digits);
        if (readsBack(text, v)) return text;
    }
    return toText(v, scientific, 17);
}

} // namespace

std::string realG(double v) {
    return shortest(v, false, 6);
}
std::string realE(double v) {
    return shortest(v, true, 6);
}

namespace detail {

const char* copyLiteral(std::string& out, const char* fmt) {
    while (*fmt != '\0') {
        if (fmt[0] == '%' && fmt[1] == '%') {
            out += '%';
            fmt += 2;
        } else if (fmt[0] == '%') {
            return fmt;
        } else {
            out += *fmt++;
        }
    }
    return fmt;
}

const char* conversionEnd(const char* conversion) {
    const char* p = conversion + 1;
    while (*p != '\0' && std::strchr("-+ #0123456789.lhzjt", *p) != nullptr) ++p;
    return *p != '\0' ? p + 1 : p;
}

void appendReal(std::string& out, const std::string& conversion, double v) {
    const char letter = conversion.empty() ? 'g' : conversion.back();
    if (conversion == "%g" ||
        std::strchr("eEfFgGaA", letter) == nullptr) { // a real never goes to an integer conversion
        out += realG(v);
    } else if (conversion == "%+.5e") {
        out += realE(v);
    } else {
        char buf[512];
        const int n = std::snprintf(buf, sizeof buf, conversion.c_str(), v);
        if (n > 0) out.append(buf, static_cast<std::size_t>(std::min<int>(n, sizeof buf - 1)));
    }
}

} // namespace detail

} // namespace units
