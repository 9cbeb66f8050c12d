// Fuzz entry of the analysis engine: each input is written as a neutral file into a private
// directory and analysed there, so the reader, the equations and the result writer all see it.
// Any outcome (solved, singular, a reading message) is fine; a crash, a sanitizer report, a
// hang or memory out of proportion to the input is a finding.
#include "analysis/engine/engine.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string g_dir;

void remove_dir() {
    std::error_code ec;
    std::filesystem::remove_all(g_dir, ec);
}

const std::string& input_name() {
    static const std::string name = [] {
        std::string templ =
            (std::filesystem::temp_directory_path() / "kestrel-fuzz-engine-XXXXXX").string();
        if (mkdtemp(templ.data())) {
            g_dir = templ;
            std::atexit(remove_dir);
        }
        return templ + "/frame.dat";
    }();
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& name = input_name();
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (!f) return 0;
    const bool written = std::fwrite(data, 1, size, f) == size;
    std::fclose(f);
    if (!written) return 0;
    std::string message;
    kestrel::engine::AnalyseCore(name.c_str(), &message);
    return 0;
}
