// Plain driver of a fuzz target for builds without a coverage-guided fuzzer: runs the target's
// entry once over every file named on the command line, and over every file inside a named
// directory (sorted, so runs are repeatable). Each input that once crashed stays in the
// committed corpus, so the normal test run keeps it fixed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        if (!fs::is_directory(argv[i])) {
            files.push_back(argv[i]);
            continue;
        }
        const auto first = static_cast<std::ptrdiff_t>(files.size());
        for (const auto& entry : fs::directory_iterator(argv[i]))
            if (entry.is_regular_file()) files.push_back(entry.path());
        std::sort(files.begin() + first, files.end());
    }
    for (const fs::path& path : files) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "fuzz: cannot read %s\n", path.c_str());
            return 1;
        }
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    if (files.empty()) {
        std::fputs("fuzz: no input\n", stderr);
        return 1;
    }
    std::printf("fuzz: %zu inputs ran\n", files.size());
    return 0;
}
