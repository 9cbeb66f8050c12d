// Parameter forms built from template texts.
#include "ui/headless.h"
#include "ui/paramform.h"

#include <gtest/gtest.h>

using namespace ui;

TEST(ParamForm, ParsesTheWindowLimitsTemplate) {
    ParamForm f;
    ASSERT_TRUE(ParamForm::parse("  Set window data limits:\nMinimum X = %10.10%10.3f\n"
                                 "Maximum X = %10.10%10.3f\nMinimum Y = %10.10%10.3f\n"
                                 "Maximum Y = %10.10%10.3f\n",
                                 f));
    EXPECT_EQ(f.title, "  Set window data limits:");
    ASSERT_EQ(f.fields.size(), 4u);
    EXPECT_EQ(f.fields[0].label, "Minimum X = ");
    EXPECT_EQ(f.fields[3].label, "Maximum Y = ");
    EXPECT_EQ(f.fields[1].width, 10);
    EXPECT_EQ(f.fields[1].maxChars, 10);
    EXPECT_EQ(f.fields[1].format, "%10.3f");
    EXPECT_EQ(f.fields[1].type, ParamField::Type::Real);
    f.fields[0].real = -1.5;
    EXPECT_EQ(f.fields[0].display(), "    -1.500");
}

TEST(ParamForm, FieldTypesFollowTheConversion) {
    ParamForm f;
    ASSERT_TRUE(ParamForm::parse("T\nCount: %5.5%d\nName: %20.31%s\nAngle: %8.8%g", f));
    EXPECT_EQ(f.fields[0].type, ParamField::Type::Integer);
    EXPECT_EQ(f.fields[1].type, ParamField::Type::String);
    EXPECT_EQ(f.fields[2].type, ParamField::Type::Real);
}

TEST(ParamForm, MalformedFieldLinesAreRefused) {
    ParamForm f;
    EXPECT_FALSE(ParamForm::parse("T\nNo field here", f));
    EXPECT_FALSE(ParamForm::parse("T\nX = %10%10.3f", f));
    EXPECT_FALSE(ParamForm::parse("T\nX = %10.10%10.3q", f));
    EXPECT_TRUE(f.fields.empty());
}

TEST(ParamForm, TypedNumbersAreReadAsSinglePrecision) {
    ParamField real;
    real.format = "%10.3f";
    ASSERT_TRUE(real.assign("0.1"));
    EXPECT_EQ(real.real, static_cast<double>(0.1f));
    EXPECT_TRUE(real.assign("12abc"));
    EXPECT_DOUBLE_EQ(real.real, 12.0);
    EXPECT_FALSE(real.assign("abc"));
    ParamField integer;
    integer.type = ParamField::Type::Integer;
    integer.format = "%d";
    ASSERT_TRUE(integer.assign("42"));
    EXPECT_EQ(integer.integer, 42);
    ParamField limited;
    limited.type = ParamField::Type::String;
    limited.format = "%s";
    limited.maxChars = 3;
    limited.assign("abcdef");
    EXPECT_EQ(limited.text, "abc");
}

TEST(ParamForm, HeadlessAnswerFillsTheFieldsAndReturnsConfirmation) {
    auto* hb = new HeadlessBackend;
    Toolkit tk{std::unique_ptr<Backend>(hb)};
    ParamForm f;
    ASSERT_TRUE(ParamForm::parse("  Set window data limits:\nMinimum X = %10.10%10.3f\n"
                                 "Maximum X = %10.10%10.3f\n",
                                 f));
    hb->queueParam({"-2", "12.25"});
    ASSERT_TRUE(tk.getParam(f));
    EXPECT_DOUBLE_EQ(f.fields[0].real, -2.0);
    EXPECT_DOUBLE_EQ(f.fields[1].real, 12.25);
    hb->queueParamCancel();
    EXPECT_FALSE(tk.getParam(f));
    EXPECT_DOUBLE_EQ(f.fields[1].real, 12.25) << "cancel leaves the values";
    EXPECT_TRUE(hb->errors().empty());
}
