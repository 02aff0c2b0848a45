// The batch options against hostile file systems: links and FIFOs planted in the temporary
// folder, devices named as data, document arguments that loop, outputs that are not regular
// files, and a full disk. Every run is bounded by a timeout so that a hang fails instead of
// stalling the suite.
#include "document/document_io.h"
#include "document/graph_ops.h"
#include "document/model.h"
#include "document/prompter.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace plox {
namespace {

namespace fs = std::filesystem;
using test::read_file;

class CliHardening : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = (fs::temp_directory_path() / ("plox-hard-" + std::to_string(rd()))).string() + "/";
        fs::create_directories(dir_ + "tmp");
        fs::create_directories(dir_ + "src");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Runs the program in the scratch folder with TMPDIR inside it; the exit status, or -1
    // when it was killed (a hang runs into the timeout).
    int run(const std::vector<std::string>& arguments) {
        test::RunOptions options;
        options.folder = dir_;
        options.environment = {"TMPDIR=" + dir_ + "tmp"};
        options.timeout_seconds = 60;
        const test::RunResult r = test::run_ploxwin(arguments, options);
        output_ = r.out + r.err;
        return r.status;
    }

    // A document whose one series has its data embedded under the name "x.dat".
    std::string embedded_document() {
        std::ofstream(dir_ + "src/x.dat", std::ios::binary) << "1 2\r\n3 4\r\n";
        Graph g;
        add_series(g, dir_ + "src/x.dat", nullptr);
        g.series[0].kind = kind::Polynomial;
        g.series[0].degree = 1;
        const std::string path = dir_ + "doc.qvp";
        RecordingPrompter prompter;
        IoContext io;
        io.prompter = &prompter;
        EXPECT_TRUE(save_document(path, g, true, io).ok());
        fs::remove(dir_ + "src/x.dat");
        return path;
    }

    std::string plain_document() {
        std::ofstream(dir_ + "src/p.dat", std::ios::binary) << "1 2\r\n3 4\r\n";
        Graph g;
        add_series(g, dir_ + "src/p.dat", nullptr);
        const std::string path = dir_ + "plain.qvp";
        RecordingPrompter prompter;
        IoContext io;
        io.prompter = &prompter;
        EXPECT_TRUE(save_document(path, g, false, io).ok());
        return path;
    }

    // Entries left in the temporary folder (the planted ones and the runtime folder that
    // painting without a session needs excluded).
    std::vector<std::string> left_in_tmp(const std::vector<std::string>& planted) {
        std::vector<std::string> left;
        for (const auto& e : fs::directory_iterator(dir_ + "tmp")) {
            const std::string name = e.path().filename().string();
            if (name.starts_with("runtime-")) continue;
            if (std::find(planted.begin(), planted.end(), name) == planted.end())
                left.push_back(e.path().string());
        }
        return left;
    }

    std::string dir_, output_;
};

TEST_F(CliHardening, PlantedLinkAndFifoInTheTemporaryFolderAreLeftAlone) {
    const std::string doc = embedded_document();
    std::ofstream(dir_ + "victim.txt") << "precious";
    fs::create_symlink(dir_ + "victim.txt", dir_ + "tmp/x.dat");
    const std::vector<std::vector<std::string>> runs = {
        {"--export", "out.png", doc},
        {"--export-data", "out.txt", doc, "--series", "1"},
        {"--fit-report", doc}};
    for (const auto& args : runs) {
        SCOPED_TRACE(args[0]);
        const int status = run(args);
        EXPECT_NE(status, -1) << "hung: " << output_;
        EXPECT_EQ(read_file(dir_ + "victim.txt"), "precious");
        EXPECT_TRUE(fs::is_symlink(dir_ + "tmp/x.dat"));
        // The run restored its data privately and removed them at the end.
        EXPECT_EQ(left_in_tmp({"x.dat"}), std::vector<std::string>{}) << output_;
    }
    fs::remove(dir_ + "tmp/x.dat");
    ASSERT_EQ(::mkfifo((dir_ + "tmp/x.dat").c_str(), 0600), 0);
    EXPECT_EQ(run({"--export-data", "out.txt", doc, "--series", "1"}), 0) << output_;
    EXPECT_EQ(read_file(dir_ + "out.txt").substr(0, 1), "+");
}

