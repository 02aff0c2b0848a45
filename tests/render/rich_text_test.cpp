// Rich text: field expansion, series renumbering and run layout on the recording surface.
#include "render/rich_text.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "render/recording_surface.h"

namespace plox {
namespace {

// Fixed clock and files, so dates and data lines are deterministic.
class FakeSources : public FieldSources {
public:
    Stamp now() const override { return {2024, 3, 9, 0, 5}; }
    std::optional<Stamp> file_time(const std::string& path) const override {
        if (path.find("missing") != std::string::npos) return std::nullopt;
        return Stamp{2023, 12, 25, 13, 7};
    }
    std::optional<std::string> file_line(const std::string& path, int number,
                                         size_t max) const override {
        auto it = files.find(path);
        if (it == files.end() || number < 1 || number > static_cast<int>(it->second.size()))
            return std::nullopt;
        return it->second[number - 1].substr(0, max);
    }
    std::map<std::string, std::vector<std::string>> files;
};

Graph graph_with_series(int n) {
    Graph g;
    g.series_count = n;
    for (int i = 0; i < n; ++i)
        g.series[i].file_name = "/data/s" + std::to_string(i + 1) + "_x.dat";
    return g;
}

std::string expand_one(const Graph& g, std::string_view markup, const FieldSources& s) {
    auto lines = expand_fields(g, markup, s);
    EXPECT_EQ(lines.size(), 1u);
    return lines.empty() ? "" : lines[0].text;
}

TEST(RichTextFields, DocumentNameDatesAndTimes) {
    FakeSources src;
    Graph g;
    g.file_name = "C:\\work\\my_data.qvp";
    EXPECT_EQ(expand_one(g, "%N", src), "MY\\_DATA.QVP");
    EXPECT_EQ(expand_one(g, "%n", src), "my\\_data.qvp");
    EXPECT_EQ(expand_one(g, "%D|%d|%T|%t", src), "Dec 25 2023|12-25-2023| 1:07 pm|13:07");
    EXPECT_EQ(expand_one(g, "%M|%m|%V|%v", src), "Mar 9 2024|3-9-2024|12:05 am| 0:05");
    g.file_name.clear();
    EXPECT_EQ(expand_one(g, "%N", src), "(UNTITLED)");
    EXPECT_EQ(expand_one(g, "[%D]", src), "[]"); // no file: empty date
    // Double-byte names are copied whole: a trail byte never turns into a letter.
    g.file_name = "/x/\x83\x61_b.qvp";
    EXPECT_EQ(expand_one(g, "%N", src), "\x83\x61\\_B.QVP");
}

TEST(RichTextFields, CharacterCodesAdvanceAndUnknownCodes) {
    FakeSources src;
    Graph g;
    g.Magnification = 50;
    EXPECT_EQ(expand_one(g, "a%Q065b", src), "a\\Ab");
    EXPECT_EQ(expand_one(g, "a%Q000b%Q999c", src), "abc");
    EXPECT_EQ(expand_one(g, "%Q6x", src), "%Q6x");
    EXPECT_EQ(expand_one(g, "%Ga%A %1x %", src), "%Ga%A %1x %");
    EXPECT_EQ(expand_one(g, "\\%N", src), "\\%N"); // escaped: drawn as typed
    auto lines = expand_fields(g, "x%W200y\\nz", src);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "xy");
    EXPECT_EQ(lines[0].advance, 1000);
    EXPECT_EQ(lines[1].text, "z");
    EXPECT_FALSE(lines[1].advance);
}

TEST(RichTextFields, SeriesFieldsFollowTheShownOption) {
    FakeSources src;
    Graph g = graph_with_series(3);
    src.files["/data/s2_x.dat"] = {"# head", "1.5, 2.5\t3.5", "end"};
    EXPECT_EQ(expand_one(g, "%00N %01n %02N", src), "S1\\_X.DAT s1\\_x.dat S2\\_X.DAT");
    EXPECT_EQ(expand_one(g, "%02C0200|%02C0203|%02C0101", src), "1.5, 2.5\t3.5|3.5|#");
    EXPECT_EQ(expand_one(g, "%02C0900", src), "%02C0900"); // no such line: drawn as typed
    EXPECT_EQ(expand_one(g, "%01C0100", src), "%01C0100"); // unreadable file
    EXPECT_EQ(expand_one(g, "%07N", src), "%07N");
    EXPECT_EQ(expand_one(g, "%02E%02F%02Z", src), "%02E%02F%02Z");
    EXPECT_EQ(expand_one(g, "%03d %03t", src), "12-25-2023 13:07");
    g.series[0].shown = 0;
    g.count_all_series = 0;
    EXPECT_EQ(expand_one(g, "%01N", src), "S2\\_X.DAT");
    EXPECT_EQ(expand_one(g, "%03N", src), "%03N");
}

TEST(RichTextFields, BuffersNeverOverflow) {
    FakeSources src;
    Graph g = graph_with_series(1);
    src.files["/data/s1_x.dat"] = {std::string(5000, 'z')};
    std::string markup;
    while (markup.size() + 8 <= 511)
        markup += "%01C0100";
    auto lines = expand_fields(g, markup, src);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, std::string(RICH_LINE_CAPACITY - 1, 'z'));
    // Unterminated and truncated codes at the end of the text.
    for (std::string tail : {"%", "%0", "%01", "%01C", "%01C01", "%Q", "%Q0", "%W1", "\\"}) {
        auto l = expand_fields(g, "ab" + tail, src);
        ASSERT_EQ(l.size(), 1u) << tail;
        EXPECT_EQ(l[0].text.substr(0, 2), "ab");
    }
}

