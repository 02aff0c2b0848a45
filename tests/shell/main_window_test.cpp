// The main window under the offscreen platform: start-up, commands by key and by number,
// menu states, recent files, closing and saving. Message boxes and file dialogs are answered
// by scripted fakes, and every test has its own settings folder.
#include "dialogs/sheet_widgets.h"
#include "document/paths.h"
#include "extension/module.h"
#include "platform/settings_qt.h"
#include "settings/user_config.h"
#include "shell/deferred_prompter.h"
#include "shell/main_window.h"
#include "shell/page_window.h"
#include "shell_test_application.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <deque>
#include <fstream>

// fontconfig keeps its caches for the life of the process; under LeakSanitizer that is not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace plox::shell {

namespace {

// Answers messages from a script (Ok when it runs out) and remembers them.
class ScriptedPrompter : public Prompter {
public:
    Answer message(std::string_view title, std::string_view text, Buttons, Icon) override {
        shown.push_back({std::string(title), std::string(text)});
        if (answers.empty()) return Answer::Ok;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<Answer> answers;
    std::vector<std::pair<std::string, std::string>> shown;
};

class FakeDialogs : public ShellDialogs {
public:
    std::vector<std::string> open_data_files(const std::string& ext, const std::string&) override {
        last_user_ext = ext;
        return data_files;
    }
    std::optional<std::string> open_document(const std::string&) override { return document; }
    std::optional<SaveChoice> save_document(const std::string& proposed, bool with_data,
                                            bool allow_16bit) override {
        proposed_names.push_back(proposed);
        offered_with_data = with_data;
        offered_16bit = allow_16bit;
        if (!save_path) return std::nullopt;
        return SaveChoice{*save_path, false, choose_16bit};
    }
    std::optional<std::string> input_text(const std::string& title, const std::string&,
                                          const std::string& initial, int) override {
        input_titles.push_back(title);
        last_initial = initial;
        return input;
    }
    bool open_help(const std::string& path) override {
        help = path;
        return true;
    }
    std::vector<std::string> data_files;
    std::optional<std::string> document, save_path, input;
    std::vector<std::string> proposed_names, input_titles;
    std::string last_user_ext, last_initial, help;
    bool offered_with_data = false, offered_16bit = false, choose_16bit = false;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_application();
        ASSERT_TRUE(config_.isValid() && files_.isValid());
        qputenv("PLOXWIN_CONFIG_DIR", config_.path().toUtf8());
        store_ = std::make_unique<QtSettingsStore>();
        // The window's own sheets and lists end with OK at once, as a user pressing Enter.
        dialogs::run_dialog = [this](QDialog& d) {
            shown_dialogs_.push_back(d.objectName().toStdString());
            d.accept();
            return static_cast<int>(QDialog::Accepted);
        };
    }
    void TearDown() override {
        dialogs::run_dialog = [](QDialog& d) { return d.exec(); };
    }
    std::unique_ptr<MainWindow> make_window() {
        ShellServices s;
        s.store = store_.get();
        s.prompter = &prompter_;
        s.dialogs = &dialogs_;
        return std::make_unique<MainWindow>(s);
    }
    std::string data_file(const char* name, const char* text = "1 2\n2 4\n3 9\n") {
        const std::string path = files_.filePath(QString::fromUtf8(name)).toStdString();
        std::ofstream(path) << text;
        return path;
    }
    static QString label(QAction* a) { return a->text(); }

    QTemporaryDir config_, files_;
    std::unique_ptr<QtSettingsStore> store_;
    ScriptedPrompter prompter_;
    FakeDialogs dialogs_;
    std::vector<std::string> shown_dialogs_;
};

} // namespace

