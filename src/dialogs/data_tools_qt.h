// The data tools on Qt: the mask list "Data Mask の選択", the trimming dialog "スケールの設定",
// the value-reading dialog "値を読む", the settings dialog "設定" and a series chooser.
#pragma once

#include "document/model.h"
#include "editing/data_masks.h"
#include "editing/value_reading.h"
#include "forms/settings_form.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace plox::dialogs {

// MASKDIALOG: "削除(&D)" removes the chosen mask at once (through `remove`) and the list
// follows; the answer is true for "新規(&N)", false for Cancel.
bool run_mask_list_dialog(QWidget* parent, const Graph& graph,
                          const std::function<void(int index)>& remove);

// SET_TRIMING: true on OK with the form updated.
bool run_trimming_dialog(QWidget* parent, TrimmingForm& form);

// READ_DATA: steps `reader` with its buttons and the wheel; `moved` is told after every move
// (the cross-hair follows). Ends with "&Close".
void run_read_value_dialog(QWidget* parent, const QString& title, ValueReader& reader,
                           const std::function<void()>& moved);

// SETTING_DIALOG: true on OK with the form updated.
bool run_settings_dialog(QWidget* parent, forms::SettingsForm& form);

} // namespace plox::dialogs
