// The data file reader: field rules, line rules, the counters of load_columns, error kinds.
#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <random>

#include "data/converter.h"
#include "data/reader.h"
#include "document/model.h"
#include "document/prompter.h"
#include "test_support.h"

namespace plox {
namespace {

using test::TempDir;

std::optional<double> field(std::string_view line, int f, bool tab_is_space = true) {
    return field_value(line, f, tab_is_space);
}

TEST(FieldValue, DExponentOnlyInUpperCase) {
    EXPECT_EQ(field("1.0D+03,2", 0), 1000);
    EXPECT_EQ(field("1.0d+03,2", 0), 1);
    EXPECT_EQ(field("1.0D+03,2", 1), 2);
    EXPECT_EQ(field("2.5E-1", 0), 0.25);
}

TEST(FieldValue, Separators) {
    for (const char* line : {"1 , 2", "1,2", "1  2", "  1 2", "1 ,2"})
        EXPECT_EQ(field(line, 1), 2) << line;
    EXPECT_EQ(field("1,,2", 1), std::nullopt);
    EXPECT_EQ(field("1,,2", 2), 2);
    EXPECT_EQ(field(",5", 0), std::nullopt);
    EXPECT_EQ(field(",5", 1), 5);
    EXPECT_EQ(field("1 2", 2), std::nullopt);
    EXPECT_EQ(field("1,", 1), std::nullopt);
    // A tab is a space or a comma by TabEqSpc.
    EXPECT_EQ(field("1\t\t2", 1, true), 2);
    EXPECT_EQ(field("1\t\t2", 1, false), std::nullopt);
    EXPECT_EQ(field("1\t\t2", 2, false), 2);
}

TEST(FieldValue, FirstCharacterDecides) {
    EXPECT_EQ(field("=,5", 0), ERROR_VALUE);
    EXPECT_EQ(field("12abc", 0), 12);
    EXPECT_EQ(field("1.2.3", 0), 1.2);
    EXPECT_EQ(field("-.5e1x", 0), -5);
    EXPECT_EQ(field("+7", 0), 7);
    EXPECT_EQ(field("1e", 0), 1);
    EXPECT_EQ(field("1e+", 0), 1);
    EXPECT_EQ(field("-", 0), 0); // a sign alone converts nothing: 0, as strtod gives
    EXPECT_EQ(field("abc", 0), std::nullopt);
    EXPECT_EQ(field("|3", 0), std::nullopt);
    EXPECT_EQ(field("", 0), std::nullopt);
    EXPECT_EQ(field("1e999", 0), ERROR_VALUE);                        // no infinities in the arrays
    EXPECT_EQ(field(std::string_view("1 \0 2", 5), 1), std::nullopt); // NUL ends the line
    EXPECT_EQ(field("1\r2", 1), std::nullopt);
    // Only spaces and commas separate: a CR inside a line belongs to the field it stands in.
    EXPECT_EQ(field("5 6\r7 8", 1), 6);
    EXPECT_EQ(field("5 6\r7 8", 2), 8);
    EXPECT_EQ(field("5 6\r7 8", 3), std::nullopt);
    EXPECT_EQ(field("5 \r7", 1), std::nullopt); // a field starting with CR is missing
    EXPECT_EQ(field("0.1", 0), 0.1);            // correctly rounded
    EXPECT_EQ(field("123456789012345678901234567890", 0), 1.2345678901234568e29);
}

std::vector<std::string> lines_of(const std::string& path, size_t size) {
    LineReader reader;
    EXPECT_TRUE(reader.open(path));
    std::vector<std::string> lines;
    while (auto line = fetch_line(reader, size))
        lines.emplace_back(*line);
    return lines;
}

TEST(FetchLine, LineEndsAndCtrlZ) {
    TempDir dir;
    using V = std::vector<std::string>;
    EXPECT_EQ(lines_of(dir.write("a", "1 2\r\n3 4\n\n5"), 2000), (V{"1 2", "3 4", "", "5"}));
    EXPECT_EQ(lines_of(dir.write("b", "1 2\r\n\x1A"), 2000), (V{"1 2"}));
    EXPECT_EQ(lines_of(dir.write("c", "1 2\n\x1A\n3 4\n"), 2000), (V{"1 2", "\x1A", "3 4"}));
    EXPECT_EQ(lines_of(dir.write("d", "1 2\x1A"), 2000), (V{"1 2"}));
    // Only LF ends a line: a file of CR line ends is one line.
    EXPECT_EQ(lines_of(dir.write("cr", "1 2\r3 4\r5 6\r"), 2000), (V{"1 2\r3 4\r5 6\r"}));
    // A lone Ctrl-Z ends the file even with more after it.
    EXPECT_EQ(lines_of(dir.write("e", "1\n\x1A"), 2000), (V{"1"}));
    EXPECT_EQ(lines_of(dir.write("f", ""), 2000), V{});
}

TEST(FetchLine, LongLinesContinueAsTheNextLine) {
    TempDir dir;
    const std::string long_line = std::string(1999, '7') + "123\n9\n";
    const auto lines = lines_of(dir.write("a", long_line), 2000);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 1999u);
    EXPECT_EQ(lines[1], "123");
    EXPECT_EQ(lines[2], "9");
    // Exactly 1999 bytes and a LF: the LF comes back as an empty line.
    EXPECT_EQ(lines_of(dir.write("b", std::string(1999, '1') + "\n2\n"), 2000).size(), 3u);
    // A size beyond the reader's block still ends lines at the block.
    EXPECT_EQ(lines_of(dir.write("c", std::string(600000, '1')), 1 << 20).size(), 3u);
}

TEST(FetchLine, LinesAcrossBlockBoundaries) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += std::to_string(i) + " " + std::to_string(i * 3) + "\r\n";
    const auto lines = lines_of(dir.write("a", text), 2000);
    ASSERT_EQ(lines.size(), 100000u);
    EXPECT_EQ(lines[12345], "12345 37035");
    EXPECT_EQ(lines[99999], "99999 299997");
}

