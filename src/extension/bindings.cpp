// Adapters from the program's interfaces to the module's C exports.
#include "extension/bindings.h"

#include "extension/analysis.h"

#include <climits>

namespace plox {

bool ModuleLinearSolver::solve(std::span<const double> matrix, std::span<const double> rhs,
                               std::span<double> solution) {
    const auto gauss_jordan = module_.exports().gauss_jordan;
    const size_t n = rhs.size();
    if (!gauss_jordan || n == 0 || n > MAX_SOLVER_UNKNOWNS || matrix.size() < n * n ||
        solution.size() < n)
        return false;
    return gauss_jordan(static_cast<int32_t>(n), matrix.data(), rhs.data(), solution.data()) != 0;
}

int32_t ModuleFunctions::function_number(const std::string& name) {
    const auto number = module_.exports().function_number;
    return number ? number(name.c_str()) : -1;
}

int32_t ModuleFunctions::function_set(int32_t index, const double* argument, double* result,
                                      int32_t n) {
    const auto set = module_.exports().function_set;
    return set ? set(index, argument, nullptr, nullptr, result, n) : -1;
}

bool ModuleDocumentLines::init_analysis(Series& series) {
    return ExtensionAnalyses(module_).init(series, nullptr, true) != PLOXEX_INIT_FAILED;
}

void ModuleDocumentLines::load_line(Series& series, std::string_view line, int index) {
    ExtensionAnalyses(module_).load_line(series, line, index);
}

std::vector<std::string> ModuleDocumentLines::save_lines(const Series& series) {
    return ExtensionAnalyses(module_).save_lines(series);
}

int ModuleDocumentLines::check_qvp(std::string_view first_line) const {
    return converter_
               ? converter_->check_header(std::string(first_line.substr(0, first_line.find('\0'))))
               : -1;
}

int ModuleDocumentLines::converter_number(std::string_view name) const {
    if (!converter_) return 0;
    const auto& names = converter_->names();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int>(i) + 1;
    return 0;
}

std::string ModuleDocumentLines::converter_name(int n) const {
    if (!converter_ || n < 1 || n > static_cast<int>(converter_->names().size())) return {};
    return converter_->names()[n - 1];
}

bool ModuleConverter::convert_file(const std::string& source, const std::string& destination,
                                   int32_t converter) {
    return converter_ && converter_->convert(source, destination, converter);
}

namespace {

struct MarkerSurface {
    Surface& surface;
    Pen pen;
    Brush brush;
};

Point to_point(const PloxexPoint& p) {
    return {p.x, p.y};
}

std::vector<Point> to_points(const PloxexPoint* points, int32_t count) {
    std::vector<Point> out;
    if (!points || count <= 0) return out;
    out.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        out.push_back(to_point(points[i]));
    return out;
}

Surface& surface_of(void* user) {
    return static_cast<MarkerSurface*>(user)->surface;
}

PloxexDrawContext draw_context(MarkerSurface& target) {
    PloxexDrawContext dc{};
    dc.user = &target;
    dc.polygon = [](void* user, const PloxexPoint* p, int32_t n) {
        surface_of(user).polygon(to_points(p, n));
    };
    dc.polyline = [](void* user, const PloxexPoint* p, int32_t n) {
        surface_of(user).polyline(to_points(p, n));
    };
    dc.line = [](void* user, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
        Surface& s = surface_of(user);
        const Point points[2] = {{x1, y1}, {x2, y2}};
        s.polyline(points);
    };
    dc.ellipse = [](void* user, int32_t l, int32_t t, int32_t r, int32_t b) {
        surface_of(user).ellipse(l, t, r, b);
    };
    dc.rectangle = [](void* user, int32_t l, int32_t t, int32_t r, int32_t b) {
        surface_of(user).rectangle(l, t, r, b);
    };
    dc.chord = [](void* user, int32_t l, int32_t t, int32_t r, int32_t b, int32_t x1, int32_t y1,
                  int32_t x2, int32_t y2) { surface_of(user).chord(l, t, r, b, x1, y1, x2, y2); };
    dc.push_pen_color_brush = [](void* user) {
        auto& target = *static_cast<MarkerSurface*>(user);
        target.surface.select_brush(
            Brush{brush_style::Solid, target.pen.color, target.brush.hatch});
    };
    dc.pop_brush = [](void* user) {
        auto& target = *static_cast<MarkerSurface*>(user);
        target.surface.select_brush(target.brush);
    };
    return dc;
}

} // namespace

bool ModuleMarkers::draw_marker(Surface& surface, int32_t number, int32_t x, int32_t y,
                                int32_t half_size, Color fill_color) {
    // Without the caller's pen the fill colour stands in for it.
    return draw_marker(surface, number, x, y, half_size, Pen{pen_style::Solid, 0, fill_color},
                       Brush{brush_style::Solid, fill_color, hatch_style::DiagCross});
}

bool ModuleMarkers::draw_marker(Surface& surface, int32_t number, int32_t x, int32_t y,
                                int32_t half_size, const Pen& pen, const Brush& brush) {
    const auto draw = module_.exports().draw_dot;
    if (!draw || number < 0 || number >= module_.marker_count()) return false;
    MarkerSurface target{surface, pen, brush};
    const PloxexDrawContext dc = draw_context(target);
    draw(&dc, number, x, y, half_size);
    return true;
}

} // namespace plox
