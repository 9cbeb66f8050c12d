// The model section of the neutral file: the plane frame written as the
// engine's space frame, with the out-of-plane freedoms (z translation,
// rotations about x and y) restrained at every node. Reals use "%g" (with more
// digits where six would not read back to the same double), the
// first field of a record is followed by five blanks, the others by two, and
// a blank line comes before every label.
#include "analysis/analysis.h"

#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/supports.h"
#include "units/realtext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace analysis {

namespace {

void put(std::string& out, const char* fmt, const auto&... args) {
    units::appendRecord(out, fmt, args...);
}

void label(std::string& out, const char* name) {
    out += "\n%";
    out += name;
    out += '\n';
}

// The load case whose loads are written, and the root of its list.
struct Case {
    const attrib::AttributeRoot& root;
    int id;
};

int numberOf(const Vertex* v) {
    return attrib::nodeOf(v)->number;
}

bool inclinedSupport(const attrib::NodeAttrib& a) {
    return a.inclination != 0 && a.support[0] != '2' && a.support[1] != '2' &&
           a.support[2] != '2' && a.support[0] != a.support[1];
}

bool hasSpring(const attrib::NodeAttrib& a) {
    return a.support[0] == '2' || a.support[1] == '2' || a.support[2] == '2';
}

bool hasPrescribed(const Case& c, const attrib::NodeAttrib& a) {
    const attrib::NodeLoads* l = attrib::loadsOf(a, c.id);
    return l && l->prescribedFlag &&
           (l->prescribed[0] != 0 || l->prescribed[1] != 0 || l->prescribed[2] != 0);
}

// The three section records of the member: normal, no axial deformation,
// rigid.
int sectionNumber(const attrib::MemberAttrib& a, int sections) {
    const int s = a.blocks[attrib::kSection]->id;
    if (a.rigid) return s + 2 * sections;
    if (a.noAxial) return s + sections;
    return s;
}

int liberation(const attrib::MemberAttrib& a) {
    if (sectionValues(a.blocks[attrib::kSection]).inertia == 0) return 4;
    return 1 + (a.hingeStart ? 1 : 0) + (a.hingeEnd ? 2 : 0);
}

// Blocks 1 to 15: geometry, supports, materials, sections, elements, springs.
bool writeFrame(std::string& out, const Numbering& n, const attrib::AttributeRoot& root) {
    const int nodes = static_cast<int>(n.nodes.size());
    const int members = static_cast<int>(n.members.size());
    const int materials = attrib::blockCount(root, attrib::kMaf);
    const int sections = attrib::blockCount(root, attrib::kSpf);
    if (members == 0 || materials == 0 || sections == 0) return false;
    for (const Edge* e : n.members) {
        const attrib::MemberAttrib* a = attrib::memberOf(e);
        if (!a->blocks[attrib::kMaterial] || !a->blocks[attrib::kSection]) return false;
    }

    label(out, "HEADER.TITLE");
    out += "'Two-Dimensional Analysis of a Frame'\n";
    label(out, "HEADER.ANALYSIS");
    out += "'beam3d'\n";
    label(out, "NODE");
    put(out, "%d\n", nodes);

    label(out, "NODE.COORD");
    put(out, "%d\n", nodes);
    for (int i = 0; i < nodes; ++i)
        put(out, "%d     %g  %g  %g\n", i + 1, n.nodes[i]->x, n.nodes[i]->y, 0.0);

    label(out, "NODE.SUPPORT");
    put(out, "%d\n", nodes);
    for (int i = 0; i < nodes; ++i) {
        const Vertex* v = n.nodes[i];
        const attrib::NodeAttrib& a = *attrib::nodeOf(v);
        if (!v->vedge || !v->vedge->edge) {
            put(out, "%d     %d  %d  %d  %d  %d  %d\n", i + 1, 1, 1, 1, 1, 1, 1);
            continue;
        }
        const int rz =
            a.support[2] == '1' || (a.support[2] == '0' && attrib::isHingedNode(v)) ? 1 : 0;
        put(out, "%d     %d  %d  %d  %d  %d  %d\n", i + 1, a.support[0] == '1' ? 1 : 0,
            a.support[1] == '1' ? 1 : 0, 1, 1, 1, rz);
    }

    // The optional node blocks follow the model's node list.
    const Solid* model = n.model;
    auto countNodes = [&](bool (*test)(const attrib::NodeAttrib&)) {
        int c = 0;
        for (const Vertex* v = model->vertices; v; v = v->next)
            if (const attrib::NodeAttrib* a = attrib::nodeOf(v); a && test(*a)) ++c;
        return c;
    };
    if (const int inclined = countNodes(inclinedSupport)) {
        label(out, "NODE.INCLINED.SUPPORT");
        put(out, "%d\n", inclined);
        for (const Vertex* v = model->vertices; v; v = v->next) {
            const attrib::NodeAttrib* a = attrib::nodeOf(v);
            if (!a || !inclinedSupport(*a)) continue;
            const double t = a->inclination;
            put(out, "%d     %g  %g  %g  %g  %g  %g\n", a->number, t, 90 - t, 90.0, t + 90, t,
                90.0);
        }
    }

    label(out, "MATERIAL");
    put(out, "%d\n", materials);
    label(out, "MATERIAL.ISOTROPIC");
    put(out, "%d\n", materials);
    for (const attrib::PropertyBlock* b = root.lists[attrib::kMaf]; b; b = b->next)
        put(out, "%d     %g  %g\n", b->id, attrib::valuesOf(b)->values[attrib::kElasticity], 0.0);
    label(out, "MATERIAL.PROPERTY.THERMAL_EXPANSION");
    put(out, "%d\n", materials);
    for (const attrib::PropertyBlock* b = root.lists[attrib::kMaf]; b; b = b->next)
        put(out, "%d     %g\n", b->id, attrib::valuesOf(b)->values[attrib::kThermalExpansion]);

    label(out, "SECTION.PROPERTY");
    put(out, "%d\n", 3 * sections);
    const char* kSection = "%d     %g  %g  %g  %g  %g  %g  %g  %g  %g\n";
    for (int copy = 0; copy < 3; ++copy) {
        for (const attrib::PropertyBlock* b = root.lists[attrib::kSpf]; b; b = b->next) {
            const SectionValues s = sectionValues(b);
            const double area = copy == 0 ? s.area : 1e7;
            const double inertia = copy == 2 ? 1e7 : s.inertia;
            put(out, kSection, b->id + copy * sections, area, 0.0, 0.0, 0.0, 0.0, inertia, 0.0,
                s.depth, 0.0);
        }
    }

    label(out, "BEAM.ORIENTATION.VECTOR");
    out += "4\n";
    put(out, "%d     %g  %g  %g\n", 1, 0.0, 1.0, 0.0);
    put(out, "%d     %g  %g  %g\n", 2, -1.0, 0.0, 0.0);
    put(out, "%d     %g  %g  %g\n", 3, 0.0, -1.0, 0.0);
    put(out, "%d     %g  %g  %g\n", 4, 1.0, 0.0, 0.0);

    label(out, "BEAM.END.LIBERATION");
    out += "4\n";
    for (int lib = 1; lib <= 4; ++lib) {
        const int rz1 = lib == 2 || lib == 4 ? 0 : 1;
        const int rz2 = lib == 3 || lib == 4 ? 0 : 1;
        put(out, "%d     %d  %d  %d  %d  %d  %d  %d  %d  %d  %d  %d  %d\n", lib, 1, 1, 1, 1, 1, rz1,
            1, 1, 1, 1, 1, rz2);
    }

    label(out, "ELEMENT");
    put(out, "%d\n", members);
    label(out, "ELEMENT.BEAM");
    put(out, "%d\n", members);
    for (int i = 0; i < members; ++i) {
        const Edge* e = n.members[i];
        const attrib::MemberAttrib& a = *attrib::memberOf(e);
        const Vertex* v1 = e->he1->vtx;
        const Vertex* v2 = e->he2->vtx;
        put(out, "%d     %d  %d  %d  %d     %d  %d\n", i + 1, a.blocks[attrib::kMaterial]->id,
            sectionNumber(a, sections), orientationVector(v2->x - v1->x, v2->y - v1->y),
            liberation(a), numberOf(v1), numberOf(v2));
    }

    if (const int springs = countNodes(hasSpring)) {
        label(out, "NODAL.SPRING");
        put(out, "%d\n", springs);
        for (const Vertex* v = model->vertices; v; v = v->next) {
            const attrib::NodeAttrib* a = attrib::nodeOf(v);
            if (!a || !hasSpring(*a)) continue;
            double k[3];
            for (int d = 0; d < 3; ++d) k[d] = a->support[d] == '2' ? a->spring[d] : 0.0;
            put(out, "%d     %g  %g  %g  %g  %g  %g\n", a->number, k[0], k[1], 0.0, 0.0, 0.0, k[2]);
        }
    }
    return true;
}

using kestrel::engine::MemberLoadKind;
using kestrel::engine::MemberLoadRecord;
using kestrel::engine::NodeLoadRecord;

// Blocks 16 to 21 from the records of one case: a label and a count before each run of records
// of one block.
void writeLoads(std::string& out, const kestrel::engine::CaseLoads& c) {
    auto nodal = [&](const std::vector<NodeLoadRecord>& records, const char* name) {
        if (records.empty()) return;
        label(out, name);
        put(out, "%d\n", static_cast<int>(records.size()));
        for (const NodeLoadRecord& r : records) {
            const double* v = r.values;
            put(out, "%d     %g  %g  %g  %g  %g  %g\n", r.node, v[0], v[1], v[2], v[3], v[4], v[5]);
        }
    };
    nodal(c.forces, "LOAD.CASE.NODAL.FORCE");
    static const char* const kBlocks[] = {"LOAD.CASE.BEAM.FORCE", "LOAD.CASE.BEAM.UNIFORM",
                                          "LOAD.CASE.BEAM.LINEAR", "LOAD.CASE.BEAM.TEMPERATURE"};
    const std::vector<MemberLoadRecord>& m = c.members;
    for (std::size_t i = 0; i < m.size();) {
        std::size_t run = i;
        while (run < m.size() && m[run].kind == m[i].kind) ++run;
        label(out, kBlocks[static_cast<int>(m[i].kind)]);
        put(out, "%d\n", static_cast<int>(run - i));
        for (; i < run; ++i) {
            const MemberLoadRecord& r = m[i];
            const double* v = r.values;
            switch (r.kind) {
            case MemberLoadKind::kConcentrated:
                put(out, "%d     %d  %g\n", r.element, r.flag, r.x1);
                break;
            case MemberLoadKind::kUniform:
            case MemberLoadKind::kLinear:
                put(out, "%d     %d  %g  %g\n", r.element, r.flag, r.x1, r.x2);
                break;
            case MemberLoadKind::kTemperature:
                put(out, "%d\n%g  %g  %g\n", r.element, v[0], v[1], v[2]);
                continue;
            }
            put(out, "%g  %g  %g  %g  %g  %g\n", v[0], v[1], v[2], v[3], v[4], v[5]);
            if (r.kind == MemberLoadKind::kLinear)
                put(out, "%g  %g  %g  %g  %g  %g\n", v[6], v[7], v[8], v[9], v[10], v[11]);
        }
    }
    nodal(c.prescribed, "LOAD.CASE.NODAL.DISPLACEMENT");
}

} // namespace

