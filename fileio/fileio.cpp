// Reading regular files only, and the atomic writer.
#include "fileio/fileio.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fileio {

namespace {

// The folder of `path` with its slash ("dir/"), or "./" for a bare name.
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

} // namespace

std::FILE* openRegular(const std::string& path) {
    // Without blocking: opening a FIFO for reading would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        errno = error;
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* fp = ::fdopen(fd, "rb");
    if (!fp) ::close(fd);
    return fp;
}

bool readRegular(const std::string& path, std::string& text) {
    text.clear();
    std::FILE* fp = openRegular(path);
    if (!fp) return false;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, fp)) > 0) text.append(buf, n);
    const bool ok = !std::ferror(fp);
    std::fclose(fp);
    return ok;
}

std::string writeTarget(const std::string& path) {
    std::string p = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(p.c_str(), buf, sizeof buf - 1);
        if (n <= 0) return p;
        const std::string link(buf, static_cast<std::size_t>(n));
        p = link[0] == '/' ? link : folderOf(p) + link;
    }
    return path;
}

bool isWriteProtected(const std::string& path) {
    const std::string target = writeTarget(path);
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return false;
    // The permission bits too: the super-user may write every file.
    return (st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0;
}

AtomicFile::AtomicFile(const std::string& path, Replace replace) : target_(writeTarget(path)) {
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return;
        if (replace == Replace::kWritable && isWriteProtected(target_)) return;
        mode_ = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode_ = 0666 & ~mask;
    }
    temp_ = folderOf(target_) + ".kestrel-XXXXXX";
    const int fd = ::mkostemp(temp_.data(), O_CLOEXEC);
    if (fd < 0) {
        temp_.clear();
        return;
    }
    fp_ = ::fdopen(fd, "wb");
    if (!fp_) {
        ::close(fd);
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

AtomicFile::~AtomicFile() {
    if (fp_) std::fclose(fp_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

bool AtomicFile::write(std::string_view bytes) {
    if (!fp_ || std::fwrite(bytes.data(), 1, bytes.size(), fp_) != bytes.size()) failed_ = true;
    return !failed_;
}

bool AtomicFile::commit() {
    if (!fp_) return false;
    const int fd = ::fileno(fp_);
    bool ok = !failed_ && std::fflush(fp_) == 0 && !std::ferror(fp_);
    ok = ok && ::fsync(fd) == 0 && ::fchmod(fd, mode_) == 0;
    ok = std::fclose(fp_) == 0 && ok;
    fp_ = nullptr;
    ok = ok && std::rename(temp_.c_str(), target_.c_str()) == 0;
    if (!ok) {
        ::unlink(temp_.c_str());
        temp_.clear();
        return false;
    }
    temp_.clear();
    // The rename itself reaches the disk with the folder.
    const int dfd = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

bool writeAtomically(const std::string& path, std::string_view text) {
    AtomicFile f(path);
    return f.write(text) && f.commit();
}

} // namespace fileio
