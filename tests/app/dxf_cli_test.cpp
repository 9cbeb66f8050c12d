// kestrel --import-dxf run as a program: the example portal drawn in
// millimetres becomes a model file in metres, the unit of a drawing without
// one comes from --dxf-units, and every refusal says why with its status
// and writes no model file.
#include "files/modelfile.h"
#include "tests/app/run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const std::string kKestrel = std::string(KESTREL_BIN_DIR) + "/kestrel --import-dxf ";
const std::string kPortal = std::string(KESTREL_TEST_DATA) + "/../../examples/portal.dxf";

// The nodes of a model file, sorted: "x y" in metres.
std::vector<std::string> nodesOf(const std::string& path) {
    mdl_reset();
    attrib::state().reset();
    mdl_register_hooks(&attrib::hooks());
    files::ReadResult r = files::readModelFile(path, attrib::initialSettings());
    std::vector<std::string> nodes;
    if (r.status != files::ReadStatus::kModel) return nodes;
    for (const Vertex* v = r.model->vertices; v; v = v->next) {
        char b[64];
        std::snprintf(b, sizeof b, "%.9g %.9g", v->x, v->y);
        nodes.push_back(b);
    }
    mdl_reset();
    attrib::state().reset();
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

TEST(ImportDxfCommandLine, ThePortalInMetresAndTheUnitOfTheCommandLine) {
    const testrun::TempDir dir("dxf-cli");
    ASSERT_FALSE(dir.path.empty());
    fs::copy_file(kPortal, dir.path + "/portal.dxf");
    testrun::Outcome r = testrun::run(
        kKestrel + "portal.dxf out.kst --layer COLUMNS --layer BEAMS --dxf-units ft", dir.path);
    EXPECT_EQ(r.status, 0) << r.err;
    // The header's millimetres win over --dxf-units.
    EXPECT_EQ(r.out, "Imported 4 line entities of portal.dxf (unit mm): 6 nodes and 5 members "
                     "added.\nNot on the chosen layers: 2 line entities\n"
                     "Skipped: 3 CIRCLE, 2 TEXT\n");
    EXPECT_EQ(nodesOf(dir.path + "/out.kst"),
              (std::vector<std::string>{"0 0", "0 4", "12 0", "12 4", "6 0", "6 4"}));
    std::ofstream(dir.path + "/inches.dxf")
        << "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n0\n20\n0\n11\n100\n21\n0\n0\nENDSEC\n0\nEOF\n";
    r = testrun::run(kKestrel + "inches.dxf in.kst --dxf-units in", dir.path);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(nodesOf(dir.path + "/in.kst"), (std::vector<std::string>{"0 0", "2.54 0"}));
}

TEST(ImportDxfCommandLine, RefusalsWriteNothing) {
    const testrun::TempDir dir("dxf-cli-bad");
    ASSERT_FALSE(dir.path.empty());
    fs::copy_file(kPortal, dir.path + "/portal.dxf");
    std::ofstream(dir.path + "/binary.dxf") << "AutoCAD Binary DXF\r\n";
    std::ofstream(dir.path + "/text.dxf")
        << "0\nSECTION\n2\nENTITIES\n0\nTEXT\n1\nA\n0\nENDSEC\n0\nEOF\n";
    const struct {
        std::string args;
        int status;
        std::string err;
    } cases[] = {
        // The message is all that is written, but for the usage after a wrong option.
        {"binary.dxf out.kst", 1,
         "kestrel: binary.dxf is a binary DXF file: only ASCII DXF is read. Save the drawing as "
         "ASCII DXF. Nothing was imported.\n"},
        {"text.dxf out.kst", 1,
         "kestrel: text.dxf holds no LINE, LWPOLYLINE or POLYLINE: nothing was imported.\n"
         "Skipped: 1 TEXT\n"},
        {"portal.dxf out.kst --layer NOTES", 1,
         "kestrel: portal.dxf has no line entities on a layer \"NOTES\" (layers with line "
         "entities: COLUMNS, BEAMS, BRACING). Nothing was imported.\n"},
        {"missing.dxf out.kst", 1,
         "kestrel: missing.dxf could not be opened. Nothing was imported.\n"},
        {"portal.dxf out.kst --dxf-units yd", 2,
         "kestrel: unknown drawing unit yd (mm, cm, m, in or ft)\n"},
        {"portal.dxf out.kst --scale 2", 2, "kestrel: unknown import option --scale\n"},
        {"portal.dxf", 2, "usage: kestrel [model.kst]\n"},
    };
    for (const auto& k : cases) {
        const testrun::Outcome r = testrun::run(kKestrel + k.args, dir.path);
        EXPECT_EQ(r.status, k.status) << k.args;
        EXPECT_EQ(r.err.substr(0, k.err.size()), k.err) << k.args;
        EXPECT_EQ(r.out, "") << k.args;
        EXPECT_FALSE(fs::exists(dir.path + "/out.kst")) << k.args;
    }
}

} // namespace
