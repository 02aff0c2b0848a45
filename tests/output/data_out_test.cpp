// Saving and copying series points: the chooser's kinds, file names asked per series, files
// that cannot be created, the curve switch, temporary data and the editor's command line.
#include "output/data_out.h"

#include "document/model.h"
#include "document/prompter.h"
#include "render/series_drawing.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace plox {
namespace {

namespace fs = std::filesystem;

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class ScriptedTarget : public DataOutTarget {
public:
    std::optional<std::string> file_name(const std::string& proposed) override {
        proposed_names.push_back(proposed);
        if (names.empty()) return std::nullopt;
        auto name = names.front();
        names.pop_front();
        return name;
    }
    bool set_clipboard_text(const std::string& text) override {
        clipboard.push_back(text);
        return true;
    }
    std::deque<std::optional<std::string>> names;
    std::vector<std::string> proposed_names, clipboard;
};

// Hands over a fixed curve, as the analysis or the extension would.
class FixedCurves : public CurveSource {
public:
    void curves(Graph&, int index, std::span<const double> x, std::span<const double>,
                const CurveSink& draw) override {
        seen_points = x.size();
        asked.push_back(index);
        draw(piece_x, piece_y);
        std::vector<double> other{42};
        draw(other, other); // a later component: not the whole curve
    }
    std::vector<double> piece_x, piece_y;
    std::vector<int> asked;
    size_t seen_points = 0;
};

class DataOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("plox_output_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        graph_.scales_valid = 1;
        for (int a : {AxisX, AxisY}) {
            graph_.axes[a].from = 0;
            graph_.axes[a].to = 100;
        }
        context_.prompter = &prompter_;
        context_.data.prompter = &prompter_;
    }
    void TearDown() override { fs::remove_all(dir_); }

    int add_series(const std::string& text, int32_t kind = kind::Data) {
        const int i = graph_.series_count++;
        Series& s = graph_.series[static_cast<size_t>(i)];
        s.file_name = path("s" + std::to_string(i) + ".dat");
        std::ofstream(s.file_name, std::ios::binary) << text;
        s.kind = kind;
        return i;
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
    Graph graph_;
    RecordingPrompter prompter_;
    RenderContext context_;
    ScriptedTarget target_;
};

TEST_F(DataOutTest, ChoosersListTheKindsOfTheirMask) {
    add_series("1 1\n", kind::Data);
    add_series("1 1\n", kind::Polynomial);
    add_series("1 1\n", kind::Function);
    add_series("1 1\n", kind::Extension2);
    EXPECT_EQ(series_of_kinds(graph_, EVERY_KIND_MASK), (std::vector<int>{0, 1, 2, 3}));
    // Function series (8) have no computed curve to copy.
    EXPECT_EQ(series_of_kinds(graph_, CURVE_KIND_MASK), (std::vector<int>{1, 3}));
}

TEST_F(DataOutTest, CancellingTheSecondNameLeavesTheFirstFileAndAsksNoMore) {
    for (int i = 0; i < 3; ++i)
        add_series("1 2\n3 4\n");
    target_.names = {path("first.txt"), std::nullopt, path("third.txt")};
    const DataOutResult r =
        save_or_copy_points(graph_, {0, 1, 2}, {false, true}, target_, context_);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.written, 1);
    EXPECT_EQ(target_.proposed_names,
              (std::vector<std::string>{graph_.series[0].file_name, graph_.series[1].file_name}));
    EXPECT_EQ(read_all(path("first.txt")), "+1.000000e+00\t+2.000000e+00\r\n"
                                           "+3.000000e+00\t+4.000000e+00\r\n");
    EXPECT_FALSE(fs::exists(path("third.txt")));
}

TEST_F(DataOutTest, FileThatCannotBeCreatedIsSkippedSilently) {
    add_series("1 2\n");
    add_series("5 6\n");
    std::ofstream(path("old.txt")) << "previous contents, much longer than the new ones\n";
    target_.names = {path("no/such/folder/a.txt"), path("old.txt")};
    const DataOutResult r = save_or_copy_points(graph_, {0, 1}, {false, true}, target_, context_);
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(r.written, 1);
    EXPECT_TRUE(prompter_.shown.empty());
    // Created anew: nothing of the old file is left.
    EXPECT_EQ(read_all(path("old.txt")), "+5.000000e+00\t+6.000000e+00\r\n");
}

TEST_F(DataOutTest, OutsidePointsAreMissingUnlessCounted) {
    const int i = add_series("10 10\n150 20\n30 -5\n");
    save_or_copy_points(graph_, {i}, {false, false}, target_, context_);
    graph_.series[0].CountOutArea = 1;
    save_or_copy_points(graph_, {i}, {false, false}, target_, context_);
    ASSERT_EQ(target_.clipboard.size(), 2u);
    EXPECT_EQ(target_.clipboard[0], "+1.000000e+01\t+1.000000e+01\r\n"
                                    " ERROR_VALUE \tERROR_VALUE \r\n"
                                    " ERROR_VALUE \tERROR_VALUE \r\n");
    EXPECT_EQ(target_.clipboard[1], "+1.000000e+01\t+1.000000e+01\r\n"
                                    "+1.500000e+02\t+2.000000e+01\r\n"
                                    "+3.000000e+01\t-5.000000e+00\r\n");
}

