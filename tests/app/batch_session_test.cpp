// The batch session every batch option runs through: its answer policy, where it restores
// embedded data and that nothing of it is left behind, and the settings it draws with.
#include "app/batch_session.h"

#include "document/graph_ops.h"
#include "platform/settings_qt.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace plox::app {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

TEST(BatchPrompter, QuestionsNeverGoAheadAndMessagesAreOneLineEach) {
    // Nobody can answer: no question may end in Yes or Ok when a way back exists.
    EXPECT_EQ(StderrPrompter::batch_answer(Buttons::Ok), Answer::Ok);
    EXPECT_EQ(StderrPrompter::batch_answer(Buttons::OkCancel), Answer::Cancel);
    EXPECT_EQ(StderrPrompter::batch_answer(Buttons::YesNo), Answer::No);
    EXPECT_EQ(StderrPrompter::batch_answer(Buttons::YesNoCancel), Answer::Cancel);

    StderrPrompter prompter;
    testing::internal::CaptureStderr();
    EXPECT_EQ(prompter.message("確認", "上書きしますか?", Buttons::YesNo, Icon::Question),
              Answer::No);
    prompter.message("エラー", "first\r\nsecond", Buttons::Ok, Icon::Error);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "ploxwin: 上書きしますか?\nploxwin: first  second\n");
    EXPECT_EQ(prompter.errors(), 1);
}

TEST(BatchSession, EmbeddedDataLiveInAPrivateFolderThatGoesWithTheSession) {
    TempDir dir;
    Graph g;
    add_series(g, dir.write("src/a.dat", "1 2\r\n3 4\r\n"), nullptr);
    RecordingPrompter quiet;
    IoContext io;
    io.prompter = &quiet;
    const std::string doc = dir / "doc.qvp";
    ASSERT_TRUE(save_document(doc, g, true, io).ok());
    fs::remove_all(dir / "src");

    std::string folder;
    {
        BatchSession session;
        ASSERT_TRUE(session.load(doc));
        folder = session.extraction_dir();
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
        ASSERT_EQ(session.io().extracted_files.size(), 1u);
        const fs::path restored = session.io().extracted_files[0];
        EXPECT_EQ(restored.parent_path(), fs::path(folder));
        EXPECT_EQ(test::read_file(restored), "1 2\r\n3 4\r\n");
        EXPECT_EQ(session.graphs().current_graph()->series[0].file_name, restored.string());
    }
    EXPECT_FALSE(fs::exists(folder));
}

TEST(BatchSession, AFailedLoadSaysSoInOneLine) {
    TempDir dir;
    BatchSession session;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(session.load(dir.write("empty.qvp", "")));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.rfind("ploxwin: ", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_TRUE(session.graphs().graphs.empty() || !session.load_status().ok());
}

TEST(BatchSession, DrawsWithTheUsersSettingsAndTheModule) {
    TempDir config;
    ::setenv("PLOXWIN_CONFIG_DIR", config.root().c_str(), 1);
    {
        QtSettingsStore store;
        store.write_dword("User Config", "SubscriptSize", 40);
        store.write_dword("User Config", "Clipping", 1);
        store.sync();
    }
    BatchSession session;
    ASSERT_TRUE(session.bind_modules(BatchSession::Modules::Required));
    ASSERT_NE(session.module(), nullptr);
    const RenderContext context = session.render_context();
    ::unsetenv("PLOXWIN_CONFIG_DIR");
    EXPECT_EQ(context.settings.SubscriptSize, 40);
    EXPECT_EQ(context.settings.Clipping, 1);
    EXPECT_EQ(context.settings.SuperscriptPos, RenderSettings{}.SuperscriptPos);
    EXPECT_NE(context.curves, nullptr);
    EXPECT_NE(context.external_markers, nullptr);
    EXPECT_NE(context.data.functions, nullptr);
    EXPECT_EQ(context.data.prompter, &session.prompter());
    EXPECT_NE(context.font_mapping, nullptr);
}

} // namespace
} // namespace plox::app
