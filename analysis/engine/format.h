// Number formatting of the result file: the printf conversions "%Nd" and "%+W.Pe", produced
// with the digits printf gives. "%+W.Pe" takes a fast path of one scaling by an exact power of
// ten and falls back to std::to_chars (exact, like printf) whenever the rounding is too close
// to call. Used by the result writer; the tests compare it with snprintf.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace kestrel::engine {

// One output line under construction; a line holds at most a few hundred characters.
class LineBuffer {
public:
    void text(const char* s);
    // A literal: its length is known when compiling.
    template <std::size_t N> void text(const char (&s)[N]) {
        std::memcpy(p_, s, N - 1);
        p_ += N - 1;
    }
    void integer(int value, int width);                   // "%<width>d"
    void scientific(double value, int width, int digits); // "%+<width>.<digits>e"
    std::size_t size() const { return static_cast<std::size_t>(p_ - buf_); }
    const char* data() const { return buf_; }
    void clear() { p_ = buf_; }
    // Writes the line and clears it; false on a write error.
    bool flush(std::FILE* out);

private:
    void pad_from(char* start, int width);
    char buf_[1024];
    char* p_ = buf_;
};

} // namespace kestrel::engine
