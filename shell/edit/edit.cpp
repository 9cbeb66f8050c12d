// Snapping, selection, insertion, deletion, undo and redo on the frame model.
#include "shell/edit/edit.h"
#include "shell/panels/casepanel.h"

#include "attrib/attrib.h"
#include "model/model.h"
#include "shell/display.h"
#include "shell/messages.h"
#include "shell/state.h"

#include <cmath>
#include <vector>

namespace shell {

namespace {

constexpr double kDummy = 1e30;

bool inBox(double x, double y, double xmin, double xmax, double ymin, double ymax) {
    return x >= xmin && x <= xmax && y >= ymin && y <= ymax;
}

bool dimLinesShown() {
    return app().settings.display[kDimLines] != 0;
}

// Distance from p to the segment a-b.
double segmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// The nearest point of a member to p.
void nearestOnMember(const Edge* e, double& x, double& y) {
    std::vector<MPoint> pts{{e->he1->vtx->x, e->he1->vtx->y}};
    if (e->geometry)
        for (int i = 0; i < e->geometry->count; ++i) pts.push_back(e->geometry->points[i]);
    pts.push_back({e->he2->vtx->x, e->he2->vtx->y});
    double best = 1e300, bx = x, by = y;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        const double ax = pts[i].x, ay = pts[i].y, dx = pts[i + 1].x - ax, dy = pts[i + 1].y - ay;
        const double len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / len2 : 0;
        t = t < 0 ? 0 : t > 1 ? 1 : t;
        const double cx = ax + t * dx, cy = ay + t * dy;
        const double d = std::hypot(x - cx, y - cy);
        if (d < best) {
            best = d;
            bx = cx;
            by = cy;
        }
    }
    x = bx;
    y = by;
}

// The dimension line within the tolerance of a point, or -1.
int dimLineAt(double x, double y, double tol) {
    const auto& lines = attrib::root().dimLines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto& p = lines[i].pts;
        if (segmentDistance(x, y, p[2].x, p[2].y, p[3].x, p[3].y) <= tol ||
            segmentDistance(x, y, p[0].x, p[0].y, p[2].x, p[2].y) <= tol ||
            segmentDistance(x, y, p[1].x, p[1].y, p[3].x, p[3].y) <= tol)
            return static_cast<int>(i);
    }
    return -1;
}

// The model the frame model module holds now (an undone step may have
// replaced the solid).
void refreshModel() {
    AppState& a = app();
    a.model = mdl_first_solid();
    if (!a.model) {
        // Every vertex went: the empty model again, outside the history.
        mdl_undo_recording_off();
        a.model = mdl_create_solid();
        mdl_insert_point(a.model, MPoint{kDummy, -kDummy});
        mdl_undo_recording_on();
    }
}

} // namespace

double snapToStep(double value, double step) {
    if (!(step > 0) || !std::isfinite(step)) return value;
    const double q = value / step;
    const double n = std::trunc(q);
    const double f = q - n;
    if (f > 0.5) return (n + 1) * step;
    if (f < -0.5) return (n - 1) * step;
    return n * step;
}

void snapPoint(double& x, double& y, double tol, bool invert) {
    AppState& a = app();
    const AppSettings& s = a.settings;
    if (tol > 0) mdl_set_tolerance(tol);
    if (s.gridOn && (s.snapToGrid != 0) != invert) {
        x = snapToStep(x, s.gridStepX);
        y = snapToStep(y, s.gridStepY);
    }
    if (modelIsEmpty() || s.result.on || (s.snapToMember != 0) == invert) return;
    MPoint p{x, y};
    if (mdl_find_vertex_at(a.model, &p)) {
        x = p.x;
        y = p.y;
        return;
    }
    if (const Edge* e = mdl_find_edge_at(a.model, p, tol)) nearestOnMember(e, x, y);
}

void snapWithKeys(double& x, double& y, double tol, bool, bool control) {
    snapPoint(x, y, tol, control);
}

// ---- Selection ----------------------------------------------------------------

void recountSelection() {
    AppState& a = app();
    int members = 0, nodes = 0;
    if (a.model) {
        for (const Edge* e = a.model->edges; e; e = e->next)
            if (const auto* m = attrib::memberOf(e); m && m->selected) ++members;
        for (const Vertex* v = a.model->vertices; v; v = v->next)
            if (const auto* n = attrib::nodeOf(v); n && n->selected) ++nodes;
    }
    if (members && nodes) {
        deselectAll();
        return;
    }
    a.selectionKind = members ? 1 : nodes ? 2 : 0;
    a.selectionCount = members + nodes;
    a.dimensionLines = static_cast<int>(attrib::root().dimLines.size());
}

