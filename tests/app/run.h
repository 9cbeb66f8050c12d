// Runs a shell command line in a directory and collects its exit status,
// standard output and error stream, for the tests of the program as a user
// runs it.
#pragma once

#include "tests/support/scratch_dir.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace testrun {

struct Outcome {
    int status = -1; // exit status; -1 when killed by a signal
    std::string out, err;
};

inline std::string readFile(const std::string& path) {
    return kestrel_test::readText(path);
}

// A fresh temporary directory, removed with its content at the end of its
// scope.
struct TempDir : kestrel_test::ScratchDir {
    explicit TempDir(const std::string& stem) : ScratchDir(stem), path(ScratchDir::path()) {}
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
