// Program options, window placement, recent files and series defaults from the store.
#include "settings/series_defaults.h"
#include "settings/user_config.h"

#include <gtest/gtest.h>

namespace plox {

TEST(UserConfig, EmptyStoreGivesDefaults) {
    MemorySettingsStore s;
    UserConfig c = read_user_config(s);
    EXPECT_EQ(c.UserExt, "*.*");
    EXPECT_EQ(c.Glid, 100);
    EXPECT_EQ(c.DrawGlid, 500);
    EXPECT_EQ(c.WithData, 1);
    EXPECT_EQ(c.SubscriptSize, 70);
    EXPECT_EQ(c.SubscriptPos, 50);
    EXPECT_EQ(c.SuperscriptPos, 20);
    EXPECT_EQ(c.ScreenSize, 100);
    EXPECT_EQ(c.BkColor, 0xFFFFFF);
    EXPECT_EQ(c.ToolBar, 1);
    EXPECT_EQ(c.StatusBar, 1);
    EXPECT_EQ(c.FirstDlgOpen, 1);
    EXPECT_EQ(c.ReadValColor, 0xFFFF00);
    EXPECT_EQ(c.read_value_display_color(), 0x0000FF);
    EXPECT_TRUE(c.Template.empty());
    EXPECT_TRUE(c.read_value_sort);
}

TEST(UserConfig, ReadingNormalisesGridAndReadValueColour) {
    MemorySettingsStore s;
    s.write_dword("User Config", "DrawGlid", 700);
    s.write_dword("User Config", "Glid", 700);
    s.write_dword("User Config", "ReadValColor", 0xAB00FF00);
    UserConfig c = read_user_config(s);
    EXPECT_EQ(c.DrawGlid, 0);
    EXPECT_EQ(c.Glid, 700);
    EXPECT_EQ(c.ReadValColor, 0x00FF00);
    s.write_dword("User Config", "DrawGlid", 1000);
    EXPECT_EQ(read_user_config(s).DrawGlid, 1000);
}

TEST(UserConfig, WriteThenReadRoundTrips) {
    MemorySettingsStore s;
    UserConfig c;
    c.UserExt = "*.dat";
    c.Template = "/home/u/t.qvp";
    c.ScreenSize = 150;
    c.AutoLineType = 1;
    c.EnableBkColor = 1;
    write_user_config(s, c);
    UserConfig r = read_user_config(s);
    EXPECT_EQ(r.UserExt, "*.dat");
    EXPECT_EQ(r.Template, "/home/u/t.qvp");
    EXPECT_EQ(r.ScreenSize, 150);
    EXPECT_EQ(r.AutoLineType, 1);
    EXPECT_EQ(r.EnableBkColor, 1);
    EXPECT_EQ(s.read_dword("User Config", "ScreenSize"), 150u);
}

TEST(UserConfig, DialogLimits) {
    UserConfig c;
    c.SubscriptSize = 5;
    c.SubscriptPos = 0;
    c.SuperscriptPos = 101;
    c.ScreenSize = 300;
    apply_settings_dialog_limits(c);
    EXPECT_EQ(c.SubscriptSize, 10);
    EXPECT_EQ(c.SubscriptPos, 1);
    EXPECT_EQ(c.SuperscriptPos, 100);
    EXPECT_EQ(c.ScreenSize, 200);
    c.ScreenSize = 20;
    apply_settings_dialog_limits(c);
    EXPECT_EQ(c.ScreenSize, 50);
}

TEST(WindowPlacement, RectangleOnlyWhenComplete) {
    MemorySettingsStore s;
    WindowPlacement p = read_window_placement(s);
    EXPECT_EQ(p.Max, 0);
    EXPECT_FALSE(p.rect);
    s.write_dword("Window", "XPos", 10);
    s.write_dword("Window", "YPos", 20);
    s.write_dword("Window", "XSize", 640);
    EXPECT_FALSE(read_window_placement(s).rect);
    p.Max = 1;
    p.rect = WindowPlacement::Rect{10, 20, 640, 480};
    write_window_placement(s, p);
    WindowPlacement r = read_window_placement(s);
    EXPECT_EQ(r.Max, 1);
    ASSERT_TRUE(r.rect);
    EXPECT_EQ(*r.rect, (WindowPlacement::Rect{10, 20, 640, 480}));
}

TEST(RecentFiles, NewestFirstNoDuplicatesFiveAtMost) {
    MemorySettingsStore s;
    for (const char* p : {"/d/a.dat", "/d/b.dat", "/d/c.dat", "/d/d.dat", "/d/e.dat", "/d/f.dat"})
        add_recent_file(s, p);
    auto list = read_recent_files(s);
    EXPECT_EQ(list, (std::vector<std::string>{"/d/f.dat", "/d/e.dat", "/d/d.dat", "/d/c.dat",
                                              "/d/b.dat"}));
    // Case-insensitive equality moves the entry to the front under its new spelling.
    list = add_recent_file(s, "/D/C.DAT");
    EXPECT_EQ(list, (std::vector<std::string>{"/D/C.DAT", "/d/f.dat", "/d/e.dat", "/d/d.dat",
                                              "/d/b.dat"}));
    EXPECT_EQ(s.read_text("User Files", "RemainFile1"), "/D/C.DAT");
    EXPECT_EQ(read_recent_files(s), list);
}

TEST(RecentFiles, ShortEntriesAreDropped) {
    MemorySettingsStore s;
    s.write_text("User Files", "RemainFile1", "a.b");
    s.write_text("User Files", "RemainFile2", "");
    s.write_text("User Files", "RemainFile3", "/x/y.dat");
    EXPECT_EQ(read_recent_files(s), (std::vector<std::string>{"/x/y.dat"}));
    auto list = add_recent_file(s, "/z.d");
    EXPECT_EQ(list, (std::vector<std::string>{"/x/y.dat"}));
    EXPECT_EQ(s.read_text("User Files", "RemainFile1"), "/x/y.dat");
    EXPECT_FALSE(s.read_text("User Files", "RemainFile2"));
}

TEST(SeriesDefaults, ExtensionKeyOnlyForTwoCharacters) {
    EXPECT_EQ(data_extension_key("/a/b.csv"), "Data Ini2\\csv");
    EXPECT_EQ(data_extension_key("C:\\a.dir\\b.c"), "");
    EXPECT_EQ(data_extension_key("/a.dir/noext"), "");
}

TEST(SeriesDefaults, ReadsOneKeyOnly) {
    MemorySettingsStore s;
    s.write_dword("Data Ini", "ColumnY", 3);
    s.write_dword("Data Ini", "PlotType", 7);
    s.write_text("Data Ini", "BarBottom", "2.5");
    s.write_dword("Data Ini2\\csv", "PlotType", 9);
    Series csv;
    read_series_defaults(s, "/d/a.csv", csv);
    EXPECT_EQ(csv.PlotType, 9);
    EXPECT_EQ(csv.ColumnY, 1); // not taken from "Data Ini" when the extension key exists
    Series c;
    read_series_defaults(s, "/d/a.c", c);
    EXPECT_EQ(c.PlotType, 7);
    EXPECT_EQ(c.ColumnY, 3);
    EXPECT_EQ(c.BarBottom, 2.5);
    Series dat;
    read_series_defaults(s, "/d/a.dat", dat);
    EXPECT_EQ(dat.PlotType, 7);
}

TEST(SeriesDefaults, AutomaticAdvance) {
    UserConfig on;
    on.AutoDotColor = on.AutoLineColor = on.AutoDotType = on.AutoLineType = 1;
    Series prev, s;
    prev.PlotType = 12;
    prev.LineType = 4;
    prev.marker_color = 0xFF8080;
    prev.line.color = 0x0000FF;
    advance_series_style(on, prev, s);
    EXPECT_EQ(s.PlotType, 14);
    EXPECT_EQ(s.LineType, 1);
    EXPECT_EQ(s.marker_color, 0x000000);
    EXPECT_EQ(s.line.color, 0x00FFFF);
    prev.PlotType = 22;
    prev.LineType = 2;
    advance_series_style(on, prev, s);
    EXPECT_EQ(s.PlotType, 1);
    EXPECT_EQ(s.LineType, 3);
    Series untouched;
    untouched.PlotType = 5;
    prev.PlotType = 30;
    prev.LineType = 0;
    advance_series_style(on, prev, untouched);
    EXPECT_EQ(untouched.PlotType, 5);
    EXPECT_EQ(untouched.LineType, 0);
    EXPECT_EQ(next_auto_color(0x123456), 0);
    Series off;
    advance_series_style(UserConfig{}, prev, off);
    EXPECT_EQ(off.PlotType, Series{}.PlotType);
}

} // namespace plox