TEST_F(CliHardening, DevicesAndFifosAreNotEmbedded) {
    ASSERT_EQ(::mkfifo((dir_ + "pipe.dat").c_str(), 0600), 0);
    Graph g;
    add_series(g, "/dev/zero", nullptr);
    add_series(g, dir_ + "pipe.dat", nullptr);
    RecordingPrompter prompter;
    IoContext io;
    io.prompter = &prompter;
    ASSERT_TRUE(save_document(dir_ + "dev.qvp", g, false, io).ok());
    EXPECT_EQ(run({"--convert", "out.qvp", "dev.qvp", "--with-data"}), 0) << output_;
    EXPECT_NE(output_.find("/dev/zero"), std::string::npos) << output_;
    EXPECT_NE(output_.find("pipe.dat"), std::string::npos) << output_;
    EXPECT_TRUE(fs::is_regular_file(dir_ + "out.qvp"));
}

TEST_F(CliHardening, LoopsAndLongNamesAreMissingFilesNotAborts) {
    fs::create_symlink(dir_ + "loop.qvp", dir_ + "loop.qvp");
    EXPECT_EQ(run({"--export", "out.png", "loop.qvp"}), 1) << output_;
    EXPECT_NE(output_.find("ploxwin: "), std::string::npos);

    // A legend field naming a series whose path is too long, and one that is a link to itself.
    fs::create_symlink(dir_ + "self.dat", dir_ + "self.dat");
    Graph g;
    add_series(g, "/" + std::string(258, 'a'), nullptr);
    add_series(g, dir_ + "self.dat", nullptr);
    GraphObject& text = g.objects[0];
    text.used = 1;
    text.Type = object_type::Text;
    text.x = 5000;
    text.y = 5000;
    text.Str = "%01E %01D %02E %02D %02C0101";
    text.Font1 = default_axis_label_font();
    text.Font2 = default_axis_label_font();
    text.Font3 = default_symbol_font();
    RecordingPrompter prompter;
    IoContext io;
    io.prompter = &prompter;
    ASSERT_TRUE(save_document(dir_ + "long.qvp", g, false, io).ok());
    EXPECT_EQ(run({"--export", "out.svg", "long.qvp"}), 0) << output_;
    EXPECT_TRUE(fs::is_regular_file(dir_ + "out.svg"));
}

TEST_F(CliHardening, OutputsThatAreNotRegularFilesAreRefused) {
    const std::string doc = plain_document();
    std::vector<std::string> specials;
    ASSERT_EQ(::mkfifo((dir_ + "fifo.out").c_str(), 0600), 0);
    specials.push_back(dir_ + "fifo.out");
    // A copy of /dev/null's device where this user may make one.
    if (::mknod((dir_ + "null.out").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        specials.push_back(dir_ + "null.out");
    else
        std::cout << "not allowed to make device nodes: only the FIFO is checked\n";
    for (const std::string& out : specials) {
        struct stat before {};
        ASSERT_EQ(::lstat(out.c_str(), &before), 0);
        const std::vector<std::vector<std::string>> runs = {
            {"--convert", out, "plain.qvp"},
            {"--export-data", out, "plain.qvp", "--series", "1"},
            {"--export", out + ".png", "plain.qvp"}};
        for (const auto& args : runs) {
            SCOPED_TRACE(args[0]);
            const bool png = args[0] == "--export";
            if (png) fs::create_symlink(out, out + ".png");
            EXPECT_EQ(run(args), 1) << output_;
            struct stat after {};
            ASSERT_EQ(::lstat(out.c_str(), &after), 0);
            EXPECT_EQ(after.st_mode, before.st_mode); // still the FIFO or device
            EXPECT_EQ(after.st_rdev, before.st_rdev);
            if (png) fs::remove(out + ".png");
        }
    }
    // A link to a regular file is written through and stays a link.
    std::ofstream(dir_ + "real.txt") << "old";
    fs::create_symlink(dir_ + "real.txt", dir_ + "link.txt");
    EXPECT_EQ(run({"--export-data", "link.txt", "plain.qvp", "--series", "1"}), 0) << output_;
    EXPECT_TRUE(fs::is_symlink(dir_ + "link.txt"));
    EXPECT_EQ(read_file(dir_ + "real.txt").substr(0, 1), "+");
}

TEST_F(CliHardening, ExportDataOnAFullDiskKeepsTheOldFile) {
    const std::string doc = plain_document();
    const std::string disk = dir_ + "disk";
    fs::create_directories(disk);
    if (::geteuid() != 0 || ::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "needs root and tmpfs to make a small full file system";
    {
        std::ofstream(disk + "/out.txt") << "previous contents";
        std::ofstream fill(disk + "/fill", std::ios::binary);
        const std::string block(4096, 'x');
        for (int i = 0; i < 64 && fill; ++i)
            fill << block;
    }
    const int status = run({"--export-data", disk + "/out.txt", "plain.qvp", "--series", "1"});
    const std::string kept = read_file(disk + "/out.txt");
    ::umount(disk.c_str());
    EXPECT_EQ(status, 1) << output_;
    EXPECT_EQ(kept, "previous contents");
}

} // namespace
} // namespace plox
