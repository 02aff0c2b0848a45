#include "analysis/series_analysis.h"
#include "forms/fit_forms.h"
#include "forms/settings_form.h"
#include "settings/analysis_settings.h"

#include <gtest/gtest.h>

namespace plox::forms {
namespace {

TEST(LsqConditions, DegreeListClampsAndOtherFitsAlwaysTakeDegreeOne) {
    Series s;
    s.degree = 12;
    LsqConditionsForm form;
    form.load(s, kind::Polynomial);
    EXPECT_EQ(form.degrees.size(), 10u);
    EXPECT_EQ(form.degrees[static_cast<size_t>(form.degree_index)], "9");
    s.degree = -3;
    form.load(s, kind::Polynomial);
    EXPECT_EQ(form.degree_index, 1);

    s.degree = 5;
    form.load(s, kind::Exponential);
    EXPECT_EQ(form.degrees, std::vector<std::string>{"1"});
    form.through_point = true;
    form.x0 = "2.5";
    form.y0 = "junk";
    form.apply(s);
    EXPECT_EQ(s.degree, 1);
    EXPECT_EQ(s.analysis_option & 1, 1);
    EXPECT_DOUBLE_EQ(s.analysis_values[0], 2.5);
    EXPECT_DOUBLE_EQ(s.analysis_values[1], 0);

    MemorySettingsStore store;
    form.load(s, kind::Polynomial);
    form.degree_index = 3;
    form.save(store);
    EXPECT_EQ(store.read_dword(LSQ_INI_KEY, "Dimension"), 3u);
}

TEST(CurvePage, DivisionShowsOneLessAndSpacingFoldsLogAndInverseTypes) {
    Series s;
    s.curve_points = 101;
    s.curve_scale_type = 3;
    s.curve_line = {40, 0xFF, 305};
    CurveForm form;
    form.load(s, true);
    EXPECT_EQ(form.division, "100");
    EXPECT_EQ(form.spacing, 1);
    EXPECT_EQ(form.pitch, "3.05");
    s.curve_scale_type = 4;
    form.load(s, true);
    EXPECT_EQ(form.spacing, 2);

    form.division = "100";
    form.width = "0.25";
    form.count_out_area = true;
    form.apply(s);
    EXPECT_EQ(s.curve_points, 101);
    EXPECT_EQ(s.curve_scale_type, 2);
    EXPECT_EQ(s.curve_line.width, 25);
    EXPECT_EQ(s.CountOutArea, 1);

    // A disabled "グラフ描画範囲外を考慮" box is not read.
    form.load(s, false);
    form.count_out_area = false;
    form.apply(s);
    EXPECT_EQ(s.CountOutArea, 1);

    MemorySettingsStore store;
    form.save(store);
    Series fresh;
    read_curve_defaults(store, fresh);
    EXPECT_EQ(fresh.curve_points, 101);
    EXPECT_EQ(fresh.curve_line.width, 25);
    EXPECT_EQ(fresh.curve_line.pitch, 305);
}

TEST(UserFunctionPage, ToleranceIsMadeAbsoluteAndTooSmallBecomesDefault) {
    UserFunctionForm form;
    form.load(FitFunction{});
    form.tolerance = "-0.5";
    EXPECT_DOUBLE_EQ(form.block().tolerance, 0.5);
    form.tolerance = "0.005";
    EXPECT_DOUBLE_EQ(form.block().tolerance, 0.1);
    form.tolerance = "nonsense";
    EXPECT_DOUBLE_EQ(form.block().tolerance, 0.1);
}

TEST(UserFunctionPage, BrowsingFillsFunctionsButKeepsFlagsAndTolerance) {
    MemorySettingsStore store;
    FitFunction stored;
    stored.function = "a*exp(-b*x)";
    stored.derivatives[0] = "exp(-b*x)";
    stored.parameters = {5, 0.5, 0, 0, 0, 0, 0, 0, 0};
    write_function_history(store, stored);
    store.remove(LSQ_FUNCTION_KEY, "ParaIni0C"); // reads as 0.0

    FitFunction own;
    own.function = "a*x+b";
    own.parameter_free[1] = 0;
    UserFunctionForm form;
    form.load(own);
    form.tolerance = "3";
    form.browse(1, own, store);
    EXPECT_EQ(form.function, "a*exp(-b*x)");
    EXPECT_EQ(form.derivatives[0], "exp(-b*x)");
    EXPECT_EQ(form.derivatives[1], "");
    EXPECT_EQ(form.initial[0], "5");
    EXPECT_EQ(form.initial[2], "0");
    EXPECT_FALSE(form.free[1]);
    EXPECT_EQ(form.tolerance, "3");
    form.browse(3, own, store); // an empty entry
    EXPECT_EQ(form.function, "");
    form.browse(0, own, store);
    EXPECT_EQ(form.function, "a*x+b");
    EXPECT_EQ(form.initial[0], "1");
}

TEST(Results, NewCopiesFittedValuesAndKeepsMissingOnes) {
    Series s;
    s.kind = kind::General;
    s.fit = FitFunction{};
    s.fit->parameters = {1, 1, 7, 1, 1, 1, 1, 1, 1};
    s.fit->parameter_free[2] = 0; // c held: its result is its initial value
    s.coefficients = {2,           3,           7,           ERROR_VALUE, ERROR_VALUE,
                      ERROR_VALUE, ERROR_VALUE, ERROR_VALUE, ERROR_VALUE, 0};
    ASSERT_TRUE(copy_fitted_values(s));
    EXPECT_DOUBLE_EQ(s.fit->parameters[0], 2);
    EXPECT_DOUBLE_EQ(s.fit->parameters[1], 3);
    EXPECT_DOUBLE_EQ(s.fit->parameters[2], 7);
    EXPECT_DOUBLE_EQ(s.fit->parameters[3], 1);

    Series poly;
    poly.kind = kind::Polynomial;
    EXPECT_FALSE(can_copy_fitted_values(poly));
    EXPECT_FALSE(copy_fitted_values(poly));
}

TEST(Results, ClipboardOfADegreeTwoFitHasSixCrLfLines) {
    Series s;
    s.kind = kind::Polynomial;
    s.degree = 2;
    s.analysis_valid = 1;
    s.coefficients = {1, 2, 3};
    s.standard_deviation = 0.5;
    s.correlation = 0.99;
    const std::string text = results_clipboard_text(results_list(s));
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size());
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "y=Σan x^n");
    EXPECT_EQ(lines[1].rfind("a0=", 0), 0u);
    EXPECT_EQ(lines[3].rfind("a2=3", 0), 0u);
    EXPECT_EQ(lines[5].rfind("|r|=", 0), 0u);
}

