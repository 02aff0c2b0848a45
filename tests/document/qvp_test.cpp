// QVP 1.8 documents: exact lines, round trips and the reader's fill-in rules.
#include "doc_test_util.h"
#include "document/document_io.h"
#include "document/extension_io.h"
#include "document/graph_ops.h"
#include "document/prompter.h"
#include "document/qvp_format.h"

#include <gtest/gtest.h>

#include <sstream>

namespace plox {
namespace test {

Graph make_rich_graph(const std::string& data_dir) {
    Graph g;
    g.comment = "rich graph";
    g.axes[AxisX].from = 0.5;
    g.axes[AxisX].to = 1e-05;
    g.axes[AxisY].scale_type = 1;
    g.axes[AxisY].label_font.escapement = g.axes[AxisY].label_font.orientation = 900;
    g.user_constants = {1, 2.5, -3, 0, 0, 0, 0, 0, 9.75};

    int i = add_series(g, data_dir + "a.dat", nullptr);
    g.series[i].Errorbar1 = 2;
    g.series[i].Xtrans = "x*2";
    g.series[i].IsXtrans = 1;
    g.series[i].DotStyle = 2;
    g.series[i].BarBottom = -1.25;
    g.series[i].shown = 0;
    g.series[i].point_count = 17;

    i = add_series(g, data_dir + "a.dat", nullptr);
    g.series[i].kind = kind::Polynomial;
    g.series[i].degree = 3;
    g.series[i].curve_points = 101;
    g.series[i].ColumnX = -1;

    i = add_series(g, "", nullptr);
    g.series[i].kind = kind::Function;
    g.series[i].Ytrans = "sin(x)";

    i = add_series(g, data_dir + "b.dat", nullptr);
    g.series[i].kind = kind::General;
    FitFunction f;
    f.function = "a*exp(-b*x)+c";
    f.parameters = {2, 0.5, 0.25, 1, 1, 1, 1, 1, 1};
    f.derivatives[0] = "exp(-b*x)";
    g.series[i].fit = f;

    i = add_series(g, data_dir + "b.dat", nullptr);
    g.series[i].kind = kind::Extension1;
    g.series[i].analysis_name = "GAUSS";
    g.series[i].extension_lines = {"2", "1.5 2.5", "peak"};

    GraphObject arrow;
    arrow.used = 1;
    arrow.Type = object_type::FilledArrow;
    arrow.position = {10, 20, 30.5, 40};
    arrow.RefX = 1;
    arrow.alignment = 3;
    GraphObject title;
    title.used = 1;
    title.Type = object_type::TitleX;
    title.x = 9000;
    title.y = 11800;
    title.alignment = 1;
    title.Str = "Time / s";
    title.Font1 = default_axis_label_font();
    title.Font2 = default_axis_label_font();
    title.Font2.face = "\x82\x6c\x82\x72 \x96\xbe\x92\xa9"; // Shift-JIS face name
    title.Font3 = default_symbol_font();
    GraphObject legend = title;
    legend.Type = object_type::Text;
    legend.Str = "first line\\nsecond line";
    legend.Back = 2;
    GraphObject dots;
    dots.used = 1;
    dots.Type = object_type::PointObject;
    dots.PlotType = 30;
    dots.alignment = 3;
    dots.points[0] = {100, 200};
    dots.points[1] = {300, 400};
    dots.points[2] = {500, -600};
    dots.DotStyle = 1;
    GraphObject picture;
    picture.used = 1;
    picture.Type = object_type::Picture;
    picture.Str = "/nowhere/picture.gra";
    picture.picture_box = {640, 480, 6400, 4800};
    g.objects[0] = arrow;
    g.objects[1] = title;
    g.objects[2] = legend;
    g.objects[3] = dots;
    g.objects[4] = picture;

    g.mask_count = 2;
    g.masks[0] = {0, {1, 2, 3, 4}};
    g.masks[1] = {2, {-1, 0.5, 1e10, 2e10}};
    return g;
}

} // namespace test

namespace {

using test::make_rich_graph;

std::string write_text(const Graph& g, bool with_data = false,
                       const std::string& doc = "/docs/doc.qvp") {
    IoContext ctx;
    WriteOptions o;
    o.with_data = with_data;
    o.document_path = doc;
    LineWriter w;
    write_graph_document(w, g, o, ctx);
    return w.buffer();
}

Graph read_text(const std::string& text, ReadInfo* info_out = nullptr,
                IoContext* ctx_in = nullptr) {
    IoContext local;
    IoContext& ctx = ctx_in ? *ctx_in : local;
    LineReader r(text);
    EXPECT_EQ(detect_version(r.line()), version::V1_8);
    Graph g;
    ReadInfo info;
    EXPECT_TRUE(read_graph_body(r, g, version::V1_8, info, ctx));
    if (info_out) *info_out = info;
    return g;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

TEST(QvpWriter, EmptyGraphHasTheExactLayout) {
    Graph g;
    const auto lines = lines_of(write_text(g));
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0], " PloxWin ver. 1.8  QVP file");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], "0 1 210 297 0 100 2");
    EXPECT_EQ(lines[3], "0");
    EXPECT_EQ(lines[4], "[GRAPH]");
    EXPECT_EQ(lines[5], "4000 1500 14000 10000");
    EXPECT_EQ(lines[6], "100 1 0 0 1 0");
    EXPECT_EQ(lines[7], "40 0 300 16777215");
    EXPECT_EQ(lines[9], "[AXIS-0]");
    EXPECT_EQ(lines[10], "0 100 20 0 0 10000 -1 -1 0 1 0 0 1 5 5 1 1");
    EXPECT_EQ(lines[11], "1 0 1 1 1 1 0 0 0 300 100");
    EXPECT_EQ(lines[12], "-2400 0 0 0 400 0 0 0 0 0 0 2 18");
    EXPECT_EQ(lines[13], "Times New Roman");
    EXPECT_EQ(lines[14], "1 0 300 40 0 300 1");
    // The tail: objects, others, masks.
    const size_t legend = std::find(lines.begin(), lines.end(), "[LEGEND]") - lines.begin();
    ASSERT_LT(legend + 12, lines.size());
    EXPECT_EQ(lines[legend + 1], "0");
    EXPECT_EQ(lines[legend + 2], "[OTHERS]");
    EXPECT_EQ(lines[legend + 3], " 3");
    EXPECT_EQ(lines[legend + 4], "0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(lines[legend + 5], "-2400 0 0 0 400 1 0 0 2 3 2 1 18");
    EXPECT_EQ(lines[legend + 6], "Symbol");
    EXPECT_EQ(lines[legend + 7], "/docs/doc.qvp");
    EXPECT_EQ(lines[legend + 8], "");
    EXPECT_EQ(lines[legend + 9], "[MASKS]");
    EXPECT_EQ(lines[legend + 10], " 0");
    EXPECT_EQ(lines[legend + 11], "0");
    EXPECT_EQ(lines[legend + 12], "0");
    EXPECT_EQ(lines.back(), "");
    EXPECT_EQ(write_text(g).substr(write_text(g).size() - 4), "\r\n\r\n");
}

