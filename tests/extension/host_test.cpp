// Binding the modules at start, and the program's steps around an analysis on a series.
#include "fixture.h"

#include "document/model.h"
#include "document/prompter.h"
#include "extension/analysis.h"
#include "extension/bindings.h"
#include "settings/store.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace plox;
using namespace plox::test;

namespace {

class FakeUi : public AnalysisUi {
public:
    int curve_dialogs = 0;
    std::string title;
    std::vector<std::string> lines;
    void edit_curve(Series&) override { ++curve_dialogs; }
    void show_results(std::string_view t, const std::vector<std::string>& l) override {
        title = t;
        lines = l;
    }
};

struct Curves {
    std::vector<std::vector<double>> y;
    CurveSink sink() {
        return [this](std::span<const double>, std::span<const double> cy) {
            y.emplace_back(cy.begin(), cy.end());
        };
    }
};

} // namespace

TEST(ExtBinding, TheDeliveredModuleBindsWithFiveAnalyses) {
    RecordingPrompter prompter;
    ModuleBinding binding = bind_modules(prompter);
    ASSERT_TRUE(binding.ok());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(binding.extension->version(), 0x0504);
    const auto& table = binding.extension->analyses();
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table[0].key, "GAUSSF2");
    EXPECT_EQ(table[0].menu_text, "Gaussian fitting");
    EXPECT_EQ(table[0].command, 681);
    EXPECT_EQ(table[4].key, "PeakDct");
    EXPECT_EQ(table[4].command, 685);
    ASSERT_NE(binding.converter, nullptr) << "the delivered converter module binds too";
    EXPECT_EQ(binding.converter->version(), 0x0001);
}

TEST(ExtBinding, EnvironmentOverrideComesFirst) {
    const char* old = std::getenv("PLOXWIN_EXT_DIR");
    const std::string saved = old ? old : "";
    setenv("PLOXWIN_EXT_DIR", "/nonexistent-dir", 1);
    const auto dirs = module_search_dirs();
    ASSERT_FALSE(dirs.empty());
    EXPECT_EQ(dirs.front(), "/nonexistent-dir");
    if (old)
        setenv("PLOXWIN_EXT_DIR", saved.c_str(), 1);
    else
        unsetenv("PLOXWIN_EXT_DIR");
    EXPECT_TRUE(find_module("libno-such-module.so").empty());
}

TEST(ExtBinding, MissingModuleEndsTheProgram) {
    RecordingPrompter prompter;
    ModuleBinding binding = bind_modules(prompter, "", "");
    EXPECT_EQ(binding.status, ModuleBinding::Status::Missing);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "エラー");
    EXPECT_EQ(prompter.shown[0].text, "PloxExt32.dll が見つかりません");
    RecordingPrompter again;
    EXPECT_EQ(bind_modules(again, "/nonexistent/libploxex32.so", "").status,
              ModuleBinding::Status::Missing);
}

TEST(ExtBinding, AModuleOfMajorVersionFiveIsRefused) {
    RecordingPrompter prompter;
    ModuleBinding binding = bind_modules(prompter, test_module("wrong_version"), "");
    EXPECT_EQ(binding.status, ModuleBinding::Status::WrongVersion);
    EXPECT_EQ(binding.extension, nullptr);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "エラー");
    EXPECT_EQ(prompter.shown[0].text, "PloxEx32.dll のバージョンが違います");
}

TEST(ExtBinding, AModuleWithoutItsAboutFunctionIsTreatedAsWrongVersion) {
    RecordingPrompter prompter;
    ModuleBinding binding = bind_modules(prompter, test_module("missing_about"), "");
    EXPECT_EQ(binding.status, ModuleBinding::Status::WrongVersion);
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].title, "Cannot find");
    EXPECT_EQ(prompter.shown[0].text, "Error");
    EXPECT_EQ(prompter.shown[1].text, "PloxEx32.dll のバージョンが違います");
}

TEST(ExtBinding, MissingExportsBindAndEveryCallDegradesSafely) {
    RecordingPrompter prompter;
    ModuleBinding binding = bind_modules(prompter, test_module("missing_exports"), "");
    ASSERT_TRUE(binding.ok());
    const ExtensionModule& module = *binding.extension;
    // It answers 12 analyses: ten are taken, and unterminated names are cut to their buffers.
    ASSERT_EQ(module.analyses().size(), 10u);
    EXPECT_EQ(module.analyses()[9].command, 690);
    EXPECT_EQ(module.analyses()[0].key, std::string(PLOXEX_KEY_SIZE, 'K'));
    EXPECT_EQ(module.analyses()[0].menu_text, std::string(PLOXEX_MENU_TEXT_SIZE, 'T'));

    ModuleLinearSolver solver(module);
    std::vector<double> a{1}, b{1}, x{0};
    EXPECT_FALSE(solver.solve(a, b, x));
    ModuleFunctions functions(module);
    EXPECT_EQ(functions.function_number("dif"), -1);
    ModuleMarkers markers(module);
    EXPECT_EQ(module.marker_count(), 0);
    Series series;
    series.kind = kind::Extension1;
    series.analysis_name = "GAUSSF2";
    ModuleDocumentLines lines(module);
    EXPECT_FALSE(lines.init_analysis(series));
    EXPECT_TRUE(lines.save_lines(series).empty());
    lines.load_line(series, "0.1", 0);
    Curves curves;
    draw_extension_analysis(module, series, "a.dat", {}, {}, {}, prompter, curves.sink());
    EXPECT_TRUE(curves.y.empty());
    EXPECT_EQ(series.analysis_valid, 0);
}

