// Finders (vertex at a point, face containing a point, edge end vertices) and
// the canonical text dump of a solid.
#include "model/internal.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

Vertex* mdl_find_vertex_at(Solid* s, MPoint* p) {
    for (Solid* cur = s ? s : g_mdl.solids; cur != nullptr; cur = s ? nullptr : cur->next) {
        for (Vertex* v = cur->vertices; v != nullptr; v = v->next) {
            if (std::fabs(v->x - p->x) < g_mdl.tol_x && std::fabs(v->y - p->y) < g_mdl.tol_y) {
                p->x = v->x;
                p->y = v->y;
                return v;
            }
        }
    }
    return nullptr;
}

// A face contains the points inside its outer loop and those within the mean
// tolerance of it: a point on a member between two faces then lies in both
// (rounding would otherwise put it in neither), and the member is found in
// the loops of the face chosen.
static bool face_contains(const Face* f, MPoint p) {
    if (f->outer == nullptr) return true;
    if (p.x < f->box.xmin - g_mdl.tol_x || p.x > f->box.xmax + g_mdl.tol_x ||
        p.y < f->box.ymin - g_mdl.tol_y || p.y > f->box.ymax + g_mdl.tol_y)
        return false;
    return point_in_loop(f->outer, p) || point_near_loop(f->outer, p, g_mdl.tol_mean);
}

Face* mdl_find_face_containing(Solid* s, MPoint p) {
    if (s == nullptr) return nullptr;
    Face* found = nullptr;
    for (Face* f = s->faces; f != nullptr; f = f->next) {
        if (!face_contains(f, p)) continue;
        if (found == nullptr) {
            found = f;
            continue;
        }
        const Vertex* v = f->outer != nullptr ? f->outer->first->vtx : nullptr;
        if (v != nullptr && face_contains(found, MPoint{v->x, v->y})) found = f;
    }
    return found;
}

void mdl_edge_vertices(const Edge* e, Vertex** v1, Vertex** v2) {
    *v1 = e->he1->vtx;
    *v2 = e->he2->vtx;
}

// ---- Canonical dump -------------------------------------------------------------

static std::string fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));
static std::string fmt(const char* format, ...) {
    char buf[512];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    return buf;
}

static std::string box_text(const MBox& b) {
    return fmt("[%.17g %.17g %.17g %.17g]", b.xmin, b.xmax, b.ymin, b.ymax);
}

// A loop as "v<vertex>e<edge>" items, started at the least item.
static std::string loop_text(const Loop* l) {
    std::vector<std::pair<int, int>> items;
    const HalfEdge* h = l->first;
    do {
        items.emplace_back(h->vtx->id, h->edge ? h->edge->id : 0);
        h = h->next;
    } while (h != l->first && items.size() < 1000000);
    auto least = std::min_element(items.begin(), items.end());
    std::rotate(items.begin(), least, items.end());
    std::string t = "(";
    for (size_t i = 0; i < items.size(); ++i)
        t += fmt("%sv%de%d", i ? " " : "", items[i].first, items[i].second);
    return t + ")";
}

std::string mdl_dump(const Solid* s, bool with_counters) {
    if (s == nullptr) return "no solid\n";
    std::string out = fmt("solid %d attr %p\n", s->id, s->attrib);
    if (with_counters)
        out +=
            fmt("counters v %d f %d e %d\n", s->vertex_counter, s->face_counter, s->edge_counter);
    std::vector<const Vertex*> vs;
    for (const Vertex* v = s->vertices; v; v = v->next) vs.push_back(v);
    std::sort(vs.begin(), vs.end(), [](auto a, auto b) { return a->id < b->id; });
    for (const Vertex* v : vs)
        out += fmt("vertex %d %.17g %.17g attr %p\n", v->id, v->x, v->y, v->attrib);
    std::vector<const Edge*> es;
    for (const Edge* e = s->edges; e; e = e->next) es.push_back(e);
    std::sort(es.begin(), es.end(), [](auto a, auto b) { return a->id < b->id; });
    for (const Edge* e : es) {
        out += fmt("edge %d kind %d v%d->v%d box %s attr %p geom", e->id, e->curve_kind,
                   e->he1->vtx->id, e->he2->vtx->id, box_text(e->box).c_str(), e->attrib);
        if (e->geometry != nullptr)
            for (int i = 0; i < e->geometry->count; ++i)
                out += fmt(" (%.17g %.17g)", e->geometry->points[i].x, e->geometry->points[i].y);
        out += "\n";
    }
    std::vector<const Face*> fs;
    for (const Face* f = s->faces; f; f = f->next) fs.push_back(f);
    std::sort(fs.begin(), fs.end(), [](auto a, auto b) { return a->id < b->id; });
    for (const Face* f : fs) {
        out += fmt("face %d box %s attr %p\n", f->id, box_text(f->box).c_str(), f->attrib);
        if (f->outer != nullptr) out += "  outer " + loop_text(f->outer) + "\n";
        std::vector<std::string> rings;
        for (const Loop* l = f->loops; l; l = l->next)
            if (l != f->outer) rings.push_back(loop_text(l));
        std::sort(rings.begin(), rings.end());
        for (const std::string& r : rings) out += "  ring " + r + "\n";
    }
    return out;
}
