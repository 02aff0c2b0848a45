// The pages of the fitting dialogs as plain forms: the conditions page of the least-squares
// sheet, the curve page shared by fits, splines, drawn functions and extension analyses, the
// user-function page with its browsable history, the results dialog and the user constants.
#pragma once

#include "document/model.h"

#include <array>
#include <string>
#include <vector>

namespace plox {
class SettingsStore;
}

namespace plox::forms {

// The line types the curve page lists, in value order.
const std::array<const char*, 7>& line_type_labels();

// "適用条件" (LSQ_DIALOG1) for a fit of kind `fit_kind`.
struct LsqConditionsForm {
    int fit_kind = kind::Polynomial;
    std::vector<std::string> degrees; // "0" … "9" for the polynomial fit, else "1"
    int degree_index = 0;
    bool through_point = false; // "特定点通過(&Z)"
    std::string x0, y0;

    void load(const Series& series, int kind);
    void apply(Series& series) const;
    // "保存(&V)": the degree as "Dimension" of "LSQ Ini".
    void save(SettingsStore& store) const;
    int degree() const;
};

// The curve page (LSQ_DIALOG2).
struct CurveForm {
    std::string from, to;
    std::string division; // curve points minus one
    int spacing = 0;      // 0 "&Linear", 1 "&exp 的", 2 "逆数的"
    int line_type = 1;
    std::string width, pitch; // millimetres
    int32_t color = 0;
    bool count_out_area = false;
    bool count_out_enabled = true; // splines yes, drawn functions no

    void load(const Series& series, bool count_out_area_enabled);
    void apply(Series& series) const;
    // "保存(&V)": "Continuace Ini".
    void save(SettingsStore& store) const;
    int32_t curve_points() const;
};

// The function page (SET_USERFUNCTION1).
struct UserFunctionForm {
    std::string function;
    std::array<bool, 9> free{};
    std::array<std::string, 9> initial;
    std::array<std::string, 9> derivatives;
    std::string tolerance;
    int position = 0; // the scroll bar: 0 the series' own block, 1 … 5 stored entries 0 … 4

    void load(const FitFunction& block);
    // Fills function, derivatives and initial values from position `to` (free flags and the
    // tolerance stay); `own` is the series' block shown at position 0.
    void browse(int to, const FitFunction& own, const SettingsStore& store);
    // The page's values as a block; the tolerance is |entry|, below 0.01 it becomes 0.1.
    FitFunction block() const;
    void apply(FitFunction& block) const { block = this->block(); }
};

// The results dialog "最小二乗の結果".
// The clipboard text of "COPY to Clipboard": every line followed by CR LF.
std::string results_clipboard_text(const std::vector<std::string>& lines);
// "&New" is offered only for a general-function fit with a block.
bool can_copy_fitted_values(const Series& series);
// Copies every fitted parameter that is not missing into the block's initial values.
bool copy_fitted_values(Series& series);

// The user constants dialog "定数の設定": "a=" … "i=".
struct UserConstantsForm {
    std::array<std::string, 9> values;
    void load(const Graph& graph);
    void apply(Graph& graph) const; // text that is not a number reads as 0
};

} // namespace plox::forms
