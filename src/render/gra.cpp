// GRA picture reader and renderer.
#include "render/gra.h"

#include "document/file_access.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <unistd.h>

#include "render/gra_tables.h"
#include "render/rich_text_sjis.h"

namespace plox {

namespace {

// sscanf-style "%d": optional blanks, a sign, at least one digit; saturates instead of overflowing.
bool scan_int(std::string_view s, size_t& pos, int32_t& out) {
    size_t i = pos;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    size_t start = i;
    int64_t v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        v = std::min<int64_t>(v * 10 + (s[i] - '0'), int64_t(INT32_MAX) + 1);
    if (i == start) return false;
    v = negative ? -v : v;
    out = static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    pos = i;
    return true;
}

// Converts up to `count` comma-separated numbers at s[pos] into out[0..]; returns how many.
int scan_list(std::string_view s, size_t pos, int32_t* out, int count) {
    int n = 0;
    while (n < count) {
        if (n > 0) {
            if (pos >= s.size() || s[pos] != ',') break;
            ++pos;
        }
        if (!scan_int(s, pos, out[n])) break;
        ++n;
    }
    return n;
}

int format_size(char letter) {
    switch (letter) {
    case 'A':
    case 'L':
        return 5;
    case 'B':
    case 'V':
        return 6;
    case 'C':
        return 8;
    case 'F':
        return 9;
    case 'M':
    case 'N':
    case 'P':
    case 'T':
        return 3;
    case 'O':
        return 2;
    default:
        return 0;
    }
}

// Lines of at most GRA_LINE_CAPACITY - 1 bytes; the rest of a longer line is skipped, so an
// overlong line can neither grow memory nor turn its tail into records.
class LineReader {
public:
    explicit LineReader(std::FILE* file) : file_(file) {}
    explicit LineReader(std::string_view data) : data_(data) {}

    bool next(std::string& line) {
        line.clear();
        bool any = false;
        for (;;) {
            if (pos_ >= data_.size() && !refill()) break;
            any = true;
            size_t nl = data_.find('\n', pos_);
            size_t end = nl == std::string_view::npos ? data_.size() : nl;
            size_t room = GRA_LINE_CAPACITY - 1 - std::min(line.size(), GRA_LINE_CAPACITY - 1);
            line.append(data_.substr(pos_, std::min(room, end - pos_)));
            pos_ = end;
            if (nl != std::string_view::npos) {
                ++pos_;
                break;
            }
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line.back() == '\x1a') line.pop_back();
        return any;
    }

private:
    bool refill() {
        if (!file_) return false;
        size_t n = std::fread(buffer_.get(), 1, BUFFER, file_);
        data_ = std::string_view(buffer_.get(), n);
        pos_ = 0;
        return n > 0;
    }
    static constexpr size_t BUFFER = 1 << 16;
    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> buffer_{file_ ? new char[BUFFER] : nullptr};
    std::string_view data_;
    size_t pos_ = 0;
};

// Keeps drawn coordinates within a range every backend handles, whatever the file says.
int32_t clamp_coord(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, -10'000'000, 10'000'000));
}

class GraPainter {
public:
    GraPainter(Surface& s, const TextMeasurer& m, int32_t x0, int32_t y0, int32_t scale,
               const FontMapping& mapping)
        : surface_(s), measurer_(m), x0_(x0), y0_(y0), ox_(x0), oy_(y0), scale_(scale),
          fonts_(mapping) {}

    void start() {
        surface_.set_text_align(text_align::Baseline | text_align::UpdateCP);
        surface_.set_bk_mode(bk_mode::Transparent);
        surface_.set_text_color(0);
        select_line_pen();
        surface_.select_brush(solid_brush());
        font_ = fonts_.faces[0];
    }

