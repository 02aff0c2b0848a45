// The PNG encoder (decoded back through Qt's reader), thin pens on raster pages, and the
// exported page against the same page drawn in memory.
#include "platform/page_export.h"
#include "platform/png_writer.h"
#include "platform/qt_surface.h"
#include "render/graph_drawing.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace plox {
namespace {

QImage random_image(int w, int h, QImage::Format format, unsigned seed) {
    QImage img(w, h, format);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(img.scanLine(y));
        // Rows repeated as on a page, and runs of one colour between pixels of any value.
        if (y > 0 && rng() % 3 == 0) {
            std::copy_n(reinterpret_cast<const uint32_t*>(img.constScanLine(y - 1)), w, row);
            continue;
        }
        for (int x = 0; x < w; ++x)
            row[x] = (rng() % 4 == 0 || x == 0) ? static_cast<uint32_t>(rng()) : row[x - 1];
    }
    return img;
}

struct Encoded {
    PngResult result;
    QByteArray bytes;
};

Encoded encode(const QImage& img, bool alpha, int dots_per_metre = 0) {
    Encoded out;
    const PngPixels pixels{.data = img.constBits(),
                           .width = img.width(),
                           .height = img.height(),
                           .stride = static_cast<size_t>(img.bytesPerLine()),
                           .alpha = alpha,
                           .dots_per_metre = dots_per_metre};
    out.result = write_png(pixels, [&out](const uint8_t* b, size_t n) {
        out.bytes.append(reinterpret_cast<const char*>(b), static_cast<qsizetype>(n));
        return true;
    });
    return out;
}

QImage decode(const QByteArray& bytes) {
    QImage img;
    img.loadFromData(bytes, "PNG");
    return img;
}

TEST(PngWriter, OpaquePixelsComeBackExactly) {
    // Odd widths leave rows that are not a multiple of 4 bytes once the filler is dropped.
    for (const QSize size : {QSize(1, 1), QSize(37, 5), QSize(203, 64)}) {
        const QImage img =
            random_image(size.width(), size.height(), QImage::Format_RGB32, size.width());
        const Encoded e = encode(img, false, 5906);
        ASSERT_TRUE(e.result.ok) << e.result.message;
        const QImage back = decode(e.bytes);
        ASSERT_EQ(back.size(), size);
        EXPECT_FALSE(back.hasAlphaChannel()); // the top byte is not stored
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), img) << size.width();
        EXPECT_EQ(back.dotsPerMeterX(), 5906);
        EXPECT_EQ(back.dotsPerMeterY(), 5906);
    }
}

TEST(PngWriter, AlphaIsStoredWhenAsked) {
    const QImage img = random_image(31, 7, QImage::Format_ARGB32, 3);
    const Encoded e = encode(img, true);
    ASSERT_TRUE(e.result.ok) << e.result.message;
    const QImage back = decode(e.bytes);
    ASSERT_TRUE(back.hasAlphaChannel());
    EXPECT_EQ(back.convertToFormat(QImage::Format_ARGB32), img);
}

TEST(PngWriter, FailuresAreReported) {
    const QImage img = random_image(64, 64, QImage::Format_RGB32, 9);
    PngPixels pixels{.data = img.constBits(),
                     .width = 64,
                     .height = 64,
                     .stride = static_cast<size_t>(img.bytesPerLine())};
    int calls = 0;
    // A sink that fails on the first write stops the encode and nothing else reaches it.
    const PngResult r = write_png(pixels, [&calls](const uint8_t*, size_t) {
        ++calls;
        return false;
    });
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.empty());
    EXPECT_EQ(calls, 1);
    pixels.stride = 10; // shorter than a row
    EXPECT_FALSE(write_png(pixels, [](const uint8_t*, size_t) { return true; }).ok);
    pixels.data = nullptr;
    EXPECT_FALSE(write_png(pixels, [](const uint8_t*, size_t) { return true; }).ok);
}

struct ColumnInk {
    double ink = 0;    // in pixels
    double centre = 0; // ink-weighted row
};

