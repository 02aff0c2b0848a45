// Geometry of the page window: 32000 logical units (320 mm) each way map onto a device extent
// that depends on the view scale, or, in preview, on the paper fitted into the window.
#pragma once

namespace plox::shell {

inline constexpr int LOGICAL_EXTENT = 32000;

struct Size {
    int width = 0, height = 0;
    bool operator==(const Size&) const = default;
};

// The paper as preview shows it, in millimetres.
struct Paper {
    int width_mm = 210, height_mm = 297;
    bool landscape = false;
    int print_scale = 100; // percent
};

struct PageLayout {
    Size extent;      // device size of the 32000-unit square
    int origin_x = 0; // device position of logical (0, 0) before scrolling
    int origin_y = 0;
    Size paper; // preview: the paper in device pixels
};

// Normal view at `screen_size` percent of true size.
PageLayout normal_layout(int screen_size, double dpi_x, double dpi_y);

// Preview: the paper fitted into `client` less 10 pixels in the limiting direction, centred in
// the other; a side below 10 mm counts as 320 mm.
PageLayout preview_layout(const Paper& paper, Size client, double dpi_x, double dpi_y);

// A line step is one eighth of a page, at least one pixel.
inline int line_step(int page) {
    return page / 8 > 1 ? page / 8 : 1;
}

} // namespace plox::shell
