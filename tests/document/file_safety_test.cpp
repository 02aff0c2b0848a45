// Hostile file-system entries around documents: links and FIFOs planted where embedded data are
// restored, devices named as data files, outputs that are not regular files.
#include "doc_test_util.h"
#include "document/data_section.h"
#include "document/document_io.h"
#include "document/file_access.h"
#include "document/graph_ops.h"
#include "document/prompter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace plox {
namespace {

namespace fs = std::filesystem;
using test::read_file;
using test::TempDir;
using test::write_file;

struct Fixture {
    TempDir dir;
    RecordingPrompter prompter{Answer::Yes};
    IoContext ctx;
    Fixture() {
        ctx.prompter = &prompter;
        ctx.temp_dir = dir / "tmp/";
        fs::create_directories(ctx.temp_dir);
    }
    // A document with one series whose data are embedded under the name "x.dat".
    std::string embedded_document() {
        write_file(dir / "src/x.dat", "1 2\r\n3 4\r\n");
        Graph g;
        add_series(g, dir / "src/x.dat", nullptr);
        const std::string path = dir / "doc.qvp";
        EXPECT_TRUE(save_document(path, g, true, ctx).ok());
        fs::remove(dir / "src/x.dat");
        return path;
    }
};

TEST(FileSafety, PlantedLinkIsReplacedNotFollowed) {
    Fixture f;
    const std::string doc = f.embedded_document();
    const std::string victim = f.dir / "victim.txt";
    write_file(victim, "precious");
    fs::create_symlink(victim, f.ctx.temp_dir + "x.dat");
    const std::string absent = f.dir / "absent.txt";
    fs::create_symlink(absent, f.ctx.temp_dir + "y.dat");

    GraphSet set;
    ASSERT_TRUE(load_document(doc, set, f.ctx).ok());
    EXPECT_EQ(read_file(victim), "precious");
    EXPECT_FALSE(fs::is_symlink(f.ctx.temp_dir + "x.dat"));
    EXPECT_EQ(read_file(f.ctx.temp_dir + "x.dat"), "1 2\r\n3 4\r\n");
    EXPECT_FALSE(fs::exists(absent));
}

TEST(FileSafety, PlantedFifoDoesNotBlockTheExtraction) {
    Fixture f;
    const std::string doc = f.embedded_document();
    ASSERT_EQ(::mkfifo((f.ctx.temp_dir + "x.dat").c_str(), 0600), 0);
    GraphSet set;
    ASSERT_TRUE(load_document(doc, set, f.ctx).ok()); // would block for ever opening the FIFO
    EXPECT_TRUE(fs::is_regular_file(f.ctx.temp_dir + "x.dat"));
    EXPECT_EQ(read_file(f.ctx.temp_dir + "x.dat"), "1 2\r\n3 4\r\n");
}

TEST(FileSafety, DevicesAndFifosAreNeverEmbedded) {
    Fixture f;
    const std::string fifo = f.dir / "pipe.dat";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    write_file(f.dir / "ok.dat", "5 6\n");
    Graph g;
    add_series(g, "/dev/zero", nullptr);
    add_series(g, fifo, nullptr);
    add_series(g, f.dir / "ok.dat", nullptr);
    const std::string path = f.dir / "doc.qvp";
    ASSERT_TRUE(save_document(path, g, true, f.ctx).ok());
    const std::string all = read_file(path);
    const std::string text = all.substr(all.find("[DATA]"));
    EXPECT_EQ(text.find("[zero]"), std::string::npos);
    EXPECT_EQ(text.find("[pipe.dat]"), std::string::npos);
    EXPECT_NE(text.find("[ok.dat]"), std::string::npos);
    std::string said;
    for (const auto& m : f.prompter.shown)
        said += m.text + "\n";
    EXPECT_NE(said.find("/dev/zero"), std::string::npos) << said;
    EXPECT_NE(said.find(fifo), std::string::npos) << said;
}

TEST(FileSafety, OutputThatIsNotARegularFileIsRefused) {
    Fixture f;
    Graph g;
    const std::string fifo = f.dir / "out.qvp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(save_document(fifo, g, false, f.ctx).ok());
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)); // left as it was
    EXPECT_FALSE(save_document(f.dir.dir(), g, false, f.ctx).ok());

    std::string message;
    EXPECT_FALSE(files::write_atomically("/dev/null", "x", message));
    EXPECT_NE(message.find("device"), std::string::npos) << message;
    fs::create_symlink("/dev/null", f.dir / "null-link");
    EXPECT_FALSE(files::write_atomically(f.dir / "null-link", "x", message));
    fs::create_symlink(f.dir / "nowhere", f.dir / "dangling");
    EXPECT_FALSE(files::write_atomically(f.dir / "dangling", "x", message));
}

TEST(FileSafety, LinkToARegularFileIsWrittenThroughAndKept) {
    Fixture f;
    write_file(f.dir / "real.qvp", "old");
    ::chmod((f.dir / "real.qvp").c_str(), 0640);
    fs::create_symlink(f.dir / "real.qvp", f.dir / "link.qvp");
    std::string message;
    ASSERT_TRUE(files::write_atomically(f.dir / "link.qvp", "new", message)) << message;
    EXPECT_TRUE(fs::is_symlink(f.dir / "link.qvp"));
    EXPECT_EQ(read_file(f.dir / "real.qvp"), "new");
    struct stat st {};
    ASSERT_EQ(::stat((f.dir / "real.qvp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(FileSafety, ReadersRefuseSpecialFilesAtOnce) {
    Fixture f;
    const std::string fifo = f.dir / "pipe.qvp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    GraphSet set;
    EXPECT_FALSE(load_document(fifo, set, f.ctx).ok());
    EXPECT_FALSE(file_has_version_line(fifo, nullptr));
    std::string bytes;
    int error = 0;
    EXPECT_FALSE(files::read_regular("/dev/zero", bytes, error));
    EXPECT_EQ(error, EINVAL);
    EXPECT_FALSE(files::read_regular(f.dir.dir(), bytes, error));
    EXPECT_EQ(error, EISDIR);
    write_file(f.dir / "big", std::string(100, 'x'));
    EXPECT_FALSE(files::read_regular(f.dir / "big", bytes, error, 99));
    EXPECT_EQ(error, EFBIG);
    EXPECT_TRUE(files::read_regular(f.dir / "big", bytes, error, 100));
}

TEST(FileSafety, PrivateFolderRefusesLinksAndOpensUp) {
    TempDir dir;
    EXPECT_TRUE(files::ensure_private_folder(dir / "p"));
    struct stat st {};
    ASSERT_EQ(::stat((dir / "p").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ::chmod((dir / "p").c_str(), 0755);
    EXPECT_TRUE(files::ensure_private_folder(dir / "p"));
    ASSERT_EQ(::stat((dir / "p").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    fs::create_symlink(dir / "p", dir / "q");
    EXPECT_FALSE(files::ensure_private_folder(dir / "q"));
}

} // namespace
} // namespace plox
