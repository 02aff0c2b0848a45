// The QPainter surface's GDI behaviour on pixels, and page export to PNG, PDF and SVG.
#include "platform/page_export.h"
#include "platform/qt_surface.h"
#include "platform/svg_surface.h"
#include "render/mapping.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <filesystem>

namespace plox {
namespace {

bool dark(const QImage& img, int x, int y) {
    return qGray(img.pixel(x, y)) < 128;
}

// A 200 × 200 pixel image showing 2000 × 2000 logical units.
struct Canvas {
    QImage image{200, 200, QImage::Format_RGB32};
    QPainter painter;
    QtTextMeasurer measurer;
    std::unique_ptr<QtSurface> surface;
    Canvas() {
        image.fill(Qt::white);
        painter.begin(&image);
        surface = std::make_unique<QtSurface>(painter, measurer, 0.1, Size{2000, 2000});
    }
    const QImage& done() {
        painter.end();
        return image;
    }
};

TEST(QtSurface, HatchesAreSpacedInLogicalUnits) {
    Canvas c;
    c.surface->set_bk_mode(bk_mode::Transparent);
    c.surface->fill_rect({0, 0, 2000, 2000},
                         Brush{brush_style::Hatched, 0, hatch_style::Horizontal});
    const QImage& img = c.done();
    int dark_rows = 0;
    for (int y = 0; y < 200; ++y)
        dark_rows += dark(img, 100, y);
    EXPECT_GE(dark_rows, 19); // one line every 100 units = 10 pixels
    EXPECT_LE(dark_rows, 21);
    EXPECT_TRUE(dark(img, 100, 100));
    EXPECT_FALSE(dark(img, 100, 105));
}

TEST(QtSurface, ChordFromRadialPointsAndHairlinePens) {
    Canvas c;
    c.surface->select_pen(Pen{pen_style::Null, 0, 0});
    c.surface->select_brush(Brush{brush_style::Solid, 0, 0});
    c.surface->chord(0, 0, 2000, 2000, 1000, 0, 1000, 2000); // counter-clockwise: the left half
    c.surface->select_pen(Pen{pen_style::Solid, 0, 0});
    c.surface->move_to(1200, 1505);
    c.surface->line_to(1900, 1505);
    const QImage& img = c.done();
    EXPECT_TRUE(dark(img, 50, 100));
    EXPECT_FALSE(dark(img, 150, 60));
    int thickness = 0;
    for (int y = 140; y < 160; ++y)
        thickness += qGray(img.pixel(160, y)) < 250;
    EXPECT_GE(thickness, 1);
    EXPECT_LE(thickness, 2);
}

TEST(QtSurface, TextAlignmentAndCurrentPoint) {
    Canvas c;
    Font f = default_axis_label_font();
    f.height = -400;
    c.surface->select_font(f);
    c.surface->set_bk_mode(bk_mode::Transparent);
    c.surface->set_text_align(text_align::Right | text_align::Bottom);
    c.surface->text_out(1000, 1000, "Wg");
    c.surface->set_text_align(text_align::Baseline | text_align::UpdateCP);
    c.surface->move_to(1200, 1800);
    c.surface->text_out(0, 0, "M");
    c.surface->text_out(0, 0, "M"); // continues after the first M
    const QImage& img = c.done();
    int ink_right_or_below = 0, ink = 0;
    for (int y = 0; y < 130; ++y)
        for (int x = 0; x < 130; ++x) {
            ink += dark(img, x, y);
            ink_right_or_below += dark(img, x, y) && (x > 101 || y > 101);
        }
    EXPECT_GT(ink, 20);
    EXPECT_EQ(ink_right_or_below, 0);
    const int m_width = c.measurer.text_extent(f, "M").cx / 10;
    int last_ink = 0;
    for (int x = 120; x < 200; ++x)
        if (dark(img, x, 175)) last_ink = x;
    EXPECT_GT(last_ink, 120 + m_width * 3 / 2); // the second M follows the first
    EXPECT_LE(last_ink, 120 + 2 * m_width + 1);
}

Graph make_graph(int frame, int x_type, double x_from, double x_to, int y_type, double y_from,
                 double y_to) {
    Graph g;
    g.scales_valid = 1;
    g.FrameType = frame;
    g.axes[AxisX].common = g.axes[AxisY].common = 0;
    g.axes[AxisX].scale_type = x_type;
    g.axes[AxisX].from = x_from;
    g.axes[AxisX].to = x_to;
    g.axes[AxisY].scale_type = y_type;
    g.axes[AxisY].from = y_from;
    g.axes[AxisY].to = y_to;
    for (int a : {AxisX, AxisY}) {
        g.axes[static_cast<size_t>(a)].division = 5;
        g.axes[static_cast<size_t>(a)].minor_line_type = 3;
    }
    return g;
}

GraphSet one_graph(Graph g) {
    GraphSet set;
    set.graphs.push_back(std::make_unique<Graph>(std::move(g)));
    set.current = 0;
    return set;
}

std::string out_path(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(PLOX_BINARY_DIR) / "render-gallery";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

TEST(PageExport, PngHasThePaperSizeAtTheResolution) {
    GraphSet set = one_graph(make_graph(1, 0, 0, 10, 0, -1, 1));
    const std::string path = out_path("box-linear.png");
    const ExportResult r = export_page(set, path, PageSize{210, 297}, 100, {});
    ASSERT_TRUE(r.ok) << r.message;
    QImage img(QString::fromStdString(path));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), 827);
    EXPECT_EQ(img.height(), 1169);
    EXPECT_NEAR(img.dotsPerMeterX(), 100 / 0.0254, 1);
    // The frame's left edge is drawn at 40 mm, 60 mm down; the page outside is white.
    const int x = static_cast<int>(40 / 25.4 * 100), y = static_cast<int>(60 / 25.4 * 100);
    bool edge = false;
    for (int dx = -2; dx <= 2; ++dx)
        edge = edge || dark(img, x + dx, y);
    EXPECT_TRUE(edge);
    EXPECT_FALSE(dark(img, 700, 1100));
}

TEST(PageExport, PdfPageMeasuresThePaper) {
    Graph g = make_graph(0, 1, 1, 1e4, 0, 0, 5);
    g.page_width = 297;
    g.page_height = 420;
    g.landscape = 1;
    GraphSet set = one_graph(std::move(g));
    const PageSize page = page_size_of(*set.graphs[0]);
    EXPECT_EQ(page.width_mm, 420);
    EXPECT_EQ(page.height_mm, 297);
    const std::string path = out_path("grid-log.pdf");
    ASSERT_TRUE(export_page(set, path, page, 150, {}).ok);
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    const auto m = QRegularExpression(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])")
                       .match(QString::fromLatin1(pdf));
    ASSERT_TRUE(m.hasMatch());
    EXPECT_NEAR(m.captured(1).toDouble(), 420 / 25.4 * 72, 1);
    EXPECT_NEAR(m.captured(2).toDouble(), 297 / 25.4 * 72, 1);
}

