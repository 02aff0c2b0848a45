// `ploxwin --convert`: the batch way to read any document and write it as version 1.8 (or in
// the 1.5 layout).
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace plox::test {
namespace {

const std::string demo = std::string(PLOX_SOURCE_DIR) + "/examples/demo.qvp";

TEST(Convert, ConvertsTheDemoAndSummarises) {
    TempDir dir;
    const std::string out = dir / "out.qvp";
    const RunResult r = run_ploxwin({"--convert", out, demo});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "graph 1: 3 series, 3 objects\n");
    EXPECT_EQ(r.err, "");
    const std::string text = read_file(out);
    EXPECT_EQ(text.rfind(" PloxWin ver. 1.8  QVP file\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\n" + std::string(PLOX_SOURCE_DIR) + "/examples/data/damped.dat\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\n" + out + "\r\n"), std::string::npos);

    // With data, and the data stay when that document is converted again.
    const RunResult with = run_ploxwin({"--convert", dir / "with.qvp", out, "--with-data"});
    EXPECT_EQ(with.status, 0) << with.err;
    const RunResult again = run_ploxwin({"--convert", dir / "again.qvp", dir / "with.qvp"});
    EXPECT_EQ(again.status, 0) << again.err;
    const std::string kept = read_file(dir / "again.qvp");
    EXPECT_NE(kept.find("\r\n[OTHERS]\r\n 2\r\n"), std::string::npos);
    EXPECT_NE(kept.find("[damped.dat] "), std::string::npos);
    EXPECT_NE(kept.find("[measured.dat] "), std::string::npos);
}

TEST(Convert, FailuresExitNonZeroWithOneLine) {
    TempDir dir;
    write_file(dir / "new.qvp", " PloxWin ver. 1.9  QVP file\r\n");
    RunResult r = run_ploxwin({"--convert", dir / "out.qvp", dir / "new.qvp"});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.err, "ploxwin: 未サポートのQVP-fileです 新しいPloxWinを手に入れてください\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.qvp"));

    r = run_ploxwin({"--convert", dir / "out.qvp", dir / "absent.qvp"});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.err, "ploxwin: absent.qvp が見つかりません。\n");

    r = run_ploxwin({"--convert", dir / "out.qvp"});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

    // An unwritable target: the reason, then the target named.
    r = run_ploxwin({"--convert", dir / "no/such/folder/out.qvp", demo});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("cannot write " + dir / "no/such/folder/out.qvp"), std::string::npos)
        << r.err;
}

TEST(Convert, WritesThe16BitLayoutAndReadsNgraphProjects) {
    TempDir dir;
    const std::string old = dir / "old.qvp";
    RunResult r = run_ploxwin({"--convert", old, demo, "--16bit"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string text = read_file(old);
    EXPECT_EQ(text.rfind(" PloxWin ver. 1.5  QVP file\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\n[TITLE]\r\n"), std::string::npos);
    // The 1.5 layout reads back as the same graph.
    r = run_ploxwin({"--convert", dir / "back.qvp", old});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "graph 1: 3 series, 5 objects\n") << "with the default U and R entries";

    // The delivered converter module recognises the project's first line.
    const std::string converted = dir / "ngraph.qvp";
    r = run_ploxwin(
        {"--convert", converted, std::string(PLOX_SOURCE_DIR) + "/examples/ngraph_resonance.prm"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "graph 1: 2 series, 6 objects\n");
    EXPECT_NE(read_file(converted).find("\r\nConverted from Ngraph ver. 5.3 file\r\n"),
              std::string::npos);
}

} // namespace
} // namespace plox::test
