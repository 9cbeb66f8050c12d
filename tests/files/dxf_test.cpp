// The DXF reader and import: what a drawing yields (paths, layers, units,
// the entities skipped), every refusal with its exact message and the frame
// left untouched, the import of drawings written by ezdxf (crossing,
// overlapping and touching lines; a portal in millimetres) and the whole
// import as one undo step.
#include "files/dxfimport.h"
#include "tests/support/frame.h"
#include "tests/support/golden.h"
#include "tests/support/scratch_dir.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace {

// A drawing of the given header variables and entities.
std::string dxf(const std::string& entities, const std::string& header = "") {
    return "0\nSECTION\n2\nHEADER\n" + header + "0\nENDSEC\n0\nSECTION\n2\nENTITIES\n" + entities +
           "0\nENDSEC\n0\nEOF\n";
}

std::string lineEntity(double x1, double y1, double x2, double y2, const std::string& layer = "0") {
    char b[200];
    std::snprintf(b, sizeof b, "0\nLINE\n8\n%s\n10\n%g\n20\n%g\n30\n0\n11\n%g\n21\n%g\n31\n0\n",
                  layer.c_str(), x1, y1, x2, y2);
    return b;
}

// The paths of a drawing, one a line: layer, closed or open, points.
std::string pathsText(const files::DxfDrawing& d) {
    std::string t;
    for (const files::DxfPath& p : d.paths) {
        t += d.layers[static_cast<std::size_t>(p.layer)] + (p.closed ? " closed" : " open");
        for (const files::DxfPoint& q : p.points) {
            char b[64];
            std::snprintf(b, sizeof b, " (%g %g)", q.x, q.y);
            t += b;
        }
        t += "\n";
    }
    return t;
}

// The nodes and members of a frame in metres, sorted: what an import built.
std::string frameText(const Solid* s) {
    std::vector<std::string> nodes, members;
    char b[128];
    for (const Vertex* v = s->vertices; v; v = v->next) {
        std::snprintf(b, sizeof b, "node %.6g %.6g", v->x, v->y);
        nodes.push_back(b);
    }
    for (const Edge* e = s->edges; e; e = e->next) {
        const Vertex *a = e->he1->vtx, *c = e->he2->vtx;
        if (c->x < a->x || (c->x == a->x && c->y < a->y)) std::swap(a, c);
        std::snprintf(b, sizeof b, "member %.6g %.6g - %.6g %.6g", a->x, a->y, c->x, c->y);
        members.push_back(b);
    }
    std::sort(nodes.begin(), nodes.end());
    std::sort(members.begin(), members.end());
    std::string t;
    for (const auto& l : nodes) t += l + "\n";
    for (const auto& l : members) t += l + "\n";
    return t;
}

class DxfImport : public kestrel_test::FrameFixture {
protected:
    files::DxfImportResult import(const std::string& text, files::DxfChoice c = {}) {
        const files::DxfReadResult r = files::readDxf(text);
        EXPECT_EQ(r.status, files::DxfStatus::kRead) << r.problem;
        if (c.layers.empty() && files::dxfUnitMetres(r.drawing.insunits) > 0) {
            c.metresPerUnit = files::dxfUnitMetres(r.drawing.insunits);
            c.unitName = files::dxfUnitName(r.drawing.insunits);
        }
        mdl_undo_recording_on();
        return files::importDxf(s, r.drawing, c, "f.dxf");
    }
};