    void record(const GraRecord& r, const std::array<int32_t, 2 * GRA_MAX_POLYGON>& pts, int npts) {
        const auto& v = r.values;
        if (r.letter != 'L' && r.letter != 'T' && r.letter != 'M' && r.letter != 'N') finish();
        switch (r.letter) {
        case 'A':
            pen_style_ = gra_pen_style(v[1]);
            pen_width_ = length(v[2]);
            pen_color_ = gra_color(v[3]);
            select_line_pen();
            break;
        case 'B':
            rectangle(v);
            break;
        case 'C':
            circle(r.parsed > 0 ? v[0] : 0, v);
            break;
        case 'D':
            polygon(v[2], pts, npts);
            break;
        case 'F':
            font(v);
            break;
        case 'K':
            if (fonts_.SymbolUse)
                text_sjis(r.text);
            else
                text(r.text, font_);
            break;
        case 'S':
            text(r.text, font_);
            break;
        case 'L':
            move(px(v[1]), py(v[2]));
            if (pen_width_ >= 1)
                line(px(v[3]), py(v[4]));
            else
                move(px(v[3]), py(v[4]));
            break;
        case 'M':
            move(px(v[1]), py(v[2]));
            break;
        case 'N':
            move(clamp_coord(int64_t(cx_) + length(v[1])),
                 clamp_coord(int64_t(cy_) + length(v[2])));
            break;
        case 'O':
            fill_color_ = gra_color(v[1]);
            break;
        case 'P':
            if (pen_width_ >= 1) {
                int32_t x = px(v[1]), y = py(v[2]), h = pen_width_ / 2;
                surface_.select_brush(solid_brush());
                surface_.ellipse(x - h, y - h, x + pen_width_ - h, y + pen_width_ - h);
                extend(x - h, y - h);
                extend(x + pen_width_ - h, y + pen_width_ - h);
            }
            break;
        case 'T':
            if (pen_width_ >= 1)
                line(px(v[1]), py(v[2]));
            else
                move(px(v[1]), py(v[2]));
            break;
        case 'V':
            ox_ = clamp_coord(int64_t(x0_) + int64_t(scale_) * v[1] / 10000);
            oy_ = clamp_coord(int64_t(y0_) + int64_t(scale_) * v[2] / 10000);
            break;
        default:
            break;
        }
    }

    // Draws the dashed run still held back.
    void finish() {
        if (run_.size() < 2) return;
        surface_.polyline(run_);
        run_.clear();
        surface_.move_to(cx_, cy_);
    }

    Rect extent() const { return box_; }

private:
    static int32_t MulDiv(int64_t a, int64_t b, int64_t c) {
        if (c == 0) return -1;
        int64_t p = a * b;
        int64_t q = (p >= 0 ? p + c / 2 : p - c / 2) / c;
        return static_cast<int32_t>(std::clamp<int64_t>(q, INT32_MIN, INT32_MAX));
    }
    int32_t px(int32_t x) const { return clamp_coord(ox_ + int64_t(scale_) * x / 10000); }
    int32_t py(int32_t y) const { return clamp_coord(oy_ + int64_t(scale_) * y / 10000); }
    int32_t length(int32_t l) const { return clamp_coord(int64_t(scale_) * l / 10000); }

    Brush solid_brush() const { return Brush{brush_style::Solid, fill_color_, 0}; }
    Brush hollow_brush() const { return Brush{brush_style::Hollow, fill_color_, 0}; }
    void select_line_pen() {
        surface_.select_pen(Pen{pen_style_, std::max(pen_width_, 0), pen_color_});
    }

    void extend(int32_t x, int32_t y) {
        box_.left = std::min(box_.left, x);
        box_.top = std::min(box_.top, y);
        box_.right = std::max(box_.right, x);
        box_.bottom = std::max(box_.bottom, y);
    }
    void move(int32_t x, int32_t y) {
        cx_ = x;
        cy_ = y;
        surface_.move_to(x, y);
    }
    // A patterned pen restarts its pattern with every line drawn, so curves written as many short
    // line records would lose their dashes; connected lines are therefore held back and drawn as
    // one polyline.
    void line(int32_t x, int32_t y) {
        extend(cx_, cy_);
        extend(x, y);
        if (pen_style_ == pen_style::Solid) {
            surface_.line_to(x, y);
        } else {
            if (run_.empty() || run_.back() != Point{cx_, cy_}) {
                finish();
                run_.push_back(Point{cx_, cy_});
            }
            run_.push_back(Point{x, y});
        }
        cx_ = x;
        cy_ = y;
    }

    // Fill: a solid brush with a thin outline in the fill colour; else the line pen, hollow.
    void select_fill(bool fill) {
        if (fill) {
            surface_.select_pen(Pen{pen_style::Solid, 0, fill_color_});
            surface_.select_brush(solid_brush());
        } else {
            select_line_pen();
            surface_.select_brush(hollow_brush());
        }
    }

