// --fit-report and --export-data --curves on a document written for the test.
#include "document/document_io.h"
#include "document/graph_ops.h"
#include "document/model.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace plox {
namespace {

namespace fs = std::filesystem;
using test::lines_of;
using test::read_file;
using test::run_ploxwin;
using test::RunResult;

class BatchFits : public ::testing::Test {
protected:
    test::TempDir scratch;
    const fs::path& dir = scratch.root();

    void SetUp() override {
        std::string line;
        for (int i = 0; i < 10; ++i)
            line += std::to_string(i) + ' ' + std::to_string(2 * i + 3) + '\n';
        test::write_file(dir / "line.dat", line);
        test::write_file(dir / "three.dat", "0 1\n1 2\n2 0\n");
        test::write_file(dir / "hump.dat", "0 0\n1 1\n2 0\n");
    }

    fs::path write_document() {
        Graph g;
        g.scales_valid = 1; // keep the axes as set: nothing outside them
        g.axes[AxisX].from = 0;
        g.axes[AxisX].to = 10;
        g.axes[AxisY].from = 0;
        g.axes[AxisY].to = 30;
        const auto add = [&](const char* file, int fit_kind, int degree) -> Series& {
            const int i = add_series(g, (dir / file).string(), nullptr);
            Series& s = g.series[static_cast<size_t>(i)];
            s.kind = fit_kind;
            s.degree = degree;
            s.curve_from = 0;
            s.curve_to = 9;
            s.curve_points = 10;
            return s;
        };
        add("line.dat", kind::Polynomial, 1);
        add("line.dat", kind::General, 8).fit = FitFunction{};
        add("hump.dat", kind::Spline, 0).curve_to = 2;
        add("line.dat", kind::Data, 0);
        add("three.dat", kind::Polynomial, 3);
        IoContext io;
        const fs::path doc = dir / "fits.qvp";
        EXPECT_TRUE(save_document(doc.string(), g, false, io).ok());
        return doc;
    }

    RunResult curves(const fs::path& out, const fs::path& doc, std::string series) {
        return run_ploxwin(
            {"--export-data", out.string(), doc.string(), "--series", series, "--curves"});
    }
};

TEST_F(BatchFits, FitReportListsEveryFitAndFailsWhenOneFails) {
    const fs::path doc = write_document();
    const RunResult r = run_ploxwin({"--fit-report", doc.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "ploxwin: three.datの最小二乗に失敗しました\n");
    const auto lines = lines_of(r.out);
    ASSERT_EQ(lines.size(), 13u) << r.out;
    EXPECT_EQ(lines[0], "graph 1 series 1 line.dat");
    EXPECT_EQ(lines[1], "y=Σan x^n");
    EXPECT_EQ(lines[2], "a0=3.000000e+00");
    EXPECT_EQ(lines[3], "a1=2.000000e+00");
    EXPECT_EQ(lines[5], "|r|=1.000000e+00");
    EXPECT_EQ(lines[6], "graph 1 series 2 line.dat");
    EXPECT_EQ(lines[7], "a*x+b");
    EXPECT_EQ(lines[8], "a=2.000000e+00");
    EXPECT_EQ(lines[9], "b=3.000000e+00");
    EXPECT_EQ(lines[11], "|r|=1.000000e+00");
    EXPECT_EQ(lines[12], "graph 1 series 5 three.dat"); // the spline and plain data are not listed
}

TEST_F(BatchFits, CurvesOfAFitAndASpline) {
    const fs::path doc = write_document();
    const fs::path out = dir / "curve.txt";
    RunResult r = curves(out, doc, "1");
    ASSERT_EQ(r.status, 0) << r.err;
    std::string expected;
    for (int i = 0; i < 10; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%+9e\t%+9e\r\n", static_cast<double>(i), 2.0 * i + 3);
        expected += line;
    }
    EXPECT_EQ(read_file(out), expected);

    r = run_ploxwin(
        {"--export-data", out.string(), doc.string(), "--series", "3", "--graph", "1", "--curves"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = lines_of(read_file(out));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "+0.000000e+00\t+0.000000e+00\r");
    EXPECT_EQ(lines[9], "+2.000000e+00\t+0.000000e+00\r");

    // Plain data has no curve; a failed fit has none either; bad numbers are refused.
    EXPECT_NE(curves(out, doc, "4").status, 0);
    r = curves(out, doc, "5");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("three.datの最小二乗に失敗しました"), std::string::npos);
    EXPECT_NE(curves(out, doc, "9").status, 0);
    EXPECT_NE(curves(out, doc, "x").status, 0);
    EXPECT_NE(curves(out, dir / "none.qvp", "1").status, 0);
}

} // namespace
} // namespace plox
