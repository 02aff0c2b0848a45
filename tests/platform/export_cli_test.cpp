// End to end: ploxwin --export writes a document's page, and refuses bad requests with a
// one-line message and a failure status.
#include "document/document_io.h"
#include "document/prompter.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace plox {
namespace {

namespace fs = std::filesystem;

const std::string PROGRAM = std::string(PLOX_BINARY_DIR) + "/bin/ploxwin";

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class ExportCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(PROGRAM)) GTEST_SKIP() << "ploxwin is not built";
        dir_ = fs::temp_directory_path() / ("plox-export-cli-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        std::ofstream(dir_ / "points.dat") << "0 1\r\n1 3\r\n2 2\r\n3 5\r\n";
        Graph g;
        g.series[0].file_name = (dir_ / "points.dat").string();
        g.series[0].LineType = 1;
        g.series_count = 1;
        g.unmodified = 0;
        g.page_width = 182; // B5, landscape
        g.page_height = 257;
        g.paper_code = 5;
        g.landscape = 1;
        RecordingPrompter prompter;
        IoContext io;
        io.prompter = &prompter;
        io.ask_before_overwrite = false;
        PageFields page;
        page.width = 182;
        page.height = 257;
        page.paper_code = 5;
        page.landscape = 1;
        io.page = page;
        document_ = (dir_ / "doc.qvp").string();
        ASSERT_TRUE(save_document(document_, g, false, io).ok());
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
    }

    int run(const std::string& arguments) {
        const std::string log = (dir_ / "log.txt").string();
        // Fontconfig's caches outlive the program; the leak checker would turn them into failures.
        const std::string command = "ASAN_OPTIONS=detect_leaks=0 '" + PROGRAM + "' --export " +
                                    arguments + " >'" + log + "' 2>&1";
        const int status = std::system(command.c_str());
        output_ = slurp(log);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string out(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
    std::string document_;
    std::string output_;
};

TEST_F(ExportCli, WritesEveryFormatOnTheDocumentsPaper) {
    ASSERT_EQ(run("'" + out("page.png") + "' '" + document_ + "'"), 0) << output_;
    const QImage png(QString::fromStdString(out("page.png")));
    EXPECT_EQ(png.size(), QSize(1518, 1075)); // 257 × 182 mm at 150 dpi
    ASSERT_EQ(run("'" + out("small.png") + "' '" + document_ + "' --dpi 72"), 0) << output_;
    EXPECT_EQ(QImage(QString::fromStdString(out("small.png"))).size(), QSize(729, 516));

    ASSERT_EQ(run("'" + out("page.pdf") + "' '" + document_ + "'"), 0) << output_;
    const std::string pdf = slurp(out("page.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    std::smatch box;
    ASSERT_TRUE(
        std::regex_search(pdf, box, std::regex(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])")));
    EXPECT_NEAR(std::stod(box[1]), 257 / 25.4 * 72, 1); // landscape B5 in points
    EXPECT_NEAR(std::stod(box[2]), 182 / 25.4 * 72, 1);

    ASSERT_EQ(run("'" + out("page.svg") + "' '" + document_ + "'"), 0) << output_;
    const std::string svg = slurp(out("page.svg"));
    EXPECT_NE(svg.find("width=\"257mm\" height=\"182mm\" viewBox=\"0 0 25700 18200\""),
              std::string::npos);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

TEST_F(ExportCli, BadRequestsFailWithOneLine) {
    const std::string doc = "'" + document_ + "'";
    struct Case {
        std::string arguments, message;
    };
    const Case cases[] = {
        {"'" + out("a.png") + "' " + doc + " --dpi 0", "--dpi"},
        {"'" + out("a.png") + "' " + doc + " --dpi 150x", "--dpi"},
        {"'" + out("a.png") + "' " + doc + " --dpi", "--dpi"},
        {"'" + out("a.gif") + "' " + doc, "use .png, .pdf or .svg"},
        {"'" + out("a.png") + "' '" + out("missing.qvp") + "'", "no such document"},
        {"'" + out("a.png") + "' '" + out("points.dat") + "'", "不正なファイルです"},
        {"'" + out("no/such/dir/a.png") + "' " + doc, "cannot write"},
        {"'" + out("a.png") + "'", "usage"},
    };
    for (const Case& c : cases) {
        EXPECT_NE(run(c.arguments), 0) << c.arguments;
        EXPECT_NE(output_.find(c.message), std::string::npos) << c.arguments << "\n" << output_;
        EXPECT_NE(output_.find("ploxwin: "), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(out("a.png")));
}

} // namespace
} // namespace plox