void deselectAll() {
    AppState& a = app();
    if (a.model) {
        for (Edge* e = a.model->edges; e; e = e->next)
            if (auto* m = attrib::memberOf(e)) m->selected = 0;
        for (Vertex* v = a.model->vertices; v; v = v->next)
            if (auto* n = attrib::nodeOf(v)) n->selected = 0;
    }
    for (auto& d : attrib::root().dimLines) d.selected = 0;
    a.selectionKind = 0;
    a.selectionCount = 0;
    a.dimensionLines = static_cast<int>(attrib::root().dimLines.size());
}

// A pick and a fence do nothing in an empty model, not even to the
// dimension lines: the selection stays as it is.
void pickAt(double x, double y, double tol, bool add) {
    AppState& a = app();
    mdl_set_tolerance(tol);
    if (modelIsEmpty()) return;
    if (!add) deselectAll();
    MPoint p{x, y};
    if (Vertex* v = mdl_find_vertex_at(a.model, &p)) {
        attrib::NodeAttrib* n = attrib::nodeOf(v);
        attrib::state().target = attrib::kTargetNodes;
        if (n && n->selected)
            n->selected = 0;
        else if (n && a.selectionKind != 1)
            n->selected = 1;
    } else if (Edge* e = mdl_find_edge_at(a.model, p, tol)) {
        attrib::MemberAttrib* m = attrib::memberOf(e);
        attrib::state().target = attrib::kTargetMembers;
        if (m && m->selected)
            m->selected = 0;
        else if (m && a.selectionKind != 2)
            m->selected = 1;
    }
    if (dimLinesShown()) {
        const int i = dimLineAt(x, y, tol);
        if (i >= 0) {
            int& f = attrib::root().dimLines[i].selected;
            f = 1 - f;
        }
    }
    recountSelection();
    redraw();
}

void fenceSelect(double xmin, double xmax, double ymin, double ymax, bool add) {
    AppState& a = app();
    if (modelIsEmpty()) return;
    if (!add) deselectAll();
    int kind = a.selectionKind;
    if (kind == 0 || kind == 1) {
        int made = 0;
        for (Edge* e = a.model->edges; e; e = e->next) {
            attrib::MemberAttrib* m = attrib::memberOf(e);
            const Vertex* v1 = e->he1->vtx;
            const Vertex* v2 = e->he2->vtx;
            if (m && !m->selected && inBox(v1->x, v1->y, xmin, xmax, ymin, ymax) &&
                inBox(v2->x, v2->y, xmin, xmax, ymin, ymax)) {
                m->selected = 1;
                ++made;
            }
        }
        if (kind == 0 && made == 0) kind = 2;
    }
    if (kind == 2)
        for (Vertex* v = a.model->vertices; v; v = v->next)
            if (auto* n = attrib::nodeOf(v);
                n && !n->selected && inBox(v->x, v->y, xmin, xmax, ymin, ymax))
                n->selected = 1;
    if (dimLinesShown())
        for (auto& d : attrib::root().dimLines) {
            bool inside = true;
            for (const auto& p : d.pts) inside = inside && inBox(p.x, p.y, xmin, xmax, ymin, ymax);
            if (inside) d.selected = 1;
        }
    recountSelection();
    redraw();
}

std::string selectionSummary() {
    const AppState& a = app();
    int dims = 0;
    for (const auto& d : attrib::root().dimLines) dims += d.selected;
    std::string s;
    if (a.selectionKind == 0)
        s = "nothing selected";
    else
        s = std::to_string(a.selectionCount) + (a.selectionKind == 1 ? " member" : " node") +
            (a.selectionCount == 1 ? "" : "s") + " selected";
    if (dims)
        s += ", " + std::to_string(dims) + " dimension line" + (dims == 1 ? "" : "s") + " selected";
    return s;
}

std::string modelSummary() {
    const AppState& a = app();
    int nodes = 0, members = 0;
    if (!modelIsEmpty()) {
        for (const Vertex* v = a.model->vertices; v; v = v->next) ++nodes;
        for (const Edge* e = a.model->edges; e; e = e->next) ++members;
    }
    return "nodes " + std::to_string(nodes) + " members " + std::to_string(members) +
           " dimension lines " + std::to_string(attrib::root().dimLines.size()) + "; " +
           selectionSummary();
}

// ---- Edits ----------------------------------------------------------------------