TEST(FetchLine, LineEstimateReadsAheadWithoutLosingLines) {
    TempDir dir;
    LineReader reader;
    ASSERT_TRUE(reader.open(dir.write("short", "1 2\n3 4\n5 6")));
    EXPECT_EQ(reader.estimated_lines(), 3u); // the whole file is in the sample
    EXPECT_EQ(fetch_line(reader).value_or("?"), "1 2");
    ASSERT_TRUE(reader.open(dir.write("empty", "")));
    EXPECT_EQ(reader.estimated_lines(), 0u);
    EXPECT_FALSE(fetch_line(reader));

    // Beyond one block the count is extrapolated; lines of varying length average out.
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += std::to_string(i % 1000) + " " + std::to_string(i) + "\n";
    ASSERT_TRUE(reader.open(dir.write("long", text)));
    const double estimate = static_cast<double>(reader.estimated_lines());
    EXPECT_NEAR(estimate, 200000, 200000 * 0.1);
    size_t lines = 0;
    std::string_view last;
    while (const auto line = fetch_line(reader)) {
        ++lines;
        last = *line;
    }
    EXPECT_EQ(lines, 200000u);
    EXPECT_EQ(last, "999 199999");
}

Series series_for(const std::string& path) {
    Series s;
    s.file_name = path;
    return s;
}

TEST(LoadColumns, ReadsXYAndWritesTheSeries) {
    TempDir dir;
    Series s = series_for(dir.write("d", "# header\n1 10\n2,20\n=,30\n3 abc\n% c\n' c\n4\t40\n"));
    s.TabEqSpc = 1;
    const auto x = load_columns(s, load_kind::XY);
    ASSERT_TRUE(x);
    EXPECT_EQ(*x, (std::vector<double>{1, 2, ERROR_VALUE, 4}));
    EXPECT_EQ(s.y_data, (std::vector<double>{10, 20, 30, 40}));
    EXPECT_EQ(s.point_count, 4);
}

