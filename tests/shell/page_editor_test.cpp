// Editing in the window: the keyboard path Tab, Tab, Delete and undo, mouse drags, inserting
// through the object dialogs (answered by a fake), the object clipboard and the popup menus.
#include "editing/object_clipboard.h"
#include "editing/object_edit.h"
#include "shell/main_window.h"
#include "shell/page_editor.h"
#include "shell/page_window.h"
#include "shell_test_application.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

#include <deque>

namespace plox::shell {
namespace {

class QuietPrompter : public Prompter {
public:
    Answer message(std::string_view, std::string_view, Buttons, Icon) override {
        return Answer::Ok;
    }
};

// Answers each object dialog from a script, after letting the test change the object.
class FakeObjectDialogs : public ObjectDialogs {
public:
    forms::ObjectAnswer edit_object(const Graph&, GraphObject& o, bool allow_paste,
                                    SettingsStore*) override {
        seen.push_back(o);
        paste_allowed = allow_paste;
        if (edit) edit(o);
        if (answers.empty()) return forms::ObjectAnswer::Cancel;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<forms::ObjectList> object_manager(const Graph& g, int& clicked) override {
        clicked = -1;
        forms::ObjectList list(g);
        if (manager) manager(list);
        return list;
    }
    std::deque<forms::ObjectAnswer> answers;
    std::function<void(GraphObject&)> edit;
    std::function<void(forms::ObjectList&)> manager;
    std::vector<GraphObject> seen;
    bool paste_allowed = false;
};

int used_objects(const Graph& g) {
    int n = 0;
    for (const GraphObject& o : g.objects)
        n += o.used;
    return n;
}

struct EditorTest : ::testing::Test {
    EditorTest() {
        ShellServices s;
        s.prompter = &prompter;
        window = std::make_unique<MainWindow>(s);
        window->start();
        window->resize(900, 700);
        window->show();
        window->activateWindow();
        active = QTest::qWaitForWindowActive(window.get(), 1000);
        editor = window->findChild<PageEditor*>();
        editor->set_dialogs(&dialogs);
        Graph& g = *window->state().current();
        for (const char* text : {"first", "second", "third"}) {
            GraphObject o = editing::new_text(g, object_type::Text, nullptr);
            o.Str = text;
            o.y = 2000 * (used_objects(g) + 1);
            editing::insert_object(g, o);
        }
        g.unmodified = 1;
        window->redraw(true);
        // A paint gives the objects their extents.
        window->page()->viewport()->grab();
    }
    Graph& graph() { return *window->state().current(); }
    QWidget* viewport() { return window->page()->viewport(); }
    QPoint device(int x, int y) { return window->page()->to_device(x, y); }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(viewport(), Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), viewport()->mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(viewport(), &move);
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, to);
    }