// A line drawn across a 100-pixel image, seen down its middle column.
ColumnInk column_ink(const Pen& pen, bool hairlines, bool diagonal = false) {
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter painter(&img);
        QtTextMeasurer measurer;
        QtSurface surface(painter, measurer, 0.1, Size{1000, 1000});
        surface.set_thin_pens_as_hairlines(hairlines);
        surface.select_pen(pen);
        surface.move_to(0, diagonal ? 0 : 503);
        surface.line_to(1000, diagonal ? 700 : 503);
    }
    ColumnInk c;
    double moment = 0;
    for (int y = 0; y < 100; ++y) {
        const double ink = (255 - qGray(img.pixel(50, y))) / 255.0;
        c.ink += ink;
        moment += ink * y;
    }
    c.centre = c.ink > 0 ? moment / c.ink : -1;
    return c;
}

TEST(QtSurface, ThinSolidPensBecomeOnePixelLinesOnlyWhenAsked) {
    const Pen thin{pen_style::Solid, 12, 0}; // 1.2 device pixels
    EXPECT_NEAR(column_ink(thin, false).ink, 1.2, 0.15);
    EXPECT_NEAR(column_ink(thin, true).ink, 1.0, 0.15);
    EXPECT_NEAR(column_ink(thin, true).centre, column_ink(thin, false).centre, 0.1);
    // Slanted lines move by less than half a pixel and stay as visible.
    const ColumnInk stroke = column_ink(thin, false, true), line = column_ink(thin, true, true);
    EXPECT_NEAR(line.centre, stroke.centre, 0.5);
    EXPECT_GE(line.ink, 0.9);
    // Wider and dashed pens are drawn as before.
    for (const Pen& pen : {Pen{pen_style::Solid, 14, 0}, Pen{pen_style::Solid, 30, 0},
                           Pen{pen_style::Dash, 12, 0}}) {
        const ColumnInk off = column_ink(pen, false, true), on = column_ink(pen, true, true);
        EXPECT_EQ(on.ink, off.ink) << pen.width;
        EXPECT_EQ(on.centre, off.centre) << pen.width;
    }
}

std::string out_path(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(PLOX_BINARY_DIR) / "render-gallery";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

GraphSet page_with_series() {
    Graph g;
    g.scales_valid = 1;
    g.FrameType = 1;
    g.axes[AxisX].from = 0;
    g.axes[AxisX].to = 10;
    g.axes[AxisY].from = -1;
    g.axes[AxisY].to = 1;
    GraphSet set;
    set.graphs.push_back(std::make_unique<Graph>(std::move(g)));
    set.current = 0;
    return set;
}

TEST(PageExport, PngHoldsExactlyThePixelsDrawn) {
    GraphSet set = page_with_series();
    const std::string path = out_path("exact-page.png");
    const int dpi = 75;
    ASSERT_TRUE(export_page(set, path, PageSize{210, 297}, dpi, {}).ok);
    // The same page drawn into an image the usual way.
    QImage expected(620, 877, QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QtTextMeasurer measurer;
        RenderContext context;
        context.measurer = &measurer;
        context.metafile = false;
        QPainter painter(&expected);
        QtSurface surface(painter, measurer, dpi / 2540.0, Size{21000, 29700});
        surface.set_thin_pens_as_hairlines(true);
        draw_graph(surface, *set.graphs[0], context);
    }
    QImageReader reader(QString::fromStdString(path));
    EXPECT_EQ(reader.format(), "png");
    const QImage got = reader.read().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(got.size(), expected.size());
    EXPECT_EQ(got, expected);
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(PageExport, FailedPngWriteLeavesThePreviousFile) {
    GraphSet set = page_with_series();
    const std::string path = out_path("kept.png");
    ASSERT_TRUE(export_page(set, path, PageSize{210, 297}, 20, {}).ok);
    const std::string before = contents(path);
    // A file size limit makes the writes of the larger page fail part way (EFBIG).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 3000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ExportResult r = export_page(set, path, PageSize{210, 297}, 300, {});
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("cannot write"), std::string::npos);
    EXPECT_EQ(contents(path), before);
    for (const auto& entry : std::filesystem::directory_iterator(out_path("")))
        EXPECT_EQ(entry.path().filename().string().find("kept.png."), std::string::npos)
            << "left behind: " << entry.path();
}

} // namespace
} // namespace plox
