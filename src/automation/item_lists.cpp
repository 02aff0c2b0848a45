// Item list parsing: keyword to the next blank, value to the next comma (trailing blanks kept),
// items taking effect left to right.
#include "automation/item_lists.h"

#include "document/graph_ops.h"
#include "settings/user_config.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdio>

namespace plox {

namespace {

enum class Key {
    Open,
    ColumnX,
    ColumnY,
    LineType,
    PlotType,
    PlotSize,
    Color,
    LineColor,
    LineWidth,
    LinePitch,
    XTrans,
    YTrans,
    Scale,     // XSCALE .. RSCALE
    ScaleType, // XSCALETYPE .. RSCALETYPE
    Pos,
    FrameType,
};

constexpr unsigned DATA = 1, AXIS = 2, FRAME = 4;

struct Keyword {
    std::string_view word;
    Key key;
    int axis;
    unsigned accepted_by;
};

constexpr std::array<Keyword, 22> KEYWORDS{{
    {"OPEN", Key::Open, 0, DATA},
    {"COLUMNX", Key::ColumnX, 0, DATA},
    {"COLUMNY", Key::ColumnY, 0, DATA},
    {"LINETYPE", Key::LineType, 0, DATA},
    {"PLOTTYPE", Key::PlotType, 0, DATA},
    {"PLOTSIZE", Key::PlotSize, 0, DATA},
    {"COLOR", Key::Color, 0, DATA | AXIS | FRAME},
    {"LINECOLOR", Key::LineColor, 0, DATA},
    {"LINEWIDTH", Key::LineWidth, 0, DATA | FRAME},
    {"LINEPITCH", Key::LinePitch, 0, DATA},
    {"XTRANS", Key::XTrans, 0, DATA},
    {"YTRANS", Key::YTrans, 0, DATA},
    {"XSCALE", Key::Scale, AxisX, AXIS},
    {"YSCALE", Key::Scale, AxisY, AXIS},
    {"USCALE", Key::Scale, AxisU, AXIS},
    {"RSCALE", Key::Scale, AxisR, AXIS},
    {"XSCALETYPE", Key::ScaleType, AxisX, AXIS},
    {"YSCALETYPE", Key::ScaleType, AxisY, AXIS},
    {"USCALETYPE", Key::ScaleType, AxisU, AXIS},
    {"RSCALETYPE", Key::ScaleType, AxisR, AXIS},
    {"POS", Key::Pos, 0, FRAME},
    {"FrameType", Key::FrameType, 0, FRAME},
}};

const Keyword* find_keyword(std::string_view word) {
    for (const Keyword& k : KEYWORDS)
        if (equal_ignoring_case(k.word, word)) return &k;
    return nullptr;
}

unsigned bit_of(ItemCommand c) {
    switch (c) {
    case ItemCommand::Data:
        return DATA;
    case ItemCommand::AxisSet:
        return AXIS;
    case ItemCommand::FrameSet:
        return FRAME;
    }
    return 0;
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// Up to `count` longs read as sscanf("%ld %ld") would; returns how many converted.
int read_longs(const std::string& value, long (&out)[2]) {
    return std::sscanf(value.c_str(), "%ld %ld", &out[0], &out[1]);
}

int32_t to_int32(long v) {
    return static_cast<int32_t>(std::clamp<long>(v, INT32_MIN, INT32_MAX));
}

// Reads "%lf %lf %lf %d"; values that are not finite end the count, so no axis takes them.
int read_scale(const std::string& value, double (&numbers)[3], int& division) {
    int n = std::sscanf(value.c_str(), "%lf %lf %lf %d", &numbers[0], &numbers[1], &numbers[2],
                        &division);
    for (int i = 0; i < std::min(n, 3); ++i)
        if (!std::isfinite(numbers[i])) return i;
    return std::max(n, 0);
}

void set_scale(Graph& g, int axis, const std::string& value, ItemTarget& target) {
    if (equal_ignoring_case(value, "clear")) {
        if (target.clear_scale) target.clear_scale(axis);
        return;
    }
    double numbers[3] = {0, 0, 0};
    int division = 0;
    const int n = read_scale(value, numbers, division);
    Axis& a = g.axes[static_cast<size_t>(axis)];
    if (n >= 2) {
        a.from = numbers[0];
        a.to = numbers[1];
    }
    if (n == 4) {
        a.increment = numbers[2];
        a.division = division;
    }
    a.auto_step = n == 4 ? 0 : 1;
    if (axis == AxisU || axis == AxisR) {
        g.axes[axis == AxisU ? AxisX : AxisY].common = 0;
        a.common = 0;
    }
}

void set_position(Graph& g, const std::string& value) {
    int v[4] = {g.frame_left, g.frame_top, g.frame_width, g.frame_height};
    // Values that are not given keep the current ones.
    std::sscanf(value.c_str(), "%d %d %d %d", &v[0], &v[1], &v[2], &v[3]);
    clamp_macro_frame(v[0], v[1], v[2], v[3]);
    set_frame(g, v[0], v[1], v[2], v[3]);
}

void set_transform(int32_t& on, std::string& expression, const std::string& value) {
    if (equal_ignoring_case(value, "ON"))
        on = 1;
    else if (equal_ignoring_case(value, "OFF"))
        on = 0;
    else
        set_text(expression, value, EXPRESSION_CAPACITY);
}

void apply_data_item(Key key, const std::string& value, ItemTarget& target) {
    Series& t = *target.data_template;
    switch (key) {
    case Key::Open:
        if (target.open) target.open(value);
        break;
    case Key::ColumnX:
        t.ColumnX = read_item_integer(value);
        break;
    case Key::ColumnY:
        t.ColumnY = read_item_integer(value);
        break;
    case Key::LineType:
        t.LineType = read_item_integer(value);
        break;
    case Key::PlotType:
        t.PlotType = read_item_integer(value);
        break;
    case Key::PlotSize:
        t.PlotSize = read_item_integer(value);
        break;
    case Key::Color:
        t.marker_color = read_item_integer(value);
        break;
    case Key::LineColor:
        t.line.color = read_item_integer(value);
        break;
    case Key::LineWidth:
        t.line.width = read_item_integer(value);
        break;
    case Key::LinePitch:
        t.line.pitch = read_item_integer(value);
        break;
    case Key::XTrans:
        set_transform(t.IsXtrans, t.Xtrans, value);
        break;
    case Key::YTrans:
        set_transform(t.IsYtrans, t.Ytrans, value);
        break;
    default:
        break;
    }
}

void apply_graph_item(ItemCommand command, const Keyword& k, const std::string& value,
                      ItemTarget& target) {
    Graph& g = *target.graph;
    long colors[2] = {0, 0};
    switch (k.key) {
    case Key::Color: {
        const int n = read_longs(value, colors);
        if (command == ItemCommand::AxisSet) {
            for (Axis& a : g.axes) {
                if (n >= 1) a.major_line.color = to_int32(colors[0]);
                if (n >= 2) a.minor_line.color = to_int32(colors[1]);
            }
        } else {
            if (n >= 1) g.frame_line.color = to_int32(colors[0]);
            if (n >= 2) g.background_color = to_int32(colors[1]);
        }
        break;
    }
    case Key::LineWidth:
        if (const int32_t w = read_item_integer(value); w > 20 && w < 1000) g.frame_line.width = w;
        break;
    case Key::Scale:
        set_scale(g, k.axis, value, target);
        break;
    case Key::ScaleType:
        g.axes[static_cast<size_t>(k.axis)].scale_type = scale_type_of(value);
        break;
    case Key::Pos:
        set_position(g, value);
        break;
    case Key::FrameType:
        // Types 0 to 3 exist; 4 passes the range check of the table but names no frame.
        if (const int32_t t = read_item_integer(value); t >= 0 && t <= 3) g.FrameType = t;
        break;
    default:
        break;
    }
}

} // namespace

int32_t read_item_integer(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && is_blank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        v = std::min<int64_t>(v * 10 + (text[i] - '0'), int64_t{INT32_MAX} + 1);
    v = negative ? -v : v;
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int32_t scale_type_of(std::string_view word) {
    static constexpr std::array<std::string_view, 5> names{"linear", "log", "Inverse", "LogNormal",
                                                           "Inverse2"};
    for (size_t i = 0; i < names.size(); ++i)
        if (equal_ignoring_case(word, names[i])) return static_cast<int32_t>(i);
    return 0;
}

void clamp_macro_frame(int32_t& left, int32_t& top, int32_t& width, int32_t& height) {
    for (int32_t* v : {&left, &top, &width, &height})
        *v = std::clamp(*v, 1000, 28000);
    auto fit = [](int32_t& margin, int32_t& size) {
        while (margin + size > 32000)
            (margin > size ? margin : size) -= 1000;
    };
    fit(left, width);
    fit(top, height);
}

bool apply_items(ItemCommand command, std::string_view text, ItemTarget& target) {
    size_t i = 0;
    bool announced = false;
    while (true) {
        while (i < text.size() && is_blank(text[i]))
            ++i;
        const size_t word_start = i;
        while (i < text.size() && !is_blank(text[i]))
            ++i;
        const std::string_view word = text.substr(word_start, i - word_start);
        while (i < text.size() && is_blank(text[i]))
            ++i;
        const size_t value_start = i;
        while (i < text.size() && text[i] != ',')
            ++i;
        // Longer values are cut to the working buffer of the item lists.
        const std::string value(
            text.substr(value_start, std::min(i - value_start, ITEM_VALUE_CAPACITY - 1)));
        if (i < text.size()) ++i; // the comma

        const Keyword* k = word.size() < ITEM_KEYWORD_CAPACITY ? find_keyword(word) : nullptr;
        if (!k) return true;
        if (!(k->accepted_by & bit_of(command))) return false;
        if (command == ItemCommand::Data) {
            if (target.data_template) apply_data_item(k->key, value, target);
        } else if (target.graph) {
            if (!announced && target.before_change) target.before_change();
            announced = true;
            apply_graph_item(command, *k, value, target);
        }
    }
}

} // namespace plox
