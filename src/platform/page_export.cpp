// Page export to PNG (QImage and our encoder), PDF (QPdfWriter) and SVG (our own writer).
#include "platform/page_export.h"

#include "document/file_access.h"
#include "document/large_memory.h"

#include "platform/png_writer.h"
#include "platform/qt_surface.h"
#include "platform/qt_text_measurer.h"
#include "platform/svg_surface.h"
#include "render/graph_drawing.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>
#include <cstring>

namespace plox {

namespace {

// Enough for A3 at 1200 dpi; beyond it a page would take gigabytes of memory.
constexpr double MAX_PIXELS = 300e6;
constexpr int PDF_RESOLUTION = 1200;

void draw_all(Surface& surface, GraphSet& set, RenderContext& context) {
    for (auto& graph : set.graphs)
        if (graph) draw_graph(surface, *graph, context);
}

ExportResult export_png(GraphSet& set, const std::string& path, const QString& target, Size window,
                        int w, int h, int dpi, RenderContext& context,
                        const QtTextMeasurer& measurer) {
    const size_t stride = static_cast<size_t>(w) * 4;
    LargeBuffer pixels(stride * static_cast<size_t>(h));
    if (!pixels.data()) return {false, "not enough memory for the page image"};
    std::memset(pixels.data(), 0xFF, pixels.size()); // white, opaque
    {
        // The image only borrows the pixels; it and its painter end before the buffer.
        QImage image(pixels.data(), w, h, static_cast<qsizetype>(stride), QImage::Format_RGB32);
        if (image.isNull()) return {false, "not enough memory for the page image"};
        QPainter painter(&image);
        QtSurface surface(painter, measurer, dpi / 2540.0, window);
        surface.set_thin_pens_as_hairlines(true);
        draw_all(surface, set, context);
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) return {false, "cannot write " + path};
    const PngPixels png{.data = pixels.data(),
                        .width = w,
                        .height = h,
                        .stride = stride,
                        .alpha = false,
                        .dots_per_metre = static_cast<int>(std::lround(dpi / 0.0254))};
    const PngResult written = write_png(png, [&file](const uint8_t* bytes, size_t size) {
        return file.write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(size)) ==
               static_cast<qint64>(size);
    });
    // Without a commit the save file removes what it wrote; the old file stays.
    if (!written.ok || !file.commit()) return {false, "cannot write " + path};
    return {true, {}};
}

} // namespace

PageSize page_size_of(const Graph& g) {
    PageSize p{g.page_width, g.page_height};
    if (g.landscape) std::swap(p.width_mm, p.height_mm);
    if (p.width_mm < 10) p.width_mm = 320;
    if (p.height_mm < 10) p.height_mm = 320;
    return p;
}

ExportFormat export_format_of(const std::string& path) {
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    if (suffix == "png") return ExportFormat::Png;
    if (suffix == "pdf") return ExportFormat::Pdf;
    if (suffix == "svg") return ExportFormat::Svg;
    return ExportFormat::Unknown;
}

ExportResult export_page(GraphSet& set, const std::string& path, PageSize page, int dpi,
                         RenderContext context) {
    QtTextMeasurer measurer;
    context.measurer = &measurer;
    context.metafile = false;
    const Size window{page.width_mm * 100, page.height_mm * 100};
    // A device, FIFO or folder under the output name is never replaced; a link to a regular
    // file is written through, the link kept.
    std::string refused;
    const std::string target = files::replacement_target(path, refused);
    if (target.empty()) return {false, refused};
    const QString qpath = QString::fromStdString(target);

    switch (export_format_of(path)) {
    case ExportFormat::Png: {
        if (dpi < 1) return {false, "the resolution must be at least 1 dpi"};
        const int w = static_cast<int>(std::lround(page.width_mm / 25.4 * dpi));
        const int h = static_cast<int>(std::lround(page.height_mm / 25.4 * dpi));
        if (static_cast<double>(w) * h > MAX_PIXELS || w < 1 || h < 1)
            return {false, "the page is too large at " + std::to_string(dpi) + " dpi"};
        return export_png(set, path, qpath, window, w, h, dpi, context, measurer);
    }
    case ExportFormat::Pdf: {
        QSaveFile file(qpath);
        if (!file.open(QIODevice::WriteOnly)) return {false, "cannot write " + path};
        {
            QPdfWriter writer(&file);
            writer.setCreator("PloxWin");
            writer.setResolution(PDF_RESOLUTION);
            writer.setPageLayout(
                QPageLayout(QPageSize(QSizeF(page.width_mm, page.height_mm), QPageSize::Millimeter),
                            QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
            QPainter painter;
            if (!painter.begin(&writer)) return {false, "cannot write " + path};
            QtSurface surface(painter, measurer, PDF_RESOLUTION / 2540.0, window);
            draw_all(surface, set, context);
            painter.end();
        }
        if (!file.commit()) return {false, "cannot write " + path};
        return {true, {}};
    }
    case ExportFormat::Svg: {
        SvgSurface surface(measurer, window, page.width_mm, page.height_mm);
        draw_all(surface, set, context);
        const std::string svg = surface.finish();
        QSaveFile file(qpath);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(svg.data(), static_cast<qint64>(svg.size())) !=
                static_cast<qint64>(svg.size()) ||
            !file.commit())
            return {false, "cannot write " + path};
        return {true, {}};
    }
    case ExportFormat::Unknown:
        break;
    }
    return {false, "unknown export format of " + path + " (use .png, .pdf or .svg)"};
}

} // namespace plox
