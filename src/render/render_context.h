// What one drawing of a graph needs besides the graph and the surface: settings values, the
// measuring surface, the prompter, the extension's markers and the source of series ranges.
#pragma once

#include "data/context.h"
#include "render/surface.h"

#include <functional>
#include <optional>

namespace plox {

class Prompter;
class SettingsStore;
class ExternalMarkers;
class CurveSource;
class FieldSources;
class PictureLoader;
struct FontMapping;

// "User Config" values the renderer reads (defaults as a fresh installation has them).
struct RenderSettings {
    int32_t SubscriptSize = 70;  // sub- and superscript height, percent of the text height
    int32_t SubscriptPos = 50;   // superscript raise, percent
    int32_t SuperscriptPos = 20; // subscript drop, percent
    int32_t Clipping = 0;        // clip series to the frame
};

// Reads the values above from "User Config"; missing values keep their defaults.
RenderSettings read_render_settings(const SettingsStore& store);

// Extreme valid x and y of one series after its transforms (the automatic range's input).
struct SeriesExtent {
    double xmin = 0, xmax = 1, ymin = 0, ymax = 1;
};
using SeriesRangeFunction = std::function<SeriesExtent(Graph&, int series_index)>;

struct RenderContext {
    // Text is always measured here, never on the target, so every device lays out alike.
    const TextMeasurer* measurer = nullptr;
    Prompter* prompter = nullptr;
    ExternalMarkers* external_markers = nullptr; // null: plot types >= 38 draw nothing
    RenderSettings settings;
    // The target is a recording or a metafile: no clip regions are selected at all.
    bool metafile = false;
    // The caller's clip region in logical units (none: unclipped).
    std::optional<Rect> caller_clip;
    // What the series builder calls out to (messages, extension functions, converter).
    DataContext data;
    // Data extents for the automatic range; when empty, series_range of the data subsystem
    // (which reads the files) is used with `data`. Tests put fixed extents here.
    SeriesRangeFunction series_range;
    // Curves of fits, splines and extension analyses (series_drawing.h); null: none drawn.
    CurveSource* curves = nullptr;
    // Dates, times and data lines of text fields (rich_text_fields.h); null: the file system.
    const FieldSources* field_sources = nullptr;
    // GRA font slots (font_mapping.h); null: the built-in table.
    const FontMapping* font_mapping = nullptr;
    // Bitmap and metafile pictures (objects.h); null: pictures draw nothing.
    PictureLoader* pictures = nullptr;
};

} // namespace plox
