// What the user has selected or grabbed on the page: the selection kinds of the page window,
// the group of objects a region selected, and which coordinates of a grabbed item follow the
// mouse.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plox::editing {

namespace kind {
inline constexpr int Nothing = 0;
inline constexpr int InsideFrame = 1;
inline constexpr int WholeFrame = 2;
inline constexpr int CornerTopLeft = 3, CornerBottomLeft = 4, CornerTopRight = 5,
                     CornerBottomRight = 6;
inline constexpr int EdgeBottom = 7, EdgeLeft = 8, EdgeTop = 9, EdgeRight = 10;
inline constexpr int Text = 11;
inline constexpr int ArrowStart = 12, ArrowEnd = 13, ArrowWhole = 14;
inline constexpr int Point = 15;
inline constexpr int Box = 18; // rectangle or picture body
inline constexpr int BoxTopLeft = 19, BoxTopRight = 20, BoxBottomLeft = 21, BoxBottomRight = 22;
inline constexpr int Group = 23;
inline constexpr int Region = 24;
} // namespace kind

inline bool is_frame_kind(int k) {
    return k >= kind::WholeFrame && k <= kind::EdgeRight;
}
inline bool is_object_kind(int k) {
    return k >= kind::Text && k <= kind::BoxBottomRight;
}

// One hit: the kind, the object slot (-1 for none) and the grabbed point of a point object.
struct Hit {
    int kind = kind::Nothing;
    int slot = -1;
    int point = 0;
    bool operator==(const Hit&) const = default;
};

// An object of some graph, as a region selects it.
struct ObjectRef {
    int graph = 0;
    int slot = 0;
    bool operator==(const ObjectRef&) const = default;
};

struct Rect32 {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect32&) const = default;
};

struct Selection {
    Hit hit;                      // the selected item of the current graph
    std::vector<ObjectRef> group; // kind::Group: the objects of every graph
    Rect32 region;                // kind::Group and kind::Region: page rectangle
    bool empty() const { return hit.kind == kind::Nothing; }
};

// Moving flags of one coordinate: it follows the mouse, its value is shown.
namespace moving {
inline constexpr int Follows = 1;
inline constexpr int Shown = 2;
} // namespace moving

// The status label of a kind ("Graph:", "title:", …); pictures say "図:" where rectangles say
// "枠:".
std::string status_label(int kind, bool picture);

} // namespace plox::editing
