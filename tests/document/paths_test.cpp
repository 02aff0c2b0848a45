// Windows and POSIX paths, case-insensitive lookup, relocation and resolution after reading.
#include "doc_test_util.h"
#include "document/graph_ops.h"
#include "document/paths.h"

#include <gtest/gtest.h>

namespace plox {
namespace {

using namespace paths;

TEST(Paths, SplitsWindowsAndPosixPaths) {
    EXPECT_EQ(directory_of("C:\\a\\b\\x.dat"), "C:\\a\\b\\");
    EXPECT_EQ(file_name_of("C:\\a\\b\\x.dat"), "x.dat");
    EXPECT_EQ(file_name_of("C:x.dat"), "x.dat");
    EXPECT_EQ(directory_of("/home/u/x.dat"), "/home/u/");
    EXPECT_EQ(file_name_of("x.dat"), "x.dat");
    EXPECT_EQ(stem_of("/a/run.1.dat"), "run.1");
    EXPECT_EQ(display_name(""), "(Untitled)");
    EXPECT_TRUE(has_drive("c:\\x"));
    EXPECT_FALSE(has_drive("/x"));
    EXPECT_TRUE(has_directory("a/x"));
    EXPECT_FALSE(has_directory("C:x"));
    // 0x5C as the second byte of a Shift-JIS character is no separator ("表" = 95 5C).
    EXPECT_EQ(file_name_of("C:\\d\\\x95\\.dat"), "\x95\\.dat");
}

TEST(Paths, ComparesCaseInsensitivelyAcrossSeparators) {
    EXPECT_TRUE(equal_nocase("C:\\Data\\X.DAT", "c:/data/x.dat"));
    EXPECT_FALSE(equal_nocase("a.dat", "b.dat"));
}

TEST(Paths, FindsFilesWhatEverTheCase) {
    test::TempDir dir;
    test::write_file(dir / "Data/Run1.DAT", "1 2\n");
    EXPECT_EQ(find_existing(dir / "Data/Run1.DAT"), dir / "Data/Run1.DAT");
    EXPECT_EQ(find_existing(dir / "data/run1.dat"), dir / "Data/Run1.DAT");
    EXPECT_EQ(find_existing(dir.dir() + "DATA\\run1.dat"), dir / "Data/Run1.DAT");
    EXPECT_FALSE(find_existing(dir / "data/run2.dat"));
    EXPECT_FALSE(find_existing(dir / "data")); // a folder is no data file
    EXPECT_FALSE(find_existing("C:\\a\\x.dat"));
    EXPECT_FALSE(find_existing(""));
}

TEST(Paths, RelocatesAMovedTree) {
    EXPECT_EQ(relocate("C:\\a\\b\\data\\", "C:\\a\\b\\", "E:\\new\\"), "E:\\new\\data/");
    EXPECT_EQ(relocate("C:\\a\\b\\data\\", "C:\\A\\x\\docs\\", "/home/u/x/docs/"),
              "/home/u/b/data/");
    EXPECT_EQ(relocate("D:\\other\\", "C:\\a\\", "/m/"), "/m/D:/other/");
}

TEST(Paths, ResolvesAMovedDocumentTree) {
    test::TempDir dir;
    test::write_file(dir / "new/data/x.dat", "1 2\n");
    test::write_file(dir / "new/near.dat", "1 2\n");
    Graph g;
    add_series(g, "C:\\a\\b\\data\\x.dat", nullptr);
    add_series(g, "near.dat", nullptr);
    add_series(g, "C:\\elsewhere\\NEAR.dat", nullptr);
    add_series(g, "C:\\a\\b\\gone.dat", nullptr);
    g.series[add_series(g, "", nullptr)].kind = kind::Function;
    ResolveOptions o;
    o.document_path = dir / "new/doc.qvp";
    o.saved_path = "C:\\a\\b\\doc.qvp";
    const std::vector<int> missing = resolve_paths(g, o);
    EXPECT_EQ(g.series[0].file_name, dir / "new/data/x.dat");
    EXPECT_EQ(g.series[1].file_name, dir / "new/near.dat");
    EXPECT_EQ(g.series[2].file_name, dir / "new/near.dat");
    EXPECT_EQ(missing, std::vector<int>{3});
    EXPECT_EQ(g.series[4].file_name, "");
}

TEST(Paths, EmbeddedDataComeFromTheTemporaryFolder) {
    test::TempDir dir;
    test::write_file(dir / "tmp/x.dat", "restored\n");
    test::write_file(dir / "orig/x.dat", "original\n");
    Graph g;
    add_series(g, dir / "orig/x.dat", nullptr);
    add_series(g, "C:\\gone\\x.dat", nullptr);
    g.objects[0].used = 1;
    g.objects[0].Type = object_type::Picture;
    g.objects[0].Str = "C:\\pics\\x.dat";
    ResolveOptions o;
    o.document_path = dir / "doc.qvp";
    o.data_embedded = true;
    o.temp_dir = dir / "tmp/";
    Graph prefer = g;
    EXPECT_TRUE(resolve_paths(g, o).empty());
    EXPECT_EQ(g.series[0].file_name, dir / "orig/x.dat");
    EXPECT_EQ(g.series[1].file_name, dir / "tmp/x.dat");
    EXPECT_EQ(g.objects[0].Str, dir / "tmp/x.dat");
    o.prefer_temp = true;
    resolve_paths(prefer, o);
    EXPECT_EQ(prefer.series[0].file_name, dir / "tmp/x.dat");
}

TEST(Paths, OpenErrorsInTheProgramsWords) {
    EXPECT_EQ(open_error_message(ENOENT, "/a/x.dat"), "x.dat が見つかりません。");
    EXPECT_EQ(open_error_message(EROFS, "/a/x.dat"), "書き込み禁止エラーです。(x.dat)");
    EXPECT_EQ(open_error_message(EACCES, "/a/x.qvp", true), "x.qvp: 作成できません。");
    EXPECT_EQ(open_error_message(EIO, "/a/x.dat"), "FileOpen Error x.dat");
}

} // namespace
} // namespace plox
