// Thousands of corrupted copies of model files, from fixed seeds: cut at
// every line, numbers changed, huge counts, negative and foreign ids, list
// references that name no block, words for numbers. Every outcome is a
// model that passes the frame checks and saves again, " Bad Kestrel file. "
// or the newer-version refusal; memory while reading stays within a small
// multiple of the file's size.
#include "tests/files/fixture.h"
#include "tests/support/golden.h"

#include <atomic>
#include <cstdlib>
#include <dirent.h>
#include <new>
#include <random>
#include <sstream>

namespace {

// Bytes allocated through operator new while `counting` is set, and the peak.
std::atomic<bool> counting{false};
std::size_t liveBytes = 0, peakBytes = 0;

} // namespace

// The sanitizers bring their own allocator: the count is kept only without them.
#if defined(__SANITIZE_ADDRESS__)
#define KESTREL_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTREL_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef KESTREL_COUNT_ALLOCATIONS
#define KESTREL_COUNT_ALLOCATIONS 1
#endif

#if KESTREL_COUNT_ALLOCATIONS
void* operator new(std::size_t n) {
    void* p = std::malloc(n + 16);
    if (p == nullptr) throw std::bad_alloc();
    *static_cast<std::size_t*>(p) = n;
    if (counting) {
        liveBytes += n;
        if (liveBytes > peakBytes) peakBytes = liveBytes;
    }
    return static_cast<char*>(p) + 16;
}
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    char* base = static_cast<char*>(p) - 16;
    if (counting) liveBytes -= std::min(liveBytes, *reinterpret_cast<std::size_t*>(base));
    std::free(base);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
#endif

namespace {

using files_test::readText;

std::vector<std::string> seeds() {
    std::vector<std::string> texts;
    for (const std::string& dir : {std::string(KESTREL_TEST_DATA) + "/files",
                                   std::string(KESTREL_TEST_DATA) + "/../../examples"})
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d)) {
                const std::string n = e->d_name;
                if (n.size() > 4 && n.substr(n.size() - 4) == ".kst")
                    texts.push_back(kestrel_test::readText(dir + "/" + n));
            }
            closedir(d);
        }
    return texts;
}

std::vector<std::string> tokens(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> t;
    for (std::string w; in >> w;) t.push_back(w);
    return t;
}

std::string join(const std::vector<std::string>& t) {
    std::string out;
    for (const std::string& w : t) out += w + "\n";
    return out;
}

class RobustnessTest : public files_test::ModelFileTest {
protected:
    // Reads one corrupted text and checks the outcome; counts the kinds.
    void check(const std::string& text) {
        peakBytes = liveBytes = 0;
        counting = true;
        files::ReadResult r = readText(text);
        counting = false;
        // The frame model indexes entities by id in tables that follow the
        // number of entities, not the ids: a huge id read costs no table.
        ASSERT_LE(peakBytes, 64 * text.size() + 3 * 32768 * sizeof(void*) + 65536) << text;
        switch (r.status) {
        case files::ReadStatus::kModel: {
            ++models;
            ASSERT_EQ(mdl_check(r.model), "") << text;
            // What was read saves again.
            const std::string again = files_test::writeText(r.model, *r.root, r.settings);
            // In the layout of one case, or of several.
            ASSERT_TRUE(again.starts_with("211\n") || again.starts_with("212\n")) << again;
            files_test::discard(r.model);
            break;
        }
        case files::ReadStatus::kBadFile:
            ++bad;
            ASSERT_EQ(r.model, nullptr);
            break;
        case files::ReadStatus::kNewerVersion:
            ++newer;
            break;
        default:
            FAIL() << "a string cannot fail to open";
        }
        // Nothing but the model read was made: the frame being edited stands.
        ASSERT_EQ(mdl_first_solid(), s);
    }
    int models = 0, bad = 0, newer = 0;
};

