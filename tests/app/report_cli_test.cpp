// kestrel --report run as a program on the example with three cases: the PDF read back with
// pdftotext holds every node with its coordinates, every member with its nodes, and each case's
// support reactions as kestrel-solve gives them (to the tables' one decimal); a report into a
// folder that does not exist says why, with status 1, and leaves nothing.
#include "tests/app/run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

const std::string kBin = KESTREL_BIN_DIR;
const std::string kExample = std::string(KESTREL_TEST_DATA) + "/../../examples/load-cases.kst";

using Row = std::vector<double>;

// The rows of numbers (the numbers a line begins with) after each line that starts with
// `title`, up to the next line that begins with no number.
std::vector<std::vector<Row>> tablesAfter(const std::string& text, const std::string& title) {
    std::vector<std::vector<Row>> tables;
    std::istringstream in(text);
    std::string line;
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.rfind(title, 0) == 0) {
            tables.emplace_back();
            inTable = true;
            continue;
        }
        if (!inTable) continue;
        std::istringstream words(line);
        Row row;
        std::string w;
        while (words >> w) {
            char* end = nullptr;
            const double v = std::strtod(w.c_str(), &end);
            if (end == w.c_str() || *end != '\0') break;
            row.push_back(v);
        }
        if (row.empty()) {
            if (!tables.back().empty()) inTable = false; // the heading row comes first
            continue;
        }
        tables.back().push_back(row);
    }
    return tables;
}

void expectRows(const std::vector<Row>& got, const std::vector<Row>& want, double tol) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t r = 0; r < got.size(); ++r) {
        ASSERT_GE(want[r].size(), got[r].size());
        for (std::size_t k = 0; k < got[r].size(); ++k)
            EXPECT_NEAR(got[r][k], want[r][k], tol) << "row " << r << " column " << k;
    }
}

TEST(ReportCommandLine, NodesMembersAndReactionsOfEveryCase) {
    testrun::TempDir dir("kestrel-report");
    std::filesystem::copy_file(kExample, dir.path + "/frame.kst");
    const testrun::Outcome r = testrun::run(kBin + "/kestrel --report out.pdf frame.kst", dir.path);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("out.pdf: ", 0), 0u) << r.out;
    const testrun::Outcome text = testrun::run("pdftotext -layout out.pdf -", dir.path);
    ASSERT_EQ(text.status, 0) << text.err;
    const testrun::Outcome solve = testrun::run(kBin + "/kestrel-solve frame.kst", dir.path);
    ASSERT_EQ(solve.status, 0) << solve.err;

    // Nodes: number, x, y; kestrel-solve's node table begins with the same three.
    const auto nodes = tablesAfter(text.out, "Nodes");
    const auto solvedNodes = tablesAfter(solve.out, "Node displacements");
    ASSERT_EQ(nodes.size(), 1u);
    ASSERT_FALSE(solvedNodes.empty());
    std::vector<Row> want;
    for (const Row& n : solvedNodes.front()) want.push_back({n[0], n[1], n[2]});
    expectRows(nodes.front(), want, 0.005);

    // Members: number and nodes, as kestrel-solve's end forces table begins.
    const auto solvedMembers = tablesAfter(solve.out, "Member end forces");
    ASSERT_FALSE(solvedMembers.empty());
    std::vector<Row> got, pairs;
    for (const Row& m : solvedMembers.front()) pairs.push_back({m[0], m[1], m[2]});
    const auto memberTables = tablesAfter(text.out, "Members");
    ASSERT_EQ(memberTables.size(), 1u);
    for (const Row& m : memberTables.front()) got.push_back({m[0], m[1], m[2]});
    expectRows(got, pairs, 0);

    // Reactions of each case, in the order of the sections: the cases come first.
    const auto reactions = tablesAfter(text.out, "Support Reactions");
    const auto solvedReactions = tablesAfter(solve.out, "Support reactions");
    ASSERT_GE(reactions.size(), 3u);
    for (std::size_t c = 0; c < 3; ++c) expectRows(reactions[c], solvedReactions[c], 0.05);
}

TEST(ReportCommandLine, AnUnwritablePlaceLeavesNothing) {
    testrun::TempDir dir("kestrel-report");
    std::filesystem::copy_file(kExample, dir.path + "/frame.kst");
    const testrun::Outcome r =
        testrun::run(kBin + "/kestrel --report missing/out.pdf frame.kst", dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("kestrel: Could not write the report missing/out.pdf: No such file or "
                         "directory."),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path + "/missing"));
    const testrun::Outcome label =
        testrun::run(kBin + "/kestrel --report out.pdf frame.kst --case Nothing", dir.path);
    EXPECT_EQ(label.status, 2);
    EXPECT_NE(label.err.find("has nothing labelled Nothing"), std::string::npos) << label.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path + "/out.pdf"));
}

} // namespace
