// Token reader of the model file.
#include "files/textreader.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace files {

namespace {
// No value of the file is longer; a longer word cannot be a number.
constexpr std::size_t kTokenMax = 512;

bool isBlank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
} // namespace

// The stream belongs to this reader alone: characters are taken without
// locking it.
bool TextReader::token(std::string& out) {
    out.clear();
    if (failed_ || fp_ == nullptr) return false;
    int c = getc_unlocked(fp_);
    while (c != EOF && isBlank(c)) c = getc_unlocked(fp_);
    if (c == EOF) {
        failed_ = ended_ = true;
        return false;
    }
    bool control = false;
    while (c != EOF && !isBlank(c)) {
        // A control character (a NUL above all) belongs to no value or label.
        if (c < 0x20 || c == 0x7f) control = true;
        if (out.size() < kTokenMax) out.push_back(static_cast<char>(c));
        c = getc_unlocked(fp_);
    }
    if (c != EOF) std::ungetc(c, fp_);
    if (control) failed_ = true;
    return !control;
}

bool TextReader::readInt(int& v) {
    std::string t;
    if (!token(t)) return false;
    char* end = nullptr;
    errno = 0;
    const long x = std::strtol(t.c_str(), &end, 10);
    if (t.empty() || *end != '\0' || errno == ERANGE || x < INT_MIN || x > INT_MAX) {
        failed_ = true;
        return false;
    }
    v = static_cast<int>(x);
    return true;
}

bool TextReader::readDouble(double& v) {
    std::string t;
    if (!token(t)) return false;
    char* end = nullptr;
    const double x = std::strtod(t.c_str(), &end);
    if (t.empty() || *end != '\0' || !std::isfinite(x)) {
        failed_ = true;
        return false;
    }
    v = x;
    return true;
}

bool TextReader::readLabel(std::string& s, std::size_t max) {
    if (!token(s)) return false;
    if (s.size() > max) s.resize(max);
    return true;
}

bool TextReader::readQuoted(std::string& s, std::size_t max) {
    s.clear();
    if (failed_ || fp_ == nullptr) return false;
    int c = getc_unlocked(fp_);
    while (c != EOF && isBlank(c)) c = getc_unlocked(fp_);
    if (c == '\'') {
        for (c = getc_unlocked(fp_); c != EOF && c != '\''; c = getc_unlocked(fp_)) {
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
        int c = getc_unlocked(fp_);
        while (c != EOF && c != '\n') c = getc_unlocked(fp_);
        if (c == EOF) return i == n - 1;
    }
    return true;
}

bool TextReader::readSection(attrib::Section& s) {
    if (failed_ || fp_ == nullptr) return false;
    if (!attrib::readSectionParams(s, fp_)) failed_ = true;
    return !failed_;
}

bool TextReader::atEnd() {
    if (fp_ == nullptr) return true;
    int c = getc_unlocked(fp_);
    while (c != EOF && isBlank(c)) c = getc_unlocked(fp_);
    if (c == EOF) return true;
    std::ungetc(c, fp_);
    return false;
}

long TextReader::tell() const {
    return fp_ ? std::ftell(fp_) : -1;
}

bool TextReader::seek(long pos) {
    if (fp_ == nullptr || pos < 0 || std::fseek(fp_, pos, SEEK_SET) != 0) return false;
    failed_ = ended_ = false;
    return true;
}

} // namespace files
