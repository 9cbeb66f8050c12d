// The transform commands and the application of a matrix to the selection.
#include "shell/edit/transform.h"

#include "attrib/attrib.h"
#include "gfx/canvas.h"
#include "interact/cll.h"
#include "interact/pck.h"
#include "interact/trfmode.h"
#include "model/model.h"
#include "shell/display.h"
#include "shell/edit/edit.h"
#include "shell/edit/editmodes.h"
#include "shell/lengthtext.h"
#include "shell/messages.h"
#include "shell/state.h"
#include "ui/ui.h"
#include "units/units.h"

#include <cmath>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace shell {

namespace {

namespace trf = interact::trf;
using attrib::MemberAttrib;
using attrib::NodeAttrib;

constexpr double kDummy = 1e30;

// A node or member to insert: its transformed points and its attribute
// record (owned here until the frame model takes it).
struct NodeCopy {
    MPoint p;
    NodeAttrib* a;
};
struct MemberCopy {
    int32_t kind;
    std::vector<MPoint> pts; // end 1, interior points, end 2
    MemberAttrib* a;
};

MPoint mapPoint(const trf::Matrix& m, MPoint p) {
    return {m.a * p.x + m.b * p.y + m.tx, m.c * p.x + m.d * p.y + m.ty};
}

double toMetres(double v) {
    return units::toInternal(app().settings.units[units::kLengthUnit], v);
}

// ---- Copies through the creation hooks ------------------------------------
// While the copies go in, the vertex-created and edge-created hooks give the
// new node and the pieces of the new member the copied records instead of
// default ones. Nodes made where a copy crosses a member get defaults.

struct Current {
    NodeAttrib* node = nullptr;           // handed to the next new node
    const MemberAttrib* member = nullptr; // copied onto every piece
    MPoint first{}, last{};               // ends of the member copy
};
Current g_current;
ModelCallbacks g_copyHooks;

bool at(const Vertex* v, MPoint p) {
    const double tol = mdl_tolerance();
    return std::fabs(v->x - p.x) < tol && std::fabs(v->y - p.y) < tol;
}

void copyVertexCreated(Vertex* v) {
    if (!g_current.node) {
        attrib::hooks().vertex_created(v);
        return;
    }
    v->attrib = g_current.node;
    g_current.node = nullptr;
}

// Each piece of a copied member carries the copy's record; a hinge stays
// only at a piece end that is an end of the whole copy.
void copyEdgeCreated(Edge* e) {
    const MemberAttrib* t = g_current.member;
    if (!t) {
        attrib::hooks().edge_created(e);
        return;
    }
    MemberAttrib* a = attrib::copyMemberAttrib(*t);
    auto hingeAt = [&](const Vertex* v) {
        return at(v, g_current.first) ? t->hingeStart : at(v, g_current.last) ? t->hingeEnd : 0;
    };
    a->hingeStart = hingeAt(e->he1->vtx);
    a->hingeEnd = hingeAt(e->he2->vtx);
    e->attrib = a;
}

void releaseNode(NodeAttrib* a) {
    if (a) attrib::hooks().release_attrib(KIND_VERTEX, a);
}
void releaseMember(MemberAttrib* a) {
    if (a) attrib::hooks().release_attrib(KIND_EDGE, a);
}

// Inserts the copies, nodes first, with the copy hooks registered; every
// record not taken by the model is released.
void insertCopies(Solid* s, std::vector<NodeCopy>& nodes, std::vector<MemberCopy>& members) {
    g_copyHooks = attrib::hooks();
    g_copyHooks.vertex_created = copyVertexCreated;
    g_copyHooks.edge_created = copyEdgeCreated;
    mdl_register_hooks(&g_copyHooks);
    for (NodeCopy& n : nodes) {
        g_current.node = n.a;
        mdl_insert_point(s, n.p);
        releaseNode(g_current.node); // a node was there already
        g_current.node = nullptr;
    }
    for (MemberCopy& m : members) {
        g_current.member = m.a;
        g_current.first = m.pts.front();
        g_current.last = m.pts.back();
        mdl_insert_points(s, m.kind, m.pts.data(), static_cast<int>(m.pts.size()));
        g_current.member = nullptr;
        releaseMember(m.a);
    }
    mdl_register_hooks(&attrib::hooks());
}

NodeAttrib* nodeCopy(const Vertex* v, bool keepSelected) {
    const NodeAttrib* a = attrib::nodeOf(v);
    NodeAttrib* c = a ? attrib::copyNodeAttrib(*a) : attrib::newNodeAttrib();
    if (!keepSelected) c->selected = 0;
    return c;
}

MemberAttrib* memberCopy(const Edge* e, bool keepSelected) {
    const MemberAttrib* a = attrib::memberOf(e);
    MemberAttrib* c = a ? attrib::copyMemberAttrib(*a) : attrib::newMemberAttrib();
    if (!keepSelected) c->selected = 0;
    return c;
}

bool selected(const Vertex* v) {
    const NodeAttrib* a = attrib::nodeOf(v);
    return a && a->selected;
}
bool selected(const Edge* e) {
    const MemberAttrib* a = attrib::memberOf(e);
    return a && a->selected;
}

std::vector<MPoint> pointsOf(const Edge* e) {
    std::vector<MPoint> pts;
    mdl_edge_points(e, &pts);
    return pts;
}

// ---- The selection transformed ------------------------------------------------

struct Work {
    std::vector<NodeCopy> nodes;
    std::vector<MemberCopy> members;
    std::vector<int32_t> edgesToDelete, verticesToDelete;
};

// Selected members: each member and its two end nodes are copied
// transformed; the originals are deselected (copy mode) or deleted.
void collectMembers(Solid* s, const trf::Matrix& m, bool copy, Work& w) {
    std::unordered_set<int32_t> copiedNodes;
    for (Edge* e = s->edges; e; e = e->next) {
        if (!selected(e)) continue;
        for (const Vertex* v : {e->he1->vtx, e->he2->vtx})
            if (copiedNodes.insert(v->id).second)
                w.nodes.push_back({mapPoint(m, {v->x, v->y}), nodeCopy(v, !copy)});
        std::vector<MPoint> pts = pointsOf(e);
        for (MPoint& p : pts) p = mapPoint(m, p);
        w.members.push_back({e->curve_kind, std::move(pts), memberCopy(e, !copy)});
        if (copy)
            attrib::memberOf(e)->selected = 0;
        else
            w.edgesToDelete.push_back(e->id);
    }
}

// Selected nodes: each node is copied transformed, and each member at it
// stretched to its other end (or copied transformed at both ends when both
// are selected). Without copy mode the selected nodes go with their members,
// and the unselected ends are copied in place, since deleting the members
// may remove them.
void collectNodes(Solid* s, const trf::Matrix& m, bool copy, Work& w) {
    std::unordered_set<int32_t> keptNodes;
    for (Vertex* v = s->vertices; v; v = v->next)
        if (selected(v)) {
            w.nodes.push_back({mapPoint(m, {v->x, v->y}), nodeCopy(v, !copy)});
            w.verticesToDelete.push_back(v->id);
        }
    for (Edge* e = s->edges; e; e = e->next) {
        const Vertex* v1 = e->he1->vtx;
        const Vertex* v2 = e->he2->vtx;
        const bool s1 = selected(v1), s2 = selected(v2);
        if (!s1 && !s2) continue;
        std::vector<MPoint> pts = pointsOf(e);
        if (s1 && s2) {
            for (MPoint& p : pts) p = mapPoint(m, p);
        } else {
            MPoint& moved = s1 ? pts.front() : pts.back();
            moved = mapPoint(m, moved);
            const Vertex* fixed = s1 ? v2 : v1;
            if (!copy && keptNodes.insert(fixed->id).second)
                w.nodes.push_back({{fixed->x, fixed->y}, nodeCopy(fixed, false)});
        }
        w.members.push_back({e->curve_kind, std::move(pts), memberCopy(e, false)});
        if (!copy) w.edgesToDelete.push_back(e->id);
    }
    if (copy)
        for (Vertex* v = s->vertices; v; v = v->next)
            if (NodeAttrib* a = attrib::nodeOf(v)) a->selected = 0;
}

void deleteOriginals(Solid* s, const Work& w) {
    for (int32_t id : w.edgesToDelete)
        if (Edge* e = mdl_edge_by_id(s, id)) mdl_delete_edge(e);
    // A selected node left without members is deleted too.
    for (int32_t id : w.verticesToDelete)
        if (Vertex* v = mdl_vertex_by_id(s, id); v && v->vedge && !v->vedge->edge)
            mdl_delete_vertex(v);
}

void transformDimLines(const trf::Matrix& m, bool copy) {
    auto& lines = attrib::root().dimLines;
    bool any = false;
    for (const auto& d : lines) any = any || d.selected;
    if (!any) return;
    attrib::recordDimLineStep();
    const std::size_t n = lines.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (!lines[i].selected) continue;
        attrib::DimensionLine d = lines[i];
        for (auto& p : d.pts) {
            const MPoint q = mapPoint(m, {p.x, p.y});
            p = {q.x, q.y};
        }
        if (copy) {
            lines[i].selected = 0;
            d.selected = 0;
            lines.push_back(d);
        } else {
            lines[i] = d;
        }
    }
}

