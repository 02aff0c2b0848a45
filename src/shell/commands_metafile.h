// Picture export and copy from the window: commands 119 (export all graphs), 128 (export the
// selected rectangle), 621 (copy all graphs, Ctrl+C) and 127 (copy the selected rectangle).
#pragma once

#include "render/surface.h"

#include <functional>
#include <optional>

namespace plox {
class Prompter;
}

namespace plox::shell {

class MainWindow;
class PageEditor;

// The rectangle selected on the page (page units), when there is one; commands 127 and 128
// stay greyed without it.
using SelectedRegion = std::function<std::optional<Rect>()>;

// The page editor's region while it is selected (as for the region's other commands),
// normalised; none while the page waits for a region of another command.
SelectedRegion editor_region(const MainWindow& window, const PageEditor& editor);

void register_metafile_commands(MainWindow& window, Prompter& prompter,
                                SelectedRegion selected = {});

} // namespace plox::shell
