// Text extents in logical units from the font files themselves, independent of any device:
// the one measuring surface of the program.
#pragma once

#include "render/surface.h"

#include <QFont>

#include <map>
#include <string>
#include <utility>

namespace plox {

class QtTextMeasurer : public TextMeasurer {
public:
    Size text_extent(const Font& font, std::string_view bytes) const override;

    // Advance, ascent and descent in logical units (double precision).
    struct Metrics {
        double width = 0, ascent = 0, descent = 0;
    };
    Metrics metrics(const Font& font, std::string_view bytes) const;
    const QFont& qfont(const Font& font) const;

private:
    // Layouts repeat (every redraw measures the same labels), and measuring is slow.
    mutable std::map<std::string, QFont> fonts_;
    mutable std::map<std::pair<std::string, std::string>, Metrics> cache_;
};

// Key identifying a LOGFONT value in caches.
std::string font_key(const Font& font);

// Offset of a text's drawing origin from its reference point for a text-alignment value
// (left/right/centre, top/baseline/bottom), as GDI places text.
inline std::pair<double, double> alignment_offset(uint32_t align,
                                                  const QtTextMeasurer::Metrics& m) {
    double dx = 0, dy = 0;
    switch (align & text_align::HorizontalMask) {
    case text_align::Right:
        dx = -m.width;
        break;
    case text_align::Center:
        dx = -m.width / 2;
        break;
    default:
        break;
    }
    switch (align & text_align::VerticalMask) {
    case text_align::Baseline:
        break;
    case text_align::Bottom:
        dy = -m.descent;
        break;
    default:
        dy = m.ascent;
        break;
    }
    return {dx, dy};
}

} // namespace plox
