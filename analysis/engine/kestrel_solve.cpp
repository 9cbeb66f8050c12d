// kestrel-solve: runs the analysis engine on one neutral file from the command line.
// Exit status 0 when solved, 2 when the frame is singular, 3 (with the engine's message on the
// standard output) when the input is malformed or a file cannot be opened, 1 on bad usage.
// Every failure is also reported on the standard error as one line naming the file.
#include "analysis/engine/engine.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The engine's fixed message as one plain line: surrounding blanks, line breaks, asterisks and
// exclamation marks dropped, inner line breaks and runs of blanks turned into one blank.
std::string one_line(const std::string& message) {
    std::string line;
    bool blank = false;
    for (char c : message) {
        if (c == '*' || c == '!') continue;
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            blank = !line.empty();
            continue;
        }
        if (blank) line += ' ';
        blank = false;
        line += c;
    }
    return line;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs("usage: kestrel-solve FILE.dat\n", argc == 2 ? stdout : stderr);
        return argc == 2 ? 0 : 1;
    }
    std::string message;
    int result = kestrel::engine::AnalyseCore(argv[1], &message);
    if (result == kestrel::engine::kAnalyseFatal) {
        std::fputs(message.c_str(), stdout);
        std::fflush(stdout);
        std::fprintf(stderr, "kestrel-solve: %s: %s\n", argv[1], one_line(message).c_str());
        return 3;
    }
    if (result == kestrel::engine::kAnalyseSingular) {
        std::fputs("Unstable frame: the stiffness matrix is singular.\n", stdout);
        std::fflush(stdout);
        std::fprintf(stderr,
                     "kestrel-solve: %s: unstable frame: the stiffness matrix is singular\n",
                     argv[1]);
        return 2;
    }
    return 0;
}
