// The object record of the clipboard, written and read field by field so that its layout does
// not depend on the compiler.
#include "editing/object_clipboard.h"

#include "editing/object_edit.h"

#include <cmath>
#include <cstring>

namespace plox::editing {

namespace {

constexpr size_t FONTS_AT = 132, CONTENTS_AT = 312, CONTENTS_SIZE = 512;
constexpr double POSITION_LIMIT = 1e7; // mm, or axis values; far beyond any page
constexpr int32_t STORED_LIMIT = 1'000'000;

void put32(std::vector<uint8_t>& b, size_t at, int32_t v) {
    for (int k = 0; k < 4; ++k)
        b[at + static_cast<size_t>(k)] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * k));
}
int32_t get32(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k)
        v |= uint32_t{b[at + static_cast<size_t>(k)]} << (8 * k);
    return static_cast<int32_t>(v);
}
void put_double(std::vector<uint8_t>& b, size_t at, double d) {
    uint64_t v;
    std::memcpy(&v, &d, 8);
    for (int k = 0; k < 8; ++k)
        b[at + static_cast<size_t>(k)] = static_cast<uint8_t>(v >> (8 * k));
}
double get_double(const std::vector<uint8_t>& b, size_t at) {
    uint64_t v = 0;
    for (int k = 0; k < 8; ++k)
        v |= uint64_t{b[at + static_cast<size_t>(k)]} << (8 * k);
    double d;
    std::memcpy(&d, &v, 8);
    return d;
}

// The eighteen integer fields in record order.
std::array<int32_t*, 18> fields(GraphObject& o) {
    return {&o.Length, &o.RefX,   &o.RefY,     &o.Pitch,      &o.LineWidth, &o.LineStyle,
            &o.Color,  &o.Color2, &o.Back,     &o.PlotType,   &o.Size1,     &o.Size2,
            &o.Open,   &o.Shut,   &o.DotStyle, &o.fill_color, &o.Hatch,     &o.alignment};
}

bool is_text_type(int32_t t) {
    return t >= object_type::TitleX && t <= object_type::Text;
}

} // namespace

const char* clipboard_format(const GraphObject& o) {
    if (!o.used && o.Type == 0 && o.Str.empty()) return nullptr;
    if (is_text_type(o.Type)) return LEGEND_FORMAT;
    if (o.Type == object_type::PointObject) return DOT_FORMAT;
    if (o.Type == object_type::Rectangle || o.Type == object_type::Picture) return RECT_FORMAT;
    return ARROW_FORMAT;
}

std::vector<uint8_t> encode_object(const GraphObject& object) {
    GraphObject o = object;
    std::vector<uint8_t> b(OBJECT_RECORD_SIZE, 0);
    put32(b, 0, o.Type);
    put32(b, 4, o.x);
    put32(b, 8, o.y);
    for (size_t i = 0; i < 4; ++i)
        put_double(b, 12 + 8 * i, o.position[i]);
    const auto f = fields(o);
    for (size_t i = 0; i < f.size(); ++i)
        put32(b, 44 + 4 * i, *f[i]);
    for (size_t i = 0; i < 4; ++i)
        put32(b, 116 + 4 * i, o.picture_box[i]);
    const LogFont* fonts[3] = {&o.Font1, &o.Font2, &o.Font3};
    for (size_t i = 0; i < 3; ++i) {
        const std::vector<uint8_t> fb = font_bytes(*fonts[i]);
        std::memcpy(b.data() + FONTS_AT + 60 * i, fb.data(), 60);
    }
    if (o.Type == object_type::PointObject) {
        for (size_t i = 0; i < MAX_OBJECT_POINTS; ++i) {
            put32(b, CONTENTS_AT + 8 * i, o.points[i].x);
            put32(b, CONTENTS_AT + 8 * i + 4, o.points[i].y);
        }
    } else {
        std::memcpy(b.data() + CONTENTS_AT, o.Str.data(),
                    std::min(o.Str.size(), CONTENTS_SIZE - 1));
    }
    return b;
}

std::optional<GraphObject> decode_object(const std::vector<uint8_t>& b) {
    if (b.size() != OBJECT_RECORD_SIZE) return std::nullopt;
    GraphObject o;
    o.used = 1;
    o.Type = get32(b, 0);
    if (o.Type < object_type::FilledArrow || o.Type > object_type::Picture) return std::nullopt;
    o.x = get32(b, 4);
    o.y = get32(b, 8);
    if (std::abs(int64_t{o.x}) > STORED_LIMIT || std::abs(int64_t{o.y}) > STORED_LIMIT)
        return std::nullopt;
    for (size_t i = 0; i < 4; ++i) {
        o.position[i] = get_double(b, 12 + 8 * i);
        if (!std::isfinite(o.position[i]) || std::fabs(o.position[i]) > POSITION_LIMIT)
            return std::nullopt;
    }
    const auto f = fields(o);
    for (size_t i = 0; i < f.size(); ++i)
        *f[i] = get32(b, 44 + 4 * i);
    for (size_t i = 0; i < 4; ++i)
        o.picture_box[i] = get32(b, 116 + 4 * i);
    if (o.RefX < 0 || o.RefX > 2 || o.RefY < 0 || o.RefY > 2) return std::nullopt;
    if (o.Type == object_type::PointObject && (o.alignment < 1 || o.alignment > MAX_OBJECT_POINTS))
        return std::nullopt;
    if (o.Type <= object_type::OpenArrow && (o.alignment < 0 || o.alignment > 3))
        return std::nullopt;
    LogFont* fonts[3] = {&o.Font1, &o.Font2, &o.Font3};
    for (size_t i = 0; i < 3; ++i) {
        const std::vector<uint8_t> fb(b.begin() + static_cast<long>(FONTS_AT + 60 * i),
                                      b.begin() + static_cast<long>(FONTS_AT + 60 * (i + 1)));
        if (fb[28 + 31] != 0) return std::nullopt; // face must be terminated
        font_from_bytes(fb, *fonts[i]);
    }
    if (o.Type == object_type::PointObject) {
        for (size_t i = 0; i < MAX_OBJECT_POINTS; ++i) {
            o.points[i] = {get32(b, CONTENTS_AT + 8 * i), get32(b, CONTENTS_AT + 8 * i + 4)};
            if (std::abs(int64_t{o.points[i].x}) > STORED_LIMIT ||
                std::abs(int64_t{o.points[i].y}) > STORED_LIMIT)
                return std::nullopt;
        }
    } else {
        const char* text = reinterpret_cast<const char*>(b.data() + CONTENTS_AT);
        const size_t n = strnlen(text, CONTENTS_SIZE);
        const size_t limit = o.Type == object_type::Picture ? PATH_CAPACITY : OBJECT_TEXT_CAPACITY;
        if (n >= limit) return std::nullopt;
        o.Str.assign(text, n);
    }
    return o;
}

std::string text_from_clipboard(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (out.size() >= OBJECT_TEXT_CAPACITY - 1) break;
        out.push_back(c == '\r' ? '\\' : c == '\n' ? 'n' : c);
    }
    return out;
}

} // namespace plox::editing