TEST(ExtRunningAnalysis, GaussianSetUpDrawingAndResults) {
    const ExtensionModule& module = real_module();
    Graph graph;
    graph.axes[AxisX].from = -4;
    graph.axes[AxisX].to = 8;
    Series& series = graph.series[0];
    series.point_count = 121;
    MemorySettingsStore settings;
    settings.write("Continuace Ini", "LineType", 2);
    settings.write("Continuace Ini", "Color", 0xFF);
    FakeUi ui;

    // Without an application the peak dialog cannot be shown: the set-up is cancelled and the
    // series stays plain data.
    EXPECT_TRUE(set_up_analysis(module, graph, series, "GAUSSF2", settings, ui));
    EXPECT_EQ(series.kind, kind::Data);
    EXPECT_EQ(series.analysis_name, "");

    // Restoring from a document sets the analysis up quietly; the state lines follow.
    series.analysis_name = "GAUSSF2";
    series.kind = kind::Extension1;
    series.curve_from = -4;
    series.curve_to = 8;
    series.curve_points = 5;
    ModuleDocumentLines lines(module);
    ASSERT_TRUE(lines.init_analysis(series));
    for (auto [i, text] : {std::pair{0, "0.1"}, {1, "0 0"}, {2, "1 4 1 1 1 2"}})
        lines.load_line(series, text, i);

    std::vector<double> x, y;
    for (int i = 0; i < 121; ++i) {
        x.push_back(-4 + 0.1 * i);
        y.push_back(5 * std::exp(-std::pow((x.back() - 2) / 1.5, 2)));
    }
    const std::vector<double> positions = {-4, -1, 2, 5, 8};
    RecordingPrompter prompter;
    Curves curves;
    draw_extension_analysis(module, series, "peak.dat", x, y, positions, prompter, curves.sink());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(series.needs_reading, 0);
    EXPECT_EQ(series.analysis_valid, 1);
    // Components 2 (not produced: no curve), 1 (the total) and 0 (the peak alone).
    ASSERT_EQ(curves.y.size(), 2u);
    EXPECT_NEAR(curves.y[0][2], 5, 1e-6);
    EXPECT_NEAR(curves.y[1][3], 5 * std::exp(-4.0), 1e-6);
    EXPECT_EQ(series.analysis_valid, 1);

    report_analysis(module, series, prompter, ui);
    EXPECT_EQ(ui.title, "Result");
    ASSERT_EQ(ui.lines.size(), 4u);
    EXPECT_EQ(ui.lines[3].substr(0, 13), "1:Width=2.497");

    const auto saved = lines.save_lines(series);
    EXPECT_EQ(saved, (std::vector<std::string>{"3", "0.100000", "0 0.000000", "1 4 1 1 1 2"}));
}

TEST(ExtRunningAnalysis, ResultOnlyAndPerPointAnalyses) {
    const ExtensionModule& module = real_module();
    Graph graph;
    Series& series = graph.series[0];
    series.point_count = 5000;
    MemorySettingsStore settings;
    FakeUi ui;
    EXPECT_TRUE(set_up_analysis(module, graph, series, "GetMin", settings, ui));
    EXPECT_EQ(series.kind, kind::Extension2);
    EXPECT_EQ(series.analysis_name, "GetMin");
    EXPECT_EQ(series.analysis_valid, 1);

    const std::vector<double> x = {1, 2, 3}, y = {4, MASKED_VALUE, 2};
    RecordingPrompter prompter;
    Curves curves;
    draw_extension_analysis(module, series, "d.dat", x, y, std::vector<double>(3, 0.0), prompter,
                            curves.sink());
    ASSERT_EQ(curves.y.size(), 1u);
    report_analysis(module, series, prompter, ui);
    EXPECT_EQ(ui.lines, std::vector<std::string>{"MIN(X,Y)= 3, 2"});

    // Switching to another analysis drops the old block; smoothing wants one point per point.
    EXPECT_FALSE(set_up_analysis(module, graph, series, "SMOOTH", settings, ui));
    EXPECT_EQ(series.kind, kind::Extension1);
    EXPECT_EQ(series.curve_points, 3999);
    EXPECT_EQ(ui.curve_dialogs, 0);
    EXPECT_TRUE(set_up_analysis(module, graph, series, "PeakDct", settings, ui));
    EXPECT_EQ(ui.curve_dialogs, 1);
}

