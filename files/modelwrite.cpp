// Writer of the model file and its save through the atomic writer.
#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/section.h"
#include "fileio/fileio.h"
#include "files/modelfile.h"
#include "units/realtext.h"

#include <algorithm>
#include <unordered_map>

namespace files {

namespace {

using attrib::AttributeRoot;
using attrib::PropertyBlock;
using attrib::PropertyKind;

// The number by which records refer to each block: its position in its list.
using Positions = std::unordered_map<const PropertyBlock*, int>;

struct Writer {
    FILE* fp;
    const AttributeRoot& root;
    const attrib::AppSettings& settings;
    Positions positions;
    bool cases = false; // the load case layout (not a single case: see isSingleCase)
    bool ok = true;

    // Reals take the shortest text that reads back to the same double.
    void put(const char* fmt, const auto&... args) {
        if (std::fputs(units::formatRecord(fmt, args...).c_str(), fp) < 0) ok = false;
    }
    int idOf(const PropertyBlock* b) const {
        if (b == nullptr) return 0;
        auto it = positions.find(b);
        return it == positions.end() ? 0 : it->second;
    }
    void point(MPoint p) { put("%+.5e %+.5e\n", p.x, p.y); }
    void box(const MBox& b) { put("%+.5e %+.5e %+.5e %+.5e\n", b.xmin, b.xmax, b.ymin, b.ymax); }
    void geometry(const OperatorRecord* r) {
        const int n = r->geometry ? r->geometry->count : 0;
        put("%d\n", n);
        for (int i = 0; i < n; ++i) point(r->geometry->points[i]);
    }
    int casePosition(int id) const; // 1-based position of a case in the list, 0 for none
    void lists();
    void modelAttrib();
    void nodeAttrib(AttribRef ref);
    void memberAttrib(AttribRef ref);
    void record(const OperatorRecord* r);
};

void Writer::lists() {
    using attrib::valuesOf;
    for (int k = 0; k < attrib::kPropertyKindCount; ++k) {
        const auto kind = static_cast<PropertyKind>(k);
        put("%d\n", attrib::blockCount(root, kind));
        for (const PropertyBlock* b = root.lists[k]; b; b = b->next) {
            const attrib::ValueBlock* vb = valuesOf(b);
            const auto v = vb ? vb->values : std::array<double, attrib::kMaxBlockValues>{};
            const int dir = vb ? vb->direction : 0;
            switch (kind) {
            case attrib::kNff:
                put("%s %g %g %g\n", b->label, v[0], v[1], v[2]);
                break;
            case attrib::kMbm:
            case attrib::kTpf:
                put("%s %g %g\n", b->label, v[0], v[1]);
                break;
            case attrib::kUlf:
                put("%d %s %g %g\n", dir, b->label, v[0], v[1]);
                break;
            case attrib::kLlf:
                put("%d %s %g %g %g %g\n", dir, b->label, v[0], v[1], v[2], v[3]);
                break;
            case attrib::kMaf:
                put("%s %g %g %g\n", b->label, v[0], v[1], v[2]);
                break;
            default: { // sections: type, orientation, then the type's parameter line
                const attrib::Section* sec = attrib::sectionOf(const_cast<PropertyBlock*>(b));
                const attrib::Section generic = attrib::makeSection(attrib::kSecGeneric);
                const attrib::Section& x = sec ? *sec : generic;
                put("%s %d %d\n", b->label, x.type, x.orientation);
                if (!attrib::writeSectionParams(x, fp)) ok = false;
                break;
            }
            }
        }
    }
    put("%d\n", static_cast<int>(root.dimLines.size()));
    for (const attrib::DimensionLine& d : root.dimLines)
        put("%g %g %g %g %g %g %g %g\n", d.pts[0].x, d.pts[0].y, d.pts[1].x, d.pts[1].y, d.pts[2].x,
            d.pts[2].y, d.pts[3].x, d.pts[3].y);
    if (!cases) return;
    // The load cases: their count and the position of the active one, then
    // each case's self-weight factor and label, and "pattern" for a pattern
    // case.
    put("%d %d\n", static_cast<int>(root.cases.size()),
        attrib::caseIndex(root, root.activeCase) + 1);
    for (const attrib::LoadCase& c : root.cases) {
        put("%g ", c.selfWeight);
        put(c.pattern ? "'%s' pattern\n" : "'%s'\n", c.label.c_str());
    }
    // One line per combination: its label, the in-envelope flag, then each
    // factor with the label of its case, in the order of the case list.
    for (const attrib::Combination& c : root.combos) {
        put("combination '%s' %d", c.label.c_str(), c.inEnvelope ? 1 : 0);
        for (const attrib::CaseFactor& f : c.factors)
            if (const attrib::LoadCase* lc = attrib::findCase(root, f.loadCase)) {
                put(" %g ", f.factor);
                put("'%s'", lc->label.c_str());
            }
        put("\n");
    }
    // The second-order choice; the linear one, the default, writes nothing.
    if (attrib::secondOrder(root)) put("%s %s\n", kAnalysisWord, kSecondOrderWord);
}

int Writer::casePosition(int id) const {
    return attrib::caseIndex(root, id) + 1;
}

void Writer::modelAttrib() {
    const attrib::AppSettings& s = settings;
    put("%g %g\n", s.gridStepX, s.gridStepY);
    for (int i = 0; i < attrib::kDisplayFlagCount; ++i)
        put(i + 1 < attrib::kDisplayFlagCount ? "%d " : "%d\n", s.display[i]);
    put("%g %d\n", s.resultStep, s.stepMode);
    for (int i = 0; i < units::kUnitSlotCount; ++i)
        put(i == 9 || i + 1 == units::kUnitSlotCount ? "%d\n" : "%d ", s.units[i]);
    for (int i = 0; i < units::kFormatSlotCount; ++i)
        put(i == 9 || i == 19 || i + 1 == units::kFormatSlotCount ? "%d\n" : "%d ", s.formats[i]);
    put("%d %d\n", s.signConvention[0], s.signConvention[1]);
    lists();
}

void Writer::nodeAttrib(AttribRef ref) {
    const attrib::NodeAttrib def;
    const auto* a = ref ? static_cast<const attrib::NodeAttrib*>(ref) : &def;
    int code[3];
    for (int i = 0; i < 3; ++i) code[i] = a->support[i] == '0' ? 0 : a->support[i] == '2' ? 2 : 1;
    put("%d %d %d %d %g\n", 0, code[0], code[1], code[2], a->inclination);
    // The prescribed values of the fixed directions only.
    auto prescribed = [&](const attrib::NodeLoads& l, double d[3]) {
        for (int i = 0; i < 3; ++i) d[i] = l.prescribedFlag && code[i] == 1 ? l.prescribed[i] : 0.0;
    };
    double d[3];
    if (cases) {
        // The cases that load the node, each with its position in the list.
        int n = 0;
        for (const attrib::NodeLoads& l : a->loads) n += !l.empty() && casePosition(l.loadCase) > 0;
        put("%d\n", n);
        for (const attrib::NodeLoads& l : a->loads) {
            if (l.empty() || casePosition(l.loadCase) <= 0) continue;
            prescribed(l, d);
            put("%d %d %d ", casePosition(l.loadCase), idOf(l.force), l.prescribedFlag ? 1 : 0);
            put("%g %g %g\n", d[0], d[1], d[2]);
        }
    } else {
        static const attrib::NodeLoads kNone;
        const attrib::NodeLoads* found = attrib::loadsOf(*a, root.cases.front().id);
        const attrib::NodeLoads& l = found ? *found : kNone;
        prescribed(l, d);
        put("%d\n", idOf(l.force));
        put("%d ", l.prescribedFlag ? 1 : 0);
        put("%g %g %g\n", d[0], d[1], d[2]);
    }
    double k[3];
    for (int i = 0; i < 3; ++i) k[i] = code[i] == 2 ? a->spring[i] : 0.0;
    put("%g %g %g\n", k[0], k[1], k[2]);
}

void Writer::memberAttrib(AttribRef ref) {
    const attrib::MemberAttrib def;
    const auto* a = ref ? static_cast<const attrib::MemberAttrib*>(ref) : &def;
    put("%d %d %d %d %d\n", 0, a->hingeStart, a->hingeEnd, a->rigid, a->noAxial);
    for (const PropertyBlock* b : a->blocks) put("%d\n", idOf(b));
    if (cases) {
        // The cases that load the member: position, then the four load blocks.
        int n = 0;
        for (const attrib::MemberLoads& l : a->loads)
            n += !l.empty() && casePosition(l.loadCase) > 0;
        put("%d\n", n);
        for (const attrib::MemberLoads& l : a->loads) {
            if (l.empty() || casePosition(l.loadCase) <= 0) continue;
            put("%d %d %d %d %d\n", casePosition(l.loadCase), idOf(l.blocks[0]), idOf(l.blocks[1]),
                idOf(l.blocks[2]), idOf(l.blocks[3]));
        }
    } else {
        const int only = root.cases.front().id;
        for (int slot = attrib::kEndMoments; slot < attrib::kMemberBlockCount; ++slot)
            put("%d\n", idOf(attrib::loadBlock(*a, slot, only)));
    }
}

void Writer::record(const OperatorRecord* r) {
    const bool hasEdge = r->op == OP_MEV || r->op == OP_MEF || r->op == OP_MEKR;
    put("%2d\n", 1);
    // The file holds one model: its solid is number 1 whatever the session
    // numbered it, so that saving the same frame gives the same bytes.
    put("%2d %3d %3d %3d %3d %3d %3d %3d %3d %3d %3d\n", r->op, 1, r->a1, r->a2, r->a3, r->a4,
        r->a5, r->a6, r->a7, hasEdge ? (r->curve_kind != 0 ? r->curve_kind : 1) : 0,
        hasEdge ? r->edge_id : 0);
    switch (r->op) {
    case OP_MVFS:
        point(r->point);
        box(r->face_box);
        modelAttrib(); // the face record is empty
        nodeAttrib(r->attrib_b);
        break;
    case OP_MEV:
        point(r->point);
        geometry(r);
        box(r->edge_box);
        memberAttrib(r->attrib_b);
        nodeAttrib(r->attrib_c);
        break;
    case OP_MEF:
        box(r->face_box);
        geometry(r);
        box(r->edge_box);
        memberAttrib(r->attrib_b);
        break;
    case OP_MEKR:
        geometry(r);
        box(r->edge_box);
        memberAttrib(r->attrib_b);
        break;
    case OP_MVR:
        point(r->point);
        nodeAttrib(r->attrib_b);
        break;
    default:
        break;
    }
}

// Puts a doubly linked entity list in the order of the ids. The order of the
// lists is not part of the frame, but it decides the order in which the model
// is dismantled, hence the order of the records; sorted lists make the file a
// function of the frame alone (saving twice, or saving what was opened, gives
// the same bytes).
template <typename T> void sortById(T*& head) {
    std::vector<T*> items;
    for (T* x = head; x; x = x->next) items.push_back(x);
    std::stable_sort(items.begin(), items.end(), [](T* a, T* b) { return a->id < b->id; });
    head = items.empty() ? nullptr : items.front();
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i]->prev = i > 0 ? items[i - 1] : nullptr;
        items[i]->next = i + 1 < items.size() ? items[i + 1] : nullptr;
    }
}

} // namespace

