// Fitting, transform-history and object-default keys of the settings store.
#include "settings/analysis_settings.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace plox {

namespace {

std::string letter(int k) {
    return std::string(1, static_cast<char>('A' + k));
}

std::string entry_name(std::string_view stem, int entry, int k = -1) {
    std::string name(stem);
    name += std::to_string(entry);
    if (k >= 0) name += letter(k);
    return name;
}

void write_function_entry(SettingsStore& store, int entry, const FitFunction& f) {
    store.write_text(LSQ_FUNCTION_KEY, entry_name("Function", entry), f.function);
    for (int k = 0; k < 9; ++k) {
        const auto i = static_cast<size_t>(k);
        store.write_text(LSQ_FUNCTION_KEY, entry_name("DifFunction", entry, k), f.derivatives[i]);
        store.write(LSQ_FUNCTION_KEY, entry_name("ParaIni", entry, k), f.parameters[i]);
    }
}

void remove_function_entry(SettingsStore& store, int entry) {
    store.remove(LSQ_FUNCTION_KEY, entry_name("Function", entry));
    for (int k = 0; k < 9; ++k) {
        store.remove(LSQ_FUNCTION_KEY, entry_name("DifFunction", entry, k));
        store.remove(LSQ_FUNCTION_KEY, entry_name("ParaIni", entry, k));
    }
}

std::string transform_name(char axis, int n) {
    return std::string(1, axis) + "trans" + std::to_string(n);
}

} // namespace

void read_curve_defaults(const SettingsStore& store, Series& series) {
    store.read(CURVE_INI_KEY, "CountOutArea", series.CountOutArea);
    store.read(CURVE_INI_KEY, "Division", series.curve_points);
    store.read(CURVE_INI_KEY, "LineType", series.curve_line_type);
    store.read(CURVE_INI_KEY, "Width", series.curve_line.width);
    store.read(CURVE_INI_KEY, "Pitch", series.curve_line.pitch);
    store.read(CURVE_INI_KEY, "Color", series.curve_line.color);
}

void write_curve_defaults(SettingsStore& store, const Series& series) {
    store.write(CURVE_INI_KEY, "CountOutArea", series.CountOutArea);
    store.write(CURVE_INI_KEY, "Division", series.curve_points);
    store.write(CURVE_INI_KEY, "LineType", series.curve_line_type);
    store.write(CURVE_INI_KEY, "Width", series.curve_line.width);
    store.write(CURVE_INI_KEY, "Pitch", series.curve_line.pitch);
    store.write(CURVE_INI_KEY, "Color", series.curve_line.color);
}

std::optional<FitFunction> read_function_entry(const SettingsStore& store, int entry) {
    auto function = store.read_text(LSQ_FUNCTION_KEY, entry_name("Function", entry));
    if (!function) return std::nullopt;
    FitFunction f;
    set_text(f.function, *function, EXPRESSION_CAPACITY);
    for (int k = 0; k < 9; ++k) {
        const auto i = static_cast<size_t>(k);
        std::string derivative;
        store.read(LSQ_FUNCTION_KEY, entry_name("DifFunction", entry, k), derivative);
        set_text(f.derivatives[i], derivative, EXPRESSION_CAPACITY);
        f.parameters[i] = 0.0;
        store.read(LSQ_FUNCTION_KEY, entry_name("ParaIni", entry, k), f.parameters[i]);
        if (entry == 0)
            store.read(LSQ_FUNCTION_KEY, "IsParaMove" + std::to_string(k), f.parameter_free[i]);
    }
    if (entry == 0) store.read(LSQ_FUNCTION_KEY, "Gosa", f.tolerance);
    return f;
}