TEST_F(DataOutTest, ReciprocalAxisComparesTheReciprocal) {
    // X from 0.1 to 0.5 on a reciprocal axis shows 1/x: x = 4 (0.25) is inside, x = 1 is not,
    // x = 0 has no reciprocal.
    graph_.axes[AxisX].scale_type = 2;
    graph_.axes[AxisX].from = 0.1;
    graph_.axes[AxisX].to = 0.5;
    const int i = add_series("4 1\n1 1\n0 1\n");
    save_or_copy_points(graph_, {i}, {false, false}, target_, context_);
    ASSERT_EQ(target_.clipboard.size(), 1u);
    EXPECT_EQ(target_.clipboard[0], "+4.000000e+00\t+1.000000e+00\r\n"
                                    " ERROR_VALUE \tERROR_VALUE \r\n"
                                    " ERROR_VALUE \tERROR_VALUE \r\n");
}

TEST_F(DataOutTest, CurveSwitchTakesTheWholeCurveInDataValues) {
    FixedCurves curves;
    context_.curves = &curves;
    curves.piece_x = {0, 1, 2};
    curves.piece_y = {5, 6, ERROR_VALUE};
    const int fit = add_series("1 1\n2 2\n200 3\n", kind::Polynomial);
    save_or_copy_points(graph_, {fit}, {true, false}, target_, context_);
    ASSERT_EQ(target_.clipboard.size(), 1u);
    EXPECT_EQ(target_.clipboard[0], "+0.000000e+00\t+5.000000e+00\r\n"
                                    "+1.000000e+00\t+6.000000e+00\r\n"
                                    "+2.000000e+00\tERROR_VALUE \r\n");
    EXPECT_EQ(curves.seen_points, 3u);

    // A spline on a logarithmic X axis comes in log10 values.
    graph_.axes[AxisX].scale_type = 1;
    graph_.axes[AxisX].from = 1;
    graph_.axes[AxisX].to = 1000;
    const int spline = add_series("1 1\n10 2\n", kind::Spline);
    save_or_copy_points(graph_, {spline}, {true, false}, target_, context_);
    ASSERT_EQ(target_.clipboard.size(), 2u);
    EXPECT_EQ(target_.clipboard[1], "+1.000000e+00\t+5.000000e+00\r\n"
                                    "+1.000000e+01\t+6.000000e+00\r\n"
                                    "+1.000000e+02\tERROR_VALUE \r\n");
}

TEST_F(DataOutTest, TemporaryDataKeepsTheBytes) {
    const auto p = write_temporary_data(dir_.string() + "/", "1 2\r\n3 4");
    ASSERT_TRUE(p);
    EXPECT_EQ(fs::path(*p).parent_path(), dir_);
    EXPECT_EQ(read_all(*p), "1 2\r\n3 4");
    const auto q = write_temporary_data(dir_.string() + "/", "");
    ASSERT_TRUE(q);
    EXPECT_NE(*p, *q);
    EXPECT_FALSE(write_temporary_data(path("missing") + "/", "x"));
}

TEST_F(DataOutTest, NewFileNeverReplacesAnExistingOne) {
    std::ofstream(path("NEW.DAT")) << "1 2\n";
    EXPECT_FALSE(create_new_file(path("NEW.DAT")));
    EXPECT_EQ(read_all(path("NEW.DAT")), "1 2\n");
    EXPECT_TRUE(create_new_file(path("other.dat")));
    EXPECT_EQ(fs::file_size(path("other.dat")), 0u);
    EXPECT_FALSE(create_new_file(path("missing/x.dat")));
}

TEST(EditorCommand, SettingThenEnvironmentInATerminalThenTheDesktop) {
    std::vector<std::string> installed{"gvim", "vi", "xterm", "xdg-open"};
    EditorEnvironment env;
    env.found = [&](const std::string& p) {
        return std::find(installed.begin(), installed.end(), p) != installed.end();
    };
    env.editor = "vi -n";
    EXPECT_EQ(editor_command("gvim -f", "/d/a.dat", env),
              (std::vector<std::string>{"gvim", "-f", "/d/a.dat"}));
    // The Windows default is not found here.
    EXPECT_EQ(editor_command("notepad.exe", "/d/a.dat", env),
              (std::vector<std::string>{"xterm", "-e", "vi", "-n", "/d/a.dat"}));
    env.visual = "nano";
    installed.push_back("nano");
    installed.push_back("x-terminal-emulator");
    EXPECT_EQ(editor_command("", "/d/a.dat", env),
              (std::vector<std::string>{"x-terminal-emulator", "-e", "nano", "/d/a.dat"}));
    env.visual.clear();
    env.editor.clear();
    EXPECT_EQ(editor_command("", "/d/a.dat", env),
              (std::vector<std::string>{"xdg-open", "/d/a.dat"}));
    installed.clear();
    EXPECT_TRUE(editor_command("notepad.exe", "/d/a.dat", env).empty());
}

} // namespace
} // namespace plox
