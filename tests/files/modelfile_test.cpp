// The model file writer and reader: exact layout, round trips of every
// attribute through write, read and write, after undo and redo, atomic save.
#include "attrib/section.h"
#include "tests/files/fixture.h"

#include <csignal>
#include <fstream>
#include <sstream>
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
    // A portal frame with a polyline beam, an isolated node and every kind of
    // attribute and list entry.
    void buildFull() {
        line(0, 0, 0, 3);
        line(4, 0, 4, 3);
        const MPoint beam[3] = {{0, 3}, {2, 4}, {4, 3}};
        mdl_begin_group();
        ASSERT_EQ(mdl_insert_points(s, CURVE_POLYLINE, beam, 3), -2);
        mdl_end_group();
        mdl_begin_group();
        ASSERT_NE(mdl_insert_point(s, {8, 1}), nullptr);
        mdl_end_group();
        AttributeRoot& r = root();
        const char* labels[kPropertyKindCount][2] = {{"F1", "F2"}, {"M1", "M2"}, {"U1", "U2"},
                                                     {"L1", "L2"}, {"T1", "T2"}, {"Steel", "C25"},
                                                     {"G1", "G2"}};
        for (int k = 0; k < kSpf; ++k)
            for (int i = 0; i < 2; ++i) {
                PropertyBlock* b = nullptr;
                ASSERT_EQ(newBlock(r, PropertyKind(k), labels[k][i], &b), kLabelDone);
                ValueBlock* vb = valuesOf(b);
                vb->direction = i;
                for (int j = 0; j < kMaxBlockValues; ++j)
                    vb->values[j] = 1.25e-3 * (k + 1) - j * 7 + i;
            }
        // Every section type in every orientation it admits, with parameters
        // that are not round numbers (catalogue types: a row position).
        for (int t = 0; t < kSectionTypeCount; ++t) {
            const SectionType& type = sectionType(t);
            for (int c = 0; c < type.codeCount; ++c) {
                PropertyBlock* b = nullptr;
                const std::string label = std::string(labels[kSpf][0]) + "_" + std::to_string(t) +
                                          "_" + std::to_string(type.codes[c]);
                ASSERT_EQ(newBlock(r, kSpf, label, &b), kLabelDone);
                Section& sec = *sectionOf(b);
                sec = makeSection(t);
                sec.orientation = type.codes[c];
                if (t != kSecWelded && t != kSecLight)
                    for (std::size_t j = 0; j < sec.params.size(); ++j)
                        sec.params[j] = 0.0123 * (j + 1) + 0.001 * t;
            }
        }
        r.dimLines.push_back(dimensionLineFrom({0, 0}, {4, 0}, {2, -1}));
        // Every member gets the second block of every member kind and its
        // flags; every node a support, a force, prescribed values and springs.
        int n = 0;
        for (Edge* e = s->edges; e; e = e->next, ++n) {
            MemberAttrib* a = memberOf(e);
            a->hingeStart = n == 0;
            a->hingeEnd = n == 1;
            a->rigid = n == 2;
            a->noAxial = 1;
            for (int k = kMbm; k < kPropertyKindCount; ++k) {
                PropertyBlock* b = findBlock(r, PropertyKind(k), 1 + n % 2);
                a->blocks[memberSlot(PropertyKind(k))] = b;
                ++b->useCount;
            }
        }
        for (Vertex* v = s->vertices; v; v = v->next, ++n) {
            NodeAttrib* a = nodeOf(v);
            a->support[0] = '1';
            a->support[1] = '2';
            a->support[2] = "012"[n % 3];
            a->inclination = 30;
            a->force = findBlock(r, kNff, 2);
            ++a->force->useCount;
            a->prescribedFlag = 1;
            a->prescribed[0] = 0.001;
            a->prescribed[1] = 5; // not fixed: written as 0
            a->spring[1] = 250;
            a->spring[2] = 99; // written only for a spring
        }
        settings.gridStepX = 0.5;
        settings.display = {1, 0, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1};
        settings.resultStep = 0.25;
        settings.stepMode = 1;
        settings.units[3] = 18;
        settings.formats[22] = 5;
        settings.signConvention = {0, 1};
    }
};

// The exact layout: the version lines, the solid record with its counters and
// box, the settings, the eight lists, then a record per entity with its
// attributes and the end marker.
TEST_F(WriteReadTest, LayoutsOfTheEmptyModelAndOfAStraightMemberAreExact) {
    const std::string settingsAndLists = "1 1\n1 0 1 0 1 1 1 0 0 0 0 0 0 0\n0 0\n"
                                         "0 2 5 17 22 35 57 63 76 48\n2 9 14 78 91\n"
                                         "2 2 10 10 1 1 4 1 1 4\n2 0 1 6 0 0 11 11 10 10\n2 2 2\n"
                                         "1 1\n0\n0\n0\n0\n0\n0\n0\n0\n";
    const std::string node = "0 0 0 0 0\n0\n0 0 0 0\n0 0 0\n";
    const std::string box = "-1.00000e+30 +1.00000e+30 -1.00000e+30 +1.00000e+30\n";
    EXPECT_EQ(writeText(s, root(), settings),
              "211\n200\n 1\n 0   1   1   1   1   1   0   0   0   0   0\n"
              "+1.00000e+30 -1.00000e+30\n" +
                  box + settingsAndLists + node + " 0\n");
    // The member's record: header with the curve kind 1 and the edge id, the
    // new vertex, the geometry line "0" of a straight member, the edge box.
    line(0, 0, 3, 0);
    EXPECT_EQ(writeText(s, root(), settings),
              "211\n200\n 1\n 0   1   1   1   1   2   1   0   0   0   0\n"
              "+0.00000e+00 +0.00000e+00\n" +
                  box + settingsAndLists + node +
                  " 1\n 2   1   1   1   1   1   1   2   1   1   1\n+3.00000e+00 +0.00000e+00\n0\n"
                  "+0.00000e+00 +3.00000e+00 +0.00000e+00 +0.00000e+00\n"
                  "0 0 0 0 0\n0\n0\n0\n0\n0\n0\n" +
                  node + " 0\n");
}

