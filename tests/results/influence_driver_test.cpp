// Influence lines through the analysis driver: against the closed forms of a
// simply supported beam and a cantilever (the moment line at mid-span is a
// triangle with L/4 under the section, the shear line jumps by 1 there, the
// moment line of a cantilever's fixed end reaches the span at the free end),
// and, on continuous beams and portal frames, against the section forces of
// separate analyses with a unit load. Displacements pass through the result
// file with four significant digits.
#include "tests/analysis/fixture.h"

#include "results/influence.h"
#include "results/resultset.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace analysis::test {
namespace {

using results::ResultKind;
constexpr double L = 6;

class InfluenceThroughDriver : public FrameTest {
protected:
    // The influence line of `kind` at a on the member through (mx, 0).
    results::MemberCurve influence(ResultKind kind, double a) {
        resetResults(s);
        Edge* e = member(L / 2, 0);
        const RunOutcome out =
            runInfluenceAnalysis(s, root(), modelPath(), {static_cast<int>(kind), e, a, L});
        EXPECT_EQ(out.status, RunStatus::kSolved) << out.message;
        return results::sampleInfluence(results::memberInputOf(e), kind, true, a, 0.01);
    }
    static double at(const results::MemberCurve& c, double x, bool rightSide = false) {
        const results::Sample* best = nullptr;
        for (const results::Sample& p : c.pts) {
            if (&p == &c.pts.front() || &p == &c.pts.back()) continue;
            if (std::fabs(p.x - x) < 1e-9 && (!best || rightSide)) best = &p;
        }
        EXPECT_TRUE(best) << "no point at " << x;
        return best ? best->f : NAN;
    }
};

TEST_F(InfluenceThroughDriver, SimplySupportedBeamBothWays) {
    for (bool reversed : {false, true}) {
        SetUp();
        SCOPED_TRACE(reversed);
        line(reversed ? L : 0, 0, reversed ? 0 : L, 0);
        standardProperties();
        support(FrameTest::at(0, 0), "110");
        support(FrameTest::at(L, 0), "010");
        const double a = L / 2; // mid-span either way
        const results::MemberCurve m = influence(ResultKind::Bending, a);
        const double tol = 1e-3 * L / 4;
        // Positive: a load going down anywhere sags the beam, whichever
        // way it was drawn.
        EXPECT_NEAR(at(m, a), L / 4, tol);
        for (double x : {0.0, 0.3, 1.5, 2.4, 3.6, 4.5, 5.7, 6.0})
            EXPECT_NEAR(at(m, x), (x <= a ? x : L - x) / 2, tol) << x;
        EXPECT_EQ(m.pts.size(), 603u); // 300 intervals a side, the kink once
        EXPECT_NEAR(std::fabs(m.extremeValue), L / 4, tol);

        const results::MemberCurve v = influence(ResultKind::Shear, L / 3);
        EXPECT_NEAR(std::fabs(at(v, L / 3) - at(v, L / 3, true)), 1, 1e-3);
        EXPECT_NEAR(std::fabs(at(v, 0)), 0, 1e-3);
        EXPECT_NEAR(std::fabs(at(v, L)), 0, 1e-3);
        TearDown();
    }
}

TEST_F(InfluenceThroughDriver, CantileverFixedEndMomentReachesTheSpan) {
    line(0, 0, L, 0);
    standardProperties();
    support(FrameTest::at(0, 0), "111");
    const results::MemberCurve m = influence(ResultKind::Bending, 0);
    EXPECT_NEAR(std::fabs(at(m, L)), L, 1e-3 * L);
    EXPECT_NEAR(std::fabs(at(m, L / 2)), L / 2, 1e-3 * L);
}

// A frame as bars from end 1 to end 2, its supports, the sections of its
// influence lines and the load positions (x, y pairs) at which every line is
// checked against a separate unit-load analysis.
struct Bar {
    double x1, y1, x2, y2;
    bool hinge1 = false, hinge2 = false;
};
struct Fixed {
    double x, y;
    const char* codes;
};
struct Point {
    double x, y;
};
struct Frame {
    const char* name;
    std::vector<Bar> bars;
    std::vector<Fixed> supports;
    std::vector<Point> sections;
    std::vector<double> loads;
    RunStatus status = RunStatus::kSolved;
};

const Bar kLeftColumn{0, 0, 0, 4}, kRightColumnUp{6, 0, 6, 4};

// The dislocation enters the analysis as end loads on the intact frame, so a
// line is unstable exactly when the frame is a mechanism; the last two frames
// are, and fail under a unit load too.
const std::vector<Frame>& frames() {
    static const std::vector<Frame> f = {
        {"two spans 5 m and 7 m, the second drawn right to left",
         {{0, 0, 5, 0}, {12, 0, 5, 0}},
         {{0, 0, "110"}, {5, 0, "010"}, {12, 0, "010"}},
         {{2, 0}, {9, 0}},
         {0.5, 0, 1.5, 0, 2.5, 0, 3.5, 0, 4.5,  0, 5.5,  0,
          6.5, 0, 7.5, 0, 8.5, 0, 9.5, 0, 10.5, 0, 11.5, 0}},
        {"portal, fixed and pinned feet, right column drawn downward",
         {kLeftColumn, {0, 4, 6, 4}, {6, 4, 6, 0}},
         {{0, 0, "111"}, {6, 0, "110"}},
         {{2, 4}, {0, 1.5}, {6, 2.5}},
         {0, 1, 0, 2.5, 0, 4, 0.5, 4, 1.5, 4, 2.5, 4, 3.5, 4, 4.5, 4, 5.5, 4, 6, 4, 6, 3.5, 6, 1}},
        {"portal, fixed feet, beam hinged at the left corner",
         {kLeftColumn, {0, 4, 6, 4, true}, kRightColumnUp},
         {{0, 0, "111"}, {6, 0, "111"}},
         {{3.5, 4}, {6, 1.5}},
         {0, 2, 0, 4, 0.5, 4, 1.5, 4, 2.5, 4, 3, 4, 4, 4, 5, 4, 5.5, 4, 6, 4, 6, 3, 6, 0.5}},
        {"cantilever carrying a span hinged at both ends, drawn right to left",
         {{0, 0, 3, 0}, {8, 0, 3, 0, true, true}},
         {{0, 0, "111"}, {8, 0, "010"}},
         {{1.5, 0}, {5, 0}},
         {0.5, 0, 1, 0, 2, 0, 2.5, 0, 3, 0, 3.5, 0, 4.5, 0, 5.5, 0, 6, 0, 6.5, 0, 7, 0, 7.5, 0}},
        {"four-bar linkage: pinned feet, beam hinged at both ends",
         {kLeftColumn, {0, 4, 6, 4, true, true}, kRightColumnUp},
         {{0, 0, "110"}, {6, 0, "110"}},
         {{2, 4}},
         {2, 4},
         RunStatus::kUnstable},
        {"cantilever hinged at its fixed end",
         {{0, 0, 3, 0, true}},
         {{0, 0, "111"}},
         {{1, 0}},
         {2, 0},
         RunStatus::kUnstable},
    };
    return f;
}

class InfluenceAgainstUnitLoads : public FrameTest {
protected:
    // A fresh model of the frame; with `load`, the bar holding it is drawn
    // as two pieces in its own direction and a node force Fy = -1 acts there.
    void build(const Frame& f, const Point* load) {
        kestrel_test::FrameFixture::TearDown();
        kestrel_test::FrameFixture::SetUp();
        for (const Bar& b : f.bars) {
            const double d1 = load ? std::hypot(load->x - b.x1, load->y - b.y1) : 0;
            const double d2 = load ? std::hypot(load->x - b.x2, load->y - b.y2) : 0;
            if (d1 > 1e-6 && d2 > 1e-6 &&
                std::fabs(d1 + d2 - std::hypot(b.x2 - b.x1, b.y2 - b.y1)) < 1e-9) {
                line(b.x1, b.y1, load->x, load->y);
                line(load->x, load->y, b.x2, b.y2);
            } else {
                line(b.x1, b.y1, b.x2, b.y2);
            }
        }
        standardProperties();
        for (const Bar& b : f.bars) { // the hinges on the pieces at the bar's ends
            const double dx = (b.x2 - b.x1) * 1e-3, dy = (b.y2 - b.y1) * 1e-3;
            if (b.hinge1) bar(b.x1 + dx, b.y1 + dy).hingeStart = 1;
            if (b.hinge2) bar(b.x2 - dx, b.y2 - dy).hingeEnd = 1;
        }
        for (const Fixed& p : f.supports) support(at(p.x, p.y), p.codes);
        if (load) give(at(load->x, load->y), block(attrib::kNff, {0, -1, 0}));
    }
    // The member through p, its input from the records and the distance of
    // p from its end 1.
    results::MemberInput input(Point p, Edge*& e, double& x) {
        e = member(p.x, p.y);
        EXPECT_TRUE(e) << p.x << "," << p.y;
        const results::MemberInput m = results::memberInputOf(e);
        x = std::hypot(p.x - m.x1, p.y - m.y1);
        return m;
    }
};

// Each ordinate is the force at the section, signed as its step value, under
// a downward unit load at that position; within 1e-3 of the line's largest
// ordinate.
TEST_F(InfluenceAgainstUnitLoads, OrdinatesAreTheForcesOfSeparateUnitLoadAnalyses) {
    const ResultKind kinds[] = {ResultKind::Axial, ResultKind::Shear, ResultKind::Bending};
    for (const Frame& f : frames()) {
        SCOPED_TRACE(f.name);
        const bool solved = f.status == RunStatus::kSolved;
        std::vector<Point> loads;
        for (size_t i = 0; i + 1 < f.loads.size(); i += 2)
            loads.push_back({f.loads[i], f.loads[i + 1]});
        const size_t lines = f.sections.size() * 3;
        std::vector<std::vector<double>> il(lines, std::vector<double>(loads.size()));
        std::vector<double> largest(lines, 0);
        for (size_t j = 0; j < lines; ++j) {
            const ResultKind kind = kinds[j % 3];
            build(f, nullptr);
            resetResults(s);
            Edge* e = nullptr;
            double a = 0;
            const double len = results::memberLength(input(f.sections[j / 3], e, a));
            const RunOutcome out =
                runInfluenceAnalysis(s, root(), modelPath(), {static_cast<int>(kind), e, a, len});
            EXPECT_EQ(out.status, f.status) << static_cast<int>(kind);
            EXPECT_EQ(out.message, solved ? "" : kMsgUnstable);
            if (out.status != RunStatus::kSolved) continue;
            for (Edge* m = s->edges; m; m = m->next) {
                const results::MemberCurve c =
                    results::sampleInfluence(results::memberInputOf(m), kind, m == e, a, 0.01);
                largest[j] = std::max(largest[j], std::fabs(c.extremeValue));
            }
            for (size_t i = 0; i < loads.size(); ++i) {
                Edge* m = nullptr;
                double x = 0;
                const results::MemberInput in = input(loads[i], m, x);
                il[j][i] = results::influenceAt(in, kind, m == e, a, x);
            }
        }
        for (size_t i = 0; i < loads.size(); ++i) {
            build(f, &loads[i]);
            const RunOutcome out = runAnalysis(s, root(), modelPath());
            EXPECT_EQ(out.status, f.status) << out.message;
            if (!solved || out.status != RunStatus::kSolved) continue;
            for (size_t j = 0; j < lines; ++j) {
                const Point sec = f.sections[j / 3];
                const ResultKind kind = kinds[j % 3];
                Edge* e = nullptr;
                double x = 0;
                const results::MemberInput m = input(sec, e, x);
                EXPECT_NEAR(il[j][i], results::valueSign(m, kind) * results::ordinate(m, kind, x),
                            std::max(1e-3 * largest[j], 1e-9))
                    << "kind " << static_cast<int>(kind) << " at (" << sec.x << "," << sec.y
                    << "), load at (" << loads[i].x << "," << loads[i].y << ")";
            }
        }
    }
}

} // namespace
} // namespace analysis::test
