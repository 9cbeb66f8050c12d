// Number formatting of the result file.
#include "analysis/engine/format.h"

#include <charconv>
#include <cmath>
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

void LineBuffer::scientific(double value, int width, int digits) {
    char* start = p_;
    if (!std::signbit(value)) *p_++ = '+';
    p_ = std::to_chars(p_, buf_ + sizeof buf_, value, std::chars_format::scientific, digits).ptr;
    pad_from(start, width);
}

bool LineBuffer::flush(std::FILE* out) {
    bool ok = std::fwrite(buf_, 1, size(), out) == size();
    clear();
    return ok;
}

} // namespace kestrel::engine
