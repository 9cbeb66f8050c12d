// Member result curves against the closed forms of beam theory: simply
// supported, linearly loaded, cantilever and fixed-fixed members, the
// elastic curve under each hinge arrangement, step values at their edge
// cases, and the drawing of diagrams, deformed members and reactions on the
// recording driver.
#include "attrib/settings.h"
#include "gfx/record.h"
#include "results/diagram.h"
#include "results/diagramdraw.h"
#include "results/resultquery.h"
#include "tests/support/golden.h"
#include "tests/support/primitives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

namespace {

using results::MemberInput;
using results::ResultKind;
using Kind = gfx::Primitive::Kind;

// A member from (x1, y1) to (x2, y2) with end-1 forces N1, V1, M1 and a
// linear local load; the end-2 forces follow from equilibrium.
MemberInput member(double x1, double y1, double x2, double y2, double N1, double V1, double M1,
                   double qx1 = 0, double qy1 = 0, double qx2 = 0, double qy2 = 0) {
    MemberInput m;
    m.x1 = x1, m.y1 = y1, m.x2 = x2, m.y2 = y2;
    m.N1 = N1, m.V1 = V1, m.M1 = M1;
    m.qx1 = qx1, m.qy1 = qy1, m.qx2 = qx2, m.qy2 = qy2;
    const double L = results::memberLength(m);
    m.N2 = -N1 - (qx1 + qx2) * L / 2;
    m.V2 = -V1 - (qy1 + qy2) * L / 2;
    m.M2 = -M1 - m.V2 * L - (qy1 * L * L / 2 + (qy2 - qy1) * L * L / 3);
    return m;
}

constexpr double q = 10, L = 6, h = 0.01;
// Simply supported under q downward, drawn from left to right and reversed.
const MemberInput ss = member(0, 0, L, 0, 0, q* L / 2, 0, 0, -q, 0, -q);
const MemberInput ssRev = member(L, 0, 0, 0, 0, -q* L / 2, 0, 0, q, 0, q);

TEST(DiagramTest, ClosedFormsOfSampledDiagrams) {
    // The simply supported beam both ways; linear load 0..p on it; cantilever (fixed at end 1) with
    // a tip load P = 5; fixed-fixed beam with a constant moment (thermal gradient).
    const MemberInput lin = member(0, 0, L, 0, 3, q * L / 6, 0, 0, 0, 0, -q);
    const MemberInput cant = member(0, 0, L, 0, 0, 5, 5 * L);
    const MemberInput thermal = member(0, 0, L, 0, 0, 0, 12.5);
    const struct {
        const MemberInput* m;
        ResultKind kind;
        int intervals;
        double extremeX, extreme, atQuarter;
    } cases[] = {
        {&ss, ResultKind::Bending, 600, L / 2, -q * L * L / 8, -3 * q * L * L / 32},
        {&ssRev, ResultKind::Bending, 600, L / 2, q * L * L / 8, 3 * q * L * L / 32},
        {&ss, ResultKind::Shear, 1, 0, q * L / 2, q * L / 4},
        {&lin, ResultKind::Shear, 600, L, -q * L / 3, q * L / 6 - q * L / 32},
        {&lin, ResultKind::Axial, 1, 0, 3, 3},
        {&cant, ResultKind::Bending, 1, 0, 5 * L, 5 * L * 0.75},
        {&cant, ResultKind::Shear, 1, 0, 5, 5},
        {&thermal, ResultKind::Bending, 1, 0, 12.5, 12.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        const results::MemberCurve d = results::sampleDiagram(*c.m, c.kind, h);
        ASSERT_EQ(static_cast<int>(d.pts.size()), c.intervals + 3);
        EXPECT_EQ(d.pts.front().f, 0);
        EXPECT_EQ(d.pts.back().f, 0);
        EXPECT_NEAR(d.extremeX, c.extremeX, 1e-9);
        EXPECT_NEAR(d.extremeValue, c.extreme, 1e-9);
        EXPECT_NEAR(results::ordinate(*c.m, c.kind, L / 4), c.atQuarter, 1e-9);
        // The interior formula meets the end value.
        EXPECT_NEAR(results::ordinate(*c.m, c.kind, L * (1 - 1e-12)),
                    results::ordinate(*c.m, c.kind, L), 1e-6);
    }
    EXPECT_TRUE(results::sampleDiagram(ss, ResultKind::Deformed, h).pts.empty());
    // No step: the ends and the point where the moment turns.
    EXPECT_EQ(results::sampleDiagram(ss, ResultKind::Bending, 0).pts.size(), 5u);
    EXPECT_EQ(results::sampleDiagram(ss, ResultKind::Bending, 1e-12).pts.size(),
              static_cast<std::size_t>(results::kMaxIntervals + 3));
}

TEST(DiagramTest, LocalBendingExtremes) {
    const MemberInput lin = member(0, 0, L, 0, 0, q * L / 6, 0, 0, 0, 0, -q);
    auto e = results::bendingExtremes(ss);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_NEAR(e[0].x, L / 2, 1e-9);
    EXPECT_NEAR(e[0].M, q * L * L / 8, 1e-9);
    // Drawn right to left: the same sagging moment, positive as written.
    e = results::bendingExtremes(ssRev);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_NEAR(e[0].M, q * L * L / 8, 1e-9);
    // Triangular load: zero shear at L/sqrt(3), moment qL^2/(9 sqrt 3).
    e = results::bendingExtremes(lin);
    ASSERT_EQ(e.size(), 1u);
    EXPECT_NEAR(e[0].x, L / std::sqrt(3.0), 1e-9);
    EXPECT_NEAR(e[0].M, q * L * L / (9 * std::sqrt(3.0)), 1e-9);
    EXPECT_TRUE(results::bendingExtremes(member(0, 0, L, 0, 0, 5, 5 * L)).empty());
}

TEST(DiagramTest, StepValues) {
    const MemberInput tension = member(0, 0, 0, 4, -7, 0, 0);
    auto shortMember = [](double length) { return member(0, 0, length, 0, 0, 1, 0); };
    const struct {
        MemberInput m;
        ResultKind kind;
        double t;
        bool uniform;
        std::vector<double> xs, values;
    } cases[] = {
        {ss, ResultKind::Bending, 1.5, true, {0, 1.5, 3, 4.5, 6}, {0, 33.75, 45, 33.75, 0}},
        {ssRev, ResultKind::Bending, 1.5, true, {0, 1.5, 3, 4.5, 6}, {0, 33.75, 45, 33.75, 0}},
        {ss, ResultKind::Bending, 4, false, {0, 4, 6}, {0, 40, 0}},
        {ss, ResultKind::Bending, 4, true, {0, 3, 6}, {0, 45, 0}},
        {ss, ResultKind::Shear, 3, true, {0, 3, 6}, {30, 0, -30}},
        {tension, ResultKind::Axial, 4, true, {0, 4}, {7, 7}},
        // A remainder of at most 0.005 m makes no step of its own.
        {shortMember(1.003), ResultKind::Shear, 0.5, false, {0, 0.5, 1.003}, {1, 1, 1}},
        {shortMember(1.006), ResultKind::Shear, 0.5, false, {0, 0.5, 1, 1.006}, {1, 1, 1, 1}},
        {member(0, 0, 1, 0, 0, 0.004, 0), ResultKind::Shear, 1, true, {0, 1}, {0, 0}},
        {ss, ResultKind::Bending, 6.0 / 49, true, std::vector<double>(50), {}},
        {ss, ResultKind::Bending, 6.0 / 50, true, {}, {}},
        {ss, ResultKind::Bending, 0, true, {}, {}},
        {ss, ResultKind::Bending, -1, true, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.t);
        const auto v = results::stepValues(c.m, c.kind, c.t, c.uniform);
        ASSERT_EQ(v.size(), c.xs.size());
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            EXPECT_NEAR(v[i].x, c.xs[i], 1e-9);
            EXPECT_NEAR(v[i].value, c.values[i], 1e-9);
        }
    }
}

TEST(DiagramTest, ElasticCurveClosedForms) {
    const double E = 2e8, I = 1e-4, A = 1e-2, EI = E * I, qd = -q;
    auto beam = [&](bool h1, bool h2, double t1, double t2) {
        MemberInput m = member(0, 0, L, 0, 0, 0, 0, 0, qd, 0, qd);
        m.E = E, m.I = I, m.A = A, m.depth = 0.3;
        m.hinge1 = h1, m.hinge2 = h2, m.t1 = t1, m.t2 = t2;
        return m;
    };
    const double th = qd * L * L * L / (24 * EI);
    auto ssCurve = [&](double x) {
        return qd * x * (L * L * L - 2 * L * x * x + x * x * x) / (24 * EI);
    };
    // Propped cantilevers: pinned at 0 and fixed at L, and the mirror.
    auto pinFix = [&](double x) {
        return qd * x * (L * L * L - 3 * L * x * x + 2 * x * x * x) / (48 * EI);
    };
    auto fixPin = [&](double x) {
        return qd * x * x * (3 * L * L - 5 * L * x + 2 * x * x) / (48 * EI);
    };
    auto fixFix = [&](double x) { return qd * x * x * (L - x) * (L - x) / (24 * EI); };
    const struct {
        MemberInput m;
        std::function<double(double)> w;
    } cases[] = {
        {beam(false, false, th, -th), ssCurve}, {beam(true, true, 0, 0), ssCurve},
        {beam(true, false, 0, 0), pinFix},      {beam(false, true, 0, 0), fixPin},
        {beam(false, false, 0, 0), fixFix},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.m.hinge1 * 2 + c.m.hinge2);
        const MemberInput m = results::deformationInput(c.m);
        for (double x : {L / 4, L / 2, 0.7 * L}) {
            double u = 0, w = 0;
            results::displacementAt(m, x, u, w);
            EXPECT_NEAR(w, c.w(x), 1e-12);
            EXPECT_EQ(u, 0);
        }
    }
    EXPECT_NEAR(ssCurve(L / 2), 5 * qd * L * L * L * L / (384 * EI), 1e-12);
    const results::MemberCurve d = results::sampleDeformed(beam(false, false, th, -th), 0.01);
    EXPECT_EQ(d.pts.size(), 601u);
    EXPECT_NEAR(d.extremeX, L / 2, 1e-9);
    EXPECT_NEAR(d.extremeValue, 5 * qd * std::pow(L, 4) / (384 * EI), 1e-12);

