// Loading and running macro programs: line splitting, capacity, labels, Pause and stops.
#include "fixtures.h"

#include <gmock/gmock.h>

namespace plox::test {

namespace {

using ::testing::ElementsAre;

std::string lines(int count, const std::string& text = "Rem x") {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text + "\r\n";
    return out;
}

std::vector<std::string> run_text(RecordingHost& host, const std::string& text) {
    Automation automation(host);
    auto program = parse_macro_text(text);
    EXPECT_TRUE(program);
    if (program) automation.run(*program);
    return host.calls;
}

} // namespace

TEST(MacroLoading, SeventyNineLinesLoadAndEightyAreRefusedWithTheirMessage) {
    EXPECT_EQ(parse_macro_text(lines(79))->lines.size(), 79u);
    EXPECT_FALSE(parse_macro_text(lines(80)));
    // The line end of the last line is optional; an 80th line without one still counts.
    EXPECT_FALSE(parse_macro_text(lines(79) + "Rem"));

    TempDir dir;
    ScriptedPrompter prompter;
    EXPECT_TRUE(load_macro(dir.write("ok.qvd", lines(79)), prompter));
    EXPECT_FALSE(load_macro(dir.write("long.qvd", lines(80)), prompter));
    EXPECT_FALSE(load_macro(dir.path("missing.qvd"), prompter));
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0], "Error|two many macros!");
    EXPECT_EQ(prompter.shown[1], "エラー|missing.qvd が見つかりません。");
}

TEST(MacroLoading, LinesSplitAsTheFileReaderSplitsThem) {
    // 511 bytes per line, the LF included; the rest goes on as a line of its own.
    const std::string long_rem = "Rem " + std::string(600, 'a');
    auto p = parse_macro_text(long_rem + "\nRefresh\r\nGoto  x  \r\n\x1A");
    ASSERT_TRUE(p);
    ASSERT_EQ(p->lines.size(), 4u);
    EXPECT_EQ(p->lines[0].argument.size(), 507u);
    EXPECT_EQ(p->lines[1].code, macro::None); // the continuation is "aaa…", no command word
    EXPECT_EQ(p->lines[2].code, macro::Refresh);
    EXPECT_EQ(p->lines[3].code, macro::Goto);
    EXPECT_EQ(p->lines[3].argument, "x  "); // trailing blanks belong to the argument

    // A bare LF ends a line as well; a NUL ends the line's text.
    p = parse_macro_text(std::string("label a\nRem b\0Refresh\n#x\n\n", 26));
    ASSERT_TRUE(p);
    ASSERT_EQ(p->lines.size(), 4u);
    EXPECT_EQ(p->lines[0].code, macro::Label);
    EXPECT_EQ(p->lines[0].argument, "a");
    EXPECT_EQ(p->lines[1].argument, "b");
    EXPECT_EQ(p->lines[2].code, macro::None);
    EXPECT_EQ(p->lines[3].code, macro::None);
}

TEST(MacroLoading, HostileFilesAreRefusedWhole) {
    TempDir dir;
    ScriptedPrompter prompter;
    EXPECT_FALSE(load_macro(dir.write("big.qvd", "Rem " + std::string(1 << 20, 'x')), prompter));
    std::string labels;
    for (int i = 0; i < 10000; ++i)
        labels += "Label " + std::to_string(i) + "\r\n";
    EXPECT_FALSE(load_macro(dir.write("labels.qvd", labels), prompter));
    EXPECT_THAT(prompter.shown, ElementsAre("Error|two many macros!", "Error|two many macros!"));
    // NUL bytes everywhere: lines without a command word, no crash.
    auto p = load_macro(dir.write("nul.qvd", std::string(300, '\0')), prompter);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->lines[0].code, macro::None);
}

