// Support conditions, hinges and member constraints applied to and selected
// from the node and member records.
#include "attrib/supports.h"

#include "attrib/cases.h"

#include <cmath>

namespace attrib {

namespace {

// Runs `step` on every selected node or member (the list from `first`, whose
// records `recordOf` finds) inside one undo group, none when none is
// selected. The entities are collected first, as the steps replace their
// records. Returns the sum of what the steps return (records replaced).
template <class Entity, class RecordOf, class Step>
int forSelected(Entity* first, RecordOf recordOf, Step step) {
    std::vector<Entity*> chosen;
    for (Entity* x = first; x; x = x->next)
        if (auto* a = recordOf(x); a && a->selected) chosen.push_back(x);
    if (chosen.empty()) return 0;
    int changed = 0;
    mdl_begin_group();
    for (Entity* x : chosen) changed += step(x);
    mdl_end_group();
    return changed;
}

// Runs `change` on every selected member as one undo step. The member is
// deselected first (so that undo brings back a deselected record); `change`
// returns a replacement record or none to leave the member alone.
template <class Change> int forSelectedMembers(Solid* s, Change change) {
    if (!s) return 0;
    return forSelected(s->edges, memberOf, [&](Edge* e) {
        MemberAttrib* a = memberOf(e);
        a->selected = 0;
        MemberAttrib* c = change(*a);
        if (c) mdl_set_edge_attrib(e, c);
        return c ? 1 : 0;
    });
}

// A copy of a member record with its block references counted again.
MemberAttrib* changedCopy(const MemberAttrib& a) {
    MemberAttrib* c = copyMemberAttrib(a);
    c->selected = 0;
    return c;
}

} // namespace

// ---- Support conditions ----------------------------------------------------

namespace {

// The prescribed displacements of the active case (none: all 0).
const NodeLoads& activeLoads(const NodeAttrib& a) {
    static const NodeLoads kNone;
    const NodeLoads* l = loadsOf(a, root().activeCase);
    return l ? *l : kNone;
}

} // namespace

SupportState supportOf(const NodeAttrib& a) {
    SupportState s;
    const NodeLoads& l = activeLoads(a);
    for (int d = 0; d < 3; ++d) {
        s.codes[d] = a.support[d];
        s.values[d] = l.prescribed[d];
        s.spring[d] = a.spring[d];
    }
    s.angle = a.inclination;
    s.prescribed = l.prescribedFlag ? 1 : 0;
    return s;
}

bool hasSpring(const SupportState& s) {
    return s.codes[kDx] == kSpring || s.codes[kDy] == kSpring || s.codes[kRz] == kSpring;
}

bool hasSupport(const NodeAttrib& a) {
    return a.support[0] != kFree || a.support[1] != kFree || a.support[2] != kFree;
}

int effectivePrescribed(const SupportState& s) {
    return s.prescribed && !hasSpring(s) ? 1 : 0;
}

bool angleEditable(const SupportState& s) {
    return !hasSpring(s) && !s.prescribed && (s.codes[kDx] == kFixed || s.codes[kDy] == kFixed);
}

bool setSupportAngle(SupportState& s, double degrees) {
    if (!(std::fabs(degrees) <= kMaxSupportAngle)) return false;
    s.angle = degrees;
    return true;
}

bool setSpringStiffness(SupportState& s, int dir, double k) {
    if (dir < 0 || dir > 2 || !(k >= 0)) return false;
    s.spring[dir] = k;
    return true;
}

bool sameSupport(const NodeAttrib& a, const SupportState& s) {
    const NodeLoads& l = activeLoads(a);
    if (a.inclination != s.angle || l.prescribedFlag != effectivePrescribed(s)) return false;
    for (int d = 0; d < 3; ++d)
        if (a.support[d] != s.codes[d] || (l.prescribedFlag && l.prescribed[d] != s.values[d]) ||
            a.spring[d] != s.spring[d])
            return false;
    return true;
}

bool matchesSupport(const NodeAttrib& a, const SupportState& s) {
    const NodeLoads& l = activeLoads(a);
    if (a.inclination != s.angle || l.prescribedFlag != effectivePrescribed(s)) return false;
    for (int d = 0; d < 3; ++d) {
        if (a.support[d] != s.codes[d]) return false;
        if (s.codes[d] == kFixed && l.prescribed[d] != s.values[d]) return false;
        if (s.codes[d] == kSpring && a.spring[d] != s.spring[d]) return false;
    }
    return true;
}

int applySupport(Solid* s, const SupportState& st) {
    if (!s) return 0;
    return forSelected(s->vertices, nodeOf, [&](Vertex* v) {
        NodeAttrib* a = nodeOf(v);
        a->selected = 0;
        if (sameSupport(*a, st)) return 0;
        NodeAttrib* c = copyNodeAttrib(*a);
        // The support is common to every case; the prescribed values are
        // the active case's.
        NodeLoads& l = loadsFor(*c, root().activeCase);
        for (int d = 0; d < 3; ++d) {
            c->support[d] = st.codes[d];
            l.prescribed[d] = st.values[d];
            c->spring[d] = st.spring[d];
        }
        c->inclination = st.angle;
        l.prescribedFlag = effectivePrescribed(st);
        if (!l.prescribedFlag) l.prescribed[0] = l.prescribed[1] = l.prescribed[2] = 0;
        dropEmptyLoads(*c);
        mdl_set_vertex_attrib(v, c);
        return 1;
    });
}

void clearSelection(Solid* s) {
    if (!s) return;
    for (Vertex* v = s->vertices; v; v = v->next)
        if (NodeAttrib* a = nodeOf(v)) a->selected = 0;
    for (Edge* e = s->edges; e; e = e->next)
        if (MemberAttrib* a = memberOf(e)) a->selected = 0;
}

namespace {

// Selects the nodes or members (the list from `first`, whose records
// `recordOf` finds) that `match` takes; returns how many.
template <class Entity, class RecordOf, class Match>
int selectWhere(Entity* first, RecordOf recordOf, Match match) {
    int n = 0;
    for (Entity* x = first; x; x = x->next)
        if (auto* a = recordOf(x); a && match(x, *a)) {
            a->selected = 1;
            ++n;
        }
    return n;
}

template <class Match> int selectNodes(Solid* s, Match match) {
    clearSelection(s);
    if (!s || mdl_is_empty(s)) return 0;
    return selectWhere(s->vertices, nodeOf, match);
}

template <class Match> int selectMembers(Solid* s, Match match) {
    clearSelection(s);
    if (!s) return 0;
    return selectWhere(s->edges, memberOf,
                       [&](const Edge*, const MemberAttrib& a) { return match(a); });
}

} // namespace

int selectBySupport(Solid* s, const SupportState& st) {
    return selectNodes(s,
                       [&](const Vertex*, const NodeAttrib& a) { return matchesSupport(a, st); });
}

// ---- Hinges ------------------------------------------------------------------

std::vector<Edge*> membersAt(const Vertex* v) {
    std::vector<Edge*> out;
    const HalfEdge* first = v ? v->vedge : nullptr;
    if (!first || !first->edge) return out;
    const HalfEdge* h = first;
    do {
        out.push_back(h->edge);
        const HalfEdge* m = mate(h);
        if (!m || !m->next) break;
        h = m->next;
    } while (h != first && out.size() < 100000);
    return out;
}

int hingeAt(const Edge* e, const Vertex* v) {
    const MemberAttrib* a = memberOf(e);
    if (!a) return 0;
    return e->he1->vtx == v ? a->hingeStart : a->hingeEnd;
}

bool isHingedNode(const Vertex* v, int minMembers) {
    const std::vector<Edge*> at = membersAt(v);
    if (at.empty() || static_cast<int>(at.size()) < minMembers) return false;
    for (const Edge* e : at)
        if (!hingeAt(e, v)) return false;
    return true;
}

int applyNodeHinge(Solid* s, bool on) {
    if (!s) return 0;
    return forSelected(s->vertices, nodeOf, [&](Vertex* v) {
        nodeOf(v)->selected = 0;
        int changed = 0;
        for (Edge* e : membersAt(v)) {
            const MemberAttrib* a = memberOf(e);
            if (!a) continue;
            MemberAttrib* c = changedCopy(*a);
            c->selected = a->selected;
            (e->he1->vtx == v ? c->hingeStart : c->hingeEnd) = on ? 1 : 0;
            mdl_set_edge_attrib(e, c);
            ++changed;
        }
        return changed;
    });
}

int applyMemberHinges(Solid* s, int start, int end) {
    return forSelectedMembers(s, [&](const MemberAttrib& a) -> MemberAttrib* {
        if (a.hingeStart == start && a.hingeEnd == end) return nullptr;
        MemberAttrib* c = changedCopy(a);
        c->hingeStart = start;
        c->hingeEnd = end;
        return c;
    });
}

int selectNodesByHinge(Solid* s, bool hinged) {
    return selectNodes(
        s, [&](const Vertex* v, const NodeAttrib&) { return isHingedNode(v) == hinged; });
}

int selectMembersByHinges(Solid* s, int start, int end) {
    return selectMembers(
        s, [&](const MemberAttrib& a) { return a.hingeStart == start && a.hingeEnd == end; });
}

// ---- Member constraints --------------------------------------------------------

int applyConstraint(Solid* s, int noAxial, int rigid) {
    return forSelectedMembers(s, [&](const MemberAttrib& a) -> MemberAttrib* {
        if (a.noAxial == noAxial && a.rigid == rigid) return nullptr;
        MemberAttrib* c = changedCopy(a);
        c->noAxial = noAxial;
        c->rigid = rigid;
        return c;
    });
}

int selectByConstraint(Solid* s, int noAxial, int rigid) {
    return selectMembers(
        s, [&](const MemberAttrib& a) { return a.noAxial == noAxial && a.rigid == rigid; });
}

} // namespace attrib