    // Thermal gradient: a member hinged at both ends bows alpha dT L^2 / 8h;
    // a fixed-fixed member does not deflect at all.
    MemberInput t = beam(true, true, 0, 0);
    t.qy1 = t.qy2 = 0, t.alpha = 1e-5, t.tyPlus = -10, t.tyMinus = 20;
    double u = 0, w = 0;
    results::displacementAt(results::deformationInput(t), L / 2, u, w);
    EXPECT_NEAR(w, -t.alpha * 30 * L * L / (8 * 0.3), 1e-12);
    t.hinge1 = t.hinge2 = false;
    EXPECT_EQ(results::sampleDeformed(t, 0.1).extremeValue, 0);

    // Axial: a fixed bar under qx bulges qL^2/8EA at mid-length.
    MemberInput bar = beam(false, false, 0, 0);
    bar.qy1 = bar.qy2 = 0, bar.qx1 = bar.qx2 = 4;
    results::displacementAt(bar, L / 2, u, w);
    EXPECT_NEAR(u, 4 * L * L / (8 * E * A), 1e-15);
}

TEST(DiagramTest, ElasticCurveMirrorsAndEndMoments) {
    // A member and its mirror image (ends swapped, rotations and end moments
    // reversed, load reversed along it) deflect alike at mirrored points,
    // for every hinge arrangement, with loads, end moments and a gradient.
    for (int hinges = 0; hinges < 4; ++hinges) {
        MemberInput a = member(0, 0, 5, 0, 0, 0, 0, 0, -3, 0, -8);
        a.E = 3e7, a.I = 2e-4, a.A = 0.02, a.depth = 0.4, a.alpha = 1e-5;
        a.tyPlus = -5, a.tyMinus = 15, a.Ma = 4, a.Mb = -7;
        a.w1 = 0.002, a.w2 = -0.001, a.t1 = 0.0005, a.t2 = -0.0003;
        a.hinge1 = hinges & 1, a.hinge2 = hinges & 2;
        MemberInput b = a;
        std::swap(b.w1, b.w2);
        b.t1 = -a.t2, b.t2 = -a.t1, b.Ma = -a.Mb, b.Mb = -a.Ma;
        b.qy1 = a.qy2, b.qy2 = a.qy1;
        b.hinge1 = a.hinge2, b.hinge2 = a.hinge1;
        for (double x : {0.5, 1.7, 2.5, 4.1}) {
            double u = 0, wa = 0, wb = 0;
            results::displacementAt(a, x, u, wa);
            results::displacementAt(b, 5 - x, u, wb);
            EXPECT_NEAR(wa, wb, 1e-12) << hinges << " " << x;
        }
    }
    // End moment M0 on a simply supported member: M0 L^2 / 16EI at mid-span;
    // on the pinned end of a propped cantilever: M0 x (L - x)^2 / 4EIL.
    MemberInput m = member(0, 0, L, 0, 0, 0, 0);
    m.E = 1, m.I = 1, m.A = 1, m.depth = 1, m.Ma = 2, m.hinge1 = m.hinge2 = true;
    double u = 0, w = 0;
    results::displacementAt(m, L / 2, u, w);
    EXPECT_NEAR(w, 2 * L * L / 16, 1e-12);
    m.hinge2 = false;
    results::displacementAt(m, L / 3, u, w);
    EXPECT_NEAR(w, 2 * (L / 3) * (2 * L / 3) * (2 * L / 3) / (4 * L), 1e-12);
}