TEST(ExtRunningAnalysis, AFailedComputationIsReportedOnTheNextDrawing) {
    const ExtensionModule& module = real_module();
    Series series;
    series.kind = kind::Extension2;
    series.analysis_name = "GAUSSF2"; // a peak fit without points cannot converge
    ModuleDocumentLines lines(module);
    ASSERT_TRUE(lines.init_analysis(series));
    const std::vector<double> none = {ERROR_VALUE};
    RecordingPrompter prompter;
    Curves curves;
    draw_extension_analysis(module, series, "e.dat", none, none, {}, prompter, curves.sink());
    EXPECT_EQ(series.analysis_valid, 0);
    EXPECT_TRUE(prompter.shown.empty());
    FakeUi ui;
    report_analysis(module, series, prompter, ui);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "確認");
    EXPECT_EQ(prompter.shown[0].text, "失敗しました");
    draw_extension_analysis(module, series, "e.dat", none, none, {}, prompter, curves.sink());
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].title, "エラー");
    EXPECT_EQ(prompter.shown[1].text, "e.datの GAUSSF2 に失敗しました");
}

TEST(ExtRunningAnalysis, UnknownAnalysisInADocumentDropsItsLines) {
    Series series;
    series.kind = kind::Extension1;
    series.analysis_name = "NOSUCH";
    ModuleDocumentLines lines(real_module());
    EXPECT_FALSE(lines.init_analysis(series));
    lines.load_line(series, "1", 0);
    EXPECT_TRUE(lines.save_lines(series).empty());
    EXPECT_FALSE(lines.has_converter_module());
    EXPECT_EQ(lines.converter_number("anything"), 0);
    ModuleConverter converter(nullptr);
    EXPECT_FALSE(converter.convert_file("/tmp/a", "/tmp/b", 1));
}

TEST(ExtBinding, TheProgramsOwnFolderIsSearchedBeforeTheInstallAndBuildFolders) {
    const char* old = std::getenv("PLOXWIN_EXT_DIR");
    const std::string saved = old ? old : "";
    unsetenv("PLOXWIN_EXT_DIR");
    // The test program sits in <build>/bin next to the module, as the program does.
    const std::string found = find_module(EXTENSION_FILE);
    const auto dirs = module_search_dirs();
    if (old) setenv("PLOXWIN_EXT_DIR", saved.c_str(), 1);
    ASSERT_GE(dirs.size(), 2u);
    EXPECT_EQ(found, dirs[0] + "/" + EXTENSION_FILE);
    EXPECT_EQ(
        dirs[1],
        (std::filesystem::path(dirs[0]) / ".." / "lib" / "ploxwin").lexically_normal().string());
}

TEST(ExtBinding, TheConverterModuleIsBoundFunctionByFunction) {
    RecordingPrompter prompter;
    ModuleBinding binding =
        bind_modules(prompter, find_module(EXTENSION_FILE), test_module("converter"));
    ASSERT_TRUE(binding.ok());
    ASSERT_NE(binding.converter, nullptr);
    const ConverterModule& converter = *binding.converter;
    EXPECT_EQ(converter.names(), (std::vector<std::string>{"Copy", "Broken"}));
    EXPECT_EQ(converter.version(), 0) << "ExternalLoadAbout is missing";
    EXPECT_EQ(converter.check_header("%Ngraph GRAF"), 7);
    EXPECT_EQ(converter.check_header(" PloxWin ver. 1.8  QVP file"), -1);

    ModuleDocumentLines lines(*binding.extension, &converter);
    EXPECT_TRUE(lines.has_converter_module());
    EXPECT_EQ(lines.converter_number("Broken"), 2);
    EXPECT_EQ(lines.converter_number("Unlisted"), 0);
    EXPECT_EQ(lines.converter_name(1), "Copy");
    EXPECT_EQ(lines.converter_name(3), "");
    EXPECT_EQ(lines.check_qvp("%Ngraph GRAF"), 7);
    EXPECT_EQ(lines.check_qvp("anything else"), -1);
    EXPECT_EQ(ModuleDocumentLines(*binding.extension).check_qvp("%Ngraph GRAF"), -1)
        << "no converter module";

    const auto dir = std::filesystem::temp_directory_path() / "ploxex_converter_test";
    std::filesystem::create_directories(dir);
    const std::string source = (dir / "in.raw").string(), destination = (dir / "out.dat").string();
    { std::ofstream(source) << "1 2\n3 4\n"; }
    ModuleConverter convert(&converter);
    EXPECT_TRUE(convert.convert_file(source, destination, 1));
    std::ifstream copied(destination);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(copied), {}), "1 2\n3 4\n");
    EXPECT_FALSE(convert.convert_file(source, destination, 2));
    std::filesystem::remove_all(dir);

    // A wrong extension module does not keep the converter either.
    RecordingPrompter refused;
    EXPECT_EQ(
        bind_modules(refused, test_module("wrong_version"), test_module("converter")).converter,
        nullptr);
}
