// The menu-state rules evaluated whenever the main menu opens: which items are greyed,
// checked or relabelled, from a snapshot of the program's state.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace plox::shell {

enum class Selection { None, Object, Objects, Region, ReadValuePoint };

struct MenuInputs {
    bool clipboard_text = false;
    // Object formats on the clipboard: "PloxArrow", "PloxRect", "PloxDot", "PloxLegend".
    bool clipboard_arrow = false, clipboard_rect = false, clipboard_dot = false,
         clipboard_legend = false;
    bool free_object_slot = true;
    int graph_count = 1;
    int current_graph = 0;
    bool show_all = false;
    bool preview = false;
    double default_page_width_mm = 210;
    Selection selection = Selection::None;
    int series_count = 0;
    bool x_common = false;
    bool y_common = false;
};

struct ItemState {
    bool enabled = true;
    bool checked = false;
    std::optional<std::string> label; // a replaced label, shortcut text included
};

struct MenuState {
    std::map<int, ItemState> items;         // items the rules touch; others keep their state
    bool align_submenu_enabled = false;     // "位置あわせ(&J)"
    bool analysis_submenus_enabled = false; // menu 5 positions 0 to 4
    const ItemState* find(int id) const {
        auto it = items.find(id);
        return it == items.end() ? nullptr : &it->second;
    }
};

MenuState evaluate_menu_state(const MenuInputs& in);

} // namespace plox::shell
