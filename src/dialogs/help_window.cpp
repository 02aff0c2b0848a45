// The help window: a text browser over the bundled page with its headings as contents.
#include "dialogs/help_window.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace plox {

HelpWindow::HelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), contents_(new QTreeWidget), browser_(new QTextBrowser),
      search_(new QLineEdit), search_state_(new QLabel) {
    setWindowTitle(QStringLiteral("PloxWin ヘルプ"));
    resize(900, 650);

    auto* label = new QLabel(QStringLiteral("検索(&S):"));
    label->setBuddy(search_);
    search_->setClearButtonEnabled(true);
    auto* next = new QPushButton(QStringLiteral("次を検索(&N)"));
    auto* external = new QPushButton(QStringLiteral("ブラウザで開く(&B)"));
    auto* bar = new QHBoxLayout;
    bar->addWidget(label);
    bar->addWidget(search_, 1);
    bar->addWidget(next);
    bar->addWidget(search_state_);
    bar->addStretch();
    bar->addWidget(external);

    contents_->setHeaderHidden(true);
    contents_->setColumnCount(1);
    browser_->setOpenExternalLinks(true);
    auto* split = new QSplitter;
    split->addWidget(contents_);
    split->addWidget(browser_);
    split->setStretchFactor(1, 3);
    split->setSizes({220, 680});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(split, 1);
    setTabOrder(search_, next);
    setTabOrder(next, external);
    setTabOrder(external, contents_);
    setTabOrder(contents_, browser_);

    connect(search_, &QLineEdit::textEdited, this, [this] { search_edited(); });
    connect(search_, &QLineEdit::returnPressed, this, [this] { find_next(search_->text()); });
    connect(next, &QPushButton::clicked, this, [this] { find_next(search_->text()); });
    connect(external, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(path_)); });
    connect(contents_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item) show_entry(item->data(0, Qt::UserRole).toInt());
    });
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        search_->setFocus();
        search_->selectAll();
    });
    auto* close_key = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close_key, &QShortcut::activated, this, &QWidget::close);
}

bool HelpWindow::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    path_ = QFileInfo(path).absoluteFilePath();
    // Pictures and links are relative to the page's folder.
    browser_->setSearchPaths({QFileInfo(path).absolutePath()});
    browser_->document()->setBaseUrl(QUrl::fromLocalFile(path_));
    browser_->setHtml(QString::fromUtf8(file.readAll()));
    fill_contents();
    search_state_->clear();
    return true;
}

// Headings h1-h3 become entries; deeper levels nest under the last shallower one.
void HelpWindow::fill_contents() {
    contents_->clear();
    heading_positions_.clear();
    QTreeWidgetItem* parents[4] = {};
    for (QTextBlock block = browser_->document()->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 3 || block.text().trimmed().isEmpty()) continue;
        QTreeWidgetItem* parent = nullptr;
        for (int l = level - 1; l >= 1 && !parent; --l)
            parent = parents[l];
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
        item->setText(0, block.text().trimmed());
        item->setData(0, Qt::UserRole, int(heading_positions_.size()));
        heading_positions_.push_back(block.position());
        parents[level] = item;
        for (int l = level + 1; l <= 3; ++l)
            parents[l] = nullptr;
    }
    contents_->expandAll();
}

void HelpWindow::show_entry(int index) {
    if (index < 0 || index >= heading_positions_.size()) return;
    QTextCursor cursor(browser_->document());
    // Past the end first, so that the heading comes to the top of the view.
    cursor.movePosition(QTextCursor::End);
    browser_->setTextCursor(cursor);
    browser_->ensureCursorVisible();
    cursor.setPosition(heading_positions_[index]);
    browser_->setTextCursor(cursor);
    browser_->ensureCursorVisible();
}

bool HelpWindow::find_next(const QString& text) {
    if (text.isEmpty()) {
        search_state_->clear();
        return false;
    }
    bool found = browser_->find(text);
    if (!found) {
        QTextCursor top(browser_->document());
        browser_->setTextCursor(top);
        found = browser_->find(text);
    }
    search_state_->setText(found ? QString() : QStringLiteral("見つかりません"));
    return found;
}

// Typing searches from the start of the current match, so that the match grows with the text.
void HelpWindow::search_edited() {
    QTextCursor cursor = browser_->textCursor();
    cursor.setPosition(cursor.selectionStart());
    browser_->setTextCursor(cursor);
    find_next(search_->text());
}

} // namespace plox
