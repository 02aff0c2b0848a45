// The example documents under examples/ that show texts, series and objects: each is what the
// generator (tools/examples, run by make_examples) writes, and draws completely.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "document/document_io.h"
#include "document/graph_ops.h"
#include "document/prompter.h"
#include "example_generator.h"
#include "render/graph_drawing.h"
#include "render/recording_surface.h"
#include "test_support.h"

namespace plox {
namespace {

const std::string examples_dir = std::string(PLOX_SOURCE_DIR) + "/examples/";

using examples::BUNDLE;
using examples::data_files;
using examples::documents;
using examples::Example;
using test::read_file;

// A document without the lines naming where it was written.
std::string without_own_path(const std::string& text, const std::string& name) {
    std::string kept;
    for (const std::string& line : test::lines_of(text))
        if (!line.ends_with("/" + name + "\r")) kept += line + "\n";
    return kept;
}

TEST(Examples, FilesAreWhatTheGeneratorWrites) {
    for (const auto& [name, contents] : data_files())
        EXPECT_EQ(read_file(examples_dir + name), contents) << name;
    test::TempDir dir;
    std::string failed;
    ASSERT_TRUE(examples::write_examples(dir.dir(), &failed)) << failed;
    std::vector<std::string> names{BUNDLE};
    for (const Example& e : documents())
        names.push_back(e.name);
    for (const std::string& name : names) {
        const std::string written = read_file(dir / name);
        EXPECT_NE(written, without_own_path(written, name)) << name; // the path line is there
        EXPECT_EQ(without_own_path(read_file(examples_dir + name), name),
                  without_own_path(written, name))
            << name;
    }
}

TEST(Examples, EveryDocumentOpensAndDrawsCompletely) {
    std::vector<std::string> names;
    for (const Example& e : documents())
        names.push_back(e.name);
    names.push_back(BUNDLE);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        RecordingPrompter prompter;
        IoContext io;
        io.prompter = &prompter;
        GraphSet set;
        const IoStatus st = load_document(examples_dir + name, set, io);
        ASSERT_TRUE(st.ok()) << st.message;
        EXPECT_TRUE(st.missing.empty());
        EXPECT_TRUE(prompter.shown.empty());
        for (auto& g : set.graphs) {
            FixedTextMeasurer measurer;
            RenderContext ctx;
            ctx.measurer = &measurer;
            ctx.prompter = &prompter;
            RecordingSurface surface;
            draw_graph(surface, *g, ctx);
            size_t lines = 0, texts = 0;
            for (const Command& c : surface.commands()) {
                lines += std::holds_alternative<rec::Polyline>(c);
                texts += std::holds_alternative<rec::TextOut>(c);
            }
            EXPECT_GE(lines, 1u); // every example has a series line
            EXPECT_GT(texts, 10u);
            // Every object got an extent inside the page.
            for (const GraphObject& o : g->objects) {
                if (!o.used) continue;
                EXPECT_GE(std::min(o.extent_left, o.extent_right), 0) << o.Type;
                EXPECT_LE(std::max(o.extent_bottom, o.extent_top), 29700) << o.Type;
            }
            EXPECT_TRUE(prompter.shown.empty());
        }
    }
}

} // namespace
} // namespace plox
