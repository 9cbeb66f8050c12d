// The Export Screen commands on the headless backend: proposed names, file
// dialogs, data texts, cancelled and failed exports, and the files written
// through the menu.
#include "gfx/record.h"
#include "shell/files/export.h"
#include "tests/shell/fixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using shelltest::ShellTest;

namespace {

std::string head(const std::string& path, std::size_t n) {
    std::ifstream in(path, std::ios::binary);
    std::string s(n, '\0');
    in.read(s.data(), static_cast<std::streamsize>(n));
    s.resize(static_cast<std::size_t>(in.gcount()));
    return s;
}

// A recording canvas that remembers the data text it was opened with.
struct Opened {
    std::string driver, data;
    int primitives = 0;
    bool plainText = false;
};

class Recorder : public gfx::RecordingCanvas {
public:
    Recorder(int w, int h, Opened& o) : RecordingCanvas(w, h), o_(o) {}
    bool finish() override {
        o_.primitives = static_cast<int>(primitives().size());
        o_.plainText = plainText();
        return true;
    }

private:
    Opened& o_;
};

class ExportTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        state().canvas->resize(400, 300, 100, 75);
        shell::setDeviceDrivers([this](const std::string& driver, const std::string& data, int w,
                                       int h, double, double) -> std::unique_ptr<gfx::Canvas> {
            opened.push_back({driver, data, 0, false});
            return std::make_unique<Recorder>(w, h, opened.back());
        });
        opened.reserve(8);
    }
    void TearDown() override {
        shell::setDeviceDrivers(nullptr);
        ShellTest::TearDown();
    }
    const fs::path dir = shelltest::testFolder();
    std::vector<Opened> opened;
};

} // namespace

TEST(ExportNames, ProposedFromTheModelPath) {
    struct Case {
        const char *path, *ext, *filter, *proposed;
    };
    const Case cases[] = {
        {"/home/u/beam.kst", "cgm", "*.cgm", "/home/u/beam.cgm"},
        {"/home/u/beam.kst", "eps", "*.eps", "/home/u/beam.eps"},
        {"beam", "cgm", "*.cgm", "*.cgm"},
        {"/home/u.v/beam", "dxf", "*.dxf", "/home/u.dxf"}, // cut at the last "." anywhere
        {"frame.old.kst", "svg", "*.svg", "frame.old.svg"},
        {"a.", "png", "*.png", "a.png"},
    };
    for (const Case& k : cases)
        EXPECT_EQ(shell::proposedExportName(k.path, k.ext, k.filter), k.proposed) << k.path;
    EXPECT_EQ(shell::exportData("cgm", "b.cgm", 400, 300, 100, 75), "b.cgm 100x75 4");
    EXPECT_EQ(shell::exportData("dxf", "b.dxf", 400, 300, 100, 75), "b.dxf 400x300");
    EXPECT_EQ(shell::exportData("ps", "b.ps", 400, 300, 100, 75), "b.ps");
    EXPECT_EQ(shell::exportData("eps", "b.eps", 400, 300, 100, 75), "b.eps -e");
    EXPECT_EQ(shell::exportData("png", "b.png", 400, 300, 100, 75), "b.png 400x300");
}

TEST_F(ExportTest, ClipboardAndPrinterDataTexts) {
    const std::size_t screen = canvas().primitives().size();
    // Ctrl+C only from the canvas; Ctrl+P from anywhere.
    ASSERT_TRUE(shell::exportClipboard());
    ASSERT_TRUE(shell::exportPrinter());
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].driver, "clipboard");
    EXPECT_EQ(opened[0].data, "2000x1500");
    EXPECT_EQ(opened[1].driver, "printer");
    EXPECT_EQ(opened[1].data, "kestrel.prn -d");
    // Both draw the whole picture, labels as plain text.
    for (const Opened& o : opened) {
        EXPECT_GT(o.primitives, 0) << o.driver;
        EXPECT_TRUE(o.plainText) << o.driver;
    }
    EXPECT_EQ(canvas().primitives().size(), screen) << "the screen is not drawn on";
    EXPECT_FALSE(canvas().plainText());
}

TEST_F(ExportTest, EveryFileExportWritesItsFormat) {
    state().file.fullPath = (dir / "beam.kst").string();
    struct Magic {
        const char* action;
        std::string start;
    };
    const Magic magic[] = {
        {"IoCGM", std::string("\x00\x28", 2)}, // BEGIN METAFILE, 8 parameter bytes
        {"IoDXF", "0\nSECTION"},
        {"IoPS", "%!PS-Adobe-3.0\n"},
        {"IoEPS", "%!PS-Adobe-3.0 EPSF"},
        {"IoSVG", "<?xml"},
        {"IoPDF", "%PDF"},
        {"IoPNG", "\x89PNG"},
    };
    ASSERT_EQ(shell::kFileExportCount, 7);
    for (int i = 0; i < shell::kFileExportCount; ++i) {
        const shell::FileExport& k = shell::kFileExports[i];
        SCOPED_TRACE(k.action);
        EXPECT_STREQ(k.action, magic[i].action);
        const std::string proposed = (dir / "beam.").string() + k.extension;
        backend->queueFile(1, proposed);
        fire(k.action);
        EXPECT_EQ(at("exportfiledlg").get("FILE"), proposed);
        EXPECT_EQ(at("exportfiledlg").get("TITLE"), k.title);
        EXPECT_EQ(at("exportfiledlg").get("FILTER"), k.filter);
        EXPECT_EQ(head(proposed, magic[i].start.size()), magic[i].start);
    }
    EXPECT_TRUE(backend->errors().empty());
}

TEST_F(ExportTest, CancelledOrUnwritableExportsLeaveNoFileAndTheScreenAlone) {
    state().file.fullPath = "model-without-dot";
    const std::size_t screen = canvas().primitives().size();
    gfx::Canvas* before = state().canvas.get();
    struct Case {
        int status;
        std::string path;
    };
    const Case cases[] = {
        {-1, ""}, {1, "/no/such/dir/x.cgm"}, {1, dir.string()}, // a directory
    };
    for (const Case& k : cases) {
        backend->queueFile(k.status, k.path);
        EXPECT_FALSE(shell::exportFile(shell::kFileExports[0])) << k.path;
        EXPECT_EQ(at("exportfiledlg").get("FILE"), "*.cgm");
    }
    EXPECT_EQ(state().canvas.get(), before);
    EXPECT_EQ(canvas().primitives().size(), screen);
    EXPECT_TRUE(fs::is_empty(dir));
    EXPECT_FALSE(fs::exists("/no/such/dir"));
    EXPECT_TRUE(backend->errors().empty());
}
