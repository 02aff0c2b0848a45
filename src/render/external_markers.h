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
    // The same, naming the pen and brush the caller selected: some module shapes are filled
    // with a solid brush of the pen's colour and then restore the caller's brush, and a
    // Surface cannot report either. Prefer this one.
    virtual bool draw_marker(Surface& surface, int32_t number, int32_t x, int32_t y,
                             int32_t half_size, const Pen& /*pen*/, const Brush& brush) {
        return draw_marker(surface, number, x, y, half_size, brush.color);
    }
};

} // namespace plox
