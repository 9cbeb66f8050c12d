// A new analysis shows its diagrams whole: the view is fitted to the frame
// widened by the diagrams, so that every curve and value text of the
// example portal lies inside the canvas.
#include "shell/files/filecommands.h"
#include "shell/results/resultcmds.h"
#include "tests/shell/fixture.h"

#include <filesystem>

namespace shelltest {
namespace {

TEST_F(ShellTest, EveryDiagramAndValueOfTheExamplePortalIsInsideTheView) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("kestrel-fit-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string model = (dir / "portal.kst").string();
    std::filesystem::copy_file(std::string(KESTREL_TEST_DATA) + "/../../examples/portal.kst", model,
                               std::filesystem::copy_options::overwrite_existing);
    shell::StartupHooks hooks;
    hooks.openModel = [](const std::string& p) { return shell::openModelByName(p); };
    hooks.fitView = shell::fitView;
    start(model, hooks);
    for (int kind = 1; kind <= 4; ++kind) {
        fire("Select"); // back to editing: each kind is analysed afresh
        canvas().reset();
        ASSERT_TRUE(shell::resultCommand(kind)) << kind;
        const double w = canvas().width(), h = canvas().height();
        int texts = 0;
        for (const gfx::Primitive& p : canvas().primitives()) {
            if (p.kind == gfx::Primitive::Kind::Clear) texts = 0;
            for (const gfx::Point& q : p.pixel) {
                // A value text reaches about 0.6 of its font size per character
                // from its anchor, to the left or right by its alignment.
                const double reach = p.kind == gfx::Primitive::Kind::Text
                                         ? 0.6 * p.fontSize * static_cast<double>(p.text.size())
                                         : 0;
                EXPECT_GE(q.x - reach, 0) << kind << " " << p.text;
                EXPECT_LE(q.x + reach, w) << kind << " " << p.text;
                EXPECT_GE(q.y, 0) << kind << " " << p.text;
                EXPECT_LE(q.y, h) << kind << " " << p.text;
            }
            texts += p.kind == gfx::Primitive::Kind::Text;
        }
        if (kind != 4) {
            EXPECT_GT(texts, 0) << kind << ": the values are written";
        }
    }
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace shelltest
