// Markers of plot types 38 and above come from the extension module. The renderer sees them
// through this interface; the extension host binds it to the module's marker entry.
#pragma once

#include "render/surface.h"

namespace plox {

class ExternalMarkers {
public:
    virtual ~ExternalMarkers() = default;
    // Draws marker `number` (plot type - 38) centred on (x, y) with half size `half_size`, with
    // the pen and brush the caller selected. `fill_color` is the series' fill colour. Returns
    // false when the module has no such marker (nothing drawn).
    virtual bool draw_marker(Surface& surface, int32_t number, int32_t x, int32_t y,
                             int32_t half_size, Color fill_color) = 0;
};

} // namespace plox
