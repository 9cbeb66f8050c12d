// The model display: background, grid, members, nodes, dimension lines.
#include "results/display.h"
#include "results/resultset.h"

#include "results/symbols.h"
#include "units/numformat.h"

#include <cmath>
#include <string>

namespace results {

namespace {

// Colour slot of each role, indexed by Role. Slot 2 is the background and
// slot 1 the colour of the rubber band, so neither is a drawing role.
constexpr int kRoleSlots[static_cast<int>(Role::Count)] = {
    6,  // members
    4,  // selected members and nodes
    3,  // nodes
    7,  // supports
    8,  // nodal forces
    9,  // member loads
    13, // prescribed displacements
    11, // reactions
    16, // numbers
    12, // diagrams
    5,  // dimension lines
    15, // grid
};

bool flagOn(const DisplayInput& in, int flag) {
    return in.settings && in.settings->display[flag] != 0;
}

void drawGrid(gfx::Canvas& c, const attrib::AppSettings& s) {
    const double sx = s.gridStepX, sy = s.gridStepY;
    if (!(sx > 0) || !(sy > 0)) return;
    if (c.pixelsToWorldX(kMinGridSpacingPx) > sx) return;
    double xmin, xmax, ymin, ymax;
    c.window(xmin, xmax, ymin, ymax);
    const double pxPerWorldY = c.height() / (ymax - ymin > 0 ? ymax - ymin : 1);
    if (sy * pxPerWorldY < kMinGridSpacingPx) return;
    const long i0 = std::lround(std::ceil(xmin / sx)), i1 = std::lround(std::floor(xmax / sx));
    const long j0 = std::lround(std::ceil(ymin / sy)), j1 = std::lround(std::floor(ymax / sy));
    for (long j = j0; j <= j1; ++j)
        for (long i = i0; i <= i1; ++i) c.mark(i * sx, j * sy, gfx::MarkKind::Dot, 1);
}

void drawArrow(gfx::Canvas& c, double x1, double y1, double x2, double y2, double size) {
    const double dx = x2 - x1, dy = y2 - y1;
    const double len = std::hypot(dx, dy);
    if (len == 0) return;
    const double ux = dx / len, uy = dy / len, nx = -uy, ny = ux;
    const double mx = 0.5 * (x1 + x2), my = 0.5 * (y1 + y2);
    c.polygon({{mx + 0.5 * size * ux, my + 0.5 * size * uy},
               {mx - 0.5 * size * ux + 0.35 * size * nx, my - 0.5 * size * uy + 0.35 * size * ny},
               {mx - 0.5 * size * ux - 0.35 * size * nx, my - 0.5 * size * uy - 0.35 * size * ny}});
}

// The analysis number of a member, written beside its midpoint on the left
// of its direction, clear of the orientation arrow.
void drawMemberNumber(gfx::Canvas& c, const Edge* e, const SymbolSizes& sz) {
    const attrib::MemberAttrib* a = attrib::memberOf(e);
    if (!a || a->number <= 0) return;
    const Vertex* v1 = e->he1->vtx;
    const Vertex* v2 = e->he2->vtx;
    const double dx = v2->x - v1->x, dy = v2->y - v1->y;
    const double len = std::hypot(dx, dy);
    const double nx = len > 0 ? -dy / len : 0, ny = len > 0 ? dx / len : 1;
    const double d = 0.5 * sz.orientationArrow;
    c.setTextAlign(gfx::Align::BaseCentre);
    c.text(0.5 * (v1->x + v2->x) + d * nx, 0.5 * (v1->y + v2->y) + d * ny,
           std::to_string(a->number));
}

// The analysis number of a node, above and right of its mark.
void drawNodeNumber(gfx::Canvas& c, const Vertex* v, const SymbolSizes& sz) {
    const attrib::NodeAttrib* a = attrib::nodeOf(v);
    if (!a || a->number <= 0) return;
    const double d = 0.5 * sz.orientationArrow;
    c.setTextAlign(gfx::Align::BottomLeft);
    c.text(v->x + d, v->y + d, std::to_string(a->number));
}

} // namespace

int roleSlot(Role r) {
    const int i = static_cast<int>(r);
    return i >= 0 && i < static_cast<int>(Role::Count) ? kRoleSlots[i] : 6;
}

int roleColor(const attrib::ColorScheme& scheme, Role r) {
    return scheme.slot(roleSlot(r));
}

SymbolSizes symbolSizes(double xmin, double xmax, double ymin, double ymax) {
    SymbolSizes s;
    const double L = std::hypot(xmax - xmin, ymax - ymin);
    s.diagonal = L;
    s.orientationArrow = 0.02 * L;
    s.rigidBand = 0.006 * L;
    s.hingedNode = 0.012 * L;
    s.endHinge = 0.0096 * L;
    s.clampSquare = 0.01875 * L;
    s.forceArrow = 0.045 * L;
    s.momentArc = 0.0225 * L;
    s.loadHeight = 0.05 * L;
    s.loadHead = 0.012 * L;
    s.support = 0.025 * L;
    return s;
}

void drawMember(gfx::Canvas& c, const Edge* e, const SymbolSizes& sz, bool arrows) {
    const Vertex* v1 = e->he1->vtx;
    const Vertex* v2 = e->he2->vtx;
    const attrib::MemberAttrib* a = attrib::memberOf(e);
    c.setLineWidth(a && a->noAxial ? 2 : 1);
    if (e->geometry && e->geometry->count > 0) {
        std::vector<gfx::Point> pts;
        pts.reserve(e->geometry->count + 2);
        pts.push_back({v1->x, v1->y});
        for (int i = 0; i < e->geometry->count; ++i)
            pts.push_back({e->geometry->points[i].x, e->geometry->points[i].y});
        pts.push_back({v2->x, v2->y});
        c.polyline(pts);
    } else {
        c.line(v1->x, v1->y, v2->x, v2->y);
    }
    c.setLineWidth(1);
    if (arrows) drawArrow(c, v1->x, v1->y, v2->x, v2->y, sz.orientationArrow);
}

void drawDimensionLine(gfx::Canvas& c, const attrib::DimensionLine& d, const SymbolSizes& sz,
                       const attrib::AppSettings* settings) {
    const auto& p = d.pts;
    c.line(p[0].x, p[0].y, p[2].x, p[2].y);
    c.line(p[1].x, p[1].y, p[3].x, p[3].y);
    c.line(p[2].x, p[2].y, p[3].x, p[3].y);
    const double dx = p[3].x - p[2].x, dy = p[3].y - p[2].y;
    const double len = std::hypot(dx, dy);
    if (len == 0) return;
    // Arrowheads pointing outwards at both ends, and the measured length.
    const double ux = dx / len, uy = dy / len, nx = -uy, ny = ux;
    const double h = 0.5 * sz.orientationArrow, w = 0.25 * sz.orientationArrow;
    c.polygon({{p[2].x, p[2].y},
               {p[2].x + h * ux + w * nx, p[2].y + h * uy + w * ny},
               {p[2].x + h * ux - w * nx, p[2].y + h * uy - w * ny}});
    c.polygon({{p[3].x, p[3].y},
               {p[3].x - h * ux + w * nx, p[3].y - h * uy + w * ny},
               {p[3].x - h * ux - w * nx, p[3].y - h * uy - w * ny}});
    if (!settings) return;
    const std::string text = units::textWithUnit(settings->units[units::kLengthUnit],
                                                 settings->formats[units::kLengthFormat], len);
    c.setTextAlign(gfx::Align::BottomCentre);
    c.text(0.5 * (p[2].x + p[3].x) + 0.2 * h * nx, 0.5 * (p[2].y + p[3].y) + 0.2 * h * ny, text);
}

void drawModel(gfx::Canvas& c, const DisplayInput& in) {
    static const attrib::ColorScheme kDefaultScheme = attrib::makeScheme(0);
    const attrib::ColorScheme& cs = in.colors ? *in.colors : kDefaultScheme;
    c.setWriteMode(gfx::WriteMode::Replace);
    c.setLineStyle(gfx::LineStyle::Continuous);
    c.setLineWidth(1);
    c.setBackground(cs.slot(2));
    c.clear();
    double xmin, xmax, ymin, ymax;
    c.window(xmin, xmax, ymin, ymax);
    const SymbolSizes sz = symbolSizes(xmin, xmax, ymin, ymax);

    if (in.settings && in.settings->gridOn) {
        c.setForeground(roleColor(cs, Role::Grid));
        drawGrid(c, *in.settings);
    }

    const bool blackForeground = cs.scheme == attrib::kBlackForeground;
    const int member = roleColor(cs, Role::Members), selected = roleColor(cs, Role::Selected);
    const Solid* s = in.model;
    if (s && !mdl_is_empty(s)) {
        const bool arrows = flagOn(in, attrib::kMemberOrientation);
        SymbolContext k{c, sz, cs, in.settings};
        k.supports = flagOn(in, attrib::kSupports);
        k.loads = in.settings && loadsVisible(*in.settings);
        k.values = flagOn(in, attrib::kLoadValues);
        k.resultMode = in.settings && in.settings->result.on;
        for (const Edge* e = s->edges; e; e = e->next) {
            const attrib::MemberAttrib* a = attrib::memberOf(e);
            const bool sel = a && a->selected;
            const MemberLine m = trimmedMember(e, sz, k.supports);
            drawMemberLoads(k, e, m);
            // Without colours, selected members are told apart by a dashed line.
            if (blackForeground)
                c.setLineStyle(sel ? gfx::LineStyle::Dashed : gfx::LineStyle::Continuous);
            drawMemberBody(k, e, m, sel ? selected : member);
            if (arrows)
                drawArrow(c, e->he1->vtx->x, e->he1->vtx->y, e->he2->vtx->x, e->he2->vtx->y,
                          sz.orientationArrow);
            c.setLineStyle(gfx::LineStyle::Continuous);
        }
        if (in.results && in.settings && in.settings->result.on)
            drawResults(c, *in.results, in.settings, cs, sz);
        // Numbers are the analysis numbers: they exist only with results.
        const int numbers = roleColor(cs, Role::Numbers);
        if (k.resultMode && flagOn(in, attrib::kMemberNumbers)) {
            c.setForeground(numbers);
            for (const Edge* e = s->edges; e; e = e->next) drawMemberNumber(c, e, sz);
        }
        const bool nodeNumbers = k.resultMode && flagOn(in, attrib::kNodeNumbers);
        const int node = roleColor(cs, Role::Nodes);
        for (const Vertex* v = s->vertices; v; v = v->next) {
            const attrib::NodeAttrib* a = attrib::nodeOf(v);
            const bool sel = a && a->selected;
            drawHinges(k, v, member);
            drawSupport(k, v);
            c.setForeground(sel ? selected : node);
            c.mark(v->x, v->y, gfx::MarkKind::Square, kNodeMarkPx);
            if (sel && blackForeground)
                c.mark(v->x, v->y, gfx::MarkKind::Square, kSelectedNodeMarkPx);
            drawNodalForce(k, v);
            if (nodeNumbers) {
                c.setForeground(numbers);
                drawNodeNumber(c, v, sz);
            }
        }
    }

    if (in.root && flagOn(in, attrib::kDimLines)) {
        const int dim = roleColor(cs, Role::DimensionLines);
        for (const attrib::DimensionLine& d : in.root->dimLines) {
            c.setForeground(d.selected ? selected : dim);
            drawDimensionLine(c, d, sz, in.settings);
        }
    }
}

} // namespace results
