// Extents of the page window in normal view and preview.
#include "shell/page_geometry.h"

#include <algorithm>
#include <cmath>

namespace plox::shell {

PageLayout normal_layout(int screen_size, double dpi_x, double dpi_y) {
    PageLayout l;
    l.extent = {static_cast<int>(screen_size * 32 * dpi_x / 254),
                static_cast<int>(screen_size * 32 * dpi_y / 254)};
    return l;
}

PageLayout preview_layout(const Paper& paper, Size client, double dpi_x, double dpi_y) {
    double scale = paper.print_scale > 0 ? paper.print_scale : 100;
    double w = paper.width_mm * 100.0 / scale;
    double h = paper.height_mm * 100.0 / scale;
    if (paper.landscape) std::swap(w, h);
    if (w < 10) w = 320;
    if (h < 10) h = 320;
    // Pixels of paper at 100 % and the percentage that fits each direction.
    const double w100 = w * dpi_x / 25.4, h100 = h * dpi_y / 25.4;
    const double fit_x = std::max(1, client.width - 10) * 100.0 / w100;
    const double fit_y = std::max(1, client.height - 10) * 100.0 / h100;
    const double fitted = std::min(fit_x, fit_y);

    PageLayout l;
    l.extent = {static_cast<int>(fitted * 320 * dpi_x / 2540),
                static_cast<int>(fitted * 320 * dpi_y / 2540)};
    l.paper = {static_cast<int>(std::lround(w100 * fitted / 100)),
               static_cast<int>(std::lround(h100 * fitted / 100))};
    if (fit_x <= fit_y) {
        l.origin_x = 5;
        l.origin_y = std::max(5, (client.height - l.paper.height) / 2);
    } else {
        l.origin_y = 5;
        l.origin_x = std::max(5, (client.width - l.paper.width) / 2);
    }
    return l;
}

} // namespace plox::shell
