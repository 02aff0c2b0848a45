// Line reading, value scanning and "%g" writing of the positional formats.
#include "document/text_lines.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace plox {
namespace {

TEST(LineReader, EndsCtrlZAndLimits) {
    const std::string text = "a\r\nb\nc\x1a\n" + std::string(600, 'x') + "\nnext\n\x1a\nhidden\n";
    LineReader r(text);
    EXPECT_EQ(r.next(), "a");
    EXPECT_EQ(r.next(), "b");
    EXPECT_EQ(r.next(), "c");
    EXPECT_EQ(r.next()->size(), 511u);
    EXPECT_EQ(r.next(), "next");
    EXPECT_EQ(r.next(), std::nullopt); // a Ctrl-Z line ends the file
    EXPECT_EQ(r.line(), "");
}

TEST(LineReader, LastLineWithoutBreakAndRawBytes) {
    LineReader r("ab\ncd");
    EXPECT_EQ(r.bytes(1), "a");
    EXPECT_EQ(r.next(), "b");
    EXPECT_EQ(r.next(), "cd");
    EXPECT_TRUE(r.at_end());
    EXPECT_EQ(r.bytes(5), "");
}

TEST(Scan, CountsConversionsLikeFormattedInput) {
    int32_t a = -7, b = -7, c = -7;
    Scan s("12 x 3");
    s.i32(a).i32(b).i32(c);
    EXPECT_EQ(s.count(), 1);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, -7);
    EXPECT_EQ(c, -7);

    double d = 0, e = 0;
    Scan t("  +1.5e3\t-.25");
    t.real(d).real(e);
    EXPECT_EQ(t.count(), 2);
    EXPECT_EQ(d, 1500);
    EXPECT_EQ(e, -0.25);

    int32_t big = 0, u = 0;
    Scan(" 99999999999 -1").i32(big).u32(u);
    EXPECT_EQ(big, INT32_MAX);
    EXPECT_EQ(u, -1);

    int32_t after = 0;
    Scan("1.5 2").i32(a).i32(after); // "%d %d" stops at ".5"
    EXPECT_EQ(a, 1);
    EXPECT_EQ(after, 0);

    double keep = 4;
    EXPECT_EQ(Scan("nan").real(keep).count(), 0);
    EXPECT_EQ(keep, 4);
    EXPECT_EQ(Scan("1e999").real(keep).count(), 0);

    std::string w;
    uint32_t h = 0;
    EXPECT_EQ(Scan(" word rest 0000012a").word(w).word(w).hex32(h).count(), 3);
    EXPECT_EQ(w, "rest");
    EXPECT_EQ(h, 0x12au);
}

TEST(LineWriter, GeneralFormatMatchesPrintf) {
    for (double v : {0.0, -0.0, 1.0, 0.5, 100.0, 123456.0, 1234567.0, 1e-5, 0.0001, 0.123456789,
                     -3.25e-300, 1e300, 2.0 / 3.0, 999999.5, 16777215.0}) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%g", v);
        EXPECT_EQ(LineWriter::format_g(v), buf) << v;
    }
}

TEST(LineWriter, ValuesAreSpaceSeparatedWithCrLf) {
    LineWriter w;
    w.values(1, -2, 0.5, LineWriter::Unsigned{4294967295u}).line("text");
    EXPECT_EQ(w.buffer(), "1 -2 0.5 4294967295\r\ntext\r\n");
}

} // namespace
} // namespace plox
