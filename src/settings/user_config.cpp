// Reading and writing of the program options, window placement and recent files.
#include "settings/user_config.h"

#include <algorithm>
#include <cstdio>

namespace plox {

namespace {

// One table drives both directions so that a value cannot be read under one name and
// written under another.
template <typename F> void for_each_dword(UserConfig& c, F&& f) {
    f("Clipping", c.Clipping);
    f("Glid", c.Glid);
    f("DrawGlid", c.DrawGlid);
    f("WithData", c.WithData);
    f("SavePath", c.SavePath);
    f("SubscriptSize", c.SubscriptSize);
    f("SubscriptPos", c.SubscriptPos);
    f("SuperscriptPos", c.SuperscriptPos);
    f("ScreenSize", c.ScreenSize);
    f("BkColor", c.BkColor);
    f("ToolBar", c.ToolBar);
    f("StatusBar", c.StatusBar);
    f("FirstDlgOpen", c.FirstDlgOpen);
    f("PriorTemp", c.PriorTemp);
    f("ReadValColor", c.ReadValColor);
    f("AutoDotColor", c.AutoDotColor);
    f("AutoLineColor", c.AutoLineColor);
    f("AutoDotType", c.AutoDotType);
    f("AutoLineType", c.AutoLineType);
    f("TrimmingSort", c.TrimmingSort);
    f("EnableBkColor", c.EnableBkColor);
}

template <typename F> void for_each_text(UserConfig& c, F&& f) {
    f("UserExt", c.UserExt);
    f("Editor", c.Editor);
    f("Template", c.Template);
}

std::string recent_name(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "RemainFile%1d", i);
    return name;
}

} // namespace

UserConfig read_user_config(const SettingsStore& store) {
    UserConfig c;
    for_each_dword(
        c, [&](std::string_view name, int32_t& v) { store.read(USER_CONFIG_KEY, name, v); });
    for_each_text(
        c, [&](std::string_view name, std::string& v) { store.read(USER_CONFIG_KEY, name, v); });
    if (c.DrawGlid != 0 && c.DrawGlid != 500 && c.DrawGlid != 1000) c.DrawGlid = 0;
    c.ReadValColor &= 0xFFFFFF;
    return c;
}

void write_user_config(SettingsStore& store, const UserConfig& config) {
    UserConfig c = config;
    for_each_dword(
        c, [&](std::string_view name, int32_t& v) { store.write(USER_CONFIG_KEY, name, v); });
    for_each_text(c, [&](std::string_view name, std::string& v) {
        store.write_text(USER_CONFIG_KEY, name, v);
    });
}

void apply_settings_dialog_limits(UserConfig& c) {
    c.SubscriptSize = std::clamp(c.SubscriptSize, 10, 100);
    c.SubscriptPos = std::clamp(c.SubscriptPos, 1, 100);
    c.SuperscriptPos = std::clamp(c.SuperscriptPos, 1, 100);
    c.ScreenSize = std::clamp(c.ScreenSize, 50, 200);
}

WindowPlacement read_window_placement(const SettingsStore& store) {
    WindowPlacement p;
    store.read(WINDOW_KEY, "Max", p.Max);
    auto x = store.read_dword(WINDOW_KEY, "XPos");
    auto y = store.read_dword(WINDOW_KEY, "YPos");
    auto w = store.read_dword(WINDOW_KEY, "XSize");
    auto h = store.read_dword(WINDOW_KEY, "YSize");
    if (x && y && w && h)
        p.rect = WindowPlacement::Rect{static_cast<int32_t>(*x), static_cast<int32_t>(*y),
                                       static_cast<int32_t>(*w), static_cast<int32_t>(*h)};
    return p;
}

void write_window_placement(SettingsStore& store, const WindowPlacement& p) {
    store.write(WINDOW_KEY, "Max", p.Max);
    if (!p.rect) return;
    store.write(WINDOW_KEY, "XPos", p.rect->x);
    store.write(WINDOW_KEY, "YPos", p.rect->y);
    store.write(WINDOW_KEY, "XSize", p.rect->width);
    store.write(WINDOW_KEY, "YSize", p.rect->height);
}

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    auto lower = [](unsigned char ch) { return ch >= 'A' && ch <= 'Z' ? ch + 32 : ch; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::vector<std::string> read_recent_files(const SettingsStore& store) {
    std::vector<std::string> list;
    for (int i = 1; i <= MAX_RECENT_FILES; ++i) {
        std::string entry;
        store.read(USER_FILES_KEY, recent_name(i), entry);
        if (entry.size() > 4) list.push_back(entry);
    }
    return list;
}

std::vector<std::string> add_recent_file(SettingsStore& store, std::string_view path) {
    std::vector<std::string> list{std::string(path)};
    for (auto& entry : read_recent_files(store))
        if (!equal_ignoring_case(entry, path)) list.push_back(std::move(entry));
    std::erase_if(list, [](const std::string& e) { return e.size() <= 4; });
    if (list.size() > MAX_RECENT_FILES) list.resize(MAX_RECENT_FILES);
    for (int i = 1; i <= MAX_RECENT_FILES; ++i) {
        if (i <= static_cast<int>(list.size()))
            store.write_text(USER_FILES_KEY, recent_name(i), list[i - 1]);
        else
            store.remove(USER_FILES_KEY, recent_name(i));
    }
    return list;
}

} // namespace plox