// Ordinal X for ten lines where line 4 is a comment and line 7 has no Y.
std::string counters_file() {
    std::string text;
    for (int i = 1; i <= 10; ++i) {
        if (i == 4)
            text += "# note\n";
        else if (i == 7)
            text += "7 none\n";
        else
            text += std::to_string(i) + " " + std::to_string(i * 10) + "\n";
    }
    return text;
}

struct Loaded {
    std::vector<double> x, y;
};
Loaded load(Series s) {
    auto x = load_columns(s, load_kind::XY);
    EXPECT_TRUE(x);
    return {x ? *x : std::vector<double>{}, s.y_data};
}

TEST(LoadColumns, StepAndOrdinalsWithSkipCommentOff) {
    TempDir dir;
    Series s = series_for(dir.write("d", counters_file()));
    s.ColumnX = -1;
    auto r = load(s);
    EXPECT_EQ(r.x, (std::vector<double>{1, 2, 3, 5, 6, 8, 9, 10})); // comments take ordinals
    s.Step = 2;
    r = load(s);
    // Lines 1, 3, 5, 7, 9 are stepped; 7 has no Y.
    EXPECT_EQ(r.x, (std::vector<double>{1, 2, 3, 5}));
    EXPECT_EQ(r.y, (std::vector<double>{10, 30, 50, 90}));
    s.Step = 1;
    s.Start = 2;
    r = load(s);
    EXPECT_EQ(r.x.front(), 1);
    EXPECT_EQ(r.y.front(), 30);
}