// LINE, LWPOLYLINE and POLYLINE with their layers, closing, the mirrored
// plane (extrusion -z), bulges, paper space and the entities that are only
// counted; then the message of an import of layer A alone.
TEST_F(DxfImport, ReadsTheLineEntitiesAndCountsTheRest) {
    const std::string text = dxf(
        lineEntity(0, 0, 10, 0, "A") + "999\na comment\n" +
            "0\nLWPOLYLINE\n8\nB\n90\n3\n70\n1\n10\n0\n20\n0\n10\n4\n20\n0\n10\n4\n20\n3\n42\n0."
            "5\n" +
            "0\nPOLYLINE\n8\nA\n66\n1\n70\n0\n230\n-1\n0\nVERTEX\n8\nA\n10\n1\n20\n2\n"
            "0\nVERTEX\n8\nA\n10\n5\n20\n2\n42\n1\n0\nVERTEX\n70\n16\n10\n9\n20\n9\n0\nSEQEND\n" +
            "0\nLINE\n67\n1\n10\n0\n20\n0\n11\n1\n21\n1\n" +
            "0\nPOLYLINE\n70\n16\n0\nVERTEX\n10\n0\n20\n0\n0\nSEQEND\n" +
            "0\nCIRCLE\n10\n0\n20\n0\n40\n1\n0\nTEXT\n1\nx\n0\nTEXT\n1\ny\n0\nINSERT\n2\nB1\n" +
            "66\n1\n0\nATTRIB\n1\nv\n0\nSEQEND\n",
        "9\n$ACADVER\n1\nAC1015\n9\n$INSUNITS\n70\n6\n");
    const files::DxfReadResult r = files::readDxf(text);
    ASSERT_EQ(r.status, files::DxfStatus::kRead) << r.problem;
    EXPECT_EQ(r.drawing.insunits, 6);
    EXPECT_EQ(pathsText(r.drawing), "A open (0 0) (10 0)\n"
                                    "B closed (0 0) (4 0) (4 3)\n"
                                    "A open (-1 2) (-5 2)\n");
    EXPECT_EQ(r.drawing.layerPaths, (std::vector<int>{2, 1}));
    // The closing segment's bulge counts on the closed path; the last
    // vertex's bulge of an open one starts no segment.
    EXPECT_EQ(r.drawing.arcSegments, 1);
    EXPECT_EQ(r.drawing.paperSpace, 1);
    EXPECT_EQ(files::dxfSkippedSummary(r.drawing),
              "Skipped: 1 ATTRIB, 1 CIRCLE, 1 INSERT, 1 POLYLINE (mesh), 2 TEXT");
    files::DxfChoice c;
    c.layers = {true, false};
    c.metresPerUnit = 1;
    c.unitName = "m";
    const files::DxfImportResult in = import(text, c);
    EXPECT_EQ(in.message, "Imported 2 line entities of f.dxf (unit m): 4 nodes and 2 members "
                          "added.\n"
                          "Not on the chosen layers: 1 line entity\n"
                          "Skipped: 1 ATTRIB, 1 CIRCLE, 1 INSERT, 1 POLYLINE (mesh), 2 TEXT\n"
                          "In paper space, left out: 1 line entity\n"
                          "Arc segments of polylines taken as straight lines: 1");
}

TEST(DxfUnits, HeaderCodesAndTheUnitsOfTheCommandLine) {
    const struct {
        int code;
        double metres;
        const char* name;
    } cases[] = {{-1, 0, ""},
                 {0, 0, ""},
                 {1, 0.0254, "in"},
                 {2, 0.3048, "ft"},
                 {4, 0.001, "mm"},
                 {5, 0.01, "cm"},
                 {6, 1, "m"},
                 {10, 0.9144, "yd"},
                 {21, 1200.0 / 3937, "US survey ft"},
                 {24, 6336000.0 / 3937, "US survey mi"},
                 {25, 0, ""}};
    for (const auto& k : cases) {
        EXPECT_DOUBLE_EQ(files::dxfUnitMetres(k.code), k.metres) << k.code;
        EXPECT_EQ(files::dxfUnitName(k.code), k.name) << k.code;
    }
    for (const auto& [name, metres] : {std::pair{"mm", 0.001},
                                       {"cm", 0.01},
                                       {"m", 1.0},
                                       {"in", 0.0254},
                                       {"ft", 0.3048},
                                       {"MM", 0.0},
                                       {"km", 0.0}})
        EXPECT_DOUBLE_EQ(files::dxfChosenUnitMetres(name), metres) << name;
    EXPECT_EQ(files::readDxf(dxf(lineEntity(0, 0, 1, 0))).drawing.insunits, -1);
}