    void rectangle(const std::array<int32_t, 9>& v) {
        bool fill = v[5] != 0;
        if (!fill && pen_width_ < 1) return;
        select_fill(fill);
        int32_t l = px(v[1]), t = py(v[2]), r = px(v[3]), b = py(v[4]);
        surface_.rectangle(std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b));
        extend(l, t);
        extend(r, b);
        if (fill) select_line_pen();
    }

    void circle(int32_t n, const std::array<int32_t, 9>& v) {
        int fill = v[4];
        if (fill == 0 && pen_width_ < 1) return;
        int32_t x = px(v[1]), y = py(v[2]);
        int32_t rx = std::abs(length(v[3]));
        int32_t ry = n < 5 ? rx : std::abs(length(v[5]));
        select_fill(fill != 0);
        int32_t l = x - rx, t = y - ry, r = x + rx, b = y + ry;
        extend(l, t);
        extend(r, b);
        if (n < 6) {
            surface_.ellipse(l, t, r, b);
        } else {
            int64_t a1 = v[6], a2 = v[7];
            int64_t span = ((a2 - a1) % 3600 + 3600) % 3600;
            if (span == 0) span = a2 != a1 ? 3600 : 0;
            auto at = [&](int64_t a) {
                double rad = static_cast<double>(a % 3600) * std::numbers::pi / 1800.0;
                return Point{clamp_coord(x + std::llround(rx * std::cos(rad))),
                             clamp_coord(y - std::llround(ry * std::sin(rad)))};
            };
            Point start = at(a1), end = at(a1 + span);
            if (fill == 1) {
                if (span > 1800) {
                    Point opposite = at(a1 + 1800);
                    surface_.chord(l, t, r, b, start.x, start.y, opposite.x, opposite.y);
                    surface_.chord(l, t, r, b, opposite.x, opposite.y, end.x, end.y);
                    Point tri[3] = {{x, y}, opposite, end};
                    surface_.polygon(tri);
                } else {
                    surface_.chord(l, t, r, b, start.x, start.y, end.x, end.y);
                    Point tri[3] = {{x, y}, start, end};
                    surface_.polygon(tri);
                }
            } else {
                surface_.arc(l, t, r, b, start.x, start.y, end.x, end.y);
            }
        }
        if (fill != 0) select_line_pen();
    }

    void polygon(int32_t fill, const std::array<int32_t, 2 * GRA_MAX_POLYGON>& pts, int npts) {
        if (npts < 2) return;
        // The outline follows the record's fill flag, like its brush.
        select_fill(fill == 1);
        Point p[GRA_MAX_POLYGON];
        for (int i = 0; i < npts; ++i) {
            p[i] = {px(pts[2 * i]), py(pts[2 * i + 1])};
            extend(p[i].x, p[i].y);
        }
        surface_.polygon(std::span<const Point>(p, npts));
        if (fill == 1) select_line_pen();
    }

    void font(const std::array<int32_t, 9>& v) {
        int slot = std::clamp(v[1], 0, GRA_FONT_SLOTS - 1);
        int32_t size = v[0] == 6 ? static_cast<int32_t>(std::clamp<int64_t>(int64_t(v[3]) * 100,
                                                                            INT32_MIN, INT32_MAX))
                                 : v[7];
        LogFont& f = fonts_.faces[slot];
        f.height =
            -std::clamp(MulDiv(size, int64_t(scale_) * 127, 3600000), -10'000'000, 10'000'000);
        f.weight = (v[2] == 1 || v[2] == 3) ? 700 : 400;
        f.italic = (v[2] == 2 || v[2] == 3) ? 1 : 0;
        f.escapement = f.orientation =
            v[6] == 1 ? 900 : static_cast<int32_t>(-(int64_t(v[6]) % 3600));
        font_ = f;
        text_color_ = gra_color(v[5]);
        surface_.set_text_color(text_color_);
    }

    void text(std::string_view bytes, const LogFont& f) {
        if (bytes.empty()) return;
        surface_.select_font(f);
        surface_.move_to(cx_, cy_);
        surface_.text_out(cx_, cy_, bytes);
        Size sz = measurer_.text_extent(f, bytes);
        double theta = f.escapement * std::numbers::pi / 1800.0;
        int32_t ex = clamp_coord(cx_ + std::llround(sz.cx * std::cos(theta)));
        int32_t ey = clamp_coord(cy_ - std::llround(sz.cx * std::sin(theta)));
        extend(cx_, cy_);
        extend(ex, ey);
        extend(clamp_coord(ex - std::llround(sz.cy * std::sin(theta))),
               clamp_coord(ey - std::llround(sz.cy * std::cos(theta))));
        cx_ = ex;
        cy_ = ey;
    }

    // Shift-JIS Greek letters are drawn one by one with the Symbol slot.
    void text_sjis(std::string_view bytes) {
        LogFont symbol = fonts_.faces[GRA_SYMBOL_SLOT];
        symbol.height = font_.height;
        symbol.weight = font_.weight;
        symbol.italic = font_.italic;
        symbol.escapement = symbol.orientation = font_.escapement;
        std::string run;
        for (size_t i = 0; i < bytes.size();) {
            if (bytes[i] == '\\' && i + 1 < bytes.size()) ++i;
            std::string_view pair = bytes.substr(i, 2);
            i += pair.size();
            if (char letter = sjis_greek_to_symbol(pair)) {
                text(run, font_);
                run.clear();
                text(std::string_view(&letter, 1), symbol);
            } else {
                run.append(pair);
            }
        }
        text(run, font_);
    }

    Surface& surface_;
    const TextMeasurer& measurer_;
    int32_t x0_, y0_, ox_, oy_, scale_;
    FontMapping fonts_;
    LogFont font_;
    int32_t pen_style_ = pen_style::Solid;
    int32_t pen_width_ = 40;
    Color pen_color_ = 0;
    Color fill_color_ = 0xFFFFFF;
    Color text_color_ = 0;
    int32_t cx_ = 0, cy_ = 0;
    Rect box_{30000, 30000, -30000, -30000};
    std::vector<Point> run_;
};

