// Result tables: the rows of every tab from the stored results and the model's records.
#include "results/tables.h"

#include "attrib/blocks.h"
#include "attrib/cases.h"
#include "attrib/section.h"
#include "attrib/supports.h"
#include "fileio/fileio.h"
#include "results/diagram.h"
#include "units/numformat.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

namespace results {

double noiseFree(double v, double scale) {
    return std::fabs(v) < 1e-10 * scale ? 0.0 : v;
}

namespace {

struct TabName {
    const char* title;
    const char* stem;
};
constexpr TabName kTabs[kTableCount] = {
    {"Node Displacements", "node-displacements"},
    {"Support Reactions", "support-reactions"},
    {"Member End Forces", "member-end-forces"},
    {"Member Extremes", "member-extremes"},
    {"Nodes", "nodes"},
    {"Members", "members"},
    {"Materials", "materials"},
    {"Sections", "sections"},
    {"Supports", "supports"},
    {"Loads", "loads"},
};

// Per quantity kind: the format slot its values print with and its internal unit.
struct Quantity {
    int format;
    const char* internal;
};
constexpr Quantity kQuantities[units::kUnitSlotCount] = {
    {units::kLengthFormat, "m"},
    {units::kDisplacementFormat, "m"},
    {units::kRotationFormat, "rad"},
    {units::kForceFormat, "kN"},
    {units::kMomentFormat, "kN m"},
    {units::kDistribLoadFormat, "kN/m"},
    {units::kElasticParamFormat, "kN/m\u00b2"},
    {units::kSpecificWeightFormat, "kN/m\u00b3"},
    {units::kThermalExpanFormat, "1/\u00b0C"},
    {units::kTemperatureFormat, "\u00b0C"},
    {units::kSectionSizeFormat, "m"},
    {units::kSectionAreaFormat, "m\u00b2"},
    {units::kSectionInertiaFormat, "m\u2074"},
    {units::kTranslatSpringFormat, "kN/m"},
    {units::kRotationSpringFormat, "kN m/rad"},
};

bool validSlot(int slot) {
    return slot >= 0 && slot < units::kUnitSlotCount;
}

// Appends columns and cells to one table.
class Filler {
public:
    Filler(Table& t, const units::UnitSettings& u) : t_(t), u_(u) {}
    Filler& column(const char* name, int slot = -1, bool numeric = true) {
        t_.columns.push_back({name, slot, numeric});
        return *this;
    }
    // A value of the quantity of the next column.
    Filler& value(double v) {
        const int slot = t_.columns[row_.size()].unitSlot;
        TableCell c;
        c.value = v;
        if (validSlot(slot))
            c.text = units::textBare(u_.unit[slot], u_.format[kQuantities[slot].format], v);
        else
            c.text = plain(v);
        row_.push_back(std::move(c));
        return *this;
    }
    Filler& text(std::string s) {
        TableCell c;
        c.text = std::move(s);
        row_.push_back(std::move(c));
        return *this;
    }
    Filler& empty() { return text(""); }
    Filler& maybe(bool has, double v) { return has ? value(v) : empty(); }
    void end(RowEntity e = RowEntity::None, int number = 0) {
        t_.rows.push_back(std::move(row_));
        t_.refs.push_back({e, number});
        row_.clear();
    }

private:
    static std::string plain(double v) {
        char buf[32];
        const char* end = std::to_chars(buf, buf + sizeof buf, v).ptr;
        return std::string(buf, static_cast<std::size_t>(end - buf));
    }
    Table& t_;
    const units::UnitSettings& u_;
    std::vector<TableCell> row_;
};

Table& add(std::vector<Table>& tables, TableKind kind) {
    tables.emplace_back();
    tables.back().kind = kind;
    return tables.back();
}

using units::kDisplacementUnit, units::kRotationUnit, units::kForceUnit, units::kMomentUnit,
    units::kLengthUnit;

int nodeNumber(const Vertex* v) {
    const attrib::NodeAttrib* a = attrib::nodeOf(v);
    return a ? a->number : 0;
}

// The scales of the noise rule: translations, rotations, forces, moments.
struct Scales {
    double move = 0, turn = 0, force = 0, moment = 0;
};
Scales scalesOf(const analysis::CaseResults& r) {
    Scales s;
    for (std::size_t i = 0; i < r.displacements.size(); ++i) {
        double& to = i % 3 < 2 ? s.move : s.turn;
        to = std::max(to, std::fabs(r.displacements[i]));
    }
    for (std::size_t i = 0; i < r.endForces.size(); ++i) {
        double& to = i % 3 < 2 ? s.force : s.moment;
        to = std::max(to, std::fabs(r.endForces[i]));
    }
    return s;
}

// The largest and smallest value along a member for one kind, signed as
// the diagrams show it, with their positions: at the ends and where the
// diagram turns.
struct AlongExtremes {
    double max = 0, maxX = 0, min = 0, minX = 0;
};
AlongExtremes alongMember(const MemberInput& m, ResultKind kind) {
    const double L = memberLength(m), sign = valueSign(m, kind);
    std::vector<double> xs = turningPoints(m, kind);
    // The axial force of a linear axial load turns where that load is zero.
    if (kind == ResultKind::Axial && m.qx1 != m.qx2) {
        const double x = -m.qx1 * L / (m.qx2 - m.qx1);
        if (x > 0 && x < L) xs.push_back(x);
    }
    xs.push_back(L);
    AlongExtremes e;
    e.max = e.min = sign * ordinate(m, kind, 0);
    for (double x : xs) {
        const double v = sign * ordinate(m, kind, x);
        if (v > e.max) e.max = v, e.maxX = x;
        if (v < e.min) e.min = v, e.minX = x;
    }
    return e;
}

constexpr ResultKind kForceKinds[3] = {ResultKind::Axial, ResultKind::Shear, ResultKind::Bending};
constexpr const char* kKindNames[3] = {"N", "V", "M"};
constexpr int kKindSlots[3] = {units::kForceUnit, units::kForceUnit, units::kMomentUnit};

void extremeColumns(Filler& f, bool envelope) {
    static const char* const kNames[3][4] = {{"N max", "x N max", "N min", "x N min"},
                                             {"V max", "x V max", "V min", "x V min"},
                                             {"M max", "x M max", "M min", "x M min"}};
    static const char* const kFrom[3][2] = {
        {"N max from", "N min from"}, {"V max from", "V min from"}, {"M max from", "M min from"}};
    f.column("Member");
    for (int k = 0; k < 3; ++k) {
        f.column(kNames[k][0], kKindSlots[k]).column(kNames[k][1], kLengthUnit);
        if (envelope) f.column(kFrom[k][0], -1, false);
        f.column(kNames[k][2], kKindSlots[k]).column(kNames[k][3], kLengthUnit);
        if (envelope) f.column(kFrom[k][1], -1, false);
    }
}

// The result tables of a case or a combination.
void caseTables(std::vector<Table>& out, const TableInput& in) {
    const analysis::Numbering& n = *in.numbering;
    const attrib::AttributeRoot& root = *in.root;
    const std::vector<attrib::CaseFactor> factors = attrib::factorsOf(root, in.shown);
    analysis::CaseResults r;
    bool have = false;
    if (in.stored && !in.stored->cases.empty()) {
        if (const analysis::CaseResults* c = in.stored->find(in.shown)) {
            r = *c, have = true;
        } else if (in.stored->secondOrder) { // a combination's own results
            for (const analysis::CaseResults& c : in.stored->combinations)
                if (c.loadCase == in.shown) r = c, have = true;
        } else if (attrib::findCombination(root, in.shown)) {
            r = analysis::combinedResults(*in.stored, factors), have = true;
        }
    }
    have = have && !in.stored->isUnstable(in.shown) &&
           r.displacements.size() >= n.nodes.size() * 3 &&
           r.endForces.size() >= n.members.size() * 6;
    const Scales s = have ? scalesOf(r) : Scales{};

    Filler nd(add(out, TableKind::NodeDisplacements), in.units);
    nd.column("Node").column("x", kLengthUnit).column("y", kLengthUnit);
    nd.column("Dx", kDisplacementUnit).column("Dy", kDisplacementUnit).column("Rz", kRotationUnit);
    for (std::size_t i = 0; have && i < n.nodes.size(); ++i) {
        const double* d = &r.displacements[i * 3];
        nd.value(double(i + 1)).value(n.nodes[i]->x).value(n.nodes[i]->y);
        nd.value(noiseFree(d[0], s.move))
            .value(noiseFree(d[1], s.move))
            .value(noiseFree(d[2], s.turn));
        nd.end(RowEntity::Node, int(i + 1));
    }

    Filler sr(add(out, TableKind::SupportReactions), in.units);
    sr.column("Node").column("Fx", kForceUnit).column("Fy", kForceUnit).column("Mz", kMomentUnit);
    if (have)
        for (const analysis::Reaction& x : analysis::supportReactions(n, r, factors)) {
            sr.value(x.number).maybe(x.hasFx, noiseFree(x.fx, s.force));
            sr.maybe(x.hasFy, noiseFree(x.fy, s.force)).maybe(x.hasMz, noiseFree(x.mz, s.moment));
            sr.end(RowEntity::Node, x.number);
        }

    Filler ef(add(out, TableKind::MemberEndForces), in.units);
    ef.column("Member").column("Node 1").column("Node 2");
    for (const char* name : {"N1", "V1", "M1", "N2", "V2", "M2"})
        ef.column(name, name[0] == 'M' ? kMomentUnit : kForceUnit);
    for (std::size_t m = 0; have && m < n.members.size(); ++m) {
        const Edge* e = n.members[m];
        const double* v = &r.endForces[m * 6];
        ef.value(double(m + 1)).value(nodeNumber(e->he1->vtx)).value(nodeNumber(e->he2->vtx));
        for (int k = 0; k < 6; ++k) ef.value(noiseFree(v[k], k % 3 == 2 ? s.moment : s.force));
        ef.end(RowEntity::Member, int(m + 1));
    }

    Filler ex(add(out, TableKind::MemberExtremes), in.units);
    extremeColumns(ex, false);
    static constexpr double kZero[3] = {};
    for (std::size_t m = 0; have && m < n.members.size(); ++m) {
        const MemberInput mi =
            memberInputFrom(n.members[m], factors, &r.endForces[m * 6], kZero, kZero);
        ex.value(double(m + 1));
        for (int k = 0; k < 3; ++k) {
            const AlongExtremes a = alongMember(mi, kForceKinds[k]);
            const double scale = k < 2 ? s.force : s.moment;
            ex.value(noiseFree(a.max, scale))
                .value(a.maxX)
                .value(noiseFree(a.min, scale))
                .value(a.minX);
        }
        ex.end(RowEntity::Member, int(m + 1));
    }
}

// The result tables of the envelope: the largest and smallest values.
void envelopeTables(std::vector<Table>& out, const TableInput& in) {
    const attrib::AttributeRoot& root = *in.root;
    const EnvelopeInput* ei = in.envelope;
    const EnvelopeCombos combos = ei ? envelopeCombos(*ei, root) : EnvelopeCombos{};
    // In second order a member without results of its own leaves no envelope.
    const bool unstable = in.stored && std::any_of(combos.begin(), combos.end(), [&](auto& m) {
                              return in.stored->isUnstable(m.id);
                          });
    const bool have = ei && !ei->cases.empty() && in.numbering && !unstable &&
                      ei->frame.members.size() == in.numbering->members.size();
    std::array<Envelope, 3> kinds;
    if (have)
        computeEnvelopes(kinds.data(), kForceKinds, 3, ei->frame, ei->cases, combos,
                         ei->patternList());
    // Noise: forces against the largest axial or shear force, moments
    // against the largest moment; node values per component.
    const double force = std::max(kinds[0].largest, kinds[1].largest);
    const double scales[3] = {force, force, kinds[2].largest};

    auto nodeColumns = [](Filler& f, const char* const names[3], int slot01, int slot2) {
        f.column("Node");
        for (int c = 0; c < 3; ++c) {
            const int slot = c < 2 ? slot01 : slot2;
            f.column((std::string(names[c]) + " max").c_str(), slot);
            f.column((std::string(names[c]) + " min").c_str(), slot);
        }
    };
    auto componentScales = [](const std::vector<NodeEnvelope>& list, double sc[3]) {
        sc[0] = sc[1] = sc[2] = 0;
        for (const NodeEnvelope& e : list)
            for (int c = 0; c < 3; ++c)
                sc[c] = std::max({sc[c], std::fabs(e.max[c]), std::fabs(e.min[c])});
        sc[0] = sc[1] = std::max(sc[0], sc[1]);
    };
    static const char* const kDisp[3] = {"Dx", "Dy", "Rz"};
    static const char* const kForce[3] = {"Fx", "Fy", "Mz"};
    const Envelope& any = kinds[0];

    Filler nd(add(out, TableKind::NodeDisplacements), in.units);
    nodeColumns(nd, kDisp, kDisplacementUnit, kRotationUnit);
    double sc[3];
    componentScales(any.displacements, sc);
    for (std::size_t i = 0; have && i < any.displacements.size(); ++i) {
        const NodeEnvelope& e = any.displacements[i];
        nd.value(double(i + 1));
        for (int c = 0; c < 3; ++c)
            nd.value(noiseFree(e.max[c], sc[c])).value(noiseFree(e.min[c], sc[c]));
        nd.end(RowEntity::Node, int(i + 1));
    }

    Filler sr(add(out, TableKind::SupportReactions), in.units);
    nodeColumns(sr, kForce, kForceUnit, kMomentUnit);
    componentScales(any.reactions, sc);
    for (std::size_t i = 0; have && i < any.reactions.size() && i < ei->supports.size(); ++i) {
        const NodeEnvelope& e = any.reactions[i];
        const analysis::Reaction& x = ei->supports[i];
        const bool has[3] = {x.hasFx, x.hasFy, x.hasMz};
        sr.value(x.number);
        for (int c = 0; c < 3; ++c)
            sr.maybe(has[c], noiseFree(e.max[c], sc[c])).maybe(has[c], noiseFree(e.min[c], sc[c]));
        sr.end(RowEntity::Node, x.number);
    }

    Filler ef(add(out, TableKind::MemberEndForces), in.units);
    ef.column("Member").column("End");
    for (int k = 0; k < 3; ++k) {
        ef.column((std::string(kKindNames[k]) + " max").c_str(), kKindSlots[k]);
        ef.column((std::string(kKindNames[k]) + " min").c_str(), kKindSlots[k]);
    }
    for (std::size_t m = 0; have && m < any.members.size(); ++m)
        for (int end = 0; end < 2; ++end) {
            ef.value(double(m + 1)).value(end + 1);
            for (int k = 0; k < 3; ++k) {
                const MemberEnvelope& e = kinds[k].members[m];
                ef.value(noiseFree(e.maxEnd[end].value, scales[k]));
                ef.value(noiseFree(e.minEnd[end].value, scales[k]));
            }
            ef.end(RowEntity::Member, int(m + 1));
        }

    Filler ex(add(out, TableKind::MemberExtremes), in.units);
    extremeColumns(ex, true);
    auto from = [&](const EnvelopeValue& v) {
        return attrib::labelOf(root, v.combo) + (v.pattern ? " pattern" : "");
    };
    for (std::size_t m = 0; have && m < any.members.size(); ++m) {
        ex.value(double(m + 1));
        for (int k = 0; k < 3; ++k) {
            const MemberEnvelope& e = kinds[k].members[m];
            ex.value(noiseFree(e.maxAlong.value, scales[k]))
                .value(e.maxAlong.x)
                .text(from(e.maxAlong));
            ex.value(noiseFree(e.minAlong.value, scales[k]))
                .value(e.minAlong.x)
                .text(from(e.minAlong));
        }
        ex.end(RowEntity::Member, int(m + 1));
    }
}

const char* blockLabel(const attrib::PropertyBlock* b) {
    return b ? b->label : "";
}

void modelTables(std::vector<Table>& out, const TableInput& in) {
    const analysis::Numbering& n = *in.numbering;
    const attrib::AttributeRoot& root = *in.root;

    Filler nodes(add(out, TableKind::Nodes), in.units);
    nodes.column("Node").column("x", kLengthUnit).column("y", kLengthUnit);
    for (std::size_t i = 0; i < n.nodes.size(); ++i) {
        nodes.value(double(i + 1)).value(n.nodes[i]->x).value(n.nodes[i]->y);
        nodes.end(RowEntity::Node, int(i + 1));
    }

    Filler members(add(out, TableKind::Members), in.units);
    members.column("Member").column("Node 1").column("Node 2").column("Length", kLengthUnit);
    members.column("Material", -1, false).column("Section", -1, false);
    members.column("Hinge 1", -1, false).column("Hinge 2", -1, false);
    for (std::size_t m = 0; m < n.members.size(); ++m) {
        const Edge* e = n.members[m];
        const Vertex *v1 = e->he1->vtx, *v2 = e->he2->vtx;
        const attrib::MemberAttrib* a = attrib::memberOf(e);
        members.value(double(m + 1)).value(nodeNumber(v1)).value(nodeNumber(v2));
        members.value(std::hypot(v2->x - v1->x, v2->y - v1->y));
        members.text(a ? blockLabel(a->blocks[attrib::kMaterial]) : "");
        members.text(a ? blockLabel(a->blocks[attrib::kSection]) : "");
        members.text(a && a->hingeStart ? "yes" : "no").text(a && a->hingeEnd ? "yes" : "no");
        members.end(RowEntity::Member, int(m + 1));
    }

    Filler mat(add(out, TableKind::Materials), in.units);
    mat.column("Material", -1, false).column("E", units::kElasticParamUnit);
    mat.column("Specific weight", units::kSpecificWeightUnit);
    mat.column("Alpha", units::kThermalExpanUnit);
    for (const attrib::PropertyBlock* b = root.lists[attrib::kMaf]; b; b = b->next) {
        const attrib::ValueBlock* v = attrib::valuesOf(b);
        if (!v) continue;
        mat.text(b->label).value(v->values[attrib::kElasticity]);
        mat.value(v->values[attrib::kSpecificWeight]).value(v->values[attrib::kThermalExpansion]);
        mat.end();
    }

    Filler sec(add(out, TableKind::Sections), in.units);
    sec.column("Section", -1, false).column("Type", -1, false);
    sec.column("A", units::kSectionAreaUnit).column("I", units::kSectionInertiaUnit);
    sec.column("Depth", units::kSectionSizeUnit).column("ygc", units::kSectionSizeUnit);
    for (attrib::PropertyBlock* b = root.lists[attrib::kSpf]; b; b = b->next) {
        const attrib::Section* s = attrib::sectionOf(b);
        if (!s) continue;
        const analysis::SectionValues v = analysis::sectionValues(b);
        sec.text(b->label).text(attrib::sectionTypeName(*s));
        sec.value(v.area).value(v.inertia).value(v.depth).value(v.ygc).end();
    }

    Filler sup(add(out, TableKind::Supports), in.units);
    sup.column("Node").column("Dx", -1, false).column("Dy", -1, false).column("Rz", -1, false);
    sup.column("Inclination (deg)").column("Kx", units::kTranslatSpringUnit);
    sup.column("Ky", units::kTranslatSpringUnit).column("Kz", units::kRotationSpringUnit);
    auto code = [](char c) {
        return c == attrib::kFixed ? "fixed" : c == attrib::kSpring ? "spring" : "free";
    };
    for (std::size_t i = 0; i < n.nodes.size(); ++i) {
        const attrib::NodeAttrib* a = attrib::nodeOf(n.nodes[i]);
        if (!a || !attrib::hasSupport(*a)) continue;
        sup.value(double(i + 1));
        for (int d = 0; d < 3; ++d) sup.text(code(a->support[d]));
        sup.value(a->inclination);
        for (int d = 0; d < 3; ++d) sup.maybe(a->support[d] == attrib::kSpring, a->spring[d]);
        sup.end(RowEntity::Node, int(i + 1));
    }

    // Loads: one row per load of every case, in the order of the case list,
    // nodes then members in numbering order; a column per load value.
    Filler ld(add(out, TableKind::Loads), in.units);
    ld.column("Case", -1, false).column("Node").column("Member").column("Load", -1, false);
    ld.column("Label", -1, false).column("Axes", -1, false);
    ld.column("Fx", kForceUnit).column("Fy", kForceUnit).column("Mz", kMomentUnit);
    ld.column("Ma", kMomentUnit).column("Mb", kMomentUnit);
    for (const char* q : {"qx1", "qy1", "qx2", "qy2"}) ld.column(q, units::kDistribLoadUnit);
    ld.column("Ty+", units::kTemperatureUnit).column("Ty-", units::kTemperatureUnit);
    ld.column("Dx", kDisplacementUnit).column("Dy", kDisplacementUnit).column("Rz", kRotationUnit);
    constexpr int kValueColumns = 14; // Fx to Rz
    // A row: the first columns, then the values at their offsets from Fx.
    auto row = [&](const std::string& label, int node, int member, const char* load,
                   const char* blockName, const char* axes,
                   const std::vector<std::pair<int, double>>& values, RowEntity e) {
        ld.text(label);
        node ? ld.value(node) : ld.empty();
        member ? ld.value(member) : ld.empty();
        ld.text(load).text(blockName).text(axes);
        for (int c = 0; c < kValueColumns; ++c) {
            auto it = std::find_if(values.begin(), values.end(),
                                   [c](const std::pair<int, double>& p) { return p.first == c; });
            it != values.end() ? ld.value(it->second) : ld.empty();
        }
        ld.end(e, node ? node : member);
    };
    for (const attrib::LoadCase& lc : root.cases) {
        for (std::size_t i = 0; i < n.nodes.size(); ++i) {
            const attrib::NodeAttrib* a = attrib::nodeOf(n.nodes[i]);
            const attrib::NodeLoads* l = a ? attrib::loadsOf(*a, lc.id) : nullptr;
            if (!l) continue;
            const int num = int(i + 1);
            if (const attrib::ValueBlock* f = attrib::valuesOf(l->force))
                row(lc.label, num, 0, "Nodal force", f->label, "global",
                    {{0, f->values[0]}, {1, f->values[1]}, {2, f->values[2]}}, RowEntity::Node);
            if (l->prescribedFlag) {
                std::vector<std::pair<int, double>> v;
                for (int d = 0; d < 3; ++d)
                    if (a->support[d] == attrib::kFixed) v.push_back({11 + d, l->prescribed[d]});
                row(lc.label, num, 0, "Prescribed displacement", "", "global", v, RowEntity::Node);
            }
        }
        for (std::size_t m = 0; m < n.members.size(); ++m) {
            const attrib::MemberAttrib* a = attrib::memberOf(n.members[m]);
            const attrib::MemberLoads* l = a ? attrib::loadsOf(*a, lc.id) : nullptr;
            if (!l) continue;
            const int num = int(m + 1);
            using P = std::vector<std::pair<int, double>>;
            for (int slot = 0; slot < attrib::kMemberLoadBlocks; ++slot) {
                const attrib::ValueBlock* b = attrib::valuesOf(l->blocks[slot]);
                if (!b) continue;
                const double* v = b->values.data();
                const char* axes = b->direction ? "local" : "global";
                switch (slot + attrib::kEndMoments) {
                case attrib::kEndMoments:
                    row(lc.label, 0, num, "End moments", b->label, "local", P{{3, v[0]}, {4, v[1]}},
                        RowEntity::Member);
                    break;
                case attrib::kUniform:
                    row(lc.label, 0, num, "Uniform load", b->label, axes,
                        P{{5, v[0]}, {6, v[1]}, {7, v[0]}, {8, v[1]}}, RowEntity::Member);
                    break;
                case attrib::kLinear:
                    row(lc.label, 0, num, "Linear load", b->label, axes,
                        P{{5, v[0]}, {6, v[1]}, {7, v[2]}, {8, v[3]}}, RowEntity::Member);
                    break;
                default:
                    row(lc.label, 0, num, "Temperature", b->label, "local",
                        P{{9, v[0]}, {10, v[1]}}, RowEntity::Member);
                }
            }
        }
    }
}

// One field of a delimited text: quoted when it holds the separator, a
// quote or a line break; quotes doubled.
void appendField(std::string& out, std::string_view f, char sep) {
    if (f.find_first_of(std::string{sep, '"', '\r', '\n'}) == std::string_view::npos) {
        out.append(f);
        return;
    }
    out += '"';
    for (char c : f) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

const char* tableTitle(TableKind kind) {
    return kTabs[static_cast<int>(kind)].title;
}
const char* tableFileStem(TableKind kind) {
    return kTabs[static_cast<int>(kind)].stem;
}

const char* internalUnitLabel(int unitSlot) {
    return validSlot(unitSlot) ? kQuantities[unitSlot].internal : "";
}

std::string columnHeading(const TableColumn& c, const units::UnitSettings& u) {
    if (!validSlot(c.unitSlot)) return c.name;
    return c.name + " (" + units::unitLabelUtf8(u.unit[c.unitSlot]) + ")";
}

std::string columnHeadingInternal(const TableColumn& c) {
    if (!validSlot(c.unitSlot)) return c.name;
    return c.name + " (" + kQuantities[c.unitSlot].internal + ")";
}

std::vector<Table> buildTables(const TableInput& in) {
    std::vector<Table> out;
    out.reserve(kTableCount);
    if (!in.numbering || !in.root) return out;
    if (in.set != TableSet::Model) {
        if (in.shown == attrib::kEnvelope)
            envelopeTables(out, in);
        else
            caseTables(out, in);
    }
    if (in.set != TableSet::Results) modelTables(out, in);
    return out;
}

std::string tableCsv(const Table& t) {
    std::string out;
    out.reserve(64 + t.rows.size() * t.columns.size() * 12);
    for (std::size_t c = 0; c < t.columns.size(); ++c) {
        if (c) out += ',';
        appendField(out, columnHeadingInternal(t.columns[c]), ',');
    }
    out += "\r\n";
    char buf[32];
    for (const std::vector<TableCell>& row : t.rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) out += ',';
            if (row[c].isNumber())
                out.append(buf, std::to_chars(buf, buf + sizeof buf, row[c].value).ptr);
            else
                appendField(out, row[c].text, ',');
        }
        out += "\r\n";
    }
    return out;
}

std::string tableTabText(const Table& t, const units::UnitSettings& u,
                         const std::vector<std::size_t>& rows) {
    std::string out;
    for (std::size_t c = 0; c < t.columns.size(); ++c) {
        if (c) out += '\t';
        appendField(out, columnHeading(t.columns[c], u), '\t');
    }
    out += '\n';
    auto line = [&](const std::vector<TableCell>& row) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) out += '\t';
            appendField(out, row[c].text, '\t');
        }
        out += '\n';
    };
    if (rows.empty())
        for (const std::vector<TableCell>& row : t.rows) line(row);
    for (std::size_t r : rows)
        if (r < t.rows.size()) line(t.rows[r]);
    return out;
}

