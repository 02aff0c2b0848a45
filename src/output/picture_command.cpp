// Export and copy of pictures.
#include "output/picture_command.h"

#include "output/metafile_export.h"

#include <cstdio>

namespace plox {

namespace {

std::string lower_extension(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

} // namespace

std::string proposed_picture_name(const GraphSet& set) {
    std::string name;
    if (set.graphs.size() == 1 && set.graphs[0])
        name = set.graphs[0]->file_name;
    else
        name = set.bundle_name;
    const size_t dot = name.rfind('.');
    const size_t slash = name.find_last_of("/\\");
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) name.resize(dot);
    return name;
}

PictureResult export_or_copy_picture(GraphSet& set, const PictureRequest& request,
                                     Prompter& prompter, PictureUi& ui,
                                     const RenderContext& context, const MetafileText& text) {
    PictureResult result;
    if (hidden_graphs_question_needed(set, request.preview) &&
        prompter.message("確認", "CRT上に表示されていない\nグラフもコピーされます", Buttons::YesNo,
                         Icon::Question) != Answer::Yes)
        return result;

    const Rect region = picture_region(set, request.selected);
    forms::CopyRegion dialog{region.left, region.top,       region.right,    region.bottom,
                             100,         !request.to_file, !request.to_file};
    if (!ui.copy_region(dialog)) return result;
    const Rect chosen{dialog.left, dialog.top, dialog.right, dialog.bottom};
    // An empty rectangle makes no picture; the command ends as if cancelled.
    if (chosen.empty()) return result;
    const int32_t ratio = dialog.ratio;
    const Rect scaled = scale_region(chosen, ratio);
    result.redraw = ratio != 100;

    if (!request.to_file) {
        const std::vector<uint8_t> bytes =
            dialog.enhanced ? build_enhanced_metafile(set, scaled, ratio, context, text)
                            : build_placeable_metafile(set, scaled, ratio, context);
        ui.set_clipboard(bytes, dialog.enhanced, set, scaled, ratio);
        result.outcome = PictureOutcome::Done;
        return result;
    }

    const auto path = ui.picture_file(request.proposed_name);
    if (!path) return result;
    result.path = *path;
    if (path->empty()) {
        std::fputs("SPM: No Filename specified\r\n", stderr);
        result.outcome = PictureOutcome::Failed;
        return result;
    }
    const std::string ext = lower_extension(*path);
    bool written = false;
    if (ext == ".pdf" || ext == ".svg" || ext == ".png") {
        written = ui.write_other_format(*path, set, scaled, ratio);
    } else {
        const std::vector<uint8_t> bytes =
            metafile_format_of(*path) == MetafileFormat::Placeable
                ? build_placeable_metafile(set, scaled, ratio, context)
                : build_enhanced_metafile(set, scaled, ratio, context, text);
        written = write_file_atomically(*path, bytes);
    }
    result.outcome = written ? PictureOutcome::Done : PictureOutcome::Failed;
    return result;
}

} // namespace plox