TEST(QvpWriter, SeriesBlockLines) {
    Graph g;
    const int i = add_series(g, "/data/run 1.dat", nullptr);
    g.series[i].ColumnX = -1;
    g.series[i].Converter = 2;
    g.series[i].DotStyle = -1; // %u shows the 32-bit pattern
    const auto lines = lines_of(write_text(g));
    EXPECT_EQ(lines[3], "1");
    EXPECT_EQ(lines[4], "[run 1.dat]");
    EXPECT_EQ(lines[5], "/data/run 1.dat");
    EXPECT_EQ(lines[6], "0 0 0 0 -1 1 0 0 -1 ");
    EXPECT_EQ(lines[7], "40 0 300 0 0 0 0");
    EXPECT_EQ(lines[8], "0 2 300 0");
    EXPECT_EQ(lines[9], "0 0 1 0 0 4294967295 16777215 5");
    EXPECT_EQ(lines[10], "0 0 2");
    EXPECT_EQ(lines[13], "0 0 0 0 0 0 0 0 0");
    EXPECT_EQ(lines[14], "1 40 0 300 1");
    EXPECT_EQ(lines[15], "");
    EXPECT_EQ(lines[16], "");
    EXPECT_EQ(lines[17], "[GRAPH]");
}

TEST(QvpWriter, TemplateWritesNoSeriesAndNoMasks) {
    Graph g = make_rich_graph("/d/");
    IoContext ctx;
    WriteOptions o;
    o.template_document = true;
    LineWriter w;
    write_graph_document(w, g, o, ctx);
    const auto lines = lines_of(w.buffer());
    EXPECT_EQ(lines[3], "0");
    EXPECT_EQ(lines[4], "[GRAPH]");
    const size_t masks = std::find(lines.begin(), lines.end(), "[MASKS]") - lines.begin();
    EXPECT_EQ(lines[masks + 1], " 0");
    EXPECT_EQ(lines[masks + 2], "0");
}

