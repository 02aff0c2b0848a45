// `ploxwin --convert`: the batch way to read any document and write it as version 1.8.
#include "doc_test_util.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace plox {
namespace {

const std::string program = std::string(PLOX_BINARY_DIR) + "/bin/ploxwin";

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs the program with `arguments` (shell-quoted by the caller); stderr joins stdout.
Outcome run(const std::string& arguments) {
    Outcome r;
    FILE* p = ::popen(("QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 '" + program + "' " +
                       arguments + " 2>&1")
                          .c_str(),
                      "r");
    if (!p) return r;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        r.out.append(buf.data(), n);
    const int w = ::pclose(p);
    r.status = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
    return r;
}

class Convert : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(program)) GTEST_SKIP() << "ploxwin is not built";
    }
    test::ScratchDir dir;
};

TEST_F(Convert, ConvertsTheDemoAndSummarises) {
    const std::string out = dir / "out.qvp";
    const Outcome r = run("--convert '" + out + "' '" + PLOX_SOURCE_DIR + "/examples/demo.qvp'");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "graph 1: 3 series, 3 objects\n");
    const std::string text = test::read_file(out);
    EXPECT_EQ(text.rfind(" PloxWin ver. 1.8  QVP file\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\n" + std::string(PLOX_SOURCE_DIR) + "/examples/data/damped.dat\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\n" + out + "\r\n"), std::string::npos);

    // With data, and the data stay when that document is converted again.
    const Outcome with = run("--convert '" + dir / "with.qvp" + "' '" + out + "' --with-data");
    EXPECT_EQ(with.status, 0) << with.out;
    const Outcome again = run("--convert '" + dir / "again.qvp" + "' '" + dir / "with.qvp" + "'");
    EXPECT_EQ(again.status, 0) << again.out;
    const std::string kept = test::read_file(dir / "again.qvp");
    EXPECT_NE(kept.find("\r\n[OTHERS]\r\n 2\r\n"), std::string::npos);
    EXPECT_NE(kept.find("[damped.dat] "), std::string::npos);
    EXPECT_NE(kept.find("[measured.dat] "), std::string::npos);
}

TEST_F(Convert, FailuresExitNonZeroWithOneLine) {
    test::write_file(dir / "new.qvp", " PloxWin ver. 1.9  QVP file\r\n");
    Outcome r = run("--convert '" + dir / "out.qvp" + "' '" + dir / "new.qvp" + "'");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.out, "ploxwin: 未サポートのQVP-fileです 新しいPloxWinを手に入れてください\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.qvp"));

    r = run("--convert '" + dir / "out.qvp" + "' '" + dir / "absent.qvp" + "'");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.out, "ploxwin: absent.qvp が見つかりません。\n");

    r = run("--convert '" + dir / "out.qvp" + "'");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1);
}

} // namespace
} // namespace plox
