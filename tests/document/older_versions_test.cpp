// Documents of versions 1.0 to 1.7, the 1.5 layout written for the 16-bit edition, and older
// graphs inside bundles and templates.
#include "doc_test_util.h"
#include "document/document_io.h"
#include "document/graph_ops.h"
#include "document/prompter.h"
#include "document/qvp_format.h"
#include "document/qvp_legacy.h"
#include "older_fixture.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace plox {
namespace {

using test::read_file;
using test::TempDir;
using test::write_file;
using namespace test::older;

struct Loaded {
    TempDir dir;
    RecordingPrompter prompter;
    IoContext ctx;
    GraphSet set;
    IoStatus status;

    explicit Loaded(const std::string& text, const std::string& name = "doc.qvp") {
        ctx.prompter = &prompter;
        ctx.temp_dir = dir / "tmp/";
        ctx.ask_before_overwrite = false;
        std::filesystem::create_directories(ctx.temp_dir);
        write_file(dir / name, text);
        set.graphs.push_back(create_graph());
        set.current = 0;
        status = load_document(dir / name, set, ctx);
    }
    Graph& graph(int i = 0) { return *set.graphs[static_cast<size_t>(i)]; }
    // The graph written again as a 1.8 document.
    std::string converted(int i = 0) {
        LineWriter w;
        WriteOptions o;
        write_graph_document(w, graph(i), o, ctx);
        return w.buffer();
    }
};

TEST(OlderVersions, Version10FillsWhatItLacks) {
    Loaded l(version_1_0());
    ASSERT_TRUE(l.status.ok()) << l.status.message;
    const Graph& g = l.graph();
    EXPECT_TRUE(g.comment.empty());
    EXPECT_EQ(g.page_width, 210);
    ASSERT_EQ(g.series_count, 1);
    const Series& s = g.series[0];
    EXPECT_EQ(s.Errorbar1, 0);
    EXPECT_EQ(s.Errorbar2, 0);
    EXPECT_EQ(s.ColumnX, 0);
    EXPECT_EQ(s.ColumnY, 1);
    EXPECT_EQ(s.Start, 2);
    EXPECT_EQ(s.kind, kind::Spline);
    EXPECT_EQ(s.degree, 0) << "splines before 1.3 have variant 0";
    EXPECT_TRUE(s.analysis_name.empty());
    EXPECT_EQ(s.shown, 1);
    EXPECT_EQ(g.Magnification, 150);
    EXPECT_EQ(g.zero_shared, 0);
    EXPECT_EQ(g.count_all_series, 1);
    for (const Axis& a : g.axes) {
        EXPECT_EQ(a.overflow_digits, 1);
        EXPECT_EQ(a.to, 10);
        EXPECT_EQ(a.label_font.height, -1200);
    }
    EXPECT_EQ(g.axes[AxisY].reserved1, 1200) << "a3 of 1.0 has no reserved values";
    EXPECT_EQ(g.symbol_font.height, -2400);
    EXPECT_EQ(g.user_constants[8], 9);
    EXPECT_EQ(g.mask_count, 0);

    // Embedded data: the bare name means a [DATA] section follows; the series reads the copy.
    EXPECT_TRUE(l.status.with_data);
    EXPECT_EQ(read_file(l.ctx.temp_dir + "a.dat"), "1 2\r\n3 4\r\n");
    EXPECT_EQ(s.file_name, l.ctx.temp_dir + "a.dat");
}

TEST(OlderVersions, Version10ObjectsTakeTheirSlotsAndFillIns) {
    Loaded l(version_1_0());
    const Graph& g = l.graph();
    const GraphObject& t = g.objects[legacy::FIRST_TEXT_SLOT];
    ASSERT_TRUE(t.used);
    EXPECT_EQ(t.Type, object_type::TitleX);
    EXPECT_EQ(t.Back, 1) << "three values: transparent";
    EXPECT_EQ(t.alignment, 0);
    EXPECT_EQ(t.Str, "Sample %12E and %03N %d12");
    EXPECT_EQ(t.Font1.height, -2400);
    EXPECT_EQ(t.Font2.face, MINCHO);
    EXPECT_EQ(t.Font3, g.symbol_font);

    const GraphObject& a = g.objects[0];
    ASSERT_TRUE(a.used);
    EXPECT_EQ(a.Type, object_type::FilledArrow);
    EXPECT_EQ(a.Pitch, 300);
    EXPECT_EQ(a.LineStyle, 1);
    EXPECT_EQ(a.Color2, 0xFFFFFF);
    EXPECT_EQ(a.alignment, 1);
    EXPECT_EQ(a.Open, 30);
    EXPECT_EQ(a.Shut, 100);

    const GraphObject& d = g.objects[legacy::FIRST_POINT_SLOT];
    ASSERT_TRUE(d.used);
    EXPECT_EQ(d.Type, object_type::PointObject);
    EXPECT_EQ(d.alignment, 0) << "point objects before 1.5 have no count";
    EXPECT_EQ(d.points[0], (Point32{100, 200}));
    EXPECT_EQ(d.Hatch, 5);
    EXPECT_EQ(d.fill_color, 0xFFFFFF);

    // Written back as 1.8: count 0 and no point lines; the objects in slot order.
    const std::string out = l.converted();
    EXPECT_NE(
        out.find("\r\n9\r\n100 200 3 40 0 1 300 255 0 300 0 16777215 5\r\n0\r\n0 0 0.0 0.0\r\n"),
        std::string::npos)
        << out;
    EXPECT_LT(out.find("\r\n0\r\n10 20 30 40 "), out.find("\r\n9\r\n100 200"));
    EXPECT_LT(out.find("\r\n9\r\n100 200"), out.find("\r\n4\r\n5000 12000 255 1 0\r\n"));
}

TEST(OlderVersions, Version13ForcesAxisFieldsAndIgnoresThePageLine) {
    const std::string a2 = "0 5 1 1 200 300 -1 -1 0 1 0 0 1 5 5 1 0";
    const std::string doc =
        lines({" PloxWin ver. 1.3  QVP file", "old comment", "1 1 297 210 1 50 3", "0"}) +
        lines({"[GRAPH]", "4000 1500 14000 10000", "100 1 1 1", "40 0 300 16777215", ""}) +
        axes(a2, "1 0 1 1 1 1 0 0 0 77 88", -24) +
        lines({"[TITLE]", "0", "[ARROW]", "0", "[DOT]", "0"}) + others(-24);
    Loaded l(doc);
    ASSERT_TRUE(l.status.ok());
    const Graph& g = l.graph();
    EXPECT_EQ(g.comment, "old comment");
    EXPECT_EQ(g.page_width, 210);
    EXPECT_EQ(g.page_height, 297);
    EXPECT_EQ(g.page_scale, 100);
    EXPECT_EQ(g.paper_code, 2);
    EXPECT_EQ(g.landscape, 0);
    EXPECT_EQ(g.zero_shared, 1);
    EXPECT_EQ(g.reserved_flag, 1) << "kept from 1.3 on";
    const Axis& a = g.axes[AxisX];
    EXPECT_EQ(a.overflow_digits, 1);
    EXPECT_EQ(a.limited_base_line, 0);
    EXPECT_EQ(a.base_line_from, 0);
    EXPECT_EQ(a.base_line_to, 10000);
    EXPECT_EQ(a.integer_digits, 5);
    EXPECT_EQ(a.reserved1, 77);
    EXPECT_FALSE(l.status.with_data);
}

TEST(OlderVersions, Version16TitlesPicturesAndPageFields) {
    const std::string doc =
        lines({" PloxWin ver. 1.6  QVP file", "c", "0 0 297 210 1 80 1", "0"}) +
        lines({"[GRAPH]", "4000 1500 14000 10000", "100 1 0 0", "40 0 300 16777215", ""}) +
        axes("0 5 1 0 0 10000 -1 -1 0 1 0 0 1 5 5 1 1", "1 0 1 1 1 1 0 0 0 0 100", -2400) +
        lines({"[TITLE]", "5"}) + title("1 2 0 1", "X", -2400) + title("1 2 0 1", "Y", -2400) +
        title("1 2 0 1", "U", -2400) + title("1 2 0 1", "R", -2400) +
        title("1 2 0 1", "free", -2400) +
        lines({"[ARROW]", "1", "1 2 0 0 0 0 40 3000 0 10 300 1 16777215 C:\\my pics\\a b.gra", "",
               "[DOT]", "1", "1 2 3 40 0 1 300 255 0 300 1 255 4", "2", "5 6", ""}) +
        others(-2400) + lines({"[MASKS]", " 1", "2 0 1 0 1", "0", "0", ""});
    Loaded l(doc);
    ASSERT_TRUE(l.status.ok());
    const Graph& g = l.graph();
    EXPECT_EQ(g.page_width, 297);
    EXPECT_EQ(g.page_height, 210);
    EXPECT_EQ(g.landscape, 1);
    EXPECT_EQ(g.page_scale, 80);
    EXPECT_EQ(g.paper_code, 1);
    const int32_t types[5] = {4, 5, 6, 7, 8};
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(g.objects[static_cast<size_t>(legacy::FIRST_TEXT_SLOT + n)].Type, types[n]);
    EXPECT_EQ(g.objects[100].Font1.height, -2400) << "1.6 heights are hundredths";

    const GraphObject& p = g.objects[0];
    EXPECT_EQ(p.Type, object_type::Picture);
    EXPECT_EQ(p.Str, "C:\\my pics\\a b.gra");
    EXPECT_EQ(p.picture_box, (std::array<int32_t, 4>{0, 0, 3000, 0}));
    const GraphObject& d = g.objects[legacy::FIRST_POINT_SLOT];
    EXPECT_EQ(d.alignment, 2);
    EXPECT_EQ(d.points[1], (Point32{5, 6}));
    EXPECT_EQ(d.Hatch, 4);
    EXPECT_EQ(g.mask_count, 1);

    const std::string out = l.converted();
    EXPECT_NE(out.find("\r\nC:\\my pics\\a b.gra\r\n0 0 3000 0\r\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\r\n0 1 297 210 1 80 1\r\n"), std::string::npos) << "page fields kept";
}

TEST(OlderVersions, Version17LegendWithoutThirdFontOrPictureBox) {
    const std::string doc =
        lines({" PloxWin ver. 1.7  QVP file", "c", "0 1 210 297 0 100 2", "0"}) +
        lines({"[GRAPH]", "4000 1500 14000 10000", "100 1 0 0 0 1", "40 0 300 16777215", ""}) +
        axes("0 5 1 0 0 10000 -1 -1 0 1 0 0 1 5 5 1 1", "1 0 1 1 1 1 0 0 0 0 100", -2400) +
        lines({"[LEGEND]", "2", "8", "10 20 0 1 2", "text", "-2400 0 0 0 400 0 0 0 0 3 2 1 18",
               "Arial", "-2400 0 0 0 400 0 0 0 128 3 2 1 17", MINCHO, "", "10", "pic.bmp",
               "1 2 0 0 0 0 40 2500 0 10 300 1 16777215 0 0 1 30 100", ""}) +
        lines({"[OTHERS]", " 2", "0 0 0 0 0 0 0 0 0", "-3000 0 0 0 400 1 0 0 2 3 2 1 18", "Symbol",
               "", "[MASKS]", " 0", "0", "0", ""});
    Loaded l(doc);
    ASSERT_TRUE(l.status.ok());
    const Graph& g = l.graph();
    EXPECT_EQ(g.count_all_series, 0);
    EXPECT_EQ(g.log_decades_as_numbers, 1);
    EXPECT_EQ(g.objects[0].Str, "text");
    EXPECT_EQ(g.objects[0].alignment, 2);
    EXPECT_EQ(g.objects[0].Font3.height, -3000) << "the symbol font";
    EXPECT_EQ(g.objects[1].picture_box, (std::array<int32_t, 4>{0, 0, 2500, 0}));
}

TEST(OlderVersions, PercentCodesOnlyInVersions10And11) {
    EXPECT_EQ(legacy::rewrite_percent_codes("%N01"), "%01N");
    EXPECT_EQ(legacy::rewrite_percent_codes("a%D12b%N3x%D"), "a%12Eb%N3x%D");
    const std::string body =
        lines({"0", "[GRAPH]", "4000 1500 14000 10000", "100 1", "40 0 300 16777215", ""}) +
        axes("0 5 1", "1 0 1 1 1 1 0 0 0", -24) + lines({"[TITLE]", "1"}) +
        title("1 2 0 1", "%N01", -24) + lines({"[ARROW]", "0", "[DOT]", "0"}) + others(-24);
    EXPECT_EQ(Loaded(lines({" PloxWin ver. 1.1  QVP file"}) + body).graph().objects[100].Str,
              "%01N");
    EXPECT_EQ(Loaded(lines({" PloxWin ver. 1.2  QVP file"}) + body).graph().objects[100].Str,
              "%N01");
}

// A graph with every kind of object, for the 1.5 layout.
Graph graph_for_16bit(const std::string& data_dir) {
    Graph g = test::make_rich_graph(data_dir);
    for (GraphObject& o : g.objects)
        o = GraphObject{};
    const auto text = [&g](int slot, int32_t type, const char* s) {
        GraphObject& o = g.objects[static_cast<size_t>(slot)];
        o.used = 1;
        o.Type = type;
        o.Str = s;
        o.x = 100 * slot;
        o.Font1 = default_axis_label_font();
        o.Font1.height = -1250;
        o.Font2 = o.Font1;
        o.Font3 = default_symbol_font();
    };
    text(3, object_type::TitleU, "U title");
    text(4, object_type::Text, "free");
    text(5, object_type::TitleR, "R title");
    GraphObject& arrow = g.objects[0];
    arrow.used = 1;
    arrow.Type = object_type::Line;
    arrow.position = {1, 2, 3.5, 4};
    GraphObject& pic = g.objects[1];
    pic.used = 1;
    pic.Type = object_type::Picture;
    pic.Str = data_dir + "p.gra";
    pic.Length = 4000;
    pic.picture_box = {10, 20, 4000, 30};
    GraphObject& dot = g.objects[2];
    dot.used = 1;
    dot.Type = object_type::PointObject;
    dot.alignment = 3;
    dot.points = {Point32{1, 2}, Point32{3, 4}, Point32{5, 6}};
    g.mask_count = 2;
    g.masks[0] = Mask{1, {0, 1, 2, 3}};
    g.masks[1] = Mask{0, {-1, 1, -2, 2}};
    return g;
}

TEST(Layout15, WritesTheLayoutOfThe16BitEdition) {
    TempDir dir;
    IoContext ctx;
    const Graph g = graph_for_16bit("/data/");
    LineWriter w;
    WriteOptions o;
    o.document_path = "/data/doc.qvp";
    write_graph_document_1_5(w, g, o, ctx);
    const std::string& out = w.buffer();
    EXPECT_EQ(
        out.rfind(
            " PloxWin ver. 1.5  QVP file\r\nrich graph\r\n\r\n5\r\n[a.dat]\r\n/data/a.dat\r\n", 0),
        0u)
        << "full paths without embedded data";
    EXPECT_NE(out.find("[GRAPH]\r\n4000 1500 14000 10000\r\n100 1 0 0\r\n"), std::string::npos);
    EXPECT_NE(out.find("[AXIS-1]\r\n"), std::string::npos);
    EXPECT_NE(out.find("\r\n-24 0 0 0 400 0 0 0 0 0 0 2 18\r\nTimes New Roman\r\n"),
              std::string::npos);
    const std::string missing_title = "4900 11600 0 1\r\n\r\n-24 0 0 0 700 255 0 0 0 3 2 1 18\r\n"
                                      "Times New Roman\r\n-24 0 0 0 700 1 0 0 128 3 2 1 17\r\n" +
                                      MINCHO + "\r\n\r\n";
    const std::string u_title = "300 0 0 1\r\nU title\r\n-12 0 0 0";
    const size_t titles = out.find("[TITLE]\r\n5\r\n" + missing_title + missing_title + u_title);
    ASSERT_NE(titles, std::string::npos) << out;
    EXPECT_NE(out.find("R title", titles), std::string::npos);
    EXPECT_LT(out.find("R title"), out.find("free"));
    EXPECT_NE(out.find("[ARROW]\r\n2\r\n1 2 3.5 4 0 0 40 500 0 2 300 1 16777215 \r\n\r\n"
                       "0 0 0 0 0 0 40 4000 0 10 300 1 16777215 /data/p.gra\r\n\r\n[DOT]\r\n1\r\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\r\n3\r\n3 4\r\n5 6\r\n\r\n[OTHERS]\r\n 2\r\n"), std::string::npos);
    EXPECT_NE(out.find("[MASKS]\r\n 2\r\n1 0 1 2 3\r\n0 -1 1 -2 2\r\n0\r\n0\r\n\r\n"),
              std::string::npos);
    EXPECT_EQ(out.find("doc.qvp"), std::string::npos) << "no document path";
}

TEST(Layout15, ReadsBackWithFreeTitlesWholePointsAndMasks) {
    TempDir dir;
    write_file(dir / "a.dat", "1 2\n");
    write_file(dir / "b.dat", "1 2\n");
    write_file(dir / "p.gra", "");
    Graph g = graph_for_16bit(dir.dir());
    g.axes[AxisX].label_font.height = -1250;
    IoContext ctx;
    ctx.temp_dir = dir / "tmp/";
    ASSERT_TRUE(save_document(dir / "out.qvp", g, true, ctx, true).ok());
    const std::string text = read_file(dir / "out.qvp");
    EXPECT_EQ(text.find(dir.dir()), std::string::npos) << "embedded: bare names only";

    Loaded l(text, "again.qvp");
    ASSERT_TRUE(l.status.ok()) << l.status.message;
    EXPECT_TRUE(l.status.with_data);
    const Graph& r = l.graph();
    EXPECT_EQ(r.series_count, g.series_count);
    EXPECT_EQ(r.mask_count, 2);
    EXPECT_EQ(r.masks[1].area, g.masks[1].area);
    EXPECT_EQ(r.axes[AxisX].label_font.height, -1200) << "rounded to whole points";
    EXPECT_EQ(r.objects[100].Type, object_type::TitleX);
    EXPECT_TRUE(r.objects[100].Str.empty());
    EXPECT_EQ(r.objects[102].Type, object_type::Text);
    EXPECT_EQ(r.objects[102].Str, "U title");
    EXPECT_EQ(r.objects[103].Type, object_type::Text);
    EXPECT_EQ(r.objects[104].Str, "free");
    EXPECT_EQ(r.objects[1].Type, object_type::Picture);
    EXPECT_EQ(r.objects[1].picture_box, (std::array<int32_t, 4>{0, 0, 4000, 0}));
    EXPECT_EQ(r.objects[legacy::FIRST_POINT_SLOT].alignment, 3);
    EXPECT_EQ(r.series[3].fit->function, "a*exp(-b*x)+c");
    EXPECT_EQ(r.count_all_series, 1);
}

TEST(OlderBundles, OlderGraphsReadAndReplaceTheFirstOpenGraphs) {
    TempDir dir;
    const std::string v10 = version_1_0();
    const std::string body10 = v10.substr(0, v10.find("[DATA]"));
    std::string bundle = lines({" PloxWin ver. 1.1  QVA file", " 3 0 0 0 0 100"});
    bundle += lines({"[one.QVP]"}) + body10;
    bundle += lines({"[two.QVP]"}) + body10;
    LineWriter w;
    IoContext ctx;
    write_graph_document_1_5(w, graph_for_16bit("/d/"), WriteOptions{}, ctx);
    bundle += lines({"[three.QVP]"}) + w.buffer();
    bundle += v10.substr(v10.find("[DATA]"));
    write_file(dir / "b.qva", bundle);

    RecordingPrompter prompter(Answer::Yes);
    ctx.prompter = &prompter;
    ctx.temp_dir = dir / "tmp/";
    std::filesystem::create_directories(ctx.temp_dir);
    ctx.ask_before_overwrite = false;
    GraphSet set;
    for (int i = 0; i < 5; ++i) {
        set.graphs.push_back(create_graph("g" + std::to_string(i)));
        add_series(*set.graphs.back(), "x.dat", nullptr);
    }
    set.current = 4;
    const IoStatus st = load_document(dir / "b.qva", set, ctx);
    ASSERT_TRUE(st.ok()) << st.message;
    ASSERT_EQ(set.graphs.size(), 5u);
    EXPECT_EQ(set.graphs[0]->file_name, dir / "one.QVP");
    EXPECT_EQ(set.graphs[2]->file_name, dir / "three.QVP");
    EXPECT_EQ(set.graphs[2]->series_count, 5);
    EXPECT_EQ(set.graphs[3]->file_name, "g3");
    EXPECT_EQ(set.graphs[4]->file_name, "g4");
    EXPECT_EQ(set.graphs[1]->series[0].file_name, ctx.temp_dir + "a.dat");
}

TEST(OlderTemplates, EveryVersionReadsAsATemplate) {
    TempDir dir;
    IoContext ctx;
    write_file(dir / "t10.qvp", version_1_0());
    Graph g;
    ASSERT_TRUE(read_template(dir / "t10.qvp", g, ctx));
    EXPECT_EQ(g.Magnification, 150);
    EXPECT_EQ(g.scales_valid, 0);
    EXPECT_EQ(g.unmodified, 1);
    EXPECT_EQ(g.objects[100].Str, "Sample %12E and %03N %d12");

    LineWriter w;
    WriteOptions o;
    o.template_document = true;
    write_graph_document_1_5(w, graph_for_16bit("/d/"), o, ctx);
    write_file(dir / "t15.qvp", w.buffer());
    ASSERT_TRUE(read_template(dir / "t15.qvp", g, ctx));
    EXPECT_EQ(g.series_count, 0);
    EXPECT_EQ(g.objects[104].Str, "free");
    write_file(dir / "t19.qvp", lines({" PloxWin ver. 1.9  QVP file", "c"}));
    EXPECT_FALSE(read_template(dir / "t19.qvp", g, ctx));
}

} // namespace
} // namespace plox
