// Page export to PNG (QImage), PDF (QPdfWriter) and SVG (our own writer).
#include "platform/page_export.h"

#include "document/file_access.h"

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

namespace plox {

namespace {

// Enough for A3 at 1200 dpi; beyond it a page would take gigabytes of memory.
constexpr double MAX_PIXELS = 300e6;
constexpr int PDF_RESOLUTION = 1200;

void draw_all(Surface& surface, GraphSet& set, RenderContext& context) {
    for (auto& graph : set.graphs)
        if (graph) draw_graph(surface, *graph, context);
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
        QImage image(w, h, QImage::Format_RGB32);
        if (image.isNull()) return {false, "not enough memory for the page image"};
        image.fill(Qt::white);
        const int dots_per_metre = static_cast<int>(std::lround(dpi / 0.0254));
        image.setDotsPerMeterX(dots_per_metre);
        image.setDotsPerMeterY(dots_per_metre);
        {
            QPainter painter(&image);
            QtSurface surface(painter, measurer, dpi / 2540.0, window);
            draw_all(surface, set, context);
        }
        QSaveFile file(qpath);
        if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
            return {false, "cannot write " + path};
        return {true, {}};
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
