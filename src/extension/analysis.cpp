// Extension analyses on a series: the calls into the module and the program's steps around them.
#include "extension/analysis.h"

#include "document/prompter.h"
#include "extension/block.h"
#include "settings/store.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace plox {
namespace {

// Components beyond this are not asked for, whatever a module answers.
constexpr int32_t MAX_COMPONENTS = 64;
constexpr int32_t MAX_CURVE_INDEX = 3999;

// The module may rewrite the name in place, so it gets a buffer of at least a key's size.
std::vector<char> name_buffer(std::string_view name) {
    std::vector<char> buffer(std::max<size_t>(name.size() + 1, PLOXEX_KEY_SIZE), '\0');
    std::copy(name.begin(), name.end(), buffer.begin());
    return buffer;
}

int32_t count_of(size_t a, size_t b) {
    return static_cast<int32_t>(std::min<size_t>(std::min(a, b), INT32_MAX));
}

PloxexBlock* handle_of(const Series& series) {
    return series.extension ? series.extension->handle : nullptr;
}

} // namespace

int32_t ExtensionAnalyses::init(Series& series, void* window, bool quiet, int32_t* has_curve,
                                int32_t* show_result) const {
    const auto& e = module_.exports();
    int32_t curve = 0, result = 0;
    if (has_curve) *has_curve = 0;
    if (show_result) *show_result = 0;
    if (!e.init) return PLOXEX_INIT_FAILED;
    if (!series.extension || series.extension->free != e.free_block) {
        auto block = std::make_shared<ExtensionBlock>();
        block->free = e.free_block;
        block->library = module_.library();
        series.extension = std::move(block);
    }
    const std::vector<char> name = name_buffer(series.analysis_name);
    const int32_t status =
        e.init(window, name.data(), &series.extension->handle, quiet ? 1 : 0, &curve, &result);
    if (has_curve) *has_curve = curve;
    if (show_result) *show_result = result;
    return status;
}

int32_t ExtensionAnalyses::compute(Series& series, std::span<const double> x,
                                   std::span<const double> y) const {
    const auto& e = module_.exports();
    if (!e.first) return -1;
    std::vector<char> name = name_buffer(series.analysis_name);
    const int32_t result =
        e.first(name.data(), handle_of(series), count_of(x.size(), y.size()), x.data(), y.data());
    set_text(series.analysis_name, std::string_view(name.data(), strnlen(name.data(), name.size())),
             EXPRESSION_CAPACITY);
    return result;
}

int32_t ExtensionAnalyses::curve(Series& series, int32_t component, std::span<double> curve_x,
                                 std::span<double> curve_y, std::span<const double> x,
                                 std::span<const double> y) const {
    const auto& e = module_.exports();
    if (!e.second) return 0;
    const std::vector<char> name = name_buffer(series.analysis_name);
    return e.second(name.data(), handle_of(series), component,
                    count_of(curve_x.size(), curve_y.size()), curve_x.data(), curve_y.data(),
                    count_of(x.size(), y.size()), x.data(), y.data());
}

std::vector<std::string> ExtensionAnalyses::result_lines(const Series& series) const {
    std::vector<std::string> lines;
    const auto& e = module_.exports();
    if (!e.end) return lines;
    PloxexListSink sink{&lines, [](void* user, const char* line) {
                            if (line)
                                static_cast<std::vector<std::string>*>(user)->emplace_back(line);
                        }};
    const std::vector<char> name = name_buffer(series.analysis_name);
    e.end(&sink, name.data(), handle_of(series));
    return lines;
}

