// The item lists shared by macro lines and the command server: "Data" edits the data template
// (and opens series with it), "AxisSet" the axes and "FrameSet" the frame of the current graph.
#pragma once

#include "document/model.h"

#include <functional>
#include <string>
#include <string_view>

namespace plox {

enum class ItemCommand { Data, AxisSet, FrameSet };

// What the items act on. `graph` may be null (AxisSet and FrameSet items then do nothing);
// `open` adds a series from a file with the template, `clear_scale` sets one axis (0..3) to its
// automatic range at once. `before_change` is called once before the first item that changes
// the graph.
struct ItemTarget {
    Series* data_template = nullptr;
    Graph* graph = nullptr;
    std::function<void(const std::string& path)> open;
    std::function<void(int axis)> clear_scale;
    std::function<void()> before_change;
};

inline constexpr size_t ITEM_KEYWORD_CAPACITY = 260; // 259 bytes
inline constexpr size_t ITEM_VALUE_CAPACITY = 1024;  // 1023 bytes

// Applies the items of `text` left to right. True when the list was consumed (an unknown
// keyword ends it), false when it met a keyword that belongs to another command; the items
// before that keyword have taken effect.
bool apply_items(ItemCommand command, std::string_view text, ItemTarget& target);

// Decimal integer: leading blanks, optional sign, digits up to the first non-digit; 0 without
// digits; saturated at the limits of int32.
int32_t read_item_integer(std::string_view text);

// Scale type of a word: "linear" 0, "log" 1, "Inverse" 2, "LogNormal" 3, "Inverse2" 4 (any
// case); 0 for anything else.
int32_t scale_type_of(std::string_view word);

// The frame position rule of macros: each value clamped to 1000..28000, then while a margin
// plus its size exceeds 32000 the larger of the two (the size on a tie) loses 1000.
void clamp_macro_frame(int32_t& left, int32_t& top, int32_t& width, int32_t& height);

} // namespace plox