TEST(MacroRunning, CommandWordsMatchInAnyCaseButLabelsExactly) {
    RecordingHost host;
    auto calls =
        run_text(host, "goto x\r\nRefresh\r\nLabel X\r\nPrint\r\nLABEL x\r\nPRINT OFF\r\n");
    EXPECT_THAT(calls, ElementsAre("print off"));

    RecordingHost dup;
    calls = run_text(dup, "Goto a\r\nLabel a\r\nPrint off\r\nLabel a\r\nRefresh\r\n");
    EXPECT_THAT(calls, ElementsAre("print off", "refresh"));
}

TEST(MacroRunning, ErrorsNameTheLineAndStopTheRun) {
    RecordingHost empty_line;
    EXPECT_THAT(run_text(empty_line, "Refresh\r\n\r\nRefresh\r\n"), ElementsAre("refresh"));
    EXPECT_THAT(empty_line.prompts.shown, ElementsAre("Macro|Error in Line2"));

    RecordingHost unknown;
    run_text(unknown, "Rem\r\n# note\r\n");
    EXPECT_THAT(unknown.prompts.shown, ElementsAre("Macro|Error in Line2"));

    RecordingHost no_label;
    run_text(no_label, "Goto nowhere\r\nRefresh\r\n");
    EXPECT_THAT(no_label.prompts.shown, ElementsAre("Macro|Error in Line1"));
    EXPECT_TRUE(no_label.calls.empty());

    RecordingHost failed_open;
    failed_open.open_succeeds = false;
    EXPECT_THAT(run_text(failed_open, "OpenQvp a.qvp\r\nRefresh\r\n"), ElementsAre("open a.qvp"));
    EXPECT_TRUE(failed_open.prompts.shown.empty());
}

TEST(MacroRunning, ALoopRunsUntilPauseIsAnsweredNo) {
    RecordingHost host;
    host.prompts.answers = {Answer::Yes, Answer::Yes, Answer::No};
    auto calls = run_text(host, "Label top\r\nRefresh\r\nPause\r\nGoto top\r\nPrint\r\n");
    EXPECT_THAT(calls, ElementsAre("refresh", "refresh", "refresh"));
    EXPECT_THAT(host.prompts.shown,
                ElementsAre("Macro|Stop in Line3\nContinue?", "Macro|Stop in Line3\nContinue?",
                            "Macro|Stop in Line3\nContinue?"));
}

TEST(MacroRunning, ALoopWithoutPauseAsksAfterManySteps) {
    RecordingHost host;
    run_text(host, "Label a\r\nGoto a\r\n");
    EXPECT_THAT(host.prompts.shown, ElementsAre("Macro|Stop in Line2\nContinue?"));
}

TEST(MacroRunning, ItemListsStopSilentlyAtAnotherCommandsKeyword) {
    RecordingHost host;
    Automation automation(host);
    auto p = parse_macro_text("Data COLUMNX 2, XSCALE 0 1\r\nRefresh\r\n");
    automation.run(*p);
    EXPECT_EQ(automation.data_template().ColumnX, 2);
    EXPECT_EQ(host.set.current_graph()->axes[AxisX].from, 0);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(host.prompts.shown.empty());
}

TEST(MacroRunning, DeleteGraphAllInAnyCaseElseTheCurrentOne) {
    RecordingHost host;
    EXPECT_THAT(run_text(host, "DeleteGraph aLL\r\nDeleteGraph\r\nDeleteGraph All \r\n"),
                ElementsAre("delete all", "delete", "delete"));
}

TEST(MacroRunning, RunsDoNotNest) {
    TempDir dir;
    RecordingHost host;
    Automation automation(host);
    const std::string inner = dir.write("inner.qvd", "Refresh\r\n");
    host.on_print = [&] { EXPECT_FALSE(automation.run_file(inner)); };
    EXPECT_TRUE(automation.run_file(dir.write("outer.qvd", "Print\r\nPrint off\r\n")));
    EXPECT_THAT(host.calls, ElementsAre("print dialog", "print off"));
}

} // namespace plox::test
