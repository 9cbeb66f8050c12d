// Runs a shell command line in a directory and collects its exit status,
// standard output and error stream, for the tests of the program as a user
// runs it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace testrun {

struct Outcome {
    int status = -1; // exit status; -1 when killed by a signal
    std::string out, err;
};

inline std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// A fresh directory under the test's temporary directory, removed with its
// content at the end of its scope ("" when it could not be made).
struct TempDir {
    explicit TempDir(const std::string& stem) : path(::testing::TempDir() + stem + "-XXXXXX") {
        if (!mkdtemp(path.data())) path.clear();
    }
    ~TempDir() {
        if (!path.empty()) std::system(("rm -rf '" + path + "'").c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path;
};

// `command` runs through /bin/sh in `dir`.
inline Outcome run(const std::string& command, const std::string& dir) {
    const std::string out = dir + "/.stdout", err = dir + "/.stderr";
    const std::string line =
        "cd '" + dir + "' && " + command + " >'" + out + "' 2>'" + err + "' </dev/null";
    const int st = std::system(line.c_str());
    Outcome r;
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.out = readFile(out);
    r.err = readFile(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return r;
}

} // namespace testrun
