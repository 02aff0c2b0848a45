// The help window over the bundled page: contents from its headings, search with wrap-around,
// and the shell's dialogs refusing a page that cannot be read.
#include "dialogs/help_window.h"
#include "dialogs/shell_dialogs_qt.h"
#include "shell_test_application.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace plox {

namespace {

const QString help_page = QStringLiteral(PLOX_SOURCE_DIR "/docs/help.html");

QStringList top_entries(const QTreeWidget* tree) {
    QStringList out;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        out << tree->topLevelItem(i)->text(0);
    return out;
}

} // namespace

TEST(HelpWindow, ContentsListTheHeadingsOfTheBundledPage) {
    shell::test_application();
    HelpWindow window;
    ASSERT_TRUE(window.load(help_page));
    EXPECT_TRUE(window.browser()->toPlainText().contains(QStringLiteral("Getting started")));
    // h1 is the root, the h2 sections sit below it in the page's order.
    ASSERT_EQ(window.contents()->topLevelItemCount(), 1);
    const QTreeWidgetItem* root = window.contents()->topLevelItem(0);
    EXPECT_EQ(root->text(0), QStringLiteral("PloxWin"));
    ASSERT_GE(root->childCount(), 3);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("Getting started"));
    EXPECT_EQ(root->child(2)->text(0), QStringLiteral("Keys"));

    // Choosing an entry puts the cursor on its heading.
    window.contents()->setCurrentItem(root->child(2));
    EXPECT_EQ(window.browser()->textCursor().block().text(), QStringLiteral("Keys"));
}

TEST(HelpWindow, NestsDeeperHeadingsAndSkipsEmptyOnes) {
    shell::test_application();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("h.html"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<h2>A</h2><p>x</p><h3>A1</h3><h3>A2</h3><h2> </h2><h2>B</h2><h4>deep</h4>");
    file.close();
    HelpWindow window;
    ASSERT_TRUE(window.load(path));
    EXPECT_EQ(top_entries(window.contents()), (QStringList{"A", "B"}));
    const QTreeWidgetItem* a = window.contents()->topLevelItem(0);
    ASSERT_EQ(a->childCount(), 2);
    EXPECT_EQ(a->child(1)->text(0), QStringLiteral("A2"));
    EXPECT_EQ(window.contents()->topLevelItem(1)->childCount(), 0);
}

TEST(HelpWindow, SearchFindsEachMatchThenWrapsAndReportsMisses) {
    shell::test_application();
    HelpWindow window;
    ASSERT_TRUE(window.load(help_page));
    const QString text = window.browser()->toPlainText();
    const int count = text.count(QStringLiteral("scroll"), Qt::CaseInsensitive);
    ASSERT_GE(count, 2);

    QList<int> starts;
    for (int i = 0; i <= count; ++i) {
        ASSERT_TRUE(window.find_next(QStringLiteral("scroll")));
        EXPECT_EQ(window.browser()->textCursor().selectedText().toLower(),
                  QStringLiteral("scroll"));
        starts << window.browser()->textCursor().selectionStart();
    }
    // Every match once in order, then back to the first.
    for (int i = 1; i < count; ++i)
        EXPECT_LT(starts[i - 1], starts[i]);
    EXPECT_EQ(starts[count], starts[0]);

    EXPECT_FALSE(window.find_next(QStringLiteral("no such words here")));
    EXPECT_FALSE(window.find_next(QString()));
}

TEST(HelpWindow, UnreadablePageIsRefused) {
    shell::test_application();
    HelpWindow window;
    EXPECT_FALSE(window.load(QStringLiteral("/nonexistent/help.html")));
    QtShellDialogs dialogs;
    EXPECT_FALSE(dialogs.open_help("/nonexistent/help.html"));
    // A readable page opens, and asking again reuses the window.
    EXPECT_TRUE(dialogs.open_help(help_page.toStdString()));
    EXPECT_TRUE(dialogs.open_help(help_page.toStdString()));
    int windows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<HelpWindow*>(w) && w->isVisible()) ++windows;
    EXPECT_EQ(windows, 1);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<HelpWindow*>(w)) w->close();
}

} // namespace plox
