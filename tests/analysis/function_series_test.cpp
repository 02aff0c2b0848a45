#include "analysis/function_series.h"
#include "document/graph_ops.h"
#include "settings/store.h"

#include <gtest/gtest.h>

namespace plox {
namespace {

TEST(FunctionSeries, StartTextComesFromTheSeriesTheLastFunctionOrX) {
    auto g = create_graph("g");
    add_series(*g, "a.dat", nullptr);
    add_series(*g, "b.dat", nullptr);
    EXPECT_EQ(function_start_text(*g, 0), "x");
    apply_function_series(g->series[1], "sin(x)");
    EXPECT_EQ(function_start_text(*g, 0), "sin(x)");
    add_series(*g, "c.dat", nullptr);
    apply_function_series(g->series[2], "x*x");
    EXPECT_EQ(function_start_text(*g, 1), "sin(x)");
    EXPECT_EQ(function_start_text(*g, 0), "x*x");
}

TEST(FunctionSeries, NewFunctionTakesStoredCurveAndAxisRangeAndConfirmingSetsKind) {
    auto g = create_graph("g");
    add_series(*g, "a.dat", nullptr);
    g->axes[AxisX].from = -2;
    g->axes[AxisX].to = 5;
    g->axes[AxisX].scale_type = 1;
    MemorySettingsStore store;
    store.write_dword("Continuace Ini", "Color", 0xFF);
    store.write_dword("Continuace Ini", "LineType", 3);
    Series& s = g->series[0];
    s.PlotType = 7;
    prepare_function_series(s, *g, store);
    EXPECT_EQ(s.PlotType, 0);
    EXPECT_DOUBLE_EQ(s.curve_from, -2);
    EXPECT_DOUBLE_EQ(s.curve_to, 5);
    EXPECT_EQ(s.curve_points, 101);
    EXPECT_EQ(s.curve_scale_type, 1);
    apply_function_series(s, "exp(x)");
    EXPECT_EQ(s.kind, kind::Function);
    EXPECT_EQ(s.line.color, 0xFF);
    EXPECT_EQ(s.LineType, 3);
    EXPECT_EQ(s.IsYtrans, 1);
    EXPECT_EQ(s.Ytrans, "exp(x)");

    // A function series keeps its own curve settings when it is edited again.
    s.curve_points = 7;
    prepare_function_series(s, *g, store);
    EXPECT_EQ(s.curve_points, 7);
}

TEST(FunctionSeries, RemovingASeriesRenumbersTheMasksThatNameLaterOnes) {
    auto g = create_graph("g");
    for (const char* name : {"a", "b", "c"})
        add_series(*g, name, nullptr);
    g->mask_count = 3;
    g->masks[0].series = 0;
    g->masks[1].series = 2;
    g->masks[2].series = 3;
    remove_series(*g, 1);
    ASSERT_EQ(g->series_count, 2);
    EXPECT_EQ(g->series[1].file_name, "c");
    ASSERT_EQ(g->mask_count, 2);
    EXPECT_EQ(g->masks[0].series, 0);
    EXPECT_EQ(g->masks[1].series, 2);
}

} // namespace
} // namespace plox
