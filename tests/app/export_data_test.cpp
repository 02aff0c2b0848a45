// `ploxwin --export-data`: a document's series exported as plotted.
#include "document/document_io.h"
#include "document/model.h"
#include "document/prompter.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace plox {
namespace {

using test::read_file;
using test::run_ploxwin;
using test::RunResult;
using test::TempDir;

class ExportData : public ::testing::Test {
protected:
    void SetUp() override {
        Graph graph;
        graph.axes[AxisX].from = 0;
        graph.axes[AxisX].to = 10;
        graph.axes[AxisY].from = 0;
        graph.axes[AxisY].to = 100;
        Series& s = graph.series[0];
        s.file_name = dir_.write("points.dat", "# x y\r\n1 10\r\n2 20\r\n50 30\r\n3 =\r\n");
        s.IsYtrans = 1;
        s.Ytrans = "y*2";
        graph.series_count = 1;
        graph.scales_valid = 1;
        graph.unmodified = 0;
        RecordingPrompter prompter;
        IoContext io;
        io.prompter = &prompter;
        io.ask_before_overwrite = false;
        document_ = dir_.path("doc.qvp");
        ASSERT_TRUE(save_document(document_, graph, false, io).ok());
    }
    RunResult export_data(std::vector<std::string> options) {
        std::vector<std::string> args{"--export-data", out_, document_};
        args.insert(args.end(), options.begin(), options.end());
        return run_ploxwin(args);
    }

    TempDir dir_;
    std::string document_;
    const std::string out_ = dir_.path("out.txt");
};

TEST_F(ExportData, WritesTheSeriesAsPlotted) {
    const RunResult r = export_data({"--series", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file(out_), "+1.000000e+00\t+2.000000e+01\r\n"
                               "+2.000000e+00\t+4.000000e+01\r\n"
                               " ERROR_VALUE \tERROR_VALUE \r\n"
                               "+3.000000e+00\tERROR_VALUE \r\n");
}

TEST_F(ExportData, RefusesWhatItCannotExport) {
    const std::vector<std::vector<std::string>> refused{
        {"--series", "2"}, {"--series", "1", "--graph", "2"}, {"--series", "x"}, {}};
    for (const auto& options : refused) {
        const RunResult r = export_data(options);
        EXPECT_NE(r.status, 0) << testing::PrintToString(options);
        EXPECT_EQ(r.err.rfind("ploxwin: ", 0), 0u) << r.err;
    }
    EXPECT_NE(run_ploxwin({"--export-data", out_, dir_.path("none.qvp"), "--series", "1"}).status,
              0);
    EXPECT_FALSE(std::filesystem::exists(out_));
    std::filesystem::remove(dir_.path("points.dat"));
    const RunResult missing = export_data({"--series", "1"});
    EXPECT_NE(missing.status, 0);
    EXPECT_NE(missing.err.find("points.dat"), std::string::npos);
}

TEST(ExportDataExample, EverySeriesOfTheDemoDocumentExports) {
    const std::string document = std::string(PLOX_SOURCE_DIR) + "/examples/demo.qvp";
    TempDir dir;
    const std::regex line("( ERROR_VALUE |[+-][0-9]\\.[0-9]{6}e[+-][0-9]{2,3})"
                          "(\tERROR_VALUE |\t[+-][0-9]\\.[0-9]{6}e[+-][0-9]{2,3})\r");
    for (int series = 1; series <= 3; ++series) {
        const std::string out = dir.path("s" + std::to_string(series));
        const RunResult r =
            run_ploxwin({"--export-data", out, document, "--series", std::to_string(series)});
        ASSERT_EQ(r.status, 0) << r.err;
        int count = 0;
        for (const std::string& l : test::lines_of(read_file(out))) {
            ASSERT_TRUE(std::regex_match(l, line)) << series << ": " << l;
            ++count;
        }
        EXPECT_GT(count, 0) << series;
    }
}

} // namespace
} // namespace plox
