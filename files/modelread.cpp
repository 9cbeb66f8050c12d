// Reader of the model file (every version), the import of property lists and
// the conversion of files older than version 206 to internal units.
//
// Nothing read is trusted: counts only bound loops that stop at the first
// value that cannot be read (memory follows the values read, never a count),
// ids must fit the model's id range and name nothing that exists yet, list
// references that name no block leave the reference empty, and a record whose
// entities do not exist is dropped (the frame model refuses it). Whatever is
// left out that way is noted in the result, so that the program says so.
#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/section.h"
#include "fileio/fileio.h"
#include "files/modelfile.h"
#include "files/textreader.h"
#include "units/numformat.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <unordered_set>
#include <vector>

namespace files {

namespace {

using attrib::AttributeRoot;
using attrib::PropertyBlock;
using attrib::PropertyKind;
using attrib::ValueBlock;

// Version ranges of the application version `v` (0: a file without one).
bool modern(int v) { // 1 to 199 read as the current layout
    return v >= 1 && v <= 199;
}
bool atLeast(int v, int first) {
    return modern(v) || v >= first;
}

// Takes an id (or id counter) read from the file; false beyond the ids a file
// may carry (negative ones are refused later, saying so).
bool toId(int v, int32_t& out) {
    if (v < -MDL_MAX_READ_ID || v > MDL_MAX_READ_ID) return false;
    out = v;
    return true;
}

struct ListReader {
    ListReader(TextReader& in, AttributeRoot& root, int version, bool merge)
        : in(in), root(root), version(version), merge(merge) {}
    TextReader& in;
    AttributeRoot& root;
    int version;
    bool merge;             // import: blocks whose label exists are dropped
    int dimensionsLeft = 0; // dimension lines beyond kMaxDimensionLines, not kept
    // Each list is walked once: appends go to its end, labels to a set.
    std::optional<attrib::BlockAppender> tails[attrib::kPropertyKindCount];
    std::optional<std::unordered_set<std::string>> labels[attrib::kPropertyKindCount];