int insertMember(double x1, double y1, double x2, double y2, double tol) {
    AppState& a = app();
    if (!a.model) createEmptyModel();
    mdl_set_tolerance(tol);
    // What is drawn becomes the selection: nodes selected before give way.
    if (a.selectionKind == 2) deselectAll();
    attrib::state().target = attrib::kTargetMembers;
    const MPoint pts[2] = {{x1, y1}, {x2, y2}};
    mdl_begin_group();
    if (mdl_is_empty(a.model)) mdl_move_vertex(a.model->vertices, pts[0]);
    const int r = mdl_insert_points(a.model, CURVE_LINE, pts, 2);
    mdl_end_group();
    refreshModel();
    recountSelection();
    return r == -2 ? 1 : 0;
}

int insertNode(double x, double y, double tol) {
    AppState& a = app();
    if (!a.model) createEmptyModel();
    mdl_set_tolerance(tol);
    if (a.selectionKind == 1) deselectAll();
    attrib::state().target = attrib::kTargetNodes;
    // A click on an existing node inserts nothing and so records nothing: an
    // empty undo step would turn Undo inactive over the steps before it.
    MPoint p{x, y};
    if (!mdl_is_empty(a.model) && mdl_find_vertex_at(a.model, &p)) {
        refreshModel();
        recountSelection();
        return 0;
    }
    int made = 0;
    mdl_begin_group();
    if (mdl_is_empty(a.model)) {
        Vertex* v = a.model->vertices;
        if (auto* n = attrib::nodeOf(v)) n->selected = 1;
        made = mdl_move_vertex(v, MPoint{x, y}) == -2 ? 1 : 0;
    } else {
        made = mdl_insert_point(a.model, MPoint{x, y}) ? 1 : 0;
    }
    mdl_end_group();
    refreshModel();
    recountSelection();
    return made;
}

int insertDimensionLine(double x1, double y1, double x2, double y2, double rx, double ry) {
    mdl_begin_group();
    attrib::recordDimLineStep();
    attrib::root().dimLines.push_back(attrib::dimensionLineFrom({x1, y1}, {x2, y2}, {rx, ry}));
    mdl_end_group();
    recountSelection();
    return 1;
}

int deleteSelection() {
    AppState& a = app();
    recountSelection();
    const bool dims = dimLinesShown();
    int selectedDims = 0;
    for (const auto& d : attrib::root().dimLines) selectedDims += d.selected;
    if (a.selectionKind == 0 && (!dims || selectedDims == 0)) return 0;
    int deleted = 0;
    const int previousTarget = attrib::state().target;
    mdl_begin_group();
    if (!modelIsEmpty()) {
        if (a.selectionKind == 1) {
            std::vector<int32_t> ids;
            for (const Edge* e = a.model->edges; e; e = e->next)
                if (const auto* m = attrib::memberOf(e); m && m->selected) ids.push_back(e->id);
            for (int32_t id : ids) {
                Edge* e = mdl_edge_by_id(a.model, id);
                if (!e) continue;
                if (mdl_delete_edge(e) == -2)
                    ++deleted;
                else if (auto* m = attrib::memberOf(e))
                    m->selected = 0;
            }
        } else if (a.selectionKind == 2) {
            std::vector<int32_t> ids;
            for (const Vertex* v = a.model->vertices; v; v = v->next)
                if (const auto* n = attrib::nodeOf(v); n && n->selected) ids.push_back(v->id);
            for (int32_t id : ids) {
                Vertex* v = mdl_vertex_by_id(a.model, id);
                if (!v) continue;
                if (mdl_delete_vertex(v) == -2)
                    ++deleted;
                else if (auto* n = attrib::nodeOf(v))
                    n->selected = 0;
            }
        }
        if (!a.model->vertices) {
            attrib::state().target = attrib::kTargetNone;
            mdl_insert_point(a.model, MPoint{kDummy, -kDummy});
            attrib::state().target = previousTarget;
        }
    }
    if (dims && selectedDims) {
        attrib::recordDimLineStep();
        auto& lines = attrib::root().dimLines;
        std::erase_if(lines, [](const attrib::DimensionLine& d) { return d.selected != 0; });
        deleted += selectedDims;
    }
    mdl_end_group();
    refreshModel();
    recountSelection();
    if (deleted) {
        redraw();
        return 1;
    }
    message("\n   Selected objects can not be deleted.   \n");
    return 0;
}

namespace {

int historyStep(int (*op)()) {
    if (op() != -2) return 0;
    refreshModel();
    refreshCaseLists(); // the step may have changed the load cases
    recountSelection();
    redraw();
    markModified(0);
    return 1;
}

} // namespace

int undoStep() {
    return historyStep(mdl_undo);
}

int redoStep() {
    return historyStep(mdl_redo);
}

} // namespace shell
