// Hostile input: truncated, mutated and random documents, bundles, older documents and Ngraph
// projects must read without crash or hang and leave a graph within the model's limits.
#include "doc_test_util.h"
#include "document/data_section.h"
#include "document/document_io.h"
#include "document/graph_ops.h"
#include "document/ngraph_import.h"
#include "document/prompter.h"
#include "document/qvp_format.h"
#include "ngraph_fixture.h"
#include "older_fixture.h"

#include <gtest/gtest.h>

#include <random>

namespace plox {
namespace {

using test::read_file;
using test::TempDir;
using test::write_file;

void expect_within_limits(const Graph& g) {
    ASSERT_GE(g.series_count, 0);
    ASSERT_LE(g.series_count, MAX_SERIES);
    ASSERT_GE(g.mask_count, 0);
    ASSERT_LE(g.mask_count, MAX_MASKS);
    EXPECT_GE(g.frame_width, 1000);
    EXPECT_LE(g.frame_left + g.frame_width, 32000);
    EXPECT_LE(g.frame_top + g.frame_height, 32000);
    EXPECT_GE(g.Magnification, 5);
    EXPECT_LT(g.comment.size(), COMMENT_CAPACITY);
    for (int i = 0; i < g.series_count; ++i) {
        const Series& s = g.series[i];
        EXPECT_TRUE(std::has_single_bit(static_cast<uint32_t>(s.kind)) && s.kind <= 1024) << s.kind;
        EXPECT_LT(s.file_name.size(), PATH_CAPACITY);
        EXPECT_LT(s.Xtrans.size(), EXPRESSION_CAPACITY);
    }
    for (const GraphObject& o : g.objects) {
        if (!o.used) continue;
        EXPECT_GE(o.Type, 0);
        EXPECT_LE(o.Type, object_type::Picture);
        EXPECT_LT(o.Str.size(), OBJECT_TEXT_CAPACITY);
        EXPECT_GE(o.Font1.escapement, 0);
        EXPECT_LT(o.Font1.escapement, 3600);
        if (o.Type == object_type::PointObject) {
            EXPECT_GE(o.alignment, 0);
            EXPECT_LE(o.alignment, MAX_OBJECT_POINTS);
        }
    }
}

// Reads a body from memory and restores whatever [DATA] blocks follow.
void read_in_memory(const std::string& text, IoContext& ctx) {
    LineReader r(text);
    const int code = detect_version(r.line());
    Graph g;
    ReadInfo info;
    if (read_graph_body(r, g, code, info, ctx)) {
        expect_within_limits(g);
        if (info.with_data) {
            r.next();
            extract_data_blocks(r, ctx, false);
        }
        // What was read can always be written again.
        WriteOptions o;
        LineWriter w;
        write_graph_document(w, g, o, ctx);
        EXPECT_FALSE(w.buffer().empty());
    }
}

// Reads an Ngraph project (after its first line) and writes the graph again.
void import_in_memory(const std::string& text, IoContext& ctx) {
    LineReader r(text);
    r.line();
    Graph g;
    ReadInfo info;
    import_ngraph(r, g, version::NgraphWithData, info, ctx);
    expect_within_limits(g);
    extract_data_blocks(r, ctx, false, "[EOF]");
    LineWriter w;
    write_graph_document(w, g, WriteOptions{}, ctx);
    EXPECT_FALSE(w.buffer().empty());
}

// One to eight random edits: replaced bytes, cut stretches, inserted numbers, repeated pieces.
std::string mutate(std::string text, std::mt19937& rng) {
    const char alphabet[] = "0123456789 -+.e[]\r\n\x1a\x81\\/abcXYZ%";
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const size_t at = rng() % text.size();
        switch (rng() % 4) {
        case 0:
            text[at] = alphabet[rng() % (sizeof alphabet - 1)];
            break;
        case 1:
            text.erase(at, rng() % 40);
            break;
        case 2:
            text.insert(at, std::to_string(static_cast<int32_t>(rng())) + " ");
            break;
        default:
            text.insert(at, text.substr(rng() % text.size(), rng() % 200));
            break;
        }
    }
    return text;
}

struct FuzzSetup {
    TempDir dir;
    RecordingPrompter prompter;
    IoContext ctx;
    std::string document, bundle;
    FuzzSetup() {
        ctx.prompter = &prompter;
        ctx.temp_dir = dir / "tmp/";
        std::filesystem::create_directories(ctx.temp_dir);
        write_file(dir / "d/a.dat", "1 2\n3 4\n");
        write_file(dir / "d/b.dat", "5 6");
        Graph g = test::make_rich_graph(dir / "d/");
        save_document(dir / "doc.qvp", g, true, ctx);
        document = read_file(dir / "doc.qvp");
        GraphSet set;
        add_graph(set);
        *set.graphs[0] = g;
        add_graph(set)->comment = "second";
        save_bundle(dir / "set.qva", set, true, ctx);
        bundle = read_file(dir / "set.qva");
        prompter.shown.clear();
    }
};

TEST(Fuzz, EveryPrefixOfADocumentReads) {
    FuzzSetup f;
    ASSERT_GT(f.document.size(), 1000u);
    for (size_t n = 0; n <= f.document.size(); ++n)
        read_in_memory(f.document.substr(0, n), f.ctx);
}

TEST(Fuzz, PrefixesOfBundlesOpenThroughTheFileInterface) {
    FuzzSetup f;
    const std::string path = f.dir / "cut.qva";
    for (size_t n = 0; n <= f.bundle.size(); n += 37) {
        write_file(path, f.bundle.substr(0, n));
        GraphSet set;
        load_document(path, set, f.ctx);
        for (const auto& g : set.graphs)
            expect_within_limits(*g);
        EXPECT_LE(set.graphs.size(), static_cast<size_t>(MAX_GRAPHS));
    }
}

TEST(Fuzz, MutatedDocumentsRead) {
    FuzzSetup f;
    std::mt19937 rng(12345);
    for (int round = 0; round < 600; ++round) {
        const std::string text = mutate(round % 2 ? f.document : f.bundle, rng);
        if (round % 2)
            read_in_memory(text, f.ctx);
        else {
            write_file(f.dir / "m.qva", text);
            GraphSet set;
            load_document(f.dir / "m.qva", set, f.ctx);
            for (const auto& g : set.graphs)
                expect_within_limits(*g);
        }
    }
}

TEST(Fuzz, RandomLinesAfterAVersionLineRead) {
    FuzzSetup f;
    std::mt19937 rng(777);
    for (int round = 0; round < 400; ++round) {
        std::string text = " PloxWin ver. 1.8  QVP file\r\n";
        const int lines = static_cast<int>(rng() % 300);
        for (int i = 0; i < lines; ++i) {
            const int values = static_cast<int>(rng() % 6);
            for (int v = 0; v < values; ++v)
                text += std::to_string(static_cast<int32_t>(rng()) >> (rng() % 32)) + " ";
            if (rng() % 10 == 0) text += std::string(rng() % 2000, 'x');
            text += rng() % 3 ? "\r\n" : "\n";
        }
        read_in_memory(text, f.ctx);
    }
}

TEST(Fuzz, HugeCountsEndAtTheEndOfTheFile) {
    FuzzSetup f;
    read_in_memory(" PloxWin ver. 1.8  QVP file\r\n\r\n1 1\r\n2147483647\r\n", f.ctx);
    std::string text = f.document;
    const size_t legend = text.find("[LEGEND]\r\n");
    text = text.substr(0, legend) +
           "[LEGEND]\r\n2147483647\r\n9\r\n1 2 3 4 5 6 7 8 9 10 11 12 13\r\n2000000000\r\n";
    read_in_memory(text, f.ctx);
    write_file(f.dir / "big.qva", " PloxWin ver. 1.1  QVA file\r\n 2147483647 1 1 1 1 100\r\n");
    GraphSet set;
    EXPECT_TRUE(load_document(f.dir / "big.qva", set, f.ctx).ok());
}

// The older layouts: the hand-written 1.0 document, the 1.5 layout as written, and the same
// body under every version line from 1.1 to 1.7.
std::vector<std::string> older_documents(FuzzSetup& f) {
    std::vector<std::string> docs{test::older::version_1_0()};
    Graph g = test::make_rich_graph(f.dir / "d/");
    save_document(f.dir / "old.qvp", g, true, f.ctx, true);
    const std::string layout_1_5 = read_file(f.dir / "old.qvp");
    docs.push_back(layout_1_5);
    const std::string body = layout_1_5.substr(layout_1_5.find("\r\n"));
    for (char minor = '1'; minor <= '7'; ++minor)
        docs.push_back(std::string(" PloxWin ver. 1.") + minor + "  QVP file" + body);
    return docs;
}

TEST(Fuzz, OlderDocumentsCutAndMutatedRead) {
    FuzzSetup f;
    std::mt19937 rng(4242);
    for (const std::string& doc : older_documents(f)) {
        for (size_t n = 0; n <= doc.size(); n += 11)
            read_in_memory(doc.substr(0, n), f.ctx);
        for (int round = 0; round < 60; ++round)
            read_in_memory(mutate(doc, rng), f.ctx);
    }
}

TEST(Fuzz, NgraphProjectsCutAndMutatedRead) {
    FuzzSetup f;
    test::ngraph_project::Project p = test::ngraph_project::sample_project(true);
    p.add("[data.dat]");
    p.add("1 2");
    p.add("[EOF]");
    const std::string project = p.text();
    for (size_t n = 0; n <= project.size(); n += 5)
        import_in_memory(project.substr(0, n), f.ctx);
    std::mt19937 rng(99);
    for (int round = 0; round < 400; ++round)
        import_in_memory(mutate(project, rng), f.ctx);
}

} // namespace
} // namespace plox