TEST(QvpRoundTrip, WrittenReadAndWrittenAgainIsByteIdentical) {
    const Graph g = make_rich_graph("/data/");
    const std::string first = write_text(g);
    const Graph back = read_text(first);
    EXPECT_EQ(write_text(back), first);

    EXPECT_EQ(back.series_count, 5);
    EXPECT_EQ(back.series[0].Xtrans, "x*2");
    EXPECT_EQ(back.series[0].BarBottom, -1.25);
    EXPECT_EQ(back.series[0].shown, 0);
    EXPECT_EQ(back.series[0].point_count, 17);
    EXPECT_EQ(back.series[1].kind, kind::Polynomial);
    EXPECT_EQ(back.series[1].ColumnX, -1);
    EXPECT_EQ(back.series[2].Ytrans, "sin(x)");
    ASSERT_TRUE(back.series[3].fit.has_value());
    EXPECT_EQ(back.series[3].fit->function, "a*exp(-b*x)+c");
    EXPECT_EQ(back.series[3].fit->parameters[1], 0.5);
    EXPECT_EQ(back.series[3].fit->derivatives[0], "exp(-b*x)");
    EXPECT_EQ(back.series[4].analysis_name, "GAUSS");
    EXPECT_EQ(back.series[4].extension_lines, (std::vector<std::string>{"2", "1.5 2.5", "peak"}));
    EXPECT_EQ(back.series[0].analysis_name, "");
    EXPECT_EQ(back.objects[2].Str, "first line\\nsecond line");
    EXPECT_EQ(back.objects[1].Font2.face, g.objects[1].Font2.face);
    EXPECT_EQ(back.objects[3].alignment, 3);
    EXPECT_EQ(back.objects[3].points[2], (Point32{500, -600}));
    EXPECT_EQ(back.objects[4].picture_box[3], 4800);
    EXPECT_EQ(count_objects(back, object_type::TitleX), 1);
    EXPECT_EQ(back.mask_count, 2);
    EXPECT_EQ(back.masks[1].area[3], 2e10);
    EXPECT_EQ(back.user_constants[8], 9.75);
    EXPECT_EQ(back.axes[AxisX].to, 1e-05);
}

TEST(QvpRoundTrip, DoublesKeepSixSignificantDigits) {
    Graph g;
    g.axes[AxisX].from = 0.123456789;
    g.axes[AxisX].to = 123456789.0;
    const Graph back = read_text(write_text(g));
    EXPECT_EQ(back.axes[AxisX].from, 0.123457);
    EXPECT_EQ(back.axes[AxisX].to, 1.23457e8);
    EXPECT_NE(write_text(g).find("0.123457 1.23457e+08 20 "), std::string::npos);
}

TEST(QvpReader, EscapementIsStoredNegatedAndReadIntoRange) {
    auto font_lines = [](int stored) {
        return std::to_string(-2400) + " 0 " + std::to_string(stored) +
               " 0 400 0 0 0 0 0 0 2 18\r\nArial\r\n";
    };
    for (auto [stored, expected] :
         {std::pair{900, 2700}, {-900, 900}, {0, 0}, {-2700, 2700}, {3599, 1}}) {
        const std::string text = font_lines(stored);
        LineReader r(text);
        LogFont f;
        read_font(r, f);
        EXPECT_EQ(f.escapement, expected) << stored;
        EXPECT_EQ(f.orientation, expected);
        EXPECT_EQ(f.face, "Arial");
    }
    LogFont f;
    f.escapement = f.orientation = 900;
    LineWriter w;
    write_font(w, f);
    EXPECT_EQ(w.buffer(), "0 0 -900 900 0 0 0 0 0 0 0 0 0\r\n\r\n");
}

// Replaces line `index` (0-based) of a document.
std::string with_line(const std::string& text, size_t index, const std::string& line) {
    auto lines = lines_of(text);
    lines.at(index) = line;
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i)
        out += lines[i] + (i + 1 < lines.size() ? "\r\n" : "");
    return out;
}

