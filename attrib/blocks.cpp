// Property block lists and their operations.
#include "attrib/blocks.h"

#include "attrib/cases.h"
#include "attrib/section.h"

#include "units/units.h"

#include <cctype>
#include <cstring>
#include <vector>

namespace attrib {

namespace {

// The unit code with this label (ISO 8859-1), -1 when none has it.
int unitCode(const char* label) {
    for (int c = 0; c < units::kUnitCodeCount; ++c)
        if (std::strcmp(units::unitLabel(c), label) == 0) return c;
    return -1;
}

// A blank, another white-space character or a control byte: none may stand
// in a label, whose file record ends at the first blank.
bool hasBlank(std::string_view s) {
    for (char c : s) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isspace(u) || u < 0x20 || u == 0x7F) return true;
    }
    return false;
}

void setLabel(PropertyBlock* b, std::string_view label) {
    const std::string s = storedLabel(label);
    std::memset(b->label, 0, sizeof b->label);
    std::memcpy(b->label, s.data(), s.size());
}

// Checks a label for New and Rename in its stored form. A block's own label
// counts as taken too: renaming a block to its label changes nothing.
LabelResult checkLabel(const AttributeRoot& r, PropertyKind kind, std::string_view label) {
    const std::string s = storedLabel(label);
    if (s.empty()) return kLabelEmpty;
    if (hasBlank(s)) return kLabelBlank;
    if (findLabel(r, kind, s)) return kLabelTaken;
    return kLabelDone;
}

// Unlinks and frees every block for which `drop` holds.
template <class Pred> int unlinkIf(AttributeRoot& r, PropertyKind kind, Pred drop) {
    int removed = 0;
    PropertyBlock** link = &r.lists[kind];
    while (*link) {
        PropertyBlock* b = *link;
        if (drop(b)) {
            *link = b->next;
            delete b;
            ++removed;
        } else {
            link = &b->next;
        }
    }
    return removed;
}

// Hands a changed copy to the frame model; a copy it refuses is released.
template <class Entity>
bool setRecord(int (*set)(Entity*, AttribRef), Entity* x, int kind, AttribRef copy) {
    if (set(x, copy) == -2) return true;
    hooks().release_attrib(kind, copy);
    return false;
}

bool isNodeKind(PropertyKind kind) {
    return kind == kNff;
}

} // namespace

ValueBlock* valuesOf(PropertyBlock* b) {
    return dynamic_cast<ValueBlock*>(b);
}

const ValueBlock* valuesOf(const PropertyBlock* b) {
    return dynamic_cast<const ValueBlock*>(b);
}

PropertyBlock* makeBlock(PropertyKind kind) {
    if (kind == kSpf) return new SectionBlock(); // a Generic section, all 0
    auto* b = new ValueBlock();
    if (kind == kMaf) b->values = {100000000, 10, 0.00001, 0};
    return b;
}

const char* presetLabel(MaterialPreset preset) {
    return preset == kSteel ? "Steel" : "Concrete";
}

bool isCustomaryLength(int lengthUnitCode) {
    const char* label = units::unitLabel(lengthUnitCode);
    return std::strcmp(label, "ft") == 0 || std::strcmp(label, "in") == 0;
}

std::array<double, 3> presetValues(MaterialPreset preset, bool usCustomary) {
    if (!usCustomary)
        return preset == kSteel ? std::array<double, 3>{205000000, 77, 0.000012}
                                : std::array<double, 3>{25000000, 25, 0.00001};
    const double e = preset == kSteel ? 30000 : 3640;              // ksi
    const double gama = preset == kSteel ? 490 : 160;              // pcf
    const double alpha = preset == kSteel ? 0.0000065 : 0.0000055; // per degree Fahrenheit
    return {units::toInternal(unitCode("ksi"), e), units::toInternal(unitCode("pcf"), gama),
            units::toInternal(unitCode("/\260F"), alpha)};
}

int blockCount(const AttributeRoot& r, PropertyKind kind) {
    int n = 0;
    for (const PropertyBlock* b = r.lists[kind]; b; b = b->next) ++n;
    return n;
}

PropertyBlock* findBlock(const AttributeRoot& r, PropertyKind kind, int id) {
    for (PropertyBlock* b = r.lists[kind]; b; b = b->next)
        if (b->id == id) return b;
    return nullptr;
}

PropertyBlock* findLabel(const AttributeRoot& r, PropertyKind kind, std::string_view label) {
    for (PropertyBlock* b = r.lists[kind]; b; b = b->next)
        if (label == b->label) return b;
    return nullptr;
}

