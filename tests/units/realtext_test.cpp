// Reals of the model and neutral files: printf's text wherever six
// significant digits read back to the same double, the fewest digits that do
// everywhere else.
#include "units/realtext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

TEST(RealText, ShortestTextThatReadsBack) {
    struct Row {
        double v;
        const char* g;
        const char* e;
    } rows[] = {
        // Exact in six digits: as printf's "%g" and "%+.5e" write them.
        {0, "0", "+0.00000e+00"},
        {-0.0, "-0", "-0.00000e+00"},
        {0.5, "0.5", "+5.00000e-01"},
        {100000, "100000", "+1.00000e+05"},
        {-999999, "-999999", "-9.99999e+05"},
        {1e6, "1e+06", "+1.00000e+06"},
        {-2.5e-5, "-2.5e-05", "-2.50000e-05"},
        {2.05e8, "2.05e+08", "+2.05000e+08"},
        // More digits only where six lose the value.
        {8.356e-05, "8.356e-05", "+8.35600e-05"},
        {2.05943e8, "2.05943e+08", "+2.05943e+08"},
        {12345.678, "12345.678", "+1.2345678e+04"},
        {100006.5, "100006.5", "+1.000065e+05"},
        {1000000.4, "1000000.4", "+1.0000004e+06"},
        {0.1 + 0.2, "0.30000000000000004", "+3.0000000000000004e-01"},
        {1.0 / 3, "0.3333333333333333", "+3.333333333333333e-01"},
        {std::numeric_limits<double>::max(), "1.7976931348623157e+308", "+1.7976931348623157e+308"},
        {std::numeric_limits<double>::denorm_min(), "4.94066e-324", "+4.94066e-324"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(units::realG(r.v), r.g) << r.g;
        EXPECT_EQ(units::realE(r.v), r.e) << r.e;
        EXPECT_EQ(std::strtod(units::realG(r.v).c_str(), nullptr), r.v) << r.g;
        EXPECT_EQ(std::strtod(units::realE(r.v).c_str(), nullptr), r.v) << r.e;
    }
}

TEST(RealText, RecordsKeepEveryOtherConversion) {
    EXPECT_EQ(units::formatRecord("%d %s %g %g\n", 3, "Steel", 2.05943e8, 78.5),
              "3 Steel 2.05943e+08 78.5\n");
    EXPECT_EQ(units::formatRecord("%+.5e %+.5e\n", 100000.4, -6.5), "+1.000004e+05 -6.50000e+00\n");
    EXPECT_EQ(units::formatRecord("%d     %g  %g\n", 12, 12345.25, 0.0), "12     12345.25  0\n");
    EXPECT_EQ(units::formatRecord("100%% %5.2f|%-4d|\n", 1.0 / 3, 7), "100%  0.33|7   |\n");
    EXPECT_EQ(units::formatRecord("no conversion\n"), "no conversion\n");
}