std::vector<std::string> ExtensionAnalyses::save_lines(const Series& series) const {
    const auto& e = module_.exports();
    if (!e.save || !handle_of(series)) return {};
    std::string text;
    PloxexWriter writer{&text, [](void* user, const char* bytes, size_t length) -> int32_t {
                            static_cast<std::string*>(user)->append(bytes, length);
                            return 1;
                        }};
    const std::vector<char> name = name_buffer(series.analysis_name);
    e.save(0, &writer, name.data(), handle_of(series));
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

void ExtensionAnalyses::load_line(Series& series, std::string_view line, int index) const {
    const auto& e = module_.exports();
    if (!e.load || !handle_of(series)) return;
    const std::string text(line.substr(0, std::min(line.find('\0'), line.size())));
    const std::vector<char> name = name_buffer(series.analysis_name);
    e.load(0, text.c_str(), index, name.data(), handle_of(series));
}

bool set_up_analysis(const ExtensionModule& module, Graph& graph, Series& series,
                     const std::string& key, const SettingsStore& settings, AnalysisUi& ui,
                     void* window) {
    const bool extension_kind = (series.kind & (kind::Extension1 | kind::Extension2)) != 0;
    if (extension_kind && series.analysis_name != key) series.extension.reset();
    const bool had_analysis = (series.kind & kind::AnalysisPage) != 0;

    // The module sees the new key; the series takes it only when the set-up holds.
    const std::string previous_name = series.analysis_name;
    set_text(series.analysis_name, key, EXPRESSION_CAPACITY);
    int32_t has_curve = 0, show_result = 0;
    const int32_t result =
        ExtensionAnalyses(module).init(series, window, false, &has_curve, &show_result);

    if (result < 0 && result != PLOXEX_INIT_PER_POINT) {
        if (result == PLOXEX_INIT_RESULT_ONLY) {
            series.kind = kind::Extension2;
            series.needs_reading = 1;
        } else {
            series.analysis_name = previous_name;
            series.kind = kind::Data;
        }
        series.analysis_valid = 1;
        return show_result != 0;
    }

    if (!had_analysis) {
        const Axis& x_axis = graph.axes[AxisX];
        series.curve_from = x_axis.from;
        series.curve_to = x_axis.to;
        series.curve_scale_type = x_axis.scale_type;
        series.curve_points = 101;
        const char* ini = "Continuace Ini";
        settings.read(ini, "CountOutArea", series.CountOutArea);
        settings.read(ini, "LineType", series.curve_line_type);
        settings.read(ini, "Width", series.curve_line.width);
        settings.read(ini, "Pitch", series.curve_line.pitch);
        settings.read(ini, "Color", series.curve_line.color);
    }
    series.kind = has_curve ? kind::Extension1 : kind::Extension2;
    if (result == PLOXEX_INIT_CURVE)
        ui.edit_curve(series);
    else if (result == PLOXEX_INIT_PER_POINT)
        series.curve_points = std::clamp(series.point_count, 0, MAX_CURVE_INDEX);
    else
        series.curve_points = std::min(result, MAX_CURVE_INDEX);
    series.needs_reading = 1;
    return show_result != 0;
}

void report_analysis(const ExtensionModule& module, const Series& series, Prompter& prompter,
                     AnalysisUi& ui) {
    if (series.analysis_valid)
        ui.show_results("Result", ExtensionAnalyses(module).result_lines(series));
    else
        prompter.message("確認", "失敗しました", Buttons::Ok, Icon::Error);
}

void draw_extension_analysis(const ExtensionModule& module, Series& series,
                             std::string_view display_name, std::span<const double> x,
                             std::span<const double> y, std::span<const double> curve_positions,
                             Prompter& prompter, const CurveSink& draw) {
    if (!(series.kind & (kind::Extension1 | kind::Extension2))) return;
    if (series.needs_reading) {
        series.analysis_valid = 1;
        series.needs_reading = 0;
    }
    if (!series.analysis_valid) {
        std::string text(display_name);
        text += "の ";
        text += series.analysis_name;
        text += " に失敗しました";
        prompter.message("エラー", text, Buttons::Ok, Icon::Error);
        return;
    }
    const ExtensionAnalyses analyses(module);
    const int32_t highest = analyses.compute(series, x, y);
    if (highest < 0) {
        series.analysis_valid = 0;
        return;
    }
    std::vector<double> curve_x(curve_positions.size()), curve_y(curve_positions.size());
    for (int32_t c = std::min(highest, MAX_COMPONENTS); c >= 0; --c) {
        std::copy(curve_positions.begin(), curve_positions.end(), curve_x.begin());
        std::fill(curve_y.begin(), curve_y.end(), ERROR_VALUE);
        series.analysis_valid = analyses.curve(series, c, curve_x, curve_y, x, y) != 0 ? 1 : 0;
        // A component the module does not produce (peak fits answer one more than they draw)
        // holds no curve.
        if (draw && series.analysis_valid) draw(curve_x, curve_y);
    }
}

} // namespace plox
