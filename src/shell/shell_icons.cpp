// Small pictograms for the toolbar, drawn at 19 × 19 pixels.
#include "shell/shell_icons.h"

#include "shell/command_table.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

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
    const QPen ink(QColor(30, 30, 30), 1.4);
    p.setPen(ink);
    switch (command) {
    case cmd::DeleteAllGraphs:
        p.setPen(QPen(QColor(200, 0, 0), 2.2));
        p.drawLine(4, 4, 15, 15);
        p.drawLine(15, 4, 4, 15);
        break;
    case cmd::Preview:
        p.fillRect(QRect(3, 2, 11, 15), Qt::white);
        p.drawRect(QRect(3, 2, 11, 15));
        p.drawEllipse(QRectF(9, 9, 6, 6));
        p.drawLine(14, 14, 17, 17);
        break;
    case cmd::OpenDocument: {
        p.setBrush(QColor(240, 200, 80));
        p.drawPolygon(QPolygon({QPoint(2, 5), QPoint(7, 5), QPoint(9, 7), QPoint(16, 7),
                                QPoint(16, 15), QPoint(2, 15)}));
        break;
    }
    case cmd::Print:
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRect(2, 8, 15, 6));
        p.setBrush(Qt::white);
        p.drawRect(QRect(5, 3, 9, 5));
        p.drawRect(QRect(5, 12, 9, 5));
        break;
    case cmd::InsertText:
        text_icon(p, QStringLiteral("A"), QColor(30, 30, 30));
        break;
    case cmd::InsertRect:
        p.setBrush(QColor(180, 210, 255));
        p.drawRect(QRect(3, 5, 13, 9));
        break;
    case cmd::InsertArrow:
        p.drawLine(3, 16, 15, 4);
        p.setBrush(QColor(30, 30, 30));
        p.drawPolygon(QPolygonF({QPointF(16, 3), QPointF(9.5, 5.5), QPointF(13.5, 9.5)}));
        break;
    case 651:
        p.setPen(QPen(QColor(30, 30, 30), 1, Qt::DashLine));
        p.drawRect(QRect(3, 3, 13, 13));
        p.setPen(ink);
        p.drawLine(6, 13, 13, 6);
        break;
    case 668:
        p.setPen(QPen(QColor(0, 0, 200), 1.2));
        p.drawLine(9, 2, 9, 17);
        p.drawLine(2, 9, 17, 9);
        p.drawEllipse(QRectF(6, 6, 6, 6));
        break;
    case 667:
        text_icon(p, QStringLiteral("C"), QColor(0, 110, 0));
        break;
    case cmd::ObjectUp:
        p.setBrush(QColor(60, 120, 200));
        p.drawPolygon(QPolygon({QPoint(9, 3), QPoint(16, 12), QPoint(2, 12)}));
        break;
    case cmd::ObjectDown:
        p.setBrush(QColor(60, 120, 200));
        p.drawPolygon(QPolygon({QPoint(9, 16), QPoint(16, 7), QPoint(2, 7)}));
        break;
    case cmd::Redraw: {
        p.setPen(QPen(QColor(0, 120, 0), 2));
        p.drawArc(QRectF(4, 4, 11, 11), 60 * 16, 290 * 16);
        p.setBrush(QColor(0, 120, 0));
        p.drawPolygon(QPolygonF({QPointF(13, 2), QPointF(16.5, 6.5), QPointF(11, 7.5)}));
        break;
    }
    case cmd::Help:
        text_icon(p, QStringLiteral("?"), QColor(0, 0, 180));
        break;
    default:
        break;
    }
    p.end();
    return QIcon(pm);
}

} // namespace plox::shell
