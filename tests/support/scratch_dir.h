// A fresh temporary folder for a test, removed with its content at the end
// of its scope, and whole files written and read back.
#pragma once

#include "tests/support/golden.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace kestrel_test {

inline void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

class ScratchDir {
public:
    explicit ScratchDir(const std::string& stem = "kestrel") {
        std::string name = (std::filesystem::temp_directory_path() / (stem + "-XXXXXX")).string();
        // Should it fail, the names lead into a folder that does not exist.
        made_ = mkdtemp(name.data()) != nullptr;
        if (!made_) ADD_FAILURE() << "cannot make a folder " << name;
        dir_ = name;
    }
    ~ScratchDir() {
        std::error_code ec;
        if (made_) std::filesystem::remove_all(dir_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    // The folder itself, or a name inside it.
    const std::string& path() const { return dir_; }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
    bool made_ = false;
};

} // namespace kestrel_test