TEST(QvpReader, ShortLinesTakeTheFillInValues) {
    Graph g;
    const int i = add_series(g, "/d/x.dat", nullptr);
    Series& s = g.series[i];
    s.CountOutArea = 1;
    s.Step = 4;
    s.XAvr = 2;
    s.DotStyle = 2;
    s.fill_color = 0x123456;
    s.Hatch = 1;
    s.Converter = 3;
    s.BarBottom = 7;
    s.shown = 0;
    std::string text = write_text(g);
    text = with_line(text, 7, "40 0 300 0 0 0");   // s4: six values
    text = with_line(text, 9, "1 1");              // s6: two values
    text = with_line(text, 10, "1 0");             // s7: two values
    text = with_line(text, 13, "0 0 0 0 0 0 0 0"); // s10: eight values
    text = with_line(text, 14, "1 40 0 300");      // s11: four values
    const Graph back = read_text(text);
    const Series& b = back.series[0];
    EXPECT_EQ(b.CountOutArea, 0);
    EXPECT_EQ(b.isRefUpAxis, 1);
    EXPECT_EQ(b.isRefRightAxis, 1);
    EXPECT_EQ(b.Step, 1);
    EXPECT_EQ(b.XAvr, 0);
    EXPECT_EQ(b.DotStyle, 0);
    EXPECT_EQ(b.fill_color, 0xFFFFFF);
    EXPECT_EQ(b.Hatch, 5);
    EXPECT_EQ(b.IsXtrans, 1);
    EXPECT_EQ(b.Converter, 0);
    EXPECT_EQ(b.BarBottom, 0);
    EXPECT_EQ(b.shown, 1);
    EXPECT_EQ(back.FrameType, 1); // the rest of the document still read in step
}

TEST(QvpReader, ObjectFillInsAndUnknownTypes) {
    Graph g;
    g.user_constants[0] = 5;
    GraphObject text;
    text.used = 1;
    text.Type = object_type::Text;
    text.alignment = 2;
    text.Str = "t";
    GraphObject arrow;
    arrow.used = 1;
    arrow.Type = object_type::OpenArrow;
    arrow.alignment = 2;
    arrow.Open = 45;
    arrow.Shut = 80;
    g.objects[0] = text;
    g.objects[1] = arrow;
    std::string written = write_text(g);
    auto lines = lines_of(written);
    const size_t legend = std::find(lines.begin(), lines.end(), "[LEGEND]") - lines.begin();
    lines[legend + 1] = "3";
    lines[legend + 3] = "10 20 0 1"; // text values line without Justify
    const size_t arrow_line = legend + 13;
    ASSERT_EQ(lines[arrow_line - 1], "1");
    lines[arrow_line] = "1 2 3 4 0 0 40 500 0 1 300 1 16777215 0 0"; // 15 values
    // An unknown type is skipped with one line and takes no slot; the trailer is still read.
    lines.insert(lines.begin() + static_cast<long>(arrow_line) + 2, {"42", "whatever"});
    std::string edited;
    for (const auto& l : lines)
        edited += l + "\r\n";
    edited.resize(edited.size() - 2);
    const Graph back = read_text(edited);
    EXPECT_EQ(back.objects[0].alignment, 0);
    EXPECT_EQ(back.objects[1].alignment, 1);
    EXPECT_EQ(back.objects[1].Open, 30);
    EXPECT_EQ(back.objects[1].Shut, 100);
    EXPECT_EQ(back.objects[1].position[3], 4);
    EXPECT_EQ(find_free_object_slot(back), 2);
    EXPECT_EQ(back.user_constants[0], 5);
}

TEST(QvpReader, LongTextLinesComeBackCutAndInStep) {
    Graph g;
    const int i = add_series(g, "/d/x.dat", nullptr);
    g.series[i].Xtrans = std::string(700, 'x');
    g.series[i].Ytrans = "y";
    const Graph back = read_text(write_text(g));
    EXPECT_EQ(back.series[0].Xtrans, std::string(511, 'x'));
    EXPECT_EQ(back.series[0].Ytrans, "y");
    EXPECT_EQ(back.frame_width, 14000);
}

TEST(QvpReader, SeriesBeyondFiftyAreSkippedWithTheirLines) {
    Graph g;
    for (int i = 0; i < MAX_SERIES; ++i)
        add_series(g, "/d/" + std::to_string(i) + ".dat", nullptr);
    g.series[49].kind = kind::General; // a fit block inside the block to skip
    g.series[49].fit = FitFunction{};
    g.series[48].kind = kind::Extension2;
    g.series[48].extension_lines = {"1", "state"};
    g.comment = "many";
    std::string text = write_text(g);
    // Duplicate the blocks of series 49 and 50 so the document holds 52 series.
    const size_t first = text.find("[48.dat]");
    const size_t graph = text.find("[GRAPH]");
    text.insert(graph, text.substr(first, graph - first));
    text = with_line(text, 3, "52");
    ReadInfo info;
    const Graph back = read_text(text, &info);
    EXPECT_EQ(back.series_count, 50);
    EXPECT_EQ(info.series_skipped, 2);
    EXPECT_EQ(back.frame_height, 10000);
    EXPECT_EQ(back.axes[AxisR].draw_labels, 0);
    EXPECT_EQ(write_text(back), write_text(g));
}

