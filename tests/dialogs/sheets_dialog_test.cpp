// The property sheets, list dialogs and the text object dialog under the offscreen platform: a
// field changed through its widget (or by keyboard) reaches the record on OK, and Cancel leaves
// it alone.
#include "dialogs/axis_sheet_dialog.h"
#include "dialogs/fit_dialogs_qt.h"
#include "dialogs/graph_sheet_dialog.h"
#include "dialogs/object_dialogs_qt.h"
#include "dialogs/series_chooser_dialog.h"
#include "dialogs/series_sheet_dialog.h"
#include "dialogs/small_dialogs.h"
#include "document/graph_ops.h"
#include "settings/store.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

// fontconfig keeps its caches for the life of the process; under LeakSanitizer that is not ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}

namespace plox::dialogs {

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "dialogs_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

// Runs dialogs through `script` instead of a user; restores the real runner afterwards.
class Scripted {
public:
    explicit Scripted(std::function<void(QDialog&)> script) {
        app();
        run_dialog = [script](QDialog& d) {
            d.show();
            script(d);
            if (d.isVisible()) d.reject();
            return d.result();
        };
    }
    ~Scripted() {
        run_dialog = [](QDialog& d) { return d.exec(); };
    }
};

template <typename T> T* named(QWidget& parent, const char* name) {
    T* w = parent.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QPushButton* button(QWidget& parent, const QString& text) {
    for (QPushButton* b : parent.findChildren<QPushButton*>())
        if (b->text() == text) return b;
    ADD_FAILURE() << text.toStdString();
    return nullptr;
}

// The field a label names, so that a test finds fields the way the user reads them.
template <typename T> T* field(QWidget& parent, const QString& label) {
    for (QLabel* l : parent.findChildren<QLabel*>())
        if (l->text() == label) {
            T* w = qobject_cast<T*>(l->buddy());
            EXPECT_NE(w, nullptr) << label.toStdString();
            return w;
        }
    ADD_FAILURE() << label.toStdString();
    return nullptr;
}

} // namespace

TEST(TextObjectDialog, EveryFieldReachesTheObjectOnOkAndNothingOnCancel) {
    auto g = create_graph();
    GraphObject o;
    o.Type = object_type::Text;
    o.Font1.face = "First";
    QtObjectDialogs dialogs;
    {
        Scripted s([](QDialog& d) {
            field<QPlainTextEdit>(d, QStringLiteral("文字列(&R)"))->setPlainText("one\ntwo");
            field<QLineEdit>(d, QStringLiteral("&x"))->setText("12.5");
            field<QLineEdit>(d, QStringLiteral("&y"))->setText("30");
            field<QLineEdit>(d, QStringLiteral("描画方向(度)"))->setText("90");
            field<QComboBox>(d, QStringLiteral("日本語フォント(&J)"))->setCurrentText("Second");
            field<QComboBox>(d, QStringLiteral("特殊文字"))->setCurrentText("Third");
            field<QLineEdit>(d, QStringLiteral("サイズ(&S)"))->setText("18");
            field<QComboBox>(d, QStringLiteral("スタイル(&L)"))->setCurrentIndex(2);
            for (QCheckBox* c : d.findChildren<QCheckBox*>())
                c->setChecked(true);
            for (QRadioButton* r : d.findChildren<QRadioButton*>())
                if (r->text() == QStringLiteral("右揃え")) r->click();
            button(d, QStringLiteral("OK"))->click();
        });
        EXPECT_EQ(dialogs.edit_object(*g, o, false, nullptr), forms::ObjectAnswer::Ok);
    }
    EXPECT_EQ(o.Str, "one\\ntwo");
    EXPECT_EQ(o.x, 1250);
    EXPECT_EQ(o.y, 3000);
    EXPECT_EQ(o.Font1.face, "First");
    EXPECT_EQ(o.Font2.face, "Second");
    EXPECT_EQ(o.Font3.face, "Third");
    EXPECT_EQ(o.Font2.escapement, 900);
    EXPECT_EQ(o.Font3.height, -1800);
    EXPECT_EQ(o.Font1.weight, 700);
    EXPECT_EQ(o.Font1.italic, 0);
    EXPECT_EQ(o.Back, 2);
    EXPECT_EQ(o.alignment, 2);

    const GraphObject before = o;
    Scripted cancel([](QDialog& d) {
        field<QLineEdit>(d, QStringLiteral("&x"))->setText("99");
        d.reject();
    });
    EXPECT_EQ(dialogs.edit_object(*g, o, false, nullptr), forms::ObjectAnswer::Cancel);
    EXPECT_EQ(o.x, before.x);
    EXPECT_EQ(o.Str, before.Str);
}

TEST(AxisSheetDialog, KeyboardMnemonicsAndEnterApplyTheRange) {
    GraphSet set;
    add_graph(set);
    Scripted s([](QDialog& d) {
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        QTest::keyClick(&d, Qt::Key_F, Qt::AltModifier);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClicks(QApplication::focusWidget(), "2.5");
        QTest::keyClick(&d, Qt::Key_T, Qt::AltModifier);
        QTest::keyClicks(QApplication::focusWidget(), "400");
        named<QRadioButton>(d, "type1")->click();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    int calls = 0;
    const bool applied = edit_axis(nullptr, set, 0, AxisX, [&](const forms::AxisSheet& form) {
        ++calls;
        form.apply(*set.graphs[0], &set);
    });
    EXPECT_TRUE(applied);
    EXPECT_EQ(calls, 1);
    const Axis& x = set.graphs[0]->axes[AxisX];
    EXPECT_DOUBLE_EQ(x.from, 2.5);
    EXPECT_DOUBLE_EQ(x.to, 400);
    EXPECT_EQ(x.scale_type, 1);
}

TEST(AxisSheetDialog, CancelAppliesNothingAndTheUSheetDisablesCommon) {
    GraphSet set;
    add_graph(set);
    set.graphs[0]->axes[AxisX].common = 0;
    bool common_enabled = true;
    QString caption;
    Scripted s([&](QDialog& d) {
        caption = d.windowTitle();
        named<QLineEdit>(d, "from")->setText("77");
        for (QCheckBox* c : d.findChildren<QCheckBox*>())
            if (c->text() == QStringLiteral("X軸も同じ")) common_enabled = c->isEnabled();
        d.reject();
    });
    EXPECT_FALSE(edit_axis(nullptr, set, 0, AxisU,
                           [](const forms::AxisSheet&) { ADD_FAILURE() << "applied on Cancel"; }));
    EXPECT_EQ(caption, QStringLiteral("U軸"));
    EXPECT_FALSE(common_enabled);
}

TEST(GraphSheetDialog, FramePageClampsTheWidthOnOk) {
    auto g = create_graph();
    Scripted s([](QDialog& d) {
        named<QLineEdit>(d, "left")->setText("20");
        named<QLineEdit>(d, "width")->setText("320");
        static_cast<PropertySheet&>(d).ok_button()->click();
    });
    EXPECT_TRUE(edit_graph(nullptr, *g, 0, [&](const forms::GraphSheet& f) { f.apply(*g); }));
    EXPECT_EQ(g->frame_left, 2000);
    EXPECT_EQ(g->frame_width, 30000);
}

TEST(SeriesSheetDialog, PlotAndFilePagesReachTheRecord) {
    auto g = create_graph();
    add_series(*g, "/nonexistent/a.dat", nullptr);
    ColourButton::chooser = [](int32_t, QWidget*) { return std::optional<int32_t>(0x00FF00); };
    Scripted s([](QDialog& d) {
        auto* plot = named<QComboBox>(d, "plotType");
        plot->setCurrentIndex(plot->findData(6));
        named<QComboBox>(d, "columnY")->setCurrentIndex(4);
        named<QPushButton>(d, "markerColour")->click();
        static_cast<PropertySheet&>(d).ok_button()->click();
    });
    Series result;
    SeriesSheetContext context;
    EXPECT_TRUE(edit_series(nullptr, *g, 0, context, [&](const Series& r) { result = r; }));
    EXPECT_EQ(result.PlotType, 6);
    EXPECT_EQ(result.ColumnY, 3);
    EXPECT_EQ(result.marker_color, 0x00FF00);
    EXPECT_EQ(result.needs_reading, 1);
}

TEST(SeriesSheetDialog, RegisteredCurvePageAppearsForItsKindsOnly) {
    auto g = create_graph();
    add_series(*g, "/d/a.dat", nullptr);
    add_series(*g, "/d/a.dat", nullptr);
    g->series[1].kind = kind::Polynomial;
    series_pages().add(
        kind::LeastSquares, QStringLiteral("曲線"),
        [](const Graph&, int, Series&) -> std::optional<SeriesPage> {
            return SeriesPage{new QLabel(QStringLiteral("curve")), [](Series& s) { s.degree = 7; }};
        });
    int tabs = 0;
    Scripted s([&](QDialog& d) {
        tabs = static_cast<PropertySheet&>(d).tabs()->count();
        static_cast<PropertySheet&>(d).ok_button()->click();
    });
    Series result;
    SeriesSheetContext context;
    edit_series(nullptr, *g, 0, context, [&](const Series& r) { result = r; });
    EXPECT_EQ(tabs, 3);
    edit_series(nullptr, *g, 1, context, [&](const Series& r) { result = r; });
    EXPECT_EQ(tabs, 4);
    EXPECT_EQ(result.degree, 7);
}

TEST(SeriesSheetDialog, SaveButtonsWriteTheShownValues) {
    auto g = create_graph();
    add_series(*g, "/d/a.csv", nullptr);
    MemorySettingsStore store;
    Scripted s([](QDialog& d) {
        named<QComboBox>(d, "columnY")->setCurrentIndex(5);
        button(*named<QWidget>(d, "UPDATEDIALOG1"), QStringLiteral("保存"))->click();
        d.reject();
    });
    SeriesSheetContext context;
    context.store = &store;
    EXPECT_FALSE(edit_series(nullptr, *g, 0, context, [](const Series&) {}));
    EXPECT_EQ(store.read_dword("Data Ini2\\csv", "ColumnY"), 4u);
    EXPECT_EQ(g->series[0].ColumnY, 1);
}

TEST(SeriesChooserDialog, ChoosesTheSelectedEntriesOrAll) {
    auto g = create_graph();
    for (int i = 0; i < 3; ++i)
        add_series(*g, "/d/f" + std::to_string(i) + ".dat", nullptr);
    forms::ChooserRequest r;
    r.title = "表示するファイルの選択";
    QString caption;
    Scripted s([&](QDialog& d) {
        caption = d.windowTitle();
        auto* list = d.findChild<QListWidget*>();
        list->item(2)->setSelected(true);
        button(d, QStringLiteral("選択(&S)"))->click();
    });
    QtSeriesChooser chooser;
    auto choice = chooser.choose(*g, r);
    EXPECT_EQ(caption, QStringLiteral("表示するファイルの選択"));
    EXPECT_EQ(choice.series, std::vector<int>{2});

    Scripted all([](QDialog& d) { button(d, QStringLiteral("&All"))->click(); });
    EXPECT_EQ(chooser.choose(*g, r).series, (std::vector<int>{0, 1, 2}));
}

TEST(SeriesChooserDialog, AllOnASingleChoiceListAnswersEverySeries) {
    auto g = create_graph();
    for (int i = 0; i < 2; ++i)
        add_series(*g, "/d/f" + std::to_string(i) + ".dat", nullptr);
    forms::ChooserRequest r;
    r.multiple = false;
    bool offers_all = true;
    Scripted plain([&](QDialog& d) {
        offers_all = false;
        for (QPushButton* b : d.findChildren<QPushButton*>())
            offers_all = offers_all || b->text() == QStringLiteral("&All");
    });
    QtSeriesChooser chooser;
    chooser.choose(*g, r);
    EXPECT_FALSE(offers_all);

    r.all_button = true;
    Scripted all([](QDialog& d) { button(d, QStringLiteral("&All"))->click(); });
    const forms::SeriesChoice choice = chooser.choose(*g, r);
    EXPECT_TRUE(choice.chosen());
    EXPECT_TRUE(choice.all);
    EXPECT_EQ(choice.series, (std::vector<int>{0, 1}));
}

TEST(SeriesSheetDialog, ComputedSeriesEditTheirCurveOnThePageCurve) {
    auto g = create_graph();
    add_series(*g, "/d/a.dat", nullptr);
    add_series(*g, "/d/b.dat", nullptr);
    g->series[0].kind = kind::Spline;
    g->series[0].CountOutArea = 0;
    g->series[1].kind = kind::Function;
    g->series[1].CountOutArea = 0;
    MemorySettingsStore store;
    register_series_curve_page([&store] { return &store; });
    bool count_out_enabled = false;
    Scripted s([&](QDialog& d) {
        auto* tabs = static_cast<PropertySheet&>(d).tabs();
        ASSERT_EQ(tabs->count(), 4);
        EXPECT_EQ(tabs->tabText(3), QStringLiteral("曲線"));
        QWidget* page = tabs->widget(3);
        named<QLineEdit>(*page, "division")->setText(QStringLiteral("100"));
        auto* count_out = page->findChild<QCheckBox*>();
        count_out_enabled = count_out->isEnabled();
        count_out->setChecked(true);
        button(*page, QStringLiteral("保存(&V)"))->click();
        static_cast<PropertySheet&>(d).ok_button()->click();
    });
    Series result;
    SeriesSheetContext context;
    ASSERT_TRUE(edit_series(nullptr, *g, 0, context, [&](const Series& r) { result = r; }));
    EXPECT_TRUE(count_out_enabled);
    EXPECT_EQ(result.curve_points, 101);
    EXPECT_EQ(result.CountOutArea, 1);
    EXPECT_EQ(store.read_dword("Continuace Ini", "Division"), 101u);

    // A drawn function keeps its switch: the box is greyed and not read.
    ASSERT_TRUE(edit_series(nullptr, *g, 1, context, [&](const Series& r) { result = r; }));
    EXPECT_FALSE(count_out_enabled);
    EXPECT_EQ(result.CountOutArea, 0);
}

TEST(DataManagerDialog, MovesAndClosesThroughItsButtons) {
    auto g = create_graph();
    for (int i = 0; i < 3; ++i)
        add_series(*g, "/d/f" + std::to_string(i) + ".dat", nullptr);
    Scripted s([](QDialog& d) {
        auto* list = d.findChild<QListWidget*>();
        list->item(2)->setSelected(true);
        button(d, QStringLiteral("上(&U)"))->click();
        list->clearSelection();
        list->item(1)->setSelected(true);
        button(d, QStringLiteral("&Close"))->click();
        list->item(0)->setSelected(true);
        EXPECT_EQ(button(d, QStringLiteral("Pr&operty")) != nullptr, true);
        button(d, QStringLiteral("Pr&operty"))->click();
    });
    auto answer = run_data_manager(nullptr, *g);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->order, (std::vector<int>{2, 1}));
    EXPECT_EQ(answer->to_close, std::vector<int>{0});
    EXPECT_EQ(answer->to_update, std::vector<int>{2});
}

} // namespace plox::dialogs
