// Whole documents on disk: opening into the graph set, [DATA] sections, bundles, atomic saving.
#include "doc_test_util.h"
#include "document/data_section.h"
#include "document/document_io.h"
#include "document/extension_io.h"
#include "document/graph_ops.h"
#include "document/paths.h"
#include "document/prompter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
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
};

size_t count_of(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(DocumentIo, SaveLoadSaveIsByteIdentical) {
    Fixture f;
    write_file(f.dir / "data/a.dat", "1 2\n");
    write_file(f.dir / "data/b.dat", "3 4\n");
    Graph g = test::make_rich_graph(f.dir / "data/");
    const std::string path = f.dir / "doc.qvp";
    ASSERT_TRUE(save_document(path, g, false, f.ctx).ok());
    const std::string first = read_file(path);

    GraphSet set;
    const IoStatus st = load_document(path, set, f.ctx);
    ASSERT_TRUE(st.ok()) << st.message;
    ASSERT_EQ(set.graphs.size(), 1u);
    Graph& back = *set.current_graph();
    EXPECT_EQ(back.file_name, path);
    EXPECT_EQ(back.unmodified, 1);
    EXPECT_EQ(back.scales_valid, 1);
    EXPECT_TRUE(st.missing.empty());
    ASSERT_TRUE(save_document(path, back, false, f.ctx).ok());
    EXPECT_EQ(read_file(path), first);
    EXPECT_TRUE(f.prompter.shown.empty());
}

TEST(DocumentIo, EmbeddedDataAreStoredOnceAndRestoredExactly) {
    Fixture f;
    const std::string no_final_break = "1 2\r\n3 4";
    write_file(f.dir / "src/shared.dat", no_final_break);
    write_file(f.dir / "src/other.dat", "5 6\n");
    Graph g;
    add_series(g, f.dir / "src/SHARED.dat", nullptr);
    add_series(g, f.dir / "src/other.dat", nullptr);
    add_series(g, f.dir / "src/shared.dat", nullptr);
    g.series[add_series(g, f.dir / "src/function", nullptr)].kind = kind::Function;
    add_series(g, f.dir / "src/unreadable.dat", nullptr);
    const std::string path = f.dir / "doc.qvp";
    ASSERT_TRUE(save_document(path, g, true, f.ctx).ok());

    const std::string text = read_file(path);
    EXPECT_NE(text.find("\r\n[OTHERS]\r\n 2\r\n"), std::string::npos);
    EXPECT_EQ(text.find(path + "\r\n"), std::string::npos); // no document path with data
    EXPECT_EQ(count_of(text, "[End of Data]"), 2u);
    // The last occurrence decides the place and the spelling of a file stored once.
    EXPECT_LT(text.find("[other.dat] "), text.find("[shared.dat] "));
    EXPECT_NE(text.find(no_final_break + "[End of Data]\r\n\r\n"), std::string::npos);
    EXPECT_NE(text.find(" 00000008 00000000\r\n1 2\r\n3 4[End"), std::string::npos);

    // Open it again somewhere the original files do not exist.
    fs::remove_all(f.dir / "src");
    GraphSet set;
    const IoStatus st = load_document(path, set, f.ctx);
    ASSERT_TRUE(st.ok()) << st.message;
    EXPECT_TRUE(st.with_data);
    EXPECT_EQ(read_file(f.dir / "tmp/shared.dat"), no_final_break);
    EXPECT_EQ(read_file(f.dir / "tmp/other.dat"), "5 6\n");
    const Graph& back = *set.current_graph();
    EXPECT_TRUE(paths::equal_nocase(back.series[0].file_name, f.dir / "tmp/shared.dat"));
    EXPECT_EQ(back.series[1].file_name, f.dir / "tmp/other.dat");
    ASSERT_EQ(st.missing.size(), 1u);
    EXPECT_EQ(st.missing[0].series, 4);
    EXPECT_EQ(f.ctx.extracted_files.size(), 2u);
    EXPECT_TRUE(with_data_choice({&back}, false, f.ctx));
    EXPECT_FALSE(with_data_choice({&g}, false, IoContext{}));

    // The restored file carries the stamp's time: opening again asks nothing.
    int asked = 0;
    f.ctx.ask_overwrite = [&](std::string_view) {
        ++asked;
        return OverwriteAnswer::Keep;
    };
    GraphSet again;
    ASSERT_TRUE(load_document(path, again, f.ctx).ok());
    EXPECT_EQ(asked, 0);
}

std::string document_with_blocks(const std::string& blocks) {
    Graph g;
    IoContext ctx;
    std::string doc = " PloxWin ver. 1.8  QVP file\r\n\r\n1 1 210 297 0 100 2\r\n0\r\n";
    // The rest of an empty graph, taken from the writer.
    TempDir d;
    save_document(d / "x.qvp", g, false, ctx);
    std::string body = read_file(d / "x.qvp");
    body = body.substr(body.find("[GRAPH]"));
    body = body.substr(0, body.find("[OTHERS]")) + "[OTHERS]\r\n 2\r\n0 0 0 0 0 0 0 0 0\r\n" +
           "-2400 0 0 0 400 1 0 0 2 3 2 1 18\r\nSymbol\r\n\r\n[MASKS]\r\n 0\r\n0\r\n0\r\n\r\n";
    return doc + body + "[DATA]\r\n" + blocks;
}

TEST(DocumentIo, OverwriteQuestionsFollowTheStamp) {
    Fixture f;
    const std::string blocks =
        "[a.dat] 2001-2-3  4:05:06 00000002 00000000\r\nAA[End of Data]\r\n\r\n"
        "[b.dat] 2001-2-3  4:05:06 00000002 00000000\r\nBB[End of Data]\r\n\r\n"
        "[c.dat]\r\nline1\nline2\r\n[End of Data]\r\n\r\n";
    const std::string path = f.dir / "doc.qvp";
    write_file(path, document_with_blocks(blocks));
    write_file(f.dir / "tmp/a.dat", "old a");
    write_file(f.dir / "tmp/b.dat", "old b");
    write_file(f.dir / "tmp/c.dat", "old c");
    std::vector<std::string> asked;
    f.ctx.ask_overwrite = [&](std::string_view name) {
        asked.emplace_back(name);
        return asked.size() == 1 ? OverwriteAnswer::Keep : OverwriteAnswer::OverwriteAll;
    };
    GraphSet set;
    ASSERT_TRUE(load_document(path, set, f.ctx).ok());
    EXPECT_EQ(asked, (std::vector<std::string>{"a.dat", "b.dat"}));
    EXPECT_EQ(read_file(f.dir / "tmp/a.dat"), "old a");
    EXPECT_EQ(read_file(f.dir / "tmp/b.dat"), "BB");
    EXPECT_EQ(read_file(f.dir / "tmp/c.dat"),
              "line1\r\nline2\r\n"); // older blocks: lines with CR LF
    EXPECT_TRUE(f.ctx.overwrite_all);

    struct stat st {};
    ASSERT_EQ(::stat((f.dir / "tmp/b.dat").c_str(), &st), 0);
    std::tm tm{};
    time_t t = st.st_mtime;
    localtime_r(&t, &tm);
    EXPECT_EQ(tm.tm_year + 1900, 2001);
    EXPECT_EQ(tm.tm_hour, 4);
    EXPECT_EQ(tm.tm_sec, 6);
}

TEST(DocumentIo, StampNamesCannotLeaveTheTemporaryFolder) {
    Fixture f;
    const std::string blocks =
        "[../evil.dat] 2001-2-3 4:05:06 00000004 00000000\r\nEVIL[End of Data]\r\n\r\n"
        "[/abs.dat] 2001-2-3 4:05:06 00000003 00000000\r\nABS[End of Data]\r\n\r\n"
        "[..] 2001-2-3 4:05:06 00000001 00000000\r\nX[End of Data]\r\n\r\n"
        "[sub\\x.dat]\r\nline\r\n[End of Data]\r\n\r\n"
        "[fine.dat] 2001-2-3 4:05:06 00000004 00000000\r\nFINE[End of Data]\r\n\r\n";
    const std::string path = f.dir / "doc.qvp";
    write_file(path, document_with_blocks(blocks));
    GraphSet set;
    ASSERT_TRUE(load_document(path, set, f.ctx).ok());
    EXPECT_FALSE(fs::exists(f.dir / "evil.dat"));
    EXPECT_FALSE(fs::exists("/abs.dat") && read_file("/abs.dat") == "ABS");
    EXPECT_EQ(read_file(f.dir / "tmp/fine.dat"), "FINE");
    EXPECT_EQ(f.prompter.shown.size(), 4u);
    EXPECT_EQ(f.ctx.extracted_files, std::vector<std::string>{f.dir / "tmp/fine.dat"});
}

TEST(DocumentIo, TruncatedBlockStopsTheExtraction) {
    Fixture f;
    const std::string path = f.dir / "doc.qvp";
    write_file(path, document_with_blocks("[t.dat] 2001-2-3 4:05:06 00001000 00000000\r\nshort"));
    GraphSet set;
    ASSERT_TRUE(load_document(path, set, f.ctx).ok());
    EXPECT_FALSE(fs::exists(f.dir / "tmp/t.dat"));
    EXPECT_EQ(f.prompter.shown.size(), 1u);
}

TEST(DocumentIo, ImplausibleStampDatesAreIgnored) {
    Fixture f;
    const std::string path = f.dir / "doc.qvp";
    write_file(path,
               document_with_blocks(
                   "[y.dat] 99999-13-40 99:99:99 00000001 00000000\r\nY[End of Data]\r\n\r\n"));
    GraphSet set;
    ASSERT_TRUE(load_document(path, set, f.ctx).ok());
    EXPECT_EQ(read_file(f.dir / "tmp/y.dat"), "Y");
    EXPECT_TRUE(f.prompter.shown.empty());
}

TEST(DocumentIo, ExtractedFilesListGetsFixedRecords) {
    Fixture f;
    f.ctx.extracted_list_path = f.dir / "QVD.list";
    const std::string path = f.dir / "doc.qvp";
    write_file(path, document_with_blocks(
                         "[a.dat] 2001-2-3 4:05:06 00000001 00000000\r\nA[End of Data]\r\n\r\n"
                         "[b.dat] 2001-2-3 4:05:06 00000001 00000000\r\nB[End of Data]\r\n\r\n"));
    GraphSet set;
    ASSERT_TRUE(load_document(path, set, f.ctx).ok());
    const std::string list = read_file(f.ctx.extracted_list_path);
    ASSERT_EQ(list.size(), 2 * PATH_CAPACITY);
    EXPECT_EQ(std::string(list.c_str()), f.dir / "tmp/a.dat");
    EXPECT_EQ(std::string(list.c_str() + PATH_CAPACITY), f.dir / "tmp/b.dat");
}

TEST(DocumentIo, RefusesNewerVersionsAndNonDocuments) {
    Fixture f;
    write_file(f.dir / "new.qvp", " PloxWin ver. 1.9  QVP file\r\nwhatever\r\n");
    write_file(f.dir / "data.dat", "1 2\n3 4\n");
    GraphSet set;
    IoStatus st = load_document(f.dir / "new.qvp", set, f.ctx);
    EXPECT_EQ(st.code, IoStatus::Code::Unsupported);
    EXPECT_EQ(st.message, "未サポートのQVP-fileです\n新しいPloxWinを手に入れてください");
    st = load_document(f.dir / "data.dat", set, f.ctx);
    EXPECT_EQ(st.code, IoStatus::Code::NotADocument);
    EXPECT_EQ(st.message, "不正なファイルです");
    st = load_document(f.dir / "missing.qvp", set, f.ctx);
    EXPECT_EQ(st.code, IoStatus::Code::OpenFailed);
    EXPECT_EQ(st.message, "missing.qvp が見つかりません。");
    EXPECT_TRUE(set.graphs.empty());
    EXPECT_EQ(f.prompter.shown.size(), 3u);
    EXPECT_TRUE(file_has_version_line(f.dir / "new.qvp"));
    EXPECT_FALSE(file_has_version_line(f.dir / "data.dat"));
}

TEST(DocumentIo, TheConverterModuleIsAskedFirst) {
    struct Converter : ExtensionIo {
        bool init_analysis(Series&) override { return false; }
        void load_line(Series&, std::string_view, int) override {}
        std::vector<std::string> save_lines(const Series&) override { return {}; }
        int check_qvp(std::string_view line) const override {
            return line == "%Ngraph GRAF" ? 1 : -1;
        }
    } converter;
    Fixture f;
    write_file(f.dir / "project.ngp", "%Ngraph GRAF\nnew axis\n");
    EXPECT_FALSE(file_has_version_line(f.dir / "project.ngp"));
    EXPECT_TRUE(file_has_version_line(f.dir / "project.ngp", &converter));
    EXPECT_EQ(detect_version(" PloxWin ver. 1.8  QVP file", &converter), version::V1_8);
    f.ctx.extension = &converter;
    GraphSet set;
    // Code 1: an Ngraph project (here a short one) with data blocks following.
    EXPECT_TRUE(load_document(f.dir / "project.ngp", set, f.ctx).ok());
    ASSERT_EQ(set.graphs.size(), 1u);
    EXPECT_EQ(set.graphs[0]->comment, "Converted from Ngraph ver. 5.3 file");
}

TEST(DocumentIo, OpeningReplacesAnEmptyCurrentGraphOrAddsOne) {
    Fixture f;
    const std::string path = f.dir / "doc.qvp";
    Graph g;
    g.comment = "from file";
    ASSERT_TRUE(save_document(path, g, false, f.ctx).ok());
    GraphSet set;
    add_graph(set);
    ASSERT_TRUE(load_document(path, set, f.ctx).ok());
    EXPECT_EQ(set.graphs.size(), 1u);
    add_series(*set.current_graph(), "x", nullptr);
    ASSERT_TRUE(load_document(path, set, f.ctx).ok());
    EXPECT_EQ(set.graphs.size(), 2u);
    EXPECT_EQ(set.current, 1);
    while (set.graphs.size() < MAX_GRAPHS)
        add_series(*add_graph(set), "x", nullptr);
    EXPECT_EQ(load_document(path, set, f.ctx).code, IoStatus::Code::NoRoom);
    EXPECT_EQ(set.graphs.size(), static_cast<size_t>(MAX_GRAPHS));
}

TEST(DocumentIo, FailedSaveKeepsThePreviousDocument) {
    Fixture f;
    const std::string path = f.dir / "doc.qvp";
    write_file(path, "previous contents");
    Graph g = test::make_rich_graph("/d/");
    g.unmodified = 0;
    // A file-size limit makes the write fail part-way, also for root.
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old_limit{};
    getrlimit(RLIMIT_FSIZE, &old_limit);
    rlimit small = old_limit;
    small.rlim_cur = 1000;
    setrlimit(RLIMIT_FSIZE, &small);
    const IoStatus st = save_document(path, g, false, f.ctx);
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_EQ(st.code, IoStatus::Code::WriteFailed);
    EXPECT_EQ(st.message, "File write error!");
    EXPECT_EQ(read_file(path), "previous contents");
    EXPECT_EQ(g.unmodified, 0);
    ASSERT_EQ(f.prompter.shown.size(), 1u);
    EXPECT_EQ(f.prompter.shown[0].title, "Error");
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(f.dir.dir()))
        ++files;
    EXPECT_EQ(files, 2u); // doc.qvp and tmp/: no temporary file left behind
}

