// SVG writer.
#include "platform/svg_surface.h"

#include "platform/font_faces.h"
#include "platform/qt_surface.h"
#include "platform/text_decoding.h"

#include <QBuffer>
#include <QImage>
#include <QRectF>

#include <cmath>
#include <cstdio>

namespace plox {

namespace {

std::string num(double v) {
    char b[32];
    std::snprintf(b, sizeof b, "%.6g", v);
    return b;
}

std::string color(Color c) {
    char b[16];
    std::snprintf(b, sizeof b, "#%02x%02x%02x", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return b;
}

std::string xml_escape(const QString& s) {
    std::string out;
    for (const char c : s.toStdString()) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            // Control characters are not allowed in XML 1.0 text.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') out += c;
            break;
        }
    }
    return out;
}

std::string xml_escape(const std::string& s) {
    return xml_escape(QString::fromStdString(s));
}

} // namespace

SvgSurface::SvgSurface(const QtTextMeasurer& measurer, Size page, double width_mm, double height_mm)
    : measurer_(measurer), page_(page) {
    body_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
            num(width_mm) + "mm\" height=\"" + num(height_mm) + "mm\" viewBox=\"0 0 " +
            std::to_string(page.cx) + " " + std::to_string(page.cy) +
            "\">\n<rect x=\"0\" y=\"0\" width=\"" + std::to_string(page.cx) + "\" height=\"" +
            std::to_string(page.cy) + "\" fill=\"#ffffff\"/>\n";
}

void SvgSurface::select_pen(const Pen& pen) {
    if (!(pen == pen_)) flush_path();
    pen_ = pen;
}

std::string SvgSurface::stroke_attributes() const {
    if (pen_.style == pen_style::Null) return " stroke=\"none\"";
    std::string s = " stroke=\"" + color(pen_.color) + "\"";
    if (pen_.width <= 0)
        s += " stroke-width=\"1\" vector-effect=\"non-scaling-stroke\"";
    else
        s += " stroke-width=\"" + std::to_string(pen_.width) + "\"";
    s += " stroke-linecap=\"round\" stroke-linejoin=\"round\"";
    const double w = std::max(pen_.width, 10);
    if (pen_.style == pen_style::Dash)
        s += " stroke-dasharray=\"" + num(3 * w) + " " + num(w) + "\"";
    if (pen_.style == pen_style::Dot) s += " stroke-dasharray=\"" + num(w) + " " + num(w) + "\"";
    if (pen_.style == pen_style::DashDot)
        s +=
            " stroke-dasharray=\"" + num(3 * w) + " " + num(w) + " " + num(w) + " " + num(w) + "\"";
    return s;
}

std::string SvgSurface::fill_attributes(const Brush& brush) {
    if (brush.style == brush_style::Hollow) return " fill=\"none\"";
    if (brush.style != brush_style::Hatched) return " fill=\"" + color(brush.color) + "\"";
    const int h = brush.hatch >= 0 && brush.hatch <= 5 ? brush.hatch : hatch_style::DiagCross;
    char id[32];
    std::snprintf(id, sizeof id, "h%d_%06x", h, static_cast<unsigned>(brush.color) & 0xFFFFFF);
    if (patterns_.find(std::string(id) + ";") == std::string::npos) {
        patterns_ += std::string(id) + ";";
        const std::string s = num(HATCH_SPACING), c = color(brush.color);
        std::string lines;
        auto line = [&](const char* x1, const char* y1, const char* x2, const char* y2) {
            lines += "<line x1=\"" + std::string(x1) + "\" y1=\"" + y1 + "\" x2=\"" + x2 +
                     "\" y2=\"" + y2 + "\" stroke=\"" + c + "\" stroke-width=\"8\"/>";
        };
        const std::string S = s;
        if (h == hatch_style::Horizontal || h == hatch_style::Cross) line("0", "0", S.c_str(), "0");
        if (h == hatch_style::Vertical || h == hatch_style::Cross) line("0", "0", "0", S.c_str());
        if (h == hatch_style::FDiagonal || h == hatch_style::DiagCross)
            line("0", "0", S.c_str(), S.c_str());
        if (h == hatch_style::BDiagonal || h == hatch_style::DiagCross)
            line("0", S.c_str(), S.c_str(), "0");
        body_ += "<defs><pattern id=\"" + std::string(id) +
                 "\" patternUnits=\"userSpaceOnUse\" width=\"" + s + "\" height=\"" + s + "\">" +
                 lines + "</pattern></defs>\n";
    }
    return " fill=\"url(#" + std::string(id) + ")\"";
}

