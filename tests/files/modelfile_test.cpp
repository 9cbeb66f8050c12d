// The model file writer and reader: exact layout, round trips of every
// attribute through write, read and write, after undo and redo, atomic save.
#include "attrib/cases.h"
#include "attrib/section.h"
#include "tests/files/fixture.h"
#include "tests/support/golden.h"
#include "tests/support/scratch_dir.h"

#include <algorithm>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace attrib;
using files_test::readText;
using files_test::writeText;

class WriteReadTest : public files_test::ModelFileTest {
protected:
    // The full model, saved by the program: a portal frame with a polyline
    // beam, an isolated node, two blocks of every kind, a section of every
    // type in every orientation it admits, a dimension line, every member
    // with blocks and flags, every node with a support, a force, prescribed
    // values and springs, and settings away from the defaults.
    static std::string fullText() {
        return kestrel_test::readText(KESTREL_TEST_DATA "/files/full.kst");
    }
    void openFull() {
        files::ReadResult r = readText(fullText());
        install(r);
    }
};

// The exact layouts of the empty model and of one straight member
// (tests/data/files/layout-empty.txt and layout-member.txt): the version
// lines, the solid record with its counters and box, the settings, the eight
// lists, then a record per entity with its attributes and the end marker.
TEST_F(WriteReadTest, LayoutsOfTheEmptyModelAndOfAStraightMemberAreExact) {
    kestrel_test::expectGolden("files", "layout-empty", writeText(s, root(), settings));
    line(0, 0, 3, 0);
    kestrel_test::expectGolden("files", "layout-member", writeText(s, root(), settings));
}

TEST_F(WriteReadTest, EverythingRoundTripsToIdenticalBytes) {
    const std::string text = fullText();
    openFull();
    EXPECT_EQ(mdl_check(s), "");
    const std::string dumpBefore = files_test::shape(s);
    EXPECT_EQ(writeText(s, root(), settings), text);
    EXPECT_EQ(writeText(s, root(), settings), text);
    // The writer rebuilds the model exactly.
    EXPECT_EQ(files_test::shape(s), dumpBefore);
    files::ReadResult again = readText(text);
    ASSERT_EQ(again.status, files::ReadStatus::kModel);
    EXPECT_EQ(files_test::shape(again.model), dumpBefore); // same ids, orientation, geometry
    files_test::discard(again.model);
    // Values and references as set: a section of every type in every
    // orientation, labelled by both.
    for (int t = 0; t < kSectionTypeCount; ++t)
        for (int c = 0; c < sectionType(t).codeCount; ++c) {
            const std::string label =
                "G1_" + std::to_string(t) + "_" + std::to_string(sectionType(t).codes[c]);
            const PropertyBlock* b = findLabel(root(), kSpf, label);
            ASSERT_NE(b, nullptr) << label;
            EXPECT_EQ(sectionOf(const_cast<PropertyBlock*>(b))->type, t);
            EXPECT_EQ(sectionOf(const_cast<PropertyBlock*>(b))->orientation,
                      sectionType(t).codes[c]);
        }
    EXPECT_EQ(root().dimLines.size(), 1u);
    EXPECT_EQ(settings.signConvention[0], 0);
    EXPECT_EQ(settings.units[3], 18);
    int prescribedFixedOnly = 0;
    for (Vertex* v = s->vertices; v; v = v->next) {
        const NodeAttrib* a = nodeOf(v);
        const NodeLoads* l = loadsOf(*a, activeCase());
        ASSERT_TRUE(l);
        EXPECT_STREQ(l->force->label, "F2");
        prescribedFixedOnly += l->prescribed[0] == 0.001 && l->prescribed[1] == 0 &&
                               a->spring[1] == 250 &&
                               (a->support[2] == '2') == (a->spring[2] == 99);
    }
    EXPECT_EQ(prescribedFixedOnly, 5);
    // Use counts follow the references read: F2 is held by the five nodes.
    EXPECT_EQ(findLabel(root(), kNff, "F2")->useCount, 5);
    EXPECT_EQ(findLabel(root(), kNff, "F1")->useCount, 0);
}