TEST(RichTextRenumber, ReferencesFollowTheSeriesList) {
    // Series 1 deleted, 2 → 1, 3 → 2.
    const std::vector<int> map{-1, 0, 1};
    EXPECT_EQ(renumber_series_references("%01E first\\n%02E second\\n%03N", map),
              " first\\n%01E second\\n%02N");
    EXPECT_EQ(renumber_series_references("%00N %09N %1x \\%02N", map), "%00N  %1x \\%02N");
    EXPECT_EQ(renumber_series_references("%01", map), "");

    Graph g = graph_with_series(3);
    g.objects[0].used = 1;
    g.objects[0].Type = object_type::Text;
    g.objects[0].Str = "%01E";
    g.objects[1].used = 1;
    g.objects[1].Type = object_type::FilledArrow;
    g.objects[1].Str = "%01E"; // not a text: untouched
    g.objects[2].used = 1;
    g.objects[2].Type = object_type::Text;
    g.objects[2].Str = "%03E%03N";
    renumber_series_references(g, map);
    EXPECT_EQ(g.objects[0].Str, "");
    EXPECT_EQ(g.objects[1].Str, "%01E");
    EXPECT_EQ(g.objects[2].Str, "%02E%02N");
    compact_objects(g);
    EXPECT_EQ(g.objects[0].Type, object_type::FilledArrow);
    EXPECT_EQ(g.objects[1].Str, "%02E%02N");
    EXPECT_FALSE(g.objects[2].used);
}

template <class T> std::vector<T> all_of(const RecordingSurface& s) {
    std::vector<T> out;
    for (const Command& c : s.commands())
        if (auto* p = std::get_if<T>(&c)) out.push_back(*p);
    return out;
}

// A text object at (1000, 2000) from the frame corner (4000, 1500): baseline start (5000, 3500);
// 24 pt fonts are 847 units high and the fixed measurer gives 423 per byte.
struct Layout {
    Graph graph = graph_with_series(2);
    GraphObject object;
    FixedTextMeasurer measurer;
    RenderContext context;
    RecordingSurface surface;
    FakeSources sources;
    Rect box;

    Layout() {
        context.measurer = &measurer;
        object.used = 1;
        object.Type = object_type::Text;
        object.x = 1000;
        object.y = 2000;
        default_text_fonts(graph, object);
    }
    Layout& run(std::string markup, bool draw = true, bool white = false) {
        object.Str = std::move(markup);
        surface.clear();
        box = draw_text_object(surface, graph, context, object, white, draw, sources);
        return *this;
    }
    std::vector<rec::TextOut> texts() const { return all_of<rec::TextOut>(surface); }
    std::vector<rec::SelectFont> fonts() const { return all_of<rec::SelectFont>(surface); }
};