TEST(DiagramTest, SubstitutionsKeepTheCurveFinite) {
    MemberInput m = member(0, 0, 2, 0, 0, 0, 0, 1, 1, 1, 1);
    m.depth = -1, m.tyPlus = 5, m.E = 0, m.I = 0, m.A = 0;
    const MemberInput s = results::deformationInput(m);
    EXPECT_EQ((std::vector<double>{s.E, s.I, s.A, s.depth, s.tyPlus, s.qy1, s.qx1, double(s.hinge1),
                                   double(s.hinge2)}),
              (std::vector<double>{1, 1, 1, 1, 0, 0, 0, 1, 1}));
    m.rigid = true;
    EXPECT_EQ(results::deformationInput(m).I, 1e7);
    for (const auto& p : results::sampleDeformed(m, 0.1).pts) EXPECT_TRUE(std::isfinite(p.f));
    // A member of length 0 gives its end values and no division by zero.
    MemberInput z;
    z.w1 = 0.5;
    EXPECT_EQ(results::sampleDeformed(z, 0.1).pts.size(), 2u);
    EXPECT_TRUE(results::stepValues(z, ResultKind::Bending, 0.5, true).empty());
}

TEST(DiagramTest, SizeAndFactor) {
    EXPECT_DOUBLE_EQ(results::defaultDiagramSize(0, 20, -1, 5), 2);
    EXPECT_DOUBLE_EQ(results::diagramSizeLimit(2), 10);
    EXPECT_DOUBLE_EQ(results::diagramScale(2, -40), 0.05);
    EXPECT_DOUBLE_EQ(results::diagramScale(2, 0), 1);
    const struct {
        double r, expect;
    } valuator[] = {{0.5, 5}, {1, 10}, {0, 3}, {1.01, 3}, {-0.2, 3}};
    for (const auto& v : valuator)
        EXPECT_DOUBLE_EQ(results::sizeFromValuator(v.r, 10, 3), v.expect);
    for (auto [factor, size] : {std::pair{0.1, 4.0}, {-0.1, 0.0}, {1.0, 10.0}})
        EXPECT_DOUBLE_EQ(results::sizeFromFactor(factor, 40, 10), size);
    EXPECT_DOUBLE_EQ(results::shownFactor(4, 40), 0.1);
    EXPECT_DOUBLE_EQ(results::shownFactor(4, 0), 0);
    double lx = 0, ly = 0;
    results::globalToLocal(0, -10, std::atan2(1, 0), lx, ly); // vertical member
    EXPECT_DOUBLE_EQ(lx, -10);
    EXPECT_EQ(ly, 0);
    EXPECT_EQ((std::vector<bool>{results::readsLeftToRight(0, 0, 0, 1),
                                 results::readsLeftToRight(0, 0, 0, -1),
                                 results::readsLeftToRight(0, 0, -1, 5)}),
              (std::vector<bool>{true, false, false}));
}

