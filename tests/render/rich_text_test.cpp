// Rich text: field expansion, series renumbering and run layout on the recording surface.
#include "render/rich_text_fields.h"

#include <gtest/gtest.h>

#include <map>

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
    std::optional<std::string> file_line(const std::string& path, int number, size_t max) const override {
        auto it = files.find(path);
        if (it == files.end() || number < 1 || number > static_cast<int>(it->second.size())) return std::nullopt;
        return it->second[number - 1].substr(0, max);
    }
    std::map<std::string, std::vector<std::string>> files;
};

Graph graph_with_series(int n) {
    Graph g;
    g.series_count = n;
    for (int i = 0; i < n; ++i) g.series[i].file_name = "/data/s" + std::to_string(i + 1) + "_x.dat";
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
    EXPECT_EQ(expand_one(g, "[%D]", src), "[]");  // no file: empty date
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
    EXPECT_EQ(expand_one(g, "\\%N", src), "\\%N");  // escaped: drawn as typed
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
    EXPECT_EQ(expand_one(g, "%02C0900", src), "%02C0900");  // no such line: drawn as typed
    EXPECT_EQ(expand_one(g, "%01C0100", src), "%01C0100");  // unreadable file
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
    while (markup.size() + 8 <= 511) markup += "%01C0100";
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
    EXPECT_EQ(renumber_series_references("%01E first\\n%02E second\\n%03N", map), " first\\n%01E second\\n%02N");
    EXPECT_EQ(renumber_series_references("%00N %09N %1x \\%02N", map), "%00N  %1x \\%02N");
    EXPECT_EQ(renumber_series_references("%01", map), "");

    Graph g = graph_with_series(3);
    g.objects[0].used = 1;
    g.objects[0].Type = object_type::Text;
    g.objects[0].Str = "%01E";
    g.objects[1].used = 1;
    g.objects[1].Type = object_type::FilledArrow;
    g.objects[1].Str = "%01E";  // not a text: untouched
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

} // namespace
} // namespace plox