bool anythingSelected() {
    recountSelection();
    if (app().selectionKind != 0) return true;
    if (!app().settings.display[kDimLines]) return false;
    for (const auto& d : attrib::root().dimLines)
        if (d.selected) return true;
    return false;
}

int applyMatrix(const trf::Matrix& m, int kind) {
    AppState& a = app();
    TransformState& t = transformState();
    const bool copy = t.copyMode;
    const int previousTarget = attrib::state().target;
    attrib::state().target = attrib::kTargetNone;
    mdl_begin_group();
    if (!modelIsEmpty()) {
        Solid* s = a.model;
        Work w;
        if (a.selectionKind == 1)
            collectMembers(s, m, copy, w);
        else if (a.selectionKind == 2)
            collectNodes(s, m, copy, w);
        if (!copy) deleteOriginals(s, w);
        insertCopies(s, w.nodes, w.members);
        if (!s->vertices) mdl_insert_point(s, MPoint{kDummy, -kDummy});
    }
    if (a.settings.display[kDimLines]) transformDimLines(m, copy);
    t.previous = m;
    t.previousKind = kind;
    t.previousTolerance = mdl_tolerance();
    mdl_end_group();
    attrib::state().target = previousTarget;
    a.model = mdl_first_solid();
    recountSelection();
    markModified(1);
    redraw();
    return 1;
}

