// The export and copy routine with the window's dialogs answered by the test.
#include "output/metafile_player.h"
#include "output/picture_command.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace plox {
namespace {

struct FakeUi : PictureUi {
    std::optional<int32_t> ratio = 100; // nullopt: the region dialog is cancelled
    std::optional<bool> enhanced;       // the box's state when the user changes it
    std::optional<std::string> file;    // the save dialog's answer
    forms::CopyRegion shown{};
    std::string proposed;
    std::vector<uint8_t> clipboard;
    bool clipboard_enhanced = false;
    std::string other;

    bool copy_region(forms::CopyRegion& r) override {
        shown = r;
        if (!ratio) return false;
        r.ratio = *ratio;
        if (enhanced) r.enhanced = *enhanced;
        return true;
    }
    std::optional<std::string> picture_file(const std::string& p) override {
        proposed = p;
        return file;
    }
    bool write_other_format(const std::string& path, GraphSet&, const Rect&, int32_t) override {
        other = path;
        return true;
    }
    void set_clipboard(const std::vector<uint8_t>& bytes, bool e, GraphSet&, const Rect&,
                       int32_t) override {
        clipboard = bytes;
        clipboard_enhanced = e;
    }
};

class PictureCommand : public ::testing::Test {
protected:
    PictureCommand() {
        for (int i = 0; i < 2; ++i) {
            auto g = std::make_unique<Graph>();
            g->file_name = "/tmp/doc" + std::to_string(i) + ".qvp";
            set.graphs.push_back(std::move(g));
        }
        set.bundle_name = "/tmp/both.qva";
        context.measurer = &measurer;
        context.series_range = [](Graph&, int) { return SeriesExtent{}; };
        dir = std::filesystem::temp_directory_path() /
              ("plox_picture_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        std::filesystem::create_directories(dir);
    }
    ~PictureCommand() override { std::filesystem::remove_all(dir); }

    PictureResult run(bool to_file, Answer answer = Answer::Yes) {
        RecordingPrompter prompter(answer);
        PictureRequest request;
        request.to_file = to_file;
        request.proposed_name = proposed_picture_name(set);
        const PictureResult r = export_or_copy_picture(set, request, prompter, ui, context, text);
        questions = prompter.shown.size();
        return r;
    }

    GraphSet set;
    FakeUi ui;
    FixedTextMeasurer measurer;
    MetafileText text;
    RenderContext context;
    std::filesystem::path dir;
    size_t questions = 0;
};

TEST_F(PictureCommand, HiddenGraphsAnsweredNoDoNothing) {
    EXPECT_EQ(run(false, Answer::No).outcome, PictureOutcome::Cancelled);
    EXPECT_EQ(questions, 1u);
    EXPECT_TRUE(ui.clipboard.empty());
    ui.file = (dir / "a.emf").string();
    EXPECT_EQ(run(true, Answer::No).outcome, PictureOutcome::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(dir / "a.emf"));
}

TEST_F(PictureCommand, CopyOffersTheEnhancedSwitchAndHonoursIt) {
    EXPECT_EQ(run(false).outcome, PictureOutcome::Done);
    EXPECT_TRUE(ui.shown.enhanced_offered);
    EXPECT_TRUE(ui.clipboard_enhanced);
    ASSERT_TRUE(metafile_info(ui.clipboard));
    EXPECT_EQ(metafile_info(ui.clipboard)->kind, MetafileKind::Enhanced);
    ui.enhanced = false;
    run(false);
    EXPECT_FALSE(ui.clipboard_enhanced);
    EXPECT_EQ(metafile_info(ui.clipboard)->kind, MetafileKind::Placeable);
}

TEST_F(PictureCommand, ExportWritesTheKindOfItsExtension) {
    set.graphs.pop_back(); // one graph: no question
    ui.file = (dir / "a.WMF").string();
    const PictureResult r = run(true);
    EXPECT_EQ(r.outcome, PictureOutcome::Done);
    EXPECT_EQ(questions, 0u);
    EXPECT_FALSE(ui.shown.enhanced_offered);
    EXPECT_EQ(ui.proposed, "/tmp/doc0");
    auto bytes = read_file_bytes(*ui.file, 1 << 24);
    ASSERT_TRUE(bytes);
    ASSERT_TRUE(metafile_info(*bytes));
    EXPECT_EQ(metafile_info(*bytes)->kind, MetafileKind::Placeable);
    // The picture is the region in millimetres.
    const Rect region{ui.shown.left, ui.shown.top, ui.shown.right, ui.shown.bottom};
    EXPECT_EQ(metafile_info(*bytes)->size,
              (Size{region.right - region.left, region.bottom - region.top}));
    ui.file = (dir / "a.xyz").string();
    run(true);
    bytes = read_file_bytes(*ui.file, 1 << 24);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(metafile_info(*bytes)->kind, MetafileKind::Enhanced);
    ui.file = (dir / "a.svg").string();
    run(true);
    EXPECT_EQ(ui.other, *ui.file);
}

TEST_F(PictureCommand, RatioOtherThanFullMarksTheWindowStale) {
    ui.ratio = 50;
    ui.file = (dir / "half.emf").string();
    const PictureResult r = run(true);
    EXPECT_TRUE(r.redraw);
    const auto bytes = read_file_bytes(*ui.file, 1 << 24);
    ASSERT_TRUE(bytes);
    const Rect region{ui.shown.left, ui.shown.top, ui.shown.right, ui.shown.bottom};
    EXPECT_NEAR(metafile_info(*bytes)->size.cx, (region.right - region.left) / 2, 1);
    ui.ratio = std::nullopt; // cancelled dialog
    EXPECT_EQ(run(true).outcome, PictureOutcome::Cancelled);
    ui.ratio = 100;
    ui.file = (dir / "missing" / "x.emf").string();
    EXPECT_EQ(run(true).outcome, PictureOutcome::Failed);
}

} // namespace
} // namespace plox
