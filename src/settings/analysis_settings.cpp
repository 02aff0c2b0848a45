// Fitting and transform-history keys of the settings store.
#include "settings/analysis_settings.h"

#include <algorithm>
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

} // namespace plox
