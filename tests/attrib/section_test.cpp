// Section types: A, I, depth and ygc of every type in every orientation it
// admits, against an integration over the oriented shape's outline written
// here independently of the code under test (circle and ring: closed forms
// by hand); the orientation commands; degenerate parameters; the parameter
// line of the model file; unit conversion of older models; the inquiry text.
#include "attrib/section.h"
#include "tests/support/golden.h"
#include "units/units.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace attrib;

struct P {
    double x, y;
};
using Poly = std::vector<P>;

// Area, centroidal I about the horizontal axis, depth and ygc of a set of
// non-overlapping polygons, by Green's theorem over their outlines.
struct Props {
    double a = 0, i = 0, depth = 0, ygc = 0;
};
Props integrate(const std::vector<Poly>& polys) {
    double a = 0, sy = 0, syy = 0, ymin = 1e300, ymax = -1e300;
    for (const Poly& poly : polys) {
        double pa = 0, psy = 0, psyy = 0;
        for (size_t k = 0; k < poly.size(); ++k) {
            const P p = poly[k], q = poly[(k + 1) % poly.size()];
            const double c = p.x * q.y - q.x * p.y;
            pa += c / 2;
            psy += (p.y + q.y) * c / 6;
            psyy += (p.y * p.y + p.y * q.y + q.y * q.y) * c / 12;
            ymin = std::min(ymin, p.y);
            ymax = std::max(ymax, p.y);
        }
        const double sign = pa < 0 ? -1 : 1; // either winding
        a += sign * pa, sy += sign * psy, syy += sign * psyy;
    }
    const double yc = sy / a;
    return {a, syy - a * yc * yc, ymax - ymin, yc - ymin};
}

