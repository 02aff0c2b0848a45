#include "dialogs/copy_region_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace plox {

CopyRegionDialog::CopyRegionDialog(const forms::CopyRegion& region, QWidget* parent)
    : QDialog(parent), region_(region) {
    setObjectName("SET_CLIPRGN");
    setWindowTitle(QStringLiteral("コピー領域の設定"));
    forms::CopyRegionForm form;
    form.load(region);
    const std::string* texts[4] = {&form.left, &form.top, &form.right, &form.bottom};
    const char* labels[4] = {"&Left", "&Top", "&Right", "&Bottom"};
    auto* grid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        edges_[i] = new QLineEdit(QString::fromStdString(*texts[i]), this);
        auto* label = new QLabel(QString::fromLatin1(labels[i]), this);
        label->setBuddy(edges_[i]);
        grid->addWidget(label, i, 0);
        grid->addWidget(edges_[i], i, 1);
        grid->addWidget(new QLabel(QStringLiteral("mm"), this), i, 2);
    }
    ratio_ = new QLineEdit(QString::fromStdString(form.ratio), this);
    auto* ratio_label = new QLabel(QStringLiteral("縮小率"), this);
    ratio_label->setBuddy(ratio_);
    grid->addWidget(ratio_label, 4, 0);
    grid->addWidget(ratio_, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("%"), this), 4, 2);
    enhanced_ = new QCheckBox(QStringLiteral("&Enhanced Metafile"), this);
    enhanced_->setChecked(form.enhanced);
    enhanced_->setEnabled(form.enhanced_enabled);
    grid->addWidget(enhanced_, 5, 0, 1, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    setTabOrder(edges_[0], edges_[1]);
    setTabOrder(edges_[1], edges_[2]);
    setTabOrder(edges_[2], edges_[3]);
    setTabOrder(edges_[3], ratio_);
    setTabOrder(ratio_, enhanced_);
}

forms::CopyRegion CopyRegionDialog::region() const {
    forms::CopyRegionForm form;
    form.left = edges_[0]->text().toStdString();
    form.top = edges_[1]->text().toStdString();
    form.right = edges_[2]->text().toStdString();
    form.bottom = edges_[3]->text().toStdString();
    form.ratio = ratio_->text().toStdString();
    form.enhanced = enhanced_->isChecked();
    forms::CopyRegion r = region_;
    form.apply(r);
    return r;
}

bool run_copy_region_dialog(QWidget* parent, forms::CopyRegion& region) {
    CopyRegionDialog dialog(region, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    region = dialog.region();
    return true;
}

} // namespace plox
