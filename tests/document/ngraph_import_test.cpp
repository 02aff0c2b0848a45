// Ngraph 5.3 projects: the code tables, the text codes and a whole project read by position.
#include "doc_test_util.h"
#include "document/document_io.h"
#include "document/extension_io.h"
#include "document/graph_ops.h"
#include "document/ngraph_import.h"
#include "document/prompter.h"
#include "ngraph_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace plox {
namespace {

using test::read_file;
using test::TempDir;
using test::write_file;
using test::ngraph_project::Project;
using test::ngraph_project::sample_project;
using test::ngraph_project::spec;

// Recognises "%Ngraph" lines as the converter module does; nothing else of a module.
class NgraphRecogniser : public ExtensionIo {
public:
    bool init_analysis(Series&) override { return false; }
    void load_line(Series&, std::string_view, int) override {}
    std::vector<std::string> save_lines(const Series&) override { return {}; }
    bool has_converter_module() const override { return true; }
    int check_qvp(std::string_view line) const override {
        if (line == "%Ngraph ver.5.3 project") return 0;
        if (line == "%Ngraph ver.5.3 project with data") return 1;
        return -1;
    }
};

struct Imported {
    TempDir dir;
    RecordingPrompter prompter;
    NgraphRecogniser recogniser;
    IoContext ctx;
    GraphSet set;
    IoStatus status;
    explicit Imported(const std::string& text) {
        ctx.prompter = &prompter;
        ctx.extension = &recogniser;
        ctx.temp_dir = dir / "tmp/";
        ctx.ask_before_overwrite = false;
        std::filesystem::create_directories(ctx.temp_dir);
        write_file(dir / "proj.prm", text);
        status = load_document(dir / "proj.prm", set, ctx);
    }
    Graph& graph() { return *set.graphs.at(0); }
};

TEST(NgraphTables, CodesTranslate) {
    EXPECT_EQ(ngraph::colour(4), 0x0000FF);
    EXPECT_EQ(ngraph::colour(7), 0xFFFFFF);
    EXPECT_EQ(ngraph::line_type(1), 3);
    EXPECT_EQ(ngraph::line_type(3), 4);
    EXPECT_EQ(ngraph::line_type(9), 1);
    EXPECT_EQ(ngraph::plot_type(12), 14);
    EXPECT_EQ(ngraph::plot_type(39), 27);
    EXPECT_EQ(ngraph::plot_type(40), 0);
    EXPECT_EQ(ngraph::point_plot_type(3), 31);
    EXPECT_EQ(ngraph::point_plot_type(4), 2) << "entry 7 of the plot table";
    EXPECT_EQ(ngraph::point_plot_type(28), 27);
    EXPECT_EQ(ngraph::point_plot_type(29), 0);
    EXPECT_EQ(ngraph::transform_text("%1+1"), "#001+1");
    EXPECT_EQ(ngraph::fit_text("%00*x+%01+%03%9"), "a*x+b+d%9");
}

TEST(NgraphTables, FontSpecs) {
    const ngraph::FontSpec s = ngraph::font_spec(spec('C', 'G', "12", 'O', '3'), 900);
    EXPECT_EQ(s.latin.face, "Courier New");
    EXPECT_EQ(s.latin.pitch_and_family, 49);
    EXPECT_EQ(s.latin.charset, 0);
    EXPECT_EQ(s.japanese.face, "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e");
    EXPECT_EQ(s.japanese.charset, 128);
    EXPECT_EQ(s.japanese.pitch_and_family, 18);
    EXPECT_EQ(s.latin.height, -1200);
    EXPECT_EQ(s.latin.weight, 700);
    EXPECT_EQ(s.latin.italic, 1);
    EXPECT_EQ(s.latin.escapement, 900);
    EXPECT_EQ(s.latin.orientation, 900);
    EXPECT_EQ(s.latin.quality, 2);
    EXPECT_EQ(s.color, 0xFFFF00);
    const ngraph::FontSpec t = ngraph::font_spec("  X  M  09       ?");
    EXPECT_EQ(t.latin.face, "Times New Roman");
    EXPECT_EQ(t.latin.weight, 400);
    EXPECT_EQ(t.latin.height, -900);
    EXPECT_EQ(t.color, 0xFFFFFF) << "a short spec has no colour index";
}

TEST(NgraphImport, SeriesAndFit) {
    Imported im(sample_project().text());
    ASSERT_TRUE(im.status.ok()) << im.status.message;
    const Graph& g = im.graph();
    EXPECT_EQ(g.comment, "Converted from Ngraph ver. 5.3 file");
    EXPECT_EQ(g.file_name, im.dir / "proj.qvp") << "saving never overwrites the project";
    ASSERT_EQ(g.series_count, 2);
    const Series& a = g.series[0];
    EXPECT_EQ(a.ColumnX, 0);
    EXPECT_EQ(a.ColumnY, 1);
    EXPECT_EQ(a.kind, kind::Data);
    EXPECT_EQ(a.LineType, 3);
    EXPECT_EQ(a.line.color, 0xFF0000);
    EXPECT_EQ(a.marker_color, 0xFF0000);
    EXPECT_EQ(a.PlotSize, 300);
    EXPECT_EQ(a.line.pitch, 400);
    EXPECT_EQ(a.AbsLine, 1);
    EXPECT_EQ(a.Xtrans, "#001+1");
    EXPECT_EQ(a.IsXtrans, 1);
    EXPECT_EQ(a.IsYtrans, 0) << "an empty transform stays off";

    const Series& f = g.series[1];
    EXPECT_EQ(f.kind, kind::General);
    EXPECT_EQ(f.isRefUpAxis, 1);
    EXPECT_EQ(f.curve_line_type, 2);
    EXPECT_EQ(f.analysis_option, 1);
    EXPECT_EQ(f.analysis_values[1], 3.5);
    ASSERT_TRUE(f.fit);
    EXPECT_EQ(f.fit->function, "a*x+b");
    EXPECT_EQ(f.fit->derivatives[0], "x");
    EXPECT_EQ(f.fit->parameters[6], 7);
    EXPECT_EQ(f.fit->parameters[7], 0);
    EXPECT_EQ(f.fit->tolerance, 0.001);
    // Curve settings from the U axis (the series refers to it).
    EXPECT_EQ(f.curve_points, 101);
    EXPECT_EQ(f.curve_scale_type, 4);
    EXPECT_EQ(f.curve_from, 0.5);
    EXPECT_EQ(f.curve_to, 0.25);
    EXPECT_EQ(f.curve_line, f.line);
}

TEST(NgraphImport, FrameAxesAndMasks) {
    Imported im(sample_project().text());
    const Graph& g = im.graph();
    EXPECT_EQ(g.FrameType, 3);
    EXPECT_EQ(g.Magnification, 100);
    EXPECT_EQ(g.frame_left, 3100) << "moved by the x offset";
    EXPECT_EQ(g.frame_top, 2050);
    EXPECT_EQ(g.frame_width, 12000);
    EXPECT_EQ(g.zero_shared, 1);
    EXPECT_EQ(g.count_all_series, 0);
    ASSERT_EQ(g.mask_count, 1);
    EXPECT_EQ(g.masks[0].series, 1);
    EXPECT_EQ(g.masks[0].area, (std::array<double, 4>{0.5, 1.5, -1, 2}));

    const Axis& x = g.axes[AxisX];
    EXPECT_EQ(x.label_font.face, "Arial");
    EXPECT_EQ(x.label_font.height, -900);
    EXPECT_EQ(x.label_color, 0x0000FF);
    EXPECT_EQ(x.division, 5);
    EXPECT_EQ(x.draw, 1);
    EXPECT_EQ(x.limited_base_line, 1);
    EXPECT_EQ(x.crossing, 100);
    EXPECT_EQ(x.label_count, -1);
    EXPECT_EQ(x.label_start, 3);
    EXPECT_EQ(x.label_interval, 1);
    EXPECT_EQ(x.integer_digits, 3);
    EXPECT_EQ(x.fraction_digits, 2);
    EXPECT_EQ(x.plus_sign, 1);
    EXPECT_EQ(x.keep_zero, 1);
    EXPECT_EQ(x.major_in, 1);
    EXPECT_EQ(x.major_out, 1);
    EXPECT_EQ(x.label_shift_right, 30);
    EXPECT_EQ(x.major_line_type, 4) << "framed: both ticks from the fifth value";
    EXPECT_EQ(x.minor_line_type, x.major_line_type);
    EXPECT_EQ(x.major_line.width, 9);
    EXPECT_EQ(g.frame_line.width, 5);
    EXPECT_EQ(g.frame_line.color, 0xFF0000);
    EXPECT_EQ(x.minor_length, 150);
    EXPECT_EQ(x.major_length, 300);
    EXPECT_EQ(x.auto_step, 1);

    const Axis& y = g.axes[AxisY];
    EXPECT_EQ(y.scale_type, 3) << "log without log labels";
    EXPECT_DOUBLE_EQ(y.from, 0.1);
    EXPECT_DOUBLE_EQ(y.to, 100);
    EXPECT_EQ(y.auto_step, 0);
    EXPECT_EQ(y.common, 0);

    const Axis& u = g.axes[AxisU];
    EXPECT_EQ(u.scale_type, 4);
    EXPECT_DOUBLE_EQ(u.from, 0.5);
    EXPECT_DOUBLE_EQ(u.to, 0.25);
    EXPECT_EQ(u.common, 1);
    EXPECT_EQ(x.common, 1) << "U without display flags shares X's scale";
    EXPECT_EQ(u.draw_labels, 0);
    EXPECT_EQ(g.axes[AxisR].common, 0) << "its display flag is set";
    EXPECT_EQ(g.axes[AxisR].draw_labels, 1);
}

TEST(NgraphImport, TextsArrowsPointsAndPictures) {
    Imported im(sample_project().text());
    const Graph& g = im.graph();
    // Slots compacted: picture 1, arrow 10, point object 50, texts 100, 102, 105, 106.
    const GraphObject& pic = g.objects[0];
    EXPECT_EQ(pic.Type, object_type::Picture);
    EXPECT_EQ(pic.Str, im.dir / "pic.gra") << "next to the project";
    EXPECT_DOUBLE_EQ(pic.position[0], 19);
    EXPECT_EQ(pic.picture_box, (std::array<int32_t, 4>{2100, 2100, 10000, 0}));
    const GraphObject& arrow = g.objects[1];
    EXPECT_EQ(arrow.Type, object_type::FilledArrow);
    EXPECT_EQ(arrow.position, (std::array<double, 4>{10, 10, 30, 30}));
    EXPECT_EQ(arrow.Length, 250);
    EXPECT_EQ(arrow.LineStyle, 3);
    EXPECT_EQ(arrow.Color, 0x0000FF);
    EXPECT_EQ(arrow.Pitch, 100);
    const GraphObject& dot = g.objects[2];
    EXPECT_EQ(dot.Type, object_type::PointObject);
    EXPECT_EQ(dot.alignment, 2);
    EXPECT_EQ(dot.PlotType, 27);
    EXPECT_EQ(dot.points[0], (Point32{1000, 9000}));
    EXPECT_EQ(dot.Size1, 150);
    EXPECT_EQ(dot.Color, 0xFF00FF);
    EXPECT_EQ(dot.Color2, 0xFFFFFF);
    EXPECT_EQ(dot.DotStyle, 0);
    EXPECT_EQ(dot.Hatch, 4);

    const GraphObject& title = g.objects[3];
    EXPECT_EQ(title.Type, object_type::Text);
    EXPECT_EQ(title.Font1.face, "Arial");
    EXPECT_EQ(title.Color, 0xFF0000);
    const GraphObject& xt = g.objects[4];
    EXPECT_EQ(xt.Type, object_type::TitleX);
    EXPECT_EQ(xt.y, 400 + 8000) << "below the frame";
    const GraphObject& rt = g.objects[5];
    EXPECT_EQ(rt.Type, object_type::TitleR);
    EXPECT_EQ(rt.Str, "right");
    EXPECT_EQ(rt.Color, 0x0000FF);
    EXPECT_EQ(rt.Font1.face, "Arial");
    EXPECT_EQ(rt.Font1.escapement, 900);
    EXPECT_EQ(rt.x, 500 + 12000);
    const GraphObject& free = g.objects[6];
    EXPECT_EQ(free.Type, object_type::Text);
    EXPECT_EQ(free.Str, "big%050small") << "%S10 as a percentage of the 20-point font";
    EXPECT_EQ(free.Font1.height, -2000);
    EXPECT_EQ(free.Font1.face, "Courier New");
    EXPECT_EQ(free.Font1.escapement, 900);
    EXPECT_EQ(free.x, 5000 - 3000);
    EXPECT_EQ(free.Back, 1);
}

TEST(NgraphImport, DataBlocksEndAtEof) {
    Project p = sample_project(true);
    p.add("[data.dat]");
    p.add("1 2 3");
    p.add("4 5 6");
    p.add("[EOF]");
    Imported im(p.text());
    ASSERT_TRUE(im.status.ok());
    EXPECT_TRUE(im.status.with_data);
    EXPECT_EQ(read_file(im.ctx.temp_dir + "data.dat"), "1 2 3\r\n4 5 6\r\n");
    EXPECT_EQ(im.graph().series[0].file_name, im.ctx.temp_dir + "data.dat");
}

TEST(NgraphImport, PolynomialDegreeAndShortProject) {
    Project p = sample_project();
    p.l[3] = "1 2 0 0 45 0 20 0 30 40";
    p.l.resize(40);
    Imported im(p.text());
    ASSERT_TRUE(im.status.ok());
    const Graph& g = im.graph();
    EXPECT_EQ(g.series[0].kind, kind::Polynomial);
    EXPECT_EQ(g.series[0].degree, 4);
    EXPECT_EQ(g.axes[AxisX].from, 0) << "what the file lacks keeps its default";
}

} // namespace
} // namespace plox