TEST_F(MainWindowTest, CommandLineDataFileBecomesASeriesOfTheFirstGraph) {
    const std::string path = data_file("spectrum.dat");
    auto w = make_window();
    ASSERT_TRUE(w->start(path));
    ASSERT_EQ(w->state().graph_count(), 1);
    const Graph& g = *w->state().current();
    ASSERT_EQ(g.series_count, 1);
    EXPECT_EQ(g.series[0].file_name, path);
    EXPECT_EQ(g.series[0].ColumnX, 0);
    EXPECT_EQ(g.series[0].ColumnY, 1);
    EXPECT_EQ(g.unmodified, 0);
    EXPECT_EQ(read_recent_files(*store_), std::vector<std::string>{path});
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(MainWindowTest, CommandLineFileThatCannotBeOpenedEndsTheProgram) {
    auto w = make_window();
    EXPECT_FALSE(w->start(files_.filePath("missing.dat").toStdString()));
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].first, "エラー");
    EXPECT_EQ(prompter_.shown[0].second, "missing.dat が見つかりません。");
}

TEST_F(MainWindowTest, FunctionKeysChooseGraphs) {
    auto w = make_window();
    ASSERT_TRUE(w->start());
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->activateWindow();
    QTest::keyClick(w.get(), Qt::Key_F6);
    EXPECT_EQ(w->state().set.current, 0);
    QTest::keyClick(w.get(), Qt::Key_F7); // only one graph: nothing happens
    EXPECT_EQ(w->state().set.current, 0);
    EXPECT_EQ(w->state().graph_count(), 1);

    w->send_command(220);
    ASSERT_EQ(w->state().graph_count(), 2);
    EXPECT_EQ(w->state().set.current, 1);
    QTest::keyClick(w.get(), Qt::Key_F6);
    EXPECT_EQ(w->state().set.current, 0);
    EXPECT_TRUE(w->action(227)->isChecked());
    QTest::keyClick(w.get(), Qt::Key_F7);
    EXPECT_EQ(w->state().set.current, 1);
    EXPECT_EQ(w->windowTitle(), "PloxWin - (Untitled)");
}

TEST_F(MainWindowTest, MenuItemsFollowTheGraphCount) {
    auto w = make_window();
    ASSERT_TRUE(w->start());
    w->refresh_menus();
    EXPECT_FALSE(w->action(226)->isEnabled());
    EXPECT_FALSE(w->action(238)->isEnabled());
    EXPECT_EQ(label(w->action(222)), "名前を付けて保存(&A)");
    // Commands without a handler are greyed, never silently enabled.
    EXPECT_TRUE(w->action(201)->isEnabled());  // the axis sheet
    EXPECT_FALSE(w->action(620)->isEnabled()); // nothing to undo yet
    // Popup items with their own labels send the same numbers and follow the same rules.
    QMenu* object_popup = w->popup_menu(2);
    ASSERT_NE(object_popup, nullptr);
    QAction* remove = object_popup->actions().back();
    EXPECT_EQ(remove->text(), "削除");
    EXPECT_EQ(remove->data().toInt(), 130);
    EXPECT_FALSE(remove->isEnabled());

    w->send_command(220);
    EXPECT_TRUE(w->action(226)->isEnabled());
    EXPECT_TRUE(w->action(238)->isEnabled());
    EXPECT_EQ(label(w->action(222)), "グラフの個別保存");
    // The graph menu ends with one checked item per graph.
    QMenu* graphs = w->menu(3);
    ASSERT_NE(graphs, nullptr);
    EXPECT_EQ(graphs->actions().back()->text(), "&2:(Untitled)");
    EXPECT_TRUE(graphs->actions().back()->isChecked());
}

