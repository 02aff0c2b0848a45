#include "settings/analysis_settings.h"

#include <gtest/gtest.h>

namespace plox {
namespace {

FitFunction function_named(const std::string& text, double first) {
    FitFunction f;
    f.function = text;
    f.derivatives[0] = "d" + text;
    f.parameters[0] = first;
    return f;
}

TEST(FunctionHistory, CurrentFirstEarlierFollowWithTheirOwnValuesAndNoRepeat) {
    MemorySettingsStore store;
    write_function_history(store, function_named("f1", 1));
    write_function_history(store, function_named("f2", 2));
    write_function_history(store, function_named("f3", 3));
    FitFunction again = function_named("f1", 10);
    again.parameter_free[4] = 0;
    again.tolerance = 0.5;
    write_function_history(store, again);

    const char* expected[] = {"f1", "f3", "f2"};
    for (int e = 0; e < 3; ++e) {
        auto f = read_function_entry(store, e);
        ASSERT_TRUE(f) << e;
        EXPECT_EQ(f->function, expected[e]);
        EXPECT_EQ(f->derivatives[0], std::string("d") + expected[e]);
    }
    EXPECT_DOUBLE_EQ(read_function_entry(store, 0)->parameters[0], 10);
    EXPECT_DOUBLE_EQ(read_function_entry(store, 1)->parameters[0], 3);
    EXPECT_EQ(read_function_entry(store, 0)->parameter_free[4], 0);
    EXPECT_DOUBLE_EQ(read_function_entry(store, 0)->tolerance, 0.5);
    EXPECT_FALSE(read_function_entry(store, 3));

    for (int i = 4; i <= 9; ++i)
        write_function_history(store, function_named("g" + std::to_string(i), i));
    EXPECT_EQ(read_function_entry(store, 4)->function, "g5");
}

TEST(TransformHistory, NewExpressionFirstWithoutItsEarlierCopy) {
    MemorySettingsStore store;
    store.write_text("Data Ini", "Xtrans1", "x/2");
    store.write_text("Data Ini", "Xtrans2", "x*2");
    store.write_text("Data Ini", "Xtrans3", "log(x)");
    push_transform_history(store, 'X', "x*2");
    const auto h = read_transform_history(store, 'X');
    EXPECT_EQ(h[0], "x*2");
    EXPECT_EQ(h[1], "x/2");
    EXPECT_EQ(h[2], "log(x)");
    EXPECT_EQ(h[3], "");
    EXPECT_EQ(read_transform_history(store, 'Y')[0], "");
    for (int i = 0; i < 6; ++i)
        push_transform_history(store, 'Y', "y+" + std::to_string(i));
    EXPECT_EQ(read_transform_history(store, 'Y')[4], "y+1");
}

TEST(ObjectDefaults, TextsKeepFontsAndStringsExceptFreeText) {
    MemorySettingsStore store;
    GraphObject title;
    title.Type = object_type::TitleY;
    title.x = 123;
    title.alignment = 2;
    title.Font2.face = "Arial";
    title.Font2.height = -1800;
    title.Font2.italic = 1;
    title.Str = "Intensity";
    write_object_defaults(store, title);
    GraphObject fresh;
    fresh.Type = object_type::TitleY;
    read_object_defaults(store, fresh);
    EXPECT_EQ(fresh.x, 123);
    EXPECT_EQ(fresh.alignment, 2);
    EXPECT_EQ(fresh.Font2, title.Font2);
    EXPECT_EQ(fresh.Str, "Intensity");

    GraphObject text;
    text.Type = object_type::Text;
    text.Str = "legend text";
    write_object_defaults(store, text);
    EXPECT_FALSE(store.read_text("Title Ini", "Str"));
}

TEST(ObjectDefaults, ArrowsRectanglesAndReadOnlyDots) {
    MemorySettingsStore store;
    GraphObject rect;
    rect.Type = object_type::Rectangle;
    rect.Color2 = 0x123456;
    rect.position = {1.5, 2, 3, 4};
    write_object_defaults(store, rect);
    GraphObject fresh;
    fresh.Type = object_type::Rectangle;
    read_object_defaults(store, fresh);
    EXPECT_EQ(fresh.Color2, 0x123456);
    EXPECT_DOUBLE_EQ(fresh.position[0], 1.5);
    EXPECT_EQ(fresh.Type, object_type::Rectangle);
    EXPECT_FALSE(store.has_key("Arrow Ini"));

    GraphObject dot;
    dot.Type = object_type::PointObject;
    write_object_defaults(store, dot);
    EXPECT_FALSE(store.has_key("Dot Ini"));
    store.write_dword("Dot Ini", "DotColor", 0xFF);
    store.write_dword("Dot Ini", "Num", 3);
    store.write_dword("Dot Ini", "PosY2", 77);
    read_object_defaults(store, dot);
    EXPECT_EQ(dot.Color, 0xFF);
    EXPECT_EQ(dot.alignment, 3);
    EXPECT_EQ(dot.points[2].y, 77);
}

TEST(ObjectDefaults, FontBlockIsSixtyBytesAndRejectsOtherSizes) {
    LogFont f = default_symbol_font();
    const auto block = font_block(f);
    ASSERT_EQ(block.size(), 60u);
    LogFont back;
    ASSERT_TRUE(read_font_block(block, back));
    EXPECT_EQ(back, f);
    EXPECT_FALSE(read_font_block(std::vector<uint8_t>(59), back));
}

} // namespace
} // namespace plox
