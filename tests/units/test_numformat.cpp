// Format codes, the three text forms and the reading of typed numbers.
#include "units/numformat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <tuple>
#include <utility>

namespace {

class NumFormatTest : public ::testing::Test {
protected:
    void SetUp() override { units::resetUnits(); }
    void TearDown() override { units::resetUnits(); }
};

std::string printfText(const char* format, double value) {
    char buf[512];
    const int n = std::snprintf(buf, sizeof buf, format, value);
    return std::string(buf, static_cast<size_t>(n));
}

TEST(NumberFormat, TheFourteenCodes) {
    const char* const expected[] = {"%.0f", "%.1f", "%.2f", "%.3f", "%.4f", "%.5f", "%.6f",
                                    "%.0e", "%.1e", "%.2e", "%.3e", "%.4e", "%.5e", "%.6e"};
    for (int code = 0; code < units::kFormatCodeCount; ++code) {
        EXPECT_STREQ(units::numberFormat(code), expected[code]) << "code " << code;
    }
    for (int code : {14, -1, 100, -100}) EXPECT_STREQ(units::numberFormat(code), "%.2f");
    // The text is shared and constant.
    EXPECT_EQ(units::numberFormat(3), units::numberFormat(3));
}

TEST(NumberFormat, PrintsAsPrintfDoes) {
    const double values[] = {0.0,       -0.0,      0.5,   1.5,        2.5,     0.125, 0.375,
                             12345.0,   -12345.0,  1e-7,  9.9999999,  99999.5, 1e20,  -3.25e-5,
                             1.0 / 3.0, 2.0 / 3.0, 1e300, -7.75e-300, 76.2,    0.045, 1234.5675};
    for (int code = -1; code <= units::kFormatCodeCount; ++code) {
        for (double v : values) {
            EXPECT_EQ(units::formatNumber(code, v), printfText(units::numberFormat(code), v))
                << "code " << code << " value " << v;
        }
    }
}

TEST(NumberFormat, EdgeCases) {
    const std::tuple<int, double, const char*> rows[] = {
        {7, 12345.0, "1e+04"}, {2, 12345.0, "12345.00"}, {13, 12345.0, "1.234500e+04"},
        {14, 3.14159, "3.14"}, {-1, 3.14159, "3.14"},    {0, -0.4, "-0"}};
    for (const auto& [code, v, text] : rows) EXPECT_EQ(units::formatNumber(code, v), text) << code;
}

TEST(NumberFormat, IgnoresTheProcessLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    const char* candidates[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "pt_BR.UTF-8"};
    bool switched = false;
    for (const char* name : candidates) {
        if (std::setlocale(LC_NUMERIC, name)) {
            switched = true;
            break;
        }
    }
    if (!switched) GTEST_SKIP() << "no locale with a decimal comma installed";
    const std::string text = units::formatNumber(2, 12.5);
    const float read = units::readNumber("12.5");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(text, "12.50");
    EXPECT_EQ(read, 12.5f);
}

TEST_F(NumFormatTest, ValueWithUnitHasOneBlank) {
    units::setCurrentUnit(units::kForceUnit, 18); // N
    units::setCurrentFormat(units::kForceFormat, 1);
    EXPECT_EQ(units::formatValueWithUnit(units::kForceUnit, units::kForceFormat, 10.0),
              "10000.0 N");
    EXPECT_EQ(units::textWithUnit(17, 2, 12.5), "12.50 kN");
    // Labels reach the text as UTF-8.
    EXPECT_EQ(units::textWithUnit(48, 0, 20.0), "20 °C");
    EXPECT_EQ(units::textWithUnit(49, 0, 20.0), "68 °F");
    EXPECT_EQ(units::textWithUnit(7, 4, 0.0125), "0.0125 m²");
    EXPECT_EQ(units::textWithUnit(77, 8, 1e-5), "5.6e-06 /°F");
    // Unknown unit and format codes: factor 1, "%.2f", empty label after the blank.
    EXPECT_EQ(units::textWithUnit(-1, 14, 2.0), "2.00 ");
}

TEST_F(NumFormatTest, CursorLabelRunsTogether) {
    units::setCurrentUnit(units::kLengthUnit, 1); // cm
    units::setCurrentFormat(units::kCursorFormat, 0);
    EXPECT_EQ(units::formatValueUnitJoined(units::kLengthUnit, units::kCursorFormat, 3.25),
              "325cm");
    EXPECT_EQ(units::textUnitJoined(0, 2, 12.5), "12.50m");
    EXPECT_EQ(units::textUnitJoined(3, 2, 76.2), "250.00ft");
    // The label is cut to the 23 bytes of the cursor fields.
    const std::string big = units::textUnitJoined(0, 2, 1e30);
    EXPECT_EQ(big.size(), static_cast<size_t>(units::kCursorTextMax));
    EXPECT_EQ(big, printfText("%.2f", 1e30).substr(0, 23));
    // The cut counts the label's ISO 8859-1 bytes, so it never splits a
    // character: 22 digits and points leave room for the degree sign alone.
    EXPECT_EQ(units::textUnitJoined(48, 6, 1e14), "100000000000000.000000°");
    EXPECT_EQ(units::textUnitJoined(48, 5, 1e14), "100000000000000.00000°C");
}

TEST_F(NumFormatTest, BareValue) {
    // Work-space size and grid fields: slot 20 and 22 with the length unit.
    EXPECT_EQ(units::formatBareValue(units::kLengthUnit, units::kWorkSpaceFormat, 12.5), "12.50");
    units::setCurrentUnit(units::kLengthUnit, 2);
    units::setCurrentFormat(units::kGridStepFormat, 0);
    EXPECT_EQ(units::formatBareValue(units::kLengthUnit, units::kGridStepFormat, 1.0), "1000");
    // A record other than the current one.
    const units::UnitSettings& us = units::presetSettings(units::kUSPreset);
    EXPECT_EQ(units::formatBareValue(us, units::kTemperatureUnit, units::kTemperatureFormat, 20.0),
              "68");
    EXPECT_EQ(
        units::formatValueWithUnit(us, units::kThermalExpanUnit, units::kThermalExpanFormat, 1e-5),
        "5.6e-06 /°F");
    // Slots outside the tables: factor 1 and "%.2f".
    EXPECT_EQ(units::formatBareValue(99, -3, 1.5), "1.50");
    EXPECT_EQ(units::formatValueUnitJoined(us, 99, 99, 1.5), "1.50");
}

TEST(ReadNumber, LeadingNumberInSinglePrecision) {
    const float inf = std::numeric_limits<float>::infinity();
    // Hexadecimal numbers as scanf's "%f" reads them ("e" is a digit there).
    const std::pair<const char*, float> rows[] = {
        {"250", 250.0f}, {"  12.5kN", 12.5f},    {"\t-3e2x", -300.0f}, {"+7", 7.0f},
        {".5", 0.5f},    {"-.25", -0.25f},       {"1e", 1.0f},         {"4.5e+1 m", 45.0f},
        {"0x1A", 26.0f}, {" -0X1.8p1 m", -3.0f}, {"0x1e3", 483.0f},    {"0x.8", 0.5f},
        {"0x1p", 1.0f},  {"0x1p999", inf},       {"0x1p-999", 0.0f},   {"16777217", 16777216.0f}};
    for (const auto& [text, value] : rows) EXPECT_EQ(units::readNumber(text), value) << text;
    // Single precision: 0.1 reads as the float nearest 0.1, not the double.
    EXPECT_EQ(static_cast<double>(units::readNumber("0.1")), static_cast<double>(0.1f));
    EXPECT_NE(static_cast<double>(units::readNumber("0.1")), 0.1);
}

TEST(ReadNumber, NoNumberReadsZero) {
    for (const char* text :
         {"", "   ", "abc", "kN 5", "+-1", "--1", "-", "+", ".", "e5", "x1", "0x", "0xg"}) {
        EXPECT_EQ(units::readNumber(text), 0.0f) << '"' << text << '"';
    }
}

TEST(ReadNumber, OutOfRange) {
    EXPECT_EQ(units::readNumber("1e50"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(units::readNumber("-1e50"), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(units::readNumber("1e999"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(units::readNumber("1e-999"), 0.0f);
    const float tiny = units::readNumber("1e-40");
    EXPECT_GT(tiny, 0.0f);
    EXPECT_LT(tiny, std::numeric_limits<float>::min());
}

TEST_F(NumFormatTest, TypedValuesAreStoredInternal) {
    EXPECT_DOUBLE_EQ(units::readInternal(3, "250"), 76.2);
    EXPECT_DOUBLE_EQ(units::readInternal(49, "68"), 20.0);
    EXPECT_DOUBLE_EQ(units::readInternal(1, "100"), 1.0);
    EXPECT_DOUBLE_EQ(units::readInternal(-1, "2.5"), 2.5);
    units::setCurrentSettings(units::presetSettings(units::kUSPreset));
    EXPECT_DOUBLE_EQ(units::readSlotInternal(units::kLengthUnit, "250"), 76.2);
    EXPECT_DOUBLE_EQ(units::readSlotInternal(units::kForceUnit, "2"), 8.896);
    const units::UnitSettings& si = units::presetSettings(units::kSIPreset);
    EXPECT_DOUBLE_EQ(units::readInternal(si, units::kElasticParamUnit, "210000"), 2.1e8);
}

TEST_F(NumFormatTest, DisplayedTextReadsBack) {
    // What a field shows, typed back, stores the same value within the shown precision.
    units::setCurrentSettings(units::presetSettings(units::kUSPreset));
    const double stored = 3.0;
    const std::string shown =
        units::formatBareValue(units::kLengthUnit, units::kLengthFormat, stored);
    EXPECT_EQ(shown, "9.84");
    EXPECT_NEAR(units::readSlotInternal(units::kLengthUnit, shown), stored, 0.005 * 0.3048);
}

} // namespace