TEST(UserConstants, TextThatIsNotANumberReadsAsZero) {
    Graph g;
    g.user_constants[0] = 1.5;
    UserConstantsForm form;
    form.load(g);
    EXPECT_EQ(form.values[0], "1.5");
    form.values[0] = "abc";
    form.values[8] = "-2e3";
    form.apply(g);
    EXPECT_DOUBLE_EQ(g.user_constants[0], 0);
    EXPECT_DOUBLE_EQ(g.user_constants[8], -2000);
}

TEST(SettingsDialog, ClampsMapsListsAndStoresReadValueColourInverted) {
    UserConfig c;
    c.Glid = 700;
    SettingsForm form;
    form.load(c);
    EXPECT_EQ(form.snap_index, -1);
    EXPECT_EQ(form.read_value_color, 0x0000FF);
    form.subscript_size = "5";
    form.screen_size = "300";
    form.grid_index = 2;
    form.read_value_color = 0x00FF00;
    UserConfig out = form.apply();
    EXPECT_EQ(out.Glid, 700); // a step the list cannot show is kept
    EXPECT_EQ(out.SubscriptSize, 10);
    EXPECT_EQ(out.ScreenSize, 200);
    EXPECT_EQ(out.DrawGlid, 1000);
    EXPECT_EQ(out.ReadValColor, 0xFF00FF);
    form.snap_index = 0;
    form.screen_size = "20";
    out = form.apply();
    EXPECT_EQ(out.Glid, 1);
    EXPECT_EQ(out.ScreenSize, 50);
}

} // namespace
} // namespace plox::forms