GraResult draw_gra(Surface& surface, const TextMeasurer& measurer, LineReader& reader, int32_t x0,
                   int32_t y0, int32_t scale, const FontMapping& mapping) {
    GraResult result;
    std::string line;
    if (!reader.next(line) || line.find("Ngraph GRA file") == std::string::npos) return result;
    reader.next(line);
    GraPainter painter(surface, measurer, x0, y0, scale, mapping);
    painter.start();
    GraRecord record;
    std::array<int32_t, 2 * GRA_MAX_POLYGON> points{};
    while (reader.next(line)) {
        int n = parse_gra_record(line, record, points);
        painter.record(record, points, n);
    }
    painter.finish();
    result.status = 0;
    result.extent = painter.extent();
    return result;
}

} // namespace

int parse_gra_record(std::string_view line, GraRecord& record,
                     std::array<int32_t, 2 * GRA_MAX_POLYGON>& points) {
    record.letter = line.empty() ? 0 : line[0];
    record.parsed = 0;
    record.text.clear();
    if (record.letter == 'S' || record.letter == 'K') {
        // From the sixth character to the end of the line, its last character dropped (the
        // writer ends every text with a separator).
        if (line.size() > 6) record.text.assign(line.substr(5, line.size() - 6));
        return 0;
    }
    std::string_view numbers = line.size() > 2 ? line.substr(2) : std::string_view{};
    if (record.letter == 'D') {
        record.parsed = scan_list(numbers, 0, record.values.data(), 3);
        if (record.parsed < 3) return 0;
        // Points follow the three leading numbers; re-scan them into the point list.
        int32_t all[3 + 2 * GRA_MAX_POLYGON];
        int wanted = 2 * std::clamp(record.values[1], 0, GRA_MAX_POLYGON);
        int got = scan_list(numbers, 0, all, 3 + wanted) - 3;
        int n = std::max(got, 0) / 2;
        std::copy(all + 3, all + 3 + 2 * n, points.begin());
        return n;
    }
    if (int size = format_size(record.letter))
        record.parsed = scan_list(numbers, 0, record.values.data(), size);
    return 0;
}

GraResult draw_gra_text(Surface& surface, const TextMeasurer& measurer, std::string_view contents,
                        int32_t x0, int32_t y0, int32_t scale, const FontMapping& mapping) {
    LineReader reader(contents);
    return draw_gra(surface, measurer, reader, x0, y0, scale, mapping);
}

GraResult draw_gra_file(Surface& surface, const TextMeasurer& measurer, const std::string& path,
                        int32_t x0, int32_t y0, int32_t scale, const FontMapping& mapping) {
    // Only a regular file: a FIFO or device named by a picture would stall or never end.
    const int fd = files::open_regular(path);
    if (fd < 0) return {};
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(::fdopen(fd, "rb"), std::fclose);
    if (!file) {
        ::close(fd);
        return {};
    }
    LineReader reader(file.get());
    return draw_gra(surface, measurer, reader, x0, y0, scale, mapping);
}

} // namespace plox
