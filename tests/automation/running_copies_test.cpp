// The extracted-files list: which lists a copy takes over and what the last copy deletes.
#include "fixtures.h"

#include "automation/running_copies.h"
#include "document/model.h"

#include <filesystem>
#include <fstream>

namespace plox::test {

namespace {

namespace fs = std::filesystem;

void append_record(const std::string& list, const std::string& path) {
    char record[PATH_CAPACITY] = {};
    path.copy(record, PATH_CAPACITY - 1);
    std::ofstream(list, std::ios::binary | std::ios::app).write(record, sizeof record);
}

} // namespace

TEST(RunningCopies, OnlyFilesDirectlyInsideTheTemporaryFolderCount) {
    TempDir dir;
    const std::string temp = dir.path("tmp");
    fs::create_directories(temp + "/sub");
    EXPECT_TRUE(is_directly_inside(temp + "/a.dat", temp));
    EXPECT_TRUE(is_directly_inside(temp + "/./a.dat", temp + "/"));
    EXPECT_FALSE(is_directly_inside(temp + "/sub/a.dat", temp));
    EXPECT_FALSE(is_directly_inside(temp + "/../a.dat", temp));
    EXPECT_FALSE(is_directly_inside(temp + "/sub/..", temp));
    EXPECT_FALSE(is_directly_inside("a.dat", temp));
    EXPECT_FALSE(is_directly_inside(temp + "/a.dat", ""));

    const std::string list = dir.write("tmp/QVD12ab", "");
    EXPECT_TRUE(is_acceptable_list(list, temp));
    EXPECT_FALSE(is_acceptable_list(dir.write("tmp/other", ""), temp));
    EXPECT_FALSE(is_acceptable_list(dir.write("QVDoutside", ""), temp));
    EXPECT_FALSE(is_acceptable_list(temp + "/QVDmissing", temp));
    fs::create_directory_symlink(temp + "/sub", temp + "/QVDlink");
    EXPECT_FALSE(is_acceptable_list(temp + "/QVDlink", temp));
}

TEST(RunningCopies, TheLastCopyDeletesListedFilesInsideTheFolderOnly) {
    TempDir dir;
    const std::string temp = dir.path("tmp");
    fs::create_directories(temp);
    const std::string restored = dir.write("tmp/a.dat", "1 2\n");
    const std::string own = dir.write("tmp/b.dat", "1 2\n");
    const std::string outside = dir.write("keep.dat", "1 2\n");
    const std::string sneaky = temp + "/../keep.dat";
    const std::string list = dir.write("tmp/QVDlist", "");
    append_record(list, restored);
    append_record(list, outside);
    append_record(list, sneaky);
    delete_extracted_files(list, {own, outside}, temp);
    EXPECT_FALSE(fs::exists(restored));
    EXPECT_FALSE(fs::exists(own));
    EXPECT_FALSE(fs::exists(list));
    EXPECT_TRUE(fs::exists(outside));
}

} // namespace plox::test
