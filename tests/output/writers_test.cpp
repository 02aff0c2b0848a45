// The metafile writers: every size, count and total of the files parsed back, and objects
// created only when the selected value changes.
#include "metafile_parse.h"
#include "output/emf_records.h"
#include "output/emf_surface.h"
#include "output/wmf_surface.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace plox {
namespace {

using test::emf_records;
using test::wmf_records;

const FixedTextMeasurer measurer;
const MetafileText latin1;

void draw_sample(Surface& s) {
    s.set_bk_mode(bk_mode::Transparent);
    s.select_pen(Pen{pen_style::Solid, 30, 0x0000FF});
    s.move_to(5000, 5000);
    s.line_to(15000, 5000);
    s.line_to(15000, 9000); // same pen: no new object
    const Point tri[] = {{6000, 6000}, {9000, 6000}, {7500, 8000}};
    s.select_brush(Brush{brush_style::Hatched, 0x00FF00, hatch_style::Cross});
    s.polygon(tri);
    s.select_pen(Pen{pen_style::Dash, 0, 0});
    s.rectangle(5000, 10000, 8000, 12000);
    s.round_rect(9000, 10000, 12000, 12000, 300, 300);
    s.ellipse(13000, 10000, 15000, 12000);
    s.chord(5000, 13000, 8000, 15000, 8000, 14000, 5000, 14000);
    s.arc(9000, 13000, 12000, 15000, 12000, 14000, 9000, 14000);
    s.polyline(tri);
    s.fill_rect({5000, 16000, 6000, 17000}, Brush{brush_style::Solid, 0x808080, 0});
    Font f;
    f.height = -423;
    f.weight = 400;
    f.face = "Arial";
    s.select_font(f);
    s.set_text_color(0xFF0000);
    s.set_text_align(text_align::Baseline | text_align::UpdateCP);
    s.move_to(5000, 18000);
    s.text_out(0, 0, "Hi");
    s.text_out(0, 0, "x");
    const Rect clip{5000, 5000, 10000, 10000};
    s.set_clip_rect(&clip);
    s.line_to(7000, 7000);
    s.set_clip_rect(nullptr);
    Image image;
    image.width = 2;
    image.height = 1;
    image.pixels = {0xFFFF0000, 0x00000000};
    s.draw_image({1000, 1000, 3000, 2000}, image);
}

size_t count(const std::vector<test::ParsedRecord>& records, uint32_t type) {
    return static_cast<size_t>(std::count_if(records.begin(), records.end(),
                                             [&](const auto& r) { return r.type == type; }));
}

TEST(EmfWriter, HeaderTotalsAndRecordSizesMatchTheFile) {
    EmfSurface s(measurer, {1000, 2000, 21000, 31700}, latin1);
    draw_sample(s);
    const std::vector<uint8_t> bytes = s.finish();
    const ByteReader d(bytes);
    const auto records = emf_records(bytes);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.front().type, emr::HEADER);
    EXPECT_EQ(records.back().type, emr::EOF_);
    EXPECT_EQ(records.back().size, 20u);
    EXPECT_EQ(d.u32(40), emr::SIGNATURE);
    EXPECT_EQ(d.u32(48), bytes.size());
    EXPECT_EQ(d.u32(52), records.size());
    // Frame (0.01 mm) is the region's size; bounds are device pixels.
    EXPECT_EQ(d.i32(24), 0);
    EXPECT_EQ(d.i32(32), 20000);
    EXPECT_EQ(d.i32(36), 29700);
    EXPECT_EQ(d.i32(16), 19999);
    EXPECT_EQ(d.i32(72).value() / d.i32(80).value(), 100); // device pixels per millimetre
    // Description "Creator:PloxWin" and an empty picture name.
    const uint32_t chars = *d.u32(60), offset = *d.u32(64);
    ASSERT_EQ(chars, 17u);
    std::u16string description;
    for (uint32_t i = 0; i < chars; ++i)
        description.push_back(static_cast<char16_t>(*d.u16(offset + 2 * i)));
    EXPECT_EQ(description, std::u16string(u"Creator:PloxWin\0\0", 17));
    // Mapping: anisotropic, window at the region's corner.
    ASSERT_GE(records.size(), 5u);
    EXPECT_EQ(records[1].type, emr::SETMAPMODE);
    EXPECT_EQ(records[2].type, emr::SETWINDOWORGEX);
    EXPECT_EQ(d.i32(records[2].offset + 8), 1000);
    EXPECT_EQ(d.i32(records[2].offset + 12), 2000);
    EXPECT_EQ(records[3].type, emr::SETWINDOWEXTEX);
    EXPECT_EQ(d.i32(records[3].offset + 8), 20000);
    EXPECT_EQ(records[4].type, emr::SETVIEWPORTEXTEX);
}

