// QPainter backend of the drawing surface.
#include "platform/qt_surface.h"

#include "platform/text_decoding.h"

#include <QPaintEngine>

#include <algorithm>
#include <cmath>

namespace plox {

QColor to_qcolor(Color c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

double ellipse_angle(const QRectF& r, QPointF radial) {
    const QPointF c = r.center();
    const double rx = r.width() / 2, ry = r.height() / 2;
    if (rx <= 0 || ry <= 0) return 0;
    // Qt's angles are parametric on the ellipse; y grows downward on the page.
    return std::atan2(-(radial.y() - c.y()) / ry, (radial.x() - c.x()) / rx) * 180 / M_PI;
}

QtSurface::QtSurface(QPainter& painter, const QtTextMeasurer& measurer, double scale, Size window,
                     QPointF origin)
    : p_(painter), measurer_(measurer), scale_(scale > 0 ? scale : 1), window_(window) {
    QTransform t;
    t.translate(origin.x(), origin.y());
    t.scale(scale_, scale_);
    p_.setWorldTransform(t);
    p_.setRenderHint(QPainter::Antialiasing, true);
    p_.setRenderHint(QPainter::TextAntialiasing, true);
    select_pen(Pen{});
}

Size QtSurface::viewport_ext() const {
    return {static_cast<int32_t>(std::lround(window_.cx * scale_)),
            static_cast<int32_t>(std::lround(window_.cy * scale_))};
}

void QtSurface::set_rop2(int32_t mode) {
    // Raster operations exist only on the raster engine; elsewhere everything copies.
    const bool raster = p_.paintEngine() && p_.paintEngine()->type() == QPaintEngine::Raster;
    if (raster && mode == rop2::XorPen)
        p_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    else if (raster && mode == rop2::NotXorPen)
        p_.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    else
        p_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void QtSurface::set_thin_pens_as_hairlines(bool on) {
    thin_hairlines_ = on;
    select_pen(pen_);
}

void QtSurface::select_pen(const Pen& pen) {
    pen_ = pen;
    if (pen.style == pen_style::Null) {
        qpen_ = QPen(Qt::NoPen);
        return;
    }
    qpen_ = QPen(to_qcolor(pen.color));
    const bool hairline = pen.width <= 0 || (thin_hairlines_ && pen.style == pen_style::Solid &&
                                             pen.width * scale_ <= THIN_PEN_PIXELS);
    qpen_.setWidthF(hairline ? 0.0 : pen.width); // 0: one device pixel (cosmetic)
    qpen_.setCapStyle(Qt::RoundCap);
    qpen_.setJoinStyle(Qt::RoundJoin);
    switch (pen.style) {
    case pen_style::Dash:
        qpen_.setStyle(Qt::DashLine);
        break;
    case pen_style::Dot:
        qpen_.setStyle(Qt::DotLine);
        break;
    case pen_style::DashDot:
        qpen_.setStyle(Qt::DashDotLine);
        break;
    default:
        qpen_.setStyle(Qt::SolidLine);
        break;
    }
}

void QtSurface::line_to(int32_t x, int32_t y) {
    const QPointF to(x, y);
    p_.setPen(qpen_);
    p_.drawLine(cp_, to);
    cp_ = to;
}

void QtSurface::polyline(std::span<const Point> points) {
    if (points.size() < 2) return;
    QPolygonF poly;
    poly.reserve(static_cast<qsizetype>(points.size()));
    for (const Point& pt : points)
        poly << QPointF(pt.x, pt.y);
    p_.setPen(qpen_);
    p_.drawPolyline(poly);
}

void QtSurface::polygon(std::span<const Point> points) {
    if (points.size() < 2) return;
    QPolygonF poly;
    poly.reserve(static_cast<qsizetype>(points.size()));
    for (const Point& pt : points)
        poly << QPointF(pt.x, pt.y);
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addPolygon(poly);
    path.closeSubpath();
    fill_and_stroke(path);
}

QRectF QtSurface::shape_rect(int32_t l, int32_t t, int32_t r, int32_t b) const {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    // GDI leaves out the right and bottom device pixel of a figure.
    const double px = 1 / scale_;
    return QRectF(QPointF(l, t), QPointF(std::max<double>(l, r - px), std::max<double>(t, b - px)));
}

void QtSurface::rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
    QPainterPath path;
    path.addRect(shape_rect(l, t, r, b));
    fill_and_stroke(path);
}

void QtSurface::round_rect(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) {
    QPainterPath path;
    path.addRoundedRect(shape_rect(l, t, r, b), std::abs(w) / 2.0, std::abs(h) / 2.0);
    fill_and_stroke(path);
}

void QtSurface::ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
    QPainterPath path;
    path.addEllipse(shape_rect(l, t, r, b));
    fill_and_stroke(path);
}

namespace {

// Counter-clockwise span from start to end; equal radial directions make a full turn.
double ccw_span(double start, double end) {
    double span = end - start;
    while (span <= 0)
        span += 360;
    while (span > 360)
        span -= 360;
    return span;
}

} // namespace

void QtSurface::chord(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1,
                      int32_t x2, int32_t y2) {
    const QRectF rect = shape_rect(l, t, r, b);
    const double start = ellipse_angle(rect, QPointF(x1, y1));
    const double span = ccw_span(start, ellipse_angle(rect, QPointF(x2, y2)));
    QPainterPath path;
    path.arcMoveTo(rect, start);
    path.arcTo(rect, start, span);
    path.closeSubpath();
    fill_and_stroke(path);
}

void QtSurface::arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1, int32_t x2,
                    int32_t y2) {
    const QRectF rect = shape_rect(l, t, r, b);
    const double start = ellipse_angle(rect, QPointF(x1, y1));
    const double span = ccw_span(start, ellipse_angle(rect, QPointF(x2, y2)));
    QPainterPath path;
    path.arcMoveTo(rect, start);
    path.arcTo(rect, start, span);
    p_.setPen(qpen_);
    p_.setBrush(Qt::NoBrush);
    p_.drawPath(path);
}

