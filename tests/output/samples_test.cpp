// Public sample metafiles (data/README.md says where they come from): sized from their
// headers, drawn inside their box, and the same picture in every mapping mode.
#include "output/metafile_player.h"
#include "render/recording_surface.h"

#include <gtest/gtest.h>

#include <random>

namespace plox {
namespace {

const std::string data = std::string(PLOX_SOURCE_DIR) + "/tests/output/data/";
const MetafileText latin1;

struct Drawn {
    Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    size_t shapes = 0, images = 0, fills = 0;
    std::vector<std::pair<std::string, Point>> texts;
};

Drawn play(const std::string& name, Size* natural = nullptr) {
    Drawn d;
    const auto bytes = read_file_bytes(data + name, 1 << 24);
    EXPECT_TRUE(bytes) << name;
    if (!bytes) return d;
    const auto info = metafile_info(*bytes);
    EXPECT_TRUE(info) << name;
    if (!info) return d;
    if (natural) *natural = info->size;
    RecordingSurface out;
    EXPECT_TRUE(play_metafile(*bytes, out, {0, 0, info->size.cx, info->size.cy}, latin1));
    auto extend = [&](Point p) {
        d.box = {std::min(d.box.left, p.x), std::min(d.box.top, p.y), std::max(d.box.right, p.x),
                 std::max(d.box.bottom, p.y)};
        ++d.shapes;
    };
    for (const Command& c : out.commands()) {
        if (const auto* p = std::get_if<rec::Polyline>(&c))
            for (const Point& q : p->points)
                extend(q);
        if (const auto* p = std::get_if<rec::Polygon>(&c))
            for (const Point& q : p->points)
                extend(q);
        if (const auto* r = std::get_if<rec::Rectangle>(&c)) {
            extend({r->r.left, r->r.top});
            extend({r->r.right, r->r.bottom});
        }
        if (const auto* t = std::get_if<rec::TextOut>(&c)) d.texts.emplace_back(t->bytes, t->p);
        d.images += std::holds_alternative<rec::DrawImage>(c);
        d.fills += std::holds_alternative<rec::FillRect>(c);
    }
    return d;
}

TEST(PublicSamples, FullTestPicturesDrawInsideTheirFrame) {
    for (const char* name : {"test_libuemf_ref.wmf", "test_libuemf_ref.emf"}) {
        Size natural;
        const Drawn d = play(name, &natural);
        // A4 landscape.
        EXPECT_NEAR(natural.cx, 29700, 3) << name;
        EXPECT_NEAR(natural.cy, 21000, 3) << name;
        EXPECT_GT(d.shapes, 500u) << name;
        EXPECT_GE(d.box.left, -2) << name;
        EXPECT_GE(d.box.top, -2) << name;
        EXPECT_LE(d.box.right, natural.cx + 2) << name;
        EXPECT_LE(d.box.bottom, natural.cy + 2) << name;
        EXPECT_GT(d.texts.size(), 10u) << name;
        // Every bitmap but the embedded JPEG and PNG (and the WMF's device-dependent ones),
        // and both region fills.
        EXPECT_GE(d.images, std::string(name).ends_with(".emf") ? 133u : 31u) << name;
        EXPECT_EQ(d.fills, 2u) << name;
    }
}

TEST(PublicSamples, EveryMappingModeGivesTheSamePicture) {
    const Drawn reference = play("test_mm_text_ref.emf");
    ASSERT_FALSE(reference.texts.empty());
    for (const char* name : {"test_mm_twips_ref.emf", "test_mm_lometric_ref.emf",
                             "test_mm_himetric_ref.emf", "test_mm_anisotropic_ref.emf"}) {
        const Drawn d = play(name);
        EXPECT_EQ(d.shapes, reference.shapes) << name;
        EXPECT_NEAR(d.box.left, reference.box.left, 10) << name;
        EXPECT_NEAR(d.box.top, reference.box.top, 10) << name;
        EXPECT_NEAR(d.box.right, reference.box.right, 10) << name;
        EXPECT_NEAR(d.box.bottom, reference.box.bottom, 10) << name;
        ASSERT_EQ(d.texts.size(), reference.texts.size()) << name;
        for (size_t i = 0; i < d.texts.size(); ++i) {
            EXPECT_EQ(d.texts[i].first, reference.texts[i].first) << name;
            EXPECT_NEAR(d.texts[i].second.x, reference.texts[i].second.x, 10) << name;
            EXPECT_NEAR(d.texts[i].second.y, reference.texts[i].second.y, 10) << name;
        }
    }
}

// The public samples carry the records our writers never emit (regions, clip paths, pattern
// brushes, bitmaps of every depth, embedded JPEG and PNG): cut and changed, they still play.
TEST(PublicSamples, MutatedSamplesPlayWithoutHarm) {
    for (const char* name : {"test_libuemf_ref.wmf", "test_libuemf_ref.emf"}) {
        const auto original = read_file_bytes(data + name, 1 << 24);
        ASSERT_TRUE(original) << name;
        std::mt19937 random(7);
        for (int round = 0; round < 60; ++round) {
            std::vector<uint8_t> bytes = *original;
            for (int i = 0; i <= round % 16; ++i)
                bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
            if (round % 5 == 0) bytes.resize(random() % bytes.size());
            RecordingSurface out;
            play_metafile(bytes, out, {0, 0, 29700, 21000}, latin1);
            EXPECT_LT(out.commands().size(), 1000000u) << name;
        }
    }
}

} // namespace
} // namespace plox
