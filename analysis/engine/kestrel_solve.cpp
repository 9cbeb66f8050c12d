// kestrel-solve: runs the analysis engine on one neutral file from the command line.
// Exit status 0 when solved, 2 when the frame is singular, 3 (with the engine's message on the
// standard output) when the input is malformed or a file cannot be opened, 1 on bad usage.
#include "analysis/engine/engine.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs("usage: kestrel-solve FILE.dat\n", argc == 2 ? stdout : stderr);
        return argc == 2 ? 0 : 1;
    }
    std::string message;
    int result = kestrel::engine::AnalyseCore(argv[1], &message);
    if (result == kestrel::engine::kAnalyseFatal) {
        std::fputs(message.c_str(), stdout);
        return 3;
    }
    if (result == kestrel::engine::kAnalyseSingular) {
        std::fputs("Unstable frame: the stiffness matrix is singular.\n", stdout);
        return 2;
    }
    return 0;
}
