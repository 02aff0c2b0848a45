// The records of a document: graphs with their axes, series, annotation objects and masks.
// Lengths are 0.01 mm, colours 0x00BBGGRR, fonts LOGFONT-shaped. Texts hold the bytes the
// document holds (Shift-JIS or ASCII); their capacities count the terminating NUL of the
// fixed buffers the files were designed around, so a text keeps at most capacity - 1 bytes.
//
// Field names: a field that the file format, the settings keys or the macro language name keeps
// that name as written there (`AbsLine`, `CountOutArea`, `LineType`), so that code, stored keys and
// documentation can be searched for one word; every other field is snake_case (`file_name`,
// `point_count`). Never rename a field of the first kind to fit the second.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plox {

// Missing and masked points in every double array; a value is valid when it is > -1e300.
inline constexpr double ERROR_VALUE = -1e301;
// -1e302 rounded one step toward zero (bit pattern 0xFEA2AA4F4A405BE1), as stored files expect.
inline constexpr double MASKED_VALUE = -9.999999999999999e+301;
inline constexpr bool is_valid(double v) {
    return v > -1e300;
}

inline constexpr int MAX_GRAPHS = 20;
inline constexpr int MAX_SERIES = 50;
inline constexpr int MAX_OBJECTS = 154;
inline constexpr int MAX_MASKS = 40;
inline constexpr int MAX_OBJECT_POINTS = 10;
inline constexpr int MAX_CURVE_POINTS = 4000;

// Capacities of the fixed text buffers (including the NUL).
inline constexpr size_t PATH_CAPACITY = 260;
inline constexpr size_t COMMENT_CAPACITY = 64;
inline constexpr size_t EXPRESSION_CAPACITY = 1024;
inline constexpr size_t OBJECT_TEXT_CAPACITY = 512;
inline constexpr size_t FACE_CAPACITY = 32;

// Stores src into dst cut to capacity - 1 bytes.
inline void set_text(std::string& dst, std::string_view src, size_t capacity) {
    dst.assign(src.substr(0, capacity > 0 ? capacity - 1 : 0));
}

// Series kinds: powers of two, tested with masks.
namespace kind {
inline constexpr int32_t Data = 1;
inline constexpr int32_t Polynomial = 2;
inline constexpr int32_t Spline = 4;
inline constexpr int32_t Function = 8;
inline constexpr int32_t Exponential = 16;
inline constexpr int32_t Logarithmic = 32;
inline constexpr int32_t Power = 64;
inline constexpr int32_t General = 128;
inline constexpr int32_t Extension1 = 256;
inline constexpr int32_t Extension2 = 512;

inline constexpr int32_t LeastSquares = 0xF2;  // 2, 16, 32, 64, 128
inline constexpr int32_t AnalysisPage = 0x7FE; // every kind but plain data
// Kind sets by what the commands and the drawing ask of a series.
inline constexpr int32_t ComputedCurve = 0x3F6;  // fits, splines and extension analyses
inline constexpr int32_t AreaLimitedFit = 0x1F6; // those that may fit only points inside the area
inline constexpr int32_t NonFunction = 0x3F7;    // data and every computed curve: all but functions
inline constexpr int32_t Any = 0x7FF;
} // namespace kind

// Object Type codes.
namespace object_type {
inline constexpr int32_t FilledArrow = 0;
inline constexpr int32_t OpenArrow = 1;
inline constexpr int32_t Line = 2;
inline constexpr int32_t Rectangle = 3;
inline constexpr int32_t TitleX = 4;
inline constexpr int32_t TitleY = 5;
inline constexpr int32_t TitleU = 6;
inline constexpr int32_t TitleR = 7;
inline constexpr int32_t Text = 8;
inline constexpr int32_t PointObject = 9;
inline constexpr int32_t Picture = 10;
} // namespace object_type

enum AxisIndex : int { AxisX = 0, AxisY = 1, AxisU = 2, AxisR = 3 };

struct LineAttr {
    int32_t width = 40;
    int32_t color = 0x000000;
    int32_t pitch = 300;
    bool operator==(const LineAttr&) const = default;
};