TEST_F(WriteReadTest, RoundTripAfterUndoAndRedoSequences) {
    openFull();
    const MPoint bent[3] = {{10, 3}, {11, 4}, {12, 3}};
    mdl_begin_group();
    ASSERT_EQ(mdl_insert_points(s, CURVE_POLYLINE, bent, 3), -2);
    mdl_end_group();
    mdl_begin_group();
    ASSERT_NE(mdl_insert_point(s, {14, 1}), nullptr);
    mdl_end_group();
    line(0, 1.5, 4, 1.5); // splits both columns
    line(10, 0, 12, 0);
    const MPoint moved{8, 2};
    mdl_begin_group();
    MPoint at{8, 1};
    mdl_move_vertex(mdl_find_vertex_at(s, &at), moved);
    mdl_end_group();
    for (const char* seq : {"uu", "uuurr", "ur", "uuuuurrrrr", "uuur"}) {
        for (const char* c = seq; *c; ++c) (*c == 'u' ? mdl_undo() : mdl_redo());
        const std::string dump = files_test::shape(s);
        const std::string first = writeText(s, root(), settings);
        EXPECT_EQ(files_test::shape(s), dump) << seq;
        files::ReadResult r = readText(first);
        ASSERT_EQ(r.status, files::ReadStatus::kModel) << seq;
        const std::string second = writeText(r.model, *r.root, r.settings);
        EXPECT_EQ(second, first) << seq;
        EXPECT_EQ(files_test::shape(r.model), dump) << seq;
        files_test::discard(r.model);
        // Undo still works on the model that was saved.
        EXPECT_EQ(mdl_check(s), "") << seq;
    }
}

TEST_F(WriteReadTest, FileOutcomes) {
    struct Case {
        const char* text;
        files::ReadStatus status;
        int version;
    };
    const Case cases[] = {
        {"213\n200\n", files::ReadStatus::kNewerVersion, 213},
        {"", files::ReadStatus::kBadFile, 0},
        {"211\n", files::ReadStatus::kBadFile, 211},
        {"211\n200\n 0\n", files::ReadStatus::kBadFile, 211},
        {"hello", files::ReadStatus::kBadFile, 0},
        {"-5\n200\n", files::ReadStatus::kBadFile, 0},
    };
    for (const Case& c : cases) {
        files::ReadResult r = readText(c.text);
        EXPECT_EQ(r.status, c.status) << c.text;
        EXPECT_EQ(r.version, c.version) << c.text;
        EXPECT_EQ(r.model, nullptr) << c.text;
    }
    EXPECT_EQ(files::readModelFile("/nonexistent/x.kst", settings).status,
              files::ReadStatus::kCannotOpen);
}

TEST_F(WriteReadTest, SaveAsNames) {
    const std::pair<const char*, const char*> cases[] = {{"beam.dat", "beam.kst"},
                                                         {"beam", "beam.kst"},
                                                         {"a.b/frame", "a.b/frame.kst"},
                                                         {"/t/frame.txt", "/t/frame.kst"},
                                                         {"x.kst", "x.kst"},
                                                         {"/d/.hidden", "/d/.kst"},
                                                         {"p.q.r", "p.q.kst"}};
    for (auto [in, out] : cases) EXPECT_EQ(files::withModelExtension(in), out) << in;
}

// The example frames were saved by the program: each opens, passes the frame
// checks and saves again to the same bytes; the older one needs converting.
TEST_F(WriteReadTest, ExamplesOpenAndSaveToTheSameBytes) {
    const std::string dir = std::string(KESTREL_TEST_DATA) + "/../../examples/";
    for (const char* name :
         {"portal.kst", "three-storey.kst", "truss.kst", "gable.kst", "portal-v205.kst",
          "load-cases.kst"}) {
        SCOPED_TRACE(name);
        const std::string text = kestrel_test::readText(dir + name);
        files::ReadResult r = readText(text);
        ASSERT_EQ(r.status, files::ReadStatus::kModel);
        EXPECT_EQ(mdl_check(r.model), "");
        EXPECT_GE(blockCount(*r.root, kMaf), 1);
        if (r.version == files::kSingleCaseVersion || r.version == files::kFileVersion) {
            EXPECT_EQ(writeText(r.model, *r.root, r.settings), text);
        } else {
            EXPECT_EQ(r.version, 205);
        }
        files_test::discard(r.model);
    }
}

