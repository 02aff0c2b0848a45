// Region, ratio, file kind and the copy region form of picture export and copy.
#include "forms/copy_region_form.h"
#include "metafile_parse.h"
#include "output/emf_records.h"
#include "output/metafile_export.h"
#include "output/metafile_player.h"
#include "render/recording_surface.h"

#include <gtest/gtest.h>

namespace plox {
namespace {

std::unique_ptr<Graph> graph_with_extent(Rect extent) {
    auto g = std::make_unique<Graph>();
    g->frame_left = extent.left;
    g->frame_top = extent.top;
    g->frame_width = extent.right - extent.left;
    g->frame_height = extent.bottom - extent.top;
    g->extent_left = extent.left;
    g->extent_top = extent.top;
    g->extent_right = extent.right;
    g->extent_bottom = extent.bottom;
    return g;
}

TEST(PictureRegion, UnionWidenedByTenMillimetresAndTruncatedToWholeMillimetres) {
    GraphSet set;
    set.graphs.push_back(graph_with_extent({1234, 2345, 9876, 8765}));
    set.graphs.push_back(graph_with_extent({5000, 1500, 19999, 6000}));
    const Rect r = picture_region(set, std::nullopt);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 500);
    EXPECT_EQ(r.right, 20900);
    EXPECT_EQ(r.bottom, 9700);
    // Toward zero also on the negative side.
    GraphSet edge;
    edge.graphs.push_back(graph_with_extent({150, 150, 1000, 1000}));
    EXPECT_EQ(picture_region(edge, std::nullopt).left, -800);
    // A selected rectangle is only put in order.
    EXPECT_EQ(picture_region(set, Rect{900, 800, 100, 200}), (Rect{100, 200, 900, 800}));
}

TEST(PictureRegion, QuestionOnlyWhenGraphsAreHidden) {
    GraphSet set;
    set.graphs.push_back(std::make_unique<Graph>());
    EXPECT_FALSE(hidden_graphs_question_needed(set, false));
    set.graphs.push_back(std::make_unique<Graph>());
    EXPECT_TRUE(hidden_graphs_question_needed(set, false));
    EXPECT_FALSE(hidden_graphs_question_needed(set, true));
    set.show_all = true;
    EXPECT_FALSE(hidden_graphs_question_needed(set, false));
}

TEST(PictureRegion, RatioScalesTheEdges) {
    EXPECT_EQ(scale_region({1000, 2001, 30000, -5001}, 50), (Rect{500, 1001, 15000, -2501}));
    EXPECT_EQ(scale_region({1000, 2000, 3000, 4000}, 100), (Rect{1000, 2000, 3000, 4000}));
}

TEST(PictureRegion, FileKindByExtension) {
    EXPECT_EQ(metafile_format_of("a.WMF"), MetafileFormat::Placeable);
    EXPECT_EQ(metafile_format_of("/x/b.wmf"), MetafileFormat::Placeable);
    EXPECT_EQ(metafile_format_of("a.emf"), MetafileFormat::Enhanced);
    EXPECT_EQ(metafile_format_of("a.xyz"), MetafileFormat::Enhanced);
    EXPECT_EQ(metafile_format_of("dir.wmf/a"), MetafileFormat::Enhanced);
}

TEST(CopyRegionForm, MillimetreTextAndRatioClamp) {
    forms::CopyRegion region{1250, 500, 20005, 29700, 100, true, false};
    forms::CopyRegionForm form;
    form.load(region);
    EXPECT_EQ(form.left, "12.5");
    EXPECT_EQ(form.right, "200.05");
    EXPECT_EQ(form.bottom, "297");
    EXPECT_FALSE(form.enhanced_enabled);
    form.enhanced = false; // not offered: ignored
    for (const auto& [text, ratio] : std::initializer_list<std::pair<const char*, int>>{
             {"50", 50}, {"0", 100}, {"-3", 100}, {"100", 100}, {"150", 100}, {"1", 1}}) {
        form.ratio = text;
        form.apply(region);
        EXPECT_EQ(region.ratio, ratio) << text;
    }
    EXPECT_TRUE(region.enhanced);
    EXPECT_EQ(region.left, 1250);
    region.enhanced_offered = true;
    form.apply(region);
    EXPECT_FALSE(region.enhanced);
}

TEST(MetafileExport, HalfRatioGivesAHalfSizePictureAndRestoresTheGraph) {
    GraphSet set;
    set.graphs.push_back(graph_with_extent({4000, 1500, 18000, 11500}));
    Graph& g = *set.graphs[0];
    RenderContext context;
    FixedTextMeasurer measurer;
    context.measurer = &measurer;
    context.series_range = [](Graph&, int) { return SeriesExtent{}; };
    const Rect full{3000, 500, 19000, 12500};
    const auto emf = build_enhanced_metafile(set, scale_region(full, 50), 50, context, {});
    const auto info = metafile_info(emf);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->size, (Size{8000, 6000}));
    EXPECT_EQ(g.frame_left, 4000);
    EXPECT_EQ(g.Magnification, 100);
    // The frame's right edge comes back at half size inside the picture.
    RecordingSurface out;
    ASSERT_TRUE(play_metafile(emf, out, {0, 0, 8000, 6000}, {}));
    bool frame_found = false;
    for (const Command& c : out.commands())
        if (const auto* r = std::get_if<rec::LineTo>(&c))
            frame_found |= std::abs(r->p.x - 7500) <= 1;
    EXPECT_TRUE(frame_found) << out.dump().substr(0, 3000);
    const auto wmf = build_placeable_metafile(set, full, 100, context);
    const auto winfo = metafile_info(wmf);
    ASSERT_TRUE(winfo);
    EXPECT_EQ(winfo->size, (Size{16000, 12000}));
}

} // namespace
} // namespace plox