// ---- Commands -------------------------------------------------------------------

int recordKind(int interactKind) {
    switch (interactKind) {
    case trf::kMove:
        return kMoved;
    case trf::kMirror:
        return kMirrored;
    case trf::kRotate:
        return kRotated;
    default:
        return kScaled;
    }
}

// The live text of a move in the length unit with its label; other texts as
// they come.
void showLiveText(const std::string& text) {
    double dx = 0, dy = 0;
    if (std::sscanf(text.c_str(), "DX = %lg;   DY = %lg", &dx, &dy) != 2) {
        showPrompt(text);
        return;
    }
    const AppSettings& s = app().settings;
    const std::string unit = lengthLabel(s);
    showPrompt("DX = " + lengthBare(s, kCursorFormatSlot, dx) + " " + unit +
               ";   DY = " + lengthBare(s, kCursorFormatSlot, dy) + " " + unit);
}

void onTransformEnded(int) {
    clearPrompt();
    restartMode();
    updateToolbar();
}

int onTransform(int kind) {
    AppState& a = app();
    interact::cll::cancel();
    trf::cancelMode();
    interact::pck::cancel();
    const int record = recordKind(kind);
    auto apply = [record](const trf::Matrix& m, double tol, bool typed) {
        applyTransform(m, tol, record, typed);
    };
    if (!anythingSelected() || !a.el.datascreen) {
        onTransformEnded(-1);
        return ui::kDefault;
    }
    if (a.keyboardMode || !a.canvas) {
        trf::startKeyboard(kind, *a.el.datascreen, apply, showPrompt);
        onTransformEnded(1);
        return ui::kDefault;
    }
    trf::Callbacks cb;
    cb.done = onTransformEnded;
    cb.apply = apply;
    cb.message = showLiveText;
    cb.tolerance = snapWithKeys;
    cb.echo = drawTransformEcho;
    trf::startMouse(kind, *a.el.datascreen, *a.canvas, cb);
    return ui::kDefault;
}