namespace {

std::string reason() {
    return errno ? std::strerror(errno) : "not a file that can be written";
}

// Writes every (path, text) to its temporary; renames them all only when all were written.
bool writeAll(const std::vector<std::pair<std::string, std::string>>& files, std::string& error) {
    std::vector<std::unique_ptr<fileio::AtomicFile>> open;
    for (const auto& [path, text] : files) {
        errno = 0;
        open.push_back(std::make_unique<fileio::AtomicFile>(path));
        if (!open.back()->ok() || !open.back()->write(text)) {
            error = "cannot write " + path + ": " + reason();
            return false; // the temporaries go with `open`
        }
    }
    for (std::size_t i = 0; i < open.size(); ++i) {
        errno = 0;
        if (!open[i]->commit()) {
            error = "cannot write " + files[i].first + ": " + reason();
            return false;
        }
    }
    return true;
}

} // namespace

bool writeTablesCsv(const std::vector<Table>& tables, const std::string& dir, std::string& error) {
    std::vector<std::pair<std::string, std::string>> files;
    const std::string base = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    for (const Table& t : tables)
        files.push_back({base + tableFileStem(t.kind) + ".csv", tableCsv(t)});
    return writeAll(files, error);
}

bool writeTableCsv(const Table& t, const std::string& path, std::string& error) {
    return writeAll({{path, tableCsv(t)}}, error);
}

} // namespace results