TEST_F(MainWindowTest, CommandNumbersBehaveAsMenuItems) {
    auto by_menu = make_window();
    auto by_number = make_window();
    ASSERT_TRUE(by_menu->start());
    ASSERT_TRUE(by_number->start());
    by_menu->action(241)->trigger();
    by_number->send_command(241);
    EXPECT_TRUE(by_menu->state().set.show_all);
    EXPECT_TRUE(by_number->state().set.show_all);
    EXPECT_FALSE(by_number->action(241)->isEnabled());
    by_number->send_command(242);
    EXPECT_FALSE(by_number->state().set.show_all);

    // A greyed command, an unknown number and a graph that does not exist do nothing.
    by_number->send_command(238);
    by_number->send_command(9999);
    by_number->send_command(236);
    EXPECT_EQ(by_number->state().graph_count(), 1);
    EXPECT_TRUE(prompter_.shown.empty());

    by_number->send_command(117);
    EXPECT_TRUE(by_number->state().preview);
    EXPECT_TRUE(by_number->action(117)->isChecked());
    by_number->send_command(117);
    EXPECT_FALSE(by_number->state().preview);
}

TEST_F(MainWindowTest, CancelAtTheCloseQuestionKeepsTheProgramRunning) {
    const std::string path = data_file("a.dat");
    auto w = make_window();
    ASSERT_TRUE(w->start(path));
    w->show();
    prompter_.answers = {Answer::Cancel};
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].second, " (Untitled) は変更されています\n　保存しますか?");

    // Still fully working: another command runs, and Yes with a cancelled save dialog keeps it
    // open.
    w->send_command(220);
    EXPECT_EQ(w->state().graph_count(), 2);
    prompter_.answers = {Answer::Yes};
    EXPECT_FALSE(w->close());
    EXPECT_EQ(dialogs_.proposed_names.size(), 1u);
    prompter_.answers = {Answer::No};
    EXPECT_TRUE(w->close());
}

TEST_F(MainWindowTest, StoredPlacementIsUsedUnlessMaximised) {
    WindowPlacement p;
    p.Max = 1;
    p.rect = WindowPlacement::Rect{10, 20, 300, 200};
    write_window_placement(*store_, p);
    auto w = make_window();
    ASSERT_TRUE(w->start());
    w->show_as_stored();
    EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);

    p.Max = 0;
    write_window_placement(*store_, p);
    auto normal = make_window();
    ASSERT_TRUE(normal->start());
    normal->show_as_stored();
    EXPECT_FALSE(normal->isMaximized());
    EXPECT_EQ(normal->geometry().size(), QSize(300, 200));
    prompter_.answers = {};
    ASSERT_TRUE(normal->close());
    EXPECT_EQ(read_window_placement(*store_).Max, 0);
}

TEST_F(MainWindowTest, RecentFilesNewestFirstAndADeletedOneKeepsTheList) {
    const std::string a = data_file("a.dat"), b = data_file("b.dat");
    auto w = make_window();
    ASSERT_TRUE(w->start());
    ASSERT_TRUE(w->open_file(a, false, OpenSource::Drop));
    ASSERT_TRUE(w->open_file(b, false, OpenSource::Drop));
    // The same file named relative to the working folder is the same entry.
    const QString relative = QDir::current().relativeFilePath(QString::fromStdString(a));
    ASSERT_TRUE(w->open_file(relative.toStdString(), false, OpenSource::Drop));
    EXPECT_EQ(w->state().recent, (std::vector<std::string>{a, b}));
    ASSERT_NE(w->action(552), nullptr);
    EXPECT_EQ(w->action(552)->text(), "&1:a.dat");
    EXPECT_EQ(w->action(553)->text(), "&2:b.dat");
    EXPECT_EQ(w->action(554), nullptr);

    // A new run rebuilds the menu from the stored list.
    auto again = make_window();
    EXPECT_EQ(again->action(553)->text(), "&2:b.dat");

    QFile::remove(QString::fromStdString(b));
    again->start();
    again->send_command(553);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].second, "b.dat が見つかりません。");
    EXPECT_EQ(read_recent_files(*store_), (std::vector<std::string>{a, b}));
    EXPECT_EQ(again->state().current()->series_count, 0);

    again->send_command(552);
    EXPECT_EQ(again->state().current()->series_count, 1);
}