void QtSurface::fill_path(const QPainterPath& path, const Brush& brush) {
    if (brush.style == brush_style::Hollow) return;
    if (brush.style != brush_style::Hatched) {
        p_.fillPath(path, to_qcolor(brush.color));
        return;
    }
    if (bk_mode_ == bk_mode::Opaque) p_.fillPath(path, to_qcolor(bk_color_));
    // Hatch lines on a page-fixed grid of logical units, so neighbouring shapes line up and
    // the density does not depend on the device.
    const QRectF box = path.boundingRect();
    const double s = HATCH_SPACING;
    QPen pen(to_qcolor(brush.color));
    pen.setWidthF(std::max(8.0, 1 / scale_));
    pen.setCapStyle(Qt::FlatCap);
    p_.save();
    p_.setClipPath(path, Qt::IntersectClip);
    p_.setPen(pen);
    const int h = brush.hatch >= 0 && brush.hatch <= 5 ? brush.hatch : hatch_style::DiagCross;
    const bool horizontal = h == hatch_style::Horizontal || h == hatch_style::Cross;
    const bool vertical = h == hatch_style::Vertical || h == hatch_style::Cross;
    const bool fdiag = h == hatch_style::FDiagonal || h == hatch_style::DiagCross;
    const bool bdiag = h == hatch_style::BDiagonal || h == hatch_style::DiagCross;
    if (horizontal)
        for (double y = std::floor(box.top() / s) * s; y <= box.bottom(); y += s)
            p_.drawLine(QPointF(box.left(), y), QPointF(box.right(), y));
    if (vertical)
        for (double x = std::floor(box.left() / s) * s; x <= box.right(); x += s)
            p_.drawLine(QPointF(x, box.top()), QPointF(x, box.bottom()));
    const double hgt = box.height();
    if (fdiag) // x - y = c, top-left to bottom-right
        for (double c = std::floor((box.left() - box.bottom()) / s) * s;
             c <= box.right() - box.top(); c += s)
            p_.drawLine(QPointF(c + box.top(), box.top()),
                        QPointF(c + box.top() + hgt, box.bottom()));
    if (bdiag) // x + y = c, bottom-left to top-right
        for (double c = std::floor((box.left() + box.top()) / s) * s;
             c <= box.right() + box.bottom(); c += s)
            p_.drawLine(QPointF(c - box.bottom(), box.bottom()),
                        QPointF(c - box.bottom() + hgt, box.top()));
    p_.restore();
}