class FakeExtension : public ExtensionIo {
public:
    bool init_analysis(Series& s) override { return s.analysis_name == "KNOWN"; }
    void load_line(Series&, std::string_view line, int index) override {
        loaded.push_back(std::to_string(index) + ":" + std::string(line));
    }
    std::vector<std::string> save_lines(const Series&) override { return {"1", "saved"}; }
    bool has_converter_module() const override { return true; }
    int converter_number(std::string_view name) const override { return name == "CSV" ? 4 : 0; }
    std::string converter_name(int n) const override { return n == 4 ? "CSV" : ""; }
    std::vector<std::string> loaded;
};

TEST(QvpReader, ExtensionLinesGoToTheModuleOrAreDropped) {
    Graph g;
    for (const char* name : {"KNOWN", "OTHER"}) {
        const int i = add_series(g, "/d/x.dat", nullptr);
        g.series[i].kind = kind::Extension1;
        g.series[i].analysis_name = name;
        g.series[i].extension_lines = {"2", "a", "b"};
    }
    const std::string text = write_text(g);
    FakeExtension ext;
    IoContext ctx;
    ctx.extension = &ext;
    const Graph back = read_text(text, nullptr, &ctx);
    EXPECT_EQ(ext.loaded, (std::vector<std::string>{"0:a", "1:b"}));
    EXPECT_TRUE(back.series[0].extension_lines.empty());
    EXPECT_TRUE(back.series[1].extension_lines.empty());
    EXPECT_EQ(back.series_count, 2);
    EXPECT_EQ(back.frame_left, 4000);
}

TEST(QvpReader, ConverterNamesTravelThroughTheModule) {
    Graph g;
    const int i = add_series(g, "/d/x.csv", nullptr);
    g.series[i].Converter = 4;
    FakeExtension ext;
    IoContext ctx;
    ctx.extension = &ext;
    WriteOptions o;
    LineWriter w;
    write_graph_document(w, g, o, ctx);
    EXPECT_EQ(lines_of(w.buffer())[10], "0 0 4 \"CSV\"");
    const std::string renamed = with_line(w.buffer(), 10, "0 0 7 \"CSV\"");
    EXPECT_EQ(read_text(renamed, nullptr, &ctx).series[0].Converter, 4);
    EXPECT_EQ(
        read_text(with_line(w.buffer(), 10, "0 0 7 \"XLS\""), nullptr, &ctx).series[0].Converter,
        0);
}

TEST(QvpReader, HostileNumbersStayInRange) {
    Graph g;
    add_series(g, "/d/x.dat", nullptr);
    std::string text = write_text(g);
    text = with_line(text, 6, "99 0 0 0 0 1 0 0 -1 "); // kind exponent out of range
    text = with_line(text, 18, "0 -5 99999999999 0");  // frame
    text = with_line(text, 19, "0 1 0 0 1 0");         // Magnification 0
    text = with_line(text, 23, "nan inf 20 0 0 10000 -1 -1 0 1 0 0 1 5 5 1 1");
    const Graph back = read_text(text);
    EXPECT_EQ(back.series[0].kind, kind::Data);
    EXPECT_EQ(back.frame_left, 1000);
    EXPECT_GE(back.frame_width, 1000);
    EXPECT_LE(back.frame_top + back.frame_height, 32000);
    EXPECT_EQ(back.Magnification, 5);
    EXPECT_EQ(back.axes[AxisX].from, 0);
    EXPECT_EQ(back.axes[AxisX].to, 100);
}

TEST(QvpVersion, LinesAreComparedExactly) {
    EXPECT_EQ(detect_version(" PloxWin ver. 1.8  QVP file"), version::V1_8);
    EXPECT_EQ(detect_version(" PloxWin ver. 1.0  QVP file"), version::V1_0);
    EXPECT_EQ(detect_version(" PloxWin ver. 1.9  QVP file"), version::V1_9);
    EXPECT_EQ(detect_version(" PloxWin ver. 1.1  QVA file"), version::Bundle);
    EXPECT_EQ(detect_version("PloxWin ver. 1.8  QVP file"), version::None);
    EXPECT_EQ(detect_version(" PloxWin ver. 1.8 QVP file"), version::None);
    EXPECT_EQ(detect_version(" ploxwin ver. 1.8  QVP file"), version::None);
    EXPECT_EQ(detect_version(" PloxWin ver. 1.2  QVA file"), version::None);
}

} // namespace
} // namespace plox
