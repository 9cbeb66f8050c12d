// File > Report... replayed from a journal: the report of the example with three cases is
// written and said so, the result display the window showed is left as it was, and a report
// into a folder that does not exist says why and leaves nothing.
#include "tests/shell/fixture.h"

#include <filesystem>

namespace shelltest {
namespace {

using ReportReplay = ReplayTest;

TEST_F(ReportReplay, WrittenOrRefusedWithItsMessage) {
    const std::string model = copyOf("examples/load-cases.kst");
    const std::string dir = testFolder().string();
    const std::string journal = "toggle axial\n"
                                "action IoReport\nfile 0 \"" +
                                dir +
                                "/report.pdf\"\n"
                                "action IoReport\nfile 0 \"" +
                                dir +
                                "/missing/report.pdf\"\n"
                                "action IoReport\nfile -1 \"\"\n";
    ASSERT_EQ(replay(journal, model), 0) << errors;
    EXPECT_NE(output.find("message [ Kestrel Message ]: The report of 24 pages is written to " +
                          dir + "/report.pdf."),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("message [ Kestrel Message ]: Could not write the report " + dir +
                          "/missing/report.pdf: No such file or directory."),
              std::string::npos)
        << output;
    EXPECT_GT(std::filesystem::file_size(dir + "/report.pdf"), 10000u);
    EXPECT_FALSE(std::filesystem::exists(dir + "/missing"));
    // The axial force diagram is still what the window shows.
    EXPECT_EQ(state().settings.result.on, 1);
    EXPECT_EQ(state().settings.result.kind, 1);
}

} // namespace
} // namespace shelltest
