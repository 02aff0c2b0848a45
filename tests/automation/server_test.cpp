// Server executes on the shared commands, and the core host's effects on a real graph set.
#include "fixtures.h"

#include "automation/core_host.h"
#include "settings/store.h"

#include <gmock/gmock.h>

namespace plox::test {

namespace {

using ::testing::ElementsAre;

} // namespace

TEST(CommandServer, TopicsAreTheFirstSevenCommandWords) {
    RecordingHost host;
    Automation a(host);
    EXPECT_EQ(a.execute("Refresh", ""), server_answer::Ack);
    EXPECT_EQ(a.execute("print", "OFF"), server_answer::Ack);
    EXPECT_EQ(a.execute("DeleteGraph", "all"), server_answer::Ack);
    for (const char* topic : {"Pause", "Anything", "Goto", "Label", "Rem", ""})
        EXPECT_EQ(a.execute(topic, "Refresh"), server_answer::NotProcessed) << topic;
    EXPECT_THAT(host.calls, ElementsAre("refresh", "print off", "delete all"));
}

TEST(CommandServer, AFailedOpenAnswersZeroAndItemErrorsAreAcknowledged) {
    RecordingHost host;
    Automation a(host);
    host.open_succeeds = false;
    EXPECT_EQ(a.execute("OpenQvp", "missing.qvp"), server_answer::NotProcessed);
    host.open_succeeds = true;
    EXPECT_EQ(a.execute("OpenQvp", "there.qvp"), server_answer::Ack);
    EXPECT_EQ(a.execute("Data", "COLUMNX 2, XSCALE 0 1"), server_answer::Ack);
    EXPECT_EQ(a.execute("Data", "COLUMNY 3"), server_answer::Ack);
    EXPECT_EQ(a.data_template().ColumnX, 2);
    EXPECT_EQ(a.data_template().ColumnY, 3);
    EXPECT_THAT(host.calls, ElementsAre("open missing.qvp", "open there.qvp", "refresh"));
    // Paths no document can name are refused before the file system is asked.
    EXPECT_EQ(a.execute("OpenQvp", std::string(1 << 20, 'a')), server_answer::NotProcessed);
    EXPECT_EQ(host.calls.size(), 3u);
    ASSERT_EQ(host.prompts.shown.size(), 1u);
    EXPECT_LT(host.prompts.shown[0].size(), 400u);
}

TEST(CommandServer, NestedExecutesAreBusyButMacroRunsAreNot) {
    RecordingHost host;
    Automation a(host);
    uint32_t nested = 1;
    host.on_print = [&] { nested = a.execute("Refresh", ""); };
    EXPECT_EQ(a.execute("Print", ""), server_answer::Ack);
    EXPECT_EQ(nested, server_answer::Busy);
    EXPECT_FALSE(a.busy());

    a.run(*parse_macro_text("Print\r\n"));
    EXPECT_EQ(nested, server_answer::Ack);
}

TEST(CommandServer, HugeTextsAreCutToTheWorkingBuffers) {
    RecordingHost host;
    Automation a(host);
    std::string text = "XTRANS " + std::string(1 << 20, 'x') + ", COLUMNX 4, " +
                       std::string(300, 'K') + " 1, COLUMNX 5";
    EXPECT_EQ(a.execute("Data", text), server_answer::Ack);
    EXPECT_EQ(a.data_template().Xtrans.size(), EXPRESSION_CAPACITY - 1);
    EXPECT_EQ(a.data_template().ColumnX, 4);
    std::string many;
    for (int i = 0; i < 100000; ++i)
        many += "COLUMNY 3,";
    EXPECT_EQ(a.execute("Data", many), server_answer::Ack);
    EXPECT_EQ(a.data_template().ColumnY, 3);
}

TEST(CoreHost, OpenAddsASeriesWithTheTemplateOverTheFileDefaults) {
    TempDir dir;
    const std::string data = dir.write("a.csv", "1 2 3\n2 4 6\n3 8 9\n");
    GraphSet set;
    add_graph(set);
    IoContext io;
    ScriptedPrompter prompter;
    MemorySettingsStore store;
    store.write("Data Ini", "PlotType", 5);
    store.write("Data Ini", "LineWidth", 77);
    store.write("Data Ini2\\csv", "Converter", 3);
    store.write("Data Ini2\\csv", "PlotType", 9);
    CoreAutomationHost host(set, io, prompter, &store);
    Automation a(host, &store);
    EXPECT_EQ(a.data_template().PlotType, 5); // "Data Ini" at start
    EXPECT_TRUE(a.apply_data_items("COLUMNY 2, OPEN " + data + ", OPEN " + dir.path("none.dat")));
    Graph& g = *set.current_graph();
    ASSERT_EQ(g.series_count, 1);
    EXPECT_EQ(g.series[0].ColumnY, 2);
    EXPECT_EQ(g.series[0].PlotType, 5); // the template wins over "Data Ini2\csv"
    EXPECT_EQ(g.series[0].line.width, 77);
    EXPECT_EQ(g.series[0].Converter, 3); // not a template field
    EXPECT_EQ(g.unmodified, 0);
    EXPECT_THAT(prompter.shown, ElementsAre("エラー|none.dat が見つかりません。"));

    // The template outlives the graphs.
    a.apply_data_items("COLUMNX 1");
    host.delete_graphs(true);
    EXPECT_EQ(set.current_graph()->series_count, 0);
    EXPECT_EQ(a.data_template().ColumnX, 1);
    EXPECT_EQ(a.data_template().ColumnY, 2);
}

TEST(CoreHost, ClearComputesOneAxisAtOnce) {
    TempDir dir;
    GraphSet set;
    add_graph(set);
    IoContext io;
    ScriptedPrompter prompter;
    CoreAutomationHost host(set, io, prompter);
    Automation a(host);
    a.apply_data_items("OPEN " + dir.write("a.dat", "10 200\n20 400\n"));
    Graph& g = *set.current_graph();
    g.scales_valid = 1;
    g.axes[AxisX].from = -7;
    g.axes[AxisY].from = -7;
    EXPECT_TRUE(a.apply_axis_items("XSCALE clear"));
    EXPECT_GE(g.axes[AxisX].from, 0);
    EXPECT_LE(g.axes[AxisX].from, 10);
    EXPECT_GE(g.axes[AxisX].to, 20);
    EXPECT_EQ(g.axes[AxisY].from, -7);
}

TEST(CoreHost, DeletingTheCurrentGraphAsksWhenModified) {
    GraphSet set;
    add_graph(set);
    add_graph(set);
    IoContext io;
    ScriptedPrompter prompter;
    CoreAutomationHost host(set, io, prompter);
    mark_modified(*set.current_graph());
    prompter.answers = {Answer::No};
    host.delete_graphs(false);
    EXPECT_EQ(set.graphs.size(), 2u);
    prompter.answers = {Answer::Yes};
    host.delete_graphs(false);
    EXPECT_EQ(set.graphs.size(), 1u);
    EXPECT_THAT(prompter.shown, ElementsAre("データが変更されています|保存せずに削除しますか？",
                                            "データが変更されています|保存せずに削除しますか？"));
    add_graph(set);
    mark_modified(*set.current_graph());
    host.delete_graphs(true);
    EXPECT_EQ(set.graphs.size(), 1u);
    EXPECT_EQ(prompter.shown.size(), 2u);
}

TEST(CoreHost, OpenQvpOfAMissingFileIsReportedAndStopsTheRun) {
    TempDir dir;
    GraphSet set;
    add_graph(set);
    IoContext io;
    ScriptedPrompter prompter;
    io.prompter = &prompter;
    CoreAutomationHost host(set, io, prompter);
    Automation a(host);
    EXPECT_TRUE(a.run_file(
        dir.write("m.qvd", "OpenQvp " + dir.path("gone.qvp") + "\r\nFrameSet FrameType 0\r\n")));
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(set.current_graph()->FrameType, 1);
}

} // namespace plox::test
