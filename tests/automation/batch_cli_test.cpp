// End to end: ploxwin --batch runs a macro without a window, tells its messages on standard
// error and saves the graphs.
#include "fixtures.h"

#include "document/document_io.h"

#include <cstdlib>
#include <sstream>

namespace plox::test {

namespace {

const std::string PROGRAM = std::string(PLOX_BINARY_DIR) + "/bin/ploxwin";

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class BatchCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(PROGRAM)) GTEST_SKIP() << "ploxwin is not built";
        data_ = dir_.write("a.dat", "1 2 5\r\n2 4 6\r\n3 9 7\r\n");
    }
    // Runs --batch on a macro with these lines; the exit status, stderr in err_.
    int run(const std::string& macro, const std::string& save = "") {
        const std::string path = dir_.write("m.qvd", macro);
        const std::string err = dir_.path("err.txt");
        std::string command = "PLOXWIN_CONFIG_DIR='" + dir_.path("config") + "' '" + PROGRAM +
                              "' --batch '" + path + "'";
        if (!save.empty()) command += " --save '" + save + "'";
        command += " 2>'" + err + "' >/dev/null";
        const int status = std::system(command.c_str());
        err_ = slurp(err);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    GraphSet read_back(const std::string& path) {
        GraphSet set;
        IoContext io;
        EXPECT_TRUE(load_document(path, set, io).ok());
        return set;
    }

    TempDir dir_;
    std::string data_;
    std::string err_;
};

} // namespace

TEST_F(BatchCli, RunsTheMacroAndSavesOneGraphAsADocument) {
    const std::string out = dir_.path("out.qvp");
    ASSERT_EQ(run("Data COLUMNY 2, PLOTTYPE 5, OPEN " + data_ +
                      "\r\nAxisSet XSCALE 0 10 2 5\r\nFrameSet POS 17000 1000 17000 1000, "
                      "FrameType 4\r\nRefresh\r\n",
                  out),
              0);
    EXPECT_EQ(err_, "");
    EXPECT_EQ(slurp(out).rfind(" PloxWin ver. 1.8  QVP file\r\n", 0), 0u);
    GraphSet set = read_back(out);
    ASSERT_EQ(set.graphs.size(), 1u);
    const Graph& g = *set.graphs[0];
    ASSERT_EQ(g.series_count, 1);
    EXPECT_EQ(g.series[0].ColumnY, 2);
    EXPECT_EQ(g.series[0].PlotType, 5);
    EXPECT_EQ(g.axes[AxisX].to, 10);
    EXPECT_EQ(g.axes[AxisX].division, 5);
    EXPECT_EQ(g.frame_left, 16000);
    EXPECT_EQ(g.frame_width, 16000);
    EXPECT_EQ(g.FrameType, 1);
}

TEST_F(BatchCli, SeveralGraphsAreSavedAsABundle) {
    const std::string doc = dir_.path("one.qvp");
    ASSERT_EQ(run("Data OPEN " + data_ + "\r\n", doc), 0);
    const std::string out = dir_.path("out.qva");
    ASSERT_EQ(run("Data OPEN " + data_ + "\r\nOpenQvp " + doc + "\r\n", out), 0);
    EXPECT_EQ(slurp(out).rfind(" PloxWin ver. 1.1  QVA file\r\n", 0), 0u);
    EXPECT_EQ(read_back(out).graphs.size(), 2u);
}

TEST_F(BatchCli, MessagesGoToStandardErrorOneLineEach) {
    EXPECT_EQ(run("Refresh\r\nPause\r\nRefresh\r\n"), 0);
    EXPECT_EQ(err_, "ploxwin: Stop in Line2 Continue?\n");
    EXPECT_EQ(run("Rem a\r\nRem b\r\n\r\nRefresh\r\n"), 0);
    EXPECT_EQ(err_, "ploxwin: Error in Line3\n");
    EXPECT_EQ(run("Data OPEN " + dir_.path("none.dat") + ", COLUMNX 2\r\nOpenQvp " +
                  dir_.path("none.qvp") + "\r\nGoto x\r\n"),
              0);
    EXPECT_EQ(err_, "ploxwin: none.dat が見つかりません。\nploxwin: none.qvp が見つかりません。\n");
    std::string lines;
    for (int i = 0; i < 80; ++i)
        lines += "Rem\r\n";
    EXPECT_EQ(run(lines, dir_.path("empty.qvp")), 0);
    EXPECT_EQ(err_, "ploxwin: two many macros!\n");
    EXPECT_TRUE(std::filesystem::exists(dir_.path("empty.qvp")));
}

TEST_F(BatchCli, FailsOnlyWhenTheMacroCannotBeReadOrTheOutputWritten) {
    const std::string command =
        "'" + PROGRAM + "' --batch '" + dir_.path("none.qvd") + "' 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_NE(run("Refresh\r\n", dir_.path("no/such/folder/out.qvp")), 0);
    EXPECT_NE(err_, "");
}

} // namespace plox::test
