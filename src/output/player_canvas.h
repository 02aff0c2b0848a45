// What the enhanced and the Windows metafile players share: the device-context state (objects,
// colours, mapping, clip, saved states, path) and the drawing onto our surface in the
// picture's target rectangle.
#pragma once

#include "output/metafile_text.h"
#include "render/surface.h"

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <variant>
#include <vector>

namespace plox {

struct PointD {
    double x = 0, y = 0;
};

// x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
struct Affine {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
    PointD apply(double x, double y) const {
        return {m11 * x + m21 * y + dx, m12 * x + m22 * y + dy};
    }
    Affine then(const Affine& next) const;
};

// The mapping values of a device context; the format's player turns them into an Affine.
struct MapState {
    uint32_t mode = 1; // MM_TEXT
    PointD window_org, viewport_org;
    PointD window_ext{1, 1}, viewport_ext{1, 1};
    Affine world;
};

// Pens and fonts keep logical sizes; they are scaled when selected into our surface.
struct PlayerPen {
    Pen pen;
    bool cosmetic = true;
};
// A region object of a Windows metafile, kept as its bounding box (logical units).
struct PlayerRegion {
    PointD a, b;
};
using PlayerObject = std::variant<std::monostate, PlayerPen, Brush, Font, PlayerRegion>;

// How a new clip combines with the current one (the RGN_ values).
namespace clip_mode {
inline constexpr uint32_t And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5;
}

class PlayerCanvas {
public:
    PlayerCanvas(Surface& surface, const MetafileText& text);
    ~PlayerCanvas();
    PlayerCanvas(const PlayerCanvas&) = delete;
    PlayerCanvas& operator=(const PlayerCanvas&) = delete;

    // Turns the mapping into logical → target and device → target maps (set by the player).
    std::function<Affine(const MapState&)> logical_map;
    std::function<Affine(const MapState&)> device_map;
    MapState& map() { return state_.map; }
    void map_changed();

    // Object table. Windows metafiles put a new object into the lowest free slot.
    void put_object(uint32_t index, PlayerObject object);
    std::optional<uint32_t> lowest_free_slot(size_t limit) const;
    void delete_object(uint32_t index);
    void select_object(uint32_t index);
    void select_stock_object(uint32_t number);

    void set_text_color(Color c) { state_.text_color = c; }
    void set_bk_color(Color c) { state_.bk_color = c; }
    void set_bk_mode(int32_t m) { state_.bk_mode = m; }
    void set_text_align(uint32_t a) { state_.align = a; }
    void set_rop2(int32_t m) { state_.rop2 = m; }
    void save();
    void restore(int32_t relative);
    void intersect_clip(PointD a, PointD b, bool device);
    // Clip regions are kept as bounding boxes: AND intersects, COPY replaces, OR and XOR widen
    // to the union, DIFF leaves the box as it is (the difference lies inside it).
    void combine_clip(PointD a, PointD b, bool device, uint32_t mode);
    // The current path's bounding box combined with the clip; the path is used up.
    void clip_to_path(uint32_t mode);
    void offset_clip(PointD offset);
    // SelectClipRgn with a region object of the table; any other index removes the clip.
    void select_clip_region(uint32_t index);
    void reset_clip();

    void begin_path();
    void end_path() { in_path_ = false; }
    void abort_path();
    void close_figure();
    void draw_path(bool fill, bool stroke);

    void move_to(PointD p);
    void line_to(PointD p);
    void polyline(std::span<const PointD> points, bool from_current);
    void bezier(std::span<const PointD> points, bool from_current);
    void polygons(std::span<const std::vector<PointD>> shapes);
    void rectangle(PointD a, PointD b);
    void round_rect(PointD a, PointD b, PointD corner);
    void ellipse(PointD a, PointD b);
    enum class ArcKind { Arc, Chord, Pie };
    void arc(ArcKind kind, PointD a, PointD b, PointD start, PointD end);
    void text(PointD reference, std::string_view bytes, uint8_t charset_hint);
    void text_utf16(PointD reference, std::u16string_view text);
    void image(PointD a, PointD b, const Image& image);
    void fill_with_brush(PointD a, PointD b);
    // FillRgn and PaintRgn: the region's box filled with the brush of the table's `brush` slot,
    // or with the selected brush.
    void fill_box(PointD a, PointD b, std::optional<uint32_t> brush);
    std::optional<PlayerRegion> region(uint32_t index) const;

    const Font& font() const { return state_.font; }
    const MetafileText& codec() const { return text_; }

private:
    struct State {
        MapState map;
        PlayerPen pen{Pen{pen_style::Solid, 0, 0}, true};
        Brush brush{brush_style::Solid, 0xFFFFFF, 0};
        Font font;
        Color text_color = 0, bk_color = 0xFFFFFF;
        int32_t bk_mode = bk_mode::Opaque, rop2 = 13;
        uint32_t align = 0;
        std::optional<Rect> clip;
        PointD cp;
    };

    Point to_target(PointD p) const;
    Rect target_box(PointD a, PointD b) const;
    void apply_pen();
    void apply_brush();
    void apply_clip();
    void combine_target_clip(const Rect& r, uint32_t mode);
    void add_to_path(std::span<const Point> points, bool from_current);

    Surface& surface_;
    const MetafileText& text_;
    State state_;
    std::vector<State> saved_;
    std::map<uint32_t, PlayerObject> objects_; // only what the file created
    Affine logical_, device_;
    double scale_x_ = 1, scale_y_ = 1;
    Rect outer_clip_;
    bool clip_touched_ = false;
    bool in_path_ = false;
    std::vector<std::vector<Point>> path_;
};

} // namespace plox