// A Windows LOGFONT: height in negative hundredths of a point, angles in tenths of a degree.
struct LogFont {
    int32_t height = 0;
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = 0;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strike_out = 0;
    uint8_t charset = 0;
    uint8_t out_precision = 0;
    uint8_t clip_precision = 0;
    uint8_t quality = 0;
    uint8_t pitch_and_family = 0;
    std::string face; // at most 31 bytes
    bool operator==(const LogFont&) const = default;
};

LogFont default_symbol_font();     // "Symbol", -2400, 400, italic, charset 2, 3, 2, 1, 18
LogFont default_axis_label_font(); // "Times New Roman", -2400, 400, quality 2, 18

struct Axis {
    double from = 0;
    double to = 100;
    double increment = 20;
    int32_t division = 1;
    int32_t reserved1 = 0; // X 300, Y 1200, U 900, R 0
    int32_t reserved2 = 100;
    int32_t limited_base_line = 0;
    int32_t base_line_from = 0; // 0.01 percent of the frame
    int32_t base_line_to = 10000;
    int32_t crossing = -1;
    int32_t label_count = -1;
    int32_t label_start = 0;
    int32_t label_interval = 1;
    int32_t plus_sign = 0;
    int32_t keep_zero = 0;
    int32_t zero_as_0 = 1;
    int32_t integer_digits = 5;
    int32_t fraction_digits = 5;
    double reserved_real = 1.0;
    int32_t scale_type = 0; // 0 linear, 1 log, 2 Inverse, 3 LogNormal, 4 Inverse2
    int32_t auto_step = 1;
    int32_t common = 1;
    int32_t draw = 1;
    int32_t draw_labels = 0; // X and Y: 1
    int32_t overflow_digits = 1;
    int32_t major_in = 1;
    int32_t major_out = 0;
    LineAttr major_line;
    int32_t major_length = 300;
    int32_t major_line_type = 1;
    int32_t minor_in = 1;
    int32_t minor_out = 0;
    LineAttr minor_line;
    int32_t minor_length = 150;
    int32_t minor_line_type = 1;
    LogFont label_font = default_axis_label_font();
    int32_t label_color = 0;
    int32_t label_shift_right = 0;
    int32_t label_shift_down = 0;

    static Axis make_default(int index);
};

// Block of a general-function fit (kind 128).
struct FitFunction {
    std::array<int32_t, 9> parameter_free{1, 1, 1, 1, 1, 1, 1, 1, 1};
    std::string function = "a*x+b";
    std::array<std::string, 9> derivatives;
    std::array<double, 9> parameters{1, 1, 1, 1, 1, 1, 1, 1, 1};
    double tolerance = 0.1;
};

// Private state of an extension analysis; only the extension host knows its layout.
struct ExtensionBlock;

struct Series {
    int32_t data_loaded = 0;
    int32_t AbsLine = 0;
    int32_t TabEqSpc = 0;
    int32_t SkipComment = 0;
    int32_t CountOutArea = 0;
    std::string file_name;
    std::string converted_file_name;
    int32_t Converter = 0;
    std::vector<double> x_data, y_data; // values read from the file
    int32_t ColumnX = 0;
    int32_t ColumnY = 1;
    int32_t point_count = 0;
    int32_t Start = 0;
    int32_t End = -1;
    int32_t Step = 1;
    int32_t XAvr = 0;
    int32_t YAvr = 0;
    int32_t Errorbar1 = 0;
    int32_t Errorbar2 = 0;
    int32_t analysis_valid = 0;
    int32_t needs_reading = 1;
    int32_t shown = 1;
    LineAttr line;
    int32_t LineType = 0;
    int32_t PlotType = 2;
    int32_t PlotSize = 300;
    int32_t isRefUpAxis = 0;
    int32_t isRefRightAxis = 0;
    int32_t IsXtrans = 0;
    int32_t IsYtrans = 0;
    std::string Xtrans;
    std::string Ytrans;
    std::string analysis_name;
    int32_t marker_color = 0;
    int32_t DotStyle = 0;
    int32_t fill_color = 0xFFFFFF;
    int32_t Hatch = 5;
    std::optional<FitFunction> fit;            // kind 128
    std::shared_ptr<ExtensionBlock> extension; // kinds 256, 512
    // Stored lines of an extension analysis (count line first) that no module took: written
    // back unchanged so that a document read without the module loses nothing.
    std::vector<std::string> extension_lines;
    int32_t kind = kind::Data;
    int32_t curve_scale_type = 0;
    LineAttr curve_line;
    int32_t curve_line_type = 1;
    int32_t analysis_option = 0; // bit 0: polynomial through (analysis_values)
    double curve_from = 0;
    double curve_to = 0;
    std::array<double, 2> analysis_values{0, 0};
    double BarBottom = 0;
    int32_t curve_points = 0; // Division
    int32_t degree = 0;       // degree or spline variant
    std::array<double, 10> coefficients{};
    double standard_deviation = 0;
    double correlation = 0;
};

