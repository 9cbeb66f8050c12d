// The neutral file beside the model: created only where nothing else stands.
// A link, a directory or a file somebody else keeps under its name stays as
// it is and the run fails naming it; a file the program left is replaced.
#include "tests/analysis/fixture.h"

#include <fstream>
#include <sstream>

namespace analysis::test {
namespace {

std::string slurp(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

TEST_F(FrameTest, NeutralFileNeverReplacesWhatItDidNotWrite) {
    line(0, 0, 2, 0);
    standardProperties();
    support(at(0, 0), "111");
    const std::filesystem::path dat = dir / "frame.dat", victim = dir / "victim.txt";
    const std::string mark = "Kestrel analysis input, removed after the analysis";
    const std::string left = mark + "\n%HEADER.TITLE\n'old'\n";
    enum Kind { kNone, kLink, kUserFile, kDirectory, kLeftByKestrel, kLongerMark };
    const struct {
        Kind kind;
        RunStatus status;
    } rows[] = {
        {kNone, RunStatus::kSolved},          {kLink, RunStatus::kCannotWrite},
        {kUserFile, RunStatus::kCannotWrite}, {kDirectory, RunStatus::kCannotWrite},
        {kLeftByKestrel, RunStatus::kSolved}, {kLongerMark, RunStatus::kCannotWrite},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.kind);
        std::filesystem::remove_all(dat);
        std::ofstream(victim) << "victim\n";
        if (row.kind == kLink) std::filesystem::create_symlink(victim, dat);
        if (row.kind == kUserFile) std::ofstream(dat) << "my own input\n";
        if (row.kind == kDirectory) std::filesystem::create_directory(dat);
        if (row.kind == kLeftByKestrel) std::ofstream(dat) << left;
        if (row.kind == kLongerMark) std::ofstream(dat) << mark << "!\n";
        const std::string before = row.kind == kDirectory ? "" : slurp(dat);
        const RunOutcome out = runAnalysis(s, root(), modelPath());
        EXPECT_EQ(out.status, row.status) << out.message;
        EXPECT_EQ(slurp(victim), "victim\n");
        if (row.status == RunStatus::kSolved) {
            EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dat)));
            continue;
        }
        EXPECT_EQ(out.message, "\n  frame.dat was not written by Kestrel and is kept.  \n"
                               "  Rename or remove it to analyse the model.  \n");
        EXPECT_EQ(std::filesystem::is_symlink(dat), row.kind == kLink);
        EXPECT_EQ(row.kind == kDirectory ? "" : slurp(dat), before);
    }
}

} // namespace
} // namespace analysis::test
