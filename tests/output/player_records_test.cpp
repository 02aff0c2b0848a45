// Records real files carry beyond what our writers emit: run-length bitmaps, clip regions and
// clip paths, pattern and hatched brushes, region fills; each also cut and mutated.
#include "output/byte_io.h"
#include "output/dib.h"
#include "output/emf_surface.h"
#include "output/metafile_player.h"
#include "output/wmf_surface.h"
#include "render/recording_surface.h"

#include <gtest/gtest.h>

#include <random>

namespace plox {
namespace {

const FixedTextMeasurer measurer;
const MetafileText latin1;
const Rect page{0, 0, 10000, 10000};

template <typename T> std::vector<T> all_of(const RecordingSurface& r) {
    std::vector<T> out;
    for (const Command& c : r.commands())
        if (const T* t = std::get_if<T>(&c)) out.push_back(*t);
    return out;
}

// A 40-byte bitmap header.
void info_header(ByteWriter& w, int32_t width, int32_t height, uint16_t bits, uint32_t compression,
                 uint32_t colours) {
    w.u32(40);
    w.i32(width);
    w.i32(height);
    w.u16(1);
    w.u16(bits);
    w.u32(compression);
    w.zeros(12);
    w.u32(colours);
    w.u32(0);
}

// Our own EMF of an empty page with `records` spliced in before its end record.
std::vector<uint8_t> emf_with(const std::vector<uint8_t>& records) {
    EmfSurface s(measurer, page, latin1);
    std::vector<uint8_t> bytes = s.finish();
    size_t at = 0;
    ByteReader r(bytes);
    while (r.u32(at) != 14u)
        at += *r.u32(at + 4);
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), records.begin(), records.end());
    return bytes;
}

// Our own placeable WMF with `records` before its end record and room for 20 objects.
std::vector<uint8_t> wmf_with(const std::vector<uint8_t>& records) {
    WmfSurface s(measurer, page);
    std::vector<uint8_t> bytes = s.finish();
    bytes[22 + 10] = 20;
    bytes[22 + 11] = 0;
    bytes.insert(bytes.end() - 6, records.begin(), records.end());
    return bytes;
}

void emr(ByteWriter& w, uint32_t type, std::initializer_list<int32_t> values) {
    w.u32(type);
    w.u32(static_cast<uint32_t>(8 + 4 * values.size()));
    for (int32_t v : values)
        w.i32(v);
}

void wmr(ByteWriter& w, uint16_t function, std::initializer_list<int16_t> words) {
    w.u32(static_cast<uint32_t>(3 + words.size()));
    w.u16(function);
    for (int16_t v : words)
        w.i16(v);
}

// RGNDATA of one rectangle.
void region_data(ByteWriter& w, int32_t l, int32_t t, int32_t r, int32_t b) {
    for (int32_t v : {32, 1, 1, 16, l, t, r, b, l, t, r, b})
        w.i32(v);
}

bool near(const Rect& a, const Rect& b) {
    return std::abs(a.left - b.left) <= 2 && std::abs(a.top - b.top) <= 2 &&
           std::abs(a.right - b.right) <= 2 && std::abs(a.bottom - b.bottom) <= 2;
}

// The clip in effect when each rectangle was drawn.
std::vector<std::optional<Rect>> clips_at_rectangles(const RecordingSurface& out) {
    std::optional<Rect> clip;
    std::vector<std::optional<Rect>> at;
    for (const Command& c : out.commands()) {
        if (const auto* k = std::get_if<rec::Clip>(&c))
            clip = k->on ? std::optional(k->r) : std::nullopt;
        if (std::holds_alternative<rec::Rectangle>(c)) at.push_back(clip);
    }
    return at;
}