kestrel::engine::CaseLoads caseLoads(const Numbering& n, const attrib::AttributeRoot& root,
                                     int id) {
    kestrel::engine::CaseLoads out;
    const Case c{root, id};
    const attrib::LoadCase* loadCase = attrib::findCase(root, id);
    if (loadCase) out.label = loadCase->label;
    for (const Vertex* v = n.model->vertices; v; v = v->next) {
        const attrib::NodeAttrib* a = attrib::nodeOf(v);
        const attrib::NodeLoads* l = a ? attrib::loadsOf(*a, id) : nullptr;
        if (!l) continue;
        if (const attrib::ValueBlock* b = attrib::valuesOf(l->force)) {
            const auto& f = b->values;
            out.forces.push_back({a->number, {f[0], f[1], 0, 0, 0, f[2]}});
        }
        if (hasPrescribed(c, *a)) {
            NodeLoadRecord r{a->number, {}};
            for (int k = 0; k < 3; ++k)
                r.values[k == 2 ? 5 : k] = a->support[k] == '1' ? l->prescribed[k] : 0.0;
            out.prescribed.push_back(r);
        }
    }

    // One pass over the members, each kind in its own list; the self-weight of a member is a
    // global uniform load of its own, after the typed ones.
    const bool weighed = loadCase && loadCase->selfWeight != 0;
    std::vector<MemberLoadRecord> kinds[4], weights;
    for (const Edge* e = n.model->edges; e; e = e->next) {
        const attrib::MemberAttrib* a = attrib::memberOf(e);
        if (!a) continue;
        if (weighed)
            if (const double w = attrib::selfWeightLoad(root, *a, id); w != 0)
                weights.push_back({MemberLoadKind::kUniform, a->number, 0, 0, 1, {0, -w}});
        const attrib::MemberLoads* l = attrib::loadsOf(*a, id);
        if (!l) continue;
        auto block = [&](attrib::MemberBlock slot) {
            return attrib::valuesOf(l->blocks[slot - attrib::kEndMoments]);
        };
        if (const attrib::ValueBlock* b = block(attrib::kEndMoments)) {
            for (int end = 0; end < 2; ++end)
                if (b->values[end] != 0)
                    kinds[0].push_back({MemberLoadKind::kConcentrated,
                                        a->number,
                                        1,
                                        static_cast<double>(end),
                                        1,
                                        {0, 0, 0, 0, 0, b->values[end]}});
        }
        if (const attrib::ValueBlock* b = block(attrib::kUniform))
            kinds[1].push_back({MemberLoadKind::kUniform,
                                a->number,
                                b->direction,
                                0,
                                1,
                                {b->values[0], b->values[1]}});
        if (const attrib::ValueBlock* b = block(attrib::kLinear))
            kinds[2].push_back(
                {MemberLoadKind::kLinear,
                 a->number,
                 b->direction,
                 0,
                 1,
                 {b->values[0], b->values[1], 0, 0, 0, 0, b->values[2], b->values[3]}});
        // A thermal load needs a section with a positive depth and a centroid location that
        // is not negative (the check refuses anything else whenever a thermal load exists, so
        // this only keeps a division by zero out).
        if (const attrib::ValueBlock* b = block(attrib::kThermal)) {
            const SectionValues s = sectionValues(a->blocks[attrib::kSection]);
            if (s.depth > 0 && s.ygc >= 0) {
                const double top = b->values[0], bottom = b->values[1]; // y+ and y- fibres
                const double centroid = ((s.depth - s.ygc) * bottom + s.ygc * top) / s.depth;
                kinds[3].push_back(
                    {MemberLoadKind::kTemperature, a->number, 0, 0, 1, {centroid, bottom - top}});
            }
        }
    }
    kinds[1].insert(kinds[1].end(), weights.begin(), weights.end());
    for (auto& k : kinds) out.members.insert(out.members.end(), k.begin(), k.end());
    return out;
}

