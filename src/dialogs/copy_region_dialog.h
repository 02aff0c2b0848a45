// The copy region dialog SET_CLIPRGN "コピー領域の設定", a view over forms::CopyRegionForm.
#pragma once

#include "forms/copy_region_form.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace plox {

class CopyRegionDialog : public QDialog {
    Q_OBJECT
public:
    CopyRegionDialog(const forms::CopyRegion& region, QWidget* parent = nullptr);
    // The region as the form reads it back (valid after OK).
    forms::CopyRegion region() const;

    QLineEdit* edge(int i) const { return edges_[i]; }
    QLineEdit* ratio() const { return ratio_; }
    QCheckBox* enhanced() const { return enhanced_; }

private:
    forms::CopyRegion region_;
    QLineEdit* edges_[4] = {};
    QLineEdit* ratio_ = nullptr;
    QCheckBox* enhanced_ = nullptr;
};

// Shows the dialog; false when cancelled. `region` is updated on OK.
bool run_copy_region_dialog(QWidget* parent, forms::CopyRegion& region);

} // namespace plox
