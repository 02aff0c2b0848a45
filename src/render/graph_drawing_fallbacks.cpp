// Stand-ins for the parts of a drawing that live in other files of this folder, used only
// while those files are absent from the tree (each is keyed to its header). They are weak, so
// a build tree that still holds this object after the real file arrived links the real one.
#include "render/graph_drawing.h"

#include "render/mapping.h"

#include <algorithm>
#include <cstdlib>

#define PLOX_FALLBACK __attribute__((weak))

namespace plox {

#if !__has_include("render/series_drawing.h")
PLOX_FALLBACK void draw_body_series(Surface&, Graph&, RenderContext&) {}
#endif

#if !__has_include("render/objects.h")
PLOX_FALLBACK void draw_objects(Surface&, Graph&, RenderContext&) {}
#endif

#if !__has_include("render/rich_text.h")
// Enough of the markup for the axis multiplier: "%G" … "%A" switch to the Symbol font and
// back, "^" raises, "@" returns to normal script.
PLOX_FALLBACK void draw_text_object(Surface& sf, Graph& g, RenderContext& ctx, GraphObject& obj,
                                    bool white, bool draw) {
    static const FixedTextMeasurer fixed;
    const TextMeasurer& measurer = ctx.measurer ? *ctx.measurer : fixed;
    const int32_t x0 = g.frame_left + mul_div(obj.x, g.Magnification, 100);
    const int32_t y0 = g.frame_top + mul_div(obj.y, g.Magnification, 100);
    Font latin = obj.Font1, greek = obj.Font3;
    latin.height = scaled_font_height(latin.height, g.Magnification);
    greek.height = latin.height;
    const int32_t h = std::abs(latin.height);
    int32_t x = x0;
    bool greek_mode = false, raised = false;
    if (draw) {
        sf.set_bk_mode(white ? bk_mode::Transparent : obj.Back);
        sf.set_text_color(white ? 0xFFFFFF : obj.Color);
        sf.set_text_align(text_align::Baseline);
    }
    int32_t top = y0 - h, bottom = y0;
    auto flush = [&](const std::string& run) {
        if (run.empty()) return;
        Font f = greek_mode ? greek : latin;
        if (raised) f.height = f.height * ctx.settings.SubscriptSize / 100;
        const int32_t y = raised ? y0 - h * ctx.settings.SubscriptPos / 100 : y0;
        if (draw) {
            sf.select_font(f);
            sf.text_out(x, y, run);
        }
        const Size e = measurer.text_extent(f, run);
        x += e.cx;
        top = std::min(top, y - std::abs(f.height));
        bottom = std::max(bottom, y + std::abs(f.height) / 4);
    };
    std::string run;
    const std::string& s = obj.Str;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '%' && i + 1 < s.size() && (s[i + 1] == 'G' || s[i + 1] == 'A')) {
            flush(run);
            run.clear();
            greek_mode = s[++i] == 'G';
        } else if (c == '^' || c == '@') {
            flush(run);
            run.clear();
            raised = c == '^';
        } else {
            run += c;
        }
    }
    flush(run);
    obj.extent_left = x0;
    obj.extent_right = x;
    obj.extent_top = top;
    obj.extent_bottom = bottom;
}
#endif

} // namespace plox