void write_function_history(SettingsStore& store, const FitFunction& current) {
    std::vector<FitFunction> earlier;
    for (int entry = 0; entry < FUNCTION_HISTORY; ++entry)
        if (auto f = read_function_entry(store, entry); f && f->function != current.function)
            earlier.push_back(std::move(*f));
    write_function_entry(store, 0, current);
    store.write(LSQ_FUNCTION_KEY, "Gosa", current.tolerance);
    for (int k = 0; k < 9; ++k)
        store.write(LSQ_FUNCTION_KEY, "IsParaMove" + std::to_string(k),
                    current.parameter_free[static_cast<size_t>(k)]);
    for (int entry = 1; entry < FUNCTION_HISTORY; ++entry) {
        const auto i = static_cast<size_t>(entry - 1);
        if (i < earlier.size())
            write_function_entry(store, entry, earlier[i]);
        else
            remove_function_entry(store, entry);
    }
}

std::array<std::string, 5> read_transform_history(const SettingsStore& store, char axis) {
    std::array<std::string, 5> history;
    for (int n = 1; n <= 5; ++n)
        store.read("Data Ini", transform_name(axis, n), history[static_cast<size_t>(n - 1)]);
    return history;
}

void push_transform_history(SettingsStore& store, char axis, std::string_view expression) {
    const std::array<std::string, 5> old = read_transform_history(store, axis);
    std::vector<std::string> entries{std::string(expression)};
    for (const std::string& e : old)
        if (e != expression && entries.size() < 5) entries.push_back(e);
    for (size_t n = 0; n < entries.size(); ++n)
        store.write_text("Data Ini", transform_name(axis, static_cast<int>(n) + 1), entries[n]);
}

std::string_view object_defaults_key(int32_t type) {
    switch (type) {
    case object_type::TitleX:
        return "X-Title";
    case object_type::TitleY:
        return "Y-Title";
    case object_type::TitleU:
        return "U-Title";
    case object_type::TitleR:
        return "R-Title";
    case object_type::Text:
        return "Title Ini";
    case object_type::Rectangle:
        return "Rect Ini";
    case object_type::PointObject:
        return "Dot Ini";
    default:
        return "Arrow Ini";
    }
}

std::vector<uint8_t> font_block(const LogFont& f) {
    std::vector<uint8_t> block(60, 0);
    const int32_t numbers[5] = {f.height, f.width, f.escapement, f.orientation, f.weight};
    for (int n = 0; n < 5; ++n)
        for (int b = 0; b < 4; ++b)
            block[static_cast<size_t>(n * 4 + b)] =
                static_cast<uint8_t>(static_cast<uint32_t>(numbers[n]) >> (8 * b));
    const uint8_t bytes[8] = {f.italic,        f.underline,      f.strike_out, f.charset,
                              f.out_precision, f.clip_precision, f.quality,    f.pitch_and_family};
    std::memcpy(block.data() + 20, bytes, 8);
    std::memcpy(block.data() + 28, f.face.data(), std::min<size_t>(f.face.size(), 31));
    return block;
}

bool read_font_block(const std::vector<uint8_t>& block, LogFont& f) {
    if (block.size() != 60) return false;
    int32_t numbers[5];
    for (int n = 0; n < 5; ++n) {
        uint32_t v = 0;
        for (int b = 0; b < 4; ++b)
            v |= static_cast<uint32_t>(block[static_cast<size_t>(n * 4 + b)]) << (8 * b);
        numbers[n] = static_cast<int32_t>(v);
    }
    f.height = numbers[0];
    f.width = numbers[1];
    f.escapement = numbers[2];
    f.orientation = numbers[3];
    f.weight = numbers[4];
    uint8_t* bytes[8] = {&f.italic,        &f.underline,      &f.strike_out, &f.charset,
                         &f.out_precision, &f.clip_precision, &f.quality,    &f.pitch_and_family};
    for (size_t i = 0; i < 8; ++i)
        *bytes[i] = block[20 + i];
    const char* face = reinterpret_cast<const char*>(block.data() + 28);
    f.face.assign(face, strnlen(face, 32));
    if (f.face.size() > 31) f.face.resize(31);
    return true;
}

