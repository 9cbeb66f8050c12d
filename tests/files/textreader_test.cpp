// The token reader of the model file: numbers read exactly as strtol and
// strtod read them in the "C" locale (the fast paths change no value and no
// verdict), words across the reader's 64 KiB blocks, tell and seek inside and
// outside the block, and a section line read from the stream in between.
#include "files/textreader.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Reads `text` with a fresh reader.
template <class F> void withReader(const std::string& text, F f) {
    FILE* fp = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    ASSERT_NE(fp, nullptr);
    {
        files::TextReader in(fp);
        f(in);
    }
    std::fclose(fp);
}

TEST(TextReaderTest, NumbersReadAsStrtolAndStrtodReadThem) {
    const std::string cut(600, '7'); // longer than any value: read cut to 512
    const char* words[] = {"0",
                           "-0",
                           "+5",
                           "007",
                           "-2147483648",
                           "2147483647",
                           "2147483648",
                           "+-5",
                           "--5",
                           "-",
                           "+",
                           "0x10",
                           "1.0",
                           "5.",
                           ".5",
                           "+.5",
                           "-.5",
                           ".",
                           "1e5",
                           "1E+05",
                           "+1.23450e+01",
                           "-9.87654e-03",
                           "1e",
                           "1e+",
                           "0.1",
                           "9007199254740993",
                           "9007199254740992",
                           "12345678901234567890123",
                           "1e22",
                           "1e23",
                           "3e-22",
                           "3e-23",
                           "1e400",
                           "1e-400",
                           "4.9e-324",
                           "2.2250738585072014e-308",
                           "1.7976931348623157e308",
                           "0x1p3",
                           "inf",
                           "-inf",
                           "nan",
                           "infinity",
                           "1.5x",
                           "12345.678",
                           "100006.5",
                           cut.c_str()};
    for (const char* w : words) {
        const std::string t = std::string(w).substr(0, files::TextReader::kTokenMax);
        char* end = nullptr;
        errno = 0;
        const long li = std::strtol(t.c_str(), &end, 10);
        const bool intOk = *end == '\0' && errno != ERANGE && li >= INT_MIN && li <= INT_MAX;
        const double d = std::strtod(t.c_str(), &end);
        const bool realOk = *end == '\0' && std::isfinite(d);
        withReader(std::string(w) + "\n", [&](files::TextReader& in) {
            int i = -99;
            EXPECT_EQ(in.readInt(i), intOk) << w;
            if (intOk) {
                EXPECT_EQ(i, li) << w;
            }
            EXPECT_EQ(in.failed(), !intOk) << w;
            ASSERT_TRUE(in.seek(0));
            double x = -99;
            EXPECT_EQ(in.readDouble(x), realOk) << w;
            if (realOk) {
                EXPECT_EQ(std::memcmp(&x, &d, sizeof d), 0) << w << " " << x;
            }
            EXPECT_FALSE(in.ended()) << w;
        });
    }
}

TEST(TextReaderTest, WordsAcrossBlocksTellSeekAndSections) {
    // A real across the end of the first block, a section line, a label.
    std::string text(65530, ' ');
    text += "123456.75\n42 1\n0.3 0.2\nbeam";
    withReader(text, [&](files::TextReader& in) {
        double x = 0;
        ASSERT_TRUE(in.readDouble(x));
        EXPECT_EQ(x, 123456.75);
        const long after = in.tell();
        EXPECT_EQ(after, 65539);
        int i = 0;
        ASSERT_TRUE(in.readInt(i));
        EXPECT_EQ(i, 42);
        ASSERT_TRUE(in.seek(after)); // back inside the block
        ASSERT_TRUE(in.readInt(i));
        EXPECT_EQ(i, 42);
        ASSERT_TRUE(in.readInt(i));
        attrib::Section sec = attrib::makeSection(attrib::kSecRectangle);
        ASSERT_TRUE(in.readSection(sec));
        EXPECT_EQ(sec.params, (std::vector<double>{0.3, 0.2}));
        std::string label;
        ASSERT_TRUE(in.readLabel(label, 3));
        EXPECT_EQ(label, "bea");
        EXPECT_TRUE(in.atEnd());
        EXPECT_FALSE(in.readInt(i));
        EXPECT_TRUE(in.ended());
        ASSERT_TRUE(in.seek(10)); // back before the block held
        ASSERT_TRUE(in.readDouble(x));
        EXPECT_EQ(x, 123456.75);
    });
    // A control character spoils its word, whatever the block.
    withReader(std::string(65534, ' ') + "1\x01"
                                         "2 3",
               [](files::TextReader& in) {
                   int i = 0;
                   EXPECT_FALSE(in.readInt(i));
                   EXPECT_FALSE(in.ended());
                   EXPECT_FALSE(in.readInt(i)); // a failed reader reads nothing more
               });
}

} // namespace