Poly rect(double x0, double y0, double x1, double y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

// Outlines of each shape in orientation 0, as the type's parameters describe it.
std::vector<Poly> iShape(double d, double b, double tw, double tf) {
    return {rect(0, 0, b, tf), rect((b - tw) / 2, tf, (b + tw) / 2, d - tf), rect(0, d - tf, b, d)};
}
std::vector<Poly> shapeOf(int type, const std::vector<double>& v) {
    switch (type) {
    case kSecRectangle:
        return {rect(0, 0, v[1], v[0])};
    case kSecIShape:
        return iShape(v[0], v[1], v[2], v[3]);
    case kSecAngle: // vertical leg at the left, horizontal leg at the bottom
        return {{{0, 0}, {v[1], 0}, {v[1], v[2]}, {v[2], v[2]}, {v[2], v[0]}, {0, v[0]}}};
    case kSecTShape: // flange at the top
        return {rect(0, v[0] - v[3], v[1], v[0]),
                rect((v[1] - v[2]) / 2, 0, (v[1] + v[2]) / 2, v[0] - v[3])};
    case kSecCShape: // web at the left, flanges pointing right
        return {{{0, 0},
                 {v[1], 0},
                 {v[1], v[3]},
                 {v[2], v[3]},
                 {v[2], v[0] - v[3]},
                 {v[1], v[0] - v[3]},
                 {v[1], v[0]},
                 {0, v[0]}}};
    case kSecZShape: { // top flange to the right, bottom flange to the left
        const double d = v[0], b = v[1], t = v[2];
        return {rect(0, d - t, b, d), rect(0, t, t, d - t), rect(t - b, 0, t, t)};
    }
    case kSecDoubleAngle: { // gap e between the vertical legs, feet outwards
        const double d = v[0], b = v[1], t = v[2], h = v[3] / 2;
        return {{{h, 0}, {h + b, 0}, {h + b, t}, {h + t, t}, {h + t, d}, {h, d}},
                {{-h, 0}, {-h, d}, {-h - t, d}, {-h - t, t}, {-h - b, t}, {-h - b, 0}}};
    }
    case kSecGirder: { // layers d1 (top) to d5 (bottom), centred
        const double d1 = v[0], d2 = v[1], d3 = v[2], d4 = v[3], d5 = v[4], b1 = v[5], b2 = v[6],
                     w = v[7] / 2;
        const double y4 = d5, y3 = y4 + d4, y2 = y3 + d3, y1 = y2 + d2, y0 = y1 + d1;
        return {rect(-b1 / 2, y1, b1 / 2, y0),
                {{-w, y2}, {w, y2}, {b1 / 2, y1}, {-b1 / 2, y1}},
                rect(-w, y3, w, y2),
                {{-b2 / 2, y4}, {b2 / 2, y4}, {w, y3}, {-w, y3}},
                rect(-b2 / 2, 0, b2 / 2, y4)};
    }
    case kSecBox: {
        const double d = v[0], b = v[1], tw = v[2], tf = v[3];
        return {rect(0, 0, b, tf), rect(0, d - tf, b, d), rect(0, tf, tw, d - tf),
                rect(b - tw, tf, b, d - tf)};
    }
    default:
        return {};
    }
}

// The geometric meaning of the orientation codes: quarter turns counted
// anticlockwise, and mirror images about a vertical (x -> -x) or horizontal
// (y -> -y) axis.
P turned(P p, int quarters) {
    for (int k = 0; k < quarters; ++k) p = {-p.y, p.x};
    return p;
}
std::function<P(P)> placement(int type, int code) {
    switch (type) {
    case kSecAngle:
        return [code](P p) { return P{code & 4 ? -p.x : p.x, code & 3 ? -p.y : p.y}; };
    case kSecZShape:
        return [code](P p) { return turned({code & 4 ? -p.x : p.x, p.y}, code & 1); };
    default: // I-shape 0/1 and the four turns
        return [code](P p) { return turned(p, code); };
    }
}
Props oriented(int type, const std::vector<double>& v, int code) {
    std::vector<Poly> polys = shapeOf(type, v);
    const auto place = placement(type, code);
    for (Poly& poly : polys)
        for (P& p : poly) p = place(p);
    return integrate(polys);
}

Section section(int type, int code, std::vector<double> v) {
    Section s = makeSection(type);
    s.orientation = code;
    s.params = std::move(v);
    return s;
}

void expectNear(double got, double want, const char* what, const std::string& where) {
    EXPECT_NEAR(got, want, 1e-9 * std::max(std::abs(want), 1e-30)) << what << " " << where;
}

struct ShapeCase {
    int type;
    std::vector<double> v;
    // Catalogue types: the row's d, b, tw, tf as the catalogue quotes them.
    std::vector<double> row = {};
};

// Shapes of every type with a figure; the first of each type has unequal
// sides, so that no turn or mirror image of it is another of its codes by chance.
const ShapeCase kShapes[] = {
    {kSecRectangle, {0.5, 0.2}},
    {kSecIShape, {0.3, 0.15, 0.01, 0.02}},
    {kSecIShape, {0.41, 0.27, 0.013, 0.031}},
    {kSecAngle, {0.15, 0.09, 0.012}},
    {kSecAngle, {0.1, 0.1, 0.01}},
    {kSecAngle, {0.05, 0.2, 0.03}}, // centroid inside the horizontal leg
    {kSecTShape, {0.3, 0.2, 0.012, 0.025}},
    {kSecTShape, {0.12, 0.3, 0.05, 0.01}},
    {kSecCShape, {0.3, 0.09, 0.007, 0.011}},
    {kSecCShape, {0.1, 0.2, 0.02, 0.015}},
    {kSecZShape, {0.2, 0.075, 0.004}},
    {kSecZShape, {0.1, 0.12, 0.02}},
    {kSecDoubleAngle, {0.1, 0.08, 0.01, 0.012}},
    {kSecDoubleAngle, {0.06, 0.15, 0.008, 0.0}},
    {kSecGirder, {0.03, 0.04, 0.5, 0.06, 0.025, 0.3, 0.22, 0.012}},
    {kSecGirder, {0.02, 0.0, 0.7, 0.05, 0.04, 0.18, 0.4, 0.01}},
    {kSecBox, {0.3, 0.2, 0.01, 0.015}},
    {kSecWelded, {2, 10, 12}, {0.7, 0.7, 0.0375, 0.05}}, // CS700x726
    {kSecWelded, {3, 9, 10}, {0.65, 0.45, 0.025, 0.05}}, // CVS650x461
    {kSecLight, {3, 1}, {0.15, 0.1, 0.00475, 0.008}},    // VEE150x18
};

TEST(SectionProps, EveryOrientationMatchesTheIntegratedShape) {
    for (const ShapeCase& c : kShapes) {
        const SectionType& t = sectionType(c.type);
        for (int k = 0; k < t.codeCount; ++k) {
            const int code = t.codes[k];
            const Section s = section(c.type, code, c.v);
            const Props want =
                c.row.empty() ? oriented(c.type, c.v, code) : oriented(kSecIShape, c.row, code);
            const std::string where = std::string(t.item) + " code " + std::to_string(code) +
                                      " d=" + std::to_string(c.v[0]);
            expectNear(sectionArea(s), want.a, "A", where);
            expectNear(sectionDepth(s), want.depth, "depth", where);
            expectNear(sectionYgc(s), want.ygc, "ygc", where);
            // Lying, the Z-shape's I is the established formula, which leaves
            // out the t^4/12 of the flange parts within the web's width.
            double wantI = want.i;
            if (c.type == kSecZShape && (code == 1 || code == 5)) wantI -= std::pow(c.v[2], 4) / 12;
            expectNear(sectionInertia(s), wantI, "I", where);
        }
    }
}

TEST(SectionProps, RoundShapesAndTheWorkedExamples) {
    const double pi = std::numbers::pi;
    struct Case {
        Section s;
        double a, i, depth, ygc;
    } cases[] = {
        // Circle of radius 0.15; ring with outer radius 0.1 and inner 0.088.
        {section(kSecCircle, 0, {0.3}), pi * 0.0225, pi * 0.15 * 0.15 * 0.15 * 0.15 / 4, 0.3, 0.15},
        {section(kSecRing, 0, {0.2, 0.012}), pi * (0.01 - 0.088 * 0.088),
         pi * (1e-4 - std::pow(0.088, 4)) / 4, 0.2, 0.1},
        {section(kSecRectangle, 0, {0.5, 0.2}), 0.1, 0.2 * 0.125 / 12, 0.5, 0.25},
        {section(kSecIShape, 0, {0.3, 0.15, 0.01, 0.02}), 0.0086,
         (0.15 * 0.027 - 0.14 * std::pow(0.26, 3)) / 12, 0.3, 0.15},
        {section(kSecIShape, 1, {0.3, 0.15, 0.01, 0.02}), 0.0086,
         0.02 * 0.003375 / 6 + 0.26 * 0.000001 / 12, 0.15, 0.075},
        {section(kSecGeneric, 0, {0.01, 2e-4, 0.4, 0.13}), 0.01, 2e-4, 0.4, 0.13},
    };
    for (const Case& c : cases) {
        const std::string where = sectionType(c.s.type).item;
        expectNear(sectionArea(c.s), c.a, "A", where);
        expectNear(sectionInertia(c.s), c.i, "I", where);
        expectNear(sectionDepth(c.s), c.depth, "depth", where);
        expectNear(sectionYgc(c.s), c.ygc, "ygc", where);
    }
}

TEST(SectionProps, NewAndDegenerateSectionsGiveZeroNotNaN) {
    for (int type = 0; type < kSectionTypeCount; ++type) {
        Section s = makeSection(type);
        EXPECT_EQ(s.orientation, 0);
        EXPECT_EQ(int(s.params.size()), sectionType(type).paramCount);
        for (int k = 0; k < sectionType(type).codeCount; ++k) {
            s.orientation = sectionType(type).codes[k];
            const double v[] = {sectionArea(s), sectionInertia(s), sectionYgc(s), sectionDepth(s)};
            for (double x : v) EXPECT_TRUE(std::isfinite(x)) << type << " " << s.orientation;
            if (type < kSecWelded) {
                EXPECT_EQ(sectionArea(s), 0) << type;
                EXPECT_EQ(sectionInertia(s), 0) << type;
                EXPECT_EQ(sectionYgc(s), 0) << type;
            }
        }
    }
    // Zero area or zero centroid height with other dimensions set: the
    // guarded formulas give 0.
    const Section zeros[] = {
        section(kSecAngle, 3, {0.1, 0.1, 0}),
        section(kSecAngle, 0, {0, 0.1, 0.01}),
        section(kSecTShape, 2, {0.1, 0, 0, 0.02}),
        section(kSecCShape, 1, {0.1, 0.1, 0, 0}),
        section(kSecDoubleAngle, 2, {0.1, 0.1, 0, 0.01}),
        section(kSecGirder, 0, {0, 0, 0, 0, 0, 0.2, 0.2, 0.01}),
        section(kSecGirder, 1, {0.02, 0, 0.3, 0, 0.02, 0, 0, 0}),
    };
    for (const Section& s : zeros) {
        EXPECT_TRUE(std::isfinite(sectionInertia(s)) && std::isfinite(sectionYgc(s))) << s.type;
        EXPECT_EQ(sectionInertia(s), 0) << s.type;
    }
}

// A figure as a sorted set of vertices, moved so that its bounding box
// starts at the origin: two placements are the same figure when these agree.
std::vector<std::pair<long long, long long>> figure(const std::vector<Poly>& polys,
                                                    const std::function<P(P)>& place) {
    std::vector<P> pts;
    double x0 = 1e300, y0 = 1e300;
    for (const Poly& poly : polys)
        for (const P& q : poly) {
            pts.push_back(place(q));
            x0 = std::min(x0, pts.back().x), y0 = std::min(y0, pts.back().y);
        }
    std::vector<std::pair<long long, long long>> out;
    for (const P& q : pts)
        out.emplace_back(std::llround((q.x - x0) * 1e9), std::llround((q.y - y0) * 1e9));
    std::sort(out.begin(), out.end());
    return out;
}

// Each command is a mirror image (x -> -x, y -> -y) or a quarter turn (left,
// right) of the placed figure. It takes a code to the admitted code whose
// placement is that image, and is not available when the image is the figure
// itself or no admitted code places it so (shapes with unequal sides).
TEST(SectionOrientation, CommandsTakeEachCodeToThePlacementOfItsImage) {
    const std::function<P(P)> commands[kOrientCommandCount] = {[](P p) {
                                                                   return P{-p.x, p.y};
                                                               },
                                                               [](P p) {
                                                                   return P{p.x, -p.y};
                                                               },
                                                               [](P p) { return turned(p, 1); },
                                                               [](P p) { return turned(p, 3); }};
    int moves = 0;
    for (int type = 0; type < kSectionTypeCount; ++type) {
        const SectionType& t = sectionType(type);
        // Types without a figure here (generic, circle, ring) admit no other code.
        ShapeCase c{type, {}};
        for (const ShapeCase& k : kShapes)
            if (k.type == type && c.v.empty()) c = k;
        const auto polys = c.row.empty() ? shapeOf(c.type, c.v) : shapeOf(kSecIShape, c.row);
        const int geometry = c.row.empty() ? c.type : kSecIShape;
        for (int k = 0; k < t.codeCount; ++k) {
            const int code = t.codes[k];
            for (int cmd = 0; cmd < kOrientCommandCount; ++cmd) {
                const auto place = placement(geometry, code);
                const auto image = figure(polys, [&](P p) { return commands[cmd](place(p)); });
                int want = -1;
                for (int j = 0; j < t.codeCount; ++j)
                    if (t.codes[j] != code &&
                        figure(polys, placement(geometry, t.codes[j])) == image &&
                        figure(polys, place) != image)
                        want = t.codes[j];
                Section s = makeSection(c.type);
                s.orientation = code;
                const std::string where = std::string(t.item) + " code " + std::to_string(code) +
                                          " command " + std::to_string(cmd);
                EXPECT_EQ(orientationAvailable(s, cmd), want >= 0) << where;
                EXPECT_EQ(applyOrientation(s, cmd), want >= 0) << where;
                EXPECT_EQ(s.orientation, want >= 0 ? want : code) << where;
                moves += want >= 0;
            }
        }
    }
    EXPECT_EQ(moves, 84); // the transitions of the orientation panel
    Section s = makeSection(kSecTShape);
    EXPECT_FALSE(orientationAvailable(s, 4));
    EXPECT_FALSE(orientationAvailable(s, -1));
}

// Item, name and every admitted code with its text, for every type.
TEST(SectionOrientation, TextsAndNames) {
    std::string text;
    for (int type = 0; type < kSectionTypeCount; ++type) {
        Section s = makeSection(type);
        const SectionType& t = sectionType(type);
        text += std::string(t.item) + " | " + sectionTypeName(s) + "\n";
        for (int k = 0; k < t.codeCount; ++k) {
            s.orientation = t.codes[k];
            EXPECT_TRUE(admitsOrientation(type, t.codes[k]));
            text += "  " + std::to_string(t.codes[k]) + " " + sectionOrientationText(s) + "\n";
        }
    }
    kestrel_test::expectGolden("attrib", "orientations", text);
}

// A section written and read back through a real file.
struct FileRound {
    std::FILE* f = std::tmpfile();
    ~FileRound() {
        if (f) std::fclose(f);
    }
    void put(const std::string& text) {
        std::fputs(text.c_str(), f);
        std::rewind(f);
    }
};

TEST(SectionFile, ParameterLinesRoundTrip) {
    struct Case {
        Section s;
        const char* line;
    } cases[] = {
        {section(kSecGeneric, 0, {0.0086, 1.2e-4, 0.3, 0.15}), " 0.0086 0.00012 0.3 0.15\n"},
        {section(kSecRectangle, 0, {0.5, 0.2}), " 0.5 0.2\n"},
        {section(kSecAngle, 7, {0.1, 0.08, 0.01}), " 0.1 0.08 0.01\n"},
        {section(kSecCircle, 0, {0.3}), " 0.3\n"},
        {section(kSecGirder, 2, {1, 2, 3, 4, 5, 6, 7, 8}), " 1 2 3 4 5 6 7 8\n"},
        {section(kSecWelded, 1, {2, 10, 12}), " 2 10 12\n"},
        {section(kSecLight, 0, {3, 4}), " 3 4\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sectionParamLine(c.s), c.line);
        FileRound io;
        ASSERT_TRUE(writeSectionParams(c.s, io.f));
        std::fputs("tail", io.f);
        std::rewind(io.f);
        Section back = makeSection(c.s.type);
        back.orientation = c.s.orientation;
        ASSERT_TRUE(readSectionParams(back, io.f)) << c.line;
        EXPECT_EQ(back.params, c.s.params);
        EXPECT_EQ(back.orientation, c.s.orientation);
        char rest[8] = {};
        EXPECT_EQ(std::fscanf(io.f, "%7s", rest), 1);
        EXPECT_STREQ(rest, "tail"); // exactly the parameters were consumed
    }
}

TEST(SectionFile, BadInputIsRefusedOrRepairedWithoutLoss) {
    { // Too few numbers: refused, the section keeps its parameters.
        FileRound io;
        io.put(" 0.3 0.15 x\n");
        Section s = section(kSecIShape, 1, {1, 2, 3, 4});
        EXPECT_FALSE(readSectionParams(s, io.f));
        EXPECT_EQ(s.params, (std::vector<double>{1, 2, 3, 4}));
    }
    { // Catalogue positions outside the tables and codes the type does not admit.
        FileRound io;
        io.put(" 7 99 99\n 2 -4\n 1 2\n");
        Section w = makeSection(kSecWelded);
        w.orientation = 3;
        ASSERT_TRUE(readSectionParams(w, io.f));
        EXPECT_EQ(w.params, (std::vector<double>{1, 31, 4}));
        EXPECT_EQ(w.orientation, 0);
        EXPECT_EQ(sectionTypeName(w), "VS2500x785");
        Section l = makeSection(kSecLight);
        ASSERT_TRUE(readSectionParams(l, io.f));
        EXPECT_EQ(l.params, (std::vector<double>{2, 0}));
        Section angle = makeSection(kSecAngle);
        angle.orientation = 1;
        EXPECT_FALSE(readSectionParams(angle, io.f)); // two of three numbers
    }
    // Numbers a section cannot hold: refused, nothing changes.
    for (const char* bad : {" 0.3 nan\n", " inf 0.2\n", " 1e999 0.2\n"}) {
        FileRound io;
        io.put(bad);
        Section r = section(kSecRectangle, 0, {0.5, 0.2});
        EXPECT_FALSE(readSectionParams(r, io.f)) << bad;
        EXPECT_EQ(r.params, (std::vector<double>{0.5, 0.2})) << bad;
    }
    for (const char* bad : {" 1 2.5 0\n", " 1 99999999999 0\n", " 1 0\n"}) {
        FileRound io;
        io.put(bad);
        Section w = makeSection(kSecWelded);
        EXPECT_FALSE(readSectionParams(w, io.f)) << bad;
        EXPECT_EQ(w.params, (std::vector<double>{1, 0, 0})) << bad;
    }
    { // Skipping reads as many numbers as the type has.
        FileRound io;
        io.put(" 1 2 3 4 5 6 7 8 1 0 0 9");
        EXPECT_TRUE(skipSectionParams(kSecGirder, io.f));
        EXPECT_TRUE(skipSectionParams(kSecWelded, io.f));
        int next = 0;
        EXPECT_EQ(std::fscanf(io.f, "%d", &next), 1);
        EXPECT_EQ(next, 9);
        EXPECT_FALSE(skipSectionParams(kSecBox, io.f));
        EXPECT_FALSE(skipSectionParams(14, io.f));
    }
}

TEST(SectionUnits, OlderModelsConvertEachParameterByItsQuantity) {
    // Stated units: cm (1), cm2 (8), cm4 (13).
    struct Case {
        Section s;
        std::vector<double> want;
    } cases[] = {
        {section(kSecGeneric, 0, {86, 12000, 30, 15}), {0.0086, 1.2e-4, 0.3, 0.15}},
        {section(kSecBox, 0, {30, 20, 1, 1.5}), {0.3, 0.2, 0.01, 0.015}},
        {section(kSecWelded, 0, {2, 3, 4}), {2, 3, 4}},
    };
    for (Case& c : cases) {
        convertSectionParams(c.s, 1, 8, 13);
        for (size_t k = 0; k < c.want.size(); ++k)
            EXPECT_NEAR(c.s.params[k], c.want[k], 1e-12 * c.want[k]) << c.s.type << " " << k;
    }
}

TEST(SectionText, DescriptionInTheSectionSizeUnit) {
    units::resetUnits();
    units::setCurrentUnit(units::kSectionSizeUnit, 1); // cm
    units::setCurrentFormat(units::kSectionSizeFormat, 1);
    const Section cases[] = {
        section(kSecGeneric, 0, {1, 2, 3, 4}),
        section(kSecRectangle, 0, {0.5, 0.2}),
        section(kSecBox, 0, {0.3, 0.2, 0.01, 0.015}),
        section(kSecIShape, 1, {0.3, 0.15, 0.01, 0.02}),
        section(kSecZShape, 4, {0.2, 0.075, 0.004}),
        section(kSecDoubleAngle, 0, {0.1, 0.08, 0.01, 0.012}),
        section(kSecGirder, 3, {0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.07, 0.08}),
        makeSection(kSecWelded),
    };
    std::string text;
    for (const Section& c : cases) text += "[" + sectionTypeName(c) + "]\n" + sectionDescription(c);
    kestrel_test::expectGolden("attrib", "descriptions", text);
    units::resetUnits();
}

} // namespace
