// The delivered converter module through the program's binding: its converters and the first
// lines of Ngraph projects.
#include "document/prompter.h"
#include "extension/bindings.h"
#include "extension/module.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace plox {
namespace {

struct Converted {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("ploxfil-test-" + std::to_string(::getpid()));
    Converted() { std::filesystem::create_directories(dir); }
    ~Converted() { std::filesystem::remove_all(dir); }
    std::string run(const ConverterModule& m, const std::string& text, int32_t converter) {
        const std::string source = (dir / "in.txt").string(), out = (dir / "out.txt").string();
        std::ofstream(source, std::ios::binary) << text;
        std::filesystem::remove(out);
        if (!m.convert(source, out, converter)) return "(failed)";
        std::ifstream in(out, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

ConverterModule bound() {
    const std::string path = find_module(CONVERTER_FILE);
    return ConverterModule(open_library(path), path);
}

TEST(Ploxfil, ListsItsConvertersAndVersion) {
    const ConverterModule m = bound();
    EXPECT_EQ(m.names(), (std::vector<std::string>{"CSV (header row)", "Decimal comma table"}));
    EXPECT_EQ(m.version(), 0x0001);
}

TEST(Ploxfil, RecognisesNgraphProjectsOnly) {
    const ConverterModule m = bound();
    EXPECT_EQ(m.check_header("%Ngraph ver.5.3 project"), 0);
    EXPECT_EQ(m.check_header("%NGRAPH 5.3 with data"), 1);
    EXPECT_EQ(m.check_header("%Ngraph ver.6.0"), -1) << "only the 5.3 layout is read";
    EXPECT_EQ(m.check_header(" PloxWin ver. 1.8  QVP file"), -1);
    EXPECT_EQ(m.check_header("1 2 3"), -1);
    EXPECT_EQ(m.check_header(""), -1);
}

TEST(Ploxfil, CsvWithHeaderRow) {
    const ConverterModule m = bound();
    Converted c;
    EXPECT_EQ(c.run(m, "\"time\",\"U, V\"\r\n1,2\n3,,\n\n\"4\",5", 1),
              "# time U, V\r\n1,2\r\n3,,\r\n\r\n4,5\r\n");
    EXPECT_EQ(c.run(m, "a;b\n1,5;2,25\n", 1), "# a b\r\n1.5,2.25\r\n")
        << "semicolons: commas are decimal signs";
    EXPECT_EQ(c.run(m, "x\n1\n", 3), "(failed)");
    EXPECT_FALSE(m.convert((c.dir / "missing").string(), (c.dir / "o").string(), 1));
}

TEST(Ploxfil, DecimalCommaTable) {
    const ConverterModule m = bound();
    Converted c;
    EXPECT_EQ(c.run(m, "# a, b\n1,5\t2,25 ; 3\n  -0,5   1e3\n", 2),
              "# a, b\r\n1.5 2.25 3\r\n-0.5 1e3\r\n");
}

} // namespace
} // namespace plox
