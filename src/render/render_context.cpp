// Settings values of the renderer.
#include "render/render_context.h"

#include "settings/store.h"

namespace plox {

RenderSettings read_render_settings(const SettingsStore& store) {
    RenderSettings s;
    store.read("User Config", "SubscriptSize", s.SubscriptSize);
    store.read("User Config", "SubscriptPos", s.SubscriptPos);
    store.read("User Config", "SuperscriptPos", s.SuperscriptPos);
    store.read("User Config", "Clipping", s.Clipping);
    return s;
}

} // namespace plox