TEST(PlayerRecords, RunLengthBitmapsExpandWithRunsAbsoluteRunsDeltasAndEnds) {
    ByteWriter w;
    info_header(w, 5, 3, 8, 1, 3);
    for (uint32_t c : {0x000000u, 0x0000FFu, 0x00FF00u})
        w.u32(c);
    const size_t info = w.size();
    // Bottom row: two of 1, absolute [2 0 1] (padded), end of line; then a delta of (2, 1)
    // skips the middle row to x 2 of the top row: two of 1; end of bitmap.
    for (uint8_t b : {2, 1, 0, 3, 2, 0, 1, 0, 0, 0, 0, 2, 2, 1, 2, 1, 0, 1})
        w.u8(b);
    const ByteReader d(w.bytes());
    const auto image = decode_dib(d, 0, info, info, w.size() - info);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width, 5);
    const uint32_t blue = 0xFF0000FF, green = 0xFF00FF00, black = 0xFF000000;
    // Rows top to bottom.
    const std::vector<uint32_t> expected{black, black, blue,  blue,  black, // top
                                         black, black, black, black, black, // middle
                                         blue,  blue,  green, black, blue}; // bottom
    EXPECT_EQ(image->pixels, expected);

    ByteWriter w4;
    info_header(w4, 4, 1, 4, 2, 2);
    w4.u32(0x000000);
    w4.u32(0xFFFFFF);
    const size_t info4 = w4.size();
    for (uint8_t b : {4, 0x10, 0, 1})
        w4.u8(b);
    const ByteReader d4(w4.bytes());
    const auto image4 = decode_dib(d4, 0, info4, info4, w4.size() - info4);
    ASSERT_TRUE(image4);
    EXPECT_EQ(image4->pixels, (std::vector<uint32_t>{0xFFFFFFFF, black, 0xFFFFFFFF, black}));
}

TEST(PlayerRecords, HostileRunLengthBitmapsAreRefusedBeforeAllocating) {
    // Millions of pixels claimed by a handful of code bytes.
    ByteWriter big;
    info_header(big, 4000, 4000, 8, 1, 1);
    big.u32(0);
    const size_t info = big.size();
    for (uint8_t b : {255, 0, 0, 1})
        big.u8(b);
    const ByteReader d(big.bytes());
    EXPECT_FALSE(decode_dib(d, 0, info, info, big.size() - info));

    // An absolute run longer than the bytes left.
    ByteWriter cut;
    info_header(cut, 8, 1, 8, 1, 1);
    cut.u32(0);
    const size_t info2 = cut.size();
    for (uint8_t b : {0, 40, 1, 2})
        cut.u8(b);
    const ByteReader d2(cut.bytes());
    EXPECT_FALSE(decode_dib(d2, 0, info2, info2, cut.size() - info2));

    // Embedded JPEG and PNG are skipped, not misread.
    ByteWriter jpeg;
    info_header(jpeg, 2, 2, 0, 4, 0);
    jpeg.zeros(16);
    const ByteReader d3(jpeg.bytes());
    EXPECT_FALSE(decode_dib(d3, 0, 40, 40, 16));
}

std::vector<uint8_t> emf_clip_sample() {
    ByteWriter w;
    // Region copy, then intersected with a second region, then a rectangle drawn.
    w.u32(75);
    w.u32(16 + 48);
    w.u32(48);
    w.u32(5); // RGN_COPY
    region_data(w, 1000, 1000, 6000, 5000);
    w.u32(75);
    w.u32(16 + 48);
    w.u32(48);
    w.u32(1); // RGN_AND
    region_data(w, 2000, 500, 9000, 4000);
    emr(w, 43, {2000, 1000, 6000, 4000}); // the expected clip drawn as a rectangle
    // A clip path: its bounding box replaces the clip.
    emr(w, 59, {});
    emr(w, 43, {3000, 3500, 7000, 8500});
    emr(w, 60, {});
    emr(w, 67, {5});
    emr(w, 43, {3000, 3500, 7000, 8500});
    return emf_with(w.bytes());
}

TEST(PlayerRecords, EnhancedClipRegionsAndPathsClipToTheirBoxes) {
    RecordingSurface out;
    const auto bytes = emf_clip_sample();
    ASSERT_TRUE(play_metafile(bytes, out, page, latin1));
    const auto rects = all_of<rec::Rectangle>(out);
    ASSERT_EQ(rects.size(), 2u); // the rectangle inside the path is not drawn
    // The intersection of the two regions, and then the path's box.
    const auto clips = clips_at_rectangles(out);
    ASSERT_TRUE(clips[0] && clips[1]);
    EXPECT_TRUE(near(*clips[0], rects[0].r));
    EXPECT_TRUE(near(*clips[1], rects[1].r));
}

std::vector<uint8_t> emf_brush_sample() {
    ByteWriter w;
    // A 2 × 2 pattern of black and white pixels.
    w.u32(94);
    w.u32(32 + 40 + 16);
    w.u32(50);
    w.u32(0);
    w.u32(32);
    w.u32(40);
    w.u32(72);
    w.u32(16);
    info_header(w, 2, 2, 32, 0, 0);
    for (uint32_t p : {0xFFFFFFu, 0u, 0u, 0xFFFFFFu})
        w.u32(p);
    emr(w, 37, {50});
    emr(w, 43, {100, 100, 900, 900});
    emr(w, 39, {51, 2, 0x0000FF, 4}); // hatched cross
    emr(w, 37, {51});
    emr(w, 43, {100, 100, 900, 900});
    // FillRgn with the pattern brush: the region's box.
    w.u32(71);
    w.u32(32 + 48);
    for (int32_t v : {0, 0, 0, 0})
        w.i32(v);
    w.u32(48);
    w.u32(50);
    region_data(w, 1000, 2000, 3000, 4000);
    return emf_with(w.bytes());
}

