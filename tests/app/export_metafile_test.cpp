// End to end: ploxwin --export writes a document's picture as EMF and WMF, and an outside
// reader (libwmf's wmf2svg, when installed) reads our WMF with its size and its labels as text.
#include "output/emf_records.h"
#include "output/metafile_player.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>

namespace plox {
namespace {

namespace fs = std::filesystem;

const std::string demo = std::string(PLOX_SOURCE_DIR) + "/examples/demo.qvp";

std::vector<uint8_t> bytes_of(const std::string& path) {
    const std::string s = test::read_file(path);
    return {s.begin(), s.end()};
}

TEST(ExportMetafile, DemoAsEmfAndWmfHaveTheSameSizeAndText) {
    test::TempDir dir;
    const test::RunResult emf = test::run_ploxwin({"--export", dir / "demo.emf", demo});
    ASSERT_EQ(emf.status, 0) << emf.err;
    const test::RunResult wmf = test::run_ploxwin({"--export", dir / "demo.WMF", demo});
    ASSERT_EQ(wmf.status, 0) << wmf.err;
    const auto e = bytes_of(dir / "demo.emf"), w = bytes_of(dir / "demo.WMF");
    const auto ei = metafile_info(e), wi = metafile_info(w);
    ASSERT_TRUE(ei && wi);
    EXPECT_EQ(ei->kind, MetafileKind::Enhanced);
    EXPECT_EQ(wi->kind, MetafileKind::Placeable);
    EXPECT_EQ(ei->size, wi->size);
    // Whole millimetres, and larger than the demo's frame.
    EXPECT_EQ(ei->size.cx % 100, 0);
    EXPECT_GT(ei->size.cx, 10000);
    // The labels are text records, not outlines.
    size_t texts = 0;
    std::set<std::pair<int32_t, int32_t>> references; // pieces of one title follow each other
    for (size_t at = 0; at + 8 <= e.size();) {
        const uint32_t type = e[at] | e[at + 1] << 8 | e[at + 2] << 16 | uint32_t(e[at + 3]) << 24;
        const uint32_t size =
            e[at + 4] | e[at + 5] << 8 | e[at + 6] << 16 | uint32_t(e[at + 7]) << 24;
        ASSERT_GE(size, 8u);
        if (type == emr::EXTTEXTOUTW) {
            ++texts;
            const auto at32 = [&](size_t o) {
                return static_cast<int32_t>(e[o] | e[o + 1] << 8 | e[o + 2] << 16 |
                                            uint32_t(e[o + 3]) << 24);
            };
            EXPECT_TRUE(references.insert({at32(at + 36), at32(at + 40)}).second)
                << "two texts at " << at32(at + 36) << ", " << at32(at + 40);
        }
        at += size;
    }
    EXPECT_GT(texts, 5u);
}

TEST(ExportMetafile, LibwmfReadsOurWmf) {
    if (std::system("command -v wmf2svg > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "wmf2svg (libwmf-bin) is not installed";
    test::TempDir dir;
    ASSERT_EQ(test::run_ploxwin({"--export", dir / "demo.wmf", demo}).status, 0);
    const std::string command = "wmf2svg -o '" + dir / "demo.svg" + "' '" + dir / "demo.wmf" + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string svg = test::read_file(dir / "demo.svg");
    const auto info = metafile_info(bytes_of(dir / "demo.wmf"));
    ASSERT_TRUE(info);
    // libwmf picks its own resolution; the proportion is the placeable box's.
    std::smatch w, h;
    ASSERT_TRUE(std::regex_search(svg, w, std::regex(R"re(<svg width="([0-9.]+)")re")))
        << svg.substr(0, 400);
    ASSERT_TRUE(std::regex_search(svg, h, std::regex(R"re(height="([0-9.]+)")re")));
    EXPECT_NEAR(std::stod(w[1]) / std::stod(h[1]),
                static_cast<double>(info->size.cx) / info->size.cy, 0.01);
    // The tick labels arrive as text.
    EXPECT_NE(svg.find(">10</text>"), std::string::npos);
    EXPECT_NE(svg.find("<text"), std::string::npos);
}

} // namespace
} // namespace plox
