// Shared playback state of the metafile players.
#include "output/player_canvas.h"

#include <algorithm>
#include <cmath>

namespace plox {

namespace {

constexpr size_t MAX_SAVED_STATES = 1024;
constexpr size_t MAX_PATH_POINTS = 1u << 22;
constexpr double COORD_LIMIT = 1e9;

int32_t to_int(double v) {
    if (!(v == v)) return 0; // NaN
    return static_cast<int32_t>(std::lround(std::clamp(v, -COORD_LIMIT, COORD_LIMIT)));
}

Rect intersect(const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

} // namespace

Affine Affine::then(const Affine& n) const {
    return {m11 * n.m11 + m12 * n.m21,      m11 * n.m12 + m12 * n.m22,
            m21 * n.m11 + m22 * n.m21,      m21 * n.m12 + m22 * n.m22,
            dx * n.m11 + dy * n.m21 + n.dx, dx * n.m12 + dy * n.m22 + n.dy};
}

PlayerCanvas::PlayerCanvas(Surface& surface, const MetafileText& text)
    : surface_(surface), text_(text), outer_clip_(surface.clip_box()) {
    state_.font.height = -1200;
    state_.font.weight = 400;
    state_.font.face = "Arial";
}

PlayerCanvas::~PlayerCanvas() {
    if (clip_touched_) surface_.set_clip_rect(&outer_clip_);
}

void PlayerCanvas::map_changed() {
    logical_ = logical_map ? logical_map(state_.map) : Affine{};
    device_ = device_map ? device_map(state_.map) : Affine{};
    scale_x_ = std::hypot(logical_.m11, logical_.m12);
    scale_y_ = std::hypot(logical_.m21, logical_.m22);
}

Point PlayerCanvas::to_target(PointD p) const {
    const PointD t = logical_.apply(p.x, p.y);
    return {to_int(t.x), to_int(t.y)};
}

Rect PlayerCanvas::target_box(PointD a, PointD b) const {
    const Point p = to_target(a), q = to_target(b);
    return {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
}

void PlayerCanvas::put_object(uint32_t index, PlayerObject object) {
    if (index >= (1u << 16)) return;
    objects_[index] = std::move(object);
}

std::optional<uint32_t> PlayerCanvas::lowest_free_slot(size_t limit) const {
    uint32_t i = 0;
    for (const auto& [index, object] : objects_) {
        if (index != i) break; // the map is ordered: the first gap is the lowest free slot
        ++i;
    }
    if (i < limit) return i;
    return std::nullopt;
}

void PlayerCanvas::delete_object(uint32_t index) {
    objects_.erase(index);
}

void PlayerCanvas::select_object(uint32_t index) {
    const auto found = objects_.find(index);
    if (found == objects_.end()) return;
    const PlayerObject& o = found->second;
    if (const auto* pen = std::get_if<PlayerPen>(&o)) state_.pen = *pen;
    if (const auto* brush = std::get_if<Brush>(&o)) state_.brush = *brush;
    if (const auto* font = std::get_if<Font>(&o)) state_.font = *font;
    // Selecting a region makes it the clip (a copy of it).
    if (const auto* region = std::get_if<PlayerRegion>(&o))
        combine_clip(region->a, region->b, false, clip_mode::Copy);
}

void PlayerCanvas::select_stock_object(uint32_t number) {
    const Color greys[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0};
    if (number <= 4) state_.brush = Brush{brush_style::Solid, greys[number], 0};
    if (number == 5) state_.brush = Brush{brush_style::Hollow, 0, 0};
    if (number == 6) state_.pen = {Pen{pen_style::Solid, 0, 0xFFFFFF}, true};
    if (number == 7) state_.pen = {Pen{pen_style::Solid, 0, 0}, true};
    if (number == 8) state_.pen = {Pen{pen_style::Null, 0, 0}, true};
    if (number >= 10 && number <= 17 && number != 15) {
        Font f;
        f.height = -1200;
        f.weight = 400;
        f.face = number == 10 || number == 11 || number == 16 ? "Courier New" : "Arial";
        state_.font = f;
    }
}

void PlayerCanvas::save() {
    if (saved_.size() < MAX_SAVED_STATES) saved_.push_back(state_);
}

void PlayerCanvas::restore(int32_t relative) {
    if (relative >= 0) return;
    const size_t n = static_cast<size_t>(-static_cast<int64_t>(relative));
    if (n > saved_.size()) return;
    state_ = saved_[saved_.size() - n];
    saved_.resize(saved_.size() - n);
    map_changed();
    apply_clip();
}

void PlayerCanvas::apply_clip() {
    clip_touched_ = true;
    const Rect r = state_.clip ? intersect(*state_.clip, outer_clip_) : outer_clip_;
    surface_.set_clip_rect(&r);
}

void PlayerCanvas::intersect_clip(PointD a, PointD b, bool device) {
    combine_clip(a, b, device, clip_mode::And);
}

void PlayerCanvas::combine_clip(PointD a, PointD b, bool device, uint32_t mode) {
    const Affine& m = device ? device_ : logical_;
    const PointD p = m.apply(a.x, a.y), q = m.apply(b.x, b.y);
    const Rect r{to_int(std::min(p.x, q.x)), to_int(std::min(p.y, q.y)), to_int(std::max(p.x, q.x)),
                 to_int(std::max(p.y, q.y))};
    combine_target_clip(r, mode);
}

void PlayerCanvas::combine_target_clip(const Rect& r, uint32_t mode) {
    switch (mode) {
    case clip_mode::And:
        state_.clip = state_.clip ? intersect(*state_.clip, r) : r;
        break;
    case clip_mode::Copy:
        state_.clip = r;
        break;
    case clip_mode::Or:
    case clip_mode::Xor:
        // Without a clip everything is visible already.
        if (state_.clip)
            state_.clip = Rect{
                std::min(state_.clip->left, r.left), std::min(state_.clip->top, r.top),
                std::max(state_.clip->right, r.right), std::max(state_.clip->bottom, r.bottom)};
        break;
    default:
        return;
    }
    apply_clip();
}

void PlayerCanvas::clip_to_path(uint32_t mode) {
    in_path_ = false;
    bool any = false;
    Rect box{};
    for (const auto& figure : path_)
        for (const Point& p : figure) {
            if (!any) box = {p.x, p.y, p.x, p.y};
            box = {std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
                   std::max(box.bottom, p.y)};
            any = true;
        }
    path_.clear();
    if (any) combine_target_clip(box, mode);
}

void PlayerCanvas::select_clip_region(uint32_t index) {
    const auto found = objects_.find(index);
    const auto* region =
        found == objects_.end() ? nullptr : std::get_if<PlayerRegion>(&found->second);
    if (region)
        combine_clip(region->a, region->b, false, clip_mode::Copy);
    else
        reset_clip();
}

void PlayerCanvas::offset_clip(PointD offset) {
    if (!state_.clip) return;
    const int32_t dx = to_int(offset.x * logical_.m11 + offset.y * logical_.m21);
    const int32_t dy = to_int(offset.x * logical_.m12 + offset.y * logical_.m22);
    Rect& c = *state_.clip;
    c = {to_int(double(c.left) + dx), to_int(double(c.top) + dy), to_int(double(c.right) + dx),
         to_int(double(c.bottom) + dy)};
    apply_clip();
}

void PlayerCanvas::reset_clip() {
    if (!state_.clip && !clip_touched_) return;
    state_.clip.reset();
    apply_clip();
}

void PlayerCanvas::apply_pen() {
    Pen p = state_.pen.pen;
    if (!state_.pen.cosmetic && p.width > 0)
        p.width = std::max(1, to_int(p.width * std::min(scale_x_, 1e6)));
    else
        p.width = 0;
    surface_.set_rop2(state_.rop2);
    surface_.select_pen(p);
}

void PlayerCanvas::apply_brush() {
    surface_.set_bk_mode(state_.bk_mode);
    surface_.set_bk_color(state_.bk_color);
    surface_.select_brush(state_.brush);
}

void PlayerCanvas::begin_path() {
    in_path_ = true;
    path_.clear();
}

void PlayerCanvas::abort_path() {
    in_path_ = false;
    path_.clear();
}

void PlayerCanvas::close_figure() {
    if (in_path_ && !path_.empty() && !path_.back().empty())
        path_.back().push_back(path_.back().front());
}

void PlayerCanvas::add_to_path(std::span<const Point> points, bool from_current) {
    size_t total = 0;
    for (const auto& f : path_)
        total += f.size();
    if (total + points.size() > MAX_PATH_POINTS) return;
    if (!from_current || path_.empty()) path_.push_back({to_target(state_.cp)});
    path_.back().insert(path_.back().end(), points.begin(), points.end());
}

void PlayerCanvas::draw_path(bool fill, bool stroke) {
    in_path_ = false;
    std::vector<std::vector<PointD>> none;
    std::vector<std::vector<Point>> shapes;
    shapes.swap(path_);
    if (fill) {
        // One even-odd polygon through every figure keeps holes as holes.
        std::vector<Point> all;
        for (const auto& f : shapes) {
            all.insert(all.end(), f.begin(), f.end());
            if (!f.empty()) all.push_back(f.front());
        }
        if (all.size() >= 3) {
            apply_brush();
            surface_.select_pen(Pen{pen_style::Null, 0, 0});
            surface_.polygon(all);
        }
    }
    if (stroke) {
        apply_pen();
        for (const auto& f : shapes)
            if (f.size() >= 2) surface_.polyline(f);
    }
}

void PlayerCanvas::move_to(PointD p) {
    state_.cp = p;
    if (in_path_) path_.push_back({to_target(p)});
}

void PlayerCanvas::line_to(PointD p) {
    const Point a = to_target(state_.cp), b = to_target(p);
    state_.cp = p;
    if (in_path_) {
        add_to_path(std::span(&b, 1), true);
        return;
    }
    apply_pen();
    surface_.move_to(a.x, a.y);
    surface_.line_to(b.x, b.y);
}

void PlayerCanvas::polyline(std::span<const PointD> points, bool from_current) {
    std::vector<Point> pts;
    pts.reserve(points.size() + 1);
    if (from_current && !in_path_) pts.push_back(to_target(state_.cp));
    for (const PointD& p : points)
        pts.push_back(to_target(p));
    if (!points.empty() && from_current) state_.cp = points.back();
    if (in_path_) {
        if (from_current)
            add_to_path(pts, true);
        else if (!pts.empty()) {
            path_.push_back({});
            path_.back().assign(pts.begin(), pts.end());
        }
        return;
    }
    if (pts.size() < 2) return;
    apply_pen();
    surface_.polyline(pts);
}

void PlayerCanvas::bezier(std::span<const PointD> points, bool from_current) {
    std::vector<PointD> flat;
    PointD start = from_current ? state_.cp : (points.empty() ? PointD{} : points[0]);
    size_t i = from_current ? 0 : 1;
    if (!from_current) flat.push_back(start);
    constexpr int STEPS = 16;
    for (; i + 2 < points.size(); i += 3) {
        const PointD c1 = points[i], c2 = points[i + 1], e = points[i + 2];
        for (int s = 1; s <= STEPS; ++s) {
            const double t = static_cast<double>(s) / STEPS, u = 1 - t;
            flat.push_back({u * u * u * start.x + 3 * u * u * t * c1.x + 3 * u * t * t * c2.x +
                                t * t * t * e.x,
                            u * u * u * start.y + 3 * u * u * t * c1.y + 3 * u * t * t * c2.y +
                                t * t * t * e.y});
        }
        start = e;
    }
    polyline(flat, from_current);
}

void PlayerCanvas::polygons(std::span<const std::vector<PointD>> shapes) {
    if (in_path_) {
        for (const auto& s : shapes) {
            path_.push_back({});
            for (const PointD& p : s)
                path_.back().push_back(to_target(p));
            if (!s.empty()) path_.back().push_back(to_target(s.front()));
        }
        return;
    }
    std::vector<std::vector<Point>> mapped;
    for (const auto& s : shapes) {
        if (s.size() < 2) continue;
        mapped.emplace_back();
        for (const PointD& p : s)
            mapped.back().push_back(to_target(p));
    }
    if (mapped.empty()) return;
    if (mapped.size() == 1) {
        apply_pen();
        apply_brush();
        surface_.polygon(mapped.front());
        return;
    }
    path_ = std::move(mapped);
    for (auto& f : path_)
        f.push_back(f.front());
    draw_path(state_.brush.style != brush_style::Hollow, state_.pen.pen.style != pen_style::Null);
}

void PlayerCanvas::rectangle(PointD a, PointD b) {
    if (in_path_) {
        const std::vector<PointD> r{{a.x, a.y}, {b.x, a.y}, {b.x, b.y}, {a.x, b.y}};
        polygons(std::span(&r, 1));
        return;
    }
    const Rect r = target_box(a, b);
    apply_pen();
    apply_brush();
    surface_.rectangle(r.left, r.top, r.right, r.bottom);
}

void PlayerCanvas::round_rect(PointD a, PointD b, PointD corner) {
    const Rect r = target_box(a, b);
    apply_pen();
    apply_brush();
    surface_.round_rect(r.left, r.top, r.right, r.bottom, to_int(std::abs(corner.x) * scale_x_),
                        to_int(std::abs(corner.y) * scale_y_));
}

void PlayerCanvas::ellipse(PointD a, PointD b) {
    const Rect r = target_box(a, b);
    apply_pen();
    apply_brush();
    surface_.ellipse(r.left, r.top, r.right, r.bottom);
}

void PlayerCanvas::arc(ArcKind kind, PointD a, PointD b, PointD start, PointD end) {
    const Rect r = target_box(a, b);
    Point s = to_target(start), e = to_target(end);
    // A mirrored mapping turns counter-clockwise into clockwise.
    if ((logical_.m11 * logical_.m22 - logical_.m12 * logical_.m21) < 0) std::swap(s, e);
    apply_pen();
    if (kind == ArcKind::Arc) {
        surface_.arc(r.left, r.top, r.right, r.bottom, s.x, s.y, e.x, e.y);
        return;
    }
    apply_brush();
    if (kind == ArcKind::Chord) {
        surface_.chord(r.left, r.top, r.right, r.bottom, s.x, s.y, e.x, e.y);
        return;
    }
    // A pie is its chord plus the triangle to the centre.
    const Point c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    auto on_ellipse = [&](Point p) {
        const double a0 = std::atan2(p.y - c.y, p.x - c.x);
        return Point{to_int(c.x + (r.right - r.left) / 2.0 * std::cos(a0)),
                     to_int(c.y + (r.bottom - r.top) / 2.0 * std::sin(a0))};
    };
    const Point ps = on_ellipse(s), pe = on_ellipse(e);
    surface_.select_pen(Pen{pen_style::Null, 0, 0});
    surface_.chord(r.left, r.top, r.right, r.bottom, s.x, s.y, e.x, e.y);
    const Point tri[3] = {c, ps, pe};
    surface_.polygon(tri);
    apply_pen();
    surface_.arc(r.left, r.top, r.right, r.bottom, s.x, s.y, e.x, e.y);
    const Point sides[3] = {ps, c, pe};
    surface_.polyline(sides);
}

void PlayerCanvas::text(PointD reference, std::string_view bytes, uint8_t) {
    if (bytes.empty()) return;
    Font f = state_.font;
    f.height = to_int(f.height * std::min(scale_y_, 1e6));
    f.width = to_int(f.width * std::min(scale_x_, 1e6));
    if (f.height == 0) f.height = -1; // a zero height would pick the reader's default size
    // A mirrored y axis turns the escapement the other way.
    if (logical_.m22 < 0) f.escapement = -f.escapement, f.orientation = -f.orientation;
    surface_.select_font(f);
    surface_.set_text_color(state_.text_color);
    surface_.set_bk_mode(state_.bk_mode);
    surface_.set_bk_color(state_.bk_color);
    surface_.set_text_align(state_.align);
    const Point p = to_target(reference);
    if (state_.align & text_align::UpdateCP) {
        const Point cp = to_target(state_.cp);
        surface_.move_to(cp.x, cp.y);
    }
    surface_.text_out(p.x, p.y, bytes);
}

void PlayerCanvas::text_utf16(PointD reference, std::u16string_view s) {
    text(reference, text_.from_utf16(s, state_.font.charset), state_.font.charset);
}

void PlayerCanvas::image(PointD a, PointD b, const Image& image) {
    const Point p = to_target(a), q = to_target(b);
    surface_.draw_image(
        {std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)}, image);
}

void PlayerCanvas::fill_with_brush(PointD a, PointD b) {
    surface_.fill_rect(target_box(a, b), state_.brush);
}

void PlayerCanvas::fill_box(PointD a, PointD b, std::optional<uint32_t> brush) {
    Brush fill = state_.brush;
    if (brush) {
        const auto found = objects_.find(*brush);
        const Brush* b2 = found == objects_.end() ? nullptr : std::get_if<Brush>(&found->second);
        if (!b2) return; // no such brush: nothing is painted
        fill = *b2;
    }
    surface_.fill_rect(target_box(a, b), fill);
}

std::optional<PlayerRegion> PlayerCanvas::region(uint32_t index) const {
    const auto found = objects_.find(index);
    if (found == objects_.end()) return std::nullopt;
    if (const auto* r = std::get_if<PlayerRegion>(&found->second)) return *r;
    return std::nullopt;
}

} // namespace plox
