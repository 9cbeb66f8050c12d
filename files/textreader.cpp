// Token reader of the model file.
#include "files/textreader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace files {

namespace {
constexpr std::size_t kBlock = 1 << 16;

constexpr bool isBlank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

constexpr bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The class of each character: part of a word, a blank, or a control
// character (which no value or label holds).
constexpr char kWordChar = 0, kBlankChar = 1, kControlChar = 2;
constexpr auto kClass = [] {
    std::array<char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = isBlank(c) ? kBlankChar : c < 0x20 || c == 0x7f ? kControlChar : kWordChar;
    return t;
}();

// A whole decimal integer "[+-]digits" in the int range, as strtol reads it.
bool readDecimalInt(const char* p, const char* end, int& out) {
    if (p == end) return false;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    if (p == end) return false;
    int64_t v = 0;
    for (; p < end; ++p) {
        if (!isDigit(*p)) return false;
        v = v * 10 + (*p - '0');
        if (v > int64_t{INT_MAX} + 1) return false;
    }
    if (negative) v = -v;
    if (v > INT_MAX || v < INT_MIN) return false;
    out = static_cast<int>(v);
    return true;
}

// A decimal real "[+-]digits[.digits][(e|E)[+-]digits]" at p (before end)
// whose significant digits fit 2^53 and whose power of ten is at most 22 in
// magnitude: both are exact doubles, so one multiplication or division
// rounds the value exactly as strtod does. The end of its text, or none for
// any other text (left to the general readers).
const char* exactDecimal(const char* p, const char* end, double& out) {
    if (p == end) return nullptr;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    uint64_t m = 0;
    int digits = 0, scale = 0;
    bool any = false;
    for (; p < end && isDigit(*p); ++p, any = true)
        if (m != 0 || *p != '0') {
            if (++digits > 19) return nullptr;
            m = m * 10 + static_cast<unsigned>(*p - '0');
        }
    if (p < end && *p == '.')
        for (++p; p < end && isDigit(*p); ++p, any = true) {
            --scale;
            if (m != 0 || *p != '0') {
                if (++digits > 19) return nullptr;
                m = m * 10 + static_cast<unsigned>(*p - '0');
            }
        }
    if (!any) return nullptr;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool down = p < end && *p == '-';
        if (p < end && (*p == '+' || *p == '-')) ++p;
        int e = 0, n = 0;
        for (; p < end && isDigit(*p); ++p)
            if (++n > 4)
                return nullptr;
            else
                e = e * 10 + (*p - '0');
        if (n == 0) return nullptr;
        scale += down ? -e : e;
    }
    if (m > (uint64_t{1} << 53) || scale < -22 || scale > 22) return nullptr;
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    double v = static_cast<double>(m);
    v = scale >= 0 ? v * kPow10[scale] : v / kPow10[-scale];
    out = negative ? -v : v;
    return p;
}
} // namespace

TextReader::TextReader(FILE* fp) : fp_(fp), buf_(fp ? kBlock : 0) {
    if (fp_ != nullptr) base_ = std::ftell(fp_);
}

bool TextReader::fill() {
    if (fp_ == nullptr) return false;
    base_ += static_cast<long>(len_);
    pos_ = 0;
    len_ = std::fread(buf_.data(), 1, buf_.size(), fp_);
    return len_ > 0;
}

void TextReader::sync() {
    const long pos = tell();
    pos_ = len_ = 0;
    base_ = pos;
    std::fseek(fp_, pos, SEEK_SET);
}

bool TextReader::token(std::string_view& word) {
    if (failed_ || fp_ == nullptr) return false;
    for (;;) { // blanks
        while (pos_ < len_ && kClass[static_cast<unsigned char>(buf_[pos_])] == kBlankChar) ++pos_;
        if (pos_ < len_) break;
        if (!fill()) {
            failed_ = ended_ = true;
            return false;
        }
    }
    // The word, up to a blank (which stays for skipLines()) or the end: in
    // the block where it ends there, else gathered in spill_.
    int control = 0;
    std::size_t n = 0;
    bool inBlock = true;
    for (;;) {
        const char* const first = buf_.data() + pos_;
        const char* const last = buf_.data() + len_;
        const char* p = first;
        for (int c; p < last && (c = kClass[static_cast<unsigned char>(*p)]) != kBlankChar; ++p)
            control |= c;
        pos_ = static_cast<std::size_t>(p - buf_.data());
        if (inBlock && p < last && static_cast<std::size_t>(p - first) <= kTokenMax) {
            word = std::string_view(first, static_cast<std::size_t>(p - first));
            break;
        }
        inBlock = false;
        const std::size_t take = std::min(static_cast<std::size_t>(p - first), kTokenMax - n);
        for (std::size_t i = 0; i < take; ++i) spill_[n + i] = first[i];
        n += take;
        if (p < last || !fill()) {
            spill_[n] = '\0';
            word = std::string_view(spill_, n);
            break;
        }
    }
    // A control character (a NUL above all) belongs to no value or label.
    if (control != 0) {
        failed_ = true;
        return false;
    }
    return true;
}