// The result line of the picked point (tests/data/results/picked-lines.txt):
// bending both ways, shear, axial in tension and compression, displacements,
// and no line without a result kind.
TEST(DiagramTest, ResultLineOfThePickedPoint) {
    const attrib::AppSettings st = attrib::initialSettings();
    MemberInput column = member(0, 0, 0, 4, 7, 0, 0);
    column.E = column.I = column.A = 1, column.w2 = 0.5, column.u2 = 0.1;
    const MemberInput tension = member(0, 0, 0, 4, -7, 0, 0);
    std::string lines;
    for (const auto& [m, kind, x] : {std::tuple{ss, ResultKind::Bending, 3.0},
                                     {ssRev, ResultKind::Bending, 1.5},
                                     {ss, ResultKind::Shear, 1.5},
                                     {tension, ResultKind::Axial, 2.0},
                                     {column, ResultKind::Axial, 2.0},
                                     {column, ResultKind::Deformed, 4.0},
                                     {column, ResultKind::None, 4.0}})
        lines += results::resultLine(st, m, kind, x) + "\n";
    kestrel_test::expectGolden("results", "picked-lines", lines);
    EXPECT_DOUBLE_EQ(results::localPosition(ssRev, 4.5, 1), 1.5);
    EXPECT_EQ(results::localPosition(ss, -3, 0), 0);
    EXPECT_EQ(results::localPosition(ss, 9, 2), L);
    EXPECT_EQ(results::localPosition(MemberInput{}, 1, 1), 0);
}