void QtSurface::fill_and_stroke(const QPainterPath& path) {
    fill_path(path, brush_);
    p_.setPen(qpen_);
    p_.setBrush(Qt::NoBrush);
    p_.drawPath(path);
}

void QtSurface::fill_rect(const Rect& rect, const Brush& brush) {
    QPainterPath path;
    path.addRect(QRectF(QPointF(std::min(rect.left, rect.right), std::min(rect.top, rect.bottom)),
                        QPointF(std::max(rect.left, rect.right), std::max(rect.top, rect.bottom))));
    fill_path(path, brush);
}

void QtSurface::text_out(int32_t x, int32_t y, std::string_view bytes) {
    if (bytes.empty()) return;
    const QString text = decode_text(bytes, font_.charset);
    const QtTextMeasurer::Metrics m = measurer_.metrics(font_, bytes);
    const bool update_cp = align_ & text_align::UpdateCP;
    const QPointF ref = update_cp ? cp_ : QPointF(x, y);
    const auto [dx, dy] = alignment_offset(align_, m);
    const double angle = font_.escapement / 10.0;
    p_.save();
    p_.translate(ref);
    if (angle != 0) p_.rotate(-angle);
    if (bk_mode_ == bk_mode::Opaque)
        p_.fillRect(QRectF(dx, dy - m.ascent, m.width, m.ascent + m.descent), to_qcolor(bk_color_));
    p_.setFont(measurer_.qfont(font_));
    p_.setPen(to_qcolor(text_color_));
    p_.drawText(QPointF(dx, dy), text);
    p_.restore();
    if (update_cp) {
        const double rad = angle * M_PI / 180;
        double advance = 0;
        if ((align_ & text_align::HorizontalMask) == text_align::Left) advance = m.width;
        if ((align_ & text_align::HorizontalMask) == text_align::Right) advance = -m.width;
        cp_ += QPointF(advance * std::cos(rad), -advance * std::sin(rad));
    }
}

QImage to_qimage(const Image& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
        return {};
    QImage q(image.width, image.height, QImage::Format_ARGB32);
    if (q.isNull()) return {};
    for (int y = 0; y < image.height; ++y)
        std::copy_n(image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.width),
                    image.width, reinterpret_cast<uint32_t*>(q.scanLine(y)));
    return q;
}

void QtSurface::draw_image(const Rect& rect, const Image& image) {
    const QImage q = to_qimage(image);
    if (q.isNull()) return;
    p_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p_.drawImage(QRectF(QPointF(rect.left, rect.top), QPointF(rect.right, rect.bottom)), q);
}

void QtSurface::set_clip_rect(const Rect* rect) {
    if (!rect) {
        clip_.reset();
        p_.setClipping(false);
        return;
    }
    clip_ = *rect;
    p_.setClipRect(QRectF(QPointF(rect->left, rect->top), QPointF(rect->right, rect->bottom)),
                   Qt::ReplaceClip);
}

Rect QtSurface::clip_box() const {
    return clip_ ? *clip_ : Rect{0, 0, window_.cx, window_.cy};
}

} // namespace plox
