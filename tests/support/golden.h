// Golden texts: an expected output kept as a reviewed file,
// tests/data/<suite>/<name>.txt, instead of a string typed into the test.
// expectGolden() compares a text with its file and, on a difference, reports
// the first differing line and the whole text written. With
// KESTREL_UPDATE_GOLDEN=1 in the environment it writes the text to the file
// instead (new goldens are made that way, then reviewed like code).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kestrel_test {

inline std::string goldenPath(const std::string& suite, const std::string& name) {
    return std::string(KESTREL_TEST_DATA) + "/" + suite + "/" + name + ".txt";
}

// The whole content of a file, or "" when it cannot be read.
inline std::string readText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream out;
    out << f.rdbuf();
    return out.str();
}

inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline void expectGolden(const std::string& suite, const std::string& name, const std::string& actual) {
    const std::string path = goldenPath(suite, name);
    const char* update = std::getenv("KESTREL_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream probe(path);
    if (!probe) {
        ADD_FAILURE() << "no golden file " << path << " (run with KESTREL_UPDATE_GOLDEN=1 to write it)\n"
                      << "text:\n"
                      << actual;
        return;
    }
    const std::string expected = readText(path);
    if (expected == actual) return;
    const std::vector<std::string> e = splitLines(expected), a = splitLines(actual);
    size_t line = 0;
    while (line < e.size() && line < a.size() && e[line] == a[line]) ++line;
    ADD_FAILURE() << "text differs from " << path << " at line " << line + 1 << "\n  expected: "
                  << (line < e.size() ? "\"" + e[line] + "\"" : std::string("(end)"))
                  << "\n  actual:   " << (line < a.size() ? "\"" + a[line] + "\"" : std::string("(end)"))
                  << "\nwhole text:\n"
                  << actual;
}

}  // namespace kestrel_test
