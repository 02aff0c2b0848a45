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

} // namespace
} // namespace plox