struct Point32 {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const Point32&) const = default;
};

struct GraphObject {
    int32_t used = 0;
    int32_t extent_left = 0, extent_top = 0, extent_right = 0, extent_bottom = 0;
    int32_t x = 0, y = 0;                       // text anchor
    std::array<double, 4> position{0, 0, 0, 0}; // start x, y, end x, y
    int32_t Type = 0;
    int32_t Length = 500;
    int32_t RefX = 0;
    int32_t RefY = 0;
    int32_t Pitch = 300;
    int32_t LineWidth = 40;
    int32_t LineStyle = 1;
    int32_t Color = 0;
    int32_t Color2 = 0xFFFFFF;
    int32_t Back = 1;
    int32_t PlotType = 0;
    LogFont Font1, Font2, Font3;
    int32_t Size1 = 0, Size2 = 0;
    int32_t Open = 30, Shut = 100;
    int32_t DotStyle = 0;
    int32_t fill_color = 0xFFFFFF;
    int32_t Hatch = 5;
    int32_t alignment = 0; // Justify for texts, head style for arrows, Num for point objects
    std::array<int32_t, 4> picture_box{0, 0, 0, 0};
    std::string Str; // text (511 bytes at most) or picture path (259)
    std::array<Point32, MAX_OBJECT_POINTS> points{}; // point objects
};

struct Mask {
    int32_t series = 0;                     // 0 all, n: series n counted from 1
    std::array<double, 4> area{0, 0, 0, 0}; // X low, X high, Y low, Y high
};

// Cached drawing of a graph body; defined by the renderer.
struct CachedDrawing;

struct Graph {
    std::shared_ptr<CachedDrawing> cached_drawing;
    int32_t frame_left = 4000, frame_top = 1500, frame_width = 14000, frame_height = 10000;
    // Frame rectangle widened by every label and object drawn; set by each drawing.
    int32_t extent_left = 0, extent_top = 0, extent_right = 0, extent_bottom = 0;
    int32_t page_width = 210, page_height = 297; // mm
    int32_t page_scale = 100;
    int16_t paper_code = 2; // 1 A3, 2 A4, 3 A5, 4 B4, 5 B5
    int32_t background_color = 0xFFFFFF;
    int32_t scales_valid = 0;
    int32_t unmodified = 1;
    int32_t reserved_flag = 0;
    int32_t count_all_series = 1;
    int32_t log_decades_as_numbers = 0;
    int32_t landscape = 0;
    std::string file_name;
    std::string comment;
    int32_t Magnification = 100;
    int32_t series_count = 0;
    std::array<Series, MAX_SERIES> series;
    LineAttr frame_line;
    int32_t FrameType = 1;
    int32_t zero_shared = 0;
    std::array<Axis, 4> axes{Axis::make_default(0), Axis::make_default(1), Axis::make_default(2),
                             Axis::make_default(3)};
    std::array<GraphObject, MAX_OBJECTS> objects;
    LogFont symbol_font = default_symbol_font();
    std::array<double, 9> user_constants{};
    int32_t mask_count = 0;
    std::array<Mask, MAX_MASKS> masks;
};

// Up to twenty graphs in the order they were added, and the state that goes with them.
struct GraphSet {
    std::vector<std::unique_ptr<Graph>> graphs;
    int current = -1;
    std::string bundle_name;
    bool show_all = false;
    std::array<int32_t, 4> axis_link{0, 0, 0, 0};
    int32_t print_scale = 100;

    Graph* current_graph() {
        return current >= 0 && current < static_cast<int>(graphs.size()) ? graphs[current].get()
                                                                         : nullptr;
    }
};

} // namespace plox
