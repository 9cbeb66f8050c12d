// The unit table: labels, factors, conversions both ways, presets, the
// current set and the UTF-8 form of the labels.
#include "units/latin1.h"
#include "units/units.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

const double kPi = std::acos(-1.0);

// The labels exactly as the unit table gives them, in ISO 8859-1.
const char* const kExpectedLabels[units::kUnitCodeCount] = {
    "m",        "cm",        "mm",        "ft",        "in",        "rad",       "deg",
    "m\xB2",    "cm\xB2",    "mm\xB2",    "ft\xB2",    "in\xB2",    "m^4",       "cm^4",
    "mm^4",     "ft^4",      "in^4",      "kN",        "N",         "tf",        "kip",
    "lb",       "kNm",       "Nm",        "tfm",       "kNcm",      "Ncm",       "tfcm",
    "kNmm",     "Nmm",       "tfmm",      "ft-k",      "ft-lb",     "in-k",      "in-lb",
    "kN/m",     "N/m",       "tf/m",      "kN/cm",     "N/cm",      "tf/cm",     "kN/mm",
    "N/mm",     "tf/mm",     "k/ft",      "lb/ft",     "k/in",      "lb/in",     "\260C",
    "\260F",    "kN/m\xB2",  "Pa",        "tf/m\xB2",  "kN/cm\xB2", "N/cm\xB2",  "tf/cm\xB2",
    "GPa",      "MPa",       "tf/mm\xB2", "k/ft\xB2",  "lb/ft\xB2", "ksi",       "psi",
    "kN/m\xB3", "N/m\xB3",   "tf/m\xB3",  "kN/cm\xB3", "N/cm\xB3",  "tf/cm\xB3", "kN/mm\xB3",
    "N/mm\xB3", "tf/mm\xB3", "k/ft\xB3",  "pcf",       "k/in\xB3",  "lb/in\xB3", "/\260C",
    "/\260F",   "kN/m",      "N/m",       "tf/m",      "kN/cm",     "N/cm",      "tf/cm",
    "kN/mm",    "N/mm",      "tf/mm",     "k/ft",      "lb/ft",     "k/in",      "lb/in",
    "kNm/rad",  "Nm/rad",    "tfm/rad",   "kNcm/rad",  "Ncm/rad",   "tfcm/rad",  "kNmm/rad",
    "Nmm/rad",  "tfmm/rad",  "ft-k/rad",  "ft-lb/rad", "in-k/rad",  "in-lb/rad", "kNm/deg",
    "Nm/deg",   "tfm/deg",   "kNcm/deg",  "Ncm/deg",   "tfcm/deg",  "kNmm/deg",  "Nmm/deg",
    "tfmm/deg", "ft-k/deg",  "ft-lb/deg", "in-k/deg",  "in-lb/deg",
};

// The factors of the table for codes 0 to 103 (49 and 77 are not factors: 1).
// clang-format off
const double kExpectedFactors[104] = {
    1, 0.01, 0.001, 0.3048, 0.0254, 1, kPi / 180,
    1, 0.0001, 1e-6, 0.09290304, 0.00064516,
    1, 1e-8, 1e-12, 0.008630974841241602, 4.1623142559999997e-7,
    1, 0.001, 9.81, 4.448, 0.004448,
    1, 0.001, 9.81, 0.01, 1e-5, 0.0981, 0.001, 1e-6, 0.00981, 1.356, 0.001356, 0.11298, 0.00011298,
    1, 0.001, 9.81, 100, 0.1, 981, 1000, 1, 9810, 14.593, 0.014593, 175.1, 0.1751,
    1, 1,
    1, 0.001, 9.81, 10000, 10, 98100, 1e6, 1000, 9.81e6, 47.878, 0.047878, 6895, 6.895,
    1, 0.001, 9.81, 1e6, 1000, 9.81e6, 1e9, 1e6, 9.81e9, 157.1, 0.1571, 271434, 271.434,
    1, 1,
    1, 0.001, 9.81, 100, 0.1, 981, 1000, 1, 9810, 14.593, 0.014593, 175.1, 0.1751,
    1, 0.001, 9.81, 0.01, 1e-5, 0.0981, 0.001, 1e-6, 0.00981, 1.356, 0.001356, 0.11298, 0.00011298,
};
// clang-format on

// Decodes UTF-8 that holds only code points below 0x100; false on anything else.
bool utf8ToLatin1(const std::string& utf8, std::string& latin1) {
    latin1.clear();
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            latin1.push_back(static_cast<char>(b));
        } else if ((b == 0xC2 || b == 0xC3) && i + 1 < utf8.size()) {
            const auto c = static_cast<unsigned char>(utf8[++i]);
            if ((c & 0xC0) != 0x80) return false;
            latin1.push_back(static_cast<char>(((b & 0x03) << 6) | (c & 0x3F)));
        } else {
            return false;
        }
    }
    return true;
}

class UnitsTest : public ::testing::Test {
protected:
    void SetUp() override { units::resetUnits(); }
    void TearDown() override { units::resetUnits(); }
};

TEST(UnitTable, LabelsAreExactlyTheTable) {
    for (int code = 0; code < units::kUnitCodeCount; ++code) {
        EXPECT_STREQ(units::unitLabel(code), kExpectedLabels[code]) << "code " << code;
    }
    EXPECT_STREQ(units::unitLabel(-1), "");
    EXPECT_STREQ(units::unitLabel(117), "");
}

