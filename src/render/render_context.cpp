// Settings values of the renderer.
#include "render/render_context.h"
#include "render/render_settings.h"

namespace plox {

RenderSettings render_settings_of(const UserConfig& config) {
    return RenderSettings{.SubscriptSize = config.SubscriptSize,
                          .SubscriptPos = config.SubscriptPos,
                          .SuperscriptPos = config.SuperscriptPos,
                          .Clipping = config.Clipping};
}

RenderSettings read_render_settings(const SettingsStore& store) {
    return render_settings_of(read_user_config(store));
}

} // namespace plox
