// Graph sheet pages.
#include "forms/graph_sheet.h"

#include "document/graph_ops.h"
#include "document/paths.h"
#include "forms/dialog_helpers.h"

#include <algorithm>
#include <cmath>

namespace plox::forms {

namespace {

constexpr size_t TITLE_CAPACITY = 256;
constexpr size_t RANGE_TEXT_CAPACITY = 40;

void lower_pair(int32_t& position, int32_t& size) {
    while (position + size > 32000) {
        if (position > size)
            position -= 1000;
        else
            size -= 1000;
    }
}

} // namespace

void clamp_frame_page(int32_t& left, int32_t& top, int32_t& width, int32_t& height) {
    for (int32_t* v : {&left, &top, &width, &height})
        *v = std::clamp(*v, 1000, 32000);
    lower_pair(left, width);
    lower_pair(top, height);
}

void FramePage::load(const Graph& g) {
    left = millimetre_text(g.frame_left);
    top = millimetre_text(g.frame_top);
    width = millimetre_text(g.frame_width);
    height = millimetre_text(g.frame_height);
    line_width = millimetre_text(g.frame_line.width);
    line_colour = g.frame_line.color;
    background = g.background_color;
    frame_type = std::clamp<int>(g.FrameType, 0, 3);
}

void FramePage::apply(Graph& g) const {
    int32_t l = read_millimetres(left), t = read_millimetres(top);
    int32_t w = read_millimetres(width), h = read_millimetres(height);
    clamp_frame_page(l, t, w, h);
    place_frame(g, l, t, w, h);
    g.frame_line.width = read_millimetres(line_width);
    g.frame_line.color = line_colour;
    g.background_color = background;
    g.FrameType = std::clamp(frame_type, 0, 3);
}

std::string renamed_file(const std::string& file_name, const std::string& title) {
    std::string name = std::string(paths::directory_of(file_name)) + title + ".QVP";
    set_text(name, std::string(name), PATH_CAPACITY);
    return name;
}

int32_t limit_magnification(const Graph& g, int32_t wanted) {
    int32_t m = std::max(wanted, 5);
    const double per_percent = std::max(g.extent_right, g.extent_bottom) /
                               static_cast<double>(std::max(g.Magnification, 1));
    if (per_percent > 0) m = std::min<int32_t>(m, static_cast<int32_t>(32000.0 / per_percent));
    return std::max(m, 5);
}

void TitlePage::load(const Graph& g) {
    title = std::string(paths::stem_of(g.file_name));
    set_text(title, std::string(title), TITLE_CAPACITY);
    comment = g.comment;
    zoom = std::to_string(g.Magnification);
    visible_only = g.count_all_series == 0;
}

void TitlePage::apply(Graph& g) const {
    if (!title.empty() && title != paths::stem_of(g.file_name))
        g.file_name = renamed_file(g.file_name, title.substr(0, TITLE_CAPACITY - 1));
    set_text(g.comment, comment, COMMENT_CAPACITY);
    const int32_t wanted = read_integer(zoom);
    if (wanted != g.Magnification) g.Magnification = limit_magnification(g, wanted);
    g.count_all_series = visible_only ? 0 : 1;
}

void ScalePage::load(const Graph& g) {
    for (size_t i = 0; i < 4; ++i) {
        axes[i].set = true;
        axes[i].from = number_text(g.axes[i].from);
        axes[i].to = number_text(g.axes[i].to);
    }
}

void ScalePage::apply(Graph& g) const {
    for (size_t i = 0; i < 4; ++i) {
        if (!axes[i].set) continue;
        g.axes[i].from = read_number(axes[i].from.substr(0, RANGE_TEXT_CAPACITY - 1));
        g.axes[i].to = read_number(axes[i].to.substr(0, RANGE_TEXT_CAPACITY - 1));
    }
}

} // namespace plox::forms