TEST(EmfWriter, ObjectsAreCreatedOnChangeAndHandlesReused) {
    EmfSurface s(measurer, {0, 0, 20000, 20000}, latin1);
    draw_sample(s);
    const std::vector<uint8_t> bytes = s.finish();
    const auto records = emf_records(bytes);
    // Pens: the red one, the dashed one, the null pen of the filled rectangle, the dashed
    // one again after it.
    EXPECT_EQ(count(records, emr::CREATEPEN), 4u);
    EXPECT_EQ(count(records, emr::CREATEBRUSHINDIRECT), 2u);
    EXPECT_EQ(count(records, emr::EXTCREATEFONTINDIRECTW), 1u);
    // Every created object is deleted, and no more than one of each kind lives at a time.
    EXPECT_EQ(count(records, emr::DELETEOBJECT), 7u);
    EXPECT_LE(*ByteReader(bytes).u16(56), 7);
    EXPECT_EQ(count(records, emr::EXTTEXTOUTW), 2u);
    EXPECT_EQ(count(records, emr::STRETCHDIBITS), 1u);
    EXPECT_EQ(count(records, emr::INTERSECTCLIPRECT), 1u);
    EXPECT_EQ(count(records, emr::EXTSELECTCLIPRGN), 2u);
}

TEST(EmfWriter, TextCarriesUnicodeAndTheCurrentPointAdvances) {
    EmfSurface s(measurer, {0, 0, 20000, 20000}, latin1);
    Font f;
    f.height = -400; // fixed metrics: 200 per byte
    f.face = "Arial";
    s.select_font(f);
    s.set_text_align(text_align::Baseline | text_align::UpdateCP);
    s.move_to(1000, 2000);
    s.text_out(0, 0, "ab");
    s.text_out(0, 0, "c");
    const std::vector<uint8_t> bytes = s.finish();
    const ByteReader d(bytes);
    std::vector<test::ParsedRecord> texts;
    for (const auto& r : emf_records(bytes))
        if (r.type == emr::EXTTEXTOUTW) texts.push_back(r);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(d.i32(texts[0].offset + 36), 1000);
    EXPECT_EQ(d.i32(texts[1].offset + 36), 1400); // after "ab"
    EXPECT_EQ(d.u32(texts[0].offset + 44), 2u);
    const uint32_t string_at = *d.u32(texts[0].offset + 48), dx_at = *d.u32(texts[0].offset + 72);
    EXPECT_EQ(d.u16(texts[0].offset + string_at), u'a');
    EXPECT_EQ(d.i32(texts[0].offset + dx_at), 200);
    EXPECT_EQ(d.i32(texts[0].offset + dx_at + 4), 200);
    // The alignment written has no update flag: the reference point is explicit.
    for (const auto& r : emf_records(bytes))
        if (r.type == emr::SETTEXTALIGN) {
            EXPECT_EQ(d.u32(r.offset + 8), text_align::Baseline);
        }
}

TEST(WmfWriter, PlaceableHeaderChecksumAndTotals) {
    WmfSurface s(measurer, {1000, 1000, 43000, 30700}); // wider than A3: fits in 16 bits
    draw_sample(s);
    const std::vector<uint8_t> bytes = s.finish();
    const ByteReader d(bytes);
    EXPECT_EQ(d.u32(0), 0x9AC6CDD7u);
    EXPECT_EQ(d.i16(6), 0);
    EXPECT_EQ(d.i16(8), 0);
    EXPECT_EQ(d.i16(10), 21000);
    EXPECT_EQ(d.i16(12), 14850);
    EXPECT_EQ(d.u16(14), 1270);
    uint16_t v = 0;
    for (size_t i = 0; i < 20; i += 2)
        v ^= *d.u16(i);
    EXPECT_EQ(d.u16(20), v);
    // Metafile header: size in words covers the rest of the file.
    EXPECT_EQ(d.u16(22), 1);
    EXPECT_EQ(d.u16(24), 9);
    EXPECT_EQ(size_t{*d.u32(28)} * 2, bytes.size() - 22);
    const auto records = wmf_records(bytes);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().type, wmr::EOF_);
    size_t largest = 0;
    for (const auto& r : records)
        largest = std::max(largest, r.size / 2);
    EXPECT_EQ(d.u32(34), largest);
    // The window extent is written in the bounding box's units.
    const auto ext = std::find_if(records.begin(), records.end(),
                                  [](const auto& r) { return r.type == wmr::SETWINDOWEXT; });
    ASSERT_NE(ext, records.end());
    EXPECT_EQ(d.i16(ext->offset + 6), 14850);
    EXPECT_EQ(d.i16(ext->offset + 8), 21000);
    // Each clip lives in a saved state; states are balanced.
    EXPECT_EQ(count(records, wmr::SAVEDC), count(records, wmr::RESTOREDC));
    EXPECT_EQ(count(records, wmr::CREATEPENINDIRECT) + count(records, wmr::CREATEBRUSHINDIRECT) +
                  count(records, wmr::CREATEFONTINDIRECT),
              count(records, wmr::DELETEOBJECT));
}

