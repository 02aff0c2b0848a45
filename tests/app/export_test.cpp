// End to end: ploxwin --export writes a document's page, and refuses bad requests with a
// one-line message and a failure status.
#include "document/document_io.h"
#include "document/prompter.h"

#include "test_support.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace plox {
namespace {

namespace fs = std::filesystem;

using test::read_file;
using test::run_ploxwin;

class Export : public ::testing::Test {
protected:
    void SetUp() override {
        test::write_file(dir_ / "points.dat", "0 1\r\n1 3\r\n2 2\r\n3 5\r\n");
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
    // --export with `arguments`; what it wrote on standard error is kept in `output_`.
    int run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "--export");
        const test::RunResult r = run_ploxwin(arguments);
        output_ = r.err;
        return r.status;
    }
    std::string out(const std::string& name) const { return (dir_ / name).string(); }

    test::TempDir scratch_;
    const fs::path& dir_ = scratch_.root();
    std::string document_;
    std::string output_;
};

TEST_F(Export, WritesEveryFormatOnTheDocumentsPaper) {
    ASSERT_EQ(run({out("page.png"), document_}), 0) << output_;
    const QImage png(QString::fromStdString(out("page.png")));
    EXPECT_EQ(png.size(), QSize(1518, 1075)); // 257 × 182 mm at 150 dpi
    ASSERT_EQ(run({out("small.png"), document_, "--dpi", "72"}), 0) << output_;
    EXPECT_EQ(QImage(QString::fromStdString(out("small.png"))).size(), QSize(729, 516));

    ASSERT_EQ(run({out("page.pdf"), document_}), 0) << output_;
    const std::string pdf = read_file(out("page.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    std::smatch box;
    ASSERT_TRUE(
        std::regex_search(pdf, box, std::regex(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])")));
    EXPECT_NEAR(std::stod(box[1]), 257 / 25.4 * 72, 1); // landscape B5 in points
    EXPECT_NEAR(std::stod(box[2]), 182 / 25.4 * 72, 1);

    ASSERT_EQ(run({out("page.svg"), document_}), 0) << output_;
    const std::string svg = read_file(out("page.svg"));
    EXPECT_NE(svg.find("width=\"257mm\" height=\"182mm\" viewBox=\"0 0 25700 18200\""),
              std::string::npos);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

TEST_F(Export, BadRequestsFailWithOneLine) {
    const std::string& doc = document_;
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{out("a.png"), doc, "--dpi", "0"}, "--dpi"},
        {{out("a.png"), doc, "--dpi", "150x"}, "--dpi"},
        {{out("a.png"), doc, "--dpi"}, "--dpi"},
        {{out("a.gif"), doc}, "use .png, .pdf, .svg, .emf or .wmf"},
        {{out("a.png"), out("missing.qvp")}, "no such document"},
        {{out("a.png"), out("points.dat")}, "不正なファイルです"},
        {{out("no/such/dir/a.png"), doc}, "cannot write"},
        {{out("a.png")}, "usage"},
    };
    for (const Case& c : cases) {
        const std::string shown = testing::PrintToString(c.arguments);
        EXPECT_NE(run(c.arguments), 0) << shown;
        EXPECT_NE(output_.find(c.message), std::string::npos) << shown << "\n" << output_;
        // One line each, in the program's own name.
        EXPECT_EQ(output_.rfind("ploxwin: ", 0), 0u) << output_;
        EXPECT_EQ(std::count(output_.begin(), output_.end(), '\n'), 1) << output_;
    }
    EXPECT_FALSE(fs::exists(out("a.png")));
}

} // namespace
} // namespace plox