TEST_F(WriteReadTest, EverythingRoundTripsToIdenticalBytes) {
    buildFull();
    const std::string dumpBefore = files_test::shape(s);
    const std::string zeroth = writeText(s, root(), settings);
    const std::string first = writeText(s, root(), settings);
    EXPECT_EQ(zeroth, first) << "ZEROTH";
    // The writer rebuilds the model exactly.
    EXPECT_EQ(files_test::shape(s), dumpBefore);
    EXPECT_EQ(mdl_check(s), "");
    files::ReadResult r = readText(first);
    install(r);
    EXPECT_EQ(mdl_check(s), "");
    EXPECT_EQ(files_test::shape(s), dumpBefore); // same ids, orientation, geometry
    const std::string second = writeText(s, root(), settings);
    EXPECT_EQ(second, first);
    // Values and references as set.
    EXPECT_GT(blockCount(root(), kSpf), kSectionTypeCount);
    for (const PropertyBlock* b = root().lists[kSpf]; b; b = b->next) {
        const Section& sec = *sectionOf(const_cast<PropertyBlock*>(b));
        EXPECT_EQ(b->label,
                  "G1_" + std::to_string(sec.type) + "_" + std::to_string(sec.orientation));
    }
    EXPECT_EQ(root().dimLines.size(), 1u);
    EXPECT_EQ(settings.signConvention[0], 0);
    EXPECT_EQ(settings.units[3], 18);
    int prescribedFixedOnly = 0;
    for (Vertex* v = s->vertices; v; v = v->next) {
        const NodeAttrib* a = nodeOf(v);
        EXPECT_STREQ(a->force->label, "F2");
        prescribedFixedOnly += a->prescribed[0] == 0.001 && a->prescribed[1] == 0 &&
                               a->spring[1] == 250 &&
                               (a->support[2] == '2') == (a->spring[2] == 99);
    }
    EXPECT_EQ(prescribedFixedOnly, 5);
    // Use counts follow the references read: F2 is held by the five nodes.
    EXPECT_EQ(findLabel(root(), kNff, "F2")->useCount, 5);
    EXPECT_EQ(findLabel(root(), kNff, "F1")->useCount, 0);
}

TEST_F(WriteReadTest, RoundTripAfterUndoAndRedoSequences) {
    buildFull();
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
        {"212\n200\n", files::ReadStatus::kNewerVersion, 212},
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
         {"portal.kst", "three-storey.kst", "truss.kst", "gable.kst", "portal-v205.kst"}) {
        SCOPED_TRACE(name);
        std::ifstream f(dir + name);
        const std::string text{std::istreambuf_iterator<char>(f), {}};
        files::ReadResult r = readText(text);
        ASSERT_EQ(r.status, files::ReadStatus::kModel);
        EXPECT_EQ(mdl_check(r.model), "");
        EXPECT_GE(blockCount(*r.root, kMaf), 1);
        if (r.version == files::kFileVersion) {
            EXPECT_EQ(writeText(r.model, *r.root, r.settings), text);
        } else {
            EXPECT_EQ(r.version, 205);
        }
        files_test::discard(r.model);
    }
}

class SaveTest : public WriteReadTest {
protected:
    void SetUp() override {
        WriteReadTest::SetUp();
        char tmpl[] = "/tmp/kestrel-save-XXXXXX";
        dir = mkdtemp(tmpl);
    }
    void TearDown() override {
        chmod(dir.c_str(), 0700);
        std::system(("rm -rf " + dir).c_str());
        WriteReadTest::TearDown();
    }
    static std::string slurp(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    std::string dir;
};

TEST_F(SaveTest, SaveWritesAtomicallyAndKeepsPermissions) {
    line(0, 0, 1, 0);
    const std::string path = dir + "/frame.kst";
    ASSERT_EQ(files::saveModelFile(path, s, root(), settings), files::SaveStatus::kSaved);
    EXPECT_EQ(slurp(path), writeText(s, root(), settings));
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
    const std::string before = slurp(path);
    line(0, 0, 0, 1);
    const std::string dump = files_test::shape(s);
    // A read-only directory: no temporary file can be made.
    chmod(dir.c_str(), 0500);
    if (access(dir.c_str(), W_OK) != 0) {
        EXPECT_EQ(files::saveModelFile(path, s, root(), settings), files::SaveStatus::kCannotWrite);
        EXPECT_EQ(slurp(path), before);
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
    EXPECT_EQ(slurp(path), before);
}

} // namespace
