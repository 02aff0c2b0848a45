// Rules of the settings dialog.
#include "forms/settings_form.h"

#include "forms/dialog_helpers.h"

#include <algorithm>

namespace plox::forms {

namespace {

template <size_t N> int index_of(const std::array<int32_t, N>& values, int32_t value) {
    auto it = std::find(values.begin(), values.end(), value);
    return it == values.end() ? -1 : static_cast<int>(it - values.begin());
}

} // namespace

void SettingsForm::load(const UserConfig& c) {
    config = c;
    snap_index = index_of(SNAP_VALUES, c.Glid);
    grid_index = std::max(0, index_of(GRID_VALUES, c.DrawGlid));
    subscript_size = std::to_string(c.SubscriptSize);
    subscript_pos = std::to_string(c.SubscriptPos);
    superscript_pos = std::to_string(c.SuperscriptPos);
    screen_size = std::to_string(c.ScreenSize);
    read_value_color = c.read_value_display_color();
}

UserConfig SettingsForm::apply() const {
    UserConfig c = config;
    if (snap_index >= 0 && snap_index < static_cast<int>(SNAP_VALUES.size()))
        c.Glid = SNAP_VALUES[static_cast<size_t>(snap_index)];
    c.DrawGlid = GRID_VALUES[static_cast<size_t>(std::clamp(grid_index, 0, 2))];
    c.SubscriptSize = read_integer(subscript_size);
    c.SubscriptPos = read_integer(subscript_pos);
    c.SuperscriptPos = read_integer(superscript_pos);
    c.ScreenSize = read_integer(screen_size);
    apply_settings_dialog_limits(c);
    c.ReadValColor = (read_value_color ^ 0xFFFFFF) & 0xFFFFFF;
    return c;
}

} // namespace plox::forms
