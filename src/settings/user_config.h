// The program options of "User Config", the main window's placement ("Window") and the
// recent-file list ("User Files"): their defaults, how they are read and written.
#pragma once

#include "settings/store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plox {

inline constexpr std::string_view USER_CONFIG_KEY = "User Config";
inline constexpr std::string_view WINDOW_KEY = "Window";
inline constexpr std::string_view USER_FILES_KEY = "User Files";

// Field names are the stored value names.
struct UserConfig {
    std::string UserExt = "*.*";
    int32_t Clipping = 0;
    int32_t Glid = 100;
    int32_t DrawGlid = 500; // 0, 500 or 1000
    int32_t WithData = 1;
    int32_t SavePath = 1;
    int32_t SubscriptSize = 70;
    int32_t SubscriptPos = 50;
    int32_t SuperscriptPos = 20;
    int32_t ScreenSize = 100;
    // Data files are text: the desktop opens them in the text editor the user chose for text.
    std::string Editor = "xdg-open";
    std::string Template;
    int32_t BkColor = 0xFFFFFF;
    int32_t ToolBar = 1;
    int32_t StatusBar = 1;
    int32_t FirstDlgOpen = 1;
    int32_t PriorTemp = 0;
    int32_t ReadValColor = 0xFFFF00; // held XOR 0xFFFFFF; see read_value_display_color
    int32_t AutoDotColor = 0;
    int32_t AutoLineColor = 0;
    int32_t AutoDotType = 0;
    int32_t AutoLineType = 0;
    int32_t TrimmingSort = 0;
    int32_t EnableBkColor = 0;
    bool read_value_sort = true; // lives with the options but is never stored

    int32_t read_value_display_color() const { return (ReadValColor ^ 0xFFFFFF) & 0xFFFFFF; }
};

// Missing values keep the defaults; "DrawGlid" other than 0/500/1000 reads as 0 and
// "ReadValColor" is cut to 24 bits.
UserConfig read_user_config(const SettingsStore& store);
void write_user_config(SettingsStore& store, const UserConfig& config);

// The limits the settings dialog applies on OK: percentages, display size, snap and grid.
void apply_settings_dialog_limits(UserConfig& config);

// "Window": Max 0 normal, 1 maximised, 2 minimised; the rectangle only when all four are stored.
struct WindowPlacement {
    int32_t Max = 0;
    struct Rect {
        int32_t x = 0, y = 0, width = 0, height = 0;
        bool operator==(const Rect&) const = default;
    };
    std::optional<Rect> rect;
};

WindowPlacement read_window_placement(const SettingsStore& store);
void write_window_placement(SettingsStore& store, const WindowPlacement& placement);

// Recent files, most recent first, at most five.
inline constexpr int MAX_RECENT_FILES = 5;

// The stored entries "RemainFile1".."RemainFile5" without those of four characters or less.
std::vector<std::string> read_recent_files(const SettingsStore& store);
// Puts `path` first, drops later entries equal to it (ignoring ASCII case) and short entries,
// keeps five, writes them back and returns the new list.
std::vector<std::string> add_recent_file(SettingsStore& store, std::string_view path);

// ASCII case-insensitive equality: stored file names are compared without regard to case.
bool equal_ignoring_case(std::string_view a, std::string_view b);

} // namespace plox
