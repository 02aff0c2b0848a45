// Measuring with QFontMetricsF on fonts sized in logical units.
#include "platform/qt_text_measurer.h"

#include "platform/font_faces.h"
#include "platform/text_decoding.h"

#include <QFontMetricsF>

#include <cmath>

namespace plox {

std::string font_key(const Font& f) {
    std::string k = f.face;
    k += '\0';
    for (int32_t v : {f.height, f.width, f.weight, int32_t{f.italic}, int32_t{f.underline},
                      int32_t{f.strike_out}, int32_t{f.charset}, int32_t{f.pitch_and_family}}) {
        k += std::to_string(v);
        k += ',';
    }
    return k;
}

const QFont& QtTextMeasurer::qfont(const Font& font) const {
    const std::string key = font_key(font);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) it = fonts_.emplace(key, make_qfont(font)).first;
    return it->second;
}

QtTextMeasurer::Metrics QtTextMeasurer::metrics(const Font& font, std::string_view bytes) const {
    auto key = std::make_pair(font_key(font), std::string(bytes));
    auto it = cache_.find(key);
    if (it != cache_.end()) return it->second;
    const QFontMetricsF fm(qfont(font));
    Metrics m{fm.horizontalAdvance(decode_text(bytes, font.charset)), fm.ascent(), fm.descent()};
    if (cache_.size() > 20000) cache_.clear();
    cache_.emplace(std::move(key), m);
    return m;
}

Size QtTextMeasurer::text_extent(const Font& font, std::string_view bytes) const {
    const Metrics m = metrics(font, bytes);
    return {static_cast<int32_t>(std::lround(m.width)),
            static_cast<int32_t>(std::lround(m.ascent + m.descent))};
}

} // namespace plox
