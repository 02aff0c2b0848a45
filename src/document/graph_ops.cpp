// Graph and graph-set operations shared by the whole program.
#include "document/graph_ops.h"

#include "document/prompter.h"

#include <algorithm>
#include <cstdio>

namespace plox {

std::unique_ptr<Graph> create_graph(std::string_view name) {
    auto g = std::make_unique<Graph>();
    set_text(g->file_name, name, PATH_CAPACITY);
    return g;
}

Graph* add_graph(GraphSet& set, const TemplateReader& read_template) {
    if (static_cast<int>(set.graphs.size()) >= MAX_GRAPHS) return nullptr;
    auto g = create_graph();
    if (read_template && !read_template(*g)) g = create_graph();
    g->scales_valid = 0;
    g->unmodified = 1;
    set.graphs.push_back(std::move(g));
    set.current = static_cast<int>(set.graphs.size()) - 1;
    return set.graphs.back().get();
}

void free_graph(GraphSet& set, int index, const TemplateReader& read_template) {
    if (index < 0 || index >= static_cast<int>(set.graphs.size())) return;
    set.graphs.erase(set.graphs.begin() + index);
    if (set.graphs.empty()) {
        add_graph(set, read_template);
        return;
    }
    const int n = static_cast<int>(set.graphs.size());
    if (set.current == index || set.current >= n)
        set.current = n - 1;
    else if (set.current > index)
        --set.current;
}

bool is_empty_graph(const Graph& g) {
    return g.series_count == 0 && !g.scales_valid;
}

std::string series_limit_message(LimitMessage which) {
    char text[64];
    std::snprintf(text, sizeof text,
                  which == LimitMessage::Reading ? "cannot open over %d files"
                                                 : "%d個以上のファイルは開けません",
                  MAX_SERIES);
    return text;
}

int add_series(Graph& g, std::string_view file_name, Prompter* prompter, LimitMessage which) {
    if (g.series_count >= MAX_SERIES) {
        if (prompter)
            prompter->message("Error", series_limit_message(which), Buttons::Ok, Icon::Error);
        return -1;
    }
    const int index = std::max(g.series_count, 0);
    Series& s = g.series[index];
    s = Series{};
    set_text(s.file_name, file_name, PATH_CAPACITY);
    g.series_count = index + 1;
    return index;
}

void clamp_frame(int32_t& left, int32_t& top, int32_t& width, int32_t& height) {
    for (int32_t* v : {&left, &top, &width, &height})
        *v = std::clamp(*v, 1000, 28000);
    if (left + width > 32000) width = 32000 - left;
    if (top + height > 32000) height = 32000 - top;
}

void set_frame(Graph& g, int32_t left, int32_t top, int32_t width, int32_t height) {
    clamp_frame(left, top, width, height);
    place_frame(g, left, top, width, height);
}

void place_frame(Graph& g, int32_t left, int32_t top, int32_t width, int32_t height) {
    const int32_t dw = width - g.frame_width;
    const int32_t dh = height - g.frame_height;
    for (GraphObject& o : g.objects) {
        if (!o.used) continue;
        switch (o.Type) {
        case object_type::TitleX:
            o.x += dw / 2;
            o.y += dh;
            break;
        case object_type::TitleY:
            o.y += dh / 2;
            break;
        case object_type::TitleU:
            o.x += dw / 2;
            break;
        case object_type::TitleR:
            o.x += dw;
            o.y += dh / 2;
            break;
        default:
            break;
        }
    }
    g.frame_left = left;
    g.frame_top = top;
    g.frame_width = width;
    g.frame_height = height;
}

void mark_modified(Graph& g) {
    g.unmodified = 0;
    g.cached_drawing.reset();
}

void mark_saved(Graph& g) {
    g.unmodified = 1;
}

void invalidate_scales(Graph& g) {
    g.scales_valid = 0;
    g.cached_drawing.reset();
}

int find_free_object_slot(const Graph& g) {
    for (int i = 0; i < MAX_OBJECTS; ++i)
        if (!g.objects[i].used) return i;
    return -1;
}

int count_objects(const Graph& g, int32_t type) {
    return static_cast<int>(
        std::count_if(g.objects.begin(), g.objects.end(),
                      [type](const GraphObject& o) { return o.used && o.Type == type; }));
}

int find_object(const Graph& g, int32_t type) {
    for (int i = 0; i < MAX_OBJECTS; ++i)
        if (g.objects[i].used && g.objects[i].Type == type) return i;
    return -1;
}

void compact_objects(Graph& g) {
    // Text objects left without text (e.g. after their series references were removed) go too.
    auto kept = std::stable_partition(g.objects.begin(), g.objects.end(), [](const GraphObject& o) {
        const bool empty_text =
            o.Type >= object_type::TitleX && o.Type <= object_type::Text && o.Str.empty();
        return o.used && !empty_text;
    });
    std::fill(kept, g.objects.end(), GraphObject{});
}

void delete_object(Graph& g, int slot) {
    if (slot < 0 || slot >= MAX_OBJECTS) return;
    g.objects[slot] = GraphObject{};
    compact_objects(g);
}

} // namespace plox
