// File > Import > DXF Drawing replayed from journals: the example journal
// (layers ticked, the unit of the header, one undo), a drawing without a
// unit (the dialog's choice), a cancelled dialog and a refused file that
// leave the frame and the history as they were.
#include "tests/shell/fixture.h"
#include "tests/support/golden.h"

#include <fstream>

namespace shelltest {
namespace {

class DxfImportReplay : public ReplayTest {
protected:
    // What the replay printed, the test's folder written as "DIR".
    std::string printed() {
        std::string t = output;
        const std::string dir = testFolder().string();
        for (std::size_t at; (at = t.find(dir)) != std::string::npos;)
            t.replace(at, dir.size(), "DIR");
        return t;
    }
};

TEST_F(DxfImportReplay, TheExampleJournal) {
    std::string journal = example("dxf-import");
    const std::string relative = "\"examples/portal.dxf\"";
    journal.replace(journal.find(relative), relative.size(),
                    "\"" + copyOf("examples/portal.dxf") + "\"");
    ASSERT_EQ(replay(journal), 0) << errors;
    kestrel_test::expectGolden("shell", "dxf-import-example", printed());
}

TEST_F(DxfImportReplay, UnitAskedCancelAndRefusal) {
    const std::string dir = testFolder().string();
    // Metres when the dialog says so: a beam of 5 across a column of 3.
    std::ofstream(dir + "/plain.dxf")
        << "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n0\n20\n2\n11\n5\n21\n2\n"
           "0\nLINE\n10\n1\n20\n0\n11\n1\n21\n3\n0\nARC\n10\n0\n20\n0\n40\n1\n50\n0\n51\n9\n"
           "0\nENDSEC\n0\nEOF\n";
    std::ofstream(dir + "/binary.dxf") << "AutoCAD Binary DXF\r\n";
    // The three layers of the portal first: their check boxes stay, the
    // ones the drawing of one layer does not need are inactive.
    const std::string journal = "action IoImportDxf\nfile 0 \"" + copyOf("examples/portal.dxf") +
                                "\"\npress dxfcancel\n"
                                "action IoImportDxf\nfile 0 \"" +
                                dir +
                                "/plain.dxf\"\n"
                                "show dxfunits dxfunits.ACTIVE dxfunitnote dxflayer1.ACTIVE "
                                "dxflayer2.ACTIVE\n"
                                "press dxfcancel\n"
                                "show @counts edtundo.ACTIVE\n"
                                "action IoImportDxf\nfile 0 \"" +
                                dir +
                                "/binary.dxf\"\n"
                                "show @counts edtundo.ACTIVE\n"
                                "action IoImportDxf\nfile 0 \"" +
                                dir +
                                "/plain.dxf\"\n"
                                "press dxfnone\npress dxfaccept\n"
                                "press dxfall\nselect dxfunits 3\npress dxfaccept\n"
                                "summary\nshow edtundo.ACTIVE @modified\n";
    ASSERT_EQ(replay(journal), 0) << errors;
    kestrel_test::expectGolden("shell", "dxf-import-choices", printed());
    Vertex* v = nullptr;
    for (v = state().model->vertices; v && !(v->x == 1 && v->y == 3); v = v->next) {}
    EXPECT_NE(v, nullptr) << "the column's top in metres";
}

} // namespace
} // namespace shelltest