TEST(DocumentIo, SaveIntoMissingFolderReportsAndWritesNothing) {
    Fixture f;
    Graph g;
    const IoStatus st = save_document(f.dir / "no/such/doc.qvp", g, false, f.ctx);
    EXPECT_EQ(st.code, IoStatus::Code::OpenFailed);
    EXPECT_EQ(st.message, "doc.qvp: 作成できません。");
    EXPECT_EQ(g.file_name, "");
}

TEST(DocumentIo, SaveNamesAndFlags) {
    EXPECT_EQ(proposed_save_name(""), "Untitled.qvp");
    EXPECT_EQ(proposed_save_name("ab"), "Untitled.qvp");
    EXPECT_EQ(proposed_save_name("/a/run.qvp"), "/a/run.QVP");
    Fixture f;
    std::vector<std::string> recent;
    f.ctx.add_recent = [&](const std::string& p) { recent.push_back(p); };
    f.ctx.page = PageFields{297, 420, 1, 1};
    Graph g;
    g.unmodified = 0;
    g.series[add_series(g, "/d/x.dat", nullptr)].kind = kind::General;
    FitFunction fit;
    fit.parameter_free[3] = 0;
    g.series[0].fit = fit;
    ASSERT_TRUE(save_document(f.dir / "s.qvp", g, false, f.ctx).ok());
    EXPECT_EQ(g.unmodified, 1);
    EXPECT_EQ(g.file_name, f.dir / "s.qvp");
    EXPECT_EQ(g.paper_code, 1);
    EXPECT_EQ(g.series[0].fit->parameter_free[3], 1);
    EXPECT_EQ(recent, std::vector<std::string>{f.dir / "s.qvp"});
    EXPECT_NE(read_file(f.dir / "s.qvp").find("\r\n0 1 297 420 1 100 1\r\n"), std::string::npos);
}

