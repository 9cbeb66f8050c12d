// Attribute records, the attribute root and the frame model hooks.
#include "attrib/attrib.h"

#include <cmath>

namespace attrib {

namespace {

void retain(PropertyBlock* b) {
    if (b) ++b->useCount;
}
void drop(PropertyBlock* b) {
    if (b && b->useCount > 0) --b->useCount;
}

void select(int& flag, int target) {
    flag = state().target == target ? 1 : 0;
}

// Every block a record refers to, in every load case.
template <typename F> void forEachBlock(const NodeAttrib& a, F f) {
    for (const NodeLoads& l : a.loads) f(l.force);
}
template <typename F> void forEachBlock(const MemberAttrib& a, F f) {
    for (PropertyBlock* b : a.blocks) f(b);
    for (const MemberLoads& l : a.loads)
        for (PropertyBlock* b : l.blocks) f(b);
}

void releaseNode(NodeAttrib* a) {
    if (!a) return;
    forEachBlock(*a, drop);
    delete a;
}

void releaseMember(MemberAttrib* a) {
    if (!a) return;
    forEachBlock(*a, drop);
    delete a;
}

struct DimSnapshot : AppStepData {
    explicit DimSnapshot(std::vector<DimensionLine> l) : lines(std::move(l)) {}
    std::vector<DimensionLine> lines;
};

// Undo and redo of a dimension line step: the list goes back to the saved
// one, and the list it replaces is recorded as the inverse step.
void restoreDimLines(void* datum) {
    const DimSnapshot& saved = *static_cast<DimSnapshot*>(static_cast<AppStepData*>(datum));
    AttributeRoot& r = root();
    recordAppStep(1, restoreDimLines, new DimSnapshot(r.dimLines));
    r.dimLines = saved.lines;
}

// ---- Hooks -----------------------------------------------------------------

void hookRelease(int kind, AttribRef ref) {
    if (!ref) return;
    switch (kind) {
    case KIND_VERTEX:
        releaseNode(static_cast<NodeAttrib*>(ref));
        break;
    case KIND_EDGE:
        releaseMember(static_cast<MemberAttrib*>(ref));
        break;
    case KIND_APPDATA:
        delete static_cast<AppStepData*>(ref);
        break;
    default:
        break; // nothing is attached to solids and faces
    }
}

void hookSolidCreated(Solid*) {
    root();
}

void hookEdgeCreated(Edge* e) {
    MemberAttrib* a = newMemberAttrib();
    select(a->selected, kTargetMembers);
    e->attrib = a;
}

// The old member keeps end 1 and now ends at the new node; the new member runs
// from the new node to the old end 2. Neither piece is hinged at the new node.
void hookEdgeSplit(Edge* newEdge, Edge* oldEdge, AttribRef oldRef) {
    const MemberAttrib* old = static_cast<const MemberAttrib*>(oldRef);
    MemberAttrib fallback;
    if (!old) old = &fallback;
    MemberAttrib* first = copyMemberAttrib(*old);
    first->hingeEnd = 0;
    MemberAttrib* second = copyMemberAttrib(*old);
    second->hingeStart = 0;
    oldEdge->attrib = first;
    newEdge->attrib = second;
}

// The joined member: start hinge of the first, end hinge of the second,
// constraints and blocks only where both agree.
void hookEdgesJoined(Edge* e, AttribRef firstRef, AttribRef secondRef, Vertex*, Vertex*) {
    const MemberAttrib* a = static_cast<const MemberAttrib*>(firstRef);
    const MemberAttrib* b = static_cast<const MemberAttrib*>(secondRef);
    MemberAttrib fallback;
    if (!a) a = &fallback;
    if (!b) b = &fallback;
    MemberAttrib* j = newMemberAttrib();
    j->hingeStart = a->hingeStart;
    j->hingeEnd = b->hingeEnd;
    j->rigid = a->rigid && b->rigid ? 1 : 0;
    j->noAxial = a->noAxial && b->noAxial ? 1 : 0;
    for (int k = 0; k < kMemberOwnBlocks; ++k)
        if (a->blocks[k] == b->blocks[k]) j->blocks[k] = a->blocks[k];
    // The loads of each case where both agree.
    for (const MemberLoads& la : a->loads) {
        MemberLoads joined;
        joined.loadCase = la.loadCase;
        for (const MemberLoads& lb : b->loads)
            if (lb.loadCase == la.loadCase)
                for (int k = 0; k < kMemberLoadBlocks; ++k)
                    if (la.blocks[k] == lb.blocks[k]) joined.blocks[k] = la.blocks[k];
        if (!joined.empty()) j->loads.push_back(joined);
    }
    forEachBlock(*j, retain);
    e->attrib = j;
}

void hookVertexCreated(Vertex* v) {
    NodeAttrib* a = newNodeAttrib();
    select(a->selected, kTargetNodes);
    v->attrib = a;
}

const ModelCallbacks kHooks = {
    nullptr, nullptr,         hookRelease,   hookSolidCreated, nullptr,           nullptr,
    nullptr, hookEdgeCreated, hookEdgeSplit, hookEdgesJoined,  hookVertexCreated,
};

} // namespace

int recordAppStep(int newStep, AppStepFn fn, AppStepData* datum) {
    return mdl_record_app_step(newStep, fn, datum);
}

AttributeRoot::~AttributeRoot() {
    for (PropertyBlock*& head : lists)
        while (head) {
            PropertyBlock* next = head->next;
            delete head;
            head = next;
        }
}

DimensionLine dimensionLineFrom(DimPoint p1, DimPoint p2, DimPoint r) {
    DimensionLine d;
    const double dx = p2.x - p1.x, dy = p2.y - p1.y;
    const double len = std::hypot(dx, dy);
    double ox = r.x - p1.x, oy = r.y - p1.y; // degenerate pair: offset to the reference
    if (len > 0) {
        const double e = (dx * (r.y - p1.y) - dy * (r.x - p1.x)) / len;
        ox = -dy / len * e;
        oy = dx / len * e;
    }
    d.pts = {p1, p2, DimPoint{p1.x + ox, p1.y + oy}, DimPoint{p2.x + ox, p2.y + oy}};
    return d;
}

void AttribState::reset() {
    root.reset();
    target = kTargetNone;
}

AttribState& state() {
    static AttribState s;
    return s;
}

AttributeRoot& root() {
    AttribState& s = state();
    if (!s.root) s.root = std::make_unique<AttributeRoot>();
    return *s.root;
}

NodeAttrib* newNodeAttrib() {
    return new NodeAttrib();
}

MemberAttrib* newMemberAttrib() {
    return new MemberAttrib();
}

NodeAttrib* copyNodeAttrib(const NodeAttrib& a) {
    NodeAttrib* c = new NodeAttrib(a);
    forEachBlock(*c, retain);
    return c;
}

MemberAttrib* copyMemberAttrib(const MemberAttrib& a) {
    MemberAttrib* c = new MemberAttrib(a);
    forEachBlock(*c, retain);
    return c;
}

const ModelCallbacks& hooks() {
    return kHooks;
}

void recordDimLineStep() {
    recordAppStep(0, restoreDimLines, new DimSnapshot(root().dimLines));
}

} // namespace attrib
