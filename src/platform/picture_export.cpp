// Region pictures through QPainter and our SVG writer; the clipboard's formats.
#include "platform/picture_export.h"

#include "output/metafile_export.h"
#include "platform/qt_surface.h"
#include "platform/qt_text_measurer.h"
#include "platform/svg_surface.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>

namespace plox {

namespace {

constexpr double MAX_PIXELS = 100e6;

std::optional<QImage> render_png(GraphSet& set, const Rect& region, int32_t ratio,
                                 RenderContext context, const QtTextMeasurer& measurer) {
    const double scale = PICTURE_PNG_DPI / 2540.0;
    const int w = static_cast<int>(std::lround((region.right - region.left) * scale));
    const int h = static_cast<int>(std::lround((region.bottom - region.top) * scale));
    if (w < 1 || h < 1 || static_cast<double>(w) * h > MAX_PIXELS) return std::nullopt;
    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull()) return std::nullopt;
    image.fill(Qt::white);
    const int dots_per_metre = static_cast<int>(std::lround(PICTURE_PNG_DPI / 0.0254));
    image.setDotsPerMeterX(dots_per_metre);
    image.setDotsPerMeterY(dots_per_metre);
    QPainter painter(&image);
    QtSurface surface(painter, measurer, scale,
                      Size{region.right - region.left, region.bottom - region.top},
                      QPointF(-region.left * scale, -region.top * scale));
    context.measurer = &measurer;
    draw_graphs_scaled(surface, set, context, ratio);
    return image;
}

std::string render_svg(GraphSet& set, const Rect& region, int32_t ratio, RenderContext context,
                       const QtTextMeasurer& measurer) {
    const Size size{region.right - region.left, region.bottom - region.top};
    SvgSurface surface(measurer, size, size.cx / 100.0, size.cy / 100.0);
    context.measurer = &measurer;
    // The SVG's view box starts at 0: the graphs are moved by the region's corner.
    draw_graphs_scaled(surface, set, context, ratio, Point{region.left, region.top});
    return surface.finish();
}

bool save(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

bool write_region_picture(const std::string& path, GraphSet& set, const Rect& region, int32_t ratio,
                          const RenderContext& context) {
    if (region.empty()) return false;
    QtTextMeasurer measurer;
    const QString qpath = QString::fromStdString(path);
    const QString suffix = QFileInfo(qpath).suffix().toLower();
    if (suffix == "png") {
        const auto image = render_png(set, region, ratio, context, measurer);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        return image && image->save(&buffer, "PNG") && save(qpath, bytes);
    }
    if (suffix == "svg") {
        const std::string svg = render_svg(set, region, ratio, context, measurer);
        return save(qpath, QByteArray::fromStdString(svg));
    }
    if (suffix != "pdf") return false;
    QSaveFile file(qpath);
    if (!file.open(QIODevice::WriteOnly)) return false;
    {
        constexpr int resolution = 1200;
        QPdfWriter writer(&file);
        writer.setCreator("PloxWin");
        writer.setResolution(resolution);
        writer.setPageLayout(QPageLayout(QPageSize(QSizeF((region.right - region.left) / 100.0,
                                                          (region.bottom - region.top) / 100.0),
                                                   QPageSize::Millimeter),
                                         QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&writer)) return false;
        const double scale = resolution / 2540.0;
        QtSurface surface(painter, measurer, scale,
                          Size{region.right - region.left, region.bottom - region.top},
                          QPointF(-region.left * scale, -region.top * scale));
        RenderContext c = context;
        c.measurer = &measurer;
        draw_graphs_scaled(surface, set, c, ratio);
        painter.end();
    }
    return file.commit();
}

std::unique_ptr<QMimeData> picture_mime_data(const std::vector<uint8_t>& metafile, bool enhanced,
                                             GraphSet& set, const Rect& region, int32_t ratio,
                                             const RenderContext& context) {
    auto data = std::make_unique<QMimeData>();
    const QByteArray bytes(reinterpret_cast<const char*>(metafile.data()),
                           static_cast<qsizetype>(metafile.size()));
    data->setData(enhanced ? "image/x-emf" : "image/x-wmf", bytes);
#ifdef Q_OS_WIN
    if (enhanced)
        data->setData(QStringLiteral("application/x-qt-windows-mime;value=\"Enhanced Metafile\""),
                      bytes);
#endif
    QtTextMeasurer measurer;
    data->setData("image/svg+xml",
                  QByteArray::fromStdString(render_svg(set, region, ratio, context, measurer)));
    if (const auto image = render_png(set, region, ratio, context, measurer))
        data->setImageData(*image);
    return data;
}

} // namespace plox
