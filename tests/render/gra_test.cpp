// GRA pictures: records, tables, scaling, text and hostile files.
#include "render/gra.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "render/gra_tables.h"
#include "render/recording_surface.h"
#include "settings/store.h"

namespace plox {
namespace {

const std::string HEADER = "%Ngraph GRA file\n%Creator: test\n";

template <class T> std::vector<T> all_of(const RecordingSurface& s) {
    std::vector<T> out;
    for (const Command& c : s.commands())
        if (auto* p = std::get_if<T>(&c)) out.push_back(*p);
    return out;
}

struct Drawn {
    RecordingSurface surface;
    GraResult result;
};

Drawn draw(const std::string& body, int32_t scale = 10000,
           FontMapping mapping = FontMapping::make_default()) {
    Drawn d;
    FixedTextMeasurer measurer;
    d.result = draw_gra_text(d.surface, measurer, HEADER + body, 1000, 2000, scale, mapping);
    return d;
}

TEST(Gra, LineSpansThePictureWidthAtItsScale) {
    // A 50 mm picture: 10000 GRA units are 5000 logical units.
    Drawn d = draw("A,5,0,40,4,0,0\nL,4,0,0,10000,0\n", 5000);
    ASSERT_EQ(d.result.status, 0);
    auto moves = all_of<rec::MoveTo>(d.surface);
    auto lines = all_of<rec::LineTo>(d.surface);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(moves.back().p, (Point{1000, 2000}));
    EXPECT_EQ(lines[0].p, (Point{6000, 2000}));
    auto pens = all_of<rec::SelectPen>(d.surface);
    EXPECT_EQ(pens.back().pen, (Pen{pen_style::Solid, 20, 0x0000FF})); // index 4 is red
    EXPECT_EQ(d.result.extent, (Rect{1000, 2000, 6000, 2000}));
}

TEST(Gra, DashedLinesThatJoinAreOnePolylineSoTheirPatternRunsOn) {
    // A dashed curve of short records, a break, then a solid line: the joined records form one
    // polyline (drawn before the text that follows them), the detached one starts another.
    Drawn d = draw("A,5,2,10,0,0,0\nL,4,0,0,100,0\nT,2,200,0\nL,4,200,0,300,100\n"
                   "L,4,500,500,600,500\nS,1,\"ab\",\nA,5,0,10,0,0,0\nL,4,0,0,0,100\n");
    std::vector<std::string> kinds;
    for (const Command& c : d.surface.commands()) {
        if (auto* p = std::get_if<rec::Polyline>(&c))
            kinds.push_back("polyline " + std::to_string(p->points.size()));
        else if (std::holds_alternative<rec::LineTo>(c))
            kinds.push_back("line");
        else if (std::holds_alternative<rec::TextOut>(c))
            kinds.push_back("text");
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"polyline 4", "polyline 2", "text", "line"}));
    auto runs = all_of<rec::Polyline>(d.surface);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].points.back(), (Point{1000 + 300, 2000 + 100}));
    EXPECT_EQ(runs[1].points.front(), (Point{1000 + 500, 2000 + 500}));
}

TEST(Gra, TablesClampIndicesOutsideThem) {
    EXPECT_EQ(gra_color(4), 0x0000FF);
    EXPECT_EQ(gra_color(1), 0xFF0000);
    EXPECT_EQ(gra_color(-3), 0x000000);
    EXPECT_EQ(gra_color(1000), 0xFFFFFF);
    EXPECT_EQ(gra_pen_style(1), pen_style::Dot);
    EXPECT_EQ(gra_pen_style(2), pen_style::Dash);
    EXPECT_EQ(gra_pen_style(77), pen_style::DashDot);
    EXPECT_EQ(sjis_greek_to_symbol("\x83\xbf"), 'a');
    EXPECT_EQ(sjis_greek_to_symbol("\x83\xd6"), 'w');
    EXPECT_EQ(sjis_greek_to_symbol("\x83\x9f"), 'A');
    EXPECT_EQ(sjis_greek_to_symbol("\x83\xb7"), 0);
    EXPECT_EQ(sjis_greek_to_symbol("ab"), 0);
}

TEST(Gra, ShortRecordsKeepThePreviousValuesInTheirPositions) {
    GraRecord r;
    std::array<int32_t, 2 * GRA_MAX_POLYGON> pts{};
    parse_gra_record("L,4,10,20,30,40", r, pts);
    EXPECT_EQ(r.parsed, 5);
    parse_gra_record("L,4,7", r, pts);
    EXPECT_EQ(r.parsed, 2);
    EXPECT_EQ((std::array<int32_t, 4>{r.values[1], r.values[2], r.values[3], r.values[4]}),
              (std::array<int32_t, 4>{7, 20, 30, 40}));
    parse_gra_record("M,2,-5 ,9", r, pts); // a blank before the comma ends the numbers
    EXPECT_EQ(r.parsed, 2);
    EXPECT_EQ(r.values[1], -5);
    parse_gra_record("A,4,99999999999999,1", r, pts);
    EXPECT_EQ(r.values[1], INT32_MAX);
}