void SvgSurface::flush_path() {
    if (path_.empty()) return;
    body_ += "<path d=\"" + path_ + "\" fill=\"none\"" + stroke_attributes() + "/>\n";
    path_.clear();
}

void SvgSurface::move_to(int32_t x, int32_t y) {
    cpx_ = x;
    cpy_ = y;
}

void SvgSurface::line_to(int32_t x, int32_t y) {
    if (path_.size() > 60000) flush_path();
    // Appended piece by piece throughout: "literal" + std::string trips GCC 12's -Wrestrict.
    path_ += 'M';
    path_ += num(cpx_) + " " + num(cpy_);
    path_ += 'L';
    path_ += std::to_string(x) + " " + std::to_string(y);
    cpx_ = x;
    cpy_ = y;
}

void SvgSurface::polyline(std::span<const Point> points) {
    if (points.size() < 2) return;
    flush_path();
    std::string pts;
    for (const Point& p : points)
        pts += std::to_string(p.x) + "," + std::to_string(p.y) + " ";
    body_ += "<polyline points=\"" + pts + "\" fill=\"none\"" + stroke_attributes() + "/>\n";
}

void SvgSurface::shape(const std::string& geometry) {
    flush_path();
    if (brush_.style == brush_style::Hatched && bk_mode_ == bk_mode::Opaque)
        body_ += geometry + " fill=\"" + color(bk_color_) + "\" stroke=\"none\"/>\n";
    body_ += geometry + fill_attributes(brush_) + stroke_attributes() + "/>\n";
}

void SvgSurface::polygon(std::span<const Point> points) {
    if (points.size() < 2) return;
    std::string pts;
    for (const Point& p : points)
        pts += std::to_string(p.x) + "," + std::to_string(p.y) + " ";
    shape("<polygon points=\"" + pts + "\" fill-rule=\"evenodd\"");
}

namespace {

std::string rect_geometry(int32_t l, int32_t t, int32_t r, int32_t b) {
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    return "<rect x=\"" + std::to_string(l) + "\" y=\"" + std::to_string(t) + "\" width=\"" +
           std::to_string(r - l) + "\" height=\"" + std::to_string(b - t) + "\"";
}

} // namespace

void SvgSurface::rectangle(int32_t l, int32_t t, int32_t r, int32_t b) {
    shape(rect_geometry(l, t, r, b));
}

void SvgSurface::round_rect(int32_t l, int32_t t, int32_t r, int32_t b, int32_t w, int32_t h) {
    shape(rect_geometry(l, t, r, b) + " rx=\"" + num(std::abs(w) / 2.0) + "\" ry=\"" +
          num(std::abs(h) / 2.0) + "\"");
}

void SvgSurface::ellipse(int32_t l, int32_t t, int32_t r, int32_t b) {
    shape("<ellipse cx=\"" + num((l + r) / 2.0) + "\" cy=\"" + num((t + b) / 2.0) + "\" rx=\"" +
          num(std::abs(r - l) / 2.0) + "\" ry=\"" + num(std::abs(b - t) / 2.0) + "\"");
}

std::string SvgSurface::arc_path(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1,
                                 int32_t x2, int32_t y2, bool close) const {
    const QRectF rect(QPointF(std::min(l, r), std::min(t, b)),
                      QPointF(std::max(l, r), std::max(t, b)));
    const double a1 = ellipse_angle(rect, QPointF(x1, y1)),
                 a2 = ellipse_angle(rect, QPointF(x2, y2));
    double span = a2 - a1;
    while (span <= 0)
        span += 360;
    const double rx = rect.width() / 2, ry = rect.height() / 2;
    const QPointF c = rect.center();
    auto at = [&](double deg) {
        const double rad = deg * M_PI / 180;
        return QPointF(c.x() + rx * std::cos(rad), c.y() - ry * std::sin(rad));
    };
    std::string d;
    auto arc_to = [&](double from, double sweep) {
        const QPointF e = at(from + sweep);
        // Counter-clockwise on the page is SVG's negative sweep direction.
        d += 'A';
        d += num(rx) + " " + num(ry) + " 0 " + (sweep > 180 ? "1" : "0") + " 0 " + num(e.x()) +
             " " + num(e.y());
    };
    const QPointF s = at(a1);
    d = 'M';
    d += num(s.x()) + " " + num(s.y());
    if (span >= 359.999) { // a full turn needs two arcs
        arc_to(a1, 180);
        arc_to(a1 + 180, 180);
    } else {
        arc_to(a1, span);
    }
    if (close) d += "Z";
    return d;
}

void SvgSurface::chord(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1,
                       int32_t x2, int32_t y2) {
    shape("<path d=\"" + arc_path(l, t, r, b, x1, y1, x2, y2, true) + "\"");
}