namespace {

// The values every text key holds, in both directions.
template <typename Store, typename Object> void text_values(Store& io, Object& o) {
    io("x", o.x);
    io("y", o.y);
    io("Justify", o.alignment);
    io("Back", o.Back);
    io("Color", o.Color);
}

template <typename Store, typename Object> void line_values(Store& io, Object& o) {
    io("Type", o.Type);
    io("Length", o.Length);
    io("RefX", o.RefX);
    io("RefY", o.RefY);
    io("Pitch", o.Pitch);
    io("LineWidth", o.LineWidth);
    io("Size1", o.Size1);
    io("Size2", o.Size2);
    io("Open", o.Open);
    io("Shut", o.Shut);
    io("LineStyle", o.LineStyle);
    io("Color", o.Color);
    io("Color2", o.Color2);
    for (int i = 0; i < 4; ++i)
        io("Pos" + std::to_string(i), o.position[static_cast<size_t>(i)]);
}

bool is_text(int32_t type) {
    return type >= object_type::TitleX && type <= object_type::Text;
}

void read_dot_defaults(const SettingsStore& store, GraphObject& o) {
    const std::string_view key = "Dot Ini";
    store.read(key, "PlotType", o.PlotType);
    store.read(key, "LineWidth", o.LineWidth);
    store.read(key, "DotColor", o.Color);
    store.read(key, "LineColor", o.Color2);
    store.read(key, "Length", o.Length);
    store.read(key, "PenStyle", o.LineStyle);
    store.read(key, "Size", o.Size1);
    store.read(key, "LinePitch", o.Pitch);
    store.read(key, "Num", o.alignment);
    store.read(key, "DotStyle", o.DotStyle);
    store.read(key, "Hatch", o.Hatch);
    for (int i = 0; i < MAX_OBJECT_POINTS; ++i) {
        Point32& p = o.points[static_cast<size_t>(i)];
        store.read(key, "PosX" + std::to_string(i), p.x);
        store.read(key, "PosY" + std::to_string(i), p.y);
    }
}

} // namespace

void read_object_defaults(const SettingsStore& store, GraphObject& o) {
    const std::string_view key = object_defaults_key(o.Type);
    if (o.Type == object_type::PointObject) {
        read_dot_defaults(store, o);
        return;
    }
    if (is_text(o.Type)) {
        auto io = [&](const std::string& name, auto& value) { store.read(key, name, value); };
        text_values(io, o);
        LogFont* fonts[3] = {&o.Font1, &o.Font2, &o.Font3};
        for (int i = 0; i < 3; ++i)
            if (auto block = store.read_binary(key, "Font" + std::to_string(i + 1)))
                read_font_block(*block, *fonts[i]);
        if (o.Type != object_type::Text) {
            std::string text = o.Str;
            store.read(key, "Str", text);
            set_text(o.Str, text, OBJECT_TEXT_CAPACITY);
        }
        return;
    }
    // The stored type keeps an arrow an arrow and a line a line.
    const int32_t type = o.Type;
    auto io = [&](const std::string& name, auto& value) { store.read(key, name, value); };
    line_values(io, o);
    const bool arrow_or_line = o.Type >= object_type::FilledArrow && o.Type <= object_type::Line;
    if (type == object_type::Rectangle || !arrow_or_line) o.Type = type;
}

void write_object_defaults(SettingsStore& store, const GraphObject& o) {
    if (o.Type == object_type::PointObject || o.Type == object_type::Picture) return;
    const std::string_view key = object_defaults_key(o.Type);
    auto io = [&](const std::string& name, const auto& value) { store.write(key, name, value); };
    if (!is_text(o.Type)) {
        line_values(io, o);
        return;
    }
    text_values(io, o);
    const LogFont* fonts[3] = {&o.Font1, &o.Font2, &o.Font3};
    for (int i = 0; i < 3; ++i)
        store.write_binary(key, "Font" + std::to_string(i + 1), font_block(*fonts[i]));
    if (o.Type != object_type::Text) store.write_text(key, "Str", o.Str);
}

} // namespace plox
