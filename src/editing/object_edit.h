// Object operations of the page window: selecting by region, deleting with slot compaction,
// drawing order, aligning a group, the Tab order and inserting new objects with their defaults.
#pragma once

#include "document/model.h"
#include "editing/selection.h"

#include <optional>

namespace plox {
class SettingsStore;
}

namespace plox::editing {

// Every used object of every graph whose extent lies inside the page rectangle, as a group
// selection; empty (kind Nothing) when none does.
Selection select_region(const GraphSet& set, Rect32 region);

// The kind under which the Tab order and the clipboard treat an object, or Nothing for slots
// that are passed over (free slots, texts without text).
int object_selection_kind(const GraphObject& o);

// Tab (forward) or Shift+Tab: nothing → the whole frame → the objects in slot order → nothing.
Hit next_in_tab_order(const Graph& g, const Hit& from, bool backwards);

// Deletes the selected objects (a single object, or every object of a group) and compacts the
// slots of each graph touched; false when the selection holds no object.
bool delete_selection(GraphSet& set, const Selection& s);

// Drawing order: "上に" makes the object the last one drawn, "下に" the first; answers the
// object's new slot (-1: nothing done).
int bring_to_front(Graph& g, int slot);
int send_to_back(Graph& g, int slot);

// Aligns every object of a group selection on its region: 0 left, 1 centre, 2 right, by the
// extents the objects had when last drawn; objects whose x refers to an axis stay.
enum class Align { Left, Centre, Right };
bool align_group(GraphSet& set, const Selection& s, Align how);

// Puts `object` into the lowest free slot (made used); -1 when the graph is full.
int insert_object(Graph& g, const GraphObject& object);

// Defaults of new objects: the built-in values overlaid by the settings ("Title Ini", the axis
// title keys, "Arrow Ini", "Rect Ini", "Dot Ini") when a store is given.
GraphObject new_text(const Graph& g, int32_t type, const SettingsStore* store);
GraphObject new_arrow(const Graph& g, const SettingsStore* store);
GraphObject new_rectangle(const Graph& g, const SettingsStore* store);
GraphObject new_point_object(const Graph& g, const SettingsStore* store);
GraphObject new_picture(const Graph& g);

// Writes the defaults of a text ("Title Ini" or its axis key), an arrow or a rectangle.
void save_object_defaults(SettingsStore& store, const GraphObject& o);

// The settings key of an object's defaults.
const char* defaults_key(int32_t type);

// A LOGFONT as the 60 bytes of a binary setting (and back; false for a wrong size).
std::vector<uint8_t> font_bytes(const LogFont& f);
bool font_from_bytes(const std::vector<uint8_t>& bytes, LogFont& f);

} // namespace plox::editing