void SvgSurface::arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1, int32_t x2,
                     int32_t y2) {
    flush_path();
    body_ += "<path d=\"" + arc_path(l, t, r, b, x1, y1, x2, y2, false) + "\" fill=\"none\"" +
             stroke_attributes() + "/>\n";
}

void SvgSurface::fill_rect(const Rect& rect, const Brush& brush) {
    flush_path();
    const std::string g = rect_geometry(rect.left, rect.top, rect.right, rect.bottom);
    if (brush.style == brush_style::Hatched && bk_mode_ == bk_mode::Opaque)
        body_ += g + " fill=\"" + color(bk_color_) + "\"/>\n";
    body_ += g + fill_attributes(brush) + " stroke=\"none\"/>\n";
}

void SvgSurface::text_out(int32_t x, int32_t y, std::string_view bytes) {
    if (bytes.empty()) return;
    flush_path();
    const QtTextMeasurer::Metrics m = measurer_.metrics(font_, bytes);
    const bool update_cp = align_ & text_align::UpdateCP;
    const double rx = update_cp ? cpx_ : x, ry = update_cp ? cpy_ : y;
    const auto [dx, dy] = alignment_offset(align_, m);
    const double angle = font_.escapement / 10.0;
    std::string open = "<g transform=\"translate(" + num(rx) + " " + num(ry) + ")";
    if (angle != 0) open += " rotate(" + num(-angle) + ")";
    body_ += open + "\">";
    if (bk_mode_ == bk_mode::Opaque)
        body_ += "<rect x=\"" + num(dx) + "\" y=\"" + num(dy - m.ascent) + "\" width=\"" +
                 num(m.width) + "\" height=\"" + num(m.ascent + m.descent) + "\" fill=\"" +
                 color(bk_color_) + "\"/>";
    std::string families;
    for (const QString& f : map_face(font_))
        families += '\'' + f.toStdString() + "', ";
    families += "serif";
    body_ += "<text x=\"" + num(dx) + "\" y=\"" + num(dy) + "\" font-family=\"" +
             xml_escape(families) + "\" font-size=\"" + num(em_height(font_)) + "\"";
    if (font_.weight >= 600) body_ += " font-weight=\"bold\"";
    if (font_.italic) body_ += " font-style=\"italic\"";
    if (font_.underline || font_.strike_out)
        body_ += std::string(" text-decoration=\"") + (font_.underline ? "underline" : "") +
                 (font_.underline && font_.strike_out ? " " : "") +
                 (font_.strike_out ? "line-through" : "") + "\"";
    // The advance is pinned to our own measurement so layout matches the other devices.
    body_ += " textLength=\"" + num(m.width) + "\" lengthAdjust=\"spacingAndGlyphs\" fill=\"" +
             color(text_color_) + "\" xml:space=\"preserve\">" +
             xml_escape(decode_text(bytes, font_.charset)) + "</text></g>\n";
    if (update_cp) {
        const double rad = angle * M_PI / 180;
        double advance = 0;
        if ((align_ & text_align::HorizontalMask) == text_align::Left) advance = m.width;
        if ((align_ & text_align::HorizontalMask) == text_align::Right) advance = -m.width;
        cpx_ += advance * std::cos(rad);
        cpy_ -= advance * std::sin(rad);
    }
}

void SvgSurface::draw_image(const Rect& rect, const Image& image) {
    const QImage q = to_qimage(image);
    if (q.isNull()) return;
    flush_path();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!q.save(&buffer, "PNG")) return;
    body_ += rect_geometry(rect.left, rect.top, rect.right, rect.bottom).replace(0, 5, "<image") +
             " preserveAspectRatio=\"none\" href=\"data:image/png;base64," +
             png.toBase64().toStdString() + "\"/>\n";
}

void SvgSurface::set_clip_rect(const Rect* rect) {
    flush_path();
    if (clip_open_) body_ += "</g>\n";
    clip_open_ = false;
    has_clip_ = rect != nullptr;
    if (!rect) return;
    clip_ = *rect;
    const std::string id = "clip" + std::to_string(++clip_count_);
    body_ += "<clipPath id=\"" + id + "\">" +
             rect_geometry(rect->left, rect->top, rect->right, rect->bottom) +
             "/></clipPath>\n<g clip-path=\"url(#" + id + ")\">\n";
    clip_open_ = true;
}

Rect SvgSurface::clip_box() const {
    return has_clip_ ? clip_ : Rect{0, 0, page_.cx, page_.cy};
}

std::string SvgSurface::finish() {
    flush_path();
    if (clip_open_) body_ += "</g>\n";
    clip_open_ = false;
    return body_ + "</svg>\n";
}

} // namespace plox
