// Hostile files for the tool's reader: random bytes, NUL bytes, huge lines and a directory
// in place of a file end in a result or a fatal message, never a crash or a hang.
#include "basic_runtime.h"
#include "chromix.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using chromix::NumberInput;

namespace {

int run_with_spectrum(const fs::path& dir, const std::string& bytes, std::string& err) {
    std::ofstream(dir / "spectrum.dat", std::ios::binary) << bytes;
    std::istringstream in("spectrum.dat\n");
    std::ostringstream out, e;
    const int status = chromix::run(in, out, e, dir);
    err = e.str();
    return status;
}

} // namespace

TEST(ChromixHostile, RandomBytesNeverCrash) {
    std::mt19937 random(99);
    const std::string alphabet = "0123456789.,-+eE \t\r\n\0xZ\xff";
    for (int round = 0; round < 300; ++round) {
        std::string text(static_cast<size_t>(random() % 2000), ' ');
        for (char& c : text)
            c = round % 2 ? alphabet[random() % alphabet.size()]
                          : static_cast<char>(random() % 256);
        std::istringstream s(text);
        NumberInput in(s);
        float v;
        int items = 0;
        while (in.read(v) == NumberInput::Status::Ok)
            ASSERT_LT(++items, 4000);
    }
}

TEST(ChromixHostile, BadSpectrumFilesEndWithTheFatalMessage) {
    const plox::test::TempDir scratch;
    const fs::path& dir = scratch.root();
    fs::copy_file(fs::path(PLOX_SOURCE_DIR) / "chromix" / "data" / chromix::TABLE_FILE,
                  dir / chromix::TABLE_FILE);
    std::string err;
    EXPECT_EQ(run_with_spectrum(dir, std::string(10 << 20, '7'), err), 1); // one 10 MB item
    EXPECT_EQ(err, "続行不可能なエラーが発生しました Type mismatch [7行]\n");
    EXPECT_EQ(run_with_spectrum(dir, std::string("380,1\n\0\0\0", 9), err), 1);
    EXPECT_EQ(err, "続行不可能なエラーが発生しました Type mismatch [7行]\n");
    EXPECT_EQ(run_with_spectrum(dir, "", err), 1);
    EXPECT_EQ(err, "続行不可能なエラーが発生しました Input past end [7行]\n");

    fs::remove(dir / "spectrum.dat");
    fs::create_directory(dir / "spectrum.dat");
    std::istringstream in("spectrum.dat\n");
    std::ostringstream out, e;
    EXPECT_EQ(chromix::run(in, out, e, dir), 1);
    EXPECT_EQ(e.str(), "続行不可能なエラーが発生しました File not found [3行]\n");

    // No answer to the prompt at all.
    std::istringstream nothing("");
    std::ostringstream out2, e2;
    EXPECT_EQ(chromix::run(nothing, out2, e2, dir), 1);
    EXPECT_EQ(e2.str(), "続行不可能なエラーが発生しました Input past end [2行]\n");
}

// A FIFO as the typed spectrum name, the colour table or the result file is refused at once
// instead of blocking the tool for ever.
TEST(ChromixHostile, FifosAreRefusedWithoutBlocking) {
    const plox::test::TempDir scratch, scratch2;
    const fs::path dir = scratch.root();
    const fs::path table = fs::path(PLOX_SOURCE_DIR) / "chromix" / "data" / chromix::TABLE_FILE;
    ASSERT_EQ(::mkfifo((dir / "pipe.dat").c_str(), 0600), 0);
    fs::copy_file(table, dir / chromix::TABLE_FILE);
    std::istringstream in("pipe.dat\n");
    std::ostringstream out, err;
    EXPECT_EQ(chromix::run(in, out, err, dir), 1);
    EXPECT_NE(err.str().find("File not found"), std::string::npos) << err.str();

    const fs::path dir2 = scratch2.root();
    ASSERT_EQ(::mkfifo((dir2 / chromix::TABLE_FILE).c_str(), 0600), 0);
    std::istringstream in2("x.dat\n");
    std::ostringstream out2, err2;
    EXPECT_EQ(chromix::run(in2, out2, err2, dir2), 1);
    EXPECT_NE(err2.str().find("File not found"), std::string::npos) << err2.str();

    // The result name RGB_s.dat is a FIFO: no one would ever read it.
    fs::copy_file(fs::path(PLOX_SOURCE_DIR) / "chromix" / "data" / "example_spectrum.dat",
                  dir / "s.dat");
    ASSERT_EQ(::mkfifo((dir / "RGB_s.dat").c_str(), 0600), 0);
    std::istringstream in3("s.dat\n");
    std::ostringstream out3, err3;
    EXPECT_EQ(chromix::run(in3, out3, err3, dir), 1);
    EXPECT_NE(err3.str().find("Path not found"), std::string::npos) << err3.str();
}
