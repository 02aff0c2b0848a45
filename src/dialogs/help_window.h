// The bundled HTML help in a window of the program: the contents (the page's headings) on the
// left, the page on the right, a search field above and a button that hands the page to the
// desktop's browser.
#pragma once

#include <QString>
#include <QWidget>

class QLineEdit;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;
class QLabel;

namespace plox {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Loads the page; false when it cannot be read.
    bool load(const QString& path);
    const QString& path() const { return path_; }

    // Finds the next occurrence of the text after the selection, wrapping to the top once;
    // false when the page does not hold it.
    bool find_next(const QString& text);
    // Scrolls to the heading of the contents entry.
    void show_entry(int index);

    QTreeWidget* contents() const { return contents_; }
    QTextBrowser* browser() const { return browser_; }
    QLineEdit* search_field() const { return search_; }

private:
    void fill_contents();
    void search_edited();

    QString path_;
    QTreeWidget* contents_;
    QTextBrowser* browser_;
    QLineEdit* search_;
    QLabel* search_state_;
    QList<int> heading_positions_;
};

} // namespace plox
