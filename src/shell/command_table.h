// The command numbers, the main menu "PloxMenu", the popup menus, the toolbar and the
// accelerator table "PloxAccelTable" as data. Menus, accelerators, toolbar buttons and
// commands sent from elsewhere all dispatch by these numbers.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace plox::shell {

namespace cmd {
inline constexpr int InsertText = 51, InsertArrow = 52, InsertRect = 53, Redraw = 54;
inline constexpr int ObjectUp = 61, ObjectDown = 62;
inline constexpr int OpenData = 101, CloseData = 102, Update = 103, ChooseSeries = 104;
inline constexpr int Print = 106, PrinterSetup = 107, PaperSetup = 108, About = 109, Exit = 110;
inline constexpr int ObjectManager = 111, PasteData = 115, InsertPicture = 116, Preview = 117;
inline constexpr int Settings = 118, ExportMetafile = 119, GraFonts = 124, CouldNotUpdate = 125;
inline constexpr int NewDataFile = 126, CopyRegion = 127, SaveRegion = 128;
inline constexpr int Delete = 130, Copy = 131, Paste = 132, Cut = 133;
inline constexpr int XAxis = 201, YAxis = 202, UAxis = 203, RAxis = 204, GraphProperties = 205;
inline constexpr int Frame = 207;
inline constexpr int Save = 219, NewGraph = 220, DeleteGraph = 221, SaveGraphAs = 222;
inline constexpr int ClipboardState = 223, OpenDocument = 224, SaveAllAs = 226;
inline constexpr int FirstGraph = 227; // graphs 1 to 10: 227..236
inline constexpr int DeleteAllGraphs = 238, Again = 239, ShowAll = 241, ShowOne = 242;
inline constexpr int SetTemplate = 261, SaveAsDefault = 266;
inline constexpr int FirstRecent = 552; // recent files 1 to 5: 552..556
inline constexpr int Undo = 620, CopyPage = 621, CopyData = 622, DataMask = 623;
inline constexpr int ClearAllScales = 652, Help = 653, ClearAnalysis = 659, ExtensionAbout = 680;
inline constexpr int FirstExtension = 681; // extension analyses 1 to 10: 681..690
inline constexpr int ClearScaleX = 691, ClearScaleY = 692, ClearScaleU = 693, ClearScaleR = 694;
inline constexpr int Calculator = 774, RunMacro = 775;
// Graphs 11 to 20: numbers free in the table.
inline constexpr int FirstGraph11 = 1227;

// The command that makes graph `index` (from 0) current.
constexpr int graph_command(int index) {
    return index < 10 ? FirstGraph + index : FirstGraph11 + index - 10;
}
// The graph a command makes current, or -1.
constexpr int graph_of_command(int id) {
    if (id >= FirstGraph && id < FirstGraph + 10) return id - FirstGraph;
    if (id >= FirstGraph11 && id < FirstGraph11 + 10) return id - FirstGraph11 + 10;
    return -1;
}
} // namespace cmd

struct Command {
    int id;
    std::string_view label;    // without the shortcut text
    std::string_view shortcut; // first accelerator, QKeySequence portable text; may be empty
    std::string_view shortcut2 = {};
};

// Every command with its label and accelerators (commands without a menu item included).
std::span<const Command> commands();
const Command* find_command(int id);

// Submenus the window fills or greys as a whole.
namespace menu_id {
inline constexpr int Align = 1;
inline constexpr int LeastSquares = 2;
inline constexpr int Spline = 3;
inline constexpr int Extension = 4;
} // namespace menu_id

// One entry of a menu: an item, a separator, or a submenu with its entries.
struct MenuEntry {
    enum class Kind { Item, Separator, Submenu } kind = Kind::Item;
    int id = 0;                  // the command of an item; of a submenu, a menu_id (0: none)
    std::string_view label = {}; // submenus; popup items whose label differs from the table's
    std::vector<MenuEntry> children = {};
};

struct Menu {
    std::string_view title;
    std::vector<MenuEntry> entries;
};

// The eight menus of "PloxMenu" in order.
const std::vector<Menu>& main_menu();
// "PopupMenu", "PopupMenu2", "PopupMenu3".
const std::vector<Menu>& popup_menus();

struct ToolButton {
    int id;
    std::string_view tooltip;
    bool group_start; // a separator stands before it
    bool checkable = false;
};
std::span<const ToolButton> toolbar_buttons();

} // namespace plox::shell