    QApplication& app = test_application();
    QuietPrompter prompter;
    FakeObjectDialogs dialogs;
    std::unique_ptr<MainWindow> window;
    PageEditor* editor = nullptr;
    bool active = false;
};

TEST_F(EditorTest, TabTabDeleteRemovesTheFirstObjectAndUndoBringsItBack) {
    ASSERT_TRUE(active); // shortcuts of the window need it active
    QTest::keyClick(window->page(), Qt::Key_Tab);
    EXPECT_EQ(editor->selection().hit.kind, editing::kind::WholeFrame);
    QTest::keyClick(window->page(), Qt::Key_Tab);
    EXPECT_EQ(editor->selection().hit, (editing::Hit{editing::kind::Text, 0}));
    EXPECT_TRUE(window->is_command_enabled(130));
    window->send_command(130);
    EXPECT_EQ(used_objects(graph()), 2);
    EXPECT_EQ(graph().objects[0].Str, "second");
    EXPECT_EQ(graph().unmodified, 0);
    ASSERT_TRUE(window->is_command_enabled(620));
    QTest::keyClick(window->page(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(used_objects(graph()), 3);
    EXPECT_EQ(graph().objects[0].Str, "first");
    EXPECT_EQ(graph().unmodified, 1);
    EXPECT_FALSE(window->is_command_enabled(620));
    QTest::keyClick(window->page(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(used_objects(graph()), 2);
}

TEST_F(EditorTest, DraggingATextMovesItBySnappedMillimetresAndUndoRestoresIt) {
    const GraphObject& o = graph().objects[1];
    const QPoint centre =
        device((o.extent_left + o.extent_right) / 2, (o.extent_top + o.extent_bottom) / 2);
    const int32_t x = o.x;
    window->state().config.Glid = 500;
    drag(centre, centre + QPoint(0, 1));
    EXPECT_EQ(graph().objects[1].x, x); // below the snap distance
    EXPECT_EQ(graph().unmodified, 1);
    drag(centre, centre + QPoint(200, 0));
    EXPECT_NE(graph().objects[1].x, x);
    EXPECT_EQ(graph().objects[1].x % 500, 0);
    window->send_command(620);
    EXPECT_EQ(graph().objects[1].x, x);
}

TEST_F(EditorTest, InsertingAnswersOkCancelPasteAndDelete) {
    dialogs.answers = {forms::ObjectAnswer::Cancel};
    window->send_command(52);
    EXPECT_EQ(used_objects(graph()), 3);
    EXPECT_TRUE(dialogs.paste_allowed);

    dialogs.answers = {forms::ObjectAnswer::Ok};
    window->send_command(52);
    ASSERT_EQ(used_objects(graph()), 4);
    EXPECT_EQ(graph().objects[3].Type, object_type::FilledArrow);
    EXPECT_EQ(editor->selection().hit.slot, 3);

    // An axis title that exists opens again instead of being added twice.
    dialogs.answers = {forms::ObjectAnswer::Ok, forms::ObjectAnswer::Ok};
    dialogs.edit = [](GraphObject& o) { o.Str = "time"; };
    window->send_command(209);
    window->send_command(209);
    EXPECT_EQ(used_objects(graph()), 5);

    // Paste: the next click places the text.
    dialogs.answers = {forms::ObjectAnswer::Paste};
    dialogs.edit = [](GraphObject& o) { o.Str = "placed"; };
    window->send_command(51);
    EXPECT_EQ(used_objects(graph()), 5);
    const Graph& g = graph();
    QTest::mouseClick(viewport(), Qt::LeftButton, {},
                      device(g.frame_left + 5000, g.frame_top + 3000));
    ASSERT_EQ(used_objects(graph()), 6);
    EXPECT_EQ(graph().objects[5].Str, "placed");
    EXPECT_NEAR(graph().objects[5].x, 5000, 100);

    dialogs.edit = nullptr;
    dialogs.answers = {forms::ObjectAnswer::Delete};
    EXPECT_TRUE(window->open_item_dialog(ItemKind::Object, 0));
    EXPECT_EQ(used_objects(graph()), 5);
}

TEST_F(EditorTest, CopiedObjectsPasteFromTheClipboardAndDamagedOnesAreRefused) {
    editor->select({editing::kind::Text, 2});
    window->send_command(131);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime->hasFormat(QString::fromLatin1(editing::LEGEND_FORMAT)));
    dialogs.answers = {forms::ObjectAnswer::Ok};
    window->send_command(132);
    ASSERT_EQ(used_objects(graph()), 4);
    EXPECT_EQ(graph().objects[3].Str, "third");

    auto* bad = new QMimeData;
    bad->setData(QString::fromLatin1(editing::ARROW_FORMAT), QByteArray(100, 'x'));
    QApplication::clipboard()->setMimeData(bad);
    dialogs.answers = {forms::ObjectAnswer::Ok};
    window->send_command(132);
    EXPECT_EQ(used_objects(graph()), 4);
    EXPECT_TRUE(dialogs.answers.size() == 1); // no dialog opened
}

TEST_F(EditorTest, RightClickOnTheSelectedTextKeepsItAndOrderCommandsFollowIt) {
    const GraphObject& o = graph().objects[0];
    const QPoint centre =
        device((o.extent_left + o.extent_right) / 2, (o.extent_top + o.extent_bottom) / 2);
    editor->select({editing::kind::Text, 0});
    QTest::mousePress(viewport(), Qt::RightButton, {}, centre);
    QTest::mouseRelease(viewport(), Qt::RightButton, {}, centre);
    EXPECT_TRUE(window->popup_menu(2)->isVisible());
    window->popup_menu(2)->hide();
    EXPECT_EQ(editor->selection().hit, (editing::Hit{editing::kind::Text, 0}));
    window->send_command(61);
    EXPECT_EQ(editor->selection().hit.slot, 2);
    EXPECT_EQ(graph().objects[2].Str, "first");
}

TEST_F(EditorTest, ObjectManagerReordersAndDeletes) {
    dialogs.manager = [](forms::ObjectList& list) {
        list.selected = {false, false, true};
        list.move_selected_to_top();
        list.selected = {false, true, false};
        list.remove_selected();
    };
    window->send_command(111);
    ASSERT_EQ(used_objects(graph()), 2);
    EXPECT_EQ(graph().objects[0].Str, "third");
    EXPECT_EQ(graph().objects[1].Str, "second");
    window->send_command(620);
    EXPECT_EQ(graph().objects[0].Str, "first");
}

} // namespace
} // namespace plox::shell
