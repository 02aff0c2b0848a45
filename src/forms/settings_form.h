// The settings dialog SETTING_DIALOG "設定": the "User Config" options as the dialog shows
// them, and the limits and list mappings applied on OK.
#pragma once

#include "settings/user_config.h"

#include <array>
#include <string>

namespace plox::forms {

// "ｽﾅｯﾌﾟ(&N)" and "ｸﾞﾘｯﾄﾞ表示(&G)" entries and the values they stand for.
inline constexpr std::array<int32_t, 5> SNAP_VALUES{1, 50, 100, 200, 500};
inline constexpr std::array<const char*, 5> SNAP_LABELS{"しない", "0.5mm", "1mm", "2mm", "5mm"};
inline constexpr std::array<int32_t, 3> GRID_VALUES{0, 500, 1000};
inline constexpr std::array<const char*, 3> GRID_LABELS{"表示しない", "5mm", "10mm"};
inline constexpr std::array<const char*, 5> SCREEN_SIZES{"50", "70", "100", "150", "200"};

struct SettingsForm {
    UserConfig config;  // check boxes, texts and the background colour as they are edited
    int snap_index = 2; // -1: a stored step the list does not offer, kept unless chosen
    int grid_index = 1;
    std::string subscript_size, subscript_pos, superscript_pos, screen_size;
    int32_t read_value_color = 0x0000FF; // as shown, not as stored

    void load(const UserConfig& config);
    // The options to store: percentages and display size clamped, lists mapped, the read-value
    // colour stored XOR 0xFFFFFF.
    UserConfig apply() const;
};

} // namespace plox::forms