TEST(DocumentIo, SameDirectoryFilesAreWrittenByName) {
    Fixture f;
    write_file(f.dir / "x.dat", "1 2\n");
    Graph g;
    add_series(g, f.dir / "X.dat", nullptr);
    add_series(g, f.dir / "sub/y.dat", nullptr);
    ASSERT_TRUE(save_document(f.dir / "doc.qvp", g, false, f.ctx).ok());
    const std::string text = read_file(f.dir / "doc.qvp");
    EXPECT_NE(text.find("[X.dat]\r\nX.dat\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n" + f.dir / "sub/y.dat\r\n"), std::string::npos);
    f.ctx.same_directory = false;
    ASSERT_TRUE(save_document(f.dir / "doc.qvp", g, false, f.ctx).ok());
    EXPECT_NE(read_file(f.dir / "doc.qvp").find("\r\n" + f.dir / "X.dat\r\n"), std::string::npos);
}

TEST(DocumentIo, TemplatesKeepScalesAutomatic) {
    Fixture f;
    Graph g = test::make_rich_graph("/d/");
    g.FrameType = 2;
    ASSERT_TRUE(save_template(f.dir / "t.qvp", g, f.ctx).ok());
    Graph t;
    ASSERT_TRUE(read_template(f.dir / "t.qvp", t, f.ctx));
    EXPECT_EQ(t.FrameType, 2);
    EXPECT_EQ(t.series_count, 0);
    EXPECT_EQ(t.mask_count, 0);
    EXPECT_EQ(t.scales_valid, 0);
    EXPECT_EQ(count_objects(t, object_type::TitleX), 1);
    EXPECT_FALSE(read_template(f.dir / "none.qvp", t, f.ctx));
}

