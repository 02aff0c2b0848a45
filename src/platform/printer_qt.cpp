// Printer pages through QPrinter: one QPainter per copy, drawn straight into the printer's
// paint engine so that no page-sized raster is ever built.
#include "platform/printer_qt.h"

#include "platform/qt_surface.h"
#include "platform/qt_text_measurer.h"
#include "render/graph_drawing.h"

#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace plox {

namespace {

struct KindId {
    int kind;
    QPageSize::PageSizeId id;
};

// B4 and B5 of the set-up are 250 × 354 and 182 × 257: ISO B4 and JIS B5 in Qt's names.
constexpr KindId KIND_IDS[] = {{paper::A3, QPageSize::A3},
                               {paper::A4, QPageSize::A4},
                               {paper::A5, QPageSize::A5},
                               {paper::B4, QPageSize::B4},
                               {paper::B5, QPageSize::JisB5}};

int kind_of(QPageSize::PageSizeId id) {
    for (const KindId& k : KIND_IDS)
        if (k.id == id) return k.kind;
    if (id == QPageSize::JisB4) return paper::B4;
    if (id == QPageSize::B5) return paper::B5;
    return paper::Free;
}

} // namespace

PageSetup page_setup_of(const QPageSize& size, QPageLayout::Orientation orientation) {
    PageSetup setup;
    setup.landscape = orientation == QPageLayout::Landscape;
    setup.kind = size.isValid() ? kind_of(size.id()) : paper::Free;
    if (const auto standard = standard_paper(setup.kind)) {
        setup.width_mm = standard->width_mm;
        setup.length_mm = standard->length_mm;
    } else if (size.isValid()) {
        // Whole millimetres, truncated as tenths of a millimetre divided by ten are.
        const QSizeF mm = size.size(QPageSize::Millimeter);
        setup.width_mm = std::max(1, static_cast<int>(mm.width() + 1e-6));
        setup.length_mm = std::max(1, static_cast<int>(mm.height() + 1e-6));
    }
    return setup;
}

PageSetup page_setup_of(const QPrinter& printer) {
    const QPageLayout layout = printer.pageLayout();
    return page_setup_of(layout.pageSize(), layout.orientation());
}

void push_page_setup(QPrinter& printer, const PageSetup& setup) {
    // A file has no edge a printer cannot reach: the page starts at the paper's corner, as the
    // exported page does.
    if (printer.outputFormat() == QPrinter::PdfFormat)
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer.setPageOrientation(setup.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    for (const KindId& k : KIND_IDS)
        if (k.kind == setup.kind) {
            printer.setPageSize(QPageSize(k.id));
            return;
        }
    if (setup.width_mm >= 10 && setup.length_mm >= 10)
        printer.setPageSize(QPageSize(QSizeF(setup.width_mm, setup.length_mm),
                                      QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
}

PrintResult print_graphs_on(QPrinter& printer, GraphSet& set, RenderContext context,
                            const PrintOptions& options) {
    // The printable area in whole millimetres and the resolution, as the device reports them.
    const PrintMapping m =
        print_mapping(printer.widthMM(), printer.heightMM(), printer.logicalDpiX(),
                      printer.logicalDpiY(), clamp_print_scale(options.scale));
    if (m.window_width <= 0 || m.window_height <= 0 || m.viewport_x <= 0 || m.viewport_y <= 0)
        return PrintResult::Canceled;
    const double sx = static_cast<double>(m.viewport_x) / m.window_width;
    const double sy = static_cast<double>(m.viewport_y) / m.window_height;
    // The printable area in logical units.
    const Rect clip{0, 0, static_cast<int32_t>(m.clip_width / sx),
                    static_cast<int32_t>(m.clip_height / sy)};

    QtTextMeasurer measurer;
    context.measurer = &measurer;
    context.metafile = false;
    context.caller_clip = clip;
    printer.setDocName(QString::fromLatin1(PRINT_JOB_NAME));
    printer.setCopyCount(1);
    for (int copy = 0; copy < std::max(1, options.copies); ++copy) {
        if (options.before_job) options.before_job(copy);
        QPainter painter;
        if (!painter.begin(&printer)) return PrintResult::Canceled;
        QtSurface surface(painter, measurer, sx, Size{m.window_width, m.window_height});
        // The mapping is anisotropic when the two resolutions differ.
        painter.setWorldTransform(QTransform::fromScale(sx, sy));
        surface.set_clip_rect(&clip);
        if (options.background)
            surface.fill_rect(Rect{0, 0, m.window_width, m.window_height},
                              Brush{brush_style::Solid, options.background_color});
        for (size_t i = 0; i < set.graphs.size(); ++i) {
            if (options.aborted && options.aborted()) {
                printer.abort();
                painter.end();
                return PrintResult::Canceled;
            }
            if (set.graphs[i]) draw_graph(surface, *set.graphs[i], context);
        }
        if (options.aborted && options.aborted()) {
            printer.abort();
            painter.end();
            return PrintResult::Canceled;
        }
        if (!painter.end()) return PrintResult::Canceled;
    }
    return PrintResult::Printed;
}

} // namespace plox
