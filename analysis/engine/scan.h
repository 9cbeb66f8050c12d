// Free-format scanner over a text held in memory, with the reading rules of the neutral file:
// labels are found by skipping to the next '%' and reading one blank-delimited word; integers
// and reals are read like the "%d" and "%lf" conversions (leading white space skipped), except
// that a real must be finite ("nan", "inf" and overflowing numbers are not read);
// strings are taken between the first quote and the next. Used by the engine's readers and by
// the result-section parser.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrel::engine {

struct Scan {
    const char* begin = nullptr;
    const char* end = nullptr;
    const char* p = nullptr;

    void reset(std::string_view text) {
        begin = p = text.data();
        end = text.data() + text.size();
    }
    void rewind() { p = begin; }
};

// Skips to the next '%' and reads the word after it into *word. False at the end of the text.
bool scan_label(Scan& s, std::string* word);
// Reads one blank-delimited word ("%s").
bool scan_word(Scan& s, std::string* word);
bool scan_int(Scan& s, int* value);
bool scan_double(Scan& s, double* value);
bool scan_doubles(Scan& s, double* values, int count);
// Takes everything between the next quote and the quote after it.
bool scan_quoted(Scan& s, std::string* text);
// Reads the next line like fgets with a buffer of max_chars: at most max_chars - 1 characters,
// the line break included when it fits. False at the end of the text.
bool scan_line(Scan& s, std::size_t max_chars, std::string_view* line);

} // namespace kestrel::engine