TEST_F(MainWindowTest, OpeningDataFilesAdvancesStyleAndUsesTheExtensionKey) {
    store_->write_dword("User Config", "AutoDotType", 1);
    store_->write_text("User Config", "UserExt", "*.csv");
    store_->write_dword("Data Ini2\\csv", "PlotType", 12);
    const std::string one = data_file("one.csv"), two = data_file("two.csv");
    auto w = make_window();
    ASSERT_TRUE(w->start());
    dialogs_.data_files = {one, two};
    w->send_command(101);
    EXPECT_EQ(dialogs_.last_user_ext, "*.csv");
    const Graph& g = *w->state().current();
    ASSERT_EQ(g.series_count, 2);
    EXPECT_EQ(g.series[0].PlotType, 12);
    EXPECT_EQ(g.series[1].PlotType, 14);

    // With two series closing goes through the data manager.
    EXPECT_TRUE(w->action(102)->isEnabled());
}

TEST_F(MainWindowTest, ClosingTheOnlySeriesAsksFirst) {
    auto w = make_window();
    ASSERT_TRUE(w->start(data_file("a.dat")));
    prompter_.answers = {Answer::No};
    w->send_command(102);
    EXPECT_EQ(w->state().current()->series_count, 1);
    prompter_.answers = {Answer::Yes};
    w->send_command(102);
    EXPECT_EQ(w->state().current()->series_count, 0);
    EXPECT_EQ(prompter_.shown.back().second, "1個のファイルをCloseします");
}

TEST_F(MainWindowTest, DeletingAModifiedGraphAsksFirst) {
    auto w = make_window();
    ASSERT_TRUE(w->start(data_file("a.dat")));
    w->send_command(220);
    w->send_command(227);
    prompter_.answers = {Answer::No};
    w->send_command(221);
    EXPECT_EQ(w->state().graph_count(), 2);
    EXPECT_EQ(prompter_.shown.back().first, "データが変更されています");
    prompter_.answers = {Answer::Yes};
    w->send_command(221);
    ASSERT_EQ(w->state().graph_count(), 1);
    EXPECT_EQ(w->state().current()->series_count, 0);
    w->send_command(221); // the only graph is replaced by a new one
    EXPECT_EQ(w->state().graph_count(), 1);
}

TEST_F(MainWindowTest, SavingUnderANameUpdatesCaptionAndRecentFiles) {
    auto w = make_window();
    ASSERT_TRUE(w->start(data_file("a.dat")));
    const std::string doc = files_.filePath("plot.qvp").toStdString();
    dialogs_.save_path = doc;
    w->send_command(219); // no name yet: asks
    ASSERT_EQ(dialogs_.proposed_names.size(), 1u);
    EXPECT_EQ(dialogs_.proposed_names[0], "Untitled.qvp");
    EXPECT_TRUE(dialogs_.offered_with_data);
    EXPECT_TRUE(dialogs_.offered_16bit);
    EXPECT_EQ(w->state().current()->unmodified, 1);
    EXPECT_EQ(w->windowTitle(), "PloxWin - plot.qvp");
    EXPECT_EQ(read_recent_files(*store_).front(), doc);
    std::ifstream in(doc);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first.substr(0, first.find('\r')), VERSION_LINE_1_8);

    w->send_command(219); // named now: no dialog
    EXPECT_EQ(dialogs_.proposed_names.size(), 1u);

    // The saved document opens into an empty graph through the same path as every file.
    auto reader = make_window();
    ASSERT_TRUE(reader->start(doc));
    EXPECT_EQ(reader->state().graph_count(), 1);
    EXPECT_EQ(reader->state().current()->series_count, 1);

    // "16bit版形式で保存する": the 1.5 layout, which opens again.
    dialogs_.choose_16bit = true;
    w->send_command(222); // save this graph: always asks
    std::ifstream old(doc);
    std::getline(old, first);
    EXPECT_EQ(first.substr(0, first.find('\r')), VERSION_LINE_1_5);
    auto old_reader = make_window();
    ASSERT_TRUE(old_reader->start(doc));
    EXPECT_EQ(old_reader->state().current()->series_count, 1);
}

