// Number formatting of the result file.
#include "analysis/engine/format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace kestrel::engine {

void LineBuffer::text(const char* s) {
    std::size_t n = std::strlen(s);
    std::memcpy(p_, s, n);
    p_ += n;
}

// Right-aligns the characters written since start within width, like printf's padding.
void LineBuffer::pad_from(char* start, int width) {
    const int len = static_cast<int>(p_ - start);
    if (len >= width) return;
    const int shift = width - len;
    std::memmove(start + shift, start, static_cast<std::size_t>(len));
    std::memset(start, ' ', static_cast<std::size_t>(shift));
    p_ += shift;
}

void LineBuffer::integer(int value, int width) {
    char* start = p_;
    p_ = std::to_chars(p_, buf_ + sizeof buf_, value).ptr;
    pad_from(start, width);
}

namespace {

constexpr double kPow10[] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22}; // all exact

// |value| scaled by 10^k, with one correctly rounded operation (10^k is exact).
double scale(double a, int k) {
    return k >= 0 ? a * kPow10[k] : a / kPow10[-k];
}

// The digits of "%.<digits>e" for |value| as an integer mantissa m (digits + 1 digits) and a
// decimal exponent. The scaled value carries a relative error of at most one rounding, far
// below the guard around a half: when its fraction lies that close to a half, the exact
// decimal expansion decides and the caller falls back to the exact conversion.
bool fast_digits(double a, int digits, std::uint64_t* m, int* exponent) {
    if (!(a >= 1e-290 && a <= 1e290) || digits > 15) return false;
    // The decimal exponent from the binary one: log10(2) * (e2 - 1) is at most one below the
    // true exponent; the loop below corrects it.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &a, sizeof bits);
    const int e2 = static_cast<int>(bits >> 52) - 1022; // a = f * 2^e2 with 0.5 <= f < 1
    int e = static_cast<int>(std::floor((e2 - 1) * 0.30102999566398120));
    const double low = kPow10[digits], high = kPow10[digits + 1];
    double scaled = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int k = digits - e;
        if (k > 22 || k < -22) return false;
        scaled = scale(a, k);
        if (scaled < low)
            --e;
        else if (scaled >= high)
            ++e;
        else
            break;
    }
    if (scaled < low || scaled >= high) return false;
    const double whole = std::floor(scaled), frac = scaled - whole;
    if (std::fabs(frac - 0.5) < 1e-6) return false;
    std::uint64_t v = static_cast<std::uint64_t>(whole) + (frac > 0.5 ? 1 : 0);
    if (v == static_cast<std::uint64_t>(high)) { // 9.99..96 rounded up to 10.00..0
        v /= 10;
        ++e;
    }
    *m = v;
    *exponent = e;
    return true;
}

} // namespace

void LineBuffer::scientific(double value, int width, int digits) {
    char* start = p_;
    *p_++ = std::signbit(value) ? '-' : '+';
    std::uint64_t m = 0;
    int e = 0;
    if (fast_digits(std::fabs(value), digits, &m, &e)) {
        // d.ddd...e+XX, as printf writes it: at least two exponent digits.
        char* d = p_ + digits + 1; // the last mantissa digit
        for (int i = digits; i >= 1; --i, m /= 10) *d-- = static_cast<char>('0' + m % 10);
        p_[0] = static_cast<char>('0' + m);
        p_[1] = '.';
        p_ += digits + 2;
        *p_++ = 'e';
        *p_++ = e < 0 ? '-' : '+';
        const int ae = e < 0 ? -e : e;
        if (ae >= 100) *p_++ = static_cast<char>('0' + ae / 100);
        *p_++ = static_cast<char>('0' + ae / 10 % 10);
        *p_++ = static_cast<char>('0' + ae % 10);
    } else {
        if (std::signbit(value)) --p_; // to_chars writes the minus sign itself
        p_ =
            std::to_chars(p_, buf_ + sizeof buf_, value, std::chars_format::scientific, digits).ptr;
    }
    pad_from(start, width);
}

bool LineBuffer::flush(std::FILE* out) {
    bool ok = std::fwrite(buf_, 1, size(), out) == size();
    clear();
    return ok;
}

} // namespace kestrel::engine