// Every refusal: its message, and the frame as it was with no undo step.
TEST_F(DxfImport, BadDrawingsChangeNothing) {
    line(0, 0, 1, 1);
    mdl_clear_history();
    const std::string before = mdl_dump(s, false); // an undone import leaves its ids used
    const std::string good = dxf(lineEntity(0, 0, 5, 0));
    const std::string lw = "0\nLWPOLYLINE\n90\n";
    const std::string lwEnd = "10\n0\n20\n0\n10\n1\n20\n0\n";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {std::string("AutoCAD Binary DXF\r\n\x1a\0\x00\x00", 24),
         "f.dxf is a binary DXF file: only ASCII DXF is read. Save the drawing as ASCII DXF. "
         "Nothing was imported."},
        {"", "f.dxf is cut short: it ends after line 0, before 0 EOF. Nothing was imported."},
        {good.substr(0, good.find("11\n") + 3),
         "f.dxf is cut short: it ends after line 21, before 0 EOF. Nothing was imported."},
        {good.substr(0, good.size() - 4),
         "f.dxf is cut short: it ends after line 29, before 0 EOF. Nothing was imported."},
        {"hello world\n",
         "f.dxf is not a DXF drawing that can be read (line 1: no group code where one belongs). "
         "Nothing was imported."},
        {"0\nLINE\n0\nEOF\n", "f.dxf is not a DXF drawing that can be read (line 1: \"LINE\" "
                              "where a SECTION belongs). Nothing was imported."},
        {dxf("0\nLINE\n10\n1.5.5\n"), "f.dxf is not a DXF drawing that can be read (line 14: "
                                      "\"1.5.5\" is not a number). Nothing was imported."},
        {dxf("0\nLINE\n10\n1e999\n"), "f.dxf is not a DXF drawing that can be read (line 14: "
                                      "\"1e999\" is not a number). Nothing was imported."},
        {dxf("0\nLINE\n10\n0\n20\n0\n"), "f.dxf is not a DXF drawing that can be read (line 11: a "
                                         "LINE without both of its points). Nothing was imported."},
        {dxf(lw + "2000000000\n" + lwEnd),
         "f.dxf is damaged (line 14: a vertex count of 2000000000, more than the rest of the file "
         "can hold). Nothing was imported."},
        {dxf(lw + "-1\n" + lwEnd), "f.dxf is not a DXF drawing that can be read (line 14: a "
                                   "negative vertex count). Nothing was imported."},
        {dxf(lw + "3\n" + lwEnd), "f.dxf is not a DXF drawing that can be read (line 11: an "
                                  "LWPOLYLINE that says 3 vertices and has 2). Nothing was "
                                  "imported."},
        {"0\nSECTION\n2\nENTITIES\n0\nEOF\n", "f.dxf is not a DXF drawing that can be read (line "
                                              "5: 0 EOF inside a section). Nothing was imported."},
        {dxf("0\nARC\n0\nTEXT\n0\nARC\n"),
         "f.dxf holds no LINE, LWPOLYLINE or POLYLINE: nothing was imported.\n"
         "Skipped: 2 ARC, 1 TEXT"},
        {dxf(lineEntity(0, 0, 2e12, 0)), "f.dxf reaches beyond 1e9 m in mm: nothing was imported."},
        {dxf(lineEntity(3, 3, 3, 3)),
         "The line entities of f.dxf have no length: nothing was imported."},
        // Two lines 1 mm apart at one end, meeting at the other, and a third
        // starting 1 mm short of where they meet: the insertion leaves
        // members meeting without a node, and the import takes itself back.
        {dxf(lineEntity(3000, 0, 6000, 0) + lineEntity(3000, 1, 6000, 0) +
             lineEntity(5999, 0, 2000, 3001)),
         "The lines of f.dxf would leave members that meet without a node near (5.999, 0) m: "
         "nothing was imported."},
    };
    for (const auto& k : cases) {
        const files::DxfReadResult r = files::readDxf(k.text);
        std::string message = files::dxfReadMessage("f.dxf", r);
        if (r.status == files::DxfStatus::kRead) {
            const files::DxfImportResult in = files::importDxf(s, r.drawing, {}, "f.dxf");
            EXPECT_FALSE(in.changed);
            message = in.message;
        }
        EXPECT_EQ(message, k.message);
        EXPECT_EQ(mdl_dump(s, false), before) << k.message;
        EXPECT_FALSE(mdl_can_undo() || mdl_can_redo()) << k.message;
    }
}

