// The colour computation against the real table, the numeric input, and whole runs.
#include "basic_runtime.h"
#include "chromix.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;
using chromix::NumberInput;
using plox::test::read_file;
using plox::test::TempDir;
using plox::test::write_file;

namespace {

const fs::path data_dir = fs::path(PLOX_SOURCE_DIR) / "chromix" / "data";

std::vector<std::array<float, 3>> load_table() {
    std::ifstream f(data_dir / chromix::TABLE_FILE);
    NumberInput in(f);
    std::vector<std::array<float, 3>> table(chromix::RECORD_COUNT);
    for (auto& row : table) {
        float w;
        EXPECT_EQ(in.read(w), NumberInput::Status::Ok);
        for (float& v : row)
            EXPECT_EQ(in.read(v), NumberInput::Status::Ok);
    }
    return table;
}

std::string spectrum_text(int records, int peak = -1) {
    std::string text;
    for (int i = 0; i < records; ++i)
        text += std::to_string(380 + i) + "," + (peak < 0 || i == peak ? "1" : "0") + "\n";
    return text;
}

} // namespace

TEST(ChromixInput, ItemsSeparatedByCommasLineEndsAndBlanks) {
    std::istringstream s(" 1.5, -2e3\r\n+4 ,,7\n\n  .25\t,8");
    NumberInput in(s);
    float v;
    const float expected[] = {1.5f, -2000.0f, 4.0f, 0.0f, 7.0f, 0.25f, 8.0f};
    for (float e : expected) {
        ASSERT_EQ(in.read(v), NumberInput::Status::Ok);
        EXPECT_EQ(v, e);
    }
    EXPECT_EQ(in.read(v), NumberInput::Status::PastEnd);
}

TEST(ChromixInput, RejectsItemsThatAreNotNumbers) {
    const std::string long_item(400, '1');
    for (const std::string& text :
         {std::string("abc"), std::string("1.5x"), std::string("1e99"), std::string("++1"),
          std::string("nan"), std::string("1 2"), long_item}) {
        std::istringstream s(text);
        NumberInput in(s);
        float v;
        EXPECT_EQ(in.read(v), NumberInput::Status::NotNumeric) << text;
    }
}

TEST(ChromixColour, SingleRecordGivesThatRecordsChromaticity) {
    const auto table = load_table();
    for (int i : {0, 175, 220, 300}) {
        std::vector<float> s(chromix::RECORD_COUNT, 0.0f);
        s[i] = 1;
        const auto r = chromix::compute_colour(s, table);
        const float sum = table[i][0] + table[i][1] + table[i][2];
        EXPECT_FLOAT_EQ(r.x, table[i][0] / sum) << i;
        EXPECT_FLOAT_EQ(r.y, table[i][1] / sum) << i;
        EXPECT_FLOAT_EQ(r.XSTI, table[i][0]);
    }
}

TEST(ChromixColour, EqualEnergyAndExampleSpectrumMatchReferenceSums) {
    const auto table = load_table();
    const auto flat =
        chromix::compute_colour(std::vector<float>(chromix::RECORD_COUNT, 1.0f), table);
    EXPECT_NEAR(flat.XSTI, 106.855, 2e-3);
    EXPECT_NEAR(flat.YSTI, 106.856, 2e-3);
    EXPECT_NEAR(flat.ZSTI, 106.846, 2e-3);
    EXPECT_NEAR(flat.x, 1.0 / 3, 1e-4);

    std::ifstream f(data_dir / "example_spectrum.dat");
    NumberInput in(f);
    std::vector<float> s(chromix::RECORD_COUNT);
    for (float& v : s) {
        float w;
        ASSERT_EQ(in.read(w), NumberInput::Status::Ok);
        ASSERT_EQ(in.read(v), NumberInput::Status::Ok);
    }
    const auto r = chromix::compute_colour(s, table);
    EXPECT_NEAR(r.XSTI, 45.7692, 1e-3);
    EXPECT_NEAR(r.YSTI, 30.1765, 1e-3);
    EXPECT_NEAR(r.ZSTI, 10.1793, 1e-3);
    EXPECT_NEAR(r.x, 0.53143, 1e-4);
    EXPECT_NEAR(r.y, 0.35038, 1e-4);
}

TEST(ChromixColour, NegativeChannelIsWrittenZeroAndHighestIs255) {
    const auto table = load_table();
    std::vector<float> s(chromix::RECORD_COUNT, 0.0f);
    s[520 - 380] = 1; // a spectral green lies outside the sRGB gamut: R' < 0
    const auto r = chromix::compute_colour(s, table);
    ASSERT_LT(r.R1, 0);
    EXPECT_EQ(r.MIN, r.R1);
    EXPECT_EQ(r.R, 0);
    EXPECT_FLOAT_EQ(r.G, 255);
    EXPECT_FLOAT_EQ(r.B, (r.B1 - r.MIN) / (r.MAX - r.MIN) * 255);
    EXPECT_GT(r.B, 0);
}

TEST(ChromixColour, DarkSpectrumHasNoUndefinedValues) {
    const auto table = load_table();
    const auto r = chromix::compute_colour(std::vector<float>(chromix::RECORD_COUNT, 0.0f), table);
    EXPECT_EQ(r.x, 0);
    EXPECT_EQ(r.R, 0);
    EXPECT_EQ(r.G, 0);
    EXPECT_EQ(r.B, 0);
}

