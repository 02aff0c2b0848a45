// The keys of the fitting, transform-history and object-default settings survive a fresh
// start: written through one store on an INI file, read back through a new one.
#include "editing/object_edit.h"
#include "platform/settings_qt.h"
#include "settings/analysis_settings.h"
#include "settings/user_config.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace plox {
namespace {

TEST(AnalysisSettingsStore, EveryKeyIsReadBackAfterAFreshStart) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("Hexwold/PloxWin.ini"));

    FitFunction current;
    current.function = "a*exp(-b*x)+c";
    current.derivatives[1] = "-a*x*exp(-b*x)";
    current.parameters = {2, 0.5, -1, 0, 0, 0, 0, 0, 0};
    current.parameter_free[2] = 0;
    current.tolerance = 0.25;
    FitFunction earlier;
    earlier.function = "a*x+b";

    GraphObject title;
    title.Type = object_type::TitleX;
    title.Str = "Wavelength";
    title.Font1 = default_axis_label_font();
    GraphObject arrow;
    arrow.Type = object_type::Line;
    arrow.position = {0.5, 1, 2, 3};
    Series curve;
    curve.curve_points = 201;
    curve.curve_line = {55, 0x00FF00, 400};
    curve.curve_line_type = 2;
    curve.CountOutArea = 1;
    UserConfig config;
    config.TrimmingSort = 1;
    config.Editor = "gedit";
    config.ReadValColor = 0x00FF00;
    {
        QtSettingsStore store(ini);
        store.write(LSQ_INI_KEY, "Dimension", 4);
        write_curve_defaults(store, curve);
        write_function_history(store, earlier);
        write_function_history(store, current);
        push_transform_history(store, 'X', "log(x)");
        push_transform_history(store, 'Y', "y*2");
        editing::save_object_defaults(store, title);
        editing::save_object_defaults(store, arrow);
        write_user_config(store, config);
        store.sync();
    }
    QtSettingsStore fresh(ini);
    int32_t dimension = 0;
    fresh.read(LSQ_INI_KEY, "Dimension", dimension);
    EXPECT_EQ(dimension, 4);
    Series read_curve;
    read_curve_defaults(fresh, read_curve);
    EXPECT_EQ(read_curve.curve_points, 201);
    EXPECT_EQ(read_curve.curve_line, curve.curve_line);
    EXPECT_EQ(read_curve.curve_line_type, 2);
    EXPECT_EQ(read_curve.CountOutArea, 1);

    auto f0 = read_function_entry(fresh, 0);
    ASSERT_TRUE(f0);
    EXPECT_EQ(f0->function, current.function);
    EXPECT_EQ(f0->derivatives, current.derivatives);
    EXPECT_EQ(f0->parameters, current.parameters);
    EXPECT_EQ(f0->parameter_free, current.parameter_free);
    EXPECT_DOUBLE_EQ(f0->tolerance, 0.25);
    ASSERT_TRUE(read_function_entry(fresh, 1));
    EXPECT_EQ(read_function_entry(fresh, 1)->function, "a*x+b");

    EXPECT_EQ(read_transform_history(fresh, 'X')[0], "log(x)");
    EXPECT_EQ(read_transform_history(fresh, 'Y')[0], "y*2");

    const Graph graph;
    const GraphObject read_title = editing::new_text(graph, object_type::TitleX, &fresh);
    EXPECT_EQ(read_title.Str, "Wavelength");
    EXPECT_EQ(read_title.Font1, title.Font1);
    const GraphObject read_arrow = editing::new_arrow(graph, &fresh);
    EXPECT_EQ(read_arrow.Type, object_type::Line);
    EXPECT_DOUBLE_EQ(read_arrow.position[0], 0.5);

    const UserConfig read_config = read_user_config(fresh);
    EXPECT_EQ(read_config.TrimmingSort, 1);
    EXPECT_EQ(read_config.Editor, "gedit");
    EXPECT_EQ(read_config.ReadValColor, 0x00FF00);
}

} // namespace
} // namespace plox