// 600 members, more than the 500 steps of the undo ring, go and come back
// whole.
TEST_F(DxfImport, TheImportIsOneUndoStep) {
    std::string lines;
    for (int i = 0; i < 600; ++i) lines += lineEntity(i, 0, i + 1, 0);
    const files::DxfImportResult in = import(dxf(lines, "9\n$INSUNITS\n70\n6\n"));
    ASSERT_EQ(in.membersAdded, 600);
    const std::string imported = mdl_dump(s, false);
    ASSERT_EQ(mdl_undo(), -2);
    s = mdl_first_solid();
    EXPECT_TRUE(mdl_is_empty(s));
    EXPECT_FALSE(mdl_can_undo());
    ASSERT_EQ(mdl_redo(), -2);
    s = mdl_first_solid();
    EXPECT_EQ(mdl_dump(s, false), imported);
}

// Drawings written by ezdxf, an independent DXF library.
TEST_F(DxfImport, DrawingsOfEzdxf) {
    const kestrel_test::ScratchDir dir("dxf-ezdxf");
    const std::string script = dir.path() + "/make.py";
    std::ofstream(script)
        << "import ezdxf, sys\n"
           "d = ezdxf.new('R2010'); d.header['$INSUNITS'] = 6; m = d.modelspace()\n"
           "m.add_line((0, 0), (4, 0))\n"  // the first line
           "m.add_line((2, -1), (2, 1))\n" // crosses it at (2, 0)
           "m.add_line((3, 0), (6, 0))\n"  // overlaps it from 3 to 4
           "m.add_line((6, 0), (6, 3))\n"  // touches the end of the last
           "d.saveas(sys.argv[1] + '/lines.dxf')\n"
           "d = ezdxf.new('R2010'); d.header['$INSUNITS'] = 4; m = d.modelspace()\n"
           "m.add_lwpolyline([(0, 0), (0, 4000), (6000, 4000), (6000, 0)])\n"
           "m.add_polyline2d([(6000, 0), (12000, 0), (12000, 4000), (6000, 4000)], close=True)\n"
           "m.add_text('PORTAL'); m.add_circle((3000, 2000), 500)\n"
           "d.saveas(sys.argv[1] + '/portal.dxf')\n";
    ASSERT_EQ(std::system(("/usr/bin/python3 " + script + " " + dir.path()).c_str()), 0);
    files::DxfImportResult in = import(kestrel_test::readText(dir.path() + "/lines.dxf"));
    EXPECT_EQ(in.message,
              "Imported 4 line entities of f.dxf (unit m): 8 nodes and 7 members added.");
    EXPECT_EQ(frameText(s), "node 0 0\nnode 2 -1\nnode 2 0\nnode 2 1\n"
                            "node 3 0\nnode 4 0\nnode 6 0\nnode 6 3\n"
                            "member 0 0 - 2 0\nmember 2 -1 - 2 0\nmember 2 0 - 2 1\n"
                            "member 2 0 - 3 0\nmember 3 0 - 4 0\nmember 4 0 - 6 0\n"
                            "member 6 0 - 6 3\n");
    EXPECT_EQ(mdl_check(s), "");
    // The portal of two bays in millimetres: the closed bay's last side
    // falls on the first bay's right column and merges with it.
    mdl_reset();
    SetUp();
    in = import(kestrel_test::readText(dir.path() + "/portal.dxf"));
    EXPECT_EQ(in.message, "Imported 2 line entities of f.dxf (unit mm): 6 nodes and 6 members "
                          "added.\nSkipped: 1 CIRCLE, 1 TEXT");
    EXPECT_EQ(frameText(s), "node 0 0\nnode 0 4\nnode 12 0\nnode 12 4\nnode 6 0\nnode 6 4\n"
                            "member 0 0 - 0 4\nmember 0 4 - 6 4\nmember 12 0 - 12 4\n"
                            "member 6 0 - 12 0\nmember 6 0 - 6 4\nmember 6 4 - 12 4\n");
}

} // namespace
