// The region commands of the page's popup menu: copying (127) and saving (128) the rectangle
// drawn with the right button, with the copy region dialog and the save dialog answered here.
#include "dialogs/copy_region_dialog.h"
#include "shell/main_window.h"
#include "shell/page_editor.h"
#include "shell/page_window.h"
#include "shell_test_application.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstring>

namespace plox::shell {
namespace {

class QuietPrompter : public Prompter {
public:
    Answer message(std::string_view, std::string_view, Buttons, Icon) override {
        return Answer::Ok;
    }
};

int32_t le32(const QByteArray& b, int at) {
    int32_t v = 0;
    std::memcpy(&v, b.constData() + at, 4);
    return v;
}

struct RegionCommandTest : ::testing::Test {
    RegionCommandTest() {
        ShellServices s;
        s.prompter = &prompter;
        window = std::make_unique<MainWindow>(s);
        window->start();
        window->resize(900, 700);
        window->show();
        editor = window->findChild<PageEditor*>();
        window->page()->viewport()->grab();
    }
    QWidget* viewport() { return window->page()->viewport(); }
    QPoint device(int x, int y) { return window->page()->to_device(x, y); }
    void drag(Qt::MouseButton button, QPoint from, QPoint to) {
        QTest::mousePress(viewport(), button, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), viewport()->mapToGlobal(QPointF(to)),
                         Qt::NoButton, button, {});
        QApplication::sendEvent(viewport(), &move);
        QTest::mouseRelease(viewport(), button, {}, to);
    }
    // Answers the modal dialogs as they come: the copy region dialog with `ratio` (and the
    // enhanced box on), the save dialog with `file`.
    void answer_dialogs(const QString& ratio, const QString& file = {}) {
        delete timer;
        timer = new QTimer(window.get());
        QObject::connect(timer, &QTimer::timeout, timer, [ratio, file, this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* d = qobject_cast<CopyRegionDialog*>(modal)) {
                d->ratio()->setText(ratio);
                if (d->enhanced()->isEnabled()) d->enhanced()->setChecked(true);
                ++dialogs_seen;
                d->accept();
            } else if (auto* f = qobject_cast<QFileDialog*>(modal)) {
                ++dialogs_seen;
                // selectFile leaves the name alone while the name field has the focus, so the
                // name is typed into the field itself.
                auto* name = f->findChild<QLineEdit*>("fileNameEdit");
                if (file.isEmpty() || !name) {
                    f->reject();
                } else {
                    f->setDirectory(QFileInfo(file).absolutePath());
                    name->setText(QFileInfo(file).fileName());
                    static_cast<QDialog*>(f)->accept();
                }
                // A dialog that refuses the answer fails the test instead of hanging it.
                if (f->isVisible()) f->reject();
            }
        });
        timer->start(30);
    }

    QApplication& app = test_application();
    QuietPrompter prompter;
    std::unique_ptr<MainWindow> window;
    PageEditor* editor = nullptr;
    int dialogs_seen = 0;
    QTimer* timer = nullptr;
};

TEST_F(RegionCommandTest, RegionCommandsNeedARegionDrawnOnThePage) {
    EXPECT_FALSE(window->is_command_enabled(127));
    EXPECT_FALSE(window->is_command_enabled(128));
    EXPECT_TRUE(window->is_command_enabled(621));

    // A right-button click without moving selects no region.
    const QPoint at = device(3000, 3000);
    QTest::mousePress(viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(viewport(), Qt::RightButton, {}, at);
    for (QMenu* m : window->findChildren<QMenu*>())
        m->hide();
    EXPECT_FALSE(window->is_command_enabled(127));

    drag(Qt::RightButton, device(6000, 5000), device(2000, 2000));
    ASSERT_TRUE(window->popup_menu(0)->isVisible());
    window->popup_menu(0)->hide();
    EXPECT_TRUE(window->is_command_enabled(127));
    EXPECT_TRUE(window->is_command_enabled(128));

    // A left click on nothing ends the selection, and with it the region.
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, device(1000, 1000));
    EXPECT_FALSE(window->is_command_enabled(127));
    EXPECT_FALSE(window->is_command_enabled(128));
}

TEST_F(RegionCommandTest, CopyRegionPutsTheRectangleOnTheClipboardAtTheChosenRatio) {
    drag(Qt::RightButton, device(12000, 9000), device(2000, 3000));
    window->popup_menu(0)->hide();
    ASSERT_TRUE(editor->region().has_value());
    const editing::Rect32 r = *editor->region();
    const int32_t w = std::abs(r.right - r.left), h = std::abs(r.bottom - r.top);
    ASSERT_GT(w, 5000);

    QApplication::clipboard()->clear();
    answer_dialogs("50");
    window->send_command(127);
    EXPECT_EQ(dialogs_seen, 1);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime && mime->hasFormat("image/x-emf"));
    const QByteArray emf = mime->data("image/x-emf");
    ASSERT_GE(emf.size(), 88);
    // The frame (0.01 mm) is the selected rectangle scaled by the ratio, not the whole page.
    EXPECT_EQ(le32(emf, 24), 0);
    EXPECT_EQ(le32(emf, 28), 0);
    EXPECT_NEAR(le32(emf, 32), w / 2, 1);
    EXPECT_NEAR(le32(emf, 36), h / 2, 1);
}

TEST_F(RegionCommandTest, SaveRegionWritesAPlaceableMetafileOfTheRectangle) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    drag(Qt::RightButton, device(3000, 4000), device(13000, 10000));
    window->popup_menu(0)->hide();
    ASSERT_TRUE(editor->region().has_value());
    const editing::Rect32 r = *editor->region();
    const QString path = dir.filePath("part.WMF");
    answer_dialogs("100", path);
    window->send_command(128);
    EXPECT_EQ(dialogs_seen, 2);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray wmf = file.readAll();
    ASSERT_GE(wmf.size(), 22);
    EXPECT_EQ(static_cast<uint32_t>(le32(wmf, 0)), 0x9AC6CDD7u);
    // Bounding box in 1270 units per inch: half the page units.
    const auto word = [&wmf](int at) {
        int16_t v = 0;
        std::memcpy(&v, wmf.constData() + at, 2);
        return static_cast<int>(v);
    };
    EXPECT_NEAR(word(10) - word(6), (r.right - r.left) / 2, 2);
    EXPECT_NEAR(word(12) - word(8), (r.bottom - r.top) / 2, 2);

    // Cancelling the save dialog writes nothing.
    dialogs_seen = 0;
    QFile::remove(path);
    answer_dialogs("100");
    window->send_command(128);
    EXPECT_EQ(dialogs_seen, 2);
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
} // namespace plox::shell