    // Whether `label` is new to the list of `kind` (always without `merge`);
    // a new label is taken.
    bool newLabel(PropertyKind kind, const char* label) {
        if (!merge) return true;
        if (!labels[kind]) {
            labels[kind].emplace();
            for (PropertyBlock* b = root.lists[kind]; b; b = b->next)
                labels[kind]->insert(b->label);
        }
        return labels[kind]->insert(label).second;
    }
    void append(PropertyKind kind, PropertyBlock* b) {
        if (!tails[kind]) tails[kind].emplace(root, kind);
        tails[kind]->append(b);
    }
    // Appends a block; with `merge`, a block whose label exists is dropped.
    void add(PropertyKind kind, ValueBlock* b) {
        if (!newLabel(kind, b->label)) {
            delete b;
            return;
        }
        append(kind, b);
    }
    static ValueBlock* block(PropertyKind kind, const std::string& label) {
        auto* b = static_cast<ValueBlock*>(attrib::makeBlock(kind));
        std::strncpy(b->label, label.c_str(), attrib::kLabelSize - 1);
        b->values = {};
        return b;
    }
    bool values(double* v, int n) {
        for (int i = 0; i < n; ++i)
            if (!in.readDouble(v[i])) return false;
        return true;
    }
    // One list of a value kind; `n` values per entry, `direction` first when set.
    void valueList(PropertyKind kind, int n, bool direction) {
        int count = 0;
        if (!in.readInt(count)) return;
        for (int i = 0; i < count; ++i) {
            int dir = 0;
            std::string label;
            double v[attrib::kMaxBlockValues] = {};
            if (direction && !in.readInt(dir)) return;
            if (!in.readLabel(label, attrib::kLabelSize - 1) || !values(v, n)) return;
            ValueBlock* b = block(kind, label);
            b->direction = dir == 1 ? 1 : 0;
            for (int j = 0; j < n; ++j) b->values[j] = v[j];
            add(kind, b);
        }
    }
    // Appends a section block (with `merge`, only under a new label).
    void addSection(const std::string& label, const attrib::Section& sec) {
        PropertyBlock* b = attrib::makeBlock(attrib::kSpf);
        std::strncpy(b->label, label.c_str(), attrib::kLabelSize - 1);
        if (!newLabel(attrib::kSpf, b->label)) {
            delete b;
            return;
        }
        *attrib::sectionOf(b) = sec;
        append(attrib::kSpf, b);
    }
    // A generic section (A, I, depth, ygc): the only kind older files hold.
    static attrib::Section generic(double a, double i, double depth, double ygc) {
        attrib::Section sec = attrib::makeSection(attrib::kSecGeneric);
        sec.params = {a, i, depth, ygc};
        return sec;
    }
    void sectionList() {
        int count = 0;
        if (!in.readInt(count)) return;
        for (int i = 0; i < count; ++i) {
            std::string label;
            if (!in.readLabel(label, attrib::kLabelSize - 1)) return;
            if (version >= 206 && version <= 210) {
                double v[4];
                if (!values(v, 4)) return;
                addSection(label, generic(v[0], v[1], v[2], v[3]));
                continue;
            }
            attrib::Section sec;
            if (!in.readInt(sec.type) || !in.readInt(sec.orientation)) return;
            // A type that does not exist has no known parameter line: the
            // rest of the file cannot be trusted.
            if (!attrib::validSectionType(sec.type) || !in.readSection(sec)) {
                in.fail();
                return;
            }
            addSection(label, sec);
        }
    }
    // Files before 206: one list makes a material and a generic section per entry.
    void combinedList() {
        int count = 0;
        if (!in.readInt(count)) return;
        for (int i = 0; i < count; ++i) {
            int number = 0;
            std::string label;
            double v[3] = {};
            if (!in.readInt(number) || !in.readLabel(label, attrib::kLabelSize - 1) ||
                !values(v, 3))
                return;
            ValueBlock* m = block(attrib::kMaf, label);
            m->values[attrib::kElasticity] = v[0];
            add(attrib::kMaf, m);
            addSection(label, generic(v[1], v[2], 0, 0));
        }
    }
    void dimLines() {
        int count = 0;
        if (!in.readInt(count)) return;
        std::vector<attrib::DimensionLine> lines;
        for (int i = 0; i < count; ++i) {
            double v[8];
            if (!values(v, 8)) break;
            // Each line drawn costs far more than its text: beyond the
            // limit lines are read past and counted, not kept.
            if (lines.size() >= kMaxDimensionLines) {
                ++dimensionsLeft;
                continue;
            }
            attrib::DimensionLine d;
            for (int j = 0; j < 4; ++j) d.pts[j] = {v[2 * j], v[2 * j + 1]};
            lines.push_back(d);
        }
        lines.shrink_to_fit();
        if (!merge) root.dimLines = std::move(lines);
    }
    // The lists in file order; `only` (a kind) stops after that kind.
    void all(int only) {
        auto want = [&](PropertyKind k) { return only < 0 || only == k; };
        auto done = [&](PropertyKind k) { return only == k || in.failed(); };
        // Reads a list, or skips it into a scratch root when it is not wanted.
        auto read = [&](PropertyKind k, auto fn) {
            if (want(k)) {
                fn(*this);
            } else {
                AttributeRoot scratch;
                ListReader skip(in, scratch, version, false);
                fn(skip);
            }
        };
        read(attrib::kNff, [](ListReader& r) { r.valueList(attrib::kNff, 3, false); });
        if (done(attrib::kNff)) return;
        if (atLeast(version, 209)) {
            read(attrib::kMbm, [](ListReader& r) { r.valueList(attrib::kMbm, 2, false); });
            if (done(attrib::kMbm)) return;
        }
        read(attrib::kUlf, [](ListReader& r) { r.valueList(attrib::kUlf, 2, true); });
        if (done(attrib::kUlf)) return;
        read(attrib::kLlf, [](ListReader& r) { r.valueList(attrib::kLlf, 4, true); });
        if (done(attrib::kLlf)) return;
        if (atLeast(version, 206)) {
            read(attrib::kTpf, [](ListReader& r) { r.valueList(attrib::kTpf, 2, false); });
            if (done(attrib::kTpf)) return;
            read(attrib::kMaf, [](ListReader& r) { r.valueList(attrib::kMaf, 3, false); });
            if (done(attrib::kMaf)) return;
            read(attrib::kSpf, [](ListReader& r) { r.sectionList(); });
            if (done(attrib::kSpf)) return;
        } else {
            if (want(attrib::kMaf) || want(attrib::kSpf)) {
                combinedList();
            } else {
                AttributeRoot scratch;
                ListReader(in, scratch, version, false).combinedList();
            }
            if (only >= 0) return;
        }
        if (only < 0 && atLeast(version, 208)) dimLines();
    }
};

// The settings part of the model attribute (everything before the lists).
void readSettings(TextReader& in, int v, attrib::AppSettings& s) {
    auto ints = [&](int* out, int n) {
        for (int i = 0; i < n; ++i)
            if (!in.readInt(out[i])) return false;
        return true;
    };
    // Grid steps and display switches.
    int n = 0;
    if (v >= 211 || modern(v))
        n = 14;
    else if (v == 210)
        n = 12;
    else if (v >= 208)
        n = 11;
    else if (v >= 206)
        n = 10;
    else if (v >= 204)
        n = 7;
    if (n > 0) {
        double gx = s.gridStepX, gy = s.gridStepY;
        if (in.readDouble(gx) && in.readDouble(gy)) {
            s.gridStepX = gx;
            s.gridStepY = gy;
        }
        int f[14] = {};
        if (ints(f, n)) {
            auto& d = s.display;
            auto set = [&](std::initializer_list<int> to) {
                int i = 0;
                for (int slot : to) d[slot - 1] = f[i++] != 0 ? 1 : 0;
            };
            d = {};
            if (n == 14) {
                set({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
            } else if (n == 12) {
                set({1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14});
            } else if (n == 11) {
                set({1, 2, 3, 4, 5, 6, 7, 10, 11, 13, 14});
            } else if (n == 10) {
                d[0] = 1;
                set({2, 3, 4, 5, 6, 7, 10, 11, 13, 14});
            } else {
                for (int& x : f) x = x != 0 ? 1 : 0;
                d = {1, f[0], f[1], 0, 1, f[2], f[3], 0, 0, f[4], 0, 0, f[5], f[6]};
            }
        }
    } else {
        s.gridStepX = s.gridStepY = 1;
        s.display = {1, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0};
    }
    // Result step.
    if (modern(v) || v > 209) {
        double step = s.resultStep;
        int mode = s.stepMode;
        if (in.readDouble(step) && in.readInt(mode)) {
            s.resultStep = step;
            s.stepMode = mode == 1 ? 1 : 0;
        }
    } else {
        s.resultStep = 0;
        s.stepMode = 0;
    }
    // Units.
    if (modern(v) || v > 205) {
        int u[units::kUnitSlotCount];
        if (ints(u, units::kUnitSlotCount))
            for (int i = 0; i < units::kUnitSlotCount; ++i)
                s.units[i] = u[i] >= 0 && u[i] < units::kUnitCodeCount ? u[i] : s.units[i];
    } else {
        s.units = {0, 0, 5, 17, 22, 35, 50, 63, 76, 48, 0, 7, 12, 78, 91};
    }
    // Number formats.
    std::array<int, units::kFormatSlotCount> fm = s.formats;
    if (v >= 210 || modern(v)) {
        int f[23];
        if (ints(f, 23)) std::copy(f, f + 23, fm.begin());
    } else if (v >= 206) {
        int f[21];
        if (ints(f, 21)) {
            std::copy(f, f + 6, fm.begin());
            fm[6] = 4;
            fm[7] = f[6];
            fm[8] = f[7];
            fm[9] = 4;
            std::copy(f + 8, f + 21, fm.begin() + 10);
        }
    } else if (v == 205) {
        int f[19];
        if (ints(f, 19)) {
            for (int& x : f)
                if (x > 6 && x < units::kFormatCodeCount) ++x;
            fm[0] = fm[1] = f[0];
            std::copy(f + 2, f + 6, fm.begin() + 2);
            fm[6] = 4;
            fm[7] = f[6];
            fm[8] = f[7];
            fm[9] = 4;
            std::copy(f + 8, f + 16, fm.begin() + 10);
            fm[18] = fm[19] = 10;
            fm[20] = fm[21] = fm[22] = fm[0];
        }
    } else {
        fm = {2, 2, 10, 10, 1, 1, 4, 1, 1, 4, 2, 10, 1, 6, 0, 2, 4, 6, 10, 10, 2, 2, 2};
    }
    // A code that names no format keeps the slot's current one.
    for (int i = 0; i < units::kFormatSlotCount; ++i)
        if (fm[i] >= 0 && fm[i] < units::kFormatCodeCount) s.formats[i] = fm[i];
    // Sign convention.
    if (modern(v) || v >= 211) {
        int a = 1, b = 1;
        if (in.readInt(a) && in.readInt(b)) s.signConvention = {a != 0 ? 1 : 0, b != 0 ? 1 : 0};
    } else {
        s.signConvention = {1, 1};
    }
}

const char* kindName(PropertyKind kind) {
    static const char* const kNames[attrib::kPropertyKindCount] = {
        "nodal force",  "end moment", "uniform load", "linear load",
        "thermal load", "material",   "section"};
    return kNames[kind];
}

// The words of the load case layout: a pattern case, a combination line.
constexpr char kPatternWord[] = "pattern";
constexpr char kCombinationWord[] = "combination";
constexpr std::size_t kWordMax = 32; // longer words are cut: neither of the above

// The reading state of one file.
struct FileReader {
    explicit FileReader(FILE* fp) : in(fp) {}
    TextReader in;
    int version = 0;      // application version
    int blockVersion = 0; // version of the block being read
    AttributeRoot* root = nullptr;
    attrib::AppSettings* settings = nullptr;
    Solid* model = nullptr; // the model of the latest block
    // The blocks of each list by id (id n is entry n - 1): the lists are
    // read into an empty root, so the ids are 1, 2, ... in list order.
    std::vector<PropertyBlock*> byId[attrib::kPropertyKindCount];
    int recordNumber = 0; // of the record being read, 1 for the file's first
    std::string entity;   // "member 7", "node 5": the entity of that record
    std::string problem;  // why record() ended the block ("" at its end marker)
    bool stopped = false; // a block ended early: nothing after it is read
    std::vector<std::string> notes;
    int noteCount = 0;

    void note(std::string text) {
        ++noteCount;
        if (notes.size() < kMaxNotes) notes.push_back(std::move(text));
    }
    std::string recordName() const {
        return "record " + std::to_string(recordNumber) +
               (entity.empty() ? std::string() : " (" + entity + ")");
    }

    PropertyBlock* ref(PropertyKind kind, int id, int holds = 1) {
        if (id <= 0) return nullptr;
        const auto& ids = byId[kind];
        PropertyBlock* b = static_cast<std::size_t>(id) <= ids.size() ? ids[id - 1] : nullptr;
        if (b)
            b->useCount += holds;
        else
            note((entity.empty() ? recordName() : entity) + " refers to " + kindName(kind) + " " +
                 std::to_string(id) + ", which the file does not hold");
        return b;
    }

    // The load case layout: a case list in the model attribute and the
    // loads of each record per case.
    bool caseLayout() const { return version >= 212; }

    // A count of case entries in a record: at most one per case.
    bool caseCount(int n) {
        if (n >= 0 && static_cast<std::size_t>(n) <= root->cases.size()) return true;
        note(entity + " holds loads of " + std::to_string(n) + " load cases; the file has " +
             std::to_string(root->cases.size()));
        in.fail();
        return false;
    }

    // Keeps the loads read for the case at `position` (from 1) of the list;
    // loads of a case the file does not hold, or of a case already given,
    // are left out and said.
    template <typename Loads> void keepCaseLoads(std::vector<Loads>& kept, Loads& l, int position) {
        const bool known =
            position >= 1 && static_cast<std::size_t>(position) <= root->cases.size();
        const int id = known ? root->cases[position - 1].id : 0;
        const bool twice = known && std::any_of(kept.begin(), kept.end(),
                                                [id](const Loads& k) { return k.loadCase == id; });
        if (!known || twice) {
            note(entity + (known ? " gives the loads of load case " : " refers to load case ") +
                 std::to_string(position) + (known ? " twice" : ", which the file does not hold"));
            dropLoads(l);
            return;
        }
        l.loadCase = id;
        if (!l.empty()) kept.push_back(l);
    }
    static void dropLoads(attrib::NodeLoads& l) {
        if (l.force) --l.force->useCount;
    }
    static void dropLoads(attrib::MemberLoads& l) {
        for (PropertyBlock* b : l.blocks)
            if (b) --b->useCount;
    }

    // The case list of the load case layout, after the dimension lines.
    void caseList() {
        std::vector<attrib::LoadCase> cases;
        if (!caseLayout()) {
            attrib::setCases(*root, cases, 0);
            return;
        }
        // A list that cannot be trusted ends the record: the records after
        // it would give their loads to the wrong cases.
        auto refuse = [&] {
            note("the list of load cases cannot be read");
            in.fail();
        };
        int n = 0, active = 0;
        if (!in.readInt(n) || !in.readInt(active) || n < 1 || n > attrib::kMaxLoadCases ||
            active < 1 || active > n)
            return refuse();
        for (int i = 0; i < n; ++i) {
            attrib::LoadCase c;
            c.id = i + 1;
            if (!in.readDouble(c.selfWeight) || !in.readQuoted(c.label, attrib::kLabelSize - 1))
                return refuse();
            // A label no panel would give is refused: the list cannot be trusted.
            if (!attrib::isCaseLabel(c.label) ||
                std::any_of(cases.begin(), cases.end(),
                            [&](const attrib::LoadCase& x) { return x.label == c.label; }))
                return refuse();
            c.pattern = nextWordIs(kPatternWord);
            cases.push_back(std::move(c));
        }
        attrib::setCases(*root, std::move(cases), active);
        combinations();
    }

    // Whether the next word is `word`, which is then read; any other word
    // stays for the next read.
    bool nextWordIs(const char* word) {
        if (in.failed()) return false;
        const long at = in.tell();
        std::string w;
        if (in.readLabel(w, kWordMax) && w == word) return true;
        in.seek(at);
        return false;
    }

    // The combinations after the case list, one line each: the word
    // "combination", the label, the in-envelope flag, then a factor and a
    // case label per case. A line that cannot be read, or whose label is
    // taken, is left out as a whole and said, and reading goes on at the
    // next line, so the records after the list keep their loads.
    void combinations() {
        std::vector<attrib::Combination> combos;
        int line = 0, beyond = 0;
        while (nextWordIs(kCombinationWord)) {
            ++line;
            const long rest = in.tell();
            attrib::Combination c;
            const char* taken = nullptr;
            if (combos.size() >= attrib::kMaxCombinations) {
                ++beyond;
            } else if (!in.readQuoted(c.label, attrib::kLabelSize - 1) ||
                       !attrib::isCaseLabel(c.label)) {
                note("combination " + std::to_string(line) + " cannot be read");
            } else if ((taken = labelTaken(combos, c.label))) {
                note("combination \"" + c.label + "\" has the label of " + taken);
            } else if (!combinationRest(c)) {
                note("combination \"" + c.label + "\" cannot be read");
            } else {
                c.id = root->caseCounter + static_cast<int>(combos.size()) + 1;
                combos.push_back(std::move(c));
                continue;
            }
            in.seek(rest);
            in.skipLines(1);
        }
        if (beyond > 0)
            note("the file holds " + std::to_string(attrib::kMaxCombinations + beyond) +
                 " combinations; those after the first " +
                 std::to_string(attrib::kMaxCombinations) + " were left out");
        attrib::setCombinations(*root, std::move(combos));
        if (nextWordIs(kAnalysisWord)) analysisChoice();
    }

    // The word after "analysis": a word of neither choice is said and the
    // model keeps the linear analysis; reading goes on at the next line.
    void analysisChoice() {
        const long rest = in.tell();
        std::string w;
        if (in.readLabel(w, kWordMax) && (w == kSecondOrderWord || w == kLinearWord) &&
            in.lineEnds()) {
            attrib::setAnalysis(*root, w == kSecondOrderWord ? attrib::kSecondOrderAnalysis
                                                             : attrib::kLinearAnalysis);
            return;
        }
        note("the analysis choice cannot be read (\"" + w + "\"); the linear analysis is used");
        in.seek(rest);
        in.skipLines(1);
    }

    // What already has the label of a combination read, or none.
    const char* labelTaken(const std::vector<attrib::Combination>& combos,
                           const std::string& label) const {
        if (label == attrib::kEnvelopeLabel) return "the envelope";
        if (attrib::findCaseLabel(*root, label)) return "a load case";
        for (const attrib::Combination& x : combos)
            if (x.label == label) return "an earlier combination";
        return nullptr;
    }

    // The rest of a combination line after its label; false when a value
    // cannot be read. Factors that name no case, that no panel accepts or
    // that repeat a case are left out and said.
    bool combinationRest(attrib::Combination& c) {
        int flag = 0;
        if (!in.readInt(flag)) return false;
        c.inEnvelope = flag != 0;
        const std::string of = "combination \"" + c.label + "\"";
        while (!in.lineEnds()) {
            double f = 0;
            std::string name;
            if (!in.readAnyReal(f) || !in.readQuoted(name, attrib::kLabelSize - 1)) return false;
            const attrib::LoadCase* lc = attrib::findCaseLabel(*root, name);
            if (!attrib::isFactor(f))
                note("a factor of " + of + " is not finite or beyond 1e6 in magnitude (" +
                     number(f) + ")");
            else if (!lc)
                note("a factor of " + of + " names no load case (\"" + name + "\")");
            else if (std::any_of(c.factors.begin(), c.factors.end(),
                                 [&](const attrib::CaseFactor& x) { return x.loadCase == lc->id; }))
                note(of + " gives the factor of load case \"" + name + "\" twice");
            else
                c.factors.push_back(attrib::CaseFactor{lc->id, f});
        }
        return true;
    }

    attrib::NodeAttrib* node() {
        auto* a = new attrib::NodeAttrib();
        int flag = 0, code[3] = {0, 0, 0}, dropped = 0;
        double angle = 0;
        if (!in.readInt(flag)) return a;
        if (!atLeast(version, 209) && (!in.readInt(dropped) || !in.readInt(dropped))) return a;
        if (!in.readInt(code[0]) || !in.readInt(code[1]) || !in.readInt(code[2]) ||
            !in.readDouble(angle))
            return a;
        for (int i = 0; i < 3; ++i) a->support[i] = code[i] == 0 ? '0' : code[i] == 2 ? '2' : '1';
        a->inclination = angle;
        // The loads: of each case that loads the node in the load case
        // layout, else of the single case.
        auto loads = [&](attrib::NodeLoads& l) {
            int force = 0, pflag = 0;
            double d[3];
            if (in.readInt(force)) l.force = ref(attrib::kNff, force);
            if (in.readInt(pflag) && in.readDouble(d[0]) && in.readDouble(d[1]) &&
                in.readDouble(d[2])) {
                l.prescribedFlag = pflag == 1 ? 1 : 0;
                for (int i = 0; i < 3; ++i) l.prescribed[i] = d[i];
            }
        };
        if (caseLayout()) {
            int n = 0;
            if (!in.readInt(n) || !caseCount(n)) return a;
            for (int i = 0; i < n; ++i) {
                int position = 0;
                if (!in.readInt(position)) return a;
                attrib::NodeLoads l;
                loads(l);
                keepCaseLoads(a->loads, l, position);
                if (in.failed()) return a;
            }
        } else {
            attrib::NodeLoads l;
            l.loadCase = root->cases.front().id;
            loads(l);
            if (!l.empty()) a->loads.push_back(l);
        }
        if (atLeast(version, 206)) {
            double k[3];
            if (in.readDouble(k[0]) && in.readDouble(k[1]) && in.readDouble(k[2]))
                for (int i = 0; i < 3; ++i) a->spring[i] = k[i];
            static const char* const kSprings[3] = {"KDx", "KDy", "KRz"};
            for (int i = 0; i < 3; ++i)
                if (a->support[i] == '2' && a->spring[i] < 0)
                    note(entity + " has a negative spring stiffness " + kSprings[i] + " (" +
                         number(a->spring[i]) + ")");
        }
        return a;
    }

    attrib::MemberAttrib* member() {
        auto* a = new attrib::MemberAttrib();
        int f[6] = {};
        auto ints = [&](int n) {
            for (int i = 0; i < n; ++i)
                if (!in.readInt(f[i])) return false;
            return true;
        };
        auto flag01 = [](int x) { return x != 0 ? 1 : 0; };
        using attrib::MemberBlock;
        static constexpr PropertyKind kKinds[] = {attrib::kMaf, attrib::kSpf, attrib::kMbm,
                                                  attrib::kUlf, attrib::kLlf, attrib::kTpf};
        // Material and section are the member's; the loads of a layout
        // without cases belong to the single case.
        auto set = [&](MemberBlock slot, int id) {
            PropertyBlock* b = ref(kKinds[slot], id);
            if (slot < attrib::kMemberOwnBlocks)
                a->blocks[slot] = b;
            else if (b)
                attrib::loadsFor(*a, root->cases.front().id).blocks[slot - attrib::kEndMoments] = b;
        };
        if (atLeast(version, 209)) {
            if (!ints(5)) return a;
            a->hingeStart = flag01(f[1]);
            a->hingeEnd = flag01(f[2]);
            a->rigid = flag01(f[3]);
            a->noAxial = flag01(f[4]);
            const int own = caseLayout() ? attrib::kMemberOwnBlocks : attrib::kMemberBlockCount;
            for (int s = 0; s < own; ++s) {
                int id = 0;
                if (!in.readInt(id)) return a;
                set(static_cast<MemberBlock>(s), id);
            }
            if (caseLayout()) {
                int n = 0;
                if (!in.readInt(n) || !caseCount(n)) return a;
                for (int i = 0; i < n; ++i) {
                    int position = 0, id[attrib::kMemberLoadBlocks] = {};
                    if (!in.readInt(position)) return a;
                    for (int& x : id)
                        if (!in.readInt(x)) return a;
                    attrib::MemberLoads l;
                    for (int k = 0; k < attrib::kMemberLoadBlocks; ++k)
                        l.blocks[k] = ref(kKinds[attrib::kEndMoments + k], id[k]);
                    keepCaseLoads(a->loads, l, position);
                }
            }
        } else if (version >= 206) {
            if (!ints(6)) return a;
            a->hingeStart = flag01(f[4]);
            a->hingeEnd = flag01(f[5]);
            for (MemberBlock s : {attrib::kMaterial, attrib::kSection, attrib::kUniform,
                                  attrib::kLinear, attrib::kThermal}) {
                int id = 0;
                if (!in.readInt(id)) return a;
                set(s, id);
            }
        } else {
            if (!ints(5)) return a;
            a->hingeStart = flag01(f[3]);
            a->hingeEnd = flag01(f[4]);
            int id = 0;
            if (!in.readInt(id)) return a;
            set(attrib::kMaterial, id);
            set(attrib::kSection, id);
            for (MemberBlock s : {attrib::kUniform, attrib::kLinear}) {
                if (!in.readInt(id)) return a;
                set(s, id);
            }
        }
        return a;
    }

    // Deletes the model of an earlier block, without recording.
    void dropModel() {
        if (model == nullptr) return;
        const int mode = mdl_recording_mode();
        mdl_set_recording_mode(MODE_OFF);
        mdl_delete_model(model);
        mdl_set_recording_mode(mode);
        model = nullptr;
    }

    void modelAttrib() {
        // A later block replaces the model of an earlier one, whose records
        // refer to the lists about to be replaced; what was noted of it goes too.
        if (model != nullptr) {
            notes.clear();
            noteCount = 0;
        }
        dropModel();
        readSettings(in, version, *settings);
        // Every list read replaces the one in memory.
        attrib::clearBlocks(*root);
        root->dimLines.clear();
        ListReader lists(in, *root, version, false);
        lists.all(-1);
        caseList();
        if (lists.dimensionsLeft > 0)
            note("the file holds " + std::to_string(kMaxDimensionLines + lists.dimensionsLeft) +
                 " dimension lines; those after the first " + std::to_string(kMaxDimensionLines) +
                 " were left out");
        for (int k = 0; k < attrib::kPropertyKindCount; ++k) {
            byId[k].clear();
            for (PropertyBlock* b = root->lists[k]; b; b = b->next) byId[k].push_back(b);
        }
        // Values no panel accepts are kept as read (a save gives them back)
        // but said: the model checks refuse to analyse them.
        for (PropertyBlock* b : byId[attrib::kMaf])
            if (const double e = attrib::valuesOf(b)->values[attrib::kElasticity]; e < 0)
                note(std::string("material ") + b->label +
                     " has a negative modulus of elasticity (" + number(e) + ")");
        for (PropertyBlock* b : byId[attrib::kSpf])
            if (const char* part = attrib::negativeSectionPart(*attrib::sectionOf(b)))
                note(std::string("section ") + b->label + " has a negative " + part);
    }
    static std::string number(double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", v);
        return buf;
    }

    bool point(MPoint& p) { return in.readDouble(p.x) && in.readDouble(p.y); }
    bool box(MBox& b) {
        return in.readDouble(b.xmin) && in.readDouble(b.xmax) && in.readDouble(b.ymin) &&
               in.readDouble(b.ymax);
    }
    // Ends the block for a reason: the file's end when reading hit it.
    bool bad(const std::string& why) {
        problem = in.ended() ? "the file ends inside " + recordName() : recordName() + " " + why;
        return false;
    }
    bool unreadable() { return bad("holds a value that cannot be read"); }

    // The interior points of an edge: gathered as they are read, so a count
    // larger than the file only costs the points that are really there.
    bool geometry(OperatorRecord& r) {
        int n = 0;
        if (!in.readInt(n)) return unreadable();
        if (n < 0) return bad("has a negative point count");
        std::vector<MPoint> pts;
        for (int i = 0; i < n; ++i) {
            MPoint p;
            if (!point(p)) return unreadable();
            pts.push_back(p);
        }
        if (pts.empty()) return true;
        if (r.curve_kind != CURVE_POLYLINE)
            return bad("gives interior points to a straight member");
        r.geometry = mdl_curve_new(static_cast<int32_t>(pts.size()));
        std::copy(pts.begin(), pts.end(), r.geometry->points);
        return true;
    }
    bool edgeBox() const { return blockVersion != 0 && blockVersion != 104 && blockVersion != 105; }

    // Reads one record into `r`; false ends the block, with `problem` set
    // unless the block ended where it should (its end marker, the next
    // block, or the end of a version 0 file).
    bool record(OperatorRecord& r, bool& seenMvfs, int& edgeNumber) {
        r = OperatorRecord{};
        problem.clear();
        entity.clear();
        const long start = in.tell();
        if (blockVersion != 0) {
            int marker = 0;
            if (!in.readInt(marker)) {
                problem = in.ended() ? "the file ends before the end of the model"
                                     : "the value after record " + std::to_string(recordNumber) +
                                           " cannot be read";
                return false;
            }
            if (marker == 0) return false;
        } else if (in.atEnd()) {
            return false;
        }
        ++recordNumber;
        int h[11] = {};
        const int count = blockVersion != 0 ? 11 : 10;
        for (int i = 0; i < count; ++i)
            if (!in.readInt(h[i])) return unreadable();
        if (h[0] == OP_MVFS) {
            if (seenMvfs) { // the next block begins here
                in.seek(start);
                --recordNumber;
                return false;
            }
            seenMvfs = true;
        }
        if (h[0] != OP_MVFS && h[0] != OP_MEV && h[0] != OP_MEF && h[0] != OP_MEKR &&
            h[0] != OP_MVR) // no other operator makes a model
            return bad("has an unknown operator code (" + std::to_string(h[0]) + ")");
        int32_t v[9];
        for (int i = 0; i < 9; ++i)
            if (!toId(h[i], v[i]))
                return bad("holds an id out of range (" + std::to_string(h[i]) + ")");
        r.op = static_cast<int16_t>(v[0]);
        r.solid_id = v[1];
        r.a1 = v[2], r.a2 = v[3], r.a3 = v[4], r.a4 = v[5], r.a5 = v[6], r.a6 = v[7], r.a7 = v[8];
        const bool edge = r.op == OP_MEV || r.op == OP_MEF || r.op == OP_MEKR;
        if (edge) {
            if (h[9] != 0 && h[9] != CURVE_LINE && h[9] != CURVE_POLYLINE)
                return bad("has an unknown member kind (" + std::to_string(h[9]) + ")");
            r.curve_kind = h[9] != 0 ? h[9] : CURVE_LINE;
            int id = blockVersion == 0 ? edgeNumber + 1 : h[10];
            if (blockVersion == 0) ++edgeNumber;
            if (!toId(id, r.edge_id))
                return bad("holds an id out of range (" + std::to_string(id) + ")");
            entity = "member " + std::to_string(id);
        } else {
            entity = "node " + std::to_string(r.a2);
        }
        switch (r.op) {
        case OP_MVFS:
            if (!point(r.point) || !box(r.face_box)) return unreadable();
            if (blockVersion == 0) edgeNumber = 0;
            modelAttrib();
            r.attrib_b = node();
            break;
        case OP_MEV:
            if (!point(r.point)) return unreadable();
            if (!geometry(r)) return false;
            if (edgeBox() && !box(r.edge_box)) return unreadable();
            r.attrib_b = member();
            entity = "node " + std::to_string(r.a6);
            r.attrib_c = node();
            entity = "member " + std::to_string(r.edge_id);
            break;
        case OP_MEF:
            if (!box(r.face_box)) return unreadable();
            if (!geometry(r)) return false;
            if (edgeBox() && !box(r.edge_box)) return unreadable();
            r.attrib_b = member();
            break;
        case OP_MEKR:
            if (!geometry(r)) return false;
            if (edgeBox() && !box(r.edge_box)) return unreadable();
            r.attrib_b = member();
            break;
        default: // OP_MVR
            if (!point(r.point)) return unreadable();
            r.attrib_b = node();
            break;
        }
        return true;
    }

    // Ids the record makes must be new and positive; the frame model checks
    // the entities it names. Why the record cannot be applied, or "".
    static std::string idsTaken(const OperatorRecord& r, Solid* s) {
        if (r.op != OP_MVFS && s == nullptr) return "comes before the first node";
        auto taken = [](const char* what, int32_t id, bool exists) -> std::string {
            if (id <= 0)
                return std::string("has a ") + what + " id that is not positive (" +
                       std::to_string(id) + ")";
            if (exists)
                return std::string("makes ") + what + " " + std::to_string(id) +
                       ", which exists already";
            return "";
        };
        std::string why;
        switch (r.op) {
        case OP_MVFS:
            if (r.a1 <= 0 || r.a2 <= 0 || r.a3 < 0 || r.a4 < 0 || r.a5 < 0)
                why = "holds an id that is not positive";
            break;
        case OP_MEV:
            why = taken("node", r.a6, mdl_vertex_by_id(s, r.a6) != nullptr);
            break;
        case OP_MEF:
            why = taken("face", r.a6, mdl_face_by_id(s, r.a6) != nullptr);
            break;
        case OP_MVR:
            why = taken("node", r.a2, mdl_vertex_by_id(s, r.a2) != nullptr);
            break;
        default:
            break;
        }
        if (why.empty() && r.op != OP_MVFS && r.op != OP_MVR)
            why = taken("member", r.edge_id, mdl_edge_by_id(s, r.edge_id) != nullptr);
        return why;
    }

    // Reads one model block; the solid it built, or none.
    Solid* block() {
        const long start = in.tell();
        if (!in.readInt(blockVersion)) {
            if (!in.ended()) note("the values after the end of the model cannot be read");
            return nullptr;
        }
        if (blockVersion == 0 && !in.seek(start)) return nullptr;
        mdl_set_file_version(blockVersion);
        const int mode = mdl_recording_mode();
        mdl_set_recording_mode(MODE_READ);
        mdl_read_begin();
        Solid* s = nullptr;
        highest = Highest{};
        bool seenMvfs = false;
        int edgeNumber = 0;
        for (;;) {
            // Records are freed by the frame model, which releases whatever
            // the record still holds (a record refused, or one cut short).
            auto* r = new OperatorRecord{};
            bool read = record(*r, seenMvfs, edgeNumber);
            if (read) {
                std::string why = idsTaken(*r, s);
                if (why.empty() && mdl_execute_record(r) != -2)
                    why = "names a node or face that does not exist";
                else if (why.empty() && r->op == OP_MVFS)
                    s = mdl_read_solid();
                if (why.empty()) highest.add(*r);
                if (!why.empty()) note(recordName() + " " + why);
                // A record whose attributes are cut short is the last read.
                if (in.failed()) {
                    unreadable();
                    read = false;
                }
            }
            if (!problem.empty()) {
                note(problem);
                stopped = true;
            }
            mdl_free_record(r);
            if (!read) break;
        }
        if (s != nullptr) {
            raiseCounters(s);
            model = s;
        }
        mdl_set_recording_mode(mode);
        return s;
    }

    // The highest ids of the entities the records of the block made (the
    // block only makes entities), kept as they are made rather than looked
    // for in the entity lists afterwards.
    struct Highest {
        int32_t vertex = 0, face = 0, edge = 0;
        void add(const OperatorRecord& r) {
            switch (r.op) {
            case OP_MVFS:
                face = std::max(face, r.a1);
                vertex = std::max(vertex, r.a2);
                break;
            case OP_MEV:
                vertex = std::max(vertex, r.a6);
                break;
            case OP_MEF:
                face = std::max(face, r.a6);
                break;
            case OP_MVR:
                vertex = std::max(vertex, r.a2);
                break;
            default:
                break;
            }
            if (r.op == OP_MEV || r.op == OP_MEF || r.op == OP_MEKR)
                edge = std::max(edge, r.edge_id);
        }
    } highest;

    // New ids must not meet the ids read: each counter is at least the highest
    // id of its kind (version 0 blocks: exactly that).
    void raiseCounters(Solid* s) const {
        const int32_t hv = highest.vertex, hf = highest.face, he = highest.edge;
        if (blockVersion == 0) mdl_counters_from_ids(s);
        // A counter is at least 1: the file writes it, and 0 in a file means
        // the default of 1000.
        const int32_t one = 1;
        s->vertex_counter = std::max({s->vertex_counter, hv, one});
        s->face_counter = std::max({s->face_counter, hf, one});
        s->edge_counter = std::max({s->edge_counter, he, one});
    }
};

// What makes a frame unfit to open, for the user; "" when no geometric
// fault is known.
std::string faultReason(const MdlGeometryFault& f) {
    char at[80];
    std::snprintf(at, sizeof at, "(%g, %g)", f.at.x, f.at.y);
    const std::string a = std::to_string(f.a), b = std::to_string(f.b);
    const char* const kOpen = ": the file cannot be opened.";
    switch (f.kind) {
    case MdlGeometryFault::kCross:
        return "Members " + a + " and " + b + " cross at " + at + kOpen;
    case MdlGeometryFault::kOverlap:
        return "Members " + a + " and " + b + " overlap up to " + at + kOpen;
    case MdlGeometryFault::kTouch:
        return "Members " + a + " and " + b + " meet at " + at + " without a node" + kOpen;
    case MdlGeometryFault::kDegenerate:
        return "Member " + a + " or " + b + " has no length at " + at + kOpen;
    case MdlGeometryFault::kVertexInEdge:
        return "Node " + a + " lies on member " + b + " at " + at + kOpen;
    case MdlGeometryFault::kNone:
        break;
    }
    return "";
}

} // namespace

ReadResult readModel(FILE* fp, const attrib::AppSettings& base) {
    ReadResult res;
    res.settings = base;
    if (fp == nullptr) {
        res.status = ReadStatus::kCannotOpen;
        return res;
    }
    res.root = std::make_unique<AttributeRoot>();
    FileReader fr(fp);
    fr.root = res.root.get();
    fr.settings = &res.settings;
    const long start = fr.in.tell();
    if (!fr.in.readInt(fr.version) || fr.version < 0) return res;
    if (fr.version > kFileVersion) {
        res.version = fr.version;
        res.status = ReadStatus::kNewerVersion;
        return res;
    }
    res.version = fr.version;
    if (fr.version == 0 && !fr.in.seek(start)) return res;
    const int fileVersion = mdl_file_version();
    // Blocks are read until one builds nothing; the latest model stands.
    while (!fr.stopped && fr.block() != nullptr) {}
    mdl_set_file_version(fileVersion);
    // The operators keep the topology sound whatever the records say, but
    // altered coordinates can make members cross or overlap: such a frame is
    // refused as a whole rather than opened half broken.
    MdlGeometryFault fault;
    if (fr.model != nullptr && !mdl_check_geometry(fr.model, &fault).empty()) {
        res.reason = faultReason(fault);
        fr.dropModel();
    }
    Solid* model = fr.model;
    if (model == nullptr) {
        res.root = std::make_unique<AttributeRoot>();
        res.settings = base;
        return res;
    }
    res.model = model;
    res.status = ReadStatus::kModel;
    res.notes = std::move(fr.notes);
    res.noteCount = fr.noteCount;
    return res;
}

std::string notesSummary(const ReadResult& r, std::size_t max) {
    std::string text;
    const std::size_t shown = std::min(max, r.notes.size());
    for (std::size_t i = 0; i < shown; ++i) text += (i ? "; " : "") + r.notes[i];
    if (static_cast<std::size_t>(r.noteCount) > shown)
        text += " (and " + std::to_string(r.noteCount - shown) + " more)";
    return text;
}

ReadResult readModelFile(const std::string& path, const attrib::AppSettings& base) {
    FILE* fp = fileio::openRegular(path);
    ReadResult res = readModel(fp, base);
    if (fp) std::fclose(fp);
    return res;
}

ImportStatus importProperties(const std::string& path, AttributeRoot& root,
                              attrib::AppSettings& settings, int kind, int* version) {
    FILE* fp = fileio::openRegular(path);
    if (fp == nullptr) return ImportStatus::kCannotOpen;
    TextReader in(fp);
    int v = 0, second = 0;
    if (!in.readInt(v)) v = 0;
    if (!in.readInt(second)) second = 0;
    if (version) *version = v;
    if (v > kFileVersion) {
        std::fclose(fp);
        return ImportStatus::kNewerVersion;
    }
    if (v <= 0) {
        v = 0;
        second = 0;
    }
    // The model attribute follows the version lines, the first record's
    // marker and header, and its point and face box.
    in.seek(0);
    in.skipLines(second != 0 ? 6 : 3);
    attrib::AppSettings scratch = settings;
    readSettings(in, v, kind < 0 ? settings : scratch);
    ListReader(in, root, v, true).all(kind);
    std::fclose(fp);
    return ImportStatus::kImported;
}

// ---- Conversion of files older than version 206 --------------------------------

void convertToInternal(Solid* model, AttributeRoot& root, const attrib::AppSettings& s) {
    auto conv = [&](int slot, double v) { return units::toInternal(s.units[slot], v); };
    // Temperature changes are differences: no offset.
    auto convDiff = [&](int slot, double v) { return conv(slot, v) - conv(slot, 0.0); };
    const int mode = mdl_recording_mode();
    mdl_set_recording_mode(MODE_OFF);
    mdl_clear_history();
    if (model) {
        for (Vertex* v = model->vertices; v; v = v->next) {
            if (v->x == 1e30 && v->y == -1e30) continue; // the dummy vertex of an empty model
            v->x = conv(units::kLengthUnit, v->x);
            v->y = conv(units::kLengthUnit, v->y);
            if (auto* a = attrib::nodeOf(v)) {
                for (attrib::NodeLoads& l : a->loads) {
                    l.prescribed[0] = conv(units::kDisplacementUnit, l.prescribed[0]);
                    l.prescribed[1] = conv(units::kDisplacementUnit, l.prescribed[1]);
                    l.prescribed[2] = conv(units::kRotationUnit, l.prescribed[2]);
                }
                a->spring[0] = conv(units::kTranslatSpringUnit, a->spring[0]);
                a->spring[1] = conv(units::kTranslatSpringUnit, a->spring[1]);
                a->spring[2] = conv(units::kRotationSpringUnit, a->spring[2]);
            }
        }
        for (Edge* e = model->edges; e; e = e->next) {
            if (e->geometry)
                for (int i = 0; i < e->geometry->count; ++i) {
                    MPoint& p = e->geometry->points[i];
                    p = {conv(units::kLengthUnit, p.x), conv(units::kLengthUnit, p.y)};
                }
            e->box = mdl_curve_ops(e->curve_kind)->box(e);
        }
        for (Face* f = model->faces; f; f = f->next)
            if (f->outer) mdl_recompute_face_box(f);
    }
    using namespace units;
    static const int kSlots[attrib::kPropertyKindCount][4] = {
        {kForceUnit, kForceUnit, kMomentUnit, -1},
        {kMomentUnit, kMomentUnit, -1, -1},
        {kDistribLoadUnit, kDistribLoadUnit, -1, -1},
        {kDistribLoadUnit, kDistribLoadUnit, kDistribLoadUnit, kDistribLoadUnit},
        {kTemperatureUnit, kTemperatureUnit, -1, -1},
        {kElasticParamUnit, kSpecificWeightUnit, kThermalExpanUnit, -1},
        {kSectionAreaUnit, kSectionInertiaUnit, kSectionSizeUnit, kSectionSizeUnit},
    };
    for (PropertyBlock* b = root.lists[attrib::kSpf]; b; b = b->next)
        if (attrib::Section* sec = attrib::sectionOf(b))
            attrib::convertSectionParams(*sec, s.units[kSectionSizeUnit], s.units[kSectionAreaUnit],
                                         s.units[kSectionInertiaUnit]);
    for (int k = 0; k < attrib::kPropertyKindCount; ++k)
        for (PropertyBlock* b = root.lists[k]; b; b = b->next)
            if (ValueBlock* vb = attrib::valuesOf(b))
                for (int i = 0; i < 4; ++i) {
                    const int slot = kSlots[k][i];
                    if (slot < 0) continue;
                    vb->values[i] = k == attrib::kTpf ? convDiff(slot, vb->values[i])
                                                      : conv(slot, vb->values[i]);
                }
    for (attrib::DimensionLine& d : root.dimLines)
        for (attrib::DimPoint& p : d.pts) p = {conv(kLengthUnit, p.x), conv(kLengthUnit, p.y)};
    mdl_set_recording_mode(mode);
}

} // namespace files