TEST(Gra, PolygonsAreCappedAtTwentyPoints) {
    std::string line = "D,999,1000000,1";
    for (int i = 0; i < 40; ++i)
        line += "," + std::to_string(i * 10) + "," + std::to_string(i);
    Drawn d = draw(line + "\n");
    auto polys = all_of<rec::Polygon>(d.surface);
    ASSERT_EQ(polys.size(), 1u);
    EXPECT_EQ(polys[0].points.size(), 20u);
    // Filled: solid brush, thin outline in the fill colour (white at the start).
    EXPECT_EQ(all_of<rec::SelectBrush>(d.surface).back().brush.style, brush_style::Solid);
}

TEST(Gra, FontRecordSizesTurnsAndColoursText) {
    // Slot 1, bold, 24 pt, colour 4, direction 1 (upward).
    Drawn d = draw("F,8,1,1,0,0,4,1,2400,0\nM,2,100,100\nS,1,\"Hi\"\n");
    auto fonts = all_of<rec::SelectFont>(d.surface);
    ASSERT_FALSE(fonts.empty());
    const Font& f = fonts.back().font;
    EXPECT_EQ(f.face, "Arial");
    EXPECT_EQ(f.height, -847); // 24 pt at full scale
    EXPECT_EQ(f.weight, 700);
    EXPECT_EQ(f.escapement, 900);
    EXPECT_EQ(all_of<rec::TextColor>(d.surface).back().color, 0x0000FF);
    auto texts = all_of<rec::TextOut>(d.surface);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].bytes, "Hi");
    // Upward text: the extent grows above the start point, not to its right.
    EXPECT_LT(d.result.extent.top, 2000 + 100 - 500);
    EXPECT_EQ(d.result.extent.right - d.result.extent.left, 847);
}

TEST(Gra, ShiftJisGreekGoesToTheSymbolSlotWhenAsked) {
    const std::string k = "F,8,2,0,0,0,0,0,1200,0\nK,1,\"\x82\xa0\x83\xbf\x82\xa2\"\n";
    Drawn on = draw(k);
    auto texts = all_of<rec::TextOut>(on.surface);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].bytes, "\x82\xa0");
    EXPECT_EQ(texts[1].bytes, "a");
    EXPECT_EQ(texts[2].bytes, "\x82\xa2");
    auto fonts = all_of<rec::SelectFont>(on.surface);
    ASSERT_EQ(fonts.size(), 3u);
    EXPECT_EQ(fonts[1].font.face, "Symbol");
    EXPECT_EQ(fonts[1].font.height, fonts[0].font.height);
    EXPECT_LT(texts[0].p.x, texts[1].p.x);

    FontMapping off = FontMapping::make_default();
    off.SymbolUse = 0;
    Drawn plain = draw(k, 10000, off);
    ASSERT_EQ(all_of<rec::TextOut>(plain.surface).size(), 1u);
}

TEST(Gra, FilledPieOverHalfATurnIsTwoChordsAndATriangle) {
    Drawn d = draw("C,7,5000,5000,1000,1,1000,0,2700\nC,7,5000,5000,1000,1,1000,0,900\nC,7,5000,"
                   "5000,1000,0,1000,0,900\n");
    EXPECT_EQ(all_of<rec::Chord>(d.surface).size(), 3u);
    EXPECT_EQ(all_of<rec::Polygon>(d.surface).size(), 2u);
    auto arcs = all_of<rec::Arc>(d.surface);
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_EQ(arcs[0].start, (Point{7000, 7000}));
    EXPECT_EQ(arcs[0].end, (Point{6000, 6000}));
    // After a filled shape the line pen comes back.
    EXPECT_EQ(all_of<rec::SelectPen>(d.surface).back().pen.width, 40);
}

TEST(Gra, ThinPenSkipsOutlinesButNotFills) {
    Drawn d = draw("A,5,0,0,0,0,0\nB,5,0,0,100,100,0\nB,5,0,0,100,100,1\nL,4,0,0,10,10\nP,2,5,5\n");
    EXPECT_EQ(all_of<rec::Rectangle>(d.surface).size(), 1u);
    EXPECT_TRUE(all_of<rec::LineTo>(d.surface).empty());
    EXPECT_TRUE(all_of<rec::Ellipse>(d.surface).empty());
}

TEST(Gra, OriginRecordMovesLaterCoordinates) {
    Drawn d = draw("V,5,1000,1000,2000,2000,1\nM,2,0,0\nT,2,100,0\n", 10000);
    auto lines = all_of<rec::LineTo>(d.surface);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].p, (Point{2100, 3000}));
}

