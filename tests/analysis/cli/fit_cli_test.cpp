// --fit-report and --export-data --curves on a document written for the test.
#include "document/document_io.h"
#include "document/graph_ops.h"
#include "document/model.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace plox {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out, err;
};

std::string read_file(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class FitCli : public ::testing::Test {
protected:
    fs::path dir;

    void SetUp() override {
        std::string templ = (fs::temp_directory_path() / "plox_fit_cliXXXXXX").string();
        dir = mkdtemp(templ.data());
        std::ofstream line(dir / "line.dat");
        for (int i = 0; i < 10; ++i)
            line << i << ' ' << 2 * i + 3 << '\n';
        std::ofstream(dir / "three.dat") << "0 1\n1 2\n2 0\n";
        std::ofstream(dir / "hump.dat") << "0 0\n1 1\n2 0\n";
    }
    void TearDown() override { fs::remove_all(dir); }

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

    Outcome run(const std::string& arguments) {
        const std::string cmd = std::string("'") + PLOXWIN_EXE + "' " + arguments + " > '" +
                                (dir / "out.txt").string() + "' 2> '" + (dir / "err.txt").string() +
                                "'";
        const int status = std::system(cmd.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(dir / "out.txt"),
                read_file(dir / "err.txt")};
    }
};

TEST_F(FitCli, FitReportListsEveryFitAndFailsWhenOneFails) {
    const fs::path doc = write_document();
    const Outcome r = run("--fit-report '" + doc.string() + "'");
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

TEST_F(FitCli, CurvesOfAFitAndASpline) {
    const fs::path doc = write_document();
    const fs::path out = dir / "curve.txt";
    Outcome r =
        run("--export-data '" + out.string() + "' '" + doc.string() + "' --series 1 --curves");
    ASSERT_EQ(r.status, 0) << r.err;
    std::string expected;
    for (int i = 0; i < 10; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "%+9e\t%+9e\r\n", static_cast<double>(i), 2.0 * i + 3);
        expected += line;
    }
    EXPECT_EQ(read_file(out), expected);

    r = run("--export-data '" + out.string() + "' '" + doc.string() +
            "' --series 3 --graph 1 --curves");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = lines_of(read_file(out));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "+0.000000e+00\t+0.000000e+00\r");
    EXPECT_EQ(lines[9], "+2.000000e+00\t+0.000000e+00\r");

    // Plain data has no curve; a failed fit has none either; bad numbers are refused.
    EXPECT_NE(run("--export-data '" + out.string() + "' '" + doc.string() + "' --series 4 --curves")
                  .status,
              0);
    r = run("--export-data '" + out.string() + "' '" + doc.string() + "' --series 5 --curves");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("three.datの最小二乗に失敗しました"), std::string::npos);
    EXPECT_NE(run("--export-data '" + out.string() + "' '" + doc.string() + "' --series 9 --curves")
                  .status,
              0);
    EXPECT_NE(run("--export-data '" + out.string() + "' '" + doc.string() + "' --series x --curves")
                  .status,
              0);
    EXPECT_NE(run("--export-data '" + out.string() + "' '" + (dir / "none.qvp").string() +
                  "' --series 1 --curves")
                  .status,
              0);
}

} // namespace
} // namespace plox