TEST(UnitTable, FactorsAreTheTable) {
    for (int code = 0; code < 104; ++code) {
        EXPECT_DOUBLE_EQ(units::unitFactor(code), kExpectedFactors[code]) << "code " << code;
    }
    // Per degree springs: the per-radian factor times 180 / pi.
    for (int i = 0; i < 13; ++i) {
        EXPECT_DOUBLE_EQ(units::unitFactor(104 + i), kExpectedFactors[91 + i] * 180.0 / kPi)
            << "code " << 104 + i;
    }
    EXPECT_EQ(units::conversionKind(49), units::kFahrenheitConversion);
    EXPECT_EQ(units::conversionKind(77), units::kPerFahrenheitConversion);
    for (int code = 0; code < units::kUnitCodeCount; ++code) {
        if (code != 49 && code != 77) {
            EXPECT_EQ(units::conversionKind(code), units::kFactorConversion);
        }
    }
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
    const Row rows[] = {
        {1, 1.0, 100.0},             // m in cm
        {3, 76.2, 250.0},            // ft
        {4, 0.0254, 1.0},            // in
        {2, 3.25, 3250.0},           // mm
        {10, 1.0, 1.0 / 0.09290304}, // ft²
        {11, 0.00064516, 1.0},       // in²
        {49, 20.0, 68.0},            // °F
        {49, -40.0, -40.0},
        {49, 0.0, 32.0},
        {48, 20.0, 20.0},             // °C
        {77, 1e-5, 1e-5 * 5.0 / 9.0}, // per °C in per °F
        {6, kPi, 180.0},              // rad in deg
        {6, kPi / 2, 90.0},
        {104, 1.0, kPi / 180.0},         // kNm/rad in kNm/deg
        {113, 1.356 * 180.0 / kPi, 1.0}, // ft-k/deg: 1.356 kNm per degree
    };
    for (const Row& r : rows) {
        EXPECT_DOUBLE_EQ(units::toDisplay(r.code, r.internal), r.shown) << "code " << r.code;
        EXPECT_DOUBLE_EQ(units::toInternal(r.code, r.shown), r.internal) << "code " << r.code;
    }
    EXPECT_NEAR(units::toDisplay(104, 1.0), 0.017453292519943295, 1e-15);
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

TEST(UnitTable, Presets) {
    const units::UnitSettings& si = units::presetSettings(units::kSIPreset);
    const units::UnitSettings& knm = units::presetSettings(units::kKNMPreset);
    const units::UnitSettings& us = units::presetSettings(units::kUSPreset);
    EXPECT_EQ(si.unit,
              (std::array<int, 15>{0, 2, 5, 17, 22, 35, 57, 63, 76, 48, 2, 9, 14, 78, 91}));
    EXPECT_EQ(knm.unit,
              (std::array<int, 15>{0, 0, 5, 17, 22, 35, 50, 63, 76, 48, 0, 7, 12, 78, 91}));
    EXPECT_EQ(us.unit,
              (std::array<int, 15>{3, 4, 5, 20, 31, 44, 61, 73, 77, 49, 4, 11, 16, 87, 100}));
    EXPECT_EQ(si.format, (std::array<int, 23>{2, 2, 10, 10, 1,  1,  4,  1,  1, 4, 2, 0,
                                              1, 6, 0,  0,  11, 11, 10, 10, 2, 2, 2}));
    EXPECT_EQ(knm.format, (std::array<int, 23>{2, 2, 10, 10, 1, 1, 4,  1,  1, 4, 2, 10,
                                               1, 6, 0,  2,  4, 6, 10, 10, 2, 2, 2}));
    EXPECT_EQ(us.format, (std::array<int, 23>{2, 2, 10, 10, 1, 1,  4,  1,  1, 4, 2, 0,
                                              1, 8, 0,  1,  2, 11, 10, 10, 2, 2, 2}));
    EXPECT_EQ(units::presetSettings(7), si);
    EXPECT_EQ(units::presetSettings(-1), si);
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

TEST(Latin1, LabelsInUtf8) {
    // The source file is UTF-8, so these literals are what a widget must show.
    EXPECT_EQ(units::unitLabelUtf8(7), "m²");
    EXPECT_EQ(units::unitLabelUtf8(48), "°C");
    EXPECT_EQ(units::unitLabelUtf8(77), "/°F");
    EXPECT_EQ(units::unitLabelUtf8(71), "tf/mm³");
    EXPECT_EQ(units::unitLabelUtf8(0), "m");
    EXPECT_EQ(units::unitLabelUtf8(-5), "");
    for (int code = 0; code < units::kUnitCodeCount; ++code) {
        std::string back;
        ASSERT_TRUE(utf8ToLatin1(units::unitLabelUtf8(code), back)) << "code " << code;
        EXPECT_EQ(back, units::unitLabel(code)) << "code " << code;
    }
}

TEST(Latin1, EveryByteRoundTrips) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string utf8 = units::latin1ToUtf8(all);
    EXPECT_EQ(utf8.size(), 127u + 2u * 128u);
    std::string back;
    ASSERT_TRUE(utf8ToLatin1(utf8, back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(units::latin1ToUtf8("x e\xB1xx"), "x e±xx");
    EXPECT_EQ(units::latin1ToUtf8("\xFF"), "ÿ");
    EXPECT_EQ(units::latin1ToUtf8(""), "");
}

} // namespace
