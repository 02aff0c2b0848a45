// End to end: the built program exports a document's series as plotted.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "document/document_io.h"
#include "document/model.h"
#include "document/prompter.h"
#include "temp_files.h"

namespace plox {
namespace {

using test::TempDir;

const std::string PROGRAM = std::string(PLOX_BINARY_DIR) + "/bin/ploxwin";

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

int run(const std::string& arguments, const std::string& log) {
    const std::string command = "'" + PROGRAM + "' " + arguments + " >'" + log + "' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ExportDataCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(PROGRAM)) GTEST_SKIP() << "ploxwin is not built";
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

    TempDir dir_;
    std::string document_;
};

TEST_F(ExportDataCli, WritesTheSeriesAsPlotted) {
    const std::string out = dir_.path("out.txt");
    ASSERT_EQ(run("--export-data '" + out + "' '" + document_ + "' --series 1", dir_.path("log")),
              0)
        << read_file(dir_.path("log"));
    EXPECT_EQ(read_file(out), "+1.000000e+00\t+2.000000e+01\r\n"
                              "+2.000000e+00\t+4.000000e+01\r\n"
                              " ERROR_VALUE \tERROR_VALUE \r\n"
                              "+3.000000e+00\tERROR_VALUE \r\n");
}

TEST_F(ExportDataCli, RefusesWhatItCannotExport) {
    const std::string out = dir_.path("out.txt");
    const std::string log = dir_.path("log");
    EXPECT_NE(run("--export-data '" + out + "' '" + document_ + "' --series 2", log), 0);
    EXPECT_NE(read_file(log).find("ploxwin: "), std::string::npos);
    EXPECT_NE(run("--export-data '" + out + "' '" + document_ + "' --series 1 --graph 2", log), 0);
    EXPECT_NE(run("--export-data '" + out + "' '" + document_ + "' --series x", log), 0);
    EXPECT_NE(run("--export-data '" + out + "' '" + dir_.path("none.qvp") + "' --series 1", log),
              0);
    EXPECT_NE(run("--export-data '" + out + "' '" + document_ + "'", log), 0);
    EXPECT_FALSE(std::filesystem::exists(out));
    std::filesystem::remove(dir_.path("points.dat"));
    EXPECT_NE(run("--export-data '" + out + "' '" + document_ + "' --series 1", log), 0);
    EXPECT_NE(read_file(log).find("points.dat"), std::string::npos);
}

TEST(ExportDataExample, EverySeriesOfTheDemoDocumentExports) {
    const std::string document = std::string(PLOX_SOURCE_DIR) + "/examples/demo.qvp";
    if (!std::filesystem::exists(PROGRAM)) GTEST_SKIP() << "ploxwin is not built";
    TempDir dir;
    const std::regex line("( ERROR_VALUE |[+-][0-9]\\.[0-9]{6}e[+-][0-9]{2,3})"
                          "(\tERROR_VALUE |\t[+-][0-9]\\.[0-9]{6}e[+-][0-9]{2,3})\r");
    for (int series = 1; series <= 3; ++series) {
        const std::string out = dir.path("s" + std::to_string(series));
        ASSERT_EQ(
            run("--export-data '" + out + "' '" + document + "' --series " + std::to_string(series),
                dir.path("log")),
            0)
            << read_file(dir.path("log"));
        std::istringstream text(read_file(out));
        std::string l;
        int count = 0;
        while (std::getline(text, l)) {
            ASSERT_TRUE(std::regex_match(l, line)) << series << ": " << l;
            ++count;
        }
        EXPECT_GT(count, 0) << series;
    }
}

} // namespace
} // namespace plox