// ---- Drawing ----------------------------------------------------------------

class DiagramDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        c.setWindow(-1, 7, -4, 4);
        settings = attrib::initialSettings();
    }
    std::vector<gfx::Primitive> of(Kind k) const { return kestrel_test::primitivesOf(c, k); }
    gfx::RecordingCanvas c{800, 800};
    attrib::AppSettings settings;
};

// The drawings as snapshots (tests/data/results/diagram-drawing.txt):
// - the simply supported moment diagram, drawn either way, on the tension
//   side (2 m below the member at mid-span, exactly) or the compression side,
//   and signed: one outline (zero end ordinates: no closing lines), the zero
//   end values not written, the mid value below the diagram on its side;
// - a cantilever's hogging moment written as its magnitude, then signed; its
//   outline starts with the closing line at end 1;
// - too many step values: none written, the diagram still drawn thinned to
//   kMaxDrawnPoints - 2 points;
// - steps of 1 m: five values and the transversal lines at the steps;
// - the same diagram twice with one label space: the second labels left out;
// - the deformed member (scale 2, colour 3) ending at (L + 0.2, 1);
// - a reaction of Fx, Fy and Mz: two arrow heads and the moment's, its arc
//   and three values; the vertical arrow points up from below the support;
//   with Fx hidden and no moment one head and no value.
TEST_F(DiagramDrawTest, Snapshots) {
    results::DiagramStyle st;
    st.settings = &settings;
    st.scale = results::diagramScale(2, q * L * L / 8);
    st.stepValues = true;
    st.step = 3;
    std::string snap;
    for (auto [name, m, tension, sign] : {std::tuple{"simple", ss, true, false},
                                          {"simple, reversed", ssRev, true, false},
                                          {"simple, compression side", ss, false, false},
                                          {"simple, reversed, signed", ssRev, true, true}}) {
        c.reset();
        st.tensionSide = tension;
        st.signedMoment = sign;
        results::drawMemberDiagram(c, m, results::sampleDiagram(m, st.kind, 0.01), st);
        snap += kestrel_test::scene(name, c);
        const auto lines = of(Kind::Polyline);
        ASSERT_EQ(lines.size(), 1u);
        double lowest = 0;
        for (const auto& p : lines[0].world)
            if (std::fabs(p.y) > std::fabs(lowest)) lowest = p.y;
        EXPECT_NEAR(lowest, tension ? -2 : 2, 1e-9);
    }
    const MemberInput cant = member(0, 0, L, 0, 0, 5, 5 * L);
    st = results::DiagramStyle{};
    st.scale = 0.05;
    st.settings = &settings;
    for (bool sign : {false, true}) {
        c.reset();
        st.signedMoment = sign;
        results::drawMemberDiagram(c, cant, results::sampleDiagram(cant, st.kind, 0.01), st);
        snap += kestrel_test::scene(sign ? "cantilever, signed" : "cantilever", c);
    }
    st.endValues = false, st.stepValues = true, st.step = 0.01, st.transversal = true;
    const auto curve = results::sampleDiagram(ss, st.kind, 0.001);
    for (double step : {0.01, 1.0}) {
        c.reset();
        st.step = step;
        results::drawMemberDiagram(c, ss, curve, st);
        snap += kestrel_test::scene("step " + kestrel_test::px(step), c);
    }
    results::LabelSpace space;
    st.labels = &space;
    c.reset();
    results::drawMemberDiagram(c, ss, curve, st);
    results::drawMemberDiagram(c, ss, curve, st);
    snap += kestrel_test::scene("twice, one label space", c);
    MemberInput m = member(0, 0, L, 0, 0, 0, 0);
    m.E = 1, m.I = 1, m.A = 1, m.w2 = 0.5, m.u2 = 0.1;
    c.reset();
    results::drawDeformedMember(c, m, results::sampleDeformed(m, 0.1), 2, 3);
    snap += kestrel_test::scene("deformed", c);
    const results::SymbolSizes sz = results::symbolSizes(-1, 7, -4, 4);
    results::Reaction r{0, 0, -2, 30, 12.5, true, true, true};
    c.reset();
    results::drawReaction(c, r, sz, &settings, true, 4);
    snap += kestrel_test::scene("reaction", c);
    r.showX = false, r.mz = 0;
    c.reset();
    results::drawReaction(c, r, sz, &settings, false, 4);
    kestrel_test::expectGolden("results", "diagram-drawing",
                               snap + kestrel_test::scene("reaction, Fy only", c));
    // The thinned curve keeps its extreme.
    const auto idx = results::drawnPoints(curve);
    ASSERT_EQ(idx.size(), static_cast<std::size_t>(results::kMaxDrawnPoints));
    EXPECT_NE(std::find(idx.begin(), idx.end(), 3001), idx.end());
}

} // namespace
