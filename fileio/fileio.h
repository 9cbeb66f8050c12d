// Files the user names. Reading opens only regular files, so that a name
// that is a device, a FIFO or a directory (or a link to one) is refused at
// once instead of being read forever. Writing goes through one atomic
// writer: the output is written to a temporary file beside the file it
// replaces, flushed to disk, closed with its errors checked and renamed over
// it, so that a failed write leaves the previous file as it was. Every
// output of the program uses it: the model file, the export files and
// kestrel-solve's JSON.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace fileio {

// ---- Reading -------------------------------------------------------------------

// Opens `path` for reading ("rb") when it is a regular file, after links.
// Anything else (a directory, a device, a FIFO, a socket) is refused
// without blocking: null, with errno EISDIR for a directory and EINVAL for
// the others; null with the open's errno when it cannot be opened at all.
std::FILE* openRegular(const std::string& path);

// Reads the whole regular file `path` into `text`. False as above, or on a
// read error.
bool readRegular(const std::string& path, std::string& text);

// ---- Writing -------------------------------------------------------------------

// The file a write to `path` replaces: `path` itself, or for a symbolic link
// the file the chain of links finally names (a relative link is read from
// its own folder). A chain of more than 40 links is left as it is.
std::string writeTarget(const std::string& path);

// Whether the file a write to `path` replaces exists and is write-protected:
// it has no write permission bit, or this process may not write it.
bool isWriteProtected(const std::string& path);

class AtomicFile {
public:
    enum class Replace {
        kWritable, // an existing write-protected file is not replaced: ok() is false
        kAny,      // the caller has asked the user: a write-protected file is replaced too
    };
    // Prepares a write to `path` (to the file it names when it is a link):
    // the temporary file is created and opened. ok() is false when the target
    // is not a regular file (a directory, a device), is write-protected
    // (under kWritable), or no temporary file can be made beside it.
    explicit AtomicFile(const std::string& path, Replace replace = Replace::kWritable);
    ~AtomicFile(); // an uncommitted temporary file is removed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool ok() const { return fp_ != nullptr; }
    std::FILE* stream() const { return fp_; }
    // Appends bytes; false on a short write (the commit then fails too).
    bool write(std::string_view bytes);
    // Flushes the stream, syncs the file to disk, closes it (its error
    // checked), gives it the permissions of the file it replaces (new: 0666
    // less the umask) and renames it over the target. False on any error: the
    // target is then untouched and the temporary file removed.
    bool commit();

private:
    std::string target_;
    std::string temp_;
    std::FILE* fp_ = nullptr;
    unsigned mode_ = 0666;
    bool failed_ = false;
};

// Writes `text` to `path` through an AtomicFile (kWritable).
bool writeAtomically(const std::string& path, std::string_view text);

} // namespace fileio
