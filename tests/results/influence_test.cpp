// Influence-line sections: snapping to the result step in both step modes,
// the ends within 0.005 becoming the nodes; the side an influence line is
// drawn on under the two sign conventions, its section mark and step values,
// and the threshold below which nothing is drawn. Its message line texts are
// among the inquiry texts.
#include "gfx/record.h"
#include "results/diagramdraw.h"
#include "results/influence.h"
#include "results/inquiry.h"
#include "results/resultquery.h"
#include "results/resultset.h"
#include "tests/support/golden.h"
#include "tests/support/primitives.h"
#include "units/units.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(InfluenceSectionTest, SnapsToTheStepAndTheEnds) {
    struct Case {
        double x, L, t;
        bool uniform;
        double expected;
    };
    const Case cases[] = {
        // No step: only the ends move.
        {1.2345, 4, 0, true, 1.2345},
        {0.003, 4, 0, true, 0},
        {0.005, 4, 0, true, 0.005},
        {3.996, 4, 0, false, 4},
        {3.995, 4, 0, false, 3.995},
        // Uniform steps: 4 / 1.5 rounds to 3 segments of 4/3.
        {1.0, 4, 1.5, true, 4.0 / 3},
        {0.6, 4, 1.5, true, 0},
        {3.9, 4, 1.5, true, 4},
        // 4.1 / 1 = 4 segments, 0.1 left over: 5 segments of 0.82.
        {1.0, 4.1, 1.0, true, 0.82},
        // 4.004 / 1: the 0.004 left over does not add a segment.
        {2.2, 4.004, 1.0, true, 2.002},
        // Fixed step 1.5: 0, 1.5, 3.0 and the end; exactly half goes down.
        {2.25, 4, 1.5, false, 1.5},
        {2.26, 4, 1.5, false, 3.0},
        {3.9, 4, 1.5, false, 4},
        {0.74, 4, 1.5, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(results::snapSection(c.x, c.L, c.t, c.uniform), c.expected, 1e-12)
            << "x " << c.x << " L " << c.L << " t " << c.t << " uniform " << c.uniform;
}

// A member of 4 m along x, drawn left to right or right to left, whose
// sampled influence line peaks at its middle.
results::ResultCurves triangle(bool leftToRight, results::ResultKind kind, double peak = 1) {
    results::ResultCurves rc;
    rc.kind = kind;
    rc.influence = true;
    results::MemberInput m;
    m.x1 = leftToRight ? 0 : 4, m.x2 = leftToRight ? 4 : 0;
    rc.inputs.push_back(m);
    rc.curves.push_back({{{0, 0, 0}, {0, 0, 0}, {2, 0, peak}, {4, 0, 0}, {4, 0, 0}}, 2, peak});
    rc.members.push_back(nullptr);
    rc.largest = peak;
    return rc;
}

// The curves drawn into the recording driver (the 4 m member in a 6 m x 3 m
// window), as a titled scene.
std::string drawIL(const std::string& title, const results::ResultCurves& rc,
                   const attrib::AppSettings& s) {
    results::ResultDrawing rd;
    rd.curves = &rc;
    rd.diagramSize = 0.5;
    gfx::RecordingCanvas c(400, 200);
    c.setWindow(-1, 5, -1.5, 1.5);
    results::drawResults(c, rd, &s, attrib::makeScheme(attrib::kWhiteBackground),
                         results::symbolSizes(-1, 5, -1.5, 1.5));
    return kestrel_test::scene(title, c);
}

// Positive values lie below the member unless the influence-line setting
// follows the diagrams; then axial and shear values lie above, bending
// values only when the moment diagram is on the compression side. The
// reading direction of the member never changes the side, and the texts
// do not follow the conventions.
TEST(InfluenceDrawingTest, SideOfPositiveValuesUnderTheSignConventions) {
    using K = results::ResultKind;
    struct Case {
        K kind;
        int bendingSide, influenceSide;
        bool above;
    };
    const Case cases[] = {
        {K::Axial, 1, 1, false},   {K::Shear, 0, 1, false},  {K::Bending, 1, 1, false},
        {K::Bending, 0, 1, false}, {K::Axial, 1, 0, true},   {K::Shear, 1, 0, true},
        {K::Bending, 1, 0, false}, {K::Bending, 0, 0, true},
    };
    attrib::AppSettings s = attrib::initialSettings();
    for (const Case& c : cases)
        for (bool l2r : {true, false}) {
            s.signConvention = {c.bendingSide, c.influenceSide};
            const results::ResultCurves rc = triangle(l2r, c.kind);
            results::ResultDrawing rd;
            rd.curves = &rc;
            rd.diagramSize = 0.5;
            double peakY = 0;
            results::forEachDrawnPoint(rd, &s, [&](double x, double y) {
                if (std::fabs(x - 2) < 1e-12) peakY = y;
            });
            EXPECT_NEAR(peakY, c.above ? 0.5 : -0.5, 1e-12)
                << static_cast<int>(c.kind) << " " << c.bendingSide << c.influenceSide << " "
                << l2r;
            // The texts stay as they are.
            const attrib::AppSettings plain = attrib::initialSettings();
            EXPECT_EQ(results::influenceLine(s, rc.inputs[0], c.kind, true, 1, 0.5),
                      results::influenceLine(plain, rc.inputs[0], c.kind, true, 1, 0.5));
            EXPECT_EQ(results::memberInfluenceText(s, rc.inputs[0], c.kind, true, 1),
                      results::memberInfluenceText(plain, rc.inputs[0], c.kind, true, 1));
        }
}

// The drawings as snapshots (tests/data/results/influence-drawing.txt):
// - a bending line, section at mid-length, ends held (no end displacements):
//   the outline through the samples, the thick section mark across the
//   member, the values at the 1 m step: the unit kink bends the member to
//   0.5 m under the section and 0.125 m at 1 m and 3 m (written 0.12); the
//   step value under the section value would overlap it and is left out;
// - the same line peaking at 0.001: not drawn at all;
// - an axial line of a beam lifted as a whole by 0.3: -0.3 on both sides of
//   the section, written once (the second overlaps the first); lifted by
//   0.004, below the threshold of 0.005: not written.
TEST(InfluenceDrawingTest, Snapshots) {
    attrib::AppSettings s = attrib::initialSettings();
    s.display[attrib::kStepValues] = 1;
    s.resultStep = 1;
    std::string snap;
    for (double peak : {1.0, 0.001}) {
        results::ResultCurves rc = triangle(true, results::ResultKind::Bending, peak);
        rc.sectionIndex = 0;
        rc.sectionX = 2;
        rc.inputs[0].E = 2e8, rc.inputs[0].I = 1e-4;
        snap += drawIL(peak > 0.5 ? "bending, peak 1" : "bending, peak 0.001", rc, s);
    }
    for (double w : {-0.3, -0.004}) {
        results::ResultCurves rc = triangle(true, results::ResultKind::Axial);
        rc.sectionIndex = 0;
        rc.sectionX = 2;
        rc.inputs[0].w1 = rc.inputs[0].w2 = w;
        snap += drawIL(w < -0.1 ? "axial, lifted 0.3" : "axial, lifted 0.004", rc,
                       attrib::initialSettings());
    }
    kestrel_test::expectGolden("results", "influence-drawing", snap);
}

} // namespace