TEST_F(RobustnessTest, CorruptedCopiesGiveAModelOrAClearRefusal) {
    const std::vector<std::string> texts = seeds();
    ASSERT_GE(texts.size(), 13u);
    std::mt19937 rng(20261206);
    const char* replacements[] = {
        "0", "-1",    "-32768", "32767", "99999999999", "2147483647", "1000000000", "nan",  "inf",
        "x", "1e308", "-7",     "213",   "3",           "1.5",        "",           "0 0 0"};
    int cases = 0;
    for (const std::string& text : texts) {
        // Cut at every line.
        for (std::size_t pos = text.find('\n'); pos != std::string::npos;
             pos = text.find('\n', pos + 1), ++cases)
            check(text.substr(0, pos + 1));
        // One or three values replaced, or a value dropped or doubled.
        const std::vector<std::string> t = tokens(text);
        for (int k = 0; k < 400; ++k, ++cases) {
            std::vector<std::string> m = t;
            const int edits = k % 3 == 0 ? 3 : 1;
            for (int e = 0; e < edits; ++e) {
                const std::size_t i = rng() % m.size();
                switch (rng() % 4) {
                case 0:
                    m.erase(m.begin() + i);
                    break;
                case 1:
                    m.insert(m.begin() + i, m[i]);
                    break;
                default:
                    m[i] = replacements[rng() % std::size(replacements)];
                }
            }
            check(join(m));
        }
    }
    EXPECT_GT(cases, 3000);
    // Each outcome occurs.
    EXPECT_GT(models, 100);
    EXPECT_GT(bad, 100);
    EXPECT_GT(newer, 0);
}

// A count far beyond the file allocates nothing for it.
TEST_F(RobustnessTest, HugeCountsCostOnlyWhatIsRead) {
    const std::string head = "211\n200\n 1\n 0 1 1 1 1 5 3 0 0 0 0\n0 0\n0 0 0 0\n";
    for (const char* tail : {"1 1\n2000000000\n", "1 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n0 0\n"
                                                  "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
                                                  "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
                                                  "1 1\n2147483647\nA 1 2 3\n"})
        check(head + tail);
    // An edge whose geometry claims two billion points.
    const std::string edge = head + "1 1\n1 0 1 0 1 0 1 0 0 0 0 0 0 0\n0 0\n"
                                    "0 0 5 17 22 35 50 63 76 48 0 7 12 78 91\n"
                                    "2 2 10 10 1 1 4 1 1 4 2 10 1 6 0 2 4 6 10 10 2 2 2\n1 1\n"
                                    "0\n0\n0\n0\n0\n0\n0\n0\n"
                                    "0 0 0 0 0\n0\n0 0 0 0\n0 0 0\n"
                                    " 1\n 2 1 1 1 1 1 1 2 1 2 1\n1 1\n2000000000\n1 1\n";
    check(edge);
    // Each file still builds the first node: its record was complete.
    EXPECT_EQ(models, 3);
}

// Records that are sound topologically but put members across each other:
// refused as a whole.
TEST_F(RobustnessTest, MembersThatCrossOverlapOrPassThroughANodeAreRefused) {
    std::string head = files_test::writeText(s, attrib::root(), settings);
    head.replace(head.find("+1.00000e+30 -1.00000e+30"), 25, "0 0");
    head.erase(head.rfind(" 0\n"));
    const std::string node = "0 0 0 0 0\n0\n0 0 0 0\n0 0 0\n";
    const std::string member = "0 0 0 0 0\n0\n0\n0\n0\n0\n0\n";
    // Member 1 from (0,0) to (2,2); a lone node at p, then member 2 from it to q.
    auto file = [&](const char* p, const char* q) {
        std::string t = head + " 1\n 2 1 1 1 1 1 1 2 1 1 1\n2 2\n0\n0 2 0 2\n" + member + node;
        t += " 1\n10 1 1 3 0 0 0 0 0 0 0\n" + std::string(p) + "\n" + node;
        if (q)
            t += " 1\n 2 1 1 1 3 3 3 4 3 1 2\n" + std::string(q) + "\n0\n0 0 0 0\n" + member + node;
        return t + " 0\n";
    };
    const struct {
        const char* p;
        const char* q;
        files::ReadStatus status;
    } cases[] = {
        {"0 2", "2 0", files::ReadStatus::kBadFile},   // crossing
        {"3 3", "1 1", files::ReadStatus::kBadFile},   // overlapping
        {"1 1", nullptr, files::ReadStatus::kBadFile}, // a node inside member 1
        {"-1 5", "-1 9", files::ReadStatus::kModel},   // apart
        {"5 -1", "9 -1", files::ReadStatus::kModel},
    };
    for (const auto& c : cases) {
        files::ReadResult r = readText(file(c.p, c.q));
        EXPECT_EQ(r.status, c.status) << c.p;
        if (r.model) {
            EXPECT_EQ(mdl_check(r.model), "");
            files_test::discard(r.model);
        }
    }
}

} // namespace
