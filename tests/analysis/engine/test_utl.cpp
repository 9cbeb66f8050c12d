// The engine's allocators and their failure messages, and the free-format scanner.
#include "analysis/engine/fem.h"
#include "analysis/engine/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <tuple>
#include <vector>

namespace kestrel::engine {
namespace {

class Utl : public ::testing::Test {
protected:
    void SetUp() override {
        utl_reset();
        fem_release();
    }
    void TearDown() override {
        utl_reset();
        fem_release();
    }
};

TEST_F(Utl, MatricesAreArraysOfZeroedRowsAndProfilesOfTrueColumns) {
    double** d = utl_dmatalloc(3, 4);
    int** i = utl_imatalloc(2, 5);
    ASSERT_NE(d, nullptr);
    ASSERT_NE(i, nullptr);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(d[r][c], 0.0);
    EXPECT_EQ(d[1], d[0] + 4);
    EXPECT_EQ(i[1], i[0] + 5);
    utl_dmatfree(d);
    utl_imatfree(i);
    EXPECT_TRUE(g_fem.error.empty());
    // A profile addresses true columns.
    const int first[4] = {0, 0, 2, 1};
    ProfileMatrix k;
    ASSERT_TRUE(utl_profilealloc(4, first, sizeof(double), &k));
    EXPECT_EQ(k.size, 1u + 2u + 1u + 3u);
    k.at(3, 1) = 31;
    k.at(3, 3) = 33;
    k.at(2, 2) = 22;
    EXPECT_EQ(k.row_start(3)[0], 31);
    EXPECT_EQ(k.row_start(3)[2], 33);
    EXPECT_EQ(k.row_start(2)[0], 22);
    utl_profilefree(&k);
    EXPECT_EQ(k.data, nullptr);
}

TEST_F(Utl, FailuresLeaveTheirMessages) {
    g_utl.fail_above = 16;
    struct {
        bool failed;
        const char* message;
    } cases[] = {
        {utl_calloc(100, 8) == nullptr, "Allocation failure in utl_calloc !!!\n"},
        {utl_imatalloc(100, 2) == nullptr, "Allocation failure (rows) in utl_imatalloc !!!\n"},
        {utl_dmatalloc(100, 2) == nullptr, "Allocation failure (rows) in utl_dmatalloc !!!\n"},
    };
    for (const auto& c : cases) EXPECT_TRUE(c.failed) << c.message;
    EXPECT_EQ(g_fem.error, "Allocation failure in utl_calloc !!!\n"); // the first one wins

    // Each failure alone: rows fit but the block of 2 x 3 does not, or not even the rows fit.
    struct {
        std::size_t limit;
        std::function<bool()> fails;
        const char* message;
    } alone[] = {
        {2 * sizeof(int*), [] { return utl_imatalloc(2, 3) == nullptr; },
         "Allocation failure (columns) in utl_imatalloc !!!\n"},
        {2 * sizeof(double*), [] { return utl_dmatalloc(2, 3) == nullptr; },
         "Allocation failure (columns) in utl_dmatalloc !!!\n"},
        {100, [] { return utl_imatalloc(100, 1) == nullptr; },
         "Allocation failure (rows) in utl_imatalloc !!!\n"},
        {100, [] { return utl_dmatalloc(100, 1) == nullptr; },
         "Allocation failure (rows) in utl_dmatalloc !!!\n"},
    };
    for (const auto& c : alone) {
        g_fem.error.clear();
        g_utl.fail_above = c.limit;
        EXPECT_TRUE(c.fails()) << c.message;
        EXPECT_EQ(g_fem.error, c.message);
    }
    g_fem.error.clear();
    const int first[20] = {};
    ProfileMatrix k;
    EXPECT_FALSE(utl_profilealloc(20, first, sizeof(double), &k));
    EXPECT_EQ(g_fem.error, "Allocation failure in utl_profilealloc !!!\n");
}

// Every real read from the text until the first that fails.
std::vector<double> reals(const char* text) {
    Scan s;
    s.reset(text);
    std::vector<double> got;
    for (double d = 0; scan_double(s, &d);) got.push_back(d);
    return got;
}

TEST(Scan, FreeFormatNumbersLabelsAndQuotes) {
    Scan s;
    s.reset("junk %NODE.COORD\n 2\n+1 -2.5e1 .5 'a b' x %END");
    std::string label, quoted, end;
    int i1 = 0, i2 = 0;
    double d1 = 0, d2 = 0;
    EXPECT_TRUE(scan_label(s, &label) && scan_int(s, &i1) && scan_int(s, &i2) &&
                scan_double(s, &d1) && scan_double(s, &d2) && scan_quoted(s, &quoted));
    EXPECT_EQ(std::tuple(label, i1, i2, d1, d2, quoted),
              std::tuple("NODE.COORD", 2, 1, -25.0, 0.5, "a b"));
    EXPECT_FALSE(scan_int(s, &i1)); // "x" is no number
    EXPECT_TRUE(scan_label(s, &end) && end == "END") << end;
    EXPECT_FALSE(scan_label(s, &end));
}

TEST(Scan, DoubledSignsAndNonFiniteRealsAreNoNumbers) {
    // "%lf" takes one optional sign: "--5" and "+-5" fail. Infinite or not a number, however
    // written, and beyond the largest double: not read either. The text stays where it was
    // (past leading blanks).
    for (const char* text : {"--5", "+-5", "-+5", " - 5", "nan", "-nan", "NAN", "inf", "+inf",
                             "-Infinity", "1e400", "-1e309", "0x1p2000", "nan(1)"}) {
        Scan s;
        s.reset(text);
        double d = 42;
        EXPECT_FALSE(scan_double(s, &d)) << text;
        EXPECT_EQ(d, 42.0) << text;
        EXPECT_EQ(s.p, s.begin + (text[0] == ' ' ? 1 : 0)) << text;
    }
}

TEST(Scan, RealsReadLikeStrtod) {
    // Below the smallest double a value rounds to 0 (or to the nearest subnormal) and the whole
    // token is consumed; hexadecimal reals are numbers too.
    const std::vector<double> got =
        reals("-5 +5 1e-400 -2e-330 3e-320 7 0x1p3 -0X10 +0x1.8p1\n0x1P-2");
    EXPECT_EQ(got, (std::vector<double>{-5, 5, 0, 0, std::strtod("3e-320", nullptr), 7, 8, -16, 3,
                                        0.25}));
    ASSERT_EQ(got.size(), 10u);
    EXPECT_TRUE(std::signbit(got[3]));
}

TEST(Scan, LinesAreCutLikeFgets) {
    Scan s;
    std::string text = "abcdef\ngh";
    s.reset(text);
    std::string_view line;
    ASSERT_TRUE(scan_line(s, 4, &line));
    EXPECT_EQ(line, "abc");
    ASSERT_TRUE(scan_line(s, 8192, &line));
    EXPECT_EQ(line, "def\n");
    ASSERT_TRUE(scan_line(s, 8192, &line));
    EXPECT_EQ(line, "gh");
    EXPECT_FALSE(scan_line(s, 8192, &line));
}

std::string printf_e(double v, int width, int digits) {
    char b[64];
    std::snprintf(b, sizeof b, "%+*.*e", width, digits, v);
    return b;
}

std::string fast_e(double v, int width, int digits) {
    LineBuffer line;
    line.scientific(v, width, digits);
    return std::string(line.data(), line.size());
}

TEST(LineBuffer, ScientificAndIntegersMatchPrintf) {
    const double edge[] = {0.0,    -0.0,      0.00123456, 9.9995e-3, 9.99995,   -9.9999995e7,
                           1.0005, 2.5e-5,    1e-300,     -1e300,    4.9e-324,  123456789.0,
                           0.1,    -0.000125, 1e-5,       HUGE_VAL,  -HUGE_VAL, 1.25e-3};
    for (double v : edge) {
        EXPECT_EQ(fast_e(v, 5, 3), printf_e(v, 5, 3)) << v;
        EXPECT_EQ(fast_e(v, 10, 5), printf_e(v, 10, 5)) << v;
    }
    // A deterministic sweep over mantissas and exponents, including round-half cases.
    std::uint64_t x = 88172645463325252ull;
    for (int i = 0; i < 200000; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        double mantissa = static_cast<double>(x % 100000000) / 1e7;
        double v = mantissa * std::pow(10.0, static_cast<int>(x >> 40) % 40 - 20);
        if (x & 1) v = -v;
        ASSERT_EQ(fast_e(v, 5, 3), printf_e(v, 5, 3)) << v;
        ASSERT_EQ(fast_e(v, 10, 5), printf_e(v, 10, 5)) << v;
        // Any bit pattern at all: every magnitude, subnormals and non-finite values included.
        double raw = 0;
        std::memcpy(&raw, &x, sizeof raw);
        ASSERT_EQ(fast_e(raw, 10, 5), printf_e(raw, 10, 5)) << raw;
    }
    // Values one unit in the last place around decimal ties and powers of ten.
    for (double t : {1.00005, 2.34565, 9.99995, 1e5, 1e-5, 0.5, 999999.5, 1.0, 1e22, 1e-22}) {
        for (double v = std::nextafter(t, 0.0), k = 0; k < 3; ++k, v = std::nextafter(v, 1e300)) {
            ASSERT_EQ(fast_e(v, 5, 3), printf_e(v, 5, 3)) << v;
            ASSERT_EQ(fast_e(v, 10, 5), printf_e(v, 10, 5)) << v;
        }
    }
    // Integers are padded like printf's too.
    LineBuffer line;
    line.integer(7, 4);
    line.text("|");
    line.integer(-12, 4);
    line.text("|");
    line.integer(123456, 4);
    EXPECT_EQ(std::string(line.data(), line.size()), "   7| -12|123456");
}

} // namespace
} // namespace kestrel::engine
