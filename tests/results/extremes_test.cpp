// The extreme of a sampled diagram is exact whatever the sampling step:
// the points where a curved diagram turns are sampled too.
#include "results/diagram.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using results::MemberInput;
using results::ResultKind;

TEST(DiagramExtremes, ExactAtAnyStep) {
    // A 5 m simply supported span under 12 kN/m: M = qL²/8 at L/2. A
    // triangular load 0 to 12 kN/m: M max = qL²/(9 sqrt 3) at L/sqrt 3.
    // A load from 12 to -12 kN/m: the shear turns where the load is zero.
    const double L = 5, q = 12;
    MemberInput uniform;
    uniform.x2 = L, uniform.V1 = q * L / 2, uniform.qy1 = uniform.qy2 = -q;
    MemberInput triangle;
    triangle.x2 = L, triangle.V1 = q * L / 6, triangle.qy2 = -q;
    MemberInput crossing;
    crossing.x2 = L, crossing.qy1 = q, crossing.qy2 = -q;
    struct Row {
        const MemberInput& m;
        ResultKind kind;
        double x, value;
    } rows[] = {
        {uniform, ResultKind::Bending, L / 2, q * L * L / 8},
        {triangle, ResultKind::Bending, L / std::sqrt(3.0), q * L * L / (9 * std::sqrt(3.0))},
        {crossing, ResultKind::Shear, L / 2, q * L / 4},
    };
    for (const Row& r : rows)
        for (double h : {0.001, 0.7, 2.0, 10.0}) {
            const results::MemberCurve c = results::sampleDiagram(r.m, r.kind, h);
            EXPECT_NEAR(std::fabs(c.extremeValue), r.value, 1e-12 * r.value) << h;
            EXPECT_NEAR(c.extremeX, r.x, 1e-12) << h;
            for (std::size_t i = 1; i < c.pts.size(); ++i)
                EXPECT_LE(c.pts[i - 1].x, c.pts[i].x) << "in order along the member";
        }
}

} // namespace
