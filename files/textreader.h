// Reads the blank-separated values of a model file from a stream, one token
// at a time: integers, reals and single-word labels. A token that is not a
// whole number of the asked type (a real that is not finite, an integer
// outside the int range, a word holding a control character) is a failed
// read, and after one failed read every further read fails too, until the
// position is set back with seek(): the record readers stop at the first
// value they cannot trust.
#pragma once

#include "attrib/section.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace files {

class TextReader {
public:
    // Reads `fp` from its current position. The stream is the reader's while
    // it reads: it is read ahead in blocks, so its own position is not the
    // reader's (tell()).
    explicit TextReader(FILE* fp);
    bool readInt(int& v);
    bool readDouble(double& v);
    // A real as readDouble() reads it, but a non-finite one (inf, nan, or a
    // value beyond the double range) is read too: for the values the caller
    // leaves out on its own, saying so.
    bool readAnyReal(double& v);
    // A label of at most `max` characters (longer words are cut).
    bool readLabel(std::string& s, std::size_t max);
    // A label between single quotes on one line, blanks allowed inside
    // ('Dead load'); fails on a missing quote, a line break or a control
    // character inside, or more than `max` bytes.
    bool readQuoted(std::string& s, std::size_t max);
    // Skips the rest of the current line and `n - 1` further lines.
    bool skipLines(int n);
    long tell() const;
    // Returns to a position given by tell() and clears the failed state.
    bool seek(long pos);
    bool failed() const { return failed_; }
    // Whether a read failed because the file ended (not because of a value).
    bool ended() const { return ended_; }
    // Whether nothing but blanks is left (does not change the failed state).
    bool atEnd();
    // Whether nothing but blanks is left on the current line; the line break
    // stays (does not change the failed state).
    bool lineEnds();
    // Marks the reader failed.
    void fail() { failed_ = true; }
    // The parameter line of a section whose type and orientation are set.
    bool readSection(attrib::Section& s);

    // No value of the file is longer; a longer word cannot be a number.
    static constexpr std::size_t kTokenMax = 512;

private:
    // The next character, or EOF.
    int get() {
        if (pos_ == len_ && !fill()) return EOF;
        return static_cast<unsigned char>(buf_[pos_++]);
    }
    bool fill();
    bool readReal(double& v, bool finite);
    // Sets the stream to the reader's position and empties the block.
    void sync();
    // The next word, cut to kTokenMax characters; false when none can be
    // read. The word lives in the block or in spill_ until the next read.
    bool token(std::string_view& word);
    FILE* fp_;
    std::vector<char> buf_;
    std::size_t pos_ = 0, len_ = 0; // the next character; the characters in buf_
    long base_ = 0;                 // the file position of buf_[0]
    char spill_[kTokenMax + 1];     // a word that runs past the end of the block
    bool failed_ = false;
    bool ended_ = false;
};

} // namespace files
