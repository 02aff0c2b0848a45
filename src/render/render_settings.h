// The renderer's settings taken from the program options: the window and batch runs draw with
// the same values whether they hold the options or read them from the store.
#pragma once

#include "render/render_context.h"
#include "settings/user_config.h"

namespace plox {

RenderSettings render_settings_of(const UserConfig& config);

} // namespace plox
