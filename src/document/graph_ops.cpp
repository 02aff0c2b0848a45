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

void reread_range_analyses(Graph& g) {
    for (int i = 0; i < std::min(g.series_count, MAX_SERIES); ++i) {
        Series& s = g.series[static_cast<size_t>(i)];
        if ((s.kind & kind::AreaLimitedFit) && s.CountOutArea == 0) s.needs_reading = 1;
    }
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

namespace plox {
namespace {

bool is_digit_char(char c) {
    return c >= '0' && c <= '9';
}

// Index of the series a code number names (00 is the first), counting every series or only the
// shown ones; -1 when there is none.
int index_of_number(int number, const std::vector<bool>& shown, bool count_all) {
    if (number == 0) number = 1;
    int n = 0;
    for (int i = 0; i < static_cast<int>(shown.size()); ++i) {
        if (!count_all && !shown[static_cast<size_t>(i)]) continue;
        if (++n == number) return i;
    }
    return -1;
}

int number_of_index(int index, const std::vector<bool>& shown, bool count_all) {
    if (count_all) return index + 1;
    int n = 0;
    for (int i = 0; i <= index && i < static_cast<int>(shown.size()); ++i)
        n += shown[static_cast<size_t>(i)] ? 1 : 0;
    return n;
}

std::string renumbered_text(const std::string& text, const std::vector<int>& old_to_new,
                            const std::vector<bool>& old_shown, const std::vector<bool>& new_shown,
                            bool count_all) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != '%' || i + 1 >= text.size()) {
            out.push_back(text[i++]);
            continue;
        }
        const char c = text[i + 1];
        const bool series_code = i + 3 < text.size() && is_digit_char(c) &&
                                 is_digit_char(text[i + 2]) && text[i + 3] != '\\';
        if (!series_code) {
            // "%\" is no field; every other field is copied as it stands.
            const size_t n = c == '\\' ? 1 : 2;
            out.append(text, i, n);
            i += n;
            continue;
        }
        const int number = (c - '0') * 10 + (text[i + 2] - '0');
        const size_t length = text[i + 3] == 'C' ? std::min<size_t>(8, text.size() - i) : 4;
        const int old_index = index_of_number(number, old_shown, count_all);
        if (old_index < 0) { // named no series: stays as typed
            out.append(text, i, length);
        } else if (const int moved = old_to_new[static_cast<size_t>(old_index)]; moved < 0) {
            // the series is closed: its code goes
        } else {
            const int renumbered = number_of_index(moved, new_shown, count_all);
            const int shown = number == 0 && renumbered == 1 ? 0 : renumbered;
            out.push_back('%');
            out.push_back(static_cast<char>('0' + shown / 10 % 10));
            out.push_back(static_cast<char>('0' + shown % 10));
            out.append(text, i + 3, length - 3);
        }
        i += length;
    }
    return out;
}

} // namespace

void renumber_series_references(Graph& g, const std::vector<int>& old_to_new,
                                const std::vector<bool>& old_shown) {
    const int count = std::clamp(g.series_count, 0, MAX_SERIES);
    std::vector<bool> new_shown(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        new_shown[static_cast<size_t>(i)] = g.series[static_cast<size_t>(i)].shown != 0;
    const bool count_all = g.count_all_series != 0;
    for (GraphObject& o : g.objects) {
        if (!o.used || o.Type < object_type::TitleX || o.Type > object_type::Text) continue;
        o.Str = renumbered_text(o.Str, old_to_new, old_shown, new_shown, count_all);
    }
}

void close_series(Graph& g, int index) {
    const int count = std::clamp(g.series_count, 0, MAX_SERIES);
    if (index < 0 || index >= count) return;
    std::vector<int> old_to_new(static_cast<size_t>(count));
    std::vector<bool> old_shown(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        old_to_new[static_cast<size_t>(i)] = i < index ? i : i == index ? -1 : i - 1;
        old_shown[static_cast<size_t>(i)] = g.series[static_cast<size_t>(i)].shown != 0;
    }
    for (int i = index; i + 1 < count; ++i)
        g.series[static_cast<size_t>(i)] = std::move(g.series[static_cast<size_t>(i + 1)]);
    g.series[static_cast<size_t>(count - 1)] = Series{};
    g.series_count = count - 1;
    renumber_series_references(g, old_to_new, old_shown);
}

} // namespace plox
