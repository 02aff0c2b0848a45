// The fitting dialogs on Qt: the least-squares sheet "最小二乗の条件" (conditions or function
// page, and the curve page), the curve page alone, the results dialog "最小二乗の結果" and the
// user constants dialog "定数の設定". Views over the forms of forms/fit_forms.h.
#pragma once

#include "document/model.h"

#include <QColor>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace plox {
class SettingsStore;
}

namespace plox::dialogs {

// Called with the edited series whenever the sheet is applied (OK or "適用").
using SeriesApply = std::function<void(const Series& edited)>;

// The sheet for least-squares kind `fit_kind` (2, 16, 32, 64 or 128) over a copy of `series`;
// true when it was applied. `store` (may be null) serves the "保存(&V)" buttons and the
// browsing of stored functions.
bool run_least_squares_sheet(QWidget* parent, const Series& series, int fit_kind,
                             SettingsStore* store, const QString& series_name,
                             const SeriesApply& apply);

// The curve page alone (splines, drawn functions, extension analyses); true on OK.
bool run_curve_dialog(QWidget* parent, Series& series, bool count_out_enabled, SettingsStore* store,
                      const QString& series_name);

// Adds the curve page as the page "曲線" of the series sheet of every computed series (kinds 2
// to 1024; "グラフ描画範囲外を考慮(&Q)" is greyed for drawn functions). `store` answers the
// settings its "保存(&V)" writes to (null: the button is greyed).
void register_series_curve_page(std::function<SettingsStore*()> store);

// INFORMATIONDIALOG: title line, list, "&OK", "COPY to Clipboard" and "&New" (offered when
// `on_new` is set).
void show_results_dialog(QWidget* parent, const QString& caption, const QString& series_name,
                         const std::vector<std::string>& lines,
                         const std::function<void()>& on_new);

// SET_USERCONSTANT "定数の設定": true when the constants were taken (OK or closing the window).
bool run_user_constants_dialog(QWidget* parent, Graph& graph);

// A colour as Qt shows it, and back (0x00BBGGRR).
QColor to_qcolor(int32_t color);
int32_t from_qcolor(const QColor& color);
// The colour chooser: the current colour preselected, the grey custom colours.
bool choose_colour(QWidget* parent, int32_t& color);

} // namespace plox::dialogs
