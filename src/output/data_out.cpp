// Saving and copying series points, temporary data files and the editor's command line.
#include "output/data_out.h"

#include "data/point_export.h"
#include "document/model.h"
#include "render/axes.h"
#include "render/series_drawing.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace plox {

namespace {

// An axis coordinate of a spline back to the value it stands for.
double from_axis_coordinate(int scale_type, double v) {
    if (!is_valid(v)) return v;
    switch (scale_type) {
    case 1:
    case 3:
        return std::pow(10.0, v);
    case 2:
    case 4:
        return std::fabs(v) > 1e-100 ? 1 / v : ERROR_VALUE;
    default:
        return v;
    }
}

bool write_file(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text;
    out.close();
    return static_cast<bool>(out);
}

std::vector<std::string> split_words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

} // namespace

std::vector<int> series_of_kinds(const Graph& graph, int32_t mask) {
    std::vector<int> result;
    for (int i = 0; i < std::min(graph.series_count, MAX_SERIES); ++i)
        if (graph.series[static_cast<size_t>(i)].kind & mask) result.push_back(i);
    return result;
}

std::optional<PointArrays> series_curve(Graph& graph, int index, const PointArrays& points,
                                        RenderContext& context) {
    if (!context.curves || index < 0 || index >= std::min(graph.series_count, MAX_SERIES))
        return std::nullopt;
    std::optional<PointArrays> curve;
    context.curves->curves(graph, index, points.x, points.y,
                           [&](std::span<const double> x, std::span<const double> y) {
                               if (!curve)
                                   curve = PointArrays{{x.begin(), x.end()}, {y.begin(), y.end()}};
                           });
    const Series& series = graph.series[static_cast<size_t>(index)];
    if (curve && series.kind == kind::Spline) {
        const int h = graph.axes[series.isRefUpAxis ? AxisU : AxisX].scale_type;
        const int v = graph.axes[series.isRefRightAxis ? AxisR : AxisY].scale_type;
        for (size_t i = 0; i < curve->size(); ++i) {
            curve->x[i] = from_axis_coordinate(h, curve->x[i]);
            curve->y[i] = from_axis_coordinate(v, curve->y[i]);
        }
    }
    return curve;
}

DataOutResult save_or_copy_points(Graph& graph, const std::vector<int>& chosen,
                                  const DataOutOptions& options, DataOutTarget& target,
                                  RenderContext& context) {
    DataOutResult result;
    prepare_axes(graph, context);
    for (int index : chosen) {
        if (index < 0 || index >= std::min(graph.series_count, MAX_SERIES)) continue;
        std::string path;
        if (options.to_file) {
            auto name = target.file_name(graph.series[static_cast<size_t>(index)].file_name);
            if (!name) {
                result.cancelled = true;
                break;
            }
            path = *name;
        }
        auto points = exported_points(graph, index, context.data);
        if (points && options.curve) points = series_curve(graph, index, *points, context);
        if (!points) continue;
        const std::string text = format_exported_points(points->x, points->y);
        const bool ok = options.to_file ? write_file(path, text) : target.set_clipboard_text(text);
        if (ok) ++result.written;
    }
    return result;
}

std::optional<std::string> write_temporary_data(const std::string& directory,
                                                const std::string& bytes) {
    std::string path = directory + "PLXXXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) return std::nullopt;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const bool ok = ::close(fd) == 0 && done == bytes.size();
    if (!ok) {
        ::unlink(path.c_str());
        return std::nullopt;
    }
    return path;
}

bool create_new_file(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    return fd >= 0 && ::close(fd) == 0;
}

std::vector<std::string> editor_command(const std::string& setting, const std::string& path,
                                        const EditorEnvironment& env) {
    auto found = [&](const std::string& program) { return env.found && env.found(program); };
    std::vector<std::string> words = split_words(setting);
    if (!words.empty() && found(words.front())) {
        words.push_back(path);
        return words;
    }
    for (const std::string& variable : {env.visual, env.editor}) {
        std::vector<std::string> editor = split_words(variable);
        if (editor.empty() || !found(editor.front())) continue;
        for (const char* terminal : {"x-terminal-emulator", "xterm"}) {
            if (!found(terminal)) continue;
            std::vector<std::string> command{terminal, "-e"};
            command.insert(command.end(), editor.begin(), editor.end());
            command.push_back(path);
            return command;
        }
    }
    if (found("xdg-open")) return {"xdg-open", path};
    return {};
}

} // namespace plox
