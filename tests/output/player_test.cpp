// The player: our own files drawn back onto a recording with the same geometry, natural sizes,
// and hostile input (truncated and mutated files) played without harm.
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
const Rect region{2000, 3000, 22000, 18000}; // 200 × 150 mm

void draw_sample(Surface& s) {
    s.select_pen(Pen{pen_style::Solid, 40, 0x0000FF});
    s.select_brush(Brush{brush_style::Solid, 0x00FF00, 0});
    s.rectangle(4000, 5000, 10000, 9000);
    s.move_to(3000, 4000);
    s.line_to(21000, 17000);
    const Point pts[] = {{3000, 10000}, {8000, 12000}, {12000, 10000}};
    s.polyline(pts);
    Font f;
    f.height = -500;
    f.weight = 700;
    f.face = "Arial";
    s.select_font(f);
    s.set_text_color(0x123456);
    s.set_text_align(text_align::Baseline);
    s.text_out(6000, 15000, "Label 1");
}

template <typename T> std::vector<T> all_of(const RecordingSurface& r) {
    std::vector<T> out;
    for (const Command& c : r.commands())
        if (const T* t = std::get_if<T>(&c)) out.push_back(*t);
    return out;
}

// Each writer's picture played into its own region gives back the drawing within `tolerance`
// logical units (the WMF's 0.02 mm steps, the EMF's reference pixels).
void expect_round_trip(const std::vector<uint8_t>& bytes, int tolerance) {
    RecordingSurface out;
    ASSERT_TRUE(play_metafile(bytes, out, region, latin1));
    const auto rects = all_of<rec::Rectangle>(out);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_NEAR(rects[0].r.left, 4000, tolerance);
    EXPECT_NEAR(rects[0].r.top, 5000, tolerance);
    EXPECT_NEAR(rects[0].r.right, 10000, tolerance);
    EXPECT_NEAR(rects[0].r.bottom, 9000, tolerance);
    const auto lines = all_of<rec::LineTo>(out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0].p.x, 21000, tolerance);
    EXPECT_NEAR(lines[0].p.y, 17000, tolerance);
    const auto polylines = all_of<rec::Polyline>(out);
    ASSERT_EQ(polylines.size(), 1u);
    ASSERT_EQ(polylines[0].points.size(), 3u);
    EXPECT_NEAR(polylines[0].points[1].x, 8000, tolerance);
    const auto texts = all_of<rec::TextOut>(out);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].bytes, "Label 1");
    EXPECT_NEAR(texts[0].p.x, 6000, tolerance);
    EXPECT_NEAR(texts[0].p.y, 15000, tolerance);
    const auto fonts = all_of<rec::SelectFont>(out);
    ASSERT_FALSE(fonts.empty());
    EXPECT_NEAR(fonts.back().font.height, -500, tolerance);
    EXPECT_EQ(fonts.back().font.weight, 700);
    const auto pens = all_of<rec::SelectPen>(out);
    ASSERT_FALSE(pens.empty());
    EXPECT_EQ(pens.front().pen.color, 0x0000FF);
    EXPECT_NEAR(pens.front().pen.width, 40, tolerance);
    const auto colours = all_of<rec::TextColor>(out);
    ASSERT_FALSE(colours.empty());
    EXPECT_EQ(colours.back().color, 0x123456);
}

std::vector<uint8_t> sample_emf() {
    EmfSurface s(measurer, region, latin1);
    draw_sample(s);
    return s.finish();
}

std::vector<uint8_t> sample_wmf() {
    WmfSurface s(measurer, region);
    draw_sample(s);
    return s.finish();
}

TEST(MetafilePlayer, OwnFilesDrawBackWithTheSameGeometry) {
    expect_round_trip(sample_emf(), 2);
    expect_round_trip(sample_wmf(), 2);
}

TEST(MetafilePlayer, NaturalSizeIsTheRegionInHundredthsOfMillimetres) {
    const auto emf = metafile_info(sample_emf());
    ASSERT_TRUE(emf);
    EXPECT_EQ(emf->kind, MetafileKind::Enhanced);
    EXPECT_EQ(emf->size, (Size{20000, 15000}));
    const auto wmf = metafile_info(sample_wmf());
    ASSERT_TRUE(wmf);
    EXPECT_EQ(wmf->kind, MetafileKind::Placeable);
    EXPECT_EQ(wmf->size, (Size{20000, 15000}));
    // Without the placeable header the window extent sizes the picture (96 dpi units).
    std::vector<uint8_t> plain = sample_wmf();
    plain.erase(plain.begin(), plain.begin() + 22);
    const auto p = metafile_info(plain);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->kind, MetafileKind::Plain);
    EXPECT_EQ(p->size.cx, 10000 * 2540 / 96);
}

TEST(MetafilePlayer, PlaysIntoAnyRectangleScaled) {
    RecordingSurface out;
    ASSERT_TRUE(play_metafile(sample_emf(), out, {0, 0, 10000, 7500}, latin1)); // half size
    const auto rects = all_of<rec::Rectangle>(out);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_NEAR(rects[0].r.left, 1000, 2);
    EXPECT_NEAR(rects[0].r.right, 4000, 2);
    EXPECT_NEAR(rects[0].r.bottom, 3000, 2);
}

TEST(MetafilePlayer, RefusesWhatIsNoMetafile) {
    RecordingSurface out;
    const std::vector<uint8_t> text{'h', 'e', 'l', 'l', 'o'};
    EXPECT_FALSE(metafile_info(text));
    EXPECT_FALSE(play_metafile(text, out, region, latin1));
    EXPECT_FALSE(metafile_info({}));
    EXPECT_TRUE(out.empty());
}

// Truncations at every length and random byte changes: playing must end normally, and a
// file cut inside its header is refused.
TEST(MetafilePlayer, HostileFilesPlayWithoutHarm) {
    for (const auto& original : {sample_emf(), sample_wmf()}) {
        for (size_t n = 0; n < original.size(); n += 3) {
            const std::vector<uint8_t> cut(original.begin(), original.begin() + n);
            RecordingSurface out;
            const bool played = play_metafile(cut, out, region, latin1);
            if (n < 40) {
                EXPECT_FALSE(played) << n;
            }
            EXPECT_LT(out.commands().size(), 200u);
        }
        std::mt19937 random(1234);
        for (int round = 0; round < 400; ++round) {
            std::vector<uint8_t> bytes = original;
            const int changes = 1 + round % 8;
            for (int i = 0; i < changes; ++i) {
                const size_t at = random() % bytes.size();
                bytes[at] = round % 3 == 0 ? 0xFF : static_cast<uint8_t>(random());
            }
            RecordingSurface out;
            play_metafile(bytes, out, region, latin1);
            EXPECT_LT(out.commands().size(), 100000u);
        }
    }
}

} // namespace
} // namespace plox
