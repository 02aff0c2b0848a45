// Samples drawn through the renderer's primitives on a Qt surface.
#include "dialogs/series_sample.h"

#include "platform/qt_surface.h"
#include "platform/qt_text_measurer.h"
#include "platform/text_decoding.h"
#include "render/primitives.h"

#include <QPainter>

namespace plox::dialogs {

namespace {

// Logical units per pixel in the samples: 0.1 mm, so a 3 mm marker is 30 pixels wide at most.
constexpr double SCALE = 0.1;

template <typename Draw> QPixmap draw_sample(int width, int height, Draw&& draw) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    static const QtTextMeasurer measurer;
    QtSurface surface(
        painter, measurer, SCALE,
        Size{static_cast<int32_t>(width / SCALE), static_cast<int32_t>(height / SCALE)});
    draw(surface, static_cast<int32_t>(width / SCALE / 2),
         static_cast<int32_t>(height / SCALE / 2));
    return pixmap;
}

} // namespace

QPixmap series_sample(const Series& s, int width, int height) {
    return draw_sample(width, height, [&](Surface& surface, int32_t cx, int32_t cy) {
        LegendSample sample;
        sample.plot_type = s.PlotType;
        sample.half_size = std::min<int32_t>(s.PlotSize, height * 9) / 2;
        sample.marker_color = s.marker_color;
        sample.brush_style = s.DotStyle;
        sample.hatch = s.Hatch;
        sample.fill_color = s.fill_color;
        sample.pen_width = std::min<int32_t>(s.line.width, 100);
        sample.line_type = s.LineType;
        sample.half_length = cx * 9 / 10;
        sample.pitch = s.line.pitch;
        sample.line_color = s.line.color;
        draw_legend_sample(surface, cx, cy, sample);
    });
}

QPixmap marker_sample(int32_t plot_type, int size) {
    Series s;
    s.PlotType = plot_type;
    s.PlotSize = size * 6;
    s.LineType = 0;
    s.DotStyle = 0;
    s.fill_color = 0xC0C0C0;
    return series_sample(s, size, size);
}

QPixmap line_sample(int32_t line_type, int width, int height) {
    Series s;
    s.PlotType = 0;
    s.LineType = line_type;
    s.line.width = 20;
    s.line.pitch = 150;
    return series_sample(s, width, height);
}

QPixmap colour_swatch(int32_t colour, int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(0, 0, width - 1, height - 1);
    return pixmap;
}

std::string utf8_of(std::string_view bytes) {
    return decode_cp932(bytes).toStdString();
}

} // namespace plox::dialogs
