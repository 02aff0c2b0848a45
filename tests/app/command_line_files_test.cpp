// Words of the window's command line: one path with spaces, or several files of a file manager.
#include "app/command_line_files.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace plox::app {

namespace {

namespace fs = std::filesystem;

struct Folder {
    fs::path dir = fs::temp_directory_path() / ("plox_cmdline_" + std::to_string(::getpid()));
    Folder() { fs::create_directories(dir); }
    ~Folder() { fs::remove_all(dir); }
    std::string make(const std::string& name) const {
        std::ofstream(dir / name) << "1 2\n";
        return (dir / name).string();
    }
};

} // namespace

TEST(CommandLineFiles, SeveralExistingFilesAreOpenedInOrder) {
    Folder f;
    const std::string a = f.make("a.dat"), b = f.make("b.qvp"), c = f.make("c.dat");
    EXPECT_EQ(command_line_files({a, b, c}), (std::vector<std::string>{a, b, c}));
}

TEST(CommandLineFiles, WordsAreOnePathWhenThatPathExistsOrAWordIsNoFile) {
    Folder f;
    // An unquoted name with a space stays one file even when its parts exist too.
    const std::string spaced = f.make("my data.dat");
    f.make("my");
    const std::string first = (f.dir / "my").string();
    EXPECT_EQ(command_line_files({first, "data.dat"}), (std::vector<std::string>{spaced}));
    const std::string a = f.make("a.dat");
    EXPECT_EQ(command_line_files({a, "missing.dat"}),
              (std::vector<std::string>{a + " missing.dat"}));
    EXPECT_EQ(command_line_files({a}), (std::vector<std::string>{a}));
    EXPECT_TRUE(command_line_files({}).empty());
}

} // namespace plox::app
