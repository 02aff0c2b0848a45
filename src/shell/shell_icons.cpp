// Small pictograms for the toolbar, drawn at 19 × 19 pixels.
#include "shell/shell_icons.h"

#include "shell/command_table.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>
#include <iterator>

namespace plox::shell {

namespace {

QPixmap canvas(int size = 19) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

void text_icon(QPainter& p, const QString& text, const QColor& color, bool bold = true) {
    QFont f = p.font();
    f.setPixelSize(14);
    f.setBold(bold);
    p.setFont(f);
    p.setPen(color);
    p.drawText(QRect(0, 0, 19, 19), Qt::AlignCenter, text);
}

QPen ink_pen() {
    return QPen(QColor(30, 30, 30), 1.4);
}

void paint_delete_all(QPainter& p) {
    p.setPen(QPen(QColor(200, 0, 0), 2.2));
    p.drawLine(4, 4, 15, 15);
    p.drawLine(15, 4, 4, 15);
}

void paint_preview(QPainter& p) {
    p.fillRect(QRect(3, 2, 11, 15), Qt::white);
    p.drawRect(QRect(3, 2, 11, 15));
    p.drawEllipse(QRectF(9, 9, 6, 6));
    p.drawLine(14, 14, 17, 17);
}

void paint_open_document(QPainter& p) {
    p.setBrush(QColor(240, 200, 80));
    p.drawPolygon(QPolygon(
        {QPoint(2, 5), QPoint(7, 5), QPoint(9, 7), QPoint(16, 7), QPoint(16, 15), QPoint(2, 15)}));
}

void paint_print(QPainter& p) {
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRect(2, 8, 15, 6));
    p.setBrush(Qt::white);
    p.drawRect(QRect(5, 3, 9, 5));
    p.drawRect(QRect(5, 12, 9, 5));
}

void paint_insert_text(QPainter& p) {
    text_icon(p, QStringLiteral("A"), QColor(30, 30, 30));
}

void paint_insert_rect(QPainter& p) {
    p.setBrush(QColor(180, 210, 255));
    p.drawRect(QRect(3, 5, 13, 9));
}

void paint_insert_arrow(QPainter& p) {
    p.drawLine(3, 16, 15, 4);
    p.setBrush(QColor(30, 30, 30));
    p.drawPolygon(QPolygonF({QPointF(16, 3), QPointF(9.5, 5.5), QPointF(13.5, 9.5)}));
}

void paint_trim(QPainter& p) {
    p.setPen(QPen(QColor(30, 30, 30), 1, Qt::DashLine));
    p.drawRect(QRect(3, 3, 13, 13));
    p.setPen(ink_pen());
    p.drawLine(6, 13, 13, 6);
}

void paint_read_value(QPainter& p) {
    p.setPen(QPen(QColor(0, 0, 200), 1.2));
    p.drawLine(9, 2, 9, 17);
    p.drawLine(2, 9, 17, 9);
    p.drawEllipse(QRectF(6, 6, 6, 6));
}

void paint_constants(QPainter& p) {
    text_icon(p, QStringLiteral("C"), QColor(0, 110, 0));
}

void paint_object_up(QPainter& p) {
    p.setBrush(QColor(60, 120, 200));
    p.drawPolygon(QPolygon({QPoint(9, 3), QPoint(16, 12), QPoint(2, 12)}));
}

void paint_object_down(QPainter& p) {
    p.setBrush(QColor(60, 120, 200));
    p.drawPolygon(QPolygon({QPoint(9, 16), QPoint(16, 7), QPoint(2, 7)}));
}

void paint_redraw(QPainter& p) {
    p.setPen(QPen(QColor(0, 120, 0), 2));
    p.drawArc(QRectF(4, 4, 11, 11), 60 * 16, 290 * 16);
    p.setBrush(QColor(0, 120, 0));
    p.drawPolygon(QPolygonF({QPointF(13, 2), QPointF(16.5, 6.5), QPointF(11, 7.5)}));
}

void paint_help(QPainter& p) {
    text_icon(p, QStringLiteral("?"), QColor(0, 0, 180));
}

// 651 trims, 667 sets constants, 668 reads values.
struct IconPainter {
    int command;
    void (*paint)(QPainter&);
};
constexpr IconPainter painters[] = {
    {cmd::DeleteAllGraphs, paint_delete_all},
    {cmd::Preview, paint_preview},
    {cmd::OpenDocument, paint_open_document},
    {cmd::Print, paint_print},
    {cmd::InsertText, paint_insert_text},
    {cmd::InsertRect, paint_insert_rect},
    {cmd::InsertArrow, paint_insert_arrow},
    {651, paint_trim},
    {668, paint_read_value},
    {667, paint_constants},
    {cmd::ObjectUp, paint_object_up},
    {cmd::ObjectDown, paint_object_down},
    {cmd::Redraw, paint_redraw},
    {cmd::Help, paint_help},
};

} // namespace

QIcon program_icon() {
    QPixmap pm = canvas(32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(2, 2, 28, 28), Qt::white);
    p.setPen(QPen(Qt::black, 2));
    p.drawRect(QRect(2, 2, 28, 28));
    p.setPen(QPen(QColor(0, 0, 200), 2));
    p.drawPolyline(QPolygon({QPoint(5, 25), QPoint(11, 16), QPoint(17, 20), QPoint(27, 6)}));
    return QIcon(pm);
}

QIcon tool_icon(int command) {
    QPixmap pm = canvas();
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(ink_pen());
    const auto painter = std::ranges::find(painters, command, &IconPainter::command);
    if (painter != std::end(painters)) painter->paint(p);
    p.end();
    return QIcon(pm);
}

} // namespace plox::shell