TEST(RichTextLayout, ScriptsRaiseLowerAndShrink) {
    Layout l;
    l.run("x^2@ + y_i@");
    auto t = l.texts();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].bytes, "x");
    EXPECT_EQ(t[0].p, (Point{5000, 3500}));
    EXPECT_EQ(t[1].bytes, "2");
    EXPECT_EQ(t[1].p, (Point{5423, 3500 - 423})); // raised by half the base height
    EXPECT_EQ(t[2].bytes, " + y");
    EXPECT_EQ(t[2].p, (Point{5423 + 296, 3500}));
    EXPECT_EQ(t[3].bytes, "i");
    EXPECT_EQ(t[3].p.y, 3500 + 169); // lowered by a fifth
    auto f = l.fonts();
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0].font.height, -847);
    EXPECT_EQ(f[1].font.height, -592); // 70 %
    EXPECT_EQ(f[2].font.height, -847);
    EXPECT_EQ(f[3].font.height, -592);
    EXPECT_EQ(l.box, (Rect{5000, 3500 - 423 - 592, 5423 + 296 + 4 * 423 + 296, 3669}));
}

TEST(RichTextLayout, GreekColourSizeAndFaceSwitches) {
    Layout l;
    l.run("%Ga%A = 0.5");
    auto t = l.texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].bytes, "a");
    EXPECT_EQ(l.fonts()[0].font.face, "Symbol");
    EXPECT_EQ(t[1].bytes, " = 0.5");
    EXPECT_EQ(l.fonts()[1].font.face, "Times New Roman");

    l.run("a %Kff0000word");
    auto colours = all_of<rec::TextColor>(l.surface);
    ASSERT_EQ(colours.size(), 2u);
    EXPECT_EQ(colours[1].color, 0x0000FF);
    EXPECT_EQ(l.texts()[1].bytes, "word");

    l.run("%S150word");
    EXPECT_EQ(l.fonts()[0].font.height, -1270);

    l.run("a%JArial%Jb%Bc");
    auto f = l.fonts();
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[1].font.face, "Arial");
    EXPECT_EQ(f[2].font.weight, 700);
    EXPECT_EQ(f[2].font.face, "Arial");

    // Japanese picks font 2 by itself; half-width katakana too, 0xA1 stays Latin.
    l.run("a\x82\xa0\xb1\xa1");
    t = l.texts();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[1].bytes, "\x82\xa0\xb1");
    EXPECT_EQ(l.fonts()[1].font.charset, 128);
    EXPECT_EQ(t[2].bytes, "\xa1");
}

TEST(RichTextLayout, EscapesFieldsAndMalformedCodesDrawAsTyped) {
    Layout l;
    l.graph.file_name = "/tmp/my_data.qvp";
    l.run("%N");
    ASSERT_EQ(l.texts().size(), 1u);
    EXPECT_EQ(l.texts()[0].bytes, "MY_DATA.QVP");
    for (auto [markup, shown] :
         std::vector<std::pair<std::string, std::string>>{{"%1x", "%1x"},
                                                          {"%Kxyz", "%Kxyz"},
                                                          {"%S1", "%S1"},
                                                          {"%JArial", "%JArial"},
                                                          {"%X10", "%X10"},
                                                          {"100\\%", "100%"},
                                                          {"a\\^b", "a^b"},
                                                          {"%", "%"}}) {
        l.run(markup);
        std::string all;
        for (auto& t : l.texts())
            all += t.bytes;
        EXPECT_EQ(all, shown) << markup;
    }
}

TEST(RichTextLayout, CentredLinesAreCentredEachOnTheAnchor) {
    Layout l;
    l.object.alignment = 1;
    l.run("ab\\ncdef");
    auto t = l.texts();
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].p, (Point{5000 - 423, 3500}));
    EXPECT_EQ(t[1].p, (Point{5000 - 846, 3500 + 847}));
    l.object.alignment = 2;
    l.run("ab");
    EXPECT_EQ(l.texts()[0].p.x, 5000 - 846);
}

