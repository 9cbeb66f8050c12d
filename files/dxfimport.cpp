// The DXF import into the frame model and its messages.
#include "files/dxfimport.h"

#include "model/model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace files {

namespace {

// The largest coordinate (metres) an imported node may have: the same bound
// as for the coordinates typed or picked in the window.
constexpr double kMaxCoordinate = 1e9;

std::string counted(long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string lineEntities(long n) {
    return counted(n, "line entity", "line entities");
}

int nodeCount(const Solid* s) {
    if (mdl_is_empty(s)) return 0;
    int n = 0;
    for (const Vertex* v = s->vertices; v; v = v->next) ++n;
    return n;
}

int memberCount(const Solid* s) {
    int n = 0;
    for (const Edge* e = s->edges; e; e = e->next) ++n;
    return n;
}

bool chosen(const DxfChoice& c, int layer) {
    return c.layers.empty() || (layer >= 0 && static_cast<std::size_t>(layer) < c.layers.size() &&
                                c.layers[static_cast<std::size_t>(layer)]);
}

bool coincide(MPoint a, MPoint b, double tol) {
    return std::fabs(a.x - b.x) < tol && std::fabs(a.y - b.y) < tol;
}

// The path in metres without repeated points (within the tolerance), closed
// by its first point when it is a closed one.
std::vector<MPoint> pointsOf(const DxfPath& p, double scale, double tol) {
    std::vector<MPoint> pts;
    pts.reserve(p.points.size() + 1);
    for (const DxfPoint& q : p.points) {
        const MPoint m{q.x * scale, q.y * scale};
        if (pts.empty() || !coincide(pts.back(), m, tol)) pts.push_back(m);
    }
    if (p.closed && pts.size() > 2 && !coincide(pts.back(), pts.front(), tol))
        pts.push_back(pts.front());
    return pts;
}

} // namespace

double dxfChosenUnitMetres(const std::string& name) {
    static const struct {
        const char* name;
        double metres;
    } kChoices[] = {{"mm", 0.001}, {"cm", 0.01}, {"m", 1.0}, {"in", 0.0254}, {"ft", 0.3048}};
    for (const auto& c : kChoices)
        if (name == c.name) return c.metres;
    return 0;
}

std::string dxfReadMessage(const std::string& name, const DxfReadResult& r) {
    const std::string at = "line " + std::to_string(r.line) + ": " + r.problem;
    switch (r.status) {
    case DxfStatus::kRead:
        return "";
    case DxfStatus::kBinary:
        return name + " is a binary DXF file: only ASCII DXF is read. Save the drawing as "
                      "ASCII DXF. Nothing was imported.";
    case DxfStatus::kTruncated:
        return name + " is cut short: it ends after line " + std::to_string(r.line) +
               ", before 0 EOF. Nothing was imported.";
    case DxfStatus::kTooLarge:
        return name + " is damaged (" + at + "). Nothing was imported.";
    case DxfStatus::kMalformed:
        break;
    }
    return name + " is not a DXF drawing that can be read (" + at + "). Nothing was imported.";
}

DxfImportResult importDxf(Solid* model, const DxfDrawing& d, const DxfChoice& choice,
                          const std::string& name) {
    DxfImportResult r;
    const std::string skipped = dxfSkippedSummary(d);
    auto refuse = [&](const std::string& why) {
        r.message = why + (skipped.empty() ? "" : "\n" + skipped);
        return r;
    };
    if (model == nullptr) return refuse(name + ": there is no frame to import into.");
    if (d.paths.empty())
        return refuse(name + " holds no LINE, LWPOLYLINE or POLYLINE: nothing was imported.");
    // The extent of the chosen paths sets the tolerance; their coordinates
    // in metres must lie within the bound.
    const double scale = choice.metresPerUnit;
    double xmin = 1e300, xmax = -1e300, ymin = 1e300, ymax = -1e300;
    int left = 0;
    for (const DxfPath& p : d.paths) {
        if (!chosen(choice, p.layer)) {
            ++left;
            continue;
        }
        ++r.paths;
        for (const DxfPoint& q : p.points) {
            const double x = q.x * scale, y = q.y * scale;
            if (!(std::fabs(x) <= kMaxCoordinate && std::fabs(y) <= kMaxCoordinate))
                return refuse(name + " reaches beyond 1e9 m in " + choice.unitName +
                              ": nothing was imported.");
            xmin = std::min(xmin, x);
            xmax = std::max(xmax, x);
            ymin = std::min(ymin, y);
            ymax = std::max(ymax, y);
        }
    }
    if (r.paths == 0)
        return refuse(name + " holds no line entities on the chosen layers: nothing was imported.");
    const double tol = std::max(1e-6 * std::max(xmax - xmin, ymax - ymin), 1e-9);
    std::vector<std::vector<MPoint>> paths;
    paths.reserve(static_cast<std::size_t>(r.paths));
    for (const DxfPath& p : d.paths) {
        if (!chosen(choice, p.layer)) continue;
        std::vector<MPoint> pts = pointsOf(p, scale, tol);
        if (pts.size() < 2)
            ++r.degenerate;
        else
            paths.push_back(std::move(pts));
    }
    if (paths.empty())
        return refuse("The line entities of " + name + " have no length: nothing was imported.");

    const double previousTolerance = mdl_tolerance();
    mdl_set_tolerance(tol);
    const int nodesBefore = nodeCount(model), membersBefore = memberCount(model);
    mdl_begin_group();
    mdl_begin_batch();
    for (const std::vector<MPoint>& pts : paths)
        for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
            ++r.segments;
            if (mdl_insert_points(model, CURVE_LINE, &pts[i], 2) != -2) ++r.refused;
        }
    mdl_end_batch();
    mdl_end_group();
    mdl_set_tolerance(previousTolerance);
    // Lines that nearly meet can leave members closer than a frame allows
    // (the model file would refuse it): the import then takes itself back.
    MdlGeometryFault fault;
    if (!mdl_check_geometry(model, &fault).empty() && mdl_recording_mode() == MODE_UNDO &&
        mdl_undo() == -2) {
        mdl_forget_redo();
        char at[80];
        std::snprintf(at, sizeof at, "(%g, %g)", fault.at.x, fault.at.y);
        return refuse("The lines of " + name +
                      " would leave members that meet without a node near " + at +
                      " m: nothing was imported.");
    }
    r.nodesAdded = nodeCount(model) - nodesBefore;
    r.membersAdded = memberCount(model) - membersBefore;
    r.changed = true;

    const int imported = r.paths - r.degenerate;
    r.message = "Imported " + lineEntities(imported) + " of " + name + " (unit " + choice.unitName +
                "): " + counted(r.nodesAdded, "node", "nodes") + " and " +
                counted(r.membersAdded, "member", "members") + " added.";
    if (left) r.message += "\nNot on the chosen layers: " + lineEntities(left);
    if (!skipped.empty()) r.message += "\n" + skipped;
    if (d.paperSpace) r.message += "\nIn paper space, left out: " + lineEntities(d.paperSpace);
    if (d.arcSegments)
        r.message +=
            "\nArc segments of polylines taken as straight lines: " + std::to_string(d.arcSegments);
    if (r.degenerate) r.message += "\nOf no length, left out: " + lineEntities(r.degenerate);
    if (r.refused)
        r.message += "\nRefused by the insertion: " + counted(r.refused, "segment", "segments");
    return r;
}

} // namespace files
