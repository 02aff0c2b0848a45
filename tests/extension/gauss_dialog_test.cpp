// The "SET_GAUSS" dialog, driven from a timer so that no test waits on a modal window.
#include "fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <string>

using namespace plox;
using namespace plox::test;

namespace {

// Runs `drive` on the dialog once it is shown; a second timer cancels any dialog still open,
// so a failing test cannot hang.
int32_t run_dialog(PloxexBlock** block, const std::function<void(QDialog&)>& drive) {
    QTimer::singleShot(0, [drive] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            drive(*dialog);
    });
    QTimer guard;
    guard.setInterval(2000);
    QObject::connect(&guard, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    guard.start();
    int32_t curve = 0, show = 0;
    return ex().init(nullptr, "GAUSSF2", block, 0, &curve, &show);
}

template <class W> W* child(QDialog& d, const char* name) {
    W* w = d.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

std::string saved(PloxexBlock* block) {
    std::string text;
    PloxexWriter w{&text, [](void* u, const char* b, size_t n) -> int32_t {
                       static_cast<std::string*>(u)->append(b, n);
                       return 1;
                   }};
    ex().save(0, &w, "GAUSSF2", block);
    return text;
}

} // namespace

TEST(ExtGaussDialog, OkStoresBothPagesAndClampsTheTolerance) {
    int argc = 1;
    char arg0[] = "extension_tests";
    char* argv[] = {arg0, nullptr};
    QApplication app(argc, argv);
    PloxexBlock* block = nullptr;

    const int32_t result = run_dialog(&block, [](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Fitting Cond.");
        child<QComboBox>(d, "count")->setCurrentIndex(3); // 4 peaks
        child<QLineEdit>(d, "value01")->setText("2.5");   // peak 1 position
        child<QCheckBox>(d, "free02")->setChecked(false); // peak 1 width held
        child<QPushButton>(d, "peaks4")->click();         // peaks 4-6: the fields are kept
        child<QLineEdit>(d, "value00")->setText("7");     // peak 4 intensity
        child<QLineEdit>(d, "value10")->setText("not a number");
        child<QCheckBox>(d, "offset_free")->setChecked(true);
        child<QLineEdit>(d, "offset")->setText("-0.5");
        child<QLineEdit>(d, "tolerance")->setText("50");
        d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(saved(block),
              "6\r\n10.000000\r\n1 -0.500000\r\n1 1 1 2.5 0 1\r\n1 1 1 1 1 1\r\n1 1 1 1 1 1\r\n"
              "1 7 1 1 1 1\r\n");

    // Cancel leaves the block as it was.
    const int32_t cancelled = run_dialog(&block, [](QDialog& d) {
        child<QLineEdit>(d, "tolerance")->setText("0.001");
        d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
    });
    EXPECT_EQ(cancelled, -1);
    EXPECT_EQ(saved(block).substr(0, 14), "6\r\n10.000000\r\n");

    // A tolerance below the range is raised to 0.01.
    run_dialog(&block, [](QDialog& d) {
        child<QLineEdit>(d, "tolerance")->setText("0.001");
        d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(saved(block).substr(0, 12), "6\r\n0.010000\r");
    ex().free_block(block);
}