// Integers and reals are read as strtol and strtod read them in the "C"
// locale (a leading "+" included), but several times faster: integers and
// the plain decimals the writer writes directly, other reals through
// from_chars, and what from_chars does not take whole (a hexadecimal real,
// one out of range) by strtod.
bool TextReader::readInt(int& v) {
    // The common case first: a short integer that ends with a blank inside
    // the block, read as it is scanned.
    if (!failed_ && fp_ != nullptr) {
        while (pos_ < len_ && kClass[static_cast<unsigned char>(buf_[pos_])] == kBlankChar) ++pos_;
        const char* q = buf_.data() + pos_;
        const char* const last = buf_.data() + len_;
        const bool negative = q < last && *q == '-';
        if (q < last && (*q == '-' || *q == '+')) ++q;
        const char* const digits = q;
        int64_t x = 0;
        for (; q < last && isDigit(*q) && q - digits < 10; ++q) x = x * 10 + (*q - '0');
        if (q > digits && q < last && kClass[static_cast<unsigned char>(*q)] == kBlankChar) {
            if (negative) x = -x;
            if (x >= INT_MIN && x <= INT_MAX) {
                v = static_cast<int>(x);
                pos_ = static_cast<std::size_t>(q - buf_.data());
                return true;
            }
        }
    }
    std::string_view w;
    if (!token(w)) return false;
    if (!readDecimalInt(w.data(), w.data() + w.size(), v)) {
        failed_ = true;
        return false;
    }
    return true;
}

bool TextReader::readDouble(double& v) {
    return readReal(v, true);
}

bool TextReader::readAnyReal(double& v) {
    return readReal(v, false);
}

bool TextReader::readReal(double& v, bool finite) {
    // The common case first: a plain decimal that ends with a blank inside
    // the block, read as it is scanned.
    if (!failed_ && fp_ != nullptr) {
        while (pos_ < len_ && kClass[static_cast<unsigned char>(buf_[pos_])] == kBlankChar) ++pos_;
        const char* const p = buf_.data() + pos_;
        const char* const last = buf_.data() + len_;
        double x = 0;
        const char* q = exactDecimal(p, last, x);
        if (q != nullptr && q < last && kClass[static_cast<unsigned char>(*q)] == kBlankChar &&
            static_cast<std::size_t>(q - p) <= kTokenMax) {
            v = x;
            pos_ = static_cast<std::size_t>(q - buf_.data());
            return true;
        }
    }
    std::string_view w;
    if (!token(w)) return false;
    double x = 0;
    if (exactDecimal(w.data(), w.data() + w.size(), x) != w.data() + w.size()) {
        char t[kTokenMax + 1];
        const std::size_t n = w.size();
        std::memcpy(t, w.data(), n);
        t[n] = '\0';
        const char* first = t[0] == '+' && (isDigit(t[1]) || t[1] == '.') ? t + 1 : t;
        const auto r = std::from_chars(first, t + n, x);
        if (r.ec != std::errc{} || r.ptr != t + n) {
            char* end = nullptr;
            x = std::strtod(t, &end);
            if (*end != '\0') {
                failed_ = true;
                return false;
            }
        }
    }
    if (finite && !std::isfinite(x)) {
        failed_ = true;
        return false;
    }
    v = x;
    return true;
}

bool TextReader::readLabel(std::string& s, std::size_t max) {
    std::string_view w;
    if (!token(w)) return false;
    s.assign(w.data(), std::min(w.size(), max));
    return true;
}

bool TextReader::readQuoted(std::string& s, std::size_t max) {
    s.clear();
    if (failed_ || fp_ == nullptr) return false;
    int c = get();
    while (c != EOF && isBlank(c)) c = get();
    if (c == '\'') {
        for (c = get(); c != EOF && c != '\''; c = get()) {
            if (c < 0x20 || c == 0x7f || s.size() >= max) break;
            s.push_back(static_cast<char>(c));
        }
        if (c == '\'') return true;
    }
    if (c == EOF) ended_ = true;
    failed_ = true;
    return false;
}

bool TextReader::skipLines(int n) {
    if (failed_ || fp_ == nullptr) return false;
    for (int i = 0; i < n; ++i) {
        int c = get();
        while (c != EOF && c != '\n') c = get();
        if (c == EOF) return i == n - 1;
    }
    return true;
}

bool TextReader::readSection(attrib::Section& s) {
    if (failed_ || fp_ == nullptr) return false;
    sync();
    if (!attrib::readSectionParams(s, fp_)) failed_ = true;
    base_ = std::ftell(fp_);
    return !failed_;
}

bool TextReader::atEnd() {
    if (fp_ == nullptr) return true;
    int c = get();
    while (c != EOF && isBlank(c)) c = get();
    if (c == EOF) return true;
    --pos_;
    return false;
}

bool TextReader::lineEnds() {
    if (fp_ == nullptr) return true;
    int c = get();
    while (c != EOF && c != '\n' && isBlank(c)) c = get();
    if (c == EOF) return true;
    --pos_;
    return c == '\n';
}

long TextReader::tell() const {
    return fp_ ? base_ + static_cast<long>(pos_) : -1;
}

bool TextReader::seek(long pos) {
    if (fp_ == nullptr || pos < 0) return false;
    if (pos >= base_ && pos <= base_ + static_cast<long>(len_)) {
        pos_ = static_cast<std::size_t>(pos - base_);
    } else {
        if (std::fseek(fp_, pos, SEEK_SET) != 0) return false;
        base_ = pos;
        pos_ = len_ = 0;
    }
    failed_ = ended_ = false;
    return true;
}

} // namespace files
