// The example document examples/demo.qvp: it is what the generator below writes, and it opens
// with its data files found next to it. PLOX_WRITE_DEMO=1 rewrites the document and its data.
#include "doc_test_util.h"
#include "document/document_io.h"
#include "document/graph_ops.h"
#include "document/prompter.h"
#include "document/qvp_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace plox {
namespace {

const std::string examples = std::string(PLOX_SOURCE_DIR) + "/examples/";

std::string damped_data() {
    std::string out = "# damped oscillation: time [s], amplitude [V]\n";
    for (int i = 0; i <= 200; ++i) {
        const double t = i * 0.05;
        char line[64];
        std::snprintf(line, sizeof line, "%.2f %.5f\n", t,
                      std::exp(-t / 3) * std::cos(2 * M_PI * 0.8 * t));
        out += line;
    }
    return out;
}

std::string measured_data() {
    std::mt19937 rng(2024); // fixed noise, so the file is reproducible
    std::string out = "# measured response\n# t, V, dV\n";
    for (int i = 0; i <= 20; ++i) {
        const double t = i * 0.5;
        const double noise = (static_cast<double>(rng()) / 4294967296.0 - 0.5) * 0.08;
        char line[64];
        std::snprintf(line, sizeof line, "%.1f, %.3f, %.3f\n", t,
                      1.2 * (1 - std::exp(-t / 2)) - 0.9 + noise, 0.03);
        out += line;
    }
    return out;
}

LogFont text_font(int32_t height) {
    LogFont f = default_axis_label_font();
    f.height = height;
    return f;
}

LogFont japanese_font(int32_t height) {
    LogFont f;
    f.height = height;
    f.weight = 400;
    f.charset = 128;
    f.out_precision = 3;
    f.clip_precision = 2;
    f.quality = 1;
    f.pitch_and_family = 17;
    f.face = "\x82\x6c\x82\x72 \x96\xbe\x92\xa9"; // "ＭＳ 明朝" in Shift-JIS
    return f;
}

GraphObject text_object(int32_t type, int32_t x, int32_t y, int32_t justify, std::string text,
                        int32_t height) {
    GraphObject o;
    o.used = 1;
    o.Type = type;
    o.x = x;
    o.y = y;
    o.alignment = justify;
    o.Str = std::move(text);
    o.Font1 = text_font(height);
    o.Font2 = japanese_font(height);
    o.Font3 = default_symbol_font();
    o.Font3.height = height;
    return o;
}

Graph make_demo_graph() {
    Graph g;
    g.comment = "PloxWin demo: damped oscillation and measured step response";
    g.scales_valid = 1;
    Axis& x = g.axes[AxisX];
    x.from = 0;
    x.to = 10;
    x.increment = 2;
    x.division = 4;
    x.auto_step = 0;
    x.fraction_digits = 0;
    Axis& y = g.axes[AxisY];
    y.from = -1;
    y.to = 1.5;
    y.increment = 0.5;
    y.division = 5;
    y.auto_step = 0;
    y.fraction_digits = 1;

    Series& damped = g.series[add_series(g, "data/damped.dat", nullptr)];
    damped.LineType = 1;
    damped.PlotType = 0;
    damped.line = {30, 0xC04000, 300};
    damped.SkipComment = 1;

    Series& measured = g.series[add_series(g, "data/measured.dat", nullptr)];
    measured.LineType = 0;
    measured.PlotType = 2;
    measured.PlotSize = 250;
    measured.marker_color = 0x0000C0;
    measured.fill_color = 0x8080FF;
    measured.SkipComment = 1;
    // A cubic least-squares fit through the measured points.
    measured.kind = kind::Polynomial;
    measured.degree = 3;
    measured.curve_from = 0;
    measured.curve_to = 10;
    measured.curve_points = 101;
    measured.curve_line = {20, 0x0000C0, 300};
    measured.curve_line_type = 1;

    // A function series draws its points as a line in the curve's attributes, as the
    // "draw a function" command leaves it.
    Series& envelope = g.series[add_series(g, "CALC.DAT", nullptr)];
    envelope.kind = kind::Function;
    envelope.PlotType = 0;
    envelope.IsYtrans = 1;
    envelope.Ytrans = "exp(-x/3)";
    envelope.curve_from = 0;
    envelope.curve_to = 10;
    envelope.curve_points = 101;
    envelope.curve_line = {30, 0x808080, 300};
    envelope.curve_line_type = 2;
    envelope.line = envelope.curve_line;
    envelope.LineType = envelope.curve_line_type;

    GraphObject xt = text_object(object_type::TitleX, 7000, 11400, 1, "Time  %It%R / s", -2000);
    GraphObject yt =
        text_object(object_type::TitleY, -1400, 5000, 1, "Amplitude  %IV%R / V", -2000);
    yt.Font1.escapement = yt.Font1.orientation = 900;
    yt.Font2.escapement = yt.Font2.orientation = 900;
    yt.Font3.escapement = yt.Font3.orientation = 900;
    GraphObject legend =
        text_object(object_type::Text, 8600, 900, 0,
                    "%01E simulated\\n%02E measured\\n%03F envelope e^-t/3@", -1600);
    g.objects[0] = xt;
    g.objects[1] = yt;
    g.objects[2] = legend;
    return g;
}

std::string write_demo(const Graph& g, const std::string& saved_path) {
    IoContext ctx;
    WriteOptions o;
    o.document_path = saved_path;
    LineWriter w;
    write_graph_document(w, g, o, ctx);
    return w.buffer();
}

TEST(Demo, ExampleDocumentIsWhatTheGeneratorWrites) {
    if (std::getenv("PLOX_WRITE_DEMO")) {
        test::write_file(examples + "data/damped.dat", damped_data());
        test::write_file(examples + "data/measured.dat", measured_data());
        test::write_file(examples + "demo.qvp",
                         write_demo(make_demo_graph(), examples + "demo.qvp"));
    }
    const std::string text = test::read_file(examples + "demo.qvp");
    ASSERT_FALSE(text.empty());
    LineReader r(text);
    r.line();
    Graph g;
    ReadInfo info;
    IoContext ctx;
    ASSERT_TRUE(read_graph_body(r, g, version::V1_8, info, ctx));
    EXPECT_EQ(text, write_demo(make_demo_graph(), info.saved_path));
    EXPECT_EQ(test::read_file(examples + "data/damped.dat"), damped_data());
    EXPECT_EQ(test::read_file(examples + "data/measured.dat"), measured_data());
}

TEST(Demo, ExampleDocumentFindsItsData) {
    RecordingPrompter prompter;
    IoContext ctx;
    ctx.prompter = &prompter;
    GraphSet set;
    const IoStatus st = load_document(examples + "demo.qvp", set, ctx);
    ASSERT_TRUE(st.ok()) << st.message;
    EXPECT_TRUE(st.missing.empty());
    EXPECT_TRUE(prompter.shown.empty());
    const Graph& g = *set.current_graph();
    EXPECT_EQ(g.series_count, 3);
    EXPECT_EQ(g.series[0].file_name, examples + "data/damped.dat");
    EXPECT_EQ(count_objects(g, object_type::Text), 1);
    EXPECT_EQ(g.objects[1].Font1.escapement, 900);
}

} // namespace
} // namespace plox
