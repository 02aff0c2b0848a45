// Hostile numbers: every numeric field of the example documents pushed to the 32-bit limits,
// one or several at a time, must draw without overflow (checked by UndefinedBehaviorSanitizer in
// the sanitizer build) and leave the stored values as they were read.
#include "document/document_io.h"
#include "document/prompter.h"
#include "document/qvp_format.h"
#include "render/graph_drawing.h"
#include "render/recording_surface.h"
#include "render/surface.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

namespace plox {
namespace {

const std::string examples = std::string(PLOX_SOURCE_DIR) + "/examples/";

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Token {
    size_t at, size;
};

// The integer tokens of the document's body (data paths and texts hold few of them).
std::vector<Token> integer_tokens(const std::string& text) {
    std::vector<Token> tokens;
    const size_t body = text.find('\n');
    for (size_t i = body == std::string::npos ? 0 : body; i < text.size();) {
        const bool start = (text[i] == '-' && i + 1 < text.size() &&
                            std::isdigit(static_cast<unsigned char>(text[i + 1]))) ||
                           std::isdigit(static_cast<unsigned char>(text[i]));
        const bool after_blank = i == 0 || text[i - 1] == ' ' || text[i - 1] == '\n';
        if (!start || !after_blank) {
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])))
            ++j;
        if (j == text.size() || text[j] == ' ' || text[j] == '\r' || text[j] == '\n')
            tokens.push_back({i, j - i});
        i = j;
    }
    return tokens;
}

// Reads `text` as a document and draws every graph; returns false when it did not read.
bool read_and_draw(const std::string& text, const std::string& folder) {
    const std::string path = folder + "hostile.qvp";
    std::ofstream(path, std::ios::binary) << text;
    RecordingPrompter prompter;
    IoContext io;
    io.prompter = &prompter;
    io.temp_dir = folder;
    GraphSet set;
    if (!load_document(path, set, io).ok()) return false;
    for (auto& g : set.graphs) {
        const Graph before = *g;
        FixedTextMeasurer measurer;
        RenderContext ctx;
        ctx.measurer = &measurer;
        ctx.prompter = &prompter;
        RecordingSurface surface;
        draw_graph(surface, *g, ctx);
        // The bounds applied while drawing are not written into the record.
        EXPECT_EQ(g->frame_left, before.frame_left);
        EXPECT_EQ(g->Magnification, before.Magnification);
        // U and R may take X's and Y's values when they share them: only X and Y are kept.
        for (size_t a = 0; a < 2; ++a) {
            EXPECT_EQ(g->axes[a].major_length, before.axes[a].major_length);
            EXPECT_EQ(g->axes[a].label_font.height, before.axes[a].label_font.height);
        }
        for (size_t o = 0; o < g->objects.size(); ++o) {
            EXPECT_EQ(g->objects[o].x, before.objects[o].x);
            EXPECT_EQ(g->objects[o].LineWidth, before.objects[o].LineWidth);
        }
    }
    return true;
}

class LimitsFuzz : public ::testing::TestWithParam<const char*> {};

TEST_P(LimitsFuzz, NumbersAtTheLimitsDrawBounded) {
    const std::string original = read_file(examples + GetParam());
    ASSERT_FALSE(original.empty());
    const std::vector<Token> tokens = integer_tokens(original);
    ASSERT_GT(tokens.size(), 50u);
    char templ[] = "/tmp/plox-limitsXXXXXX";
    ASSERT_NE(::mkdtemp(templ), nullptr);
    const std::string folder = std::string(templ) + "/";
    // Beside copies of the examples' data, which the documents name relative to themselves.
    std::filesystem::copy(examples, folder, std::filesystem::copy_options::recursive);

    static const char* extremes[] = {"2147483647", "-2147483648", "-2147483647",
                                     "1073741824", "-1073741824", "99999999"};
    std::mt19937 random(20261208);
    int read = 0;
    // Each field alone at each extreme (the first fields of every record kind), then random
    // groups of fields together.
    const size_t singles = std::min<size_t>(tokens.size(), 400);
    for (size_t t = 0; t < singles; ++t) {
        const Token tok = tokens[t];
        std::string text = original;
        text.replace(tok.at, tok.size, extremes[t % std::size(extremes)]);
        read += read_and_draw(text, folder);
    }
    for (int round = 0; round < 60; ++round) {
        std::string text = original;
        std::vector<Token> picked;
        for (int k = 0; k < 12; ++k)
            picked.push_back(tokens[random() % tokens.size()]);
        std::sort(picked.begin(), picked.end(), [](Token a, Token b) { return a.at > b.at; });
        size_t last = std::string::npos;
        for (const Token& tok : picked) {
            if (tok.at == last) continue;
            last = tok.at;
            text.replace(tok.at, tok.size, extremes[random() % std::size(extremes)]);
        }
        read += read_and_draw(text, folder);
    }
    EXPECT_GT(read, 100); // most mutations still read as documents
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(Examples, LimitsFuzz,
                         ::testing::Values("demo.qvp", "annotations.qvp", "rich_titles.qvp",
                                           "spectrum.qvp", "errorbars_bars_steps.qvp",
                                           "gra_picture.qvp"));

} // namespace
} // namespace plox