PropertyBlock* appendBlock(AttributeRoot& r, PropertyKind kind, PropertyBlock* b) {
    PropertyBlock** link = &r.lists[kind];
    while (*link) link = &(*link)->next;
    b->next = nullptr;
    b->id = ++r.counters[kind];
    *link = b;
    return b;
}

BlockAppender::BlockAppender(AttributeRoot& r, PropertyKind kind)
    : root_(r), kind_(kind), link_(&r.lists[kind]) {
    while (*link_) link_ = &(*link_)->next;
}

PropertyBlock* BlockAppender::append(PropertyBlock* b) {
    b->next = nullptr;
    b->id = ++root_.counters[kind_];
    *link_ = b;
    link_ = &b->next;
    return b;
}

void renumber(AttributeRoot& r, PropertyKind kind) {
    int id = 0;
    for (PropertyBlock* b = r.lists[kind]; b; b = b->next) b->id = ++id;
    r.counters[kind] = id;
}

void clearBlocks(AttributeRoot& r) {
    for (int k = 0; k < kPropertyKindCount; ++k) {
        unlinkIf(r, static_cast<PropertyKind>(k), [](const PropertyBlock*) { return true; });
        r.counters[k] = 0;
    }
}

std::string storedLabel(std::string_view typed) {
    std::string s(typed.substr(0, kLabelSize - 1));
    // Cut at a character boundary: a UTF-8 character that does not fit whole
    // is left out rather than stored in part.
    if (s.size() < typed.size()) {
        std::size_t start = s.size();
        while (start > 0 && (static_cast<unsigned char>(s[start - 1]) & 0xC0) == 0x80) --start;
        if (start > 0 && static_cast<unsigned char>(s[start - 1]) >= 0xC0) {
            const unsigned char lead = static_cast<unsigned char>(s[start - 1]);
            const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
            if (s.size() - (start - 1) < length) s.resize(start - 1);
        }
    }
    return s;
}

LabelResult newBlock(AttributeRoot& r, PropertyKind kind, std::string_view label,
                     PropertyBlock** made) {
    const LabelResult res = checkLabel(r, kind, label);
    if (res != kLabelDone) return res;
    PropertyBlock* b = makeBlock(kind);
    setLabel(b, label);
    appendBlock(r, kind, b);
    if (made) *made = b;
    return kLabelDone;
}

LabelResult renameBlock(AttributeRoot& r, PropertyKind kind, PropertyBlock* b,
                        std::string_view label) {
    const LabelResult res = checkLabel(r, kind, label);
    if (res == kLabelDone && b) setLabel(b, label);
    return res;
}

int memberSlot(PropertyKind kind) {
    switch (kind) {
    case kMbm:
        return kEndMoments;
    case kUlf:
        return kUniform;
    case kLlf:
        return kLinear;
    case kTpf:
        return kThermal;
    case kMaf:
        return kMaterial;
    case kSpf:
        return kSection;
    default:
        return -1;
    }
}

PropertyBlock* blockOf(const Vertex* v, PropertyKind kind) {
    const NodeAttrib* a = v ? nodeOf(v) : nullptr;
    return a && isNodeKind(kind) ? nodalForce(*a, root().activeCase) : nullptr;
}

PropertyBlock* blockOf(const Edge* e, PropertyKind kind) {
    const MemberAttrib* a = e ? memberOf(e) : nullptr;
    const int slot = memberSlot(kind);
    if (!a || slot < 0) return nullptr;
    return slot < kMemberOwnBlocks ? a->blocks[slot] : loadBlock(*a, slot, root().activeCase);
}

namespace {

// Whether a record refers to b in any load case.
bool refersTo(const NodeAttrib& a, const PropertyBlock* b) {
    for (const NodeLoads& l : a.loads)
        if (l.force == b) return true;
    return false;
}
bool refersTo(const MemberAttrib& a, int slot, const PropertyBlock* b) {
    if (slot < kMemberOwnBlocks) return a.blocks[slot] == b;
    for (const MemberLoads& l : a.loads)
        if (l.blocks[slot - kEndMoments] == b) return true;
    return false;
}

} // namespace

int liveUsers(const Solid* model, PropertyKind kind, const PropertyBlock* b) {
    int n = 0;
    if (!model) return 0;
    const int slot = memberSlot(kind);
    if (isNodeKind(kind)) {
        for (const Vertex* v = model->vertices; v; v = v->next)
            if (const NodeAttrib* a = nodeOf(v))
                n += b ? refersTo(*a, b) : blockOf(v, kind) == nullptr;
    } else {
        for (const Edge* e = model->edges; e; e = e->next)
            if (const MemberAttrib* a = memberOf(e))
                n += b ? refersTo(*a, slot, b) : blockOf(e, kind) == nullptr;
    }
    return n;
}

