// Reals as the model file and the neutral file write them: printf's "%g" and
// "%+.5e" forms, with more significant digits only where those would not read
// back to the same double. A value exact in six significant digits is written
// exactly as printf writes it, so files of such values keep their bytes; any
// other value is written with the fewest digits that give it back. The texts
// never depend on the process locale. Called by the file writers.
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>
#include <type_traits>

namespace units {

// "%.Ng" with the smallest N >= 6 that reads back to `v` (at most 17).
std::string realG(double v);
// "%+.Ne" with the smallest N >= 5 that reads back to `v` (at most 16).
std::string realE(double v);

namespace detail {
// Copies the text of `fmt` up to its next conversion into `out` ("%%" as
// "%") and returns where that conversion starts, or the end of the text.
const char* copyLiteral(std::string& out, const char* fmt);
// The end of the conversion that starts at `conversion` (one past its letter).
const char* conversionEnd(const char* conversion);
// A double under "%g" or "%+.5e" takes realG() or realE(); any other
// conversion of a double is printed as printf prints it. The conversion is
// the text from `first` to `last`.
void appendReal(std::string& out, const char* first, const char* last, double v);
// An integer under "%d" as printf writes it.
void appendInteger(std::string& out, long long v);

template <class T>
void appendOne(std::string& out, const char* first, const char* last, const T& arg) {
    if constexpr (std::is_floating_point_v<T>) {
        appendReal(out, first, last, static_cast<double>(arg));
        return;
    }
    if constexpr (std::is_integral_v<T>) {
        if (last - first == 2 && first[1] == 'd') {
            appendInteger(out, static_cast<long long>(arg));
            return;
        }
    }
    if constexpr (!std::is_floating_point_v<T>) {
        char conversion[32] = {};
        std::copy(first, std::min(last, first + 31), conversion);
        char buf[64];
        const int n = std::snprintf(buf, sizeof buf, conversion, arg);
        if (n > 0 && static_cast<std::size_t>(n) < sizeof buf) {
            out.append(buf, static_cast<std::size_t>(n));
        } else if (n > 0) { // a long string argument
            std::string big(static_cast<std::size_t>(n) + 1, '\0');
            std::snprintf(big.data(), big.size(), conversion, arg);
            out.append(big.data(), static_cast<std::size_t>(n));
        }
    }
}
} // namespace detail

// printf of `fmt` with `args` appended to `out`, one argument for each
// conversion, where every double under "%g" or "%+.5e" is written as realG()
// or realE() write it.
template <class... A> void appendRecord(std::string& out, const char* fmt, const A&... args) {
    const char* p = fmt;
    auto one = [&](const auto& arg) {
        p = detail::copyLiteral(out, p);
        if (*p == '\0') return;
        const char* end = detail::conversionEnd(p);
        detail::appendOne(out, p, end, arg);
        p = end;
    };
    (one(args), ...);
    (void)one; // a record without conversions
    detail::copyLiteral(out, p);
}

// The same as a string of its own.
template <class... A> std::string formatRecord(const char* fmt, const A&... args) {
    std::string out;
    appendRecord(out, fmt, args...);
    return out;
}

} // namespace units