TEST(RichTextLayout, RotatedTextRunsUpwardWithRotatedScripts) {
    Layout l;
    l.object.Font1.escapement = 900;
    l.run("x^2@\\nb");
    auto t = l.texts();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].p, (Point{5000, 3500}));
    EXPECT_EQ(t[1].p, (Point{5000 - 423, 3500 - 423})); // up the page, raised to the left
    EXPECT_EQ(t[2].p, (Point{5000 + 847, 3500}));       // the next line is to the right
    for (auto& f : l.fonts())
        EXPECT_EQ(f.font.escapement, 900);
    EXPECT_EQ(l.box.top, 3500 - 423 - 296);
}

TEST(RichTextLayout, ShiftsLegendSamplesAndMeasuring) {
    Layout l;
    l.run("a%X+50b%Y-10c");
    auto t = l.texts();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[1].p.x, 5000 + 423 + 423);
    EXPECT_EQ(t[2].p.y, 3500 + 84);

    l.graph.series[0].PlotType = 2;
    l.graph.series[0].LineType = 1;
    l.run("%01E data\\n%H050%02F fit\\n%09E gone");
    EXPECT_FALSE(all_of<rec::Ellipse>(l.surface).empty()); // the marker of series 1
    t = l.texts();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].p.x, 5000 + 2 * 847);
    EXPECT_EQ(t[1].p.x, 5000 + 846);
    EXPECT_EQ(t[2].bytes, " gone"); // no series 9: no sample, no room

    Rect drawn = l.box;
    l.run(l.object.Str, false);
    EXPECT_TRUE(l.surface.empty());
    EXPECT_EQ(l.box, drawn);
    EXPECT_EQ(l.object.extent_left, drawn.left);
    EXPECT_EQ(l.object.extent_bottom, drawn.bottom);
}

TEST(RichTextLayout, WhiteAndOpaque) {
    Layout l;
    l.object.Back = bk_mode::Opaque;
    l.run("%Kff0000a", true, true);
    for (auto& c : all_of<rec::TextColor>(l.surface))
        EXPECT_EQ(c.color, 0xFFFFFF);
    EXPECT_EQ(all_of<rec::BkMode>(l.surface).back().mode, bk_mode::Transparent);
    l.run("a");
    EXPECT_EQ(all_of<rec::BkMode>(l.surface).back().mode, bk_mode::Opaque);
}

TEST(RichTextLayout, HostileTextsStayBounded) {
    Layout l;
    std::string full;
    while (full.size() + 8 <= 511)
        full += "%01C0100";
    l.sources.files["/data/s1_x.dat"] = {std::string(3000, 'w')};
    l.run(full);
    size_t drawn = 0;
    for (auto& t : l.texts())
        drawn += t.bytes.size();
    EXPECT_EQ(drawn, RICH_LINE_CAPACITY - 1);
    std::string junk;
    for (int i = 0; i < 511; ++i)
        junk += "%^_@\\JKSXYHG0E"[i * 7 % 14];
    l.run(junk);
    l.run("%J never closed %K12 %S %X+ %Y- %H %0 %01");
    EXPECT_FALSE(l.texts().empty());

    // Random markup of every length up to the capacity, Shift-JIS lead bytes included.
    std::mt19937 rng(3);
    const std::string alphabet = "%^_@\\nABGIJKORSUXYHNQDMTVWCEF0123456789+-abc \x82\x83\xa0\xb1";
    for (int round = 0; round < 300; ++round) {
        std::string markup(rng() % 512, ' ');
        for (char& c : markup)
            c = alphabet[rng() % alphabet.size()];
        l.object.alignment = static_cast<int32_t>(rng() % 3);
        l.object.Font1.escapement = static_cast<int32_t>(rng() % 3600);
        l.run(markup);
        for (auto& t : l.texts())
            EXPECT_LT(t.bytes.size(), RICH_LINE_CAPACITY);
        EXPECT_LE(l.box.left, l.box.right);
        EXPECT_LE(l.box.top, l.box.bottom);
    }
}

} // namespace
} // namespace plox