// Readers that start a new path at every record lose a line whose start lies before a pen
// change or a clip: each line follows a line or a move, from where the surface's point is.
TEST(MetafileWriters, EveryLineFollowsAMoveOrALine) {
    EmfSurface e(measurer, {0, 0, 20000, 20000}, latin1);
    draw_sample(e);
    const std::vector<uint8_t> emf = e.finish();
    const auto er = emf_records(emf);
    ASSERT_FALSE(er.empty());
    size_t lines = 0;
    for (size_t i = 1; i < er.size(); ++i)
        if (er[i].type == emr::LINETO) {
            ++lines;
            EXPECT_TRUE(er[i - 1].type == emr::MOVETOEX || er[i - 1].type == emr::LINETO) << i;
        }
    EXPECT_EQ(lines, 3u);
    // The line after the texts starts where they ended, not at the earlier move.
    const ByteReader d(emf);
    const auto last =
        std::find_if(er.rbegin(), er.rend(), [](const auto& r) { return r.type == emr::LINETO; });
    const auto& move = *(last + 1);
    ASSERT_EQ(move.type, emr::MOVETOEX);
    EXPECT_GT(*d.i32(move.offset + 8), 5000);
    EXPECT_EQ(*d.i32(move.offset + 12), 18000);

    WmfSurface w(measurer, {0, 0, 20000, 20000});
    draw_sample(w);
    const auto wr = wmf_records(w.finish());
    ASSERT_FALSE(wr.empty());
    lines = 0;
    for (size_t i = 1; i < wr.size(); ++i)
        if (wr[i].type == wmr::LINETO) {
            ++lines;
            EXPECT_TRUE(wr[i - 1].type == wmr::MOVETO || wr[i - 1].type == wmr::LINETO) << i;
        }
    EXPECT_EQ(lines, 3u);
}

// A WMF's text is bytes that readers decode by the font's character set: Japanese text keeps
// the Shift-JIS set whatever font draws it, and the Japanese faces travel by ASCII names.
TEST(WmfWriter, FontRecordsTellReadersHowToDecodeTheText) {
    WmfSurface s(measurer, {0, 0, 20000, 20000});
    Font f;
    f.height = -400;
    f.face = "Times New Roman";
    s.select_font(f);
    s.text_out(100, 100, "abc");
    s.text_out(100, 200, "\x82\x54 nm"); // a full-width digit
    f.charset = SYMBOL_FONT_CHARSET;
    f.face = "Symbol";
    s.select_font(f);
    s.text_out(100, 300, "\xE1");
    f.charset = SHIFTJIS_FONT_CHARSET;
    f.face = "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9";
    s.select_font(f);
    s.text_out(100, 400, "A");
    const std::vector<uint8_t> bytes = s.finish();
    const ByteReader d(bytes);
    std::vector<std::pair<int, std::string>> fonts;
    for (const auto& r : wmf_records(bytes))
        if (r.type == wmr::CREATEFONTINDIRECT) {
            const auto face = d.bytes(r.offset + 6 + 18, 32);
            fonts.emplace_back(*d.u8(r.offset + 6 + 13),
                               std::string(reinterpret_cast<const char*>(face.data())));
        }
    const std::vector<std::pair<int, std::string>> expected{
        {0, "Times New Roman"}, {128, "Times New Roman"}, {2, "Symbol"}, {128, "MS Mincho"}};
    EXPECT_EQ(fonts, expected);
}

} // namespace
} // namespace plox
