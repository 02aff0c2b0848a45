// Series defaults from the settings and the automatic style advance.
#include "settings/series_defaults.h"

#include <array>

namespace plox {

namespace {

constexpr std::string_view DATA_INI = "Data Ini";

// The value names are the series fields they fill.
template <typename S, typename F, typename T>
void for_each_series_value(S& s, F&& dword, T&& text) {
    dword("Errorbar1", s.Errorbar1);
    dword("Errorbar2", s.Errorbar2);
    dword("ColumnX", s.ColumnX);
    dword("ColumnY", s.ColumnY);
    dword("Converter", s.Converter);
    dword("LineWidth", s.line.width);
    dword("LineColor", s.line.color);
    dword("LinePitch", s.line.pitch);
    dword("LineType", s.LineType);
    dword("PlotType", s.PlotType);
    dword("PlotSize", s.PlotSize);
    dword("BackColor", s.marker_color);
    dword("DotStyle", s.DotStyle);
    dword("DotColor", s.fill_color);
    dword("Hatch", s.Hatch);
    dword("IsXtrans", s.IsXtrans);
    dword("IsYtrans", s.IsYtrans);
    text("Xtrans", s.Xtrans, EXPRESSION_CAPACITY);
    text("Ytrans", s.Ytrans, EXPRESSION_CAPACITY);
    dword("Start", s.Start);
    dword("End", s.End);
    dword("AbsLine", s.AbsLine);
    dword("isRefUpAxis", s.isRefUpAxis);
    dword("isRefRightAxis", s.isRefRightAxis);
    dword("TabEqSpc", s.TabEqSpc);
    dword("CountOutArea", s.CountOutArea);
    dword("SkipComment", s.SkipComment);
    dword("Step", s.Step);
    dword("XAvr", s.XAvr);
    dword("YAvr", s.YAvr);
}

} // namespace

std::string data_extension_key(std::string_view path) {
    size_t slash = path.find_last_of("/\\");
    std::string_view base = slash == std::string_view::npos ? path : path.substr(slash + 1);
    size_t dot = base.rfind('.');
    if (dot == std::string_view::npos || base.size() - dot - 1 < 2) return {};
    return "Data Ini2\\" + std::string(base.substr(dot + 1));
}

void read_series_defaults(const SettingsStore& store, std::string_view path, Series& series) {
    std::string key = data_extension_key(path);
    if (key.empty() || !store.has_key(key)) key = DATA_INI;
    for_each_series_value(
        series, [&](std::string_view name, int32_t& v) { store.read(key, name, v); },
        [&](std::string_view name, std::string& v, size_t capacity) {
            if (auto t = store.read_text(key, name)) set_text(v, *t, capacity);
        });
    store.read(key, "BarBottom", series.BarBottom);
}

int32_t next_auto_color(int32_t color) {
    static constexpr std::array<int32_t, 8> ring{0x000000, 0x0000FF, 0x00FFFF, 0x00FF00,
                                                 0xFF0000, 0x4080FF, 0xFFFF00, 0xFF8080};
    for (size_t i = 0; i + 1 < ring.size(); ++i)
        if (ring[i] == color) return ring[i + 1];
    return ring[0];
}

void advance_series_style(const UserConfig& config, const Series& previous, Series& series) {
    if (config.AutoDotColor) series.marker_color = next_auto_color(previous.marker_color);
    if (config.AutoLineColor) series.line.color = next_auto_color(previous.line.color);
    if (config.AutoDotType && previous.PlotType >= 1 && previous.PlotType <= 23) {
        int p = previous.PlotType + 1;
        if (p == 13) p = 14;
        series.PlotType = p >= 23 ? 1 : p;
    }
    if (config.AutoLineType && previous.LineType >= 1 && previous.LineType <= 5) {
        int l = previous.LineType + 1;
        series.LineType = l >= 5 ? 1 : l;
    }
}

} // namespace plox