TEST(PlayerRecords, PatternBrushesPaintTheirAverageAndHatchesKeepTheirStyle) {
    RecordingSurface out;
    ASSERT_TRUE(play_metafile(emf_brush_sample(), out, page, latin1));
    const auto brushes = all_of<rec::SelectBrush>(out);
    ASSERT_GE(brushes.size(), 2u);
    EXPECT_EQ(brushes[brushes.size() - 2].brush, (Brush{brush_style::Solid, 0x7F7F7F, 0}));
    EXPECT_EQ(brushes.back().brush, (Brush{brush_style::Hatched, 0x0000FF, hatch_style::Cross}));
    const auto fills = all_of<rec::FillRect>(out);
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].brush.color, 0x7F7F7Fu);
    EXPECT_NEAR(fills[0].r.right - fills[0].r.left, 2000, 2);
}

std::vector<uint8_t> wmf_sample() {
    ByteWriter w;
    // Region object (slot 0) and a monochrome pattern brush (slot 1): half its bits set.
    wmr(w, 0x06FF, {0, 6, 0, 0, 22, 0, 0, 1000, 2000, 5000, 6000});
    wmr(w, 0x01F9,
        {0, 8, 2, 2, 0x0101, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<int16_t>(0x00FF), 0});
    wmr(w, 0x012C, {0});
    wmr(w, 0x041B, {6000, 5000, 2000, 1000}); // the region's box as a rectangle
    wmr(w, 0x012D, {1});
    wmr(w, 0x061D, {0x21, 0x00F0, 300, 400, 100, 200}); // PatBlt 400 × 300 at (200, 100)
    wmr(w, 0x0228, {0, 1});                             // FillRgn
    wmr(w, 0x0220, {500, 100});                         // clip moved right 100, down 500
    wmr(w, 0x012C, {7});                                // no such region: clip removed
    return wmf_with(w.bytes());
}

TEST(PlayerRecords, WindowsRegionsClipFillAndMoveAndPatternsAverage) {
    RecordingSurface out;
    ASSERT_TRUE(play_metafile(wmf_sample(), out, page, latin1));
    const auto rects = all_of<rec::Rectangle>(out);
    ASSERT_EQ(rects.size(), 1u);
    const auto clips = all_of<rec::Clip>(out);
    ASSERT_FALSE(clips.empty());
    bool saw_region = false, saw_moved = false;
    for (const rec::Clip& c : clips) {
        if (c.on && near(c.r, rects[0].r)) saw_region = true;
        if (c.on && c.r.left > rects[0].r.left && c.r.top > rects[0].r.top) saw_moved = true;
    }
    EXPECT_TRUE(saw_region);
    EXPECT_TRUE(saw_moved);
    EXPECT_FALSE(clips.back().on && near(clips.back().r, rects[0].r)); // removed at the end
    const auto fills = all_of<rec::FillRect>(out);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].brush.color, 0x7F7F7Fu);
    EXPECT_TRUE(near(fills[1].r, rects[0].r));
    EXPECT_NEAR(double(fills[0].r.right - fills[0].r.left) / (fills[0].r.bottom - fills[0].r.top),
                400.0 / 300.0, 0.02);
}

// Every cut and random mutation of the samples above plays to an end without harm.
TEST(PlayerRecords, HostileVariantsOfTheSamplesPlayWithoutHarm) {
    for (const auto& original : {emf_clip_sample(), emf_brush_sample(), wmf_sample()}) {
        for (size_t n = 0; n < original.size(); n += 5) {
            RecordingSurface out;
            play_metafile({original.begin(), original.begin() + static_cast<std::ptrdiff_t>(n)},
                          out, page, latin1);
            EXPECT_LT(out.commands().size(), 200u);
        }
        std::mt19937 random(99);
        for (int round = 0; round < 300; ++round) {
            std::vector<uint8_t> bytes = original;
            for (int i = 0; i <= round % 6; ++i)
                bytes[random() % bytes.size()] = round % 2 ? 0xFF : static_cast<uint8_t>(random());
            RecordingSurface out;
            play_metafile(bytes, out, page, latin1);
            EXPECT_LT(out.commands().size(), 100000u);
        }
    }
}

} // namespace
} // namespace plox