TEST_F(MainWindowTest, OpensNgraphProjectsThroughTheDeliveredConverterModule) {
    auto w = make_window();
    ASSERT_TRUE(w->bind_extension());
    ASSERT_TRUE(w->start(std::string(PLOX_SOURCE_DIR) + "/examples/ngraph_resonance.prm"));
    ASSERT_NE(w->modules(), nullptr);
    ASSERT_NE(w->modules()->converter, nullptr);
    EXPECT_EQ(w->modules()->converter->version(), 0x0001);
    ASSERT_EQ(w->state().graph_count(), 1);
    const Graph& g = *w->state().current();
    EXPECT_EQ(g.comment, "Converted from Ngraph ver. 5.3 file");
    EXPECT_EQ(g.series_count, 2);
    EXPECT_EQ(paths::file_name_of(g.file_name), "ngraph_resonance.qvp");
}

TEST_F(MainWindowTest, CalculatorShowsTheValueAndRemembersTheText) {
    auto w = make_window();
    ASSERT_TRUE(w->start());
    dialogs_.input = "1+2*3";
    w->send_command(774);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].first, "PloxWin");
    EXPECT_EQ(prompter_.shown[0].second, "1+2*3=7.000000");
    EXPECT_EQ(dialogs_.input_titles.at(0), "四則計算機");
    w->send_command(774);
    EXPECT_EQ(dialogs_.last_initial, "1+2*3");
}

TEST_F(MainWindowTest, PageScrollsByLinesAndPages) {
    auto w = make_window();
    ASSERT_TRUE(w->start());
    w->resize(500, 400);
    w->show();
    PageWindow* page = w->page();
    QScrollBar* v = page->verticalScrollBar();
    ASSERT_GT(v->maximum(), 0);
    EXPECT_EQ(v->singleStep(), std::max(1, page->viewport()->height() / 8));
    page->scroll_lines(1);
    EXPECT_EQ(v->value(), v->singleStep());
    page->scroll_pages(1, 0);
    EXPECT_EQ(v->value(), std::min(v->maximum(), v->singleStep() + v->pageStep()));
    page->scroll_to_bottom();
    EXPECT_EQ(v->value(), v->maximum());
    page->scroll_pages(-100, 0);
    EXPECT_EQ(v->value(), 0);
}

TEST_F(MainWindowTest, DroppedFilesBecomeSeriesAndOverlongNamesAreSkipped) {
    auto w = make_window();
    ASSERT_TRUE(w->start());
    const std::string too_long = files_.path().toStdString() + "/" + std::string(270, 'x') + ".dat";
    w->open_dropped({QUrl::fromLocalFile(QString::fromStdString(data_file("a.dat"))),
                     QUrl::fromLocalFile(QString::fromStdString(too_long)),
                     QUrl::fromLocalFile(QString::fromStdString(data_file("b.dat")))});
    const Graph& g = *w->state().current();
    ASSERT_EQ(g.series_count, 2);
    EXPECT_EQ(paths::file_name_of(g.series[1].file_name), "b.dat");
    EXPECT_TRUE(prompter_.shown.empty());
}

TEST_F(MainWindowTest, MacrosAndTheCommandServerOpenDocumentsOnly) {
    auto w = make_window();
    ASSERT_TRUE(w->start());
    EXPECT_FALSE(w->open_file(data_file("a.dat"), false, OpenSource::Macro));
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].second, "不正なファイルです");
    EXPECT_EQ(w->state().current()->series_count, 0);
    // A macro file without the macro interpreter is refused with a message, not ignored.
    EXPECT_FALSE(w->open_file(data_file("run.QVD"), false, OpenSource::Drop));
    EXPECT_EQ(prompter_.shown.size(), 2u);
}