TEST(Gra, FilesThatAreNotGraDrawNothing) {
    RecordingSurface s;
    FixedTextMeasurer m;
    auto mapping = FontMapping::make_default();
    EXPECT_EQ(draw_gra_text(s, m, "hello\nL,4,0,0,1,1\n", 0, 0, 1000, mapping).status, -1);
    EXPECT_EQ(draw_gra_file(s, m, "/nonexistent/x.gra", 0, 0, 1000, mapping).status, -1);
    // A device or FIFO as the picture: refused at once, never read or waited on.
    EXPECT_EQ(draw_gra_file(s, m, "/dev/zero", 0, 0, 1000, mapping).status, -1);
    char dir[] = "/tmp/plox-graXXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string fifo = std::string(dir) + "/pipe.gra";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(draw_gra_file(s, m, fifo, 0, 0, 1000, mapping).status, -1);
    ::unlink(fifo.c_str());
    ::rmdir(dir);
    EXPECT_TRUE(s.empty());
}

TEST(Gra, HostileFilesNeitherCrashNorHang) {
    const auto dir = std::filesystem::temp_directory_path() / "plox_gra_test";
    std::filesystem::create_directories(dir);
    const auto path = (dir / "long.gra").string();
    {
        // One 64 MiB line: read in bounded pieces, and its tail makes no records.
        std::ofstream out(path, std::ios::binary);
        out << HEADER;
        std::string chunk(1 << 20, 'L');
        for (int i = 0; i < 64; ++i)
            out << chunk;
        out << "\nL,4,0,0,10,10\n";
    }
    RecordingSurface s;
    FixedTextMeasurer m;
    auto r = draw_gra_file(s, m, path, 0, 0, 10000, FontMapping::make_default());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(all_of<rec::LineTo>(s).size(),
              2u); // the first 300 bytes ("L" and stale values), then the real line
    std::filesystem::remove_all(dir);

    std::mt19937 rng(7);
    const std::string letters = "ABCDFKSLMNOPTVX";
    for (int round = 0; round < 200; ++round) {
        std::string body;
        for (int line = 0; line < 30; ++line) {
            body += letters[rng() % letters.size()];
            body += ',';
            int n = rng() % 12;
            for (int k = 0; k < n; ++k) {
                int v = static_cast<int>(rng());
                body +=
                    std::to_string(rng() % 3 == 0 ? v : v % 20000) + (rng() % 5 ? "," : ";\x83");
            }
            if (rng() % 7 == 0) body += std::string(rng() % 600, static_cast<char>(rng()));
            body += '\n';
        }
        RecordingSurface fuzz;
        auto res = draw_gra_text(fuzz, m, HEADER + body, 0, 0, static_cast<int32_t>(rng() % 100000),
                                 FontMapping::make_default());
        EXPECT_EQ(res.status, 0);
        for (const auto& p : all_of<rec::Polygon>(fuzz))
            EXPECT_LE(p.points.size(), 20u);
    }
}

TEST(FontMapping, RoundTripsThroughTheSettingsStore) {
    MemorySettingsStore store;
    FontMapping read = FontMapping::make_default();
    read_font_mapping(store, read); // nothing stored: the built-in table stays
    EXPECT_EQ(read.faces[4].face, "Courier New");
    EXPECT_EQ(read.faces[4].pitch_and_family, 49);
    EXPECT_EQ(read.faces[5].out_precision, 3);
    EXPECT_EQ(read.SymbolUse, 1);

    FontMapping changed = FontMapping::make_default();
    changed.faces[1].face = "Liberation Sans";
    changed.faces[1].height = -300;
    changed.faces[2].face = std::string(40, 'x'); // longer than a LOGFONT holds
    changed.SymbolUse = 0;
    write_font_mapping(store, changed);
    auto bytes = store.read_binary(FONT_MAPPING_KEY, "Font2Attr");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), LOGFONT_BYTES);
    EXPECT_EQ((*bytes)[0], 0xD4); // -300 little-endian
    EXPECT_EQ((*bytes)[3], 0xFF);

    FontMapping back = FontMapping::make_default();
    read_font_mapping(store, back);
    EXPECT_EQ(back.faces[1].face, "Liberation Sans");
    EXPECT_EQ(back.faces[1].height, -300);
    EXPECT_EQ(back.faces[2].face, std::string(31, 'x'));
    EXPECT_EQ(back.SymbolUse, 0);

    store.write_binary(FONT_MAPPING_KEY, "Font1Attr", {1, 2, 3}); // malformed: slot kept
    read_font_mapping(store, back);
    EXPECT_EQ(back.faces[0].face, "Times New Roman");
}

} // namespace
} // namespace plox
