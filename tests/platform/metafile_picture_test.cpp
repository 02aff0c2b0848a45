// Metafile pictures of objects: a .wmf or .emf file drawn into the picture's box through the
// platform's loader, its natural size stored, Japanese text kept through the Unicode records.
#include "output/emf_surface.h"
#include "output/wmf_surface.h"
#include "platform/metafile_text_qt.h"
#include "platform/picture_loader_qt.h"
#include "render/graph_drawing.h"
#include "render/objects.h"

#include "output/metafile_player.h"
#include "render/recording_surface.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace plox {
namespace {

const std::string label = "\x93\xfa\x96\x7b abc"; // "日本 abc" in CP932

void draw_sample(Surface& s) {
    s.select_pen(Pen{pen_style::Solid, 20, 0});
    s.rectangle(0, 0, 4000, 2000);
    Font f;
    f.height = -400;
    f.charset = 128;
    f.face = "\x82\x6c\x82\x72 \x96\xbe\x92\xa9"; // ＭＳ 明朝
    s.select_font(f);
    s.text_out(500, 1000, label);
}

std::string write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

TEST(MetafilePicture, DrawnIntoTheBoxKeepingProportionAndText) {
    const auto dir = std::filesystem::temp_directory_path() / "plox_metafile_picture";
    std::filesystem::create_directories(dir);
    const FixedTextMeasurer measurer;
    const QtMetafileText text;
    EmfSurface emf(measurer, {0, 0, 4000, 2000}, text);
    draw_sample(emf);
    WmfSurface wmf(measurer, {0, 0, 4000, 2000});
    draw_sample(wmf);
    const std::string paths[] = {write(dir / "a.emf", emf.finish()),
                                 write(dir / "B.WMF", wmf.finish())};

    for (const std::string& path : paths) {
        Graph g;
        GraphObject& o = g.objects[0];
        o.used = 1;
        o.Type = object_type::Picture;
        o.Str = path;
        o.position = {10, 20, 0, 0};     // mm from the frame corner
        o.picture_box = {0, 0, 6000, 0}; // shown 60 mm wide
        QtPictureLoader loader;
        RenderContext context;
        context.measurer = &measurer;
        context.pictures = &loader;
        RecordingSurface out;
        draw_object(out, g, context, o, false);
        // Natural size in 96 dpi pixels: 40 × 20 mm.
        EXPECT_EQ(o.picture_box[0], 151) << path;
        EXPECT_EQ(o.picture_box[1], 76) << path;
        EXPECT_EQ(o.picture_box[3], 6000 * 76 / 151) << path;
        const int32_t left = g.frame_left + 1000, top = g.frame_top + 2000;
        EXPECT_EQ(o.extent_left, left);
        EXPECT_EQ(o.extent_top, top);
        EXPECT_EQ(o.extent_right, left + 6000);
        bool text_found = false, box_found = false;
        for (const Command& c : out.commands()) {
            if (const auto* t = std::get_if<rec::TextOut>(&c)) text_found |= t->bytes == label;
            if (const auto* r = std::get_if<rec::Rectangle>(&c))
                box_found |= std::abs(r->r.right - (left + 6000)) <= 3 &&
                             std::abs(r->r.bottom - (top + 3000)) <= 3;
        }
        EXPECT_TRUE(text_found) << path << "\n" << out.dump();
        EXPECT_TRUE(box_found) << path << "\n" << out.dump();
    }
    std::filesystem::remove_all(dir);
}

std::vector<uint8_t> encoded(const QImage& image, const char* format) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format)) return {};
    return {buffer.data().begin(), buffer.data().end()};
}

size_t images_drawn(const std::vector<uint8_t>& file, const MetafileText& text) {
    RecordingSurface out;
    play_metafile(file, out, {0, 0, 29700, 21000}, text);
    size_t n = 0;
    for (const Command& c : out.commands())
        n += std::holds_alternative<rec::DrawImage>(c);
    return n;
}

// Bitmaps may embed a JPEG or PNG file: decoded only at the size the bitmap header promised.
TEST(MetafilePicture, EmbeddedPngAndJpegBitmapsAreDecodedAtThePromisedSize) {
    const QtMetafileText qt;
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(QColor(255, 0, 0));
    picture.setPixel(1, 1, qRgb(0, 0, 255));
    const std::vector<uint8_t> png = encoded(picture, "PNG");
    const auto image = qt.decode_embedded_image(png, 3, 2);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels[0], 0xFFFF0000u);
    EXPECT_EQ(image->pixels[4], 0xFF0000FFu);
    EXPECT_FALSE(qt.decode_embedded_image(png, 300, 200)); // not the size promised
    EXPECT_FALSE(qt.decode_embedded_image({png.begin(), png.begin() + 20}, 3, 2));
    const std::vector<uint8_t> jpeg = encoded(picture, "JPEG");
    if (!jpeg.empty()) {
        EXPECT_TRUE(qt.decode_embedded_image(jpeg, 3, 2));
    }
    const std::vector<uint8_t> bmp = encoded(picture, "BMP");
    EXPECT_FALSE(qt.decode_embedded_image(bmp, 3, 2)); // only the two formats bitmaps embed

    // The public sample's JPEG bitmap is drawn too; its PNG is damaged (a chunk length is off
    // by one) and stays out.
    const auto sample = read_file_bytes(
        std::string(PLOX_SOURCE_DIR) + "/tests/output/data/test_libuemf_ref.emf", 1 << 24);
    ASSERT_TRUE(sample);
    EXPECT_EQ(images_drawn(*sample, qt),
              images_drawn(*sample, MetafileText{}) + (jpeg.empty() ? 0 : 1));
}

} // namespace
} // namespace plox