TEST(PageExport, SvgParsesAndClips) {
    GraphSet set = one_graph(make_graph(3, 0, -5, 5, 4, 0.5, 20));
    RenderContext ctx;
    ctx.caller_clip = Rect{3000, 1000, 19000, 13000};
    const std::string path = out_path("axes-inverse2.svg");
    ASSERT_TRUE(export_page(set, path, PageSize{210, 297}, 150, ctx).ok);
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    int texts = 0, clips = 0;
    QString width;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"svg") width = xml.attributes().value("width").toString();
        texts += xml.name() == u"text";
        clips += xml.name() == u"clipPath";
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(width, "210mm");
    EXPECT_GT(texts, 5);
    EXPECT_GE(clips, 1);
}

TEST(PageExport, SvgSurfaceKeepsShapesInsideTheirClip) {
    QtTextMeasurer m;
    SvgSurface svg(m, {1000, 1000}, 10, 10);
    const Rect clip{100, 100, 500, 500};
    svg.set_clip_rect(&clip);
    svg.move_to(0, 0);
    svg.line_to(900, 900);
    svg.set_clip_rect(nullptr);
    svg.rectangle(600, 600, 700, 700);
    const std::string doc = svg.finish();
    const size_t group = doc.find("<g clip-path=\"url(#clip1)\">");
    const size_t line = doc.find("M0 0L900 900");
    const size_t end = doc.find("</g>", line);
    const size_t rect = doc.find("<rect x=\"600\"");
    ASSERT_NE(group, std::string::npos);
    ASSERT_NE(line, std::string::npos);
    EXPECT_LT(group, line);
    EXPECT_LT(end, rect); // the later shape is outside the clip group
}

TEST(PageExport, EveryFrameAndScaleTypeRenders) {
    struct Case {
        const char* name;
        Graph graph;
    };
    const Case cases[] = {
        {"grid-linear.png", make_graph(0, 0, 0, 1, 0, -0.0123, 4.56)},
        {"box-log.png", make_graph(1, 1, 1e-3, 1e3, 3, 1, 1000)},
        {"half-inverse.png", make_graph(2, 2, 0.1, 2, 0, 0, 45000)},
        {"axes-linear.png", make_graph(3, 0, -5, 5, 0, -10, 10)},
        {"box-inverse2.png", make_graph(1, 4, -10, -0.1, 4, 2, 5)},
    };
    for (const Case& c : cases) {
        GraphSet set = one_graph(c.graph);
        set.graphs[0]->zero_shared = 1;
        set.graphs[0]->axes[AxisY].integer_digits = 3;
        const std::string path = out_path(c.name);
        const ExportResult r = export_page(set, path, PageSize{210, 297}, 150, {});
        ASSERT_TRUE(r.ok) << c.name << ": " << r.message;
        const QImage img(QString::fromStdString(path));
        EXPECT_EQ(img.size(), QSize(1240, 1754)) << c.name;
    }
}

TEST(PageExport, FailuresAreReported) {
    GraphSet set = one_graph(make_graph(1, 0, 0, 1, 0, 0, 1));
    ExportResult r = export_page(set, out_path("page.bmp"), PageSize{}, 150, {});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("png"), std::string::npos);
    r = export_page(set, "/nonexistent-dir/x/page.png", PageSize{}, 150, {});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("cannot write"), std::string::npos);
    r = export_page(set, out_path("huge.png"), PageSize{1000, 1000}, 2400, {});
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(std::filesystem::exists(out_path("huge.png")));
}

} // namespace
} // namespace plox