// Ids past 16 bits: with the counters just below 32,767 a triangle is drawn
// across the boundary; it undoes and redoes with the same ids, saves, opens
// with the same ids and counters and no note. The reader takes ids and
// counters up to MDL_MAX_READ_ID; a file with one above is a bad file (a
// member's id alone out of range is named: damaged_test).
TEST_F(WriteReadTest, IdsPastSixteenBitsSaveOpenAndUndo) {
    s->vertex_counter = s->edge_counter = s->face_counter = 32766;
    line(0, 0, 3, 0);
    line(3, 0, 3, 4);
    line(3, 4, 0, 0);
    std::vector<int> ids;
    for (Edge* e = s->edges; e; e = e->next) ids.push_back(e->id);
    for (Vertex* v = s->vertices; v; v = v->next) ids.push_back(v->id);
    for (Face* f = s->faces; f; f = f->next) ids.push_back(f->id);
    std::sort(ids.begin(), ids.end());
    // The first member reuses the empty model's node 1 (face 1 is the outer face).
    EXPECT_EQ(ids, (std::vector<int>{1, 1, 32767, 32767, 32767, 32768, 32768, 32769}));
    const std::string dump = files_test::shape(s);
    mdl_undo();
    EXPECT_EQ(mdl_edge_by_id(s, 32769), nullptr);
    mdl_redo();
    EXPECT_EQ(files_test::shape(s), dump);
    const std::string text = writeText(s, root(), settings);
    EXPECT_NE(text.find(" 32768\n"), std::string::npos);
    files::ReadResult r = readText(text);
    ASSERT_EQ(r.status, files::ReadStatus::kModel);
    EXPECT_EQ(r.noteCount, 0);
    EXPECT_EQ(files_test::shape(r.model), dump);
    EXPECT_EQ(writeText(r.model, *r.root, r.settings), text);
    EXPECT_EQ(r.model->edge_counter, 32769);
    files_test::discard(r.model);

    s->edge_counter = MDL_MAX_READ_ID - 1;
    line(0, 4, 3, 4); // member MDL_MAX_READ_ID
    r = readText(writeText(s, root(), settings));
    ASSERT_EQ(r.status, files::ReadStatus::kModel);
    EXPECT_EQ(r.noteCount, 0);
    EXPECT_NE(mdl_edge_by_id(r.model, MDL_MAX_READ_ID), nullptr);
    EXPECT_EQ(r.model->edge_counter, MDL_MAX_READ_ID);
    files_test::discard(r.model);
    line(0, 5, 3, 5); // one above: the edge counter of the first record too, so
    r = readText(writeText(s, root(), settings)); // nothing can be built
    EXPECT_EQ(r.status, files::ReadStatus::kBadFile);
    EXPECT_EQ(r.model, nullptr);
}

class SaveTest : public WriteReadTest {
protected:
    void TearDown() override {
        chmod(dir.c_str(), 0700); // the folder can be emptied
        WriteReadTest::TearDown();
    }
    kestrel_test::ScratchDir scratch{"kestrel-save"};
    const std::string dir = scratch.path();
};

TEST_F(SaveTest, SaveWritesAtomicallyAndKeepsPermissions) {
    line(0, 0, 1, 0);
    const std::string path = dir + "/frame.kst";
    ASSERT_EQ(files::saveModelFile(path, s, root(), settings), files::SaveStatus::kSaved);
    EXPECT_EQ(kestrel_test::readText(path), writeText(s, root(), settings));
    chmod(path.c_str(), 0640);
    line(0, 0, 0, 1);
    ASSERT_EQ(files::saveModelFile(path, s, root(), settings), files::SaveStatus::kSaved);
    struct stat st {};
    stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // Nothing but the file is left in the directory.
    EXPECT_EQ(std::system(("test $(ls -A " + dir + " | wc -l) -eq 1").c_str()), 0);
}

TEST_F(SaveTest, FailedSaveLeavesThePreviousFileByteIdentical) {
    line(0, 0, 1, 0);
    const std::string path = dir + "/frame.kst";
    ASSERT_EQ(files::saveModelFile(path, s, root(), settings), files::SaveStatus::kSaved);
    const std::string before = kestrel_test::readText(path);
    line(0, 0, 0, 1);
    const std::string dump = files_test::shape(s);
    // A read-only directory: no temporary file can be made.
    chmod(dir.c_str(), 0500);
    if (access(dir.c_str(), W_OK) != 0) {
        EXPECT_EQ(files::saveModelFile(path, s, root(), settings), files::SaveStatus::kCannotWrite);
        EXPECT_EQ(kestrel_test::readText(path), before);
    }
    chmod(dir.c_str(), 0700);
    // A full disk: a file size limit of 64 bytes in a child process.
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit lim{64, 64};
        setrlimit(RLIMIT_FSIZE, &lim);
        _exit(files::saveModelFile(path, s, root(), settings) == files::SaveStatus::kCannotWrite
                  ? 0
                  : 1);
    }
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(std::system(("test $(ls -A " + dir + " | wc -l) -eq 1").c_str()), 0);
    // /dev/full takes no byte; the model stays as it was.
    FILE* full = std::fopen("/dev/full", "w");
    if (full) {
        EXPECT_FALSE(files::writeModel(full, s, root(), settings));
        std::fclose(full);
    }
    EXPECT_EQ(files_test::shape(s), dump);
    EXPECT_EQ(kestrel_test::readText(path), before);
}

} // namespace