RemoveResult removeBlock(AttributeRoot& r, const Solid* model, PropertyKind kind, PropertyBlock* b,
                         bool confirmed) {
    if (!b || !r.lists[kind]) return kNothingToDo;
    if (liveUsers(model, kind, b) > 0) return kInUse;
    if (b->useCount > 0) {
        if (!confirmed) return kNeedsClear;
        mdl_clear_history();
        // Whatever still counts it is not a record of this model's history:
        // never free a block that something may read.
        if (b->useCount > 0) return kInUse;
    }
    unlinkIf(r, kind, [b](const PropertyBlock* x) { return x == b; });
    renumber(r, kind);
    return kRemoved;
}

RemoveResult condenseBlocks(AttributeRoot& r, const Solid* model, PropertyKind kind, bool confirmed,
                            int* removed) {
    if (removed) *removed = 0;
    if (!r.lists[kind]) return kNothingToDo;
    for (const PropertyBlock* b = r.lists[kind]; b; b = b->next)
        if (b->useCount > 0 && liveUsers(model, kind, b) == 0) {
            if (!confirmed) return kNeedsClear;
            mdl_clear_history();
            break;
        }
    const int n = unlinkIf(r, kind, [](const PropertyBlock* x) { return x->useCount == 0; });
    if (n > 0) renumber(r, kind);
    if (removed) *removed = n;
    return kRemoved;
}

int selectUsers(Solid* model, PropertyKind kind, const PropertyBlock* b) {
    int n = 0;
    if (!model) return 0;
    for (Vertex* v = model->vertices; v; v = v->next)
        if (NodeAttrib* a = nodeOf(v)) {
            a->selected = isNodeKind(kind) && blockOf(v, kind) == b ? 1 : 0;
            n += a->selected;
        }
    for (Edge* e = model->edges; e; e = e->next)
        if (MemberAttrib* a = memberOf(e)) {
            a->selected = !isNodeKind(kind) && blockOf(e, kind) == b ? 1 : 0;
            n += a->selected;
        }
    return n;
}

int applyToSelection(Solid* model, PropertyKind kind, PropertyBlock* b, int* changed) {
    if (changed) *changed = 0;
    if (!model) return 0;
    // The selection is taken first: setting a record replaces it.
    std::vector<Vertex*> nodes;
    std::vector<Edge*> members;
    if (isNodeKind(kind)) {
        for (Vertex* v = model->vertices; v; v = v->next)
            if (nodeOf(v) && nodeOf(v)->selected) nodes.push_back(v);
    } else {
        for (Edge* e = model->edges; e; e = e->next)
            if (memberOf(e) && memberOf(e)->selected) members.push_back(e);
    }
    const int selected = static_cast<int>(nodes.size() + members.size());
    if (selected == 0) return 0;
    const int slot = memberSlot(kind);
    int n = 0;
    mdl_begin_group();
    // Loads go to the active case; materials and sections to the member.
    const int loadCase = root().activeCase;
    auto swap = [b](PropertyBlock*& ref) {
        if (ref) --ref->useCount;
        ref = b;
        if (b) ++b->useCount;
    };
    for (Vertex* v : nodes) {
        NodeAttrib* a = nodeOf(v);
        a->selected = 0;
        if (blockOf(v, kind) == b) continue;
        NodeAttrib* c = copyNodeAttrib(*a);
        swap(loadsFor(*c, loadCase).force);
        dropEmptyLoads(*c);
        if (setRecord(mdl_set_vertex_attrib, v, KIND_VERTEX, c)) ++n;
    }
    for (Edge* e : members) {
        MemberAttrib* a = memberOf(e);
        a->selected = 0;
        if (blockOf(e, kind) == b) continue;
        MemberAttrib* c = copyMemberAttrib(*a);
        if (slot < kMemberOwnBlocks) {
            swap(c->blocks[slot]);
        } else {
            swap(loadsFor(*c, loadCase).blocks[slot - kEndMoments]);
            dropEmptyLoads(*c);
        }
        if (setRecord(mdl_set_edge_attrib, e, KIND_EDGE, c)) ++n;
    }
    mdl_end_group();
    if (changed) *changed = n;
    return selected;
}

int applyToAllMembers(Solid* model, PropertyKind kind, PropertyBlock* b, int* changed) {
    if (changed) *changed = 0;
    if (!model || isNodeKind(kind)) return 0;
    for (Vertex* v = model->vertices; v; v = v->next)
        if (NodeAttrib* a = nodeOf(v)) a->selected = 0;
    for (Edge* e = model->edges; e; e = e->next)
        if (MemberAttrib* a = memberOf(e)) a->selected = 1;
    return applyToSelection(model, kind, b, changed);
}

} // namespace attrib