int onLeaveOriginal(ui::Event& ev) {
    AppState& a = app();
    ui::Element* t = a.tk->find("oopleaveorg");
    if (ev.element || !t)
        transformState().copyMode = ev.element ? ev.element->isOn() : !transformState().copyMode;
    else {
        t->set("VALUE", t->isOn() ? "OFF" : "ON");
        transformState().copyMode = t->isOn();
    }
    return ui::kDefault;
}

} // namespace

TransformState& transformState() {
    static TransformState s;
    return s;
}

int applyTransform(const trf::Matrix& given, double tol, int kind, bool typed) {
    if (!anythingSelected()) return 0;
    trf::Matrix m = given;
    if (typed) {
        if (!(tol > 0)) tol = 1e-4;
        tol = toMetres(tol);
        m.tx = toMetres(m.tx);
        m.ty = toMetres(m.ty);
    }
    if (!(std::fabs(m.a * m.d - m.b * m.c) > 1e-12) || !std::isfinite(m.tx) ||
        !std::isfinite(m.ty)) {
        message("\n   The transformation collapses the selection: nothing was changed.   \n");
        return 0;
    }
    if (tol > 0) mdl_set_tolerance(tol);
    return applyMatrix(m, kind);
}

int repeatTransform() {
    TransformState& t = transformState();
    if (t.previousKind == kNoTransform) {
        message("\n  There is no previous transformation available. \n");
        return 0;
    }
    if (!anythingSelected()) return 0;
    mdl_set_tolerance(t.previousTolerance);
    const int r = applyMatrix(t.previous, t.previousKind);
    return r;
}

void drawTransformEcho(gfx::Canvas& c, const trf::Matrix& m) {
    AppState& a = app();
    auto polyline = [&](const std::vector<MPoint>& pts) {
        std::vector<gfx::Point> g;
        for (const MPoint& p : pts) g.push_back({p.x, p.y});
        c.polyline(g);
    };
    if (!modelIsEmpty() && a.selectionKind != 0) {
        for (const Edge* e = a.model->edges; e; e = e->next) {
            const bool all = a.selectionKind == 1 && selected(e);
            const bool s1 = a.selectionKind == 2 && selected(e->he1->vtx);
            const bool s2 = a.selectionKind == 2 && selected(e->he2->vtx);
            if (!all && !s1 && !s2) continue;
            std::vector<MPoint> pts = pointsOf(e);
            if (all || (s1 && s2))
                for (MPoint& p : pts) p = mapPoint(m, p);
            else
                (s1 ? pts.front() : pts.back()) = mapPoint(m, s1 ? pts.front() : pts.back());
            polyline(pts);
        }
    }
    if (a.settings.display[kDimLines])
        for (const auto& d : attrib::root().dimLines) {
            if (!d.selected) continue;
            MPoint q[4];
            for (int i = 0; i < 4; ++i) q[i] = mapPoint(m, {d.pts[i].x, d.pts[i].y});
            polyline({q[0], q[2], q[3], q[1]});
        }
}

void bindTransformActions(ui::Toolkit& tk) {
    transformState().reset();
    trf::modeState().reset();
    tk.bind("OopMove", [](ui::Event&) { return onTransform(trf::kMove); });
    tk.bind("OopMirror", [](ui::Event&) { return onTransform(trf::kMirror); });
    tk.bind("OopRotate", [](ui::Event&) { return onTransform(trf::kRotate); });
    tk.bind("OopScale", [](ui::Event&) { return onTransform(trf::kScale); });
    tk.bind("OopRepeat", [](ui::Event&) {
        interact::cll::cancel();
        trf::cancelMode();
        repeatTransform();
        restartMode();
        updateToolbar();
        return ui::kDefault;
    });
    tk.bind("OopLeaveOrg", onLeaveOriginal);
}

} // namespace shell
