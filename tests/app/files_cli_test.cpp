// The files the programs write and read as a user meets them: an output that
// cannot be written whole leaves the previous file as it was and is an error,
// and a name that is not a regular file is refused at once, never read.
#include <gtest/gtest.h>

#include "tests/app/run.h"

#include <filesystem>
#include <set>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const std::string kBin = std::string(KESTREL_BIN_DIR) + "/";
const std::string kExamples = std::string(KESTREL_SOURCE_DIR) + "/examples/";

// The names in `dir`, sorted, each followed by a blank.
std::string listing(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    std::string text;
    for (const std::string& n : names) text += n + " ";
    return text;
}

TEST(OutputFiles, AWriteThatFailsKeepsThePreviousFile) {
    const testrun::TempDir dir("outputs");
    ASSERT_FALSE(dir.path.empty());
    fs::copy_file(kExamples + "gable.kst", dir.path + "/gable.kst");
    fs::copy_file(kExamples + "three-storey.kst", dir.path + "/three-storey.kst");
    // The JSON names the model as given: a long path makes it larger than the
    // neutral and result files, so that a limit of 3072 bytes fails only it.
    std::string longName;
    for (int i = 0; i < 1200; ++i) longName += "./";
    longName += "gable.kst";
    // 6 blocks of 512 bytes; a write beyond fails with EFBIG, not a signal.
    const std::string limited = "trap '' XFSZ; ulimit -f 6; exec ";
    const struct {
        std::string out, command, error;
    } rows[] = {
        {"out.json", kBin + "kestrel-solve " + longName + " --json out.json",
         "kestrel-solve: " + longName + ": cannot write out.json\n"},
        {"out.pdf", kBin + "kestrel --export out.pdf gable.kst", "kestrel: cannot write out.pdf\n"},
        {"out.svg", kBin + "kestrel --export out.svg gable.kst", "kestrel: cannot write out.svg\n"},
        {"out.png", kBin + "kestrel --export out.png gable.kst --size 2000x2000",
         "kestrel: cannot write out.png\n"},
        {"out.eps", kBin + "kestrel --export out.eps gable.kst", "kestrel: cannot write out.eps\n"},
        {"out.dxf", kBin + "kestrel --export out.dxf gable.kst", "kestrel: cannot write out.dxf\n"},
        {"out.cgm", kBin + "kestrel --export out.cgm three-storey.kst",
         "kestrel: cannot write out.cgm\n"},
    };
    for (const auto& row : rows) {
        testrun::Outcome r = testrun::run("sh -c \"" + row.command + "\"", dir.path);
        ASSERT_EQ(r.status, 0) << row.out << ": " << r.err; // it can be written without a limit
        std::ofstream(dir.path + "/" + row.out) << "previous\n";
        r = testrun::run("sh -c \"" + limited + row.command + "\"", dir.path);
        EXPECT_NE(r.status, 0) << row.out;
        EXPECT_EQ(r.err.substr(r.err.size() - std::min(r.err.size(), row.error.size())), row.error);
        EXPECT_TRUE(testrun::readFile(dir.path + "/" + row.out) == "previous\n") << row.out;
        EXPECT_EQ(listing(dir.path), "gable.kst gable.pos " + row.out + " three-storey.kst ")
            << row.out;
        fs::remove(dir.path + "/" + row.out);
    }
}

TEST(InputFiles, OnlyRegularFilesAreRead) {
    const testrun::TempDir dir("inputs");
    ASSERT_FALSE(dir.path.empty());
    fs::create_symlink("/dev/zero", dir.path + "/zero.kst");
    ASSERT_EQ(::mkfifo((dir.path + "/fifo.kst").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((dir.path + "/fifo.dat").c_str(), 0600), 0);
    fs::create_directory(dir.path + "/folder.kst");
    // A program that reads one of them forever is stopped after 20 seconds (124).
    const std::string limit = "timeout 20 ";
    const struct {
        std::string command, error;
    } rows[] = {
        {"kestrel-solve zero.kst", "kestrel-solve: zero.kst: cannot open the file\n"},
        {"kestrel-solve fifo.kst", "kestrel-solve: fifo.kst: cannot open the file\n"},
        {"kestrel-solve folder.kst", "kestrel-solve: folder.kst: cannot open the file\n"},
        {"kestrel-solve fifo.dat", "Error on reading Input file"},
        {"kestrel --export out.svg zero.kst", "kestrel: cannot read the model zero.kst\n"},
        {"kestrel --export out.svg fifo.kst", "kestrel: cannot read the model fifo.kst\n"},
        {"kestrel --replay zero.kst", "zero.kst: is not a regular file, not a journal"},
        {"kestrel --replay fifo.kst", "fifo.kst: is not a regular file, not a journal"},
    };
    for (const auto& row : rows) {
        const testrun::Outcome r = testrun::run(limit + kBin + row.command, dir.path);
        EXPECT_NE(r.status, 0) << row.command;
        EXPECT_NE(r.status, 124) << row.command << " read forever";
        EXPECT_NE(r.err.find(row.error), std::string::npos) << row.command << ": " << r.err;
    }
    EXPECT_EQ(listing(dir.path), "fifo.dat fifo.kst folder.kst zero.kst ");
}

} // namespace