TEST(Bundle, RoundTripAndReplacingOpenGraphs) {
    Fixture f;
    write_file(f.dir / "d/a.dat", "1 2\n");
    GraphSet set;
    for (int i = 0; i < 3; ++i) {
        Graph* g = add_graph(set);
        g->comment = "graph " + std::to_string(i);
        add_series(*g, f.dir / "d/a.dat", nullptr);
    }
    set.graphs[1]->file_name = f.dir / "named.qvp";
    set.axis_link = {1, 0, 1, 0};
    set.print_scale = 80;
    const std::string path = f.dir / "set.qva";
    ASSERT_TRUE(save_bundle(path, set, true, f.ctx).ok());
    const std::string first = read_file(path);
    EXPECT_EQ(first.substr(0, first.find("[set1.QVP]")),
              " PloxWin ver. 1.1  QVA file\r\n 3 1 0 1 0 80\r\n");
    EXPECT_NE(first.find("\r\n[named.qvp]\r\n PloxWin ver. 1.8  QVP file\r\n"), std::string::npos);
    EXPECT_EQ(count_of(first, "[DATA]"), 1u);
    EXPECT_EQ(count_of(first, "[End of Data]"), 1u);

    GraphSet open;
    for (int i = 0; i < 5; ++i)
        add_graph(open)->comment = "open " + std::to_string(i);
    const IoStatus st = load_document(path, open, f.ctx);
    ASSERT_TRUE(st.ok()) << st.message;
    ASSERT_EQ(open.graphs.size(), 5u);
    EXPECT_EQ(open.graphs[0]->comment, "graph 0");
    EXPECT_EQ(open.graphs[2]->comment, "graph 2");
    EXPECT_EQ(open.graphs[3]->comment, "open 3");
    EXPECT_EQ(open.current, 2);
    EXPECT_EQ(open.axis_link, (std::array<int32_t, 4>{1, 0, 1, 0}));
    EXPECT_EQ(open.print_scale, 80);
    EXPECT_EQ(open.bundle_name, path);
    EXPECT_EQ(open.graphs[1]->file_name, f.dir / "named.qvp");

    open.graphs.resize(3);
    ASSERT_TRUE(save_bundle(path, open, true, f.ctx).ok());
    EXPECT_EQ(read_file(path), first);
}

TEST(Bundle, ANewerGraphEndsTheReading) {
    Fixture f;
    GraphSet set;
    add_graph(set)->comment = "first";
    add_graph(set)->comment = "second";
    const std::string path = f.dir / "set.qva";
    ASSERT_TRUE(save_bundle(path, set, false, f.ctx).ok());
    std::string text = read_file(path);
    const size_t second = text.find(" PloxWin ver. 1.8  QVP file", text.find("[set2.QVP]"));
    text.replace(second, 27, " PloxWin ver. 1.9  QVP file");
    write_file(path, text);
    GraphSet open;
    load_document(path, open, f.ctx);
    ASSERT_EQ(open.graphs.size(), 1u);
    EXPECT_EQ(open.graphs[0]->comment, "first");
}

} // namespace
} // namespace plox