TEST(ChromixRun, ResultFileNameKeepsTheDirectory) {
    EXPECT_EQ(chromix::result_path("spectrum.dat"), fs::path("RGB_spectrum.dat"));
    EXPECT_EQ(chromix::result_path("sub/dir/spectrum.dat"), fs::path("sub/dir/RGB_spectrum.dat"));
}

TEST(ChromixRun, FatalErrorsNameTheTextAndStatement) {
    TempDir dir;
    std::istringstream in("spectrum.dat\n");
    std::ostringstream out, err;
    EXPECT_EQ(chromix::run(in, out, err, dir.root()), 1);
    EXPECT_EQ(err.str(), "続行不可能なエラーが発生しました File not found [1行]\n");

    fs::copy_file(data_dir / chromix::TABLE_FILE, dir.root() / chromix::TABLE_FILE);
    const struct {
        std::string spectrum;
        std::string message;
    } cases[] = {
        {"", "File not found [3行]"}, // no spectrum file at all
        {spectrum_text(400), "Input past end [7行]"},
        {spectrum_text(10) + "390,abc\n" + spectrum_text(400), "Type mismatch [7行]"},
    };
    for (const auto& c : cases) {
        fs::remove(dir.root() / "spectrum.dat");
        if (!c.spectrum.empty()) write_file(dir.root() / "spectrum.dat", c.spectrum);
        std::istringstream in2("spectrum.dat\n");
        std::ostringstream out2, err2;
        EXPECT_EQ(chromix::run(in2, out2, err2, dir.root()), 1);
        EXPECT_EQ(err2.str(), "続行不可能なエラーが発生しました " + c.message + "\n");
    }

    // A table of fewer than 401 records stops at the table's input statement.
    write_file(dir.root() / chromix::TABLE_FILE, "380,1,1,1\n");
    write_file(dir.root() / "spectrum.dat", spectrum_text(401));
    std::istringstream in3("spectrum.dat\n");
    std::ostringstream out3, err3;
    EXPECT_EQ(chromix::run(in3, out3, err3, dir.root()), 1);
    EXPECT_EQ(err3.str(), "続行不可能なエラーが発生しました Input past end [6行]\n");
}

TEST(ChromixRun, EndToEndThroughStandardInput) {
    TempDir dir;
    fs::copy_file(data_dir / chromix::TABLE_FILE, dir.root() / chromix::TABLE_FILE);
    fs::create_directory(dir.root() / "sub");
    fs::copy_file(data_dir / "example_spectrum.dat", dir.root() / "sub" / "example_spectrum.dat");
    const std::string cmd = "cd '" + dir.root().string() +
                            "' && echo 'sub/example_spectrum.dat' | '" + CHROMIX_EXE +
                            "' > screen.txt 2> errors.txt";
    ASSERT_EQ(std::system(cmd.c_str()), 0);

    const std::string file = read_file(dir.root() / "sub" / "RGB_example_spectrum.dat");
    const std::string screen = read_file(dir.root() / "screen.txt");
    EXPECT_EQ(read_file(dir.root() / "errors.txt"), "");
    EXPECT_EQ(screen.rfind("fine name", 0), 0u);

    std::istringstream lines(file);
    std::string header, values, rest;
    ASSERT_TRUE(std::getline(lines, header));
    ASSERT_TRUE(std::getline(lines, values));
    EXPECT_FALSE(std::getline(lines, rest));
    EXPECT_EQ(header, "X, Y, Z, x, y, R, G, B\r");
    ASSERT_EQ(values.back(), '\r');
    values.pop_back();
    EXPECT_NE(screen.find(header.substr(0, header.size() - 1) + "\n" + values + "\n"),
              std::string::npos);

    std::istringstream items(values);
    NumberInput in(items);
    float v[8];
    for (float& x : v)
        ASSERT_EQ(in.read(x), NumberInput::Status::Ok);
    EXPECT_NEAR(v[0], 45.7692, 1e-3);
    EXPECT_NEAR(v[3], 0.53143, 1e-4);
    EXPECT_NEAR(v[4], 0.35038, 1e-4);
    EXPECT_FLOAT_EQ(std::max({v[5], v[6], v[7]}), 255); // orange: red is the highest channel
    EXPECT_EQ(v[5], std::max({v[5], v[6], v[7]}));
}

TEST(ChromixRun, MissingSpectrumEndsTheProgramWithTheFatalMessage) {
    TempDir dir;
    fs::copy_file(data_dir / chromix::TABLE_FILE, dir.root() / chromix::TABLE_FILE);
    const std::string cmd = "cd '" + dir.root().string() + "' && echo 'nothing.dat' | '" +
                            CHROMIX_EXE + "' > screen.txt 2> errors.txt";
    const int status = std::system(cmd.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_EQ(read_file(dir.root() / "errors.txt"),
              "続行不可能なエラーが発生しました File not found [3行]\n");
    EXPECT_FALSE(fs::exists(dir.root() / "RGB_nothing.dat"));
}
