// Decoding document bytes, the face table and device-independent text measuring.
#include "platform/font_faces.h"
#include "platform/qt_text_measurer.h"
#include "platform/text_decoding.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <random>

// Fontconfig keeps its caches until exit; under the leak checker that is not our leak.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace plox {
namespace {

// Fonts need an application object; one for the whole test program.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "platform_tests";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) app_ = new QGuiApplication(argc, argv);
    }

private:
    QGuiApplication* app_ = nullptr;
};
[[maybe_unused]] const auto* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

TEST(TextDecoding, Cp932AndKatakana) {
    EXPECT_EQ(decode_cp932("\x82\xa0\x8a\xbf"), QString::fromUtf8("あ漢"));
    EXPECT_EQ(decode_cp932("\xb1\xb2"), QString::fromUtf8("ｱｲ"));
    EXPECT_EQ(decode_cp932("C:\\a"), QStringLiteral("C:\\a"));       // 0x5C stays a backslash
    EXPECT_EQ(decode_text("\x87\x40", 128), QString::fromUtf8("①")); // NEC extension
    EXPECT_EQ(decode_text("\x82\xa0", 0), QString::fromUtf8("あ"));
}

TEST(TextDecoding, SymbolEncoding) {
    EXPECT_EQ(decode_symbol("abgm"), QString::fromUtf8("αβγμ"));
    EXPECT_EQ(decode_symbol("m").at(0).unicode(), 0x03BC);
    EXPECT_EQ(decode_symbol("\xB4"), QString::fromUtf8("×"));
    EXPECT_EQ(decode_symbol("W\xB0\xB1\xA5"), QString::fromUtf8("Ω°±∞"));
    EXPECT_EQ(decode_text("D", SYMBOL_CHARSET), QString::fromUtf8("Δ"));
    EXPECT_EQ(decode_symbol("\x80\xff\x01"), QString()); // no character: nothing drawn
}

TEST(TextDecoding, HostileBytesNeverFail) {
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(rng() % 64, '\0');
        for (char& c : bytes)
            c = static_cast<char>(rng());
        (void)decode_cp932(bytes);
        (void)decode_symbol(bytes);
    }
    EXPECT_EQ(decode_cp932("A\x82"), QStringLiteral("A")); // a trailing lead byte is dropped
}

Font face(const std::string& name, uint8_t charset = 0, uint8_t family = 18) {
    Font f;
    f.face = name;
    f.charset = charset;
    f.pitch_and_family = family;
    f.height = -847;
    return f;
}

TEST(FontFaces, WindowsFacesMapToMetricCompatibleFaces) {
    EXPECT_EQ(map_face(face("Times New Roman")).front(), "Liberation Serif");
    EXPECT_EQ(map_face(face("Arial")).front(), "Liberation Sans");
    EXPECT_EQ(map_face(face("courier new")).front(), "Liberation Mono");
    EXPECT_EQ(map_face(face("\x82\x6c\x82\x72 \x96\xbe\x92\xa9", 128)).front(),
              "IPAMincho"); // ＭＳ 明朝
    EXPECT_EQ(map_face(face("\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e", 128)).front(),
              "IPAGothic"); // ＭＳ ゴシック
    // Unknown faces fall back by family; every list ends in both CJK faces.
    EXPECT_EQ(map_face(face("Frutiger", 0, 0x22)).front(), "Liberation Sans");
    EXPECT_EQ(map_face(face("Garamond", 0, 0x12)).front(), "Liberation Serif");
    EXPECT_EQ(map_face(face("Lucida Console", 0, 0x31)).front(), "Liberation Mono");
    const QStringList all = map_face(face("Symbol", 2));
    EXPECT_TRUE(all.contains("IPAMincho") && all.contains("IPAGothic"));
}

TEST(TextMeasuring, LogicalUnitsIndependentOfTheDevice) {
    QtTextMeasurer m;
    const Size hello = m.text_extent(face("Times New Roman"), "Hello");
    // 24 pt Times-compatible "Hello": about 18.8 mm; the cell a little over the em.
    EXPECT_GT(hello.cx, 1830);
    EXPECT_LT(hello.cx, 1930);
    EXPECT_GT(hello.cy, 847);
    EXPECT_LT(hello.cy, 1100);
    // Double-byte text is measured as the characters it encodes.
    const Size kana =
        m.text_extent(face("\x82\x6c\x82\x72 \x96\xbe\x92\xa9", 128), "\x82\xa0\x82\xa2");
    EXPECT_NEAR(kana.cx, 2 * 847, 30);
    // Bold is wider; a positive height is the cell height.
    Font bold = face("Arial");
    bold.weight = 700;
    EXPECT_GT(m.text_extent(bold, "Hello").cx, m.text_extent(face("Arial"), "Hello").cx);
    Font cell = face("Times New Roman");
    cell.height = 1000;
    EXPECT_NEAR(m.text_extent(cell, "H").cy, 1000, 15);
}

} // namespace
} // namespace plox
