// The unit table: labels, factors, conversions both ways, presets, the
// current set and the UTF-8 form of the labels.
#include "tests/support/golden.h"
#include "units/latin1.h"
#include "units/units.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>

namespace {

const double kPi = std::acos(-1.0);

// The base units a compound unit is made of, in internal units (m, kN): the
// lengths m, cm, mm, ft, in and the forces kN, N, tf, kip, lb (the ton-force
// with g = 9.81, the kip as 4.448 kN).
const double kLength[5] = {1, 0.01, 0.001, 0.3048, 0.0254};
const double kForce[5] = {1, 0.001, 9.81, 4.448, 0.004448};

// Groups of codes with the powers of force and length of their quantity.
// Groups of 5 run through the lengths (or forces); groups of 13 run through
// lengths outside and forces inside, nine SI units (m, cm, mm x kN, N, tf)
// and then four US units (ft, in x kip, lb).
struct Group {
    int first, size, force, length;
    double extra; // per degree springs: 180 / pi
};
const Group kGroups[] = {{0, 5, 0, 1, 1},    {7, 5, 0, 2, 1},           {12, 5, 0, 4, 1},
                         {17, 5, 1, 0, 1},   {22, 13, 1, 1, 1},         {35, 13, 1, -1, 1},
                         {50, 13, 1, -2, 1}, {63, 13, 1, -3, 1},        {78, 13, 1, -1, 1},
                         {91, 13, 1, 1, 1},  {104, 13, 1, 1, 180 / kPi}};

class UnitsTest : public ::testing::Test {
protected:
    void SetUp() override { units::resetUnits(); }
    void TearDown() override { units::resetUnits(); }
};

// Code, label (UTF-8), conversion kind and factor of every code and of the
// codes just outside the table, then the three presets (SI, kN-m, US) and
// two numbers outside them, which give SI.
TEST(UnitTable, TheTableAndThePresets) {
    std::string text;
    for (int code = -1; code <= units::kUnitCodeCount; ++code) {
        char factor[32]; // the shortest text that reads back as the same double
        *std::to_chars(factor, factor + sizeof factor - 1, units::unitFactor(code)).ptr = 0;
        text += std::to_string(code) + "\t" + units::unitLabelUtf8(code) + "\t" +
                std::to_string(units::conversionKind(code)) + "\t" + factor + "\n";
    }
    for (int preset : {0, 1, 2, 7, -1}) {
        const units::UnitSettings& p = units::presetSettings(preset);
        text += "preset " + std::to_string(preset) + ":";
        for (int c : p.unit) text += " " + std::to_string(c);
        text += " /";
        for (int c : p.format) text += " " + std::to_string(c);
        text += "\n";
    }
    kestrel_test::expectGolden("units", "unit_table", text);
}

// Every factor is the product of its base units' factors: exactly for the
// metric units, and within the rounding of the table's US figures (four or
// five significant digits) where a US force and a length combine.
TEST(UnitTable, FactorsAreDimensionallyConsistent) {
    int checked = 0;
    for (const Group& g : kGroups) {
        for (int i = 0; i < g.size; ++i) {
            const bool si = g.size == 5 ? i < 3 : i < 9;
            const int j = g.size == 5 ? i : si ? i : i - 9;
            const int len = g.size == 5 ? i : si ? j / 3 : 3 + j / 2;
            const int force = g.size == 5 ? i : si ? j % 3 : 3 + j % 2;
            double want =
                g.extra * std::pow(kForce[force], g.force) * std::pow(kLength[len], g.length);
            const bool rounded = !si && g.force != 0 && g.length != 0;
            const int code = g.first + i;
            EXPECT_NEAR(units::unitFactor(code), want, (rounded ? 2e-4 : 1e-12) * want)
                << "code " << code << " " << units::unitLabelUtf8(code);
            EXPECT_EQ(units::conversionKind(code), units::kFactorConversion);
            ++checked;
        }
    }
    // The angles and temperatures: rad and deg, degrees Celsius and per degree Celsius.
    EXPECT_DOUBLE_EQ(units::unitFactor(5), 1.0);
    EXPECT_DOUBLE_EQ(units::unitFactor(6), kPi / 180);
    EXPECT_EQ(units::unitFactor(48), 1.0);
    EXPECT_EQ(units::unitFactor(76), 1.0);
    EXPECT_EQ(units::conversionKind(49), units::kFahrenheitConversion);
    EXPECT_EQ(units::conversionKind(77), units::kPerFahrenheitConversion);
    EXPECT_EQ(checked + 6, units::kUnitCodeCount);
}

TEST(UnitTable, CodesOutsideTheTableConvertAsFactorOne) {
    for (int code : {-1, 117, 500, -1000}) {
        EXPECT_EQ(units::toInternal(code, 12.5), 12.5);
        EXPECT_EQ(units::toDisplay(code, -3.75), -3.75);
        EXPECT_EQ(units::unitFactor(code), 1.0);
    }
}

TEST(UnitTable, ConversionsBothWays) {
    struct Row {
        int code;
        double internal, shown;
    };
    // One row per way of converting: a factor (every factor is in the table
    // golden), degrees Fahrenheit with their offset, per degree Fahrenheit.
    const Row rows[] = {
        {1, 1.0, 100.0},  // m in cm
        {49, 20.0, 68.0}, // °F
        {49, -40.0, -40.0},
        {49, 0.0, 32.0},
        {48, 20.0, 20.0},             // °C
        {77, 1e-5, 1e-5 * 5.0 / 9.0}, // per °C in per °F
    };
    for (const Row& r : rows) {
        EXPECT_DOUBLE_EQ(units::toDisplay(r.code, r.internal), r.shown) << "code " << r.code;
        EXPECT_DOUBLE_EQ(units::toInternal(r.code, r.shown), r.internal) << "code " << r.code;
    }
}

TEST(UnitTable, RoundTripForEveryCode) {
    const double values[] = {0.0, 1.0, -1.0, 76.2, -12345.678, 3.0e-7, 2.5e9};
    for (int code = -2; code < units::kUnitCodeCount + 2; ++code) {
        for (double v : values) {
            const double shown = units::toDisplay(code, v);
            EXPECT_NEAR(units::toInternal(code, shown), v, 1e-12 * (std::fabs(v) + 1.0))
                << "code " << code << " value " << v;
            const double stored = units::toInternal(code, v);
            EXPECT_NEAR(units::toDisplay(code, stored), v, 1e-12 * (std::fabs(v) + 1.0))
                << "code " << code << " value " << v;
        }
    }
}

TEST_F(UnitsTest, ResetSetsTheSIPreset) {
    units::setCurrentUnit(units::kLengthUnit, 3);
    units::setCurrentFormat(units::kCursorFormat, 7);
    EXPECT_EQ(units::currentUnit(units::kLengthUnit), 3);
    EXPECT_EQ(units::currentFormat(units::kCursorFormat), 7);
    units::resetUnits();
    EXPECT_EQ(units::currentSettings(), units::presetSettings(units::kSIPreset));
}

TEST_F(UnitsTest, CurrentSetGetAndSet) {
    units::setCurrentSettings(units::presetSettings(units::kUSPreset));
    EXPECT_EQ(units::currentUnit(units::kForceUnit), 20);
    EXPECT_EQ(units::currentFormat(units::kThermalExpanFormat), 8);
    // Slots outside the table read -1 and are not written.
    EXPECT_EQ(units::currentUnit(15), -1);
    EXPECT_EQ(units::currentUnit(-1), -1);
    EXPECT_EQ(units::currentFormat(23), -1);
    units::setCurrentUnit(15, 1);
    units::setCurrentFormat(-1, 1);
    EXPECT_EQ(units::currentSettings(), units::presetSettings(units::kUSPreset));
    // Conversions through a quantity kind use its current unit.
    EXPECT_DOUBLE_EQ(units::slotToInternal(units::kLengthUnit, 250.0), 76.2);
    EXPECT_DOUBLE_EQ(units::slotToDisplay(units::kTemperatureUnit, 20.0), 68.0);
    EXPECT_STREQ(units::slotUnitLabel(units::kTemperatureUnit), "\260F");
    EXPECT_EQ(units::slotUnitLabelUtf8(units::kTemperatureUnit), "°F");
    EXPECT_STREQ(units::slotUnitLabel(99), "");
}

// Every byte from 1 to 255 as UTF-8: below 0x80 itself, above it two bytes
// 110000xx 10xxxxxx; every label's UTF-8 form (in the table golden) is that
// of its ISO 8859-1 bytes.
TEST(Latin1, EveryByteAndEveryLabelInUtf8) {
    std::string all, want;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
        if (b >= 0x80) want.push_back(static_cast<char>(0xC0 | b >> 6));
        want.push_back(static_cast<char>(b < 0x80 ? b : 0x80 | (b & 0x3F)));
    }
    EXPECT_EQ(units::latin1ToUtf8(all), want);
    EXPECT_EQ(units::latin1ToUtf8("x e\xB1xx"), "x e±xx");
    EXPECT_EQ(units::latin1ToUtf8(""), "");
    for (int code = 0; code < units::kUnitCodeCount; ++code)
        EXPECT_EQ(units::unitLabelUtf8(code), units::latin1ToUtf8(units::unitLabel(code))) << code;
}

} // namespace