TEST_F(MainWindowTest, PreviewPaintsThePaperOnTheDesktopColour) {
    auto w = make_window();
    ASSERT_TRUE(w->start());
    w->resize(600, 500);
    w->show();
    w->send_command(117);
    PageWindow* page = w->page();
    QImage image(page->viewport()->size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        page->paint_page(painter, image.rect());
    }
    const PageLayout l = page->layout();
    const QPoint inside(l.origin_x + l.paper.width / 2, l.origin_y + l.paper.height - 3);
    EXPECT_EQ(image.pixel(inside), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(1, 1), page->palette().color(QPalette::Dark).rgb());
    EXPECT_TRUE(w->state().drawings_valid);
}

TEST_F(MainWindowTest, SettingsFileWithoutKeysGivesDefaults) {
    QFile empty(config_.filePath("Hexwold/PloxWin.ini"));
    QDir().mkpath(config_.filePath("Hexwold"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    QtSettingsStore store;
    EXPECT_EQ(store.file_name(), config_.filePath("Hexwold/PloxWin.ini"));
    UserConfig c = read_user_config(store);
    EXPECT_EQ(c.DrawGlid, 500);
    EXPECT_EQ(c.ScreenSize, 100);
    EXPECT_EQ(c.UserExt, "*.*");
    EXPECT_TRUE(read_recent_files(store).empty());
    EXPECT_FALSE(read_window_placement(store).rect);
}

TEST_F(MainWindowTest, QtStoreKeepsTypesBytesAndSubKeys) {
    {
        QtSettingsStore store;
        store.write_dword("User Config", "BkColor", 0xFFFFFF);
        store.write_text("Data Ini2\\csv", "Xtrans", "x*2, y");
        store.write_text("User Files", "RemainFile1",
                         std::string("C:\\\x83\x66\x81\x5B\x83\x5E.dat"));
        store.write_binary("Title Ini", "Font1", {0, 1, 2, 255});
    }
    QtSettingsStore store; // read back from the file
    EXPECT_EQ(store.read_dword("User Config", "BkColor"), 0xFFFFFFu);
    EXPECT_EQ(store.read_text("Data Ini2\\csv", "Xtrans"), "x*2, y");
    EXPECT_EQ(store.read_text("User Files", "RemainFile1"),
              std::string("C:\\\x83\x66\x81\x5B\x83\x5E.dat"));
    EXPECT_EQ(store.read_binary("Title Ini", "Font1"), (std::vector<uint8_t>{0, 1, 2, 255}));
    EXPECT_FALSE(store.read_binary("User Config", "BkColor"));
    EXPECT_TRUE(store.has_key("Data Ini2\\csv"));
    EXPECT_FALSE(store.has_key("Data Ini2\\txt"));
    store.remove("User Config", "BkColor");
    EXPECT_FALSE(store.read_dword("User Config", "BkColor"));
}

TEST(DeferredPrompter, MessagesRaisedWhilePaintingAppearAfterwardsInOrder) {
    test_application();
    RecordingPrompter shown;
    QObject owner;
    DeferredPrompter deferred(shown, &owner);
    EXPECT_EQ(deferred.message("Syntax error", "first", Buttons::Ok, Icon::Error), Answer::Ok);
    EXPECT_EQ(deferred.message("エラー", "second", Buttons::Ok, Icon::Error), Answer::Ok);
    EXPECT_TRUE(shown.shown.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(shown.shown.size(), 2u);
    EXPECT_EQ(shown.shown[0].text, "first");
    EXPECT_EQ(shown.shown[1].title, "エラー");
    deferred.message("Math trans error", "third", Buttons::Ok, Icon::Error);
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.shown.size(), 3u);
}

} // namespace plox::shell
