// The one routine behind exporting a picture to a file and copying it to the clipboard
// (whole page or a selected rectangle): the question about hidden graphs, the region, the copy
// region dialog, the ratio, then the metafile written or handed to the clipboard.
#pragma once

#include "document/prompter.h"
#include "forms/copy_region_form.h"
#include "output/metafile_text.h"
#include "render/render_context.h"

#include <optional>
#include <string>
#include <vector>

namespace plox {

// What the routine needs from the window; tests answer it.
class PictureUi {
public:
    virtual ~PictureUi() = default;
    // The copy region dialog; false: cancelled.
    virtual bool copy_region(forms::CopyRegion& region) = 0;
    // The save dialog proposing `proposed` (no extension); nullopt: cancelled.
    virtual std::optional<std::string> picture_file(const std::string& proposed) = 0;
    // A picture in a format other than a metafile (.pdf, .svg, .png); false when it failed or
    // the extension is not one of them.
    virtual bool write_other_format(const std::string& path, GraphSet& set, const Rect& region,
                                    int32_t ratio) = 0;
    // The clipboard: the metafile (enhanced, or placeable Windows) and the region it shows.
    virtual void set_clipboard(const std::vector<uint8_t>& metafile, bool enhanced, GraphSet& set,
                               const Rect& region, int32_t ratio) = 0;
};

struct PictureRequest {
    bool to_file = false;
    std::optional<Rect> selected; // the selection's rectangle (page units)
    bool preview = false;         // the print preview is shown
    std::string proposed_name;    // document path without its extension
};

enum class PictureOutcome { Cancelled, Done, Failed };

struct PictureResult {
    PictureOutcome outcome = PictureOutcome::Cancelled;
    bool redraw = false; // the ratio was not 100: the window's pictures are stale
    std::string path;    // the file written
};

PictureResult export_or_copy_picture(GraphSet& set, const PictureRequest& request,
                                     Prompter& prompter, PictureUi& ui,
                                     const RenderContext& context, const MetafileText& text);

// The name proposed in the save dialog: the single graph's file name, else the bundle's, without
// the extension.
std::string proposed_picture_name(const GraphSet& set);

} // namespace plox
