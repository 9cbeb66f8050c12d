// Influence-line sections: snapping to the result step in both step modes,
// the ends within 0.005 becoming the nodes, and the message line texts.
#include "results/influence.h"
#include "units/units.h"

#include <gtest/gtest.h>

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

TEST(InfluenceSectionTest, MessageTexts) {
    attrib::AppSettings s = attrib::initialSettings();
    using K = results::ResultKind;
    EXPECT_EQ(results::influenceMessage(s, K::Axial, 1, 4),
              "Axial force influence line for section at local pos.: x = 1.00 m  L = 4.00 m");
    EXPECT_EQ(results::influenceMessage(s, K::Shear, 0, 2.5),
              "Shear force influence line for section at local pos.: x = 0.00 m  L = 2.50 m");
    EXPECT_EQ(results::influenceMessage(s, K::Bending, 2, 4),
              "Bending moment influence line for section at local pos.: x = 2.00 m  L = 4.00 m");
    EXPECT_EQ(results::influenceMessage(s, K::Deformed, 2, 4), "");
    const units::UnitSettings& us = units::presetSettings(units::kUSPreset);
    s.units = us.unit;
    s.formats = us.format;
    EXPECT_EQ(results::influenceMessage(s, K::Bending, 2, 4),
              "Bending moment influence line for section at local pos.: x = 6.56 ft  L = 13.12 ft");
}

} // namespace