bool writeModel(FILE* fp, Solid* model, const AttributeRoot& root,
                const attrib::AppSettings& settings) {
    if (fp == nullptr || model == nullptr || model->vertices == nullptr) return false;
    Writer w{fp, root, settings, {}};
    for (int k = 0; k < attrib::kPropertyKindCount; ++k) {
        int n = 0;
        for (const PropertyBlock* b = root.lists[k]; b; b = b->next) w.positions[b] = ++n;
    }
    // A model of one case without self-weight, pattern flag or combination,
    // analysed linearly, keeps the layout of the version before load cases,
    // byte for byte.
    w.cases = !attrib::isSingleCase(root) || attrib::secondOrder(root);
    w.put("%d\n", w.cases ? kFileVersion : kSingleCaseVersion);
    sortById(model->vertices);
    sortById(model->edges);
    sortById(model->faces);
    const int mode = mdl_recording_mode();
    OperatorRecord* log = mdl_save_dismantle(model);
    w.put("%3d\n", kBlockVersion);
    for (const OperatorRecord* r = log; r; r = r->next) w.record(r);
    w.put("%2d\n", 0);
    mdl_save_replay();
    mdl_set_recording_mode(mode);
    if (std::fflush(fp) != 0 || std::ferror(fp)) w.ok = false;
    return w.ok;
}

std::string withModelExtension(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    std::string base = dot != std::string::npos && dot >= start ? path.substr(0, dot) : path;
    return base + ".kst";
}

SaveStatus saveModelFile(const std::string& path, Solid* model, const AttributeRoot& root,
                         const attrib::AppSettings& settings, bool replaceProtected) {
    fileio::AtomicFile file(path, replaceProtected ? fileio::AtomicFile::Replace::kAny
                                                   : fileio::AtomicFile::Replace::kWritable);
    if (!file.ok()) return SaveStatus::kCannotWrite;
    const bool written = writeModel(file.stream(), model, root, settings);
    return written && file.commit() ? SaveStatus::kSaved : SaveStatus::kCannotWrite;
}

} // namespace files
