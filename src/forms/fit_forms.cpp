// Rules of the fitting dialogs' pages, tested without a window.
#include "forms/fit_forms.h"

#include "forms/dialog_helpers.h"
#include "settings/analysis_settings.h"

#include <algorithm>
#include <cmath>

namespace plox::forms {

const std::array<const char*, 7>& line_type_labels() {
    static const std::array<const char*, 7> labels{"線なし",   "実線",     "破線", "点線",
                                                   "一点鎖線", "二点鎖線", "面"};
    return labels;
}

void LsqConditionsForm::load(const Series& series, int fit_kind_) {
    fit_kind = fit_kind_;
    degrees.clear();
    if (fit_kind == kind::Polynomial) {
        for (int d = 0; d <= 9; ++d)
            degrees.push_back(std::to_string(d));
        // A stored degree outside the list shows as 1 below it and 9 above it.
        degree_index = series.degree < 0 ? 1 : std::min(series.degree, 9);
    } else {
        degrees.push_back("1");
        degree_index = 0;
    }
    through_point = (series.analysis_option & 1) != 0;
    x0 = number_text(series.analysis_values[0]);
    y0 = number_text(series.analysis_values[1]);
}

int LsqConditionsForm::degree() const {
    return fit_kind == kind::Polynomial ? std::clamp(degree_index, 0, 9) : 1;
}

void LsqConditionsForm::apply(Series& series) const {
    series.degree = degree();
    series.analysis_option =
        through_point ? (series.analysis_option | 1) : (series.analysis_option & ~1);
    series.analysis_values = {read_number(x0), read_number(y0)};
}

void LsqConditionsForm::save(SettingsStore& store) const {
    store.write(LSQ_INI_KEY, "Dimension", degree());
}

void CurveForm::load(const Series& series, bool enabled) {
    from = number_text(series.curve_from);
    to = number_text(series.curve_to);
    division = std::to_string(series.curve_points - 1);
    // The log and plain-inverse scale types share the buttons of their families.
    switch (series.curve_scale_type) {
    case 1:
    case 3:
        spacing = 1;
        break;
    case 2:
    case 4:
        spacing = 2;
        break;
    default:
        spacing = 0;
    }
    line_type = std::clamp(series.curve_line_type, 0, 6);
    width = millimetre_text(series.curve_line.width);
    pitch = millimetre_text(series.curve_line.pitch);
    color = series.curve_line.color;
    count_out_area = series.CountOutArea != 0;
    count_out_enabled = enabled;
}

int32_t CurveForm::curve_points() const {
    const int32_t entry = read_integer(division);
    return entry < INT32_MAX ? entry + 1 : entry;
}

void CurveForm::apply(Series& series) const {
    series.curve_from = read_number(from);
    series.curve_to = read_number(to);
    series.curve_points = curve_points();
    series.curve_scale_type = std::clamp(spacing, 0, 2);
    series.curve_line_type = line_type;
    series.curve_line.width = read_millimetres(width);
    series.curve_line.pitch = read_millimetres(pitch);
    series.curve_line.color = color;
    if (count_out_enabled) series.CountOutArea = count_out_area ? 1 : 0;
}

void CurveForm::save(SettingsStore& store) const {
    Series s;
    s.CountOutArea = count_out_area ? 1 : 0;
    s.curve_points = curve_points();
    s.curve_line_type = line_type;
    s.curve_line.width = read_millimetres(width);
    s.curve_line.pitch = read_millimetres(pitch);
    s.curve_line.color = color;
    write_curve_defaults(store, s);
}

void UserFunctionForm::load(const FitFunction& b) {
    function = b.function;
    for (size_t k = 0; k < 9; ++k) {
        free[k] = b.parameter_free[k] != 0;
        initial[k] = number_text(b.parameters[k]);
        derivatives[k] = b.derivatives[k];
    }
    tolerance = number_text(b.tolerance);
    position = 0;
}

void UserFunctionForm::browse(int to, const FitFunction& own, const SettingsStore& store) {
    position = std::clamp(to, 0, FUNCTION_HISTORY);
    FitFunction shown;
    if (position == 0) {
        shown = own;
    } else if (auto entry = read_function_entry(store, position - 1)) {
        shown = *entry;
    } else {
        shown.function.clear();
        shown.derivatives.fill({});
        shown.parameters.fill(0.0);
    }
    function = shown.function;
    for (size_t k = 0; k < 9; ++k) {
        initial[k] = number_text(shown.parameters[k]);
        derivatives[k] = shown.derivatives[k];
    }
}

FitFunction UserFunctionForm::block() const {
    FitFunction b;
    set_text(b.function, function, EXPRESSION_CAPACITY);
    for (size_t k = 0; k < 9; ++k) {
        b.parameter_free[k] = free[k] ? 1 : 0;
        b.parameters[k] = read_number(initial[k]);
        set_text(b.derivatives[k], derivatives[k], EXPRESSION_CAPACITY);
    }
    const double t = std::fabs(read_number(tolerance));
    b.tolerance = t < 0.01 || !std::isfinite(t) ? 0.1 : t;
    return b;
}

std::string results_clipboard_text(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

bool can_copy_fitted_values(const Series& series) {
    return series.kind == kind::General && series.fit.has_value();
}

bool copy_fitted_values(Series& series) {
    if (!can_copy_fitted_values(series)) return false;
    for (size_t k = 0; k < 9; ++k)
        if (is_valid(series.coefficients[k])) series.fit->parameters[k] = series.coefficients[k];
    return true;
}

void UserConstantsForm::load(const Graph& graph) {
    for (size_t k = 0; k < 9; ++k)
        values[k] = number_text(graph.user_constants[k]);
}

void UserConstantsForm::apply(Graph& graph) const {
    for (size_t k = 0; k < 9; ++k)
        graph.user_constants[k] = read_number(values[k]);
}

} // namespace plox::forms