bool writeModelSection(std::string& out, const Numbering& n, const attrib::AttributeRoot& root) {
    if (!n.model || !writeFrame(out, n, root)) return false;
    if (attrib::isSingleCase(root)) {
        // One case without self-weight: the loads as the single-case file
        // has always held them.
        writeLoads(out, caseLoads(n, root, root.cases.front().id));
    } else {
        // Several cases: the count, then each case's label and its loads.
        label(out, "LOAD");
        put(out, "%d\n", static_cast<int>(root.cases.size()));
        for (std::size_t c = 0; c < root.cases.size(); ++c) {
            label(out, "LOAD.CASE");
            out += std::to_string(c + 1) + "  '" + root.cases[c].label + "'\n";
            writeLoads(out, caseLoads(n, root, root.cases[c].id));
        }
    }
    label(out, "END");
    return true;
}

bool writeFrameSection(std::string& out, const Numbering& n, const attrib::AttributeRoot& root) {
    if (!n.model || !writeFrame(out, n, root)) return false;
    label(out, "END");
    return true;
}

bool writeInfluenceSection(std::string& out, const Numbering& n, const attrib::AttributeRoot& root,
                           int kind, const Edge* member, double x, double len) {
    if (!n.model || !member || !(len > 0) || !writeFrame(out, n, root)) return false;
    const attrib::MemberAttrib& a = *attrib::memberOf(member);
    const double E = attrib::valuesOf(a.blocks[attrib::kMaterial])->values[attrib::kElasticity];
    const SectionValues s = sectionValues(a.blocks[attrib::kSection]);
    const double A = a.rigid || a.noAxial ? 1e7 : s.area;
    const double I = s.inertia;
    double f1[3] = {0, 0, 0}, f2[3] = {0, 0, 0}; // Fx, Fy, Mz of ends 1 and 2
    if (kind == 1) {
        f1[0] = -E * A / len;
        f2[0] = E * A / len;
    } else if (kind == 2) {
        f1[1] = 12 * E * I / (len * len * len);
        f1[2] = 6 * E * I / (len * len);
        f2[1] = -f1[1];
        f2[2] = f1[2];
    } else if (kind == 3) {
        const Vertex* v1 = member->he1->vtx;
        const Vertex* v2 = member->he2->vtx;
        const double sign = readsLeftToRight(v2->x - v1->x, v2->y - v1->y) ? 1.0 : -1.0;
        f1[1] = sign * (12 * x / len - 6) * E * I / (len * len);
        f1[2] = sign * (6 * x / len - 4) * E * I / len;
        f2[1] = -f1[1];
        f2[2] = sign * (6 * x / len - 2) * E * I / len;
    } else {
        return false;
    }
    label(out, "LOAD.CASE.BEAM.FORCE");
    out += "2\n";
    put(out, "%d     %d  %g\n", a.number, 1, 0.0);
    put(out, "%g  %g  %g  %g  %g  %g\n", f1[0], f1[1], 0.0, 0.0, 0.0, f1[2]);
    put(out, "%d     %d  %g\n", a.number, 1, 1.0);
    put(out, "%g  %g  %g  %g  %g  %g\n", f2[0], f2[1], 0.0, 0.0, 0.0, f2[2]);
    label(out, "END");
    return true;
}

bool readsLeftToRight(double dx, double dy) {
    return dx > 1e-7 || (std::fabs(dx) <= 1e-7 && dy > 1e-7);
}

int orientationVector(double dx, double dy) {
    if (dy <= dx && dy > -dx) return 1;
    if (dy > dx && dy >= -dx) return 2;
    if (dy >= dx && dy < -dx) return 3;
    return 4;
}

} // namespace analysis