TEST(LoadColumns, StepAndOrdinalsWithSkipCommentOn) {
    TempDir dir;
    Series s = series_for(dir.write("d", counters_file()));
    s.ColumnX = -1;
    s.SkipComment = 1;
    s.Step = 2;
    const auto r = load(s);
    // Accepted lines 1 2 3 5 6 8 9 10; every second one, ordinals over accepted lines.
    EXPECT_EQ(r.x, (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(r.y, (std::vector<double>{10, 30, 60, 90}));
}

TEST(LoadColumns, EndCountsPointsOrLines) {
    TempDir dir;
    Series s = series_for(dir.write("d", counters_file()));
    s.End = 3;
    EXPECT_EQ(load(s).x.size(), 3u);
    s.SkipComment = 1;
    EXPECT_EQ(load(s).x.size(), 2u); // the counter runs ahead of the comparison
    s.SkipComment = 0;
    s.AbsLine = 1;
    s.End = 5;
    s.ColumnX = -1;
    EXPECT_EQ(load(s).x, (std::vector<double>{1, 2, 3, 5})); // physical line numbers
    s.End = -7;
    EXPECT_EQ(load(s).x.size(), 8u);
}

TEST(LoadColumns, NormalisationsAreWrittenBack) {
    TempDir dir;
    Series s = series_for(dir.write("d", "1 1\n2 2\n3 3\n"));
    s.Step = 0;
    s.XAvr = -3;
    s.YAvr = -1;
    s.Start = -5;
    auto x = load_columns(s, load_kind::XY);
    ASSERT_TRUE(x);
    EXPECT_EQ(x->size(), 3u);
    EXPECT_EQ(s.Step, 1);
    EXPECT_EQ(s.XAvr, 0);
    EXPECT_EQ(s.YAvr, 0);
    s.Step = -4;
    EXPECT_EQ(load_columns(s, load_kind::XY)->size(), 3u);
    EXPECT_EQ(s.Step, 1);
}

TEST(LoadColumns, ErrorBarKinds) {
    TempDir dir;
    Series s = series_for(dir.write("d", "1 10 0.5 2\n2 20\n3 30 x\n"));
    s.ColumnX = 0;
    s.ColumnY = 1;
    auto low = load_columns(s, load_kind::YErrorSymmetric);
    ASSERT_TRUE(low);
    EXPECT_EQ(*low, (std::vector<double>{9.5, ERROR_VALUE, ERROR_VALUE}));
    EXPECT_EQ(s.y_data, (std::vector<double>{10.5, ERROR_VALUE, ERROR_VALUE}));
    low = load_columns(s, load_kind::YErrorOffsets);
    EXPECT_EQ(*low, (std::vector<double>{10.5, ERROR_VALUE, ERROR_VALUE}));
    EXPECT_EQ(s.y_data, (std::vector<double>{12, ERROR_VALUE, ERROR_VALUE}));
    low = load_columns(s, load_kind::XErrorSymmetric);
    EXPECT_EQ(*low, (std::vector<double>{-9, -18, -27}));
    EXPECT_EQ(s.y_data, (std::vector<double>{11, 22, 33}));

    Series t = series_for(s.file_name); // kind 6 with nothing after X
    t.ColumnX = 1;
    t.ColumnY = 0;
    low = load_columns(t, load_kind::XErrorSymmetric);
    EXPECT_EQ(*low, (std::vector<double>{9.5, ERROR_VALUE, ERROR_VALUE}));
    EXPECT_EQ(t.point_count, 3);

    s.ColumnX = -1;
    EXPECT_FALSE(load_columns(s, load_kind::XErrorOffsets));
    EXPECT_FALSE(load_columns(s, load_kind::XErrorSymmetric));
    s.ColumnY = -1;
    EXPECT_FALSE(load_columns(s, load_kind::YErrorSymmetric));
}

TEST(LoadColumns, ColumnAndNextFieldKinds) {
    TempDir dir;
    Series s = series_for(dir.write("d", "1 10 100\n2 x 200\n3 30 300\n"));
    const auto column = load_columns(s, load_kind::Column, 2);
    ASSERT_TRUE(column);
    EXPECT_EQ(*column, (std::vector<double>{100, 300})); // only lines with a Y
    EXPECT_EQ(s.point_count, 0); // a column request leaves the series' own count alone
    auto x = load_columns(s, load_kind::XAndNext);
    EXPECT_EQ(*x, (std::vector<double>{1, 3}));
    EXPECT_EQ(s.y_data, (std::vector<double>{10, 30}));
    x = load_columns(s, load_kind::YAndNext);
    EXPECT_EQ(*x, (std::vector<double>{10, 30}));
    EXPECT_EQ(s.y_data, (std::vector<double>{100, 300}));
}

TEST(LoadColumns, CapsAt320000Points) {
    TempDir dir;
    std::string text;
    text.reserve(400000 * 4);
    for (int i = 0; i < 400000; ++i)
        text += "1 2\n";
    Series s = series_for(dir.write("d", text));
    const auto x = load_columns(s, load_kind::XY);
    ASSERT_TRUE(x);
    EXPECT_EQ(x->size(), 320000u);
    EXPECT_EQ(s.point_count, 320000);
}

TEST(LoadColumns, PairsOfFieldsReadAsFieldByField) {
    // Lines of numbers, separators, gaps and junk; every ordered pair of columns must give
    // what field_value gives for each field alone.
    std::mt19937 random(7);
    const char* pieces[] = {"1", "-2.5", " ", ",", "  ,", "\t", "=", "x", "3D2", "\r", ".5", "+"};
    std::string text;
    std::vector<std::string> lines;
    for (int i = 0; i < 400; ++i) {
        std::string line;
        for (int k = random() % 12; k > 0; --k)
            line += pieces[random() % std::size(pieces)];
        lines.push_back(line);
        text += line + "\n";
    }
    TempDir dir;
    const std::string path = dir.write("d", text);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 5; ++y) {
            if (x == y) continue;
            Series s = series_for(path);
            s.ColumnX = x;
            s.ColumnY = y;
            std::vector<double> want_x, want_y;
            const bool tab_is_space = s.TabEqSpc != 0;
            for (std::string line : lines) {
                if (line.ends_with('\r')) line.pop_back(); // part of the line end
                const auto a = field(line, x, tab_is_space), b = field(line, y, tab_is_space);
                if (a && b) {
                    want_x.push_back(*a);
                    want_y.push_back(*b);
                }
            }
            const auto got = load_columns(s, load_kind::XY);
            ASSERT_TRUE(got);
            EXPECT_EQ(*got, want_x) << x << " " << y;
            EXPECT_EQ(s.y_data, want_y) << x << " " << y;
        }
}

TEST(LoadColumns, UnreadableFilesYieldNothingSilently) {
    TempDir dir;
    Series s = series_for("");
    EXPECT_FALSE(load_columns(s, load_kind::XY));
    s.file_name = "no/such/relative.dat";
    EXPECT_FALSE(load_columns(s, load_kind::XY));
    EXPECT_EQ(errno, ENOENT);
    s.file_name = dir.path("");
    EXPECT_FALSE(load_columns(s, load_kind::XY)); // a directory
    EXPECT_EQ(errno, EISDIR);
    s.file_name = dir.write("empty", "");
    const auto x = load_columns(s, load_kind::XY);
    ASSERT_TRUE(x);
    EXPECT_TRUE(x->empty());
}

TEST(LoadColumns, HostileBytesNeverCrash) {
    TempDir dir;
    std::mt19937 random(42);
    std::string bytes(1 << 20, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    Series s = series_for(dir.write("random", bytes));
    for (int kind = 0; kind <= 7; ++kind)
        EXPECT_TRUE(load_columns(s, kind, 3)) << kind;

    std::string digits(10 << 20, '1'); // one 10 MB line of digits
    s.file_name = dir.write("long", digits);
    auto x = load_columns(s, load_kind::XY);
    ASSERT_TRUE(x);
    EXPECT_TRUE(x->empty()); // 1999-byte pieces, each a single field
    s.ColumnY = -1;
    x = load_columns(s, load_kind::XY);
    EXPECT_EQ(x->size(), (10u << 20) / 1999 + 1);

    s.file_name = dir.write("nul", std::string("1 2\n\0\0\0 3\n4\0 5\n6 7", 18));
    s.ColumnY = 1;
    x = load_columns(s, load_kind::XY);
    EXPECT_EQ(*x, (std::vector<double>{1, 6}));
}

TEST(ReadTextField, HostileBytesNeverCrash) {
    TempDir dir;
    std::mt19937 random(7);
    std::string bytes(300000, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() % 5 == 0 ? '\n' : random());
    const std::string path = dir.write("random", bytes);
    for (int line = 0; line < 200; line += 7)
        for (int f = -1; f < 6; ++f)
            read_text_field(path, line, f);
    for (size_t start = 0; start + 64 < bytes.size(); start += 997)
        for (int f = 0; f < 5; ++f)
            field_value(std::string_view(bytes).substr(start, 64), f, f % 2);
    EXPECT_EQ(read_text_field(dir.path(""), 0, 0), std::nullopt); // a directory
}

class FakeConverter : public Converter {
public:
    bool convert_file(const std::string& source, const std::string& destination,
                      int32_t number) override {
        calls.push_back({source, number});
        std::ofstream(destination, std::ios::binary) << "5 50\n6 60\n";
        return true;
    }
    std::vector<std::pair<std::string, int>> calls;
};
class ListedFiles : public TemporaryFiles {
public:
    void add(const std::string& path) override { paths.push_back(path); }
    std::vector<std::string> paths;
};

TEST(LoadColumns, ConverterWritesATemporaryFileOnce) {
    TempDir dir;
    Series s = series_for(dir.write("foreign", "binary stuff"));
    s.Converter = 2;
    EXPECT_FALSE(load_columns(s, load_kind::XY)); // no converter module: nothing read

    FakeConverter converter;
    ListedFiles temporary;
    DataContext context;
    context.converter = &converter;
    context.temporary_files = &temporary;
    auto x = load_columns(s, load_kind::XY, 0, context);
    ASSERT_TRUE(x);
    EXPECT_EQ(*x, (std::vector<double>{5, 6}));
    ASSERT_EQ(temporary.paths.size(), 1u);
    EXPECT_EQ(s.converted_file_name, temporary.paths[0]);
    EXPECT_NE(display_name(s.converted_file_name).find("QVT"), std::string::npos);
    ASSERT_EQ(converter.calls.size(), 1u);
    EXPECT_EQ(converter.calls[0].second, 2);
    load_columns(s, load_kind::XY, 0, context);
    EXPECT_EQ(converter.calls.size(), 1u); // the converted file is reused
    std::filesystem::remove(s.converted_file_name);
}

TEST(ReadTextField, OwnSeparatorRules) {
    TempDir dir;
    const std::string path = dir.write("t", "title line\r\nalpha  beta,gamma\t\tdelta\nx ,y\n");
    EXPECT_EQ(read_text_field(path, 0, -1), "title line");
    EXPECT_EQ(read_text_field(path, 1, 0), "alpha");
    EXPECT_EQ(read_text_field(path, 1, 1), "beta");
    EXPECT_EQ(read_text_field(path, 1, 2), "gamma");
    EXPECT_EQ(read_text_field(path, 1, 3), ""); // a tab is a separator of its own
    EXPECT_EQ(read_text_field(path, 1, 4), "delta");
    EXPECT_EQ(read_text_field(path, 1, 5), std::nullopt);
    EXPECT_EQ(read_text_field(path, 2, 1), ""); // the comma after spaces opens an empty field
    EXPECT_EQ(read_text_field(path, 2, 2), "y");
    EXPECT_EQ(read_text_field(path, 3, 0), std::nullopt);
    EXPECT_EQ(read_text_field(path, -1, 0), std::nullopt);
    EXPECT_EQ(read_text_field(dir.path("missing"), 0, 0), std::nullopt);
}

TEST(OpenErrors, DisplayNameAndMessages) {
    EXPECT_EQ(display_name(""), "(Untitled)");
    EXPECT_EQ(display_name("C:\\data\\run1.dat"), "run1.dat");
    EXPECT_EQ(display_name("/home/u/x.csv"), "x.csv");
    EXPECT_EQ(display_name("D:x.dat"), "x.dat");
    EXPECT_EQ(display_name("C:\\\x95\\\\a.dat"), "a.dat"); // 0x5C as a Shift-JIS trail byte
    EXPECT_EQ(display_name("/d/\xE3\x81\x81/b.dat"), "b.dat");

    EXPECT_EQ(open_error_message("/a/x.dat", ENOENT), "x.dat が見つかりません。");
    EXPECT_EQ(open_error_message("/a/x.dat", EROFS), "書き込み禁止エラーです。(x.dat)");
    EXPECT_EQ(open_error_message("/a/x.dat", ENOSPC), "書き込みに失敗しました。(x.dat)");
    EXPECT_EQ(open_error_message("/a/x.dat", EIO), "読み取りに失敗しました。(x.dat)");
    EXPECT_EQ(open_error_message("/a/x.dat", ETXTBSY), "x.dat: 共有違反です。");
    EXPECT_EQ(open_error_message("/a/x.dat", EEXIST), "x.dat: 作成できません。");
    EXPECT_EQ(open_error_message("/a/x.dat", EISDIR), "FileOpen Error x.dat");

    RecordingPrompter prompter;
    report_open_error(prompter, "", ENOENT);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "エラー");
    EXPECT_EQ(prompter.shown[0].text, "(Untitled) が見つかりません。");
}

} // namespace
} // namespace plox
